// Une instruction comme STEP la fait, et l'historique qui permet de l'annuler.
// L'historique tient dans deux anneaux bornes : une annulation de 12 octets par
// instruction, et a part les ports qu'elle a changes (4 octets chacun, rares :
// il faut un POP vers un registre de port). Quand l'un des anneaux deborde, les
// plus anciennes instructions s'oublient avec leurs changements de ports.
#include "simulateur/machine.h"

#include <algorithm>

namespace {

constexpr std::size_t capacite_annulations = std::size_t{1} << 17; // 131072 instructions
// Un POP qui change un port suit au moins un empilement : la moitie suffit.
constexpr std::size_t capacite_changements = capacite_annulations / 2;
constexpr unsigned char opcode_pushi = 0x01; // pose une entree de pile au pas arriere
constexpr int fond_fenetre_pile = -2;        // ROLL touche SP-2, un empilement SP+1

} // namespace

machine::machine(mem_64k& memoire, mp_interpreteur& cpu, registre_port* const (&ports)[nb_ports])
    : memoire_(memoire), cpu_(cpu), ports_{} {
    std::copy(ports, ports + nb_ports, ports_);
}

void machine::met_a_jour_ports() {
    // Tous dus : apres configuration ou ecriture hors instruction ; les adresses
    // des registres sont alors relues.
    if (ports_dus_ == tous_les_ports) {
        repere_registres();
    }
    for (int p = 0; p < nb_ports; ++p) {
        registre_port& r = *ports_[p];
        if (((ports_dus_ >> p) & 1) == 0 || !r.est_configure()) {
            continue;
        }
        changement_port const avant{static_cast<unsigned char>(p), r.valeur(), r.direction(),
                                    memoire_.read_byte(r.description().adresse_valeur)};
        r.prend_sorties();
        if (enregistrement_ouvert_ &&
            (avant.valeur != r.valeur() || avant.direction != r.direction() ||
             avant.registre != r.valeur())) {
            note_port(avant);
        }
    }
    // Les registres ne partagent aucune adresse : aucun port n'a defait la mise a
    // jour d'un autre, et rien n'est plus a refaire.
    ports_dus_ = 0;
    enregistrement_ouvert_ = false;
}

void machine::repere_registres() {
    unsigned short bas = 0xFFFF;
    unsigned short haut = 0;
    auto pour_chaque_registre = [this](auto&& f) {
        for (int p = 0; p < nb_ports; ++p) {
            if (ports_[p]->est_configure()) {
                description_port const& d = ports_[p]->description();
                f(p, d.adresse_valeur);
                if (d.a_direction) {
                    f(p, d.adresse_direction);
                }
            }
        }
    };
    pour_chaque_registre([&](int, unsigned short a) {
        bas = std::min(bas, a);
        haut = std::max(haut, a);
    });
    bas_registres_ = bas;
    ports_du_registre_.assign(bas <= haut ? haut - bas + 1u : 0u, 0);
    pour_chaque_registre([&](int p, unsigned short a) {
        ports_du_registre_[a - bas] |= static_cast<unsigned char>(1 << p);
    });
}

// --- Historique ---

void machine::garde_historique(bool oui) {
    historique_actif_ = oui;
    // Allouer d'un coup : aucune instruction ne doit attendre la memoire.
    std::vector<annulation>(oui ? capacite_annulations : 0).swap(anneau_);
    std::vector<changement_port>(oui ? capacite_changements : 0).swap(anneau_ports_);
    oublie_historique();
}

void machine::oublie_historique() {
    debut_annulations_ = nb_annulations_ = 0;
    debut_ports_ = nb_changements_ = 0;
    enregistrement_ouvert_ = false;
}

std::size_t machine::octets_historique() const {
    return anneau_.size() * sizeof(annulation) + anneau_ports_.size() * sizeof(changement_port);
}

void machine::note_instruction(unsigned short pc) {
    // Anneau plein : la place est celle de la plus ancienne, qu'on oublie.
    std::size_t const place = (debut_annulations_ + nb_annulations_) & (anneau_.size() - 1);
    if (nb_annulations_ == anneau_.size()) {
        oublie_plus_ancienne();
    }
    annulation& a = anneau_[place];
    ++nb_annulations_;
    short const sp = cpu_.SP_value();
    a.pc = pc;
    a.sp = static_cast<signed char>(sp);
    a.ccr = cpu_.CCR_value();
    // Quelle que soit l'instruction : remettre un octet a sa valeur d'avant est
    // sans effet s'il n'a pas change.
    a.adresse = memoire_.read_word(static_cast<unsigned short>(pc + 1));
    a.octet = memoire_.read_byte(a.adresse);
    for (int k = 0; k < fenetre_pile_max; ++k) {
        a.pile[k] = cpu_.pile(static_cast<short>(sp + fond_fenetre_pile + k));
    }
    a.nb_ports = 0;
    enregistrement_ouvert_ = true;
}

void machine::note_port(changement_port const& avant) {
    // La derniere annulation, qui recoit ce changement, n'est jamais oubliee ici :
    // elle en porte au plus nb_ports - 1, bien moins que la capacite.
    std::size_t const courante = (debut_annulations_ + nb_annulations_ - 1) & (anneau_.size() - 1);
    while (nb_changements_ == anneau_ports_.size() && nb_annulations_ > 1) {
        oublie_plus_ancienne();
    }
    anneau_ports_[(debut_ports_ + nb_changements_) & (anneau_ports_.size() - 1)] = avant;
    ++nb_changements_;
    ++anneau_[courante].nb_ports;
}

void machine::oublie_plus_ancienne() {
    annulation const& a = anneau_[debut_annulations_ & (anneau_.size() - 1)];
    debut_ports_ = (debut_ports_ + a.nb_ports) & (anneau_ports_.size() - 1);
    nb_changements_ -= a.nb_ports;
    ++debut_annulations_;
    --nb_annulations_;
}

bool machine::derniere_ecriture(unsigned short& adresse, unsigned char& avant) const {
    if (nb_annulations_ == 0) {
        return false;
    }
    annulation const& a =
        anneau_[(debut_annulations_ + nb_annulations_ - 1) & (anneau_.size() - 1)];
    if ((memoire_.read_byte(a.pc) & masque_opcode) != opcode_pop) {
        return false;
    }
    adresse = a.adresse;
    avant = a.octet;
    return true;
}

bool machine::recule() {
    if (nb_annulations_ == 0) {
        return false;
    }
    --nb_annulations_;
    annulation const a = anneau_[(debut_annulations_ + nb_annulations_) & (anneau_.size() - 1)];
    // Dans l'ordre inverse de l'instruction : ports (mis a jour apres elle),
    // puis l'octet de POP, puis le processeur.
    for (int k = 0; k < a.nb_ports; ++k) {
        --nb_changements_;
        restaure_port(anneau_ports_[(debut_ports_ + nb_changements_) & (anneau_ports_.size() - 1)]);
    }
    memoire_.write_byte(a.adresse, a.octet);
    for (int k = 0; k < fenetre_pile_max; ++k) {
        int const i = a.sp + fond_fenetre_pile + k;
        if (i >= 0 && i < taille_pile_interne && cpu_.pile(static_cast<short>(i)) != a.pile[k]) {
            pose_entree_pile(i, a.pile[k]);
        }
    }
    cpu_.set_SP_value(a.sp);
    cpu_.set_CCR_value(a.ccr);
    cpu_.set_PC_value(a.pc);
    enregistrement_ouvert_ = false;
    memoire_touchee();
    return true;
}

void machine::restaure_port(changement_port const& c) {
    registre_port& r = *ports_[c.port];
    // Les bits d'entree n'ont pas bouge a la mise a jour : ce qu'ils valent
    // maintenant vient de l'utilisateur et reste.
    unsigned char const entrees = ~r.direction();
    r.restaure(static_cast<unsigned char>((c.valeur & ~entrees) | (r.valeur() & entrees)),
               c.direction);
    memoire_.write_byte(r.description().adresse_valeur, c.registre);
}

void machine::pose_entree_pile(int i, signed char v) {
    // Le processeur n'offre pas d'ecriture directe d'une entree : un PUSHI la pose,
    // sur deux octets de memoire remis aussitot comme ils etaient.
    unsigned char const octets[] = {memoire_.read_byte(0), memoire_.read_byte(1)};
    memoire_.write_byte(0, opcode_pushi);
    memoire_.write_byte(1, static_cast<unsigned char>(v));
    cpu_.set_SP_value(static_cast<short>(i - 1));
    cpu_.set_PC_value(0);
    cpu_.step();
    memoire_.write_byte(0, octets[0]);
    memoire_.write_byte(1, octets[1]);
}
