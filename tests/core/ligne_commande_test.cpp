// Ligne de commande du simulateur (les options de la boite a outils deja mises de
// cote) et textes des fichiers ouverts : sorte de fichier, nom affiche, fenetre
// des erreurs d'assemblage.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "simulateur/ligne_commande.h"
#include "simulateur/textes_fichiers.h"
#include "simulateur/version.h"

namespace {

TEST(LigneDeCommande, ChaqueFormeDonneSaDemande) {
    struct cas {
        std::vector<std::string> mots;
        lancement action;
        char const* fichier;
        char const* probleme; // morceau du message
        double zoom = 1;
    };
    cas const table[] = {
        {{}, lancement::fenetre, "", ""},
        {{"prog.bin"}, lancement::fenetre, "prog.bin", ""},
        {{"--", "-x.asm"}, lancement::fenetre, "-x.asm", ""},
        {{"--", "--version"}, lancement::fenetre, "--version", ""},
        {{"--version"}, lancement::version, "", ""},
        {{"a.bin", "--help"}, lancement::aide, "", ""},
        {{"-x"}, lancement::mauvais_usage, "", "option inconnue « -x »"},
        {{"-"}, lancement::mauvais_usage, "", "option inconnue « - »"},
        {{"--aide"}, lancement::mauvais_usage, "", "option inconnue « --aide »"},
        {{"a.bin", "b.asm"}, lancement::mauvais_usage, "", "« a.bin », puis « b.asm »"},
        {{""}, lancement::mauvais_usage, "", "nom de fichier vide"},
        {{"--zoom", "2", "a.bin"}, lancement::fenetre, "a.bin", "", 2},
        {{"--zoom=1,5"}, lancement::fenetre, "", "", 1.5},
        {{"--", "--zoom"}, lancement::fenetre, "--zoom", ""},
        {{"--zoom", "3.5"}, lancement::mauvais_usage, "", "facteur de zoom « 3.5 »"},
        {{"--zoom=x"}, lancement::mauvais_usage, "", "« x » : de 1 à 3, par pas de 0,25"},
        {{"a.bin", "--zoom"}, lancement::mauvais_usage, "", "--zoom attend un facteur"},
        {{"--exercice", "e.toml", "p.asm"}, lancement::fenetre, "p.asm", ""},
        {{"--exercice=e.toml"}, lancement::fenetre, "", ""},
        {{"p.asm", "--exercice"}, lancement::mauvais_usage, "", "« --exercice » attend un fichier"},
    };
    for (cas const& c : table) {
        std::string nom;
        for (auto const& m : c.mots) {
            nom += "[" + m + "]";
        }
        SCOPED_TRACE(nom);
        demande_lancement const d = analyse_arguments(c.mots);
        EXPECT_EQ(d.action, c.action);
        EXPECT_EQ(d.fichier, c.fichier);
        EXPECT_NE(d.probleme.find(c.probleme), std::string::npos) << d.probleme;
        if (c.action == lancement::fenetre) {
            EXPECT_EQ(d.zoom, c.zoom);
        }
    }
}

TEST(LigneDeCommande, ReponsesSansFenetreEtStatut) {
    struct cas {
        std::vector<std::string> mots;
        int statut;
        char const* sortie;  // debut attendu
        char const* erreurs; // debut attendu
    };
    cas const table[] = {
        {{"--version"}, 0, "karvela " KARVELA_VERSION "\n", ""},
        {{"--help"}, 0, "utilisation : karvela ", ""},
        {{"-x"}, 2, "", "utilisation : karvela "},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.mots[0]);
        std::ostringstream sortie, erreurs;
        EXPECT_EQ(repond_sans_fenetre(analyse_arguments(c.mots), sortie, erreurs), c.statut);
        EXPECT_EQ(sortie.str().rfind(c.sortie, 0), 0u) << sortie.str();
        EXPECT_EQ(erreurs.str().rfind(c.erreurs, 0), 0u) << erreurs.str();
        EXPECT_EQ(sortie.str().empty(), *c.sortie == '\0');
        EXPECT_EQ(erreurs.str().empty(), *c.erreurs == '\0');
    }
}

TEST(TextesFichiers, SorteEtNomAffiche) {
    struct cas {
        char const* chemin;
        bool source;
        char const* nom;
    };
    cas const table[] = {
        {"/tmp/prog.asm", true, "prog.asm"},
        {"PROG.ASM", true, "PROG.ASM"},
        {"rebours.bin", false, "rebours.bin"},
        {"x.asm.bin", false, "x.asm.bin"},
        {".asm", false, ".asm"},
        {"d/a@b.asm", true, "a@@b.asm"},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.chemin);
        EXPECT_EQ(est_source(c.chemin), c.source);
        EXPECT_EQ(nom_affiche(c.chemin), c.nom);
    }
}

TEST(TextesFichiers, FenetreDesErreurs) {
    std::vector<diagnostic> const liste = {
        {true, 3, 9, "mnémonique inconnu « PUSHX »"},
        {false, 1, 1, "rien n'est rangé en $0000"},
        {true, 12, 5, "@étiquette"},
    };
    EXPECT_EQ(titre_erreurs("src/p.asm", liste), "p.asm : 2 erreurs, 1 avertissement");
    EXPECT_EQ(titre_erreurs("p.asm", {liste[0]}), "p.asm : 1 erreur");
    std::vector<std::string> const attendu = {
        "@.3:9: erreur: mnémonique inconnu « PUSHX »",
        "@.1:1: attention: rien n'est rangé en $0000",
        "@.12:5: erreur: @étiquette",
    };
    EXPECT_EQ(lignes_erreurs(liste), attendu);
}

} // namespace
