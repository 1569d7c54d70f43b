// The works files: ObraServ with its per-work query and document check, LocObra,
// RespObra and the four files that tie works to agreements and contracts.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "engine/filegenerator.h"
#include "generators/obras.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

// Places of the fields these tests read, from the court's layouts.
const CourtField kObraServAt[] = {  // ObraServ.txt
    {"DESCRICAO_OBRA", 10, 255},
    {"REG_EXEC", 265, 2},
    {"ANO_LICIT", 267, 4},
    {"MOD_LIC", 271, 2},
    {"NUMLIC", 273, 16},
    {"ANO_PROC_DISP", 289, 4},
    {"MOD_DISP", 293, 2},
    {"NUM_PROC_DISP", 295, 16},
    {"TIPO_OBRA", 311, 2},
    {"NATUREZA", 313, 2},
    {"VALOR", 317, 15},
    {"PRAZO", 332, 4},
    {"TIPO_EXEC", 337, 1},
    {"DOC_EXEC", 338, 14},
    {"CONTRATO_OBRA", 352, 1},
    {"OBRA_LICIT", 353, 1},
    {"OBRA_DISP", 354, 1},
    {"OBRA_CONV", 355, 1},
    {"ARQ_OBRA", 407, 50},
    {"ARQ_PLANILHA", 557, 50},
    {"PROC_DISP_UNID#2", 641, 16},
};

// Windows-1252 text followed by blanks up to `n` bytes.

constexpr const char* kMenu = "MÓDULO CONTAS - CADASTROS AUXILIARES > 17 - CADASTRO DE OBRAS";

// One CADOBRA row; every member is SQL text. The defaults make a clean work 12 of
// entity 1, registered in March 2007, executed under contract after a bidding.
struct Work {
    std::string numero = "'12'";
    std::string ano = "2007";
    std::string empresa = "1";
    std::string descricao = "'PAVIMENTAÇÃO DA RUA CONCEIÇÃO'";
    std::string localizacao = "'BAIRRO JOSÉ CONRADO'";
    std::string data = "'2007-03-15'";
    std::string regExec = "'02 - EMPREITADA POR PREÇO GLOBAL'";
    std::string numlic = "'005/2007'";
    std::string categoria = "'2 - REFORMA'";
    std::string tipo = "'01 - PAVIMENTAÇÃO'";
    std::string valor = "150000.50";
    std::string prazo = "180";
    std::string tipoExec = "'2 - PESSOA JURÍDICA'";
    std::string docExec = "'12345678000195'";
};

using Generator = void (*)(Exporter&, std::string_view);

struct File : GeneratedFile {
    const char* fixture;  // the name of its statement's fixture
};

const File kObraServ{{"ObraServ", ObraServ, 662}, "ObraServ"};
const File kLocObra{{"LocObra", LocObra, 269}, "LocObra"};
const File kRespObra{{"RespObra", RespObra, 244}, "RespObra"};
const File kObraConv{{"ObraConv", ObraConv, 29}, "ObraConv"};
const File kObraOConv{{"ObraOConv", ObraOCnv, 45}, "ObraOCnv"};
const File kObraCont{{"ObraCont", ObraCont, 29}, "ObraCont"};
const File kObraOCont{{"ObraOCont", ObraOCnt, 59}, "ObraOCnt"};

class ObrasTest : public GeneratorTest {
protected:
    void SetUp() override {
        // The files go to the period folder; the documents sit in the chosen one.
        ex->ctx.periodFolder = "Mensal/";
        ex->ctx.outputDir = out.str() + "Mensal/";
        fs::create_directories(period());
        db.exec("insert into CADLIC (NUMLIC, ANO, MODLIC) values ('005/2007', 2007, 'TOM3'); commit;");
    }

    fs::path period() const { return out.path() / "Mensal"; }

    void work(const Work& w) {
        db.exec("insert into CADOBRA (NUMERO, ANO, EMPRESA, DESCRICAO, LOCALIZACAO, DATA, REG_EXEC, NUMLIC,"
                " CATEGORIA, TIPO, VALOR, PRAZO, TIPO_EXEC, DOC_EXEC) values (" +
                w.numero + ", " + w.ano + ", " + w.empresa + ", " + w.descricao + ", " + w.localizacao + ", " +
                w.data + ", " + w.regExec + ", " + w.numlic + ", " + w.categoria + ", " + w.tipo + ", " +
                w.valor + ", " + w.prazo + ", " + w.tipoExec + ", " + w.docExec + "); commit;");
    }

    // The four documents of work 12/2007, named in another case than the record.
    void documents() {
        for (const char* d : {"obra122007.doc", "ObraCron122007.DOC", "OBRAORC122007.doc", "obraplan122007.DOC"})
            writeBytes(out.path() / d, "documento");
    }

    // Descriptions of the log entries, in order.
    std::vector<std::string> descriptions() {
        std::vector<std::string> r;
        for (const std::string& e : entries()) {
            const std::size_t a = e.find('|', e.find('|', e.find('|') + 1) + 1) + 1;
            r.push_back(e.substr(a, e.find('|', a) - a));
        }
        return r;
    }

    void reset() {
        db.exec("delete from CADOBRA; delete from DESPES; delete from DESDIS; delete from CONTRATOS;"
                " delete from CADCONV; delete from CADFISCAL; delete from CADOBRAFISCAL; delete from TABEMPRESA;"
                " commit;");
        ex->emptyLog();
    }

    std::string missing(int line, const std::string& document) {
        return "OBRASERV.TXT|INEXISTENTE|" + std::to_string(line) + "|Arquivo " + out.str() + document +
               " não Encontrado|";
    }
};

std::string entry(const std::string& file, int line, const std::string& descricao) {
    return file + "|ERRO|" + std::to_string(line) + "|" + descricao + "|" + kMenu;
}

const std::string c1 = "ANO DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c2 = "NÚMERO DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c3 = "DESCRIÇÃO DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c4 = "REGIME DE EXECUÇÃO DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c5 = "ANO DA LICITAÇÃO DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c6 = "MODALIDADE DA LICITAÇÃO DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c7 = "NÚMERO DA LICITAÇÃO DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c8 = "ANO DO PROCESSO DE DISPENSA/INEXIG. DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c9 = "MODALIDADE DA DISPENSA/INEXIG. DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c10 = "NÚMERO DO PROCESSO DE DISPENSA/INEXIG. DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c11 = "TIPO DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c12 = "NATUREZA DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c13 = "VALOR NÃO PODE FICAR EM BRANCO";
const std::string c14 = "PRAZO DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c15 = "TIPO DO EXECUTOR DA OBRA NÃO PODE FICAR EM BRANCO";
const std::string c16 = "CPF/CNPJ DO EXECUTOR DA OBRA NÃO PODE FICAR EM BRANCO";

}  // namespace

TEST_F(ObrasTest, LayoutLengths) {
    EXPECT_EQ(kObraServLayout.recordLength(), 662);
    EXPECT_EQ(kLocObraLayout.recordLength(), 269);
    EXPECT_EQ(kRespObraLayout.recordLength(), 244);
    EXPECT_EQ(kObraConvLayout.recordLength(), 29);
    EXPECT_EQ(kObraOCnvLayout.recordLength(), 45);
    EXPECT_EQ(kObraContLayout.recordLength(), 29);
    EXPECT_EQ(kObraOCntLayout.recordLength(), 59);
}

// The statements are the court's texts with month, year and entity inserted (the
// per-work one with the work's number). A month without works gives files of
// header and trailer only.
TEST_F(ObrasTest, QueriesAndEmptyMonth) {
    for (const File* f : {&kObraServ, &kLocObra, &kRespObra, &kObraConv, &kObraOConv, &kObraCont, &kObraOCont}) {
        SCOPED_TRACE(f->name);
        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, courtQuery(f->fixture));
    }
    EXPECT_TRUE(entries().empty());

    work({});
    documents();
    EXPECT_EQ(lines(kObraServ).size(), 3u);
    EXPECT_EQ(dm.CdsAux.source().sql, asParameter(courtQuery("ObraServ_2"), "'12'"));
}

// Entity "00" exports every entity's works, contracts and agreements, except the
// professionals, which stay restricted to entity "00".
TEST_F(ObrasTest, AllEntities) {
    ex->ctx.entityCode = "00";
    work({});
    work({.numero = "'7'", .empresa = "2"});
    db.exec("insert into CADFISCAL (CODIGO, CREA, UF_CREA, QUALIFICA, CPF) values (1, '1', 'SE', '01 - X', '1');"
            " insert into CADOBRAFISCAL (NUMFISCAL, NUMOBRA) values (1, '12');"
            " insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values ('5/2007', '2007-03-02', '12', 1);"
            " insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values ('6/2007', '2007-03-02', '7', 2);"
            " commit;");
    EXPECT_EQ(lines(kLocObra).size(), 4u);
    EXPECT_EQ(lines(kObraCont).size(), 4u);
    EXPECT_TRUE(dm.CdsGeral.source().sql.ends_with("AND EXTRACT(YEAR FROM A.DTASSI) = '2007' "));
    EXPECT_EQ(lines(kRespObra), (std::vector<std::string>{"1200703", "3000000"}));
    EXPECT_NE(dm.CdsGeral.source().sql.find("AND C.EMPRESA = '00' "), std::string::npos);
}

// A clean work with bidding, contract and agreement of its own entity and its four
// documents in the chosen folder under another case: the record width by width.
TEST_F(ObrasTest, ObraServRecord) {
    work({});
    db.exec("insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values ('5/2007', '2007-01-10', '12', 1);"
            " insert into CADCONV (CONVENIO, NUMCONV, DATA, NUMOBRA, EMPRESA) values (1, '3/2007', '2007-01-05',"
            " '12', 1); commit;");
    documents();
    const std::string record = std::string("2") +
                               "2007" + "0012" +                                         // work
                               pad("PAVIMENTA\xC7\xC3O DA RUA CONCEI\xC7\xC3O", 255) +   // DESCRICAO_OBRA
                               "02" +                                                    // REG_EXEC
                               "2007" + "03" + zeros(9) + "0052007" +                    // bidding
                               sp(4) + sp(2) + sp(16) +                                  // waiver
                               "02" + "04" + "01" +                                      // type, nature, "01"
                               "000000015000050" + "0180" + "1" +                        // VALOR, PRAZO, "1"
                               "2" + "12345678000195" +                                  // executor
                               "1" + "1" + "0" + "1" + "0" +                             // links, REL_IMPACTO
                               sp(50) +                                                  // ARQ_IMPACTO
                               pad("OBRA122007.DOC", 50) + pad("OBRACRON122007.DOC", 50) +
                               pad("OBRAORC122007.DOC", 50) + pad("OBRAPLAN122007.DOC", 50) +
                               sp(4) + sp(2) + sp(16) + sp(6) + sp(4) + sp(2) + sp(16) + sp(6);
    ASSERT_EQ(record.size(), 662u);
    EXPECT_EQ(lines(kObraServ), (std::vector<std::string>{"1200703", record, "3000001"}));
    EXPECT_TRUE(entries().empty());
}

// Regime '01': no executor, contract, bidding, waiver or spreadsheet, no messages for
// them, and only three documents looked for.
TEST_F(ObrasTest, ObraServOwnExecution) {
    work({.regExec = "'01'"});
    db.exec("insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values ('5/2007', '2007-01-10', '12', 1);"
            " insert into DESDIS (FICHA, EMPRESA) values (5, 1);"
            " insert into DESPES (PKEMP, LICIT, MODALIDADE, NUMLICMOD, CODOBRA, FICHA) values"
            " ('E1', 'DISPENSA', 'DISPENSA', '0012/07', '12', 5); commit;");
    const std::vector<std::string> got = lines(kObraServ);
    ASSERT_EQ(got.size(), 3u);
    const std::string& r = got[1];
    ASSERT_EQ(r.size(), 662u);
    const std::map<std::string, std::string> fields = {
        {"REG_EXEC", "01"},        {"ANO_LICIT", sp(4)},      {"MOD_LIC", sp(2)},       {"NUMLIC", sp(16)},
        {"ANO_PROC_DISP", sp(4)},  {"MOD_DISP", sp(2)},       {"NUM_PROC_DISP", sp(16)}, {"TIPO_EXEC", " "},
        {"DOC_EXEC", sp(14)},      {"CONTRATO_OBRA", "0"},    {"OBRA_LICIT", "0"},       {"OBRA_DISP", "0"},
        {"ARQ_OBRA", pad("OBRA122007.DOC", 50)},              {"ARQ_PLANILHA", sp(50)},  {"PROC_DISP_UNID#2", sp(16)},
    };
    for (const auto& [name, value] : fields) EXPECT_EQ(fieldAt(kObraServAt, r, name), value) << name;
    EXPECT_EQ(entries(), (std::vector<std::string>{missing(2, "OBRA122007.DOC"), missing(2, "OBRACRON122007.DOC"),
                                                   missing(2, "OBRAORC122007.DOC")}));
}

// Codes, links and checks of one work at a time (documents present).
TEST_F(ObrasTest, ObraServCodesAndChecks) {
    struct Case {
        const char* name;
        Work w;
        std::string sql;  // further rows
        std::map<std::string, std::string> fields;
        std::vector<std::string> logged;  // descriptions, in order
    };
    const Case cases[] = {
        {"bidding number without a bidding row",
         {.numlic = "'099/2007'"},
         "",
         {{"ANO_LICIT", sp(4)}, {"MOD_LIC", sp(2)}, {"NUMLIC", zeros(9) + "0992007"}, {"OBRA_LICIT", "1"}},
         {c5, c6}},
        {"modality outside the table",
         {},
         "update CADLIC set MODLIC = 'LEI1';",
         {{"ANO_LICIT", "2007"}, {"MOD_LIC", sp(2)}},
         {c6}},
        {"electronic auction", {}, "update CADLIC set MODLIC = 'PE01';", {{"MOD_LIC", "12"}}, {}},
        {"category 8 and nature 23 are not in the tables: zeros",
         {.categoria = "'8 - OUTRA'", .tipo = "'23 - OUTRO'"},
         "",
         {{"TIPO_OBRA", "00"}, {"NATUREZA", "00"}},
         {c11, c12}},
        {"category 5 and nature 36",
         {.categoria = "'5'", .tipo = "'36'"},
         "",
         {{"TIPO_OBRA", "01"}, {"NATUREZA", "09"}},
         {}},
        {"empty work: its checks in record order",
         {.descricao = "null", .regExec = "null", .numlic = "null", .prazo = "null", .tipoExec = "' '",
          .docExec = "null"},
         "",
         {{"DESCRICAO_OBRA", sp(255)}, {"REG_EXEC", sp(2)}, {"NUMLIC", sp(16)}, {"PRAZO", "0000"},
          {"TIPO_EXEC", " "}, {"DOC_EXEC", sp(14)}, {"CONTRATO_OBRA", "0"}, {"OBRA_LICIT", "0"},
          {"ARQ_PLANILHA", pad("OBRAPLAN122007.DOC", 50)}},
         {c3, c4, c14, c15, c16}},
        {"waiver on an appropriation of the work's entity",
         {},
         "insert into DESDIS (FICHA, EMPRESA) values (5, 1);"
         " insert into DESPES (PKEMP, LICIT, MODALIDADE, NUMLICMOD, CODOBRA, FICHA) values"
         " ('E1', 'DISPENSA ART. 24', 'DISPENSA ART. 24', '0012/07', '12', 5);",
         {{"ANO_PROC_DISP", "2007"}, {"MOD_DISP", "08"}, {"NUM_PROC_DISP", pad("0012", 16)}, {"OBRA_DISP", "1"},
          {"PROC_DISP_UNID#2", sp(16)}},
         {}},
        {"non-requirement on another entity's appropriation",
         {},
         "insert into DESDIS (FICHA, EMPRESA) values (5, 2);"
         " insert into DESPES (PKEMP, LICIT, MODALIDADE, NUMLICMOD, CODOBRA, FICHA) values"
         " ('E1', 'INEXIGIB. ART. 25', 'INEXIGIB ART. 25', '0003/06', '12', 5);",
         {{"ANO_PROC_DISP", "2006"}, {"MOD_DISP", "09"}, {"NUM_PROC_DISP", pad("0003", 16)}, {"OBRA_DISP", "2"},
          {"PROC_DISP_UNID#2", zeros(16)}},
         {}},
        {"waiver without process number",
         {},
         "insert into DESDIS (FICHA, EMPRESA) values (5, 1);"
         " insert into DESPES (PKEMP, LICIT, MODALIDADE, CODOBRA, FICHA) values"
         " ('E1', 'DISPENSA', 'DISPENSA', '12', 5);",
         {{"ANO_PROC_DISP", sp(4)}, {"MOD_DISP", "08"}, {"NUM_PROC_DISP", sp(16)}, {"OBRA_DISP", "1"}},
         {c8, c10}},
        {"waiver in LICIT only: the per-work link decides, fields blank",
         {},
         "insert into DESDIS (FICHA, EMPRESA) values (5, 1);"
         " insert into DESPES (PKEMP, LICIT, NUMLICMOD, CODOBRA, FICHA) values"
         " ('E1', 'DISPENSA', '0012/07', '12', 5);",
         {{"ANO_PROC_DISP", sp(4)}, {"MOD_DISP", sp(2)}, {"NUM_PROC_DISP", sp(16)}, {"OBRA_DISP", "0"}},
         {}},
        {"contract and agreement of another entity",
         {},
         "insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values ('5/2007', '2007-01-10', '12', 2);"
         " insert into CADCONV (CONVENIO, NUMCONV, DATA, NUMOBRA, EMPRESA) values (1, '3/2007', '2007-01-05',"
         " '12', 2);",
         {{"CONTRATO_OBRA", "2"}, {"OBRA_CONV", "2"}},
         {}},
        {"executor document longer than the field is cut",
         {.docExec = "'12.345.678/0001-95'"},
         "",
         {{"DOC_EXEC", "12.345.678/000"}},
         {}},
    };
    documents();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        db.exec("update CADLIC set MODLIC = 'TOM3'; commit;");
        work(c.w);
        if (!c.sql.empty()) db.exec(c.sql + " commit;");
        const std::vector<std::string> got = lines(kObraServ);
        ASSERT_EQ(got.size(), 3u);
        EXPECT_EQ(got[1].size(), 662u);
        for (const auto& [name, value] : c.fields) EXPECT_EQ(fieldAt(kObraServAt, got[1], name), value) << name;
        EXPECT_EQ(descriptions(), c.logged);
        for (const std::string& e : entries()) EXPECT_EQ(e.substr(0, 19), "OBRASERV.TXT|ERRO|2");
    }
}

// Commitments under two waiver processes give two records, both counted; each
// record looks for its documents and logs its own line.
TEST_F(ObrasTest, ObraServOneRecordPerProcess) {
    work({});
    db.exec("insert into DESDIS (FICHA, EMPRESA) values (5, 1);"
            " insert into DESPES (PKEMP, LICIT, MODALIDADE, NUMLICMOD, CODOBRA, FICHA) values"
            " ('E1', 'DISPENSA', 'DISPENSA', '0012/07', '12', 5);"
            " insert into DESPES (PKEMP, LICIT, MODALIDADE, NUMLICMOD, CODOBRA, FICHA) values"
            " ('E2', 'DISPENSA', 'DISPENSA', '0012/07', '12', 5);"
            " insert into DESPES (PKEMP, LICIT, MODALIDADE, NUMLICMOD, CODOBRA, FICHA) values"
            " ('E3', 'DISPENSA', 'DISPENSA', '0020/07', '12', 5); commit;");
    writeBytes(out.path() / "OBRA122007.DOC", "documento");
    writeBytes(out.path() / "OBRACRON122007.DOC", "documento");
    const std::vector<std::string> got = lines(kObraServ);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[3], "3000002");
    std::vector<std::string> processes{fieldAt(kObraServAt, got[1], "NUM_PROC_DISP"),
                                       fieldAt(kObraServAt, got[2], "NUM_PROC_DISP")};
    std::sort(processes.begin(), processes.end());
    EXPECT_EQ(processes, (std::vector<std::string>{pad("0012", 16), pad("0020", 16)}));
    EXPECT_EQ(entries(), (std::vector<std::string>{missing(2, "OBRAORC122007.DOC"), missing(2, "OBRAPLAN122007.DOC"),
                                                   missing(3, "OBRAORC122007.DOC"),
                                                   missing(3, "OBRAPLAN122007.DOC")}));
}

// A work without amount: its entry is logged, then the amount field stops the
// run with an error naming it, and the file is not reported as done.
TEST_F(ObrasTest, ObraServWithoutAmount) {
    work({.valor = "null"});
    documents();
    try {
        ObraServ(*ex, "ObraServ");
        FAIL() << "no error";
    } catch (const GenerationError& e) {
        EXPECT_NE(std::string(e.what()).find("VALOR"), std::string::npos) << e.what();
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{entry("OBRASERV.TXT", 2, c13)}));
    EXPECT_TRUE(obs.closed.empty());
}

// Location: the number left-aligned as text and the city code always blank.
TEST_F(ObrasTest, LocObra) {
    work({});
    work({.numero = "'13'", .ano = "null", .localizacao = "'  '"});
    work({.numero = "'14'", .data = "'2007-04-01'"});
    work({.numero = "'15'", .empresa = "2"});
    const std::string first = std::string("2") + "2007" + "12  " + pad("BAIRRO JOS\xC9 CONRADO", 255) + sp(5);
    const std::string second = std::string("2") + sp(4) + "13  " + sp(255) + sp(5);
    ASSERT_EQ(first.size(), 269u);
    EXPECT_EQ(lines(kLocObra), (std::vector<std::string>{"1200703", first, second, "3000002"}));
    const std::string local = "LOCAL DA OBRA NÃO PODE FICAR EM BRANCO";
    EXPECT_EQ(entries(), (std::vector<std::string>{entry("LOCOBRA.TXT", 3, c1), entry("LOCOBRA.TXT", 3, local)}));

    reset();
    work({.numero = "null"});
    const std::vector<std::string> got = lines(kLocObra);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1].substr(5, 4), sp(4));
    EXPECT_EQ(entries(), (std::vector<std::string>{entry("LOCOBRA.TXT", 2, c2)}));
}

// One record per professional and work of the month and entity; a month whose
// works have no professional gives header and trailer only.
TEST_F(ObrasTest, RespObra) {
    work({});
    work({.numero = "'13'"});
    work({.numero = "'14'", .empresa = "2"});
    EXPECT_EQ(lines(kRespObra), (std::vector<std::string>{"1200703", "3000000"}));

    db.exec("insert into CADFISCAL (CODIGO, CREA, UF_CREA, QUALIFICA, CPF) values"
            " (1, '123456-D', 'SE', '01 - ENGENHEIRO CIVIL', '123.456.789-09');"
            " insert into CADFISCAL (CODIGO, CREA, UF_CREA, QUALIFICA, CPF) values (2, null, ' ', null, null);"
            " insert into CADOBRAFISCAL (NUMFISCAL, NUMOBRA) values (1, '12');"
            " insert into CADOBRAFISCAL (NUMFISCAL, NUMOBRA) values (1, '13');"
            " insert into CADOBRAFISCAL (NUMFISCAL, NUMOBRA) values (1, '14');"
            " insert into CADOBRAFISCAL (NUMFISCAL, NUMOBRA) values (2, '12'); commit;");
    const std::string full = std::string("2") + pad("123456-D", 12) + "SE" + "01" + sp(12) + "1" + "123.456.789-09" +
                             pad("ENGENHEIRO CIVIL", 80) + sp(120);
    const std::string empty = std::string("2") + sp(12) + sp(2) + sp(2) + sp(12) + "1" + sp(14) + sp(80) + sp(120);
    ASSERT_EQ(full.size(), 244u);
    std::vector<std::string> got = lines(kRespObra);
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[4], "3000003");
    // The join gives no order: find the empty professional's line.
    int emptyLine = 0;
    for (int i = 1; i <= 3; ++i) {
        if (got[static_cast<std::size_t>(i)] == empty) emptyLine = i + 1;
        else EXPECT_EQ(got[static_cast<std::size_t>(i)], full);
    }
    ASSERT_NE(emptyLine, 0);
    EXPECT_EQ(entries(),
              (std::vector<std::string>{
                  entry("RESPOBRA.TXT", emptyLine, "CREA DO RESPONSÁVEL DA OBRA NÃO PODE FICAR EM BRANCO"),
                  entry("RESPOBRA.TXT", emptyLine, "UF DO CREA DO RESPONSÁVEL DA OBRA NÃO PODE FICAR EM BRANCO"),
                  entry("RESPOBRA.TXT", emptyLine,
                        "CÓDIGO DO RESPONSÁVEL DO RESPONSÁVEL DA OBRA NÃO PODE FICAR EM BRANCO"),
                  entry("RESPOBRA.TXT", emptyLine, "CPF DO RESPONSÁVEL DA OBRA NÃO PODE FICAR EM BRANCO")}));

    reset();
    work({});
    db.exec("insert into CADFISCAL (CODIGO, CREA, UF_CREA, QUALIFICA, CPF) values"
            " (3, '9', 'SE', '02 - ARQUITETA SÊNIOR DA SECRETARIA DE OBRAS E SERVIÇOS', '98765432100');"
            " insert into CADOBRAFISCAL (NUMFISCAL, NUMOBRA) values (3, '12'); commit;");
    got = lines(kRespObra);
    ASSERT_EQ(got.size(), 3u);
    // Characters 6 to 45 of the qualification, one byte each in the file.
    EXPECT_EQ(got[1].substr(44, 80), pad("ARQUITETA S\xCANIOR DA SECRETARIA DE OBRAS ", 80));
    EXPECT_EQ(got[1].size(), 244u);
}

// Contracts signed and agreements dated in the month, to the same-entity file or,
// with the work's entity code, to the other-entity file.
TEST_F(ObrasTest, LinkFiles) {
    work({});
    work({.numero = "'7'", .ano = "2006", .empresa = "2", .data = "'2006-05-01'"});
    db.exec("insert into TABEMPRESA (EMPRESA, CODAUDESP) values (1, 111111);"
            " insert into TABEMPRESA (EMPRESA, CODAUDESP) values (2, 123456);"
            " insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values ('5/2007', '2007-03-02', '12', 1);"
            " insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values ('6/2007', '2007-03-20', '7', 1);"
            " insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values ('1/2007', '2007-02-20', '12', 1);"
            " insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values ('9/2007', '2007-03-20', '12', 2);"
            " insert into CADCONV (CONVENIO, NUMCONV, DATA, NUMOBRA, EMPRESA) values (1, '3/2007', '2007-03-05',"
            " '12', 1);"
            " insert into CADCONV (CONVENIO, NUMCONV, DATA, NUMOBRA, EMPRESA) values (2, '4/2007', '2007-03-06',"
            " '7', 1);"
            " insert into CADCONV (CONVENIO, NUMCONV, DATA, NUMOBRA, EMPRESA) values (3, '8/2007', '2008-03-06',"
            " '12', 1); commit;");
    const std::string work12 = std::string("2") + "2007" + "0012";
    const std::string work7 = std::string("2") + "2006" + "0007";
    const std::pair<const File*, std::string> cases[] = {
        {&kObraConv, work12 + "2007" + zeros(11) + "32007"},
        {&kObraOConv, work7 + "2007" + zeros(11) + "42007" + pad("123456", 16)},
        {&kObraCont, work12 + "2007" + zeros(11) + "52007"},
        {&kObraOCont, work7 + "2007" + zeros(11) + "62007" + pad("123456", 30)},
    };
    for (const auto& [f, record] : cases) {
        SCOPED_TRACE(f->name);
        EXPECT_EQ(record.size(), static_cast<std::size_t>(f->length));
        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", record, "3000001"}));
    }
    EXPECT_TRUE(entries().empty());
}

// The checks of the link files, each with its own wording.
TEST_F(ObrasTest, LinkFileChecks) {
    work({.numero = "' '", .ano = "null"});
    work({.numero = "'/'", .ano = "null", .empresa = "2"});
    db.exec("insert into TABEMPRESA (EMPRESA, CODAUDESP) values (2, null);"
            " insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values (' ', '2007-03-02', ' ', 1);"
            " insert into CONTRATOS (CODIGO, DTASSI, NUMOBRA, EMPRESA) values ('-', '2007-03-02', '/', 1);"
            " insert into CADCONV (CONVENIO, NUMCONV, DATA, NUMOBRA, EMPRESA) values (1, null, '2007-03-05', ' ', 1);"
            " insert into CADCONV (CONVENIO, NUMCONV, DATA, NUMOBRA, EMPRESA) values (2, null, '2007-03-05', '/', 1);"
            " commit;");
    struct Case {
        const File* f;
        std::string log;
        std::string record;
        std::vector<std::string> logged;
    };
    const std::string conv = "NÚMERO DO CONVÊNIO DA OBRA NÃO PODE FICAR EM BRANCO";
    const std::string cont = "NÚMERO DO CONTRATO DA OBRA NÃO PODE FICAR EM BRANCO";
    const Case cases[] = {
        {&kObraConv, "OBRACONV.TXT", std::string("2") + sp(4) + "0000" + "2007" + zeros(16), {c1, c2, conv}},
        {&kObraOConv, "OBRAOCONV.TXT", std::string("2") + sp(4) + "0000" + "2007" + zeros(16) + sp(16),
         {c1, conv, "CÓDIGO DA UNIDADE DO CONVÊNIO DA OBRA NÃO PODE FICAR EM BRANCO"}},
        {&kObraCont, "OBRACONT.TXT", std::string("2") + sp(4) + "0000" + "2007" + zeros(16),
         {c1, "NUMERO DA OBRA NÃO PODE FICAR EM BRANCO", cont}},
        {&kObraOCont, "OBRAOCONT.TXT", std::string("2") + sp(4) + "0000" + "2007" + zeros(16) + sp(30),
         {c1, "UNIDADE GESTORA NÃO PODE FICAR EM BRANCO"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.f->name);
        ex->emptyLog();
        EXPECT_EQ(lines(*c.f), (std::vector<std::string>{"1200703", c.record, "3000001"}));
        std::vector<std::string> want;
        for (const std::string& d : c.logged) want.push_back(entry(c.log, 2, d));
        EXPECT_EQ(entries(), want);
    }
}

// A work number is data: a quote in it never breaks or changes the work's statement.
TEST_F(ObrasTest, ObraServWorkNumberWithAQuote) {
    Work quoted;
    quoted.numero = "'D''AGUA'";
    work(quoted);
    Work crafted;
    crafted.numero = "'x'' OR ''''='''";
    work(crafted);
    const std::vector<std::string> l = lines(kObraServ);
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[3], "3000002");
}
