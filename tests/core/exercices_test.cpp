// Exercices sans fenetre ni processus : chaque sorte d'attendu comparee sur un vrai
// programme passe par le moteur, chaque faute du fichier a sa ligne et sa colonne,
// une etiquette qui manque a une seule copie, les points, et les evenements armes
// que le pas arriere de la fenetre fait reculer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exercices/correction.h"
#include "exercices/exercice.h"
#include "exercices/rendus.h"

namespace {

// Les ports, une adresse du source, une pile de deux valeurs ; finit par BT *.
char const* const programme = "        PUSHI 7\n"
                              "        POP PORTB\n"
                              "        PUSHI $f0\n"
                              "        POP DDRC\n"
                              "        PUSH donnees+1\n"
                              "        POP resultat\n"
                              "        PUSHI 3\n"
                              "        PUSHI -1\n"
                              "        BT *\n"
                              "donnees: .octet 1, 2, 3\n"
                              "resultat: .octet 0\n";
char const* const echo = "boucle: PUSH PORTE\nPOP PORTB\nBT boucle\n";

resultat_cas un_cas(std::string const& cas, std::string const& source) {
    exercice_lu const lu = lit_exercice("titre = \"t\"\n[[cas]]\nnom = \"c\"\n" + cas);
    EXPECT_TRUE(lu.valide()) << cas << (lu.diagnostics.empty() ? "" : lu.diagnostics[0].message);
    if (!lu.valide()) {
        return {};
    }
    return corrige_cas(lu.exo.cas[0], programme_source(assemble(source)));
}

TEST(Exercices, ChaqueAttenduCompareApresLeMoteur) {
    struct ligne {
        char const* cas;
        char const* source;
        char const* message; // vide : reussi
    } const table[] = {
        {"attendu = { B = 7 }", programme, ""},
        {"attendu = { B = 8 }", programme, "port B vaut 7, attendu 8"},
        {"attendu = { DDRC = 0xF0 }", programme, ""},
        {"attendu = { DDRC = 0 }", programme, "DDRC vaut 240, attendu 0"},
        {"attendu = { pile = [3, 255] }", programme, ""},
        {"attendu = { pile = [3] }", programme,
         "pile vaut [3, -1], attendu [3] (du fond au sommet)"},
        {"attendu = { \"$0001\" = 7 }", programme, ""},
        {"attendu = { \"0x1\" = [7, 3] }", programme, "$0001 vaut [7, 2], attendu [7, 3]"},
        {"attendu = { donnees = [1, 2, 3] }", programme, ""},
        {"attendu = { \"donnees + 1\" = [2, 9] }", programme,
         "donnees + 1 ($0018) vaut [2, 3], attendu [2, 9]"},
        {"memoire = { donnees = [0, 42] }\nattendu = { resultat = 42 }", programme, ""},
        {"memoire = { \"resultat-2\" = -2 }\nattendu = { resultat = 0xFE }", programme, ""},
        {"arret = \"limite\"", programme,
         "fin de programme après 9 pas (boucle en $0014, ligne 9), attendu : aucun arrêt avant "
         "1000000 pas"},
        {"arret = \"limite\"\npas_max = 8", programme, ""},
        {"pas_max = 10", echo, "ne s'arrête pas en 10 pas (arrêt limite en $0003, ligne 2)"},
        {"arret = \"erreur_pile\"", "DROP\nBT *\n", ""},
        {"", "DROP\nBT *\n", "erreur de pile (pile vide) en $0000, ligne 1"},
        // Evenements : au pas 0 comme des entrees, puis en route.
        {"arret = \"limite\"\npas_max = 6\nevenements = [ { pas = 0, E = 5 } ]\nattendu = { B = 5 "
         "}",
         echo, ""},
        {"arret = \"limite\"\npas_max = 6\nentrees = { E = 5 }\n"
         "evenements = [ { pas = 3, E = 9 } ]\nattendu = { B = 9 }",
         echo, ""},
        {"arret = \"limite\"\npas_max = 6\nentrees = { E = 5 }\n"
         "evenements = [ { pas = 4, E = 9 } ]\nattendu = { B = 9 }",
         echo, "port B vaut 5, attendu 9"},
    };
    for (ligne const& l : table) {
        SCOPED_TRACE(l.cas);
        resultat_cas const r = un_cas(l.cas, l.source);
        EXPECT_TRUE(r.lance);
        EXPECT_EQ(r.reussi, std::string(l.message).empty());
        EXPECT_EQ(r.message, l.message);
    }
}

TEST(Exercices, ChaqueFauteDuFichierASaPlace) {
    struct ligne {
        char const* texte;
        int ligne, colonne;
        char const* message;
        bool erreur = true;
    } const table[] = {
        {"[[cas]]\nnom = \"a\"\n", 1, 1, "« titre » manquant : chaque exercice a un titre"},
        {"titre = \"t\"\n", 1, 1, "aucun cas : ajoutez au moins un [[cas]]"},
        {"titre = \"t\"\ntitr = 1\n[[cas]]\nnom = \"a\"\n", 2, 1,
         "clé inconnue « titr » (voulez-vous dire « titre » ?)"},
        {"titre = 3\n[[cas]]\nnom = \"a\"\n", 1, 9,
         "« titre » doit être une chaîne, pas un entier"},
        {"titre = \"t\"\npas_max = -1\n[[cas]]\nnom = \"a\"\n", 2, 11,
         "« pas_max » vaut -1 : de 0 à 4294967295"},
        {"titre = \"t\"\narret = \"boucles\"\n[[cas]]\nnom = \"a\"\n", 2, 9,
         "arrêt « boucles » inconnu : boucle, limite, point_arret ou erreur_pile (voulez-vous dire "
         "« boucle » ?)"},
        {"titre = \"t\"\ncas = 1\n", 2, 7,
         "« cas » doit être un tableau de tables, écrit [[cas]], "
         "pas un entier"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\n[[cas]]\nnom = \"a\"\n", 5, 7,
         "nom « a » déjà pris par le cas de la ligne 2"},
        {"titre = \"t\"\n[[cas]]\npoints = 1\n", 2, 1, "cas sans « nom » : chaque cas a un nom"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nattendus = {}\n", 4, 1,
         "clé inconnue « attendus » dans un cas (voulez-vous dire « attendu » ?)"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\npoints = -2\n", 4, 10,
         "« points » vaut -2 : de 0 à 1000000"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nentrees = { e = 1 }\n", 4, 13,
         "port inconnu « e » : A, B, C, D ou E (voulez-vous dire « E » ?)"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nentrees = { E = 256 }\n", 4, 17,
         "valeur 256 hors de -128..255"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nentrees = 5\n", 4, 11,
         "« entrees » doit être une table, pas un entier"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nmemoire = { \"$10000\" = 1 }\n", 4, 13,
         "adresse « $10000 » hors de la mémoire ($0000 à $ffff)"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nmemoire = { \"$ffff\" = [1, 2] }\n", 4, 13,
         "2 octets depuis « $ffff » dépassent $ffff"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nattendu = { \"12x\" = 1 }\n", 4, 13,
         "adresse « 12x » invalide : un nombre ($0200, 0x200, 512) ou une étiquette, suivie ou non "
         "de +N ou -N"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nattendu = { donnees = [] }\n", 4, 23,
         "tableau vide : au moins un octet"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nattendu = { pile = 0 }\n", 4, 20,
         "« pile » doit être un tableau, pas un entier"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nevenements = [ { E = 1 } ]\n", 4, 16,
         "événement sans « pas »"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nevenements = [ { pas = 1 } ]\n", 4, 16,
         "événement sans port : { pas = N, E = V }"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\npas_max = 10\nevenements = [ { pas = 11, E = 1 } "
         "]\n",
         5, 24, "l'événement du pas 11 n'arrivera pas : le cas s'arrête au plus tard après 10 pas",
         false},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nattendu = { pille = [1] }\n", 4, 13,
         "« pille » sera lue comme une étiquette du programme (voulez-vous dire « pile » ?)",
         false},
        {"titre = \"t\"\n[[cas]\n", 2, 7, "TOML mal formé : « ] » attendu"},
    };
    for (ligne const& l : table) {
        SCOPED_TRACE(l.texte);
        exercice_lu const lu = lit_exercice(l.texte);
        ASSERT_EQ(lu.diagnostics.size(), 1u);
        diagnostic const& d = lu.diagnostics[0];
        EXPECT_EQ(d.ligne, l.ligne);
        EXPECT_EQ(d.colonne, l.colonne);
        EXPECT_EQ(d.message, l.message);
        EXPECT_EQ(d.erreur, l.erreur);
        EXPECT_EQ(lu.valide(), !l.erreur);
    }
    // Toutes ensemble, dans l'ordre du fichier.
    exercice_lu const lu = lit_exercice("[[cas]]\nnom = \"a\"\npoints = -1\n"
                                        "memoire = { x = 300 }\n[[cas]]\nnom = \"a\"\n");
    std::vector<int> lignes;
    for (diagnostic const& d : lu.diagnostics) {
        lignes.push_back(d.ligne);
    }
    EXPECT_EQ(lignes, (std::vector<int>{1, 3, 4, 6}));
}

TEST(Exercices, UneEtiquetteAbsenteNeFaitEchouerQueSesCasEtCetteCopie) {
    exercice_lu const lu = lit_exercice("titre = \"t\"\n"
                                        "[[cas]]\nnom = \"port\"\nattendu = { B = 7 }\npoints = 2\n"
                                        "[[cas]]\nnom = \"table\"\nattendu = { donnees = 1 }\n"
                                        "points = 3\n");
    ASSERT_TRUE(lu.valide());
    EXPECT_EQ(lu.exo.total(), 5);
    std::vector<copie> const copies = {
        {"avec.asm", programme_source(assemble(programme))},
        {"sans.asm", programme_source(assemble("PUSHI 7\nPOP PORTB\nBT *\ndonees: .octet 1\n"))},
        {"faux.asm", programme_source(assemble("PUSHX\n"))},
    };
    std::vector<resultat_copie> const r = corrige(lu.exo, copies, 2);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].points, 5);
    EXPECT_EQ(r[1].points, 2);
    EXPECT_TRUE(r[1].cas[0].reussi);
    EXPECT_FALSE(r[1].cas[1].lance);
    EXPECT_EQ(r[1].cas[1].message,
              "étiquette « donnees » absente du programme (voulez-vous dire « donees » ?)");
    EXPECT_EQ(r[2].points, 0);
    EXPECT_FALSE(r[2].charge);
    EXPECT_EQ(r[2].erreurs,
              std::vector<std::string>{"faux.asm:1:1: erreur: mnémonique inconnu « PUSHX »"});
}

TEST(Exercices, LesNomsLibresNeCassentNiLeCsvNiLeJson) {
    exercice_lu const lu = lit_exercice("titre = 'Dire \"oui\"\\non'\n"
                                        "[[cas]]\nnom = 'a;b \"c\"'\nattendu = { B = 1 }\n");
    ASSERT_TRUE(lu.valide());
    std::vector<resultat_copie> const r =
        corrige(lu.exo, {{"x;y.asm", programme_source(assemble("BT *\n"))}});
    EXPECT_EQ(rendu_csv(lu.exo, r), "\xEF\xBB\xBF"
                                    "copie;points;total;\"a;b \"\"c\"\"\"\n"
                                    "\"x;y.asm\";0;1;0\n");
    EXPECT_EQ(rendu_json(lu.exo, r).rfind("{\"titre\": \"Dire \\\"oui\\\"\\\\non\", ", 0), 0u);
}

TEST(EvenementsArmes, LePasArriereLesRearmeEtRemetLesEntrees) {
    machine_seule seule;
    evenements_armes e;
    e.arme({{2, 4, 0x0F}, {0, 4, 0x01}});
    e.pose_dues(seule.m());
    EXPECT_EQ(seule.m().port(4).valeur(), 0x01);
    EXPECT_EQ(e.marge(), 2);
    e.apres(seule.m(), 2);
    EXPECT_EQ(seule.m().port(4).valeur(), 0x0F);
    EXPECT_EQ(e.marge(), -1);
    e.recule(seule.m());
    EXPECT_EQ(seule.m().port(4).valeur(), 0x01) << "annule l'instruction d'avant l'evenement";
    EXPECT_EQ(e.a_venir(), 1u);
    e.recule(seule.m());
    e.recule(seule.m());
    EXPECT_EQ(seule.m().port(4).valeur(), 0x01) << "l'evenement du pas 0 reste";
    EXPECT_EQ(e.faits(), 0);
}

} // namespace
