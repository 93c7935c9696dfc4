// Ligne de commande du simulateur, sans dessin : ce qui reste une fois que la
// boite a outils a pris ses propres options (-geometry, -display, ...).
// karvela [--zoom F] [--exercice EXO.toml] [FICHIER], --help, --version ; "--"
// termine les options.
#ifndef KARVELA_LIGNE_COMMANDE_H
#define KARVELA_LIGNE_COMMANDE_H

#include <ostream>
#include <string>
#include <vector>

enum class lancement {
    fenetre,      // ouvrir la fenetre, sur fichier s'il n'est pas vide
    version,      // --version
    aide,         // --help
    mauvais_usage // option inconnue, second fichier... : probleme dit pourquoi
};

struct demande_lancement {
    lancement action = lancement::fenetre;
    std::string fichier;
    std::string probleme;
    double zoom = 1.0;         // --zoom : facteur des fenetres (echelle.h)
    std::string exercice = {}; // --exercice : ouvert avec la fenetre, apres fichier
};

demande_lancement analyse_arguments(std::vector<std::string> const& mots);

// Ce qui se fait sans fenetre : --version et --help sur sortie, l'usage et le
// probleme sur erreurs ; rien pour fenetre. Rend le statut de sortie (0 ou 2).
int repond_sans_fenetre(demande_lancement const& demande, std::ostream& sortie,
                        std::ostream& erreurs);

#endif
