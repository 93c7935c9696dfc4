// Ce qu'une fenetre compagne (source, exercice, platine, "Aller à", "Pourquoi ?") voit du
// simulateur qui la possede : la machine montree, le programme en memoire, la
// fenetre principale et l'aide (pour leurs touches), le zoom, la liste des
// fenetres (pour s'ouvrir a sa place), et
// les quelques gestes qui passent par lui. Une compagne ne connait que ce pont :
// deux compagnes ne se parlent jamais, le simulateur les fait se rencontrer.
// Aucune operation virtuelle : un pont ne fait que relayer au simulateur.
#ifndef KARVELA_PONT_H
#define KARVELA_PONT_H

#include <FL/Fl_Window.H>

#include <string>
#include <vector>

#include "explication/pourquoi.h"

#include "execution/moteur.h"
#include "simulateur/bureau.h"
#include "simulateur/machine.h"
#include "simulateur/marche.h"
#include "simulateur/zoom.h"

class simulateur;
class portparallele;

// Ce qu'un chargement reussi garde de la machine d'avant. "Ouvrir fichier
// binaire" ne remet que PC a 0 ; tout autre chargement repart d'un processeur
// neuf, comme au lancement, pour qu'un programme ne voie rien du precedent.
// Seul le rechargement du fichier deja en memoire garde les points d'arret.
enum class chargement { ouvrir_binaire, nouveau_fichier, rechargement };

// Le texte de la fenetre du source, au regard du programme en memoire.
enum class texte_montre {
    aucun,  // pas de source : le programme en memoire (un .bin, ou rien) est seul
    charge, // le programme en memoire est assemble de ce texte, tel qu'il est
    fautif, // ce texte, tel qu'il est, a des erreurs : rien n'en est charge
    change, // change depuis son dernier assemblage, ou jamais assemble
};

class pont_simulateur {
  public:
    explicit pont_simulateur(simulateur& s) : s_(s) {}

    // La machine montree, son mode marche (points d'arret, evenements d'un cas) et
    // ses ports (leurs boutons de bits).
    machine& moteur() const;
    mode_marche& marche() const;
    portparallele& port(int p) const;
    // Le programme en memoire (pas charge tant qu'aucun chargement n'a reussi) et
    // le fichier dont il vient (vide : aucun).
    programme_charge const& programme() const;
    std::string const& fichier_charge() const;
    Fl_Window* principale() const;
    Fl_Window* aide() const;
    zoom_fenetres& zoom() const;
    // Les fenetres du programme : une compagne s'y montre, a sa place.
    bureau_fenetres& fenetres() const;

    // Le programme entre en memoire et devient celui de la fenetre, comme apres
    // tout chargement reussi : fichier retenu, PC a 0, panneau, desassemblage.
    void charge(programme_charge p, std::string const& chemin, chargement sorte) const;
    // "Recharger" (Ctrl+R), comme par la barre du haut.
    void recharge() const;
    // Avant "Vérifier" : un texte du source change est enregistre, assemble et
    // charge comme par Ctrl+R (la marche arretee, la meme question s'il faut un
    // nom) ; rend ce qu'est alors le texte (change : l'etudiant a annule).
    texte_montre charge_texte_montre() const;
    // Panneau, pile, desassemblage, ports, platine et dump, comme apres un STEP.
    void redessine() const;
    // Les points d'arret ont change : le desassemblage les montre.
    void redessine_desassemblage() const;
    // Le dump part de la ligne qui contient l'adresse, comme tire par sa glissiere.
    void montre_au_dump(long long adresse) const;
    // En marche, la marche s'arrete et son etat est montre ; sinon rien.
    void arrete_marche() const;
    // STOP mis en file, comme un clic (Echap en marche).
    void clique_stop() const;
    // PLAY mis en file, comme un clic ("Exécuter jusqu'au curseur").
    void clique_play() const;
    // Le texte d'etat de la barre du mode marche.
    void annonce(std::string const& texte) const;
    // "Pourquoi ?" pour QUOI, tel que karvela-run --pourquoi le lit (une etiquette,
    // une adresse...), par la fenetre d'explication.
    void demande_pourquoi(std::string const& quoi) const;
    // Les octets tapes a la main depuis le chargement, ce que "Pourquoi ?" dit
    // "tapé à la main".
    std::vector<ecriture_exterieure>& editions() const;
    // n pas arriere, comme autant de clics sur le bouton (les evenements reculent
    // avec), sans redessiner ; s'arrete quand il n'y a plus rien a annuler.
    void recule(unsigned long long n) const;
    // Panneau, vues, texte d'etat et bouton du pas arriere, apres un recul ou une
    // machine rendue.
    void redessine_marche() const;

  private:
    simulateur& s_;
};

#endif
