// Widgets des exercices : les boutons "Exercice" et "Vérifier" de la barre du haut,
// poses dans la fenetre principale apres les autres (fl_addto_form/fl_end_form),
// et la fenetre non modale "Exercice — titre" : l'enonce, une ligne par cas, le
// message et la mise en place du cas choisi, le total et le cas prepare. Simples
// porteurs de widgets : un constructeur, des pointeurs publics, aucun
// comportement ni rappel.
#ifndef KARVELA_INTERFACE_EXERCICE_H
#define KARVELA_INTERFACE_EXERCICE_H

#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Text_Display.H>

#include "simulateur/interface.h"

// x 204 et 230 de la barre du haut ; leurs symboles suivent la taille du libelle.
class barre_exercice_class {
  public:
    explicit barre_exercice_class(SIM_class* fenetre);

    Fl_Button* B_EXERCICE; // ouvrir un exercice, puis montrer ou cacher sa fenetre
    Fl_Button* B_VERIFIER; // corriger le programme charge
};

class fenetre_exercice_class {
  public:
    fenetre_exercice_class();

    Fl_Double_Window* exercice;
    Fl_Box* TITRE;             // fichier, nombre de cas et points
    Fl_Text_Display* ENONCE;   // l'enonce, a la ligne aux bords ; son texte est au controleur
    Fl_Hold_Browser* CAS;      // "✔ nom" ou "✘ nom : message", une ligne par cas
    Fl_Box* MESSAGE;           // le message entier du cas choisi
    Fl_Browser* MISE_EN_PLACE; // ce que le cas choisi pose : entrees, memoire, evenements
    Fl_Box* TOTAL;             // points du programme, ou ce qui se passe
    Fl_Box* PREPARE;           // le cas prepare dans la fenetre principale
    Fl_Button* VERIFIER;
    Fl_Return_Button* PREPARER;
    Fl_Button* AUTRE; // "Autre exercice..."
    Fl_Button* FERMER;
};

#endif
