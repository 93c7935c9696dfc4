// Construction des trois fenetres, a la maniere du concepteur d'interfaces de la
// boite a outils : chaque widget est cree dans l'ordre fixe de la maquette, qui est
// aussi l'ordre de dessin. Aucun rappel, aucun when() : chaque widget garde le
// rappel par defaut qui le pose dans la file d'objets Forms, lue par le controleur.
// Les fenetres restent cachees ; le controleur les montre.
#include "simulateur/interface.h"

namespace {

// Entrees du cube de couleurs sans nom symbolique dans la boite a outils.
const Fl_Color VERT_JAUNE = 70; // RGB 63, 218, 0 : symbole du bouton "jouer"
const Fl_Color VERT = 62;       // RGB 0, 218, 0 : symbole du bouton "pas a pas"

// Texte aligne a gauche a l'interieur de sa boite (listings, pile, titres de cadre).
const Fl_Align DANS_A_GAUCHE = FL_ALIGN_INSIDE | FL_ALIGN_LEFT;

// Fond, cadre ou barre sans texte.
Fl_Box* boite(int x, int y, int w, int h, Fl_Boxtype type) {
    Fl_Box* o = new Fl_Box(x, y, w, h);
    o->box(type);
    return o;
}

// Titre pose sur le bord haut d'un cadre grave.
Fl_Box* titre_cadre(int x, int y, int w, int h, const char* texte) {
    Fl_Box* o = new Fl_Box(x, y, w, h, texte);
    o->box(FL_FLAT_BOX);
    o->selection_color(FL_LIGHT1);
    o->labelsize(18);
    o->align(DANS_A_GAUCHE);
    return o;
}

// Nom d'un registre en tete de sa colonne.
Fl_Box* legende(int x, int y, int w, int h, const char* texte) {
    Fl_Box* o = new Fl_Box(x, y, w, h, texte);
    o->box(FL_FLAT_BOX);
    o->selection_color(FL_LIGHT1);
    o->labelfont(FL_TIMES);
    o->labelsize(18);
    o->align(FL_ALIGN_INSIDE);
    return o;
}

// Case d'affichage d'un registre : un libelle, l'utilisateur ne peut pas l'editer.
Fl_Box* affichage_registre(int x, int y, int w, int h, const char* texte) {
    Fl_Box* o = new Fl_Box(x, y, w, h, texte);
    o->box(FL_DOWN_BOX);
    o->selection_color(FL_LIGHT1);
    o->labelfont(FL_COURIER);
    o->labelsize(12);
    o->align(FL_ALIGN_INSIDE);
    return o;
}

// Champ de saisie hexadecimale d'un registre, sur le fond gris du panneau.
Fl_Input* saisie_registre(int x, int y, int w, int h) {
    Fl_Input* o = new Fl_Input(x, y, w, h);
    o->color(FL_BACKGROUND_COLOR);
    o->selection_color(FL_LIGHT1);
    o->labelfont(FL_COURIER);
    o->labelsize(12);
    o->textfont(FL_COURIER);
    o->textsize(12);
    return o;
}

// Ligne du desassemblage ou du dump ; le controleur en change texte et couleur.
Fl_Box* ligne_listing(int x, int y, int w, int h, const char* texte = nullptr) {
    Fl_Box* o = new Fl_Box(x, y, w, h, texte);
    o->box(FL_FLAT_BOX);
    o->color(FL_WHITE);
    o->selection_color(FL_LIGHT1);
    o->labelfont(FL_COURIER);
    o->align(DANS_A_GAUCHE);
    return o;
}

// Case de la pile interne, vide tant que le controleur ne l'a pas remplie.
Fl_Box* case_pile(int x, int y, int w, int h) {
    Fl_Box* o = new Fl_Box(x, y, w, h);
    o->box(FL_BORDER_BOX);
    o->color(FL_WHITE);
    o->selection_color(FL_LIGHT1);
    o->labelfont(FL_COURIER);
    o->align(DANS_A_GAUCHE);
    return o;
}

// Titre d'une zone (pile, desassemblage, dump).
Fl_Box* titre_section(int x, int y, int w, int h, const char* texte, Fl_Align align) {
    Fl_Box* o = new Fl_Box(x, y, w, h, texte);
    o->box(FL_FLAT_BOX);
    o->selection_color(FL_LIGHT1);
    o->labelfont(FL_TIMES);
    o->align(align);
    return o;
}

// Bouton a symbole de la rangee de commandes.
Fl_Button* bouton_symbole(int x, int y, const char* symbole, Fl_Fontsize taille, Fl_Color couleur) {
    Fl_Button* o = new Fl_Button(x, y, 40, 40, symbole);
    o->labelsize(taille);
    o->labelcolor(couleur);
    return o;
}

// Ligne de texte centree de la boite "A propos".
Fl_Box* ligne_texte(int x, int y, int w, int h, const char* texte) {
    Fl_Box* o = new Fl_Box(x, y, w, h, texte);
    o->box(FL_FLAT_BOX);
    o->selection_color(FL_LIGHT1);
    o->labelfont(FL_TIMES);
    o->align(FL_ALIGN_INSIDE);
    return o;
}

} // namespace

SIM_class::SIM_class() {
    SIM = new Fl_Double_Window(650, 695, "SIM");
    SIM->box(FL_NO_BOX);
    SIM->labelfont(FL_TIMES);
    SIM->user_data(this);

    // Le fond et la barre du haut debordent de la fenetre, qui les coupe.
    boite(0, 36, 650, 699, FL_UP_BOX)->align(FL_ALIGN_TOP_LEFT);
    boite(20, 60, 610, 100, FL_ENGRAVED_FRAME);
    titre_cadre(40, 40, 170, 20, "Registres generaux");
    REG_A_BIN = affichage_registre(30, 130, 70, 20, "00000000");
    legende(287, 70, 70, 20, "CCR");
    // Trois blancs : chaque lettre tombe sur son bit dans les huit chiffres dessous.
    affichage_registre(288, 100, 70, 20, "   ENZVC");
    REG_CCR_BIN = affichage_registre(288, 130, 70, 20, "00000");
    legende(413, 70, 70, 20, "X");
    REG_X_DEC = affichage_registre(413, 130, 70, 20, "65535");
    legende(532, 70, 70, 20, "PC");
    REG_PC_DEC = affichage_registre(532, 130, 70, 20, "65535");
    boite(0, 0, 870, 40, FL_UP_BOX);
    {
        m_fichier = new Fl_Menu_Button(20, 10, 70, 20, "Fichier");
        m_fichier->box(FL_FLAT_BOX);
        m_fichier->selection_color(FL_LIGHT1);
        m_fichier->labelfont(FL_TIMES);
        m_fichier->labelsize(18);
    }
    boite(30, 420, 170, 260, FL_DOWN_BOX);
    DESA01 = ligne_listing(40, 430, 150, 20);
    boite(345, 420, 265, 260, FL_DOWN_BOX);
    titre_section(30, 400, 170, 20, "DESASSEMBLAGE", FL_ALIGN_INSIDE);
    titre_section(340, 400, 280, 20, "DUMP MEMOIRE", FL_ALIGN_INSIDE);
    {
        DUMP_SLIDE = new Fl_Slider(610, 440, 20, 220);
        DUMP_SLIDE->type(FL_VERT_NICE_SLIDER);
        DUMP_SLIDE->labelsize(8);
    }
    B_STOP = bouton_symbole(60, 360, "@square", 20, FL_RED);
    B_PLAY = bouton_symbole(100, 360, "@>", 24, VERT_JAUNE);
    B_PLAY->labelfont(FL_HELVETICA_BOLD);
    B_STEP = bouton_symbole(140, 360, "@->|", 24, VERT);
    B_RESET = bouton_symbole(20, 360, "@circle", 20, FL_BLUE);
    DESA02 = ligne_listing(40, 450, 150, 20);
    DESA03 = ligne_listing(40, 470, 150, 20);
    DESA04 = ligne_listing(40, 490, 150, 20);
    DESA05 = ligne_listing(40, 510, 150, 20);
    DESA06 = ligne_listing(40, 530, 150, 20);
    DESA07 = ligne_listing(40, 550, 150, 20);
    DESA08 = ligne_listing(40, 570, 150, 20);
    DESA09 = ligne_listing(40, 590, 150, 20);
    DESA10 = ligne_listing(40, 610, 150, 20);
    DESA11 = ligne_listing(40, 630, 150, 20);
    DESA12 = ligne_listing(40, 650, 150, 20);
    // Memoire neuve : chaque octet vaut FF jusqu'au premier affichage.
    DUMP01 = ligne_listing(350, 430, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP02 = ligne_listing(350, 450, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP03 = ligne_listing(350, 470, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP04 = ligne_listing(350, 490, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP05 = ligne_listing(350, 510, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP06 = ligne_listing(350, 530, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP07 = ligne_listing(350, 550, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP08 = ligne_listing(350, 570, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP09 = ligne_listing(350, 590, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP10 = ligne_listing(350, 610, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP11 = ligne_listing(350, 630, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP12 = ligne_listing(350, 650, 260, 20, "FFFF FF FF FF FF FF FF FF FF");
    DUMP_U = new Fl_Button(610, 420, 20, 20, "@8>");
    DUMP_D = new Fl_Button(610, 660, 20, 20, "@2>");
    DESA_U = new Fl_Button(10, 420, 20, 20, "@8>");
    DESA_D = new Fl_Button(10, 465, 20, 19, "@2>");
    // Cadre vide : les cinq ports y ajoutent leurs widgets apres la construction.
    boite(20, 185, 610, 145, FL_ENGRAVED_FRAME);
    titre_cadre(40, 165, 195, 20, "Registre d'entree sortie");
    {
        B_AIDE = new Fl_Button(570, 11, 70, 12, "AIDE...");
        B_AIDE->box(FL_NO_BOX);
        B_AIDE->labelfont(FL_TIMES);
    }
    DESA_PC = new Fl_Button(9, 443, 20, 19, "@>");
    REG_A_HEX = saisie_registre(30, 99, 69, 21);
    REG_X_HEX = saisie_registre(414, 99, 69, 21);
    REG_PC_HEX = saisie_registre(533, 99, 69, 21);
    REG_TMPA_HEX = saisie_registre(159, 99, 69, 21);
    REG_TMPA_BIN = affichage_registre(158, 130, 70, 20, "00000000");
    legende(157, 70, 70, 20, "tmpA");
    legende(30, 70, 70, 20, "A");
    boite(210, 340, 125, 340, FL_DOWN_BOX);
    // La pile se construit par le fond : PILE00 en bas, PILE15 en haut.
    PILE00 = case_pile(220, 650, 105, 20);
    PILE01 = case_pile(220, 630, 105, 20);
    PILE02 = case_pile(220, 610, 105, 20);
    PILE03 = case_pile(220, 590, 105, 20);
    PILE04 = case_pile(220, 570, 105, 20);
    PILE05 = case_pile(220, 550, 105, 20);
    PILE06 = case_pile(220, 530, 105, 20);
    PILE07 = case_pile(220, 510, 105, 20);
    PILE08 = case_pile(220, 490, 105, 20);
    PILE09 = case_pile(220, 470, 105, 20);
    PILE10 = case_pile(220, 450, 105, 20);
    PILE11 = case_pile(220, 430, 105, 20);
    PILE12 = case_pile(220, 410, 105, 20);
    PILE13 = case_pile(220, 390, 105, 20);
    PILE14 = case_pile(220, 370, 105, 20);
    PILE15 = case_pile(220, 350, 105, 20);
    titre_section(340, 350, 50, 20, "PILE", DANS_A_GAUCHE);
    adresse_select = new Fl_Input(445, 347, 70, 25, "adresse");
    valeur_select = new Fl_Input(446, 375, 70, 25, "valeur");
    multiplicateur_select = new Fl_Input(533, 347, 70, 25, "x");
    VALID_MEM = new Fl_Return_Button(535, 375, 70, 25);
    SIM->end();
}

form_about_class::form_about_class() {
    form_about = new Fl_Double_Window(435, 380, "form_about");
    form_about->box(FL_NO_BOX);
    form_about->user_data(this);

    boite(0, 0, 438, 384, FL_UP_BOX);
    boite(21, 21, 399, 348, FL_ENGRAVED_FRAME);
    {
        Fl_Box* o = ligne_texte(25, 30, 390, 21, "karvela");
        o->labelfont(FL_TIMES_BOLD);
        o->labelsize(20);
    }
    ligne_texte(40, 60, 340, 20, "Simulateur d'une machine a pile ");
    ligne_texte(30, 81, 385, 20, "construit sur le simulateur zorvex");
    ligne_texte(30, 130, 380, 20, "l'equipe d'origine du projet zorvex");
    ligne_texte(30, 110, 380, 20, "projet zorvex origine de:");
    {
        Fl_Button* o = new Fl_Button(183, 333, 72, 24, "OK");
        o->labelfont(FL_TIMES);
    }
    ligne_texte(30, 150, 380, 20, "Mise à jour en 1999 par:");
    ligne_texte(30, 170, 380, 20, "les etudiants du projet 1999");
    ligne_texte(30, 190, 380, 20, "Mise à jour en 2000 par:");
    ligne_texte(30, 210, 380, 20, "les etudiants du projet 2000");
    ligne_texte(30, 230, 380, 20, "Mise à jour en 2002,");
    // Les lignes ne suivent pas l'ordre vertical : 309 vient sous l'en-tete de 2009.
    ligne_texte(30, 309, 380, 20, "l'equipe enseignante du module");
    ligne_texte(30, 248, 380, 20, "Refonte des codes en 2003-2005  par:");
    ligne_texte(30, 270, 380, 20, "l'equipe de maintenance du simulateur");
    {
        // En taille 14, la ligne (417 pixels) deborderait du cadre des deux cotes.
        Fl_Box* o = ligne_texte(30, 289, 380, 20,
                                "changement d'interpreteur pour mach. a pile: 03/2009 par:");
        o->labelsize(12);
    }
    form_about->end();
}

aide_class::aide_class() {
    aide = new Fl_Double_Window(610, 480, "aide");
    aide->box(FL_NO_BOX);
    aide->user_data(this);

    boite(0, 0, 610, 480, FL_UP_BOX);
    {
        TEXTE_AIDE = new Fl_Browser(10, 10, 590, 420);
        TEXTE_AIDE->box(FL_DOWN_BOX);
        TEXTE_AIDE->color(FL_WHITE);
        TEXTE_AIDE->selection_color(FL_YELLOW);
    }
    new Fl_Button(260, 440, 80, 30, "Fermer");
    aide->end();
}

sommaire_aide_class::sommaire_aide_class(aide_class* aide) {
    constexpr int x = 610, largeur = 290, hauteur = 480; // a droite du fond concu
    Fl_Window* const f = aide->aide;
    // Elargie sans que les widgets concus bougent.
    Fl_Widget* const grandit = f->resizable();
    f->resizable(nullptr);
    f->size(x + largeur, hauteur);
    f->resizable(grandit);
    f->begin();
    boite(x, 0, largeur, hauteur, FL_UP_BOX);
    Fl_Box* titre = new Fl_Box(x + 5, 8, largeur - 15, 22, "Sommaire");
    titre->labelfont(FL_HELVETICA_BOLD);
    titre->align(DANS_A_GAUCHE);
    // Toutes les lignes y tiennent, sans barre de defilement.
    SOMMAIRE = new Fl_Hold_Browser(x + 5, 30, largeur - 15, 440);
    SOMMAIRE->textsize(11);
    SOMMAIRE->color(FL_WHITE);
    SOMMAIRE->tooltip("Un clic montre la partie en haut du texte");
    f->end();
}
