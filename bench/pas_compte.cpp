// N pas de machine::pas() sur un compte a rebours sans fin, historique allume ou
// non : le pilote que bench/instructions_par_pas.sh fait compter par callgrind.
// Deux comptes de N differents donnent le cout d'un pas, sans celui du lancement.
// Utilisation : pas_compte N [historique]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "simulateur/machine.h"

namespace {

// Le programme du banc de la machine : PUSHI, SUB et BNEZ, la pile a une entree.
const unsigned char compte_a_rebours[] = {
    0x01, 0x00,       // 0000 PUSHI 0
    0x01, 0x01,       // 0002 PUSHI 1
    0x09,             // 0004 SUB
    0x15, 0xFF, 0xFD, // 0005 BNEZ -3 (vers 0002)
    0x1A, 0xFF, 0xFA, // 0008 BT -6 (vers 0002)
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "utilisation : pas_compte N [historique]\n");
        return 2;
    }
    long long const n = std::atoll(argv[1]);
    bool const historique = argc > 2 && std::strcmp(argv[2], "historique") == 0;
    auto memoire = std::make_unique<mem_64k>();
    mp_interpreteur cpu;
    registre_port ports[nb_ports];
    registre_port* const liens[nb_ports] = {&ports[0], &ports[1], &ports[2], &ports[3], &ports[4]};
    for (unsigned i = 0; i < sizeof compte_a_rebours; ++i) {
        memoire->write_byte(static_cast<unsigned short>(i), compte_a_rebours[i]);
    }
    cpu.learn_mem(memoire.get());
    cpu.init_registers();
    for (int p = 0; p < nb_ports; ++p) {
        ports[p].configure(ports_machine[p], memoire.get());
    }
    machine m(*memoire, cpu, liens);
    m.garde_historique(historique);
    for (long long k = 0; k < n; ++k) {
        m.pas();
    }
    std::printf("%d\n", cpu.SP_value());
    return 0;
}
