// Harnais du processeur : une image memoire quelconque execute un nombre de pas
// quelconque. Apres chaque step, le processeur est compare a un modele ecrit ici a
// part (pile, SP, PC, CCR, octet ecrit par POP) et aux invariants : -1 <= SP <= 15,
// bits 7..5, V et C de CCR jamais changes, E jamais remis a 0, entrees au-dessus de
// SP intactes sauf l'entree empilee, au plus un octet de memoire change et seulement
// par POP a son adresse d'operande. Le desassemblage de chaque adresse de l'image
// (donc de tout contenu que la memoire recopiee presente) et des deux dernieres
// adresses ecrit au plus 11 octets et rend adresse_suivante.
//
// Entree : pas (2 octets, modulo pas_max + 1), CCR (1), profondeur de pile (1, modulo
// 17), PC (2), puis l'image, recopiee d'un bout a l'autre de la memoire.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"
#include "harnais.h"

namespace {

constexpr unsigned int pas_max = 4096;
constexpr std::size_t taille_entete = 6;
constexpr unsigned char bits_fixes = 0xE0 | CCR_V | CCR_C; // jamais changes par une instruction
constexpr int taille_tampon = 11;                          // texte le plus long et zero final
constexpr int garde = 8;

char const* const mnemoniques[nombre_opcodes] = {
    "PUSH", "PUSHI", "POP", "DUP", "SWAP", "DROP", "OVER", "ROLL", "ADD", "SUB",  "NEG",
    "MULT", "CMP",   "AND", "OR",  "XOR",  "NOT",  "ASR",  "LSR",  "LSL", "BEQZ", "BNEZ",
    "BLTZ", "BGEZ",  "BC",  "BNC", "BT",   "NOP",  "?",    "?",    "?",   "?"};
int const tailles[nombre_opcodes] = {3, 2, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                     1, 1, 1, 1, 3, 3, 3, 3, 3, 3, 3, 1, 1, 1, 1, 1};

mem_64k memoire;

// Modele de la machine, d'apres les regles des instructions.
struct modele {
    unsigned char mem[mem_64k::taille];
    signed char pile[taille_pile_interne];
    uint16_t PC;
    int SP;
    unsigned char CCR;
    long adresse_ecrite; // case ecrite par le dernier POP reussi, -1 sinon

    unsigned char octet(uint16_t a) const { return mem[a]; }
    uint16_t mot(uint16_t a) const {
        return a == 0xFFFF ? 0 : static_cast<uint16_t>(mem[a] << 8 | mem[a + 1]);
    }
    void drapeaux(unsigned char r) {
        CCR = static_cast<unsigned char>(CCR & ~(CCR_Z | CCR_N));
        if (r == 0) {
            CCR |= CCR_Z;
        }
        if (r & 0x80) {
            CCR |= CCR_N;
        }
    }
    unsigned char t() const { return static_cast<unsigned char>(pile[SP]); }
    unsigned char s() const { return static_cast<unsigned char>(pile[SP - 1]); }
    void empile(unsigned char b) { pile[++SP] = static_cast<signed char>(b); }
    // Remplace s et t par x.
    void binaire(unsigned char x) {
        --SP;
        pile[SP] = static_cast<signed char>(x);
        drapeaux(x);
    }
    void unaire(unsigned char x) {
        pile[SP] = static_cast<signed char>(x);
        drapeaux(x);
    }

    void pas() {
        int const op = mem[PC] & 0x1F;
        uint16_t const suite = static_cast<uint16_t>(PC + 1);
        adresse_ecrite = -1;
        bool const un = SP >= 0, deux = SP >= 1, libre = SP <= 14;
        bool ok = true;
        switch (op) {
        case 0x00: // PUSH
            if ((ok = libre)) {
                unsigned char const b = octet(mot(suite));
                empile(b);
                drapeaux(b);
            }
            break;
        case 0x01: // PUSHI
            if ((ok = libre)) {
                empile(octet(suite));
                drapeaux(octet(suite));
            }
            break;
        case 0x02: // POP
            if ((ok = un)) {
                unsigned char const b = t();
                --SP;
                adresse_ecrite = mot(suite);
                mem[adresse_ecrite] = b;
                drapeaux(b);
            }
            break;
        case 0x03: // DUP
            if ((ok = un && libre)) {
                unsigned char const b = t();
                empile(b);
                drapeaux(b);
            }
            break;
        case 0x04: // SWAP
            if ((ok = deux)) {
                unsigned char const haut = t();
                pile[SP] = pile[SP - 1];
                pile[SP - 1] = static_cast<signed char>(haut);
                drapeaux(haut);
            }
            break;
        case 0x05: // DROP
            if ((ok = un)) {
                --SP;
            }
            break;
        case 0x06: // OVER
            if ((ok = deux && libre)) {
                unsigned char const b = s();
                empile(b);
                drapeaux(b);
            }
            break;
        case 0x07: // ROLL : r s t -> t r s
            if ((ok = SP >= 2)) {
                signed char const r = pile[SP - 2], ss = pile[SP - 1], tt = pile[SP];
                pile[SP - 2] = tt;
                pile[SP - 1] = r;
                pile[SP] = ss;
                drapeaux(static_cast<unsigned char>(tt));
            }
            break;
        case 0x08:
            if ((ok = deux)) {
                binaire(static_cast<unsigned char>(s() + t()));
            }
            break;
        case 0x09:
            if ((ok = deux)) {
                binaire(static_cast<unsigned char>(s() - t()));
            }
            break;
        case 0x0A:
            if ((ok = un)) {
                unaire(static_cast<unsigned char>(0 - t()));
            }
            break;
        case 0x0B:
            if ((ok = deux)) {
                binaire(static_cast<unsigned char>(s() * t()));
            }
            break;
        case 0x0C: // CMP : la pile reste
            if ((ok = deux)) {
                drapeaux(static_cast<unsigned char>(s() - t()));
            }
            break;
        case 0x0D:
            if ((ok = deux)) {
                binaire(static_cast<unsigned char>(s() & t()));
            }
            break;
        case 0x0E:
            if ((ok = deux)) {
                binaire(static_cast<unsigned char>(s() | t()));
            }
            break;
        case 0x0F:
            if ((ok = deux)) {
                binaire(static_cast<unsigned char>(s() ^ t()));
            }
            break;
        case 0x10: // NOT logique
            if ((ok = un)) {
                unaire(t() == 0 ? 1 : 0);
            }
            break;
        case 0x11: // ASR : division signee par 2, vers zero
            if ((ok = un)) {
                unaire(static_cast<unsigned char>(static_cast<signed char>(t()) / 2));
            }
            break;
        case 0x12: // LSR : bit 7 garde
            if ((ok = un)) {
                unaire(static_cast<unsigned char>((t() >> 1) | (t() & 0x80)));
            }
            break;
        case 0x13:
            if ((ok = un)) {
                unaire(static_cast<unsigned char>(t() << 1));
            }
            break;
        default:
            break;
        }
        if (!ok) {
            CCR |= CCR_E;
        }
        if (op >= 0x14 && op <= 0x1A) {
            bool pris = true;
            switch (op) {
            case 0x14:
                pris = CCR & CCR_Z;
                break;
            case 0x15:
                pris = !(CCR & CCR_Z);
                break;
            case 0x16:
                pris = CCR & CCR_N;
                break;
            case 0x17:
                pris = !(CCR & CCR_N);
                break;
            case 0x18:
                pris = CCR & CCR_C;
                break;
            case 0x19:
                pris = !(CCR & CCR_C);
                break;
            default:
                break;
            }
            if (pris) {
                PC = static_cast<uint16_t>(PC + static_cast<int16_t>(mot(suite)));
                return;
            }
        }
        PC = static_cast<uint16_t>(PC + tailles[op]);
    }
};

modele m;

void compare_etat(mp_interpreteur const& p, unsigned int n, int op) {
    if (p.PC_value() != m.PC || p.SP_value() != m.SP || p.CCR_value() != m.CCR) {
        echec("pas %u (opcode 0x%02x) : PC $%04x SP %d CCR 0x%02x au lieu de PC $%04x SP %d "
              "CCR 0x%02x",
              n, op, p.PC_value(), p.SP_value(), p.CCR_value(), m.PC, m.SP, m.CCR);
    }
    for (short i = 0; i < taille_pile_interne; ++i) {
        if (p.pile(i) != m.pile[i]) {
            echec("pas %u (opcode 0x%02x) : entree %d de la pile = %d au lieu de %d", n, op, i,
                  p.pile(i), m.pile[i]);
        }
    }
}

void compare_case(unsigned int a, unsigned int n, char const* pourquoi) {
    unsigned char const octet = memoire.read_byte(static_cast<unsigned short>(a));
    if (octet != m.mem[a]) {
        echec("pas %u : case $%04x = 0x%02x au lieu de 0x%02x (%s)", n, a, octet, m.mem[a],
              pourquoi);
    }
}

void verifie_desassemblage(mp_interpreteur const& p, uint16_t adr) {
    char tampon[taille_tampon + garde];
    std::memset(tampon, 0x5A, sizeof tampon);
    unsigned short const suivante = p.desassemblage_instruction(adr, tampon);
    for (int i = taille_tampon; i < taille_tampon + garde; ++i) {
        if (tampon[i] != 0x5A) {
            echec("desassemblage de $%04x : octet %d du tampon ecrit", adr, i);
        }
    }
    if (std::memchr(tampon, 0, taille_tampon) == nullptr) {
        echec("desassemblage de $%04x : texte sans zero final dans 11 octets", adr);
    }
    int const op = m.mem[adr] & 0x1F;
    uint16_t const attendue = static_cast<uint16_t>(adr + tailles[op]);
    if (suivante != p.adresse_suivante(adr) || suivante != attendue) {
        echec("desassemblage de $%04x : rend $%04x, adresse_suivante $%04x, attendu $%04x", adr,
              suivante, p.adresse_suivante(adr), attendue);
    }
    char texte[32];
    uint8_t const o1 = m.mem[static_cast<uint16_t>(adr + 1)];
    uint8_t const o2 = m.mem[static_cast<uint16_t>(adr + 2)];
    if (op == 0x01) {
        std::snprintf(texte, sizeof texte, "%s %d", mnemoniques[op], static_cast<int8_t>(o1));
    } else if (tailles[op] == 3) {
        std::snprintf(texte, sizeof texte, "%s $%04x", mnemoniques[op], o1 << 8 | o2);
    } else {
        std::snprintf(texte, sizeof texte, "%s", mnemoniques[op]);
    }
    if (std::strcmp(texte, tampon) != 0) {
        echec("desassemblage de $%04x : \"%s\" au lieu de \"%s\"", adr, tampon, texte);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* donnees, std::size_t taille) {
    if (taille < taille_entete) {
        return 0;
    }
    unsigned int const pas = (donnees[0] << 8 | donnees[1]) % (pas_max + 1);
    uint8_t const ccr = donnees[2];
    short const sp = static_cast<short>(donnees[3] % (taille_pile_interne + 1) - 1);
    uint16_t const pc = static_cast<uint16_t>(donnees[4] << 8 | donnees[5]);
    uint8_t const* image = donnees + taille_entete;
    std::size_t const longueur = taille - taille_entete;

    // Image recopiee sur toute la memoire ; sans image, la memoire neuve (0xFF).
    for (unsigned int a = 0; a < mem_64k::taille; ++a) {
        m.mem[a] = longueur ? image[a % longueur] : 0xFF;
        memoire.write_byte(static_cast<unsigned short>(a), m.mem[a]);
    }

    mp_interpreteur p;
    // Un processeur neuf : pile vide, tout a zero.
    if (p.SP_value() != -1 || p.CCR_value() != 0 || p.PC_value() != 0 || p.A_value() != 0 ||
        p.X_value() != 0 || p.tmpA_value() != 0) {
        echec("processeur neuf : SP %d CCR 0x%02x PC $%04x A %u X %u tmpA %u", p.SP_value(),
              p.CCR_value(), p.PC_value(), p.A_value(), p.X_value(), p.tmpA_value());
    }
    p.learn_mem(&memoire);
    p.set_PC_value(pc);
    p.set_SP_value(sp);
    p.set_CCR_value(ccr);
    std::memset(m.pile, 0, sizeof m.pile);
    m.PC = pc;
    m.SP = sp;
    m.CCR = ccr;
    compare_etat(p, 0, -1);

    // Desassemblage de chaque adresse de l'image et des deux dernieres (repli a 0).
    std::size_t const a_desassembler = longueur < mem_64k::taille ? longueur : mem_64k::taille;
    for (std::size_t a = 0; a < a_desassembler; ++a) {
        verifie_desassemblage(p, static_cast<uint16_t>(a));
    }
    verifie_desassemblage(p, 0xFFFE);
    verifie_desassemblage(p, 0xFFFF);

    // Pile relevee une fois par pas : l'etat d'apres d'un pas est l'etat d'avant du suivant.
    signed char pile_avant[taille_pile_interne];
    signed char pile_apres[taille_pile_interne];
    for (short i = 0; i < taille_pile_interne; ++i) {
        pile_avant[i] = p.pile(i);
    }
    for (unsigned int n = 1; n <= pas; ++n) {
        uint16_t const pc_avant = p.PC_value();
        int const op = m.mem[pc_avant] & 0x1F;
        short const sp_avant = p.SP_value();
        unsigned char const ccr_avant = p.CCR_value();

        if (p.step() != 0) {
            echec("pas %u : step ne rend pas 0", n);
        }
        m.pas();

        // Invariants, verifies sans le modele.
        short const sp_apres = p.SP_value();
        unsigned char const ccr_apres = p.CCR_value();
        if (sp_apres < -1 || sp_apres > 15) {
            echec("pas %u (opcode 0x%02x) : SP = %d hors de -1..15", n, op, sp_apres);
        }
        if ((ccr_apres & bits_fixes) != (ccr_avant & bits_fixes)) {
            echec("pas %u (opcode 0x%02x) : bits 7..5, V ou C changes (0x%02x -> 0x%02x)", n, op,
                  ccr_avant, ccr_apres);
        }
        if ((ccr_avant & CCR_E) && !(ccr_apres & CCR_E)) {
            echec("pas %u (opcode 0x%02x) : E remis a 0", n, op);
        }
        for (short i = 0; i < taille_pile_interne; ++i) {
            pile_apres[i] = p.pile(i);
        }
        bool const empile = sp_apres == sp_avant + 1;
        for (short i = static_cast<short>(sp_avant + 1); i < taille_pile_interne; ++i) {
            if (pile_apres[i] != pile_avant[i] && !(empile && i == sp_apres)) {
                echec("pas %u (opcode 0x%02x) : entree %d au-dessus de SP (%d) changee", n, op, i,
                      sp_avant);
            }
        }

        if (p.PC_value() != m.PC || sp_apres != m.SP || ccr_apres != m.CCR ||
            std::memcmp(pile_apres, m.pile, sizeof m.pile) != 0) {
            compare_etat(p, n, op);
        }
        std::memcpy(pile_avant, pile_apres, sizeof pile_avant);
        // Memoire : la case du POP, l'instruction et une fenetre qui tourne ; le tout
        // est compare a la fin.
        if (m.adresse_ecrite >= 0) {
            compare_case(static_cast<unsigned int>(m.adresse_ecrite), n, "ecrite par POP");
        }
        for (unsigned int k = 0; k < 3; ++k) {
            compare_case(static_cast<uint16_t>(pc_avant + k), n, "octets de l'instruction");
        }
        for (unsigned int k = 0; k < 16; ++k) {
            compare_case((n * 16 + k) % mem_64k::taille, n, "fenetre");
        }
    }
    for (unsigned int a = 0; a < mem_64k::taille; ++a) {
        compare_case(a, pas, "fin d'execution");
    }
    return 0;
}
