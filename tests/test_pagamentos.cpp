// The payment files NotaPag, CtaPag, RetenEmp, EstNotPg and EstNotCt from
// RATEIO_PAGAMENTO, DESPES, DESCON and the court's chart of accounts.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/datapacket.h"
#include "engine/filegenerator.h"
#include "generators/pagamentos.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

// Places of the fields these tests read, from the court's layouts.
const CourtField kCtaPagAt[] = {  // CtaPag.txt
    {"ANO_EMPENHO", 2, 4},
    {"EMPENHO", 6, 16},
    {"PROC", 30, 20},
    {"BANCO", 50, 4},
    {"AGENCIA", 54, 6},
    {"CONTA", 60, 10},
    {"DIGITO", 70, 2},
    {"DOC", 72, 10},
    {"VALOR", 97, 15},
    {"TIPO_DOC", 112, 2},
};
const CourtField kEstNotCtAt[] = {  // EstNotCt.txt
    {"ANO_EMPENHO", 2, 4},
    {"EMPENHO", 6, 16},
    {"DATA_PAG", 22, 8},
    {"DATA_ESTORNO", 30, 8},
    {"BANCO", 38, 4},
    {"AGENCIA", 42, 6},
    {"CONTA", 48, 10},
    {"DIGITO", 58, 2},
    {"VALOR", 60, 15},
    {"FORMA_ESTORNO", 75, 2},
};



const GeneratedFile kNotaPag{"NotaPag", NotaPag, 64};
const GeneratedFile kCtaPag{"CtaPag", CtaPag, 233};
const GeneratedFile kRetenEmp{"RetenEmp", RetenEmp, 102};
const GeneratedFile kEstNotPg{"EstNotPg", EstNotPg, 322};
const GeneratedFile kEstNotCt{"EstNotCt", EstNotCt, 76};

// One DESPES row; every member is SQL text. The defaults: commitment 123 of
// February 2007 on appropriation 1 (entity 1, budgetary).
struct Mov {
    std::string pk;
    std::string pkempa = "null";
    std::string datae = "'2007-02-10'";
    std::string nempg = "123";
    std::string ficha = "1";
    std::string proc = "'P-55'";
    std::string dtpag = "'2007-03-15'";
    std::string desco = "null";
};

// One RATEIO_PAGAMENTO row; the defaults pay from the bank account of entity 1.
struct Share {
    std::string pkemp;
    std::string valor;
    std::string nempg = "123";
    std::string empresa = "1";
    std::string dtlan = "'2007-03-15'";
    std::string ordpg = "'OP-7'";
    std::string cheqn = "'CH 900'";
    std::string conta = "'12345-6'";
};

std::string entry(const std::string& file, long line, const std::string& descricao, const std::string& resolver) {
    return file + "|ERRO|" + std::to_string(line) + "|" + descricao + "|" + resolver;
}

std::string contas(const std::string& empenho) { return "MÓDULO CONTAS - (EMPENHO Nº " + empenho + ") !"; }
std::string menu(const std::string& empenho) {
    return "MÓDULO CONTAS - MENU DESPESAS > 01 - EMPENHO - (EMPENHO Nº " + empenho + ") !";
}

class PagamentosTest : public GeneratorTest {
protected:
    void SetUp() override {
        db.exec(
            "insert into DESDIS (FICHA, EMPRESA, EXTRA) values (1, 1, 'N');"
            "insert into DESDIS (FICHA, EMPRESA, EXTRA) values (2, 2, 'N');"
            "insert into DESDIS (FICHA, EMPRESA, EXTRA) values (3, 1, 'S');"
            "insert into DESDIS (FICHA, EMPRESA, EXTRA) values (4, 0, 'N');"
            // EMPRESA, BALCO, BANCO, AGENCIA, CONTA.
            "insert into DESCON values (1, '111201', '001', '1234-5', '12345-6', null);"
            "insert into DESCON values (1, '111101', '000', '0000-0', 'CX', null);"
            "insert into DESCON values (2, '111202', '104', '0001-2', '555', null);"
            "insert into DESCON values (1, '311101', '001', '4321-0', 'TES', null);"
            "insert into DESCON values (1, '211801', null, null, 'IR', null);"
            "insert into DESCON values (1, '211802', null, null, 'ISS', null);"
            "insert into DESCON values (1, '211803', null, null, 'INSS', null);"
            "insert into CONPLA (BALCO, SEQ_TCE) values ('211801', '12');"
            "insert into CONPLA (BALCO, SEQ_TCE) values ('211802', '9');"
            "insert into CONPLA (BALCO, SEQ_TCE) values ('211803', '5');"
            "commit;");
        // Out of sequence order: the lookup goes by sequence, so "12" is 12, not 120.
        writeChart({{120, "2008"}, {12, "2007"}, {5, "2005"}});
    }

    void writeChart(std::initializer_list<std::pair<int, const char*>> rows) {
        RecordSet rs("PLANO");
        rs.addField({"nu_SequencialTC", FieldType::Int32});
        rs.addField({"cd_ContaTC", FieldType::String, 20});
        rs.addField({"dt_AnoAtivacao", FieldType::String, 4});
        rs.createDataSet();
        for (const auto& [seq, year] : rows) {
            rs.append();
            rs.field("nu_SequencialTC").setValue(std::int64_t{seq});
            rs.field("cd_ContaTC").setAsString("1.1");
            rs.field("dt_AnoAtivacao").setAsString(year);
            rs.post();
        }
        saveDatapacket(rs, db.dir() / "TABDEF" / "PLANO_CONTAS_SE.XML");
    }

    void movement(const Mov& m) {
        db.exec("insert into DESPES (PKEMP, PKEMPA, DATAE, NEMPG, FICHA, PROC, DTPAG, DESCO) values ('" + m.pk +
                "', " + m.pkempa + ", " + m.datae + ", " + m.nempg + ", " + m.ficha + ", " + m.proc + ", " +
                m.dtpag + ", " + m.desco + "); commit;");
    }

    void share(const Share& s) {
        db.exec("insert into RATEIO_PAGAMENTO (PKEMP, NEMPG, EMPRESA, DTLAN, ORDPG, VALOR, CHEQN, CONTA) values ('" +
                s.pkemp + "', " + s.nempg + ", " + s.empresa + ", " + s.dtlan + ", " + s.ordpg + ", " + s.valor +
                ", " + s.cheqn + ", " + s.conta + "); commit;");
    }

    void revenue(const std::string& pkemp, const std::string& conta) {
        db.exec("insert into RECEIT (PKEMP, CONTA) values ('" + pkemp + "', '" + conta + "'); commit;");
    }

    // The line of the file (header = 1) holding `record`.
    long lineOf(const GeneratedFile& f, const std::string& record) {
        const std::string bytes = readBytes(out.path() / (std::string(f.name) + ".txt"));
        const std::size_t at = bytes.find(record);
        if (at == std::string::npos) return -1;
        return 1 + static_cast<long>(std::count(bytes.begin(), bytes.begin() + static_cast<long>(at), '\n'));
    }
};

}  // namespace

TEST_F(PagamentosTest, LayoutLengths) {
    const std::pair<const GeneratedFile*, const Layout*> cases[] = {
        {&kNotaPag, &kNotaPagLayout}, {&kCtaPag, &kCtaPagLayout},     {&kRetenEmp, &kRetenEmpLayout},
        {&kEstNotPg, &kEstNotPgLayout}, {&kEstNotCt, &kEstNotCtLayout},
    };
    for (const auto& [f, layout] : cases) EXPECT_EQ(layout->recordLength(), f->length) << f->name;
}

// The statements are the court's texts with month, year and entity inserted; with
// "00" three files drop the entity filter and two keep it. A month without payments
// gives empty files.
TEST_F(PagamentosTest, QueriesAndEmptyMonth) {
    const std::string filter = " AND R.EMPRESA = '01'";
    for (const GeneratedFile* f : {&kNotaPag, &kCtaPag, &kRetenEmp, &kEstNotPg, &kEstNotCt}) {
        SCOPED_TRACE(f->name);
        std::string expected = courtQuery(f->name);

        ex->ctx.entityCode = "01";
        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);

        ex->ctx.entityCode = "00";
        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        const std::size_t at = expected.find(filter);
        if (f == &kRetenEmp || f == &kEstNotCt) {
            ASSERT_EQ(at, std::string::npos);
            const std::size_t one = expected.find("EMPRESA = '01'");
            ASSERT_NE(one, std::string::npos);
            expected.replace(one, 14, "EMPRESA = '00'");
        } else {
            ASSERT_NE(at, std::string::npos);
            expected.erase(at, filter.size());
        }
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
    }
    EXPECT_TRUE(entries().empty());
}

// Two positive shares of one order make one payment note with their sum and two
// account records: one from the bank, one from the cash account without bank data.
// Reversals and other months stay out.
TEST_F(PagamentosTest, PaymentNoteAndItsShares) {
    movement({.pk = "1"});
    share({.pkemp = "1", .valor = "100.50"});
    share({.pkemp = "1", .valor = "49.50", .cheqn = "'CH 901'", .conta = "'CX'"});
    share({.pkemp = "1", .valor = "-20"});
    share({.pkemp = "1", .valor = "10", .dtlan = "'2007-04-02'"});
    share({.pkemp = "1", .valor = "10", .dtlan = "'2006-03-15'"});

    const std::string note = "2"
                             "2007"              // ANO_EMPENHO
                             "0000000000000123"  // EMPENHO, zero-filled
                             "20070315"          // DT_PAG
                             "OP-7" + sp(16) +   // PROC
                             "000000000015000";  // VLR_BRUTO 100,50 + 49,50
    ASSERT_EQ(note.size(), 64u);
    EXPECT_EQ(lines(kNotaPag), (std::vector<std::string>{"1200703", note, "3000001"}));
    EXPECT_TRUE(entries().empty());

    const std::string bank = "2"
                             "2007"
                             "123" + sp(13) +    // EMPENHO, left-aligned
                             "20070315"
                             "OP-7" + sp(16) +
                             "001 "              // BANCO
                             "012345"            // AGENCIA 1234-5
                             "0000123456"        // CONTA 12345-6
                             "00"                // DIGITO never supplied
                             "CH 900    "        // DOC
                             "000000000010050"   // VLR_DOC
                             "000000000010050"   // VALOR
                             "05" + sp(120);
    const std::string cash = "2"
                             "2007"
                             "123" + sp(13) +
                             "20070315"
                             "OP-7" + sp(16) +
                             sp(4) + sp(6) + sp(10) + sp(2) + sp(10) +  // no bank data, no document
                             "000000000004950"
                             "000000000004950"
                             "04" + sp(120);
    ASSERT_EQ(bank.size(), 233u);
    ASSERT_EQ(cash.size(), 233u);
    EXPECT_EQ(sortedLines(kCtaPag), (std::vector<std::string>{"1200703", cash, bank, "3000002"}));
    EXPECT_EQ(entries(), (std::vector<std::string>{entry("CTAPAG.TXT", lineOf(kCtaPag, bank),
                                                         "DIGITO DA CONTA BANCÁRIA NÃO PODE FICAR EM BRANCO",
                                                         contas("123"))}));
}

// "00" takes every entity's payments in three files; the retentions and the
// reversal accounts go by the appropriation's entity, "00" included.
TEST_F(PagamentosTest, EntityOfEachFile) {
    movement({.pk = "1", .desco = "5"});
    movement({.pk = "2", .nempg = "200", .ficha = "2", .desco = "5"});
    movement({.pk = "3", .nempg = "300", .ficha = "4", .desco = "5"});
    share({.pkemp = "1", .valor = "100"});
    share({.pkemp = "1", .valor = "-10"});
    share({.pkemp = "2", .valor = "200", .nempg = "200", .empresa = "2", .conta = "'555'"});
    share({.pkemp = "2", .valor = "-20", .nempg = "200", .empresa = "2", .conta = "'555'"});
    // Paid by entity 1 from an appropriation of entity 0.
    share({.pkemp = "3", .valor = "300", .nempg = "300"});
    share({.pkemp = "3", .valor = "-30", .nempg = "300"});
    for (const char* pk : {"1", "2", "3"}) revenue(pk, "IR");

    struct Case {
        const GeneratedFile* file;
        const char* entity;
        std::vector<long long> numbers;  // sorted
    };
    const Case cases[] = {
        {&kNotaPag, "01", {123, 300}},  {&kNotaPag, "02", {200}},  {&kNotaPag, "00", {123, 200, 300}},
        {&kCtaPag, "01", {123, 300}},   {&kCtaPag, "00", {123, 200, 300}},
        {&kEstNotPg, "01", {123, 300}}, {&kEstNotPg, "00", {123, 200, 300}},
        {&kRetenEmp, "01", {123}},      {&kRetenEmp, "02", {200}}, {&kRetenEmp, "00", {300}},
        {&kEstNotCt, "01", {123}},      {&kEstNotCt, "02", {200}}, {&kEstNotCt, "00", {300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file->name) + " " + c.entity);
        ex->ctx.entityCode = c.entity;
        const std::vector<std::string> file = lines(*c.file);
        ASSERT_GE(file.size(), 2u);
        EXPECT_EQ(file.front(), "1200703");
        std::vector<long long> numbers;
        for (std::size_t i = 1; i + 1 < file.size(); ++i) {
            EXPECT_EQ(static_cast<int>(file[i].size()), c.file->length);
            numbers.push_back(std::stoll(file[i].substr(5, 16)));  // field 3 in every file
        }
        std::sort(numbers.begin(), numbers.end());
        EXPECT_EQ(numbers, c.numbers);
        EXPECT_EQ(file.back(), "300000" + std::to_string(c.numbers.size()));
    }
}

// The checks of the payment note, with the two resolutions it uses.
TEST_F(PagamentosTest, PaymentNoteChecks) {
    struct Case {
        const char* what;
        Mov mov;
        Share share;
        std::string record;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"no order",
         {.pk = "1"},
         {.pkemp = "1", .valor = "100", .ordpg = "null"},
         "2" "2007" "0000000000000123" "20070315" + sp(20) + "000000000010000",
         {entry("NOTAPAG.TXT", 2, "PROCESSO ADMINISTRATIVO DA NOTA DE PAGAMENTO NÃO PODE FICAR EM BRANCO",
                contas("123"))}},
        {"commitment without date and number",
         {.pk = "2", .datae = "null", .nempg = "null"},
         {.pkemp = "2", .valor = "0.05", .ordpg = "'  '"},
         "2" + sp(4) + zeros(16) + "20070315" + sp(20) + "000000000000005",
         {entry("NOTAPAG.TXT", 2, "ANO DO EMPENHO DA NOTA DE PAGAMENTO NÃO PODE FICAR EM BRANCO", menu("")),
          entry("NOTAPAG.TXT", 2, "NÚMERO DO EMPENHO DA NOTA DE PAGAMENTO NÃO PODE FICAR EM BRANCO", menu("")),
          entry("NOTAPAG.TXT", 2, "PROCESSO ADMINISTRATIVO DA NOTA DE PAGAMENTO NÃO PODE FICAR EM BRANCO",
                contas(""))}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        db.exec("delete from RATEIO_PAGAMENTO; commit;");
        clearLog();
        movement(c.mov);
        share(c.share);
        EXPECT_EQ(lines(kNotaPag), (std::vector<std::string>{"1200703", c.record, "3000001"}));
        EXPECT_EQ(entries(), c.messages);
    }
}

// One share per case: bank checks only for payments from a bank account.
TEST_F(PagamentosTest, AccountShareChecks) {
    db.exec("insert into DESCON values (1, '111203', '237', '0000-0', '777', null);"
            "insert into DESCON values (1, '111204', null, '0002-3', '888', null);"
            "insert into DESCON values (1, '111205', '104', '0678-9', ' ', null); commit;");
    movement({.pk = "1"});
    movement({.pk = "2", .datae = "null", .nempg = "null"});

    using Fields = std::vector<std::pair<const char*, std::string>>;
    struct Case {
        const char* what;
        Share share;
        Fields fields;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"bank account without agency",
         {.pkemp = "1", .valor = "10", .conta = "'777'"},
         {{"BANCO", "237 "}, {"AGENCIA", "000000"}, {"CONTA", "0000000777"}, {"DIGITO", "00"}, {"TIPO_DOC", "05"}},
         {"CÓDIGO DA AGÊNCIA NÃO PODE FICAR EM BRANCO", "DIGITO DA CONTA BANCÁRIA NÃO PODE FICAR EM BRANCO"}},
        {"bank share without order, document and bank code",
         {.pkemp = "1", .valor = "10", .ordpg = "null", .cheqn = "null", .conta = "'888'"},
         {{"PROC", sp(20)}, {"BANCO", sp(4)}, {"AGENCIA", "000023"}, {"DOC", sp(10)}, {"TIPO_DOC", "05"}},
         {"PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO", "CÓDIGO DO BANCO NÃO PODE FICAR EM BRANCO",
          "DIGITO DA CONTA BANCÁRIA NÃO PODE FICAR EM BRANCO",
          "NÚMERO DO DOCUMENTO UTILIZADO PARA PAGAMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO"}},
        {"bank account without number",
         {.pkemp = "1", .valor = "10", .conta = "' '"},
         {{"BANCO", "104 "}, {"AGENCIA", "006789"}, {"CONTA", "0000000000"}, {"TIPO_DOC", "05"}},
         {"NÚMERO DA CONTA BANCÁRIA NÃO PODE FICAR EM BRANCO", "DIGITO DA CONTA BANCÁRIA NÃO PODE FICAR EM BRANCO"}},
        {"cash share without order",
         {.pkemp = "1", .valor = "10", .ordpg = "null", .conta = "'CX'"},
         {{"PROC", sp(20)}, {"AGENCIA", sp(6)}, {"CONTA", sp(10)}, {"DIGITO", sp(2)}, {"TIPO_DOC", "04"}},
         {}},
        {"commitment without date and number",
         {.pkemp = "2", .valor = "10", .nempg = "null", .conta = "'CX'"},
         {{"ANO_EMPENHO", sp(4)}, {"EMPENHO", sp(16)}},
         {"ANO DO EMPENHO NÃO PODE FICAR EM BRANCO", "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        db.exec("delete from RATEIO_PAGAMENTO; commit;");
        clearLog();
        share(c.share);
        const std::vector<std::string> file = lines(kCtaPag);
        ASSERT_EQ(file.size(), 3u);
        ASSERT_EQ(file[1].size(), 233u);
        for (const auto& [name, value] : c.fields) EXPECT_EQ(fieldAt(kCtaPagAt, file[1], name), value) << name;
        const std::string numero = c.share.pkemp == "1" ? "123" : "";
        std::vector<std::string> expected;
        for (const std::string& m : c.messages) expected.push_back(entry("CTAPAG.TXT", 2, m, contas(numero)));
        EXPECT_EQ(entries(), expected);
    }
}

// A reversal of -80,00 to the bank: the note keeps the sign, the account record
// drops it and takes the payment date from the first positive share of PKEMPA.
TEST_F(PagamentosTest, ReversalNoteAndAccount) {
    movement({.pk = "1"});
    movement({.pk = "1E", .pkempa = "'1'", .datae = "'2007-02-10'", .dtpag = "'2007-03-15'"});
    share({.pkemp = "1", .valor = "200", .dtlan = "'2007-03-12'"});
    share({.pkemp = "1E", .valor = "-80", .dtlan = "'2007-03-20'", .cheqn = "'CHEQUE DEVOLVIDO'"});

    const std::string note = "2"
                             "2007"
                             "0000000000000123"
                             "20070315"                           // DT_PAG of the reversal movement
                             "P-55" + sp(16) +                    // PROC
                             "20070320"                           // DATA_BAIXA
                             + pad("CHEQUE DEVOLVIDO", 250) +     // CHEQN
                             "-00000000008000";                   // VLR_BAIXA, sign in front
    ASSERT_EQ(note.size(), 322u);
    EXPECT_EQ(lines(kEstNotPg), (std::vector<std::string>{"1200703", note, "3000001"}));
    EXPECT_TRUE(entries().empty());

    const std::string account = "2"
                                "2007"
                                "0000000000000123"
                                "20070312"         // DATA_PAG
                                "20070320"         // DATA_ESTORNO
                                "0001"             // BANCO
                                "012345"           // AGENCIA
                                "0000123456"       // CONTA
                                "  "               // DIGITO
                                "000000000008000"  // VALOR without sign
                                "02";
    ASSERT_EQ(account.size(), 76u);
    EXPECT_EQ(lines(kEstNotCt), (std::vector<std::string>{"1200703", account, "3000001"}));
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("ESTNOTCT.TXT", 2, "DIGITO DA CONTA NÃO PODE FICAR EM BRANCO", contas("123"))}));

    EXPECT_EQ(dm.CdsAux.source().sql, asParameter(courtQuery("EstNotCt_2"), "'1'"));
}

// The account a reversal returned to, and its payment date, one reversal per case.
TEST_F(PagamentosTest, ReversalAccountCases) {
    movement({.pk = "1"});
    share({.pkemp = "1", .valor = "200", .dtlan = "'2007-03-12'"});
    movement({.pk = "9"});  // a commitment without a positive share

    using Fields = std::vector<std::pair<const char*, std::string>>;
    struct Case {
        const char* what;
        std::string pkempa;
        std::string conta;
        Fields fields;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"treasury account 3111",
         "'1'",
         "'TES'",
         {{"BANCO", "0000"}, {"AGENCIA", "000000"}, {"CONTA", zeros(10)}, {"DIGITO", sp(2)},
          {"FORMA_ESTORNO", "01"}},
         {}},
        {"account missing from DESCON",
         "'1'",
         "'ZZ9'",
         {{"BANCO", "0000"}, {"AGENCIA", "000000"}, {"CONTA", "0000000ZZ9"}, {"DIGITO", sp(2)},
          {"FORMA_ESTORNO", "02"}},
         {"BANCO NÃO PODE FICAR EM BRANCO", "AGÊNCIA NÃO PODE FICAR EM BRANCO",
          "DIGITO DA CONTA NÃO PODE FICAR EM BRANCO"}},
        {"commitment without a positive share",
         "'9'",
         "'TES'",
         {{"DATA_PAG", sp(8)}, {"DATA_ESTORNO", "20070320"}},
         {"DATA DE PAGAMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO"}},
        {"reversal without PKEMPA",
         "null",
         "'TES'",
         {{"DATA_PAG", sp(8)}},
         {"DATA DE PAGAMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        db.exec("delete from RATEIO_PAGAMENTO where VALOR < 0; delete from DESPES where PKEMP = '1E'; commit;");
        clearLog();
        movement({.pk = "1E", .pkempa = c.pkempa});
        share({.pkemp = "1E", .valor = "-80", .dtlan = "'2007-03-20'", .conta = c.conta});
        const std::vector<std::string> file = lines(kEstNotCt);
        ASSERT_EQ(file.size(), 3u);
        ASSERT_EQ(file[1].size(), 76u);
        EXPECT_EQ(fieldAt(kEstNotCtAt, file[1], "VALOR"), "000000000008000");
        for (const auto& [name, value] : c.fields) EXPECT_EQ(fieldAt(kEstNotCtAt, file[1], name), value) << name;
        std::vector<std::string> expected;
        for (const std::string& m : c.messages) expected.push_back(entry("ESTNOTCT.TXT", 2, m, contas("123")));
        EXPECT_EQ(entries(), expected);
    }
}

// A reversal with nothing but its share: every blank is reported; the reason is
// one Windows-1252 line of 250 characters.
TEST_F(PagamentosTest, ReversalNoteChecks) {
    movement({.pk = "1E", .datae = "null", .nempg = "null", .proc = "null", .dtpag = "null"});
    share({.pkemp = "1E", .valor = "-80", .dtlan = "'2007-03-20'", .cheqn = "null"});
    share({.pkemp = "1E", .valor = "-1.5", .dtlan = "'2007-03-21'",
           .cheqn = "'DEVOLUÇÃO' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'BANCO'"});

    const std::string blank = "2" + sp(4) + zeros(16) + sp(8) + sp(20) + "20070320" + sp(250) + "-00000000008000";
    const std::string reason = "2" + sp(4) + zeros(16) + sp(8) + sp(20) + "20070321" +
                               pad("DEVOLU\xC7\xC3O  BANCO", 250) + "-00000000000150";
    ASSERT_EQ(reason.size(), 322u);
    EXPECT_EQ(sortedLines(kEstNotPg), (std::vector<std::string>{"1200703", blank, reason, "3000002"}));
    const long b = lineOf(kEstNotPg, blank);
    const long r = lineOf(kEstNotPg, reason);
    auto at = [&](long line, const char* descricao) { return entry("ESTNOTPG.TXT", line, descricao, contas("")); };
    std::vector<std::string> expected;
    for (long line : {std::min(b, r), std::max(b, r)}) {
        expected.push_back(at(line, "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
        expected.push_back(at(line, "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
        expected.push_back(at(line, "DATA DE PAGAMENTO NÃO PODE FICAR EM BRANCO"));
        expected.push_back(at(line, "PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO"));
        if (line == b) expected.push_back(at(line, "MOTIVO DO ESTORNO NÃO PODE FICAR EM BRANCO"));
    }
    EXPECT_EQ(entries(), expected);
}

// A retention of 30,00 with revenue entries in two ledger accounts gives two records
// of 30,00; two entries in one account give one of 60,00. Only retentions of
// budgetary appropriations paid in the month count.
TEST_F(PagamentosTest, Retentions) {
    movement({.pk = "1", .desco = "30"});
    revenue("1", "IR");
    revenue("1", "ISS");
    movement({.pk = "2", .nempg = "124", .proc = "'PROCESSÃO 7'", .desco = "30"});
    revenue("2", "INSS");
    revenue("2", "INSS");
    movement({.pk = "3", .nempg = "125", .ficha = "3", .desco = "30"});  // extra-budgetary
    revenue("3", "IR");
    movement({.pk = "4", .nempg = "126", .desco = "0"});
    revenue("4", "IR");
    movement({.pk = "5", .nempg = "127", .dtpag = "'2007-04-01'", .desco = "30"});
    revenue("5", "IR");

    const std::string begin = "2" "2007" "0000000000000123" "20070315" "P-55" + sp(16);
    const std::string ir = begin + "2007" + pad("211801", 34) + "000000000003000";  // SEQ_TCE 12
    const std::string iss = begin + sp(4) + pad("211802", 34) + "000000000003000";  // SEQ_TCE 9: not in the chart
    const std::string inss = "2" "2007" "0000000000000124" "20070315" + pad("PROCESS\xC3O 7", 20) + "2005" +
                             pad("211803", 34) + "000000000006000";
    ASSERT_EQ(ir.size(), 102u);
    ASSERT_EQ(inss.size(), 102u);
    EXPECT_EQ(sortedLines(kRetenEmp), (std::vector<std::string>{"1200703", iss, ir, inss, "3000003"}));
    EXPECT_EQ(entries(), (std::vector<std::string>{entry("RETENEMP.TXT", lineOf(kRetenEmp, iss),
                                                         "CONTA CONTÁBIL NÃO ENCONTRADA NO PLANO DE CONTAS DO TCE/SE",
                                                         "MÓDULO TCE - PLANO DE CONTAS - (CONTA 211802) !")}));
}

TEST_F(PagamentosTest, RetentionChecks) {
    movement({.pk = "1", .datae = "null", .nempg = "null", .proc = "'  '", .desco = "30"});
    revenue("1", "INSS");
    const std::string record =
        "2" + sp(4) + zeros(16) + "20070315" + sp(20) + "2005" + pad("211803", 34) + "000000000003000";
    EXPECT_EQ(lines(kRetenEmp), (std::vector<std::string>{"1200703", record, "3000001"}));
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("RETENEMP.TXT", 2, "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO", contas("")),
                             entry("RETENEMP.TXT", 2, "EMPENHO NÃO PODE FICAR EM BRANCO", contas("")),
                             entry("RETENEMP.TXT", 2, "PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO", contas("")),
                         }));
}

// Without the court's chart the file stops after its header, never reported as done.
TEST_F(PagamentosTest, RetentionsWithoutChart) {
    movement({.pk = "1", .desco = "30"});
    revenue("1", "IR");
    fs::remove(db.dir() / "TABDEF" / "PLANO_CONTAS_SE.XML");
    try {
        RetenEmp(*ex, "RetenEmp");
        FAIL() << "no error";
    } catch (const GenerationError& e) {
        const std::string msg = e.what();
        for (const char* part : {"RetenEmp.txt", "PLANO_CONTAS_SE.XML"})
            EXPECT_NE(msg.find(part), std::string::npos) << part << " not in: " << msg;
    }
    EXPECT_EQ(readBytes(out.path() / "RetenEmp.txt"), "1200703\r\n");
    EXPECT_EQ(ex->fileRows().at(0).stateIndex, kStateFilling);
    EXPECT_TRUE(obs.closed.empty());
}
