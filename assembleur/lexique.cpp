// Decoupage des lignes en jetons et lecture des nombres. Toute faute de lexique
// est signalee avec sa colonne et arrete la ligne : la suite n'aurait pas de sens.
#include "assembleur/lexique.h"

#include <cstdint>

namespace {

constexpr unsigned long long plus_grand_nombre = 0xFFFFFFFFull; // 32 bits au plus

bool est_lettre(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool est_chiffre(char c) {
    return c >= '0' && c <= '9';
}
bool est_alphanumerique(char c) {
    return est_lettre(c) || est_chiffre(c);
}
bool est_blanc(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Valeur d'un chiffre dans la base, -1 s'il n'en est pas un.
int chiffre(char c, int base) {
    int v = -1;
    if (est_chiffre(c)) {
        v = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        v = c - 'A' + 10;
    }
    return v < base ? v : -1;
}

// Caractere apres une barre oblique inverse dans une chaine ou entre apostrophes.
int echappement(char c) {
    switch (c) {
    case 'n':
        return '\n';
    case 't':
        return '\t';
    case '0':
        return 0;
    case '\\':
    case '\'':
    case '"':
        return static_cast<unsigned char>(c);
    default:
        return -1;
    }
}

// Un nombre qui commence en texte[debut] ; rend la position qui le suit, ou -1 et
// le message d'erreur.
struct lecture_nombre {
    std::size_t fin;
    long long valeur;
    std::string erreur;
};

lecture_nombre lit_un_nombre(std::string const& texte, std::size_t debut) {
    std::size_t i = debut;
    int base = 10;
    char const c = texte[i];
    if (c == '\'') {
        if (i + 1 >= texte.size()) {
            return {0, 0, "caractère attendu après « ' »"};
        }
        int v = static_cast<unsigned char>(texte[i + 1]);
        std::size_t suite = i + 2;
        if (texte[i + 1] == '\\' && i + 2 < texte.size()) {
            v = echappement(texte[i + 2]);
            if (v < 0) {
                return {0, 0,
                        std::string("échappement inconnu « \\") + texte[i + 2] +
                            " » (attendu \\n, \\t, \\0, \\\\, \\' ou \\\")"};
            }
            suite = i + 3;
        }
        if (suite >= texte.size() || texte[suite] != '\'') {
            return {0, 0, "un seul caractère attendu entre apostrophes, comme 'A'"};
        }
        return {suite + 1, v, ""};
    }
    if (c == '$') {
        base = 16;
        ++i;
    } else if (c == '%') {
        base = 2;
        ++i;
    } else if (c == '0' && i + 1 < texte.size() && (texte[i + 1] == 'x' || texte[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    std::size_t const premier_chiffre = i;
    unsigned long long valeur = 0;
    bool trop_grand = false;
    while (i < texte.size() && chiffre(texte[i], base) >= 0) {
        valeur =
            valeur * static_cast<unsigned>(base) + static_cast<unsigned>(chiffre(texte[i], base));
        trop_grand = trop_grand || valeur > plus_grand_nombre;
        if (trop_grand) {
            valeur = 0;
        }
        ++i;
    }
    std::size_t fin = i;
    while (fin < texte.size() && est_alphanumerique(texte[fin])) {
        ++fin;
    }
    std::string const ecrit = texte.substr(debut, fin - debut);
    if (i == premier_chiffre) {
        char const* attendu = base == 16 ? "hexadécimal" : base == 2 ? "binaire (0 ou 1)" : "";
        return {0, 0,
                std::string("chiffre ") + attendu + " attendu après « " +
                    texte.substr(debut, premier_chiffre - debut) + " »"};
    }
    if (fin != i) {
        return {0, 0, "nombre mal formé « " + ecrit + " »"};
    }
    if (trop_grand) {
        return {0, 0, "nombre « " + ecrit + " » trop grand (au plus 4294967295)"};
    }
    return {fin, static_cast<long long>(valeur), ""};
}

// Le caractere en texte[i] pour un message : « x », ou son code s'il ne s'imprime pas.
std::string caractere_inattendu(std::string const& texte, std::size_t i) {
    unsigned char const c = static_cast<unsigned char>(texte[i]);
    if (c >= 0x80) {
        return "caractère non ASCII inattendu (octet " + std::to_string(c) +
               ") : seuls les commentaires et les chaînes peuvent en contenir";
    }
    if (c < 0x20 || c == 0x7F) {
        return "caractère de contrôle inattendu (code " + std::to_string(c) + ")";
    }
    return std::string("caractère « ") + static_cast<char>(c) + " » inattendu";
}

} // namespace

void signale(std::vector<diagnostic>& diagnostics, int ligne, int colonne,
             std::string const& message, bool erreur) {
    diagnostics.push_back({erreur, ligne, colonne, message});
}

std::string cite(jeton const& j) {
    if (j.sorte == sorte_jeton::chaine) {
        return "« \"" + j.texte + "\" »";
    }
    return "« " + j.texte + " »";
}

bool decoupe_ligne(std::string const& ligne, int numero, std::vector<jeton>& jetons,
                   std::vector<diagnostic>& diagnostics) {
    std::size_t i = 0;
    while (i < ligne.size()) {
        char const c = ligne[i];
        int const colonne = static_cast<int>(i) + 1;
        if (est_blanc(c)) {
            ++i;
            continue;
        }
        if (c == ';') {
            break;
        }
        static const struct {
            char c;
            sorte_jeton sorte;
        } ponctuations[] = {
            {'*', sorte_jeton::etoile},  {'+', sorte_jeton::plus},        {'-', sorte_jeton::moins},
            {',', sorte_jeton::virgule}, {':', sorte_jeton::deux_points}, {'=', sorte_jeton::egal},
        };
        bool ponctuation = false;
        for (auto const& p : ponctuations) {
            if (c == p.c) {
                jetons.push_back({p.sorte, std::string(1, c), 0, colonne, colonne + 1});
                ponctuation = true;
            }
        }
        if (ponctuation) {
            ++i;
            continue;
        }
        if (est_lettre(c) || (c == '.' && i + 1 < ligne.size() && est_lettre(ligne[i + 1]))) {
            std::size_t fin = i + 1;
            while (fin < ligne.size() && est_alphanumerique(ligne[fin])) {
                ++fin;
            }
            jetons.push_back({c == '.' ? sorte_jeton::directive : sorte_jeton::nom,
                              ligne.substr(i, fin - i), 0, colonne, static_cast<int>(fin) + 1});
            i = fin;
            continue;
        }
        if (est_chiffre(c) || c == '$' || c == '%' || c == '\'') {
            lecture_nombre const n = lit_un_nombre(ligne, i);
            if (!n.erreur.empty()) {
                signale(diagnostics, numero, colonne, n.erreur);
                return false;
            }
            jetons.push_back({sorte_jeton::nombre, ligne.substr(i, n.fin - i), n.valeur, colonne,
                              static_cast<int>(n.fin) + 1});
            i = n.fin;
            continue;
        }
        if (c == '"') {
            std::string octets;
            std::size_t j = i + 1;
            for (; j < ligne.size() && ligne[j] != '"'; ++j) {
                if (ligne[j] == '\\' && j + 1 < ligne.size()) {
                    int const e = echappement(ligne[j + 1]);
                    if (e < 0) {
                        signale(diagnostics, numero, static_cast<int>(j) + 1,
                                std::string("échappement inconnu « \\") + ligne[j + 1] +
                                    " » (attendu \\n, \\t, \\0, \\\\, \\' ou \\\")");
                        return false;
                    }
                    octets.push_back(static_cast<char>(e));
                    ++j;
                } else {
                    octets.push_back(ligne[j]);
                }
            }
            if (j >= ligne.size()) {
                signale(diagnostics, numero, colonne, "chaîne sans guillemet fermant");
                return false;
            }
            jetons.push_back({sorte_jeton::chaine, octets, 0, colonne, static_cast<int>(j) + 2});
            i = j + 1;
            continue;
        }
        signale(diagnostics, numero, colonne, caractere_inattendu(ligne, i));
        return false;
    }
    return true;
}

bool lit_nombre(std::string const& texte, long& valeur) {
    std::size_t debut = 0;
    bool negatif = false;
    if (!texte.empty() && (texte[0] == '-' || texte[0] == '+')) {
        negatif = texte[0] == '-';
        debut = 1;
    }
    if (debut >= texte.size()) {
        return false;
    }
    char const c = texte[debut];
    if (!(est_chiffre(c) || c == '$' || c == '%' || c == '\'')) {
        return false;
    }
    lecture_nombre const n = lit_un_nombre(texte, debut);
    if (!n.erreur.empty() || n.fin != texte.size()) {
        return false;
    }
    valeur = static_cast<long>(negatif ? -n.valeur : n.valeur);
    return true;
}
