#include <gtest/gtest.h>

#include "data/numbers.h"
#include "engine/ret.h"

using namespace tcese;

namespace {
struct RetCase {
    const char* kind;
    int width;
    const char* value;
    const char* expected;
};
}  // namespace

TEST(Ret, FieldKinds) {
    const RetCase cases[] = {
        {"I", 14, "12.345.678/0001-90", "12345678000190"},
        {"I", 11, "(79) 3211-1234", "07932111234"},
        {"I", 8, "123.456.789-0", "12345678"},
        {"I", 6, "", "000000"},
        {"I", 3, "-5", "005"},
        {"I", 5, "12A", "0012A"},
        {"I", 3, "123", "123"},
        {"I", 4, "xX9", "0009"},
        {"T", 5, "ABC", "ABC  "},
        {"T", 5, "ABCDEFG", "ABCDE"},
        {"T", 4, "", "    "},
        {"T", 3, "ABC", "ABC"},
        {"T", 6, " A ", " A    "},
        {"T", 10, "JOSÉ", "JOSÉ      "},
        {"T", 6, "CONCEIÇÃO", "CONCEI"},
        {"T", 9, "CONCEIÇÃO", "CONCEIÇÃO"},
        {"T", 12, "A\r\nB\nC", "A  B C      "},
        {"V2", 14, "1234.5", "00000000123450"},
        {"V2", 14, "0", "00000000000000"},
        {"V2", 14, "-12.3", "-0000000001230"},
        {"V2", 14, "1234.565", "00000000123457"},
        {"V2", 14, "-1234.565", "-0000000123457"},
        {"V2", 14, "1234567890123.45", "123456789012345"},
        {"V2", 2, "0.05", "05"},
        {"V2", 6, "1234.5", "123450"},
        {"V2", 3, "-0.05", "-05"},
        {"V3", 15, "2.5", "000000000002500"},
        {"V3", 15, "1234.5", "000000001234500"},
        {"V3", 8, "-1.5", "-0001500"},
        {"DP", 10, "12.345", "0000012345"},
        {"DP", 10, "-1.5", "00000-1500"},
        {"DP", 4, "12.345", "12345"},
        {"D", 8, "31/01/2007", "20070131"},
        {"D", 0, "31/01/2007 10:22:33", "20070131"},
        {"D", 8, "", "        "},
        {"D", 8, "   ", "        "},
        {"D", 8, "1/2/2007", "07/21/"},
        {"D", 8, "ABC", "AB"},
        {"X", 8, "abc", ""},
        {"t", 8, "abc", ""},
    };
    RunContext ctx;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + std::to_string(c.width) + " '" + c.value + "'");
        EXPECT_EQ(Ret(ctx, c.width, c.value, "S", c.kind), c.expected);
        EXPECT_EQ(Ret(ctx, c.width, c.value, "N", c.kind), c.expected);
    }
}

TEST(Ret, AmountThatIsNotANumberIsAnErrorNamingIt) {
    RunContext ctx;
    for (const char* kind : {"V2", "V3", "DP"}) {
        SCOPED_TRACE(kind);
        EXPECT_THROW(Ret(ctx, 10, "", "S", kind), NumberError);
        try {
            Ret(ctx, 10, "12,3x", "S", kind);
            FAIL();
        } catch (const NumberError& e) {
            EXPECT_NE(std::string(e.what()).find("12,3x"), std::string::npos);
        }
    }
}

TEST(Ret, CancelGivesEmptyTextForEveryKind) {
    RunContext ctx;
    ctx.cancelRequested = true;
    for (const char* kind : {"T", "I", "V2", "V3", "DP", "D"}) EXPECT_EQ(Ret(ctx, 5, "x", "S", kind), "") << kind;
}

TEST(ValueHelpers, PegaNumeroAndRetornaDigito) {
    EXPECT_EQ(PEGANUMERO("1.1.1.2.02.00"), "11120200");
    EXPECT_EQ(PEGANUMERO("a-b"), "");
    EXPECT_EQ(zero(3, "7"), "0007");
    EXPECT_EQ(vazio(2), "  ");
    const std::pair<const char*, const char*> digits[] = {
        {"12345-6", "6"}, {"1234-X", "X"}, {"123.456-7", "45"}, {"123456", "00"}, {"12345-", "00"},
        {"", "00"}, {"-", "00"}, {"1-23", "23"}, {"A.BÇ", "BÇ"},
    };
    for (auto [in, out] : digits) EXPECT_EQ(retorna_digito(in), out) << in;
}

TEST(ValueHelpers, PegaDiaAndLeapYears) {
    RunContext ctx;
    ctx.fiscalYear = "2007";
    const std::pair<const char*, const char*> months[] = {
        {"01", "31"}, {"02", "28"}, {"03", "31"}, {"04", "30"}, {"05", "31"}, {"06", "30"}, {"07", "31"},
        {"08", "31"}, {"09", "30"}, {"10", "31"}, {"11", "30"}, {"12", "31"}, {"14", ""}, {"13", ""},
    };
    for (auto [m, d] : months) EXPECT_EQ(PegaDia(ctx, m), d) << m;
    for (auto [year, feb] : {std::pair{"2008", "29"}, {"2000", "29"}, {"2007", "28"}, {"1900", "28"}}) {
        ctx.fiscalYear = year;
        EXPECT_EQ(PegaDia(ctx, "02"), feb) << year;
    }
    ctx.fiscalYear = "20x7";
    EXPECT_THROW(PegaDia(ctx, "02"), NumberError);
    EXPECT_EQ(PegaDia(ctx, "03"), "31");
    EXPECT_TRUE(AnoBiSexto(2008));
    EXPECT_FALSE(AnoBiSexto(2100));
}
