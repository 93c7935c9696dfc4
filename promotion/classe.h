// Une classe corrigee : pour chaque etudiant, le fichier qui compte (le meilleur
// de ceux qu'il a rendus), son resultat et ses notes ; les groupes de copies
// semblables ; le bilan (repartition des points, reussite de chaque cas, echecs
// les plus frequents). Des valeurs : texte, CSV, JSON, feuille de notes, retours
// et page en sont des impressions.
#ifndef KARVELA_PROMOTION_CLASSE_H
#define KARVELA_PROMOTION_CLASSE_H

#include <string>
#include <vector>

#include "exercices/correction.h"
#include "promotion/export.h"
#include "promotion/similarite.h"

struct autre_corrige {
    std::string fichier;
    long long points;
};

struct resultat_etudiant {
    etudiant qui;
    bool rendu = false;                // au moins un fichier a corriger
    std::string fichier;               // celui qui compte, depuis son dossier
    resultat_copie copie;              // son resultat ; sans rendu, des cas non lances
    std::vector<autre_corrige> autres; // les autres fichiers corriges, moins bons
    std::vector<std::string> notes;    // de l'export, puis du fichier qui compte
    empreintes empreinte;              // du fichier qui compte
};

struct barre_histogramme {
    std::string libelle; // "5", ou "10-14" par tranches au-dela de 20 points
    int nombre = 0;
};

struct reussite_cas {
    int reussis = 0;
    int sur = 0; // etudiants qui ont rendu un fichier a corriger
};

struct echec_frequent {
    std::size_t cas; // indice dans l'exercice
    std::string message;
    int nombre = 0;
};

struct bilan_classe {
    std::vector<barre_histogramme> histogramme;
    std::vector<reussite_cas> cas;      // dans l'ordre de l'exercice
    std::vector<echec_frequent> echecs; // les plus frequents d'abord, au plus 10
};

struct classe_corrigee {
    std::vector<resultat_etudiant> etudiants;
    std::vector<groupe_semblable> groupes; // membres : indices d'etudiants
    bilan_classe bilan;
    std::vector<std::string> notes; // de l'export
    bool juste() const;             // tous rendus, tous les cas reussis
};

// fils : 0 pour autant que la machine a de coeurs.
classe_corrigee corrige_classe(exercice const& e, classe_lue c, unsigned fils = 0);

// Des copies corrigees hors d'une classe (la ligne de commande), un etudiant
// chacune, nomme par son fichier : pour la page du bilan.
classe_corrigee classe_des_copies(exercice const& e, std::vector<resultat_copie> copies,
                                  std::vector<empreintes> const& empreintes_copies);

// "Martin Alice (123456)", ou le nom seul.
std::string nom_etudiant(etudiant const& e);

#endif
