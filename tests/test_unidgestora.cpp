// The managing-unit files: ATUNGEST, Ordena and RespCont from TABEMPRESA.
#include <gtest/gtest.h>

#include "engine/catalogue.h"
#include "engine/filegenerator.h"
#include "generators/unidgestora.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace {


const std::string kUnidade = "VERIFIQUE OS PARAMENTROS DA UNIDADE GESTORA NO TCE/SE";
const std::string kEntidades = "MÓDULO CONTAS, NO MENU CADASTROS AUXILIARES > 14 - ENTIDADES CONTÁBEIS";

class UnidGestoraTest : public GeneratorTest {
protected:
    void SetUp() override {
        db.exec(
            "insert into TABEMPRESA (EMPRESA, NOME, CGC, ENDERECO, BAIRRO, CEP, FONE, FAX, TIPO, CPF_ORDENA, CPF_CONT,"
            " CRC_CONT, UF_CRC_CONT) values (1, 'PREFEITURA', '11.222.333/0001-81', 'RUA JOSÉ DE ALENCAR, 10',"
            " 'CONCEIÇÃO', '49.000-123', '(79) 3211-4455', null, 3, '111.444.777-35', '11144477735', 'SE-001234',"
            " 'SE');"
            // Everything blank or NULL.
            "insert into TABEMPRESA (EMPRESA, NOME, CGC, ENDERECO, BAIRRO, CEP, FONE, FAX, TIPO, CPF_ORDENA, CPF_CONT,"
            " CRC_CONT, UF_CRC_CONT) values (2, 'CAMARA', '  ', ' ', null, '-', null, null, null, '', null, ' ', null);"
            // Numbers with wrong check digits or length.
            "insert into TABEMPRESA (EMPRESA, NOME, CGC, ENDERECO, BAIRRO, CEP, FONE, FAX, TIPO, CPF_ORDENA, CPF_CONT,"
            " CRC_CONT, UF_CRC_CONT) values (3, 'FUNDO', '11.222.333/0001-82', 'RUA B', 'CENTRO', '49000000',"
            " '7932114455', '7932114456', 1, '111.444.777-36', '1114447773', 'SE-1', 'SE');"
            "commit;");
        ex->ctx.fiscalYear = "2008";
    }

    // Runs one generator for an entity with a fresh log; returns the file's bytes.
    std::string run(GeneratorFn fn, const char* fileName, const char* entity) {
        ex->emptyLog();
        ex->ctx.entityCode = entity;
        fn(*ex, fileName);
        return readBytes(out.path() / (std::string(fileName) + ".txt"));
    }

};

}  // namespace

TEST_F(UnidGestoraTest, AtUnGestRecordOfACompleteEntity) {
    const std::string detail = "2"
                               "11222333000181"             // cgc: punctuation removed
                               "07932114455"                // fone: 10 digits behind one zero
                               "00000000000"                // fax NULL
                               + sp(45) +
                               "RUA JOS\xC9 DE ALENCAR, 10" + sp(27) +  // 23 characters
                               sp(50) +
                               "CONCEI\xC7\xC3O" + sp(31) +  // 9 characters
                               "49.00012"                   // hyphen removed, dot kept, cut to 8
                               + sp(10) + "3";
    ASSERT_EQ(detail.size(), 241u);
    EXPECT_EQ(run(AtUnGest, "ATUNGEST", "01"), "1200803\r\n" + detail + "\r\n3000001\r\n");
    EXPECT_TRUE(entries().empty());
    EXPECT_EQ(kAtUnGestLayout.recordLength(), 241);
    ASSERT_EQ(obs.closed.size(), 1u);
    EXPECT_EQ(obs.closed[0].second.fileName, "ATUNGEST.txt");
}

TEST_F(UnidGestoraTest, AtUnGestChecksInFieldOrder) {
    const std::string blankDetail =
        "2" + std::string(14, '0') + std::string(11, '0') + std::string(11, '0') + sp(45 + 50 + 50 + 40 + 8 + 10 + 1);
    // A blank cgc has no digits, so the CNPJ check passes it: one entry only.
    EXPECT_EQ(run(AtUnGest, "ATUNGEST", "02"), "1200803\r\n" + blankDetail + "\r\n3000001\r\n");
    const std::string p = "ATUNGEST.TXT|ERRO|2|";
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             p + "CNPJ DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO|" + kUnidade,
                             p + "TELEFONE DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO|" + kUnidade,
                             p + "ENDEREÇO DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO|" + kUnidade,
                             p + "BAIRRO DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO|" + kUnidade,
                             p + "CEP DO ENDEREÇO DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO|" + kUnidade,
                             p + "SUBTIPO DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO|" + kUnidade,
                         }));
    EXPECT_EQ(obs.closed.back().second.stateIndex, kStateWithErrors);

    const std::string file = run(AtUnGest, "ATUNGEST", "03");
    EXPECT_EQ(file.substr(9, 15), "211222333000182");  // written as read
    EXPECT_EQ(entries(), std::vector<std::string>{p + "CNPJ DA UNIDADE GESTORA NÃO INVÁLIDO|" + kUnidade});
}

TEST_F(UnidGestoraTest, AtUnGestWithoutEntityRowHasNoRecord) {
    EXPECT_EQ(run(AtUnGest, "ATUNGEST", "09"), "1200803\r\n3000000\r\n");
    EXPECT_TRUE(entries().empty());
}

TEST_F(UnidGestoraTest, OrdenaAndRespContWriteOneRecord) {
    const std::string ref = "20080302";  // fiscalYear + monthCode + "02"
    struct Case {
        const char* entity;
        std::string ordena;  // detail record
        std::vector<std::string> ordenaLog;
        std::string respCont;
        std::vector<std::string> respContLog;
        const char* trailer;
    };
    const Case cases[] = {
        {"01", "2" "11144477735" + ref + sp(10), {},
         "2" "1" "00011144477735" + ref + "SE-001234 " "SE", {}, "3000001"},
        {"02", "2" "00000000000" + ref + sp(10),
         {"ORDENA.TXT|ERRO|2|CPF DO ORDENADOR DE DESPESA NÃO PODE FICAR EM BRANCO|" + kEntidades},
         "2" "1" "00000000000000" + ref + sp(10) + sp(2),
         {"RESPCONT.TXT|ERRO|2|CPF DO CONTADOR NÃO PODE FICAR EM BRANCO|" + kEntidades,
          "RESPCONT.TXT|ERRO|2|CRC DO CONTADOR NÃO PODE FICAR EM BRANCO|" + kEntidades,
          "RESPCONT.TXT|ERRO|2|UF DO CRC DO CONTADOR NÃO PODE FICAR EM BRANCO|" + kEntidades},
         "3000001"},
        {"03", "2" "11144477736" + ref + sp(10),
         {"ORDENA.TXT|ERRO|2|CPF DO ORDENADOR DE DESPESA INVÁLIDO|" + kEntidades},
         "2" "1" "00001114447773" + ref + "SE-1" + sp(6) + "SE",
         {"RESPCONT.TXT|ERRO|2|CPF DO CONTADOR INVÁLIDO|" + kEntidades}, "3000001"},
        // No row: the record is still written, from empty values, at line 0 (no current row).
        {"09", "2" "00000000000" + ref + sp(10),
         {"ORDENA.TXT|ERRO|0|CPF DO ORDENADOR DE DESPESA NÃO PODE FICAR EM BRANCO|" + kEntidades},
         "2" "1" "00000000000000" + ref + sp(12),
         {"RESPCONT.TXT|ERRO|0|CPF DO CONTADOR NÃO PODE FICAR EM BRANCO|" + kEntidades,
          "RESPCONT.TXT|ERRO|0|CRC DO CONTADOR NÃO PODE FICAR EM BRANCO|" + kEntidades,
          "RESPCONT.TXT|ERRO|0|UF DO CRC DO CONTADOR NÃO PODE FICAR EM BRANCO|" + kEntidades},
         "3000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entity);
        ASSERT_EQ(c.ordena.size(), 30u);
        ASSERT_EQ(c.respCont.size(), 36u);
        EXPECT_EQ(run(Ordena, "Ordena", c.entity), "1200803\r\n" + c.ordena + "\r\n" + c.trailer + "\r\n");
        EXPECT_EQ(entries(), c.ordenaLog);
        EXPECT_EQ(run(RespCont, "RespCont", c.entity), "1200803\r\n" + c.respCont + "\r\n" + c.trailer + "\r\n");
        EXPECT_EQ(entries(), c.respContLog);
    }
    EXPECT_EQ(kOrdenaLayout.recordLength(), 30);
    EXPECT_EQ(kRespContLayout.recordLength(), 36);
}

TEST_F(UnidGestoraTest, SingleRecordFilesDoNotStepTheFileBar) {
    run(Ordena, "Ordena", "01");
    EXPECT_EQ(obs.lastFileMax, 1);
    EXPECT_EQ(obs.lastFilePos, 0);
    run(AtUnGest, "ATUNGEST", "01");
    EXPECT_EQ(obs.lastFilePos, 1);
}
