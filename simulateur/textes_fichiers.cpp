// Textes des fichiers ouverts : noms, titre et lignes de la fenetre des erreurs.
#include "simulateur/textes_fichiers.h"

std::string compte(std::size_t n, std::string const& mot) {
    return std::to_string(n) + " " + mot + (n > 1 ? "s" : "");
}

bool est_source(std::string const& chemin) {
    std::string const extension = ".asm";
    if (chemin.size() <= extension.size()) {
        return false;
    }
    for (std::size_t i = 0; i < extension.size(); ++i) {
        char c = chemin[chemin.size() - extension.size() + i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != extension[i]) {
            return false;
        }
    }
    return true;
}

std::string libelle_litteral(std::string const& texte) {
    std::string affiche;
    for (char c : texte) {
        affiche += c == '@' ? "@@" : std::string(1, c);
    }
    return affiche;
}

std::string nom_affiche(std::string const& chemin) {
    std::string::size_type const barre = chemin.rfind('/');
    return libelle_litteral(barre == std::string::npos ? chemin : chemin.substr(barre + 1));
}

std::string titre_erreurs(std::string const& chemin, std::vector<diagnostic> const& liste) {
    std::size_t erreurs = 0;
    for (diagnostic const& d : liste) {
        erreurs += d.erreur ? 1 : 0;
    }
    std::string titre = nom_affiche(chemin) + " : " + compte(erreurs, "erreur");
    if (erreurs < liste.size()) {
        titre += ", " + compte(liste.size() - erreurs, "avertissement");
    }
    return titre;
}

std::vector<std::string> lignes_erreurs(std::vector<diagnostic> const& liste) {
    std::vector<std::string> lignes;
    for (diagnostic const& d : liste) {
        // Le texte des commandes, sans le nom du fichier : "3:9: erreur: ...".
        lignes.push_back("@." + texte_diagnostic("", d).substr(1));
    }
    return lignes;
}
