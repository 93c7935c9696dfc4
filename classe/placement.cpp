// Placement des fenetres : la principale d'abord, par une regle simple, puis
// chaque autre fenetre a la meilleure des places candidates, ses bords poses
// contre ceux de la zone, de la principale, des fenetres deja placees et des zones
// a garder. Les fenetres sont comptees avec leurs decorations (cadre exterieur) ;
// seul le resultat rend leur interieur.
#include "classe/placement.h"

#include <algorithm>
#include <cmath>
#include <tuple>

// Coordonnees de la fenetre principale concue (simulateur/interface.cpp).
zone_a_garder const zones_a_garder[6] = {
    {"barre du haut", {0, 0, 650, 40}}, // Fichier, fichiers, pas arriere, vitesse, etat
    {"registres", {20, 40, 610, 120}},  // cadre, titre et nom du fichier ouvert
    {"ports", {20, 165, 610, 165}},
    {"commandes", {20, 360, 160, 40}}, // RESET, STOP, PLAY, STEP
    {"pile", {210, 340, 125, 340}},
    {"titre de la pile", {340, 350, 50, 20}},
};
zone_a_garder const vues_principale[2] = {
    {"desassemblage", {9, 400, 191, 280}}, // cadre, titre et fleches
    {"dump", {340, 400, 290, 280}},        // cadre, titre, fleches et glissiere
};

namespace {

long aire_commune(cotes const& a, cotes const& b) {
    long const w = std::min(a.x + a.w, b.x + b.w) - std::max(a.x, b.x);
    long const h = std::min(a.y + a.h, b.y + b.h) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

long aire_commune(cotes const& a, std::vector<cotes> const& autres) {
    long s = 0;
    for (cotes const& b : autres) {
        s += aire_commune(a, b);
    }
    return s;
}

// Les tailles d'une fenetre avec ses decorations.
struct tailles {
    int w, h;         // a l'echelle
    int w_min, h_min; // pas en dessous
};

tailles tailles_de(fenetre_a_placer const& f, decorations const& d, double facteur,
                   cotes const& zone) {
    int const dw = d.gauche + d.droite, dh = d.haut + d.bas;
    auto const echelle = [&](int l) { return longueur_a_l_echelle(l, facteur); };
    tailles t{echelle(f.largeur) + dw, echelle(f.hauteur) + dh,
              echelle(f.largeur_min > 0 ? std::min(f.largeur_min, f.largeur) : f.largeur) + dw,
              echelle(f.hauteur_min > 0 ? std::min(f.hauteur_min, f.hauteur) : f.hauteur) + dh};
    // Qui peut retrecir ne depasse pas la zone ; qui ne le peut pas garde sa taille.
    if (t.w_min < t.w) {
        t.w = std::max(t.w_min, std::min(t.w, zone.w));
    }
    if (t.h_min < t.h) {
        t.h = std::max(t.h_min, std::min(t.h, zone.h));
    }
    t.w_min = std::min(t.w_min, t.w);
    t.h_min = std::min(t.h_min, t.h);
    return t;
}

// Debuts et longueurs candidats sur un axe : la fenetre pleine ou au minimum,
// contre un bord de la zone ou d'un obstacle, et les longueurs qui remplissent
// l'intervalle entre deux bords. debuts : bords ou commencer ; fins : ou finir.
std::vector<std::pair<int, int>> segments(int bas, int haut, int plein, int mini,
                                          std::vector<int> const& debuts,
                                          std::vector<int> const& fins) {
    std::vector<std::pair<int, int>> s;
    for (int const l : {plein, mini}) {
        for (int const a : debuts) {
            s.push_back({a, l});
        }
        for (int const b : fins) {
            s.push_back({b - l, l});
        }
    }
    for (int const a : debuts) {
        for (int const b : fins) {
            if (b - a > mini && b - a < plein) {
                s.push_back({a, b - a});
            }
        }
    }
    // Dans la zone : la barre de titre (le haut, la gauche) d'abord.
    for (auto& [debut, longueur] : s) {
        debut = std::max(bas, std::min(debut, haut - longueur));
    }
    std::sort(s.begin(), s.end());
    s.erase(std::unique(s.begin(), s.end()), s.end());
    return s;
}

// Le cout d'une place, compare dans l'ordre des regles (le plus petit l'emporte).
using cout_place = std::tuple<long, long, bool, bool, long, long, long, long, bool>;

struct placeur {
    cotes zone;
    cotes principale;                     // cadre exterieur
    std::vector<cotes> gardees, vues;     // a l'ecran
    std::vector<cotes> compagnes;         // placees, cadres exterieurs
    std::vector<cotes> passageres_genees; // ce qu'une passagere evite : compagnes montrees

    cotes place(tailles const& t, bool passagere) const {
        std::vector<cotes> const& autres = passagere ? passageres_genees : compagnes;
        std::vector<cotes> obstacles = autres;
        obstacles.push_back(principale);
        obstacles.insert(obstacles.end(), gardees.begin(), gardees.end());
        std::vector<int> gauches{zone.x}, droites{zone.x + zone.w}, hauts{zone.y},
            bas{zone.y + zone.h, principale.y + principale.h};
        for (cotes const& o : obstacles) {
            gauches.push_back(o.x + o.w + ecart_fenetres);
            droites.push_back(o.x - ecart_fenetres);
            hauts.push_back(o.y + o.h + ecart_fenetres);
            hauts.push_back(o.y);
            bas.push_back(o.y - ecart_fenetres);
        }
        auto const en_x = segments(zone.x, zone.x + zone.w, t.w, t.w_min, gauches, droites);
        auto const en_y = segments(zone.y, zone.y + zone.h, t.h, t.h_min, hauts, bas);
        // Une passagere ne couvre ni la principale ni ses vues, si elle peut ; et
        // plutot les vues que les zones gardees, quand elle ne le peut pas.
        std::vector<cotes> evitees;
        if (passagere) {
            evitees = vues;
            evitees.push_back(principale);
        }
        cotes meilleure{};
        cout_place meilleur{};
        bool premiere = true;
        for (auto const& [x, w] : en_x) {
            for (auto const& [y, h] : en_y) {
                cotes const c{x, y, w, h};
                long const principale_couverte = aire_commune(c, principale);
                long const autres_couvertes = aire_commune(c, autres);
                long const ecart_x =
                    std::max({0, principale.x - (x + w), x - (principale.x + principale.w)});
                cout_place const k{aire_commune(c, gardees),
                                   aire_commune(c, evitees),
                                   principale_couverte > 0,
                                   autres_couvertes > 0,
                                   static_cast<long>(t.w - w) + (t.h - h),
                                   principale_couverte,
                                   autres_couvertes,
                                   static_cast<long>(ecart_x) + std::abs(y - principale.y),
                                   x < principale.x}; // a droite d'abord
                if (premiere || k < meilleur) {
                    meilleure = c;
                    meilleur = k;
                    premiere = false;
                }
            }
        }
        return meilleure;
    }
};

// La principale : centree, decalee juste assez pour qu'une compagne large de
// largeur_compagne tienne a sa droite, au bord gauche si ce n'est pas possible.
cotes place_principale(cotes const& zone, tailles const& t, int largeur_compagne) {
    int x = zone.x + std::max(0, (zone.w - t.w) / 2);
    if (largeur_compagne > 0) {
        int const a_cote = zone.x + zone.w - t.w - ecart_fenetres - largeur_compagne;
        x = a_cote >= zone.x ? std::min(x, a_cote) : zone.x;
    }
    return {x, zone.y + std::max(0, (zone.h - t.h) / 2), t.w, t.h};
}

// Une fenetre posee par l'etudiant garde son coin, a la taille du facteur, et
// reste sur la zone si elle y tient.
cotes garde_coin(cotes const& place, decorations const& d, tailles const& t, cotes const& zone) {
    int const x = place.x - d.gauche, y = place.y - d.haut;
    return {std::max(zone.x, std::min(x, zone.x + zone.w - t.w)),
            std::max(zone.y, std::min(y, zone.y + zone.h - t.h)), t.w, t.h};
}

cotes interieur(cotes const& c, decorations const& d) {
    return {c.x + d.gauche, c.y + d.haut, c.w - d.gauche - d.droite, c.h - d.haut - d.bas};
}

} // namespace

std::vector<cotes> place_fenetres(cotes const& zone, decorations const& bords, double facteur,
                                  std::vector<fenetre_a_placer> const& fenetres) {
    std::vector<cotes> places;
    if (fenetres.empty()) {
        return places;
    }
    int largeur_compagne = 0;
    for (fenetre_a_placer const& f : fenetres) {
        if (f.sorte == sorte_fenetre::compagne) {
            largeur_compagne = std::max(largeur_compagne, tailles_de(f, bords, facteur, zone).w);
        }
    }
    placeur p;
    p.zone = zone;
    fenetre_a_placer const& principale = fenetres.front();
    tailles const t_principale = tailles_de(principale, bords, facteur, zone);
    p.principale = principale.posee ? garde_coin(principale.place, bords, t_principale, zone)
                                    : place_principale(zone, t_principale, largeur_compagne);
    cotes const interieur_principale = interieur(p.principale, bords);
    auto const a_l_ecran = [&](zone_a_garder const& z) {
        cotes const c = cotes_a_l_echelle(z.geometrie, facteur);
        return cotes{c.x + interieur_principale.x, c.y + interieur_principale.y, c.w, c.h};
    };
    for (zone_a_garder const& z : zones_a_garder) {
        p.gardees.push_back(a_l_ecran(z));
    }
    for (zone_a_garder const& z : vues_principale) {
        p.vues.push_back(a_l_ecran(z));
    }
    places.push_back(interieur_principale);
    for (std::size_t i = 1; i < fenetres.size(); ++i) {
        fenetre_a_placer const& f = fenetres[i];
        bool const passagere = f.sorte == sorte_fenetre::passagere;
        tailles const t = tailles_de(f, bords, facteur, zone);
        cotes const c = f.posee ? garde_coin(f.place, bords, t, zone) : p.place(t, passagere);
        if (!passagere) {
            p.compagnes.push_back(c);
        }
        if (f.montree) {
            p.passageres_genees.push_back(c);
        }
        places.push_back(interieur(c, bords));
    }
    return places;
}

double zoom_qui_tient(double demande, cotes const& zone, decorations const& bords,
                      std::vector<cotes> const& concues) {
    for (double f = std::min(demande, zoom_max); f > zoom_min; f -= pas_zoom) {
        bool const tient = std::all_of(concues.begin(), concues.end(), [&](cotes const& c) {
            return longueur_a_l_echelle(c.w, f) + bords.gauche + bords.droite <= zone.w &&
                   longueur_a_l_echelle(c.h, f) + bords.haut + bords.bas <= zone.h;
        });
        if (tient) {
            return f;
        }
    }
    return zoom_min;
}

std::string texte_facteur(double facteur) {
    long const centiemes = std::lround(facteur * 100);
    std::string t = std::to_string(centiemes / 100);
    if (long const reste = centiemes % 100; reste != 0) {
        t += ',' + std::to_string(reste / 10);
        if (reste % 10 != 0) {
            t += std::to_string(reste % 10);
        }
    }
    return t;
}

std::string texte_zoom_limite(double facteur) {
    return "zoom limité à " + texte_facteur(facteur) + " pour cet écran";
}
