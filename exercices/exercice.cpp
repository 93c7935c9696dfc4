// Lecture d'un exercice par toml++ : la syntaxe est a la bibliotheque, qui donne
// ligne et colonne de chaque cle et de chaque valeur ; ici, le sens. Chaque cle
// est verifiee (nom connu, type, bornes) et chaque faute notee a sa place, sans
// s'arreter a la premiere. Seule une faute de syntaxe arrete tout : la
// bibliotheque ne lit pas plus loin. Avant elle, un balayage du texte borne
// l'imbrication des tables et des cles pointees, qu'elle lit par recursion.
#include "exercices/exercice.h"

#include <toml++/toml.h>

#include <algorithm>
#include <map>
#include <optional>

#include "execution/fichiers.h"

namespace {

constexpr long long pas_max_defaut = 1000000;
constexpr long long points_plafond = 1000000;
constexpr long long octet_min = -128;
constexpr long long octet_max = 255;
constexpr std::size_t taille_max_fichier = 1 << 20;

char const* const cles_exercice[] = {"titre", "enonce", "pas_max", "arret", "cas"};
char const* const cles_cas[] = {"nom",    "entrees", "memoire", "evenements", "attendu",
                                "points", "pas_max", "arret",   "cache"};

// Les messages de toml++ sont anglais : les plus courants, dits en francais ; les
// autres, par une phrase generale a la meme place.
struct traduction {
    char const* anglais; // morceau du message de la bibliotheque
    char const* francais;
};
const traduction traductions[] = {
    {"utf-8", "octets qui ne sont pas de l'UTF-8 : enregistrez le fichier en UTF-8"},
    {"not representable in 64 bits",
     "entier trop grand : de -9223372036854775808 à 9223372036854775807 (64 bits)"},
    {"after '\\r'", "retour chariot (CR) seul : une ligne finit par LF ou CRLF"},
    {"expected '='", "« = » attendu après la clé"},
    {"cannot redefine", "clé ou table déjà définie plus haut"},
    {"encountered end-of-file", "fin du fichier inattendue : chaîne, tableau ou table non fermé"},
    {"expected comma or closing ']'", "« , » ou « ] » attendu dans le tableau"},
    {"expected comma or closing '}'", "« , » ou « } » attendu dans la table entre accolades"},
    {"dangling comma", "virgule en trop avant « } »"},
    {"expected key-value pair", "« clé = valeur » attendu"},
    {"expected value", "valeur attendue : nombre, \"chaîne\", [tableau] ou { table }"},
    {"could not determine value type",
     "valeur attendue : nombre, \"chaîne\", [tableau] ou { table }"},
    {"leading zeroes", "un nombre ne commence pas par 0 (écrire 0x12 pour de l'hexadécimal)"},
    {"expected a comment or whitespace", "fin de ligne attendue : un seul « clé = valeur » "
                                         "par ligne"},
    {"expected keys, tables, whitespace or comments", "« clé = valeur » ou [table] attendu"},
    {"unknown escape sequence", "échappement inconnu dans la chaîne"},
    {"expected ']'", "« ] » attendu"},
    {"expected hexadecimal digit", "chiffre hexadécimal attendu"},
    {"expected decimal digit", "chiffre attendu"},
    {"control character", "chaîne non fermée sur sa ligne, ou caractère de contrôle dans une "
                          "chaîne"},
};

std::string traduit(std::string_view anglais) {
    for (traduction const& t : traductions) {
        if (anglais.find(t.anglais) != std::string_view::npos) {
            return std::string("TOML mal formé : ") + t.francais;
        }
    }
    return "TOML mal formé ici";
}

// Caracteres d'un texte UTF-8 : les octets qui ne continuent pas un caractere.
std::size_t caracteres(std::string const& t) {
    return static_cast<std::size_t>(std::count_if(
        t.begin(), t.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Balayage du texte avant toml++ : la profondeur des tables a chaque point, par
// les en-tetes, les points des cles, les accolades et les crochets des valeurs.
// Les chaines et les commentaires sont sautes ; une faute de syntaxe est laissee
// a la bibliotheque, qui la dira mieux.
class imbrication {
  public:
    explicit imbrication(std::string const& t) : texte(t) {}

    // Faux, et la place du premier niveau de trop, si le texte est trop imbrique.
    bool verifie(int& ligne_trop, int& colonne_trop) {
        std::vector<int> bases; // niveau avant chaque { ou [ ouvert dans une valeur
        std::vector<char> ouverts;
        int entete = 0, niveau = 0;
        enum { cle, valeur, dans_entete, apres } contexte = cle;
        bool debut = true; // rien encore de l'enonce de cette ligne
        while (i < texte.size()) {
            char const c = texte[i];
            if (c == '\n') {
                avance();
                if (ouverts.empty()) {
                    contexte = cle;
                    niveau = entete;
                    debut = true;
                }
                continue;
            }
            if (c == '#') {
                while (i < texte.size() && texte[i] != '\n') {
                    avance();
                }
                continue;
            }
            if (c == '"' || c == '\'') {
                saute_chaine(c);
                debut = false;
                continue;
            }
            int const l = ligne, k = colonne;
            avance();
            bool monte = false;
            if (c == '.' && (contexte == cle || contexte == dans_entete)) {
                monte = true;
            } else if (c == '[' && contexte == cle && ouverts.empty() && debut) {
                if (i < texte.size() && texte[i] == '[') {
                    avance();
                }
                contexte = dans_entete;
                niveau = 1;
            } else if (c == ']' && contexte == dans_entete) {
                entete = niveau;
                contexte = apres;
            } else if ((c == '[' || c == '{') && contexte == valeur) {
                bases.push_back(niveau);
                ouverts.push_back(c);
                monte = true;
                contexte = c == '{' ? cle : valeur;
            } else if ((c == ']' || c == '}') && !ouverts.empty()) {
                niveau = bases.back();
                bases.pop_back();
                ouverts.pop_back();
                contexte = valeur;
            } else if (c == ',' && !ouverts.empty()) {
                niveau = bases.back() + 1;
                contexte = ouverts.back() == '{' ? cle : valeur;
            } else if (c == '=' && contexte == cle) {
                contexte = valeur;
            }
            if (c != ' ' && c != '\t' && c != '\r') {
                debut = false;
            }
            if (monte && ++niveau > imbrication_max) {
                ligne_trop = l;
                colonne_trop = k;
                return false;
            }
        }
        return true;
    }

  private:
    // Colonnes comptees en caracteres, comme toml++ les compte.
    void avance() {
        if (texte[i] == '\n') {
            ++ligne;
            colonne = 1;
        } else if ((static_cast<unsigned char>(texte[i]) & 0xC0) != 0x80) {
            ++colonne;
        }
        ++i;
    }

    // Une chaine "..." ou '...', ou sur plusieurs lignes entre triples guillemets.
    void saute_chaine(char guillemet) {
        bool const triple = texte.compare(i, 3, std::string(3, guillemet)) == 0;
        for (int n = 0; n < (triple ? 3 : 1); ++n) {
            avance();
        }
        while (i < texte.size()) {
            if (guillemet == '"' && texte[i] == '\\') {
                avance();
                if (i < texte.size()) {
                    avance();
                }
            } else if (!triple && texte[i] == '\n') {
                return;
            } else if (texte[i] == guillemet &&
                       (!triple || texte.compare(i, 3, std::string(3, guillemet)) == 0)) {
                for (int n = 0; n < (triple ? 3 : 1); ++n) {
                    avance();
                }
                // Jusqu'a deux guillemets colles a la fin font partie de la chaine.
                for (int n = 0; triple && n < 2 && i < texte.size() && texte[i] == guillemet; ++n) {
                    avance();
                }
                return;
            } else {
                avance();
            }
        }
    }

    std::string const& texte;
    std::size_t i = 0;
    int ligne = 1, colonne = 1;
};

// Les lignes de commentaire du haut du fichier, sans leur « # » : l'enonce quand
// la cle manque. Une ligne vide ou une cle les finit.
std::string enonce_en_tete(std::string const& texte) {
    std::string enonce;
    std::size_t debut = texte.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (debut < texte.size()) {
        std::size_t fin = texte.find('\n', debut);
        fin = fin == std::string::npos ? texte.size() : fin;
        std::string ligne = texte.substr(debut, fin - debut);
        if (!ligne.empty() && ligne.back() == '\r') {
            ligne.pop_back();
        }
        std::size_t const diese = ligne.find_first_not_of(" \t");
        if (diese == std::string::npos || ligne[diese] != '#') {
            break;
        }
        ligne.erase(0, diese + 1);
        if (!ligne.empty() && ligne[0] == ' ') {
            ligne.erase(0, 1);
        }
        enonce += ligne + "\n";
        debut = fin + 1;
    }
    return enonce;
}

std::string nom_type(toml::node const& n) {
    switch (n.type()) {
    case toml::node_type::table:
        return "une table";
    case toml::node_type::array:
        return "un tableau";
    case toml::node_type::string:
        return "une chaîne";
    case toml::node_type::integer:
        return "un entier";
    case toml::node_type::floating_point:
        return "un nombre à virgule";
    case toml::node_type::boolean:
        return "un booléen";
    default:
        return "une date";
    }
}

std::vector<std::string> liste(char const* const* debut, char const* const* fin) {
    return std::vector<std::string>(debut, fin);
}

std::vector<std::string> noms_ports() {
    std::vector<std::string> l;
    for (char const* p = lettres_ports; *p != '\0'; ++p) {
        l.emplace_back(1, *p);
    }
    return l;
}

int port_de(std::string const& cle) {
    std::size_t const p = std::string(lettres_ports).find(cle);
    return cle.size() == 1 && p != std::string::npos ? static_cast<int>(p) : -1;
}

// Les paires d'une table dans l'ordre du fichier (toml++ les range par nom).
std::vector<std::pair<toml::key const*, toml::node const*>> dans_l_ordre(toml::table const& t) {
    std::vector<std::pair<toml::key const*, toml::node const*>> v;
    for (auto const& [cle, noeud] : t) {
        v.emplace_back(&cle, &noeud);
    }
    std::stable_sort(v.begin(), v.end(), [](auto const& a, auto const& b) {
        auto const& pa = a.first->source().begin;
        auto const& pb = b.first->source().begin;
        return pa.line != pb.line ? pa.line < pb.line : pa.column < pb.column;
    });
    return v;
}

class lecteur {
  public:
    exercice_lu lit(std::string const& texte) {
        int ligne = 0, colonne = 0;
        if (!imbrication(texte).verifie(ligne, colonne)) {
            lu.diagnostics.push_back({true, ligne, colonne,
                                      "tables ou clés imbriquées sur plus de " +
                                          std::to_string(imbrication_max) +
                                          " niveaux : un exercice en a trois"});
            return fin();
        }
        toml::table racine;
        try {
            racine = toml::parse(texte);
        } catch (toml::parse_error const& e) {
            erreur(e.source(), traduit(e.description()));
            return fin();
        }
        lit_racine(racine);
        if (!enonce_lu) {
            lu.exo.enonce = enonce_en_tete(texte);
            if (caracteres(lu.exo.enonce) > enonce_max) {
                erreur({{1, 1}, {1, 1}, nullptr},
                       "commentaires du haut du fichier de plus de " + std::to_string(enonce_max) +
                           " caractères : ils sont l'énoncé, que la fenêtre montre");
            }
        }
        return fin();
    }

  private:
    void note(toml::source_region const& r, std::string const& message, bool est_erreur) {
        lu.diagnostics.push_back({est_erreur, std::max<int>(1, static_cast<int>(r.begin.line)),
                                  std::max<int>(1, static_cast<int>(r.begin.column)), message});
    }
    void erreur(toml::source_region const& r, std::string const& message) {
        note(r, message, true);
    }
    void attention(toml::source_region const& r, std::string const& message) {
        note(r, message, false);
    }

    exercice_lu fin() {
        std::stable_sort(lu.diagnostics.begin(), lu.diagnostics.end(),
                         [](diagnostic const& a, diagnostic const& b) {
                             return a.ligne != b.ligne ? a.ligne < b.ligne : a.colonne < b.colonne;
                         });
        return std::move(lu);
    }

    void inconnue(toml::key const& cle, std::vector<std::string> const& connues,
                  std::string const& ou) {
        erreur(cle.source(), "clé inconnue « " + std::string(cle.str()) + " »" + ou +
                                 suggestion(std::string(cle.str()), connues));
    }

    bool type(toml::node const& n, toml::node_type voulu, std::string const& quoi,
              char const* attendu) {
        if (n.type() == voulu) {
            return true;
        }
        erreur(n.source(), quoi + " doit être " + attendu + ", pas " + nom_type(n));
        return false;
    }

    // Une chaine d'au plus max caracteres.
    std::optional<std::string> texte(toml::node const& n, std::string const& quoi,
                                     std::size_t max) {
        if (!type(n, toml::node_type::string, quoi, "une chaîne")) {
            return std::nullopt;
        }
        std::string const t = n.as_string()->get();
        if (caracteres(t) > max) {
            erreur(n.source(), quoi + " a " + std::to_string(caracteres(t)) +
                                   " caractères : au plus " + std::to_string(max));
            return std::nullopt;
        }
        return t;
    }

    std::optional<long long> entier(toml::node const& n, std::string const& quoi, long long min,
                                    long long max) {
        if (!type(n, toml::node_type::integer, quoi, "un entier")) {
            return std::nullopt;
        }
        long long const v = n.as_integer()->get();
        if (v < min || v > max) {
            erreur(n.source(), quoi + " vaut " + std::to_string(v) + " : de " +
                                   std::to_string(min) + " à " + std::to_string(max));
            return std::nullopt;
        }
        return v;
    }

    std::optional<int> octet(toml::node const& n, std::string const& quoi) {
        if (!type(n, toml::node_type::integer, quoi, "un entier")) {
            return std::nullopt;
        }
        long long const v = n.as_integer()->get();
        if (v < octet_min || v > octet_max) {
            erreur(n.source(), "valeur " + std::to_string(v) + " hors de -128..255");
            return std::nullopt;
        }
        return static_cast<int>(v);
    }

    std::optional<arret> lit_arret(toml::node const& n) {
        if (!type(n, toml::node_type::string, "« arret »", "une chaîne")) {
            return std::nullopt;
        }
        std::string const mot = n.as_string()->get();
        arret a = arret::boucle;
        if (!arret_du_mot(mot, a)) {
            erreur(n.source(),
                   "arrêt « " + mot + " » inconnu : boucle, limite, point_arret ou erreur_pile" +
                       suggestion(mot, {"boucle", "limite", "point_arret", "erreur_pile"}));
            return std::nullopt;
        }
        if (a == arret::point_arret) {
            attention(n.source(), "aucun point d'arrêt n'est posé pendant un cas : l'arrêt "
                                  "« point_arret » n'arrivera pas");
        }
        return a;
    }

    void lit_racine(toml::table const& racine) {
        toml::source_region const debut{{1, 1}, {1, 1}, nullptr};
        long long pas_max = pas_max_defaut;
        arret a = arret::boucle;
        toml::node const* cas = nullptr;
        bool titre = false;
        for (auto const& [cle, n] : dans_l_ordre(racine)) {
            std::string const nom(cle->str());
            if (nom == "titre") {
                titre = true;
                lu.exo.titre = texte(*n, "« titre »", titre_max).value_or("");
            } else if (nom == "enonce") {
                enonce_lu = true;
                lu.exo.enonce = texte(*n, "« enonce »", enonce_max).value_or("");
            } else if (nom == "pas_max") {
                pas_max = entier(*n, "« pas_max »", 0, pas_max_demande).value_or(pas_max);
            } else if (nom == "arret") {
                a = lit_arret(*n).value_or(a);
            } else if (nom == "cas") {
                cas = n;
            } else {
                inconnue(*cle, liste(std::begin(cles_exercice), std::end(cles_exercice)), "");
            }
        }
        if (!titre) {
            erreur(debut, "« titre » manquant : chaque exercice a un titre");
        }
        if (cas == nullptr) {
            erreur(debut, "aucun cas : ajoutez au moins un [[cas]]");
            return;
        }
        toml::array const* tableau = cas->as_array();
        if (tableau == nullptr || !tableau->is_array_of_tables() || tableau->empty()) {
            erreur(cas->source(),
                   "« cas » doit être un tableau de tables, écrit [[cas]], pas " + nom_type(*cas));
            return;
        }
        std::map<std::string, int> noms; // nom -> ligne de son cas
        for (toml::node const& c : *tableau) {
            lit_cas(*c.as_table(), pas_max, a, noms);
        }
    }

    void lit_cas(toml::table const& t, long long pas_max, arret a,
                 std::map<std::string, int>& noms) {
        cas_exercice c;
        c.ligne = static_cast<int>(t.source().begin.line);
        c.pas_max = pas_max;
        c.arret_attendu = a;
        toml::node const* evenements = nullptr;
        bool nomme = false;
        for (auto const& [cle, n] : dans_l_ordre(t)) {
            std::string const nom(cle->str());
            if (nom == "nom") {
                nomme = true;
                if (std::optional<std::string> t = texte(*n, "« nom »", titre_max)) {
                    c.nom = *t;
                    auto const deja = noms.find(c.nom);
                    if (deja != noms.end()) {
                        erreur(n->source(), "nom « " + c.nom +
                                                " » déjà pris par le cas de la "
                                                "ligne " +
                                                std::to_string(deja->second));
                    } else {
                        noms[c.nom] = c.ligne;
                    }
                }
            } else if (nom == "entrees") {
                lit_entrees(*n, c.entrees);
            } else if (nom == "memoire") {
                lit_octets(*n, "« memoire »", c.memoire, nullptr);
            } else if (nom == "evenements") {
                evenements = n;
            } else if (nom == "attendu") {
                lit_octets(*n, "« attendu »", c.zones, &c);
            } else if (nom == "points") {
                c.points = entier(*n, "« points »", 0, points_plafond).value_or(c.points);
            } else if (nom == "pas_max") {
                c.pas_max = entier(*n, "« pas_max »", 0, pas_max_demande).value_or(c.pas_max);
            } else if (nom == "arret") {
                c.arret_attendu = lit_arret(*n).value_or(c.arret_attendu);
            } else if (nom == "cache") {
                if (type(*n, toml::node_type::boolean, "« cache »", "true ou false")) {
                    c.cache = n->as_boolean()->get();
                }
            } else {
                inconnue(*cle, liste(std::begin(cles_cas), std::end(cles_cas)), " dans un cas");
            }
        }
        if (!nomme) {
            erreur(t.source(), "cas sans « nom » : chaque cas a un nom");
        }
        if (evenements != nullptr) {
            lit_evenements(*evenements, c);
        }
        lu.exo.cas.push_back(std::move(c));
    }

    // entrees = { E = 0x80 } ; ou, pour un evenement, ses ports a cote de pas.
    void lit_ports(toml::table const& t, long long pas, std::vector<evenement_entree>& sortie,
                   bool avec_pas) {
        std::vector<std::string> connues = noms_ports();
        if (avec_pas) {
            connues.push_back("pas");
        }
        for (auto const& [cle, n] : dans_l_ordre(t)) {
            std::string const nom(cle->str());
            if (avec_pas && nom == "pas") {
                continue;
            }
            int const port = port_de(nom);
            if (port < 0) {
                erreur(cle->source(),
                       "port inconnu « " + nom + " » : A, B, C, D ou E" + suggestion(nom, connues));
                continue;
            }
            if (std::optional<int> v = octet(*n, "le port " + nom)) {
                sortie.push_back({pas, port, static_cast<unsigned char>(*v & 0xFF)});
            }
        }
    }

    void lit_entrees(toml::node const& n, std::vector<evenement_entree>& entrees) {
        if (type(n, toml::node_type::table, "« entrees »", "une table")) {
            lit_ports(*n.as_table(), 0, entrees, false);
        }
    }

    void lit_evenements(toml::node const& n, cas_exercice& c) {
        if (!type(n, toml::node_type::array, "« evenements »", "un tableau")) {
            return;
        }
        for (toml::node const& e : *n.as_array()) {
            if (!type(e, toml::node_type::table, "un événement", "une table { pas = N, P = V }")) {
                continue;
            }
            toml::table const& t = *e.as_table();
            toml::node const* pas = t.get("pas");
            if (pas == nullptr) {
                erreur(e.source(), "événement sans « pas »");
                continue;
            }
            std::optional<long long> const p = entier(*pas, "« pas »", 0, pas_max_demande);
            if (!p) {
                continue;
            }
            if (*p > c.pas_max) {
                attention(pas->source(), "l'événement du pas " + std::to_string(*p) +
                                             " n'arrivera pas : le cas s'arrête au plus tard "
                                             "après " +
                                             std::to_string(c.pas_max) + " pas");
            }
            std::size_t const avant = c.evenements.size();
            lit_ports(t, *p, c.evenements, true);
            if (c.evenements.size() == avant && t.size() == 1) {
                erreur(e.source(), "événement sans port : { pas = N, E = V }");
            }
        }
    }

    // Les valeurs d'une cle d'adresse : un octet ou un tableau non vide d'octets.
    bool lit_valeurs(toml::node const& n, octets_a& o) {
        if (toml::array const* a = n.as_array()) {
            o.tableau = true;
            if (a->empty()) {
                erreur(n.source(), "tableau vide : au moins un octet");
                return false;
            }
            bool bon = true;
            for (toml::node const& v : *a) {
                std::optional<int> const b = octet(v, "un octet");
                bon = bon && b.has_value();
                o.valeurs.push_back(b.value_or(0));
            }
            return bon;
        }
        if (n.type() != toml::node_type::integer) {
            erreur(n.source(), "un octet ou un tableau d'octets attendu, pas " + nom_type(n));
            return false;
        }
        std::optional<int> const b = octet(n, "un octet");
        o.valeurs.push_back(b.value_or(0));
        return b.has_value();
    }

    // memoire, ou attendu quand c n'est pas nul (ports et pile en plus).
    void lit_octets(toml::node const& n, std::string const& quoi, std::vector<octets_a>& sortie,
                    cas_exercice* c) {
        if (!type(n, toml::node_type::table, quoi, "une table")) {
            return;
        }
        attendus_deja.clear();
        for (auto const& [cle, v] : dans_l_ordre(*n.as_table())) {
            std::string const nom(cle->str());
            if (caracteres(nom) > titre_max) {
                erreur(cle->source(), "clé de " + std::to_string(caracteres(nom)) +
                                          " caractères : au plus " + std::to_string(titre_max));
                continue;
            }
            if (c != nullptr && lit_registre(*cle, *v, *c)) {
                continue;
            }
            octets_a o;
            if (!lit_cle_adresse(nom, o.cle)) {
                erreur(cle->source(), cle_invalide(nom));
                continue;
            }
            if (c != nullptr && o.cle.symbolique) {
                signale_registre_proche(*cle, o.cle.symbole);
            }
            if (!lit_valeurs(*v, o)) {
                continue;
            }
            if (!o.cle.symbolique) {
                std::string const hors = hors_memoire(nom, o.cle.nombre, o.valeurs.size());
                if (!hors.empty()) {
                    erreur(cle->source(), hors);
                    continue;
                }
            }
            if (c != nullptr && !attendu_une_fois(*cle, o.cle, o.valeurs.size())) {
                continue;
            }
            sortie.push_back(std::move(o));
        }
    }

    // Un octet attendu sous deux cles (« $1004 » et « B », « t+1 » et « t + 1 »)
    // ferait un cas qui ne peut pas reussir, ou qui ne dit rien de plus : refuse.
    // Les adresses sont comparees par symbole (vide : un nombre) et decalage.
    bool attendu_une_fois(toml::key const& cle, cle_adresse const& a, std::size_t taille) {
        std::string const symbole = a.symbolique ? a.symbole : "";
        for (std::size_t k = 0; k < taille; ++k) {
            auto const [deja, neuf] =
                attendus_deja.emplace(std::make_pair(symbole, a.nombre + static_cast<long long>(k)),
                                      std::string(cle.str()));
            if (!neuf) {
                std::string const octet =
                    a.symbolique
                        ? "l'octet " + symbole +
                              (deja->first.second != 0 ? (deja->first.second > 0 ? "+" : "") +
                                                             std::to_string(deja->first.second)
                                                       : "")
                        : "l'octet " + texte_adresse(deja->first.second);
                erreur(cle.source(), "« " + std::string(cle.str()) + " » attend " + octet +
                                         " déjà attendu par « " + deja->second +
                                         " » : chaque octet n'est attendu qu'une fois");
                return false;
            }
        }
        return true;
    }

    // « pille » ou « b » sont lues comme des etiquettes du programme : si c'etait la
    // pile ou un port, mieux vaut le dire au professeur avant qu'il corrige.
    void signale_registre_proche(toml::key const& cle, std::string const& symbole) {
        std::vector<std::string> reservees(noms_registres_ports,
                                           noms_registres_ports + nb_registres_ports);
        reservees.push_back("pile");
        std::string const indice = suggestion(symbole, reservees);
        if (!indice.empty()) {
            attention(cle.source(),
                      "« " + symbole + " » sera lue comme une étiquette du programme" + indice);
        }
    }

    // Vrai si la cle est un registre de port ou la pile (lu ici, faute comprise).
    bool lit_registre(toml::key const& cle, toml::node const& v, cas_exercice& c) {
        std::string const nom(cle.str());
        if (nom == "pile") {
            c.pile_attendue = true;
            if (type(v, toml::node_type::array, "« pile »", "un tableau")) {
                for (toml::node const& e : *v.as_array()) {
                    c.pile.push_back(octet(e, "une valeur de pile").value_or(0));
                }
                if (c.pile.size() > static_cast<std::size_t>(taille_pile_interne)) {
                    erreur(v.source(), "« pile » a " + std::to_string(c.pile.size()) +
                                           " valeurs : la pile en tient " +
                                           std::to_string(taille_pile_interne) + " au plus");
                }
            }
            return true;
        }
        for (int r = 0; r < nb_registres_ports; ++r) {
            if (nom == noms_registres_ports[r]) {
                std::string const quoi = r < nb_ports ? "le port " + nom : "le registre " + nom;
                cle_adresse registre;
                registre.texte = nom;
                registre.nombre = adresse_registre(r);
                if (std::optional<int> const o = octet(v, quoi);
                    o && attendu_une_fois(cle, registre, 1)) {
                    c.ports.push_back({r, *o});
                }
                return true;
            }
        }
        return false;
    }

    // (symbole, decalage) -> la cle qui l'attend, dans l'attendu en cours.
    std::map<std::pair<std::string, long long>, std::string> attendus_deja;
    exercice_lu lu;
    bool enonce_lu = false;
};

} // namespace

long long exercice::total() const {
    long long t = 0;
    for (cas_exercice const& c : cas) {
        t += c.points;
    }
    return t;
}

bool exercice_lu::valide() const {
    return erreur.empty() && std::none_of(diagnostics.begin(), diagnostics.end(),
                                          [](diagnostic const& d) { return d.erreur; });
}

exercice_lu lit_exercice(std::string const& texte) {
    return lecteur().lit(texte);
}

exercice_lu lit_fichier_exercice(std::string const& chemin) {
    fichier_lu const f = lit_fichier(chemin, taille_max_fichier);
    exercice_lu lu;
    if (!f.lu) {
        lu.erreur = "impossible de lire « " + chemin + " » : " + f.raison;
    } else if (f.plus) {
        lu.erreur = "« " + chemin + " » dépasse 1 Mio : ce n'est pas un exercice";
    } else {
        lu = lit_exercice(f.octets);
    }
    return lu;
}
