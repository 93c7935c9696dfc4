// Quatre temps : chaque sortie est preparee (temporaire cree par mkstemp dans le
// dossier de sa cible et ecrit en entier ; fichier ouvert sur place, son contenu
// lu ; peripherique, tube ou descripteur ouvert sans attente), puis les fichiers
// sur place sont ecrits, puis les flux, enfin les temporaires sont renommes sur
// leurs cibles, ce qui est atomique. Le temporaire prend les droits de l'ancien
// fichier, ou ceux d'un fichier ordinaire selon le umask.
#include "ecriture.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <linux/magic.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "execution/fichiers.h"

namespace {

std::string raison(int e) {
    return raison_errno(e, sens_acces::ecriture);
}

// La premiere erreur de la sortie standard, que fin_commande dit.
int erreur_sortie_standard = 0;

// La raison d'un echec de la sortie standard survenu au milieu d'une impression,
// errno perdu depuis : un tube dont le lecteur est parti se voit encore.
int raison_perdue() {
    if (fcntl(STDOUT_FILENO, F_GETFL) < 0) {
        return EBADF;
    }
    pollfd sortie = {STDOUT_FILENO, POLLOUT, 0};
    bool const rompu = poll(&sortie, 1, 0) == 1 && (sortie.revents & (POLLERR | POLLHUP)) != 0;
    return rompu ? EPIPE : 0;
}

// Vrai si ce qui attendait sur la sortie standard y est passe.
bool vide_sortie_standard() {
    errno = 0;
    std::cout.flush();
    int erreur = errno;
    if (std::fflush(stdout) != 0 && erreur == 0) {
        erreur = errno;
    }
    bool const passee = std::cout.good() && std::ferror(stdout) == 0;
    if (!passee && erreur == 0) {
        erreur = raison_perdue();
    }
    if (!passee && erreur_sortie_standard == 0) {
        erreur_sortie_standard = erreur;
    }
    return passee;
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

// 0 si le fichier ouvert fd ne tient plus que contenu, sinon errno. Ecrit par-dessus
// l'ancien avant de couper : ses blocs servent, meme quand le disque est plein.
int remplace_contenu(int fd, std::string const& contenu) {
    if (lseek(fd, 0, SEEK_SET) != 0) {
        return errno;
    }
    int const erreur = ecrit_tout(fd, contenu);
    if (erreur != 0) {
        return erreur;
    }
    return ftruncate(fd, static_cast<off_t>(contenu.size())) == 0 ? 0 : errno;
}

enum class maniere { renomme, sur_place, flux };

// Une sortie prete : un temporaire complet a renommer sur cible, un fichier ouvert
// sur place avec son ancien contenu, ou un flux (peripherique, tube, descripteur).
struct preparee {
    std::string nom;   // tel que donne
    std::string echec; // "impossible d'écrire « x » : "
    std::string cible;
    maniere m = maniere::renomme;
    std::string temporaire;
    int fd = -1;
    bool descripteur_propre = false; // flux : apres ce qui attend sur la sortie standard
    std::string ancien;              // sur place : a remettre si une ecriture echoue
    bool touche = false;             // sur place : son contenu a pu changer
};

constexpr int pas_de_descripteur = -1;
constexpr int descripteur_etranger = -2;

std::string dossier_de(std::string const& chemin) {
    std::size_t const barre = chemin.rfind('/');
    return barre == std::string::npos ? "." : barre == 0 ? "/" : chemin.substr(0, barre);
}

// Le descripteur de la commande que nomme chemin au bout de ses liens (/dev/stdout,
// /dev/fd/1, /proc/self/fd/1) ; descripteur_etranger pour un autre lien de /proc
// (celui d'un autre processus), pas_de_descripteur sinon. Un tel lien ne nomme pas
// un chemin mais un fichier ouvert : renommer sur ce qu'il montre remplacerait ce
// fichier au lieu d'ecrire dedans.
int descripteur_vise(std::string chemin) {
    for (int liens = 0; liens < 40; ++liens) {
        struct stat etat;
        if (lstat(chemin.c_str(), &etat) != 0 || !S_ISLNK(etat.st_mode)) {
            return pas_de_descripteur;
        }
        std::string const dossier = dossier_de(chemin);
        struct statfs fs;
        if (statfs(dossier.c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC) {
            char vrai[PATH_MAX];
            std::string const ici = realpath(dossier.c_str(), vrai) != nullptr ? vrai : "";
            std::string const nom = chemin.substr(chemin.rfind('/') + 1);
            bool const mien = ici.rfind("/proc/" + std::to_string(getpid()) + "/", 0) == 0 &&
                              ici.size() > 3 && ici.compare(ici.size() - 3, 3, "/fd") == 0;
            bool const numero = !nom.empty() && nom.size() < 10 &&
                                nom.find_first_not_of("0123456789") == std::string::npos;
            return mien && numero ? std::stoi(nom) : descripteur_etranger;
        }
        char vers[PATH_MAX];
        ssize_t const n = readlink(chemin.c_str(), vers, sizeof vers);
        if (n <= 0 || n == static_cast<ssize_t>(sizeof vers)) {
            return pas_de_descripteur;
        }
        chemin = vers[0] == '/' ? std::string(vers, static_cast<std::size_t>(n))
                                : dossier + "/" + std::string(vers, static_cast<std::size_t>(n));
    }
    return pas_de_descripteur;
}

// Un peripherique, un tube ou un lien de /proc, ouvert sur place sans attendre un
// lecteur.
std::string ouvre_flux(std::string const& chemin, preparee& p) {
    p.m = maniere::flux;
    p.fd = open(chemin.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (p.fd < 0) {
        return raison(errno);
    }
    // Le lecteur est la : l'ecriture peut attendre qu'il lise.
    fcntl(p.fd, F_SETFL, fcntl(p.fd, F_GETFL) & ~O_NONBLOCK);
    return "";
}

// Un fichier ordinaire a ecrire sur place : ouvert aussi en lecture, pour garder
// son contenu.
std::string ouvre_sur_place(preparee& p) {
    p.m = maniere::sur_place;
    p.fd = open(p.cible.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat etat;
    if (p.fd < 0 || fstat(p.fd, &etat) != 0) {
        return raison(errno);
    }
    if (!S_ISREG(etat.st_mode)) {
        return nature_speciale(etat.st_mode);
    }
    char morceau[65536];
    for (;;) {
        ssize_t const n = read(p.fd, morceau, sizeof morceau);
        if (n == 0) {
            return "";
        }
        if (n < 0 && errno != EINTR) {
            return raison(errno);
        }
        if (n > 0) {
            p.ancien.append(morceau, static_cast<std::size_t>(n));
        }
    }
}

// Vide si la sortie est prete, sinon la raison.
std::string prepare(sortie_fichier const& s, preparee& p) {
    p.cible = s.chemin;
    int const vise = descripteur_vise(s.chemin);
    if (vise >= 0) {
        p.m = maniere::flux;
        p.descripteur_propre = true;
        p.fd = fcntl(vise, F_DUPFD_CLOEXEC, 0);
        return p.fd < 0 ? raison(errno) : "";
    }
    if (vise == descripteur_etranger) {
        return ouvre_flux(s.chemin, p);
    }
    struct stat lien, existant;
    bool const nom_pris = lstat(s.chemin.c_str(), &lien) == 0;
    bool const existe = stat(s.chemin.c_str(), &existant) == 0;
    int const erreur_stat = errno;
    mode_t droits = droits_ordinaires();
    if (nom_pris && S_ISLNK(lien.st_mode) && !existe) {
        return erreur_stat == ELOOP ? "lien en boucle" : "lien vers un fichier absent";
    }
    if (existe && S_ISREG(existant.st_mode)) {
        // Refuse meme a root, qui passerait outre : le fichier a ete protege expres.
        if ((existant.st_mode & 0222) == 0) {
            return "accès refusé (fichier en lecture seule)";
        }
        if (faccessat(AT_FDCWD, s.chemin.c_str(), W_OK, AT_EACCESS) != 0) {
            return raison(errno);
        }
        droits = existant.st_mode & 07777;
        char vise_reel[PATH_MAX];
        if (realpath(s.chemin.c_str(), vise_reel) != nullptr) {
            p.cible = vise_reel;
        }
        // Le fichier d'un autre : le remplacer lui prendrait son proprietaire, ou
        // serait refuse dans un dossier a sticky bit (/tmp, un partage). Sans le
        // lire, pas de copie a remettre : il est remplace comme avant.
        if (geteuid() != 0 && existant.st_uid != geteuid() &&
            faccessat(AT_FDCWD, s.chemin.c_str(), R_OK, AT_EACCESS) == 0) {
            return ouvre_sur_place(p);
        }
    } else if (existe && (S_ISCHR(existant.st_mode) || S_ISFIFO(existant.st_mode))) {
        return ouvre_flux(s.chemin, p);
    } else if (existe) {
        return nature_speciale(existant.st_mode);
    }
    std::string modele = p.cible + ".XXXXXX";
    int const fd = mkstemp(modele.data());
    if (fd < 0 && existe && (errno == EACCES || errno == EPERM)) {
        return ouvre_sur_place(p);
    }
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

// Le message du premier echec, apres avoir tout defait de ce qui peut l'etre.
std::string abandonne(std::vector<preparee>& p, std::string message) {
    for (preparee& s : p) {
        if (!s.temporaire.empty()) {
            unlink(s.temporaire.c_str());
        }
        if (s.touche && remplace_contenu(s.fd, s.ancien) != 0) {
            message += " ; l'ancien contenu de « " + s.nom + " » n'a pas pu être remis";
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
        p[i].nom = sorties[i].chemin;
        p[i].echec = "impossible d'écrire « " + sorties[i].chemin + " » : ";
        std::string const erreur = prepare(sorties[i], p[i]);
        if (!erreur.empty()) {
            return abandonne(p, p[i].echec + erreur);
        }
    }
    for (maniere const m : {maniere::sur_place, maniere::flux}) {
        for (std::size_t i = 0; i < sorties.size(); ++i) {
            preparee& s = p[i];
            if (s.m != m) {
                continue;
            }
            if (s.descripteur_propre) {
                vide_sortie_standard();
            }
            s.touche = m == maniere::sur_place;
            int erreur = s.touche ? remplace_contenu(s.fd, sorties[i].contenu)
                                  : ecrit_tout(s.fd, sorties[i].contenu);
            if (!s.touche) {
                if (close(s.fd) != 0 && erreur == 0) {
                    erreur = errno;
                }
                s.fd = -1;
            }
            if (erreur != 0) {
                return abandonne(p, s.echec + raison(erreur));
            }
        }
    }
    for (preparee& s : p) {
        if (!s.temporaire.empty() && rename(s.temporaire.c_str(), s.cible.c_str()) != 0) {
            return abandonne(p, s.echec + raison(errno));
        }
        s.temporaire.clear();
    }
    std::string erreur;
    for (preparee& s : p) {
        if (s.fd >= 0 && close(s.fd) != 0 && erreur.empty()) {
            erreur = s.echec + raison(errno);
        }
    }
    return erreur;
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

void debut_commande() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

int fin_commande(char const* commande, int code) {
    if (vide_sortie_standard()) {
        return code;
    }
    std::cerr << commande << ": impossible d'écrire la sortie standard"
              << (erreur_sortie_standard != 0 ? " : " + raison(erreur_sortie_standard) : "")
              << "\n";
    return 1;
}
