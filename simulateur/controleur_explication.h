// Controleur de la fenetre "Pourquoi ?" : une question (clic droit sur une entree
// de pile, un port, un octet du dump, un drapeau ou le texte d'arret) arrive par
// la file ; la reponse de pourquoi() est montree, un maillon par ligne. Un clic sur
// une instruction ramene la machine juste apres elle par le pas arriere ;
// "Revenir" rend exactement la machine de la question (memoire, processeur,
// ports et leurs bits cliques, evenements, arret montre). Possede par le
// simulateur ; il ne voit de lui que le pont.
#ifndef KARVELA_CONTROLEUR_EXPLICATION_H
#define KARVELA_CONTROLEUR_EXPLICATION_H

#include <string>
#include <vector>

#include "explication/pourquoi.h"
#include "simulateur/interface_explication.h"
#include "simulateur/pont.h"

class controleur_explication {
  public:
    // Cree la fenetre, cachee.
    explicit controleur_explication(pont_simulateur pont);
    ~controleur_explication();
    controleur_explication(controleur_explication const&) = delete;
    controleur_explication& operator=(controleur_explication const&) = delete;

    Fl_Window* fenetre() const { return fen_->explication; }
    // Ce que fait un clic droit : la question part par la file, comme un clic.
    void demande(question_pourquoi const& q);
    // Vrai si obj est a cette fenetre ; il est alors traite.
    bool commande(Fl_Widget* obj);

  private:
    friend struct acces_simulateur; // ouverture reservee aux tests

    // La machine telle qu'a la question, pour "Revenir".
    struct photo {
        std::vector<unsigned char> memoire;
        mp_interpreteur cpu;
        registre_port ports[nb_ports];
        evenements_armes evenements;
        std::vector<ecriture_exterieure> editions;
        arret raison = arret::aucun;
        unsigned short adresse = 0;
        erreur_pile_sorte pile = erreur_pile_sorte::aucune;
        unsigned long long pas = 0;
        // Le programme d'alors : un autre charge depuis, il n'y a plus rien a rendre.
        std::vector<unsigned char> image;
        unsigned short base = 0;
        std::string fichier;
    };

    void repond();
    // Ligne de la liste (de 1) : son maillon, s'il mene quelque part.
    void va_a_la_ligne(int ligne);
    void revient();
    bool meme_programme() const;
    void prend_photo();
    // Le meme nombre de pas qu'a la question, puis l'etat photographie.
    void rend_photo();

    pont_simulateur pont_;
    explication_class* fen_;
    question_pourquoi question_;
    explication reponse_;
    photo photo_;
    bool ailleurs_ = false;               // un maillon a ete visite depuis la photo
    unsigned long long pas_question_ = 0; // pas de la machine a la question
};

#endif
