// Ce que l'assembleur rend aux commandes : diagnostics en texte, fichier .bin,
// S-records et listing. Le listing montre pour chaque instruction le texte du
// desassembleur du simulateur, celui que l'etudiant verra dans la fenetre ; pour
// un branchement, qui y montre son deplacement, il ajoute la cible.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "assembleur/assembleur.h"
#include "assembleur/lecture.h"
#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"

namespace {

constexpr std::size_t octets_par_enregistrement = 16; // donnees d'un S1
constexpr std::size_t octets_par_rangee = 3;          // la plus longue instruction
constexpr int texte_desassemblage = 11;               // "PUSHI -128" et son zero final
constexpr std::size_t etiquette_max = 40;             // au-dela, coupee apres un branchement

std::string hex2(unsigned v, char const* format = "%02x") {
    char texte[3];
    std::snprintf(texte, sizeof texte, format, v & 0xFF);
    return texte;
}

// Un blanc au moins avant le separateur, meme quand le texte deborde la colonne
// (les profondeurs d'une boucle qui remplit la pile).
std::string colonne(std::string texte, std::size_t largeur) {
    texte.resize(std::max(largeur, texte.size() + 1), ' ');
    return texte + "| ";
}

std::string sans_blancs_finaux(std::string s) {
    std::size_t const fin = s.find_last_not_of(" \t\r");
    s.erase(fin == std::string::npos ? 0 : fin + 1);
    return s;
}

// Une rangee "adresse | octets | instruction | pile | source" du listing ; pile :
// les profondeurs possibles avant l'instruction, d'apres la verification.
std::string rangee(std::string const& adresse, std::string const& octets,
                   std::string const& instruction, std::string const& pile,
                   std::string const& source) {
    return sans_blancs_finaux(colonne(adresse, 10) + colonne(octets, 9) + colonne(instruction, 12) +
                              colonne(pile, 5) + source) +
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
           ").\n; adresse | octets   | instruction | pile | source\n";
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

namespace {

// "  ; -> $0014 fini" : cible d'un branchement et la premiere etiquette qui y est,
// coupee si elle est demesuree (chacun des milliers de branchements la repeterait).
std::string cible_branchement(ligne_assemblee const& l, std::vector<int> const& etiquette_en,
                              programme_assemble const& p) {
    unsigned const cible = (l.adresse + (l.octets[1] << 8) + l.octets[2]) & 0xFFFF;
    std::string texte = "  ; -> $" + hex2(cible >> 8) + hex2(cible);
    if (int const s = etiquette_en[cible]; s >= 0) {
        std::string const& nom = p.symboles[static_cast<std::size_t>(s)].nom;
        texte += " " + (nom.size() <= etiquette_max ? nom : nom.substr(0, etiquette_max) + "...");
    }
    return texte;
}

} // namespace

std::string fichier_listing(programme_assemble const& p, std::string const& source) {
    // Le desassembleur lit la memoire : l'image y est chargee comme par le chargeur.
    auto memoire = std::make_unique<mem_64k>();
    memoire->load_image(p.base, p.image);
    mp_interpreteur processeur;
    processeur.learn_mem(memoire.get());
    std::vector<int> etiquette_en(mem_64k::taille, -1); // premiere etiquette a chaque adresse
    for (std::size_t k = p.symboles.size(); k-- > 0;) {
        symbole_source const& s = p.symboles[k];
        if (s.sorte == symbole_source::etiquette && s.valeur >= 0 && s.valeur < mem_64k::taille) {
            etiquette_en[static_cast<std::size_t>(s.valeur)] = static_cast<int>(k);
        }
    }

    // Deux tours : le premier mesure, le second ecrit dans une chaine de la bonne
    // taille, que l'agrandissement ne recopie jamais.
    auto const parcourt = [&](auto&& ajoute) {
        bool entete = false;
        std::size_t suivante = 0; // prochaine ligne assemblee
        int numero = 0;
        lignes_source lignes(source);
        for (std::string_view texte; lignes.suivante(texte);) {
            std::string const ligne = sans_blancs_finaux(std::string(texte));
            ++numero;
            std::size_t const premier = ligne.find_first_not_of(" \t");
            if (premier == std::string::npos || ligne[premier] == ';') {
                ajoute((premier == std::string::npos ? "" : ligne.substr(premier)) + "\n");
                continue;
            }
            if (!entete) {
                ajoute(entete_listing(p));
                entete = true;
            }
            if (suivante >= p.lignes.size() || p.lignes[suivante].ligne != numero) {
                // Une ligne qui ne stocke rien : les colonnes vides sont toujours les memes.
                static std::string const debut = [] {
                    std::string const r = rangee(";", "", "", "", "x");
                    return r.substr(0, r.size() - 2);
                }();
                ajoute(debut + ligne + "\n");
                continue;
            }
            ligne_assemblee const& l = p.lignes[suivante++];
            if (l.instruction) {
                char texte_instruction[texte_desassemblage];
                processeur.desassemblage_instruction(l.adresse, texte_instruction);
                ajoute(rangee(hex2(l.adresse >> 8) + hex2(l.adresse),
                              octets_texte(l.octets, 0, l.octets.size()), texte_instruction,
                              texte_profondeurs(l.profondeurs),
                              est_branchement(l.octets[0])
                                  ? ligne + cible_branchement(l, etiquette_en, p)
                                  : ligne));
                continue;
            }
            for (std::size_t i = 0; i < l.octets.size(); i += octets_par_rangee) {
                unsigned const adresse = static_cast<unsigned>(l.adresse + i);
                ajoute(rangee(
                    hex2(adresse >> 8) + hex2(adresse),
                    octets_texte(l.octets, i, std::min(i + octets_par_rangee, l.octets.size())), "",
                    "", i == 0 ? ligne : ""));
            }
        }
    };
    std::size_t taille = 0;
    parcourt([&taille](std::string const& texte) { taille += texte.size(); });
    std::string listing;
    listing.reserve(taille);
    parcourt([&listing](std::string const& texte) { listing += texte; });
    return listing;
}
