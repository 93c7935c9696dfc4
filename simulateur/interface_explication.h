// Fenetre "Pourquoi ?" : la chaine qui explique une valeur, un maillon par ligne,
// et le retour a la machine d'avant. Simple porteur de widgets : un constructeur,
// des pointeurs publics ; le controleur remplit la liste et lit les clics.
#ifndef KARVELA_INTERFACE_EXPLICATION_H
#define KARVELA_INTERFACE_EXPLICATION_H

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>

class explication_class {
  public:
    explication_class();

    Fl_Double_Window* explication;
    Fl_Hold_Browser* CHAINE; // la question, puis un maillon par ligne, puis les notes
    Fl_Button* REVENIR;      // la machine telle qu'elle etait a la question
    Fl_Box* MESSAGE;         // ou la machine est montree, ou pourquoi un clic ne mene nulle part
    Fl_Button* DEMANDE;      // jamais montre : une question arrive par la file avec lui
};

#endif
