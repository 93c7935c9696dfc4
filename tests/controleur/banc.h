// Banc d'essai du controleur : un vrai simulateur sous Xvfb, des clics simules par
// do_callback() (c'est ce que fait un clic : le widget part dans la file) et une
// passe de la boucle par widget mis en file. Une garde periodique repond a tout
// dialogue qui s'ouvre (alerte, selecteur, boite "A propos") et note ses textes :
// aucun test ne reste bloque sur une fenetre modale.
#ifndef KARVELA_TESTS_BANC_H
#define KARVELA_TESTS_BANC_H

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "simulateur/bande_fichiers.h"
#include "simulateur/selecteur.h"
#include "simulateur/controleur_aller_a.h"
#include "simulateur/controleur_exercice.h"
#include "simulateur/controleur_explication.h"
#include "simulateur/controleur_platine.h"
#include "simulateur/controleur_source.h"
#include "simulateur/interface2.h"

// Ouverture sur les membres prives du controleur, pour les tests seulement.
struct acces_simulateur {
    static SIM_class& fenetre(simulateur& s) { return *s.SIM; }
    static Fl_Window* fenetre_a_propos(simulateur& s) { return s.form_about->form_about; }
    static mem_64k& memoire(simulateur& s) { return s.memoire; }
    static mp_interpreteur& inter(simulateur& s) { return s.inter; }
    static unsigned short debut_desassemblage(simulateur& s) { return s.adr_debut_desassemblage; }
    static void charge_programme(simulateur& s, char* chemin) {
        s.charge_programme(chemin, chargement::ouvrir_binaire);
    }
    static aide_class& aide(simulateur& s) { return *s.aide; }
    static barre_fichiers_class& barre(simulateur& s) { return *s.fichiers->barre_; }
    static source_class& source(simulateur& s) { return *s.source->fen_; }
    static void retiens_fichier(simulateur& s, std::string const& chemin) {
        s.fichiers->retiens(chemin);
    }
    static barre_marche_class& barre_marche(simulateur& s) { return *s.barre_marche; }
    static mode_marche& marche(simulateur& s) { return s.marche; }
    static machine& moteur(simulateur& s) { return s.moteur; }
    static void regle_horloge(simulateur& s, double (*h)()) { s.horloge_marche = h; }
    static platine_class& platine(simulateur& s) { return *s.platine->fen_; }
    static barre_platine_class& barre_platine(simulateur& s) { return *s.platine->barre_; }
    static aller_a_class& aller_a(simulateur& s) { return *s.aller_a->fen_; }
    static controleur_explication& explication(simulateur& s) { return *s.explication; }
    static explication_class& fenetre_explication(simulateur& s) { return *s.explication->fen_; }
    static barre_exercice_class& barre_exercice(simulateur& s) { return *s.exercice->barre_; }
    static fenetre_exercice_class& fenetre_exercice(simulateur& s) { return *s.exercice->fen_; }
    static bureau_fenetres& fenetres(simulateur& s) { return s.fenetres; }
    static sommaire_aide_class& sommaire(simulateur& s) { return *s.sommaire; }
    static std::shared_ptr<controleur_exercice::correction_partagee> correction(simulateur& s) {
        return s.exercice->partage;
    }
    static bool corrige_encore(simulateur& s) { return s.exercice->correction.valid(); }
    // Un exercice qui n'est pas passe par le lecteur, ni donc par ses bornes.
    static void prend_exercice(simulateur& s, exercice_lu const& lu) {
        s.exercice->prend("construit.toml", lu);
    }
};

// Un dialogue vu par la garde : titre de sa fenetre et libelles de ses widgets.
struct dialogue_vu {
    std::string titre;
    std::vector<std::string> textes;
    bool contient(std::string const& morceau) const;
};

// Titres des dialogues, pour les messages d'echec.
std::ostream& operator<<(std::ostream& flux, std::vector<dialogue_vu> const& vus);

class banc : public ::testing::Test {
  protected:
    void SetUp() override;
    static std::string etat_du_banc();
    void TearDown() override;

    // Met le widget en file comme un clic, puis une passe de boucle qui doit le
    // prendre ; la passe ne doit pas finir le programme.
    void clique(Fl_Widget* w);
    // Comme clique, mais rend le resultat de la passe (0 : fin du programme).
    int clique_et_rend(Fl_Widget* w);
    // Remplit les trois champs d'edition memoire et valide.
    void tape_memoire(char const* adresse, char const* valeur, char const* multiplicateur);
    // Tape les octets un a un par l'edition memoire, comme un etudiant.
    void tape_programme(int adresse, std::vector<int> const& octets);
    // Choisit l'entree n (comptee de 1) du menu Fichier.
    int choisit_menu(int n);
    // Les dialogues vus depuis le dernier appel ; la liste repart vide.
    std::vector<dialogue_vu> prend_dialogues();
    // Un nouveau simulateur lance avec ces mots apres le nom du programme (la
    // file videe, aucune passe faite).
    void relance(std::vector<std::string> const& mots);

    char const* libelle(Fl_Widget* w) const;
    std::string texte_saisie(Fl_Input* w) const;

    std::unique_ptr<simulateur> sim;
    SIM_class* f = nullptr;
    mem_64k* mem = nullptr;
    mp_interpreteur* cpu = nullptr;

    // Ce que la garde fait d'un dialogue ouvert ; par defaut, le fermer comme la
    // case de fermeture du gestionnaire de fenetres.
    std::function<void(Fl_Window*)> reponse;
    // Temps pendant lequel la garde laisse un dialogue ouvert avant de repondre.
    // Jamais nul : le selecteur de fichiers traite deja des evenements pendant
    // qu'il s'affiche (et le rouvrirait apres une reponse trop tot), et un tour
    // de garde en retard est rattrape aussitot dans la meme attente (la meme
    // fenetre recevrait deux reponses avant que le programme lise la premiere).
    double delai_reponse = 0.05;

  private:
    static void garde(void* donnees);

    void prend_simulateur(char** ligne, int nb);

    std::vector<dialogue_vu> dialogues;
    std::vector<std::string> mots_relance; // la boite a outils garde des pointeurs dessus
    std::vector<char*> ligne_relance;
    Fl_Window* dialogue_en_cours = nullptr;
    double dialogue_vu_depuis = 0.0;
};

// Reponse de la garde au selecteur de fichiers : le chemin, puis "OK".
std::function<void(Fl_Window*)> choisit_fichier(std::string const& chemin);

// Fichier du dossier temporaire, propre au processus, ecrit d'un trait ; rend son chemin.
// (Dans un espace a lui : le programme a deja un ecrit_fichier, celui des sorties.)
namespace banc_fichiers {
std::string ecrit_fichier(std::string const& nom, std::string const& contenu);
}
using banc_fichiers::ecrit_fichier;

// Widget de la fenetre dont la boite commence en (x, y) ; null s'il n'y en a pas.
Fl_Widget* widget_en(Fl_Group* fenetre, int x, int y, int w, int h);
// Premier widget du groupe (recursif) dont le libelle vaut texte.
Fl_Widget* widget_libelle(Fl_Group* groupe, std::string const& texte);

// Une touche tapee dans la fenetre, comme la boite a outils la livre ; la file
// est laissee telle quelle.
void frappe(Fl_Window* fenetre, int touche, int etat = 0, char const* texte = "");

#endif
