// Memoire plate de 64 Kio de la machine a pile, et ses deux chargeurs.
// Invariants : chaque case ne porte que 8 bits utiles (0..255) ; une memoire
// neuve lit 0xFF partout ; name_list et adr_list ont toujours la meme longueur.
// Tout acces a la memoire, depuis n'importe quelle partie, passe par ces accesseurs.
#ifndef KARVELA_MEM_64K_H
#define KARVELA_MEM_64K_H

#include <string>
#include <vector>

#include "chaines/chaines.h"

struct binaire_lu; // execution/fichiers.h

class mem_64k {
  public:
    static constexpr unsigned int taille = 0x10000; // nombre de cases adressables

    mem_64k();

    unsigned char read_byte(unsigned short adresse) const { return mem[adresse] & 0xFF; }
    void write_byte(unsigned short adresse, unsigned char valeur) { mem[adresse] = valeur; }
    // Mot gros-boutiste ; a 0xFFFF, lecture 0 et ecriture sans effet (pas de repli sur 0).
    unsigned short read_word(unsigned short adresse) const {
        // Test fait en int : adresse + 1 ne peut pas se replier sur 0.
        if (static_cast<unsigned int>(adresse) + 1 > 0xFFFF) {
            return 0;
        }
        return static_cast<unsigned short>(read_byte(adresse) << 8 | read_byte(adresse + 1));
    }
    void write_word(unsigned short adresse, unsigned short valeur);

    void learn_specific_name_adr(std::string const& nom, unsigned short adresse);
    std::string specific_byte_name(unsigned short adresse) const; // "$3c"
    std::string specific_word_name(unsigned short adresse) const; // "$12ab"

    // Chargeurs : 1 en cas de succes, 0 en cas d'echec ; messages sur la sortie d'erreur.
    // Ce qui a ete lu du .bin, si lu est donne : l'appelant en tire le programme
    // charge, ou la raison d'un fichier illisible (introuvable, tube, dossier...),
    // sans relire le fichier.
    int load_binaire(char* chemin, binaire_lu* lu = nullptr);
    int load_s19(char* chemin);
    // Une image deja en memoire vive (programme assemble), chargee comme un .bin :
    // toutes les cases a 0, puis les octets a partir de base. 0, sans rien toucher,
    // si elle depasse $FFFF. Aucun message.
    int load_image(unsigned short base, std::vector<unsigned char> const& octets);

  private:
    static constexpr unsigned char chiffre_invalide = 0xFF; // asc2hex hors de 0-9, a-f, A-F

    // Valeur 0..15 d'un chiffre hexadecimal (majuscule ou minuscule), chiffre_invalide sinon.
    unsigned char asc2hex(char c) const;
    // Valeur des n chiffres hexadecimaux de texte ; false si l'un d'eux n'en est pas un.
    bool lit_hex(char const* texte, int n, unsigned int& valeur) const;

    unsigned short mem[taille];
    list_String name_list;
    list_int adr_list;
};

#endif
