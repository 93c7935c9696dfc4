// Cas prepares, lances par lance_programme, compares par releve. Les fils se
// partagent les paires (copie, cas) par un compteur, dans l'ordre : le premier
// fil qui prend un cas d'une copie la lit, le dernier qui en finit un la lache ;
// il n'y a donc jamais plus de copies en memoire que de fils. Chaque cas a sa
// machine et son resultat sa place : l'ordre des resultats ne depend pas des fils.
#include "exercices/correction.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
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

std::string message_arret(cas_exercice const& c, resultat_cas const& r) {
    std::string const m = texte_arret(r);
    return c.arret_attendu == arret::boucle ? m : m + ", attendu : " + arret_attendu(c);
}

void ajoute(resultat_cas& r, ecart e, std::string const& message) {
    r.ecarts.push_back(std::move(e));
    r.message += (r.message.empty() ? "" : " ; ") + message;
}

std::string texte_valeurs(octets_a const& o, std::vector<int> const& v) {
    return o.tableau ? liste_json(v) : std::to_string(v[0]);
}

// Les octets obtenus dans la signature de leurs attendus, pour le message.
std::string obtenus_comme(octets_a const& o, std::vector<int> const& obtenus) {
    std::string t;
    for (std::size_t i = 0; i < obtenus.size(); ++i) {
        t += (i > 0 ? ", " : "") + octet_comme(obtenus[i], o.valeurs[i], false);
    }
    return o.tableau ? "[" + t + "]" : t;
}

void compare(cas_exercice const& c, cas_pret const& pret, etat_final const& e, resultat_cas& r) {
    if (e.raison != c.arret_attendu) {
        ajoute(r,
               {"arret",
                chaine_json(mot_arret(c.arret_attendu)),
                chaine_json(mot_arret(e.raison)),
                "",
                {},
                {},
                false,
                false},
               message_arret(c, r));
    }
    for (port_attendu const& p : c.ports) {
        int const obtenu = e.ports[p.registre];
        if ((p.valeur & 0xFF) != obtenu) {
            std::string const nom = noms_registres_ports[p.registre];
            std::string const lieu = (p.registre < nb_ports ? "port " : "") + nom;
            ajoute(r,
                   {nom,
                    std::to_string(p.valeur),
                    std::to_string(obtenu),
                    lieu,
                    {p.valeur},
                    {obtenu},
                    false,
                    false},
                   lieu + " vaut " + octet_comme(obtenu, p.valeur, false) + ", attendu " +
                       std::to_string(p.valeur));
        }
    }
    if (c.pile_attendue) {
        bool egale = c.pile.size() == e.pile.size();
        for (std::size_t i = 0; egale && i < c.pile.size(); ++i) {
            egale = (c.pile[i] & 0xFF) == (e.pile[i] & 0xFF);
        }
        if (!egale) {
            std::string obtenue;
            for (std::size_t i = 0; i < e.pile.size(); ++i) {
                obtenue += (i > 0 ? ", " : "") +
                           pile_comme(e.pile[i], i < c.pile.size() ? &c.pile[i] : nullptr, false);
            }
            ajoute(r,
                   {"pile", liste_json(c.pile), liste_json(e.pile), "pile", c.pile, e.pile, true,
                    true},
                   "pile vaut [" + obtenue + "], attendu " + liste_json(c.pile) +
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
            bool const nomme = o.cle.symbolique || o.cle.predefini;
            std::string const quoi = nomme ? o.cle.texte : adresse;
            std::string const lieu = quoi + (nomme ? " (" + adresse + ")" : "");
            ajoute(r,
                   {quoi, texte_valeurs(o, o.valeurs), texte_valeurs(o, obtenus), lieu, o.valeurs,
                    obtenus, o.tableau, false},
                   lieu + " vaut " + obtenus_comme(o, obtenus) + ", attendu " +
                       texte_valeurs(o, o.valeurs));
        }
    }
}

// La cle resolue, ou son message ajoute a erreur.
bool resout(octets_a const& o, symboles_cherches const& s, std::string& erreur,
            unsigned short& adresse) {
    std::string const m = s.resout(o.cle, o.valeurs.size(), adresse);
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

// Un cas que la correction annulee n'a pas fini.
resultat_cas annule_cas(cas_exercice const& c) {
    resultat_cas r = non_lance(c, "correction annulée");
    r.raison = arret::demande;
    return r;
}

std::string hexa(int octet) {
    char t[8];
    std::snprintf(t, sizeof t, "$%02X", octet & 0xFF);
    return t;
}

// "E=$81, C=$02" : les ports d'evenements du meme pas, de debut a fin.
std::string ports_poses(std::vector<evenement_entree> const& v, std::size_t debut,
                        std::size_t fin) {
    std::string t;
    for (std::size_t i = debut; i < fin; ++i) {
        t += (i > debut ? ", " : "") + std::string(1, lettres_ports[v[i].port]) + "=" +
             hexa(v[i].valeur);
    }
    return t;
}

// Les evenements groupes par pas : "E=$81 au pas 150", dans l'ordre du fichier.
std::vector<std::string> evenements_par_pas(cas_exercice const& c, bool au_debut) {
    std::vector<std::string> l;
    for (std::size_t i = 0; i < c.evenements.size();) {
        std::size_t j = i;
        while (j < c.evenements.size() && c.evenements[j].pas == c.evenements[i].pas) {
            ++j;
        }
        std::string const pas = "au pas " + std::to_string(c.evenements[i].pas);
        std::string const ports = ports_poses(c.evenements, i, j);
        l.push_back(au_debut ? pas + ", " + ports : ports + " " + pas);
        i = j;
    }
    return l;
}

std::string joint(std::vector<std::string> const& l, char const* separateur) {
    std::string t;
    for (std::size_t i = 0; i < l.size(); ++i) {
        t += (i > 0 ? separateur : "") + l[i];
    }
    return t;
}

} // namespace

symboles_cherches::symboles_cherches(exercice const& e, programme_charge const& p) : programme(p) {
    bool pose_symbolique = false;
    for (cas_exercice const& c : e.cas) {
        for (std::vector<octets_a> const* v : {&c.memoire, &c.zones}) {
            for (octets_a const& o : *v) {
                if (o.cle.symbolique) {
                    symboles.emplace(o.cle.symbole, cherche{});
                    pose_symbolique = pose_symbolique || v == &c.memoire;
                }
            }
        }
    }
    if (!p.source) {
        return;
    }
    for (auto& [nom, c] : symboles) {
        c.absent = cherche_symbole(nom, p, c.valeur);
    }
    if (pose_symbolique) {
        for (symbole_source const& s : p.assemble.symboles) {
            if (s.sorte == symbole_source::etiquette) {
                etiquettes.emplace_back(s.valeur, &s.nom);
            }
        }
        std::stable_sort(etiquettes.begin(), etiquettes.end(),
                         [](auto const& a, auto const& b) { return a.first < b.first; });
    }
}

std::string symboles_cherches::resout(cle_adresse const& c, std::size_t taille,
                                      unsigned short& adresse) const {
    auto const s = c.symbolique ? symboles.find(c.symbole) : symboles.end();
    if (!c.symbolique || !programme.source || s == symboles.end()) {
        return resout_cle(c, programme, taille, adresse);
    }
    if (!s->second.absent.empty()) {
        return s->second.absent;
    }
    return place_cle(c, s->second.valeur, taille, adresse);
}

std::string symboles_cherches::debord(cle_adresse const& c, unsigned short adresse,
                                      std::size_t taille) const {
    auto const s = c.symbolique ? symboles.find(c.symbole) : symboles.end();
    if (s == symboles.end() || !s->second.absent.empty()) {
        return "";
    }
    long long const depart = s->second.valeur;
    auto const suivante = std::upper_bound(etiquettes.begin(), etiquettes.end(), depart,
                                           [](long long v, auto const& e) { return v < e.first; });
    if (suivante == etiquettes.end() ||
        suivante->first >= adresse + static_cast<long long>(taille)) {
        return "";
    }
    return "la mémoire posée déborde de " + c.symbole + " sur " + *suivante->second;
}

cas_pret prepare_cas(cas_exercice const& c, programme_charge const& p) {
    exercice seul;
    seul.cas.push_back(c);
    return prepare_cas(c, symboles_cherches(seul, p));
}

cas_pret prepare_cas(cas_exercice const& c, symboles_cherches const& s) {
    cas_pret pret;
    pret.demande.pas_max = c.pas_max;
    for (octets_a const& o : c.memoire) {
        unsigned short a = 0;
        if (resout(o, s, pret.erreur, a)) {
            pret.demande.memoire.push_back({a, octets(o.valeurs)});
            std::string const d = s.debord(o.cle, a, o.valeurs.size());
            if (!d.empty() && pret.debord.find(d) == std::string::npos) {
                pret.debord += (pret.debord.empty() ? "" : " ; ") + d;
            }
        }
    }
    pret.demande.entrees = c.entrees;
    pret.demande.entrees.insert(pret.demande.entrees.end(), c.evenements.begin(),
                                c.evenements.end());
    for (octets_a const& o : c.zones) {
        unsigned short a = 0;
        if (resout(o, s, pret.erreur, a)) {
            pret.zones.push_back({a, static_cast<unsigned>(o.valeurs.size())});
        }
    }
    return pret;
}

resultat_cas corrige_cas(cas_exercice const& c, programme_charge const& p,
                         symboles_cherches const& s, std::atomic<bool> const* annule) {
    cas_pret pret = prepare_cas(c, s);
    if (!pret.erreur.empty()) {
        return non_lance(c, pret.erreur);
    }
    resultat_cas r = non_lance(c, "");
    pret.demande.annule = annule;
    machine_seule seule;
    arret_decrit const a = lance_programme(seule, p, pret.demande);
    if (a.bilan.raison == arret::demande) {
        return annule_cas(c);
    }
    etat_final const e = releve(seule.m(), a, pret.zones);
    r.lance = true;
    r.raison = e.raison;
    r.arret_en = e.adresse_arret;
    r.ligne = e.ligne;
    r.pas = e.pas;
    r.phrase = e.phrase;
    compare(c, pret, e, r);
    r.reussi = r.ecarts.empty();
    r.points = r.reussi ? c.points : 0;
    if (!r.reussi && !pret.debord.empty()) {
        r.note = pret.debord;
        r.message += " ; " + pret.debord;
    }
    return r;
}

std::vector<resultat_copie> corrige(exercice const& e, std::vector<copie> const& copies,
                                    unsigned fils, std::atomic<bool> const* annule) {
    std::vector<copie_a_lire> a_lire;
    for (copie const& c : copies) {
        // Sans possesseur : les copies restent a l'appelant.
        programme_charge const* p = &c.programme;
        a_lire.push_back(
            {c.fichier,
             [p] { return std::shared_ptr<programme_charge const>(std::shared_ptr<void>(), p); }});
    }
    return corrige_a_mesure(e, a_lire, fils, nullptr, annule);
}

std::vector<resultat_copie> corrige_a_mesure(exercice const& e,
                                             std::vector<copie_a_lire> const& copies, unsigned fils,
                                             recueil_copie const& recueil,
                                             std::atomic<bool> const* annule) {
    std::vector<resultat_copie> resultats(copies.size());
    struct en_cours {
        std::mutex verrou;
        bool lue = false;
        std::shared_ptr<programme_charge const> programme;
        std::unique_ptr<symboles_cherches> symboles;
        std::atomic<std::size_t> restants{0};
    };
    std::vector<en_cours> etats(copies.size());
    for (std::size_t i = 0; i < copies.size(); ++i) {
        resultats[i].fichier = copies[i].fichier;
        resultats[i].total = e.total();
        resultats[i].cas.resize(e.cas.size());
        etats[i].restants = e.cas.size();
    }
    // Lit la copie i au premier de ses cas ; les autres fils l'attendent.
    auto const lit = [&](std::size_t i) -> en_cours& {
        en_cours& etat = etats[i];
        std::lock_guard<std::mutex> garde(etat.verrou);
        if (!etat.lue) {
            etat.lue = true;
            etat.programme = copies[i].lit();
            programme_charge const& p = *etat.programme;
            resultat_copie& r = resultats[i];
            r.charge = p.charge;
            for (diagnostic const& d : p.assemble.diagnostics) {
                (d.erreur ? r.erreurs : r.avertissements)
                    .push_back(texte_diagnostic(copies[i].fichier, d));
            }
            if (!p.erreur.empty()) {
                r.erreurs.push_back(p.erreur);
            }
            if (recueil) {
                recueil(i, p);
            }
            etat.symboles = std::make_unique<symboles_cherches>(e, p);
        }
        return etat;
    };
    std::atomic<std::size_t> suivante{0};
    std::size_t const taches = copies.size() * e.cas.size();
    auto const travaille = [&] {
        for (std::size_t t = suivante++; t < taches; t = suivante++) {
            std::size_t const i = t / e.cas.size(), c = t % e.cas.size();
            en_cours& etat = lit(i);
            resultats[i].cas[c] =
                annule != nullptr && annule->load(std::memory_order_relaxed) ? annule_cas(e.cas[c])
                : etat.programme->charge
                    ? corrige_cas(e.cas[c], *etat.programme, *etat.symboles, annule)
                    : non_lance(e.cas[c], "le programme ne se charge pas");
            if (--etat.restants == 0) {
                std::lock_guard<std::mutex> garde(etat.verrou);
                etat.symboles.reset();
                etat.programme.reset();
            }
        }
    };
    unsigned n = fils != 0 ? fils : std::max(1u, std::thread::hardware_concurrency());
    n = static_cast<unsigned>(std::min<std::size_t>(n, std::max<std::size_t>(1, taches)));
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
        t += (t.empty() ? " (" : ", ") + std::string(1, lettres_ports[e.port]) + "=" +
             hexa(e.valeur);
    }
    return c.nom + (t.empty() ? t : t + ")");
}

std::vector<std::string> mise_en_place(cas_exercice const& c) {
    std::vector<std::string> l;
    if (!c.entrees.empty()) {
        l.push_back("entrées : " + ports_poses(c.entrees, 0, c.entrees.size()));
    }
    std::vector<std::string> memoire;
    for (octets_a const& o : c.memoire) {
        memoire.push_back(o.cle.texte + " = " + texte_valeurs(o, o.valeurs));
    }
    if (!memoire.empty()) {
        l.push_back("mémoire : " + joint(memoire, " ; "));
    }
    if (!c.evenements.empty()) {
        l.push_back("événements : " + joint(evenements_par_pas(c, true), " ; "));
    }
    return l;
}

std::string mise_en_place_breve(cas_exercice const& c) {
    return c.evenements.empty() ? "" : "après " + joint(evenements_par_pas(c, false), ", ");
}

std::string texte_arret(resultat_cas const& r) {
    switch (r.raison) {
    case arret::limite:
        return "ne s'arrête pas en " + pas_texte(r.pas) + " (arrêt limite" + ou(r) + ")";
    case arret::erreur_pile:
        return sans_debut_arret(r.phrase);
    case arret::point_arret:
        return "point d'arrêt" + ou(r);
    default:
        return "fin de programme après " + pas_texte(r.pas) + " (boucle" + ou(r) + ")";
    }
}

std::string octet_comme(int obtenu, int attendu, bool deux_formes) {
    int const signe = obtenu > 127 ? obtenu - 256 : obtenu;
    if (attendu < 0) {
        return std::to_string(signe);
    }
    if (attendu > 127 || !deux_formes || obtenu <= 127) {
        return std::to_string(obtenu);
    }
    return std::to_string(obtenu) + " (" + std::to_string(signe) + ")";
}

std::string pile_comme(int obtenu, int const* attendu, bool deux_formes) {
    int const sans_signe = obtenu & 0xFF;
    if (attendu != nullptr && *attendu > 127) {
        return std::to_string(sans_signe);
    }
    if (attendu != nullptr && *attendu < 0) {
        return std::to_string(obtenu);
    }
    if (!deux_formes || obtenu >= 0) {
        return std::to_string(obtenu);
    }
    return std::to_string(obtenu) + " (" + std::to_string(sans_signe) + ")";
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
