// Lecture d'une destination : un nombre d'abord, puis un nom comme l'assembleur
// les decoupe (memes regles, memes formes de nombres).
#include "classe/destination.h"

#include <utility>

#include "assembleur/assembleur.h"
#include "assembleur/lexique.h"
#include "chaines/chaines.h"
#include "chaines/saisie.h"

namespace {

constexpr long adresse_max = 0xFFFF;

destination refus(std::string pourquoi) {
    destination d;
    d.refus = std::move(pourquoi);
    return d;
}

destination trouvee(long adresse) {
    destination d;
    d.trouvee = true;
    d.adresse = static_cast<unsigned short>(adresse);
    return d;
}

} // namespace

destination lit_destination(std::string const& texte,
                            std::function<bool(std::string const&, long&)> const& cherche,
                            bool source_chargee) {
    std::string const t = sans_blancs(texte);
    if (t.empty()) {
        return refus("Tapez une adresse ($1000, 4096) ou une étiquette de la source chargée.");
    }
    nombre_tape const lu = lit_nombre_tape(t);
    if (lu.est_nombre) {
        if (lu.valeur < 0 || lu.valeur > adresse_max) {
            return refus("« " + t + " » est hors de la mémoire ($0000 à $FFFF).");
        }
        return trouvee(static_cast<long>(lu.valeur));
    }
    flot_jetons flot(t);
    jeton const* premier = flot.regarde();
    bool const un_nom = premier != nullptr && premier->sorte == sorte_jeton::nom &&
                        flot.regarde(1) == nullptr && flot.faute().empty();
    if (!un_nom) {
        return refus("« " + t + " » n'est ni une adresse ni une étiquette.");
    }
    if (!source_chargee) {
        return refus("« " + t + " » : aucune source n'est chargée, ses étiquettes sont inconnues.");
    }
    long valeur = 0;
    if (!cherche(t, valeur) || valeur < 0 || valeur > adresse_max) {
        return refus("« " + t + " » n'est pas une étiquette de la source chargée.");
    }
    return trouvee(valeur);
}
