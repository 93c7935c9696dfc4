// Widgets ajoutes pour les fichiers : la partie fichiers de la barre du haut,
// posee dans la fenetre principale apres les ports (comme eux, par
// fl_addto_form/fl_end_form).
// Simples porteurs de widgets, comme les fenetres de interface.h : un
// constructeur, des pointeurs publics, aucun comportement ni rappel.
#ifndef KARVELA_INTERFACE_FICHIERS_H
#define KARVELA_INTERFACE_FICHIERS_H

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>

#include "simulateur/interface.h"

// Entre "Fichier" et les commandes du mode marche (x de 95 a 148), et le nom du
// fichier sous la barre.
class barre_fichiers_class {
  public:
    explicit barre_fichiers_class(SIM_class* fenetre);

    Fl_Button* B_SOURCE;    // "Ouvrir source..."
    Fl_Button* B_RECHARGER; // relit le dernier fichier ouvert
    Fl_Box* NOM_FICHIER;    // nom du fichier ouvert
};

#endif
