// Ecriture des sorties des commandes sur ce qui existe deja au chemin donne :
// un fichier garde ses droits, un lien reste un lien, un tube reste un tube.
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "commandes/ecriture.h"
#include "execution/fichiers.h"
#include "tests/dossier_temporaire.h"

namespace {

namespace fs = std::filesystem;

using Ecriture = dossier_temporaire;

TEST_F(Ecriture, FichierExistantRemplaceAvecSesDroits) {
    fs::path const cible = dossier / "sortie.bin";
    std::ofstream(cible) << "ancien contenu plus long";
    chmod(cible.c_str(), 0640);
    EXPECT_EQ(ecrit_fichier(cible, "neuf"), "");
    EXPECT_EQ(lit(cible), "neuf");
    EXPECT_EQ(fs::status(cible).permissions(), fs::perms(0640));
}

TEST_F(Ecriture, LienSuiviEtGarde) {
    fs::path const vise = dossier / "vrai.bin", lien = dossier / "lien.bin";
    std::ofstream(vise) << "ancien";
    fs::create_symlink(vise.filename(), lien);
    EXPECT_EQ(ecrit_fichier(lien, "neuf"), "");
    EXPECT_TRUE(fs::is_symlink(lien));
    EXPECT_EQ(lit(vise), "neuf");
    EXPECT_EQ(std::distance(fs::directory_iterator(dossier), fs::directory_iterator()), 2);
}

TEST_F(Ecriture, TubeEcritSurPlace) {
    fs::path const tube = dossier / "tube";
    ASSERT_EQ(mkfifo(tube.c_str(), 0600), 0);
    int const lecteur = open(tube.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(lecteur, 0);
    EXPECT_EQ(ecrit_fichier(tube, "neuf"), "");
    char lu[8] = {};
    EXPECT_EQ(read(lecteur, lu, sizeof lu), 4);
    close(lecteur);
    EXPECT_EQ(std::string(lu), "neuf");
    EXPECT_TRUE(fs::is_fifo(tube));
}

TEST_F(Ecriture, DossierRefuse) {
    EXPECT_EQ(ecrit_fichier(dossier, "neuf"),
              "impossible d'écrire « " + dossier.string() + " » : c'est un dossier");
    EXPECT_TRUE(fs::is_directory(dossier));
}

TEST(Raisons, UnSeulTraducteurPourLireEtEcrire) {
    EXPECT_EQ(raison_errno(ENOENT, sens_acces::lecture), "fichier introuvable");
    EXPECT_EQ(raison_errno(ENOENT, sens_acces::ecriture), "dossier introuvable");
    for (sens_acces const sens : {sens_acces::lecture, sens_acces::ecriture}) {
        EXPECT_EQ(raison_errno(EXDEV, sens), "erreur du système (errno 18)");
    }
}

} // namespace
