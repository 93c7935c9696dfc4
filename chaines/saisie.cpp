// Lecture d'un nombre tape : une passe sur le texte, valeur bornee au plafond
// pour qu'aucune suite de chiffres ne deborde.
#include "chaines/saisie.h"

#include "chaines/chaines.h"

namespace {

bool est_blanc(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

nombre_tape lit_nombre_tape(std::string const& texte) {
    std::string::size_type debut = 0;
    std::string::size_type fin = texte.size();
    while (debut < fin && est_blanc(texte[debut])) {
        ++debut;
    }
    while (fin > debut && est_blanc(texte[fin - 1])) {
        --fin;
    }
    if (debut == fin) {
        return {true, 0};
    }
    int base = 10;
    bool negatif = false;
    if (texte[debut] == '$') {
        base = 16;
        ++debut;
    } else if (texte[debut] == '-') {
        negatif = true;
        ++debut;
    }
    if (debut == fin) {
        return {false, 0};
    }
    long long valeur = 0;
    for (std::string::size_type i = debut; i < fin; ++i) {
        int const v = valeur_chiffre(texte[i], base);
        if (v < 0) {
            return {false, 0};
        }
        valeur = valeur < plafond_saisie ? valeur * base + v : plafond_saisie;
    }
    valeur = valeur < plafond_saisie ? valeur : plafond_saisie;
    return {true, negatif ? -valeur : valeur};
}
