// Fenetre principale fraichement construite : chaque widget a sa place dans l'ordre
// de creation, avec sa classe, sa geometrie, son texte provisoire et son apparence.
#include "maquette.h"
#include "simulateur/interface.h"

#include <set>

namespace {

const Classe BUTTON{"Fl_Button", &typeid(Fl_Button), FL_WHEN_RELEASE};
const Classe RETURN_BUTTON{"Fl_Return_Button", &typeid(Fl_Return_Button), FL_WHEN_RELEASE};
const Classe INPUT{"Fl_Input", &typeid(Fl_Input), FL_WHEN_RELEASE};
const Classe SLIDER{"Fl_Slider", &typeid(Fl_Slider), FL_WHEN_CHANGED};
const Classe MENU_BUTTON{"Fl_Menu_Button", &typeid(Fl_Menu_Button), FL_WHEN_RELEASE_ALWAYS};

const Fl_Color GRIS = FL_BACKGROUND_COLOR;
const Fl_Color NOIR = FL_FOREGROUND_COLOR;
const Fl_Align DANS_A_GAUCHE = FL_ALIGN_INSIDE | FL_ALIGN_LEFT;

// Styles de la maquette, defauts de la boite a outils compris.
const Apparence LEGENDE{FL_FLAT_BOX, GRIS, FL_LIGHT1, FL_TIMES, 18, NOIR, FL_ALIGN_INSIDE};
const Apparence AFFICHAGE{FL_DOWN_BOX, GRIS, FL_LIGHT1, FL_COURIER, 12, NOIR, FL_ALIGN_INSIDE};
const Apparence SAISIE_REGISTRE{FL_DOWN_BOX, GRIS, FL_LIGHT1, FL_COURIER, 12, NOIR, FL_ALIGN_LEFT};
const Apparence LISTING{FL_FLAT_BOX, FL_WHITE, FL_LIGHT1, FL_COURIER, 14, NOIR, DANS_A_GAUCHE};
const Apparence CASE_PILE{FL_BORDER_BOX, FL_WHITE, FL_LIGHT1, FL_COURIER, 14, NOIR, DANS_A_GAUCHE};
const Apparence TITRE_CADRE{FL_FLAT_BOX, GRIS, FL_LIGHT1, FL_HELVETICA, 18, NOIR, DANS_A_GAUCHE};
const Apparence TITRE_CENTRE{FL_FLAT_BOX, GRIS, FL_LIGHT1, FL_TIMES, 14, NOIR, FL_ALIGN_INSIDE};
const Apparence TITRE_A_GAUCHE{FL_FLAT_BOX, GRIS, FL_LIGHT1, FL_TIMES, 14, NOIR, DANS_A_GAUCHE};
const Apparence RELIEF{FL_UP_BOX, GRIS, GRIS, FL_HELVETICA, 14, NOIR, FL_ALIGN_CENTER};
const Apparence GRAVE{FL_ENGRAVED_FRAME, GRIS, GRIS, FL_HELVETICA, 14, NOIR, FL_ALIGN_CENTER};
const Apparence CREUX{FL_DOWN_BOX, GRIS, GRIS, FL_HELVETICA, 14, NOIR, FL_ALIGN_CENTER};
const Apparence BOUTON{FL_UP_BOX, GRIS, GRIS, FL_HELVETICA, 14, NOIR, FL_ALIGN_CENTER};
const Apparence SAISIE{FL_DOWN_BOX, FL_BACKGROUND2_COLOR, FL_SELECTION_COLOR, FL_HELVETICA, 14,
                       NOIR,        FL_ALIGN_LEFT};

const char* const FF = "FFFF FF FF FF FF FF FF FF FF";

// Toute la fenetre, dans l'ordre de creation.
std::vector<Attendu> maquette(const SIM_class& s) {
    return {
        {"fond",
         nullptr,
         BOX,
         0,
         36,
         650,
         699,
         nullptr,
         {FL_UP_BOX, GRIS, GRIS, FL_HELVETICA, 14, NOIR, FL_ALIGN_TOP_LEFT}},
        {"cadre des registres", nullptr, BOX, 20, 60, 610, 100, nullptr, GRAVE},
        {"titre des registres", nullptr, BOX, 40, 40, 170, 20, "Registres generaux", TITRE_CADRE},
        {"REG_A_BIN", s.REG_A_BIN, BOX, 30, 130, 70, 20, "00000000", AFFICHAGE},
        {"legende CCR", nullptr, BOX, 287, 70, 70, 20, "CCR", LEGENDE},
        {"lettres du CCR", nullptr, BOX, 288, 100, 70, 20, "   ENZVC", AFFICHAGE},
        {"REG_CCR_BIN", s.REG_CCR_BIN, BOX, 288, 130, 70, 20, "00000", AFFICHAGE},
        {"legende X", nullptr, BOX, 413, 70, 70, 20, "X", LEGENDE},
        {"REG_X_DEC", s.REG_X_DEC, BOX, 413, 130, 70, 20, "65535", AFFICHAGE},
        {"legende PC", nullptr, BOX, 532, 70, 70, 20, "PC", LEGENDE},
        {"REG_PC_DEC", s.REG_PC_DEC, BOX, 532, 130, 70, 20, "65535", AFFICHAGE},
        {"barre du haut", nullptr, BOX, 0, 0, 870, 40, nullptr, RELIEF},
        {"m_fichier",
         s.m_fichier,
         MENU_BUTTON,
         20,
         10,
         70,
         20,
         "Fichier",
         {FL_FLAT_BOX, GRIS, FL_LIGHT1, FL_TIMES, 18, NOIR, FL_ALIGN_CENTER}},
        {"cadre du desassemblage", nullptr, BOX, 30, 420, 170, 260, nullptr, CREUX},
        {"DESA01", s.DESA01, BOX, 40, 430, 150, 20, nullptr, LISTING},
        {"cadre du dump", nullptr, BOX, 345, 420, 265, 260, nullptr, CREUX},
        {"titre du desassemblage", nullptr, BOX, 30, 400, 170, 20, "DESASSEMBLAGE", TITRE_CENTRE},
        {"titre du dump", nullptr, BOX, 340, 400, 280, 20, "DUMP MEMOIRE", TITRE_CENTRE},
        {"DUMP_SLIDE",
         s.DUMP_SLIDE,
         SLIDER,
         610,
         440,
         20,
         220,
         nullptr,
         {FL_DOWN_BOX, GRIS, GRIS, FL_HELVETICA, 8, NOIR, FL_ALIGN_BOTTOM}},
        {"B_STOP",
         s.B_STOP,
         BUTTON,
         60,
         360,
         40,
         40,
         "@square",
         {FL_UP_BOX, GRIS, GRIS, FL_HELVETICA, 20, FL_RED, FL_ALIGN_CENTER}},
        {"B_PLAY",
         s.B_PLAY,
         BUTTON,
         100,
         360,
         40,
         40,
         "@>",
         {FL_UP_BOX, GRIS, GRIS, FL_HELVETICA_BOLD, 24, 70, FL_ALIGN_CENTER}},
        {"B_STEP",
         s.B_STEP,
         BUTTON,
         140,
         360,
         40,
         40,
         "@->|",
         {FL_UP_BOX, GRIS, GRIS, FL_HELVETICA, 24, 62, FL_ALIGN_CENTER}},
        {"B_RESET",
         s.B_RESET,
         BUTTON,
         20,
         360,
         40,
         40,
         "@circle",
         {FL_UP_BOX, GRIS, GRIS, FL_HELVETICA, 20, FL_BLUE, FL_ALIGN_CENTER}},
        {"DESA02", s.DESA02, BOX, 40, 450, 150, 20, nullptr, LISTING},
        {"DESA03", s.DESA03, BOX, 40, 470, 150, 20, nullptr, LISTING},
        {"DESA04", s.DESA04, BOX, 40, 490, 150, 20, nullptr, LISTING},
        {"DESA05", s.DESA05, BOX, 40, 510, 150, 20, nullptr, LISTING},
        {"DESA06", s.DESA06, BOX, 40, 530, 150, 20, nullptr, LISTING},
        {"DESA07", s.DESA07, BOX, 40, 550, 150, 20, nullptr, LISTING},
        {"DESA08", s.DESA08, BOX, 40, 570, 150, 20, nullptr, LISTING},
        {"DESA09", s.DESA09, BOX, 40, 590, 150, 20, nullptr, LISTING},
        {"DESA10", s.DESA10, BOX, 40, 610, 150, 20, nullptr, LISTING},
        {"DESA11", s.DESA11, BOX, 40, 630, 150, 20, nullptr, LISTING},
        {"DESA12", s.DESA12, BOX, 40, 650, 150, 20, nullptr, LISTING},
        {"DUMP01", s.DUMP01, BOX, 350, 430, 260, 20, FF, LISTING},
        {"DUMP02", s.DUMP02, BOX, 350, 450, 260, 20, FF, LISTING},
        {"DUMP03", s.DUMP03, BOX, 350, 470, 260, 20, FF, LISTING},
        {"DUMP04", s.DUMP04, BOX, 350, 490, 260, 20, FF, LISTING},
        {"DUMP05", s.DUMP05, BOX, 350, 510, 260, 20, FF, LISTING},
        {"DUMP06", s.DUMP06, BOX, 350, 530, 260, 20, FF, LISTING},
        {"DUMP07", s.DUMP07, BOX, 350, 550, 260, 20, FF, LISTING},
        {"DUMP08", s.DUMP08, BOX, 350, 570, 260, 20, FF, LISTING},
        {"DUMP09", s.DUMP09, BOX, 350, 590, 260, 20, FF, LISTING},
        {"DUMP10", s.DUMP10, BOX, 350, 610, 260, 20, FF, LISTING},
        {"DUMP11", s.DUMP11, BOX, 350, 630, 260, 20, FF, LISTING},
        {"DUMP12", s.DUMP12, BOX, 350, 650, 260, 20, FF, LISTING},
        {"DUMP_U", s.DUMP_U, BUTTON, 610, 420, 20, 20, "@8>", BOUTON},
        {"DUMP_D", s.DUMP_D, BUTTON, 610, 660, 20, 20, "@2>", BOUTON},
        {"DESA_U", s.DESA_U, BUTTON, 10, 420, 20, 20, "@8>", BOUTON},
        {"DESA_D", s.DESA_D, BUTTON, 10, 465, 20, 19, "@2>", BOUTON},
        {"cadre des ports", nullptr, BOX, 20, 185, 610, 145, nullptr, GRAVE},
        {"titre des ports", nullptr, BOX, 40, 165, 195, 20, "Registre d'entree sortie",
         TITRE_CADRE},
        {"B_AIDE",
         s.B_AIDE,
         BUTTON,
         570,
         11,
         70,
         12,
         "AIDE...",
         {FL_NO_BOX, GRIS, GRIS, FL_TIMES, 14, NOIR, FL_ALIGN_CENTER}},
        {"DESA_PC", s.DESA_PC, BUTTON, 9, 443, 20, 19, "@>", BOUTON},
        {"REG_A_HEX", s.REG_A_HEX, INPUT, 30, 99, 69, 21, nullptr, SAISIE_REGISTRE},
        {"REG_X_HEX", s.REG_X_HEX, INPUT, 414, 99, 69, 21, nullptr, SAISIE_REGISTRE},
        {"REG_PC_HEX", s.REG_PC_HEX, INPUT, 533, 99, 69, 21, nullptr, SAISIE_REGISTRE},
        {"REG_TMPA_HEX", s.REG_TMPA_HEX, INPUT, 159, 99, 69, 21, nullptr, SAISIE_REGISTRE},
        {"REG_TMPA_BIN", s.REG_TMPA_BIN, BOX, 158, 130, 70, 20, "00000000", AFFICHAGE},
        {"legende tmpA", nullptr, BOX, 157, 70, 70, 20, "tmpA", LEGENDE},
        {"legende A", nullptr, BOX, 30, 70, 70, 20, "A", LEGENDE},
        {"cadre de la pile", nullptr, BOX, 210, 340, 125, 340, nullptr, CREUX},
        {"PILE00", s.PILE00, BOX, 220, 650, 105, 20, nullptr, CASE_PILE},
        {"PILE01", s.PILE01, BOX, 220, 630, 105, 20, nullptr, CASE_PILE},
        {"PILE02", s.PILE02, BOX, 220, 610, 105, 20, nullptr, CASE_PILE},
        {"PILE03", s.PILE03, BOX, 220, 590, 105, 20, nullptr, CASE_PILE},
        {"PILE04", s.PILE04, BOX, 220, 570, 105, 20, nullptr, CASE_PILE},
        {"PILE05", s.PILE05, BOX, 220, 550, 105, 20, nullptr, CASE_PILE},
        {"PILE06", s.PILE06, BOX, 220, 530, 105, 20, nullptr, CASE_PILE},
        {"PILE07", s.PILE07, BOX, 220, 510, 105, 20, nullptr, CASE_PILE},
        {"PILE08", s.PILE08, BOX, 220, 490, 105, 20, nullptr, CASE_PILE},
        {"PILE09", s.PILE09, BOX, 220, 470, 105, 20, nullptr, CASE_PILE},
        {"PILE10", s.PILE10, BOX, 220, 450, 105, 20, nullptr, CASE_PILE},
        {"PILE11", s.PILE11, BOX, 220, 430, 105, 20, nullptr, CASE_PILE},
        {"PILE12", s.PILE12, BOX, 220, 410, 105, 20, nullptr, CASE_PILE},
        {"PILE13", s.PILE13, BOX, 220, 390, 105, 20, nullptr, CASE_PILE},
        {"PILE14", s.PILE14, BOX, 220, 370, 105, 20, nullptr, CASE_PILE},
        {"PILE15", s.PILE15, BOX, 220, 350, 105, 20, nullptr, CASE_PILE},
        {"titre de la pile", nullptr, BOX, 340, 350, 50, 20, "PILE", TITRE_A_GAUCHE},
        {"adresse_select", s.adresse_select, INPUT, 445, 347, 70, 25, "adresse", SAISIE},
        {"valeur_select", s.valeur_select, INPUT, 446, 375, 70, 25, "valeur", SAISIE},
        {"multiplicateur_select", s.multiplicateur_select, INPUT, 533, 347, 70, 25, "x", SAISIE},
        {"VALID_MEM", s.VALID_MEM, RETURN_BUTTON, 535, 375, 70, 25, nullptr, BOUTON},
    };
}

class FenetrePrincipale : public ::testing::Test {
  protected:
    ~FenetrePrincipale() override { delete s.SIM; }
    SIM_class s;
};

TEST_F(FenetrePrincipale, FenetreCacheeEtGroupeFerme) {
    verifie_fenetre(s.SIM, 650, 695, "SIM", FL_TIMES, &s);
}

TEST_F(FenetrePrincipale, ChaqueWidgetASaPlaceDansLOrdreDeCreation) {
    verifie_enfants(s.SIM, maquette(s));
}

TEST_F(FenetrePrincipale, ChaqueMembrePublicEstUnWidgetDistinctDeLaFenetre) {
    // Le tableau de la maquette doit couvrir tous les membres : 65 widgets nommes.
    std::set<Fl_Widget*> membres;
    for (const Attendu& a : maquette(s)) {
        if (a.membre) {
            membres.insert(a.membre);
        }
    }
    EXPECT_EQ(membres.size(), 65u);
    EXPECT_EQ(membres.count(nullptr), 0u);
    for (Fl_Widget* w : membres) {
        EXPECT_EQ(w->parent(), s.SIM);
    }
}

TEST_F(FenetrePrincipale, SaisiesVidesAvecLeurPoliceDeTexte) {
    struct Saisie {
        const char* nom;
        Fl_Input* champ;
        Fl_Font police;
        Fl_Fontsize taille;
    };
    const Saisie saisies[] = {
        {"REG_A_HEX", s.REG_A_HEX, FL_COURIER, 12},
        {"REG_X_HEX", s.REG_X_HEX, FL_COURIER, 12},
        {"REG_PC_HEX", s.REG_PC_HEX, FL_COURIER, 12},
        {"REG_TMPA_HEX", s.REG_TMPA_HEX, FL_COURIER, 12},
        {"adresse_select", s.adresse_select, FL_HELVETICA, 14},
        {"valeur_select", s.valeur_select, FL_HELVETICA, 14},
        {"multiplicateur_select", s.multiplicateur_select, FL_HELVETICA, 14},
    };
    for (const Saisie& e : saisies) {
        SCOPED_TRACE(e.nom);
        EXPECT_STREQ(e.champ->value(), "");
        EXPECT_EQ(e.champ->type(), FL_NORMAL_INPUT);
        EXPECT_EQ(e.champ->textfont(), e.police);
        EXPECT_EQ(e.champ->textsize(), e.taille);
        EXPECT_EQ(e.champ->textcolor(), FL_FOREGROUND_COLOR);
    }
}

TEST_F(FenetrePrincipale, GlissiereDuDumpVerticaleAvecCurseur) {
    // Verticale : le minimum (adresse 0) est en haut, comme la premiere ligne du dump.
    EXPECT_EQ(s.DUMP_SLIDE->type(), FL_VERT_NICE_SLIDER);
}

TEST(FenetresPrincipales, DeuxConstructionsDonnentDeuxFenetresIndependantes) {
    SIM_class a;
    SIM_class b;
    EXPECT_NE(a.SIM, b.SIM);
    EXPECT_EQ(a.SIM->children(), b.SIM->children());
    EXPECT_EQ(b.SIM->user_data(), &b);
    EXPECT_EQ(a.B_STEP->parent(), a.SIM);
    EXPECT_EQ(b.B_STEP->parent(), b.SIM);
    delete a.SIM;
    delete b.SIM;
}

} // namespace
