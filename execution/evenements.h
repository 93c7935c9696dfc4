// Entrees cliquees par programme : poser les bits d'entree d'un port comme des
// clics, et des evenements armes qui le font quand un nombre d'instructions a
// tourne. karvela-run, le correcteur et le mode marche de la fenetre (STEP, pas
// arriere, marche) les appliquent tous ici : une seule regle pour "apres N pas".
// Invariant : apres pose_dues(), aucun evenement non pose n'a pas <= faits().
#ifndef KARVELA_EXECUTION_EVENEMENTS_H
#define KARVELA_EXECUTION_EVENEMENTS_H

#include <cstddef>
#include <vector>

#include "simulateur/machine.h"

// Les bits d'entree du port mis a ceux de valeur, comme des clics ; les bits de
// sortie ne bougent pas.
void pose_entree(machine& m, int port, unsigned char valeur);

struct evenement_entree {
    long long pas; // apres ce nombre d'instructions ; 0 : avant la premiere
    int port;      // 0..4 : A..E
    unsigned char valeur;
};

class evenements_armes {
  public:
    // Remplace les evenements ; le compte repart de 0. Ordre des pas, puis de la liste.
    void arme(std::vector<evenement_entree> liste);
    void desarme() { arme({}); }
    bool vide() const { return liste_.empty(); }

    long long faits() const { return faits_; } // instructions depuis arme()
    // Evenements pas encore poses.
    std::size_t a_venir() const { return liste_.size() - poses_; }
    // Instructions qui peuvent tourner avant le prochain evenement ; -1 : aucun.
    long long marge() const;

    // Pose ceux dont le pas est atteint.
    void pose_dues(machine& m);
    // n instructions viennent de tourner. Apres un arret, la pose attend
    // l'instruction suivante, s'il y en a une.
    void compte(long long n) { faits_ += n; }
    void apres(machine& m, long long n) {
        compte(n);
        pose_dues(m);
    }
    // La derniere instruction a ete annulee : le compte recule et chaque evenement
    // pose apres elle est rearme, les bits d'entree de son port remis comme avant.
    void recule(machine& m);

  private:
    std::vector<evenement_entree> liste_;
    std::vector<unsigned char> avant_; // valeur du port juste avant chaque evenement pose
    std::size_t poses_ = 0;
    long long faits_ = 0;
};

#endif
