// Harnais des conversions : sur n'importe quel texte, Stol, Stouhex et Stoloruhex
// ne plantent pas et rendent ce que donne un calcul de reference ecrit ici a part,
// en non signe 32 bits (les debordements se replient, sans comportement indefini).
// Les codes des caracteres sont pris comme octets non signes (0..255).
// Entree : octet 0 = longueur du marqueur (bits 1..0), puis le marqueur, puis le texte.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "chaines/chaines.h"
#include "harnais.h"

namespace {

uint32_t code(char c) {
    return static_cast<unsigned char>(c);
}

uint32_t ref_Stouhex(std::string const& texte) {
    uint32_t v = 0;
    for (char const c : texte) {
        uint32_t chiffre = 0;
        if (c >= '0' && c <= '9') {
            chiffre = code(c) - code('0');
        } else if (c >= 'a' && c <= 'f') {
            chiffre = code(c) - code('a') + 10;
        } else if (c >= 'A' && c <= 'F') {
            chiffre = code(c) - code('A') + 10;
        }
        v = v * 16 + chiffre;
    }
    return v;
}

uint32_t ref_Stol(std::string const& texte) {
    if (texte.empty()) {
        return 0;
    }
    bool const negatif = texte[0] == '-';
    uint32_t v = negatif ? 0 : code(texte[0]) - 48;
    for (std::size_t i = 1; i < texte.size(); ++i) {
        v = v * 10 + (code(texte[i]) - 48);
    }
    return negatif ? 0 - v : v;
}

// Recherche naive de la premiere occurrence, pour ne pas reprendre std::string::find.
std::size_t premiere_occurrence(std::string const& marqueur, std::string const& texte) {
    for (std::size_t p = 0; p + marqueur.size() <= texte.size(); ++p) {
        std::size_t k = 0;
        while (k < marqueur.size() && texte[p + k] == marqueur[k]) {
            ++k;
        }
        if (k == marqueur.size()) {
            return p;
        }
    }
    return std::string::npos;
}

uint32_t ref_Stoloruhex(std::string const& marqueur, std::string const& texte) {
    std::size_t const p = premiere_occurrence(marqueur, texte);
    if (p == std::string::npos) {
        return ref_Stol(texte);
    }
    return ref_Stouhex(std::string(texte.begin() + static_cast<std::ptrdiff_t>(p), texte.end()));
}

std::string ref_bin8(uint32_t n) {
    std::string s;
    for (int bit = 7; bit >= 0; --bit) {
        s += ((n >> bit) & 1) ? '1' : '0';
    }
    return s;
}

std::string ref_hex(uint32_t n, int chiffres) {
    static char const digits[] = "0123456789abcdef";
    std::string s;
    for (int i = chiffres - 1; i >= 0; --i) {
        s += digits[(n >> (4 * i)) & 0xF];
    }
    return s;
}

void compare(char const* quoi, std::string const& texte, uint32_t obtenu, uint32_t attendu) {
    if (obtenu != attendu) {
        echec("%s sur %zu octets (\"%s\") : obtenu %u (0x%08x), attendu %u (0x%08x)", quoi,
              texte.size(), texte.c_str(), obtenu, obtenu, attendu, attendu);
    }
}

void compare_texte(char const* quoi, long long n, std::string const& obtenu,
                   std::string const& attendu) {
    if (obtenu != attendu) {
        echec("%s(%lld) : obtenu \"%s\", attendu \"%s\"", quoi, n, obtenu.c_str(), attendu.c_str());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* donnees, std::size_t taille) {
    if (taille == 0) {
        return 0;
    }
    std::size_t const longueur_marqueur = std::min<std::size_t>(donnees[0] & 3, taille - 1);
    char const* debut = reinterpret_cast<char const*>(donnees) + 1;
    std::string const marqueur(debut, longueur_marqueur);
    std::string const texte(debut + longueur_marqueur, taille - 1 - longueur_marqueur);

    compare("Stol", texte, static_cast<uint32_t>(Stol(texte)), ref_Stol(texte));
    compare("Stouhex", texte, Stouhex(texte), ref_Stouhex(texte));
    compare("Stoloruhex marqueur", texte, static_cast<uint32_t>(Stoloruhex(marqueur, texte)),
            ref_Stoloruhex(marqueur, texte));
    compare("Stoloruhex $", texte, static_cast<uint32_t>(Stoloruhex("$", texte)),
            ref_Stoloruhex("$", texte));

    // my_after a une position prise dans le texte lui-meme (positive, parfois au-dela).
    int const position = texte.empty() ? 0 : static_cast<unsigned char>(texte[0]);
    std::string const apres = my_after(texte, position);
    std::string const attendu_apres =
        static_cast<std::size_t>(position) < texte.size() ? texte.substr(position) : "";
    if (apres != attendu_apres) {
        echec("my_after(%d) sur %zu octets : %zu octets rendus au lieu de %zu", position,
              texte.size(), apres.size(), attendu_apres.size());
    }

    // Nombre vers texte : n pris dans les 4 premiers octets du texte.
    uint32_t n = 0;
    for (std::size_t i = 0; i < 4 && i < texte.size(); ++i) {
        n = n << 8 | code(texte[i]);
    }
    int const signe = static_cast<int>(n);
    compare_texte("bin8toS", signe, bin8toS(signe), ref_bin8(n));
    // Les chiffres hexadecimaux ne sont definis que pour n >= 0 ; pour n < 0, ni
    // plantage ni longueur fausse.
    int const positif = static_cast<int>(n & 0x7FFFFFFF);
    compare_texte("hex1toS", positif, hex1toS(positif), ref_hex(n, 1));
    compare_texte("hex2toS", positif, hex2toS(positif), ref_hex(n, 2));
    compare_texte("hex4toS", positif, hex4toS(positif), ref_hex(n, 4));
    if (hex1toS(signe).size() != 1 || hex2toS(signe).size() != 2 || hex4toS(signe).size() != 4) {
        echec("hex*toS(%d) : longueur fausse", signe);
    }
    return 0;
}
