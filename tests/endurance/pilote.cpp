// Les gestes de l'endurance sur le banc du vrai programme, et les controles qui
// suivent chaque evenement : programme vivant, sortie d'erreur sans rapport de
// sanitizer, fenetre principale affichee, dialogues refermes, dessin qui repond.
#include <dirent.h>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "endurance.h"

namespace endurance {

namespace {

namespace d = banc_reel::disposition;
using banc_reel::execute_x;
using banc_reel::image;

constexpr auto pas_sondage = 50ms;

// Marques des rapports d'AddressSanitizer, LeakSanitizer et UndefinedBehaviorSanitizer.
std::vector<std::string> const marques_sanitizer = {"Sanitizer", "runtime error:"};

bool porte_marque(std::string const& texte) {
    return std::any_of(marques_sanitizer.begin(), marques_sanitizer.end(),
                       [&](std::string const& m) { return texte.find(m) != std::string::npos; });
}

// Un geste qui ferme un dialogue : une touche, ou un clic (compte depuis le coin bas
// droit quand la taille du dialogue suit son texte).
struct geste {
    char const* touche;
    int x, y;
    bool depuis_bas_droite;
};
struct dialogue {
    char const* titre;
    std::vector<geste> gestes;
};

std::vector<geste> const abandon_selecteur = {
    {nullptr, banc_reel::selecteur::x_annuler, banc_reel::selecteur::y_annuler, false},
    {"Escape", 0, 0, false}};

std::vector<dialogue> const dialogues = {
    {"Informations", {{nullptr, 219, 345, false}, {"Escape", 0, 0, false}}}, // "OK"
    {banc_reel::selecteur::titre, abandon_selecteur},
    {"Choisissez un fichier source", abandon_selecteur},
    // Une alerte : sans titre.
    {"",
     {{nullptr, banc_reel::bouton_fermer::depuis_droite, banc_reel::bouton_fermer::depuis_bas,
       true},
      {"Return", 0, 0, false},
      {"Escape", 0, 0, false}}},
};
std::vector<geste> const geste_inconnu = {{"Escape", 0, 0, false}};

// La fenetre du source reste ouverte a cote de la principale, comme l'aide et celle
// d'un "Pourquoi ?" (qu'Echap ne ferme pas) ; leur titre, "Source — x.asm",
// n'est compare que par son debut (WM_NAME le code mal).
bool est_source(std::string const& nom) {
    return nom.rfind("Source ", 0) == 0;
}
bool est_compagne(std::string const& nom) {
    return nom == "Aide" || est_source(nom) || nom.rfind("Pourquoi ", 0) == 0;
}

std::string lit(std::string const& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void ecrit_fichier(std::string const& chemin, std::string const& octets) {
    std::ofstream(chemin, std::ios::binary) << octets;
}

} // namespace

pilote::pilote()
    : dossier_(testing::TempDir() + "karvela_endurance_" + std::to_string(getpid())),
      source_(dossier_ + "/programme.asm"), binaire_(dossier_ + "/programme.bin"),
      binaire_abime_(dossier_ + "/abime.bin") {
    mkdir(dossier_.c_str(), 0755);
    // Les copies de secours du texte tape restent dans le dossier du parcours.
    setenv("XDG_STATE_HOME", (dossier_ + "/etat").c_str(), 1);
    ecrit_fichier(source_, lit(KARVELA_SOURCE "/examples/chenillard.asm"));
    ecrit_fichier(binaire_, lit(KARVELA_SOURCE "/examples/chenillard.bin"));
    ecrit_fichier(binaire_abime_, std::string("\x00\x0d\x00", 3));
    arguments = {source_};
}

void pilote::seme(std::uint64_t graine) {
    fermetures_ = hasard(graine);
}

pilote::~pilote() {
    for (std::string const& f : {source_, binaire_, binaire_abime_}) {
        std::remove(f.c_str());
    }
    // Un programme tue (bloque) peut y laisser sa copie de secours.
    std::string const copies = dossier_ + "/etat/karvela";
    if (DIR* d = opendir(copies.c_str())) {
        while (dirent const* e = readdir(d)) {
            if (e->d_name[0] != '.') {
                std::remove((copies + "/" + e->d_name).c_str());
            }
        }
        closedir(d);
    }
    rmdir(copies.c_str());
    rmdir((dossier_ + "/etat").c_str());
    unsetenv("XDG_STATE_HOME");
    rmdir(dossier_.c_str());
}

void pilote::premier_plan() {
    if (!aide_.empty() || !fenetre_source_.empty()) {
        execute_x("xdotool windowraise " + fenetre);
    }
}

void pilote::clique(int x, int y, int bouton, int fois) {
    premier_plan();
    if (bouton == 1 && fois == 1) {
        clic(x, y);
        return;
    }
    EXPECT_EQ(execute_x("xdotool mousemove --window " + fenetre + " " + std::to_string(x) + " " +
                        std::to_string(y) + " click --repeat " + std::to_string(fois) + " " +
                        std::to_string(bouton)),
              0);
}

void pilote::frappe(std::string const& t) {
    premier_plan();
    touche_dans(fenetre, t);
}

void pilote::ecrit(std::string const& texte) {
    tape(texte);
}

void pilote::glisse_de(int x0, int y0, int x1, int y1) {
    premier_plan();
    glisse(x0, y0, x1, y1);
}

void pilote::choisit_menu(banc_reel::entree_fichier entree) {
    premier_plan();
    menu_fichier(entree);
}

// Le choix ouvert, Haut et Bas s'arretent aux bouts : quatre Haut menent a la
// premiere entree, d'ou k Bas a la k-ieme. Le pointeur reste sur le choix : sorti
// de la liste, les fleches n'y choisissent plus rien.
void pilote::choisit_vitesse(int k) {
    premier_plan();
    clic(d::choix_vitesse);
    std::string touches = "Up Up Up Up";
    for (int i = 0; i < k; ++i) {
        touches += " Down";
    }
    touche(touches + " Return");
}

void pilote::ouvre_par_selecteur(std::string const& chemin) {
    premier_plan();
    if (!tape_dans_selecteur(chemin).empty()) {
        touche("Return");
    }
}

void pilote::clique_aide(int x, int y) {
    if (aide_.empty()) {
        frappe("F1");
        aide_ = attend_fenetre("Aide");
        EXPECT_FALSE(aide_.empty()) << "F1 n'ouvre pas l'aide";
        if (aide_.empty()) {
            return;
        }
    }
    execute_x("xdotool windowraise " + aide_);
    clic_dans(aide_, x, y);
}

void pilote::frappe_aide(std::string const& t) {
    clique_aide(300, 200); // dans le texte : la touche y va
    if (!aide_.empty()) {
        touche_dans(aide_, t);
    }
}

bool pilote::source_devant() {
    if (fenetre_source_.empty()) {
        frappe("ctrl+e");
        // Sans source, Ctrl+E ne montre rien : on n'attend pas le delai entier.
        for (int essai = 0; essai < 20 && fenetre_source_.empty(); ++essai) {
            for (std::string const& id : fenetres_visibles()) {
                if (id != fenetre && id != aide_ && nom_de(id).rfind("Source ", 0) == 0) {
                    fenetre_source_ = id;
                }
            }
            std::this_thread::sleep_for(pas_sondage);
        }
    }
    if (!fenetre_source_.empty()) {
        execute_x("xdotool windowraise " + fenetre_source_);
    }
    return !fenetre_source_.empty();
}

void pilote::clique_source(int x, int y) {
    if (source_devant()) {
        clic_dans(fenetre_source_, x, y);
    }
}

void pilote::frappe_source(std::string const& t) {
    if (source_devant()) {
        touche_dans(fenetre_source_, t);
    }
}

// Le pointeur sur le texte : sans gestionnaire de fenetres, les touches vont a la
// fenetre sous lui.
void pilote::ecrit_source(std::string const& texte) {
    if (source_devant()) {
        execute_x("xdotool mousemove --window " + fenetre_source_ + " 250 250");
        tape(texte);
    }
}

bool pilote::attend_dialogue() {
    auto const limite = std::chrono::steady_clock::now() + delai_blocage;
    for (;;) {
        for (std::string const& id : fenetres_visibles()) {
            if (id != fenetre && id != aide_ && id != fenetre_source_ &&
                !est_compagne(nom_de(id))) {
                return true;
            }
        }
        if (std::chrono::steady_clock::now() >= limite) {
            return false;
        }
        std::this_thread::sleep_for(pas_sondage);
    }
}

void pilote::remplace_source(std::string const& octets) {
    ecrit_fichier(source_, octets);
}

void pilote::efface_source() {
    std::remove(source_.c_str());
}

bool pilote::disparait(std::string const& id) {
    auto const limite = std::chrono::steady_clock::now() + delai_blocage;
    for (;;) {
        std::vector<std::string> const v = fenetres_visibles();
        if (std::find(v.begin(), v.end(), id) == v.end()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= limite) {
            return false;
        }
        std::this_thread::sleep_for(pas_sondage);
    }
}

std::string pilote::nom_de(std::string const& id) {
    std::string nom;
    execute_x("xdotool getwindowname " + id, &nom);
    while (!nom.empty() && nom.back() == '\n') {
        nom.pop_back();
    }
    return nom;
}

bool pilote::ferme_listes(std::vector<std::string> const& fenetres_fltk, std::string& probleme) {
    std::string sortie;
    execute_x("xdotool search --onlyvisible --name ''", &sortie);
    std::istringstream ids(sortie);
    for (std::string id; ids >> id;) {
        std::string type;
        if (std::find(fenetres_fltk.begin(), fenetres_fltk.end(), id) != fenetres_fltk.end() ||
            execute_x("xprop -id " + id + " _NET_WM_WINDOW_TYPE", &type) != 0 ||
            type.find("_NET_WM_WINDOW_TYPE_MENU") == std::string::npos) {
            continue;
        }
        touche("Escape");
        if (!disparait(id)) {
            probleme = "une liste deroulee ne se ferme pas par Echap en 5 s";
            return false;
        }
    }
    return true;
}

bool pilote::range(std::string& probleme, bool& fatal) {
    for (int tour = 0; tour < 8; ++tour) {
        std::vector<std::string> const ids = fenetres_visibles();
        if (std::find(ids.begin(), ids.end(), fenetre) == ids.end()) {
            probleme = "la fenetre principale n'est plus affichee";
            fatal = true;
            return false;
        }
        std::string const aide_connue = aide_;
        aide_.clear();
        fenetre_source_.clear();
        std::string ouvert, titre;
        for (std::string const& id : ids) {
            if (id == fenetre) {
                continue;
            }
            std::string const nom = id == aide_connue ? "Aide" : nom_de(id);
            if (nom == "Aide") {
                aide_ = id;
            } else if (est_source(nom)) {
                fenetre_source_ = id;
            } else if (est_compagne(nom)) {
                continue;
            } else if (ouvert.empty()) {
                ouvert = id;
                titre = nom;
            }
        }
        if (ouvert.empty()) {
            return ferme_listes(ids, probleme) && probleme.empty();
        }
        auto const d = std::find_if(dialogues.begin(), dialogues.end(),
                                    [&](dialogue const& c) { return titre == c.titre; });
        std::vector<geste> const& gestes = d == dialogues.end() ? geste_inconnu : d->gestes;
        // premier_plan() a pu passer la principale devant un dialogue paru apres le
        // dernier rangement ; un gestionnaire de fenetres garderait le dialogue
        // devant : le clic doit l'atteindre.
        execute_x("xdotool windowraise " + ouvert);
        // Un geste tire au hasard ; s'il ne ferme pas, la fenetre a un defaut, et Echap.
        for (int essai = 0; essai < 2; ++essai) {
            geste const g = essai == 0 ? fermetures_.parmi(gestes) : geste_inconnu.front();
            if (g.touche != nullptr) {
                touche_dans(ouvert, g.touche);
            } else {
                banc_reel::geometrie const place = banc_reel::geometrie_de(ouvert);
                clic_dans(ouvert, g.depuis_bas_droite ? place.w - g.x : g.x,
                          g.depuis_bas_droite ? place.h - g.y : g.y);
            }
            if (disparait(ouvert)) {
                break;
            }
            std::string const par = g.touche != nullptr ? g.touche
                                                        : "un clic en " + std::to_string(g.x) +
                                                              "," + std::to_string(g.y);
            probleme = "la fenetre \"" + titre + "\" ne se ferme pas par " + par + " en 5 s";
            if (essai == 1) {
                fatal = true;
                return false;
            }
        }
    }
    probleme = "des dialogues se rouvrent sans fin";
    return false;
}

bool pilote::sonde() {
    premier_plan();
    image const avant = capture();
    image const l1 = avant.recadre(d::adresse_dump(1));
    image const l2 = avant.recadre(d::adresse_dump(2));
    // En 0 le dump ne monte pas : il descend d'abord ; ailleurs il monte d'abord
    // (tout en bas, il ne descendrait pas).
    bool const en_0 = l1 == demarrage.recadre(d::adresse_dump(1));
    clic(en_0 ? d::dump_d : d::dump_u);
    bool const bouge = attend(
        [&](image const& i) {
            return en_0 ? i.recadre(d::adresse_dump(1)) == l2 : i.recadre(d::adresse_dump(2)) == l1;
        },
        delai_blocage);
    clic(en_0 ? d::dump_u : d::dump_d);
    return bouge && attend(
                        [&](image const& i) {
                            return i.recadre(d::adresse_dump(1)) == l1 &&
                                   i.recadre(d::adresse_dump(2)) == l2;
                        },
                        delai_blocage);
}

std::string pilote::controle(bool sonder, bool& fatal) {
    auto etat_programme = [&]() -> std::string {
        int const statut = programme().attend_fin(0ms);
        if (statut >= 0) {
            fatal = true;
            return "le programme s'est arrete (statut " + std::to_string(statut) + ")";
        }
        if (porte_marque(journal())) {
            fatal = true;
            return "rapport de sanitizer sur la sortie d'erreur";
        }
        return "";
    };
    std::string probleme = etat_programme();
    if (!probleme.empty() || !range(probleme, fatal) || !sonder || sonde()) {
        return probleme;
    }
    // Un dialogue ou une liste parus apres le rangement ont pu prendre le clic de
    // la sonde : on range et on sonde encore une fois.
    if (!range(probleme, fatal) || sonde()) {
        return probleme;
    }
    fatal = true;
    probleme = etat_programme();
    return probleme.empty() ? "la fenetre ne redessine plus (sonde sans reponse en 5 s)" : probleme;
}

std::string pilote::controle_fin() {
    premier_plan();
    menu_fichier(banc_reel::entree_fichier::quitter);
    int statut = programme().attend_fin(2s);
    if (statut < 0) {
        // Le texte du source modifie : "Enregistrer les modifications de ... ?", dont
        // Entree choisit "Enregistrer" (dans le fichier du parcours).
        for (std::string const& id : fenetres_visibles()) {
            if (id != fenetre && id != aide_ && !est_compagne(nom_de(id))) {
                touche_dans(id, "Return");
            }
        }
        statut = programme().attend_fin(20s);
    }
    if (statut < 0) {
        return "\"Quitter\" ne finit pas le programme en 20 s";
    }
    if (statut != 0) {
        return "statut " + std::to_string(statut) + " apres \"Quitter\"";
    }
    return porte_marque(journal()) ? "rapport de sanitizer a la sortie" : "";
}

} // namespace endurance
