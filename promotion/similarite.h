// Copies semblables. Deux sortes de groupes : les copies dont l'image assemblee
// est la meme, octet pour octet ; et celles dont la suite d'instructions se
// ressemble une fois mis de cote etiquettes, commentaires, mise en page et ordre
// des donnees. Pour celles-ci, chaque instruction devient un jeton (son opcode,
// la valeur d'un PUSHI, l'adresse d'un port ; pas les adresses des donnees ni les
// sauts, que la mise en page deplace), les suites de k jetons sont hachees et
// le « winnowing » des detecteurs de plagiat en garde une par fenetre : la
// ressemblance de deux copies est la part d'empreintes communes (Jaccard).
#ifndef KARVELA_PROMOTION_SIMILARITE_H
#define KARVELA_PROMOTION_SIMILARITE_H

#include <cstdint>
#include <string>
#include <vector>

#include "execution/moteur.h"

constexpr int jetons_par_empreinte = 5; // k : cinq instructions de suite
constexpr int fenetre_winnowing = 4;    // w : une empreinte gardee sur quatre
// Ressemblance a partir de laquelle deux copies sont groupees, en pour cent
// (mesuree sur la table des tests : voir le manuel).
constexpr int seuil_ressemblance = 60;
// Une copie de moins d'instructions n'est pas comparee : trop courte pour qu'une
// ressemblance dise quelque chose.
constexpr std::size_t instructions_min = 8;

struct empreintes {
    bool image = false; // chargee : base et octets comparables
    unsigned short base = 0;
    std::vector<unsigned char> octets;
    std::vector<int> lignes;             // du source, une par instruction
    std::vector<std::uint64_t> hachages; // un par suite de k instructions
    std::vector<std::uint64_t> gardees;  // par le winnowing, triees, sans double
};

// Ce qu'on garde d'un programme pour le comparer (rien s'il ne se charge pas).
empreintes empreintes_de(programme_charge const& p);

// De 0 a 100.
int ressemblance(empreintes const& a, empreintes const& b);

struct membre_groupe {
    std::size_t copie;                       // indice dans la liste donnee
    std::vector<std::pair<int, int>> lignes; // ses lignes communes, en intervalles
};

struct groupe_semblable {
    bool identiques = false;              // meme image
    int score_min = 100, score_max = 100; // entre deux membres lies
    std::vector<membre_groupe> membres;   // dans l'ordre des copies
};

// Les groupes : identiques d'abord, puis semblables, chacun de deux copies ou plus.
std::vector<groupe_semblable> groupes_semblables(std::vector<empreintes> const& copies,
                                                 int seuil = seuil_ressemblance);

// "4-19, 22" : des intervalles de lignes.
std::string texte_lignes(std::vector<std::pair<int, int>> const& lignes);

#endif
