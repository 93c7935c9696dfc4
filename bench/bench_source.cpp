// La fenetre du source dans la vraie fenetre (sous Xvfb), sur le source donne :
// d'une touche (F7, puis Ctrl+R) a l'ecran redessine, les deux fenetres comprises
// (la touche arrive comme de la boite a outils, la passe la prend, tout ce qui est
// a redessiner l'est, et le serveur X a tout recu) ; puis le debit en "max",
// fenetre du source montree puis cachee.
// Utilisation : bench_source SOURCE.asm [PAS]
#include <FL/Fl.H>
#include <FL/forms.H>
#include <FL/x.H>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "simulateur/controleur_source.h"
#include "simulateur/interface2.h"

// Le controleur ne montre ses membres qu'a cet acces, reserve aux essais et aux bancs.
struct acces_simulateur {
    static SIM_class& fenetre(simulateur& s) { return *s.SIM; }
    static source_class& source(simulateur& s) { return *s.source->fen_; }
    static barre_marche_class& barre_marche(simulateur& s) { return *s.barre_marche; }
    static mode_marche& marche(simulateur& s) { return s.marche; }
};

namespace {

using horloge = std::chrono::steady_clock;

double ms_depuis(horloge::time_point t) {
    return std::chrono::duration<double, std::milli>(horloge::now() - t).count();
}

// Une touche, la passe qui la prend, le dessin ; en millisecondes.
double touche(simulateur& sim, Fl_Window* fenetre, int cle, int etat, char const* texte) {
    auto const debut = horloge::now();
    Fl::e_keysym = cle;
    Fl::e_state = etat;
    Fl::e_text = const_cast<char*>(texte);
    Fl::e_length = static_cast<int>(std::char_traits<char>::length(texte));
    Fl::handle(FL_KEYBOARD, fenetre);
    Fl::e_state = 0;
    sim.passe_commande();
    Fl::flush();
    XSync(fl_display, False);
    return ms_depuis(debut);
}

void resume(char const* quoi, std::vector<double> temps) {
    std::sort(temps.begin(), temps.end());
    std::printf("%s : mediane %.2f ms, 90 %% %.2f ms, max %.2f ms sur %zu essais\n", quoi,
                temps[temps.size() / 2], temps[temps.size() * 9 / 10], temps.back(), temps.size());
}

double debit_max(simulateur& sim, double secondes) {
    SIM_class& f = acces_simulateur::fenetre(sim);
    mode_marche& marche = acces_simulateur::marche(sim);
    f.B_RESET->do_callback();
    sim.passe_commande();
    Fl_Choice* const vitesse = acces_simulateur::barre_marche(sim).VITESSE;
    vitesse->value(static_cast<int>(std::size(vitesses_marche)) - 1); // "max", la derniere
    vitesse->do_callback();
    sim.passe_commande();
    f.B_PLAY->do_callback();
    sim.passe_commande();
    auto const debut = horloge::now();
    while (marche.en_marche() && ms_depuis(debut) < secondes * 1000) {
        sim.passe_commande();
    }
    double const duree = ms_depuis(debut) / 1000;
    long long const faits = marche.pas_faits();
    f.B_STOP->do_callback();
    sim.passe_commande();
    return faits / duree / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "Usage : bench_source SOURCE.asm [PAS]\n");
        return 2;
    }
    int const pas = argc > 2 ? std::atoi(argv[2]) : 300;
    char nom[] = "karvela";
    char* arguments[] = {nom, argv[1], nullptr};
    simulateur sim(2, arguments);
    sim.passe_commande(); // le source de la ligne de commande, et sa fenetre
    Fl::flush();
    SIM_class& f = acces_simulateur::fenetre(sim);
    Fl_Window* const source = acces_simulateur::source(sim).source;
    if (!source->visible()) {
        std::fprintf(stderr, "bench_source : la fenetre du source ne s'est pas ouverte\n");
        return 1;
    }
    std::vector<double> temps;
    for (int i = 0; i < pas; ++i) {
        temps.push_back(touche(sim, f.SIM, FL_F + 7, 0, ""));
    }
    resume("F7 -> deux fenetres redessinees", temps);
    temps.clear();
    touche(sim, f.SIM, 'e', FL_CTRL, "\x05"); // Ctrl+E : cachee
    for (int i = 0; i < pas; ++i) {
        temps.push_back(touche(sim, f.SIM, FL_F + 7, 0, ""));
    }
    resume("F7, fenetre du source cachee -> principale redessinee", temps);
    touche(sim, f.SIM, 'e', FL_CTRL, "\x05");
    temps.clear();
    for (int i = 0; i < 30; ++i) {
        temps.push_back(touche(sim, source, 'r', FL_CTRL, "\x12"));
    }
    resume("Ctrl+R -> nouveau programme montre", temps);
    // Montree puis cachee (Ctrl+E), tour a tour : la machine est partagee, seules
    // des mesures voisines se comparent ; les medianes de sept tours de 2 s.
    std::vector<double> montree, cachee;
    for (int tour = 0; tour < 7; ++tour) {
        montree.push_back(debit_max(sim, 2));
        touche(sim, f.SIM, 'e', FL_CTRL, "\x05");
        cachee.push_back(debit_max(sim, 2));
        touche(sim, f.SIM, 'e', FL_CTRL, "\x05");
    }
    std::sort(montree.begin(), montree.end());
    std::sort(cachee.begin(), cachee.end());
    double const m = montree[montree.size() / 2];
    double const c = cachee[cachee.size() / 2];
    std::printf("max (medianes) : %.1f millions/s fenetre du source montree, %.1f cachee "
                "(%+.1f %%)\n",
                m, c, 100 * (m - c) / c);
    return 0;
}
