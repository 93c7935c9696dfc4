// Le vrai programme lance sur un fichier : ouvert au demarrage, relu par Ctrl+R
// apres un changement sur le disque ; F1 ouvre l'aide a cote d'une fenetre qui
// repond encore. Et sa ligne de commande, qui repond sans fenetre ni affichage.
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

std::string const pushi_5("\x00\x06\x00\x00\x01\x05", 6);
std::string const add("\x00\x05\x00\x00\x08", 5);

// Le programme lance sur un .bin ecrit par le test.
class fichier_reel : public banc {
  protected:
    fichier_reel() {
        ecrit(programme, pushi_5);
        arguments = {programme};
    }
    ~fichier_reel() override { std::remove(programme.c_str()); }

    std::string const programme = chemin_temporaire("prog.bin");
};

// Pixels sombres de la zone : du texte y est dessine.
int encre(image const& i) {
    int n = 0;
    for (int y = 0; y < i.hauteur(); ++y) {
        for (int x = 0; x < i.largeur(); ++x) {
            couleur const c = i.pixel(x, y);
            n += c.r + c.g + c.b < 200 ? 1 : 0;
        }
    }
    return n;
}

TEST_F(fichier_reel, ouvert_au_demarrage_relu_par_ctrl_r_et_f1_ouvre_l_aide) {
    ASSERT_TRUE(attend_ligne_journal("depart: 0")) << "le fichier de la ligne de commande";
    ASSERT_TRUE(barriere());
    image const premier = capture();
    EXPECT_GT(encre(premier.recadre({160, 8, 102, 24})), 0) << "nom du fichier dans la barre";

    // Change sur le disque, puis revenu : chaque Ctrl+R montre ce que dit le fichier.
    ecrit(programme, add);
    touche_dans(fenetre, "ctrl+r");
    EXPECT_TRUE(attend_ligne_journal("depart: 0", 2));
    EXPECT_NE(attend_changement(d::desa(1), premier.recadre(d::desa(1))),
              premier.recadre(d::desa(1)))
        << "Ctrl+R ne relit pas le fichier : " << garde_capture("ctrl_r");
    ecrit(programme, pushi_5);
    touche_dans(fenetre, "ctrl+r");
    EXPECT_TRUE(attend_ligne_journal("depart: 0", 3));
    EXPECT_TRUE(attend([&](image const& i) {
        return i.recadre(d::cadre_desassemblage) == premier.recadre(d::cadre_desassemblage);
    })) << "le premier programme ne revient pas";

    // F1 : l'aide, non modale, avec son texte ; "Fermer" la cache.
    touche_dans(fenetre, "F1");
    std::string const aide = attend_fenetre("Aide");
    ASSERT_FALSE(aide.empty()) << "F1 n'ouvre pas l'aide : " << garde_capture("f1");
    image const texte = image_de(aide).recadre({10, 10, 590, 420});
    EXPECT_GT(encre(texte), 1000) << "aide sans texte : " << garde_capture("aide");
    EXPECT_TRUE(fenetre_repond()) << "la fenetre principale doit repondre, l'aide ouverte";
    clic_dans(aide, 300, 455); // "Fermer" : 260, 440, 80 x 30
    EXPECT_TRUE(attend_fermeture(aide));
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
