// Controleur, commandes ajoutees a celles de la maquette : la fenetre d'aide, les
// sources assemblees, le rechargement du dernier fichier, les touches du clavier
// et le fichier nomme sur la ligne de commande. passe_commande aiguille vers ici.
// Invariant : une touche met en file le widget de son bouton ou du menu, comme un
// clic.
#include <FL/Fl.H>
#include <FL/forms.H>

#include <iostream>
#include <utility>

#include "assembleur/source.h"
#include "simulateur/bande_fichiers.h"
#include "simulateur/controleur_exercice.h"
#include "simulateur/controleur_platine.h"
#include "simulateur/controleur_source.h"
#include "simulateur/interface2.h"
#include "simulateur/selecteur.h"
#include "simulateur/texte_aide.h"
#include "simulateur/textes_fichiers.h"

namespace {

// Le simulateur dont l'aide relaie les touches ; un seul vit a la fois.
simulateur* simulateur_actif = nullptr;

} // namespace

demande_lancement lit_ligne_commande(int argc, char** argv) {
    std::vector<std::string> mots;
    bool options_finies = false;
    for (int i = 1; i < argc;) {
        // Fl::arg prend l'option de la boite a outils et sa valeur, ou rien.
        if (!options_finies && Fl::arg(argc, argv, i) > 0) {
            continue;
        }
        options_finies = options_finies || std::string(argv[i]) == "--";
        mots.push_back(argv[i]);
        ++i;
    }
    return analyse_arguments(mots);
}

void simulateur::prepare_ajouts(demande_lancement const& demande) {
    // Les noms des touches (menu, aide) en francais : "Ctrl+Maj+O".
    fl_local_shift = "Maj";

    fichiers = std::make_unique<bande_fichiers>(SIM);

    std::vector<std::string> const lignes = lignes_aide();
    for (std::string const& ligne : lignes) {
        aide->TEXTE_AIDE->add(ligne.c_str());
    }
    fermer_aide = aide->aide->child(aide->aide->find(aide->TEXTE_AIDE) + 1);
    // Agrandir l'aide agrandit le texte ; le bouton garde sa taille.
    aide->aide->resizable(aide->TEXTE_AIDE);
    // Le sommaire, a droite du texte : les sous-parties en retrait, sans code de
    // mise en forme lu dans un titre ("@." : la suite est du texte).
    sommaire = std::make_unique<sommaire_aide_class>(aide);
    sections_de_l_aide = sections_aide(lignes);
    for (section_aide const& s : sections_de_l_aide) {
        std::string const ligne = (s.niveau == 1 ? "@b@." : "@.   ") + s.titre;
        sommaire->SOMMAIRE->add(ligne.c_str());
    }

    SIM->B_AIDE->shortcut(FL_F + 1);
    SIM->B_STEP->shortcut(FL_F + 7);
    // Ctrl+F2 : la remise a zero des debogueurs ; ne croise aucune autre touche.
    SIM->B_RESET->shortcut(FL_CTRL + FL_F + 2);
    // Le menu range ses entrees de 0 : une de moins que fl_get_menu.
    SIM->m_fichier->shortcut(item_ouvrir - 1, FL_CTRL + 'o');
    SIM->m_fichier->shortcut(item_quitter - 1, FL_CTRL + 'q');
    simulateur_actif = this;
    Fl::add_handler(relaie_raccourci);

    // Le fichier de la ligne de commande s'ouvre comme un rechargement, a la
    // premiere passe : la fenetre est alors montree, et un echec s'y affiche.
    if (demande.action == lancement::fenetre && !demande.fichier.empty()) {
        fichiers->retiens(demande.fichier);
        fichiers->bouton_recharger()->do_callback();
    }
}

void simulateur::detruit_ajouts() {
    Fl::remove_handler(relaie_raccourci);
    simulateur_actif = nullptr;
    fichiers.reset();
    sommaire.reset(); // ses widgets appartiennent a l'aide
}

int simulateur::relaie_raccourci(int evenement) {
    // Une fenetre modale garde ses touches ; sinon seules les autres fenetres de la
    // liste (compagnes, aide, "Aller à") peuvent avoir recu une touche que la
    // fenetre principale n'a pas vue.
    if (evenement != FL_SHORTCUT || Fl::modal() != nullptr || simulateur_actif == nullptr ||
        !simulateur_actif->fenetres.autre_montree()) {
        return 0;
    }
    return simulateur_actif->SIM->SIM->handle(FL_SHORTCUT);
}

void simulateur::montre_aide() {
    // Non modale, la ou elle ne cache rien ; deja ouverte, elle revient au premier
    // plan sans bouger.
    aide->aide->label("Aide");
    fenetres.montre(aide->aide);
}

void simulateur::montre_section_aide() {
    int const choisie = sommaire->SOMMAIRE->value();
    if (choisie < 1 || choisie > static_cast<int>(sections_de_l_aide.size())) {
        return;
    }
    aide->TEXTE_AIDE->topline(sections_de_l_aide[static_cast<std::size_t>(choisie - 1)].ligne);
    // Le navigateur ne sait sa ligne du haut qu'une fois dessine. Les dernieres
    // parties ne montent pas jusqu'en haut : le sommaire garde le choix.
    Fl::flush();
    haut_aide = aide->TEXTE_AIDE->topline();
}

void simulateur::suit_aide() {
    int const haut = aide->TEXTE_AIDE->topline();
    if (haut == haut_aide || !aide->aide->visible()) {
        return;
    }
    haut_aide = haut;
    int const lue = section_de_ligne(sections_de_l_aide, haut) + 1;
    if (lue != sommaire->SOMMAIRE->value()) {
        // 0 : avant la premiere partie, rien de marque.
        sommaire->SOMMAIRE->value(lue);
    }
}

void simulateur::ouvre_source() {
    std::string const chemin = choisit_fichier(
        [] { return fl_show_file_selector("Choisissez un fichier source", "", "*.asm", ""); });
    if (chemin.empty()) {
        std::cerr << "chargement abandonne ..." << std::endl;
        return;
    }
    charge_source(chemin, chargement::nouveau_fichier);
}

void simulateur::recharge() {
    if (source->ouverte()) {
        source->recharge();
        return;
    }
    if (fichiers->fichier().empty()) {
        return;
    }
    // Copie : le chargeur prend un char* que rien ne garantit intact.
    std::string chemin = fichiers->fichier();
    chargement const sorte =
        chemin == fichier_charge ? chargement::rechargement : chargement::nouveau_fichier;
    if (est_source(chemin)) {
        charge_source(chemin, sorte);
    } else {
        charge_programme(&chemin[0], sorte);
    }
}

texte_montre simulateur::charge_texte_montre() {
    if (!source->ouverte()) {
        return texte_montre::aucun;
    }
    if (source->etat_texte() == texte_montre::change) {
        if (marche.en_marche()) {
            arrete_marche();
        }
        source->recharge();
    }
    return source->etat_texte();
}

void simulateur::charge_source(std::string const& chemin, chargement sorte) {
    // Avant de lire : un texte enregistre a la question est lu tel qu'enregistre.
    if (!source->peut_abandonner()) {
        return;
    }
    source_lue const lue = lit_source(chemin);
    if (!lue.lue) {
        fl_show_alert("Erreur: fichier source illisible", lue.erreur.c_str(),
                      "Rien n'a été chargé.", 0);
        return;
    }
    if (source->prend(chemin, lue.texte)) {
        source->assemble(sorte);
    }
}
