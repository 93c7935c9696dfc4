// La fenetre principale explique un arret et la derniere instruction : la barre dit
// la ligne d'une erreur de pile, sur une ligne ; a cote de la pile, son sommet et
// les entrees posees ou otees ; sous le desassemblage, le compteur de pas. Un clic
// droit demande "Pourquoi ?" : un maillon ramene la machine juste apres son pas,
// "Revenir" la rend telle qu'a la question.
#include "banc.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <string>
#include <vector>

namespace {

double heure = 0;
double horloge_du_test() {
    return heure;
}

class explication_fenetre : public banc {
  protected:
    void SetUp() override {
        banc::SetUp();
        heure = 0;
        acces_simulateur::regle_horloge(*sim, horloge_du_test);
        mm = &acces_simulateur::marche(*sim);
        etat = acces_simulateur::barre_marche(*sim).ETAT;
        sommet = dynamic_cast<reperes_pile*>(widget_en(f->SIM, 201, 350, 8, 320));
        effets = dynamic_cast<reperes_pile*>(widget_en(f->SIM, 336, 350, 4, 320));
        sp = widget_en(f->SIM, 210, 681, 125, 13);
        pas = widget_en(f->SIM, 30, 681, 170, 13);
        ASSERT_TRUE(sommet != nullptr && effets != nullptr && sp != nullptr && pas != nullptr);
    }
    void charge_source(std::string const& texte) {
        acces_simulateur::retiens_fichier(*sim, ecrit_fichier("explique.asm", texte));
        clique(acces_simulateur::barre(*sim).B_RECHARGER);
    }
    void tourne_jusqu_a_l_arret() {
        clique(f->B_PLAY);
        for (int n = 0; mm->en_marche() && n < 100000; ++n) {
            heure = std::max(heure, mm->rendez_vous() + 1e-9);
            ASSERT_EQ(sim->passe_commande(), 1);
        }
        ASSERT_FALSE(mm->en_marche());
    }
    // Un vrai clic droit au milieu du widget, puis la passe qui prend la question.
    void clic_droit(Fl_Widget* w, int dx = -1, int dy = -1) {
        Fl::e_x = Fl::e_x_root = dx < 0 ? w->x() + w->w() / 2 : w->x() + dx;
        Fl::e_y = Fl::e_y_root = dy < 0 ? w->y() + w->h() / 2 : w->y() + dy;
        Fl::e_keysym = FL_Button + FL_RIGHT_MOUSE;
        Fl::handle(FL_PUSH, w->top_window());
        Fl::handle(FL_RELEASE, w->top_window());
        EXPECT_EQ(sim->passe_commande(), 1);
    }
    // Le milieu de l'octet k d'une ligne du dump ("%4x" puis " %2x" huit fois), et
    // celui du chiffre k des huit d'un registre binaire, centres dans leur boite.
    static int dx_octet(Fl_Widget* w, int k) {
        fl_font(w->labelfont(), w->labelsize());
        return static_cast<int>(3 + (6 + 3 * k) * fl_width('0'));
    }
    static int dx_chiffre(Fl_Widget* w, int k) {
        fl_font(w->labelfont(), w->labelsize());
        return static_cast<int>((w->w() - fl_width("00000000")) / 2 + (k + 0.5) * fl_width('0'));
    }
    // Ce qu'un programme voit, et ce que le pas arriere peut encore annuler.
    std::vector<int> etat_machine() {
        machine& m = acces_simulateur::moteur(*sim);
        std::vector<int> e = {cpu->PC_value(), cpu->SP_value(), cpu->CCR_value(),
                              static_cast<int>(m.pas_enregistres()),
                              static_cast<int>(m.nb_annulables())};
        for (short i = 0; i <= cpu->SP_value(); ++i) {
            e.push_back(cpu->pile(i));
        }
        for (int p = 0; p < nb_ports; ++p) {
            e.push_back(m.port(p).valeur());
        }
        for (unsigned a = 0; a < mem_64k::taille; ++a) {
            e.push_back(mem->read_byte(static_cast<unsigned short>(a)));
        }
        return e;
    }
    // La ligne de la liste dont le texte contient morceau ; 0 sinon.
    int ligne_avec(std::string const& morceau) {
        Fl_Browser* const b = acces_simulateur::fenetre_explication(*sim).CHAINE;
        for (int i = 1; i <= b->size(); ++i) {
            if (std::string(b->text(i)).find(morceau) != std::string::npos) {
                return i;
            }
        }
        return 0;
    }

    bool tient_sur_une_ligne() const {
        fl_font(etat->labelfont(), etat->labelsize());
        return fl_width(etat->label()) <= etat->w() - 6;
    }

    mode_marche* mm = nullptr;
    Fl_Widget* etat = nullptr;
    reperes_pile* sommet = nullptr;
    reperes_pile* effets = nullptr;
    Fl_Widget* sp = nullptr;
    Fl_Widget* pas = nullptr;
};

TEST_F(explication_fenetre, une_erreur_de_pile_dit_sa_ligne_sur_une_ligne) {
    struct cas {
        char const* source;
        char const* etat;
    } const table[] = {
        {"debut: PUSHI 1\nboucle: DUP\n  BT boucle\n", "Arrêt : pile pleine ligne 2 (DUP)"},
        {"; rien\n\n\n\n\n\n\n\n\n\n\n  DROP\n", "Arrêt : pile vide ligne 12 (DROP)"},
        {"ici: BT ici\n", "Arrêt : fin de programme (boucle en $0000)"},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.etat);
        charge_source(c.source);
        tourne_jusqu_a_l_arret();
        EXPECT_STREQ(libelle(etat), c.etat);
        bool const erreur = mm->raison() == arret::erreur_pile;
        EXPECT_EQ(tient_sur_une_ligne(), erreur) << etat->labelsize();
        EXPECT_EQ(etat->labelsize() < 12, erreur) << "la taille concue quand le texte ne tient pas";
    }
}

TEST_F(explication_fenetre, a_cote_de_la_pile_le_sommet_et_ce_que_le_pas_a_pose_ou_ote) {
    charge_source("  PUSHI 3\n  PUSHI 1\n  SUB\n  DUP\n  DROP\n  OVER\n");
    struct cas {
        char const* geste;
        int sp, premiere, derniere, premiere_otee, derniere_otee;
        char const* pas;
    } const table[] = {
        {"", -1, 0, -1, 0, -1, "Pas : 0"},      // rien encore
        {"STEP", 0, 0, 0, 0, -1, "Pas : 1"},    // PUSHI 3
        {"STEP", 1, 1, 1, 0, -1, "Pas : 2"},    // PUSHI 1
        {"STEP", 0, 0, 0, 1, 1, "Pas : 3"},     // SUB : le resultat, et le 1 ote
        {"STEP", 1, 1, 1, 0, -1, "Pas : 4"},    // DUP : seule la copie est posee
        {"STEP", 0, 0, -1, 1, 1, "Pas : 5"},    // DROP
        {"STEP", 0, 0, -1, 0, -1, "Pas : 6"},   // OVER sur une entree : echec, rien de marque
        {"recule", 0, 0, -1, 1, 1, "Pas : 5"},  // DROP de nouveau
        {"RESET", -1, 0, -1, 0, -1, "Pas : 5"}, // plus rien ne decrit la pile
    };
    for (cas const& c : table) {
        SCOPED_TRACE(std::string(c.geste) + " " + c.pas);
        std::string const g = c.geste;
        if (g == "STEP") {
            clique(f->B_STEP);
        } else if (g == "recule") {
            clique(acces_simulateur::barre_marche(*sim).B_RECULE);
        } else if (g == "RESET") {
            clique(f->B_RESET);
        }
        EXPECT_EQ(sommet->sp(), c.sp);
        EXPECT_EQ(sp->label(), "SP = " + std::to_string(c.sp));
        EXPECT_EQ(effets->premiere(), c.premiere);
        EXPECT_EQ(effets->derniere(), c.derniere);
        EXPECT_EQ(effets->premiere_otee(), c.premiere_otee);
        EXPECT_EQ(effets->derniere_otee(), c.derniere_otee);
        EXPECT_STREQ(libelle(pas), c.pas);
    }
}

TEST_F(explication_fenetre, pourquoi_un_port_un_maillon_puis_revenir_rend_la_machine) {
    charge_source("  PUSHI 5\n  POP PORTB\n  PUSHI 9\n  POP PORTB\n  PUSHI 1\nici: BT ici\n");
    for (int i = 0; i < 5; ++i) {
        clique(f->B_STEP);
    }
    // Un bit d'entree clique apres le dernier pas : "Revenir" doit le rendre aussi.
    portparallele& e = pont_simulateur(*sim).port(4);
    clique(e.bouton_bit(3));
    std::vector<int> const question = etat_machine();
    explication_class& x = acces_simulateur::fenetre_explication(*sim);
    clic_droit(pont_simulateur(*sim).port(1).bouton_bit(4));
    EXPECT_TRUE(x.explication->shown());
    EXPECT_NE(std::string(x.CHAINE->text(1)).find("Pourquoi B ?"), std::string::npos)
        << x.CHAINE->text(1);
    EXPECT_EQ(etat_machine(), question) << "demander ne change rien";
    struct cas {
        char const* maillon; // texte de la ligne cliquee ; vide : "Revenir"
        int pc, sp, b, pas;
    } const table[] = {
        {"pas 4", 0x000a, -1, 9, 4}, // juste apres le second POP PORTB
        {"pas 3", 0x0007, 0, 5, 3},  // PUSHI 9, d'ou vient l'octet ecrit
        {"", 0x000c, 0, 9, 5},
        {"pas 4", 0x000a, -1, 9, 4}, // de nouveau, depuis la machine rendue
        {"bit", 0x000a, -1, 9, 4},   // un bit de E clique dans le passe
        {"STEP", 0x000c, 0, 9, 5},   // un pas fait dans le passe
        {"", 0x000c, 0, 9, 5},
        {"pas 3", 0x0007, 0, 5, 3},
        {"fermer", 0x000c, 0, 9, 5}, // fermer la fenetre revient aussi
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.maillon);
        std::string const geste = c.maillon;
        if (geste.empty()) {
            clique(x.REVENIR);
        } else if (geste == "bit") {
            clique(e.bouton_bit(3));
        } else if (geste == "STEP") {
            clique(f->B_STEP);
        } else if (geste == "fermer") {
            clique(x.explication);
            EXPECT_FALSE(x.explication->shown());
        } else {
            int const ligne = ligne_avec(c.maillon);
            ASSERT_GT(ligne, 1) << "la chaine remonte a ce pas";
            x.CHAINE->value(ligne);
            clique(x.CHAINE);
        }
        EXPECT_EQ(cpu->PC_value(), c.pc);
        EXPECT_EQ(cpu->SP_value(), c.sp);
        EXPECT_EQ(acces_simulateur::moteur(*sim).port(1).valeur(), c.b);
        EXPECT_EQ(acces_simulateur::moteur(*sim).pas_enregistres(), c.pas);
        EXPECT_STREQ(libelle(pas), ("Pas : " + std::to_string(c.pas)).c_str());
        if (geste.empty() || geste == "fermer") {
            EXPECT_EQ(etat_machine(), question) << "exactement la machine de la question";
        }
    }
    // L'historique rendu refait le meme pas arriere.
    clique(acces_simulateur::barre_marche(*sim).B_RECULE);
    EXPECT_EQ(cpu->PC_value(), 0x000a);
    EXPECT_EQ(acces_simulateur::moteur(*sim).port(1).valeur(), 9);
}

TEST_F(explication_fenetre, chaque_clic_droit_pose_sa_question) {
    charge_source("debut: PUSHI 3\n  PUSHI 4\n  SUB\n  POP $0012\n  DROP\n  PUSHI 7\nsept = 7\n");
    for (int i = 0; i < 6; ++i) {
        clique(f->B_STEP); // DROP sur la pile vide echoue : E leve
    }
    explication_class& x = acces_simulateur::fenetre_explication(*sim);
    struct cas {
        Fl_Widget* w;
        int dx; // du bord gauche du widget ; -1 : au milieu
        char const* titre;
    } const table[] = {
        {pont_simulateur(*sim).port(2).bouton_bit(0), -1, "Pourquoi C ?"},
        {f->DUMP03, 2, "Pourquoi $0012 ?"},      // le troisieme octet de la ligne $0010
        {f->REG_CCR_BIN, 3, "Pourquoi ccr:E ?"}, // le quatrieme des huit chiffres
        {f->PILE00, -1, "Pourquoi pile:0 ?"},
        {acces_simulateur::source(*sim).SYMBOLES, 6, "Pourquoi debut ?"}, // sa premiere ligne
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.titre);
        x.CHAINE->clear();
        bool const symboles = c.w == acces_simulateur::source(*sim).SYMBOLES;
        clic_droit(c.w,
                   c.w == f->REG_CCR_BIN ? dx_chiffre(c.w, c.dx)
                   : c.w == f->DUMP03    ? dx_octet(c.w, c.dx)
                                         : c.dx,
                   symboles ? 8 : -1);
        if (symboles) {
            EXPECT_EQ(sim->passe_commande(), 1)
                << "le dump montre aussi le symbole, par sa glissiere";
        }
        ASSERT_GT(x.CHAINE->size(), 0);
        EXPECT_EQ(std::string(x.CHAINE->text(1)).rfind(c.titre, 0), 0u) << x.CHAINE->text(1);
    }
    // Un octet tape par-dessus celui du POP : la reponse le dit, meme apres un pas
    // arriere qui le laisse en memoire.
    for (char const* geste : {"edition", "recule"}) {
        SCOPED_TRACE(geste);
        if (std::string(geste) == "edition") {
            tape_memoire("$12", "42", "3");
        } else {
            clique(acces_simulateur::barre_marche(*sim).B_RECULE);
        }
        clic_droit(f->DUMP03, dx_octet(f->DUMP03, 2));
        EXPECT_GT(ligne_avec("tapé à la main : 42 ($2a) en $0012"), 1);
        EXPECT_EQ(ligne_avec("POP $0012"), 0) << "l'octet du POP a ete recouvert";
    }
    // Les octets a 0 qui suivent sont des PUSH $0000 : la marche finit pile pleine.
    x.CHAINE->clear();
    clic_droit(etat);
    EXPECT_EQ(x.CHAINE->size(), 0) << "aucun arret a expliquer avant la marche";
    tourne_jusqu_a_l_arret();
    clic_droit(etat);
    ASSERT_GT(x.CHAINE->size(), 1);
    EXPECT_EQ(std::string(x.CHAINE->text(1)).rfind("Pourquoi arret ?", 0), 0u) << x.CHAINE->text(1);
}

} // namespace
