#include <gtest/gtest.h>

#include "config/encoding.h"

using namespace tcese;

TEST(Encoding, RoundTripsEveryWindows1252Byte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = cp1252ToUtf8(all);
    EXPECT_EQ(utf8ToCp1252(utf8), all);
}

namespace {

// UTF-8 of a code point below U+10000, written here so that the table under test
// is not its own reference.
std::string utf8Of(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

}  // namespace

// The bytes where Windows-1252 differs from Latin-1, against the published table;
// the five bytes it leaves undefined stand for the C1 control of the same number.
TEST(Encoding, Bytes80To9FAreThePublishedCharacters) {
    const char32_t published[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
    };
    for (int i = 0; i < 32; ++i) {
        const std::string byte(1, static_cast<char>(0x80 + i));
        SCOPED_TRACE(::testing::Message() << "byte 0x" << std::hex << 0x80 + i);
        EXPECT_EQ(cp1252ToUtf8(byte), utf8Of(published[i]));
        EXPECT_EQ(utf8ToCp1252(utf8Of(published[i])), byte);
    }
    EXPECT_EQ(cp1252ToUtf8("\xA0\xFF"), utf8Of(0x00A0) + utf8Of(0x00FF));  // Latin-1 above
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
