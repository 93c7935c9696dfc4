// Le bureau vu par Xlib, sur un Xvfb a ce test (un gestionnaire de fenetres lance
// ici ne derange pas les autres suites), sans puis avec openbox : zone de travail,
// decorations prevues et lues (confrontees au cadre), une fenetre posee la ou
// place_fenetres le dit, barre de titre sur l'ecran, classe karvela et icone.
// Et les zones que le placement garde, confrontees aux widgets de la principale.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/forms.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "simulateur/bureau.h"
#include "simulateur/interface.h"
#include "simulateur/interface_exercice.h"
#include "simulateur/interface_fichiers.h"
#include "simulateur/interface_marche.h"
#include "simulateur/interface_platine.h"

namespace {

// Un programme lance par le test, arrete par son numero a la fin.
struct processus {
    explicit processus(std::vector<std::string> mots) {
        std::vector<char*> argv;
        for (std::string& m : mots) {
            argv.push_back(m.data());
        }
        argv.push_back(nullptr);
        posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    }
    ~processus() {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    pid_t pid = -1;
};

// Attend, la boucle tournant, que la condition tienne 0,2 s d'affilee (le
// gestionnaire deplace une fenetre en la prenant) ; faux au bout de 5 s.
template <class F> bool attend(F condition) {
    using horloge = std::chrono::steady_clock;
    auto const fin = horloge::now() + std::chrono::seconds(5);
    for (auto depuis = fin; horloge::now() < fin; Fl::wait(0.02)) {
        depuis = !condition() ? fin : depuis == fin ? horloge::now() : depuis;
        if (depuis != fin && horloge::now() - depuis >= std::chrono::milliseconds(200)) {
            return true;
        }
    }
    return false;
}

cotes vraie_place(Fl_Window* w) {
    Window enfant;
    int x = 0, y = 0;
    XTranslateCoordinates(fl_display, fl_xid(w), RootWindow(fl_display, fl_screen), 0, 0, &x, &y,
                          &enfant);
    return {x, y, w->w(), w->h()};
}

// Les decorations mesurees sur le cadre, l'ancetre de la fenetre sous la racine.
std::tuple<int, int, int, int> cadre_mesure(Fl_Window* w) {
    Window courante = fl_xid(w), racine = None, parent = None, *enfants = nullptr;
    unsigned n = 0;
    while (XQueryTree(fl_display, courante, &racine, &parent, &enfants, &n) && parent != racine) {
        XFree(enfants);
        courante = parent;
    }
    XFree(enfants);
    XWindowAttributes c;
    XGetWindowAttributes(fl_display, courante, &c);
    cotes const d = vraie_place(w);
    int const g = d.x - c.x, h = d.y - c.y, b = 2 * c.border_width;
    return {g, c.width + b - g - d.w, h, c.height + b - h - d.h};
}

void pose(Window w, char const* nom, Atom type, std::vector<long> const& valeurs) {
    XChangeProperty(fl_display, w, XInternAtom(fl_display, nom, False), type, 32, PropModeReplace,
                    reinterpret_cast<unsigned char const*>(valeurs.data()),
                    static_cast<int>(valeurs.size()));
}

std::tuple<int, int, int, int> en_tuple(decorations const& d) {
    return {d.gauche, d.droite, d.haut, d.bas};
}

TEST(bureau, sans_puis_avec_openbox) {
    // Un Xvfb a soi : il ecrit son numero, puis une fin de ligne a part.
    int tube[2];
    ASSERT_EQ(pipe(tube), 0);
    processus const serveur({"Xvfb", "-displayfd", std::to_string(tube[1]), "-screen", "0",
                             "1280x1024x24", "-nolisten", "tcp", "-noreset"});
    close(tube[1]);
    std::string ecran = ":";
    for (char c = 0; read(tube[0], &c, 1) == 1 && c != '\n';) {
        ecran += c;
    }
    close(tube[0]);
    ASSERT_GT(ecran.size(), 1u) << "Xvfb n'a pas demarre";
    setenv("DISPLAY", ecran.c_str(), 1);
    prepare_bureau();
    fl_open_display();
    Window const racine = RootWindow(fl_display, fl_screen);
    EXPECT_EQ(zone_de_travail(), (cotes{0, 0, 1280, 1024})) << "sans propriete, l'ecran";
    pose(racine, "_NET_WORKAREA", XA_CARDINAL, {0, 30, 1280, 994});
    // Le reste d'un gestionnaire arrete : sa fenetre de controle n'existe plus.
    Window const disparue = XCreateSimpleWindow(fl_display, racine, 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(fl_display, disparue);
    pose(racine, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, {static_cast<long>(disparue)});
    // Une marge de 40 en haut, comme un panneau : openbox l'ote de sa zone.
    std::string const reglages = "/tmp/karvela-openbox-" + std::to_string(getpid()) + ".xml";
    std::ofstream(reglages) << "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">"
                               "<margins><top>40</top></margins></openbox_config>\n";
    std::optional<processus> gestionnaire;
    struct cas {
        bool openbox;
        cotes zone;
    };
    for (cas const& c : {cas{false, {0, 30, 1280, 994}}, cas{true, {0, 40, 1280, 984}}}) {
        SCOPED_TRACE(c.openbox ? "openbox" : "sans gestionnaire");
        if (c.openbox) {
            XDeleteProperty(fl_display, racine, XInternAtom(fl_display, "_NET_WORKAREA", False));
            gestionnaire.emplace(
                std::vector<std::string>{"openbox", "--sm-disable", "--config-file", reglages});
            ASSERT_TRUE(attend(gestionnaire_present)) << "openbox manquant ? (scripts/setup tests)";
        }
        EXPECT_EQ(gestionnaire_present(), c.openbox);
        ASSERT_TRUE(attend([&] { return zone_de_travail() == c.zone; })) << zone_de_travail().y;
        // Un gestionnaire qui demarre ne repond qu'une fois sa boucle lancee.
        decorations prevues;
        attend([&] { return (prevues = decorations_prevues()).haut > 0 || !c.openbox; });
        EXPECT_EQ(prevues.haut > 0, c.openbox);

        std::vector<cotes> const places = place_fenetres(
            c.zone, prevues, 1,
            {{sorte_fenetre::principale, 650, 695}, {sorte_fenetre::compagne, 720, 695, 480, 300}});
        Fl_Double_Window fenetre(places[0].x, places[0].y, places[0].w, places[0].h, "essai");
        fenetre.resizable(&fenetre);
        fenetre.end();
        fenetre.show();
        pose_fenetre(&fenetre, places[0]);
        ASSERT_TRUE(attend([&] { return vraie_place(&fenetre) == places[0]; }))
            << vraie_place(&fenetre).x << "," << vraie_place(&fenetre).y;
        attend([&] { return decorations_de(&fenetre).haut > 0 || !c.openbox; });
        decorations const lues = decorations_de(&fenetre);
        EXPECT_EQ(en_tuple(lues), cadre_mesure(&fenetre));
        EXPECT_EQ(en_tuple(lues), en_tuple(prevues));
        EXPECT_GE(places[0].y - lues.haut, c.zone.y) << "barre de titre sur l'ecran";

        XClassHint classe{};
        ASSERT_NE(XGetClassHint(fl_display, fl_xid(&fenetre), &classe), 0);
        EXPECT_STREQ(classe.res_name, "karvela");
        EXPECT_STREQ(classe.res_class, "Karvela"); // la boite a outils met la capitale
        XFree(classe.res_name);
        XFree(classe.res_class);
        Atom type = None;
        int format = 0;
        unsigned long nombre = 0, reste = 0;
        unsigned char* icone = nullptr; // largeur, hauteur, puis les pixels
        XGetWindowProperty(fl_display, fl_xid(&fenetre),
                           XInternAtom(fl_display, "_NET_WM_ICON", False), 0, 2, False, XA_CARDINAL,
                           &type, &format, &nombre, &reste, &icone);
        ASSERT_EQ(nombre, 2u) << "pas d'icone";
        EXPECT_EQ(reinterpret_cast<long*>(icone)[0] * reinterpret_cast<long*>(icone)[1], 64 * 64);
        XFree(icone);
    }
    std::remove(reglages.c_str());
    fl_close_display();
}

// Chaque zone que le placement garde, puis chaque vue, contient ses widgets
// (boutons des barres compris) ; aucune vue n'en chevauche une gardee.
TEST(bureau, zones_a_garder_celles_des_widgets) {
    // Comme le programme : sans quoi la couche Forms retourne les y a chaque ajout.
    int argc = 1;
    char nom[] = "karvela";
    char* argv[] = {nom, nullptr};
    fl_initialize(&argc, argv, nullptr, nullptr, 0);
    SIM_class s;
    barre_fichiers_class const fichiers(&s);
    barre_marche_class const marche(&s);
    barre_platine_class const platine(&s);
    barre_exercice_class const exercice(&s);
    Fl_Widget *cadre_ports = nullptr, *titre_pile = nullptr;
    for (int i = 0; i < s.SIM->children(); ++i) {
        Fl_Widget* w = s.SIM->child(i);
        cadre_ports = w->y() == 185 && w->h() == 145 ? w : cadre_ports;
        titre_pile = w->label() != nullptr && std::string(w->label()) == "PILE" ? w : titre_pile;
    }
    ASSERT_TRUE(cadre_ports != nullptr && titre_pile != nullptr);
    std::vector<Fl_Widget const*> const widgets[] = {
        {s.m_fichier, s.B_AIDE, fichiers.B_SOURCE, fichiers.B_RECHARGER, platine.B_PLATINE,
         exercice.B_EXERCICE, exercice.B_VERIFIER, marche.B_RECULE, marche.VITESSE, marche.ETAT},
        {s.REG_A_HEX, s.REG_A_BIN, s.REG_TMPA_HEX, s.REG_TMPA_BIN, s.REG_CCR_BIN, s.REG_X_HEX,
         s.REG_X_DEC, s.REG_PC_HEX, s.REG_PC_DEC, fichiers.NOM_FICHIER},
        {cadre_ports},
        {s.B_RESET, s.B_STOP, s.B_PLAY, s.B_STEP},
        {s.PILE00, s.PILE15},
        {titre_pile},
        {s.DESA01, s.DESA12, s.DESA_U, s.DESA_PC, s.DESA_D},
        {s.DUMP01, s.DUMP12, s.DUMP_U, s.DUMP_SLIDE, s.DUMP_D},
    };
    std::vector<zone_a_garder> zones(std::begin(zones_a_garder), std::end(zones_a_garder));
    zones.insert(zones.end(), std::begin(vues_principale), std::end(vues_principale));
    ASSERT_EQ(zones.size(), std::size(widgets));
    auto const dans = [](cotes const& a, cotes const& g) {
        return a.x >= g.x && a.y >= g.y && a.x + a.w <= g.x + g.w && a.y + a.h <= g.y + g.h;
    };
    for (std::size_t i = 0; i < zones.size(); ++i) {
        for (Fl_Widget const* w : widgets[i]) {
            EXPECT_TRUE(dans({w->x(), w->y(), w->w(), w->h()}, zones[i].geometrie))
                << zones[i].nom << " : " << w->x() << "," << w->y();
        }
    }
    for (zone_a_garder const& v : vues_principale) {
        for (zone_a_garder const& z : zones_a_garder) {
            cotes const a = v.geometrie, b = z.geometrie;
            EXPECT_FALSE(a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h)
                << v.nom << " et " << z.nom;
        }
    }
    delete s.SIM; // les boutons des barres sont a elle
}

} // namespace
