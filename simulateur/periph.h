// Port parallele 8 bits projete en memoire : un registre de valeur, un registre
// de direction facultatif (bit a 1 = sortie) et deux masques qui forcent des bits
// en sortie ou en entree. Le port montre son nom, sa valeur en binaire et un
// bouton par bit dans la fenetre principale.
// Invariant : apres chaque react_in et react_out, le registre de valeur en memoire
// vaut `valeur`. Le port ne possede ni la memoire ni ses widgets.
#ifndef KARVELA_PERIPH_H
#define KARVELA_PERIPH_H

#include <string>

#include "simulateur/interface.h"
#include "simulateur/mem_64k.h"

class portparallele {
  public:
    portparallele();
    ~portparallele();

    void configure(SIM_class* fd_sim_param, int x_port_valeur_param, int y_port_valeur_param,
                   char const* nom_port_valeur_param, unsigned short adresse_port_valeur_param,
                   int x_port_direction_param, int y_port_direction_param,
                   char const* nom_port_direction_param,
                   unsigned short adresse_port_direction_param,
                   unsigned char masque_forc_sortie_param, unsigned char masque_forc_entree_param,
                   mem_64k* memoire_param);
    // 1 quand obj est un bouton d'entree de ce port (le bit a bascule), 0 sinon ;
    // reecrit le registre de valeur dans tous les cas.
    int react_in(Fl_Widget* obj);
    // Apres une instruction : les bits de sortie prennent la valeur en memoire.
    void react_out();

  private:
    void maj_etat_boutons();

    Fl_Double_Window* SIM;
    Fl_Widget* ES[8];
    mem_64k* memoire;
    unsigned char valeur;
    unsigned char direction;
    unsigned char masque_forc_sortie;
    unsigned char masque_forc_entree;
    int x_port_valeur;
    int y_port_valeur;
    std::string nom_port_valeur;
    unsigned short adresse_port_valeur;
    Fl_Widget* obj_port_valeur;
    int x_port_direction;
    int y_port_direction;
    std::string nom_port_direction;
    unsigned short adresse_port_direction;
    Fl_Widget* obj_port_direction;
};

#endif
