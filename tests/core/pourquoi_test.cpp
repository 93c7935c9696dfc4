// « Pourquoi ? » : la chaine d'une valeur a travers un POP, une donnee du
// programme, une entree posee par un evenement et une edition a la main ; l'arret
// sur une pile pleine par une boucle ; une origine plus ancienne que l'historique ;
// le compte des pas et l'effet du dernier pas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "execution/moteur.h"
#include "explication/pourquoi.h"

namespace {

// Le programme tourne dans le moteur, historique allume ; chaque maillon est
// resume par "profondeur sorte ligne : phrase".
struct enquete_test {
    machine_seule seule;
    programme_charge p;
    arret_decrit a;
    std::vector<ecriture_exterieure> ecritures;

    enquete_test(std::string const& source, demande_execution const& d) {
        p = programme_source(assemble(source));
        EXPECT_TRUE(p.charge) << source;
        seule.m().garde_historique(true);
        a = lance_programme(seule, p, d);
        for (octets_poses const& o : d.memoire) {
            for (std::size_t i = 0; i < o.octets.size(); ++i) {
                ecritures.push_back({ecriture_exterieure::pose, 0,
                                     static_cast<unsigned short>(o.adresse + i), o.octets[i]});
            }
        }
        for (evenement_entree const& e : d.entrees) {
            ecritures.push_back(
                {e.pas == 0 ? ecriture_exterieure::entree : ecriture_exterieure::evenement,
                 static_cast<unsigned long long>(e.pas), ports_machine[e.port].adresse_valeur,
                 e.valeur});
        }
    }
    explication demande(question_pourquoi q) {
        return pourquoi(seule.m(), &p.assemble, ecritures, q,
                        {a.bilan.raison, a.bilan.adresse, a.bilan.pile});
    }
};

char const* const sortes[] = {"instruction", "donnee", "ecriture",        "port",
                              "chargement",  "depart", "avant_historique"};

std::vector<std::string> resume(explication const& e) {
    std::vector<std::string> r;
    for (maillon const& l : e.maillons) {
        r.push_back(std::to_string(l.profondeur) + " " + sortes[l.sorte] + " " +
                    std::to_string(l.ligne) + " : " + l.phrase);
    }
    return r;
}

question_pourquoi question(question_pourquoi::sorte_question sorte) {
    question_pourquoi q;
    q.sorte = sorte;
    return q;
}

question_pourquoi memoire(unsigned short a) {
    question_pourquoi q = question(question_pourquoi::memoire);
    q.adresse = a;
    return q;
}

const std::string echo = "b: PUSH PORTE\n"    // 1
                         " POP PORTB\n"       // 2
                         " PUSH donnee\n"     // 3
                         " POP copie\n"       // 4
                         " BT b\n"            // 5
                         "donnee: .octet 7\n" // 6 : $000f
                         "copie: .octet 0\n"; // 7 : $0010

TEST(Pourquoi, ChaqueOrigineDUneValeur) {
    demande_execution evenement;
    evenement.pas_max = 12;
    evenement.entrees = {{0, 4, 5}, {6, 4, 9}};
    demande_execution pose;
    pose.pas_max = 4;
    pose.memoire = {{0x000f, {3}}};
    const struct {
        std::string nom;
        demande_execution demande;
        question_pourquoi question;
        std::vector<std::string> attendus;
    } cas[] = {
        {"entree par un evenement",
         evenement,
         memoire(0x1004),
         {"0 instruction 2 : a écrit 9 ($09) en $1004, port B",
          "1 instruction 1 : a empilé 9 ($09), lu en $100a, port E",
          "2 ecriture 0 : entrée posée par un événement : 9 ($09) en $100a, port E, après 6 "
          "instructions"}},
        {"donnee du programme",
         demande_execution{4, {}, {}, {}},
         memoire(0x0010),
         {"0 instruction 4 : a écrit 7 ($07) en $0010, copie",
          "1 instruction 3 : a empilé 7 ($07), lu en $000f, donnee",
          "2 donnee 6 : chargé avec le programme : la donnée de la ligne 6"}},
        {"octet pose par un cas",
         pose,
         memoire(0x0010),
         {"0 instruction 4 : a écrit 3 ($03) en $0010, copie",
          "1 instruction 3 : a empilé 3 ($03), lu en $000f, donnee",
          "2 ecriture 0 : posé par le cas (ou --pose) : 3 ($03) en $000f, donnee, avant la "
          "première instruction"}},
        {"registre d'entree reecrit par son port",
         demande_execution{2, {}, {}, {{0, 4, 5}}},
         memoire(0x100a),
         {"0 port 0 : le port E a réécrit 5 ($05) dans son registre après le pas 2 (ses bits "
          "d'entrée restent les siens)"}},
        {"jamais ecrit",
         demande_execution{4, {}, {}, {}},
         memoire(0x0200),
         {"0 chargement 0 : mis à 0 au chargement, rien ne l'a écrit depuis"}},
    };
    for (auto const& c : cas) {
        enquete_test e(c.nom[0] == 'r' ? "PUSHI 9\nPOP PORTE\nBT *\n" : echo, c.demande);
        EXPECT_EQ(resume(e.demande(c.question)), c.attendus) << c.nom;
    }
}

TEST(Pourquoi, EditionALaMainPuisCalcul) {
    enquete_test e("b: PUSH x\n PUSHI 1\n ADD\n POP x\n BT b\nx: .octet 0\n",
                   demande_execution{5, {}, {}, {}});
    // Tapé a la main apres 5 pas, puis encore quatre pas : x = 40 + 1.
    e.seule.memoire().write_byte(0x000c, 40);
    e.seule.m().memoire_touchee();
    e.ecritures.push_back({ecriture_exterieure::edition, 5, 0x000c, 40});
    for (int k = 0; k < 4; ++k) {
        e.seule.m().pas();
    }
    EXPECT_EQ(resume(e.demande(memoire(0x000c))),
              (std::vector<std::string>{
                  "0 instruction 4 : a écrit 41 ($29) en $000c, x",
                  "1 instruction 3 : a calculé 41 ($29) de 40 et 1",
                  "2 instruction 1 : a empilé 40 ($28), lu en $000c, x",
                  "2 instruction 2 : a empilé 1 ($01), son opérande",
                  "3 ecriture 0 : tapé à la main : 40 ($28) en $000c, x, après 5 instructions"}));
}

TEST(Pourquoi, PilePleineParUneBoucle) {
    enquete_test e("        PUSHI 0\nboucle: DUP\n        POP PORTB\n        PUSHI 1\n"
                   "        ADD\n        PUSHI 20\n        CMP\n        BNEZ boucle\n"
                   "fin:    BT fin\n",
                   demande_execution{});
    ASSERT_EQ(e.a.bilan.raison, arret::erreur_pile);
    explication const r = e.demande(question(question_pourquoi::arret));
    EXPECT_EQ(r.resume, "pile pleine : DUP ligne 2 au pas 107");
    EXPECT_EQ(resume(r),
              (std::vector<std::string>{
                  "0 instruction 2 : a trouvé la pile pleine (16 entrées)",
                  "1 instruction 5 : a posé 15 entrées (0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, "
                  "13 et 14), la dernière ici",
                  "1 instruction 6 : a posé l'entrée 15"}));
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_EQ(r.notes[0], "chaque tour de la boucle de « boucle » (lignes 2–8) laisse un octet de "
                          "plus sur la pile ; empilent : lignes 2, 4 et 6 ; dépilent : lignes 3 "
                          "et 5 ; CMP (ligne 7) ne dépile pas ; 16 tours vus dans l'historique");
    ASSERT_FALSE(r.maillons.empty());
    EXPECT_EQ(r.maillons[0].reculs, 0u);
    EXPECT_EQ(r.maillons[1].reculs, 4u) << "l'ADD du dernier tour, quatre pas plus tot";
    EXPECT_EQ(r.maillons[1].consommees, (std::vector<int>{20, 1}));
    EXPECT_EQ(r.maillons[1].produites, (std::vector<int>{21}));
}

TEST(Pourquoi, DrapeauxEtPileVide) {
    enquete_test e("PUSHI 3\nPUSHI 3\nCMP\nDROP\nDROP\nDROP\nBT *\n", demande_execution{});
    question_pourquoi z = question(question_pourquoi::drapeau);
    z.masque = CCR_Z;
    EXPECT_EQ(resume(e.demande(z)),
              (std::vector<std::string>{
                  "0 instruction 3 : a tiré Z et N de 0 ($00) (différence de ses deux entrées)",
                  "1 instruction 1 : a empilé 3 ($03), son opérande",
                  "1 instruction 2 : a empilé 3 ($03), son opérande"}));
    EXPECT_EQ(resume(e.demande(question(question_pourquoi::arret))),
              (std::vector<std::string>{
                  "0 instruction 6 : a trouvé la pile vide : il lui faut 1 entrée, il y en avait 0",
                  "1 instruction 5 : a ôté l'entrée qui manque : 1 entrée avant elle, 0 après"}));
}

// Au-dela de l'anneau, l'origine est dite plus ancienne que l'historique.
TEST(Pourquoi, OrigineAuDelaDeLHistorique) {
    enquete_test e("PUSHI 7\nPOP x\nb: NOP\nBT b\nx: .octet 0\n",
                   demande_execution{300000, {}, {}, {}});
    explication const r = e.demande(memoire(0x0009));
    ASSERT_EQ(r.maillons.size(), 1u);
    EXPECT_EQ(r.maillons[0].sorte, maillon::avant_historique);
    EXPECT_TRUE(r.historique_depasse);
    EXPECT_EQ(r.historique, e.seule.m().capacite_historique());
    EXPECT_EQ(e.seule.m().pas_enregistres(), 300000u);
    e.seule.m().garde_historique(false);
    EXPECT_TRUE(e.demande(memoire(0x0009)).maillons.empty()) << "sans historique, rien";
}

TEST(Pourquoi, EffetDuDernierPas) {
    const struct {
        std::string source;
        int pas;
        int sp_avant, premiere, derniere, otees;
        bool echec;
    } cas[] = {
        {"PUSHI 1\nDUP\nBT *", 2, 0, 1, 1, 0, false},
        {"PUSHI 1\nPUSHI 2\nSWAP\nBT *", 3, 1, 0, 1, 0, false},
        {"PUSHI 1\nPUSHI 2\nADD\nBT *", 3, 1, 0, 0, 1, false},
        {"PUSHI 1\nPUSHI 2\nCMP\nBT *", 3, 1, 0, -1, 0, false},
        {"DROP ; @pile-ok\nBT *", 1, -1, 0, -1, 0, true},
    };
    for (auto const& c : cas) {
        enquete_test e(c.source, demande_execution{c.pas, {}, {}, {}});
        effet_dernier_pas const d = dernier_pas(e.seule.m());
        EXPECT_TRUE(d.connu) << c.source;
        EXPECT_EQ(d.echec, c.echec) << c.source;
        EXPECT_EQ(d.sp_avant, c.sp_avant) << c.source;
        EXPECT_EQ(d.premiere, c.premiere) << c.source;
        EXPECT_EQ(d.derniere, c.derniere) << c.source;
        EXPECT_EQ(d.otees, c.otees) << c.source;
    }
}

} // namespace
