// Une classe telle que la plateforme la telecharge (« Télécharger tous les
// travaux remis ») : un dossier, ou le .zip lui-meme, d'un dossier par etudiant
// nomme « Nom Prénom_123456_assignsubmission_file_ ». Un autre dossier est un
// etudiant nomme par lui, un fichier seul en est un aussi ; un fichier nomme a la
// maniere de la plateforme (« Nom Prénom_123456_assignsubmission_file_max.asm »)
// rejoint son etudiant. Les fichiers d'un etudiant sont cherches a toute
// profondeur, et dans un .zip qu'il a rendu (un niveau, borne).
#ifndef KARVELA_PROMOTION_EXPORT_H
#define KARVELA_PROMOTION_EXPORT_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "execution/fichiers.h"

// Au plus tant de fichiers corriges par etudiant : le meilleur compte.
constexpr std::size_t fichiers_corriges_max = 6;

struct fichier_rendu {
    std::string chemin; // depuis le dossier de l'etudiant : "max.asm", "td/max.s", "td.zip/max.asm"
    enum class sorte : unsigned char {
        source,  // .asm
        texte,   // un autre texte, lu comme un source (avec une note)
        binaire, // .bin
    } sorte;
    std::string disque; // son chemin s'il est sur le disque, vide dans une archive
    std::function<fichier_lu(std::size_t maximum)> lit;
};

struct etudiant {
    std::string nom;                     // "Martin Alice", ou le nom du dossier ou du fichier
    std::string identifiant;             // de la plateforme ; vide hors de son export
    std::string dossier;                 // ou vont ses retours : le dossier de l'export
    std::vector<fichier_rendu> fichiers; // a corriger : .asm, puis autres textes, puis .bin
    std::vector<std::string> autres;     // rendus mais pas corriges (pdf, images...)
    std::vector<std::string> notes;      // ce qui a ete ecarte, et pourquoi
};

struct classe_lue {
    std::vector<etudiant> etudiants; // par nom
    std::string erreur;              // l'export ne se lit pas : la phrase entiere
    std::vector<std::string> notes;  // chemins refuses de l'archive...
};

// Un dossier ou un .zip : une classe, pas un programme.
bool est_classe(std::string const& chemin);
classe_lue lit_classe(std::string const& chemin);

// "Martin Alice_123456_assignsubmission_file_..." : vrai, avec le nom,
// l'identifiant et ce qui suit « assignsubmission_ » ("file_", "file_max.asm").
bool nom_de_plateforme(std::string const& nom, std::string& etudiant, std::string& identifiant,
                       std::string& reste);

// Vrai si ces premiers octets d'un fichier sont du texte (ni octet nul, ni
// controles hors des blancs) : un source, quel que soit son nom.
bool ressemble_a_du_texte(std::string const& debut);

#endif
