// Lecture et evaluation des expressions. Les valeurs restent bornees bien avant
// les limites de long long : des constantes qui doublent de ligne en ligne
// donnent une erreur, jamais un debordement.
#include "assembleur/expression.h"

namespace {

constexpr long long borne_valeur = 1LL << 40; // bien au-dela de toute valeur utile

} // namespace

bool lit_expression(std::vector<jeton> const& jetons, std::size_t& i, int ligne,
                    std::string const& pour, expression& e, std::vector<diagnostic>& diagnostics) {
    e = expression{};
    e.colonne = i < jetons.size() ? jetons[i].colonne : 0;
    for (;;) {
        bool negatif = false;
        while (i < jetons.size() &&
               (jetons[i].sorte == sorte_jeton::plus || jetons[i].sorte == sorte_jeton::moins)) {
            negatif = negatif != (jetons[i].sorte == sorte_jeton::moins);
            ++i;
        }
        if (i >= jetons.size()) {
            int const colonne = jetons.empty() ? 1 : jetons.back().colonne_fin;
            signale(diagnostics, ligne, colonne, "valeur attendue pour " + pour);
            return false;
        }
        jeton const& j = jetons[i];
        if (j.sorte == sorte_jeton::nombre) {
            e.termes.push_back({terme::nombre, negatif, j.valeur, "", j.colonne});
        } else if (j.sorte == sorte_jeton::nom) {
            e.termes.push_back({terme::symbole, negatif, 0, j.texte, j.colonne});
        } else if (j.sorte == sorte_jeton::etoile) {
            e.termes.push_back({terme::etoile, negatif, 0, "", j.colonne});
        } else {
            signale(diagnostics, ligne, j.colonne,
                    "valeur attendue pour " + pour + ", trouvé " + cite(j));
            return false;
        }
        ++i;
        if (i >= jetons.size() ||
            (jetons[i].sorte != sorte_jeton::plus && jetons[i].sorte != sorte_jeton::moins)) {
            return true;
        }
    }
}

bool evalue(expression const& e, long long etoile, cherche_symbole const& cherche,
            std::function<std::string(std::string const&)> const& message_inconnu, int ligne,
            long long& valeur, std::vector<diagnostic>& diagnostics) {
    bool connue = true;
    long long somme = 0;
    for (terme const& t : e.termes) {
        long long v = t.valeur;
        if (t.sorte == terme::etoile) {
            v = etoile;
        } else if (t.sorte == terme::symbole && !cherche(t.nom, v)) {
            signale(diagnostics, ligne, t.colonne, message_inconnu(t.nom));
            connue = false;
            continue;
        }
        somme += t.negatif ? -v : v;
        if (somme > borne_valeur || somme < -borne_valeur) {
            signale(diagnostics, ligne, t.colonne, "valeur démesurée dans l'expression");
            return false;
        }
    }
    valeur = somme;
    return connue;
}
