// La machine telle que STEP la fait avancer : le processeur execute une
// instruction, puis les cinq ports A a E prennent leurs bits de sortie. La fenetre
// (STEP et mode marche) et karvela-run passent tous par ici : ce comportement n'a
// qu'une implementation. Un historique borne permet d'annuler les instructions.
// La machine ne possede rien : memoire, processeur et ports sont a l'appelant.
// Invariant : apres une mise a jour complete des ports, chaque registre de valeur
// vaut la valeur de son port et chaque direction celle que donne son DDR ; une
// nouvelle mise a jour n'y changerait rien tant que rien n'ecrit un registre de
// port. Seul POP ecrit la memoire : la mise a jour d'un port n'est donc refaite
// qu'apres un POP vers l'un de ses registres, et celle de tous apres
// memoire_touchee().
#ifndef KARVELA_MACHINE_H
#define KARVELA_MACHINE_H

#include <cstddef>
#include <vector>

#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"
#include "simulateur/port_es.h"

class machine {
  public:
    // ports : A, B, C, D, E ; ils peuvent etre configures apres la construction,
    // avant le premier pas (la premiere mise a jour est toujours complete).
    machine(mem_64k& memoire, mp_interpreteur& cpu, registre_port* const (&ports)[nb_ports]);

    // Une instruction comme STEP l'execute : instruction() puis sorties_ports().
    void pas() {
        instruction();
        sorties_ports();
    }
    // Les deux moities du pas, pour STEP qui redessine panneau, pile et
    // desassemblage entre les deux (ordre des appels de la fenetre).
    void instruction() {
        unsigned short const pc = cpu_.PC_value();
        if (historique_actif_) {
            note_instruction(pc);
        }
        if ((memoire_.read_byte(pc) & masque_opcode) == opcode_pop) {
            // L'adresse ou POP ecrira ; les registres des ports sont groupes.
            unsigned short const cible = memoire_.read_word(static_cast<unsigned short>(pc + 1));
            unsigned short const rang = static_cast<unsigned short>(cible - bas_registres_);
            if (rang < ports_du_registre_.size()) {
                ports_dus_ |= ports_du_registre_[rang];
            }
        }
        cpu_.step();
    }
    void sorties_ports() {
        if (ports_dus_ != 0) {
            met_a_jour_ports();
        } else {
            enregistrement_ouvert_ = false;
        }
    }

    // La memoire a ete ecrite hors d'une instruction (edition, chargement, pas
    // arriere) : la prochaine mise a jour des ports est complete. Un clic sur un
    // port (bascule_entree puis reecrit_valeur) n'en a pas besoin.
    void memoire_touchee() { ports_dus_ = tous_les_ports; }

    // Historique des instructions executees, pour le pas arriere. Sans effet sur
    // l'execution ; eteint par defaut (karvela-run le laisse eteint). L'allumer
    // reserve ses deux anneaux d'un coup (octets_historique) ; l'allumer ou
    // l'eteindre le vide.
    void garde_historique(bool oui);
    bool peut_reculer() const { return nb_annulations_ > 0; }
    // Annule la derniere instruction : PC, SP, entrees de pile, CCR, l'octet ecrit
    // par POP, valeurs et directions des ports. Les bits d'entree que l'utilisateur
    // a cliques depuis restent tels quels. Faux s'il n'y a rien a annuler.
    bool recule();
    // Un fichier charge : plus rien a annuler.
    void oublie_historique();
    // La derniere instruction encore annulable, si c'est un POP : l'adresse qu'elle
    // a ecrite et l'octet qui y etait avant. Faux sinon.
    bool derniere_ecriture(unsigned short& adresse, unsigned char& avant) const;
    // Nombre d'instructions que l'historique peut annuler au plus (moins si plus
    // d'une instruction sur deux change un port), et sa place en octets.
    std::size_t capacite_historique() const { return anneau_.size(); }
    std::size_t octets_historique() const;

    static constexpr int fenetre_pile_max = 4; // entrees de pile gardees par annulation
    // Ce qu'une instruction peut changer, pris avant elle (12 octets).
    struct annulation {
        unsigned short pc;
        unsigned short adresse; // octet qu'un POP ecrirait, avec sa valeur d'avant
        unsigned char octet;
        signed char sp;
        unsigned char ccr;
        unsigned char nb_ports;             // changements de ports qui la suivent
        signed char pile[fenetre_pile_max]; // entrees SP-2 a SP+1
    };
    // Un port que la mise a jour d'apres l'instruction a change, tel qu'avant (4 octets).
    struct changement_port {
        unsigned char port;
        unsigned char valeur;
        unsigned char direction;
        unsigned char registre; // octet au registre de valeur avant la mise a jour
    };
    static_assert(sizeof(annulation) == 12 && sizeof(changement_port) == 4,
                  "une annulation tient en quelques octets");

    // Lecture de l'historique, pour les explications, sans rien y changer : ce qui
    // a ete pris avant l'instruction annulable de rang recul (0 : la plus recente),
    // et les changements de ports (0 : le plus recent ; ceux d'une instruction la
    // suivent, nb_ports de son annulation).
    std::size_t nb_annulables() const { return nb_annulations_; }
    annulation const& annulable(std::size_t recul) const {
        return anneau_[(debut_annulations_ + nb_annulations_ - 1 - recul) & (anneau_.size() - 1)];
    }
    std::size_t nb_changements_ports() const { return nb_changements_; }
    changement_port const& changement(std::size_t recul) const {
        return anneau_ports_[(debut_ports_ + nb_changements_ - 1 - recul) &
                             (anneau_ports_.size() - 1)];
    }
    // Instructions executees depuis que l'historique a ete allume ou oublie (un
    // chargement), moins celles annulees : le compteur de pas de la fenetre. Les
    // plus anciennes oubliees par l'anneau y comptent ; 0 historique eteint.
    unsigned long long pas_enregistres() const { return debut_annulations_ + nb_annulations_; }

    mem_64k& memoire() { return memoire_; }
    mp_interpreteur& cpu() { return cpu_; }
    mem_64k const& memoire() const { return memoire_; }
    mp_interpreteur const& cpu() const { return cpu_; }
    registre_port& port(int p) { return *ports_[p]; }

  private:
    static constexpr unsigned char masque_opcode = nombre_opcodes - 1;
    static constexpr unsigned char opcode_pop = 0x02; // seule instruction qui ecrit la memoire

    static constexpr unsigned char tous_les_ports = (1 << nb_ports) - 1;

    void met_a_jour_ports();
    void repere_registres();
    void note_instruction(unsigned short pc);
    void note_port(changement_port const& avant);
    void oublie_plus_ancienne();
    void restaure_port(changement_port const& c);
    void pose_entree_pile(int i, signed char v);

    mem_64k& memoire_;
    mp_interpreteur& cpu_;
    registre_port* ports_[nb_ports];

    // Bit p : le port p est a mettre a jour ; tous a la configuration (registres a
    // 0xFF, valeurs a 0).
    unsigned char ports_dus_ = tous_les_ports;
    // Les ports dont un registre est a bas_registres_ + rang, d'apres la derniere
    // mise a jour complete (avant elle, tous sont dus de toute facon).
    unsigned short bas_registres_ = 0;
    std::vector<unsigned char> ports_du_registre_;

    bool historique_actif_ = false;
    bool enregistrement_ouvert_ = false; // la derniere annulation attend ses ports
    std::vector<annulation> anneau_;     // taille : puissance de deux
    std::size_t debut_annulations_ = 0; // annulations oubliees : l'indice est pris modulo la taille
    std::size_t nb_annulations_ = 0;
    std::vector<changement_port> anneau_ports_;
    std::size_t debut_ports_ = 0;
    std::size_t nb_changements_ = 0;
};

#endif
