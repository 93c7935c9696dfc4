// Banc d'essai des ports : une vraie fenetre principale, une memoire neuve et les
// cinq ports configures comme le fait le controleur. Les membres du port sont
// prives : ses widgets se retrouvent parmi les derniers enfants de la fenetre,
// dans l'ordre ou configure les ajoute (nom, valeur, bits 0 a 7, puis direction).
#ifndef KARVELA_BANC_PORTS_H
#define KARVELA_BANC_PORTS_H

#include <gtest/gtest.h>

#include <FL/forms.H>

#include <memory>
#include <string>

#include "simulateur/interface.h"
#include "simulateur/mem_64k.h"
#include "simulateur/periph.h"

constexpr Fl_Color rouge = 88; // bit en sortie
constexpr Fl_Color vert = 63;  // bit en entree

// Arguments de configure, dans l'ordre du controleur.
struct reglage_port {
    int x, y;
    char const* nom;
    unsigned short adresse;
    int xd, yd;
    char const* nom_direction;
    unsigned short adresse_direction;
    unsigned char forc_sortie, forc_entree;
};

enum { A, B, C, D, E, nb_ports };

inline constexpr reglage_port reglages[nb_ports] = {
    {40, 200, "Port A", 0x1000, 0, 0, "", 0, 0x70, 0x07},
    {130, 200, "Port B", 0x1004, 0, 0, "", 0, 0xFF, 0x00},
    {220, 200, "Port C", 0x1003, 220, 270, "DDRC", 0x1007, 0x00, 0x00},
    {310, 200, "Port D", 0x1008, 310, 270, "DDRD", 0x1009, 0x00, 0x00},
    {40, 270, "Port E", 0x100A, 0, 0, "", 0, 0x00, 0xFF},
};

// Rang, parmi les widgets d'un port, de ce qui suit les huit boutons.
constexpr int rang_nom = 0, rang_valeur = 1, rang_bit0 = 2, rang_nom_direction = 10,
              rang_direction = 11;

class BancPorts : public ::testing::Test {
  protected:
    void SetUp() override {
        // Comme le controleur : fl_initialize avant toute fenetre (sans lui,
        // fl_end_form retournerait l'axe des y de toute la fenetre).
        static char nom_programme[] = "tests_ports";
        static char* argv[] = {nom_programme, nullptr};
        static bool initialise = false;
        if (!initialise) {
            int argc = 1;
            fl_initialize(&argc, argv, nullptr, nullptr, 0);
            initialise = true;
        }
        while (Fl::readqueue()) {
        }
        fenetre = std::make_unique<SIM_class>();
        fenetre->SIM->show();
        memoire = std::make_unique<mem_64k>();
    }

    void TearDown() override {
        Fl::check();
        delete fenetre->SIM;
    }

    void configure(int p, portparallele& port, reglage_port const& r) {
        debut[p] = fenetre->SIM->children();
        port.configure(fenetre.get(), r.x, r.y, r.nom, r.adresse, r.xd, r.yd, r.nom_direction,
                       r.adresse_direction, r.forc_sortie, r.forc_entree, memoire.get());
        fin[p] = fenetre->SIM->children();
    }

    void configure_tout() {
        for (int p = 0; p < nb_ports; ++p) {
            configure(p, ports[p], reglages[p]);
        }
    }

    Fl_Widget* widget(int p, int rang) { return fenetre->SIM->child(debut[p] + rang); }
    Fl_Widget* bouton(int p, int n) { return widget(p, rang_bit0 + n); }
    std::string texte(int p, int rang) {
        char const* l = widget(p, rang)->label();
        return l ? l : "";
    }

    // Un vrai clic relache : le rappel par defaut met le bouton dans la file Forms,
    // d'ou le controleur le reprend.
    Fl_Widget* clic(Fl_Widget* w) {
        w->do_callback();
        Fl_Widget* pris = Fl::readqueue();
        EXPECT_EQ(pris, w);
        return pris;
    }

    // Direction lue sur les couleurs des boutons (rouge = 1, sortie).
    unsigned char direction_affichee(int p) {
        unsigned char d = 0;
        for (int n = 0; n < 8; ++n) {
            Fl_Color c = bouton(p, n)->color();
            EXPECT_TRUE(c == rouge || c == vert) << reglages[p].nom << " bit " << n << ": " << c;
            EXPECT_EQ(bouton(p, n)->selection_color(), c) << reglages[p].nom << " bit " << n;
            if (c == rouge) {
                d |= 1 << n;
            }
        }
        return d;
    }

    std::unique_ptr<SIM_class> fenetre;
    std::unique_ptr<mem_64k> memoire;
    portparallele ports[nb_ports];
    int debut[nb_ports] = {};
    int fin[nb_ports] = {};
};

#endif
