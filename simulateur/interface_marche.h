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

// A cote de la pile concue, jamais dedans : le repere du sommet (SP) dans l'espace
// a gauche de son cadre, les entrees que la derniere instruction a posees ou otees
// dans celui de droite. Rien n'est dessine tant que rien n'est connu.
class reperes_pile : public Fl_Widget {
  public:
    enum cote { sommet, effets };
    reperes_pile(int x, int y, int w, int h, cote c);

    // sp : indice du sommet (-1 : pile vide) ; posees premiere..derniere ; otees
    // premiere_otee..derniere_otee (vides si premiere > derniere).
    void montre(int sp, int premiere, int derniere, int premiere_otee, int derniere_otee);

    int sp() const { return sp_; }
    int premiere() const { return premiere_; }
    int derniere() const { return derniere_; }
    int premiere_otee() const { return premiere_otee_; }
    int derniere_otee() const { return derniere_otee_; }

  protected:
    void draw() override;

  private:
    cote cote_;
    int sp_ = -1;
    int premiere_ = 0, derniere_ = -1;
    int premiere_otee_ = 0, derniere_otee_ = -1;
};

// Sous les cadres du bas de la fenetre principale, dans la bande vide jusqu'a son
// bord : le compteur de pas sous le desassemblage, SP sous la pile ; et les
// reperes a cote de la pile. Simple porteur de widgets.
class bande_pile_class {
  public:
    explicit bande_pile_class(SIM_class* fenetre);

    reperes_pile* SOMMET;
    reperes_pile* EFFETS;
    Fl_Box* PAS; // "Pas : 42", instructions depuis le chargement
    Fl_Box* SP;  // "SP = 3"
};

#endif
