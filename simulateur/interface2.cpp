// Controleur du simulateur : demarrage, boucle de commandes sur la file d'objets
// Forms, crochet d'evenements, commandes des boutons et du menu Fichier, panneau
// des registres et vues (pile, desassemblage, dump), et ce que le pont relaie.
// Invariants : chaque passe prend au plus un widget dans la file, relit le panneau
// dans le processeur avant toute commande, le donne a la premiere commande ou
// compagne qui le reconnait, puis l'offre aux ports A a E ; le dump montre
// toujours 96 octets consecutifs entre 0x0000 et 0xFFFF.
#include "simulateur/interface2.h"

#include <FL/Fl_File_Chooser.H>
#include <FL/fl_ask.H>
#include <FL/forms.H>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <utility>

#include "chaines/chaines.h"
#include "chaines/saisie.h"
#include "simulateur/bande_fichiers.h"
#include "simulateur/controleur_aller_a.h"
#include "simulateur/controleur_explication.h"
#include "simulateur/controleur_exercice.h"
#include "simulateur/controleur_platine.h"
#include "simulateur/controleur_source.h"
#include "simulateur/desassemblage_arriere.h"
#include "simulateur/selecteur.h"

namespace {

constexpr Fl_Color couleur_vive = 174;     // case de pile occupee, ligne du PC (orange clair)
constexpr Fl_Color couleur_blanche = 255;  // toutes les autres lignes
constexpr Fl_Color couleur_selection = 50; // couleur de selection des lignes
constexpr int nblign_desassemblage = 12;   // lignes du desassemblage
constexpr int texte_instruction_max = 10;  // "BEQZ $fffd", le plus long texte d'instruction
constexpr int nb_cases_pile = 16;          // cases de la pile interne
constexpr int nblign_dump = 12;            // lignes du dump
constexpr int octets_par_ligne_dump = 8;   // octets d'une ligne du dump
constexpr int debut_dump_max = 65440;      // 65536 - 96 : douze lignes tiennent encore
constexpr int taille_texte_dump = 13;      // taille des caracteres du dump
constexpr int nb_adresses = 0x10000;       // au-dela, la memoire reprend les memes cases
constexpr int placement_principal = FL_PLACE_CENTER | FL_FREE_SIZE; // centree, redimensionnable

// Les cinq ports, dans l'ordre A a E de ports_machine (adresses et masques) :
// position et nom du registre de valeur, puis du registre de direction (nom
// vide : aucun).
struct placement_port {
    int x, y;
    char const* nom;
    int xd, yd;
    char const* nom_direction;
};
constexpr placement_port table_ports[nb_ports] = {
    {40, 200, "Port A", 0, 0, ""},          // rangee du haut, a gauche
    {130, 200, "Port B", 0, 0, ""},         // rangee du haut
    {220, 200, "Port C", 220, 270, "DDRC"}, // DDRC sous Port C
    {310, 200, "Port D", 310, 270, "DDRD"}, // DDRD sous Port D
    {40, 270, "Port E", 0, 0, ""},          // sous Port A
};

constexpr char const* menu_fichier = "A propos de...|Ouvrir fichier binaire|Quitter";

// Deuxieme et troisieme lignes de l'alerte d'un champ d'edition memoire refuse.
constexpr char const* aide_champ_nombre =
    "Tapez un nombre : décimal (12, -3), hexadécimal ($1f, 0x1f) ou caractère ('A').";
constexpr char const* rien_ecrit = "Rien n'a été écrit en mémoire.";

// Les dialogues de la boite a outils parlent anglais par defaut ; l'etudiant ne
// doit voir que du francais. Le selecteur lit ses libelles a sa construction, au
// premier usage : il suffit de les poser au demarrage.
void francise_dialogues() {
    fl_close = "Fermer";
    fl_ok = "OK";
    fl_cancel = "Annuler";
    fl_yes = "Oui";
    fl_no = "Non";
    Fl_File_Chooser::add_favorites_label = "Ajouter aux favoris";
    Fl_File_Chooser::all_files_label = "Tous les fichiers (*)";
    Fl_File_Chooser::custom_filter_label = "Filtre personnalisé";
    Fl_File_Chooser::existing_file_label = "Choisissez un fichier existant !";
    Fl_File_Chooser::favorites_label = "Favoris";
    Fl_File_Chooser::filename_label = "Fichier :";
    Fl_File_Chooser::filesystems_label = "Systèmes de fichiers";
    Fl_File_Chooser::manage_favorites_label = "Gérer les favoris";
    Fl_File_Chooser::new_directory_label = "Nouveau dossier ?";
    Fl_File_Chooser::new_directory_tooltip = "Créer un nouveau dossier.";
    Fl_File_Chooser::preview_label = "Aperçu";
    Fl_File_Chooser::save_label = "Enregistrer";
    // Court : ce libelle se dessine a gauche du choix et deborderait de la fenetre.
    Fl_File_Chooser::show_label = "Filtre :";
    Fl_File_Chooser::hidden_label = "Fichiers cachés";
}

// Rappel de la fenetre principale. La boite a outils ferme une fenetre sur Echap
// comme sur la case de fermeture ; Echap est ignore ici, sinon l'etudiant
// perdrait d'une touche la memoire qu'il a tapee. La vraie fermeture garde le
// comportement par defaut (cacher et mettre en file) : la boucle y repond.
void fermeture_fenetre_principale(Fl_Widget* fenetre, void* donnees) {
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) {
        return;
    }
    Fl::default_atclose(static_cast<Fl_Window*>(fenetre), donnees);
}

// Ce qu'accepte un champ d'edition memoire. Une adresse ou un octet se tapent
// signes ou non (-1 : $ffff, $ff) ; au-dela, la case ou l'octet ecrits ne seraient
// pas ceux tapes. Tout compte est exact : 0 ou moins n'ecrit rien, 65536 ou plus
// passe une fois sur chaque case.
struct limites_champ {
    char const* nom; // libelle du champ
    long long min, max;
    char const* plage; // dite par l'alerte
};
constexpr limites_champ limites_champs[] = {
    {"adresse", -0x8000, 0xFFFF, "de -32768 à 65535 ($ffff)"},
    {"valeur", -0x80, 0xFF, "de -128 à 255 ($ff)"},
    {"x", -plafond_saisie, plafond_saisie, ""},
};

// Le simulateur que sert le crochet d'evenements ; un seul vit a la fois.
simulateur* simulateur_crochet = nullptr;
Fl_Event_Dispatch crochet_precedent = nullptr;

// Premiere ligne de l'alerte : elle nomme le champ refuse par son libelle.
std::string message_champ_invalide(limites_champ const& champ, bool est_nombre) {
    std::string const debut = std::string("Erreur: le champ \"") + champ.nom + "\" ";
    return est_nombre ? debut + "doit aller " + champ.plage + "." : debut + "n'est pas un nombre.";
}

} // namespace

void reg2bin8(unsigned char v, char* buffer) {
    // Meme texte que celui des ports : huit chiffres et le zero final.
    std::string const chiffres = bin8toS(v);
    std::memcpy(buffer, chiffres.c_str(), chiffres.size() + 1);
}

simulateur::simulateur(int argc, char** argv)
    : SIM(nullptr), form_about(nullptr), aide(nullptr), point_desa(), point_pile(), point_dump(),
      moteur(memoire, inter,
             {&portA.registre(), &portB.registre(), &portC.registre(), &portD.registre(),
              &portE.registre()}),
      adr_debut_desassemblage(0), fermer_aide(nullptr), horloge_marche(nullptr),
      marche(moteur, [this] { return horloge_marche(); }), barre_marche(nullptr), adresse_desa(),
      ligne_pc_desa(0) {
    fl_initialize(&argc, argv, nullptr, nullptr, 0);
    francise_dialogues();

    SIM = new SIM_class();
    SIM->SIM->callback(fermeture_fenetre_principale);
    fl_set_menu(SIM->m_fichier, menu_fichier);

    form_about = new form_about_class();
    aide = new aide_class();

    Fl_Widget* const desa[nblign_desassemblage] = {
        SIM->DESA01, SIM->DESA02, SIM->DESA03, SIM->DESA04, SIM->DESA05, SIM->DESA06,
        SIM->DESA07, SIM->DESA08, SIM->DESA09, SIM->DESA10, SIM->DESA11, SIM->DESA12};
    Fl_Widget* const pile[nb_cases_pile] = {SIM->PILE00, SIM->PILE01, SIM->PILE02, SIM->PILE03,
                                            SIM->PILE04, SIM->PILE05, SIM->PILE06, SIM->PILE07,
                                            SIM->PILE08, SIM->PILE09, SIM->PILE10, SIM->PILE11,
                                            SIM->PILE12, SIM->PILE13, SIM->PILE14, SIM->PILE15};
    for (int y = 0; y < nblign_desassemblage; ++y) {
        point_desa[y] = desa[y];
    }
    for (int n = 0; n < nb_cases_pile; ++n) {
        point_pile[n] = pile[n];
    }

    fl_set_slider_bounds(SIM->DUMP_SLIDE, 0, debut_dump_max);
    fl_set_slider_step(SIM->DUMP_SLIDE, 1);
    fl_set_slider_value(SIM->DUMP_SLIDE, 0);

    Fl_Widget* const dump[nblign_dump] = {SIM->DUMP01, SIM->DUMP02, SIM->DUMP03, SIM->DUMP04,
                                          SIM->DUMP05, SIM->DUMP06, SIM->DUMP07, SIM->DUMP08,
                                          SIM->DUMP09, SIM->DUMP10, SIM->DUMP11, SIM->DUMP12};
    for (int n = 0; n < nblign_dump; ++n) {
        point_dump[n] = dump[n];
    }

    inter.learn_mem(&memoire);
    inter.init_registers();

    sauve_registres();
    adr_debut_desassemblage = inter.PC_value();
    rafraichit_desassemble();
    rafraichit_pile();
    rafraichit_dump(0);

    portparallele* const ports[] = {&portA, &portB, &portC, &portD, &portE};
    for (int p = 0; p < nb_ports; ++p) {
        placement_port const& c = table_ports[p];
        description_port const& d = ports_machine[p];
        ports[p]->configure(SIM, c.x, c.y, c.nom, d.adresse_valeur, c.xd, c.yd, c.nom_direction,
                            d.adresse_direction, d.forc_sortie, d.forc_entree, &memoire);
    }
    // Lue une fois, ce que la boite a outils a laisse de la ligne de commande.
    demande_lancement const demande = lit_ligne_commande(argc, argv);
    prepare_ajouts(demande);
    // Les fenetres compagnes, chacune a son controleur, qui ne voit du simulateur
    // que le pont, et le mode marche, dans l'ordre ou leurs boutons rejoignent la
    // barre du haut ; le crochet d'evenements suit le mode marche.
    pont_simulateur const pont(*this);
    exercice = std::make_unique<controleur_exercice>(SIM, pont, demande.exercice);
    prepare_marche();
    simulateur_crochet = this;
    crochet_precedent = Fl::event_dispatch();
    Fl::event_dispatch(aiguille_evenement);
    source = std::make_unique<controleur_source>(SIM, pont);
    platine = std::make_unique<controleur_platine>(SIM, pont);
    aller_a = std::make_unique<controleur_aller_a>(pont);
    prepare_zoom(demande.zoom); // apres toutes les fenetres : il les inscrit

    fl_show_form(SIM->SIM, placement_principal, FL_FULLBORDER, "Machine a pile");
    fenetres.montree(SIM->SIM); // centree, puis la ou ses compagnes tiennent a cote
}

simulateur::~simulateur() {
    fl_hide_form(SIM->SIM);
    fl_finish();
    exercice.reset();
    detruit_ajouts();
    Fl::event_dispatch(crochet_precedent);
    crochet_precedent = nullptr;
    simulateur_crochet = nullptr;
    detruit_marche();
    platine.reset();
    aller_a.reset();
    explication.reset();
    source.reset();
    // Les fenetres emportent leurs widgets, ceux des ports compris ; les ports
    // detruits ensuite ne touchent plus a aucun widget.
    delete SIM->SIM;
    delete SIM;
    delete form_about->form_about;
    delete form_about;
    delete aide->aide;
    delete aide;
}

void simulateur::interprete_commandes() {
    while (passe_commande() != 0) {
    }
}

int simulateur::passe_commande() {
    Fl::check();
    suit_aide(); // le texte a pu defiler a la molette, sans rien mettre en file
    Fl_Widget* obj = Fl::readqueue();
    if (obj == nullptr) {
        // File vide : la marche avance ; arretee, dormir jusqu'au prochain evenement
        // plutot que tourner a vide.
        if (marche.en_marche()) {
            avance_marche();
        } else {
            Fl::wait();
        }
        return 1;
    }
    obj = platine->bit_de(obj);

    int encore = 1;
    // Les ports reecrivent leurs registres apres la commande : le dump doit etre
    // redessine ensuite pour ne pas montrer un octet que la memoire n'a plus.
    bool memoire_ecrite = false;
    avant_commande(obj);
    charge_registres();

    if (obj == SIM->m_fichier) {
        memoire_ecrite = fl_get_menu(obj) == item_ouvrir;
        encore = interprete_menu_fichier(obj) == 0 ? 1 : 0;
    } else if (obj == SIM->SIM) {
        // Fermee par le gestionnaire de fenetres : comme "Quitter", qui peut s'annuler.
        encore = source->peut_abandonner() ? 0 : 1;
        if (encore != 0) {
            SIM->SIM->show();
        }
    } else if (obj == SIM->B_RESET) {
        inter.init_registers();
        sauve_registres();
        rafraichit_desassemble();
        inter.set_SP_value(-1);
        // La derniere instruction ne decrit plus la pile remise a zero.
        pas_sans_reperes = static_cast<long long>(moteur.pas_enregistres());
        rafraichit_pile();
        marche.oublie_arret();
        exercice->oublie_cas();
        montre_etat_marche();
    } else if (obj == SIM->B_STEP) {
        marche.evenements().pose_dues(moteur);
        moteur.instruction();
        sauve_registres();
        rafraichit_pile();
        rafraichit_desassemble();
        // Les sorties des cinq ports (react_out), logique puis dessin.
        moteur.sorties_ports();
        marche.evenements().apres(moteur, 1);
        for (portparallele* port : {&portA, &portB, &portC, &portD, &portE}) {
            port->redessine();
        }
        rafraichit_dump(0);
    } else if (obj == SIM->VALID_MEM) {
        commande_memoire();
        memoire_ecrite = true;
    } else if (obj == SIM->DESA_D) {
        adr_debut_desassemblage = inter.adresse_suivante(adr_debut_desassemblage);
        rafraichit_desassemble();
    } else if (obj == SIM->DESA_PC) {
        adr_debut_desassemblage = inter.PC_value();
        rafraichit_desassemble();
    } else if (obj == SIM->DESA_U) {
        std::cerr << "a refaire" << std::endl;
        adr_debut_desassemblage = instruction_precedente(inter, adr_debut_desassemblage);
        rafraichit_desassemble();
    } else if (obj == SIM->DUMP_SLIDE) {
        rafraichit_dump(0);
    } else if (obj == SIM->DUMP_U) {
        rafraichit_dump(-octets_par_ligne_dump);
    } else if (obj == SIM->DUMP_D) {
        rafraichit_dump(octets_par_ligne_dump);
    } else if (obj == SIM->B_AIDE) {
        montre_aide();
    } else if (obj == aide->aide || obj == fermer_aide) {
        fl_hide_form(aide->aide);
    } else if (obj == sommaire->SOMMAIRE) {
        montre_section_aide();
    } else if (obj == fichiers->bouton_source()) {
        ouvre_source();
        memoire_ecrite = true;
    } else if (obj == fichiers->bouton_recharger()) {
        recharge();
        memoire_ecrite = true;
    } else if (exercice->commande(obj)) {
        memoire_ecrite = true;
    } else if (!source->commande(obj) && !commande_marche(obj) && !platine->commande(obj) &&
               !explication->commande(obj)) {
        aller_a->commande(obj);
    }

    // Chaine des ports : le premier qui prend le widget (un de ses bits d'entree)
    // arrete la chaine ; chaque port appele reecrit son registre de valeur.
    int modif_entree = 0;
    for (portparallele* port : {&portA, &portB, &portC, &portD, &portE}) {
        modif_entree = port->react_in(obj);
        if (modif_entree != 0) {
            break;
        }
    }
    if (modif_entree != 0 || memoire_ecrite) {
        rafraichit_dump(0);
    }
    actualise_recul();
    platine->rafraichit();
    return encore;
}

int simulateur::aiguille_evenement(int evenement, Fl_Window* fenetre) {
    // Le zoom vaut dans toute fenetre du simulateur, modale comprise ; une fenetre
    // modale ou un menu deroule garde ses autres evenements.
    if (simulateur_crochet != nullptr && Fl::grab() == nullptr &&
        simulateur_crochet->prend_touche_zoom(evenement, fenetre)) {
        return 1;
    }
    if (simulateur_crochet != nullptr && Fl::modal() == nullptr && Fl::grab() == nullptr &&
        simulateur_crochet->prend_evenement(evenement, fenetre)) {
        return 1;
    }
    return crochet_precedent != nullptr ? crochet_precedent(evenement, fenetre)
                                        : Fl::handle_(evenement, fenetre);
}

bool simulateur::prend_evenement(int evenement, Fl_Window* fenetre) {
    // Dans cet ordre : la molette des vues, Echap, chaque compagne (certaines ne
    // sont pas encore creees quand le crochet est pose), puis le mode marche.
    return prend_molette(evenement, fenetre) || prend_clic_droit(evenement, fenetre) ||
           prend_echap(evenement, fenetre) ||
           (aller_a != nullptr && aller_a->prend_evenement(evenement, fenetre)) ||
           (source != nullptr && source->prend_evenement(evenement, fenetre)) ||
           prend_evenement_marche(evenement, fenetre);
}

int simulateur::interprete_menu_fichier(Fl_Widget* obj) {
    int item = fl_get_menu(obj);
    if (item == item_a_propos) {
        fl_show_form(form_about->form_about, FL_PLACE_MOUSE, FL_TRANSIENT, "Informations");
        zoom.montree(form_about->form_about);
        // La boite est modale : le premier widget mis en file vient d'elle.
        while (Fl::readqueue() == nullptr) {
            Fl::wait();
        }
        fl_hide_form(form_about->form_about);
        return 0;
    }
    if (item == item_ouvrir) {
        std::string chemin = choisit_fichier(
            [] { return fl_show_file_selector("Choisissez un fichier binaire", "", "*.bin", ""); });
        if (chemin.empty()) {
            std::cerr << "chargement abandonne ..." << std::endl;
            return 0;
        }
        if (source->peut_abandonner()) {
            charge_programme(&chemin[0], chargement::ouvrir_binaire);
        }
        return 0;
    }
    if (item == item_quitter) {
        return source->peut_abandonner() ? 1 : 0;
    }
    return 0;
}

void simulateur::charge_programme(char* chemin, chargement sorte) {
    binaire_lu lu;
    if (memoire.load_binaire(chemin, &lu) == 0) {
        // Un fichier qui n'a pas pu etre lu le dit sous les deux lignes d'un refus.
        bool const illisible = lu.e == binaire_lu::etat::illisible;
        std::string const cause = "Cause : " + lu.raison;
        fl_show_alert("Erreur: fichier corrompu", "ou fichier binaire non attendu.",
                      illisible ? cause.c_str() : nullptr, 0);
        return;
    }
    programme_en_memoire = programme_binaire(chemin, lu);
    source->ferme();
    demarre_programme_charge(chemin, sorte);
}

void simulateur::demarre_programme_charge(std::string const& chemin, chargement sorte) {
    // Retenu seulement ici : apres un echec, la barre nomme encore le programme en memoire.
    fichiers->retiens(chemin);
    fichier_charge = chemin;
    exercice->programme_change();
    moteur.memoire_touchee();
    moteur.oublie_historique();
    editions.clear(); // elles parlaient de l'historique oublie
    if (sorte != chargement::rechargement) {
        marche.points().efface();
    }
    marche.oublie_arret();
    montre_etat_marche();
    if (sorte != chargement::ouvrir_binaire) {
        // Pile, CCR (E compris), A et X comme au lancement.
        inter = mp_interpreteur();
        inter.learn_mem(&memoire);
    }
    inter.init_registers();
    sauve_registres();
    if (sorte != chargement::ouvrir_binaire) {
        rafraichit_pile();
    }
    adr_debut_desassemblage = inter.PC_value();
    std::cerr << "depart: " << adr_debut_desassemblage << std::endl;
    rafraichit_desassemble();
    // La memoire a change : le dump et, par lui, les symboles du source la montrent.
    rafraichit_dump(0);
}

void simulateur::charge_image(programme_charge p, std::string const& chemin, chargement sorte) {
    memoire.load_image(p.base, p.image);
    programme_en_memoire = std::move(p);
    demarre_programme_charge(chemin, sorte);
}

void simulateur::commande_memoire() {
    Fl_Input* const champs[] = {SIM->adresse_select, SIM->valeur_select,
                                SIM->multiplicateur_select};
    long long valeurs[std::size(champs)] = {};
    for (std::size_t i = 0; i < std::size(champs); ++i) {
        nombre_tape const lu = lit_nombre_tape(fl_get_input(champs[i]));
        limites_champ const& champ = limites_champs[i];
        if (!lu.est_nombre || lu.valeur < champ.min || lu.valeur > champ.max) {
            fl_show_alert(message_champ_invalide(champ, lu.est_nombre).c_str(), aide_champ_nombre,
                          rien_ecrit, 0);
            return;
        }
        valeurs[i] = lu.valeur;
    }
    long long const adresse = valeurs[0];
    unsigned char const valeur = static_cast<unsigned char>(valeurs[1] & 0xFF);
    // Au-dela de 65536 ecritures les memes cases reviendraient avec le meme octet :
    // le resultat est identique et l'interface ne gele pas sur un grand compte.
    long long const nb_ecritures = std::min<long long>(std::max(valeurs[2], 0LL), nb_adresses);
    for (long long n = 0; n < nb_ecritures; ++n) {
        memoire.write_byte(static_cast<unsigned short>((adresse + n) & 0xFFFF), valeur);
    }
    note_edition(adresse, nb_ecritures, valeur);
    moteur.memoire_touchee();
    // L'arret montre decrivait une memoire qui n'est plus la meme.
    marche.oublie_arret();
    montre_etat_marche();
    rafraichit_dump(0);
    rafraichit_desassemble();
}

void simulateur::sauve_registres() {
    char buffer[81];
    unsigned char registre8 = inter.A_value();
    std::snprintf(buffer, sizeof buffer, "%2x", registre8);
    fl_set_input(SIM->REG_A_HEX, buffer);
    reg2bin8(registre8, buffer);
    SIM->REG_A_BIN->copy_label(buffer);

    registre8 = inter.CCR_value();
    reg2bin8(registre8, buffer);
    SIM->REG_CCR_BIN->copy_label(buffer);

    unsigned short registre16 = inter.X_value();
    std::snprintf(buffer, sizeof buffer, "   %4x", registre16);
    fl_set_input(SIM->REG_X_HEX, buffer);
    std::snprintf(buffer, sizeof buffer, "%5d", registre16);
    SIM->REG_X_DEC->copy_label(buffer);

    registre16 = inter.PC_value();
    std::snprintf(buffer, sizeof buffer, "   %4x", registre16);
    fl_set_input(SIM->REG_PC_HEX, buffer);
    std::snprintf(buffer, sizeof buffer, "%5d", registre16);
    SIM->REG_PC_DEC->copy_label(buffer);
}

void simulateur::charge_registres() {
    // Un champ qui ne porte aucun nombre hexadecimal laisse son registre tel quel.
    unsigned int tempon = 0;
    if (std::sscanf(fl_get_input(SIM->REG_A_HEX), "%x", &tempon) == 1) {
        inter.set_A_value(static_cast<unsigned char>(tempon & 0xFF));
    }
    if (std::sscanf(fl_get_input(SIM->REG_X_HEX), "%x", &tempon) == 1) {
        inter.set_X_value(static_cast<unsigned short>(tempon & 0xFFFF));
    }
    if (std::sscanf(fl_get_input(SIM->REG_PC_HEX), "%x", &tempon) == 1) {
        inter.set_PC_value(static_cast<unsigned short>(tempon & 0xFFFF));
    }
}

void simulateur::rafraichit_pile() {
    char chaine[81];
    short const SP = inter.SP_value();
    for (short n = 0; n < nb_cases_pile; ++n) {
        Fl_Widget* const cellule = point_pile[n];
        if (n <= SP) {
            fl_set_object_color(cellule, couleur_vive, couleur_selection);
            std::snprintf(chaine, sizeof chaine, "%d ", inter.pile(n));
            cellule->copy_label(chaine);
        } else {
            fl_set_object_color(cellule, couleur_blanche, couleur_selection);
            cellule->copy_label("       ");
        }
        cellule->redraw();
    }
    montre_reperes_pile();
}

void simulateur::rafraichit_desassemble() {
    char chaine[81];
    char tmp[81];
    unsigned short const PC = inter.PC_value();

    // La liste garde sa premiere ligne tant que le PC est l'une de ses adresses.
    unsigned short adr = adr_debut_desassemblage;
    int trouve = 0;
    for (int y = 0; y < nblign_desassemblage && trouve == 0; ++y) {
        if (adr == PC) {
            trouve = 1;
        }
        adr = inter.desassemblage_instruction(adr, tmp);
    }
    if (trouve == 0) {
        adr_debut_desassemblage = PC;
    }

    adr = adr_debut_desassemblage;
    for (int y = 0; y < nblign_desassemblage; ++y) {
        Fl_Widget* const ligne = point_desa[y];
        bool const ligne_du_pc = adr == PC;
        unsigned short const suivante = inter.desassemblage_instruction(adr, tmp);
        std::snprintf(chaine, sizeof chaine, "%s%x %.*s", ligne_du_pc ? "-> " : "   ", adr,
                      texte_instruction_max, tmp);
        fl_set_object_color(ligne, ligne_du_pc ? couleur_vive : couleur_blanche, couleur_selection);
        ligne->copy_label(chaine);
        adresse_desa[y] = adr;
        ligne_pc_desa = ligne_du_pc ? y : ligne_pc_desa;
        marque_point_arret(ligne, adr);
        ligne->redraw();
        adr = suivante;
    }
    // Au premier dessin, la fenetre du source n'existe pas encore.
    if (source != nullptr) {
        source->montre();
    }
}

void simulateur::montre_au_dump(long long adresse) {
    fl_set_slider_value(SIM->DUMP_SLIDE, static_cast<double>(adresse));
    rafraichit_dump(0);
}

void simulateur::rafraichit_dump(int dec) {
    char buffer[29];
    int base =
        static_cast<int>(fl_get_slider_value(SIM->DUMP_SLIDE)) & ~(octets_par_ligne_dump - 1);
    base += dec;
    if (base < 0) {
        base = 0;
    }
    if (base > debut_dump_max) {
        base = debut_dump_max;
    }
    fl_set_slider_value(SIM->DUMP_SLIDE, base);

    for (int n = 0; n < nblign_dump; ++n) {
        unsigned short const adr = static_cast<unsigned short>(base);
        unsigned char octet[octets_par_ligne_dump];
        for (int i = 0; i < octets_par_ligne_dump; ++i) {
            octet[i] = memoire.read_byte(static_cast<unsigned short>(adr + i));
        }
        std::snprintf(buffer, sizeof buffer, "%4x %2x %2x %2x %2x %2x %2x %2x %2x", adr, octet[0],
                      octet[1], octet[2], octet[3], octet[4], octet[5], octet[6], octet[7]);
        fl_set_object_lsize(point_dump[n], zoom.taille(taille_texte_dump));
        point_dump[n]->copy_label(buffer);
        base += octets_par_ligne_dump;
    }
    if (source != nullptr) {
        source->montre_symboles();
    }
}
