// Controleur des exercices : le bouton "Exercice" et "Vérifier" de la barre du
// haut, la fenetre de l'exercice, la correction du texte que l'etudiant voit et le
// cas prepare dans la fenetre principale. Possede par le simulateur, qui lui passe
// ses widgets (commande), lui dit qu'un programme est charge et d'oublier le cas
// prepare (RESET). Il ne voit du simulateur que le pont.
#ifndef KARVELA_CONTROLEUR_EXERCICE_H
#define KARVELA_CONTROLEUR_EXERCICE_H

#include <FL/Fl_Text_Buffer.H>

#include <atomic>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "exercices/correction.h"
#include "simulateur/interface_exercice.h"
#include "simulateur/pont.h"

class controleur_exercice {
  public:
    // Cree les boutons de la barre et la fenetre, cachee ; fichier : celui de
    // --exercice, ouvert a la premiere passe, ou vide.
    controleur_exercice(SIM_class* principale, pont_simulateur pont, std::string const& fichier);
    // Annule la correction en cours et attend son fil, qui rend a sa tranche : elle
    // lit des copies, mais son minuteur ne doit plus venir.
    ~controleur_exercice();
    controleur_exercice(controleur_exercice const&) = delete;
    controleur_exercice& operator=(controleur_exercice const&) = delete;

    Fl_Window* fenetre() const { return fen_->exercice; }
    // Vrai si obj est une commande des exercices ; elle est alors faite.
    bool commande(Fl_Widget* obj);
    // Le cas prepare ne l'est plus (RESET) : ses evenements sont desarmes.
    void oublie_cas();
    // Un programme vient d'entrer en memoire (tout chargement) : le cas prepare est
    // oublie, la correction en cours annulee, les resultats montres effaces ; sauf
    // le rechargement que "Préparer le cas" fait lui-meme, du meme programme.
    void programme_change();

    // Ce que la correction en cours partage avec son fil : l'annulation demandee,
    // et si le fil l'a vue (un cas arrete par elle).
    struct correction_partagee {
        std::atomic<bool> annulee{false};
        std::atomic<bool> vue{false};
    };

  private:
    friend struct acces_simulateur; // ouverture reservee aux tests

    void ouvre(std::string const& chemin);
    // L'exercice lu de chemin devient celui de la fenetre, ou son refus y est montre.
    void prend(std::string const& chemin, exercice_lu const& lu);
    // Annulee, son fil attendu (il rend a sa prochaine tranche) ; les boutons reviennent.
    void arrete_correction();
    void fin_correction(); // les boutons "Vérifier" reviennent
    void montre_fenetre();
    void verifie();
    static void sonde_correction(void* donnees); // minuteur : la correction est-elle finie ?
    void montre_resultats();
    void montre_cas_choisi();
    void prepare_cas_choisi();

    pont_simulateur pont_;
    barre_exercice_class* barre_;
    fenetre_exercice_class* fen_;
    std::string fichier; // vide : aucun exercice ouvert
    exercice ouvert;
    std::string titre_fenetre;
    std::string titre; // fichier, titre, nombre de cas et points
    // Diagnostics du dernier fichier refuse, montres a la place des cas jusqu'a
    // la prochaine verification : l'exercice d'avant reste ouvert.
    std::string titre_refus;
    std::vector<std::string> refus;
    std::future<resultat_copie> correction;
    std::shared_ptr<correction_partagee> partage; // celui de la correction en cours
    std::vector<resultat_cas> resultats;          // vide avant la premiere verification
    std::string nom_verifie;                      // le programme que ces resultats notent
    // Le total, sans resultats ni correction en cours : pas encore verifie,
    // programme change, source fautif...
    std::string annonce;
    bool recharge_du_cas = false; // "Préparer le cas" recharge le meme programme
    std::string fichier_demande;  // --exercice, ouvert a la premiere passe
    Fl_Text_Buffer enonce;        // montre par la fenetre, qui est detruite avant lui
};

#endif
