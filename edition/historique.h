// Historique d'edition d'un texte, sans dessin : annuler et retablir sans limite de
// niveaux, et l'etat "modifie" depuis le dernier enregistrement. Le tampon de la
// boite a outils n'annule qu'un niveau : l'editeur note ici chaque modification
// (ce qu'elle a ote et insere, et ou) et rejoue ce que l'historique lui rend.
// Un pas d'annulation est, comme dans les editeurs de texte : un mot tape (ou une
// suite de blancs), une suite de Retour arriere, une suite de Suppr, une suite de
// frappes en mode refrappe, un collage, une selection effacee et ce qui la
// remplace, une fin de ligne.
// Invariant : appliquer annule() puis retablit() rend le texte d'avant ; apres
// annuler, retablir, enregistrer ou coupe(), la frappe suivante commence un pas.
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

// D'ou vient une modification, quand l'appelant le sait.
enum class geste_edition {
    deduit,  // d'apres ses textes : un seul caractere insere ou ote est une frappe
    frappe,  // une touche (meme composee en plusieurs caracteres)
    collage, // Ctrl+V, clic du milieu, glisser : un pas a lui seul
};

class historique_texte {
  public:
    // Le texte vient d'etre modifie ; les frappes voisines se regroupent.
    void note(int position, std::string const& ote, std::string const& insere,
              geste_edition geste = geste_edition::deduit);
    // La prochaine modification ne s'ajoutera pas a la derniere (curseur deplace).
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
    // L'etat du texte tel qu'il est : une frappe regroupee, annuler, retablir en
    // changent ; retrouver un etat redonne sa version.
    int version() const { return faites_.empty() ? 0 : faites_.back().version; }

  private:
    // La sorte du dernier pas, qui dit ce qui peut encore s'y ajouter.
    enum class sorte_pas { ferme, frappe, effacement, arriere, avant, refrappe, selection };

    bool ajoute_au_dernier(int position, std::string const& ote, std::string const& insere);
    // La derniere de de passe dans vers : annuler, ou retablir.
    modification const* passe(std::vector<modification>& de, std::vector<modification>& vers);

    std::vector<modification> faites_;
    std::vector<modification> defaites_;
    modification rendue_;
    sorte_pas dernier_ = sorte_pas::ferme; // ferme : rien ne s'ajoute au dernier pas
    bool coupe_ = true;
    int prochaine_version_ = 1;
    int version_enregistree_ = 0;
};

#endif
