// Banc d'essai de la machine : memoire et processeur du banc_machine, cinq ports
// configures comme ceux de la fenetre, la machine par-dessus ; un etat complet
// comparable, et des programmes aleatoires qui visent les registres des ports.
#ifndef KARVELA_TESTS_BANC_MOTEUR_H
#define KARVELA_TESTS_BANC_MOTEUR_H

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
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
    // programmes aleatoires ecrivent), valeur par valeur.
    template <typename F> void parcourt(F&& f, bool toute_la_memoire) const {
        f(cpu.PC_value()), f(cpu.SP_value()), f(cpu.CCR_value());
        for (short i = 0; i < taille_pile_interne; ++i) {
            f(cpu.pile(i));
        }
        for (registre_port const& p : ports) {
            f(p.valeur()), f(p.direction());
        }
        unsigned const fin = toute_la_memoire ? mem_64k::taille : zone_programme;
        for (unsigned a = 0; a < fin; ++a) {
            f(memoire.read_byte(static_cast<unsigned short>(a)));
        }
        for (unsigned short a = 0x1000; a <= 0x100A; ++a) {
            f(memoire.read_byte(a));
        }
    }
    std::vector<int> etat_complet(bool toute_la_memoire = true) const {
        std::vector<int> e;
        parcourt([&](int v) { e.push_back(v); }, toute_la_memoire);
        return e;
    }
    std::uint64_t empreinte() const {
        std::uint64_t h = 1469598103934665603ULL; // FNV-1a
        parcourt([&](int v) { h = (h ^ static_cast<std::uint64_t>(v)) * 1099511628211ULL; }, false);
        return h;
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

    void pose_programme(struct cas_programme const& c);
};

struct cas_programme {
    char const* nom;
    std::vector<int> octets; // vide : programme aleatoire de cette graine
    unsigned graine;
};

inline void banc_moteur::pose_programme(cas_programme const& c) {
    c.octets.empty() ? pose_aleatoire(c.graine) : pose(0, c.octets);
}

inline cas_programme const programmes[] = {
    {"compte a rebours", {0x01, 0x00, 0x01, 0x01, 0x09, 0x15, 0xFF, 0xFD, 0x1A, 0xFF, 0xFA}, 1},
    {"E recopie sur B", {0x00, 0x10, 0x0A, 0x02, 0x10, 0x04, 0x1A, 0xFF, 0xFA}, 2},
    {"DDRC puis Port C",
     {0x01, 0x0F, 0x02, 0x10, 0x07, 0x01, 0xFF, 0x02, 0x10, 0x03, 0x00, 0x10, 0x03, 0x05, 0x1A,
      0xFF, 0xF2},
     3},
    // Chaque instruction de pile, ROLL a trois entrees compris ; la pile revient vide.
    {"instructions de pile",
     {0x01, 0x01, 0x01, 0x02, 0x01, 0x03, 0x07, 0x04, 0x06, 0x03, 0x09,
      0x0B, 0x0A, 0x11, 0x12, 0x13, 0x10, 0x0F, 0x0C, 0x0D, 0x01, 0x04,
      0x0E, 0x02, 0x00, 0x40, 0x00, 0x00, 0x40, 0x05, 0x1A, 0xFF, 0xE2},
     4},
    {"aleatoire", {}, 11},
    {"aleatoire", {}, 12},
};

// Nom de chaque ligne dans les tests parametres.
inline std::string nom_cas(::testing::TestParamInfo<cas_programme> const& info) {
    return "cas" + std::to_string(info.index);
}

#endif
