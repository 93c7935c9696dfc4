// Zoom des fenetres : note de la geometrie concue, puis application du facteur de
// la fenetre vers ses feuilles (un groupe deplace ses enfants ; chacun est ensuite
// pose a sa place exacte).
#include "simulateur/zoom.h"

#include <FL/Fl.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Help_View.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_.H>
#include <FL/Fl_Scroll.H>
#include <FL/Fl_Spinner.H>
#include <FL/Fl_Tooltip.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/fl_ask.H>

#include <algorithm>
#include <cctype>

namespace {

// Tailles absolues des codes de taille d'une ligne de navigateur.
constexpr int taille_grande = 24;  // "@l"
constexpr int taille_moyenne = 18; // "@m"
constexpr int taille_petite = 11;  // "@s"

// Les membres de la table de styles ne sont pas publics : on les atteint par des
// pointeurs sur membre, pris dans une classe derivee (jamais instanciee).
struct acces_styles : Fl_Text_Display {
    static auto table() { return &acces_styles::mStyleTable; }
    static auto nombre() { return &acces_styles::mNStyles; }
    static auto tampon() { return &acces_styles::mStyleBuffer; }
    static auto inacheve() { return &acces_styles::mUnfinishedStyle; }
    static auto rappel() { return &acces_styles::mUnfinishedHighlightCB; }
    static auto argument() { return &acces_styles::mHighlightCBArg; }
};

// La taille du texte d'un widget du type T : lue, ou ecrite si ecrire.
template <class T> bool texte_de(Fl_Widget* w, int& taille, bool ecrire) {
    T* t = dynamic_cast<T*>(w);
    if (t == nullptr) {
        return false;
    }
    if (ecrire) {
        t->textsize(static_cast<Fl_Fontsize>(taille));
    } else {
        taille = t->textsize();
    }
    return true;
}

// Taille du texte propre au widget (-1 : il n'en a pas), ecrite si ecrire. Les
// setters ne sont pas virtuels : la classe la plus derivee vient en tete
// (Fl_Browser recompte la hauteur de ses lignes, Fl_Browser_ non).
int taille_texte(Fl_Widget* w, int taille = -1, bool ecrire = false) {
    bool const connu =
        texte_de<Fl_Input_>(w, taille, ecrire) || texte_de<Fl_Menu_>(w, taille, ecrire) ||
        texte_de<Fl_Browser>(w, taille, ecrire) || texte_de<Fl_Browser_>(w, taille, ecrire) ||
        texte_de<Fl_Text_Display>(w, taille, ecrire) ||
        texte_de<Fl_Value_Input>(w, taille, ecrire) ||
        texte_de<Fl_Value_Output>(w, taille, ecrire) ||
        texte_de<Fl_Value_Slider>(w, taille, ecrire) || texte_de<Fl_Counter>(w, taille, ecrire) ||
        texte_de<Fl_Input_Choice>(w, taille, ecrire) || texte_de<Fl_Spinner>(w, taille, ecrire) ||
        texte_de<Fl_Help_View>(w, taille, ecrire);
    return connu ? taille : -1;
}

// Un groupe dont le zoom pose les enfants ; les widgets composes placent les leurs.
bool descend_dans(Fl_Widget* w) {
    return w->as_group() != nullptr && dynamic_cast<Fl_Browser_*>(w) == nullptr &&
           dynamic_cast<Fl_Text_Display*>(w) == nullptr &&
           dynamic_cast<Fl_Input_Choice*>(w) == nullptr &&
           dynamic_cast<Fl_Spinner*>(w) == nullptr && dynamic_cast<Fl_Scroll*>(w) == nullptr &&
           dynamic_cast<Fl_Help_View*>(w) == nullptr;
}

// Taille ecrite apres "@S" ; un texte demesure (venu d'un fichier) reste borne.
int taille_lue(std::string const& chiffres) {
    constexpr std::string::size_type chiffres_max = 4;
    return chiffres.size() > chiffres_max ? 9999 : std::stoi(chiffres);
}

// Une ligne de navigateur dont chaque code de taille, en tete de chaque colonne,
// devient "@S" et la taille a l'echelle.
std::string ligne_a_l_echelle(std::string const& ligne, char format, char colonne, double f) {
    std::string sortie;
    std::string::size_type i = 0;
    while (i < ligne.size()) {
        while (i + 1 < ligne.size() && ligne[i] == format && ligne[i + 1] != format) {
            char const code = ligne[i + 1];
            i += 2;
            std::string::size_type debut_nombre = i;
            while (i < ligne.size() && (code == 'S' || code == 'B' || code == 'C' || code == 'F') &&
                   std::isdigit(static_cast<unsigned char>(ligne[i]))) {
                ++i;
            }
            std::string const nombre = ligne.substr(debut_nombre, i - debut_nombre);
            int const concue = code == 'l' || code == 'L'       ? taille_grande
                               : code == 'm' || code == 'M'     ? taille_moyenne
                               : code == 's'                    ? taille_petite
                               : code == 'S' && !nombre.empty() ? taille_lue(nombre)
                                                                : -1;
            if (concue >= 0) {
                sortie +=
                    std::string(1, format) + "S" + std::to_string(longueur_a_l_echelle(concue, f));
            } else {
                sortie += std::string(1, format) + code + nombre;
            }
            if (code == '.') {
                break;
            }
        }
        // Le reste de la colonne tel quel, separateur compris.
        std::string::size_type const fin = ligne.find(colonne, i);
        std::string::size_type const suite = fin == std::string::npos ? ligne.size() : fin + 1;
        sortie += ligne.substr(i, suite - i);
        i = suite;
    }
    return sortie;
}

} // namespace

zoom_fenetres::zoom_fenetres()
    : barre_concue_(Fl::scrollbar_size()), bulle_concue_(Fl_Tooltip::size()),
      message_concu_(fl_message_size_) {}

zoom_fenetres::~zoom_fenetres() {
    Fl::scrollbar_size(barre_concue_);
    Fl_Tooltip::size(static_cast<Fl_Fontsize>(bulle_concue_));
    fl_message_size_ = static_cast<Fl_Fontsize>(message_concu_);
}

void zoom_fenetres::inscrit(Fl_Window* fenetre) {
    if (!connait(fenetre)) {
        fenetres_.push_back(fenetre);
    }
    note(fenetre);
    if (facteur_ != zoom_min) {
        met_fenetre_a_l_echelle(fenetre);
    }
}

void zoom_fenetres::oublie(Fl_Window* fenetre) {
    fenetres_.erase(std::remove(fenetres_.begin(), fenetres_.end(), fenetre), fenetres_.end());
    oublie_widget(fenetre);
}

void zoom_fenetres::oublie_widget(Fl_Widget* w) {
    concus_.erase(w);
    lignes_.erase(dynamic_cast<Fl_Browser*>(w));
    styles_.erase(dynamic_cast<Fl_Text_Display*>(w));
    if (Fl_Group* g = w->as_group()) {
        for (int i = 0; i < g->children(); ++i) {
            oublie_widget(g->child(i));
        }
    }
}

bool zoom_fenetres::connait(Fl_Window const* fenetre) const {
    return std::find(fenetres_.begin(), fenetres_.end(), fenetre) != fenetres_.end();
}

int zoom_fenetres::taille(int taille_concue) const {
    return longueur_a_l_echelle(taille_concue, facteur_);
}

void zoom_fenetres::applique(double facteur) {
    facteur_ = facteur;
    met_reglages_a_l_echelle();
    for (Fl_Window* f : fenetres_) {
        met_fenetre_a_l_echelle(f);
    }
}

void zoom_fenetres::note(Fl_Widget* w) {
    if (concus_.count(w) == 0) {
        concu c{{w->x(), w->y(), w->w(), w->h()}, w->labelsize(), taille_texte(w), 0, 0, 0};
        if (Fl_Browser_* b = dynamic_cast<Fl_Browser_*>(w)) {
            c.barre = b->scrollbar_size();
        }
        if (Fl_Text_Display* d = dynamic_cast<Fl_Text_Display*>(w)) {
            // Il copie la largeur commune a sa construction, peut-etre deja a l'echelle.
            c.barre =
                d->scrollbar_width() == Fl::scrollbar_size() ? barre_concue_ : d->scrollbar_width();
            c.taille_numeros = d->linenumber_size();
            c.largeur_numeros = d->linenumber_width();
        }
        concus_[w] = c;
    }
    if (Fl_Group* g = w->as_group(); g != nullptr && descend_dans(w)) {
        for (int i = 0; i < g->children(); ++i) {
            note(g->child(i));
        }
    }
}

void zoom_fenetres::met_reglages_a_l_echelle() {
    Fl::scrollbar_size(longueur_a_l_echelle(barre_concue_, facteur_));
    Fl_Tooltip::size(static_cast<Fl_Fontsize>(longueur_a_l_echelle(bulle_concue_, facteur_)));
    // -1 (taille normale) reste -1 a la taille concue.
    int const message = message_concu_ < 0 ? FL_NORMAL_SIZE : message_concu_;
    fl_message_size_ = static_cast<Fl_Fontsize>(
        facteur_ == zoom_min ? message_concu_ : longueur_a_l_echelle(message, facteur_));
}

void zoom_fenetres::met_fenetre_a_l_echelle(Fl_Window* f) {
    auto const trouve = concus_.find(f);
    if (trouve == concus_.end()) {
        return;
    }
    cotes const c =
        cotes_a_l_echelle({0, 0, trouve->second.geometrie.w, trouve->second.geometrie.h}, facteur_);
    if (f->shown()) {
        f->resize(f->x(), f->y(), c.w, c.h);
        garde_a_l_ecran(f);
    } else {
        f->size(c.w, c.h);
    }
    f->labelsize(static_cast<Fl_Fontsize>(taille(trouve->second.taille_libelle)));
    for (int i = 0; i < f->children(); ++i) {
        met_a_l_echelle(f->child(i));
    }
    f->init_sizes();
    f->redraw();
}

void zoom_fenetres::met_a_l_echelle(Fl_Widget* w) {
    auto const trouve = concus_.find(w);
    if (trouve == concus_.end()) {
        return; // ajoute apres l'inscription : garde sa geometrie
    }
    concu const& c = trouve->second;
    // Les tailles de texte d'abord : un Fl_Text_Display se remet en page au resize.
    w->labelsize(static_cast<Fl_Fontsize>(taille(c.taille_libelle)));
    if (c.taille_texte >= 0) {
        taille_texte(w, taille(c.taille_texte), true);
    }
    if (Fl_Browser_* b = dynamic_cast<Fl_Browser_*>(w)) {
        b->scrollbar_size(taille(c.barre));
    }
    if (Fl_Browser* b = dynamic_cast<Fl_Browser*>(w)) {
        met_lignes_a_l_echelle(b);
    }
    if (Fl_Text_Display* d = dynamic_cast<Fl_Text_Display*>(w)) {
        d->scrollbar_width(taille(c.barre));
        d->linenumber_size(static_cast<Fl_Fontsize>(taille(c.taille_numeros)));
        d->linenumber_width(taille(c.largeur_numeros));
        met_styles_a_l_echelle(d);
    }
    cotes const e = cotes_a_l_echelle(c.geometrie, facteur_);
    w->resize(e.x, e.y, e.w, e.h);
    if (Fl_Group* g = w->as_group(); g != nullptr && descend_dans(w)) {
        for (int i = 0; i < g->children(); ++i) {
            met_a_l_echelle(g->child(i));
        }
        g->init_sizes();
    }
    w->redraw();
}

void zoom_fenetres::met_lignes_a_l_echelle(Fl_Browser* b) {
    lignes_navigateur& l = lignes_[b];
    // Une ligne que le zoom n'a pas ecrite vient du proprietaire : elle est concue.
    l.concues.resize(static_cast<std::size_t>(b->size()));
    l.montrees.resize(l.concues.size());
    for (int n = 1; n <= b->size(); ++n) {
        std::size_t const i = static_cast<std::size_t>(n - 1);
        std::string const lue = b->text(n) != nullptr ? b->text(n) : "";
        if (lue != l.montrees[i]) {
            l.concues[i] = lue;
        }
        l.montrees[i] = facteur_ == zoom_min ? l.concues[i]
                                             : ligne_a_l_echelle(l.concues[i], b->format_char(),
                                                                 b->column_char(), facteur_);
        if (l.montrees[i] != lue) {
            b->text(n, l.montrees[i].c_str());
        }
    }
    // Largeurs des colonnes : une copie a l'echelle remplace le tableau du
    // proprietaire, qui revient a la taille concue.
    int const* posees = b->column_widths();
    if (posees == nullptr) {
        return;
    }
    if (posees != l.colonnes_montrees.data()) {
        l.colonnes_proprietaire = posees;
    }
    l.colonnes_montrees.clear();
    for (int const* p = l.colonnes_proprietaire; *p != 0; ++p) {
        l.colonnes_montrees.push_back(longueur_a_l_echelle(*p, facteur_));
    }
    l.colonnes_montrees.push_back(0);
    b->column_widths(facteur_ == zoom_min ? l.colonnes_proprietaire : l.colonnes_montrees.data());
}

void zoom_fenetres::met_styles_a_l_echelle(Fl_Text_Display* d) {
    auto const* table = d->*acces_styles::table();
    int const nombre = d->*acces_styles::nombre();
    Fl_Text_Buffer* const tampon = d->*acces_styles::tampon();
    if (table == nullptr || tampon == nullptr || nombre <= 0) {
        return;
    }
    styles_texte& s = styles_[d];
    // Une table que le zoom n'a pas posee vient du proprietaire : elle est concue,
    // et revient a la taille concue.
    if (table != s.montres.data()) {
        s.proprietaire = table;
    }
    s.montres.assign(s.proprietaire, s.proprietaire + nombre);
    for (Fl_Text_Display::Style_Table_Entry& e : s.montres) {
        e.size = static_cast<Fl_Fontsize>(taille(e.size));
    }
    d->highlight_data(tampon, facteur_ == zoom_min ? s.proprietaire : s.montres.data(), nombre,
                      d->*acces_styles::inacheve(), d->*acces_styles::rappel(),
                      d->*acces_styles::argument());
}

void zoom_fenetres::montree(Fl_Window* fenetre) {
    if (Fl::scrollbar_size() != longueur_a_l_echelle(barre_concue_, facteur_)) {
        barre_concue_ = Fl::scrollbar_size();
        met_reglages_a_l_echelle();
    }
    garde_a_l_ecran(fenetre);
}

void zoom_fenetres::garde_a_l_ecran(Fl_Window* fenetre) {
    if (!fenetre->shown()) {
        return;
    }
    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_work_area(sx, sy, sw, sh, fenetre->x(), fenetre->y());
    int const x = std::max(sx, std::min(fenetre->x(), sx + sw - fenetre->w()));
    int const y = std::max(sy, std::min(fenetre->y(), sy + sh - fenetre->h()));
    if (x != fenetre->x() || y != fenetre->y()) {
        fenetre->position(x, y);
    }
}
