// Le bureau vu par Xlib, sur un Xvfb a ce test (pas celui des autres suites : un
// gestionnaire de fenetres lance ici ne les derange pas), sans puis avec openbox :
// zone de travail (propriete de la racine, puis panneau d'openbox), decorations
// prevues et lues, une fenetre posee par place_fenetres la ou elle le dit, barre
// de titre sur l'ecran, classe karvela et icone.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/forms.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <fstream>
#include <string>
#include <vector>

#include "simulateur/bureau.h"
#include "simulateur/interface.h"
#include "simulateur/interface_exercice.h"
#include "simulateur/interface_fichiers.h"
#include "simulateur/interface_marche.h"
#include "simulateur/interface_platine.h"

namespace {

// Un programme lance par le test ; arrete (par son numero) a la fin.
struct processus {
    pid_t pid = -1;
    ~processus() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

pid_t lance(std::vector<std::string> mots, int garde = -1) {
    pid_t const pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (std::string& m : mots) {
            argv.push_back(m.data());
        }
        argv.push_back(nullptr);
        for (int fd = 3; fd < 256; ++fd) {
            if (fd != garde) {
                close(fd);
            }
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Attend, en laissant tourner la boucle, que la condition tienne ; faux au bout de 5 s.
template <class F> bool attend(F condition) {
    for (int i = 0; i < 250; ++i) {
        if (condition()) {
            return true;
        }
        Fl::wait(0.02);
    }
    return condition();
}

void pose_propriete(Window w, char const* nom, std::vector<long> const& valeurs) {
    XChangeProperty(fl_display, w, XInternAtom(fl_display, nom, False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char const*>(valeurs.data()),
                    static_cast<int>(valeurs.size()));
    XSync(fl_display, False);
}

Fl_Widget const* widget_libelle(Fl_Group* g, char const* libelle) {
    for (int i = 0; i < g->children(); ++i) {
        if (g->child(i)->label() != nullptr && std::string(g->child(i)->label()) == libelle) {
            return g->child(i);
        }
    }
    return nullptr;
}

// Ou le serveur a vraiment pose l'interieur de la fenetre.
cotes vraie_place(Fl_Window* w) {
    Window enfant;
    int x = 0, y = 0;
    XTranslateCoordinates(fl_display, fl_xid(w), RootWindow(fl_display, fl_screen), 0, 0, &x, &y,
                          &enfant);
    return {x, y, w->w(), w->h()};
}

// Les decorations mesurees sur le cadre : l'ancetre de la fenetre sous la racine.
decorations cadre_mesure(Fl_Window* w) {
    Window fenetre = fl_xid(w), racine = None, parent = None, *enfants = nullptr;
    unsigned n = 0;
    for (Window courante = fenetre;; courante = parent) {
        XQueryTree(fl_display, courante, &racine, &parent, &enfants, &n);
        XFree(enfants);
        if (parent == racine) {
            XWindowAttributes cadre;
            XGetWindowAttributes(fl_display, courante, &cadre);
            cotes const dedans = vraie_place(w);
            int const g = dedans.x - cadre.x, h = dedans.y - cadre.y;
            return {g, cadre.width + 2 * cadre.border_width - g - dedans.w, h,
                    cadre.height + 2 * cadre.border_width - h - dedans.h};
        }
    }
}

TEST(bureau, sans_puis_avec_openbox) {
    // Un Xvfb a soi : il ecrit son numero d'ecran sur le tube.
    int tube[2];
    ASSERT_EQ(pipe(tube), 0);
    processus serveur;
    serveur.pid = lance({"Xvfb", "-displayfd", std::to_string(tube[1]), "-screen", "0",
                         "1280x1024x24", "-nolisten", "tcp", "-noreset"},
                        tube[1]);
    close(tube[1]);
    // Le numero, puis une fin de ligne ecrite a part : fermer avant la ferait echouer.
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

    struct cas {
        char const* nom;
        bool openbox;
        cotes zone; // attendue
    };
    cas const table[] = {
        {"sans gestionnaire, zone posee sur la racine", false, {0, 30, 1280, 994}},
        {"openbox et une marge de 40 en haut", true, {0, 40, 1280, 984}},
    };
    processus gestionnaire;
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        if (c.openbox) {
            XDeleteProperty(fl_display, racine, XInternAtom(fl_display, "_NET_WORKAREA", False));
            // Une marge de 40 en haut, comme un panneau : openbox l'ote de la zone.
            std::string const reglages =
                std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp") +
                "/karvela-openbox-" + std::to_string(getpid()) + ".xml";
            std::ofstream(reglages) << "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">"
                                       "<margins><top>40</top></margins></openbox_config>\n";
            gestionnaire.pid = lance({"openbox", "--sm-disable", "--config-file", reglages});
            ASSERT_TRUE(attend(gestionnaire_present)) << "openbox manquant ? (scripts/setup tests)";
        } else {
            EXPECT_FALSE(gestionnaire_present());
            EXPECT_EQ(zone_de_travail(), (cotes{0, 0, 1280, 1024})) << "l'ecran entier";
            pose_propriete(racine, "_NET_WORKAREA", {0, 30, 1280, 994});
        }
        ASSERT_TRUE(attend([&] { return zone_de_travail() == c.zone; }))
            << zone_de_travail().y << " " << zone_de_travail().h;
        // Un gestionnaire qui demarre ne repond qu'une fois sa boucle lancee.
        decorations prevues;
        attend([&] { return (prevues = decorations_prevues()).haut > 0 || !c.openbox; });
        EXPECT_EQ(prevues.haut > 0, c.openbox) << prevues.haut;

        // La principale a sa place, a cote d'une source : ou place_fenetres le dit.
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
        if (c.openbox) {
            ASSERT_TRUE(attend([&] { return decorations_de(&fenetre).haut > 0; }));
        }
        decorations const lues = decorations_de(&fenetre), cadre = cadre_mesure(&fenetre);
        EXPECT_EQ(lues.gauche, cadre.gauche);
        EXPECT_EQ(lues.droite, cadre.droite);
        EXPECT_EQ(lues.haut, cadre.haut);
        EXPECT_EQ(lues.bas, cadre.bas);
        EXPECT_EQ(lues.haut, prevues.haut);
        EXPECT_EQ(lues.gauche, prevues.gauche);
        EXPECT_EQ(lues.bas, prevues.bas);
        EXPECT_GE(vraie_place(&fenetre).y - lues.haut, c.zone.y) << "barre de titre sur l'ecran";

        XClassHint classe{};
        ASSERT_NE(XGetClassHint(fl_display, fl_xid(&fenetre), &classe), 0);
        EXPECT_STREQ(classe.res_name, "karvela");
        EXPECT_STREQ(classe.res_class, "Karvela"); // la boite a outils met la capitale
        XFree(classe.res_name);
        XFree(classe.res_class);
        Atom type = None;
        int format = 0;
        unsigned long nombre = 0, reste = 0;
        unsigned char* icone = nullptr;
        XGetWindowProperty(fl_display, fl_xid(&fenetre),
                           XInternAtom(fl_display, "_NET_WM_ICON", False), 0, 2, False, XA_CARDINAL,
                           &type, &format, &nombre, &reste, &icone);
        ASSERT_EQ(nombre, 2u) << "pas d'icone";
        EXPECT_EQ(reinterpret_cast<long*>(icone)[0], 64);
        EXPECT_EQ(reinterpret_cast<long*>(icone)[1], 64);
        XFree(icone);
        fenetre.hide();
    }
    fl_close_display();
}

// Les zones que le placement garde visibles sont celles des widgets de la
// principale concue (et des boutons que les barres y ajoutent) ; les vues qu'une
// compagne peut couvrir n'en chevauchent aucune.
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
    Fl_Widget* cadre_ports = nullptr;
    for (int i = 0; i < s.SIM->children(); ++i) {
        Fl_Widget* w = s.SIM->child(i);
        if (w->x() == 20 && w->y() == 185 && w->w() == 610 && w->h() == 145) {
            cadre_ports = w;
        }
    }
    ASSERT_NE(cadre_ports, nullptr);
    struct cas {
        char const* zone;
        std::vector<Fl_Widget const*> widgets;
    };
    cas const table[] = {
        {"barre du haut",
         {s.m_fichier, s.B_AIDE, fichiers.B_SOURCE, fichiers.B_RECHARGER, platine.B_PLATINE,
          exercice.B_EXERCICE, exercice.B_VERIFIER, marche.B_RECULE, marche.VITESSE, marche.ETAT}},
        {"registres",
         {s.REG_A_HEX, s.REG_A_BIN, s.REG_TMPA_HEX, s.REG_TMPA_BIN, s.REG_CCR_BIN, s.REG_X_HEX,
          s.REG_X_DEC, s.REG_PC_HEX, s.REG_PC_DEC, fichiers.NOM_FICHIER}},
        {"ports", {cadre_ports}},
        {"commandes", {s.B_RESET, s.B_STOP, s.B_PLAY, s.B_STEP}},
        {"pile", {s.PILE00, s.PILE15}},
        {"titre de la pile", {widget_libelle(s.SIM, "PILE")}},
        {"desassemblage", {s.DESA01, s.DESA12, s.DESA_U, s.DESA_PC, s.DESA_D}},
        {"dump", {s.DUMP01, s.DUMP12, s.DUMP_U, s.DUMP_SLIDE, s.DUMP_D}},
    };
    std::vector<zone_a_garder> toutes(std::begin(zones_a_garder), std::end(zones_a_garder));
    toutes.insert(toutes.end(), std::begin(vues_principale), std::end(vues_principale));
    for (cas const& c : table) {
        SCOPED_TRACE(c.zone);
        auto const z = std::find_if(toutes.begin(), toutes.end(), [&](zone_a_garder const& t) {
            return std::string(t.nom) == c.zone;
        });
        ASSERT_NE(z, toutes.end());
        cotes const g = z->geometrie;
        for (Fl_Widget const* w : c.widgets) {
            EXPECT_TRUE(w->x() >= g.x && w->y() >= g.y && w->x() + w->w() <= g.x + g.w &&
                        w->y() + w->h() <= g.y + g.h)
                << w->x() << "," << w->y() << " " << w->w() << "x" << w->h();
        }
    }
    for (zone_a_garder const& v : vues_principale) {
        for (zone_a_garder const& z : zones_a_garder) {
            cotes const a = v.geometrie, b = z.geometrie;
            EXPECT_FALSE(a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h)
                << v.nom << " et " << z.nom;
        }
    }
    delete s.SIM; // les barres n'ont que des boutons, a elle
}

} // namespace
