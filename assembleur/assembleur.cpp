// Les deux passages de l'assembleur. Le premier fixe l'adresse de chaque enonce et
// la valeur de chaque symbole (.org et constantes n'utilisent que des noms deja
// definis) ; le second evalue les operandes, toutes references connues, et encode.
// Les operandes sont relus dans le source a chaque passage plutot que gardes. Les
// octets ne sont encodes que si le programme peut reussir : recouvrements et taille
// sont verifies avant, d'apres les tailles des enonces, si bien qu'un source
// refuse ne coute jamais ses octets en memoire.
#include "assembleur/assembleur.h"

#include <algorithm>
#include <functional>

#include "assembleur/lecture.h"
#include "assembleur/verification_pile.h"
#include "chaines/chaines.h"
#include "simulateur/interpreteur.h"

namespace {

constexpr long long fin_memoire = 0x10000;
// Ce que load_binaire accepte : taille signee sur 16 bits, en-tete de 4 octets compris.
constexpr long long plus_grande_image = 0x7FFF - 4;

struct bornes {
    long long min, max;
    char const* texte;
};
// Dans un commentaire, tait les avertissements de la verification de la pile.
constexpr std::string_view marque_muette = "@pile-ok";

constexpr bornes bornes_octet{-128, 255, "-128..255"};
constexpr bornes bornes_adresse{0, 0xFFFF, "0..65535"};
constexpr bornes bornes_mot{-32768, 0xFFFF, "-32768..65535"};

std::string adresse_texte(long long a) {
    return "$" + hex4toS(static_cast<int>(a));
}

class assemblage {
  public:
    assemblage(std::string_view s, programme_assemble& p) : source(s), resultat(p) {}

    void lit() { enonces = lit_enonces(source, symboles, diagnostics); }

    void premier_passage() {
        long long adresse = 0;
        bool deborde = false; // deja signale depuis le dernier .org
        int suivant = 0;      // prochain symbole a parcourir
        int en_attente = 0;   // premier symbole pas encore suivi d'un enonce qui stocke
        // Les etiquettes attachees a l'enonce k ou avant lui prennent l'adresse courante.
        auto const etiquettes_avant = [&](std::size_t k) {
            for (; suivant < symboles.nombre() && symboles.attache(suivant) <= k; ++suivant) {
                if (symboles[suivant].sorte == symbole_source::etiquette) {
                    symboles.fixe(suivant, adresse);
                }
            }
        };
        for (std::size_t k = 0; k < enonces.size(); ++k) {
            etiquettes_avant(k);
            enonce& e = enonces[k];
            if (e.sorte == enonce::constante) {
                flot_jetons f = operandes(e);
                long long v = 0;
                int colonne = 0;
                valeur_deja_connue(e, f, adresse, v, colonne);
                if (e.symbole_constant >= 0) {
                    symboles.fixe(e.symbole_constant, v);
                }
            } else if (e.sorte == enonce::org) {
                flot_jetons f = operandes(e);
                long long v = 0;
                int colonne = 0;
                if (valeur_deja_connue(e, f, adresse, v, colonne) &&
                    dans(e, colonne, v, bornes_adresse, ".org")) {
                    adresse = v;
                    deborde = false;
                }
            }
            if (e.taille == 0) {
                continue;
            }
            e.adresse = static_cast<std::int32_t>(adresse);
            e.tient = adresse + e.taille <= fin_memoire;
            if (!e.tient && !deborde) {
                erreur(e, e.colonne_mot,
                       "« " + std::string(mot(e)) + " » en " + adresse_texte(adresse) +
                           " dépasserait la fin de la mémoire ($ffff)");
                deborde = true;
            }
            for (; en_attente < suivant; ++en_attente) {
                symbole_source& s = symboles[en_attente];
                if (s.sorte == symbole_source::etiquette && s.valeur == adresse) {
                    s.donnees = e.sorte == enonce::octets ? symbole_source::octets
                                : e.sorte == enonce::mots ? symbole_source::mots
                                                          : symbole_source::aucune;
                }
            }
            adresse += e.taille;
        }
        etiquettes_avant(enonces.size());
    }

    void second_passage() {
        std::vector<std::uint32_t> places; // enonces qui stockent et tiennent, dans l'ordre
        for (std::size_t k = 0; k < enonces.size(); ++k) {
            if (enonces[k].taille > 0 && enonces[k].tient) {
                places.push_back(static_cast<std::uint32_t>(k));
            }
        }
        verifie_recouvrements(places);
        verifie_taille(places);
        bool const encode_octets = !diagnostics.erreur_vue();
        for (std::uint32_t k : places) {
            enonce const& e = enonces[k];
            ligne_assemblee l{e.ligne,
                              static_cast<unsigned short>(e.adresse),
                              {},
                              e.sorte == enonce::instruction};
            encode(e, l.octets);
            if (encode_octets) {
                resultat.lignes.push_back(std::move(l));
                colonnes.push_back(e.colonne_mot);
            }
        }
        if (diagnostics.erreur_vue()) {
            resultat.lignes.clear();
        } else {
            construit_image();
        }
    }

    // Sur un programme reussi qui stocke en $0000, ou toute execution commence.
    void verifie() {
        if (diagnostics.erreur_vue() || resultat.image.empty()) {
            return;
        }
        if (resultat.base != 0) {
            for (ligne_assemblee& l : resultat.lignes) {
                l.profondeurs = l.instruction ? profondeur_inconnue : 0;
            }
            return;
        }
        verifie_pile(
            resultat, colonnes, [this](int ligne) { return muette(ligne); }, diagnostics);
    }

    // La verification nomme les boucles d'apres les symboles rendus.
    void termine() {
        resultat.symboles = symboles.rend();
        verifie();
        resultat.diagnostics = diagnostics.termine();
    }

  private:
    void erreur(enonce const& e, int colonne, std::string const& message) {
        signale(diagnostics, e.ligne, colonne, message);
    }

    // Les jetons de la ligne de e a partir de son mnemonique, sa directive ou le
    // nom de sa constante.
    flot_jetons jetons(enonce const& e) const {
        return flot_jetons(ligne_a(source, e.debut), static_cast<std::size_t>(e.colonne_mot - 1));
    }
    std::string_view mot(enonce const& e) const { return jetons(e).regarde()->texte; }
    // Les jetons de la ligne de e, au premier de ses operandes.
    flot_jetons operandes(enonce const& e) const {
        flot_jetons f = jetons(e);
        f.avance();
        if (e.sorte == enonce::constante) {
            f.avance(); // '='
        }
        return f;
    }

    // Valeur de .org ou d'une constante, avec les seuls noms definis plus haut.
    bool valeur_deja_connue(enonce const& e, flot_jetons& f, long long etoile, long long& v,
                            int& colonne) {
        auto const message = [this, &e](std::string_view nom) {
            if (symboles.existe(nom)) {
                return "« " + std::string(nom) + " » n'est pas encore défini ici : " +
                       (e.sorte == enonce::org ? std::string(".org") : "une constante") +
                       " n'utilise que des noms définis plus haut";
            }
            return symboles.non_definie(nom);
        };
        return evalue(e, f, etoile, message, v, colonne);
    }

    bool evalue(enonce const& e, flot_jetons& f, long long etoile,
                somme_termes::message_inconnu const& message, long long& v, int& colonne) {
        somme_termes somme(
            etoile,
            [this](std::string_view nom, long long& valeur) {
                return symboles.cherche(nom, valeur);
            },
            message, e.ligne, diagnostics);
        lit_expression(
            f, e.ligne, "", diagnostics, [&somme](terme const& t) { somme.ajoute(t); }, colonne);
        return somme.valeur(v);
    }

    bool dans(enonce const& e, int colonne, long long v, bornes const& b, std::string const& pour) {
        if (v >= b.min && v <= b.max) {
            return true;
        }
        erreur(e, colonne, "valeur " + std::to_string(v) + " hors de " + b.texte + " pour " + pour);
        return false;
    }

    // Valeur du prochain operande ou de la prochaine donnee, toutes references
    // connues ; 0 si elle est fautive.
    long long valeur(enonce const& e, flot_jetons& f, long long etoile, bornes const& b,
                     std::string const& pour) {
        long long v = 0;
        int colonne = 0;
        bool const connue = evalue(
            e, f, etoile, [this](std::string_view nom) { return symboles.non_definie(nom); }, v,
            colonne);
        return connue && dans(e, colonne, v, b, pour) ? v : 0;
    }

    static void mot_de_16_bits(std::vector<unsigned char>& octets, long long v) {
        octets.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
        octets.push_back(static_cast<unsigned char>(v & 0xFF));
    }

    // Evalue les operandes de e (leurs diagnostics) et range ses octets.
    void encode(enonce const& e, std::vector<unsigned char>& octets) {
        flot_jetons f = jetons(e);
        std::string const ecrit(f.regarde()->texte);
        f.avance();
        long long const adresse = e.adresse;
        if (e.sorte == enonce::instruction) {
            std::string const pour = internal_mp_interpreteur_libelle_instruction[e.opcode];
            octets.push_back(e.opcode);
            if (e.taille == 1) {
                return;
            }
            if (!e.operande_lu) {
                octets.resize(e.taille, 0);
            } else if (e.taille == 2) {
                octets.push_back(
                    static_cast<unsigned char>(valeur(e, f, adresse, bornes_octet, pour) & 0xFF));
            } else if (est_branchement(e.opcode)) {
                // Deplacement depuis l'opcode du branchement, modulo 65536.
                mot_de_16_bits(octets, valeur(e, f, adresse, bornes_adresse, pour) - adresse);
            } else {
                mot_de_16_bits(octets, valeur(e, f, adresse, bornes_adresse, pour));
            }
            return;
        }
        for (;;) {
            jeton const* j = f.regarde();
            if (j->sorte == sorte_jeton::chaine) {
                std::string const chaine = octets_chaine(*j);
                octets.insert(octets.end(), chaine.begin(), chaine.end());
                f.avance();
            } else if (e.sorte == enonce::octets) {
                octets.push_back(
                    static_cast<unsigned char>(valeur(e, f, adresse, bornes_octet, ecrit) & 0xFF));
            } else {
                mot_de_16_bits(octets, valeur(e, f, adresse, bornes_mot, ecrit));
            }
            if (octets.size() > plus_grande_image) {
                octets.clear(); // le programme est refuse : seuls comptent les diagnostics
            }
            j = f.regarde();
            if (j == nullptr || j->sorte != sorte_jeton::virgule) {
                return;
            }
            f.avance();
        }
    }

    long long fin(std::uint32_t k) const { return enonces[k].adresse + enonces[k].taille; }

    // Deux lignes qui stockent a une meme adresse : la plus basse dans le source
    // garde la case, l'autre est signalee. Lignes triees par adresse, chacune
    // comparee a celle qui s'etend le plus loin avant elle.
    void verifie_recouvrements(std::vector<std::uint32_t> const& places) {
        std::vector<std::uint32_t> ordre(places);
        std::stable_sort(ordre.begin(), ordre.end(), [this](std::uint32_t a, std::uint32_t b) {
            return enonces[a].adresse < enonces[b].adresse;
        });
        std::vector<bool> deja(enonces.size(), false); // une erreur par ligne suffit
        std::uint32_t couvrante = ordre.empty() ? 0 : ordre[0];
        for (std::size_t n = 1; n < ordre.size(); ++n) {
            std::uint32_t const k = ordre[n];
            std::uint32_t const signalee = std::max(k, couvrante);
            if (enonces[k].adresse < fin(couvrante) && !deja[signalee]) {
                deja[signalee] = true;
                erreur(enonces[signalee], enonces[signalee].colonne_mot,
                       "l'adresse " + adresse_texte(enonces[k].adresse) +
                           " est déjà occupée par la ligne " +
                           std::to_string(enonces[std::min(k, couvrante)].ligne));
            }
            if (fin(k) > fin(couvrante)) {
                couvrante = k;
            }
        }
    }

    // Ce que le chargeur accepte. Un programme vide est une erreur : il ne ferait
    // qu'executer la memoire remise a 0 (PUSH $0000) jusqu'a remplir la pile.
    void verifie_taille(std::vector<std::uint32_t> const& places) {
        if (places.empty()) {
            if (!diagnostics.erreur_vue()) {
                signale(diagnostics, 1, 1, "programme vide : aucune instruction ni donnée");
            }
            return;
        }
        std::uint32_t plus_basse = places[0], plus_haute = places[0];
        for (std::uint32_t k : places) {
            if (enonces[k].adresse < enonces[plus_basse].adresse) {
                plus_basse = k;
            }
            if (fin(k) > fin(plus_haute)) {
                plus_haute = k;
            }
        }
        base = enonces[plus_basse].adresse;
        taille = fin(plus_haute) - base;
        ligne_basse = plus_basse;
        if (taille > plus_grande_image) {
            enonce const& e = enonces[plus_haute];
            erreur(e, e.colonne_mot,
                   "le programme s'étend de " + adresse_texte(base) + " à " +
                       adresse_texte(base + taille - 1) + " (" + std::to_string(taille) +
                       " octets) : le chargeur en accepte au plus " +
                       std::to_string(plus_grande_image));
        }
    }

    // Image de la plus basse a la plus haute adresse stockee, et ligne de chaque debut.
    void construit_image() {
        if (resultat.lignes.empty()) {
            return;
        }
        if (base != 0) {
            enonce const& e = enonces[ligne_basse];
            signale(diagnostics, e.ligne, e.colonne_mot,
                    "rien n'est stocké en $0000, où le processeur démarre (premier octet en " +
                        adresse_texte(base) + ")",
                    false);
        }
        resultat.base = static_cast<unsigned short>(base);
        resultat.image.assign(static_cast<std::size_t>(taille), 0);
        resultat.debuts.assign(static_cast<std::size_t>(taille), 0);
        for (ligne_assemblee const& l : resultat.lignes) {
            std::copy(l.octets.begin(), l.octets.end(),
                      resultat.image.begin() + static_cast<long long>(l.adresse - base));
            resultat.debuts[static_cast<std::size_t>(l.adresse - base)] = l.ligne;
        }
    }

    // Le commentaire de la ligne demande de taire la verification de la pile.
    bool muette(int ligne) const {
        auto const e = std::lower_bound(enonces.begin(), enonces.end(), ligne,
                                        [](enonce const& x, int n) { return x.ligne < n; });
        if (e == enonces.end() || e->ligne != ligne) {
            return false;
        }
        std::string_view const texte = ligne_a(source, e->debut);
        std::size_t const commentaire = texte.find(';');
        return commentaire != std::string_view::npos &&
               texte.find(marque_muette, commentaire) != std::string_view::npos;
    }

    std::string_view source;
    programme_assemble& resultat;
    std::vector<int> colonnes; // du mot de chaque ligne de resultat.lignes
    liste_diagnostics diagnostics;
    table_symboles symboles;
    std::deque<enonce> enonces;
    long long base = 0, taille = 0; // etendue de ce qui est stocke
    std::uint32_t ligne_basse = 0;  // enonce stocke a la plus basse adresse
};

} // namespace

bool programme_assemble::reussi() const {
    return std::none_of(diagnostics.begin(), diagnostics.end(),
                        [](diagnostic const& d) { return d.erreur; });
}

int programme_assemble::ligne_en(unsigned short adresse) const {
    std::size_t const k = static_cast<std::size_t>(adresse - base);
    return adresse >= base && k < debuts.size() ? debuts[k] : 0;
}

int programme_assemble::adresse_de_ligne(int ligne) const {
    auto const l = stocke_depuis(ligne);
    return l == lignes.end() ? -1 : l->adresse;
}

std::vector<ligne_assemblee>::const_iterator programme_assemble::stocke_depuis(int ligne) const {
    return std::lower_bound(lignes.begin(), lignes.end(), ligne,
                            [](ligne_assemblee const& x, int numero) { return x.ligne < numero; });
}

ligne_assemblee const* programme_assemble::ligne_couvrant(unsigned short adresse) const {
    if (adresse < base || adresse - base >= static_cast<long>(debuts.size())) {
        return nullptr;
    }
    // Un enonce tient en au plus plus_grande_image octets : on remonte a son debut.
    for (std::size_t k = adresse - base + 1u; k-- > 0;) {
        if (debuts[k] != 0) {
            auto const l = stocke_depuis(debuts[k]);
            return l->adresse + l->octets.size() > adresse ? &*l : nullptr;
        }
    }
    return nullptr;
}

symbole_source const* programme_assemble::symbole(std::string const& nom) const {
    std::hash<std::string_view> const hache;
    std::vector<std::uint32_t>& alveoles = index->alveoles;
    std::call_once(index->construit, [&] {
        // Au plus a moitie pleine : un nom absent s'arrete vite sur une alveole libre.
        std::size_t taille = 16;
        while (taille < 2 * symboles.size()) {
            taille *= 2;
        }
        alveoles.assign(taille, 0);
        for (std::size_t k = 0; k < symboles.size(); ++k) {
            std::size_t a = hache(symboles[k].nom) & (taille - 1);
            while (alveoles[a] != 0) {
                a = (a + 1) & (taille - 1);
            }
            alveoles[a] = static_cast<std::uint32_t>(k + 1);
        }
    });
    std::size_t const masque = alveoles.size() - 1;
    for (std::size_t a = hache(nom) & masque; alveoles[a] != 0; a = (a + 1) & masque) {
        symbole_source const& s = symboles[alveoles[a] - 1];
        if (s.nom == nom) {
            return &s;
        }
    }
    return nullptr;
}

namespace {

char en_minuscule(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Distance d'edition de a et b (casse ignoree) si elle est au plus k, sinon k + 1 :
// seule la bande |i - j| <= k est calculee, et on s'arrete des qu'une rangee la depasse.
std::size_t distance_bornee(std::string const& a, std::string const& b, std::size_t k,
                            std::vector<std::size_t>& rangee) {
    std::size_t const trop = k + 1;
    rangee.assign(b.size() + 1, trop);
    for (std::size_t j = 0; j <= std::min(b.size(), k); ++j) {
        rangee[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t const debut = i > k ? i - k : 1;
        std::size_t const fin = std::min(b.size(), i + k);
        std::size_t diagonale = rangee[debut - 1];
        rangee[debut - 1] = debut == 1 && i <= k ? i : trop;
        std::size_t plus_petite = rangee[debut - 1];
        for (std::size_t j = debut; j <= fin; ++j) {
            std::size_t const haut = rangee[j];
            std::size_t v = diagonale + (en_minuscule(a[i - 1]) == en_minuscule(b[j - 1]) ? 0 : 1);
            v = std::min({v, haut + 1, rangee[j - 1] + 1, trop});
            rangee[j] = v;
            diagonale = haut;
            plus_petite = std::min(plus_petite, v);
        }
        if (fin < b.size()) {
            rangee[fin + 1] = trop;
        }
        if (plus_petite >= trop) {
            return trop;
        }
    }
    return std::min(rangee[b.size()], trop);
}

} // namespace

std::string programme_assemble::symbole_proche(std::string const& nom,
                                               std::size_t fautes_max) const {
    std::vector<std::size_t> rangee;
    std::size_t meilleure = fautes_max + 1;
    symbole_source const* choisi = nullptr;
    for (symbole_source const& s : symboles) {
        std::size_t const ecart =
            s.nom.size() > nom.size() ? s.nom.size() - nom.size() : nom.size() - s.nom.size();
        if (ecart >= meilleure || s.nom == nom) {
            continue;
        }
        std::size_t const d = distance_bornee(nom, s.nom, meilleure - 1, rangee);
        if (d < meilleure) {
            meilleure = d;
            choisi = &s;
            if (d == 0) {
                break;
            }
        }
    }
    return choisi ? choisi->nom : "";
}

programme_assemble assemble(std::string const& source) {
    programme_assemble p;
    assemblage a(source, p);
    a.lit();
    a.premier_passage();
    a.second_passage();
    a.termine();
    return p;
}
