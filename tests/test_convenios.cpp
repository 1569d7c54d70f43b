// The agreement files Convenio, AditConv and PartConv.
#include <gtest/gtest.h>

#include <map>

#include "engine/filegenerator.h"
#include "generators/convenios.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

// Places of the fields these tests read, from the court's layouts.
const CourtField kAditConvAt[] = {  // AditConv.txt
    {"CONVENIO", 6, 16},
    {"ADITIVO", 22, 16},
    {"OBJETIVO", 41, 250},
    {"VALOR", 291, 15},
    {"DATA_PUBL", 314, 8},
    {"DATA_INICIO", 442, 8},
    {"DATA_FIM", 450, 8},
    {"NOME_ARQ_ADITIVO", 526, 50},
    {"DADO_PUBL", 796, 1},
};
const CourtField kConvenioAt[] = {  // Convenio.txt
    {"CONVENIO", 6, 16},
    {"DESCRICAO", 22, 250},
    {"VALOR_CONVENIO", 272, 15},
    {"DATA_PUBL", 295, 8},
    {"DATA_INICIO", 423, 8},
    {"DATA_FIM", 431, 8},
    {"BANCO", 507, 4},
    {"AGENCIA", 511, 6},
    {"CONTA", 517, 10},
    {"DIGITO", 527, 2},
    {"NOME_ARQ_CONV", 529, 50},
    {"TIPO_CONVENIO", 579, 2},
    {"DADO_PUBL", 681, 1},
    {"CONVENIO_OBRA", 683, 1},
};

// Windows-1252 text followed by blanks up to `n` bytes.

constexpr const char* kMenu = "MÓDULO CONTAS - MENU CADASTROS AUXILIARES < 8-CONVÊNIOS";

// One CADCONV row; every member is SQL text. The defaults make a clean agreement
// for a work, celebrated in March 2007 by entity 1.
struct Agreement {
    std::string convenio = "5";
    std::string numconv = "'3/2007'";
    std::string especif = "'CONVÊNIO DE SAÚDE - CONCEIÇÃO'";
    std::string valor = "150000.50";
    std::string data = "'2007-03-10'";
    std::string dtpub = "'2007-03-12'";
    std::string dtvenc = "'2008-03-09'";
    std::string conta = "'12345-6'";
    std::string tipo = "'01'";
    std::string numobra = "'4'";
    std::string codif = "10";
    std::string empresa = "1";
};

const GeneratedFile kConvenio{"Convenio", Convenio, 683};
const GeneratedFile kAditConv{"AditConv", AditConv, 797};
const GeneratedFile kPartConv{"PartConv", PartConv, 51};

class ConveniosTest : public GeneratorTest {
protected:
    void SetUp() override {
        // The files go to the period folder; the documents sit in the chosen one.
        ex->ctx.periodFolder = "Mensal/";
        ex->ctx.outputDir = out.str() + "Mensal/";
        fs::create_directories(period());
    }

    fs::path period() const { return out.path() / "Mensal"; }

    void agreement(const Agreement& a) {
        db.exec("insert into CADCONV (CONVENIO, NUMCONV, ESPECIF, VALOR, DATA, DTPUB, DTVENC, CONTA, TIPO, NUMOBRA,"
                " CODIF, EMPRESA) values (" +
                a.convenio + ", " + a.numconv + ", " + a.especif + ", " + a.valor + ", " + a.data + ", " + a.dtpub +
                ", " + a.dtvenc + ", " + a.conta + ", " + a.tipo + ", " + a.numobra + ", " + a.codif + ", " +
                a.empresa + "); commit;");
    }

    // CONVENIO, TERMO, DESCRICAO, VALOR, DTLAN, DATAENCERRAMENTO.
    void amendment(const std::string& values) {
        db.exec("insert into CADCONVADITAMENTO (CONVENIO, TERMO, DESCRICAO, VALOR, DTLAN, DATAENCERRAMENTO) values (" +
                values + "); commit;");
    }

    void document(const std::string& name) { writeBytes(out.path() / name, "documento"); }

    void reset() {
        db.exec("delete from CADCONV; delete from CADCONVADITAMENTO; delete from DESCON; delete from DESFOR; commit;");
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

TEST_F(ConveniosTest, LayoutLengths) {
    EXPECT_EQ(kConvenioLayout.recordLength(), 683);
    EXPECT_EQ(kAditConvLayout.recordLength(), 797);
    EXPECT_EQ(kPartConvLayout.recordLength(), 51);
}

// The statements are the court's texts with month, year and entity inserted. A
// month without agreements gives files of header and trailer only.
TEST_F(ConveniosTest, QueriesAndEmptyMonth) {
    agreement({.data = "'2007-04-10'"});  // another month
    agreement({.convenio = "6", .empresa = "2"});  // another entity
    amendment("5, 1, 'FORA DO MES', 10, '2007-02-20', null");
    for (const GeneratedFile* f : {&kConvenio, &kAditConv, &kPartConv}) {
        SCOPED_TRACE(f->name);
        std::string expected = courtQuery(f->name);
        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
    }
    EXPECT_TRUE(entries().empty());
}

// A clean agreement with its bank account, its documents in the chosen folder
// under another case: the record width by width, the description cut at 250
// characters, nothing logged.
TEST_F(ConveniosTest, ConvenioRecord) {
    agreement({.especif = "'CONVÊNIO DE SAÚDE - CONCEIÇÃO " + std::string(260, 'X') + "'"});
    db.exec("insert into DESCON (EMPRESA, BANCO, AGENCIA, CONTA) values (1, '001', '1234-5', '12345-6'); commit;");
    document("conv32007.doc");
    document("PlapConv32007.DOC");
    const std::string text = "CONV\xCANIO DE SA\xDA" "DE - CONCEI\xC7\xC3O " + std::string(260, 'X');
    const std::string record = std::string("2") +
                               "2007" +                        // ANO_CONVENIO
                               zeros(11) + "32007" +           // CONVENIO
                               text.substr(0, 250) +           // DESCRICAO
                               zeros(7) + "15000050" +         // VALOR_CONVENIO
                               "20070310" + "20070312" +       // celebration, publication
                               pad("NAO CONSTA", 120) +        // NOME_VEIC_PUBL
                               "20070312" + "20080309" +       // start, end
                               zeros(10) + sp(8) + sp(50) +    // legal opinion
                               pad("001", 4) + "012345" +      // BANCO, AGENCIA
                               "0000123456" + "6 " +           // CONTA, its digit
                               pad("CONV32007.DOC", 50) +      // NOME_ARQ_CONV
                               "01" +                          // TIPO_CONVENIO
                               pad("PLAPCONV32007.DOC", 50) +  // NOME_ARQ_PL_APLIC
                               sp(50) +                        // NOME_ARQ_PARECER
                               "1" + "0" + "1";                // flags
    ASSERT_EQ(record.size(), 683u);
    EXPECT_EQ(lines(kConvenio), (std::vector<std::string>{"1200703", record, "3000001"}));
    EXPECT_TRUE(entries().empty());
}

// Publication, work, account forms and the checks, one agreement at a time.
TEST_F(ConveniosTest, ConvenioFieldsAndChecks) {
    struct Case {
        const char* name;
        Agreement a;
        std::map<std::string, std::string> fields;
        std::vector<std::string> logged;  // descriptions, in order
    };
    const Case cases[] = {
        {"not published",
         {.dtpub = "null"},
         {{"DATA_PUBL", sp(8)}, {"DATA_INICIO", sp(8)}, {"DADO_PUBL", "0"}},
         {}},
        {"not for a work, without end",
         {.dtvenc = "null", .numobra = "null"},
         {{"DATA_FIM", sp(8)}, {"CONVENIO_OBRA", "0"}},
         {}},
        {"account without separator",
         {.conta = "'123456'"},
         {{"BANCO", sp(4)}, {"AGENCIA", zeros(6)}, {"CONTA", "0000123456"}, {"DIGITO", "00"}},
         {}},
        {"the leftmost separator gives the digit",
         {.conta = "'123.456-7'"},
         {{"CONTA", "0001234567"}, {"DIGITO", "45"}},
         {}},
        {"no account",
         {.conta = "null"},
         {{"CONTA", zeros(10)}, {"DIGITO", "00"}},
         {}},
        {"blank description and type",
         {.especif = "'  '", .tipo = "null"},
         {{"DESCRICAO", sp(250)}, {"TIPO_CONVENIO", sp(2)}},
         {"DESCRIÇÃO DO CONVENIO NÃO PODE FICAR EM BRANCO"}},
    };
    document("CONV32007.DOC");
    document("PLAPCONV32007.DOC");
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        reset();
        agreement(k.a);
        const std::vector<std::string> got = lines(kConvenio);
        ASSERT_EQ(got.size(), 3u);
        EXPECT_EQ(got[1].size(), 683u);
        for (const auto& [field, value] : k.fields) EXPECT_EQ(fieldAt(kConvenioAt, got[1], field), value) << field;
        std::vector<std::string> expected;
        for (const std::string& d : k.logged) expected.push_back(entry("CONVENIO.TXT", 2, d));
        EXPECT_EQ(entries(), expected);
    }
}

// An account with two DESCON rows writes the agreement twice, counted twice; each
// record misses its documents on its own line, agreement document first.
TEST_F(ConveniosTest, ConvenioTwiceAndMissingDocuments) {
    agreement({});
    db.exec("insert into DESCON (EMPRESA, BANCO, AGENCIA, CONTA) values (1, '001', '1234-5', '12345-6');"
            " insert into DESCON (EMPRESA, BANCO, AGENCIA, CONTA) values (1, '104', '0987', '12345-6'); commit;");
    document("PLAPCONV32007.DOC");
    std::vector<std::string> got = lines(kConvenio);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[3], "3000002");
    // Only bank and branch (positions 507 to 516) differ.
    EXPECT_EQ(got[1].substr(0, 506), got[2].substr(0, 506));
    EXPECT_EQ(got[1].substr(506, 10), "001 012345");
    EXPECT_EQ(got[2].substr(506, 10), "104 000987");
    EXPECT_EQ(got[1].substr(516), got[2].substr(516));
    EXPECT_EQ(entries(), (std::vector<std::string>{missing("CONVENIO.TXT", 2, "CONV32007.DOC"),
                                                   missing("CONVENIO.TXT", 3, "CONV32007.DOC")}));

    // Without a number: the number's check, then both documents named ".DOC".
    reset();
    agreement({.numconv = "null"});
    got = lines(kConvenio);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(fieldAt(kConvenioAt, got[1], "CONVENIO"), zeros(16));
    EXPECT_EQ(fieldAt(kConvenioAt, got[1], "NOME_ARQ_CONV"), pad(".DOC", 50));
    EXPECT_EQ(entries(), (std::vector<std::string>{entry("CONVENIO.TXT", 2, "NUMERO DO CONVENIO NÃO PODE FICAR EM BRANCO"),
                                                   missing("CONVENIO.TXT", 2, ".DOC"),
                                                   missing("CONVENIO.TXT", 2, ".DOC")}));
}

// An amendment: the agreement's number in field 3 but its internal key in the
// document names; the registration date as celebration, publication and start.
TEST_F(ConveniosTest, AditConvRecord) {
    agreement({.numconv = "'3/2006'", .data = "'2006-11-05'"});
    agreement({.convenio = "6", .numconv = "'9/2007'", .empresa = "2"});  // another entity
    amendment("5, 2, 'PRORROGAÇÃO DO PRAZO', 1234.56, '2007-03-15', '2007-12-31'");
    amendment("5, 3, 'FORA DO MES', 10, '2007-02-15', null");
    amendment("6, 1, 'OUTRA ENTIDADE', 10, '2007-03-15', null");
    document("adconv5-2.doc");
    const std::string record = std::string("2") +
                               "2006" +                               // ANO_CONVENIO
                               zeros(11) + "32006" +                  // CONVENIO
                               zeros(15) + "2" +                      // ADITIVO
                               "1" + "3 " +                           // TIPO, TIPO_AJUSTE
                               pad("PRORROGA\xC7\xC3O DO PRAZO", 250) +  // OBJETIVO
                               zeros(9) + "123456" +                  // VALOR
                               "20070315" + "20070315" +              // celebration, publication
                               pad("N\xC3O CONSTA", 120) +            // VEIC_PUBL
                               "20070315" + "20071231" +              // start, end
                               sp(10) + sp(8) + sp(50) +              // legal opinion
                               pad("ADCONV5-2.DOC", 50) +             // NOME_ARQ_ADITIVO
                               sp(50) +                               // NOME_ARQ_PARECER
                               pad("ADCONVPLAPLIC5-2.DOC", 50) +      // NOME_PLANO_APLIC
                               sp(120) +                              // ESPECIFICACAO
                               "1" + "0";
    ASSERT_EQ(record.size(), 797u);
    EXPECT_EQ(lines(kAditConv), (std::vector<std::string>{"1200703", record, "3000001"}));
    EXPECT_EQ(entries(), (std::vector<std::string>{missing("ADITCONV.TXT", 2, "ADCONVPLAPLIC5-2.DOC")}));
}

// An amendment without number, description and end: its entries in record order,
// then two documents named ".DOC".
TEST_F(ConveniosTest, AditConvChecks) {
    agreement({});
    amendment("5, null, null, 0, '2007-03-15', null");
    const std::vector<std::string> got = lines(kAditConv);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1].size(), 797u);
    EXPECT_EQ(fieldAt(kAditConvAt, got[1], "ADITIVO"), zeros(16));
    EXPECT_EQ(fieldAt(kAditConvAt, got[1], "OBJETIVO"), sp(250));
    EXPECT_EQ(fieldAt(kAditConvAt, got[1], "VALOR"), zeros(15));
    EXPECT_EQ(fieldAt(kAditConvAt, got[1], "DATA_FIM"), sp(8));
    EXPECT_EQ(fieldAt(kAditConvAt, got[1], "NOME_ARQ_ADITIVO"), pad(".DOC", 50));
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("ADITCONV.TXT", 2, "NUMERO DO ADITIVO NÃO PODE FICAR EM BRANCO"),
                             entry("ADITCONV.TXT", 2, "OBJETIVO DO ADITIVO NÃO PODE FICAR EM BRANCO"),
                             missing("ADITCONV.TXT", 2, ".DOC"),
                             missing("ADITCONV.TXT", 2, ".DOC"),
                         }));
}

// The other party: person type from the supplier type, the number without its
// punctuation; an agreement whose party is not registered is left out.
TEST_F(ConveniosTest, PartConv) {
    struct Case {
        const char* codtip;
        const char* insmf;
        std::string tipo;
        std::string numero;
        bool logged;
    };
    const Case cases[] = {
        {"'01'", "'12.345.678/0001-95'", "2", "12345678000195", false},
        {"'02'", "'123.456.789-09'", "1", "00012345678909", false},
        {"'09'", "'12345'", "1", "00000000012345", false},
        {"null", "' '", "1", zeros(14), true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.codtip);
        reset();
        agreement({});
        agreement({.convenio = "6", .numconv = "'4/2007'", .codif = "99"});  // party not registered
        db.exec(std::string("insert into DESFOR (CODIF, CODTIP, INSMF) values (10, ") + k.codtip + ", " + k.insmf +
                "); commit;");
        const std::string record = "2" + std::string("2007") + zeros(11) + "32007" + k.tipo + k.numero +
                                   zeros(7) + "15000050";
        ASSERT_EQ(record.size(), 51u);
        EXPECT_EQ(lines(kPartConv), (std::vector<std::string>{"1200703", record, "3000001"}));
        std::vector<std::string> expected;
        if (k.logged) expected.push_back(entry("PARTCONV.TXT", 2, "CNPJ OU CPF DO PARTICIPANTE NÃO PODE FICAR EM BRANCO"));
        EXPECT_EQ(entries(), expected);
    }
}

// A NULL amount cannot be written: the file stops with an error naming the field,
// without trailer, after the checks made before it.
TEST_F(ConveniosTest, NullAmountStopsTheFile) {
    document("CONV32007.DOC");
    document("PLAPCONV32007.DOC");
    agreement({.valor = "null"});
    db.exec("insert into DESFOR (CODIF, CODTIP, INSMF) values (10, '01', '12.345.678/0001-95'); commit;");
    amendment("5, 1, 'PRAZO', null, '2007-03-15', null");
    struct Case {
        const GeneratedFile* f;
        const char* field;
        std::vector<std::string> logged;
    };
    const Case cases[] = {
        {&kConvenio, "VALOR_CONVENIO", {}},
        {&kAditConv, "VALOR", {entry("ADITCONV.TXT", 2, "VALOR DO ADITIVO NÃO PODE FICAR EM BRANCO")}},
        {&kPartConv, "VALOR", {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.f->name);
        ex->emptyLog();
        try {
            k.f->run(*ex, k.f->name);
            ADD_FAILURE() << "no error";
        } catch (const GenerationError& e) {
            const std::string msg = e.what();
            for (const std::string& part : {std::string(k.f->name) + ".txt", std::string("linha 2"),
                                           std::string("campo ") + k.field})
                EXPECT_NE(msg.find(part), std::string::npos) << part << " not in: " << msg;
        }
        ex->closeExportFile();
        EXPECT_EQ(fileLines(k.f->name), std::vector<std::string>{"1200703"});
        EXPECT_EQ(entries(), k.logged);
    }
}
