// The commitment files Empenho, ItemEmp, AnulaEmp and CancRest from DESPES and DESDIS,
// and the shared value rules they introduce (entity filter, flattening, blanks for "I").
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/filegenerator.h"
#include "engine/values.h"
#include "generators/empenhos.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

// Places of the fields these tests read, from the court's layouts.
const CourtField kCancRestAt[] = {  // CancRest.txt
    {"NUM_EMPENHO", 6, 16},
    {"MOTIVO", 30, 250},
};
const CourtField kEmpenhoAt[] = {  // Empenho.txt
    {"EMPENHO", 6, 16},
    {"PROJATIV", 22, 4},
    {"ELEMENTO", 26, 8},
    {"FONTE", 34, 3},
    {"TIPO_EMP", 63, 1},
    {"CATEG_EMP", 64, 2},
    {"BASE_LEGAL", 66, 2},
    {"EMP_OBRA", 68, 1},
    {"ANO_OBRA", 69, 4},
    {"NUM_OBRA", 73, 4},
    {"EMP_CONTRATO", 77, 1},
    {"ANO_CONTRATO", 78, 4},
    {"NUM_CONTRATO", 82, 16},
    {"EMP_CONVENIO", 98, 1},
    {"ANO_CONVENIO", 99, 4},
    {"CONVENIO", 103, 16},
    {"REAL_LICIT", 119, 1},
    {"ANO_LICIT", 120, 4},
    {"MOD_LIC", 124, 2},
    {"LICIT", 126, 16},
    {"REAL_DISPENSA", 142, 1},
    {"ANO_DISPENSA", 143, 4},
    {"MOD_DISP", 147, 2},
    {"PROC_DISP", 149, 16},
    {"CONV_EMP", 230, 16},
};
const CourtField kItemEmpAt[] = {  // ItemEmp.txt
    {"EMPENHO", 6, 16},
    {"DESCRICAO", 26, 255},
};


constexpr const char* kMenu = "MÓDULO CONTAS - MENU DESPESAS > 01 - EMPENHO";

// One DESPES row; every member is SQL text. The defaults make a clean commitment of
// March 2007 on appropriation 1.
struct Mov {
    std::string pk = {};
    std::string datae = "'2007-03-15'";
    std::string nempg = "123";
    std::string vadem = "1500.50";
    std::string tpem = "'OR'";
    std::string licit = "'MAT / SERV - CONVITE'";
    std::string numlic = "null";
    std::string numlicmod = "null";
    std::string codobra = "null";
    std::string contrato = "null";
    std::string convenio = "null";
    std::string codif = "null";
    std::string ficha = "1";
    std::string produ = "'MATERIAL DE EXPEDIENTE'";
};


const GeneratedFile kEmpenho{"Empenho", Empenho, 301};
const GeneratedFile kItemEmp{"ItemEmp", ItemEmp, 323};
const GeneratedFile kAnulaEmp{"AnulaEmp", AnulaEmp, 304};
const GeneratedFile kCancRest{"CancRest", CancRest, 294};

class EmpenhosTest : public GeneratorTest {
protected:
    void SetUp() override {
        // Appropriation 1 of entity 01, budgeted; carried-over commitments sit on 99.
        appropriation("1, 1, '01', '2001', '100', '39', '33903900', 1000");
        appropriation("99, 1, '99', '0001', '100', '39', '33903900', 0");
    }

    // FICHA, EMPRESA, PODER, PROJATIV, FONCODIGO, ELEMENTO, BALCO_TCE, DOTAC.
    void appropriation(const std::string& values) {
        db.exec("insert into DESDIS (FICHA, EMPRESA, PODER, PROJATIV, FONCODIGO, ELEMENTO, BALCO_TCE, DOTAC)"
                " values (" + values + "); commit;");
    }

    void movement(const Mov& m) {
        db.exec("insert into DESPES (PKEMP, DATAE, NEMPG, VADEM, TPEM, LICIT, NUMLIC, NUMLICMOD, CODOBRA, CONTRATO,"
                " CONVENIO, CODIF, FICHA, PRODU) values ('" + m.pk + "', " + m.datae + ", " + m.nempg + ", " +
                m.vadem + ", " + m.tpem + ", " + m.licit + ", " + m.numlic + ", " + m.numlicmod + ", " + m.codobra +
                ", " + m.contrato + ", " + m.convenio + ", " + m.codif + ", " + m.ficha + ", " + m.produ +
                "); commit;");
    }

};

std::string entry(const std::string& file, int line, const std::string& descricao,
                  const std::string& resolver = kMenu) {
    return file + "|ERRO|" + std::to_string(line) + "|" + descricao + "|" + resolver;
}

}  // namespace

TEST(EmpenhoValues, SharedRules) {
    RunContext ctx;
    ctx.entityCode = "01";
    EXPECT_EQ(entityFilter(ctx, "B"), " AND B.EMPRESA = '01'");
    ctx.entityCode = "00";
    EXPECT_EQ(entityFilter(ctx, "A"), "");

    struct Case {
        const char* text;
        std::size_t n;
        const char* flat;
    };
    const Case flat[] = {
        {"A\r\nB", 10, "A  B"},             // a pair gives two blanks
        {"L1\nL2\rL3", 10, "L1 L2 L3"},
        {"AÇÃO\r\nDE", 5, "AÇÃO "},           // n counts characters, not bytes
        {"", 250, ""},                       // nothing is added past the end
    };
    for (const Case& c : flat) EXPECT_EQ(flattenLineBreaks(c.text, c.n), c.flat) << c.text;

    EXPECT_EQ(idOrBlanks(ctx, 6, "12/3"), "000123");
    EXPECT_EQ(idOrBlanks(ctx, 4, ""), sp(4));
    EXPECT_EQ(idOrBlanks(ctx, 4, " \t"), sp(4));  // blank, not empty
}

TEST_F(EmpenhosTest, LayoutLengths) {
    EXPECT_EQ(kEmpenhoLayout.recordLength(), 301);
    EXPECT_EQ(kItemEmpLayout.recordLength(), 323);
    EXPECT_EQ(kAnulaEmpLayout.recordLength(), 304);
    EXPECT_EQ(kCancRestLayout.recordLength(), 294);
}

// The statements are the court's texts with month, year and entity inserted; with
// "00" the entity filter goes away. A month without movements gives an empty file.
TEST_F(EmpenhosTest, QueriesAndEmptyMonth) {
    for (const GeneratedFile* f : {&kEmpenho, &kItemEmp, &kAnulaEmp, &kCancRest}) {
        SCOPED_TRACE(f->name);
        std::string expected = courtQuery(f->name);

        ex->ctx.entityCode = "01";
        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);

        ex->ctx.entityCode = "00";
        lines(*f);
        const std::string filter = " AND B.EMPRESA = '01'";
        expected.erase(expected.find(filter), filter.size());
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
    }
    EXPECT_TRUE(entries().empty());
}

// Which movements each file takes: sign, type 'EX', carried-over appropriations,
// month, year and entity.
TEST_F(EmpenhosTest, MovementsPerFileAndEntity) {
    appropriation("9, 2, '01', '2001', '100', '39', '33903900', 1000");
    movement({.pk = "E1", .nempg = "1", .vadem = "100"});
    movement({.pk = "E2", .nempg = "2", .vadem = "200", .tpem = "'EX'"});
    movement({.pk = "E3", .nempg = "1", .vadem = "-30"});
    movement({.pk = "E4", .nempg = "3", .vadem = "-40", .ficha = "99"});
    movement({.pk = "E5", .nempg = "5", .vadem = "500", .ficha = "9"});
    movement({.pk = "E6", .nempg = "5", .vadem = "-50", .ficha = "9"});
    movement({.pk = "E7", .datae = "'2007-02-28'", .nempg = "7", .vadem = "700"});
    movement({.pk = "E8", .datae = "'2006-03-15'", .nempg = "8", .vadem = "800"});
    movement({.pk = "E9", .datae = "'2007-04-01'", .nempg = "9", .vadem = "-900"});

    struct Case {
        const GeneratedFile* file;
        const char* entity;
        std::vector<std::string> numbers;  // commitment numbers, sorted
    };
    const Case cases[] = {
        {&kEmpenho, "01", {"1"}},
        {&kEmpenho, "00", {"1", "5"}},
        {&kItemEmp, "01", {"1", "2"}},  // 'EX' is an item all the same
        {&kItemEmp, "00", {"1", "2", "5"}},
        {&kAnulaEmp, "01", {"1"}},
        {&kAnulaEmp, "00", {"1", "5"}},
        {&kCancRest, "01", {"3"}},
        {&kCancRest, "02", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file->name) + " " + c.entity);
        ex->ctx.entityCode = c.entity;
        const std::vector<std::string> file = lines(*c.file);
        ASSERT_GE(file.size(), 2u);
        EXPECT_EQ(file.front(), "1200703");
        std::vector<std::string> numbers;
        for (std::size_t i = 1; i + 1 < file.size(); ++i) {
            EXPECT_EQ(static_cast<int>(file[i].size()), c.file->length);
            // Field 3 (16 digits) is the commitment number in all four files.
            numbers.push_back(std::to_string(std::stoll(file[i].substr(5, 16))));
        }
        std::sort(numbers.begin(), numbers.end());
        EXPECT_EQ(numbers, c.numbers);
        EXPECT_EQ(file.back(), "300000" + std::to_string(c.numbers.size()));
    }
}

TEST_F(EmpenhosTest, EmpenhoRecords) {
    appropriation("2, 1, '01', '1001', '01', '43', '31901100', 0");
    db.exec("insert into CADOBRA (NUMERO, ANO, EMPRESA) values ('15', 2006, 1);"
            "insert into CONTRATOS (CODIGO, DTASSI, EMPRESA) values ('Nº 12/2007', '2007-01-10', 2);"
            "insert into CADCONV (CONVENIO, DATA, EMPRESA) values (7, '2006-05-02', 1);"
            "insert into CADLIC (NUMLIC, ANO) values ('003/2007', 2007);"
            "insert into DESFOR (CODIF, CODTIP, INSMF) values (5, '01', '11.222.333/0001-81'); commit;");
    movement({.pk = "E1", .licit = "'MAT / SERV - CONVITE'", .numlic = "'003/2007'", .codobra = "'15'",
              .contrato = "'Nº 12/2007'", .convenio = "7", .codif = "5"});
    movement({.pk = "E2", .datae = "'2007-03-20'", .nempg = "124", .vadem = "0.05", .tpem = "'ES'",
              .licit = "'DISPENSA ART. 24'", .numlicmod = "'0012/2007'", .ficha = "2"});

    const std::string linked = "2"
                               "2007"                  // ANO_EMPENHO
                               "0000000000000123"      // EMPENHO
                               "2001"                  // PROJATIV
                               "33903900"              // ELEMENTO (BALCO_TCE)
                               "100"                   // FONTE
                               "00"                    // MICROREGIAO
                               "1"                     // NATUREZA
                               "20070315"              // DT_EMP
                               "000000000150050"       // VLR_EMP
                               "1"                     // TIPO_EMP 'OR'
                               "01"                    // CATEG_EMP
                               "35"                    // BASE_LEGAL
                               "1"                     // EMP_OBRA: same entity
                               "2006"                  // ANO_OBRA
                               "0015"                  // NUM_OBRA
                               "2"                     // EMP_CONTRATO: another entity
                               "2007"                  // ANO_CONTRATO
                               "N\xBA 12/2007" + sp(6) +  // NUM_CONTRATO, one byte for º
                               "2"                     // EMP_CONVENIO: same entity
                               "2006"                  // ANO_CONVENIO
                               "7" + sp(15) +          // CONVENIO
                               "1"                     // REAL_LICIT
                               "2007"                  // ANO_LICIT
                               "16"                    // MOD_LIC
                               "0000000000032007"      // LICIT
                               "0"                     // REAL_DISPENSA
                               "2007"                  // ANO_DISPENSA
                               "  "                    // MOD_DISP
                               + sp(16) +              // PROC_DISP
                               "2"                     // TIPO_PESS_CREDOR
                               "11222333000181"        // CPF_CNPJ_CREDOR
                               + sp(6) + sp(4) + sp(4) + sp(6) + sp(4) + sp(16) + sp(6) + sp(4) +
                               "0000000000000007"      // CONV_EMP
                               + sp(6) + sp(4) + sp(2) + sp(16) + sp(6) + sp(4) + sp(2) + sp(16);
    const std::string waiver = "2"
                               "2007"
                               "0000000000000124"
                               "1001"
                               "31901100"
                               "01 "
                               "00"
                               "2"                     // DOTAC 0
                               "20070320"
                               "000000000000005"
                               "2"                     // 'ES'
                               "03"                    // element 43
                               "01"                    // DISPENSA ART. 24
                               "0" + sp(4) + sp(4) +   // no work: flag "0", blank year and number
                               "0" + sp(4) + sp(16) +  // no contract
                               "0" + sp(4) + sp(16) +  // no agreement
                               "0" + sp(4) +           // no bidding
                               "  " + sp(16) +         // MOD_LIC, LICIT
                               "1"                     // REAL_DISPENSA
                               "2007"
                               "08"
                               "12" + sp(14) +         // PROC_DISP: "0012" as a number
                               " "                     // no supplier
                               + zeros(14) +
                               sp(6) + sp(4) + sp(4) + sp(6) + sp(4) + sp(16) + sp(6) + sp(4) +
                               sp(16) +                // CONV_EMP
                               sp(6) + sp(4) + sp(2) + sp(16) + sp(6) + sp(4) + sp(2) + sp(16);
    ASSERT_EQ(linked.size(), 301u);
    ASSERT_EQ(waiver.size(), 301u);
    EXPECT_EQ(lines(kEmpenho), (std::vector<std::string>{"1200703", linked, waiver, "3000002"}));
    EXPECT_TRUE(entries().empty());
}

// One commitment per case: the fields that change and the messages, in check order.
TEST_F(EmpenhosTest, EmpenhoLinksAndChecks) {
    appropriation("3, 1, '01', null, '  ', '39', null, 1000");
    appropriation("4, 1, '01', '2001', '100', '18', '33903900', 1000");
    db.exec("insert into CADOBRA (NUMERO, ANO, EMPRESA) values ('16', 2005, 2);"
            "insert into CADCONV (CONVENIO, DATA, EMPRESA) values (8, '2007-01-02', 2);"
            "insert into CADLIC (NUMLIC, ANO) values ('003/2007', 2007); commit;");

    using Fields = std::vector<std::pair<const char*, std::string>>;
    struct Case {
        const char* what;
        Mov mov;
        Fields fields;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"work missing from CADOBRA",
         {.codobra = "'77'"},
         {{"EMP_OBRA", "0"}, {"ANO_OBRA", sp(4)}, {"NUM_OBRA", "0077"}},
         {"ANO DA OBRA DO EMPENHO NÃO PODE FICAR EM BRANCO"}},
        {"work of another entity", {.codobra = "'16'"}, {{"EMP_OBRA", "2"}, {"ANO_OBRA", "2005"}}, {}},
        {"contract missing from CONTRATOS",
         {.contrato = "'C-9'"},
         {{"EMP_CONTRATO", "0"}, {"ANO_CONTRATO", sp(4)}, {"NUM_CONTRATO", "C-9" + sp(13)}},
         {"ANO DO CONTRATO DO EMPENHO NÃO PODE FICAR EM BRANCO"}},
        {"agreement missing from CADCONV",
         {.convenio = "99"},
         {{"EMP_CONVENIO", " "}, {"ANO_CONVENIO", sp(4)}, {"CONVENIO", "99" + sp(14)}, {"CONV_EMP", zeros(14) + "99"}},
         {"ANO DO CONVÊNIO DO EMPENHO NÃO PODE FICAR EM BRANCO"}},
        {"agreement of another entity", {.convenio = "8"}, {{"EMP_CONVENIO", "3"}, {"ANO_CONVENIO", "2007"}}, {}},
        {"modality outside the table, with a bidding number",
         {.licit = "'LEILÃO'", .numlic = "'003/2007'"},
         {{"BASE_LEGAL", "  "}, {"REAL_LICIT", "1"}, {"ANO_LICIT", "2007"}, {"MOD_LIC", "  "}},
         {"BASE LEGAL DO EMPENHO NÃO PODE FICAR EM BRANCO",
          "MODALIDADE DA LICITAÇÃO REFERENTE AO EMPENHO EMPENHO NÃO PODE FICAR EM BRANCO"}},
        {"modality outside the table, no bidding",
         {.licit = "null"},
         {{"BASE_LEGAL", "  "}, {"REAL_LICIT", "0"}, {"MOD_LIC", "  "}, {"LICIT", sp(16)}},
         {"BASE LEGAL DO EMPENHO NÃO PODE FICAR EM BRANCO"}},
        {"bidding missing from CADLIC",
         {.licit = "'OBRA TOMADA'", .numlic = "'9/2007'"},
         {{"BASE_LEGAL", "34"}, {"REAL_LICIT", "1"}, {"ANO_LICIT", sp(4)}, {"MOD_LIC", "17"},
          {"LICIT", "0000000000092007"}},
         {"ANO DA LICITAÇÃO REFERENTE AO EMPENHO EMPENHO NÃO PODE FICAR EM BRANCO"}},
        {"bidding number starting with a blank", {.numlic = "' 5'"}, {{"REAL_LICIT", "0"}, {"LICIT", zeros(15) + "5"}}, {}},
        {"pregão", {.licit = "'PREGÃO ELETRÔNICO'"},
         {{"BASE_LEGAL", "38"}, {"MOD_LIC", "12"}, {"REAL_DISPENSA", "0"}, {"MOD_DISP", "  "}}, {}},
        {"a modality containing DISPENSA", {.licit = "'COMPRA COM DISPENSA'"},
         {{"BASE_LEGAL", "32"}, {"MOD_LIC", "  "}, {"REAL_DISPENSA", "1"}, {"MOD_DISP", "08"}}, {}},
        {"non-requirement", {.licit = "'INEXIGIB. ART. 25'", .numlicmod = "'0300/2007'"},
         {{"BASE_LEGAL", "28"}, {"REAL_DISPENSA", "1"}, {"MOD_DISP", "09"}, {"PROC_DISP", "300" + sp(13)}}, {}},
        {"advance", {.tpem = "'AD'"}, {{"TIPO_EMP", "1"}, {"CATEG_EMP", "02"}}, {}},
        {"global commitment on a social element", {.tpem = "'GL'", .ficha = "4"},
         {{"TIPO_EMP", "3"}, {"CATEG_EMP", "04"}}, {}},
        {"other type", {.tpem = "'XX'"}, {{"TIPO_EMP", "1"}, {"CATEG_EMP", "01"}}, {}},
        {"process number that is not a number",
         {.licit = "'DISPENSA ART. 24'", .numlicmod = "'AB12/2007'"},
         {{"PROC_DISP", "AB12" + sp(12)}},
         {"NÚMERO DO PROCESSO DE DISPENSA DO EMPENHO INVÁLIDO"}},
        {"many problems at once",
         {.nempg = "null", .licit = "null", .numlic = "'1'", .codobra = "'77'", .ficha = "3"},
         {{"EMPENHO", sp(16)}, {"PROJATIV", sp(4)}, {"ELEMENTO", sp(8)}, {"FONTE", "   "}, {"LICIT", zeros(15) + "1"}},
         {"NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO", "PROJATIV DO EMPENHO NÃO PODE FICAR EM BRANCO",
          "ELEMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO", "FONTE DE RECURSOS DO EMPENHO NÃO PODE FICAR EM BRANCO",
          "BASE LEGAL DO EMPENHO NÃO PODE FICAR EM BRANCO", "ANO DA OBRA DO EMPENHO NÃO PODE FICAR EM BRANCO",
          "ANO DA LICITAÇÃO REFERENTE AO EMPENHO EMPENHO NÃO PODE FICAR EM BRANCO",
          "MODALIDADE DA LICITAÇÃO REFERENTE AO EMPENHO EMPENHO NÃO PODE FICAR EM BRANCO"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Mov m = c.mov;
        m.pk = "C" + std::to_string(++n);
        db.exec("delete from DESPES; commit;");
        movement(m);
        dm.CdsLog.close();

        const std::vector<std::string> file = lines(kEmpenho);
        ASSERT_EQ(file.size(), 3u);
        ASSERT_EQ(file[1].size(), 301u);
        EXPECT_EQ(fieldAt(kEmpenhoAt, file[1], "ANO_DISPENSA"), "2007");
        for (const auto& [name, value] : c.fields) EXPECT_EQ(fieldAt(kEmpenhoAt, file[1], name), value) << name;
        std::vector<std::string> expected;
        for (const std::string& d : c.messages) expected.push_back(entry("EMPENHO.TXT", 2, d));
        EXPECT_EQ(entries(), expected);
    }
}

TEST_F(EmpenhosTest, ItemEmpRecords) {
    movement({.pk = "E1", .produ = "'AQUISIÇÃO DE' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'MATERIAL'"});
    // 300 characters: the query keeps 250 and field 5 has 255.
    movement({.pk = "E2", .nempg = "124", .vadem = "7", .tpem = "'EX'",
              .produ = "'" + std::string(249, 'A') + "B" + std::string(50, 'C') + "'"});
    const std::string tail = "UND"
                             "0000001000";  // quantity 1 with three implied decimals
    EXPECT_EQ(lines(kItemEmp),
              (std::vector<std::string>{
                  "1200703",
                  "2"
                  "2007"
                  "0000000000000123"
                  "0001"
                  "AQUISI\xC7\xC3O DE  MATERIAL" + sp(233) +
                      tail +
                      "000000000150050"
                      "000000000150050",
                  "2"
                  "2007"
                  "0000000000000124"
                  "0001" +
                      std::string(249, 'A') + "B" + sp(5) + tail +
                      "000000000000700"
                      "000000000000700",
                  "3000002"}));
    EXPECT_TRUE(entries().empty());
}

TEST_F(EmpenhosTest, AnulaEmpAndCancRestRecords) {
    movement({.pk = "A1", .vadem = "-150", .produ = "'ESTORNO' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'PARCIAL'"});
    movement({.pk = "R1", .nempg = "45", .vadem = "-150", .ficha = "99", .produ = "'CANCELAMENTO DE RESTOS'"});
    // The annulment loses its sign, the cancellation keeps it.
    EXPECT_EQ(lines(kAnulaEmp), (std::vector<std::string>{"1200703",
                                                          "2"
                                                          "2007"
                                                          "0000000000000123"
                                                          "123" + sp(7) +
                                                              "20070315"
                                                              "ESTORNO  PARCIAL" + sp(234) +
                                                              "000000000015000",
                                                          "3000001"}));
    EXPECT_EQ(lines(kCancRest), (std::vector<std::string>{"1200703",
                                                          "2"
                                                          "2007"
                                                          "0000000000000045"
                                                          "20070315"
                                                          "CANCELAMENTO DE RESTOS" + sp(228) +
                                                              "-00000000015000",
                                                          "3000001"}));
    EXPECT_TRUE(entries().empty());
}

// A missing commitment number is written as zeros in these three files; blank texts
// are logged; the log line is the record's line in the file.
TEST_F(EmpenhosTest, ChecksOfItemAnnulmentAndCancellation) {
    movement({.pk = "P1", .nempg = "1", .vadem = "10", .produ = "'OK'"});
    movement({.pk = "P2", .nempg = "2", .vadem = "20", .produ = "'  '"});
    movement({.pk = "N1", .nempg = "null", .vadem = "-10", .produ = "null"});
    movement({.pk = "R1", .nempg = "45", .vadem = "-10", .ficha = "99", .produ = "' '"});

    const std::vector<std::string> item = lines(kItemEmp);
    ASSERT_EQ(item.size(), 4u);
    EXPECT_EQ(fieldAt(kItemEmpAt, item[2], "DESCRICAO"), sp(255));

    const std::vector<std::string> anula = lines(kAnulaEmp);
    ASSERT_EQ(anula.size(), 3u);
    EXPECT_EQ(anula[1], "2"
                        "2007" + zeros(16) + sp(10) + "20070315" + sp(250) + "000000000001000");

    const std::vector<std::string> canc = lines(kCancRest);
    ASSERT_EQ(canc.size(), 3u);
    EXPECT_EQ(fieldAt(kCancRestAt, canc[1], "MOTIVO"), sp(250));

    EXPECT_EQ(entries(),
              (std::vector<std::string>{
                  entry("ITEMEMP.TXT", 3, "DESCRIÇÃO DO ITEM DO EMPENHO NÃO PODE FICAR EM BRANCO"),
                  entry("ANULAEMP.TXT", 2, "NÚMERO DO EMPENHO ANULADO NÃO PODE FICAR EM BRANCO"),
                  entry("ANULAEMP.TXT", 2, "MOTIVO DA ANULAÇÃO DO EMPENHO NÃO PODE FICAR EM BRANCO"),
                  entry("CANCREST.TXT", 2,
                        "MOTIVO DO CANCELAMENTO DO EMPENHO DE RESTOS A PAGAR NÃO PODE FICAR EM BRANCO",
                        std::string(kMenu) + " - (EMPENHO Nº 45) !"),
              }));
}

TEST_F(EmpenhosTest, CancRestResolutionWithoutNumber) {
    movement({.pk = "R1", .nempg = "null", .vadem = "-10", .ficha = "99"});
    const std::vector<std::string> canc = lines(kCancRest);
    ASSERT_EQ(canc.size(), 3u);
    EXPECT_EQ(fieldAt(kCancRestAt, canc[1], "NUM_EMPENHO"), zeros(16));
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("CANCREST.TXT", 2,
                                   "NÚMERO DO EMPENHO DE CANCELAMENTO DE RESTOS NÃO PODE FICAR EM BRANCO",
                                   std::string(kMenu) + " - (EMPENHO Nº ) !"),
                         }));
}
