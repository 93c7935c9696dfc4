// Boucle d'execution, textes d'etat et cadence du mode marche.
#include "simulateur/marche.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// La boucle chaude : sans points d'arret, leur test disparait a la compilation.
template <bool avec_points>
bilan_execution boucle(machine& m, points_arret const* points, long long n, bool depart,
                       bool limite_est_arret) {
    mp_interpreteur& cpu = m.cpu();
    bilan_execution b;
    if (avec_points && !depart && points->contient(cpu.PC_value())) {
        b.raison = arret::point_arret;
        b.adresse = cpu.PC_value();
        return b;
    }
    unsigned long const erreurs_avant = cpu.erreurs_pile();
    while (b.pas < n) {
        unsigned short const pc = cpu.PC_value();
        m.pas();
        ++b.pas;
        unsigned short const suivant = cpu.PC_value();
        // Seul un branchement pris sur lui-meme laisse PC en place : toute autre
        // instruction avance d'au moins un octet.
        // Chaque echec compte, meme E deja leve : E ne s'efface jamais.
        bool const erreur = cpu.erreurs_pile() != erreurs_avant;
        bool const sur_place = suivant == pc;
        if (erreur || sur_place || (avec_points && points->contient(suivant))) {
            b.raison = erreur ? arret::erreur_pile : sur_place ? arret::boucle : arret::point_arret;
            b.adresse = erreur || sur_place ? pc : suivant;
            b.pile = erreur ? cpu.derniere_erreur_pile() : erreur_pile_sorte::aucune;
            return b;
        }
    }
    b.raison = limite_est_arret ? arret::limite : arret::aucun;
    b.adresse = cpu.PC_value();
    return b;
}

constexpr int seuil_pas_montres = 25;          // jusque-la, chaque instruction est montree
constexpr double periode_affichage = 1.0 / 40; // entre deux tranches aux vitesses au-dela
constexpr double duree_tranche_max = 0.025;    // STOP et clics pris en moins de 50 ms
constexpr double retard_max = 0.25;            // au-dela, la cadence repart de maintenant
constexpr long long lot_initial = 10000;       // premiere tranche en max, avant toute mesure
constexpr long long lot_plancher = 1000;
constexpr long long lot_plafond = 1LL << 24; // horloge figee : la tranche reste bornee

} // namespace

bilan_execution execute(machine& m, points_arret const* points, long long n, bool depart,
                        bool limite_est_arret) {
    if (points != nullptr && !points->vide()) {
        return boucle<true>(m, points, n, depart, limite_est_arret);
    }
    return boucle<false>(m, nullptr, n, depart, limite_est_arret);
}

char const* texte_erreur_pile(erreur_pile_sorte pile) {
    switch (pile) {
    case erreur_pile_sorte::pleine:
        return "pile pleine";
    case erreur_pile_sorte::vide:
        return "pile vide";
    default:
        return "erreur de pile";
    }
}

std::string texte_etat(bool en_marche, arret raison, unsigned short adresse,
                       erreur_pile_sorte pile) {
    if (en_marche) {
        return "En marche";
    }
    char ligne[64];
    switch (raison) {
    case arret::aucun:
        return "";
    case arret::demande:
        return "Arrêt demandé";
    case arret::point_arret:
        std::snprintf(ligne, sizeof ligne, "Arrêt : point d'arrêt en $%04x", adresse);
        break;
    case arret::boucle:
        std::snprintf(ligne, sizeof ligne, "Arrêt : fin de programme (boucle en $%04x)", adresse);
        break;
    case arret::erreur_pile:
        std::snprintf(ligne, sizeof ligne, "Arrêt : %s en $%04x", texte_erreur_pile(pile), adresse);
        break;
    case arret::limite:
        std::snprintf(ligne, sizeof ligne, "Arrêt : limite atteinte en $%04x", adresse);
        break;
    }
    return ligne;
}

mode_marche::mode_marche(machine& m, horloge h) : machine_(m), horloge_(std::move(h)) {}

void mode_marche::regle_vitesse(int instructions_par_seconde) {
    vitesse_ = instructions_par_seconde;
    if (en_marche_) {
        ancre(horloge_());
    }
}

void mode_marche::demarre() {
    if (en_marche_) {
        return;
    }
    en_marche_ = true;
    depart_ = true;
    raison_ = arret::aucun;
    pas_faits_ = 0;
    lot_max_ = lot_initial;
    ancre(horloge_());
}

void mode_marche::arrete() {
    if (!en_marche_) {
        return;
    }
    en_marche_ = false;
    raison_ = arret::demande;
    adresse_ = machine_.cpu().PC_value();
    ote_point_temporaire();
}

void mode_marche::pose_point_temporaire(unsigned short adresse) {
    ote_point_temporaire();
    if (!points_.contient(adresse)) {
        points_.bascule(adresse);
        point_temporaire_ = adresse;
    }
}

void mode_marche::ote_point_temporaire() {
    if (point_temporaire_ >= 0 &&
        points_.contient(static_cast<unsigned short>(point_temporaire_))) {
        points_.bascule(static_cast<unsigned short>(point_temporaire_));
    }
    point_temporaire_ = -1;
}

void mode_marche::oublie_arret() {
    if (!en_marche_) {
        raison_ = arret::aucun;
    }
}

void mode_marche::retrouve_arret(arret raison, unsigned short adresse, erreur_pile_sorte pile) {
    if (!en_marche_) {
        raison_ = raison;
        adresse_ = adresse;
        pile_ = pile;
    }
}

void mode_marche::ancre(double maintenant) {
    ancre_ = maintenant;
    faits_ancre_ = 0;
    rendez_vous_ = maintenant;
}

long long mode_marche::dues(double maintenant) {
    if (vitesse_ == vitesse_max) {
        return lot_max_;
    }
    // La k-ieme instruction depuis l'ancre est due a ancre + k / vitesse.
    double const ecoule = maintenant - ancre_;
    if (ecoule - static_cast<double>(faits_ancre_) / vitesse_ > retard_max) {
        ancre(maintenant);
        return 1;
    }
    long long const n = static_cast<long long>(std::floor(ecoule * vitesse_)) + 1 - faits_ancre_;
    return vitesse_ <= seuil_pas_montres ? std::min(n, 1LL) : n;
}

mode_marche::tranche mode_marche::avance() {
    tranche t;
    if (!en_marche_) {
        return t;
    }
    double const debut = horloge_();
    long long n = dues(debut);
    evenements_.pose_dues(machine_);
    if (evenements_.marge() >= 0) {
        n = std::min(n, evenements_.marge());
    }
    if (n > 0) {
        bilan_execution const b = execute(machine_, &points_, n, depart_, false);
        evenements_.compte(b.pas);
        if (b.raison == arret::aucun) {
            evenements_.pose_dues(machine_);
        }
        depart_ = false;
        t.pas = b.pas;
        pas_faits_ += b.pas;
        faits_ancre_ += b.pas;
        t.redessine = true;
        if (b.raison != arret::aucun) {
            en_marche_ = false;
            raison_ = b.raison;
            adresse_ = b.adresse;
            pile_ = b.pile;
            ote_point_temporaire();
            return t;
        }
    }
    if (vitesse_ == vitesse_max) {
        double const fin = horloge_();
        cale_tranche_max(debut, fin, t.pas);
        rendez_vous_ = fin;
    } else if (vitesse_ <= seuil_pas_montres) {
        rendez_vous_ = ancre_ + static_cast<double>(faits_ancre_) / vitesse_;
    } else {
        rendez_vous_ = debut + periode_affichage;
    }
    return t;
}

void mode_marche::cale_tranche_max(double debut, double fin, long long faits) {
    // Le debit mesure donne la tranche suivante ; elle ne fait au plus que doubler,
    // pour qu'une mesure trop courte ne la fasse pas exploser.
    double const duree = fin - debut;
    long long lot = 2 * lot_max_;
    if (duree > 0) {
        lot = std::min(lot, static_cast<long long>(faits / duree * duree_tranche_max));
    }
    lot_max_ = std::clamp(lot, lot_plancher, lot_plafond);
}
