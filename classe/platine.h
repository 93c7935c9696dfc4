// Platine d'essai, sans dessin : ce que montrent les ports comme le ferait du
// materiel. Une table dit quel organe (rangee de LED, rangee d'interrupteurs,
// afficheur sept segments) est branche sur quel port, bit par bit ; la fenetre
// "Platine" ne fait que dessiner ce que la table et les ports disent.
// Invariant : un organe est allume quand son bit vaut 1 ; un interrupteur n'agit
// que sur un bit d'entree (direction 0), comme un clic sur le bouton du bit.
#ifndef KARVELA_PLATINE_H
#define KARVELA_PLATINE_H

#include "simulateur/port_es.h"

enum class organe {
    led,          // une LED par bit, rouge quand le bit vaut 1
    interrupteur, // un interrupteur par bit d'entree, haut quand le bit vaut 1
    afficheur,    // sept segments : bit 0 = a ... bit 6 = g, bit 7 = point decimal
};

struct rangee_platine {
    organe genre;
    int port;          // rang dans ports_machine (0 = Port A)
    char const* titre; // nom du port, au-dessus des organes
};

constexpr int bits_rangee = 8;
constexpr int nb_rangees_platine = 4;
// Dans l'ordre du dessin : les rangees de haut en bas, les afficheurs cote a cote.
constexpr rangee_platine rangees_platine[nb_rangees_platine] = {
    {organe::led, 1, "Port B"},          // les sorties du chenillard
    {organe::interrupteur, 4, "Port E"}, // les entrees de l'echo
    {organe::afficheur, 2, "Port C"},    // DDRC a $FF pour l'afficher
    {organe::afficheur, 3, "Port D"},    // DDRD a $FF pour l'afficher
};

// Nom de chaque segment d'un afficheur, par numero de bit.
constexpr char const* noms_segments[bits_rangee] = {"a", "b", "c", "d", "e", "f", "g", "point"};

// Place d'un bit dans une rangee de LED ou d'interrupteurs, de gauche a droite :
// le bit 7 a gauche, comme le texte binaire et les boutons des ports.
constexpr int place_du_bit(int bit) {
    return bits_rangee - 1 - bit;
}

struct etat_organe {
    bool allume; // LED ou segment allume, interrupteur en haut
    bool actif;  // interrupteur qu'un clic bascule ; faux pour tout le reste
};

// Etat de l'organe du bit dans sa rangee, d'apres la valeur et la direction du port.
etat_organe etat_du_bit(rangee_platine const& r, registre_port const& port, int bit);

#endif
