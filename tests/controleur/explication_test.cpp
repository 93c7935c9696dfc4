// La fenetre principale explique un arret et la derniere instruction : la barre dit
// la ligne d'une erreur de pile, sur une ligne ; a cote de la pile, son sommet et
// les entrees posees ou otees ; sous le desassemblage, le compteur de pas.
#include "banc.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <string>

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

} // namespace
