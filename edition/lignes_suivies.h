// Les lignes du texte assemble suivies a travers les modifications faites depuis :
// la ligne du PC, les adresses de la marge, les diagnostics et les points d'arret
// restent sur leur texte quand l'etudiant insere ou ote des lignes au-dessus.
// Lignes comptees de 1 ; 0 : aucune.
#ifndef KARVELA_EDITION_LIGNES_SUIVIES_H
#define KARVELA_EDITION_LIGNES_SUIVIES_H

#include <vector>

class lignes_suivies {
  public:
    // Le texte tel qu'il vient d'etre assemble (ou ouvert) : chaque ligne est la sienne.
    void repart(int nb_lignes);

    // Une modification commencee sur la ligne, qui ote et insere ces nombres de
    // fins de ligne. En tete : faite au debut de la ligne, sur des lignes entieres
    // (ce qui est ote ou insere finit par une fin de ligne) ; la ligne suit alors
    // son texte, poussee ou remplacee. Sinon la ligne garde sa place et absorbe
    // les lignes otees apres elle.
    void modifie(int ligne, int otees, int inserees, bool en_tete);

    // Ou est aujourd'hui la ligne assemblee ; 0 si elle a ete otee.
    int actuelle(int assemblee) const;
    // D'ou vient la ligne d'aujourd'hui ; 0 si elle a ete inseree depuis.
    int assemblee(int actuelle) const;
    int nb_actuelles() const { return static_cast<int>(origine_.size()); }

  private:
    std::vector<int> origine_;       // ligne assemblee de chaque ligne actuelle (indice - 1)
    mutable std::vector<int> place_; // l'inverse, refait a la demande
    mutable bool place_a_jour_ = false;
};

#endif
