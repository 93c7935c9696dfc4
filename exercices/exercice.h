// Un exercice : un titre, des cas, et pour chaque cas ce qu'on pose avant de lancer
// le programme (entrees, memoire), ce qu'on change en route (evenements) et ce
// qu'on attend a l'arret (ports, pile, memoire, sorte d'arret). Lu d'un fichier
// TOML ; chaque faute du fichier est un diagnostic avec sa ligne et sa colonne,
// toutes rendues ensemble, comme l'assembleur rend les siennes. Un exercice qui a
// une erreur ne se corrige pas. Un cas cache (cache = true) est corrige comme les
// autres, mais l'etudiant n'en voit que le nom et le verdict.
#ifndef KARVELA_EXERCICES_EXERCICE_H
#define KARVELA_EXERCICES_EXERCICE_H

#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "exercices/adresses.h"
#include "execution/moteur.h"

// Des octets a une cle d'adresse : a poser (memoire) ou attendus (attendu).
struct octets_a {
    cle_adresse cle;
    std::vector<int> valeurs; // telles qu'ecrites, -128..255
    bool tableau = false;     // ecrites entre crochets
};

struct port_attendu {
    int registre; // indice dans noms_registres_ports
    int valeur;   // telle qu'ecrite
};

// Les textes d'un exercice, en caracteres : ce qu'une fenetre peut montrer. Au-dela,
// le fichier est refuse a la place du texte trop long.
constexpr std::size_t titre_max = 200;   // titre, nom d'un cas, cle d'adresse
constexpr std::size_t enonce_max = 8000; // enonce, ou les commentaires du haut du fichier
// Tables et cles pointees imbriquees au plus sur tant de niveaux (un exercice en a
// trois) : verifie avant toml++, dont la lecture recursive deborderait la pile.
constexpr int imbrication_max = 64;

struct cas_exercice {
    std::string nom;
    int ligne = 0;                            // celle de son [[cas]]
    bool cache = false;                       // l'etudiant n'en voit que le nom et le verdict
    std::vector<evenement_entree> entrees;    // toutes au pas 0, dans l'ordre du fichier
    std::vector<evenement_entree> evenements; // dans l'ordre du fichier
    std::vector<octets_a> memoire;
    std::vector<port_attendu> ports;
    bool pile_attendue = false;
    std::vector<int> pile; // du fond au sommet, telles qu'ecrites
    std::vector<octets_a> zones;
    long long points = 1;
    long long pas_max = 0;
    arret arret_attendu = arret::boucle;
};

struct exercice {
    std::string titre;
    // La cle enonce, ou a defaut les lignes de commentaire du haut du fichier, sans
    // leur « # ».
    std::string enonce;
    std::vector<cas_exercice> cas;
    long long total() const;
};

struct exercice_lu {
    exercice exo;
    std::vector<diagnostic> diagnostics; // dans l'ordre du fichier
    std::string erreur;                  // fichier illisible : la phrase entiere
    bool valide() const;                 // lu, et aucune erreur
};

exercice_lu lit_exercice(std::string const& texte);
exercice_lu lit_fichier_exercice(std::string const& chemin);

#endif
