// Exercice dans la fenetre, comme un etudiant s'en sert : ouvert par la ligne de
// commande, "Vérifier" (correction dans un fil, fenetre jamais bloquee), puis un
// cas echoue prepare et lance en marche : ses evenements arrivent au meme pas que
// chez le correcteur, et le pas arriere les defait. "Vérifier" corrige le texte
// montre, chaque geste annule une correction sans fin, l'enonce et ce que pose un
// cas se voient (pas d'un cas cache), et aucun texte trop long n'est dessine.
#include "banc.h"

#include <FL/x.H>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>

#include "exercices/vue_exercice.h"

namespace {

class exercice : public banc {
  protected:
    // Lance avec l'exercice et le programme, chacun ouvert a sa passe.
    fenetre_exercice_class& lance(std::string const& exo, std::string const& programme) {
        relance({"-kbd", "--exercice", exo, programme});
        sim->passe_commande();
        sim->passe_commande();
        return acces_simulateur::fenetre_exercice(*sim);
    }
    // Des passes jusqu'a la fin de la correction en cours, s'il y en a une.
    bool corrige() {
        for (int n = 0; n < 4000 && acces_simulateur::corrige_encore(*sim); ++n) {
            sim->passe_commande();
        }
        return !acces_simulateur::corrige_encore(*sim);
    }
    // Dessinee par le serveur ; le plus long texte donne d'un trait (libelles,
    // lignes des listes).
    std::size_t dessine_et_mesure(Fl_Window* w) {
        Fl::flush();
        XSync(fl_display, False);
        std::size_t n = std::strlen(w->label());
        for (int i = 0; i < w->children(); ++i) {
            n = std::max(n, std::strlen(libelle(w->child(i))));
            Fl_Browser* const b = dynamic_cast<Fl_Browser*>(w->child(i));
            for (int l = 1; b != nullptr && l <= b->size(); ++l) {
                n = std::max(n, std::strlen(b->text(l)));
            }
        }
        return n;
    }
};

char const* const attente_bouton = KARVELA_SOURCE "/examples/exercices/attente_bouton.toml";

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
    relance({"-kbd", "--exercice", attente_bouton, ecrit_fichier("copie.asm", copie_fausse)});
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
    // Pourquoi E vaut 1 : l'evenement du cas, a son pas.
    pont_simulateur(*sim).demande_pourquoi("E");
    EXPECT_EQ(sim->passe_commande(), 1);
    Fl_Browser* const chaine = acces_simulateur::fenetre_explication(*sim).CHAINE;
    bool dit_l_evenement = false;
    for (int l = 1; l <= chaine->size(); ++l) {
        dit_l_evenement =
            dit_l_evenement ||
            std::string(chaine->text(l)).find("par un événement") != std::string::npos;
    }
    EXPECT_TRUE(dit_l_evenement) << (chaine->size() > 0 ? chaine->text(1) : "pas de reponse");

    for (int n = 0; n < 9; ++n) {
        clique(bm.B_RECULE);
    }
    EXPECT_EQ(mem->read_byte(ports_machine[4].adresse_valeur), 0x00)
        << "revenu avant le pas 200 : le bouton n'est plus appuye";
    clique(f->B_RESET);
    EXPECT_STREQ(libelle(fe.PREPARE), "") << "RESET oublie le cas prepare";
}

// "Vérifier" corrige le texte montre, meme enregistre (Ctrl+S) sans Ctrl+R ; un
// rechargement efface les resultats ; un texte fautif n'est pas corrige.
TEST_F(exercice, verifier_corrige_le_texte_montre_et_un_chargement_efface_les_resultats) {
    std::string bonne = copie_fausse;
    bonne.replace(bonne.find("$0F"), 3, "$FF");
    fenetre_exercice_class& fe = lance(attente_bouton, ecrit_fichier("texte.asm", bonne));
    source_class& s = acces_simulateur::source(*sim);
    struct ligne {
        char const*
            texte; // mis dans la fenetre du source (copie_fausse : et Ctrl+S) ; nul : Ctrl+R
        char const *total, *appui_tardif; // debut du total, ligne du deuxieme cas
    } const table[] = {
        {"", "6/6 points pour ", "@C60@.✔ appui tardif"},
        {copie_fausse, "1/6 points pour ", "@C88@.✘ appui tardif : port B vaut 15, attendu 255"},
        {nullptr, "Un autre programme est chargé : « Vérifier » (F6) le corrige.",
         "@.   appui tardif"},
        {"  PUSHX 1\n", "Le source a des erreurs (fenêtre du source) : rien n'est vérifié.",
         "@.   appui tardif"},
    };
    testing::internal::CaptureStderr();
    for (ligne const& l : table) {
        SCOPED_TRACE(l.total);
        if (l.texte != nullptr && *l.texte != '\0') {
            s.EDITEUR->buffer()->text(l.texte);
        }
        if (l.texte == copie_fausse) {
            clique(s.ENREGISTRER);
        }
        clique(l.texte == nullptr ? acces_simulateur::barre(*sim).B_RECHARGER : fe.VERIFIER);
        ASSERT_TRUE(corrige());
        EXPECT_EQ(std::string(libelle(fe.TOTAL)).rfind(l.total, 0), 0u) << libelle(fe.TOTAL);
        EXPECT_STREQ(fe.CAS->text(2), l.appui_tardif);
    }
    testing::internal::GetCapturedStderr();
}

// Pendant une correction sans fin, "Vérifier" de nouveau, un autre exercice ou
// "Quitter" l'annulent : le moteur voit l'annulation, les boutons reviennent.
TEST_F(exercice, chaque_geste_annule_une_correction_sans_fin) {
    std::string const sans_fin = ecrit_fichier(
        "sans_fin.toml", "titre = \"Sans fin\"\npas_max = 4294967295\n[[cas]]\nnom = \"un\"\n"
                         "attendu = { B = 1 }\n[[cas]]\nnom = \"deux\"\nattendu = { B = 2 }\n");
    std::string const boucle = ecrit_fichier("boucle.asm", "boucle: NOP\n        BT boucle\n");
    for (char const* geste : {"Vérifier (F6)", "Autre exercice...", "Quitter"}) {
        SCOPED_TRACE(geste);
        fenetre_exercice_class& fe = lance(sans_fin, boucle);
        clique(fe.VERIFIER);
        for (int n = 0; n < 4; ++n) {
            sim->passe_commande(); // elle tourne
        }
        auto const correction = acces_simulateur::correction(*sim);
        reponse = choisit_fichier(attente_bouton);
        bool const quitte = geste == std::string("Quitter");
        auto const debut = std::chrono::steady_clock::now();
        int const encore =
            quitte ? choisit_menu(3) : clique_et_rend(widget_libelle(fe.exercice, geste));
        if (encore == 0) {
            sim.reset();
        }
        std::chrono::duration<double> const duree = std::chrono::steady_clock::now() - debut;
        std::cout << geste << " pendant la correction : " << duree.count() << " s\n";
        EXPECT_TRUE(correction->vue) << "le moteur n'a pas vu l'annulation";
        EXPECT_EQ(encore == 0, quitte);
        prend_dialogues();
        if (geste == std::string("Autre exercice...")) {
            EXPECT_TRUE(fe.VERIFIER->active());
            EXPECT_TRUE(acces_simulateur::barre_exercice(*sim).B_VERIFIER->active());
        }
    }
}

// L'enonce, ce que pose le cas choisi ; d'un cas cache, seuls son nom et son verdict.
TEST_F(exercice, l_enonce_et_ce_que_pose_le_cas_choisi_sauf_un_cas_cache) {
    fenetre_exercice_class& fe =
        lance(KARVELA_SOURCE "/examples/exercices/somme_table_enseignant.toml",
              KARVELA_SOURCE "/examples/exercices/somme_table_faux.asm");
    std::unique_ptr<char, decltype(&std::free)> const enonce(fe.ENONCE->buffer()->text(),
                                                             std::free);
    EXPECT_EQ(std::string(enonce.get()).rfind("Ranger dans « somme » la somme, modulo 256,", 0),
              0u);
    clique(fe.VERIFIER);
    ASSERT_TRUE(corrige());
    char const* const cache = "@.Cas caché : l'exercice n'en montre que le nom et le verdict.";
    struct ligne {
        int cas;
        char const *liste, *message, *pose;
    } const table[] = {
        {1, "@C88@.✘ exemple : somme ($0015) vaut 8, attendu 9",
         "exemple : somme ($0015) vaut 8, attendu 9",
         "@.Ce cas ne pose rien : le programme part tel qu'il est chargé."},
        {3, "@C88@.✘ dernier : somme ($0015) vaut 0, attendu 7",
         "dernier : somme ($0015) vaut 0, attendu 7", "@.mémoire : donnees = [0, 0, 0, 7]"},
        {4, "@C60@.✔ retenue (cas caché)", "retenue (cas caché) : réussi", cache},
        {5, "@C88@.✘ négatifs (cas caché)", "négatifs (cas caché) : échoué", cache},
    };
    for (ligne const& l : table) {
        SCOPED_TRACE(l.liste);
        fe.CAS->value(l.cas);
        clique(fe.CAS);
        EXPECT_STREQ(fe.CAS->text(l.cas), l.liste);
        EXPECT_STREQ(libelle(fe.MESSAGE), l.message);
        ASSERT_EQ(fe.MISE_EN_PLACE->size(), 1);
        EXPECT_STREQ(fe.MISE_EN_PLACE->text(1), l.pose);
        EXPECT_EQ(fe.PREPARER->active() != 0, l.pose != cache);
    }
    clique(fe.PREPARER); // Entree sur le bouton grise : refuse quand meme
    EXPECT_STREQ(libelle(fe.PREPARE), "« négatifs » est un cas caché : il ne se prépare pas.");
}

// Chaque racine d'un arret sur un texte trop long pour le serveur X : coupee,
// dessinee, la fenetre tient.
TEST_F(exercice, les_textes_trop_longs_sont_coupes_et_dessines) {
    std::string evenements;
    for (int p = 1; p <= 49500; ++p) {
        evenements += "{pas=" + std::to_string(p) + ",E=" + std::to_string(p % 2) + "},";
    }
    exercice_lu pile, titre; // sans le lecteur ni ses bornes
    pile.exo.titre = "Pile";
    pile.exo.cas.resize(1);
    pile.exo.cas[0].pile_attendue = true;
    pile.exo.cas[0].pile.assign(400000, 1);
    titre.exo = pile.exo;
    titre.exo.titre.assign(600000, 'T');
    titre.exo.cas[0].nom.assign(600000, 'n');
    struct ligne {
        std::string fichier; // l'exercice lu ; puis exo, s'il y en a un, sans lecteur
        exercice_lu const* exo;
        bool prepare; // "Préparer le cas" ; sinon "Vérifier"
    } const table[] = {
        {ecrit_fichier("e.toml",
                       "titre = \"E\"\n[[cas]]\nnom = \"e\"\nevenements = [" + evenements + "]\n"),
         nullptr, true},
        {attente_bouton, &pile, false},  // une pile de 400 000 valeurs dans le message
        {attente_bouton, &titre, false}, // titre et nom de 600 000 caracteres
        {ecrit_fichier("c.toml", "titre = \"C\"\n" + std::string(600000, 'k') + " = 1\n"), nullptr,
         false}, // cite par le refus
    };
    testing::internal::CaptureStderr();
    for (ligne const& l : table) {
        SCOPED_TRACE(l.fichier);
        fenetre_exercice_class& fe = lance(l.fichier, ecrit_fichier("fin.asm", "BT *\n"));
        if (l.exo != nullptr) {
            acces_simulateur::prend_exercice(*sim, *l.exo);
        }
        fe.CAS->value(1);
        clique(fe.CAS);
        clique(l.prepare ? fe.PREPARER : fe.VERIFIER);
        ASSERT_TRUE(corrige());
        EXPECT_LE(dessine_et_mesure(fe.exercice), 2 * pose_montree_max + 8);
        EXPECT_LE(dessine_et_mesure(f->SIM), 2 * ligne_montree_max + 8);
    }
    testing::internal::GetCapturedStderr();
}

} // namespace
