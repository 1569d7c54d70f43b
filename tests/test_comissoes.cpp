// Commissions and their members: Comissao.txt and ComMemb.txt.
#include <gtest/gtest.h>

#include "generators/comissoes.h"
#include "engine/filegenerator.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

class ComissoesTest : public GeneratorTest {
protected:
    void SetUp() override {
        db.exec(
            // Act in March 2007; term covers the year.
            "insert into COMISSAO (CODCOMISS, PORTARIA, DATA, TIPO, DT_INI_VIGE, DT_FIM_VIGE) values "
            "(7, '012/2007', '2007-03-05', '1', '2007-03-06', '2008-03-05');"
            // Act in February: absent from both files although its term covers March.
            "insert into COMISSAO (CODCOMISS, PORTARIA, DATA, TIPO, DT_INI_VIGE, DT_FIM_VIGE) values "
            "(8, '9', '2007-02-20', '2', '2007-01-01', '2007-12-31');"
            // Act in March without members, no term dates.
            "insert into COMISSAO (CODCOMISS, PORTARIA, DATA, TIPO) values (9, '123.456.789-01', '2007-03-30', '5');"
            "insert into MEMBROS (CODCOMISS, CODIGO, NOME, CPF, CARGO, FORMACAO_PROF) values "
            "(7, 1, 'JOSÉ DA CONCEIÇÃO', '111.444.777-35', 'PRESIDENTE', 'ADVOGADO');"
            // The same member twice: one record.
            "insert into MEMBROS (CODCOMISS, CODIGO, NOME, CPF, CARGO, FORMACAO_PROF) values "
            "(7, 2, 'JOSÉ DA CONCEIÇÃO', '111.444.777-35', 'PRESIDENTE', 'ADVOGADO');"
            "insert into MEMBROS (CODCOMISS, CODIGO, NOME, CPF, CARGO, FORMACAO_PROF) values "
            "(8, 1, 'ANA', '1', 'MEMBRO', 'CONTADORA');"
            "commit;");
    }
};

}  // namespace

TEST_F(ComissoesTest, ComissaoRecordsOfTheMonthsActs) {
    Comissao(*ex, "Comissao");
    EXPECT_EQ(dm.CdsGeral.source().sql, courtQuery("Comissao"));
    // 2 + ATO(2) + PORTARIA(10 I) + INI(8 D) + FIM(8 D) + ANO(4) + TIPO(1) + ARQ(50).
    const std::string a = "2" "02" "0000122007" "20070306" "20080305" "2007" "1" +
                          std::string("NOMCOMISSAO7.DOC") + std::string(50 - 16, ' ');
    const std::string b = "2" "02" "1234567890" "        " "        " "2007" "5" +
                          std::string("NOMCOMISSAO9.DOC") + std::string(50 - 16, ' ');
    const std::string bytes = readBytes(out.path() / "Comissao.txt");
    EXPECT_EQ(a.size(), 84u);
    EXPECT_EQ(kComissaoLayout.recordLength(), 84);
    // DISTINCT gives no order: compare the set of records.
    const std::string expected1 = "1200703\r\n" + a + "\r\n" + b + "\r\n3000002\r\n";
    const std::string expected2 = "1200703\r\n" + b + "\r\n" + a + "\r\n3000002\r\n";
    EXPECT_TRUE(bytes == expected1 || bytes == expected2) << bytes;
    EXPECT_EQ(dm.CdsLog.recordCount(), 0);
}

TEST_F(ComissoesTest, ComMembOneRecordPerDistinctMember) {
    ComMemb(*ex, "ComMemb");
    EXPECT_EQ(dm.CdsGeral.source().sql, courtQuery("ComMemb"));
    const std::string rec = "2" "02" "0000122007" "20070306" "11144477735" + std::string("JOS\xC9 DA CONCEI\xC7\xC3O") +
                            std::string(50 - 17, ' ') + "ADVOGADO" + std::string(112, ' ') + "PRESIDENTE" +
                            std::string(110, ' ');
    EXPECT_EQ(rec.size(), 322u);
    EXPECT_EQ(kComMembLayout.recordLength(), 322);
    EXPECT_EQ(readBytes(out.path() / "ComMemb.txt"), "1200703\r\n" + rec + "\r\n3000001\r\n");
}

TEST_F(ComissoesTest, MonthWithoutActsGivesHeaderAndTrailer) {
    ex->ctx.monthCode = "04";
    Comissao(*ex, "Comissao");
    ComMemb(*ex, "ComMemb");
    for (const char* f : {"Comissao.txt", "ComMemb.txt"}) {
        EXPECT_EQ(readBytes(out.path() / f), "1200704\r\n3000000\r\n") << f;
    }
}
