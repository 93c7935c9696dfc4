// Ce que la fenetre du source montre de la machine, sans dessin : la ligne du PC,
// l'adresse de chaque ligne dans la marge, les points d'arret par ligne. Tout vient
// de la table adresses <-> lignes de l'assembleur, lue pour le programme charge et
// suivie a travers les modifications faites au texte depuis son assemblage.
// Lignes comptees de 1, celles du texte d'aujourd'hui ; 0 : aucune.
#ifndef KARVELA_SUIVI_SUIVI_SOURCE_H
#define KARVELA_SUIVI_SUIVI_SOURCE_H

#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "edition/lignes_suivies.h"
#include "simulateur/marche.h"

// Points d'arret gardes a travers un rechargement : par ligne quand une
// instruction du source commence a leur adresse, sinon par adresse.
struct points_par_ligne {
    std::vector<int> lignes;
    std::vector<unsigned short> adresses;
};

class suivi_source {
  public:
    // Le programme assemble depuis le texte de nb_lignes lignes, qui est en memoire.
    void programme(programme_assemble const& p, int nb_lignes);
    // Le programme en memoire ne vient plus de ce texte.
    void oublie_programme();
    bool a_programme() const { return a_programme_; }

    // Chaque modification du texte passe ici (voir lignes_suivies::modifie).
    lignes_suivies& lignes() { return lignes_; }

    // Ligne de l'instruction qui commence a pc ; 0 hors du source : donnees,
    // memoire vide, milieu d'une instruction, ligne otee depuis l'assemblage.
    int ligne_du_pc(unsigned short pc) const;
    // "PC $0004 : ligne 5", ou "PC $0040 : hors du source".
    std::string etat_pc(unsigned short pc) const;
    // Adresse de ce que la ligne stocke (instruction ou donnees), pour la marge ;
    // -1 si elle ne stocke rien ou est nouvelle.
    int adresse_de(int ligne) const;
    // Profondeurs de la pile avant l'instruction de la ligne, comme au listing
    // ("2", "1-3", "-" jamais atteinte) ; vide si elle n'est pas une instruction.
    std::string profondeur_de(int ligne) const;
    // Ou poser le point d'arret d'une ligne : son instruction, ou celle de la
    // premiere ligne d'instruction qui la suit ; -1 s'il n'y en a pas.
    int adresse_point(int ligne) const;

    // Les points de ce programme, par ligne d'aujourd'hui ; ceux d'une ligne otee
    // disparaissent avec elle, ceux hors du source restent par adresse.
    points_par_ligne garde_points(points_arret const& points) const;
    // Apres l'assemblage suivant : chaque ligne gardee reprend son point a sa
    // nouvelle adresse.
    void repose_points(points_par_ligne const& gardes, points_arret& points) const;

    programme_assemble const& programme_charge() const { return programme_; }

  private:
    // Ce que stocke la ligne assemblee ; null si elle ne stocke rien.
    ligne_assemblee const* enonce_de(int assemblee) const;

    bool a_programme_ = false;
    programme_assemble programme_;
    lignes_suivies lignes_;
};

#endif
