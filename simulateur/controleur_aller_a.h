// Controleur de la fenetre "Aller à" (Ctrl+G) : une adresse ou une etiquette du
// programme en memoire, montree en tete du dump. Possede par le simulateur, qui
// lui passe ses widgets (commande) et ses evenements (prend_evenement). Il ne
// voit du simulateur que le pont.
#ifndef KARVELA_CONTROLEUR_ALLER_A_H
#define KARVELA_CONTROLEUR_ALLER_A_H

#include "simulateur/interface_aller_a.h"
#include "simulateur/pont.h"

class controleur_aller_a {
  public:
    // Cree la fenetre, cachee.
    explicit controleur_aller_a(pont_simulateur pont);
    ~controleur_aller_a();
    controleur_aller_a(controleur_aller_a const&) = delete;
    controleur_aller_a& operator=(controleur_aller_a const&) = delete;

    Fl_Window* fenetre() const { return fen_->aller_a; }
    // Vrai si obj est le bouton "Aller" ou la fenetre ; il est alors traite.
    bool commande(Fl_Widget* obj);
    // Ctrl+G dans toute fenetre du zoom, modale comprise.
    bool prend_evenement(int evenement, Fl_Window* fenetre);

  private:
    friend struct acces_simulateur; // ouverture reservee aux tests

    void montre();
    // Bouton "Aller" : le dump montre l'adresse lue, ou la fenetre dit le refus.
    void va();

    pont_simulateur pont_;
    aller_a_class* fen_;
};

#endif
