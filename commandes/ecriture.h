// Ecriture des sorties d'une commande : chaque fichier dans un temporaire a cote de
// sa cible, puis un renommage. Une cible n'est remplacee que par un fichier
// complet, et les sorties d'une commande sont ecrites toutes ou aucune : en cas
// d'echec les cibles restent telles qu'elles etaient et les temporaires
// disparaissent. Un lien est suivi ; un lien pendant ou en boucle est refuse, pour
// ne pas etre remplace par un fichier. Un peripherique ou un tube qui a un lecteur
// (/dev/null, /dev/stdout) est ecrit sur place ; un tube sans lecteur est refuse
// aussitot, plutot que d'attendre.
#ifndef KARVELA_COMMANDES_ECRITURE_H
#define KARVELA_COMMANDES_ECRITURE_H

#include <string>
#include <vector>

struct sortie_fichier {
    std::string chemin;
    std::string contenu;
};

// Vide si tout est ecrit, sinon le message francais ; toutes ou aucune.
std::string ecrit_fichiers(std::vector<sortie_fichier> const& sorties);
std::string ecrit_fichier(std::string const& chemin, std::string const& contenu);

// Vrai si les deux chemins nomment le meme fichier : le meme s'il existe, sinon
// les memes chemins absolus, normalises, liens des dossiers suivis.
bool meme_fichier(std::string const& a, std::string const& b);

// A la fin d'une commande : code si tout ce qu'elle a ecrit sur la sortie
// standard y est passe, sinon 1 apres une ligne sur la sortie d'erreur
// ("karvela-run: impossible d'écrire la sortie standard : disque plein").
int fin_commande(char const* commande, int code);

#endif
