// Construction de la fenetre "Aller à", a positions fixes : la saisie sous son
// libelle, le bouton a sa droite, la place d'un refus sur deux lignes dessous.
#include "simulateur/interface_aller_a.h"

namespace {

constexpr Fl_Color couleur_refus = FL_DARK_RED;
constexpr int taille_refus = 12;

} // namespace

aller_a_class::aller_a_class() {
    aller_a = new Fl_Double_Window(340, 110, "aller_a");
    aller_a->box(FL_NO_BOX);
    aller_a->user_data(this);

    Fl_Box* fond = new Fl_Box(0, 0, 340, 110);
    fond->box(FL_UP_BOX);
    SAISIE = new Fl_Input(10, 30, 240, 25, "Aller à (adresse ou étiquette)");
    SAISIE->align(FL_ALIGN_TOP_LEFT);
    SAISIE->tooltip("$1000, 4096, 0x1000 ou une étiquette de la source chargée");
    ALLER = new Fl_Return_Button(260, 30, 70, 25, "Aller");
    MESSAGE = new Fl_Box(10, 62, 320, 40);
    MESSAGE->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP);
    MESSAGE->labelsize(taille_refus);
    MESSAGE->labelcolor(couleur_refus);
    aller_a->end();
}
