// The treasury files: ledger movement (MovCont), branches (Agencia), bank accounts
// (ContaBan), the reconciliation (Concilia, ValConc) and revenue collected (ArrecRec).
#include <gtest/gtest.h>

#include <algorithm>

#include "data/datapacket.h"
#include "engine/catalogue.h"
#include "engine/filegenerator.h"
#include "engine/ret.h"
#include "generators/catalogue.h"
#include "generators/tesouraria.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace fs = std::filesystem;

namespace {

// `cp1252` text filled with blanks to `width` bytes (one byte per character).

struct File {
    const char* name;
    GeneratorFn run;
    const Layout* layout;
    int length;
};

const File kFiles[] = {
    {"MovCont", MovCont, &kMovContLayout, 77},   {"Agencia", Agencia, &kAgenciaLayout, 111},
    {"ContaBan", ContaBan, &kContaBanLayout, 125}, {"Concilia", Concilia, &kConciliaLayout, 68},
    {"ValConc", ValConc, &kValConcLayout, 190},  {"ArrecRec", ArrecRec, &kArrecRecLayout, 30},
};

const File& file(std::string_view name) {
    for (const File& f : kFiles)
        if (f.name == name) return f;
    throw std::logic_error("no file " + std::string(name));
}

void writeRevenueTable(const fs::path& path, std::initializer_list<std::pair<const char*, const char*>> rows) {
    RecordSet rs("RECEITA");
    rs.addField({"CODRE", FieldType::String, 8});
    rs.addField({"SITUACAO_ITEM", FieldType::String, 1});
    rs.createDataSet();
    for (const auto& [code, situation] : rows) {
        rs.append();
        rs.field("CODRE").setAsString(code);
        rs.field("SITUACAO_ITEM").setAsString(situation);
        rs.post();
    }
    saveDatapacket(rs, path);
}

struct Lines {
    std::string header;
    std::vector<std::string> details;  // sorted: the queries give no order
    std::string trailer;
    bool wellFormed = true;            // every line ends with CR LF
};

class TesourariaTest : public GeneratorTest {
protected:
    void SetUp() override {
        writeRevenueTable(db.dir() / "TABDEF" / "RECEITA_TCESE.XML",
                          {{"11120000", ""}, {"11200000", "N"}, {"17210102", ""}});
    }

    Lines run(const File& f, const std::string& entity = "01") {
        ex->emptyLog();
        ex->ctx.entityCode = entity;
        f.run(*ex, f.name);
        const std::string bytes = readBytes(out.path() / (std::string(f.name) + ".txt"));
        std::vector<std::string> all;
        Lines l;
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t end = bytes.find("\r\n", at);
            if (end == std::string::npos) {
                l.wellFormed = false;
                break;
            }
            all.push_back(bytes.substr(at, end - at));
            at = end + 2;
        }
        if (all.size() < 2) {
            l.wellFormed = false;
            return l;
        }
        l.header = all.front();
        l.trailer = all.back();
        l.details.assign(all.begin() + 1, all.end() - 1);
        std::sort(l.details.begin(), l.details.end());
        return l;
    }

    // Header, sorted details and trailer as expected, every record of the layout's length.
    void expectFile(const File& f, const Lines& l, std::vector<std::string> details, const std::string& header = "1200703") {
        std::sort(details.begin(), details.end());
        EXPECT_TRUE(l.wellFormed);
        EXPECT_EQ(l.header, header);
        EXPECT_EQ(l.details, details);
        const std::string count = std::to_string(details.size());
        EXPECT_EQ(l.trailer, "3" + std::string(6 - count.size(), '0') + count);
        for (const auto& d : l.details) EXPECT_EQ(d.size(), static_cast<std::size_t>(f.length)) << d;
    }

};

// A bank-account fixture for ContaBan, Concilia and ValConc. Entity 01 has one bank
// account and a cash account under 3111; entity 02 and entity 00 one account each.
void bankAccounts(const TestDatabase& db) {
    db.exec(
        "insert into CONPLA (BALCO, SEQ_TCE) values ('111201', '101');"
        "insert into CONPLA (BALCO, SEQ_TCE) values ('111202', '102');"
        "insert into CONPLA (BALCO, SEQ_TCE) values ('111203', '103');"
        "insert into CONPLA (BALCO, SEQ_TCE) values ('311101', '301');"
        "insert into DESCON (EMPRESA, BALCO, BANCO, AGENCIA, CONTA, RECUR)"
        " values (1, '111201', '001', '1234-5', '5678-9', 'MOVIMENTO SÃO JOSÉ');"
        "insert into DESCON (EMPRESA, BALCO, BANCO, AGENCIA, CONTA, RECUR)"
        " values (1, '311101', '001', '1234-5', '9999-1', 'CAIXA');"
        "insert into DESCON (EMPRESA, BALCO, BANCO, AGENCIA, CONTA, RECUR)"
        " values (2, '111202', '001', '1234-5', '4444-4', 'OUTRA ENTIDADE');"
        "insert into DESCON (EMPRESA, BALCO, BANCO, AGENCIA, CONTA, RECUR)"
        " values (0, '111203', '104', '1', '123.456-7', 'ENTIDADE ZERO');"
        // Books of 5678-9 at 31/03/2007: 1000 - 300 = 700; April is later.
        "insert into CONDIA (BALCO, DATAE, DEBIT, CREDI) values ('111201', '2007-03-01', 1000, 0);"
        "insert into CONDIA (BALCO, DATAE, DEBIT, CREDI) values ('111201', '2007-03-10', 0, 300);"
        "insert into CONDIA (BALCO, DATAE, DEBIT, CREDI) values ('111201', '2007-04-02', 500, 0);"
        "insert into CONDIA (BALCO, DATAE, DEBIT, CREDI) values ('311101', '2007-03-01', 200, 0);"
        "insert into CONDIA (BALCO, DATAE, DEBIT, CREDI) values ('111202', '2007-03-01', 100, 0);"
        "insert into CONDIA (BALCO, DATAE, DEBIT, CREDI) values ('111203', '2007-03-02', 50, 0);"
        // Pending at 31/03/2007: classes 1, 2 and 4 of 5678-9 (bank: 700 + 300 - 50 - 12.50).
        "insert into CONCILIA_PENDENCIA values ('5678-9', 1, '2007-03-10', 'CHEQUE 10', 300, NULL);"
        "insert into CONCILIA_PENDENCIA values ('5678-9', 2, '2007-03-30', 'DEPÓSITO', 50, '2007-04-01');"
        "insert into CONCILIA_PENDENCIA values ('5678-9', 4, '2007-03-31', 'TARIFA', 12.5, NULL);"
        "insert into CONCILIA_PENDENCIA values ('5678-9', 3, '2007-02-10', 'JÁ BAIXADO', 70, '2007-03-05');"
        "insert into CONCILIA_PENDENCIA values ('5678-9', 3, '2007-04-05', 'FUTURO', 9, NULL);"
        "insert into CONCILIA_PENDENCIA values ('9999-1', 1, '2007-03-05', 'CHEQUE DO CAIXA', 10, NULL);"
        "insert into CONCILIA_PENDENCIA values ('4444-4', 1, '2007-03-05', 'CHEQUE DA OUTRA', 20, NULL);"
        "insert into CONCILIA_PENDENCIA values ('123.456-7', 3, '2007-03-15', 'CRÉDITO', 5, NULL);"
        "commit;");
}

}  // namespace

TEST_F(TesourariaTest, LayoutsAndCatalogueRows) {
    for (const File& f : kFiles) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(f.layout->recordLength(), f.length);
        const auto steps = monthlyCatalogue();
        const auto it = std::find_if(steps.begin(), steps.end(), [&](const CatalogueStep& s) { return s.operation == f.name; });
        ASSERT_NE(it, steps.end());
        EXPECT_EQ(it->fileName, f.name);
        EXPECT_EQ(it->run, f.run);
        EXPECT_EQ(it->layout, f.layout);
    }
}

// The statements are the court's texts with month, year, month end and entity
// inserted; only ArrecRec drops its entity filter for "00". An empty month gives
// header and trailer.
TEST_F(TesourariaTest, QueriesAndEmptyMonth) {
    for (const File& f : kFiles) {
        SCOPED_TRACE(f.name);
        std::string expected = courtQuery(f.name);

        expectFile(f, run(f, "01"), {});
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
        ASSERT_EQ(obs.closed.size(), 1u);
        EXPECT_EQ(obs.closed.back().second.stateIndex, kStateNoRecords);
        obs.closed.clear();

        run(f, "00");
        const std::string name = f.name;
        if (name == "ArrecRec") {
            const std::string filter = " AND B.EMPRESA = '01'";
            expected.erase(expected.find(filter), filter.size());
        } else if (name == "ContaBan" || name == "Concilia" || name == "ValConc") {
            const std::string filter = "EMPRESA = '01'";
            expected.replace(expected.find(filter), filter.size(), "EMPRESA = '00'");
        }
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
        obs.closed.clear();
    }
    EXPECT_TRUE(entries().empty());
}

// Month totals per account of every entity; entries of other months and years, of
// accounts outside the chart and without account stay out.
TEST_F(TesourariaTest, MovContTotalsPerAccount) {
    db.exec(
        "insert into CONPLA (BALCO, SEQ_TCE) values ('111201', '101');"
        "insert into CONPLA (BALCO, SEQ_TCE) values ('111202', '102');"
        "insert into CONPLA (BALCO, SEQ_TCE) values ('211101', null);"
        "insert into CONDIA values ('111201', '2007-03-01', 1000, 0);"
        "insert into CONDIA values ('111201', '2007-03-10', 0, 300.25);"
        "insert into CONDIA values ('111201', '2007-04-02', 500, 0);"
        "insert into CONDIA values ('111201', '2006-03-05', 70, 0);"
        "insert into CONDIA values ('111202', '2007-03-05', -12.3, 0);"   // a reversal
        "insert into CONDIA values ('211101', '2007-03-20', null, 50);"   // credits only
        "insert into CONDIA values ('999999', '2007-03-01', 10, 10);"
        "insert into CONDIA values (null, '2007-03-01', 10, 10);"
        "commit;");
    const File& f = file("MovCont");
    const std::string tail = "2007" "03";
    const std::vector<std::string> details = {
        "2" "2007" + pad("111201", 34) + "02" + "000000000100000" + "000000000030025" + tail,
        "2" "2007" + pad("111202", 34) + "02" + "-00000000001230" + "000000000000000" + tail,
        // No debit at all in the month: zero, not a missing number.
        "2" "2007" + pad("211101", 34) + "02" + "000000000000000" + "000000000005000" + tail,
    };
    for (const char* entity : {"01", "00", "07"}) {
        SCOPED_TRACE(entity);
        expectFile(f, run(f, entity), details);
    }
    EXPECT_TRUE(entries().empty());
}

TEST_F(TesourariaTest, AgenciaListsEveryBranchButBank000) {
    db.exec(
        "insert into AGENCIA values ('001', '1234-5', 'CENTRO');"
        "insert into AGENCIA values ('000', '0000-0', 'SEM BANCO');"
        "insert into AGENCIA values ('104', '77', 'AGÊNCIA SÃO JOSÉ');"
        "commit;");
    const File& f = file("Agencia");
    expectFile(f, run(f),
               {
                   "2" "001 " "012345" + pad("CENTRO", 100),
                   "2" "104 " "000077" + pad("AG\xCANCIA S\xC3O JOS\xC9", 100),
               });
    EXPECT_TRUE(entries().empty());
    EXPECT_EQ(obs.closed.back().second.stateIndex, kStateSuccess);
}

// Each blank field is logged, in field order, and the record is written anyway.
TEST_F(TesourariaTest, AgenciaChecks) {
    const std::string banco = "AGENCIA.TXT|ERRO|2|CÓDIGO DO BANCO NÃO PODE FICAR EM BRANCO|";
    const std::string agencia = "AGENCIA.TXT|ERRO|2|CÓDIGO DA AGÊNCIA NÃO PODE FICAR EM BRANCO|";
    const std::string nome = "AGENCIA.TXT|ERRO|2|DESCRIÇÃO DA AGÊNCIA NÃO PODE FICAR EM BRANCO|";
    struct Case {
        const char* values;
        std::string record;
        std::vector<std::string> log;
    } cases[] = {
        {"' ', '1234-5', 'CENTRO'", "2" "    " "012345" + pad("CENTRO", 100),
         {banco + "MÓDULO CONTAS - (AGENCIA Nº 1234-5) !"}},
        {"'104', null, ' \t'", "2" "104 " "000000" + pad(" \t", 100),
         {agencia + "MÓDULO CONTAS - (AGENCIA Nº ) !", nome + "MÓDULO CONTAS - (AGENCIA Nº ) !"}},
        {"'', ' ', null", "2" "    " "000000" + pad("", 100),
         {banco + "MÓDULO CONTAS - (AGENCIA Nº  ) !", agencia + "MÓDULO CONTAS - (AGENCIA Nº  ) !",
          nome + "MÓDULO CONTAS - (AGENCIA Nº  ) !"}},
    };
    const File& f = file("Agencia");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values);
        db.exec("delete from AGENCIA; insert into AGENCIA values (" + std::string(c.values) + "); commit;");
        obs.closed.clear();
        expectFile(f, run(f), {c.record});
        EXPECT_EQ(entries(), c.log);
        ASSERT_EQ(obs.closed.size(), 1u);
        EXPECT_EQ(obs.closed[0].second.stateIndex, kStateWithErrors);
    }
}

// Accounts of the run's entity only ("00" included), never those under 3111; the
// check digit is what follows the account's first separator.
TEST_F(TesourariaTest, ContaBanAccountsOfTheEntity) {
    bankAccounts(db);
    const File& f = file("ContaBan");
    expectFile(f, run(f, "01"), {"2" "001 " "012345" "0000056789" "9 " "01" + pad("MOVIMENTO S\xC3O JOS\xC9", 100)});
    expectFile(f, run(f, "02"), {"2" "001 " "012345" "0000044444" "4 " "01" + pad("OUTRA ENTIDADE", 100)});
    expectFile(f, run(f, "00"), {"2" "104 " "000001" "0001234567" "45" "01" + pad("ENTIDADE ZERO", 100)});
    EXPECT_TRUE(entries().empty());
}

TEST_F(TesourariaTest, ContaBanChecks) {
    const auto e = [](const char* descricao, const std::string& conta) {
        return "CONTABAN.TXT|ERRO|2|" + std::string(descricao) + "|MÓDULO CONTAS - (CONTA Nº " + conta + ") !";
    };
    struct Case {
        const char* values;  // BANCO, AGENCIA, CONTA, RECUR
        std::string record;
        std::vector<std::string> log;
    } cases[] = {
        {"' ', '', '12345-6', 'MOVIMENTO'", "2" "    " "000000" "0000123456" "6 " "01" + pad("MOVIMENTO", 100),
         {e("CÓDIGO DO BANCO NÃO PODE FICAR EM BRANCO", "12345-6"),
          e("CÓDIGO DA AGENCIA NÃO PODE FICAR EM BRANCO", "12345-6")}},
        {"'001', '1', null, null", "2" "001 " "000001" "0000000000" "00" "01" + pad("", 100),
         {e("NÚMERO DA CONTA NÃO PODE FICAR EM BRANCO", ""), e("NOME DA CONTA NÃO PODE FICAR EM BRANCO", "")}},
    };
    const File& f = file("ContaBan");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values);
        db.exec("delete from DESCON; insert into DESCON (EMPRESA, BALCO, BANCO, AGENCIA, CONTA, RECUR) values (1, "
                "'111201', " + std::string(c.values) + "); commit;");
        expectFile(f, run(f), {c.record});
        EXPECT_EQ(entries(), c.log);
    }
}

// The bank balance of each account at the month's end, and the reconciling items of
// classes 1 to 4 (class 0, the books' balance, and 5, the bank's, stay out); nothing
// of accounts under 3111 nor of other entities.
TEST_F(TesourariaTest, ConciliaAndValConc) {
    bankAccounts(db);
    const File& concilia = file("Concilia");
    const File& valConc = file("ValConc");
    const std::string tail = "2007" "03";
    const std::string conta = "2" "2007" + pad("111201", 34);
    expectFile(concilia, run(concilia, "01"), {conta + "20070331" + "000000000093750" + tail});
    expectFile(valConc, run(valConc, "01"),
               {
                   conta + "02" + pad("5678-9-CHEQUE 10", 120) + "20070331" + "000000000030000" + tail,
                   conta + "05" + pad("5678-9-DEP\xD3SITO", 120) + "20070331" + "000000000005000" + tail,
                   conta + "03" + pad("5678-9-TARIFA", 120) + "20070331" + "000000000001250" + tail,
               });

    const std::string zero = "2" "2007" + pad("111203", 34);
    expectFile(concilia, run(concilia, "00"), {zero + "20070331" + "000000000005500" + tail});
    expectFile(valConc, run(valConc, "00"),
               {zero + "04" + pad("123.456-7-CR\xC9" "DITO", 120) + "20070331" + "000000000000500" + tail});
    EXPECT_TRUE(entries().empty());
}

// The reconciliation date is the last day of the month, February by the leap year.
TEST_F(TesourariaTest, ReconciliationDate) {
    bankAccounts(db);
    struct Case {
        const char* year;
        const char* month;
        const char* text;
        const char* field;
    } cases[] = {
        {"2008", "03", "31.03.2008", "20080331"},
        {"2008", "02", "29.02.2008", "20080229"},
        {"2007", "02", "28.02.2007", "20070228"},
        {"2007", "04", "30.04.2007", "20070430"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ex->ctx.fiscalYear = c.year;
        ex->ctx.monthCode = c.month;
        ex->ctx.monthEnd = PegaDia(ex->ctx, c.month);
        EXPECT_EQ(reconciliationDate(ex->ctx), c.text);
        const std::string header = std::string("1") + c.year + c.month;
        for (const char* name : {"Concilia", "ValConc"}) {
            const Lines l = run(file(name));
            EXPECT_NE(dm.CdsGeral.source().sql.find(std::string("CONCILIA('") + c.text + "')"), std::string::npos);
            EXPECT_EQ(l.header, header);
            ASSERT_FALSE(l.details.empty()) << name;
            const std::size_t at = std::string_view(name) == "Concilia" ? 1 + 4 + 34 : 1 + 4 + 34 + 2 + 120;
            for (const auto& d : l.details) EXPECT_EQ(d.substr(at, 8), c.field) << name;
        }
    }
}

// One record per revenue code and day received, for revenue posted in the month;
// year and month come from the day received, the code (nnnn.nn.nn locally) is the
// court's.
TEST_F(TesourariaTest, ArrecRecPerCodeAndDayReceived) {
    db.exec(
        "insert into RECDIS (FICHA, EMPRESA, CODRE) values (1, 1, '1112.02.00');"
        "insert into RECDIS (FICHA, EMPRESA, CODRE) values (2, 1, '1121.01.00');"
        "insert into RECDIS (FICHA, EMPRESA, CODRE) values (3, 2, '1721.01.02');"
        "insert into RECDIS (FICHA, EMPRESA, CODRE) values (4, 1, '1999.99.99');"
        "insert into RECEIT (FICHA, DTREC, DTLAN, VAREC) values (1, '2007-03-05', '2007-03-06', 100.50);"
        "insert into RECEIT (FICHA, DTREC, DTLAN, VAREC) values (1, '2007-03-05', '2007-03-07', 20);"
        "insert into RECEIT (FICHA, DTREC, DTLAN, VAREC) values (1, '2007-02-28', '2007-03-01', 10);"
        "insert into RECEIT (FICHA, DTREC, DTLAN, VAREC) values (2, '2007-03-10', '2007-03-10', 300);"
        "insert into RECEIT (FICHA, DTREC, DTLAN, VAREC) values (2, '2006-12-31', '2007-03-02', 7.5);"
        "insert into RECEIT (FICHA, DTREC, DTLAN, VAREC) values (3, '2007-03-10', '2007-03-10', 55.55);"
        "insert into RECEIT (FICHA, DTREC, DTLAN, VAREC) values (4, '2007-03-15', '2007-03-15', -5);"
        "insert into RECEIT (FICHA, DTREC, DTLAN, VAREC) values (4, '2007-04-01', '2007-04-01', 999);"
        "insert into RECEIT (FICHA, DTREC, DTLAN, VAREC) values (1, '2007-03-05', '2006-03-05', 1);"
        "commit;");
    const File& f = file("ArrecRec");
    std::vector<std::string> details = {
        "2" "2007" "11120000" + pad("120.5", 15) + "03",  // two postings of one day received
        "2" "2007" "11120000" + pad("10", 15) + "02",     // received in February
        "2" "2007" "11210100" + pad("300", 15) + "03",    // its zeroed match is marked "N"
        "2" "2006" "11210100" + pad("7.5", 15) + "12",
        "2" "2007" "19999999" + pad("-5", 15) + "03",     // no court code: the local digits
    };
    expectFile(f, run(f, "01"), details);
    details.push_back("2" "2007" "17210102" + pad("55.55", 15) + "03");
    expectFile(f, run(f, "00"), details);
    EXPECT_TRUE(entries().empty());
}

TEST_F(TesourariaTest, ArrecRecWithoutRevenueTableStopsNamingIt) {
    db.exec(
        "insert into RECDIS (FICHA, EMPRESA, CODRE) values (1, 1, '1112.02.00');"
        "insert into RECEIT (FICHA, DTREC, DTLAN, VAREC) values (1, '2007-03-05', '2007-03-06', 100.50);"
        "commit;");
    fs::remove(db.dir() / "TABDEF" / "RECEITA_TCESE.XML");
    try {
        ArrecRec(*ex, "ArrecRec");
        ADD_FAILURE() << "no error";
    } catch (const GenerationError& e) {
        const std::string msg = e.what();
        for (const char* part : {"ArrecRec.txt", "linha 2", "RECEITA_TCESE.XML"})
            EXPECT_NE(msg.find(part), std::string::npos) << part << " not in: " << msg;
    }
    EXPECT_EQ(readBytes(out.path() / "ArrecRec.txt"), "1200703\r\n");
}
