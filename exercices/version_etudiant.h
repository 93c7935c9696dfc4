// La version d'un exercice a donner aux etudiants : le fichier de l'enseignant
// sans ses cas caches, le reste octet pour octet (commentaires, ordre, mise en
// page). Chaque cas cache part avec ses lignes, les commentaires colles au-dessus
// de son [[cas]] et ceux qui le suivent jusqu'a une ligne vide.
#ifndef KARVELA_EXERCICES_VERSION_ETUDIANT_H
#define KARVELA_EXERCICES_VERSION_ETUDIANT_H

#include <string>

struct version_etudiant {
    std::string texte;
    std::string erreur; // vide si texte est la version ; sinon pourquoi elle n'est pas faite
};

// Le texte doit etre un exercice valide (lit_exercice) ; il est rendu tel quel
// s'il n'a pas de cas cache.
version_etudiant version_pour_etudiant(std::string const& texte);

#endif
