// Le champ du selecteur montre est trouve par une veille de la boucle (avant
// chaque attente d'evenements, donc avant la premiere frappe) ; son rappel passe
// alors par ici. Veiller plutot que construire le selecteur : "Ouvrir fichier
// binaire" garde son appel Forms, qui passe par fl_file_chooser et son selecteur
// a lui, qu'aucun appelant ne voit. Changer le dossier courant du processus
// suffirait au chemin, pas au curseur, et toucherait tout le programme.
#include "simulateur/selecteur.h"

#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>

#include <cstring>
#include <filesystem>
#include <string_view>

namespace {

// La fenetre d'un Fl_File_Chooser porte le selecteur en donnee (ses rappels l'y
// retrouvent) : seul moyen de lire le dossier de celui de fl_file_chooser.
char const* dossier_de(Fl_Window* fenetre) {
    return static_cast<Fl_File_Chooser*>(fenetre->user_data())->directory();
}

} // namespace

suivi_selecteur::suivi_selecteur() {
    Fl::add_check(veille, this);
}

suivi_selecteur::~suivi_selecteur() {
    Fl::remove_check(veille, this);
    if (champ_ != nullptr) {
        champ_->callback(rappel_, donnees_);
    }
}

std::string suivi_selecteur::absolu(char const* rendu) {
    if (rendu == nullptr || *rendu == '\0') {
        return "";
    }
    std::error_code e;
    std::filesystem::path const p = std::filesystem::absolute(rendu, e);
    return e ? std::string(rendu) : p.lexically_normal().string();
}

Fl_Window* suivi_selecteur::fenetre_montree() {
    Fl_Window* w = Fl::modal();
    return w != nullptr && premier_de<Fl_File_Browser>(w) != nullptr &&
                   premier_de<Fl_File_Input>(w) != nullptr
               ? w
               : nullptr;
}

void suivi_selecteur::veille(void* donnees) {
    suivi_selecteur* s = static_cast<suivi_selecteur*>(donnees);
    Fl_Window* w = s->champ_ == nullptr ? fenetre_montree() : nullptr;
    if (w == nullptr) {
        return;
    }
    s->fenetre_ = w;
    s->champ_ = premier_de<Fl_File_Input>(w);
    s->rappel_ = s->champ_->callback();
    s->donnees_ = s->champ_->user_data();
    s->champ_->callback(rappel_champ, s);
    // A l'ouverture, le nom seul est choisi : le taper le remplace, le dossier reste.
    std::string_view const v(s->champ_->value());
    std::size_t const barre = v.rfind('/');
    if (barre != std::string_view::npos && barre + 1 < v.size()) {
        s->champ_->position(static_cast<int>(v.size()), static_cast<int>(barre + 1));
    }
}

void suivi_selecteur::rappel_champ(Fl_Widget* w, void* donnees) {
    suivi_selecteur* s = static_cast<suivi_selecteur*>(donnees);
    Fl_File_Input* champ = s->champ_;
    char const* nom = champ->value();
    char const* dossier = dossier_de(s->fenetre_);
    // ~ et $ : la boite a outils les developpe elle-meme. Un dossier vide est la
    // liste des systemes de fichiers, ou mene un "/" tape (le champ se vide alors).
    if (nom[0] != '\0' && nom[0] != '/' && std::strpbrk(nom, "~$") == nullptr &&
        dossier != nullptr && (dossier[0] == '/' || dossier[0] == '\0')) {
        std::string devant = dossier;
        if (devant.empty() || devant.back() != '/') {
            devant += '/';
        }
        int const decalage = static_cast<int>(devant.size());
        int const curseur = champ->position();
        int const marque = champ->mark();
        champ->value((devant + nom).c_str());
        champ->position(curseur + decalage, marque + decalage);
    }
    if (s->rappel_ != nullptr) {
        s->rappel_(w, s->donnees_);
    }
}

std::string choisit_fichier(std::function<char const*()> const& appel) {
    suivi_selecteur const suivi;
    return suivi_selecteur::absolu(appel());
}
