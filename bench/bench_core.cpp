// Debit du processeur : step() face a un interpreteur de reference ecrit ici, un
// switch ordinaire sur l'opcode (memes champs, meme memoire par les memes accesseurs,
// tout en ligne dans la boucle de mesure), sur des programmes qui bouclent sans fin
// avec une pile equilibree. Un element traite = un pas.
// Apres les mesures, une ligne par programme donne le debit de step() rapporte a
// celui du switch, en temps CPU : medianes avec --benchmark_repetitions, sinon la
// mesure unique. Sur machine partagee : --benchmark_repetitions=5
// --benchmark_enable_random_interleaving=true.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"

namespace {

// Interpreteur de reference : les instructions du processeur dans un seul switch,
// sur des champs de memes types, dans le meme ordre, que ceux de mp_interpreteur.
struct interpreteur_switch {
    mem_64k* memoire;
    signed char pile_interne[taille_pile_interne];
    unsigned int PC;
    int SP;
    unsigned char A;
    unsigned char tmpA;
    unsigned int CCR;
    unsigned short X;

    unsigned char t() const { return static_cast<unsigned char>(pile_interne[SP]); }
    unsigned char s() const { return static_cast<unsigned char>(pile_interne[SP - 1]); }
    void drapeaux(unsigned char r) {
        CCR = (CCR & ~static_cast<unsigned int>(CCR_Z | CCR_N)) | (r == 0 ? CCR_Z : 0) |
              (r & 0x80 ? CCR_N : 0);
    }
    // Vrai si la pile a au moins `besoin` entrees et `libres` places libres ; E sinon.
    bool permis(int besoin, int libres) {
        if (SP + 1 >= besoin && SP + libres < taille_pile_interne) {
            return true;
        }
        CCR |= CCR_E;
        return false;
    }
    void empile(unsigned char b) {
        pile_interne[++SP] = static_cast<signed char>(b);
        drapeaux(b);
    }
    void remplace_sommet(unsigned char x) {
        pile_interne[SP] = static_cast<signed char>(x);
        drapeaux(x);
    }
    void remplace_deux(unsigned char x) {
        pile_interne[--SP] = static_cast<signed char>(x);
        drapeaux(x);
    }
    void saute(bool condition) {
        PC = static_cast<unsigned short>(
            PC + (condition ? memoire->read_word(static_cast<unsigned short>(PC + 1)) : 3));
    }

    // Toujours en ligne dans la boucle de mesure, comme un interpreteur switch ordinaire
    // tient sa boucle : sinon le compilateur en fait un appel par pas.
    [[gnu::always_inline]] void pas() {
        unsigned short const suite = static_cast<unsigned short>(PC + 1);
        switch (memoire->read_byte(PC) & 0x1F) {
        case 0x00: // PUSH
            if (permis(0, 1)) {
                empile(memoire->read_byte(memoire->read_word(suite)));
            }
            PC = static_cast<unsigned short>(PC + 3);
            break;
        case 0x01: // PUSHI
            if (permis(0, 1)) {
                empile(memoire->read_byte(suite));
            }
            PC = static_cast<unsigned short>(PC + 2);
            break;
        case 0x02: // POP
            if (permis(1, 0)) {
                unsigned char const b = t();
                --SP;
                memoire->write_byte(memoire->read_word(suite), b);
                drapeaux(b);
            }
            PC = static_cast<unsigned short>(PC + 3);
            break;
        case 0x03: // DUP
            if (permis(1, 1)) {
                empile(t());
            }
            PC = suite;
            break;
        case 0x04: // SWAP
            if (permis(2, 0)) {
                unsigned char const haut = t();
                pile_interne[SP] = pile_interne[SP - 1];
                pile_interne[SP - 1] = static_cast<signed char>(haut);
                drapeaux(haut);
            }
            PC = suite;
            break;
        case 0x05: // DROP
            if (permis(1, 0)) {
                --SP;
            }
            PC = suite;
            break;
        case 0x06: // OVER
            if (permis(2, 1)) {
                empile(s());
            }
            PC = suite;
            break;
        case 0x07: // ROLL
            if (permis(3, 0)) {
                signed char const r = pile_interne[SP - 2];
                signed char const haut = pile_interne[SP];
                pile_interne[SP - 2] = haut;
                pile_interne[SP] = pile_interne[SP - 1];
                pile_interne[SP - 1] = r;
                drapeaux(static_cast<unsigned char>(haut));
            }
            PC = suite;
            break;
        case 0x08: // ADD
            if (permis(2, 0)) {
                remplace_deux(static_cast<unsigned char>(s() + t()));
            }
            PC = suite;
            break;
        case 0x09: // SUB
            if (permis(2, 0)) {
                remplace_deux(static_cast<unsigned char>(s() - t()));
            }
            PC = suite;
            break;
        case 0x0A: // NEG
            if (permis(1, 0)) {
                remplace_sommet(static_cast<unsigned char>(0 - t()));
            }
            PC = suite;
            break;
        case 0x0B: // MULT
            if (permis(2, 0)) {
                remplace_deux(static_cast<unsigned char>(s() * t()));
            }
            PC = suite;
            break;
        case 0x0C: // CMP
            if (permis(2, 0)) {
                drapeaux(static_cast<unsigned char>(s() - t()));
            }
            PC = suite;
            break;
        case 0x0D: // AND
            if (permis(2, 0)) {
                remplace_deux(s() & t());
            }
            PC = suite;
            break;
        case 0x0E: // OR
            if (permis(2, 0)) {
                remplace_deux(s() | t());
            }
            PC = suite;
            break;
        case 0x0F: // XOR
            if (permis(2, 0)) {
                remplace_deux(s() ^ t());
            }
            PC = suite;
            break;
        case 0x10: // NOT
            if (permis(1, 0)) {
                remplace_sommet(t() == 0 ? 1 : 0);
            }
            PC = suite;
            break;
        case 0x11: // ASR
            if (permis(1, 0)) {
                remplace_sommet(static_cast<unsigned char>(pile_interne[SP] / 2));
            }
            PC = suite;
            break;
        case 0x12: // LSR
            if (permis(1, 0)) {
                remplace_sommet(static_cast<unsigned char>((t() >> 1) | (t() & 0x80)));
            }
            PC = suite;
            break;
        case 0x13: // LSL
            if (permis(1, 0)) {
                remplace_sommet(static_cast<unsigned char>(t() << 1));
            }
            PC = suite;
            break;
        case 0x14: // BEQZ
            saute(CCR & CCR_Z);
            break;
        case 0x15: // BNEZ
            saute(!(CCR & CCR_Z));
            break;
        case 0x16: // BLTZ
            saute(CCR & CCR_N);
            break;
        case 0x17: // BGEZ
            saute(!(CCR & CCR_N));
            break;
        case 0x18: // BC
            saute(CCR & CCR_C);
            break;
        case 0x19: // BNC
            saute(!(CCR & CCR_C));
            break;
        case 0x1A: // BT
            saute(true);
            break;
        default: // NOP et opcodes indefinis
            PC = suite;
            break;
        }
    }
};

struct machine {
    mem_64k memoire;
    mp_interpreteur cpu;
    interpreteur_switch reference;

    explicit machine(std::vector<unsigned char> const& programme) : reference() {
        for (std::size_t i = 0; i < programme.size(); ++i) {
            memoire.write_byte(static_cast<unsigned short>(i), programme[i]);
        }
        cpu.learn_mem(&memoire);
        cpu.init_registers();
        reference.memoire = &memoire;
        reference.SP = -1;
    }
};

struct programme_mesure {
    char const* nom;
    std::vector<unsigned char> octets;
};

std::vector<programme_mesure> const programmes = {
    // Sept instructions par tour ; la pile revient vide, SUB laisse Z a 0 et BNEZ saute.
    {"boucle_calcul",
     {
         0x01, 0x05,       // 0000 PUSHI 5
         0x01, 0x03,       // 0002 PUSHI 3
         0x08,             // 0004 ADD
         0x01, 0x01,       // 0005 PUSHI 1
         0x09,             // 0007 SUB
         0x05,             // 0008 DROP
         0x15, 0xFF, 0xF7, // 0009 BNEZ -9 (vers 0000)
     }},
    // Echange de deux octets en memoire, puis retour au debut.
    {"push_pop_memoire",
     {
         0x00, 0x20, 0x00, // 0000 PUSH $2000
         0x00, 0x20, 0x01, // 0003 PUSH $2001
         0x02, 0x20, 0x00, // 0006 POP $2000
         0x02, 0x20, 0x01, // 0009 POP $2001
         0x1A, 0xFF, 0xF4, // 000C BT -12 (vers 0000)
     }},
    // Compte a rebours sans fin : le compteur reste impair, donc jamais nul.
    {"compte_a_rebours",
     {
         0x01, 0x01,       // 0000 PUSHI 1
         0x01, 0x02,       // 0002 PUSHI 2
         0x09,             // 0004 SUB
         0x15, 0xFF, 0xFD, // 0005 BNEZ -3 (vers 0002)
     }},
};

constexpr int pas_de_concordance = 10000;

bool meme_etat(mp_interpreteur const& cpu, interpreteur_switch const& r) {
    bool memes = cpu.PC_value() == r.PC && cpu.SP_value() == r.SP && cpu.CCR_value() == r.CCR;
    for (short i = 0; i < taille_pile_interne; ++i) {
        memes = memes && cpu.pile(i) == r.pile_interne[i];
    }
    return memes;
}

// Vrai si step() et le switch laissent le meme etat apres chacun des premiers pas.
bool concordent(std::vector<unsigned char> const& octets) {
    auto m = std::make_unique<machine>(octets);
    for (int n = 0; n < pas_de_concordance; ++n) {
        m->cpu.step();
        m->reference.pas();
        if (!meme_etat(m->cpu, m->reference)) {
            return false;
        }
    }
    return true;
}

void termine(benchmark::State& state, unsigned short pc, unsigned char ccr) {
    benchmark::DoNotOptimize(pc);
    if (ccr & CCR_E) {
        state.SkipWithError("erreur de pile : le programme n'est pas equilibre");
    }
    state.SetItemsProcessed(state.iterations());
}

void par_step(benchmark::State& state, std::vector<unsigned char> const& octets) {
    auto m = std::make_unique<machine>(octets);
    for (auto _ : state) {
        m->cpu.step();
    }
    termine(state, m->cpu.PC_value(), m->cpu.CCR_value());
}

void par_switch(benchmark::State& state, std::vector<unsigned char> const& octets) {
    if (!concordent(octets)) {
        state.SkipWithError("le switch ne fait pas ce que fait step()");
        return;
    }
    auto m = std::make_unique<machine>(octets);
    for (auto _ : state) {
        m->reference.pas();
    }
    termine(state, m->reference.PC, m->reference.CCR);
}

// Affichage habituel, puis le rapport des debits step()/switch de chaque programme.
class rapporteur : public benchmark::ConsoleReporter {
  public:
    // En couleur seulement vers un terminal, comme l'affichage par defaut.
    rapporteur() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

    void ReportRuns(std::vector<Run> const& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (Run const& r : runs) {
            bool const unique = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
            if (!r.error_occurred && (unique || r.aggregate_name == "median")) {
                temps_cpu_[r.run_name.function_name] = r.GetAdjustedCPUTime();
            }
        }
    }

    void Finalize() override {
        for (programme_mesure const& p : programmes) {
            std::string const nom = p.nom;
            auto const step = temps_cpu_.find(nom + "/step");
            auto const sw = temps_cpu_.find(nom + "/switch");
            if (step != temps_cpu_.end() && sw != temps_cpu_.end()) {
                char ligne[128];
                std::snprintf(ligne, sizeof ligne, "step()/switch %-18s %.3f\n", p.nom,
                              sw->second / step->second);
                GetOutputStream() << ligne;
            }
        }
        ConsoleReporter::Finalize();
    }

  private:
    std::map<std::string, double> temps_cpu_; // par nom de mesure, temps CPU par pas
};

} // namespace

int main(int argc, char** argv) {
    for (programme_mesure const& p : programmes) {
        std::string const nom = p.nom;
        benchmark::RegisterBenchmark((nom + "/step").c_str(), par_step, p.octets);
        benchmark::RegisterBenchmark((nom + "/switch").c_str(), par_switch, p.octets);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    rapporteur affichage;
    benchmark::RunSpecifiedBenchmarks(&affichage);
    benchmark::Shutdown();
    return 0;
}
