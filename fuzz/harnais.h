// Outils communs aux harnais : arret sur une regle violee, motif de memoire
// reconnaissable, fichier d'entree temporaire pour les chargeurs.
#ifndef KARVELA_FUZZ_HARNAIS_H
#define KARVELA_FUZZ_HARNAIS_H

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Une regle violee : le message, puis abort pour que libFuzzer garde l'entree.
[[noreturn]] __attribute__((format(printf, 1, 2))) inline void echec(char const* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::fprintf(stderr, "%s : ", program_invocation_short_name);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
    std::abort();
}

// Motif reconnaissable, different d'une case a sa voisine et jamais nul sur une page.
inline unsigned char motif(unsigned int adresse) {
    return static_cast<unsigned char>(adresse * 7 + (adresse >> 8) + 0x5A);
}

// Fichier des entrees d'un chargeur : efface des sa creation, rien ne reste sur le
// disque meme apres un plantage ; le chargeur le rouvre par /proc/self/fd/N.
class fichier_entree {
  public:
    void cree() {
        char const* dossier = std::getenv("TMPDIR");
        nom = std::string(dossier && *dossier ? dossier : "/tmp") + "/karvela_fuzz_XXXXXX";
        fd = mkstemp(&nom[0]);
        if (fd < 0 || unlink(nom.c_str()) != 0) {
            echec("fichier temporaire impossible dans %s", nom.c_str());
        }
        std::snprintf(chemin_fd, sizeof chemin_fd, "/proc/self/fd/%d", fd);
    }

    void ecrit(uint8_t const* donnees, std::size_t taille) {
        if (ftruncate(fd, 0) != 0) {
            echec("ftruncate impossible");
        }
        std::size_t fait = 0;
        while (fait < taille) {
            ssize_t const n = pwrite(fd, donnees + fait, taille - fait, static_cast<off_t>(fait));
            if (n <= 0) {
                echec("ecriture du fichier temporaire impossible");
            }
            fait += static_cast<std::size_t>(n);
        }
    }

    char* chemin() { return chemin_fd; }
    // Le nom sous lequel le fichier a ete cree : il n'existe plus.
    char* chemin_efface() { return &nom[0]; }

  private:
    int fd = -1;
    char chemin_fd[32] = {};
    std::string nom;
};

#endif
