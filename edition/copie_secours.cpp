// Copies de secours : en-tete de trois lignes puis le texte, ecrites dans un
// temporaire du meme dossier, synchronisees puis renommees sur la copie. Appels
// du systeme seulement (pas de flux qui levent), chaque entree publique gardee
// contre une exception (memoire) : une copie qui echoue ne coute que la copie.
#include "edition/copie_secours.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "edition/texte_source.h"

namespace {

constexpr char const* entete = "karvela copie de secours 1\n";
constexpr char const* suffixe = ".secours";
constexpr std::size_t longueur_nom = 48; // du nom du fichier dans celui de la copie

// Le chemin sur une ligne : \ et fin de ligne echappes.
std::string echappe(std::string const& t) {
    std::string s;
    for (char const c : t) {
        s += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : std::string(1, c);
    }
    return s;
}

std::string desechappe(std::string const& t) {
    std::string s;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\\' && i + 1 < t.size()) {
            ++i;
            s += t[i] == 'n' ? '\n' : t[i];
        } else {
            s += t[i];
        }
    }
    return s;
}

std::uint64_t empreinte(std::string const& t) {
    std::uint64_t h = 14695981039346656037ull; // FNV-1a
    for (char const c : t) {
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return h;
}

std::string hexa(std::uint64_t v) {
    char t[17];
    std::snprintf(t, sizeof t, "%016llx", static_cast<unsigned long long>(v));
    return t;
}

// Le nom de la copie : lisible (le nom du fichier) et unique (son chemin).
std::string nom_copie(std::string const& origine, long processus, std::string const& jeton) {
    if (origine.empty()) {
        return "sans-titre-" + std::to_string(processus) + "-" + jeton + suffixe;
    }
    std::string nom = origine.substr(origine.rfind('/') + 1).substr(0, longueur_nom);
    for (char& c : nom) {
        bool const sur = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        c = sur ? c : '_';
    }
    return nom + "-" + hexa(empreinte(origine)) + suffixe;
}

std::string raison(int e) {
    switch (e) {
    case EACCES:
    case EPERM:
    case EROFS:
        return "accès refusé";
    case ENOSPC:
    case EDQUOT:
        return "disque plein";
    case ENOENT:
    case ENOTDIR:
        return "dossier introuvable";
    default:
        return "errno " + std::to_string(e);
    }
}

// 0 si tout est lu ; sinon errno.
int lit_tout(std::string const& chemin, std::string& octets, struct stat* etat = nullptr) {
    int const fd = open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno;
    }
    struct stat s;
    if (fstat(fd, &s) != 0 || !S_ISREG(s.st_mode)) {
        close(fd);
        return EISDIR;
    }
    octets.clear();
    char tampon[65536];
    for (;;) {
        ssize_t const n = read(fd, tampon, sizeof tampon);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            int const e = n < 0 ? errno : 0;
            close(fd);
            if (etat != nullptr) {
                *etat = s;
            }
            return e;
        }
        octets.append(tampon, static_cast<std::size_t>(n));
    }
}

int ecrit_tout(int fd, std::string const& contenu) {
    for (std::size_t fait = 0; fait < contenu.size();) {
        ssize_t const n = write(fd, contenu.data() + fait, contenu.size() - fait);
        if (n < 0 && errno != EINTR) {
            return errno;
        }
        fait += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return 0;
}

// Le dossier et ses parents, 0700 pour ceux qui manquent ; 0 ou errno.
int cree_dossier(std::string const& dossier) {
    for (std::size_t i = 1; i <= dossier.size(); ++i) {
        if (i == dossier.size() || dossier[i] == '/') {
            std::string const partie = dossier.substr(0, i);
            if (mkdir(partie.c_str(), 0700) != 0 && errno != EEXIST) {
                return errno;
            }
        }
    }
    struct stat s;
    return stat(dossier.c_str(), &s) == 0 && S_ISDIR(s.st_mode) ? 0 : ENOTDIR;
}

// Ecrit puis renomme ; 0 ou errno.
int ecrit_copie(std::string const& dossier, std::string const& chemin, std::string const& contenu) {
    if (int const e = cree_dossier(dossier); e != 0) {
        return e;
    }
    std::string temporaire = chemin + ".XXXXXX";
    int const fd = mkostemp(temporaire.data(), O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int e = ecrit_tout(fd, contenu);
    if (e == 0 && fsync(fd) != 0) {
        e = errno;
    }
    if (close(fd) != 0 && e == 0) {
        e = errno;
    }
    if (e == 0 && rename(temporaire.c_str(), chemin.c_str()) != 0) {
        e = errno;
    }
    if (e != 0) {
        unlink(temporaire.c_str());
        return e;
    }
    // Le renommage lui-meme, sur le disque.
    if (int const d = open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); d >= 0) {
        fsync(d);
        close(d);
    }
    return 0;
}

bool vivant(long processus) {
    return processus > 0 && (kill(static_cast<pid_t>(processus), 0) == 0 || errno == EPERM);
}

bool dans_le_dossier(std::string const& dossier, std::string const& chemin) {
    return !dossier.empty() && chemin.size() > dossier.size() + 1 &&
           chemin.compare(0, dossier.size(), dossier) == 0 && chemin[dossier.size()] == '/' &&
           chemin.find('/', dossier.size() + 1) == std::string::npos;
}

} // namespace

std::string dossier_secours() {
    try {
        char const* etat = std::getenv("XDG_STATE_HOME");
        if (etat != nullptr && etat[0] == '/') {
            return std::string(etat) + "/karvela";
        }
        char const* maison = std::getenv("HOME");
        if (maison != nullptr && maison[0] == '/') {
            return std::string(maison) + "/.local/state/karvela";
        }
    } catch (...) {
    }
    return "";
}

std::string chemin_absolu(std::string const& fichier) {
    try {
        if (fichier.empty()) {
            return "";
        }
        std::string chemin = fichier;
        if (fichier[0] != '/') {
            char ici[4096];
            if (getcwd(ici, sizeof ici) == nullptr) {
                return fichier;
            }
            chemin = std::string(ici) + "/" + fichier;
        }
        // Un lien vers le fichier et le fichier lui-meme ont la meme copie.
        if (char* vrai = realpath(chemin.c_str(), nullptr)) {
            chemin = vrai;
            std::free(vrai);
        }
        return chemin;
    } catch (...) {
        return fichier;
    }
}

bool lit_copie(std::string const& chemin, copie_secours& c) {
    try {
        std::string octets;
        struct stat s;
        if (lit_tout(chemin, octets, &s) != 0 || octets.rfind(entete, 0) != 0) {
            return false;
        }
        std::size_t const l1 = std::char_traits<char>::length(entete);
        std::size_t const l2 = octets.find('\n', l1);
        std::size_t const l3 = l2 == std::string::npos ? l2 : octets.find('\n', l2 + 1);
        if (l3 == std::string::npos || octets.compare(l1, 8, "origine ") != 0 ||
            octets.compare(l2 + 1, 10, "processus ") != 0) {
            return false;
        }
        copie_secours lue;
        lue.chemin = chemin;
        lue.origine = desechappe(octets.substr(l1 + 8, l2 - l1 - 8));
        lue.processus = std::strtol(octets.c_str() + l2 + 11, nullptr, 10);
        lue.ecrite = s.st_mtime;
        lue.texte = octets.substr(l3 + 1);
        c = std::move(lue);
        return true;
    } catch (...) {
        return false;
    }
}

std::vector<copie_secours> liste_copies(std::string const& dossier) {
    std::vector<copie_secours> copies;
    try {
        DIR* d = dossier.empty() ? nullptr : opendir(dossier.c_str());
        if (d == nullptr) {
            return copies;
        }
        std::vector<std::string> noms;
        while (dirent const* e = readdir(d)) {
            std::string const nom = e->d_name;
            std::size_t const n = std::char_traits<char>::length(suffixe);
            if (nom.size() > n && nom.compare(nom.size() - n, n, suffixe) == 0) {
                noms.push_back(nom);
            }
        }
        closedir(d);
        std::sort(noms.begin(), noms.end());
        for (std::string const& nom : noms) {
            copie_secours c;
            if (lit_copie(dossier + "/" + nom, c)) {
                copies.push_back(std::move(c));
            }
        }
    } catch (...) {
    }
    return copies;
}

bool copie_de(std::string const& dossier, std::string const& fichier, copie_secours& c) {
    try {
        std::string const origine = chemin_absolu(fichier);
        return !dossier.empty() && !origine.empty() &&
               lit_copie(dossier + "/" + nom_copie(origine, 0, ""), c) && c.origine == origine;
    } catch (...) {
        return false;
    }
}

std::vector<copie_secours> copies_orphelines(std::string const& dossier,
                                             std::string const& la_mienne) {
    std::vector<copie_secours> orphelines;
    try {
        for (copie_secours& c : liste_copies(dossier)) {
            bool const moi = c.processus == static_cast<long>(getpid());
            if (c.origine.empty() && c.chemin != la_mienne && (moi || !vivant(c.processus))) {
                orphelines.push_back(std::move(c));
            }
        }
    } catch (...) {
    }
    return orphelines;
}

bool differe_du_fichier(copie_secours const& c) {
    try {
        std::string octets;
        return c.origine.empty() || lit_tout(c.origine, octets) != 0 ||
               lit_texte_source(octets).texte != c.texte;
    } catch (...) {
        return true;
    }
}

std::string texte_age(std::time_t ecrite, std::time_t maintenant) {
    long const secondes = static_cast<long>(maintenant - ecrite);
    if (secondes < 60) {
        return "il y a moins d'une minute";
    }
    if (secondes < 3600) {
        return "il y a " + std::to_string(secondes / 60) + " min";
    }
    if (secondes < 86400) {
        return "il y a " + std::to_string(secondes / 3600) + " h";
    }
    long const jours = secondes / 86400;
    return "il y a " + std::to_string(jours) + (jours == 1 ? " jour" : " jours");
}

std::string retire_copie(std::string const& dossier, std::string const& chemin) {
    try {
        copie_secours c;
        if (!dans_le_dossier(dossier, chemin)) {
            return "« " + chemin + " » n'est pas dans le dossier des copies";
        }
        if (access(chemin.c_str(), F_OK) != 0) {
            return "";
        }
        if (!lit_copie(chemin, c)) {
            return "« " + chemin + " » n'est pas une copie de secours";
        }
        if (unlink(chemin.c_str()) != 0 && errno != ENOENT) {
            return "« " + chemin + " » : " + raison(errno);
        }
        return "";
    } catch (...) {
        return "copie de secours : mémoire épuisée";
    }
}

void attente_copie::frappe(double maintenant) {
    if (!en_attente_) {
        premiere_ = maintenant;
        en_attente_ = true;
    }
    derniere_ = maintenant;
}

void attente_copie::copie_faite() {
    en_attente_ = false;
}

bool attente_copie::due(double maintenant) const {
    return en_attente_ &&
           (maintenant - derniere_ >= delai_copie || maintenant - premiere_ >= plafond_copie);
}

double attente_copie::echeance() const {
    return en_attente_ ? std::min(derniere_ + delai_copie, premiere_ + plafond_copie)
                       : std::numeric_limits<double>::infinity();
}

secours_source::secours_source() : secours_source(dossier_secours(), getpid()) {}

secours_source::secours_source(std::string dossier, long processus)
    : dossier_(std::move(dossier)), processus_(processus),
      jeton_(std::to_string(static_cast<long long>(std::time(nullptr)))) {
    suit("");
}

void secours_source::suit(std::string const& fichier) {
    try {
        origine_ = chemin_absolu(fichier);
        chemin_ = dossier_.empty() ? "" : dossier_ + "/" + nom_copie(origine_, processus_, jeton_);
    } catch (...) {
        chemin_.clear();
    }
    attente_ = attente_copie();
}

std::string secours_source::ecrit(std::string const& texte) {
    attente_.copie_faite(); // reussie ou non : la prochaine attend d'autres frappes
    try {
        int const e = chemin_.empty()
                          ? ENOENT
                          : ecrit_copie(dossier_, chemin_,
                                        entete + ("origine " + echappe(origine_)) + "\nprocessus " +
                                            std::to_string(processus_) + "\n" + texte);
        if (e == 0) {
            echec_dit_ = false;
            return "";
        }
        if (echec_dit_) {
            return "";
        }
        echec_dit_ = true;
        std::string const ou =
            dossier_.empty() ? "(ni XDG_STATE_HOME ni HOME)" : "« " + dossier_ + " »";
        return "Copie de secours impossible dans " + ou + " : " + raison(e) +
               " ; le texte n'est que dans la fenêtre.";
    } catch (...) {
        bool const a_dire = !echec_dit_;
        echec_dit_ = true;
        return a_dire ? "Copie de secours impossible : mémoire épuisée." : "";
    }
}

void secours_source::retire() {
    attente_.copie_faite();
    if (!chemin_.empty()) {
        retire_copie(dossier_, chemin_);
    }
}
