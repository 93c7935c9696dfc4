// Temps du lancement a la fenetre montree : lance KARVELA [ARGUMENTS] sur
// l'affichage courant, attend que le serveur X projette sa fenetre "Machine a
// pile" (MapNotify vu depuis la racine), ecrit le temps ecoule et la memoire
// residente du programme, puis le termine. Avec --attente S, la memoire est lue S
// secondes apres la projection (fenetre dessinee, au repos).
// Utilisation : demarrage [--attente S] KARVELA [ARGUMENTS]...
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr char const* titre = "Machine a pile";
constexpr double delai_max = 60; // secondes : au-dela, echec

// Ligne "Nom:   valeur kB" de /proc/PID/status, en Kio ; -1 si absente.
long kio(pid_t pid, char const* nom) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    for (std::string ligne; std::getline(f, ligne);) {
        if (ligne.rfind(nom, 0) == 0) {
            return std::atol(ligne.c_str() + std::strlen(nom));
        }
    }
    return -1;
}

bool fenetre_du_programme(Display* d, Window w) {
    char* nom = nullptr;
    bool const trouve =
        XFetchName(d, w, &nom) != 0 && nom != nullptr && std::strcmp(nom, titre) == 0;
    if (nom != nullptr) {
        XFree(nom);
    }
    return trouve;
}

} // namespace

int main(int argc, char** argv) {
    int premier = 1;
    double attente = 0;
    if (argc > 2 && std::strcmp(argv[1], "--attente") == 0) {
        attente = std::atof(argv[2]);
        premier = 3;
    }
    if (premier >= argc) {
        std::fprintf(stderr, "utilisation : demarrage [--attente S] KARVELA [ARGUMENTS]...\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        std::fprintf(stderr, "demarrage : pas d'affichage\n");
        return 1;
    }
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);

    auto const debut = std::chrono::steady_clock::now();
    pid_t const pid = fork();
    if (pid == 0) {
        int const nul = open("/dev/null", O_WRONLY);
        dup2(nul, 1);
        dup2(nul, 2);
        execv(argv[premier], argv + premier);
        _exit(127);
    }
    double ms = -1;
    while (ms < 0) {
        double const ecoule =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
        if (ecoule > delai_max) {
            break;
        }
        if (XPending(d) == 0) {
            fd_set lecture;
            FD_ZERO(&lecture);
            FD_SET(ConnectionNumber(d), &lecture);
            timeval t{0, 100000};
            select(ConnectionNumber(d) + 1, &lecture, nullptr, nullptr, &t);
            continue;
        }
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == MapNotify && fenetre_du_programme(d, e.xmap.window)) {
            ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut)
                     .count();
        }
    }
    if (attente > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(attente));
    }
    long const rss = kio(pid, "VmRSS:");
    long const pic = kio(pid, "VmHWM:");
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(d);
    if (ms < 0) {
        std::fprintf(stderr, "demarrage : pas de fenetre \"%s\"\n", titre);
        return 1;
    }
    std::printf("fenetre projetee en %.1f ms ; memoire residente %ld Kio (pic %ld Kio)\n", ms, rss,
                pic);
    return 0;
}
