// Cles d'adresse et suggestions. Les symboles viennent de la table que
// l'assembleur rend avec l'image : rien n'est relu du source.
#include "exercices/adresses.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "assembleur/lecture.h"
#include "assembleur/symboles.h"
#include "chaines/chaines.h"

namespace {

constexpr long long fin_memoire = 0x10000;

bool debut_de_nom(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool suite_de_nom(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Un nombre sans signe sous les formes de l'assembleur.
bool nombre_sans_signe(std::string const& t, long long& v) {
    long lu = 0;
    if (t.empty() || t[0] == '-' || t[0] == '+' || !lit_nombre(t, lu)) {
        return false;
    }
    v = lu;
    return true;
}

// Minuscules, lettres accentuees du francais ramenees a leur lettre (UTF-8).
std::string forme_simple(std::string const& t) {
    static const struct {
        char const* accentuee;
        char lettre;
    } accents[] = {{"é", 'e'}, {"è", 'e'}, {"ê", 'e'}, {"ë", 'e'}, {"à", 'a'}, {"â", 'a'},
                   {"î", 'i'}, {"ï", 'i'}, {"ô", 'o'}, {"ù", 'u'}, {"û", 'u'}, {"ü", 'u'},
                   {"ç", 'c'}, {"É", 'e'}, {"È", 'e'}, {"À", 'a'}};
    std::string r;
    for (std::size_t i = 0; i < t.size();) {
        bool trouve = false;
        for (auto const& a : accents) {
            std::size_t const n = std::char_traits<char>::length(a.accentuee);
            if (t.compare(i, n, a.accentuee) == 0) {
                r += a.lettre;
                i += n;
                trouve = true;
                break;
            }
        }
        if (!trouve) {
            r += static_cast<char>(std::tolower(static_cast<unsigned char>(t[i])));
            ++i;
        }
    }
    return r;
}

// Un nom predefini de l'assembleur : sa table en est la seule liste.
bool adresse_predefinie(std::string const& nom, long long& adresse) {
    static table_symboles const predefinis;
    return predefinis.cherche(nom, adresse);
}

// Un nom d'une lettre ou deux est a une faute de tous les autres : seule la casse
// ou l'accent y vaut une suggestion.
std::size_t fautes_permises(std::string const& simple) {
    return simple.size() <= 2 ? 0 : simple.size() <= 4 ? 1 : 2;
}

} // namespace

bool lit_cle_adresse(std::string const& texte, cle_adresse& c) {
    c = cle_adresse{};
    c.texte = texte;
    std::string const t = sans_blancs(texte);
    long lu = 0;
    if (lit_nombre(t, lu)) {
        c.nombre = lu;
        return true;
    }
    if (t.empty() || !debut_de_nom(t[0])) {
        return false;
    }
    std::size_t fin = 1;
    while (fin < t.size() && suite_de_nom(t[fin])) {
        ++fin;
    }
    c.symbolique = true;
    c.symbole = t.substr(0, fin);
    std::string const reste = sans_blancs(t.substr(fin));
    if (!reste.empty() && ((reste[0] != '+' && reste[0] != '-') ||
                           !nombre_sans_signe(sans_blancs(reste.substr(1)), c.nombre))) {
        return false;
    }
    c.nombre = !reste.empty() && reste[0] == '-' ? -c.nombre : c.nombre;
    long long predefinie = 0;
    if (adresse_predefinie(c.symbole, predefinie)) {
        c.symbolique = false;
        c.predefini = true;
        c.symbole.clear();
        c.nombre += predefinie;
    }
    return true;
}

std::string cle_invalide(std::string const& texte) {
    return "adresse « " + texte +
           " » invalide : un nombre ($0200, 0x200, 512) ou une étiquette, suivie ou non de +N "
           "ou -N";
}

std::string hors_memoire(std::string const& texte, long long adresse, std::size_t taille) {
    if (adresse < 0 || adresse >= fin_memoire) {
        return "adresse « " + texte + " » hors de la mémoire ($0000 à $ffff)";
    }
    if (adresse + static_cast<long long>(taille) > fin_memoire) {
        return std::to_string(taille) + " octets depuis « " + texte + " » dépassent $ffff";
    }
    return "";
}

std::string resout_cle(cle_adresse const& c, programme_charge const& p, std::size_t taille,
                       unsigned short& adresse) {
    long long valeur = 0;
    if (c.symbolique) {
        if (!p.source) {
            return "étiquette « " + c.symbole + " » inconnue : un .bin n'a pas d'étiquettes";
        }
        std::string const absent = cherche_symbole(c.symbole, p, valeur);
        if (!absent.empty()) {
            return absent;
        }
    }
    return place_cle(c, valeur, taille, adresse);
}

std::string cherche_symbole(std::string const& symbole, programme_charge const& p,
                            long long& valeur) {
    symbole_source const* s = p.assemble.symbole(symbole);
    if (s == nullptr) {
        std::string const proche = p.assemble.symbole_proche(symbole, fautes_permises(symbole));
        return "étiquette « " + symbole + " » absente du programme" +
               (proche.empty() ? "" : " (voulez-vous dire « " + proche + " » ?)");
    }
    valeur = s->valeur;
    return "";
}

std::string place_cle(cle_adresse const& c, long long valeur_symbole, std::size_t taille,
                      unsigned short& adresse) {
    long long const a = c.nombre + (c.symbolique ? valeur_symbole : 0);
    std::string const hors = hors_memoire(c.texte, a, taille);
    if (!hors.empty()) {
        return hors + (c.symbolique ? " (" + c.symbole + " vaut " + texte_adresse(valeur_symbole) +
                                          " dans ce programme)"
                                    : "");
    }
    adresse = static_cast<unsigned short>(a);
    return "";
}

unsigned short adresse_registre(int r) {
    if (r < nb_ports) {
        return ports_machine[r].adresse_valeur;
    }
    return ports_machine[r == nb_ports ? 2 : 3].adresse_direction; // DDRC, DDRD
}

std::string texte_adresse(long long adresse) {
    if (adresse < 0) {
        return std::to_string(adresse);
    }
    char t[24];
    std::snprintf(t, sizeof t, "$%04llx", adresse);
    return t;
}

std::string suggestion(std::string const& nom, std::vector<std::string> const& candidats) {
    std::string const simple = forme_simple(nom);
    std::size_t const permis = fautes_permises(simple);
    std::string meilleur;
    std::size_t plus_petite = permis + 1;
    for (std::string const& c : candidats) {
        // Une lettre accentuee compte deux octets : la marge en tient compte.
        if (c.size() + permis < simple.size() || c.size() > 2 * (simple.size() + permis)) {
            continue;
        }
        std::size_t const d = distance_edition(simple, forme_simple(c));
        if (c != nom && d < plus_petite) {
            plus_petite = d;
            meilleur = c;
        }
    }
    return meilleur.empty() ? "" : " (voulez-vous dire « " + meilleur + " » ?)";
}
