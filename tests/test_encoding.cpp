#include <gtest/gtest.h>

#include "config/encoding.h"

using namespace tcese;

TEST(Encoding, RoundTripsEveryWindows1252Byte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = cp1252ToUtf8(all);
    EXPECT_EQ(utf8ToCp1252(utf8), all);
}

TEST(Encoding, AccentedNamesAndSpecials) {
    EXPECT_EQ(cp1252ToUtf8("JOS\xC9"), "JOSÉ");
    EXPECT_EQ(cp1252ToUtf8("CONCEI\xC7\xC3O"), "CONCEIÇÃO");
    EXPECT_EQ(cp1252ToUtf8("\x80 \x96 \x93x\x94"), "€ – “x”");
    EXPECT_EQ(utf8ToCp1252("€ – “x”"), "\x80 \x96 \x93x\x94");
    EXPECT_EQ(utf8ToCp1252("CONCEIÇÃO"), "CONCEI\xC7\xC3O");
}

TEST(Encoding, CharacterWithoutWindows1252FormIsAnError) {
    try {
        utf8ToCp1252("ok \xE2\x82\xBD");  // ruble sign
        FAIL() << "expected an error";
    } catch (const EncodingError& e) {
        EXPECT_NE(std::string(e.what()).find("U+20BD"), std::string::npos) << e.what();
    }
    EXPECT_THROW(utf8ToCp1252("\xC3"), EncodingError);          // truncated sequence
    EXPECT_THROW(utf8ToCp1252("\xC0\x80"), EncodingError);      // overlong
}

TEST(Encoding, WidthsCountCharacters) {
    EXPECT_EQ(utf8Length("CONCEIÇÃO"), 9u);
    EXPECT_EQ(utf8Prefix("JOSÉ MARIA", 4), "JOSÉ");
    EXPECT_EQ(utf8Mid("AÇÃO", 1, 2), "ÇÃ");
    EXPECT_EQ(utf8Mid("AB", 5, 2), "");
}

TEST(Encoding, UpperCaseOfPortugueseText) {
    EXPECT_EQ(upperText("prefeitura de conceição"), "PREFEITURA DE CONCEIÇÃO");
    EXPECT_EQ(upperText("josé ênio ü"), "JOSÉ ÊNIO Ü");
    EXPECT_TRUE(iequals("Vora.INI", "vora.ini"));
}
