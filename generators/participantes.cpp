#include "generators/participantes.h"

#include <string>

#include "engine/documentos.h"
#include "engine/filegenerator.h"
#include "engine/values.h"

namespace tcese {

namespace {

// After the record type "2".
constexpr FieldSpec kCadPartFields[] = {
    {"TIPO_PESSOA", 1, "T"}, {"CPF_CNPJ", 14, "I"},  {"NOME", 80, "T"},      {"ENDER", 50, "T"},
    {"COMPL", 50, "T"},      {"BAIRRO", 40, "T"},    {"CEP", 8, "T"},        {"CIDADE", 40, "T"},
    {"UF", 2, "T"},          {"FONE", 11, "T"},      {"FAX", 11, "T"},       {"EMAIL", 45, "T"},
    {"INSCR_EST", 20, "T"},  {"INSCR_MUN", 20, "T"}, {"INSCR_ORGAO", 12, "T"}, {"CODATIV", 2, "T"},
    {"TIPO_SERV", 2, "T"},   {"PISPASEP", 20, "T"},  {"ORG_PUBLICO", 1, "T"},
};

std::string cadPartQuery(const RunContext&) {
    return "SELECT CODIF, CASE WHEN A.CODTIP = '01' THEN '2' WHEN A.CODTIP = '02' THEN '1' WHEN A.CODTIP = '09' "
           "THEN '3' ELSE '1' END AS TIPO_PESSOA, A.INSMF AS CPF_CNPJ, A.NOME, A.ENDER, A.COMPL, A.COMPL AS BAIRRO, "
           "A.CEP, A.CEPCI AS CIDADE, A.UF, A.TELEF AS FONE, A.FAX, A.EMAIL, A.INEST AS INSCR_EST, A.INEST AS "
           "INSCR_MUN, CAST(NULL AS VARCHAR(12)) AS INSCR_ORGAO, A.CODATIV, CAST('99' AS VARCHAR(2)) AS TIPO_SERV, "
           "A.PISPASEP, CAST('0' AS VARCHAR(1)) AS ORG_PUBLICO FROM DESFOR A ORDER BY CODIF ASCENDING ";
}

void cadPartValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const std::string resolver =
        "MÓDULO CONTAS - MENU CADASTROS AUXLIARES > 3 - FORNECEDORES - CÓDIGO FORNECEDOR: " + col(rs, "CODIF");
    auto check = [&](bool problem, std::string_view descricao) {
        if (problem) ex.Log("CADPART.TXT", "ERRO", descricao, resolver, rec.line());
    };
    // Legal entities ("2") carry their registrations and activity; only people ("1") have a CPF.
    const std::string tipo = col(rs, "TIPO_PESSOA");
    const bool pessoaFisica = tipo == "1";
    const bool juridica = tipo == "2";
    auto ownField = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        check(juridica && isBlank(v), descricao);
        rec.add(field, juridica ? v : std::string());
    };
    auto required = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        check(isBlank(v), descricao);
        rec.add(field, v);
    };

    rec.add("TIPO_PESSOA", tipo);
    const std::string numero = col(rs, "CPF_CNPJ");
    if (isBlank(numero)) {
        check(true, pessoaFisica ? "CPF DO FORNECEDOR NÃO PODE FICAR EM BRANCO"
                                 : "CNPJ DO FORNECEDOR NÃO PODE FICAR EM BRANCO");
    } else if (pessoaFisica) {
        check(!cpfValido(numero), "CPF DO FORNECEDOR INVÁLIDO");
    } else {
        check(!cnpjValido(numero), "CNPJ DO FORNECEDOR INVÁLIDO");
    }
    rec.add("CPF_CNPJ", numero);
    required("NOME", "NOME DO FORNECEDOR NÃO PODE FICAR EM BRANCO");
    required("ENDER", "ENDEREÇO DO FORNECEDOR NÃO PODE FICAR EM BRANCO");
    rec.add("COMPL", col(rs, "COMPL"));
    required("BAIRRO", "BAIRRO DO FORNECEDOR NÃO PODE FICAR EM BRANCO");
    required("CEP", "CEP DO FORNECEDOR NÃO PODE FICAR EM BRANCO");
    required("CIDADE", "CIDADE DO FORNECEDOR NÃO PODE FICAR EM BRANCO");
    required("UF", "UF DA CIDADE DO FORNECEDOR NÃO PODE FICAR EM BRANCO");
    rec.add("FONE", col(rs, "FONE"));
    rec.add("FAX", col(rs, "FAX"));
    rec.add("EMAIL", col(rs, "EMAIL"));
    ownField("INSCR_EST", "INSCRIÇÃO ESTADUAL DO FORNECEDOR NÃO PODE FICAR EM BRANCO");
    ownField("INSCR_MUN", "INSCRIÇÃO MUNICIPAL DO FORNECEDOR NÃO PODE FICAR EM BRANCO");
    rec.add("INSCR_ORGAO", col(rs, "INSCR_ORGAO"));
    ownField("CODATIV", "CÓDIGO DA ATIVIDADE DO FORNECEDOR NÃO PODE FICAR EM BRANCO");
    rec.add("TIPO_SERV", col(rs, "TIPO_SERV"));
    rec.add("PISPASEP", col(rs, "PISPASEP"));
    rec.add("ORG_PUBLICO", col(rs, "ORG_PUBLICO"));
}

}  // namespace

const Layout kCadPartLayout{kCadPartFields};

// Every supplier of the database, whatever the entity and the month.
void CadPart(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kCadPartLayout, cadPartQuery, cadPartValues});
}

}  // namespace tcese
