// Demarrage et fin du controleur : etat affiche au lancement, ports configures
// d'apres leur table, fermeture de la fenetre principale.
#include <FL/Fl.H>

#include <cstdio>
#include <string>

#include "banc.h"

namespace {

using demarrage = banc;

TEST_F(demarrage, panneau_et_vues_montrent_le_processeur_neuf) {
    EXPECT_STREQ(f->SIM->label(), "Machine a pile");
    EXPECT_TRUE(f->SIM->shown());
    EXPECT_EQ(f->SIM->w(), 650);
    EXPECT_EQ(f->SIM->h(), 695);

    EXPECT_EQ(texte_saisie(f->REG_PC_HEX), "      0");
    EXPECT_STREQ(libelle(f->REG_PC_DEC), "    0");
    EXPECT_EQ(texte_saisie(f->REG_A_HEX), " 0");
    EXPECT_STREQ(libelle(f->REG_A_BIN), "00000000");
    EXPECT_STREQ(libelle(f->REG_CCR_BIN), "00000000");
    EXPECT_EQ(texte_saisie(f->REG_X_HEX), "      0");
    EXPECT_STREQ(libelle(f->REG_X_DEC), "    0");
    // tmpA n'est jamais ecrit par le controleur.
    EXPECT_EQ(texte_saisie(f->REG_TMPA_HEX), "");
    EXPECT_STREQ(libelle(f->REG_TMPA_BIN), "00000000");

    Fl_Box* const pile[] = {f->PILE00, f->PILE05, f->PILE15};
    for (Fl_Box* cellule : pile) {
        EXPECT_STREQ(libelle(cellule), "       ");
        EXPECT_EQ(cellule->color(), 255u);
        EXPECT_EQ(cellule->selection_color(), 50u);
    }

    // Memoire neuve : 0xFF partout, donc "?" a chaque adresse.
    Fl_Box* const desa[] = {f->DESA01, f->DESA02, f->DESA03, f->DESA04, f->DESA05, f->DESA06,
                            f->DESA07, f->DESA08, f->DESA09, f->DESA10, f->DESA11, f->DESA12};
    for (int y = 0; y < 12; ++y) {
        char attendu[16];
        std::snprintf(attendu, sizeof attendu, "%s%x ?", y == 0 ? "-> " : "   ", y);
        EXPECT_STREQ(libelle(desa[y]), attendu) << "ligne " << y + 1;
        EXPECT_EQ(desa[y]->color(), y == 0 ? 174u : 255u) << "ligne " << y + 1;
        EXPECT_EQ(desa[y]->selection_color(), 50u);
    }

    Fl_Box* const dump[] = {f->DUMP01, f->DUMP02, f->DUMP12};
    int const adresses[] = {0x00, 0x08, 0x58};
    for (int n = 0; n < 3; ++n) {
        char attendu[32];
        std::snprintf(attendu, sizeof attendu, "%4x ff ff ff ff ff ff ff ff", adresses[n]);
        EXPECT_STREQ(libelle(dump[n]), attendu);
        EXPECT_EQ(dump[n]->labelsize(), 13);
    }
    EXPECT_EQ(f->DUMP_SLIDE->value(), 0.0);
    EXPECT_EQ(f->DUMP_SLIDE->minimum(), 0.0);
    EXPECT_EQ(f->DUMP_SLIDE->maximum(), 65440.0);
    EXPECT_EQ(f->DUMP_SLIDE->step(), 1.0);

    ASSERT_EQ(f->m_fichier->size(), 4); // trois entrees et la fin de liste
    EXPECT_STREQ(f->m_fichier->text(0), "A propos de...");
    EXPECT_STREQ(f->m_fichier->text(1), "Ouvrir fichier binaire");
    EXPECT_STREQ(f->m_fichier->text(2), "Quitter");

    EXPECT_EQ(cpu->PC_value(), 0);
    EXPECT_EQ(cpu->SP_value(), -1);
    EXPECT_EQ(acces_simulateur::debut_desassemblage(*sim), 0);
}

// Chaque port a sa place, ses registres en memoire et la couleur de ses bits
// d'apres les masques forces (rouge 88 : sortie, vert 63 : entree).
struct port_attendu {
    char const* nom;
    int x, y;
    unsigned short adresse;
    unsigned char sorties;
    char const* nom_direction;
    int xd, yd;
    unsigned short adresse_direction;
};

TEST_F(demarrage, les_cinq_ports_suivent_leur_table) {
    port_attendu const ports[] = {
        {"Port A", 40, 200, 0x1000, 0x70, nullptr, 0, 0, 0},
        {"Port B", 130, 200, 0x1004, 0xFF, nullptr, 0, 0, 0},
        {"Port C", 220, 200, 0x1003, 0x00, "DDRC", 220, 270, 0x1007},
        {"Port D", 310, 200, 0x1008, 0x00, "DDRD", 310, 270, 0x1009},
        {"Port E", 40, 270, 0x100A, 0x00, nullptr, 0, 0, 0},
    };
    for (auto const& p : ports) {
        SCOPED_TRACE(p.nom);
        Fl_Widget* nom = widget_en(f->SIM, p.x, p.y, 80, 20);
        ASSERT_NE(nom, nullptr);
        EXPECT_STREQ(libelle(nom), p.nom);
        EXPECT_EQ(mem->read_byte(p.adresse), 0xFF);
        for (int n = 0; n < 8; ++n) {
            Fl_Widget* bit = widget_en(f->SIM, p.x + 70 - 10 * n, p.y + 40, 10, 10);
            ASSERT_NE(bit, nullptr) << "bit " << n;
            EXPECT_EQ(bit->color(), (p.sorties >> n) & 1 ? 88u : 63u) << "bit " << n;
        }
        if (p.nom_direction != nullptr) {
            Fl_Widget* direction = widget_en(f->SIM, p.xd, p.yd, 80, 20);
            ASSERT_NE(direction, nullptr);
            EXPECT_STREQ(libelle(direction), p.nom_direction);
            EXPECT_EQ(mem->read_byte(p.adresse_direction), 0x00);
        }
    }
}

TEST_F(demarrage, quitter_finit_la_boucle) {
    EXPECT_EQ(choisit_menu(3), 0);
}

TEST_F(demarrage, fermer_la_fenetre_finit_la_boucle_comme_quitter) {
    // Ce que fait la case de fermeture du gestionnaire de fenetres.
    Fl::handle(FL_CLOSE, f->SIM);
    EXPECT_EQ(sim->passe_commande(), 0);
}

TEST_F(demarrage, echap_ne_ferme_pas_la_fenetre_principale) {
    static char echap[] = "\033";
    Fl::e_keysym = FL_Escape;
    Fl::e_text = echap;
    Fl::e_length = 1;
    Fl::handle(FL_KEYBOARD, f->SIM);
    EXPECT_TRUE(f->SIM->visible());
    EXPECT_EQ(Fl::readqueue(), nullptr);
    // La boucle continue : le clic suivant est traite normalement.
    clique(f->B_PLAY);
}

} // namespace
