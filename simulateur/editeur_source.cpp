// Dessin de l'editeur du source. La boite a outils dessine le texte et ses
// couleurs ; on repeint ensuite la ligne du PC (par la boite a outils elle-meme,
// sur un fond orange : ses styles n'ont pas de fond a eux) et toute la marge.
// Sans retour a la ligne automatique : une ligne du texte est une ligne a l'ecran.
#include "simulateur/editeur_source.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

namespace {

constexpr Fl_Color couleur_pc = 174;                  // ligne du PC, comme au desassemblage
constexpr Fl_Color couleur_point = FL_RED;            // point d'arret, comme au desassemblage
constexpr Fl_Color fond_marge = 53;                   // gris tres clair
constexpr Fl_Color couleur_numero = 40;               // gris moyen
constexpr Fl_Color fond_erreur = 213;                 // ligne d'une erreur : rose
constexpr Fl_Color fond_avertissement = 215;          // ligne d'un avertissement : jaune pale
constexpr Fl_Color couleur_profondeur = FL_DARK_BLUE; // profondeur de la pile
constexpr int chiffres_numero = 4;                    // jusqu'a la ligne 9999
constexpr int chiffres_profondeur = 5;                // "10-16"
// Numero, blanc, adresse, blanc, profondeur, blanc.
constexpr int caracteres_marge = chiffres_numero + 6 + chiffres_profondeur + 1;

// Une profondeur trop longue pour sa colonne ("0,2,4,6") se resume a ses bornes.
std::string profondeur_montree(std::string const& p) {
    if (p.size() <= chiffres_profondeur) {
        return p;
    }
    std::size_t const debut = p.find_first_of(",-");
    std::size_t const fin = p.find_last_of(",-");
    return p.substr(0, debut) + ".." + p.substr(fin + 1);
}

Fl_Color fond_arret() {
    return fl_rgb_color(255, 190, 190);
}

struct style_dessin {
    Fl_Color couleur;
    Fl_Font police;
};
// Dans l'ordre de style_source.
constexpr style_dessin dessins[nb_styles_source] = {
    {FL_BLACK, FL_COURIER},             // texte
    {FL_DARK_BLUE, FL_COURIER_BOLD},    // mnemonique
    {FL_DARK_MAGENTA, FL_COURIER_BOLD}, // directive
    {FL_DARK_RED, FL_COURIER_BOLD},     // etiquette
    {FL_DARK_CYAN, FL_COURIER},         // nombre
    {FL_DARK_GREEN, FL_COURIER},        // chaine
    {FL_DARK3 - 6, FL_COURIER_ITALIC},  // commentaire
    {FL_RED, FL_COURIER},               // faute
};

} // namespace

void borne_traits(std::string_view texte, std::string& styles) {
    if (styles.size() <= static_cast<std::size_t>(trait_maximal)) {
        return;
    }
    // Un caractere utf8 tient en 4 octets : on change de trait avant d'en deborder.
    constexpr std::size_t seuil = trait_maximal - 4;
    std::size_t trait = 0;
    char avant = 0; // style de l'octet precedent, sans son jumeau
    for (std::size_t i = 0; i < styles.size(); ++i) {
        char const propre = styles[i];
        bool const suite =
            i < texte.size() && (static_cast<unsigned char>(texte[i]) & 0xC0) == 0x80;
        if (i > 0 && propre == avant) {
            ++trait; // octets du trait avant celui-ci
            bool const jumeau = styles[i - 1] != propre;
            bool const change = !suite && trait >= seuil;
            if (change) {
                trait = 0;
            }
            styles[i] = static_cast<char>(propre + ((jumeau != change) ? nb_styles_source : 0));
        } else {
            trait = 0;
        }
        avant = propre;
    }
}

editeur_source::editeur_source(int x, int y, int w, int h) : Fl_Text_Editor(x, y, w, h) {
    // Annuler et retablir sont ceux de la fenetre, a plusieurs niveaux : la touche
    // passe aux boutons.
    remove_key_binding('z', FL_CTRL);
    remove_key_binding('/', FL_CTRL);
    // Seul un clic dans la marge met l'editeur en file ; taper ne le fait pas.
    when(FL_WHEN_NEVER);
    textfont(FL_COURIER);
    cursor_style(Fl_Text_Display::SIMPLE_CURSOR);
}

void editeur_source::taille_texte(int taille) {
    for (int i = 0; i < 2 * nb_styles_source; ++i) {
        style_dessin const& d = dessins[i % nb_styles_source];
        styles_[i] = {d.couleur, d.police, taille, 0};
    }
    textsize(taille);
    fl_font(FL_COURIER, taille);
    int const largeur = static_cast<int>(fl_width('0') * caracteres_marge) + fl_height();
    linenumber_width(largeur);
}

void editeur_source::styles(Fl_Text_Buffer* tampon) {
    highlight_data(tampon, styles_, 2 * nb_styles_source, 0, nullptr, nullptr);
}

int editeur_source::debut_ligne(int ligne) const {
    return buffer()->skip_lines(0, ligne - 1);
}

void editeur_source::remarque(int& marquee, int ligne) {
    if (ligne == marquee) {
        return;
    }
    for (int l : {marquee, ligne}) {
        if (l > 0) {
            int const debut = debut_ligne(l);
            redisplay_range(debut, buffer()->line_end(debut) + 1);
        }
    }
    marquee = ligne;
}

void editeur_source::ligne_pc(int ligne) {
    remarque(ligne_pc_, ligne);
}

void editeur_source::ligne_arret(int ligne) {
    remarque(ligne_arret_, ligne);
}

void editeur_source::montre_ligne(int ligne) {
    int const visibles = std::max(mNVisibleLines - 1, 1);
    if (ligne > 0 && (ligne < mTopLineNum || ligne >= mTopLineNum + visibles)) {
        scroll(std::max(1, ligne - visibles / 3), mHorizOffset);
    }
}

int editeur_source::gauche_marge() const {
    return x() + Fl::box_dx(box());
}

int editeur_source::ligne_de_marge(int x, int y) const {
    if (x < gauche_marge() || x >= text_area.x || y < text_area.y ||
        y >= text_area.y + text_area.h || mMaxsize <= 0) {
        return 0;
    }
    int const ligne = mTopLineNum + (y - text_area.y) / mMaxsize;
    return ligne <= mNBufferLines + 1 ? ligne : 0;
}

int editeur_source::ligne_du_curseur() const {
    return buffer()->count_lines(0, insert_position()) + 1;
}

void editeur_source::peint_ligne(int ligne, Fl_Color fond) {
    int const visible = ligne - mTopLineNum;
    if (ligne > 0 && visible >= 0 && visible < mNVisibleLines) {
        fl_push_clip(text_area.x, text_area.y, text_area.w, text_area.h);
        Fl_Color const avant = color();
        color(fond);
        draw_vline(visible, text_area.x, text_area.x + text_area.w, 0, INT_MAX);
        color(avant);
        fl_pop_clip();
    }
}

void editeur_source::draw() {
    Fl_Text_Editor::draw();
    if (ligne_arret_ != ligne_pc_) {
        peint_ligne(ligne_arret_, fond_arret());
    }
    peint_ligne(ligne_pc_, couleur_pc);
    dessine_marge();
}

void editeur_source::dessine_marge() {
    // Tout ce qui est a gauche du texte, numeros de la boite a outils compris.
    int const gauche = gauche_marge();
    int const largeur = text_area.x - gauche;
    int const haut = y() + Fl::box_dy(box());
    int const hauteur = text_area.y + text_area.h - haut;
    fl_push_clip(gauche, haut, largeur, hauteur);
    fl_color(fond_marge);
    fl_rectf(gauche, haut, largeur, hauteur);
    fl_font(FL_COURIER, textsize());
    int const chiffre = static_cast<int>(fl_width('0'));
    int const diametre = std::max(fl_height() - 6, 4);
    char texte[16];
    for (int i = 0; i < mNVisibleLines && mMaxsize > 0; ++i) {
        int const ligne = mTopLineNum + i;
        if (ligne > mNBufferLines + 1) {
            break;
        }
        int const y0 = text_area.y + i * mMaxsize;
        marge_ligne const m = marge ? marge(ligne) : marge_ligne();
        if (m.diagnostic > 0) {
            fl_color(m.diagnostic > 1 ? fond_erreur : fond_avertissement);
            fl_rectf(gauche, y0, largeur, mMaxsize);
        }
        int const base = y0 + mMaxsize - fl_descent();
        std::snprintf(texte, sizeof texte, "%*d", chiffres_numero, ligne);
        fl_color(m.diagnostic > 1 ? FL_DARK_RED : couleur_numero);
        fl_draw(texte, gauche + 2, base);
        if (m.adresse >= 0) {
            std::snprintf(texte, sizeof texte, "%04x", m.adresse);
            fl_color(FL_BLACK);
            fl_draw(texte, gauche + 2 + chiffre * (chiffres_numero + 1), base);
        }
        if (!m.profondeur.empty()) {
            std::snprintf(texte, sizeof texte, "%*s", chiffres_profondeur,
                          profondeur_montree(m.profondeur).c_str());
            fl_color(couleur_profondeur);
            fl_draw(texte, gauche + 2 + chiffre * (chiffres_numero + 6), base);
        }
        if (m.point) {
            fl_color(couleur_point);
            int const xp = gauche + largeur - diametre - 4;
            fl_pie(xp, y0 + (mMaxsize - diametre) / 2, diametre, diametre, 0, 360);
        }
    }
    fl_pop_clip();
}
