// libzip lit et ecrit ; ici, les bornes et les messages. Une archive n'est pas
// sure pour plusieurs fils a la fois : chaque lecture la prend sous un verrou.
#include "promotion/archive.h"

#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <cctype>

namespace {

std::string raison_zip(zip_error_t* e) {
    return zip_error_strerror(e);
}

// Un chemin d'archive sur, separateur / : ni absolu, ni lecteur, ni « .. ».
bool chemin_sur(std::string const& nom) {
    if (nom.empty() || nom[0] == '/' || (nom.size() > 1 && nom[1] == ':')) {
        return false;
    }
    std::size_t debut = 0;
    while (debut <= nom.size()) {
        std::size_t fin = nom.find('/', debut);
        fin = fin == std::string::npos ? nom.size() : fin;
        if (nom.compare(debut, fin - debut, "..") == 0 && fin - debut == 2) {
            return false;
        }
        debut = fin + 1;
    }
    return true;
}

} // namespace

archive_lue::~archive_lue() {
    if (archive != nullptr) {
        zip_discard(archive);
    }
}

std::unique_ptr<archive_lue> archive_lue::ouvre(std::string const& chemin, std::string& erreur) {
    struct stat s {};
    if (::stat(chemin.c_str(), &s) != 0) {
        erreur = "impossible de lire « " + chemin + " » : fichier introuvable";
        return nullptr;
    }
    std::string const nature = nature_speciale(s.st_mode);
    if (!nature.empty()) {
        erreur = "impossible de lire « " + chemin + " » : " + nature;
        return nullptr;
    }
    int code = 0;
    zip_t* z = zip_open(chemin.c_str(), ZIP_RDONLY, &code);
    if (z == nullptr) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        erreur = "« " + chemin + " » n'est pas une archive zip lisible (" + raison_zip(&e) + ")";
        zip_error_fini(&e);
        return nullptr;
    }
    std::unique_ptr<archive_lue> a(new archive_lue());
    a->archive = z;
    a->nom = chemin;
    return a->liste(erreur) ? std::move(a) : nullptr;
}

std::unique_ptr<archive_lue> archive_lue::ouvre_octets(std::string octets, std::string const& nom,
                                                       std::string& erreur) {
    std::unique_ptr<archive_lue> a(new archive_lue());
    a->octets = std::move(octets);
    a->nom = nom;
    zip_error_t e;
    zip_error_init(&e);
    zip_source_t* source = zip_source_buffer_create(a->octets.data(), a->octets.size(), 0, &e);
    zip_t* z = source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &e);
    if (z == nullptr) {
        erreur = "« " + nom + " » n'est pas une archive zip lisible (" + raison_zip(&e) + ")";
        zip_error_fini(&e);
        if (source != nullptr) {
            zip_source_free(source);
        }
        return nullptr;
    }
    zip_error_fini(&e);
    a->archive = z;
    return a->liste(erreur) ? std::move(a) : nullptr;
}

bool archive_lue::liste(std::string& erreur) {
    zip_int64_t const n = zip_get_num_entries(archive, 0);
    if (n < 0 || static_cast<std::uint64_t>(n) > fichiers_archive_max) {
        erreur = "« " + nom + " » a plus de " + std::to_string(fichiers_archive_max) +
                 " fichiers : ce n'est pas l'export d'une classe";
        return false;
    }
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(n); ++i) {
        zip_stat_t s;
        zip_stat_init(&s);
        if (zip_stat_index(archive, i, 0, &s) != 0 || (s.valid & ZIP_STAT_NAME) == 0) {
            continue;
        }
        std::string chemin = s.name;
        std::replace(chemin.begin(), chemin.end(), '\\', '/');
        if (!chemin_sur(chemin)) {
            refuses_.push_back(chemin);
            continue;
        }
        if (chemin.back() == '/') {
            dossiers_.push_back(chemin.substr(0, chemin.size() - 1));
            continue;
        }
        fichiers_.push_back({chemin, i, (s.valid & ZIP_STAT_SIZE) != 0 ? s.size : 0});
    }
    return true;
}

fichier_lu archive_lue::lit(entree_archive const& e, std::size_t maximum) const {
    std::lock_guard<std::mutex> garde(verrou);
    fichier_lu f;
    zip_file_t* z = zip_fopen_index(archive, e.indice, 0);
    if (z == nullptr) {
        f.raison = std::string("illisible dans l'archive (") + zip_strerror(archive) + ")";
        return f;
    }
    char tampon[65536];
    for (;;) {
        zip_int64_t const lus = zip_fread(z, tampon, sizeof tampon);
        if (lus < 0) {
            f.raison = std::string("illisible dans l'archive (") + zip_file_strerror(z) + ")";
            zip_fclose(z);
            return f;
        }
        if (lus == 0) {
            break;
        }
        std::size_t const place = maximum - f.octets.size();
        f.octets.append(tampon, std::min(place, static_cast<std::size_t>(lus)));
        if (static_cast<std::size_t>(lus) > place) {
            f.plus = true; // la borne : rien de plus n'est decompresse
            break;
        }
    }
    zip_fclose(z);
    f.lu = true;
    return f;
}

std::string archive_de(std::vector<std::pair<std::string, std::string>> const& fichiers,
                       std::string& erreur) {
    zip_error_t e;
    zip_error_init(&e);
    zip_source_t* tampon = zip_source_buffer_create(nullptr, 0, 0, &e);
    if (tampon == nullptr) {
        erreur = "archive impossible à faire (" + raison_zip(&e) + ")";
        zip_error_fini(&e);
        return "";
    }
    zip_source_keep(tampon);
    zip_t* z = zip_open_from_source(tampon, ZIP_TRUNCATE, &e);
    bool bon = z != nullptr;
    for (std::size_t i = 0; bon && i < fichiers.size(); ++i) {
        std::string const& contenu = fichiers[i].second;
        zip_source_t* s = zip_source_buffer(z, contenu.data(), contenu.size(), 0);
        bon = s != nullptr && zip_file_add(z, fichiers[i].first.c_str(), s,
                                           ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) >= 0;
        if (!bon && s != nullptr) {
            zip_source_free(s);
        }
    }
    if (bon && zip_close(z) != 0) {
        bon = false; // zip_close ne libere rien quand il echoue
    }
    if (!bon && z != nullptr) {
        zip_discard(z);
    }
    std::string octets;
    if (bon && zip_source_open(tampon) == 0) {
        char morceau[65536];
        for (zip_int64_t lus; (lus = zip_source_read(tampon, morceau, sizeof morceau)) > 0;) {
            octets.append(morceau, static_cast<std::size_t>(lus));
        }
        zip_source_close(tampon);
    } else {
        bon = false;
    }
    zip_source_free(tampon);
    zip_error_fini(&e);
    if (!bon) {
        erreur = "archive des retours impossible à faire en mémoire";
        return "";
    }
    return octets;
}

bool nom_zip(std::string const& chemin) {
    if (chemin.size() < 4) {
        return false;
    }
    std::string fin = chemin.substr(chemin.size() - 4);
    std::transform(fin.begin(), fin.end(), fin.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return fin == ".zip";
}
