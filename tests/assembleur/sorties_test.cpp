// Ce que l'assembleur rend : l'en-tete du .bin, les S-records relus par le
// chargeur du simulateur, le listing, les nombres des options, la lecture d'un
// source et le chargement d'une image en memoire.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "assembleur/source.h"
#include "simulateur/mem_64k.h"

namespace {

programme_assemble image(unsigned short base, std::size_t taille) {
    programme_assemble p;
    p.base = base;
    for (std::size_t i = 0; i < taille; ++i) {
        p.image.push_back(static_cast<unsigned char>(i * 37 + 11));
    }
    return p;
}

TEST(Sorties, EnteteDuBinaire) {
    std::vector<unsigned char> const bin = fichier_bin(image(0x1234, 300));
    ASSERT_EQ(bin.size(), 304u);
    EXPECT_EQ(std::vector<unsigned char>(bin.begin(), bin.begin() + 4),
              (std::vector<unsigned char>{0x01, 0x30, 0x12, 0x34}));
}

TEST(Sorties, SRecordsExacts) {
    programme_assemble p = image(0x0010, 0);
    p.image = {0xAA, 0xBB};
    EXPECT_EQ(fichier_s19(p), "S1050010AABB85\nS9030000FC\n");
    EXPECT_EQ(fichier_s19(image(0, 0)), "S9030000FC\n");
    std::string const dix_sept = fichier_s19(image(0, 17));
    EXPECT_EQ(dix_sept.substr(0, 8), "S1130000") << "16 octets au plus par enregistrement";
    EXPECT_EQ(dix_sept.substr(dix_sept.find('\n') + 1, 8), "S1040010");
}

TEST(Sorties, SRecordsRelusParLeChargeurDuSimulateur) {
    for (std::size_t taille : {1u, 16u, 17u, 40u, 300u}) {
        programme_assemble const p = image(0x0100, taille);
        std::string const chemin =
            (std::filesystem::temp_directory_path() / "karvela_asm_test.s19").string();
        std::ofstream(chemin) << fichier_s19(p);
        auto memoire = std::make_unique<mem_64k>();
        std::string c = chemin;
        ASSERT_EQ(memoire->load_s19(c.data()), 1);
        std::filesystem::remove(chemin);
        for (unsigned a = 0x00F0; a < 0x0100 + taille + 16; ++a) {
            int const attendu = a >= 0x0100 && a < 0x0100 + taille ? p.image[a - 0x0100] : 0xFF;
            ASSERT_EQ(memoire->read_byte(static_cast<unsigned short>(a)), attendu)
                << "taille " << taille << " case " << a;
        }
    }
}

TEST(Sorties, ListingAvecDonneesEtLignesSansOctets) {
    std::string const source = "; titre\nN = 2\n\n  .org 1\ndebut: PUSHI N ; deux\n"
                               ".octet \"abcd\"\nfin:\n";
    programme_assemble const p = assemble(source);
    ASSERT_TRUE(p.reussi());
    EXPECT_EQ(fichier_listing(p, source),
              "; titre\n"
              "; Chargé en 0001 : 6 octets (en-tête 00 0a 00 01).\n"
              "; adresse | octets   | instruction | pile | source\n"
              ";         |          |             |      | N = 2\n"
              "\n"
              ";         |          |             |      |   .org 1\n"
              "0001      | 01 02    | PUSHI 2     | ?    | debut: PUSHI N ; deux\n"
              "0003      | 61 62 63 |             |      | .octet \"abcd\"\n"
              "0006      | 64       |             |      |\n"
              ";         |          |             |      | fin:\n");
}

// Les lignes du listing sont celles de l'assembleur (fins CR seules, marque
// d'ordre) ; un branchement montre sa cible, son etiquette, coupee si demesuree.
TEST(Sorties, ListingDesBranchements) {
    std::string const long_nom(50, 'x');
    const struct {
        std::string source, rangee;
    } cas[] = {
        {"\xEF\xBB\xBF; t\rNOP\rBT fin\r\rfin: NOP",
         "0001      | 1a 00 03 | BT $0003    | 0    | BT fin  ; -> $0004 fin\n"},
        {"BT *", "0000      | 1a 00 00 | BT $0000    | 0    | BT *  ; -> $0000\n"},
        {"b: PUSHI 1\nPUSHI 1\nBT b",
         "0004      | 1a ff fc | BT $fffc    | 2,4,6,8,10,12,14,16 | BT b"},
        {long_nom + ": BT *", "0000      | 1a 00 00 | BT $0000    | 0    | " + long_nom +
                                  ": BT *  ; -> $0000 " + std::string(40, 'x') + "...\n"},
    };
    for (auto const& c : cas) {
        programme_assemble const p = assemble(c.source);
        ASSERT_TRUE(p.reussi()) << c.source;
        std::string const listing = fichier_listing(p, c.source);
        EXPECT_NE(listing.find(c.rangee), std::string::npos) << listing;
        EXPECT_EQ(listing.find('\xEF'), std::string::npos) << "marque d'ordre retiree";
    }
}

TEST(Sorties, Nombres) {
    const struct {
        const char* texte;
        bool lu;
        long valeur;
    } cas[] = {
        {"12", true, 12},   {"-3", true, -3},   {"+4", true, 4},          {"$1f", true, 31},
        {"0x1F", true, 31}, {"%0101", true, 5}, {"'A'", true, 65},        {"$FFFF", true, 65535},
        {"", false, 0},     {"-", false, 0},    {"12a", false, 0},        {"$", false, 0},
        {"1 ", false, 0},   {"x", false, 0},    {"4294967296", false, 0}, {"--1", false, 0},
    };
    for (auto const& c : cas) {
        long v = -999;
        EXPECT_EQ(lit_nombre(c.texte, v), c.lu) << c.texte;
        if (c.lu) {
            EXPECT_EQ(v, c.valeur) << c.texte;
        }
    }
}

TEST(Sorties, LectureDuSource) {
    std::filesystem::path const dossier = std::filesystem::temp_directory_path();
    std::string const chemin = (dossier / "karvela_source_test.asm").string();
    std::ofstream(chemin, std::ios::binary) << std::string("NOP\r\n\0\xff", 7);
    source_lue const lue = lit_source(chemin);
    std::filesystem::remove(chemin);
    EXPECT_TRUE(lue.lue);
    EXPECT_EQ(lue.texte, std::string("NOP\r\n\0\xff", 7));
    std::string const grand = (dossier / "karvela_source_creux.asm").string();
    std::ofstream(grand, std::ios::binary);
    std::filesystem::resize_file(grand, taille_source_max + 1); // creux : rien n'est ecrit

    const struct {
        std::string chemin;
        std::string erreur;
    } cas[] = {
        {"/nulle/part.asm", "impossible de lire « /nulle/part.asm » : fichier introuvable"},
        {dossier.string(), "impossible de lire « " + dossier.string() + " » : c'est un dossier"},
        {"/dev/zero", "impossible de lire « /dev/zero » : c'est un périphérique"},
        {grand, "impossible de lire « " + grand + " » : plus de 16 Mio, ce n'est pas un source"},
    };
    for (auto const& c : cas) {
        source_lue const l = lit_source(c.chemin);
        EXPECT_FALSE(l.lue) << c.chemin;
        EXPECT_EQ(l.erreur, c.erreur);
    }
    std::filesystem::remove(grand);
}

TEST(Sorties, ChargementDUneImageCommeUnBinaire) {
    auto memoire = std::make_unique<mem_64k>();
    EXPECT_EQ(memoire->load_image(0xFFFE, {1, 2, 3}), 0) << "depasse $ffff";
    EXPECT_EQ(memoire->read_byte(0xFFFE), 0xFF) << "memoire intacte";
    EXPECT_EQ(memoire->load_image(0xFFFE, {1, 2}), 1);
    EXPECT_EQ(memoire->read_byte(0x0000), 0) << "tout est remis a 0";
    EXPECT_EQ(memoire->read_byte(0xFFFD), 0);
    EXPECT_EQ(memoire->read_byte(0xFFFE), 1);
    EXPECT_EQ(memoire->read_byte(0xFFFF), 2);
}

} // namespace
