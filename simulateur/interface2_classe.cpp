// Controleur, devant une classe : zoom et place des fenetres, Echap, molette sur le
// dump et le desassemblage. Le crochet d'evenements aiguille vers ici.
// Invariants : un cran de molette met en file une fleche du dump ou du
// desassemblage, comme un clic ; toute fenetre, compagnes comprises, est dans la
// liste du bureau (une ligne de prepare_zoom), donc au zoom et au placement ;
// toute taille posee a l'execution passe par zoom.taille.
#include <FL/Fl.H>
#include <FL/forms.H>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <initializer_list>
#include "simulateur/bande_fichiers.h"
#include "simulateur/controleur_aller_a.h"
#include "simulateur/controleur_exercice.h"
#include "simulateur/controleur_platine.h"
#include "simulateur/controleur_source.h"
#include "simulateur/interface2.h"
#include "simulateur/interface_marche.h"

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

void simulateur::prepare_zoom(double facteur_zoom) {
    // La liste des fenetres du programme, la principale en tete, puis dans l'ordre
    // ou le placement les sert ; le minimum (concu) de celles qui retrecissent.
    fenetres.rejoint(SIM->SIM, sorte_fenetre::principale);
    fenetres.rejoint(source->fenetre(), sorte_fenetre::compagne, 480, 300);
    fenetres.rejoint(exercice->fenetre(), sorte_fenetre::compagne, 480, 300);
    fenetres.rejoint(platine->fenetre(), sorte_fenetre::compagne);
    fenetres.rejoint(aide->aide, sorte_fenetre::passagere, 600, 300);
    fenetres.rejoint(aller_a->fenetre(), sorte_fenetre::passagere);
    // Dialogue modal pose sous la souris : au zoom seulement.
    zoom.inscrit(form_about->form_about);
    change_zoom(facteur_zoom);
}

void simulateur::change_zoom(double demande) {
    double const avant = zoom.facteur();
    double const facteur = fenetres.applique_zoom(demande);
    // Dit tant que rien d'autre ne l'est, un chargement fait au lancement compris.
    std::string const dite = zoom_limite;
    zoom_limite = facteur < demande ? texte_zoom_limite(facteur) : "";
    char const* const etat = barre_marche->ETAT->label();
    if (facteur < demande) {
        barre_marche->ETAT->copy_label(zoom_limite.c_str());
    } else if (!dite.empty() && etat != nullptr && etat == dite) {
        montre_etat_marche(); // la limite dite ne vaut plus
    }
    ajuste_etat(); // le zoom a remis le texte d'etat a sa taille concue
    if (facteur != avant) {
        // Le nom du fichier ouvert est recoupe a la nouvelle largeur de sa boite.
        fichiers->recoupe();
    }
}

bool simulateur::prend_echap(int evenement, Fl_Window* fenetre) {
    if (evenement != FL_SHORTCUT || Fl::event_key() != FL_Escape || !fenetres.connait(fenetre)) {
        return false;
    }
    if (marche.en_marche()) {
        SIM->B_STOP->do_callback();
        return true;
    }
    // Arretee : une compagne reste ouverte ; la principale ignore Echap (son
    // rappel), une passagere (aide, "Aller à") se ferme.
    return fenetres.sorte(fenetre) == sorte_fenetre::compagne;
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

bool simulateur::prend_molette(int evenement, Fl_Window* fenetre) {
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
    return false;
}
