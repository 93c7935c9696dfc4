// Cles d'adresse des exercices et de karvela-run --pose et --memoire : un nombre
// sous les formes de l'assembleur ("$0200", "0x200", "512"), un nom predefini de
// l'assembleur (PORTB, DDRC...) ou un symbole du programme (etiquette ou
// constante), suivis ou non de +N ou -N. Un nombre ou un nom predefini se verifie
// des la lecture ; un symbole ne se resout que sur un programme assemble, dont la
// table des symboles vient de l'assembleur. Et la suggestion "voulez-vous dire",
// pour les noms proches.
#ifndef KARVELA_EXERCICES_ADRESSES_H
#define KARVELA_EXERCICES_ADRESSES_H

#include <cstddef>
#include <string>
#include <vector>

#include "execution/moteur.h"

struct cle_adresse {
    std::string texte; // telle qu'ecrite
    bool symbolique = false;
    std::string symbole;    // symbolique : le nom
    long long nombre = 0;   // l'adresse (nom predefini compris), ou le decalage du symbole
    bool predefini = false; // un nom predefini : un nombre, mais dit par son nom
};

// Faux si le texte n'a aucune des deux formes ; un nombre peut etre hors memoire.
bool lit_cle_adresse(std::string const& texte, cle_adresse& c);

// Le message d'une cle mal formee, dit par le fichier et par la commande.
std::string cle_invalide(std::string const& texte);

// Vide si taille octets depuis la cle tiennent en memoire, sinon pourquoi.
std::string hors_memoire(std::string const& texte, long long adresse, std::size_t taille);

// L'adresse de la cle dans p (taille octets a partir d'elle) ; vide si trouvee,
// sinon la phrase qui dit pourquoi (symbole absent, .bin sans symboles, hors memoire).
std::string resout_cle(cle_adresse const& c, programme_charge const& p, std::size_t taille,
                       unsigned short& adresse);

// Ce que resout_cle dit d'un symbole de source : vide s'il est dans p (valeur
// recoit sa valeur), sinon la phrase de son absence, suggestion comprise.
std::string cherche_symbole(std::string const& symbole, programme_charge const& p,
                            long long& valeur);
// La suite de resout_cle, le symbole deja cherche : valeur_symbole est sa valeur
// (ignoree pour une cle qui n'est pas symbolique).
std::string place_cle(cle_adresse const& c, long long valeur_symbole, std::size_t taille,
                      unsigned short& adresse);

// L'adresse en memoire du registre de port r (indice dans noms_registres_ports).
unsigned short adresse_registre(int r);

// "$0200", comme les messages ecrivent une adresse.
std::string texte_adresse(long long adresse);

// " (voulez-vous dire « x » ?)" pour le candidat le plus proche de nom (casse et
// accents ignores ; deux fautes au plus, une pour un nom de 3 ou 4 lettres, aucune
// en dessous) ; vide sinon. Un candidat dont la longueur differe de plus que les
// fautes permises n'est pas compare : la liste des noms d'un gros source se
// parcourt sans calcul de distance.
std::string suggestion(std::string const& nom, std::vector<std::string> const& candidats);

#endif
