// Copies de secours du source, dans un XDG_STATE_HOME temporaire : ou elles vont,
// ce qu'elles gardent, quand les ecrire, qu'un echec ne se dit qu'une fois, et
// que rien ne touche au fichier de l'etudiant.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "../dossier_temporaire.h"
#include "edition/copie_secours.h"

namespace {

namespace fs = std::filesystem;

// Une variable d'environnement posee le temps d'un test, puis rendue.
class variable_posee {
  public:
    variable_posee(char const* nom, char const* valeur) : nom_(nom) {
        char const* avant = std::getenv(nom);
        avait_ = avant != nullptr;
        avant_ = avait_ ? avant : "";
        valeur != nullptr ? setenv(nom, valeur, 1) : unsetenv(nom);
    }
    ~variable_posee() { avait_ ? setenv(nom_, avant_.c_str(), 1) : unsetenv(nom_); }

  private:
    char const* nom_;
    bool avait_;
    std::string avant_;
};

class copies : public dossier_temporaire {
  protected:
    std::string ecrit(std::string const& nom, std::string const& contenu) {
        fs::create_directories((dossier / nom).parent_path());
        std::ofstream(dossier / nom, std::ios::binary) << contenu;
        return (dossier / nom).string();
    }
    std::string etat() const { return (dossier / "etat" / "karvela").string(); }
};

TEST_F(copies, dossier_d_etat_de_l_utilisateur) {
    struct cas {
        char const* etat;
        char const* maison;
        char const* dossier;
    };
    cas const table[] = {
        {"/x/etat", "/home/e", "/x/etat/karvela"},
        {nullptr, "/home/e", "/home/e/.local/state/karvela"},
        {"relatif/etat", "/home/e", "/home/e/.local/state/karvela"}, // XDG : absolu ou rien
        {nullptr, nullptr, ""},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.dossier);
        variable_posee const e("XDG_STATE_HOME", c.etat), m("HOME", c.maison);
        EXPECT_EQ(dossier_secours(), c.dossier);
    }
}

// Deux somme.asm de dossiers differents, un sans titre : chacun sa copie, le
// chemin d'origine garde, le dossier cree en 0700, les fichiers de l'etudiant
// intacts, rien d'autre dans le dossier ; retiree, plus rien.
TEST_F(copies, une_copie_par_fichier_ecrite_relue_retiree) {
    variable_posee const e("XDG_STATE_HOME", (dossier / "etat").c_str());
    std::string const a = ecrit("tp1/somme.asm", "  NOP\r\n"), b = ecrit("tp2/somme.asm", "");
    struct stat avant_a;
    ASSERT_EQ(stat(a.c_str(), &avant_a), 0);
    struct cas {
        std::string fichier, texte;
    };
    cas const table[] = {{a, "  NOP\n  DUP\n"}, {b, "  ADD\n"}, {"", "sans titre\n"}};
    std::vector<secours_source> secours(3);
    for (std::size_t i = 0; i < 3; ++i) {
        secours[i].suit(table[i].fichier);
        EXPECT_EQ(secours[i].ecrit(table[i].texte), "");
    }
    struct stat d;
    ASSERT_EQ(stat(etat().c_str(), &d), 0);
    EXPECT_EQ(d.st_mode & 0777, 0700u);
    std::vector<copie_secours> const liste = liste_copies(etat());
    ASSERT_EQ(liste.size(), 3u) << "ni temporaire ni copie melee";
    for (cas const& c : table) {
        SCOPED_TRACE(c.fichier);
        copie_secours lue;
        if (!c.fichier.empty()) {
            ASSERT_TRUE(copie_de(etat(), c.fichier, lue));
            EXPECT_EQ(lue.origine, c.fichier);
            EXPECT_TRUE(differe_du_fichier(lue));
            EXPECT_EQ(lue.chemin.rfind(etat() + "/somme.asm-", 0), 0u) << lue.chemin;
        } else {
            std::vector<copie_secours> const o = copies_orphelines(etat());
            ASSERT_EQ(o.size(), 1u) << "mon numero de processus, mais pas ma copie";
            lue = o[0];
            EXPECT_TRUE(copies_orphelines(etat(), secours[2].chemin()).empty());
        }
        EXPECT_EQ(lue.texte, c.texte);
    }
    EXPECT_EQ(lit("tp1/somme.asm"), "  NOP\r\n");
    struct stat apres_a;
    ASSERT_EQ(stat(a.c_str(), &apres_a), 0);
    EXPECT_EQ(apres_a.st_mtime, avant_a.st_mtime);
    for (secours_source& s : secours) {
        s.retire();
    }
    EXPECT_TRUE(liste_copies(etat()).empty());
    EXPECT_TRUE(fs::exists(a) && fs::exists(b)) << "les fichiers de l'etudiant restent";
}

// Le fichier relu comme l'editeur le tient (CRLF compris) ; disparu, il differe.
TEST_F(copies, comparee_au_fichier) {
    struct cas {
        char const* nom;
        char const* disque; // null : pas de fichier
        char const* copie;
        bool differe;
    };
    cas const table[] = {
        {"meme texte", "  NOP\n", "  NOP\n", false},
        {"fins de ligne CRLF", "  NOP\r\n", "  NOP\n", false},
        {"modifie", "  NOP\n", "  DUP\n", true},
        {"disparu", nullptr, "  NOP\n", true},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        copie_secours copie;
        copie.origine = (dossier / c.nom).string();
        copie.texte = c.copie;
        if (c.disque != nullptr) {
            ecrit(c.nom, c.disque);
        }
        EXPECT_EQ(differe_du_fichier(copie), c.differe);
    }
}

TEST(copie_secours, age_dit_en_francais) {
    struct cas {
        long secondes;
        char const* texte;
    };
    cas const table[] = {
        {-5, "il y a moins d'une minute"},
        {59, "il y a moins d'une minute"},
        {180, "il y a 3 min"},
        {3599, "il y a 59 min"},
        {7200, "il y a 2 h"},
        {86400, "il y a 1 jour"},
        {4 * 86400 + 5, "il y a 4 jours"},
    };
    for (cas const& c : table) {
        EXPECT_EQ(texte_age(1000000, 1000000 + c.secondes), c.texte);
    }
}

// Deux secondes apres la derniere frappe, ou cinq apres la premiere non copiee.
TEST(copie_secours, attente_avant_d_ecrire) {
    struct cas {
        char const* nom;
        std::vector<double> frappes;
        double instant;
        bool due;
        double echeance;
    };
    cas const table[] = {
        {"rien tape", {}, 100, false, -1},
        {"juste apres", {0}, 1.9, false, 2},
        {"pause", {0}, 2, true, 2},
        {"frappe continue", {0, 1, 2, 3, 4}, 4.5, false, 5},
        {"plafond", {0, 1, 2, 3, 4}, 5, true, 5},
        {"reprise", {0, 10, 11}, 12, false, 13},
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.nom);
        attente_copie a;
        for (double const t : c.frappes) {
            if (t == 10) {
                a.copie_faite(); // ecrite entre deux rafales
            }
            a.frappe(t);
        }
        EXPECT_EQ(a.due(c.instant), c.due);
        if (c.echeance >= 0) {
            EXPECT_EQ(a.echeance(), c.echeance);
        } else {
            EXPECT_GT(a.echeance(), 1e300);
        }
    }
}

// Un dossier impossible : dit une fois, pas a chaque copie ; redit apres un succes.
TEST_F(copies, echec_dit_une_fois) {
    std::string const fichier = ecrit("bloque", "un fichier, pas un dossier");
    secours_source s(fichier + "/karvela", 1);
    s.suit("");
    std::string const premier = s.ecrit("a");
    EXPECT_NE(premier.find("Copie de secours impossible dans « " + fichier + "/karvela »"),
              std::string::npos)
        << premier;
    EXPECT_EQ(s.ecrit("ab"), "");
    secours_source sans_dossier("", 1);
    EXPECT_NE(sans_dossier.ecrit("a").find("ni XDG_STATE_HOME ni HOME"), std::string::npos);
    fs::remove(fichier);
    EXPECT_EQ(s.ecrit("abc"), "");
    fs::remove_all(dossier / "bloque");
    ecrit("bloque", "");
    EXPECT_NE(s.ecrit("abcd"), "") << "apres un succes, un nouvel echec se dit";
    EXPECT_EQ(lit("bloque"), "");
}

// Retirer ne touche qu'aux copies du dossier ; une orpheline est d'un processus mort.
TEST_F(copies, ne_retire_que_ses_copies) {
    std::string const dossier_copies = etat();
    std::string const etudiant = ecrit("somme.asm", "  NOP\n");
    std::string const intrus = ecrit("etat/karvela/notes.secours", "pas une copie");
    struct cas {
        std::string chemin;
        char const* refus; // vide : retiree
    };
    pid_t const mort = fork();
    if (mort == 0) {
        _exit(0);
    }
    waitpid(mort, nullptr, 0);
    secours_source orpheline(dossier_copies, mort), vivante(dossier_copies, getppid());
    ASSERT_EQ(orpheline.ecrit("perdu\n"), "");
    ASSERT_EQ(vivante.ecrit("d'un autre karvela\n"), "");
    std::vector<copie_secours> const o = copies_orphelines(dossier_copies);
    ASSERT_EQ(o.size(), 1u);
    EXPECT_EQ(o[0].texte, "perdu\n");
    cas const table[] = {
        {etudiant, "n'est pas dans le dossier des copies"},
        {intrus, "n'est pas une copie de secours"},
        {dossier_copies + "/../somme.asm", "n'est pas dans le dossier des copies"},
        {orpheline.chemin(), ""},
        {orpheline.chemin(), ""}, // deja retiree : rien a dire
    };
    for (cas const& c : table) {
        SCOPED_TRACE(c.chemin);
        std::string const r = retire_copie(dossier_copies, c.chemin);
        EXPECT_NE(r.find(c.refus), std::string::npos) << r;
        EXPECT_EQ(r.empty(), std::string(c.refus).empty()) << r;
    }
    EXPECT_EQ(lit("somme.asm"), "  NOP\n");
    EXPECT_EQ(lit("etat/karvela/notes.secours"), "pas une copie");
    EXPECT_EQ(liste_copies(dossier_copies).size(), 1u);
}

} // namespace
