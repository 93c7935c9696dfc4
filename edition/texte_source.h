// Le texte d'un fichier source tel que l'editeur le tient : fins de ligne "\n" et
// sans marque d'ordre des octets ; l'enregistrement remet celles du fichier, pour
// qu'un fichier ouvert puis enregistre sans modification reste octet pour octet
// le meme. Et le modele d'une nouvelle source.
#ifndef KARVELA_EDITION_TEXTE_SOURCE_H
#define KARVELA_EDITION_TEXTE_SOURCE_H

#include <string>

struct forme_fichier {
    bool bom = false;             // commence par la marque UTF-8 EF BB BF
    std::string fin_ligne = "\n"; // "\n", "\r\n" ou "\r" : la premiere du fichier
};

struct texte_source {
    std::string texte; // "\n" seulement, sans marque
    forme_fichier forme;
};

texte_source lit_texte_source(std::string const& octets);
// Les octets a ecrire pour ce texte d'editeur, dans la forme du fichier.
std::string octets_source(std::string const& texte, forme_fichier const& forme);

// Une nouvelle source : quelques lignes commentees qui s'assemblent et tournent.
std::string const& modele_source();

#endif
