// Construction des widgets des exercices, a positions fixes, et des deux symboles
// des boutons. Un symbole se dessine dans le carre -1..1 que la boite a outils
// met a l'echelle du libelle : il grandit avec labelsize().
#include "simulateur/interface_exercice.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/forms.H>

#include <initializer_list>

namespace {

constexpr int haut_bouton = 8; // centre a y 20, comme "Fichier"
constexpr int cote_bouton = 24;
constexpr Fl_Color vert_verifier = FL_DARK_GREEN;

// Une feuille au coin plie, trois lignes d'enonce.
void dessine_exercice(Fl_Color c) {
    fl_color(c);
    fl_begin_loop();
    fl_vertex(-0.6, -0.9);
    fl_vertex(0.3, -0.9);
    fl_vertex(0.6, -0.6);
    fl_vertex(0.6, 0.9);
    fl_vertex(-0.6, 0.9);
    fl_end_loop();
    for (double y : {-0.35, 0.05, 0.45}) {
        fl_begin_polygon();
        fl_vertex(-0.35, y - 0.07);
        fl_vertex(0.35, y - 0.07);
        fl_vertex(0.35, y + 0.07);
        fl_vertex(-0.35, y + 0.07);
        fl_end_polygon();
    }
}

// Une coche epaisse (polygone concave).
void dessine_verifier(Fl_Color c) {
    fl_color(c);
    fl_begin_complex_polygon();
    fl_vertex(-0.85, 0.0);
    fl_vertex(-0.6, -0.25);
    fl_vertex(-0.25, 0.15);
    fl_vertex(0.6, -0.75);
    fl_vertex(0.85, -0.5);
    fl_vertex(-0.25, 0.65);
    fl_end_complex_polygon();
}

} // namespace

barre_exercice_class::barre_exercice_class(SIM_class* fenetre) {
    // Une fois par processus : chaque ajout prend une place dans la table des symboles.
    static bool const symboles = fl_add_symbol("exercice", dessine_exercice, 1) &&
                                 fl_add_symbol("verifier", dessine_verifier, 1);
    (void)symboles;
    fl_addto_form(fenetre->SIM);
    B_EXERCICE = new Fl_Button(204, haut_bouton, cote_bouton, cote_bouton, "@exercice");
    B_EXERCICE->tooltip("Exercice : ouvrir un exercice (.toml), puis montrer ou cacher ses "
                        "résultats (Ctrl+Maj+E)");
    B_VERIFIER = new Fl_Button(230, haut_bouton, cote_bouton, cote_bouton, "@verifier");
    B_VERIFIER->labelcolor(vert_verifier);
    B_VERIFIER->tooltip("Vérifier le programme chargé d'après l'exercice (F6)");
    fl_end_form();
}

fenetre_exercice_class::fenetre_exercice_class() {
    // L'enonce en haut, la mise en place sous le message : la liste des cas garde
    // sa taille, et la fenetre s'agrandit par elle.
    exercice = new Fl_Double_Window(620, 570, "Exercice");
    exercice->box(FL_NO_BOX);
    exercice->user_data(this);

    Fl_Box* fond = new Fl_Box(0, 0, 620, 570);
    fond->box(FL_UP_BOX);
    TITRE = new Fl_Box(10, 10, 600, 24);
    TITRE->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
    TITRE->labelfont(FL_HELVETICA_BOLD);
    ENONCE = new Fl_Text_Display(10, 40, 600, 96);
    ENONCE->box(FL_DOWN_BOX);
    ENONCE->color(FL_WHITE);
    ENONCE->textsize(13);
    ENONCE->wrap_mode(Fl_Text_Display::WRAP_AT_BOUNDS, 0);
    ENONCE->tooltip("L'énoncé de l'exercice");
    CAS = new Fl_Hold_Browser(10, 142, 600, 200);
    CAS->box(FL_DOWN_BOX);
    CAS->color(FL_WHITE);
    CAS->tooltip("Un cas par ligne : choisissez-en un pour le préparer");
    MESSAGE = new Fl_Box(10, 347, 600, 44);
    MESSAGE->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP | FL_ALIGN_CLIP);
    MESSAGE->labelsize(13);
    MISE_EN_PLACE = new Fl_Browser(10, 394, 600, 78);
    MISE_EN_PLACE->box(FL_DOWN_BOX);
    MISE_EN_PLACE->color(FL_WHITE);
    MISE_EN_PLACE->textsize(13);
    MISE_EN_PLACE->tooltip("Ce que le cas choisi pose avant de lancer le programme, et ce "
                           "qu'il change en route");
    TOTAL = new Fl_Box(10, 476, 600, 22);
    TOTAL->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
    TOTAL->labelfont(FL_HELVETICA_BOLD);
    PREPARE = new Fl_Box(10, 500, 600, 22);
    PREPARE->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
    PREPARE->labelsize(13);
    VERIFIER = new Fl_Button(10, 534, 120, 30, "Vérifier (F6)");
    VERIFIER->tooltip("Corriger le programme chargé d'après chaque cas (en cours : la reprendre)");
    PREPARER = new Fl_Return_Button(136, 534, 180, 30, "Préparer le cas");
    // A gauche : la fenetre retrecie, le libelle reste a cote de la fleche d'Entree.
    PREPARER->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
    PREPARER->tooltip("Recharger le programme et poser le cas choisi, pour le suivre pas à "
                      "pas (Entrée)");
    AUTRE = new Fl_Button(322, 534, 150, 30, "Autre exercice...");
    AUTRE->tooltip("Ouvrir un autre fichier d'exercice (.toml)");
    FERMER = new Fl_Button(510, 534, 100, 30, "Fermer");
    // Plus petite, l'enonce, la liste des cas, le message et la mise en place
    // raccourcissent ensemble : un petit ecran garde un peu de chacun, et les boutons.
    Fl_Box* etirable = new Fl_Box(10, 40, 600, 432);
    exercice->end();
    exercice->resizable(etirable);
}
