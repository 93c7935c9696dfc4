// Mode marche de la fenetre : PLAY jusqu'a la fin du programme, les facons de
// l'arreter, les commandes qui l'arretent ou la laissent, les points d'arret, un
// bit de port clique en marche, le pas arriere. L'horloge est celle du test :
// chaque passe sans widget la pose au rendez-vous de la marche, rien n'attend.
#include <FL/Fl.H>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "banc.h"

namespace {

double heure = 0;
double horloge_du_test() {
    return heure;
}

// PUSHI 3 ; 0002 PUSHI 1 ; SUB ; BNEZ $0002 ; 0008 BT *
std::vector<int> const rebours = {0x01, 0x03, 0x01, 0x01, 0x09, 0x15, 0xFF, 0xFD, 0x1A, 0, 0};
// 0000 PUSH PORTE ; PUSHI 1 ; AND ; BNEZ $000d ; DROP ; BT $0000 ; 000d BT *
std::vector<int> const attend_port_e = {0x00, 0x10, 0x0A, 0x01, 0x01, 0x0D, 0x15, 0x00,
                                        0x07, 0x05, 0x1A, 0xFF, 0xF6, 0x1A, 0x00, 0x00};
// Chenillard qui ecrit aussi la memoire : PUSHI 1 ; 0002 DUP ; POP PORTB ; DUP ;
// POP $0100 ; LSL ; BNEZ $0002 ; DROP ; BT $0000
std::vector<int> const chenillard = {0x01, 0x01, 0x03, 0x02, 0x10, 0x04, 0x03, 0x02, 0x01,
                                     0x00, 0x13, 0x15, 0xFF, 0xF7, 0x05, 0x1A, 0xFF, 0xF1};

// Ce qu'un programme peut voir : registres, entrees vivantes de la pile, ports,
// et la memoire entiere ou les octets qu'ecrivent les programmes ci-dessus.
std::vector<int> etat(mem_64k& memoire, mp_interpreteur& cpu, machine& m, bool toute_la_memoire) {
    std::vector<int> e = {cpu.PC_value(), cpu.SP_value(), cpu.CCR_value()};
    for (short i = 0; i <= cpu.SP_value(); ++i) {
        e.push_back(cpu.pile(i));
    }
    for (int p = 0; p < nb_ports; ++p) {
        e.push_back(m.port(p).valeur());
        e.push_back(m.port(p).direction());
    }
    if (toute_la_memoire) {
        for (unsigned a = 0; a < mem_64k::taille; ++a) {
            e.push_back(memoire.read_byte(static_cast<unsigned short>(a)));
        }
    } else {
        for (unsigned short a : {0x0100, 0x1000, 0x1003, 0x1004, 0x1007, 0x1008, 0x1009, 0x100A}) {
            e.push_back(memoire.read_byte(a));
        }
    }
    return e;
}

// La machine du coeur partie du meme etat que la fenetre : ce que la marche doit donner.
struct reference {
    mem_64k memoire;
    mp_interpreteur cpu;
    registre_port ports[nb_ports];
    registre_port* const pointeurs[nb_ports] = {&ports[0], &ports[1], &ports[2], &ports[3],
                                                &ports[4]};
    machine m{memoire, cpu, pointeurs};

    reference(mem_64k& depart, mp_interpreteur& cpu_depart) {
        cpu.learn_mem(&memoire);
        cpu.init_registers();
        cpu.set_PC_value(cpu_depart.PC_value());
        cpu.set_CCR_value(cpu_depart.CCR_value());
        for (int p = 0; p < nb_ports; ++p) {
            ports[p].configure(ports_machine[p], &memoire);
        }
        for (unsigned a = 0; a < mem_64k::taille; ++a) {
            unsigned short const adr = static_cast<unsigned short>(a);
            memoire.write_byte(adr, depart.read_byte(adr));
        }
    }
    std::vector<int> etat_ref(bool tout = true) { return etat(memoire, cpu, m, tout); }
};

class marche : public banc {
  protected:
    void SetUp() override {
        banc::SetUp();
        heure = 0;
        acces_simulateur::regle_horloge(*sim, horloge_du_test);
        b = &acces_simulateur::barre_marche(*sim);
        mm = &acces_simulateur::marche(*sim);
    }

    void choisit_vitesse(int v) {
        int const i =
            static_cast<int>(std::find(std::begin(vitesses_marche), std::end(vitesses_marche), v) -
                             std::begin(vitesses_marche));
        b->VITESSE->value(i);
        clique(b->VITESSE);
        ASSERT_EQ(mm->vitesse(), v);
    }
    // Une passe sans widget a l'heure du rendez-vous (un rien apres : l'heure d'une
    // instruction due, calculee, peut tomber un arrondi apres le rendez-vous) ;
    // rend les instructions faites.
    long long passe() {
        heure = std::max(heure, mm->rendez_vous() + 1e-9);
        long long const avant = mm->pas_faits();
        EXPECT_EQ(sim->passe_commande(), 1);
        return mm->pas_faits() - avant;
    }
    void tourne_jusqu_a_l_arret() {
        for (int n = 0; mm->en_marche() && n < 100000; ++n) {
            passe();
        }
        ASSERT_FALSE(mm->en_marche());
    }
    // Une touche comme la boite a outils la recoit, puis la passe qui prend son widget.
    void touche(int cle, int modificateurs = 0) {
        static char rien[] = "";
        Fl::e_keysym = cle;
        Fl::e_state = modificateurs;
        Fl::e_text = rien;
        Fl::e_length = 0;
        Fl::handle(FL_KEYBOARD, f->SIM);
        Fl::e_state = 0;
        EXPECT_EQ(sim->passe_commande(), 1);
        EXPECT_EQ(Fl::readqueue(), nullptr);
    }
    // Un vrai clic de souris sur le widget (appui, lacher), puis une passe.
    void clic_souris(Fl_Widget* w) {
        Fl::e_x = Fl::e_x_root = w->x() + w->w() / 2;
        Fl::e_y = Fl::e_y_root = w->y() + w->h() / 2;
        Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
        Fl::handle(FL_PUSH, f->SIM);
        Fl::handle(FL_RELEASE, f->SIM);
        EXPECT_EQ(sim->passe_commande(), 1);
        EXPECT_EQ(Fl::readqueue(), nullptr);
    }
    std::vector<int> etat_machine(bool tout = true) {
        return etat(*mem, *cpu, acces_simulateur::moteur(*sim), tout);
    }
    // Le panneau montre le PC de la machine.
    std::string pc_attendu() const {
        char texte[16];
        std::snprintf(texte, sizeof texte, "   %4x", cpu->PC_value());
        return texte;
    }
    bool marquee(Fl_Widget* ligne) const { return ligne->labeltype() != FL_NORMAL_LABEL; }

    barre_marche_class* b = nullptr;
    mode_marche* mm = nullptr;
};

TEST_F(marche, va_jusqu_a_bt_et_montre_l_etat_final_a_chaque_vitesse) {
    struct cas {
        int vitesse;
        bool chaque_pas_montre;
    } const table[] = {{1, true}, {10, true}, {100, false}, {1000, false}, {vitesse_max, false}};
    tape_programme(0, rebours);
    EXPECT_EQ(mm->vitesse(), vitesse_par_defaut);
    for (cas const& c : table) {
        SCOPED_TRACE("vitesse " + std::to_string(c.vitesse));
        clique(f->B_RESET);
        choisit_vitesse(c.vitesse);
        clique(f->B_PLAY);
        EXPECT_STREQ(libelle(b->ETAT), "En marche");
        for (int n = 0; mm->en_marche() && n < 1000; ++n) {
            long long const faits = passe();
            if (c.chaque_pas_montre && faits > 0) {
                ASSERT_EQ(faits, 1);
                ASSERT_EQ(texte_saisie(f->REG_PC_HEX), pc_attendu());
            }
        }
        ASSERT_FALSE(mm->en_marche());
        EXPECT_EQ(mm->pas_faits(), 11);
        EXPECT_EQ(cpu->PC_value(), 8);
        EXPECT_EQ(cpu->SP_value(), 0);
        EXPECT_EQ(cpu->pile(0), 0);
        EXPECT_STREQ(libelle(b->ETAT), "Arrêt : fin de programme (boucle en $0008)");
        EXPECT_EQ(texte_saisie(f->REG_PC_HEX), "      8");
        EXPECT_STREQ(libelle(f->PILE00), "0 ");
        EXPECT_STREQ(libelle(f->DESA05), "-> 8 BT $0000");
        EXPECT_TRUE(b->B_RECULE->active());
    }
    clique(f->B_RESET);
    EXPECT_STREQ(libelle(b->ETAT), "") << "RESET : l'arret d'avant ne decrit plus la machine";
    // De meme un pas arriere et une ecriture en memoire ; une ecriture refusee, non.
    std::pair<bool, bool> const ecrit_efface[] = {{false, true}, {true, false}, {true, true}};
    for (auto const& [ecrit, efface] : ecrit_efface) {
        clique(f->B_PLAY);
        tourne_jusqu_a_l_arret();
        ecrit ? tape_memoire("$200", efface ? "7" : "300", "1") : clique(b->B_RECULE);
        prend_dialogues();
        EXPECT_EQ(libelle(b->ETAT)[0] == '\0', efface) << ecrit;
    }
}

TEST_F(marche, chaque_erreur_de_pile_arrete_et_dit_sa_sorte) {
    // 0000 DROP sur pile vide ; seize PUSHI ; 0021 un dix-septieme ; BT *
    std::vector<int> programme = {0x05};
    for (int i = 0; i < 17; ++i) {
        programme.insert(programme.end(), {0x01, 7});
    }
    programme.insert(programme.end(), {0x1A, 0, 0});
    tape_programme(0, programme);
    choisit_vitesse(vitesse_max);
    // E reste leve apres la premiere : la seconde doit arreter quand meme.
    for (char const* etat : {"Arrêt : pile vide en $0000", "Arrêt : pile pleine en $0021"}) {
        clique(f->B_PLAY);
        tourne_jusqu_a_l_arret();
        EXPECT_STREQ(libelle(b->ETAT), etat);
    }
}

TEST_F(marche, arretee_au_milieu_l_etat_est_montre_et_step_continue) {
    Fl_Window* const platine = acces_simulateur::platine(*sim).platine;
    struct facon {
        char const* nom;
        std::function<void()> arrete;
    } const table[] = {
        {"STOP", [&] { clique(f->B_STOP); }},
        {"Maj+F5", [&] { touche(FL_F + 5, FL_SHIFT); }},
        {"Echap", [&] { touche(FL_Escape); }},
        {"Echap dans la platine, qui reste ouverte",
         [&] {
             frappe(platine, FL_Escape);
             EXPECT_EQ(sim->passe_commande(), 1);
             EXPECT_EQ(Fl::readqueue(), nullptr);
             EXPECT_TRUE(platine->visible());
         }},
    };
    clique(acces_simulateur::barre_platine(*sim).B_PLATINE);
    tape_programme(0, chenillard);
    for (facon const& c : table) {
        SCOPED_TRACE(c.nom);
        clique(f->B_RESET);
        reference ref(*mem, *cpu);
        clique(f->B_PLAY);
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(passe(), 1);
            ref.m.pas();
        }
        c.arrete();
        EXPECT_FALSE(mm->en_marche());
        EXPECT_STREQ(libelle(b->ETAT), "Arrêt demandé");
        EXPECT_EQ(etat_machine(), ref.etat_ref());
        EXPECT_EQ(texte_saisie(f->REG_PC_HEX), pc_attendu());
        clique(f->B_STEP);
        ref.m.pas();
        EXPECT_EQ(etat_machine(), ref.etat_ref());
    }
}

TEST_F(marche, ce_qui_arrete_la_marche_et_ce_qui_la_laisse) {
    std::string const source = ecrit_fichier("rebours.asm", "PUSHI 3\nici: BT ici\n");
    struct cas {
        char const* nom;
        std::function<void()> action;
        bool arrete;
    } const table[] = {
        {"STEP", [&] { clique(f->B_STEP); }, true},
        {"RESET", [&] { clique(f->B_RESET); }, true},
        {"pas arriere", [&] { clique(b->B_RECULE); }, true},
        {"Recharger",
         [&] {
             acces_simulateur::retiens_fichier(*sim, source);
             clique(acces_simulateur::barre(*sim).B_RECHARGER);
         },
         true},
        {"Quitter", [&] { EXPECT_EQ(choisit_menu(3), 0); }, true},
        {"menu Fichier sans choix", [&] { EXPECT_EQ(choisit_menu(0), 1); }, false},
        {"A propos",
         [&] {
             EXPECT_EQ(choisit_menu(1), 1);
             EXPECT_EQ(prend_dialogues().size(), 1u);
         },
         false},
        {"edition memoire", [&] { tape_memoire("$200", "7", "1"); }, false},
        {"DUMP_D", [&] { clique(f->DUMP_D); }, false},
        {"vitesse", [&] { choisit_vitesse(100); }, false},
        {"ligne du desassemblage", [&] { clique(f->DESA12); }, false},
        {"PLAY", [&] { clique(f->B_PLAY); }, false},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        tape_programme(0, chenillard);
        clique(f->B_RESET);
        choisit_vitesse(vitesse_max);
        clique(f->B_PLAY);
        passe();
        ASSERT_TRUE(mm->en_marche());
        c.action();
        EXPECT_EQ(mm->en_marche(), !c.arrete);
        if (!c.arrete) {
            EXPECT_GT(passe(), 0) << "la marche continue";
            clique(f->B_STOP);
        }
        EXPECT_EQ(texte_saisie(f->REG_PC_HEX), pc_attendu()) << "l'etat a l'arret est montre";
    }
    EXPECT_EQ(mem->read_byte(0x200), 7);
}

TEST_F(marche, point_d_arret_arrete_avant_son_instruction_et_play_le_passe) {
    tape_programme(0, rebours);
    choisit_vitesse(vitesse_max);
    // Lignes : 0 PUSHI 3, 2 PUSHI 1, 4 SUB, 5 BNEZ, 8 BT.
    clic_souris(f->DESA04);
    EXPECT_STREQ(libelle(f->DESA04), "   5 BNEZ $fffd");
    EXPECT_TRUE(marquee(f->DESA04));
    EXPECT_FALSE(marquee(f->DESA03));
    struct arret_attendu {
        char const* avant; // ce qui precede PLAY
        char const* etat;
        int pile; // le compteur : SUB a tourne, BNEZ pas encore
    } const table[] = {
        {"", "Arrêt : point d'arrêt en $0005", 2},
        {"", "Arrêt : point d'arrêt en $0005", 1},
        {"RESET", "Arrêt : point d'arrêt en $0005", 2},
        {"F9 au PC", "Arrêt : fin de programme (boucle en $0008)", 0},
    };
    for (arret_attendu const& a : table) {
        SCOPED_TRACE(std::string(a.avant) + " / " + a.etat);
        if (std::string(a.avant) == "RESET") {
            clique(f->B_RESET);
            EXPECT_TRUE(marquee(f->DESA04)) << "RESET garde les points d'arret";
        } else if (std::string(a.avant) == "F9 au PC") {
            touche(FL_F + 9);
            EXPECT_FALSE(marquee(f->DESA04)) << "F9 retire le point de la ligne du PC";
        }
        clique(f->B_PLAY);
        tourne_jusqu_a_l_arret();
        EXPECT_STREQ(libelle(b->ETAT), a.etat);
        EXPECT_EQ(cpu->pile(0), a.pile);
    }
    touche(FL_F + 9); // sur BT *, ligne du PC
    EXPECT_TRUE(marquee(f->DESA05));
    EXPECT_STREQ(libelle(f->DESA05), "-> 8 BT $0000");
    acces_simulateur::retiens_fichier(*sim, ecrit_fichier("fin.asm", "ici: BT ici\n"));
    clique(acces_simulateur::barre(*sim).B_RECHARGER);
    EXPECT_TRUE(mm->points().vide()) << "un chargement efface les points d'arret";
    EXPECT_FALSE(marquee(f->DESA01));
    EXPECT_STREQ(libelle(b->ETAT), "");
}

TEST_F(marche, un_bit_clique_en_marche_est_vu_par_le_programme) {
    tape_programme(0, attend_port_e);
    choisit_vitesse(vitesse_max);
    clique(f->B_PLAY);
    for (int k = 0; k < 3; ++k) {
        EXPECT_GT(passe(), 0);
    }
    ASSERT_TRUE(mm->en_marche()) << "le programme attend le bit 0 du port E";
    Fl_Widget* const bit0_port_e = widget_en(f->SIM, 110, 310, 10, 10);
    ASSERT_NE(bit0_port_e, nullptr);
    clique(bit0_port_e);
    EXPECT_TRUE(mm->en_marche());
    tourne_jusqu_a_l_arret();
    EXPECT_STREQ(libelle(b->ETAT), "Arrêt : fin de programme (boucle en $000d)");
}

TEST_F(marche, pas_arriere_refait_chaque_etat_de_la_marche_cent_mille_fois) {
    constexpr long long reculs = 100000;
    EXPECT_FALSE(b->B_RECULE->active()) << "rien a annuler au demarrage";
    tape_programme(0, chenillard);
    reference ref(*mem, *cpu);
    choisit_vitesse(vitesse_max);
    clique(f->B_PLAY);
    while (mm->pas_faits() <= reculs) {
        passe();
    }
    clique(f->B_STOP);
    long long const n = mm->pas_faits();
    std::vector<std::vector<int>> attendus;
    std::vector<int> depart_des_reculs;
    for (long long k = 0; k <= n; ++k) {
        if (k == n - reculs) {
            depart_des_reculs = ref.etat_ref();
        }
        if (k >= n - reculs) {
            attendus.push_back(ref.etat_ref(false));
        }
        ref.m.pas();
    }
    ASSERT_EQ(etat_machine(false), attendus.back());
    // Cachee, la fenetre ne se dessine pas a chaque passe : cent mille passes en
    // quelques secondes, les memes commandes et les memes textes.
    f->SIM->hide();
    for (long long k = reculs - 1; k >= 0; --k) {
        ASSERT_TRUE(b->B_RECULE->active());
        clique(b->B_RECULE);
        ASSERT_EQ(etat_machine(false), attendus[static_cast<std::size_t>(k)]) << "pas " << k;
    }
    EXPECT_EQ(etat_machine(), depart_des_reculs);
    f->SIM->show();
    EXPECT_EQ(texte_saisie(f->REG_PC_HEX), pc_attendu());
    acces_simulateur::retiens_fichier(*sim, ecrit_fichier("fin.asm", "ici: BT ici\n"));
    clique(acces_simulateur::barre(*sim).B_RECHARGER);
    EXPECT_FALSE(b->B_RECULE->active()) << "un chargement vide l'historique";
}

} // namespace
