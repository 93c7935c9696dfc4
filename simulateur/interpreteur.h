// Processeur de la machine a pile : registres, pile interne de 16 octets signes,
// registre d'etat, decodage, desassemblage et execution pas a pas.
// Invariant : -1 <= SP <= 15 (pile vide a -1, pleine a 15).
// Le processeur ne possede pas la memoire : il la joint par learn_mem.
#ifndef KARVELA_INTERPRETEUR_H
#define KARVELA_INTERPRETEUR_H

#include "simulateur/mem_64k.h"

// Bits du registre d'etat CCR.
constexpr unsigned char CCR_E = 0x10; // erreur de pile, jamais effacee par une instruction
constexpr unsigned char CCR_N = 0x08; // bit 7 du dernier resultat
constexpr unsigned char CCR_Z = 0x04; // dernier resultat nul
constexpr unsigned char CCR_V = 0x02; // debordement : aucune instruction ne le touche
constexpr unsigned char CCR_C = 0x01; // retenue : seuls BC et BNC le lisent

constexpr int nombre_opcodes = 32;         // 5 bits d'opcode
constexpr int nombre_opcodes_definis = 28; // 0x00..0x1B ; 0x1C..0x1F sont indefinis
constexpr int taille_pile_interne = 16;
constexpr unsigned char masque_opcode = 0x1F; // les 3 bits hauts de l'octet sont ignores

// Ce qui a manque a une instruction de pile en echec : une place libre (pile
// pleine) ou une entree (pile vide).
enum class erreur_pile_sorte : unsigned char { aucune, pleine, vide };

class mp_interpreteur {
  public:
    mp_interpreteur();

    void learn_mem(mem_64k* memoire_ref);
    void init_registers(); // PC = 0, rien d'autre

    unsigned short PC_value() const { return static_cast<unsigned short>(lecture_PC()); }
    void set_PC_value(unsigned short v) { PC = v; }
    short SP_value() const { return SP; }
    void set_SP_value(short v) { SP = v; }
    unsigned char A_value() const { return A; }
    void set_A_value(unsigned char v) { A = v; }
    unsigned char tmpA_value() const { return tmpA; }
    void set_tmpA_value(unsigned char v) { tmpA = v; }
    unsigned char CCR_value() const { return CCR; }
    void set_CCR_value(unsigned char v) { CCR = v; }
    unsigned short X_value() const { return X; }
    void set_X_value(unsigned short v) { X = v; }

    // Entree v de la pile interne (sans regarder SP), 0 hors de 0..15.
    signed char pile(short v) const;
    // Z et N d'apres res ; E, V, C et les bits 7..5 restent.
    void raj_CCR_ZN(unsigned char res);

    int decodage_instruction(unsigned short adr) const {
        return memoire->read_byte(adr) & masque_opcode;
    }
    unsigned short adresse_suivante(unsigned short adr) const;
    // Ecrit au plus 11 octets dans chaine (texte et zero final).
    unsigned short desassemblage_instruction(unsigned short adr, char* chaine) const;
    // En ligne : chez l'appelant, un pas ne coute qu'un appel, celui du traitant.
    int step();
    // Instructions en echec sur leur condition de pile depuis la construction, et
    // pourquoi la derniere : E ne le dit plus une fois leve, rien ne l'effacant.
    // La derniere instruction a echoue si le compte a change pendant son step().
    unsigned long erreurs_pile() const { return erreurs_pile_; }
    erreur_pile_sorte derniere_erreur_pile() const { return derniere_erreur_pile_; }

    void PUSH(int mode_adressage);
    void PUSHI(int mode_adressage);
    void POP(int mode_adressage);
    void DUP(int mode_adressage);
    void SWAP(int mode_adressage);
    void DROP(int mode_adressage);
    void OVER(int mode_adressage);
    void ROLL(int mode_adressage);
    void ADD(int mode_adressage);
    void SUB(int mode_adressage);
    void NEG(int mode_adressage);
    void MULT(int mode_adressage);
    void CMP(int mode_adressage);
    void AND(int mode_adressage);
    void OR(int mode_adressage);
    void XOR(int mode_adressage);
    void NOT(int mode_adressage);
    void ASR(int mode_adressage);
    void LSR(int mode_adressage);
    void LSL(int mode_adressage);
    void BEQZ(int mode_adressage);
    void BNEZ(int mode_adressage);
    void BLTZ(int mode_adressage);
    void BGEZ(int mode_adressage);
    void BC(int mode_adressage);
    void BNC(int mode_adressage);
    void BT(int mode_adressage);
    void NOP(int mode_adressage);
    void NIET(int mode_adressage);

  private:
    // Forme commune des instructions de pile : si la condition de l'opcode tient
    // (internal_mp_interpreteur_effet_pile), effet() change la pile et rend l'octet
    // dont on tire Z et N (ignore si drapeaux est faux) ; sinon seul E est leve.
    // Dans les deux cas PC avance de la taille de l'opcode.
    template <bool drapeaux, typename Effet> void instruction_pile(int opcode, Effet effet);
    // Branchement relatif a l'adresse de son propre opcode, pris si condition.
    void branchement(int opcode, bool condition);

    unsigned char entree(int i) const { return static_cast<unsigned char>(pile_interne[i]); }
    void range(int i, unsigned char octet) { pile_interne[i] = static_cast<signed char>(octet); }
    // Mot qui suit l'opcode : adresse de PUSH et POP, deplacement des branchements.
    unsigned short operande() const {
        return memoire->read_word(static_cast<unsigned short>(lecture_PC() + 1));
    }

    // PC relu en entier, sur 32 bits : sans la barriere vide, le compilateur n'en lit
    // que les 16 bits bas des qu'il ne lui en faut pas plus, et la relecture attend
    // alors la fin de l'ecriture du pas d'avant. Le champ reste dans 0..0xFFFF.
    unsigned int lecture_PC() const {
        unsigned int pc = PC;
        asm("" : "+r"(pc));
        if (pc > 0xFFFF) {
            __builtin_unreachable();
        }
        return pc;
    }

    // PC, SP et CCR, que presque chaque pas relit juste apres le pas d'avant qui les a
    // ecrits, sont ranges et relus sur 32 bits : sur cette machine, relire juste apres
    // son ecriture un champ de 8 ou 16 bits coute bien plus qu'un mot de 32 bits (le
    // banc du processeur le montre). Leurs valeurs restent celles que donnent les
    // accesseurs : PC sur 16 bits, SP signe sur 16 bits, CCR sur 8 bits.
    mem_64k* memoire;
    signed char pile_interne[taille_pile_interne];
    unsigned int PC;
    int SP;
    unsigned char A;
    unsigned char tmpA;
    unsigned int CCR;
    unsigned short X;
    unsigned long erreurs_pile_;
    erreur_pile_sorte derniere_erreur_pile_;
};

typedef void (*operation_instruction)(mp_interpreteur&, int);

// Ce qu'une instruction fait de la pile quand sa condition tient : elle ote depile
// entrees et en pose empile a leur place, ( s t -- x ) pour ADD : 2 et 1. La
// condition en decoule : depile entrees presentes, et une place libre par entree
// posee en plus. Une instruction en echec ne change que E, et PC avance de sa
// taille : la pile reste telle quelle. Branchements, NOP et opcodes indefinis : 0 et 0.
struct effet_pile {
    signed char depile;
    signed char empile;
    constexpr int besoin() const { return depile; }
    constexpr int libres() const { return empile > depile ? empile - depile : 0; }
};

// Table indexee par l'opcode, comme les trois autres ; en ligne pour que le
// processeur y lise ses conditions a la compilation, et la verification de la
// pile de l'assembleur au meme endroit.
inline constexpr effet_pile internal_mp_interpreteur_effet_pile[nombre_opcodes] = {
    {0, 1}, // 0x00 PUSH  ( -- b )
    {0, 1}, // 0x01 PUSHI ( -- b )
    {1, 0}, // 0x02 POP   ( t -- )
    {1, 2}, // 0x03 DUP   ( t -- t t )
    {2, 2}, // 0x04 SWAP  ( s t -- t s )
    {1, 0}, // 0x05 DROP  ( t -- )
    {2, 3}, // 0x06 OVER  ( s t -- s t s )
    {3, 3}, // 0x07 ROLL  ( r s t -- t r s )
    {2, 1}, // 0x08 ADD   ( s t -- x )
    {2, 1}, // 0x09 SUB
    {1, 1}, // 0x0A NEG   ( t -- x )
    {2, 1}, // 0x0B MULT
    {2, 2}, // 0x0C CMP   ( s t -- s t ) : ne depile rien
    {2, 1}, // 0x0D AND
    {2, 1}, // 0x0E OR
    {2, 1}, // 0x0F XOR
    {1, 1}, // 0x10 NOT
    {1, 1}, // 0x11 ASR
    {1, 1}, // 0x12 LSR
    {1, 1}, // 0x13 LSL
    {0, 0}, // 0x14 BEQZ
    {0, 0}, // 0x15 BNEZ
    {0, 0}, // 0x16 BLTZ
    {0, 0}, // 0x17 BGEZ
    {0, 0}, // 0x18 BC
    {0, 0}, // 0x19 BNC
    {0, 0}, // 0x1A BT
    {0, 0}, // 0x1B NOP
    {0, 0}, // 0x1C
    {0, 0}, // 0x1D
    {0, 0}, // 0x1E
    {0, 0}, // 0x1F
};

// Tables indexees par l'opcode : taille en octets, mnemonique, traitant.
extern const int internal_mp_interpreteur_taille_instruction[nombre_opcodes_definis];
extern const char* const internal_mp_interpreteur_libelle_instruction[nombre_opcodes];
extern const operation_instruction internal_mp_interpreteur_operation[nombre_opcodes];

inline int mp_interpreteur::step() {
    internal_mp_interpreteur_operation[decodage_instruction(
        static_cast<unsigned short>(lecture_PC()))](*this, 0);
    return 0;
}

#endif
