// La machine telle que STEP la fait avancer : le processeur execute une
// instruction, puis les cinq ports A a E prennent leurs bits de sortie. La fenetre
// (STEP et mode marche) et karvela-run passent tous par ici : ce comportement n'a
// qu'une implementation. Un historique borne permet d'annuler les instructions.
// La machine ne possede rien : memoire, processeur et ports sont a l'appelant.
// Invariant : hors d'une instruction, le registre de valeur de chaque port vaut
// sa valeur ; tant que rien n'ecrit les registres des ports, la mise a jour des
// ports apres une instruction ne change rien et peut etre sautee.
#ifndef KARVELA_MACHINE_H
#define KARVELA_MACHINE_H

#include <cstddef>

#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"
#include "simulateur/port_es.h"

class machine {
  public:
    // ports : A, B, C, D, E, deja configures.
    machine(mem_64k& memoire, mp_interpreteur& cpu, registre_port* const (&ports)[nb_ports]);

    // Une instruction comme STEP l'execute : instruction() puis sorties_ports().
    void pas();
    // Les deux moities du pas, pour STEP qui redessine panneau, pile et
    // desassemblage entre les deux (ordre des appels de la fenetre).
    void instruction();
    void sorties_ports();

    // La memoire a ete ecrite hors d'une instruction (edition, chargement, clic de
    // port, pas arriere) : la prochaine mise a jour des ports est complete.
    void memoire_touchee();

    // Historique des instructions executees, pour le pas arriere. Sans effet sur
    // l'execution ; karvela-run le laisse eteint.
    void garde_historique(bool oui);
    bool peut_reculer() const;
    // Annule la derniere instruction : PC, SP, entrees de pile, CCR, l'octet ecrit
    // par POP, valeurs et directions des ports. Faux s'il n'y a rien a annuler.
    bool recule();
    // Un fichier charge : plus rien a annuler.
    void oublie_historique();
    // Nombre d'instructions que l'historique peut annuler au plus, et sa place.
    std::size_t capacite_historique() const;
    std::size_t octets_historique() const;

    mem_64k& memoire() { return memoire_; }
    mp_interpreteur& cpu() { return cpu_; }
    registre_port& port(int p) { return *ports_[p]; }

  private:
    mem_64k& memoire_;
    mp_interpreteur& cpu_;
    registre_port* ports_[nb_ports];
    // (le reste est a l'implementation : drapeau de mise a jour complete,
    //  anneau d'annulation, enregistrement en cours)
};

#endif
