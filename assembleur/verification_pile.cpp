// Parcours en largeur des etats (instruction, profondeur, erreur deja vue) depuis
// ($0000, 0, non) : l'image tient en 32 Kio, soit au plus 34 etats par octet, et
// chaque etat garde celui d'ou on l'a atteint, ce qui donne le plus court chemin
// vers chaque erreur. Les boucles sont les arcs retour d'un parcours en profondeur ;
// les chemins de leur corps (sans arcs retour) disent ce qu'un tour ajoute.
#include "assembleur/verification_pile.h"

#include <algorithm>
#include <climits>
#include <string>

#include "assembleur/lecture.h"
#include "assembleur/lexique.h"
#include "chaines/chaines.h"
#include "simulateur/interpreteur.h"

namespace {

constexpr int nb_profondeurs = taille_pile_interne + 1; // 0 a 16 entrees
int const op_POP = opcode_de("POP");
int const op_CMP = opcode_de("CMP");
int const op_BC = opcode_de("BC");
int const op_BNC = opcode_de("BNC");
int const op_BT = opcode_de("BT");
constexpr std::size_t chemin_court = 24; // instructions au plus pour dire le chemin
constexpr std::size_t lignes_citees = 4; // au plus dans l'indice d'une boucle
constexpr int non_vu = -1;
constexpr int depart = -2;

std::string adresse_texte(unsigned a) {
    return "$" + hex4toS(static_cast<int>(a));
}

// Ou mene une adresse.
struct destination {
    enum sorte_destination : unsigned char { instruction, donnees, milieu, rien } sorte;
    int numero; // instruction : son indice ; donnees, milieu : ligne de l'enonce
    unsigned short adresse;
};

struct instruction_vue {
    unsigned short adresse;
    int opcode;
    std::size_t k;         // dans p.lignes
    destination suites[2]; // la suite puis la cible d'un branchement
    int nb_suites = 0;     // 0 : un POP qui ecrit dans le code
    bool cible[2] = {false, false};
    int ecrit_code = 0; // POP qui ecrit dans le code : la ligne de l'instruction touchee
    bool ecrit_deplacement = false;
};

std::string octets_texte(int n, char const* sorte) {
    return (n == 1 ? std::string("un ") : std::to_string(n) + " ") + sorte + (n > 1 ? "s" : "");
}

std::string liste_lignes(std::vector<int> const& lignes) {
    std::string t = lignes.size() > 1 ? "les lignes " : "la ligne ";
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        t += (i == 0 ? "" : i + 1 == lignes.size() ? " et " : ", ") + std::to_string(lignes[i]);
    }
    return t;
}

class verificateur {
  public:
    verificateur(programme_assemble& p, std::vector<int> const& c, std::function<bool(int)> m,
                 liste_diagnostics& d)
        : p(p), colonnes(c), muette(std::move(m)), diagnostics(d), numero_en(p.image.size(), -1),
          couvrante(p.image.size(), -1) {}

    void verifie() {
        repere();
        parcourt();
        marque_inconnues();
        for (std::size_t n = 0; n < vues.size(); ++n) {
            p.lignes[vues[n].k].profondeurs = masques[n];
        }
        trouve_boucles();
        signale_erreurs();
        signale_sorties();
        termine();
    }

  private:
    int ligne(int n) const { return p.lignes[vues[static_cast<std::size_t>(n)].k].ligne; }
    std::string mnemonique(int n) const {
        return internal_mp_interpreteur_libelle_instruction[vues[static_cast<std::size_t>(n)]
                                                                .opcode];
    }

    destination vers(unsigned a) const {
        std::size_t const i = a - p.base;
        if (a < p.base || i >= p.image.size() || couvrante[i] < 0) {
            return {destination::rien, 0, static_cast<unsigned short>(a)};
        }
        if (numero_en[i] >= 0) {
            return {destination::instruction, numero_en[i], static_cast<unsigned short>(a)};
        }
        ligne_assemblee const& l = p.lignes[static_cast<std::size_t>(couvrante[i])];
        return {l.instruction ? destination::milieu : destination::donnees, l.ligne,
                static_cast<unsigned short>(a)};
    }

    void repere() {
        for (std::size_t k = 0; k < p.lignes.size(); ++k) {
            ligne_assemblee const& l = p.lignes[k];
            for (std::size_t i = 0; i < l.octets.size(); ++i) {
                couvrante[l.adresse - p.base + i] = static_cast<int>(k);
            }
            if (l.instruction) {
                numero_en[l.adresse - p.base] = static_cast<int>(vues.size());
                instruction_vue v;
                v.adresse = l.adresse;
                v.opcode = l.octets[0] & (nombre_opcodes - 1);
                v.k = k;
                vues.push_back(v);
            }
        }
        for (instruction_vue& v : vues) {
            ligne_assemblee const& l = p.lignes[v.k];
            unsigned const suite = (v.adresse + l.octets.size()) & 0xFFFF;
            unsigned const mot = l.octets.size() == 3 ? (l.octets[1] << 8) | l.octets[2] : 0;
            if (v.opcode == op_POP && ecrit_dans_le_code(mot, v)) {
                continue;
            }
            if (!est_branchement(v.opcode) || (v.opcode != op_BT && v.opcode != op_BNC)) {
                v.suites[v.nb_suites++] = vers(suite);
            }
            if (est_branchement(v.opcode) && v.opcode != op_BC) {
                v.cible[v.nb_suites] = true;
                v.suites[v.nb_suites++] = vers((v.adresse + mot) & 0xFFFF);
            }
        }
    }

    // Un POP vers l'opcode d'une instruction, ou vers le deplacement d'un
    // branchement, change le chemin : la verification ne peut pas le suivre.
    bool ecrit_dans_le_code(unsigned cible, instruction_vue& v) const {
        for (unsigned recul = 0; recul < 3; ++recul) {
            destination const d = vers((cible - recul) & 0xFFFF);
            if (d.sorte != destination::instruction) {
                continue;
            }
            instruction_vue const& touchee = vues[static_cast<std::size_t>(d.numero)];
            if (recul == 0 ||
                (est_branchement(touchee.opcode) && recul < p.lignes[touchee.k].octets.size())) {
                v.ecrit_code = p.lignes[touchee.k].ligne;
                v.ecrit_deplacement = recul > 0;
                return true;
            }
            return false;
        }
        return false;
    }

    static int etat(int n, int d, int sale) { return (n * nb_profondeurs + d) * 2 + sale; }

    void parcourt() {
        std::size_t const nb = vues.size();
        masques.assign(nb, 0);
        d_erreur_pleine.assign(nb, 0);
        d_erreur_vide.assign(nb, 0);
        d_propres.assign(nb, 0);
        sortie_propre.assign(nb * 2, false);
        precedent.assign(nb * nb_profondeurs * 2, non_vu);
        destination const debut = vers(0);
        if (debut.sorte != destination::instruction) {
            return;
        }
        std::vector<int> file{etat(debut.numero, 0, 0)};
        precedent[static_cast<std::size_t>(file[0])] = depart;
        for (std::size_t tete = 0; tete < file.size(); ++tete) {
            int const e = file[tete];
            int const n = e / (2 * nb_profondeurs);
            int const d = (e / 2) % nb_profondeurs;
            int const sale = e % 2;
            instruction_vue const& v = vues[static_cast<std::size_t>(n)];
            effet_pile const effet = internal_mp_interpreteur_effet_pile[v.opcode];
            masques[static_cast<std::size_t>(n)] |= 1u << d;
            bool const tient = d >= effet.besoin() && d + effet.libres() <= taille_pile_interne;
            if (!sale) {
                if (tient) {
                    d_propres[static_cast<std::size_t>(n)] |= 1u << d;
                } else if (d < effet.besoin()) {
                    d_erreur_vide[static_cast<std::size_t>(n)] |= 1u << d;
                } else {
                    d_erreur_pleine[static_cast<std::size_t>(n)] |= 1u << d;
                }
                if (v.ecrit_code != 0 && premiere_ecriture_code < 0) {
                    premiere_ecriture_code = n;
                }
            }
            int const apres = tient ? d - effet.depile + effet.empile : d;
            int const sale_apres = sale || !tient ? 1 : 0;
            for (int s = 0; s < v.nb_suites; ++s) {
                destination const& suite = v.suites[s];
                if (suite.sorte != destination::instruction) {
                    if (!sale_apres) {
                        sortie_propre[static_cast<std::size_t>(2 * n + s)] = true;
                    }
                    continue;
                }
                int const f = etat(suite.numero, apres, sale_apres);
                if (precedent[static_cast<std::size_t>(f)] == non_vu) {
                    precedent[static_cast<std::size_t>(f)] = e;
                    file.push_back(f);
                }
            }
        }
    }

    // Ce qu'on atteint au-dela d'une ecriture dans le code, et rien d'autre : inconnu.
    void marque_inconnues() {
        std::vector<int> a_voir;
        for (std::size_t n = 0; n < vues.size(); ++n) {
            if (vues[n].ecrit_code != 0 && masques[n] != 0) {
                unsigned const suite =
                    (vues[n].adresse + p.lignes[vues[n].k].octets.size()) & 0xFFFF;
                destination const d = vers(suite);
                if (d.sorte == destination::instruction) {
                    a_voir.push_back(d.numero);
                }
            }
        }
        while (!a_voir.empty()) {
            std::size_t const n = static_cast<std::size_t>(a_voir.back());
            a_voir.pop_back();
            if (masques[n] != 0) {
                continue;
            }
            masques[n] = profondeur_inconnue;
            unsigned const suite = (vues[n].adresse + p.lignes[vues[n].k].octets.size()) & 0xFFFF;
            unsigned const mot =
                p.lignes[vues[n].k].octets.size() == 3
                    ? (p.lignes[vues[n].k].octets[1] << 8) | p.lignes[vues[n].k].octets[2]
                    : 0;
            for (unsigned a : {suite, est_branchement(vues[n].opcode)
                                          ? static_cast<unsigned>((vues[n].adresse + mot) & 0xFFFF)
                                          : suite}) {
                destination const d = vers(a);
                if (d.sorte == destination::instruction) {
                    a_voir.push_back(d.numero);
                }
            }
        }
    }

    bool atteinte(std::size_t n) const {
        return masques[n] != 0 && masques[n] != profondeur_inconnue;
    }

    // Arcs retour d'un parcours en profondeur depuis $0000 ; chaque arc retour dont
    // l'entete a plusieurs profondeurs et dont le tour change la profondeur est une
    // boucle a signaler.
    void trouve_boucles() {
        std::size_t const nb = vues.size();
        destination const debut = vers(0);
        if (debut.sorte != destination::instruction) {
            return;
        }
        auto const suivante = [this](int n, int s) -> int {
            instruction_vue const& v = vues[static_cast<std::size_t>(n)];
            return s < v.nb_suites && v.suites[s].sorte == destination::instruction
                       ? v.suites[s].numero
                       : -1;
        };
        std::vector<unsigned char> couleur(nb, 0); // 0 : pas vue, 1 : en cours, 2 : finie
        std::vector<std::pair<int, int>> retours;  // (depuis, entete)
        std::vector<std::pair<int, int>> appels{{debut.numero, 0}};
        couleur[static_cast<std::size_t>(debut.numero)] = 1;
        while (!appels.empty()) {
            int const n = appels.back().first;
            int const s = appels.back().second++;
            if (s >= 2) {
                couleur[static_cast<std::size_t>(n)] = 2;
                appels.pop_back();
                continue;
            }
            int const m = suivante(n, s);
            if (m < 0) {
                continue;
            }
            if (couleur[static_cast<std::size_t>(m)] == 1) {
                retours.push_back({n, m});
            } else if (couleur[static_cast<std::size_t>(m)] == 0) {
                couleur[static_cast<std::size_t>(m)] = 1;
                appels.push_back({m, 0});
            }
        }
        std::sort(retours.begin(), retours.end());
        auto const est_retour = [&retours](int n, int m) {
            return std::binary_search(retours.begin(), retours.end(), std::make_pair(n, m));
        };
        precedents.assign(nb, {});
        for (std::size_t n = 0; n < nb; ++n) {
            for (int s = 0; couleur[n] != 0 && s < 2; ++s) {
                if (int const m = suivante(static_cast<int>(n), s); m >= 0) {
                    precedents[static_cast<std::size_t>(m)].push_back(static_cast<int>(n));
                }
            }
        }
        std::vector<bool> entete_vue(nb, false);
        for (auto const& [depuis, entete] : retours) {
            std::size_t const t = static_cast<std::size_t>(entete);
            // Une seule profondeur a l'entete sur les chemins sans erreur : les tours
            // ne changent rien (une erreur en route se signale a part).
            std::uint32_t const propres = d_propres[t] | d_erreur_pleine[t] | d_erreur_vide[t];
            if (entete_vue[t] || (propres & (propres - 1)) == 0 ||
                p.boucles.size() >= avertissements_pile_max) {
                continue;
            }
            entete_vue[t] = true;
            ajoute_boucle(depuis, entete, est_retour);
        }
        nomme_boucles();
    }

    // La boucle naturelle de l'arc depuis -> entete : l'entete et ce qui atteint
    // depuis sans passer par lui.
    template <typename Retour>
    void ajoute_boucle(int depuis, int entete, Retour const& est_retour) {
        std::vector<int> corps{entete};
        std::vector<bool> dedans(vues.size(), false);
        dedans[static_cast<std::size_t>(entete)] = true;
        for (std::vector<int> a_voir{depuis}; !a_voir.empty();) {
            int const n = a_voir.back();
            a_voir.pop_back();
            if (dedans[static_cast<std::size_t>(n)]) {
                continue;
            }
            dedans[static_cast<std::size_t>(n)] = true;
            corps.push_back(n);
            for (int m : precedents[static_cast<std::size_t>(n)]) {
                a_voir.push_back(m);
            }
        }
        std::sort(corps.begin(), corps.end());
        // Ce qu'un tour change, au moins et au plus : chemins du corps sans ses arcs
        // retour, dans l'ordre topologique.
        std::vector<int> entrants(vues.size(), 0), bas(vues.size(), INT_MAX),
            haut(vues.size(), INT_MIN);
        auto const pour_chaque_arc = [&](int n, auto&& f) {
            instruction_vue const& v = vues[static_cast<std::size_t>(n)];
            for (int s = 0; s < v.nb_suites; ++s) {
                int const m = v.suites[s].numero;
                if (v.suites[s].sorte == destination::instruction &&
                    dedans[static_cast<std::size_t>(m)] && !est_retour(n, m)) {
                    f(m);
                }
            }
        };
        for (int n : corps) {
            pour_chaque_arc(n, [&](int m) { ++entrants[static_cast<std::size_t>(m)]; });
        }
        bas[static_cast<std::size_t>(entete)] = haut[static_cast<std::size_t>(entete)] = 0;
        for (std::vector<int> prets{entete}; !prets.empty();) {
            int const n = prets.back();
            prets.pop_back();
            effet_pile const e =
                internal_mp_interpreteur_effet_pile[vues[static_cast<std::size_t>(n)].opcode];
            int const delta = e.empile - e.depile;
            pour_chaque_arc(n, [&](int m) {
                std::size_t const i = static_cast<std::size_t>(m);
                bas[i] = std::min(bas[i], bas[static_cast<std::size_t>(n)] + delta);
                haut[i] = std::max(haut[i], haut[static_cast<std::size_t>(n)] + delta);
                if (--entrants[i] == 0) {
                    prets.push_back(m);
                }
            });
        }
        effet_pile const fin =
            internal_mp_interpreteur_effet_pile[vues[static_cast<std::size_t>(depuis)].opcode];
        std::size_t const d = static_cast<std::size_t>(depuis);
        if (haut[d] == INT_MIN) {
            return; // corps sans ordre (boucle irreductible) : rien de sur a dire
        }
        int const plus = haut[d] + fin.empile - fin.depile;
        int const moins = bas[d] + fin.empile - fin.depile;
        if (plus == 0 && moins == 0) {
            return;
        }
        boucle_pile b;
        b.entete = vues[static_cast<std::size_t>(entete)].adresse;
        b.ligne_retour = ligne(depuis);
        b.par_tour = plus > 0 ? plus : moins;
        b.chaque_tour = plus == moins;
        b.ligne_debut = INT_MAX;
        b.ligne_fin = 0;
        for (int n : corps) {
            effet_pile const e =
                internal_mp_interpreteur_effet_pile[vues[static_cast<std::size_t>(n)].opcode];
            b.ligne_debut = std::min(b.ligne_debut, ligne(n));
            b.ligne_fin = std::max(b.ligne_fin, ligne(n));
            if (e.empile > e.depile) {
                b.empilent.push_back(ligne(n));
            } else if (e.empile < e.depile) {
                b.depilent.push_back(ligne(n));
            }
            if (vues[static_cast<std::size_t>(n)].opcode == op_CMP && b.ligne_cmp == 0) {
                b.ligne_cmp = ligne(n);
            }
        }
        std::sort(b.empilent.begin(), b.empilent.end());
        std::sort(b.depilent.begin(), b.depilent.end());
        corps_boucles.push_back(std::move(dedans));
        p.boucles.push_back(std::move(b));
    }

    // Le plus court chemin vers l'etat e, du depart a lui.
    std::vector<int> chemin(int e) const {
        std::vector<int> c;
        for (; e >= 0; e = precedent[static_cast<std::size_t>(e)]) {
            c.push_back(e / (2 * nb_profondeurs));
        }
        std::reverse(c.begin(), c.end());
        return c;
    }

    // Le chemin le plus court parmi les profondeurs du masque, a l'instruction n.
    std::vector<int> plus_court(int n, std::uint32_t masque) const {
        std::vector<int> meilleur;
        for (int d = 0; d < nb_profondeurs; ++d) {
            if ((masque >> d) & 1) {
                std::vector<int> c = chemin(etat(n, d, 0));
                if (meilleur.empty() || c.size() < meilleur.size()) {
                    meilleur = std::move(c);
                }
            }
        }
        return meilleur;
    }

    // ", après la ligne 12 sans passer par la ligne 9" : ce qui distingue le plus
    // court chemin fautif du plus court chemin sans faute ; ou la boucle dont les
    // tours y menent.
    std::string par_quel_chemin(int n, std::uint32_t fautives) const {
        std::vector<int> const mauvais = plus_court(n, fautives);
        std::vector<int> vus = mauvais;
        std::sort(vus.begin(), vus.end());
        for (std::size_t i = 1; i < vus.size(); ++i) {
            if (vus[i] != vus[i - 1]) {
                continue;
            }
            for (std::size_t b = 0; b < p.boucles.size(); ++b) {
                if (corps_boucles[b][static_cast<std::size_t>(vus[i])]) {
                    boucle_pile const& x = p.boucles[b];
                    return ", après des tours de " +
                           (x.nom.empty()
                                ? "la boucle des lignes " + std::to_string(x.ligne_debut) + "–" +
                                      std::to_string(x.ligne_fin)
                                : "la boucle de « " + x.nom + " »");
                }
            }
            return "";
        }
        std::uint32_t const bonnes = d_propres[static_cast<std::size_t>(n)];
        if (mauvais.size() > chemin_court || bonnes == 0 || mauvais.size() < 2) {
            return "";
        }
        std::vector<int> const bon = plus_court(n, bonnes);
        std::vector<int> sautees;
        for (int m : bon) {
            effet_pile const e =
                internal_mp_interpreteur_effet_pile[vues[static_cast<std::size_t>(m)].opcode];
            if (e.empile != e.depile && !std::binary_search(vus.begin(), vus.end(), m) &&
                std::find(sautees.begin(), sautees.end(), ligne(m)) == sautees.end()) {
                sautees.push_back(ligne(m));
            }
        }
        std::string t;
        int const avant = mauvais[mauvais.size() - 2];
        if (bon.size() < 2 || bon[bon.size() - 2] != avant) {
            t = ", après la ligne " + std::to_string(ligne(avant));
        }
        if (!sautees.empty() && sautees.size() <= 2) {
            t += (t.empty() ? ", " : " ") + std::string("sans passer par ") + liste_lignes(sautees);
        }
        return t;
    }

    void avertit(int ligne_avertie, int colonne, std::string message) {
        a_dire.push_back({false, ligne_avertie, colonne, std::move(message)});
    }

    void signale_erreurs() {
        for (std::size_t n = 0; n < vues.size(); ++n) {
            int const i = static_cast<int>(n);
            for (bool pleine : {false, true}) {
                std::uint32_t const fautives = pleine ? d_erreur_pleine[n] : d_erreur_vide[n];
                if (fautives == 0) {
                    continue;
                }
                avertit(ligne(i), colonnes[vues[n].k],
                        std::string("la pile ") + (d_propres[n] == 0 ? "est " : "peut être ") +
                            (pleine ? "pleine" : "vide") + " ici (" + mnemonique(i) + ")" +
                            par_quel_chemin(i, fautives));
            }
        }
        for (boucle_pile const& b : p.boucles) {
            std::string t =
                (b.nom.empty() ? "la boucle des lignes "
                               : "la boucle de « " + b.nom + " » (lignes ") +
                std::to_string(b.ligne_debut) + "–" + std::to_string(b.ligne_fin) +
                (b.nom.empty() ? "" : ")") + (b.chaque_tour ? " laisse " : " peut laisser ") +
                octets_texte(std::abs(b.par_tour), "octet") +
                (b.par_tour > 0 ? " de plus" : " de moins") + " sur la pile à chaque tour";
            if (b.par_tour > 0 && b.ligne_cmp != 0) {
                t += " : CMP (ligne " + std::to_string(b.ligne_cmp) + ") ne dépile pas";
            } else if (b.empilent.size() + b.depilent.size() <= lignes_citees) {
                t += indice(b);
            }
            avertit(b.ligne_retour, colonne_de_ligne(b.ligne_retour), t);
        }
        if (premiere_ecriture_code >= 0) {
            instruction_vue const& v = vues[static_cast<std::size_t>(premiere_ecriture_code)];
            avertit(ligne(premiere_ecriture_code), colonnes[v.k],
                    "POP écrit dans le code, " +
                        std::string(v.ecrit_deplacement ? "dans le déplacement du branchement"
                                                        : "sur l'instruction") +
                        " de la ligne " + std::to_string(v.ecrit_code) +
                        " : la vérification de la pile s'arrête là");
        }
    }

    // " : la ligne 3 empile ; les lignes 4 et 6 dépilent"
    static std::string indice(boucle_pile const& b) {
        std::string t;
        if (!b.empilent.empty()) {
            t += liste_lignes(b.empilent) + (b.empilent.size() > 1 ? " empilent" : " empile");
        }
        if (!b.depilent.empty()) {
            t += (t.empty() ? "" : " ; ") + liste_lignes(b.depilent) +
                 (b.depilent.size() > 1 ? " dépilent" : " dépile");
        }
        return t.empty() ? "" : " (" + t + ")";
    }

    int colonne_de_ligne(int l) const {
        auto const k = p.stocke_depuis(l);
        return colonnes[static_cast<std::size_t>(k - p.lignes.begin())];
    }

    // Les noms des entetes : la premiere etiquette definie a chacune.
    void nomme_boucles() {
        if (p.boucles.empty()) {
            return;
        }
        std::vector<int> premiere(p.image.size(), -1);
        for (std::size_t k = p.symboles.size(); k-- > 0;) {
            symbole_source const& s = p.symboles[k];
            if (s.sorte == symbole_source::etiquette && s.valeur >= p.base &&
                s.valeur - p.base < static_cast<long long>(p.image.size())) {
                premiere[static_cast<std::size_t>(s.valeur - p.base)] = static_cast<int>(k);
            }
        }
        for (boucle_pile& b : p.boucles) {
            int const k = premiere[b.entete - p.base];
            b.nom = k >= 0 ? p.symboles[static_cast<std::size_t>(k)].nom : "";
        }
    }

    void signale_sorties() {
        for (std::size_t n = 0; n < vues.size(); ++n) {
            instruction_vue const& v = vues[n];
            for (int s = 0; s < v.nb_suites; ++s) {
                if (!sortie_propre[2 * n + static_cast<std::size_t>(s)]) {
                    continue;
                }
                destination const& d = v.suites[s];
                std::string const ou =
                    d.sorte == destination::donnees
                        ? "dans les données (ligne " + std::to_string(d.numero) + ")"
                    : d.sorte == destination::milieu
                        ? "au milieu de l'instruction de la ligne " + std::to_string(d.numero)
                        : "en " + adresse_texte(d.adresse) + ", où rien n'est stocké";
                avertit(ligne(static_cast<int>(n)), colonnes[v.k],
                        v.cible[s] ? "le branchement mène " + ou
                                   : "l'exécution continue " + ou + " : il manque un BT * ?");
            }
        }
    }

    void termine() {
        std::stable_sort(
            a_dire.begin(), a_dire.end(),
            [](diagnostic const& a, diagnostic const& b) { return a.ligne < b.ligne; });
        std::size_t dits = 0;
        for (diagnostic& d : a_dire) {
            if (muette(d.ligne)) {
                continue;
            }
            if (++dits > avertissements_pile_max) {
                diagnostics.ajoute(false, d.ligne, d.colonne,
                                   "trop d'avertissements de la pile : arrêt après " +
                                       std::to_string(avertissements_pile_max));
                return;
            }
            diagnostics.ajoute(false, d.ligne, d.colonne, std::move(d.message));
        }
    }

    programme_assemble& p;
    std::vector<int> const& colonnes;
    std::function<bool(int)> muette;
    liste_diagnostics& diagnostics;
    std::vector<int> numero_en; // par octet de l'image : indice de l'instruction qui y commence
    std::vector<int> couvrante; // par octet de l'image : indice dans p.lignes
    std::vector<instruction_vue> vues;
    std::vector<std::uint32_t> masques;         // toutes profondeurs atteintes
    std::vector<std::uint32_t> d_propres;       // sans erreur avant, condition tenue
    std::vector<std::uint32_t> d_erreur_pleine; // sans erreur avant, place manquante
    std::vector<std::uint32_t> d_erreur_vide;   // sans erreur avant, entree manquante
    std::vector<bool> sortie_propre;            // par (instruction, suite)
    std::vector<int> precedent;                 // par etat
    int premiere_ecriture_code = -1;
    std::vector<std::vector<int>> precedents;
    std::vector<std::vector<bool>> corps_boucles; // parallele a p.boucles
    std::vector<diagnostic> a_dire;
};

} // namespace

std::string texte_profondeurs(std::uint32_t profondeurs) {
    if (profondeurs == profondeur_inconnue) {
        return "?";
    }
    std::string t;
    for (int d = 0; d < nb_profondeurs; ++d) {
        if (!((profondeurs >> d) & 1)) {
            continue;
        }
        int f = d;
        while (f + 1 < nb_profondeurs && ((profondeurs >> (f + 1)) & 1)) {
            ++f;
        }
        t += (t.empty() ? "" : ",") + std::to_string(d) + (f > d ? "-" + std::to_string(f) : "");
        d = f;
    }
    return t.empty() ? "-" : t;
}

void verifie_pile(programme_assemble& p, std::vector<int> const& colonnes,
                  std::function<bool(int)> const& muette, liste_diagnostics& diagnostics) {
    verificateur(p, colonnes, muette, diagnostics).verifie();
}
