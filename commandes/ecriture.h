// Ecriture des sorties d'une commande et de la fenetre du source. Un fichier
// ordinaire est ecrit dans un temporaire a cote de lui puis renomme : il n'est
// remplace que par un fichier complet. Un lien est suivi ; un lien pendant ou en
// boucle est refuse, pour ne pas etre remplace par un fichier. Un fichier sans
// aucun droit d'ecriture est refuse et laisse tel quel, comme cp le refuse, meme
// pour root.
//
// Ecrit sur place, jamais renomme :
// - ce qui n'est pas un fichier ordinaire au bout des liens : un peripherique ou un
//   tube qui a un lecteur (/dev/null) ; un tube sans lecteur est refuse aussitot,
//   plutot que d'attendre ;
// - un descripteur de la commande (/dev/stdout, /dev/fd/1, /proc/self/fd/N) : la
//   sortie est ecrite dans ce descripteur, a sa position, apres ce qui attendait sur
//   la sortie standard ; ouvert en ajout (>> journal), il garde ce qu'il avait ;
// - un fichier qu'on peut ecrire dans un dossier ou l'on ne peut pas creer le
//   temporaire (un dossier partage), ou le fichier d'un autre utilisateur, qui
//   garde ainsi son proprietaire (et que le sticky bit de /tmp interdit de
//   remplacer) : son ancien contenu est garde en memoire et remis si l'ecriture
//   echoue ; il faut pouvoir le lire.
//
// Plusieurs sorties sont ecrites toutes ou aucune, avec ces limites : les
// temporaires sont complets avant qu'un fichier ecrit sur place soit touche, puis
// viennent les fichiers sur place, puis les peripheriques, tubes et descripteurs,
// enfin les renommages. Un echec remet les fichiers ecrits sur place (sauf si leur
// ancien contenu ne peut plus etre ecrit : le message le dit) et efface les
// temporaires. Ce qui est parti dans un tube ou un peripherique n'est pas repris ;
// un renommage deja fait ne l'est pas non plus, si un renommage suivant echoue.
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

// Au debut de chaque commande : une sortie standard dont le lecteur est parti
// (| head -1) ou un fichier qui depasse ulimit -f fait echouer l'ecriture au lieu
// de tuer la commande, qui finit d'ecrire ses fichiers ; fin_commande le dit.
void debut_commande();

// A la fin d'une commande : code si tout ce qu'elle a ecrit sur la sortie
// standard y est passe, sinon 1 apres une ligne sur la sortie d'erreur
// ("karvela-run: impossible d'écrire la sortie standard : disque plein").
int fin_commande(char const* commande, int code);

#endif
