// Defilement des vues : boutons du desassemblage, curseur et fleches du dump.
#include <cstdio>
#include <string>
#include <vector>

#include "banc.h"

namespace {

using vues = banc;

// PUSHI 5 ; PUSHI -1 ; ADD ; BT $0040.
std::vector<int> const programme = {0x01, 0x05, 0x01, 0xFF, 0x08, 0x1A, 0x00, 0x40};

TEST_F(vues, desa_d_et_desa_pc_deplacent_la_premiere_ligne) {
    tape_programme(0, programme);
    for (int i = 0; i < 3; ++i) {
        clique(f->B_STEP);
    }
    ASSERT_STREQ(libelle(f->DESA04), "-> 5 BT $0040");

    clique(f->DESA_D); // marqueur de la ligne 4 a la ligne 3
    EXPECT_EQ(acces_simulateur::debut_desassemblage(*sim), 2);
    EXPECT_STREQ(libelle(f->DESA01), "   2 PUSHI -1");
    EXPECT_STREQ(libelle(f->DESA03), "-> 5 BT $0040");

    clique(f->DESA_PC);
    EXPECT_EQ(acces_simulateur::debut_desassemblage(*sim), 5);
    EXPECT_STREQ(libelle(f->DESA01), "-> 5 BT $0040");
    EXPECT_STREQ(libelle(f->DESA02), "   8 ?");

    // Le PC sur la premiere ligne : descendre le cacherait, la liste repart du PC.
    clique(f->DESA_D);
    EXPECT_EQ(acces_simulateur::debut_desassemblage(*sim), 5);
    EXPECT_STREQ(libelle(f->DESA01), "-> 5 BT $0040");
}

TEST_F(vues, desa_u_ecrit_a_refaire_et_ne_touche_a_rien) {
    tape_programme(0, programme);
    clique(f->B_STEP);
    std::vector<std::string> avant;
    for (Fl_Box* l : {f->DESA01, f->DESA02, f->DESA12}) {
        avant.push_back(libelle(l));
    }
    testing::internal::CaptureStderr();
    clique(f->DESA_U);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "a refaire\n");
    std::vector<std::string> apres;
    for (Fl_Box* l : {f->DESA01, f->DESA02, f->DESA12}) {
        apres.push_back(libelle(l));
    }
    EXPECT_EQ(apres, avant);
    EXPECT_EQ(acces_simulateur::debut_desassemblage(*sim), 0);
}

// Le curseur tronque a un multiple de 8 ; les fleches avancent de 8 dans 0..65440.
TEST_F(vues, dump_curseur_tronque_et_fleches_bornees) {
    struct cas {
        double curseur;
        char const* bouton;
        int debut;
    };
    cas const table[] = {
        {13, "curseur", 8},     {65439.7, "curseur", 65432},
        {0, "haut", 0},         {8, "haut", 0},
        {0, "bas", 8},          {100, "bas", 104},
        {65440, "bas", 65440},  {65432, "bas", 65440},
        {65440, "haut", 65432},
    };
    for (auto const& c : table) {
        SCOPED_TRACE(std::string(c.bouton) + " depuis " + std::to_string(c.curseur));
        f->DUMP_SLIDE->value(c.curseur);
        std::string const b = c.bouton;
        clique(b == "curseur" ? static_cast<Fl_Widget*>(f->DUMP_SLIDE)
               : b == "haut"  ? static_cast<Fl_Widget*>(f->DUMP_U)
                              : static_cast<Fl_Widget*>(f->DUMP_D));
        EXPECT_EQ(f->DUMP_SLIDE->value(), c.debut);
        char premiere[32];
        char derniere[32];
        std::snprintf(premiere, sizeof premiere, "%4x ff ff ff ff ff ff ff ff", c.debut);
        std::snprintf(derniere, sizeof derniere, "%4x ff ff ff ff ff ff ff ff", c.debut + 88);
        EXPECT_STREQ(libelle(f->DUMP01), premiere);
        EXPECT_STREQ(libelle(f->DUMP12), derniere);
    }
}

TEST_F(vues, dump_montre_les_octets_et_s_arrete_a_ffff) {
    mem->write_byte(0xFFF8, 0x00);
    mem->write_byte(0xFFF9, 0x0A);
    mem->write_byte(0xFFFF, 0x7F);
    f->DUMP_SLIDE->value(65440);
    clique(f->DUMP_SLIDE);
    EXPECT_STREQ(libelle(f->DUMP12), "fff8  0  a ff ff ff ff ff 7f");
}

} // namespace
