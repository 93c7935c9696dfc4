// Ce que le gestionnaire de fenetres dit de l'ecran, lu par Xlib : la zone de
// travail (sans les panneaux) et l'epaisseur des decorations, que place_fenetres
// (classe/placement.h) prend pour poser les fenetres ; et ce que le programme lui
// dit de ses fenetres : leur classe "karvela" et leur icone.
// Sans gestionnaire de fenetres : tout l'ecran, aucune decoration.
//
// Emploi, du cote des fenetres :
//     prepare_bureau();                      // une fois, avant de montrer la premiere
//     cotes const zone = zone_de_travail(principale->x(), principale->y());
//     decorations const bords = principale->shown() ? decorations_de(principale)
//                                                   : decorations_prevues();
//     ... place_fenetres(zone, bords, facteur, fenetres) ...
//     fenetre->show();
//     pose_fenetre(fenetre, places[i]);
// A sa premiere ouverture, la boite a outils deplace d'elle-meme une fenetre a
// bordure (au moins 20 pixels sous le haut de l'ecran, 1 du bord) sans le noter :
// pose_fenetre, apres show(), la remet a la place rendue.
#ifndef KARVELA_BUREAU_H
#define KARVELA_BUREAU_H

#include <FL/Fl_Window.H>

#include "classe/placement.h"

// Classe "karvela" (WM_CLASS) et icone du programme pour toutes les fenetres.
void prepare_bureau();

// La fenetre a cette place (interieur, coordonnees de l'ecran), montree ou non.
void pose_fenetre(Fl_Window* fenetre, cotes const& place);

// La zone de travail du bureau courant (_NET_WORKAREA), sur l'ecran qui contient
// le point (x, y) ; sans la propriete, cet ecran entier.
cotes zone_de_travail(int x = 0, int y = 0);

// Un gestionnaire de fenetres conforme (_NET_SUPPORTING_WM_CHECK) tourne.
bool gestionnaire_present();

// Les decorations d'une fenetre montree (_NET_FRAME_EXTENTS) ; aucune si elle ne
// l'est pas encore ou si le gestionnaire ne le dit pas.
decorations decorations_de(Fl_Window* fenetre);

// Les decorations qu'aura une fenetre ordinaire, avant d'en montrer une : demandees
// au gestionnaire (_NET_REQUEST_FRAME_EXTENTS) pour une fenetre d'essai jamais
// montree, attendues au plus un quart de seconde. Aucune sans gestionnaire ou s'il
// ne sait pas repondre. Celles d'une fenetre redimensionnable : une fenetre de
// taille fixe peut avoir un bord du bas plus mince (openbox : 1 au lieu de 5).
decorations decorations_prevues();

#endif
