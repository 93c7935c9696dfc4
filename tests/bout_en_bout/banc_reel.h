// Banc du vrai programme : chaque test a son propre Xvfb (les autres suites
// graphiques dessinent sur l'affichage commun et s'y croiseraient avec nos clics),
// y lance karvela avec sa sortie d'erreur dans un journal, le pilote par de vrais
// clics et de vraies frappes (xdotool) et le lit sur des captures de l'ecran
// (import d'ImageMagick).
// Invariants : les coordonnees des aides sont celles de la fenetre principale sauf
// mention contraire ; toute attente a un delai et finit sur un echec lisible, jamais
// sur un blocage ; le programme et le serveur sont tues a la fin du test s'ils vivent.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

namespace banc_reel {

using namespace std::chrono_literals;

// Delai d'une attente : large, car ctest fait tourner deux suites a la fois sur deux
// coeurs et le programme tourne sous les sanitizers ; on ne l'atteint qu'en echec.
constexpr std::chrono::milliseconds delai_attente = 10s;

struct couleur {
    int r = 0, g = 0, b = 0;
    bool operator==(couleur const& c) const { return r == c.r && g == c.g && b == c.b; }
    bool operator!=(couleur const& c) const { return !(*this == c); }
};
std::ostream& operator<<(std::ostream& os, couleur const& c);

// Couleurs de la table de la boite a outils, telles que mesurees a l'ecran.
constexpr couleur orange_174{255, 218, 127}; // case de pile occupee, ligne du PC
constexpr couleur blanc_255{255, 255, 255};  // autres lignes et cases
constexpr couleur rouge_88{255, 0, 0};       // bit de port en sortie
constexpr couleur vert_63{0, 255, 0};        // bit de port en entree
constexpr couleur bleu_alerte{0, 0, 255};    // point d'exclamation d'une alerte

struct rectangle {
    int x = 0, y = 0, w = 0, h = 0;
    int centre_x() const { return x + w / 2; }
    int centre_y() const { return y + h / 2; }
};

// Image RGB 8 bits, lue sur l'ecran.
class image {
  public:
    image() = default;
    image(int largeur, int hauteur, std::vector<unsigned char> octets);
    int largeur() const { return largeur_; }
    int hauteur() const { return hauteur_; }
    bool vide() const { return largeur_ == 0 || hauteur_ == 0; }
    couleur pixel(int x, int y) const;
    // Partie de l'image ; vide si le rectangle deborde.
    image recadre(rectangle const& r) const;
    int compte(couleur const& c) const;
    bool operator==(image const& autre) const;
    bool operator!=(image const& autre) const { return !(*this == autre); }
    bool enregistre_png(std::string const& chemin) const;

  private:
    int largeur_ = 0, hauteur_ = 0;
    std::vector<unsigned char> octets_;
};
// Pour les messages de gtest : la taille, pas les octets.
void PrintTo(image const& i, std::ostream* os);

// Commande shell : statut de sortie et sortie standard.
int execute(std::string const& commande, std::string* sortie = nullptr);
// Client X (xdotool, xwininfo, import) : le serveur refuse parfois une connexion
// quand beaucoup de clients s'y succedent ; on reessaie alors, et seulement alors.
int execute_x(std::string const& commande, std::string* sortie = nullptr);

// Processus fils du test, termine a la destruction s'il vit encore.
class processus {
  public:
    processus() = default;
    processus(processus const&) = delete;
    processus& operator=(processus const&) = delete;
    ~processus();
    void adopte(pid_t pid) { pid_ = pid; }
    bool vivant() const { return pid_ > 0; }
    // Statut de sortie (128 + signal si tue), ou -1 s'il vit encore apres le delai.
    int attend_fin(std::chrono::milliseconds delai);
    void termine();
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
};

struct geometrie {
    int x = 0, y = 0, w = 0, h = 0;
    bool visible = false;
};
geometrie geometrie_de(std::string const& fenetre);

// Positions de la fenetre principale (x, y, largeur, hauteur).
namespace disposition {
constexpr rectangle menu_fichier{20, 10, 70, 20};
// Entrees du menu deroule sous "Fichier", mesurees sur une capture.
constexpr int x_entree_menu = 60;
constexpr int y_entree_a_propos = 42;
constexpr int y_entree_ouvrir = 62;
constexpr int y_entree_quitter = 82;
constexpr rectangle menu_deroule{20, 30, 158, 66};

constexpr rectangle b_reset{20, 360, 40, 40};
constexpr rectangle b_stop{60, 360, 40, 40};
constexpr rectangle b_play{100, 360, 40, 40};
constexpr rectangle b_step{140, 360, 40, 40};
constexpr rectangle b_aide{570, 11, 70, 12};
constexpr rectangle choix_vitesse{346, 8, 58, 24}; // "Vitesse", dans la barre du haut

constexpr rectangle reg_a_hex{30, 99, 69, 21};
constexpr rectangle reg_a_bin{30, 130, 70, 20};
constexpr rectangle reg_x_hex{414, 99, 69, 21};
constexpr rectangle reg_x_dec{413, 130, 70, 20};
constexpr rectangle reg_pc_hex{533, 99, 69, 21};
constexpr rectangle reg_pc_dec{532, 130, 70, 20};
constexpr rectangle panneau_registres{20, 60, 610, 100};

// Case k de la pile (0 en bas), ligne n (1 en haut) du desassemblage et du dump.
constexpr rectangle pile(int k) {
    return {220, 650 - 20 * k, 105, 20};
}
constexpr rectangle desa(int n) {
    return {40, 410 + 20 * n, 150, 20};
}
constexpr rectangle dump(int n) {
    return {350, 410 + 20 * n, 260, 20};
}
// L'adresse en tete d'une ligne du dump, sans ses octets.
constexpr rectangle adresse_dump(int n) {
    return {350, 410 + 20 * n, 40, 20};
}
// Les huit octets d'une ligne du dump, sans son adresse (quatre caracteres au plus,
// finis avant 40 pixels) : deux lignes aux memes octets ont alors la meme image.
constexpr rectangle octets_dump(int n) {
    return {390, 410 + 20 * n, 220, 20};
}
constexpr rectangle colonne_pile{210, 340, 125, 340};
constexpr rectangle cadre_desassemblage{30, 420, 170, 260};
constexpr rectangle cadre_dump{345, 420, 265, 260};

constexpr rectangle desa_u{10, 420, 20, 20};
constexpr rectangle desa_pc{9, 443, 20, 19};
constexpr rectangle desa_d{10, 465, 20, 19};
constexpr rectangle dump_u{610, 420, 20, 20};
constexpr rectangle dump_slide{610, 440, 20, 220};
constexpr rectangle dump_d{610, 660, 20, 20};

constexpr rectangle adresse_select{445, 347, 70, 25};
constexpr rectangle valeur_select{446, 375, 70, 25};
constexpr rectangle multiplicateur_select{533, 347, 70, 25};
constexpr rectangle valid_mem{535, 375, 70, 25};

// Un port : son texte de valeur sous son nom, ses huit boutons dessous, bit 7 a gauche.
struct port {
    int x, y;
    constexpr rectangle valeur() const { return {x, y + 20, 80, 20}; }
    constexpr rectangle bit(int n) const { return {x + 70 - 10 * n, y + 40, 10, 10}; }
};
constexpr port port_b{130, 200};
constexpr port port_c{220, 200};
constexpr port port_d{310, 200};
constexpr port port_e{40, 270};
constexpr rectangle ddrc{220, 290, 80, 20};
constexpr rectangle ddrd{310, 290, 80, 20};
constexpr rectangle cadre_ports{20, 185, 610, 145};
} // namespace disposition

// Le selecteur de fichiers (coordonnees du selecteur) et une alerte (a partir de
// son coin bas droit : le bouton "Fermer" y garde sa place quelle que soit la taille).
namespace selecteur {
constexpr char const* titre = "Choisissez un fichier binaire";
constexpr int x_annuler = 444;
constexpr int y_annuler = 356;
} // namespace selecteur
namespace bouton_fermer {
constexpr int depuis_droite = 57;
constexpr int depuis_bas = 24;
} // namespace bouton_fermer

// Numero (1 a 12) de la ligne du desassemblage sur fond orange, celle du PC ; 0 si aucune.
int ligne_marquee(image const& fenetre_principale);

// Lignes de texte d'une alerte, comptees sur son image.
int lignes_de_texte(image const& alerte);

enum class entree_fichier { a_propos, ouvrir, quitter };

// Un test : son serveur, le programme lance dessus, sa fenetre "Machine a pile".
class banc : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Souris et clavier. Sans gestionnaire de fenetres, les touches vont a la fenetre
    // sous le pointeur : on frappe apres un clic dans la fenetre visee, ou par touche_dans.
    void clic(int x, int y);
    void clic(rectangle const& r) { clic(r.centre_x(), r.centre_y()); }
    void clic_dans(std::string const& fenetre, int x, int y);
    void glisse(int x0, int y0, int x1, int y1);
    void tape(std::string const& texte);
    void touche(std::string const& nom);
    // Pointeur en (20, 20) de la fenetre, puis la touche.
    void touche_dans(std::string const& fenetre, std::string const& nom);
    // Clic dans un champ, tout son texte choisi, remplace par texte.
    void remplit_champ(rectangle const& champ, std::string const& texte);

    // Captures : l'ecran entier, ou la seule fenetre principale.
    image capture_ecran();
    image capture();
    image zone(rectangle const& r) { return capture().recadre(r); }
    couleur pixel(int x, int y);
    // Attend que la fenetre principale remplisse la condition ; faux au bout du delai.
    bool attend(std::function<bool(image const&)> const& condition,
                std::chrono::milliseconds delai = delai_attente);
    couleur attend_pixel(int x, int y, couleur const& voulue);
    // Attend que la zone differe de avant ; rend la zone lue en dernier.
    image attend_changement(rectangle const& r, image const& avant);
    // La zone lue deux fois de suite a l'identique : un dessin en cours est fini.
    image zone_stable(rectangle const& r);
    // Image d'une autre fenetre une fois dessinee : son coin n'est plus noir (le fond
    // de l'ecran) et deux lectures de suite sont egales ; vide au bout du delai.
    image image_de(std::string const& autre_fenetre);
    // Capture de l'ecran gardee dans le dossier temporaire ; rend son chemin. Elle
    // n'y reste que si le test echoue.
    std::string garde_capture(std::string const& nom);

    // Le programme lance : vivant ou non, son statut, son numero.
    processus& programme() { return karvela; }
    // Sortie d'erreur du programme.
    std::string journal() const;
    int nb_lignes_journal(std::string const& ligne) const;
    bool attend_ligne_journal(std::string const& ligne, int occurrences = 1);
    // Une commande dont l'effet se voit puis s'efface (le dump va et revient) :
    // quand l'ecran est revenu, tous les evenements d'avant ont ete traites et
    // l'ecran est tel qu'avant. Faux si la fenetre ne repond pas.
    bool barriere();
    // DUMP_D puis DUMP_U : le dump monte d'une ligne puis revient ; faux si la
    // fenetre principale ne repond pas.
    bool fenetre_repond();

    // Fenetres.
    std::vector<std::string> fenetres_visibles();
    std::string attend_fenetre(std::string const& titre);
    // Une fenetre visible du programme autre que la principale et que celles d'avant.
    std::string attend_nouvelle_fenetre(std::vector<std::string> const& avant);
    bool attend_fermeture(std::string const& fenetre);

    // Commandes composees.
    void menu_fichier(entree_fichier entree);
    void ecrit_memoire(std::string const& adresse, std::string const& valeur,
                       std::string const& nombre);
    // Ouvre le selecteur par le menu et y tape le chemin (sans Entree) ; rend le selecteur.
    std::string tape_dans_selecteur(std::string const& chemin);
    // Quitte par le menu ; statut de sortie, ou -1 si le programme vit encore.
    int quitte();

    std::vector<std::string> arguments; // du programme, poses avant SetUp
    // Le facteur que le programme prend de --zoom (ramene a ce qui tient sur l'ecran) :
    // la fenetre est plus grande.
    double zoom_lance = 1;
    std::string ecran = "1280x1024"; // du Xvfb du test
    bool avec_openbox = false;       // un gestionnaire de fenetres, lance avant le programme
    std::string fenetre;             // identifiant X de "Machine a pile"
    geometrie origine;               // sa place a l'ecran
    image demarrage;                 // la fenetre juste apres le lancement (zoom 1)

  private:
    processus serveur;
    processus gestionnaire;
    processus karvela;
    std::string chemin_journal;
    int numero_capture = 0;
    std::vector<std::string> captures_gardees;
};

} // namespace banc_reel
