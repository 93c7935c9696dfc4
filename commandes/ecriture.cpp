// Trois temps : chaque sortie est preparee (temporaire cree par mkstemp dans le
// dossier de sa cible et ecrit en entier, ou peripherique ouvert sans attente),
// puis les ouvertures sur place sont ecrites, enfin les temporaires sont renommes
// sur leurs cibles, ce qui est atomique. Un echec avant le dernier temps n'a rien
// remplace. Le temporaire prend les droits de l'ancien fichier, ou ceux d'un
// fichier ordinaire selon le umask.
#include "ecriture.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

#include "execution/fichiers.h"

namespace {

std::string raison(int e) {
    return raison_errno(e, sens_acces::ecriture);
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

// Une sortie prete : soit un temporaire complet a renommer sur cible, soit un
// descripteur ouvert sur place.
struct preparee {
    std::string echec; // "impossible d'écrire « x » : "
    std::string cible;
    std::string temporaire;
    int fd = -1;
};

// Vide si la sortie est prete, sinon la raison.
std::string prepare(sortie_fichier const& s, preparee& p) {
    p.cible = s.chemin;
    struct stat lien, existant;
    bool const nom_pris = lstat(s.chemin.c_str(), &lien) == 0;
    bool const existe = stat(s.chemin.c_str(), &existant) == 0;
    int const erreur_stat = errno;
    mode_t droits = droits_ordinaires();
    if (nom_pris && S_ISLNK(lien.st_mode) && !existe) {
        return erreur_stat == ELOOP ? "lien en boucle" : "lien vers un fichier absent";
    }
    if (existe && S_ISREG(existant.st_mode)) {
        droits = existant.st_mode & 07777;
        char vise[PATH_MAX];
        if (realpath(s.chemin.c_str(), vise) != nullptr) {
            p.cible = vise;
        }
    } else if (existe && (S_ISCHR(existant.st_mode) || S_ISFIFO(existant.st_mode))) {
        p.fd = open(s.chemin.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (p.fd < 0) {
            return raison(errno);
        }
        // Le lecteur est la : l'ecriture peut attendre qu'il lise.
        fcntl(p.fd, F_SETFL, fcntl(p.fd, F_GETFL) & ~O_NONBLOCK);
        return "";
    } else if (existe) {
        return nature_speciale(existant.st_mode);
    }
    std::string modele = p.cible + ".XXXXXX";
    int const fd = mkstemp(modele.data());
    if (fd < 0) {
        return raison(errno);
    }
    p.temporaire = modele;
    int erreur = fchmod(fd, droits) == 0 ? 0 : errno;
    if (erreur == 0) {
        erreur = ecrit_tout(fd, s.contenu);
    }
    if (close(fd) != 0 && erreur == 0) {
        erreur = errno;
    }
    return erreur == 0 ? "" : raison(erreur);
}

// Le message du premier echec, apres avoir tout defait de ce qui n'est pas renomme.
std::string abandonne(std::vector<preparee>& p, std::string const& message) {
    for (preparee& s : p) {
        if (!s.temporaire.empty()) {
            unlink(s.temporaire.c_str());
        }
        if (s.fd >= 0) {
            close(s.fd);
        }
    }
    return message;
}

} // namespace

std::string ecrit_fichiers(std::vector<sortie_fichier> const& sorties) {
    std::vector<preparee> p(sorties.size());
    for (std::size_t i = 0; i < sorties.size(); ++i) {
        p[i].echec = "impossible d'écrire « " + sorties[i].chemin + " » : ";
        std::string const erreur = prepare(sorties[i], p[i]);
        if (!erreur.empty()) {
            return abandonne(p, p[i].echec + erreur);
        }
    }
    for (std::size_t i = 0; i < sorties.size(); ++i) {
        if (p[i].fd < 0) {
            continue;
        }
        int erreur = ecrit_tout(p[i].fd, sorties[i].contenu);
        if (close(p[i].fd) != 0 && erreur == 0) {
            erreur = errno;
        }
        p[i].fd = -1;
        if (erreur != 0) {
            return abandonne(p, p[i].echec + raison(erreur));
        }
    }
    for (preparee& s : p) {
        if (!s.temporaire.empty() && rename(s.temporaire.c_str(), s.cible.c_str()) != 0) {
            return abandonne(p, s.echec + raison(errno));
        }
        s.temporaire.clear();
    }
    return "";
}

std::string ecrit_fichier(std::string const& chemin, std::string const& contenu) {
    return ecrit_fichiers({{chemin, contenu}});
}

bool meme_fichier(std::string const& a, std::string const& b) {
    struct stat sa, sb;
    if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0) {
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
    namespace fs = std::filesystem;
    std::error_code ea, eb;
    fs::path const na = fs::weakly_canonical(fs::absolute(a, ea), ea);
    fs::path const nb = fs::weakly_canonical(fs::absolute(b, eb), eb);
    return ea || eb ? a == b : na == nb;
}

int fin_commande(char const* commande, int code) {
    errno = 0;
    std::cout.flush();
    int erreur = errno;
    if (std::fflush(stdout) != 0 && erreur == 0) {
        erreur = errno;
    }
    if (std::cout.good() && std::ferror(stdout) == 0) {
        return code;
    }
    std::cerr << commande << ": impossible d'écrire la sortie standard"
              << (erreur != 0 ? " : " + raison(erreur) : "") << "\n";
    return 1;
}
