// Options et rapport de karvela-run ; l'execution est celle du moteur. Les nombres
// des options ont les formes de l'assembleur.
#include "lancement.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

#include "assembleur/assembleur.h"
#include "chaines/chaines.h"
#include "chaines/saisie.h"
#include "simulateur/textes_fichiers.h"

namespace {

constexpr long long fin_memoire = 0x10000;

// Valeur d'une option lue comme un champ de la memoire, dans min..max ; vide, elle
// manque.
bool nombre_dans(std::string const& texte, long long min, long long max, long long& v) {
    nombre_tape const lu = lit_nombre_tape(texte);
    if (!lu.est_nombre || lu.vide || lu.valeur < min || lu.valeur > max) {
        return false;
    }
    v = lu.valeur;
    return true;
}

std::string hex(unsigned v, int chiffres) {
    return chiffres == 2 ? hex2toS(static_cast<int>(v)) : hex4toS(static_cast<int>(v));
}

class lecteur_options {
  public:
    lecteur_options(std::vector<std::string> const& a, options_run& o) : arguments(a), options(o) {}

    lecture_options lit() {
        bool programme = false;
        bool options_finies = false;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            std::string nom = arguments[i];
            if (!options_finies && nom == "--") {
                options_finies = true;
                continue;
            }
            std::optional<lecture_options> fin;
            if (!options_finies && lit_option(i, fin)) {
                if (fin) {
                    return *fin;
                }
                continue;
            }
            if (programme) {
                return fautif("un seul PROGRAMME attendu, « " + nom + " » en plus de « " +
                              options.programme + " »");
            }
            options.programme = nom;
            programme = true;
        }
        if (!programme) {
            return fautif("PROGRAMME manquant");
        }
        return {demande_run::executer, ""};
    }

  private:
    static lecture_options fautif(std::string const& message) {
        return {demande_run::usage_fautif, message};
    }

    // Vrai si l'argument i est une option (i passe alors sur sa valeur) ; fin recoit
    // l'aide, la version ou l'usage fautif qui arretent la lecture.
    bool lit_option(std::size_t& i, std::optional<lecture_options>& fin) {
        std::string nom = arguments[i];
        std::string valeur;
        bool a_valeur = false;
        std::size_t const egal = nom.find('=');
        if (nom.rfind("--", 0) == 0 && egal != std::string::npos) {
            valeur = nom.substr(egal + 1);
            nom = nom.substr(0, egal);
            a_valeur = true;
        }
        bool const drapeau = nom == "--help" || nom == "-h" || nom == "--version" ||
                             nom == "--trace" || nom == "--json";
        if (drapeau && a_valeur) {
            fin = fautif("l'option « " + nom + " » ne prend pas de valeur");
        } else if (nom == "--help" || nom == "-h") {
            fin = {demande_run::aide, ""};
        } else if (nom == "--version") {
            fin = {demande_run::version, ""};
        } else if (nom == "--trace" || nom == "--json") {
            (nom == "--trace" ? options.trace : options.json) = true;
        } else if (nom == "-n" || nom == "--pas" || nom == "--jusqu-a" || nom == "--entree" ||
                   nom == "--memoire" || nom == "--pose" || nom == "--pourquoi") {
            if (!a_valeur && i + 1 >= arguments.size()) {
                fin = fautif("l'option « " + nom + " » attend une valeur");
                return true;
            }
            std::string const erreur = option(nom, a_valeur ? valeur : arguments[++i]);
            if (!erreur.empty()) {
                fin = fautif(erreur);
            }
        } else if (nom.size() > 1 && nom[0] == '-') {
            fin = fautif("option inconnue « " + arguments[i] + " »");
        } else {
            return false;
        }
        return true;
    }

    // Vide si la valeur convient, sinon le message.
    std::string option(std::string const& nom, std::string const& valeur) {
        long long v = 0;
        if (nom == "-n" || nom == "--pas") {
            bool const chiffres =
                !valeur.empty() && valeur.find_first_not_of("0123456789") == std::string::npos;
            if (!nombre_dans(valeur, 0, pas_max_demande, v)) {
                return "nombre d'instructions « " + valeur +
                       (chiffres ? " » trop grand (au plus 4294967295)"
                                 : " » invalide (entier positif ou nul)");
            }
            options.pas = v;
        } else if (nom == "--jusqu-a") {
            if (!nombre_dans(valeur, 0, fin_memoire - 1, v)) {
                return "adresse « " + valeur + " » invalide (0..65535, $ffff, 0xffff...)";
            }
            options.jusqu_a = true;
            options.adresse_arret = static_cast<unsigned short>(v);
        } else if (nom == "--entree") {
            return entree(valeur);
        } else if (nom == "--pose") {
            return pose(valeur);
        } else if (nom == "--pourquoi") {
            if (valeur.empty()) {
                return "--pourquoi attend QUOI : A à E, pile, pile:N, N, Z, V, ccr:X, arret, une "
                       "adresse ou une étiquette";
            }
            options.pourquoi.push_back(valeur);
        } else {
            return zone(valeur);
        }
        return "";
    }

    std::string entree(std::string const& valeur) {
        std::size_t const port =
            valeur.empty()
                ? std::string::npos
                : std::string(lettres_ports)
                      .find(static_cast<char>(std::toupper(static_cast<unsigned char>(valeur[0]))));
        std::size_t const arobase = valeur.find('@');
        long long v = 0, pas = 0;
        if (port == std::string::npos || valeur.size() < 3 || valeur[1] != '=' ||
            !nombre_dans(valeur.substr(2, arobase == std::string::npos ? arobase : arobase - 2),
                         -128, 255, v)) {
            return "entrée « " + valeur +
                   " » invalide (attendu P=V, P parmi A, B, C, D, E et V de -128 à 255)";
        }
        if (arobase != std::string::npos &&
            !nombre_dans(valeur.substr(arobase + 1), 0, pas_max_demande, pas)) {
            return "entrée « " + valeur +
                   " » invalide : après « @ », un nombre d'instructions de 0 à 4294967295";
        }
        if (pas == 0) {
            options.entrees[port] = static_cast<int>(v & 0xFF);
        } else {
            options.evenements.push_back(
                {pas, static_cast<int>(port), static_cast<unsigned char>(v & 0xFF)});
        }
        return "";
    }

    std::string pose(std::string const& valeur) {
        std::size_t const egal = valeur.find('=');
        std::string const adresse = valeur.substr(0, egal);
        options_run::pose p;
        bool bonne = egal != std::string::npos && lit_cle_adresse(adresse, p.cle);
        for (std::size_t debut = egal + 1; bonne && debut <= valeur.size();) {
            std::size_t const virgule = std::min(valeur.find(',', debut), valeur.size());
            long long v = 0;
            bonne = nombre_dans(valeur.substr(debut, virgule - debut), -128, 255, v);
            p.octets.push_back(static_cast<unsigned char>(v & 0xFF));
            debut = virgule + 1;
        }
        if (!bonne) {
            return "pose « " + valeur +
                   " » invalide (attendu ADR=V[,V...], comme $0200=1,2 ou donnees+1=7, "
                   "V de -128 à 255)";
        }
        if (!p.cle.symbolique) {
            std::string const hors = hors_memoire(adresse, p.cle.nombre, p.octets.size());
            if (!hors.empty()) {
                return "pose « " + valeur + " » : " + hors;
            }
        }
        options.poses.push_back(std::move(p));
        return "";
    }

    std::string zone(std::string const& valeur) {
        std::size_t const deux_points = valeur.rfind(':');
        cle_adresse cle;
        long long taille = 0;
        if (deux_points == std::string::npos ||
            !lit_cle_adresse(valeur.substr(0, deux_points), cle) ||
            !nombre_dans(valeur.substr(deux_points + 1), 0, fin_memoire, taille)) {
            return "zone « " + valeur + " » invalide (attendu ADR:N, comme $1000:11)";
        }
        if (cle.symbolique) {
            options.zones_nommees.push_back(
                {cle, static_cast<unsigned>(taille), options.zones.size()});
            return "";
        }
        if (cle.nombre < 0 || cle.nombre >= fin_memoire) {
            return "zone « " + valeur + " » invalide (attendu ADR:N, comme $1000:11)";
        }
        if (cle.nombre + taille > fin_memoire) {
            return "zone « " + valeur + " » au-delà de $ffff";
        }
        options.zones.push_back(
            {static_cast<unsigned short>(cle.nombre), static_cast<unsigned>(taille)});
        return "";
    }

    std::vector<std::string> const& arguments;
    options_run& options;
};

} // namespace

char const* const aide_run =
    "utilisation : karvela-run [options] PROGRAMME\n"
    "Exécute PROGRAMME (.bin chargé comme par « Ouvrir fichier binaire », ou source .asm\n"
    "assemblé d'abord) comme le ferait STEP pressé encore et encore, puis rend compte.\n"
    "\n"
    "  -n N, --pas N     au plus N instructions (1000000 par défaut ; 0 : état chargé)\n"
    "  --jusqu-a ADR     s'arrêter avant l'instruction en ADR (la première tourne toujours)\n"
    "  --entree P=V      avant la première instruction, bits d'entrée du port P (A à E)\n"
    "                    mis à ceux de V, comme des clics ; répétable\n"
    "  --entree P=V@N    de même, après N instructions\n"
    "  --pose ADR=V,...  avant la première instruction, écrit les octets V depuis ADR\n"
    "                    (nombre, ou étiquette d'un .asm suivie ou non de +N) ; répétable\n"
    "  --memoire ADR:N   ajouter au rapport N octets de mémoire depuis ADR (comme pour\n"
    "                    --pose) ; répétable\n"
    "  --trace           une ligne par instruction : adresse, instruction, registres après\n"
    "  --json            le rapport en un objet JSON (la trace va alors sur la sortie\n"
    "                    d'erreur)\n"
    "  --pourquoi QUOI   après l'arrêt, d'où vient QUOI : un port (A à E, DDRC, DDRD),\n"
    "                    pile (le sommet), pile:N (N depuis le fond), un drapeau (N, Z, V,\n"
    "                    ccr:E, ccr:C...), arret, une adresse ou une étiquette (+N) ;\n"
    "                    répétable. Garde l'historique des 131072 dernières instructions\n"
    "                    (1,75 Mio), éteint sans cette option\n"
    "  --help            affiche cette aide\n"
    "  --version         affiche la version\n"
    "  --                la suite est PROGRAMME, même commençant par -\n"
    "\n"
    "Nombres : 12, $1f, 0x1f, %0101, 'A'. Arrêts : erreur_pile, boucle (branchement sur\n"
    "lui-même, comme BT *), point_arret, limite.\n"
    "Sortie : 0 exécuté, 1 programme illisible ou fautif, 2 mauvais usage.\n";

lecture_options lit_options_run(std::vector<std::string> const& arguments, options_run& o) {
    return lecteur_options(arguments, o).lit();
}

demande_execution demande_de(options_run const& o) {
    demande_execution d;
    d.pas_max = o.pas;
    if (o.jusqu_a) {
        d.points.push_back(o.adresse_arret);
    }
    for (int p = 0; p < nb_ports; ++p) {
        if (o.entrees[p] >= 0) {
            d.entrees.push_back({0, p, static_cast<unsigned char>(o.entrees[p])});
        }
    }
    d.entrees.insert(d.entrees.end(), o.evenements.begin(), o.evenements.end());
    return d;
}

std::string ajoute_poses(options_run& o, programme_charge const& p, demande_execution& d) {
    for (options_run::pose const& pose : o.poses) {
        unsigned short adresse = 0;
        std::string const erreur = resout_cle(pose.cle, p, pose.octets.size(), adresse);
        if (!erreur.empty()) {
            return "--pose " + pose.cle.texte + " : " + erreur;
        }
        d.memoire.push_back({adresse, pose.octets});
    }
    // A rebours : chaque zone nommee reprend sa place parmi les autres.
    for (std::size_t i = o.zones_nommees.size(); i-- > 0;) {
        options_run::zone_nommee const& z = o.zones_nommees[i];
        unsigned short adresse = 0;
        std::string const erreur = resout_cle(z.cle, p, z.taille, adresse);
        if (!erreur.empty()) {
            return "--memoire " + z.cle.texte + " : " + erreur;
        }
        o.zones.insert(o.zones.begin() + static_cast<std::ptrdiff_t>(z.rang), {adresse, z.taille});
    }
    o.zones_nommees.clear();
    return "";
}

std::string ligne_trace(unsigned short adresse, std::string const& instruction,
                        mp_interpreteur const& cpu) {
    char texte[96];
    std::snprintf(texte, sizeof texte, "%04x  %-11s PC=%04x SP=%d CCR=%s A=%02x X=%04x pile=[",
                  adresse, instruction.c_str(), cpu.PC_value(), cpu.SP_value(),
                  bin8toS(cpu.CCR_value()).c_str(), cpu.A_value(), cpu.X_value());
    std::string ligne = texte;
    for (short i = 0; i <= cpu.SP_value(); ++i) {
        ligne += (i > 0 ? " " : "") + std::to_string(cpu.pile(i));
    }
    return ligne + "]";
}

namespace {

template <typename T> std::string liste(std::vector<T> const& v, char const* separateur) {
    std::string texte;
    for (std::size_t i = 0; i < v.size(); ++i) {
        texte += (i > 0 ? separateur : "") + std::to_string(v[i]);
    }
    return texte;
}

} // namespace

std::string rapport_json(etat_final const& e) {
    std::string j = "{\"pas\": " + std::to_string(e.pas) + ", \"arret\": \"" + mot_arret(e.raison) +
                    "\", \"PC\": " + std::to_string(e.PC) + ", \"SP\": " + std::to_string(e.SP) +
                    ", \"pile\": [" + liste(e.pile, ", ") + "], \"CCR\": " + std::to_string(e.CCR) +
                    ", \"A\": " + std::to_string(e.A) + ", \"X\": " + std::to_string(e.X) +
                    ", \"ports\": {";
    for (int p = 0; p < nb_registres_ports; ++p) {
        j += std::string(p > 0 ? ", " : "") + "\"" + noms_registres_ports[p] +
             "\": " + std::to_string(e.ports[p]);
    }
    j += "}, \"memoire\": [";
    for (std::size_t z = 0; z < e.zones.size(); ++z) {
        j += std::string(z > 0 ? ", " : "") +
             "{\"adresse\": " + std::to_string(e.zones[z].adresse) + ", \"octets\": [" +
             liste(e.zones[z].octets, ", ") + "]}";
    }
    // Les deux cles venues apres les autres, en dernier : un lecteur qui les ignore
    // trouve les premieres la ou elles etaient.
    return j + "], \"arret_en\": " + std::to_string(e.adresse_arret) +
           ", \"ligne\": " + (e.ligne > 0 ? std::to_string(e.ligne) : "null") + "}\n";
}

std::string rapport_texte(etat_final const& e) {
    // La meme phrase que la barre d'etat de la fenetre, puis le compte.
    std::string t =
        e.phrase + ", après " + compte(static_cast<std::size_t>(e.pas), "instruction") + "\n";
    t += "PC $" + hex(e.PC, 4) + "  SP " + std::to_string(e.SP) + "  CCR " + bin8toS(e.CCR) +
         " (ENZVC)  A $" + hex(e.A, 2) + "  X $" + hex(e.X, 4) + "\n";
    t += "Pile (du fond au sommet) : " + (e.pile.empty() ? "vide" : liste(e.pile, " ")) + "\n";
    t += "Ports :";
    for (int p = 0; p < nb_registres_ports; ++p) {
        t += std::string(p == nb_ports ? "  " : " ") + noms_registres_ports[p] + " $" +
             hex(e.ports[p], 2);
    }
    t += "\n";
    for (etat_final::zone const& z : e.zones) {
        t += "Mémoire $" + hex(z.adresse, 4) + " :";
        for (unsigned char o : z.octets) {
            t += " " + hex(o, 2);
        }
        t += "\n";
    }
    return t;
}

std::string question_de(std::string const& quoi, programme_charge const& p, question_pourquoi& q) {
    q = question_pourquoi{};
    q.texte = quoi;
    std::string majuscules;
    for (char c : quoi) {
        majuscules += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    static const struct {
        char const* nom;
        unsigned char masque;
    } drapeaux[] = {{"E", CCR_E}, {"N", CCR_N}, {"Z", CCR_Z}, {"V", CCR_V}, {"C", CCR_C}};
    if (majuscules == "ARRET") {
        q.sorte = question_pourquoi::arret;
        return "";
    }
    if (majuscules == "PILE" || majuscules.rfind("PILE:", 0) == 0) {
        q.sorte = question_pourquoi::pile;
        long long n = -1;
        if (majuscules.size() > 4 && !nombre_dans(quoi.substr(5), 0, taille_pile_interne - 1, n)) {
            return "--pourquoi « " + quoi + " » : pile:N attend N de 0 (le fond) à 15";
        }
        q.entree = static_cast<int>(n);
        return "";
    }
    for (int r = 0; r < nb_registres_ports; ++r) {
        if (majuscules == noms_registres_ports[r]) {
            q.sorte = question_pourquoi::memoire;
            q.adresse = r < nb_ports    ? ports_machine[r].adresse_valeur
                        : r == nb_ports ? ports_machine[2].adresse_direction
                                        : ports_machine[3].adresse_direction;
            return "";
        }
    }
    std::string const drapeau = majuscules.rfind("CCR:", 0) == 0 ? majuscules.substr(4)
                                : majuscules == "N" || majuscules == "Z" || majuscules == "V"
                                    ? majuscules
                                    : "";
    for (auto const& d : drapeaux) {
        if (drapeau == d.nom) {
            q.sorte = question_pourquoi::drapeau;
            q.masque = d.masque;
            return "";
        }
    }
    if (majuscules.rfind("CCR:", 0) == 0) {
        return "--pourquoi « " + quoi + " » : ccr: attend E, N, Z, V ou C";
    }
    cle_adresse c;
    if (!lit_cle_adresse(quoi, c)) {
        return "--pourquoi « " + quoi +
               " » inconnu (attendu A à E, DDRC, DDRD, pile, pile:N, N, Z, V, ccr:X, arret, une "
               "adresse ou une étiquette)";
    }
    unsigned short adresse = 0;
    std::string const erreur = resout_cle(c, p, 1, adresse);
    if (!erreur.empty()) {
        return "--pourquoi " + quoi + " : " + erreur;
    }
    q.sorte = question_pourquoi::memoire;
    q.adresse = adresse;
    return "";
}

std::vector<ecriture_exterieure> ecritures_de(demande_execution const& d) {
    std::vector<ecriture_exterieure> e;
    for (octets_poses const& o : d.memoire) {
        for (std::size_t i = 0; i < o.octets.size() && o.adresse + i < fin_memoire; ++i) {
            e.push_back({ecriture_exterieure::pose, 0, static_cast<unsigned short>(o.adresse + i),
                         o.octets[i]});
        }
    }
    for (evenement_entree const& v : d.entrees) {
        e.push_back({v.pas == 0 ? ecriture_exterieure::entree : ecriture_exterieure::evenement,
                     static_cast<unsigned long long>(v.pas), ports_machine[v.port].adresse_valeur,
                     v.valeur});
    }
    return e;
}

std::string rapport_json_pourquoi(etat_final const& e, std::vector<explication> const& reponses) {
    std::string j = rapport_json(e);
    j.erase(j.size() - 2); // "}\n"
    j += ", \"pourquoi\": [";
    for (std::size_t k = 0; k < reponses.size(); ++k) {
        j += (k > 0 ? ", " : "") + json_explication(reponses[k]);
    }
    return j + "]}\n";
}
