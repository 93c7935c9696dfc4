// La page du bilan d'une classe : un seul fichier HTML, sans script ni reseau,
// dessins en SVG dans la page. Repartition des points, reussite de chaque cas,
// echecs les plus frequents, copies semblables, et un tableau des etudiants avec
// leur note et leur retour. Tout texte venu des fichiers est echappe.
#ifndef KARVELA_PROMOTION_PAGE_H
#define KARVELA_PROMOTION_PAGE_H

#include <string>

#include "promotion/classe.h"

std::string page_bilan(exercice const& e, classe_corrigee const& c, long long sur);

// Le texte sur dans une page HTML (& < > " ').
std::string html(std::string const& t);

#endif
