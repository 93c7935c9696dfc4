// karvela-run sans processus : ses options, ce qu'elles demandent au moteur
// d'execution et son rapport, en francais ou en JSON. Le main lit les options,
// appelle le moteur et imprime.
#ifndef KARVELA_COMMANDES_LANCEMENT_H
#define KARVELA_COMMANDES_LANCEMENT_H

#include <string>
#include <vector>

#include "exercices/adresses.h"
#include "execution/moteur.h"
#include "explication/pourquoi.h"

struct options_run {
    std::string programme;
    long long pas = 1000000;
    bool jusqu_a = false;
    unsigned short adresse_arret = 0;
    int entrees[nb_ports] = {-1, -1, -1, -1, -1}; // octet a poser sur les entrees, -1 : rien
    std::vector<evenement_entree> evenements;     // --entree P=V@N, N > 0
    struct pose {
        cle_adresse cle;
        std::vector<unsigned char> octets;
    };
    std::vector<pose> poses; // --pose, resolues sur le programme charge
    std::vector<zone_memoire> zones;
    struct zone_nommee {
        cle_adresse cle; // une etiquette, suivie ou non de +N
        unsigned taille;
        std::size_t rang; // sa place dans zones une fois resolue
    };
    std::vector<zone_nommee> zones_nommees; // --memoire, resolues avec les --pose
    bool trace = false;
    bool json = false;
    std::vector<std::string> pourquoi; // --pourquoi, dans l'ordre
};

enum class demande_run { executer, aide, version, usage_fautif };

struct lecture_options {
    demande_run demande;
    std::string message; // usage_fautif : ce qui ne va pas, en francais
};

// Les arguments sans le nom de la commande.
lecture_options lit_options_run(std::vector<std::string> const& arguments, options_run& o);

extern char const* const aide_run;

// Ce que les options demandent au moteur : pas, point d'arret, --entree avant la
// premiere instruction, puis apres N.
demande_execution demande_de(options_run const& o);
// Les --pose de o ajoutees a d, et les --memoire nommees a o.zones, leurs cles
// resolues dans p ; vide si toutes le sont, sinon le message de la premiere qui
// ne l'est pas.
std::string ajoute_poses(options_run& o, programme_charge const& p, demande_execution& d);

// "0002  PUSHI 1     PC=0004 SP=1 CCR=00000000 A=00 X=0000 pile=[3 1]"
std::string ligne_trace(unsigned short adresse, std::string const& instruction,
                        mp_interpreteur const& cpu);

std::string rapport_json(etat_final const& e); // un objet, une ligne

// La question d'un --pourquoi QUOI : port (A a E, DDRC, DDRD), pile, pile:N, drapeau
// (N, Z, V, ou ccr:X pour chacun), arret, adresse ou etiquette du source (+N).
// Vide si elle se lit, sinon le message ; p sert aux etiquettes.
std::string question_de(std::string const& quoi, programme_charge const& p, question_pourquoi& q);
// Ce que la demande ecrit hors des instructions : octets poses, entrees, evenements.
std::vector<ecriture_exterieure> ecritures_de(demande_execution const& d);
// Le rapport JSON avec, en dernier, "pourquoi": [ ... ].
std::string rapport_json_pourquoi(etat_final const& e, std::vector<explication> const& reponses);
std::string rapport_texte(etat_final const& e);

#endif
