// Fenetre du source : la ligne du PC suit STEP, le pas arriere, RESET et les
// touches tapees dans la fenetre ; un point d'arret pose dans la marge arrete la
// marche, F4 la lance jusqu'a la ligne du curseur ; Ctrl+R enregistre le texte
// modifie, le recharge et garde les points par ligne ; Ctrl+S pose la meme question
// que lui quand le fichier a change sur le disque, et Entree ne remplace pas un
// fichier ; les erreurs vont sous le texte sans rien charger ; quitter avec des
// modifications pose la question. Aucune ligne, lue ou faite par l'etudiant,
// n'arrete la fenetre quand elle est dessinee. Une copie de secours laissee par
// un karvela arrete est proposee a l'ouverture (ou a Ctrl+N, sans titre).
#include "banc.h"
#include "edition/copie_secours.h"

#include <FL/Fl_File_Input.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/x.H>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

double heure = 0;
int erreurs_x = 0;
double horloge_du_test() {
    return heure;
}

std::string const somme = "; somme par trois\n"    // 1
                          "        PUSHI 0\n"      // 2 : $0000
                          "        POP   total\n"  // 3 : $0002
                          "boucle: PUSH  total\n"  // 4 : $0005
                          "        PUSHI 3\n"      // 5 : $0008
                          "        ADD\n"          // 6 : $000a
                          "        POP   total\n"  // 7 : $000b
                          "        BT    boucle\n" // 8 : $000e
                          "total:  .octet 9\n";    // 9 : $0011

std::string nom_de(std::string const& chemin) {
    return chemin.substr(chemin.rfind('/') + 1);
}

std::string lit(std::string const& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

class source : public banc {
  protected:
    source_class& s() { return acces_simulateur::source(*sim); }
    Fl_Text_Buffer& texte() { return *s().EDITEUR->buffer(); }
    std::string tout() {
        char* t = texte().text();
        std::string const copie = t;
        std::free(t);
        return copie;
    }
    void ouvre(std::string const& chemin) {
        reponse = choisit_fichier(chemin);
        clique(acces_simulateur::barre(*sim).B_SOURCE);
        EXPECT_EQ(prend_dialogues().size(), 1u);
    }
    // Une touche tapee dans la fenetre, puis la passe qui prend son widget.
    void touche(Fl_Window* w, int cle, int etat = 0, char const* t = "") {
        frappe(w, cle, etat, t);
        EXPECT_EQ(sim->passe_commande(), 1);
    }
    // Un clic dans la marge, a la hauteur de la ligne.
    void clic_marge(int ligne) {
        editeur_source* e = s().EDITEUR;
        Fl::e_x = e->x() + 4;
        for (Fl::e_y = e->y(); e->ligne_de_marge(Fl::e_x, Fl::e_y) != ligne; ++Fl::e_y) {
            ASSERT_LT(Fl::e_y, e->y() + e->h()) << "ligne " << ligne << " hors de la marge";
        }
        Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
        Fl::handle(FL_PUSH, s().source);
        EXPECT_EQ(sim->passe_commande(), 1);
    }
    // Un clic sur le bouton du dialogue qui porte ce libelle.
    void repond(char const* bouton) {
        reponse = [bouton](Fl_Window* w) {
            Fl_Widget* b = widget_libelle(w, bouton);
            ASSERT_NE(b, nullptr) << bouton;
            b->do_callback();
        };
    }
    std::string const chemin = ecrit_fichier("somme.asm", somme);
};

TEST_F(source, la_ligne_du_pc_suit_la_machine_et_les_symboles_leurs_valeurs) {
    EXPECT_FALSE(s().B_FENETRE->active()) << "grise sans source";
    ouvre(chemin);
    EXPECT_TRUE(s().source->visible());
    EXPECT_EQ(std::string(s().source->label()), "Source — " + nom_de(chemin));
    EXPECT_EQ(s().EDITEUR->ligne_pc(), 2);
    struct cas {
        char const* geste;
        int ligne;
        char const* etat;
        char const* total; // ligne du symbole total
    };
    cas const table[] = {
        {"STEP", 3, "PC $0002 : ligne 3", "total\t$0011\t$09 9"},
        {"STEP", 4, "PC $0005 : ligne 4", "@B175total\t@B175$0011\t@B175$00 0"},
        {"F7 dans la source", 5, "PC $0008 : ligne 5", "total\t$0011\t$00 0"},
        {"Maj+F7", 4, "PC $0005 : ligne 4", "@B175total\t@B175$0011\t@B175$00 0"},
        {"RESET", 2, "PC $0000 : ligne 2", "@B175total\t@B175$0011\t@B175$00 0"},
        {"PC 9", 0, "PC $0009 : hors du source", "@B175total\t@B175$0011\t@B175$00 0"},
    };
    for (cas const& c : table) {
        std::string const geste = c.geste;
        SCOPED_TRACE(geste);
        if (geste == "STEP") {
            clique(f->B_STEP);
        } else if (geste == "F7 dans la source") {
            touche(s().source, FL_F + 7);
        } else if (geste == "Maj+F7") {
            touche(s().source, FL_F + 7, FL_SHIFT);
        } else if (geste == "RESET") {
            clique(f->B_RESET);
        } else {
            f->REG_PC_HEX->value("9");
            clique(f->DESA_PC);
        }
        EXPECT_EQ(s().EDITEUR->ligne_pc(), c.ligne);
        EXPECT_STREQ(libelle(s().ETAT), c.etat);
        ASSERT_EQ(s().SYMBOLES->size(), 2);
        EXPECT_STREQ(s().SYMBOLES->text(1), "boucle\t$0005\t");
        EXPECT_STREQ(s().SYMBOLES->text(2), c.total);
    }
    s().SYMBOLES->value(2);
    clique(s().SYMBOLES);
    EXPECT_STREQ(libelle(f->DUMP01), "  10 f7  0  0  0  0  0  0  0") << "le dump montre total";
    touche(f->SIM, 'e', FL_CTRL, "\x05");
    EXPECT_FALSE(s().source->visible()) << "Ctrl+E cache la fenetre";
    touche(f->SIM, 'e', FL_CTRL, "\x05");
    EXPECT_TRUE(s().source->visible());
}

TEST_F(source, un_point_pose_dans_la_marge_arrete_la_marche) {
    ouvre(chemin);
    acces_simulateur::regle_horloge(*sim, horloge_du_test);
    mode_marche& marche = acces_simulateur::marche(*sim);
    clic_marge(6);                // ADD
    touche(s().source, FL_F + 9); // curseur en tete, sur le commentaire : ligne suivante
    EXPECT_TRUE(marche.points().contient(0x0000));
    clic_marge(9); // donnees, rien apres : pas de point
    EXPECT_STREQ(libelle(s().ETAT), "Ligne 9 : aucune instruction ici ni après");
    clique(f->B_PLAY); // passe le point en $0000
    for (int n = 0; marche.en_marche() && n < 1000; ++n) {
        heure = std::max(heure, marche.rendez_vous() + 1e-9);
        EXPECT_EQ(sim->passe_commande(), 1);
    }
    EXPECT_EQ(marche.raison(), arret::point_arret);
    EXPECT_EQ(cpu->PC_value(), 0x000a);
    EXPECT_EQ(s().EDITEUR->ligne_pc(), 6);
    EXPECT_TRUE(s().EDITEUR->marge(6).point);
    EXPECT_STREQ(libelle(f->DESA05), "-> a ADD");
}

// La marge dit la profondeur de la pile avant chaque instruction ; un arret sur
// erreur de pile marque l'instruction fautive, et la ligne du PC reste ou est PC.
TEST_F(source, un_arret_sur_erreur_de_pile_marque_sa_ligne_a_cote_de_celle_du_pc) {
    ouvre(ecrit_fichier("plein.asm", "; remplit la pile\n"   // 1
                                     "        PUSHI 0\n"     // 2 : $0000
                                     "boucle: DUP\n"         // 3 : $0002
                                     "        BT boucle\n"   // 4 : $0003
                                     "fin:    .octet 0\n")); // 5
    struct cas {
        int ligne;
        char const* profondeur;
    };
    for (cas const c : {cas{1, ""}, cas{2, "0"}, cas{3, "1-16"}, cas{4, "2-16"}, cas{5, ""}}) {
        EXPECT_EQ(s().EDITEUR->marge(c.ligne).profondeur, c.profondeur) << "ligne " << c.ligne;
    }
    acces_simulateur::regle_horloge(*sim, horloge_du_test);
    mode_marche& marche = acces_simulateur::marche(*sim);
    clique(f->B_PLAY);
    for (int n = 0; marche.en_marche() && n < 1000; ++n) {
        heure = std::max(heure, marche.rendez_vous() + 1e-9);
        EXPECT_EQ(sim->passe_commande(), 1);
    }
    ASSERT_EQ(marche.raison(), arret::erreur_pile);
    EXPECT_EQ(s().EDITEUR->ligne_arret(), 3) << "le DUP qui a trouve la pile pleine";
    EXPECT_EQ(s().EDITEUR->ligne_pc(), 4) << "PC est deja apres lui";
    clique(f->B_RESET);
    EXPECT_EQ(s().EDITEUR->ligne_arret(), 0) << "RESET oublie l'arret";
    EXPECT_EQ(s().EDITEUR->ligne_pc(), 2);
}

// F4 : la marche va jusqu'a l'instruction de la ligne du curseur (ou de la
// suivante) ; son point temporaire s'en va a l'arret, celui de l'etudiant reste.
TEST_F(source, f4_execute_jusqu_a_la_ligne_du_curseur) {
    ouvre(chemin);
    acces_simulateur::regle_horloge(*sim, horloge_du_test);
    mode_marche& marche = acces_simulateur::marche(*sim);
    struct cas {
        bool reset;        // d'abord
        int ligne;         // du curseur
        bool point_avant;  // pose par l'etudiant
        unsigned short pc; // a l'arret
    };
    cas const table[] = {
        {false, 7, false, 0x000b}, // POP total, depuis le debut
        {false, 4, true, 0x0005},  // boucle : BT y revient, le point reste
        {true, 3, false, 0x0002},  // avant ce point
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.ligne);
        if (c.reset) {
            clique(f->B_RESET);
        }
        if (c.point_avant) {
            clic_marge(c.ligne);
        }
        s().EDITEUR->insert_position(texte().skip_lines(0, c.ligne - 1));
        touche(s().source, FL_F + 4);
        EXPECT_TRUE(marche.en_marche() || marche.raison() != arret::aucun);
        for (int n = 0; marche.en_marche() && n < 1000; ++n) {
            heure = std::max(heure, marche.rendez_vous() + 1e-9);
            EXPECT_EQ(sim->passe_commande(), 1);
        }
        EXPECT_EQ(marche.raison(), arret::point_arret);
        EXPECT_EQ(cpu->PC_value(), c.pc);
        EXPECT_EQ(s().EDITEUR->ligne_pc(), c.ligne);
        EXPECT_EQ(marche.points().contient(c.pc), c.point_avant);
    }
    s().EDITEUR->insert_position(texte().skip_lines(0, 8));
    frappe(s().source, FL_F + 4); // ligne 9 : sans instruction ici ni apres
    EXPECT_FALSE(marche.en_marche());
    EXPECT_STREQ(libelle(s().ETAT), "Ligne 9 : aucune instruction ici ni après");
}

// Modifie, annule, retablit ; Ctrl+R enregistre, recharge, et le point de ADD le
// suit d'une ligne. Change aussi sur le disque : l'etudiant choisit.
TEST_F(source, ctrl_r_enregistre_le_texte_modifie_et_le_recharge) {
    ouvre(chemin);
    clic_marge(6);
    texte().insert(texte().line_start(texte().skip_lines(0, 1)), "        NOP\n");
    EXPECT_STREQ(libelle(s().MODIFIE), "modifié");
    clique(s().ANNULER);
    EXPECT_EQ(lit(chemin), tout());
    EXPECT_STREQ(libelle(s().MODIFIE), "");
    clique(s().RETABLIR);
    testing::internal::CaptureStderr();
    touche(s().source, 'r', FL_CTRL, "\x12");
    EXPECT_EQ(lit(chemin), "; somme par trois\n        NOP\n" + somme.substr(somme.find('\n') + 1));
    EXPECT_EQ(mem->read_byte(0), 0x1B);
    EXPECT_TRUE(acces_simulateur::marche(*sim).points().contient(0x000b)) << "ADD, ligne 7";
    EXPECT_FALSE(acces_simulateur::marche(*sim).points().contient(0x000a));
    EXPECT_STREQ(libelle(s().MODIFIE), "");

    ecrit_fichier("somme.asm", "  DUP\n");
    texte().insert(0, "; ici\n");
    repond("Reprendre le disque");
    clique(acces_simulateur::barre(*sim).B_RECHARGER);
    auto const vus = prend_dialogues();
    ASSERT_EQ(vus.size(), 1u);
    EXPECT_TRUE(vus[0].contient("a changé sur le disque et dans la fenêtre du source"));
    EXPECT_EQ(tout(), "  DUP\n");
    EXPECT_EQ(mem->read_byte(0), 0x03);
    testing::internal::GetCapturedStderr();
}

// Ctrl+S, le fichier change sur le disque et le texte dans la fenetre : chaque
// choix de la question de Ctrl+R. Puis enregistrer sous le nom d'un autre
// fichier : Entree sur la question le garde.
TEST_F(source, ctrl_s_demande_si_le_disque_a_change_et_entree_ne_remplace_rien) {
    std::string const tape = "; ici\n" + somme;
    struct cas {
        char const* bouton;
        std::string fichier; // ensuite
        std::string fenetre;
    };
    cas const table[] = {
        {"Annuler", "  DUP\n", tape},
        {"Garder la fenêtre", tape, tape},
        {"Reprendre le disque", "  DUP\n", "  DUP\n"},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.bouton);
        relance({});
        ecrit_fichier("somme.asm", somme);
        ouvre(chemin);
        ecrit_fichier("somme.asm", "  DUP\n");
        texte().insert(0, "; ici\n");
        repond(c.bouton);
        touche(s().source, 's', FL_CTRL, "\x13");
        auto const vus = prend_dialogues();
        ASSERT_EQ(vus.size(), 1u) << vus;
        EXPECT_TRUE(vus[0].contient("a changé sur le disque et dans la fenêtre du source"));
        EXPECT_EQ(lit(chemin), c.fichier);
        EXPECT_EQ(tout(), c.fenetre);
    }
    std::string const autre = ecrit_fichier("autre.asm", "; autre\n");
    reponse = [autre](Fl_Window* w) {
        if (premier_de<Fl_File_Input>(w) != nullptr) {
            choisit_fichier(autre)(w);
        } else {
            frappe(w, FL_Enter);
        }
    };
    clique(s().ENREGISTRER_SOUS);
    auto const vus = prend_dialogues();
    ASSERT_EQ(vus.size(), 2u) << vus;
    EXPECT_TRUE(vus[1].contient("« " + autre + " » existe déjà. Le remplacer ?"));
    EXPECT_EQ(lit(autre), "; autre\n");
    EXPECT_EQ(std::string(s().source->label()), "Source — " + nom_de(chemin));
}

TEST_F(source, les_erreurs_vont_sous_le_texte_et_rien_n_est_charge) {
    std::string const fautive =
        ecrit_fichier("fautive.asm", "  PUSHI 1\n  PUSHX 1\n  BT ailleurs\n");
    testing::internal::CaptureStderr();
    ouvre(fautive);
    testing::internal::GetCapturedStderr();
    EXPECT_STREQ(libelle(f->DUMP01), "   0 ff ff ff ff ff ff ff ff") << "rien n'est charge";
    EXPECT_STREQ(acces_simulateur::barre(*sim).NOM_FICHIER->tooltip(), "Aucun fichier ouvert");
    EXPECT_EQ(std::string(s().source->label()), "Source — " + nom_de(fautive));
    ASSERT_EQ(s().DIAGNOSTICS->size(), 3);
    EXPECT_EQ(std::string(s().DIAGNOSTICS->text(1)),
              "@b@." + nom_de(fautive) + " : 2 erreurs ; rien n'a été chargé");
    EXPECT_EQ(s().EDITEUR->marge(2).diagnostic, 2);
    EXPECT_EQ(s().EDITEUR->marge(1).diagnostic, 0);
    s().DIAGNOSTICS->value(3);
    clique(s().DIAGNOSTICS);
    EXPECT_EQ(s().EDITEUR->insert_position(), texte().skip_lines(0, 2) + 5) << "ligne 3, colonne 6";
}

// Annuler reste dans le programme ; ne pas enregistrer quitte ; enregistrer
// ecrit puis quitte. Fermer la fenetre principale pose la meme question.
TEST_F(source, quitter_avec_des_modifications_pose_la_question) {
    struct cas {
        char const* bouton;
        bool par_la_case;
        int encore; // resultat de la passe
        bool enregistre;
    };
    cas const table[] = {
        {"Annuler", false, 1, false},
        {"Ne pas enregistrer", false, 0, false},
        {"Enregistrer", false, 0, true},
        {"Annuler", true, 1, false},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(std::string(c.bouton) + (c.par_la_case ? " (case)" : ""));
        relance({});
        ecrit_fichier("somme.asm", somme);
        ouvre(chemin);
        texte().insert(0, "; x\n");
        repond(c.bouton);
        int encore = 0;
        if (c.par_la_case) {
            Fl::handle(FL_CLOSE, f->SIM);
            encore = sim->passe_commande();
            EXPECT_TRUE(f->SIM->visible()) << "annule : la fenetre revient";
        } else {
            encore = choisit_menu(3);
        }
        EXPECT_EQ(encore, c.encore);
        auto const vus = prend_dialogues();
        ASSERT_EQ(vus.size(), 1u);
        EXPECT_TRUE(vus[0].contient("Enregistrer les modifications de " + nom_de(chemin) + " ?"));
        EXPECT_EQ(lit(chemin), c.enregistre ? "; x\n" + somme : somme);
    }
}

// Une ligne de plus d'un demi-million de caracteres, dessinee d'un trait, faisait
// refuser la demande par le serveur X (BadLength) puis arreter le programme.
TEST_F(source, une_tres_longue_ligne_se_dessine_sans_arreter_la_fenetre) {
    std::string const longue(300000, 'x');
    struct cas {
        char const* quoi;
        std::string texte;
        bool joint; // Suppr en fin de premiere ligne
        std::string attendu;
    };
    cas const table[] = {
        {"lue", "; " + longue + longue + "\n", false, "; " + longue + longue + "\n"},
        {"lue, accentuee", "; " + std::string(200000, 'e') + "é" + longue, false,
         "; " + std::string(200000, 'e') + "é" + longue},
        {"étiquette, aux symboles", "e" + longue + longue + ": NOP\n", false,
         "e" + longue + longue + ": NOP\n"},
        {"jointe par Suppr", "; " + longue + "\n" + longue + "\n", true,
         "; " + longue + longue + "\n"},
    };
    // Le programme s'arrete sur l'erreur (la file de Xlib perd le compte) ; ici,
    // elle est comptee.
    erreurs_x = 0;
    auto const avant = XSetErrorHandler([](Display*, XErrorEvent*) { return ++erreurs_x, 0; });
    auto const dessine = [this] {
        s().EDITEUR->redraw();
        for (int i = 0; i < 5; ++i) {
            Fl::check();
        }
        Fl::flush();
        XSync(fl_display, False);
    };
    testing::internal::CaptureStderr(); // les diagnostics citent les lignes
    for (cas const& c : table) {
        SCOPED_TRACE(c.quoi);
        relance({});
        ouvre(ecrit_fichier("longue.asm", c.texte));
        if (c.joint) {
            s().EDITEUR->take_focus();
            s().EDITEUR->insert_position(texte().line_end(0));
            frappe(s().source, FL_Delete);
        }
        dessine();
        EXPECT_EQ(tout(), c.attendu) << "le texte est entier";
        s().EDITEUR->insert_position(texte().length());
        s().EDITEUR->show_insert_position();
        dessine();
    }
    XSetErrorHandler(avant);
    EXPECT_EQ(erreurs_x, 0) << "une demande refusee par le serveur X";
    testing::internal::GetCapturedStderr();
}

// Les styles d'une longue ligne : jumeaux alternes, aucun trait de plus de
// trait_maximal octets, aucun changement au milieu d'un caractere, et chaque
// octet garde son style (au jumeau pres).
TEST(traits_bornes, une_longue_ligne_se_dessine_en_traits_courts) {
    struct cas {
        char const* quoi;
        std::string texte;
        std::string styles; // vide : un seul style, 'A'
    };
    std::string const e_accent = "é";
    cas const table[] = {
        {"courte", std::string(512, 'x'), ""},
        {"ascii", std::string(5000, 'x'), ""},
        {"accents a cheval",
         std::string(507, 'x') +
             [&] {
                 std::string t;
                 for (int i = 0; i < 3000; ++i) {
                     t += e_accent;
                 }
                 return t;
             }(),
         ""},
        {"deux styles", std::string(3000, 'x'), std::string(1000, 'B') + std::string(2000, 'F')},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.quoi);
        std::string const avant = c.styles.empty() ? std::string(c.texte.size(), 'A') : c.styles;
        std::string styles = avant;
        borne_traits(c.texte, styles);
        ASSERT_EQ(styles.size(), avant.size());
        std::size_t trait = 0;
        for (std::size_t i = 0; i < styles.size(); ++i) {
            char const propre = static_cast<char>(
                styles[i] >= 'A' + nb_styles_source ? styles[i] - nb_styles_source : styles[i]);
            ASSERT_EQ(propre, avant[i]) << "octet " << i;
            bool const suite = (static_cast<unsigned char>(c.texte[i]) & 0xC0) == 0x80;
            trait = i > 0 && styles[i] == styles[i - 1] ? trait + 1 : 1;
            ASSERT_LE(trait, static_cast<std::size_t>(trait_maximal)) << "octet " << i;
            ASSERT_TRUE(i == 0 || !suite || styles[i] == styles[i - 1]) << "octet " << i;
        }
    }
}

// Une copie laissee par un karvela arrete : a l'ouverture de son fichier, ou a
// Ctrl+N pour un sans titre ; reprise, c'est une modification (Annuler rend le
// texte ouvert) que l'enregistrement retire ; abandonnee, elle disparait.
TEST_F(source, une_copie_laissee_par_un_karvela_arrete_est_proposee) {
    std::string const etat = testing::TempDir() + "karvela_etat_" + std::to_string(getpid());
    std::string const dossier = etat + "/karvela";
    setenv("XDG_STATE_HOME", etat.c_str(), 1);
    pid_t const mort = fork(); // un numero de processus qui ne tourne plus
    if (mort == 0) {
        _exit(0);
    }
    waitpid(mort, nullptr, 0);
    std::string const copie = "; tape avant l'arret\n" + somme;
    struct cas {
        char const* quoi;
        bool sans_titre;
        std::string texte_copie;
        char const* bouton; // null : aucune question
        std::string texte;  // de la fenetre apres la reponse
    };
    cas const table[] = {
        {"reprise", false, copie, "Reprendre la copie", copie},
        {"abandonnee", false, copie, "Abandonner la copie", somme},
        {"egale au fichier", false, somme, nullptr, somme},
        {"sans titre, reprise", true, copie, "Reprendre la copie", copie},
    };
    testing::internal::CaptureStderr();
    for (cas const& c : table) {
        SCOPED_TRACE(c.quoi);
        relance({});
        ecrit_fichier("somme.asm", somme);
        secours_source laissee(dossier, mort);
        laissee.suit(c.sans_titre ? "" : chemin);
        ASSERT_EQ(laissee.ecrit(c.texte_copie), "");
        std::string const bouton = c.bouton != nullptr ? c.bouton : "";
        std::function<void(Fl_Window*)> const fichier = choisit_fichier(chemin);
        reponse = [&](Fl_Window* w) {
            if (Fl_Widget* b = widget_libelle(w, bouton)) {
                b->do_callback();
            } else {
                fichier(w);
            }
        };
        if (c.sans_titre) {
            clique(s().NOUVEAU);
        } else {
            clique(acces_simulateur::barre(*sim).B_SOURCE);
        }
        auto const vus = prend_dialogues();
        std::size_t const questions = c.bouton != nullptr ? 1 : 0;
        ASSERT_EQ(vus.size(), questions + (c.sans_titre ? 0 : 1)) << vus;
        if (questions > 0) {
            EXPECT_TRUE(vus.back().contient("il y a moins d'une minute")) << vus;
            EXPECT_TRUE(vus.back().contient(c.sans_titre ? "d'un texte sans titre"
                                                         : "de « " + nom_de(chemin) + " »"));
        }
        EXPECT_EQ(tout(), c.texte);
        copie_secours lue;
        if (c.sans_titre) {
            EXPECT_FALSE(lit_copie(laissee.chemin(), lue)) << "reprise, elle est a cette fenetre";
            EXPECT_EQ(copies_orphelines(dossier).size(), 1u) << "celle de la fenetre, a jour";
            continue;
        }
        bool const reprise = c.texte == copie;
        EXPECT_EQ(copie_de(dossier, chemin, lue), reprise || c.bouton == nullptr);
        EXPECT_STREQ(libelle(s().MODIFIE), reprise ? "modifié" : "");
        if (reprise) {
            clique(s().ANNULER);
            EXPECT_EQ(tout(), somme) << "Annuler rend le fichier";
            EXPECT_FALSE(copie_de(dossier, chemin, lue)) << "revenu au fichier, rien a garder";
            clique(s().RETABLIR);
            clique(s().ENREGISTRER);
            EXPECT_EQ(lit(chemin), copie);
            EXPECT_FALSE(copie_de(dossier, chemin, lue)) << "enregistree, la copie est retiree";
        }
        retire_copie(dossier, laissee.chemin());
    }
    testing::internal::GetCapturedStderr();
    relance({});
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(rmdir(dossier.c_str()), 0) << "une copie reste apres avoir quitte";
    rmdir(etat.c_str());
}

// Tout chargement montre aussitot le programme charge dans "Symboles" et le dump,
// sans attendre un pas.
TEST_F(source, tout_chargement_montre_aussitot_ses_symboles_et_le_dump) {
    std::string const autre = "        PUSHI 7\n" // $0000
                              "fin:    BT    fin\n";
    struct cas {
        char const* geste;
        char const* symbole;
        char const* dump;
    };
    cas const table[] = {
        {"ouvrir", "boucle\t$0005\t", "   0  1  0  2  0 11  0  0 11"},
        {"Ctrl+R", "fin\t$0002\t", "   0  1  7 1a  0  0  0  0  0"},
        {"recharger", "boucle\t$0005\t", "   0  1  0  2  0 11  0  0 11"},
    };
    testing::internal::CaptureStderr();
    for (cas const& c : table) {
        std::string const geste = c.geste;
        SCOPED_TRACE(geste);
        if (geste == "ouvrir") {
            ouvre(chemin);
        } else if (geste == "Ctrl+R") {
            texte().text(autre.c_str());
            touche(s().source, 'r', FL_CTRL, "\x12");
        } else {
            ecrit_fichier("somme.asm", somme);
            clique(acces_simulateur::barre(*sim).B_RECHARGER);
        }
        ASSERT_GE(s().SYMBOLES->size(), 1);
        EXPECT_STREQ(s().SYMBOLES->text(1), c.symbole);
        EXPECT_STREQ(libelle(f->DUMP01), c.dump);
    }
    testing::internal::GetCapturedStderr();
}

// La ligne du PC et la marge suivent chaque modification, annulee ou retablie
// comprise, sans attendre l'assemblage suivant.
TEST_F(source, la_ligne_du_pc_et_la_marge_suivent_annuler_et_retablir) {
    ouvre(chemin);
    clique(f->B_STEP); // PC $0002 : POP total, ligne 3
    auto const debut_ligne = [this](int l) { return texte().skip_lines(0, l - 1); };
    struct cas {
        char const* geste;
        int ligne_pc;   // 0 : hors du source (ligne absorbee)
        int ligne_push; // ou la marge montre $0000
    };
    cas const table[] = {
        {"Retour en tete de la ligne 3", 4, 2},
        {"Annuler", 3, 2},
        {"Retablir", 4, 2},
        {"Annuler", 3, 2},
        {"Retour arriere en tete de la ligne 3", 0, 2},
        {"Annuler", 3, 2},
        {"Retablir", 0, 2},
        {"Annuler", 3, 2},
        {"Retour en tete de la ligne 2", 4, 3},
        {"Annuler", 3, 2},
    };
    for (cas const& c : table) {
        std::string const geste = c.geste;
        SCOPED_TRACE(geste);
        if (geste == "Annuler") {
            clique(s().ANNULER);
        } else if (geste == "Retablir") {
            clique(s().RETABLIR);
        } else if (geste == "Retour arriere en tete de la ligne 3") {
            texte().remove(debut_ligne(3) - 1, debut_ligne(3));
        } else {
            texte().insert(debut_ligne(geste.back() - '0'), "\n");
        }
        EXPECT_EQ(s().EDITEUR->ligne_pc(), c.ligne_pc);
        std::string const etat = c.ligne_pc > 0 ? "PC $0002 : ligne " + std::to_string(c.ligne_pc)
                                                : "PC $0002 : hors du source";
        EXPECT_STREQ(libelle(s().ETAT), etat.c_str());
        EXPECT_EQ(s().EDITEUR->marge(c.ligne_push).adresse, 0);
        if (c.ligne_pc > 0) {
            EXPECT_EQ(s().EDITEUR->marge(c.ligne_pc).adresse, 2);
        }
    }
    EXPECT_EQ(tout(), somme);
}

} // namespace
