// Tous les fichiers a corriger de la classe passent ensemble dans la correction a
// mesure : chaque programme est lu par le fil qui le corrige, ses empreintes
// prises, puis lache. Le choix du meilleur fichier et le bilan ne relisent rien.
#include "promotion/classe.h"

#include <algorithm>
#include <map>
#include <memory>

#include "exercices/rendus.h"
#include "promotion/copies.h"

namespace {

constexpr int echecs_montres = 10;
constexpr long long barres_max = 20; // au-dela, des tranches

void fait_bilan(exercice const& e, classe_corrigee& c) {
    long long const total = e.total();
    long long const pas = total <= barres_max ? 1 : (total + 9) / 10;
    for (long long debut = 0; debut <= total; debut += pas) {
        long long const fin = std::min(total, debut + pas - 1);
        c.bilan.histogramme.push_back(
            {std::to_string(debut) + (fin != debut ? "-" + std::to_string(fin) : ""), 0});
    }
    c.bilan.cas.resize(e.cas.size());
    std::map<std::pair<std::size_t, std::string>, int> echecs;
    for (resultat_etudiant const& r : c.etudiants) {
        ++c.bilan.histogramme[static_cast<std::size_t>(r.copie.points / pas)].nombre;
        if (!r.rendu) {
            continue;
        }
        for (std::size_t k = 0; k < r.copie.cas.size(); ++k) {
            resultat_cas const& rc = r.copie.cas[k];
            ++c.bilan.cas[k].sur;
            c.bilan.cas[k].reussis += rc.reussi ? 1 : 0;
            if (!rc.reussi) {
                ++echecs[{k, rc.message}];
            }
        }
    }
    for (auto const& [cle, n] : echecs) {
        c.bilan.echecs.push_back({cle.first, cle.second, n});
    }
    std::stable_sort(c.bilan.echecs.begin(), c.bilan.echecs.end(),
                     [](echec_frequent const& a, echec_frequent const& b) {
                         return a.nombre != b.nombre ? a.nombre > b.nombre : a.cas < b.cas;
                     });
    if (c.bilan.echecs.size() > echecs_montres) {
        c.bilan.echecs.resize(echecs_montres);
    }
}

// Groupes de copies semblables et bilan, une fois les etudiants corriges.
void acheve(exercice const& e, classe_corrigee& c) {
    std::vector<empreintes> choisies;
    for (resultat_etudiant const& r : c.etudiants) {
        choisies.push_back(r.empreinte);
    }
    c.groupes = groupes_semblables(choisies);
    fait_bilan(e, c);
}

} // namespace

bool classe_corrigee::juste() const {
    return std::all_of(etudiants.begin(), etudiants.end(), [](resultat_etudiant const& r) {
        return r.rendu && r.copie.charge && r.copie.points == r.copie.total &&
               std::all_of(r.copie.cas.begin(), r.copie.cas.end(),
                           [](resultat_cas const& c) { return c.reussi; });
    });
}

classe_corrigee corrige_classe(exercice const& e, classe_lue c, unsigned fils) {
    classe_corrigee classe;
    classe.notes = c.notes;
    // Chaque fichier a corriger, avec son etudiant.
    struct place {
        std::size_t etudiant, fichier;
    };
    std::vector<place> places;
    for (std::size_t i = 0; i < c.etudiants.size(); ++i) {
        for (std::size_t f = 0; f < c.etudiants[i].fichiers.size(); ++f) {
            places.push_back({i, f});
        }
    }
    std::vector<std::string> notes(places.size());
    std::vector<empreintes> empreintes_lues(places.size());
    std::vector<copie_a_lire> a_lire;
    for (std::size_t k = 0; k < places.size(); ++k) {
        fichier_rendu const& f = c.etudiants[places[k].etudiant].fichiers[places[k].fichier];
        std::string* note = &notes[k];
        a_lire.push_back({f.chemin, [&f, note] {
                              return std::make_shared<programme_charge const>(
                                  lit_rendu(f, f.chemin, *note));
                          }});
    }
    std::vector<resultat_copie> resultats =
        corrige_a_mesure(e, a_lire, fils, [&](std::size_t k, programme_charge const& p) {
            empreintes_lues[k] = empreintes_de(p);
        });
    for (std::size_t k = 0; k < places.size(); ++k) {
        if (!notes[k].empty()) {
            resultats[k].notes.push_back(notes[k]);
        }
    }
    // Le meilleur fichier de chacun : le plus de points, puis charge, puis l'ordre
    // de preference (.asm d'abord).
    std::vector<std::size_t> meilleur(c.etudiants.size(), places.size());
    for (std::size_t k = 0; k < places.size(); ++k) {
        std::size_t& m = meilleur[places[k].etudiant];
        if (m == places.size() || resultats[k].points > resultats[m].points ||
            (resultats[k].points == resultats[m].points && resultats[k].charge &&
             !resultats[m].charge)) {
            m = k;
        }
    }
    for (std::size_t i = 0; i < c.etudiants.size(); ++i) {
        resultat_etudiant r;
        r.qui = std::move(c.etudiants[i]);
        r.notes = r.qui.notes;
        std::size_t const m = meilleur[i];
        r.rendu = m != places.size();
        if (r.rendu) {
            r.fichier = r.qui.fichiers[places[m].fichier].chemin;
            r.copie = std::move(resultats[m]);
            r.empreinte = std::move(empreintes_lues[m]);
            r.notes.insert(r.notes.end(), r.copie.notes.begin(), r.copie.notes.end());
            r.copie.notes.clear();
            for (std::size_t k = 0; k < places.size(); ++k) {
                if (places[k].etudiant == i && k != m) {
                    r.autres.push_back({resultats[k].fichier, resultats[k].points});
                }
            }
        } else {
            r.copie.total = e.total();
            for (cas_exercice const& cas : e.cas) {
                resultat_cas rc;
                rc.nom = cas.nom;
                rc.points_max = cas.points;
                rc.message = "aucun fichier à corriger";
                r.copie.cas.push_back(rc);
            }
        }
        classe.etudiants.push_back(std::move(r));
    }
    acheve(e, classe);
    return classe;
}

classe_corrigee classe_des_copies(exercice const& e, std::vector<resultat_copie> copies,
                                  std::vector<empreintes> const& empreintes_copies) {
    classe_corrigee classe;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        resultat_etudiant r;
        r.qui.nom = copies[i].fichier;
        r.qui.dossier = copies[i].fichier;
        r.rendu = true;
        r.fichier = copies[i].fichier;
        r.notes = copies[i].notes;
        r.copie = std::move(copies[i]);
        if (i < empreintes_copies.size()) {
            r.empreinte = empreintes_copies[i];
        }
        classe.etudiants.push_back(std::move(r));
    }
    acheve(e, classe);
    return classe;
}

std::string nom_etudiant(etudiant const& e) {
    return e.nom + (e.identifiant.empty() ? "" : " (" + e.identifiant + ")");
}
