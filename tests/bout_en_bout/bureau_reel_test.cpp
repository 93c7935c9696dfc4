// Sous openbox, le vrai programme ouvre une source, puis la platine et l'aide :
// aucun cadre (tel que le gestionnaire le dit) ne couvre la fenetre principale ni
// ne sort de l'ecran ; un zoom aller et retour rend a chaque fenetre sa place. La
// classe que porte la fenetre est celle que nomme l'entree de bureau.
#include "banc_reel.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <thread>
#include <unistd.h>

namespace banc_reel {
namespace {

struct bureau_essai {
    char const* ecran;
    int largeur, hauteur;
    bool zoom_tient; // 1,25 y tient : Ctrl++ agrandit, sinon le facteur reste
};

void PrintTo(bureau_essai const& e, std::ostream* os) {
    *os << e.ecran;
}

// Le cadre d'une fenetre : l'interieur et les decorations que le gestionnaire dit.
rectangle cadre_de(std::string const& id) {
    geometrie const g = geometrie_de(id);
    std::string sortie;
    int gauche = 0, droite = 0, haut = 0, bas = 0;
    execute_x("xprop -id " + id + " _NET_FRAME_EXTENTS", &sortie);
    std::sscanf(sortie.c_str(), "_NET_FRAME_EXTENTS(CARDINAL) = %d, %d, %d, %d", &gauche, &droite,
                &haut, &bas);
    return {g.x - gauche, g.y - haut, g.w + gauche + droite, g.h + haut + bas};
}

bool se_couvrent(rectangle const& a, rectangle const& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

class bureau_reel : public banc, public testing::WithParamInterface<bureau_essai> {
  protected:
    bureau_reel()
        : source(testing::TempDir() + "karvela_" + std::to_string(getpid()) + "_bureau.asm") {
        std::ofstream(source) << "debut: BT debut\n";
        arguments = {source};
        ecran = GetParam().ecran;
        avec_openbox = true;
    }
    ~bureau_reel() override { std::remove(source.c_str()); }

    // Les cadres des fenetres visibles du programme, par titre, lus deux fois
    // d'affilee a l'identique (le gestionnaire a fini de les poser).
    std::map<std::string, rectangle> cadres_stables() {
        std::map<std::string, rectangle> avant, lus;
        for (auto limite = std::chrono::steady_clock::now() + delai_attente;
             std::chrono::steady_clock::now() < limite; std::this_thread::sleep_for(200ms)) {
            lus.clear();
            for (std::string const& id : fenetres_visibles()) {
                std::string titre;
                execute_x("xdotool getwindowname " + id, &titre);
                lus[titre.substr(0, titre.find('\n'))] = cadre_de(id);
            }
            bool const memes =
                lus.size() == avant.size() &&
                std::equal(lus.begin(), lus.end(), avant.begin(), [](auto const& a, auto const& b) {
                    return a.first == b.first && a.second.x == b.second.x &&
                           a.second.y == b.second.y && a.second.w == b.second.w &&
                           a.second.h == b.second.h;
                });
            if (memes) {
                break;
            }
            avant = lus;
        }
        return lus;
    }

    // Toutes sur l'ecran, aucune sur la principale ; rend les cadres.
    std::map<std::string, rectangle> verifie_places(int largeur_principale) {
        std::map<std::string, rectangle> const c = cadres_stables();
        EXPECT_EQ(c.size(), 4u) << "principale, source, platine, aide";
        auto const principale = c.find("Machine a pile");
        EXPECT_NE(principale, c.end());
        if (principale == c.end()) {
            return c;
        }
        EXPECT_EQ(geometrie_de(fenetre).w, largeur_principale);
        for (auto const& [titre, r] : c) {
            SCOPED_TRACE(titre);
            EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= GetParam().largeur &&
                        r.y + r.h <= GetParam().hauteur)
                << "hors de l'ecran : " << r.x << "," << r.y << " " << r.w << "x" << r.h;
            EXPECT_TRUE(titre == principale->first || !se_couvrent(r, principale->second))
                << "sur la principale : " << r.x << "," << r.y << " " << r.w << "x" << r.h << " ; "
                << garde_capture("couverte");
        }
        return c;
    }

    std::string source;
};

TEST_P(bureau_reel, rien_ne_couvre_la_principale_et_un_zoom_aller_retour_rend_les_places) {
    ASSERT_FALSE(attend_fenetre("Source .*_bureau[.]asm").empty()); // le tiret long, hors regex
    touche_dans(fenetre, "ctrl+p");
    ASSERT_FALSE(attend_fenetre("Platine").empty());
    touche_dans(fenetre, "F1");
    ASSERT_FALSE(attend_fenetre("Aide").empty());
    std::map<std::string, rectangle> const a_1 = verifie_places(650);

    touche_dans(fenetre, "ctrl+plus");
    if (GetParam().zoom_tient) {
        SCOPED_TRACE("zoom 1,25");
        verifie_places(813);
    } else {
        EXPECT_TRUE(barriere());
        cadres_stables();
        EXPECT_EQ(geometrie_de(fenetre).w, 650) << "1,25 ne tient pas";
    }
    touche_dans(fenetre, "ctrl+minus");
    std::map<std::string, rectangle> const retour = verifie_places(650);
    for (auto const& [titre, r] : a_1) {
        SCOPED_TRACE(titre);
        ASSERT_EQ(retour.count(titre), 1u);
        rectangle const& b = retour.at(titre);
        EXPECT_TRUE(r.x == b.x && r.y == b.y && r.w == b.w && r.h == b.h)
            << r.x << "," << r.y << " " << r.w << "x" << r.h << " devenu " << b.x << "," << b.y
            << " " << b.w << "x" << b.h;
    }

    // WM_CLASS(STRING) = "karvela", "Karvela" : le nom de classe est dans l'entree.
    std::string classe;
    execute_x("xprop -id " + fenetre + " WM_CLASS", &classe);
    EXPECT_NE(classe.find("\"karvela\", \"Karvela\""), std::string::npos) << classe;
    std::ifstream entree(KARVELA_SOURCE "/paquet/karvela.desktop");
    std::string ligne, nommee;
    while (std::getline(entree, ligne)) {
        nommee = ligne.rfind("StartupWMClass=", 0) == 0 ? ligne.substr(15) : nommee;
    }
    EXPECT_NE(classe.find("\"" + nommee + "\""), std::string::npos)
        << "StartupWMClass=" << nommee << " ; la fenetre : " << classe;
    EXPECT_EQ(quitte(), 0);
}

INSTANTIATE_TEST_SUITE_P(ecrans, bureau_reel,
                         testing::Values(bureau_essai{"1366x768", 1366, 768, false},
                                         bureau_essai{"1920x1080", 1920, 1080, true}),
                         [](auto const& e) { return "ecran_" + std::to_string(e.param.largeur); });

} // namespace
} // namespace banc_reel
