// Fenetre "Aller à" (Ctrl+G) : une adresse ou une etiquette a montrer en tete du
// dump. Simple porteur de widgets : un constructeur, des pointeurs publics ; le
// controleur lit la saisie, deplace le dump ou ecrit le refus dans MESSAGE.
#ifndef KARVELA_INTERFACE_ALLER_A_H
#define KARVELA_INTERFACE_ALLER_A_H

#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>

class aller_a_class {
  public:
    aller_a_class();

    Fl_Double_Window* aller_a;
    Fl_Input* SAISIE;        // "Aller à (adresse ou étiquette)"
    Fl_Return_Button* ALLER; // ou Entree dans la saisie
    Fl_Box* MESSAGE;         // pourquoi la saisie est refusee ; vide sinon
};

#endif
