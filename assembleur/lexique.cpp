// Decoupage des lignes en jetons et lecture des nombres. Toute faute de lexique
// est signalee avec sa colonne et arrete la ligne : la suite n'aurait pas de sens.
#include "assembleur/lexique.h"

#include <cstdint>

#include "chaines/chaines.h"

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

// Fin du message d'un echappement inconnu.
constexpr char const* echappements_permis = " » (attendu \\n, \\t, \\0, \\\\, \\' ou \\\")";

// Un nombre qui commence en texte[debut] ; rend la position qui le suit, ou -1 et
// le message d'erreur.
struct lecture_nombre {
    std::size_t fin;
    long long valeur;
    std::string erreur;
};

lecture_nombre lit_un_nombre(std::string_view texte, std::size_t debut) {
    std::size_t i = debut;
    int base = 10;
    char const c = texte[i];
    if (c == '\'') {
        if (i + 1 >= texte.size()) {
            return {0, 0, "caractère attendu après « ' »"};
        }
        int v = static_cast<unsigned char>(texte[i + 1]);
        if (v >= 0x80) {
            return {0, 0, "une constante caractère doit être ASCII, comme 'A'"};
        }
        std::size_t suite = i + 2;
        if (texte[i + 1] == '\\' && i + 2 < texte.size()) {
            v = echappement(texte[i + 2]);
            if (v < 0) {
                return {0, 0,
                        std::string("échappement inconnu « \\") + texte[i + 2] +
                            echappements_permis};
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
    while (i < texte.size() && valeur_chiffre(texte[i], base) >= 0) {
        valeur = valeur * static_cast<unsigned>(base) +
                 static_cast<unsigned>(valeur_chiffre(texte[i], base));
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
    std::string const ecrit(texte.substr(debut, fin - debut));
    if (i == premier_chiffre) {
        char const* attendu = base == 16 ? "hexadécimal" : base == 2 ? "binaire (0 ou 1)" : "";
        return {0, 0,
                std::string("chiffre ") + attendu + " attendu après « " +
                    std::string(texte.substr(debut, premier_chiffre - debut)) + " »"};
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
std::string caractere_inattendu(std::string_view texte, std::size_t i) {
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

void signale(liste_diagnostics& diagnostics, int ligne, int colonne, std::string const& message,
             bool erreur) {
    diagnostics.ajoute(erreur, ligne, colonne, message);
}

std::string octets_chaine(jeton const& j) {
    std::string octets;
    for (std::size_t k = 0; k < j.texte.size(); ++k) {
        bool const echappe = j.texte[k] == '\\' && k + 1 < j.texte.size();
        octets.push_back(echappe ? static_cast<char>(echappement(j.texte[++k])) : j.texte[k]);
    }
    return octets;
}

std::string cite(jeton const& j) {
    if (j.sorte == sorte_jeton::chaine) {
        return "« \"" + octets_chaine(j) + "\" »";
    }
    return "« " + std::string(j.texte) + " »";
}

flot_jetons::flot_jetons(std::string_view l, std::size_t debut) : ligne(l), position(debut) {}

jeton const* flot_jetons::regarde(std::size_t k) {
    while (en_tampon <= k) {
        if (!message_faute.empty() || !lit(tampon[en_tampon])) {
            return nullptr;
        }
        ++en_tampon;
    }
    return &tampon[k];
}

void flot_jetons::avance() {
    if (regarde() == nullptr) {
        return;
    }
    fin_pris = tampon[0].colonne_fin;
    tampon[0] = tampon[1];
    --en_tampon;
}

bool flot_jetons::lit(jeton& j) {
    std::size_t i = position;
    while (i < ligne.size() && est_blanc(ligne[i])) {
        ++i;
    }
    if (i >= ligne.size() || ligne[i] == ';') {
        position = i;
        return false;
    }
    char const c = ligne[i];
    int const colonne = static_cast<int>(i) + 1;
    auto const pris = [&](sorte_jeton sorte, std::size_t fin, long long valeur) {
        j = {sorte, ligne.substr(i, fin - i), valeur, colonne, static_cast<int>(fin) + 1};
        position = fin;
        return true;
    };
    auto const fautif = [&](int ou, std::string message) {
        message_faute = std::move(message);
        colonne_de_faute = ou;
        return false;
    };
    static const struct {
        char c;
        sorte_jeton sorte;
    } ponctuations[] = {
        {'*', sorte_jeton::etoile},  {'+', sorte_jeton::plus},        {'-', sorte_jeton::moins},
        {',', sorte_jeton::virgule}, {':', sorte_jeton::deux_points}, {'=', sorte_jeton::egal},
    };
    for (auto const& p : ponctuations) {
        if (c == p.c) {
            return pris(p.sorte, i + 1, 0);
        }
    }
    if (est_lettre(c) || (c == '.' && i + 1 < ligne.size() && est_lettre(ligne[i + 1]))) {
        std::size_t fin = i + 1;
        while (fin < ligne.size() && est_alphanumerique(ligne[fin])) {
            ++fin;
        }
        return pris(c == '.' ? sorte_jeton::directive : sorte_jeton::nom, fin, 0);
    }
    if (est_chiffre(c) || c == '$' || c == '%' || c == '\'') {
        lecture_nombre const n = lit_un_nombre(ligne, i);
        if (!n.erreur.empty()) {
            return fautif(colonne, n.erreur);
        }
        return pris(sorte_jeton::nombre, n.fin, n.valeur);
    }
    if (c == '"') {
        long long octets = 0;
        std::size_t k = i + 1;
        for (; k < ligne.size() && ligne[k] != '"'; ++k, ++octets) {
            if (ligne[k] == '\\' && k + 1 < ligne.size()) {
                if (echappement(ligne[k + 1]) < 0) {
                    return fautif(static_cast<int>(k) + 1, std::string("échappement inconnu « \\") +
                                                               ligne[k + 1] + echappements_permis);
                }
                ++k;
            }
        }
        if (k >= ligne.size()) {
            return fautif(colonne, "chaîne sans guillemet fermant");
        }
        pris(sorte_jeton::chaine, k + 1, octets);
        j.texte = ligne.substr(i + 1, k - i - 1);
        return true;
    }
    return fautif(colonne, caractere_inattendu(ligne, i));
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
