// « Pourquoi ? » : d'ou vient la valeur d'une entree de pile, d'un octet de memoire
// (registres des ports compris), d'un drapeau, ou l'arret lui-meme. La reponse est
// une chaine d'instructions lue dans l'historique de la machine (ce qu'il garde
// avant chaque instruction) et la carte du programme (lignes, verification de la
// pile) : chaque maillon dit son pas, son adresse, sa ligne, son texte, ce qu'il a
// produit et consomme, et on remonte ce qu'il a consomme, en profondeur et en
// largeur bornees. Les ecritures faites hors des instructions (octets poses par un
// cas, entrees, evenements, edition a la main) ne sont pas dans l'historique :
// l'appelant les donne. On ne voit pas plus loin que l'historique : la reponse le
// dit quand une origine est plus ancienne. Rien n'est change : la fenetre et
// karvela-run impriment ce que rend pourquoi() et ne lisent pas l'historique
// eux-memes.
#ifndef KARVELA_EXPLICATION_POURQUOI_H
#define KARVELA_EXPLICATION_POURQUOI_H

#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "simulateur/machine.h"
#include "simulateur/marche.h"

// Un octet ecrit en memoire entre deux instructions.
struct ecriture_exterieure {
    enum origine_ecriture : unsigned char {
        pose,      // octets poses par un cas ou --pose, avant la premiere instruction
        entree,    // bits d'entree d'un port poses avant la premiere instruction
        evenement, // bits d'entree poses apres un nombre d'instructions
        edition,   // octet tape a la main
    } origine;
    unsigned long long pas; // instructions faites avant elle (machine::pas_enregistres)
    unsigned short adresse; // l'octet ; une entree : le registre de valeur du port
    unsigned char valeur;   // l'octet ecrit ; une entree : ses bits d'entree
};

// Ce dont on demande la raison.
struct question_pourquoi {
    enum sorte_question : unsigned char { pile, memoire, drapeau, arret } sorte = pile;
    int entree = -1;            // pile : indice depuis le fond (0) ; -1 : le sommet
    unsigned short adresse = 0; // memoire
    unsigned char masque = 0;   // drapeau : CCR_E, CCR_N, CCR_Z, CCR_V ou CCR_C
    std::string texte;          // comme on l'a demandee : « pile:2 », « B »...
};

// L'arret qu'on explique (arret::aucun s'il n'y en a pas eu).
struct arret_explique {
    arret raison = arret::aucun;
    unsigned short adresse = 0;
    erreur_pile_sorte pile = erreur_pile_sorte::aucune;
};

struct maillon {
    enum sorte_maillon : unsigned char {
        instruction,      // une instruction de l'historique
        donnee,           // un octet de l'image chargee (ligne .octet, operande)
        ecriture,         // une ecriture_exterieure
        port,             // la mise a jour d'un port apres une instruction
        chargement,       // memoire remise a 0, ou registre d'un port, au chargement
        depart,           // ce que le processeur avait avant la premiere instruction
        avant_historique, // plus ancien que ce que l'historique garde
    } sorte = instruction;
    int parent = -1;               // le maillon qu'il explique ; -1 : la reponse elle-meme
    int profondeur = 0;            // 0 pour les reponses directes
    unsigned long long pas = 0;    // instruction : son rang depuis le chargement (1 : la premiere)
    unsigned long long reculs = 0; // pas arriere pour revenir juste apres elle
    unsigned short adresse = 0;    // de l'instruction, ou de l'octet
    int ligne = 0;                 // du source ; 0 : aucune
    std::string texte;             // de l'instruction, desassemble
    std::vector<int> produites;    // octets produits (non signes)
    std::vector<int> consommees;   // octets consommes
    ecriture_exterieure::origine_ecriture origine = ecriture_exterieure::pose; // ecriture
    std::string phrase; // ce qu'il a fait, en francais
};

struct explication {
    std::string question;            // texte de la question
    std::string resume;              // une phrase
    std::vector<maillon> maillons;   // en largeur : chaque parent avant ses enfants
    std::vector<std::string> notes;  // la boucle qui remplit la pile...
    bool tronquee = false;           // bornes atteintes : d'autres maillons existent
    bool historique_depasse = false; // une origine est plus ancienne que l'historique
    std::size_t historique = 0;      // instructions que l'historique garde maintenant
};

// Au plus tant de maillons, et de niveaux sous une reponse directe.
constexpr std::size_t maillons_max = 40;
constexpr int profondeur_max = 6;

// La reponse a q sur la machine m telle qu'elle est, d'apres son historique.
// programme : la carte du source (nullptr pour un .bin) ; a : l'arret, pour
// question_pourquoi::arret.
explication pourquoi(machine const& m, programme_assemble const* programme,
                     std::vector<ecriture_exterieure> const& ecritures, question_pourquoi const& q,
                     arret_explique const& a);

// En francais, un maillon par ligne, decale selon sa profondeur.
std::string texte_explication(explication const& e);
// Un objet JSON sur une ligne : question, resume, maillons, notes.
std::string json_explication(explication const& e);

// Ce que la derniere instruction a fait de la pile, pour marquer ses entrees a
// cote de la pile : rien de connu si l'historique est vide.
struct effet_dernier_pas {
    bool connu = false;
    bool echec = false; // condition de pile non tenue : rien n'a change
    int sp_avant = -1;  // indice du sommet avant elle
    int premiere = 0;   // entrees posees : indices premiere..derniere (vide si premiere > derniere)
    int derniere = -1;
    int otees = 0; // entrees otees au-dessus de ce qui reste
};
effet_dernier_pas dernier_pas(machine const& m);

#endif
