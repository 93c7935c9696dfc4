// Le fichier est d'abord examine par stat, puis ouvert sans attente (O_NONBLOCK)
// et reexamine par fstat : s'il est devenu un tube entre les deux, il est refuse
// sans qu'aucune lecture ne bloque. Les raisons suivent errno, traduites par
// raison_errno pour la lecture comme pour l'ecriture des commandes.
#include "execution/fichiers.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "chaines/chaines.h"

namespace {

constexpr std::size_t taille_entete = 4; // taille puis adresse de base, gros-boutistes
constexpr std::size_t taille_bin_max = 32767;
constexpr std::size_t fin_memoire = 0x10000;

std::string raison(int e) {
    return raison_errno(e, sens_acces::lecture);
}

fichier_lu refus(std::string r) {
    fichier_lu f;
    f.raison = std::move(r);
    return f;
}

} // namespace

std::string raison_errno(int e, sens_acces sens) {
    switch (e) {
    case ENOENT:
    case ENOTDIR:
        return sens == sens_acces::lecture ? "fichier introuvable" : "dossier introuvable";
    case EACCES:
    case EPERM:
    case EROFS:
        return "accès refusé";
    case EISDIR:
        return "c'est un dossier";
    case ELOOP:
        return "lien en boucle";
    case ENAMETOOLONG:
        return "nom trop long";
    case ENOSPC:
        return "disque plein";
    case EDQUOT:
        return "quota dépassé";
    case EFBIG:
        return "fichier trop grand";
    case ENXIO:
        return "tube sans lecteur";
    case EBADF:
        return "sortie fermée";
    case EPIPE:
        return "tube fermé";
    default:
        return "erreur du système (errno " + std::to_string(e) + ")";
    }
}

std::string nature_speciale(unsigned mode) {
    switch (mode & S_IFMT) {
    case S_IFREG:
        return "";
    case S_IFDIR:
        return "c'est un dossier";
    case S_IFIFO:
        return "c'est un tube (FIFO)";
    case S_IFSOCK:
        return "c'est une socket";
    case S_IFCHR:
    case S_IFBLK:
        return "c'est un périphérique";
    default:
        return "ce n'est pas un fichier ordinaire";
    }
}

fichier_lu lit_fichier(std::string const& chemin, std::size_t maximum) {
    struct stat etat;
    if (stat(chemin.c_str(), &etat) != 0) {
        return refus(raison(errno));
    }
    if (!S_ISREG(etat.st_mode)) {
        return refus(nature_speciale(etat.st_mode));
    }
    int const fd = open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return refus(raison(errno));
    }
    if (fstat(fd, &etat) != 0 || !S_ISREG(etat.st_mode)) {
        int const e = errno;
        bool const ordinaire = S_ISREG(etat.st_mode);
        close(fd);
        return refus(ordinaire ? raison(e) : nature_speciale(etat.st_mode));
    }
    fichier_lu f;
    f.lu = true;
    char morceau[65536];
    while (f.octets.size() <= maximum) {
        ssize_t const n = read(fd, morceau, sizeof morceau);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            f = refus(raison(errno));
            break;
        }
        if (n == 0) {
            break;
        }
        f.octets.append(morceau, static_cast<std::size_t>(n));
    }
    close(fd);
    if (f.octets.size() > maximum) {
        f.octets.resize(maximum);
        f.plus = true;
    }
    return f;
}

binaire_lu lit_binaire(std::string const& chemin) {
    using etat = binaire_lu::etat;
    binaire_lu b;
    fichier_lu const f = lit_fichier(chemin, taille_bin_max);
    if (!f.lu) {
        b.raison = f.raison;
        return b;
    }
    std::string const& o = f.octets;
    b.octets = o.size();
    if (o.size() < taille_entete) {
        b.e = etat::sans_entete;
        b.raison = "fichier plus court que son en-tête de 4 octets";
        return b;
    }
    auto const octet = [&o](std::size_t i) { return static_cast<unsigned char>(o[i]); };
    b.taille = static_cast<short>(octet(0) << 8 | octet(1));
    b.base = static_cast<unsigned short>(octet(2) << 8 | octet(3));
    std::size_t const taille = b.taille < 0 ? 0 : static_cast<std::size_t>(b.taille);
    if (taille < taille_entete) {
        b.e = etat::taille_invalide;
        b.raison = "taille " + std::to_string(b.taille) +
                   " invalide dans l'en-tête (de 4 à 32767 octets attendus)";
    } else if (o.size() < taille) {
        b.e = etat::tronque;
        b.raison = "fichier tronqué (" + std::to_string(o.size()) + " octets au lieu de " +
                   std::to_string(taille) + ")";
    } else if (b.base + taille - taille_entete > fin_memoire) {
        b.e = etat::deborde;
        b.raison = "l'image dépasse $FFFF (" + std::to_string(taille - taille_entete) +
                   " octets à partir de $" + hex4toS(b.base) + ")";
    } else {
        b.e = etat::lu;
        b.image.assign(o.begin() + taille_entete, o.begin() + static_cast<long>(taille));
        b.plus_long = o.size() > taille || f.plus;
    }
    return b;
}
