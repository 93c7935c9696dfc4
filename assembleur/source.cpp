// Lecture d'un source : un seul appel systeme par morceau, arret au-dela de la
// taille permise, messages selon errno traduits ici plutot que par strerror, qui
// suit la langue du systeme.
#include "assembleur/source.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string raison(int e) {
    switch (e) {
    case ENOENT:
    case ENOTDIR:
        return "fichier introuvable";
    case EACCES:
    case EPERM:
        return "accès refusé";
    case EISDIR:
        return "c'est un dossier";
    default:
        return "erreur de lecture (errno " + std::to_string(e) + ")";
    }
}

} // namespace

source_lue lit_source(std::string const& chemin) {
    std::string const debut = "impossible de lire « " + chemin + " » : ";
    int const fd = open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {false, "", debut + raison(errno)};
    }
    struct stat etat;
    if (fstat(fd, &etat) == 0 && S_ISDIR(etat.st_mode)) {
        close(fd);
        return {false, "", debut + raison(EISDIR)};
    }
    source_lue resultat{true, "", ""};
    char morceau[65536];
    for (;;) {
        ssize_t const n = read(fd, morceau, sizeof morceau);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            resultat = {false, "", debut + raison(errno)};
            break;
        }
        if (n == 0) {
            break;
        }
        if (resultat.texte.size() + static_cast<std::size_t>(n) > taille_source_max) {
            resultat = {false, "", debut + "plus de 16 Mio, ce n'est pas un source"};
            break;
        }
        resultat.texte.append(morceau, static_cast<std::size_t>(n));
    }
    close(fd);
    return resultat;
}
