// Harnais du chargeur binaire : l'entree est ecrite telle quelle dans un fichier
// temporaire puis chargee. Un fichier refuse (resultat 0) laisse la memoire octet
// pour octet comme avant ; un fichier accepte (resultat 1) donne une memoire nulle
// partout sauf l'image, egale aux octets du fichier. Le refus est prevu ici d'apres
// l'en-tete : fichier plus court que l'en-tete ou que sa taille, taille < 4 (signee
// sur 16 bits), image qui deborderait au-dela de 0xFFFF.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "simulateur/mem_64k.h"

namespace {

mem_64k memoire;
int fichier = -1; // efface des sa creation : rien ne reste sur le disque, meme apres un plantage
char chemin[32];  // /proc/self/fd/N rouvre ce fichier efface

[[noreturn]] __attribute__((format(printf, 1, 2))) void echec(char const* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::fputs("fuzz_load_binaire : ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
    std::abort();
}

// Motif reconnaissable, different d'une case a sa voisine et jamais nul sur une page.
unsigned char motif(unsigned int adresse) {
    return static_cast<unsigned char>(adresse * 7 + (adresse >> 8) + 0x5A);
}

void remplit_motif() {
    for (unsigned int a = 0; a < mem_64k::taille; ++a) {
        memoire.write_byte(static_cast<unsigned short>(a), motif(a));
    }
}

void ecrit_fichier(uint8_t const* donnees, std::size_t taille) {
    if (ftruncate(fichier, 0) != 0) {
        echec("ftruncate impossible");
    }
    std::size_t fait = 0;
    while (fait < taille) {
        ssize_t const n = pwrite(fichier, donnees + fait, taille - fait, static_cast<off_t>(fait));
        if (n <= 0) {
            echec("ecriture du fichier temporaire impossible");
        }
        fait += static_cast<std::size_t>(n);
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
    char const* dossier = std::getenv("TMPDIR");
    std::string modele =
        std::string(dossier && *dossier ? dossier : "/tmp") + "/karvela_fuzz_XXXXXX";
    fichier = mkstemp(&modele[0]);
    if (fichier < 0 || unlink(modele.c_str()) != 0) {
        echec("fichier temporaire impossible dans %s", modele.c_str());
    }
    std::snprintf(chemin, sizeof chemin, "/proc/self/fd/%d", fichier);

    // Un fichier absent (le nom qui vient d'etre efface) est refuse sans toucher a la memoire.
    remplit_motif();
    int const resultat = memoire.load_binaire(&modele[0]);
    if (resultat != 0) {
        echec("fichier absent : resultat %d au lieu de 0", resultat);
    }
    verifie_intacte("fichier absent");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* donnees, std::size_t taille) {
    ecrit_fichier(donnees, taille);
    remplit_motif();
    int const resultat = memoire.load_binaire(chemin);

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
