// Logique d'un port parallele 8 bits, sans dessin : registre de valeur en memoire,
// registre de direction facultatif (bit a 1 = sortie) et deux masques qui forcent
// des bits en sortie ou en entree. portparallele la dessine ; la machine sans
// fenetre (karvela-run, mode marche) s'en sert telle quelle.
// Invariant : apres configure, prend_sorties et reecrit_valeur, le registre de
// valeur en memoire vaut valeur() ; la direction n'est relue qu'au configure et
// a prend_sorties, jamais par un clic.
#ifndef KARVELA_PORT_ES_H
#define KARVELA_PORT_ES_H

#include "simulateur/mem_64k.h"

// Ce qui fixe un port dans la memoire : adresses et masques.
struct description_port {
    unsigned short adresse_valeur;
    bool a_direction; // Port C et Port D seulement
    unsigned short adresse_direction;
    unsigned char forc_sortie; // bits toujours en sortie
    unsigned char forc_entree; // bits toujours en entree (l'emporte sur forc_sortie)
};

// Les cinq ports de la machine, dans l'ordre A, B, C, D, E.
constexpr int nb_ports = 5;
constexpr description_port ports_machine[nb_ports] = {
    {0x1000, false, 0, 0x70, 0x07},     // Port A
    {0x1004, false, 0, 0xFF, 0x00},     // Port B
    {0x1003, true, 0x1007, 0x00, 0x00}, // Port C, DDRC
    {0x1008, true, 0x1009, 0x00, 0x00}, // Port D, DDRD
    {0x100A, false, 0, 0x00, 0xFF},     // Port E
};

// Aucun registre d'un port n'est celui d'un autre : la mise a jour d'un port
// ne peut pas defaire celle d'un autre (la machine s'y fie pour sauter les
// mises a jour inutiles).
constexpr bool registres_distincts() {
    unsigned short adresses[2 * nb_ports] = {};
    int n = 0;
    for (description_port const& d : ports_machine) {
        adresses[n++] = d.adresse_valeur;
        if (d.a_direction) {
            adresses[n++] = d.adresse_direction;
        }
    }
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (adresses[i] == adresses[j]) {
                return false;
            }
        }
    }
    return true;
}
static_assert(registres_distincts(), "deux ports partagent un registre");

class registre_port {
  public:
    // Memorise la description, pose 0xFF au registre de valeur (valeur reste 0) et
    // forc_sortie au registre de direction, puis calcule la direction.
    void configure(description_port const& d, mem_64k* memoire);
    bool est_configure() const { return memoire_ != nullptr; }

    // Direction effective : (DDR | forc_sortie) & ~forc_entree ; sans DDR, l'adresse
    // de direction n'est jamais lue.
    void relit_direction();
    // Apres une instruction : relit la direction, les bits de sortie prennent l'octet
    // en memoire, les bits d'entree gardent valeur ; le resultat est reecrit.
    void prend_sorties();
    // Bascule le bit n s'il est une entree d'apres la derniere direction calculee ;
    // vrai s'il a bascule. N'ecrit pas la memoire.
    bool bascule_entree(int n);
    // Reecrit valeur dans le registre de valeur (tout evenement propose au port).
    void reecrit_valeur();
    // Pas arriere : valeur et direction d'avant une instruction. N'ecrit pas la memoire.
    void restaure(unsigned char valeur, unsigned char direction);

    unsigned char valeur() const { return valeur_; }
    unsigned char direction() const { return direction_; }
    description_port const& description() const { return description_; }

  private:
    description_port description_{};
    mem_64k* memoire_ = nullptr;
    unsigned char valeur_ = 0;
    unsigned char direction_ = 0;
};

#endif
