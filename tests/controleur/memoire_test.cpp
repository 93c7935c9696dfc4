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
        {"$fffe", "$ff", "3", {{0xFFFE, 0xFF}, {0xFFFF, 0xFF}, {0x0000, 0xFF}}, 0x0001},
        {"-1", "7", "2", {{0xFFFF, 7}, {0x0000, 7}}, 0x0001},
        {"$100", "-128", "1", {{0x100, 0x80}}, 0x101},
        {"", "5", "1", {{0x0000, 5}}, 0x0001},
        {"$ABCD", "$Ef", "$2", {{0xABCD, 0xEF}, {0xABCE, 0xEF}}, 0xABCF},
        // Les formes du source, comme Ctrl+G et les commandes les lisent.
        {"0x30", "'A'", "+2", {{0x30, 65}, {0x31, 65}}, 0x32},
        {"%1000000", "+5", "1", {{0x40, 5}}, 0x41},
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
        {"-4294967295", 0x0B, "   0  b ff ff ff ff ff ff ff", "-> 0 MULT"},
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
    for (char const* compte : {"4294967297", "100000"}) {
        tape_memoire("$8000", "0", compte);
        for (unsigned a = 0; a < 0x10000; ++a) {
            ASSERT_EQ(mem->read_byte(static_cast<unsigned short>(a)), 0) << compte << ", " << a;
        }
    }
}

// Un champ qui n'est pas un nombre, ou hors de ses limites, n'ecrit rien et le
// dit dans une alerte en francais qui nomme le champ.
TEST_F(edition_memoire, refuse_un_champ_qui_n_est_pas_un_nombre) {
    struct refus {
        char const* adresse;
        char const* valeur;
        char const* multiplicateur;
        char const* champ;
        char const* raison = "n'est pas un nombre.";
    };
    std::vector<refus> table = {
        {"1a", "1", "1", "adresse"},  {"12$34", "1", "1", "adresse"}, {"$", "1", "1", "adresse"},
        {"-", "1", "1", "adresse"},   {"0x", "1", "1", "adresse"},    {"$1 0", "1", "1", "adresse"},
        {"1", "'AB'", "1", "valeur"}, {"1", "$1g", "1", "valeur"},    {"1", "--1", "1", "valeur"},
        {"1", "5", "3 4", "x"},       {"1", "5", "x", "x"},           {"1", "5", "$-1", "x"},
    };
    for (char const* a : {"4294967297", "$10000", "-32769"}) {
        table.push_back({a, "1", "1", "adresse", "doit aller de -32768 à 65535 ($ffff)."});
    }
    for (char const* v : {"300", "-129", "99999999999999999999999"}) {
        table.push_back({"1", v, "1", "valeur", "doit aller de -128 à 255 ($ff)."});
    }
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
        EXPECT_TRUE(
            vus[0].contient(std::string("Erreur: le champ \"") + r.champ + "\" " + r.raison));
        EXPECT_TRUE(vus[0].contient("Rien n'a été écrit en mémoire."));
        EXPECT_TRUE(vus[0].contient("Fermer")) << "bouton de l'alerte en francais";
    }
}

} // namespace
