// The bidding files Licit, PublLic, ItemLic, ConviLic, PartLic, ItemPart and DotLicit
// from CADLIC and the tables around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "config/encoding.h"
#include "engine/filegenerator.h"
#include "generators/licitacoes.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

// Places of the fields these tests read, from the court's layouts.
const CourtField kLicitAt[] = {  // Licit.txt
    {"MODALIDADE", 6, 2},
    {"PROC_LICIT", 8, 16},
    {"TIPO_ESP_MODAL", 24, 2},
    {"VALOR_PREVISTO", 296, 15},
    {"DADO_PUBL", 319, 1},
    {"DATA_JULG", 320, 8},
    {"CRITERIO", 533, 1},
    {"ARQ_EDITAL", 542, 50},
};
const CourtField kPublLicAt[] = {  // PublLic.txt
    {"MODALIDADE", 6, 2},
    {"NUMERO", 8, 16},
};

// A process number as kind "I" writes it.
std::string num16(int n) {
    const std::string d = std::to_string(n);
    return std::string(16 - d.size(), '0') + d;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

constexpr const char* kMenu = "MÓDULO COMPRAS - LICITAÇÃO";


const GeneratedFile kLicit{"Licit", Licit, 743};
const GeneratedFile kPublLic{"PublLic", PublLic, 155};
const GeneratedFile kItemLic{"ItemLic", ItemLic, 290};
const GeneratedFile kConviLic{"ConviLic", ConviLic, 66};
const GeneratedFile kPartLic{"PartLic", PartLic, 38};
const GeneratedFile kItemPart{"ItemPart", ItemPart, 98};
const GeneratedFile kDotLicit{"DotLicit", DotLicit, 40};
const GeneratedFile* const kAll[] = {&kLicit, &kPublLic, &kItemLic, &kConviLic, &kPartLic, &kItemPart, &kDotLicit};

// One CADLIC row; every member is SQL text. The defaults make a clean process of
// March 2007, published, judged and homologated.
struct Proc {
    std::string numlic;
    std::string numero = "'001/2007'";
    std::string modlic = "'CCO2'";
    std::string discr = "'MATERIAL DE EXPEDIENTE'";
    std::string discr7 = "'Menor Preco Unitario'";
    std::string valor = "15000.50";
    std::string dtord = "'2007-03-01'";
    std::string dtpub = "'2007-03-05'";
    std::string nropubl = "'12'";
    std::string tipopubl = "'DIARIO OFICIAL'";
    std::string datae = "'2007-03-10'";
    std::string dtadj = "'2007-03-20'";
    std::string dthom = "'2007-03-25'";
};

class LicitacoesTest : public GeneratorTest {
protected:
    void SetUp() override {
        // As a run sets it: the documents sit in the chosen folder, the files one below.
        ex->ctx.periodFolder = "Mensal/";
        ex->ctx.outputDir = out.str() + "Mensal/";
        std::filesystem::create_directories(out.path() / "Mensal");
        db.exec("insert into COMISSAO (CODCOMISS, PORTARIA, DT_INI_PI) values (1, '015/2007', '2007-01-02');"
                "commit;");
    }

    void process(const Proc& p) {
        db.exec("insert into CADLIC (NUMLIC, ANO, NUMERO, MODLIC, DISCR, DISCR7, VALOR, DTORD, DTPUB, NROPUBL,"
                " TIPOPUBL, DATAE, DTADJ, DTHOM) values ('" + p.numlic + "', 2007, " + p.numero + ", " + p.modlic +
                ", " + p.discr + ", " + p.discr7 + ", " + p.valor + ", " + p.dtord + ", " + p.dtpub + ", " +
                p.nropubl + ", " + p.tipopubl + ", " + p.datae + ", " + p.dtadj + ", " + p.dthom + "); commit;");
    }

    // A process with its commission 1.
    void linked(const Proc& p, int commission = 1) {
        process(p);
        db.exec("insert into LICITCOMISS (NUMLIC, CODCOMISS) values ('" + p.numlic + "', " +
                std::to_string(commission) + "); commit;");
    }

    void document(const std::string& name) { writeBytes(out.path() / name, "doc"); }

    std::filesystem::path filePath(const GeneratedFile& f) const { return out.path() / "Mensal" / (std::string(f.name) + ".txt"); }

    // The detail records, sorted (the statements without ORDER BY give no order),
    // each checked against its layout's length; header and trailer checked too.
    std::vector<std::string> records(const GeneratedFile& f) {
        std::vector<std::string> file = lines(f);
        EXPECT_GE(file.size(), 2u);
        if (file.size() < 2) return {};
        EXPECT_EQ(file.front(), "1200703");
        std::string count = std::to_string(file.size() - 2);
        EXPECT_EQ(file.back(), "3" + std::string(6 - count.size(), '0') + count);
        std::vector<std::string> r(file.begin() + 1, file.end() - 1);
        for (const std::string& rec : r) EXPECT_EQ(static_cast<int>(rec.size()), f.length) << rec;
        std::sort(r.begin(), r.end());
        return r;
    }

};

std::string entry(const std::string& file, int line, const std::string& descricao) {
    return file + "|ERRO|" + std::to_string(line) + "|" + descricao + "|" + kMenu;
}

}  // namespace

TEST_F(LicitacoesTest, LayoutLengths) {
    const Layout* const layouts[] = {&kLicitLayout,   &kPublLicLayout,  &kItemLicLayout, &kConviLicLayout,
                                     &kPartLicLayout, &kItemPartLayout, &kDotLicitLayout};
    for (std::size_t i = 0; i < std::size(kAll); ++i)
        EXPECT_EQ(layouts[i]->recordLength(), kAll[i]->length) << kAll[i]->name;
}

// The statements are the court's texts with month and year inserted; a month
// without processes gives files of header and trailer only.
TEST_F(LicitacoesTest, QueriesAndEmptyMonth) {
    for (const GeneratedFile* f : kAll) {
        SCOPED_TRACE(f->name);
        std::string expected = courtQuery(f->name);
        EXPECT_EQ(lines(*f), (std::vector<std::string>{"1200703", "3000000"}));
        EXPECT_EQ(dm.CdsGeral.source().sql, expected);
    }
    EXPECT_TRUE(entries().empty());
}

// A process linked to two commissions gives two records that differ in the act and
// its date; the documents are found in the chosen folder whatever their case.
TEST_F(LicitacoesTest, LicitRecordPerCommission) {
    db.exec("insert into COMISSAO (CODCOMISS, PORTARIA, DT_INI_PI) values (2, '7', '2006-06-01'); commit;");
    Proc p{.numlic = "L1", .discr = "'AQUISIÇÃO DE MATERIAL DE CONSTRUÇÃO'", .discr7 = "'Menor Preco Global'",
           .tipopubl = "'DIÁRIO OFICIAL'"};
    linked(p, 1);
    db.exec("insert into LICITCOMISS (NUMLIC, CODCOMISS) values ('L1', 2); commit;");
    process({.numlic = "L9", .numero = "'009/2007'"});  // no commission: not in Licit.txt
    document("LICIT0012007.DOC");
    document("ata_aber0012007.doc");

    auto record = [&](const std::string& act, const std::string& start) {
        return "2"
               "2007"                      // ANO_PROC
               "01"                        // MODALIDADE of CCO2
               "0000000000012007"          // PROC_LICIT 001/2007, digits only
               "16"                        // TIPO_ESP_MODAL
               "02"                        // TIPO_ATO_LEGAL
               + act + start +             // NUMERO_ATO_LEGAL, DATA_INICIO
               padText("AQUISIÇÃO DE MATERIAL DE CONSTRUÇÃO", 250) +
               "000000001500050"           // VALOR_PREVISTO
               "20070301"                  // DATA_ORDENADOR
               "1"                         // DADO_PUBL
               "20070325"                  // DATA_JULG: the homologation date
               + padText("DIÁRIO OFICIAL", 120) +
               "0"                         // DADO_PARECER
               "0000000000"                // NUM_PARECER
               + sp(8) + sp(50) +          // DATA_PARECER, RESP_PARECER
               "20070310"                  // DATA_ABERTURA
               "20070320"                  // DATA_JULGAMENTO
               "1"                         // CRITERIO
               "20070325"                  // DATA_HOMOL
               + padText("LICIT0012007.DOC", 50) + padText("ATA_ABER0012007.DOC", 50) + sp(50) + sp(50) +
               "0"                         // LICIT_CONV
               "0";                        // RECUR
    };
    const std::string first = record("015/2007  ", "20070102");
    const std::string second = record("7         ", "20060601");
    ASSERT_EQ(first.size(), 743u);
    EXPECT_EQ(records(kLicit), (std::vector<std::string>{first, second}));
    EXPECT_TRUE(entries().empty());

    // The unlinked process is in the other files all the same.
    const std::vector<std::string> publ = records(kPublLic);
    ASSERT_EQ(publ.size(), 2u);
    EXPECT_EQ(fieldAt(kPublLicAt, publ[1], "NUMERO"), "0000000000092007");
}

TEST_F(LicitacoesTest, MissingDocumentsAreLogged) {
    linked({.numlic = "L1"});
    linked({.numlic = "L2", .numero = "'2/2007'"});
    linked({.numlic = "L3", .numero = "null"});  // no number: the names are ".DOC"
    document("ATA_ABER0012007.DOC");
    document("LICIT22007.DOC");
    const std::vector<std::string> file = lines(kLicit);
    ASSERT_EQ(file.size(), 5u);

    // Lines follow the query's rows; which process is on which line is read back.
    std::map<std::string, int> lineOf;
    for (int i = 1; i <= 3; ++i) lineOf[fieldAt(kLicitAt, file[static_cast<std::size_t>(i)], "PROC_LICIT")] = i + 1;
    auto missing = [&](int line, const std::string& name) {
        return "LICIT.TXT|INEXISTENTE|" + std::to_string(line) + "|Arquivo " + out.str() + name + " não Encontrado|";
    };
    const int l1 = lineOf["0000000000012007"], l2 = lineOf["0000000000022007"], l3 = lineOf["0000000000000000"];
    std::map<int, std::vector<std::string>> byLine{
        {l1, {missing(l1, "LICIT0012007.DOC")}},
        {l2, {missing(l2, "ATA_ABER22007.DOC")}},
        {l3, {entry("LICIT.TXT", l3, "NÚMERO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO"),
              missing(l3, ".DOC"), missing(l3, ".DOC")}},
    };
    std::vector<std::string> expected;
    for (auto& [line, es] : byLine) expected.insert(expected.end(), es.begin(), es.end());
    EXPECT_EQ(entries(), expected);
    EXPECT_EQ(fieldAt(kLicitAt, file[static_cast<std::size_t>(l3 - 1)], "ARQ_EDITAL"), padText(".DOC", 50));
}

// The two modality columns of every MODLIC: Licit's MODALIDADE and the specific
// type that Licit writes in field 5 and the other files as their MODALIDADE.
TEST_F(LicitacoesTest, ModalityTranslations) {
    struct Case {
        const char* modlic;
        const char* licit;     // Licit MODALIDADE
        const char* specific;  // TIPO_ESP_MODAL / MODALIDADE elsewhere
    };
    const Case cases[] = {
        {"'PP01'", "12", "12"}, {"'PE01'", "12", "12"}, {"'CCO2'", "01", "16"}, {"'CCO5'", "02", "16"},
        {"'TOM3'", "03", "17"}, {"'TOM6'", "04", "17"}, {"'CON4'", "05", "18"}, {"'CON7'", "06", "18"},
        {"'DIS1'", "  ", "08"}, {"'DIS8'", "  ", "08"}, {"'LE10'", "  ", "07"}, {"'INE9'", "  ", "09"},
        {"'XX99'", "  ", "  "}, {"null", "  ", "  "},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        const std::string id = std::to_string(n);
        linked({.numlic = "P" + id, .numero = "'" + id + "'", .modlic = c.modlic});
        db.exec("insert into CADEST (CADPRO, DISC1, UNID1) values ('" + id + "', 'X', 'UN');"
                "insert into CADPRO (NUMLIC, CADPRO, ITEM, CODIF, QUAN1) values ('P" + id + "', '" + id +
                "', 1, 1, 1); insert into PROLIC (NUMLIC, CODIF) values ('P" + id + "', 1); commit;");
    }
    db.exec("insert into DESFOR (CODIF, CODTIP, INSMF) values (1, '01', '11.222.333/0001-81'); commit;");

    std::map<std::string, std::string> licitOf, specificOf;
    for (const std::string& r : records(kLicit)) {
        licitOf[fieldAt(kLicitAt, r, "PROC_LICIT")] = fieldAt(kLicitAt, r, "MODALIDADE");
        specificOf[fieldAt(kLicitAt, r, "PROC_LICIT")] = fieldAt(kLicitAt, r, "TIPO_ESP_MODAL");
    }
    for (const GeneratedFile* f : {&kPublLic, &kItemLic, &kConviLic, &kPartLic, &kItemPart, &kDotLicit}) {
        SCOPED_TRACE(f->name);
        std::map<std::string, std::string> modalityOf;
        for (const std::string& r : records(*f))
            modalityOf[r.substr(7, 16)] = r.substr(5, 2);  // NUMERO at 8, MODALIDADE at 6 in each
        n = 0;
        for (const Case& c : cases) EXPECT_EQ(modalityOf[num16(++n)], c.specific) << c.modlic;
    }
    n = 0;
    for (const Case& c : cases) {
        const std::string number = num16(++n);
        EXPECT_EQ(licitOf[number], c.licit) << c.modlic;
        EXPECT_EQ(specificOf[number], c.specific) << c.modlic;
    }
}

TEST_F(LicitacoesTest, JudgementCriterion) {
    const std::pair<const char*, const char*> cases[] = {
        {"'Menor Preco Unitario'", "1"}, {"'Menor Preco Global'", "1"}, {"'Melhor Tecnica'", "2"},
        {"'Tecnica e Preco'", "3"},      {"'MELHOR TECNICA'", "1"},     {"''", "1"},
        {"null", "1"},
    };
    int n = 0;
    for (const auto& [discr7, criterio] : cases) {
        ++n;
        linked({.numlic = "C" + std::to_string(n), .numero = "'" + std::to_string(n) + "'", .discr7 = discr7});
    }
    std::map<long, std::string> criterionOf;
    for (const std::string& r : records(kLicit))
        criterionOf[std::stol(fieldAt(kLicitAt, r, "PROC_LICIT"))] = fieldAt(kLicitAt, r, "CRITERIO");
    n = 0;
    for (const auto& [discr7, criterio] : cases) EXPECT_EQ(criterionOf[++n], criterio) << discr7;
}

// Every check of Licit in field order, with the publication checks only for a
// published process; the record is written all the same.
TEST_F(LicitacoesTest, LicitChecks) {
    db.exec("insert into COMISSAO (CODCOMISS, PORTARIA, DT_INI_PI) values (3, ' ', null); commit;");
    const Proc blank{.numlic = "B1", .numero = "null", .modlic = "'DIS1'", .discr = "'  '", .dtord = "null",
                     .tipopubl = "null", .dtadj = "null", .dthom = "null"};
    linked(blank, 3);
    document(".DOC");  // 'LICIT' || NULL is NULL: both names are ".DOC"
    std::vector<std::string> file = lines(kLicit);
    ASSERT_EQ(file.size(), 3u);
    const std::string r = file[1];
    EXPECT_EQ(r.size(), 743u);
    EXPECT_EQ(r.substr(0, 27), "22007  0000000000000000" "0802");
    EXPECT_EQ(fieldAt(kLicitAt, r, "DADO_PUBL"), "1");
    EXPECT_EQ(fieldAt(kLicitAt, r, "DATA_JULG"), sp(8));
    auto e = [](const std::string& d) { return entry("LICIT.TXT", 2, d); };
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             e("MODALIDADE DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO"),
                             e("NÚMERO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO"),
                             e("NÚMERO DO ATO LEGAL QUE CRIOU A COMISSÃO RESPONSAVEL PELA LICITAÇÃO NÃO PODE FICAR "
                               "EM BRANCO"),
                             e("DATA INICIO DA COMISSÃO RESPONSAVEL NÃO PODE FICAR EM BRANCO"),
                             e("DESCRIÇÃO DO OBJETO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO"),
                             e("DATA DE AUTORIZAÇÃO PELO ORDENADOR PARA ABERTURA DO PROCESSO NÃO PODE FICAR EM "
                               "BRANCO"),
                             e("DATA DE PUBLICAÇÃO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO"),
                             e("VEÍCULO DE PUBLICAÇÃO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO"),
                             e("DATA DE JULGAMENTO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO"),
                             e("DATA DE HOMOLOGAÇAO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO"),
                         }));
    EXPECT_TRUE(ex->ctx.fileHasErrors);
    EXPECT_TRUE(ex->ctx.runHasErrors);

    // Never published: DADO_PUBL "0", no publication checks, and no PublLic record.
    db.exec("delete from LICITCOMISS; delete from CADLIC; commit;");
    ex->emptyLog();
    linked({.numlic = "U1", .dtpub = "null", .tipopubl = "null", .dthom = "null"});
    document("LICIT0012007.DOC");
    document("ATA_ABER0012007.DOC");
    file = lines(kLicit);
    ASSERT_EQ(file.size(), 3u);
    EXPECT_EQ(fieldAt(kLicitAt, file[1], "DADO_PUBL"), "0");
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("LICIT.TXT", 2, "DATA DE HOMOLOGAÇAO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO")}));
    EXPECT_EQ(lines(kPublLic), (std::vector<std::string>{"1200703", "3000000"}));
}

// A NULL amount cannot be formatted: after its blank entry the file stops with an
// error naming the field, and is not closed as done.
TEST_F(LicitacoesTest, NullAmountsStopTheFile) {
    linked({.numlic = "V1", .valor = "null"});
    try {
        Licit(*ex, "Licit");
        ADD_FAILURE() << "no error";
    } catch (const GenerationError& e) {
        EXPECT_NE(std::string(e.what()).find("VALOR_PREVISTO"), std::string::npos) << e.what();
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry("LICIT.TXT", 2, "VALOR PREVISTO DA LICICITAÇÃO NÃO PODE FICAR EM BRANCO")}));
    EXPECT_EQ(fileLines(kLicit.name), (std::vector<std::string>{"1200703"}));

    db.exec("insert into CADEST (CADPRO, DISC1, UNID1) values ('1', 'X', 'UN');"
            "insert into CADPRO (NUMLIC, CADPRO, ITEM, CODIF, QUAN1) values ('V1', '1', 1, 1, null); commit;");
    try {
        ItemLic(*ex, "ItemLic");
        ADD_FAILURE() << "no error";
    } catch (const GenerationError& e) {
        EXPECT_NE(std::string(e.what()).find("QUAN1"), std::string::npos) << e.what();
    }
}

TEST_F(LicitacoesTest, PublLicRecordAndChecks) {
    process({.numlic = "P1", .tipopubl = "'DIÁRIO OFICIAL DO MUNICÍPIO'"});
    process({.numlic = "P2", .numero = "'  '", .modlic = "'XXXX'", .nropubl = "null", .tipopubl = "''"});
    process({.numlic = "P3", .numero = "'003/2007'", .dtpub = "null"});                  // not published
    process({.numlic = "P4", .numero = "'004/2007'", .datae = "'2007-04-01'"});           // April
    process({.numlic = "P5", .numero = "'005/2006'", .datae = "'2006-03-10'"});           // a year before
    const std::vector<std::string> file = lines(kPublLic);
    ASSERT_EQ(file.size(), 4u);
    const std::string full = "2"
                             "2007"
                             "16"
                             "0000000000012007"
                             "20070305"
                             "0012"                                  // NROPUBL
                             + padText("DIÁRIO OFICIAL DO MUNICÍPIO", 120);
    ASSERT_EQ(full.size(), 155u);
    const std::string empty = "2"
                              "2007"
                              "  "
                              "0000000000000000"
                              "20070305"
                              "0000" + sp(120);
    const int fullLine = file[1] == full ? 2 : 3;
    EXPECT_EQ(file[static_cast<std::size_t>(fullLine - 1)], full);
    const int emptyLine = 5 - fullLine;
    EXPECT_EQ(file[static_cast<std::size_t>(emptyLine - 1)], empty);
    auto e = [&](const std::string& d) { return entry("PUBLLIC.TXT", emptyLine, d); };
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             e("MODALIDADE DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO"),
                             e("NÚMERO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO"),
                             e("NÚMERO DA PUBLICAÇÃO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO"),
                             e("TIPO DE PUBLICAÇÃO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO"),
                         }));
    EXPECT_EQ(file.back(), "3000002");
}

// Items, invited and participating suppliers and their prices from one process with
// two suppliers quoting two products.
TEST_F(LicitacoesTest, ItemsAndSuppliers) {
    process({.numlic = "L1", .modlic = "'TOM3'"});
    process({.numlic = "L2", .numero = "'002/2007'", .datae = "'2007-02-28'"});  // February: nowhere
    const std::string longText(260, 'A');
    db.exec("insert into CADEST (CADPRO, DISC1, UNID1) values ('001.001.001', 'CIMENTO PORTLAND ÁGIL', 'SACO');"
            "insert into CADEST (CADPRO, DISC1, UNID1) values ('001.001.002', '" + longText + "', null);"
            "insert into DESFOR (CODIF, CODTIP, INSMF) values (10, '01', '11.222.333/0001-81');"
            "insert into DESFOR (CODIF, CODTIP, INSMF) values (20, '02', '111.444.777-35');"
            "insert into DESFOR (CODIF, CODTIP, INSMF) values (30, '09', null);"
            // Both suppliers quote item 1 alike; item 2 by supplier 10 only, without prices.
            "insert into CADPRO (NUMLIC, CADPRO, ITEM, CODIF, QUAN1, VAUN1, VATO1, SUBEM)"
            " values ('L1', '001.001.001', 1, 10, 100.5, 25.1234, 2524.90, '1');"
            "insert into CADPRO (NUMLIC, CADPRO, ITEM, CODIF, QUAN1, VAUN1, VATO1, SUBEM)"
            " values ('L1', '001.001.001', 1, 20, 100.5, 26, 2613, null);"
            "insert into CADPRO (NUMLIC, CADPRO, ITEM, CODIF, QUAN1, VAUN1, VATO1, SUBEM)"
            " values ('L1', '001.001.002', 2, 30, null, null, null, '0');"
            "insert into CADPRO (NUMLIC, CADPRO, ITEM, CODIF, QUAN1, VAUN1, VATO1, SUBEM)"
            " values ('L2', '001.001.001', 1, 10, 1, 1, 1, '1');"
            "insert into PROLIC (NUMLIC, CODIF) values ('L1', 10);"
            "insert into PROLIC (NUMLIC, CODIF) values ('L1', 20);"
            "insert into PROLIC (NUMLIC, CODIF) values ('L1', 30);"
            "insert into PROLIC (NUMLIC, CODIF) values ('L2', 10);"
            // Two documents of supplier 10 repeat its row before DISTINCT.
            "insert into DOCUMENTOS_RTF (NUMLIC, NUMERO, TIPO) values ('L1', 10, '6');"
            "insert into DOCUMENTOS_RTF (NUMLIC, NUMERO, TIPO) values ('L1', 10, '7');"
            "commit;");
    const std::string head = "2"
                             "2007"
                             "17"
                             "0000000000012007";

    // ItemLic: the quantity is nowhere NULL but on item 2, so that item is left out here.
    db.exec("update CADPRO set QUAN1 = 3 where ITEM = 2; commit;");
    EXPECT_EQ(records(kItemLic), (std::vector<std::string>{
                                     head + "0001" + padText("CIMENTO PORTLAND ÁGIL", 250) + "SAC" + "0000100500",
                                     head + "0002" + std::string(250, 'A') + sp(3) + "0000003000",
                                 }));
    db.exec("update CADPRO set QUAN1 = null where ITEM = 2; commit;");

    const std::string company = "2" "11222333000181", person = "1" "00011144477735", other = " " "00000000000000";
    EXPECT_EQ(records(kConviLic), sorted({head + person + sp(20) + sp(8), head + company + sp(20) + sp(8),
                                          head + other + sp(20) + sp(8)}));
    EXPECT_EQ(records(kPartLic), sorted({head + person, head + company, head + other}));
    EXPECT_EQ(records(kItemPart),
              sorted({
                  head + person + "0001" + "000000000026000" + "P" + "000000000261300" + "0000100500" + sp(15),
                  head + company + "0001" + "000000000025123" + "V" + "000000000252490" + "0000100500" + sp(15),
                  head + other + "0002" + "000000000000000" + "P" + "000000000000000" + "0000000000" + sp(15),
              }));
    EXPECT_TRUE(entries().empty());
}

// One record per process and appropriation reached through its commitments; a
// process without commitments keeps blank appropriation fields.
TEST_F(LicitacoesTest, DotLicitAppropriations) {
    process({.numlic = "L1", .modlic = "'INE9'"});
    process({.numlic = "L2", .numero = "'002/2007'", .modlic = "'PP01'"});
    db.exec("insert into DESDIS (FICHA, EMPRESA, PROJATIV, FONCODIGO, BALCO_TCE) values (1, 1, '2001', '100',"
            " '33903000');"
            "insert into DESDIS (FICHA, EMPRESA, PROJATIV, FONCODIGO, BALCO_TCE) values (2, 2, '1002', '01',"
            " '44905200');"
            "insert into DESPES (PKEMP, NUMLIC, FICHA, DATAE) values ('E1', 'L1', 1, '2007-03-15');"
            "insert into DESPES (PKEMP, NUMLIC, FICHA, DATAE) values ('E2', 'L1', 1, '2007-04-15');"
            "insert into DESPES (PKEMP, NUMLIC, FICHA, DATAE) values ('E3', 'L1', 2, '2007-03-16');"
            "commit;");
    EXPECT_EQ(records(kDotLicit), (std::vector<std::string>{
                                      "2" "2007" "09" "0000000000012007" "1002" "44905200" "01 " "00",
                                      "2" "2007" "09" "0000000000012007" "2001" "33903000" "100" "00",
                                      "2" "2007" "12" "0000000000022007" + sp(4) + sp(8) + sp(3) + "00",
                                  }));
}
