// Ce que le controleur dit des fichiers qu'il ouvre, sans dessin : la sorte de
// fichier, son nom dans la barre du haut, les lignes des diagnostics.
#ifndef KARVELA_TEXTES_FICHIERS_H
#define KARVELA_TEXTES_FICHIERS_H

#include <string>
#include <vector>

#include "assembleur/assembleur.h"

// Vrai pour un nom en .asm (casse ignoree) : une source a assembler.
bool est_source(std::string const& chemin);

// "1 erreur", "2 erreurs" : le nombre et le mot, au pluriel au-dela de 1.
std::string compte(std::size_t n, std::string const& mot);

// Texte montre tel quel dans un libelle de widget : "@" double, sans quoi il
// ouvrirait un symbole.
std::string libelle_litteral(std::string const& texte);

// Nom sans son dossier, "@" double : un libelle de widget le lirait comme un symbole.
std::string nom_affiche(std::string const& chemin);

// "prog.asm : 2 erreurs, 1 avertissement".
std::string titre_erreurs(std::string const& chemin, std::vector<diagnostic> const& liste);

// "3:5: erreur: ..." (ligne:colonne) pour un navigateur, dans l'ordre de la liste ;
// "@." en tete, pour que rien du message ne soit lu comme une mise en forme.
std::vector<std::string> lignes_erreurs(std::vector<diagnostic> const& liste);

#endif
