// The extra-budgetary write-off files BaixExtOrcReten and BaixExtOrcContPag: the
// payment shares of the month whose commitment has a deduction on an
// extra-budgetary revenue appropriation.
#include <gtest/gtest.h>

#include <algorithm>

#include "config/encoding.h"
#include "engine/filegenerator.h"
#include "generators/baixaextra.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

const GeneratedFile kReten{"BaixExtOrcReten", BaixExtOrcReten, 166};
const GeneratedFile kContPag{"BaixExtOrcContPag", BaixExtOrcContPag, 131};

// Expected records, written from the layouts.
std::string reten(const std::string& tipo, const std::string& date, const std::string& valor,
                  const std::string& motivo) {
    return "2" + padText("2007", 4) + padText("111201", 34) + padText(tipo, 4) + date + valor + padText(motivo, 100);
}

std::string contPag(const std::string& tipo, const std::string& date, const std::string& doc,
                    const std::string& valor) {
    return "2" + padText("2007", 4) + padText("111201", 34) + tipo + date + "0001" + "012345" + "0000123456" + sp(2) + "05" +
           padText(doc, 20) + date + valor + valor;
}

class BaixaExtraTest : public GeneratorTest {
protected:
    void SetUp() override {
        db.exec(
            "insert into CADCLI (MEXER) values ('2007');"
            "insert into CONPLA (BALCO) values ('111201');"
            "insert into DESCON values (1, '111201', '001', '1234-5', '12345-6', null);"
            // Revenue appropriations 10 and 12 are extra-budgetary, 11 is not.
            "insert into RECDIS (FICHA, EMPRESA, EXTRA) values (10, 1, 'S');"
            "insert into RECDIS (FICHA, EMPRESA, EXTRA) values (11, 1, 'N');"
            "insert into RECDIS (FICHA, EMPRESA, EXTRA) values (12, 1, 'S');"
            "commit;");
    }

    // A commitment with deductions on the given revenue appropriations.
    void commitment(const std::string& pk, std::initializer_list<int> fichas) {
        std::string s = "insert into DESPES (PKEMP, NEMPG) values ('" + pk + "', 1);";
        for (int f : fichas)
            s += "insert into DESCEMP (PKEMP, FICHA) values ('" + pk + "', " + std::to_string(f) + ");";
        db.exec(s + "commit;");
    }

    // A payment share of entity 1 from the bank account; every argument is SQL text.
    void share(const std::string& pk, const std::string& valor, const std::string& dtlan = "'2007-03-15'",
               const std::string& cheqn = "'CH 900'", const std::string& empresa = "1") {
        db.exec("insert into RATEIO_PAGAMENTO (PKEMP, NEMPG, EMPRESA, DTLAN, VALOR, CHEQN, CONTA) values ('" + pk +
                "', 1, " + empresa + ", " + dtlan + ", " + valor + ", " + cheqn + ", '12345-6'); commit;");
    }

};

}  // namespace

TEST_F(BaixaExtraTest, LayoutLengths) {
    EXPECT_EQ(kBaixExtOrcRetenLayout.recordLength(), 166);
    EXPECT_EQ(kBaixExtOrcContPagLayout.recordLength(), 131);
}

// The statements with month, year and entity inserted; the entity filter stays
// even for "00". A month without such payments gives header and trailer only.
TEST_F(BaixaExtraTest, QueriesAndEmptyMonth) {
    for (const GeneratedFile* f : {&kReten, &kContPag}) {
        SCOPED_TRACE(f->name);
        std::string expected = courtQuery(f->name);

        EXPECT_EQ(sortedLines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);

        ex->ctx.entityCode = "00";
        sortedLines(*f);
        const std::string filter = "R.EMPRESA = '01'";
        expected.replace(expected.find(filter), filter.size(), "R.EMPRESA = '00'");
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
        ex->ctx.entityCode = "01";
    }
    EXPECT_FALSE(dm.CdsLog.active() && dm.CdsLog.recordCount() > 0);
}

// A payment, an annulment (negative) and a zero share of a commitment with one
// extra-budgetary deduction; a commitment with two such deductions gives two
// records per share; a commitment whose only deduction is budgetary, other months,
// years and entities stay out. Both files hold the same count and log nothing.
TEST_F(BaixaExtraTest, PaymentsAndAnnulments) {
    commitment("E1", {10});
    commitment("E2", {11});
    commitment("E3", {10, 11, 12});
    share("E1", "100.50");
    share("E1", "-20", "'2007-03-20'", "'ESTORNO'");
    share("E1", "0", "'2007-03-21'", "null");
    // The document is cut at 20 characters, an accented one counts one per character.
    share("E3", "30", "'2007-03-31'", "'TRANSFERÊNCIA Nº 77 DO MÊS'");
    share("E2", "50");
    share("E1", "10", "'2007-04-01'");
    share("E1", "10", "'2006-03-15'");
    share("E1", "10", "'2007-03-15'", "'CH 900'", "2");

    const std::string annul = "ANULAÇÃO DO PAGAMENTO";
    std::vector<std::string> expected = {
        "1200703",
        reten("01", "20070315", "000000000010050", ""),
        reten("01", "20070331", "000000000003000", ""),
        reten("01", "20070331", "000000000003000", ""),
        reten("02", "20070320", "-00000000002000", annul),
        reten("02", "20070321", "000000000000000", annul),
        "3000005",
    };
    std::sort(expected.begin() + 1, expected.end() - 1);
    EXPECT_EQ(sortedLines(kReten), expected);

    expected = {
        "1200703",
        contPag("01", "20070315", "CH 900", "000000000010050"),
        contPag("01", "20070331", "TRANSFERÊNCIA Nº 77 ", "000000000003000"),
        contPag("01", "20070331", "TRANSFERÊNCIA Nº 77 ", "000000000003000"),
        contPag("02", "20070320", "ESTORNO", "-00000000002000"),
        contPag("02", "20070321", "", "000000000000000"),
        "3000005",
    };
    std::sort(expected.begin() + 1, expected.end() - 1);
    EXPECT_EQ(sortedLines(kContPag), expected);

    EXPECT_FALSE(dm.CdsLog.active() && dm.CdsLog.recordCount() > 0);
    ASSERT_EQ(obs.closed.size(), 2u);
}
