// Decoupage d'une ligne de source en jetons, chacun avec sa colonne (comptee de 1,
// en octets). Un ';' hors chaine clot la ligne. Les nombres sont lus ici sous
// toutes leurs formes : decimal, $1f, 0x1f, %0101, 'A'. Les jetons se lisent un a
// un, sans copie : une ligne de millions de valeurs ne coute pas un jeton en
// memoire par valeur.
#ifndef KARVELA_ASSEMBLEUR_LEXIQUE_H
#define KARVELA_ASSEMBLEUR_LEXIQUE_H

#include <string>
#include <string_view>

#include "assembleur/diagnostics.h"

enum class sorte_jeton {
    nom,       // lettres, chiffres et '_', sans chiffre en tete
    directive, // '.' suivi d'un nom : texte garde le point
    nombre,    // valeur dans valeur
    chaine,    // entre guillemets ; texte sans eux, echappements non resolus
    etoile,    // adresse de l'instruction courante
    plus,
    moins,
    virgule,
    deux_points,
    egal,
};

struct jeton {
    sorte_jeton sorte;
    std::string_view texte; // dans la ligne lue
    long long valeur;       // nombre ; pour une chaine, son nombre d'octets
    int colonne;
    int colonne_fin; // celle qui suit le jeton
};

// Les jetons d'une ligne (sans sa fin de ligne), lus a la demande.
class flot_jetons {
  public:
    explicit flot_jetons(std::string_view ligne, std::size_t debut = 0);
    // Le prochain jeton (k = 0) ou celui d'apres (k = 1) ; nullptr au bout de la
    // ligne ou sur une faute de lexique.
    jeton const* regarde(std::size_t k = 0);
    void avance();
    // Colonne qui suit le dernier jeton pris (1 s'il n'y en a pas).
    int colonne_fin() const { return fin_pris; }
    // La faute qui a arrete la lecture, message vide s'il n'y en a pas.
    std::string const& faute() const { return message_faute; }
    int colonne_faute() const { return colonne_de_faute; }

  private:
    bool lit(jeton& j);

    std::string_view ligne;
    std::size_t position;
    jeton tampon[2];
    std::size_t en_tampon = 0;
    int fin_pris = 1;
    std::string message_faute;
    int colonne_de_faute = 0;
};

// Octets d'une chaine, echappements resolus (le flot les a verifies).
std::string octets_chaine(jeton const& j);

// Texte d'un jeton pour un message : « PUSHX », « , », « "abc" ».
std::string cite(jeton const& j);

// Ajoute une erreur (ou, si erreur est faux, un avertissement).
void signale(liste_diagnostics& diagnostics, int ligne, int colonne, std::string const& message,
             bool erreur = true);

#endif
