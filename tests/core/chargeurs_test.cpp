// Chargeurs binaire et S-records sur des fichiers ecrits par le test dans un
// dossier temporaire. Un fichier refuse rend 0, ecrit ses lignes sur la sortie
// d'erreur et laisse la memoire exactement comme avant.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "execution/fichiers.h"
#include "simulateur/mem_64k.h"
#include "tests/dossier_temporaire.h"

namespace {

class Chargeurs : public dossier_temporaire {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(dossier_temporaire::SetUp());
        // Une memoire deja travaillee : 0x5A sur la premiere page, 0xFF ailleurs.
        for (int a = 0; a < 0x100; ++a) {
            m->write_byte(static_cast<unsigned short>(a), 0x5A);
        }
    }

    std::string ecrit(std::string const& nom, std::vector<int> const& octets) {
        std::string const chemin = (dossier / nom).string();
        std::ofstream f(chemin, std::ios::binary);
        for (int o : octets) {
            f.put(static_cast<char>(o));
        }
        return chemin;
    }
    std::string ecrit_texte(std::string const& nom, std::string const& texte) {
        return ecrit(nom, std::vector<int>(texte.begin(), texte.end()));
    }

    std::vector<unsigned char> instantane() const {
        std::vector<unsigned char> cases(mem_64k::taille);
        for (unsigned int a = 0; a < mem_64k::taille; ++a) {
            cases[a] = m->read_byte(static_cast<unsigned short>(a));
        }
        return cases;
    }

    // Resultat du chargeur et texte ecrit sur la sortie d'erreur.
    std::pair<int, std::string> binaire(std::string chemin) {
        testing::internal::CaptureStderr();
        int const r = m->load_binaire(chemin.data());
        return {r, testing::internal::GetCapturedStderr()};
    }
    std::pair<int, std::string> s19(std::string chemin) {
        testing::internal::CaptureStderr();
        int const r = m->load_s19(chemin.data());
        return {r, testing::internal::GetCapturedStderr()};
    }

    std::unique_ptr<mem_64k> m = std::make_unique<mem_64k>();
};

std::string debut(std::string const& chemin) {
    return "c'est parti ..\nlecture de \"" + chemin + "\"\n";
}

// --- Binaire ---

TEST_F(Chargeurs, BinaireCopieLImageALaBaseEtEfface_LeReste) {
    std::string const chemin =
        ecrit("prog.bin", {0x00, 0x0A, 0x01, 0x00, 0x0D, 0x0A, 0x1A, 0x00, 0xFF, 0x80});
    auto const [r, err] = binaire(chemin);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(err, debut(chemin) + "adresse de base 256 taille 10\n");
    std::vector<unsigned char> attendu(mem_64k::taille, 0);
    unsigned char const image[] = {0x0D, 0x0A, 0x1A, 0x00, 0xFF, 0x80};
    std::copy(std::begin(image), std::end(image), attendu.begin() + 0x100);
    EXPECT_TRUE(instantane() == attendu);
}

TEST_F(Chargeurs, BinaireEnTeteSeulLaisseToutANul) {
    std::string const chemin = ecrit("vide.bin", {0x00, 0x04, 0x12, 0x34});
    auto const [r, err] = binaire(chemin);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(err, debut(chemin) + "adresse de base 4660 taille 4\n");
    EXPECT_TRUE(instantane() == std::vector<unsigned char>(mem_64k::taille, 0));
}

TEST_F(Chargeurs, BinairePlusLongQueSaTailleIgnoreLaSuite) {
    std::string const chemin = ecrit("long.bin", {0x00, 0x06, 0x02, 0x00, 0xAA, 0xBB, 0xCC, 0xDD});
    auto const [r, err] = binaire(chemin);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(m->read_byte(0x0000), 0x00) << "la base 0x0200 laisse 0x0000 a zero";
    EXPECT_EQ(m->read_byte(0x0200), 0xAA);
    EXPECT_EQ(m->read_byte(0x0201), 0xBB);
    EXPECT_EQ(m->read_byte(0x0202), 0x00);
}

TEST_F(Chargeurs, BinaireQuiFinitJusteEnFFFF) {
    std::string const chemin = ecrit("fin.bin", {0x00, 0x06, 0xFF, 0xFE, 0x11, 0x22});
    auto const [r, err] = binaire(chemin);
    EXPECT_EQ(r, 1) << err;
    EXPECT_EQ(m->read_byte(0xFFFE), 0x11);
    EXPECT_EQ(m->read_byte(0xFFFF), 0x22);
    EXPECT_EQ(m->read_byte(0x0000), 0x00);
}

struct cas_refus {
    const char* nom;
    std::vector<int> octets;
    const char* lignes; // apres "c'est parti .." et la ligne "lecture de"
};

TEST_F(Chargeurs, BinaireRefuseSansToucherLaMemoire) {
    const cas_refus cas[] = {
        {"vide.bin", {}, "erreur: fichier plus court que son en-tete de 4 octets\n"},
        {"court.bin",
         {0x00, 0x08, 0x01},
         "erreur: fichier plus court que son en-tete de 4 octets\n"},
        {"taille3.bin",
         {0x00, 0x03, 0x00, 0x00},
         "adresse de base 0 taille 3\nerreur: taille invalide (de 4 a 32767 octets attendus)\n"},
        {"taille0.bin",
         {0x00, 0x00, 0x01, 0x00},
         "adresse de base 256 taille 0\nerreur: taille invalide (de 4 a 32767 octets attendus)\n"},
        {"negative.bin",
         {0x80, 0x00, 0x00, 0x00, 0x01},
         "adresse de base 0 taille -32768\nerreur: taille invalide (de 4 a 32767 octets "
         "attendus)\n"},
        {"moinsun.bin",
         {0xFF, 0xFF, 0x00, 0x10},
         "adresse de base 16 taille -1\nerreur: taille invalide (de 4 a 32767 octets attendus)\n"},
        {"tronque.bin",
         {0x00, 0x0A, 0x00, 0x10, 0x01, 0x02, 0x03},
         "adresse de base 16 taille 10\nerreur: fichier tronque (7 octets au lieu de 10)\n"},
        {"debordant.bin",
         {0x00, 0x07, 0xFF, 0xFE, 0x01, 0x02, 0x03},
         "adresse de base 65534 taille 7\nerreur: l'image depasse la fin de la memoire\n"},
    };
    for (auto const& c : cas) {
        auto const avant = instantane();
        std::string const chemin = ecrit(c.nom, c.octets);
        auto const [r, err] = binaire(chemin);
        EXPECT_EQ(r, 0) << c.nom;
        EXPECT_EQ(err, debut(chemin) + c.lignes) << c.nom;
        EXPECT_TRUE(instantane() == avant) << c.nom << " a touche la memoire";
    }
}

TEST_F(Chargeurs, BinaireIntrouvableLaisseLaMemoire) {
    auto const avant = instantane();
    std::string const chemin = (dossier / "absent.bin").string();
    auto const [r, err] = binaire(chemin);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(err, debut(chemin) + "erreur sur fichier \n");
    EXPECT_TRUE(instantane() == avant);
}

// Les raisons que karvela-run et l'alerte de la fenetre donnent d'un refus.
TEST_F(Chargeurs, BinaireRefuseDitPourquoi) {
    std::string const tube = (dossier / "tube.bin").string();
    ASSERT_EQ(mkfifo(tube.c_str(), 0600), 0);
    const struct {
        std::string chemin;
        std::string raison;
    } cas[] = {
        {(dossier / "absent.bin").string(), "fichier introuvable"},
        {dossier.string(), "c'est un dossier"},
        {tube, "c'est un tube (FIFO)"},
        {"/dev/null", "c'est un périphérique"},
        {ecrit("court.bin", {0x00, 0x08, 0x01}), "fichier plus court que son en-tête de 4 octets"},
        {ecrit("taille3.bin", {0x00, 0x03, 0x00, 0x00}),
         "taille 3 invalide dans l'en-tête (de 4 à 32767 octets attendus)"},
        {ecrit("tronque.bin", {0x00, 0x0A, 0x00, 0x10, 0x01, 0x02, 0x03}),
         "fichier tronqué (7 octets au lieu de 10)"},
        {ecrit("debordant.bin", {0x00, 0x07, 0xFF, 0xFE, 0x01, 0x02, 0x03}),
         "l'image dépasse $FFFF (3 octets à partir de $fffe)"},
    };
    for (auto const& c : cas) {
        binaire_lu const b = lit_binaire(c.chemin);
        EXPECT_NE(b.e, binaire_lu::etat::lu) << c.chemin;
        EXPECT_EQ(b.raison, c.raison) << c.chemin;
    }
}

// --- S-records ---

struct cas_s19 {
    const char* nom;
    const char* texte;
    int resultat;
    std::string lignes;
    std::vector<std::pair<int, int>> stockes; // (adresse, octet) ; le reste inchange
};

TEST_F(Chargeurs, S19ChaqueCas) {
    std::string const chiffre = "erreur: chiffre hexadecimal attendu dans ";
    const cas_s19 cas[] = {
        {"somme fausse non verifiee",
         "S1050010AABB00\nS9030000FC",
         1,
         "",
         {{0x10, 0xAA}, {0x11, 0xBB}}},
        {"type 0 charge comme 1", "S0040020CC00\n", 1, "", {{0x20, 0xCC}}},
        {"compte 03 sans donnee", "S1030020FC\nS1040030CC00\n", 1, "", {{0x30, 0xCC}}},
        {"fin de ligne en tete", "\nS1050010AABB00\n", 1, "", {}},
        {"minuscules", "S1050010aabb00\r\n", 1, "", {{0x10, 0xAA}, {0x11, 0xBB}}},
        {"S9 arrete le chargement", "S9030000FC\nS1040010AA00\n", 1, "", {}},
        {"S2 arrete aussi", "S1040010AA00\nS2050000100100\n", 1, "", {{0x10, 0xAA}}},
        {"jusqu'a FFFF compris", "S104FFFF7700", 1, "", {{0xFFFF, 0x77}}},
        {"separateurs quelconques",
         "S1040010AA00 ; blabla\n\n  S1040011BB00",
         1,
         "",
         {{0x10, 0xAA}, {0x11, 0xBB}}},
        {"marque autre que S", "X1040010AA00\n", 0, "erreur: caratere 'S' attendu ...\n", {}},
        {"marque fausse mais type au-dela de 1", "T9030000FC\n", 1, "", {}},
        {"compte non hexadecimal",
         "S1040010AA00\nS1G40020BB00\n",
         0,
         chiffre + "le compte\n",
         {{0x10, 0xAA}}},
        {"adresse non hexadecimale",
         "S1040010AA00\nS104002XBB00\n",
         0,
         chiffre + "l'adresse\n",
         {{0x10, 0xAA}}},
        {"donnee non hexadecimale : rien de l'enregistrement",
         "S1040010AA00\nS1050020BBZZ00\nS1040030CC00",
         0,
         chiffre + "les donnees\n",
         {{0x10, 0xAA}}},
        {"depasse FFFF",
         "S1040010AA00\nS105FFFFAABB00\n",
         0,
         "erreur: l'enregistrement depasse la fin de la memoire\n",
         {{0x10, 0xAA}}},
        {"fin dans les donnees", "S1040010AA00\nS1050020BB", 1, "", {{0x10, 0xAA}}},
        {"fin dans la somme", "S1040020BB0", 1, "", {}},
        {"fin dans le compte", "S1040010AA00\nS1", 1, "", {{0x10, 0xAA}}},
        {"fin en cherchant S", "S1040010AA00\n\n", 1, "", {{0x10, 0xAA}}},
        {"fichier vide", "", 1, "", {}},
    };
    for (auto const& c : cas) {
        m = std::make_unique<mem_64k>();
        auto attendu = instantane();
        for (auto const& [adr, octet] : c.stockes) {
            attendu[adr] = static_cast<unsigned char>(octet);
        }
        auto const [r, err] = s19(ecrit_texte("f.s19", c.texte));
        EXPECT_EQ(r, c.resultat) << c.nom;
        EXPECT_EQ(err, c.lignes) << c.nom;
        EXPECT_TRUE(instantane() == attendu) << c.nom;
    }
}

TEST_F(Chargeurs, S19IntrouvableEtSansEffacement) {
    auto const avant = instantane();
    auto const [r, err] = s19((dossier / "absent.s19").string());
    EXPECT_EQ(r, 0);
    EXPECT_EQ(err, "erreur de chargement fichier\n");
    EXPECT_TRUE(instantane() == avant);

    auto const [r2, err2] = s19(ecrit_texte("un.s19", "S1040080EE00\n"));
    EXPECT_EQ(r2, 1);
    EXPECT_EQ(m->read_byte(0x0080), 0xEE);
    EXPECT_EQ(m->read_byte(0x0081), 0x5A) << "le chargeur S-records n'efface rien";
}

} // namespace
