// The extra-budgetary write-off files BaixExtOrcReten and BaixExtOrcContPag: the
// payment shares of the month whose commitment has a deduction on an
// extra-budgetary revenue appropriation.
#include <gtest/gtest.h>

#include <algorithm>

#include "config/encoding.h"
#include "engine/filegenerator.h"
#include "generators/baixaextra.h"
#include "engine_support.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

std::string sp(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
// Pads a UTF-8 text to `width` characters and gives its Windows-1252 bytes.
std::string pad(const std::string& s, int width) {
    return utf8ToCp1252(s + sp(width - static_cast<int>(utf8Length(s))));
}

using Generator = void (*)(Exporter&, std::string_view);

struct File {
    const char* name;
    Generator run;
    const Layout* layout;
};

const File kReten{"BaixExtOrcReten", BaixExtOrcReten, &kBaixExtOrcRetenLayout};
const File kContPag{"BaixExtOrcContPag", BaixExtOrcContPag, &kBaixExtOrcContPagLayout};

// Expected records, written from the layouts.
std::string reten(const std::string& tipo, const std::string& date, const std::string& valor,
                  const std::string& motivo) {
    return "2" + pad("2007", 4) + pad("111201", 34) + pad(tipo, 4) + date + valor + pad(motivo, 100);
}

std::string contPag(const std::string& tipo, const std::string& date, const std::string& doc,
                    const std::string& valor) {
    return "2" + pad("2007", 4) + pad("111201", 34) + tipo + date + "0001" + "012345" + "0000123456" + sp(2) + "05" +
           pad(doc, 20) + date + valor + valor;
}

class BaixaExtraTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = db.installAsYear("2007");
        db.connect(dm);
        ex = std::make_unique<Exporter>(dm, obs, ini);
        ex->ctx.fiscalYear = "2007";
        ex->ctx.monthCode = "03";
        ex->ctx.monthEnd = "31";
        ex->ctx.entityCode = "01";
        ex->ctx.outputDir = out.str();
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

    // Header, detail records sorted (the query gives no order) and trailer; the
    // file must end with CR LF.
    std::vector<std::string> lines(const File& f) {
        f.run(*ex, f.name);
        const std::string bytes = readBytes(out.path() / (std::string(f.name) + ".txt"));
        std::vector<std::string> r;
        std::size_t at = 0;
        for (std::size_t end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
            r.push_back(bytes.substr(at, end - at));
        EXPECT_EQ(at, bytes.size()) << "bytes after the last CR LF";
        if (r.size() > 2) std::sort(r.begin() + 1, r.end() - 1);
        return r;
    }

    TestDatabase db;
    fs::path ini;
    TempDir out;
    DataModule dm;
    RecordingObserver obs;
    std::unique_ptr<Exporter> ex;
};

}  // namespace

TEST_F(BaixaExtraTest, LayoutLengths) {
    EXPECT_EQ(kBaixExtOrcRetenLayout.recordLength(), 166);
    EXPECT_EQ(kBaixExtOrcContPagLayout.recordLength(), 131);
}

// The statements with month, year and entity inserted; the entity filter stays
// even for "00". A month without such payments gives header and trailer only.
TEST_F(BaixaExtraTest, QueriesAndEmptyMonth) {
    const fs::path dir = fs::path(TCESE_SOURCE_DIR) / "tests" / "fixtures" / "queries";
    for (const File* f : {&kReten, &kContPag}) {
        SCOPED_TRACE(f->name);
        std::string expected = readFixture(dir / (std::string(f->name) + ".sql"));
        // The fixture opens with comment lines.
        while (expected.rfind("--", 0) == 0) expected.erase(0, expected.find('\n') + 1);
        ASSERT_FALSE(expected.empty());
        ASSERT_EQ(expected.back(), ';');
        expected.pop_back();

        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);

        ex->ctx.entityCode = "00";
        lines(*f);
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
    EXPECT_EQ(lines(kReten), expected);

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
    EXPECT_EQ(lines(kContPag), expected);

    EXPECT_FALSE(dm.CdsLog.active() && dm.CdsLog.recordCount() > 0);
    ASSERT_EQ(obs.closed.size(), 2u);
}
