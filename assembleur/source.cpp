// Lecture d'un source par lit_fichier, comme celle d'une image : un tube ou un
// peripherique est refuse sans etre ouvert, et la lecture s'arrete au-dela de la
// taille permise.
#include "assembleur/source.h"

#include "execution/fichiers.h"

source_lue lit_source(std::string const& chemin) {
    std::string const debut = "impossible de lire « " + chemin + " » : ";
    fichier_lu f = lit_fichier(chemin, taille_source_max);
    if (!f.lu) {
        return {false, "", debut + f.raison};
    }
    if (f.plus) {
        return {false, "", debut + "plus de 16 Mio, ce n'est pas un source"};
    }
    return {true, std::move(f.octets), ""};
}
