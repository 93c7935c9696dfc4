// Pas arriere : chaque recul rend exactement l'etat d'avant l'instruction, sur
// toute la profondeur de l'historique ; ce que l'utilisateur a fait entre deux
// instructions reste.
#include <gtest/gtest.h>

#include <cstdint>

#include "banc_moteur.h"

namespace {

// Empreinte de l'etat (memoire des zones ecrites) ; toute la memoire a part.
std::uint64_t empreinte(banc_moteur const& b) {
    std::uint64_t h = 1469598103934665603ULL;
    for (int v : b.etat_complet(false)) {
        h = (h ^ static_cast<std::uint64_t>(v)) * 1099511628211ULL;
    }
    return h;
}

struct cas_programme {
    char const* nom;
    std::vector<int> octets; // vide : programme aleatoire de cette graine
    unsigned graine;
};

cas_programme const programmes[] = {
    // Chaque instruction de pile, ROLL a trois entrees compris ; la pile revient vide.
    {"instructions de pile",
     {0x01, 0x01, 0x01, 0x02, 0x01, 0x03, 0x07, 0x04, 0x06, 0x03, 0x09,
      0x0B, 0x0A, 0x11, 0x12, 0x13, 0x10, 0x0F, 0x0C, 0x0D, 0x01, 0x04,
      0x0E, 0x02, 0x00, 0x40, 0x00, 0x00, 0x40, 0x05, 0x1A, 0xFF, 0xE2},
     0},
    {"aleatoire", {}, 21},
    {"aleatoire", {}, 22},
};

class recul_exact : public ::testing::TestWithParam<cas_programme> {};

TEST_P(recul_exact, cent_mille_pas_en_arriere_puis_de_nouveau_en_avant) {
    constexpr int nb_pas = 100000, photo_tous_les = 10000;
    cas_programme const& c = GetParam();
    SCOPED_TRACE(c.nom);
    banc_moteur b;
    c.octets.empty() ? b.pose_aleatoire(c.graine) : b.pose(0, c.octets);
    b.m.garde_historique(true);
    std::vector<std::uint64_t> avant(nb_pas + 1);
    std::vector<std::vector<int>> photos;
    for (int k = 0; k < nb_pas; ++k) {
        avant[k] = empreinte(b);
        if (k % photo_tous_les == 0) {
            photos.push_back(b.etat_complet());
        }
        b.m.pas();
    }
    avant[nb_pas] = empreinte(b);
    for (int k = nb_pas - 1; k >= 0; --k) {
        ASSERT_TRUE(b.m.recule()) << "pas " << k;
        ASSERT_EQ(empreinte(b), avant[k]) << "retour au pas " << k << " : " << b.etat();
        if (k % photo_tous_les == 0) {
            ASSERT_EQ(b.etat_complet(), photos[k / photo_tous_les]) << "pas " << k;
        }
    }
    EXPECT_FALSE(b.m.recule());
    // Revenu au depart, la machine refait exactement le meme chemin.
    for (int k = 1; k <= 1000; ++k) {
        b.m.pas();
        ASSERT_EQ(empreinte(b), avant[k]) << "pas " << k << " refait";
    }
}

INSTANTIATE_TEST_SUITE_P(programmes, recul_exact, ::testing::ValuesIn(programmes),
                         [](auto const& info) { return "cas" + std::to_string(info.index); });

struct cas_capacite {
    char const* nom;
    std::vector<int> octets;
};

// La profondeur promise tient meme quand deux instructions sur cinq changent un port.
TEST(historique, profondeur_pleine) {
    cas_capacite const cas[] = {
        {"compte a rebours", {0x01, 0x00, 0x01, 0x01, 0x09, 0x15, 0xFF, 0xFD, 0x1A, 0xFF, 0xFA}},
        {"Port B a chaque POP",
         {0x01, 0x01, 0x02, 0x10, 0x04, 0x01, 0x02, 0x02, 0x10, 0x04, 0x1A, 0xFF, 0xF6}},
    };
    for (cas_capacite const& c : cas) {
        banc_moteur b;
        b.pose(0, c.octets);
        b.m.garde_historique(true);
        std::size_t const capacite = b.m.capacite_historique();
        ASSERT_GE(capacite, 100000u);
        std::uint64_t ancien = 0;
        for (std::size_t k = 0; k < capacite + 1000; ++k) {
            if (k == 1000) {
                ancien = empreinte(b);
            }
            b.m.pas();
        }
        std::size_t reculs = 0;
        while (b.m.recule()) {
            ++reculs;
        }
        EXPECT_EQ(reculs, capacite) << c.nom;
        EXPECT_EQ(empreinte(b), ancien) << c.nom;
    }
}

struct cas_geste {
    char const* nom;
    void (*fait)(banc_moteur&);
    bool (*reste)(banc_moteur const&);
};

// Apres deux pas, le geste ; un pas encore, puis tout est annule.
TEST(historique, les_gestes_de_l_utilisateur_restent) {
    cas_geste const cas[] = {
        {"octet tape",
         [](banc_moteur& b) {
             b.memoire.write_byte(0x3000, 0x55);
             b.m.memoire_touchee();
         },
         [](banc_moteur const& b) { return b.memoire.read_byte(0x3000) == 0x55; }},
        {"registre A tape", [](banc_moteur& b) { b.cpu.set_A_value(0x2A); },
         [](banc_moteur const& b) { return b.cpu.A_value() == 0x2A; }},
        {"clic sur Port E",
         [](banc_moteur& b) {
             b.ports[4].bascule_entree(0);
             b.ports[4].reecrit_valeur();
         },
         [](banc_moteur const& b) { return b.ports[4].valeur() == 0x01; }},
    };
    for (cas_geste const& c : cas) {
        banc_moteur b;
        b.pose(0, {0x00, 0x10, 0x0A, 0x02, 0x10, 0x04, 0x1A, 0xFF, 0xFA}); // E recopie sur B
        b.m.garde_historique(true);
        b.m.pas();
        b.m.pas();
        c.fait(b);
        b.m.pas();
        while (b.m.recule()) {
        }
        EXPECT_EQ(b.cpu.PC_value(), 0) << c.nom;
        EXPECT_TRUE(c.reste(b)) << c.nom;
    }
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
