// Lecture du source en enonces : etiquette, mnemonique ou directive, operandes,
// chacun avec sa ligne et sa colonne. Une ligne fautive donne un diagnostic ; son
// etiquette reste definie et une instruction connue garde sa taille, pour que les
// adresses de la suite restent justes et que les fautes ne s'enchainent pas.
// Un enonce ne garde que sa place dans le source : les passages relisent ses
// operandes dans la ligne, si bien qu'il tient en quelques mots quelle que soit
// la longueur de la ligne.
#ifndef KARVELA_ASSEMBLEUR_LECTURE_H
#define KARVELA_ASSEMBLEUR_LECTURE_H

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "assembleur/expression.h"
#include "assembleur/symboles.h"

// Les lignes du source, sans leur fin (LF, CRLF ou CR seul). Une marque d'ordre
// UTF-8 en tete est sautee : la ligne 1 commence apres elle.
class lignes_source {
  public:
    explicit lignes_source(std::string_view source);
    // Faux au bout du source.
    bool suivante(std::string_view& ligne);
    std::size_t debut() const { return debut_ligne; } // de la derniere ligne rendue

  private:
    std::string_view source;
    std::size_t position;
    std::size_t debut_ligne = 0;
};

// La ligne qui commence en debut dans le source, sans sa fin.
std::string_view ligne_a(std::string_view source, std::size_t debut);

struct enonce {
    enum sorte_enonce : unsigned char {
        etiquette_seule, // ou ligne dont l'instruction est fautive
        instruction,
        constante, // NOM = expression
        org,
        octets, // .octet, .byte
        mots,   // .mot, .word
    } sorte = etiquette_seule;
    unsigned char opcode = 0;
    bool operande_lu = true; // faux : instruction a taille connue mais operande fautif
    bool tient = false;      // premier passage : ce qu'il stocke tient dans la memoire
    int ligne = 0;
    std::uint32_t debut = 0;   // place de la colonne 1 de sa ligne dans le source
    int colonne_mot = 0;       // mnemonique, directive ou nom de la constante
    int symbole_constant = -1; // symbole defini par NOM = expression
    std::uint32_t taille = 0;  // octets stockes
    std::int32_t adresse = 0;  // fixee au premier passage
};

// Insertions, suppressions et remplacements qui menent de a a b (Levenshtein) :
// la mesure des « voulez-vous dire ».
std::size_t distance_edition(std::string const& a, std::string const& b);

// Les enonces du source, un par ligne qui fait autre chose que definir une
// etiquette ; les noms definis entrent dans la table, chaque etiquette attachee a
// l'enonce qui la suit. Un octet nul arrete la lecture : ce n'est pas un texte.
std::deque<enonce> lit_enonces(std::string_view source, table_symboles& symboles,
                               liste_diagnostics& diagnostics);

// L'opcode du mnemonique (casse ignoree) dans la table du processeur, -1 s'il n'y
// est pas : la seule source des opcodes que l'assembleur et les explications nomment.
int opcode_de(std::string_view mot);
// Vrai pour les sept branchements, dont l'operande est une adresse cible.
bool est_branchement(int opcode);

#endif
