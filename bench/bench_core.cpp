// Debit du processeur : step() sur des programmes qui bouclent sans fin,
// l'un melangeant empilements, arithmetique et branchement pris, l'autre ne
// faisant que des PUSH et POP en memoire. Un element traite = un pas.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"

namespace {

struct machine {
    mem_64k memoire;
    mp_interpreteur cpu;

    explicit machine(std::vector<unsigned char> const& programme) {
        for (std::size_t i = 0; i < programme.size(); ++i) {
            memoire.write_byte(static_cast<unsigned short>(i), programme[i]);
        }
        cpu.learn_mem(&memoire);
        cpu.init_registers();
    }
};

void execute(benchmark::State& state, std::vector<unsigned char> const& programme) {
    auto m = std::make_unique<machine>(programme);
    for (auto _ : state) {
        m->cpu.step();
    }
    benchmark::DoNotOptimize(m->cpu.PC_value());
    if (m->cpu.CCR_value() & CCR_E) {
        state.SkipWithError("erreur de pile : le programme n'est pas equilibre");
    }
    state.SetItemsProcessed(state.iterations());
}

// Sept instructions par tour ; la pile revient vide, SUB laisse Z a 0 et BNEZ saute.
void boucle_calcul(benchmark::State& state) {
    execute(state, {
                       0x01, 0x05,       // 0000 PUSHI 5
                       0x01, 0x03,       // 0002 PUSHI 3
                       0x08,             // 0004 ADD
                       0x01, 0x01,       // 0005 PUSHI 1
                       0x09,             // 0007 SUB
                       0x05,             // 0008 DROP
                       0x15, 0xFF, 0xF7, // 0009 BNEZ -9 (vers 0000)
                   });
}
BENCHMARK(boucle_calcul);

// Echange de deux octets en memoire, puis retour au debut.
void push_pop_memoire(benchmark::State& state) {
    execute(state, {
                       0x00, 0x20, 0x00, // 0000 PUSH $2000
                       0x00, 0x20, 0x01, // 0003 PUSH $2001
                       0x02, 0x20, 0x00, // 0006 POP $2000
                       0x02, 0x20, 0x01, // 0009 POP $2001
                       0x1A, 0xFF, 0xF4, // 000C BT -12 (vers 0000)
                   });
}
BENCHMARK(push_pop_memoire);

} // namespace

BENCHMARK_MAIN();
