// Chaque commande de la fenetre principale par un vrai clic, son effet lu a l'ecran.
// Les lignes se comparent image contre image : meme police et meme largeur de boite
// donnent les memes pixels pour le meme texte. Memoire neuve : 0xFF partout, donc
// un "?" d'un octet par adresse, la ligne n du desassemblage montrant l'adresse n - 1.
#include "banc_reel.h"

namespace banc_reel {
namespace {

using commandes_reel = banc;
namespace d = disposition;

// Les vues qui montrent l'etat de la machine, hors desassemblage (et sans les
// boutons, ou passe le focus).
constexpr rectangle zones_etat[] = {d::panneau_registres, d::cadre_ports, d::colonne_pile,
                                    d::cadre_dump};

bool meme_etat(image const& a, image const& b) {
    for (rectangle const& r : zones_etat) {
        if (a.recadre(r) != b.recadre(r)) {
            return false;
        }
    }
    return true;
}

TEST_F(commandes_reel, step_avance_le_pc_et_remplit_la_pile_reset_ramene_l_etat_de_depart) {
    ecrit_memoire("0", "1", "4"); // PUSHI 1, PUSHI 1, puis des "?"
    ASSERT_TRUE(barriere());
    image const depart = capture();
    EXPECT_EQ(ligne_marquee(depart), 1);
    EXPECT_EQ(depart.pixel(d::pile(0).centre_x(), d::pile(0).centre_y()), blanc_255);

    clic(d::b_step);
    clic(d::b_step);
    EXPECT_EQ(attend_pixel(d::pile(1).centre_x(), d::pile(1).centre_y(), orange_174), orange_174)
        << "deux PUSHI : deux cases orange";
    image const apres = capture();
    EXPECT_EQ(apres.pixel(d::pile(2).centre_x(), d::pile(2).centre_y()), blanc_255);
    EXPECT_EQ(ligne_marquee(apres), 3) << "PC = 4 : troisieme ligne (0, 2, 4)";
    EXPECT_NE(apres.recadre(d::reg_pc_dec), depart.recadre(d::reg_pc_dec));
    EXPECT_NE(apres.recadre(d::reg_pc_hex), depart.recadre(d::reg_pc_hex));
    EXPECT_EQ(apres.recadre(d::cadre_dump), depart.recadre(d::cadre_dump));

    // RESET : PC a 0, pile vide ; le reste (memoire, dump) ne bouge pas.
    clic(d::b_reset);
    EXPECT_TRUE(attend([&](image const& i) {
        return i.recadre(d::colonne_pile) == depart.recadre(d::colonne_pile) &&
               i.recadre(d::cadre_desassemblage) == depart.recadre(d::cadre_desassemblage);
    })) << "RESET doit vider la pile et remettre la marque en ligne 1 : "
        << garde_capture("reset");
    image const remis = capture();
    EXPECT_EQ(remis.recadre(d::reg_pc_dec), depart.recadre(d::reg_pc_dec));
    EXPECT_EQ(remis.recadre(d::reg_pc_hex), depart.recadre(d::reg_pc_hex));
    EXPECT_EQ(remis.recadre(d::cadre_dump), depart.recadre(d::cadre_dump));

    EXPECT_EQ(quitte(), 0);
}

TEST_F(commandes_reel, edition_memoire_par_le_bouton_ou_par_entree_et_champ_refuse_par_alerte) {
    image const ff = demarrage.recadre(d::octets_dump(1));
    ASSERT_EQ(demarrage.recadre(d::octets_dump(2)), ff) << "les octets se comparent sans l'adresse";

    // Par le bouton : huit octets 12 en 8, la deuxieme ligne du dump.
    ecrit_memoire("$8", "$12", "8");
    image const douze = attend_changement(d::octets_dump(2), ff);
    ASSERT_NE(douze, ff) << "VALID_MEM sans effet sur le dump";
    image i = capture();
    EXPECT_EQ(i.recadre(d::octets_dump(1)), ff);
    EXPECT_EQ(i.recadre(d::octets_dump(3)), ff);
    EXPECT_NE(i.recadre(d::desa(9)), demarrage.recadre(d::desa(9)))
        << "le desassemblage est redessine : l'adresse 8 porte 0x12";

    // Par Entree dans le champ adresse : les memes huit octets en 0x10.
    remplit_champ(d::adresse_select, "$10");
    touche("Return");
    EXPECT_TRUE(attend([&](image const& j) { return j.recadre(d::octets_dump(3)) == douze; }))
        << "Entree dans un champ doit valider comme le bouton";
    // Par Entree dans le champ x : trois octets seulement en 0x18.
    remplit_champ(d::adresse_select, "$18");
    remplit_champ(d::multiplicateur_select, "3");
    touche("Return");
    image const trois = attend_changement(d::octets_dump(4), ff);
    EXPECT_NE(trois, ff);
    EXPECT_NE(trois, douze) << "trois octets ecrits, pas huit";
    EXPECT_EQ(zone(d::octets_dump(5)), ff);

    // Un champ qui n'est pas un nombre : une alerte, rien d'ecrit.
    ASSERT_TRUE(barriere());
    image const avant = capture();
    remplit_champ(d::adresse_select, "1a");
    clic(d::valid_mem);
    std::string const a = attend_nouvelle_fenetre({});
    ASSERT_FALSE(a.empty()) << "pas d'alerte pour l'adresse 1a : " << garde_capture("1a");
    image const alerte = image_de(a);
    EXPECT_GT(alerte.compte(bleu_alerte), 0);
    EXPECT_EQ(lignes_de_texte(alerte), 3) << "champ refuse, forme attendue, rien d'ecrit";
    touche_dans(a, "Return");
    EXPECT_TRUE(attend_fermeture(a)) << "Entree laisse l'alerte ouverte";
    ASSERT_TRUE(barriere());
    EXPECT_EQ(zone(d::cadre_dump), avant.recadre(d::cadre_dump)) << "un champ refuse n'ecrit rien";
    EXPECT_EQ(zone(d::cadre_desassemblage), avant.recadre(d::cadre_desassemblage));

    EXPECT_EQ(quitte(), 0);
}

TEST_F(commandes_reel, desassemblage_descend_revient_au_pc_et_la_fleche_haut_ecrit_a_refaire) {
    // Marque en ligne 1 : DESA_D cacherait le PC, la liste repart donc de lui.
    clic(d::desa_d);
    ASSERT_TRUE(barriere());
    EXPECT_EQ(zone(d::cadre_desassemblage), demarrage.recadre(d::cadre_desassemblage));

    for (int pas = 0; pas < 3; ++pas) {
        clic(d::b_step);
    }
    ASSERT_TRUE(attend([](image const& i) { return ligne_marquee(i) == 4; }))
        << "trois pas sur des \"?\" : PC = 3, ligne 4";
    image const avant = capture();

    clic(d::desa_d);
    EXPECT_TRUE(attend([&](image const& i) {
        return i.recadre(d::desa(1)) == avant.recadre(d::desa(2)) &&
               i.recadre(d::desa(3)) == avant.recadre(d::desa(4));
    })) << "DESA_D : chaque ligne monte d'une instruction";
    EXPECT_EQ(ligne_marquee(capture()), 3);

    clic(d::desa_pc);
    EXPECT_TRUE(attend([&](image const& i) {
        return i.recadre(d::desa(1)) == avant.recadre(d::desa(4));
    })) << "DESA_PC : la ligne du PC en tete";
    EXPECT_EQ(ligne_marquee(capture()), 1);

    // DESA_U : "a refaire", et la liste remonte d'une instruction (le PC en ligne 2).
    image const haut = capture();
    int const messages = nb_lignes_journal("a refaire");
    clic(d::desa_u);
    EXPECT_TRUE(attend_ligne_journal("a refaire", messages + 1));
    EXPECT_TRUE(attend([&](image const& i) {
        return i.recadre(d::desa(1)) == avant.recadre(d::desa(3)) &&
               i.recadre(d::desa(2)) == haut.recadre(d::desa(1));
    })) << "DESA_U : chaque ligne descend d'une instruction";
    EXPECT_EQ(ligne_marquee(capture()), 2);
    EXPECT_TRUE(meme_etat(zone_stable({0, 0, 650, 695}), haut));

    EXPECT_EQ(quitte(), 0);
}

TEST_F(commandes_reel, dump_suit_les_fleches_et_le_curseur) {
    image const depart = demarrage.recadre(d::cadre_dump);

    clic(d::dump_u); // deja en 0 : reste en 0
    ASSERT_TRUE(barriere());
    EXPECT_EQ(zone(d::cadre_dump), depart);

    clic(d::dump_d);
    EXPECT_TRUE(attend([&](image const& i) {
        return i.recadre(d::dump(1)) == demarrage.recadre(d::dump(2)) &&
               i.recadre(d::dump(11)) == demarrage.recadre(d::dump(12));
    })) << "DUMP_D : le dump monte d'une ligne";
    EXPECT_NE(zone(d::dump(12)), demarrage.recadre(d::dump(12)));
    clic(d::dump_u);
    EXPECT_TRUE(attend([&](image const& i) { return i.recadre(d::cadre_dump) == depart; }))
        << "DUMP_U ramene le dump en 0";

    // Un clic dans la glissiere la deplace, et le dump avec elle.
    clic(d::dump_slide.centre_x(), d::dump_slide.y + 160);
    image const loin = attend_changement(d::cadre_dump, depart);
    EXPECT_NE(loin, depart) << "la glissiere ne deplace pas le dump";
    EXPECT_NE(loin.recadre({0, 0, 265, 30}), depart.recadre({0, 0, 265, 30}));
    // Tiree tout en haut, elle ramene le dump en 0.
    glisse(d::dump_slide.centre_x(), d::dump_slide.y + 160, d::dump_slide.centre_x(),
           d::dump_slide.y - 40);
    EXPECT_TRUE(attend([&](image const& i) { return i.recadre(d::cadre_dump) == depart; }))
        << "glissiere en haut : dump en 0 : " << garde_capture("glissiere");

    EXPECT_EQ(quitte(), 0);
}

TEST_F(commandes_reel, registres_tapes_pris_en_compte_au_pas_suivant) {
    remplit_champ(d::reg_pc_hex, "5");
    remplit_champ(d::reg_a_hex, "1f");
    remplit_champ(d::reg_x_hex, "10");
    // Rien n'est affiche autrement avant la commande suivante.
    ASSERT_TRUE(barriere());
    image const tape = capture();
    EXPECT_EQ(tape.recadre(d::reg_a_bin), demarrage.recadre(d::reg_a_bin));
    EXPECT_EQ(tape.recadre(d::reg_x_dec), demarrage.recadre(d::reg_x_dec));
    EXPECT_EQ(tape.recadre(d::reg_pc_dec), demarrage.recadre(d::reg_pc_dec));
    EXPECT_EQ(ligne_marquee(tape), 1);

    // STEP execute le "?" en 5 : PC = 6, septieme ligne (la liste garde son debut en 0).
    clic(d::b_step);
    EXPECT_TRUE(attend([](image const& i) { return ligne_marquee(i) == 7; }))
        << "la marque doit passer sur l'adresse 6 : " << garde_capture("pc_tape");
    image const apres = capture();
    EXPECT_NE(apres.recadre(d::reg_pc_dec), demarrage.recadre(d::reg_pc_dec));
    EXPECT_NE(apres.recadre(d::reg_a_bin), demarrage.recadre(d::reg_a_bin)) << "A = 1f";
    EXPECT_NE(apres.recadre(d::reg_x_dec), demarrage.recadre(d::reg_x_dec)) << "X = 16";

    EXPECT_EQ(quitte(), 0);
}

// PLAY lance la marche (marche_reel_test) ; STOP, la marche arretee, ne fait rien.
TEST_F(commandes_reel, stop_a_l_arret_ne_change_rien_et_n_ouvre_aucune_fenetre) {
    // La barriere laisse le focus sur la meme fleche du dump avant et apres : la
    // fenetre entiere se compare.
    ASSERT_TRUE(barriere());
    image const avant = zone_stable({0, 0, 650, 695});
    for (rectangle const& bouton : {d::b_stop}) {
        SCOPED_TRACE(std::to_string(bouton.x) + "," + std::to_string(bouton.y));
        clic(bouton);
        ASSERT_TRUE(barriere());
        EXPECT_TRUE(attend([&](image const& i) { return i == avant; }))
            << "l'ecran a change : " << garde_capture("sans_commande");
        EXPECT_EQ(fenetres_visibles(), std::vector<std::string>{fenetre});
    }
    EXPECT_EQ(quitte(), 0);
}

} // namespace
} // namespace banc_reel
