// La classe sans processus : les formes d'un export (dossier et .zip faits ici par
// libzip), la feuille de notes relue et reecrite, les copies semblables, les
// nombres de la page contre ceux du JSON, l'arrondi des notes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "exercices/rendus.h"
#include "promotion/archive.h"
#include "promotion/classe.h"
#include "promotion/copies.h"
#include "promotion/export.h"
#include "promotion/feuille.h"
#include "promotion/impressions.h"
#include "promotion/page.h"
#include "promotion/similarite.h"
#include "tests/dossier_temporaire.h"

namespace {

using fichiers = std::vector<std::pair<std::string, std::string>>;

char const* const sorte[] = {"source", "texte", "binaire"};

// "nom|identifiant|dossier|sorte:chemin,...|autres|notes", un etudiant par ligne.
std::string resume(classe_lue const& c) {
    std::string t = c.erreur;
    for (std::string const& n : c.notes) {
        t += "!" + n + "\n";
    }
    for (etudiant const& e : c.etudiants) {
        t += e.nom + "|" + e.identifiant + "|" + e.dossier + "|";
        for (fichier_rendu const& f : e.fichiers) {
            t += std::string(sorte[static_cast<int>(f.sorte)]) + ":" + f.chemin + ",";
        }
        t += "|";
        for (std::string const& a : e.autres) {
            t += a + ",";
        }
        t += "|";
        for (std::string const& n : e.notes) {
            t += n + ",";
        }
        t += "\n";
    }
    return t;
}

std::string zip_de(fichiers const& f) {
    std::string erreur;
    std::string const z = archive_de(f, erreur);
    EXPECT_EQ(erreur, "");
    return z;
}

class Promotion : public dossier_temporaire {
  protected:
    void ecrit(std::filesystem::path const& chemin, std::string const& contenu) {
        std::filesystem::create_directories(chemin.parent_path());
        std::ofstream(chemin, std::ios::binary) << contenu;
    }
};

TEST_F(Promotion, LesFormesDUnExport) {
    std::string const source = "PUSHI 1\nPOP PORTB\nBT *\n";
    std::string const pdf = std::string("%PDF-1.4\n\0\0", 11);
    std::string const rendu = zip_de({{"td/max.asm", source},
                                      {"__MACOSX/td/max.asm", source},
                                      {"../evil.asm", source},
                                      {"dedans.zip", "PK"}});
    struct ligne {
        char const* quoi;
        fichiers export_classe;
        std::string attendu;
    } const table[] = {
        {"dossiers de la plateforme",
         {{"Martin Alice_101_assignsubmission_file_/max.asm", source},
          {"Petit Bruno_102_assignsubmission_file_/sous/dir/max.s", source}},
         "Martin Alice|101|Martin Alice_101_assignsubmission_file_|source:max.asm,||\n"
         "Petit Bruno|102|Petit Bruno_102_assignsubmission_file_|texte:sous/dir/max.s,||\n"},
        {"plusieurs fichiers, .asm d'abord",
         {{"X_1_assignsubmission_file_/b.txt", source},
          {"X_1_assignsubmission_file_/c.bin", std::string("\0\x05\0\0\x1b", 5)},
          {"X_1_assignsubmission_file_/a.asm", source}},
         "X|1|X_1_assignsubmission_file_|source:a.asm,texte:b.txt,binaire:c.bin,||\n"},
        {"rien a corriger",
         {{"Y_2_assignsubmission_file_/r.pdf", pdf},
          {"Y_2_assignsubmission_file_/notes.html", "<p>x</p>"},
          {"Y_2_assignsubmission_file_/image", pdf}},
         "Y|2|Y_2_assignsubmission_file_||image,notes.html,r.pdf,|\n"},
        {"fichiers seuls",
         {{"seul.asm", source}, {"Zoé Z_3_assignsubmission_file_max.asm", source}},
         "seul.asm||seul.asm.retour|source:seul.asm,||\n"
         "Zoé Z|3|Zoé Z_3_assignsubmission_file_|source:max.asm,||\n"},
        {"un .zip rendu",
         {{"W_4_assignsubmission_file_/rendu.zip", rendu}},
         "W|4|W_4_assignsubmission_file_|source:rendu.zip/td/max.asm,|rendu.zip/dedans.zip,|« "
         "rendu.zip » : chemin « ../evil.asm » refusé,« rendu.zip/dedans.zip » : archive dans une "
         "archive, pas ouverte,\n"},
        {"autres dossiers, fichiers des systemes, dossier d'enveloppe",
         {{"TD3/groupe B/max.asm", source},
          {"TD3/V_5_assignsubmission_file_/Thumbs.db", pdf},
          {"TD3/V_5_assignsubmission_file_/.DS_Store", pdf},
          {"TD3/V_5_assignsubmission_file_/max.asm", source}},
         "groupe B||groupe "
         "B|source:max.asm,||\nV|5|V_5_assignsubmission_file_|source:max.asm,||\n"},
    };
    int n = 0;
    for (ligne const& l : table) {
        SCOPED_TRACE(l.quoi);
        std::filesystem::path const racine = dossier / ("d" + std::to_string(++n));
        for (auto const& [chemin, contenu] : l.export_classe) {
            ecrit(racine / chemin, contenu);
        }
        EXPECT_EQ(resume(lit_classe(racine.string())), l.attendu) << "dossier";
        std::string const zip = (dossier / ("z" + std::to_string(n) + ".zip")).string();
        ecrit(zip, zip_de(l.export_classe));
        EXPECT_EQ(resume(lit_classe(zip)), l.attendu) << "zip";
    }
    // Les octets d'un fichier rendu, lus dans le .zip rendu dans le .zip.
    std::string const zip = (dossier / "z5.zip").string();
    classe_lue const c = lit_classe(zip);
    ASSERT_EQ(c.etudiants.size(), 1u);
    EXPECT_EQ(c.etudiants[0].fichiers[0].lit(1000).octets, source);
    fichier_lu const borne = c.etudiants[0].fichiers[0].lit(4);
    EXPECT_TRUE(borne.lu && borne.plus && borne.octets == "PUSH") << "lu jusqu'a la borne";
    // Un dossier vide d'etudiant, un chemin qui remonte, une archive illisible.
    std::filesystem::create_directories(dossier / "vide" / "E_7_assignsubmission_file_");
    EXPECT_EQ(resume(lit_classe((dossier / "vide").string())),
              "E|7|E_7_assignsubmission_file_|||\n");
    ecrit(dossier / "remonte.zip",
          zip_de({{"../x.asm", source}, {"A_8_assignsubmission_file_/y.asm", source}}));
    EXPECT_EQ(
        resume(lit_classe((dossier / "remonte.zip").string())),
        "!« " + (dossier / "remonte.zip").string() +
            " » : chemin « ../x.asm » refusé\nA|8|A_8_assignsubmission_file_|source:y.asm,||\n");
    ecrit(dossier / "faux.zip", "pas une archive");
    EXPECT_EQ(lit_classe((dossier / "faux.zip").string()).erreur.rfind("« ", 0), 0u);
}

TEST(Plateforme, NomsDesDossiersEtTextes) {
    struct ligne {
        char const* nom;
        bool plateforme;
        char const* etudiant;
        char const* identifiant;
        char const* reste;
    } const table[] = {
        {"Martin Alice_101_assignsubmission_file_", true, "Martin Alice", "101", "file_"},
        {"Le_Gall Yann_7_assignsubmission_file_max.asm", true, "Le_Gall Yann", "7", "file_max.asm"},
        {"X_12a_assignsubmission_file_", false, "", "", ""},
        {"_101_assignsubmission_file_", false, "", "", ""},
        {"Martin__assignsubmission_file_", false, "", "", ""},
        {"Martin Alice_101", false, "", "", ""},
    };
    for (ligne const& l : table) {
        std::string e, i, r;
        EXPECT_EQ(nom_de_plateforme(l.nom, e, i, r), l.plateforme) << l.nom;
        if (l.plateforme) {
            EXPECT_EQ(e, l.etudiant);
            EXPECT_EQ(i, l.identifiant);
            EXPECT_EQ(r, l.reste);
        }
    }
    EXPECT_TRUE(ressemble_a_du_texte("debut:\tPUSH x\r\n\xe9t\xc3\xa9\f"));
    EXPECT_FALSE(ressemble_a_du_texte(std::string("\0\x05\0\0", 4)));
    EXPECT_FALSE(ressemble_a_du_texte("PK\x03\x04"));
    EXPECT_EQ(html("<a href='x'>&\"\x01"), "&lt;a href=&#39;x&#39;&gt;&amp;&quot;?");
}

TEST_F(Promotion, UneArchiveDeTropDeFichiers) {
    fichiers beaucoup;
    for (std::size_t i = 0; i <= fichiers_archive_max; ++i) {
        beaucoup.emplace_back("f" + std::to_string(i), "");
    }
    ecrit(dossier / "beaucoup.zip", zip_de(beaucoup));
    EXPECT_EQ(lit_classe((dossier / "beaucoup.zip").string()).erreur,
              "« " + (dossier / "beaucoup.zip").string() +
                  " » a plus de 20000 fichiers : ce n'est pas l'export d'une classe");
}

TEST_F(Promotion, UnTexteQuiNEstPasNommeAsmEstUnSource) {
    ecrit(dossier / "max.s", "PUSHI 1\nBT *\n");
    ecrit(dossier / "max.asm.txt", "PUSHI 1\nBT *\n");
    ecrit(dossier / "vrai.bin", std::string("\0\x06\0\0\x1a\0", 6));
    for (char const* nom : {"max.s", "max.asm.txt"}) {
        std::string note;
        programme_charge const p = lit_copie((dossier / nom).string(), note);
        EXPECT_TRUE(p.charge && p.source) << nom << p.erreur;
        EXPECT_EQ(note,
                  "« " + (dossier / nom).string() + " » n'est pas nommé .asm : lu comme un source");
    }
    std::string note;
    EXPECT_FALSE(lit_copie((dossier / "vrai.bin").string(), note).source);
    EXPECT_EQ(note, "");
}

TEST(Feuille, RelueEtReecriteTelleQuelle) {
    std::vector<note_feuille> const notes = {{"101", 5, 8, "5/8 points. Cas échoués : « a », b."},
                                             {"102", 8, 8, "8/8 \"bien\"."},
                                             {"103", 1, 8, "absent de la feuille"}};
    std::string const en_tete_anglais =
        "\xEF\xBB\xBFIdentifier,\"Full name\",\"Email address\",Status,Grade,\"Maximum "
        "Grade\",\"Grade can be changed\",\"Last modified (grade)\",\"Feedback comments\"\r\n";
    struct ligne {
        char const* quoi;
        std::string feuille, attendue;
        long long sur;
        int remplies;
        std::vector<std::string> sans_copie, absents;
    } const table[] = {
        {"anglais, BOM, CRLF, guillemets",
         en_tete_anglais +
             "\"Participant 101\",\"Martin, Alice\",a@x.fr,\"Submitted\",,20.00,Yes,-,\"vieux "
             "\"\"mot\"\"\r\nsur deux lignes\"\r\n"
             "\"Participant 999\",\"Inconnu, \"\"X\"\"\",x@x.fr,Submitted,,20.00,Yes,-,\r\n"
             "\"Participant 102\",Bruno,b@x.fr,Submitted,3.00,20.00,Yes,-,\r\n",
         en_tete_anglais +
             "\"Participant 101\",\"Martin, Alice\",a@x.fr,\"Submitted\",12.50,20.00,Yes,-,"
             "\"5/8 points. Cas échoués : « a », b.\"\r\n"
             "\"Participant 999\",\"Inconnu, \"\"X\"\"\",x@x.fr,Submitted,,20.00,Yes,-,\r\n"
             "\"Participant 102\",Bruno,b@x.fr,Submitted,20.00,20.00,Yes,-,\"8/8 "
             "\"\"bien\"\".\"\r\n",
         0,
         2,
         {"Participant 999 (Inconnu, \"X\")"},
         {"103"}},
        {"francais a « ; », note maximale a virgule, --sur",
         "Identifiant;Nom complet;Statut;Note;Note maximale;Feedback par commentaires\n"
         "Participant 102;Bruno;Remis;;10,00;\n",
         "Identifiant;Nom complet;Statut;Note;Note maximale;Feedback par commentaires\n"
         "Participant 102;Bruno;Remis;20,00;10,00;\"8/8 \"\"bien\"\".\"\n",
         20,
         1,
         {},
         {"101", "103"}},
        {"Latin-1, sans note maximale",
         "Identifiant,Nom complet,Note,Feedback par commentaires\nParticipant 101,Andr\xe9,,\n",
         "Identifiant,Nom complet,Note,Feedback par commentaires\nParticipant 101,Andr\xe9,5,"
         "\"5/8 points. Cas \xe9\x63hou\xe9s : \xab a \xbb, b.\"\n",
         0,
         1,
         {},
         {"102", "103"}},
    };
    for (ligne const& l : table) {
        SCOPED_TRACE(l.quoi);
        feuille_remplie const f = remplit_feuille(l.feuille, notes, l.sur);
        EXPECT_EQ(f.erreur, "");
        EXPECT_EQ(f.texte, l.attendue);
        EXPECT_EQ(f.remplies, l.remplies);
        EXPECT_EQ(f.sans_copie, l.sans_copie);
        EXPECT_EQ(f.absents, l.absents);
    }
    EXPECT_EQ(remplit_feuille("\xEF\xBB\xBFIdentifier,Grade\n", notes, 0).absents,
              (std::vector<std::string>{"101", "102", "103"}));
    EXPECT_EQ(remplit_feuille("Nom,Note\nA,1\n", notes, 0).erreur,
              "colonne « Identifier » introuvable dans la première ligne : ce n'est pas la feuille "
              "de notes de la plateforme");
}

// Une somme de deux tables, en deux versions d'une meme copie et deux autres solutions.
char const* const somme =
    "; somme de deux tables\n"
    "debut:  PUSH a\n        PUSH a+1\n        ADD\n        PUSH a+2\n        ADD\n"
    "        PUSH b\n        ADD\n        PUSH b+1\n        ADD\n        POP total\n"
    "        PUSH PORTE\n        POP PORTB\n        BT *\n"
    "a:      .octet 1, 2, 3\nb:      .octet 4, 5\ntotal:  .octet 0\n";
char const* const renommee = "x: PUSH t1\nPUSH t1+1\nADD\nPUSH t1+2\nADD\nPUSH t2\nADD\n"
                             "PUSH t2+1\nADD\nPOP s\nPUSH PORTE\nPOP PORTB\nBT *\n"
                             "t1: .octet 1, 2, 3\nt2: .octet 4, 5\ns: .octet 0\n";
char const* const donnees_changees =
    "s: .octet 0\nt2: .octet 4, 5\nt1: .octet 1, 2, 3\n"
    "x: PUSH t1\n  PUSH t1+1\n  ADD ; un\n  PUSH t1+2\n  ADD\n  PUSH t2\n  ADD\n"
    "  PUSH t2+1\n  ADD\n  POP s\n  PUSH PORTE\n  POP PORTB\n  BT *\n";
char const* const autre_ordre = "PUSH b+1\nPUSH b\nPUSH a+2\nPUSH a+1\nPUSH a\nADD\nADD\nADD\nADD\n"
                                "POP total\nPUSH PORTE\nPOP PORTB\nBT *\n"
                                "a: .octet 1, 2, 3\nb: .octet 4, 5\ntotal: .octet 0\n";
char const* const boucle = "        PUSHI 0\n        PUSHI 5\nencore: SWAP\n        PUSH a\n"
                           "        ADD\n        SWAP\n        PUSHI 1\n        SUB\n"
                           "        BNEZ encore\n        DROP\n        POP total\n"
                           "        PUSH PORTE\n        POP PORTB\n        BT *\n"
                           "a: .octet 1, 2, 3, 4, 5\ntotal: .octet 0\n";

empreintes de(char const* source) {
    programme_charge const p = programme_source(assemble(source));
    EXPECT_TRUE(p.charge) << source;
    return empreintes_de(p);
}

TEST(Similarite, RenommeeOuReordonneeMaisPasUneAutreSolution) {
    struct ligne {
        char const* quoi;
        char const* a;
        char const* b;
        int min, max; // ressemblance attendue
    } const table[] = {
        {"etiquettes renommees, commentaires otes", somme, renommee, 100, 100},
        {"donnees deplacees et reordonnees, mise en page", somme, donnees_changees, 100, 100},
        {"une autre solution : l'ordre des additions", somme, autre_ordre, 0,
         seuil_ressemblance - 1},
        {"une autre solution : une boucle", somme, boucle, 0, seuil_ressemblance - 1},
        {"deux autres solutions entre elles", autre_ordre, boucle, 0, seuil_ressemblance - 1},
        // Les memes instructions sur d'autres ports : un autre programme.
        {"d'autres ports",
         "PUSH PORTE\nPOP PORTB\nPUSH PORTE\nPOP PORTB\nPUSH PORTE\nPOP PORTB\nPUSH PORTE\n"
         "POP PORTB\nPUSH PORTE\nPOP PORTB\nBT *\n",
         "PUSH PORTA\nPOP PORTC\nPUSH PORTA\nPOP PORTC\nPUSH PORTA\nPOP PORTC\nPUSH PORTA\n"
         "POP PORTC\nPUSH PORTA\nPOP PORTC\nBT *\n",
         0, seuil_ressemblance - 1},
        // La meme facon de faire, sur une table de quatre octets : 50, sous le seuil.
        {"la meme idee, ecrite par un autre", somme,
         "PUSH d\nPUSH d+1\nADD\nPUSH d+2\nADD\nPUSH d+3\nADD\nPOP s\nBT *\n"
         "d: .octet 3, 1, 4, 1\ns: .octet 0\n",
         1, seuil_ressemblance - 1},
    };
    for (ligne const& l : table) {
        SCOPED_TRACE(l.quoi);
        int const r = ressemblance(de(l.a), de(l.b));
        EXPECT_GE(r, l.min);
        EXPECT_LE(r, l.max);
    }
    std::vector<empreintes> const copies = {
        de(somme), de(autre_ordre), de(renommee), de(donnees_changees), de(boucle), de(somme)};
    std::vector<groupe_semblable> const g = groupes_semblables(copies);
    ASSERT_EQ(g.size(), 2u);
    // Meme image : la copie, rendue deux fois, et sa version renommee ; puis les
    // memes avec celle aux donnees deplacees ; les deux autres solutions a part.
    EXPECT_TRUE(g[0].identiques);
    ASSERT_EQ(g[0].membres.size(), 3u);
    EXPECT_EQ(g[0].membres[0].copie, 0u);
    EXPECT_EQ(g[0].membres[1].copie, 2u);
    EXPECT_EQ(g[0].membres[2].copie, 5u);
    EXPECT_EQ(texte_lignes(g[0].membres[0].lignes), "2-14");
    EXPECT_FALSE(g.back().identiques);
    std::vector<std::size_t> semblables;
    for (membre_groupe const& m : g.back().membres) {
        semblables.push_back(m.copie);
    }
    EXPECT_EQ(semblables, (std::vector<std::size_t>{0, 2, 3, 5}));
    EXPECT_EQ(texte_lignes(g.back().membres[2].lignes), "4-16");
    // Des copies toutes identiques ne font qu'un groupe.
    EXPECT_EQ(groupes_semblables({de(somme), de(renommee)}).size(), 1u);
}

TEST_F(Promotion, LeMeilleurFichierCompteEtLeRetourDitChaqueCas) {
    exercice_lu const lu =
        lit_exercice("titre = \"t\"\n[[cas]]\nnom = \"un\"\nattendu = { B = 1 }\n"
                     "[[cas]]\nnom = \"table\"\nentrees = { E = 3 }\nmemoire = { tab = [1, 2] }\n"
                     "evenements = [ { pas = 2, E = 1 } ]\nattendu = { B = 1, pile = [-1] }\n"
                     "[[cas]]\nnom = \"secret\"\ncache = true\nattendu = { B = 7 }\n");
    ASSERT_TRUE(lu.valide());
    ecrit(dossier / "X_1_assignsubmission_file_/v1.asm", "PUSHI 2\nPOP PORTB\nBT *\n");
    ecrit(dossier / "X_1_assignsubmission_file_/v2.asm", "PUSHI 1\nPOP PORTB\nBT *\n");
    // A points egaux (aucun), celui qui se charge compte.
    ecrit(dossier / "Y_2_assignsubmission_file_/a.asm", "PUSHX\n");
    ecrit(dossier / "Y_2_assignsubmission_file_/b.s",
          "PUSHI -3\nPOP PORTB\nPUSHI 200\nBT *\ntab: .octet 0\nfin: .octet 0\n");
    classe_corrigee const c = corrige_classe(lu.exo, lit_classe(dossier.string()));
    ASSERT_EQ(c.etudiants.size(), 2u);
    EXPECT_EQ(c.etudiants[0].fichier, "v2.asm");
    ASSERT_EQ(c.etudiants[0].autres.size(), 1u);
    EXPECT_EQ(c.etudiants[0].autres[0].fichier, "v1.asm");
    EXPECT_EQ(c.etudiants[0].autres[0].points, 0);
    EXPECT_EQ(c.etudiants[1].fichier, "b.s");
    EXPECT_EQ(retour_etudiant(lu.exo, c.etudiants[1], 20),
              "Exercice : t\nY (2)\nFichier corrigé : b.s (le meilleur des 2 fichiers rendus)\n"
              "Note : 0/3 points — 0/20\n"
              "« b.s » n'est pas nommé .asm : lu comme un source\n\n"
              "Cas :\n"
              "✘ un (0/1 point)\n"
              "    attendu : port B = 1\n"
              "    obtenu  : port B = 253 (-3)\n"
              "    arrêt : fin de programme après 4 pas (boucle en $0007, ligne 4)\n"
              "✘ table (E=$03) (0/1 point)\n"
              "    posé, entrées : E=$03\n"
              "    posé, mémoire : tab = [1, 2]\n"
              "    posé, événements : au pas 2, E=$01\n"
              "    attendu : port B = 1\n"
              "    obtenu  : port B = 253 (-3)\n"
              "    attendu : pile = [-1]\n"
              "    obtenu  : pile = [-56] (du fond au sommet)\n"
              "    arrêt : fin de programme après 4 pas (boucle en $0007, ligne 4)\n"
              "    la mémoire posée déborde de tab sur fin\n"
              "✘ secret (cas caché, 0/1 point)\n");
}

TEST_F(Promotion, LeTexteLeCsvEtLeJsonDUneClasse) {
    exercice_lu const lu = lit_exercice("titre = \"t\"\n[[cas]]\nnom = \"un;deux\"\n"
                                        "attendu = { B = 1 }\n");
    ASSERT_TRUE(lu.valide());
    std::string const copie = "PUSHI 1\nPOP PORTB\nPUSHI 2\nPOP PORTC\nPUSHI 3\nDROP\n"
                              "PUSHI 4\nDROP\nBT *\n";
    ecrit(dossier / "A_1_assignsubmission_file_/a.asm", copie);
    ecrit(dossier / "B_2_assignsubmission_file_/b.asm", "; la meme\n" + copie);
    ecrit(dossier / "C\x1b_3_assignsubmission_file_/c.pdf", std::string("%PDF\0", 5));
    classe_corrigee const c = corrige_classe(lu.exo, lit_classe(dossier.string()));
    EXPECT_FALSE(c.juste());
    EXPECT_EQ(texte_classe(lu.exo, c, 0),
              "A (1) : 1/1\n  fichier : a.asm\nB (2) : 1/1\n  fichier : b.asm\n"
              "C\\x1b (3) : 0/1\n  aucun fichier à corriger (rendu : c.pdf)\n"
              "Copies semblables :\n"
              "  identiques (même image de 19 octets) : A (1), B (2)\n"
              "    A (1), a.asm : lignes 1-9\n    B (2), b.asm : lignes 2-10\n");
    EXPECT_EQ(csv_classe(lu.exo, c, 3),
              "\xEF\xBB\xBFnom;identifiant;fichier;points;total;note;\"un;deux\"\n"
              "A;1;a.asm;1;1;3;1\nB;2;b.asm;1;1;3;1\nC\x1b;3;;0;1;0;0\n");
    std::string const json = json_classe(lu.exo, c, 3);
    EXPECT_EQ(en_utf8(json), json);
    EXPECT_NE(json.find("\"groupes\": [{\"identiques\": true, \"score_min\": 100, "
                        "\"score_max\": 100, \"membres\": [{\"etudiant\": 0, \"nom\": \"A\", "
                        "\"fichier\": \"a.asm\", \"lignes\": [[1, 9]]}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"fichier\": null, \"autres_corriges\": [], \"non_corriges\": "
                        "[\"c.pdf\"], \"notes\": [], \"points\": 0, \"total\": 1, \"note\": 0,"),
              std::string::npos)
        << json;
    EXPECT_EQ(commentaire_court(lu.exo, c.etudiants[2]), "Aucun fichier à corriger.");
    EXPECT_EQ(commentaire_court(lu.exo, c.etudiants[0]), "1/1 points.");
}

TEST(Notes, AuQuartDePointLePlusProche) {
    struct ligne {
        long long points, total, sur;
        char const* note;
    } const table[] = {
        {5, 8, 20, "12,5"}, {1, 3, 20, "6,75"}, {2, 3, 20, "13,25"}, {8, 8, 20, "20"},
        {0, 8, 20, "0"},    {1, 16, 2, "0,25"}, {1, 6, 20, "3,25"},  {3, 7, 100, "42,75"},
    };
    for (ligne const& l : table) {
        EXPECT_EQ(texte_note(note_en_quarts(l.points, l.total, l.sur), ','), l.note)
            << l.points << "/" << l.total << " sur " << l.sur;
    }
}

// Les nombres d'une liste JSON ou d'attributs, dans l'ordre : apres chaque cle.
std::vector<std::string> apres(std::string const& texte, std::string const& cle,
                               std::string const& fin) {
    std::vector<std::string> v;
    for (std::size_t i = texte.find(cle); i != std::string::npos; i = texte.find(cle, i + 1)) {
        std::size_t const debut = i + cle.size();
        v.push_back(texte.substr(debut, texte.find_first_of(fin, debut) - debut));
    }
    return v;
}

TEST_F(Promotion, LesNombresDeLaPageSontCeuxDuJson) {
    exercice_lu const lu =
        lit_exercice("titre = \"t\"\n[[cas]]\nnom = \"un\"\nattendu = { B = 1 }\n"
                     "[[cas]]\nnom = \"deux\"\nattendu = { B = 2 }\n"
                     "points = 2\n[[cas]]\nnom = \"<b>\"\ncache = true\n"
                     "attendu = { pile = [] }\n");
    ASSERT_TRUE(lu.valide());
    ecrit(dossier / "A_1_assignsubmission_file_/a.asm", "PUSHI 1\nPOP PORTB\nBT *\n");
    ecrit(dossier / "B_2_assignsubmission_file_/b.asm", "PUSHI 2\nPOP PORTB\nBT *\n");
    ecrit(dossier / "C_3_assignsubmission_file_/c.asm", "PUSHI 1\nDUP\nPOP PORTB\nBT *\n");
    ecrit(dossier / "D & <d>_4_assignsubmission_file_/r.pdf", std::string("%PDF\0", 5));
    classe_corrigee const c = corrige_classe(lu.exo, lit_classe(dossier.string()));
    std::string const json = json_classe(lu.exo, c, 20);
    std::string const bilan = json.substr(json.find("\"bilan\": "));
    std::string const page = page_bilan(lu.exo, c, 20);
    // Barres de l'histogramme puis lignes des echecs, dans le meme ordre.
    EXPECT_EQ(apres(page, "class=\"barre\" data-points=\"", "\""),
              apres(bilan, "{\"points\": \"", "\""));
    EXPECT_EQ(apres(page, "data-nombre=\"", "\""), apres(bilan, "\"nombre\": ", "}"));
    EXPECT_EQ(apres(page, "data-reussis=\"", "\""), apres(bilan, "\"reussis\": ", ","));
    EXPECT_EQ(apres(page, "data-sur=\"", "\""), apres(bilan, "\"sur\": ", "}"));
    EXPECT_EQ(apres(bilan, "\"reussis\": ", ","), (std::vector<std::string>{"2", "1", "2"}));
    EXPECT_EQ(apres(bilan, "\"sur\": ", "}"), (std::vector<std::string>{"3", "3", "3"}));
    EXPECT_EQ(apres(bilan, "{\"points\": \"", "\"").size(), 5u) << "0 a 4 points";
    EXPECT_EQ(page.find("<b>"), std::string::npos) << "echappe";
    EXPECT_NE(page.find("D &amp; &lt;d&gt; (4)"), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("http://www.w3.org/2000/svg"), page.find("http"))
        << "aucune adresse hors de l'espace de noms SVG";
}

} // namespace
