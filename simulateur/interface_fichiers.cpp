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
