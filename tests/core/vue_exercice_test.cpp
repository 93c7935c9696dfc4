// Ce que la fenetre d'un exercice montre, sans fenetre : textes coupes a un
// caractere ; et les tranches d'une correction annulable, qui ne changent rien.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "exercices/vue_exercice.h"

namespace {

TEST(VueExercice, LesTextesSontCoupesAUnCaractere) {
    struct ligne {
        std::string texte;
        std::size_t max;
        std::string attendu;
    } const table[] = {{"abc", 3, "abc"},  {"abcd", 3, "ab…"}, {"ééé", 3, "ééé"},
                       {"éééé", 3, "éé…"}, {"abc", 0, ""},     {std::string(9, 'x'), 5, "xxxx…"}};
    for (ligne const& l : table) {
        EXPECT_EQ(borne(l.texte, l.max), l.attendu);
    }
    std::vector<std::string> const lignes = borne_lignes(std::vector<std::string>(1000, "l"), 500);
    ASSERT_EQ(lignes.size(), 500u);
    EXPECT_EQ(lignes.back(), "… et 501 lignes de plus");
}

// Avec un drapeau baisse (tranches de 65 536 pas), les memes bilans que sans :
// limite, evenements, fin et point d'arret passent les coupes.
TEST(Annulation, LesTranchesNeChangentAucunResultat) {
    char const* const attente = "boucle: PUSH PORTE\nPUSHI 1\nAND\nDROP\nBEQZ boucle\nBT *\n";
    struct ligne {
        char const* source;
        long long pas_max;
        std::vector<evenement_entree> entrees;
        std::vector<unsigned short> points;
        arret raison;
    } const table[] = {
        {"boucle: PUSH PORTE\nPOP PORTB\nBT boucle\n",
         300000,
         {{70000, 4, 3}, {196608, 4, 9}},
         {},
         arret::limite},
        {attente, 1000000, {{131072, 4, 1}}, {}, arret::boucle},
        {attente, 1000000, {{65537, 4, 1}}, {0x000a}, arret::point_arret}, // sur BT *
    };
    std::atomic<bool> const baisse{false};
    for (ligne const& l : table) {
        SCOPED_TRACE(l.source);
        programme_charge const p = programme_source(assemble(l.source));
        demande_execution d{l.pas_max, l.points, {}, l.entrees};
        machine_seule sans, avec;
        arret_decrit const a = lance_programme(sans, p, d);
        d.annule = &baisse;
        arret_decrit const b = lance_programme(avec, p, d);
        EXPECT_EQ(a.bilan.raison, l.raison);
        EXPECT_EQ(b.bilan.raison, l.raison);
        EXPECT_EQ(a.bilan.pas, b.bilan.pas);
        EXPECT_EQ(a.bilan.adresse, b.bilan.adresse);
        EXPECT_EQ(sans.memoire().read_byte(ports_machine[1].adresse_valeur),
                  avec.memoire().read_byte(ports_machine[1].adresse_valeur));
    }
}

} // namespace
