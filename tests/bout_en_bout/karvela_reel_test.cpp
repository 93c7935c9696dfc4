// Le vrai programme, de bout en bout : lance sur un Xvfb a lui (les autres suites
// graphiques ouvrent leurs fenetres au meme endroit sur l'affichage commun), pilote
// par de vrais clics et de vraies frappes (xdotool), verifie sur une capture
// d'ecran (ImageMagick), quitte par le menu Fichier.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Commande shell ; rend son statut de sortie et sa sortie standard.
int execute(std::string const& commande, std::string* sortie = nullptr) {
    std::FILE* flux = popen(commande.c_str(), "r");
    if (flux == nullptr) {
        return -1;
    }
    std::string texte;
    char tampon[256];
    while (std::fgets(tampon, sizeof tampon, flux) != nullptr) {
        texte += tampon;
    }
    int const statut = pclose(flux);
    if (sortie != nullptr) {
        *sortie = texte;
    }
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
}

// Client X (xdotool, xwininfo, import). Le serveur X de l'environnement de test
// refuse parfois une connexion : on reessaie alors, et seulement dans ce cas.
int execute_x(std::string const& commande, std::string* sortie = nullptr) {
    std::string texte;
    int statut = -1;
    for (int essai = 0; essai < 10; ++essai) {
        statut = execute(commande + " 2>&1", &texte);
        bool const refuse = texte.find("open display") != std::string::npos ||
                            texte.find("unable to open X server") != std::string::npos;
        if (statut == 0 || !refuse) {
            break;
        }
        std::this_thread::sleep_for(50ms);
    }
    if (sortie != nullptr) {
        *sortie = texte;
    }
    return statut;
}

// Processus fils lance par le test, tue a la destruction s'il vit encore.
struct processus {
    pid_t pid = -1;
    // SIGTERM d'abord : Xvfb retire alors son verrou et sa prise.
    ~processus() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            if (attend_fin(5s) < 0 && pid > 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
    }
    // Statut de sortie, ou -1 si le processus n'a pas fini dans le delai.
    int attend_fin(std::chrono::milliseconds delai) {
        auto const limite = std::chrono::steady_clock::now() + delai;
        while (std::chrono::steady_clock::now() < limite) {
            int statut = 0;
            if (waitpid(pid, &statut, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut);
            }
            std::this_thread::sleep_for(50ms);
        }
        return -1;
    }
};

// Lance Xvfb sur l'affichage n et attend qu'il accepte des clients ; faux s'il
// n'a pas demarre (numero pris entre-temps, par exemple).
bool lance_xvfb(processus& serveur, int n) {
    int tube[2];
    if (pipe(tube) != 0) {
        return false;
    }
    std::string const affichage = ":" + std::to_string(n);
    serveur.pid = fork();
    if (serveur.pid == 0) {
        close(tube[0]);
        int const nul = open("/dev/null", O_WRONLY);
        dup2(nul, 2);
        std::string const fd = std::to_string(tube[1]);
        execlp("Xvfb", "Xvfb", affichage.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
               "1280x1024x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(tube[1]);
    // Le serveur ecrit son numero quand il est pret ; la fin du tube sans
    // numero veut dire qu'il s'est arrete.
    std::string lu;
    pollfd attente = {tube[0], POLLIN, 0};
    char c;
    while (poll(&attente, 1, 15000) > 0 && read(tube[0], &c, 1) == 1 && c != '\n') {
        lu += c;
    }
    close(tube[0]);
    if (lu == std::to_string(n)) {
        return true;
    }
    kill(serveur.pid, SIGKILL);
    waitpid(serveur.pid, nullptr, 0);
    serveur.pid = -1;
    return false;
}

// Un serveur Xvfb a nous, sur un numero libre choisi ici. Pas de recherche par
// le serveur lui-meme (-displayfd sans numero) : en essayant les numeros, il
// retire les prises des serveurs vivants et coupe les autres suites graphiques.
std::string demarre_xvfb(processus& serveur) {
    int const depart = 300 + static_cast<int>(getpid() % 400);
    for (int n = depart; n < depart + 50; ++n) {
        std::string const verrou = "/tmp/.X" + std::to_string(n) + "-lock";
        std::string const prise = "/tmp/.X11-unix/X" + std::to_string(n);
        if (access(verrou.c_str(), F_OK) == 0 || access(prise.c_str(), F_OK) == 0) {
            continue;
        }
        if (lance_xvfb(serveur, n)) {
            return ":" + std::to_string(n);
        }
    }
    return "";
}

struct geometrie {
    int x = 0, y = 0, w = 0, h = 0;
    bool visible = false;
};

geometrie geometrie_de(std::string const& fenetre) {
    std::string sortie;
    geometrie g;
    execute_x("xwininfo -id " + fenetre, &sortie);
    std::istringstream lignes(sortie);
    std::string ligne;
    while (std::getline(lignes, ligne)) {
        std::sscanf(ligne.c_str(), " Absolute upper-left X: %d", &g.x);
        std::sscanf(ligne.c_str(), " Absolute upper-left Y: %d", &g.y);
        std::sscanf(ligne.c_str(), " Width: %d", &g.w);
        std::sscanf(ligne.c_str(), " Height: %d", &g.h);
        if (ligne.find("Map State: IsViewable") != std::string::npos) {
            g.visible = true;
        }
    }
    return g;
}

// Couleur "r,g,b" du pixel (x, y) de l'ecran, d'apres une capture de la racine.
std::string pixel(std::string const& capture, int x, int y) {
    if (execute_x("import -window root png:" + capture) != 0) {
        return "capture impossible";
    }
    std::string sortie;
    execute("convert " + capture + " -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                " -depth 8 txt:- 2>&1",
            &sortie);
    std::string::size_type const debut = sortie.find("0,0: (");
    if (debut == std::string::npos) {
        return sortie;
    }
    std::string::size_type const fin = sortie.find(')', debut);
    std::string rgb = sortie.substr(debut + 6, fin - debut - 6);
    rgb.erase(std::remove(rgb.begin(), rgb.end(), ' '), rgb.end());
    return rgb;
}

// Attend que le pixel prenne la couleur voulue ; rend la derniere couleur lue.
std::string attend_pixel(std::string const& capture, int x, int y, std::string const& voulu) {
    std::string lu;
    for (int essai = 0; essai < 50; ++essai) {
        lu = pixel(capture, x, y);
        if (lu == voulu) {
            break;
        }
        std::this_thread::sleep_for(100ms);
    }
    return lu;
}

std::string contenu(std::string const& chemin) {
    std::ifstream f(chemin);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Le programme sur l'affichage courant, sa sortie d'erreur dans le journal.
pid_t lance_karvela(std::string const& journal) {
    pid_t const pid = fork();
    if (pid == 0) {
        int const sortie_erreur = open(journal.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(sortie_erreur, 2);
        // Lance a la main, hors de ctest : memes suppressions de fuites que la suite.
        setenv("LSAN_OPTIONS", "suppressions=" KARVELA_SOURCE "/tests/lsan.supp", 0);
        execl(KARVELA_BINAIRE, KARVELA_BINAIRE, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

TEST(karvela_reel, pushi_tape_a_la_main_puis_step_allume_la_pile_et_quitter_rend_0) {
    processus serveur;
    std::string const affichage = demarre_xvfb(serveur);
    ASSERT_FALSE(affichage.empty()) << "Xvfb n'a pas demarre";
    setenv("DISPLAY", affichage.c_str(), 1);

    std::string const journal = testing::TempDir() + "karvela_bout_en_bout.err";
    processus karvela;
    std::string fenetre;
    // Relance seulement si le programme n'a pas pu joindre le serveur X (voir execute_x).
    for (int lancement = 0; lancement < 5 && fenetre.empty(); ++lancement) {
        karvela.pid = lance_karvela(journal);
        auto const limite = std::chrono::steady_clock::now() + 30s;
        while (fenetre.empty() && std::chrono::steady_clock::now() < limite) {
            std::string trouve;
            if (execute_x("xdotool search --onlyvisible --name '^Machine a pile$'", &trouve) == 0) {
                fenetre = trouve.substr(0, trouve.find('\n'));
            } else if (karvela.attend_fin(200ms) >= 0) {
                break;
            }
        }
        if (fenetre.empty() && contenu(journal).find("open display") == std::string::npos) {
            break;
        }
    }
    ASSERT_FALSE(fenetre.empty()) << "pas de fenetre \"Machine a pile\" ; journal :\n"
                                  << contenu(journal);

    geometrie const g = geometrie_de(fenetre);
    EXPECT_EQ(g.w, 650);
    EXPECT_EQ(g.h, 695);

    // Clic gauche en (x, y) de la fenetre, puis une frappe eventuelle.
    auto clic = [&](int x, int y, char const* texte = nullptr) {
        ASSERT_EQ(execute_x("xdotool mousemove --sync --window " + fenetre + " " +
                            std::to_string(x) + " " + std::to_string(y) + " click 1"),
                  0);
        std::this_thread::sleep_for(150ms);
        if (texte != nullptr) {
            ASSERT_EQ(execute_x(std::string("xdotool type --delay 30 '") + texte + "'"), 0);
            std::this_thread::sleep_for(100ms);
        }
    };

    std::string const capture = testing::TempDir() + "karvela_bout_en_bout.png";
    int const pile00_x = g.x + 300; // case du bas de la pile : 220..325 x 650..670
    int const pile00_y = g.y + 660;
    EXPECT_EQ(attend_pixel(capture, pile00_x, pile00_y, "255,255,255"), "255,255,255")
        << "pile vide : case blanche";

    // PUSHI 1 : l'octet 1 a l'adresse 0, deux fois.
    clic(480, 359, "0"); // adresse
    clic(481, 387, "1"); // valeur
    clic(568, 359, "2"); // x (nombre d'octets)
    clic(570, 387);      // VALID_MEM
    clic(160, 380);      // STEP
    EXPECT_EQ(attend_pixel(capture, pile00_x, pile00_y, "255,218,127"), "255,218,127")
        << "la case PILE00 doit passer en couleur 174 apres le PUSHI";

    // Echap ne ferme pas la fenetre principale.
    ASSERT_EQ(execute_x("xdotool mousemove --window " + fenetre + " 300 600 key Escape"), 0);
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(geometrie_de(fenetre).visible) << "Echap a ferme la fenetre";

    clic(55, 20); // "Fichier"
    std::this_thread::sleep_for(300ms);
    clic(45, 82); // "Quitter", troisieme entree
    EXPECT_EQ(karvela.attend_fin(20s), 0) << "journal :\n" << contenu(journal);
    std::remove(capture.c_str());
    std::remove(journal.c_str());
}

} // namespace
