// Les exemples du depot viennent de leurs sources : chaque .asm donne octet pour
// octet le .bin et le listing .txt livres a cote. Les deux exemples ecrits en
// source font ce qu'ils annoncent.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "assembleur/source.h"
#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"

namespace {

const std::string dossier = std::string(KARVELA_SOURCE) + "/examples/";

std::string contenu(std::string const& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

class Source : public testing::TestWithParam<const char*> {};

TEST_P(Source, DonneLeBinaireEtLeListingDuDepot) {
    std::string const nom = GetParam();
    source_lue const source = lit_source(dossier + nom + ".asm");
    ASSERT_TRUE(source.lue) << source.erreur;
    programme_assemble const p = assemble(source.texte);
    ASSERT_TRUE(p.reussi());
    EXPECT_TRUE(p.diagnostics.empty());
    std::vector<unsigned char> const bin = fichier_bin(p);
    EXPECT_EQ(std::string(bin.begin(), bin.end()), contenu(dossier + nom + ".bin"));
    EXPECT_EQ(fichier_listing(p, source.texte), contenu(dossier + nom + ".txt"));
}

INSTANTIATE_TEST_SUITE_P(Exemples, Source,
                         testing::Values("compte_a_rebours", "chenillard", "echo_port_e",
                                         "bits_port_e", "table_carres", "sept_segments"),
                         [](auto const& info) { return std::string(info.param); });

// Un exemple assemble et charge, le port E tenu a une valeur : Port B apres un
// tour de boucle complet (retour en 0000).
int port_b_apres_un_tour(std::string const& nom, int port_e) {
    programme_assemble const p = assemble(lit_source(dossier + nom + ".asm").texte);
    auto memoire = std::make_unique<mem_64k>();
    memoire->load_image(p.base, p.image);
    memoire->write_byte(0x100A, static_cast<unsigned char>(port_e));
    mp_interpreteur cpu;
    cpu.learn_mem(memoire.get());
    cpu.init_registers();
    for (int pas = 0; pas < 1000; ++pas) {
        cpu.step();
        if (cpu.PC_value() == 0) {
            EXPECT_EQ(cpu.SP_value(), -1) << nom << " : pile vide a chaque tour";
            EXPECT_EQ(cpu.CCR_value() & CCR_E, 0) << nom;
            return memoire->read_byte(0x1004);
        }
    }
    ADD_FAILURE() << nom << " ne revient pas en 0000";
    return -1;
}

TEST(Exemples, BitsAUnDuPortESurLePortB) {
    const int cas[][2] = {{0x00, 0}, {0x01, 1}, {0x80, 1}, {0xB5, 5}, {0xFF, 8}, {0x7E, 6}};
    for (auto const& c : cas) {
        EXPECT_EQ(port_b_apres_un_tour("bits_port_e", c[0]), c[1]) << "port E " << c[0];
    }
}

// Sur l'afficheur du port C (bit 0 = segment a ... bit 6 = g) : 0 a 9 puis 0,
// chaque chiffre tenu par la boucle d'attente.
TEST(Exemples, SeptSegmentsCompteDeZeroANeufSurLePortC) {
    programme_assemble const p = assemble(lit_source(dossier + "sept_segments.asm").texte);
    auto memoire = std::make_unique<mem_64k>();
    memoire->load_image(p.base, p.image);
    mp_interpreteur cpu;
    cpu.learn_mem(memoire.get());
    cpu.init_registers();
    std::vector<int> vus;
    int depuis = 0;
    for (int pas = 1; pas < 10000 && vus.size() < 11; ++pas) {
        unsigned char const avant = memoire->read_byte(0x1003);
        cpu.step();
        if (memoire->read_byte(0x1003) != avant) {
            vus.push_back(memoire->read_byte(0x1003));
            EXPECT_TRUE(vus.size() == 1 || pas - depuis > 300) << "chiffre tenu " << pas - depuis;
            depuis = pas;
        }
    }
    EXPECT_EQ(memoire->read_byte(0x1007), 0xFF) << "DDRC : le port C en sortie";
    std::vector<int> const chiffres = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d,
                                       0x7d, 0x07, 0x7f, 0x6f, 0x3f};
    EXPECT_EQ(vus, chiffres);
    EXPECT_EQ(cpu.CCR_value() & CCR_E, 0);
}

TEST(Exemples, CarreDesQuatreBitsBasDuPortE) {
    const int cas[][2] = {{0, 0}, {1, 1}, {3, 9}, {15, 225}, {0x37, 49}, {0xF2, 4}};
    for (auto const& c : cas) {
        EXPECT_EQ(port_b_apres_un_tour("table_carres", c[0]), c[1]) << "port E " << c[0];
    }
}

} // namespace
