// Lecture d'un export : d'abord la liste des fichiers (dossier parcouru, ou
// archive listee), chacun avec de quoi le lire plus tard ; puis leur partage
// entre etudiants, et le tri de ce qui se corrige. Rien n'est lu en entier ici :
// quelques Kio pour reconnaitre un texte, et un .zip rendu, pour le lister.
#include "promotion/export.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>

#include "promotion/archive.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t debut_lu = 4096;           // pour reconnaitre un texte
constexpr std::size_t zip_rendu_max = 64u << 20; // un .zip rendu par un etudiant
constexpr int profondeur_max = 16;               // des dossiers d'un export
constexpr std::size_t fichiers_dossier_max = fichiers_archive_max;

// Rendus qui ne sont jamais un programme, meme en texte.
char const* const documents[] = {"pdf", "doc",  "docx", "odt",  "rtf",  "html", "htm",  "xml",
                                 "svg", "json", "csv",  "toml", "md",   "png",  "jpg",  "jpeg",
                                 "gif", "bmp",  "xls",  "xlsx", "ods",  "ppt",  "pptx", "odp",
                                 "exe", "o",    "docm", "webp", "heic", "mp4",  "mov",  "tex"};

struct entree {
    std::string chemin; // depuis la racine de l'export, separateur /
    std::string disque;
    std::function<fichier_lu(std::size_t)> lit;
};

std::string minuscules(std::string t) {
    std::transform(t.begin(), t.end(), t.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return t;
}

std::string dernier(std::string const& chemin) {
    std::size_t const barre = chemin.rfind('/');
    return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}

std::string extension(std::string const& chemin) {
    std::string const nom = dernier(chemin);
    std::size_t const point = nom.rfind('.');
    return point == std::string::npos || point == 0 ? "" : minuscules(nom.substr(point + 1));
}

// Ce que les systemes ajoutent sans l'etudiant : fichiers caches, ressources
// du Mac, vignettes de Windows, verrous de bureautique.
bool parasite(std::string const& chemin) {
    std::size_t debut = 0;
    while (debut < chemin.size()) {
        std::size_t fin = chemin.find('/', debut);
        fin = fin == std::string::npos ? chemin.size() : fin;
        std::string const morceau = minuscules(chemin.substr(debut, fin - debut));
        if ((!morceau.empty() && morceau[0] == '.') || morceau == "__macosx" ||
            morceau == "thumbs.db" || morceau == "desktop.ini" || morceau.rfind("~$", 0) == 0) {
            return true;
        }
        debut = fin + 1;
    }
    return false;
}

bool document(std::string const& ext) {
    return std::find(std::begin(documents), std::end(documents), ext) != std::end(documents);
}

class lecteur_classe {
  public:
    classe_lue lit(std::vector<entree> entrees, std::vector<std::string> dossiers) {
        for (int tour = 0; tour < 2 && enveloppe(entrees, dossiers); ++tour) {
        }
        for (std::string const& d : dossiers) {
            if (d.find('/') == std::string::npos && !parasite(d)) {
                std::string interieur;
                etudiant_de(d + "/", interieur);
            }
        }
        for (entree& e : entrees) {
            if (parasite(e.chemin)) {
                continue;
            }
            std::string interieur;
            etudiant& qui = etudiant_de(e.chemin, interieur);
            range(qui, interieur, e.disque, e.lit, false);
        }
        for (auto& [cle, e] : par_cle) {
            std::sort(e.autres.begin(), e.autres.end());
            std::stable_sort(e.fichiers.begin(), e.fichiers.end(),
                             [](fichier_rendu const& a, fichier_rendu const& b) {
                                 return a.sorte != b.sorte ? a.sorte < b.sorte
                                                           : a.chemin < b.chemin;
                             });
            if (e.fichiers.size() > fichiers_corriges_max) {
                e.notes.push_back(std::to_string(e.fichiers.size() - fichiers_corriges_max) +
                                  " fichiers de plus non corrigés (au plus " +
                                  std::to_string(fichiers_corriges_max) + ")");
                for (std::size_t i = fichiers_corriges_max; i < e.fichiers.size(); ++i) {
                    e.autres.push_back(e.fichiers[i].chemin);
                }
                e.fichiers.resize(fichiers_corriges_max);
            }
            classe.etudiants.push_back(std::move(e));
        }
        std::stable_sort(classe.etudiants.begin(), classe.etudiants.end(),
                         [](etudiant const& a, etudiant const& b) {
                             std::string const na = minuscules(a.nom), nb = minuscules(b.nom);
                             return na != nb ? na < nb : a.identifiant < b.identifiant;
                         });
        return std::move(classe);
    }

    classe_lue classe;

  private:
    // Un seul dossier en tete, qui n'est pas un etudiant mais en contient : la
    // classe est dedans (une archive refaite autour de l'export).
    static bool enveloppe(std::vector<entree>& entrees, std::vector<std::string>& dossiers) {
        std::string tete;
        bool etudiants = false;
        for (entree const& e : entrees) {
            if (parasite(e.chemin)) {
                continue;
            }
            std::size_t const barre = e.chemin.find('/');
            if (barre == std::string::npos ||
                (!tete.empty() && e.chemin.compare(0, barre, tete) != 0)) {
                return false;
            }
            tete = e.chemin.substr(0, barre);
            std::string n, i, r;
            etudiants = etudiants ||
                        nom_de_plateforme(
                            dernier(e.chemin.substr(0, e.chemin.find('/', barre + 1))), n, i, r);
        }
        std::string n, i, r;
        if (tete.empty() || !etudiants || nom_de_plateforme(tete, n, i, r)) {
            return false;
        }
        for (entree& e : entrees) {
            if (e.chemin.compare(0, tete.size() + 1, tete + "/") == 0) {
                e.chemin.erase(0, tete.size() + 1);
            }
        }
        std::vector<std::string> restes;
        for (std::string const& d : dossiers) {
            if (d.compare(0, tete.size() + 1, tete + "/") == 0) {
                restes.push_back(d.substr(tete.size() + 1));
            }
        }
        dossiers = restes;
        return true;
    }

    // L'etudiant d'un chemin de l'export ; interieur recoit le chemin dans son dossier.
    etudiant& etudiant_de(std::string const& chemin, std::string& interieur) {
        std::size_t const barre = chemin.find('/');
        std::string const tete = chemin.substr(0, barre);
        bool const dossier = barre != std::string::npos;
        interieur = dossier ? chemin.substr(barre + 1) : tete;
        std::string nom, identifiant, reste;
        bool const plateforme = nom_de_plateforme(tete, nom, identifiant, reste);
        std::string const cle = plateforme ? "i" + identifiant : (dossier ? "d" : "f") + tete;
        auto [place, neuf] = par_cle.try_emplace(cle);
        etudiant& e = place->second;
        if (neuf) {
            e.nom = plateforme ? nom : tete;
            e.identifiant = identifiant;
            e.dossier = plateforme ? nom + "_" + identifiant + "_assignsubmission_file_"
                                   : (dossier ? tete : tete + ".retour");
        }
        if (plateforme && dossier) {
            e.dossier = tete; // le nom exact du dossier telecharge
        }
        if (plateforme && !dossier) {
            std::size_t const souligne = reste.find('_');
            interieur = souligne == std::string::npos ? reste : reste.substr(souligne + 1);
        }
        return e;
    }

    void range(etudiant& e, std::string const& chemin, std::string const& disque,
               std::function<fichier_lu(std::size_t)> const& lit, bool dans_zip) {
        if (parasite(chemin) || chemin.empty()) {
            return;
        }
        std::string const ext = extension(chemin);
        if (ext == "zip") {
            if (dans_zip) {
                e.autres.push_back(chemin);
                e.notes.push_back("« " + chemin + " » : archive dans une archive, pas ouverte");
            } else {
                ouvre_zip(e, chemin, lit);
            }
            return;
        }
        if (ext == "asm" || ext == "bin") {
            e.fichiers.push_back(
                {chemin,
                 ext == "asm" ? fichier_rendu::sorte::source : fichier_rendu::sorte::binaire,
                 disque, lit});
            return;
        }
        if (!document(ext)) {
            fichier_lu const debut = lit(debut_lu);
            if (debut.lu && ressemble_a_du_texte(debut.octets)) {
                e.fichiers.push_back({chemin, fichier_rendu::sorte::texte, disque, lit});
                return;
            }
        }
        e.autres.push_back(chemin);
    }

    // Un .zip rendu : liste une fois ; chaque fichier se relit en rouvrant l'archive,
    // pour ne pas garder en memoire le .zip de chaque etudiant.
    void ouvre_zip(etudiant& e, std::string const& chemin,
                   std::function<fichier_lu(std::size_t)> const& lit) {
        auto const ouvre = [lit, chemin](std::string& erreur) -> std::unique_ptr<archive_lue> {
            fichier_lu f = lit(zip_rendu_max);
            if (!f.lu || f.plus) {
                erreur =
                    f.lu ? "plus de " + std::to_string(zip_rendu_max >> 20) + " Mio" : f.raison;
                return nullptr;
            }
            return archive_lue::ouvre_octets(std::move(f.octets), chemin, erreur);
        };
        std::string erreur;
        std::unique_ptr<archive_lue> a = ouvre(erreur);
        if (a == nullptr) {
            e.autres.push_back(chemin);
            e.notes.push_back("« " + chemin + " » pas ouvert : " + erreur);
            return;
        }
        for (std::string const& r : a->refuses()) {
            e.notes.push_back("« " + chemin + " » : chemin « " + r + " » refusé");
        }
        for (entree_archive const& f : a->fichiers()) {
            std::string const nom = f.nom;
            auto const lit_dedans = [ouvre, nom](std::size_t maximum) {
                std::string erreur;
                std::unique_ptr<archive_lue> a = ouvre(erreur);
                fichier_lu r;
                r.raison = erreur;
                for (std::size_t i = 0; a != nullptr && i < a->fichiers().size(); ++i) {
                    if (a->fichiers()[i].nom == nom) {
                        return a->lit(a->fichiers()[i], maximum);
                    }
                }
                return r;
            };
            range(e, chemin + "/" + nom, "", lit_dedans, true);
        }
    }

    std::map<std::string, etudiant> par_cle;
};

classe_lue lit_dossier(std::string const& racine) {
    std::vector<entree> entrees;
    std::vector<std::string> dossiers;
    std::error_code erreur;
    fs::recursive_directory_iterator it(racine, fs::directory_options::skip_permission_denied,
                                        erreur);
    if (erreur) {
        classe_lue c;
        c.erreur = "impossible de lire le dossier « " + racine + " » : " + erreur.message();
        return c;
    }
    for (; it != fs::recursive_directory_iterator(); it.increment(erreur)) {
        if (erreur) {
            break;
        }
        std::string const relatif = it->path().lexically_relative(racine).generic_string();
        if (it->is_directory(erreur) && !it->is_symlink(erreur)) {
            if (it.depth() == 0) {
                dossiers.push_back(relatif);
            }
            if (it.depth() >= profondeur_max) {
                it.disable_recursion_pending();
            }
            continue;
        }
        if (!it->is_regular_file(erreur) || entrees.size() >= fichiers_dossier_max) {
            continue;
        }
        std::string const disque = it->path().string();
        entrees.push_back({relatif, disque,
                           [disque](std::size_t maximum) { return lit_fichier(disque, maximum); }});
    }
    lecteur_classe l;
    return l.lit(std::move(entrees), std::move(dossiers));
}

classe_lue lit_zip(std::string const& chemin) {
    std::string erreur;
    std::shared_ptr<archive_lue> const a = archive_lue::ouvre(chemin, erreur);
    if (a == nullptr) {
        classe_lue c;
        c.erreur = erreur;
        return c;
    }
    std::vector<entree> entrees;
    for (entree_archive const& f : a->fichiers()) {
        entrees.push_back({f.nom, "", [a, f](std::size_t maximum) { return a->lit(f, maximum); }});
    }
    lecteur_classe l;
    classe_lue c = l.lit(std::move(entrees), a->dossiers());
    for (std::string const& r : a->refuses()) {
        c.notes.push_back("« " + chemin + " » : chemin « " + r + " » refusé");
    }
    return c;
}

} // namespace

bool est_classe(std::string const& chemin) {
    std::error_code e;
    return fs::is_directory(chemin, e) || nom_zip(chemin);
}

classe_lue lit_classe(std::string const& chemin) {
    std::error_code e;
    return fs::is_directory(chemin, e) ? lit_dossier(chemin) : lit_zip(chemin);
}

bool nom_de_plateforme(std::string const& nom, std::string& etudiant, std::string& identifiant,
                       std::string& reste) {
    std::string const marque = "_assignsubmission_";
    std::size_t const m = nom.find(marque);
    if (m == std::string::npos) {
        return false;
    }
    std::size_t const souligne = nom.rfind('_', m == 0 ? 0 : m - 1);
    if (souligne == std::string::npos || souligne == 0 || souligne + 1 >= m) {
        return false;
    }
    std::string const id = nom.substr(souligne + 1, m - souligne - 1);
    if (id.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    etudiant = nom.substr(0, souligne);
    identifiant = id;
    reste = nom.substr(m + marque.size());
    return true;
}

bool ressemble_a_du_texte(std::string const& debut) {
    for (char c : debut) {
        unsigned char const u = static_cast<unsigned char>(c);
        if (u < 0x20 && c != '\n' && c != '\r' && c != '\t' && c != '\f' && c != '\v') {
            return false;
        }
    }
    return true;
}
