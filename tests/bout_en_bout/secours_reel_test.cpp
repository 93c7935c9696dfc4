// La copie de secours du vrai programme : le texte tape dans la fenetre du source
// survit a un kill -9. Relance sur le meme fichier, karvela propose la copie ;
// reprise puis enregistree, le fichier a le texte tape et la copie disparait.
#include "banc_reel.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace banc_reel {
namespace {

std::string lit(std::string const& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Les copies du dossier (leurs chemins).
std::vector<std::string> copies(std::string const& dossier) {
    std::vector<std::string> v;
    if (DIR* d = opendir(dossier.c_str())) {
        while (dirent const* e = readdir(d)) {
            std::string const nom = e->d_name;
            if (nom.size() > 8 && nom.compare(nom.size() - 8, 8, ".secours") == 0) {
                v.push_back(dossier + "/" + nom);
            }
        }
        closedir(d);
    }
    return v;
}

std::string const somme = "        PUSHI 1\n"
                          "        POP   total\n"
                          "        BT    *\n"
                          "total:  .octet 0\n";

class secours_reel : public banc {
  protected:
    void SetUp() override {
        setenv("XDG_STATE_HOME", etat.c_str(), 1);
        std::ofstream(chemin, std::ios::binary) << somme;
        arguments = {chemin};
        banc::SetUp();
    }
    void TearDown() override {
        banc::TearDown();
        relance.termine();
        for (std::string const& c : copies(dossier)) {
            std::remove(c.c_str());
        }
        rmdir(dossier.c_str());
        rmdir(etat.c_str());
        std::remove(chemin.c_str());
        unsetenv("XDG_STATE_HOME");
    }
    // Une fenetre visible du programme dont le titre n'est ni la principale ni le source.
    std::string attend_dialogue() {
        for (int essai = 0; essai < 200; ++essai) {
            for (std::string const& id : fenetres_visibles()) {
                std::string titre;
                execute_x("xdotool getwindowname " + id, &titre);
                if (titre.rfind("Machine a pile", 0) != 0 && titre.rfind("Source", 0) != 0) {
                    return id;
                }
            }
            std::this_thread::sleep_for(50ms);
        }
        return "";
    }

    std::string const etat = testing::TempDir() + "karvela_etat_" + std::to_string(getpid());
    std::string const dossier = etat + "/karvela";
    std::string const chemin = testing::TempDir() + "somme_" + std::to_string(getpid()) + ".asm";
    processus relance;
};

TEST_F(secours_reel, le_texte_tape_survit_a_kill_9_et_se_reprend) {
    std::string const source =
        attend_fenetre("Source .* somme_" + std::to_string(getpid()) + "[.]asm");
    ASSERT_FALSE(source.empty()) << garde_capture("pas_de_source");
    // Dessinee avant le clic : sinon il se perd, et la frappe avec.
    ASSERT_FALSE(image_de(source).vide()) << garde_capture("source_jamais_dessinee");
    clic_dans(source, 200, 60);
    touche("ctrl+End");
    tape("; ajouté");
    auto const tape_fini = std::chrono::steady_clock::now();
    std::string const attendu = somme + "; ajouté";

    // La copie arrive quelques secondes apres la derniere frappe.
    std::string copie;
    for (int essai = 0; essai < 400 && copie.empty(); ++essai) {
        for (std::string const& c : copies(dossier)) {
            std::string const t = lit(c);
            if (t.size() >= attendu.size() &&
                t.compare(t.size() - attendu.size(), attendu.size(), attendu) == 0) {
                copie = c;
            }
        }
        if (copie.empty()) {
            std::this_thread::sleep_for(25ms);
        }
    }
    ASSERT_FALSE(copie.empty()) << "aucune copie a jour dans " << dossier;
    double const retard =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - tape_fini).count();
    std::cout << "copie de secours ecrite " << retard << " s apres la derniere frappe\n";
    RecordProperty("retard_copie_ms", static_cast<int>(retard * 1000));

    kill(programme().pid(), SIGKILL);
    EXPECT_EQ(programme().attend_fin(delai_attente), 128 + SIGKILL);
    EXPECT_EQ(lit(chemin), somme) << "le fichier n'a pas change";

    // Relance sur le meme fichier : la question, Echap reprend la copie.
    pid_t const pid = fork();
    if (pid == 0) {
        int const nul = open("/dev/null", O_WRONLY);
        dup2(nul, 2);
        execl(KARVELA_BINAIRE, KARVELA_BINAIRE, chemin.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    relance.adopte(pid);
    std::string const question = attend_dialogue();
    ASSERT_FALSE(question.empty()) << "pas de question : " << garde_capture("pas_de_question");
    garde_capture("question_copie");
    touche_dans(question, "Escape");
    ASSERT_TRUE(attend_fermeture(question));
    std::string const source2 =
        attend_fenetre("Source .* somme_" + std::to_string(getpid()) + "[.]asm");
    ASSERT_FALSE(source2.empty());
    touche_dans(source2, "ctrl+s");
    for (int essai = 0; essai < 200 && lit(chemin) != attendu; ++essai) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(lit(chemin), attendu) << "le texte repris et enregistre";
    EXPECT_TRUE(copies(dossier).empty()) << "enregistree, la copie est retiree";
}

} // namespace
} // namespace banc_reel
