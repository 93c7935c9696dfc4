// Le pont d'une fenetre compagne : chaque operation relaie au simulateur, sans
// rien decider elle-meme.
#include "simulateur/pont.h"

#include "simulateur/interface2.h"

machine& pont_simulateur::moteur() const {
    return s_.moteur;
}

mode_marche& pont_simulateur::marche() const {
    return s_.marche;
}

portparallele& pont_simulateur::port(int p) const {
    portparallele* const ports[nb_ports] = {&s_.portA, &s_.portB, &s_.portC, &s_.portD, &s_.portE};
    return *ports[p];
}

programme_charge const& pont_simulateur::programme() const {
    return s_.programme_en_memoire;
}

std::string const& pont_simulateur::fichier_charge() const {
    return s_.fichier_charge;
}

Fl_Window* pont_simulateur::principale() const {
    return s_.SIM->SIM;
}

Fl_Window* pont_simulateur::aide() const {
    return s_.aide->aide;
}

zoom_fenetres& pont_simulateur::zoom() const {
    return s_.zoom;
}

bureau_fenetres& pont_simulateur::fenetres() const {
    return s_.fenetres;
}

void pont_simulateur::charge(programme_charge p, std::string const& chemin,
                             chargement sorte) const {
    s_.charge_image(std::move(p), chemin, sorte);
}

void pont_simulateur::recharge() const {
    s_.recharge();
}

texte_montre pont_simulateur::charge_texte_montre() const {
    return s_.charge_texte_montre();
}

void pont_simulateur::redessine() const {
    s_.montre_machine();
}

void pont_simulateur::redessine_desassemblage() const {
    s_.rafraichit_desassemble();
}

void pont_simulateur::montre_au_dump(long long adresse) const {
    s_.montre_au_dump(adresse);
}

void pont_simulateur::arrete_marche() const {
    if (s_.marche.en_marche()) {
        s_.arrete_marche();
    }
}

void pont_simulateur::clique_stop() const {
    s_.SIM->B_STOP->do_callback();
}

void pont_simulateur::demande_pourquoi(std::string const& quoi) const {
    s_.demande_pourquoi(quoi);
}

void pont_simulateur::clique_play() const {
    s_.SIM->B_PLAY->do_callback();
}

std::vector<ecriture_exterieure>& pont_simulateur::editions() const {
    return s_.editions;
}

void pont_simulateur::recule(unsigned long long n) const {
    s_.recule_pas(n);
}

void pont_simulateur::redessine_marche() const {
    s_.montre_machine();
    s_.montre_etat_marche();
    s_.actualise_recul();
}

void pont_simulateur::annonce(std::string const& texte) const {
    s_.barre_marche->ETAT->copy_label(texte.c_str());
    s_.ajuste_etat();
}
