// Ce que configure laisse derriere lui : les widgets du port a leurs places,
// les couleurs des bits et les registres initialises en memoire.
#include "banc_ports.h"

namespace {

void verifie_geometrie(Fl_Widget* w, int x, int y, int l, int h, char const* quoi) {
    EXPECT_EQ(w->x(), x) << quoi;
    EXPECT_EQ(w->y(), y) << quoi;
    EXPECT_EQ(w->w(), l) << quoi;
    EXPECT_EQ(w->h(), h) << quoi;
}

// Nom (gras, 18) puis valeur (enfoncee, 14) d'un registre.
void verifie_registre(Fl_Widget* nom, Fl_Widget* valeur, int x, int y, char const* titre,
                      char const* texte_valeur) {
    verifie_geometrie(nom, x, y, 80, 20, titre);
    EXPECT_STREQ(nom->label(), titre);
    EXPECT_EQ(nom->box(), FL_NO_BOX) << titre;
    EXPECT_EQ(nom->labelsize(), 18) << titre;
    EXPECT_EQ(nom->align(), FL_ALIGN_INSIDE) << titre;
    EXPECT_EQ(nom->labelfont(), FL_HELVETICA_BOLD) << titre;
    EXPECT_EQ(nom->labeltype(), FL_NORMAL_LABEL) << titre;

    verifie_geometrie(valeur, x, y + 20, 80, 20, titre);
    EXPECT_STREQ(valeur->label(), texte_valeur) << titre;
    EXPECT_EQ(valeur->box(), FL_DOWN_BOX) << titre;
    EXPECT_EQ(valeur->labelsize(), 14) << titre;
    EXPECT_EQ(valeur->align(), FL_ALIGN_INSIDE) << titre;
}

} // namespace

TEST_F(BancPorts, WidgetsAjoutesApresLaFenetreAUxPlacesDuPort) {
    int x_valid = fenetre->VALID_MEM->x(), y_valid = fenetre->VALID_MEM->y();
    configure_tout();

    EXPECT_EQ(fenetre->SIM->child(debut[A] - 1), fenetre->VALID_MEM);
    // Les widgets deja la ne bougent pas quand la fenetre est refermee.
    EXPECT_EQ(fenetre->VALID_MEM->x(), x_valid);
    EXPECT_EQ(fenetre->VALID_MEM->y(), y_valid);

    for (int p = 0; p < nb_ports; ++p) {
        reglage_port const& r = reglages[p];
        bool avec_direction = r.nom_direction[0] != '\0';
        SCOPED_TRACE(r.nom);
        EXPECT_EQ(fin[p] - debut[p], avec_direction ? 12 : 10);
        if (p + 1 < nb_ports) {
            EXPECT_EQ(fin[p], debut[p + 1]);
        }
        verifie_registre(widget(p, rang_nom), widget(p, rang_valeur), r.x, r.y, r.nom, "00");
        for (int n = 0; n < 8; ++n) {
            Fl_Widget* b = bouton(p, n);
            ASSERT_NE(dynamic_cast<Fl_Button*>(b), nullptr) << "bit " << n;
            // Bit 7 le plus a gauche, sous le texte binaire.
            verifie_geometrie(b, r.x + 70 - 10 * n, r.y + 40, 10, 10, "bouton");
            EXPECT_EQ(b->type(), FL_NORMAL_BUTTON);
            EXPECT_EQ(b->box(), FL_EMBOSSED_BOX);
            EXPECT_TRUE(b->label() == nullptr || b->label()[0] == '\0');
        }
        if (avec_direction) {
            verifie_registre(widget(p, rang_nom_direction), widget(p, rang_direction), r.xd, r.yd,
                             r.nom_direction, "00000000");
        }
    }
    Fl::check();
}

TEST_F(BancPorts, CouleursDesBitsApresConfiguration) {
    configure_tout();
    // A : bits 6 a 4 forces en sortie ; B tout en sortie ; C et D suivent leur DDR nul ; E tout en
    // entree.
    unsigned char const attendue[nb_ports] = {0x70, 0xFF, 0x00, 0x00, 0x00};
    for (int p = 0; p < nb_ports; ++p) {
        EXPECT_EQ(direction_affichee(p), attendue[p]) << reglages[p].nom;
    }
}

TEST_F(BancPorts, RegistresInitialisesEnMemoire) {
    configure_tout();
    for (reglage_port const& r : reglages) {
        EXPECT_EQ(memoire->read_byte(r.adresse), 0xFF) << r.nom;
    }
    EXPECT_EQ(memoire->read_byte(0x1007), 0x00);
    EXPECT_EQ(memoire->read_byte(0x1009), 0x00);
    // Rien d'autre n'est touche, pas meme l'adresse 0 des ports sans DDR.
    for (unsigned short adresse : {0x0000, 0x1001, 0x1002, 0x1005, 0x1006, 0x100B}) {
        EXPECT_EQ(memoire->read_byte(adresse), 0xFF) << std::hex << adresse;
    }
}

// Le masque de sortie force est ecrit dans le registre de direction ; le masque
// d'entree l'emporte sur lui pour un bit force des deux cotes.
TEST_F(BancPorts, DirectionInitialeIssueDesMasques) {
    configure(0, ports[0], {40, 200, "Port X", 0x2000, 40, 270, "DDRX", 0x2001, 0x83, 0x03});
    EXPECT_EQ(memoire->read_byte(0x2001), 0x83);
    EXPECT_EQ(direction_affichee(0), 0x80);
    EXPECT_EQ(texte(0, rang_direction), "10000000");
}

// Un port sans registre de direction a l'adresse 0 : il ne doit jamais la lire.
TEST_F(BancPorts, SansDdrLAdresseZeroEstIgnoree) {
    memoire->write_byte(0x0000, 0x5A);
    for (int p : {A, B, E}) {
        configure(p, ports[p], reglages[p]);
    }
    // Sans masque, ce port montrerait directement l'octet lu.
    configure(C, ports[C], {220, 200, "Port X", 0x2000, 0, 0, "", 0, 0x00, 0x00});
    EXPECT_EQ(memoire->read_byte(0x0000), 0x5A);
    unsigned char const attendue[nb_ports] = {0x70, 0xFF, 0x00, 0x00, 0x00};
    for (int p : {A, B, C, E}) {
        EXPECT_EQ(direction_affichee(p), attendue[p]) << reglages[p].nom;
        ports[p].react_out();
        EXPECT_EQ(direction_affichee(p), attendue[p]) << reglages[p].nom << " apres react_out";
    }
    EXPECT_EQ(memoire->read_byte(0x0000), 0x5A);
}

// Un port jamais configure ne suit aucun pointeur : il ne reclame rien.
TEST_F(BancPorts, PortNonConfigureInerte) {
    portparallele port;
    EXPECT_EQ(port.react_in(fenetre->B_STEP), 0);
    port.react_out();
}
