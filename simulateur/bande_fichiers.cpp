// La partie fichiers de la barre du haut : le fichier retenu et son nom.
#include "simulateur/bande_fichiers.h"

#include <FL/fl_draw.H>
#include <FL/forms.H>

#include "simulateur/textes_fichiers.h"

namespace {

constexpr int marge_nom = 4; // pixels laisses a droite du nom du fichier ouvert

// Le nom tel que la boite le montre : trop long, il perd la fin de sa base (par
// caracteres UTF-8 entiers), jamais son extension, qui dit .bin ou .asm.
std::string nom_qui_tient(std::string const& nom, Fl_Widget const* boite) {
    fl_open_display();
    fl_font(boite->labelfont(), boite->labelsize());
    std::string::size_type const point = nom.rfind('.');
    std::string const extension = point == std::string::npos ? "" : nom.substr(point);
    std::string base = nom.substr(0, nom.size() - extension.size());
    std::string texte = nom;
    while (fl_width(texte.c_str()) > boite->w() - marge_nom && !base.empty()) {
        while (!base.empty()) {
            unsigned char const octet = static_cast<unsigned char>(base.back());
            base.pop_back();
            if ((octet & 0xC0) != 0x80) {
                break;
            }
        }
        texte = base + "…" + extension;
    }
    return texte;
}

} // namespace

bande_fichiers::bande_fichiers(SIM_class* principale)
    : principale_(principale->SIM), barre_(new barre_fichiers_class(principale)) {
    barre_->B_RECHARGER->deactivate();
    barre_->B_SOURCE->shortcut(FL_CTRL + FL_SHIFT + 'o');
    barre_->B_RECHARGER->shortcut(FL_CTRL + 'r');
}

bande_fichiers::~bande_fichiers() {
    delete barre_; // ses widgets appartiennent a la fenetre principale
}

void bande_fichiers::retiens(std::string const& chemin) {
    fichier_ = chemin;
    barre_->NOM_FICHIER->copy_label(
        nom_qui_tient(nom_affiche(chemin), barre_->NOM_FICHIER).c_str());
    barre_->NOM_FICHIER->copy_tooltip(chemin.c_str());
    barre_->B_RECHARGER->activate();
    principale_->redraw();
}

void bande_fichiers::recoupe() {
    if (!fichier_.empty()) {
        retiens(fichier_);
    }
}
