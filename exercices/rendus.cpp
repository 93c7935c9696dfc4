// Texte, CSV et JSON d'une correction, sans rien recalculer : tout vient des
// resultats.
#include "exercices/rendus.h"

#include <cstdio>

namespace {

std::string champ_csv(std::string const& t) {
    if (t.find_first_of(";\"\r\n") == std::string::npos) {
        return t;
    }
    std::string q = "\"";
    for (char c : t) {
        q += c == '"' ? "\"\"" : std::string(1, c);
    }
    return q + "\"";
}

std::string chaine_json(std::string const& t) {
    std::string j = "\"";
    for (char c : t) {
        unsigned char const u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            j += '\\';
            j += c;
        } else if (u < 0x20) {
            char echappe[8];
            std::snprintf(echappe, sizeof echappe, "\\u%04x", u);
            j += echappe;
        } else {
            j += c;
        }
    }
    return j + "\"";
}

std::string ou_null(bool present, std::string const& valeur) {
    return present ? valeur : "null";
}

std::string cas_json(resultat_cas const& c) {
    std::string j = "{\"nom\": " + chaine_json(c.nom) +
                    ", \"reussi\": " + (c.reussi ? "true" : "false") +
                    ", \"points\": " + std::to_string(c.points) +
                    ", \"arret\": " + ou_null(c.lance, chaine_json(mot_arret(c.raison))) +
                    ", \"arret_en\": " + ou_null(c.lance, std::to_string(c.arret_en)) +
                    ", \"ligne\": " + ou_null(c.ligne > 0, std::to_string(c.ligne)) +
                    ", \"pas\": " + std::to_string(c.pas) + ", \"ecarts\": [";
    for (std::size_t i = 0; i < c.ecarts.size(); ++i) {
        ecart const& e = c.ecarts[i];
        j += std::string(i > 0 ? ", " : "") + "{\"quoi\": " + chaine_json(e.quoi) +
             ", \"attendu\": " + e.attendu + ", \"obtenu\": " + e.obtenu + "}";
    }
    return j + "], \"message\": " + chaine_json(c.message) + "}";
}

} // namespace

std::string ligne_echec(cas_exercice const& c, resultat_cas const& r) {
    return "✘ " + nom_du_cas(c) + " : " + r.message;
}

std::string rendu_texte(exercice const& e, std::vector<resultat_copie> const& r) {
    std::string t;
    for (resultat_copie const& copie : r) {
        t += copie.fichier + " : " + std::to_string(copie.points) + "/" +
             std::to_string(copie.total) + "\n";
        if (!copie.charge) {
            t += "  " +
                 (copie.erreurs.empty() ? std::string("ne se charge pas") : copie.erreurs.front()) +
                 "\n";
            continue;
        }
        for (std::size_t i = 0; i < copie.cas.size(); ++i) {
            if (!copie.cas[i].reussi) {
                t += "  " + ligne_echec(e.cas[i], copie.cas[i]) + "\n";
            }
        }
    }
    return t;
}

std::string rendu_csv(exercice const& e, std::vector<resultat_copie> const& r) {
    std::string t = "\xEF\xBB\xBF"
                    "copie;points;total";
    for (cas_exercice const& c : e.cas) {
        t += ";" + champ_csv(c.nom);
    }
    t += "\n";
    for (resultat_copie const& copie : r) {
        t += champ_csv(copie.fichier) + ";" + std::to_string(copie.points) + ";" +
             std::to_string(copie.total);
        for (resultat_cas const& c : copie.cas) {
            t += ";" + std::to_string(c.points);
        }
        t += "\n";
    }
    return t;
}

std::string rendu_json(exercice const& e, std::vector<resultat_copie> const& r) {
    std::string j = "{\"titre\": " + chaine_json(e.titre) +
                    ", \"total\": " + std::to_string(e.total()) + ", \"copies\": [";
    for (std::size_t i = 0; i < r.size(); ++i) {
        resultat_copie const& copie = r[i];
        j += std::string(i > 0 ? ", " : "") + "{\"fichier\": " + chaine_json(copie.fichier) +
             ", \"points\": " + std::to_string(copie.points) +
             ", \"total\": " + std::to_string(copie.total) + ", \"erreurs\": [";
        for (std::size_t k = 0; k < copie.erreurs.size(); ++k) {
            j += (k > 0 ? ", " : "") + chaine_json(copie.erreurs[k]);
        }
        j += "], \"cas\": [";
        for (std::size_t k = 0; k < copie.cas.size(); ++k) {
            j += (k > 0 ? ", " : "") + cas_json(copie.cas[k]);
        }
        j += "]}";
    }
    return j + "]}\n";
}
