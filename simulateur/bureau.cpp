// Proprietes du bureau lues sur la fenetre racine et sur les fenetres du
// programme, par la connexion de la boite a outils (fl_display). Une propriete
// absente, d'un autre type ou trop courte vaut "rien dit" : l'ecran entier, aucune
// decoration. Puis la liste des fenetres du programme, qui demande leurs places a
// place_fenetres et note ce que l'etudiant a deplace : une fenetre qui n'est plus
// la ou elle a ete posee garde son coin.
#include "simulateur/bureau.h"

#include <FL/Fl.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <sys/select.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "simulateur/icone_karvela.h"

namespace {

constexpr double attente_decorations = 0.25; // secondes, au plus, pour la reponse

Atom atome(char const* nom) {
    return XInternAtom(fl_display, nom, False);
}

// Les CARDINAL (ou WINDOW) d'une propriete ; vide si elle manque.
std::vector<long> cardinaux(Window w, char const* nom, Atom type = XA_CARDINAL) {
    Atom type_lu = None;
    int format = 0;
    unsigned long nombre = 0, reste = 0;
    unsigned char* donnees = nullptr;
    std::vector<long> v;
    if (XGetWindowProperty(fl_display, w, atome(nom), 0, 1024, False, type, &type_lu, &format,
                           &nombre, &reste, &donnees) == Success &&
        type_lu == type && format == 32 && donnees != nullptr) {
        // Au format 32, Xlib rend des long, quelle que soit leur taille.
        long const* l = reinterpret_cast<long const*>(donnees);
        v.assign(l, l + nombre);
    }
    if (donnees != nullptr) {
        XFree(donnees);
    }
    return v;
}

decorations decorations_lues(Window w) {
    std::vector<long> const e = cardinaux(w, "_NET_FRAME_EXTENTS");
    if (e.size() < 4) {
        return {};
    }
    return {static_cast<int>(e[0]), static_cast<int>(e[1]), static_cast<int>(e[2]),
            static_cast<int>(e[3])};
}

bool gestionnaire_sait(char const* nom) {
    Atom const cherche = atome(nom);
    std::vector<long> const permis =
        cardinaux(RootWindow(fl_display, fl_screen), "_NET_SUPPORTED", XA_ATOM);
    return std::find(permis.begin(), permis.end(), static_cast<long>(cherche)) != permis.end();
}

decorations demande_decorations() {
    if (!gestionnaire_present() || !gestionnaire_sait("_NET_REQUEST_FRAME_EXTENTS")) {
        return {};
    }
    Window const racine = RootWindow(fl_display, fl_screen);
    Window const essai = XCreateSimpleWindow(fl_display, racine, 0, 0, 100, 100, 0, 0, 0);
    XSelectInput(fl_display, essai, PropertyChangeMask);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = essai;
    e.xclient.message_type = atome("_NET_REQUEST_FRAME_EXTENTS");
    e.xclient.format = 32;
    XSendEvent(fl_display, racine, False, SubstructureNotifyMask | SubstructureRedirectMask, &e);
    XFlush(fl_display);
    Atom const etendue = atome("_NET_FRAME_EXTENTS");
    decorations d;
    auto const fin =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(attente_decorations);
    for (bool recu = false; !recu;) {
        XEvent lu;
        while (!recu && XCheckWindowEvent(fl_display, essai, PropertyChangeMask, &lu)) {
            recu = lu.xproperty.atom == etendue;
        }
        auto const reste = fin - std::chrono::steady_clock::now();
        if (recu || reste <= std::chrono::steady_clock::duration::zero()) {
            break;
        }
        // Dormir jusqu'a ce que le serveur parle, ou la fin de l'attente.
        fd_set lecture;
        FD_ZERO(&lecture);
        FD_SET(ConnectionNumber(fl_display), &lecture);
        long const us = std::chrono::duration_cast<std::chrono::microseconds>(reste).count();
        timeval t{us / 1000000, us % 1000000};
        select(ConnectionNumber(fl_display) + 1, &lecture, nullptr, nullptr, &t);
    }
    d = decorations_lues(essai);
    XDestroyWindow(fl_display, essai);
    XFlush(fl_display);
    return d;
}

} // namespace

void prepare_bureau() {
    Fl_Window::default_xclass("karvela");
    // L'image est copiee par la boite a outils pour chaque fenetre.
    static Fl_PNG_Image const icone("karvela.png", icone_karvela_png,
                                    static_cast<int>(sizeof icone_karvela_png));
    if (icone.w() > 0 && icone.h() > 0) {
        Fl_Window::default_icon(&icone);
    }
}

void pose_fenetre(Fl_Window* fenetre, cotes const& place) {
    fenetre->resize(place.x, place.y, place.w, place.h);
    // Meme place notee que demandee : la boite a outils ne dit rien au serveur.
    if (fenetre->shown()) {
        XMoveResizeWindow(fl_display, fl_xid(fenetre), place.x, place.y,
                          static_cast<unsigned>(place.w), static_cast<unsigned>(place.h));
        XFlush(fl_display);
    }
}

cotes zone_de_travail(int x, int y) {
    fl_open_display();
    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_xywh(sx, sy, sw, sh, Fl::screen_num(x, y));
    cotes const ecran{sx, sy, sw, sh};
    Window const racine = RootWindow(fl_display, fl_screen);
    std::vector<long> const zones = cardinaux(racine, "_NET_WORKAREA");
    std::vector<long> const courant = cardinaux(racine, "_NET_CURRENT_DESKTOP");
    std::size_t const bureau = courant.empty() ? 0 : static_cast<std::size_t>(courant[0]);
    if (zones.size() < 4 * (bureau + 1)) {
        return ecran;
    }
    long const* z = &zones[4 * bureau];
    // La zone couvre tous les ecrans : sa part sur celui-ci.
    int const x0 = std::max<long>(ecran.x, z[0]), y0 = std::max<long>(ecran.y, z[1]);
    int const x1 = std::min<long>(ecran.x + ecran.w, z[0] + z[2]);
    int const y1 = std::min<long>(ecran.y + ecran.h, z[1] + z[3]);
    if (x1 <= x0 || y1 <= y0) {
        return ecran;
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

bool gestionnaire_present() {
    fl_open_display();
    Window const racine = RootWindow(fl_display, fl_screen);
    std::vector<long> const w = cardinaux(racine, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (w.empty()) {
        return false;
    }
    // La fenetre de controle se nomme elle-meme : sinon, un reste d'un gestionnaire
    // arrete, dont la fenetre peut ne plus exister (l'erreur du serveur est tue).
    XSync(fl_display, False);
    auto const avant = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    std::vector<long> const soi =
        cardinaux(static_cast<Window>(w[0]), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    XSync(fl_display, False);
    XSetErrorHandler(avant);
    return !soi.empty() && soi[0] == w[0];
}

decorations decorations_de(Fl_Window* fenetre) {
    fl_open_display();
    if (fenetre == nullptr || !fenetre->shown()) {
        return {};
    }
    return decorations_lues(fl_xid(fenetre));
}

decorations decorations_prevues() {
    fl_open_display();
    return demande_decorations();
}

void bureau_fenetres::rejoint(Fl_Window* fenetre, sorte_fenetre sorte, int largeur_min,
                              int hauteur_min) {
    if (connait(fenetre)) {
        return;
    }
    // Avant l'inscription : sa taille est encore la taille concue.
    liste_.push_back({fenetre, sorte, fenetre->w(), fenetre->h(), largeur_min, hauteur_min});
    zoom_.inscrit(fenetre);
    borne(liste_.back(), zoom_.facteur());
}

bool bureau_fenetres::connait(Fl_Window const* fenetre) const {
    return std::any_of(liste_.begin(), liste_.end(),
                       [&](connue const& c) { return c.fenetre == fenetre; });
}

sorte_fenetre bureau_fenetres::sorte(Fl_Window const* fenetre) const {
    for (connue const& c : liste_) {
        if (c.fenetre == fenetre) {
            return c.sorte;
        }
    }
    return sorte_fenetre::principale;
}

bool bureau_fenetres::autre_montree() const {
    return std::any_of(liste_.begin(), liste_.end(), [](connue const& c) {
        return c.sorte != sorte_fenetre::principale && c.fenetre->visible();
    });
}

void bureau_fenetres::borne(connue const& c, double f) const {
    int const w = longueur_a_l_echelle(c.largeur, f), h = longueur_a_l_echelle(c.hauteur, f);
    if (c.largeur_min > 0 || c.hauteur_min > 0) {
        c.fenetre->size_range(longueur_a_l_echelle(std::max(1, c.largeur_min), f),
                              longueur_a_l_echelle(std::max(1, c.hauteur_min), f));
    } else {
        c.fenetre->size_range(w, h, w, h);
    }
}

decorations bureau_fenetres::bords() {
    if (!prevues_) {
        prevues_ = decorations_prevues();
    }
    // Une fenetre de taille fixe peut avoir des bords plus minces : le plus epais compte.
    decorations d = *prevues_;
    if (!liste_.empty()) {
        decorations const lues = decorations_de(liste_.front().fenetre);
        d = {std::max(d.gauche, lues.gauche), std::max(d.droite, lues.droite),
             std::max(d.haut, lues.haut), std::max(d.bas, lues.bas)};
    }
    return d;
}

void bureau_fenetres::note_deplacements() {
    // Juste apres une pose, le gestionnaire la montre encore en chemin (cadre
    // ajoute, place de la premiere ouverture) : rien de l'etudiant.
    auto const recente = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    for (connue& c : liste_) {
        // Ailleurs que la ou on l'a mise : l'etudiant l'a deplacee, elle y reste.
        if (c.donnee && c.donnee_a < recente &&
            (c.fenetre->x() != c.place_donnee.x || c.fenetre->y() != c.place_donnee.y)) {
            c.posee = true;
            c.place_posee = {c.fenetre->x(), c.fenetre->y(), c.fenetre->w(), c.fenetre->h()};
        }
    }
}

cotes bureau_fenetres::zone() const {
    Fl_Window* principale = liste_.empty() ? nullptr : liste_.front().fenetre;
    return principale != nullptr && principale->shown()
               ? zone_de_travail(principale->x(), principale->y())
               : zone_de_travail();
}

std::vector<cotes> bureau_fenetres::places(Fl_Window const* a_montrer) {
    std::vector<fenetre_a_placer> f;
    for (connue const& c : liste_) {
        f.push_back({c.sorte, c.largeur, c.hauteur, c.largeur_min, c.hauteur_min,
                     c.fenetre == a_montrer || c.fenetre->visible() != 0, c.posee, c.place_posee});
    }
    return place_fenetres(zone(), bords(), zoom_.facteur(), f);
}

void bureau_fenetres::pose(connue& c, cotes const& place) {
    pose_fenetre(c.fenetre, place);
    c.donnee = true;
    c.place_donnee = place;
    c.donnee_a = std::chrono::steady_clock::now();
}

void bureau_fenetres::montre(Fl_Window* fenetre) {
    auto const i = std::find_if(liste_.begin(), liste_.end(),
                                [&](connue const& c) { return c.fenetre == fenetre; });
    if (i == liste_.end() || (fenetre->shown() && fenetre->visible())) {
        fenetre->show();
        return;
    }
    note_deplacements();
    cotes const place = places(fenetre)[static_cast<std::size_t>(i - liste_.begin())];
    // Posee avant show() : le gestionnaire recoit la place demandee.
    fenetre->resize(place.x, place.y, place.w, place.h);
    fenetre->show();
    zoom_.montree(fenetre);
    pose(*i, place);
}

void bureau_fenetres::montree(Fl_Window* fenetre) {
    zoom_.montree(fenetre);
    auto const i = std::find_if(liste_.begin(), liste_.end(),
                                [&](connue const& c) { return c.fenetre == fenetre; });
    if (i != liste_.end()) {
        note_deplacements();
        pose(*i, places(fenetre)[static_cast<std::size_t>(i - liste_.begin())]);
    }
}

double bureau_fenetres::applique_zoom(double demande) {
    std::vector<cotes> tailles;
    for (connue const& c : liste_) {
        // Qui retrecit doit tenir a son minimum ; les autres, a leur taille.
        tailles.push_back({0, 0, c.largeur_min > 0 ? c.largeur_min : c.largeur,
                           c.hauteur_min > 0 ? c.hauteur_min : c.hauteur});
    }
    double const facteur = zoom_qui_tient(demande, zone(), bords(), tailles);
    if (facteur == zoom_.facteur()) {
        return facteur;
    }
    // Les deplacements de l'etudiant notes avant que les tailles changent.
    note_deplacements();
    // Avant le resize : sinon les anciennes indications gardent l'ancienne taille.
    for (connue const& c : liste_) {
        borne(c, facteur);
    }
    // Le zoom garde les coins (et remet sur l'ecran) : rien de cela n'est un
    // deplacement de l'etudiant, les places suivent.
    zoom_.applique(facteur);
    std::vector<cotes> const p = places(nullptr);
    for (std::size_t i = 0; i < liste_.size(); ++i) {
        if (liste_[i].fenetre->shown() && liste_[i].fenetre->visible()) {
            pose(liste_[i], p[i]);
        }
    }
    return facteur;
}
