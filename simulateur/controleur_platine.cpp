// Controleur de la platine. Les organes viennent de la table de la platine
// (classe/platine.h) : ici, on ne fait que les allumer, les eteindre et basculer.
// Invariants : un interrupteur devient, des sa sortie de la file, le bouton du bit
// de son port (meme chemin qu'un clic sur ce bouton) ; la platine montree est
// redessinee avec les ports, et seul un organe qui change est redessine.
#include "simulateur/controleur_platine.h"

#include <FL/forms.H>

controleur_platine::controleur_platine(SIM_class* principale, pont_simulateur pont)
    : pont_(pont), ports_(), barre_(new barre_platine_class(principale)), fen_(nullptr) {
    for (int p = 0; p < nb_ports; ++p) {
        ports_[p] = &pont_.port(p);
    }
    barre_->B_PLATINE->shortcut(FL_CTRL + 'p');
    fen_ = new platine_class();
}

controleur_platine::~controleur_platine() {
    delete fen_->platine;
    delete fen_;
    delete barre_; // son bouton appartient a la fenetre principale
}

bool controleur_platine::commande(Fl_Widget* obj) {
    if (obj == barre_->B_PLATINE) {
        montre();
    } else if (obj == fen_->platine) {
        fl_hide_form(fen_->platine);
    } else {
        return false;
    }
    return true;
}

Fl_Widget* controleur_platine::bit_de(Fl_Widget* obj) const {
    for (int r = 0; r < nb_rangees_platine; ++r) {
        for (int bit = 0; bit < bits_rangee; ++bit) {
            if (rangees_platine[r].genre == organe::interrupteur && obj == fen_->ORGANES[r][bit]) {
                return ports_[rangees_platine[r].port]->bouton_bit(bit);
            }
        }
    }
    return obj;
}

void controleur_platine::montre() {
    // Fermee, elle se rouvre a sa place ; ouverte, elle revient au premier plan
    // sans bouger.
    fen_->platine->label("Platine");
    pont_.fenetres().montre(fen_->platine);
    rafraichit();
}

void controleur_platine::rafraichit() {
    if (!fen_->platine->visible()) {
        return;
    }
    for (int r = 0; r < nb_rangees_platine; ++r) {
        rangee_platine const& rangee = rangees_platine[r];
        for (int bit = 0; bit < bits_rangee; ++bit) {
            etat_organe const e = etat_du_bit(rangee, ports_[rangee.port]->registre(), bit);
            Fl_Widget* const o = fen_->ORGANES[r][bit];
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
