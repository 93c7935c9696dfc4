// Le vrai programme lance sur une source : ouverte au demarrage, relue par Ctrl+R
// apres chaque changement sur le disque, ses erreurs montrees sous son texte ; la
// ligne du PC suit F7 dans la fenetre du source ; F1 ouvre l'aide a cote d'une
// fenetre qui repond encore. Et sa ligne de commande, qui repond sans fenetre ni
// affichage.
#include "banc_reel.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "simulateur/version.h"

namespace banc_reel {
namespace {

namespace d = disposition;

std::string chemin_temporaire(std::string const& nom) {
    return testing::TempDir() + "karvela_" + std::to_string(getpid()) + "_" + nom;
}

void ecrit(std::string const& chemin, std::string const& octets) {
    std::ofstream(chemin, std::ios::binary) << octets;
}

std::string const pushi_5 = "  PUSHI 5\n";
std::string const add = "  ADD\n";
std::string const fautive = "  PUSHX 1\n  BT ailleurs\n"; // deux erreurs

// Le programme lance sur une source ecrite par le test.
class source_reel : public banc {
  protected:
    source_reel() {
        ecrit(programme, pushi_5);
        arguments = {programme};
    }
    ~source_reel() override { std::remove(programme.c_str()); }

    // La fenetre du source, ouverte au lancement. Sur cet ecran elle couvre une
    // partie de la principale : celle-ci repasse devant, redessinee, pour ses clics
    // et ses captures (l'image du lancement comprise).
    std::string fenetre_source() {
        // (Le tiret long du titre, UTF-8, est sur plusieurs caracteres dans WM_NAME.)
        std::string const id =
            attend_fenetre("Source .* " + programme.substr(programme.rfind('/') + 1));
        principale_devant();
        demarrage = capture();
        return id;
    }
    void principale_devant() {
        execute_x("xdotool windowraise " + fenetre);
        image_de(fenetre);
    }

    std::string const programme = chemin_temporaire("prog.asm");
};

bool sombre(couleur const& c) {
    return c.r + c.g + c.b < 200;
}

// Pixels sombres de la zone : du texte y est dessine.
int encre(image const& i) {
    int n = 0;
    for (int y = 0; y < i.hauteur(); ++y) {
        for (int x = 0; x < i.largeur(); ++x) {
            n += sombre(i.pixel(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// Lignes de texte de la zone : suites de rangees ou passe de l'encre.
int lignes_ecrites(image const& i) {
    int lignes = 0;
    bool dans_ligne = false;
    for (int y = 0; y < i.hauteur(); ++y) {
        bool ligne = false;
        for (int x = 0; x < i.largeur() && !ligne; ++x) {
            ligne = sombre(i.pixel(x, y));
        }
        lignes += ligne && !dans_ligne ? 1 : 0;
        dans_ligne = ligne;
    }
    return lignes;
}

// Le parcours de l'etudiant : la source ouverte au lancement, modifiee puis
// relue par Ctrl+R, rendue fautive (ses erreurs s'affichent, la memoire reste),
// corrigee et relue ; l'aide ouverte par F1 pendant ce temps.
TEST_F(source_reel, ouverte_au_lancement_relue_par_ctrl_r_erreurs_montrees_et_aide_par_f1) {
    ASSERT_TRUE(attend_ligne_journal("depart: 0")) << "la source de la ligne de commande";
    std::string const source = fenetre_source();
    ASSERT_FALSE(source.empty()) << "pas de fenetre du source : " << garde_capture("source");
    ASSERT_TRUE(barriere());
    image const premier = capture();
    EXPECT_GT(encre(premier.recadre({460, 40, 166, 20})), 0) << "nom du fichier sous la barre";

    ecrit(programme, add);
    touche_dans(fenetre, "ctrl+r");
    EXPECT_TRUE(attend_ligne_journal("depart: 0", 2));
    EXPECT_NE(attend_changement(d::desa(1), premier.recadre(d::desa(1))),
              premier.recadre(d::desa(1)))
        << "Ctrl+R ne relit pas la source : " << garde_capture("ctrl_r");
    ASSERT_TRUE(barriere());
    image const deuxieme = capture();

    // Fautive : sous le texte, un resume et une ligne par erreur ; rien n'est charge.
    ecrit(programme, fautive);
    touche_dans(fenetre, "ctrl+r");
    // Sur toute la largeur : la fenetre retrecit pour tenir a cote de la principale.
    rectangle const diagnostics{8, 552, geometrie_de(source).w - 20, 136};
    auto const lignes_diagnostics = [&] {
        return lignes_ecrites(image_de(source).recadre(diagnostics));
    };
    for (auto fin = std::chrono::steady_clock::now() + delai_attente;
         lignes_diagnostics() != 3 && std::chrono::steady_clock::now() < fin;) {
    }
    EXPECT_EQ(lignes_diagnostics(), 3) << garde_capture("diagnostics");
    principale_devant();
    ASSERT_TRUE(barriere());
    EXPECT_EQ(zone(d::cadre_desassemblage), deuxieme.recadre(d::cadre_desassemblage))
        << "une source fautive ne change rien";

    ecrit(programme, pushi_5);
    touche_dans(fenetre, "ctrl+r");
    EXPECT_TRUE(attend_ligne_journal("depart: 0", 3));
    EXPECT_TRUE(attend([&](image const& i) {
        return i.recadre(d::cadre_desassemblage) == premier.recadre(d::cadre_desassemblage);
    })) << "la source corrigee n'est pas rechargee";

    // F1 : l'aide, non modale, avec son texte ; "Fermer" la cache.
    touche_dans(fenetre, "F1");
    std::string const aide = attend_fenetre("Aide");
    ASSERT_FALSE(aide.empty()) << "F1 n'ouvre pas l'aide : " << garde_capture("f1");
    // Posee la ou elle gene le moins, peut-etre retrecie : le texte et "Fermer" (260,
    // 440, 80 x 30) suivent, le sommaire (300 de large) reste a droite.
    geometrie const a = geometrie_de(aide);
    image const texte = image_de(aide).recadre({10, 10, a.w - 320, a.h - 60});
    EXPECT_GT(encre(texte), 1000) << "aide sans texte : " << garde_capture("aide");
    EXPECT_TRUE(fenetre_repond()) << "la fenetre principale doit repondre, l'aide ouverte";
    clic_dans(aide, 10 + 290 * (a.w - 310) / 590, a.h - 25);
    EXPECT_TRUE(attend_fermeture(aide));
    EXPECT_EQ(quitte(), 0);
}

// Trois instructions : F7 deux fois, la ligne orange de la fenetre du source descend
// d'une ligne a chaque pas.
class source_pas_a_pas : public source_reel {
  protected:
    source_pas_a_pas() { ecrit(programme, "; trois pas\n  PUSHI 5\n  DUP\n  ADD\n"); }
};

TEST_F(source_pas_a_pas, f7_fait_descendre_la_ligne_orange_du_source) {
    ASSERT_TRUE(attend_ligne_journal("depart: 0"));
    std::string const source = fenetre_source();
    ASSERT_FALSE(source.empty()) << garde_capture("source");
    // Haut de la bande orange a droite du texte (x 250 de la fenetre du source, dans
    // le texte meme quand elle retrecit pour tenir a cote de la principale) ; -1 sans.
    auto const bande = [&] {
        image const i = image_de(source);
        for (int y = 0; y < i.hauteur(); ++y) {
            if (i.pixel(250, y) == orange_174) {
                return y;
            }
        }
        return -1;
    };
    std::vector<int> hauts = {bande()};
    for (int pas = 1; pas <= 2; ++pas) {
        touche_dans(fenetre, "F7");
        auto const fin = std::chrono::steady_clock::now() + delai_attente;
        while (bande() == hauts.back() && std::chrono::steady_clock::now() < fin) {
        }
        hauts.push_back(bande());
    }
    EXPECT_GT(hauts[0], 0) << "pas de ligne orange : " << garde_capture("orange");
    EXPECT_GT(hauts[1], hauts[0]) << garde_capture("f7");
    EXPECT_EQ(hauts[2] - hauts[1], hauts[1] - hauts[0]) << "une ligne par pas";
    EXPECT_EQ(quitte(), 0);
}

// Sans DISPLAY : --version, --help et une ligne mal formee ne cherchent aucune fenetre.
TEST(ligne_de_commande_reel, repond_sans_fenetre_avec_le_bon_statut) {
    struct cas {
        char const* arguments;
        int statut;
        char const* sortie;  // debut attendu
        char const* erreurs; // debut attendu
    };
    cas const table[] = {
        {"--version", 0, "karvela " KARVELA_VERSION "\n", ""},
        {"--help", 0, "utilisation : karvela", ""},
        {"-x", 2, "", "utilisation : karvela"},
        {"a.bin b.bin", 2, "", "utilisation : karvela"},
        {"--help >/dev/full", 1, "", "karvela: impossible d'écrire la sortie standard : disque"},
    };
    std::string const erreurs = chemin_temporaire("erreurs.txt");
    for (cas const& c : table) {
        SCOPED_TRACE(c.arguments);
        std::string sortie;
        int const statut = execute("env -u DISPLAY " KARVELA_BINAIRE " " +
                                       std::string(c.arguments) + " 2>" + erreurs,
                                   &sortie);
        std::ifstream lu(erreurs);
        std::string const texte_erreurs((std::istreambuf_iterator<char>(lu)),
                                        std::istreambuf_iterator<char>());
        EXPECT_EQ(statut, c.statut);
        EXPECT_EQ(sortie.rfind(c.sortie, 0), 0u) << sortie;
        EXPECT_EQ(texte_erreurs.rfind(c.erreurs, 0), 0u) << texte_erreurs;
        EXPECT_EQ(sortie.empty(), *c.sortie == '\0') << sortie;
    }
    std::remove(erreurs.c_str());
}

} // namespace
} // namespace banc_reel
