// Le vrai programme lance avec --zoom 2 sur l'ecran de 1280 x 1024 : ramene a 1,25,
// qui y tient (2 ferait 1390 de haut), aide comprise, puis rendu a sa taille
// concue par Ctrl+0.
#include "banc_reel.h"

#include <thread>

namespace banc_reel {
namespace {

class zoom_reel : public banc {
  protected:
    zoom_reel() {
        arguments = {"--zoom", "2"};
        zoom_lance = 1.25;
    }
};

TEST_F(zoom_reel, zoom_2_ramene_a_ce_qui_tient_puis_ctrl_0_rend_la_taille_concue) {
    // Une compagne de 900 ne tient pas a cote : la principale au bord gauche.
    EXPECT_EQ(origine.x, 0);
    EXPECT_EQ(origine.y, (1024 - 869) / 2);
    // L'aide aussi, barre de defilement comprise (la boite a outils la remet a 16
    // pixels en montrant la premiere fenetre) : 20 pixels au bord droit du texte,
    // qui finit a 375 pixels (le sommaire, 300 x 1,25) du bord de la fenetre.
    touche_dans(fenetre, "F1");
    std::string const aide = attend_fenetre("Aide");
    ASSERT_FALSE(aide.empty());
    geometrie const a = geometrie_de(aide);
    EXPECT_NE(image_de(aide).pixel(a.w - 375 - 2 - 18, a.h / 2), blanc_255)
        << "barre de defilement de l'aide etroite : " << garde_capture("aide");
    touche_dans(aide, "Escape");
    EXPECT_TRUE(attend_fermeture(aide));
    touche_dans(fenetre, "ctrl+0");
    geometrie g;
    for (auto limite = std::chrono::steady_clock::now() + delai_attente;
         std::chrono::steady_clock::now() < limite && g.w != 650;
         std::this_thread::sleep_for(50ms)) {
        g = geometrie_de(fenetre);
    }
    EXPECT_EQ(g.w, 650);
    EXPECT_EQ(g.h, 695);
    EXPECT_EQ(g.x, 0) << "a 1 non plus, la source ne tient pas a cote";
    origine = g;
    EXPECT_EQ(quitte(), 0);
}

} // namespace
} // namespace banc_reel
