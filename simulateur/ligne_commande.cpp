// Ligne de commande : un fichier au plus, trois options longues, "--" pour un nom
// qui commence par "-". Messages en francais, usage sur la sortie d'erreur et
// statut 2 pour une ligne mal formee, comme les commandes de l'atelier.
#include "simulateur/ligne_commande.h"

#include <utility>

#include "simulateur/version.h"

namespace {

constexpr char const* ligne_usage =
    "utilisation : karvela [OPTION DE FLTK]... [--exercice EXO.toml] [FICHIER.bin | "
    "FICHIER.asm]";

constexpr char const* texte_aide_commande =
    "Simulateur d'une machine à pile 8 bits.\n"
    "Ouvre FICHIER au démarrage : un .bin comme « Ouvrir fichier binaire »,\n"
    "un .asm assemblé d'abord, comme « Ouvrir source... ».\n"
    "\n"
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
    bool exercice_attendu = false;
    for (std::string const& mot : mots) {
        if (exercice_attendu) {
            exercice_attendu = false;
            if (mot.empty()) {
                return refus("« --exercice » attend un fichier, pas un mot vide");
            }
            d.exercice = mot;
        } else if (!options_finies && (mot == "--exercice" || mot.rfind("--exercice=", 0) == 0)) {
            exercice_attendu = mot == "--exercice";
            d.exercice = exercice_attendu ? "" : mot.substr(mot.find('=') + 1);
            if (!exercice_attendu && d.exercice.empty()) {
                return refus("« --exercice » attend un fichier, pas un mot vide");
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
    if (exercice_attendu) {
        return refus("« --exercice » attend un fichier");
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
