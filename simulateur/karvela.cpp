// Point d'entree du simulateur : un controleur construit d'apres la ligne de
// commande (seules les options de la boite a outils y sont lues), sa boucle de
// commandes jusqu'a "Quitter", puis sa destruction.
#include "simulateur/interface2.h"

int main(int argc, char** argv) {
    {
        simulateur sim(argc, argv);
        sim.interprete_commandes();
    }
    return 0;
}
