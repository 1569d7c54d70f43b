#include "generators/convenios.h"

#include <string>

#include "engine/filegenerator.h"
#include "engine/suporte.h"
#include "engine/ret.h"
#include "engine/values.h"

namespace tcese {

namespace {

// After the record type "2".
constexpr FieldSpec kConvenioFields[] = {
    {"ANO_CONVENIO", 4, "T"},       {"CONVENIO", 16, "I"},         {"DESCRICAO", 250, "T"},
    {"VALOR_CONVENIO", 15, "V2"},   {"DATA_CELEBRA", 8, "D"},      {"DATA_PUBL", 8, "D"},
    {"NOME_VEIC_PUBL", 120, "T"},   {"DATA_INICIO", 8, "D"},       {"DATA_FIM", 8, "D"},
    {"NUMERO_PARECER", 10, "I"},    {"DATA_PARECER", 8, "D"},      {"RESP_PARECER", 50, "T"},
    {"BANCO", 4, "T"},              {"AGENCIA", 6, "I"},           {"CONTA", 10, "I"},
    {"DIGITO", 2, "T"},             {"NOME_ARQ_CONV", 50, "T"},    {"TIPO_CONVENIO", 2, "T"},
    {"NOME_ARQ_PL_APLIC", 50, "T"}, {"NOME_ARQ_PARECER", 50, "T"}, {"DADO_PUBL", 1, "I"},
    {"DADO_PARECER", 1, "I"},       {"CONVENIO_OBRA", 1, "I"},
};

constexpr FieldSpec kAditConvFields[] = {
    {"ANO_CONVENIO", 4, "T"},      {"CONVENIO", 16, "I"},          {"ADITIVO", 16, "I"},
    {"TIPO", 1, "T"},              {"TIPO_AJUSTE", 2, "T"},        {"OBJETIVO", 250, "T"},
    {"VALOR", 15, "V2"},           {"DATA_CELEBRA", 8, "D"},       {"DATA_PUBL", 8, "D"},
    {"VEIC_PUBL", 120, "T"},       {"DATA_INICIO", 8, "D"},        {"DATA_FIM", 8, "D"},
    {"NUMERO_PARECER", 10, "T"},   {"DATA_PARECER", 8, "D"},       {"RESP_PARECER", 50, "T"},
    {"NOME_ARQ_ADITIVO", 50, "T"}, {"NOME_ARQ_PARECER", 50, "T"},  {"NOME_PLANO_APLIC", 50, "T"},
    {"ESPECIFICACAO", 120, "T"},   {"DADO_PUBL", 1, "I"},          {"DADO_PARECER", 1, "I"},
};

constexpr FieldSpec kPartConvFields[] = {
    {"ANO_CONVENIO", 4, "T"}, {"CONVENIO", 16, "I"}, {"TIPO_PESSOA", 1, "T"},
    {"CPF_CNPJ", 14, "I"},    {"VALOR", 15, "V2"},
};

constexpr std::string_view kMenuConvenios = "MÓDULO CONTAS - MENU CADASTROS AUXILIARES < 8-CONVÊNIOS";

// Month and year of a date column and the agreement's entity, as the queries end.
std::string period(const RunContext& ctx, std::string_view date, std::string_view entity) {
    return std::string("EXTRACT(MONTH FROM ") + std::string(date) + ") = '" + ctx.monthCode + "' " +
           "AND EXTRACT(YEAR FROM " + std::string(date) + ") = '" + ctx.fiscalYear + "' " + "AND " +
           std::string(entity) + " = '" + ctx.entityCode + "'";
}

std::string convenioQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM A.DATA) AS ANO_CONVENIO, A.NUMCONV AS CONVENIO, A.ESPECIF AS DESCRICAO, "
           "A.VALOR AS VALOR_CONVENIO,A.DATA AS DATA_CELEBRA, A.DTPUB AS DATA_PUBL, CAST('NAO CONSTA' AS "
           "VARCHAR(120)) AS NOME_VEIC_PUBL, A.DTPUB AS DATA_INICIO, A.DTVENC AS DATA_FIM, CAST(NULL AS "
           "VARCHAR(10)) AS NUMERO_PARECER, CAST(NULL AS VARCHAR(8))AS DATA_PARECER, CAST(NULL AS VARCHAR(50)) AS "
           "RESP_PARECER, B.BANCO, B.AGENCIA, A.CONTA, CAST(NULL AS VARCHAR(2)) AS DIGITO, CAST('CONV'||NUMCONV "
           "AS VARCHAR(50)) AS NOME_ARQ_CONV, A.TIPO AS TIPO_CONVENIO, CAST('PLAPCONV'||NUMCONV AS VARCHAR(50)) "
           "AS NOME_ARQ_PL_APLIC, CAST(NULL AS VARCHAR(50)) AS NOME_ARQ_PARECER, CASE WHEN A.DTPUB IS NULL THEN "
           "'0' ELSE '1' END AS DADO_PUBL, CAST('0' AS VARCHAR(1)) AS DADO_PARECER, CASE WHEN A.NUMOBRA IS NULL "
           "THEN '0' ELSE '1' END AS CONVENIO_OBRA FROM CADCONV A LEFT JOIN DESCON B ON B.CONTA = A.CONTA WHERE " +
           period(ctx, "A.DATA", "A.EMPRESA");
}

std::string aditConvQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM B.DATA) AS ANO_CONVENIO, B.NUMCONV AS CONVENIO, A.TERMO AS ADITIVO, "
           "CAST('1' AS VARCHAR(1)) AS TIPO, CAST('3' AS VARCHAR(2)) AS TIPO_AJUSTE, A.DESCRICAO AS OBJETIVO, "
           "A.VALOR AS VALOR, A.DTLAN AS DATA_CELEBRA, A.DTLAN AS DATA_PUBL, CAST(NULL AS VARCHAR(120)) AS "
           "VEIC_PUBL, A.DTLAN AS DATA_INICIO, A.DATAENCERRAMENTO AS DATA_FIM, CAST(NULL AS VARCHAR(10)) AS "
           "NUMERO_PARECER, CAST(NULL AS VARCHAR(8)) AS DATA_PARECER, CAST(NULL AS VARCHAR(50)) AS RESP_PARECER, "
           "CAST('ADCONV'||A.CONVENIO||'-'||A.TERMO AS VARCHAR(50)) AS NOME_ARQ_ADITIVO, CAST(NULL AS "
           "VARCHAR(50)) AS NOME_ARQ_PARECER, CAST('ADCONVPLAPLIC'||A.CONVENIO||'-'||A.TERMO AS VARCHAR(50)) AS "
           "NOME_PLANO_APLIC, A.DESCRICAO AS ESPECIFICACAO, CAST('1' AS VARCHAR(1)) AS DADO_PUBL, CAST('0' AS "
           "VARCHAR(1)) AS DADO_PARECER FROM CADCONVADITAMENTO A INNER JOIN CADCONV B ON B.CONVENIO = "
           "A.CONVENIO WHERE " +
           period(ctx, "A.DTLAN", "B.EMPRESA") + " ";
}

std::string partConvQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM A.DATA) AS ANO_CONVENIO, A.NUMCONV AS CONVENIO, CASE WHEN B.CODTIP = '01' "
           "THEN '2' WHEN B.CODTIP = '02' THEN '1' ELSE '1' END AS TIPO_PESSOA, B.INSMF AS CPF_CNPJ, A.VALOR "
           "FROM CADCONV A INNER JOIN DESFOR B ON B.CODIF = A.CODIF WHERE " +
           period(ctx, "A.DATA", "A.EMPRESA");
}

// Adds fields of the current row, logging `descricao` for a blank one.
struct Fields {
    Exporter& ex;
    RecordSet& rs;
    Record& rec;
    std::string_view file;

    void operator()(std::string_view field, std::string_view descricao = {}) const {
        const std::string v = col(rs, field);
        if (!descricao.empty() && isBlank(v)) ex.Log(file, "ERRO", descricao, kMenuConvenios, rec.line());
        rec.add(field, v);
    }
};

void convenioValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const Fields add{ex, rs, rec, "CONVENIO.TXT"};
    add("ANO_CONVENIO", "ANO DO CONVENIO NÃO PODE FICAR EM BRANCO");
    add("CONVENIO", "NUMERO DO CONVENIO NÃO PODE FICAR EM BRANCO");
    add("DESCRICAO", "DESCRIÇÃO DO CONVENIO NÃO PODE FICAR EM BRANCO");
    add("VALOR_CONVENIO");
    add("DATA_CELEBRA", "DATA DE CELEBRAÇÃO DO DO CONVENIO NÃO PODE FICAR EM BRANCO");
    add("DATA_PUBL");
    add("NOME_VEIC_PUBL");
    add("DATA_INICIO");
    add("DATA_FIM");
    add("NUMERO_PARECER");
    add("DATA_PARECER");
    add("RESP_PARECER");
    add("BANCO");
    add("AGENCIA");
    const std::string conta = col(rs, "CONTA");
    rec.add("CONTA", conta);
    // The check digit comes from the account as stored, not from the query.
    rec.add("DIGITO", retorna_digito(conta));
    const std::string convenio = documentName(col(rs, "NOME_ARQ_CONV"));
    rec.add("NOME_ARQ_CONV", convenio);
    add("TIPO_CONVENIO");
    const std::string plano = documentName(col(rs, "NOME_ARQ_PL_APLIC"));
    rec.add("NOME_ARQ_PL_APLIC", plano);
    add("NOME_ARQ_PARECER");
    add("DADO_PUBL");
    add("DADO_PARECER");
    add("CONVENIO_OBRA");

    documentFileCheck(ex, "CONVENIO.TXT", convenio, rec.line());
    documentFileCheck(ex, "CONVENIO.TXT", plano, rec.line());
}

void aditConvValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const Fields add{ex, rs, rec, "ADITCONV.TXT"};
    add("ANO_CONVENIO", "ANO DO CONVENIO NÃO PODE FICAR EM BRANCO");
    add("CONVENIO", "NUMERO DO CONVENIO NÃO PODE FICAR EM BRANCO");
    add("ADITIVO", "NUMERO DO ADITIVO NÃO PODE FICAR EM BRANCO");
    add("TIPO", "TIPO DO ADITIVO NÃO PODE FICAR EM BRANCO");
    add("TIPO_AJUSTE");
    add("OBJETIVO", "OBJETIVO DO ADITIVO NÃO PODE FICAR EM BRANCO");
    add("VALOR", "VALOR DO ADITIVO NÃO PODE FICAR EM BRANCO");
    add("DATA_CELEBRA", "DATA DE CELEBRAÇÃO DO ADITIVO NÃO PODE FICAR EM BRANCO");
    add("DATA_PUBL");
    rec.add("VEIC_PUBL", "NÃO CONSTA");
    add("DATA_INICIO");
    add("DATA_FIM");
    add("NUMERO_PARECER");
    add("DATA_PARECER");
    add("RESP_PARECER");
    const std::string aditivo = documentName(col(rs, "NOME_ARQ_ADITIVO"));
    rec.add("NOME_ARQ_ADITIVO", aditivo);
    add("NOME_ARQ_PARECER");
    const std::string plano = documentName(col(rs, "NOME_PLANO_APLIC"));
    rec.add("NOME_PLANO_APLIC", plano);
    // The query's ESPECIFICACAO column is not read: the field is always blank.
    rec.add("ESPECIFICACAO", "");
    add("DADO_PUBL");
    add("DADO_PARECER");

    documentFileCheck(ex, "ADITCONV.TXT", aditivo, rec.line());
    documentFileCheck(ex, "ADITCONV.TXT", plano, rec.line());
}

void partConvValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const Fields add{ex, rs, rec, "PARTCONV.TXT"};
    add("ANO_CONVENIO");
    add("CONVENIO");
    add("TIPO_PESSOA");
    add("CPF_CNPJ", "CNPJ OU CPF DO PARTICIPANTE NÃO PODE FICAR EM BRANCO");
    add("VALOR");
}

}  // namespace

const Layout kConvenioLayout{kConvenioFields};
const Layout kAditConvLayout{kAditConvFields};
const Layout kPartConvLayout{kPartConvFields};

// Agreements celebrated in the month, once per DESCON row of their account.
void Convenio(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kConvenioLayout, convenioQuery, convenioValues});
}

// Amendments registered in the month on the entity's agreements.
void AditConv(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kAditConvLayout, aditConvQuery, aditConvValues});
}

// The other party of each agreement celebrated in the month; an agreement whose
// party is not in DESFOR is left out by the join.
void PartConv(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kPartConvLayout, partConvQuery, partConvValues});
}

}  // namespace tcese
