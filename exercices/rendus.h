// Ce que karvela-note rend d'une correction : le texte pour l'enseignant et
// l'etudiant, le tableau CSV pour le tableur (separateur ";", comme les tableurs
// francais l'ouvrent), l'objet JSON pour les scripts.
#ifndef KARVELA_EXERCICES_RENDUS_H
#define KARVELA_EXERCICES_RENDUS_H

#include <string>
#include <vector>

#include "exercices/correction.h"

// Une ligne par copie, "copie.asm : 5/8", puis une ligne par cas echoue.
std::string rendu_texte(exercice const& e, std::vector<resultat_copie> const& r);
// Precede d'une marque d'ordre des octets : un tableur y reconnait l'UTF-8.
std::string rendu_csv(exercice const& e, std::vector<resultat_copie> const& r);
std::string rendu_json(exercice const& e, std::vector<resultat_copie> const& r);

// La ligne d'un cas echoue, sans marge : "✘ tous (E=$FF) : port B vaut 7, attendu 8".
std::string ligne_echec(cas_exercice const& c, resultat_cas const& r);

#endif
