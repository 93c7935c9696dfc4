// Lecture d'un nombre que l'utilisateur tape dans un champ de saisie. A la
// difference de Stoloruhex, qui lit tout texte sans rien dire, elle dit si le
// texte est un nombre et ne tronque jamais sa valeur.
#ifndef KARVELA_SAISIE_H
#define KARVELA_SAISIE_H

#include <string>

// Au-dela, la valeur rendue est bornee a +/- plafond_saisie : bien plus que ce
// qu'accepte un champ, elle reste hors de ses limites.
constexpr long long plafond_saisie = 1LL << 40;

struct nombre_tape {
    bool est_nombre;
    long long valeur; // 0 si ce n'est pas un nombre
};

// Vide (0), decimal avec un "-" facultatif, ou "$" suivi d'au moins un chiffre
// hexadecimal ; blancs et tabulations de tete et de queue ignores.
nombre_tape lit_nombre_tape(std::string const& texte);

#endif
