// La liste des symboles de la fenetre du source, sans dessin : chaque etiquette et
// constante du programme charge avec sa valeur ; une etiquette de donnees (.octet,
// .mot) montre aussi son contenu en memoire, en hexadecimal et en decimal signe,
// marque s'il vient d'etre ecrit par la derniere instruction.
#ifndef KARVELA_SUIVI_SYMBOLES_MONTRES_H
#define KARVELA_SUIVI_SYMBOLES_MONTRES_H

#include <deque>
#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "simulateur/mem_64k.h"

// L'octet qu'a ecrit la derniere instruction (un POP), et sa valeur d'avant.
struct ecriture_memoire {
    bool faite = false;
    unsigned short adresse = 0;
    unsigned char avant = 0;
};

struct symbole_montre {
    std::string texte; // colonnes separees par une tabulation : nom, valeur, contenu
    bool change;       // contenu change par la derniere instruction
    int adresse;       // ou un clic mene le dump ; -1 pour une constante
};

std::vector<symbole_montre> symboles_montres(std::deque<symbole_source> const& symboles,
                                             mem_64k const& memoire,
                                             ecriture_memoire const& derniere);

#endif
