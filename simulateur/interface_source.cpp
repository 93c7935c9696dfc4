// Construction de la fenetre du source, a positions fixes : les commandes en haut,
// le texte a gauche et les symboles a droite, la ligne d'etat puis les
// diagnostics en bas. Le texte s'agrandit avec la fenetre. Le bouton de la barre
// du haut prend x 152, entre les boutons de fichiers et le mode marche.
#include "simulateur/interface_source.h"

#include <FL/forms.H>

namespace {

constexpr int haut_bouton = 8; // centre a y 20, comme les autres boutons de la barre
constexpr int cote_bouton = 24;
constexpr int taille_texte = 12;
constexpr int largeur = 720;
constexpr int hauteur = 695; // celle de la fenetre principale
constexpr int bas_editeur = 520;
constexpr int x_symboles = 516;

Fl_Button* bouton_commande(int x, int w, char const* libelle, char const* bulle) {
    Fl_Button* b = new Fl_Button(x, 4, w, 24, libelle);
    b->labelsize(taille_texte);
    b->tooltip(bulle);
    // Son raccourci ne lui donne pas le clavier : la frappe reste dans le texte.
    b->clear_visible_focus();
    return b;
}

} // namespace

source_class::source_class(SIM_class* principale) {
    fl_addto_form(principale->SIM);
    B_FENETRE = new Fl_Button(152, haut_bouton, cote_bouton, cote_bouton, "@filenew");
    B_FENETRE->tooltip("Fenêtre du source (Ctrl+E)");
    fl_end_form();

    source = new Fl_Double_Window(largeur, hauteur, "source");
    source->user_data(this);
    NOUVEAU = bouton_commande(4, 72, "Nouveau", "Nouvelle source d'après un modèle (Ctrl+N)");
    ENREGISTRER = bouton_commande(80, 88, "Enregistrer", "Enregistrer (Ctrl+S)");
    ENREGISTRER_SOUS = bouton_commande(172, 126, "Enregistrer sous...",
                                       "Enregistrer dans un autre fichier (Ctrl+Maj+S)");
    ANNULER = bouton_commande(302, 70, "Annuler", "Annuler la dernière modification (Ctrl+Z)");
    RETABLIR =
        bouton_commande(376, 70, "Rétablir", "Rétablir ce qui a été annulé (Ctrl+Y, Ctrl+Maj+Z)");
    CHARGER =
        bouton_commande(450, largeur - 454, "Assembler et charger",
                        "Enregistrer si modifiée, assembler et charger dans la machine (Ctrl+R)");
    EDITEUR = new editeur_source(4, 32, x_symboles - 8, bas_editeur - 32);

    TITRE_SYMBOLES = new Fl_Box(x_symboles, 32, largeur - x_symboles - 4, 20, "Symboles");
    TITRE_SYMBOLES->labelsize(taille_texte);
    TITRE_SYMBOLES->labelfont(FL_HELVETICA_BOLD);
    TITRE_SYMBOLES->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
    SYMBOLES = new Fl_Hold_Browser(x_symboles, 52, largeur - x_symboles - 4, bas_editeur - 52);
    SYMBOLES->textsize(taille_texte);
    SYMBOLES->textfont(FL_COURIER);
    SYMBOLES->tooltip("Un clic montre l'adresse du symbole dans le dump");
    static int const colonnes_symboles[] = {72, 48, 0}; // nom, valeur, contenu
    SYMBOLES->column_widths(colonnes_symboles);

    ETAT = new Fl_Box(4, bas_editeur + 4, largeur - 100, 22);
    ETAT->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
    ETAT->labelsize(taille_texte);
    MODIFIE = new Fl_Box(largeur - 92, bas_editeur + 4, 88, 22);
    MODIFIE->align(FL_ALIGN_INSIDE | FL_ALIGN_RIGHT);
    MODIFIE->labelsize(taille_texte);
    MODIFIE->labelfont(FL_HELVETICA_ITALIC);
    DIAGNOSTICS = new Fl_Hold_Browser(4, bas_editeur + 30, largeur - 8, hauteur - bas_editeur - 34);
    DIAGNOSTICS->textsize(taille_texte);
    DIAGNOSTICS->tooltip("Erreurs et avertissements ; un clic mène à la ligne");
    source->resizable(EDITEUR);
    source->end();
}
