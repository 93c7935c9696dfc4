// Assembleur de la machine a pile : un texte source devient une image memoire et
// une liste de diagnostics. Lecture des instructions, premier passage qui fixe
// adresses et symboles, second qui encode ; les diagnostics sont collectes, jamais
// lances, et tous rendus ensemble. Mnemoniques et tailles viennent des tables du
// processeur. La bibliotheque ne touche aucun fichier ; les commandes le font.
#ifndef KARVELA_ASSEMBLEUR_H
#define KARVELA_ASSEMBLEUR_H

#include <string>
#include <vector>

struct diagnostic {
    bool erreur;         // faux : avertissement ("attention:")
    int ligne;           // comptee de 1
    int colonne;         // comptee de 1
    std::string message; // francais, sans le prefixe fichier:ligne:colonne
};

// Ce qu'une ligne du source a stocke, pour le listing.
struct ligne_assemblee {
    int ligne;
    unsigned short adresse;
    std::vector<unsigned char> octets;
    bool instruction; // faux : donnees (.octet, .mot)
};

// image et lignes ne sont remplies que si le source n'a aucune erreur.
struct programme_assemble {
    std::vector<diagnostic> diagnostics; // dans l'ordre des lignes et des colonnes
    unsigned short base = 0;             // plus basse adresse stockee
    std::vector<unsigned char> image;    // de base a la plus haute adresse stockee, trous a 0
    std::vector<ligne_assemblee> lignes;
    bool reussi() const; // aucune erreur ; les avertissements n'empechent rien
};

programme_assemble assemble(std::string const& source);

// "fichier:ligne:colonne: erreur: message" (ou "attention:").
std::string texte_diagnostic(std::string const& fichier, diagnostic const& d);

// Fichier .bin que lit load_binaire : taille (en-tete compris) et base gros-boutistes,
// puis l'image.
std::vector<unsigned char> fichier_bin(programme_assemble const& p);
// Enregistrements S1 de 16 octets au plus, en majuscules, puis S9 ; pas de S0.
std::string fichier_s19(programme_assemble const& p);
// Listing a la maniere de examples/*.txt : adresse, octets, ligne source.
std::string fichier_listing(programme_assemble const& p, std::string const& source);

// Un nombre sous les formes du source : 12, -3, $1f, 0x1f, %0101, 'A'. Faux si le
// texte n'en est pas un (karvela-run lit ainsi ses options).
bool lit_nombre(std::string const& texte, long& valeur);

#endif
