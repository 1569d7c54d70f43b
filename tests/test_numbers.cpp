#include <gtest/gtest.h>

#include "data/numbers.h"

using namespace tcese;

TEST(Decimal, ParsesToFourDecimalsRoundingHalfAwayFromZero) {
    struct Case { const char* text; std::int64_t scaled; };
    const Case cases[] = {
        {"0", 0},           {"1234.5", 12345000},   {"-12.3", -123000},   {"0.05", 500},
        {" 7 ", 70000},     {"1,5", 15000},         {"+3", 30000},        {".5", 5000},
        {"1.23455", 12346}, {"-1.23455", -12346},   {"1.23454", 12345},   {"0.00005", 1},
        {"0.00004999", 0},  {"1E3", 10000000},      {"1.5E-5", 0},        {"2.5e-4", 3},
        {"1234567890123.45", 12345678901234500},    {"00012.50", 125000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Decimal::parse(c.text).scaled(), c.scaled);
    }
}

TEST(Decimal, NotANumberNamesTheValue) {
    for (const char* bad : {"", "   ", "abc", "1.2.3", "12a", "1e", "-", "1 2", "99999999999999999999"}) {
        SCOPED_TRACE(bad);
        try {
            Decimal::parse(bad);
            FAIL();
        } catch (const NumberError& e) {
            EXPECT_NE(std::string(e.what()).find("'" + std::string(bad) + "'"), std::string::npos) << e.what();
        }
    }
}

TEST(Decimal, TextForms) {
    EXPECT_EQ(Decimal::parse("1234.50").toString(), "1234.5");
    EXPECT_EQ(Decimal::parse("-0.0").toString(), "0");
    EXPECT_EQ(Decimal::parse("-99.99").toString(), "-99.99");
    EXPECT_EQ(Decimal::parse("1234.565").toFixed(2), "1234.57");
    EXPECT_EQ(Decimal::parse("-1234.565").toFixed(2), "-1234.57");
    EXPECT_EQ((Decimal::parse("0.1") + Decimal::parse("0.2")).toString(), "0.3");
    EXPECT_EQ(scaledToText(-9999, 2), "-99.99");
    EXPECT_EQ(scaledToText(5, 3), "0.005");
    EXPECT_EQ(scaledToText(12000, 2), "120");
    EXPECT_EQ(scaledToText(0, 2), "0");
}

TEST(FloatText, FifteenSignificantDigits) {
    struct Case { double v; const char* text; };
    const Case cases[] = {
        {0.0, "0"},          {1.5, "1.5"},          {0.1 + 0.2, "0.3"},      {-2.25, "-2.25"},
        {100.0, "100"},      {1.0 / 3, "0.333333333333333"},               {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},      {0.00001, "0.00001"},  {0.000001, "1E-6"},      {1.5e20, "1.5E20"},
        {1234.5678, "1234.5678"},
    };
    for (const auto& c : cases) EXPECT_EQ(floatToText15(c.v), c.text) << c.v;
}
