// La partie fichiers de la barre du haut de la fenetre principale : "Ouvrir
// source...", "Recharger" et le nom du fichier que "Recharger" relira. Le
// simulateur decide des chargements ; la bande retient le fichier et le montre.
// Invariant : "Recharger" est grise tant qu'aucun fichier n'est retenu.
#ifndef KARVELA_BANDE_FICHIERS_H
#define KARVELA_BANDE_FICHIERS_H

#include <string>

#include "simulateur/interface_fichiers.h"

class bande_fichiers {
  public:
    explicit bande_fichiers(SIM_class* principale);
    ~bande_fichiers();
    bande_fichiers(bande_fichiers const&) = delete;
    bande_fichiers& operator=(bande_fichiers const&) = delete;

    Fl_Widget* bouton_source() const { return barre_->B_SOURCE; }
    Fl_Widget* bouton_recharger() const { return barre_->B_RECHARGER; }
    // Vide tant qu'aucun fichier n'a ete choisi.
    std::string const& fichier() const { return fichier_; }
    // Le fichier que "Recharger" relira, nomme dans la barre (coupe s'il est trop
    // long, le chemin entier dans la bulle).
    void retiens(std::string const& chemin);
    // Le nom est recoupe a la largeur de sa boite, apres un zoom.
    void recoupe();

  private:
    friend struct acces_simulateur; // ouverture reservee aux tests

    Fl_Window* principale_;
    barre_fichiers_class* barre_;
    std::string fichier_;
};

#endif
