// Les evenements tires au hasard, en tables : sortes d'evenements, boutons, champs,
// touches, textes tapes, versions de la source sur le disque.
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "endurance.h"

namespace endurance {

namespace {

namespace d = banc_reel::disposition;
using banc_reel::rectangle;

constexpr int largeur_fenetre = 650;
constexpr int hauteur_fenetre = 695;
// Le bouton "Fichier" et son menu deroule : leur entree "Quitter" finirait l'essai.
constexpr rectangle zone_du_menu{0, 0, 180, 98};

struct cible {
    char const* nom;
    rectangle r;
    bool ouvre_dialogue; // le clic ouvre toujours une fenetre modale
};

std::vector<cible> const boutons = {
    {"RESET", d::b_reset, false},
    {"STOP", d::b_stop, false},
    {"PLAY", d::b_play, false},
    {"STEP", d::b_step, false},
    {"AIDE...", d::b_aide, false},
    {"desassemblage haut", d::desa_u, false},
    {"desassemblage PC", d::desa_pc, false},
    {"desassemblage bas", d::desa_d, false},
    {"dump haut", d::dump_u, false},
    {"dump bas", d::dump_d, false},
    {"glissiere du dump", d::dump_slide, false},
    {"ecriture memoire", d::valid_mem, false},
    {"Ouvrir source...", {96, 8, 24, 24}, true},
    {"Recharger", {122, 8, 24, 24}, false},
    {"pas arriere", {268, 8, 24, 24}, false},
    {"Vitesse", d::choix_vitesse, false}, // sa liste reste ouverte jusqu'au clic suivant
};

std::vector<cible> const champs = {
    {"A", d::reg_a_hex, false},          {"X", d::reg_x_hex, false},
    {"PC", d::reg_pc_hex, false},        {"adresse", d::adresse_select, false},
    {"valeur", d::valeur_select, false}, {"x", d::multiplicateur_select, false},
};

std::vector<d::port> const ports = {{40, 200}, d::port_b, d::port_c, d::port_d, d::port_e};

struct touche {
    char const* nom; // pour xdotool
    int poids;
    bool ouvre_dialogue;
};

// Les raccourcis de la fenetre (jamais Ctrl+Q, qui quitterait).
std::vector<touche> const raccourcis = {
    {"F1", 3, false},       {"F7", 6, false},          {"ctrl+F2", 3, false},  {"ctrl+r", 4, false},
    {"ctrl+o", 1, true},    {"ctrl+shift+o", 1, true}, {"Escape", 3, false},   {"F5", 4, false},
    {"shift+F5", 2, false}, {"F9", 3, false},          {"shift+F7", 3, false},
};

// Touches d'edition et de navigation, et des raccourcis qui n'existent pas.
std::vector<touche> const autres_touches = {
    {"Return", 3, false},    {"KP_Enter", 1, false},  {"Tab", 3, false},    {"shift+Tab", 1, false},
    {"Up", 1, false},        {"Down", 1, false},      {"Left", 1, false},   {"Right", 1, false},
    {"Page_Up", 1, false},   {"Page_Down", 1, false}, {"Home", 1, false},   {"End", 1, false},
    {"BackSpace", 2, false}, {"Delete", 1, false},    {"space", 1, false},  {"ctrl+a", 1, false},
    {"ctrl+c", 1, false},    {"ctrl+v", 1, false},    {"ctrl+x", 1, false}, {"ctrl+z", 1, false},
    {"F2", 1, false},        {"F12", 1, false},       {"alt+f", 1, false},  {"shift+F1", 1, false},
};

std::string chiffres_hexa(hasard& h, int min, int max) {
    static std::string const chiffres = "0123456789abcdefABCDEF";
    std::string s;
    for (int n = h.entre(min, max); n > 0; --n) {
        s += chiffres[static_cast<std::size_t>(h.entre(0, 21))];
    }
    return s;
}

std::string ascii(hasard& h, int longueur) {
    std::string s;
    for (int n = 0; n < longueur; ++n) {
        s += static_cast<char>(h.entre(' ', '~'));
    }
    return s;
}

// Accents, symboles, ecritures non latines, emoji et diacritique combinant.
std::vector<std::string> const morceaux_utf8 = {"é",  "à", "ç", "€", "ß",       "Ω", "日本",
                                                "Жж", "ŝ", "ü", "😀", "e\u0301", "½", "‰"};

std::string utf8(hasard& h, int morceaux) {
    std::string s;
    for (int n = 0; n < morceaux; ++n) {
        s += h.parmi(morceaux_utf8);
    }
    return s;
}

struct genre_texte {
    int poids;
    std::string (*fabrique)(hasard&);
};

std::vector<genre_texte> const textes = {
    {4, [](hasard& h) { return chiffres_hexa(h, 1, 4); }},
    {3, [](hasard& h) { return std::to_string(h.entre(-70000, 70000)); }},
    {3, [](hasard& h) { return "$" + chiffres_hexa(h, 1, 5); }},
    {1, [](hasard& h) { return "  $" + chiffres_hexa(h, 1, 2) + " "; }},
    {3, [](hasard& h) { return ascii(h, h.entre(1, 24)); }},
    {2, [](hasard& h) { return utf8(h, h.entre(1, 8)); }},
    {1, [](hasard& h) { return ascii(h, h.entre(100, 300)) + utf8(h, 20); }},
    {1, [](hasard&) { return std::string(); }},
};

// Ce que l'etudiant peut avoir laisse dans sa source en l'editant.
struct version_source {
    char const* nom;
    std::string (*octets)(hasard&);
};

std::string exemple(char const* nom) {
    std::ifstream f(std::string(KARVELA_SOURCE "/examples/") + nom, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::vector<version_source> const versions_source = {
    {"chenillard", [](hasard&) { return exemple("chenillard.asm"); }},
    {"compte a rebours", [](hasard&) { return exemple("compte_a_rebours.asm"); }},
    {"echo du port E", [](hasard&) { return exemple("echo_port_e.asm"); }},
    {"deux erreurs",
     [](hasard&) { return exemple("chenillard.asm") + "  PUSHX 1\n  BT ailleurs\n"; }},
    {"mille erreurs",
     [](hasard&) {
         std::string s;
         for (int n = 0; n < 1000; ++n) {
             s += "  FAUX " + std::to_string(n) + "\n";
         }
         return s;
     }},
    {"octets au hasard",
     [](hasard& h) {
         std::string s;
         for (int n = h.entre(0, 2000); n > 0; --n) {
             s += static_cast<char>(h.entre(0, 255));
         }
         return s;
     }},
    {"vide", [](hasard&) { return std::string(); }},
};

std::string clic_au_hasard(pilote& p, hasard& h) {
    int x = 0, y = 0;
    do {
        x = h.entre(0, largeur_fenetre - 1);
        y = h.entre(0, hauteur_fenetre - 1);
    } while (x < zone_du_menu.x + zone_du_menu.w && y < zone_du_menu.y + zone_du_menu.h);
    // Surtout le bouton gauche ; le milieu colle la selection dans un champ.
    int const tire = h.entre(1, 20);
    int const bouton = tire <= 16 ? 1 : tire <= 18 ? 2 : 3;
    int const fois = h.une_fois_sur(8) ? 2 : 1;
    p.clique(x, y, bouton, fois);
    return std::to_string(x) + "," + std::to_string(y) + " bouton " + std::to_string(bouton) +
           (fois == 2 ? " double" : "");
}

// Un point au hasard dans le rectangle, bords compris.
std::string clic_dans(pilote& p, hasard& h, rectangle const& r) {
    int const x = h.entre(r.x, r.x + r.w - 1);
    int const y = h.entre(r.y, r.y + r.h - 1);
    p.clique(x, y);
    return std::to_string(x) + "," + std::to_string(y);
}

std::string clic_bouton(pilote& p, hasard& h) {
    cible const& b = h.parmi(boutons);
    std::string const ou = clic_dans(p, h, b.r);
    EXPECT_TRUE(!b.ouvre_dialogue || p.attend_dialogue()) << b.nom << " n'ouvre aucun dialogue";
    return std::string(b.nom) + " " + ou;
}

std::string clic_bit(pilote& p, hasard& h) {
    int const port = h.entre(0, static_cast<int>(ports.size()) - 1);
    int const bit = h.entre(0, 7);
    clic_dans(p, h, ports[static_cast<std::size_t>(port)].bit(bit));
    return "port " + std::string(1, static_cast<char>('A' + port)) + " bit " + std::to_string(bit);
}

std::string clic_ligne(pilote& p, hasard& h) {
    int const n = h.entre(1, 12);
    clic_dans(p, h, d::desa(n));
    return "ligne " + std::to_string(n);
}

std::string frappe_parmi(pilote& p, hasard& h, std::vector<touche> const& table) {
    touche const& t = h.selon_poids(table);
    p.frappe(t.nom);
    EXPECT_TRUE(!t.ouvre_dialogue || p.attend_dialogue()) << t.nom << " n'ouvre aucun dialogue";
    return t.nom;
}

std::string texte_dans_champ(pilote& p, hasard& h) {
    cible const& c = h.parmi(champs);
    clic_dans(p, h, c.r);
    bool const remplace = !h.une_fois_sur(3);
    if (remplace) {
        p.frappe("ctrl+a BackSpace");
    }
    std::string const texte = h.selon_poids(textes).fabrique(h);
    if (!texte.empty()) {
        p.ecrit(texte);
    }
    static std::vector<char const*> const fins = {"", "", "Return", "Tab", "KP_Enter"};
    std::string const fin = h.parmi(fins);
    if (!fin.empty()) {
        p.frappe(fin);
    }
    return std::string(c.nom) + (remplace ? " = " : " += ") + "\"" + texte + "\" " + fin;
}

std::string glisse(pilote& p, hasard& h) {
    rectangle const& r = d::dump_slide;
    bool const glissiere = !h.une_fois_sur(3);
    int const x0 = glissiere ? r.centre_x() : h.entre(zone_du_menu.w, largeur_fenetre - 1);
    int const y0 = glissiere ? h.entre(r.y, r.y + r.h - 1) : h.entre(0, hauteur_fenetre - 1);
    int const x1 = glissiere ? x0 : h.entre(0, largeur_fenetre - 1);
    int const y1 = glissiere ? h.entre(r.y, r.y + r.h - 1) : h.entre(0, hauteur_fenetre - 1);
    p.glisse_de(x0, y0, x1, y1);
    return std::to_string(x0) + "," + std::to_string(y0) + " -> " + std::to_string(x1) + "," +
           std::to_string(y1);
}

// L'entree du menu ouvre un dialogue, que le controle qui suit ferme (le selecteur
// est abandonne).
std::string entree_de_menu(pilote& p, banc_reel::entree_fichier entree) {
    p.choisit_menu(entree);
    if (!p.attend_dialogue()) {
        ADD_FAILURE() << "l'entree du menu n'ouvre aucun dialogue";
        p.frappe("Escape"); // le menu, s'il est reste deroule
    }
    return "";
}

std::string ouvre_fichier(pilote& p, hasard& h) {
    std::vector<std::string> const fichiers = {p.source(), p.binaire(), p.binaire_abime()};
    std::string const& chemin = h.parmi(fichiers);
    p.ouvre_par_selecteur(chemin);
    return chemin;
}

std::string source_editee(pilote& p, hasard& h) {
    if (h.une_fois_sur(8)) {
        p.efface_source();
        return "effacee";
    }
    version_source const& v = h.parmi(versions_source);
    p.remplace_source(v.octets(h));
    return v.nom;
}

std::string clic_aide(pilote& p, hasard& h) {
    // Le texte et sa barre de defilement (10, 10, 590 x 420).
    int const x = h.entre(10, 599);
    int const y = h.entre(10, 429);
    p.clique_aide(x, y);
    return std::to_string(x) + "," + std::to_string(y);
}

std::string touche_aide(pilote& p, hasard& h) {
    static std::vector<touche> const touches = {
        {"Page_Down", 3, false}, {"Page_Up", 2, false}, {"Down", 2, false},
        {"End", 1, false},       {"Home", 1, false},    {"F7", 2, false},
        {"Escape", 1, false},    {"F5", 1, false},      {"F9", 1, false},
    };
    touche const& t = h.selon_poids(touches);
    p.frappe_aide(t.nom);
    return t.nom;
}

std::string ferme_aide(pilote& p, hasard&) {
    p.clique_aide(300, 455); // "Fermer" : 260, 440, 80 x 30
    return "";
}

// Entrees du choix "Vitesse", de haut en bas.
std::vector<char const*> const vitesses = {"1", "10", "100", "1000", "max"};

std::string vitesse(pilote& p, hasard& h) {
    int const k = h.entre(0, static_cast<int>(vitesses.size()) - 1);
    p.choisit_vitesse(k);
    return vitesses[static_cast<std::size_t>(k)];
}

// La marche au plus vite : les evenements suivants la trouvent en cours, jusqu'a
// ce que l'un d'eux l'arrete. Le binaire rouvert efface les points d'arret que les
// clics sur les lignes ont semes dans la boucle : sans cela, elle s'y arreterait
// aussitot.
std::string marche_au_max(pilote& p, hasard& h) {
    p.ouvre_par_selecteur(p.binaire());
    p.choisit_vitesse(static_cast<int>(vitesses.size()) - 1);
    bool const touche = h.une_fois_sur(2);
    if (touche) {
        p.frappe("F5");
    } else {
        p.clique(d::b_play.centre_x(), d::b_play.centre_y());
    }
    return touche ? "F5" : "PLAY";
}

// L'editeur de la fenetre du source (4, 32, 508 x 488) : ce qu'un etudiant y tape,
// et les touches qui joignent, annulent, retablissent, enregistrent, chargent.
std::vector<genre_texte> const textes_source = {
    {4, [](hasard&) { return std::string("        NOP\n"); }},
    {2, [](hasard&) { return std::string("boucle: BT    boucle\n"); }},
    {2, [](hasard& h) { return "; " + utf8(h, h.entre(1, 12)) + "\n"; }},
    {3, [](hasard& h) { return ascii(h, h.entre(1, 24)); }},
    {1, [](hasard& h) { return ascii(h, h.entre(200, 600)); }}, // une longue ligne
    {2, [](hasard&) { return std::string("\n"); }},
};

std::string frappe_dans_source(pilote& p, hasard& h) {
    int const x = h.entre(60, 505);
    int const y = h.entre(36, 515);
    p.clique_source(x, y);
    std::string const texte = h.selon_poids(textes_source).fabrique(h);
    p.ecrit_source(texte);
    return std::to_string(x) + "," + std::to_string(y) + " \"" + texte + "\"";
}

std::string touche_dans_source(pilote& p, hasard& h) {
    static std::vector<touche> const touches = {
        {"BackSpace", 4, false},
        {"BackSpace BackSpace BackSpace", 2, false},
        {"Delete", 3, false},
        {"Return", 2, false},
        {"ctrl+z", 5, false},
        {"ctrl+z ctrl+z ctrl+z", 2, false},
        {"ctrl+y", 3, false},
        {"ctrl+shift+z", 2, false},
        {"ctrl+s", 2, false},
        {"ctrl+r", 2, false},
        {"Home BackSpace", 2, false}, // joint la ligne a la precedente
        {"End Delete", 2, false},     // joint la suivante
        {"ctrl+End", 1, false},
        {"shift+Down shift+Down Delete", 1, false},
        {"F9", 1, false},
    };
    touche const& t = h.selon_poids(touches);
    p.frappe_source(t.nom);
    return t.nom;
}

std::string pause(pilote&, hasard& h) {
    int const ms = h.entre(300, 2000);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return std::to_string(ms) + " ms";
}

} // namespace

std::vector<genre_evenement> const& genres_evenements() {
    static std::vector<genre_evenement> const table = {
        {"clic au hasard", 20, clic_au_hasard},
        {"bouton", 20, clic_bouton},
        {"bit de port", 10, clic_bit},
        {"ligne du desassemblage", 6, clic_ligne},
        {"raccourci", 12, [](pilote& p, hasard& h) { return frappe_parmi(p, h, raccourcis); }},
        {"autre touche", 4,
         [](pilote& p, hasard& h) { return frappe_parmi(p, h, autres_touches); }},
        {"texte dans un champ", 14, texte_dans_champ},
        {"glisser", 3, glisse},
        {"vitesse choisie", 4, vitesse},
        {"marche au max", 4, marche_au_max},
        {"menu A propos", 2,
         [](pilote& p, hasard&) { return entree_de_menu(p, banc_reel::entree_fichier::a_propos); }},
        {"menu Ouvrir, abandonne", 2,
         [](pilote& p, hasard&) { return entree_de_menu(p, banc_reel::entree_fichier::ouvrir); }},
        {"selecteur, fichier choisi", 1, ouvre_fichier},
        {"source editee sur le disque", 3, source_editee},
        {"clic dans l'aide", 2, clic_aide},
        {"touche dans l'aide", 2, touche_aide},
        {"Fermer l'aide", 1, ferme_aide},
        {"pause", 1, pause},
        {"frappe dans le source", 5, frappe_dans_source},
        {"touche d'edition du source", 6, touche_dans_source},
    };
    return table;
}

int intervalle(hasard& h) {
    int const tire = h.entre(1, 100);
    return tire <= 50 ? 0 : tire <= 90 ? h.entre(1, 150) : h.entre(150, 800);
}

} // namespace endurance
