// Les deux passages de l'assembleur. Le premier fixe l'adresse de chaque enonce et
// la valeur de chaque symbole (.org et constantes n'utilisent que des noms deja
// definis) ; le second evalue les operandes, toutes references connues, et encode.
// L'image ne sort que d'un source sans erreur ; sinon image et lignes restent vides.
#include "assembleur/assembleur.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "assembleur/lecture.h"
#include "chaines/chaines.h"
#include "simulateur/interpreteur.h"
#include "simulateur/port_es.h"

namespace {

constexpr long long fin_memoire = 0x10000;
// Ce que load_binaire accepte : taille signee sur 16 bits, en-tete de 4 octets compris.
constexpr long long plus_grande_image = 0x7FFF - 4;

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

struct bornes {
    long long min, max;
    char const* texte;
};
constexpr bornes bornes_octet{-128, 255, "-128..255"};
constexpr bornes bornes_adresse{0, 0xFFFF, "0..65535"};
constexpr bornes bornes_mot{-32768, 0xFFFF, "-32768..65535"};

std::string adresse_texte(long long a) {
    return "$" + hex4toS(static_cast<int>(a));
}

std::string minuscules(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

class assemblage {
  public:
    explicit assemblage(programme_assemble& p) : resultat(p), diagnostics(p.diagnostics) {
        for (predefini const& d : predefinis) {
            symboles[d.nom] = {d.adresse, 0, symbole::predefini};
        }
    }

    void premier_passage(std::vector<enonce> const& enonces) {
        for (enonce const& e : enonces) {
            if (!e.etiquette.empty()) {
                a_definir.insert(e.etiquette);
            }
            if (e.sorte == enonce::constante) {
                a_definir.insert(e.nom);
            }
        }
        long long adresse = 0;
        bool deborde = false; // deja signale depuis le dernier .org
        for (enonce const& e : enonces) {
            if (!e.etiquette.empty()) {
                definit(e.etiquette, e.ligne, e.colonne_etiquette, adresse, symbole::etiquette);
            }
            if (e.sorte == enonce::constante) {
                long long v = 0;
                valeur_deja_connue(e, adresse, v);
                definit(e.nom, e.ligne, e.colonne_nom, v, symbole::constante);
            } else if (e.sorte == enonce::org) {
                long long v = 0;
                if (valeur_deja_connue(e, adresse, v) && dans(e, v, bornes_adresse, ".org")) {
                    adresse = v;
                    deborde = false;
                }
            }
            long long const taille = taille_enonce(e);
            if (taille > 0) {
                bool const tient = adresse + taille <= fin_memoire;
                if (!tient && !deborde) {
                    erreur(e, e.colonne_mot,
                           "« " + e.mot + " » en " + adresse_texte(adresse) +
                               " dépasserait la fin de la mémoire ($ffff)");
                    deborde = true;
                }
                places.push_back({&e, adresse, tient});
            }
            adresse += taille;
        }
    }

    void second_passage() {
        std::vector<enonce const*> sources;
        for (place const& p : places) {
            if (!p.tient) {
                continue;
            }
            ligne_assemblee l{p.e->ligne,
                              static_cast<unsigned short>(p.adresse),
                              {},
                              p.e->sorte == enonce::instruction};
            encode(*p.e, p.adresse, l.octets);
            resultat.lignes.push_back(l);
            sources.push_back(p.e);
        }
        construit_image(sources);
    }

  private:
    struct symbole {
        long long valeur;
        int ligne;
        enum sorte_symbole { predefini, etiquette, constante } sorte;
    };
    struct place {
        enonce const* e;
        long long adresse;
        bool tient; // dans la memoire
    };

    void erreur(enonce const& e, int colonne, std::string const& message) {
        diagnostics.push_back({true, e.ligne, colonne, message});
    }

    void definit(std::string const& nom, int ligne, int colonne, long long valeur,
                 symbole::sorte_symbole sorte) {
        auto const deja = symboles.find(nom);
        if (deja == symboles.end()) {
            symboles[nom] = {valeur, ligne, sorte};
            return;
        }
        symbole const& s = deja->second;
        std::string message;
        if (s.sorte == symbole::predefini) {
            message = "« " + nom + " » est un nom prédéfini (" + adresse_texte(s.valeur) +
                      ") : choisir un autre nom";
        } else {
            message = (s.sorte == symbole::etiquette ? "étiquette « " + nom + " » déjà définie"
                                                     : "constante « " + nom + " » déjà définie") +
                      " ligne " + std::to_string(s.ligne);
        }
        diagnostics.push_back({true, ligne, colonne, message});
    }

    bool cherche(std::string const& nom, long long& valeur) const {
        auto const s = symboles.find(nom);
        if (s == symboles.end()) {
            return false;
        }
        valeur = s->second.valeur;
        return true;
    }

    std::string non_definie(std::string const& nom) const {
        std::string message = "étiquette « " + nom + " » non définie";
        for (auto const& s : symboles) {
            if (minuscules(s.first) == minuscules(nom)) {
                return message + " (voulez-vous dire « " + s.first + " » ?)";
            }
        }
        return message;
    }

    // Valeur de .org ou d'une constante, avec les seuls noms definis plus haut.
    bool valeur_deja_connue(enonce const& e, long long etoile, long long& v) {
        auto const message = [this, &e](std::string const& nom) {
            if (a_definir.count(nom)) {
                return "« " + nom + " » n'est pas encore défini ici : " +
                       (e.sorte == enonce::org ? std::string(".org") : "une constante") +
                       " n'utilise que des noms définis plus haut";
            }
            return non_definie(nom);
        };
        return evalue(
            e.elements[0].valeur, etoile,
            [this](std::string const& nom, long long& valeur) { return cherche(nom, valeur); },
            message, e.ligne, v, diagnostics);
    }

    bool dans(enonce const& e, long long v, bornes const& b, std::string const& pour) {
        if (v >= b.min && v <= b.max) {
            return true;
        }
        erreur(e, e.elements.empty() ? e.colonne_mot : e.elements[0].valeur.colonne,
               "valeur " + std::to_string(v) + " hors de " + b.texte + " pour " + pour);
        return false;
    }

    // Valeur d'un operande ou d'une donnee, toutes references connues ; 0 si fautive.
    long long valeur(enonce const& e, expression const& x, long long etoile, bornes const& b,
                     std::string const& pour) {
        long long v = 0;
        bool const connue = evalue(
            x, etoile, [this](std::string const& nom, long long& val) { return cherche(nom, val); },
            [this](std::string const& nom) { return non_definie(nom); }, e.ligne, v, diagnostics);
        if (!connue) {
            return 0;
        }
        if (v < b.min || v > b.max) {
            erreur(e, x.colonne,
                   "valeur " + std::to_string(v) + " hors de " + b.texte + " pour " + pour);
            return 0;
        }
        return v;
    }

    static void mot(std::vector<unsigned char>& octets, long long v) {
        octets.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
        octets.push_back(static_cast<unsigned char>(v & 0xFF));
    }

    void encode(enonce const& e, long long adresse, std::vector<unsigned char>& octets) {
        std::string const pour = e.sorte == enonce::instruction
                                     ? internal_mp_interpreteur_libelle_instruction[e.opcode]
                                     : e.mot;
        if (e.sorte == enonce::instruction) {
            octets.push_back(static_cast<unsigned char>(e.opcode));
            int const taille = internal_mp_interpreteur_taille_instruction[e.opcode];
            if (taille == 1) {
                return;
            }
            if (!e.operande_lu) {
                octets.resize(static_cast<std::size_t>(taille), 0);
            } else if (taille == 2) {
                octets.push_back(static_cast<unsigned char>(
                    valeur(e, e.elements[0].valeur, adresse, bornes_octet, pour) & 0xFF));
            } else if (est_branchement(e.opcode)) {
                // Deplacement depuis l'opcode du branchement, modulo 65536.
                long long const cible =
                    valeur(e, e.elements[0].valeur, adresse, bornes_adresse, pour);
                mot(octets, cible - adresse);
            } else {
                mot(octets, valeur(e, e.elements[0].valeur, adresse, bornes_adresse, pour));
            }
            return;
        }
        for (element const& v : e.elements) {
            if (v.est_chaine) {
                octets.insert(octets.end(), v.chaine.begin(), v.chaine.end());
            } else if (e.sorte == enonce::octets) {
                octets.push_back(static_cast<unsigned char>(
                    valeur(e, v.valeur, adresse, bornes_octet, pour) & 0xFF));
            } else {
                mot(octets, valeur(e, v.valeur, adresse, bornes_mot, pour));
            }
        }
    }

    // Deux lignes qui stockent a une meme adresse : la plus basse dans le source
    // garde la case, l'autre est signalee. Lignes triees par adresse, chacune
    // comparee a celle qui s'etend le plus loin avant elle.
    void verifie_recouvrements(std::vector<enonce const*> const& sources) {
        auto const& lignes = resultat.lignes;
        std::vector<std::size_t> ordre(lignes.size());
        for (std::size_t k = 0; k < ordre.size(); ++k) {
            ordre[k] = k;
        }
        std::sort(ordre.begin(), ordre.end(), [&lignes](std::size_t a, std::size_t b) {
            return lignes[a].adresse != lignes[b].adresse ? lignes[a].adresse < lignes[b].adresse
                                                          : a < b;
        });
        std::vector<bool> deja(lignes.size(), false); // une erreur par ligne suffit
        std::size_t couvrante = ordre.empty() ? 0 : ordre[0];
        for (std::size_t n = 1; n < ordre.size(); ++n) {
            std::size_t const k = ordre[n];
            std::size_t const signalee = std::max(k, couvrante);
            if (lignes[k].adresse < fin(lignes[couvrante]) && !deja[signalee]) {
                deja[signalee] = true;
                erreur(*sources[signalee], sources[signalee]->colonne_mot,
                       "l'adresse " + adresse_texte(lignes[k].adresse) +
                           " est déjà occupée par la ligne " +
                           std::to_string(lignes[std::min(k, couvrante)].ligne));
            }
            if (fin(lignes[k]) > fin(lignes[couvrante])) {
                couvrante = k;
            }
        }
    }

    // Verifie recouvrements et taille, puis remplit l'image de la plus basse a la
    // plus haute adresse stockee.
    void construit_image(std::vector<enonce const*> const& sources) {
        verifie_recouvrements(sources);
        std::size_t plus_basse = 0, plus_haute = 0;
        for (std::size_t k = 0; k < resultat.lignes.size(); ++k) {
            ligne_assemblee const& l = resultat.lignes[k];
            if (l.adresse < resultat.lignes[plus_basse].adresse) {
                plus_basse = k;
            }
            if (fin(l) > fin(resultat.lignes[plus_haute])) {
                plus_haute = k;
            }
        }
        if (resultat.lignes.empty()) {
            if (resultat.reussi()) {
                diagnostics.push_back(
                    {false, 1, 1, "programme vide : aucune instruction ni donnée"});
            }
            return;
        }
        long long const base = resultat.lignes[plus_basse].adresse;
        long long const taille = fin(resultat.lignes[plus_haute]) - base;
        if (taille > plus_grande_image) {
            enonce const& e = *sources[plus_haute];
            erreur(e, e.colonne_mot,
                   "le programme s'étend de " + adresse_texte(base) + " à " +
                       adresse_texte(base + taille - 1) + " (" + std::to_string(taille) +
                       " octets) : le chargeur en accepte au plus " +
                       std::to_string(plus_grande_image));
        }
        if (!resultat.reussi()) {
            resultat.lignes.clear();
            return;
        }
        if (base != 0) {
            enonce const& e = *sources[plus_basse];
            diagnostics.push_back({false, e.ligne, e.colonne_mot,
                                   "rien n'est stocké en $0000, où le processeur démarre "
                                   "(premier octet en " +
                                       adresse_texte(base) + ")"});
        }
        resultat.base = static_cast<unsigned short>(base);
        resultat.image.assign(static_cast<std::size_t>(taille), 0);
        for (ligne_assemblee const& l : resultat.lignes) {
            std::copy(l.octets.begin(), l.octets.end(),
                      resultat.image.begin() + static_cast<long long>(l.adresse - base));
        }
    }

    static long long fin(ligne_assemblee const& l) {
        return l.adresse + static_cast<long long>(l.octets.size());
    }

    programme_assemble& resultat;
    std::vector<diagnostic>& diagnostics;
    std::map<std::string, symbole> symboles;
    std::set<std::string> a_definir; // noms definis quelque part dans le source
    std::vector<place> places;       // enonces qui stockent, dans l'ordre du source
};

} // namespace

bool programme_assemble::reussi() const {
    return std::none_of(diagnostics.begin(), diagnostics.end(),
                        [](diagnostic const& d) { return d.erreur; });
}

programme_assemble assemble(std::string const& source) {
    programme_assemble p;
    std::vector<enonce> const enonces = lit_enonces(source, p.diagnostics);
    assemblage a(p);
    a.premier_passage(enonces);
    a.second_passage();
    std::stable_sort(p.diagnostics.begin(), p.diagnostics.end(),
                     [](diagnostic const& x, diagnostic const& y) {
                         return x.ligne != y.ligne ? x.ligne < y.ligne : x.colonne < y.colonne;
                     });
    return p;
}
