// Un fichier rendu devient un programme : un .asm ou un autre texte est assemble
// (un texte qui n'est pas nomme .asm l'est avec une note, au lieu d'etre pris pour
// un .bin et dit « tronqué »), un .bin est lu par le chargeur de la fenetre.
#ifndef KARVELA_PROMOTION_COPIES_H
#define KARVELA_PROMOTION_COPIES_H

#include <string>

#include "execution/moteur.h"
#include "promotion/export.h"

// Un programme de la ligne de commande : .asm et .bin comme lit_programme ; un
// autre nom, assemble si c'est du texte (note le dit), sinon lu comme un .bin.
programme_charge lit_copie(std::string const& chemin, std::string& note);

// Un fichier d'une classe ; affiche est son nom dans les messages.
programme_charge lit_rendu(fichier_rendu const& f, std::string const& affiche, std::string& note);

#endif
