// Harnais du chargeur S-record : l'entree est ecrite telle quelle dans un fichier
// temporaire puis chargee sur une memoire remplie d'un motif. Un lecteur de reference,
// ecrit ici d'apres les regles du format, dit quels octets doivent changer : chaque
// octet ecrit vient du champ de donnees d'un enregistrement entierement dans la
// memoire, et le reste garde le motif. La fin du chargement est garantie par le
// -timeout de libFuzzer.
//
// Regles de reference : marque, type (au-dessus de '1' en non signe : fin, resultat
// inchange), compte, test de la marque ('S' sinon erreur), adresse, puis donnees et
// somme de controle (lue sans verification) d'un bloc, puis tout jusqu'au 'S' suivant
// est saute. Chiffres hexadecimaux en majuscules ou minuscules. Chaque champ (compte,
// adresse, bloc donnees et somme) est juge une fois lu en entier : une fin de fichier
// dedans, ou avant le 'S' suivant, clot le chargement avec le resultat acquis ; sinon
// marque autre que 'S', chiffre non hexadecimal ou donnees au-dela de $FFFF sont une
// erreur (resultat 0, rien de l'enregistrement ecrit, fin).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "simulateur/mem_64k.h"
#include "harnais.h"

namespace {

mem_64k memoire;
fichier_entree fichier;
unsigned char attendu[mem_64k::taille];

// Lecteur de reference, sur les octets de l'entree.
class reference {
  public:
    reference(uint8_t const* d, std::size_t n) : donnees(d), taille(n) {}

    // Rend le resultat attendu et ecrit les octets attendus dans attendu[].
    int charge() {
        int resultat = 1;
        for (;;) {
            int const marque = lit();
            int const type = lit();
            if (type < 0 || type > '1') {
                return resultat; // fin de fichier, ou type qui clot le chargement
            }
            std::string champ;
            unsigned int compte = 0;
            if (!lit_champ(2, champ)) {
                return resultat;
            }
            if (marque != 'S' || !valeur_hex(champ, 0, 2, compte)) {
                return 0;
            }
            unsigned int adresse = 0;
            if (!lit_champ(4, champ)) {
                return resultat;
            }
            if (!valeur_hex(champ, 0, 4, adresse)) {
                return 0;
            }
            std::size_t const nombre = compte > 3 ? compte - 3 : 0; // octets de donnees
            if (!lit_champ(2 * nombre + 2, champ)) {
                return resultat; // donnees ou somme de controle coupees
            }
            std::vector<unsigned char> octets(nombre);
            for (std::size_t i = 0; i < nombre; ++i) {
                unsigned int octet = 0;
                if (!valeur_hex(champ, 2 * i, 2, octet)) {
                    return 0;
                }
                octets[i] = static_cast<unsigned char>(octet);
            }
            if (adresse + nombre > mem_64k::taille) {
                return 0;
            }
            for (std::size_t i = 0; i < nombre; ++i) {
                attendu[adresse + i] = octets[i];
            }
            int c;
            while ((c = lit()) >= 0 && c != 'S') {
            }
            if (c < 0) {
                return resultat;
            }
            --position; // ce 'S' est la marque suivante
        }
    }

  private:
    int lit() { return position < taille ? donnees[position++] : -1; }

    // Les n caracteres suivants ; false si le fichier finit avant.
    bool lit_champ(std::size_t n, std::string& champ) {
        if (taille - position < n) {
            position = taille;
            return false;
        }
        champ.assign(reinterpret_cast<char const*>(donnees) + position, n);
        position += n;
        return true;
    }

    static bool valeur_hex(std::string const& champ, std::size_t debut, std::size_t n,
                           unsigned int& valeur) {
        valeur = 0;
        for (std::size_t i = debut; i < debut + n; ++i) {
            char const c = champ[i];
            unsigned int chiffre;
            if (c >= '0' && c <= '9') {
                chiffre = static_cast<unsigned int>(c - '0');
            } else if (c >= 'A' && c <= 'F') {
                chiffre = static_cast<unsigned int>(c - 'A' + 10);
            } else if (c >= 'a' && c <= 'f') {
                chiffre = static_cast<unsigned int>(c - 'a' + 10);
            } else {
                return false;
            }
            valeur = valeur * 16 + chiffre;
        }
        return true;
    }

    uint8_t const* donnees;
    std::size_t taille;
    std::size_t position = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fichier.cree();

    // Un fichier absent (le nom qui vient d'etre efface) est refuse sans toucher a la memoire.
    memoire.write_byte(0x1234, 0xA5);
    int const resultat = memoire.load_s19(fichier.chemin_efface());
    if (resultat != 0 || memoire.read_byte(0x1234) != 0xA5) {
        echec("fichier absent : resultat %d au lieu de 0", resultat);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* donnees, std::size_t taille) {
    fichier.ecrit(donnees, taille);
    for (unsigned int a = 0; a < mem_64k::taille; ++a) {
        memoire.write_byte(static_cast<unsigned short>(a), motif(a));
        attendu[a] = motif(a);
    }
    int const resultat = memoire.load_s19(fichier.chemin());
    int const resultat_attendu = reference(donnees, taille).charge();

    if (resultat != resultat_attendu) {
        echec("resultat %d au lieu de %d", resultat, resultat_attendu);
    }
    for (unsigned int a = 0; a < mem_64k::taille; ++a) {
        unsigned char const octet = memoire.read_byte(static_cast<unsigned short>(a));
        if (octet != attendu[a]) {
            echec("case $%04x = 0x%02x au lieu de 0x%02x (%s)", a, octet, attendu[a],
                  attendu[a] == motif(a) ? "motif d'origine" : "octet de donnees");
        }
    }
    return 0;
}
