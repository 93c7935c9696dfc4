// Texte de la fenetre d'aide, sans dessin : une ligne par element, avec les codes
// de mise en forme du navigateur de la boite a outils en tete de ligne ("@b" gras,
// "@f" chasse fixe, "@c" centre, "@m" moyen, "@l" grand, "@-" trait).
// Le tableau des instructions vient des tables du processeur (mnemonique, taille) ;
// ce fichier ne garde que ce qu'elles n'ont pas : effet sur la pile et drapeaux.
// Les ports viennent de leur table ; les noms des touches, de celle de ce fichier.
#ifndef KARVELA_TEXTE_AIDE_H
#define KARVELA_TEXTE_AIDE_H

#include <string>
#include <vector>

// Ce que l'aide dit d'un opcode defini, en plus de son mnemonique et de sa taille.
struct effet_instruction {
    char const* operande; // "adr", "n" ou "cible" ; vide pour une instruction d'un octet
    char const* pile;     // ( avant -- apres ), sommet a droite ; t sommet, s dessous, r dessous
    bool drapeaux_nz;     // N et Z pris d'un resultat
    char const* note;
};
// Opcode 0x00 a 0x1B.
effet_instruction const& effet_de(int opcode);

// Une ligne du tableau des touches : leurs noms tels que la boite a outils les
// ecrit ("Ctrl+Maj+O"), separes par ", " quand plusieurs font la meme chose.
struct raccourci {
    char const* touches;
    char const* commande;
};
std::vector<raccourci> const& raccourcis_clavier();

// Une ligne du tableau des ports, tiree de ports_machine : l'aide et la page de
// manuel le montrent tous deux.
struct ligne_port {
    std::string nom;     // "Port A"
    std::string adresse; // de son registre de valeur : "$1000"
    std::string bits;    // "sorties : 4 5 6 ; entrées : 0 1 2 3 7", ou qui les choisit
};
std::vector<ligne_port> tableau_ports();

// Le programme complet de l'aide, tel qu'un etudiant le tape dans un .asm.
std::string programme_exemple();

std::vector<std::string> lignes_aide();

// La table des matieres de l'aide : ses parties ("@m@b" en tete de ligne) et
// leurs sous-parties ("@b"), dans l'ordre du texte. La fenetre d'aide en fait une
// liste a cote du texte ; un clic montre la ligne de la partie en haut du texte.
struct section_aide {
    std::string titre; // sans les codes de mise en forme
    int niveau;        // 1 : partie, 2 : sous-partie
    int ligne;         // comptee de 1 comme le navigateur : lignes[ligne - 1]
};
std::vector<section_aide> sections_aide(std::vector<std::string> const& lignes);
// La section ou tombe la ligne (celle du haut du texte, en defilant) : indice dans
// sections, -1 avant la premiere.
int section_de_ligne(std::vector<section_aide> const& sections, int ligne);

#endif
