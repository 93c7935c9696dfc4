// Widgets de la fenetre du source, et son bouton dans la barre du haut de la
// fenetre principale (pose par fl_addto_form/fl_end_form, comme la partie fichiers).
// Simple porteur de widgets : un constructeur, des pointeurs publics, aucun
// comportement ni rappel ; les deux tampons de texte sont au controleur.
#ifndef KARVELA_INTERFACE_SOURCE_H
#define KARVELA_INTERFACE_SOURCE_H

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>

#include "simulateur/editeur_source.h"
#include "simulateur/interface.h"

class source_class {
  public:
    explicit source_class(SIM_class* principale);

    Fl_Button* B_FENETRE; // barre du haut de la principale : montre ou cache la fenetre

    Fl_Double_Window* source;
    Fl_Button* NOUVEAU;          // nouvelle source d'apres un modele
    Fl_Button* ENREGISTRER;      // dans son fichier
    Fl_Button* ENREGISTRER_SOUS; // dans un autre
    Fl_Button* ANNULER;
    Fl_Button* RETABLIR;
    Fl_Button* CHARGER; // enregistrer si modifiee, assembler, charger (Ctrl+R)
    editeur_source* EDITEUR;
    Fl_Box* TITRE_SYMBOLES;
    Fl_Hold_Browser* SYMBOLES;    // etiquettes et constantes ; contenu des donnees
    Fl_Box* ETAT;                 // "PC $0040 : hors du source", ou le resultat d'un assemblage
    Fl_Box* MODIFIE;              // "modifié" tant que le texte n'est pas enregistre
    Fl_Hold_Browser* DIAGNOSTICS; // "3:9: erreur: ..." ; un clic y mene le curseur
};

#endif
