// La fenetre du source sans dessin : la ligne du PC par la carte de l'assembleur
// (instructions, donnees, trou d'un .org, milieu d'une instruction), suivie a
// travers les modifications du texte ; les points d'arret par ligne d'un
// rechargement a l'autre ; les symboles et ce que la derniere instruction a
// ecrit ; l'historique d'edition ; les fins de ligne du fichier ; le modele.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banc_moteur.h"
#include "edition/historique.h"
#include "edition/texte_source.h"
#include "execution/moteur.h"
#include "suivi/suivi_source.h"
#include "suivi/symboles_montres.h"

namespace {

// Ligne 1 a 8 ; la 8 est vide (le texte finit par une fin de ligne).
std::string const source = "        PUSHI 1\n"    // 1 : $0000, 2 octets
                           "boucle: DUP\n"        // 2 : $0002
                           "        BT boucle\n"  // 3 : $0003, 3 octets
                           "donnee: .octet 5\n"   // 4 : $0006
                           "        .org $0010\n" // 5
                           "; commentaire\n"      // 6
                           "suite:  NOP\n";       // 7 : $0010

suivi_source suivi_de(std::string const& texte) {
    programme_assemble const p = assemble(texte);
    EXPECT_TRUE(p.reussi());
    suivi_source s;
    s.programme(p, static_cast<int>(std::count(texte.begin(), texte.end(), '\n')) + 1);
    return s;
}

struct modif {
    int ligne, otees, inserees;
    bool en_tete;
};

TEST(suivi_source, ligne_du_pc_marge_et_point_de_chaque_ligne_a_travers_les_modifications) {
    struct cas {
        char const* nom;
        std::vector<modif> modifications;
        std::vector<std::pair<int, int>> pc_ligne; // PC, ligne orange (0 : aucune)
        std::vector<std::pair<int, int>> marge;    // ligne, adresse montree (-1 : rien)
        std::vector<std::pair<int, int>> point;    // ligne, adresse du point d'arret
    };
    cas const table[] = {
        {"tel qu'assemble",
         {},
         {{0, 1},
          {1, 0},
          {2, 2},
          {3, 3},
          {4, 0},
          {6, 0},
          {7, 0},
          {0x10, 7},
          {0x11, 0},
          {0xFFFF, 0}},
         {{1, 0}, {2, 2}, {4, 6}, {5, -1}, {6, -1}, {7, 0x10}, {8, -1}},
         {{1, 0}, {3, 3}, {4, 0x10}, {5, 0x10}, {6, 0x10}, {8, -1}}},
        {"deux lignes inserees en tete",
         {{1, 0, 2, true}},
         {{0, 3}, {2, 4}, {0x10, 9}},
         {{1, -1}, {3, 0}, {9, 0x10}},
         {{1, 0}, {2, 0}, {4, 2}}},
        {"ligne 2 otee, une coupee en deux",
         {{2, 1, 0, true}, {1, 0, 1, false}},
         {{0, 1}, {2, 0}, {3, 3}},
         {{1, 0}, {2, -1}, {3, 3}},
         {{2, 3}}},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        suivi_source s = suivi_de(source);
        for (modif const& m : c.modifications) {
            s.lignes().modifie(m.ligne, m.otees, m.inserees, m.en_tete);
        }
        for (auto [pc, ligne] : c.pc_ligne) {
            EXPECT_EQ(s.ligne_du_pc(static_cast<unsigned short>(pc)), ligne) << "PC " << pc;
        }
        for (auto [ligne, adresse] : c.marge) {
            EXPECT_EQ(s.adresse_de(ligne), adresse) << "marge de la ligne " << ligne;
        }
        for (auto [ligne, adresse] : c.point) {
            EXPECT_EQ(s.adresse_point(ligne), adresse) << "point de la ligne " << ligne;
        }
    }
    suivi_source const s = suivi_de(source);
    EXPECT_EQ(s.etat_pc(3), "PC $0003 : ligne 3");
    EXPECT_EQ(s.etat_pc(0x40), "PC $0040 : hors du source");
}

// Avant Ctrl+R, les points sont pris par ligne ; apres, chaque ligne a le sien a
// sa nouvelle adresse. Hors d'une instruction du source, un point reste a son
// adresse ; celui d'une ligne otee disparait.
TEST(suivi_source, points_d_arret_gardes_par_ligne_d_un_assemblage_a_l_autre) {
    suivi_source s = suivi_de(source);
    points_arret points;
    for (unsigned short a : {0x0002, 0x0003, 0x0006, 0x8000}) {
        points.bascule(a);
    }
    s.lignes().modifie(1, 0, 1, true); // une ligne inseree en tete : NOP
    s.lignes().modifie(4, 1, 0, true); // "BT boucle" (ligne 3, puis 4) otee
    points_par_ligne const gardes = s.garde_points(points);
    EXPECT_EQ(gardes.lignes, std::vector<int>({3}));
    EXPECT_EQ(gardes.adresses, std::vector<unsigned short>({0x0006, 0x8000}));

    std::string const edite = "        NOP\n        PUSHI 1\nboucle: DUP\ndonnee: .octet 5\n";
    suivi_source const nouveau = suivi_de(edite);
    nouveau.repose_points(gardes, points);
    for (unsigned short a : {0x0003, 0x0006, 0x8000}) {
        EXPECT_TRUE(points.contient(a)) << a;
    }
    EXPECT_FALSE(points.contient(0x0002));
}

// La derniere instruction, si c'est un POP, marque le symbole qu'elle a ecrit
// (un mot par l'un ou l'autre de ses octets), pas un octet reecrit a l'identique.
TEST(symboles_montres, valeurs_et_donnee_ecrite_par_la_derniere_instruction) {
    programme_assemble const p = assemble("N = -3\ndebut: PUSHI 7\n POP octet\n PUSHI 7\n"
                                          " POP octet\n PUSHI 1\n POP mot+1\n BT *\n"
                                          "octet: .octet 0\nmot: .mot $1234\n");
    ASSERT_TRUE(p.reussi());
    banc_moteur b;
    b.memoire.load_image(p.base, p.image);
    b.m.garde_historique(true);
    std::vector<std::string> const attendu_depart = {
        "N\t=-3\t", "debut\t$0000\t", "octet\t$0012\t$00 0", "mot\t$0013\t$1234 4660"};
    struct pas {
        char const* change; // nom marque apres l'instruction, "" : aucun
        int symbole;        // rang du symbole dont la ligne est attendue
        char const* texte;
    };
    pas const attendus[] = {
        {"", 2, "octet\t$0012\t$00 0"},    {"octet", 2, "octet\t$0012\t$07 7"},
        {"", 2, "octet\t$0012\t$07 7"},    {"", 2, "octet\t$0012\t$07 7"}, // meme octet
        {"", 3, "mot\t$0013\t$1234 4660"}, {"mot", 3, "mot\t$0013\t$1201 4609"},
    };
    auto const montre = [&] {
        ecriture_memoire e;
        e.faite = b.m.derniere_ecriture(e.adresse, e.avant);
        return symboles_montres(p.symboles, b.memoire, e);
    };
    std::vector<symbole_montre> depart = montre();
    ASSERT_EQ(depart.size(), attendu_depart.size());
    for (std::size_t i = 0; i < depart.size(); ++i) {
        EXPECT_EQ(depart[i].texte, attendu_depart[i]);
        EXPECT_FALSE(depart[i].change);
    }
    EXPECT_EQ(depart[0].adresse, -1) << "une constante ne mene pas au dump";
    for (pas const& a : attendus) {
        b.m.pas();
        SCOPED_TRACE(b.cpu.PC_value());
        std::vector<symbole_montre> const montres = montre();
        for (symbole_montre const& s : montres) {
            std::string const nom = s.texte.substr(0, s.texte.find('\t'));
            EXPECT_EQ(s.change, nom == a.change) << nom;
        }
        EXPECT_EQ(montres[static_cast<std::size_t>(a.symbole)].texte, a.texte);
    }
    for (int k = 0; k < 4; ++k) {
        b.m.recule();
    }
    EXPECT_TRUE(montre()[2].change) << "quatre pas en arriere, le premier POP est le dernier";
}

// Frappes d'un mot regroupees, retour arriere et Suppr regroupes, frappe sur une
// selection, collage a part ; rien ne s'ajoute a ce qu'annuler ou retablir a rendu ;
// l'etat modifie suit l'enregistrement a travers annuler et retablir.
TEST(historique_texte, regroupe_annule_retablit_et_sait_s_il_est_modifie) {
    struct op {
        int position;
        std::string ote;
        std::string insere;
        char geste = 0; // 'z' annuler, 'y' retablir, 'c' collage ; 0 : deduit
    };
    // Le texte tape touche par touche a partir de debut.
    auto const tape = [](int debut, std::string const& texte) {
        std::vector<op> ops;
        for (char const c : texte) {
            ops.push_back({debut++, "", std::string(1, c)});
        }
        return ops;
    };
    auto const suivi = [](std::vector<op> a, std::vector<op> const& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    op const annuler{0, "", "", 'z'}, retablir{0, "", "", 'y'};
    struct cas {
        char const* nom;
        char const* depart;
        std::vector<op> modifications;
        std::vector<char const*> apres_chaque_annulation; // jusqu'au depart
    };
    cas const table[] = {
        {"mots tapes", "", {{0, "", "a"}, {1, "", "b"}, {2, "", " "}, {3, "", "c"}}, {"ab", ""}},
        {"fin de ligne", "", {{0, "", "a"}, {1, "", "\n"}, {2, "", "b"}}, {"a\n", "a", ""}},
        {"retour arriere", "abcd", {{3, "d", ""}, {2, "c", ""}}, {"abcd"}},
        {"Suppr", "abcd", {{1, "b", ""}, {1, "c", ""}}, {"abcd"}},
        {"effacements separes", "abcd", {{3, "d", ""}, {0, "a", ""}}, {"abc", "abcd"}},
        {"frappe sur une selection", "abcd", {{1, "bc", ""}, {1, "", "x"}}, {"abcd"}},
        {"ailleurs", "abcd", {{0, "", "x"}, {3, "", "y"}}, {"xabcd", "abcd"}},
        {"ligne de 37 caracteres, un pas par mot",
         "",
         tape(0, "  PUSHI 30 ; trois cases de la somme.\n"),
         {"  PUSHI 30 ; trois cases de la somme.", "  PUSHI 30 ; trois cases de la",
          "  PUSHI 30 ; trois cases de", "  PUSHI 30 ; trois cases", "  PUSHI 30 ; trois",
          "  PUSHI 30 ;", "  PUSHI 30", "  PUSHI", ""}},
        {"frappe apres retablir : un autre pas",
         "",
         suivi(tape(0, "ab"), {annuler, retablir, {2, "", "c"}}),
         {"ab", ""}},
        {"frappe apres annuler", "", suivi(tape(0, "ab"), {annuler, {0, "", "c"}}), {""}},
        {"Retour arriere apres retablir",
         "abc",
         {{2, "c", ""}, annuler, retablir, {1, "b", ""}},
         {"ab", "abc"}},
        {"collage a part, deduit ou dit",
         "",
         suivi(tape(0, "ab"), {{2, "", "XYZ"}, {5, "", "c"}, {6, "", "d", 'c'}, {7, "", "e"}}),
         {"abXYZcd", "abXYZc", "abXYZ", "ab", ""}},
        {"refrappe", "abcd", {{0, "a", "x"}, {1, "b", "y"}, {2, "c", "z"}}, {"abcd"}},
        {"caracteres accentues",
         "",
         {{0, "", "\xc3\xa9"}, {2, "", "t"}, {3, "", "\xc3\xa9"}},
         {""}},
        {"Retour arriere puis frappe", "abcd", {{3, "d", ""}, {3, "", "x"}}, {"abc", "abcd"}},
    };
    auto const applique = [](std::string& t, int position, std::string const& ote,
                             std::string const& insere) {
        t.replace(static_cast<std::size_t>(position), ote.size(), insere);
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        historique_texte h;
        std::string texte = c.depart;
        for (op const& o : c.modifications) {
            if (o.geste == 'z' || o.geste == 'y') {
                modification const* m = o.geste == 'z' ? h.annule() : h.retablit();
                ASSERT_NE(m, nullptr);
                o.geste == 'z' ? applique(texte, m->position, m->insere, m->ote)
                               : applique(texte, m->position, m->ote, m->insere);
                continue;
            }
            applique(texte, o.position, o.ote, o.insere);
            h.note(o.position, o.ote, o.insere,
                   o.geste == 'c' ? geste_edition::collage : geste_edition::deduit);
        }
        std::string const fini = texte;
        for (char const* attendu : c.apres_chaque_annulation) {
            modification const* m = h.annule();
            ASSERT_NE(m, nullptr);
            applique(texte, m->position, m->insere, m->ote);
            EXPECT_EQ(texte, attendu);
        }
        EXPECT_FALSE(h.peut_annuler());
        while (modification const* m = h.retablit()) {
            applique(texte, m->position, m->ote, m->insere);
        }
        EXPECT_EQ(texte, fini);
    }
    historique_texte h;
    EXPECT_FALSE(h.modifie());
    h.note(0, "", "a");
    h.marque_enregistre();
    EXPECT_FALSE(h.modifie());
    h.note(1, "", "b"); // la frappe suivante ne se fond pas dans l'etat enregistre
    EXPECT_TRUE(h.modifie());
    h.annule();
    EXPECT_FALSE(h.modifie());
    h.annule();
    EXPECT_TRUE(h.modifie());
    h.retablit();
    EXPECT_FALSE(h.modifie());
    h.note(1, "", "c"); // retablir n'a plus rien
    EXPECT_FALSE(h.peut_retablir());
}

// Un fichier lu puis reecrit sans modification est octet pour octet le meme.
TEST(texte_source, fins_de_ligne_et_marque_rendues_a_l_enregistrement) {
    struct cas {
        char const* octets;
        char const* texte; // tel que l'editeur le tient
    };
    cas const table[] = {
        {"a\nb\n", "a\nb\n"},
        {"a\r\nb\r\n", "a\nb\n"},
        {"a\rb", "a\nb"},
        {"\xEF\xBB\xBF"
         "a\r\n",
         "a\n"},
        {"", ""},
    };
    for (cas const& c : table) {
        texte_source const t = lit_texte_source(c.octets);
        EXPECT_EQ(t.texte, c.texte) << c.octets;
        EXPECT_EQ(octets_source(t.texte, t.forme), c.octets);
    }
}

// Le modele d'une nouvelle source s'assemble sans rien dire et tourne jusqu'a sa fin.
TEST(texte_source, le_modele_s_assemble_et_finit_sur_sa_boucle) {
    programme_charge const p = programme_source(assemble(modele_source()));
    ASSERT_TRUE(p.charge);
    EXPECT_TRUE(p.assemble.diagnostics.empty());
    machine_seule seule;
    arret_decrit const a = lance_programme(seule, p, demande_execution());
    EXPECT_EQ(a.bilan.raison, arret::boucle);
    symbole_source const* compte = p.assemble.symbole("compte");
    ASSERT_NE(compte, nullptr);
    EXPECT_EQ(seule.memoire().read_byte(static_cast<unsigned short>(compte->valeur)), 1);
}

} // namespace
