// Les selecteurs de fichiers du vrai programme, au clavier : un nom tape, sur le
// nom propose ou sur un champ vide, se lit dans le dossier montre (pas dans celui
// ou le programme a ete lance), pour enregistrer comme pour ouvrir un source ou
// un binaire ; Entree deux fois n'ecrase jamais un fichier.
#include "banc_reel.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>

namespace banc_reel {
namespace {

std::string lit(std::string const& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void ecrit(std::string const& chemin, std::string const& octets) {
    std::ofstream(chemin, std::ios::binary) << octets;
}

// Le programme lance sur un source d'un dossier a lui, autre que le dossier courant.
class dialogues_reel : public banc {
  protected:
    dialogues_reel() {
        std::filesystem::create_directories(dossier);
        ecrit(dossier + "depart.asm", "  PUSHI 5\n");
        arguments = {dossier + "depart.asm"};
    }
    ~dialogues_reel() override {
        std::error_code e;
        std::filesystem::remove_all(dossier, e);
    }

    std::string fenetre_source(std::string const& nom) {
        return attend_fenetre("Source .* " + nom); // tiret long hors regex
    }
    // Le texte tape dans l'editeur, sous le modele d'une nouvelle source.
    void nouvelle_source(std::string const& source, std::string const& texte) {
        touche_dans(source, "ctrl+n");
        geometrie const g = geometrie_de(source);
        clic_dans(source, g.w / 3, 200);
        touche("ctrl+End Return");
        tape(texte);
    }
    // Le selecteur de ce titre, le pointeur dedans (les touches vont sous lui).
    std::string selecteur_ouvert(std::string const& titre) {
        std::string const s = attend_fenetre(titre);
        EXPECT_FALSE(s.empty()) << "pas de selecteur \"" << titre
                                << "\" : " << garde_capture(titre);
        if (!s.empty()) {
            geometrie const g = geometrie_de(s);
            execute_x("xdotool mousemove --window " + s + " " + std::to_string(g.w / 2) + " " +
                      std::to_string(g.h / 2));
        }
        return s;
    }
    bool attend_fichier(std::string const& chemin) {
        for (auto fin = std::chrono::steady_clock::now() + delai_attente;
             std::chrono::steady_clock::now() < fin; std::this_thread::sleep_for(50ms)) {
            if (std::filesystem::exists(chemin)) {
                std::this_thread::sleep_for(100ms); // fini d'ecrire
                return true;
            }
        }
        return false;
    }

    std::string const dossier =
        testing::TempDir() + "karvela_" + std::to_string(getpid()) + "_dialogues/";
};

// Ctrl+S d'un nouveau texte : "sans_titre.asm" propose dans le dossier du dernier
// fichier, le nom seul choisi ; un nom tape dessus, ou sur le champ vide (seul, dans
// un sous-dossier), est celui d'un fichier de ce dossier ; un chemin complet aussi.
TEST_F(dialogues_reel, un_nom_tape_enregistre_dans_le_dossier_montre) {
    ASSERT_TRUE(attend_ligne_journal("depart: 0"));
    std::string source = fenetre_source("depart[.]asm");
    ASSERT_FALSE(source.empty());
    std::filesystem::create_directories(dossier + "sous");
    struct cas {
        char const* avant; // touches dans le selecteur avant le nom
        std::string nom;   // tape
        std::string fichier;
    };
    cas const table[] = {
        {"", "bits.asm", "bits.asm"},
        {"ctrl+a BackSpace", "sous/dedans.asm", "sous/dedans.asm"},
        {"ctrl+a BackSpace", dossier + "plein.asm", "plein.asm"},
        {"ctrl+a BackSpace", "relatif", "relatif.asm"},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        std::string const texte = "; ecrit pour " + c.fichier;
        nouvelle_source(source, texte);
        touche("ctrl+s");
        std::string const s = selecteur_ouvert("Enregistrer la source sous");
        ASSERT_FALSE(s.empty());
        garde_capture("enregistrer");
        if (*c.avant != '\0') {
            touche(c.avant);
        }
        tape(c.nom);
        touche("Return");
        ASSERT_TRUE(attend_fichier(dossier + c.fichier))
            << "rien dans " << dossier << " : " << garde_capture("nom_tape");
        EXPECT_NE(lit(dossier + c.fichier).find(texte), std::string::npos);
        std::string titre = c.fichier.substr(c.fichier.rfind('/') + 1);
        source = fenetre_source(titre.replace(titre.find('.'), 1, "[.]"));
        ASSERT_FALSE(source.empty()) << garde_capture("titre");
    }
    // Le meme nom de nouveau : Entree sur la question garde l'ancien fichier.
    nouvelle_source(source, "; a ne pas ecrire");
    touche("ctrl+s");
    std::string const s = selecteur_ouvert("Enregistrer la source sous");
    ASSERT_FALSE(s.empty());
    tape("bits.asm");
    touche("Return");
    std::string const question = attend_nouvelle_fenetre({source, s});
    ASSERT_FALSE(question.empty()) << garde_capture("question");
    execute_x("xdotool mousemove --window " + question + " 20 20");
    garde_capture("remplacer");
    touche("Return");
    ASSERT_TRUE(attend_fermeture(question));
    ASSERT_TRUE(fenetre_repond());
    EXPECT_NE(lit(dossier + "bits.asm").find("; ecrit pour bits.asm"), std::string::npos);
}

// Ouvrir un source, un binaire : le dossier tape (il devient celui du selecteur),
// puis le nom seul sur le champ vide.
TEST_F(dialogues_reel, un_nom_tape_ouvre_le_fichier_du_dossier_montre) {
    ASSERT_TRUE(attend_ligne_journal("depart: 0"));
    ecrit(dossier + "autre.asm", "  PUSHI 7\n");
    std::filesystem::copy_file(KARVELA_SOURCE "/examples/echo_port_e.bin", dossier + "prog.bin");
    struct cas {
        char const* touche;
        char const* titre;
        char const* nom;
        int chargements; // "depart: 0" au journal ensuite
    };
    cas const table[] = {
        {"ctrl+shift+o", "Choisissez un fichier source", "autre.asm", 2},
        {"ctrl+o", "Choisissez un fichier binaire", "prog.bin", 3},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.titre);
        touche_dans(fenetre, c.touche);
        std::string const s = selecteur_ouvert(c.titre);
        ASSERT_FALSE(s.empty());
        touche("ctrl+a BackSpace");
        tape(dossier);
        touche("ctrl+a BackSpace");
        tape(c.nom);
        garde_capture(std::string("ouvrir_") + c.nom);
        touche("Return");
        EXPECT_TRUE(attend_fermeture(s)) << garde_capture("ouvrir");
        EXPECT_TRUE(attend_ligne_journal("depart: 0", c.chargements))
            << c.nom << " pas charge : " << garde_capture("charge");
        EXPECT_NE(journal().find(dossier + c.nom), std::string::npos) << "lu d'ailleurs";
    }
}

} // namespace
} // namespace banc_reel
