// Assembleur de la machine a pile : un texte source devient une image memoire et
// une liste de diagnostics. Lecture des instructions, premier passage qui fixe
// adresses et symboles, second qui encode ; les diagnostics sont collectes, jamais
// lances, et tous rendus ensemble. Mnemoniques et tailles viennent des tables du
// processeur. La bibliotheque ne touche aucun fichier ; les commandes le font.
#ifndef KARVELA_ASSEMBLEUR_H
#define KARVELA_ASSEMBLEUR_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// Au-dela, les diagnostics s'arretent sur une derniere erreur "trop d'erreurs".
constexpr std::size_t erreurs_max = 500;

struct diagnostic {
    bool erreur;         // faux : avertissement ("attention:")
    int ligne;           // comptee de 1
    int colonne;         // comptee de 1
    std::string message; // francais, sans le prefixe fichier:ligne:colonne
};

// Ce qu'une ligne du source a stocke, pour le listing et la correspondance
// entre adresses et lignes.
struct ligne_assemblee {
    int ligne;
    unsigned short adresse;
    std::vector<unsigned char> octets;
    bool instruction; // faux : donnees (.octet, .mot)
    // Verification de la pile : bit d a 1 si la pile peut avoir d entrees (0 a 16)
    // avant l'instruction ; 0 si aucun chemin depuis $0000 n'y mene (et pour les
    // donnees) ; profondeur_inconnue apres une ecriture dans le code.
    std::uint32_t profondeurs = 0;
};
constexpr std::uint32_t profondeur_inconnue = std::uint32_t{1} << 31;

// "2", "1-3", "0,2", "-" (jamais atteinte), "?" (inconnue) : la colonne du listing,
// la marge de la fenetre du source.
std::string texte_profondeurs(std::uint32_t profondeurs);

// Une boucle dont chaque tour change la profondeur de la pile, d'apres la
// verification : de quoi l'avertissement et les explications la disent.
struct boucle_pile {
    unsigned short entete;      // adresse ou le tour commence
    std::string nom;            // etiquette en entete, vide s'il n'y en a pas
    int ligne_debut, ligne_fin; // lignes extremes de ses instructions
    int ligne_retour;           // instruction qui ramene a l'entete
    int par_tour;               // entrees laissees en plus a chaque tour (negatif : en moins)
    bool chaque_tour;           // par tous les chemins du tour ; sinon par certains seulement
    std::vector<int> empilent;  // lignes de ses instructions qui ajoutent des entrees
    std::vector<int> depilent;  // et qui en otent
    int ligne_cmp = 0;          // un CMP de la boucle, qui ne depile rien ; 0 s'il n'y en a pas
};

// Un nom que le source definit. Les noms predefinis des ports n'en sont pas.
struct symbole_source {
    std::string nom;
    long long valeur; // adresse de l'etiquette, valeur de la constante
    enum sorte_symbole : unsigned char { etiquette, constante } sorte;
    // Ce que stocke l'enonce que l'etiquette designe : celui de sa ligne, ou, pour
    // une etiquette seule, le suivant s'il commence a son adresse.
    enum donnees_symbole : unsigned char { aucune, octets, mots } donnees;
    int ligne;   // de sa definition
    int colonne; // du nom
};

// Index des noms du source pour programme_assemble::symbole : construit au premier
// appel, une seule fois meme si plusieurs fils cherchent a la fois (le correcteur),
// jamais si personne ne cherche (karvela-asm et son listing n'en paient pas la place).
struct index_symboles {
    std::once_flag construit;
    std::vector<std::uint32_t> alveoles; // rang + 1 dans symboles, 0 : libre
};

// image, lignes et debuts ne sont remplis que si le source n'a aucune erreur ;
// symboles l'est toujours (valeurs sans garantie si le source est fautif).
struct programme_assemble {
    std::vector<diagnostic> diagnostics; // dans l'ordre des lignes et des colonnes
    unsigned short base = 0;             // plus basse adresse stockee
    std::vector<unsigned char> image;    // de base a la plus haute adresse stockee, trous a 0
    std::vector<ligne_assemblee> lignes; // lignes qui stockent, par numero croissant
    // Dans l'ordre de leurs definitions ; par blocs, pour qu'un source de millions de
    // noms ne soit jamais recopie en entier.
    std::deque<symbole_source> symboles;
    // Partage entre les copies, qui ont les memes symboles.
    std::shared_ptr<index_symboles> index = std::make_shared<index_symboles>();
    // Pour chaque octet de l'image : la ligne de l'enonce qui y commence, 0 ailleurs.
    std::vector<int> debuts;
    // Boucles dont les tours changent la profondeur, dans l'ordre de leurs lignes.
    std::vector<boucle_pile> boucles;

    bool reussi() const; // aucune erreur ; les avertissements n'empechent rien
    // Ligne de l'enonce qui commence a l'adresse ; 0 s'il n'y en a pas (milieu
    // d'une instruction, trou, hors de l'image).
    int ligne_en(unsigned short adresse) const;
    // Adresse de l'enonce de la ligne, ou, si elle ne stocke rien (etiquette seule,
    // commentaire, ligne vide, constante, .org), du premier qui stocke plus bas
    // dans le source ; -1 s'il n'y en a pas.
    int adresse_de_ligne(int ligne) const;
    // Le premier enonce qui stocke a la ligne ou plus bas dans le source ;
    // lignes.end() s'il n'y en a pas.
    std::vector<ligne_assemblee>::const_iterator stocke_depuis(int ligne) const;
    // L'enonce qui stocke l'octet a l'adresse (son debut ou sa suite) ; nullptr
    // s'il n'y en a pas.
    ligne_assemblee const* ligne_couvrant(unsigned short adresse) const;
    // Le symbole du source de ce nom, nullptr s'il n'y en a pas : une recherche dans
    // l'index (hachage), quel que soit le nombre de noms.
    symbole_source const* symbole(std::string const& nom) const;
    // Pour un « voulez-vous dire » sur un nom absent (karvela-note, --pose) : le nom
    // du source le plus proche de nom, casse ignoree, a au plus fautes_max
    // insertions, suppressions ou remplacements, le premier defini a distance egale,
    // jamais nom lui-meme ; vide s'il n'y en a pas. Un passage sans allocation par
    // nom, qui ecarte d'abord ceux dont la longueur differe de plus de fautes_max.
    std::string symbole_proche(std::string const& nom, std::size_t fautes_max) const;
};

// Un octet nul arrete la lecture ; une marque d'ordre UTF-8 en tete est sautee
// (les colonnes de la ligne 1 comptent apres elle) ; une ligne finit par LF, CRLF
// ou CR seul.
programme_assemble assemble(std::string const& source);

// Ce qu'est chaque morceau d'une ligne, pour la colorer dans un editeur : le meme
// decoupage et la meme grammaire que l'assemblage. Ce qui n'est dans aucune zone
// (blancs, ponctuation, noms en operande, mnemonique inconnu) est du texte ordinaire.
struct zone_ligne {
    enum sorte_zone : unsigned char {
        mnemonique, // connu du processeur
        directive,  // .org, .octet...
        etiquette,  // definie sur la ligne : "boucle:" ou "DEPART ="
        nombre,
        chaine,      // guillemets compris
        commentaire, // de ';' a la fin
        faute,       // de la faute de lexique a la fin
    } sorte;
    int colonne;     // comptee de 1, en octets
    int colonne_fin; // celle qui suit la zone
};
std::vector<zone_ligne> zones_ligne(std::string_view ligne);

// "fichier:ligne:colonne: erreur: message" (ou "attention:").
std::string texte_diagnostic(std::string const& fichier, diagnostic const& d);

// Fichier .bin que lit load_binaire : taille (en-tete compris) et base gros-boutistes,
// puis l'image.
std::vector<unsigned char> fichier_bin(programme_assemble const& p);
// Enregistrements S1 de 16 octets au plus, en majuscules, puis S9 ; pas de S0.
std::string fichier_s19(programme_assemble const& p);
// Listing a la maniere de examples/*.txt : adresse, octets, ligne source ; apres
// chaque branchement, sa cible et l'etiquette qui y est ("; -> $0014 fini").
std::string fichier_listing(programme_assemble const& p, std::string const& source);

// Un nombre sous les formes du source : 12, -3, $1f, 0x1f, %0101, 'A'. Faux si le
// texte n'en est pas un (karvela-run lit ainsi ses options).
bool lit_nombre(std::string const& texte, long& valeur);

#endif
