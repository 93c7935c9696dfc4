// Lecture et evaluation des expressions. Les valeurs restent bornees bien avant
// les limites de long long : des constantes qui doublent de ligne en ligne
// donnent une erreur, jamais un debordement.
#include "assembleur/expression.h"

namespace {

constexpr long long borne_valeur = 1LL << 40; // bien au-dela de toute valeur utile

} // namespace

bool lit_expression(flot_jetons& f, int ligne, std::string const& pour,
                    liste_diagnostics& diagnostics,
                    std::function<void(terme const&)> const& chaque_terme, int& colonne) {
    colonne = f.regarde() ? f.regarde()->colonne : 0;
    for (;;) {
        bool negatif = false;
        for (jeton const* j;
             (j = f.regarde()) && (j->sorte == sorte_jeton::plus || j->sorte == sorte_jeton::moins);
             f.avance()) {
            negatif = negatif != (j->sorte == sorte_jeton::moins);
        }
        jeton const* j = f.regarde();
        if (j == nullptr) {
            signale(diagnostics, ligne, f.colonne_fin(), "valeur attendue pour " + pour);
            return false;
        }
        if (j->sorte == sorte_jeton::nombre) {
            chaque_terme({terme::nombre, negatif, j->valeur, {}, j->colonne});
        } else if (j->sorte == sorte_jeton::nom) {
            chaque_terme({terme::symbole, negatif, 0, j->texte, j->colonne});
        } else if (j->sorte == sorte_jeton::etoile) {
            chaque_terme({terme::etoile, negatif, 0, {}, j->colonne});
        } else {
            signale(diagnostics, ligne, j->colonne,
                    "valeur attendue pour " + pour + ", trouvé " + cite(*j));
            return false;
        }
        f.avance();
        j = f.regarde();
        if (j == nullptr || (j->sorte != sorte_jeton::plus && j->sorte != sorte_jeton::moins)) {
            return true;
        }
    }
}

somme_termes::somme_termes(long long e, cherche_symbole c, message_inconnu m, int l,
                           liste_diagnostics& d)
    : etoile(e), cherche(std::move(c)), message(std::move(m)), ligne(l), diagnostics(d) {}

void somme_termes::ajoute(terme const& t) {
    if (demesuree) {
        return;
    }
    long long v = t.valeur;
    if (t.sorte == terme::etoile) {
        v = etoile;
    } else if (t.sorte == terme::symbole && !cherche(t.nom, v)) {
        // Le message (et son indice « voulez-vous dire ») n'est forme que s'il sera garde.
        signale(diagnostics, ligne, t.colonne,
                diagnostics.garde(ligne, t.colonne) ? message(t.nom) : std::string());
        connue = false;
        return;
    }
    somme += t.negatif ? -v : v;
    if (somme > borne_valeur || somme < -borne_valeur) {
        signale(diagnostics, ligne, t.colonne, "valeur démesurée dans l'expression");
        demesuree = true;
    }
}

bool somme_termes::valeur(long long& v) const {
    if (!demesuree) {
        v = somme; // meme partielle : une constante fautive garde ce qui est connu
    }
    return connue && !demesuree;
}
