// Memoire plate de 64 Kio et ses deux chargeurs (image binaire, S-records).
// Les chargeurs lisent tout ce qu'ils vont ecrire avant de toucher la moindre
// case : un fichier refuse laisse la memoire telle que l'utilisateur l'avait. Le
// .bin est lu et verifie par lit_binaire, comme karvela-run le lit ; ses lignes
// sur la sortie d'erreur sont celles de la fenetre.
// Chaque message de diagnostic est une ligne sur la sortie d'erreur, videe aussitot.
#include "simulateur/mem_64k.h"

#include <fstream>
#include <iostream>
#include <vector>

#include "execution/fichiers.h"

namespace {

void message(std::string const& ligne) {
    std::cerr << ligne << std::endl;
}

} // namespace

mem_64k::mem_64k() {
    for (unsigned short& cellule : mem) {
        cellule = 0x00FF;
    }
}

void mem_64k::write_word(unsigned short adresse, unsigned short valeur) {
    if (static_cast<unsigned int>(adresse) + 1 > 0xFFFF) {
        return;
    }
    write_byte(adresse, static_cast<unsigned char>(valeur >> 8));
    write_byte(static_cast<unsigned short>(adresse + 1), static_cast<unsigned char>(valeur & 0xFF));
}

void mem_64k::learn_specific_name_adr(std::string const& nom, unsigned short adresse) {
    name_list.push_back(nom);
    adr_list.push_back(adresse);
}

std::string mem_64k::specific_byte_name(unsigned short adresse) const {
    return "$" + hex2toS(read_byte(adresse));
}

std::string mem_64k::specific_word_name(unsigned short adresse) const {
    return "$" + hex4toS(read_word(adresse));
}

int mem_64k::load_binaire(char* chemin, binaire_lu* lu_rendu) {
    message("c'est parti ..");
    message(std::string("lecture de \"") + chemin + "\"");
    using etat = binaire_lu::etat;
    binaire_lu const lu = lit_binaire(chemin);
    if (lu_rendu != nullptr) {
        *lu_rendu = lu;
    }
    if (lu.e == etat::illisible) {
        message("erreur sur fichier ");
        return 0;
    }
    if (lu.e == etat::sans_entete) {
        message("erreur: fichier plus court que son en-tete de 4 octets");
        return 0;
    }
    message("adresse de base " + std::to_string(lu.base) + " taille " + std::to_string(lu.taille));
    switch (lu.e) {
    case etat::taille_invalide:
        message("erreur: taille invalide (de 4 a 32767 octets attendus)");
        return 0;
    case etat::tronque:
        message("erreur: fichier tronque (" + std::to_string(lu.octets) + " octets au lieu de " +
                std::to_string(lu.taille) + ")");
        return 0;
    case etat::deborde:
        message("erreur: l'image depasse la fin de la memoire");
        return 0;
    default:
        return load_image(lu.base, lu.image);
    }
}

int mem_64k::load_image(unsigned short base, std::vector<unsigned char> const& octets) {
    if (base + octets.size() > taille) {
        return 0;
    }
    for (unsigned short& cellule : mem) {
        cellule = 0;
    }
    for (std::size_t i = 0; i < octets.size(); ++i) {
        write_byte(static_cast<unsigned short>(base + i), octets[i]);
    }
    return 1;
}

int mem_64k::load_s19(char* chemin) {
    std::ifstream fichier(chemin, std::ios::binary);
    if (!fichier) {
        message("erreur de chargement fichier");
        return 0;
    }

    // Lit n caracteres dans champ ; false si le fichier finit avant.
    std::string champ;
    auto lit = [&fichier, &champ](std::size_t n) {
        champ.clear();
        for (std::size_t i = 0; i < n; ++i) {
            int const c = fichier.get();
            if (c == std::char_traits<char>::eof()) {
                return false;
            }
            champ.push_back(static_cast<char>(c));
        }
        return true;
    };

    int resultat = 1;
    for (;;) {
        int const marque = fichier.get();
        if (marque == std::char_traits<char>::eof()) {
            break;
        }
        // get() rend le code non signe : un type au-dela de "1" (ou la fin) clot le chargement.
        int const type = fichier.get();
        if (type == std::char_traits<char>::eof() || type > '1') {
            break;
        }
        if (!lit(2)) {
            break;
        }
        if (marque != 'S') {
            message("erreur: caratere 'S' attendu ...");
            resultat = 0;
            break;
        }
        unsigned int compte = 0;
        if (!lit_hex(champ.data(), 2, compte)) {
            message("erreur: chiffre hexadecimal attendu dans le compte");
            resultat = 0;
            break;
        }
        if (!lit(4)) {
            break;
        }
        unsigned int adresse = 0;
        if (!lit_hex(champ.data(), 4, adresse)) {
            message("erreur: chiffre hexadecimal attendu dans l'adresse");
            resultat = 0;
            break;
        }
        // Enregistrement entier (donnees et somme de controle) lu avant tout stockage.
        std::size_t const nombre = compte > 3 ? compte - 3 : 0;
        if (!lit(2 * nombre + 2)) {
            break;
        }
        std::vector<unsigned char> donnees(nombre);
        bool valides = true;
        for (std::size_t i = 0; i < nombre && valides; ++i) {
            unsigned int octet = 0;
            valides = lit_hex(champ.data() + 2 * i, 2, octet);
            donnees[i] = static_cast<unsigned char>(octet);
        }
        if (!valides) {
            message("erreur: chiffre hexadecimal attendu dans les donnees");
            resultat = 0;
            break;
        }
        if (adresse + nombre > taille) {
            message("erreur: l'enregistrement depasse la fin de la memoire");
            resultat = 0;
            break;
        }
        for (std::size_t i = 0; i < nombre; ++i) {
            write_byte(static_cast<unsigned short>(adresse + i), donnees[i]);
        }

        int c = fichier.get();
        while (c != std::char_traits<char>::eof() && c != 'S') {
            c = fichier.get();
        }
        if (c == std::char_traits<char>::eof()) {
            break;
        }
        fichier.unget();
    }
    return resultat;
}

unsigned char mem_64k::asc2hex(char c) const {
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned char>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<unsigned char>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned char>(c - 'a' + 10);
    }
    return chiffre_invalide;
}

bool mem_64k::lit_hex(char const* texte, int n, unsigned int& valeur) const {
    valeur = 0;
    for (int i = 0; i < n; ++i) {
        unsigned char const chiffre = asc2hex(texte[i]);
        if (chiffre == chiffre_invalide) {
            return false;
        }
        valeur = valeur * 16 + chiffre;
    }
    return true;
}
