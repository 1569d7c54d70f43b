// CPF and CNPJ check digits.
#include <gtest/gtest.h>

#include "engine/documentos.h"

using namespace tcese;

namespace {

struct Case {
    const char* text;
    bool valid;
};

}  // namespace

TEST(Documentos, CpfCheck) {
    const Case cases[] = {
        {"11144477735", true},
        {"111.444.777-35", true},
        {" 111 444 777_35 ", true},   // blanks and underscores of an edit mask
        {"111/444/777-35", true},
        {"123.456.789-09", true},     // first check digit: remainder 10 gives 0
        {"100.000.028-10", true},     // second check digit: remainder 10 gives 0
        {"111.111.111-11", true},     // all digits equal is not rejected
        {"000.000.000-00", true},
        {"", true},                   // no digits: emptiness is checked apart
        {"     ", true},
        {".-/_", true},
        {"111.444.777-45", false},    // first check digit wrong
        {"111.444.777-36", false},    // second check digit wrong
        {"123.456.789-19", false},
        {"1114447773", false},        // 10 digits
        {"111444777350", false},      // 12 digits
        {"11.222.333/0001-81", false},  // a valid CNPJ is not a CPF
        {"111.444.777-3A", false},    // a letter
        {"ABC", false},
        {"111,444,777-35", false},    // a comma is not punctuation here
        {"111.444.777-35\t", false},  // nor is a control character
        {"111.444.777-3\xC3\xA9", false},
    };
    for (const Case& c : cases) EXPECT_EQ(cpfValido(c.text), c.valid) << '"' << c.text << '"';
}

TEST(Documentos, CnpjCheck) {
    const Case cases[] = {
        {"11222333000181", true},
        {"11.222.333/0001-81", true},
        {"11 222 333 0001_81", true},
        {"10.000.017/0001-00", true},   // first check digit: remainder 10 gives 0
        {"11.000.000/0001-08", true},   // remainder 0
        {"00.000.000/0000-00", true},   // all digits equal is not rejected
        {"", true},
        {"   ", true},
        {"11.222.333/0001-91", false},  // first check digit wrong
        {"11.222.333/0001-82", false},  // second check digit wrong
        {"11111111111111", false},      // all equal, but wrong check digits
        {"1122233300018", false},       // 13 digits
        {"112223330001810", false},     // 15 digits
        {"111.444.777-35", false},      // a valid CPF is not a CNPJ
        {"11.222.333/0001-8X", false},
        {"CNPJ 11.222.333/0001-81", false},
    };
    for (const Case& c : cases) EXPECT_EQ(cnpjValido(c.text), c.valid) << '"' << c.text << '"';
}
