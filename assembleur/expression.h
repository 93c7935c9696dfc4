// Expressions du source : des termes (nombre, symbole ou '*') joints par '+' et
// '-', chaque terme pouvant porter son propre signe. Lues une fois, evaluees plus
// tard : au premier passage pour .org et les constantes (noms deja definis
// seulement), au second pour tout le reste.
#ifndef KARVELA_ASSEMBLEUR_EXPRESSION_H
#define KARVELA_ASSEMBLEUR_EXPRESSION_H

#include <functional>
#include <string>
#include <vector>

#include "assembleur/lexique.h"

struct terme {
    enum sorte_terme { nombre, symbole, etoile } sorte;
    bool negatif;
    long long valeur; // nombre
    std::string nom;  // symbole
    int colonne;
};

struct expression {
    std::vector<terme> termes;
    int colonne = 0; // celle du premier jeton
};

// Lit une expression a partir de jetons[i] et avance i. Faux (et un diagnostic
// nommant ce qu'on attendait pour quoi) si aucun terme ne s'y trouve.
bool lit_expression(std::vector<jeton> const& jetons, std::size_t& i, int ligne,
                    std::string const& pour, expression& e, std::vector<diagnostic>& diagnostics);

// Valeur d'un symbole, faux s'il est inconnu a ce moment.
using cherche_symbole = std::function<bool(std::string const&, long long&)>;

// Valeur de e, l'adresse courante valant etoile. Faux apres un diagnostic par nom
// inconnu (message_inconnu le forme a partir du nom) ou sur une valeur demesuree.
bool evalue(expression const& e, long long etoile, cherche_symbole const& cherche,
            std::function<std::string(std::string const&)> const& message_inconnu, int ligne,
            long long& valeur, std::vector<diagnostic>& diagnostics);

#endif
