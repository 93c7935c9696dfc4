// Fins de ligne et marque d'ordre des octets d'un fichier source ; modele d'une
// nouvelle source.
#include "edition/texte_source.h"

namespace {

constexpr char const bom_utf8[] = "\xEF\xBB\xBF";
constexpr std::size_t taille_bom = 3;

} // namespace

texte_source lit_texte_source(std::string const& octets) {
    texte_source t;
    std::size_t debut = 0;
    if (octets.compare(0, taille_bom, bom_utf8) == 0) {
        t.forme.bom = true;
        debut = taille_bom;
    }
    std::size_t const premiere = octets.find_first_of("\r\n", debut);
    if (premiere != std::string::npos && octets[premiere] == '\r') {
        t.forme.fin_ligne =
            premiere + 1 < octets.size() && octets[premiere + 1] == '\n' ? "\r\n" : "\r";
    }
    t.texte.reserve(octets.size() - debut);
    for (std::size_t i = debut; i < octets.size(); ++i) {
        if (octets[i] != '\r') {
            t.texte += octets[i];
        } else if (i + 1 >= octets.size() || octets[i + 1] != '\n') {
            t.texte += '\n'; // fin de ligne "\r" seule
        }
    }
    return t;
}

std::string octets_source(std::string const& texte, forme_fichier const& forme) {
    std::string octets = forme.bom ? bom_utf8 : "";
    octets.reserve(texte.size() + taille_bom);
    for (char c : texte) {
        if (c == '\n') {
            octets += forme.fin_ligne;
        } else {
            octets += c;
        }
    }
    return octets;
}

std::string const& modele_source() {
    static std::string const modele =
        "; Nouveau programme. Ctrl+R l'enregistre, l'assemble et le charge ;\n"
        "; F7 l'exécute pas à pas. Une ligne : [étiquette:] MNÉMONIQUE opérande\n"
        "; et un commentaire après « ; ».\n"
        "DEPART = 5              ; une constante\n"
        "        PUSHI DEPART    ; le compteur sur la pile\n"
        "boucle: DUP\n"
        "        POP   compte    ; une copie en mémoire (voir « Symboles »)\n"
        "        PUSHI 1\n"
        "        SUB             ; compteur - 1\n"
        "        BNEZ  boucle    ; encore tant qu'il n'est pas nul\n"
        "fin:    BT    fin       ; fin du programme : boucle sur place\n"
        "compte: .octet 0        ; une donnée\n";
    return modele;
}
