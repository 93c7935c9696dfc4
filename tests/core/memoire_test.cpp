// Memoire de 64 Kio : etat neuf, acces octet et mot gros-boutiste, garde du
// mot a 0xFFFF (ni repli sur 0, ni ecriture de la derniere case), textes.
#include <gtest/gtest.h>

#include <memory>

#include "simulateur/mem_64k.h"

namespace {

class Memoire : public testing::Test {
  protected:
    std::unique_ptr<mem_64k> m = std::make_unique<mem_64k>();
};

TEST_F(Memoire, NeuveElleLitFFPartout) {
    for (unsigned int a = 0; a < mem_64k::taille; ++a) {
        ASSERT_EQ(m->read_byte(static_cast<unsigned short>(a)), 0xFF) << a;
    }
    EXPECT_EQ(m->read_word(0x0000), 0xFFFF);
}

TEST_F(Memoire, OctetsEtMotsGrosBoutistes) {
    m->write_byte(0x1234, 0xAB);
    EXPECT_EQ(m->read_byte(0x1234), 0xAB);
    EXPECT_EQ(m->read_word(0x1233), 0xFFAB);
    EXPECT_EQ(m->read_word(0x1234), 0xABFF);

    m->write_word(0x2000, 0x1234);
    EXPECT_EQ(m->read_byte(0x2000), 0x12);
    EXPECT_EQ(m->read_byte(0x2001), 0x34);
    EXPECT_EQ(m->read_word(0x2000), 0x1234);
}

TEST_F(Memoire, LeMotAFFFFNeSeReplieJamaisSurZero) {
    m->write_byte(0xFFFE, 0x12);
    m->write_byte(0xFFFF, 0x34);
    m->write_byte(0x0000, 0x56);
    EXPECT_EQ(m->read_word(0xFFFE), 0x1234);
    EXPECT_EQ(m->read_word(0xFFFF), 0);

    m->write_word(0xFFFF, 0xABCD);
    EXPECT_EQ(m->read_byte(0xFFFF), 0x34);
    EXPECT_EQ(m->read_byte(0x0000), 0x56);

    m->write_word(0xFFFE, 0xABCD);
    EXPECT_EQ(m->read_byte(0xFFFE), 0xAB);
    EXPECT_EQ(m->read_byte(0xFFFF), 0xCD);
    EXPECT_EQ(m->read_byte(0x0000), 0x56);
}

TEST_F(Memoire, NomsDOctetEtDeMotEnMinuscules) {
    EXPECT_EQ(m->specific_byte_name(0x4000), "$ff");
    m->write_byte(0x10, 0x3C);
    m->write_byte(0x11, 0x0A);
    m->write_byte(0x12, 0x00);
    EXPECT_EQ(m->specific_byte_name(0x10), "$3c");
    EXPECT_EQ(m->specific_byte_name(0x11), "$0a");
    EXPECT_EQ(m->specific_byte_name(0x12), "$00");

    m->write_word(0x20, 0x12AB);
    EXPECT_EQ(m->specific_word_name(0x20), "$12ab");
    m->write_word(0x22, 0x000A);
    EXPECT_EQ(m->specific_word_name(0x22), "$000a");
    m->write_byte(0x0000, 0x77);
    EXPECT_EQ(m->specific_word_name(0xFFFF), "$0000");
}

} // namespace
