// Lecture d'un nombre que l'utilisateur tape hors des champs des registres : les
// champs de la memoire, « Aller à » (Ctrl+G) et les options des commandes. A la
// difference de Stoloruhex, qui lit tout texte sans rien dire, elle dit si le texte
// est un nombre et ne tronque jamais sa valeur.
#ifndef KARVELA_SAISIE_H
#define KARVELA_SAISIE_H

#include <string>

// Au-dela, la valeur rendue est bornee a +/- plafond_saisie : bien plus que ce
// qu'accepte un champ, elle reste hors de ses limites.
constexpr long long plafond_saisie = 1LL << 40;

struct nombre_tape {
    bool est_nombre;
    long long valeur;  // 0 si ce n'est pas un nombre
    bool vide = false; // rien que des blancs : un nombre, 0, pour un champ de la memoire
};

// Les formes du source (12, -3, +5, $1f, 0x1f, %0101, 'A'), blancs et tabulations
// de tete et de queue ignores ; vide : 0.
nombre_tape lit_nombre_tape(std::string const& texte);

#endif
