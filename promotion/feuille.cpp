// Un CSV lu en morceaux : chaque champ garde ses octets de debut et de fin dans
// le texte, guillemets compris, pour que la feuille reecrite soit la feuille lue
// ou seuls deux champs par ligne ont change.
#include "promotion/feuille.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "exercices/rendus.h"
#include "promotion/classe.h"

namespace {

struct champ {
    std::size_t debut, fin; // dans le texte
};

struct ligne_csv {
    std::vector<champ> champs;
};

// Les lignes du CSV (des guillemets peuvent contenir separateurs et fins de ligne).
std::vector<ligne_csv> decoupe(std::string const& t, std::size_t debut, char separateur) {
    std::vector<ligne_csv> lignes;
    std::size_t i = debut;
    while (i < t.size()) {
        ligne_csv l;
        for (;;) {
            std::size_t const d = i;
            if (i < t.size() && t[i] == '"') {
                for (++i; i < t.size(); ++i) {
                    if (t[i] == '"' && (i + 1 >= t.size() || t[i + 1] != '"')) {
                        ++i;
                        break;
                    }
                    if (t[i] == '"') {
                        ++i; // un guillemet double
                    }
                }
            }
            while (i < t.size() && t[i] != separateur && t[i] != '\n' && t[i] != '\r') {
                ++i;
            }
            l.champs.push_back({d, i});
            if (i < t.size() && t[i] == separateur) {
                ++i;
                continue;
            }
            break;
        }
        if (i < t.size() && t[i] == '\r') {
            ++i;
        }
        if (i < t.size() && t[i] == '\n') {
            ++i;
        }
        lignes.push_back(std::move(l));
    }
    return lignes;
}

std::string valeur(std::string const& t, champ const& c) {
    std::string v = t.substr(c.debut, c.fin - c.debut);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
        std::string sans;
        for (std::size_t i = 1; i + 1 < v.size(); ++i) {
            sans += v[i];
            if (v[i] == '"' && v[i + 1] == '"') {
                ++i;
            }
        }
        return sans;
    }
    return v;
}

// Minuscules sans accents ni blancs autour : « Feedback par commentaires ».
std::string forme(std::string const& t, bool latin1) {
    std::string u = latin1 ? "" : t;
    if (latin1) {
        for (char c : t) {
            unsigned char const o = static_cast<unsigned char>(c);
            u += o < 0x80 ? std::string(1, c)
                          : std::string(1, static_cast<char>(0xC0 | (o >> 6))) +
                                static_cast<char>(0x80 | (o & 0x3F));
        }
    }
    std::string r;
    for (std::size_t i = 0; i < u.size(); ++i) {
        unsigned char const c = static_cast<unsigned char>(u[i]);
        if (c == 0xC3 && i + 1 < u.size()) {
            unsigned char const s = static_cast<unsigned char>(u[++i]) | 0x20;
            r += s >= 0xA0 && s <= 0xA5   ? 'a'
                 : s == 0xA7              ? 'c'
                 : s >= 0xA8 && s <= 0xAB ? 'e'
                 : s >= 0xAC && s <= 0xAF ? 'i'
                 : s >= 0xB2 && s <= 0xB6 ? 'o'
                 : s >= 0xB9 && s <= 0xBC ? 'u'
                                          : '?';
        } else if (c >= 0x80) {
            r += '?';
        } else {
            r += static_cast<char>(std::tolower(c));
        }
    }
    std::size_t const d = r.find_first_not_of(" \t");
    return d == std::string::npos ? "" : r.substr(d, r.find_last_not_of(" \t") - d + 1);
}

int colonne(std::vector<std::string> const& entetes, std::vector<char const*> const& noms) {
    for (std::size_t i = 0; i < entetes.size(); ++i) {
        for (char const* n : noms) {
            if (entetes[i] == n) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

// Le separateur de l'en-tete : celui des trois qui y revient le plus hors guillemets.
char separateur_de(std::string const& t, std::size_t debut) {
    int compte[3] = {0, 0, 0};
    char const candidats[3] = {',', ';', '\t'};
    bool guillemets = false;
    for (std::size_t i = debut; i < t.size() && (guillemets || t[i] != '\n'); ++i) {
        guillemets = t[i] == '"' ? !guillemets : guillemets;
        for (int k = 0; k < 3; ++k) {
            compte[k] += !guillemets && t[i] == candidats[k] ? 1 : 0;
        }
    }
    int const meilleur = static_cast<int>(std::max_element(compte, compte + 3) - compte);
    return compte[meilleur] > 0 ? candidats[meilleur] : ',';
}

// Les chiffres de la fin : « Participant 123456 » donne 123456.
std::string identifiant_de(std::string const& v) {
    std::size_t fin = v.find_last_not_of(" \t");
    if (fin == std::string::npos) {
        return "";
    }
    std::size_t debut = fin + 1;
    while (debut > 0 && std::isdigit(static_cast<unsigned char>(v[debut - 1]))) {
        --debut;
    }
    return v.substr(debut, fin + 1 - debut);
}

// Une note maximale « 20.00 » ou « 20,00 » en centiemes ; faux sinon.
bool centiemes(std::string const& v, long long& c, char& virgule, int& decimales) {
    std::size_t const d = v.find_first_not_of(" \t");
    if (d == std::string::npos) {
        return false;
    }
    long long entier = 0, fraction = 0;
    int chiffres = 0;
    decimales = 0;
    virgule = '.';
    bool apres = false;
    for (std::size_t i = d; i < v.size() && v[i] != ' '; ++i) {
        char const x = v[i];
        if ((x == '.' || x == ',') && !apres) {
            apres = true;
            virgule = x;
        } else if (std::isdigit(static_cast<unsigned char>(x)) && chiffres < 12) {
            ++chiffres;
            if (apres) {
                if (decimales < 2) {
                    fraction = fraction * 10 + (x - '0');
                }
                ++decimales;
            } else {
                entier = entier * 10 + (x - '0');
            }
        } else {
            return false;
        }
    }
    for (int k = std::min(decimales, 2); k < 2; ++k) {
        fraction *= 10;
    }
    c = entier * 100 + fraction;
    return chiffres > 0;
}

std::string avec_decimales(long long centiemes, char virgule, int decimales) {
    std::string t = std::to_string(centiemes / 100);
    if (decimales > 0) {
        std::string f = std::to_string(100 + centiemes % 100).substr(1);
        t += virgule + f.substr(0, static_cast<std::size_t>(std::min(decimales, 2)));
    }
    return t;
}

// Le commentaire dans l'encodage de la feuille, entre guillemets s'il le faut.
std::string champ_ecrit(std::string const& utf8, bool latin1, char separateur) {
    std::string t;
    if (!latin1) {
        t = en_utf8(utf8);
    } else {
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            unsigned char const c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                t += utf8[i];
            } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
                t += static_cast<char>(((c & 0x03) << 6) | (utf8[++i] & 0x3F));
            } else if (c >= 0xC0) {
                t += '?';
                while (i + 1 < utf8.size() &&
                       (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
                    ++i;
                }
            }
        }
    }
    if (t.find_first_of(std::string(1, separateur) + "\"\r\n") == std::string::npos) {
        return t;
    }
    std::string q = "\"";
    for (char c : t) {
        q += c == '"' ? "\"\"" : std::string(1, c);
    }
    return q + "\"";
}

} // namespace

feuille_remplie remplit_feuille(std::string const& texte, std::vector<note_feuille> const& notes,
                                long long sur) {
    feuille_remplie f;
    std::size_t const debut = texte.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    bool const latin1 = en_utf8(texte) != texte;
    char const separateur = separateur_de(texte, debut);
    std::vector<ligne_csv> const lignes = decoupe(texte, debut, separateur);
    if (lignes.empty()) {
        f.erreur = "feuille vide";
        return f;
    }
    std::vector<std::string> entetes;
    for (champ const& c : lignes[0].champs) {
        entetes.push_back(forme(valeur(texte, c), latin1));
    }
    int const id = colonne(entetes, {"identifier", "identifiant"});
    int const note = colonne(entetes, {"grade", "note"});
    int const maxi = colonne(entetes, {"maximum grade", "note maximale", "note maximum"});
    int const retour =
        colonne(entetes, {"feedback comments", "feedback par commentaires",
                          "commentaires de feedback", "commentaires feedback", "feedback comment"});
    int const nom = colonne(entetes, {"full name", "nom complet"});
    if (id < 0 || note < 0) {
        f.erreur = std::string("colonne « ") + (id < 0 ? "Identifier" : "Grade") +
                   " » introuvable dans la première ligne : ce n'est pas la feuille de notes de la "
                   "plateforme";
        return f;
    }
    std::map<std::string, note_feuille const*> par_id;
    for (note_feuille const& n : notes) {
        par_id[n.identifiant] = &n;
    }
    std::map<std::string, bool> trouves;
    struct remplacement {
        champ c;
        std::string par;
    };
    std::vector<remplacement> remplacements;
    for (std::size_t k = 1; k < lignes.size(); ++k) {
        ligne_csv const& l = lignes[k];
        if (l.champs.size() == 1 && l.champs[0].debut == l.champs[0].fin) {
            continue; // ligne vide
        }
        std::string const qui =
            static_cast<std::size_t>(id) < l.champs.size() ? valeur(texte, l.champs[id]) : "";
        std::string const chiffres = identifiant_de(qui);
        auto const n = par_id.find(chiffres);
        if (chiffres.empty() || n == par_id.end() ||
            static_cast<std::size_t>(note) >= l.champs.size()) {
            std::string const qui_nom = nom >= 0 && static_cast<std::size_t>(nom) < l.champs.size()
                                            ? valeur(texte, l.champs[nom])
                                            : "";
            f.sans_copie.push_back(en_utf8(qui) +
                                   (qui_nom.empty() ? "" : " (" + en_utf8(qui_nom) + ")"));
            continue;
        }
        trouves[chiffres] = true;
        note_feuille const& ne = *n->second;
        long long maximum = 0;
        char virgule = '.';
        int decimales = 2;
        bool const a_maximum =
            maxi >= 0 && static_cast<std::size_t>(maxi) < l.champs.size() &&
            centiemes(valeur(texte, l.champs[maxi]), maximum, virgule, decimales);
        std::string texte_note_ligne;
        if (sur > 0 || (a_maximum && maximum % 100 == 0)) {
            long long const echelle = sur > 0 ? sur : maximum / 100;
            texte_note_ligne = avec_decimales(25 * note_en_quarts(ne.points, ne.total, echelle),
                                              virgule, a_maximum ? decimales : 2);
        } else if (a_maximum) {
            long long const c =
                ne.total > 0 ? (2 * ne.points * maximum + ne.total) / (2 * ne.total) : 0;
            texte_note_ligne = avec_decimales(c, virgule, decimales);
        } else {
            texte_note_ligne = std::to_string(ne.points);
        }
        remplacements.push_back({l.champs[note], texte_note_ligne});
        if (retour >= 0 && static_cast<std::size_t>(retour) < l.champs.size()) {
            remplacements.push_back(
                {l.champs[retour], champ_ecrit(ne.commentaire, latin1, separateur)});
        }
        ++f.remplies;
    }
    for (note_feuille const& n : notes) {
        if (!n.identifiant.empty() && !trouves.count(n.identifiant)) {
            f.absents.push_back(n.identifiant);
        }
    }
    std::sort(remplacements.begin(), remplacements.end(),
              [](remplacement const& a, remplacement const& b) { return a.c.debut < b.c.debut; });
    std::size_t ici = 0;
    for (remplacement const& r : remplacements) {
        f.texte += texte.substr(ici, r.c.debut - ici) + r.par;
        ici = r.c.fin;
    }
    f.texte += texte.substr(ici);
    return f;
}
