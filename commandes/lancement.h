// karvela-run sans processus : ses options, l'execution d'un programme deja charge
// (par machine::pas() et execute(), comme STEP et le mode marche) et son rapport,
// en francais ou en JSON. Le main ne fait que charger le fichier et imprimer.
#ifndef KARVELA_COMMANDES_LANCEMENT_H
#define KARVELA_COMMANDES_LANCEMENT_H

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "simulateur/machine.h"
#include "simulateur/marche.h"

struct zone_memoire {
    unsigned short adresse;
    unsigned taille; // adresse + taille <= 0x10000
};

struct options_run {
    std::string programme;
    long long pas = 1000000;
    bool jusqu_a = false;
    unsigned short adresse_arret = 0;
    int entrees[nb_ports] = {-1, -1, -1, -1, -1}; // octet a poser sur les entrees, -1 : rien
    std::vector<zone_memoire> zones;
    bool trace = false;
    bool json = false;
};

enum class demande_run { executer, aide, version, usage_fautif };

struct lecture_options {
    demande_run demande;
    std::string message; // usage_fautif : ce qui ne va pas, en francais
};

// Les arguments sans le nom de la commande.
lecture_options lit_options_run(std::vector<std::string> const& arguments, options_run& o);

extern char const* const aide_run;

// Memoire, processeur et ports tels que la fenetre les a au demarrage : ports
// configures sur la memoire neuve. Le programme se charge dans memoire().
class machine_seule {
  public:
    machine_seule();
    machine_seule(machine_seule const&) = delete;
    machine_seule& operator=(machine_seule const&) = delete;

    mem_64k& memoire() { return *memoire_; }
    machine& m() { return machine_; }
    // Apres un chargement reussi : PC a 0 et chaque port reecrit son registre de valeur.
    void apres_chargement();

  private:
    std::unique_ptr<mem_64k> memoire_;
    mp_interpreteur cpu_;
    registre_port ports_[nb_ports];
    registre_port* liens_[nb_ports];
    machine machine_;
};

// Les --entree, comme des clics sur les boutons d'entree avant la premiere instruction.
void pose_entrees(machine& m, options_run const& o);

// Execute selon les options ; avec trace, une ligne par instruction executee.
bilan_execution lance(machine& m, options_run const& o, std::ostream* trace);

// "0002  PUSHI 1     PC=0004 SP=1 CCR=00000000 A=00 X=0000 pile=[3 1]"
std::string ligne_trace(unsigned short adresse, std::string const& instruction,
                        mp_interpreteur const& cpu);

struct etat_final {
    long long pas;
    arret raison;
    unsigned short adresse_arret; // instruction fautive ou sur place, sinon PC
    unsigned short PC;
    short SP;
    std::vector<int> pile; // du fond au sommet, signes
    unsigned char CCR, A;
    unsigned short X;
    unsigned char ports[nb_ports + 2]; // A, B, C, D, E, DDRC, DDRD
    struct zone {
        unsigned short adresse;
        std::vector<unsigned char> octets;
    };
    std::vector<zone> zones;
};

etat_final releve(machine& m, bilan_execution const& b, options_run const& o);

std::string rapport_json(etat_final const& e); // un objet, une ligne
std::string rapport_texte(etat_final const& e);

#endif
