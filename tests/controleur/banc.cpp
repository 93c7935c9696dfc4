// Banc d'essai du controleur : construction, clics, garde des dialogues modaux.
#include "banc.h"

#include <FL/Fl_File_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/forms.H>
#include <FL/x.H>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

constexpr double periode_garde = 0.02; // secondes entre deux regards de la garde

double maintenant() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void note_libelles(Fl_Widget* w, std::vector<std::string>& textes) {
    if (w->label() != nullptr && w->label()[0] != '\0') {
        textes.push_back(w->label());
    }
    if (Fl_Group* g = w->as_group()) {
        for (int i = 0; i < g->children(); ++i) {
            note_libelles(g->child(i), textes);
        }
    }
}

// La boite a outils garde des pointeurs dans la ligne de commande : elle doit
// survivre au simulateur.
char nom_programme[] = "karvela";
char* ligne_de_commande[] = {nom_programme, nullptr};

// Le serveur X de l'environnement de test refuse parfois une connexion
// (connexion reinitialisee) ; la boite a outils abandonnerait le processus. La
// connexion est donc ouverte ici, avec quelques essais, puis lui est confiee.
void ouvre_affichage() {
    for (int essai = 0; fl_display == nullptr && essai < 50; ++essai) {
        if (Display* d = XOpenDisplay(nullptr)) {
            fl_open_display(d);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

} // namespace

bool dialogue_vu::contient(std::string const& morceau) const {
    if (titre.find(morceau) != std::string::npos) {
        return true;
    }
    for (auto const& t : textes) {
        if (t.find(morceau) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::ostream& operator<<(std::ostream& flux, std::vector<dialogue_vu> const& vus) {
    flux << vus.size() << " dialogue(s) :";
    for (auto const& d : vus) {
        flux << " \"" << d.titre << "\"";
    }
    return flux;
}

void banc::SetUp() {
    // Les copies de secours du source dans un dossier du test, efface apres lui ;
    // un test qui en pose un autre le garde.
    setenv("XDG_STATE_HOME", etat_du_banc().c_str(), 0);
    ouvre_affichage();
    prend_simulateur(ligne_de_commande, 1);
    reponse = [](Fl_Window* w) { w->do_callback(); };
    while (Fl::readqueue() != nullptr) {
    }
    Fl::add_timeout(periode_garde, garde, this);
}

std::string banc::etat_du_banc() {
    return (std::filesystem::temp_directory_path() / ("karvela_etat_" + std::to_string(getpid())))
        .string();
}

void banc::prend_simulateur(char** ligne, int nb) {
    sim.reset();
    sim = std::make_unique<simulateur>(nb, ligne);
    f = &acces_simulateur::fenetre(*sim);
    mem = &acces_simulateur::memoire(*sim);
    cpu = &acces_simulateur::inter(*sim);
    Fl::check();
}

void banc::relance(std::vector<std::string> const& mots) {
    while (Fl::readqueue() != nullptr) {
    }
    sim.reset();
    mots_relance = mots;
    mots_relance.insert(mots_relance.begin(), nom_programme);
    ligne_relance.clear();
    for (std::string& m : mots_relance) {
        ligne_relance.push_back(&m[0]);
    }
    ligne_relance.push_back(nullptr);
    prend_simulateur(ligne_relance.data(), static_cast<int>(mots_relance.size()));
}

void banc::TearDown() {
    Fl::remove_timeout(garde, this);
    while (Fl::readqueue() != nullptr) {
    }
    sim.reset();
    std::error_code e;
    std::filesystem::remove_all(etat_du_banc(), e);
    for (auto const& d : dialogues) {
        ADD_FAILURE() << "dialogue inattendu : " << d.titre << " / "
                      << (d.textes.empty() ? "" : d.textes.front());
    }
}

void banc::garde(void* donnees) {
    banc* b = static_cast<banc*>(donnees);
    Fl_Window* ouvert = Fl::modal();
    for (Fl_Window* w = Fl::first_window(); ouvert == nullptr && w != nullptr;
         w = Fl::next_window(w)) {
        // Les fenetres de la liste du programme (compagnes, aide, "Aller à") ne sont
        // pas des dialogues : elles restent ouvertes a cote de la fenetre.
        if (b->sim != nullptr && !acces_simulateur::fenetres(*b->sim).connait(w) && w->visible()) {
            ouvert = w;
        }
    }
    if (ouvert != nullptr) {
        if (ouvert != b->dialogue_en_cours) {
            b->dialogue_en_cours = ouvert;
            b->dialogue_vu_depuis = maintenant();
        }
        if (maintenant() - b->dialogue_vu_depuis >= b->delai_reponse) {
            dialogue_vu d;
            d.titre = ouvert->label() != nullptr ? ouvert->label() : "";
            note_libelles(ouvert, d.textes);
            b->dialogues.push_back(d);
            b->dialogue_en_cours = nullptr;
            b->reponse(ouvert);
        }
    }
    Fl::repeat_timeout(periode_garde, garde, donnees);
}

int banc::clique_et_rend(Fl_Widget* w) {
    w->do_callback();
    int const encore = sim->passe_commande();
    EXPECT_EQ(Fl::readqueue(), nullptr) << "la passe n'a pas pris le widget mis en file";
    return encore;
}

void banc::clique(Fl_Widget* w) {
    EXPECT_EQ(clique_et_rend(w), 1);
}

void banc::tape_memoire(char const* adresse, char const* valeur, char const* multiplicateur) {
    f->adresse_select->value(adresse);
    f->valeur_select->value(valeur);
    f->multiplicateur_select->value(multiplicateur);
    clique(f->VALID_MEM);
}

void banc::tape_programme(int adresse, std::vector<int> const& octets) {
    for (int octet : octets) {
        std::string const a = std::to_string(adresse++);
        std::string const v = std::to_string(octet);
        tape_memoire(a.c_str(), v.c_str(), "1");
    }
}

int banc::choisit_menu(int n) {
    f->m_fichier->value(n - 1);
    return clique_et_rend(f->m_fichier);
}

std::vector<dialogue_vu> banc::prend_dialogues() {
    std::vector<dialogue_vu> vus;
    vus.swap(dialogues);
    return vus;
}

char const* banc::libelle(Fl_Widget* w) const {
    return w->label() != nullptr ? w->label() : "";
}

std::string banc::texte_saisie(Fl_Input* w) const {
    return w->value();
}

std::function<void(Fl_Window*)> choisit_fichier(std::string const& chemin) {
    return [chemin](Fl_Window* w) {
        Fl_File_Input* nom = premier_de<Fl_File_Input>(w);
        Fl_Return_Button* ok = premier_de<Fl_Return_Button>(w);
        ASSERT_NE(nom, nullptr);
        ASSERT_NE(ok, nullptr);
        nom->value(chemin.c_str());
        ok->do_callback();
    };
}

std::string banc_fichiers::ecrit_fichier(std::string const& nom, std::string const& contenu) {
    std::string const chemin =
        testing::TempDir() + "karvela_controleur_" + std::to_string(getpid()) + "_" + nom;
    std::ofstream(chemin, std::ios::binary) << contenu;
    return chemin;
}

Fl_Widget* widget_en(Fl_Group* fenetre, int x, int y, int w, int h) {
    for (int i = 0; i < fenetre->children(); ++i) {
        Fl_Widget* c = fenetre->child(i);
        if (c->x() == x && c->y() == y && c->w() == w && c->h() == h) {
            return c;
        }
    }
    return nullptr;
}

Fl_Widget* widget_libelle(Fl_Group* groupe, std::string const& texte) {
    for (int i = 0; i < groupe->children(); ++i) {
        Fl_Widget* c = groupe->child(i);
        if (c->label() != nullptr && texte == c->label()) {
            return c;
        }
        if (Fl_Group* g = c->as_group()) {
            if (Fl_Widget* trouve = widget_libelle(g, texte)) {
                return trouve;
            }
        }
    }
    return nullptr;
}

// Chaque fl_initialize garde une copie de la ligne de commande et perd la
// precedente : le programme l'appelle une fois, ce banc une fois par test.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:fl_initialize\n";
}

void frappe(Fl_Window* fenetre, int touche, int etat, char const* texte) {
    Fl::e_keysym = touche;
    Fl::e_state = etat;
    Fl::e_text = const_cast<char*>(texte);
    Fl::e_length = static_cast<int>(std::string(texte).size());
    Fl::handle(FL_KEYBOARD, fenetre);
    Fl::e_state = 0;
}
