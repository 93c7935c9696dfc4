// Historique d'edition d'un texte, sans dessin : annuler et retablir sans limite de
// niveaux, et l'etat "modifie" depuis le dernier enregistrement. Le tampon de la
// boite a outils n'annule qu'un niveau : l'editeur note ici chaque modification
// (ce qu'elle a ote et insere, et ou) et rejoue ce que l'historique lui rend.
// Invariant : appliquer annule() puis retablit() rend le texte d'avant ; les
// frappes d'un meme mot s'ajoutent a une seule modification.
#ifndef KARVELA_EDITION_HISTORIQUE_H
#define KARVELA_EDITION_HISTORIQUE_H

#include <string>
#include <vector>

// A position (en octets), ote a ete remplace par insere.
struct modification {
    int position = 0;
    std::string ote;
    std::string insere;
    int version = 0; // etat du texte apres elle ; change a chaque ajout
};

class historique_texte {
  public:
    // Le texte vient d'etre modifie ; les frappes voisines se regroupent.
    void note(int position, std::string const& ote, std::string const& insere);
    // La prochaine modification ne s'ajoutera pas a la derniere.
    void coupe() { coupe_ = true; }

    bool peut_annuler() const { return !faites_.empty(); }
    bool peut_retablir() const { return !defaites_.empty(); }
    // La modification a defaire : remplacer insere par ote a sa position. Null s'il
    // n'y en a pas. Le pointeur vaut jusqu'a l'appel suivant.
    modification const* annule();
    // La modification a refaire : remplacer ote par insere a sa position.
    modification const* retablit();

    // Le texte est enregistre (ou lu) tel qu'il est.
    void marque_enregistre();
    bool modifie() const { return version() != version_enregistree_; }
    // Nouveau texte : rien a annuler, non modifie.
    void vide();

  private:
    int version() const { return faites_.empty() ? 0 : faites_.back().version; }
    bool ajoute_a_la_derniere(int position, std::string const& ote, std::string const& insere);
    // La derniere de de passe dans vers : annuler, ou retablir.
    modification const* passe(std::vector<modification>& de, std::vector<modification>& vers);

    std::vector<modification> faites_;
    std::vector<modification> defaites_;
    modification rendue_;
    bool coupe_ = true;
    int prochaine_version_ = 1;
    int version_enregistree_ = 0;
};

#endif
