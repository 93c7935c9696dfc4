// L'execution passe toute entiere par execute() (et donc machine::pas()) : ni le
// pas ni la logique des ports ne sont refaits ici. Elle se fait par tranches qui
// finissent la ou une entree doit changer (ou a chaque instruction pour un
// observateur, ou tous les tranche_annulable pas si elle peut etre annulee) ;
// seule la premiere tranche passe un point d'arret sur lequel elle part, comme
// PLAY. Couper une tranche ne change rien au resultat.
#include "execution/moteur.h"

#include <algorithm>
#include <cstdio>

#include "assembleur/source.h"
#include "execution/fichiers.h"
#include "simulateur/textes_fichiers.h"

namespace {

bilan_execution deroule(machine& m, demande_execution const& d, observateur const& trace) {
    points_arret points;
    for (unsigned short a : d.points) {
        if (!points.contient(a)) {
            points.bascule(a);
        }
    }
    evenements_armes entrees;
    entrees.arme(d.entrees);
    entrees.pose_dues(m);
    bilan_execution total{0, arret::limite, m.cpu().PC_value()};
    for (;;) {
        long long tranche = d.pas_max - total.pas;
        if (entrees.marge() >= 0) {
            tranche = std::min(tranche, entrees.marge());
        }
        if (trace) {
            tranche = std::min(tranche, 1LL);
        }
        if (tranche <= 0) {
            return total;
        }
        if (d.annule != nullptr) {
            if (d.annule->load(std::memory_order_relaxed)) {
                total.raison = arret::demande;
                total.adresse = m.cpu().PC_value();
                return total;
            }
            tranche = std::min(tranche, tranche_annulable);
        }
        unsigned short const adresse = m.cpu().PC_value();
        char texte[11] = "";
        if (trace) {
            m.cpu().desassemblage_instruction(adresse, texte);
        }
        long long const faits = total.pas;
        total = execute(m, &points, tranche, faits == 0, true);
        total.pas += faits;
        if (trace && total.pas > faits) {
            trace(adresse, texte, m.cpu());
        }
        if (total.raison != arret::limite) {
            return total;
        }
        entrees.apres(m, total.pas - faits);
    }
}

// Les mots des arrets, dans l'ordre ou ils l'emportent.
struct nom_arret {
    arret raison;
    char const* mot;
};
const nom_arret noms_arrets[] = {
    {arret::erreur_pile, "erreur_pile"},
    {arret::boucle, "boucle"},
    {arret::point_arret, "point_arret"},
    {arret::limite, "limite"},
};

programme_charge refus(std::string erreur) {
    programme_charge p;
    p.erreur = std::move(erreur);
    return p;
}

} // namespace

char const* mot_arret(arret a) {
    for (nom_arret const& n : noms_arrets) {
        if (n.raison == a) {
            return n.mot;
        }
    }
    return "limite"; // le moteur ne rend pas d'autre raison
}

bool arret_du_mot(std::string const& mot, arret& a) {
    for (nom_arret const& n : noms_arrets) {
        if (mot == n.mot) {
            a = n.raison;
            return true;
        }
    }
    return false;
}

programme_charge programme_source(programme_assemble a) {
    programme_charge p;
    p.source = true;
    p.charge = a.reussi();
    p.base = a.base;
    p.image = a.image;
    p.assemble = std::move(a);
    return p;
}

programme_charge lit_programme(std::string const& chemin) {
    if (est_source(chemin)) {
        source_lue const s = lit_source(chemin);
        return s.lue ? programme_source(assemble(s.texte)) : refus(s.erreur);
    }
    return programme_binaire(chemin, lit_binaire(chemin));
}

programme_charge programme_binaire(std::string const& chemin, binaire_lu const& b) {
    if (b.e == binaire_lu::etat::illisible) {
        return refus("impossible de lire « " + chemin + " » : " + b.raison);
    }
    if (b.e != binaire_lu::etat::lu) {
        return refus("impossible de charger « " + chemin + " » : " + b.raison);
    }
    programme_charge p;
    p.charge = true;
    p.base = b.base;
    p.image = b.image;
    if (b.plus_long) {
        p.avertissement = "attention : « " + chemin + " » a plus d'octets que les " +
                          std::to_string(b.taille) + " de son en-tête ; la suite est ignorée";
    }
    return p;
}

int ligne_source(programme_charge const& p, unsigned short adresse) {
    return p.source ? p.assemble.ligne_en(adresse) : 0;
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

void machine_seule::charge(programme_charge const& p) {
    memoire_->load_image(p.base, p.image);
    cpu_.init_registers();
    for (registre_port& port : ports_) {
        port.reecrit_valeur();
    }
    machine_.memoire_touchee();
}

void pose_octets(machine& m, unsigned short adresse, std::vector<unsigned char> const& octets) {
    for (std::size_t i = 0; i < octets.size() && adresse + i < mem_64k::taille; ++i) {
        m.memoire().write_byte(static_cast<unsigned short>(adresse + i), octets[i]);
    }
    m.memoire_touchee();
}

arret_decrit lance_programme(machine_seule& seule, programme_charge const& p,
                             demande_execution const& d, observateur const& trace) {
    seule.charge(p);
    for (octets_poses const& o : d.memoire) {
        pose_octets(seule.m(), o.adresse, o.octets);
    }
    arret_decrit a;
    a.bilan = deroule(seule.m(), d, trace);
    a.ligne = ligne_source(p, a.bilan.adresse);
    return a;
}

etat_final releve(machine& m, arret_decrit const& a, std::vector<zone_memoire> const& zones) {
    mp_interpreteur const& cpu = m.cpu();
    mem_64k const& memoire = m.memoire();
    etat_final e{};
    e.pas = a.bilan.pas;
    e.raison = a.bilan.raison;
    e.adresse_arret = a.bilan.adresse;
    e.pile_en_faute = a.bilan.pile;
    e.ligne = a.ligne;
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
    for (zone_memoire const& z : zones) {
        etat_final::zone r{z.adresse, {}};
        for (unsigned i = 0; i < z.taille; ++i) {
            r.octets.push_back(memoire.read_byte(static_cast<unsigned short>(z.adresse + i)));
        }
        e.zones.push_back(r);
    }
    e.phrase = texte_arret(e.raison, e.adresse_arret, e.pile_en_faute, e.ligne, memoire);
    return e;
}

namespace {
constexpr char debut_arret[] = "Arrêt : ";
} // namespace

std::string texte_arret(arret raison, unsigned short adresse, erreur_pile_sorte pile, int ligne,
                        mem_64k const& memoire) {
    if (raison != arret::erreur_pile) {
        return texte_etat(false, raison, adresse, pile);
    }
    char ou[16];
    std::snprintf(ou, sizeof ou, "en $%04x", adresse);
    std::string const mnemonique =
        internal_mp_interpreteur_libelle_instruction[memoire.read_byte(adresse) & masque_opcode];
    return debut_arret + std::string(texte_erreur_pile(pile)) + " " +
           (ligne > 0 ? "ligne " + std::to_string(ligne) : ou) + " (" + mnemonique + ")";
}

std::string sans_debut_arret(std::string const& phrase) {
    std::size_t const n = sizeof debut_arret - 1;
    return phrase.compare(0, n, debut_arret) == 0 ? phrase.substr(n) : phrase;
}
