// Orcmto.txt and the budget-parameter file it reads.
#include <gtest/gtest.h>

#include <map>

#include "data/datapacket.h"
#include "engine/orcparams.h"
#include "engine_support.h"
#include "generators/orcmto.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace fs = std::filesystem;

namespace {

using Row = std::map<std::string, std::string>;

// A complete parameter row; tests override single fields ("" stores nothing).
const Row kGood = {
    {"LEI_PPA", "123/2005"},
    {"DTPUBLICACAO_PPA", "15/12/2005"},
    {"LEI_LDO", "45/2006"},
    {"DTPUBLICACAO_LDO", "30/06/2006"},
    {"LEI_ORC", "678/2006"},
    {"DTPUBLICACAO_ORC", "20/12/2006"},
    {"PERC_SUPLEMENTACAO", "12.5"},
    {"PERC_LIM_OP_CRED", "16"},
    {"ATO_DET_DESPESA", "77"},
    {"DT_ATO_DET_DESPESA", "02/01/2007"},
    {"NOME_ARQ_PPA", "LEI_PPA.DOC"},
    {"NOME_ARQ_LDO", "LEI_LDO.DOC"},
    {"NOME_ARQ_ORC", "LEI_ORÇAMENTO.DOC"},
    {"NOME_ARQ_RISCO", "RISCOS.DOC"},
    {"NOME_ARQ_METAS", "METAS.DOC"},
    {"DATA_ENV_LEG_PPA", "01/09/2005"},
    {"DATA_APROV_LEG_PPA", "10/12/2005"},
    {"DATA_ENV_LEG_LDO", "15/04/2006"},
    {"DATA_APROV_LEG_LDO", "25/06/2006"},
    {"DATA_ENV_LEG_ORC", "29/09/2006"},
    {"DATA_APROV_LEG_ORC", "15/12/2006"},
    {"PERC_MIN_EDU", "25"},
    {"PERC_MAX_PESSOAL", "54"},
    {"PPA_NOVO_ALTERADO", "1"},
};


// kGood's record, written field by field from the layout (Windows-1252).
const std::string kGoodRecord = "2" "2007" + pad("123/2005", 10) + "20051215" + pad("45/2006", 10) + "20060630" +
                                pad("678/2006", 10) + "20061220" + "01250" + "01600" + pad("77", 10) + "20070102" +
                                pad("LEI_PPA.DOC", 50) + pad("LEI_LDO.DOC", 50) + pad("LEI_OR\xC7" "AMENTO.DOC", 50) +
                                pad("RISCOS.DOC", 50) + pad("METAS.DOC", 50) + "20050901" "20051210" "20060415"
                                "20060625" "20060929" "20061215" + "02500" + "05400" + "1";

constexpr const char* kResolver = "VERIFIQUE OS PARAMENTROS DO ORÇAMENTO NO TCE/SE";

class OrcmtoTest : public GeneratorTest {
protected:
    void SetUp() override {
        db.exec(
            "insert into TABEMPRESA (EMPRESA, NOME, TIPO) values (1, 'PREFEITURA MUNICIPAL', 1);"
            "insert into TABEMPRESA (EMPRESA, NOME, TIPO) values (2, 'FUNDO MUNICIPAL', 2);"
            "insert into TABEMPRESA (EMPRESA, NOME, TIPO) values (3, 'CÂMARA MUNICIPAL', 12);"
            "insert into TABEMPRESA (EMPRESA, NOME, TIPO) values (4, 'AUTARQUIA', 15);"
            "insert into TABEMPRESA (EMPRESA, NOME, TIPO) values (5, 'CONSÓRCIO', null);"
            "commit;");
        ex->ctx.monthCode = "14";
        ex->ctx.monthEnd.clear();  // annual runs have none
    }

    fs::path paramFile() const { return db.dir() / "ARQ2007" / "ORC_TCE_SE.XML"; }
    fs::path exportFile() const { return out.path() / "Orcmto.txt"; }

    // Rows of kGood with overrides. Written without required fields, as an old file may be.
    void writeParams(const std::vector<Row>& overrides) {
        RecordSet rs("ORC");
        for (auto d : orcParamFieldDefs()) {
            d.required = false;
            rs.addField(d);
        }
        rs.createDataSet();
        for (const Row& o : overrides) {
            rs.append();
            Row row = kGood;
            for (const auto& [k, v] : o) row[k] = v;
            for (const auto& [k, v] : row)
                if (!v.empty()) rs.field(k).setAsString(v);
            rs.post();
        }
        saveDatapacket(rs, paramFile());
    }

    void run(const std::string& entity = "01") {
        ex->emptyLog();
        obs.closed.clear();
        ex->ctx.entityCode = entity;
        Orcmto(*ex, "Orcmto");
    }

    std::vector<std::string> descriptions() {
        std::vector<std::string> out;
        RecordSet& log = dm.CdsLog;
        for (log.first(); !log.eof(); log.next()) out.push_back(log.field("DESCRICAO").asString());
        return out;
    }

    std::string detail() {
        const std::string bytes = readBytes(exportFile());
        const auto a = bytes.find("\r\n") + 2;
        return bytes.substr(a, bytes.find("\r\n", a) - a);
    }
};

}  // namespace

TEST_F(OrcmtoTest, CleanParametersGiveOneRecordWithoutEntries) {
    writeParams({{}});
    run();
    ASSERT_EQ(kGoodRecord.size(), 396u);
    EXPECT_EQ(kOrcmtoLayout.recordLength(), 396);
    EXPECT_EQ(readBytes(exportFile()), "1200714\r\n" + kGoodRecord + "\r\n3000001\r\n");
    EXPECT_TRUE(descriptions().empty());
    ASSERT_EQ(obs.closed.size(), 1u);
    EXPECT_EQ(obs.closed[0].second.lines, "3");
    EXPECT_EQ(obs.closed[0].second.stateIndex, kStateSuccess);
}

TEST_F(OrcmtoTest, PlanNotNewBlanksItsLawAndSkipsTheLegislatureDates) {
    writeParams({{{"PPA_NOVO_ALTERADO", "0"}, {"DATA_ENV_LEG_PPA", ""}, {"DATA_APROV_LEG_ORC", ""}}});
    run();
    const std::string expected = "2" "2007" + std::string(10, ' ') + std::string(8, ' ') + pad("45/2006", 10) +
                                 "20060630" + pad("678/2006", 10) + "20061220" + "01250" + "01600" + pad("77", 10) +
                                 "20070102" + pad("LEI_PPA.DOC", 50) + pad("LEI_LDO.DOC", 50) +
                                 pad("LEI_OR\xC7" "AMENTO.DOC", 50) + pad("RISCOS.DOC", 50) + pad("METAS.DOC", 50) +
                                 "        " "20051210" "20060415" "20060625" "20060929" "        " + "02500" +
                                 "05400" + "0";
    EXPECT_EQ(detail(), expected);
    EXPECT_TRUE(descriptions().empty());
}

TEST_F(OrcmtoTest, EveryBlankCheckLogsItsEntryAndTheRecordIsStillWritten) {
    const std::pair<const char*, const char*> cases[] = {
        {"LEI_PPA", "LEI DO PPA NÃO PODE FICAR EM BRANCO"},
        {"DTPUBLICACAO_PPA", "DATA DE PUBLICAÇÃO DO PPA NÃO PODE FICAR EM BRANCO"},
        {"LEI_LDO", "LEI DA LDO NÃO PODE FICAR EM BRANCO"},
        {"DTPUBLICACAO_LDO", "DATA DE PUBLICAÇÃO DA LDO NÃO PODE FICAR EM BRANCO"},
        {"LEI_ORC", "LEI DO ORÇAMENTO NÃO PODE FICAR EM BRANCO"},
        {"DTPUBLICACAO_ORC", "DATA DE PUBLICAÇÃO DO ORÇAMENTO NÃO PODE FICAR EM BRANCO"},
        {"ATO_DET_DESPESA", "NUMERO DO ATO QUE APROVOU O QUADRO DE DETALHAMENTO DA DESPESA NÃO PODE FICAR EM BRANCO"},
        {"DT_ATO_DET_DESPESA",
         "DATA DE PUBLICAÇÃO DO ATAO QUE APROVOU O DETALHAMENTO DA DESPESA NÃO PODE FICAR EM BRANCO"},
        {"NOME_ARQ_PPA", "NOME DO ARQUIVO TEXTO DO PLANO PLURIANUAL NÃO PODE FICAR EM BRANCO"},
        {"NOME_ARQ_LDO", "NOME DO ARQUIVO TEXTO DA LEI DE DIRETRIZES ORÇAMENTARIAS NÃO PODE FICAR EM BRANCO"},
        {"NOME_ARQ_ORC", "NOME DO ARQUIVO TEXTO DA LEI DO ORÇAMENTO NÃO PODE FICAR EM BRANCO"},
        {"NOME_ARQ_RISCO", "NOME DO ARQUIVO ANEXO DE RISCOS FISCAIS NÃO PODE FICAR EM BRANCO"},
        {"NOME_ARQ_METAS", "NOME DO ARQUIVO ANEXO DE METAS FISCAIS NÃO PODE FICAR EM BRANCO"},
        {"DATA_ENV_LEG_PPA", "DATA DE ENVIO AO LEGISLATIVO DA LEI DO PLANO PLURIANUAL NÃO PODE FICAR EM BRANCO"},
        {"DATA_APROV_LEG_PPA", "DATA DE APROVAÇÃO DO LEGISLATIVO DA LEI DO PLANO PLURIANUAL NÃO PODE FICAR EM BRANCO"},
        {"DATA_ENV_LEG_LDO", "DATA DE ENVIO AO LEGISLATIVO DA LEI DE DIRETRIZES ORÇAMENTARIAS NÃO PODE FICAR EM BRANCO"},
        {"DATA_APROV_LEG_LDO",
         "DATA DE APROVAÇÃO DO LEGISLATIVO DA LEI DE DIRETRIZES ORÇAMENTARIAS NÃO PODE FICAR EM BRANCO"},
        {"DATA_ENV_LEG_ORC", "DATA DE ENVIO AO LEGISLATIVO DA LEI DO ORÇAMENTO NÃO PODE FICAR EM BRANCO"},
        {"DATA_APROV_LEG_ORC", "DATA DE APROVAÇÃO DO LEGISLATIVO DA LEI DO ORÇAMENTO NÃO PODE FICAR EM BRANCO"},
    };
    for (const auto& [field, description] : cases) {
        SCOPED_TRACE(field);
        writeParams({{{field, ""}}});
        run("01");
        ASSERT_EQ(descriptions(), std::vector<std::string>{description});
        RecordSet& log = dm.CdsLog;
        log.first();
        EXPECT_EQ(log.field("ARQUIVO").asString(), "ORCMTO.TXT");
        EXPECT_EQ(log.field("STATUS").asString(), "ERRO");
        EXPECT_EQ(log.field("RESOLVER").asString(), kResolver);
        EXPECT_EQ(log.field("LINHA").asInteger(), 2);
        EXPECT_EQ(detail().size(), 396u);
        ASSERT_EQ(obs.closed.size(), 1u);
        EXPECT_EQ(obs.closed[0].second.stateIndex, kStateWithErrors);

        run("02");  // checks off
        EXPECT_TRUE(descriptions().empty());
        EXPECT_EQ(obs.closed.at(0).second.stateIndex, kStateSuccess);
    }
}

TEST_F(OrcmtoTest, RangeTestsUseTheWholePartAndAcceptTheBounds) {
    const char* sup = "PERCENTUAL DE SUPLEMENTAÇÃO DEVE SER MAIOR OU IGUAL QUE 0(ZERO) E MENOR QUE 100(CEM)";
    const char* cred =
        "PERCENTUAL DE LIMITE DE OPERAÇÃO DE CREDITO DEVE SER MAIOR OU IGUAL QUE 0(ZERO) E MENOR QUE 100(CEM)";
    const char* edu =
        "PERCENTUAL MÍNIMO PARA A EDUCAÇÃO DEVE SER MAIOR OU IGUAL QUE 25(VINTE E CINCO) E MENOR QUE 100(CEM)";
    const char* pes = "PERCENTUAL MÁXIMO PARA PESSOAL DEVE SER MENOR OU IGUAL A 60(SESSENTA)";
    const char* ppa = "CAMPO PPA NOVO OU ALTERADO DEVER SER IGUAL A 0(ZERO) OU 1(UM)";
    struct Case {
        const char* field;
        const char* value;
        const char* entry;  // nullptr: none
    } cases[] = {
        {"PERC_SUPLEMENTACAO", "100", nullptr},
        {"PERC_SUPLEMENTACAO", "100.99", nullptr},  // cut to 100
        {"PERC_SUPLEMENTACAO", "101", sup},
        {"PERC_SUPLEMENTACAO", "0", nullptr},
        {"PERC_SUPLEMENTACAO", "-0.5", nullptr},  // cut to 0
        {"PERC_SUPLEMENTACAO", "-1", sup},
        {"PERC_LIM_OP_CRED", "100", nullptr},
        {"PERC_LIM_OP_CRED", "100.5", nullptr},
        {"PERC_LIM_OP_CRED", "101", cred},
        {"PERC_LIM_OP_CRED", "-3", cred},
        {"PERC_MIN_EDU", "25", nullptr},
        {"PERC_MIN_EDU", "24.99", edu},
        {"PERC_MIN_EDU", "100.9", nullptr},
        {"PERC_MIN_EDU", "101", edu},
        {"PERC_MAX_PESSOAL", "60", nullptr},
        {"PERC_MAX_PESSOAL", "60.99", nullptr},
        {"PERC_MAX_PESSOAL", "61", pes},
        {"PERC_MAX_PESSOAL", "-5", nullptr},  // no lower bound
        {"PPA_NOVO_ALTERADO", "0", nullptr},
        {"PPA_NOVO_ALTERADO", "2", ppa},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = " + c.value);
        writeParams({{{c.field, c.value}}});
        run();
        EXPECT_EQ(descriptions(), c.entry ? std::vector<std::string>{c.entry} : std::vector<std::string>{});
    }
}

TEST_F(OrcmtoTest, ChecksOnlyForEntityTypesOneTwelveFifteenAndEntityZeroZero) {
    writeParams({{{"LEI_LDO", "   "}}});
    const std::pair<const char*, bool> cases[] = {
        {"01", true}, {"02", false}, {"03", true}, {"04", true}, {"05", false}, {"00", true}, {"09", false},
    };
    for (const auto& [entity, checked] : cases) {
        run(entity);
        EXPECT_EQ(descriptions().size(), checked ? 1u : 0u) << entity;
        EXPECT_EQ(detail().substr(23, 10), std::string(10, ' ')) << entity;  // blanks as read
    }
}

TEST_F(OrcmtoTest, BlankAmountStopsTheRunAfterItsEntry) {
    struct Case {
        const char* field;
        const char* entity;
        std::vector<std::string> entries;
    } cases[] = {
        {"PERC_SUPLEMENTACAO", "01", {"PERCENTUAL DE SUPLEMENTAÇÃO NÃO PODE FICAR EM BRANCO"}},
        {"PERC_LIM_OP_CRED", "01", {"PERCENTUAL DE LIMITE DE OPERAÇÃO DE CREDITO NÃO PODE FICAR EM BRANCO"}},
        {"PERC_MIN_EDU",
         "01",
         {"PERCENTUAL MÍNIMO PARA A EDUCAÇÃO NÃO PODE FICAR EM BRANCO",
          "PERCENTUAL MÍNIMO PARA A EDUCAÇÃO DEVE SER MAIOR OU IGUAL QUE 25(VINTE E CINCO) E MENOR QUE 100(CEM)"}},
        {"PERC_MAX_PESSOAL", "01", {"PERCENTUAL MÁXIMO PARA PESSOAL NÃO PODE FICAR EM BRANCO"}},
        {"PERC_MAX_PESSOAL", "02", {}},  // stops without checks too
        {"PPA_NOVO_ALTERADO", "01", {"CAMPO PPA NOVO OU ALTERADO NÃO PODE FICAR EM BRANCO"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " entity " + c.entity);
        writeParams({{{c.field, ""}}});
        try {
            run(c.entity);
            ADD_FAILURE() << "no error";
        } catch (const GenerationError& e) {
            const std::string msg = e.what();
            for (const std::string part : {"Orcmto.txt", "linha 2", c.field, "valor \"\""})
                EXPECT_NE(msg.find(part), std::string::npos) << part << " not in: " << msg;
        }
        EXPECT_EQ(descriptions(), c.entries);
        EXPECT_EQ(readBytes(exportFile()), "1200714\r\n");  // never reported as done
        EXPECT_TRUE(obs.closed.empty());
    }
    // Checks off, a blank plan flag is written as it is.
    writeParams({{{"PPA_NOVO_ALTERADO", ""}}});
    run("02");
    EXPECT_EQ(detail().back(), ' ');
}

TEST_F(OrcmtoTest, OnlyTheFirstRowIsWrittenAndTheTrailerCountsEveryRow) {
    writeParams({{}, {{"LEI_LDO", "99/2099"}, {"PERC_MIN_EDU", "5"}}});
    run();
    EXPECT_EQ(readBytes(exportFile()), "1200714\r\n" + kGoodRecord + "\r\n3000002\r\n");
    EXPECT_TRUE(descriptions().empty());

    // Without rows the fields are empty and the first amount stops the run.
    writeParams({});
    EXPECT_THROW(run(), GenerationError);
    EXPECT_EQ(descriptions(), (std::vector<std::string>{
                                  "LEI DA LDO NÃO PODE FICAR EM BRANCO",
                                  "DATA DE PUBLICAÇÃO DA LDO NÃO PODE FICAR EM BRANCO",
                                  "LEI DO ORÇAMENTO NÃO PODE FICAR EM BRANCO",
                                  "DATA DE PUBLICAÇÃO DO ORÇAMENTO NÃO PODE FICAR EM BRANCO",
                                  "PERCENTUAL DE SUPLEMENTAÇÃO NÃO PODE FICAR EM BRANCO",
                              }));
}

TEST_F(OrcmtoTest, MissingOrBrokenParameterFileStopsBeforeTheFileIsCreated) {
    const char* const contents[] = {
        nullptr,  // missing
        "LEI_PPA=123\n",
        "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"LEI_PPA\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS><PARAMS/></METADATA>"
        "<ROWDATA><ROW LEI_PPA=\"1\"/></ROWDATA></DATAPACKET>",  // the other fields are missing
    };
    for (const char* bytes : contents) {
        fs::remove(paramFile());
        if (bytes) writeBytes(paramFile(), bytes);
        try {
            run();
            ADD_FAILURE() << "no error";
        } catch (const GenerationError& e) {
            const std::string msg = e.what();
            EXPECT_NE(msg.find(paramFile().string()), std::string::npos) << msg;
            EXPECT_NE(msg.find("Orcmto.txt"), std::string::npos) << msg;
        }
        EXPECT_FALSE(fs::exists(exportFile()));
    }
}

TEST_F(OrcmtoTest, FirstOpeningCreatesTheFileFromParamorcOnce) {
    db.exec(
        "insert into PARAMORC (LEI_PPA, DTPUBLICACAO_PPA, LEI_LDO, DTPUBLICACAO_LDO, LEI, DTPUBLICACAO, PERCE, PORCENTO)"
        " values ('10/2005', '2005-12-01', '20/2006', '2006-06-30', '30/2006', '2006-12-20', 12.5, 54);"
        "commit;");
    ASSERT_TRUE(createOrcParamsIfMissing(dm.Conexao, ini));

    RecordSet file("ORC");
    loadDatapacket(file, paramFile());
    ASSERT_EQ(file.fieldCount(), 24);
    const auto defs = orcParamFieldDefs();
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(file.fields()[i].name, defs[i].name);
        EXPECT_EQ(file.fields()[i].type, defs[i].type) << defs[i].name;
    }
    ASSERT_EQ(file.recordCount(), 1);
    const Row expected = {
        {"LEI_PPA", "10/2005"}, {"DTPUBLICACAO_PPA", "01/12/2005"}, {"LEI_LDO", "20/2006"},
        {"DTPUBLICACAO_LDO", "30/06/2006"}, {"LEI_ORC", "30/2006"}, {"DTPUBLICACAO_ORC", "20/12/2006"},
        {"PERC_SUPLEMENTACAO", "12.5"}, {"PERC_LIM_OP_CRED", "0"}, {"PERC_MIN_EDU", "25"},
        {"PERC_MAX_PESSOAL", "54"}, {"PPA_NOVO_ALTERADO", "0"},
    };
    for (const auto& d : defs) {
        const auto it = expected.find(d.name);
        if (it == expected.end()) {
            EXPECT_TRUE(file.field(d.name).isNull()) << d.name;
        } else {
            EXPECT_EQ(file.field(d.name).asString(), it->second) << d.name;
        }
    }

    // Later openings read the file only.
    const std::string before = readBytes(paramFile());
    db.exec("update PARAMORC set LEI_LDO = '99/2099'; commit;");
    EXPECT_FALSE(createOrcParamsIfMissing(dm.Conexao, ini));
    EXPECT_EQ(readBytes(paramFile()), before);
    fs::rename(paramFile(), paramFile().parent_path() / "orc_tce_se.xml");
    EXPECT_FALSE(createOrcParamsIfMissing(dm.Conexao, ini));  // the same file in other letters
    EXPECT_FALSE(fs::exists(paramFile()));

    // The export reads it as created (entity without checks).
    run("02");
    const std::string record = "2" "2007" + std::string(18, ' ') + pad("20/2006", 10) + "20060630" +
                               pad("30/2006", 10) + "20061220" + "01250" + "00000" + std::string(18, ' ') +
                               std::string(250, ' ') + std::string(48, ' ') + "02500" + "05400" + "0";
    EXPECT_EQ(detail(), record);
}

TEST_F(OrcmtoTest, SaveKeepsTheLastRowWithTheDefaultsOfBlankFields) {
    writeParams({{{"LEI_PPA", "111/2005"}},
                 {{"LEI_PPA", "222/2005"},
                  {"LEI_LDO", "   "},
                  {"PERC_SUPLEMENTACAO", ""},
                  {"PERC_LIM_OP_CRED", ""},
                  {"PERC_MIN_EDU", ""},
                  {"PERC_MAX_PESSOAL", ""},
                  {"PPA_NOVO_ALTERADO", ""},
                  {"NOME_ARQ_PPA", ""}}});
    RecordSet displayed("Orcamento");
    loadOrcParams(displayed, paramFile());
    displayed.last();
    displayed.edit();
    displayed.field("LEI_ORC").setAsString("999/2007");  // pending edit, posted by the save
    displayed.field("PERC_MIN_EDU").setAsString("30");
    displayed.field("PPA_NOVO_ALTERADO").setAsString("1");
    saveOrcParams(displayed, paramFile());

    RecordSet saved("ORC");
    loadDatapacket(saved, paramFile());
    ASSERT_EQ(saved.recordCount(), 1);
    EXPECT_EQ(saved.field("LEI_PPA").asString(), "222/2005");
    EXPECT_EQ(saved.field("LEI_ORC").asString(), "999/2007");
    EXPECT_TRUE(saved.field("LEI_LDO").isNull());
    EXPECT_TRUE(saved.field("NOME_ARQ_PPA").isNull());
    EXPECT_EQ(saved.field("PERC_SUPLEMENTACAO").asString(), "0");
    EXPECT_EQ(saved.field("PERC_LIM_OP_CRED").asString(), "0");
    EXPECT_EQ(saved.field("PERC_MAX_PESSOAL").asString(), "0");
    EXPECT_EQ(saved.field("PERC_MIN_EDU").asString(), "30");
    EXPECT_EQ(saved.field("PPA_NOVO_ALTERADO").asString(), "1");
    EXPECT_EQ(saved.field("DTPUBLICACAO_LDO").asString(), "30/06/2006");

    // The two defaults of required fields, from a row read with them empty.
    writeParams({{{"PERC_MIN_EDU", ""}, {"PPA_NOVO_ALTERADO", ""}}});
    loadOrcParams(displayed, paramFile());
    saveOrcParams(displayed, paramFile());
    loadDatapacket(saved, paramFile());
    EXPECT_EQ(saved.field("PERC_MIN_EDU").asString(), "25");
    EXPECT_EQ(saved.field("PPA_NOVO_ALTERADO").asString(), "0");
}

TEST_F(OrcmtoTest, RequiredFieldLeftEmptyStopsTheSaveAndKeepsTheFile) {
    writeParams({{}});
    const std::string before = readBytes(paramFile());
    for (const char* field : {"PERC_MIN_EDU", "PPA_NOVO_ALTERADO"}) {
        RecordSet displayed("Orcamento");
        loadOrcParams(displayed, paramFile());
        displayed.edit();
        displayed.field("LEI_LDO").setAsString("1/2007");
        displayed.field(field).setNull();
        EXPECT_THROW(saveOrcParams(displayed, paramFile()), RecordSetError) << field;
        EXPECT_EQ(displayed.mode(), RecordSet::Mode::Edit);
        EXPECT_EQ(readBytes(paramFile()), before);
    }
}
