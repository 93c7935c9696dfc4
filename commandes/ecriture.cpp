// Fichier temporaire cree par mkstemp dans le dossier de la cible (le renommage
// doit rester sur le meme systeme de fichiers), droits de l'ancien fichier ou d'un
// fichier ordinaire selon le umask, puis rename, atomique. Un lien symbolique est
// suivi : c'est le fichier vise qui est remplace, le lien reste. Ce qui n'est pas
// un fichier ordinaire (/dev/null, un tube) est ecrit sur place : le renommer
// remplacerait le peripherique par un fichier.
#include "ecriture.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
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

// 0 si tout le contenu est passe dans fd, sinon errno.
int ecrit_tout(int fd, std::string const& contenu) {
    for (std::size_t fait = 0; fait < contenu.size();) {
        ssize_t const n = write(fd, contenu.data() + fait, contenu.size() - fait);
        if (n < 0 && errno != EINTR) {
            return errno;
        }
        if (n > 0) {
            fait += static_cast<std::size_t>(n);
        }
    }
    return 0;
}

std::string ecrit_sur_place(std::string const& chemin, std::string const& contenu,
                            std::string const& echec) {
    int const fd = open(chemin.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        return echec + raison(errno);
    }
    int erreur = ecrit_tout(fd, contenu);
    if (close(fd) != 0 && erreur == 0) {
        erreur = errno;
    }
    return erreur == 0 ? "" : echec + raison(erreur);
}

} // namespace

std::string ecrit_fichier(std::string const& chemin_demande, std::string const& contenu) {
    std::string const echec = "impossible d'écrire « " + chemin_demande + " » : ";
    std::string chemin = chemin_demande;
    mode_t droits = droits_ordinaires();
    struct stat existant;
    char vise[PATH_MAX];
    bool const existe = stat(chemin.c_str(), &existant) == 0;
    if (existe && S_ISREG(existant.st_mode)) {
        droits = existant.st_mode & 07777;
        if (realpath(chemin_demande.c_str(), vise) != nullptr) {
            chemin = vise;
        }
    } else if (existe && !S_ISDIR(existant.st_mode)) {
        return ecrit_sur_place(chemin, contenu, echec);
    }
    std::vector<char> temporaire(chemin.begin(), chemin.end());
    for (char c : std::string(".XXXXXX")) {
        temporaire.push_back(c);
    }
    temporaire.push_back('\0');
    int const fd = mkstemp(temporaire.data());
    if (fd < 0) {
        return echec + raison(errno);
    }
    int erreur = fchmod(fd, droits) == 0 ? 0 : errno;
    if (erreur == 0) {
        erreur = ecrit_tout(fd, contenu);
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
