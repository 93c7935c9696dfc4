// karvela-note : corrige des programmes d'apres un exercice TOML. Lit ses options,
// l'exercice (diagnostics "exo.toml:ligne:colonne: erreur: ..." sur la sortie
// d'erreur) et les programmes (comme karvela-run), ou une classe (dossier ou .zip
// de la plateforme), fait corriger par exercices/ et promotion/, puis imprime le
// texte ou le JSON et ecrit les fichiers demandes (CSV, feuille de notes,
// retours, page du bilan) tous ou aucun, chacun ecrit puis renomme.
// Sortie 0 tout est juste, 1 un cas echoue ou un programme ne se charge pas (ou
// une sortie est perdue), 2 mauvais usage ou exercice invalide.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "ecriture.h"
#include "exercices/correction.h"
#include "exercices/rendus.h"
#include "exercices/version_etudiant.h"
#include "promotion/archive.h"
#include "promotion/classe.h"
#include "promotion/copies.h"
#include "promotion/feuille.h"
#include "promotion/impressions.h"
#include "promotion/page.h"
#include "simulateur/version.h"

namespace {

constexpr int sortie_juste = 0;
constexpr int sortie_echec = 1;
constexpr int sortie_usage = 2;
constexpr long long sur_max = 1000;
char const* const commande = "karvela-note";

char const* const aide =
    "utilisation : karvela-note [options] EXERCICE PROGRAMME...\n"
    "              karvela-note [options] EXERCICE CLASSE\n"
    "              karvela-note --enonce EXERCICE\n"
    "Corrige chaque PROGRAMME (.asm assemblé d'abord, ou .bin) d'après EXERCICE, un\n"
    "fichier TOML de cas : chaque cas lance le programme sur une machine neuve, comme\n"
    "karvela-run, et compare l'état à l'arrêt à ce que le cas attend. CLASSE est le\n"
    "dossier, ou le .zip, des travaux téléchargés de la plateforme : un dossier par\n"
    "étudiant, dont le meilleur fichier compte.\n"
    "\n"
    "  --csv FICHIER      écrit aussi le tableau des points (séparateur ;) dans FICHIER\n"
    "  --json             le résultat en un objet JSON au lieu du texte\n"
    "  --sur N            la note aussi sur N (20 : 5/8 donne 12,5), au quart de point\n"
    "  --feuille GRILLE   remplit la feuille de notes de la plateforme (CSV) : note et\n"
    "                     commentaire de chaque étudiant trouvé, le reste tel quel\n"
    "  --retours DOSSIER  un retour par étudiant, dans les dossiers de la plateforme\n"
    "                     (DOSSIER.zip : dans une archive à téléverser)\n"
    "  --bilan PAGE       la page HTML du bilan : points, cas, échecs, copies semblables\n"
    "  --enonce           écrit EXERCICE sans ses cas cachés, pour les étudiants\n"
    "  --help             affiche cette aide\n"
    "  --version          affiche la version\n"
    "  --                 la suite est EXERCICE et PROGRAMME, même commençant par -\n"
    "\n"
    "Une ligne par programme (ou par étudiant), « copie.asm : points/total », puis une\n"
    "ligne par cas échoué qui dit ce qui diffère. Un seul programme : l'autocorrection\n"
    "de l'étudiant. --feuille et --retours demandent une CLASSE.\n"
    "Sortie : 0 tout est juste, 1 un cas échoue ou un programme ne se charge pas,\n"
    "2 mauvais usage ou exercice invalide.\n";

struct options {
    std::string exercice;
    std::vector<std::string> programmes;
    std::string csv, feuille, retours, bilan;
    long long sur = 0;
    bool json = false;
    bool enonce = false;
};

int usage(std::string const& message) {
    std::cerr << commande << ": " << message << "\nEssayez « karvela-note --help ».\n";
    return sortie_usage;
}

// Les options qui nomment un fichier : --csv FICHIER...
std::string* option_fichier(std::string const& a, options& o) {
    return a == "--csv"       ? &o.csv
           : a == "--feuille" ? &o.feuille
           : a == "--retours" ? &o.retours
           : a == "--bilan"   ? &o.bilan
                              : nullptr;
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
        std::string* fichier = option_fichier(a, o);
        if (options_finies || a.size() < 2 || a[0] != '-') {
            noms.push_back(argv[i]);
        } else if (a == "--") {
            options_finies = true;
        } else if (a_valeur && fichier == nullptr && a != "--sur") {
            return usage("l'option « " + a + " » ne prend pas de valeur");
        } else if (a == "--help" || a == "-h") {
            std::cout << aide;
            return fin_commande(commande, sortie_juste);
        } else if (a == "--version") {
            std::cout << "karvela-note " KARVELA_VERSION "\n";
            return fin_commande(commande, sortie_juste);
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--enonce") {
            o.enonce = true;
        } else if (fichier != nullptr || a == "--sur") {
            if (!a_valeur && i + 1 >= argc) {
                return usage("l'option « " + a + " » attend " +
                             (fichier != nullptr ? "un nom de fichier" : "un nombre"));
            }
            std::string const v = a_valeur ? valeur : argv[++i];
            if (fichier != nullptr) {
                if (v.empty()) {
                    return usage("l'option « " + a +
                                 " » attend un nom de fichier, pas un mot vide");
                }
                *fichier = v;
                continue;
            }
            if (v.empty() || v.size() > 4 ||
                v.find_first_not_of("0123456789") != std::string::npos || std::stoll(v) < 1 ||
                std::stoll(v) > sur_max) {
                return usage("« --sur " + v + " » : un nombre entier de 1 à " +
                             std::to_string(sur_max));
            }
            o.sur = std::stoll(v);
        } else {
            return usage("option inconnue « " + a + " »");
        }
    }
    if (noms.empty()) {
        return usage("EXERCICE manquant");
    }
    o.exercice = noms.front();
    o.programmes.assign(noms.begin() + 1, noms.end());
    if (o.enonce) {
        if (!o.programmes.empty() || o.json || !o.csv.empty() || !o.feuille.empty() ||
            !o.retours.empty() || !o.bilan.empty() || o.sur > 0) {
            return usage("--enonce prend l'EXERCICE seul et l'écrit sur la sortie standard");
        }
        return -1;
    }
    if (o.programmes.empty()) {
        return usage("PROGRAMME manquant : au moins un programme à corriger");
    }
    bool const classe = o.programmes.size() == 1 && est_classe(o.programmes.front());
    if (!classe && (!o.feuille.empty() || !o.retours.empty())) {
        return usage(std::string(!o.feuille.empty() ? "--feuille" : "--retours") +
                     " demande une CLASSE : le dossier ou le .zip des travaux de la plateforme");
    }
    // Aucune sortie ne remplace une entree ni une autre sortie ; la feuille est
    // l'une et l'autre.
    std::vector<std::pair<char const*, std::string>> sorties;
    for (auto const& [nom, chemin] : {std::pair<char const*, std::string>{"le tableau", o.csv},
                                      {"la page", o.bilan},
                                      {"les retours", nom_zip(o.retours) ? o.retours : ""},
                                      {"la feuille", o.feuille}}) {
        if (chemin.empty()) {
            continue;
        }
        for (std::string const& f : noms) {
            if (meme_fichier(chemin, f)) {
                return usage(std::string(nom) + " « " + chemin + " » remplacerait « " + f + " »");
            }
        }
        for (auto const& [autre, deja] : sorties) {
            if (meme_fichier(chemin, deja)) {
                return usage(std::string(nom) + " « " + chemin + " » serait aussi " + autre);
            }
        }
        sorties.emplace_back(nom, chemin);
    }
    return -1;
}

bool tout_juste(std::vector<resultat_copie> const& resultats) {
    return std::all_of(resultats.begin(), resultats.end(), [](resultat_copie const& r) {
        return r.charge && r.points == r.total &&
               std::all_of(r.cas.begin(), r.cas.end(),
                           [](resultat_cas const& c) { return c.reussi; });
    });
}

// Les retours : une archive, ou des fichiers dans le dossier (cree s'il le faut).
std::string ajoute_retours(exercice const& e, classe_corrigee const& c, options const& o,
                           std::vector<sortie_fichier>& sorties) {
    std::vector<std::pair<std::string, std::string>> const retours = fichiers_retours(e, c, o.sur);
    if (nom_zip(o.retours)) {
        std::string erreur;
        std::string const archive = archive_de(retours, erreur);
        if (!erreur.empty()) {
            return erreur;
        }
        sorties.push_back({o.retours, archive});
        return "";
    }
    for (auto const& [chemin, contenu] : retours) {
        std::filesystem::path const cible = std::filesystem::path(o.retours) / chemin;
        std::error_code erreur;
        std::filesystem::create_directories(cible.parent_path(), erreur);
        if (erreur) {
            return "impossible de créer le dossier « " + cible.parent_path().string() +
                   " » : " + erreur.message();
        }
        sorties.push_back({cible.string(), contenu});
    }
    return "";
}

// La feuille remplie, ou le message qui dit pourquoi elle ne l'est pas.
std::string ajoute_feuille(exercice const& e, classe_corrigee const& c, options const& o,
                           std::vector<sortie_fichier>& sorties) {
    fichier_lu const f = lit_fichier(o.feuille, 64u << 20);
    if (!f.lu || f.plus) {
        return "impossible de lire la feuille « " + o.feuille +
               " » : " + (f.lu ? "plus de 64 Mio" : f.raison);
    }
    std::vector<note_feuille> notes;
    for (resultat_etudiant const& r : c.etudiants) {
        if (!r.qui.identifiant.empty()) {
            notes.push_back(
                {r.qui.identifiant, r.copie.points, r.copie.total, commentaire_court(e, r)});
        }
    }
    feuille_remplie const remplie = remplit_feuille(f.octets, notes, o.sur);
    if (!remplie.erreur.empty()) {
        return "feuille « " + o.feuille + " » : " + remplie.erreur;
    }
    std::string const tete = std::string(commande) + ": feuille « " + o.feuille + " » : ";
    if (!remplie.sans_copie.empty()) {
        std::cerr << tete << remplie.sans_copie.size()
                  << " ligne(s) sans étudiant dans la classe, laissées telles quelles :";
        for (std::string const& s : remplie.sans_copie) {
            std::cerr << "\n  " << nom_lisible(s);
        }
        std::cerr << "\n";
    }
    if (!remplie.absents.empty()) {
        std::cerr << tete << remplie.absents.size() << " étudiant(s) de la classe absent(s) :";
        for (std::string const& s : remplie.absents) {
            std::cerr << " " << s;
        }
        std::cerr << "\n";
    }
    sorties.push_back({o.feuille, remplie.texte});
    return "";
}

int ecrit(std::vector<sortie_fichier> const& sorties, int code) {
    std::string const erreur = ecrit_fichiers(sorties);
    if (!erreur.empty()) {
        std::cerr << commande << ": " << erreur << "\n";
        return fin_commande(commande, sortie_echec);
    }
    return fin_commande(commande, code);
}

int note_classe(exercice const& e, options const& o) {
    classe_lue lue = lit_classe(o.programmes.front());
    if (!lue.erreur.empty()) {
        std::cerr << commande << ": " << lue.erreur << "\n";
        return sortie_echec;
    }
    classe_corrigee const c = corrige_classe(e, std::move(lue));
    std::cout << (o.json ? json_classe(e, c, o.sur) : texte_classe(e, c, o.sur));
    std::vector<sortie_fichier> sorties;
    if (!o.csv.empty()) {
        sorties.push_back({o.csv, csv_classe(e, c, o.sur)});
    }
    if (!o.bilan.empty()) {
        sorties.push_back({o.bilan, page_bilan(e, c, o.sur)});
    }
    for (std::string const& erreur : {o.feuille.empty() ? "" : ajoute_feuille(e, c, o, sorties),
                                      o.retours.empty() ? "" : ajoute_retours(e, c, o, sorties)}) {
        if (!erreur.empty()) {
            std::cerr << commande << ": " << erreur << "\n";
            return fin_commande(commande, sortie_echec);
        }
    }
    return ecrit(sorties, c.juste() ? sortie_juste : sortie_echec);
}

int note_programmes(exercice const& e, options const& o) {
    std::vector<copie_a_lire> copies;
    std::vector<std::string> notes(o.programmes.size());
    std::vector<empreintes> empreintes_copies(o.programmes.size());
    for (std::size_t i = 0; i < o.programmes.size(); ++i) {
        std::string const chemin = o.programmes[i];
        std::string* note = &notes[i];
        copies.push_back({chemin, [chemin, note] {
                              return std::make_shared<programme_charge const>(
                                  lit_copie(chemin, *note));
                          }});
    }
    recueil_copie recueil = nullptr;
    if (!o.bilan.empty()) {
        recueil = [&](std::size_t i, programme_charge const& p) {
            empreintes_copies[i] = empreintes_de(p);
        };
    }
    std::vector<resultat_copie> resultats = corrige_a_mesure(e, copies, 0, recueil);
    for (std::size_t i = 0; i < resultats.size(); ++i) {
        if (!notes[i].empty()) {
            resultats[i].notes.push_back(notes[i]);
        }
    }
    std::cout << (o.json ? rendu_json(e, resultats, o.sur) : rendu_texte(e, resultats, o.sur));
    std::vector<sortie_fichier> sorties;
    if (!o.csv.empty()) {
        sorties.push_back({o.csv, rendu_csv(e, resultats, o.sur)});
    }
    int const code = tout_juste(resultats) ? sortie_juste : sortie_echec;
    if (!o.bilan.empty()) {
        sorties.push_back(
            {o.bilan, page_bilan(e, classe_des_copies(e, resultats, empreintes_copies), o.sur)});
    }
    return ecrit(sorties, code);
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
    if (o.enonce) {
        fichier_lu const f = lit_fichier(o.exercice, 1 << 20);
        version_etudiant const v = version_pour_etudiant(f.octets);
        if (!v.erreur.empty()) {
            std::cerr << commande << ": " << o.exercice << " : " << v.erreur << "\n";
            return sortie_usage;
        }
        std::cout << v.texte;
        return fin_commande(commande, sortie_juste);
    }
    bool const classe = o.programmes.size() == 1 && est_classe(o.programmes.front());
    return classe ? note_classe(lu.exo, o) : note_programmes(lu.exo, o);
}
