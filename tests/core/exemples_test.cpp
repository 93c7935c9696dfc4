// Les programmes d'exemple livres dans examples/ : chaque listing commente doit
// decrire octet pour octet le fichier .bin voisin, et chaque programme doit faire
// ce que son listing annonce une fois charge par le vrai chargeur ; la pile a en
// marche une des profondeurs que sa colonne annonce.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "simulateur/interpreteur.h"
#include "simulateur/mem_64k.h"

namespace {

const std::string dossier_exemples = std::string(KARVELA_SOURCE) + "/examples/";

struct ligne_listing {
    unsigned short adresse;
    std::vector<unsigned char> octets;
    std::string instruction;
    std::string pile; // "1", "1-3", "0,2"
};

// La profondeur d est-elle parmi celles de la colonne ?
bool annoncee(std::string const& pile, int d) {
    std::istringstream flot(pile);
    for (std::string plage; std::getline(flot, plage, ',');) {
        std::size_t const tiret = plage.find('-');
        int const bas = std::stoi(plage.substr(0, tiret));
        int const haut = tiret == std::string::npos ? bas : std::stoi(plage.substr(tiret + 1));
        if (d >= bas && d <= haut)
            return true;
    }
    return false;
}

std::string sans_blancs_autour(std::string const& s) {
    auto debut = s.find_first_not_of(' ');
    if (debut == std::string::npos)
        return "";
    return s.substr(debut, s.find_last_not_of(' ') - debut + 1);
}

// Lignes "adresse | octets | instruction | pile | source" ; ';' ouvre un commentaire.
std::vector<ligne_listing> lit_listing(std::string const& nom) {
    std::ifstream f(dossier_exemples + nom + ".txt");
    EXPECT_TRUE(f) << nom;
    std::vector<ligne_listing> lignes;
    std::string texte;
    while (std::getline(f, texte)) {
        if (texte.empty() || texte[0] == ';')
            continue;
        std::vector<std::string> champs;
        std::istringstream flot(texte);
        for (std::string champ; std::getline(flot, champ, '|');)
            champs.push_back(sans_blancs_autour(champ));
        EXPECT_EQ(champs.size(), 5u) << texte;
        if (champs.size() != 5)
            continue;
        ligne_listing l{static_cast<unsigned short>(std::stoul(champs[0], nullptr, 16)),
                        {},
                        champs[2],
                        champs[3]};
        std::istringstream octets(champs[1]);
        for (std::string o; octets >> o;)
            l.octets.push_back(static_cast<unsigned char>(std::stoul(o, nullptr, 16)));
        lignes.push_back(l);
    }
    return lignes;
}

std::vector<unsigned char> lit_fichier(std::string const& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

class Exemple : public testing::TestWithParam<const char*> {};

TEST_P(Exemple, LeListingDecritLeFichierOctetPourOctet) {
    const std::string nom = GetParam();
    const auto fichier = lit_fichier(dossier_exemples + nom + ".bin");
    const auto listing = lit_listing(nom);
    ASSERT_GE(fichier.size(), 4u);
    ASSERT_FALSE(listing.empty());

    EXPECT_EQ(fichier[0] * 256 + fichier[1], static_cast<int>(fichier.size()))
        << "l'en-tete doit donner la taille du fichier";
    const unsigned short base = fichier[2] * 256 + fichier[3];

    std::vector<unsigned char> image;
    unsigned short attendue = base;
    for (auto const& l : listing) {
        EXPECT_EQ(l.adresse, attendue) << l.instruction;
        image.insert(image.end(), l.octets.begin(), l.octets.end());
        attendue = static_cast<unsigned short>(attendue + l.octets.size());
    }
    EXPECT_EQ(image, std::vector<unsigned char>(fichier.begin() + 4, fichier.end()));

    mem_64k memoire;
    std::string chemin = dossier_exemples + nom + ".bin";
    ASSERT_EQ(memoire.load_binaire(chemin.data()), 1);
    mp_interpreteur processeur;
    processeur.learn_mem(&memoire);
    for (auto const& l : listing) {
        char texte[81];
        const unsigned short suivante = processeur.desassemblage_instruction(l.adresse, texte);
        EXPECT_EQ(std::string(texte), l.instruction) << "a l'adresse " << l.adresse;
        EXPECT_EQ(suivante, l.adresse + l.octets.size()) << l.instruction;
    }
    processeur.init_registers();
    for (int pas = 0; pas < 2000; ++pas) {
        for (auto const& l : listing) {
            if (l.adresse == processeur.PC_value()) {
                EXPECT_TRUE(annoncee(l.pile, processeur.SP_value() + 1))
                    << l.instruction << " avec " << processeur.SP_value() + 1 << " entrees";
            }
        }
        memoire.write_byte(0x100a, static_cast<unsigned char>(pas * 37));
        processeur.step();
    }
}

INSTANTIATE_TEST_SUITE_P(Fichiers, Exemple,
                         testing::Values("compte_a_rebours", "chenillard", "echo_port_e"),
                         [](auto const& info) { return std::string(info.param); });

// Un exemple charge par le vrai chargeur, pret a tourner depuis PC = 0.
struct Machine {
    mem_64k memoire;
    mp_interpreteur processeur;

    explicit Machine(std::string const& nom) {
        std::string chemin = dossier_exemples + nom + ".bin";
        EXPECT_EQ(memoire.load_binaire(chemin.data()), 1);
        processeur.learn_mem(&memoire);
        processeur.init_registers();
    }
    void pas(int n) {
        for (int i = 0; i < n; ++i)
            processeur.step();
    }
};

TEST(ExempleEnMarche, LeCompteAReboursFinitSurZeroEtBoucleSurPlace) {
    Machine m("compte_a_rebours");
    m.pas(11);
    EXPECT_EQ(m.processeur.PC_value(), 0x0008);
    EXPECT_EQ(m.processeur.SP_value(), 0);
    EXPECT_EQ(m.processeur.pile(0), 0);
    EXPECT_EQ(m.processeur.CCR_value() & (CCR_Z | CCR_E), CCR_Z);
    m.pas(5);
    EXPECT_EQ(m.processeur.PC_value(), 0x0008) << "le saut final reste sur place";
    EXPECT_EQ(m.processeur.SP_value(), 0);
}

TEST(ExempleEnMarche, LeChenillardAllumeUnBitApresLAutreSurLePortB) {
    Machine m("chenillard");
    m.pas(2); // PUSHI 1, DUP
    std::vector<int> vus;
    for (int tour = 0; tour < 2 * 8; ++tour) {
        m.pas(1); // POP $1004
        vus.push_back(m.memoire.read_byte(0x1004));
        m.pas(2); // LSL, BNEZ
        if (m.processeur.PC_value() == 0x000a)
            m.pas(4); // DROP, BT, PUSHI 1, DUP
        else
            m.pas(1); // DUP
    }
    const std::vector<int> attendus = {1, 2, 4, 8, 16, 32, 64, 128, 1, 2, 4, 8, 16, 32, 64, 128};
    EXPECT_EQ(vus, attendus);
    EXPECT_EQ(m.processeur.CCR_value() & CCR_E, 0) << "aucune erreur de pile";
}

TEST(ExempleEnMarche, LEchoRecopieLePortESurLePortB) {
    Machine m("echo_port_e");
    for (int valeur : {0x5a, 0x00, 0xff, 0x81}) {
        m.memoire.write_byte(0x100a, static_cast<unsigned char>(valeur));
        m.pas(3);
        EXPECT_EQ(m.memoire.read_byte(0x1004), valeur);
        EXPECT_EQ(m.processeur.PC_value(), 0x0000);
        EXPECT_EQ(m.processeur.SP_value(), -1);
    }
}

} // namespace
