// Table de hachage a adressage ouvert : huit octets par alveole (indice et
// empreinte du nom, qui evite de relire les noms qui ne sont pas le bon), deux a
// quatre alveoles par symbole, quand une table associative coute un noeud et une
// copie du nom par symbole.
#include "assembleur/symboles.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>

#include "chaines/chaines.h"
#include "simulateur/port_es.h"

namespace {

struct predefini {
    char const* nom;
    unsigned short adresse;
};
// Les registres des ports, nommes comme sur la fenetre.
const predefini predefinis[] = {
    {"PORTA", ports_machine[0].adresse_valeur}, {"PORTB", ports_machine[1].adresse_valeur},
    {"PORTC", ports_machine[2].adresse_valeur}, {"DDRC", ports_machine[2].adresse_direction},
    {"PORTD", ports_machine[3].adresse_valeur}, {"DDRD", ports_machine[3].adresse_direction},
    {"PORTE", ports_machine[4].adresse_valeur},
};

predefini const* predefini_nomme(std::string_view nom) {
    for (predefini const& p : predefinis) {
        if (nom == p.nom) {
            return &p;
        }
    }
    return nullptr;
}

// Les noms sont ASCII : pas besoin de la locale.
char minuscule(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool egaux_sans_casse(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return minuscule(x) == minuscule(y);
           });
}

// FNV-1a du nom en minuscules.
std::size_t hache_sans_casse(std::string_view nom) {
    std::size_t h = 14695981039346656037ull;
    for (char c : nom) {
        h = (h ^ static_cast<unsigned char>(minuscule(c))) * 1099511628211ull;
    }
    return h;
}

constexpr std::size_t alveoles_initiales = 64;
constexpr int alveole_libre = INT32_MIN; // les codes negatifs sont les noms predefinis

std::uint32_t empreinte_de(std::string_view nom) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>()(nom));
}

} // namespace

table_symboles::table_symboles() : alveoles(alveoles_initiales, {-1, 0}) {}

std::size_t table_symboles::alveole(std::string_view nom, std::uint32_t empreinte) const {
    std::size_t const masque = alveoles.size() - 1;
    std::size_t a = empreinte & masque;
    while (alveoles[a].indice >= 0 &&
           (alveoles[a].empreinte != empreinte ||
            liste[static_cast<std::size_t>(alveoles[a].indice)].nom != nom)) {
        a = (a + 1) & masque;
    }
    return a;
}

int table_symboles::indice(std::string_view nom) const {
    return alveoles[alveole(nom, empreinte_de(nom))].indice;
}

int table_symboles::definit(std::string_view nom, symbole_source::sorte_symbole sorte, int ligne,
                            int colonne, std::uint32_t attache, liste_diagnostics& diagnostics) {
    if (predefini const* p = predefini_nomme(nom)) {
        diagnostics.ajoute(true, ligne, colonne,
                           "« " + std::string(nom) + " » est un nom prédéfini ($" +
                               hex4toS(p->adresse) + ") : choisir un autre nom");
        return -1;
    }
    std::uint32_t const empreinte = empreinte_de(nom);
    std::size_t const a = alveole(nom, empreinte);
    if (alveoles[a].indice >= 0) {
        symbole_source const& s = liste[static_cast<std::size_t>(alveoles[a].indice)];
        diagnostics.ajoute(
            true, ligne, colonne,
            (s.sorte == symbole_source::etiquette ? "étiquette « " : "constante « ") +
                std::string(nom) + " » déjà définie ligne " + std::to_string(s.ligne));
        return -1;
    }
    int const nouveau = static_cast<int>(liste.size());
    liste.push_back({std::string(nom), 0, sorte, symbole_source::aucune, ligne, colonne});
    attaches.push_back(attache);
    fixes.push_back(false);
    alveoles[a] = {nouveau, empreinte};
    if (2 * liste.size() > alveoles.size()) {
        // Les empreintes suffisent a replacer chacun, sans relire les noms.
        std::vector<alveole_nom> anciennes(2 * alveoles.size(), {-1, 0});
        anciennes.swap(alveoles);
        std::size_t const masque = alveoles.size() - 1;
        for (alveole_nom const& x : anciennes) {
            if (x.indice >= 0) {
                std::size_t b = x.empreinte & masque;
                while (alveoles[b].indice >= 0) {
                    b = (b + 1) & masque;
                }
                alveoles[b] = x;
            }
        }
    }
    return nouveau;
}

void table_symboles::fixe(int indice, long long valeur) {
    liste[static_cast<std::size_t>(indice)].valeur = valeur;
    fixes[static_cast<std::size_t>(indice)] = true;
    if (!par_casse.empty()) {
        candidat_casse(indice);
    }
}

bool table_symboles::cherche(std::string_view nom, long long& valeur) const {
    if (predefini const* p = predefini_nomme(nom)) {
        valeur = p->adresse;
        return true;
    }
    int const k = indice(nom);
    if (k < 0 || !fixes[static_cast<std::size_t>(k)]) {
        return false;
    }
    valeur = liste[static_cast<std::size_t>(k)].valeur;
    return true;
}

bool table_symboles::existe(std::string_view nom) const {
    return predefini_nomme(nom) != nullptr || indice(nom) >= 0;
}

std::string_view table_symboles::nom_de(int code) const {
    return code >= 0 ? std::string_view(liste[static_cast<std::size_t>(code)].nom)
                     : std::string_view(predefinis[-1 - code].nom);
}

std::size_t table_symboles::alveole_casse(std::string_view nom) const {
    std::size_t const masque = par_casse.size() - 1;
    std::size_t a = hache_sans_casse(nom) & masque;
    while (par_casse[a] != alveole_libre && !egaux_sans_casse(nom_de(par_casse[a]), nom)) {
        a = (a + 1) & masque;
    }
    return a;
}

void table_symboles::candidat_casse(int code) {
    int& meilleur = par_casse[alveole_casse(nom_de(code))];
    if (meilleur == alveole_libre || nom_de(code) < nom_de(meilleur)) {
        meilleur = code;
    }
}

std::string table_symboles::non_definie(std::string_view nom) {
    if (par_casse.empty()) {
        std::size_t taille = alveoles_initiales;
        while (taille < 2 * (liste.size() + std::size(predefinis))) {
            taille *= 2;
        }
        par_casse.assign(taille, alveole_libre);
        for (int code = -static_cast<int>(std::size(predefinis)); code < nombre(); ++code) {
            if (code < 0 || fixes[static_cast<std::size_t>(code)]) {
                candidat_casse(code);
            }
        }
    }
    std::string const message = "étiquette « " + std::string(nom) + " » non définie";
    int const meilleur = par_casse[alveole_casse(nom)];
    return meilleur == alveole_libre
               ? message
               : message + " (voulez-vous dire « " + std::string(nom_de(meilleur)) + " » ?)";
}
