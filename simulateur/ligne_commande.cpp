// Ligne de commande : un fichier au plus, trois options longues, "--" pour un nom
// qui commence par "-". Messages en francais, usage sur la sortie d'erreur et
// statut 2 pour une ligne mal formee, comme les commandes de l'atelier.
#include "simulateur/ligne_commande.h"

#include <utility>

#include "classe/echelle.h"
#include "simulateur/version.h"

namespace {

constexpr char const* ligne_usage =
    "utilisation : karvela [--zoom F] [--exercice EXO.toml] [OPTION DE FLTK]...\n"
    "                      [FICHIER.bin | FICHIER.asm]";

constexpr char const* texte_aide_commande =
    "Simulateur d'une machine à pile 8 bits.\n"
    "Ouvre FICHIER au démarrage : un .bin comme « Ouvrir fichier binaire »,\n"
    "un .asm assemblé d'abord, comme « Ouvrir source... ».\n"
    "\n"
    "  --zoom F   agrandit les fenêtres F fois : de 1 à 3, par pas de 0,25\n"
    "             (Ctrl++, Ctrl+- et Ctrl+0 le changent dans la fenêtre)\n"
    "  --exercice EXO.toml\n"
    "             ouvre aussi cet exercice, que « Vérifier » (F6) corrige\n"
    "  --help     affiche cette aide et quitte\n"
    "  --version  affiche la version et quitte\n"
    "  --         ce qui suit est un nom de fichier, même commençant par -\n"
    "\n"
    "Options de FLTK : -display HÔTE:N, -geometry LxH+X+Y, -iconic, -name NOM,\n"
    "-scheme NOM, -title TITRE, -bg COULEUR, -bg2 COULEUR, -fg COULEUR,\n"
    "-kbd, -nokbd, -dnd, -nodnd, -tooltips, -notooltips.\n"
    "Dans la fenêtre, F1 ouvre l'aide complète.\n";

demande_lancement refus(std::string probleme) {
    demande_lancement d;
    d.action = lancement::mauvais_usage;
    d.probleme = std::move(probleme);
    return d;
}

} // namespace

demande_lancement analyse_arguments(std::vector<std::string> const& mots) {
    demande_lancement d;
    bool options_finies = false;
    for (std::size_t i = 0; i < mots.size(); ++i) {
        std::string const& mot = mots[i];
        std::string::size_type const egal = mot.find('=');
        std::string const nom = mot.substr(0, egal);
        if (!options_finies && (nom == "--zoom" || nom == "--exercice")) {
            // "--nom V" ou "--nom=V".
            bool const zoom = nom == "--zoom";
            if (egal == std::string::npos && i + 1 == mots.size()) {
                return refus(zoom ? "--zoom attend un facteur, de 1 à 3 par pas de 0,25"
                                  : "« --exercice » attend un fichier");
            }
            std::string const valeur = egal == std::string::npos ? mots[++i] : mot.substr(egal + 1);
            if (zoom && !lit_zoom(valeur, d.zoom)) {
                return refus("facteur de zoom « " + valeur + " » : de 1 à 3, par pas de 0,25");
            }
            if (!zoom && valeur.empty()) {
                return refus("« --exercice » attend un fichier, pas un mot vide");
            }
            if (!zoom) {
                d.exercice = valeur;
            }
        } else if (!options_finies && mot == "--") {
            options_finies = true;
        } else if (!options_finies && mot == "--version") {
            return {lancement::version, "", ""};
        } else if (!options_finies && mot == "--help") {
            return {lancement::aide, "", ""};
        } else if (!options_finies && !mot.empty() && mot[0] == '-') {
            return refus("option inconnue « " + mot + " »");
        } else if (mot.empty()) {
            return refus("nom de fichier vide");
        } else if (!d.fichier.empty()) {
            return refus("un seul fichier à la fois (« " + d.fichier + " », puis « " + mot + " »)");
        } else {
            d.fichier = mot;
        }
    }
    return d;
}

int repond_sans_fenetre(demande_lancement const& demande, std::ostream& sortie,
                        std::ostream& erreurs) {
    switch (demande.action) {
    case lancement::version:
        sortie << "karvela " KARVELA_VERSION "\n";
        return 0;
    case lancement::aide:
        sortie << ligne_usage << "\n" << texte_aide_commande;
        return 0;
    case lancement::fenetre:
        return 0;
    case lancement::mauvais_usage:
        break;
    }
    erreurs << ligne_usage << "\n"
            << "karvela : " << demande.probleme << " (karvela --help en dit plus)\n";
    return 2;
}
