// The waiver and non-requirement files, from the waiver register DISPINEX and its
// suppliers' items (PARTDISP) and certificates (CERTDISP).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "engine/filegenerator.h"
#include "engine/values.h"
#include "generators/dispensas.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

// Places of the fields these tests read, from the court's layouts.
const CourtField kDispInexAt[] = {  // DispInex.txt
    {"ANODISP", 2, 4},
    {"MODALIDADE", 6, 2},
    {"NUMDISP", 8, 16},
    {"BASE_LEGAL", 294, 2},
    {"VALOR", 296, 15},
    {"DADO_PUBLIC", 319, 1},
    {"DT_PUBL", 320, 8},
    {"VEIC_PUBL", 328, 120},
    {"ARQ_PARECER", 517, 50},
    {"ARQ_DISP", 617, 50},
    {"CONVENIO", 667, 1},
};


// One DISPINEX row; every member is SQL text. The defaults make a waiver 0012/08 of
// entity 01 started in March 2007, published, without agreement, not cancelled.
struct Proc {
    std::string codigo = {};
    std::string numdisp = "'0012/08'";
    std::string modalidade = "'08'";
    std::string tipoFundam = "'03 - DECRETO'";
    std::string numFundam = "'15/2007'";
    std::string dtInicio = "'2007-03-10'";
    std::string objeto = "'AQUISIÇÃO DE MATERIAL'";
    std::string balseLegal = "'04 - ART. 24, II'";
    std::string valor = "1500.5";
    std::string dtRetif = "'2007-03-12'";
    std::string dtPubl = "'2007-03-13'";
    std::string veicPubl = "'DIÁRIO OFICIAL'";
    std::string numconv = "null";
    std::string cancelado = "'N'";
    std::string motCanc = "null";
    std::string dtPublCanc = "null";
    std::string empresa = "1";
};

using Generator = void (*)(Exporter&, std::string_view);

struct File : GeneratedFile {
    const char* op;       // the operation, and the name of its statement's fixture
    std::size_t numdisp;  // where the court puts the process number (16 characters)
};

const File kDispInex{{"DispInex", DispInex, 667}, "DispInex", 8};
const File kPartDisp{{"PartDisp", PartDisp, 38}, "PartDisp", 8};
const File kItemDisp{{"ItemDisp", ItemDisp, 335}, "ItemDisp", 8};
const File kCertDisp{{"CertDisp", CertDisp, 206, 86}, "CertDisp", 8};  // 86: not of type 99
const File kCnvDisp{{"CnvDisp", CnvDisp, 43}, "CnvDisp", 28};
const File kCnvODisp{{"CnvODis", CnvODisp, 49}, "CnvODisp", 34};
const File kCancDisp{{"CancDisp", CancDisp, 415}, "CancDisp", 8};
const File kRespDisp{{"RespDisp", RespDisp, 374}, "RespDisp", 8};
const File* const kAll[] = {&kDispInex, &kPartDisp, &kItemDisp, &kCertDisp,
                            &kCnvDisp,  &kCnvODisp, &kCancDisp, &kRespDisp};

// "2008", "08" and "0012" as twelve zeros and the number: the key of process 0012/08.
const std::string kKey = "2008"
                         "08"
                         "0000000000000012";

class DispensasTest : public GeneratorTest {
protected:
    void SetUp() override {
        // Agreement 7 belongs to entity 1, agreement 8 to entity 2 (court code 123456).
        db.exec("insert into TABEMPRESA (EMPRESA, NOME, CODAUDESP) values (1, 'PREFEITURA', 654321);"
                "insert into TABEMPRESA (EMPRESA, NOME, CODAUDESP) values (2, 'FUNDO', 123456);"
                "insert into CADCONV (CONVENIO, NUMCONV, DATA, EMPRESA) values (7, '05/2007', '2007-01-15', 1);"
                "insert into CADCONV (CONVENIO, NUMCONV, DATA, EMPRESA) values (8, '3/2006', '2006-11-20', 2);"
                "insert into DESFOR (CODIF, CODTIP, INSMF) values (5, '01', '11.222.333/0001-81');"
                "insert into DESFOR (CODIF, CODTIP, INSMF) values (6, '02', '123.456.789-09');"
                "insert into DESFOR (CODIF, CODTIP, INSMF) values (7, null, null);"
                "insert into CADEST (CADPRO, DISC1, UNID1) values"
                " ('001.001.001', 'PAPEL A4' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'RESMA', 'PACOTE');"
                "insert into CADEST (CADPRO, DISC1, UNID1) values ('001.001.002', 'CANETA ESFEROGRÁFICA', 'UN');"
                "commit;");
    }

    void process(const Proc& p) {
        db.exec("insert into DISPINEX (CODIGO, NUMDISP, MODALIDADE, TIPO_FUNDAM, NUM_FUNDAM, DT_INICIO, OBJETO,"
                " BALSE_LEGAL, VALOR, DT_RETIF, DT_PUBL, VEIC_PUBL, NUMCONV, CPF_RESP, NOME_RESP, CARGO_RESP,"
                " DESCR_RESP, CANCELADO, MOT_CANC, DT_PUBL_CANC, EMPRESA) values (" +
                p.codigo + ", " + p.numdisp + ", " + p.modalidade + ", " + p.tipoFundam + ", " + p.numFundam + ", " +
                p.dtInicio + ", " + p.objeto + ", " + p.balseLegal + ", " + p.valor + ", " + p.dtRetif + ", " +
                p.dtPubl + ", " + p.veicPubl + ", " + p.numconv +
                ", '123.456.789-09', 'JOSÉ DA CONCEIÇÃO', 'SECRETÁRIO DE ADMINISTRAÇÃO', 'ADMINISTRADOR', " +
                p.cancelado + ", " + p.motCanc + ", " + p.dtPublCanc + ", " + p.empresa + "); commit;");
    }

    // CODIGO, CODIF, ITEM, CADPRO, QUANT, VALOR_TOTAL.
    void item(const std::string& values) {
        db.exec("insert into PARTDISP (CODIGO, CODIF, ITEM, CADPRO, QUANT, VALOR_TOTAL) values (" + values +
                "); commit;");
    }

    // CODIGO, CODIF, NCERT, TIPO, DT_CERT, DT_VALI, ESPECIF.
    void certificate(const std::string& values) {
        db.exec("insert into CERTDISP (CODIGO, CODIF, NCERT, TIPO, DT_CERT, DT_VALI, ESPECIF) values (" + values +
                "); commit;");
    }

    long logEntries() { return dm.CdsLog.active() ? dm.CdsLog.recordCount() : 0; }
};

}  // namespace

TEST(DispensasLayouts, RecordLengths) {
    const std::pair<const File*, const Layout*> cases[] = {
        {&kDispInex, &kDispInexLayout}, {&kPartDisp, &kPartDispLayout}, {&kItemDisp, &kItemDispLayout},
        {&kCertDisp, &kCertDispLayout}, {&kCnvDisp, &kCnvDispLayout},   {&kCnvODisp, &kCnvODispLayout},
        {&kCancDisp, &kCancDispLayout}, {&kRespDisp, &kRespDispLayout},
    };
    for (const auto& [file, layout] : cases) EXPECT_EQ(layout->recordLength(), file->length) << file->name;
}

// The statements are the court's texts with month, year and entity inserted; a month
// without waivers gives files of header and trailer only.
TEST_F(DispensasTest, QueriesAndEmptyMonth) {
    for (const File* f : kAll) {
        SCOPED_TRACE(f->op);
        std::string expected = courtQuery(f->op);
        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
    }
    EXPECT_TRUE(std::filesystem::exists(out.path() / "CnvODis.txt"));
    EXPECT_EQ(logEntries(), 0);
}

// Which processes each file takes: start month, year and entity; CancDisp by the
// month of the cancellation's publication and the cancelled flag.
TEST_F(DispensasTest, ProcessesPerFileAndEntity) {
    process({.codigo = "1", .numdisp = "'0001/07'", .dtInicio = "'2007-03-01'", .numconv = "7"});
    process({.codigo = "2", .numdisp = "'0002/07'", .dtInicio = "'2007-02-28'", .numconv = "7",
             .cancelado = "'S'", .dtPublCanc = "'2007-03-31'"});
    process({.codigo = "3", .numdisp = "'0003/07'", .dtInicio = "'2006-03-15'", .numconv = "7",
             .cancelado = "'S'", .dtPublCanc = "'2006-03-20'"});
    process({.codigo = "4", .numdisp = "'0004/07'", .dtInicio = "'2007-03-15'", .numconv = "7",
             .cancelado = "'S'", .dtPublCanc = "'2007-03-16'", .empresa = "2"});
    process({.codigo = "5", .numdisp = "'0005/07'", .dtInicio = "'2007-03-20'", .numconv = "7",
             .cancelado = "'N'", .dtPublCanc = "'2007-03-05'"});
    process({.codigo = "6", .numdisp = "'0006/07'", .dtInicio = "'2007-03-02'", .numconv = "7",
             .cancelado = "'S'", .dtPublCanc = "'2007-04-02'"});
    for (int c = 1; c <= 6; ++c) {
        item(std::to_string(c) + ", 5, 1, '001.001.001', 1, 10");
        certificate(std::to_string(c) + ", 5, 'CND', '99 - OUTRAS', '2007-03-01', null, null");
    }

    struct Case {
        const File* file;
        const char* entity;
        std::vector<int> numbers;  // process numbers, sorted
    };
    const std::vector<int> started = {1, 5, 6};
    const Case cases[] = {
        {&kDispInex, "01", started}, {&kPartDisp, "01", started}, {&kItemDisp, "01", started},
        {&kCertDisp, "01", started}, {&kCnvDisp, "01", started},  {&kCnvODisp, "01", {}},
        {&kCancDisp, "01", {2}},     {&kRespDisp, "01", started}, {&kDispInex, "02", {4}},
        {&kCnvDisp, "02", {}},       {&kCnvODisp, "02", {4}},     {&kCancDisp, "02", {4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file->name) + " " + c.entity);
        ex->ctx.entityCode = c.entity;
        const std::vector<std::string> file = lines(*c.file);
        ASSERT_GE(file.size(), 2u);
        EXPECT_EQ(file.front(), "1200703");
        std::vector<int> numbers;
        for (std::size_t i = 1; i + 1 < file.size(); ++i) {
            EXPECT_EQ(static_cast<int>(file[i].size()), c.file->length);
            numbers.push_back(std::stoi(file[i].substr(c.file->numdisp - 1, 16)));
        }
        std::sort(numbers.begin(), numbers.end());
        EXPECT_EQ(numbers, c.numbers);
        EXPECT_EQ(file.back(), "300000" + std::to_string(c.numbers.size()));
    }
    EXPECT_EQ(logEntries(), 0);
}

TEST_F(DispensasTest, DispInexRecords) {
    process({.codigo = "1", .numconv = "7"});
    process({.codigo = "2", .numdisp = "'0300/07'", .modalidade = "'09'", .tipoFundam = "'01 - LEI'",
             .numFundam = "'8666/93'", .dtInicio = "'2007-03-31'",
             .objeto = "'SERVIÇO' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'TÉCNICO'",
             .balseLegal = "'04 - ART. 25'", .valor = "99.999", .dtRetif = "null", .dtPubl = "null",
             .veicPubl = "null", .numconv = "8"});

    const std::string waiver = "2" + kKey +
                               "03"                        // TIPO
                               "15/2007" + sp(3) +         // ATO_COMISSAO
                               "20070310"                  // DT_INICIO
                               "AQUISI\xC7\xC3O DE MATERIAL" + sp(229) +
                               "04"                        // BASE_LEGAL
                               "000000000150050"           // VALOR 1500.5
                               "20070312"                  // DT_RATIF_ORD
                               "1"                         // DADO_PUBLIC
                               "20070313"                  // DT_PUBL
                               "DI\xC1RIO OFICIAL" + sp(106) +
                               "0" + sp(10) + sp(8) + sp(50) +  // no legal opinion
                               "DISPINEXPAR0012-2008.DOC" + sp(26) +
                               sp(50) +                    // no source
                               "DISPINEX0012-2008.DOC" + sp(29) +  // modality 08, basis 04
                               "1";                        // agreement of the same entity
    const std::string nonRequirement = "2"
                                       "2007"
                                       "09"
                                       "0000000000000300"
                                       "01"
                                       "8666/93" + sp(3) +
                                       "20070331"
                                       "SERVI\xC7O  T\xC9" "CNICO" + sp(234) +  // the line break became blanks
                                       "04"
                                       "000000000010000"   // 99.999 rounds to 100.00
                                       + sp(8) +           // no ratification
                                       "0" + sp(8) +       // not published
                                       sp(120) +
                                       "0" + sp(10) + sp(8) + sp(50) +
                                       "DISPINEXPAR0300-2007.DOC" + sp(26) +
                                       sp(50) +
                                       sp(50) +            // modality 09: no document
                                       "2";                // agreement of another entity
    ASSERT_EQ(waiver.size(), 667u);
    ASSERT_EQ(nonRequirement.size(), 667u);
    EXPECT_EQ(lines(kDispInex), (std::vector<std::string>{"1200703", nonRequirement, waiver, "3000002"}));
    EXPECT_EQ(logEntries(), 0);
}

// One process per case: the agreement flag with the files that list the process, the
// document name of field 21 and the publication fields.
TEST_F(DispensasTest, DispInexVariants) {
    using Fields = std::map<std::string, std::string>;
    struct Case {
        const char* what;
        Proc proc;
        Fields fields;
        int cnvDisp, cnvODis;  // records in CnvDisp.txt and CnvODis.txt
    };
    const std::string document = "DISPINEX0012-2008.DOC" + sp(29);
    const Case cases[] = {
        {"no agreement", {}, {{"CONVENIO", "0"}, {"ARQ_DISP", document}}, 0, 0},
        {"agreement of the same entity", {.numconv = "7"}, {{"CONVENIO", "1"}}, 1, 0},
        {"agreement of another entity", {.numconv = "8"}, {{"CONVENIO", "2"}}, 0, 1},
        {"agreement not found", {.numconv = "99"}, {{"CONVENIO", "0"}}, 0, 0},
        {"waiver on another legal basis", {.balseLegal = "'05 - ART. 24, V'"},
         {{"BASE_LEGAL", "05"}, {"ARQ_DISP", sp(50)}}, 0, 0},
        {"non-requirement on basis 04", {.modalidade = "'09'"}, {{"MODALIDADE", "09"}, {"ARQ_DISP", sp(50)}}, 0, 0},
        {"not published", {.dtPubl = "null", .veicPubl = "null"},
         {{"DADO_PUBLIC", "0"}, {"DT_PUBL", sp(8)}, {"VEIC_PUBL", sp(120)}}, 0, 0},
        {"without number", {.numdisp = "null"},
         {{"ANODISP", sp(4)}, {"NUMDISP", zeros(16)}, {"ARQ_PARECER", sp(50)}, {"ARQ_DISP", sp(50)}}, 0, 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Proc p = c.proc;
        p.codigo = std::to_string(++n);
        db.exec("delete from DISPINEX; commit;");
        process(p);

        const std::vector<std::string> file = lines(kDispInex);
        ASSERT_EQ(file.size(), 3u);
        ASSERT_EQ(file[1].size(), 667u);
        for (const auto& [name, value] : c.fields) EXPECT_EQ(fieldAt(kDispInexAt, file[1], name), value) << name;
        EXPECT_EQ(lines(kCnvDisp).size(), 2u + c.cnvDisp);
        EXPECT_EQ(lines(kCnvODisp).size(), 2u + c.cnvODis);
    }
}

// The agreement's year and number, and for another entity its court code.
TEST_F(DispensasTest, AgreementRecords) {
    process({.codigo = "1", .numconv = "7"});
    process({.codigo = "2", .numdisp = "'0300/07'", .modalidade = "'09'", .numconv = "8"});
    EXPECT_EQ(lines(kCnvDisp), (std::vector<std::string>{"1200703",
                                                         "2"
                                                         "2007"
                                                         "0000000000052007" + kKey,
                                                         "3000001"}));
    EXPECT_EQ(lines(kCnvODisp), (std::vector<std::string>{"1200703",
                                                          "2"
                                                          "2006"
                                                          "0000000000032006"
                                                          "123456"
                                                          "2007"
                                                          "09"
                                                          "0000000000000300",
                                                          "3000001"}));
}

// One PartDisp record per supplier of the process, one ItemDisp record per item;
// person type "1" for CODTIP '02', "2" for '01', "3" otherwise.
TEST_F(DispensasTest, SupplierAndItemRecords) {
    process({.codigo = "1"});
    item("1, 5, 1, '001.001.001', 3, 100");
    item("1, 5, 2, '001.001.002', 0.6, 10");
    item("1, 6, 3, '001.001.001', 2.5, 12.5");
    item("1, 7, 4, '001.001.002', 1, 7");

    const std::string person = "2" + kKey + "1" + "00012345678909";
    const std::string company = "2" + kKey + "2" + "11222333000181";
    const std::string other = "2" + kKey + "3" + zeros(14);
    EXPECT_EQ(lines(kPartDisp), (std::vector<std::string>{"1200703", person, company, other, "3000003"}));

    const std::string paper = "PAPEL A4  RESMA" + sp(235) + "PAC";  // line break as blanks; unit cut to 3
    const std::string pen = "CANETA ESFEROGR\xC1" "FICA" + sp(230) + "UN ";
    EXPECT_EQ(lines(kItemDisp), (std::vector<std::string>{
                                    "1200703",
                                    person + "0003" + paper +
                                        "0000002500"          // 2.5 with three implied decimals
                                        "000000000001250"
                                        "000000000000500",    // 12.50 / 2.5
                                    company + "0001" + paper +
                                        "0000003000"
                                        "000000000010000"
                                        "000000000003333",    // 100 / 3
                                    company + "0002" + pen +
                                        "0000000600"
                                        "000000000001000"
                                        "000000000001667",    // 10 / 0.6 rounds up
                                    other + "0004" + pen +
                                        "0000001000"
                                        "000000000000700"
                                        "000000000000700",
                                    "3000004"}));
    EXPECT_EQ(logEntries(), 0);
}

// A certificate of type "99" carries its ESPECIF text; any other ends after its
// validity date.
TEST_F(DispensasTest, CertificateRecords) {
    process({.codigo = "1"});
    certificate("1, 5, 'ALVARÁ 123', '99 - OUTRAS', '2007-03-01', '2007-12-31', 'ALVARÁ DE FUNCIONAMENTO'");
    certificate("1, 5, 'CND-77', '01 - CND FEDERAL', '2007-02-10', null, 'NÃO VAI'");
    const std::string company = "2" + kKey + "2" + "11222333000181";
    const std::string other = company + "01" + "CND-77" + sp(24) + "20070210" + sp(8);
    const std::string type99 =
        company + "99" + "ALVAR\xC1 123" + sp(20) + "20070301" "20071231" + "ALVAR\xC1 DE FUNCIONAMENTO" + sp(97);
    ASSERT_EQ(other.size(), 86u);
    ASSERT_EQ(type99.size(), 206u);
    EXPECT_EQ(lines(kCertDisp), (std::vector<std::string>{"1200703", other, type99, "3000002"}));
}

// The cancellation gets "20" before the year digits like the other files; a process
// without number keeps blanks there, as '20'||NULL does in the others.
TEST_F(DispensasTest, CancellationAndResponsibleRecords) {
    process({.codigo = "1", .dtInicio = "'2007-01-05'", .cancelado = "'S'",
             .motCanc = "'DESISTÊNCIA DO FORNECEDOR'", .dtPublCanc = "'2007-03-20'"});
    process({.codigo = "2", .numdisp = "null", .dtInicio = "'2007-01-05'", .veicPubl = "null",
             .cancelado = "'S'", .motCanc = "null", .dtPublCanc = "'2007-03-21'"});
    std::vector<std::string> canc = lines(kCancDisp);
    ASSERT_EQ(canc.size(), 4u);
    std::vector<std::string> records(canc.begin() + 1, canc.end() - 1);
    std::sort(records.begin(), records.end());
    std::vector<std::string> expected = {
        "2" + kKey +
            "20070320"
            "DESIST\xCANCIA DO FORNECEDOR" + sp(230) +
            "20070320"
            "DI\xC1RIO OFICIAL" + sp(106) +
            "1",
        "2" + sp(4) + "08" + zeros(16) + "20070321" + sp(255) + "20070321" + sp(120) + "1",
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(records, expected);
    EXPECT_EQ(canc.back(), "3000002");

    db.exec("delete from DISPINEX where CODIGO = 2; update DISPINEX set DT_INICIO = '2007-03-05'; commit;");
    EXPECT_EQ(lines(kRespDisp), (std::vector<std::string>{"1200703",
                                                          "2" + kKey +
                                                              "12345678909"
                                                              "JOS\xC9 DA CONCEI\xC7\xC3O" + sp(83) +
                                                              "SECRET\xC1RIO DE ADMINISTRA\xC7\xC3O" + sp(93) +
                                                              "ADMINISTRADOR" + sp(107),
                                                          "3000001"}));
    EXPECT_EQ(logEntries(), 0);
}

// An amount that cannot be formatted stops the generator with a message that says
// where: the file keeps its header, has no trailer and is not reported as done.
TEST_F(DispensasTest, AmountsThatCannotBeWritten) {
    struct Case {
        const char* what;
        const File* file;
        Proc proc;
        const char* item;
        std::vector<std::string> parts;  // in the message
    };
    const Case cases[] = {
        {"process without value", &kDispInex, {.valor = "null"}, nullptr, {"DispInex.txt", "linha 2", "VALOR"}},
        {"item without quantity", &kItemDisp, {}, "1, 5, 1, '001.001.001', null, 10",
         {"ItemDisp.txt", "linha 2", "QUANT"}},
        {"item without total", &kItemDisp, {}, "1, 5, 1, '001.001.001', 2, null",
         {"ItemDisp.txt", "linha 2", "VALOR_TOTAL"}},
        {"item of zero quantity", &kItemDisp, {}, "1, 6, 3, '001.001.002', 0, 10",
         {"ItemDisp.txt", "item 3 do fornecedor 6 do processo 0012/08", "zero"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        db.exec("delete from PARTDISP; delete from DISPINEX; commit;");
        Proc p = c.proc;
        p.codigo = "1";
        process(p);
        if (c.item) item(c.item);
        obs.closed.clear();
        try {
            c.file->run(*ex, c.file->name);
            ADD_FAILURE() << "no error";
        } catch (const GenerationError& e) {
            const std::string msg = e.what();
            for (const std::string& part : c.parts) EXPECT_NE(msg.find(part), std::string::npos) << msg;
        }
        ex->closeExportFile();
        EXPECT_EQ(fileLines(c.file->name), (std::vector<std::string>{"1200703"}));
        EXPECT_TRUE(obs.closed.empty());
    }
    EXPECT_EQ(logEntries(), 0);
}
