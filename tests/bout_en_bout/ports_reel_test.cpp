// Les ports a l'ecran, pilotes comme un etudiant le fait : l'echo du port E sur le
// port B charge par le selecteur de fichiers, puis un programme tape a la main qui
// ecrit DDRC. Les textes binaires se comparent image contre image : meme police,
// meme largeur de boite, donc memes pixels pour les memes huit chiffres.
#include "banc_reel.h"

namespace banc_reel {
namespace {

using ports_reel = banc;
namespace d = disposition;

// Couleur au centre du bouton du bit n d'un port.
couleur bit(image const& i, d::port const& p, int n) {
    return i.pixel(p.bit(n).centre_x(), p.bit(n).centre_y());
}

TEST_F(ports_reel, echo_charge_par_le_selecteur_recopie_les_bits_cliques_du_port_e_sur_le_port_b) {
    std::string const chemin = KARVELA_SOURCE "/examples/echo_port_e.bin";
    std::string const s = tape_dans_selecteur(chemin);
    ASSERT_FALSE(s.empty());
    touche("Return");
    ASSERT_TRUE(attend_ligne_journal("depart: 0")) << journal();
    EXPECT_EQ(nb_lignes_journal("lecture de \"" + chemin + "\""), 1)
        << "le chemin tape doit arriver tel quel au chargeur";
    EXPECT_TRUE(attend_fermeture(s)) << "le selecteur reste ouvert";
    // Le desassemblage repart de 0 sur le programme : la ligne 1 change.
    EXPECT_NE(attend_changement(d::desa(1), demarrage.recadre(d::desa(1))),
              demarrage.recadre(d::desa(1)));

    // Couleurs a l'ecran : B tout en sortie (rouge 88), E tout en entree (vert 63).
    image const i = capture();
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(bit(i, d::port_b, n), rouge_88) << "bit " << n << " du port B";
        EXPECT_EQ(bit(i, d::port_e, n), vert_63) << "bit " << n << " du port E";
    }
    image const b_avant = i.recadre(d::port_b.valeur());
    EXPECT_EQ(b_avant, i.recadre(d::port_e.valeur())) << "B et E montrent 00000000";

    for (int n : {0, 2, 7}) {
        clic(d::port_e.bit(n));
    }
    clic(d::port_b.bit(3)); // un bit de sortie ne se clique pas
    // Texte de reference : DDRD montre 10000101 apres le prochain pas, dans une boite
    // du meme dessin que les valeurs des ports.
    ecrit_memoire("$1009", "$85", "1");
    ASSERT_TRUE(barriere());
    image const e_clique = zone_stable(d::port_e.valeur());
    ASSERT_NE(e_clique, b_avant) << "les clics sur E ne changent pas son texte";
    EXPECT_EQ(zone(d::port_b.valeur()), b_avant) << "B n'a rien recu avant le premier STEP";

    // PUSH $100a, POP $1004, BT : apres trois pas, B montre les bits de E.
    for (int pas = 0; pas < 3; ++pas) {
        clic(d::b_step);
    }
    EXPECT_TRUE(attend([&](image const& j) { return j.recadre(d::port_b.valeur()) == e_clique; }))
        << "B doit montrer les bits cliques sur E : " << garde_capture("echo");
    image const j = capture();
    EXPECT_EQ(j.recadre(d::port_e.valeur()), e_clique) << "E garde ses bits";
    EXPECT_EQ(j.recadre(d::ddrd), e_clique) << "E doit montrer les bits cliques, 10000101";
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(bit(j, d::port_b, n), rouge_88) << "bit " << n << " du port B";
        EXPECT_EQ(bit(j, d::port_e, n), vert_63) << "bit " << n << " du port E";
    }

    // Un clic de plus sur E : B ne suit qu'au tour suivant de la boucle.
    clic(d::port_e.bit(4));
    ASSERT_TRUE(barriere());
    image const e_second = zone_stable(d::port_e.valeur());
    ASSERT_NE(e_second, e_clique);
    EXPECT_EQ(zone(d::port_b.valeur()), e_clique);
    for (int pas = 0; pas < 3; ++pas) {
        clic(d::b_step);
    }
    EXPECT_TRUE(attend([&](image const& k) { return k.recadre(d::port_b.valeur()) == e_second; }))
        << garde_capture("echo_second");

    EXPECT_EQ(quitte(), 0);
}

TEST_F(ports_reel, un_programme_qui_ecrit_ddrc_passe_les_bits_3_a_0_du_port_c_en_rouge) {
    image const i = capture();
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(bit(i, d::port_c, n), vert_63) << "bit " << n << " du port C au demarrage";
        EXPECT_EQ(bit(i, d::port_d, n), vert_63) << "bit " << n << " du port D au demarrage";
    }
    image const ddrc_avant = i.recadre(d::ddrc);
    EXPECT_EQ(ddrc_avant, i.recadre(d::ddrd)) << "DDRC et DDRD montrent 00000000";

    // PUSHI 15 (01 0f) puis POP $1007 (02 10 07), octet par octet.
    char const* const programme[] = {"$01", "$0f", "$02", "$10", "$07"};
    for (int a = 0; a < 5; ++a) {
        ecrit_memoire(std::to_string(a), programme[a], "1");
    }
    // DDRD ecrit par l'edition de la memoire : sans effet avant le prochain pas.
    ecrit_memoire("$1009", "$f0", "1");
    ASSERT_TRUE(barriere());
    EXPECT_EQ(zone(d::ddrd), ddrc_avant) << "DDRD ne se relit qu'apres un pas";
    EXPECT_EQ(bit(capture(), d::port_d, 7), vert_63);

    clic(d::b_step); // PUSHI 15 : DDRD est relu, DDRC pas encore ecrit
    EXPECT_EQ(attend_pixel(d::port_d.bit(7).centre_x(), d::port_d.bit(7).centre_y(), rouge_88),
              rouge_88)
        << "DDRD = f0 : bit 7 du port D en sortie apres le pas";
    EXPECT_EQ(zone(d::ddrc), ddrc_avant);
    EXPECT_EQ(bit(capture(), d::port_c, 0), vert_63);

    clic(d::b_step); // POP $1007 : DDRC = 0f, pris en compte a la fin du meme pas
    EXPECT_EQ(attend_pixel(d::port_c.bit(0).centre_x(), d::port_c.bit(0).centre_y(), rouge_88),
              rouge_88)
        << garde_capture("ddrc");
    image const j = capture();
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(bit(j, d::port_c, n), n < 4 ? rouge_88 : vert_63) << "bit " << n << " du port C";
        EXPECT_EQ(bit(j, d::port_d, n), n < 4 ? vert_63 : rouge_88) << "bit " << n << " du port D";
    }
    image const ddrc_apres = j.recadre(d::ddrc);
    EXPECT_NE(ddrc_apres, ddrc_avant) << "le texte de DDRC doit changer";
    EXPECT_NE(ddrc_apres, j.recadre(d::ddrd)) << "00001111 n'est pas 11110000";

    EXPECT_EQ(quitte(), 0);
}

} // namespace
} // namespace banc_reel
