// Devant une classe : le zoom de toutes les fenetres (aller et retour exacts, y
// compris un texte a styles et un navigateur a colonnes), la molette sur le dump
// et le desassemblage, "Aller a" (Ctrl+G) et la platine.
// banc.h d'abord : gtest avant les en-tetes X, qui definissent None.
#include "banc.h"

#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Les fenetres ouvertes par ces tests ne sont pas des dialogues : la garde du banc
// ne doit pas les fermer.
class classe : public banc {
  protected:
    void SetUp() override {
        banc::SetUp();
        delai_reponse = 3600;
    }
};

// Geometrie et tailles de texte de chaque widget d'une fenetre, dans l'ordre.
std::string releve(Fl_Widget* w) {
    char ligne[96];
    int texte = -1;
    if (auto* i = dynamic_cast<Fl_Input_*>(w)) {
        texte = i->textsize();
    } else if (auto* m = dynamic_cast<Fl_Menu_*>(w)) {
        texte = m->textsize();
    } else if (auto* b = dynamic_cast<Fl_Browser_*>(w)) {
        texte = b->textsize();
    }
    // Une fenetre garde son coin, ou revient sur l'ecran : sa place n'est pas concue.
    bool const fenetre = w->parent() == nullptr;
    std::snprintf(ligne, sizeof ligne, "%d %d %d %d %d %d\n", fenetre ? 0 : w->x(),
                  fenetre ? 0 : w->y(), w->w(), w->h(), w->labelsize(), texte);
    std::string r = ligne;
    if (Fl_Group* g = w->as_group(); g != nullptr && dynamic_cast<Fl_Browser_*>(w) == nullptr) {
        for (int i = 0; i < g->children(); ++i) {
            r += releve(g->child(i));
        }
    }
    return r;
}

// x1,25 puis x1 par les touches : chaque fenetre revient a sa geometrie concue au
// pixel pres, une taille posee a l'execution (le dump) suit le facteur, et un
// facteur qui ne tient pas sur l'ecran est ramene, la barre d'etat le dit.
TEST_F(classe, zoom_par_les_touches_aller_et_retour_exacts) {
    std::vector<Fl_Window*> const fenetres = {f->SIM,
                                              acces_simulateur::fenetre_a_propos(*sim),
                                              acces_simulateur::aide(*sim).aide,
                                              acces_simulateur::source(*sim).source,
                                              acces_simulateur::platine(*sim).platine,
                                              acces_simulateur::aller_a(*sim).aller_a,
                                              acces_simulateur::fenetre_exercice(*sim).exercice};
    // L'aide d'abord montree : sa place, retrecie a cote de la principale, est celle
    // que l'aller et retour doit rendre.
    clique(f->B_AIDE);
    std::vector<std::string> concues;
    for (Fl_Window* w : fenetres) {
        concues.push_back(releve(w));
    }
    std::string const aide_concue = acces_simulateur::aide(*sim).TEXTE_AIDE->text(1);
    struct cas {
        char const* nom;
        Fl_Window* fenetre;
        int touche, etat;
        char const* texte;
        int largeur; // de la fenetre principale ensuite
        bool limite; // la barre d'etat dit le facteur ramene
    };
    Fl_Window* const aide = acces_simulateur::aide(*sim).aide;
    Fl_Box* const etat = acces_simulateur::barre_marche(*sim).ETAT;
    // Sur l'ecran de 1280 x 1024 des tests, 1,5 (695 x 1,5 = 1043) ne tient pas.
    cas const table[] = {
        {"Ctrl+- deja a 1", f->SIM, '-', FL_CTRL, "-", 650, false},
        {"Ctrl+=", f->SIM, '=', FL_CTRL, "=", 813, false},
        {"Ctrl et + du pave : 1,5 ramene", f->SIM, FL_KP + '+', FL_CTRL, "+", 813, true},
        {"Ctrl+Maj+= (donc +), dans l'aide", aide, '=', FL_CTRL | FL_SHIFT, "+", 813, true},
        {"Ctrl+- : la limite ne vaut plus", f->SIM, '-', FL_CTRL, "-", 650, false},
        {"Ctrl+= encore", f->SIM, '=', FL_CTRL, "=", 813, false},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        frappe(c.fenetre, c.touche, c.etat, c.texte);
        EXPECT_EQ(f->SIM->w(), c.largeur);
        EXPECT_EQ(libelle(etat) == std::string("zoom limité à 1,25 pour cet écran"), c.limite)
            << libelle(etat);
        EXPECT_EQ(Fl::readqueue(), nullptr) << "le zoom ne passe pas par la file";
    }
    EXPECT_EQ(f->SIM->h(), 869);
    EXPECT_EQ(f->DUMP01->labelsize(), 16);
    clique(f->B_STEP); // le dump repose sa taille a chaque passe
    EXPECT_EQ(f->DUMP01->labelsize(), 16);
    EXPECT_NE(acces_simulateur::aide(*sim).TEXTE_AIDE->text(1), aide_concue);

    frappe(f->SIM, '0', FL_CTRL, "0");
    for (std::size_t i = 0; i < fenetres.size(); ++i) {
        EXPECT_EQ(releve(fenetres[i]), concues[i]) << "fenetre " << fenetres[i]->label();
    }
    EXPECT_EQ(acces_simulateur::aide(*sim).TEXTE_AIDE->text(1), aide_concue);
    EXPECT_EQ(Fl::scrollbar_size(), 16);
}

// Une fenetre qui rejoint le zoom d'un appel : texte a styles, navigateur a codes
// de taille et a colonnes, champ de saisie.
TEST_F(classe, une_fenetre_a_styles_et_colonnes_rejoint_le_zoom_d_un_appel) {
    Fl_Text_Display::Style_Table_Entry styles[] = {{FL_BLACK, FL_COURIER, 12, 0},
                                                   {FL_RED, FL_COURIER_BOLD, 15, 0}};
    int const colonnes[] = {40, 70, 0};
    Fl_Text_Buffer texte, style;
    Fl_Window fenetre(300, 200, "essai");
    Fl_Text_Display affichage(10, 10, 280, 90);
    affichage.buffer(&texte);
    affichage.highlight_data(&style, styles, 2, 'A', nullptr, nullptr);
    Fl_Browser liste(10, 110, 280, 80);
    liste.add("@m@bTitre\t@s@inote");
    liste.add("simple");
    liste.column_widths(colonnes);
    fenetre.end();

    zoom_fenetres zoom;
    zoom.inscrit(&fenetre);
    zoom.applique(2.5);
    EXPECT_EQ(fenetre.w(), 750);
    EXPECT_EQ(affichage.x(), 25);
    EXPECT_EQ(affichage.textsize(), 35);
    EXPECT_STREQ(liste.text(1), "@S45@bTitre\t@S28@inote");
    EXPECT_STREQ(liste.text(2), "simple");
    ASSERT_NE(liste.column_widths(), colonnes);
    EXPECT_EQ(liste.column_widths()[1], 175);
    // La table du proprietaire reste concue ; l'affichage en montre une a l'echelle.
    EXPECT_EQ(styles[1].size, 15);
    Fl_Text_Display::Style_Table_Entry const* montree = nullptr;
    struct lit : Fl_Text_Display {
        static auto table() { return &lit::mStyleTable; }
    };
    montree = affichage.*lit::table();
    ASSERT_NE(montree, styles);
    EXPECT_EQ(montree[0].size, 30);
    EXPECT_EQ(montree[1].size, 38);

    // Une ligne ajoutee pendant le zoom est prise comme concue au rappel d'inscrit.
    liste.add("@lAjout");
    zoom.inscrit(&fenetre);
    EXPECT_STREQ(liste.text(3), "@S60Ajout");

    // A 1, chacun retrouve ce que son proprietaire avait pose.
    zoom.applique(1);
    EXPECT_EQ(fenetre.w(), 300);
    EXPECT_EQ(affichage.x(), 10);
    EXPECT_EQ(affichage.textsize(), 14);
    EXPECT_STREQ(liste.text(1), "@m@bTitre\t@s@inote");
    EXPECT_STREQ(liste.text(3), "@lAjout");
    EXPECT_EQ(liste.column_widths(), colonnes);
    EXPECT_EQ(affichage.*lit::table(), styles);
    zoom.oublie(&fenetre);
}

// Un cran de molette met en file la fleche de la vue sous la souris, une par cran.
TEST_F(classe, la_molette_met_en_file_les_fleches_du_dump_et_du_desassemblage) {
    struct cas {
        char const* nom;
        Fl_Widget* sous; // la souris en son centre
        int crans;       // positif : vers le bas
        Fl_Widget* fleche;
    };
    cas const table[] = {
        {"dump, vers le bas", f->DUMP05, 1, f->DUMP_D},
        {"glissiere, vers le haut", f->DUMP_SLIDE, -2, f->DUMP_U},
        {"desassemblage, vers le bas", f->DESA07, 3, f->DESA_D},
        {"fleche du desassemblage, vers le haut", f->DESA_U, -1, f->DESA_U},
        {"pile : rien", f->PILE05, 1, nullptr},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        Fl::e_x = c.sous->x() + c.sous->w() / 2;
        Fl::e_y = c.sous->y() + c.sous->h() / 2;
        Fl::e_dx = 0;
        Fl::e_dy = c.crans;
        Fl::handle(FL_MOUSEWHEEL, f->SIM);
        for (int n = c.fleche != nullptr ? std::abs(c.crans) : 0; n > 0; --n) {
            EXPECT_EQ(Fl::readqueue(), c.fleche);
        }
        EXPECT_EQ(Fl::readqueue(), nullptr);
    }
    // Par la boucle : 8 octets par cran, bornes comprises. Une passe lit les
    // evenements du serveur, qui peuvent deplacer la souris : elle est remise.
    for (int crans : {3, -5}) {
        Fl::e_x = f->DUMP05->x() + 5;
        Fl::e_y = f->DUMP05->y() + 5;
        Fl::e_dy = crans;
        Fl::handle(FL_MOUSEWHEEL, f->SIM);
        for (int n = std::abs(crans); n > 0; --n) {
            EXPECT_EQ(sim->passe_commande(), 1);
        }
        EXPECT_EQ(f->DUMP_SLIDE->value(), crans > 0 ? 24.0 : 0.0);
    }
}

// Ctrl+G : une adresse ou une etiquette de la source chargee montre la ligne qui
// la contient en tete du dump ; un refus s'ecrit dans la fenetre, le dump reste.
TEST_F(classe, ctrl_g_montre_une_adresse_ou_une_etiquette_et_refuse_le_reste) {
    aller_a_class& aller = acces_simulateur::aller_a(*sim);
    std::string const source =
        ecrit_fichier("aller.asm", "DELAI = 3\ndebut: BT debut\n.org $1234\ndonnees: .octet 1\n");
    struct cas {
        char const* saisie;
        bool charge_la_source; // avant cette ligne
        double debut_dump;     // -1 : refuse, le dump ne bouge pas
        char const* message;
    };
    cas const table[] = {
        {"$1003", false, 0x1000, ""},
        {" 65535 ", false, 65440, ""},
        {"n@2", false, -1, "« n@@2 » n'est ni une adresse ni une étiquette."},
        {"$10000", false, -1, "hors de la mémoire"},
        {"donnees", false, -1, "aucune source n'est chargée"},
        {"donnees", true, 0x1230, ""},
        {"DELAI", false, -1, "« DELAI » n'est pas une étiquette de la source chargée."},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.saisie);
        if (c.charge_la_source) {
            acces_simulateur::retiens_fichier(*sim, source);
            clique(acces_simulateur::barre(*sim).B_RECHARGER);
        }
        frappe(f->SIM, 'g', FL_CTRL, "\x07");
        EXPECT_EQ(Fl::readqueue(), nullptr);
        ASSERT_TRUE(aller.aller_a->visible());
        double const avant = f->DUMP_SLIDE->value();
        aller.SAISIE->value(c.saisie);
        clique(aller.ALLER);
        EXPECT_EQ(f->DUMP_SLIDE->value(), c.debut_dump < 0 ? avant : c.debut_dump);
        EXPECT_EQ(aller.aller_a->visible() != 0, c.debut_dump < 0);
        EXPECT_NE(std::string(libelle(aller.MESSAGE)).find(c.message), std::string::npos)
            << libelle(aller.MESSAGE);
    }
    clique(aller.aller_a); // la case de fermeture
    EXPECT_FALSE(aller.aller_a->visible());
}

// La platine suit les ports ; un interrupteur vaut un clic sur le bouton du bit.
TEST_F(classe, la_platine_montre_les_ports_et_ses_interrupteurs_cliquent_le_port_e) {
    platine_class& p = acces_simulateur::platine(*sim);
    clique(acces_simulateur::barre_platine(*sim).B_PLATINE);
    ASSERT_TRUE(p.platine->visible());
    EXPECT_STREQ(p.platine->label(), "Platine");
    // Une touche tapee dans la platine vaut comme dans la fenetre principale.
    frappe(p.platine, FL_F + 7, 0, "");
    EXPECT_EQ(Fl::readqueue(), f->B_STEP);

    // Interrupteur du bit 3 : la chaine des ports, comme pour le bouton du bit.
    for (unsigned short r : {0x1000, 0x1004, 0x1003, 0x1008, 0x100A}) {
        mem->write_byte(r, 0x77);
    }
    clique(p.ORGANES[1][3]);
    EXPECT_EQ(mem->read_byte(0x100A), 0x08);
    EXPECT_EQ(mem->read_byte(0x1003), 0x00) << "les ports d'avant reecrivent leur registre";
    EXPECT_STREQ(p.ORGANES[1][3]->label(), interrupteur_haut);
    EXPECT_STREQ(p.ORGANES[1][2]->label(), interrupteur_bas);
    EXPECT_TRUE(p.ORGANES[1][3]->active());

    // DDRC a $ff, puis PUSHI $86 / POP PORTC / PUSHI $81 / POP PORTB : un STEP apres l'autre.
    tape_memoire("$1007", "255", "1");
    tape_programme(0, {0x01, 0x86, 0x02, 0x10, 0x03, 0x01, 0x81, 0x02, 0x10, 0x04});
    for (int pas = 0; pas < 4; ++pas) {
        clique(f->B_STEP);
    }
    for (int bit = 0; bit < 8; ++bit) {
        SCOPED_TRACE(bit);
        bool const led = bit == 0 || bit == 7;
        bool const segment = bit == 1 || bit == 2 || bit == 7; // "1."
        EXPECT_EQ(p.ORGANES[0][bit]->color(), led ? couleur_organe_allume : couleur_led_eteinte);
        EXPECT_EQ(p.ORGANES[2][bit]->color(),
                  segment ? couleur_organe_allume : couleur_segment_eteint);
        EXPECT_EQ(p.ORGANES[3][bit]->color(), couleur_segment_eteint);
    }
    clique(p.platine);
    EXPECT_FALSE(p.platine->visible());
}

} // namespace
