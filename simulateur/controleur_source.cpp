// Controleur, fenetre du source : le texte de l'etudiant, edite, enregistre,
// assemble et charge ; la ligne du PC, les points d'arret par ligne, les symboles
// et leurs valeurs, les diagnostics. passe_commande aiguille ici les widgets de la
// fenetre ; les vues de la principale appellent montre et montre_symboles.
// Invariants : le programme que suit la fenetre est celui en memoire, assemble de
// ce texte, ou aucun ; rien de tape n'est perdu sans la question "Enregistrer les
// modifications" ; le tampon de styles a toujours la longueur du texte. Seul le
// rappel de modification du tampon de texte n'attend pas la file : il tient
// l'historique, les styles et le suivi des lignes au fil des frappes.
#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/fl_ask.H>
#include <FL/forms.H>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <deque>
#include <functional>
#include <memory>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

#include "assembleur/source.h"
#include "chaines/chaines.h"
#include "commandes/ecriture.h"
#include "edition/copie_secours.h"
#include "edition/historique.h"
#include "edition/lignes_suivies.h"
#include "edition/texte_source.h"
#include "exercices/vue_exercice.h"
#include "simulateur/controleur_source.h"
#include "simulateur/selecteur.h"
#include "simulateur/textes_fichiers.h"
#include "suivi/suivi_source.h"
#include "suivi/symboles_montres.h"

namespace {

constexpr int taille_texte_source = 13; // l'unique taille d'ou viennent styles et marge
constexpr char const* sans_titre = "sans titre";
constexpr Fl_Color couleur_erreur = FL_DARK_RED;
constexpr Fl_Color couleur_avertissement = FL_DARK_YELLOW;
constexpr Fl_Color couleur_change = 175; // donnee que la derniere instruction a ecrite : jaune pale
// Une ligne des diagnostics ou des symboles : un diagnostic cite la ligne fautive,
// un symbole son nom, et le serveur X refuse un trop long texte d'un trait.
constexpr std::size_t ligne_liste_max = pose_montree_max;

// Le style de chaque sorte de zone de l'assembleur, dans l'ordre de zone_ligne.
constexpr style_source style_zone[] = {
    style_source::mnemonique, style_source::directive, style_source::etiquette,
    style_source::nombre,     style_source::chaine,    style_source::commentaire,
    style_source::faute,
};
static_assert(sizeof style_zone / sizeof style_zone[0] == zone_ligne::faute + 1,
              "une sorte de zone sans style");

// Les styles d'une ligne, une lettre par octet.
std::string styles_ligne(std::string_view ligne) {
    std::string styles(ligne.size(), static_cast<char>(style_source::texte));
    for (zone_ligne const& z : zones_ligne(ligne)) {
        int const fin = std::min(z.colonne_fin - 1, static_cast<int>(ligne.size()));
        for (int i = std::max(z.colonne - 1, 0); i < fin; ++i) {
            styles[static_cast<std::size_t>(i)] = static_cast<char>(style_zone[z.sorte]);
        }
    }
    borne_traits(ligne, styles);
    return styles;
}

// Secondes d'une horloge qui ne recule pas, pour l'attente de la copie de secours.
double maintenant() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Etats du texte dont on garde le suivi des lignes, pour annuler et retablir ; et
// au plus tant de lignes suivies en tout, pour qu'un tres long source ne garde pas
// 200 copies de ses tables.
constexpr std::size_t etats_lignes_max = 200;
constexpr std::size_t lignes_retenues_max = 2'000'000;

int compte_fins_de_ligne(char const* texte, int n) {
    return static_cast<int>(std::count(texte, texte + n, '\n'));
}

// Comme la principale : Echap ne ferme pas la fenetre (en marche, il arrete la
// marche, par le crochet d'evenements) ; la case de fermeture la cache.
void fermeture_source(Fl_Widget* fenetre, void* donnees) {
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) {
        return;
    }
    Fl::default_atclose(static_cast<Fl_Window*>(fenetre), donnees);
}

} // namespace

// Le source de la fenetre : son fichier, son texte et ce qui le suit.
struct document_source {
    explicit document_source(source_class& f) : fenetre(f) {}
    ~document_source() { Fl::remove_timeout(minuterie, this); }

    source_class& fenetre;
    bool ouvert = false;
    std::string chemin;         // vide : nouvelle source, jamais enregistree
    std::string dernier_chemin; // du dernier enregistrement, pour proposer son dossier
    forme_fichier forme;        // fins de ligne et marque du fichier, remises a l'enregistrement
    std::string disque;         // octets du fichier quand le texte l'a lu ou ecrit
    Fl_Text_Buffer texte;
    Fl_Text_Buffer styles;
    historique_texte historique;
    bool rejoue = false; // annuler, retablir, relire : rien a noter dans l'historique
    bool relu = false;   // le texte d'un fichier : rien a copier
    suivi_source suivi;  // le programme en memoire, s'il vient de ce texte
    std::vector<diagnostic> diagnostics; // du dernier assemblage
    std::vector<int> niveau_diagnostic;  // par ligne de cet assemblage : 0, 1, 2
    lignes_suivies lignes_diagnostics;   // ces lignes depuis
    int ligne_cliquee = 0;               // marge ou F9, pour la passe qui prend l'editeur
    int ligne_pc = 0;                    // derniere ligne du PC montree
    unsigned version_points = 0;         // points d'arret de la derniere marge dessinee
    // Le texte du dernier assemblage et s'il a reussi ; rien : jamais assemble.
    std::optional<std::string> assemble_de;
    bool assemble_reussi = false;
    // Tant que le texte a des modifications non enregistrees, sa copie a jour
    // quelques secondes apres la derniere frappe (minuterie).
    secours_source secours;
    // Le suivi des lignes de chaque etat recent du texte : annuler ou retablir rend
    // exactement celui de l'etat retrouve (une ligne absorbee par une jointure
    // revient avec son adresse), ce que la modification seule ne dit pas.
    // Un etat est sa version dans l'historique ; ses lignes sont partagees avec
    // l'etat d'avant tant qu'aucune fin de ligne n'a bouge.
    struct lignes_retenues {
        lignes_suivies pc, diagnostics;
    };
    struct lignes_d_un_etat {
        int version;
        std::shared_ptr<lignes_retenues const> lignes;
    };
    std::deque<lignes_d_un_etat> etats_lignes;     // le plus recent en tete
    std::shared_ptr<lignes_retenues const> lignes; // celles du texte tel qu'il est
    // Les lignes ont bouge (frappe, annuler, retablir) : PC et marge a suivre.
    std::function<void()> lignes_changees;

    std::string nom() const {
        return chemin.empty() ? sans_titre : std::filesystem::path(chemin).filename().string();
    }
    std::string tout() const {
        char* t = texte.text();
        std::string s(t);
        std::free(t);
        return s;
    }
    int nb_lignes() const { return texte.count_lines(0, texte.length()) + 1; }

    // Le texte remplace, sans rien noter : un fichier lu, un nouveau texte.
    void remplace(std::string const& nouveau) {
        rejoue = relu = true;
        texte.text(nouveau.c_str());
        rejoue = relu = false;
        historique.vide();
        fenetre.EDITEUR->insert_position(0);
        fenetre.EDITEUR->scroll(1, 0);
        actualise_etat();
    }
    void lit_fichier(std::string const& octets) {
        texte_source const t = lit_texte_source(octets);
        forme = t.forme;
        disque = octets;
        remplace(t.texte);
    }
    // Le fichier change sur le disque remplace le texte : sans rien savoir des
    // modifications, chaque ligne garde son numero (points d'arret, diagnostics).
    void suit_disque(std::string const& octets) {
        oublie_copie(); // l'etudiant a choisi le disque, ou n'avait rien tape
        lit_fichier(octets);
        suivi.lignes().repart(nb_lignes());
        lignes_diagnostics.repart(nb_lignes());
        lignes_reparties();
    }
    // Un autre texte dans la fenetre (ou aucun) : rien n'en est encore charge ni dit.
    void ouvre(std::string const& fichier, std::string const& octets, bool present) {
        // Enregistre ou abandonne avant : la copie de l'ancien texte n'a plus lieu d'etre.
        oublie_copie();
        secours.suit(fichier);
        chemin = fichier;
        lit_fichier(octets);
        suivi.oublie_programme();
        assemble_de.reset();
        oublie_diagnostics();
        lignes_reparties();
        ligne_pc = 0;
        ouvert = present;
        for (Fl_Button* b :
             {fenetre.B_FENETRE, fenetre.ENREGISTRER, fenetre.ENREGISTRER_SOUS, fenetre.CHARGER}) {
            present ? b->activate() : b->deactivate();
        }
    }

    // Apres une modification notee (bougees : des fins de ligne otees ou inserees).
    void retient_lignes(bool bougees) {
        if (bougees || lignes == nullptr) {
            lignes = std::make_shared<lignes_retenues const>(
                lignes_retenues{suivi.lignes(), lignes_diagnostics});
        }
        int const v = historique.version();
        etats_lignes.erase(
            std::remove_if(etats_lignes.begin(), etats_lignes.end(),
                           [v](lignes_d_un_etat const& e) { return e.version == v; }),
            etats_lignes.end());
        etats_lignes.push_front({v, lignes});
        std::size_t const par_etat =
            static_cast<std::size_t>(std::max(suivi.lignes().nb_actuelles(), 1));
        std::size_t const garde =
            std::clamp<std::size_t>(lignes_retenues_max / par_etat, 1, etats_lignes_max);
        while (etats_lignes.size() > garde) {
            etats_lignes.pop_back();
        }
    }
    // Apres annuler ou retablir : les lignes de l'etat retrouve, s'il est retenu.
    void retrouve_lignes() {
        int const v = historique.version();
        for (lignes_d_un_etat const& e : etats_lignes) {
            if (e.version == v) {
                lignes = e.lignes;
                suivi.lignes() = lignes->pc;
                lignes_diagnostics = lignes->diagnostics;
                return;
            }
        }
    }
    // Un nouveau point de depart (assemble, lu) : les etats d'avant ne valent plus.
    void lignes_reparties() {
        etats_lignes.clear();
        lignes.reset();
        retient_lignes(true);
    }

    void actualise_etat() {
        fenetre.MODIFIE->label(historique.modifie() ? "modifié" : "");
        Fl_Button* const b[] = {fenetre.ANNULER, fenetre.RETABLIR};
        bool const possible[] = {historique.peut_annuler(), historique.peut_retablir()};
        for (int i = 0; i < 2; ++i) {
            if (possible[i] != (b[i]->active() != 0)) {
                possible[i] ? b[i]->activate() : b[i]->deactivate();
            }
        }
        std::string const titre = "Source — " + nom();
        if (fenetre.source->label() == nullptr || titre != fenetre.source->label()) {
            fenetre.source->copy_label(titre.c_str());
        }
    }

    // Styles des lignes entieres qui couvrent [debut, fin], d'apres l'assembleur.
    void colore(int debut, int fin) {
        int const premier = texte.line_start(debut);
        int const dernier = texte.line_end(fin);
        char* const lignes = texte.text_range(premier, dernier);
        std::string_view const tout(lignes);
        std::string s;
        s.reserve(tout.size());
        for (std::size_t d = 0; d <= tout.size();) {
            std::size_t const f = std::min(tout.find('\n', d), tout.size());
            s += styles_ligne(tout.substr(d, f - d));
            if (f < tout.size()) {
                s += static_cast<char>(style_source::texte);
            }
            d = f + 1;
        }
        std::free(lignes);
        styles.replace(premier, dernier, s.c_str());
        fenetre.EDITEUR->redisplay_range(premier, dernier);
    }

    // Rappel du tampon : chaque modification, tapee ou rejouee.
    static void modifie(int position, int inserees, int otees, int, char const* ote, void* d) {
        static_cast<document_source*>(d)->note(position, inserees, otees, ote);
    }
    void note(int position, int inserees, int otees, char const* ote) {
        if (inserees == 0 && otees == 0) {
            return;
        }
        char* const insere = texte.text_range(position, position + inserees);
        std::string const texte_ote = otees > 0 && ote != nullptr ? std::string(ote, otees) : "";
        if (!rejoue) {
            historique.note(position, texte_ote, insere);
        }
        if (!relu) {
            suit_copie();
        }
        int const ligne = texte.count_lines(0, position) + 1;
        int const fins_otees = compte_fins_de_ligne(texte_ote.c_str(), otees);
        int const fins_inserees = compte_fins_de_ligne(insere, inserees);
        auto const finit_ligne = [](std::string const& t) { return t.empty() || t.back() == '\n'; };
        bool const en_tete =
            texte.line_start(position) == position && finit_ligne(texte_ote) && finit_ligne(insere);
        bool const bougees = fins_otees != 0 || fins_inserees != 0;
        if (bougees) {
            suivi.lignes().modifie(ligne, fins_otees, fins_inserees, en_tete);
            lignes_diagnostics.modifie(ligne, fins_otees, fins_inserees, en_tete);
        }
        if (!rejoue) {
            retient_lignes(bougees);
        }
        std::free(insere);
        if (otees > 0) {
            styles.remove(position, position + otees);
        }
        if (inserees > 0) {
            std::string const s(static_cast<std::size_t>(inserees),
                                static_cast<char>(style_source::texte));
            styles.insert(position, s.c_str());
        }
        colore(position, position + inserees);
        actualise_etat();
        if (bougees && !rejoue && lignes_changees) {
            lignes_changees();
        }
    }

    void rejoue_modification(modification const* m, bool en_arriere) {
        if (m == nullptr) {
            return;
        }
        std::string const& avant = en_arriere ? m->insere : m->ote;
        std::string const& apres = en_arriere ? m->ote : m->insere;
        rejoue = true;
        texte.replace(m->position, m->position + static_cast<int>(avant.size()), apres.c_str());
        rejoue = false;
        retrouve_lignes();
        if (lignes_changees) {
            lignes_changees();
        }
        fenetre.EDITEUR->insert_position(m->position + static_cast<int>(apres.size()));
        fenetre.EDITEUR->show_insert_position();
        actualise_etat();
    }

    // Vrai si le texte est ecrit dans chemin ; sinon une alerte dit pourquoi.
    bool enregistre(std::string const& vers) {
        std::string const octets = octets_source(tout(), forme);
        std::string const erreur = ecrit_fichier(vers, octets);
        if (!erreur.empty()) {
            fl_show_alert("Erreur: source non enregistrée", erreur.c_str(),
                          "Le texte reste dans la fenêtre du source.", 0);
            return false;
        }
        oublie_copie();
        if (vers != chemin) {
            secours.suit(vers);
        }
        chemin = vers;
        dernier_chemin = vers;
        disque = octets;
        historique.marque_enregistre();
        actualise_etat();
        return true;
    }

    // Apres chaque modification : la copie attend la fin de la frappe ; revenu au
    // texte enregistre (annuler), plus rien a garder.
    void suit_copie() {
        if (!historique.modifie()) {
            oublie_copie();
            return;
        }
        double const t = maintenant();
        secours.modifie(t);
        Fl::remove_timeout(minuterie, this);
        Fl::add_timeout(std::max(secours.echeance() - t, 0.0), minuterie, this);
    }
    // Le texte d'une copie reprise, en modification non enregistree : Annuler rend
    // le texte ouvert. Sa propre copie est ecrite aussitot.
    void reprend_copie(std::string const& copie) {
        texte.replace(0, texte.length(), copie.c_str());
        fenetre.EDITEUR->insert_position(0);
        if (historique.modifie()) {
            Fl::remove_timeout(minuterie, this);
            secours.ecrit(copie);
        }
    }
    void oublie_copie() {
        Fl::remove_timeout(minuterie, this);
        secours.retire();
    }
    static void minuterie(void* d) { static_cast<document_source*>(d)->copie_due(); }
    void copie_due() {
        double const t = maintenant();
        if (!secours.due(t)) {
            if (std::isfinite(secours.echeance())) { // sinon, rien n'attend plus
                Fl::add_timeout(std::max(secours.echeance() - t, 0.05), minuterie, this);
            }
            return;
        }
        std::string const erreur = secours.ecrit(tout());
        if (!erreur.empty()) {
            fenetre.ETAT->copy_label(erreur.c_str());
        }
    }

    void montre_diagnostics(programme_assemble const& p) {
        diagnostics = p.diagnostics;
        niveau_diagnostic.assign(static_cast<std::size_t>(nb_lignes()) + 1, 0);
        for (diagnostic const& d : diagnostics) {
            if (d.ligne > 0 && d.ligne < static_cast<int>(niveau_diagnostic.size())) {
                int& n = niveau_diagnostic[static_cast<std::size_t>(d.ligne)];
                n = std::max(n, d.erreur ? 2 : 1);
            }
        }
        lignes_diagnostics.repart(nb_lignes());
        lignes_reparties();
        Fl_Hold_Browser* const liste = fenetre.DIAGNOSTICS;
        liste->clear();
        std::string const titre = titre_erreurs(chemin, diagnostics);
        std::string resume = "@b@." + nom() + titre.substr(nom_affiche(chemin).size());
        if (!p.reussi()) {
            resume += " ; rien n'a été chargé";
        } else {
            resume +=
                " ; chargé : " + std::to_string(p.image.size()) + " octets en $" + hex4toS(p.base);
        }
        liste->add(borne(resume, ligne_liste_max).c_str());
        std::vector<std::string> const lignes = lignes_erreurs(diagnostics);
        for (std::size_t i = 0; i < lignes.size(); ++i) {
            Fl_Color const c = diagnostics[i].erreur ? couleur_erreur : couleur_avertissement;
            liste->add(("@C" + std::to_string(c) + borne(lignes[i], ligne_liste_max)).c_str());
        }
    }

    void oublie_diagnostics() {
        diagnostics.clear();
        niveau_diagnostic.clear();
        lignes_diagnostics.repart(0);
        fenetre.DIAGNOSTICS->clear();
    }

    int diagnostic_de(int ligne) const {
        int const a = lignes_diagnostics.assemblee(ligne);
        return a > 0 && a < static_cast<int>(niveau_diagnostic.size())
                   ? niveau_diagnostic[static_cast<std::size_t>(a)]
                   : 0;
    }
};

controleur_source::controleur_source(SIM_class* principale, pont_simulateur pont)
    : pont_(pont), fen_(new source_class(principale)), doc(new document_source(*fen_)) {
    source_class& f = *fen_;
    f.source->callback(fermeture_source);
    f.B_FENETRE->shortcut(FL_CTRL + 'e');
    f.NOUVEAU->shortcut(FL_CTRL + 'n');
    f.ENREGISTRER->shortcut(FL_CTRL + 's');
    f.ENREGISTRER_SOUS->shortcut(FL_CTRL + FL_SHIFT + 's');
    f.ANNULER->shortcut(FL_CTRL + 'z');
    f.RETABLIR->shortcut(FL_CTRL + 'y');
    f.CHARGER->shortcut(FL_CTRL + 'r');
    // L'historique est ici, a plusieurs niveaux ; celui du tampon ne servirait pas.
    doc->texte.canUndo(0);
    doc->styles.canUndo(0);
    f.EDITEUR->taille_texte(taille_texte_source);
    f.EDITEUR->buffer(doc->texte);
    f.EDITEUR->styles(&doc->styles);
    doc->texte.add_modify_callback(document_source::modifie, doc);
    // Sans defiler : l'etudiant tape, la ligne du PC ne doit pas l'emmener ailleurs.
    doc->lignes_changees = [this] {
        montre_pc(false);
        fen_->EDITEUR->redraw(); // la marge
    };
    f.EDITEUR->marge = [this](int ligne) {
        marge_ligne m;
        m.adresse = doc->suivi.a_programme() ? doc->suivi.adresse_de(ligne) : -1;
        if (doc->suivi.a_programme()) {
            m.profondeur = doc->suivi.profondeur_de(ligne);
        }
        m.point = m.adresse >= 0 &&
                  pont_.marche().points().contient(static_cast<unsigned short>(m.adresse));
        m.diagnostic = doc->diagnostic_de(ligne);
        return m;
    };
    doc->ouvre("", "", false);
}

controleur_source::~controleur_source() {
    // Quitter proprement : enregistre ou abandonne, la copie n'a plus lieu d'etre.
    doc->oublie_copie();
    doc->texte.remove_modify_callback(document_source::modifie, doc);
    fen_->EDITEUR->buffer(nullptr);
    delete fen_->source;
    delete doc;
    delete fen_; // son bouton appartient a la fenetre principale
}

bool controleur_source::ouverte() const {
    return doc->ouvert;
}

void controleur_source::montre_fenetre(bool devant) {
    if (devant || !fen_->source->visible()) {
        pont_.fenetres().montre(fen_->source);
    }
}

bool controleur_source::prend(std::string const& chemin, std::string const& octets) {
    if (octets.find('\0') != std::string::npos) {
        std::string const raison =
            "« " + chemin + " » contient un octet nul : ce n'est pas un texte.";
        fl_show_alert("Erreur: fichier source illisible", raison.c_str(), "Rien n'a été chargé.",
                      0);
        return false;
    }
    doc->ouvre(chemin, octets, true);
    montre_fenetre(true);
    montre();
    montre_symboles();
    copie_secours c;
    if (copie_de(dossier_secours(), chemin, c) && differe_du_fichier(c)) {
        propose_copie(c, "de « " + doc->nom() + " »");
    }
    return true;
}

// Echap et la case de fermeture reprennent (rien n'est perdu : le fichier est
// intact, la copie aussi) ; seul un clic abandonne. Entree ne choisit rien.
void controleur_source::propose_copie(copie_secours const& c, std::string const& laquelle) {
    std::string const age = texte_age(c.ecrite, std::time(nullptr));
    int const choix =
        fl_choice("Une copie de secours %s a été écrite %s :\n"
                  "karvela s'est arrêté sans l'enregistrer%s.\n"
                  "La reprendre (Annuler revient au texte ouvert) ?",
                  "Reprendre la copie", nullptr, "Abandonner la copie", laquelle.c_str(),
                  age.c_str(), c.origine.empty() ? "" : " (elle diffère du fichier)");
    if (choix == 2) {
        std::string const erreur = retire_copie(dossier_secours(), c.chemin);
        fen_->ETAT->copy_label(erreur.empty() ? "Copie de secours abandonnée" : erreur.c_str());
        return;
    }
    doc->reprend_copie(c.texte);
    if (c.chemin != doc->secours.chemin()) {
        retire_copie(dossier_secours(), c.chemin); // reprise : la copie de la fenetre la remplace
    }
    fen_->ETAT->copy_label("Copie de secours reprise : Annuler (Ctrl+Z) revient au texte ouvert");
}

void controleur_source::assemble(chargement sorte) {
    doc->assemble_de = doc->tout();
    programme_assemble const p = ::assemble(*doc->assemble_de);
    doc->assemble_reussi = p.reussi();
    // Sur la sortie d'erreur aussi, sous la forme que les editeurs savent suivre.
    for (diagnostic const& d : p.diagnostics) {
        std::cerr << texte_diagnostic(doc->chemin, d) << std::endl;
    }
    doc->montre_diagnostics(p);
    // Fautif, devant : les erreurs doivent se voir.
    montre_fenetre(!p.reussi());
    if (!p.reussi()) {
        fen_->EDITEUR->redraw();
        return;
    }
    // Par ligne, ceux du programme que ce texte remplace en memoire.
    bool const garde = sorte == chargement::rechargement && doc->suivi.a_programme();
    points_par_ligne const gardes =
        garde ? doc->suivi.garde_points(pont_.marche().points()) : points_par_ligne();
    // Suivi avant le chargement : le desassemblage redessine y cherche la ligne du PC.
    doc->suivi.programme(p, doc->nb_lignes());
    doc->lignes_reparties();
    doc->ligne_pc = 0;
    // L'assembleur refuse deja une image au-dela de $FFFF : le chargement reussit.
    pont_.charge(programme_source(p), doc->chemin, sorte);
    if (garde) {
        doc->suivi.repose_points(gardes, pont_.marche().points());
        pont_.redessine_desassemblage();
    }
    fen_->EDITEUR->redraw();
}

controleur_source::accord_disque controleur_source::accorde_au_disque() {
    source_lue const lue = lit_source(doc->chemin);
    if (!lue.lue) {
        return accord_disque::absent;
    }
    if (lue.texte == doc->disque) {
        return accord_disque::inchange;
    }
    // Change sur le disque depuis sa lecture : le texte le suit s'il n'a rien de
    // tape, sinon l'etudiant choisit.
    int choix = 2;
    if (doc->historique.modifie()) {
        choix =
            fl_choice("« %s » a changé sur le disque et dans la fenêtre du source.\n"
                      "Garder le texte de la fenêtre, ou reprendre celui du disque ?",
                      "Annuler", "Garder la fenêtre", "Reprendre le disque", doc->nom().c_str());
    }
    if (choix == 0) {
        return accord_disque::annule;
    }
    if (choix == 1) {
        return accord_disque::fenetre;
    }
    if (lue.texte.find('\0') != std::string::npos) {
        prend(doc->chemin, lue.texte); // le refus dit pourquoi
        return accord_disque::annule;
    }
    doc->suit_disque(lue.texte);
    return accord_disque::disque;
}

void controleur_source::recharge() {
    if (doc->chemin.empty() && !enregistre_sous()) {
        return;
    }
    accord_disque const accord = accorde_au_disque();
    if (accord == accord_disque::annule) {
        return;
    }
    // Modifie, ou disparu du disque : le texte de la fenetre y est (re)ecrit.
    if ((doc->historique.modifie() || accord == accord_disque::absent) &&
        !doc->enregistre(doc->chemin)) {
        return;
    }
    // Le programme en memoire vient de ce texte (meme enregistre sous un autre nom) :
    // c'est un rechargement, qui garde les points d'arret.
    assemble(doc->suivi.a_programme() ? chargement::rechargement : chargement::nouveau_fichier);
}

bool controleur_source::enregistre() {
    if (doc->chemin.empty()) {
        return enregistre_sous();
    }
    switch (accorde_au_disque()) {
    case accord_disque::annule:
        return false;
    case accord_disque::disque:
        return true; // le texte est celui du disque : rien a ecrire
    default:
        return doc->enregistre(doc->chemin);
    }
}

bool controleur_source::enregistre_sous() {
    // Un nouveau texte : "sans_titre.asm" dans le dossier du dernier fichier, ou le
    // courant ; le selecteur n'y choisit que le nom.
    std::string propose = doc->chemin;
    if (propose.empty()) {
        std::string const dernier =
            !doc->dernier_chemin.empty() ? doc->dernier_chemin : pont_.fichier_charge();
        std::error_code e;
        std::filesystem::path dossier = std::filesystem::path(dernier).parent_path();
        if (dernier.empty() || dossier.empty()) {
            dossier = std::filesystem::current_path(e);
        }
        propose = (std::filesystem::absolute(dossier, e) / "sans_titre.asm").string();
    }
    std::string chemin = choisit_fichier(
        [&] { return fl_file_chooser("Enregistrer la source sous", "*.asm", propose.c_str()); });
    if (chemin.empty()) {
        return false;
    }
    // Sans .asm, Ctrl+R le lirait comme un binaire.
    if (!est_source(chemin)) {
        chemin += ".asm";
    }
    // "Annuler" est le choix d'Entree (et d'Echap) : deux Entree n'ecrasent rien.
    std::error_code e;
    if (std::filesystem::exists(chemin, e) &&
        (doc->chemin.empty() || !meme_fichier(chemin, doc->chemin)) &&
        fl_choice_n("« %s » existe déjà. Le remplacer ?", "Remplacer", "Annuler", nullptr,
                    chemin.c_str()) != 0) {
        return false;
    }
    return doc->enregistre(chemin);
}

bool controleur_source::peut_abandonner() {
    if (!ouverte() || !doc->historique.modifie()) {
        return true;
    }
    int const choix = fl_choice("Enregistrer les modifications de %s ?", "Annuler", "Enregistrer",
                                "Ne pas enregistrer", doc->nom().c_str());
    if (choix != 1) {
        return choix == 2;
    }
    return enregistre();
}

void controleur_source::ferme() {
    if (!ouverte()) {
        return;
    }
    doc->ouvre("", "", false);
    fen_->source->hide();
}

texte_montre controleur_source::etat_texte() const {
    if (!ouverte()) {
        return texte_montre::aucun;
    }
    if (!doc->assemble_de || *doc->assemble_de != doc->tout()) {
        return texte_montre::change;
    }
    if (!doc->assemble_reussi) {
        return texte_montre::fautif;
    }
    return doc->suivi.a_programme() ? texte_montre::charge : texte_montre::change;
}

void controleur_source::nouvelle() {
    if (!peut_abandonner()) {
        return;
    }
    doc->ouvre("", modele_source(), true);
    montre_fenetre(true);
    montre();
    montre_symboles();
    // Un "sans titre" d'un karvela arrete : propose ici, une copie par Ctrl+N.
    std::vector<copie_secours> const orphelines =
        copies_orphelines(dossier_secours(), doc->secours.chemin());
    if (!orphelines.empty()) {
        propose_copie(orphelines.back(), "d'un texte sans titre");
    }
}

bool controleur_source::commande(Fl_Widget* obj) {
    source_class& f = *fen_;
    if (obj == f.B_FENETRE) {
        if (f.source->visible()) {
            f.source->hide();
        } else if (ouverte()) {
            montre_fenetre();
        }
    } else if (obj == f.source) {
        // Fermee par sa case : deja cachee, le texte reste.
    } else if (obj == f.NOUVEAU) {
        nouvelle();
    } else if (obj == f.ENREGISTRER) {
        if (ouverte()) {
            enregistre();
        }
    } else if (obj == f.ENREGISTRER_SOUS) {
        if (ouverte()) {
            enregistre_sous();
        }
    } else if (obj == f.ANNULER) {
        doc->rejoue_modification(doc->historique.annule(), true);
    } else if (obj == f.RETABLIR) {
        doc->rejoue_modification(doc->historique.retablit(), false);
    } else if (obj == f.CHARGER) {
        // Comme "Recharger" : la marche s'arrete d'abord.
        pont_.arrete_marche();
        pont_.recharge();
    } else if (obj == f.EDITEUR) {
        bascule_point_ligne(doc->ligne_cliquee);
    } else if (obj == f.DIAGNOSTICS) {
        va_au_diagnostic(f.DIAGNOSTICS->value() - 2);
    } else if (obj == f.SYMBOLES) {
        montre_symbole_au_dump(f.SYMBOLES->value() - 1);
    } else {
        return false;
    }
    return true;
}

int controleur_source::adresse_instruction(int ligne) {
    int const adresse = doc->suivi.a_programme() ? doc->suivi.adresse_point(ligne) : -1;
    if (adresse < 0) {
        std::string const texte =
            doc->suivi.a_programme()
                ? "Ligne " + std::to_string(ligne) + " : aucune instruction ici ni après"
                : "Point d'arrêt : chargez d'abord ce source (Ctrl+R)";
        fen_->ETAT->copy_label(texte.c_str());
    }
    return adresse;
}

void controleur_source::bascule_point_ligne(int ligne) {
    int const adresse = adresse_instruction(ligne);
    if (adresse < 0) {
        return;
    }
    pont_.marche().points().bascule(static_cast<unsigned short>(adresse));
    pont_.redessine_desassemblage();
}

void controleur_source::execute_jusqu_a_ligne(int ligne) {
    int const adresse = adresse_instruction(ligne);
    if (adresse < 0) {
        return;
    }
    // Par PLAY, comme un clic : les registres tapes sont pris avant le depart.
    pont_.marche().pose_point_temporaire(static_cast<unsigned short>(adresse));
    pont_.redessine_desassemblage();
    pont_.clique_play();
}

void controleur_source::va_au_diagnostic(int i) {
    if (i < 0 || i >= static_cast<int>(doc->diagnostics.size())) {
        return;
    }
    diagnostic const& d = doc->diagnostics[static_cast<std::size_t>(i)];
    int const ligne = doc->lignes_diagnostics.actuelle(d.ligne);
    if (ligne == 0) {
        return; // ligne otee depuis
    }
    int const debut = doc->texte.skip_lines(0, ligne - 1);
    int const position = std::min(debut + d.colonne - 1, doc->texte.line_end(debut));
    editeur_source* e = fen_->EDITEUR;
    e->insert_position(position);
    e->show_insert_position();
    e->take_focus();
}

void controleur_source::montre() {
    if (!ouverte()) {
        return;
    }
    montre_pc(true);
    editeur_source* e = fen_->EDITEUR;
    points_arret const& points = pont_.marche().points();
    if (points.version() != doc->version_points) {
        doc->version_points = points.version();
        e->redraw();
    }
}

void controleur_source::montre_pc(bool defile) {
    unsigned short const pc = pont_.moteur().cpu().PC_value();
    int const ligne = doc->suivi.a_programme() ? doc->suivi.ligne_du_pc(pc) : 0;
    editeur_source* e = fen_->EDITEUR;
    e->ligne_pc(ligne);
    montre_arret();
    if (defile && ligne > 0 && ligne != doc->ligne_pc) {
        e->montre_ligne(ligne);
    }
    doc->ligne_pc = ligne;
    std::string const etat = doc->suivi.etat_pc(pc);
    char const* affiche = fen_->ETAT->label();
    if (affiche == nullptr || etat != affiche) {
        fen_->ETAT->copy_label(etat.c_str());
    }
}

void controleur_source::montre_arret() {
    if (!ouverte()) {
        return;
    }
    // L'instruction fautive d'un arret sur erreur de pile : PC est deja apres elle.
    mode_marche const& marche = pont_.marche();
    bool const fautive = doc->suivi.a_programme() && marche.raison() == arret::erreur_pile;
    fen_->EDITEUR->ligne_arret(fautive ? doc->suivi.ligne_du_pc(marche.adresse()) : 0);
}

void controleur_source::montre_symboles() {
    if (!ouverte()) {
        return;
    }
    Fl_Hold_Browser* const liste = fen_->SYMBOLES;
    if (!doc->suivi.a_programme()) {
        if (liste->size() > 0) {
            liste->clear();
        }
        return;
    }
    ecriture_memoire derniere;
    derniere.faite = pont_.moteur().derniere_ecriture(derniere.adresse, derniere.avant);
    std::vector<symbole_montre> const montres = symboles_montres(
        doc->suivi.programme_charge().symboles, pont_.moteur().memoire(), derniere);
    if (liste->size() != static_cast<int>(montres.size())) {
        liste->clear();
        for (std::size_t i = 0; i < montres.size(); ++i) {
            liste->add("");
        }
    }
    // Seules les lignes changees sont reecrites : en marche, cela a lieu a chaque dessin.
    for (std::size_t i = 0; i < montres.size(); ++i) {
        std::string texte = borne(montres[i].texte, ligne_liste_max);
        if (montres[i].change) {
            std::string marque = "@B" + std::to_string(couleur_change);
            for (std::size_t t = texte.find('\t'); t != std::string::npos;
                 t = texte.find('\t', t + 1 + marque.size())) {
                texte.insert(t + 1, marque);
            }
            texte = marque + texte;
        }
        int const n = static_cast<int>(i) + 1;
        if (texte != liste->text(n)) {
            liste->text(n, texte.c_str());
        }
    }
}

void controleur_source::montre_symbole_au_dump(int i) {
    std::deque<symbole_source> const& symboles = doc->suivi.programme_charge().symboles;
    if (i < 0 || i >= static_cast<int>(symboles.size()) ||
        symboles[static_cast<std::size_t>(i)].sorte == symbole_source::constante) {
        return;
    }
    // Par la glissiere du dump, comme si l'etudiant l'avait tiree.
    pont_.montre_au_dump(symboles[static_cast<std::size_t>(i)].valeur);
}

void controleur_source::demande_pourquoi_symbole(int i) {
    std::deque<symbole_source> const& symboles = doc->suivi.programme_charge().symboles;
    if (!doc->suivi.a_programme() || i < 0 || i >= static_cast<int>(symboles.size())) {
        return;
    }
    symbole_source const& s = symboles[static_cast<std::size_t>(i)];
    if (s.sorte == symbole_source::constante) {
        fen_->ETAT->copy_label(
            ("« " + s.nom + " » est une constante : aucun octet en mémoire").c_str());
        return;
    }
    pont_.demande_pourquoi(s.nom);
}

bool controleur_source::prend_evenement(int evenement, Fl_Window* fenetre) {
    source_class& f = *fen_;
    if (evenement == FL_PUSH && fenetre == f.source && Fl::event_button() == FL_RIGHT_MOUSE &&
        Fl::event_inside(f.SYMBOLES)) {
        // Le clic droit choisit la ligne comme un clic et le dump montre le symbole,
        // sans passer par la file ; puis il demande pourquoi son octet vaut ce
        // qu'il vaut.
        Fl_When const quand = f.SYMBOLES->when();
        f.SYMBOLES->when(FL_WHEN_NEVER);
        f.SYMBOLES->handle(FL_PUSH);
        f.SYMBOLES->when(quand);
        montre_symbole_au_dump(f.SYMBOLES->value() - 1);
        demande_pourquoi_symbole(f.SYMBOLES->value() - 1);
        return true;
    }
    if (evenement == FL_PUSH && fenetre == f.source && Fl::event_button() == FL_LEFT_MOUSE) {
        int const ligne = f.EDITEUR->ligne_de_marge(Fl::event_x(), Fl::event_y());
        if (ligne > 0) {
            doc->ligne_cliquee = ligne;
            f.EDITEUR->do_callback();
            return true;
        }
        return false;
    }
    if (evenement != FL_SHORTCUT) {
        return false;
    }
    bool const sans_modificateur =
        (Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META)) == 0;
    if (fenetre == f.source) {
        if (Fl::event_key() == FL_F + 9 && sans_modificateur) {
            doc->ligne_cliquee = f.EDITEUR->ligne_du_curseur();
            f.EDITEUR->do_callback();
            return true;
        }
        if (Fl::event_key() == FL_F + 4 && sans_modificateur) {
            execute_jusqu_a_ligne(f.EDITEUR->ligne_du_curseur());
            return true;
        }
        if (Fl::event_key() == FL_Escape && pont_.marche().en_marche()) {
            pont_.clique_stop();
            return true;
        }
        if (Fl::test_shortcut(FL_CTRL + FL_SHIFT + 'z') && f.RETABLIR->active()) {
            f.RETABLIR->do_callback();
            return true;
        }
        return false;
    }
    // Depuis la principale ou l'aide : enregistrer et nouvelle source valent aussi.
    if (fenetre == pont_.principale() || fenetre == pont_.aide()) {
        for (Fl_Button* b : {f.ENREGISTRER, f.ENREGISTRER_SOUS, f.NOUVEAU}) {
            if (b->active() && Fl::test_shortcut(b->shortcut())) {
                b->do_callback();
                return true;
            }
        }
    }
    return false;
}
