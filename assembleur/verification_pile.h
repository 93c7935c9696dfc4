// Verification de la pile, comme le verificateur d'une machine virtuelle : les
// effets des instructions sur la pile sont fixes et les branchements ont des cibles
// constantes, si bien qu'on sait avant toute execution quelles profondeurs la pile
// peut avoir avant chaque instruction. On suit tous les chemins depuis $0000, ou
// toute execution commence : la suite, les deux voies d'un branchement
// conditionnel, BT. C ne change jamais (aucune instruction ne le touche, il part
// de 0) : BC ne saute jamais, BNC toujours. Une instruction en echec fait ce que
// fait le processeur : la pile reste telle quelle et la suivante tourne.
// Avertissements (jamais d'erreur) : erreur de pile possible, boucle dont les tours
// changent la profondeur, execution qui sort du code, branchement vers autre chose
// qu'une instruction, ecriture dans le code (la verification s'arrete alors sur ce
// chemin). Seuls les chemins sans erreur de pile anterieure sont signales : une
// erreur en entraine d'autres, la premiere suffit. Un commentaire qui contient
// « @pile-ok » fait taire ceux de sa ligne.
#ifndef KARVELA_ASSEMBLEUR_VERIFICATION_PILE_H
#define KARVELA_ASSEMBLEUR_VERIFICATION_PILE_H

#include <functional>
#include <vector>

#include "assembleur/diagnostics.h"

// Au-dela, la verification dit qu'elle se tait.
constexpr std::size_t avertissements_pile_max = 100;

// Remplit les profondeurs de p.lignes et p.boucles, et ajoute les avertissements.
// p a reussi et stocke en $0000 ; colonnes : celle du mnemonique de chaque ligne
// de p.lignes ; muette(l) : vrai si la ligne l fait taire ses avertissements.
void verifie_pile(programme_assemble& p, std::vector<int> const& colonnes,
                  std::function<bool(int)> const& muette, liste_diagnostics& diagnostics);

#endif
