// L'historique garde, avant chaque instruction, PC, SP, CCR, quatre entrees autour
// du sommet et l'octet qu'un POP ecrirait : en le remontant depuis l'etat present,
// on retrouve la pile entiere et le code avant chaque pas, donc ce que chaque pas a
// consomme et produit. Un seul passage le fait, du plus recent au plus ancien ; les
// questions cherchent ensuite dans ce releve. Le code est relu tel que les POP l'ont
// laisse : une edition a la main du code entre deux pas n'y est pas defaite.
#include "explication/pourquoi.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "assembleur/lecture.h"
#include "simulateur/port_es.h"

namespace {

int const op_PUSH = opcode_de("PUSH");
int const op_PUSHI = opcode_de("PUSHI");
int const op_POP = opcode_de("POP");
int const op_DUP = opcode_de("DUP");
int const op_SWAP = opcode_de("SWAP");
int const op_DROP = opcode_de("DROP");
int const op_OVER = opcode_de("OVER");
int const op_ROLL = opcode_de("ROLL");
int const op_CMP = opcode_de("CMP");
int const premier_branchement = opcode_de("BEQZ");
constexpr int entrees_max = 3; // ROLL en consomme et en produit trois

// Ce qu'est une entree produite : la copie de la consommee de ce rang, ou autre chose.
constexpr int calculee = -1;
constexpr int lue_en_memoire = -2; // PUSH
constexpr int immediate = -3;      // PUSHI : son operande

int source_de(int opcode, int j) {
    return opcode == op_PUSH    ? lue_en_memoire
           : opcode == op_PUSHI ? immediate
           : opcode == op_DUP   ? 0
           : opcode == op_SWAP  ? 1 - j
           : opcode == op_OVER  ? (j == 1 ? 1 : 0)
           : opcode == op_ROLL  ? (j == 0 ? 2 : j - 1)
           : opcode == op_CMP   ? j
                                : calculee;
}

std::string hex2(int v) {
    char t[4];
    std::snprintf(t, sizeof t, "%02x", v & 0xFF);
    return t;
}

std::string hex4(unsigned v) {
    char t[8];
    std::snprintf(t, sizeof t, "$%04x", v & 0xFFFF);
    return t;
}

std::string valeur_texte(int v) {
    return std::to_string(v & 0xFF) + " ($" + hex2(v) + ")";
}

std::string entrees(int n) {
    return std::to_string(n) + (n > 1 ? " entrées" : " entrée");
}

std::string liste(std::vector<int> const& v) {
    std::string t;
    for (std::size_t i = 0; i < v.size(); ++i) {
        t += (i == 0 ? "" : i + 1 == v.size() ? " et " : ", ") + std::to_string(v[i]);
    }
    return t;
}

// Un pas de l'historique, tel que le releve l'a retrouve.
struct pas_vu {
    unsigned long long numero;
    unsigned short pc;
    unsigned char octets[3]; // le code avant le pas
    int opcode;
    int sp; // avant
    bool reussi;
    unsigned char ccr_avant, ccr_apres;
    unsigned char consommees[entrees_max], produites[entrees_max];
    unsigned short mot;  // qui suit l'opcode : adresse de PUSH et POP
    unsigned char ecrit; // POP : l'octet ecrit
};

struct changement_vu {
    unsigned long long numero; // apres ce pas
    int port;
    unsigned short adresse;
    unsigned char valeur; // apres la mise a jour
};

// Ce qui reste a expliquer : une entree de pile ou un octet, avant le pas limite
// (non compris).
struct a_expliquer {
    enum sorte_a_expliquer : unsigned char { entree, octet } sorte;
    int parent;
    int position;
    unsigned short adresse;
    unsigned long long limite;
};

class enquete {
  public:
    enquete(machine const& m, programme_assemble const* p,
            std::vector<ecriture_exterieure> const& e)
        : m(m), programme(p), ecritures(e), total(m.pas_enregistres()),
          memoire_texte(std::make_unique<mem_64k>()) {
        cpu_texte.learn_mem(memoire_texte.get());
        releve();
    }

    explication repond(question_pourquoi const& q, arret_explique const& a) {
        r.question = q.texte;
        r.historique = vus.size();
        if (m.capacite_historique() == 0) {
            r.resume = "l'historique est éteint : rien ne dit d'où vient la valeur";
            return std::move(r);
        }
        mp_interpreteur const& cpu = m.cpu();
        unsigned long long const maintenant = total + 1;
        switch (q.sorte) {
        case question_pourquoi::pile: {
            int const i = q.entree < 0 ? cpu.SP_value() : q.entree;
            if (i < 0 || i > cpu.SP_value()) {
                r.resume = q.texte + " : la pile n'a pas d'entrée " + std::to_string(i) + " (" +
                           (cpu.SP_value() < 0 ? "elle est vide"
                                               : "SP = " + std::to_string(cpu.SP_value())) +
                           ")";
                return r;
            }
            r.resume = q.texte + " (entrée " + std::to_string(i) + ") vaut " +
                       valeur_texte(cpu.pile(static_cast<short>(i)));
            a_voir.push_back({a_expliquer::entree, -1, i, 0, maintenant});
            break;
        }
        case question_pourquoi::memoire:
            r.resume = q.texte + " (" + nom_adresse(q.adresse) + ") vaut " +
                       valeur_texte(m.memoire().read_byte(q.adresse));
            a_voir.push_back({a_expliquer::octet, -1, 0, q.adresse, maintenant});
            break;
        case question_pourquoi::drapeau:
            drapeau(q);
            break;
        case question_pourquoi::arret:
            arret_(a);
            break;
        }
        deroule();
        return std::move(r);
    }

  private:
    // Du present au plus ancien pas garde : pile, code et ports d'avant chaque pas.
    void releve() {
        mem_64k const& memoire = m.memoire();
        code.resize(mem_64k::taille);
        for (unsigned a = 0; a < mem_64k::taille; ++a) {
            code[a] = memoire.read_byte(static_cast<unsigned short>(a));
        }
        mp_interpreteur const& cpu = m.cpu();
        unsigned char ccr = cpu.CCR_value();
        unsigned char pile[taille_pile_interne];
        for (int i = 0; i < taille_pile_interne; ++i) {
            pile[i] = static_cast<unsigned char>(cpu.pile(static_cast<short>(i)));
        }
        std::size_t port = 0;
        vus.reserve(m.nb_annulables());
        for (std::size_t recul = 0; recul < m.nb_annulables(); ++recul) {
            machine::annulation const& a = m.annulable(recul);
            pas_vu v{};
            v.numero = total - recul;
            for (int k = 0; k < a.nb_ports && port < m.nb_changements_ports(); ++k) {
                machine::changement_port const& c = m.changement(port++);
                unsigned short const registre = ports_machine[c.port].adresse_valeur;
                // Un changement de valeur du port seul laisse le registre tel que le POP l'a mis.
                if (code[registre] != c.registre) {
                    changements.push_back({v.numero, c.port, registre, code[registre]});
                }
                code[registre] = c.registre;
            }
            v.ecrit = code[a.adresse];
            code[a.adresse] = a.octet;
            v.pc = a.pc;
            for (int k = 0; k < 3; ++k) {
                v.octets[k] = code[static_cast<unsigned short>(a.pc + k)];
            }
            v.opcode = v.octets[0] & (nombre_opcodes - 1);
            v.mot = a.adresse;
            v.sp = a.sp;
            v.ccr_avant = a.ccr;
            v.ccr_apres = ccr;
            effet_pile const e = internal_mp_interpreteur_effet_pile[v.opcode];
            int const profondeur = a.sp + 1;
            v.reussi = profondeur >= e.besoin() && profondeur + e.libres() <= taille_pile_interne;
            int const base = a.sp - e.depile + 1;
            for (int j = 0; v.reussi && j < e.empile; ++j) {
                v.produites[j] = pile[base + j];
            }
            for (int k = 0; k < machine::fenetre_pile_max; ++k) {
                int const i = a.sp - 2 + k;
                if (i >= 0 && i < taille_pile_interne) {
                    pile[i] = static_cast<unsigned char>(a.pile[k]);
                }
            }
            for (int j = 0; v.reussi && j < e.depile; ++j) {
                v.consommees[j] = pile[base + j];
            }
            ccr = a.ccr;
            vus.push_back(v);
        }
        complet = total == vus.size();
    }

    // Rang dans vus du pas de numero n (0 : le plus recent).
    std::size_t rang(unsigned long long n) const { return static_cast<std::size_t>(total - n); }

    int ligne(unsigned short adresse) const { return programme ? programme->ligne_en(adresse) : 0; }

    std::string nom_adresse(unsigned short a) {
        for (int p = 0; p < nb_ports; ++p) {
            if (ports_machine[p].adresse_valeur == a) {
                return hex4(a) + ", port " + std::string(1, "ABCDE"[p]);
            }
            if (ports_machine[p].a_direction && ports_machine[p].adresse_direction == a) {
                return hex4(a) + ", DDR" + std::string(1, "ABCDE"[p]);
            }
        }
        if (programme && etiquettes.empty()) {
            for (symbole_source const& s : programme->symboles) {
                if (s.sorte == symbole_source::etiquette && s.valeur >= 0 && s.valeur < 0x10000) {
                    etiquettes.emplace(static_cast<unsigned short>(s.valeur), s.nom);
                }
            }
        }
        auto const e = etiquettes.find(a);
        return e == etiquettes.end() ? hex4(a) : hex4(a) + ", " + e->second;
    }

    std::string texte_instruction(pas_vu const& v) {
        for (int k = 0; k < 3; ++k) {
            memoire_texte->write_byte(static_cast<unsigned short>(k), v.octets[k]);
        }
        char t[11];
        cpu_texte.desassemblage_instruction(0, t);
        return t;
    }

    std::string ou(pas_vu const& v) const {
        int const l = ligne(v.pc);
        return std::string(internal_mp_interpreteur_libelle_instruction[v.opcode]) +
               (l > 0 ? " ligne " + std::to_string(l) : " en " + hex4(v.pc)) + " au pas " +
               std::to_string(v.numero);
    }

    int ajoute(maillon l, int parent) {
        if (r.maillons.size() >= maillons_max) {
            r.tronquee = true;
            return -1;
        }
        l.parent = parent;
        l.profondeur = parent < 0 ? 0 : r.maillons[static_cast<std::size_t>(parent)].profondeur + 1;
        r.historique_depasse = r.historique_depasse || l.sorte == maillon::avant_historique;
        r.maillons.push_back(std::move(l));
        return static_cast<int>(r.maillons.size()) - 1;
    }

    // Le maillon d'un pas de l'historique.
    maillon de_pas(pas_vu const& v, std::string phrase) {
        maillon l;
        l.sorte = maillon::instruction;
        l.pas = v.numero;
        l.reculs = total - v.numero;
        l.adresse = v.pc;
        l.ligne = ligne(v.pc);
        l.texte = texte_instruction(v);
        effet_pile const e = internal_mp_interpreteur_effet_pile[v.opcode];
        for (int j = 0; v.reussi && j < e.depile; ++j) {
            l.consommees.push_back(v.consommees[j]);
        }
        for (int j = 0; v.reussi && j < e.empile; ++j) {
            l.produites.push_back(v.produites[j]);
        }
        if (v.reussi && v.opcode == op_POP) {
            l.produites.push_back(v.ecrit);
        }
        l.phrase = std::move(phrase);
        return l;
    }

    bool suit(int parent) const {
        return parent < 0 ||
               r.maillons[static_cast<std::size_t>(parent)].profondeur < profondeur_max;
    }

    // Le dernier pas avant limite qui a pose l'entree position ; vus.size() sinon.
    std::size_t producteur(int position, unsigned long long limite, int& rang_produit) const {
        for (std::size_t k = limite > total ? 0 : rang(limite - 1); k < vus.size(); ++k) {
            pas_vu const& v = vus[k];
            effet_pile const e = internal_mp_interpreteur_effet_pile[v.opcode];
            int const base = v.sp - e.depile + 1;
            if (!v.reussi || position < base || position >= base + e.empile) {
                continue;
            }
            int const j = position - base;
            int const s = source_de(v.opcode, j);
            if (s >= 0 && s == j) {
                continue; // recopiee sur place : elle vient d'avant
            }
            rang_produit = j;
            return k;
        }
        return vus.size();
    }

    void explique_entree(a_expliquer const& x) {
        int j = 0;
        std::size_t const k = producteur(x.position, x.limite, j);
        if (k == vus.size()) {
            maillon l;
            l.sorte = complet ? maillon::depart : maillon::avant_historique;
            l.phrase = complet ? "l'entrée " + std::to_string(x.position) +
                                     " était déjà sur la pile avant la première instruction"
                               : "posée avant les " + std::to_string(vus.size()) +
                                     " instructions que l'historique garde";
            ajoute(l, x.parent);
            return;
        }
        pas_vu const& v = vus[k];
        int const valeur = v.produites[j];
        int const s = source_de(v.opcode, j);
        effet_pile const e = internal_mp_interpreteur_effet_pile[v.opcode];
        int const base = v.sp - e.depile + 1;
        std::string phrase;
        if (s == lue_en_memoire) {
            phrase = "a empilé " + valeur_texte(valeur) + ", lu en " + nom_adresse(v.mot);
        } else if (s == immediate) {
            phrase = "a empilé " + valeur_texte(valeur) + ", son opérande";
        } else if (s >= 0) {
            phrase = "a mis " + valeur_texte(valeur) + " en entrée " + std::to_string(x.position) +
                     ", pris en entrée " + std::to_string(base + s);
        } else {
            std::vector<int> de;
            for (int c = 0; c < e.depile; ++c) {
                de.push_back(v.consommees[c]);
            }
            phrase = "a calculé " + valeur_texte(valeur) + " de " + liste(de);
        }
        int const l = ajoute(de_pas(v, phrase), x.parent);
        if (l < 0 || !suit(l)) {
            return;
        }
        if (s == lue_en_memoire) {
            a_voir.push_back({a_expliquer::octet, l, 0, v.mot, v.numero});
        } else if (s >= 0) {
            a_voir.push_back({a_expliquer::entree, l, base + s, 0, v.numero});
        } else if (s == calculee) {
            for (int c = 0; c < e.depile; ++c) {
                a_voir.push_back({a_expliquer::entree, l, base + c, 0, v.numero});
            }
        }
    }

    void explique_octet(a_expliquer const& x) {
        // Le plus recent de : un POP, la mise a jour d'un port apres un pas, une
        // ecriture exterieure ; a meme pas, dans cet ordre.
        unsigned long long const borne = x.limite - 1; // pas faits avant
        std::size_t pop = vus.size();
        for (std::size_t k = x.limite > total ? 0 : rang(borne); k < vus.size(); ++k) {
            if (vus[k].reussi && vus[k].opcode == op_POP && vus[k].mot == x.adresse) {
                pop = k;
                break;
            }
        }
        changement_vu const* port = nullptr;
        for (changement_vu const& c : changements) {
            if (c.numero <= borne && c.adresse == x.adresse) {
                port = &c;
                break;
            }
        }
        ecriture_exterieure const* dehors = nullptr;
        for (ecriture_exterieure const& w : ecritures) {
            if (w.pas <= borne && w.adresse == x.adresse && (!dehors || w.pas >= dehors->pas)) {
                dehors = &w;
            }
        }
        unsigned long long const t_pop = pop < vus.size() ? 3 * vus[pop].numero : 0;
        unsigned long long const t_port = port ? 3 * port->numero + 1 : 0;
        unsigned long long const t_dehors = dehors ? 3 * dehors->pas + 2 : 0;
        if (dehors && t_dehors >= t_pop && t_dehors >= t_port) {
            ajoute(de_dehors(*dehors), x.parent);
        } else if (port && t_port >= t_pop) {
            maillon l;
            l.sorte = maillon::port;
            l.pas = port->numero;
            l.reculs = total - port->numero;
            l.adresse = x.adresse;
            l.produites = {port->valeur};
            l.phrase = "le port " + std::string(1, "ABCDE"[port->port]) + " a réécrit " +
                       valeur_texte(port->valeur) + " dans son registre après le pas " +
                       std::to_string(port->numero) + " (ses bits d'entrée restent les siens)";
            ajoute(l, x.parent);
        } else if (pop < vus.size()) {
            pas_vu const& v = vus[pop];
            int const l = ajoute(
                de_pas(v, "a écrit " + valeur_texte(v.ecrit) + " en " + nom_adresse(x.adresse)),
                x.parent);
            if (l >= 0 && suit(l)) {
                a_voir.push_back({a_expliquer::entree, l, v.sp, 0, v.numero});
            }
        } else {
            ajoute(au_chargement(x.adresse), x.parent);
        }
    }

    maillon de_dehors(ecriture_exterieure const& w) {
        static char const* const quoi[] = {"posé par le cas (ou --pose)", "entrée posée",
                                           "entrée posée par un événement", "tapé à la main"};
        maillon l;
        l.sorte = maillon::ecriture;
        l.origine = w.origine;
        l.pas = w.pas;
        l.reculs = total - std::min(total, w.pas);
        l.adresse = w.adresse;
        l.produites = {w.valeur};
        l.phrase = std::string(quoi[w.origine]) + " : " + valeur_texte(w.valeur) + " en " +
                   nom_adresse(w.adresse) +
                   (w.pas == 0 ? ", avant la première instruction"
                               : ", après " + std::to_string(w.pas) + " instructions");
        return l;
    }

    maillon au_chargement(unsigned short a) {
        maillon l;
        l.adresse = a;
        ligne_assemblee const* d = programme ? programme->ligne_couvrant(a) : nullptr;
        std::string const image = d ? (d->instruction ? "l'opérande de l'instruction de la ligne "
                                                      : "la donnée de la ligne ") +
                                          std::to_string(d->ligne)
                                    : "";
        if (!complet) {
            l.sorte = maillon::avant_historique;
            l.phrase = "aucune écriture dans les " + std::to_string(vus.size()) +
                       " instructions que l'historique garde" +
                       (image.empty() ? "" : " ; au chargement, " + image);
            return l;
        }
        l.produites = {m.memoire().read_byte(a)};
        if (d) {
            l.sorte = maillon::donnee;
            l.ligne = d->ligne;
            l.phrase = "chargé avec le programme : " + image;
            return l;
        }
        l.sorte = maillon::chargement;
        bool registre = false;
        for (description_port const& p : ports_machine) {
            registre =
                registre || p.adresse_valeur == a || (p.a_direction && p.adresse_direction == a);
        }
        l.phrase = registre
                       ? "valeur du registre depuis le chargement, aucune instruction ne l'a écrit"
                   : programme || !image.empty()
                       ? "mis à 0 au chargement, rien ne l'a écrit depuis"
                       : "chargé ainsi (image du fichier, ou 0), rien ne l'a écrit depuis";
        return l;
    }

    static unsigned char octet_des_drapeaux(pas_vu const& v) {
        int const o = v.opcode;
        return o == op_POP || o == op_DUP || o == op_OVER ? v.consommees[0]
               : o == op_SWAP                             ? v.consommees[1]
               : o == op_ROLL                             ? v.consommees[2]
               : o == op_CMP ? static_cast<unsigned char>(v.consommees[0] - v.consommees[1])
                             : v.produites[0];
    }

    void drapeau(question_pourquoi const& q) {
        unsigned char const ccr = m.cpu().CCR_value();
        bool const leve = ccr & q.masque;
        r.resume = q.texte + " vaut " + (leve ? "1" : "0");
        if (q.masque == CCR_V || q.masque == CCR_C) {
            maillon l;
            l.sorte = maillon::depart;
            l.phrase = "aucune instruction ne change V ni C : leur valeur est celle du départ";
            ajoute(l, -1);
            return;
        }
        bool const erreur = q.masque == CCR_E;
        for (pas_vu const& v : vus) {
            bool const pile = v.opcode < premier_branchement;
            if (erreur ? (pile && !v.reussi) : (pile && v.reussi && v.opcode != op_DROP)) {
                explique_pas_drapeau(v, erreur);
                return;
            }
        }
        maillon l;
        l.sorte = complet ? maillon::depart : maillon::avant_historique;
        l.phrase = complet
                       ? std::string(erreur ? "aucune erreur de pile depuis le chargement : E vaut "
                                              "ce qu'il valait avant (rien ne l'efface)"
                                            : "aucune instruction ne l'a changé depuis le "
                                              "chargement")
                       : "changé avant les " + std::to_string(vus.size()) +
                             " instructions que l'historique garde";
        ajoute(l, -1);
    }

    void explique_pas_drapeau(pas_vu const& v, bool erreur) {
        if (erreur) {
            ajoute(de_pas(v, echec(v)), -1);
            return;
        }
        unsigned char const o = octet_des_drapeaux(v);
        int const l =
            ajoute(de_pas(v, "a tiré Z et N de " + valeur_texte(o) +
                                 (v.opcode == op_CMP ? " (différence de ses deux entrées)" : "")),
                   -1);
        effet_pile const e = internal_mp_interpreteur_effet_pile[v.opcode];
        for (int c = 0; l >= 0 && c < e.depile; ++c) {
            a_voir.push_back({a_expliquer::entree, l, v.sp - e.depile + 1 + c, 0, v.numero});
        }
    }

    static std::string echec(pas_vu const& v) {
        effet_pile const e = internal_mp_interpreteur_effet_pile[v.opcode];
        int const d = v.sp + 1;
        return d < e.besoin()
                   ? "a trouvé la pile vide : il lui faut " + std::to_string(e.besoin()) +
                         " entrée" + (e.besoin() > 1 ? "s" : "") + ", il y en avait " +
                         std::to_string(d)
                   : "a trouvé la pile pleine (" + std::to_string(d) + " entrées)";
    }

    void arret_(arret_explique const& a) {
        pas_vu const* dernier = vus.empty() ? nullptr : &vus[0];
        switch (a.raison) {
        case arret::erreur_pile:
            if (!dernier || dernier->reussi || dernier->pc != a.adresse) {
                r.resume = "erreur de pile en " + hex4(a.adresse) +
                           " : l'instruction n'est plus dans l'historique";
                return;
            }
            arret_pile(*dernier);
            return;
        case arret::boucle:
            r.resume =
                "fin de programme : le branchement en " + hex4(a.adresse) +
                (ligne(a.adresse) > 0 ? " (ligne " + std::to_string(ligne(a.adresse)) + ")" : "") +
                " saute sur lui-même";
            break;
        case arret::point_arret:
            r.resume =
                "point d'arrêt en " + hex4(a.adresse) +
                (ligne(a.adresse) > 0 ? " (ligne " + std::to_string(ligne(a.adresse)) + ")" : "");
            break;
        case arret::limite:
            r.resume = "limite atteinte après " + std::to_string(total) + " instructions";
            break;
        default:
            r.resume = "pas d'arrêt à expliquer";
            return;
        }
        if (dernier) {
            ajoute(de_pas(*dernier, "la dernière instruction"), -1);
        }
    }

    void arret_pile(pas_vu const& v) {
        effet_pile const e = internal_mp_interpreteur_effet_pile[v.opcode];
        bool const pleine = v.sp + 1 >= e.besoin();
        r.resume = std::string("pile ") + (pleine ? "pleine" : "vide") + " : " + ou(v);
        int const racine = ajoute(de_pas(v, echec(v)), -1);
        if (pleine) {
            // Qui a pose les entrees qui la remplissent : une ligne par instruction,
            // avec son pas le plus recent, sans remonter plus loin.
            std::map<unsigned short, std::pair<std::size_t, std::vector<int>>> par_instruction;
            std::vector<unsigned short> ordre;
            for (int i = 0; i <= v.sp; ++i) {
                int j = 0;
                std::size_t const k = producteur(i, v.numero, j);
                unsigned short const pc = k < vus.size() ? vus[k].pc : 0;
                auto [g, nouveau] = par_instruction.try_emplace(pc, k, std::vector<int>{});
                if (nouveau) {
                    ordre.push_back(pc);
                }
                g->second.first = std::min(g->second.first, k);
                g->second.second.push_back(i);
            }
            for (unsigned short pc : ordre) {
                auto const& [k, entrees] = par_instruction[pc];
                std::string const lesquelles =
                    entrees.size() == 1
                        ? "l'entrée " + std::to_string(entrees[0])
                        : std::to_string(entrees.size()) + " entrées (" + liste(entrees) + ")";
                if (k < vus.size()) {
                    ajoute(de_pas(vus[k], "a posé " + lesquelles +
                                              (entrees.size() > 1 ? ", la dernière ici" : "")),
                           racine);
                } else {
                    maillon l;
                    l.sorte = complet ? maillon::depart : maillon::avant_historique;
                    l.phrase = lesquelles + (complet ? " : déjà sur la pile au départ"
                                                     : " : posées avant ce que l'historique garde");
                    ajoute(l, racine);
                }
            }
        } else {
            // Celle qui a ote la derniere entree dont l'instruction avait besoin.
            for (std::size_t k = 1; k < vus.size(); ++k) {
                pas_vu const& w = vus[k];
                effet_pile const f = internal_mp_interpreteur_effet_pile[w.opcode];
                int const avant = w.sp + 1;
                int const apres = w.reussi ? avant - f.depile + f.empile : avant;
                if (apres < e.besoin() && avant >= e.besoin()) {
                    ajoute(de_pas(w, "a ôté l'entrée qui manque : " + entrees(avant) +
                                         " avant elle, " + std::to_string(apres) + " après"),
                           racine);
                    break;
                }
            }
        }
        note_boucle(v);
    }

    // La verification de la pile connait la boucle ou l'erreur se produit.
    void note_boucle(pas_vu const& v) {
        if (!programme) {
            return;
        }
        int const l = ligne(v.pc);
        for (boucle_pile const& b : programme->boucles) {
            if (l < b.ligne_debut || l > b.ligne_fin) {
                continue;
            }
            std::size_t tours = 0;
            for (pas_vu const& w : vus) {
                tours += w.pc == b.entete;
            }
            int const n = b.par_tour < 0 ? -b.par_tour : b.par_tour;
            std::string t = "chaque tour de " +
                            (b.nom.empty() ? "la boucle" : "la boucle de « " + b.nom + " »") +
                            " (lignes " + std::to_string(b.ligne_debut) + "–" +
                            std::to_string(b.ligne_fin) + ")" +
                            (b.chaque_tour ? " laisse " : " peut laisser ") +
                            (n == 1 ? std::string("un octet") : std::to_string(n) + " octets") +
                            (b.par_tour > 0 ? " de plus" : " de moins") + " sur la pile";
            if (!b.empilent.empty()) {
                t += " ; empilent : lignes " + liste(b.empilent);
            }
            if (!b.depilent.empty()) {
                t += " ; dépilent : lignes " + liste(b.depilent);
            }
            if (b.par_tour > 0 && b.ligne_cmp > 0) {
                t += " ; CMP (ligne " + std::to_string(b.ligne_cmp) + ") ne dépile pas";
            }
            r.notes.push_back(t + " ; " + std::to_string(tours) + " tours vus dans l'historique");
            return;
        }
    }

    void deroule() {
        for (std::size_t k = 0; k < a_voir.size(); ++k) {
            if (r.maillons.size() >= maillons_max) {
                r.tronquee = true;
                return;
            }
            a_expliquer const x = a_voir[k];
            if (x.sorte == a_expliquer::entree) {
                explique_entree(x);
            } else {
                explique_octet(x);
            }
        }
    }

    machine const& m;
    programme_assemble const* programme;
    std::vector<ecriture_exterieure> const& ecritures;
    unsigned long long total;
    std::vector<unsigned char> code;        // memoire avant le plus ancien pas garde
    std::vector<pas_vu> vus;                // du plus recent au plus ancien
    std::vector<changement_vu> changements; // du plus recent au plus ancien
    bool complet = true;                    // l'historique remonte au chargement
    std::unique_ptr<mem_64k> memoire_texte; // pour desassembler un pas
    mp_interpreteur cpu_texte;
    std::map<unsigned short, std::string> etiquettes;
    std::vector<a_expliquer> a_voir;
    explication r;
};

std::string echappe(std::string const& s) {
    std::string t;
    for (char c : s) {
        if (c == '"' || c == '\\') {
            t += '\\';
        }
        t += c;
    }
    return t;
}

std::string json_liste(std::vector<int> const& v) {
    std::string t = "[";
    for (std::size_t i = 0; i < v.size(); ++i) {
        t += (i > 0 ? ", " : "") + std::to_string(v[i]);
    }
    return t + "]";
}

char const* const noms_sortes[] = {"instruction", "donnee", "ecriture",        "port",
                                   "chargement",  "depart", "avant_historique"};

} // namespace

explication pourquoi(machine const& m, programme_assemble const* programme,
                     std::vector<ecriture_exterieure> const& ecritures, question_pourquoi const& q,
                     arret_explique const& a) {
    return enquete(m, programme, ecritures).repond(q, a);
}

std::string texte_explication(explication const& e) {
    std::string t = "Pourquoi " + e.question + " ? " + e.resume + "\n";
    for (maillon const& l : e.maillons) {
        std::string ligne(2 * static_cast<std::size_t>(l.profondeur + 1), ' ');
        if (l.sorte == maillon::instruction) {
            char debut[64];
            std::snprintf(debut, sizeof debut, "pas %llu  $%04x  ", l.pas, l.adresse);
            ligne += debut;
            ligne +=
                (l.ligne > 0 ? "ligne " + std::to_string(l.ligne) + "  " : "") + l.texte + " : ";
        }
        t += ligne + l.phrase + "\n";
    }
    for (std::string const& n : e.notes) {
        t += "  Note : " + n + "\n";
    }
    if (e.tronquee) {
        t += "  (chaîne coupée après " + std::to_string(maillons_max) + " maillons)\n";
    }
    if (e.historique_depasse) {
        t += "  (l'historique garde les " + std::to_string(e.historique) +
             " dernières instructions : l'origine est plus ancienne)\n";
    }
    return t;
}

std::string json_explication(explication const& e) {
    std::string j = "{\"quoi\": \"" + echappe(e.question) + "\", \"resume\": \"" +
                    echappe(e.resume) + "\", \"maillons\": [";
    for (std::size_t k = 0; k < e.maillons.size(); ++k) {
        maillon const& l = e.maillons[k];
        j += std::string(k > 0 ? ", " : "") + "{\"sorte\": \"" + noms_sortes[l.sorte] +
             "\", \"parent\": " + std::to_string(l.parent) + ", \"pas\": " + std::to_string(l.pas) +
             ", \"reculs\": " + std::to_string(l.reculs) +
             ", \"adresse\": " + std::to_string(l.adresse) +
             ", \"ligne\": " + (l.ligne > 0 ? std::to_string(l.ligne) : "null") +
             ", \"instruction\": \"" + echappe(l.texte) +
             "\", \"produites\": " + json_liste(l.produites) +
             ", \"consommees\": " + json_liste(l.consommees) + ", \"phrase\": \"" +
             echappe(l.phrase) + "\"}";
    }
    j += "], \"notes\": [";
    for (std::size_t k = 0; k < e.notes.size(); ++k) {
        j += std::string(k > 0 ? ", " : "") + "\"" + echappe(e.notes[k]) + "\"";
    }
    return j + "], \"tronquee\": " + (e.tronquee ? "true" : "false") +
           ", \"historique_depasse\": " + (e.historique_depasse ? "true" : "false") +
           ", \"historique\": " + std::to_string(e.historique) + "}";
}

effet_dernier_pas dernier_pas(machine const& m) {
    effet_dernier_pas d;
    if (m.nb_annulables() == 0) {
        return d;
    }
    machine::annulation const& a = m.annulable(0);
    int const opcode = m.memoire().read_byte(a.pc) & (nombre_opcodes - 1);
    effet_pile const e = internal_mp_interpreteur_effet_pile[opcode];
    int const profondeur = a.sp + 1;
    d.connu = true;
    d.sp_avant = a.sp;
    d.echec = !(profondeur >= e.besoin() && profondeur + e.libres() <= taille_pile_interne);
    if (d.echec || opcode == op_CMP) {
        return d;
    }
    int const base = a.sp - e.depile + 1;
    d.premiere = base;
    d.derniere = base + e.empile - 1;
    // Les copies sur place (DUP, OVER) ne changent pas l'entree du dessous.
    while (d.premiere <= d.derniere && source_de(opcode, d.premiere - base) == d.premiere - base) {
        ++d.premiere;
    }
    d.otees = e.depile > e.empile ? e.depile - e.empile : 0;
    return d;
}
