// Table des symboles d'un assemblage : les noms que le source definit, dans
// l'ordre de leurs definitions (ce que rend programme_assemble::symboles), plus
// les noms predefinis des ports. Recherche par hachage ; la table de l'indice
// « voulez-vous dire » (meme nom a la casse pres) est construite une fois, au
// premier nom inconnu, puis tenue a jour a chaque symbole fixe : chaque indice
// coute une recherche, quel que soit le nombre de noms voisins.
// Rangee par blocs : un source de millions d'etiquettes ne la recopie jamais en
// entier pour l'agrandir.
#ifndef KARVELA_ASSEMBLEUR_SYMBOLES_H
#define KARVELA_ASSEMBLEUR_SYMBOLES_H

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "assembleur/diagnostics.h"

class table_symboles {
  public:
    table_symboles();
    // Indice du nouveau symbole ; -1 et une erreur si le nom est deja pris. Une
    // etiquette prend sa valeur au debut de l'enonce numero attache.
    int definit(std::string_view nom, symbole_source::sorte_symbole sorte, int ligne, int colonne,
                std::uint32_t attache, liste_diagnostics& diagnostics);
    // Donne sa valeur au symbole, connu des lors.
    void fixe(int indice, long long valeur);
    // Valeur d'un nom predefini ou d'un symbole deja fixe.
    bool cherche(std::string_view nom, long long& valeur) const;
    // Vrai si le nom est predefini ou defini quelque part dans le source.
    bool existe(std::string_view nom) const;
    // "étiquette « x » non définie", suivi du nom qui n'en differe que par la casse
    // s'il y en a un parmi les noms fixes (le premier dans l'ordre des octets).
    std::string non_definie(std::string_view nom);
    symbole_source& operator[](int indice) { return liste[static_cast<std::size_t>(indice)]; }
    int nombre() const { return static_cast<int>(liste.size()); }
    std::uint32_t attache(int indice) const { return attaches[static_cast<std::size_t>(indice)]; }
    std::deque<symbole_source> rend() { return std::move(liste); }

  private:
    // Alveole du nom dans la table de hachage, ou la libre ou il irait.
    std::size_t alveole(std::string_view nom, std::uint32_t empreinte) const;
    int indice(std::string_view nom) const;  // -1 s'il n'est pas defini
    std::string_view nom_de(int code) const; // code < 0 : predefini -1 - code
    std::size_t alveole_casse(std::string_view nom) const;
    // Le nom de code, fixe, devient candidat pour l'indice.
    void candidat_casse(int code);

    std::deque<symbole_source> liste;
    std::vector<std::uint32_t> attaches;
    std::vector<bool> fixes;
    struct alveole_nom {
        int indice; // dans liste, -1 libre
        std::uint32_t empreinte;
    };
    std::vector<alveole_nom> alveoles; // au plus a moitie pleine
    // Pour l'indice, par nom en minuscules (hachage a adressage ouvert) : parmi les
    // noms fixes, le premier dans l'ordre des octets.
    std::vector<int> par_casse;
};

#endif
