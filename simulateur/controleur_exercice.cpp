// Controleur, exercices : ouvrir un fichier d'exercice, "Vérifier" le programme
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

#include "exercices/correction.h"
#include "exercices/rendus.h"
#include "simulateur/interface2.h"
#include "simulateur/textes_fichiers.h"

namespace {

constexpr double periode_sonde = 0.05; // secondes entre deux regards sur la correction
constexpr Fl_Color vert_reussi = FL_DARK_GREEN;
constexpr Fl_Color rouge_echec = FL_RED;

} // namespace

struct simulateur::suivi_exercice {
    std::string fichier; // vide : aucun exercice ouvert
    exercice exo;
    std::string titre_fenetre;
    std::string titre; // fichier, titre, nombre de cas et points
    // Diagnostics du dernier fichier refuse, montres a la place des cas jusqu'a
    // la prochaine verification : l'exercice d'avant reste ouvert.
    std::string titre_refus;
    std::vector<std::string> refus;
    std::future<resultat_copie> correction;
    std::vector<resultat_cas> resultats; // vide avant la premiere verification
    std::string nom_verifie;             // le programme que ces resultats notent
    std::string fichier_demande;         // --exercice, ouvert a la premiere passe
};

void simulateur::prepare_exercice(std::string const& fichier) {
    exo = new suivi_exercice();
    barre_exo = new barre_exercice_class(SIM);
    barre_exo->B_VERIFIER->deactivate();
    barre_exo->B_EXERCICE->shortcut(FL_CTRL + FL_SHIFT + 'e');
    barre_exo->B_VERIFIER->shortcut(FL_F + 6);
    fenetre_exo = new fenetre_exercice_class();
    fenetre_exo->PREPARER->deactivate();
    if (!fichier.empty()) {
        // Comme le fichier de la ligne de commande : a la premiere passe, apres lui.
        exo->fichier_demande = fichier;
        barre_exo->B_EXERCICE->do_callback();
    }
}

void simulateur::detruit_exercice() {
    Fl::remove_timeout(sonde_correction, this);
    if (exo->correction.valid()) {
        exo->correction.wait();
    }
    delete fenetre_exo->exercice;
    delete fenetre_exo;
    delete barre_exo; // ses widgets appartiennent a la fenetre principale
    delete exo;
}

bool simulateur::commande_exercice(Fl_Widget* obj) {
    fenetre_exercice_class& f = *fenetre_exo;
    if (obj == barre_exo->B_EXERCICE) {
        if (!exo->fichier_demande.empty()) {
            std::string const chemin = exo->fichier_demande;
            exo->fichier_demande.clear();
            ouvre_exercice(chemin);
        } else if (exo->fichier.empty()) {
            f.AUTRE->do_callback();
        } else if (f.exercice->shown() && f.exercice->visible()) {
            f.exercice->hide();
        } else {
            montre_fenetre_exercice();
        }
    } else if (obj == f.AUTRE) {
        char const* chemin = fl_show_file_selector("Choisissez un exercice", "", "*.toml", "");
        if (chemin != nullptr) {
            ouvre_exercice(chemin);
        }
    } else if (obj == barre_exo->B_VERIFIER || obj == f.VERIFIER) {
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

void simulateur::ouvre_exercice(std::string const& chemin) {
    exercice_lu const lu = lit_fichier_exercice(chemin);
    if (!lu.erreur.empty()) {
        fl_show_alert("Erreur: exercice illisible", lu.erreur.c_str(), "Rien n'a été ouvert.", 0);
        return;
    }
    for (diagnostic const& d : lu.diagnostics) {
        std::cerr << texte_diagnostic(chemin, d) << std::endl;
    }
    if (!lu.valide()) {
        exo->titre_refus = titre_erreurs(chemin, lu.diagnostics) + " : rien n'a été ouvert";
        exo->refus = lignes_erreurs(lu.diagnostics);
        montre_resultats();
        montre_fenetre_exercice();
        return;
    }
    exo->refus.clear();
    if (exo->correction.valid()) {
        exo->correction.wait(); // les resultats d'avant ne valent plus rien
        exo->correction = {};
        Fl::remove_timeout(sonde_correction, this);
    }
    exo->fichier = chemin;
    exo->exo = lu.exo;
    exo->resultats.clear();
    exo->titre_fenetre = "Exercice — " + lu.exo.titre;
    fenetre_exo->exercice->copy_label(exo->titre_fenetre.c_str());
    exo->titre = nom_affiche(chemin) + " : " + libelle_litteral(lu.exo.titre) + " — " +
                 std::to_string(lu.exo.cas.size()) + " cas, " +
                 compte(static_cast<std::size_t>(lu.exo.total()), "point");
    barre_exo->B_VERIFIER->activate();
    montre_resultats();
    montre_fenetre_exercice();
}

void simulateur::montre_fenetre_exercice() {
    // Non modale, a cote de la principale ; deja ouverte, elle revient au premier
    // plan sans bouger.
    if (!fenetre_exo->exercice->visible()) {
        pose_a_cote(fenetre_exo->exercice, SIM->SIM);
    }
    fl_show_form(fenetre_exo->exercice, FL_PLACE_FREE, FL_FULLBORDER,
                 exo->titre_fenetre.empty() ? "Exercice" : exo->titre_fenetre.c_str());
    zoom.montree(fenetre_exo->exercice);
}

void simulateur::verifie() {
    fenetre_exercice_class& f = *fenetre_exo;
    if (exo->fichier.empty() || exo->correction.valid()) {
        return;
    }
    exo->refus.clear();
    montre_fenetre_exercice();
    if (!programme_en_memoire.charge) {
        f.TOTAL->copy_label("Aucun programme chargé : ouvrez une source (.asm) ou un .bin.");
        return;
    }
    exo->resultats.clear();
    exo->nom_verifie = nom_affiche(fichier_charge);
    montre_resultats();
    f.TOTAL->copy_label(("Vérification de " + exo->nom_verifie + "...").c_str());
    barre_exo->B_VERIFIER->deactivate();
    f.VERIFIER->deactivate();
    // Des copies : le fil ne partage rien avec la fenetre.
    exo->correction = std::async(std::launch::async, [e = exo->exo, p = programme_en_memoire] {
        return corrige(e, {{"", p}}, 1).front();
    });
    Fl::add_timeout(periode_sonde, sonde_correction, this);
}

void simulateur::sonde_correction(void* donnees) {
    simulateur& s = *static_cast<simulateur*>(donnees);
    suivi_exercice& e = *s.exo;
    if (e.correction.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        Fl::repeat_timeout(periode_sonde, sonde_correction, donnees);
        return;
    }
    e.resultats = e.correction.get().cas;
    s.barre_exo->B_VERIFIER->activate();
    s.fenetre_exo->VERIFIER->activate();
    s.montre_resultats();
}

void simulateur::montre_resultats() {
    fenetre_exercice_class& f = *fenetre_exo;
    int const choisi = f.CAS->value();
    f.CAS->clear();
    if (!exo->refus.empty()) {
        f.TITRE->copy_label(exo->titre_refus.c_str());
        for (std::string const& ligne : exo->refus) {
            f.CAS->add(("@C" + std::to_string(rouge_echec) + ligne).c_str());
        }
        f.TOTAL->copy_label(
            exo->fichier.empty()
                ? "Corrigez le fichier, puis « Autre exercice... »."
                : "L'exercice d'avant reste ouvert : « Vérifier » (F6) le corrige.");
        montre_cas_choisi();
        return;
    }
    f.TITRE->copy_label(exo->titre.c_str());
    long long points = 0;
    for (std::size_t i = 0; i < exo->exo.cas.size(); ++i) {
        cas_exercice const& c = exo->exo.cas[i];
        std::string ligne;
        if (i < exo->resultats.size()) {
            resultat_cas const& r = exo->resultats[i];
            points += r.points;
            ligne = "@C" + std::to_string(r.reussi ? vert_reussi : rouge_echec) + "@." +
                    (r.reussi ? "✔ " + nom_du_cas(c) : ligne_echec(c, r));
        } else {
            ligne = "@.   " + nom_du_cas(c);
        }
        f.CAS->add(ligne.c_str());
    }
    f.CAS->value(choisi);
    if (!exo->resultats.empty()) {
        f.TOTAL->copy_label((std::to_string(points) + "/" + std::to_string(exo->exo.total()) +
                             " points pour " + exo->nom_verifie)
                                .c_str());
    } else if (!exo->correction.valid()) {
        f.TOTAL->copy_label("Pas encore vérifié : « Vérifier » (F6) corrige le programme chargé.");
    }
    montre_cas_choisi();
}

void simulateur::montre_cas_choisi() {
    fenetre_exercice_class& f = *fenetre_exo;
    std::size_t const i = static_cast<std::size_t>(f.CAS->value() - 1);
    if (f.CAS->value() <= 0 || i >= exo->exo.cas.size() || !exo->refus.empty()) {
        f.MESSAGE->copy_label(!exo->refus.empty()
                                  ? "Les erreurs du fichier, avec leur ligne et leur colonne."
                                  : "Choisissez un cas, puis « Préparer le cas » pour le suivre "
                                    "pas à pas.");
        f.PREPARER->deactivate();
        return;
    }
    f.PREPARER->activate();
    std::string texte = nom_du_cas(exo->exo.cas[i]);
    if (i < exo->resultats.size()) {
        resultat_cas const& r = exo->resultats[i];
        texte += r.reussi ? " : réussi, " + compte(static_cast<std::size_t>(r.points), "point")
                          : " : " + r.message;
    }
    f.MESSAGE->copy_label(libelle_litteral(texte).c_str());
}

void simulateur::prepare_cas_choisi() {
    fenetre_exercice_class& f = *fenetre_exo;
    std::size_t const i = static_cast<std::size_t>(f.CAS->value() - 1);
    if (f.CAS->value() <= 0 || i >= exo->exo.cas.size() || !exo->refus.empty()) {
        return;
    }
    cas_exercice const& c = exo->exo.cas[i];
    if (!programme_en_memoire.charge) {
        f.PREPARE->copy_label("Aucun programme chargé : rien à préparer.");
        return;
    }
    cas_pret const pret = prepare_cas(c, programme_en_memoire);
    if (!pret.erreur.empty()) {
        f.PREPARE->copy_label(
            libelle_litteral("« " + c.nom + " » ne se prépare pas : " + pret.erreur).c_str());
        return;
    }
    if (marche.en_marche()) {
        arrete_marche();
    }
    // Comme Ctrl+R, depuis le programme corrige : processeur neuf, points d'arret
    // gardes ; les entrees de tous les ports a 0, comme sur la machine du correcteur.
    memoire.load_image(programme_en_memoire.base, programme_en_memoire.image);
    demarre_programme_charge(fichier_charge, chargement::rechargement);
    for (int p = 0; p < nb_ports; ++p) {
        pose_entree(moteur, p, 0);
    }
    for (octets_poses const& o : pret.demande.memoire) {
        pose_octets(moteur, o.adresse, o.octets);
    }
    marche.evenements().arme(pret.demande.entrees);
    marche.evenements().pose_dues(moteur);
    montre_machine();
    std::string texte = "Cas préparé : " + nom_du_cas(c);
    if (!c.evenements.empty()) {
        texte += " ; événements aux pas";
        for (evenement_entree const& e : c.evenements) {
            texte += " " + std::to_string(e.pas);
        }
    }
    f.PREPARE->copy_label(libelle_litteral(texte).c_str());
    barre_marche->ETAT->copy_label(libelle_litteral("Cas « " + c.nom + " » préparé").c_str());
}

void simulateur::oublie_cas() {
    marche.evenements().desarme();
    fenetre_exo->PREPARE->copy_label("");
}
