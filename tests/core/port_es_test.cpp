// Logique d'un port sans dessin : configuration, clics sur les bits, fusion des
// sorties du programme avec les entrees de l'utilisateur.
#include <gtest/gtest.h>

#include "simulateur/port_es.h"

namespace {

enum { A, B, C, D, E, double_masque };

// Bits 3-0 forces en sortie, bits 1-0 aussi en entree : ces derniers restent entrees.
constexpr description_port port_double_masque = {0x2000, true, 0x2001, 0x0F, 0x03};

struct cas_port {
    char const* nom;
    int port;
    int ddr;             // ecrit a l'adresse de direction, meme sans DDR (-1 : rien)
    unsigned char clics; // bits cliques, puis valeur reecrite (0 : aucun evenement)
    int ecrit;           // ecrit par le programme au registre de valeur (-1 : rien)
    bool prend;          // prend_sorties a la fin, comme apres une instruction
    unsigned char acceptes, direction, valeur, registre;
};

cas_port const cas_ports[] = {
    {"A au depart", A, -1, 0, -1, false, 0, 0x70, 0x00, 0xFF},
    {"C au depart : DDRC a 0", C, -1, 0, -1, false, 0, 0x00, 0x00, 0xFF},
    {"A bit 7 bascule", A, -1, 0x80, -1, false, 0x80, 0x70, 0x80, 0x80},
    {"A bit 5 est une sortie", A, -1, 0x20, -1, false, 0x00, 0x70, 0x00, 0x00},
    {"B : aucun bit ne bascule", B, -1, 0xFF, -1, false, 0x00, 0xFF, 0x00, 0x00},
    {"E : chaque bit bascule", E, -1, 0xFF, -1, false, 0xFF, 0x00, 0xFF, 0xFF},
    {"premiere sortie lit 0xFF", A, -1, 0, -1, true, 0, 0x70, 0x70, 0x70},
    {"DDRC tape : clics encore pris", C, 0x0F, 0x0F, -1, false, 0x0F, 0x00, 0x0F, 0x0F},
    {"DDRC 0x0F, 0xFF ecrit", C, 0x0F, 0xA0, 0xFF, true, 0xA0, 0x0F, 0xAF, 0xAF},
    {"DDRC 0x0F, 0x5A ecrit", C, 0x0F, 0xA5, 0x5A, true, 0xA5, 0x0F, 0xAA, 0xAA},
    {"DDRD 0xF0, 0x3C ecrit", D, 0xF0, 0x0F, 0x3C, true, 0x0F, 0xF0, 0x3F, 0x3F},
    {"entrees : ecriture ignoree", C, 0x00, 0x81, 0x42, true, 0x81, 0x00, 0x81, 0x81},
    {"A : sorties et clics", A, -1, 0x81, 0x20, true, 0x81, 0x70, 0xA1, 0xA1},
    {"sans DDR, l'adresse 0 n'est pas lue", A, 0xFF, 0, -1, true, 0, 0x70, 0x70, 0x70},
    {"bit force des deux cotes : entree", double_masque, 0x30, 0x01, -1, true, 0x01, 0x3C, 0x01,
     0x01},
};

class port : public ::testing::TestWithParam<cas_port> {};

TEST_P(port, suit_ses_registres) {
    cas_port const& c = GetParam();
    SCOPED_TRACE(c.nom);
    mem_64k memoire;
    registre_port r;
    description_port const& d =
        c.port == double_masque ? port_double_masque : ports_machine[c.port];
    memoire.write_byte(d.adresse_valeur, 0x00); // memoire chargee avant la configuration
    r.configure(d, &memoire);
    if (c.ddr >= 0) {
        memoire.write_byte(d.adresse_direction, static_cast<unsigned char>(c.ddr));
    }
    unsigned char acceptes = 0;
    if (c.clics != 0) {
        for (int n = 0; n < 8; ++n) {
            if (((c.clics >> n) & 1) && r.bascule_entree(n)) {
                acceptes |= 1 << n;
            }
        }
        r.reecrit_valeur();
    }
    if (c.ecrit >= 0) {
        memoire.write_byte(d.adresse_valeur, static_cast<unsigned char>(c.ecrit));
    }
    if (c.prend) {
        r.prend_sorties();
    }
    EXPECT_EQ(acceptes, c.acceptes);
    EXPECT_EQ(r.direction(), c.direction);
    EXPECT_EQ(r.valeur(), c.valeur);
    EXPECT_EQ(memoire.read_byte(d.adresse_valeur), c.registre);
    // Le port n'ecrit son registre de direction qu'a la configuration.
    EXPECT_EQ(memoire.read_byte(d.adresse_direction), c.ddr >= 0      ? c.ddr
                                                      : d.a_direction ? d.forc_sortie
                                                                      : 0xFF);
}

INSTANTIATE_TEST_SUITE_P(cas, port, ::testing::ValuesIn(cas_ports),
                         [](auto const& info) { return "cas" + std::to_string(info.index); });

TEST(port_bits, hors_des_huit_bits_rien_ne_bascule) {
    mem_64k memoire;
    registre_port r;
    r.configure(ports_machine[E], &memoire);
    EXPECT_FALSE(r.bascule_entree(8));
    EXPECT_FALSE(r.bascule_entree(-1));
    EXPECT_EQ(r.valeur(), 0);
}

} // namespace
