// Conversions nombre <-> texte : largeurs fixes, minuscules, et lecture sans
// validation ou chaque caractere vaut son code moins 48.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "chaines/chaines.h"
#include "chaines/saisie.h"

namespace {

struct cas_texte {
    int n;
    const char* attendu;
};

TEST(Conversions, Bin8toSDonneLesHuitBitsBasBit7EnTete) {
    const cas_texte cas[] = {
        {5, "00000101"},    {0xA5, "10100101"}, {0x1A5, "10100101"}, {0, "00000000"},
        {0x80, "10000000"}, {0xFF, "11111111"}, {-1, "11111111"},
    };
    for (auto const& c : cas) {
        EXPECT_EQ(bin8toS(c.n), c.attendu) << c.n;
    }
}

TEST(Conversions, Hex2toSEtHex4toSGardentLesZerosEnMinuscules) {
    const cas_texte deux[] = {
        {0, "00"}, {10, "0a"}, {0x3C, "3c"}, {255, "ff"}, {0x1FF, "ff"},
    };
    for (auto const& c : deux) {
        EXPECT_EQ(hex2toS(c.n), c.attendu) << c.n;
    }
    const cas_texte quatre[] = {
        {0, "0000"}, {0x12AB, "12ab"}, {65535, "ffff"}, {0xA, "000a"}, {0x1F00F, "f00f"},
    };
    for (auto const& c : quatre) {
        EXPECT_EQ(hex4toS(c.n), c.attendu) << c.n;
    }
    EXPECT_EQ(hex1toS(9), "9");
    EXPECT_EQ(hex1toS(15), "f");
    EXPECT_EQ(hex1toS(0x1B), "b");
}

struct cas_lecture {
    const char* texte;
    int attendu;
};

TEST(Conversions, StoloruhexLitEnHexaApresLeMarqueurEnDecimalSinon) {
    const cas_lecture cas[] = {
        {"$1F", 31},
        {"$1f", 31},
        {"$FFFF", 65535},
        {"10", 10},
        {"-3", -3},
        {"12$34", 0x34},
        {"$", 0},
        {"", 0},
        {"$1G", 16},
        // Neuf chiffres : seuls les huit derniers comptent.
        {"$123456789", 0x23456789},
    };
    for (auto const& c : cas) {
        EXPECT_EQ(Stoloruhex("$", c.texte), c.attendu) << '"' << c.texte << '"';
    }
}

TEST(Conversions, StolAccepteToutCaractereCommeChiffre) {
    const cas_lecture cas[] = {
        {"007", 7},  {"12 ", 104}, {"1a", 59},
        {"+5", -45}, {" 7", -153}, {"-", 0},
        {"", 0},     {"-42", -42}, {"2147483647", INT_MAX},
    };
    for (auto const& c : cas) {
        EXPECT_EQ(Stol(c.texte), c.attendu) << '"' << c.texte << '"';
    }
}

TEST(Conversions, StolSeReplieModulo2Puissance32SansComportementIndefini) {
    // Sous UBSan, un debordement signe ferait echouer ces lignes.
    EXPECT_EQ(Stol("2147483648"), INT_MIN);
    EXPECT_EQ(Stol("-2147483648"), INT_MIN);
    EXPECT_EQ(Stol("4294967296"), 0);
    EXPECT_EQ(Stol("4294967297"), 1);
    EXPECT_EQ(Stol("99999999999"), static_cast<int>(99999999999LL & 0xFFFFFFFF));
}

TEST(Conversions, StouhexPerdLesChiffresAuDelaDeHuit) {
    EXPECT_EQ(Stouhex("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(Stouhex("1FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(Stouhex("aBcD"), 0xABCDu);
    EXPECT_EQ(Stouhex("x1"), 0x01u);
    EXPECT_EQ(Stouhex(""), 0u);
}

// Le nombre tape hors des champs des registres : champs de la memoire, Ctrl+G et
// options des commandes le lisent ainsi, sous toutes les formes du source.
TEST(Conversions, UnNombreTapeSousLesFormesDuSource) {
    struct cas {
        char const* texte;
        bool est_nombre;
        long long valeur;
    } const table[] = {
        {"0x10", true, 16},
        {"'A'", true, 65},
        {"+5", true, 5},
        {" 16 ", true, 16},
        {"\t$ff", true, 255},
        {"%101", true, 5},
        {"-3", true, -3},
        {"", true, 0},
        {"4294967297", true, plafond_saisie},
        {"-$123456789", true, -plafond_saisie},
        {"12$34", false, 0},
        {"$1 0", false, 0},
        {"--1", false, 0},
        {"0x", false, 0},
        {"1a", false, 0},
    };
    for (cas const& c : table) {
        nombre_tape const lu = lit_nombre_tape(c.texte);
        EXPECT_EQ(lu.est_nombre, c.est_nombre) << c.texte;
        EXPECT_EQ(lu.valeur, c.valeur) << c.texte;
        EXPECT_EQ(lu.vide, *c.texte == '\0') << c.texte;
    }
}

TEST(Conversions, MyAfterRendLaFinDuTexte) {
    EXPECT_EQ(my_after("abcdef", 0), "abcdef");
    EXPECT_EQ(my_after("abcdef", 2), "cdef");
    EXPECT_EQ(my_after("abcdef", 6), "");
    EXPECT_EQ(my_after("abcdef", 60), "");
}

} // namespace
