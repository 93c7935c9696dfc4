// Execution continue sans dessin : pourquoi une suite d'instructions s'arrete,
// points d'arret, cadence du mode marche de la fenetre. La fenetre et karvela-run
// executent par execute(), qui fait chaque pas avec machine::pas().
#ifndef KARVELA_MARCHE_H
#define KARVELA_MARCHE_H

#include <bitset>
#include <string>

#include "simulateur/machine.h"

// Pourquoi une execution s'est arretee. Apres une meme instruction, la premiere de
// erreur_pile, boucle, point_arret, limite l'emporte.
enum class arret {
    aucun,       // en marche, ou jamais lancee
    erreur_pile, // E vient de passer de 0 a 1 : etat apres l'instruction
    boucle,      // branchement pris sur sa propre adresse (BT *) : fin du programme
    point_arret, // PC sur un point d'arret : l'instruction n'a pas encore tourne
    limite,      // nombre d'instructions demande atteint
    demande,     // STOP de l'utilisateur
};

class points_arret {
  public:
    void bascule(unsigned short adresse);
    bool contient(unsigned short adresse) const { return actifs_[adresse]; }
    bool vide() const { return actifs_.none(); }
    void efface() { actifs_.reset(); }

  private:
    std::bitset<0x10000> actifs_;
};

struct bilan_execution {
    long long pas = 0;           // instructions executees
    arret raison = arret::aucun; // aucun : la limite n'est pas un arret (tranche finie)
    unsigned short adresse = 0;  // PC au moment de l'arret
};

// Execute au plus n instructions par machine::pas() ; s'arrete avant une adresse
// de points (s'il n'est pas nul), apres un branchement sur lui-meme et apres une
// erreur de pile. Avec depart, la premiere instruction tourne meme sur un point
// d'arret : un depart depuis un point d'arret le passe (PLAY, karvela-run) ; les
// tranches suivantes d'une meme marche le verifient. Avec limite_est_arret,
// atteindre n donne arret::limite (karvela-run) ; sinon arret::aucun (fin de tranche).
bilan_execution execute(machine& m, points_arret const* points, long long n, bool depart,
                        bool limite_est_arret);

// La cadence du mode marche de la fenetre (en marche ou non, vitesse, prochaine
// tranche, dernier arret) vit aussi ici, en classe sans dessin : le controleur lui
// donne l'heure et lui demande combien d'instructions executer et quand revenir.

// Texte d'etat de la barre du haut : "En marche", "Arrêt : point d'arrêt en $0007",
// "Arrêt : fin de programme (boucle en $000b)", "Arrêt : erreur de pile en $0004",
// "Arrêt demandé" ; vide avant la premiere marche.
std::string texte_etat(bool en_marche, arret raison, unsigned short adresse);

#endif
