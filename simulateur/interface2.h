// Controleur du simulateur : possede la memoire, le processeur et les cinq ports,
// cree les fenetres et fait tourner l'unique boucle de commandes sur la file
// d'objets de la couche Forms. Aucun widget n'a de rappel propre : tout ce que
// l'utilisateur active arrive par la file et se traite ici, un widget par passe.
// Il garde la fenetre principale (panneau, vues, menu Fichier, "A propos",
// aide), et ses ajouts : partie fichiers de la barre (bande_fichiers), mode
// marche, zoom. Chaque fenetre compagne (exercice, source, platine, "Aller à") a
// son controleur, possede ici, qui ne voit du simulateur que le pont (pont.h) :
// la boucle lui offre chaque widget ("est-ce le tien ? alors fais-le") et le
// crochet chaque evenement, dans un ordre fixe.
#ifndef KARVELA_INTERFACE2_H
#define KARVELA_INTERFACE2_H

#include <memory>
#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "explication/pourquoi.h"
#include "execution/moteur.h"
#include "simulateur/bureau.h"
#include "simulateur/interface.h"
#include "simulateur/interface_marche.h"
#include "simulateur/interpreteur.h"
#include "simulateur/ligne_commande.h"
#include "simulateur/machine.h"
#include "simulateur/marche.h"
#include "simulateur/mem_64k.h"
#include "simulateur/periph.h"
#include "simulateur/pont.h"
#include "simulateur/port_es.h"
#include "simulateur/texte_aide.h"
#include "simulateur/zoom.h"

// Huit chiffres binaires de v, bit 7 en tete, et le zero final (9 caracteres).
void reg2bin8(unsigned char v, char* buffer);

// Ce que la ligne de commande demande, une fois les options de la boite a
// outils mises de cote (elles sont notees pour la premiere fenetre montree).
demande_lancement lit_ligne_commande(int argc, char** argv);

class bande_fichiers;
class controleur_aller_a;
class controleur_exercice;
class controleur_explication;
class controleur_platine;
class controleur_source;

class simulateur {
  public:
    simulateur(int argc, char** argv);
    ~simulateur();

    // Boucle de commandes ; rend la main quand l'utilisateur a choisi "Quitter".
    void interprete_commandes();
    // Une passe de la boucle : attend un evenement si la file est vide, traite au
    // plus un widget ; 0 quand le programme doit finir.
    int passe_commande();

    void charge_registres();
    void sauve_registres();
    void rafraichit_pile();
    void rafraichit_desassemble();
    void rafraichit_dump(int dec);

  private:
    friend struct acces_simulateur; // ouverture reservee aux tests
    friend class pont_simulateur;   // ce que les fenetres compagnes en voient

    // Entrees du menu Fichier comme fl_get_menu les numerote (de 1 ; -1 : rien choisi).
    static constexpr int item_a_propos = 1;
    static constexpr int item_ouvrir = 2;
    static constexpr int item_quitter = 3;

    // Crochet d'evenements, pose apres le mode marche (avant le source, la platine
    // et "Aller a") : touches du zoom, puis, hors fenetre modale et menu deroule,
    // prend_evenement.
    static int aiguille_evenement(int evenement, Fl_Window* fenetre);
    // Les evenements que les vues, les compagnes et le mode marche mettent en file.
    bool prend_evenement(int evenement, Fl_Window* fenetre);
    int interprete_menu_fichier(Fl_Widget* obj);
    // Commande VALID_MEM : verifie les trois champs, puis remplit la memoire.
    void commande_memoire();
    // Fin du chargement d'un .bin (menu ou rechargement).
    void charge_programme(char* chemin, chargement sorte);
    // Apres tout chargement reussi, .bin ou source : le fichier est retenu, PC a 0,
    // panneau, desassemblage.
    void demarre_programme_charge(std::string const& chemin, chargement sorte);
    // Un programme deja lu (source assemblee, cas d'un exercice) entre en memoire.
    void charge_image(programme_charge p, std::string const& chemin, chargement sorte);
    // Le dump part de la ligne qui contient l'adresse, comme tire par sa glissiere.
    void montre_au_dump(long long adresse);

    // Ajouts (interface2_fichiers.cpp) : aide, partie fichiers de la barre, sources,
    // rechargement, touches et fichier de la ligne de commande. Appele apres les
    // ports, avant les fenetres compagnes.
    void prepare_ajouts(demande_lancement const& demande);
    void detruit_ajouts();
    void montre_aide();
    // Un clic dans le sommaire de l'aide : sa partie en haut du texte.
    void montre_section_aide();
    // Le texte de l'aide a defile : le sommaire marque la partie qu'on lit.
    void suit_aide();
    void ouvre_source();
    void recharge();
    // Pour "Vérifier", par le pont : le texte du source, s'il a change, charge
    // comme par Ctrl+R.
    texte_montre charge_texte_montre();
    // Ouvre la source dans la fenetre du source, l'assemble et la charge comme un
    // .bin ; illisible, rien ne change ; fautive, seule la fenetre du source change.
    void charge_source(std::string const& chemin, chargement sorte);
    // Une touche tapee dans l'aide vaut comme dans la fenetre principale.
    static int relaie_raccourci(int evenement);

    // Mode marche (interface2_marche.cpp) : PLAY, STOP, vitesse, points d'arret
    // et pas arriere. Appele apres prepare_ajouts, avant de montrer.
    void prepare_marche();
    void detruit_marche();
    // Avant la relecture du panneau, en marche : les commandes qui arretent la
    // marche l'arretent (etat montre), les autres trouvent le panneau a jour.
    void avant_commande(Fl_Widget* obj);
    // Vrai si obj est une commande du mode marche ; elle est alors faite.
    bool commande_marche(Fl_Widget* obj);
    // Passe sans widget en marche : attend le rendez-vous ou execute une tranche.
    void avance_marche();
    void arrete_marche();
    // Panneau, pile, desassemblage, ports et dump, comme apres un STEP.
    void montre_machine();
    // Texte d'etat, au depart et a l'arret de la marche.
    void montre_etat_marche();
    // Ce que la barre dit de la marche : texte_arret quand l'arret a une ligne du
    // source, texte_etat sinon ; vide avant la premiere marche.
    std::string texte_etat_marche() const;
    // Le texte d'etat a la taille qui le tient sur une ligne, s'il y en a une.
    void ajuste_etat();
    // A cote de la pile : SP, ce que la derniere instruction a pose ou ote, et
    // le compteur de pas. Rien avant que la bande existe.
    void montre_reperes_pile();
    // nombre octets ecrits a la main depuis adresse (modulo 64 Ko) : notes
    // entre le dernier pas et le suivant.
    void note_edition(long long adresse, long long nombre, unsigned char valeur);
    // n pas arriere (moins s'il n'y a plus rien a annuler) ; l'arret montre ne
    // decrit plus la machine. Rien n'est redessine.
    void recule_pas(unsigned long long n);
    // Bouton du pas arriere grise quand il n'y a rien a annuler.
    void actualise_recul();
    // Clic sur une ligne du desassemblage, Echap et F9, mis en file.
    bool prend_evenement_marche(int evenement, Fl_Window* fenetre);
    // Ligne du desassemblage marquee d'un point rouge si adresse est un point d'arret.
    void marque_point_arret(Fl_Widget* ligne, unsigned short adresse);

    // En classe (interface2_classe.cpp) : zoom, placement et molette. Toutes les
    // fenetres rejoignent la liste du bureau (zoom et placement) une fois creees,
    // avant de montrer ; --zoom y est applique.
    void prepare_zoom(double facteur_zoom);
    // Toutes les fenetres au facteur demande, ramene a ce qui tient sur l'ecran (la
    // barre d'etat le dit), a leur place ; le nom du fichier ouvert est recoupe.
    void change_zoom(double demande);
    // Echap, dans toute fenetre de la liste : arrete la marche ; sinon ne ferme
    // aucune compagne.
    bool prend_echap(int evenement, Fl_Window* fenetre);
    // Ctrl++, Ctrl+=, Ctrl+-, Ctrl+0 dans une fenetre inscrite, meme modale.
    bool prend_touche_zoom(int evenement, Fl_Window* fenetre);
    // Molette sur le dump ou le desassemblage.
    bool prend_molette(int evenement, Fl_Window* fenetre);
    // Clic droit sur une entree de pile, un port, un octet du dump, CCR ou le texte
    // d'arret : "Pourquoi ?" pour lui, par la file.
    bool prend_clic_droit(int evenement, Fl_Window* fenetre);
    // La question qu'un clic droit pose a l'endroit de la souris, sous la forme de
    // karvela-run --pourquoi ; vide s'il n'y en a pas la.
    std::string question_sous_la_souris();
    // "Pourquoi ?" pour QUOI (un clic droit, ou une compagne pour un symbole) ;
    // faux si QUOI ne nomme rien du programme en memoire.
    bool demande_pourquoi(std::string const& quoi);

    SIM_class* SIM;
    form_about_class* form_about;
    aide_class* aide;
    Fl_Widget* point_desa[12];
    Fl_Widget* point_pile[16];
    Fl_Widget* point_dump[12];
    mem_64k memoire;
    mp_interpreteur inter;
    portparallele portA;
    portparallele portB;
    portparallele portC;
    portparallele portD;
    portparallele portE;
    machine moteur; // une instruction comme STEP la fait, sur les membres ci-dessus
    unsigned short adr_debut_desassemblage;
    Fl_Widget* fermer_aide;     // bouton "Fermer" de l'aide, sans membre dans aide_class
    std::string fichier_charge; // celui dont le programme est en memoire ; vide : aucun
    double (*horloge_marche)(); // secondes ; les tests la reglent a la main
    mode_marche marche;         // en marche, vitesse, points d'arret, cadence
    barre_marche_class* barre_marche;
    bande_pile_class* bande_pile = nullptr; // ses widgets sont a la fenetre principale
    long long pas_sans_reperes = -1;        // compteur de pas au dernier RESET
    // Les octets tapes a la main depuis le chargement, pour "Pourquoi ?" : au plus
    // editions_max, les plus anciennes oubliees.
    std::vector<ecriture_exterieure> editions;
    unsigned short adresse_desa[12]; // adresse montree sur chaque ligne du desassemblage
    int ligne_pc_desa;               // ligne marquee "-> "
    zoom_fenetres zoom;              // toutes les fenetres y sont inscrites
    bureau_fenetres fenetres{zoom};  // la liste des fenetres : zoom, places, touches
    std::string zoom_limite;         // "zoom limité à ..." quand le facteur demande a ete ramene
    std::unique_ptr<sommaire_aide_class> sommaire; // a cote du texte de l'aide
    std::vector<section_aide> sections_de_l_aide;  // ce que le sommaire montre, dans l'ordre
    int haut_aide = 0; // premiere ligne montree du texte de l'aide, au dernier regard
    // Le programme en memoire, source assemblee ou .bin : "Vérifier" le corrige,
    // "Aller a" cherche ses etiquettes. Pas charge tant qu'aucun chargement n'a reussi.
    programme_charge programme_en_memoire;
    std::unique_ptr<bande_fichiers> fichiers; // partie fichiers de la barre du haut
    // Les fenetres compagnes, dans l'ordre de leur creation : chacune a son
    // controleur, qui ne voit du simulateur que le pont. Null jusqu'a leur place
    // dans le constructeur : le premier dessin des vues les precede.
    std::unique_ptr<controleur_exercice> exercice;
    std::unique_ptr<controleur_source> source;
    std::unique_ptr<controleur_platine> platine;
    std::unique_ptr<controleur_aller_a> aller_a;
    std::unique_ptr<controleur_explication> explication; // cree par prepare_zoom
};

#endif
