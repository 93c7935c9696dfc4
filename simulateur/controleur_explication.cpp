// Controleur de "Pourquoi ?". La reponse est celle de pourquoi() (explication/),
// imprimee par texte_explication, une ligne par maillon : ici, on photographie la
// machine, on recule jusqu'a un maillon et l'on revient.
#include "simulateur/controleur_explication.h"

#include <FL/forms.H>

#include <sstream>
#include <string>

controleur_explication::controleur_explication(pont_simulateur pont)
    : pont_(pont), fen_(new explication_class()) {}

controleur_explication::~controleur_explication() {
    delete fen_->explication;
    delete fen_;
}

void controleur_explication::demande(question_pourquoi const& q) {
    question_ = q;
    fen_->DEMANDE->do_callback();
}

bool controleur_explication::commande(Fl_Widget* obj) {
    if (obj == fen_->DEMANDE) {
        repond();
    } else if (obj == fen_->CHAINE) {
        va_a_la_ligne(fen_->CHAINE->value());
    } else if (obj == fen_->REVENIR) {
        revient();
    } else if (obj == fen_->explication) {
        // Fermer ne laisse pas la machine dans le passe sans le dire : on revient.
        revient();
        fl_hide_form(fen_->explication);
    } else {
        return false;
    }
    return true;
}

void controleur_explication::repond() {
    pont_.arrete_marche();
    // Une question posee dans le passe (apres un clic sur un maillon) garde la
    // photo de la premiere : "Revenir" rend la machine d'ou l'on est parti.
    // Un autre programme charge depuis : la photo ne decrit plus rien.
    if (!ailleurs_ || !meme_programme()) {
        prend_photo();
        ailleurs_ = false;
    }
    mode_marche& m = pont_.marche();
    arret_explique const a{m.raison(), m.adresse(), m.pile()};
    programme_charge const& p = pont_.programme();
    reponse_ =
        pourquoi(pont_.moteur(), p.source ? &p.assemble : nullptr, pont_.editions(), question_, a);
    pas_question_ = pont_.moteur().pas_enregistres();
    fen_->CHAINE->clear();
    std::istringstream lignes(texte_explication(reponse_));
    for (std::string ligne; std::getline(lignes, ligne);) {
        fen_->CHAINE->add(ligne.c_str());
    }
    fen_->MESSAGE->copy_label("Un clic sur une instruction ramène la machine juste après elle.");
    fen_->explication->copy_label(("Pourquoi " + reponse_.question + " ?").c_str());
    pont_.fenetres().montre(fen_->explication); // a cote de la principale, sans la couvrir
}

void controleur_explication::va_a_la_ligne(int ligne) {
    // La ligne 1 est la question ; les maillons suivent dans leur ordre.
    int const k = ligne - 2;
    if (k < 0 || k >= static_cast<int>(reponse_.maillons.size())) {
        return;
    }
    maillon const& l = reponse_.maillons[static_cast<std::size_t>(k)];
    if (l.sorte != maillon::instruction && l.sorte != maillon::port) {
        fen_->MESSAGE->copy_label("Ce maillon n'est pas une instruction : aucun pas où revenir.");
        return;
    }
    if (!meme_programme()) {
        fen_->MESSAGE->copy_label("Un autre programme a été chargé depuis la question.");
        return;
    }
    pont_.arrete_marche();
    machine& m = pont_.moteur();
    // Les reculs comptent depuis la machine de la question : la cible est un
    // nombre de pas depuis le chargement.
    unsigned long long const cible = pas_question_ - l.reculs;
    if (cible > m.pas_enregistres()) {
        rend_photo();
    }
    if (cible > m.pas_enregistres()) {
        fen_->MESSAGE->copy_label("Ce pas n'est plus dans l'historique.");
        return;
    }
    pont_.recule(m.pas_enregistres() - cible);
    ailleurs_ = true;
    pont_.redessine_marche();
    fen_->MESSAGE->copy_label(("Machine juste après le pas " + std::to_string(l.pas) +
                               " ; « Revenir » la rend telle qu'à la question.")
                                  .c_str());
}

void controleur_explication::revient() {
    if (!ailleurs_) {
        return;
    }
    ailleurs_ = false;
    if (!meme_programme()) {
        fen_->MESSAGE->copy_label("Un autre programme a été chargé depuis la question.");
        return;
    }
    pont_.arrete_marche();
    rend_photo();
    pont_.redessine_marche();
    fen_->CHAINE->deselect();
    fen_->MESSAGE->copy_label("Machine telle qu'à la question.");
}

bool controleur_explication::meme_programme() const {
    programme_charge const& p = pont_.programme();
    return p.image == photo_.image && p.base == photo_.base &&
           pont_.fichier_charge() == photo_.fichier;
}

void controleur_explication::prend_photo() {
    machine& m = pont_.moteur();
    photo_.memoire.resize(mem_64k::taille);
    for (unsigned a = 0; a < mem_64k::taille; ++a) {
        photo_.memoire[a] = m.memoire().read_byte(static_cast<unsigned short>(a));
    }
    photo_.cpu = m.cpu();
    for (int p = 0; p < nb_ports; ++p) {
        photo_.ports[p] = m.port(p);
    }
    photo_.evenements = pont_.marche().evenements();
    photo_.editions = pont_.editions();
    photo_.raison = pont_.marche().raison();
    photo_.adresse = pont_.marche().adresse();
    photo_.pile = pont_.marche().pile();
    photo_.pas = m.pas_enregistres();
    photo_.image = pont_.programme().image;
    photo_.base = pont_.programme().base;
    photo_.fichier = pont_.fichier_charge();
}

void controleur_explication::rend_photo() {
    machine& m = pont_.moteur();
    // L'historique reprend autant de pas qu'a la question : refaits d'ici avec
    // les memes evenements, puis l'etat exact est pose par-dessus (un bit clique
    // entre-temps ne change donc que ce que l'historique garde de ces pas).
    evenements_armes& e = pont_.marche().evenements();
    while (m.pas_enregistres() < photo_.pas) {
        e.pose_dues(m);
        m.pas();
        e.apres(m, 1);
    }
    if (m.pas_enregistres() > photo_.pas) {
        pont_.recule(m.pas_enregistres() - photo_.pas);
    }
    for (unsigned a = 0; a < mem_64k::taille; ++a) {
        m.memoire().write_byte(static_cast<unsigned short>(a), photo_.memoire[a]);
    }
    m.cpu() = photo_.cpu;
    for (int p = 0; p < nb_ports; ++p) {
        m.port(p) = photo_.ports[p];
    }
    m.memoire_touchee();
    e = photo_.evenements;
    pont_.editions() = photo_.editions;
    pont_.marche().retrouve_arret(photo_.raison, photo_.adresse, photo_.pile);
}
