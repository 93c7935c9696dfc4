// Controleur des exercices : le bouton "Exercice" et "Vérifier" de la barre du
// haut, la fenetre de l'exercice, la correction du programme en memoire et le cas
// prepare dans la fenetre principale. Possede par le simulateur, qui lui passe ses
// widgets (commande) et lui dit d'oublier le cas prepare (chargement, RESET). Il
// ne voit du simulateur que le pont.
#ifndef KARVELA_CONTROLEUR_EXERCICE_H
#define KARVELA_CONTROLEUR_EXERCICE_H

#include <future>
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
    // Attend la correction en cours : elle lit des copies, mais son minuteur ne
    // doit plus venir.
    ~controleur_exercice();
    controleur_exercice(controleur_exercice const&) = delete;
    controleur_exercice& operator=(controleur_exercice const&) = delete;

    Fl_Window* fenetre() const { return fen_->exercice; }
    // Vrai si obj est une commande des exercices ; elle est alors faite.
    bool commande(Fl_Widget* obj);
    // Le cas prepare ne l'est plus (chargement, RESET) : ses evenements sont desarmes.
    void oublie_cas();

  private:
    friend struct acces_simulateur; // ouverture reservee aux tests

    void ouvre(std::string const& chemin);
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
    std::vector<resultat_cas> resultats; // vide avant la premiere verification
    std::string nom_verifie;             // le programme que ces resultats notent
    std::string fichier_demande;         // --exercice, ouvert a la premiere passe
};

#endif
