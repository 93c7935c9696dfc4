// Facteurs de zoom : lecture, pas et arrondis.
#include "classe/echelle.h"

#include <cmath>

namespace {

constexpr int quarts_par_unite = 4; // 1 / pas_zoom

// Nombre de quarts de facteur, ou -1 si le texte n'est pas un decimal positif
// tombant sur un quart. Lu a la main : strtod suivrait la locale.
int quarts(std::string const& texte) {
    std::string::size_type i = 0;
    long entier = 0;
    while (i < texte.size() && texte[i] >= '0' && texte[i] <= '9' && entier < 100) {
        entier = entier * 10 + (texte[i++] - '0');
    }
    if (i == 0) {
        return -1;
    }
    // Chiffres apres la virgule, en millioniemes : au-dela de six, pas un quart.
    long fraction = 0;
    if (i < texte.size() && (texte[i] == '.' || texte[i] == ',')) {
        ++i;
        long poids = 100000;
        std::string::size_type const debut = i;
        while (i < texte.size() && texte[i] >= '0' && texte[i] <= '9') {
            fraction += (texte[i++] - '0') * poids;
            poids /= 10;
            if (poids == 0 && i < texte.size() && texte[i] != '0') {
                return -1;
            }
        }
        if (i == debut) {
            return -1;
        }
    }
    long const quart = 1000000 / quarts_par_unite;
    if (i != texte.size() || fraction % quart != 0) {
        return -1;
    }
    return static_cast<int>(entier * quarts_par_unite + fraction / quart);
}

int arrondi(double v) {
    return static_cast<int>(std::lround(v));
}

} // namespace

bool lit_zoom(std::string const& texte, double& facteur) {
    int const q = quarts(texte);
    if (q < zoom_min * quarts_par_unite || q > zoom_max * quarts_par_unite) {
        return false;
    }
    facteur = static_cast<double>(q) / quarts_par_unite;
    return true;
}

double zoom_voisin(double facteur, int sens) {
    double const voisin = facteur + (sens > 0 ? pas_zoom : -pas_zoom);
    return voisin < zoom_min ? zoom_min : voisin > zoom_max ? zoom_max : voisin;
}

cotes cotes_a_l_echelle(cotes const& c, double facteur) {
    int const x = arrondi(c.x * facteur);
    int const y = arrondi(c.y * facteur);
    return {x, y, arrondi((c.x + c.w) * facteur) - x, arrondi((c.y + c.h) * facteur) - y};
}

int longueur_a_l_echelle(int longueur, double facteur) {
    int const l = arrondi(longueur * facteur);
    return longueur > 0 && l < 1 ? 1 : l;
}
