// « Pourquoi ? » avec un historique plein (131072 instructions) : une question sur
// un octet ecrit par POP il y a peu, une sur un octet que rien n'a ecrit (tout
// l'historique est parcouru), une sur le sommet de la pile. A lancer en Release.
#include <benchmark/benchmark.h>

#include <memory>

#include "execution/moteur.h"
#include "explication/pourquoi.h"

namespace {

// Un compteur en memoire : chaque tour lit, ajoute, ecrit ; la pile reste a une entree.
char const* const source = "        PUSHI 0\n"
                           "boucle: PUSH compte\n"
                           "        PUSHI 1\n"
                           "        ADD\n"
                           "        POP compte\n"
                           "        DUP\n"
                           "        DROP\n"
                           "        BT boucle\n"
                           "compte: .octet 0\n";

struct banc {
    machine_seule seule;
    programme_charge p = programme_source(assemble(source));
    banc() {
        seule.m().garde_historique(true);
        demande_execution d;
        d.pas_max = 400000;
        lance_programme(seule, p, d);
    }
};

void question(benchmark::State& state, question_pourquoi::sorte_question sorte,
              unsigned short adresse) {
    auto b = std::make_unique<banc>();
    if (b->seule.m().nb_annulables() != b->seule.m().capacite_historique()) {
        state.SkipWithError("historique pas plein");
    }
    question_pourquoi q;
    q.sorte = sorte;
    q.adresse = adresse;
    for (auto _ : state) {
        explication const e = pourquoi(b->seule.m(), &b->p.assemble, {}, q, {});
        benchmark::DoNotOptimize(e.maillons.size());
    }
}
BENCHMARK_CAPTURE(question, octet_ecrit, question_pourquoi::memoire, 0x000f)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(question, octet_jamais_ecrit, question_pourquoi::memoire, 0x0200)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(question, sommet, question_pourquoi::pile, 0)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
