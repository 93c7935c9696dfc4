// Construction de la platine et de son bouton, a positions fixes : les rangees de
// LED et d'interrupteurs l'une sous l'autre, bit 7 a gauche, puis les afficheurs
// cote a cote. Les symboles du bouton et des interrupteurs sont dessines ici, a la
// taille de leur libelle : le zoom les agrandit sans etirer d'image.
#include "simulateur/interface_platine.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/forms.H>

namespace {

constexpr int x_bouton = 178; // place laissee au bouton dans la barre du haut
constexpr int haut_bouton = 8;
constexpr int cote_bouton = 24;

constexpr int largeur_platine = 360;
constexpr int hauteur_platine = 330;
constexpr int marge = 20;
constexpr int pas_organe = 40; // d'un bit au suivant dans une rangee
constexpr int cote_led = 24;
constexpr int largeur_interrupteur = 24;
constexpr int hauteur_interrupteur = 40;
constexpr int hauteur_titre = 20;
constexpr int taille_numero = 12; // numero du bit sous son organe
constexpr int hauteur_numero = 16;
constexpr int taille_levier = 34; // symbole d'un interrupteur : 40 pixels de haut
constexpr int largeur_afficheur = 90;
constexpr int hauteur_afficheur = 124;
constexpr int x_premier_afficheur = 70; // deux boitiers et leur ecart, centres

// Un segment dans le boitier de son afficheur, par numero de bit (a ... g, point).
struct place_segment {
    int x, y, w, h;
};
constexpr place_segment segments[bits_rangee] = {
    {20, 10, 40, 8},  // a : en haut
    {60, 18, 8, 40},  // b : en haut a droite
    {60, 66, 8, 40},  // c : en bas a droite
    {20, 106, 40, 8}, // d : en bas
    {12, 66, 8, 40},  // e : en bas a gauche
    {12, 18, 8, 40},  // f : en haut a gauche
    {20, 58, 40, 8},  // g : au milieu
    {74, 106, 8, 8},  // point decimal
};

// Numeros des bits, libelles des organes (la boite a outils ne les copie pas).
constexpr char const* numeros[bits_rangee] = {"0", "1", "2", "3", "4", "5", "6", "7"};

// Rectangle plein dans le repere d'un symbole (-1 a 1 sur chaque axe).
void pave(double x0, double y0, double x1, double y1) {
    fl_begin_polygon();
    fl_vertex(x0, y0);
    fl_vertex(x1, y0);
    fl_vertex(x1, y1);
    fl_vertex(x0, y1);
    fl_end_polygon();
}

// Le bouton de la barre : un "8." de sept segments.
void dessine_huit(Fl_Color couleur) {
    fl_color(couleur);
    pave(-0.45, -0.9, 0.25, -0.72);   // a
    pave(0.25, -0.72, 0.43, -0.09);   // b
    pave(0.25, 0.09, 0.43, 0.72);     // c
    pave(-0.45, 0.72, 0.25, 0.9);     // d
    pave(-0.63, 0.09, -0.45, 0.72);   // e
    pave(-0.63, -0.72, -0.45, -0.09); // f
    pave(-0.45, -0.09, 0.25, 0.09);   // g
    pave(0.6, 0.72, 0.78, 0.9);       // point
}

// Un interrupteur a glissiere : la fente, et le levier en haut ou en bas.
void dessine_interrupteur(Fl_Color couleur, bool haut) {
    fl_color(couleur);
    fl_begin_loop();
    fl_vertex(-0.45, -0.95);
    fl_vertex(0.45, -0.95);
    fl_vertex(0.45, 0.95);
    fl_vertex(-0.45, 0.95);
    fl_end_loop();
    if (haut) {
        pave(-0.3, -0.82, 0.3, -0.05);
    } else {
        pave(-0.3, 0.05, 0.3, 0.82);
    }
}
void dessine_interrupteur_haut(Fl_Color couleur) {
    dessine_interrupteur(couleur, true);
}
void dessine_interrupteur_bas(Fl_Color couleur) {
    dessine_interrupteur(couleur, false);
}

// Titre d'une rangee, a gauche au-dessus de ses organes.
void titre(int x, int y, int w, char const* texte) {
    Fl_Box* o = new Fl_Box(x, y, w, hauteur_titre, texte);
    o->labelfont(FL_HELVETICA_BOLD);
    o->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
}

// Un organe d'une rangee de LED ou d'interrupteurs, et son numero de bit dessous.
Fl_Widget* organe_de_rangee(organe genre, int bit, int y) {
    int const x = marge + pas_organe * place_du_bit(bit) + (pas_organe - cote_led) / 2;
    int const h = genre == organe::led ? cote_led : hauteur_interrupteur;
    Fl_Box* numero = new Fl_Box(x, y + h, cote_led, hauteur_numero, numeros[bit]);
    numero->labelsize(taille_numero);
    if (genre == organe::led) {
        Fl_Box* o = new Fl_Box(FL_OVAL_BOX, x, y, cote_led, cote_led, nullptr);
        o->color(couleur_led_eteinte);
        return o;
    }
    // Le symbole se dessine dans un carre de la hauteur d'une ligne du libelle.
    Fl_Button* o = new Fl_Button(x, y, largeur_interrupteur, h, interrupteur_bas);
    o->box(FL_FLAT_BOX);
    o->labelsize(taille_levier);
    o->tooltip("Interrupteur : un clic bascule le bit (grisé : le bit est une sortie)");
    return o;
}

} // namespace

barre_platine_class::barre_platine_class(SIM_class* fenetre) {
    fl_add_symbol("kvhuit", dessine_huit, 1);
    fl_add_symbol("kvinterhaut", dessine_interrupteur_haut, 1);
    fl_add_symbol("kvinterbas", dessine_interrupteur_bas, 1);
    fl_addto_form(fenetre->SIM);
    B_PLATINE = new Fl_Button(x_bouton, haut_bouton, cote_bouton, cote_bouton, "@kvhuit");
    B_PLATINE->labelcolor(couleur_organe_allume);
    B_PLATINE->tooltip("Platine (Ctrl+P)");
    fl_end_form();
}

platine_class::platine_class() {
    platine = new Fl_Double_Window(largeur_platine, hauteur_platine, "platine");
    platine->box(FL_NO_BOX);
    platine->user_data(this);

    Fl_Box* fond = new Fl_Box(0, 0, largeur_platine, hauteur_platine);
    fond->box(FL_UP_BOX);
    int y = 8;
    int x_afficheur = x_premier_afficheur;
    for (int r = 0; r < nb_rangees_platine; ++r) {
        rangee_platine const& rangee = rangees_platine[r];
        if (rangee.genre == organe::afficheur) {
            // Cote a cote sur la derniere rangee, chacun sous son titre.
            titre(x_afficheur, y, largeur_afficheur, rangee.titre);
            int const yb = y + hauteur_titre + 4;
            Fl_Box* boitier = new Fl_Box(FL_FLAT_BOX, x_afficheur, yb, largeur_afficheur,
                                         hauteur_afficheur, nullptr);
            boitier->color(couleur_fond_afficheur);
            for (int bit = 0; bit < bits_rangee; ++bit) {
                place_segment const& s = segments[bit];
                Fl_Box* o = new Fl_Box(bit == bits_rangee - 1 ? FL_OVAL_BOX : FL_FLAT_BOX,
                                       x_afficheur + s.x, yb + s.y, s.w, s.h, nullptr);
                o->color(couleur_segment_eteint);
                o->tooltip(noms_segments[bit]);
                ORGANES[r][bit] = o;
            }
            x_afficheur += largeur_afficheur + 2 * marge;
            continue;
        }
        titre(marge, y, largeur_platine - 2 * marge, rangee.titre);
        int const yo = y + hauteur_titre + 4;
        for (int bit = 0; bit < bits_rangee; ++bit) {
            ORGANES[r][bit] = organe_de_rangee(rangee.genre, bit, yo);
        }
        int const h = rangee.genre == organe::led ? cote_led : hauteur_interrupteur;
        y = yo + h + hauteur_numero + 6;
    }
    platine->end();
}
