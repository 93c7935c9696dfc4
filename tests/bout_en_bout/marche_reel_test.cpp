// Le mode marche du vrai programme : un clic sur une ligne du desassemblage y pose
// un point d'arret (un point rouge), F5 lance la marche qui s'y arrete, F5 le
// passe, Echap arrete la marche. Memoire : des NOP d'un octet, la ligne n montre
// donc l'adresse n - 1 ; vitesse par defaut, 10 instructions par seconde.
#include "banc_reel.h"

namespace banc_reel {
namespace {

using marche_reel = banc;
namespace d = disposition;

constexpr rectangle etat_marche{408, 4, 158, 32}; // texte d'etat de la barre du haut

TEST_F(marche_reel, un_clic_pose_un_point_d_arret_ou_f5_s_arrete_et_echap_arrete_la_marche) {
    ecrit_memoire("0", "$1b", "40");
    ASSERT_TRUE(barriere());
    EXPECT_EQ(zone(d::cadre_desassemblage).compte(rouge_88), 0);

    clic(d::desa(6));
    EXPECT_TRUE(attend([](image const& i) { return i.recadre(d::desa(6)).compte(rouge_88) > 0; }))
        << "pas de point rouge sur la ligne cliquee : " << garde_capture("point");
    image const arretee = zone(etat_marche);

    touche_dans(fenetre, "F5");
    EXPECT_TRUE(attend([](image const& i) { return ligne_marquee(i) == 6; }))
        << "la marche n'atteint pas le point d'arret : " << garde_capture("f5");
    ASSERT_TRUE(barriere());
    image const au_point = capture();
    EXPECT_EQ(ligne_marquee(au_point), 6) << "la marche a passe le point d'arret";
    EXPECT_GT(au_point.recadre(d::desa(6)).compte(rouge_88), 0) << "point rouge sur la ligne du PC";
    EXPECT_NE(au_point.recadre(etat_marche), arretee) << "l'etat dit le point d'arret";

    // Depuis le point d'arret, F5 le passe ; Echap arrete la marche.
    touche_dans(fenetre, "F5");
    EXPECT_TRUE(attend([](image const& i) { return ligne_marquee(i) != 6; }));
    image const en_marche = zone(etat_marche);
    touche_dans(fenetre, "Escape");
    attend_changement(etat_marche, en_marche);
    image const fige = zone_stable(d::cadre_desassemblage);
    ASSERT_TRUE(barriere());
    EXPECT_EQ(zone(d::cadre_desassemblage), fige) << "Echap n'a pas arrete la marche";
    EXPECT_TRUE(geometrie_de(fenetre).visible);

    EXPECT_EQ(quitte(), 0);
}

} // namespace
} // namespace banc_reel
