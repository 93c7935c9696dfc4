// Ce que l'on tape dans "Aller à", sans dessin : une adresse sous les formes de
// l'assembleur (4096, $1000, 0x1000, %1..., 'A'), ou une etiquette de la source
// chargee. Un refus dit pourquoi, en francais, pour la fenetre de saisie.
#ifndef KARVELA_DESTINATION_H
#define KARVELA_DESTINATION_H

#include <functional>
#include <string>

struct destination {
    bool trouvee = false;
    unsigned short adresse = 0;
    std::string refus; // vide si trouvee
};

// cherche donne l'adresse d'une etiquette de la source chargee, faux si elle n'y
// est pas ; source_chargee est faux quand aucune source n'a ete assemblee.
destination lit_destination(std::string const& texte,
                            std::function<bool(std::string const&, long&)> const& cherche,
                            bool source_chargee);

#endif
