// Registres d'un port parallele : direction d'apres le DDR et les masques, fusion
// des sorties du programme avec les entrees de l'utilisateur.
#include "simulateur/port_es.h"

namespace {

constexpr unsigned char tout_a_un = 0xFF; // registre de valeur a la configuration
constexpr int bits_par_port = 8;

} // namespace

void registre_port::configure(description_port const& d, mem_64k* memoire) {
    description_ = d;
    memoire_ = memoire;
    valeur_ = 0;
    // Le registre lit 0xFF tant qu'aucun evenement n'y a ecrit valeur (qui reste 0).
    memoire_->write_byte(d.adresse_valeur, tout_a_un);
    if (d.a_direction) {
        memoire_->write_byte(d.adresse_direction, d.forc_sortie);
    }
    relit_direction();
}

void registre_port::relit_direction() {
    // Sans registre de direction, l'adresse 0 n'est pas un registre : ne pas la lire.
    unsigned char const ddr =
        description_.a_direction ? memoire_->read_byte(description_.adresse_direction) : 0;
    // Un bit force des deux cotes reste une entree.
    direction_ = (ddr | description_.forc_sortie) & ~description_.forc_entree;
}

void registre_port::prend_sorties() {
    relit_direction();
    unsigned char const m = memoire_->read_byte(description_.adresse_valeur);
    valeur_ = (m & direction_) | (valeur_ & ~direction_);
    reecrit_valeur();
}

bool registre_port::bascule_entree(int n) {
    if (n < 0 || n >= bits_par_port || ((direction_ >> n) & 1)) {
        return false;
    }
    valeur_ ^= 1 << n;
    return true;
}

void registre_port::reecrit_valeur() {
    memoire_->write_byte(description_.adresse_valeur, valeur_);
}

void registre_port::restaure(unsigned char valeur, unsigned char direction) {
    valeur_ = valeur;
    direction_ = direction;
}
