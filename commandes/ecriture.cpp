// Fichier temporaire cree par mkstemp dans le dossier de la cible (le renommage
// doit rester sur le meme systeme de fichiers), droits rendus ceux d'un fichier
// ordinaire selon le umask, puis rename, atomique.
#include "ecriture.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string raison(int e) {
    switch (e) {
    case ENOENT:
    case ENOTDIR:
        return "dossier introuvable";
    case EACCES:
    case EPERM:
    case EROFS:
        return "accès refusé";
    case EISDIR:
        return "c'est un dossier";
    case ENOSPC:
        return "disque plein";
    default:
        return "errno " + std::to_string(e);
    }
}

mode_t droits_ordinaires() {
    mode_t const masque = umask(0);
    umask(masque);
    return 0666 & ~masque;
}

} // namespace

std::string ecrit_fichier(std::string const& chemin, std::string const& contenu) {
    std::string const echec = "impossible d'écrire « " + chemin + " » : ";
    std::vector<char> temporaire(chemin.begin(), chemin.end());
    for (char c : std::string(".XXXXXX")) {
        temporaire.push_back(c);
    }
    temporaire.push_back('\0');
    int const fd = mkstemp(temporaire.data());
    if (fd < 0) {
        return echec + raison(errno);
    }
    int erreur = fchmod(fd, droits_ordinaires()) == 0 ? 0 : errno;
    for (std::size_t fait = 0; erreur == 0 && fait < contenu.size();) {
        ssize_t const n = write(fd, contenu.data() + fait, contenu.size() - fait);
        if (n < 0 && errno != EINTR) {
            erreur = errno;
        } else if (n > 0) {
            fait += static_cast<std::size_t>(n);
        }
    }
    if (close(fd) != 0 && erreur == 0) {
        erreur = errno;
    }
    if (erreur == 0 && rename(temporaire.data(), chemin.c_str()) != 0) {
        erreur = errno;
    }
    if (erreur != 0) {
        unlink(temporaire.data());
        return echec + raison(erreur);
    }
    return "";
}

bool meme_fichier(std::string const& a, std::string const& b) {
    struct stat sa, sb;
    if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0) {
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
    return a == b;
}
