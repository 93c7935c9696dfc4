// Remontee du desassemblage. Une frontiere d'instruction est ambigue dans un flot
// d'octets : un octet d'operande peut aussi se lire comme un opcode. Un decodage
// en avant se recale de lui-meme en quelques instructions (au plus 3 octets
// chacune), si bien qu'en partant d'assez haut il tombe sur les frontieres que le
// programme suit vraiment. On decode donc depuis 32 octets plus haut, ou depuis 0
// quand adr en est plus pres : 0 est toujours une frontiere, le programme y
// commence. Si ce decodage enjambe adr (adr est au milieu d'une instruction pour
// lui), on essaie des departs de plus en plus proches : le premier qui tombe sur
// adr est la lecture la plus longue qui s'accorde avec la premiere ligne
// actuelle, et DESA_D la ramene ensuite a adr.
#include "simulateur/desassemblage_arriere.h"

namespace {

constexpr int recul_max = 32; // octets decodes au plus avant adr

// Decode en avant depuis depart sur `recul` octets ; rend vrai s'il tombe juste
// sur depart + recul, et dans `derniere` l'instruction qui y mene ou l'enjambe.
bool tombe_juste(mp_interpreteur const& cpu, unsigned short depart, int recul,
                 unsigned short& derniere) {
    unsigned short a = depart;
    int parcouru = 0;
    while (parcouru < recul) {
        derniere = a;
        unsigned short const suivante = cpu.adresse_suivante(a);
        parcouru += static_cast<unsigned short>(suivante - a);
        a = suivante;
    }
    return parcouru == recul;
}

} // namespace

unsigned short instruction_precedente(mp_interpreteur const& cpu, unsigned short adr) {
    // Au-dessous de 32, partir de 0 plutot que du haut de la memoire.
    int const recul_principal = adr > 0 && adr < recul_max ? adr : recul_max;
    unsigned short enjambante = static_cast<unsigned short>(adr - 1);
    if (tombe_juste(cpu, static_cast<unsigned short>(adr - recul_principal), recul_principal,
                    enjambante)) {
        return enjambante;
    }
    for (int recul = recul_max; recul >= 1; --recul) {
        unsigned short derniere = 0;
        if (tombe_juste(cpu, static_cast<unsigned short>(adr - recul), recul, derniere)) {
            return derniere;
        }
    }
    return enjambante;
}
