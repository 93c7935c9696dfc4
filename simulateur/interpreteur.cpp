// Processeur de la machine a pile : etat, decodage, desassemblage, execution.
// Trois tables constantes indexees par l'opcode (taille, mnemonique, traitant)
// pilotent tout ; la table des tailles est la seule source des longueurs, pour
// l'execution comme pour le desassemblage. Un opcode indefini va a NIET.
// Toute l'arithmetique est sur 8 bits, celle de PC et des adresses sur 16 bits.
#include "simulateur/interpreteur.h"

#include <cstdio>

namespace {

enum code_operation : int {
    op_PUSH = 0x00,
    op_PUSHI,
    op_POP,
    op_DUP,
    op_SWAP,
    op_DROP,
    op_OVER,
    op_ROLL,
    op_ADD,
    op_SUB,
    op_NEG,
    op_MULT,
    op_CMP,
    op_AND,
    op_OR,
    op_XOR,
    op_NOT,
    op_ASR,
    op_LSR,
    op_LSL,
    op_BEQZ,
    op_BNEZ,
    op_BLTZ,
    op_BGEZ,
    op_BC,
    op_BNC,
    op_BT,
    op_NOP,
};
static_assert(op_NOP + 1 == nombre_opcodes_definis, "un opcode manque");

constexpr int taille_texte_desassemblage = 11;  // "PUSHI -128" et son zero final
constexpr int taille_instruction_indefinie = 1; // NIET avance d'un octet
constexpr int taille_avec_mot = 3;              // opcode suivi d'une adresse ou d'un deplacement
constexpr unsigned char bit_signe = 0x80;       // bit 7 d'un octet

} // namespace

const int internal_mp_interpreteur_taille_instruction[] = {
    3, // 0x00 PUSH
    2, // 0x01 PUSHI
    3, // 0x02 POP
    1, // 0x03 DUP
    1, // 0x04 SWAP
    1, // 0x05 DROP
    1, // 0x06 OVER
    1, // 0x07 ROLL
    1, // 0x08 ADD
    1, // 0x09 SUB
    1, // 0x0A NEG
    1, // 0x0B MULT
    1, // 0x0C CMP
    1, // 0x0D AND
    1, // 0x0E OR
    1, // 0x0F XOR
    1, // 0x10 NOT
    1, // 0x11 ASR
    1, // 0x12 LSR
    1, // 0x13 LSL
    3, // 0x14 BEQZ
    3, // 0x15 BNEZ
    3, // 0x16 BLTZ
    3, // 0x17 BGEZ
    3, // 0x18 BC
    3, // 0x19 BNC
    3, // 0x1A BT
    1, // 0x1B NOP
};
static_assert(sizeof internal_mp_interpreteur_taille_instruction /
                      sizeof internal_mp_interpreteur_taille_instruction[0] ==
                  nombre_opcodes_definis,
              "une taille par opcode defini");

const char* const internal_mp_interpreteur_libelle_instruction[] = {
    "PUSH",  // 0x00
    "PUSHI", // 0x01
    "POP",   // 0x02
    "DUP",   // 0x03
    "SWAP",  // 0x04
    "DROP",  // 0x05
    "OVER",  // 0x06
    "ROLL",  // 0x07
    "ADD",   // 0x08
    "SUB",   // 0x09
    "NEG",   // 0x0A
    "MULT",  // 0x0B
    "CMP",   // 0x0C
    "AND",   // 0x0D
    "OR",    // 0x0E
    "XOR",   // 0x0F
    "NOT",   // 0x10
    "ASR",   // 0x11
    "LSR",   // 0x12
    "LSL",   // 0x13
    "BEQZ",  // 0x14
    "BNEZ",  // 0x15
    "BLTZ",  // 0x16
    "BGEZ",  // 0x17
    "BC",    // 0x18
    "BNC",   // 0x19
    "BT",    // 0x1A
    "NOP",   // 0x1B
    "?",     // 0x1C
    "?",     // 0x1D
    "?",     // 0x1E
    "?",     // 0x1F
};
static_assert(sizeof internal_mp_interpreteur_libelle_instruction /
                      sizeof internal_mp_interpreteur_libelle_instruction[0] ==
                  nombre_opcodes,
              "un libelle par opcode");

// --- Etat et accesseurs ---

mp_interpreteur::mp_interpreteur()
    : memoire(nullptr), pile_interne(), PC(0), SP(-1), A(0), tmpA(0), CCR(0), X(0),
      erreurs_pile_(0), derniere_erreur_pile_(erreur_pile_sorte::aucune) {}

void mp_interpreteur::learn_mem(mem_64k* memoire_ref) {
    memoire = memoire_ref;
}

void mp_interpreteur::init_registers() {
    PC = 0;
}

signed char mp_interpreteur::pile(short v) const {
    if (v < 0 || v >= taille_pile_interne) {
        return 0;
    }
    return pile_interne[v];
}

void mp_interpreteur::raj_CCR_ZN(unsigned char res) {
    // Calcul sur 32 bits : CCR est relu en entier (voir le rangement des registres).
    unsigned int ccr = CCR & ~static_cast<unsigned int>(CCR_Z | CCR_N);
    if (res == 0) {
        ccr |= CCR_Z;
    }
    if (res & bit_signe) {
        ccr |= CCR_N;
    }
    CCR = ccr;
}

// --- Decodage, desassemblage, pas ---

unsigned short mp_interpreteur::adresse_suivante(unsigned short adr) const {
    int const code = decodage_instruction(adr);
    int const taille = code < nombre_opcodes_definis
                           ? internal_mp_interpreteur_taille_instruction[code]
                           : taille_instruction_indefinie;
    return static_cast<unsigned short>(adr + taille);
}

unsigned short mp_interpreteur::desassemblage_instruction(unsigned short adr, char* chaine) const {
    int const code = decodage_instruction(adr);
    char const* const libelle = internal_mp_interpreteur_libelle_instruction[code];
    unsigned char const octet1 = memoire->read_byte(static_cast<unsigned short>(adr + 1));
    if (code == op_PUSHI) {
        std::snprintf(chaine, taille_texte_desassemblage, "%s %d", libelle,
                      static_cast<signed char>(octet1));
    } else if (code < nombre_opcodes_definis &&
               internal_mp_interpreteur_taille_instruction[code] == taille_avec_mot) {
        // Deux lectures d'octet qui se replient sur 0 : l'affichage montre ce qui suit en memoire.
        unsigned char const octet2 = memoire->read_byte(static_cast<unsigned short>(adr + 2));
        std::snprintf(chaine, taille_texte_desassemblage, "%s $%02x%02x", libelle, octet1, octet2);
    } else {
        std::snprintf(chaine, taille_texte_desassemblage, "%s", libelle);
    }
    return adresse_suivante(adr);
}

// --- Formes communes ---

template <bool drapeaux, typename Effet>
inline void mp_interpreteur::instruction_pile(int opcode, Effet effet) {
    // Opcode constant a chaque appel : la condition se lit dans la table a la compilation.
    int const besoin = internal_mp_interpreteur_effet_pile[opcode].besoin();
    int const libres = internal_mp_interpreteur_effet_pile[opcode].libres();
    // Chemin reussi en ligne droite : sans l'indication, il commence par un saut pris,
    // et un saut pris de plus par pas se paie sur le debit.
    if (__builtin_expect(SP + 1 >= besoin && SP + libres < taille_pile_interne, 1)) {
        unsigned char const resultat = effet();
        if (drapeaux) {
            raj_CCR_ZN(resultat);
        }
    } else {
        CCR |= CCR_E;
        // Assez d'entrees : c'est donc la place qui manquait.
        ++erreurs_pile_;
        derniere_erreur_pile_ =
            SP + 1 >= besoin ? erreur_pile_sorte::pleine : erreur_pile_sorte::vide;
    }
    PC = static_cast<unsigned short>(lecture_PC() +
                                     internal_mp_interpreteur_taille_instruction[opcode]);
}

inline void mp_interpreteur::branchement(int opcode, bool condition) {
    // Ajouter le mot non signe modulo 65536 revient a ajouter le deplacement signe.
    unsigned short const pas =
        condition
            ? operande()
            : static_cast<unsigned short>(internal_mp_interpreteur_taille_instruction[opcode]);
    PC = static_cast<unsigned short>(lecture_PC() + pas);
}

// --- Instructions de pile ---
// Les effets rendent l'octet dont l'instruction tire ses drapeaux.

void mp_interpreteur::PUSH(int) {
    instruction_pile<true>(op_PUSH, [this] {
        unsigned char const b = memoire->read_byte(operande());
        range(++SP, b);
        return b;
    });
}

void mp_interpreteur::PUSHI(int) {
    instruction_pile<true>(op_PUSHI, [this] {
        unsigned char const b = memoire->read_byte(static_cast<unsigned short>(lecture_PC() + 1));
        range(++SP, b);
        return b;
    });
}

void mp_interpreteur::POP(int) {
    instruction_pile<true>(op_POP, [this] {
        unsigned char const t = entree(SP--);
        memoire->write_byte(operande(), t);
        return t;
    });
}

void mp_interpreteur::DUP(int) {
    instruction_pile<true>(op_DUP, [this] {
        unsigned char const t = entree(SP);
        range(++SP, t);
        return t;
    });
}

void mp_interpreteur::SWAP(int) {
    instruction_pile<true>(op_SWAP, [this] {
        unsigned char const s = entree(SP - 1);
        unsigned char const t = entree(SP);
        range(SP - 1, t);
        range(SP, s);
        return t;
    });
}

void mp_interpreteur::DROP(int) {
    instruction_pile<false>(op_DROP, [this] {
        --SP;
        return static_cast<unsigned char>(0);
    });
}

void mp_interpreteur::OVER(int) {
    instruction_pile<true>(op_OVER, [this] {
        unsigned char const s = entree(SP - 1);
        range(++SP, s);
        return s;
    });
}

void mp_interpreteur::ROLL(int) {
    instruction_pile<true>(op_ROLL, [this] {
        unsigned char const r = entree(SP - 2);
        unsigned char const s = entree(SP - 1);
        unsigned char const t = entree(SP);
        range(SP - 2, t);
        range(SP - 1, r);
        range(SP, s);
        return t;
    });
}

// --- Arithmetique et logique ---
// ( s t -- x ) : x remplace s, puis t disparait.

void mp_interpreteur::ADD(int) {
    instruction_pile<true>(op_ADD, [this] {
        unsigned char const x = static_cast<unsigned char>(entree(SP - 1) + entree(SP));
        range(--SP, x);
        return x;
    });
}

void mp_interpreteur::SUB(int) {
    instruction_pile<true>(op_SUB, [this] {
        unsigned char const x = static_cast<unsigned char>(entree(SP - 1) - entree(SP));
        range(--SP, x);
        return x;
    });
}

void mp_interpreteur::NEG(int) {
    instruction_pile<true>(op_NEG, [this] {
        unsigned char const x = static_cast<unsigned char>(0 - entree(SP));
        range(SP, x);
        return x;
    });
}

void mp_interpreteur::MULT(int) {
    instruction_pile<true>(op_MULT, [this] {
        unsigned char const x = static_cast<unsigned char>(entree(SP - 1) * entree(SP));
        range(--SP, x);
        return x;
    });
}

void mp_interpreteur::CMP(int) {
    // La pile ne change pas : seule la difference compte, pour les drapeaux.
    instruction_pile<true>(
        op_CMP, [this] { return static_cast<unsigned char>(entree(SP - 1) - entree(SP)); });
}

void mp_interpreteur::AND(int) {
    instruction_pile<true>(op_AND, [this] {
        unsigned char const x = entree(SP - 1) & entree(SP);
        range(--SP, x);
        return x;
    });
}

void mp_interpreteur::OR(int) {
    instruction_pile<true>(op_OR, [this] {
        unsigned char const x = entree(SP - 1) | entree(SP);
        range(--SP, x);
        return x;
    });
}

void mp_interpreteur::XOR(int) {
    instruction_pile<true>(op_XOR, [this] {
        unsigned char const x = entree(SP - 1) ^ entree(SP);
        range(--SP, x);
        return x;
    });
}

void mp_interpreteur::NOT(int) {
    // Negation logique, pas complement bit a bit.
    instruction_pile<true>(op_NOT, [this] {
        unsigned char const x = entree(SP) == 0 ? 1 : 0;
        range(SP, x);
        return x;
    });
}

void mp_interpreteur::ASR(int) {
    // Division signee arrondie vers zero : -1 donne 0, pas -1 comme un decalage.
    instruction_pile<true>(op_ASR, [this] {
        unsigned char const x = static_cast<unsigned char>(pile_interne[SP] / 2);
        range(SP, x);
        return x;
    });
}

void mp_interpreteur::LSR(int) {
    // Le bit 7 reste en place.
    instruction_pile<true>(op_LSR, [this] {
        unsigned char const t = entree(SP);
        unsigned char const x = static_cast<unsigned char>((t >> 1) | (t & bit_signe));
        range(SP, x);
        return x;
    });
}

void mp_interpreteur::LSL(int) {
    instruction_pile<true>(op_LSL, [this] {
        unsigned char const x = static_cast<unsigned char>(entree(SP) << 1);
        range(SP, x);
        return x;
    });
}

// --- Branchements et divers ---

void mp_interpreteur::BEQZ(int) {
    branchement(op_BEQZ, CCR & CCR_Z);
}
void mp_interpreteur::BNEZ(int) {
    branchement(op_BNEZ, !(CCR & CCR_Z));
}
void mp_interpreteur::BLTZ(int) {
    branchement(op_BLTZ, CCR & CCR_N);
}
void mp_interpreteur::BGEZ(int) {
    branchement(op_BGEZ, !(CCR & CCR_N));
}
void mp_interpreteur::BC(int) {
    branchement(op_BC, CCR & CCR_C);
}
void mp_interpreteur::BNC(int) {
    branchement(op_BNC, !(CCR & CCR_C));
}
void mp_interpreteur::BT(int) {
    branchement(op_BT, true);
}

void mp_interpreteur::NOP(int) {
    PC = static_cast<unsigned short>(lecture_PC() +
                                     internal_mp_interpreteur_taille_instruction[op_NOP]);
}

void mp_interpreteur::NIET(int) {
    PC = static_cast<unsigned short>(lecture_PC() + taille_instruction_indefinie);
}

// --- Traitants de la table : chacun appelle l'operation de meme nom ---

namespace {

void PUSH(mp_interpreteur& m, int mode_adressage) {
    m.PUSH(mode_adressage);
}
void PUSHI(mp_interpreteur& m, int mode_adressage) {
    m.PUSHI(mode_adressage);
}
void POP(mp_interpreteur& m, int mode_adressage) {
    m.POP(mode_adressage);
}
void DUP(mp_interpreteur& m, int mode_adressage) {
    m.DUP(mode_adressage);
}
void SWAP(mp_interpreteur& m, int mode_adressage) {
    m.SWAP(mode_adressage);
}
void DROP(mp_interpreteur& m, int mode_adressage) {
    m.DROP(mode_adressage);
}
void OVER(mp_interpreteur& m, int mode_adressage) {
    m.OVER(mode_adressage);
}
void ROLL(mp_interpreteur& m, int mode_adressage) {
    m.ROLL(mode_adressage);
}
void ADD(mp_interpreteur& m, int mode_adressage) {
    m.ADD(mode_adressage);
}
void SUB(mp_interpreteur& m, int mode_adressage) {
    m.SUB(mode_adressage);
}
void NEG(mp_interpreteur& m, int mode_adressage) {
    m.NEG(mode_adressage);
}
void MULT(mp_interpreteur& m, int mode_adressage) {
    m.MULT(mode_adressage);
}
void CMP(mp_interpreteur& m, int mode_adressage) {
    m.CMP(mode_adressage);
}
void AND(mp_interpreteur& m, int mode_adressage) {
    m.AND(mode_adressage);
}
void OR(mp_interpreteur& m, int mode_adressage) {
    m.OR(mode_adressage);
}
void XOR(mp_interpreteur& m, int mode_adressage) {
    m.XOR(mode_adressage);
}
void NOT(mp_interpreteur& m, int mode_adressage) {
    m.NOT(mode_adressage);
}
void ASR(mp_interpreteur& m, int mode_adressage) {
    m.ASR(mode_adressage);
}
void LSR(mp_interpreteur& m, int mode_adressage) {
    m.LSR(mode_adressage);
}
void LSL(mp_interpreteur& m, int mode_adressage) {
    m.LSL(mode_adressage);
}
void BEQZ(mp_interpreteur& m, int mode_adressage) {
    m.BEQZ(mode_adressage);
}
void BNEZ(mp_interpreteur& m, int mode_adressage) {
    m.BNEZ(mode_adressage);
}
void BLTZ(mp_interpreteur& m, int mode_adressage) {
    m.BLTZ(mode_adressage);
}
void BGEZ(mp_interpreteur& m, int mode_adressage) {
    m.BGEZ(mode_adressage);
}
void BC(mp_interpreteur& m, int mode_adressage) {
    m.BC(mode_adressage);
}
void BNC(mp_interpreteur& m, int mode_adressage) {
    m.BNC(mode_adressage);
}
void BT(mp_interpreteur& m, int mode_adressage) {
    m.BT(mode_adressage);
}
void NOP(mp_interpreteur& m, int mode_adressage) {
    m.NOP(mode_adressage);
}
void NIET(mp_interpreteur& m, int mode_adressage) {
    m.NIET(mode_adressage);
}

} // namespace

const operation_instruction internal_mp_interpreteur_operation[] = {
    PUSH,  // 0x00
    PUSHI, // 0x01
    POP,   // 0x02
    DUP,   // 0x03
    SWAP,  // 0x04
    DROP,  // 0x05
    OVER,  // 0x06
    ROLL,  // 0x07
    ADD,   // 0x08
    SUB,   // 0x09
    NEG,   // 0x0A
    MULT,  // 0x0B
    CMP,   // 0x0C
    AND,   // 0x0D
    OR,    // 0x0E
    XOR,   // 0x0F
    NOT,   // 0x10
    ASR,   // 0x11
    LSR,   // 0x12
    LSL,   // 0x13
    BEQZ,  // 0x14
    BNEZ,  // 0x15
    BLTZ,  // 0x16
    BGEZ,  // 0x17
    BC,    // 0x18
    BNC,   // 0x19
    BT,    // 0x1A
    NOP,   // 0x1B
    NIET,  // 0x1C
    NIET,  // 0x1D
    NIET,  // 0x1E
    NIET,  // 0x1F
};
static_assert(sizeof internal_mp_interpreteur_operation /
                      sizeof internal_mp_interpreteur_operation[0] ==
                  nombre_opcodes,
              "un traitant par opcode");
