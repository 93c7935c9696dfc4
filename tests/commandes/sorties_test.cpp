// Les commandes lancees pour de vrai ne perdent rien : sortie standard sur un tube
// sans lecteur ou un journal en ajout, cible en lecture seule, dans un dossier
// interdit ou a un autre. Root n'a ni l'un ni l'autre : ces cas-la sous nobody.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/dossier_temporaire.h"

namespace {

constexpr uid_t nobody = 65534; // et nogroup
enum lancement { ici, tube_ferme, par_nobody };

class Sorties : public dossier_temporaire {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(dossier_temporaire::SetUp());
        chmod(dossier.c_str(), 0755);
        // Copies, pas liens : nobody ne traverse peut-etre pas le chemin du depot (un
        // clone sous /root ou dans un dossier de mktemp -d).
        std::string const exemples = " '" KARVELA_SOURCE "/examples/exercices/somme_table";
        ASSERT_EQ(lance("cp '" KARVELA_ASM "' '" KARVELA_NOTE "' . && "
                        "printf '  PUSHI 1\\n  BT *\\n' >p.asm && printf '  PUSHI 1\\n  BT "
                        "*\\n.org $800\\n  PUSHI 1\\n' >gros.asm && mkdir partage collant && "
                        "printf ancien >partage/a && "
                        "printf ancien >collant/c && printf ancien >lecture_seule && chmod a-w "
                        "lecture_seule && chmod 666 collant/c && chmod 1777 collant && ln -s "
                        "/dev/fd/1 lien && cp" +
                        exemples + ".toml' exo.toml && cp" + exemples + "_faux.asm' faux.asm"),
                  0);
        chmod((dossier / "partage").c_str(), getuid() == 0 ? 0755 : 0555);
        ASSERT_EQ(lance(note + "--csv attendu.csv" + copies + " >attendu.txt"), 1);
        ASSERT_EQ(lance(assembleur + "-o attendu.bin p.asm"), 0);
    }
    void TearDown() override {
        chmod((dossier / "partage").c_str(), 0755);
        dossier_temporaire::TearDown();
    }
    // Code de sortie de sh -c ligne dans le dossier, SIGPIPE par defaut, la sortie
    // standard sur un tube sans lecteur, ou sous nobody si root le demande.
    int lance(std::string const& ligne, lancement l = ici) {
        pid_t const fils = fork();
        if (fils == 0) {
            signal(SIGPIPE, SIG_DFL);
            int tube[2];
            bool const change = l == par_nobody && getuid() == 0;
            if (chdir(dossier.c_str()) == 0 && pipe(tube) == 0 && close(tube[0]) == 0 &&
                dup2(l == tube_ferme ? tube[1] : creat("sortie.txt", 0644), 1) == 1 &&
                dup2(creat("erreurs.txt", 0644), 2) == 2 &&
                (!change ||
                 (setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0 &&
                  // Les suppressions de fuites visent la boite a outils, que les
                  // commandes n'ont pas ; leur fichier est peut-etre hors d'atteinte.
                  unsetenv("LSAN_OPTIONS") == 0))) {
                execl("/bin/sh", "sh", "-c", ligne.c_str(), nullptr);
            }
            _exit(126);
        }
        int etat = 0;
        waitpid(fils, &etat, 0);
        erreurs = lit("erreurs.txt");
        return WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
    }

    // Leurs copies dans le dossier (voir SetUp).
    std::string const assembleur = "./karvela-asm ", note = "./karvela-note ";
    // Plus de 4 Kio de texte : le tube se ferme avant que le tableau soit ecrit.
    std::string const copies = " exo.toml $(yes faux.asm | head -n 30)";
    std::string erreurs;
};

TEST_F(Sorties, RienNeSePerd) {
    std::string const bin = lit("attendu.bin"), csv = lit("attendu.csv");
    std::string const ecrit = ": impossible d'écrire « ";
    const struct {
        std::string ligne;
        lancement l;
        int code;
        std::string erreurs, fichier, contenu; // ce que le fichier tient apres
    } cas[] = {
        {note + "--csv notes.csv" + copies, tube_ferme, 1,
         "karvela-note: impossible d'écrire la sortie standard : tube fermé\n", "notes.csv", csv},
        {"'" KARVELA_RUN "' p.asm", tube_ferme, 1,
         "karvela-run: impossible d'écrire la sortie standard : tube fermé\n", "", ""},
        {note + "--csv /dev/stdout" + copies + " >>journal", ici, 1, "", "journal",
         "ancien\n" + lit("attendu.txt") + csv},
        {assembleur + "-o lien p.asm >>journal", ici, 0, "", "journal", "ancien\n" + bin},
        {assembleur + "-o lecture_seule p.asm", ici, 1,
         "karvela-asm" + ecrit + "lecture_seule » : accès refusé (fichier en lecture seule)\n",
         "lecture_seule", "ancien"},
        {note + "--csv partage/a" + copies, par_nobody, 1, "", "partage/a", csv},
        {assembleur + "-o collant/c p.asm", par_nobody, 0, "", "collant/c", bin},
        {assembleur + "-o partage/a -l /dev/full p.asm", par_nobody, 1,
         "karvela-asm" + ecrit + "/dev/full » : disque plein\n", "partage/a", "ancien"},
        {"ulimit -f 1; " + assembleur + "-o partage/a gros.asm", par_nobody, 1,
         "karvela-asm" + ecrit + "partage/a » : fichier trop grand\n", "partage/a", "ancien"},
    };
    for (auto const& c : cas) {
        std::ofstream(dossier / "journal") << "ancien\n";
        std::ofstream(dossier / "partage/a") << "ancien";
        ASSERT_TRUE(getuid() != 0 || chown((dossier / "partage/a").c_str(), nobody, nobody) == 0);
        EXPECT_EQ(lance(c.ligne, c.l), c.code) << c.ligne;
        EXPECT_EQ(erreurs, c.erreurs) << c.ligne;
        EXPECT_TRUE(c.fichier.empty() || lit(c.fichier) == c.contenu) << c.ligne;
    }
}

} // namespace
