// Menu Fichier : chargement d'un programme (direct et par le selecteur), abandon,
// fichier illisible, boite "A propos", et la boucle qui dort quand rien n'arrive.
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Return_Button.H>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

#include "banc.h"

namespace {

using menu_fichier = banc;

// Fichier binaire : taille du fichier et adresse de base, gros-boutistes, puis l'image.
std::string ecrit_binaire(std::vector<unsigned char> const& image, unsigned base) {
    std::string const chemin =
        testing::TempDir() + "karvela_controleur_" + std::to_string(getpid()) + ".bin";
    std::FILE* fichier = std::fopen(chemin.c_str(), "wb");
    unsigned const taille = static_cast<unsigned>(image.size()) + 4;
    unsigned char const entete[] = {
        static_cast<unsigned char>(taille >> 8), static_cast<unsigned char>(taille),
        static_cast<unsigned char>(base >> 8), static_cast<unsigned char>(base)};
    std::fwrite(entete, 1, sizeof entete, fichier);
    std::fwrite(image.data(), 1, image.size(), fichier);
    std::fclose(fichier);
    return chemin;
}

// PUSHI 5 ; ADD ; PUSHI -5.
std::vector<unsigned char> const programme = {0x01, 0x05, 0x08, 0x01, 0xFB};

double secondes() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double secondes_processeur() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

TEST_F(menu_fichier, chargement_reussi_repart_de_zero) {
    std::string chemin = ecrit_binaire(programme, 0);
    clique(f->B_STEP); // PC 1, une case de pile perimee
    cpu->set_SP_value(0);
    testing::internal::CaptureStderr();
    acces_simulateur::charge_programme(*sim, &chemin[0]);
    std::string const erreur = testing::internal::GetCapturedStderr();
    std::remove(chemin.c_str());

    EXPECT_NE(erreur.find("depart: 0\n"), std::string::npos) << erreur;
    EXPECT_EQ(cpu->PC_value(), 0);
    EXPECT_EQ(cpu->SP_value(), 0); // la pile reste telle quelle
    EXPECT_EQ(texte_saisie(f->REG_PC_HEX), "      0");
    EXPECT_STREQ(libelle(f->REG_PC_DEC), "    0");
    EXPECT_EQ(acces_simulateur::debut_desassemblage(*sim), 0);
    EXPECT_STREQ(libelle(f->DESA01), "-> 0 PUSHI 5");
    EXPECT_STREQ(libelle(f->DESA02), "   2 ADD");
    EXPECT_STREQ(libelle(f->DESA03), "   3 PUSHI -5");
    EXPECT_EQ(mem->read_byte(5), 0x00);
}

TEST_F(menu_fichier, ouvrir_par_le_selecteur_charge_et_redessine_le_dump) {
    std::string const chemin = ecrit_binaire(programme, 0);
    reponse = [chemin](Fl_Window* w) {
        Fl_File_Input* nom = premier_de<Fl_File_Input>(w);
        Fl_Return_Button* ok = premier_de<Fl_Return_Button>(w);
        ASSERT_NE(nom, nullptr);
        ASSERT_NE(ok, nullptr);
        nom->value(chemin.c_str());
        ok->do_callback();
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(choisit_menu(2), 1);
    std::string const erreur = testing::internal::GetCapturedStderr();
    std::remove(chemin.c_str());

    EXPECT_NE(erreur.find("depart: 0\n"), std::string::npos) << erreur;
    EXPECT_STREQ(libelle(f->DESA02), "   2 ADD");
    EXPECT_STREQ(libelle(f->DUMP01), "   0  1  5  8  1 fb  0  0  0");
    auto const vus = prend_dialogues();
    ASSERT_EQ(vus.size(), 1u) << vus;
    EXPECT_EQ(vus[0].titre, "Choisissez un fichier binaire");
    for (char const* texte : {"Filtre :", "Fichier :", "Aperçu", "Fichiers cachés", "Annuler"}) {
        EXPECT_TRUE(vus[0].contient(texte)) << "selecteur sans \"" << texte << "\"";
    }
}

TEST_F(menu_fichier, selecteur_annule_ne_change_rien) {
    reponse = [](Fl_Window* w) {
        Fl_Widget* annuler = widget_libelle(w, "Annuler");
        ASSERT_NE(annuler, nullptr);
        annuler->do_callback();
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(choisit_menu(2), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "chargement abandonne ...\n");
    auto const vus = prend_dialogues();
    EXPECT_EQ(vus.size(), 1u) << vus;
    EXPECT_EQ(mem->read_byte(0), 0xFF);
}

TEST_F(menu_fichier, fichier_illisible_montre_l_alerte_et_garde_les_registres) {
    clique(f->B_STEP);
    clique(f->DESA_D);
    char chemin[] = "/chemin/qui/n/existe/pas.bin";
    testing::internal::CaptureStderr();
    acces_simulateur::charge_programme(*sim, chemin);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(cpu->PC_value(), 1);
    EXPECT_EQ(texte_saisie(f->REG_PC_HEX), "      1");
    EXPECT_EQ(acces_simulateur::debut_desassemblage(*sim), 1);
    auto const vus = prend_dialogues();
    ASSERT_EQ(vus.size(), 1u) << vus;
    EXPECT_TRUE(vus[0].contient("Erreur: fichier corrompu"));
    EXPECT_TRUE(vus[0].contient("ou fichier binaire non attendu."));
    EXPECT_TRUE(vus[0].contient("Fermer"));
    EXPECT_STREQ(libelle(f->DESA01), "-> 1 ?");
    EXPECT_EQ(mem->read_byte(0), 0xFF);
}

TEST_F(menu_fichier, a_propos_montre_la_boite_modale_jusqu_a_ok) {
    reponse = [](Fl_Window* w) {
        Fl_Widget* ok = widget_libelle(w, "OK");
        ASSERT_NE(ok, nullptr);
        ok->do_callback();
    };
    for (int fois = 1; fois <= 2; ++fois) {
        SCOPED_TRACE(fois);
        EXPECT_EQ(choisit_menu(1), 1);
        auto const vus = prend_dialogues();
        ASSERT_EQ(vus.size(), 1u) << vus;
        EXPECT_EQ(vus[0].titre, "Informations");
        EXPECT_FALSE(acces_simulateur::fenetre_a_propos(*sim)->shown());
        EXPECT_TRUE(f->SIM->shown());
    }
    clique(f->B_STEP); // la boucle reprend avec la fenetre principale
    EXPECT_EQ(cpu->PC_value(), 1);
}

TEST_F(menu_fichier, a_propos_fermee_par_sa_case_de_fermeture) {
    EXPECT_EQ(choisit_menu(1), 1); // reponse par defaut : la case de fermeture
    auto const vus = prend_dialogues();
    EXPECT_EQ(vus.size(), 1u) << vus;
    EXPECT_FALSE(acces_simulateur::fenetre_a_propos(*sim)->shown());
}

TEST_F(menu_fichier, menu_sans_entree_choisie_ne_fait_rien) {
    f->m_fichier->value(static_cast<Fl_Menu_Item const*>(nullptr));
    EXPECT_EQ(clique_et_rend(f->m_fichier), 1);
    EXPECT_TRUE(prend_dialogues().empty());
}

// La boucle dort quand la file est vide, la boite "A propos" aussi : un etudiant
// qui lit l'ecran ne doit pas faire tourner un coeur a plein.
TEST_F(menu_fichier, boucle_attend_sans_tourner) {
    bool arrive = false;
    Fl::add_timeout(
        0.3, [](void* d) { *static_cast<bool*>(d) = true; }, &arrive);
    double const debut = secondes();
    double const debut_cpu = secondes_processeur();
    int passes = 0;
    while (!arrive && passes < 1000) {
        EXPECT_EQ(sim->passe_commande(), 1);
        ++passes;
    }
    double const duree = secondes() - debut;
    EXPECT_TRUE(arrive);
    EXPECT_LT(passes, 200) << "la boucle tourne a vide";
    EXPECT_LT(secondes_processeur() - debut_cpu, 0.5 * duree);
}

TEST_F(menu_fichier, a_propos_attend_sans_tourner) {
    delai_reponse = 0.3;
    double const debut = secondes();
    double const debut_cpu = secondes_processeur();
    EXPECT_EQ(choisit_menu(1), 1);
    double const duree = secondes() - debut;
    EXPECT_GE(duree, 0.25);
    EXPECT_LT(secondes_processeur() - debut_cpu, 0.5 * duree);
    auto const vus = prend_dialogues();
    EXPECT_EQ(vus.size(), 1u) << vus;
}

} // namespace
