// The contract files Contrato, AditCont, CancCont and PartCont, and the check for
// the signed documents in the chosen folder.
#include <gtest/gtest.h>

#include <map>

#include "engine/filegenerator.h"
#include "generators/contratos.h"
#include "engine/suporte.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

// Places of the fields these tests read, from the court's layouts.
const CourtField kAditContAt[] = {  // AditCont.txt
    {"CONTRATO", 6, 16},
    {"TERMO_ADITIVO", 22, 16},
    {"OBJETIVO", 41, 255},
    {"DATA_FIM", 455, 8},
    {"ARQUIVO_ADITIVO", 531, 50},
    {"DIAS_VIGENCIA", 751, 4},
    {"DADO_PUBL", 755, 1},
};
const CourtField kCancContAt[] = {  // CancCont.txt
    {"CONTRATO", 6, 16},
    {"DADO_PUBL", 413, 1},
};
const CourtField kContratosAt[] = {  // Contrato.txt
    {"N_CONTRATO", 6, 16},
    {"OBJETIVO", 22, 255},
    {"VALOR_CONTRATO", 277, 15},
    {"DATA_PUBLIC", 300, 8},
    {"VEIC_PUBLIC", 308, 120},
    {"DATA_FIM", 436, 8},
    {"ANO_PROC_LICIT", 512, 4},
    {"COD_MODALI", 516, 2},
    {"PROC_LICIT", 518, 16},
    {"ANO_PROC_DISP", 534, 4},
    {"COD_MOD_DIS", 538, 2},
    {"PROC_DIS", 540, 16},
    {"TIPO_CONTRATO", 606, 2},
    {"DIA_VIGENCIA", 658, 4},
    {"DADO_PUBLI", 662, 1},
    {"CONTRATO_ORIG_LICITACAO", 665, 1},
    {"CONTRATO_ORIG_DISPENSA", 666, 1},
    {"CONTRATO_ORIG_OBRA", 667, 1},
};
const CourtField kPartContAt[] = {  // PartCont.txt
    {"CONTRATO", 6, 16},
};

// Windows-1252 text followed by blanks up to `n` bytes.

constexpr const char* kMenu = "MÓDULO CONTAS - MENU CADASTROS AUXILIARES > 12 - CONTRATOS";

// One CONTRATOS row; every member is SQL text. The defaults make a clean bidding
// contract of a work, signed in March 2007 by entity 1.
struct Contract {
    std::string codigo = "'12/2007'";
    std::string objeto = "'REFORMA DA ESCOLA CONCEIÇÃO'";
    std::string valcon = "150000.50";
    std::string dtassi = "'2007-03-10'";
    std::string dtpubl = "'2007-03-12'";
    std::string veicpub = "'DIÁRIO OFICIAL'";
    std::string vigeni = "'2007-03-10'";
    std::string vigenf = "'2007-12-31'";
    std::string modali = "'OBRA TOMADA DE PREÇOS'";
    std::string nproli = "'005/2007'";
    std::string flegal = "'LICITAÇÃO'";
    std::string tipoco = "'12 - OBRAS'";
    std::string numobra = "'7'";
    std::string empresa = "1";
    std::string codif = "10";
    std::string dtanula = "null";
    std::string motianu = "null";
    std::string dtpubanu = "null";
    std::string veicanu = "null";
};

const GeneratedFile kContrato{"Contrato", Contratos, 723};
const GeneratedFile kAditCont{"AditCont", AditCont, 756};
const GeneratedFile kCancCont{"CancCont", CancCont, 413};
const GeneratedFile kPartCont{"PartCont", PartCont, 36};

class ContratosTest : public GeneratorTest {
protected:
    void SetUp() override {
        // The files go to the period folder; the documents sit in the chosen one.
        ex->ctx.periodFolder = "Mensal/";
        ex->ctx.outputDir = out.str() + "Mensal/";
        fs::create_directories(period());
        db.exec("insert into CADLIC (NUMLIC, ANO) values ('005/2007', 2007); commit;");
    }

    fs::path period() const { return out.path() / "Mensal"; }

    void contract(const Contract& c) {
        db.exec("insert into CONTRATOS (CODIGO, OBJETO, VALCON, DTASSI, DTPUBL, VEICPUB, VIGENI, VIGENF, MODALI,"
                " NPROLI, FLEGAL, TIPOCO, NUMOBRA, EMPRESA, CODIF, DTANULA, MOTIANU, DTPUBANU, VEICANU) values (" +
                c.codigo + ", " + c.objeto + ", " + c.valcon + ", " + c.dtassi + ", " + c.dtpubl + ", " + c.veicpub +
                ", " + c.vigeni + ", " + c.vigenf + ", " + c.modali + ", " + c.nproli + ", " + c.flegal + ", " +
                c.tipoco + ", " + c.numobra + ", " + c.empresa + ", " + c.codif + ", " + c.dtanula + ", " +
                c.motianu + ", " + c.dtpubanu + ", " + c.veicanu + "); commit;");
    }

    // A commitment naming a contract: PKEMP, CONTRATO, DATAE, PROC.
    void commitment(const std::string& values) {
        db.exec("insert into DESPES (PKEMP, CONTRATO, DATAE, PROC) values (" + values + "); commit;");
    }

    void document(const std::string& name) { writeBytes(out.path() / name, "documento"); }

    void reset() {
        db.exec("delete from CONTRATOS; delete from CONTRATOSADITAMENTO; delete from DESPES; delete from DESFOR;"
                " commit;");
        ex->emptyLog();
    }

    std::string missing(const std::string& file, int line, const std::string& document) {
        return file + "|INEXISTENTE|" + std::to_string(line) + "|Arquivo " + out.str() + document +
               " não Encontrado|";
    }
};

std::string entry(const std::string& file, int line, const std::string& descricao) {
    return file + "|ERRO|" + std::to_string(line) + "|" + descricao + "|" + kMenu;
}

}  // namespace

TEST_F(ContratosTest, LayoutLengths) {
    EXPECT_EQ(kContratosLayout.recordLength(), 723);
    EXPECT_EQ(kAditContLayout.recordLength(), 756);
    EXPECT_EQ(kCancContLayout.recordLength(), 413);
    EXPECT_EQ(kPartContLayout.recordLength(), 36);
}

// The statements are the court's texts with month, year and entity inserted. A
// month without contracts gives files of header and trailer only.
TEST_F(ContratosTest, QueriesAndEmptyMonth) {
    for (const GeneratedFile* f : {&kContrato, &kAditCont, &kCancCont, &kPartCont}) {
        SCOPED_TRACE(f->name);
        const char* fixture = f == &kContrato ? "Contratos" : f->name;
        std::string expected = courtQuery(fixture);
        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
    }
    EXPECT_TRUE(entries().empty());
}

TEST_F(ContratosTest, DocumentName) {
    EXPECT_EQ(documentName("CONTR12/2008"), "CONTR122008.DOC");
    EXPECT_EQ(documentName("ADCONT1/2/3-4"), "ADCONT123-4.DOC");
    EXPECT_EQ(documentName(""), ".DOC");
}

// A clean bidding contract of a work, its document in the chosen folder under
// another case: the record width by width and nothing logged.
TEST_F(ContratosTest, ContratoRecord) {
    contract({});
    document("contr122007.doc");
    const std::string record = std::string("2") +
                               "2007" +                                          // ANO_CONTRATO
                               zeros(10) + "122007" +                            // N_CONTRATO
                               pad("REFORMA DA ESCOLA CONCEI\xC7\xC3O", 255) +   // OBJETIVO
                               "000000015000050" +                               // VALOR_CONTRATO
                               "20070310" + "20070312" +                         // celebration, publication
                               pad("DI\xC1RIO OFICIAL", 120) +                   // VEIC_PUBLIC
                               "20070310" + "20071231" +                         // validity
                               sp(10) + sp(8) + sp(50) +                         // legal opinion
                               "2007" + "17" + pad("005/2007", 16) +             // bidding process
                               "2007" + sp(2) + sp(16) +                         // waiver process
                               pad("CONTR122007.DOC", 50) +                      // document
                               pad("2", 2) +                                     // TIPO_CONTRATO
                               sp(50) +                                          // NOME_ARQUIVO_PARECER
                               "0296" +                                          // DIA_VIGENCIA
                               "1" + "0" + "0" + "1" + "0" + "1" +               // flags
                               sp(4) + sp(2) + sp(16) + sp(6) + sp(4) + sp(2) + sp(16) + sp(6);
    ASSERT_EQ(record.size(), 723u);
    EXPECT_EQ(lines(kContrato), (std::vector<std::string>{"1200703", record, "3000001"}));
    EXPECT_TRUE(entries().empty());
}

// A contract named by two commitments is written twice and counted twice; without
// its document each record gets an "INEXISTENTE" entry and the file is unchanged.
TEST_F(ContratosTest, ContratoTwiceAndMissingDocument) {
    contract({.flegal = "'DISPENSA ART. 24'"});
    commitment("'E1', '12/2007', '2007-02-01', '0012/2007'");
    commitment("'E2', '12/2007', '2007-02-01', '0012/2007'");
    document("CONTR122007.DOC.bak");
    const std::vector<std::string> got = lines(kContrato);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[3], "3000002");
    EXPECT_EQ(got[1], got[2]);
    EXPECT_EQ(fieldAt(kContratosAt, got[1], "N_CONTRATO"), zeros(10) + "122007");
    EXPECT_EQ(fieldAt(kContratosAt, got[1], "PROC_DIS"), pad("0012/2007", 16));
    EXPECT_EQ(entries(), (std::vector<std::string>{missing("CONTRATO.TXT", 2, "CONTR122007.DOC"),
                                                   missing("CONTRATO.TXT", 3, "CONTR122007.DOC")}));
}

// Origin of a contract (bidding, waiver, work), its codes and the checks that
// follow from it, one contract at a time.
TEST_F(ContratosTest, ContratoOriginsAndChecks) {
    struct Case {
        const char* name;
        Contract c;
        std::vector<std::string> commitments;  // DESPES values
        std::map<std::string, std::string> fields;
        std::vector<std::string> logged;  // descriptions, in order
    };
    const std::string c2 = "OBJETIVO NÃO PODE FICAR EM BRANCO";
    const std::string c6 = "VEÍCULO PUBLICAÇÃO NÃO PODE FICAR EM BRANCO";
    const std::string c7 = "ANO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO";
    const std::string c8 = "MODALIDADE DA LICITAÇÃO NÃO PODE FICAR EM BRANCO";
    const std::string c9 = "NÚMERO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO";
    const std::string c10 = "ANO DO PROCESSO DE DISPENSA/INEXIGILIDADE NÃO PODE FICAR EM BRANCO";
    const std::string c11 = "MODALIDADE DE DISPENSA/INEXIGILIDADE NÃO PODE FICAR EM BRANCO";
    const std::string c12 = "NÚMERO DO PROCESSO DE DISPENSA/INEXIGILIDADE NÃO PODE FICAR EM BRANCO";
    const std::string c13 = "TIPO DO CONTRATO NÃO PODE FICAR EM BRANCO";
    const Case cases[] = {
        {"bidding contract without process number: zeros",
         {.modali = "'PREGAO PRESENCIAL'", .nproli = "null"},
         {},
         {{"ANO_PROC_LICIT", sp(4)}, {"COD_MODALI", "12"}, {"PROC_LICIT", zeros(16)}, {"PROC_DIS", sp(16)},
          {"CONTRATO_ORIG_LICITACAO", "1"}, {"CONTRATO_ORIG_DISPENSA", "0"}},
         {c7, c9}},
        {"waiver contract: process from the commitment; no bidding number gives blanks",
         {.modali = "'OUTROS'", .nproli = "null", .flegal = "'DISPENSA ART. 24'"},
         {"'E1', '12/2007', '2006-12-20', '0012/2006'"},
         {{"ANO_PROC_LICIT", sp(4)}, {"COD_MODALI", "99"}, {"PROC_LICIT", sp(16)}, {"ANO_PROC_DISP", "2006"},
          {"COD_MOD_DIS", "08"}, {"PROC_DIS", pad("0012/2006", 16)}, {"CONTRATO_ORIG_LICITACAO", "0"},
          {"CONTRATO_ORIG_DISPENSA", "1"}},
         {}},
        {"non-requirement without commitment",
         {.modali = "'MAT / SERV - CONVITE'", .flegal = "'INEXIGIBILIDADE'"},
         {},
         {{"COD_MODALI", "16"}, {"PROC_LICIT", pad("005/2007", 16)}, {"ANO_PROC_DISP", sp(4)},
          {"COD_MOD_DIS", "11"}, {"PROC_DIS", zeros(16)}},
         {c10, c12}},
        {"LICITAÇÃO among other words is a waiver contract of the signature year",
         {.flegal = "'LICITAÇÃO DISPENSADA'"},
         {"'E1', '12/2007', '2006-12-20', '0012/2006'"},
         {{"ANO_PROC_DISP", "2007"}, {"COD_MOD_DIS", "08"}, {"PROC_DIS", zeros(16)},
          {"CONTRATO_ORIG_LICITACAO", "0"}, {"CONTRATO_ORIG_DISPENSA", "1"}},
         {c12}},
        {"LICITAÇÃO among other words, neither waiver nor non-requirement",
         {.flegal = "'LEI 8666 - LICITAÇÃO'"},
         {},
         {{"ANO_PROC_DISP", "2007"}, {"COD_MOD_DIS", sp(2)}, {"PROC_DIS", zeros(16)}},
         {c11, c12}},
        {"no legal basis at all",
         {.modali = "null", .flegal = "null"},
         {},
         {{"COD_MODALI", sp(2)}, {"ANO_PROC_DISP", sp(4)}, {"CONTRATO_ORIG_LICITACAO", "0"},
          {"CONTRATO_ORIG_DISPENSA", "1"}},
         {c10, c11, c12}},
        {"modality without a pattern of the table",
         {.modali = "'PREGÃO ELETRÔNICO'"},
         {},
         {{"COD_MODALI", sp(2)}},
         {c8}},
        {"the modality patterns are tried in order",
         {.modali = "'OBRA CONVITE / OBRA TOMADA'"},
         {},
         {{"COD_MODALI", "16"}},
         {}},
        {"concurrence",
         {.modali = "'MAT / SERV CONCORRENCIA'"},
         {},
         {{"COD_MODALI", "18"}},
         {}},
        {"empty bidding contract: its checks in record order",
         {.objeto = "null", .veicpub = "' '", .modali = "null", .nproli = "null", .tipoco = "null"},
         {},
         {{"OBJETIVO", sp(255)}, {"VEIC_PUBLIC", pad(" ", 120)}, {"TIPO_CONTRATO", sp(2)}},
         {c2, c6, c7, c8, c9, c13}},
        {"not published: no publication checks",
         {.dtpubl = "null", .veicpub = "null"},
         {},
         {{"DATA_PUBLIC", sp(8)}, {"VEIC_PUBLIC", sp(120)}, {"DADO_PUBLI", "0"}},
         {}},
        {"validity that ends before it starts loses its sign",
         {.vigeni = "'2007-03-31'", .vigenf = "'2007-03-01'"},
         {},
         {{"DIA_VIGENCIA", "0030"}},
         {}},
        {"validity without an end",
         {.vigenf = "null"},
         {},
         {{"DATA_FIM", sp(8)}, {"DIA_VIGENCIA", "0000"}},
         {}},
        {"validity only for a contract of a work",
         {.numobra = "null"},
         {},
         {{"DIA_VIGENCIA", sp(4)}, {"CONTRATO_ORIG_OBRA", "0"}},
         {}},
        {"a type other than 1 or 2 is not tested for a value",
         {.valcon = "0", .tipoco = "'13'"},
         {},
         {{"VALOR_CONTRATO", zeros(15)}, {"TIPO_CONTRATO", pad("3", 2)}},
         {}},
    };
    document("CONTR122007.DOC");
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        reset();
        contract(k.c);
        for (const std::string& v : k.commitments) commitment(v);
        const std::vector<std::string> got = lines(kContrato);
        ASSERT_EQ(got.size(), 3u);
        EXPECT_EQ(got[1].size(), 723u);
        for (const auto& [field, value] : k.fields) EXPECT_EQ(fieldAt(kContratosAt, got[1], field), value) << field;
        std::vector<std::string> expected;
        for (const std::string& d : k.logged) expected.push_back(entry("CONTRATO.TXT", 2, d));
        EXPECT_EQ(entries(), expected);
    }
}

// A NULL amount cannot be written: the check is logged where it applies and the file
// stops with an error naming the field, without trailer.
TEST_F(ContratosTest, NullAmountStopsTheFile) {
    struct Case {
        const char* tipoco;
        bool logged;
    };
    for (const Case& k : {Case{"'11'", true}, Case{"'12'", true}, Case{"'13'", false}}) {
        SCOPED_TRACE(k.tipoco);
        reset();
        contract({.valcon = "null", .tipoco = k.tipoco});
        document("CONTR122007.DOC");
        try {
            kContrato.run(*ex, kContrato.name);
            ADD_FAILURE() << "no error";
        } catch (const GenerationError& e) {
            const std::string msg = e.what();
            for (const char* part : {"Contrato.txt", "linha 2", "VALOR_CONTRATO"})
                EXPECT_NE(msg.find(part), std::string::npos) << part << " not in: " << msg;
        }
        EXPECT_EQ(fileLines(kContrato.name), std::vector<std::string>{"1200703"});
        std::vector<std::string> expected;
        if (k.logged) expected.push_back(entry("CONTRATO.TXT", 2, "VALOR DO CONTRATO NÃO PODE FICAR EM BRANCO"));
        EXPECT_EQ(entries(), expected);
    }

    reset();
    contract({.dtassi = "'2006-10-10'"});
    db.exec("insert into CONTRATOSADITAMENTO (CONTRATO, TERMO, DESCRICAO, VALOR, DTLAN) values"
            " ('12/2007', 1, 'PRAZO', null, '2007-03-20'); commit;");
    EXPECT_THROW(kAditCont.run(*ex, kAditCont.name), GenerationError);
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("ADITCONT.TXT", 2, "VALOR DO TERMO ADITIVO NÃO PODE FICAR EM BRANCO")}));
}

// An amendment: registration date as celebration, publication and start date, the
// description cut twice, the days of validity; every amendment lacks its medium.
TEST_F(ContratosTest, AditContRecord) {
    contract({.dtassi = "'2006-11-05'"});
    contract({.codigo = "'9/2007'", .empresa = "2"});  // another entity's contract
    const std::string descricao = "PRORROGAÇÃO' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'DO PRAZO" +
                                  std::string(279, 'X');
    db.exec("insert into CONTRATOSADITAMENTO (CONTRATO, TERMO, DESCRICAO, VALOR, DTLAN, DATAENCERRAMENTO) values"
            " ('12/2007', 1, '" + descricao + "', 2500, '2007-03-20', '2007-06-18');"
            " insert into CONTRATOSADITAMENTO (CONTRATO, TERMO, DESCRICAO, VALOR, DTLAN) values"
            " ('12/2007', 2, 'FORA DO MES', 10, '2007-02-20');"
            " insert into CONTRATOSADITAMENTO (CONTRATO, TERMO, DESCRICAO, VALOR, DTLAN) values"
            " ('9/2007', 1, 'OUTRA ENTIDADE', 10, '2007-03-20'); commit;");
    document("AdCont122007-1.Doc");
    const std::string text = "PRORROGA\xC7\xC3O  DO PRAZO" + std::string(279, 'X');
    const std::string record = std::string("2") +
                               "2006" +                               // ANO_CONTRATO
                               zeros(10) + "122007" +                 // CONTRATO
                               zeros(15) + "1" +                      // TERMO_ADITIVO
                               "1" + "03" +                           // TIPO_TERMO, TIPO_AJUSTE
                               text.substr(0, 255) +                  // OBJETIVO
                               "000000000250000" +                    // VALOR
                               "20070320" + "20070320" +              // celebration, publication
                               sp(120) +                              // NOME_VEIC
                               "20070320" + "20070618" +              // validity
                               zeros(10) + sp(8) + sp(50) +           // legal opinion
                               pad("ADCONT122007-1.DOC", 50) +        // ARQUIVO_ADITIVO
                               sp(50) +                               // ARQUIVO_PARECER
                               text.substr(0, 120) +                  // ESPECIFICACAO
                               "0090" + "1" + "0";
    ASSERT_EQ(record.size(), 756u);
    EXPECT_EQ(lines(kAditCont), (std::vector<std::string>{"1200703", record, "3000001"}));
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("ADITCONT.TXT", 2, "VEÍCULO DE PUBLICAÇÃO NÃO PODE FICAR EM BRANCO")}));
}

// An amendment without number and description: its entries in record order, and a
// document name made of nothing but ".DOC".
TEST_F(ContratosTest, AditContChecks) {
    contract({});
    db.exec("insert into CONTRATOSADITAMENTO (CONTRATO, TERMO, DESCRICAO, VALOR, DTLAN) values"
            " ('12/2007', null, null, 0, '2007-03-20'); commit;");
    const std::vector<std::string> got = lines(kAditCont);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1].size(), 756u);
    EXPECT_EQ(fieldAt(kAditContAt, got[1], "TERMO_ADITIVO"), zeros(16));
    EXPECT_EQ(fieldAt(kAditContAt, got[1], "ARQUIVO_ADITIVO"), pad(".DOC", 50));
    EXPECT_EQ(fieldAt(kAditContAt, got[1], "DATA_FIM"), sp(8));
    EXPECT_EQ(fieldAt(kAditContAt, got[1], "DIAS_VIGENCIA"), "0000");
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("ADITCONT.TXT", 2, "NÚMERO TERMO ADITIVO NÃO PODE FICAR EM BRANCO"),
                             entry("ADITCONT.TXT", 2, "OBJETIVO DO TERMO ADITIVO NÃO PODE FICAR EM BRANCO"),
                             entry("ADITCONT.TXT", 2, "VEÍCULO DE PUBLICAÇÃO NÃO PODE FICAR EM BRANCO"),
                             missing("ADITCONT.TXT", 2, ".DOC"),
                         }));
}

TEST_F(ContratosTest, CancContRecord) {
    contract({.codigo = "'7/2006'", .dtassi = "'2006-05-02'", .dtanula = "'2007-03-05'",
              .motianu = "'RESCISÃO AMIGÁVEL'", .dtpubanu = "'2007-03-06'", .veicanu = "'DIÁRIO OFICIAL'"});
    contract({.codigo = "'8/2006'", .dtanula = "'2007-02-05'", .motianu = "'OUTRO MES'"});
    contract({.codigo = "'9/2006'"});  // not cancelled
    const std::string record = std::string("2") + "2006" + zeros(11) + "72006" + "20070305" +
                               pad("RESCIS\xC3O AMIG\xC1VEL", 255) + "20070306" + pad("DI\xC1RIO OFICIAL", 120) + "1";
    ASSERT_EQ(record.size(), 413u);
    EXPECT_EQ(lines(kCancCont), (std::vector<std::string>{"1200703", record, "3000001"}));
    EXPECT_TRUE(entries().empty());
}

// Publication is checked only when a medium is recorded, even a blank one.
TEST_F(ContratosTest, CancContChecks) {
    struct Case {
        Contract c;
        const char* dadoPubl;
        std::vector<std::string> logged;
    };
    const std::string motivo = "MOTIVO DO CANCELAMENTO DO CONTRATO NÃO PODE FICAR EM BRANCO";
    const std::string data = "DATA DE PUBLICAÇÃO NÃO PODE FICAR EM BRANCO";
    const std::string veiculo = "VEÍCULO DE PUBLICAÇÃO NÃO PODE FICAR EM BRANCO";
    const Case cases[] = {
        {{.dtanula = "'2007-03-05'"}, "0", {motivo}},
        {{.dtanula = "'2007-03-05'", .motianu = "'ERRO'", .veicanu = "'  '"}, "1", {data, veiculo}},
        {{.dtanula = "'2007-03-05'", .motianu = "' '", .dtpubanu = "'2007-03-06'", .veicanu = "'DOE'"}, "1", {motivo}},
    };
    for (const Case& k : cases) {
        reset();
        contract(k.c);
        const std::vector<std::string> got = lines(kCancCont);
        ASSERT_EQ(got.size(), 3u);
        EXPECT_EQ(got[1].size(), 413u);
        EXPECT_EQ(fieldAt(kCancContAt, got[1], "DADO_PUBL"), k.dadoPubl);
        std::vector<std::string> expected;
        for (const std::string& d : k.logged) expected.push_back(entry("CANCCONT.TXT", 2, d));
        EXPECT_EQ(entries(), expected);
    }
}

// CancCont runs its query before the file exists, the others after: a failing
// query leaves no CancCont.txt but a Contrato.txt with its header.
TEST_F(ContratosTest, QueryBeforeOrAfterTheFile) {
    ex->ctx.entityCode = "0'1";
    for (const GeneratedFile* f : {&kContrato, &kAditCont, &kCancCont, &kPartCont}) {
        SCOPED_TRACE(f->name);
        EXPECT_THROW(f->run(*ex, f->name), GenerationError);
        const fs::path file = period() / (std::string(f->name) + ".txt");
        if (f == &kCancCont) {
            EXPECT_FALSE(fs::exists(file));
        } else {
            EXPECT_EQ(readBytes(file), "1200703\r\n");
        }
        ex->closeExportFile();
    }
}

// The contractor of each contract: person type from the supplier type, the number
// as stored cut at 14; a contract without a registered supplier is left out.
TEST_F(ContratosTest, PartCont) {
    struct Case {
        const char* codtip;
        const char* insmf;
        std::string tipo;
        std::string numero;
    };
    const Case cases[] = {
        {"'02'", "'123.456.789-09'", "1", "123.456.789-09"},
        {"'01'", "'12.345.678/0001-95'", "2", "12.345.678/000"},
        {"'09'", "'12345'", "2", pad("12345", 14)},
        {"null", "null", "2", sp(14)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.codtip);
        reset();
        contract({});
        contract({.codigo = "'13/2007'", .codif = "99"});  // supplier not registered
        db.exec(std::string("insert into DESFOR (CODIF, CODTIP, INSMF) values (10, ") + k.codtip + ", " + k.insmf +
                "); commit;");
        const std::string record = "2" + std::string("2007") + pad("12/2007", 16) + k.tipo + k.numero;
        ASSERT_EQ(record.size(), 36u);
        EXPECT_EQ(lines(kPartCont), (std::vector<std::string>{"1200703", record, "3000001"}));
        EXPECT_TRUE(entries().empty());
    }

    reset();
    contract({.codigo = "''"});
    db.exec("insert into DESFOR (CODIF, CODTIP, INSMF) values (10, '02', '123.456.789-09'); commit;");
    const std::vector<std::string> got = lines(kPartCont);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(fieldAt(kPartContAt, got[1], "CONTRATO"), sp(16));
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("PARTCONT.TXT", 2, "NUMERO DO CONTRATO NÃO PODE FICAR EM BRANCO")}));
}
