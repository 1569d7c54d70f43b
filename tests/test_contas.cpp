// The monthly accounts and budget-change files: Conta against the court's chart,
// FundAlt, FonteRec and AltOrc from DESALD, and the monthly budget-structure files.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "data/datapacket.h"
#include "engine/filegenerator.h"
#include "generators/catalogue.h"
#include "generators/contas.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace fs = std::filesystem;

namespace {

// A Windows-1252 text filled with blanks to `width`.
std::string pad(const std::string& cp1252, int width) {
    return cp1252 + sp(width - static_cast<int>(cp1252.size()));
}

const std::string Z15 = zeros(15);
constexpr const char* kContaResolver = "VERIFIQUE OS PARAMENTROS DO PLANO DE CONTAS NO TCE/SE";

struct ChartRow {
    std::string seq;
    const char* subtipo;
};

class ContasTest : public GeneratorTest {
protected:
    void SetUp() override {
        // Saved out of order: the search reads it in nu_SequencialTC order.
        writeChart(FieldType::Int32, {{"12", "03"}, {"120", "09"}, {"5", "07"}});
    }

    fs::path chartFile() const { return db.dir() / "TABDEF" / "PLANO_CONTAS_SE.XML"; }

    void writeChart(FieldType seqType, const std::vector<ChartRow>& rows) {
        RecordSet rs("PLANO");
        rs.addField({"nu_SequencialTC", seqType, seqType == FieldType::String ? 10 : 0});
        rs.addField({"cd_ContaTC", FieldType::String, 34});
        rs.addField({"SqSubTipo", FieldType::String, 2});
        rs.createDataSet();
        for (const ChartRow& r : rows) {
            rs.append();
            rs.field("nu_SequencialTC").setAsString(r.seq);
            rs.field("cd_ContaTC").setAsString("1" + r.seq);
            rs.field("SqSubTipo").setAsString(r.subtipo);
            rs.post();
        }
        saveDatapacket(rs, chartFile());
    }

    // The file's records without CR LF; every record must end with CR LF.
    std::vector<std::string> lines(GeneratorFn run, const char* name) {
        run(*ex, name);
        const std::string bytes = readBytes(out.path() / (std::string(name) + ".txt"));
        std::vector<std::string> r;
        std::size_t at = 0;
        for (std::size_t end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
            r.push_back(bytes.substr(at, end - at));
        EXPECT_EQ(at, bytes.size()) << name << ": text after the last CR LF";
        return r;
    }

    // Detail records (without the leading "2"), sorted: the queries give no order.
    std::vector<std::string> details(GeneratorFn run, const char* name, int length) {
        const std::vector<std::string> all = lines(run, name);
        EXPECT_GE(all.size(), 2u);
        if (all.size() < 2) return {};
        EXPECT_EQ(all.front(), "1200703");
        const std::size_t n = all.size() - 2;
        EXPECT_EQ(all.back(), "3" + zeros(6 - static_cast<int>(std::to_string(n).size())) + std::to_string(n));
        std::vector<std::string> r;
        for (std::size_t i = 1; i + 1 < all.size(); ++i) {
            EXPECT_EQ(static_cast<int>(all[i].size()), length) << all[i];
            EXPECT_EQ(all[i].substr(0, 1), "2");
            r.push_back(all[i].substr(1));
        }
        std::sort(r.begin(), r.end());
        return r;
    }

    // Budget changes of entities 01, 02 and 00, with rows outside March 2007.
    void budgetChanges() {
        db.exec(
            // FICHA, EMPRESA, PODER, CODLO, PROJATIV, FONCODIGO, BALCO_TCE
            "insert into DESDIS (FICHA, EMPRESA, PODER, CODLO, PROJATIV, FONCODIGO, BALCO_TCE)"
            " values (1, 1, '01', '0101', '2001', '001', '31901100');"
            "insert into DESDIS (FICHA, EMPRESA, PODER, CODLO, PROJATIV, FONCODIGO, BALCO_TCE)"
            " values (2, 1, '02', '0201', '1001', '101', '44905100');"
            "insert into DESDIS (FICHA, EMPRESA, PODER, CODLO, PROJATIV, FONCODIGO, BALCO_TCE)"
            " values (3, 2, '01', '0301', '2002', '001', '33903000');"
            "insert into DESDIS (FICHA, EMPRESA, PODER, CODLO, PROJATIV, FONCODIGO, BALCO_TCE)"
            " values (4, 0, '01', '0401', '2002', '001', '33903000');"
            "insert into CADDECRETO values (10, '2007-03-01', 55, '2006-12-20');"
            "insert into CADDECRETO values (11, null, null, null);"
            // DECRETO, IE, DTLAN, VALOR, FICHA
            "insert into DESALD values (10, '1', '2007-03-05', 1500.50, 1);"
            "insert into DESALD values (10, '1', '2007-03-20', 99.50, 1);"
            "insert into DESALD values (10, '8', '2007-03-06', -200, 1);"
            "insert into DESALD values (11, '9', '2007-03-31', 0, 2);"
            "insert into DESALD values (11, '2', '2007-03-10', 50, 2);"
            "insert into DESALD values (11, '2', '2007-03-11', -50, 2);"
            "insert into DESALD values (10, '2', '2007-03-07', 300, 3);"
            "insert into DESALD values (10, '1', '2007-04-01', 999, 1);"
            "insert into DESALD values (10, '1', '2006-03-05', 888, 1);"
            "insert into DESALD values (10, '3', '2007-03-08', 75.25, 4);"
            "commit;");
    }
};

// The catalogue points steps 26 to 33 at these operations, with their record lengths.
TEST_F(ContasTest, CatalogueStepsAndRecordLengths) {
    const std::map<int, std::pair<std::string, int>> expected = {
        {26, {"Conta", 172}},    {27, {"FundAlt", 199}},  {28, {"UnidOrc", 61}},   {29, {"Projativ", 399}},
        {30, {"Programa", 129}}, {31, {"Orgao", 130}},    {32, {"FonteRec", 30}},  {33, {"AltOrc", 46}},
    };
    for (const CatalogueStep& s : monthlyCatalogue()) {
        const auto it = expected.find(s.step);
        if (it == expected.end()) continue;
        SCOPED_TRACE(s.operation);
        EXPECT_EQ(s.fileName, it->second.first);
        ASSERT_NE(s.run, nullptr);
        ASSERT_NE(s.layout, nullptr);
        EXPECT_EQ(s.layout->recordLength(), it->second.second);
    }
}

// The statements are the court's texts with month, year and entity inserted. With
// "00" FundAlt and the structure files drop their filter, FonteRec and AltOrc ask
// for entity 00, Conta and Orgao never filter. A month without data gives empty files.
TEST_F(ContasTest, QueriesPerEntityAndEmptyMonth) {
    struct Case {
        GeneratorFn run;
        const char* name;
        const char* filter01;  // the part of the "01" text that "00" changes
        const char* filter00;
    };
    const Case cases[] = {
        {Conta, "Conta", "", ""},
        {FundAlt, "FundAlt", " AND C.EMPRESA = '01'", ""},
        {UnidOrc_mensal, "UnidOrc_mensal", " AND A.EMPRESA = '01'", ""},
        {Projativ_Mensal, "Projativ_Mensal", " AND A.EMPRESA = '01'", ""},
        {Programa_Mensal, "Programa_Mensal", " AND A.EMPRESA = '01'", ""},
        {Orgao_Mensal, "Orgao_Mensal", "", ""},
        {FonteRec, "FonteRec", "B.EMPRESA = '01'", "B.EMPRESA = '00'"},
        {AltOrc, "AltOrc", "B.EMPRESA = '01'", "B.EMPRESA = '00'"},
    };
    const fs::path dir = fs::path(TCESE_SOURCE_DIR) / "tests" / "fixtures" / "queries";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ifstream in(dir / (std::string(c.name) + ".sql"), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string expected = ss.str();
        while (!expected.empty() && (expected.back() == '\n' || expected.back() == '\r')) expected.pop_back();
        ASSERT_FALSE(expected.empty());
        ASSERT_EQ(expected.back(), ';');
        expected.pop_back();

        ex->ctx.entityCode = "01";
        EXPECT_EQ(lines(c.run, c.name), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);

        ex->ctx.entityCode = "00";
        lines(c.run, c.name);
        const std::string from = c.filter01;
        if (!from.empty()) {
            const auto at = expected.find(from);
            ASSERT_NE(at, std::string::npos);
            expected.replace(at, from.size(), c.filter00);
        }
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
    }
    EXPECT_TRUE(entries().empty());
}

// Levels, the 3111 and "000" bank rules, blank code and name, and the court's
// sub-type of a matched, an unmatched and an empty sequential number.
TEST_F(ContasTest, ContaRecordsAndChecks) {
    db.exec(
        // BALCO, TITCO, CODIGO_TCE, SEQ_TCE
        "insert into CONPLA (BALCO, TITCO, CODIGO_TCE, SEQ_TCE) values ('100000', 'ATIVO', null, '1');"
        "insert into CONPLA (BALCO, TITCO, CODIGO_TCE, SEQ_TCE) values ('111101', 'CAIXA CONCEIÇÃO', '111100', '0012');"
        "insert into CONPLA (BALCO, TITCO, CODIGO_TCE, SEQ_TCE) values ('311101', null, '311100', '99');"
        "insert into CONPLA (BALCO, TITCO, CODIGO_TCE, SEQ_TCE) values ('112000', 'BANCOS', '110000', null);"
        "insert into CONPLA (BALCO, TITCO, CODIGO_TCE, SEQ_TCE) values ('111102', 'APLICACOES', '111100', null);"
        "insert into CONPLA (BALCO, TITCO, CODIGO_TCE, SEQ_TCE) values (' ', ' ', null, '120');"
        "insert into DESCON (BALCO, BANCO, AGENCIA, CONTA) values ('111101', '001', '1234-5', '12345-6');"
        "insert into DESCON (BALCO, BANCO, AGENCIA, CONTA) values ('311101', '001', '1234-5', '999-1');"
        "insert into DESCON (BALCO, BANCO, AGENCIA, CONTA) values ('112000', '000', '0000-0', '5555-5');"
        "insert into DESCON (BALCO, BANCO, AGENCIA, CONTA) values ('111102', '  ', '1', '2');"
        "commit;");

    const std::string y = "2007";
    const std::string noBank = sp(22);
    const std::string level1 = y + zeros(28) + "100000" + "0000100000" + sp(4) + pad("ATIVO", 50) + "01" + "2" +
                               sp(4) + sp(34) + noBank + "00" + sp(4);
    const std::string bank = y + zeros(28) + "111101" + "0000111101" + "0012" + pad("CAIXA CONCEI\xC7\xC3O", 50) +
                             "05" + "1" + "2006" + pad("111100", 34) + "001 " + "012345" + "0000123456" + "06" +
                             "03" + sp(4);
    const std::string revenue = y + zeros(28) + "311101" + "0000311101" + "99  " + pad("NAO CONSTA", 50) + "05" +
                                "1" + "2006" + pad("311100", 34) + noBank + "07" + sp(4);
    const std::string level3 = y + zeros(28) + "112000" + "0000112000" + sp(4) + pad("BANCOS", 50) + "03" + "2" +
                               "2006" + pad("110000", 34) + noBank + "00" + sp(4);
    const std::string noSeq = y + zeros(28) + "111102" + "0000111102" + sp(4) + pad("APLICACOES", 50) + "05" + "1" +
                              "2006" + pad("111100", 34) + noBank + "07" + sp(4);
    const std::string blank = y + zeros(34) + zeros(10) + "120 " + pad("NAO CONSTA", 50) + "05" + "1" + "2006" +
                              sp(34) + noBank + "09" + sp(4);
    std::vector<std::string> expected = {level1, bank, revenue, level3, noSeq, blank};
    std::sort(expected.begin(), expected.end());
    const std::vector<std::string> file = lines(Conta, "Conta");
    ASSERT_EQ(file.size(), 8u);
    EXPECT_EQ(file.front(), "1200703");
    EXPECT_EQ(file.back(), "3000006");
    std::vector<std::string> got;
    std::vector<std::string> want;  // log lines are the records' lines in the file
    for (std::size_t i = 1; i + 1 < file.size(); ++i) {
        EXPECT_EQ(file[i].size(), 172u);
        got.push_back(file[i].substr(1));
        const std::string at = "CONTA.TXT|ERRO|" + std::to_string(i + 1) + "|";
        if (file[i] == "2" + blank) {
            want.push_back(at + "CODIGO DA CONTA NÃO PODE FICAR EM BRANCO|" + kContaResolver);
            want.push_back(at + "NOME DA CONTA NÃO PODE FICAR EM BRANCO|" + kContaResolver);
        }
        if (file[i] == "2" + revenue) want.push_back(at + "NOME DA CONTA NÃO PODE FICAR EM BRANCO|" + kContaResolver);
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(entries(), want);
    ASSERT_FALSE(obs.closed.empty());
    EXPECT_EQ(obs.closed.back().second.stateIndex, kStateWithErrors);

    // Every account, whatever the entity.
    ex->ctx.entityCode = "02";
    EXPECT_EQ(details(Conta, "Conta", 172), expected);
}

// The search follows the type the chart declares: a case-insensitive prefix of a
// text, the same value of a number; without a match the chart's first row in
// nu_SequencialTC order stays.
TEST_F(ContasTest, ContaSubTypeByTheChartsFieldType) {
    struct Variant {
        FieldType type;
        std::vector<ChartRow> chart;
        std::vector<std::pair<const char*, const char*>> cases;  // SEQ_TCE -> SqSubTipo
    };
    const Variant variants[] = {
        {FieldType::String,
         {{"5", "07"}, {"41", "04"}, {"120", "09"}, {"12", "03"}, {"a1", "05"}, {"10", "01"}},
         {{"12", "03"}, {"120", "09"}, {"4", "04"}, {"A", "05"}, {"0012", "01"}, {"", "01"}}},
        {FieldType::Int32,
         {{"12", "03"}, {"120", "09"}, {"5", "07"}},
         {{"0012", "03"}, {"12", "03"}, {"1", "07"}, {"120", "09"}, {"", "07"}, {"X", "07"}}},
    };
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.type == FieldType::String ? "text" : "number");
        writeChart(v.type, v.chart);
        db.exec("delete from CONPLA; commit;");
        std::map<std::string, std::string> want;  // COD_RED_CONTA -> SqSubTipo
        int n = 0;
        for (const auto& [seq, subtipo] : v.cases) {
            const std::string balco = "2111" + std::to_string(10 + ++n);
            db.exec("insert into CONPLA (BALCO, TITCO, SEQ_TCE) values ('" + balco + "', 'CONTA', " +
                    (*seq ? "'" + std::string(seq) + "'" : std::string("null")) + "); commit;");
            want["0000" + balco] = subtipo;
        }
        std::map<std::string, std::string> got;
        for (const std::string& d : details(Conta, "Conta", 172)) got[d.substr(38, 10)] = d.substr(165, 2);
        EXPECT_EQ(got, want);
    }
}

// A chart that cannot be read stops the file with a message naming both files;
// the file keeps only its header.
TEST_F(ContasTest, ContaWithoutAUsableChart) {
    db.exec("insert into CONPLA (BALCO, TITCO, SEQ_TCE) values ('111101', 'CAIXA', '12'); commit;");
    struct Case {
        std::function<void()> breakChart;
        const char* inMessage;
    };
    const Case cases[] = {
        {[&] { fs::remove(chartFile()); }, "PLANO_CONTAS_SE.XML"},
        {[&] {
             RecordSet rs("PLANO");
             rs.addField({"nu_SequencialTC", FieldType::Int32});
             rs.createDataSet();
             saveDatapacket(rs, chartFile());
         },
         "SqSubTipo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inMessage);
        c.breakChart();
        try {
            Conta(*ex, "Conta");
            ADD_FAILURE() << "no error";
        } catch (const GenerationError& e) {
            const std::string msg = e.what();
            for (const char* part : {"Conta.txt", c.inMessage})
                EXPECT_NE(msg.find(part), std::string::npos) << part << " not in: " << msg;
        }
        EXPECT_EQ(readBytes(out.path() / "Conta.txt"), "1200703\r\n");
    }
}

// Additions and reductions in fields 8 and 9, the acts' checks, and every entity for "00".
TEST_F(ContasTest, FundAltRecordsAndChecks) {
    budgetChanges();
    const std::string act10 = "01" + std::string("0000000010") + "20070301" + "0000000055" + "20061220";
    const std::string act11 = "01" + std::string("0000000011") + sp(8) + zeros(10) + sp(8);
    const std::string rest = sp(120);
    std::vector<std::string> expected = {
        act10 + "01" + "20070305" + "000000000150050" + Z15 + rest,
        act10 + "01" + "20070320" + "000000000009950" + Z15 + rest,
        act10 + "09" + "20070306" + Z15 + "-00000000020000" + rest,
        act11 + "09" + "20070331" + Z15 + Z15 + rest,  // zero counts as a reduction
        act11 + "01" + "20070310" + "000000000005000" + Z15 + rest,
        act11 + "01" + "20070311" + Z15 + "-00000000005000" + rest,
    };
    std::sort(expected.begin(), expected.end());
    const std::vector<std::string> file = lines(FundAlt, "FundAlt");
    std::vector<std::string> got;
    std::vector<std::string> want;
    for (std::size_t i = 1; i + 1 < file.size(); ++i) {
        EXPECT_EQ(file[i].size(), 199u);
        got.push_back(file[i].substr(1));
        if (file[i].substr(1, act11.size()) != act11) continue;
        const std::string at = "FUNDALT.TXT|ERRO|" + std::to_string(i + 1) + "|";
        for (const char* d : {"DATA DE PUBLICAÇÃO DO ATO NÃO PODE FICAR EM BRANCO",
                              "NUMERO DA LEI DA ALTERAÇÃO NÃO PODE FICAR EM BRANCO",
                              "DATA DE PUBLICAÇÃO DA LEI NÃO PODE FICAR EM BRANCO"})
            want.push_back(at + d + "|MÓDULO CONTAS");
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(file.back(), "3000006");
    EXPECT_EQ(entries(), want);

    ex->ctx.entityCode = "00";
    EXPECT_EQ(details(FundAlt, "FundAlt", 199).size(), 8u);
}

// FonteRec: one record per change, the source by kind of change (blank for others);
// AltOrc: changes summed per act, kind, activity, element and source. "00" is the
// entity 00, not every entity.
TEST_F(ContasTest, FonteRecAndAltOrcRecords) {
    budgetChanges();
    struct Case {
        GeneratorFn run;
        const char* name;
        int length;
        const char* entity;
        std::vector<std::string> details;
    };
    const std::string a10 = "0000000010", a11 = "0000000011";
    const Case cases[] = {
        {FonteRec, "FonteRec", 30, "01",
         {
             "01" + a10 + "01" + "000000000150050",
             "01" + a10 + "01" + "000000000009950",
             "01" + a10 + "  " + "-00000000020000",
             "01" + a11 + "  " + Z15,
             "01" + a11 + "03" + "000000000005000",
             "01" + a11 + "03" + "-00000000005000",
         }},
        {FonteRec, "FonteRec", 30, "02", {"01" + a10 + "03" + "000000000030000"}},
        {FonteRec, "FonteRec", 30, "00", {"01" + a10 + "05" + "000000000007525"}},
        {AltOrc, "AltOrc", 46, "01",
         {
             "01" + a10 + "2001" + "31901100" + "001" + "00" + "1" + "000000000160000",
             "09" + a10 + "2001" + "31901100" + "001" + "00" + "2" + "-00000000020000",
             "09" + a11 + "1001" + "44905100" + "101" + "00" + " " + Z15,
             "01" + a11 + "1001" + "44905100" + "101" + "00" + " " + Z15,  // 50 and -50
         }},
        {AltOrc, "AltOrc", 46, "00", {"01" + a10 + "2002" + "33903000" + "001" + "00" + "1" + "000000000007525"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.entity);
        ex->ctx.entityCode = c.entity;
        std::vector<std::string> expected = c.details;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(details(c.run, c.name, c.length), expected);
    }
    EXPECT_TRUE(entries().empty());
}

// The monthly structure files: the year unformatted, names cut to their widths,
// a project listed once per DESORC row, every entity for "00", and Orgao the same
// for any entity.
TEST_F(ContasTest, MonthlyStructureFiles) {
    const std::string longName(130, 'P');
    db.exec(
        "insert into TABUNIDADE values ('0101', 'GABINETE');"
        "insert into TABUNIDADE values ('0201', 'ESCOLAS MUNICIPAIS');"
        "insert into TABUNIDADE values ('0301', 'FUNDO');"
        "insert into TABUNIDADE values ('9901', 'RESTOS');"
        "insert into DESDIS (FICHA, EMPRESA, PODER, CODLO) values (1, 1, '01', '0101');"
        "insert into DESDIS (FICHA, EMPRESA, PODER, CODLO) values (5, 1, '01', '0101');"
        "insert into DESDIS (FICHA, EMPRESA, PODER, CODLO) values (2, 1, '02', '0201');"
        "insert into DESDIS (FICHA, EMPRESA, PODER, CODLO) values (3, 2, '01', '0301');"
        "insert into DESDIS (FICHA, EMPRESA, PODER, CODLO) values (4, 1, '99', '9901');"
        "insert into TABPROJATIV values ('2001', 'MANUTENÇÃO DO GABINETE');"
        "insert into TABPROJATIV values ('1001', 'CONSTRUÇÃO DE ESCOLA');"
        "insert into TABPROJATIV values ('2002', 'FUNDO');"
        "insert into TABPROJATIV values ('9001', 'RESTOS');"
        "insert into TABPROGRAMA values ('0001', 'APOIO ADMINISTRATIVO');"
        "insert into TABPROGRAMA values ('0002', 'EDUCAÇÃO BÁSICA');"
        "insert into TABPROGRAMA values ('0003', '" + longName + "');"
        "insert into TABPROGRAMA values ('0099', 'RESTOS');"
        "insert into TABORGAO values ('01', '001', 'GABINETE DO PREFEITO');"
        "insert into TABORGAO values ('02', '001', 'SECRETARIA DE EDUCAÇÃO');"
        "insert into TABORGAO values ('03', '001', 'CÂMARA');"
        "insert into TABORGAO values ('04', '001', 'SEM DOTACAO');"
        "insert into TABORGAO values ('99', '001', 'RESTOS');"
        // FICHA, EMPRESA, PODER, ORGAO, CODLO, PROJATIV, FUNCAO, SUBFUNCAO, PROGRAMA, FONCODIGO, DOTAC
        "insert into DESORC values (1, 1, '01', '001', '0101', '2001', '04', '122', '0001', '001', 1000);"
        "insert into DESORC values (2, 1, '01', '001', '0101', '2001', '04', '122', '0001', '001', 500);"
        "insert into DESORC values (3, 1, '02', '001', '0201', '1001', '12', '361', '0002', '101', 100);"
        "insert into DESORC values (4, 2, '03', '001', '0301', '2002', '04', '122', '0003', '001', 10);"
        "insert into DESORC values (5, 1, '99', '001', '9901', '9001', '99', '999', '0099', '001', 700);"
        "commit;");
    const std::string y = "2007";
    const std::string gab = "MANUTEN\xC7\xC3O DO GABINETE", esc = "CONSTRU\xC7\xC3O DE ESCOLA";
    const std::string projGab = y + "2001" + pad(gab, 120) + pad(gab, 250) + "01001" + pad("0101", 6) + "04" + "122" +
                                "0001";
    const std::vector<std::string> orgaos = {
        y + "01001" + pad("GABINETE DO PREFEITO", 120),
        y + "02001" + pad("SECRETARIA DE EDUCA\xC7\xC3O", 120),
        y + "03001" + pad("C\xC2MARA", 120),
    };
    struct Case {
        GeneratorFn run;
        const char* name;
        int length;
        const char* entity;
        std::vector<std::string> details;
    };
    const Case cases[] = {
        {UnidOrc_mensal, "UnidOrc", 61, "01",
         {y + pad("0101", 6) + pad("GABINETE", 50), y + pad("0201", 6) + pad("ESCOLAS MUNICIPAIS", 50)}},
        {UnidOrc_mensal, "UnidOrc", 61, "00",
         {y + pad("0101", 6) + pad("GABINETE", 50), y + pad("0201", 6) + pad("ESCOLAS MUNICIPAIS", 50),
          y + pad("0301", 6) + pad("FUNDO", 50)}},
        {Projativ_Mensal, "Projativ", 399, "01",
         {projGab, projGab,
          y + "1001" + pad(esc, 120) + pad(esc, 250) + "02001" + pad("0201", 6) + "12" + "361" + "0002"}},
        {Projativ_Mensal, "Projativ", 399, "00",
         {projGab, projGab,
          y + "1001" + pad(esc, 120) + pad(esc, 250) + "02001" + pad("0201", 6) + "12" + "361" + "0002",
          y + "2002" + pad("FUNDO", 120) + pad("FUNDO", 250) + "03001" + pad("0301", 6) + "04" + "122" + "0003"}},
        {Programa_Mensal, "Programa", 129, "01",
         {y + "0001" + pad("APOIO ADMINISTRATIVO", 120), y + "0002" + pad("EDUCA\xC7\xC3O B\xC1SICA", 120)}},
        {Programa_Mensal, "Programa", 129, "00",
         {y + "0001" + pad("APOIO ADMINISTRATIVO", 120), y + "0002" + pad("EDUCA\xC7\xC3O B\xC1SICA", 120),
          y + "0003" + longName.substr(0, 120)}},
        {Orgao_Mensal, "Orgao", 130, "01", orgaos},
        {Orgao_Mensal, "Orgao", 130, "05", orgaos},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.entity);
        ex->ctx.entityCode = c.entity;
        std::vector<std::string> expected = c.details;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(details(c.run, c.name, c.length), expected);
    }
    EXPECT_TRUE(entries().empty());
}

// Orgao alone runs its query before its file exists.
TEST_F(ContasTest, OnlyOrgaoQueriesBeforeCreatingTheFile) {
    db.exec("drop table TABORGAO; drop table TABPROGRAMA; commit;");
    const std::pair<GeneratorFn, const char*> cases[] = {{Orgao_Mensal, "Orgao"}, {Programa_Mensal, "Programa"}};
    for (const auto& [run, name] : cases) {
        EXPECT_THROW(run(*ex, name), GenerationError) << name;
        EXPECT_EQ(fs::exists(out.path() / (std::string(name) + ".txt")), std::string(name) != "Orgao") << name;
    }
}

}  // namespace
