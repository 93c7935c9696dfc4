// La liste garde au plus deux fois erreurs_max erreurs avant d'etre triee et
// coupee : une fois coupee, tout diagnostic place apres la premiere erreur de trop
// est jete des son arrivee.
#include "assembleur/diagnostics.h"

#include <algorithm>

namespace {

bool avant(diagnostic const& x, diagnostic const& y) {
    return x.ligne != y.ligne ? x.ligne < y.ligne : x.colonne < y.colonne;
}

} // namespace

bool liste_diagnostics::garde(int ligne, int colonne) const {
    // A place egale, le tri stable range le nouveau venu apres l'erreur de trop.
    return !coupee || avant({true, ligne, colonne, ""}, borne);
}

void liste_diagnostics::ajoute(bool erreur, int ligne, int colonne, std::string message) {
    erreurs_vues = erreurs_vues || erreur;
    if (!garde(ligne, colonne)) {
        return;
    }
    liste.push_back({erreur, ligne, colonne, std::move(message)});
    if (erreur && ++erreurs > 2 * erreurs_max) {
        trie_et_coupe();
    }
}

void liste_diagnostics::trie_et_coupe() {
    std::stable_sort(liste.begin(), liste.end(), avant);
    std::size_t vues = 0;
    for (std::size_t k = 0; k < liste.size(); ++k) {
        if (liste[k].erreur && ++vues > erreurs_max) {
            liste.erase(liste.begin() + static_cast<long>(k) + 1, liste.end());
            erreurs = vues;
            coupee = true;
            borne = {true, liste[k].ligne, liste[k].colonne, ""};
            return;
        }
    }
}

std::vector<diagnostic> liste_diagnostics::termine() {
    trie_et_coupe();
    if (coupee) {
        liste.back().message = "trop d'erreurs : arrêt après " + std::to_string(erreurs_max);
    }
    return std::move(liste);
}
