// Exercice dans la fenetre, comme un etudiant s'en sert : ouvert par la ligne de
// commande, "Vérifier" (correction dans un fil, fenetre jamais bloquee), puis un
// cas echoue prepare et lance en marche : ses evenements arrivent au meme pas que
// chez le correcteur, et le pas arriere les defait.
#include <string>

#include "banc.h"

namespace {

using exercice = banc;

// Attend bien le bouton, mais n'allume que quatre sorties.
char const* const copie_fausse = "attente: PUSH PORTE\n"
                                 "         PUSHI 1\n"
                                 "         AND\n"
                                 "         DROP\n"
                                 "         BEQZ attente\n"
                                 "         PUSHI $0F\n"
                                 "         POP PORTB\n"
                                 "         BT *\n";

TEST_F(exercice, verifier_puis_preparer_un_cas_echoue_et_le_lancer) {
    relance({"-kbd", "--exercice", KARVELA_SOURCE "/examples/exercices/attente_bouton.toml",
             ecrit_fichier("copie.asm", copie_fausse)});
    barre_exercice_class& barre = acces_simulateur::barre_exercice(*sim);
    fenetre_exercice_class& fe = acces_simulateur::fenetre_exercice(*sim);
    EXPECT_FALSE(barre.B_VERIFIER->active()) << "grise sans exercice";
    EXPECT_EQ(sim->passe_commande(), 1); // le programme
    EXPECT_EQ(sim->passe_commande(), 1); // l'exercice
    ASSERT_TRUE(fe.exercice->visible());
    EXPECT_STREQ(fe.exercice->label(), "Exercice — Attente d'un appui");
    ASSERT_TRUE(barre.B_VERIFIER->active());

    clique(barre.B_VERIFIER);
    EXPECT_FALSE(barre.B_VERIFIER->active()) << "une correction a la fois";
    for (int n = 0; n < 400 && !barre.B_VERIFIER->active(); ++n) {
        EXPECT_EQ(sim->passe_commande(), 1);
    }
    ASSERT_TRUE(barre.B_VERIFIER->active()) << "correction jamais finie";
    EXPECT_EQ(std::string(libelle(fe.TOTAL)).rfind("1/6 points pour ", 0), 0u) << libelle(fe.TOTAL);
    ASSERT_EQ(fe.CAS->size(), 5);
    EXPECT_STREQ(fe.CAS->text(2), "@C88@.✘ appui tardif : port B vaut 15, attendu 255");

    fe.CAS->value(2);
    clique(fe.CAS);
    ASSERT_TRUE(fe.PREPARER->active());
    clique(fe.PREPARER);
    EXPECT_STREQ(libelle(fe.PREPARE), "Cas préparé : appui tardif ; événements aux pas 200");
    EXPECT_STREQ(libelle(acces_simulateur::barre_marche(*sim).ETAT),
                 "Cas « appui tardif » préparé");

    mode_marche& mm = acces_simulateur::marche(*sim);
    barre_marche_class& bm = acces_simulateur::barre_marche(*sim);
    bm.VITESSE->value(4); // max
    clique(bm.VITESSE);
    clique(f->B_PLAY);
    for (int n = 0; n < 1000 && mm.en_marche(); ++n) {
        EXPECT_EQ(sim->passe_commande(), 1);
    }
    ASSERT_FALSE(mm.en_marche());
    EXPECT_EQ(mm.pas_faits(), 208) << "le pas du correcteur : la marche n'a pas passe l'evenement";
    EXPECT_STREQ(libelle(bm.ETAT), "Arrêt : fin de programme (boucle en $000f)");
    EXPECT_EQ(mem->read_byte(ports_machine[1].adresse_valeur), 0x0F);
    EXPECT_EQ(mem->read_byte(ports_machine[4].adresse_valeur), 0x01);

    for (int n = 0; n < 9; ++n) {
        clique(bm.B_RECULE);
    }
    EXPECT_EQ(mem->read_byte(ports_machine[4].adresse_valeur), 0x00)
        << "revenu avant le pas 200 : le bouton n'est plus appuye";
    clique(f->B_RESET);
    EXPECT_STREQ(libelle(fe.PREPARE), "") << "RESET oublie le cas prepare";
}

} // namespace
