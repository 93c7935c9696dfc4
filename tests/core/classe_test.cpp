// Ce qui sert devant une classe, sans fenetre : les facteurs de zoom et l'arrondi
// d'une geometrie, la table de la platine, la destination de "Aller a", la place
// d'une fenetre compagne.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "classe/destination.h"
#include "classe/echelle.h"
#include "classe/placement.h"
#include "classe/platine.h"

namespace {

TEST(Zoom, FacteursLusEtVoisins) {
    struct cas {
        char const* texte;
        bool lu;
        double facteur;
    };
    cas const table[] = {
        {"1", true, 1},           {"3", true, 3},     {"1.25", true, 1.25}, {"2,5", true, 2.5},
        {"1.750000", true, 1.75}, {"0.75", false, 0}, {"3.25", false, 0},   {"1.3", false, 0},
        {"1.2500001", false, 0},  {"", false, 0},     {"2x", false, 0},     {"-2", false, 0},
        {".5", false, 0},         {"2.", false, 0},   {"2000", false, 0},   {"2 ", false, 0},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.texte);
        double f = -1;
        EXPECT_EQ(lit_zoom(c.texte, f), c.lu);
        EXPECT_EQ(f, c.lu ? c.facteur : -1);
    }
    EXPECT_EQ(zoom_voisin(1, 1), 1.25);
    EXPECT_EQ(zoom_voisin(2, -1), 1.75);
    EXPECT_EQ(zoom_voisin(1, -1), 1);
    EXPECT_EQ(zoom_voisin(3, 1), 3);
}

// Bord par bord : a chaque facteur, deux widgets qui se touchent se touchent encore.
TEST(Zoom, GeometrieArrondieBordParBord) {
    cotes const a{10, 7, 11, 9}, b{21, 16, 13, 5};
    for (double f = zoom_min; f <= zoom_max; f += pas_zoom) {
        SCOPED_TRACE(f);
        cotes const ea = cotes_a_l_echelle(a, f), eb = cotes_a_l_echelle(b, f);
        EXPECT_EQ(ea.x + ea.w, eb.x);
        EXPECT_EQ(ea.y + ea.h, eb.y);
    }
    EXPECT_EQ(cotes_a_l_echelle({0, 36, 650, 695}, 2), (cotes{0, 72, 1300, 1390}));
    EXPECT_EQ(cotes_a_l_echelle(a, 1), a);
    EXPECT_EQ(longueur_a_l_echelle(11, 1.25), 14);
    EXPECT_EQ(longueur_a_l_echelle(1, 1.25), 1);
    EXPECT_EQ(longueur_a_l_echelle(0, 3), 0);
}

TEST(Platine, OrganesDApresValeurEtDirection) {
    struct cas {
        int rangee;
        unsigned char valeur, direction;
        int bit;
        bool allume, actif;
    };
    cas const table[] = {
        {0, 0x80, 0xFF, 7, true, false},  // LED du bit 7 : allumee, pas cliquable
        {0, 0x7F, 0xFF, 7, false, false}, // eteinte
        {1, 0x08, 0x00, 3, true, true},   // interrupteur d'entree, en haut
        {1, 0x00, 0x00, 3, false, true},  // en bas
        {1, 0x08, 0x08, 3, true, false},  // sur un bit de sortie : grise
        {2, 0x06, 0xFF, 1, true, false},  // segment b du "1"
        {2, 0x06, 0xFF, 0, false, false}, // segment a eteint
        {3, 0x80, 0x80, 7, true, false},  // point decimal
    };
    for (cas const& c : table) {
        SCOPED_TRACE(std::to_string(c.rangee) + " bit " + std::to_string(c.bit));
        registre_port port;
        port.restaure(c.valeur, c.direction);
        etat_organe const e = etat_du_bit(rangees_platine[c.rangee], port, c.bit);
        EXPECT_EQ(e.allume, c.allume);
        EXPECT_EQ(e.actif, c.actif);
    }
    EXPECT_EQ(place_du_bit(7), 0) << "bit 7 a gauche";
}

TEST(Destination, AdresseEtiquetteOuRefus) {
    std::map<std::string, long> const etiquettes = {{"fin", 0x0b}, {"donnees", 0x40}};
    auto const cherche = [&](std::string const& nom, long& adresse) {
        auto const t = etiquettes.find(nom);
        adresse = t != etiquettes.end() ? t->second : 0;
        return t != etiquettes.end();
    };
    struct cas {
        char const* texte;
        bool source;
        long adresse;        // -1 : refus
        char const* message; // morceau du refus
    };
    cas const table[] = {
        {"$1000", false, 0x1000, ""},
        {" 4096 ", false, 0x1000, ""},
        {"0xffff", false, 0xFFFF, ""},
        {"%101", false, 5, ""},
        {"'A'", false, 65, ""},
        {"+5", false, 5, ""},
        {" 99999999999 ", false, -1, "« 99999999999 » est hors de la mémoire"},
        {"donnees", true, 0x40, ""},
        {"$10000", false, -1, "« $10000 » est hors de la mémoire"},
        {"-1", false, -1, "hors de la mémoire"},
        {"", true, -1, "Tapez une adresse"},
        {"12zz", true, -1, "« 12zz » n'est ni une adresse ni une étiquette"},
        {"fin boucle", true, -1, "ni une adresse ni une étiquette"},
        {"boucle", true, -1, "« boucle » n'est pas une étiquette de la source chargée"},
        {"fin", false, -1, "aucune source n'est chargée"},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.texte);
        destination const d = lit_destination(c.texte, cherche, c.source);
        EXPECT_EQ(d.trouvee, c.adresse >= 0);
        if (c.adresse >= 0) {
            EXPECT_EQ(d.adresse, c.adresse);
        }
        EXPECT_NE(d.refus.find(c.message), std::string::npos) << d.refus;
        EXPECT_EQ(d.refus.empty(), c.adresse >= 0);
    }
}

// Les fenetres du programme, tailles concues et minimums.
std::vector<fenetre_a_placer> fenetres_du_programme(bool compagnes_montrees) {
    return {{sorte_fenetre::principale, 650, 695},
            {sorte_fenetre::compagne, 720, 695, 480, 300, compagnes_montrees}, // source
            {sorte_fenetre::compagne, 620, 570, 480, 300, compagnes_montrees}, // exercice
            {sorte_fenetre::compagne, 360, 330, 0, 0, compagnes_montrees},     // platine
            {sorte_fenetre::passagere, 610, 480, 400, 300},                    // aide
            {sorte_fenetre::passagere, 340, 110}};                             // Aller a
}

bool se_couvrent(cotes const& a, cotes const& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Chaque ecran, avec et sans decorations, a chaque zoom demande (ramene a ce qui
// tient) : les regles que l'etudiant et le professeur ont vues enfreintes.
TEST(Placement, TableDesEcrans) {
    cotes const ecrans[] = {{0, 0, 1024, 768},
                            {0, 0, 1366, 740},
                            {0, 0, 1920, 1080},
                            {0, 30, 1920, 1050},
                            {0, 0, 3840, 2160}}; // 740, 1050 : un panneau
    for (cotes const& e : ecrans) {
        for (decorations const& d : {decorations{}, decorations{1, 1, 23, 5}}) {
            for (double demande = zoom_min; demande <= zoom_max; demande += pas_zoom) {
                double const f = zoom_qui_tient(demande, e, d, {{0, 0, 650, 695}});
                SCOPED_TRACE(std::to_string(e.w) + "x" + std::to_string(e.h) + " decore " +
                             std::to_string(d.haut) + " zoom " + texte_facteur(f));
                std::vector<fenetre_a_placer> const fenetres = fenetres_du_programme(true);
                std::vector<cotes> places = place_fenetres(e, d, f, fenetres);
                ASSERT_EQ(places.size(), fenetres.size());
                for (cotes& c : places) { // avec les decorations
                    c = {c.x - d.gauche, c.y - d.haut, c.w + d.gauche + d.droite,
                         c.h + d.haut + d.bas};
                }
                bool const cote_a_cote =
                    e.w >= places[0].w + ecart_fenetres + longueur_a_l_echelle(720, f) + 2;
                EXPECT_TRUE(cote_a_cote || places[0].x == e.x) << "la principale au bord gauche";
                for (std::size_t i = 0; i < places.size(); ++i) {
                    cotes const& c = places[i];
                    EXPECT_TRUE(c.x >= e.x && c.y >= e.y && c.x + c.w <= e.x + e.w &&
                                c.y + c.h <= e.y + e.h)
                        << i << " hors de l'ecran : " << c.x << "," << c.y;
                    int const min =
                        fenetres[i].largeur_min > 0 ? fenetres[i].largeur_min : fenetres[i].largeur;
                    EXPECT_GE(c.w, longueur_a_l_echelle(min, f) + d.gauche + d.droite) << i;
                    for (zone_a_garder const& z : zones_a_garder) {
                        cotes g = cotes_a_l_echelle(z.geometrie, f);
                        g.x += places[0].x + d.gauche;
                        g.y += places[0].y + d.haut;
                        EXPECT_FALSE(i > 0 && se_couvrent(c, g)) << i << " sur " << z.nom;
                    }
                    EXPECT_FALSE(cote_a_cote && fenetres[i].sorte == sorte_fenetre::compagne &&
                                 se_couvrent(c, places[0]))
                        << i << " sur la principale";
                }
            }
        }
    }
}

// Des places precises, dans l'ordre de fenetres_du_programme.
TEST(Placement, PlacesAttendues) {
    struct cas {
        char const* nom;
        cotes zone;
        double facteur;
        bool compagnes_montrees;
        std::vector<int> places;        // x, y, w, h de chaque fenetre
        cotes source_posee{0, 0, 0, 0}; // w > 0 : la source deplacee par l'etudiant
        bool aide_et_sommaire = false;  // l'aide elargie de son sommaire
        decorations bords{1, 1, 23, 5};
    };
    cas const table[] = {
        {"1920 : principale decalee, source a droite, exercice retreci a gauche, platine "
         "dessous, aide sur la source, Aller a au-dessus de la principale",
         {0, 0, 1920, 1080},
         1,
         true,
         {539, 201, 650, 695, 1198, 201, 720, 695, 1,   201, 529, 570,
          170, 745, 360, 330, 1309, 595, 610, 480, 540, 55,  340, 110}},
        {"3840 : principale centree, les passageres a cote, sur les compagnes cachees",
         {0, 0, 3840, 2160},
         1,
         false,
         {1595, 741, 650, 695, 2254, 741, 720, 695, 966,  741, 620, 570,
          1596, 375, 360, 330, 2254, 741, 610, 480, 1246, 741, 340, 110}},
        {"source deplacee par l'etudiant : son coin garde, a la taille du zoom, sur l'ecran",
         {0, 0, 1920, 1080},
         1.5,
         true,
         {1,    27,  975, 1043, 100, 32, 1080, 1043, 1190, 27,  729, 855,
          1190, 580, 540, 495,  985, 23, 915,  720,  1409, 910, 510, 165},
         {100, 100, 720, 695}},
        {"1024 : la source sur le dump, sous le titre de la pile et a droite des cases",
         {0, 0, 1024, 768},
         1,
         true,
         {1,   45, 650, 695, 345, 446, 678, 317, 403, 406, 620, 357,
          660, 45, 360, 330, 623, 463, 400, 300, 683, 23,  340, 110}},
        {"1024, sous openbox : l'aide et son sommaire, trop larges pour la place a droite, "
         "sur le dump plutot que sur les registres et les ports",
         {0, 0, 1024, 768},
         1,
         true,
         {1,   44, 650, 695, 345, 442, 678, 321, 403, 402, 620, 361,
          660, 44, 360, 330, 423, 463, 600, 300, 683, 20,  340, 110},
         {},
         true,
         {1, 1, 20, 5}},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        std::vector<fenetre_a_placer> fenetres = fenetres_du_programme(c.compagnes_montrees);
        fenetres[1].posee = c.source_posee.w > 0;
        fenetres[1].place = c.source_posee;
        if (c.aide_et_sommaire) {
            fenetres[4] = {sorte_fenetre::passagere, 900, 480, 600, 300};
        }
        std::vector<int> places;
        for (cotes const& p : place_fenetres(c.zone, c.bords, c.facteur, fenetres)) {
            places.insert(places.end(), {p.x, p.y, p.w, p.h});
        }
        EXPECT_EQ(places, c.places);
    }
}

TEST(Zoom, LePlusGrandQuiTientSurLEcran) {
    struct cas {
        cotes zone;
        decorations bords;
        double demande, rendu;
    };
    cas const table[] = {
        {{0, 0, 1920, 1080}, {1, 1, 23, 5}, 2, 1.5},   // 1043 + 28 <= 1080
        {{0, 30, 1920, 1050}, {1, 1, 23, 5}, 3, 1.25}, // le panneau prend 30
        {{0, 0, 1920, 1080}, {}, 1.5, 1.5},
        {{0, 0, 3840, 2160}, {1, 1, 23, 5}, 3, 3},
        {{0, 0, 1366, 768}, {1, 1, 23, 5}, 2, 1},
        {{0, 0, 800, 600}, {}, 1.5, 1}, // meme la taille concue ne tient pas : elle reste
    };
    for (cas const& c : table) {
        SCOPED_TRACE(std::to_string(c.zone.h) + " demande " + texte_facteur(c.demande));
        EXPECT_EQ(zoom_qui_tient(c.demande, c.zone, c.bords, {{0, 0, 650, 695}}), c.rendu);
    }
    EXPECT_EQ(texte_zoom_limite(1.5), "zoom limité à 1,5 pour cet écran");
    EXPECT_EQ(texte_facteur(1.25), "1,25");
    EXPECT_EQ(texte_facteur(2), "2");
}

} // namespace
