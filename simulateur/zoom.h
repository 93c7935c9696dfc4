// Zoom des fenetres : un facteur (echelle.h) applique a l'arbre des widgets de
// chaque fenetre inscrite, depuis la geometrie concue de chaque widget, notee a
// l'inscription. Aller et retour (x2 puis x1) rendent donc la geometrie concue au
// pixel pres, et a 1 rien ne change. Aucun code par widget : positions, tailles,
// tailles des libelles et des textes, barres de defilement, symboles (dessines a
// la taille du libelle) suivent ; les polices sont dessinees a la taille a
// l'echelle, aucune image n'est etiree.
//
// Rejoindre le zoom, pour une fenetre : une fois ses widgets crees (constructeur
// de sa classe, puis ce que le controleur y ajoute), un seul appel
//     zoom.inscrit(fenetre);
// qui note sa geometrie concue et lui applique le facteur courant. Une fenetre du
// programme passe plutot par bureau_fenetres::rejoint (bureau.h), qui l'inscrit
// ici et la donne au placement. Sont suivis :
// - la fenetre, qui garde son coin haut gauche et revient sur l'ecran si elle en
//   sortirait (le placement la pose ensuite) ;
// - chaque widget : x, y, w, h, labelsize(), et textsize() des champs, menus,
//   choix, navigateurs, compteurs et Fl_Text_Display (donc Fl_Text_Editor) ;
// - un Fl_Browser : ses codes de taille "@l", "@m", "@s" et "@Snn" (des tailles
//   absolues pour la boite a outils) et ses column_widths() ;
// - un Fl_Text_Display : sa table de styles (highlight_data, chaque size), la
//   taille et la marge de ses numeros de ligne et sa barre de defilement ;
// - les reglages communs : Fl::scrollbar_size(), la taille des bulles d'aide et
//   du texte des alertes.
// Les widgets composes (navigateurs, Fl_Text_Display, Fl_Input_Choice,
// Fl_Spinner, Fl_Scroll, Fl_Help_View) placent eux-memes leurs enfants : le zoom
// ne descend pas en eux.
//
// Ce qui change a l'execution :
// - une taille posee par le code (fl_set_object_lsize(w, 13) a chaque
//   rafraichissement) passe par zoom.taille(13) ; la taille concue notee reste
//   celle de l'inscription ;
// - un widget ajoute a une fenetre deja inscrite, une table de styles remplacee
//   (highlight_data) ou des lignes a codes de taille ajoutees a un navigateur :
//   rappeler zoom.inscrit(fenetre). Le nouveau est pris a sa geometrie concue ;
//   ce qui etait deja connu garde la sienne ;
// - une fenetre detruite avant le zoom : zoom.oublie(fenetre) avant le delete.
// Les dialogues de la boite a outils (selecteur de fichiers, alertes) ne sont pas
// inscrits ; seul le texte des alertes suit le facteur.
#ifndef KARVELA_ZOOM_H
#define KARVELA_ZOOM_H

#include <FL/Fl_Browser.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Window.H>

#include <string>
#include <unordered_map>
#include <vector>

#include "classe/echelle.h"

class zoom_fenetres {
  public:
    zoom_fenetres();
    // Rend aux reglages communs leur valeur concue.
    ~zoom_fenetres();
    zoom_fenetres(zoom_fenetres const&) = delete;
    zoom_fenetres& operator=(zoom_fenetres const&) = delete;

    void inscrit(Fl_Window* fenetre);
    void oublie(Fl_Window* fenetre);
    // Le facteur (permis par echelle.h) applique a toutes les fenetres inscrites.
    void applique(double facteur);
    double facteur() const { return facteur_; }
    // Taille ou longueur concue, a l'echelle du facteur courant.
    int taille(int taille_concue) const;
    bool connait(Fl_Window const* fenetre) const;
    // Apres chaque fl_show_form : la fenetre revient sur son ecran si elle en sort
    // (coin haut gauche d'abord, quand elle est plus grande que lui). La premiere
    // fenetre montree relit les reglages de la boite a outils, qui remet la taille
    // des barres de defilement : ce qu'elle y pose est la taille concue.
    void montree(Fl_Window* fenetre);

  private:
    struct concu {
        cotes geometrie;
        int taille_libelle;
        int taille_texte; // -1 : le widget n'a pas de texte propre
        int barre;        // barre de defilement propre ; 0 : celle de tous
        int taille_numeros;
        int largeur_numeros; // marge des numeros de ligne d'un Fl_Text_Display
    };
    // Ce que le proprietaire a pose (concu) et ce que le zoom a mis a la place.
    struct lignes_navigateur {
        std::vector<std::string> concues, montrees;
        int const* colonnes_proprietaire = nullptr; // finies par 0
        std::vector<int> colonnes_montrees;
    };
    struct styles_texte {
        Fl_Text_Display::Style_Table_Entry const* proprietaire = nullptr;
        std::vector<Fl_Text_Display::Style_Table_Entry> montres;
    };

    void note(Fl_Widget* w);
    void met_a_l_echelle(Fl_Widget* w);
    void met_fenetre_a_l_echelle(Fl_Window* f);
    void met_lignes_a_l_echelle(Fl_Browser* b);
    void met_styles_a_l_echelle(Fl_Text_Display* d);
    void met_reglages_a_l_echelle();
    void oublie_widget(Fl_Widget* w);
    static void garde_a_l_ecran(Fl_Window* fenetre);

    double facteur_ = 1.0;
    std::vector<Fl_Window*> fenetres_;
    std::unordered_map<Fl_Widget const*, concu> concus_;
    std::unordered_map<Fl_Browser const*, lignes_navigateur> lignes_;
    std::unordered_map<Fl_Text_Display const*, styles_texte> styles_;
    int barre_concue_;  // Fl::scrollbar_size()
    int bulle_concue_;  // Fl_Tooltip::size()
    int message_concu_; // fl_message_size_ (-1 : taille normale)
};

#endif
