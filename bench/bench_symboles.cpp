// Recherche de symboles sur un source d'un million de constantes : par le nom
// (l'index de l'assemblage), et le nom le plus proche d'un nom absent, contre la
// suggestion du correcteur qui compare chaque nom (ce que coutait une etiquette
// absente). A lancer en Release.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "exercices/adresses.h"

namespace {

programme_assemble const& million() {
    static programme_assemble const p = [] {
        std::string source;
        for (int i = 0; i < 1000000; ++i) {
            source += "c" + std::to_string(i) + " = " + std::to_string(i % 256) + "\n";
        }
        return assemble(source + "fin: BT fin\n");
    }();
    return p;
}

void symbole_par_nom(benchmark::State& state) {
    programme_assemble const& p = million();
    for (auto _ : state) {
        benchmark::DoNotOptimize(p.symbole("c765432"));
    }
}
BENCHMARK(symbole_par_nom);

void symbole_le_plus_proche(benchmark::State& state) {
    programme_assemble const& p = million();
    for (auto _ : state) {
        benchmark::DoNotOptimize(p.symbole_proche("fni", 2));
    }
}
BENCHMARK(symbole_le_plus_proche)->Unit(benchmark::kMillisecond);

void suggestion_du_correcteur(benchmark::State& state) {
    programme_assemble const& p = million();
    for (auto _ : state) {
        std::vector<std::string> noms;
        for (symbole_source const& s : p.symboles) {
            noms.push_back(s.nom);
        }
        benchmark::DoNotOptimize(suggestion("fni", noms));
    }
}
BENCHMARK(suggestion_du_correcteur)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
