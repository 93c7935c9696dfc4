// Lecture d'un nombre tape : les formes sont celles de l'assembleur (lit_nombre),
// seule la valeur trop grande pour lui est bornee au plafond, pour qu'une longue
// suite de chiffres reste un nombre hors des limites du champ.
#include "chaines/saisie.h"

#include "assembleur/assembleur.h"
#include "chaines/chaines.h"

namespace {

// Un nombre bien forme que lit_nombre refuse parce qu'il passe 32 bits : signe,
// base, puis seulement des chiffres de cette base.
bool trop_grand(std::string const& t) {
    std::string::size_type i = t[0] == '-' || t[0] == '+' ? 1 : 0;
    int base = 10;
    if (t.compare(i, 1, "$") == 0) {
        base = 16;
        i += 1;
    } else if (t.compare(i, 2, "0x") == 0 || t.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    } else if (t.compare(i, 1, "%") == 0) {
        base = 2;
        i += 1;
    }
    if (i >= t.size()) {
        return false;
    }
    for (; i < t.size(); ++i) {
        if (valeur_chiffre(t[i], base) < 0) {
            return false;
        }
    }
    return true;
}

} // namespace

nombre_tape lit_nombre_tape(std::string const& texte) {
    std::string const t = sans_blancs(texte);
    if (t.empty()) {
        return {true, 0, true};
    }
    long lu = 0;
    if (lit_nombre(t, lu)) {
        return {true, lu};
    }
    if (trop_grand(t)) {
        return {true, t[0] == '-' ? -plafond_saisie : plafond_saisie};
    }
    return {false, 0};
}
