// Expressions du source : des termes (nombre, symbole ou '*') joints par '+' et
// '-', chaque terme pouvant porter son propre signe. Les termes sont rendus un a
// un, sans etre gardes : la lecture verifie la forme, le passage qui a besoin de
// la valeur relit la ligne et somme les termes au fil de l'eau.
#ifndef KARVELA_ASSEMBLEUR_EXPRESSION_H
#define KARVELA_ASSEMBLEUR_EXPRESSION_H

#include <functional>
#include <string>
#include <string_view>

#include "assembleur/lexique.h"

struct terme {
    enum sorte_terme { nombre, symbole, etoile } sorte;
    bool negatif;
    long long valeur;     // nombre
    std::string_view nom; // symbole, dans la ligne
    int colonne;
};

// Lit une expression a partir du prochain jeton de f, passe chaque terme a
// chaque_terme et rend dans colonne celle de son premier jeton. Faux (et un
// diagnostic nommant ce qu'on attendait pour quoi) s'il manque un terme.
bool lit_expression(flot_jetons& f, int ligne, std::string const& pour,
                    liste_diagnostics& diagnostics,
                    std::function<void(terme const&)> const& chaque_terme, int& colonne);

// Somme des termes d'une expression, bornee bien avant les limites de long long.
class somme_termes {
  public:
    // Valeur d'un symbole, faux s'il est inconnu a ce moment.
    using cherche_symbole = std::function<bool(std::string_view, long long&)>;
    // Message pour un nom inconnu.
    using message_inconnu = std::function<std::string(std::string_view)>;

    somme_termes(long long etoile, cherche_symbole c, message_inconnu m, int ligne,
                 liste_diagnostics& d);
    // Ajoute un terme ; un nom inconnu ou une somme demesuree donnent un diagnostic.
    void ajoute(terme const& t);
    // Faux apres un nom inconnu ou une somme demesuree (v alors inchange).
    bool valeur(long long& v) const;

  private:
    long long etoile;
    cherche_symbole cherche;
    message_inconnu message;
    int ligne;
    liste_diagnostics& diagnostics;
    long long somme = 0;
    bool connue = true;
    bool demesuree = false; // les termes suivants sont ignores
};

#endif
