// Banc d'essai de la machine : memoire et processeur du banc_machine, cinq ports
// configures comme ceux de la fenetre, la machine par-dessus ; un etat complet
// comparable, et des programmes aleatoires qui visent les registres des ports.
#ifndef KARVELA_TESTS_BANC_MOTEUR_H
#define KARVELA_TESTS_BANC_MOTEUR_H

#include <random>
#include <vector>

#include "banc_machine.h"
#include "simulateur/machine.h"

struct banc_moteur : banc_machine {
    registre_port ports[nb_ports];
    registre_port* const pointeurs[nb_ports] = {&ports[0], &ports[1], &ports[2], &ports[3],
                                                &ports[4]};
    machine m{memoire, cpu, pointeurs};

    banc_moteur() {
        for (int p = 0; p < nb_ports; ++p) {
            ports[p].configure(ports_machine[p], &memoire);
        }
    }

    // Ce que la mise a jour naive ferait apres chaque instruction.
    void pas_naif() {
        cpu.step();
        for (registre_port& p : ports) {
            p.prend_sorties();
        }
    }

    // Processeur, pile entiere, ports et memoire (toute, ou les zones que les
    // programmes aleatoires ecrivent).
    std::vector<int> etat_complet(bool toute_la_memoire = true) const {
        std::vector<int> e = {cpu.PC_value(), cpu.SP_value(), cpu.CCR_value()};
        for (int v : pile_complete()) {
            e.push_back(v);
        }
        for (registre_port const& p : ports) {
            e.push_back(p.valeur());
            e.push_back(p.direction());
        }
        unsigned const fin = toute_la_memoire ? mem_64k::taille : zone_programme;
        for (unsigned a = 0; a < fin; ++a) {
            e.push_back(memoire.read_byte(static_cast<unsigned short>(a)));
        }
        for (unsigned short a = 0x1000; a <= 0x100A; ++a) {
            e.push_back(memoire.read_byte(a));
        }
        return e;
    }

    // Instructions tirees au hasard dans les 128 premiers octets : PUSH et POP
    // visent surtout les registres des ports, les branchements restent dans la zone.
    static constexpr unsigned zone_programme = 0x80;
    void pose_aleatoire(unsigned graine) {
        std::mt19937 alea(graine);
        auto tire = [&](unsigned n) { return static_cast<int>(alea() % n); };
        for (unsigned a = 0; a < zone_programme;) {
            int const opcode = tire(32);
            std::vector<int> octets = {opcode | (tire(8) << 5)};
            if (opcode == 0x00 || opcode == 0x02) {
                int const cible = tire(4) == 0 ? tire(zone_programme) : 0x1000 + tire(11);
                octets.insert(octets.end(), {cible >> 8, cible & 0xFF});
            } else if (opcode == 0x01) {
                octets.push_back(tire(256));
            } else if (opcode >= 0x14 && opcode <= 0x1A) {
                int const deplacement = (tire(zone_programme) - static_cast<int>(a)) & 0xFFFF;
                octets.insert(octets.end(), {deplacement >> 8, deplacement & 0xFF});
            }
            pose(static_cast<unsigned short>(a), octets);
            a += static_cast<unsigned>(octets.size());
        }
        pose(zone_programme, {0x1A, 0xFF, 0x80}); // 0080 BT -128 (vers 0000)
    }
};

#endif
