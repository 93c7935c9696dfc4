// La feuille de notes hors ligne de la plateforme (« Télécharger la feuille
// d'évaluation ») : un CSV qu'elle telecharge et reprend, colonnes Identifier
// (« Participant 123456 »), Full name, ..., Grade, Maximum Grade, ...,
// Feedback comments, en anglais ou en francais (Identifiant, Nom complet, Note,
// Note maximale, Feedback par commentaires). Reecrite telle quelle : seuls les
// champs Grade et Feedback comments des etudiants trouves changent ; separateur,
// encodage (UTF-8, ou Latin-1 si elle n'est pas en UTF-8), marque d'ordre des
// octets, fins de ligne, guillemets et autres champs restent octet pour octet.
#ifndef KARVELA_PROMOTION_FEUILLE_H
#define KARVELA_PROMOTION_FEUILLE_H

#include <string>
#include <vector>

struct note_feuille {
    std::string identifiant; // celui de la plateforme, chiffres seuls
    long long points = 0, total = 0;
    std::string commentaire; // en UTF-8
};

struct feuille_remplie {
    std::string texte;                   // la feuille reecrite
    std::string erreur;                  // vide si elle a ete lue
    int remplies = 0;                    // lignes ou une note a ete mise
    std::vector<std::string> sans_copie; // lignes de la feuille sans etudiant de la classe
    std::vector<std::string> absents;    // identifiants de la classe absents de la feuille
};

// sur > 0 : la note sur sur ; sinon sur la note maximale de la ligne, ou les points
// s'il n'y en a pas.
feuille_remplie remplit_feuille(std::string const& texte, std::vector<note_feuille> const& notes,
                                long long sur);

#endif
