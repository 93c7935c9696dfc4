// Conversions entre nombres et textes : largeur fixe a la sortie, aucune
// validation a l'entree (un caractere quelconque compte pour un chiffre).
// Les calculs de lecture se font en non signe : un debordement se replie
// modulo 2^32 au lieu d'etre un comportement indefini.
#include "chaines/chaines.h"

std::string bin8toS(int n) {
    std::string texte;
    for (int i = 0; i < 8; ++i) {
        texte.insert(texte.begin(), static_cast<char>('0' + (n & 1)));
        n >>= 1;
    }
    return texte;
}

std::string hex1toS(int n) {
    // Masque plutot que reste : un n negatif donne le chiffre de son complement a deux.
    int const d = n & 0xF;
    return std::string(1, static_cast<char>(d < 10 ? '0' + d : 'a' + (d - 10)));
}

std::string hex2toS(int n) {
    return hex1toS(n >> 4) + hex1toS(n);
}

std::string hex4toS(int n) {
    return hex2toS(n >> 8) + hex2toS(n);
}

int Stoloruhex(std::string const& marqueur, std::string const& texte) {
    std::string::size_type const p = texte.find(marqueur);
    if (p == std::string::npos) {
        return Stol(texte);
    }
    return static_cast<int>(Stouhex(my_after(texte, static_cast<int>(p))));
}

int Stol(std::string texte) {
    if (texte.empty()) {
        return 0;
    }
    bool const negatif = texte[0] == '-';
    unsigned int valeur = negatif ? 0u : static_cast<unsigned char>(texte[0]) - 48u;
    for (std::string::size_type i = 1; i < texte.size(); ++i) {
        valeur = valeur * 10u + (static_cast<unsigned char>(texte[i]) - 48u);
    }
    return static_cast<int>(negatif ? 0u - valeur : valeur);
}

unsigned int Stouhex(std::string const& texte) {
    unsigned int valeur = 0;
    for (char const c : texte) {
        int const v = valeur_chiffre(c, 16);
        valeur = valeur * 16u + static_cast<unsigned int>(v < 0 ? 0 : v);
    }
    return valeur;
}

std::string sans_blancs(std::string const& texte) {
    std::string::size_type const debut = texte.find_first_not_of(" \t");
    if (debut == std::string::npos) {
        return "";
    }
    return texte.substr(debut, texte.find_last_not_of(" \t") - debut + 1);
}

std::string my_after(std::string const& texte, int position) {
    // Une position negative est prise comme 0 : aucun appelant n'en passe.
    std::string::size_type const p =
        position < 0 ? 0 : static_cast<std::string::size_type>(position);
    return p < texte.size() ? texte.substr(p) : std::string();
}

int valeur_chiffre(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') {
        v = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        v = c - 'A' + 10;
    }
    return v < base ? v : -1;
}
