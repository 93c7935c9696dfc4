// Textes de la liste des symboles : "compte\t$000d\t$05 5", "DEPART\t=5\t".
#include "suivi/symboles_montres.h"

#include "chaines/chaines.h"

std::vector<symbole_montre> symboles_montres(std::deque<symbole_source> const& symboles,
                                             mem_64k const& memoire,
                                             ecriture_memoire const& derniere) {
    std::vector<symbole_montre> montres;
    montres.reserve(symboles.size());
    for (symbole_source const& s : symboles) {
        if (s.sorte == symbole_source::constante) {
            montres.push_back({s.nom + "\t=" + std::to_string(s.valeur) + "\t", false, -1});
            continue;
        }
        unsigned short const adresse = static_cast<unsigned short>(s.valeur);
        std::string texte = s.nom + "\t$" + hex4toS(adresse) + "\t";
        int taille = 0;
        if (s.donnees == symbole_source::octets) {
            unsigned char const v = memoire.read_byte(adresse);
            texte += "$" + hex2toS(v) + " " + std::to_string(static_cast<signed char>(v));
            taille = 1;
        } else if (s.donnees == symbole_source::mots) {
            unsigned short const v = memoire.read_word(adresse);
            texte += "$" + hex4toS(v) + " " + std::to_string(static_cast<short>(v));
            taille = 2;
        }
        unsigned const ecart = static_cast<unsigned short>(derniere.adresse - adresse);
        bool const change = derniere.faite && ecart < static_cast<unsigned>(taille) &&
                            memoire.read_byte(derniere.adresse) != derniere.avant;
        montres.push_back({texte, change, adresse});
    }
    return montres;
}
