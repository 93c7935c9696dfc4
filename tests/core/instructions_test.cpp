// Effet de chaque instruction, par famille : empilements et depilement,
// manipulation de pile, arithmetique et logique, branchements, erreurs de pile,
// opcodes indefinis. Chaque ligne de table part d'une pile remplie par de vrais
// PUSHI et passe deux fois : CCR a 0x00 puis a 0xEF (tout sauf E), pour voir
// que seuls Z et N bougent.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "banc_machine.h"

namespace {

constexpr unsigned short adresse_code = 0x0100;
constexpr int zn_inchanges = -1;
constexpr unsigned char bases_ccr[] = {0x00, 0xEF};

struct cas_pile {
    const char* nom;
    std::vector<int> avant; // du fond vers le sommet
    std::vector<int> code;  // instruction entiere
    std::vector<int> apres;
    int zn; // Z|N attendus, ou zn_inchanges
};

using octets_memoire = std::vector<std::pair<int, int>>; // (adresse, octet)

void verifie(cas_pile const& c, octets_memoire const& mem_avant = {},
             octets_memoire const& mem_apres = {}) {
    for (unsigned char base : bases_ccr) {
        auto b = std::make_unique<banc_machine>();
        for (auto const& [adr, octet] : mem_avant) {
            b->memoire.write_byte(static_cast<unsigned short>(adr),
                                  static_cast<unsigned char>(octet));
        }
        b->pose(adresse_code, c.code);
        b->prepare_pile(c.avant, base, adresse_code);
        b->cpu.step();
        SCOPED_TRACE(std::string(c.nom) + " " + b->etat());
        EXPECT_EQ(b->pile(), c.apres);
        unsigned char const attendu =
            c.zn == zn_inchanges ? base
                                 : static_cast<unsigned char>((base & ~(CCR_Z | CCR_N)) | c.zn);
        EXPECT_EQ(b->cpu.CCR_value(), attendu) << "CCR de depart " << int(base);
        EXPECT_EQ(b->cpu.PC_value(), adresse_code + c.code.size());
        for (auto const& [adr, octet] : mem_apres) {
            EXPECT_EQ(b->memoire.read_byte(static_cast<unsigned short>(adr)), octet) << adr;
        }
    }
}

TEST(EmpilementsEtDepilement, SansMemoire) {
    const cas_pile cas[] = {
        {"PUSHI 5 pile vide", {}, {0x01, 0x05}, {0x05}, 0},
        {"PUSHI 0x80", {}, {0x01, 0x80}, {0x80}, CCR_N},
        {"PUSHI 0", {0x7F}, {0x01, 0x00}, {0x7F, 0x00}, CCR_Z},
        {"PUSHI 0xFF sur deux", {1, 2}, {0x01, 0xFF}, {1, 2, 0xFF}, CCR_N},
    };
    for (auto const& c : cas) {
        verifie(c);
    }
}

TEST(EmpilementsEtDepilement, PUSHLitEtPOPEcritLaMemoire) {
    verifie(
        {"PUSH pousse l'octet a l'adresse, pas l'adresse", {}, {0x00, 0x10, 0x00}, {0x80}, CCR_N},
        {{0x1000, 0x80}});
    verifie({"PUSH d'un octet nul", {3}, {0x00, 0x23, 0x45}, {3, 0x00}, CCR_Z}, {{0x2345, 0x00}});
    verifie({"PUSH sous l'alias 0x20", {}, {0x20, 0x10, 0x00}, {0x7F}, 0}, {{0x1000, 0x7F}});
    verifie({"POP de 0x80 en 0x1000", {0x80}, {0x02, 0x10, 0x00}, {}, CCR_N}, {}, {{0x1000, 0x80}});
    verifie({"POP de 0 garde le reste", {7, 0}, {0x02, 0x20, 0x00}, {7}, CCR_Z}, {},
            {{0x2000, 0x00}});
    verifie({"POP en 0xFFFF", {0x42}, {0x02, 0xFF, 0xFF}, {}, 0}, {},
            {{0xFFFF, 0x42}, {0x0000, 0xFF}});
}

TEST(ManipulationDePile, ChaqueCas) {
    const cas_pile cas[] = {
        {"DUP", {0x80}, {0x03}, {0x80, 0x80}, CCR_N},
        {"DUP de 0", {1, 0}, {0x03}, {1, 0, 0}, CCR_Z},
        {"SWAP : drapeaux de l'ancien sommet", {0x00, 0x80}, {0x04}, {0x80, 0x00}, CCR_N},
        {"SWAP inverse", {0x80, 0x00}, {0x04}, {0x00, 0x80}, CCR_Z},
        {"SWAP sous le sommet seulement", {9, 1, 2}, {0x04}, {9, 2, 1}, 0},
        {"DROP du dernier", {5}, {0x05}, {}, zn_inchanges},
        {"DROP de 0", {1, 0}, {0x05}, {1}, zn_inchanges},
        {"OVER", {1, 2}, {0x06}, {1, 2, 1}, 0},
        {"OVER : drapeaux de s", {0x80, 0}, {0x06}, {0x80, 0, 0x80}, CCR_N},
        {"OVER de 0", {0, 0x80}, {0x06}, {0, 0x80, 0}, CCR_Z},
        {"ROLL 1 2 3 -> 3 1 2", {1, 2, 3}, {0x07}, {3, 1, 2}, 0},
        {"ROLL : drapeaux de l'ancien sommet",
         {0x80, 0x01, 0x00},
         {0x07},
         {0x00, 0x80, 0x01},
         CCR_Z},
        {"ROLL d'un sommet negatif", {0, 0, 0x80}, {0x07}, {0x80, 0, 0}, CCR_N},
        {"ROLL laisse le fond", {9, 1, 2, 3}, {0x07}, {9, 3, 1, 2}, 0},
    };
    for (auto const& c : cas) {
        verifie(c);
    }
}

TEST(ArithmetiqueEtLogique, ChaqueCas) {
    const cas_pile cas[] = {
        {"ADD", {2, 3}, {0x08}, {5}, 0},
        {"ADD sans retenue", {0xFF, 0x01}, {0x08}, {0x00}, CCR_Z},
        {"ADD sans debordement", {0x7F, 0x01}, {0x08}, {0x80}, CCR_N},
        {"ADD sous le fond", {9, 2, 3}, {0x08}, {9, 5}, 0},
        {"ADD sous l'alias 0xE8", {2, 3}, {0xE8}, {5}, 0},
        {"SUB s - t", {3, 5}, {0x09}, {0xFE}, CCR_N},
        {"SUB dans l'autre sens", {5, 3}, {0x09}, {2}, 0},
        {"SUB 0x80 - 1", {0x80, 0x01}, {0x09}, {0x7F}, 0},
        {"SUB egal", {0x42, 0x42}, {0x09}, {0}, CCR_Z},
        {"NEG 1", {0x01}, {0x0A}, {0xFF}, CCR_N},
        {"NEG 0x80", {0x80}, {0x0A}, {0x80}, CCR_N},
        {"NEG 0", {0x00}, {0x0A}, {0x00}, CCR_Z},
        {"NEG 0x7F", {0x7F}, {0x0A}, {0x81}, CCR_N},
        {"MULT 0x10 x 0x10", {0x10, 0x10}, {0x0B}, {0x00}, CCR_Z},
        {"MULT 3 x 5", {3, 5}, {0x0B}, {0x0F}, 0},
        {"MULT -1 x -1", {0xFF, 0xFF}, {0x0B}, {0x01}, 0},
        {"MULT 0xFE x 3", {0xFE, 0x03}, {0x0B}, {0xFA}, CCR_N},
        {"CMP egal ne depile rien", {5, 5}, {0x0C}, {5, 5}, CCR_Z},
        {"CMP 0x80 avec 1 : difference 0x7F", {0x80, 0x01}, {0x0C}, {0x80, 0x01}, 0},
        {"CMP s - t negatif", {3, 5}, {0x0C}, {3, 5}, CCR_N},
        {"AND", {0xF0, 0x3C}, {0x0D}, {0x30}, 0},
        {"AND nul", {0x0F, 0xF0}, {0x0D}, {0x00}, CCR_Z},
        {"OR", {0x80, 0x01}, {0x0E}, {0x81}, CCR_N},
        {"OR nul", {0, 0}, {0x0E}, {0}, CCR_Z},
        {"XOR", {0xFF, 0x0F}, {0x0F}, {0xF0}, CCR_N},
        {"XOR egal", {0x5A, 0x5A}, {0x0F}, {0}, CCR_Z},
        {"NOT 5", {0x05}, {0x10}, {0x00}, CCR_Z},
        {"NOT 0", {0x00}, {0x10}, {0x01}, 0},
        {"NOT 0x0F n'est pas 0xF0", {0x0F}, {0x10}, {0x00}, CCR_Z},
        {"NOT 0x80", {0x80}, {0x10}, {0x00}, CCR_Z},
        {"ASR 7", {0x07}, {0x11}, {0x03}, 0},
        {"ASR -3 arrondi vers zero", {0xFD}, {0x11}, {0xFF}, CCR_N},
        {"ASR -1 donne 0", {0xFF}, {0x11}, {0x00}, CCR_Z},
        {"ASR -128", {0x80}, {0x11}, {0xC0}, CCR_N},
        {"ASR -2", {0xFE}, {0x11}, {0xFF}, CCR_N},
        {"ASR 0x7F", {0x7F}, {0x11}, {0x3F}, 0},
        {"ASR 1", {0x01}, {0x11}, {0x00}, CCR_Z},
        {"LSR garde le bit 7", {0x80}, {0x12}, {0xC0}, CCR_N},
        {"LSR 0xFF", {0xFF}, {0x12}, {0xFF}, CCR_N},
        {"LSR 0x7F", {0x7F}, {0x12}, {0x3F}, 0},
        {"LSR 1", {0x01}, {0x12}, {0x00}, CCR_Z},
        {"LSL 0x40", {0x40}, {0x13}, {0x80}, CCR_N},
        {"LSL 0x80", {0x80}, {0x13}, {0x00}, CCR_Z},
        {"LSL 0xFF", {0xFF}, {0x13}, {0xFE}, CCR_N},
        {"LSL 1", {0x01}, {0x13}, {0x02}, 0},
    };
    for (auto const& c : cas) {
        verifie(c);
    }
}

// --- Branchements ---

struct cas_branchement {
    const char* nom;
    unsigned short pc;
    std::vector<int> code;
    unsigned char ccr;
    unsigned short pc_apres;
};

TEST(Branchements, ConditionsEtRepliDePC) {
    const cas_branchement cas[] = {
        {"BT en arriere jusqu'a 0", 0x0010, {0x1A, 0xFF, 0xF0}, 0x00, 0x0000},
        {"BT repli sur 0x0010", 0xFFF0, {0x1A, 0x00, 0x20}, 0x00, 0x0010},
        {"BT sur place", 0x0200, {0x1A, 0x00, 0x00}, 0x00, 0x0200},
        {"BT de -3", 0x0200, {0x1A, 0xFF, 0xFD}, 0x00, 0x01FD},
        {"BT de +3", 0x0200, {0x1A, 0x00, 0x03}, 0x00, 0x0203},
        {"BT de -32768", 0x0200, {0x1A, 0x80, 0x00}, 0x00, 0x8200},
        {"BT sous l'alias 0xFA", 0x0200, {0xFA, 0x00, 0x10}, 0x00, 0x0210},
        {"BEQZ pris", 0x0200, {0x14, 0x00, 0x05}, CCR_Z, 0x0205},
        {"BEQZ non pris ignore l'operande", 0x0200, {0x14, 0x00, 0x05}, 0xEB, 0x0203},
        {"BNEZ pris", 0x0200, {0x15, 0x00, 0x10}, 0x00, 0x0210},
        {"BNEZ non pris", 0x0200, {0x15, 0x00, 0x10}, CCR_Z, 0x0203},
        {"BLTZ pris", 0x0200, {0x16, 0x00, 0x10}, CCR_N, 0x0210},
        {"BLTZ non pris", 0x0200, {0x16, 0x00, 0x10}, 0xF7, 0x0203},
        {"BGEZ pris", 0x0200, {0x17, 0x00, 0x10}, 0xF7, 0x0210},
        {"BGEZ non pris", 0x0200, {0x17, 0x00, 0x10}, CCR_N, 0x0203},
        {"BC pris", 0x0200, {0x18, 0x00, 0x10}, CCR_C, 0x0210},
        {"BC non pris", 0x0200, {0x18, 0x00, 0x10}, 0xFE, 0x0203},
        {"BNC pris", 0x0200, {0x19, 0x00, 0x10}, 0xFE, 0x0210},
        {"BNC non pris", 0x0200, {0x19, 0x00, 0x10}, CCR_C, 0x0203},
        {"pris a 0xFFFE : le mot a 0xFFFF vaut 0", 0xFFFE, {0x1A, 0x12, 0x34}, 0x00, 0xFFFE},
        {"non pris a 0xFFFE : repli sur 0x0001", 0xFFFE, {0x14, 0x12, 0x34}, 0x00, 0x0001},
    };
    for (auto const& c : cas) {
        auto b = std::make_unique<banc_machine>();
        b->pose(c.pc, c.code);
        b->prepare_pile({0x11, 0x22}, c.ccr, c.pc);
        b->cpu.step();
        SCOPED_TRACE(std::string(c.nom) + " " + b->etat());
        EXPECT_EQ(b->cpu.PC_value(), c.pc_apres);
        EXPECT_EQ(b->cpu.CCR_value(), c.ccr);
        EXPECT_EQ(b->pile(), (std::vector<int>{0x11, 0x22}));
    }
}

TEST(Branchements, BTSurPlaceYResteAChaquePas) {
    banc_machine b;
    b.pose(0x0300, {0x1A, 0x00, 0x00});
    b.cpu.set_PC_value(0x0300);
    for (int i = 0; i < 5; ++i) {
        b.cpu.step();
        ASSERT_EQ(b.cpu.PC_value(), 0x0300) << b.etat();
    }
}

// --- Erreurs de pile : E leve, rien d'autre ne change, PC avance de la taille ---

struct cas_erreur {
    const char* nom;
    std::vector<int> code;
    int profondeur; // nombre d'entrees sur la pile
};

TEST(ErreursDePile, ChaqueInstructionDePile) {
    const cas_erreur cas[] = {
        {"PUSH pile pleine", {0x00, 0x10, 0x00}, 16},
        {"PUSHI pile pleine", {0x01, 0x05}, 16},
        {"POP pile vide", {0x02, 0x10, 0x00}, 0},
        {"DUP pile vide", {0x03}, 0},
        {"DUP pile pleine", {0x03}, 16},
        {"SWAP une entree", {0x04}, 1},
        {"DROP pile vide", {0x05}, 0},
        {"OVER une entree", {0x06}, 1},
        {"OVER pile pleine", {0x06}, 16},
        {"ROLL deux entrees", {0x07}, 2},
        {"ADD une entree", {0x08}, 1},
        {"SUB une entree", {0x09}, 1},
        {"NEG pile vide", {0x0A}, 0},
        {"MULT une entree", {0x0B}, 1},
        {"CMP une entree", {0x0C}, 1},
        {"AND une entree", {0x0D}, 1},
        {"OR pile vide", {0x0E}, 0},
        {"XOR une entree", {0x0F}, 1},
        {"NOT pile vide", {0x10}, 0},
        {"ASR pile vide", {0x11}, 0},
        {"LSR pile vide", {0x12}, 0},
        {"LSL pile vide", {0x13}, 0},
    };
    // Seize valeurs distinctes : les entrees au-dessus de SP sont verifiees aussi.
    std::vector<int> valeurs;
    for (int i = 0; i < taille_pile_interne; ++i) {
        valeurs.push_back(0x10 * i + 0x0F - i);
    }
    for (auto const& c : cas) {
        for (unsigned char base : bases_ccr) {
            auto b = std::make_unique<banc_machine>();
            b->memoire.write_byte(0x1000, 0x5A);
            b->pose(adresse_code, c.code);
            b->prepare_pile(valeurs, base, adresse_code);
            b->cpu.set_SP_value(static_cast<short>(c.profondeur - 1));
            auto const pile_avant = b->pile_complete();
            auto const memoire_avant = b->instantane();
            unsigned long const erreurs_avant = b->cpu.erreurs_pile();

            b->cpu.step();
            SCOPED_TRACE(std::string(c.nom) + " " + b->etat());
            EXPECT_EQ(b->cpu.erreurs_pile(), erreurs_avant + 1);
            EXPECT_EQ(b->cpu.CCR_value(), base | CCR_E);
            EXPECT_EQ(b->cpu.SP_value(), c.profondeur - 1);
            EXPECT_EQ(b->pile_complete(), pile_avant);
            EXPECT_TRUE(b->instantane() == memoire_avant) << "memoire modifiee";
            EXPECT_EQ(b->cpu.PC_value(), adresse_code + c.code.size());
            // Seize entrees : c'est la place qui manque ; sinon une entree.
            EXPECT_EQ(b->cpu.derniere_erreur_pile(), c.profondeur == taille_pile_interne
                                                         ? erreur_pile_sorte::pleine
                                                         : erreur_pile_sorte::vide);
        }
    }
}

// La table des effets, que lit aussi la verification de l'assembleur, dit pour
// chaque opcode et chaque profondeur ce que le pas fait : echec ou non, SP d'apres.
TEST(ErreursDePile, LaTableDesEffetsDitChaquePas) {
    for (int opcode = 0; opcode < nombre_opcodes; ++opcode) {
        effet_pile const e = internal_mp_interpreteur_effet_pile[opcode];
        for (int profondeur = 0; profondeur <= taille_pile_interne; ++profondeur) {
            banc_machine b;
            b.pose(adresse_code, {opcode, 0x00, 0x03});
            b.prepare_pile(std::vector<int>(static_cast<std::size_t>(profondeur), 0x21), 0x00,
                           adresse_code);
            b.cpu.step();
            bool const tient =
                profondeur >= e.besoin() && profondeur + e.libres() <= taille_pile_interne;
            EXPECT_EQ(b.cpu.erreurs_pile(), tient ? 0u : 1u) << opcode << " a " << profondeur;
            EXPECT_EQ(b.cpu.SP_value() + 1, tient ? profondeur - e.depile + e.empile : profondeur)
                << opcode << " a " << profondeur;
        }
    }
}

TEST(ErreursDePile, DixSeptPUSHIRemplissentSeizeEntreesPuisLevent_E) {
    banc_machine b;
    for (int i = 0; i < 17; ++i) {
        b.pose(static_cast<unsigned short>(2 * i), {0x01, 0x30 + i});
    }
    for (int i = 0; i < 16; ++i) {
        b.cpu.step();
    }
    EXPECT_EQ(b.cpu.SP_value(), 15) << b.etat();
    EXPECT_EQ(b.cpu.CCR_value() & CCR_E, 0) << b.etat();
    b.cpu.step();
    EXPECT_EQ(b.cpu.CCR_value() & CCR_E, CCR_E) << b.etat();
    EXPECT_EQ(b.cpu.SP_value(), 15);
    EXPECT_EQ(b.cpu.PC_value(), 34);
    for (short i = 0; i < 16; ++i) {
        EXPECT_EQ(b.cpu.pile(i), 0x30 + i) << i;
    }
}

TEST(ErreursDePile, LesLimitesExactesPassent) {
    // Quinze entrees : DUP et OVER remplissent la derniere place sans erreur.
    for (int opcode : {0x03, 0x06}) {
        banc_machine b;
        b.pose(adresse_code, {opcode});
        b.prepare_pile(std::vector<int>(15, 0x21), 0x00, adresse_code);
        b.cpu.step();
        EXPECT_EQ(b.cpu.SP_value(), 15) << opcode << " " << b.etat();
        EXPECT_EQ(b.cpu.CCR_value() & CCR_E, 0) << opcode;
        EXPECT_EQ(b.cpu.erreurs_pile(), 0u) << opcode;
    }
}

TEST(ErreursDePile, ELeveResteLeveApresUneInstructionReussie) {
    banc_machine b;
    b.pose(adresse_code, {0x05, 0x01, 0x00});
    b.prepare_pile({}, 0x00, adresse_code);
    b.cpu.step();
    EXPECT_EQ(b.cpu.erreurs_pile(), 1u);
    b.cpu.step();
    EXPECT_EQ(b.cpu.CCR_value(), CCR_E | CCR_Z) << b.etat();
    EXPECT_EQ(b.cpu.erreurs_pile(), 1u) << "E leve ne dit plus l'echec, le compte si";
}

// --- Divers ---

TEST(OpcodesIndefinisEtNOP, AvancentSansRienChanger) {
    for (int octet : {0x1C, 0x1D, 0x1E, 0x1F, 0x3C, 0xFF, 0x1B, 0xFB}) {
        for (unsigned char base : bases_ccr) {
            auto b = std::make_unique<banc_machine>();
            b->pose(adresse_code, {octet, 0x01, 0x05});
            b->prepare_pile({0x80, 0x01}, base, adresse_code);
            auto const memoire_avant = b->instantane();
            b->cpu.step();
            SCOPED_TRACE(std::to_string(octet) + " " + b->etat());
            EXPECT_EQ(b->cpu.PC_value(), adresse_code + 1);
            EXPECT_EQ(b->cpu.CCR_value(), base);
            EXPECT_EQ(b->pile(), (std::vector<int>{0x80, 0x01}));
            EXPECT_TRUE(b->instantane() == memoire_avant);
        }
    }
}

TEST(OpcodesIndefinisEtNOP, NOPEnFFFFRevientA0) {
    banc_machine b;
    b.pose(0xFFFF, {0x1B});
    b.cpu.set_PC_value(0xFFFF);
    b.cpu.step();
    EXPECT_EQ(b.cpu.PC_value(), 0x0000);
}

TEST(OperandesAuBord, LesLecturesSeReplientOuDonnentZero) {
    // PUSHI en 0xFFFF lit son operande en 0x0000.
    banc_machine b;
    b.pose(0xFFFF, {0x01, 0x42});
    b.cpu.set_PC_value(0xFFFF);
    b.cpu.step();
    EXPECT_EQ(b.pile(), std::vector<int>{0x42});
    EXPECT_EQ(b.cpu.PC_value(), 0x0001);

    // PUSH en 0xFFFE : le mot en 0xFFFF vaut 0, il pousse l'octet en 0x0000.
    banc_machine c;
    c.pose(0xFFFE, {0x00, 0x12, 0x77});
    c.memoire.write_byte(0x1277, 0x99);
    c.cpu.set_PC_value(0xFFFE);
    c.cpu.step();
    EXPECT_EQ(c.pile(), std::vector<int>{0x77});
    EXPECT_EQ(c.cpu.PC_value(), 0x0001);
}

// --- Etat du processeur ---

TEST(EtatDuProcesseur, ToutEstNulALaConstructionSaufSP) {
    mp_interpreteur p;
    EXPECT_EQ(p.SP_value(), -1);
    EXPECT_EQ(p.PC_value(), 0);
    EXPECT_EQ(p.A_value(), 0);
    EXPECT_EQ(p.tmpA_value(), 0);
    EXPECT_EQ(p.CCR_value(), 0);
    EXPECT_EQ(p.X_value(), 0);
    for (short i = 0; i < taille_pile_interne; ++i) {
        EXPECT_EQ(p.pile(i), 0) << i;
    }
}

TEST(EtatDuProcesseur, PileHorsBornesEtEntreesPerimees) {
    banc_machine b;
    b.prepare_pile({1, 2, 3, 0xFF}, 0x00, 0);
    EXPECT_EQ(b.cpu.pile(-1), 0);
    EXPECT_EQ(b.cpu.pile(16), 0);
    EXPECT_EQ(b.cpu.pile(3), -1) << "entree signee";
    b.cpu.set_SP_value(1);
    EXPECT_EQ(b.cpu.pile(2), 3) << "entree au-dessus de SP";
}

TEST(EtatDuProcesseur, RajCCRZNNeToucheQueZEtN) {
    mp_interpreteur p;
    p.set_CCR_value(0x17);
    p.raj_CCR_ZN(0x80);
    EXPECT_EQ(p.CCR_value(), 0x1B);
    p.set_CCR_value(0x08);
    p.raj_CCR_ZN(0x00);
    EXPECT_EQ(p.CCR_value(), 0x04);
    p.set_CCR_value(0xFF);
    p.raj_CCR_ZN(0x01);
    EXPECT_EQ(p.CCR_value(), 0xF3);
}

TEST(EtatDuProcesseur, InitRegistersNeRemetQuePC) {
    banc_machine b;
    b.prepare_pile({1, 2, 3, 4, 5, 6}, CCR_E, 0x1234);
    b.cpu.set_A_value(0x12);
    b.cpu.set_X_value(0xBEEF);
    b.cpu.init_registers();
    EXPECT_EQ(b.cpu.PC_value(), 0);
    EXPECT_EQ(b.cpu.SP_value(), 5);
    EXPECT_EQ(b.cpu.CCR_value(), CCR_E);
    EXPECT_EQ(b.cpu.A_value(), 0x12);
    EXPECT_EQ(b.cpu.X_value(), 0xBEEF);
    b.cpu.set_PC_value(0xFFFF);
    EXPECT_EQ(b.cpu.PC_value(), 0xFFFF);
}

} // namespace
