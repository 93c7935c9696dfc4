// Port parallele 8 bits : ses registres vivent dans la memoire simulee et leur
// logique dans registre_port, ses widgets dans la fenetre principale. Les bits
// d'entree gardent le choix de l'utilisateur, les bits de sortie prennent ce que
// le programme a ecrit dans le registre.
// La direction effective n'est relue en memoire qu'a configure et react_out :
// react_in se fie a la derniere direction calculee.
#include "simulateur/periph.h"

#include <FL/forms.H>

#include "chaines/chaines.h"
#include "simulateur/port_es.h"

namespace {

constexpr Fl_Color couleur_sortie = FL_RED;   // 88 : bit en sortie, pose par le programme
constexpr Fl_Color couleur_entree = FL_GREEN; // 63 : bit en entree, pose par un clic

constexpr int largeur_texte = 80; // nom et valeur d'un registre
constexpr int hauteur_texte = 20;
constexpr int cote_bouton = 10; // bouton d'un bit, carre
constexpr int taille_nom = 18;  // taille du nom d'un registre

// Nom et valeur d'un registre, l'un sous l'autre ; rend le texte de la valeur.
Fl_Widget* ajoute_registre(int x, int y, std::string const& nom) {
    Fl_Widget* titre = fl_add_text(FL_NO_BOX, x, y, largeur_texte, hauteur_texte, nom.c_str());
    // Copie : le texte ne doit pas dependre de la vie de la chaine du port.
    titre->copy_label(nom.c_str());
    fl_set_object_lsize(titre, taille_nom);
    fl_set_object_lalign(titre, FL_ALIGN_INSIDE);
    fl_set_object_lstyle(titre, FL_BOLD_STYLE);

    Fl_Widget* valeur =
        fl_add_text(FL_NO_BOX, x, y + hauteur_texte, largeur_texte, hauteur_texte, "00");
    fl_set_object_boxtype(valeur, FL_DOWN_BOX);
    fl_set_object_lsize(valeur, FL_NORMAL_SIZE);
    fl_set_object_lalign(valeur, FL_ALIGN_INSIDE);
    return valeur;
}

} // namespace

// Tout est mis a zero, meme ce que configure fixera : un port non configure
// ne doit jamais suivre un pointeur indetermine.
portparallele::portparallele()
    : SIM(nullptr), ES{}, reg(std::make_unique<registre_port>()), x_port_valeur(0),
      y_port_valeur(0), obj_port_valeur(nullptr), x_port_direction(0), y_port_direction(0),
      obj_port_direction(nullptr) {}

// Les widgets appartiennent a la fenetre principale : seuls les noms s'en vont.
portparallele::~portparallele() = default;

void portparallele::configure(SIM_class* fd_sim_param, int x_port_valeur_param,
                              int y_port_valeur_param, char const* nom_port_valeur_param,
                              unsigned short adresse_port_valeur_param, int x_port_direction_param,
                              int y_port_direction_param, char const* nom_port_direction_param,
                              unsigned short adresse_port_direction_param,
                              unsigned char masque_forc_sortie_param,
                              unsigned char masque_forc_entree_param, mem_64k* memoire_param) {
    SIM = fd_sim_param->SIM;
    x_port_valeur = x_port_valeur_param;
    y_port_valeur = y_port_valeur_param;
    nom_port_valeur = nom_port_valeur_param ? nom_port_valeur_param : "";
    x_port_direction = x_port_direction_param;
    y_port_direction = y_port_direction_param;
    nom_port_direction = nom_port_direction_param ? nom_port_direction_param : "";
    // Le port a un registre de direction exactement quand celui-ci a un nom.
    reg->configure({adresse_port_valeur_param, !nom_port_direction.empty(),
                    adresse_port_direction_param, masque_forc_sortie_param,
                    masque_forc_entree_param},
                   memoire_param);

    fl_addto_form(fd_sim_param->SIM);
    obj_port_valeur = ajoute_registre(x_port_valeur, y_port_valeur, nom_port_valeur);
    // Bit 7 a gauche, bit 0 a droite : la rangee se lit comme le texte binaire.
    for (int n = 0; n < 8; ++n) {
        ES[n] = fl_add_button(FL_NORMAL_BUTTON, x_port_valeur + cote_bouton * (7 - n),
                              y_port_valeur + 2 * hauteur_texte, cote_bouton, cote_bouton, "");
        fl_set_object_boxtype(ES[n], FL_EMBOSSED_BOX);
    }
    if (!nom_port_direction.empty()) {
        obj_port_direction =
            ajoute_registre(x_port_direction, y_port_direction, nom_port_direction);
    }
    fl_end_form();

    maj_etat_boutons();
}

void portparallele::maj_etat_boutons() {
    unsigned char const direction = reg->direction();
    for (int n = 0; n < 8; ++n) {
        Fl_Color couleur = (direction >> n) & 1 ? couleur_sortie : couleur_entree;
        fl_set_object_color(ES[n], couleur, couleur);
        ES[n]->redraw();
    }
    if (!nom_port_direction.empty()) {
        obj_port_direction->copy_label(bin8toS(direction).c_str());
    }
}

void portparallele::redessine() {
    if (!reg->est_configure()) {
        return;
    }
    maj_etat_boutons();
    obj_port_valeur->copy_label(bin8toS(reg->valeur()).c_str());
}

int portparallele::react_in(Fl_Widget* obj) {
    if (!reg->est_configure()) {
        return 0;
    }
    int modif = 0;
    for (int n = 0; n < 8; ++n) {
        if (ES[n] == obj && reg->bascule_entree(n)) {
            modif = 1;
        }
    }
    // Chaque evenement propose au port recale son registre sur sa valeur.
    reg->reecrit_valeur();
    obj_port_valeur->copy_label(bin8toS(reg->valeur()).c_str());
    return modif;
}

void portparallele::react_out() {
    if (!reg->est_configure()) {
        return;
    }
    reg->prend_sorties();
    redessine();
}
