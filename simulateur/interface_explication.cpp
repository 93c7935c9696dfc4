// Construction de la fenetre "Pourquoi ?", a positions fixes : la chaine en
// haut, qui grandit avec la fenetre ; dessous, le message et "Revenir".
#include "simulateur/interface_explication.h"

namespace {

constexpr int largeur = 560;
constexpr int hauteur = 330;
constexpr int taille_texte = 12;

} // namespace

explication_class::explication_class() {
    explication = new Fl_Double_Window(largeur, hauteur, "explication");
    explication->box(FL_NO_BOX);
    explication->user_data(this);

    Fl_Box* fond = new Fl_Box(0, 0, largeur, hauteur);
    fond->box(FL_UP_BOX);
    CHAINE = new Fl_Hold_Browser(10, 10, largeur - 20, hauteur - 55);
    CHAINE->textsize(taille_texte);
    CHAINE->format_char('\0'); // un texte d'instruction n'est jamais un code de mise en forme
    CHAINE->tooltip("Un clic sur une instruction ramène la machine juste après elle");
    MESSAGE = new Fl_Box(10, hauteur - 38, largeur - 120, 28);
    MESSAGE->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_WRAP | FL_ALIGN_CLIP);
    MESSAGE->labelsize(taille_texte);
    REVENIR = new Fl_Button(largeur - 100, hauteur - 38, 90, 28, "Revenir");
    REVENIR->tooltip("La machine telle qu'elle était quand vous avez demandé");
    DEMANDE = new Fl_Button(0, 0, 1, 1);
    DEMANDE->hide();
    explication->resizable(CHAINE);
    explication->end();
}
