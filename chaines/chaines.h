// Conversions entre nombres et textes utilisees par le simulateur.
// Fonctions pures : pas d'etat, pas d'exception, pas de message.
// Les sorties hexadecimales sont en minuscules et gardent leurs zeros de tete.
#ifndef KARVELA_CHAINES_H
#define KARVELA_CHAINES_H

#include <list>
#include <string>

typedef std::list<std::string> list_String;
typedef std::list<int> list_int;

// Les 8 bits de poids faible de n, bit 7 en tete ("00000101" pour 5).
std::string bin8toS(int n);
// Un chiffre hexadecimal : n modulo 16.
std::string hex1toS(int n);
// Deux chiffres : bits 7..4 puis 3..0.
std::string hex2toS(int n);
// Quatre chiffres : bits 15..0.
std::string hex4toS(int n);

// Texte lu en hexadecimal a partir de la premiere occurrence du marqueur,
// en decimal signe s'il n'y en a pas.
int Stoloruhex(std::string const& marqueur, std::string const& texte);
// Decimal signe sans aucune validation : chaque caractere vaut son code moins 48.
int Stol(std::string texte);
// Hexadecimal sans validation : un caractere qui n'est pas un chiffre compte pour 0.
unsigned int Stouhex(std::string const& texte);
// Valeur du chiffre c dans la base (2, 10 ou 16, majuscules et minuscules), -1
// s'il n'en est pas un.
int valeur_chiffre(char c, int base);
// Le texte sans ses blancs ni tabulations de tete et de queue.
std::string sans_blancs(std::string const& texte);
// Les caracteres du texte a partir de la position (incluse).
std::string my_after(std::string const& texte, int position);

#endif
