// Mecanique du banc du vrai programme : processus, serveur X a nous, clients X,
// captures lues en PPM, journal de la sortie d'erreur.
#include "banc_reel.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace banc_reel {

namespace {

constexpr auto pas_attente = 50ms; // intervalle des sondages
constexpr int essais_x = 10;       // connexions refusees toleres d'affilee

// Sortie standard entiere d'une commande, octets compris.
int lit_commande(std::string const& commande, std::string& sortie) {
    sortie.clear();
    std::FILE* flux = popen(commande.c_str(), "r");
    if (flux == nullptr) {
        return -1;
    }
    char tampon[65536];
    std::size_t lus = 0;
    while ((lus = std::fread(tampon, 1, sizeof tampon, flux)) > 0) {
        sortie.append(tampon, lus);
    }
    int const statut = pclose(flux);
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
}

// Lance Xvfb sur l'affichage n et attend qu'il accepte des clients ; faux s'il
// ne demarre pas (numero pris entre-temps, par exemple).
bool lance_xvfb(processus& serveur, int n, std::string const& ecran) {
    int tube[2];
    if (pipe(tube) != 0) {
        return false;
    }
    std::string const nom = ":" + std::to_string(n);
    pid_t const pid = fork();
    if (pid == 0) {
        close(tube[0]);
        int const nul = open("/dev/null", O_WRONLY);
        dup2(nul, 1);
        dup2(nul, 2);
        std::string const fd = std::to_string(tube[1]);
        std::string const taille = ecran + "x24";
        execlp("Xvfb", "Xvfb", nom.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
               taille.c_str(), "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(tube[1]);
    if (pid < 0) {
        close(tube[0]);
        return false;
    }
    serveur.adopte(pid);
    // Le serveur ecrit son numero quand il est pret ; la fin du tube sans numero
    // veut dire qu'il s'est arrete.
    std::string lu;
    pollfd attente = {tube[0], POLLIN, 0};
    char c;
    while (poll(&attente, 1, 15000) > 0 && read(tube[0], &c, 1) == 1 && c != '\n') {
        lu += c;
    }
    close(tube[0]);
    if (lu == std::to_string(n)) {
        return true;
    }
    serveur.termine();
    return false;
}

// Un numero libre choisi ici : laisse chercher, le serveur retirerait en essayant
// les numeros les prises des serveurs vivants et couperait les autres suites.
std::string demarre_xvfb(processus& serveur, std::string const& ecran) {
    int const depart = 300 + static_cast<int>(getpid() % 400);
    for (int n = depart; n < depart + 50; ++n) {
        std::string const verrou = "/tmp/.X" + std::to_string(n) + "-lock";
        std::string const prise = "/tmp/.X11-unix/X" + std::to_string(n);
        if (access(verrou.c_str(), F_OK) == 0 || access(prise.c_str(), F_OK) == 0) {
            continue;
        }
        if (lance_xvfb(serveur, n, ecran)) {
            return ":" + std::to_string(n);
        }
    }
    return "";
}

// Le programme sur l'affichage courant, avec ces arguments, sa sortie d'erreur
// dans le journal.
pid_t lance_karvela(std::string const& journal, std::vector<std::string> arguments) {
    std::vector<char*> ligne = {const_cast<char*>(KARVELA_BINAIRE)};
    for (std::string& a : arguments) {
        ligne.push_back(&a[0]);
    }
    ligne.push_back(nullptr);
    pid_t const pid = fork();
    if (pid == 0) {
        int const sortie_erreur = open(journal.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(sortie_erreur, 2);
        // Lance hors de ctest aussi : memes suppressions de fuites que la suite.
        setenv("LSAN_OPTIONS", "suppressions=" KARVELA_SOURCE "/tests/lsan.supp", 0);
        // Ses copies de secours a cote du journal, jamais chez l'utilisateur (sauf si
        // le test en a choisi le dossier).
        setenv("XDG_STATE_HOME", (journal + ".etat").c_str(), 0);
        execv(KARVELA_BINAIRE, ligne.data());
        _exit(127);
    }
    return pid;
}

std::string contenu(std::string const& chemin) {
    std::ifstream f(chemin);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::string> lignes(std::string const& texte) {
    std::vector<std::string> l;
    std::istringstream flux(texte);
    std::string ligne;
    while (std::getline(flux, ligne)) {
        if (!ligne.empty()) {
            l.push_back(ligne);
        }
    }
    return l;
}

// Image d'un PPM binaire (P6, 8 bits) ; vide si le texte n'en est pas un.
image lit_ppm(std::string const& ppm) {
    std::istringstream flux(ppm);
    std::string magique;
    int largeur = 0, hauteur = 0, maximum = 0;
    flux >> magique >> largeur >> hauteur >> maximum;
    if (!flux || magique != "P6" || maximum != 255 || largeur <= 0 || hauteur <= 0) {
        return {};
    }
    flux.get(); // le blanc unique avant les octets
    std::size_t const debut = static_cast<std::size_t>(flux.tellg());
    std::size_t const taille = static_cast<std::size_t>(largeur) * hauteur * 3;
    if (ppm.size() < debut + taille) {
        return {};
    }
    return image(largeur, hauteur,
                 std::vector<unsigned char>(ppm.begin() + static_cast<long>(debut),
                                            ppm.begin() + static_cast<long>(debut + taille)));
}

// Texte entre apostrophes pour le shell (les chemins et textes tapes n'en ont pas).
std::string cite(std::string const& texte) {
    std::string cite = "'";
    for (char c : texte) {
        cite += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return cite + "'";
}

} // namespace

std::ostream& operator<<(std::ostream& os, couleur const& c) {
    return os << c.r << ',' << c.g << ',' << c.b;
}

image::image(int largeur, int hauteur, std::vector<unsigned char> octets)
    : largeur_(largeur), hauteur_(hauteur), octets_(std::move(octets)) {}

couleur image::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= largeur_ || y >= hauteur_) {
        return {-1, -1, -1};
    }
    std::size_t const i = (static_cast<std::size_t>(y) * largeur_ + x) * 3;
    return {octets_[i], octets_[i + 1], octets_[i + 2]};
}

image image::recadre(rectangle const& r) const {
    if (r.x < 0 || r.y < 0 || r.w <= 0 || r.h <= 0 || r.x + r.w > largeur_ ||
        r.y + r.h > hauteur_) {
        return {};
    }
    std::vector<unsigned char> octets;
    octets.reserve(static_cast<std::size_t>(r.w) * r.h * 3);
    for (int y = r.y; y < r.y + r.h; ++y) {
        auto const debut = octets_.begin() + (static_cast<long>(y) * largeur_ + r.x) * 3;
        octets.insert(octets.end(), debut, debut + static_cast<long>(r.w) * 3);
    }
    return image(r.w, r.h, std::move(octets));
}

int image::compte(couleur const& c) const {
    int n = 0;
    for (int y = 0; y < hauteur_; ++y) {
        for (int x = 0; x < largeur_; ++x) {
            n += pixel(x, y) == c ? 1 : 0;
        }
    }
    return n;
}

bool image::operator==(image const& autre) const {
    return largeur_ == autre.largeur_ && hauteur_ == autre.hauteur_ && octets_ == autre.octets_;
}

bool image::enregistre_png(std::string const& chemin) const {
    std::string const ppm = chemin + ".ppm";
    {
        std::ofstream f(ppm, std::ios::binary);
        f << "P6\n" << largeur_ << ' ' << hauteur_ << "\n255\n";
        f.write(reinterpret_cast<char const*>(octets_.data()),
                static_cast<std::streamsize>(octets_.size()));
    }
    bool const ok = execute("convert " + cite(ppm) + " " + cite(chemin)) == 0;
    std::remove(ppm.c_str());
    return ok;
}

void PrintTo(image const& i, std::ostream* os) {
    *os << "image " << i.largeur() << 'x' << i.hauteur();
}

int execute(std::string const& commande, std::string* sortie) {
    std::string texte;
    int const statut = lit_commande(commande, texte);
    if (sortie != nullptr) {
        *sortie = texte;
    }
    return statut;
}

int execute_x(std::string const& commande, std::string* sortie) {
    std::string texte;
    int statut = -1;
    for (int essai = 0; essai < essais_x; ++essai) {
        statut = execute(commande + " 2>&1", &texte);
        bool const refuse = texte.find("open display") != std::string::npos ||
                            texte.find("unable to open X server") != std::string::npos;
        if (statut == 0 || !refuse) {
            break;
        }
        std::this_thread::sleep_for(pas_attente);
    }
    if (sortie != nullptr) {
        *sortie = texte;
    }
    return statut;
}

processus::~processus() {
    termine();
}

int processus::attend_fin(std::chrono::milliseconds delai) {
    auto const limite = std::chrono::steady_clock::now() + delai;
    while (pid_ > 0) {
        int statut = 0;
        if (waitpid(pid_, &statut, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut);
        }
        if (std::chrono::steady_clock::now() >= limite) {
            return -1;
        }
        std::this_thread::sleep_for(pas_attente);
    }
    return -1;
}

// SIGTERM d'abord : Xvfb retire alors son verrou et sa prise.
void processus::termine() {
    if (pid_ <= 0) {
        return;
    }
    kill(pid_, SIGTERM);
    if (attend_fin(5s) < 0 && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

geometrie geometrie_de(std::string const& fenetre) {
    std::string sortie;
    geometrie g;
    if (execute_x("xwininfo -id " + fenetre, &sortie) != 0) {
        return g;
    }
    for (std::string const& ligne : lignes(sortie)) {
        std::sscanf(ligne.c_str(), " Absolute upper-left X: %d", &g.x);
        std::sscanf(ligne.c_str(), " Absolute upper-left Y: %d", &g.y);
        std::sscanf(ligne.c_str(), " Width: %d", &g.w);
        std::sscanf(ligne.c_str(), " Height: %d", &g.h);
        if (ligne.find("Map State: IsViewable") != std::string::npos) {
            g.visible = true;
        }
    }
    return g;
}

// Lignes de texte d'une alerte : suites de rangees ou passe de l'encre, entre
// l'icone (10, 10, 50 x 50) et la rangee du bouton.
int lignes_de_texte(image const& alerte) {
    int lignes = 0;
    bool dans_ligne = false;
    for (int y = 0; y < alerte.hauteur() - 40; ++y) {
        bool encre = false;
        for (int x = 70; x < alerte.largeur() - 10 && !encre; ++x) {
            couleur const c = alerte.pixel(x, y);
            encre = c.r + c.g + c.b < 200;
        }
        lignes += encre && !dans_ligne ? 1 : 0;
        dans_ligne = encre;
    }
    return lignes;
}

int ligne_marquee(image const& fenetre_principale) {
    for (int n = 1; n <= 12; ++n) {
        // Bout droit de la ligne : le texte n'y va jamais, seul le fond s'y voit.
        rectangle const ligne = disposition::desa(n);
        if (fenetre_principale.pixel(ligne.x + ligne.w - 3, ligne.centre_y()) == orange_174) {
            return n;
        }
    }
    return 0;
}

void banc::SetUp() {
    std::string const affichage = demarre_xvfb(serveur, ecran);
    ASSERT_FALSE(affichage.empty()) << "Xvfb n'a pas demarre";
    setenv("DISPLAY", affichage.c_str(), 1);
    if (avec_openbox) {
        char const* const ligne[] = {"openbox", "--sm-disable", nullptr};
        pid_t pid = -1;
        posix_spawnp(&pid, "openbox", nullptr, nullptr, const_cast<char**>(ligne), environ);
        gestionnaire.adopte(pid);
        // Pret quand il a pose sa fenetre de controle sur la racine.
        std::string controle;
        for (int essai = 0; essai < 200 && controle.find("window id") == std::string::npos;
             ++essai, std::this_thread::sleep_for(50ms)) {
            execute_x("xprop -root _NET_SUPPORTING_WM_CHECK", &controle);
        }
        ASSERT_NE(controle.find("window id"), std::string::npos) << "openbox (scripts/setup tests)";
    }

    chemin_journal = testing::TempDir() + "karvela_reel_" + std::to_string(getpid()) + ".err";
    // Relance seulement si le programme n'a pas pu joindre le serveur (voir execute_x).
    for (int lancement = 0; lancement < 5 && fenetre.empty(); ++lancement) {
        karvela.adopte(lance_karvela(chemin_journal, arguments));
        auto const limite = std::chrono::steady_clock::now() + 30s;
        while (fenetre.empty() && std::chrono::steady_clock::now() < limite) {
            std::string trouve;
            if (execute_x("xdotool search --onlyvisible --name '^Machine a pile$'", &trouve) == 0) {
                fenetre = trouve.substr(0, trouve.find('\n'));
            } else if (karvela.attend_fin(200ms) >= 0) {
                break;
            }
        }
        if (fenetre.empty() && journal().find("open display") == std::string::npos) {
            break;
        }
    }
    ASSERT_FALSE(fenetre.empty()) << "pas de fenetre \"Machine a pile\" ; journal :\n" << journal();
    origine = geometrie_de(fenetre);
    ASSERT_EQ(origine.w, std::lround(650 * zoom_lance));
    ASSERT_EQ(origine.h, std::lround(695 * zoom_lance));
    // Plus grande que l'ecran, la fenetre ne se capture pas.
    if (zoom_lance != 1) {
        return;
    }
    // Premiere image complete : la derniere ligne du dump est dessinee.
    ASSERT_TRUE(attend([](image const& i) {
        return i.pixel(disposition::dump(12).x + 1, disposition::dump(12).centre_y()) == blanc_255;
    })) << "fenetre jamais dessinee";
    demarrage = capture();
}

void banc::TearDown() {
    if (karvela.vivant() && HasFailure()) {
        std::cerr << "ecran au moment de l'echec : " << garde_capture("echec") << '\n';
    }
    if (HasFailure()) {
        std::cerr << "journal de karvela :\n" << journal();
    }
    karvela.termine();
    gestionnaire.termine();
    serveur.termine();
    std::remove(chemin_journal.c_str());
    std::error_code e;
    std::filesystem::remove_all(chemin_journal + ".etat", e);
    if (!HasFailure()) {
        for (std::string const& chemin : captures_gardees) {
            std::remove(chemin.c_str());
        }
    }
}

void banc::clic(int x, int y) {
    clic_dans(fenetre, x, y);
}

// Sans --sync : xdotool attendrait en vain un mouvement quand le pointeur est deja
// la (deux STEP de suite) ; le serveur traite de toute facon le deplacement avant le clic.
void banc::clic_dans(std::string const& f, int x, int y) {
    EXPECT_EQ(execute_x("xdotool mousemove --window " + f + " " + std::to_string(x) + " " +
                        std::to_string(y) + " click 1"),
              0)
        << "clic en " << x << ',' << y << " de la fenetre " << f;
}

// Glisser comme une main : appui, quelques pas, lacher. Un saut d'un seul
// mouvement juste apres l'appui n'est pas toujours suivi par la glissiere.
void banc::glisse(int x0, int y0, int x1, int y1) {
    constexpr int pas = 5;
    std::string const w = " --window " + fenetre + " ";
    std::string commande = "xdotool mousemove" + w + std::to_string(x0) + " " + std::to_string(y0) +
                           " mousedown 1 sleep 0.1";
    for (int i = 1; i <= pas; ++i) {
        commande += " mousemove" + w + std::to_string(x0 + (x1 - x0) * i / pas) + " " +
                    std::to_string(y0 + (y1 - y0) * i / pas) + " sleep 0.05";
    }
    commande += " mouseup 1";
    EXPECT_EQ(execute_x(commande), 0)
        << "glisse de " << x0 << ',' << y0 << " a " << x1 << ',' << y1;
}

void banc::tape(std::string const& texte) {
    EXPECT_EQ(execute_x("xdotool type --delay 15 -- " + cite(texte)), 0) << "frappe de " << texte;
}

void banc::touche(std::string const& nom) {
    EXPECT_EQ(execute_x("xdotool key --delay 15 " + nom), 0) << "touche " << nom;
}

void banc::touche_dans(std::string const& f, std::string const& nom) {
    EXPECT_EQ(execute_x("xdotool mousemove --window " + f + " 20 20 key " + nom), 0)
        << "touche " << nom << " dans la fenetre " << f;
}

void banc::remplit_champ(rectangle const& champ, std::string const& texte) {
    clic(champ);
    touche("ctrl+a BackSpace");
    if (!texte.empty()) {
        tape(texte);
    }
}

image banc::capture_ecran() {
    std::string ppm;
    for (int essai = 0; essai < essais_x; ++essai) {
        if (execute("import -window root -depth 8 ppm:- 2>/dev/null", &ppm) == 0) {
            image i = lit_ppm(ppm);
            if (!i.vide()) {
                return i;
            }
        }
        std::this_thread::sleep_for(pas_attente);
    }
    ADD_FAILURE() << "capture de l'ecran impossible";
    return {};
}

image banc::capture() {
    return capture_ecran().recadre({origine.x, origine.y, origine.w, origine.h});
}

couleur banc::pixel(int x, int y) {
    return capture().pixel(x, y);
}

bool banc::attend(std::function<bool(image const&)> const& condition,
                  std::chrono::milliseconds delai) {
    auto const limite = std::chrono::steady_clock::now() + delai;
    for (;;) {
        if (condition(capture())) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= limite) {
            return false;
        }
        std::this_thread::sleep_for(pas_attente);
    }
}

couleur banc::attend_pixel(int x, int y, couleur const& voulue) {
    couleur lue;
    attend([&](image const& i) {
        lue = i.pixel(x, y);
        return lue == voulue;
    });
    return lue;
}

image banc::attend_changement(rectangle const& r, image const& avant) {
    image lue;
    attend([&](image const& i) {
        lue = i.recadre(r);
        return lue != avant;
    });
    return lue;
}

image banc::zone_stable(rectangle const& r) {
    image precedente = zone(r);
    image lue;
    attend([&](image const& i) {
        lue = i.recadre(r);
        bool const stable = lue == precedente;
        precedente = lue;
        return stable;
    });
    return lue;
}

image banc::image_de(std::string const& f) {
    geometrie const g = geometrie_de(f);
    rectangle const r{g.x, g.y, g.w, g.h};
    image precedente;
    auto const limite = std::chrono::steady_clock::now() + delai_attente;
    for (;;) {
        image const lue = capture_ecran().recadre(r);
        if (!lue.vide() && lue.pixel(2, 2) != couleur{0, 0, 0} && lue == precedente) {
            return lue;
        }
        if (std::chrono::steady_clock::now() >= limite) {
            return {};
        }
        precedente = lue;
        std::this_thread::sleep_for(pas_attente);
    }
}

std::string banc::garde_capture(std::string const& nom) {
    std::string const chemin = testing::TempDir() + "karvela_reel_" + std::to_string(getpid()) +
                               "_" + std::to_string(++numero_capture) + "_" + nom + ".png";
    image const i = capture_ecran();
    if (i.vide() || !i.enregistre_png(chemin)) {
        return "(capture impossible)";
    }
    captures_gardees.push_back(chemin);
    return chemin;
}

std::string banc::journal() const {
    return contenu(chemin_journal);
}

int banc::nb_lignes_journal(std::string const& ligne) const {
    std::vector<std::string> const l = lignes(journal());
    return static_cast<int>(std::count(l.begin(), l.end(), ligne));
}

bool banc::attend_ligne_journal(std::string const& ligne, int occurrences) {
    auto const limite = std::chrono::steady_clock::now() + delai_attente;
    while (nb_lignes_journal(ligne) < occurrences) {
        if (std::chrono::steady_clock::now() >= limite) {
            return false;
        }
        std::this_thread::sleep_for(pas_attente);
    }
    return true;
}

// Le dump avance d'une ligne puis revient : rien ne change dans la machine et,
// a la fin, rien a l'ecran (le focus finit toujours sur la meme fleche pour le
// meme depart). En 0, la fleche du haut ne bougerait pas : on descend d'abord ;
// ailleurs on monte d'abord (en 65440, celle du bas ne bougerait pas).
bool banc::barriere() {
    namespace d = disposition;
    image const avant = capture();
    bool const en_0 = avant.recadre(d::adresse_dump(1)) == demarrage.recadre(d::adresse_dump(1));
    clic(en_0 ? d::dump_d : d::dump_u);
    bool const bouge = attend([&](image const& i) {
        return en_0 ? i.recadre(d::dump(1)) == avant.recadre(d::dump(2))
                    : i.recadre(d::dump(2)) == avant.recadre(d::dump(1));
    });
    clic(en_0 ? d::dump_u : d::dump_d);
    return bouge && attend([&](image const& i) {
               return i.recadre(d::cadre_dump) == avant.recadre(d::cadre_dump);
           });
}

bool banc::fenetre_repond() {
    namespace d = disposition;
    image const avant = capture();
    clic(d::dump_d);
    bool const descend =
        attend([&](image const& i) { return i.recadre(d::dump(1)) == avant.recadre(d::dump(2)); });
    clic(d::dump_u);
    return descend && attend([&](image const& i) {
               return i.recadre(d::cadre_dump) == avant.recadre(d::cadre_dump);
           });
}

std::vector<std::string> banc::fenetres_visibles() {
    std::string sortie;
    // Statut 1 : aucune fenetre ; les menus deroulants n'ont pas la classe du
    // programme (karvela, dialogues de la boite a outils compris).
    execute_x("xdotool search --onlyvisible --classname '^karvela$'", &sortie);
    std::vector<std::string> ids;
    for (std::string const& ligne : lignes(sortie)) {
        if (ligne.find_first_not_of("0123456789") == std::string::npos) {
            ids.push_back(ligne);
        }
    }
    return ids;
}

std::string banc::attend_fenetre(std::string const& titre) {
    auto const limite = std::chrono::steady_clock::now() + delai_attente;
    for (;;) {
        std::string trouve;
        if (execute_x("xdotool search --onlyvisible --name " + cite("^" + titre + "$"), &trouve) ==
            0) {
            return trouve.substr(0, trouve.find('\n'));
        }
        if (std::chrono::steady_clock::now() >= limite) {
            return "";
        }
        std::this_thread::sleep_for(pas_attente);
    }
}

std::string banc::attend_nouvelle_fenetre(std::vector<std::string> const& avant) {
    auto const limite = std::chrono::steady_clock::now() + delai_attente;
    for (;;) {
        for (std::string const& id : fenetres_visibles()) {
            if (id != fenetre && std::find(avant.begin(), avant.end(), id) == avant.end()) {
                return id;
            }
        }
        if (std::chrono::steady_clock::now() >= limite) {
            return "";
        }
        std::this_thread::sleep_for(pas_attente);
    }
}

bool banc::attend_fermeture(std::string const& f) {
    auto const limite = std::chrono::steady_clock::now() + delai_attente;
    for (;;) {
        std::vector<std::string> const v = fenetres_visibles();
        if (std::find(v.begin(), v.end(), f) == v.end()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= limite) {
            return false;
        }
        std::this_thread::sleep_for(pas_attente);
    }
}

void banc::menu_fichier(entree_fichier entree) {
    image const ferme = zone(disposition::menu_deroule);
    clic(disposition::menu_fichier);
    // Le menu s'ouvre sous le bouton : on attend de le voir avant d'y cliquer.
    EXPECT_NE(attend_changement(disposition::menu_deroule, ferme), ferme)
        << "le menu Fichier ne s'ouvre pas";
    int const y = entree == entree_fichier::a_propos ? disposition::y_entree_a_propos
                  : entree == entree_fichier::ouvrir ? disposition::y_entree_ouvrir
                                                     : disposition::y_entree_quitter;
    clic(disposition::x_entree_menu, y);
}

void banc::ecrit_memoire(std::string const& adresse, std::string const& valeur,
                         std::string const& nombre) {
    remplit_champ(disposition::adresse_select, adresse);
    remplit_champ(disposition::valeur_select, valeur);
    remplit_champ(disposition::multiplicateur_select, nombre);
    clic(disposition::valid_mem);
}

// Le champ du selecteur change de dossier a chaque "/" tape et se reecrit alors :
// tape sur un dossier courant, le premier "/" mene a la liste des systemes de
// fichiers et vide le champ. On y passe donc d'abord ; de la, un chemin absolu tape
// d'un trait reste tel quel.
std::string banc::tape_dans_selecteur(std::string const& chemin) {
    menu_fichier(entree_fichier::ouvrir);
    std::string const s = attend_fenetre(selecteur::titre);
    EXPECT_FALSE(s.empty()) << "pas de selecteur de fichiers";
    if (s.empty()) {
        return s;
    }
    geometrie const g = geometrie_de(s);
    EXPECT_EQ(execute_x("xdotool mousemove --window " + s + " " + std::to_string(g.w / 2) + " " +
                        std::to_string(g.h / 2)),
              0);
    touche("ctrl+a BackSpace slash ctrl+a BackSpace");
    tape(chemin);
    return s;
}

int banc::quitte() {
    menu_fichier(entree_fichier::quitter);
    return karvela.attend_fin(20s);
}

} // namespace banc_reel
