// Endurance du vrai programme : des evenements d'utilisateur tires au hasard d'une
// graine (affichee, rejouable), chacun suivi de controles peu couteux. Le banc du
// bout en bout fournit le serveur, le programme, les clics, les frappes et les captures.
// Invariants : chaque evenement part de la fenetre principale sans dialogue modal
// ouvert (l'aide, non modale, peut l'etre) ; "Quitter" n'est jamais choisi.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "banc_reel.h"

namespace endurance {

using namespace std::chrono_literals;

// Sans dessin pendant ce delai, le programme est tenu pour bloque.
constexpr std::chrono::milliseconds delai_blocage = 5s;

// Tirages reproductibles d'une graine.
class hasard {
  public:
    explicit hasard(std::uint64_t graine) : tirage_(graine) {}
    // Entier de min a max, bornes comprises.
    int entre(int min, int max) { return std::uniform_int_distribution<int>(min, max)(tirage_); }
    bool une_fois_sur(int n) { return entre(1, n) == 1; }
    template <class T> T const& parmi(std::vector<T> const& v) {
        return v[static_cast<std::size_t>(entre(0, static_cast<int>(v.size()) - 1))];
    }
    // Un element tire selon son champ poids.
    template <class T> T const& selon_poids(std::vector<T> const& v) {
        int total = 0;
        for (T const& e : v) {
            total += e.poids;
        }
        int tire = entre(1, total);
        for (T const& e : v) {
            tire -= e.poids;
            if (tire <= 0) {
                return e;
            }
        }
        return v.back();
    }

  private:
    std::mt19937_64 tirage_;
};

// Les gestes qu'un evenement peut faire, dans la fenetre principale (mise au premier
// plan d'abord, comme le ferait un gestionnaire de fenetres au clic), dans l'aide ou
// sur les fichiers du programme.
class pilote : public banc_reel::banc {
  public:
    pilote();
    ~pilote() override;
    // Les gestes qui ferment les dialogues sont tires a part : combien de dialogues
    // le controle trouve depend du moment, et la suite des evenements n'en depend pas.
    void seme(std::uint64_t graine);

    // bouton : 1 gauche, 2 milieu (coller), 3 droit ; fois : 2 pour un double clic.
    void clique(int x, int y, int bouton = 1, int fois = 1);
    void frappe(std::string const& touche);
    void ecrit(std::string const& texte);
    void glisse_de(int x0, int y0, int x1, int y1);
    void choisit_menu(banc_reel::entree_fichier entree);
    // Entree k (0 en haut) du choix "Vitesse".
    void choisit_vitesse(int k);
    // Ouvre le selecteur par le menu, y tape le chemin et Entree.
    void ouvre_par_selecteur(std::string const& chemin);

    // L'aide : ouverte par F1 si elle ne l'est pas, mise au premier plan.
    void clique_aide(int x, int y);
    void frappe_aide(std::string const& touche);

    // La fenetre du source : montree par Ctrl+E si elle est cachee, mise au premier
    // plan. Faux s'il n'y a pas de source (un binaire est ouvert) : rien n'est fait.
    bool source_devant();
    // Un clic dans la fenetre du source (ses coordonnees), des touches, un texte tape.
    void clique_source(int x, int y);
    void frappe_source(std::string const& touche);
    void ecrit_source(std::string const& texte);

    // Attend qu'une fenetre autre que la principale et l'aide paraisse ; faux sinon.
    bool attend_dialogue();

    // Fichiers sur lesquels le programme est lance, que l'etudiant edite a cote.
    std::string const& source() const { return source_; }
    std::string const& binaire() const { return binaire_; }
    std::string const& binaire_abime() const { return binaire_abime_; }
    void remplace_source(std::string const& octets);
    void efface_source();

  protected:
    // Ce qui va mal apres un evenement ("" si rien) ; fatal : le programme est fini
    // ou ne repond plus, les evenements suivants n'ont plus de sens.
    std::string controle(bool sonder, bool& fatal);
    // A la fin : "Quitter" doit finir le programme par 0, sans rapport de fuite.
    std::string controle_fin();

  private:
    void premier_plan();
    // Ferme les dialogues modaux ouverts ; vrai si la fenetre principale est seule
    // (avec l'aide peut-etre), sinon probleme dit pourquoi.
    bool range(std::string& probleme, bool& fatal);
    // Une liste deroulee laissee ouverte (le choix "Vitesse", ouvert par un clic ou
    // par Espace) prendrait le geste suivant : Echap la ferme sans rien choisir. Ce
    // sont les fenetres de type menu, hors de la classe FLTK.
    bool ferme_listes(std::vector<std::string> const& fenetres_fltk, std::string& probleme);
    // Le dump descend (ou monte) d'une ligne puis revient, lu sur ses adresses que
    // rien d'autre ne change : faux si le dessin ne suit pas en delai_blocage.
    bool sonde();
    std::string nom_de(std::string const& id);
    // Attend que la fenetre ne soit plus visible ; faux au bout de delai_blocage.
    bool disparait(std::string const& id);

    std::string dossier_;
    std::string source_;
    std::string binaire_;
    std::string binaire_abime_;
    std::string aide_;           // identifiant de l'aide visible, vide si elle est cachee
    std::string fenetre_source_; // de meme, la fenetre du source
    hasard fermetures_{0};
};

// Une sorte d'evenement : une ligne de la table ; une commande nouvelle de la
// fenetre est une ligne de plus.
struct genre_evenement {
    char const* nom;
    int poids;
    // Fait le geste ; rend ce qui a ete tire (cible, texte), pour le relire.
    std::string (*agit)(pilote&, hasard&);
};
std::vector<genre_evenement> const& genres_evenements();

// Attente avant l'evenement, en millisecondes : souvent aucune, parfois longue.
int intervalle(hasard& h);

} // namespace endurance
