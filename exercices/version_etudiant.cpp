// Les lignes de chaque cas cache viennent des regions de toml++ : son en-tete, et
// la plus basse de ses cles et valeurs (la region d'une table ne couvre que son
// en-tete). La version faite est relue : elle doit avoir les cas visibles, dans
// leur ordre, et rien d'autre.
#include "exercices/version_etudiant.h"

#include <toml++/toml.h>

#include <algorithm>

#include "exercices/exercice.h"

namespace {

// La derniere ligne d'un noeud et de tout ce qu'il contient.
std::size_t fin_de(toml::node const& n) {
    std::size_t fin = n.source().end.line;
    if (toml::table const* t = n.as_table()) {
        for (auto const& [cle, v] : *t) {
            fin = std::max({fin, static_cast<std::size_t>(cle.source().end.line), fin_de(v)});
        }
    } else if (toml::array const* a = n.as_array()) {
        for (toml::node const& v : *a) {
            fin = std::max(fin, fin_de(v));
        }
    }
    return fin;
}

bool blanche(std::string const& l) {
    return l.find_first_not_of(" \t\r\n") == std::string::npos;
}

bool commentaire(std::string const& l) {
    std::size_t const d = l.find_first_not_of(" \t");
    return d != std::string::npos && l[d] == '#';
}

} // namespace

version_etudiant version_pour_etudiant(std::string const& texte) {
    version_etudiant v;
    exercice_lu const lu = lit_exercice(texte);
    if (!lu.valide()) {
        v.erreur = "l'exercice a des erreurs : rien n'est écrit";
        return v;
    }
    std::vector<std::string> visibles;
    for (cas_exercice const& c : lu.exo.cas) {
        if (!c.cache) {
            visibles.push_back(c.nom);
        }
    }
    if (visibles.size() == lu.exo.cas.size()) {
        v.texte = texte;
        return v;
    }
    if (visibles.empty()) {
        v.erreur = "tous les cas sont cachés : la version de l'étudiant n'en aurait aucun";
        return v;
    }
    toml::table const racine = toml::parse(texte);
    toml::array const& cas = *racine["cas"].as_array();
    // Les lignes, fins de ligne comprises, comptees de 1.
    std::vector<std::string> lignes{""};
    for (std::size_t debut = 0; debut < texte.size();) {
        std::size_t fin = texte.find('\n', debut);
        fin = fin == std::string::npos ? texte.size() : fin + 1;
        lignes.push_back(texte.substr(debut, fin - debut));
        debut = fin;
    }
    std::vector<bool> otee(lignes.size(), false);
    for (std::size_t i = 0; i < cas.size() && i < lu.exo.cas.size(); ++i) {
        toml::table const& t = *cas[i].as_table();
        if (!lu.exo.cas[i].cache) {
            continue;
        }
        if (t.is_inline()) {
            v.erreur = "le cas caché « " + lu.exo.cas[i].nom +
                       " » est écrit dans un tableau : écrivez chaque cas caché sous son [[cas]]";
            return v;
        }
        std::size_t debut = t.source().begin.line;
        std::size_t fin = std::min(fin_de(t), lignes.size() - 1);
        while (debut > 1 && commentaire(lignes[debut - 1])) {
            --debut;
        }
        // Apres lui, jusqu'a la derniere ligne vide avant la suite : les
        // commentaires colles a la suite restent les siens.
        std::size_t apres = fin + 1, vide = 0;
        while (apres < lignes.size() && (blanche(lignes[apres]) || commentaire(lignes[apres]))) {
            vide = blanche(lignes[apres]) ? apres : vide;
            ++apres;
        }
        fin = apres >= lignes.size() ? lignes.size() - 1 : std::max(fin, vide);
        for (std::size_t l = debut; l <= fin; ++l) {
            otee[l] = true;
        }
    }
    for (std::size_t l = 1; l < lignes.size(); ++l) {
        if (!otee[l]) {
            v.texte += lignes[l];
        }
    }
    exercice_lu const relu = lit_exercice(v.texte);
    std::vector<std::string> noms;
    for (cas_exercice const& c : relu.exo.cas) {
        noms.push_back(c.nom);
    }
    if (!relu.valide() || noms != visibles) {
        v.texte.clear();
        v.erreur =
            "la version de l'étudiant ne se relit pas comme l'exercice sans ses cas cachés : "
            "écrivez chaque cas caché sous son propre [[cas]]";
    }
    return v;
}
