// Construction des widgets du mode marche, a positions fixes, de x 268 a 564 :
// le pas arriere, le choix de la vitesse (le controleur y met les vitesses) et le
// texte d'etat.
#include "simulateur/interface_marche.h"

#include <FL/forms.H>

namespace {

constexpr int haut_ligne = 8; // centre a y 20, comme "Fichier" et les boutons de fichiers
constexpr int cote_bouton = 24;
constexpr int taille_texte = 12;
constexpr Fl_Color vert_pas = 62; // celui de STEP, dont ce bouton est le miroir

} // namespace

barre_marche_class::barre_marche_class(SIM_class* fenetre) {
    fl_addto_form(fenetre->SIM);
    B_RECULE = new Fl_Button(268, haut_ligne, cote_bouton, cote_bouton, "@4->|");
    B_RECULE->labelcolor(vert_pas);
    B_RECULE->tooltip("Pas arrière");
    // Le libelle "Vitesse" se dessine a gauche du choix, de 302 a 344.
    VITESSE = new Fl_Choice(346, haut_ligne, 58, cote_bouton, "Vitesse");
    VITESSE->labelsize(taille_texte);
    VITESSE->textsize(taille_texte);
    VITESSE->tooltip("Instructions par seconde du mode marche");
    // Deux lignes : "Arrêt : fin de programme" (151 pixels) tient sur la premiere.
    ETAT = new Fl_Box(408, 4, 158, 32);
    ETAT->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_WRAP | FL_ALIGN_CLIP);
    ETAT->labelsize(taille_texte);
    ETAT->tooltip("Ce que fait la machine");
    fl_end_form();
}
