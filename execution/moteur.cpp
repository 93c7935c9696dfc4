// L'execution passe toute entiere par execute() (et donc machine::pas()) : ni le
// pas ni la logique des ports ne sont refaits ici. Elle se fait par tranches qui
// finissent la ou une entree doit changer (ou a chaque instruction pour un
// observateur) ; seule la premiere tranche passe un point d'arret sur lequel elle
// part, comme PLAY.
#include "execution/moteur.h"

#include <algorithm>

#include "assembleur/source.h"
#include "execution/fichiers.h"
#include "simulateur/textes_fichiers.h"

namespace {

constexpr int bits_par_octet = 8;

bilan_execution deroule(machine& m, demande_execution const& d, observateur const& trace) {
    points_arret points;
    for (unsigned short a : d.points) {
        if (!points.contient(a)) {
            points.bascule(a);
        }
    }
    std::vector<evenement_entree> entrees = d.entrees;
    std::stable_sort(
        entrees.begin(), entrees.end(),
        [](evenement_entree const& a, evenement_entree const& b) { return a.pas < b.pas; });
    std::size_t prochaine = 0;
    bilan_execution total{0, arret::limite, m.cpu().PC_value()};
    for (;;) {
        for (; prochaine < entrees.size() && entrees[prochaine].pas <= total.pas; ++prochaine) {
            pose_entree(m, entrees[prochaine].port, entrees[prochaine].valeur);
        }
        long long tranche = d.pas_max - total.pas;
        if (prochaine < entrees.size()) {
            tranche = std::min(tranche, entrees[prochaine].pas - total.pas);
        }
        if (trace) {
            tranche = std::min(tranche, 1LL);
        }
        if (tranche <= 0) {
            return total;
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
    }
}

programme_charge refus(std::string erreur) {
    programme_charge p;
    p.erreur = std::move(erreur);
    return p;
}

} // namespace

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
    binaire_lu const b = lit_binaire(chemin);
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

void pose_entree(machine& m, int port, unsigned char valeur) {
    registre_port& r = m.port(port);
    for (int bit = 0; bit < bits_par_octet; ++bit) {
        bool const voulu = (valeur >> bit) & 1;
        bool const actuel = (r.valeur() >> bit) & 1;
        if (voulu != actuel && r.bascule_entree(bit)) {
            r.reecrit_valeur();
        }
    }
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
    return e;
}
