// Construction des widgets du mode marche, a positions fixes, de x 268 a 564 :
// le pas arriere, le choix de la vitesse (le controleur y met les vitesses) et le
// texte d'etat.
#include "simulateur/interface_marche.h"

#include <FL/fl_draw.H>
#include <FL/forms.H>

#include <algorithm>

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

namespace {

constexpr int haut_pile = 350; // PILE15, la case du haut ; PILE00 finit a 670
constexpr int case_pile = 20;
constexpr int nb_cases = 16;
constexpr Fl_Color couleur_posee = FL_DARK_GREEN;
constexpr Fl_Color couleur_otee = FL_DARK_RED;
constexpr int taille_bande = 10;

} // namespace

reperes_pile::reperes_pile(int x, int y, int w, int h, cote c) : Fl_Widget(x, y, w, h), cote_(c) {
    box(FL_NO_BOX);
}

void reperes_pile::montre(int sp, int premiere, int derniere, int premiere_otee,
                          int derniere_otee) {
    if (sp == sp_ && premiere == premiere_ && derniere == derniere_ &&
        premiere_otee == premiere_otee_ && derniere_otee == derniere_otee_) {
        return;
    }
    sp_ = sp;
    premiere_ = premiere;
    derniere_ = derniere;
    premiere_otee_ = premiere_otee;
    derniere_otee_ = derniere_otee;
    redraw();
}

void reperes_pile::draw() {
    // Le fond de la fenetre efface ce qui y etait ; les cases suivent le zoom
    // avec le widget : seize rangs egaux sur sa hauteur, le fond en bas.
    fl_color(parent() != nullptr ? parent()->color() : FL_BACKGROUND_COLOR);
    fl_rectf(x(), y(), w(), h());
    auto haut_de = [this](int i) { return y() + (nb_cases - 1 - i) * h() / nb_cases; };
    int const rang = h() / nb_cases;
    if (cote_ == sommet) {
        if (sp_ >= 0 && sp_ < nb_cases) {
            int const y0 = haut_de(sp_);
            int const d = std::min(w(), rang / 2);
            fl_color(FL_BLACK);
            fl_polygon(x(), y0 + rang / 2 - d, x() + w() - 1, y0 + rang / 2, x(),
                       y0 + rang / 2 + d);
        }
        return;
    }
    auto barre = [&](int i, Fl_Color c) {
        if (i >= 0 && i < nb_cases) {
            fl_color(c);
            fl_rectf(x(), haut_de(i) + 2, w(), rang - 4);
        }
    };
    for (int i = premiere_; i <= derniere_; ++i) {
        barre(i, couleur_posee);
    }
    for (int i = premiere_otee_; i <= derniere_otee_; ++i) {
        barre(i, couleur_otee);
    }
}

bande_pile_class::bande_pile_class(SIM_class* fenetre) {
    fl_addto_form(fenetre->SIM);
    // Entre le cadre du desassemblage (fini a 200) et celui de la pile (de 210),
    // et entre celui-ci (fini a 335) et le titre "PILE" (de 340).
    SOMMET = new reperes_pile(201, haut_pile, 8, nb_cases * case_pile, reperes_pile::sommet);
    SOMMET->tooltip("Sommet de la pile (SP)");
    EFFETS = new reperes_pile(336, haut_pile, 4, nb_cases * case_pile, reperes_pile::effets);
    EFFETS->tooltip("Dernière instruction : entrées posées (vert), ôtées (rouge)");
    // Les cadres finissent a 680, la fenetre a 695.
    PAS = new Fl_Box(30, 681, 170, 13);
    SP = new Fl_Box(210, 681, 125, 13);
    for (Fl_Box* b : {PAS, SP}) {
        b->box(FL_NO_BOX);
        b->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
        b->labelsize(taille_bande);
    }
    PAS->tooltip("Instructions exécutées depuis le chargement");
    SP->tooltip("Indice du sommet de la pile, -1 : vide");
    fl_end_form();
}
