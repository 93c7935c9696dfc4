// Placement des fenetres compagnes.
#include "classe/placement.h"

#include <algorithm>

namespace {

constexpr int ecart = 8; // entre la principale et sa compagne

bool se_croisent(cotes const& a, cotes const& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

} // namespace

int abscisse_compagne(cotes const& ecran, cotes const& principale, int largeur, int hauteur,
                      std::vector<cotes> const& autres) {
    int const essais[] = {principale.x + principale.w + ecart, principale.x - ecart - largeur,
                          ecran.x + ecran.w - largeur, ecran.x};
    int premier_qui_tient = std::max(ecran.x, essais[2]);
    bool trouve = false;
    for (int const x : essais) {
        if (x < ecran.x || x + largeur > ecran.x + ecran.w) {
            continue;
        }
        cotes const place{x, principale.y, largeur, hauteur};
        if (std::none_of(autres.begin(), autres.end(),
                         [&](cotes const& autre) { return se_croisent(place, autre); })) {
            return x;
        }
        if (!trouve) {
            premier_qui_tient = x;
            trouve = true;
        }
    }
    return premier_qui_tient;
}
