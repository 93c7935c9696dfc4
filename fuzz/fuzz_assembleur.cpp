// Harnais de l'assembleur : n'importe quels octets comme source. Jamais d'arret
// brutal ni d'attente sans fin (le -timeout de libFuzzer), des diagnostics a des
// places possibles et dans l'ordre ; un source assemble donne une image dont les
// octets sont ceux des lignes assemblees et des rangees du listing, et que le
// chargement en memoire pose a sa base.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "simulateur/mem_64k.h"
#include "harnais.h"

namespace {

mem_64k memoire;

void verifie_diagnostics(programme_assemble const& p, std::string const& source) {
    // Fins de ligne LF, CR ou CRLF.
    long long lignes = 1;
    for (std::size_t i = 0; i < source.size(); ++i) {
        lignes += source[i] == '\n' || (source[i] == '\r' && source[i + 1] != '\n') ? 1 : 0;
    }
    for (std::size_t i = 0; i < p.diagnostics.size(); ++i) {
        diagnostic const& d = p.diagnostics[i];
        if (d.ligne < 1 || d.ligne > lignes || d.colonne < 1 || d.message.empty()) {
            echec("diagnostic %d:%d hors du source (%lld lignes) : %s", d.ligne, d.colonne, lignes,
                  d.message.c_str());
        }
        if (i > 0 &&
            (p.diagnostics[i - 1].ligne > d.ligne ||
             (p.diagnostics[i - 1].ligne == d.ligne && p.diagnostics[i - 1].colonne > d.colonne))) {
            echec("diagnostics dans le desordre a la ligne %d", d.ligne);
        }
    }
}

// Chaque rangee du listing ("adresse | octets | ...") dit des octets de l'image ;
// ensemble elles couvrent l'image de sa base a sa fin.
void verifie_listing(programme_assemble const& p, std::string const& listing) {
    std::istringstream flot(listing);
    std::size_t octets = 0, fin = p.base;
    for (std::string rangee; std::getline(flot, rangee);) {
        if (rangee.empty() || rangee[0] == ';') {
            continue;
        }
        unsigned adresse = 0;
        if (std::sscanf(rangee.c_str(), "%4x", &adresse) != 1 || rangee.size() < 21 ||
            rangee[10] != '|') {
            echec("rangee de listing illisible : %s", rangee.c_str());
        }
        std::istringstream champ(rangee.substr(12, 9));
        for (unsigned octet; champ >> std::hex >> octet; ++adresse, ++octets) {
            if (adresse < p.base || adresse - p.base >= p.image.size() ||
                p.image[adresse - p.base] != octet) {
                echec("listing : octet %02x en $%04x absent de l'image", octet, adresse);
            }
        }
        fin = std::max<std::size_t>(fin, adresse);
    }
    std::size_t stockes = 0;
    for (ligne_assemblee const& l : p.lignes) {
        stockes += l.octets.size();
    }
    if (octets != stockes || fin - p.base != p.image.size()) {
        echec("listing de %zu octets jusqu'a $%04zx, %zu stockes, image de %zu", octets, fin,
              stockes, p.image.size());
    }
}

void verifie_image(programme_assemble const& p) {
    if (p.image.size() > 0x7FFF - 4 || p.base + p.image.size() > mem_64k::taille) {
        echec("image de %zu octets en $%04x refusee par le chargeur", p.image.size(), p.base);
    }
    for (ligne_assemblee const& l : p.lignes) {
        if (p.ligne_en(l.adresse) != l.ligne || p.adresse_de_ligne(l.ligne) != l.adresse) {
            echec("ligne %d en $%04x : correspondance adresse <-> ligne fausse", l.ligne,
                  l.adresse);
        }
        for (std::size_t i = 0; i < l.octets.size(); ++i) {
            std::size_t const a = l.adresse + i;
            if (a < p.base || a - p.base >= p.image.size() || p.image[a - p.base] != l.octets[i]) {
                echec("ligne %d : octet en $%04zx absent de l'image", l.ligne, a);
            }
        }
    }
    if (memoire.load_image(p.base, p.image) != 1) {
        echec("load_image refuse l'image");
    }
    for (std::size_t i = 0; i < p.image.size(); ++i) {
        if (memoire.read_byte(static_cast<unsigned short>(p.base + i)) != p.image[i]) {
            echec("load_image : case $%04zx", p.base + i);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* donnees, std::size_t taille) {
    std::string const source(reinterpret_cast<char const*>(donnees), taille);
    programme_assemble const p = assemble(source);
    verifie_diagnostics(p, source);
    if (!p.reussi()) {
        if (!p.image.empty() || !p.lignes.empty()) {
            echec("image rendue malgre les erreurs");
        }
        return 0;
    }
    verifie_image(p);
    verifie_listing(p, fichier_listing(p, source));
    if (fichier_bin(p).size() != p.image.size() + 4) {
        echec("taille du .bin");
    }
    return 0;
}
