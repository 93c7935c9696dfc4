// Programmes entiers executes pas a pas, sous une limite de pas ; en cas
// d'echec chaque message donne les registres et la pile.
#include <gtest/gtest.h>

#include <vector>

#include "banc_machine.h"

namespace {

TEST(Programmes, LeCompteAReboursSArreteSurZeroApresOnzePas) {
    banc_machine b;
    b.pose(0x0000, {
                       0x01, 0x03,       // 0000 PUSHI 3
                       0x01, 0x01,       // 0002 PUSHI 1
                       0x09,             // 0004 SUB
                       0x15, 0xFF, 0xFD, // 0005 BNEZ -3 (vers 0002)
                       0x1B,             // 0008 NOP
                   });
    std::vector<int> sommets;
    std::vector<unsigned short> apres_bnez;
    for (int pas = 0; pas < 11; ++pas) {
        bool const bnez = b.cpu.PC_value() == 0x0005;
        b.cpu.step();
        if (b.cpu.PC_value() == 0x0005) {
            sommets.push_back(b.pile().back());
        }
        if (bnez) {
            apres_bnez.push_back(b.cpu.PC_value());
        }
    }
    EXPECT_EQ(sommets, (std::vector<int>{2, 1, 0})) << b.etat();
    EXPECT_EQ(apres_bnez, (std::vector<unsigned short>{0x0002, 0x0002, 0x0008})) << b.etat();
    EXPECT_EQ(b.cpu.PC_value(), 0x0009) << b.etat();
    EXPECT_EQ(b.cpu.SP_value(), 0) << b.etat();
    EXPECT_EQ(b.cpu.pile(0), 0) << b.etat();
    EXPECT_EQ(b.cpu.CCR_value(), CCR_Z) << b.etat();
}

TEST(Programmes, BLTZApresCMPNeLitQueLaDifferenceSurHuitBits) {
    banc_machine b;
    b.pose(0x0000, {
                       0x01, 0x80,       // 0000 PUSHI -128
                       0x01, 0x01,       // 0002 PUSHI 1
                       0x0C,             // 0004 CMP : 0x80 - 1 = 0x7F
                       0x16, 0x00, 0x10, // 0005 BLTZ +16, non pris
                       0x1B,             // 0008 NOP
                   });
    for (int pas = 0; pas < 4; ++pas) {
        b.cpu.step();
    }
    EXPECT_EQ(b.cpu.PC_value(), 0x0008) << b.etat();
    EXPECT_EQ(b.pile(), (std::vector<int>{0x80, 0x01})) << b.etat();
}

TEST(Programmes, UneBoucleDeCopieMemoireViaPUSHEtPOP) {
    // Copie l'octet de 0x2000 vers 0x2001 puis revient au debut.
    banc_machine b;
    b.memoire.write_byte(0x2000, 0xC3);
    b.pose(0x0000, {
                       0x00, 0x20, 0x00, // 0000 PUSH $2000
                       0x02, 0x20, 0x01, // 0003 POP $2001
                       0x1A, 0xFF, 0xFA, // 0006 BT -6
                   });
    for (int pas = 0; pas < 30; ++pas) {
        b.cpu.step();
        ASSERT_LE(b.cpu.SP_value(), 0) << "la pile ne doit pas grossir " << b.etat();
    }
    EXPECT_EQ(b.memoire.read_byte(0x2001), 0xC3);
    EXPECT_EQ(b.cpu.PC_value(), 0x0000) << b.etat();
    EXPECT_EQ(b.cpu.CCR_value(), CCR_N) << b.etat();
}

} // namespace
