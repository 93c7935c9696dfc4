// Lecture des enonces, ligne par ligne. Mnemoniques et tailles viennent des tables
// du processeur ; seules les directives ont leur table ici. Chaque ligne est lue
// deux fois : d'abord toute, pour sa premiere faute de lexique (une ligne qui en
// a une n'est pas analysee plus loin que son etiquette), puis jeton a jeton.
#include "assembleur/lecture.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "simulateur/interpreteur.h"

namespace {

constexpr int taille_octet = 2; // opcode et octet immediat (PUSHI)

struct directive {
    char const* nom; // en majuscules
    enonce::sorte_enonce sorte;
};
const directive directives[] = {
    {".ORG", enonce::org},  {".OCTET", enonce::octets}, {".BYTE", enonce::octets},
    {".MOT", enonce::mots}, {".WORD", enonce::mots},
};

std::string majuscules(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

// Les lettres de court se suivent dans long : une forme abregee (BNZ de BNEZ).
bool abrege(std::string const& court, std::string const& long_) {
    std::size_t j = 0;
    for (char c : long_) {
        j += j < court.size() && court[j] == c;
    }
    return j == court.size();
}

// Le mnemonique le plus proche du mot (casse ignoree ; une faute jusqu'a quatre
// lettres, deux au-dela), a distance egale celui dont le mot est une forme abregee ;
// vide s'il n'y en a pas, ou si deux le sont autant (PUSHX : PUSH ou PUSHI ?).
std::string mnemonique_proche(std::string_view mot) {
    std::string const m = majuscules(std::string(mot));
    std::size_t const permis = m.size() <= 4 ? 1 : 2;
    std::size_t meilleur = 2 * permis + 2;
    int choisi = -1;
    bool ex_aequo = false;
    for (int op = 0; op < nombre_opcodes_definis; ++op) {
        std::string const c = internal_mp_interpreteur_libelle_instruction[op];
        std::size_t const d = distance_edition(m, c);
        if (d > permis) {
            continue;
        }
        std::size_t const rang = 2 * d + (abrege(m, c) ? 0 : 1);
        if (rang < meilleur) {
            meilleur = rang;
            choisi = op;
            ex_aequo = false;
        } else if (rang == meilleur) {
            ex_aequo = true;
        }
    }
    return choisi < 0 || ex_aequo ? "" : internal_mp_interpreteur_libelle_instruction[choisi];
}

// Ce qu'attend l'operande d'une instruction, pour les messages.
std::string operande_attendu(int opcode) {
    std::string const m = internal_mp_interpreteur_libelle_instruction[opcode];
    if (internal_mp_interpreteur_taille_instruction[opcode] == taille_octet) {
        return m + " (un octet, -128..255)";
    }
    if (est_branchement(opcode)) {
        return m + " (une adresse cible, 0..65535)";
    }
    return m + " (une adresse, 0..65535)";
}

// Ce qu'une ligne definit, a inscrire dans la table une fois la ligne lue.
struct noms_de_ligne {
    jeton etiquette{sorte_jeton::nom, {}, 0, 0, 0};
    jeton constante{sorte_jeton::nom, {}, 0, 0, 0};
};

// La lecture ne garde pas les termes : les passages les reliront.
void ignore(terme const&) {}

class lecteur_ligne {
  public:
    lecteur_ligne(flot_jetons& f, int n, liste_diagnostics& d)
        : jetons(f), numero(n), diagnostics(d) {}

    // Complete e d'apres les jetons qui suivent l'etiquette.
    void lit(enonce& e, noms_de_ligne& noms) {
        jeton const& j = *jetons.regarde();
        jeton const* apres = jetons.regarde(1);
        if (j.sorte == sorte_jeton::nom && apres && apres->sorte == sorte_jeton::egal) {
            lit_constante(e, noms);
        } else if (j.sorte == sorte_jeton::directive) {
            lit_directive(e);
        } else if (j.sorte == sorte_jeton::nom) {
            lit_instruction(e);
        } else {
            erreur(j.colonne, "mnémonique, directive ou étiquette attendu, trouvé " + cite(j));
        }
    }

  private:
    void erreur(int colonne, std::string const& message) {
        signale(diagnostics, numero, colonne, message);
    }

    // Rien ne doit suivre ce qui a ete lu.
    void fin(std::string const& apres) {
        if (jeton const* j = jetons.regarde()) {
            erreur(j->colonne, cite(*j) + " inattendu après " + apres);
        }
    }

    bool expression(std::string const& pour) {
        int colonne = 0;
        return lit_expression(jetons, numero, pour, diagnostics, ignore, colonne);
    }

    void lit_constante(enonce& e, noms_de_ligne& noms) {
        if (noms.etiquette.colonne > 0) {
            erreur(noms.etiquette.colonne, "une constante ne porte pas d'étiquette : « NOM = "
                                           "valeur » s'écrit seul sur sa ligne");
        }
        jeton const nom = *jetons.regarde();
        std::string const cite_nom = "« " + std::string(nom.texte) + " »";
        jetons.avance();
        jetons.avance();
        if (!expression("la constante " + cite_nom)) {
            return;
        }
        e.sorte = enonce::constante;
        e.colonne_mot = nom.colonne;
        noms.constante = nom;
        fin("la valeur de " + cite_nom);
    }

    void lit_directive(enonce& e) {
        jeton const j = *jetons.regarde();
        std::string const nom = majuscules(std::string(j.texte));
        for (directive const& d : directives) {
            if (nom == d.nom) {
                e.colonne_mot = j.colonne;
                jetons.avance();
                if (d.sorte == enonce::org) {
                    lit_org(e);
                } else {
                    lit_donnees(e, std::string(j.texte), d.sorte);
                }
                return;
            }
        }
        erreur(j.colonne,
               "directive inconnue " + cite(j) + " (attendu .org, .octet, .byte, .mot ou .word)");
    }

    void lit_org(enonce& e) {
        if (!expression(".org (une adresse, 0..65535)")) {
            return;
        }
        e.sorte = enonce::org;
        fin("l'adresse de .org");
    }

    void lit_donnees(enonce& e, std::string const& mot, enonce::sorte_enonce sorte) {
        std::string const pour =
            mot + (sorte == enonce::octets ? " (-128..255 ou une chaîne)" : " (-32768..65535)");
        std::uint32_t taille = 0;
        for (;;) {
            jeton const* j = jetons.regarde();
            if (j && j->sorte == sorte_jeton::chaine) {
                if (sorte == enonce::mots) {
                    erreur(j->colonne,
                           "chaîne interdite dans " + mot + " : les chaînes vont dans .octet");
                    return;
                }
                taille += static_cast<std::uint32_t>(j->valeur);
                jetons.avance();
            } else if (expression(pour)) {
                taille += sorte == enonce::octets ? 1 : 2;
            } else {
                return;
            }
            j = jetons.regarde();
            if (j == nullptr || j->sorte != sorte_jeton::virgule) {
                break;
            }
            jetons.avance();
        }
        e.sorte = sorte;
        e.taille = taille;
        fin("les valeurs de " + mot + " (séparées par des virgules)");
    }

    void lit_instruction(enonce& e) {
        jeton const j = *jetons.regarde();
        int const opcode = opcode_de(j.texte);
        if (opcode < 0) {
            jeton const* apres = jetons.regarde(1);
            // Un nom suivi d'une instruction ou d'une directive : une etiquette sans ':'.
            bool const etiquette =
                apres && ((apres->sorte == sorte_jeton::nom && opcode_de(apres->texte) >= 0) ||
                          apres->sorte == sorte_jeton::directive);
            std::string const proche = etiquette ? "" : mnemonique_proche(j.texte);
            erreur(j.colonne, "mnémonique inconnu " + cite(j) +
                                  (etiquette        ? " (une étiquette se termine par « : »)"
                                   : proche.empty() ? ""
                                                    : " (voulez-vous dire « " + proche + " » ?)"));
            return;
        }
        e.sorte = enonce::instruction;
        e.colonne_mot = j.colonne;
        e.opcode = static_cast<unsigned char>(opcode);
        e.taille = static_cast<std::uint32_t>(internal_mp_interpreteur_taille_instruction[opcode]);
        jetons.avance();
        std::string const libelle = internal_mp_interpreteur_libelle_instruction[opcode];
        if (e.taille == 1) {
            if (jeton const* reste = jetons.regarde()) {
                erreur(reste->colonne, libelle + " ne prend pas d'opérande");
            }
            return;
        }
        e.operande_lu = expression(operande_attendu(opcode));
        if (e.operande_lu) {
            fin("l'opérande de " + libelle);
        }
    }

    flot_jetons& jetons;
    int numero;
    liste_diagnostics& diagnostics;
};

} // namespace

std::size_t distance_edition(std::string const& a, std::string const& b) {
    std::vector<std::size_t> ligne(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        ligne[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonale = ligne[0];
        ligne[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t const haut = ligne[j];
            ligne[j] = std::min(
                {ligne[j] + 1, ligne[j - 1] + 1, diagonale + (a[i - 1] == b[j - 1] ? 0u : 1u)});
            diagonale = haut;
        }
    }
    return ligne[b.size()];
}

lignes_source::lignes_source(std::string_view s)
    : source(s), position(s.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0) {}

bool lignes_source::suivante(std::string_view& ligne) {
    if (position >= source.size()) {
        return false;
    }
    debut_ligne = position;
    ligne = ligne_a(source, position);
    position += ligne.size();
    if (position < source.size()) {
        bool const crlf = source[position] == '\r' && position + 1 < source.size() &&
                          source[position + 1] == '\n';
        position += crlf ? 2 : 1;
    }
    return true;
}

std::string_view ligne_a(std::string_view source, std::size_t debut) {
    std::size_t const fin = source.find_first_of("\r\n", debut);
    return source.substr(debut, fin == std::string_view::npos ? fin : fin - debut);
}

std::vector<zone_ligne> zones_ligne(std::string_view ligne) {
    std::vector<zone_ligne> zones;
    flot_jetons jetons(ligne);
    auto const zone = [&zones](zone_ligne::sorte_zone sorte, jeton const& j) {
        zones.push_back({sorte, j.colonne, j.colonne_fin});
    };
    // Etiquette "nom:", puis le mot de l'enonce : constante, directive ou mnemonique.
    jeton const* j = jetons.regarde();
    jeton const* apres = jetons.regarde(1);
    if (j && apres && j->sorte == sorte_jeton::nom && apres->sorte == sorte_jeton::deux_points) {
        zone(zone_ligne::etiquette, *j);
        jetons.avance();
        jetons.avance();
        j = jetons.regarde();
        apres = jetons.regarde(1);
    }
    if (j && j->sorte == sorte_jeton::nom && apres && apres->sorte == sorte_jeton::egal) {
        zone(zone_ligne::etiquette, *j);
        jetons.avance();
    } else if (j && j->sorte == sorte_jeton::directive) {
        zone(zone_ligne::directive, *j);
        jetons.avance();
    } else if (j && j->sorte == sorte_jeton::nom) {
        if (opcode_de(j->texte) >= 0) {
            zone(zone_ligne::mnemonique, *j);
        }
        jetons.avance();
    }
    for (; (j = jetons.regarde()); jetons.avance()) {
        if (j->sorte == sorte_jeton::nombre) {
            zone(zone_ligne::nombre, *j);
        } else if (j->sorte == sorte_jeton::chaine) {
            zone(zone_ligne::chaine, *j);
        }
    }
    int const fin = static_cast<int>(ligne.size()) + 1;
    if (!jetons.faute().empty()) {
        zones.push_back({zone_ligne::faute, jetons.colonne_faute(), fin});
        return zones;
    }
    // Le flot s'arrete sur ';' ou au bout : apres le dernier jeton, seuls des blancs.
    std::size_t const point_virgule =
        ligne.find(';', static_cast<std::size_t>(jetons.colonne_fin()) - 1);
    if (point_virgule != std::string_view::npos) {
        zones.push_back({zone_ligne::commentaire, static_cast<int>(point_virgule) + 1, fin});
    }
    return zones;
}

int opcode_de(std::string_view mot) {
    std::string const m = majuscules(std::string(mot));
    for (int op = 0; op < nombre_opcodes_definis; ++op) {
        if (m == internal_mp_interpreteur_libelle_instruction[op]) {
            return op;
        }
    }
    return -1;
}

bool est_branchement(int opcode) {
    // Les sept branchements se suivent, de BEQZ a BT.
    static int const premier_branchement = opcode_de("BEQZ");
    static int const dernier_branchement = opcode_de("BT");
    return opcode >= premier_branchement && opcode <= dernier_branchement;
}

std::deque<enonce> lit_enonces(std::string_view source, table_symboles& symboles,
                               liste_diagnostics& diagnostics) {
    std::deque<enonce> enonces;
    std::size_t const nul = source.find('\0');
    lignes_source lignes(source);
    int numero = 0;
    for (std::string_view ligne; lignes.suivante(ligne);) {
        ++numero;
        std::size_t const debut = lignes.debut();
        if (nul != std::string_view::npos && nul < debut + ligne.size()) {
            signale(diagnostics, numero, static_cast<int>(nul - debut) + 1,
                    "octet nul dans le source : un source est un fichier texte, pas un binaire");
            return enonces;
        }
        // Premier tour : la faute de lexique et les deux premiers jetons.
        flot_jetons tous(ligne);
        noms_de_ligne noms;
        jeton premiers[2] = {};
        std::size_t n = 0;
        for (jeton const* j; (j = tous.regarde()); tous.avance(), ++n) {
            if (n < 2) {
                premiers[n] = *j;
            }
        }
        if (!tous.faute().empty()) {
            signale(diagnostics, numero, tous.colonne_faute(), tous.faute());
        }
        enonce e;
        e.ligne = numero;
        e.debut = static_cast<std::uint32_t>(debut);
        flot_jetons jetons(ligne);
        if (n >= 2 && premiers[0].sorte == sorte_jeton::nom &&
            premiers[1].sorte == sorte_jeton::deux_points) {
            noms.etiquette = premiers[0];
            jetons.avance();
            jetons.avance();
        }
        if (tous.faute().empty() && jetons.regarde()) {
            lecteur_ligne(jetons, numero, diagnostics).lit(e, noms);
        }
        std::uint32_t const attache = static_cast<std::uint32_t>(enonces.size());
        if (noms.etiquette.colonne > 0) {
            symboles.definit(noms.etiquette.texte, symbole_source::etiquette, numero,
                             noms.etiquette.colonne, attache, diagnostics);
        }
        if (noms.constante.colonne > 0) {
            e.symbole_constant =
                symboles.definit(noms.constante.texte, symbole_source::constante, numero,
                                 noms.constante.colonne, attache, diagnostics);
        }
        if (e.sorte != enonce::etiquette_seule) {
            enonces.push_back(e);
        }
    }
    return enonces;
}
