// Facteur de zoom des fenetres, sans dessin : les facteurs permis (de 1 a 3 par
// pas de 0,25), leur lecture sur la ligne de commande, le pas des touches et
// l'arrondi d'une geometrie concue. Le zoom des widgets (zoom.h) s'en sert.
// Invariant : une geometrie a l'echelle se calcule toujours depuis la geometrie
// concue, jamais depuis une autre geometrie a l'echelle ; a 1, rien ne change.
#ifndef KARVELA_ECHELLE_H
#define KARVELA_ECHELLE_H

#include <string>

constexpr double zoom_min = 1.0;  // taille concue
constexpr double zoom_max = 3.0;  // un ecran 4K ou un projecteur
constexpr double pas_zoom = 0.25; // un appui sur Ctrl++ ou Ctrl+-

// Facteur ecrit en decimal, point ou virgule ("2", "1.5", "1,25") ; faux si le
// texte n'en est pas un ou tombe hors des facteurs permis.
bool lit_zoom(std::string const& texte, double& facteur);
// Facteur permis voisin : un pas plus grand (sens > 0) ou plus petit, borne.
double zoom_voisin(double facteur, int sens);

// Rectangle concu ou a l'echelle, dans les coordonnees de sa fenetre.
struct cotes {
    int x, y, w, h;
    bool operator==(cotes const& c) const { return x == c.x && y == c.y && w == c.w && h == c.h; }
};
// Chaque bord arrondi a part : deux widgets qui se touchent se touchent encore.
cotes cotes_a_l_echelle(cotes const& c, double facteur);
// Taille de caracteres ou longueur, arrondie, au moins 1 si elle l'etait.
int longueur_a_l_echelle(int longueur, double facteur);

#endif
