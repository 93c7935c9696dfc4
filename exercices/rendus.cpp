// Texte, CSV et JSON d'une correction, sans rien recalculer : tout vient des
// resultats.
#include "exercices/rendus.h"

#include <algorithm>
#include <cstdio>

namespace {

// Longueur de la sequence UTF-8 valide qui commence en i, 0 si elle ne l'est pas
// (octet de suite, forme trop longue, moitie de paire, au-dela de U+10FFFF).
std::size_t sequence_utf8(std::string const& t, std::size_t i) {
    unsigned char const c = static_cast<unsigned char>(t[i]);
    if (c < 0x80) {
        return 1;
    }
    std::size_t const n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (n == 0 || c > 0xF4 || i + n > t.size()) {
        return 0;
    }
    unsigned long point = c & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        unsigned char const suite = static_cast<unsigned char>(t[i + k]);
        if ((suite & 0xC0) != 0x80) {
            return 0;
        }
        point = (point << 6) | (suite & 0x3F);
    }
    bool const trop_longue = (n == 3 && point < 0x800) || (n == 4 && point < 0x10000);
    bool const moitie = point >= 0xD800 && point <= 0xDFFF;
    return trop_longue || moitie || point > 0x10FFFF ? 0 : n;
}

std::string ou_null(bool present, std::string const& valeur) {
    return present ? valeur : "null";
}

} // namespace

std::string json_des_chaines(std::vector<std::string> const& v) {
    std::string j = "[";
    for (std::size_t k = 0; k < v.size(); ++k) {
        j += (k > 0 ? ", " : "") + chaine_json(v[k]);
    }
    return j + "]";
}

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

std::string json_du_cas(resultat_cas const& c) {
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

std::string en_utf8(std::string const& t) {
    std::string u;
    for (std::size_t i = 0; i < t.size();) {
        std::size_t const n = sequence_utf8(t, i);
        u += n == 0 ? std::string("\xEF\xBF\xBD") : t.substr(i, n);
        i += n == 0 ? 1 : n;
    }
    return u;
}

std::string chaine_json(std::string const& t) {
    std::string j = "\"";
    for (char c : en_utf8(t)) {
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

std::string nom_lisible(std::string const& t) {
    std::string l;
    for (char c : t) {
        unsigned char const u = static_cast<unsigned char>(c);
        if (c == '\n') {
            l += "\\n";
        } else if (c == '\r') {
            l += "\\r";
        } else if (c == '\t') {
            l += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            char echappe[8];
            std::snprintf(echappe, sizeof echappe, "\\x%02x", u);
            l += echappe;
        } else {
            l += c;
        }
    }
    return l;
}

std::string ligne_echec(cas_exercice const& c, resultat_cas const& r) {
    return "✘ " + nom_du_cas(c) + " : " + r.message;
}

std::string ligne_du_cas(cas_exercice const& c, resultat_cas const& r, bool pour_etudiant) {
    if (pour_etudiant && c.cache) {
        return (r.reussi ? "✔ " : "✘ ") + nom_lisible(c.nom) + " (cas caché)";
    }
    if (r.reussi) {
        return "✔ " + nom_lisible(nom_du_cas(c));
    }
    std::string const breve = mise_en_place_breve(c);
    return "✘ " + nom_lisible(nom_du_cas(c)) + (breve.empty() ? "" : ", " + breve) + " : " +
           r.message;
}

std::vector<std::string> lignes_copie(exercice const& e, resultat_copie const& copie) {
    std::vector<std::string> l;
    for (std::string const& n : copie.notes) {
        l.push_back(nom_lisible(n));
    }
    l.insert(l.end(), copie.avertissements.begin(), copie.avertissements.end());
    if (!copie.charge) {
        l.push_back(copie.erreurs.empty() ? std::string("ne se charge pas")
                                          : copie.erreurs.front());
        return l;
    }
    // Une cle qui ne se resout pas (etiquette absente) arrete des cas : chacune
    // n'est dite qu'une fois, avec les cas qu'elle arrete, a la place du premier.
    std::vector<std::string> raisons;
    std::vector<std::vector<std::string>> arretes;
    std::vector<std::size_t> places;
    for (std::size_t i = 0; i < copie.cas.size(); ++i) {
        resultat_cas const& r = copie.cas[i];
        if (r.reussi) {
            continue;
        }
        if (r.lance) {
            l.push_back(ligne_du_cas(e.cas[i], r, false));
            continue;
        }
        for (std::size_t debut = 0; debut <= r.message.size();) {
            std::size_t fin = r.message.find(" ; ", debut);
            fin = fin == std::string::npos ? r.message.size() : fin;
            std::string const raison = r.message.substr(debut, fin - debut);
            std::size_t const k = static_cast<std::size_t>(
                std::find(raisons.begin(), raisons.end(), raison) - raisons.begin());
            if (k == raisons.size()) {
                raisons.push_back(raison);
                arretes.push_back({});
                places.push_back(l.size());
                l.emplace_back();
            }
            arretes[k].push_back(nom_lisible(nom_du_cas(e.cas[i])));
            debut = fin + 3;
        }
    }
    for (std::size_t k = 0; k < raisons.size(); ++k) {
        std::vector<std::string> const& noms = arretes[k];
        std::string qui;
        for (std::size_t n = 0; n < noms.size() && noms.size() <= 3; ++n) {
            qui += (n > 0 ? ", " : "") + noms[n];
        }
        l[places[k]] = "✘ " + (noms.size() > 3 ? std::to_string(noms.size()) + " cas" : qui) +
                       " : " + raisons[k];
    }
    return l;
}

std::string rendu_texte(exercice const& e, std::vector<resultat_copie> const& r, long long sur) {
    std::string t;
    for (resultat_copie const& copie : r) {
        t += nom_lisible(copie.fichier) + " : " + std::to_string(copie.points) + "/" +
             std::to_string(copie.total) +
             (sur > 0 ? " — " + texte_note(note_en_quarts(copie.points, copie.total, sur), ',') +
                            "/" + std::to_string(sur)
                      : "") +
             "\n";
        for (std::string const& ligne : lignes_copie(e, copie)) {
            t += "  " + ligne + "\n";
        }
    }
    return t;
}

std::string entete_csv(exercice const& e, char const* premieres, long long sur) {
    std::string t = std::string("\xEF\xBB\xBF") + premieres + ";points;total";
    t += sur > 0 ? ";note" : "";
    for (cas_exercice const& c : e.cas) {
        t += ";" + champ_csv(c.nom);
    }
    return t + "\n";
}

std::string points_csv(resultat_copie const& copie, long long sur) {
    std::string t = ";" + std::to_string(copie.points) + ";" + std::to_string(copie.total);
    if (sur > 0) {
        t += ";" + texte_note(note_en_quarts(copie.points, copie.total, sur), ',');
    }
    for (resultat_cas const& c : copie.cas) {
        t += ";" + std::to_string(c.points);
    }
    return t + "\n";
}

std::string rendu_csv(exercice const& e, std::vector<resultat_copie> const& r, long long sur) {
    std::string t = entete_csv(e, "copie", sur);
    for (resultat_copie const& copie : r) {
        t += champ_csv(copie.fichier) + points_csv(copie, sur);
    }
    return t;
}

std::string rendu_json(exercice const& e, std::vector<resultat_copie> const& r, long long sur) {
    std::string j = "{\"titre\": " + chaine_json(e.titre) +
                    ", \"total\": " + std::to_string(e.total()) + ", \"copies\": [";
    for (std::size_t i = 0; i < r.size(); ++i) {
        resultat_copie const& copie = r[i];
        j += std::string(i > 0 ? ", " : "") + "{\"fichier\": " + chaine_json(copie.fichier) +
             ", \"points\": " + std::to_string(copie.points) +
             ", \"total\": " + std::to_string(copie.total) +
             ", \"erreurs\": " + json_des_chaines(copie.erreurs) + ", \"cas\": [";
        for (std::size_t k = 0; k < copie.cas.size(); ++k) {
            j += (k > 0 ? ", " : "") + json_du_cas(copie.cas[k]);
        }
        // Les cles venues apres les autres, en dernier.
        j += "], \"avertissements\": " + json_des_chaines(copie.avertissements) +
             ", \"notes\": " + json_des_chaines(copie.notes) + ", \"note\": " +
             (sur > 0 ? texte_note(note_en_quarts(copie.points, copie.total, sur), '.') : "null") +
             "}";
    }
    return j + "]}\n";
}

long long note_en_quarts(long long points, long long total, long long sur) {
    if (total <= 0) {
        return 0;
    }
    return (8 * points * sur + total) / (2 * total);
}

std::string texte_note(long long quarts, char virgule) {
    static char const* const fractions[] = {"", "25", "5", "75"};
    std::string t = std::to_string(quarts / 4);
    return quarts % 4 == 0 ? t : t + virgule + fractions[quarts % 4];
}
