// Correction d'un exercice : chaque cas lance le programme sur une machine neuve
// par le moteur d'execution (le meme que karvela-run et que la fenetre), puis
// compare l'etat a l'arret a ce que le cas attend et dit en francais ce qui
// differe. Une classe se corrige dans un seul processus, sur plusieurs fils ;
// chaque copie n'est lue qu'au moment de la corriger, et lachee des que ses cas
// sont faits : la memoire tient la plus grosse copie, pas la classe.
#ifndef KARVELA_EXERCICES_CORRECTION_H
#define KARVELA_EXERCICES_CORRECTION_H

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "exercices/exercice.h"
#include "execution/moteur.h"

// Ce qu'un cas demande au moteur pour un programme donne : ses cles d'adresse
// resolues. La fenetre prepare un cas avec la meme demande.
struct cas_pret {
    demande_execution demande;       // memoire, puis entrees et evenements dans entrees
    std::vector<zone_memoire> zones; // celles de attendu, dans son ordre
    std::string erreur;              // une cle qui ne se resout pas : rien n'est lance
    std::string debord;              // "la mémoire posée déborde de tab sur max", ou vide
};

// Les symboles qu'un exercice nomme, cherches une fois pour un programme : une
// etiquette absente (et sa suggestion, qui parcourt tous les noms) coute une
// recherche par copie, pas une par cas.
class symboles_cherches {
  public:
    symboles_cherches(exercice const& e, programme_charge const& p);
    // Comme resout_cle, sans chercher de nouveau.
    std::string resout(cle_adresse const& c, std::size_t taille, unsigned short& adresse) const;
    // "la mémoire posée déborde de tab sur max" si taille octets poses a adresse
    // par la cle c passent le debut d'une autre etiquette ; vide sinon.
    std::string debord(cle_adresse const& c, unsigned short adresse, std::size_t taille) const;

  private:
    struct cherche {
        std::string absent; // vide : trouve
        long long valeur = 0;
    };
    programme_charge const& programme;
    std::map<std::string, cherche> symboles;
    std::vector<std::pair<long long, std::string const*>> etiquettes; // par adresse
};

cas_pret prepare_cas(cas_exercice const& c, programme_charge const& p);
cas_pret prepare_cas(cas_exercice const& c, symboles_cherches const& s);

struct ecart {
    std::string quoi;    // "B", "pile", "$0200", "donnees+1", "arret"
    std::string attendu; // en JSON : nombre, tableau ou chaine
    std::string obtenu;
    // Pour les retours : ou ("port B", "somme ($0015)", "pile") et les octets, tels
    // qu'attendus (ecrits, -128..255) et obtenus (0..255 ; signes pour la pile).
    // Vides pour l'arret.
    std::string lieu;
    std::vector<int> attendus, obtenus;
    bool tableau = false; // ecrits entre crochets
    bool pile = false;
};

struct resultat_cas {
    std::string nom;
    bool lance = false; // faux : programme pas charge ou cle non resolue
    bool reussi = false;
    long long points = 0; // gagnes
    long long points_max = 0;
    arret raison = arret::aucun;
    unsigned short arret_en = 0;
    int ligne = 0;
    long long pas = 0;
    std::string phrase; // l'arret dit par le moteur (texte_arret)
    std::vector<ecart> ecarts;
    std::string message; // vide pour un cas reussi
    std::string note;    // echoue : la memoire posee qui deborde d'une etiquette, ou vide
};

// Sur une machine neuve : rien d'un cas (entrees, drapeaux, pile) n'atteint le suivant.
// annule non nul : le moteur y regarde entre ses tranches (demande_execution) ;
// annulee, le cas rend raison arret::demande et le message "correction annulée".
resultat_cas corrige_cas(cas_exercice const& c, programme_charge const& p,
                         symboles_cherches const& s, std::atomic<bool> const* annule = nullptr);

struct copie {
    std::string fichier; // tel que donne
    programme_charge programme;
};

struct resultat_copie {
    std::string fichier;
    std::vector<std::string> notes; // de la lecture : "« max.s » ... lu comme un source"
    bool charge = false;
    std::vector<std::string> erreurs;        // diagnostics, ou la phrase du chargement
    std::vector<std::string> avertissements; // de l'assembleur, "f:l:c: attention: ..."
    std::vector<resultat_cas> cas;
    long long points = 0;
    long long total = 0;
};

// Les copies dans leur ordre ; fils : 0 pour autant que la machine a de coeurs.
// Annulee (annule passe a vrai, la fenetre le fait), elle rend vite : les cas
// en cours s'arretent a leur tranche, les suivants ne sont pas lances ; chacun
// a raison arret::demande.
std::vector<resultat_copie> corrige(exercice const& e, std::vector<copie> const& copies,
                                    unsigned fils = 0, std::atomic<bool> const* annule = nullptr);

// Une copie lue seulement quand un fil la corrige : lit est appele une fois.
struct copie_a_lire {
    std::string fichier;
    std::function<std::shared_ptr<programme_charge const>()> lit;
};
// Appele une fois par copie lue, sur le fil qui l'a lue, avant qu'elle soit
// lachee : ce qu'une classe garde d'un programme (ses empreintes).
using recueil_copie = std::function<void(std::size_t copie, programme_charge const&)>;

std::vector<resultat_copie>
corrige_a_mesure(exercice const& e, std::vector<copie_a_lire> const& copies, unsigned fils = 0,
                 recueil_copie const& recueil = nullptr, std::atomic<bool> const* annule = nullptr);

// Le nom et les entrees du cas : "tous (E=$FF)", ou "somme" sans entrees.
std::string nom_du_cas(cas_exercice const& c);

// Ce que le cas pose, en entier, une ligne par sorte : "entrées : E=$0F",
// "mémoire : donnees = [0, 0, 0, 7]", "événements : au pas 150, E=$81" ; aucune
// ligne s'il ne pose rien. Les retours et la fenetre le montrent.
std::vector<std::string> mise_en_place(cas_exercice const& c);
// En bref, ce qui change en route : "après E=$81 au pas 150" ; vide sans evenement.
std::string mise_en_place_breve(cas_exercice const& c);

// Ou et comment le cas s'est arrete : "fin de programme après 9 pas (boucle en
// $0014, ligne 9)" ; une erreur de pile dans les mots du moteur, "pile vide ligne 1
// (DROP)". Le seul texte d'un arret de cas : message et retours le prennent ici.
std::string texte_arret(resultat_cas const& r);
// L'arret que le cas attend : "fin de programme (BT *)", "aucun arrêt avant 2000 pas"...
std::string arret_attendu(cas_exercice const& c);

// Un octet obtenu ecrit comme l'attendu l'est : signe si l'attendu est negatif,
// sans signe s'il passe 127 ; sinon sans signe, ou, deux_formes, "200 (-56)".
std::string octet_comme(int obtenu, int attendu, bool deux_formes);
// Une valeur de pile obtenue (signee) de meme ; sans attendu, signee.
std::string pile_comme(int obtenu, int const* attendu, bool deux_formes);

#endif
