// Les zones d'une ligne pour colorer un editeur : chaque morceau reconnu par le
// decoupage et la grammaire de l'assembleur, une lettre par octet.
#include <gtest/gtest.h>

#include <string>

#include "assembleur/assembleur.h"

namespace {

// M mnemonique, D directive, E etiquette, N nombre, S chaine, C commentaire,
// F faute ; blanc : texte ordinaire.
std::string lettres(std::string const& ligne) {
    std::string l(ligne.size(), ' ');
    for (zone_ligne const& z : zones_ligne(ligne)) {
        for (int i = z.colonne - 1; i < z.colonne_fin - 1; ++i) {
            l[static_cast<std::size_t>(i)] = "MDENSCF"[z.sorte];
        }
    }
    return l;
}

TEST(ZonesLigne, ChaqueMorceauALaSorteQueLAssembleurLuiDonne) {
    struct cas {
        char const* ligne;
        char const* zones;
    };
    cas const table[] = {
        {"boucle: PUSHI $1f ; x", "EEEEEE  MMMMM NNN CCC"},
        {"N = 'A' + 2", "E   NNN   N"},
        {"  .octet \"a;b\", 0", "  DDDDDD SSSSS  N"},
        {"  PUSHX 1", "        N"},   // mnemonique inconnu : texte ordinaire
        {"  pop fin;", "  MMM    C"}, // casse des mnemoniques ignoree
        {"  BT * ; fin", "  MM   CCCCC"},
        {"  PUSHI 9z ; x", "  MMMMM FFFFFF"}, // faute de lexique : jusqu'au bout
        {"; seul", "CCCCCC"},
        {"", ""},
    };
    for (cas const& c : table) {
        EXPECT_EQ(lettres(c.ligne), c.zones) << c.ligne;
    }
}

} // namespace
