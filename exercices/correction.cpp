// Cas prepares, lances par lance_programme, compares par releve. Les fils se
// partagent les paires (copie, cas) par un compteur ; chaque cas a sa machine et
// son resultat sa place : l'ordre des resultats ne depend pas des fils.
#include "exercices/correction.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

std::string liste_json(std::vector<int> const& v) {
    std::string t = "[";
    for (std::size_t i = 0; i < v.size(); ++i) {
        t += (i > 0 ? ", " : "") + std::to_string(v[i]);
    }
    return t + "]";
}

std::string chaine_json(char const* mot) {
    return std::string("\"") + mot + "\"";
}

// " en $000c, ligne 9" ; sans ligne pour un .bin ou une adresse hors du source.
std::string ou(resultat_cas const& r) {
    return " en " + texte_adresse(r.arret_en) +
           (r.ligne > 0 ? ", ligne " + std::to_string(r.ligne) : "");
}

std::string pas_texte(long long n) {
    return std::to_string(n) + " pas";
}

std::string arret_attendu(cas_exercice const& c) {
    switch (c.arret_attendu) {
    case arret::limite:
        return "aucun arrêt avant " + pas_texte(c.pas_max);
    case arret::erreur_pile:
        return "une erreur de pile";
    case arret::point_arret:
        return "un point d'arrêt";
    default:
        return "fin de programme (BT *)";
    }
}

std::string message_arret(cas_exercice const& c, resultat_cas const& r, erreur_pile_sorte pile) {
    std::string m;
    switch (r.raison) {
    case arret::limite:
        m = "ne s'arrête pas en " + pas_texte(r.pas) + " (arrêt limite" + ou(r) + ")";
        break;
    case arret::erreur_pile:
        m = std::string("erreur de pile") +
            (pile != erreur_pile_sorte::aucune ? " (" + std::string(texte_erreur_pile(pile)) + ")"
                                               : "") +
            ou(r);
        break;
    case arret::point_arret:
        m = "point d'arrêt" + ou(r);
        break;
    default:
        m = "fin de programme après " + pas_texte(r.pas) + " (boucle" + ou(r) + ")";
        break;
    }
    return c.arret_attendu == arret::boucle ? m : m + ", attendu : " + arret_attendu(c);
}

void ajoute(resultat_cas& r, ecart e, std::string const& message) {
    r.ecarts.push_back(std::move(e));
    r.message += (r.message.empty() ? "" : " ; ") + message;
}

std::string texte_valeurs(octets_a const& o, std::vector<int> const& v) {
    return o.tableau ? liste_json(v) : std::to_string(v[0]);
}

void compare(cas_exercice const& c, cas_pret const& pret, etat_final const& e, resultat_cas& r) {
    if (e.raison != c.arret_attendu) {
        ajoute(r,
               {"arret", chaine_json(mot_arret(c.arret_attendu)), chaine_json(mot_arret(e.raison))},
               message_arret(c, r, e.pile_en_faute));
    }
    for (port_attendu const& p : c.ports) {
        int const obtenu = e.ports[p.registre];
        if ((p.valeur & 0xFF) != obtenu) {
            std::string const nom = noms_registres_ports[p.registre];
            ajoute(r, {nom, std::to_string(p.valeur), std::to_string(obtenu)},
                   (p.registre < nb_ports ? "port " : "") + nom + " vaut " +
                       std::to_string(obtenu) + ", attendu " + std::to_string(p.valeur));
        }
    }
    if (c.pile_attendue) {
        bool egale = c.pile.size() == e.pile.size();
        for (std::size_t i = 0; egale && i < c.pile.size(); ++i) {
            egale = (c.pile[i] & 0xFF) == (e.pile[i] & 0xFF);
        }
        if (!egale) {
            ajoute(r, {"pile", liste_json(c.pile), liste_json(e.pile)},
                   "pile vaut " + liste_json(e.pile) + ", attendu " + liste_json(c.pile) +
                       " (du fond au sommet)");
        }
    }
    for (std::size_t z = 0; z < c.zones.size(); ++z) {
        octets_a const& o = c.zones[z];
        std::vector<int> obtenus;
        bool egale = true;
        for (std::size_t i = 0; i < o.valeurs.size(); ++i) {
            obtenus.push_back(e.zones[z].octets[i]);
            egale = egale && (o.valeurs[i] & 0xFF) == obtenus.back();
        }
        if (!egale) {
            std::string const adresse = texte_adresse(pret.zones[z].adresse);
            std::string const quoi = o.cle.symbolique ? o.cle.texte : adresse;
            ajoute(r, {quoi, texte_valeurs(o, o.valeurs), texte_valeurs(o, obtenus)},
                   quoi + (o.cle.symbolique ? " (" + adresse + ")" : "") + " vaut " +
                       texte_valeurs(o, obtenus) + ", attendu " + texte_valeurs(o, o.valeurs));
        }
    }
}

// La cle resolue, ou son message ajoute a erreur.
bool resout(octets_a const& o, programme_charge const& p, std::string& erreur,
            unsigned short& adresse) {
    std::string const m = resout_cle(o.cle, p, o.valeurs.size(), adresse);
    // Une etiquette absente, posee puis attendue, n'est dite qu'une fois.
    if (!m.empty() && erreur.find(m) == std::string::npos) {
        erreur += (erreur.empty() ? "" : " ; ") + m;
    }
    return m.empty();
}

std::vector<unsigned char> octets(std::vector<int> const& valeurs) {
    std::vector<unsigned char> v;
    for (int x : valeurs) {
        v.push_back(static_cast<unsigned char>(x & 0xFF));
    }
    return v;
}

resultat_cas non_lance(cas_exercice const& c, std::string message) {
    resultat_cas r;
    r.nom = c.nom;
    r.points_max = c.points;
    r.message = std::move(message);
    return r;
}

} // namespace

cas_pret prepare_cas(cas_exercice const& c, programme_charge const& p) {
    cas_pret pret;
    pret.demande.pas_max = c.pas_max;
    for (octets_a const& o : c.memoire) {
        unsigned short a = 0;
        if (resout(o, p, pret.erreur, a)) {
            pret.demande.memoire.push_back({a, octets(o.valeurs)});
        }
    }
    pret.demande.entrees = c.entrees;
    pret.demande.entrees.insert(pret.demande.entrees.end(), c.evenements.begin(),
                                c.evenements.end());
    for (octets_a const& o : c.zones) {
        unsigned short a = 0;
        if (resout(o, p, pret.erreur, a)) {
            pret.zones.push_back({a, static_cast<unsigned>(o.valeurs.size())});
        }
    }
    return pret;
}

resultat_cas corrige_cas(cas_exercice const& c, programme_charge const& p) {
    cas_pret const pret = prepare_cas(c, p);
    if (!pret.erreur.empty()) {
        return non_lance(c, pret.erreur);
    }
    resultat_cas r = non_lance(c, "");
    machine_seule seule;
    arret_decrit const a = lance_programme(seule, p, pret.demande);
    etat_final const e = releve(seule.m(), a, pret.zones);
    r.lance = true;
    r.raison = e.raison;
    r.arret_en = e.adresse_arret;
    r.ligne = e.ligne;
    r.pas = e.pas;
    compare(c, pret, e, r);
    r.reussi = r.ecarts.empty();
    r.points = r.reussi ? c.points : 0;
    return r;
}

std::vector<resultat_copie> corrige(exercice const& e, std::vector<copie> const& copies,
                                    unsigned fils) {
    std::vector<resultat_copie> resultats(copies.size());
    struct tache {
        std::size_t copie, cas;
    };
    std::vector<tache> taches;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        resultat_copie& r = resultats[i];
        programme_charge const& p = copies[i].programme;
        r.fichier = copies[i].fichier;
        r.charge = p.charge;
        r.total = e.total();
        for (diagnostic const& d : p.assemble.diagnostics) {
            if (d.erreur) {
                r.erreurs.push_back(texte_diagnostic(copies[i].fichier, d));
            }
        }
        if (!p.erreur.empty()) {
            r.erreurs.push_back(p.erreur);
        }
        for (std::size_t c = 0; c < e.cas.size(); ++c) {
            r.cas.push_back(non_lance(e.cas[c], "le programme ne se charge pas"));
            if (p.charge) {
                taches.push_back({i, c});
            }
        }
    }
    std::atomic<std::size_t> suivante{0};
    auto const travaille = [&] {
        for (std::size_t t = suivante++; t < taches.size(); t = suivante++) {
            tache const& k = taches[t];
            resultats[k.copie].cas[k.cas] = corrige_cas(e.cas[k.cas], copies[k.copie].programme);
        }
    };
    unsigned n = fils != 0 ? fils : std::max(1u, std::thread::hardware_concurrency());
    n = static_cast<unsigned>(std::min<std::size_t>(n, std::max<std::size_t>(1, taches.size())));
    std::vector<std::thread> autres;
    for (unsigned i = 1; i < n; ++i) {
        autres.emplace_back(travaille);
    }
    travaille();
    for (std::thread& f : autres) {
        f.join();
    }
    for (resultat_copie& r : resultats) {
        for (resultat_cas const& c : r.cas) {
            r.points += c.points;
        }
    }
    return resultats;
}

std::string nom_du_cas(cas_exercice const& c) {
    std::string t;
    for (evenement_entree const& e : c.entrees) {
        char valeur[8];
        std::snprintf(valeur, sizeof valeur, "$%02X", e.valeur);
        t += (t.empty() ? " (" : ", ") + std::string(1, lettres_ports[e.port]) + "=" + valeur;
    }
    return c.nom + (t.empty() ? t : t + ")");
}
