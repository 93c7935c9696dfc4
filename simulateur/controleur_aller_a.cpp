// Controleur de "Aller à". La saisie est lue par lit_destination (classe/), qui
// connait les formes d'une adresse ; ici, on cherche les etiquettes du programme
// en memoire, on montre l'adresse au dump ou l'on dit le refus.
#include "simulateur/controleur_aller_a.h"

#include <FL/Fl.H>
#include <FL/forms.H>

#include <string>

#include "classe/destination.h"
#include "simulateur/textes_fichiers.h"

controleur_aller_a::controleur_aller_a(pont_simulateur pont)
    : pont_(pont), fen_(new aller_a_class()) {}

controleur_aller_a::~controleur_aller_a() {
    delete fen_->aller_a;
    delete fen_;
}

bool controleur_aller_a::commande(Fl_Widget* obj) {
    if (obj == fen_->ALLER) {
        va();
    } else if (obj == fen_->aller_a) {
        fl_hide_form(fen_->aller_a);
    } else {
        return false;
    }
    return true;
}

bool controleur_aller_a::prend_evenement(int evenement, Fl_Window* fenetre) {
    if (evenement == FL_SHORTCUT && pont_.zoom().connait(fenetre) &&
        (Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META)) == FL_CTRL &&
        Fl::event_key() == 'g') {
        montre();
        return true;
    }
    return false;
}

void controleur_aller_a::montre() {
    fen_->MESSAGE->copy_label("");
    fen_->aller_a->label("Aller à");
    pont_.fenetres().montre(fen_->aller_a); // la ou elle ne cache ni registres ni vues
    fen_->SAISIE->take_focus();
    fen_->SAISIE->position(fen_->SAISIE->size(), 0);
}

void controleur_aller_a::va() {
    destination const d = lit_destination(
        fen_->SAISIE->value(),
        [this](std::string const& nom, long& adresse) {
            symbole_source const* s = pont_.programme().assemble.symbole(nom);
            if (s == nullptr || s->sorte != symbole_source::etiquette) {
                return false;
            }
            adresse = static_cast<long>(s->valeur);
            return true;
        },
        pont_.programme().source);
    if (!d.trouvee) {
        fen_->MESSAGE->copy_label(libelle_litteral(d.refus).c_str());
        fen_->aller_a->redraw();
        return;
    }
    fen_->MESSAGE->copy_label("");
    // Comme la glissiere : le dump part de la ligne qui contient l'adresse.
    pont_.montre_au_dump(d.adresse);
    fl_hide_form(fen_->aller_a);
}
