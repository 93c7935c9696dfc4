// Un dossier neuf par test, efface apres lui : les suites qui ecrivent des fichiers
// ou lancent les commandes y travaillent sans se gener.
#ifndef KARVELA_TESTS_DOSSIER_TEMPORAIRE_H
#define KARVELA_TESTS_DOSSIER_TEMPORAIRE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class dossier_temporaire : public testing::Test {
  protected:
    void SetUp() override {
        std::string modele = (std::filesystem::temp_directory_path() / "karvela-XXXXXX").string();
        ASSERT_NE(mkdtemp(modele.data()), nullptr);
        dossier = modele;
    }
    void TearDown() override { std::filesystem::remove_all(dossier); }

    std::string lit(std::filesystem::path const& nom) const {
        std::ifstream f(dossier / nom, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path dossier;
};

#endif
