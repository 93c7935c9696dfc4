// Copies de secours du source, dans un XDG_STATE_HOME temporaire : ou elles vont,
// ce qu'elles gardent, quand les ecrire, qu'un echec ne se dit qu'une fois, et
// que rien ne touche au fichier de l'etudiant.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <limits>

#include "../dossier_temporaire.h"
#include "edition/copie_secours.h"

namespace {

// Pose (ou ote, si null) une variable d'environnement le temps d'un test.
struct variable_posee {
    variable_posee(char const* n, char const* v) : nom(n), avait(std::getenv(n) != nullptr) {
        avant = avait ? std::getenv(n) : "";
        v != nullptr ? setenv(n, v, 1) : unsetenv(n);
    }
    ~variable_posee() { avait ? setenv(nom, avant.c_str(), 1) : unsetenv(nom); }
    char const* nom;
    bool avait;
    std::string avant;
};

class copies : public dossier_temporaire {
  protected:
    std::string ecrit(std::string const& nom, std::string const& contenu) {
        std::filesystem::create_directories((dossier / nom).parent_path());
        std::ofstream(dossier / nom, std::ios::binary) << contenu;
        return (dossier / nom).string();
    }
    std::string etat() const { return (dossier / "etat" / "karvela").string(); }
};

TEST(copie_secours, dossier_d_etat_de_l_utilisateur) {
    struct cas {
        char const *etat, *maison, *dossier;
    };
    cas const table[] = {
        {"/x/etat", "/home/e", "/x/etat/karvela"},
        {nullptr, "/home/e", "/home/e/.local/state/karvela"},
        {"relatif/etat", "/home/e", "/home/e/.local/state/karvela"}, // XDG : absolu ou rien
        {nullptr, nullptr, ""},
    };
    for (cas const& c : table) {
        variable_posee const e("XDG_STATE_HOME", c.etat), m("HOME", c.maison);
        EXPECT_EQ(dossier_secours(), c.dossier);
    }
}

// Deux somme.asm de dossiers differents et un sans titre : chacun sa copie et son
// chemin d'origine, le dossier cree en 0700 et rien d'autre dedans ; compares au
// fichier lu comme l'editeur le tient (CRLF), disparu compris ; retirees, les
// fichiers de l'etudiant restent intacts.
TEST_F(copies, une_copie_par_fichier_ecrite_relue_comparee_retiree) {
    variable_posee const e("XDG_STATE_HOME", (dossier / "etat").c_str());
    std::string const a = ecrit("tp1/somme.asm", "  NOP\r\n"), b = ecrit("tp2/somme.asm", "");
    std::string const disparu = (dossier / "disparu.asm").string();
    struct stat avant;
    ASSERT_EQ(stat(a.c_str(), &avant), 0);
    struct cas {
        std::string fichier, texte;
        bool differe;
    };
    cas const table[] = {{a, "  NOP\n", false},
                         {b, "  ADD\n", true},
                         {disparu, "", true},
                         {"", "sans titre\n", true}};
    std::vector<secours_source> secours(4);
    for (std::size_t i = 0; i < 4; ++i) {
        secours[i].suit(table[i].fichier);
        EXPECT_EQ(secours[i].ecrit(table[i].texte), "");
    }
    struct stat d;
    ASSERT_EQ(stat(etat().c_str(), &d), 0);
    EXPECT_EQ(d.st_mode & 0777, 0700u);
    ASSERT_EQ(liste_copies(etat()).size(), 4u) << "ni temporaire ni copie melee";
    std::vector<copie_secours> const o = copies_orphelines(etat()); // mon numero, pas ma copie
    for (cas const& c : table) {
        SCOPED_TRACE(c.fichier);
        copie_secours lue = o.empty() ? copie_secours() : o[0];
        ASSERT_TRUE(c.fichier.empty() ? o.size() == 1 : copie_de(etat(), c.fichier, lue));
        EXPECT_EQ(lue.origine, c.fichier);
        EXPECT_EQ(lue.texte, c.texte);
        EXPECT_EQ(differe_du_fichier(lue), c.differe);
    }
    EXPECT_TRUE(copies_orphelines(etat(), secours[3].chemin()).empty());
    for (secours_source& s : secours) {
        s.retire();
    }
    EXPECT_TRUE(liste_copies(etat()).empty());
    EXPECT_EQ(lit("tp1/somme.asm"), "  NOP\r\n");
    struct stat apres;
    ASSERT_EQ(stat(a.c_str(), &apres), 0);
    EXPECT_EQ(apres.st_mtime, avant.st_mtime);
}

TEST(copie_secours, age_dit_en_francais) {
    std::pair<long, char const*> const table[] = {
        {-5, "il y a moins d'une minute"},
        {59, "il y a moins d'une minute"},
        {180, "il y a 3 min"},
        {7200, "il y a 2 h"},
        {86400, "il y a 1 jour"},
        {4 * 86400 + 5, "il y a 4 jours"},
    };
    for (auto const& [secondes, texte] : table) {
        EXPECT_EQ(texte_age(1000000, 1000000 + secondes), texte);
    }
}

// Deux secondes apres la derniere frappe, ou cinq apres la premiere non copiee.
TEST(copie_secours, attente_avant_d_ecrire) {
    struct cas {
        std::vector<double> frappes; // -1 : une copie ecrite
        double instant, echeance;    // echeance -1 : rien n'attend
        bool due;
    };
    cas const table[] = {
        {{}, 100, -1, false},
        {{0}, 1.9, 2, false},
        {{0}, 2, 2, true},
        {{0, 1, 2, 3, 4}, 4.5, 5, false},
        {{0, 1, 2, 3, 4}, 5, 5, true},
        {{0, -1, 10, 11}, 12, 13, false},
    };
    for (cas const& c : table) {
        attente_copie a;
        for (double const t : c.frappes) {
            t < 0 ? a.copie_faite() : a.frappe(t);
        }
        EXPECT_EQ(a.due(c.instant), c.due) << c.instant;
        EXPECT_EQ(a.echeance(),
                  c.echeance < 0 ? std::numeric_limits<double>::infinity() : c.echeance)
            << c.instant;
    }
}

// Un dossier impossible : dit une fois, pas a chaque copie ; redit apres un succes.
TEST_F(copies, echec_dit_une_fois) {
    std::string const fichier = ecrit("bloque", "");
    secours_source s(fichier + "/karvela", 1);
    EXPECT_NE(s.ecrit("a").find("Copie de secours impossible dans « " + fichier + "/karvela »"),
              std::string::npos);
    EXPECT_EQ(s.ecrit("ab"), "");
    EXPECT_NE(secours_source("", 1).ecrit("a").find("ni XDG_STATE_HOME ni HOME"),
              std::string::npos);
    std::filesystem::remove(fichier);
    EXPECT_EQ(s.ecrit("abc"), "");
    std::filesystem::remove_all(fichier);
    ecrit("bloque", "");
    EXPECT_NE(s.ecrit("abcd"), "") << "apres un succes, un nouvel echec se dit";
    EXPECT_EQ(lit("bloque"), "");
}

// Retirer ne touche qu'aux copies du dossier ; une orpheline est d'un processus mort.
TEST_F(copies, ne_retire_que_ses_copies) {
    std::string const etudiant = ecrit("somme.asm", "  NOP\n");
    std::string const intrus = ecrit("etat/karvela/notes.secours", "pas une copie");
    pid_t const mort = fork();
    if (mort == 0) {
        _exit(0);
    }
    waitpid(mort, nullptr, 0);
    secours_source orpheline(etat(), mort), vivante(etat(), getppid());
    ASSERT_EQ(orpheline.ecrit("perdu\n") + vivante.ecrit("d'un autre karvela\n"), "");
    std::vector<copie_secours> const o = copies_orphelines(etat());
    ASSERT_EQ(o.size(), 1u);
    EXPECT_EQ(o[0].texte, "perdu\n");
    std::pair<std::string, char const*> const table[] = {
        {etudiant, "n'est pas dans le dossier des copies"},
        {intrus, "n'est pas une copie de secours"},
        {etat() + "/../somme.asm", "n'est pas dans le dossier des copies"},
        {orpheline.chemin(), ""},
        {orpheline.chemin(), ""}, // deja retiree : rien a dire
    };
    for (auto const& [chemin, refus] : table) {
        std::string const r = retire_copie(etat(), chemin);
        EXPECT_NE(r.find(refus), std::string::npos) << r;
        EXPECT_EQ(r.empty(), *refus == '\0') << chemin << " : " << r;
    }
    EXPECT_EQ(lit("somme.asm"), "  NOP\n");
    EXPECT_EQ(lit("etat/karvela/notes.secours"), "pas une copie");
    EXPECT_EQ(liste_copies(etat()).size(), 1u);
}

} // namespace
