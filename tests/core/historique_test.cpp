// Pas arriere : chaque recul rend exactement l'etat d'avant l'instruction, sur
// toute la profondeur de l'historique ; ce que l'utilisateur a fait entre deux
// instructions reste.
#include <gtest/gtest.h>

#include "banc_moteur.h"

namespace {

class recul_exact : public ::testing::TestWithParam<cas_programme> {};

TEST_P(recul_exact, cent_mille_pas_en_arriere_puis_de_nouveau_en_avant) {
    constexpr int nb_pas = 100000, photo_tous_les = 10000;
    cas_programme const& c = GetParam();
    SCOPED_TRACE(c.nom);
    banc_moteur b;
    b.pose_programme(c);
    b.m.garde_historique(true);
    std::vector<std::uint64_t> avant(nb_pas + 1);
    std::vector<std::vector<int>> photos;
    for (int k = 0; k < nb_pas; ++k) {
        avant[k] = b.empreinte();
        if (k % photo_tous_les == 0) {
            photos.push_back(b.etat_complet());
        }
        b.m.pas();
    }
    avant[nb_pas] = b.empreinte();
    for (int k = nb_pas - 1; k >= 0; --k) {
        ASSERT_TRUE(b.m.recule()) << "pas " << k;
        ASSERT_EQ(b.empreinte(), avant[k]) << "retour au pas " << k << " : " << b.etat();
        if (k % photo_tous_les == 0) {
            ASSERT_EQ(b.etat_complet(), photos[k / photo_tous_les]) << "pas " << k;
        }
    }
    EXPECT_FALSE(b.m.recule());
    // Revenu au depart, la machine refait exactement le meme chemin.
    for (int k = 1; k <= 1000; ++k) {
        b.m.pas();
        ASSERT_EQ(b.empreinte(), avant[k]) << "pas " << k << " refait";
    }
}

// DDRC et Port C, chaque instruction de pile, deux programmes aleatoires.
INSTANTIATE_TEST_SUITE_P(programmes, recul_exact,
                         ::testing::ValuesIn(programmes + 2, programmes + 6), nom_cas);

// La profondeur promise tient meme quand deux instructions sur cinq changent Port B.
TEST(historique, profondeur_pleine) {
    banc_moteur b;
    b.pose(0, {0x01, 0x01, 0x02, 0x10, 0x04, 0x01, 0x02, 0x02, 0x10, 0x04, 0x1A, 0xFF, 0xF6});
    b.m.garde_historique(true);
    std::size_t const capacite = b.m.capacite_historique();
    ASSERT_GE(capacite, 100000u);
    std::uint64_t ancien = 0;
    for (std::size_t k = 0; k < capacite + 1000; ++k) {
        ancien = k == 1000 ? b.empreinte() : ancien;
        b.m.pas();
    }
    std::size_t reculs = 0;
    while (b.m.recule()) {
        ++reculs;
    }
    EXPECT_EQ(reculs, capacite);
    EXPECT_EQ(b.empreinte(), ancien);
}

// Octet tape, registre tape et clic sur un port, entre deux pas : tout annuler les garde.
TEST(historique, les_gestes_de_l_utilisateur_restent) {
    banc_moteur b;
    b.pose(0, programmes[1].octets);
    b.m.garde_historique(true);
    b.m.pas();
    b.m.pas();
    b.memoire.write_byte(0x3000, 0x55);
    b.m.memoire_touchee();
    b.cpu.set_A_value(0x2A);
    b.ports[4].bascule_entree(0);
    b.ports[4].reecrit_valeur();
    b.m.pas();
    while (b.m.recule()) {
    }
    EXPECT_EQ(b.cpu.PC_value(), 0);
    EXPECT_EQ(b.memoire.read_byte(0x3000), 0x55);
    EXPECT_EQ(b.cpu.A_value(), 0x2A);
    EXPECT_EQ(b.ports[4].valeur(), 0x01);
}

TEST(historique, chargement_ou_historique_eteint_plus_rien_a_annuler) {
    banc_moteur b;
    b.pose(0, {0x1B, 0x1B});
    b.m.pas(); // eteint : rien n'est garde
    EXPECT_FALSE(b.m.recule());
    b.m.garde_historique(true);
    b.m.pas();
    EXPECT_TRUE(b.m.peut_reculer());
    b.m.oublie_historique();
    EXPECT_FALSE(b.m.peut_reculer());
    EXPECT_FALSE(b.m.recule());
    EXPECT_EQ(b.cpu.PC_value(), 2);
}

} // namespace
