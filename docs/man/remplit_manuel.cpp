// Remplit une page de manuel avant scdoc : une ligne "%ports" du modele devient le
// tableau des ports, tire de la table de la machine comme celui de l'aide ; les
// autres lignes passent telles quelles. Une autre ligne en "%" est une faute.
// Utilisation : remplit_manuel MODELE SORTIE (code 0, sinon 1 et un message).
#include <fstream>
#include <iostream>
#include <string>

#include "simulateur/texte_aide.h"

namespace {

// Tableau scdoc : premiere ligne en gras, trois colonnes.
void ecrit_ports(std::ostream& sortie) {
    sortie << "|[ *Port*\n:[ *Adresse*\n:< *Bits*\n";
    for (ligne_port const& l : tableau_ports()) {
        sortie << "|  " << l.nom << "\n:  " << l.adresse << "\n:  " << l.bits << "\n";
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "utilisation : remplit_manuel MODELE SORTIE\n";
        return 1;
    }
    std::ifstream modele(argv[1]);
    std::ofstream sortie(argv[2]);
    if (!modele || !sortie) {
        std::cerr << "remplit_manuel : " << (!modele ? argv[1] : argv[2]) << " inaccessible\n";
        return 1;
    }
    int numero = 0;
    for (std::string ligne; std::getline(modele, ligne);) {
        ++numero;
        if (ligne == "%ports") {
            ecrit_ports(sortie);
        } else if (ligne.rfind('%', 0) == 0) {
            std::cerr << argv[1] << ":" << numero << ": marque inconnue " << ligne << "\n";
            return 1;
        } else {
            sortie << ligne << "\n";
        }
    }
    sortie.flush();
    if (!sortie) {
        std::cerr << "remplit_manuel : " << argv[2] << " non ecrit\n";
        return 1;
    }
    return 0;
}
