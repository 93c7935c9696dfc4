// Exercices sans fenetre ni processus : chaque sorte d'attendu comparee sur un vrai
// programme passe par le moteur, chaque faute du fichier a sa ligne et sa colonne,
// une etiquette qui manque a une seule copie, les points, et les evenements armes
// que le pas arriere de la fenetre fait reculer.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "exercices/correction.h"
#include "exercices/exercice.h"
#include "exercices/rendus.h"
#include "exercices/version_etudiant.h"

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
// Un octet signe en memoire et sur le port B ; une table courte suivie d'une autre.
char const* const negatifs = "PUSHI -3\nDUP\nPOP x\nPOP PORTB\nBT *\nx: .octet 0\n";
char const* const courte = "PUSH tab+2\nPOP PORTB\nBT *\ntab: .octet 1, 2\nmax: .octet 9\n";

resultat_cas un_cas(std::string const& cas, std::string const& source) {
    exercice_lu const lu = lit_exercice("titre = \"t\"\n[[cas]]\nnom = \"c\"\n" + cas);
    EXPECT_TRUE(lu.valide()) << cas << (lu.diagnostics.empty() ? "" : lu.diagnostics[0].message);
    if (!lu.valide()) {
        return {};
    }
    return corrige(lu.exo, {{"copie.asm", programme_source(assemble(source))}}).front().cas[0];
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
        // Une erreur de pile dans les mots du moteur : ligne et instruction fautives.
        {"", "DROP\nBT *\n", "pile vide ligne 1 (DROP)"},
        {"arret = \"limite\"", "PUSHI 1\nPUSHI 2\nb: DUP\nBT b\n",
         "pile pleine ligne 3 (DUP), attendu : aucun arrêt avant 1000000 pas"},
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
        // Octets et registres des ports compares modulo 256, comme la pile.
        {"attendu = { x = -3, B = 253, DDRC = 0 }", negatifs, ""},
        {"attendu = { DDRC = -16 }", programme, ""},
        // L'obtenu dans la signature de l'attendu : negatif, ou au-dela de 127.
        {"attendu = { x = -1 }", negatifs, "x ($000c) vaut -3, attendu -1"},
        {"attendu = { B = -1 }", negatifs, "port B vaut -3, attendu -1"},
        {"attendu = { x = [255] }", negatifs, "x ($000c) vaut [253], attendu [255]"},
        {"attendu = { pile = [200] }", "PUSHI -2\nBT *\n",
         "pile vaut [254], attendu [200] (du fond au sommet)"},
        // Une cle qui tient tout juste jusqu'a $ffff ; un nom predefini.
        {"memoire = { \"$fffe\" = [1, 2] }\nattendu = { \"$ffff\" = 2, \"$fffe\" = 1 }", programme,
         ""},
        {"attendu = { \"DDRC-3\" = 7 }", programme, ""},
        {"attendu = { PORTB = 8 }", programme, "PORTB ($1004) vaut 7, attendu 8"},
        // La memoire posee qui passe la fin d'une etiquette de l'etudiant.
        {"memoire = { tab = [1, 2, 3] }\nattendu = { B = 9 }", courte,
         "port B vaut 3, attendu 9 ; la mémoire posée déborde de tab sur max"},
        {"memoire = { tab = [1, 2] }\nattendu = { B = 8 }", courte, "port B vaut 9, attendu 8"},
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
    // Les textes trop longs ou trop imbriques, faits ici.
    std::string const x201(201, 'x');
    std::string const pointees = "titre = \"t\"\na" + [] {
        std::string p;
        for (int i = 0; i < 70; ++i) {
            p += ".a";
        }
        return p;
    }() + " = 1\n";
    std::string entete = "[";
    for (int i = 0; i < 70; ++i) {
        entete += "a.";
    }
    entete += "a]\n";
    std::string const titre_long = "titre = \"" + x201 + "\"\n[[cas]]\nnom = \"a\"\n";
    std::string const nom_long = "titre = \"t\"\n[[cas]]\nnom = \"" + x201 + "\"\n";
    std::string const enonce_long =
        "titre = \"t\"\nenonce = \"" + std::string(8001, 'e') + "\"\n[[cas]]\nnom = \"a\"\n";
    std::string const commentaires_longs =
        "# " + std::string(8001, 'e') + "\ntitre = \"t\"\n[[cas]]\nnom = \"a\"\n";
    std::string const cle_longue =
        "titre = \"t\"\n[[cas]]\nnom = \"a\"\nattendu = { " + x201 + " = 1 }\n";
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
        // Ce que toml++ lirait par une recursion trop profonde, refuse avant lui.
        {pointees.c_str(), 2, 130,
         "tables ou clés imbriquées sur plus de 64 niveaux : un exercice en a trois"},
        {entete.c_str(), 1, 129,
         "tables ou clés imbriquées sur plus de 64 niveaux : un exercice en a trois"},
        // Les raisons de toml++, en francais.
        {"titre = \"caf\xe9\"\n[[cas]]\nnom = \"a\"\n", 1, 12,
         "TOML mal formé : octets qui ne sont pas de l'UTF-8 : enregistrez le fichier en UTF-8"},
        {"titre = \"t\"\npas_max = 12345678901234567890\n", 2, 31,
         "TOML mal formé : entier trop grand : de -9223372036854775808 à 9223372036854775807 (64 "
         "bits)"},
        {"titre = \"t\"\r[[cas]]\nnom = \"a\"\n", 1, 13,
         "TOML mal formé : retour chariot (CR) seul : une ligne finit par LF ou CRLF"},
        // Des textes qu'une fenetre montre : bornes.
        {titre_long.c_str(), 1, 9, "« titre » a 201 caractères : au plus 200"},
        {nom_long.c_str(), 3, 7, "« nom » a 201 caractères : au plus 200"},
        {enonce_long.c_str(), 2, 10, "« enonce » a 8001 caractères : au plus 8000"},
        {commentaires_longs.c_str(), 1, 1,
         "commentaires du haut du fichier de plus de 8000 caractères : ils sont l'énoncé, que la "
         "fenêtre montre"},
        {cle_longue.c_str(), 4, 13, "clé de 201 caractères : au plus 200"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\ncache = 1\n", 4, 9,
         "« cache » doit être true ou false, pas un entier"},
        // Des cas qui ne pourraient pas reussir.
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nattendu = { pile = "
         "[1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17] }\n",
         4, 20, "« pile » a 17 valeurs : la pile en tient 16 au plus"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nattendu = { B = 1, PORTB = 1 }\n", 4, 20,
         "« PORTB » attend l'octet $1004 déjà attendu par « B » : chaque octet n'est attendu "
         "qu'une fois"},
        {"titre = \"t\"\n[[cas]]\nnom = \"a\"\nattendu = { t = [1, 2], \"t + 1\" = 2 }\n", 4, 25,
         "« t + 1 » attend l'octet t+1 déjà attendu par « t » : chaque octet n'est attendu qu'une "
         "fois"},
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

TEST(Exercices, CeQueLeCasPoseEtSaLigne) {
    exercice_lu const lu = lit_exercice(
        "# Lire le port E.\n#\n# Puis BT *.\n\n# pas l'enonce\ntitre = \"t\"\n"
        "[[cas]]\nnom = \"lu\"\nentrees = { E = 0x0F }\nmemoire = { t = [1, -2], \"$0200\" = 5 }\n"
        "evenements = [ { pas = 150, E = 0x81 }, { pas = 150, C = 2 }, { pas = 9, A = 1 } ]\n"
        "attendu = { B = 1 }\n"
        "[[cas]]\nnom = \"secret\\u001b\"\ncache = true\nattendu = { B = 1 }\n");
    ASSERT_TRUE(lu.valide());
    EXPECT_EQ(lu.exo.enonce, "Lire le port E.\n\nPuis BT *.\n");
    cas_exercice const& c = lu.exo.cas[0];
    EXPECT_EQ(mise_en_place(c), (std::vector<std::string>{
                                    "entrées : E=$0F", "mémoire : t = [1, -2] ; $0200 = 5",
                                    "événements : au pas 150, E=$81, C=$02 ; au pas 9, A=$01"}));
    EXPECT_EQ(mise_en_place_breve(c), "après E=$81, C=$02 au pas 150, A=$01 au pas 9");
    EXPECT_TRUE(mise_en_place(lu.exo.cas[1]).empty());
    resultat_cas r;
    r.message = "port B vaut 4, attendu 1";
    EXPECT_EQ(ligne_du_cas(c, r, true),
              "✘ lu (E=$0F), après E=$81, C=$02 au pas 150, A=$01 au pas 9 : port B vaut 4, "
              "attendu 1");
    EXPECT_EQ(ligne_echec(c, r), "✘ lu (E=$0F) : port B vaut 4, attendu 1") << "la fenetre";
    // Un cas cache : son nom et son verdict, pour l'etudiant seulement.
    EXPECT_TRUE(lu.exo.cas[1].cache);
    EXPECT_EQ(ligne_du_cas(lu.exo.cas[1], r, true), "✘ secret\\x1b (cas caché)");
    EXPECT_EQ(ligne_du_cas(lu.exo.cas[1], r, false), "✘ secret\\x1b : port B vaut 4, attendu 1");
    r.reussi = true;
    EXPECT_EQ(ligne_du_cas(lu.exo.cas[1], r, true), "✔ secret\\x1b (cas caché)");
    EXPECT_EQ(lit_exercice("titre = \"t\"\nenonce = \"Faire.\"\n[[cas]]\nnom = \"a\"\n").exo.enonce,
              "Faire.");
}

TEST(Exercices, LaVersionDeLEtudiantSansSesCasCaches) {
    std::string const debut = "# Enonce.\ntitre = \"t\"\n\n[[cas]]\nnom = \"a\"\n";
    // Ecrit sur plusieurs lignes, avec sa table [cas.attendu] et un commentaire.
    std::string const cache = "# dit le secret\n[[cas]]\nnom = \"\"\"\nc\"\"\"\ncache = true\n"
                              "[cas.attendu]\nB = 2\n# fin du secret\n\n";
    std::string const cache_propre = "[[cas]]\nnom = \"c\"\ncache = true\nattendu = { B = 2 }\n";
    std::string const fin = "# pour b\n[[cas]]\nnom = \"b\" # garde\r\nattendu = { B = 1 }\n";
    struct ligne {
        std::string texte, version, erreur;
    } const table[] = {
        {debut + fin, debut + fin, ""},
        {debut + "\n" + cache_propre + "\n" + fin, debut + "\n" + fin, ""},
        {debut + "\n" + fin + "\n" + cache_propre, debut + "\n" + fin + "\n", ""},
        {debut + "\n" + cache + fin, debut + "\n" + fin, ""},
        {"titre = \"t\"\n" + cache_propre, "",
         "tous les cas sont cachés : la version de l'étudiant n'en aurait aucun"},
        {"titre = \"t\"\ncas = [ { nom = \"a\" }, { nom = \"c\", cache = true } ]\n", "",
         "le cas caché « c » est écrit dans un tableau : écrivez chaque cas caché sous son "
         "[[cas]]"},
        {"titre = 1\n", "", "l'exercice a des erreurs : rien n'est écrit"},
    };
    for (ligne const& l : table) {
        SCOPED_TRACE(l.texte);
        version_etudiant const v = version_pour_etudiant(l.texte);
        EXPECT_EQ(v.erreur, l.erreur);
        EXPECT_EQ(v.texte, l.version);
    }
}

TEST(Exercices, UneEtiquetteAbsenteDiteUneFoisParCopie) {
    exercice_lu const lu =
        lit_exercice("titre = \"t\"\n"
                     "[[cas]]\nnom = \"a\"\nmemoire = { tabel = 1 }\nattendu = { somme = 1 }\n"
                     "[[cas]]\nnom = \"b\"\nattendu = { somme = 2 }\n"
                     "[[cas]]\nnom = \"c\"\nmemoire = { tabel = 1 }\n"
                     "[[cas]]\nnom = \"d\"\nattendu = { tabel = 1 }\n"
                     "[[cas]]\nnom = \"e\"\nattendu = { tabel = 1 }\n");
    ASSERT_TRUE(lu.valide());
    std::vector<resultat_copie> r =
        corrige(lu.exo, {{"x.asm", programme_source(assemble("BT *\ntable: .octet 0\n"))}});
    r[0].notes = {"« x.s » n'est pas nommé .asm : lu comme un source"};
    r[0].avertissements = {"x.asm:1:1: attention: une pile qui deborde"};
    EXPECT_EQ(
        rendu_texte(lu.exo, r),
        "x.asm : 0/5\n"
        "  « x.s » n'est pas nommé .asm : lu comme un source\n"
        "  x.asm:1:1: attention: une pile qui deborde\n"
        "  ✘ 4 cas : étiquette « tabel » absente du programme (voulez-vous dire « table » ?)\n"
        "  ✘ a, b : étiquette « somme » absente du programme\n");
    std::string const json = rendu_json(lu.exo, r);
    EXPECT_NE(json.find("\"avertissements\": [\"x.asm:1:1: attention: une pile qui deborde\"], "
                        "\"notes\": [\"« x.s » n'est pas nommé .asm : lu comme un source\"], "
                        "\"note\": null}"),
              std::string::npos)
        << json;
}

TEST(Exercices, LeJsonEstDeLUtf8EtLeTexteEchappeLesControles) {
    struct ligne {
        char const* brut;
        char const* json;  // chaine_json
        char const* texte; // nom_lisible
    } const table[] = {
        {"caf\xe9", "\"caf\xEF\xBF\xBD\"", "caf\xe9"},
        {"\xC3\xA9t\xC3", "\"\xC3\xA9t\xEF\xBF\xBD\"", "\xC3\xA9t\xC3"},
        {"\xE0\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"", "\xE0\x80\x80"}, // trop longue
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"", "\xED\xA0\x80"}, // moitie
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\"", "\xF0\x9F\x98\x80"},
        {"a\nb\x1b[31m\x7f\t", "\"a\\u000ab\\u001b[31m\x7f\\u0009\"", "a\\nb\\x1b[31m\\x7f\\t"},
    };
    for (ligne const& l : table) {
        SCOPED_TRACE(l.brut);
        EXPECT_EQ(chaine_json(l.brut), l.json);
        EXPECT_EQ(nom_lisible(l.brut), l.texte);
    }
    // Un nom de fichier Latin-1 et un nom de cas a controles, dans les rendus.
    exercice_lu const lu =
        lit_exercice("titre = \"t\"\n[[cas]]\nnom = \"a\\nb\"\nattendu = { B = 1 }\n");
    ASSERT_TRUE(lu.valide());
    std::vector<resultat_copie> const r =
        corrige(lu.exo, {{"caf\xe9\x1b.asm", programme_source(assemble("BT *\n"))}});
    EXPECT_EQ(rendu_texte(lu.exo, r),
              "caf\xe9\\x1b.asm : 0/1\n  ✘ a\\nb : port B vaut 0, attendu 1\n");
    EXPECT_EQ(en_utf8(rendu_json(lu.exo, r)), rendu_json(lu.exo, r));
}

// Des fichiers valides ou les points, crochets et accolades ne sont pas des
// niveaux : dans une chaine, un commentaire, un nombre, entre deux cles.
TEST(Exercices, LImbricationNeCompteQueLesTables) {
    std::string points(300, '.');
    std::string crochets(300, '[');
    std::string pointees_voisines = "x0.y = 1";
    for (int i = 1; i < 70; ++i) {
        pointees_voisines += ", x" + std::to_string(i) + ".y = 1";
    }
    std::string const exemples[] = {
        "titre = \"" + points + "\"\n[[cas]]\nnom = '" + crochets + "'\n",
        "# " + points + crochets + "\ntitre = \"t\"\n[[cas]]\nnom = \"a\"\n",
        "titre = \"\"\"\n" + points + "\n" + crochets + "\"\"\"\n[[cas]]\nnom = \"a\"\n",
        "titre =  + points + \npas_max = 1_000\n[[cas]]\nnom = \"a\\\"" + points + "\"\n",
        "titre = \"t\"\n[[cas]]\nnom = \"a\"\nmemoire = { " + pointees_voisines + " }\n",
        "titre = \"t\"\n[[cas]]\nnom = \"a\"\nevenements = [ { pas = 1, E = 1 }, { pas = 2, E = 0 "
        "}, { pas = 3, E = 1 } ]\nattendu = { \"a.b.c\" = 1, pile = [1, 2, 3] }\n",
    };
    for (std::string const& e : exemples) {
        SCOPED_TRACE(e.substr(0, 60));
        exercice_lu const lu = lit_exercice(e);
        for (diagnostic const& d : lu.diagnostics) {
            EXPECT_EQ(d.message.find("imbriquées"), std::string::npos) << d.message;
        }
    }
    // Des niveaux qui s'ajoutent : en-tete, cles pointees, tables entre accolades.
    std::string profond = "[a.a.a.a.a.a.a.a.a.a]\nb.b.b.b.b.b.b.b.b.b = ";
    for (int i = 0; i < 5; ++i) {
        profond += "{ c.c.c.c.c.c.c.c.c.c = ";
    }
    exercice_lu const lu = lit_exercice(profond + "1 }}}}}\n");
    ASSERT_FALSE(lu.diagnostics.empty());
    EXPECT_EQ(lu.diagnostics[0].message,
              "tables ou clés imbriquées sur plus de 64 niveaux : un exercice en a trois");
}

TEST(Exercices, ClesDAdresse) {
    struct ligne {
        char const* texte;
        bool lue, symbolique, predefini;
        long long nombre;
    } const table[] = {
        {"PORTB", true, false, true, 0x1004},      {"DDRC+1", true, false, true, 0x1008},
        {"PORTE - 10", true, false, true, 0x1000}, {"portb", true, true, false, 0},
        {"tab + $10", true, true, false, 16},      {"$0200", true, false, false, 0x200},
        {"PORTB+", false, false, false, 0},        {"3x", false, false, false, 0},
    };
    for (ligne const& l : table) {
        cle_adresse c;
        EXPECT_EQ(lit_cle_adresse(l.texte, c), l.lue) << l.texte;
        if (l.lue) {
            EXPECT_EQ(c.symbolique, l.symbolique) << l.texte;
            EXPECT_EQ(c.predefini, l.predefini) << l.texte;
            EXPECT_EQ(c.nombre, l.nombre) << l.texte;
        }
    }
}

TEST(Exercices, ChaqueCopieLueUneFoisEtLacheeApresSesCas) {
    exercice_lu const lu = lit_exercice("titre = \"t\"\n[[cas]]\nnom = \"a\"\n"
                                        "[[cas]]\nnom = \"b\"\n[[cas]]\nnom = \"c\"\n");
    ASSERT_TRUE(lu.valide());
    for (unsigned fils : {1u, 2u, 4u}) {
        std::atomic<int> vivantes{0}, plus{0}, lues{0};
        std::vector<copie_a_lire> copies;
        for (int i = 0; i < 12; ++i) {
            copies.push_back({"c" + std::to_string(i), [&] {
                                  ++lues;
                                  plus = std::max(plus.load(), ++vivantes);
                                  return std::shared_ptr<programme_charge const>(
                                      new programme_charge(programme_source(assemble("BT *\n"))),
                                      [&](programme_charge const* p) {
                                          --vivantes;
                                          delete p;
                                      });
                              }});
        }
        std::vector<resultat_copie> const r = corrige_a_mesure(lu.exo, copies, fils);
        EXPECT_EQ(lues, 12);
        EXPECT_EQ(vivantes, 0);
        EXPECT_LE(plus, static_cast<int>(fils)) << fils << " fils";
        EXPECT_EQ(r[11].fichier, "c11");
        EXPECT_EQ(r[11].points, 3);
    }
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
