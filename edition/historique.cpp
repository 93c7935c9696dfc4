// Historique d'edition : regroupement des frappes, annuler, retablir, etat modifie.
// Une version numerote chaque etat du texte : regrouper une frappe en donne une
// nouvelle, si bien qu'un texte enregistre puis tape est bien "modifie".
// Seule une frappe (un caractere, meme de plusieurs octets) s'ajoute a un pas ; un
// texte insere d'un coup (collage, glisser) ferme le sien, et ce qui suit en
// ouvre un autre.
#include "edition/historique.h"

namespace {

bool blanc(char c) {
    return c == ' ' || c == '\t';
}

// Caracteres UTF-8 du texte : les octets de suite (10xxxxxx) ne comptent pas.
int caracteres(std::string const& t) {
    int n = 0;
    for (char const c : t) {
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return n;
}

bool fin_de_ligne(std::string const& t) {
    return t.find('\n') != std::string::npos;
}

int fin(int position, std::string const& t) {
    return position + static_cast<int>(t.size());
}

} // namespace

bool historique_texte::ajoute_au_dernier(int position, std::string const& ote,
                                         std::string const& insere) {
    if (coupe_ || faites_.empty()) {
        return false;
    }
    modification& m = faites_.back();
    if (ote.empty()) {
        // Une frappe de plus au bout de ce qui est tape, ou a la place d'une
        // selection effacee ; un blanc apres un mot commence un autre pas.
        bool const mot_fini = blanc(insere.front()) && !m.insere.empty() && !blanc(m.insere.back());
        if (position != fin(m.position, m.insere) ||
            !(dernier_ == sorte_pas::selection || (dernier_ == sorte_pas::frappe && !mot_fini))) {
            return false;
        }
        m.insere += insere;
        dernier_ = sorte_pas::frappe;
        return true;
    }
    if (insere.empty()) {
        // Un effacement seul ne dit pas encore sa touche : le suivant la dit.
        bool const peut_arriere =
            dernier_ == sorte_pas::effacement || dernier_ == sorte_pas::arriere;
        bool const peut_avant = dernier_ == sorte_pas::effacement || dernier_ == sorte_pas::avant;
        if (peut_arriere && fin(position, ote) == m.position) {
            m.position = position;
            m.ote = ote + m.ote;
            dernier_ = sorte_pas::arriere;
            return true;
        }
        if (peut_avant && position == m.position) {
            m.ote += ote;
            dernier_ = sorte_pas::avant;
            return true;
        }
        return false;
    }
    // Refrappe : un caractere remplace le suivant, au bout de la suite.
    if (dernier_ == sorte_pas::refrappe && position == fin(m.position, m.insere)) {
        m.ote += ote;
        m.insere += insere;
        return true;
    }
    return false;
}

void historique_texte::note(int position, std::string const& ote, std::string const& insere,
                            geste_edition geste) {
    if (ote.empty() && insere.empty()) {
        return;
    }
    defaites_.clear();
    int const otes = caracteres(ote), inseres = caracteres(insere);
    bool const frappe = geste == geste_edition::frappe ||
                        (geste == geste_edition::deduit && inseres <= 1 && otes <= 1);
    bool const ligne = fin_de_ligne(ote) || fin_de_ligne(insere);
    if (!frappe || ligne || !ajoute_au_dernier(position, ote, insere)) {
        faites_.push_back({position, ote, insere, 0});
        if (insere.empty() && otes > 1 && geste != geste_edition::collage) {
            dernier_ = sorte_pas::selection; // ce qui se tape ensuite la remplace
        } else if (!frappe || ligne) {
            dernier_ = sorte_pas::ferme; // collage, fin de ligne : un pas a lui seul
        } else {
            dernier_ = insere.empty() ? sorte_pas::effacement
                       : ote.empty()  ? sorte_pas::frappe
                                      : sorte_pas::refrappe;
        }
    }
    faites_.back().version = prochaine_version_++;
    coupe_ = false;
}

modification const* historique_texte::passe(std::vector<modification>& de,
                                            std::vector<modification>& vers) {
    if (de.empty()) {
        return nullptr;
    }
    rendue_ = de.back();
    de.pop_back();
    vers.push_back(rendue_);
    coupe_ = true;
    return &rendue_;
}

modification const* historique_texte::annule() {
    return passe(faites_, defaites_);
}

modification const* historique_texte::retablit() {
    return passe(defaites_, faites_);
}

void historique_texte::marque_enregistre() {
    version_enregistree_ = version();
    coupe_ = true;
}

void historique_texte::vide() {
    faites_.clear();
    defaites_.clear();
    version_enregistree_ = 0;
    coupe_ = true;
}
