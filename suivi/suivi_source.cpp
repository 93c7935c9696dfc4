// Suivi du programme charge dans son source, par la table adresses <-> lignes de
// l'assembleur (ligne_en, et les lignes qui stockent, rangees par numero) et par
// le suivi des lignes depuis l'assemblage.
#include "suivi/suivi_source.h"

#include <algorithm>

#include "chaines/chaines.h"

void suivi_source::programme(programme_assemble const& p, int nb_lignes) {
    a_programme_ = true;
    programme_ = p;
    lignes_.repart(nb_lignes);
}

void suivi_source::oublie_programme() {
    a_programme_ = false;
    programme_ = programme_assemble();
}

ligne_assemblee const* suivi_source::enonce_de(int assemblee) const {
    auto const l = programme_.stocke_depuis(assemblee);
    return l != programme_.lignes.end() && l->ligne == assemblee && assemblee > 0 ? &*l : nullptr;
}

int suivi_source::ligne_du_pc(unsigned short pc) const {
    int const assemblee = programme_.ligne_en(pc);
    ligne_assemblee const* e = enonce_de(assemblee);
    return e != nullptr && e->instruction ? lignes_.actuelle(assemblee) : 0;
}

std::string suivi_source::etat_pc(unsigned short pc) const {
    int const ligne = ligne_du_pc(pc);
    std::string const debut = "PC $" + hex4toS(pc) + " : ";
    return ligne > 0 ? debut + "ligne " + std::to_string(ligne) : debut + "hors du source";
}

int suivi_source::adresse_de(int ligne) const {
    ligne_assemblee const* e = enonce_de(lignes_.assemblee(ligne));
    return e != nullptr ? e->adresse : -1;
}

std::string suivi_source::profondeur_de(int ligne) const {
    ligne_assemblee const* e = enonce_de(lignes_.assemblee(ligne));
    return e != nullptr && e->instruction ? texte_profondeurs(e->profondeurs) : std::string();
}

int suivi_source::adresse_point(int ligne) const {
    // Une ligne inseree depuis l'assemblage prend la premiere ligne assemblee qui suit.
    int a = 0;
    for (int l = std::max(ligne, 1); l <= lignes_.nb_actuelles() && a == 0; ++l) {
        a = lignes_.assemblee(l);
    }
    if (a == 0) {
        return -1;
    }
    // Une ligne sans instruction (donnees comprises) prend celle de la suivante :
    // un point d'arret n'arrete qu'une instruction.
    auto l = programme_.stocke_depuis(a);
    while (l != programme_.lignes.end() && !l->instruction) {
        ++l;
    }
    return l != programme_.lignes.end() ? l->adresse : -1;
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
        int const assemblee = programme_.ligne_en(adresse);
        ligne_assemblee const* e = enonce_de(assemblee);
        if (e == nullptr || !e->instruction) {
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
