// Commande d'edition memoire (VALID_MEM) : champs decimaux et hexadecimaux,
// repli apres 0xFFFF, compte vide ou nul, et refus des champs qui ne sont pas
// des nombres.
#include <string>
#include <utility>
#include <vector>

#include "banc.h"

namespace {

using edition_memoire = banc;

struct ecriture {
    char const* adresse;
    char const* valeur;
    char const* multiplicateur;
    std::vector<std::pair<unsigned short, unsigned char>> attendu; // cases ecrites
    unsigned short intacte;                                        // case voisine non ecrite
};

TEST_F(edition_memoire, ecrit_les_octets_demandes) {
    ecriture const table[] = {
        {"$10", "$2a", "2", {{0x10, 0x2A}, {0x11, 0x2A}}, 0x12},
        {"16", "42", "1", {{0x10, 42}}, 0x11},
        {"  $20 ", " -1", "\t3 ", {{0x20, 0xFF}, {0x21, 0xFF}, {0x22, 0xFF}}, 0x23},
        {"$fffe", "$1ff", "3", {{0xFFFE, 0xFF}, {0xFFFF, 0xFF}, {0x0000, 0xFF}}, 0x0001},
        {"-1", "7", "2", {{0xFFFF, 7}, {0x0000, 7}}, 0x0001},
        {"$100", "300", "1", {{0x100, 0x2C}}, 0x101},
        {"", "5", "1", {{0x0000, 5}}, 0x0001},
        {"$ABCD", "$Ef", "$2", {{0xABCD, 0xEF}, {0xABCE, 0xEF}}, 0xABCF},
    };
    for (auto const& e : table) {
        SCOPED_TRACE(std::string(e.adresse) + " / " + e.valeur + " / " + e.multiplicateur);
        // Un fond a 0 pour voir aussi les ecritures de 0xFF.
        for (auto const& [a, v] : e.attendu) {
            (void)v;
            mem->write_byte(a, 0);
        }
        mem->write_byte(e.intacte, 0x99);
        tape_memoire(e.adresse, e.valeur, e.multiplicateur);
        for (auto const& [a, v] : e.attendu) {
            EXPECT_EQ(mem->read_byte(a), v) << "adresse " << a;
        }
        EXPECT_EQ(mem->read_byte(e.intacte), 0x99);
    }
    EXPECT_TRUE(prend_dialogues().empty());
}

TEST_F(edition_memoire, compte_vide_ou_negatif_n_ecrit_rien_mais_redessine) {
    struct cas {
        char const* compte;
        unsigned char octet; // pose hors commande : seul un nouveau dessin le montre
        char const* dump;
        char const* desa;
    };
    cas const table[] = {
        {"", 0x08, "   0  8 ff ff ff ff ff ff ff", "-> 0 ADD"},
        {"0", 0x09, "   0  9 ff ff ff ff ff ff ff", "-> 0 SUB"},
        {"-2", 0x0A, "   0  a ff ff ff ff ff ff ff", "-> 0 NEG"},
    };
    for (auto const& c : table) {
        SCOPED_TRACE(std::string("compte \"") + c.compte + "\"");
        mem->write_byte(0x0000, c.octet);
        tape_memoire("$0", "$55", c.compte);
        EXPECT_EQ(mem->read_byte(0x0000), c.octet);
        EXPECT_STREQ(libelle(f->DUMP01), c.dump);
        EXPECT_STREQ(libelle(f->DESA01), c.desa);
    }
}

TEST_F(edition_memoire, grand_compte_remplit_toute_la_memoire) {
    tape_memoire("$8000", "0", "100000");
    for (unsigned a = 0; a < 0x10000; ++a) {
        ASSERT_EQ(mem->read_byte(static_cast<unsigned short>(a)), 0) << "adresse " << a;
    }
}

// Un champ qui n'est pas un nombre n'ecrit rien et le dit dans une alerte en
// francais qui nomme le champ.
TEST_F(edition_memoire, refuse_un_champ_qui_n_est_pas_un_nombre) {
    struct refus {
        char const* adresse;
        char const* valeur;
        char const* multiplicateur;
        char const* champ;
    };
    refus const table[] = {
        {"1a", "1", "1", "adresse"}, {"12$34", "1", "1", "adresse"}, {"$", "1", "1", "adresse"},
        {"-", "1", "1", "adresse"},  {"0x10", "1", "1", "adresse"},  {"$1 0", "1", "1", "adresse"},
        {"1", "+5", "1", "valeur"},  {"1", "$1g", "1", "valeur"},    {"1", "--1", "1", "valeur"},
        {"1", "5", "3 4", "x"},      {"1", "5", "x", "x"},           {"1", "5", "$-1", "x"},
    };
    clique(f->B_PLAY); // les ports ont pose leurs registres
    std::vector<unsigned char> avant(0x10000);
    for (unsigned a = 0; a < 0x10000; ++a) {
        avant[a] = mem->read_byte(static_cast<unsigned short>(a));
    }
    for (auto const& r : table) {
        SCOPED_TRACE(std::string(r.adresse) + " / " + r.valeur + " / " + r.multiplicateur);
        tape_memoire(r.adresse, r.valeur, r.multiplicateur);
        for (unsigned a = 0; a < 0x10000; ++a) {
            ASSERT_EQ(mem->read_byte(static_cast<unsigned short>(a)), avant[a]) << "adresse " << a;
        }
        auto const vus = prend_dialogues();
        ASSERT_EQ(vus.size(), 1u) << vus;
        EXPECT_TRUE(vus[0].contient(std::string("Erreur: le champ \"") + r.champ +
                                    "\" n'est pas un nombre."));
        EXPECT_TRUE(vus[0].contient("Rien n'a été écrit en mémoire."));
        EXPECT_TRUE(vus[0].contient("Fermer")) << "bouton de l'alerte en francais";
    }
}

} // namespace
