// Options, execution et rapport de karvela-run. L'execution passe toute entiere par
// execute() (et donc machine::pas()) : ni le pas ni la logique des ports ne sont
// refaits ici. Les nombres des options ont les formes de l'assembleur.
#include "lancement.h"

#include <cctype>
#include <cstdio>

#include "assembleur/assembleur.h"
#include "chaines/chaines.h"

namespace {

constexpr int bits_par_octet = 8;
constexpr long long fin_memoire = 0x10000;
char const* const noms_ports = "ABCDE";

// Les mots de "arret" dans le JSON.
struct nom_arret {
    arret raison;
    char const* json;
};
const nom_arret noms_arrets[] = {
    {arret::erreur_pile, "erreur_pile"},
    {arret::boucle, "boucle"},
    {arret::point_arret, "point_arret"},
    {arret::limite, "limite"},
};

char const* mot_json(arret r) {
    for (nom_arret const& n : noms_arrets) {
        if (n.raison == r) {
            return n.json;
        }
    }
    return "limite"; // execute() avec limite_est_arret ne rend pas d'autre raison
}

// Valeur d'une option lue sous les formes de l'assembleur, dans min..max.
bool nombre_dans(std::string const& texte, long long min, long long max, long long& v) {
    long lu = 0;
    if (!lit_nombre(texte, lu) || lu < min || lu > max) {
        return false;
    }
    v = lu;
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
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            std::string nom = arguments[i];
            std::string valeur;
            bool a_valeur = false;
            std::size_t const egal = nom.find('=');
            if (nom.rfind("--", 0) == 0 && egal != std::string::npos) {
                valeur = nom.substr(egal + 1);
                nom = nom.substr(0, egal);
                a_valeur = true;
            }
            if (nom == "--help" || nom == "-h") {
                return {demande_run::aide, ""};
            }
            if (nom == "--version") {
                return {demande_run::version, ""};
            }
            if (nom == "--trace" || nom == "--json") {
                (nom == "--trace" ? options.trace : options.json) = true;
                continue;
            }
            if (nom == "-n" || nom == "--pas" || nom == "--jusqu-a" || nom == "--entree" ||
                nom == "--memoire") {
                if (!a_valeur) {
                    if (i + 1 >= arguments.size()) {
                        return fautif("l'option « " + nom + " » attend une valeur");
                    }
                    valeur = arguments[++i];
                }
                std::string const erreur = option(nom, valeur);
                if (!erreur.empty()) {
                    return fautif(erreur);
                }
                continue;
            }
            if (nom.size() > 1 && nom[0] == '-') {
                return fautif("option inconnue « " + arguments[i] + " »");
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

    // Vide si la valeur convient, sinon le message.
    std::string option(std::string const& nom, std::string const& valeur) {
        long long v = 0;
        if (nom == "-n" || nom == "--pas") {
            if (!nombre_dans(valeur, 0, 1LL << 62, v)) {
                return "nombre d'instructions « " + valeur + " » invalide (entier positif ou nul)";
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
        } else {
            return zone(valeur);
        }
        return "";
    }

    std::string entree(std::string const& valeur) {
        std::size_t const port =
            valeur.empty()
                ? std::string::npos
                : std::string(noms_ports)
                      .find(static_cast<char>(std::toupper(static_cast<unsigned char>(valeur[0]))));
        long long v = 0;
        if (port == std::string::npos || valeur.size() < 3 || valeur[1] != '=' ||
            !nombre_dans(valeur.substr(2), -128, 255, v)) {
            return "entrée « " + valeur +
                   " » invalide (attendu P=V, P parmi A, B, C, D, E et V de -128 à 255)";
        }
        options.entrees[port] = static_cast<int>(v & 0xFF);
        return "";
    }

    std::string zone(std::string const& valeur) {
        std::size_t const deux_points = valeur.find(':');
        long long adresse = 0, taille = 0;
        if (deux_points == std::string::npos ||
            !nombre_dans(valeur.substr(0, deux_points), 0, fin_memoire - 1, adresse) ||
            !nombre_dans(valeur.substr(deux_points + 1), 0, fin_memoire, taille)) {
            return "zone « " + valeur + " » invalide (attendu ADR:N, comme $1000:11)";
        }
        if (adresse + taille > fin_memoire) {
            return "zone « " + valeur + " » au-delà de $ffff";
        }
        options.zones.push_back(
            {static_cast<unsigned short>(adresse), static_cast<unsigned>(taille)});
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
    "  --memoire ADR:N   ajouter au rapport N octets de mémoire depuis ADR ; répétable\n"
    "  --trace           une ligne par instruction : adresse, instruction, registres après\n"
    "  --json            le rapport en un objet JSON\n"
    "  --help            affiche cette aide\n"
    "  --version         affiche la version\n"
    "\n"
    "Nombres : 12, $1f, 0x1f, %0101, 'A'. Arrêts : erreur_pile, boucle (branchement sur\n"
    "lui-même, comme BT *), point_arret, limite.\n"
    "Sortie : 0 exécuté, 1 programme illisible ou fautif, 2 mauvais usage.\n";

lecture_options lit_options_run(std::vector<std::string> const& arguments, options_run& o) {
    return lecteur_options(arguments, o).lit();
}

machine_seule::machine_seule()
    : memoire_(std::make_unique<mem_64k>()),
      cpu_(), liens_{&ports_[0], &ports_[1], &ports_[2], &ports_[3], &ports_[4]},
      machine_(*memoire_, cpu_, liens_) {
    cpu_.learn_mem(memoire_.get());
    for (int p = 0; p < nb_ports; ++p) {
        ports_[p].configure(ports_machine[p], memoire_.get());
    }
}

void machine_seule::apres_chargement() {
    cpu_.init_registers();
    for (registre_port& port : ports_) {
        port.reecrit_valeur();
    }
    machine_.memoire_touchee();
}

void pose_entrees(machine& m, options_run const& o) {
    for (int p = 0; p < nb_ports; ++p) {
        if (o.entrees[p] < 0) {
            continue;
        }
        for (int bit = 0; bit < bits_par_octet; ++bit) {
            bool const voulu = (o.entrees[p] >> bit) & 1;
            bool const actuel = (m.port(p).valeur() >> bit) & 1;
            if (voulu != actuel && m.port(p).bascule_entree(bit)) {
                m.port(p).reecrit_valeur();
            }
        }
    }
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

bilan_execution lance(machine& m, options_run const& o, std::ostream* trace) {
    points_arret points;
    if (o.jusqu_a) {
        points.bascule(o.adresse_arret);
    }
    points_arret const* const p = o.jusqu_a ? &points : nullptr;
    if (trace == nullptr) {
        return execute(m, p, o.pas, true, true);
    }
    // Une instruction par appel, ecrite avant la suivante. Un appel qui arrive sur
    // le point d'arret le dit aussitot : aucun appel ne part donc de lui.
    bilan_execution total;
    for (long long fait = 0; fait < o.pas;) {
        unsigned short const adresse = m.cpu().PC_value();
        char texte[11];
        m.cpu().desassemblage_instruction(adresse, texte);
        bilan_execution const b = execute(m, p, 1, fait == 0, true);
        fait += b.pas;
        *trace << ligne_trace(adresse, texte, m.cpu()) << "\n";
        total = {fait, b.raison, b.adresse};
        if (b.raison != arret::limite) {
            break;
        }
    }
    return total;
}

etat_final releve(machine& m, bilan_execution const& b, options_run const& o) {
    mp_interpreteur const& cpu = m.cpu();
    mem_64k const& memoire = m.memoire();
    etat_final e{};
    e.pas = b.pas;
    e.raison = b.raison;
    e.adresse_arret = b.adresse;
    e.PC = cpu.PC_value();
    e.SP = cpu.SP_value();
    for (short i = 0; i <= cpu.SP_value(); ++i) {
        e.pile.push_back(cpu.pile(i));
    }
    e.CCR = cpu.CCR_value();
    e.A = cpu.A_value();
    e.X = cpu.X_value();
    for (int p = 0; p < nb_ports; ++p) {
        e.ports[p] = memoire.read_byte(ports_machine[p].adresse_valeur);
    }
    e.ports[nb_ports] = memoire.read_byte(ports_machine[2].adresse_direction);
    e.ports[nb_ports + 1] = memoire.read_byte(ports_machine[3].adresse_direction);
    for (zone_memoire const& z : o.zones) {
        etat_final::zone r{z.adresse, {}};
        for (unsigned i = 0; i < z.taille; ++i) {
            r.octets.push_back(memoire.read_byte(static_cast<unsigned short>(z.adresse + i)));
        }
        e.zones.push_back(r);
    }
    return e;
}

namespace {

char const* const noms_registres_ports[nb_ports + 2] = {"A", "B", "C", "D", "E", "DDRC", "DDRD"};

template <typename T> std::string liste(std::vector<T> const& v, char const* separateur) {
    std::string texte;
    for (std::size_t i = 0; i < v.size(); ++i) {
        texte += (i > 0 ? separateur : "") + std::to_string(v[i]);
    }
    return texte;
}

} // namespace

std::string rapport_json(etat_final const& e) {
    std::string j = "{\"pas\": " + std::to_string(e.pas) + ", \"arret\": \"" + mot_json(e.raison) +
                    "\", \"PC\": " + std::to_string(e.PC) + ", \"SP\": " + std::to_string(e.SP) +
                    ", \"pile\": [" + liste(e.pile, ", ") + "], \"CCR\": " + std::to_string(e.CCR) +
                    ", \"A\": " + std::to_string(e.A) + ", \"X\": " + std::to_string(e.X) +
                    ", \"ports\": {";
    for (int p = 0; p < nb_ports + 2; ++p) {
        j += std::string(p > 0 ? ", " : "") + "\"" + noms_registres_ports[p] +
             "\": " + std::to_string(e.ports[p]);
    }
    j += "}, \"memoire\": [";
    for (std::size_t z = 0; z < e.zones.size(); ++z) {
        j += std::string(z > 0 ? ", " : "") +
             "{\"adresse\": " + std::to_string(e.zones[z].adresse) + ", \"octets\": [" +
             liste(e.zones[z].octets, ", ") + "]}";
    }
    return j + "]}\n";
}

std::string rapport_texte(etat_final const& e) {
    // La meme phrase que la barre d'etat de la fenetre, puis le compte.
    std::string t = texte_etat(false, e.raison, e.adresse_arret) + ", après " +
                    std::to_string(e.pas) + " instruction" + (e.pas > 1 ? "s" : "") + "\n";
    t += "PC $" + hex(e.PC, 4) + "  SP " + std::to_string(e.SP) + "  CCR " + bin8toS(e.CCR) +
         " (ENZVC)  A $" + hex(e.A, 2) + "  X $" + hex(e.X, 4) + "\n";
    t += "Pile (du fond au sommet) : " + (e.pile.empty() ? "vide" : liste(e.pile, " ")) + "\n";
    t += "Ports :";
    for (int p = 0; p < nb_ports + 2; ++p) {
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
