// Ce que karvela-note rend d'une correction : le texte pour l'enseignant et
// l'etudiant, le tableau CSV pour le tableur (separateur ";", comme les tableurs
// francais l'ouvrent), l'objet JSON pour les scripts. Le JSON est toujours de
// l'UTF-8 valide ; le texte echappe les caracteres de controle des noms.
#ifndef KARVELA_EXERCICES_RENDUS_H
#define KARVELA_EXERCICES_RENDUS_H

#include <string>
#include <vector>

#include "exercices/correction.h"

// Une ligne par copie, "copie.asm : 5/8", ses notes et avertissements, puis une
// ligne par cas echoue ; une etiquette absente n'est dite qu'une fois par copie.
// sur > 0 : la note sur sur en plus ("5/8 — 12,5/20", colonne et cle "note").
std::string rendu_texte(exercice const& e, std::vector<resultat_copie> const& r, long long sur = 0);
// Precede d'une marque d'ordre des octets : un tableur y reconnait l'UTF-8.
std::string rendu_csv(exercice const& e, std::vector<resultat_copie> const& r, long long sur = 0);
std::string rendu_json(exercice const& e, std::vector<resultat_copie> const& r, long long sur = 0);

// La note sur sur, en quarts de point, arrondie au plus proche (un demi-quart vers
// le haut) : 5/8 sur 20 donne 50 (12,5).
long long note_en_quarts(long long points, long long total, long long sur);
// "12,5", "12,25", "12" ; virgule : ',' ou '.'.
std::string texte_note(long long quarts, char virgule);

// La ligne d'un cas echoue, sans marge : "✘ tous (E=$FF) : port B vaut 7, attendu 8".
std::string ligne_echec(cas_exercice const& c, resultat_cas const& r);
// La ligne d'un cas, sans marge : ✔ et son nom, ou ✘, son nom, ce qui change en
// route et ce qui differe ("✘ lu (E=$0F), après E=$81 au pas 150 : port B vaut 4,
// attendu 1"). Pour l'etudiant, un cas cache n'a que son nom et son verdict.
std::string ligne_du_cas(cas_exercice const& c, resultat_cas const& r, bool pour_etudiant);

// Les lignes d'une copie sous sa ligne de points, sans marge : avertissements,
// premier diagnostic d'une copie qui ne se charge pas, cas echoues (les cas non
// lances pour une meme raison sur une seule ligne).
std::vector<std::string> lignes_copie(exercice const& e, resultat_copie const& r);

// L'objet JSON d'un cas, tel que les copies le donnent.
std::string json_du_cas(resultat_cas const& c);
// Un tableau JSON de chaines.
std::string json_des_chaines(std::vector<std::string> const& v);
// Un champ du CSV a « ; », entre guillemets s'il le faut.
std::string champ_csv(std::string const& t);
// Le debut d'un tableau des points : marque UTF-8, les colonnes premieres (deja
// separees par ;), "note" avec sur, puis le nom de chaque cas.
std::string entete_csv(exercice const& e, char const* premieres, long long sur);
// La fin de la ligne d'une copie, apres ses colonnes premieres : ";points;total",
// la note avec sur, les points de chaque cas, et la fin de ligne.
std::string points_csv(resultat_copie const& copie, long long sur);

// Une chaine JSON entre guillemets ; un octet qui n'est pas de l'UTF-8 devient U+FFFD.
std::string chaine_json(std::string const& t);
// Le texte, chaque octet qui n'est pas de l'UTF-8 remplace par U+FFFD.
std::string en_utf8(std::string const& t);
// Les caracteres de controle ecrits \n, \t, \x1b... : un nom sur une ligne.
std::string nom_lisible(std::string const& t);

#endif
