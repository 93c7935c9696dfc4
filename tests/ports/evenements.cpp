// Les deux sens d'un port : clics de l'utilisateur (react_in) et octet ecrit par
// le programme (react_out), avec le registre de valeur toujours recale en memoire.
#include <bitset>

#include "banc_ports.h"

namespace {

std::string binaire(unsigned v) {
    return std::bitset<8>(v).to_string();
}

unsigned char direction_attendue(reglage_port const& r, unsigned char ddr) {
    bool avec_direction = r.nom_direction[0] != '\0';
    return ((avec_direction ? ddr : 0) | r.forc_sortie) & ~r.forc_entree;
}

} // namespace

// Chaque bit clique deux fois : seul un bit d'entree bascule, et le registre
// suit valeur a chaque clic, reclame ou non.
TEST_F(BancPorts, ClicsBasculentLesSeulsBitsDEntree) {
    configure_tout();
    for (int p = 0; p < nb_ports; ++p) {
        reglage_port const& r = reglages[p];
        unsigned char entrees = ~direction_attendue(r, 0);
        EXPECT_EQ(texte(p, rang_valeur), "00") << r.nom;
        unsigned valeur = 0;
        for (int tour = 0; tour < 2; ++tour) {
            for (int n = 7; n >= 0; --n) {
                bool entree = (entrees >> n) & 1;
                EXPECT_EQ(ports[p].react_in(clic(bouton(p, n))), entree ? 1 : 0)
                    << r.nom << " bit " << n;
                if (entree) {
                    valeur ^= 1u << n;
                }
                EXPECT_EQ(memoire->read_byte(r.adresse), valeur) << r.nom << " bit " << n;
                EXPECT_EQ(texte(p, rang_valeur), binaire(valeur)) << r.nom << " bit " << n;
            }
            EXPECT_EQ(valeur, tour == 0 ? entrees : 0u) << r.nom;
        }
        EXPECT_EQ(direction_affichee(p), direction_attendue(r, 0)) << r.nom;
    }
    Fl::check();
}

TEST_F(BancPorts, ClicsSurLePortA) {
    configure_tout();
    EXPECT_EQ(ports[A].react_in(clic(bouton(A, 7))), 1);
    EXPECT_EQ(texte(A, rang_valeur), "10000000");
    EXPECT_EQ(memoire->read_byte(0x1000), 0x80);
    EXPECT_EQ(ports[A].react_in(clic(bouton(A, 5))), 0);
    EXPECT_EQ(memoire->read_byte(0x1000), 0x80);
}

// Un evenement qui n'est pas un bit du port ne rend rien, mais le port reecrit
// quand meme tout son registre de valeur ; le registre de direction, jamais.
TEST_F(BancPorts, EvenementEtrangerReecritLeRegistre) {
    configure_tout();
    memoire->write_byte(0x1007, 0x0F);
    for (int p = 0; p < nb_ports; ++p) {
        reglage_port const& r = reglages[p];
        Fl_Widget* etrangers[] = {fenetre->B_STEP, fenetre->VALID_MEM, nullptr,
                                  bouton((p + 1) % nb_ports, 0)};
        for (Fl_Widget* w : etrangers) {
            memoire->write_byte(r.adresse, 0x42);
            EXPECT_EQ(ports[p].react_in(w), 0) << r.nom;
            EXPECT_EQ(memoire->read_byte(r.adresse), 0x00) << r.nom;
            EXPECT_EQ(texte(p, rang_valeur), "00000000") << r.nom;
        }
    }
    EXPECT_EQ(memoire->read_byte(0x1007), 0x0F);
    EXPECT_EQ(memoire->read_byte(0x1009), 0x00);
}

// Apres react_out, une direction ecrite en memoire sans instruction (commande
// d'edition) ne compte qu'au react_out suivant : jusque-la les clics basculent.
TEST_F(BancPorts, DdrPrisEnCompteAuReactOutSeulement) {
    configure_tout();
    memoire->write_byte(0x1007, 0x0F);
    EXPECT_EQ(ports[C].react_in(clic(bouton(C, 0))), 1);
    EXPECT_EQ(ports[C].react_in(clic(bouton(C, 3))), 1);
    EXPECT_EQ(memoire->read_byte(0x1003), 0x09);
    EXPECT_EQ(direction_affichee(C), 0x00);
    EXPECT_EQ(texte(C, rang_direction), "00000000");

    ports[C].react_out();
    EXPECT_EQ(direction_affichee(C), 0x0F);
    EXPECT_EQ(texte(C, rang_direction), "00001111");
    EXPECT_EQ(memoire->read_byte(0x1003), 0x09);
    EXPECT_EQ(ports[C].react_in(clic(bouton(C, 0))), 0);
    EXPECT_EQ(ports[C].react_in(clic(bouton(C, 4))), 1);
    EXPECT_EQ(memoire->read_byte(0x1003), 0x19);
    EXPECT_EQ(memoire->read_byte(0x1007), 0x0F);

    // Et retour : remis a 0, le DDR rend les bits a l'utilisateur au react_out suivant.
    memoire->write_byte(0x1007, 0x00);
    EXPECT_EQ(ports[C].react_in(clic(bouton(C, 1))), 0);
    ports[C].react_out();
    EXPECT_EQ(direction_affichee(C), 0x00);
    EXPECT_EQ(ports[C].react_in(clic(bouton(C, 1))), 1);
    EXPECT_EQ(memoire->read_byte(0x1003), 0x1B);
}

// Le premier react_out apres la configuration lit 0xFF au registre : les bits de
// sortie y passent tous a 1.
TEST_F(BancPorts, PremierReactOutLitFF) {
    configure_tout();
    for (int p = 0; p < nb_ports; ++p) {
        reglage_port const& r = reglages[p];
        ports[p].react_out();
        unsigned char attendu = direction_attendue(r, 0);
        EXPECT_EQ(memoire->read_byte(r.adresse), attendu) << r.nom;
        EXPECT_EQ(texte(p, rang_valeur), binaire(attendu)) << r.nom;
    }
}

namespace {

struct cas_fusion {
    int p;
    unsigned char ddr;   // ecrit au registre de direction, s'il y en a un
    unsigned char clics; // bits cliques avant (tous en entree a ce moment)
    unsigned char ecrit; // ecrit par le programme au registre de valeur
    unsigned char attendu;
};

class FusionSorties : public BancPorts, public ::testing::WithParamInterface<cas_fusion> {};

} // namespace

// Les bits de sortie prennent l'octet ecrit, les bits d'entree gardent les clics.
TEST_P(FusionSorties, ReactOutFusionneProgrammeEtUtilisateur) {
    cas_fusion const& c = GetParam();
    reglage_port const& r = reglages[c.p];
    configure_tout();
    for (int n = 0; n < 8; ++n) {
        if ((c.clics >> n) & 1) {
            ASSERT_EQ(ports[c.p].react_in(clic(bouton(c.p, n))), 1) << "bit " << n;
        }
    }
    if (r.nom_direction[0] != '\0') {
        memoire->write_byte(r.adresse_direction, c.ddr);
    }
    memoire->write_byte(r.adresse, c.ecrit);
    ports[c.p].react_out();

    EXPECT_EQ(memoire->read_byte(r.adresse), c.attendu);
    EXPECT_EQ(texte(c.p, rang_valeur), binaire(c.attendu));
    EXPECT_EQ(direction_affichee(c.p), direction_attendue(r, c.ddr));
    Fl::check();
}

INSTANTIATE_TEST_SUITE_P(
    Ports, FusionSorties,
    ::testing::Values(
        // DDRC 0x0F et 0xFF ecrit : bits 3-0 a 1, bits 7-4 ceux de l'utilisateur.
        cas_fusion{C, 0x0F, 0xA0, 0xFF, 0xAF}, cas_fusion{C, 0x0F, 0xA0, 0x00, 0xA0},
        cas_fusion{C, 0x0F, 0xA5, 0x5A, 0xAA}, cas_fusion{D, 0xF0, 0x0F, 0x3C, 0x3F},
        cas_fusion{D, 0x00, 0x81, 0x7E, 0x81}, cas_fusion{A, 0, 0x8F, 0x00, 0x8F},
        cas_fusion{A, 0, 0x81, 0x20, 0xA1}, cas_fusion{B, 0, 0x00, 0x3C, 0x3C},
        cas_fusion{E, 0, 0x81, 0x7E, 0x81}),
    [](auto const& info) {
        return "port_" + std::string(1, static_cast<char>('A' + info.param.p)) + "_" +
               std::to_string(info.index);
    });
