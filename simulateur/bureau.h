// Ce que le gestionnaire de fenetres dit de l'ecran, lu par Xlib : la zone de
// travail (sans les panneaux) et l'epaisseur des decorations, que place_fenetres
// (classe/placement.h) prend pour poser les fenetres ; et ce que le programme lui
// dit de ses fenetres : leur classe "karvela" et leur icone.
// Sans gestionnaire de fenetres : tout l'ecran, aucune decoration.
//
// Emploi, du cote des fenetres :
//     prepare_bureau();                      // une fois, avant de montrer la premiere
//     cotes const zone = zone_de_travail(principale->x(), principale->y());
//     decorations const bords = principale->shown() ? decorations_de(principale)
//                                                   : decorations_prevues();
//     ... place_fenetres(zone, bords, facteur, fenetres) ...
//     fenetre->show();
//     pose_fenetre(fenetre, places[i]);
// A sa premiere ouverture, la boite a outils deplace d'elle-meme une fenetre a
// bordure (au moins 20 pixels sous le haut de l'ecran, 1 du bord) sans le noter :
// pose_fenetre, apres show(), la remet a la place rendue.
//
// bureau_fenetres fait ce chemin pour toutes les fenetres du programme : c'est leur
// seule liste (zoom, placement, touches relayees a la principale, Echap).
#ifndef KARVELA_BUREAU_H
#define KARVELA_BUREAU_H

#include <FL/Fl_Window.H>

#include <chrono>
#include <optional>
#include <vector>

#include "classe/placement.h"
#include "simulateur/zoom.h"

// Classe "karvela" (WM_CLASS) et icone du programme pour toutes les fenetres.
void prepare_bureau();

// La fenetre a cette place (interieur, coordonnees de l'ecran), montree ou non.
void pose_fenetre(Fl_Window* fenetre, cotes const& place);

// La zone de travail du bureau courant (_NET_WORKAREA), sur l'ecran qui contient
// le point (x, y) ; sans la propriete, cet ecran entier.
cotes zone_de_travail(int x = 0, int y = 0);

// Un gestionnaire de fenetres conforme (_NET_SUPPORTING_WM_CHECK) tourne.
bool gestionnaire_present();

// Les decorations d'une fenetre montree (_NET_FRAME_EXTENTS) ; aucune si elle ne
// l'est pas encore ou si le gestionnaire ne le dit pas.
decorations decorations_de(Fl_Window* fenetre);

// Les decorations qu'aura une fenetre ordinaire, avant d'en montrer une : demandees
// au gestionnaire (_NET_REQUEST_FRAME_EXTENTS) pour une fenetre d'essai jamais
// montree, attendues au plus un quart de seconde. Aucune sans gestionnaire ou s'il
// ne sait pas repondre. Celles d'une fenetre redimensionnable : une fenetre de
// taille fixe peut avoir un bord du bas plus mince (openbox : 1 au lieu de 5).
decorations decorations_prevues();

// Les fenetres du programme. Rejoindre le zoom et le placement, pour une fenetre
// nouvelle, est un appel, une fois ses widgets crees :
//     fenetres.rejoint(fenetre, sorte_fenetre::compagne, 480, 300);
// puis, pour la montrer, fenetres.montre(fenetre) au lieu de show().
// Invariants : la liste garde l'ordre des appels (la principale en tete), et
// place_fenetres la recoit entiere a chaque fois : ouvrir une fenetre ne deplace pas
// les autres, un zoom aller et retour rend les memes places ; les indications de
// taille donnees au gestionnaire suivent le facteur.
class bureau_fenetres {
  public:
    explicit bureau_fenetres(zoom_fenetres& zoom) : zoom_(zoom) {}
    bureau_fenetres(bureau_fenetres const&) = delete;
    bureau_fenetres& operator=(bureau_fenetres const&) = delete;

    // La fenetre rejoint le zoom et le placement. Minimum concu ; 0 : taille fixe.
    void rejoint(Fl_Window* fenetre, sorte_fenetre sorte, int largeur_min = 0, int hauteur_min = 0);
    bool connait(Fl_Window const* fenetre) const;
    // Sorte d'une fenetre connue ; principale pour une inconnue.
    sorte_fenetre sorte(Fl_Window const* fenetre) const;
    // Une fenetre de la liste autre que la principale est montree.
    bool autre_montree() const;
    // Cachee, elle s'ouvre a sa place ; montree, elle revient devant sans bouger.
    void montre(Fl_Window* fenetre);
    // Apres un show() fait ailleurs (la principale, par la couche Forms) : a sa place.
    void montree(Fl_Window* fenetre);
    // Le facteur demande, ramene au plus grand qui tient dans la zone de travail,
    // applique a toutes les fenetres, qui reprennent leur place ; rend le facteur
    // applique.
    double applique_zoom(double demande);

  private:
    struct connue {
        Fl_Window* fenetre;
        sorte_fenetre sorte;
        int largeur, hauteur, largeur_min, hauteur_min; // concues
        bool donnee = false;                            // une place lui a ete donnee
        cotes place_donnee{0, 0, 0, 0};
        std::chrono::steady_clock::time_point donnee_a{}; // quand
        bool posee = false;                               // deplacee par l'etudiant depuis
        cotes place_posee{0, 0, 0, 0};
    };

    // Les places de toutes les fenetres, celle-ci comptee comme montree.
    std::vector<cotes> places(Fl_Window const* a_montrer);
    void note_deplacements();
    void pose(connue& c, cotes const& place);
    // Indications de taille au facteur f.
    void borne(connue const& c, double f) const;
    decorations bords();
    cotes zone() const; // de travail, sur l'ecran de la principale

    zoom_fenetres& zoom_;
    std::vector<connue> liste_;
    std::optional<decorations> prevues_; // demandees une fois au gestionnaire
};

#endif
