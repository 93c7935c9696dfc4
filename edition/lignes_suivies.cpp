// Suivi des lignes : une table des lignes actuelles vers leur ligne assemblee,
// modifiee a chaque edition (quelques milliers d'entiers : une insertion ou un
// effacement dans un vecteur coute moins qu'une frappe), et son inverse refait
// seulement quand on le lit.
#include "edition/lignes_suivies.h"

#include <algorithm>

void lignes_suivies::repart(int nb_lignes) {
    origine_.resize(static_cast<std::size_t>(std::max(nb_lignes, 0)));
    for (std::size_t i = 0; i < origine_.size(); ++i) {
        origine_[i] = static_cast<int>(i) + 1;
    }
    place_a_jour_ = false;
}

void lignes_suivies::modifie(int ligne, int otees, int inserees, bool en_tete) {
    int const n = nb_actuelles();
    // Premiere ligne otee (indice de 0) ; les inserees prennent sa place.
    int debut = std::clamp(en_tete ? ligne - 1 : ligne, 0, n);
    int const fin = std::clamp(debut + otees, debut, n);
    origine_.erase(origine_.begin() + debut, origine_.begin() + fin);
    origine_.insert(origine_.begin() + debut, static_cast<std::size_t>(std::max(inserees, 0)), 0);
    place_a_jour_ = false;
}

int lignes_suivies::actuelle(int assemblee) const {
    if (!place_a_jour_) {
        int plus_grande = 0;
        for (int a : origine_) {
            plus_grande = std::max(plus_grande, a);
        }
        place_.assign(static_cast<std::size_t>(plus_grande) + 1, 0);
        for (std::size_t i = 0; i < origine_.size(); ++i) {
            place_[static_cast<std::size_t>(origine_[i])] = static_cast<int>(i) + 1;
        }
        place_[0] = 0;
        place_a_jour_ = true;
    }
    return assemblee > 0 && assemblee < static_cast<int>(place_.size())
               ? place_[static_cast<std::size_t>(assemblee)]
               : 0;
}

int lignes_suivies::assemblee(int actuelle) const {
    return actuelle > 0 && actuelle <= nb_actuelles()
               ? origine_[static_cast<std::size_t>(actuelle) - 1]
               : 0;
}
