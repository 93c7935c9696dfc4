// L'assembleur sur des sources courts : chaque forme d'operande et de nombre, les
// expressions, les directives, puis chaque diagnostic avec sa ligne et sa colonne,
// et l'aller-retour par le desassembleur du simulateur pour chaque opcode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>

#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "assembleur/lecture.h"
#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"

namespace {

struct cas_image {
    const char* source;
    unsigned short base;
    std::vector<int> image;
};

TEST(Assemblage, ChaqueFormeDonneSesOctets) {
    const cas_image cas[] = {
        {"ADD", 0, {0x08}},
        {"add\nNop\n", 0, {0x08, 0x1B}},
        {"PUSHI 12", 0, {0x01, 12}},
        {"PUSHI -3", 0, {0x01, 0xFD}},
        {"PUSHI -128", 0, {0x01, 0x80}},
        {"PUSHI 255", 0, {0x01, 0xFF}},
        {"PUSHI $1f", 0, {0x01, 0x1F}},
        {"PUSHI 0X1F", 0, {0x01, 0x1F}},
        {"PUSHI %0101", 0, {0x01, 5}},
        {"PUSHI 'A'", 0, {0x01, 65}},
        {"PUSHI '\\''", 0, {0x01, 39}},
        {"PUSHI 10 - 3 + -2", 0, {0x01, 5}},
        {"PUSHI 5 - -2", 0, {0x01, 7}},
        {"PUSH $1234", 0, {0x00, 0x12, 0x34}},
        {"POP PORTB", 0, {0x02, 0x10, 0x04}},
        {"PUSH PORTA\nPUSH PORTC\nPUSH DDRC\nPUSH PORTD\nPUSH DDRD\nPUSH PORTE",
         0,
         {0, 0x10, 0x00, 0, 0x10, 0x03, 0, 0x10, 0x07, 0, 0x10, 0x08, 0, 0x10, 0x09, 0, 0x10,
          0x0A}},
        {"BT *", 0, {0x1A, 0x00, 0x00}},
        {"NOP\nBT * - 1", 0, {0x1B, 0x1A, 0xFF, 0xFF}},
        {"BEQZ fin\nNOP\nfin: NOP", 0, {0x14, 0x00, 0x04, 0x1B, 0x1B}},
        {"debut:\n  boucle: NOP\n BNEZ debut", 0, {0x1B, 0x15, 0xFF, 0xFF}},
        {"BT $fff0", 0, {0x1A, 0xFF, 0xF0}},
        {"N = 5\nM = N + 2\nPUSHI M - *", 0, {0x01, 7}},
        {"PUSH loin\n.org $10\nloin: .octet 1",
         0,
         {0x00, 0x00, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {".org $0100\nNOP", 0x0100, {0x1B}},
        {".org $20\nNOP\n.org $10\nADD",
         0x10,
         {0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1B}},
        {".octet \"Ab\\n\", -1, 'z'\n.byte 2", 0, {'A', 'b', '\n', 0xFF, 'z', 2}},
        {".mot $1234, -1\n.WORD 7", 0, {0x12, 0x34, 0xFF, 0xFF, 0x00, 0x07}},
        {"Ici: .octet Ici + 1, ici\nici = 9", 0, {1, 9}},
        {"\tPUSHI 1\t; tabulation\r\nADD\r\n", 0, {0x01, 1, 0x08}},
        {"; commentaire accentué : « é »\nNOP ; ça va\nPUSHI ';'", 0, {0x1B, 0x01, ';'}},
        {"\xEF\xBB\xBFNOP\rADD\r\rPUSHI 1", 0, {0x1B, 0x08, 0x01, 1}},
    };
    for (auto const& c : cas) {
        programme_assemble const p = assemble(c.source);
        for (auto const& d : p.diagnostics) {
            EXPECT_FALSE(d.erreur) << c.source << " -> " << texte_diagnostic("s", d);
        }
        EXPECT_EQ(p.base, c.base) << c.source;
        EXPECT_EQ(p.image, std::vector<unsigned char>(c.image.begin(), c.image.end())) << c.source;
    }
}

struct cas_diagnostic {
    std::string source;
    int ligne, colonne;
    const char* message;
    bool erreur;
};

TEST(Assemblage, ChaqueDiagnosticNommeLaFauteEtSaPlace) {
    const cas_diagnostic cas[] = {
        {"NOP\n  PUSHX 3", 2, 3, "mnémonique inconnu « PUSHX »", true},
        {"boucle PUSHI 1", 1, 1,
         "mnémonique inconnu « boucle » (une étiquette se termine par « : »)", true},
        {"BT boucle", 1, 4, "étiquette « boucle » non définie", true},
        {"POP portb", 1, 5, "étiquette « portb » non définie (voulez-vous dire « PORTB » ?)", true},
        {"PUSHI 300", 1, 7, "valeur 300 hors de -128..255 pour PUSHI", true},
        {"PUSHI -129", 1, 7, "valeur -129 hors de -128..255 pour PUSHI", true},
        {"PUSH 65536", 1, 6, "valeur 65536 hors de 0..65535 pour PUSH", true},
        {"BT -1", 1, 4, "valeur -1 hors de 0..65535 pour BT", true},
        {".octet 1, 256", 1, 11, "valeur 256 hors de -128..255 pour .octet", true},
        {".mot 65536", 1, 6, "valeur 65536 hors de -32768..65535 pour .mot", true},
        {".org $10000", 1, 6, "valeur 65536 hors de 0..65535 pour .org", true},
        {"fin: NOP\n\n\nfin: ADD", 4, 1, "étiquette « fin » déjà définie ligne 1", true},
        {"N = 1\nN = 2\nNOP", 2, 1, "constante « N » déjà définie ligne 1", true},
        {"PORTE: NOP", 1, 1, "« PORTE » est un nom prédéfini ($100a) : choisir un autre nom", true},
        {".org fin\nfin: NOP", 1, 6,
         "« fin » n'est pas encore défini ici : .org n'utilise que des noms définis plus haut",
         true},
        {"N = M\nM = 1\nNOP", 1, 5,
         "« M » n'est pas encore défini ici : une constante n'utilise que des noms définis plus "
         "haut",
         true},
        {"x: N = 1\nNOP", 1, 1,
         "une constante ne porte pas d'étiquette : « NOM = valeur » s'écrit seul sur sa ligne",
         true},
        {"ADD 1", 1, 5, "ADD ne prend pas d'opérande", true},
        {"PUSHI", 1, 6, "valeur attendue pour PUSHI (un octet, -128..255)", true},
        {"BNEZ ,", 1, 6, "valeur attendue pour BNEZ (une adresse cible, 0..65535), trouvé « , »",
         true},
        {"PUSH 1 2", 1, 8, "« 2 » inattendu après l'opérande de PUSH", true},
        {".octet 1,", 1, 10, "valeur attendue pour .octet (-128..255 ou une chaîne)", true},
        {".mot \"ab\"", 1, 6, "chaîne interdite dans .mot : les chaînes vont dans .octet", true},
        {".fin", 1, 1, "directive inconnue « .fin » (attendu .org, .octet, .byte, .mot ou .word)",
         true},
        {"= 3", 1, 1, "mnémonique, directive ou étiquette attendu, trouvé « = »", true},
        {"PUSHI $", 1, 7, "chiffre hexadécimal attendu après « $ »", true},
        {"PUSHI %2", 1, 7, "chiffre binaire (0 ou 1) attendu après « % »", true},
        {"PUSHI 12ab", 1, 7, "nombre mal formé « 12ab »", true},
        {"PUSHI 4294967296", 1, 7, "nombre « 4294967296 » trop grand (au plus 4294967295)", true},
        {"PUSHI 'ab'", 1, 7, "un seul caractère attendu entre apostrophes, comme 'A'", true},
        {"PUSHI 'é'", 1, 7, "une constante caractère doit être ASCII, comme 'A'", true},
        {"\xEF\xBB\xBF  PUSHX", 1, 3, "mnémonique inconnu « PUSHX »", true},
        {"NOP\rNOP\r\n  PUSHX", 3, 3, "mnémonique inconnu « PUSHX »", true},
        {"Fin: NOP\nFIN: NOP\nBT fin", 3, 4,
         "étiquette « fin » non définie (voulez-vous dire « FIN » ?)", true},
        {"finale: NOP\nBT FIN", 2, 4, "étiquette « FIN » non définie", true},
        {".octet \"a\\q\"", 1, 10,
         "échappement inconnu « \\q » (attendu \\n, \\t, \\0, \\\\, \\' ou \\\")", true},
        {".octet \"abc", 1, 8, "chaîne sans guillemet fermant", true},
        {"PUSHI é", 1, 7,
         "caractère non ASCII inattendu (octet 195) : seuls les commentaires et les chaînes "
         "peuvent en contenir",
         true},
        {"PUSHI 1 # 2", 1, 9, "caractère « # » inattendu", true},
        {"NOP\n; \x01\nPUSHI \x07", 3, 7, "caractère de contrôle inattendu (code 7)", true},
        {"NOP\nAD", 2, 1, "mnémonique inconnu « AD »", true},
        {"BNZ 0", 1, 1, "mnémonique inconnu « BNZ » (voulez-vous dire « BNEZ » ?)", true},
        {"blt 0", 1, 1, "mnémonique inconnu « blt » (voulez-vous dire « BLTZ » ?)", true},
        {"ADDD", 1, 1, "mnémonique inconnu « ADDD » (voulez-vous dire « ADD » ?)", true},
        {"SWAAP", 1, 1, "mnémonique inconnu « SWAAP » (voulez-vous dire « SWAP » ?)", true},
        {"total .octet 0", 1, 1,
         "mnémonique inconnu « total » (une étiquette se termine par « : »)", true},
        {std::string("NOP\nNOP ; x\0y", 13), 2, 8,
         "octet nul dans le source : un source est un fichier texte, pas un binaire", true},
        {".org $fffe\nPUSH 1", 2, 1, "« PUSH » en $fffe dépasserait la fin de la mémoire ($ffff)",
         true},
        {"NOP\nNOP\n.org 1\nADD", 4, 1, "l'adresse $0001 est déjà occupée par la ligne 2", true},
        {".org 1\nNOP\nNOP\n.org 0\nPUSH 1", 5, 1,
         "l'adresse $0001 est déjà occupée par la ligne 2", true},
        {"NOP\n.org $8000\nNOP", 3, 1,
         "le programme s'étend de $0000 à $8000 (32769 octets) : le chargeur en accepte au plus "
         "32763",
         true},
        {"A = 4294967295\nB = A + A\nC = B + B\nD = C + C\nE = D + D\nF = E + E\nG = F + F\n"
         "H = G + G\nI = H + H\nJ = I + I\nNOP",
         10, 9, "valeur démesurée dans l'expression", true},
        {"A = -4294967295\nB = A + A\nC = B + B\nD = C + C\nE = D + D\nF = E + E\nG = F + F\n"
         "H = G + G\nI = H + H\nJ = I + I\nNOP",
         10, 9, "valeur démesurée dans l'expression", true},
        {".org $fffd\nPUSH 1", 2, 1,
         "rien n'est stocké en $0000, où le processeur démarre (premier octet en $fffd)", false},
        {".org $0200\n  NOP", 2, 3,
         "rien n'est stocké en $0000, où le processeur démarre (premier octet en $0200)", false},
        {"; rien\n", 1, 1, "programme vide : aucune instruction ni donnée", true},
    };
    for (auto const& c : cas) {
        programme_assemble const p = assemble(c.source);
        ASSERT_EQ(p.diagnostics.size(), 1u) << c.source;
        diagnostic const& d = p.diagnostics[0];
        EXPECT_EQ(d.message, c.message) << c.source;
        EXPECT_EQ(d.ligne, c.ligne) << c.source;
        EXPECT_EQ(d.colonne, c.colonne) << c.source;
        EXPECT_EQ(d.erreur, c.erreur) << c.source;
        EXPECT_EQ(p.reussi(), !c.erreur) << c.source;
        if (c.erreur) {
            EXPECT_TRUE(p.image.empty() && p.lignes.empty()) << c.source;
        }
    }
}

TEST(Assemblage, CentErreursToutesSignalees) {
    std::string source;
    for (int i = 0; i < 100; ++i) {
        source += "PUSHX\n";
    }
    programme_assemble const p = assemble(source);
    ASSERT_EQ(p.diagnostics.size(), 100u);
    EXPECT_EQ(p.diagnostics[99].ligne, 100);
}

// Les 500 premieres erreurs dans l'ordre du source, quel que soit le passage qui
// les trouve, puis une derniere ligne ; assez d'erreurs pour que la liste se coupe
// en cours de route.
TEST(Assemblage, ArretApresCinqCentsErreurs) {
    std::string non_definis, inconnus;
    for (int i = 0; i < 600; ++i) {
        non_definis += "BT nulle\n";
        inconnus += "?\n";
    }
    const struct {
        std::string source;
        int colonne_de_la_501e;
    } cas[] = {{inconnus, 1}, {non_definis + inconnus, 4}};
    for (auto const& c : cas) {
        programme_assemble const p = assemble(c.source);
        ASSERT_EQ(p.diagnostics.size(), 501u);
        EXPECT_EQ(p.diagnostics[499].ligne, 500);
        diagnostic const& d = p.diagnostics[500];
        EXPECT_TRUE(d.erreur);
        EXPECT_EQ(d.ligne, 501);
        EXPECT_EQ(d.colonne, c.colonne_de_la_501e);
        EXPECT_EQ(d.message, "trop d'erreurs : arrêt après 500");
    }
}

// Symboles et correspondance adresses <-> lignes d'un meme source.
const std::string source_a_symboles = "\xEF\xBB\xBFN = 5\n" // 1
                                      "debut: PUSHI N\n"    // 2 : $0000
                                      "tab:\n"              // 3
                                      "  .octet 1, 2\n"     // 4 : $0002
                                      "mots: .mot 3\n"      // 5 : $0004
                                      "avant:\n"            // 6
                                      ".org $20\n"          // 7
                                      "  fin: .octet 9\n"   // 8 : $0020
                                      "  BT fin\n"          // 9 : $0021
                                      "P = PORTB ; fin\n";  // 10

TEST(Assemblage, TableDesSymbolesDuSource) {
    programme_assemble const p = assemble(source_a_symboles);
    ASSERT_TRUE(p.reussi());
    using s = symbole_source;
    const struct {
        char const* nom;
        long long valeur;
        s::sorte_symbole sorte;
        s::donnees_symbole donnees;
        int ligne, colonne;
    } attendus[] = {
        {"N", 5, s::constante, s::aucune, 1, 1},       {"debut", 0, s::etiquette, s::aucune, 2, 1},
        {"tab", 2, s::etiquette, s::octets, 3, 1},     {"mots", 4, s::etiquette, s::mots, 5, 1},
        {"avant", 6, s::etiquette, s::aucune, 6, 1},   {"fin", 0x20, s::etiquette, s::octets, 8, 3},
        {"P", 0x1004, s::constante, s::aucune, 10, 1},
    };
    ASSERT_EQ(p.symboles.size(), std::size(attendus)) << "sans les noms predefinis";
    for (std::size_t k = 0; k < p.symboles.size(); ++k) {
        s const& lu = p.symboles[k];
        auto const& a = attendus[k];
        EXPECT_EQ(lu.nom, a.nom);
        EXPECT_EQ(lu.valeur, a.valeur) << a.nom;
        EXPECT_EQ(lu.sorte, a.sorte) << a.nom;
        EXPECT_EQ(lu.donnees, a.donnees) << a.nom;
        EXPECT_EQ(lu.ligne, a.ligne) << a.nom;
        EXPECT_EQ(lu.colonne, a.colonne) << a.nom;
    }
    EXPECT_EQ(p.symbole("fin"), &p.symboles[5]);
    EXPECT_EQ(p.symbole("PORTB"), nullptr);
}

// Assez de noms pour que les tables de hachage s'agrandissent plusieurs fois.
TEST(Assemblage, DeuxCentsEtiquettes) {
    std::string source;
    for (int i = 0; i < 200; ++i) {
        source += "e" + std::to_string(i) + ": .mot e" + std::to_string(199 - i) + "\n";
    }
    programme_assemble const p = assemble(source + "BT E7\n");
    ASSERT_EQ(p.diagnostics.size(), 1u) << p.diagnostics[0].message;
    EXPECT_EQ(p.diagnostics[0].message, "étiquette « E7 » non définie (voulez-vous dire « e7 » ?)");
    ASSERT_EQ(p.symboles.size(), 200u);
    EXPECT_EQ(p.symbole("e150")->valeur, 300);
}

TEST(Assemblage, AdressesEtLignes) {
    programme_assemble const p = assemble(source_a_symboles);
    ASSERT_TRUE(p.reussi());
    const int ligne_en[][2] = {{0, 2},    {1, 0},    {2, 4},    {3, 0},    {4, 5},     {6, 0},
                               {0x20, 8}, {0x21, 9}, {0x22, 0}, {0x24, 0}, {0xFFFF, 0}};
    for (auto const& c : ligne_en) {
        EXPECT_EQ(p.ligne_en(static_cast<unsigned short>(c[0])), c[1]) << "adresse " << c[0];
    }
    const int adresse_de_ligne[][2] = {{1, 0},    {2, 0},    {3, 2},   {5, 4},   {6, 0x20},
                                       {8, 0x20}, {9, 0x21}, {10, -1}, {100, -1}};
    for (auto const& c : adresse_de_ligne) {
        EXPECT_EQ(p.adresse_de_ligne(c[0]), c[1]) << "ligne " << c[0];
    }
    programme_assemble const loin = assemble(".org $100\nNOP");
    EXPECT_EQ(loin.ligne_en(0), 0) << "sous la base";
    EXPECT_EQ(loin.ligne_en(0x100), 2);
}

// Le desassembleur relit chaque instruction assemblee sous le meme mnemonique, avec
// l'operande attendu ; les branchements montrent le deplacement depuis leur opcode.
TEST(Assemblage, AllerRetourParLeDesassembleurPourChaqueOpcode) {
    const unsigned short adresses[] = {0x0000, 0x0100, 0x7000};
    const long operandes[] = {0, 1, 127, -128, 255, 0x7FFF, 0xFFFF};
    for (int op = 0; op < nombre_opcodes_definis; ++op) {
        std::string const m = internal_mp_interpreteur_libelle_instruction[op];
        int const taille = internal_mp_interpreteur_taille_instruction[op];
        for (unsigned short adresse : adresses) {
            for (long v : operandes) {
                if ((taille == 2 && v > 255) || (taille == 3 && v < 0) || (taille == 1 && v != 0)) {
                    continue;
                }
                std::string const source = ".org " + std::to_string(adresse) + "\n" + m +
                                           (taille == 1 ? "" : " " + std::to_string(v));
                programme_assemble const p = assemble(source);
                ASSERT_TRUE(p.reussi()) << source;
                ASSERT_EQ(p.image.size(), static_cast<std::size_t>(taille)) << source;
                auto memoire = std::make_unique<mem_64k>();
                ASSERT_EQ(memoire->load_image(p.base, p.image), 1);
                mp_interpreteur cpu;
                cpu.learn_mem(memoire.get());
                char texte[11];
                cpu.desassemblage_instruction(adresse, texte);
                char attendu[32];
                if (taille == 1) {
                    std::snprintf(attendu, sizeof attendu, "%s", m.c_str());
                } else if (taille == 2) {
                    std::snprintf(attendu, sizeof attendu, "%s %d", m.c_str(),
                                  static_cast<signed char>(v));
                } else {
                    bool const branchement = m[0] == 'B';
                    std::snprintf(attendu, sizeof attendu, "%s $%04lx", m.c_str(),
                                  branchement ? (v - adresse) & 0xFFFF : v);
                }
                EXPECT_STREQ(texte, attendu) << source;
            }
        }
    }
}

} // namespace

namespace {

// La distance d'edition entiere (celle des « voulez-vous dire »), casse ignoree.
std::size_t distance_simple(std::string a, std::string b) {
    for (std::string* s : {&a, &b}) {
        for (char& c : *s) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return distance_edition(a, b);
}

// L'index des symboles et le nom le plus proche, contre une recherche lineaire et
// la distance d'edition entiere, sur des noms tires au hasard.
TEST(Assemblage, IndexDesSymbolesEtNomLePlusProche) {
    std::mt19937 hasard(7);
    auto const nom = [&hasard] {
        std::string n(1 + hasard() % 6, 'a');
        for (char& c : n) {
            c = "abcAB_"[hasard() % 6];
        }
        return n[0] == '_' ? "x" + n : n;
    };
    std::string source;
    for (int i = 0; i < 300; ++i) {
        source += nom() + " = " + std::to_string(i) + "\n";
    }
    programme_assemble const p = assemble(source + "NOP\n");
    for (int q = 0; q < 400; ++q) {
        std::string const cherche = nom();
        symbole_source const* lineaire = nullptr;
        for (symbole_source const& s : p.symboles) {
            lineaire = lineaire || s.nom != cherche ? lineaire : &s;
        }
        EXPECT_EQ(p.symbole(cherche), lineaire) << cherche;
        for (std::size_t fautes : {0u, 1u, 2u}) {
            std::string attendu;
            std::size_t meilleure = fautes + 1;
            for (symbole_source const& s : p.symboles) {
                std::size_t const d = distance_simple(cherche, s.nom);
                if (s.nom != cherche && d < meilleure) {
                    meilleure = d;
                    attendu = s.nom;
                }
            }
            EXPECT_EQ(p.symbole_proche(cherche, fautes), attendu) << cherche << " " << fautes;
        }
    }
}

} // namespace
