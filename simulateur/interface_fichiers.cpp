// Construction des widgets de fichiers, a positions fixes. Les deux boutons vont
// dans la barre du haut, de x 95 a 148 : "Fichier" finit a 90 ; de 150 a 262,
// quatre places de 24 pixels attendent d'autres boutons, le mode marche commence a
// 265. Le nom du fichier va sous la barre, a droite, au-dessus des registres.
#include "simulateur/interface_fichiers.h"

#include <FL/forms.H>

namespace {

constexpr int haut_bouton = 8; // centre a y 20, comme "Fichier"
constexpr int cote_bouton = 24;

} // namespace

barre_fichiers_class::barre_fichiers_class(SIM_class* fenetre) {
    fl_addto_form(fenetre->SIM);
    B_SOURCE = new Fl_Button(96, haut_bouton, cote_bouton, cote_bouton, "@fileopen");
    B_SOURCE->tooltip("Ouvrir source...");
    B_RECHARGER = new Fl_Button(122, haut_bouton, cote_bouton, cote_bouton, "@reload");
    B_RECHARGER->tooltip("Recharger");
    // Un nom plus long est coupe, le chemin entier est dans la bulle.
    NOM_FICHIER = new Fl_Box(460, 40, 166, 20);
    NOM_FICHIER->align(FL_ALIGN_INSIDE | FL_ALIGN_RIGHT | FL_ALIGN_CLIP);
    NOM_FICHIER->labelsize(12);
    NOM_FICHIER->tooltip("Aucun fichier ouvert");
    fl_end_form();
}

erreurs_assemblage_class::erreurs_assemblage_class() {
    erreurs = new Fl_Double_Window(680, 320, "erreurs");
    erreurs->box(FL_NO_BOX);
    erreurs->user_data(this);

    Fl_Box* fond = new Fl_Box(0, 0, 680, 320);
    fond->box(FL_UP_BOX);
    TITRE = new Fl_Box(10, 10, 660, 24);
    TITRE->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
    TITRE->labelfont(FL_HELVETICA_BOLD);
    LISTE = new Fl_Browser(10, 40, 660, 230);
    LISTE->box(FL_DOWN_BOX);
    LISTE->color(FL_WHITE);
    LISTE->tooltip("Un diagnostic par ligne, avec sa place dans la source");
    FERMER = new Fl_Return_Button(290, 280, 100, 30, "Fermer");
    FERMER->tooltip("Fermer (Entrée)");
    erreurs->end();
}
