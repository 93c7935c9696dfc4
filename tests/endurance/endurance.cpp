// Le parcours d'endurance : N evenements tires d'une graine, les controles apres
// chacun, puis "Quitter" ; la derniere ligne est le bilan
// "endurance: X passed, Y failed" (evenements suivis de controles reussis, ou non).
// Utilisation : endurance [N [GRAINE]] (options de GoogleTest permises avant).
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "endurance.h"

namespace endurance {

namespace {

struct demande_parcours {
    long nombre = 10000;
    std::uint64_t graine = 0;
};
demande_parcours demande;

struct bilan_parcours {
    long reussis = 0;
    long echecs = 0;
};
bilan_parcours bilan;

// La sonde coute deux clics et quatre captures (2,5 s mesurees) : elle passe
// tous les sonde_tous_les evenements, et apres le dernier. Les autres controles
// (statut, sortie d'erreur, fenetres visibles) passent apres chaque evenement.
constexpr long sonde_tous_les = 20;
constexpr std::size_t derniers_gardes = 12;
constexpr long avancement_tous_les = 1000;

// Echecs notes par GoogleTest dans le test en cours (gestes du banc refuses).
int echecs_notes() {
    testing::TestResult const* r = testing::UnitTest::GetInstance()->current_test_info()->result();
    int n = 0;
    for (int i = 0; i < r->total_part_count(); ++i) {
        n += r->GetTestPartResult(i).failed() ? 1 : 0;
    }
    return n;
}

double secondes_depuis(std::chrono::steady_clock::time_point debut) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
}

class parcours : public pilote {
  protected:
    // Un programme qui ecrit un rapport de sanitizer finit seul, le rapport complet
    // (pile symbolisee, quelques secondes) ; un programme bloque recoit SIGABRT :
    // AddressSanitizer (handle_abort=1) ecrit alors la pile ou il tournait.
    void pile_du_bloque() {
        if (programme().attend_fin(30s) < 0) {
            kill(programme().pid(), SIGABRT);
            programme().attend_fin(10s);
        }
    }

    void rapporte(long n, std::string const& probleme, std::deque<std::string> const& derniers) {
        std::cout << "endurance: echec apres l'evenement " << n << " (graine " << demande.graine
                  << ") : " << probleme << "\n  derniers evenements :\n";
        for (std::string const& e : derniers) {
            std::cout << "    " << e << '\n';
        }
        std::cout << std::flush;
        ADD_FAILURE() << "evenement " << n << " : " << probleme;
    }
};

TEST_F(parcours, evenements_au_hasard_sans_faute) {
    hasard h(demande.graine);
    seme(demande.graine + 1);
    std::vector<genre_evenement> const& genres = genres_evenements();
    std::deque<std::string> derniers;
    auto const debut = std::chrono::steady_clock::now();
    for (long n = 1; n <= demande.nombre; ++n) {
        genre_evenement const& g = h.selon_poids(genres);
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalle(h)));
        int const notes_avant = echecs_notes();
        std::string const detail = g.agit(*this, h);
        derniers.push_back(std::to_string(n) + " " + g.nom +
                           (detail.empty() ? "" : " : " + detail));
        if (derniers.size() > derniers_gardes) {
            derniers.pop_front();
        }

        bool fatal = false;
        bool const dernier = n == demande.nombre;
        std::string probleme = controle(dernier || n % sonde_tous_les == 0, fatal);
        if (probleme.empty() && echecs_notes() > notes_avant) {
            probleme = "un geste a echoue (message de GoogleTest ci-dessus)";
        }
        if (probleme.empty() && dernier) {
            probleme = controle_fin();
        }
        if (fatal) {
            pile_du_bloque();
        }
        if (probleme.empty()) {
            ++bilan.reussis;
        } else {
            ++bilan.echecs;
            rapporte(n, probleme, derniers);
        }
        if (fatal) {
            std::cout << "endurance: arret apres l'evenement " << n << '\n';
            break;
        }
        if (n % avancement_tous_les == 0) {
            std::cerr << "endurance: " << n << " evenements en " << secondes_depuis(debut) << " s, "
                      << bilan.echecs << " en echec\n";
        }
    }
}

bool lit_nombre(char const* texte, unsigned long long& valeur) {
    char* fin = nullptr;
    valeur = std::strtoull(texte, &fin, 10);
    return *texte >= '0' && *texte <= '9' && *fin == '\0';
}

} // namespace

} // namespace endurance

int main(int argc, char** argv) {
    using namespace endurance;
    // Avant la lecture des options : seuls les echecs s'affichent.
    GTEST_FLAG_SET(brief, true);
    testing::InitGoogleTest(&argc, argv);
    unsigned long long nombre = static_cast<unsigned long long>(demande.nombre);
    unsigned long long graine = std::random_device{}();
    bool const lisible = argc <= 3 && (argc < 2 || (lit_nombre(argv[1], nombre) && nombre > 0)) &&
                         (argc < 3 || lit_nombre(argv[2], graine));
    if (!lisible) {
        std::cerr << "utilisation : endurance [NOMBRE_D_EVENEMENTS [GRAINE]]\n";
        return 2;
    }
    demande.nombre = static_cast<long>(nombre);
    demande.graine = graine;
    // Pile ecrite par le programme s'il est arrete pour blocage ; piles des rapports.
    setenv("ASAN_OPTIONS", "handle_abort=1", 0);
    setenv("UBSAN_OPTIONS", "print_stacktrace=1", 0);

    std::cout << "endurance: " << demande.nombre << " evenements, graine " << demande.graine
              << " (pour rejouer : scripts/endurance " << demande.nombre << ' ' << demande.graine
              << ")" << std::endl;
    auto const debut = std::chrono::steady_clock::now();
    int const resultat = RUN_ALL_TESTS();
    std::cout << "endurance: " << secondes_depuis(debut) << " s" << std::endl;
    std::cout << "endurance: " << bilan.reussis << " passed, " << bilan.echecs << " failed"
              << std::endl;
    return resultat == 0 && bilan.echecs == 0 ? 0 : 1;
}
