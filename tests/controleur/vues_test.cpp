// Defilement des vues : boutons du desassemblage, curseur et fleches du dump.
#include <cstdio>
#include <string>
#include <utility>
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

// DESA_U : l'instruction qui finit juste avant la premiere ligne, trouvee en
// decodant depuis 32 octets plus haut (ou depuis 0) ; apres DESA_D, la meme liste
// revient quand la lecture en avant s'accorde avec la premiere ligne.
TEST_F(vues, desa_u_remonte_d_une_instruction_et_ecrit_a_refaire) {
    struct cas {
        char const* nom;
        std::vector<std::pair<int, std::vector<int>>> octets; // (adresse, octets)
        unsigned short premiere;                              // mise en tete par DESA_PC
        unsigned short pc;                                    // visible tout du long
        bool descend;                                         // DESA_D avant DESA_U
        unsigned short attendue;                              // premiere ligne apres DESA_U
        bool meme_liste;                                      // celle de depart revient
    };
    // PUSHI 5 ; PUSH $1000 ; ADD ; POP $1004 en 0x100.
    std::vector<int> const aligne = {0x01, 0x05, 0x00, 0x10, 0x00, 0x08, 0x02, 0x10, 0x04};
    // PUSH $0303 ou, un octet plus loin, DUP ; DUP ; puis ADD.
    std::vector<int> const ambigu = {0x00, 0x03, 0x03, 0x08};
    cas const table[] = {
        {"aligne", {{0x100, aligne}}, 0x102, 0x106, true, 0x102, true},
        {"ambigu, lu depuis plus haut", {{0x200, ambigu}}, 0x200, 0x203, true, 0x200, true},
        {"ambigu, DUP en tete", {{0x200, ambigu}}, 0x202, 0x203, true, 0x200, false},
        // Un PUSHI en 0xFFFF lirait 0 comme operande : partir de 0, ou le programme commence.
        {"pres de 0", {{0xFFFF, {0x01}}, {0x0000, ambigu}}, 0x000, 0x003, true, 0x000, true},
        {"0 vers le haut de la memoire",
         {{0xFFFD, {0x00, 0x12, 0x34}}},
         0x000,
         0x000,
         false,
         0xFFFD,
         false},
        {"a cheval sur $FFFF", {{0xFFFE, {0x00, 0x12, 0x34}}}, 0xFFFE, 0x001, true, 0xFFFE, true},
        // Lue depuis plus haut, la suite PUSHI ; PUSH enjambe 0x504 ; partir de 0x501
        // (PUSH) y tombe juste, et de plus loin que le DUP en 0x503.
        {"enjambee", {{0x500, {0x01, 0x00, 0x00, 0x03, 0x08}}}, 0x504, 0x504, false, 0x501, false},
        // PUSHI ; PUSH ; PUSHI : aucune instruction ne finit en 0x303.
        {"aucune ne finit la", {{0x300, {0x01, 0x00, 0x01}}}, 0x303, 0x304, false, 0x302, false},
        // Le PC sur la derniere ligne en sortirait : la liste repart de lui.
        {"le PC reste visible", {}, 0x400, 0x40B, false, 0x40B, false},
    };
    Fl_Box* const desa[] = {f->DESA01, f->DESA02, f->DESA03, f->DESA04, f->DESA05, f->DESA06,
                            f->DESA07, f->DESA08, f->DESA09, f->DESA10, f->DESA11, f->DESA12};
    auto liste = [&desa, this] {
        std::vector<std::string> lignes;
        for (Fl_Box* l : desa) {
            lignes.push_back(libelle(l));
        }
        return lignes;
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        for (auto const& [adresse, octets] : c.octets) {
            for (std::size_t i = 0; i < octets.size(); ++i) {
                mem->write_byte(static_cast<unsigned short>(adresse + i),
                                static_cast<unsigned char>(octets[i]));
            }
        }
        cpu->set_PC_value(c.premiere);
        sim->sauve_registres();
        clique(f->DESA_PC);
        cpu->set_PC_value(c.pc);
        sim->sauve_registres();
        sim->rafraichit_desassemble();
        std::vector<std::string> const depart = liste();
        if (c.descend) {
            clique(f->DESA_D);
        }
        testing::internal::CaptureStderr();
        clique(f->DESA_U);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "a refaire\n");
        EXPECT_EQ(acces_simulateur::debut_desassemblage(*sim), c.attendue);
        EXPECT_EQ(liste() == depart, c.meme_liste);
        for (auto const& [adresse, octets] : c.octets) {
            for (std::size_t i = 0; i < octets.size(); ++i) {
                mem->write_byte(static_cast<unsigned short>(adresse + i), 0xFF);
            }
        }
    }
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
