// Le vrai programme de bout en bout, le parcours le plus court : un PUSHI tape a la
// main par les champs d'edition de la memoire, un STEP, la case du bas de la pile
// qui s'allume, Echap sans effet, "Quitter" qui rend 0.
#include "banc_reel.h"

namespace banc_reel {
namespace {

using karvela_reel = banc;
namespace d = disposition;

TEST_F(karvela_reel, pushi_tape_a_la_main_puis_step_allume_la_pile_et_quitter_rend_0) {
    int const x = d::pile(0).centre_x();
    int const y = d::pile(0).centre_y();
    EXPECT_EQ(pixel(x, y), blanc_255) << "pile vide : case blanche";

    // PUSHI 1 : l'octet 1 a l'adresse 0, deux fois.
    ecrit_memoire("0", "1", "2");
    clic(d::b_step);
    EXPECT_EQ(attend_pixel(x, y, orange_174), orange_174)
        << "la case PILE00 doit passer en couleur 174 apres le PUSHI";

    // Echap ne ferme pas la fenetre principale : apres une barriere, elle est encore la.
    touche_dans(fenetre, "Escape");
    EXPECT_TRUE(barriere());
    EXPECT_TRUE(geometrie_de(fenetre).visible) << "Echap a ferme la fenetre";

    EXPECT_EQ(quitte(), 0);
}

} // namespace
} // namespace banc_reel
