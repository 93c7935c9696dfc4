// Textes de la fenetre d'un exercice. Ceux du correcteur (nom_du_cas,
// ligne_echec, ligne_du_cas, mise_en_place) sont pris tels quels, puis bornes :
// un texte court sort comme avant.
#include "exercices/vue_exercice.h"

#include "exercices/rendus.h"
#include "simulateur/textes_fichiers.h"

namespace {

constexpr char const* points_suspendus = "…";

bool continue_caractere(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::string borne(std::string const& t, std::size_t max) {
    if (max == 0) {
        return "";
    }
    // Debut du caractere numero max - 1 (compte de 0) : la coupe s'y fait.
    std::size_t caracteres = 0, coupe = t.size();
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (continue_caractere(t[i])) {
            continue;
        }
        if (caracteres == max - 1) {
            coupe = i;
        } else if (caracteres == max) {
            return t.substr(0, coupe) + points_suspendus;
        }
        ++caracteres;
    }
    return t;
}

std::vector<std::string> borne_lignes(std::vector<std::string> const& l, std::size_t max) {
    std::vector<std::string> b;
    for (std::size_t i = 0; i < l.size(); ++i) {
        if (i + 1 == max && l.size() > max) {
            b.push_back("… et " + std::to_string(l.size() - i) + " lignes de plus");
            break;
        }
        b.push_back(borne(l[i], ligne_montree_max));
    }
    return b;
}

std::string ligne_cas_montree(cas_exercice const& c, resultat_cas const* r) {
    std::string ligne;
    if (r == nullptr) {
        ligne = "   " + (c.cache ? nom_lisible(c.nom) + " (cas caché)" : nom_du_cas(c));
    } else if (c.cache) {
        ligne = ligne_du_cas(c, *r, true);
    } else {
        ligne = r->reussi ? "✔ " + nom_du_cas(c) : ligne_echec(c, *r);
    }
    return borne(ligne, ligne_montree_max);
}

std::string detail_cas_montre(cas_exercice const& c, resultat_cas const* r) {
    std::string texte = c.cache ? nom_lisible(c.nom) + " (cas caché)" : nom_du_cas(c);
    if (r != nullptr && c.cache) {
        texte += r->reussi ? " : réussi" : " : échoué";
    } else if (r != nullptr) {
        texte += r->reussi ? " : réussi, " + compte(static_cast<std::size_t>(r->points), "point")
                           : " : " + r->message;
    }
    return borne(texte, detail_montre_max);
}

std::vector<std::string> pose_montree(cas_exercice const& c) {
    if (c.cache) {
        return {"Cas caché : l'exercice n'en montre que le nom et le verdict."};
    }
    std::vector<std::string> l = mise_en_place(c);
    if (l.empty()) {
        return {"Ce cas ne pose rien : le programme part tel qu'il est chargé."};
    }
    for (std::string& ligne : l) {
        ligne = borne(ligne, pose_montree_max);
    }
    return l;
}

std::string cas_prepare_montre(cas_exercice const& c) {
    std::string texte = "Cas préparé : " + nom_du_cas(c);
    if (!c.evenements.empty()) {
        texte += " ; événements aux pas";
        for (evenement_entree const& e : c.evenements) {
            texte += " " + std::to_string(e.pas);
            if (texte.size() > 4 * ligne_montree_max) {
                break; // la suite serait coupee
            }
        }
    }
    return borne(texte, ligne_montree_max);
}
