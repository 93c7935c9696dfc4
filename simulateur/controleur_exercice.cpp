// Controleur des exercices : ouvrir un fichier d'exercice, "Vérifier" le programme
// charge, montrer les resultats, preparer un cas dans la fenetre principale.
// passe_commande aiguille vers ici. La lecture, la correction et les messages
// sont ceux de karvela-note (exercices/) ; ici, on decide et on affiche.
// Invariants : la correction tourne dans un fil, sur des copies de l'exercice et
// du programme, et ne touche a rien de la fenetre ; son resultat est pris par un
// minuteur de la boucle. Un cas prepare l'est jusqu'au prochain chargement, RESET
// ou autre cas ; ses evenements sont armes dans le mode marche, que STEP, le pas
// arriere et la marche font avancer.
#include <FL/Fl.H>
#include <FL/forms.H>

#include <chrono>
#include <future>
#include <iostream>

#include "execution/evenements.h"
#include "exercices/rendus.h"
#include "simulateur/controleur_exercice.h"
#include "simulateur/textes_fichiers.h"

namespace {

constexpr double periode_sonde = 0.05; // secondes entre deux regards sur la correction
constexpr Fl_Color vert_reussi = FL_DARK_GREEN;
constexpr Fl_Color rouge_echec = FL_RED;

} // namespace

controleur_exercice::controleur_exercice(SIM_class* principale, pont_simulateur pont,
                                         std::string const& demande)
    : pont_(pont), barre_(new barre_exercice_class(principale)), fen_(nullptr) {
    barre_->B_VERIFIER->deactivate();
    barre_->B_EXERCICE->shortcut(FL_CTRL + FL_SHIFT + 'e');
    barre_->B_VERIFIER->shortcut(FL_F + 6);
    fen_ = new fenetre_exercice_class();
    // Retrecie pour tenir a cote de la principale : la liste des cas d'abord.
    fen_->exercice->resizable(fen_->CAS);
    fen_->PREPARER->deactivate();
    if (!demande.empty()) {
        // Comme le fichier de la ligne de commande : a la premiere passe, apres lui.
        fichier_demande = demande;
        barre_->B_EXERCICE->do_callback();
    }
}

controleur_exercice::~controleur_exercice() {
    Fl::remove_timeout(sonde_correction, this);
    if (correction.valid()) {
        correction.wait();
    }
    delete fen_->exercice;
    delete fen_;
    delete barre_; // ses widgets appartiennent a la fenetre principale
}

bool controleur_exercice::commande(Fl_Widget* obj) {
    fenetre_exercice_class& f = *fen_;
    if (obj == barre_->B_EXERCICE) {
        if (!fichier_demande.empty()) {
            std::string const chemin = fichier_demande;
            fichier_demande.clear();
            ouvre(chemin);
        } else if (fichier.empty()) {
            f.AUTRE->do_callback();
        } else if (f.exercice->shown() && f.exercice->visible()) {
            f.exercice->hide();
        } else {
            montre_fenetre();
        }
    } else if (obj == f.AUTRE) {
        char const* chemin = fl_show_file_selector("Choisissez un exercice", "", "*.toml", "");
        if (chemin != nullptr) {
            ouvre(chemin);
        }
    } else if (obj == barre_->B_VERIFIER || obj == f.VERIFIER) {
        verifie();
    } else if (obj == f.CAS) {
        montre_cas_choisi();
    } else if (obj == f.PREPARER) {
        prepare_cas_choisi();
    } else if (obj == f.FERMER || obj == f.exercice) {
        f.exercice->hide();
    } else {
        return false;
    }
    return true;
}

void controleur_exercice::ouvre(std::string const& chemin) {
    exercice_lu const lu = lit_fichier_exercice(chemin);
    if (!lu.erreur.empty()) {
        fl_show_alert("Erreur: exercice illisible", lu.erreur.c_str(), "Rien n'a été ouvert.", 0);
        return;
    }
    for (diagnostic const& d : lu.diagnostics) {
        std::cerr << texte_diagnostic(chemin, d) << std::endl;
    }
    if (!lu.valide()) {
        titre_refus = titre_erreurs(chemin, lu.diagnostics) + " : rien n'a été ouvert";
        refus = lignes_erreurs(lu.diagnostics);
        montre_resultats();
        montre_fenetre();
        return;
    }
    refus.clear();
    if (correction.valid()) {
        correction.wait(); // les resultats d'avant ne valent plus rien
        correction = {};
        Fl::remove_timeout(sonde_correction, this);
    }
    fichier = chemin;
    ouvert = lu.exo;
    resultats.clear();
    titre_fenetre = "Exercice — " + lu.exo.titre;
    fen_->exercice->copy_label(titre_fenetre.c_str());
    titre = nom_affiche(chemin) + " : " + libelle_litteral(lu.exo.titre) + " — " +
            std::to_string(lu.exo.cas.size()) + " cas, " +
            compte(static_cast<std::size_t>(lu.exo.total()), "point");
    barre_->B_VERIFIER->activate();
    montre_resultats();
    montre_fenetre();
}

void controleur_exercice::montre_fenetre() {
    // Non modale, a sa place a cote de la principale ; deja ouverte, elle revient
    // au premier plan sans bouger.
    fen_->exercice->label(titre_fenetre.empty() ? "Exercice" : titre_fenetre.c_str());
    pont_.fenetres().montre(fen_->exercice);
}

void controleur_exercice::verifie() {
    fenetre_exercice_class& f = *fen_;
    if (fichier.empty() || correction.valid()) {
        return;
    }
    refus.clear();
    montre_fenetre();
    if (!pont_.programme().charge) {
        f.TOTAL->copy_label("Aucun programme chargé : ouvrez une source (.asm) ou un .bin.");
        return;
    }
    resultats.clear();
    nom_verifie = nom_affiche(pont_.fichier_charge());
    montre_resultats();
    f.TOTAL->copy_label(("Vérification de " + nom_verifie + "...").c_str());
    barre_->B_VERIFIER->deactivate();
    f.VERIFIER->deactivate();
    // Des copies : le fil ne partage rien avec la fenetre.
    correction = std::async(std::launch::async, [e = ouvert, p = pont_.programme()] {
        return corrige(e, {{"", p}}, 1).front();
    });
    Fl::add_timeout(periode_sonde, sonde_correction, this);
}

void controleur_exercice::sonde_correction(void* donnees) {
    controleur_exercice& c = *static_cast<controleur_exercice*>(donnees);
    if (c.correction.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        Fl::repeat_timeout(periode_sonde, sonde_correction, donnees);
        return;
    }
    c.resultats = c.correction.get().cas;
    c.barre_->B_VERIFIER->activate();
    c.fen_->VERIFIER->activate();
    c.montre_resultats();
}

void controleur_exercice::montre_resultats() {
    fenetre_exercice_class& f = *fen_;
    int const choisi = f.CAS->value();
    f.CAS->clear();
    if (!refus.empty()) {
        f.TITRE->copy_label(titre_refus.c_str());
        for (std::string const& ligne : refus) {
            f.CAS->add(("@C" + std::to_string(rouge_echec) + ligne).c_str());
        }
        f.TOTAL->copy_label(
            fichier.empty() ? "Corrigez le fichier, puis « Autre exercice... »."
                            : "L'exercice d'avant reste ouvert : « Vérifier » (F6) le corrige.");
        montre_cas_choisi();
        return;
    }
    f.TITRE->copy_label(titre.c_str());
    long long points = 0;
    for (std::size_t i = 0; i < ouvert.cas.size(); ++i) {
        cas_exercice const& c = ouvert.cas[i];
        std::string ligne;
        if (i < resultats.size()) {
            resultat_cas const& r = resultats[i];
            points += r.points;
            ligne = "@C" + std::to_string(r.reussi ? vert_reussi : rouge_echec) + "@." +
                    (r.reussi ? "✔ " + nom_du_cas(c) : ligne_echec(c, r));
        } else {
            ligne = "@.   " + nom_du_cas(c);
        }
        f.CAS->add(ligne.c_str());
    }
    f.CAS->value(choisi);
    if (!resultats.empty()) {
        f.TOTAL->copy_label((std::to_string(points) + "/" + std::to_string(ouvert.total()) +
                             " points pour " + nom_verifie)
                                .c_str());
    } else if (!correction.valid()) {
        f.TOTAL->copy_label("Pas encore vérifié : « Vérifier » (F6) corrige le programme chargé.");
    }
    montre_cas_choisi();
}

void controleur_exercice::montre_cas_choisi() {
    fenetre_exercice_class& f = *fen_;
    std::size_t const i = static_cast<std::size_t>(f.CAS->value() - 1);
    if (f.CAS->value() <= 0 || i >= ouvert.cas.size() || !refus.empty()) {
        f.MESSAGE->copy_label(!refus.empty()
                                  ? "Les erreurs du fichier, avec leur ligne et leur colonne."
                                  : "Choisissez un cas, puis « Préparer le cas » pour le suivre "
                                    "pas à pas.");
        f.PREPARER->deactivate();
        return;
    }
    f.PREPARER->activate();
    std::string texte = nom_du_cas(ouvert.cas[i]);
    if (i < resultats.size()) {
        resultat_cas const& r = resultats[i];
        texte += r.reussi ? " : réussi, " + compte(static_cast<std::size_t>(r.points), "point")
                          : " : " + r.message;
    }
    f.MESSAGE->copy_label(libelle_litteral(texte).c_str());
}

void controleur_exercice::prepare_cas_choisi() {
    fenetre_exercice_class& f = *fen_;
    std::size_t const i = static_cast<std::size_t>(f.CAS->value() - 1);
    if (f.CAS->value() <= 0 || i >= ouvert.cas.size() || !refus.empty()) {
        return;
    }
    cas_exercice const& c = ouvert.cas[i];
    if (!pont_.programme().charge) {
        f.PREPARE->copy_label("Aucun programme chargé : rien à préparer.");
        return;
    }
    cas_pret const pret = prepare_cas(c, pont_.programme());
    if (!pret.erreur.empty()) {
        f.PREPARE->copy_label(
            libelle_litteral("« " + c.nom + " » ne se prépare pas : " + pret.erreur).c_str());
        return;
    }
    pont_.arrete_marche();
    // Comme Ctrl+R, depuis le programme corrige : processeur neuf, points d'arret
    // gardes ; les entrees de tous les ports a 0, comme sur la machine du correcteur.
    pont_.charge(pont_.programme(), pont_.fichier_charge(), chargement::rechargement);
    machine& m = pont_.moteur();
    for (int p = 0; p < nb_ports; ++p) {
        pose_entree(m, p, 0);
    }
    for (octets_poses const& o : pret.demande.memoire) {
        pose_octets(m, o.adresse, o.octets);
    }
    pont_.marche().evenements().arme(pret.demande.entrees);
    pont_.marche().evenements().pose_dues(m);
    pont_.redessine();
    std::string texte = "Cas préparé : " + nom_du_cas(c);
    if (!c.evenements.empty()) {
        texte += " ; événements aux pas";
        for (evenement_entree const& e : c.evenements) {
            texte += " " + std::to_string(e.pas);
        }
    }
    f.PREPARE->copy_label(libelle_litteral(texte).c_str());
    pont_.annonce(libelle_litteral("Cas « " + c.nom + " » préparé"));
}

void controleur_exercice::oublie_cas() {
    pont_.marche().evenements().desarme();
    fen_->PREPARE->copy_label("");
}
