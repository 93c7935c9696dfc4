// Ou poser les fenetres sur l'ecran, sans dessin : une seule fonction place la
// principale, ses compagnes (source, platine, exercice, et celles qui viendront)
// et les passageres (aide, "Aller à"), d'apres la zone de travail de l'ecran et
// les decorations du gestionnaire de fenetres ; et le plus grand zoom qui tient.
//
// Emploi, du cote des fenetres (simulateur/bureau.h lit la zone et les decorations) :
//     std::vector<fenetre_a_placer> f = {
//         {sorte_fenetre::principale, 650, 695},
//         {sorte_fenetre::compagne, 720, 695, 480, 300, source_montree},
//         {sorte_fenetre::compagne, 620, 570, 480, 300, exercice_montre},
//         {sorte_fenetre::compagne, 360, 330, 0, 0, platine_montree},
//         {sorte_fenetre::passagere, 610, 480, 400, 300}};   // l'aide, qui s'ouvre
//     std::vector<cotes> const places = place_fenetres(zone, bords, facteur, f);
//     fenetre->resize(places[i].x, places[i].y, places[i].w, places[i].h);
// Les tailles sont concues (a zoom 1) ; les places rendues sont a l'echelle, en
// coordonnees de l'ecran, celles de l'interieur de la fenetre (ce que prennent
// Fl_Window::resize et position), decorations autour. Passer toutes les
// compagnes, montrees ou non, dans le meme ordre a chaque appel : ouvrir l'une ne
// deplace pas les autres, et un zoom aller et retour rend les memes places.
//
// Regles, dans l'ordre ou elles priment :
// - aucune barre de titre hors de la zone de travail ;
// - la principale, centree, se decale juste assez pour que la plus large des
//   compagnes tienne a cote d'elle ; sinon elle va au bord gauche ;
// - rien ne couvre les registres, les ports, la pile ni les commandes de la
//   principale (zones_a_garder) tant qu'une autre place le permet ;
// - puis, dans l'ordre : ne pas couvrir la principale, ne pas couvrir les autres
//   compagnes (une passagere ne tient compte que des montrees), garder sa taille
//   (une compagne retrecit jusqu'a son minimum pour ne rien couvrir), couvrir le
//   moins possible, rester pres de la principale. Une passagere ne couvre rien de
//   la principale qu'elle puisse eviter, ni ses vues (desassemblage, dump) ;
//   forcee de couvrir la principale (1024 pixels), elle prend ses vues plutot que
//   les zones gardees.
#ifndef KARVELA_PLACEMENT_H
#define KARVELA_PLACEMENT_H

#include <string>
#include <vector>

#include "classe/echelle.h"

// Epaisseur des decorations du gestionnaire de fenetres : barre de titre (haut)
// et bords. Sans gestionnaire, aucune.
struct decorations {
    int gauche = 0, droite = 0, haut = 0, bas = 0;
};

enum class sorte_fenetre {
    principale, // la premiere de la liste, et la seule
    compagne,   // ouverte a cote et laissee ouverte
    passagere,  // ouverte le temps d'un geste, posee la ou elle gene le moins
};

struct fenetre_a_placer {
    sorte_fenetre sorte = sorte_fenetre::compagne;
    int largeur = 0, hauteur = 0; // concues, sans decorations
    // Plus petite taille concue permise ; 0 : celle de la fenetre (elle ne retrecit pas).
    int largeur_min = 0, hauteur_min = 0;
    bool montree = true; // cachee : sa place est gardee, une passagere peut la couvrir
    // Deplacee par l'etudiant : elle garde son coin haut gauche (place.x, place.y,
    // interieur, a l'ecran), a la taille du facteur, et les autres l'evitent.
    bool posee = false;
    cotes place{0, 0, 0, 0};
};

// Une zone de la principale qu'aucune compagne ne couvre, en coordonnees concues.
struct zone_a_garder {
    char const* nom;
    cotes geometrie;
};
extern zone_a_garder const zones_a_garder[6];
// Les vues que consulte un geste passager (Aller a montre son adresse la).
extern zone_a_garder const vues_principale[2];

constexpr int ecart_fenetres = 8; // entre deux fenetres posees cote a cote

// Une place par fenetre, dans l'ordre de la liste (la principale en tete).
std::vector<cotes> place_fenetres(cotes const& zone, decorations const& bords, double facteur,
                                  std::vector<fenetre_a_placer> const& fenetres);

// Le plus grand facteur permis, au plus demande, auquel chaque fenetre de taille
// concue (w, h de concues) tient dans la zone avec ses decorations ; zoom_min
// s'il n'y en a pas (la taille concue reste permise).
double zoom_qui_tient(double demande, cotes const& zone, decorations const& bords,
                      std::vector<cotes> const& concues);
// "1", "1,25", "1,5" : le facteur tel qu'un texte francais l'ecrit.
std::string texte_facteur(double facteur);
// Pour la barre d'etat, quand le facteur demande a ete ramene : "zoom limité à
// 1,5 pour cet écran".
std::string texte_zoom_limite(double facteur);

#endif
