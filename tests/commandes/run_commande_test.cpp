// karvela-run lance pour de vrai : codes de sortie, messages du chargeur et de
// l'assembleur, rapport sur la sortie standard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

#include "tests/dossier_temporaire.h"

namespace {

namespace fs = std::filesystem;

class CommandeRun : public dossier_temporaire {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(dossier_temporaire::SetUp());
        std::ofstream(dossier / "faux.asm") << "PUSHX\n";
        // Une erreur de pile voulue : la verification de la pile se tait.
        std::ofstream(dossier / "pile.asm") << "DROP ; @pile-ok\nBT *\n";
        std::ofstream(dossier / "Grand.Asm") << "PUSHI 1\nBT *\n";
        std::ofstream(dossier / "cmp.asm") << "; CMP ne depile pas\n PUSHI 0\nboucle: DUP\n"
                                              " POP PORTB\n PUSHI 1\n ADD\n PUSHI 20\n CMP\n"
                                              " BNEZ boucle\nfin: BT fin\n";
        std::ofstream(dossier / "court.bin") << std::string("\0\x08", 2);
        std::ofstream(dossier / "long.bin") << std::string("\0\x07\0\0\x1a\0\0\xff", 8);
        ASSERT_EQ(mkfifo((dossier / "tube.bin").c_str(), 0600), 0);
    }
    int lance(std::string const& arguments, std::string const& redirection = ">sortie.txt") {
        fs::remove(dossier / "sortie.txt");
        std::string const commande = "cd '" + dossier.string() + "' && '" KARVELA_RUN "' " +
                                     arguments + " " + redirection + " 2>erreurs.txt";
        int const etat = std::system(commande.c_str());
        sortie = lit("sortie.txt");
        erreurs = lit("erreurs.txt");
        return WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
    }

    std::string sortie, erreurs;
};

TEST_F(CommandeRun, CodesDeSortie) {
    std::string const exemple = "'" KARVELA_SOURCE "/examples/compte_a_rebours";
    std::string const perdue = "karvela-run: impossible d'écrire la sortie standard : ";
    const struct {
        std::string arguments;
        int code;
        std::string erreur; // debut de la sortie d'erreur
        std::string redirection = ">sortie.txt";
    } cas[] = {
        {"--json " + exemple + ".bin'", 0, ""},
        {exemple + ".asm'", 0, ""},
        {"pile.asm", 0, ""},
        {"faux.asm", 1, "faux.asm:1:1: erreur: mnémonique inconnu « PUSHX »"},
        {"absent.asm", 1, "karvela-run: impossible de lire « absent.asm » : fichier introuvable"},
        {"absent.bin", 1, "karvela-run: impossible de lire « absent.bin » : fichier introuvable"},
        {"court.bin", 1,
         "karvela-run: impossible de charger « court.bin » : fichier plus court que son en-tête de "
         "4 "
         "octets"},
        {"tube.bin", 1, "karvela-run: impossible de lire « tube.bin » : c'est un tube (FIFO)"},
        {"Grand.Asm", 0, ""},
        {"long.bin", 0,
         "karvela-run: attention : « long.bin » a plus d'octets que les 7 de son en-tête ; la "
         "suite "
         "est ignorée"},
        {"--json --trace pile.asm", 0, "0000  DROP"},
        {"--json pile.asm", 1, perdue + "disque plein", ">/dev/full"},
        {"--trace pile.asm", 1, perdue + "sortie fermée", ">&-"},
        {"", 2, "karvela-run: PROGRAMME manquant\nEssayez « karvela-run --help »."},
        {"-x pile.asm", 2, "karvela-run: option inconnue « -x »"},
        {"-n beaucoup pile.asm", 2, "karvela-run: nombre d'instructions « beaucoup » invalide"},
        {"--pourquoi x pile.asm", 2,
         "karvela-run: --pourquoi x : étiquette « x » absente du programme"},
    };
    for (auto const& c : cas) {
        EXPECT_EQ(lance(c.arguments, c.redirection), c.code) << c.arguments;
        EXPECT_EQ(erreurs.rfind(c.erreur, 0), 0u) << c.arguments << "\n" << erreurs;
        EXPECT_EQ(c.erreur.empty(), erreurs.empty()) << c.arguments;
        EXPECT_EQ(c.code == 0, !sortie.empty()) << c.arguments;
    }
}

TEST_F(CommandeRun, RapportJsonDuCompteARebours) {
    ASSERT_EQ(lance("--json '" KARVELA_SOURCE "/examples/compte_a_rebours.bin'"), 0);
    EXPECT_EQ(sortie.rfind("{\"pas\": 11, \"arret\": \"boucle\", \"PC\": 8, \"SP\": 0", 0), 0u)
        << sortie;
    EXPECT_NE(sortie.find(", \"arret_en\": 8, \"ligne\": null}"), std::string::npos) << sortie;
    ASSERT_EQ(lance("pile.asm --json"), 0);
    EXPECT_EQ(sortie.rfind("{\"pas\": 1, \"arret\": \"erreur_pile\"", 0), 0u) << sortie;
}

// La boucle qui oublie que CMP ne depile pas : signalee avant de tourner, son arret
// nomme la ligne 3, et --pourquoi arret dit ce qui remplit la pile.
TEST_F(CommandeRun, PourquoiLArret) {
    ASSERT_EQ(lance("--pourquoi arret --pourquoi B cmp.asm"), 0);
    EXPECT_EQ(erreurs.rfind("cmp.asm:3:9: attention: la pile peut être pleine ici (DUP)", 0), 0u)
        << erreurs;
    EXPECT_EQ(sortie.rfind("Arrêt : pile pleine ligne 3 (DUP), après 107 instructions\n", 0), 0u)
        << sortie;
    for (char const* attendu :
         {"Pourquoi arret ? pile pleine : DUP ligne 3 au pas 107\n",
          "    pas 103  $0008  ligne 6  ADD : a posé 15 entrées",
          "CMP (ligne 8) ne dépile pas ; 16 tours vus dans l'historique\n",
          "Pourquoi B ? B ($1004, port B) vaut 20 ($14)\n"
          "  pas 101  $0003  ligne 4  POP $1004 : a écrit 20 ($14) en $1004, port B\n"}) {
        EXPECT_NE(sortie.find(attendu), std::string::npos) << attendu << "\n" << sortie;
    }
    ASSERT_EQ(lance("--json --pourquoi pile cmp.asm"), 0);
    EXPECT_NE(sortie.find("\"ligne\": 3, \"pourquoi\": [{\"quoi\": \"pile\", \"resume\": "
                          "\"pile (entrée 15) vaut 20 ($14)\", \"maillons\": [{\"sorte\": "
                          "\"instruction\", \"parent\": -1, \"pas\": 104, \"reculs\": 3"),
              std::string::npos)
        << sortie;
    ASSERT_EQ(lance("--json cmp.asm"), 0);
    EXPECT_EQ(sortie.find("pourquoi"), std::string::npos) << "sans --pourquoi, rien de plus";
}

} // namespace
