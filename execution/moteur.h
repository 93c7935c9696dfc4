// Le moteur d'une execution sans fenetre : un programme lu (.bin par la lecture du
// chargeur, .asm assemble), une machine neuve comme celle de la fenetre au
// demarrage, des octets poses et des entrees cliquees (avant la premiere
// instruction ou apres N), l'execution par execute() et ses regles d'arret, puis
// la description de l'arret : raison, adresse, ligne du source, pas. karvela-run
// l'imprime ; un correcteur compare son etat final a ce qu'il attend. Aucune
// execution ne se fait ailleurs a sa maniere.
#ifndef KARVELA_EXECUTION_MOTEUR_H
#define KARVELA_EXECUTION_MOTEUR_H

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "execution/evenements.h"
#include "execution/fichiers.h"
#include "simulateur/machine.h"
#include "simulateur/marche.h"

// Un programme pret a etre charge, autant de fois qu'il faut.
struct programme_charge {
    bool charge = false;
    bool source = false; // assemble d'un .asm : lignes (et symboles) connus
    unsigned short base = 0;
    std::vector<unsigned char> image;
    programme_assemble assemble; // source : diagnostics, lignes
    std::string erreur;          // pas charge, hors diagnostics : la phrase entiere
    std::string avertissement;   // charge, mais a dire : .bin plus long que son en-tete
};

// L'extension decide (est_source, casse ignoree) : un .asm est lu et assemble, tout
// autre fichier lu comme un .bin par le chargeur de la fenetre, sans ses lignes.
programme_charge lit_programme(std::string const& chemin);
// Le .bin chemin, deja lu par lit_binaire (ou par le chargeur de la fenetre, quelle
// que soit son extension) : charge, ou refuse avec la phrase qui dit pourquoi.
programme_charge programme_binaire(std::string const& chemin, binaire_lu const& b);
// Un source deja assemble (la fenetre l'a en main) ; charge s'il n'a pas d'erreur.
programme_charge programme_source(programme_assemble p);

// Ligne du source dont l'instruction (ou la donnee) commence a adresse ; 0 sinon,
// et toujours pour un .bin.
int ligne_source(programme_charge const& p, unsigned short adresse);

// Memoire, processeur et ports tels que la fenetre les a au demarrage : ports
// configures sur la memoire neuve, pile vide.
class machine_seule {
  public:
    machine_seule();
    machine_seule(machine_seule const&) = delete;
    machine_seule& operator=(machine_seule const&) = delete;

    mem_64k& memoire() { return *memoire_; }
    machine& m() { return machine_; }
    // Comme un chargement de la fenetre : memoire a 0 puis l'image, PC a 0, chaque
    // port reecrit son registre de valeur.
    void charge(programme_charge const& p);

  private:
    std::unique_ptr<mem_64k> memoire_;
    mp_interpreteur cpu_;
    registre_port ports_[nb_ports];
    registre_port* liens_[nb_ports];
    machine machine_;
};

// Des octets ecrits en memoire hors d'une instruction (les ports les voient au pas
// suivant) ; ce qui depasserait $FFFF est perdu.
void pose_octets(machine& m, unsigned short adresse, std::vector<unsigned char> const& octets);

struct octets_poses {
    unsigned short adresse;
    std::vector<unsigned char> octets;
};

struct demande_execution {
    long long pas_max = 1000000;
    std::vector<unsigned short> points;    // arret avant ces adresses (pas la premiere)
    std::vector<octets_poses> memoire;     // apres le chargement, avant les entrees
    std::vector<evenement_entree> entrees; // dans l'ordre des pas, puis de la liste
    // Non nul : l'execution se fait par tranches de tranche_annulable pas au plus
    // et s'arrete (arret::demande) des qu'il passe a vrai, entre deux tranches.
    // Nul (karvela-run, karvela-note) : rien ne change, ni le resultat ni la vitesse.
    std::atomic<bool> const* annule = nullptr;
};

// Pas au plus entre deux regards sur une annulation : une milliseconde environ.
constexpr long long tranche_annulable = 1LL << 16;

// Le mot d'un arret dans le JSON de karvela-run et dans un exercice : "boucle"...
char const* mot_arret(arret a);
// Le contraire ; faux pour un mot inconnu.
bool arret_du_mot(std::string const& mot, arret& a);

struct arret_decrit {
    bilan_execution bilan; // pas, raison, adresse de l'arret (PC pour limite)
    int ligne = 0;         // ligne_source de bilan.adresse
};

// Appele apres chaque instruction executee : son adresse, son texte desassemble
// avant elle, le processeur apres elle.
using observateur =
    std::function<void(unsigned short adresse, char const* instruction, mp_interpreteur const&)>;

// Charge p (deja lu et charge) dans seule, pose sa memoire et ses entrees, execute
// jusqu'au premier arret : erreur de pile, boucle, point d'arret ou pas_max (ou
// arret::demande, annulee).
arret_decrit lance_programme(machine_seule& seule, programme_charge const& p,
                             demande_execution const& d, observateur const& trace = nullptr);

// L'etat de la machine a l'arret, comme karvela-run le rapporte.
struct zone_memoire {
    unsigned short adresse;
    unsigned taille; // adresse + taille <= 0x10000
};

// Les registres des ports dans l'ordre de etat_final::ports, nommes comme le
// rapport de karvela-run et les exercices les nomment.
constexpr int nb_registres_ports = nb_ports + 2;
inline constexpr char const* noms_registres_ports[nb_registres_ports] = {"A", "B",    "C",   "D",
                                                                         "E", "DDRC", "DDRD"};
// Les lettres des ports, dans l'ordre de leurs numeros (0 : A).
inline constexpr char lettres_ports[] = "ABCDE";
// Au plus tant d'instructions pour une execution demandee (karvela-run -n, pas_max
// d'un exercice) : les nombres lus ont 32 bits.
constexpr long long pas_max_demande = 0xFFFFFFFF;

struct etat_final {
    long long pas;
    arret raison;
    unsigned short adresse_arret;    // instruction fautive ou sur place, sinon PC
    erreur_pile_sorte pile_en_faute; // erreur_pile : pleine ou vide
    int ligne;                       // du source, 0 : aucune
    unsigned short PC;
    short SP;
    std::vector<int> pile; // du fond au sommet, signes
    unsigned char CCR, A;
    unsigned short X;
    unsigned char ports[nb_registres_ports]; // noms_registres_ports
    struct zone {
        unsigned short adresse;
        std::vector<unsigned char> octets;
    };
    std::vector<zone> zones;
    std::string phrase; // texte_arret
};

etat_final releve(machine& m, arret_decrit const& a, std::vector<zone_memoire> const& zones);

// La phrase d'un arret, pour la barre de la fenetre et karvela-run. Une erreur de
// pile dit ou et quoi : "Arrêt : pile pleine ligne 3 (DUP)", ou "... en $0002 (DUP)"
// sans ligne (un .bin) ; ligne est celle de l'instruction fautive, memoire celle ou
// elle est. Les autres arrets sont ceux de texte_etat.
std::string texte_arret(arret raison, unsigned short adresse, erreur_pile_sorte pile, int ligne,
                        mem_64k const& memoire);
// Ce qui suit "Arrêt : " dans la phrase ; la phrase entiere sinon ("Arrêt demandé").
// Le correcteur dit ainsi une erreur de pile avec les mots du moteur.
std::string sans_debut_arret(std::string const& phrase);

#endif
