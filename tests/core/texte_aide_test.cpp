// Le tableau des instructions de l'aide confronte au processeur : chaque effet
// ( avant -- apres ) est execute (nombre d'entrees, copies nommees, erreur de pile
// quand il en manque une), chaque colonne des drapeaux et chaque condition de
// branchement aussi. Puis le modele : aucune marque de tableau oubliee.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "banc_machine.h"
#include "simulateur/port_es.h"
#include "simulateur/texte_aide.h"
#include "simulateur/version.h"

namespace {

constexpr unsigned short adresse_code = 0x0100;
constexpr unsigned short adresse_donnee = 0x0200; // operande de PUSH et POP
constexpr int dernier_opcode_de_pile = 0x13;      // LSL

struct effet_lu {
    std::vector<std::string> avant, apres;
};

// "( s t -- t s )" en deux listes de noms.
effet_lu lit_effet(std::string const& texte) {
    std::istringstream mots(texte);
    effet_lu e;
    std::vector<std::string>* cote = &e.avant;
    for (std::string m; mots >> m;) {
        if (m == "--") {
            cote = &e.apres;
        } else if (m != "(" && m != ")") {
            cote->push_back(m);
        }
    }
    return e;
}

// L'instruction en adresse_code, operande en adresse_donnee ou de valeur 1.
std::unique_ptr<banc_machine> machine_pour(int op, std::vector<int> const& pile,
                                           unsigned char ccr) {
    auto b = std::make_unique<banc_machine>();
    int const taille = internal_mp_interpreteur_taille_instruction[op];
    b->pose(adresse_code, taille == 3
                              ? std::vector<int>{op, adresse_donnee >> 8, adresse_donnee & 0xFF}
                          : taille == 2 ? std::vector<int>{op, 1}
                                        : std::vector<int>{op});
    b->memoire.write_byte(adresse_donnee, 1);
    b->prepare_pile(pile, ccr, adresse_code);
    return b;
}

TEST(AideInstructions, OperandeSeulementPourLesInstructionsDePlusDUnOctet) {
    for (int op = 0; op < nombre_opcodes_definis; ++op) {
        SCOPED_TRACE(internal_mp_interpreteur_libelle_instruction[op]);
        EXPECT_EQ(effet_de(op).operande[0] != '\0',
                  internal_mp_interpreteur_taille_instruction[op] > 1);
    }
}

TEST(AideInstructions, EffetSurLaPileCommeLeProcesseurLeFait) {
    for (int op = 0; op < nombre_opcodes_definis; ++op) {
        SCOPED_TRACE(std::string(internal_mp_interpreteur_libelle_instruction[op]) + " " +
                     effet_de(op).pile);
        effet_lu const e = lit_effet(effet_de(op).pile);
        // Entrees distinctes (0x11, 0x22, ...), nommees de la gauche vers le sommet.
        std::vector<int> entrees;
        for (std::size_t i = 0; i < e.avant.size(); ++i) {
            entrees.push_back(0x11 * static_cast<int>(i + 1));
        }
        auto b = machine_pour(op, entrees, 0);
        b->cpu.step();
        std::vector<int> const pile = b->pile();
        ASSERT_EQ(pile.size(), e.apres.size()) << b->etat();
        EXPECT_EQ(b->cpu.CCR_value() & CCR_E, 0) << b->etat();
        for (std::size_t i = 0; i < e.apres.size(); ++i) {
            for (std::size_t j = 0; j < e.avant.size(); ++j) {
                if (e.apres[i] == e.avant[j]) {
                    EXPECT_EQ(pile[i], entrees[j]) << "entree " << e.apres[i];
                }
            }
        }
        if (op <= dernier_opcode_de_pile && !e.avant.empty()) {
            entrees.pop_back();
            auto manque = machine_pour(op, entrees, 0);
            manque->cpu.step();
            EXPECT_EQ(manque->cpu.CCR_value(), CCR_E) << "une entree de moins : " << manque->etat();
            EXPECT_EQ(manque->pile(), entrees);
        }
    }
}

// N et Z a 1 au depart, entrees a 0x01 : une instruction qui prend N et Z d'un
// resultat en efface au moins un (aucun resultat de ces entrees n'est a la fois
// nul et negatif) ; les autres n'y touchent pas.
TEST(AideInstructions, ColonneDesDrapeauxCommeLeProcesseur) {
    for (int op = 0; op < nombre_opcodes_definis; ++op) {
        SCOPED_TRACE(internal_mp_interpreteur_libelle_instruction[op]);
        std::vector<int> const entrees(lit_effet(effet_de(op).pile).avant.size(), 0x01);
        auto b = machine_pour(op, entrees, CCR_N | CCR_Z);
        b->cpu.step();
        EXPECT_EQ((b->cpu.CCR_value() & (CCR_N | CCR_Z)) != (CCR_N | CCR_Z),
                  effet_de(op).drapeaux_nz)
            << b->etat();
    }
}

// "saute si Z = 1", "saute toujours" : pris exactement quand la note le dit.
TEST(AideInstructions, ConditionDesBranchementsCommeLeProcesseur) {
    struct drapeau {
        char lettre;
        unsigned char masque;
    };
    drapeau const drapeaux[] = {{'N', CCR_N}, {'Z', CCR_Z}, {'C', CCR_C}};
    for (int op = 0; op < nombre_opcodes_definis; ++op) {
        std::string const note = effet_de(op).note;
        if (note.rfind("saute", 0) != 0) {
            continue;
        }
        SCOPED_TRACE(std::string(internal_mp_interpreteur_libelle_instruction[op]) + " : " + note);
        for (unsigned ccr = 0; ccr < 0x10; ++ccr) {
            bool pris = note == "saute toujours";
            for (drapeau const& d : drapeaux) {
                if (note == std::string("saute si ") + d.lettre + " = 1") {
                    pris = (ccr & d.masque) != 0;
                } else if (note == std::string("saute si ") + d.lettre + " = 0") {
                    pris = (ccr & d.masque) == 0;
                }
            }
            auto b = machine_pour(op, {}, static_cast<unsigned char>(ccr));
            b->cpu.step();
            EXPECT_EQ(b->cpu.PC_value() != adresse_code + 3, pris) << "CCR " << ccr;
        }
    }
}

TEST(AideTexte, VersionEnTeteEtTousLesTableauxRemplis) {
    std::vector<std::string> const lignes = lignes_aide();
    ASSERT_FALSE(lignes.empty());
    EXPECT_NE(lignes[0].find("karvela " KARVELA_VERSION), std::string::npos) << lignes[0];
    std::size_t instructions = 0;
    for (std::string const& l : lignes) {
        EXPECT_NE(l.rfind('%', 0), 0u) << "marque sans tableau : " << l;
        for (int op = 0; op < nombre_opcodes_definis; ++op) {
            std::string const debut =
                std::string("@f ") + internal_mp_interpreteur_libelle_instruction[op] + " ";
            instructions +=
                l.rfind(debut, 0) == 0 && l.find(effet_de(op).pile) != std::string::npos;
        }
    }
    EXPECT_EQ(instructions, static_cast<std::size_t>(nombre_opcodes_definis));
}

// L'exemple de l'aide s'assemble sans rien a redire et fait ce qu'il dit : 3, 2,
// 1 puis 0 sur le port B, et la fin sur BT *.
TEST(AideTexte, ExempleAssembleEtCompteJusquAZeroSurLePortB) {
    programme_assemble const p = assemble(programme_exemple());
    ASSERT_TRUE(p.reussi());
    EXPECT_TRUE(p.diagnostics.empty());
    banc_machine b;
    b.memoire.load_image(p.base, p.image);
    std::vector<int> port_b;
    for (int pas = 0; pas < 100; ++pas) {
        unsigned short const pc = b.cpu.PC_value();
        bool const pop = b.cpu.decodage_instruction(pc) == 0x02;
        b.cpu.step();
        if (pop) {
            port_b.push_back(b.memoire.read_byte(0x1004));
        }
        if (b.cpu.PC_value() == pc) {
            break;
        }
    }
    EXPECT_EQ(port_b, (std::vector<int>{3, 2, 1, 0})) << b.etat();
    EXPECT_EQ(b.cpu.SP_value(), -1);
    EXPECT_EQ(b.cpu.CCR_value() & CCR_E, 0);
}

// Chaque nom que l'aide dit predefini ("PORTB $1004") vaut cette adresse pour l'assembleur.
TEST(AideTexte, NomsPredefinisCommeLAssembleur) {
    int noms = 0;
    for (std::string const& l : lignes_aide()) {
        std::istringstream mots(l.substr(2));
        std::string nom, adresse;
        while (l.rfind("@f", 0) == 0 && mots >> nom >> adresse &&
               (nom.rfind("PORT", 0) == 0 || nom.rfind("DDR", 0) == 0) && adresse[0] == '$') {
            SCOPED_TRACE(nom);
            programme_assemble const p = assemble("PUSH " + nom + "\n");
            ASSERT_TRUE(p.reussi());
            unsigned const attendue = std::stoul(adresse.substr(1), nullptr, 16);
            EXPECT_EQ(p.image,
                      (std::vector<unsigned char>{0x00, static_cast<unsigned char>(attendue >> 8),
                                                  static_cast<unsigned char>(attendue)}));
            ++noms;
        }
    }
    EXPECT_EQ(noms, 7);
}

// Bits que le tableau des ports nomme apres "quoi : " ("tous" : les huit).
unsigned masque_nomme(std::string const& bits, std::string const& quoi) {
    std::string::size_type const i = bits.find(quoi + " : ");
    std::istringstream mots(i == std::string::npos ? "" : bits.substr(i + quoi.size() + 3));
    unsigned masque = 0;
    for (std::string m; mots >> m && m != ";";) {
        masque |= m == "tous" ? 0xFFu : 1u << std::stoi(m);
    }
    return masque;
}

// Le tableau des ports de l'aide et du manuel dit le sens que chaque port donne
// a ses bits : pour le port A, les entrees font $8f.
TEST(AideTexte, TableauDesPortsCommeLesPortsLeFont) {
    std::vector<ligne_port> const table = tableau_ports();
    ASSERT_EQ(table.size(), static_cast<std::size_t>(nb_ports));
    for (int p = 0; p < nb_ports; ++p) {
        SCOPED_TRACE(table[p].nom);
        mem_64k memoire;
        registre_port port;
        port.configure(ports_machine[p], &memoire);
        if (ports_machine[p].a_direction) {
            EXPECT_NE(table[p].bits.find("les choisit"), std::string::npos);
            continue;
        }
        EXPECT_EQ(masque_nomme(table[p].bits, "sorties"), port.direction());
        EXPECT_EQ(masque_nomme(table[p].bits, "entrées"), 0xFFu & ~port.direction());
    }
}

// La table des matieres : chaque partie et sous-partie pointe sur sa ligne, dans
// l'ordre du texte ; celles qu'un etudiant cherche y sont.
TEST(AideTexte, TableDesMatieresVersChaquePartie) {
    std::vector<std::string> const lignes = lignes_aide();
    std::vector<section_aide> const sections = sections_aide(lignes);
    int parties = 0;
    for (std::string const& l : lignes) {
        parties += l.rfind("@m@b", 0) == 0;
    }
    ASSERT_FALSE(sections.empty());
    EXPECT_EQ(sections[0].titre, "La fenêtre principale");
    int precedente = 0;
    for (section_aide const& s : sections) {
        SCOPED_TRACE(s.titre);
        ASSERT_GT(s.ligne, precedente);
        precedente = s.ligne;
        std::string const& l = lignes[static_cast<std::size_t>(s.ligne - 1)];
        EXPECT_EQ(l.substr(l.size() - s.titre.size()), s.titre);
        EXPECT_EQ(s.titre.find('@'), std::string::npos);
        parties -= s.niveau == 1;
    }
    EXPECT_EQ(parties, 0) << "chaque partie dans la table";
    for (char const* titre : {"Raccourcis clavier", "Le jeu d'instructions", "L'assembleur",
                              "Les exercices", "Ligne de commande", "Points d'arrêt"}) {
        EXPECT_TRUE(std::any_of(sections.begin(), sections.end(), [&](section_aide const& s) {
            return s.titre == titre;
        })) << titre;
    }
    std::vector<section_aide> const petites = sections_aide(
        {"@c@ltitre", "@m@bUn", "texte", "@b@C88Deux", "@f@bpas une partie", "@m@b", "@m@bTrois"});
    ASSERT_EQ(petites.size(), 3u);
    EXPECT_EQ(petites[1].titre, "Deux");
    EXPECT_EQ(petites[1].niveau, 2);
    struct cas {
        int ligne, section;
    };
    for (cas const c : {cas{1, -1}, cas{2, 0}, cas{3, 0}, cas{4, 1}, cas{6, 1}, cas{7, 2}}) {
        EXPECT_EQ(section_de_ligne(petites, c.ligne), c.section) << c.ligne;
    }
}

} // namespace
