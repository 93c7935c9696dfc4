// Execution continue : raisons d'arret et leur ordre, textes d'etat, et la
// cadence du mode marche sur une horloge simulee.
#include <gtest/gtest.h>

#include <algorithm>

#include "banc_moteur.h"
#include "simulateur/marche.h"

namespace {

std::vector<int> const bt_sur_place = {0x1A, 0x00, 0x00};
// PUSHI 3 ; PUSHI 1 ; SUB ; BNEZ $0002 ; 0008 BT *
std::vector<int> const rebours = {0x01, 0x03, 0x01, 0x01, 0x09, 0x15, 0xFF, 0xFD, 0x1A, 0, 0};
// PUSHI 1 ; NOP ; NOP ; 0004 SUB sur une seule entree ; 0005 BT *
std::vector<int> const erreur = {0x01, 0x01, 0x1B, 0x1B, 0x09, 0x1A, 0x00, 0x00};

constexpr erreur_pile_sorte vide = erreur_pile_sorte::vide;

struct cas_arret {
    char const* nom;
    std::vector<int> const& programme;
    std::vector<int> points;
    long long n;
    bool depart, limite_est_arret;
    unsigned char ccr;
    arret raison;
    unsigned short adresse;
    long long pas;
    erreur_pile_sorte pile = erreur_pile_sorte::aucune;
};

cas_arret const cas_arrets[] = {
    {"BT *", bt_sur_place, {}, 100, true, true, 0, arret::boucle, 0, 1},
    {"compte a rebours", rebours, {}, 100, true, true, 0, arret::boucle, 8, 11},
    {"erreur de pile", erreur, {}, 100, true, true, 0, arret::erreur_pile, 4, 4, vide},
    {"E deja leve", erreur, {}, 100, true, true, CCR_E, arret::erreur_pile, 4, 4, vide},
    {"point d'arret", rebours, {5}, 100, true, true, 0, arret::point_arret, 5, 3},
    {"point au depart passe", rebours, {0}, 100, true, true, 0, arret::boucle, 8, 11},
    {"point au depart garde", rebours, {0}, 100, false, true, 0, arret::point_arret, 0, 0},
    {"limite", rebours, {}, 5, true, true, 0, arret::limite, 4, 5},
    {"fin de tranche", rebours, {}, 5, true, false, 0, arret::aucun, 4, 5},
    {"aucun pas", rebours, {}, 0, true, true, 0, arret::limite, 0, 0},
    {"erreur avant point", erreur, {5}, 100, true, true, 0, arret::erreur_pile, 4, 4, vide},
    {"boucle avant point", bt_sur_place, {0}, 100, true, true, 0, arret::boucle, 0, 1},
    {"point avant limite", rebours, {4}, 2, true, true, 0, arret::point_arret, 4, 2},
    {"erreur avant limite", erreur, {}, 4, true, true, 0, arret::erreur_pile, 4, 4, vide},
    {"boucle avant limite", bt_sur_place, {}, 1, true, true, 0, arret::boucle, 0, 1},
};

TEST(execute, s_arrete_pour_la_bonne_raison) {
    for (cas_arret const& c : cas_arrets) {
        banc_moteur b;
        b.pose(0, c.programme);
        b.cpu.set_CCR_value(c.ccr);
        points_arret points;
        for (int a : c.points) {
            points.bascule(static_cast<unsigned short>(a));
        }
        bilan_execution const r = execute(b.m, &points, c.n, c.depart, c.limite_est_arret);
        EXPECT_EQ(r.raison, c.raison) << c.nom;
        EXPECT_EQ(r.adresse, c.adresse) << c.nom;
        EXPECT_EQ(r.pas, c.pas) << c.nom;
        EXPECT_EQ(r.pile, c.pile) << c.nom;
    }
}

TEST(texte_etat, dit_ce_que_fait_la_machine) {
    struct cas {
        bool en_marche;
        arret raison;
        unsigned short adresse;
        char const* texte;
        erreur_pile_sorte pile = erreur_pile_sorte::aucune;
    } const table[] = {
        {true, arret::point_arret, 7, "En marche"},
        {false, arret::point_arret, 7, "Arrêt : point d'arrêt en $0007"},
        {false, arret::boucle, 0xb, "Arrêt : fin de programme (boucle en $000b)"},
        {false, arret::erreur_pile, 4, "Arrêt : erreur de pile en $0004"},
        {false, arret::erreur_pile, 4, "Arrêt : pile pleine en $0004", erreur_pile_sorte::pleine},
        {false, arret::erreur_pile, 0x1c, "Arrêt : pile vide en $001c", erreur_pile_sorte::vide},
        {false, arret::demande, 4, "Arrêt demandé"},
        {false, arret::aucun, 4, ""},
    };
    for (cas const& c : table) {
        EXPECT_EQ(texte_etat(c.en_marche, c.raison, c.adresse, c.pile), c.texte);
    }
}

// PLAY, STOP et arrets dans le mode marche ; l'horloge ne bouge pas.
TEST(mode_marche, arrets_et_reprises) {
    banc_moteur b;
    b.pose(0, rebours);
    mode_marche marche(b.m, [] { return 0.0; });
    marche.regle_vitesse(vitesse_max);
    marche.points().bascule(5);
    marche.demarre();
    EXPECT_EQ(marche.texte(), "En marche");
    mode_marche::tranche t = marche.avance();
    EXPECT_TRUE(t.redessine);
    EXPECT_EQ(t.pas, 3);
    EXPECT_EQ(marche.texte(), "Arrêt : point d'arrêt en $0005");
    marche.demarre(); // depuis le point d'arret : il est passe, puis retrouve
    EXPECT_EQ(marche.avance().pas, 3);
    marche.points().efface();
    EXPECT_FALSE(marche.points().contient(5));
    marche.demarre();
    marche.avance();
    EXPECT_EQ(marche.texte(), "Arrêt : fin de programme (boucle en $0008)");
    marche.demarre();
    marche.arrete();
    EXPECT_EQ(marche.texte(), "Arrêt demandé");
    EXPECT_EQ(marche.avance().pas, 0);
}

struct cas_cadence {
    int vitesse;
    double retard; // reveil en retard sur chaque rendez-vous
    // Instructions en 5 s ; en max, pres de 25 ms de tranche pour 2 ms de dessin.
    long long au_moins, au_plus;
};

class cadence : public ::testing::TestWithParam<cas_cadence> {};

// Cinq secondes simulees : une instruction coute 1 us, un dessin 2 ms.
TEST_P(cadence, tient_sa_vitesse_et_redessine_assez) {
    cas_cadence const& c = GetParam();
    constexpr double cout_instruction = 1e-6, cout_dessin = 0.002, duree = 5;
    banc_moteur b;
    b.pose(0, programmes[0].octets);
    double repos = 0; // temps passe hors des tranches
    mode_marche const* lue = nullptr;
    auto const heure = [&] { return repos + cout_instruction * lue->pas_faits(); };
    mode_marche marche(b.m, heure);
    lue = &marche;
    marche.regle_vitesse(c.vitesse);
    marche.demarre();
    double dernier_dessin = 0, plus_long_sans_dessin = 0;
    long long plus_grande_tranche = 0;
    while (true) {
        if (marche.rendez_vous() > heure()) {
            repos += marche.rendez_vous() - heure() + c.retard;
        }
        if (heure() >= duree) {
            break;
        }
        mode_marche::tranche const t = marche.avance();
        // Arretee, la marche n'avancerait plus l'heure : la boucle ne finirait pas.
        ASSERT_TRUE(marche.en_marche())
            << marche.texte() << " apres " << marche.pas_faits() << " instructions";
        plus_grande_tranche = std::max(plus_grande_tranche, t.pas);
        if (t.redessine) {
            plus_long_sans_dessin = std::max(plus_long_sans_dessin, heure() - dernier_dessin);
            repos += cout_dessin;
            dernier_dessin = heure();
        }
        ASSERT_EQ(t.redessine, t.pas > 0);
    }
    EXPECT_GE(marche.pas_faits(), c.au_moins);
    EXPECT_LE(marche.pas_faits(), c.au_plus);
    if (c.vitesse == vitesse_max || c.vitesse > 25) {
        EXPECT_LE(plus_long_sans_dessin, 1.0 / 25);
    } else {
        EXPECT_EQ(plus_grande_tranche, 1); // chaque instruction montree
    }
    EXPECT_LE(plus_grande_tranche * cout_instruction, 0.05); // STOP pris en 50 ms
}

cas_cadence const cadences[] = {
    {1, 0.015, 5, 5},
    {10, 0.015, 45, 55},
    {10, 0.15, 45, 55}, // en retard : rattrape une instruction apres l'autre
    {10, 0.4, 9, 11},   // tres en retard : repart de maintenant, sans rafale
    {100, 0.005, 450, 550},
    {1000, 0.005, 4500, 5500},
    {vitesse_max, 0, 4400000, 4800000},
};

INSTANTIATE_TEST_SUITE_P(vitesses, cadence, ::testing::ValuesIn(cadences), [](auto const& info) {
    cas_cadence const& c = info.param;
    return "vitesse_" + (c.vitesse == vitesse_max ? "max" : std::to_string(c.vitesse)) +
           "_retard_" + std::to_string(static_cast<int>(c.retard * 1000 + 0.5)) + "_ms";
});

} // namespace
