// Fichiers ouverts hors du menu : le fichier de la ligne de commande, ouvert a la
// premiere passe comme le menu l'ouvrirait, et "Recharger", qui relit sur le
// disque le dernier fichier choisi.
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "banc.h"

#include <FL/Fl_File_Input.H>
#include <FL/fl_draw.H>

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

// Un tube sans ecrivain a la place d'un fichier.
std::string tube(std::string const& nom) {
    std::string const chemin = testing::TempDir() + nom;
    mkfifo(chemin.c_str(), 0600);
    return chemin;
}

// Une source a deux erreurs (mnemonique inconnu, etiquette absente).
std::string const source_fautive = "        PUSHX 1\n        BT    ailleurs\n";

TEST_F(fichiers, ligne_de_commande_ouvre_le_fichier_a_la_premiere_passe) {
    struct cas {
        std::string chemin;
        char const* dump;     // premiere ligne du dump apres la passe
        char const* dialogue; // morceau du dialogue montre, ou null
        char const* erreurs;  // morceau de la sortie d'erreur
    };
    char const* const neuve = "   0 ff ff ff ff ff ff ff ff";
    cas const table[] = {
        {ecrit_fichier("bon.bin", binaire({0x01, 0x05, 0x08})), "   0  1  5  8  0  0  0  0  0",
         nullptr, "depart: 0\n"},
        {ecrit_fichier("bon.asm", "  PUSHI 5\n  ADD\n"), "   0  1  5  8  0  0  0  0  0", nullptr,
         "depart: 0\n"},
        {testing::TempDir() + "karvela_absent.bin", neuve, "Erreur: fichier corrompu",
         "erreur sur fichier"},
        {testing::TempDir() + "karvela_absent.asm", neuve, "Erreur: fichier source illisible", ""},
        {tube("tube.bin"), neuve, "Cause : c'est un tube (FIFO)", "erreur sur fichier"},
        {ecrit_fichier("fautive.asm", source_fautive), neuve, nullptr, "fautive.asm:1:9: erreur: "},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.chemin);
        relance({"-kbd", c.chemin});
        EXPECT_EQ(prend_dialogues().size(), 0u) << "rien ne s'ouvre avant la boucle";
        testing::internal::CaptureStderr();
        EXPECT_EQ(sim->passe_commande(), 1);
        std::string const erreurs = testing::internal::GetCapturedStderr();
        EXPECT_NE(erreurs.find(c.erreurs), std::string::npos) << erreurs;
        EXPECT_EQ(erreurs.find("depart: 0") != std::string::npos, c.dump != std::string(neuve))
            << erreurs;
        EXPECT_STREQ(libelle(f->DUMP01), c.dump);
        auto const vus = prend_dialogues();
        ASSERT_EQ(vus.size(), c.dialogue != nullptr ? 1u : 0u) << vus;
        if (c.dialogue != nullptr) {
            EXPECT_TRUE(vus[0].contient(c.dialogue)) << vus;
        }
        barre_fichiers_class& barre = acces_simulateur::barre(*sim);
        EXPECT_STREQ(barre.NOM_FICHIER->tooltip(), c.chemin.c_str());
        EXPECT_TRUE(barre.B_RECHARGER->active());
        std::remove(c.chemin.c_str());
    }
}

// Ouverte par son bouton, la source est assemblee et chargee ; changee pour une
// source fautive, Ctrl+R montre ses erreurs sous son texte, sans dialogue, et
// laisse la memoire ; corrigee, elle est rechargee.
TEST_F(fichiers, source_ouverte_puis_rechargee_avec_ses_erreurs_puis_corrigee) {
    std::string const chemin = ecrit_fichier("prog.asm", "  PUSHI 5\n");
    reponse = choisit_fichier(chemin);
    testing::internal::CaptureStderr();
    clique(acces_simulateur::barre(*sim).B_SOURCE);
    auto vus = prend_dialogues();
    ASSERT_EQ(vus.size(), 1u) << vus;
    EXPECT_EQ(vus[0].titre, "Choisissez un fichier source");
    EXPECT_STREQ(libelle(f->DESA01), "-> 0 PUSHI 5");

    ecrit_fichier("prog.asm", source_fautive);
    Fl_Hold_Browser* const liste = acces_simulateur::source(*sim).DIAGNOSTICS;
    clique(acces_simulateur::barre(*sim).B_RECHARGER);
    EXPECT_TRUE(prend_dialogues().empty());
    ASSERT_EQ(liste->size(), 3);
    EXPECT_NE(std::string(liste->text(1)).find("prog.asm : 2 erreurs"), std::string::npos);
    EXPECT_NE(std::string(liste->text(2)).find("@.1:9: erreur: mnémonique inconnu « PUSHX »"),
              std::string::npos);
    EXPECT_NE(std::string(liste->text(3)).find("@.2:15: erreur: "), std::string::npos);
    EXPECT_STREQ(libelle(f->DESA01), "-> 0 PUSHI 5");
    EXPECT_EQ(mem->read_byte(0), 0x01);

    ecrit_fichier("prog.asm", "  PUSHI 5\n  DUP\n");
    clique(acces_simulateur::barre(*sim).B_RECHARGER);
    EXPECT_STREQ(libelle(f->DESA02), "   2 DUP");
    std::string const erreurs = testing::internal::GetCapturedStderr();
    EXPECT_EQ(compte_lignes(erreurs, "depart: 0"), 2) << erreurs;
    EXPECT_TRUE(prend_dialogues().empty());
    std::remove(chemin.c_str());
}

// Le nom du fichier ouvert tient dans la barre : coupe au besoin avant son
// extension, sur un caractere entier, et pas plus qu'il ne faut ; le chemin entier
// est dans la bulle.
TEST_F(fichiers, nom_du_fichier_ouvert_tient_dans_la_barre) {
    struct cas {
        char const* chemin;
        char const* base;      // nom sans son extension, "@" double
        char const* extension; // gardee entiere
        bool coupe;
    };
    cas const table[] = {
        {"/tmp/a.asm", "a", ".asm", false},
        {"/d/a@b.bin", "a@@b", ".bin", false},
        {"/d/programme_de_l_etudiant.bin", "programme_de_l_etudiant", ".bin", true},
        {"/d/ééééééééééééééééééééé.asm", "ééééééééééééééééééééé", ".asm", true},
    };
    Fl_Box* const nom = acces_simulateur::barre(*sim).NOM_FICHIER;
    fl_font(nom->labelfont(), nom->labelsize());
    for (cas const& c : table) {
        SCOPED_TRACE(c.chemin);
        acces_simulateur::retiens_fichier(*sim, c.chemin);
        std::string const montre = libelle(nom);
        std::string const base = c.base;
        EXPECT_STREQ(nom->tooltip(), c.chemin);
        EXPECT_LE(fl_width(montre.c_str()), nom->w());
        if (!c.coupe) {
            EXPECT_EQ(montre, base + c.extension);
            continue;
        }
        std::string const fin = std::string("…") + c.extension;
        ASSERT_GT(montre.size(), fin.size());
        ASSERT_EQ(montre.substr(montre.size() - fin.size()), fin);
        std::string const debut = montre.substr(0, montre.size() - fin.size());
        EXPECT_EQ(base.rfind(debut, 0), 0u) << "le debut du nom";
        EXPECT_NE(static_cast<unsigned char>(base[debut.size()]) & 0xC0, 0x80)
            << "coupe au milieu d'un caractere";
        // Un caractere de plus ne tiendrait pas.
        std::size_t suite = debut.size() + 1;
        while (suite < base.size() && (static_cast<unsigned char>(base[suite]) & 0xC0) == 0x80) {
            ++suite;
        }
        EXPECT_GT(fl_width((base.substr(0, suite) + fin).c_str()), nom->w() - 4);
    }
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

// Apres un programme qui a rempli la pile (E a 1, 7 au sommet), un programme
// charge part d'un processeur neuf, sauf par "Ouvrir fichier binaire" : la pile
// y reste et "PUSHI 5 ; POP PORTB" met 7 sur le port B. Le rechargement garde
// les points d'arret, une ouverture les efface.
TEST_F(fichiers, un_programme_charge_part_d_un_processeur_neuf) {
    std::string const bin = ecrit_fichier("neuf.bin", binaire({1, 5, 2, 0x10, 4, 0x1A, 0, 0}));
    std::string const source = ecrit_fichier("neuf.asm", "  PUSHI 5\n  POP PORTB\n  BT *\n");
    barre_fichiers_class& barre = acces_simulateur::barre(*sim);
    auto const ouvre = [&](std::string const& chemin) { // "" : recharger
        reponse = choisit_fichier(chemin);
        chemin.empty()  ? clique(barre.B_RECHARGER)
        : chemin == bin ? (void)choisit_menu(2)
                        : clique(barre.B_SOURCE);
    };
    struct cas {
        std::string premier, second;
        bool neuf, points;
    } const table[] = {
        {source, bin, false, false},
        {source, source, true, false},
        {source, "", true, true},
        {bin, "", true, true},
    };
    testing::internal::CaptureStderr();
    for (cas const& c : table) {
        SCOPED_TRACE(c.premier + " puis " + (c.second.empty() ? "Ctrl+R" : c.second));
        ouvre(c.premier);
        clique(f->DESA02);                              // point d'arret en 2
        tape_programme(0, {0x01, 7, 0x1A, 0xFF, 0xFE}); // PUSHI 7 ; BT $0000
        f->REG_A_HEX->value("12");
        f->REG_X_HEX->value("345");
        for (int k = 0; k < 34; ++k) {
            clique(f->B_STEP);
        }
        ASSERT_EQ(cpu->CCR_value(), CCR_E);
        ouvre(c.second);
        prend_dialogues();
        EXPECT_EQ(cpu->SP_value(), c.neuf ? -1 : 15);
        EXPECT_EQ(cpu->CCR_value(), c.neuf ? 0 : CCR_E);
        EXPECT_EQ(cpu->A_value() + cpu->X_value(), c.neuf ? 0 : 0x12 + 0x345);
        EXPECT_STREQ(libelle(f->PILE00), c.neuf ? "       " : "7 ");
        EXPECT_EQ(acces_simulateur::marche(*sim).points().contient(2), c.points);
        clique(f->B_STEP);
        clique(f->B_STEP);
        EXPECT_EQ(mem->read_byte(0x1004), c.neuf ? 5 : 7) << "port B";
    }
    testing::internal::GetCapturedStderr();
    std::remove(bin.c_str());
    std::remove(source.c_str());
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
    EXPECT_STREQ(barre.NOM_FICHIER->tooltip(), chemin.c_str());

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

    // Un autre fichier qui ne s'ouvre pas laisse la barre au programme en memoire.
    for (std::string const& autre :
         {chemin + ".absent.bin", ecrit_fichier("f.asm", source_fautive)}) {
        reponse = [choix = choisit_fichier(autre)](Fl_Window* w) {
            premier_de<Fl_File_Input>(w) != nullptr ? choix(w) : w->do_callback();
        };
        autre.back() == 'm' ? clique(barre.B_SOURCE) : (void)choisit_menu(2);
        // Le selecteur, puis l'alerte ; les erreurs d'une source vont sous son texte.
        EXPECT_EQ(prend_dialogues().size(), autre.back() == 'm' ? 1u : 2u);
        EXPECT_STREQ(barre.NOM_FICHIER->tooltip(), chemin.c_str()) << autre;
    }
}

} // namespace
