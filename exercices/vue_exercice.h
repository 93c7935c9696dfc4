// Ce que la fenetre d'un exercice montre de lui, en textes : la ligne de chaque
// cas, le detail et la mise en place du cas choisi, le cas prepare. Tout y est
// borne : le serveur X refuse de dessiner d'un trait plus de quelque 530 000
// caracteres (la fenetre s'arrete alors), et le lecteur n'est pas seul a fournir
// ces textes (messages du correcteur, diagnostics qui citent le fichier). Un cas
// cache n'y montre que son nom et son verdict, jamais ce qu'il pose.
#ifndef KARVELA_EXERCICES_VUE_EXERCICE_H
#define KARVELA_EXERCICES_VUE_EXERCICE_H

#include <string>
#include <vector>

#include "exercices/correction.h"
#include "exercices/exercice.h"

// En caracteres, "…" compris.
constexpr std::size_t ligne_montree_max = 300;   // une ligne : liste, titre, total, cas prepare
constexpr std::size_t pose_montree_max = 2000;   // une ligne de mise en place (elle defile)
constexpr std::size_t detail_montre_max = 1000;  // le detail du cas choisi, sur plusieurs lignes
constexpr std::size_t lignes_montrees_max = 500; // lignes d'une liste (diagnostics d'un refus)

// Au plus max caracteres d'UTF-8, jamais coupe dans un caractere ; coupe, le
// dernier est "…".
std::string borne(std::string const& t, std::size_t max);
// Au plus max lignes, chacune bornee a ligne_montree_max ; la derniere dit
// combien ne sont pas montrees.
std::vector<std::string> borne_lignes(std::vector<std::string> const& l, std::size_t max);

// Sans couleur ni marge : "   nom (E=$FF)" avant la correction (r nul), "✔ nom",
// "✘ nom : message" ; un cas cache, comme ligne_du_cas pour l'etudiant.
std::string ligne_cas_montree(cas_exercice const& c, resultat_cas const* r);
// "nom : réussi, 2 points", "nom : message", ou le nom seul avant la correction ;
// un cas cache, son nom et son verdict.
std::string detail_cas_montre(cas_exercice const& c, resultat_cas const* r);
// Les lignes de mise_en_place, ou la phrase qui dit qu'il ne pose rien ; un cas
// cache, la phrase qui dit qu'il ne se montre pas.
std::vector<std::string> pose_montree(cas_exercice const& c);
// "Cas préparé : nom ; événements aux pas 200 320".
std::string cas_prepare_montre(cas_exercice const& c);

#endif
