// Correction d'un exercice : chaque cas lance le programme sur une machine neuve
// par le moteur d'execution (le meme que karvela-run et que la fenetre), puis
// compare l'etat a l'arret a ce que le cas attend et dit en francais ce qui
// differe. Une classe se corrige dans un seul processus, sur plusieurs fils.
#ifndef KARVELA_EXERCICES_CORRECTION_H
#define KARVELA_EXERCICES_CORRECTION_H

#include <string>
#include <vector>

#include "exercices/exercice.h"
#include "execution/moteur.h"

// Ce qu'un cas demande au moteur pour un programme donne : ses cles d'adresse
// resolues. La fenetre prepare un cas avec la meme demande.
struct cas_pret {
    demande_execution demande;       // memoire, puis entrees et evenements dans entrees
    std::vector<zone_memoire> zones; // celles de attendu, dans son ordre
    std::string erreur;              // une cle qui ne se resout pas : rien n'est lance
};

cas_pret prepare_cas(cas_exercice const& c, programme_charge const& p);

struct ecart {
    std::string quoi;    // "B", "pile", "$0200", "donnees+1", "arret"
    std::string attendu; // en JSON : nombre, tableau ou chaine
    std::string obtenu;
};

struct resultat_cas {
    std::string nom;
    bool lance = false; // faux : programme pas charge ou cle non resolue
    bool reussi = false;
    long long points = 0; // gagnes
    long long points_max = 0;
    arret raison = arret::aucun;
    unsigned short arret_en = 0;
    int ligne = 0;
    long long pas = 0;
    std::vector<ecart> ecarts;
    std::string message; // vide pour un cas reussi
};

// Sur une machine neuve : rien d'un cas (entrees, drapeaux, pile) n'atteint le suivant.
resultat_cas corrige_cas(cas_exercice const& c, programme_charge const& p);

struct copie {
    std::string fichier; // tel que donne
    programme_charge programme;
};

struct resultat_copie {
    std::string fichier;
    bool charge = false;
    std::vector<std::string> erreurs; // diagnostics, ou la phrase du chargement
    std::vector<resultat_cas> cas;
    long long points = 0;
    long long total = 0;
};

// Les copies dans leur ordre ; fils : 0 pour autant que la machine a de coeurs.
std::vector<resultat_copie> corrige(exercice const& e, std::vector<copie> const& copies,
                                    unsigned fils = 0);

// Le nom et les entrees du cas : "tous (E=$FF)", ou "somme" sans entrees.
std::string nom_du_cas(cas_exercice const& c);

#endif
