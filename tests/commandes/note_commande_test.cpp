// karvela-note lance pour de vrai sur les exercices d'exemple : le texte, le CSV
// et le JSON, et les codes de sortie.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include "tests/dossier_temporaire.h"

namespace {

class CommandeNote : public dossier_temporaire {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(dossier_temporaire::SetUp());
        std::ofstream(dossier / "faux.asm") << "        PUSH donnees\n        MUL\n";
        std::ofstream(dossier / "fautif.toml")
            << "titre = \"t\"\n[[cas]]\nnom = \"a\"\nentree = 1\n";
    }
    // Depuis le dossier des exercices d'exemple ; sorties dans le dossier du test.
    int lance(std::string const& arguments) {
        std::string const commande = "cd '" KARVELA_SOURCE "/examples/exercices' && '" KARVELA_NOTE
                                     "' " +
                                     arguments + " >'" + (dossier / "sortie.txt").string() +
                                     "' 2>'" + (dossier / "erreurs.txt").string() + "'";
        int const etat = std::system(commande.c_str());
        sortie = lit("sortie.txt");
        erreurs = lit("erreurs.txt");
        return WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
    }
    std::string chemin(char const* nom) const { return "'" + (dossier / nom).string() + "'"; }

    std::string sortie, erreurs;
};

TEST_F(CommandeNote, CodesDeSortie) {
    const struct {
        std::string arguments;
        int code;
        std::string erreur; // debut de la sortie d'erreur
    } cas[] = {
        {"somme_table.toml somme_table.asm", 0, ""},
        {"attente_bouton.toml attente_bouton.asm", 0, ""},
        {"bits_port_e.toml ../bits_port_e.asm ../bits_port_e.bin", 0, ""},
        {"somme_table.toml somme_table.asm somme_table_faux.asm", 1, ""},
        {"somme_table.toml somme_table.asm " + chemin("faux.asm"), 1, ""},
        {"somme_table.toml absent.asm", 1, ""},
        {"", 2, "karvela-note: EXERCICE manquant\nEssayez « karvela-note --help »."},
        {"somme_table.toml", 2, "karvela-note: PROGRAMME manquant"},
        {"--xml somme_table.toml a.asm", 2, "karvela-note: option inconnue « --xml »"},
        {"--json=oui somme_table.toml a.asm", 2, "karvela-note: l'option « --json » ne prend pas"},
        {"--csv somme_table.asm somme_table.toml somme_table.asm", 2,
         "karvela-note: le tableau « somme_table.asm » remplacerait « somme_table.asm »"},
        {"absent.toml a.asm", 2, "karvela-note: impossible de lire « absent.toml » : fichier"},
        {chemin("fautif.toml") + " somme_table.asm", 2,
         (dossier / "fautif.toml").string() +
             ":4:1: erreur: clé inconnue « entree » dans un cas (voulez-vous dire « entrees » ?)"},
    };
    for (auto const& c : cas) {
        EXPECT_EQ(lance(c.arguments), c.code) << c.arguments;
        EXPECT_EQ(erreurs.rfind(c.erreur, 0), 0u) << c.arguments << "\n" << erreurs;
        EXPECT_EQ(c.erreur.empty(), erreurs.empty()) << c.arguments << "\n" << erreurs;
        EXPECT_EQ(c.code < 2, !sortie.empty()) << c.arguments;
    }
}

TEST_F(CommandeNote, TexteCsvEtJson) {
    std::string const copies = "somme_table.asm somme_table_faux.asm " + chemin("faux.asm");
    ASSERT_EQ(lance("--csv " + chemin("notes.csv") + " somme_table.toml " + copies), 1);
    std::string const faux = (dossier / "faux.asm").string();
    EXPECT_EQ(sortie, "somme_table.asm : 6/6\n"
                      "somme_table_faux.asm : 3/6\n"
                      "  ✘ exemple : somme ($0015) vaut 8, attendu 9\n"
                      "  ✘ dernier : somme ($0015) vaut 0, attendu 7\n"
                      "  ✘ intacte : somme ($0015) vaut 18, attendu 26\n" +
                          faux + " : 0/6\n  " + faux +
                          ":1:14: erreur: étiquette « donnees » non définie\n");
    EXPECT_EQ(lit("notes.csv"), "\xEF\xBB\xBF"
                                "copie;points;total;exemple;zéros;dernier;retenue;intacte\n"
                                "somme_table.asm;6;6;1;1;1;2;1\n"
                                "somme_table_faux.asm;3;6;0;1;0;2;0\n" +
                                    faux + ";0;6;0;0;0;0;0\n");

    ASSERT_EQ(lance("--json attente_bouton.toml ../echo_port_e.asm"), 1);
    EXPECT_EQ(sortie.rfind("{\"titre\": \"Attente d'un appui\", \"total\": 6, \"copies\": "
                           "[{\"fichier\": \"../echo_port_e.asm\", \"points\": 0, \"total\": 6, "
                           "\"erreurs\": [], \"cas\": [{\"nom\": \"déjà appuyé\", \"reussi\": "
                           "false, \"points\": 0, \"arret\": \"limite\", \"arret_en\": 6, "
                           "\"ligne\": 6, \"pas\": 5000, \"ecarts\": [{\"quoi\": \"arret\", "
                           "\"attendu\": \"boucle\", \"obtenu\": \"limite\"}, {\"quoi\": \"B\", "
                           "\"attendu\": 255, \"obtenu\": 1}], \"message\": \"ne s'arrête pas en "
                           "5000 pas (arrêt limite en $0006, ligne 6) ; port B vaut 1, attendu "
                           "255\"}, ",
                           0),
              0u)
        << sortie;
    EXPECT_EQ(sortie.substr(sortie.size() - 3), "]}\n");
    ASSERT_EQ(lance("--json somme_table.toml " + chemin("faux.asm")), 1);
    EXPECT_NE(
        sortie.find("\"erreurs\": [\"" + faux +
                    ":1:14: erreur: étiquette « donnees » non "
                    "définie\", \"" +
                    faux +
                    ":2:9: erreur: mnémonique inconnu « MUL » (voulez-vous dire « MULT » ?)\"], "
                    "\"cas\": [{\"nom\": \"exemple\", \"reussi\": false, \"points\": 0, "
                    "\"arret\": null, \"arret_en\": null, \"ligne\": null"),
        std::string::npos)
        << sortie;
}

} // namespace
