// Suivi du programme charge dans son source : index des lignes stockantes par
// adresse (une recherche par dessin, meme en marche au plus vite) et par ligne.
#include "suivi/suivi_source.h"

#include <algorithm>

#include "chaines/chaines.h"

void suivi_source::programme(programme_assemble const& p, int nb_lignes) {
    a_programme_ = true;
    programme_ = p;
    lignes_.repart(nb_lignes);
    int derniere = nb_lignes;
    for (ligne_assemblee const& l : programme_.lignes) {
        derniere = std::max(derniere, l.ligne);
    }
    adresse_ligne_.assign(static_cast<std::size_t>(derniere) + 1, -1);
    instruction_ligne_.assign(static_cast<std::size_t>(derniere) + 1, false);
    par_adresse_.clear();
    for (std::size_t i = 0; i < programme_.lignes.size(); ++i) {
        ligne_assemblee const& l = programme_.lignes[i];
        if (l.octets.empty()) {
            continue;
        }
        par_adresse_.push_back(i);
        adresse_ligne_[static_cast<std::size_t>(l.ligne)] = l.adresse;
        instruction_ligne_[static_cast<std::size_t>(l.ligne)] = l.instruction;
    }
    std::sort(par_adresse_.begin(), par_adresse_.end(), [this](std::size_t a, std::size_t b) {
        return programme_.lignes[a].adresse < programme_.lignes[b].adresse;
    });
}

void suivi_source::oublie_programme() {
    a_programme_ = false;
    programme_ = programme_assemble();
    par_adresse_.clear();
    adresse_ligne_.clear();
    instruction_ligne_.clear();
}

int suivi_source::ligne_assemblee_en(unsigned short adresse, bool instruction_seulement) const {
    auto const trouve = std::lower_bound(
        par_adresse_.begin(), par_adresse_.end(), adresse,
        [this](std::size_t i, unsigned short a) { return programme_.lignes[i].adresse < a; });
    if (trouve == par_adresse_.end()) {
        return 0;
    }
    ligne_assemblee const& l = programme_.lignes[*trouve];
    return l.adresse == adresse && (l.instruction || !instruction_seulement) ? l.ligne : 0;
}

int suivi_source::ligne_du_pc(unsigned short pc) const {
    return lignes_.actuelle(ligne_assemblee_en(pc, true));
}

std::string suivi_source::etat_pc(unsigned short pc) const {
    int const ligne = ligne_du_pc(pc);
    std::string const debut = "PC $" + hex4toS(pc) + " : ";
    return ligne > 0 ? debut + "ligne " + std::to_string(ligne) : debut + "hors du source";
}

int suivi_source::adresse_de(int ligne) const {
    int const a = lignes_.assemblee(ligne);
    return a > 0 && a < static_cast<int>(adresse_ligne_.size())
               ? adresse_ligne_[static_cast<std::size_t>(a)]
               : -1;
}

int suivi_source::adresse_point(int ligne) const {
    // Une ligne nouvelle prend l'instruction de la premiere ligne assemblee qui suit.
    int a = 0;
    for (int l = std::max(ligne, 1); l <= lignes_.nb_actuelles() && a == 0; ++l) {
        a = lignes_.assemblee(l);
    }
    for (; a > 0 && a < static_cast<int>(adresse_ligne_.size()); ++a) {
        if (instruction_ligne_[static_cast<std::size_t>(a)]) {
            return adresse_ligne_[static_cast<std::size_t>(a)];
        }
    }
    return -1;
}

points_par_ligne suivi_source::garde_points(points_arret const& points) const {
    points_par_ligne gardes;
    if (points.vide()) {
        return gardes;
    }
    for (unsigned int a = 0; a < 0x10000; ++a) {
        unsigned short const adresse = static_cast<unsigned short>(a);
        if (!points.contient(adresse)) {
            continue;
        }
        int const assemblee = ligne_assemblee_en(adresse, false);
        if (assemblee == 0) {
            gardes.adresses.push_back(adresse);
        } else if (int const ligne = lignes_.actuelle(assemblee); ligne > 0) {
            gardes.lignes.push_back(ligne);
        }
    }
    return gardes;
}

void suivi_source::repose_points(points_par_ligne const& gardes, points_arret& points) const {
    points.efface();
    auto const pose = [&points](int adresse) {
        if (adresse >= 0 && !points.contient(static_cast<unsigned short>(adresse))) {
            points.bascule(static_cast<unsigned short>(adresse));
        }
    };
    for (int ligne : gardes.lignes) {
        pose(adresse_point(ligne));
    }
    for (unsigned short adresse : gardes.adresses) {
        pose(adresse);
    }
}
