// Execution continue sans dessin : pourquoi une suite d'instructions s'arrete,
// points d'arret, etat et cadence du mode marche de la fenetre. La fenetre et
// karvela-run executent par execute(), qui fait chaque pas avec machine::pas().
#ifndef KARVELA_MARCHE_H
#define KARVELA_MARCHE_H

#include <array>
#include <functional>
#include <string>

#include "execution/evenements.h"
#include "simulateur/machine.h"

// Pourquoi une execution s'est arretee. Apres une meme instruction, la premiere de
// erreur_pile, boucle, point_arret, limite l'emporte.
enum class arret {
    aucun,       // en marche, ou jamais lancee
    erreur_pile, // l'instruction a echoue sur sa pile (E deja leve ou non) : etat apres elle
    boucle,      // branchement pris sur sa propre adresse (BT *) : fin du programme
    point_arret, // PC sur un point d'arret : l'instruction n'a pas encore tourne
    limite,      // nombre d'instructions demande atteint
    demande,     // STOP de l'utilisateur
};

// Un octet par adresse plutot qu'un bit : le test, fait apres chaque instruction
// d'une marche, n'est qu'une lecture.
class points_arret {
  public:
    void bascule(unsigned short adresse) {
        actifs_[adresse] = !actifs_[adresse];
        nombre_ += actifs_[adresse] ? 1 : -1;
        ++version_;
    }
    bool contient(unsigned short adresse) const { return actifs_[adresse]; }
    bool vide() const { return nombre_ == 0; }
    void efface() {
        actifs_.fill(false);
        nombre_ = 0;
        ++version_;
    }
    // Change a chaque bascule ou effacement : une vue sait s'il faut redessiner.
    unsigned version() const { return version_; }

  private:
    std::array<bool, 0x10000> actifs_{};
    int nombre_ = 0;
    unsigned version_ = 0;
};

struct bilan_execution {
    long long pas = 0;           // instructions executees
    arret raison = arret::aucun; // aucun : la limite n'est pas un arret (tranche finie)
    // Instruction fautive (erreur_pile), le branchement (boucle), sinon PC a l'arret.
    unsigned short adresse = 0;
    erreur_pile_sorte pile = erreur_pile_sorte::aucune; // erreur_pile : pleine ou vide
};

// Execute au plus n instructions par machine::pas() ; s'arrete avant une adresse
// de points (s'il n'est pas nul), apres un branchement sur lui-meme et apres une
// erreur de pile. Avec depart, la premiere instruction tourne meme sur un point
// d'arret : un depart depuis un point d'arret le passe (PLAY, karvela-run) ; les
// tranches suivantes d'une meme marche le verifient. Avec limite_est_arret,
// atteindre n donne arret::limite (karvela-run) ; sinon arret::aucun (fin de tranche).
bilan_execution execute(machine& m, points_arret const* points, long long n, bool depart,
                        bool limite_est_arret);

// "pile pleine" ou "pile vide" ; "erreur de pile" quand la sorte n'est pas dite.
char const* texte_erreur_pile(erreur_pile_sorte pile);

// Texte d'etat de la barre du haut : "En marche", "Arrêt : point d'arrêt en $0007",
// "Arrêt : fin de programme (boucle en $000b)", "Arrêt : pile pleine en $0004",
// "Arrêt demandé" ; vide avant la premiere marche. Une erreur de pile dont la
// sorte n'est pas dite reste "Arrêt : erreur de pile en $0004".
std::string texte_etat(bool en_marche, arret raison, unsigned short adresse,
                       erreur_pile_sorte pile = erreur_pile_sorte::aucune);

// Vitesses du choix "Vitesse", en instructions par seconde ; vitesse_max : au plus vite.
constexpr int vitesse_max = 0;
constexpr int vitesses_marche[] = {1, 10, 100, 1000, vitesse_max};
constexpr int vitesse_par_defaut = 10;

// Le mode marche de la fenetre : en marche ou non, vitesse, points d'arret, dernier
// arret, et la cadence. Le controleur appelle avance() a l'heure de rendez_vous(),
// redessine quand on le lui dit et traite ses evenements entre deux appels.
// Jusqu'a 25 instructions par seconde, chaque instruction est montree avant la
// suivante ; au-dela, une tranche par 1/40 s, redessinee ; en max, des tranches
// d'environ 25 ms, chacune redessinee. Les vitesses reglees se calent sur l'heure
// du depart : le retard d'un rendez-vous ne s'accumule pas.
class mode_marche {
  public:
    using horloge = std::function<double()>; // secondes, jamais decroissante

    mode_marche(machine& m, horloge h);

    points_arret& points() { return points_; }
    points_arret const& points() const { return points_; }
    // Entrees armees d'un cas d'exercice prepare : une tranche ne passe jamais le
    // pas d'un evenement, pose avant l'instruction qui suit.
    evenements_armes& evenements() { return evenements_; }

    // Une valeur de vitesses_marche ; prend effet aussitot, meme en marche.
    void regle_vitesse(int instructions_par_seconde);
    int vitesse() const { return vitesse_; }

    // PLAY : en marche depuis PC ; la premiere instruction passe un point d'arret.
    void demarre();
    // STOP (ou une commande qui arrete la marche) : "Arrêt demandé".
    void arrete();
    // "Exécuter jusqu'au curseur", avant PLAY : un point d'arret de plus, ote des
    // que la marche s'arrete (pour quelque raison que ce soit) ; un point deja pose
    // la reste. Un seul a la fois : le suivant remplace celui d'avant.
    void pose_point_temporaire(unsigned short adresse);
    // RESET ou chargement, a l'arret : la machine repart de zero, l'arret d'avant
    // ne la decrit plus.
    void oublie_arret();
    bool en_marche() const { return en_marche_; }
    // A l'arret : l'arret montre redevient celui-ci (la machine d'une photo rendue).
    void retrouve_arret(arret raison, unsigned short adresse, erreur_pile_sorte pile);

    struct tranche {
        long long pas = 0;      // instructions executees par cet appel
        bool redessine = false; // vrai aussi quand la marche vient de s'arreter
    };
    // Execute ce qui est du a cette heure ; rien a l'arret.
    tranche avance();
    // Heure de l'horloge ou rappeler avance() (deja passee en max).
    double rendez_vous() const { return rendez_vous_; }

    arret raison() const { return raison_; }
    unsigned short adresse() const { return adresse_; }
    erreur_pile_sorte pile() const { return pile_; }
    std::string texte() const { return texte_etat(en_marche_, raison_, adresse_, pile_); }
    long long pas_faits() const { return pas_faits_; } // depuis demarre()

  private:
    void ancre(double maintenant);
    long long dues(double maintenant);
    void cale_tranche_max(double debut, double fin, long long faits);
    void ote_point_temporaire();

    machine& machine_;
    horloge horloge_;
    points_arret points_;
    evenements_armes evenements_;
    int vitesse_ = vitesse_par_defaut;
    bool en_marche_ = false;
    bool depart_ = false;
    arret raison_ = arret::aucun;
    unsigned short adresse_ = 0;
    erreur_pile_sorte pile_ = erreur_pile_sorte::aucune;
    long long pas_faits_ = 0;
    int point_temporaire_ = -1; // son adresse ; -1 : aucun
    double ancre_ = 0;          // heure a laquelle la cadence s'est calee
    long long faits_ancre_ = 0; // instructions executees depuis l'ancre
    long long lot_max_ = 0;     // taille d'une tranche en max, d'apres le debit mesure
    double rendez_vous_ = 0;
};

#endif
