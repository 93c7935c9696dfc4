// Fenetre d'aide et touches du clavier : l'aide montree et cachee, non modale, qui
// revient au premier plan ; chaque touche met en file le widget de son bouton ou
// l'entree du menu, comme un clic, et l'aide la nomme ; le texte tient dans sa
// fenetre.
#include "banc.h"

#include <FL/Fl_Browser.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <string>
#include <vector>

#include "simulateur/texte_aide.h"

namespace {

using aide = banc;

// Rang de la fenetre dans l'empilement de l'ecran (plus grand : plus haut).
int rang_a_l_ecran(Fl_Window* w) {
    XSync(fl_display, False);
    Window racine = 0, parent = 0;
    Window* enfants = nullptr;
    unsigned int nb = 0;
    XQueryTree(fl_display, RootWindow(fl_display, fl_screen), &racine, &parent, &enfants, &nb);
    int rang = -1;
    for (unsigned int i = 0; i < nb; ++i) {
        rang = enfants[i] == fl_xid(w) ? static_cast<int>(i) : rang;
    }
    XFree(enfants);
    return rang;
}

TEST_F(aide, montree_non_modale_puis_cachee_par_fermer_ou_par_sa_case) {
    Fl_Window* const fenetre = acces_simulateur::aide(*sim).aide;
    EXPECT_EQ(static_cast<std::size_t>(acces_simulateur::aide(*sim).TEXTE_AIDE->size()),
              lignes_aide().size());
    Fl_Widget* const fermer = widget_libelle(fenetre, "Fermer");
    ASSERT_NE(fermer, nullptr);
    for (bool par_le_bouton : {true, false}) {
        SCOPED_TRACE(par_le_bouton ? "Fermer" : "case de fermeture");
        EXPECT_FALSE(fenetre->visible());
        clique(f->B_AIDE);
        EXPECT_TRUE(fenetre->visible());
        EXPECT_STREQ(fenetre->label(), "Aide");
        EXPECT_EQ(Fl::modal(), nullptr);
        clique(f->B_STEP); // la fenetre principale repond, l'aide ouverte
        EXPECT_EQ(cpu->PC_value(), par_le_bouton ? 1 : 2);
        // Recouverte par la fenetre principale, AIDE la ramene devant.
        XRaiseWindow(fl_display, fl_xid(f->SIM));
        ASSERT_GT(rang_a_l_ecran(f->SIM), rang_a_l_ecran(fenetre));
        clique(f->B_AIDE);
        EXPECT_TRUE(fenetre->visible());
        EXPECT_GT(rang_a_l_ecran(fenetre), rang_a_l_ecran(f->SIM));
        if (par_le_bouton) {
            clique(fermer);
        } else {
            Fl::handle(FL_CLOSE, fenetre);
            EXPECT_EQ(sim->passe_commande(), 1);
        }
        EXPECT_FALSE(fenetre->visible());
        EXPECT_TRUE(f->SIM->visible());
    }
    EXPECT_TRUE(prend_dialogues().empty());
}

// Une touche tapee dans la fenetre ; rend le widget mis en file (file videe).
Fl_Widget* touche(Fl_Window* fenetre, int touche, int etat, char const* texte) {
    Fl::e_keysym = touche;
    Fl::e_state = etat;
    Fl::e_text = const_cast<char*>(texte);
    Fl::e_length = static_cast<int>(std::string(texte).size());
    Fl::handle(FL_KEYBOARD, fenetre);
    Fl::e_state = 0;
    Fl_Widget* const pris = Fl::readqueue();
    while (Fl::readqueue() != nullptr) {
    }
    return pris;
}

// La commande que l'aide donne a ces touches ("" si elle ne les nomme pas).
std::string commande_dans_l_aide(std::string const& touches) {
    for (raccourci const& r : raccourcis_clavier()) {
        std::string const liste = std::string(r.touches) + ", ";
        if (liste.find(touches + ", ") != std::string::npos) {
            return r.commande;
        }
    }
    return "";
}

TEST_F(aide, chaque_touche_met_en_file_son_widget_et_l_aide_la_nomme) {
    barre_fichiers_class& barre = acces_simulateur::barre(*sim);
    Fl_Window* const fenetre_aide = acces_simulateur::aide(*sim).aide;
    Fl_Widget* const b_platine = acces_simulateur::barre_platine(*sim).B_PLATINE;
    source_class& source = acces_simulateur::source(*sim);
    clique(f->B_AIDE);
    struct cas {
        char const* nom;
        Fl_Window* fenetre;
        int touche, etat;
        char const* texte;
        Fl_Widget* widget;
        int entree_menu;      // comptee de 1 ; 0 hors du menu
        char const* commande; // morceau de la ligne de l'aide
    };
    cas const table[] = {
        {"F1", f->SIM, FL_F + 1, 0, "", f->B_AIDE, 0, "AIDE"},
        {"F7", f->SIM, FL_F + 7, 0, "", f->B_STEP, 0, "STEP"},
        {"Ctrl+F2", f->SIM, FL_F + 2, FL_CTRL, "", f->B_RESET, 0, "RESET"},
        {"Ctrl+O", f->SIM, 'o', FL_CTRL, "\x0f", f->m_fichier, 2, "Ouvrir fichier binaire"},
        {"Ctrl+Q", f->SIM, 'q', FL_CTRL, "\x11", f->m_fichier, 3, "Quitter"},
        {"Ctrl+Maj+O", f->SIM, 'o', FL_CTRL | FL_SHIFT, "\x0f", barre.B_SOURCE, 0, "Ouvrir source"},
        {"Ctrl+P", f->SIM, 'p', FL_CTRL, "\x10", b_platine, 0, "Platine"},
        // Une touche tapee dans l'aide ouverte vaut comme dans la fenetre principale.
        {"F7 dans l'aide", fenetre_aide, FL_F + 7, 0, "", f->B_STEP, 0, "STEP"},
        {"F2 sans Ctrl", f->SIM, FL_F + 2, 0, "", nullptr, 0, ""},
        {"Ctrl+R sans fichier ouvert : grise", f->SIM, 'r', FL_CTRL, "\x12", nullptr, 0, ""},
        {"Ctrl+Maj+E", f->SIM, 'e', FL_CTRL | FL_SHIFT, "\x05",
         acces_simulateur::barre_exercice(*sim).B_EXERCICE, 0, "Exercice"},
        {"F6 sans exercice ouvert : grise", f->SIM, FL_F + 6, 0, "", nullptr, 0, ""},
        // Nouvelle source depuis la principale ; sans source, sa fenetre est grisee.
        {"Ctrl+N", f->SIM, 'n', FL_CTRL, "\x0e", source.NOUVEAU, 0, "nouvelle source"},
        {"Ctrl+E sans source : grise", f->SIM, 'e', FL_CTRL, "\x05", nullptr, 0, ""},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        Fl_Widget* const pris = touche(c.fenetre, c.touche, c.etat, c.texte);
        EXPECT_EQ(pris, c.widget);
        if (c.widget == nullptr) {
            continue;
        }
        int raccourci_pose = 0;
        if (c.entree_menu != 0) {
            EXPECT_EQ(f->m_fichier->value(), c.entree_menu - 1);
            raccourci_pose = f->m_fichier->menu()[c.entree_menu - 1].shortcut();
        } else {
            raccourci_pose = static_cast<Fl_Button*>(c.widget)->shortcut();
        }
        EXPECT_NE(commande_dans_l_aide(fl_shortcut_label(raccourci_pose)).find(c.commande),
                  std::string::npos)
            << "l'aide ne nomme pas " << fl_shortcut_label(raccourci_pose);
    }
    // Le menu garde ses trois entrees, dans leur ordre.
    ASSERT_EQ(f->m_fichier->size(), 4);
    EXPECT_STREQ(f->m_fichier->text(0), "A propos de...");
    EXPECT_STREQ(f->m_fichier->text(1), "Ouvrir fichier binaire");
    EXPECT_STREQ(f->m_fichier->text(2), "Quitter");
}

// Largeur d'une ligne du navigateur, codes de mise en forme compris.
int largeur_affichee(std::string const& ligne, Fl_Font police, int taille) {
    std::size_t i = 0;
    while (i + 1 < ligne.size() && ligne[i] == '@') {
        char const code = ligne[i + 1];
        i += 2;
        if (code == '.') {
            break;
        }
        police = code == 'b'   ? police | FL_BOLD
                 : code == 'i' ? police | FL_ITALIC
                 : code == 'f' ? FL_COURIER
                               : police;
        taille = code == 'l' ? 24 : code == 'm' ? 18 : code == 's' ? 11 : taille;
    }
    fl_font(police, taille);
    return static_cast<int>(fl_width(ligne.c_str() + i));
}

TEST_F(aide, chaque_ligne_tient_dans_la_fenetre_d_aide) {
    Fl_Browser* const texte = acces_simulateur::aide(*sim).TEXTE_AIDE;
    // Le cadre, la barre de defilement et les marges du navigateur.
    int const place = texte->w() - Fl::box_dw(texte->box()) - Fl::scrollbar_size() - 6;
    for (int n = 1; n <= texte->size(); ++n) {
        EXPECT_LE(largeur_affichee(texte->text(n), texte->textfont(), texte->textsize()), place)
            << "ligne " << n << " : " << texte->text(n);
    }
}

// Le sommaire : une ligne par partie, qui tient dans sa largeur ; un clic y saute
// (la derniere, qui ne monte pas jusqu'en haut, reste choisie) ; le texte qui
// defile marque la partie qu'on lit.
TEST_F(aide, le_sommaire_saute_aux_parties_et_suit_la_lecture) {
    clique(f->B_AIDE);
    Fl_Browser* const texte = acces_simulateur::aide(*sim).TEXTE_AIDE;
    Fl_Hold_Browser* const s = acces_simulateur::sommaire(*sim).SOMMAIRE;
    std::vector<section_aide> const parties = sections_aide(lignes_aide());
    ASSERT_EQ(static_cast<std::size_t>(s->size()), parties.size());
    for (int n = 1; n <= s->size(); ++n) {
        EXPECT_LE(largeur_affichee(s->text(n), s->textfont(), s->textsize()),
                  s->w() - Fl::box_dw(s->box()) - 6)
            << s->text(n);
    }
    for (int const n : {12, 2, s->size()}) {
        s->value(n);
        clique(s);
        int const ligne = parties[static_cast<std::size_t>(n - 1)].ligne;
        EXPECT_TRUE(n == s->size() ? texte->topline() < ligne : texte->topline() == ligne) << n;
        sim->passe_commande(); // sans widget : le sommaire regarde le texte
        EXPECT_EQ(s->value(), n);
    }
    texte->topline(parties[4].ligne + 1); // comme la molette, dans la cinquieme partie
    sim->passe_commande();
    EXPECT_EQ(s->value(), 5);
}

} // namespace
