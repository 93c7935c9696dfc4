// Sous openbox, le vrai programme ouvre une source, la platine et l'aide : aucun
// cadre (tel que le gestionnaire le dit) ne couvre la principale ni ne sort de
// l'ecran ; un zoom aller et retour rend les places ; la classe de la fenetre est
// celle que nomme l'entree de bureau.
#include "banc_reel.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <thread>

namespace banc_reel {
namespace {

struct bureau_essai {
    int largeur, hauteur;
    int zoome; // largeur de la principale apres Ctrl++ : 813 si 1,25 tient
};

using cadres = std::map<std::string, std::vector<int>>; // titre : x, y, w, h

class bureau_reel : public banc, public testing::WithParamInterface<bureau_essai> {
  protected:
    bureau_reel() : source(testing::TempDir() + "karvela_bureau.asm") {
        std::ofstream(source) << "debut: BT debut\n";
        arguments = {source};
        ecran = std::to_string(GetParam().largeur) + "x" + std::to_string(GetParam().hauteur);
        avec_openbox = true;
    }
    ~bureau_reel() override { std::remove(source.c_str()); }

    // Les cadres lus deux fois de suite a l'identique : le gestionnaire a fini.
    cadres stables() {
        cadres avant, lus;
        for (int essai = 0; essai < 50 && (lus.empty() || lus != avant); ++essai) {
            std::this_thread::sleep_for(200ms);
            avant = lus;
            lus.clear();
            for (std::string const& id : fenetres_visibles()) {
                std::string titre, bords;
                execute_x("xdotool getwindowname " + id, &titre);
                execute_x("xprop -id " + id + " _NET_FRAME_EXTENTS", &bords);
                int g = 0, d = 0, h = 0, b = 0;
                std::sscanf(bords.c_str(), "%*[^=]= %d, %d, %d, %d", &g, &d, &h, &b);
                geometrie const c = geometrie_de(id);
                lus[titre.substr(0, titre.find('\n'))] = {c.x - g, c.y - h, c.w + g + d,
                                                          c.h + h + b};
            }
        }
        return lus;
    }

    // Toutes sur l'ecran, aucune sur la principale, large de largeur.
    cadres verifie(int largeur) {
        cadres c = stables();
        EXPECT_EQ(c.size(), 4u) << "principale, source, platine, aide";
        EXPECT_EQ(geometrie_de(fenetre).w, largeur);
        if (c.count("Machine a pile") == 0) {
            return c; // le compte ci-dessus a deja echoue
        }
        std::vector<int> const p = c["Machine a pile"];
        for (auto const& [titre, r] : c) {
            EXPECT_TRUE(r[0] >= 0 && r[1] >= 0 && r[0] + r[2] <= GetParam().largeur &&
                        r[1] + r[3] <= GetParam().hauteur)
                << titre << " hors de l'ecran";
            EXPECT_FALSE(r != p && r[0] < p[0] + p[2] && p[0] < r[0] + r[2] && r[1] < p[1] + p[3] &&
                         p[1] < r[1] + r[3])
                << titre << " sur la principale : " << garde_capture("couverte");
        }
        return c;
    }

    std::string source;
};

TEST_P(bureau_reel, rien_ne_couvre_la_principale_et_un_zoom_aller_retour_rend_les_places) {
    ASSERT_FALSE(attend_fenetre("Source .*_bureau[.]asm").empty()); // tiret long hors regex
    touche_dans(fenetre, "ctrl+p");
    touche_dans(fenetre, "F1");
    ASSERT_FALSE(attend_fenetre("Platine").empty() || attend_fenetre("Aide").empty());
    cadres const a_1 = verifie(650);
    touche_dans(fenetre, "ctrl+plus");
    verifie(GetParam().zoome);
    touche_dans(fenetre, "ctrl+minus");
    EXPECT_EQ(verifie(650), a_1) << "les places d'avant le zoom";

    // WM_CLASS(STRING) = "karvela", "Karvela" : la classe que nomme l'entree.
    std::string classe, ligne = "?";
    execute_x("xprop -id " + fenetre + " WM_CLASS", &classe);
    for (std::ifstream e(KARVELA_SOURCE "/paquet/karvela.desktop");
         e >> ligne && ligne.find("WMClass=") == std::string::npos;) {
    }
    EXPECT_NE(classe.find("\"karvela\", \"" +
                          ligne.substr(std::min<std::size_t>(15, ligne.size())) + "\""),
              std::string::npos)
        << classe << " ; " << ligne;
    EXPECT_EQ(quitte(), 0);
}

// A 1366 x 768, 1,25 ne tient pas : la principale reste a 650.
INSTANTIATE_TEST_SUITE_P(ecrans, bureau_reel,
                         testing::Values(bureau_essai{1366, 768, 650},
                                         bureau_essai{1920, 1080, 813}),
                         [](auto const& e) { return std::to_string(e.param.largeur); });

} // namespace
} // namespace banc_reel
