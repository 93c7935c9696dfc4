// Controleur, devant une classe : zoom et place des fenetres, Echap, molette sur le
// dump et le desassemblage. Le crochet d'evenements aiguille vers ici.
// Invariants : un cran de molette met en file une fleche du dump ou du
// desassemblage, comme un clic ; toute fenetre, compagnes comprises, est dans la
// liste du bureau (une ligne de prepare_zoom), donc au zoom et au placement ;
// toute taille posee a l'execution passe par zoom.taille.
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/forms.H>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <string>

#include "commandes/lancement.h"
#include "simulateur/bande_fichiers.h"
#include "simulateur/controleur_aller_a.h"
#include "simulateur/controleur_exercice.h"
#include "simulateur/controleur_explication.h"
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
    explication = std::make_unique<controleur_explication>(pont_simulateur(*this));
    fenetres.rejoint(explication->fenetre(), sorte_fenetre::compagne, 360, 200);
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

bool simulateur::prend_clic_droit(int evenement, Fl_Window* fenetre) {
    if (evenement != FL_PUSH || fenetre != SIM->SIM || Fl::event_button() != FL_RIGHT_MOUSE) {
        return false;
    }
    return demande_pourquoi(question_sous_la_souris());
}

bool simulateur::demande_pourquoi(std::string const& quoi) {
    question_pourquoi q;
    if (quoi.empty() || !question_de(quoi, programme_en_memoire, q).empty()) {
        return false;
    }
    explication->demande(q);
    return true;
}

namespace {

constexpr int octets_par_ligne = 8; // du dump, comme rafraichit_dump les ecrit

// La colonne du caractere sous la souris dans le libelle d'une boite, en police a
// chasse fixe (dump, registres binaires), aligne a gauche ou centre ; -1 avant le texte.
int colonne_sous(Fl_Widget const* w) {
    int const x = Fl::event_x();
    fl_font(w->labelfont(), w->labelsize());
    double const largeur = fl_width('0');
    char const* texte = w->label() != nullptr ? w->label() : "";
    int const dx = Fl::box_dx(w->box());
    double const debut = (w->align() & FL_ALIGN_LEFT) != 0
                             ? w->x() + dx + 3 // la marge d'un libelle a gauche
                             : w->x() + (w->w() - fl_width(texte)) / 2;
    return x < debut || largeur <= 0 ? -1 : static_cast<int>((x - debut) / largeur);
}

} // namespace

std::string simulateur::question_sous_la_souris() {
    // Chaque question a la forme de karvela-run --pourquoi : une seule lecture.
    std::string quoi;
    for (int n = 0; n < static_cast<int>(std::size(point_pile)) && quoi.empty(); ++n) {
        if (Fl::event_inside(point_pile[n]) && n <= inter.SP_value()) {
            quoi = "pile:" + std::to_string(n);
        }
    }
    // Un port : son nom, sa valeur et ses bits ; son DDR a part.
    portparallele* const ports[] = {&portA, &portB, &portC, &portD, &portE};
    for (int p = 0; p < nb_ports && quoi.empty(); ++p) {
        int const i = SIM->SIM->find(ports[p]->bouton_bit(0));
        Fl_Widget const* titre = SIM->SIM->child(i - 2);
        Fl_Widget const* gauche = ports[p]->bouton_bit(7);
        Fl_Widget const* bas = ports[p]->bouton_bit(0);
        int const x = Fl::event_x(), y = Fl::event_y();
        if (x >= gauche->x() && x < bas->x() + bas->w() && y >= titre->y() &&
            y < bas->y() + bas->h()) {
            quoi = std::string(1, lettres_ports[p]);
        } else if (ports_machine[p].a_direction && i + 9 < SIM->SIM->children() &&
                   (Fl::event_inside(SIM->SIM->child(i + 8)) ||
                    Fl::event_inside(SIM->SIM->child(i + 9)))) {
            quoi = p == 2 ? "DDRC" : "DDRD";
        }
    }
    for (int n = 0; n < static_cast<int>(std::size(point_dump)) && quoi.empty(); ++n) {
        int const c = Fl::event_inside(point_dump[n]) ? colonne_sous(point_dump[n]) : -1;
        // "%4x" puis huit fois " %2x" : l'octet k occupe les colonnes 5 + 3k a 7 + 3k.
        if (c >= 5 && c < 5 + 3 * octets_par_ligne) {
            int const base =
                static_cast<int>(fl_get_slider_value(SIM->DUMP_SLIDE)) + n * octets_par_ligne;
            char adresse[8];
            std::snprintf(adresse, sizeof adresse, "$%04x", (base + (c - 5) / 3) & 0xFFFF);
            quoi = adresse;
        }
    }
    if (quoi.empty() && Fl::event_inside(SIM->REG_CCR_BIN)) {
        // Huit chiffres, bit 7 en tete : les cinq derniers sont E, N, Z, V et C.
        int const c = colonne_sous(SIM->REG_CCR_BIN);
        static char const drapeaux[] = "ENZVC";
        if (c >= 3 && c < 8) {
            quoi = std::string("ccr:") + drapeaux[c - 3];
        }
    }
    if (quoi.empty() && Fl::event_inside(barre_marche->ETAT) && !marche.en_marche() &&
        marche.raison() != arret::aucun) {
        quoi = "arret";
    }
    return quoi;
}
