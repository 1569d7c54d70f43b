// The annual budget structure files on a small budget.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/datapacket.h"
#include "engine/orcparams.h"
#include "engine/run.h"
#include "engine_support.h"
#include "generators/catalogue.h"
#include "generators/estrutura.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace fs = std::filesystem;

namespace {

void writeRevenueTable(const fs::path& file, std::initializer_list<std::pair<const char*, const char*>> rows) {
    RecordSet rs("RECEITA");
    rs.addField({"CODRE", FieldType::String, 8});
    rs.addField({"NOMRE", FieldType::String, 50});
    rs.addField({"SITUACAO_ITEM", FieldType::String, 1});
    rs.createDataSet();
    for (const auto& [code, situation] : rows) {
        rs.append();
        rs.field("CODRE").setAsString(code);
        rs.field("NOMRE").setAsString("RECEITA");
        rs.field("SITUACAO_ITEM").setAsString(situation);
        rs.post();
    }
    saveDatapacket(rs, file);
}


struct Lines {
    std::string header;
    std::vector<std::string> details;  // sorted: the queries give no order
    std::string trailer;
};

Lines readLines(const fs::path& file) {
    const std::string bytes = readBytes(file);
    std::vector<std::string> all;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto end = bytes.find("\r\n", at);
        if (end == std::string::npos) break;
        all.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    Lines l;
    if (all.size() < 2) return l;
    l.header = all.front();
    l.trailer = all.back();
    l.details.assign(all.begin() + 1, all.end() - 1);
    std::sort(l.details.begin(), l.details.end());
    return l;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

class EstruturaTest : public GeneratorTest {
protected:
    void SetUp() override {
        writeRevenueTable(db.dir() / "TABDEF" / "RECEITA_TCESE.XML",
                          {{"11120000", ""}, {"11200000", "N"}, {"17210102", ""}});
        db.exec(
            "insert into CADCLI (MEXER) values ('2007');"
            "insert into TABEMPRESA (EMPRESA, NOME, TIPO) values (1, 'PREFEITURA MUNICIPAL', 2);"
            "insert into TABORGAO values ('01', '001', 'GABINETE DO PREFEITO');"
            "insert into TABORGAO values ('02', '001', 'SECRETARIA DE EDUCAÇÃO');"
            "insert into TABORGAO values ('99', '001', 'RESTOS A PAGAR');"
            "insert into TABUNIDADE values ('0101', 'GABINETE');"
            "insert into TABUNIDADE values ('0201', 'ESCOLAS MUNICIPAIS');"
            "insert into TABUNIDADE values ('9901', 'RESTOS');"
            "insert into TABPROJATIV values ('2001', 'MANUTENÇÃO DO GABINETE');"
            "insert into TABPROJATIV values ('1001', 'CONSTRUÇÃO DE ESCOLA');"
            "insert into TABPROJATIV values ('9001', 'RESTOS');"
            "insert into TABPROGRAMA values ('0001', 'APOIO ADMINISTRATIVO');"
            "insert into TABPROGRAMA values ('0002', 'EDUCAÇÃO BÁSICA');"
            "insert into TABPROGRAMA values ('0099', 'RESTOS');"
            // FICHA, EMPRESA, PODER, ORGAO, CODLO, PROJATIV, FUNCAO, SUBFUNCAO, PROGRAMA, FONCODIGO, DOTAC
            "insert into DESORC values (1, 1, '01', '001', '0101', '2001', '04', '122', '0001', '001', 1000);"
            "insert into DESORC values (2, 1, '02', '001', '0201', '1001', '12', '361', '0002', '101', 5000.50);"
            "insert into DESORC values (3, 1, '02', '001', '0201', '1001', '12', '361', '0002', '101', 250.25);"
            "insert into DESORC values (4, 1, '99', '001', '9901', '9001', '99', '999', '0099', '001', 700);"
            "insert into DESORC values (5, 2, '01', '001', '0101', '2001', '04', '122', '0001', '001', 300);"
            "insert into DESORC values (6, 1, '01', '001', '0101', '2001', '04', '122', '0001', '001', 0);"
            "insert into DESORC values (7, 1, '02', '001', '0201', '2001', '04', '122', '0001', '102', 80);"
            // Sources of two characters and none: text fields, not numbers.
            "insert into DESORC values (8, 1, '02', '001', '0201', '1001', '12', '361', '0002', '15', 10);"
            "insert into DESORC values (9, 1, '02', '001', '0201', '1001', '12', '361', '0002', null, 20);"
            // Ficha 1 has the same element twice (two categories) and a second element.
            "insert into DESDIS (FICHA, BALCO_TCE) values (1, '31901100');"
            "insert into DESDIS (FICHA, BALCO_TCE) values (1, '31901100');"
            "insert into DESDIS (FICHA, BALCO_TCE) values (1, '33903000');"
            "insert into DESDIS (FICHA, BALCO_TCE) values (2, '44905100');"
            "insert into DESDIS (FICHA, BALCO_TCE) values (3, '44905100');"
            "insert into DESDIS (FICHA, BALCO_TCE) values (4, '31901100');"
            "insert into DESDIS (FICHA, BALCO_TCE) values (8, '33903000');"
            "insert into DESDIS (FICHA, BALCO_TCE) values (9, '33903000');"
            "insert into RECORC values (1, '1.1.1.2.02.00', 100.50);"
            "insert into RECORC values (1, '1.1.1.2.02.00', 20);"
            "insert into RECORC values (1, '1.1.1.2.03.00', 10);"
            "insert into RECORC values (1, '1.1.2.1.01.00', 300);"
            "insert into RECORC values (1, '1.7.2.1.01.02', 55.55);"
            "insert into RECORC values (2, '1.1.1.2.02.00', 999);"
            "insert into RECORC values (4, '1.9.9.0.99.00', null);"
            "commit;");
        ex->ctx.monthCode = "14";
        ex->ctx.monthEnd.clear();  // annual runs have none
    }
};

}  // namespace

TEST_F(EstruturaTest, EachFileHoldsTheEntitysBudgetWithoutBranch99) {
    const std::string y = "2" "2007";
    struct Case {
        GeneratorFn run;
        const char* file;
        const Layout& layout;
        int length;
        std::vector<std::string> details;
    } cases[] = {
        {PrevRec, "PrevRec", kPrevRecLayout, 27,
         {
             // Two local codes with the same court code stay two records.
             y + "11120000" + "00000000012050",
             y + "11120000" + "00000000001000",
             y + "11210100" + "00000000030000",  // zeroed match marked "N"
             y + "17210102" + "00000000005555",
         }},
        {UnidOrc, "UnidOrc", kUnidOrcLayout, 61,
         {
             y + pad("0101", 6) + pad("GABINETE", 50),
             y + pad("0201", 6) + pad("ESCOLAS MUNICIPAIS", 50),
         }},
        {Projativ, "Projativ", kProjativLayout, 399,
         {
             y + "2001" + pad("MANUTEN\xC7\xC3O DO GABINETE", 120) + pad("MANUTEN\xC7\xC3O DO GABINETE", 250) +
                 "01001" + pad("0101", 6) + "04" + "122" + "0001",
             // The same activity in a second body and unit.
             y + "2001" + pad("MANUTEN\xC7\xC3O DO GABINETE", 120) + pad("MANUTEN\xC7\xC3O DO GABINETE", 250) +
                 "02001" + pad("0201", 6) + "04" + "122" + "0001",
             y + "1001" + pad("CONSTRU\xC7\xC3O DE ESCOLA", 120) + pad("CONSTRU\xC7\xC3O DE ESCOLA", 250) +
                 "02001" + pad("0201", 6) + "12" + "361" + "0002",
         }},
        {Programa, "Programa", kProgramaLayout, 129,
         {
             y + "0001" + pad("APOIO ADMINISTRATIVO", 120),
             y + "0002" + pad("EDUCA\xC7\xC3O B\xC1SICA", 120),
         }},
        {Orgao, "Orgao", kOrgaoLayout, 130,
         {
             y + "01001" + pad("GABINETE DO PREFEITO", 120),
             y + "02001" + pad("SECRETARIA DE EDUCA\xC7\xC3O", 120),
         }},
        {Dotacao, "Dotacao", kDotacaoLayout, 37,
         {
             y + "2001" + "31901100" + "001" + "00" + "000000000200000",  // one DOTAC per element row
             y + "2001" + "33903000" + "001" + "00" + "000000000100000",
             y + "1001" + "44905100" + "101" + "00" + "000000000525075",
             y + "2001" + "00000000" + "102" + "00" + "000000000008000",  // no element
             y + "1001" + "33903000" + "15 " + "00" + "000000000001000",
             y + "1001" + "33903000" + "   " + "00" + "000000000002000",
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        obs.closed.clear();
        c.run(*ex, c.file);
        const Lines l = readLines(out.path() / (std::string(c.file) + ".txt"));
        EXPECT_EQ(l.header, "1200714");
        EXPECT_EQ(l.details, sorted(c.details));
        EXPECT_EQ(l.trailer, "3" + std::string(5, '0') + std::to_string(c.details.size()));
        EXPECT_EQ(c.layout.recordLength(), c.length);
        for (const auto& d : l.details) EXPECT_EQ(d.size(), static_cast<std::size_t>(c.length));
        ASSERT_EQ(obs.closed.size(), 1u);
        EXPECT_EQ(obs.closed[0].second.stateIndex, kStateSuccess);
    }
    EXPECT_EQ(dm.CdsLog.recordCount(), 0);  // none of them logs
}

TEST_F(EstruturaTest, EntityWithoutBudgetGetsHeaderAndTrailerOnly) {
    ex->ctx.entityCode = "03";
    for (const auto& step : annualCatalogue().subspan(1)) {
        obs.closed.clear();
        step.run(*ex, step.fileName);
        EXPECT_EQ(readBytes(out.path() / (std::string(step.fileName) + ".txt")), "1200714\r\n3000000\r\n")
            << step.fileName;
        ASSERT_EQ(obs.closed.size(), 1u);
        EXPECT_EQ(obs.closed[0].second.stateIndex, kStateNoRecords);
    }
}

TEST_F(EstruturaTest, RevenueProblemsStopTheRunNamingWhatIsWrong) {
    // A group whose amounts are all NULL.
    ex->ctx.entityCode = "04";
    try {
        PrevRec(*ex, "PrevRec");
        ADD_FAILURE() << "no error";
    } catch (const GenerationError& e) {
        const std::string msg = e.what();
        for (const char* part : {"PrevRec.txt", "linha 2", "VALOR"})
            EXPECT_NE(msg.find(part), std::string::npos) << part << " not in: " << msg;
    }
    EXPECT_EQ(readBytes(out.path() / "PrevRec.txt"), "1200714\r\n");

    // The revenue table missing: the first record fails, the file holds its header.
    ex->ctx.entityCode = "01";
    fs::remove(db.dir() / "TABDEF" / "RECEITA_TCESE.XML");
    ex->courtTables.clear();  // as a new run does
    try {
        PrevRec(*ex, "PrevRec");
        ADD_FAILURE() << "no error";
    } catch (const GenerationError& e) {
        const std::string msg = e.what();
        for (const char* part : {"PrevRec.txt", "RECEITA_TCESE.XML"})
            EXPECT_NE(msg.find(part), std::string::npos) << part << " not in: " << msg;
    }
    EXPECT_EQ(readBytes(out.path() / "PrevRec.txt"), "1200714\r\n");
}

TEST_F(EstruturaTest, OnlyOrgaoRunsItsQueryBeforeCreatingTheFile) {
    ex->ctx.entityCode = "0'";  // breaks the statement
    const std::pair<GeneratorFn, const char*> cases[] = {{Orgao, "Orgao"}, {Programa, "Programa"}};
    for (const auto& [run, name] : cases) {
        EXPECT_THROW(run(*ex, name), GenerationError) << name;
        EXPECT_EQ(fs::exists(out.path() / (std::string(name) + ".txt")), std::string(name) != "Orgao") << name;
    }
}

TEST_F(EstruturaTest, AnnualRunWritesTheSevenFilesAndReadsTheRevenueTableOncePerRun) {
    db.exec(
        "insert into PARAMORC (LEI_LDO, DTPUBLICACAO_LDO, LEI, DTPUBLICACAO, PERCE, PORCENTO)"
        " values ('20/2006', '2006-06-30', '30/2006', '2006-12-20', 10, 50); commit;");
    ASSERT_TRUE(createOrcParamsIfMissing(dm.Conexao, ini));
    const RunRequest req{"14 - ORÇAMENTO ANUAL", "01 - PREFEITURA MUNICIPAL", out.str()};

    RunResult r = gerarClick(*ex, req, annualCatalogue(), monthlyCatalogue());
    ASSERT_EQ(r.outcome, RunOutcome::Completed) << r.error;
    EXPECT_TRUE(r.unavailable.empty());
    EXPECT_FALSE(r.hadErrors);
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(out.path() / "Anual")) files.push_back(e.path().filename().string());
    EXPECT_EQ(sorted(files), sorted({"Orcmto.txt", "PrevRec.txt", "UnidOrc.txt", "Projativ.txt", "Programa.txt",
                                     "Orgao.txt", "Dotacao.txt"}));
    EXPECT_NE(readBytes(out.path() / "Anual" / "PrevRec.txt").find("2200711120000"), std::string::npos);

    // A table changed between runs is read by the next run.
    writeRevenueTable(db.dir() / "TABDEF" / "RECEITA_TCESE.XML", {{"11120000", "N"}});
    r = gerarClick(*ex, req, annualCatalogue(), monthlyCatalogue());
    ASSERT_EQ(r.outcome, RunOutcome::Completed) << r.error;
    const std::string prevRec = readBytes(out.path() / "Anual" / "PrevRec.txt");
    EXPECT_EQ(prevRec.find("2200711120000"), std::string::npos);
    EXPECT_NE(prevRec.find("2200711120200"), std::string::npos);
}
