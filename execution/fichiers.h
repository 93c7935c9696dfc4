// Lecture des fichiers donnes a la machine : sources et images .bin, pour la
// fenetre comme pour les commandes. Seul un fichier ordinaire est ouvert ; un
// tube, un peripherique, une socket ou un dossier est refuse sans etre ouvert, en
// disant ce qu'il est : l'ouvrir pourrait bloquer (tube sans ecrivain) ou agir
// (peripherique). Aucun message n'est ecrit ici : l'appelant dit les raisons, qui
// ne sont redigees qu'ici.
#ifndef KARVELA_EXECUTION_FICHIERS_H
#define KARVELA_EXECUTION_FICHIERS_H

#include <cstddef>
#include <string>
#include <vector>

struct fichier_lu {
    bool lu = false;
    std::string octets; // au plus le maximum demande
    bool plus = false;  // le fichier a d'autres octets au-dela du maximum
    std::string raison; // pas lu : "fichier introuvable", "c'est un tube (FIFO)"...
};

fichier_lu lit_fichier(std::string const& chemin, std::size_t maximum);

// La raison d'un echec d'apres errno, en francais : le seul traducteur de l'arbre,
// plutot que strerror, qui suit la langue du systeme. Un nom absent dit
// "fichier introuvable" a la lecture, "dossier introuvable" a l'ecriture (le
// fichier y serait cree : c'est son dossier qui manque).
enum class sens_acces { lecture, ecriture };
std::string raison_errno(int e, sens_acces sens);

// Ce qu'est un fichier qui n'est pas un fichier ordinaire, d'apres son st_mode :
// "c'est un dossier"... ; vide pour un fichier ordinaire.
std::string nature_speciale(unsigned mode);

// Une image .bin lue et verifiee, sans toucher a la memoire : le chargeur de la
// fenetre en tire ses lignes, karvela-run ses messages.
struct binaire_lu {
    enum class etat { lu, illisible, sans_entete, taille_invalide, tronque, deborde };
    etat e = etat::illisible;
    std::string raison;      // pourquoi il est refuse, en francais
    short taille = 0;        // de l'en-tete, signee, des qu'il est lu
    unsigned short base = 0; // de l'en-tete
    std::size_t octets = 0;  // lus du fichier, en-tete compris (au plus 32767)
    bool plus_long = false;  // lu : le fichier a plus d'octets que sa taille, ignores
    std::vector<unsigned char> image;
};

binaire_lu lit_binaire(std::string const& chemin);

#endif
