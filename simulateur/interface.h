// Fenetres du simulateur : la fenetre principale, la boite "A propos" et l'aide
// (et, a cote de celle-ci, sa table des matieres).
// Simples porteurs de widgets : un constructeur qui cree la fenetre cachee et ses
// widgets a leurs positions fixes, des pointeurs publics, aucun comportement.
// Chaque widget appartient a sa fenetre ; les pointeurs ne possedent rien.
#ifndef KARVELA_INTERFACE_H
#define KARVELA_INTERFACE_H

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Slider.H>

class SIM_class {
  public:
    SIM_class();

    Fl_Double_Window* SIM;
    Fl_Box* REG_A_BIN;
    Fl_Box* REG_CCR_BIN;
    Fl_Box* REG_X_DEC;
    Fl_Box* REG_PC_DEC;
    Fl_Menu_Button* m_fichier;
    Fl_Box* DESA01;
    Fl_Slider* DUMP_SLIDE;
    Fl_Button* B_STOP;
    Fl_Button* B_PLAY;
    Fl_Button* B_STEP;
    Fl_Button* B_RESET;
    Fl_Box* DESA02;
    Fl_Box* DESA03;
    Fl_Box* DESA04;
    Fl_Box* DESA05;
    Fl_Box* DESA06;
    Fl_Box* DESA07;
    Fl_Box* DESA08;
    Fl_Box* DESA09;
    Fl_Box* DESA10;
    Fl_Box* DESA11;
    Fl_Box* DESA12;
    Fl_Box* DUMP01;
    Fl_Box* DUMP02;
    Fl_Box* DUMP03;
    Fl_Box* DUMP04;
    Fl_Box* DUMP05;
    Fl_Box* DUMP06;
    Fl_Box* DUMP07;
    Fl_Box* DUMP08;
    Fl_Box* DUMP09;
    Fl_Box* DUMP10;
    Fl_Box* DUMP11;
    Fl_Box* DUMP12;
    Fl_Button* DUMP_U;
    Fl_Button* DUMP_D;
    Fl_Button* DESA_U;
    Fl_Button* DESA_D;
    Fl_Button* B_AIDE;
    Fl_Button* DESA_PC;
    Fl_Input* REG_A_HEX;
    Fl_Input* REG_X_HEX;
    Fl_Input* REG_PC_HEX;
    Fl_Input* REG_TMPA_HEX;
    Fl_Box* REG_TMPA_BIN;
    Fl_Box* PILE00;
    Fl_Box* PILE01;
    Fl_Box* PILE02;
    Fl_Box* PILE03;
    Fl_Box* PILE04;
    Fl_Box* PILE05;
    Fl_Box* PILE06;
    Fl_Box* PILE07;
    Fl_Box* PILE08;
    Fl_Box* PILE09;
    Fl_Box* PILE10;
    Fl_Box* PILE11;
    Fl_Box* PILE12;
    Fl_Box* PILE13;
    Fl_Box* PILE14;
    Fl_Box* PILE15;
    Fl_Input* adresse_select;
    Fl_Input* valeur_select;
    Fl_Input* multiplicateur_select;
    Fl_Return_Button* VALID_MEM;
};

class form_about_class {
  public:
    form_about_class();

    Fl_Double_Window* form_about;
};

class aide_class {
  public:
    aide_class();

    Fl_Double_Window* aide;
    Fl_Browser* TEXTE_AIDE;
};

// A cote du texte concu de l'aide, a sa droite : la table des matieres. La fenetre
// s'elargit d'autant ; les widgets concus gardent leur place.
class sommaire_aide_class {
  public:
    explicit sommaire_aide_class(aide_class* aide);

    Fl_Hold_Browser* SOMMAIRE; // une ligne par partie ou sous-partie
};

#endif
