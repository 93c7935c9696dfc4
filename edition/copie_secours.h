// Copie de secours du texte de la fenetre du source, sans dessin : tant que le
// texte a des modifications non enregistrees, une copie a jour quelques secondes
// apres la derniere frappe, dans le dossier d'etat de l'utilisateur
// ($XDG_STATE_HOME/karvela/, par defaut ~/.local/state/karvela/), jamais a cote du
// fichier de l'etudiant. Ecrite puis renommee : un arret brutal (kill -9, panne)
// laisse l'ancienne copie ou la nouvelle, entiere.
//
// Emploi, du cote de la fenetre du source :
//     secours_source secours;                 // un par fenetre
//     secours.suit(chemin);                   // a chaque texte ouvert ("" : sans titre)
//     secours.modifie(maintenant);            // a chaque modification du texte
//     // minuterie a secours.echeance() - maintenant, puis :
//     if (secours.due(maintenant)) {
//         std::string const erreur = secours.ecrit(texte);
//         if (!erreur.empty()) { /* barre d'etat : une fois, pas a chaque frappe */ }
//     }
//     secours.retire();   // enregistre, "Ne pas enregistrer", quitter, annule jusqu'a l'enregistre
// "Enregistrer sous" : retire() puis suit(nouveau chemin) ; un autre fichier ouvert
// apres "Ne pas enregistrer" : retire() puis suit().
// A l'ouverture d'un fichier : copie_de(dossier_secours(), chemin, c) et
// differe_du_fichier(c), puis texte_age(c.ecrite, maintenant) pour la question ;
// au demarrage : copies_orphelines(dossier_secours()) pour les "sans titre".
//
// Une copie par fichier, nommee d'apres son chemin absolu (deux somme.asm de
// dossiers differents ne se melent pas) ; une par processus pour un "sans titre"
// (plusieurs karvela peuvent tourner). L'en-tete de la copie garde le chemin du
// fichier et le processus qui l'a ecrite.
// Invariants : rien ici ne leve d'exception ni ne touche a un fichier hors du
// dossier des copies ; seul un fichier qui porte l'en-tete des copies est retire.
#ifndef KARVELA_EDITION_COPIE_SECOURS_H
#define KARVELA_EDITION_COPIE_SECOURS_H

#include <ctime>
#include <string>
#include <vector>

constexpr double delai_copie = 2.0;   // secondes sans frappe avant d'ecrire la copie
constexpr double plafond_copie = 5.0; // au plus apres la premiere frappe non copiee

// Le dossier des copies, sans le creer ; vide si ni XDG_STATE_HOME (absolu) ni HOME.
std::string dossier_secours();

struct copie_secours {
    std::string chemin;     // la copie
    std::string origine;    // fichier de l'etudiant, absolu ; vide : "sans titre"
    long processus = 0;     // celui qui l'a ecrite
    std::time_t ecrite = 0; // derniere ecriture de la copie
    std::string texte;      // tel que l'editeur le tient
};

// Chemin absolu d'un fichier, tel que la copie le garde.
std::string chemin_absolu(std::string const& fichier);
// Vrai si chemin est une copie lisible (son en-tete), rendue dans c.
bool lit_copie(std::string const& chemin, copie_secours& c);
// Les copies du dossier, triees par nom ; le reste du dossier est ignore.
std::vector<copie_secours> liste_copies(std::string const& dossier);
// La copie de ce fichier, s'il y en a une.
bool copie_de(std::string const& dossier, std::string const& fichier, copie_secours& c);
// Les "sans titre" d'un programme qui ne tourne plus (ou d'un processus de meme
// numero que moi, mais pas la mienne).
std::vector<copie_secours> copies_orphelines(std::string const& dossier,
                                             std::string const& la_mienne = "");
// Vrai si le texte de la copie n'est pas celui du fichier (ou s'il a disparu).
bool differe_du_fichier(copie_secours const& c);
// "il y a moins d'une minute", "il y a 3 min", "il y a 2 h", "il y a 4 jours".
std::string texte_age(std::time_t ecrite, std::time_t maintenant);
// Retire la copie ; vide si c'est fait (ou s'il n'y avait rien), sinon pourquoi.
// Refuse tout fichier qui n'est pas une copie du dossier.
std::string retire_copie(std::string const& dossier, std::string const& chemin);

// Quand ecrire, sans horloge : les instants viennent de l'appelant (secondes).
class attente_copie {
  public:
    void frappe(double maintenant);
    void copie_faite();
    bool due(double maintenant) const;
    // Le prochain instant ou due() peut devenir vrai ; tres loin si rien n'attend.
    double echeance() const;
    bool en_attente() const { return en_attente_; }

  private:
    bool en_attente_ = false;
    double premiere_ = 0; // premiere frappe non copiee
    double derniere_ = 0;
};

// La copie d'une fenetre du source.
class secours_source {
  public:
    // Par defaut, le dossier de l'utilisateur et ce processus.
    secours_source();
    secours_source(std::string dossier, long processus);

    // Le texte de la fenetre est celui de ce fichier ("" : sans titre). L'ancienne
    // copie n'est pas retiree : l'appelant a d'abord enregistre ou abandonne.
    void suit(std::string const& fichier);
    void modifie(double maintenant) { attente_.frappe(maintenant); }
    bool due(double maintenant) const { return attente_.due(maintenant); }
    double echeance() const { return attente_.echeance(); }
    // Ecrit la copie. Le message d'un echec n'est rendu qu'une fois, jusqu'a la
    // prochaine copie reussie ; vide sinon.
    std::string ecrit(std::string const& texte);
    // Plus rien a garder : la copie est retiree et rien n'attend.
    void retire();
    std::string const& chemin() const { return chemin_; }

  private:
    std::string dossier_;
    long processus_;
    std::string jeton_; // distingue deux "sans titre" de meme numero de processus
    std::string origine_;
    std::string chemin_;
    attente_copie attente_;
    bool echec_dit_ = false;
};

#endif
