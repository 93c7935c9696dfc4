// Etat des organes de la platine d'apres le registre de leur port.
#include "classe/platine.h"

etat_organe etat_du_bit(rangee_platine const& r, registre_port const& port, int bit) {
    bool const allume = (port.valeur() >> bit) & 1;
    bool const entree = ((port.direction() >> bit) & 1) == 0;
    return {allume, r.genre == organe::interrupteur && entree};
}
