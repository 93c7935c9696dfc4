// Decodage et desassemblage : un texte par format (sans operande, octet
// signe, mot en hexadecimal), repli des adresses a 0xFFFF, jamais plus de
// 11 octets ecrits dans le tampon de l'appelant.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "banc_machine.h"

namespace {

struct cas_texte {
    unsigned short adr;
    std::vector<int> octets;
    const char* texte;
    unsigned short suivante;
};

TEST(Desassemblage, ChaqueFormat) {
    const cas_texte cas[] = {
        {0x0000, {0x00, 0x10, 0x00}, "PUSH $1000", 0x0003},
        {0x0000, {0x20, 0x12, 0xAB}, "PUSH $12ab", 0x0003},
        {0x0010, {0x02, 0x00, 0x0A}, "POP $000a", 0x0013},
        {0x0000, {0x01, 0xFB}, "PUSHI -5", 0x0002},
        {0x0000, {0x01, 0x07}, "PUSHI 7", 0x0002},
        {0x0000, {0x01, 0x80}, "PUSHI -128", 0x0002},
        {0x0000, {0x01, 0x7F}, "PUSHI 127", 0x0002},
        {0x0000, {0x01, 0x00}, "PUSHI 0", 0x0002},
        {0x0000, {0x1A, 0xFF, 0xFD}, "BT $fffd", 0x0003},
        {0x4000, {0x14, 0x00, 0x05}, "BEQZ $0005", 0x4003},
        {0x0000, {0x08}, "ADD", 0x0001},
        {0x0000, {0xFF}, "?", 0x0001},
        {0x0000, {0x1B}, "NOP", 0x0001},
        // Trois octets en 0xFFFE : l'operande vient de 0xFFFF et 0x0000.
        {0xFFFE, {0x15, 0x12, 0x34}, "BNEZ $1234", 0x0001},
        {0xFFFF, {0x01, 0x9C}, "PUSHI -100", 0x0001},
        {0xFFFF, {0x10}, "NOT", 0x0000},
    };
    for (auto const& c : cas) {
        auto b = std::make_unique<banc_machine>();
        b->pose(c.adr, c.octets);
        char texte[11];
        EXPECT_EQ(b->cpu.desassemblage_instruction(c.adr, texte), c.suivante) << c.texte;
        EXPECT_STREQ(texte, c.texte);
        EXPECT_EQ(b->cpu.adresse_suivante(c.adr), c.suivante) << c.texte;
    }
}

TEST(Desassemblage, UnMnemoniqueParOpcodeEtLesBitsHautsIgnores) {
    const char* const attendus[nombre_opcodes] = {
        "PUSH", "PUSHI", "POP", "DUP", "SWAP", "DROP", "OVER", "ROLL", "ADD", "SUB",  "NEG",
        "MULT", "CMP",   "AND", "OR",  "XOR",  "NOT",  "ASR",  "LSR",  "LSL", "BEQZ", "BNEZ",
        "BLTZ", "BGEZ",  "BC",  "BNC", "BT",   "NOP",  "?",    "?",    "?",   "?",
    };
    const int tailles[nombre_opcodes] = {3, 2, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                         1, 1, 1, 1, 3, 3, 3, 3, 3, 3, 3, 1, 1, 1, 1, 1};
    banc_machine b;
    b.pose(0x0001, {0x00, 0x00});
    for (int octet = 0; octet < 256; ++octet) {
        b.memoire.write_byte(0x0000, static_cast<unsigned char>(octet));
        int const code = octet & 0x1F;
        EXPECT_EQ(b.cpu.decodage_instruction(0x0000), code);
        EXPECT_EQ(b.cpu.adresse_suivante(0x0000), tailles[code]) << octet;
        char texte[11];
        b.cpu.desassemblage_instruction(0x0000, texte);
        std::string const mnemonique = std::string(texte).substr(0, std::string(texte).find(' '));
        EXPECT_EQ(mnemonique, attendus[code]) << octet;
    }
}

TEST(Desassemblage, JamaisPlusDOnzeOctetsEcrits) {
    banc_machine b;
    for (int octet = 0; octet < 256; ++octet) {
        for (int operande : {0x00, 0x80, 0xFF}) {
            b.pose(0x0000, {octet, operande, operande});
            char tampon[32];
            std::memset(tampon, '#', sizeof tampon);
            b.cpu.desassemblage_instruction(0x0000, tampon);
            EXPECT_LE(std::strlen(tampon), 10u) << octet;
            for (std::size_t i = 11; i < sizeof tampon; ++i) {
                ASSERT_EQ(tampon[i], '#') << octet << " " << operande;
            }
        }
    }
}

TEST(Desassemblage, MemoireNeuveNeMontreQueDesPointsDInterrogation) {
    banc_machine b;
    for (unsigned int a = 0; a < mem_64k::taille; ++a) {
        unsigned short const adr = static_cast<unsigned short>(a);
        char texte[11];
        ASSERT_EQ(b.cpu.desassemblage_instruction(adr, texte), static_cast<unsigned short>(a + 1));
        ASSERT_STREQ(texte, "?") << a;
    }
}

TEST(Desassemblage, NeChangeNiLeProcesseurNiLaMemoire) {
    banc_machine b;
    b.pose(0x0100, {0x02, 0x10, 0x00});
    b.prepare_pile({0x33}, CCR_N, 0x0100);
    auto const memoire_avant = b.instantane();
    char texte[11];
    b.cpu.desassemblage_instruction(0x0100, texte);
    EXPECT_EQ(b.cpu.PC_value(), 0x0100);
    EXPECT_EQ(b.cpu.CCR_value(), CCR_N);
    EXPECT_EQ(b.pile(), std::vector<int>{0x33});
    EXPECT_TRUE(b.instantane() == memoire_avant);
}

} // namespace
