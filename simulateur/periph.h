// Port parallele 8 bits projete en memoire, tel que la fenetre le montre : son nom,
// sa valeur en binaire et un bouton par bit. La logique des registres (direction,
// fusion des sorties, bascule d'une entree) est celle de registre_port, sans
// dessin ; le port la dessine.
// Invariant : apres chaque react_in et react_out, le registre de valeur en memoire
// vaut la valeur du port. Le port ne possede ni la memoire ni ses widgets.
#ifndef KARVELA_PERIPH_H
#define KARVELA_PERIPH_H

#include <memory>
#include <string>

#include "simulateur/interface.h"
#include "simulateur/mem_64k.h"

// Hors de cet en-tete, qui n'apporte pas la table des ports de la machine.
class registre_port;

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

    // Redessine le port d'apres son etat, sans rien recalculer : apres une mise a
    // jour faite par la machine (STEP, mode marche) ou un pas arriere.
    void redessine();
    // La logique du port, que la machine fait avancer.
    registre_port& registre() { return *reg; }
    // Le bouton du bit n (0 a 7), que la platine fait cliquer a ses interrupteurs.
    Fl_Widget* bouton_bit(int n) const { return ES[n]; }

  private:
    // Couleurs des bits et texte du registre de direction.
    void maj_etat_boutons();

    Fl_Double_Window* SIM;
    Fl_Widget* ES[8];
    std::unique_ptr<registre_port> reg;
    int x_port_valeur;
    int y_port_valeur;
    std::string nom_port_valeur;
    Fl_Widget* obj_port_valeur;
    int x_port_direction;
    int y_port_direction;
    std::string nom_port_direction;
    Fl_Widget* obj_port_direction;
};

#endif
