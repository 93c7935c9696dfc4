// L'editeur de la fenetre du source : l'editeur de texte de la boite a outils, plus
// ce qu'il ne sait pas dessiner, le fond orange de la ligne du PC et une marge a
// soi (numero de ligne, adresse, point d'arret, marque d'un diagnostic). Seul code
// de dessin de la fenetre ; ce qu'il montre, le controleur le lui donne.
#ifndef KARVELA_EDITEUR_SOURCE_H
#define KARVELA_EDITEUR_SOURCE_H

#include <FL/Fl_Text_Editor.H>

#include <functional>
#include <string>
#include <string_view>

// Ce que la marge montre d'une ligne.
struct marge_ligne {
    int adresse = -1;       // -1 : la ligne ne stocke rien
    std::string profondeur; // de la pile avant son instruction ; vide : pas d'instruction
    bool point = false;     // point d'arret sur son adresse
    int diagnostic = 0;     // 0 : aucun, 1 : avertissement, 2 : erreur
};

// Styles de la coloration, lettres du tampon de styles ('A' en tete).
enum class style_source : char {
    texte = 'A',
    mnemonique,
    directive,
    etiquette,
    nombre,
    chaine,
    commentaire,
    faute, // ce que l'assembleur n'a pas pu decouper
};
constexpr int nb_styles_source = 8;
// Le serveur X refuse un texte d'un demi-million de caracteres donne d'un trait, et
// la boite a outils donne d'un trait tout ce qui a le meme style. Chaque style a
// donc un jumeau dessine a l'identique (sa lettre + nb_styles_source), et sur une
// longue ligne les deux alternent : aucun trait ne depasse ce nombre d'octets.
constexpr int trait_maximal = 512;
// Alterne style et jumeau dans les styles d'une ligne, un octet par octet de texte
// (utf8 : le texte, pour ne changer de trait qu'au debut d'un caractere).
void borne_traits(std::string_view texte, std::string& styles);

class editeur_source : public Fl_Text_Editor {
  public:
    editeur_source(int x, int y, int w, int h);

    // Tous les styles et la marge viennent de cette taille de caracteres.
    void taille_texte(int taille);
    // Le tampon de styles, une lettre de style_source par octet du texte.
    void styles(Fl_Text_Buffer* tampon);
    // Fond orange sur cette ligne (0 : aucune) ; seules l'ancienne et la nouvelle
    // sont redessinees.
    void ligne_pc(int ligne);
    int ligne_pc() const { return ligne_pc_; }
    // Fond rouge pale sur la ligne de l'instruction qui a arrete la marche (0 : aucune) ;
    // la ligne du PC reste orange, la ou est PC.
    void ligne_arret(int ligne);
    int ligne_arret() const { return ligne_arret_; }
    // Fait defiler le texte pour que la ligne soit visible, si elle ne l'est pas.
    void montre_ligne(int ligne);
    // La ligne sous le point (x, y) de la fenetre si ce point est dans la marge, 0 sinon.
    int ligne_de_marge(int x, int y) const;
    int ligne_du_curseur() const;

    std::function<marge_ligne(int)> marge; // ce que la marge montre d'une ligne

  protected:
    void draw() override;

  private:
    void dessine_marge();
    int gauche_marge() const;
    int debut_ligne(int ligne) const;

    // Fond de la ligne sur toute la largeur du texte, si elle est visible.
    void peint_ligne(int ligne, Fl_Color fond);
    // Seules l'ancienne et la nouvelle ligne marquees sont redessinees.
    void remarque(int& marquee, int ligne);

    int ligne_pc_ = 0;
    int ligne_arret_ = 0;
    Fl_Text_Display::Style_Table_Entry styles_[2 * nb_styles_source]; // styles et jumeaux
};

#endif
