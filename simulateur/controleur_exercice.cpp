// Controleur des exercices : ouvrir un fichier d'exercice, "Vérifier" le texte que
// l'etudiant voit, montrer l'enonce, les resultats et ce que pose le cas choisi,
// preparer un cas dans la fenetre principale. passe_commande aiguille vers ici.
// La lecture, la correction et les messages sont ceux de karvela-note
// (exercices/), bornes par vue_exercice ; ici, on decide et on affiche.
// Invariants : la correction tourne dans un fil, sur des copies de l'exercice et
// du programme, et ne touche a rien de la fenetre ; son resultat est pris par un
// minuteur de la boucle ; quitter, ouvrir un autre exercice, "Vérifier" de
// nouveau ou charger un programme l'annule, et le fil rend a sa tranche. Les
// resultats montres sont ceux du programme en memoire : tout chargement les
// efface. Un cas cache ne montre que son nom et son verdict. Un cas prepare l'est
// jusqu'au prochain chargement, RESET ou autre cas ; ses evenements sont armes
// dans le mode marche, que STEP, le pas arriere et la marche font avancer.
#include <FL/Fl.H>
#include <FL/forms.H>

#include <chrono>
#include <future>
#include <iostream>

#include "commandes/lancement.h"
#include "execution/evenements.h"
#include "exercices/rendus.h"
#include "exercices/vue_exercice.h"
#include "simulateur/controleur_exercice.h"
#include "simulateur/selecteur.h"
#include "simulateur/textes_fichiers.h"

namespace {

constexpr double periode_sonde = 0.05; // secondes entre deux regards sur la correction
constexpr Fl_Color vert_reussi = FL_DARK_GREEN;
constexpr Fl_Color rouge_echec = FL_RED;
constexpr char const* pas_encore_verifie = "Pas encore vérifié : F6 corrige le programme chargé.";

} // namespace

controleur_exercice::controleur_exercice(SIM_class* principale, pont_simulateur pont,
                                         std::string const& demande)
    : pont_(pont), barre_(new barre_exercice_class(principale)), fen_(nullptr),
      annonce(pas_encore_verifie) {
    barre_->B_VERIFIER->deactivate();
    barre_->B_EXERCICE->shortcut(FL_CTRL + FL_SHIFT + 'e');
    barre_->B_VERIFIER->shortcut(FL_F + 6);
    fen_ = new fenetre_exercice_class();
    fen_->PREPARER->deactivate();
    // Grisee celle de la barre pendant une correction, F6 la reprend encore ici.
    fen_->VERIFIER->shortcut(FL_F + 6);
    fen_->ENONCE->buffer(enonce);
    if (!demande.empty()) {
        // Comme le fichier de la ligne de commande : a la premiere passe, apres lui.
        fichier_demande = demande;
        barre_->B_EXERCICE->do_callback();
    }
}

controleur_exercice::~controleur_exercice() {
    Fl::remove_timeout(sonde_correction, this);
    if (correction.valid()) {
        partage->annulee = true;
        correction.wait();
    }
    fen_->ENONCE->buffer(nullptr);
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
        std::string const chemin = choisit_fichier(
            [] { return fl_show_file_selector("Choisissez un exercice", "", "*.toml", ""); });
        if (!chemin.empty()) {
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
        fl_show_alert("Erreur: exercice illisible", borne(lu.erreur, ligne_montree_max).c_str(),
                      "Rien n'a été ouvert.", 0);
        return;
    }
    for (diagnostic const& d : lu.diagnostics) {
        std::cerr << texte_diagnostic(chemin, d) << std::endl;
    }
    prend(chemin, lu);
}

void controleur_exercice::prend(std::string const& chemin, exercice_lu const& lu) {
    // Un autre exercice demande : la correction de l'exercice d'avant ne sert plus.
    arrete_correction();
    if (!lu.valide()) {
        titre_refus = borne(titre_erreurs(chemin, lu.diagnostics) + " : rien n'a été ouvert",
                            ligne_montree_max);
        refus = borne_lignes(lignes_erreurs(lu.diagnostics), lignes_montrees_max);
        montre_resultats();
        montre_fenetre();
        return;
    }
    refus.clear();
    fichier = chemin;
    ouvert = lu.exo;
    resultats.clear();
    annonce = pas_encore_verifie;
    std::string const titre_exercice = borne(lu.exo.titre, titre_max);
    titre_fenetre = "Exercice — " + titre_exercice;
    fen_->exercice->copy_label(titre_fenetre.c_str());
    titre = borne(nom_affiche(chemin) + " : " + libelle_litteral(titre_exercice) + " — " +
                      std::to_string(lu.exo.cas.size()) + " cas, " +
                      compte(static_cast<std::size_t>(lu.exo.total()), "point"),
                  ligne_montree_max);
    enonce.text(lu.exo.enonce.empty() ? "Cet exercice n'a pas d'énoncé."
                                      : borne(lu.exo.enonce, enonce_max).c_str());
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

void controleur_exercice::arrete_correction() {
    Fl::remove_timeout(sonde_correction, this);
    if (correction.valid()) {
        partage->annulee = true;
        correction.wait();
        correction = {};
    }
    fin_correction();
}

void controleur_exercice::fin_correction() {
    if (!fichier.empty()) {
        barre_->B_VERIFIER->activate();
    }
    fen_->VERIFIER->activate();
}

void controleur_exercice::verifie() {
    fenetre_exercice_class& f = *fen_;
    if (fichier.empty()) {
        return;
    }
    // De nouveau pendant une correction : celle-ci est annulee, une autre part.
    arrete_correction();
    refus.clear();
    montre_fenetre();
    // Le texte que l'etudiant voit, charge s'il a change : un chargement efface
    // les resultats d'avant (programme_change).
    texte_montre const texte = pont_.charge_texte_montre();
    resultats.clear();
    char const* const rien =
        texte == texte_montre::fautif
            ? "Le source a des erreurs (fenêtre du source) : rien n'est vérifié."
        : texte == texte_montre::change
            ? "Le source n'est ni enregistré ni chargé : rien n'est vérifié."
        : !pont_.programme().charge
            ? "Aucun programme chargé : ouvrez une source (.asm) ou un .bin."
            : nullptr;
    if (rien != nullptr) {
        annonce = rien;
        montre_resultats();
        return;
    }
    nom_verifie = nom_affiche(pont_.fichier_charge());
    partage = std::make_shared<correction_partagee>();
    // Avant montre_resultats : une correction en cours n'a pas d'annonce.
    correction = std::async(std::launch::async, [e = ouvert, p = pont_.programme(), c = partage] {
        resultat_copie r = corrige(e, {{"", p}}, 1, &c->annulee).front();
        for (resultat_cas const& cas : r.cas) {
            c->vue = c->vue || cas.raison == arret::demande;
        }
        return r;
    });
    montre_resultats();
    f.TOTAL->copy_label(borne("Vérification de " + nom_verifie + "...", ligne_montree_max).c_str());
    barre_->B_VERIFIER->deactivate();
    Fl::add_timeout(periode_sonde, sonde_correction, this);
}

void controleur_exercice::sonde_correction(void* donnees) {
    controleur_exercice& c = *static_cast<controleur_exercice*>(donnees);
    if (c.correction.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        Fl::repeat_timeout(periode_sonde, sonde_correction, donnees);
        return;
    }
    c.resultats = c.correction.get().cas;
    c.fin_correction();
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
        resultat_cas const* r = i < resultats.size() ? &resultats[i] : nullptr;
        std::string ligne = "@.";
        if (r != nullptr) {
            points += r->points;
            ligne = "@C" + std::to_string(r->reussi ? vert_reussi : rouge_echec) + ligne;
        }
        f.CAS->add((ligne + ligne_cas_montree(ouvert.cas[i], r)).c_str());
    }
    f.CAS->value(choisi);
    if (!resultats.empty()) {
        f.TOTAL->copy_label(borne(std::to_string(points) + "/" + std::to_string(ouvert.total()) +
                                      " points pour " + nom_verifie,
                                  ligne_montree_max)
                                .c_str());
    } else if (!correction.valid()) {
        f.TOTAL->copy_label(annonce.c_str());
    }
    montre_cas_choisi();
}

void controleur_exercice::montre_cas_choisi() {
    fenetre_exercice_class& f = *fen_;
    std::size_t const i = static_cast<std::size_t>(f.CAS->value() - 1);
    f.MISE_EN_PLACE->clear();
    if (f.CAS->value() <= 0 || i >= ouvert.cas.size() || !refus.empty()) {
        f.MESSAGE->copy_label(!refus.empty()
                                  ? "Les erreurs du fichier, avec leur ligne et leur colonne."
                                  : "Choisissez un cas, puis « Préparer le cas » pour le suivre "
                                    "pas à pas.");
        f.PREPARER->deactivate();
        return;
    }
    cas_exercice const& c = ouvert.cas[i];
    // Un cas cache ne se prepare pas : ce qu'il pose se verrait dans la machine.
    c.cache ? f.PREPARER->deactivate() : f.PREPARER->activate();
    f.MESSAGE->copy_label(
        libelle_litteral(detail_cas_montre(c, i < resultats.size() ? &resultats[i] : nullptr))
            .c_str());
    for (std::string const& ligne : pose_montree(c)) {
        f.MISE_EN_PLACE->add(("@." + ligne).c_str());
    }
}

void controleur_exercice::prepare_cas_choisi() {
    fenetre_exercice_class& f = *fen_;
    std::size_t const i = static_cast<std::size_t>(f.CAS->value() - 1);
    if (f.CAS->value() <= 0 || i >= ouvert.cas.size() || !refus.empty()) {
        return;
    }
    cas_exercice const& c = ouvert.cas[i];
    if (c.cache) {
        f.PREPARE->copy_label(libelle_litteral("« " + borne(nom_lisible(c.nom), titre_max) +
                                               " » est un cas caché : il ne se prépare pas.")
                                  .c_str());
        return;
    }
    if (!pont_.programme().charge) {
        f.PREPARE->copy_label("Aucun programme chargé : rien à préparer.");
        return;
    }
    cas_pret const pret = prepare_cas(c, pont_.programme());
    if (!pret.erreur.empty()) {
        f.PREPARE->copy_label(
            libelle_litteral(
                borne("« " + c.nom + " » ne se prépare pas : " + pret.erreur, ligne_montree_max))
                .c_str());
        return;
    }
    pont_.arrete_marche();
    // Comme Ctrl+R, depuis le programme corrige : processeur neuf, points d'arret
    // gardes ; les entrees de tous les ports a 0, comme sur la machine du correcteur.
    // Le meme programme : les resultats montres restent les siens.
    recharge_du_cas = true;
    pont_.charge(pont_.programme(), pont_.fichier_charge(), chargement::rechargement);
    recharge_du_cas = false;
    machine& m = pont_.moteur();
    for (int p = 0; p < nb_ports; ++p) {
        pose_entree(m, p, 0);
    }
    for (octets_poses const& o : pret.demande.memoire) {
        pose_octets(m, o.adresse, o.octets);
    }
    pont_.marche().evenements().arme(pret.demande.entrees);
    pont_.marche().evenements().pose_dues(m);
    // "Pourquoi ?" dira d'un octet ou d'une entree qu'il vient du cas.
    std::vector<ecriture_exterieure> const du_cas = ecritures_de(pret.demande);
    pont_.editions().insert(pont_.editions().end(), du_cas.begin(), du_cas.end());
    pont_.redessine();
    f.PREPARE->copy_label(libelle_litteral(cas_prepare_montre(c)).c_str());
    pont_.annonce(libelle_litteral("Cas « " + borne(c.nom, titre_max) + " » préparé"));
}

void controleur_exercice::oublie_cas() {
    pont_.marche().evenements().desarme();
    fen_->PREPARE->copy_label("");
}

void controleur_exercice::programme_change() {
    oublie_cas();
    if (recharge_du_cas || fichier.empty()) {
        return;
    }
    // Les resultats d'un autre programme ne se montrent plus : effaces, et dit.
    bool const montres = !resultats.empty() || correction.valid();
    arrete_correction();
    resultats.clear();
    if (montres) {
        annonce = "Un autre programme est chargé : « Vérifier » (F6) le corrige.";
    }
    montre_resultats();
}
