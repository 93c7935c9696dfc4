// Impressions d'une classe corrigee : rien n'y est recalcule, sauf la mise en
// forme (notes a virgule, octets dans la signature de leur attendu).
#include "promotion/impressions.h"

#include "exercices/rendus.h"
#include "simulateur/textes_fichiers.h"

namespace {

std::string joint(std::vector<std::string> const& l, char const* separateur) {
    std::string t;
    for (std::size_t i = 0; i < l.size(); ++i) {
        t += (i > 0 ? separateur : "") + l[i];
    }
    return t;
}

std::string points(resultat_copie const& c) {
    return std::to_string(c.points) + "/" + std::to_string(c.total);
}

std::string note_sur(resultat_copie const& c, long long sur, char virgule) {
    return texte_note(note_en_quarts(c.points, c.total, sur), virgule) + "/" + std::to_string(sur);
}

// Les lignes d'un etudiant sous la sienne, sans marge.
std::vector<std::string> lignes_etudiant(exercice const& e, resultat_etudiant const& r) {
    std::vector<std::string> l;
    if (!r.rendu) {
        l.push_back("aucun fichier à corriger" +
                    (r.qui.autres.empty()
                         ? std::string(" : rien n'a été rendu")
                         : " (rendu : " + nom_lisible(joint(r.qui.autres, ", ")) + ")"));
        return l;
    }
    std::string fichier = "fichier : " + nom_lisible(r.fichier);
    if (!r.autres.empty()) {
        std::vector<std::string> autres;
        for (autre_corrige const& a : r.autres) {
            autres.push_back(nom_lisible(a.fichier) + " " + std::to_string(a.points) + "/" +
                             std::to_string(r.copie.total));
        }
        fichier += " (le meilleur de " + std::to_string(r.autres.size() + 1) + " ; aussi " +
                   joint(autres, ", ") + ")";
    }
    l.push_back(fichier);
    if (!r.qui.autres.empty()) {
        l.push_back("non corrigés : " + nom_lisible(joint(r.qui.autres, ", ")));
    }
    for (std::string const& n : r.notes) {
        l.push_back(nom_lisible(n));
    }
    for (std::string const& c : lignes_copie(e, r.copie)) {
        l.push_back(c);
    }
    return l;
}

std::string valeurs(std::vector<int> const& v, bool tableau) {
    std::vector<std::string> t;
    for (int x : v) {
        t.push_back(std::to_string(x));
    }
    return tableau ? "[" + joint(t, ", ") + "]" : joint(t, ", ");
}

std::string obtenus(ecart const& e) {
    std::vector<std::string> t;
    for (std::size_t i = 0; i < e.obtenus.size(); ++i) {
        bool const attendu = i < e.attendus.size();
        t.push_back(e.pile ? pile_comme(e.obtenus[i], attendu ? &e.attendus[i] : nullptr, true)
                           : octet_comme(e.obtenus[i], attendu ? e.attendus[i] : 0, true));
    }
    return e.tableau ? "[" + joint(t, ", ") + "]" : joint(t, ", ");
}

// Les lignes d'un cas echoue dans un retour, sous la sienne.
std::vector<std::string> detail_echec(cas_exercice const& c, resultat_cas const& r) {
    std::vector<std::string> l;
    for (std::string const& p : mise_en_place(c)) {
        l.push_back("posé, " + p);
    }
    if (!r.lance) {
        l.push_back(r.message);
        return l;
    }
    for (ecart const& e : r.ecarts) {
        if (e.quoi == "arret") {
            l.push_back("arrêt attendu : " + arret_attendu(c));
            continue;
        }
        l.push_back("attendu : " + e.lieu + " = " + valeurs(e.attendus, e.tableau));
        l.push_back("obtenu  : " + e.lieu + " = " + obtenus(e) +
                    (e.pile ? " (du fond au sommet)" : ""));
    }
    l.push_back("arrêt : " + texte_arret(r));
    if (!r.note.empty()) {
        l.push_back(r.note);
    }
    return l;
}

std::string json_groupe(classe_corrigee const& c, groupe_semblable const& g) {
    std::string j = std::string("{\"identiques\": ") + (g.identiques ? "true" : "false") +
                    ", \"score_min\": " + std::to_string(g.score_min) +
                    ", \"score_max\": " + std::to_string(g.score_max) + ", \"membres\": [";
    for (std::size_t i = 0; i < g.membres.size(); ++i) {
        membre_groupe const& m = g.membres[i];
        resultat_etudiant const& r = c.etudiants[m.copie];
        j += std::string(i > 0 ? ", " : "") + "{\"etudiant\": " + std::to_string(m.copie) +
             ", \"nom\": " + chaine_json(r.qui.nom) + ", \"fichier\": " + chaine_json(r.fichier) +
             ", \"lignes\": [";
        for (std::size_t k = 0; k < m.lignes.size(); ++k) {
            j += std::string(k > 0 ? ", " : "") + "[" + std::to_string(m.lignes[k].first) + ", " +
                 std::to_string(m.lignes[k].second) + "]";
        }
        j += "]}";
    }
    return j + "]}";
}

} // namespace

std::vector<std::string> lignes_groupe(classe_corrigee const& c, groupe_semblable const& g) {
    std::vector<std::string> noms;
    for (membre_groupe const& m : g.membres) {
        noms.push_back(nom_lisible(nom_etudiant(c.etudiants[m.copie].qui)));
    }
    std::string tete;
    if (g.identiques) {
        tete = "identiques (même image de " +
               compte(c.etudiants[g.membres.front().copie].empreinte.octets.size(), "octet") + ")";
    } else {
        tete = "semblables à " + std::to_string(g.score_min) +
               (g.score_max != g.score_min ? "-" + std::to_string(g.score_max) : "") + " %";
    }
    std::vector<std::string> l{tete + " : " + joint(noms, ", ")};
    for (std::size_t i = 0; i < g.membres.size(); ++i) {
        membre_groupe const& m = g.membres[i];
        l.push_back(noms[i] + ", " + nom_lisible(c.etudiants[m.copie].fichier) +
                    (m.lignes.empty() ? "" : " : lignes " + texte_lignes(m.lignes)));
    }
    return l;
}

std::string texte_classe(exercice const& e, classe_corrigee const& c, long long sur) {
    std::string t;
    for (resultat_etudiant const& r : c.etudiants) {
        t += nom_lisible(nom_etudiant(r.qui)) + " : " + points(r.copie) +
             (sur > 0 ? " — " + note_sur(r.copie, sur, ',') : "") + "\n";
        for (std::string const& l : lignes_etudiant(e, r)) {
            t += "  " + l + "\n";
        }
    }
    if (!c.groupes.empty()) {
        t += "Copies semblables :\n";
        for (groupe_semblable const& g : c.groupes) {
            std::vector<std::string> const l = lignes_groupe(c, g);
            for (std::size_t i = 0; i < l.size(); ++i) {
                t += (i == 0 ? "  " : "    ") + l[i] + "\n";
            }
        }
    }
    for (std::string const& n : c.notes) {
        t += "écarté de l'export : " + nom_lisible(n) + "\n";
    }
    return t;
}

std::string csv_classe(exercice const& e, classe_corrigee const& c, long long sur) {
    std::string t = entete_csv(e, "nom;identifiant;fichier", sur);
    for (resultat_etudiant const& r : c.etudiants) {
        t += champ_csv(r.qui.nom) + ";" + champ_csv(r.qui.identifiant) + ";" +
             champ_csv(r.fichier) + points_csv(r.copie, sur);
    }
    return t;
}

std::string json_classe(exercice const& e, classe_corrigee const& c, long long sur) {
    std::string j = "{\"titre\": " + chaine_json(e.titre) +
                    ", \"total\": " + std::to_string(e.total()) +
                    ", \"sur\": " + (sur > 0 ? std::to_string(sur) : "null") + ", \"etudiants\": [";
    for (std::size_t i = 0; i < c.etudiants.size(); ++i) {
        resultat_etudiant const& r = c.etudiants[i];
        std::string autres = "[";
        for (std::size_t k = 0; k < r.autres.size(); ++k) {
            autres += std::string(k > 0 ? ", " : "") +
                      "{\"fichier\": " + chaine_json(r.autres[k].fichier) +
                      ", \"points\": " + std::to_string(r.autres[k].points) + "}";
        }
        j += std::string(i > 0 ? ", " : "") + "{\"nom\": " + chaine_json(r.qui.nom) +
             ", \"identifiant\": " + chaine_json(r.qui.identifiant) +
             ", \"dossier\": " + chaine_json(r.qui.dossier) +
             ", \"fichier\": " + (r.rendu ? chaine_json(r.fichier) : "null") +
             ", \"autres_corriges\": " + autres + "]" +
             ", \"non_corriges\": " + json_des_chaines(r.qui.autres) +
             ", \"notes\": " + json_des_chaines(r.notes) +
             ", \"points\": " + std::to_string(r.copie.points) +
             ", \"total\": " + std::to_string(r.copie.total) + ", \"note\": " +
             (sur > 0 ? texte_note(note_en_quarts(r.copie.points, r.copie.total, sur), '.')
                      : "null") +
             ", \"erreurs\": " + json_des_chaines(r.copie.erreurs) +
             ", \"avertissements\": " + json_des_chaines(r.copie.avertissements) + ", \"cas\": [";
        for (std::size_t k = 0; k < r.copie.cas.size(); ++k) {
            j += (k > 0 ? ", " : "") + json_du_cas(r.copie.cas[k]);
        }
        j += "]}";
    }
    j += "], \"groupes\": [";
    for (std::size_t i = 0; i < c.groupes.size(); ++i) {
        j += (i > 0 ? ", " : "") + json_groupe(c, c.groupes[i]);
    }
    j += "], \"bilan\": {\"histogramme\": [";
    for (std::size_t i = 0; i < c.bilan.histogramme.size(); ++i) {
        barre_histogramme const& b = c.bilan.histogramme[i];
        j += std::string(i > 0 ? ", " : "") + "{\"points\": " + chaine_json(b.libelle) +
             ", \"nombre\": " + std::to_string(b.nombre) + "}";
    }
    j += "], \"cas\": [";
    for (std::size_t i = 0; i < c.bilan.cas.size(); ++i) {
        j += std::string(i > 0 ? ", " : "") + "{\"nom\": " + chaine_json(e.cas[i].nom) +
             ", \"reussis\": " + std::to_string(c.bilan.cas[i].reussis) +
             ", \"sur\": " + std::to_string(c.bilan.cas[i].sur) + "}";
    }
    j += "], \"echecs\": [";
    for (std::size_t i = 0; i < c.bilan.echecs.size(); ++i) {
        echec_frequent const& f = c.bilan.echecs[i];
        j += std::string(i > 0 ? ", " : "") + "{\"cas\": " + chaine_json(e.cas[f.cas].nom) +
             ", \"message\": " + chaine_json(f.message) +
             ", \"nombre\": " + std::to_string(f.nombre) + "}";
    }
    return j + "]}, \"notes\": " + json_des_chaines(c.notes) + "}\n";
}

std::string retour_etudiant(exercice const& e, resultat_etudiant const& r, long long sur) {
    std::string t = "Exercice : " + e.titre + "\n" + nom_etudiant(r.qui) + "\n";
    if (!r.rendu) {
        t += "Aucun fichier à corriger" +
             (r.qui.autres.empty() ? std::string(" : rien n'a été rendu.")
                                   : " parmi ceux rendus : " + joint(r.qui.autres, ", ") + ".") +
             "\n";
        t += "Note : " + points(r.copie) + " points" +
             (sur > 0 ? " — " + note_sur(r.copie, sur, ',') : "") + "\n";
        return t;
    }
    t += "Fichier corrigé : " + r.fichier +
         (r.autres.empty()
              ? ""
              : " (le meilleur des " + std::to_string(r.autres.size() + 1) + " fichiers rendus)") +
         "\n";
    t += "Note : " + points(r.copie) + " points" +
         (sur > 0 ? " — " + note_sur(r.copie, sur, ',') : "") + "\n";
    for (std::string const& n : r.notes) {
        t += n + "\n";
    }
    if (!r.copie.avertissements.empty()) {
        t += "\nAvertissements de l'assembleur :\n";
        for (std::string const& a : r.copie.avertissements) {
            t += "  " + a + "\n";
        }
    }
    if (!r.copie.charge) {
        t += "\nLe programme ne se charge pas :\n";
        for (std::string const& err : r.copie.erreurs) {
            t += "  " + err + "\n";
        }
        return t;
    }
    t += "\nCas :\n";
    for (std::size_t i = 0; i < r.copie.cas.size() && i < e.cas.size(); ++i) {
        cas_exercice const& c = e.cas[i];
        resultat_cas const& rc = r.copie.cas[i];
        std::string const valeur = rc.reussi
                                       ? compte(static_cast<std::size_t>(c.points), "point")
                                       : "0/" + compte(static_cast<std::size_t>(c.points), "point");
        if (c.cache) {
            t += std::string(rc.reussi ? "✔ " : "✘ ") + c.nom + " (cas caché, " + valeur + ")\n";
            continue;
        }
        t += std::string(rc.reussi ? "✔ " : "✘ ") + nom_du_cas(c) + " (" + valeur + ")\n";
        if (!rc.reussi) {
            for (std::string const& l : detail_echec(c, rc)) {
                t += "    " + l + "\n";
            }
        }
    }
    return t;
}

std::string commentaire_court(exercice const& e, resultat_etudiant const& r) {
    if (!r.rendu) {
        return "Aucun fichier à corriger.";
    }
    if (!r.copie.charge) {
        return "Le programme ne se charge pas : " +
               (r.copie.erreurs.empty() ? std::string("voir ") + nom_retour
                                        : r.copie.erreurs.front()) +
               ".";
    }
    std::vector<std::string> echoues;
    for (std::size_t i = 0; i < r.copie.cas.size() && i < e.cas.size(); ++i) {
        if (!r.copie.cas[i].reussi) {
            echoues.push_back(e.cas[i].nom);
        }
    }
    std::string t = points(r.copie) + " points.";
    if (!echoues.empty()) {
        t += " Cas échoués : " + joint(echoues, ", ") + ". Le détail est dans " + nom_retour + ".";
    }
    return t;
}

std::vector<std::pair<std::string, std::string>>
fichiers_retours(exercice const& e, classe_corrigee const& c, long long sur) {
    std::vector<std::pair<std::string, std::string>> f;
    for (resultat_etudiant const& r : c.etudiants) {
        f.emplace_back(r.qui.dossier + "/" + nom_retour, retour_etudiant(e, r, sur));
    }
    return f;
}
