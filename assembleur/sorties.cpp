// Ce que l'assembleur rend aux commandes : diagnostics en texte, fichier .bin,
// S-records et listing. Le listing montre pour chaque instruction le texte du
// desassembleur du simulateur, celui que l'etudiant verra dans la fenetre.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "assembleur/assembleur.h"
#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"

namespace {

constexpr std::size_t octets_par_enregistrement = 16; // donnees d'un S1
constexpr std::size_t octets_par_rangee = 3;          // la plus longue instruction
constexpr int texte_desassemblage = 11;               // "PUSHI -128" et son zero final

std::string hex2(unsigned v, char const* format = "%02x") {
    char texte[3];
    std::snprintf(texte, sizeof texte, format, v & 0xFF);
    return texte;
}

std::string colonne(std::string texte, std::size_t largeur) {
    if (texte.size() < largeur) {
        texte.resize(largeur, ' ');
    }
    return texte + "| ";
}

std::string sans_blancs_finaux(std::string s) {
    std::size_t const fin = s.find_last_not_of(" \t\r");
    s.erase(fin == std::string::npos ? 0 : fin + 1);
    return s;
}

// Une rangee "adresse | octets | instruction | source" du listing.
std::string rangee(std::string const& adresse, std::string const& octets,
                   std::string const& instruction, std::string const& source) {
    return sans_blancs_finaux(colonne(adresse, 10) + colonne(octets, 9) + colonne(instruction, 12) +
                              source) +
           "\n";
}

std::string octets_texte(std::vector<unsigned char> const& octets, std::size_t debut,
                         std::size_t fin) {
    std::string texte;
    for (std::size_t i = debut; i < fin; ++i) {
        texte += (i > debut ? " " : "") + hex2(octets[i]);
    }
    return texte;
}

std::string entete_listing(programme_assemble const& p) {
    std::vector<unsigned char> const bin = fichier_bin(p);
    return "; Chargé en " + hex2(p.base >> 8) + hex2(p.base) + " : " +
           std::to_string(p.image.size()) + " octets (en-tête " + octets_texte(bin, 0, 4) +
           ").\n; adresse | octets   | instruction | source\n";
}

} // namespace

std::string texte_diagnostic(std::string const& fichier, diagnostic const& d) {
    return fichier + ":" + std::to_string(d.ligne) + ":" + std::to_string(d.colonne) + ": " +
           (d.erreur ? "erreur: " : "attention: ") + d.message;
}

std::vector<unsigned char> fichier_bin(programme_assemble const& p) {
    std::size_t const taille = p.image.size() + 4;
    std::vector<unsigned char> bin(taille);
    bin[0] = static_cast<unsigned char>(taille >> 8);
    bin[1] = static_cast<unsigned char>(taille);
    bin[2] = static_cast<unsigned char>(p.base >> 8);
    bin[3] = static_cast<unsigned char>(p.base);
    std::copy(p.image.begin(), p.image.end(), bin.begin() + 4);
    return bin;
}

std::string fichier_s19(programme_assemble const& p) {
    std::string texte;
    for (std::size_t debut = 0; debut < p.image.size(); debut += octets_par_enregistrement) {
        std::size_t const n = std::min(octets_par_enregistrement, p.image.size() - debut);
        unsigned const adresse = static_cast<unsigned>(p.base + debut);
        unsigned const compte = static_cast<unsigned>(n + 3); // adresse, donnees, somme
        unsigned somme = compte + (adresse >> 8) + (adresse & 0xFF);
        texte += "S1" + hex2(compte, "%02X") + hex2(adresse >> 8, "%02X") + hex2(adresse, "%02X");
        for (std::size_t i = debut; i < debut + n; ++i) {
            texte += hex2(p.image[i], "%02X");
            somme += p.image[i];
        }
        texte += hex2(~somme, "%02X") + "\n";
    }
    return texte + "S9030000FC\n";
}

std::string fichier_listing(programme_assemble const& p, std::string const& source) {
    // Le desassembleur lit la memoire : l'image y est chargee comme par le chargeur.
    auto memoire = std::make_unique<mem_64k>();
    memoire->load_image(p.base, p.image);
    mp_interpreteur processeur;
    processeur.learn_mem(memoire.get());

    std::string listing;
    bool entete = false;
    std::size_t suivante = 0; // prochaine ligne assemblee
    int numero = 0;
    for (std::size_t debut = 0; debut < source.size();) {
        std::size_t fin = source.find('\n', debut);
        if (fin == std::string::npos) {
            fin = source.size();
        }
        std::string const ligne = sans_blancs_finaux(source.substr(debut, fin - debut));
        debut = fin + 1;
        ++numero;
        std::size_t const premier = ligne.find_first_not_of(" \t");
        if (premier == std::string::npos || ligne[premier] == ';') {
            listing += (premier == std::string::npos ? "" : ligne.substr(premier)) + "\n";
            continue;
        }
        if (!entete) {
            listing += entete_listing(p);
            entete = true;
        }
        if (suivante >= p.lignes.size() || p.lignes[suivante].ligne != numero) {
            listing += rangee(";", "", "", ligne);
            continue;
        }
        ligne_assemblee const& l = p.lignes[suivante++];
        if (l.instruction) {
            char texte[texte_desassemblage];
            processeur.desassemblage_instruction(l.adresse, texte);
            listing += rangee(hex2(l.adresse >> 8) + hex2(l.adresse),
                              octets_texte(l.octets, 0, l.octets.size()), texte, ligne);
            continue;
        }
        for (std::size_t i = 0; i < l.octets.size(); i += octets_par_rangee) {
            unsigned const adresse = static_cast<unsigned>(l.adresse + i);
            listing +=
                rangee(hex2(adresse >> 8) + hex2(adresse),
                       octets_texte(l.octets, i, std::min(i + octets_par_rangee, l.octets.size())),
                       "", i == 0 ? ligne : "");
        }
    }
    return listing;
}
