// Liste bornee des diagnostics d'un assemblage. Un source hostile peut donner
// une erreur par ligne, des millions : on ne garde que les erreurs_max premieres
// dans l'ordre du source, puis une derniere ligne "trop d'erreurs". Les
// diagnostics arrivent dans le desordre (lecture, premier puis second passage) :
// la liste se trie et se coupe de temps en temps, sa taille reste bornee.
#ifndef KARVELA_ASSEMBLEUR_DIAGNOSTICS_H
#define KARVELA_ASSEMBLEUR_DIAGNOSTICS_H

#include <string>
#include <vector>

#include "assembleur/assembleur.h"

class liste_diagnostics {
  public:
    // Faux si un diagnostic en (ligne, colonne) serait coupe : inutile de former son message.
    bool garde(int ligne, int colonne) const;
    void ajoute(bool erreur, int ligne, int colonne, std::string message);
    bool erreur_vue() const { return erreurs_vues; } // meme coupee
    // Tries par ligne puis colonne, coupes apres erreurs_max erreurs.
    std::vector<diagnostic> termine();

  private:
    void trie_et_coupe();

    std::vector<diagnostic> liste;
    std::size_t erreurs = 0; // dans liste
    bool erreurs_vues = false;
    bool coupee = false;              // une erreur de trop est dans la liste
    diagnostic borne{true, 0, 0, ""}; // place de cette erreur : rien ne sera garde au-dela
};

#endif
