// Les textes passent par l'assembleur, les .bin par lit_binaire : aucun format
// n'est relu ici. Un .bin venu d'une archive est ecrit dans un fichier temporaire
// pour que le chargeur le lise comme les autres.
#include "promotion/copies.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "assembleur/source.h"

namespace {

std::string note_texte(std::string const& affiche) {
    return "« " + affiche + " » n'est pas nommé .asm : lu comme un source";
}

programme_charge refus(std::string erreur) {
    programme_charge p;
    p.erreur = std::move(erreur);
    return p;
}

// Un .bin en memoire, lu par le chargeur depuis un fichier temporaire.
programme_charge binaire_en_memoire(std::string const& octets, std::string const& affiche) {
    char const* dossier = std::getenv("TMPDIR");
    std::string modele = std::string(dossier != nullptr && *dossier != '\0' ? dossier : "/tmp") +
                         "/karvela-note-XXXXXX";
    int const f = mkstemp(modele.data());
    if (f < 0) {
        return refus("impossible de lire « " + affiche + " » : pas de fichier temporaire");
    }
    bool const ecrit =
        ::write(f, octets.data(), octets.size()) == static_cast<ssize_t>(octets.size());
    ::close(f);
    programme_charge p =
        ecrit ? programme_binaire(affiche, lit_binaire(modele))
              : refus("impossible de lire « " + affiche + " » : fichier temporaire non écrit");
    std::remove(modele.c_str());
    return p;
}

} // namespace

programme_charge lit_copie(std::string const& chemin, std::string& note) {
    std::string ext =
        chemin.substr(chemin.rfind('.') == std::string::npos ? chemin.size() : chemin.rfind('.'));
    for (char& c : ext) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (ext == ".asm" || ext == ".bin") {
        return lit_programme(chemin);
    }
    fichier_lu const f = lit_fichier(chemin, taille_source_max);
    if (f.lu && !f.plus && ressemble_a_du_texte(f.octets)) {
        note = note_texte(chemin);
        return programme_source(assemble(f.octets));
    }
    return lit_programme(chemin);
}

programme_charge lit_rendu(fichier_rendu const& f, std::string const& affiche, std::string& note) {
    if (f.sorte == fichier_rendu::sorte::binaire && !f.disque.empty()) {
        return programme_binaire(affiche, lit_binaire(f.disque));
    }
    fichier_lu const l =
        f.lit(f.sorte == fichier_rendu::sorte::binaire ? 0x10000 : taille_source_max);
    if (!l.lu) {
        return refus("impossible de lire « " + affiche + " » : " + l.raison);
    }
    if (f.sorte == fichier_rendu::sorte::binaire) {
        return binaire_en_memoire(l.octets, affiche);
    }
    if (l.plus) {
        return refus("« " + affiche + " » dépasse " + std::to_string(taille_source_max >> 20) +
                     " Mio : ce n'est pas un source");
    }
    if (f.sorte == fichier_rendu::sorte::texte) {
        note = note_texte(affiche);
    }
    return programme_source(assemble(l.octets));
}
