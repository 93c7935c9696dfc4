// Banc d'essai du coeur : une memoire et un processeur relies, de quoi poser
// du code, remplir la pile par de vrais PUSHI et decrire l'etat en clair
// quand un test echoue.
#ifndef KARVELA_TESTS_BANC_MACHINE_H
#define KARVELA_TESTS_BANC_MACHINE_H

#include <cstdio>
#include <string>
#include <vector>

#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"

// Zone ou prepare_pile pose ses PUSHI ; remise a 0xFF ensuite.
constexpr unsigned short zone_preparation = 0xE000;

struct banc_machine {
    mem_64k memoire;
    mp_interpreteur cpu;

    banc_machine() {
        cpu.learn_mem(&memoire);
        cpu.init_registers();
    }

    // Octets poses a partir de adr, adresses repliees sur 16 bits.
    void pose(unsigned short adr, std::vector<int> const& octets) {
        for (std::size_t i = 0; i < octets.size(); ++i) {
            memoire.write_byte(static_cast<unsigned short>(adr + i),
                               static_cast<unsigned char>(octets[i]));
        }
    }

    // Pile remplie du fond vers le sommet par des PUSHI executes, puis CCR et PC imposes.
    void prepare_pile(std::vector<int> const& valeurs, unsigned char ccr, unsigned short pc) {
        cpu.set_SP_value(-1);
        for (int v : valeurs) {
            pose(zone_preparation, {0x01, v});
            cpu.set_PC_value(zone_preparation);
            cpu.step();
        }
        pose(zone_preparation, {0xFF, 0xFF});
        cpu.set_CCR_value(ccr);
        cpu.set_PC_value(pc);
    }

    // Entrees 0..SP, du fond vers le sommet, en octets non signes.
    std::vector<int> pile() const {
        std::vector<int> entrees;
        for (short i = 0; i <= cpu.SP_value(); ++i) {
            entrees.push_back(static_cast<unsigned char>(cpu.pile(i)));
        }
        return entrees;
    }

    // Les 16 entrees, y compris celles au-dessus de SP.
    std::vector<int> pile_complete() const {
        std::vector<int> entrees;
        for (short i = 0; i < taille_pile_interne; ++i) {
            entrees.push_back(static_cast<unsigned char>(cpu.pile(i)));
        }
        return entrees;
    }

    std::vector<unsigned char> instantane() const {
        std::vector<unsigned char> cases(mem_64k::taille);
        for (unsigned int a = 0; a < mem_64k::taille; ++a) {
            cases[a] = memoire.read_byte(static_cast<unsigned short>(a));
        }
        return cases;
    }

    // Registres et pile, pour les messages d'echec.
    std::string etat() const {
        char ligne[80];
        std::snprintf(ligne, sizeof ligne, "PC=%04x SP=%d CCR=%02x pile=[", cpu.PC_value(),
                      cpu.SP_value(), cpu.CCR_value());
        std::string texte = ligne;
        for (int v : pile()) {
            std::snprintf(ligne, sizeof ligne, " %02x", v);
            texte += ligne;
        }
        return texte + " ]";
    }
};

#endif
