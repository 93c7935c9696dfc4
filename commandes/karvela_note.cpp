// karvela-note : corrige des programmes d'apres un exercice TOML. Lit ses options,
// l'exercice (diagnostics "exo.toml:ligne:colonne: erreur: ..." sur la sortie
// d'erreur) et les programmes (comme karvela-run), fait corriger par exercices/
// puis imprime le texte ou le JSON et ecrit le CSV (ecrit, puis renomme).
// Sortie 0 tout est juste, 1 un cas echoue ou un programme ne se charge pas (ou
// une sortie est perdue), 2 mauvais usage ou exercice invalide.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "ecriture.h"
#include "exercices/correction.h"
#include "exercices/rendus.h"
#include "simulateur/version.h"

namespace {

constexpr int sortie_juste = 0;
constexpr int sortie_echec = 1;
constexpr int sortie_usage = 2;
char const* const commande = "karvela-note";

char const* const aide =
    "utilisation : karvela-note [options] EXERCICE PROGRAMME...\n"
    "Corrige chaque PROGRAMME (.asm assemblé d'abord, ou .bin) d'après EXERCICE, un\n"
    "fichier TOML de cas : chaque cas lance le programme sur une machine neuve, comme\n"
    "karvela-run, et compare l'état à l'arrêt à ce que le cas attend.\n"
    "\n"
    "  --csv FICHIER  écrit aussi le tableau des points (séparateur ;) dans FICHIER\n"
    "  --json         le résultat en un objet JSON au lieu du texte\n"
    "  --help         affiche cette aide\n"
    "  --version      affiche la version\n"
    "  --             la suite est EXERCICE et PROGRAMME, même commençant par -\n"
    "\n"
    "Une ligne par programme, « copie.asm : points/total », puis une ligne par cas\n"
    "échoué qui dit ce qui diffère. Un seul programme : l'autocorrection de l'étudiant.\n"
    "Sortie : 0 tout est juste, 1 un cas échoue ou un programme ne se charge pas,\n"
    "2 mauvais usage ou exercice invalide.\n";

struct options {
    std::string exercice;
    std::vector<std::string> programmes;
    std::string csv;
    bool json = false;
};

int usage(std::string const& message) {
    std::cerr << commande << ": " << message << "\nEssayez « karvela-note --help ».\n";
    return sortie_usage;
}

// -1 si les options sont lues, sinon le code de sortie (aide, version, usage).
int lit_options(int argc, char** argv, options& o) {
    bool options_finies = false;
    std::vector<std::string> noms;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        std::string valeur;
        bool const a_valeur = a.rfind("--", 0) == 0 && a.find('=') != std::string::npos;
        if (!options_finies && a_valeur) {
            valeur = a.substr(a.find('=') + 1);
            a = a.substr(0, a.find('='));
        }
        if (options_finies || a.size() < 2 || a[0] != '-') {
            noms.push_back(argv[i]);
        } else if (a == "--") {
            options_finies = true;
        } else if (a_valeur && a != "--csv") {
            return usage("l'option « " + a + " » ne prend pas de valeur");
        } else if (a == "--help" || a == "-h") {
            std::cout << aide;
            return fin_commande(commande, sortie_juste);
        } else if (a == "--version") {
            std::cout << "karvela-note " KARVELA_VERSION "\n";
            return fin_commande(commande, sortie_juste);
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--csv") {
            if (!a_valeur && i + 1 >= argc) {
                return usage("l'option « --csv » attend un nom de fichier");
            }
            o.csv = a_valeur ? valeur : argv[++i];
            if (o.csv.empty()) {
                return usage("l'option « --csv » attend un nom de fichier, pas un mot vide");
            }
        } else {
            return usage("option inconnue « " + a + " »");
        }
    }
    if (noms.empty()) {
        return usage("EXERCICE manquant");
    }
    if (noms.size() == 1) {
        return usage("PROGRAMME manquant : au moins un programme à corriger");
    }
    o.exercice = noms.front();
    o.programmes.assign(noms.begin() + 1, noms.end());
    if (!o.csv.empty()) {
        for (std::string const& f : noms) {
            if (meme_fichier(o.csv, f)) {
                return usage("le tableau « " + o.csv + " » remplacerait « " + f + " »");
            }
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    debut_commande();
    options o;
    int const code = lit_options(argc, argv, o);
    if (code >= 0) {
        return code;
    }
    exercice_lu const lu = lit_fichier_exercice(o.exercice);
    if (!lu.erreur.empty()) {
        std::cerr << commande << ": " << lu.erreur << "\n";
        return sortie_usage;
    }
    for (diagnostic const& d : lu.diagnostics) {
        std::cerr << texte_diagnostic(o.exercice, d) << "\n";
    }
    if (!lu.valide()) {
        return sortie_usage;
    }
    std::vector<copie> copies;
    for (std::string const& p : o.programmes) {
        copies.push_back({p, lit_programme(p)});
    }
    std::vector<resultat_copie> const resultats = corrige(lu.exo, copies);
    std::cout << (o.json ? rendu_json(lu.exo, resultats) : rendu_texte(lu.exo, resultats));
    if (!o.csv.empty()) {
        std::string const erreur = ecrit_fichier(o.csv, rendu_csv(lu.exo, resultats));
        if (!erreur.empty()) {
            std::cerr << commande << ": " << erreur << "\n";
            return fin_commande(commande, sortie_echec);
        }
    }
    bool juste = true;
    for (resultat_copie const& r : resultats) {
        juste =
            juste && r.charge && r.points == r.total &&
            std::all_of(r.cas.begin(), r.cas.end(), [](resultat_cas const& c) { return c.reussi; });
    }
    return fin_commande(commande, juste ? sortie_juste : sortie_echec);
}
