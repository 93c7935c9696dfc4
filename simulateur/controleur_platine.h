// Controleur de la platine : la fenetre qui montre les ports comme du materiel et
// son bouton dans la barre du haut. Possede par le simulateur, qui lui passe ses
// widgets (commande), lui fait traduire un interrupteur en bouton de bit des sa
// sortie de la file (bit_de) et la redessine avec les ports (rafraichit). Il ne
// voit du simulateur que le pont.
#ifndef KARVELA_CONTROLEUR_PLATINE_H
#define KARVELA_CONTROLEUR_PLATINE_H

#include "simulateur/interface_platine.h"
#include "simulateur/periph.h"
#include "simulateur/pont.h"

class controleur_platine {
  public:
    // Cree la fenetre, cachee, et son bouton dans la barre du haut de la principale.
    controleur_platine(SIM_class* principale, pont_simulateur pont);
    ~controleur_platine();
    controleur_platine(controleur_platine const&) = delete;
    controleur_platine& operator=(controleur_platine const&) = delete;

    Fl_Window* fenetre() const { return fen_->platine; }
    // Vrai si obj est le bouton de la platine ou sa fenetre ; il est alors traite.
    bool commande(Fl_Widget* obj);
    // Le bouton du bit qu'un interrupteur de la platine represente, sinon obj.
    Fl_Widget* bit_de(Fl_Widget* obj) const;
    // Couleurs et leviers d'apres les ports, si elle est montree.
    void rafraichit();

  private:
    friend struct acces_simulateur; // ouverture reservee aux tests

    void montre();

    pont_simulateur pont_;
    portparallele* ports_[nb_ports]; // A a E, ceux du simulateur
    barre_platine_class* barre_;
    platine_class* fen_;
};

#endif
