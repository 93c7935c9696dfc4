// Outils communs aux tests des fenetres : une ligne de maquette par widget, dans
// l'ordre de creation, et la verification d'une fenetre fraichement construite
// contre sa maquette (enfant par enfant, donc aussi l'ordre de dessin).
#ifndef KARVELA_TESTS_MAQUETTE_H
#define KARVELA_TESTS_MAQUETTE_H

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Widget.H>
#include <gtest/gtest.h>

#include <FL/fl_draw.H> // apres gtest : X11 y definit None

#include <string>
#include <typeinfo>
#include <vector>

// Classe exacte attendue et condition de declenchement par defaut de cette classe :
// le constructeur ne doit toucher a aucun when().
struct Classe {
    const char* nom;
    const std::type_info* type;
    Fl_When quand;
};

// Apparence complete : ce que la maquette fixe, et les defauts de la boite a outils
// pour le reste, si bien qu'un reglage oublie ou en trop se voit.
struct Apparence {
    Fl_Boxtype boite;
    Fl_Color couleur;
    Fl_Color selection;
    Fl_Font police;
    Fl_Fontsize taille;
    Fl_Color couleur_texte;
    Fl_Align align;
};

struct Attendu {
    const char* nom;   // membre, ou role du widget sans membre
    Fl_Widget* membre; // nullptr pour un widget sans membre public
    Classe classe;
    int x, y, w, h;
    const char* texte; // nullptr : pas de libelle
    Apparence apparence;
};

const Classe BOX{"Fl_Box", &typeid(Fl_Box), FL_WHEN_RELEASE};

inline std::string texte_de(const char* t) {
    return t ? t : "";
}

// Compare les enfants de la fenetre, dans l'ordre, aux lignes de la maquette.
inline void verifie_enfants(const Fl_Group* fenetre, const std::vector<Attendu>& maquette) {
    ASSERT_EQ(fenetre->children(), static_cast<int>(maquette.size()));
    for (std::size_t i = 0; i < maquette.size(); ++i) {
        const Attendu& a = maquette[i];
        Fl_Widget* w = fenetre->child(static_cast<int>(i));
        SCOPED_TRACE(std::string("enfant ") + std::to_string(i) + " (" + a.nom + ")");
        if (a.membre) {
            EXPECT_EQ(w, a.membre) << "le membre n'est pas a sa place dans l'ordre de creation";
        }
        EXPECT_TRUE(typeid(*w) == *a.classe.type)
            << "classe " << typeid(*w).name() << ", attendu " << a.classe.nom;
        EXPECT_EQ(w->x(), a.x);
        EXPECT_EQ(w->y(), a.y);
        EXPECT_EQ(w->w(), a.w);
        EXPECT_EQ(w->h(), a.h);
        EXPECT_EQ(texte_de(w->label()), texte_de(a.texte));
        EXPECT_EQ(w->box(), a.apparence.boite);
        EXPECT_EQ(w->color(), a.apparence.couleur);
        EXPECT_EQ(w->selection_color(), a.apparence.selection);
        EXPECT_EQ(w->labelfont(), a.apparence.police);
        EXPECT_EQ(w->labelsize(), a.apparence.taille);
        EXPECT_EQ(w->labelcolor(), a.apparence.couleur_texte);
        EXPECT_EQ(w->align(), a.apparence.align);
        // Ni rappel ni when() propres : le widget doit finir dans la file d'objets.
        EXPECT_TRUE(w->callback() == Fl_Widget::default_callback);
        EXPECT_EQ(w->when(), a.classe.quand);
        EXPECT_EQ(w->user_data(), nullptr);
        EXPECT_TRUE(w->visible());
    }
}

// Chaque libelle ecrit dans son widget y tient en largeur (un symbole "@" se met
// a l'echelle de sa boite).
inline void verifie_libelles_tiennent(const Fl_Group* fenetre) {
    fl_open_display();
    const Fl_Align cotes = FL_ALIGN_LEFT | FL_ALIGN_RIGHT | FL_ALIGN_TOP | FL_ALIGN_BOTTOM;
    for (int i = 0; i < fenetre->children(); ++i) {
        Fl_Widget* w = fenetre->child(i);
        const Fl_Align a = w->align();
        if (w->label() == nullptr || w->label()[0] == '@' ||
            ((a & cotes) != 0 && (a & FL_ALIGN_INSIDE) == 0)) {
            continue;
        }
        int largeur = 0, hauteur = 0;
        w->measure_label(largeur, hauteur);
        EXPECT_LE(largeur, w->w() - Fl::box_dw(w->box())) << texte_de(w->label());
    }
}

// Proprietes de la fenetre elle-meme apres construction : cachee, groupe ferme.
inline void verifie_fenetre(Fl_Double_Window* f, int w, int h, const char* titre, Fl_Font police,
                            void* donnee) {
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(typeid(*f) == typeid(Fl_Double_Window));
    EXPECT_EQ(f->w(), w);
    EXPECT_EQ(f->h(), h);
    EXPECT_EQ(texte_de(f->label()), titre);
    EXPECT_EQ(f->box(), FL_NO_BOX);
    EXPECT_EQ(f->labelfont(), police);
    EXPECT_EQ(f->user_data(), donnee);
    EXPECT_EQ(f->parent(), nullptr);
    EXPECT_FALSE(f->shown());
    EXPECT_FALSE(f->visible());
    // Groupe ferme : un widget cree ensuite ne doit pas atterrir dans la fenetre.
    EXPECT_EQ(Fl_Group::current(), nullptr);
    Fl_Double_Window temoin(10, 10);
    temoin.end();
    EXPECT_TRUE(f->callback() == temoin.callback());
    EXPECT_EQ(f->when(), temoin.when());
}

#endif
