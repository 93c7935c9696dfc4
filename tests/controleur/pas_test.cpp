// Commandes du processeur : STEP, RESET, registres tapes dans le panneau, et les
// boutons sans commande.
#include <cstdio>
#include <string>
#include <vector>

#include "banc.h"

namespace {

using commandes = banc;

// PUSHI 5 ; PUSHI -1 ; ADD ; BT $0040 (vers 0x45, hors des douze lignes).
std::vector<int> const programme = {0x01, 0x05, 0x01, 0xFF, 0x08, 0x1A, 0x00, 0x40};

struct etat_apres_pas {
    unsigned short PC;
    char const* pc_hex;
    char const* pc_dec;
    std::vector<std::string> pile; // cases vivantes, du bas vers le haut
    int ligne_pc;                  // ligne marquee "-> ", comptee de 0
    unsigned short premiere_ligne;
    char const* ccr;
};

TEST_F(commandes, step_execute_et_redessine_panneau_pile_et_desassemblage) {
    tape_programme(0, programme);
    Fl_Box* const desa[] = {f->DESA01, f->DESA02, f->DESA03, f->DESA04, f->DESA05, f->DESA06,
                            f->DESA07, f->DESA08, f->DESA09, f->DESA10, f->DESA11, f->DESA12};
    Fl_Box* const pile[] = {f->PILE00, f->PILE01, f->PILE02, f->PILE03, f->PILE04, f->PILE05,
                            f->PILE06, f->PILE07, f->PILE08, f->PILE09, f->PILE10, f->PILE11,
                            f->PILE12, f->PILE13, f->PILE14, f->PILE15};
    etat_apres_pas const etapes[] = {
        {2, "      2", "    2", {"5 "}, 1, 0, "00000000"},
        {4, "      4", "    4", {"5 ", "-1 "}, 2, 0, "00001000"},
        {5, "      5", "    5", {"4 "}, 3, 0, "00000000"},
        // Branchement lointain : la liste repart du nouveau PC.
        {0x45, "     45", "   69", {"4 "}, 0, 0x45, "00000000"},
    };
    int pas = 0;
    for (auto const& e : etapes) {
        SCOPED_TRACE("pas " + std::to_string(++pas));
        clique(f->B_STEP);
        EXPECT_EQ(cpu->PC_value(), e.PC);
        EXPECT_EQ(texte_saisie(f->REG_PC_HEX), e.pc_hex);
        EXPECT_STREQ(libelle(f->REG_PC_DEC), e.pc_dec);
        EXPECT_STREQ(libelle(f->REG_CCR_BIN), e.ccr);
        for (int n = 0; n < 16; ++n) {
            bool const vivante = n < static_cast<int>(e.pile.size());
            EXPECT_STREQ(libelle(pile[n]), vivante ? e.pile[n].c_str() : "       ") << "case " << n;
            EXPECT_EQ(pile[n]->color(), vivante ? 174u : 255u) << "case " << n;
        }
        EXPECT_EQ(acces_simulateur::debut_desassemblage(*sim), e.premiere_ligne);
        for (int y = 0; y < 12; ++y) {
            bool const marquee = y == e.ligne_pc;
            EXPECT_EQ(std::string(libelle(desa[y])).rfind("-> ", 0) == 0, marquee) << "ligne " << y;
            EXPECT_EQ(desa[y]->color(), marquee ? 174u : 255u) << "ligne " << y;
        }
        if (pas == 3) {
            EXPECT_STREQ(libelle(f->DESA01), "   0 PUSHI 5");
            EXPECT_STREQ(libelle(f->DESA02), "   2 PUSHI -1");
            EXPECT_STREQ(libelle(f->DESA03), "   4 ADD");
            EXPECT_STREQ(libelle(f->DESA04), "-> 5 BT $0040");
            EXPECT_STREQ(libelle(f->DESA05), "   8 ?");
        }
    }
    EXPECT_STREQ(libelle(f->DESA01), "-> 45 ?");
    EXPECT_STREQ(libelle(f->DESA02), "   46 ?");
}

TEST_F(commandes, step_redessine_le_dump) {
    tape_programme(0, programme);
    mem->write_byte(0x08, 0x42); // hors de toute commande : le dump ne le montre pas encore
    EXPECT_STREQ(libelle(f->DUMP02), "   8 ff ff ff ff ff ff ff ff");
    clique(f->B_STEP);
    EXPECT_STREQ(libelle(f->DUMP01), "   0  1  5  1 ff  8 1a  0 40");
    EXPECT_STREQ(libelle(f->DUMP02), "   8 42 ff ff ff ff ff ff ff");
}

TEST_F(commandes, pc_tape_dans_le_panneau_vaut_au_step_suivant) {
    tape_programme(0, programme);
    f->REG_PC_HEX->value("2");
    clique(f->B_STEP);
    EXPECT_EQ(cpu->PC_value(), 4);
    EXPECT_STREQ(libelle(f->PILE00), "-1 ");
    EXPECT_EQ(texte_saisie(f->REG_PC_HEX), "      4");
}

TEST_F(commandes, a_tape_ne_s_affiche_en_binaire_qu_au_step) {
    f->REG_A_HEX->value("1f");
    clique(f->B_PLAY);
    EXPECT_EQ(cpu->A_value(), 0x1F);
    EXPECT_STREQ(libelle(f->REG_A_BIN), "00000000");
    clique(f->B_STEP);
    EXPECT_EQ(texte_saisie(f->REG_A_HEX), "1f");
    EXPECT_STREQ(libelle(f->REG_A_BIN), "00011111");
}

// Lecture du panneau : "%x" prend ce qu'il peut ; un champ sans nombre laisse
// le registre tel quel.
TEST_F(commandes, champs_du_panneau_relus_avant_chaque_commande) {
    enum registre { A, X, PC };
    struct cas {
        registre r;
        char const* texte;
        bool lisible;
        unsigned valeur;
    };
    cas const table[] = {
        {A, "1f", true, 0x1F},     {A, "1ff", true, 0xFF},    {X, "0x10", true, 0x10},
        {X, "10 zz", true, 0x10},  {X, "  -1", true, 0xFFFF}, {PC, "12345", true, 0x2345},
        {PC, "   ab", true, 0xAB}, {A, "zz", false, 0},       {A, "", false, 0},
        {X, "   ", false, 0},      {PC, "g1", false, 0},      {PC, "-", false, 0},
    };
    for (auto const& c : table) {
        SCOPED_TRACE(std::string("texte \"") + c.texte + "\"");
        cpu->set_A_value(0x5A);
        cpu->set_X_value(0x1234);
        cpu->set_PC_value(0x4321);
        sim->sauve_registres();
        Fl_Input* const champ = c.r == A ? f->REG_A_HEX : c.r == X ? f->REG_X_HEX : f->REG_PC_HEX;
        champ->value(c.texte);
        clique(f->B_STOP);
        unsigned const lu = c.r == A ? cpu->A_value() : c.r == X ? cpu->X_value() : cpu->PC_value();
        unsigned const avant = c.r == A ? 0x5A : c.r == X ? 0x1234 : 0x4321;
        EXPECT_EQ(lu, c.lisible ? c.valeur : avant);
    }
}

TEST_F(commandes, reset_remet_pc_et_pile_et_garde_a_x_ccr) {
    tape_programme(0, programme);
    clique(f->B_STEP);
    clique(f->B_STEP);
    f->REG_A_HEX->value("2a");
    f->REG_X_HEX->value("1234");
    cpu->set_CCR_value(0x14); // E et Z
    clique(f->B_RESET);
    EXPECT_EQ(cpu->PC_value(), 0);
    EXPECT_EQ(cpu->SP_value(), -1);
    EXPECT_EQ(cpu->A_value(), 0x2A);
    EXPECT_EQ(cpu->X_value(), 0x1234);
    EXPECT_EQ(cpu->CCR_value(), 0x14);
    EXPECT_EQ(cpu->pile(0), 5); // entrees perimees gardees
    EXPECT_EQ(texte_saisie(f->REG_PC_HEX), "      0");
    EXPECT_STREQ(libelle(f->REG_CCR_BIN), "00010100");
    EXPECT_STREQ(libelle(f->REG_X_DEC), " 4660");
    EXPECT_STREQ(libelle(f->PILE00), "       ");
    EXPECT_EQ(f->PILE01->color(), 255u);
    EXPECT_STREQ(libelle(f->DESA01), "-> 0 PUSHI 5");
    EXPECT_EQ(mem->read_byte(3), 0xFF);
}

// PLAY lance la marche, mais la passe qui le prend n'execute rien : les
// instructions viennent aux passes sans widget.
TEST_F(commandes, passes_de_play_et_stop_ne_changent_que_les_registres_relus) {
    tape_programme(0, programme);
    clique(f->B_STEP);
    std::vector<unsigned char> avant(0x10000);
    for (unsigned a = 0; a < 0x10000; ++a) {
        avant[a] = mem->read_byte(static_cast<unsigned short>(a));
    }
    std::string const desa = libelle(f->DESA02);
    std::string const dump = libelle(f->DUMP01);
    for (Fl_Widget* bouton :
         {static_cast<Fl_Widget*>(f->B_PLAY), static_cast<Fl_Widget*>(f->B_STOP)}) {
        SCOPED_TRACE(libelle(bouton));
        clique(bouton);
        EXPECT_EQ(cpu->PC_value(), 2);
        EXPECT_EQ(cpu->SP_value(), 0);
        EXPECT_STREQ(libelle(f->PILE00), "5 ");
        EXPECT_EQ(libelle(f->DESA02), desa);
        EXPECT_EQ(libelle(f->DUMP01), dump);
        for (unsigned a = 0; a < 0x10000; ++a) {
            ASSERT_EQ(mem->read_byte(static_cast<unsigned short>(a)), avant[a]) << "adresse " << a;
        }
    }
    // Aucune fenetre ne s'est ouverte (la garde l'aurait notee).
    EXPECT_TRUE(prend_dialogues().empty());
}

} // namespace
