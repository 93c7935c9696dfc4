// Les ports dans la boucle : chaine des ports pour chaque widget pris dans la
// file, react_out apres chaque STEP, registres a 0xFF avant le premier evenement.
#include <string>
#include <vector>

#include "banc.h"

namespace {

using chaine_des_ports = banc;

constexpr unsigned short registres[] = {0x1000, 0x1004, 0x1003, 0x1008, 0x100A}; // A B C D E

// Un clic sur un bit d'entree arrete la chaine au port qui le prend : les ports
// d'avant reecrivent leur registre, ceux d'apres ne sont pas appeles.
TEST_F(chaine_des_ports, un_clic_s_arrete_au_port_qui_le_prend) {
    struct cas {
        char const* nom;
        int x, y;                  // bouton du bit
        int port;                  // indice dans registres, -1 : aucun port ne le prend
        unsigned char valeur_port; // registre du port qui prend le clic
        char const* dump;          // premiere ligne du dump, montree depuis 0x1000
    };
    cas const table[] = {
        {"Port A bit 7", 40, 240, 0, 0x80, "1000 80 ff ff 77 77 ff ff  0"},
        {"Port C bit 0", 290, 240, 2, 0x01, "1000  0 ff ff  1  0 ff ff  0"},
        {"Port E bit 3", 80, 310, 4, 0x08, "1000  0 ff ff  0  0 ff ff  0"},
        {"Port A bit 5 (sortie)", 60, 240, -1, 0, nullptr},
    };
    for (auto const& c : table) {
        SCOPED_TRACE(c.nom);
        for (unsigned short r : registres) {
            mem->write_byte(r, 0x77); // marque : un port appele la remplace
        }
        f->DUMP_SLIDE->value(0x1000);
        std::string const dump_avant = libelle(f->DUMP01);
        Fl_Widget* bit = widget_en(f->SIM, c.x, c.y, 10, 10);
        ASSERT_NE(bit, nullptr);
        clique(bit);
        for (int p = 0; p < 5; ++p) {
            unsigned char const lu = mem->read_byte(registres[p]);
            if (c.port >= 0 && p > c.port) {
                EXPECT_EQ(lu, 0x77) << "port " << p << " appele apres celui qui a pris le clic";
            } else if (p == c.port) {
                EXPECT_EQ(lu, c.valeur_port);
            } else {
                EXPECT_EQ(lu, 0x00) << "port " << p << " n'a pas reecrit son registre";
            }
        }
        if (c.dump != nullptr) {
            EXPECT_STREQ(libelle(f->DUMP01), c.dump);
        } else {
            EXPECT_EQ(libelle(f->DUMP01), dump_avant) << "aucun port n'a pris le clic";
        }
        // Remet le bit (et le dump) pour la ligne suivante.
        if (c.port >= 0) {
            clique(bit);
        }
        f->DUMP_SLIDE->value(0);
        clique(f->DUMP_SLIDE);
    }
}

TEST_F(chaine_des_ports, octet_tape_dans_un_registre_de_port_remplace_aussitot) {
    f->DUMP_SLIDE->value(0x1000);
    tape_memoire("$1004", "$55", "1");
    EXPECT_EQ(mem->read_byte(0x1004), 0x00); // la valeur du port B
    EXPECT_STREQ(libelle(f->DUMP01), "1000  0 ff ff  0  0 ff ff  0");
    // Un registre de direction n'est jamais reecrit par un port.
    tape_memoire("$1007", "$0f", "1");
    EXPECT_EQ(mem->read_byte(0x1007), 0x0F);
}

// Avant tout evenement, chaque registre de valeur vaut 0xFF (configuration) :
// la premiere instruction le lit tel quel.
class premiere_instruction : public banc, public ::testing::WithParamInterface<unsigned short> {};

TEST_P(premiere_instruction, lit_ff_dans_le_registre) {
    unsigned short const r = GetParam();
    mem->write_byte(0, 0x00); // PUSH r, pose sans passer par un evenement
    mem->write_byte(1, static_cast<unsigned char>(r >> 8));
    mem->write_byte(2, static_cast<unsigned char>(r));
    clique(f->B_STEP);
    EXPECT_EQ(cpu->pile(0), -1);
    EXPECT_STREQ(libelle(f->PILE00), "-1 ");
}

INSTANTIATE_TEST_SUITE_P(ports, premiere_instruction,
                         ::testing::Values(0x1000, 0x1003, 0x1004, 0x1008, 0x100A),
                         [](auto const& info) {
                             std::string nom = "registre_";
                             for (int decalage = 12; decalage >= 0; decalage -= 4) {
                                 nom += "0123456789abcdef"[(info.param >> decalage) & 0xF];
                             }
                             return nom;
                         });

TEST_F(chaine_des_ports, apres_un_evenement_le_registre_porte_la_valeur_du_port) {
    mem->write_byte(0, 0x00); // PUSH $100a
    mem->write_byte(1, 0x10);
    mem->write_byte(2, 0x0A);
    clique(f->B_PLAY);
    clique(f->B_STEP);
    EXPECT_STREQ(libelle(f->PILE00), "0 ");
}

// Apres chaque STEP, les bits de sortie prennent ce que le programme a ecrit.
TEST_F(chaine_des_ports, step_laisse_les_ports_prendre_leurs_sorties) {
    tape_programme(0, {0x01, 0x5A, 0x02, 0x10, 0x04}); // PUSHI $5a ; POP $1004
    clique(f->B_STEP);
    clique(f->B_STEP);
    EXPECT_EQ(mem->read_byte(0x1004), 0x5A);
    Fl_Widget* valeur_b = widget_en(f->SIM, 130, 220, 80, 20);
    ASSERT_NE(valeur_b, nullptr);
    EXPECT_STREQ(libelle(valeur_b), "01011010");
}

} // namespace
