// Les fenetres secondaires du vrai programme : le selecteur de fichiers abandonne
// ou nourri d'un fichier refuse, l'alerte qui s'ensuit, la boite "Informations".
// Chaque dialogue doit paraitre, se fermer par son bouton, et rendre la main a une
// fenetre principale qui repond encore.
#include "banc_reel.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace banc_reel {
namespace {

using fenetres_reel = banc;
namespace d = disposition;

// Fichier ecrit par le test, efface a la fin.
struct fichier_temporaire {
    std::string chemin;
    fichier_temporaire(std::string const& nom, std::string const& octets)
        : chemin(testing::TempDir() + "karvela_" + std::to_string(getpid()) + "_" + nom) {
        std::ofstream(chemin, std::ios::binary) << octets;
    }
    ~fichier_temporaire() { std::remove(chemin.c_str()); }
};

// Un fichier que le chargeur refuse (trop court pour son en-tete, ou absent) :
// l'alerte "Erreur: fichier corrompu" / "ou fichier binaire non attendu." parait,
// se ferme par "Fermer" ou par Entree, et la fenetre principale n'a pas bouge.
TEST_F(fenetres_reel, fichier_refuse_montre_l_alerte_que_fermer_ou_entree_referme) {
    fichier_temporaire const court("court.bin", std::string("\x00\x0d\x00", 3));
    std::string const absent =
        testing::TempDir() + "karvela_absent_" + std::to_string(getpid()) + ".bin";
    struct cas {
        std::string chemin;
        bool par_le_bouton;
        int lignes; // un fichier absent le dit sous les deux lignes
    };
    for (cas const& c : {cas{court.chemin, true, 2}, cas{absent, false, 3}}) {
        SCOPED_TRACE(c.chemin);
        image const avant = capture();
        std::string const s = tape_dans_selecteur(c.chemin);
        ASSERT_FALSE(s.empty());
        touche("Return");
        ASSERT_TRUE(attend_ligne_journal("lecture de \"" + c.chemin + "\""))
            << "le chemin tape n'est pas arrive au chargeur";
        std::string const a = attend_nouvelle_fenetre({s});
        ASSERT_FALSE(a.empty()) << "pas d'alerte : " << garde_capture("refuse");
        EXPECT_TRUE(attend_fermeture(s)) << "le selecteur reste ouvert sous l'alerte";
        EXPECT_EQ(fenetres_visibles().size(), 2u) << "une seule alerte attendue";
        geometrie const g = geometrie_de(a);
        image const alerte = image_de(a);
        std::string const vue = garde_capture("alerte_fichier");
        EXPECT_GT(alerte.compte(bleu_alerte), 0) << "pas d'icone d'alerte : " << vue;
        EXPECT_EQ(lignes_de_texte(alerte), c.lignes) << "lignes de texte : " << vue;
        EXPECT_EQ(nb_lignes_journal("depart: 0"), 0) << "un fichier refuse ne demarre rien";

        if (c.par_le_bouton) {
            clic_dans(a, g.w - bouton_fermer::depuis_droite, g.h - bouton_fermer::depuis_bas);
        } else {
            touche_dans(a, "Return");
        }
        EXPECT_TRUE(attend_fermeture(a)) << "l'alerte reste ouverte";
        // Un echec laisse les registres et les vues tels quels.
        ASSERT_TRUE(barriere());
        EXPECT_EQ(zone(d::cadre_desassemblage), avant.recadre(d::cadre_desassemblage));
        EXPECT_EQ(zone(d::panneau_registres), avant.recadre(d::panneau_registres));
        EXPECT_TRUE(fenetre_repond());
    }
    EXPECT_EQ(quitte(), 0);
}

TEST_F(fenetres_reel, selecteur_abandonne_par_echap_ou_annuler_ecrit_chargement_abandonne) {
    std::string const abandon = "chargement abandonne ...";

    menu_fichier(entree_fichier::ouvrir);
    std::string s = attend_fenetre(selecteur::titre);
    ASSERT_FALSE(s.empty()) << "pas de selecteur de fichiers";
    touche_dans(s, "Escape");
    EXPECT_TRUE(attend_fermeture(s)) << "Echap laisse le selecteur ouvert";
    EXPECT_TRUE(attend_ligne_journal(abandon, 1));

    menu_fichier(entree_fichier::ouvrir);
    s = attend_fenetre(selecteur::titre);
    ASSERT_FALSE(s.empty());
    clic_dans(s, selecteur::x_annuler, selecteur::y_annuler);
    EXPECT_TRUE(attend_fermeture(s)) << "\"Annuler\" laisse le selecteur ouvert";
    EXPECT_TRUE(attend_ligne_journal(abandon, 2));

    EXPECT_EQ(journal().find("lecture de"), std::string::npos) << "le chargeur a ete appele";
    EXPECT_EQ(zone(d::cadre_desassemblage), demarrage.recadre(d::cadre_desassemblage));
    EXPECT_TRUE(fenetre_repond());
    EXPECT_EQ(quitte(), 0);
}

TEST_F(fenetres_reel, a_propos_ouvre_informations_modale_que_ok_referme) {
    menu_fichier(entree_fichier::a_propos);
    std::string const a = attend_fenetre("Informations");
    ASSERT_FALSE(a.empty()) << "pas de fenetre \"Informations\"";
    geometrie const g = geometrie_de(a);
    EXPECT_EQ(g.w, 435);
    EXPECT_EQ(g.h, 380);
    image const boite = image_de(a);

    // Modale : un STEP clique sur la fenetre principale n'y fait rien.
    clic(d::b_step);
    clic_dans(a, 219, 345); // "OK" : 183, 333, 72 x 24
    EXPECT_TRUE(attend_fermeture(a)) << "\"OK\" laisse la boite ouverte";
    ASSERT_TRUE(barriere());
    EXPECT_EQ(zone(d::reg_pc_dec), demarrage.recadre(d::reg_pc_dec))
        << "le STEP clique pendant la boite a ete execute";
    EXPECT_EQ(ligne_marquee(capture()), 1);

    // La fenetre principale repond ; la boite rouverte est la meme.
    clic(d::b_step);
    EXPECT_NE(attend_changement(d::reg_pc_dec, demarrage.recadre(d::reg_pc_dec)),
              demarrage.recadre(d::reg_pc_dec));
    menu_fichier(entree_fichier::a_propos);
    std::string const b = attend_fenetre("Informations");
    ASSERT_FALSE(b.empty());
    // Tout au-dessus du bouton "OK", dont le cadre de focus ne revient pas a la
    // seconde ouverture.
    rectangle const textes{0, 0, 435, 330};
    EXPECT_EQ(image_de(b).recadre(textes), boite.recadre(textes));
    clic_dans(b, 219, 345);
    EXPECT_TRUE(attend_fermeture(b));

    EXPECT_EQ(quitte(), 0);
}

} // namespace
} // namespace banc_reel
