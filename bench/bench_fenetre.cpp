// Le mode marche dans la vraie fenetre (sous Xvfb) : instructions par seconde en
// "max", historique garde, sur le programme donne (une boucle de pres de 10^8
// instructions finie par BT *), redessins par seconde pendant ce temps, puis le
// delai d'un STOP arrive au hasard dans une tranche jusqu'a l'arret dessine ;
// d'abord, la cadence tenue a 10, 100 et 1000 instructions par seconde.
// Utilisation : bench_fenetre PROGRAMME.bin [ESSAIS_STOP]
#include <FL/Fl.H>
#include <FL/forms.H>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "simulateur/interface2.h"

// Le controleur ne montre ses membres qu'a cet acces, reserve aux essais et aux bancs.
struct acces_simulateur {
    static SIM_class& fenetre(simulateur& s) { return *s.SIM; }
    static barre_marche_class& barre_marche(simulateur& s) { return *s.barre_marche; }
    static mode_marche& marche(simulateur& s) { return s.marche; }
};

namespace {

using horloge = std::chrono::steady_clock;

double secondes_depuis(horloge::time_point t) {
    return std::chrono::duration<double>(horloge::now() - t).count();
}

struct banc_fenetre {
    simulateur& sim;
    SIM_class& f = acces_simulateur::fenetre(sim);
    mode_marche& marche = acces_simulateur::marche(sim);

    // Un clic : do_callback met le widget en file, la passe suivante le prend.
    void clique(Fl_Widget* w) {
        w->do_callback();
        sim.passe_commande();
    }
    void choisit_vitesse(int v) {
        Fl_Choice* const choix = acces_simulateur::barre_marche(sim).VITESSE;
        choix->value(
            static_cast<int>(std::find(std::begin(vitesses_marche), std::end(vitesses_marche), v) -
                             std::begin(vitesses_marche)));
        clique(choix);
    }
};

std::atomic<bool> stop_envoye{false};
horloge::time_point heure_du_stop;

// Dans la boucle de la fenetre, comme un clic pris a la passe suivante.
void stop_de_l_utilisateur(void* bouton) {
    stop_envoye = true;
    static_cast<Fl_Widget*>(bouton)->do_callback();
}

// Instructions faites en 5 s a chaque vitesse reglee, rapportees a la vitesse.
void cadences_reglees(banc_fenetre& b) {
    for (int v : {10, 100, 1000}) {
        b.clique(b.f.B_RESET);
        b.choisit_vitesse(v);
        b.clique(b.f.B_PLAY);
        auto const debut = horloge::now();
        while (secondes_depuis(debut) < 5) {
            b.sim.passe_commande();
        }
        double const duree = secondes_depuis(debut);
        long long const faits = b.marche.pas_faits();
        b.clique(b.f.B_STOP);
        std::printf("vitesse %d : %lld instructions en %.2f s, %.1f %% de la vitesse\n", v, faits,
                    duree, 100.0 * faits / (v * duree));
    }
}

void debit_en_max(banc_fenetre& b) {
    b.clique(b.f.B_RESET);
    b.choisit_vitesse(vitesse_max);
    b.clique(b.f.B_PLAY);
    std::string pc_montre = fl_get_input(b.f.REG_PC_HEX);
    long redessins = 0;
    auto const debut = horloge::now();
    while (b.marche.en_marche()) {
        b.sim.passe_commande();
        std::string const pc = fl_get_input(b.f.REG_PC_HEX);
        redessins += pc != pc_montre ? 1 : 0;
        pc_montre = pc;
    }
    double const duree = secondes_depuis(debut);
    std::printf("max, historique garde : %lld instructions en %.2f s, %.1f millions/s ; "
                "%ld redessins, %.1f par seconde ; %s\n",
                b.marche.pas_faits(), duree, b.marche.pas_faits() / duree / 1e6, redessins,
                redessins / duree, b.marche.texte().c_str());
}

void latence_du_stop(banc_fenetre& b, int essais) {
    std::mt19937 hasard(1);
    std::uniform_int_distribution<int> attente_ms(200, 400);
    std::vector<double> latences;
    for (int i = 0; i < essais; ++i) {
        b.clique(b.f.B_RESET);
        b.clique(b.f.B_PLAY);
        stop_envoye = false;
        int const attente = attente_ms(hasard);
        std::thread envoi([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(attente));
            heure_du_stop = horloge::now(); // le clic arrive, peut-etre en pleine tranche
            Fl::awake(stop_de_l_utilisateur, b.f.B_STOP);
        });
        while (b.marche.en_marche()) {
            b.sim.passe_commande();
        }
        Fl::flush();
        double const latence = secondes_depuis(heure_du_stop);
        envoi.join();
        if (stop_envoye) {
            latences.push_back(latence * 1000);
        }
    }
    std::sort(latences.begin(), latences.end());
    if (latences.empty()) {
        std::printf("STOP : aucun essai n'a abouti\n");
        return;
    }
    std::printf("STOP -> arret dessine : mediane %.1f ms, max %.1f ms sur %zu essais\n",
                latences[latences.size() / 2], latences.back(), latences.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "Usage : bench_fenetre PROGRAMME.bin [ESSAIS_STOP]\n");
        return 2;
    }
    int const essais = argc > 2 ? std::atoi(argv[2]) : 20;
    Fl::lock(); // Fl::awake depuis un autre fil
    char nom[] = "karvela";
    char* arguments[] = {nom, argv[1], nullptr};
    simulateur sim(2, arguments);
    // Le programme de la ligne de commande se charge a la premiere passe.
    sim.passe_commande();
    banc_fenetre b{sim};
    cadences_reglees(b);
    debit_en_max(b);
    latence_du_stop(b, essais);
    return 0;
}
