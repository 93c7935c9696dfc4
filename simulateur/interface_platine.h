// Fenetre "Platine" et son bouton dans la barre du haut. La fenetre montre les
// ports comme du materiel : un organe par bit de chaque rangee de la table de la
// platine (platine.h), LED, interrupteur ou segment. Simples porteurs de widgets,
// comme les autres fenetres : un constructeur, des pointeurs publics ; le
// controleur allume, eteint et bascule.
#ifndef KARVELA_INTERFACE_PLATINE_H
#define KARVELA_INTERFACE_PLATINE_H

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>

#include "simulateur/interface.h"
#include "classe/platine.h"

// Couleurs des organes : une entree de la table de la boite a outils, ou 0xRRVVBB00.
constexpr Fl_Color couleur_organe_allume = FL_RED;      // LED et segment a 1
constexpr Fl_Color couleur_led_eteinte = 0x5A1E1E00;    // LED a 0 : RVB 90, 30, 30
constexpr Fl_Color couleur_segment_eteint = 0x3C0A0A00; // segment a 0 : RVB 60, 10, 10
constexpr Fl_Color couleur_fond_afficheur = FL_BLACK;   // le boitier de l'afficheur

// Libelles (symboles) d'un interrupteur, en haut (bit a 1) ou en bas.
constexpr char const* interrupteur_haut = "@kvinterhaut";
constexpr char const* interrupteur_bas = "@kvinterbas";

// Dans la barre du haut, a la place laissee au bouton de la platine.
class barre_platine_class {
  public:
    explicit barre_platine_class(SIM_class* fenetre);

    Fl_Button* B_PLATINE; // ouvre la platine ; un "8." de sept segments
};

class platine_class {
  public:
    platine_class();

    Fl_Double_Window* platine;
    // Pour chaque rangee de rangees_platine, l'organe de chaque bit (indice : le
    // bit) : Fl_Box pour une LED ou un segment, Fl_Button pour un interrupteur.
    Fl_Widget* ORGANES[nb_rangees_platine][bits_rangee];
};

#endif
