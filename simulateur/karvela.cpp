// Point d'entree du simulateur : la ligne de commande d'abord (--version, --help
// et une ligne mal formee repondent sans fenetre ni affichage ; une sortie
// standard perdue se dit), puis la classe et l'icone que le bureau verra, un
// controleur construit d'apres la ligne, sa boucle de commandes jusqu'a "Quitter",
// sa destruction.
#include <iostream>

#include "commandes/ecriture.h"
#include "simulateur/bureau.h"
#include "simulateur/interface2.h"

int main(int argc, char** argv) {
    demande_lancement const demande = lit_ligne_commande(argc, argv);
    if (demande.action != lancement::fenetre) {
        return fin_commande("karvela", repond_sans_fenetre(demande, std::cout, std::cerr));
    }
    {
        prepare_bureau(); // classe karvela et icone, avant la premiere fenetre
        simulateur sim(argc, argv);
        sim.interprete_commandes();
    }
    return 0;
}
