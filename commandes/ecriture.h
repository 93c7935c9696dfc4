// Ecriture d'un fichier de sortie d'une commande : un fichier temporaire a cote de
// la cible, puis un renommage. La cible n'est remplacee que par un fichier complet ;
// en cas d'echec elle reste telle qu'elle etait et le temporaire disparait. Un lien
// est suivi, un peripherique ou un tube (/dev/null, /dev/stdout) ecrit sur place.
#ifndef KARVELA_COMMANDES_ECRITURE_H
#define KARVELA_COMMANDES_ECRITURE_H

#include <string>

// Vide si tout est ecrit, sinon le message francais.
std::string ecrit_fichier(std::string const& chemin, std::string const& contenu);

// Vrai si les deux chemins nomment le meme fichier existant (ou le meme texte).
bool meme_fichier(std::string const& a, std::string const& b);

#endif
