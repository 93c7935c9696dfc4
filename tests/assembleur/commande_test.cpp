// karvela-asm lance pour de vrai dans un dossier temporaire : codes de sortie,
// messages, fichiers ecrits ou laisses intacts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

#include "simulateur/version.h"
#include "tests/dossier_temporaire.h"

namespace {

namespace fs = std::filesystem;

class Commande : public dossier_temporaire {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(dossier_temporaire::SetUp());
        ecrit("bon.asm", "fin: BT fin\n");
        ecrit("faux.asm", "PUSHX\nBT nulle_part\n");
        ecrit("-tiret.asm", "BT *\n");
        fs::create_symlink("absent/pendant.bin", dossier / "pendant.bin");
        fs::create_symlink("boucle.bin", dossier / "boucle.bin");
        ASSERT_EQ(mkfifo((dossier / "tube.asm").c_str(), 0600), 0);
    }
    void ecrit(std::string const& nom, std::string const& texte) {
        std::ofstream(dossier / nom, std::ios::binary) << texte;
    }
    // Code de sortie de karvela-asm lance dans le dossier ; sortie d'erreur dans erreurs.
    int lance(std::string const& arguments, std::string const& redirection = ">sortie.txt") {
        std::string const commande = "cd '" + dossier.string() + "' && '" KARVELA_ASM "' " +
                                     arguments + " " + redirection + " 2>erreurs.txt";
        int const etat = std::system(commande.c_str());
        erreurs = lit("erreurs.txt");
        return WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
    }

    std::string erreurs;
};

TEST_F(Commande, CodesDeSortieEtMessages) {
    std::string const perdue = "karvela-asm: impossible d'écrire la sortie standard : ";
    const struct {
        const char* arguments;
        int code;
        std::string erreur; // debut de la sortie d'erreur
        const char* redirection = ">sortie.txt";
    } cas[] = {
        {"bon.asm", 0, ""},
        {"-f s19 -o x.s19 -l x.txt bon.asm", 0, ""},
        {"faux.asm", 1,
         "faux.asm:1:1: erreur: mnémonique inconnu « PUSHX »\n"
         "faux.asm:2:4: erreur: étiquette « nulle_part » non définie\n"},
        {"absent.asm", 1, "karvela-asm: impossible de lire « absent.asm » : fichier introuvable"},
        {"", 2, "karvela-asm: SOURCE manquant\nEssayez « karvela-asm --help »."},
        {"-x bon.asm", 2, "karvela-asm: option inconnue « -x »"},
        {"bon.asm -o", 2, "karvela-asm: l'option « -o » attend une valeur"},
        {"-f hex bon.asm", 2, "karvela-asm: format « hex » inconnu (attendu bin ou s19)"},
        {"bon.asm faux.asm", 2, "karvela-asm: un seul SOURCE attendu"},
        {"-o bon.asm bon.asm", 2, "karvela-asm: la sortie remplacerait le source « bon.asm »"},
        {"-o y.bin -l y.bin bon.asm", 2, "karvela-asm: le listing et la sortie sont le même"},
        {"-o absent/y.bin bon.asm", 1,
         "karvela-asm: impossible d'écrire « absent/y.bin » : dossier introuvable"},
        {"-o a.bin -l ./a.bin bon.asm", 2, "karvela-asm: le listing et la sortie sont le même"},
        {"-o pendant.bin bon.asm", 1,
         "karvela-asm: impossible d'écrire « pendant.bin » : lien vers un fichier absent"},
        {"-o boucle.bin bon.asm", 1,
         "karvela-asm: impossible d'écrire « boucle.bin » : lien en boucle"},
        {"tube.asm", 1, "karvela-asm: impossible de lire « tube.asm » : c'est un tube (FIFO)"},
        {"-o tube.asm bon.asm", 1,
         "karvela-asm: impossible d'écrire « tube.asm » : tube sans lecteur"},
        {"-o '' bon.asm", 2, "karvela-asm: l'option « -o » attend un nom de fichier"},
        {"-l '' bon.asm", 2, "karvela-asm: l'option « -l » attend un nom de fichier"},
        {"-- -tiret.asm", 0, ""},
        {"--help", 1, perdue + "disque plein", ">/dev/full"},
        {"--version", 1, perdue + "sortie fermée", ">&-"},
    };
    for (auto const& c : cas) {
        EXPECT_EQ(lance(c.arguments, c.redirection), c.code) << c.arguments;
        EXPECT_EQ(erreurs.rfind(c.erreur, 0), 0u) << c.arguments << "\n" << erreurs;
        EXPECT_EQ(c.erreur.empty(), erreurs.empty()) << c.arguments;
    }
    EXPECT_TRUE(fs::is_symlink(dossier / "pendant.bin") && fs::is_symlink(dossier / "boucle.bin"));
}

TEST_F(Commande, EcritSortiesEtNeToucheARienSurErreur) {
    ASSERT_EQ(lance("bon.asm"), 0);
    EXPECT_EQ(lit("bon.bin"), std::string("\x00\x07\x00\x00\x1a\x00\x00", 7));
    ASSERT_EQ(lance("-f s19 bon.asm"), 0);
    EXPECT_EQ(lit("bon.s19"), "S10600001A0000DF\nS9030000FC\n");

    ecrit("faux.bin", "ancien");
    ecrit("faux.txt", "ancien listing");
    EXPECT_EQ(lance("-l faux.txt faux.asm"), 1);
    EXPECT_EQ(lit("faux.bin"), "ancien");
    EXPECT_EQ(lit("faux.txt"), "ancien listing");
    EXPECT_EQ(lance("-o tout.bin -l absent/tout.txt bon.asm"), 1);
    EXPECT_FALSE(fs::exists(dossier / "tout.bin")) << "les deux sorties ou aucune";
    for (auto const& f : fs::directory_iterator(dossier)) {
        EXPECT_EQ(f.path().filename().string().find(".bin."), std::string::npos)
            << "temporaire laisse : " << f.path();
    }
}

TEST_F(Commande, AideEtVersion) {
    EXPECT_EQ(lance("--help"), 0);
    EXPECT_EQ(lit("sortie.txt").rfind("utilisation : karvela-asm [-o SORTIE] [-f bin|s19]", 0), 0u);
    EXPECT_EQ(lance("--version"), 0);
    EXPECT_EQ(lit("sortie.txt"), "karvela-asm " KARVELA_VERSION "\n");
}

} // namespace
