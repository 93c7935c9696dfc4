// Archives .zip par libzip : l'export d'une classe, le .zip qu'un etudiant a rendu
// dedans, et le .zip des retours. Rien n'est extrait sur le disque : chaque
// fichier se lit en memoire, borne (une bombe s'arrete a la borne, quelle que
// soit la taille qu'elle annonce). Un chemin absolu ou qui remonte (..) est
// refuse, ainsi qu'une archive de trop de fichiers.
#ifndef KARVELA_PROMOTION_ARCHIVE_H
#define KARVELA_PROMOTION_ARCHIVE_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "execution/fichiers.h"

constexpr std::size_t fichiers_archive_max = 20000; // un export de classe en a quelques centaines

struct entree_archive {
    std::string nom; // chemin dans l'archive, en UTF-8, separateur /
    std::uint64_t indice;
    std::uint64_t taille; // annoncee
};

class archive_lue {
  public:
    ~archive_lue();
    archive_lue(archive_lue const&) = delete;
    archive_lue& operator=(archive_lue const&) = delete;

    // Nul, et erreur qui dit pourquoi, si l'archive ne s'ouvre pas.
    static std::unique_ptr<archive_lue> ouvre(std::string const& chemin, std::string& erreur);
    static std::unique_ptr<archive_lue> ouvre_octets(std::string octets, std::string const& nom,
                                                     std::string& erreur);

    // Les fichiers, sans les dossiers ; refuses : les chemins ecartes.
    std::vector<entree_archive> const& fichiers() const { return fichiers_; }
    std::vector<std::string> const& dossiers() const { return dossiers_; } // sans le / final
    std::vector<std::string> const& refuses() const { return refuses_; }
    // Au plus maximum octets du fichier ; plus dit s'il en a d'autres. Sur
    // plusieurs fils : un verrou les fait passer l'un apres l'autre.
    fichier_lu lit(entree_archive const& e, std::size_t maximum) const;

  private:
    archive_lue() = default;
    bool liste(std::string& erreur);

    struct zip* archive = nullptr;
    std::string octets; // ouvre_octets : le tampon que libzip lit
    std::string nom;
    std::vector<entree_archive> fichiers_;
    std::vector<std::string> dossiers_;
    std::vector<std::string> refuses_;
    mutable std::mutex verrou;
};

// Une archive faite en memoire de ces fichiers (chemin, contenu) ; vide, et erreur,
// si libzip n'a pas pu.
std::string archive_de(std::vector<std::pair<std::string, std::string>> const& fichiers,
                       std::string& erreur);

// Vrai si le chemin se termine par .zip, casse ignoree.
bool nom_zip(std::string const& chemin);

#endif
