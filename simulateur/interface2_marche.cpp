// Controleur, mode marche : PLAY, STOP, vitesse, points d'arret et pas arriere.
// passe_commande aiguille vers ici ; l'etat de la marche, sa cadence et les points
// d'arret sont a mode_marche, l'historique a la machine : ici, on decide quand
// executer une tranche et on redessine.
// Invariants : une passe qui prend un widget n'execute aucune instruction de la
// marche ; en marche, le panneau est remis a l'etat de la machine avant toute
// relecture (elle ramenerait sinon un PC deja depasse) ; un clic sur une ligne du
// desassemblage, F9 et Echap arrivent par la file comme tout le reste.
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/forms.H>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "explication/pourquoi.h"
#include "simulateur/bande_fichiers.h"
#include "simulateur/controleur_platine.h"
#include "simulateur/controleur_source.h"
#include "simulateur/interface2.h"

namespace {

constexpr Fl_Labeltype libelle_point_arret = FL_FREE_LABELTYPE; // ligne d'un point d'arret
constexpr Fl_Color couleur_point_arret = FL_RED;
constexpr int nb_vitesses = sizeof vitesses_marche / sizeof vitesses_marche[0];
constexpr int taille_etat = 12;                            // celle de la barre du haut
constexpr std::size_t editions_max = std::size_t{1} << 18; // quatre remplissages entiers
constexpr int taille_etat_min = 8;                         // plus petit, le texte ne se lit plus

double secondes() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Le texte comme le dessine une etiquette normale, puis un point rouge sur la
// premiere colonne (un blanc, ou le "-" de "-> " : le ">" dit encore le PC).
void dessine_point_arret(Fl_Label const* l, int x, int y, int w, int h, Fl_Align a) {
    fl_font(l->font, l->size);
    fl_color(l->color);
    fl_draw(l->value, x, y, w, h, a, l->image);
    int const d = std::min(static_cast<int>(fl_width("-")), h) - 1;
    fl_color(couleur_point_arret);
    fl_pie(x, y + (h - d) / 2, d, d, 0, 360);
}

void mesure_point_arret(Fl_Label const* l, int& w, int& h) {
    fl_font(l->font, l->size);
    fl_measure(l->value, w, h);
}

std::string texte_vitesse(int v) {
    return v == vitesse_max ? "max" : std::to_string(v);
}

} // namespace

void simulateur::prepare_marche() {
    horloge_marche = secondes;
    Fl::set_labeltype(libelle_point_arret, dessine_point_arret, mesure_point_arret);
    barre_marche = new barre_marche_class(SIM);
    bande_pile = new bande_pile_class(SIM);
    for (int i = 0; i < nb_vitesses; ++i) {
        barre_marche->VITESSE->add(texte_vitesse(vitesses_marche[i]).c_str());
        if (vitesses_marche[i] == vitesse_par_defaut) {
            barre_marche->VITESSE->value(i);
        }
    }
    marche.regle_vitesse(vitesse_par_defaut);

    SIM->B_PLAY->shortcut(FL_F + 5);
    SIM->B_STOP->shortcut(FL_SHIFT + FL_F + 5);
    barre_marche->B_RECULE->shortcut(FL_SHIFT + FL_F + 7);
    SIM->B_PLAY->tooltip("PLAY : lance le mode marche (F5)");
    SIM->B_STOP->tooltip("STOP : arrête le mode marche (Maj+F5, Échap)");

    moteur.garde_historique(true);
    actualise_recul();
}

void simulateur::detruit_marche() {
    delete barre_marche; // ses widgets appartiennent a la fenetre principale
    delete bande_pile;
    bande_pile = nullptr;
}

void simulateur::avant_commande(Fl_Widget* obj) {
    if (!marche.en_marche()) {
        return;
    }
    // Tout ce qui execute, annule, remet a zero, charge ou quitte arrete d'abord.
    Fl_Widget* const arretent[] = {SIM->B_STOP,
                                   SIM->B_STEP,
                                   barre_marche->B_RECULE,
                                   SIM->B_RESET,
                                   SIM->SIM,
                                   fichiers->bouton_source(),
                                   fichiers->bouton_recharger()};
    // Du menu Fichier, "A propos" et un menu ferme sans choix laissent la marche.
    int const item = obj == SIM->m_fichier ? fl_get_menu(obj) : 0;
    bool const arrete =
        std::find(std::begin(arretent), std::end(arretent), obj) != std::end(arretent) ||
        item == item_ouvrir || item == item_quitter;
    if (arrete) {
        arrete_marche();
    } else {
        sauve_registres();
    }
}

bool simulateur::commande_marche(Fl_Widget* obj) {
    if (obj == SIM->B_PLAY) {
        marche.demarre();
        montre_etat_marche();
        return true;
    }
    if (obj == barre_marche->B_RECULE) {
        if (moteur.peut_reculer()) {
            recule_pas(1);
            montre_etat_marche();
            montre_machine();
        }
        return true;
    }
    if (obj == barre_marche->VITESSE) {
        int const i = barre_marche->VITESSE->value();
        if (i >= 0 && i < nb_vitesses) {
            marche.regle_vitesse(vitesses_marche[i]);
        }
        return true;
    }
    for (int y = 0; y < 12; ++y) {
        if (obj == point_desa[y]) {
            marche.points().bascule(adresse_desa[y]);
            rafraichit_desassemble();
            return true;
        }
    }
    return false;
}

void simulateur::avance_marche() {
    double const attente = marche.rendez_vous() - horloge_marche();
    if (attente > 0) {
        Fl::wait(attente);
        return;
    }
    mode_marche::tranche const t = marche.avance();
    if (t.redessine) {
        montre_machine();
        actualise_recul();
    }
    if (!marche.en_marche()) {
        montre_etat_marche();
    }
}

void simulateur::arrete_marche() {
    marche.arrete();
    montre_machine();
    montre_etat_marche();
}

void simulateur::montre_machine() {
    sauve_registres();
    rafraichit_pile();
    rafraichit_desassemble();
    for (portparallele* port : {&portA, &portB, &portC, &portD, &portE}) {
        port->redessine();
    }
    platine->rafraichit();
    rafraichit_dump(0);
}

std::string simulateur::texte_etat_marche() const {
    // Une erreur de pile dans un source dit sa ligne et son instruction ; sans
    // ligne (un .bin, des octets tapes), l'adresse suffit.
    int const ligne = marche.raison() == arret::erreur_pile && !marche.en_marche()
                          ? ligne_source(programme_en_memoire, marche.adresse())
                          : 0;
    if (ligne > 0) {
        return texte_arret(marche.raison(), marche.adresse(), marche.pile(), ligne, memoire);
    }
    return marche.texte();
}

void simulateur::montre_etat_marche() {
    // Sans etat de marche a dire, le zoom ramene le dit (interface2_classe.cpp).
    std::string const etat = texte_etat_marche();
    std::string const texte = etat.empty() ? zoom_limite : etat;
    char const* affiche = barre_marche->ETAT->label();
    if (affiche == nullptr || texte != affiche) {
        barre_marche->ETAT->copy_label(texte.c_str());
    }
    source->montre_arret();
    ajuste_etat();
}

void simulateur::ajuste_etat() {
    // Le texte tient sur une ligne s'il le peut, en petit au besoin ; sinon il
    // revient a sa taille et passe sur deux lignes.
    Fl_Box* const e = barre_marche->ETAT;
    int const largeur = e->w() - 6; // la marge d'un libelle aligne a gauche
    int taille = taille_etat;
    if (e->label() != nullptr) {
        for (int t = taille_etat; t >= taille_etat_min; --t) {
            fl_font(e->labelfont(), zoom.taille(t));
            if (fl_width(e->label()) <= largeur) {
                taille = t;
                break;
            }
        }
    }
    if (e->labelsize() != zoom.taille(taille)) {
        e->labelsize(zoom.taille(taille));
        e->redraw();
    }
}

void simulateur::recule_pas(unsigned long long n) {
    for (; n > 0 && moteur.recule(); --n) {
        marche.evenements().recule(moteur);
        // L'arret montre decrivait l'etat d'apres l'instruction annulee.
        marche.oublie_arret();
    }
    // Une edition reste en memoire : elle precede desormais l'instruction suivante.
    for (ecriture_exterieure& e : editions) {
        if (e.origine == ecriture_exterieure::edition) {
            e.pas = std::min<unsigned long long>(e.pas, moteur.pas_enregistres());
        }
    }
}

void simulateur::note_edition(long long adresse, long long nombre, unsigned char valeur) {
    unsigned long long const pas = moteur.pas_enregistres();
    // Une case reecrite au meme moment ne garde que son dernier octet.
    auto const recouverte = [&](ecriture_exterieure const& e) {
        return e.pas == pas &&
               ((e.adresse - adresse) & 0xFFFF) < static_cast<unsigned long long>(nombre);
    };
    editions.erase(std::remove_if(editions.begin(), editions.end(), recouverte), editions.end());
    for (long long k = 0; k < nombre; ++k) {
        editions.push_back({ecriture_exterieure::edition, pas,
                            static_cast<unsigned short>((adresse + k) & 0xFFFF), valeur});
    }
    if (editions.size() > editions_max) {
        editions.erase(editions.begin(),
                       editions.begin() + static_cast<long>(editions.size() - editions_max));
    }
}

void simulateur::montre_reperes_pile() {
    if (bande_pile == nullptr) {
        return;
    }
    int const sp = inter.SP_value();
    effet_dernier_pas const d = dernier_pas(moteur);
    bool const marque =
        d.connu && !d.echec && static_cast<long long>(moteur.pas_enregistres()) != pas_sans_reperes;
    // Un intervalle vide est toujours 0..-1 : le widget ne redessine que s'il change.
    bool const posees = marque && d.premiere <= d.derniere;
    bool const otees = marque && d.otees > 0;
    bande_pile->SOMMET->montre(sp, 0, -1, 0, -1);
    bande_pile->EFFETS->montre(sp, posees ? d.premiere : 0, posees ? d.derniere : -1,
                               otees ? sp + 1 : 0, otees ? sp + d.otees : -1);
    char texte[48];
    std::snprintf(texte, sizeof texte, "SP = %d", sp);
    if (bande_pile->SP->label() == nullptr || std::strcmp(bande_pile->SP->label(), texte) != 0) {
        bande_pile->SP->copy_label(texte);
    }
    std::snprintf(texte, sizeof texte, "Pas : %llu", moteur.pas_enregistres());
    if (bande_pile->PAS->label() == nullptr || std::strcmp(bande_pile->PAS->label(), texte) != 0) {
        bande_pile->PAS->copy_label(texte);
    }
}

void simulateur::actualise_recul() {
    Fl_Button* const b = barre_marche->B_RECULE;
    if (moteur.peut_reculer() && !b->active()) {
        b->activate();
    } else if (!moteur.peut_reculer() && b->active()) {
        b->deactivate();
    }
}

void simulateur::marque_point_arret(Fl_Widget* ligne, unsigned short adresse) {
    Fl_Labeltype const type =
        marche.points().contient(adresse) ? libelle_point_arret : FL_NORMAL_LABEL;
    if (ligne->labeltype() != type) {
        ligne->labeltype(type);
        ligne->redraw();
    }
}

bool simulateur::prend_evenement_marche(int evenement, Fl_Window* fenetre) {
    // Une ligne du desassemblage est une boite, sourde aux clics : le clic la met
    // en file, puis suit son cours.
    if (evenement == FL_PUSH && fenetre == SIM->SIM && Fl::event_button() == FL_LEFT_MOUSE) {
        for (Fl_Widget* ligne : point_desa) {
            if (Fl::event_inside(ligne)) {
                ligne->do_callback();
                break;
            }
        }
        return false;
    }
    if (evenement != FL_SHORTCUT) {
        return false;
    }
    // Echap n'arrete qu'une marche : arretee, la fenetre l'ignore comme avant.
    if (Fl::event_key() == FL_Escape && fenetre == SIM->SIM && marche.en_marche()) {
        SIM->B_STOP->do_callback();
        return true;
    }
    // F9 vaut un clic sur la ligne du PC, depuis la fenetre ou depuis l'aide.
    bool const sans_modificateur =
        (Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META)) == 0;
    if (Fl::event_key() == FL_F + 9 && sans_modificateur &&
        (fenetre == SIM->SIM || fenetre == aide->aide)) {
        point_desa[ligne_pc_desa]->do_callback();
        return true;
    }
    return false;
}
