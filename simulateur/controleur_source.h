// Controleur de la fenetre du source : le texte de l'etudiant, edite, enregistre,
// assemble et charge ; la ligne du PC, les points d'arret par ligne, les symboles
// et leurs valeurs, les diagnostics. Possede par le simulateur, qui lui passe les
// widgets de la fenetre (commande), ses evenements (prend_evenement), et l'appelle
// apres chaque desassemblage (montre) et chaque dump (montre_symboles) redessines.
// Il ne voit du simulateur que le pont.
#ifndef KARVELA_CONTROLEUR_SOURCE_H
#define KARVELA_CONTROLEUR_SOURCE_H

#include <string>

#include "simulateur/interface_source.h"
#include "simulateur/pont.h"

struct document_source; // le source de la fenetre (controleur_source.cpp)
struct copie_secours;

class controleur_source {
  public:
    // Cree la fenetre, cachee, et son bouton dans la barre du haut de la principale.
    controleur_source(SIM_class* principale, pont_simulateur pont);
    ~controleur_source();
    controleur_source(controleur_source const&) = delete;
    controleur_source& operator=(controleur_source const&) = delete;

    Fl_Window* fenetre() const { return fen_->source; }
    // Vrai si obj est un widget de la fenetre du source ; il est alors traite.
    bool commande(Fl_Widget* obj);
    // F9, F4 et clic dans la marge de la fenetre ; Ctrl+S, Ctrl+Maj+S, Ctrl+N depuis la
    // principale ou l'aide.
    bool prend_evenement(int evenement, Fl_Window* fenetre);
    // Ligne du PC et marge d'apres la machine ; contenu des donnees.
    void montre();
    void montre_symboles();
    // La ligne de l'instruction qui a arrete la marche, avec le texte d'etat qui le dit.
    void montre_arret();

    // Un source est dans la fenetre (ouvert, meme fautif, ou nouveau).
    bool ouverte() const;
    // Le texte lu devient celui de la fenetre ; faux si ce n'est pas un texte
    // (une alerte le dit), rien n'a alors change.
    bool prend(std::string const& chemin, std::string const& octets);
    // Assemble le texte de la fenetre et le charge ; fautif, rien n'est charge.
    void assemble(chargement sorte);
    // Ctrl+R avec un source dans la fenetre : enregistre s'il est modifie, assemble, charge.
    void recharge();
    // Avant de quitter ou de remplacer le texte : "Enregistrer les modifications de
    // NOM.asm ?" s'il est modifie. Faux : l'etudiant annule (ou l'enregistrement echoue).
    bool peut_abandonner();
    // Un .bin est charge : plus de source, le bouton de la fenetre est grise.
    void ferme();
    // Le texte de la fenetre au regard du programme en memoire ("Vérifier").
    texte_montre etat_texte() const;

  private:
    friend struct acces_simulateur; // ouverture reservee aux tests

    // Ctrl+N : le modele d'une nouvelle source, apres la question s'il le faut.
    void nouvelle();
    // Choix d'un fichier, puis l'enregistrement ; faux si annule ou en echec.
    bool enregistre_sous();
    // Ctrl+S : dans son fichier (la question s'il a change sur le disque), ou sous
    // un nom a choisir ; faux si annule ou en echec.
    bool enregistre();
    // Le fichier relu, avant de l'ecrire : inchange, absent, ou change ; change, le
    // texte le suit s'il n'a rien de tape, sinon l'etudiant garde la fenetre, reprend
    // le disque ou annule (le meme choix pour Ctrl+R et Ctrl+S).
    enum class accord_disque { inchange, absent, fenetre, disque, annule };
    accord_disque accorde_au_disque();
    // Point d'arret sur l'instruction de la ligne, ou de la suivante.
    void bascule_point_ligne(int ligne);
    // F4 : la marche jusqu'a cette instruction, par un point d'arret temporaire.
    void execute_jusqu_a_ligne(int ligne);
    // L'adresse de l'instruction de la ligne, ou de la suivante ; -1 (la ligne
    // d'etat dit pourquoi) s'il n'y en a pas.
    int adresse_instruction(int ligne);
    // Curseur a la ligne et a la colonne du diagnostic (compte de 0).
    void va_au_diagnostic(int i);
    // Le dump montre l'adresse du symbole (compte de 0).
    void montre_symbole_au_dump(int i);
    // Clic droit sur un symbole : "Pourquoi ?" pour son octet (compte de 0).
    void demande_pourquoi_symbole(int i);
    // Deja montree, elle reste ou elle est dans l'empilement (sur un petit ecran,
    // elle cache une partie de la principale), sauf devant si l'on veut qu'elle soit vue.
    void montre_fenetre(bool devant = false);
    // La ligne du PC (et l'etat qui la dit) d'apres le suivi des lignes ; defile :
    // le texte defile pour la montrer si elle a change.
    void montre_pc(bool defile);
    // "Reprendre la copie" ou "Abandonner la copie" ; laquelle la nomme dans la question.
    void propose_copie(copie_secours const& c, std::string const& laquelle);

    pont_simulateur pont_;
    source_class* fen_;   // fenetre du source et son bouton
    document_source* doc; // son texte et ce qui le suit
};

#endif
