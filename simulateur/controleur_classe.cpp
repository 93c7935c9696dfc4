// Controleur, devant une classe : zoom des fenetres, molette sur le dump et le
// desassemblage, "Aller à" (Ctrl+G) et la platine. passe_commande et le crochet
// d'evenements aiguillent vers ici.
// Invariants : un cran de molette met en file une fleche du dump ou du
// desassemblage, comme un clic ; un interrupteur de la platine devient, des sa
// sortie de la file, le bouton du bit de son port (meme chemin qu'un clic sur ce
// bouton) ; la platine montree est redessinee avec les ports ; toute taille posee
// a l'execution passe par zoom.taille.
#include <FL/Fl.H>
#include <FL/forms.H>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "classe/destination.h"
#include "simulateur/controleur_exercice.h"
#include "simulateur/controleur_source.h"
#include "simulateur/interface2.h"
#include "simulateur/textes_fichiers.h"

namespace {

enum class geste_zoom { aucun, agrandit, rapetisse, taille_concue };

// Ctrl et +, =, - ou 0, du clavier ou du pave numerique (Maj permise : + la demande
// sur bien des claviers).
geste_zoom geste() {
    if ((Fl::event_state() & (FL_CTRL | FL_ALT | FL_META)) != FL_CTRL) {
        return geste_zoom::aucun;
    }
    int const k = Fl::event_key();
    char const t = Fl::event_text() != nullptr ? Fl::event_text()[0] : '\0';
    if (k == '=' || k == '+' || k == FL_KP + '+' || t == '+') {
        return geste_zoom::agrandit;
    }
    if (k == '-' || k == FL_KP + '-' || t == '-') {
        return geste_zoom::rapetisse;
    }
    if (k == '0' || k == FL_KP + '0' || t == '0') {
        return geste_zoom::taille_concue;
    }
    return geste_zoom::aucun;
}

// La souris dans le rectangle qui englobe ces widgets.
bool souris_sur(std::initializer_list<Fl_Widget const*> widgets) {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    for (Fl_Widget const* w : widgets) {
        x0 = std::min(x0, w->x());
        y0 = std::min(y0, w->y());
        x1 = std::max(x1, w->x() + w->w());
        y1 = std::max(y1, w->y() + w->h());
    }
    return Fl::event_inside(x0, y0, x1 - x0, y1 - y0);
}

} // namespace

void simulateur::prepare_classe(double facteur_zoom) {
    barre_platine = new barre_platine_class(SIM);
    barre_platine->B_PLATINE->shortcut(FL_CTRL + 'p');
    platine = new platine_class();
    aller_a = new aller_a_class();
    for (Fl_Window* f :
         {static_cast<Fl_Window*>(SIM->SIM), static_cast<Fl_Window*>(form_about->form_about),
          static_cast<Fl_Window*>(aide->aide), source->fenetre(),
          static_cast<Fl_Window*>(platine->platine), static_cast<Fl_Window*>(aller_a->aller_a),
          exercice->fenetre()}) {
        zoom.inscrit(f);
    }
    change_zoom(facteur_zoom);
}

void simulateur::detruit_classe() {
    delete platine->platine;
    delete platine;
    delete aller_a->aller_a;
    delete aller_a;
    delete barre_platine; // son bouton appartient a la fenetre principale
}

void simulateur::change_zoom(double facteur) {
    if (facteur == zoom.facteur()) {
        return;
    }
    zoom.applique(facteur);
    // Le nom du fichier ouvert est recoupe a la nouvelle largeur de sa boite.
    if (!fichier_ouvert.empty()) {
        retiens_fichier(fichier_ouvert);
    }
}

bool simulateur::prend_touche_zoom(int evenement, Fl_Window* fenetre) {
    if (evenement != FL_SHORTCUT || !zoom.connait(fenetre)) {
        return false;
    }
    switch (geste()) {
    case geste_zoom::aucun:
        return false;
    case geste_zoom::agrandit:
        change_zoom(zoom_voisin(zoom.facteur(), 1));
        break;
    case geste_zoom::rapetisse:
        change_zoom(zoom_voisin(zoom.facteur(), -1));
        break;
    case geste_zoom::taille_concue:
        change_zoom(zoom_min);
        break;
    }
    return true;
}

bool simulateur::prend_evenement_classe(int evenement, Fl_Window* fenetre) {
    if (evenement == FL_MOUSEWHEEL && fenetre == SIM->SIM && Fl::event_dy() != 0) {
        bool const descend = Fl::event_dy() > 0;
        Fl_Widget* fleche = nullptr;
        if (souris_sur(
                {point_dump[0], point_dump[11], SIM->DUMP_U, SIM->DUMP_SLIDE, SIM->DUMP_D})) {
            fleche = descend ? SIM->DUMP_D : SIM->DUMP_U;
        } else if (souris_sur(
                       {point_desa[0], point_desa[11], SIM->DESA_U, SIM->DESA_PC, SIM->DESA_D})) {
            fleche = descend ? SIM->DESA_D : SIM->DESA_U;
        }
        if (fleche == nullptr) {
            return false;
        }
        for (int cran = std::abs(Fl::event_dy()); cran > 0; --cran) {
            fleche->do_callback();
        }
        return true;
    }
    if (evenement == FL_SHORTCUT && zoom.connait(fenetre) &&
        (Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META)) == FL_CTRL &&
        Fl::event_key() == 'g') {
        montre_aller_a();
        return true;
    }
    return false;
}

void simulateur::commande_classe(Fl_Widget* obj) {
    if (obj == barre_platine->B_PLATINE) {
        montre_platine();
    } else if (obj == platine->platine) {
        fl_hide_form(platine->platine);
    } else if (obj == aller_a->ALLER) {
        va_a();
    } else if (obj == aller_a->aller_a) {
        fl_hide_form(aller_a->aller_a);
    }
}

Fl_Widget* simulateur::interrupteur_en_bit(Fl_Widget* obj) {
    portparallele* const ports[nb_ports] = {&portA, &portB, &portC, &portD, &portE};
    for (int r = 0; r < nb_rangees_platine; ++r) {
        for (int bit = 0; bit < bits_rangee; ++bit) {
            if (rangees_platine[r].genre == organe::interrupteur &&
                obj == platine->ORGANES[r][bit]) {
                return ports[rangees_platine[r].port]->bouton_bit(bit);
            }
        }
    }
    return obj;
}

void simulateur::montre_platine() {
    Fl_Window* const f = platine->platine;
    // Fermee, elle se rouvre a cote de la fenetre principale ; ouverte, elle
    // revient au premier plan sans bouger.
    if (!f->visible()) {
        pose_a_cote(f, SIM->SIM);
    }
    fl_show_form(f, FL_PLACE_FREE, FL_FULLBORDER, "Platine");
    zoom.montree(f);
    rafraichit_platine();
}

void simulateur::rafraichit_platine() {
    if (!platine->platine->visible()) {
        return;
    }
    portparallele* const ports[nb_ports] = {&portA, &portB, &portC, &portD, &portE};
    for (int r = 0; r < nb_rangees_platine; ++r) {
        rangee_platine const& rangee = rangees_platine[r];
        for (int bit = 0; bit < bits_rangee; ++bit) {
            etat_organe const e = etat_du_bit(rangee, ports[rangee.port]->registre(), bit);
            Fl_Widget* const o = platine->ORGANES[r][bit];
            bool change = false;
            if (rangee.genre == organe::interrupteur) {
                char const* const levier = e.allume ? interrupteur_haut : interrupteur_bas;
                change = o->label() != levier || (o->active() != 0) != e.actif;
                o->label(levier);
                if (e.actif) {
                    o->activate();
                } else {
                    o->deactivate();
                }
            } else {
                Fl_Color const eteinte =
                    rangee.genre == organe::led ? couleur_led_eteinte : couleur_segment_eteint;
                Fl_Color const couleur = e.allume ? couleur_organe_allume : eteinte;
                change = o->color() != couleur;
                o->color(couleur);
            }
            if (change) {
                o->redraw();
            }
        }
    }
}

void simulateur::montre_aller_a() {
    aller_a->MESSAGE->copy_label("");
    fl_show_form(aller_a->aller_a, FL_PLACE_MOUSE, FL_FULLBORDER, "Aller à");
    zoom.montree(aller_a->aller_a);
    aller_a->SAISIE->take_focus();
    aller_a->SAISIE->position(aller_a->SAISIE->size(), 0);
}

void simulateur::va_a() {
    destination const d = lit_destination(
        aller_a->SAISIE->value(),
        [this](std::string const& nom, long& adresse) {
            symbole_source const* s = programme_en_memoire.assemble.symbole(nom);
            if (s == nullptr || s->sorte != symbole_source::etiquette) {
                return false;
            }
            adresse = static_cast<long>(s->valeur);
            return true;
        },
        programme_en_memoire.source);
    if (!d.trouvee) {
        aller_a->MESSAGE->copy_label(libelle_litteral(d.refus).c_str());
        aller_a->aller_a->redraw();
        return;
    }
    aller_a->MESSAGE->copy_label("");
    // Comme la glissiere : le dump part de la ligne qui contient l'adresse.
    fl_set_slider_value(SIM->DUMP_SLIDE, d.adresse);
    rafraichit_dump(0);
    fl_hide_form(aller_a->aller_a);
}
