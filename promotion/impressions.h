// Ce que karvela-note imprime d'une classe : le texte pour l'enseignant, le CSV
// a « ; » (note a virgule), le JSON, et le retour de chaque etudiant, dans les
// dossiers que la plateforme reprend (« Téléverser plusieurs fichiers de feedback
// dans un zip ») : celui de son travail, « Nom Prénom_123456_assignsubmission_file_ »,
// qui contient retour.txt. sur : la note est aussi donnee sur sur (0 : non).
#ifndef KARVELA_PROMOTION_IMPRESSIONS_H
#define KARVELA_PROMOTION_IMPRESSIONS_H

#include <string>
#include <utility>
#include <vector>

#include "promotion/classe.h"

constexpr char const* nom_retour = "retour.txt";

std::string texte_classe(exercice const& e, classe_corrigee const& c, long long sur);
std::string csv_classe(exercice const& e, classe_corrigee const& c, long long sur);
std::string json_classe(exercice const& e, classe_corrigee const& c, long long sur);

// Le retour d'un etudiant : sa note, ses avertissements, et pour chaque cas echoue
// ce qu'il posait, l'attendu contre l'obtenu, l'arret et sa ligne ; d'un cas
// cache, le nom et le verdict.
std::string retour_etudiant(exercice const& e, resultat_etudiant const& r, long long sur);
// Le commentaire court d'une ligne de la feuille de notes.
std::string commentaire_court(exercice const& e, resultat_etudiant const& r);
// (chemin dans le dossier des retours, contenu) pour chaque etudiant.
std::vector<std::pair<std::string, std::string>>
fichiers_retours(exercice const& e, classe_corrigee const& c, long long sur);

// Les lignes d'un groupe de copies semblables, sans marge : l'en-tete, puis une
// ligne par membre et ses lignes communes.
std::vector<std::string> lignes_groupe(classe_corrigee const& c, groupe_semblable const& g);

#endif
