// Boite "A propos" et fenetre d'aide fraichement construites.
#include "maquette.h"
#include "simulateur/interface.h"

namespace {

const Classe BUTTON{"Fl_Button", &typeid(Fl_Button), FL_WHEN_RELEASE};
const Classe BROWSER{"Fl_Browser", &typeid(Fl_Browser), FL_WHEN_RELEASE_ALWAYS};

const Fl_Color GRIS = FL_BACKGROUND_COLOR;
const Fl_Color NOIR = FL_FOREGROUND_COLOR;

const Apparence RELIEF{FL_UP_BOX, GRIS, GRIS, FL_HELVETICA, 14, NOIR, FL_ALIGN_CENTER};
const Apparence GRAVE{FL_ENGRAVED_FRAME, GRIS, GRIS, FL_HELVETICA, 14, NOIR, FL_ALIGN_CENTER};
const Apparence LIGNE{FL_FLAT_BOX, GRIS, FL_LIGHT1, FL_TIMES, 14, NOIR, FL_ALIGN_INSIDE};
const Apparence LIGNE_12{FL_FLAT_BOX, GRIS, FL_LIGHT1, FL_TIMES, 12, NOIR, FL_ALIGN_INSIDE};

// Les lignes sont creees hors de l'ordre vertical : l'ordre ci-dessous est le bon.
const std::vector<Attendu> MAQUETTE_A_PROPOS = {
    {"fond", nullptr, BOX, 0, 0, 438, 384, nullptr, RELIEF},
    {"cadre", nullptr, BOX, 21, 21, 399, 348, nullptr, GRAVE},
    {"titre",
     nullptr,
     BOX,
     25,
     30,
     390,
     21,
     "karvela",
     {FL_FLAT_BOX, GRIS, FL_LIGHT1, FL_TIMES_BOLD, 20, NOIR, FL_ALIGN_INSIDE}},
    {"sous-titre", nullptr, BOX, 40, 60, 340, 20, "Simulateur d'une machine a pile ", LIGNE},
    {"origine", nullptr, BOX, 30, 81, 385, 20, "construit sur le simulateur zorvex", LIGNE},
    {"auteurs d'origine", nullptr, BOX, 30, 130, 380, 20, "l'equipe d'origine du projet zorvex",
     LIGNE},
    {"en-tete d'origine", nullptr, BOX, 30, 110, 380, 20, "projet zorvex origine de:", LIGNE},
    {"OK",
     nullptr,
     BUTTON,
     183,
     333,
     72,
     24,
     "OK",
     {FL_UP_BOX, GRIS, GRIS, FL_TIMES, 14, NOIR, FL_ALIGN_CENTER}},
    {"en-tete 1999", nullptr, BOX, 30, 150, 380, 20, "Mise \xC3\xA0 jour en 1999 par:", LIGNE},
    {"auteurs 1999", nullptr, BOX, 30, 170, 380, 20, "les etudiants du projet 1999", LIGNE},
    {"en-tete 2000", nullptr, BOX, 30, 190, 380, 20, "Mise \xC3\xA0 jour en 2000 par:", LIGNE},
    {"auteurs 2000", nullptr, BOX, 30, 210, 380, 20, "les etudiants du projet 2000", LIGNE},
    {"en-tete 2002", nullptr, BOX, 30, 230, 380, 20, "Mise \xC3\xA0 jour en 2002,", LIGNE},
    {"auteurs 2009", nullptr, BOX, 30, 309, 380, 20, "l'equipe enseignante du module", LIGNE},
    {"en-tete 2003-2005", nullptr, BOX, 30, 248, 380, 20,
     "Refonte des codes en 2003-2005  par:", LIGNE},
    {"auteurs 2002-2005", nullptr, BOX, 30, 270, 380, 20, "l'equipe de maintenance du simulateur",
     LIGNE},
    {"en-tete 2009", nullptr, BOX, 30, 289, 380, 20,
     "changement d'interpreteur pour mach. a pile: 03/2009 par:", LIGNE_12},
};

class BoiteAPropos : public ::testing::Test {
  protected:
    ~BoiteAPropos() override { delete a.form_about; }
    form_about_class a;
};

TEST_F(BoiteAPropos, FenetreCacheeEtGroupeFerme) {
    verifie_fenetre(a.form_about, 435, 380, "form_about", FL_HELVETICA, &a);
}

TEST_F(BoiteAPropos, ChaqueLigneASaPlaceDansLOrdreDeCreation) {
    verifie_enfants(a.form_about, MAQUETTE_A_PROPOS);
}

TEST_F(BoiteAPropos, ChaqueLigneTientDansSaBoite) {
    verifie_libelles_tiennent(a.form_about);
}

class FenetreAide : public ::testing::Test {
  protected:
    ~FenetreAide() override { delete a.aide; }
    aide_class a;
};

TEST_F(FenetreAide, FenetreCacheeEtGroupeFerme) {
    verifie_fenetre(a.aide, 610, 480, "aide", FL_HELVETICA, &a);
}

TEST_F(FenetreAide, ChaqueWidgetASaPlaceDansLOrdreDeCreation) {
    verifie_enfants(
        a.aide, {
                    {"fond", nullptr, BOX, 0, 0, 610, 480, nullptr, RELIEF},
                    {"TEXTE_AIDE",
                     a.TEXTE_AIDE,
                     BROWSER,
                     10,
                     10,
                     590,
                     420,
                     nullptr,
                     {FL_DOWN_BOX, FL_WHITE, FL_YELLOW, FL_HELVETICA, 14, NOIR, FL_ALIGN_BOTTOM}},
                    {"Fermer", nullptr, BUTTON, 260, 440, 80, 30, "Fermer", RELIEF},
                });
}

TEST_F(FenetreAide, TexteDAideVide) {
    EXPECT_EQ(a.TEXTE_AIDE->size(), 0);
    EXPECT_EQ(a.TEXTE_AIDE->type(), FL_NORMAL_BROWSER);
}

} // namespace
