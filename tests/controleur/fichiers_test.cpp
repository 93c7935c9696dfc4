// Fichiers ouverts hors du menu : le fichier de la ligne de commande, ouvert a la
// premiere passe comme le menu l'ouvrirait, et "Recharger", qui relit sur le
// disque le dernier fichier choisi.
#include <cstdio>
#include <string>
#include <vector>

#include "banc.h"

namespace {

using fichiers = banc;

// En-tete d'un .bin (taille du fichier, base 0), puis l'image.
std::string binaire(std::vector<unsigned char> const& image) {
    std::string octets = {0, static_cast<char>(image.size() + 4), 0, 0};
    return octets + std::string(image.begin(), image.end());
}

int compte_lignes(std::string const& texte, std::string const& ligne) {
    int n = 0;
    for (std::size_t i = texte.find(ligne + "\n"); i != std::string::npos;
         i = texte.find(ligne + "\n", i + 1)) {
        n += i == 0 || texte[i - 1] == '\n' ? 1 : 0;
    }
    return n;
}

TEST_F(fichiers, ligne_de_commande_ouvre_le_fichier_a_la_premiere_passe) {
    std::string const bon = ecrit_fichier("bon.bin", binaire({0x01, 0x05, 0x08}));
    std::string const absent = testing::TempDir() + "karvela_absent.bin";
    struct cas {
        std::string chemin;
        bool charge;
    };
    for (cas const& c : {cas{bon, true}, cas{absent, false}}) {
        SCOPED_TRACE(c.chemin);
        relance({"-kbd", c.chemin});
        EXPECT_EQ(prend_dialogues().size(), 0u) << "rien ne s'ouvre avant la boucle";
        testing::internal::CaptureStderr();
        EXPECT_EQ(sim->passe_commande(), 1);
        std::string const erreurs = testing::internal::GetCapturedStderr();
        EXPECT_EQ(erreurs.find("depart: 0\n") != std::string::npos, c.charge) << erreurs;
        EXPECT_EQ(mem->read_byte(0), c.charge ? 0x01 : 0xFF);
        EXPECT_STREQ(libelle(f->DUMP01),
                     c.charge ? "   0  1  5  8  0  0  0  0  0" : "   0 ff ff ff ff ff ff ff ff");
        auto const vus = prend_dialogues();
        ASSERT_EQ(vus.size(), c.charge ? 0u : 1u) << vus;
        if (!c.charge) {
            EXPECT_TRUE(vus[0].contient("Erreur: fichier corrompu"));
        }
        barre_fichiers_class& barre = acces_simulateur::barre(*sim);
        EXPECT_EQ(libelle(barre.NOM_FICHIER), c.chemin.substr(c.chemin.rfind('/') + 1));
        EXPECT_STREQ(barre.NOM_FICHIER->tooltip(), c.chemin.c_str());
        EXPECT_TRUE(barre.B_RECHARGER->active());
    }
    std::remove(bon.c_str());
}

// Les options de la boite a outils (ici sans effet durable sur les tests
// suivants) sont mises de cote ou qu'elles soient ; le reste est analyse.
TEST_F(fichiers, ligne_de_commande_separe_les_options_de_la_boite_a_outils) {
    struct cas {
        std::vector<std::string> mots;
        lancement action;
        char const* fichier;
    };
    cas const table[] = {
        {{"-kbd", "a.bin"}, lancement::fenetre, "a.bin"},
        {{"a.asm", "-tooltips", "-dnd"}, lancement::fenetre, "a.asm"},
        {{"--", "-kbd"}, lancement::fenetre, "-kbd"},
        {{"-kbd", "--version"}, lancement::version, ""},
        {{"-zz", "a.bin"}, lancement::mauvais_usage, ""},
        {{"-geometry"}, lancement::mauvais_usage, ""}, // sans sa valeur
        {{"a.bin", "-kbd", "b.bin"}, lancement::mauvais_usage, ""},
    };
    for (cas const& c : table) {
        std::vector<std::string> mots = c.mots;
        mots.insert(mots.begin(), "karvela");
        std::vector<char*> ligne;
        for (std::string& m : mots) {
            ligne.push_back(&m[0]);
        }
        ligne.push_back(nullptr);
        SCOPED_TRACE(mots[1]);
        demande_lancement const d = lit_ligne_commande(static_cast<int>(mots.size()), ligne.data());
        EXPECT_EQ(d.action, c.action);
        EXPECT_EQ(d.fichier, c.fichier);
    }
}

// Le dernier fichier choisi (ici par le menu) est relu sur le disque, par le
// bouton ou par Ctrl+R ; disparu, il montre l'alerte du menu et rien ne change.
TEST_F(fichiers, recharger_relit_le_fichier_change_sur_le_disque) {
    barre_fichiers_class& barre = acces_simulateur::barre(*sim);
    EXPECT_FALSE(barre.B_RECHARGER->active()) << "grise tant qu'aucun fichier n'est ouvert";
    std::string const chemin = ecrit_fichier("recharge.bin", binaire({0x01, 0x05}));
    reponse = choisit_fichier(chemin);
    testing::internal::CaptureStderr();
    EXPECT_EQ(choisit_menu(2), 1);
    EXPECT_EQ(prend_dialogues().size(), 1u);
    EXPECT_TRUE(barre.B_RECHARGER->active());
    EXPECT_EQ(libelle(barre.NOM_FICHIER), chemin.substr(chemin.rfind('/') + 1));

    ecrit_fichier("recharge.bin", binaire({0x08, 0x1B}));
    clique(f->B_STEP);
    clique(barre.B_RECHARGER);
    EXPECT_EQ(cpu->PC_value(), 0);
    EXPECT_STREQ(libelle(f->DESA01), "-> 0 ADD");
    EXPECT_STREQ(libelle(f->DUMP01), "   0  8 1b  0  0  0  0  0  0");

    ecrit_fichier("recharge.bin", binaire({0x03}));
    static char ctrl_r[] = "\x12";
    Fl::e_keysym = 'r';
    Fl::e_state = FL_CTRL;
    Fl::e_text = ctrl_r;
    Fl::e_length = 1;
    Fl::handle(FL_KEYBOARD, f->SIM);
    Fl::e_state = 0;
    EXPECT_EQ(sim->passe_commande(), 1);
    EXPECT_STREQ(libelle(f->DESA01), "-> 0 DUP");

    std::remove(chemin.c_str());
    reponse = [](Fl_Window* w) { w->do_callback(); };
    clique(barre.B_RECHARGER);
    std::string const erreurs = testing::internal::GetCapturedStderr();
    EXPECT_EQ(compte_lignes(erreurs, "depart: 0"), 3) << erreurs;
    auto const vus = prend_dialogues();
    ASSERT_EQ(vus.size(), 1u) << vus;
    EXPECT_TRUE(vus[0].contient("Erreur: fichier corrompu"));
    EXPECT_EQ(mem->read_byte(0), 0x03) << "un fichier disparu ne change pas la memoire";
}

} // namespace
