// Harnais du chargeur binaire : l'entree est ecrite telle quelle dans un fichier
// temporaire puis chargee. Un fichier refuse (resultat 0) laisse la memoire octet
// pour octet comme avant ; un fichier accepte (resultat 1) donne une memoire nulle
// partout sauf l'image, egale aux octets du fichier. Le refus est prevu ici d'apres
// l'en-tete : fichier plus court que l'en-tete ou que sa taille, taille < 4 (signee
// sur 16 bits), image qui deborderait au-dela de 0xFFFF.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "simulateur/mem_64k.h"
#include "harnais.h"

namespace {

mem_64k memoire;
fichier_entree fichier;

void remplit_motif() {
    for (unsigned int a = 0; a < mem_64k::taille; ++a) {
        memoire.write_byte(static_cast<unsigned short>(a), motif(a));
    }
}

void verifie_intacte(char const* pourquoi) {
    for (unsigned int a = 0; a < mem_64k::taille; ++a) {
        unsigned char const octet = memoire.read_byte(static_cast<unsigned short>(a));
        if (octet != motif(a)) {
            echec("%s : case $%04x modifiee (0x%02x au lieu de 0x%02x)", pourquoi, a, octet,
                  motif(a));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fichier.cree();

    // Un fichier absent (le nom qui vient d'etre efface) est refuse sans toucher a la memoire.
    remplit_motif();
    int const resultat = memoire.load_binaire(fichier.chemin_efface());
    if (resultat != 0) {
        echec("fichier absent : resultat %d au lieu de 0", resultat);
    }
    verifie_intacte("fichier absent");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* donnees, std::size_t taille) {
    fichier.ecrit(donnees, taille);
    remplit_motif();
    int const resultat = memoire.load_binaire(fichier.chemin());

    // Ce que le chargeur doit decider d'apres l'en-tete et la longueur du fichier.
    char const* refus = nullptr;
    long taille_champ = 0;
    unsigned long base = 0;
    if (taille < 4) {
        refus = "fichier plus court que l'en-tete";
    } else {
        taille_champ = static_cast<int16_t>(donnees[0] << 8 | donnees[1]);
        base = static_cast<unsigned long>(donnees[2] << 8 | donnees[3]);
        if (taille_champ < 4) {
            refus = "taille inferieure a 4";
        } else if (taille < static_cast<std::size_t>(taille_champ)) {
            refus = "fichier tronque";
        } else if (base + static_cast<unsigned long>(taille_champ) - 4 > mem_64k::taille) {
            refus = "image au-dela de $ffff";
        }
    }

    if (resultat != 0 && resultat != 1) {
        echec("resultat %d (ni 0 ni 1)", resultat);
    }
    if (refus) {
        if (resultat != 0) {
            echec("%s (taille %ld, base %lu, %zu octets) : accepte", refus, taille_champ, base,
                  taille);
        }
        verifie_intacte(refus);
        return 0;
    }
    if (resultat != 1) {
        echec("fichier valable (taille %ld, base %lu, %zu octets) : refuse", taille_champ, base,
              taille);
    }
    unsigned long const fin = base + static_cast<unsigned long>(taille_champ) - 4;
    for (unsigned long a = 0; a < mem_64k::taille; ++a) {
        unsigned char const octet = memoire.read_byte(static_cast<unsigned short>(a));
        unsigned char const attendu = (a >= base && a < fin) ? donnees[4 + (a - base)] : 0;
        if (octet != attendu) {
            echec("taille %ld, base %lu : case $%04lx = 0x%02x au lieu de 0x%02x", taille_champ,
                  base, a, octet, attendu);
        }
    }
    return 0;
}
