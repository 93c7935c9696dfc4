// Decoupage d'une ligne de source en jetons, chacun avec sa colonne (comptee de 1,
// en octets). Un ';' hors chaine clot la ligne. Les nombres sont lus ici sous
// toutes leurs formes : decimal, $1f, 0x1f, %0101, 'A'.
#ifndef KARVELA_ASSEMBLEUR_LEXIQUE_H
#define KARVELA_ASSEMBLEUR_LEXIQUE_H

#include <string>
#include <vector>

#include "assembleur/assembleur.h"

enum class sorte_jeton {
    nom,       // lettres, chiffres et '_', sans chiffre en tete
    directive, // '.' suivi d'un nom : texte garde le point
    nombre,    // valeur dans valeur
    chaine,    // octets entre guillemets, echappements resolus, dans texte
    etoile,    // adresse de l'instruction courante
    plus,
    moins,
    virgule,
    deux_points,
    egal,
};

struct jeton {
    sorte_jeton sorte;
    std::string texte; // tel qu'ecrit (nom, directive, nombre) ou octets de la chaine
    long long valeur;  // nombre seulement
    int colonne;
    int colonne_fin; // celle qui suit le jeton
};

// Jetons d'une ligne sans sa fin de ligne. Faux a la premiere faute, signalee dans
// diagnostics : jetons garde alors ceux qui la precedent.
bool decoupe_ligne(std::string const& ligne, int numero, std::vector<jeton>& jetons,
                   std::vector<diagnostic>& diagnostics);

// Texte d'un jeton pour un message : « PUSHX », « , », « "abc" ».
std::string cite(jeton const& j);

// Ajoute une erreur (ou, si erreur est faux, un avertissement).
void signale(std::vector<diagnostic>& diagnostics, int ligne, int colonne,
             std::string const& message, bool erreur = true);

#endif
