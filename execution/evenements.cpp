// Entrees posees comme des clics, et leur calendrier en nombre d'instructions.
#include "execution/evenements.h"

#include <algorithm>

namespace {

constexpr int bits_par_octet = 8;

} // namespace

void pose_entree(machine& m, int port, unsigned char valeur) {
    registre_port& r = m.port(port);
    for (int bit = 0; bit < bits_par_octet; ++bit) {
        bool const voulu = (valeur >> bit) & 1;
        bool const actuel = (r.valeur() >> bit) & 1;
        if (voulu != actuel && r.bascule_entree(bit)) {
            r.reecrit_valeur();
        }
    }
}

void evenements_armes::arme(std::vector<evenement_entree> liste) {
    std::stable_sort(
        liste.begin(), liste.end(),
        [](evenement_entree const& a, evenement_entree const& b) { return a.pas < b.pas; });
    liste_ = std::move(liste);
    avant_.clear();
    poses_ = 0;
    faits_ = 0;
}

long long evenements_armes::marge() const {
    return poses_ < liste_.size() ? liste_[poses_].pas - faits_ : -1;
}

void evenements_armes::pose_dues(machine& m) {
    for (; poses_ < liste_.size() && liste_[poses_].pas <= faits_; ++poses_) {
        evenement_entree const& e = liste_[poses_];
        avant_.push_back(m.port(e.port).valeur());
        pose_entree(m, e.port, e.valeur);
    }
}

void evenements_armes::recule(machine& m) {
    if (faits_ == 0) {
        return;
    }
    --faits_;
    // Du dernier pose au premier : chaque port retrouve ce qu'il avait avant.
    for (; poses_ > 0 && liste_[poses_ - 1].pas > faits_; --poses_) {
        pose_entree(m, liste_[poses_ - 1].port, avant_.back());
        avant_.pop_back();
    }
}
