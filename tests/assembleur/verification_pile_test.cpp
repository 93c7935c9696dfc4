// La verification de la pile : chaque sorte de faute donne son avertissement sur
// sa ligne, les programmes equilibres n'en ont aucun, et chaque ligne porte les
// profondeurs possibles avant elle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembleur/assembleur.h"

namespace {

// Les avertissements, "ligne: message".
std::vector<std::string> avertissements(programme_assemble const& p) {
    std::vector<std::string> a;
    for (diagnostic const& d : p.diagnostics) {
        EXPECT_FALSE(d.erreur) << d.message;
        a.push_back(std::to_string(d.ligne) + ": " + d.message);
    }
    return a;
}

// La boucle qui oublie que CMP ne depile pas.
const std::string boucle_cmp = "; compte jusqu'a 20\n"
                               "        PUSHI 0\n"
                               "boucle: DUP\n"
                               "        POP PORTB\n"
                               "        PUSHI 1\n"
                               "        ADD\n"
                               "        PUSHI 20\n"
                               "        CMP\n"
                               "        BNEZ boucle\n"
                               "fin:    BT fin\n";

TEST(VerificationPile, ChaqueFauteSurSaLigne) {
    const struct {
        std::string source;
        std::vector<std::string> attendus;
    } cas[] = {
        {boucle_cmp,
         {"3: la pile peut être pleine ici (DUP), après des tours de la boucle de « boucle »",
          "9: la boucle de « boucle » (lignes 3–9) laisse un octet de plus sur la pile à chaque "
          "tour : CMP (ligne 8) ne dépile pas"}},
        {"debut: PUSH PORTE\n BEQZ saute\n PUSHI 1\nsaute: ADD\n POP PORTB\n BT debut\n",
         {"4: la pile peut être vide ici (ADD), après la ligne 2 sans passer par la ligne 3"}},
        {" DROP\n DROP\n BT *\n", {"1: la pile est vide ici (DROP)"}},
        {"b: PUSHI 1\n BT b\n",
         {"1: la pile peut être pleine ici (PUSHI), après des tours de la boucle de « b »",
          "2: la boucle de « b » (lignes 1–2) laisse un octet de plus sur la pile à chaque tour "
          "(la ligne 1 empile)"}},
        {"PUSHI 9\nb: DROP\n PUSHI 0\n BEQZ b\n BT *\n", {}},
        {"PUSHI 9\nb: DROP\n PUSH PORTE\n BNEZ b\n BT *\n", {}},
        {"b: PUSH PORTE\n BEQZ s\n DROP\ns: BT b\n",
         {"1: la pile peut être pleine ici (PUSH), après des tours de la boucle de « b »",
          "4: la boucle de « b » (lignes 1–4) peut laisser un octet de plus sur la pile à chaque "
          "tour (la ligne 1 empile ; la ligne 3 dépile)"}},
        {" PUSHI 1\n POP i\ni: .octet 0\n",
         {"2: l'exécution continue dans les données (ligne 3) : il manque un BT * ?"}},
        {" NOP\n",
         {"1: l'exécution continue en $0001, où rien n'est stocké : il manque un BT * ?"}},
        {" BEQZ tab\n BT $2000\ntab: .octet 0\n",
         {"1: le branchement mène dans les données (ligne 3)",
          "2: le branchement mène en $2000, où rien n'est stocké"}},
        {" BT 1\n", {"1: le branchement mène au milieu de l'instruction de la ligne 1"}},
        {" PUSHI $1A\n POP ici\nici: NOP\n BT *\n",
         {"2: POP écrit dans le code, sur l'instruction de la ligne 3 : la vérification de la "
          "pile s'arrête là"}},
        {" PUSHI 0\n POP fin+1\nfin: BT fin\n",
         {"2: POP écrit dans le code, dans le déplacement du branchement de la ligne 3 : la "
          "vérification de la pile s'arrête là"}},
        {" DROP ; @pile-ok\n BT *\n", {}},
        // BC ne saute jamais (C reste a 0), BNC toujours.
        {" BC loin\n BNC fin\n DROP\nfin: BT fin\nloin: DROP\n BT *\n", {}},
        // Une table parcourue en changeant l'operande de PUSH : rien a dire.
        {"lit: PUSH tab\n POP PORTB\n PUSH lit+2\n PUSHI 1\n ADD\n POP lit+2\n BT lit\n"
         "tab: .octet 1,2,3\n",
         {}},
        {"; rien\n", {}},
        {".org 2\n DROP\n",
         {"2: rien n'est stocké en $0000, où le processeur démarre (premier "
          "octet en $0002)"}},
    };
    for (auto const& c : cas) {
        programme_assemble const p = assemble(c.source);
        if (c.source == "; rien\n") {
            EXPECT_FALSE(p.reussi()) << "programme vide : une erreur";
            continue;
        }
        EXPECT_TRUE(p.reussi()) << c.source;
        EXPECT_EQ(avertissements(p), c.attendus) << c.source;
    }
}

TEST(VerificationPile, ProfondeursDeChaqueLigne) {
    const struct {
        std::string source;
        std::vector<std::string> profondeurs; // des lignes qui stockent, dans l'ordre
    } cas[] = {
        {boucle_cmp, {"0", "1-16", "2-16", "1-15", "2-16", "1-15", "2-16", "2-16", "2-16"}},
        {" PUSH PORTE\n BEQZ s\n PUSHI 1\ns: NOP\n BT *\n", {"0", "1", "1", "1-2", "1-2"}},
        {" BT fin\n DROP\nfin: BT fin\n.octet 5\n", {"0", "-", "0", ""}},
        {" PUSHI $1A\n POP ici\nici: NOP\n BT *\n", {"0", "1", "?", "?"}},
        {".org 1\n NOP\n", {"?"}},
        {" BNEZ pair\n PUSHI 1\n PUSHI 1\npair: NOP\n BT *\n", {"0", "0", "1", "0,2", "0,2"}},
    };
    for (auto const& c : cas) {
        programme_assemble const p = assemble(c.source);
        std::vector<std::string> vues;
        for (ligne_assemblee const& l : p.lignes) {
            vues.push_back(l.instruction ? texte_profondeurs(l.profondeurs) : "");
        }
        EXPECT_EQ(vues, c.profondeurs) << c.source;
    }
}

TEST(VerificationPile, LaBoucleEnDonnees) {
    programme_assemble const p = assemble(boucle_cmp);
    ASSERT_EQ(p.boucles.size(), 1u);
    boucle_pile const& b = p.boucles[0];
    EXPECT_EQ(b.nom, "boucle");
    EXPECT_EQ(b.entete, 0x0002);
    EXPECT_EQ(b.par_tour, 1);
    EXPECT_TRUE(b.chaque_tour);
    EXPECT_EQ(b.empilent, (std::vector<int>{3, 5, 7}));
    EXPECT_EQ(b.depilent, (std::vector<int>{4, 6}));
    EXPECT_EQ(b.ligne_cmp, 8);
}

} // namespace
