// Widgets du mode marche dans la barre du haut, poses dans la fenetre principale
// apres les ports et la partie fichiers (fl_addto_form/fl_end_form), entre les
// places de la barre (finies a 262) et "AIDE..." (a 570). Simple porteur de widgets : un
// constructeur, des pointeurs publics, aucun comportement ni rappel.
#ifndef KARVELA_INTERFACE_MARCHE_H
#define KARVELA_INTERFACE_MARCHE_H

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>

#include "simulateur/interface.h"

class barre_marche_class {
  public:
    explicit barre_marche_class(SIM_class* fenetre);

    Fl_Button* B_RECULE; // pas arriere
    Fl_Choice* VITESSE;  // "Vitesse" : une entree par valeur de vitesses_marche
    Fl_Box* ETAT;        // "En marche", "Arrêt : ...", sur deux lignes au plus
};

#endif
