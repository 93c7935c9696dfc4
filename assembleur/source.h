// Lecture d'un fichier source en memoire, pour la fenetre ("Ouvrir source...") et
// les commandes. Un fichier illisible donne un message francais, jamais d'arret ;
// un fichier demesure (ou sans fin, comme /dev/zero) est refuse sans tout lire.
#ifndef KARVELA_ASSEMBLEUR_SOURCE_H
#define KARVELA_ASSEMBLEUR_SOURCE_H

#include <string>

struct source_lue {
    bool lue;           // faux : texte vide, erreur dit pourquoi
    std::string texte;  // octets du fichier, tels quels
    std::string erreur; // "impossible de lire « x.asm » : fichier introuvable"
};

constexpr std::size_t taille_source_max = 16u << 20; // 16 Mio, bien plus que 64 Kio de code

source_lue lit_source(std::string const& chemin);

#endif
