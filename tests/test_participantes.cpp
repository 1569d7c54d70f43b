// The participant register CadPart from DESFOR.
#include <gtest/gtest.h>

#include "engine/filegenerator.h"
#include "generators/participantes.h"
#include "engine_support.h"
#include "generator_fixture.h"

using namespace tcese;
using namespace tcese::testing;

namespace {


class CadPartTest : public GeneratorTest {
protected:
    void SetUp() override {
        ex->ctx.fiscalYear = "2008";
    }

    // One DESFOR row from its values in column order.
    void supplier(const std::string& values) {
        db.exec("insert into DESFOR (CODIF, CODTIP, INSMF, NOME, ENDER, COMPL, CEP, CEPCI, UF, TELEF, FAX, EMAIL,"
                " INEST, CODATIV, PISPASEP) values (" + values + "); commit;");
    }

    std::vector<std::string> lines() { return GeneratorTest::lines({"CadPart", CadPart, 430}); }

};

// Log entry of supplier `codif` at file line `line`.
std::string entry(int line, int codif, const std::string& descricao) {
    return "CADPART.TXT|ERRO|" + std::to_string(line) + "|" + descricao +
           "|MÓDULO CONTAS - MENU CADASTROS AUXLIARES > 3 - FORNECEDORES - CÓDIGO FORNECEDOR: " + std::to_string(codif);
}

}  // namespace

TEST_F(CadPartTest, RecordsOfACompanyAndAPerson) {
    supplier("1, '01', '11.222.333/0001-81', 'CONSTRUTORA CONCEIÇÃO LTDA', 'AV. BRASIL, 100', 'CENTRO', '49000000',"
             " 'ARACAJU', 'SE', '(79)3211-4455', null, 'obras@conceicao.com.br', '27.123.456-7', '07', null");
    supplier("2, '02', '111.444.777-35', 'JOSÉ DA SILVA', 'RUA A, 1', 'BAIRRO NOVO', '49000-000', 'SÃO CRISTÓVÃO',"
             " 'SE', null, null, null, '999', '05', '123.45678.90-1'");
    const std::string company = "2"
                                "2"                                              // TIPO_PESSOA
                                "11222333000181"                                 // CPF_CNPJ
                                "CONSTRUTORA CONCEI\xC7\xC3O LTDA" + sp(54) +    // NOME, 26 characters
                                "AV. BRASIL, 100" + sp(35) +                     // ENDER
                                "CENTRO" + sp(44) +                              // COMPL
                                "CENTRO" + sp(34) +                              // BAIRRO, the same column
                                "49000000"                                       // CEP
                                "ARACAJU" + sp(33) +                             // CIDADE
                                "SE"                                             // UF
                                "(79)3211-44"                                    // FONE: text, cut to 11
                                + sp(11) +                                       // FAX
                                "obras@conceicao.com.br" + sp(23) +              // EMAIL
                                "27.123.456-7" + sp(8) +                         // INSCR_EST
                                "27.123.456-7" + sp(8) +                         // INSCR_MUN, the same column
                                sp(12) +                                         // INSCR_ORGAO
                                "07"                                             // CODATIV
                                "99"                                             // TIPO_SERV
                                + sp(20) +                                       // PISPASEP
                                "0";                                             // ORG_PUBLICO
    const std::string person = "2"
                               "1"
                               "00011144477735"                                  // an 11-digit CPF
                               "JOS\xC9 DA SILVA" + sp(67) +
                               "RUA A, 1" + sp(42) +
                               "BAIRRO NOVO" + sp(39) +
                               "BAIRRO NOVO" + sp(29) +
                               "49000-00"                                        // text, cut to 8
                               "S\xC3O CRIST\xD3V\xC3O" + sp(27) +
                               "SE" + sp(11) + sp(11) + sp(45) +
                               sp(20) + sp(20) + sp(12) + sp(2) +                // no registrations for a person
                               "99"
                               "123.45678.90-1" + sp(6) +
                               "0";
    ASSERT_EQ(company.size(), 430u);
    ASSERT_EQ(person.size(), 430u);
    EXPECT_EQ(lines(), (std::vector<std::string>{"1200803", company, person, "3000002"}));
    EXPECT_TRUE(entries().empty());
    EXPECT_EQ(kCadPartLayout.recordLength(), 430);
}

TEST_F(CadPartTest, ChecksFollowThePersonType) {
    const std::string rest = "'NOME', 'RUA', 'BAIRRO', '49000000', 'ARACAJU', 'SE', null, null, null";
    supplier("1, null, '111.444.777-3A', " + rest + ", null, null, null");           // no type: CPF
    supplier("2, '09', '   ', " + rest + ", '555', '01', null");                     // type 3: CNPJ
    supplier("3, '01', null, null, null, null, null, null, null, null, null, null, null, null, null");
    supplier("4, '77', '123.456.789.012.345', " + rest + ", null, null, null");   // unknown type: CPF
    supplier("5, '02', null, " + rest + ", null, null, null");
    supplier("6, '01', '11.222.333/0001-81', " + rest + ", '  ', '07', null");
    supplier("7, '01', '11.222.333/0001-82', " + rest + ", '1', '07', null");
    supplier("8, '02', '11.222.333/0001-81', " + rest + ", null, null, null");       // a CNPJ is no CPF

    const std::vector<std::string> file = lines();
    ASSERT_EQ(file.size(), 10u);
    struct Row {
        int line;
        const char* start;  // TIPO_PESSOA and CPF_CNPJ
        bool registrations;
    };
    const Row rows[] = {
        {2, "10001114447773A", false}, {3, "300000000000000", false}, {4, "200000000000000", true},
        {5, "112345678901234", false},  // more than 14 digits: the first 14
        {6, "100000000000000", false}, {7, "211222333000181", true},  {8, "211222333000182", true},
        {9, "111222333000181", false},
    };
    for (const Row& r : rows) {
        const std::string& rec = file[static_cast<std::size_t>(r.line - 1)];
        SCOPED_TRACE(r.line);
        EXPECT_EQ(rec.size(), 430u);
        EXPECT_EQ(rec.substr(1, 15), r.start);
        if (!r.registrations) {
            EXPECT_EQ(rec.substr(353, 54), sp(54));  // INSCR_EST to CODATIV
        }
    }
    EXPECT_EQ(file[7].substr(353, 54), "1" + sp(19) + "1" + sp(19) + sp(12) + "07");
    EXPECT_EQ(file[9], "3000008");

    EXPECT_EQ(entries(), (std::vector<std::string>{
                             entry(2, 1, "CPF DO FORNECEDOR INVÁLIDO"),
                             entry(3, 2, "CNPJ DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(4, 3, "CNPJ DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(4, 3, "NOME DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(4, 3, "ENDEREÇO DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(4, 3, "BAIRRO DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(4, 3, "CEP DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(4, 3, "CIDADE DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(4, 3, "UF DA CIDADE DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(4, 3, "INSCRIÇÃO ESTADUAL DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(4, 3, "INSCRIÇÃO MUNICIPAL DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(4, 3, "CÓDIGO DA ATIVIDADE DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(5, 4, "CPF DO FORNECEDOR INVÁLIDO"),
                             entry(6, 5, "CPF DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(7, 6, "INSCRIÇÃO ESTADUAL DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(7, 6, "INSCRIÇÃO MUNICIPAL DO FORNECEDOR NÃO PODE FICAR EM BRANCO"),
                             entry(8, 7, "CNPJ DO FORNECEDOR INVÁLIDO"),
                             entry(9, 8, "CPF DO FORNECEDOR INVÁLIDO"),
                         }));
}

TEST_F(CadPartTest, EmptyRegisterHasHeaderAndTrailerOnly) {
    EXPECT_EQ(lines(), (std::vector<std::string>{"1200803", "3000000"}));
    EXPECT_TRUE(entries().empty());
}
