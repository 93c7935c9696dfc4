// Historique d'edition : regroupement des frappes, annuler, retablir, etat modifie.
// Une version numerote chaque etat du texte : regrouper une frappe en donne une
// nouvelle, si bien qu'un texte enregistre puis tape est bien "modifie".
#include "edition/historique.h"

namespace {

bool blanc(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

bool historique_texte::ajoute_a_la_derniere(int position, std::string const& ote,
                                            std::string const& insere) {
    if (coupe_ || faites_.empty() || insere.find('\n') != std::string::npos ||
        ote.find('\n') != std::string::npos) {
        return false;
    }
    modification& m = faites_.back();
    if (m.insere.find('\n') != std::string::npos || m.ote.find('\n') != std::string::npos) {
        return false; // une fin de ligne clot son groupe
    }
    int const fin_inseree = m.position + static_cast<int>(m.insere.size());
    if (ote.empty() && position == fin_inseree && !m.insere.empty()) {
        // Une frappe de plus ; un blanc apres un mot commence un autre groupe.
        if (blanc(insere.front()) && !blanc(m.insere.back())) {
            return false;
        }
        m.insere += insere;
        return true;
    }
    if (ote.empty() && position == m.position && m.insere.empty()) {
        m.insere = insere; // frappe sur une selection effacee
        return true;
    }
    if (insere.empty() && m.insere.empty()) {
        if (position + static_cast<int>(ote.size()) == m.position) { // retour arriere
            m.position = position;
            m.ote = ote + m.ote;
            return true;
        }
        if (position == m.position) { // touche Suppr
            m.ote += ote;
            return true;
        }
    }
    return false;
}

void historique_texte::note(int position, std::string const& ote, std::string const& insere) {
    if (ote.empty() && insere.empty()) {
        return;
    }
    defaites_.clear();
    if (!ajoute_a_la_derniere(position, ote, insere)) {
        faites_.push_back({position, ote, insere, 0});
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
