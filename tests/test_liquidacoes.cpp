// The liquidation files NotaLiq, Nota, Folha, Diaria, Bilhete and EstLiqPg from
// VIEWLIQ (DESLIQ), DESPES and the supporting-document tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/filegenerator.h"
#include "engine/values.h"
#include "generators/liquidacoes.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

std::string resolver(const std::string& empenho) { return "MÓDULO CONTAS - (EMPENHO Nº " + empenho + ") !"; }

using Generator = void (*)(Exporter&, std::string_view);

struct File : GeneratedFile {
    const char* entityAlias;  // of the entity filter; none in EstLiqPg's main query
};

const File kNotaLiq{{"NotaLiq", NotaLiq, 66}, "C"};
const File kNota{{"Nota", Nota, 462}, "C"};
const File kFolha{{"Folha", Folha, 423}, "B"};
const File kDiaria{{"Diaria", Diaria, 586}, "E"};
const File kBilhete{{"Bilhete", Bilhete, 666}, "E"};
const File kEstLiqPg{{"EstLiqPg", EstLiqPg, 316}, nullptr};

// One commitment; every member is SQL text.
struct Emp {
    std::string pk;
    std::string datae = "'2007-03-01'";
    std::string nempg = "10";
    std::string ficha = "2";
    std::string codif = "1";
    std::string proc = "'0010/2007'";
    std::string produ = "'SERVICOS'";
};

// Travel data of a commitment (DESPESAD); SQL text.
struct Travel {
    std::string numbilh = "null";
    std::string valorbilh = "null";
    std::string databilh = "null";
    std::string destino = "'ARACAJU'";
    std::string motivo = "'REUNIAO'";
    std::string datasai = "'2007-03-05'";
    std::string datache = "'2007-03-07'";
    std::string matricula = "null";
    std::string nomeserv = "null";
    std::string cnpjemi = "null";
};

class LiquidacoesTest : public GeneratorTest {
protected:
    // Runs the generator once the pending rows are in the database.
    std::vector<std::string> lines(const File& f) {
        if (!script.empty()) {
            db.exec(script + "commit;");
            script.clear();
        }
        return GeneratorTest::lines(f);
    }

    void SetUp() override {
        // FICHA, EMPRESA, CATEC, EXTRA, BALCO.
        for (const char* d : {"1, 1, '3.1.90.11', 'N', '3311'",     // personnel
                              "2, 1, '3.3.90.14', 'N', '3319'",     // other current expenses
                              "3, 1, '3.3.90.39', 'S', '32360101'",  // extra-budgetary retention
                              "4, 1, '3.3.90.39', 'N', '32370001'",
                              "5, 1, '3.3.90.39', 'N', '32360101'",
                              "6, 2, '3.3.90.39', 'N', '3319'",     // another entity
                              "7, 2, '3.1.90.11', 'N', '3311'"}) {
            seed("insert into DESDIS (FICHA, EMPRESA, CATEC, EXTRA, BALCO) values (" + std::string(d) + ");");
        }
        seed("insert into DESFOR (CODIF, CODTIP, INSMF) values (1, '02', '123.456.789-09');");
        seed("insert into DESFOR (CODIF, CODTIP, INSMF) values (2, '01', '11.222.333/0001-81');");
        seed("insert into DESFOR (CODIF, CODTIP, INSMF) values (3, '09', null);");
    }

    void seed(const std::string& sql) { script += sql + "\n"; }
    void commitment(const Emp& e) {
        seed("insert into DESPES (PKEMP, DATAE, NEMPG, FICHA, CODIF, PROC, PRODU) values ('" + e.pk + "', " +
             e.datae + ", " + e.nempg + ", " + e.ficha + ", " + e.codif + ", " + e.proc + ", " + e.produ + ");");
    }
    void liquidation(const std::string& pk, const std::string& numsub, const std::string& date,
                     const std::string& amount) {
        seed("insert into DESLIQ (PKEMP, NUMSUB, DATAE, VADEM) values ('" + pk + "', " + numsub + ", '" + date +
             "', " + amount + ");");
    }
    void document(const std::string& pk, const std::string& doc) {
        seed("insert into DESSUB (PKEMP, DOC) values ('" + pk + "', '" + doc + "');");
    }
    void allowance(const std::string& pk, const std::string& total) {
        seed("insert into DESPESADDOC (PKEMP, TOTAL) values ('" + pk + "', " + total + ");");
    }
    void travel(const std::string& pk, const Travel& t) {
        seed("insert into DESPESAD (PKEMP, NUMBILH, VALORBILH, DATABILH, DESTINO, MOTIVO, DATASAI, DATACHE, "
             "MATRICULA, NOMESERV, CNPJEMI) values ('" + pk + "', " + t.numbilh + ", " + t.valorbilh + ", " +
             t.databilh + ", " + t.destino + ", " + t.motivo + ", " + t.datasai + ", " + t.datache + ", " +
             t.matricula + ", " + t.nomeserv + ", " + t.cnpjemi + ");");
    }

    // The detail records, sorted: the order of DISTINCT and UNION is the server's.
    std::vector<std::string> details(const File& f) {
        std::vector<std::string> all = lines(f);
        EXPECT_GE(all.size(), 2u);
        if (all.size() < 2) return {};
        std::vector<std::string> r(all.begin() + 1, all.end() - 1);
        for (const std::string& rec : r) EXPECT_EQ(static_cast<int>(rec.size()), f.length) << rec;
        EXPECT_EQ(all.back(), "3" + std::string(6 - std::to_string(r.size()).size(), '0') + std::to_string(r.size()));
        std::sort(r.begin(), r.end());
        return r;
    }

    // "Cancela&r" pressed once the file holds its first detail record. Every pump
    // waits out the throttle so that the next one reaches the observer.
    void cancelAfterFirstRecord(const File& f) {
        obs.onEvents = [this, f] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            if (!ex->ctx.cancelRequested && ex->fileOpen() && fileLines(f.name).size() == 2) ex->cancel();
        };
    }
    std::string script;
};

std::string entry(const std::string& file, int line, const std::string& descricao, const std::string& empenho) {
    return file + "|ERRO|" + std::to_string(line) + "|" + descricao + "|" + resolver(empenho);
}

}  // namespace

TEST_F(LiquidacoesTest, LayoutLengths) {
    EXPECT_EQ(kNotaLiqLayout.recordLength(), 66);
    EXPECT_EQ(kNotaLayout.recordLength(), 462);
    EXPECT_EQ(kFolhaLayout.recordLength(), 423);
    EXPECT_EQ(kDiariaLayout.recordLength(), 586);
    EXPECT_EQ(kBilheteLayout.recordLength(), 666);
    EXPECT_EQ(kEstLiqPgLayout.recordLength(), 316);
}

// The statements are the court's texts with month, year and entity inserted; "00"
// drops the entity filter. The per-row statements of Diaria and EstLiqPg name the
// commitment key 1.
TEST_F(LiquidacoesTest, QueriesAndEmptyMonth) {
    for (const File* f : {&kNotaLiq, &kNota, &kFolha, &kDiaria, &kBilhete, &kEstLiqPg}) {
        SCOPED_TRACE(f->name);
        std::string expected = courtQuery(f->name);
        ex->ctx.entityCode = "01";
        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);

        ex->ctx.entityCode = "00";
        lines(*f);
        if (f->entityAlias) {
            const std::string filter = " AND " + std::string(f->entityAlias) + ".EMPRESA = '01'";
            ASSERT_NE(expected.find(filter), std::string::npos);
            expected.erase(expected.find(filter), filter.size());
        }
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
    }

    // A payroll commitment with allowance documents and a reversed liquidation.
    ex->ctx.entityCode = "01";
    commitment({.pk = "1", .ficha = "1"});
    allowance("1", "10");
    liquidation("1", "'1'", "2007-03-10", "10");
    liquidation("1", "'2'", "2007-03-11", "-10");
    EXPECT_EQ(lines(kDiaria).size(), 3u);
    EXPECT_EQ(dm.CdsAux.source().sql, asParameter(courtQuery("Diaria_2"), "PKEMP = 1", "PKEMP = CAST(? AS BIGINT)"));
    EXPECT_EQ(lines(kEstLiqPg).size(), 4u);  // as a payroll and as an allowance commitment
    EXPECT_EQ(dm.CdsAux.source().sql, asParameter(courtQuery("EstLiqPg_2"), "'1'"));
}

// The first condition that holds gives the document type; a commitment without
// supporting documents is left out; DISTINCT gives one record per type found.
TEST_F(LiquidacoesTest, NotaLiqDocumentTypes) {
    struct Case {
        const char* what;
        const char* ficha;
        std::vector<std::string> docs;
        int allowanceDocs;
        const char* numbilh;  // SQL text; nullptr: no travel row
        std::vector<std::string> types;
    };
    const Case cases[] = {
        {"personnel, whatever its documents", "1", {"NOTA FISCAL 1", "RECIBO 3"}, 1, "'T1'", {"01"}},
        {"receipt before allowance", "2", {"RECIBO 12"}, 2, nullptr, {"02"}},
        {"allowance without travel row", "2", {"DIARIAS"}, 1, nullptr, {"03"}},
        {"allowance with an empty ticket number", "2", {"DIARIAS"}, 1, "''", {"03"}},
        {"empty ticket number without allowance documents", "2", {"PASSAGEM"}, 0, "''", {"04"}},
        {"ticket", "2", {"PASSAGEM"}, 1, "'B-77'", {"04"}},
        {"invoice", "2", {"CONFORME NOTA FISCAL 55"}, 0, nullptr, {"05"}},
        {"extra-budgetary 3236", "3", {"GUIA"}, 0, nullptr, {"06"}},
        {"3237 on a budgetary appropriation", "4", {"GUIA"}, 0, nullptr, {"06"}},
        {"3236 on a budgetary appropriation", "5", {"GUIA"}, 0, nullptr, {"99"}},
        {"receipt and invoice", "2", {"RECIBO 1", "NOTA FISCAL 2"}, 0, nullptr, {"02", "05"}},
        {"no supporting document", "2", {}, 0, nullptr, {}},
        {"another entity", "6", {"NOTA FISCAL 9"}, 0, nullptr, {}},
    };
    int n = 0;
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        const std::string pk = "L" + std::to_string(++n);
        const std::string nempg = std::to_string(100 + n);
        commitment({.pk = pk, .nempg = nempg, .ficha = c.ficha});
        liquidation(pk, "'5'", "2007-03-20", "10");
        for (const std::string& d : c.docs) document(pk, d);
        for (int i = 0; i < c.allowanceDocs; ++i) allowance(pk, "1");
        if (c.numbilh) travel(pk, {.numbilh = c.numbilh});
        for (const std::string& t : c.types) expected.push_back(nempg + " " + t + " " + c.what);
    }
    // Reversals and liquidations of other months are not listed.
    commitment({.pk = "X1", .nempg = "201"});
    document("X1", "NOTA FISCAL 3");
    liquidation("X1", "'5'", "2007-03-20", "-10");
    liquidation("X1", "'6'", "2007-04-02", "10");
    liquidation("X1", "'7'", "2006-03-02", "10");

    std::vector<std::string> got;
    for (const std::string& rec : details(kNotaLiq)) {
        const int nempg = std::stoi(rec.substr(5, 16));
        const std::string type = rec.substr(21, 2);
        std::string what = "?";
        if (nempg > 100 && nempg <= 100 + n) what = cases[nempg - 101].what;
        got.push_back(std::to_string(nempg) + " " + type + " " + what);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(entries().empty());
}

TEST_F(LiquidacoesTest, NotaLiqRecordsAndChecks) {
    commitment({.pk = "1", .datae = "'2006-12-20'", .nempg = "15", .ficha = "1"});
    document("1", "FOLHA");
    liquidation("1", "'0012'", "2007-03-20", "1500.5");
    commitment({.pk = "2", .nempg = "16"});
    document("2", "NOTA FISCAL 1");
    liquidation("2", "'0'", "2007-03-21", "0.05");  // process 0 goes out as 1
    commitment({.pk = "3", .nempg = "17"});
    document("3", "NOTA FISCAL 2");
    liquidation("3", "'00'", "2007-03-22", "7");  // only "0" itself is replaced
    commitment({.pk = "4", .nempg = "null"});
    document("4", "RECIBO");
    liquidation("4", "null", "2007-03-23", "8");

    const std::vector<std::string> file = lines(kNotaLiq);
    ASSERT_EQ(file.size(), 6u);
    std::vector<std::string> recs(file.begin() + 1, file.end() - 1);
    std::sort(recs.begin(), recs.end());
    EXPECT_EQ(recs, (std::vector<std::string>{
                        "2" "2006" "0000000000000015" "01" "0012" + sp(16) + "20070320" "000000000150050",
                        "2" "2007" + zeros(16) + "02" + sp(20) + "20070323" "000000000000800",
                        "2" "2007" "0000000000000016" "05" "1" + sp(19) + "20070321" "000000000000005",
                        "2" "2007" "0000000000000017" "05" "00" + sp(18) + "20070322" "000000000000700",
                    }));
    EXPECT_EQ(file.back(), "3000004");

    // The commitment without number: its line is where the file put it.
    int line = 0;
    for (std::size_t i = 1; i + 1 < file.size(); ++i)
        if (file[i].substr(5, 16) == zeros(16)) line = static_cast<int>(i) + 1;
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("NOTALIQ.TXT", line, "EMPENHO NÃO PODE FICAR EM BRANCO", ""),
                             entry("NOTALIQ.TXT", line, "PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO", ""),
                         }));
}

TEST_F(LiquidacoesTest, NotaRecordsAndChecks) {
    commitment({.pk = "1", .datae = "'2007-02-20'", .nempg = "50", .codif = "2", .proc = "'0099/2007'",
                .produ = "'AQUISIÇÃO DE' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'MATERIAL'"});
    seed("insert into NOTA (PKEMP, NOTA, SERIE, DTLAN, VALOR) values ('1', '001.234', '1', '2007-03-15', 1234.56);");
    // Not this month, or no amount.
    seed("insert into NOTA (PKEMP, NOTA, SERIE, DTLAN, VALOR) values ('1', '9', '1', '2007-04-15', 10);");
    seed("insert into NOTA (PKEMP, NOTA, SERIE, DTLAN, VALOR) values ('1', '8', '1', '2007-03-15', 0);");

    const std::string record = "2"
                               "2007"
                               "0000000000000050"
                               "05"
                               "0099/2007" + sp(11) +
                               "0000001234"       // NOTA
                               "1 "               // SERIE
                               "SE"
                               "20070315"
                               "000000000123456"
                               + sp(8) +          // DT_VALIDADE
                               "AQUISI\xC7\xC3O DE  MATERIAL" + sp(228) +
                               "2"                // TIPO_PESSOA: a company
                               "11222333000181"
                               + sp(8) + sp(50) + sp(50) + "0";
    ASSERT_EQ(record.size(), 462u);
    EXPECT_EQ(lines(kNota), (std::vector<std::string>{"1200703", record, "3000001"}));
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("NOTA.TXT", 2, "DATA DE VALIDADE NÃO PODE FICAR EM BRANCO", "50"),
                         }));
}

TEST_F(LiquidacoesTest, NotaPersonTypeAndChecksInOrder) {
    struct Case {
        const char* codif;
        const char* tipo;
    };
    // A person (02) and any other type are "1", a company (01) "2".
    for (const Case& c : {Case{"1", "1"}, Case{"2", "2"}, Case{"3", "1"}}) {
        SCOPED_TRACE(c.codif);
        db.exec("delete from NOTA; delete from DESPES; commit;");
        dm.CdsLog.close();
        commitment({.pk = "1", .codif = c.codif});
        seed("insert into NOTA (PKEMP, NOTA, SERIE, DTLAN, VALOR) values ('1', '7', 'A', '2007-03-15', 1);");
        const std::vector<std::string> file = lines(kNota);
        ASSERT_EQ(file.size(), 3u);
        EXPECT_EQ(file[1].substr(1 + 4 + 16 + 2 + 20 + 10 + 2 + 2 + 8 + 15 + 8 + 250, 1), c.tipo);
    }

    db.exec("delete from NOTA; delete from DESPES; commit;");
    dm.CdsLog.close();
    commitment({.pk = "1", .datae = "null", .nempg = "null", .codif = "3", .proc = "'  '", .produ = "null"});
    seed("insert into NOTA (PKEMP, NOTA, SERIE, DTLAN, VALOR) values ('1', null, ' ', '2007-03-15', 1);");
    const std::vector<std::string> file = lines(kNota);
    ASSERT_EQ(file.size(), 3u);
    EXPECT_EQ(file[1].substr(0, 1 + 4 + 16 + 2 + 20 + 10 + 2), "2" + sp(4) + zeros(16) + "05" + sp(20) + zeros(10) + sp(2));
    std::vector<std::string> expected;
    for (const char* d : {"ANO DO EMPENHO NÃO PODE FICAR EM BRANCO", "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO",
                          "NÚMERO DO PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO",
                          "NÚMERO DA NOTA NÃO PODE FICAR EM BRANCO", "NÚMERO DA SÉRIE NÃO PODE FICAR EM BRANCO",
                          "DATA DE VALIDADE NÃO PODE FICAR EM BRANCO",
                          "CPF/CNPJ DO EMITENTE DA NOTA NÃO PODE FICAR EM BRANCO"}) {
        expected.push_back(entry("NOTA.TXT", 2, d, ""));
    }
    EXPECT_EQ(entries(), expected);
}

TEST_F(LiquidacoesTest, FolhaRecord) {
    commitment({.pk = "1", .nempg = "20", .ficha = "1",
                .produ = "'FOLHA DE FEVEREIRO' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'SECRETARIA'"});
    liquidation("1", "'0040'", "2007-03-05", "25000");
    liquidation("1", "'0041'", "2007-03-06", "-100");  // a reversal is not a payroll
    commitment({.pk = "2", .nempg = "21", .ficha = "2"});
    liquidation("2", "'0042'", "2007-03-05", "300");  // not personnel
    commitment({.pk = "3", .nempg = "22", .ficha = "7"});
    liquidation("3", "'0043'", "2007-03-05", "300");  // another entity

    const std::string record = "2"
                               "2007"
                               "0000000000000020"
                               "01"
                               "0040" + sp(16) +
                               "000000002500000"
                               "2007"
                               "02"
                               "FOLHA DE FEVEREIRO  SECRETARIA" + sp(220) +
                               sp(8) + sp(50) + sp(50) + "0";
    ASSERT_EQ(record.size(), 423u);
    EXPECT_EQ(lines(kFolha), (std::vector<std::string>{"1200703", record, "3000001"}));
    EXPECT_TRUE(entries().empty());
}

// The reference period is the month before the liquidation.
TEST_F(LiquidacoesTest, FolhaReferencePeriod) {
    struct Case {
        const char* year;
        const char* month;
        const char* date;
        const char* period;  // ANO_REF + MES_REF
    };
    const Case cases[] = {
        {"2008", "01", "2008-01-10", "200712"},
        {"2007", "02", "2007-02-28", "200701"},
        {"2007", "03", "2007-03-31", "200702"},
        {"2007", "12", "2007-12-01", "200711"},
    };
    commitment({.pk = "1", .ficha = "1"});
    for (const Case& c : cases) liquidation("1", "'1'", c.date, "10");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        ex->ctx.fiscalYear = c.year;
        ex->ctx.monthCode = c.month;
        const std::vector<std::string> recs = details(kFolha);
        ASSERT_EQ(recs.size(), 1u);
        EXPECT_EQ(recs[0].substr(1 + 4 + 16 + 2 + 20 + 15, 6), c.period);
    }
}

TEST_F(LiquidacoesTest, FolhaChecks) {
    commitment({.pk = "1", .datae = "null", .nempg = "null", .ficha = "1", .produ = "' '"});
    liquidation("1", "null", "2007-03-05", "10");
    const std::vector<std::string> recs = details(kFolha);
    ASSERT_EQ(recs.size(), 1u);
    std::vector<std::string> expected;
    for (const char* d : {"ANO DO EMPENHO NÃO PODE FICAR EM BRANCO", "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO",
                          "NÚMERO DO PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO",
                          "DESCRIÇÃO NÃO PODE FICAR EM BRANCO"}) {
        expected.push_back(entry("FOLHA.TXT", 2, d, ""));
    }
    EXPECT_EQ(entries(), expected);
}

TEST_F(LiquidacoesTest, DiariaRecord) {
    commitment({.pk = "D1", .datae = "'2007-03-03'", .nempg = "30", .proc = "'0077/2007'"});
    travel("D1", {.destino = "'ARACAJU'", .motivo = "'REUNIÃO NA' || ASCII_CHAR(10) || 'SECRETARIA'"});
    for (const char* total : {"100", "50.50", "30"}) allowance("D1", total);
    liquidation("D1", "'1'", "2007-03-10", "180.50");
    // A ticket commitment, and an empty ticket number without allowance documents.
    commitment({.pk = "D2", .nempg = "31"});
    travel("D2", {.numbilh = "'T1'"});
    allowance("D2", "10");
    liquidation("D2", "'1'", "2007-03-10", "10");
    commitment({.pk = "D3", .nempg = "32"});
    travel("D3", {.numbilh = "''"});
    liquidation("D3", "'1'", "2007-03-10", "10");

    const std::string record = "2"
                               "2007"
                               "0000000000000030"
                               "03"
                               "0077/2007" + sp(11) +
                               "000000000018050"  // the three documents
                               "1"
                               "00012345678909"   // the supplier's CPF
                               "0000000000"       // MATRICULA
                               "ARACAJU" + sp(113) +
                               "REUNI\xC3O NA SECRETARIA" + sp(229) +
                               "20070305"
                               "20070307"
                               "00003000"         // three documents, three decimals
                               + sp(8) + sp(50) + sp(50) + "0";
    ASSERT_EQ(record.size(), 586u);
    EXPECT_EQ(lines(kDiaria), (std::vector<std::string>{"1200703", record, "3000001"}));
    // The key is a bound value, compared as text.
    EXPECT_EQ(dm.CdsAux.source().sql, "SELECT COUNT(*) AS QUANT FROM DESPESADDOC WHERE PKEMP = ?");
    EXPECT_TRUE(entries().empty());
}

// The count compares a key of digits as a number; a key of another form in
// DESPESADDOC makes that statement fail, and the key is then compared as text.
TEST_F(LiquidacoesTest, DiariaChecksAndCountWithKeysOfAnyForm) {
    // No travel row and a supplier without CPF.
    commitment({.pk = "7", .datae = "null", .nempg = "null", .codif = "3", .proc = "null"});
    allowance("7", "10");
    allowance("X9", "1");
    liquidation("7", "'1'", "2007-03-10", "10");
    const std::vector<std::string> recs = details(kDiaria);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].substr(1 + 4 + 16 + 2 + 20 + 15, 1 + 14 + 10), "1" + zeros(24));
    EXPECT_EQ(recs[0].substr(1 + 4 + 16 + 2 + 20 + 15 + 1 + 14 + 10 + 120 + 250 + 8 + 8, 8), "00001000");
    EXPECT_EQ(dm.CdsAux.source().sql, "SELECT COUNT(*) AS QUANT FROM DESPESADDOC WHERE PKEMP = ?");
    std::vector<std::string> expected;
    for (const char* d : {"ANO DO EMPENHO NÃO PODE FICAR EM BRANCO", "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO",
                          "NÚMERO DO PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO", "CPF NÃO PODE FICAR EM BRANCO",
                          "DESTINO NÃO PODE FICAR EM BRANCO", "MOTIVO NÃO PODE FICAR EM BRANCO",
                          "DATA DE SAÍDA NÃO PODE FICAR EM BRANCO", "DATA DE RETORNO NÃO PODE FICAR EM BRANCO"}) {
        expected.push_back(entry("DIARIA.TXT", 2, d, ""));
    }
    EXPECT_EQ(entries(), expected);
}

// Allowance documents without any total: the blank amount is logged, then the
// file stops with an error that names it.
TEST_F(LiquidacoesTest, DiariaWithoutAmountStopsTheFile) {
    commitment({.pk = "7", .nempg = "70"});
    travel("7", {});
    allowance("7", "null");
    liquidation("7", "'1'", "2007-03-10", "10");
    try {
        lines(kDiaria);
        FAIL() << "no error";
    } catch (const GenerationError& e) {
        const std::string msg = e.what();
        for (const char* part : {"Diaria.txt", "linha 2", "VLR_DIARIA"})
            EXPECT_NE(msg.find(part), std::string::npos) << part << " not in: " << msg;
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("DIARIA.TXT", 2, "VALOR DA DIÁRIA NÃO PODE FICAR EM BRANCO", "70"),
                         }));
}

TEST_F(LiquidacoesTest, BilheteRecordAndChecks) {
    commitment({.pk = "B1", .datae = "'2007-03-04'", .nempg = "40", .proc = "'0088/2007'"});
    travel("B1", {.numbilh = "'TK-123456'", .valorbilh = "850", .databilh = "'2007-03-06'",
                  .destino = "'BRASÍLIA'", .motivo = "'CURSO' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'TCE'",
                  .datasai = "'2007-03-08'", .datache = "'2007-03-10'", .matricula = "'12.345'",
                  .nomeserv = "'JOSÉ DA CONCEIÇÃO'", .cnpjemi = "'11.222.333/0001-81'"});
    allowance("B1", "0");
    liquidation("B1", "'1'", "2007-03-12", "850");
    // An allowance commitment, and an empty ticket number without documents.
    commitment({.pk = "B2", .nempg = "41"});
    travel("B2", {});
    allowance("B2", "10");
    liquidation("B2", "'1'", "2007-03-12", "10");
    commitment({.pk = "B3", .nempg = "42"});
    travel("B3", {.numbilh = "''"});
    liquidation("B3", "'1'", "2007-03-12", "10");

    const std::string record = "2"
                               "2007"
                               "0000000000000040"
                               "04"
                               "0088/2007" + sp(11) +
                               "000000000085000"
                               "TK-123456" + sp(6) +
                               "20070306"
                               "BRAS\xCDLIA" + sp(112) +
                               "CURSO  TCE" + sp(240) +
                               "20070308"
                               "20070310"
                               "1"
                               + zeros(14) +      // CPF_BENE
                               "0000012345"       // MATRICULA
                               "JOS\xC9 DA CONCEI\xC7\xC3O" + sp(33) +
                               " "                // TIPO_PESSOA
                               "11222333000181"
                               + sp(8) + sp(50) + sp(50) + "0";
    ASSERT_EQ(record.size(), 666u);
    EXPECT_EQ(lines(kBilhete), (std::vector<std::string>{"1200703", record, "3000001"}));
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("BILHETE.TXT", 2, "CPF DO BENEFICIÁRIO NÃO PODE FICAR EM BRANCO", "40"),
                         }));

    // A ticket with only its number.
    db.exec("delete from DESPESAD; delete from DESPESADDOC; delete from DESLIQ; delete from DESPES; commit;");
    dm.CdsLog.close();
    commitment({.pk = "B4", .datae = "null", .nempg = "null", .proc = "' '"});
    travel("B4", {.numbilh = "'X'", .valorbilh = "1", .destino = "null", .motivo = "null", .datasai = "null",
                  .datache = "null"});
    allowance("B4", "1");
    liquidation("B4", "'1'", "2007-03-12", "1");
    ASSERT_EQ(details(kBilhete).size(), 1u);
    std::vector<std::string> expected;
    for (const char* d : {"ANO DO EMPENHO NÃO PODE FICAR EM BRANCO", "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO",
                          "NÚMERO DO PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO",
                          "DATA DO BILHETE NÃO PODE FICAR EM BRANCO", "DESTINO NÃO PODE FICAR EM BRANCO",
                          "MOTIVO NÃO PODE FICAR EM BRANCO", "DATA DA SAÍDA NÃO PODE FICAR EM BRANCO",
                          "DATA DE RETORNO NÃO PODE FICAR EM BRANCO", "CPF DO BENEFICIÁRIO NÃO PODE FICAR EM BRANCO",
                          "CPF/CNPJ NÃO PODE FICAR EM BRANCO"}) {
        expected.push_back(entry("BILHETE.TXT", 2, d, ""));
    }
    EXPECT_EQ(entries(), expected);
}

// The ticket file looks at the cancel before it reads a row: the row after the
// cancel logs nothing. The reversal file stops the same way, without trailer.
TEST_F(LiquidacoesTest, CancelAfterTheFirstRecord) {
    for (const char* pk : {"1", "2"}) {
        commitment({.pk = pk, .nempg = pk, .ficha = "1"});
        travel(pk, {.numbilh = "'T1'", .valorbilh = "5", .databilh = "'2007-03-02'", .cnpjemi = "'1'"});
        allowance(pk, "5");
        liquidation(pk, "'1'", "2007-03-10", "5");
        liquidation(pk, "'2'", "2007-03-11", "-5");
    }

    cancelAfterFirstRecord(kBilhete);
    std::vector<std::string> file = lines(kBilhete);
    ASSERT_EQ(file.size(), 2u);
    EXPECT_EQ(file[0], "1200703");
    EXPECT_EQ(file[1].size(), 666u);
    EXPECT_EQ(entries().size(), 1u);  // the beneficiary CPF of the first record only
    EXPECT_TRUE(obs.closed.empty());

    ex->ctx.cancelRequested = false;
    cancelAfterFirstRecord(kEstLiqPg);
    file = lines(kEstLiqPg);
    ASSERT_EQ(file.size(), 2u);
    EXPECT_EQ(file[1].size(), 316u);
    EXPECT_TRUE(obs.closed.empty());
}

TEST_F(LiquidacoesTest, EstLiqPgReversals) {
    // A payroll commitment of the month with two reversals (one made later).
    commitment({.pk = "1", .nempg = "60", .ficha = "1", .proc = "'P60'"});
    liquidation("1", "'1'", "2007-03-05", "1000");
    liquidation("1", "'2'", "2007-03-10", "-40.5");
    liquidation("1", "'3'", "2007-04-02", "-9.5");
    // A payroll commitment of February reversed in March.
    commitment({.pk = "2", .datae = "'2007-02-15'", .nempg = "61", .ficha = "1"});
    liquidation("2", "'1'", "2007-03-10", "-5");
    // Both payroll and allowance commitment: written once per type.
    commitment({.pk = "3", .datae = "'2007-03-02'", .nempg = "62", .ficha = "1", .proc = "'P62'"});
    allowance("3", "20");
    liquidation("3", "'1'", "2007-03-12", "-20");
    // A ticket commitment without reversal, and a payroll of another entity.
    commitment({.pk = "4", .nempg = "63"});
    travel("4", {.numbilh = "'T1'"});
    allowance("4", "5");
    liquidation("4", "'1'", "2007-03-12", "5");
    commitment({.pk = "5", .nempg = "64", .ficha = "7"});
    liquidation("5", "'1'", "2007-03-12", "-7");

    const std::string estorno = "ESTORNO" + sp(243);
    EXPECT_EQ(details(kEstLiqPg),
              (std::vector<std::string>{
                  "2" "2007" "0000000000000060" "01" "P60" + sp(17) + "20070310" + estorno + "-00000000004050",
                  "2" "2007" "0000000000000060" "01" "P60" + sp(17) + "20070402" + estorno + "-00000000000950",
                  "2" "2007" "0000000000000062" "01" "P62" + sp(17) + "20070312" + estorno + "-00000000002000",
                  "2" "2007" "0000000000000062" "03" "P62" + sp(17) + "20070312" + estorno + "-00000000002000",
              }));
    EXPECT_EQ(obs.lastFileMax, 6);  // pairs (1,01) (2,01) (3,01) (3,03) (4,04) (5,01)
    EXPECT_EQ(obs.lastFilePos, 6);
    EXPECT_TRUE(entries().empty());
}
