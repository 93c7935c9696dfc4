// Les selecteurs de fichiers de la boite a outils (fl_file_chooser, et par lui
// fl_show_file_selector), appeles tels quels, mais un nom tape s'y lit dans le
// dossier montre. Leur completion rend absolu un nom relatif d'apres le dossier
// courant du processus, et met le curseur en tete : la suite de la frappe s'ecrit
// devant. Tant qu'un selecteur est montre, son champ passe donc d'abord par ici,
// qui met devant un nom relatif le dossier du selecteur (il change quand
// l'etudiant se deplace), le curseur garde a sa place dans le nom.
// Invariant : hors d'un appel suivi, le champ a son rappel d'origine.
#ifndef KARVELA_SELECTEUR_H
#define KARVELA_SELECTEUR_H

#include <functional>
#include <string>

#include <FL/Fl_Group.H>

class Fl_File_Input;
class Fl_Window;

// Premier widget du type T sous w (w compris), ou null : le champ du selecteur,
// un bouton d'un dialogue.
template <class T> T* premier_de(Fl_Widget* w) {
    if (T* t = dynamic_cast<T*>(w)) {
        return t;
    }
    if (Fl_Group* g = w->as_group()) {
        for (int i = 0; i < g->children(); ++i) {
            if (T* t = premier_de<T>(g->child(i))) {
                return t;
            }
        }
    }
    return nullptr;
}

class suivi_selecteur {
  public:
    suivi_selecteur();
    ~suivi_selecteur();
    suivi_selecteur(suivi_selecteur const&) = delete;
    suivi_selecteur& operator=(suivi_selecteur const&) = delete;

    // Le chemin rendu par le selecteur, absolu ; vide si l'etudiant a annule.
    static std::string absolu(char const* rendu);
    // Le selecteur de fichiers montre (modal), s'il y en a un.
    static Fl_Window* fenetre_montree();

  private:
    static void veille(void* donnees);
    static void rappel_champ(Fl_Widget* w, void* donnees);

    Fl_File_Input* champ_ = nullptr; // celui du selecteur montre, une fois vu
    Fl_Window* fenetre_ = nullptr;
    void (*rappel_)(Fl_Widget*, void*) = nullptr; // son rappel d'origine
    void* donnees_ = nullptr;
};

// L'appel d'un selecteur sous le suivi : le chemin choisi, absolu, ou vide si
// l'etudiant a annule. A l'ouverture, le nom seul est choisi dans le champ.
std::string choisit_fichier(std::function<char const*()> const& appel);

#endif
