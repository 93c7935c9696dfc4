// Lecture des enonces, ligne par ligne. Mnemoniques et tailles viennent des tables
// du processeur ; seules les directives ont leur table ici.
#include "assembleur/lecture.h"

#include <cctype>

#include "simulateur/interpreteur.h"

namespace {

// Les sept branchements se suivent, de BEQZ a BT.
constexpr int premier_branchement = 0x14;
constexpr int dernier_branchement = 0x1A;
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

int opcode_de(std::string const& mot) {
    std::string const m = majuscules(mot);
    for (int op = 0; op < nombre_opcodes_definis; ++op) {
        if (m == internal_mp_interpreteur_libelle_instruction[op]) {
            return op;
        }
    }
    return -1;
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

class lecteur_ligne {
  public:
    lecteur_ligne(std::vector<jeton> const& j, int n, std::vector<diagnostic>& d)
        : jetons(j), numero(n), diagnostics(d) {}

    // Complete e d'apres les jetons qui suivent l'etiquette, a partir de jetons[i].
    void lit(enonce& e, std::size_t i) {
        jeton const& j = jetons[i];
        if (j.sorte == sorte_jeton::nom && i + 1 < jetons.size() &&
            jetons[i + 1].sorte == sorte_jeton::egal) {
            lit_constante(e, i);
        } else if (j.sorte == sorte_jeton::directive) {
            lit_directive(e, i);
        } else if (j.sorte == sorte_jeton::nom) {
            lit_instruction(e, i);
        } else {
            erreur(j.colonne, "mnémonique, directive ou étiquette attendu, trouvé " + cite(j));
        }
    }

  private:
    void erreur(int colonne, std::string const& message) {
        signale(diagnostics, numero, colonne, message);
    }

    // Rien ne doit suivre ce qui a ete lu.
    void fin(std::size_t i, std::string const& apres) {
        if (i < jetons.size()) {
            erreur(jetons[i].colonne, cite(jetons[i]) + " inattendu après " + apres);
        }
    }

    void lit_constante(enonce& e, std::size_t i) {
        if (!e.etiquette.empty()) {
            erreur(e.colonne_etiquette, "une constante ne porte pas d'étiquette : « NOM = valeur » "
                                        "s'écrit seul sur sa ligne");
        }
        std::string const nom = jetons[i].texte;
        int const colonne = jetons[i].colonne;
        i += 2;
        element v{false, "", {}};
        if (!lit_expression(jetons, i, numero, "la constante « " + nom + " »", v.valeur,
                            diagnostics)) {
            return;
        }
        e.sorte = enonce::constante;
        e.nom = nom;
        e.colonne_nom = colonne;
        e.elements.push_back(v);
        fin(i, "la valeur de « " + nom + " »");
    }

    void lit_directive(enonce& e, std::size_t i) {
        jeton const& j = jetons[i];
        std::string const nom = majuscules(j.texte);
        for (directive const& d : directives) {
            if (nom == d.nom) {
                e.mot = j.texte;
                e.colonne_mot = j.colonne;
                ++i;
                if (d.sorte == enonce::org) {
                    lit_org(e, i);
                } else {
                    lit_donnees(e, i, d.sorte);
                }
                return;
            }
        }
        erreur(j.colonne,
               "directive inconnue " + cite(j) + " (attendu .org, .octet, .byte, .mot ou .word)");
    }

    void lit_org(enonce& e, std::size_t i) {
        element v{false, "", {}};
        if (!lit_expression(jetons, i, numero, ".org (une adresse, 0..65535)", v.valeur,
                            diagnostics)) {
            return;
        }
        e.sorte = enonce::org;
        e.elements.push_back(v);
        fin(i, "l'adresse de .org");
    }

    void lit_donnees(enonce& e, std::size_t i, enonce::sorte_enonce sorte) {
        std::string const pour =
            e.mot + (sorte == enonce::octets ? " (-128..255 ou une chaîne)" : " (-32768..65535)");
        std::vector<element> elements;
        for (;;) {
            element v{false, "", {}};
            if (i < jetons.size() && jetons[i].sorte == sorte_jeton::chaine) {
                if (sorte == enonce::mots) {
                    erreur(jetons[i].colonne,
                           "chaîne interdite dans " + e.mot + " : les chaînes vont dans .octet");
                    return;
                }
                v.est_chaine = true;
                v.chaine = jetons[i].texte;
                ++i;
            } else if (!lit_expression(jetons, i, numero, pour, v.valeur, diagnostics)) {
                return;
            }
            elements.push_back(v);
            if (i >= jetons.size() || jetons[i].sorte != sorte_jeton::virgule) {
                break;
            }
            ++i;
        }
        e.sorte = sorte;
        e.elements = elements;
        fin(i, "les valeurs de " + e.mot + " (séparées par des virgules)");
    }

    void lit_instruction(enonce& e, std::size_t i) {
        jeton const& j = jetons[i];
        int const opcode = opcode_de(j.texte);
        if (opcode < 0) {
            bool const suivi_d_instruction = i + 1 < jetons.size() &&
                                             jetons[i + 1].sorte == sorte_jeton::nom &&
                                             opcode_de(jetons[i + 1].texte) >= 0;
            erreur(j.colonne,
                   "mnémonique inconnu " + cite(j) +
                       (suivi_d_instruction ? " (une étiquette se termine par « : »)" : ""));
            return;
        }
        e.sorte = enonce::instruction;
        e.mot = j.texte;
        e.colonne_mot = j.colonne;
        e.opcode = opcode;
        ++i;
        std::string const libelle = internal_mp_interpreteur_libelle_instruction[opcode];
        if (internal_mp_interpreteur_taille_instruction[opcode] == 1) {
            if (i < jetons.size()) {
                erreur(jetons[i].colonne, libelle + " ne prend pas d'opérande");
            }
            return;
        }
        element v{false, "", {}};
        e.operande_lu =
            lit_expression(jetons, i, numero, operande_attendu(opcode), v.valeur, diagnostics);
        if (e.operande_lu) {
            e.elements.push_back(v);
            fin(i, "l'opérande de " + libelle);
        }
    }

    std::vector<jeton> const& jetons;
    int numero;
    std::vector<diagnostic>& diagnostics;
};

} // namespace

bool est_branchement(int opcode) {
    return opcode >= premier_branchement && opcode <= dernier_branchement;
}

long long taille_enonce(enonce const& e) {
    switch (e.sorte) {
    case enonce::instruction:
        return internal_mp_interpreteur_taille_instruction[e.opcode];
    case enonce::octets: {
        long long n = 0;
        for (element const& v : e.elements) {
            n += v.est_chaine ? static_cast<long long>(v.chaine.size()) : 1;
        }
        return n;
    }
    case enonce::mots:
        return 2 * static_cast<long long>(e.elements.size());
    default:
        return 0;
    }
}

std::vector<enonce> lit_enonces(std::string const& source, std::vector<diagnostic>& diagnostics) {
    std::vector<enonce> enonces;
    std::size_t const nul = source.find('\0');
    int numero = 0;
    for (std::size_t debut = 0; debut < source.size();) {
        std::size_t fin = source.find('\n', debut);
        if (fin == std::string::npos) {
            fin = source.size();
        }
        ++numero;
        if (nul != std::string::npos && nul < fin) {
            signale(diagnostics, numero, static_cast<int>(nul - debut) + 1,
                    "octet nul dans le source : un source est un fichier texte, pas un binaire");
            return enonces;
        }
        std::string const ligne = source.substr(debut, fin - debut);
        debut = fin + 1;

        std::vector<jeton> jetons;
        bool const lisible = decoupe_ligne(ligne, numero, jetons, diagnostics);
        enonce e;
        e.ligne = numero;
        std::size_t i = 0;
        if (jetons.size() >= 2 && jetons[0].sorte == sorte_jeton::nom &&
            jetons[1].sorte == sorte_jeton::deux_points) {
            e.etiquette = jetons[0].texte;
            e.colonne_etiquette = jetons[0].colonne;
            i = 2;
        }
        if (lisible && i < jetons.size()) {
            lecteur_ligne(jetons, numero, diagnostics).lit(e, i);
        }
        if (!e.etiquette.empty() || e.sorte != enonce::etiquette_seule) {
            enonces.push_back(e);
        }
    }
    return enonces;
}
