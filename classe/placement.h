// Ou poser une fenetre compagne (source, platine, exercice) a sa premiere
// ouverture, sans dessin : a cote de la principale, et si possible sans couvrir
// une autre compagne deja montree.
#ifndef KARVELA_PLACEMENT_H
#define KARVELA_PLACEMENT_H

#include <vector>

#include "classe/echelle.h"

// Abscisse de la compagne de taille largeur x hauteur. Essais dans l'ordre : a droite
// de la principale, a sa gauche, contre le bord droit de l'ecran, contre le bord
// gauche ; le premier qui tient dans `ecran` sans croiser une de `autres`
// l'emporte, a la hauteur de la principale. Sinon, le premier qui tient.
int abscisse_compagne(cotes const& ecran, cotes const& principale, int largeur, int hauteur,
                      std::vector<cotes> const& autres);

#endif
