// Remonter le desassemblage d'une instruction : trouver, dans un flot d'octets
// ou rien ne marque les frontieres des instructions, celle qui finit juste avant
// une adresse. Sans dessin ; les tailles viennent du processeur.
#ifndef KARVELA_DESASSEMBLAGE_ARRIERE_H
#define KARVELA_DESASSEMBLAGE_ARRIERE_H

#include "simulateur/interpreteur.h"

// Adresse de l'instruction dont la suivante est adr (adresses repliees sur 16
// bits). Quand aucune ne finit en adr, celle qui couvre l'octet d'avant adr.
unsigned short instruction_precedente(mp_interpreteur const& cpu, unsigned short adr);

#endif
