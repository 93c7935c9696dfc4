// Lecture du source en enonces : etiquette, mnemonique ou directive, operandes,
// chacun avec sa ligne et sa colonne. Une ligne fautive donne un diagnostic ; son
// etiquette reste definie et une instruction connue garde sa taille, pour que les
// adresses de la suite restent justes et que les fautes ne s'enchainent pas.
#ifndef KARVELA_ASSEMBLEUR_LECTURE_H
#define KARVELA_ASSEMBLEUR_LECTURE_H

#include <string>
#include <vector>

#include "assembleur/expression.h"

// Operande de .octet : une expression ou une chaine.
struct element {
    bool est_chaine;
    std::string chaine;
    expression valeur;
};

struct enonce {
    enum sorte_enonce {
        etiquette_seule, // ou ligne dont l'instruction est fautive
        instruction,
        constante, // NOM = expression
        org,
        octets, // .octet, .byte
        mots,   // .mot, .word
    } sorte = etiquette_seule;
    int ligne = 0;
    std::string etiquette; // vide s'il n'y en a pas
    int colonne_etiquette = 0;
    std::string nom; // constante definie
    int colonne_nom = 0;
    std::string mot; // mnemonique ou directive tel qu'ecrit
    int colonne_mot = 0;
    int opcode = 0;
    bool operande_lu = true;       // faux : instruction a taille connue mais operande fautif
    std::vector<element> elements; // operande, valeur de .org ou de la constante, donnees
};

// Les enonces du source, un par ligne qui n'est ni vide ni commentaire seul.
// Un octet nul arrete la lecture : ce n'est pas un texte.
std::vector<enonce> lit_enonces(std::string const& source, std::vector<diagnostic>& diagnostics);

// Vrai pour les sept branchements, dont l'operande est une adresse cible.
bool est_branchement(int opcode);

// Nombre d'octets que stocke l'enonce.
long long taille_enonce(enonce const& e);

#endif
