// La machine pas a pas : les ports apres l'instruction, et une mise a jour des
// ports sautee quand elle ne changerait rien, toujours egale a la mise a jour
// naive des cinq ports apres chaque instruction, clics et editions compris.
#include <gtest/gtest.h>

#include "banc_moteur.h"

namespace {

TEST(machine, les_ports_prennent_leurs_sorties_apres_l_instruction) {
    banc_moteur b;
    b.pose(0, {0x01, 0x5A, 0x02, 0x10, 0x04}); // PUSHI $5a ; POP $1004
    b.m.pas();
    EXPECT_EQ(b.ports[1].valeur(), 0xFF); // Port B a lu le 0xFF de la configuration
    b.m.instruction();
    EXPECT_EQ(b.memoire.read_byte(0x1004), 0x5A);
    EXPECT_EQ(b.ports[1].valeur(), 0xFF);
    b.m.sorties_ports();
    EXPECT_EQ(b.ports[1].valeur(), 0x5A);
}

// Ce que la boucle de la fenetre fait entre deux instructions, sur les deux bancs.
void evenement(banc_moteur& b, std::mt19937& alea, bool rapide) {
    switch (alea() % 40) {
    case 0: { // clic : la chaine s'arrete au port qui le prend
        int const p = static_cast<int>(alea() % nb_ports);
        int const n = static_cast<int>(alea() % 8);
        for (int q = 0; q < nb_ports; ++q) {
            bool const pris = q == p && b.ports[q].bascule_entree(n);
            b.ports[q].reecrit_valeur();
            if (pris) {
                break;
            }
        }
        break;
    }
    case 1: // edition memoire d'un registre de port (DDR compris), puis la chaine
        b.memoire.write_byte(static_cast<unsigned short>(0x1000 + alea() % 11),
                             static_cast<unsigned char>(alea()));
        for (registre_port& p : b.ports) {
            p.reecrit_valeur();
        }
        if (rapide) {
            b.m.memoire_touchee();
        }
        break;
    default:
        break;
    }
}

class equivalence : public ::testing::TestWithParam<cas_programme> {};

TEST_P(equivalence, la_mise_a_jour_sautee_egale_la_naive) {
    cas_programme const& c = GetParam();
    banc_moteur rapide, naif;
    rapide.pose_programme(c);
    naif.pose_programme(c);
    std::mt19937 alea_rapide(c.graine), alea_naif(c.graine);
    for (int pas = 1; pas <= 5000; ++pas) {
        evenement(rapide, alea_rapide, true);
        evenement(naif, alea_naif, false);
        rapide.m.pas();
        naif.pas_naif();
        bool const tout = pas % 500 == 0;
        ASSERT_EQ(rapide.etat_complet(tout), naif.etat_complet(tout))
            << c.nom << " " << c.graine << ", pas " << pas << " : " << naif.etat();
    }
}

INSTANTIATE_TEST_SUITE_P(programmes, equivalence, ::testing::ValuesIn(programmes), nom_cas);

} // namespace
