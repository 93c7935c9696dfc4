// Debit de la machine pas a pas (instruction puis sorties des cinq ports) sur un
// compte a rebours sans fin, a comparer a step() seul et a la fusion naive des
// cinq ports apres chaque instruction ; puis execute(), comme karvela-run (sans
// historique) et le mode max de la fenetre (historique et points d'arret).
// Un element traite = une instruction.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "simulateur/machine.h"
#include "simulateur/marche.h"

namespace {

// PUSHI, SUB et BNEZ pris 255 fois sur 256 ; la pile garde une seule entree.
std::vector<unsigned char> const compte_a_rebours = {
    0x01, 0x00,       // 0000 PUSHI 0
    0x01, 0x01,       // 0002 PUSHI 1
    0x09,             // 0004 SUB
    0x15, 0xFF, 0xFD, // 0005 BNEZ -3 (vers 0002)
    0x1A, 0xFF, 0xFA, // 0008 BT -6 (vers 0002)
};

// Le pire cas de la mise a jour : un POP vers Port B a chaque tour.
std::vector<unsigned char> const ecrit_port_b = {
    0x01, 0x5A,       // 0000 PUSHI $5a
    0x02, 0x10, 0x04, // 0002 POP $1004
    0x1A, 0xFF, 0xFB, // 0005 BT -5 (vers 0000)
};

struct banc {
    mem_64k memoire;
    mp_interpreteur cpu;
    registre_port ports[nb_ports];
    registre_port* const pointeurs[nb_ports] = {&ports[0], &ports[1], &ports[2], &ports[3],
                                                &ports[4]};
    machine m{memoire, cpu, pointeurs};

    banc(std::vector<unsigned char> const& programme, bool historique) {
        for (std::size_t i = 0; i < programme.size(); ++i) {
            memoire.write_byte(static_cast<unsigned short>(i), programme[i]);
        }
        cpu.learn_mem(&memoire);
        cpu.init_registers();
        for (int p = 0; p < nb_ports; ++p) {
            ports[p].configure(ports_machine[p], &memoire);
        }
        m.garde_historique(historique);
    }
};

void verifie(benchmark::State& state, banc const& b) {
    if (b.cpu.CCR_value() & CCR_E) {
        state.SkipWithError("erreur de pile : le programme n'est pas equilibre");
    }
    state.SetItemsProcessed(state.iterations());
}

void step_seul(benchmark::State& state) {
    auto b = std::make_unique<banc>(compte_a_rebours, false);
    for (auto _ : state) {
        b->cpu.step();
    }
    verifie(state, *b);
}
BENCHMARK(step_seul);

void fusion_naive(benchmark::State& state) {
    auto b = std::make_unique<banc>(compte_a_rebours, false);
    for (auto _ : state) {
        b->cpu.step();
        for (registre_port& p : b->ports) {
            p.prend_sorties();
        }
    }
    verifie(state, *b);
}
BENCHMARK(fusion_naive);

void pas_machine(benchmark::State& state, std::vector<unsigned char> const& programme,
                 bool historique) {
    auto b = std::make_unique<banc>(programme, historique);
    for (auto _ : state) {
        b->m.pas();
    }
    verifie(state, *b);
}
BENCHMARK_CAPTURE(pas_machine, ports, compte_a_rebours, false);
BENCHMARK_CAPTURE(pas_machine, ports_historique, compte_a_rebours, true);
BENCHMARK_CAPTURE(pas_machine, pop_port_b, ecrit_port_b, false);
BENCHMARK_CAPTURE(pas_machine, pop_port_b_historique, ecrit_port_b, true);

// Des tranches d'un million d'instructions, comme la boucle de karvela-run ou
// une tranche du mode max ; les points d'arret ne sont jamais atteints.
void tranches(benchmark::State& state, bool avec_points, bool historique) {
    constexpr long long tranche = 1000000;
    auto b = std::make_unique<banc>(compte_a_rebours, historique);
    auto points = std::make_unique<points_arret>();
    points->bascule(0x0100);
    points->bascule(0x2000);
    for (auto _ : state) {
        bilan_execution const r =
            execute(b->m, avec_points ? points.get() : nullptr, tranche, false, false);
        benchmark::DoNotOptimize(r.pas);
    }
    verifie(state, *b);
    state.SetItemsProcessed(state.iterations() * tranche);
}
BENCHMARK_CAPTURE(tranches, sans_points, false, false);
BENCHMARK_CAPTURE(tranches, points, true, false);
BENCHMARK_CAPTURE(tranches, points_historique, true, true);

} // namespace

BENCHMARK_MAIN();
