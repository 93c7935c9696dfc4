// Une page faite a la main, dimensions en pixels du dessin seulement : la page
// elle-meme suit la largeur de la fenetre. Chaque nombre dessine porte aussi un
// attribut data-, que les tests comparent au JSON.
#include "promotion/page.h"

#include <algorithm>

#include "exercices/rendus.h"
#include "promotion/impressions.h"

namespace {

constexpr int largeur_dessin = 720;
constexpr int hauteur_histogramme = 220;
constexpr int hauteur_barre_cas = 26;
constexpr int marge_noms = 230; // a gauche des barres des cas

char const* const style =
    "body{font-family:system-ui,'DejaVu Sans',sans-serif;margin:2em auto;max-width:72em;"
    "padding:0 1em;color:#1d2530;background:#fff}"
    "h1{font-size:1.6em;margin-bottom:.2em}h2{font-size:1.2em;margin-top:1.8em;"
    "border-bottom:1px solid #d0d6de;padding-bottom:.2em}"
    ".resume{color:#4a5563}"
    "table{border-collapse:collapse;width:100%}th,td{text-align:left;padding:.35em .6em;"
    "border-bottom:1px solid #e3e7ec;vertical-align:top}th{background:#f2f4f7}"
    "td.nombre{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}"
    "pre{white-space:pre-wrap;font-size:.9em;background:#f7f8fa;padding:.6em;margin:.4em 0}"
    "details summary{cursor:pointer}.cache{color:#7a4b00}.vide{color:#6b7480}"
    "svg text{font-family:system-ui,'DejaVu Sans',sans-serif;font-size:12px;fill:#1d2530}"
    ".groupe{margin:.6em 0}.groupe ul{margin:.2em 0}";

std::string nombre(double v) {
    char t[32];
    std::snprintf(t, sizeof t, "%.1f", v);
    std::string s = t;
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

std::string histogramme(bilan_classe const& b) {
    int plus_haut = 1;
    for (barre_histogramme const& h : b.histogramme) {
        plus_haut = std::max(plus_haut, h.nombre);
    }
    int const n = static_cast<int>(b.histogramme.size());
    int const place = (largeur_dessin - 40) / std::max(1, n);
    int const haut = hauteur_histogramme - 50;
    std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" width=\"" +
                    std::to_string(largeur_dessin) + "\" height=\"" +
                    std::to_string(hauteur_histogramme) +
                    "\" aria-label=\"Répartition des points\">";
    s += "<line x1=\"20\" y1=\"" + std::to_string(20 + haut) + "\" x2=\"" +
         std::to_string(largeur_dessin - 20) + "\" y2=\"" + std::to_string(20 + haut) +
         "\" stroke=\"#8a94a3\"/>";
    for (int i = 0; i < n; ++i) {
        barre_histogramme const& h = b.histogramme[static_cast<std::size_t>(i)];
        int const hauteur = h.nombre * haut / plus_haut;
        int const x = 20 + i * place + place / 8;
        int const l = std::max(2, place * 3 / 4);
        s += "<g class=\"barre\" data-points=\"" + html(h.libelle) + "\" data-nombre=\"" +
             std::to_string(h.nombre) + "\"><rect x=\"" + std::to_string(x) + "\" y=\"" +
             std::to_string(20 + haut - hauteur) + "\" width=\"" + std::to_string(l) +
             "\" height=\"" + std::to_string(hauteur) + "\" fill=\"#3b6fb6\"/>";
        s += "<text x=\"" + std::to_string(x + l / 2) + "\" y=\"" +
             std::to_string(15 + haut - hauteur) + "\" text-anchor=\"middle\">" +
             std::to_string(h.nombre) + "</text>";
        s += "<text x=\"" + std::to_string(x + l / 2) + "\" y=\"" + std::to_string(38 + haut) +
             "\" text-anchor=\"middle\">" + html(h.libelle) + "</text></g>";
    }
    s += "<text x=\"" + std::to_string(largeur_dessin / 2) + "\" y=\"" +
         std::to_string(hauteur_histogramme - 2) +
         "\" text-anchor=\"middle\" fill=\"#4a5563\">points</text>";
    return s + "</svg>";
}

std::string reussites(exercice const& e, bilan_classe const& b) {
    int const n = static_cast<int>(b.cas.size());
    int const longueur = largeur_dessin - marge_noms - 110;
    std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" width=\"" +
                    std::to_string(largeur_dessin) + "\" height=\"" +
                    std::to_string(n * hauteur_barre_cas + 10) +
                    "\" aria-label=\"Réussite de chaque cas\">";
    for (int i = 0; i < n; ++i) {
        reussite_cas const& r = b.cas[static_cast<std::size_t>(i)];
        cas_exercice const& c = e.cas[static_cast<std::size_t>(i)];
        int const y = 5 + i * hauteur_barre_cas;
        int const plein = r.sur > 0 ? r.reussis * longueur / r.sur : 0;
        std::string nom = c.nom.size() > 34 ? c.nom.substr(0, 32) + "…" : c.nom;
        nom = en_utf8(nom); // une coupe au milieu d'un caractere
        s += "<g class=\"cas\" data-nom=\"" + html(c.nom) + "\" data-reussis=\"" +
             std::to_string(r.reussis) + "\" data-sur=\"" + std::to_string(r.sur) + "\"><title>" +
             html(c.nom) + "</title>";
        s += "<text x=\"" + std::to_string(marge_noms - 8) + "\" y=\"" + std::to_string(y + 16) +
             "\" text-anchor=\"end\">" + html(nom) + (c.cache ? " (caché)" : "") + "</text>";
        s += "<rect x=\"" + std::to_string(marge_noms) + "\" y=\"" + std::to_string(y + 3) +
             "\" width=\"" + std::to_string(longueur) + "\" height=\"" +
             std::to_string(hauteur_barre_cas - 8) + "\" fill=\"#f3d6d6\"/>";
        s += "<rect x=\"" + std::to_string(marge_noms) + "\" y=\"" + std::to_string(y + 3) +
             "\" width=\"" + std::to_string(plein) + "\" height=\"" +
             std::to_string(hauteur_barre_cas - 8) + "\" fill=\"#3f9a5a\"/>";
        s += "<text x=\"" + std::to_string(marge_noms + longueur + 8) + "\" y=\"" +
             std::to_string(y + 16) + "\">" + std::to_string(r.reussis) + "/" +
             std::to_string(r.sur) +
             (r.sur > 0 ? " (" + std::to_string((200 * r.reussis + r.sur) / (2 * r.sur)) + " %)"
                        : "") +
             "</text></g>";
    }
    return s + "</svg>";
}

} // namespace

std::string html(std::string const& t) {
    std::string h;
    for (char c : en_utf8(t)) {
        switch (c) {
        case '&':
            h += "&amp;";
            break;
        case '<':
            h += "&lt;";
            break;
        case '>':
            h += "&gt;";
            break;
        case '"':
            h += "&quot;";
            break;
        case '\'':
            h += "&#39;";
            break;
        default:
            h += static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t' ? '?' : c;
        }
    }
    return h;
}

std::string page_bilan(exercice const& e, classe_corrigee const& c, long long sur) {
    std::size_t rendus = 0;
    long long somme = 0;
    for (resultat_etudiant const& r : c.etudiants) {
        rendus += r.rendu ? 1 : 0;
        somme += r.copie.points;
    }
    std::string p = "<!DOCTYPE html>\n<html lang=\"fr\"><head><meta charset=\"utf-8\">"
                    "<meta name=\"viewport\" content=\"width=device-width\"><title>Bilan — " +
                    html(e.titre) + "</title><style>" + style + "</style></head><body>\n";
    p += "<h1>" + html(e.titre) + "</h1>\n";
    double const moyenne =
        c.etudiants.empty() ? 0
                            : static_cast<double>(somme) / static_cast<double>(c.etudiants.size());
    p += "<p class=\"resume\">" + std::to_string(c.etudiants.size()) + " étudiants, " +
         std::to_string(rendus) + " avec un fichier corrigé ; " + std::to_string(e.cas.size()) +
         " cas, " + std::to_string(e.total()) + " points ; moyenne " + nombre(moyenne) + "/" +
         std::to_string(e.total()) +
         (sur > 0 && e.total() > 0
              ? " (" + nombre(moyenne * static_cast<double>(sur) / static_cast<double>(e.total())) +
                    "/" + std::to_string(sur) + ")"
              : "") +
         ".</p>\n";
    p += "<h2>Répartition des points</h2>\n" + histogramme(c.bilan) + "\n";
    p += "<h2>Réussite de chaque cas</h2>\n<p class=\"resume\">Parmi les étudiants qui ont rendu "
         "un fichier à corriger.</p>\n" +
         reussites(e, c.bilan) + "\n";
    p += "<h2>Échecs les plus fréquents</h2>\n";
    if (c.bilan.echecs.empty()) {
        p += "<p class=\"vide\">Aucun échec.</p>\n";
    } else {
        p += "<table><tr><th>Cas</th><th>Message</th><th>Étudiants</th></tr>\n";
        for (echec_frequent const& f : c.bilan.echecs) {
            p += "<tr class=\"echec\" data-nombre=\"" + std::to_string(f.nombre) + "\"><td>" +
                 html(e.cas[f.cas].nom) + "</td><td>" + html(f.message) +
                 "</td><td class=\"nombre\">" + std::to_string(f.nombre) + "</td></tr>\n";
        }
        p += "</table>\n";
    }
    p += "<h2>Copies semblables</h2>\n";
    if (c.groupes.empty()) {
        p += "<p class=\"vide\">Aucun groupe (seuil : " + std::to_string(seuil_ressemblance) +
             " % d'empreintes communes).</p>\n";
    }
    for (groupe_semblable const& g : c.groupes) {
        std::vector<std::string> const l = lignes_groupe(c, g);
        p += "<div class=\"groupe\"><strong>" + html(l[0]) + "</strong><ul>";
        for (std::size_t i = 1; i < l.size(); ++i) {
            p += "<li>" + html(l[i]) + "</li>";
        }
        p += "</ul></div>\n";
    }
    p += "<h2>Étudiants</h2>\n<table><tr><th>Étudiant</th><th>Fichier</th><th>Points</th>" +
         std::string(sur > 0 ? "<th>Note</th>" : "") + "<th>Retour</th></tr>\n";
    for (resultat_etudiant const& r : c.etudiants) {
        p += "<tr><td>" + html(nom_etudiant(r.qui)) + "</td><td>" +
             (r.rendu ? html(r.fichier) : "<span class=\"vide\">aucun</span>") +
             "</td><td class=\"nombre\">" + std::to_string(r.copie.points) + "/" +
             std::to_string(r.copie.total) + "</td>";
        if (sur > 0) {
            p += "<td class=\"nombre\">" +
                 texte_note(note_en_quarts(r.copie.points, r.copie.total, sur), ',') + "/" +
                 std::to_string(sur) + "</td>";
        }
        p += "<td><details><summary>" + html(commentaire_court(e, r)) + "</summary><pre>" +
             html(retour_etudiant(e, r, sur)) + "</pre></details></td></tr>\n";
    }
    return p + "</table>\n</body></html>\n";
}
