// karvela-note lance pour de vrai sur les exercices d'exemple : le texte, le CSV
// et le JSON, et les codes de sortie.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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
        std::ifstream juste(KARVELA_SOURCE "/examples/exercices/somme_table.asm");
        std::string const source{std::istreambuf_iterator<char>(juste),
                                 std::istreambuf_iterator<char>()};
        std::ofstream(dossier / "max.s") << source;
        for (char const* e : {"Martin Alice_101_assignsubmission_file_",
                              "Petit Bruno_102_assignsubmission_file_"}) {
            std::filesystem::create_directories(dossier / "classe" / e);
        }
        std::ofstream(dossier / "classe/Martin Alice_101_assignsubmission_file_/somme.asm")
            << source;
        std::ofstream(dossier / "classe/Petit Bruno_102_assignsubmission_file_/rapport.pdf")
            << std::string("%PDF\0", 5);
        std::ofstream(dossier / "feuille.csv")
            << "\xEF\xBB\xBFIdentifier,\"Full name\",Grade,\"Maximum Grade\",\"Feedback "
               "comments\"\r\n\"Participant 101\",\"Martin, Alice\",,20.00,\r\n"
               "\"Participant 102\",Bruno,,20.00,\r\n\"Participant 103\",Chloé,,20.00,\r\n";
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
        {"somme_table.toml " + chemin("max.s"), 0, ""},
        {"--sur 20 somme_table.toml somme_table.asm", 0, ""},
        {"--enonce somme_table_enseignant.toml", 0, ""},
        {"somme_table_enseignant.toml " + chemin("classe"), 1, ""},
        {"--sur=1000 somme_table.toml " + chemin("classe") + "/", 1, ""},
        {"--enonce somme_table.toml somme_table.asm", 2,
         "karvela-note: --enonce prend l'EXERCICE seul"},
        {"--feuille g.csv somme_table.toml somme_table.asm", 2,
         "karvela-note: --feuille demande une CLASSE"},
        {"--sur 0 somme_table.toml a.asm", 2,
         "karvela-note: « --sur 0 » : un nombre entier de 1 à 1000"},
        {"--bilan somme_table.toml somme_table.toml a.asm", 2,
         "karvela-note: la page « somme_table.toml » remplacerait « somme_table.toml »"},
        {"--csv " + chemin("x") + " --bilan " + chemin("x") + " somme_table.toml a.asm", 2,
         "karvela-note: la page « " + (dossier / "x").string() + " » serait aussi le tableau"},
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

// Une copie sans BT * qui file dans ses donnees : l'avertissement de l'assembleur
// est dans chaque sortie, de l'autocorrection a la page du bilan.
TEST_F(CommandeNote, LAvertissementDeLaPileDansChaqueSortie) {
    std::string const etudiant = "Roux Dan_103_assignsubmission_file_";
    std::filesystem::create_directories(dossier / "donnees" / etudiant);
    std::ofstream(dossier / "donnees" / etudiant / "dan.asm")
        << " PUSH PORTE\n POP PORTB\nv: .octet 3\n";
    std::string const avertissement =
        "attention: l'exécution continue dans les données (ligne 3) : il manque un BT * ?";
    std::string const copie = chemin("donnees") + "/'" + etudiant + "/dan.asm'";
    const struct {
        std::string arguments;
        char const* lu; // vide : la sortie
        std::string attendu;
    } cas[] = {
        {"somme_table.toml " + copie, "", "/dan.asm:2:2: " + avertissement + "\n"},
        {"--json somme_table.toml " + copie, "", "/dan.asm:2:2: " + avertissement + "\"]"},
        {"somme_table.toml " + chemin("donnees"), "", "  dan.asm:2:2: " + avertissement + "\n"},
        {"--json somme_table.toml " + chemin("donnees"), "",
         "\"avertissements\": [\"dan.asm:2:2: " + avertissement + "\"]"},
        {"--retours " + chemin("retours") + " somme_table.toml " + chemin("donnees"),
         "retours/Roux Dan_103_assignsubmission_file_/retour.txt",
         "Avertissements de l'assembleur :\n  dan.asm:2:2: " + avertissement + "\n"},
        {"--bilan " + chemin("bilan.html") + " somme_table.toml " + chemin("donnees"), "bilan.html",
         "dan.asm:2:2: attention: l&#39;exécution continue dans les données (ligne 3) : il manque "
         "un BT * ?"},
    };
    for (auto const& c : cas) {
        EXPECT_EQ(lance(c.arguments), 1) << c.arguments << "\n" << erreurs;
        std::string const lu = *c.lu != '\0' ? lit(c.lu) : sortie;
        EXPECT_NE(lu.find(c.attendu), std::string::npos) << c.arguments << "\n" << lu;
    }
}

// D'une commande, du dossier telecharge a la feuille remplie, aux retours a
// televerser et a la page du bilan.
TEST_F(CommandeNote, UneClasseDUneCommande) {
    std::string const feuille = lit("feuille.csv");
    ASSERT_EQ(lance("--sur 20 --feuille " + chemin("feuille.csv") + " --retours " +
                    chemin("retours") + " --bilan " + chemin("bilan.html") + " --csv " +
                    chemin("notes.csv") + " somme_table.toml " + chemin("classe")),
              1);
    EXPECT_EQ(sortie, "Martin Alice (101) : 6/6 — 20/20\n"
                      "  fichier : somme.asm\n"
                      "Petit Bruno (102) : 0/6 — 0/20\n"
                      "  aucun fichier à corriger (rendu : rapport.pdf)\n");
    EXPECT_EQ(erreurs, "karvela-note: feuille « " + (dossier / "feuille.csv").string() +
                           " » : 1 ligne(s) sans étudiant dans la classe, laissées telles "
                           "quelles :\n  Participant 103 (Chloé)\n");
    EXPECT_EQ(lit("feuille.csv"),
              "\xEF\xBB\xBFIdentifier,\"Full name\",Grade,\"Maximum Grade\",\"Feedback "
              "comments\"\r\n\"Participant 101\",\"Martin, Alice\",20.00,20.00,6/6 points.\r\n"
              "\"Participant 102\",Bruno,0.00,20.00,Aucun fichier à corriger.\r\n"
              "\"Participant 103\",Chloé,,20.00,\r\n");
    EXPECT_EQ(lit("retours/Petit Bruno_102_assignsubmission_file_/retour.txt"),
              "Exercice : Somme d'une table\nPetit Bruno (102)\nAucun fichier à corriger parmi "
              "ceux rendus : rapport.pdf.\nNote : 0/6 points — 0/20\n");
    EXPECT_NE(lit("retours/Martin Alice_101_assignsubmission_file_/retour.txt").find("✔ intacte"),
              std::string::npos);
    EXPECT_EQ(lit("notes.csv")
                  .rfind("\xEF\xBB\xBFnom;identifiant;fichier;points;total;note;"
                         "exemple;zéros;dernier;retenue;intacte\n"
                         "Martin Alice;101;somme.asm;6;6;20;1;1;1;2;1\n",
                         0),
              0u);
    EXPECT_EQ(lit("bilan.html").rfind("<!DOCTYPE html>", 0), 0u);
    // La meme classe en .zip, ses retours en .zip : ce que la plateforme reprend.
    ASSERT_EQ(
        std::system(
            ("cd '" + (dossier / "classe").string() + "' && zip -qr ../classe.zip .").c_str()),
        0);
    ASSERT_EQ(
        lance("--retours " + chemin("retours.zip") + " somme_table.toml " + chemin("classe.zip")),
        1);
    ASSERT_EQ(
        std::system(("cd '" + dossier.string() + "' && unzip -Z1 retours.zip > liste.txt").c_str()),
        0);
    EXPECT_EQ(lit("liste.txt"), "Martin Alice_101_assignsubmission_file_/retour.txt\n"
                                "Petit Bruno_102_assignsubmission_file_/retour.txt\n");
    // Une archive absente ; une feuille qui n'en est pas une : rien n'est ecrit,
    // ni les retours.
    EXPECT_EQ(lance("somme_table.toml " + chemin("absente.zip")), 1);
    EXPECT_EQ(erreurs, "karvela-note: impossible de lire « " + (dossier / "absente.zip").string() +
                           " » : fichier introuvable\n");
    std::filesystem::remove(dossier / "retours.zip");
    std::ofstream(dossier / "autre.csv") << "Nom,Note\nA,1\n";
    EXPECT_EQ(lance("--feuille " + chemin("autre.csv") + " --retours " + chemin("retours.zip") +
                    " somme_table.toml " + chemin("classe")),
              1);
    EXPECT_EQ(erreurs.rfind("karvela-note: feuille « " + (dossier / "autre.csv").string() +
                                " » : colonne « Identifier » introuvable",
                            0),
              0u);
    EXPECT_FALSE(std::filesystem::exists(dossier / "retours.zip"));
    EXPECT_EQ(lit("autre.csv"), "Nom,Note\nA,1\n");
}

} // namespace
