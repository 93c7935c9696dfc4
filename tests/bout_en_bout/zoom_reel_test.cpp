// Le vrai programme lance avec --zoom 2 : deux fois plus grand, aide comprise,
// remis sur l'ecran (plus petit que lui), puis rendu a sa taille concue par Ctrl+0.
#include "banc_reel.h"

#include <thread>

namespace banc_reel {
namespace {

class zoom_reel : public banc {
  protected:
    zoom_reel() {
        arguments = {"--zoom", "2"};
        zoom_lance = 2;
    }
};

TEST_F(zoom_reel, zoom_2_au_lancement_puis_ctrl_0_rend_la_taille_concue) {
    EXPECT_EQ(origine.x, 0) << "1300 pixels sur un ecran de 1280 : au bord gauche";
    EXPECT_EQ(origine.y, 0);
    // L'aide aussi, barre de defilement comprise (la boite a outils la remet a 16
    // pixels en montrant la premiere fenetre) : 32 pixels au bord droit du texte,
    // ou aucune ligne ne va.
    touche_dans(fenetre, "F1");
    std::string const aide = attend_fenetre("Aide");
    ASSERT_FALSE(aide.empty());
    EXPECT_EQ(geometrie_de(aide).w, 1220);
    EXPECT_NE(image_de(aide).pixel(20 + 1180 - 2 - 24, 400), blanc_255)
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
    EXPECT_EQ(g.x, 0) << "la fenetre garde son coin";
    origine = g; // elle tient sur l'ecran : le menu Fichier se voit
    EXPECT_EQ(quitte(), 0);
}

} // namespace
} // namespace banc_reel
