#include "generators/licitacoes.h"

#include <string>

#include "engine/filegenerator.h"
#include "engine/suporte.h"
#include "engine/values.h"

namespace tcese {

namespace {

// After the record type "2".
constexpr FieldSpec kLicitFields[] = {
    {"ANO_PROC", 4, "T"},
    {"MODALIDADE", 2, "T"},
    {"PROC_LICIT", 16, "I"},
    {"TIPO_ESP_MODAL", 2, "T"},
    {"TIPO_ATO_LEGAL", 2, "T"},
    {"NUMERO_ATO_LEGAL", 10, "T"},
    {"DATA_INICIO", 8, "D"},
    {"OBJETO", 250, "T"},
    {"VALOR_PREVISTO", 15, "V2"},
    {"DATA_ORDENADOR", 8, "D"},
    {"DADO_PUBL", 1, "I"},
    {"DATA_JULG", 8, "D"},
    {"VEIC_PUBL", 120, "T"},
    {"DADO_PARECER", 1, "I"},
    {"NUM_PARECER", 10, "I"},
    {"DATA_PARECER", 8, "D"},
    {"RESP_PARECER", 50, "T"},
    {"DATA_ABERTURA", 8, "D"},
    {"DATA_JULGAMENTO", 8, "D"},
    {"CRITERIO", 1, "T"},
    {"DATA_HOMOL", 8, "D"},
    {"ARQ_EDITAL", 50, "T"},
    {"ARQ_ATAABER_JULG", 50, "T"},
    {"ARQ_PARECER", 50, "T"},
    {"ARQ_RECUR", 50, "T"},
    {"LICIT_CONV", 1, "T"},
    {"RECUR", 1, "T"},
};

constexpr FieldSpec kPublLicFields[] = {
    {"ANO_PROC", 4, "T"}, {"MODALIDADE", 2, "T"}, {"NUMERO", 16, "I"},
    {"DTPUB", 8, "D"},    {"NROPUBL", 4, "I"},    {"TIPOPUBL", 120, "T"},
};

constexpr FieldSpec kItemLicFields[] = {
    {"ANO_PROC", 4, "T"}, {"MODALIDADE", 2, "T"}, {"NUMERO", 16, "I"}, {"ITEM", 4, "I"},
    {"DISC1", 250, "T"},  {"UNID1", 3, "T"},      {"QUAN1", 10, "DP"},
};

constexpr FieldSpec kConviLicFields[] = {
    {"ANO_PROC", 4, "T"}, {"MODALIDADE", 2, "T"},    {"NUMERO", 16, "I"},  {"TIPO_FORNEC", 1, "T"},
    {"DOC", 14, "I"},     {"TIPO_NUM_DOC", 20, "T"}, {"DATA_REC", 8, "T"},
};

constexpr FieldSpec kPartLicFields[] = {
    {"ANO_PROC", 4, "T"}, {"MODALIDADE", 2, "T"}, {"NUMERO", 16, "I"}, {"TIPO_FORNEC", 1, "T"}, {"DOC", 14, "I"},
};

constexpr FieldSpec kItemPartFields[] = {
    {"ANO_PROC", 4, "T"},     {"MODALIDADE", 2, "T"},  {"NUMERO", 16, "I"},    {"TIPO_FORNEC", 1, "T"},
    {"DOC", 14, "I"},         {"ITEM", 4, "I"},        {"VALOR_UNIT", 15, "V3"}, {"RESULT", 1, "T"},
    {"VALOR_TOT", 15, "V2"},  {"QUANTIDADE", 10, "DP"}, {"VALORACAO_FINAL", 15, "T"},
};

constexpr FieldSpec kDotLicitFields[] = {
    {"ANO_PROC", 4, "T"}, {"MODALIDADE", 2, "T"}, {"NUMERO", 16, "I"},    {"PROJATIV", 4, "T"},
    {"ELEMENTO", 8, "T"}, {"FONCODIGO", 3, "T"},  {"MICROREGIAO", 2, "T"},
};

constexpr std::string_view kMenuLicitacao = "MÓDULO COMPRAS - LICITAÇÃO";

// The court's specific modality type, as every file but Licit names it.
constexpr std::string_view kModalidade =
    "CASE WHEN CADLIC.MODLIC = 'DIS1' OR (CADLIC.MODLIC = 'DIS8') THEN '08' WHEN CADLIC.MODLIC = 'LE10' THEN '07' "
    "WHEN CADLIC.MODLIC = 'INE9' THEN '09' WHEN CADLIC.MODLIC = 'PP01' OR (CADLIC.MODLIC = 'PE01') THEN '12' WHEN "
    "CADLIC.MODLIC = 'CCO2' OR (CADLIC.MODLIC = 'CCO5') THEN '16' WHEN CADLIC.MODLIC = 'TOM3' OR (CADLIC.MODLIC = "
    "'TOM6') THEN '17' WHEN CADLIC.MODLIC = 'CON4' OR (CADLIC.MODLIC = 'CON7') THEN '18' END AS MODALIDADE";

// Processes opened in the run's month and year.
std::string openedInMonth(const RunContext& ctx, std::string_view alias) {
    const std::string a(alias);
    return "WHERE EXTRACT(MONTH FROM " + a + ".DATAE) = '" + ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM " + a +
           ".DATAE) = '" + ctx.fiscalYear + "' ";
}

std::string licitQuery(const RunContext& ctx) {
    return "SELECT A.ANO AS ANO_PROC, CASE WHEN A.MODLIC = 'PP01' OR (A.MODLIC = 'PE01') THEN '12' WHEN A.MODLIC = "
           "'CCO2' THEN '01' WHEN A.MODLIC = 'CCO5' THEN '02' WHEN A.MODLIC = 'TOM3' THEN '03' WHEN A.MODLIC = "
           "'TOM6' THEN '04' WHEN A.MODLIC = 'CON4' THEN '05' WHEN A.MODLIC = 'CON7' THEN '06' ELSE NULL END AS "
           "MODALIDADE, A.NUMERO AS PROC_LICIT, CASE WHEN A.MODLIC = 'DIS1' OR (A.MODLIC = 'DIS8') THEN '08' WHEN "
           "A.MODLIC = 'LE10' THEN '07' WHEN A.MODLIC = 'INE9' THEN '09' WHEN A.MODLIC = 'PP01' OR (A.MODLIC = "
           "'PE01') THEN '12' WHEN A.MODLIC = 'CCO2' OR (A.MODLIC = 'CCO5') THEN '16' WHEN A.MODLIC = 'TOM3' OR "
           "(A.MODLIC = 'TOM6') THEN '17' WHEN A.MODLIC = 'CON4' OR (A.MODLIC = 'CON7') THEN '18' END AS "
           "TIPO_ESP_MODAL, CAST('02' AS VARCHAR(2)) AS TIPO_ATO_LEGAL, C.PORTARIA AS NUMERO_ATO_LEGAL, C.DT_INI_PI "
           "AS DATA_INICIO, SUBSTRING(A.DISCR FROM 1 FOR 250) AS OBJETO, A.VALOR AS VALOR_PREVISTO, A.DTORD AS "
           "DATA_ORDENADOR, CASE WHEN A.DTPUB IS NOT NULL THEN '1' ELSE '0' END AS DADO_PUBL, A.DTHOM AS DATA_JULG, "
           "A.TIPOPUBL AS VEIC_PUBL, CAST('0' AS VARCHAR(1)) AS DADO_PARECER, CAST(NULL AS VARCHAR(10)) AS "
           "NUM_PARECER, CAST(NULL AS VARCHAR(8)) AS DATA_PARECER, CAST(NULL AS VARCHAR(50)) AS RESP_PARECER, "
           "A.DATAE AS DATA_ABERTURA, A.DTADJ AS DATA_JULGAMENTO, CASE WHEN A.DISCR7 = 'Menor Preco Unitario' THEN "
           "'1' WHEN A.DISCR7 = 'Menor Preco Global' THEN '1' WHEN A.DISCR7 = 'Melhor Tecnica' THEN '2' WHEN "
           "A.DISCR7 = 'Tecnica e Preco' THEN '3' ELSE '1' END AS CRITERIO, A.DTHOM AS DATA_HOMOL, "
           "CAST('LICIT'||A.NUMERO AS VARCHAR(50)) AS ARQ_EDITAL, CAST('ATA_ABER'||A.NUMERO AS VARCHAR(50)) AS "
           "ARQ_ATAABER_JULG, CAST(NULL AS VARCHAR(50)) AS ARQ_PARECER, CAST(NULL AS VARCHAR(50)) AS ARQ_RECUR, "
           "CAST('0' AS VARCHAR(01)) AS LICIT_CONV, CAST('0' AS VARCHAR(01)) AS RECUR FROM CADLIC A INNER JOIN "
           "LICITCOMISS B ON B.NUMLIC = A.NUMLIC INNER JOIN COMISSAO C ON C.CODCOMISS = B.CODCOMISS " +
           openedInMonth(ctx, "A");
}

std::string publLicQuery(const RunContext& ctx) {
    return "SELECT CADLIC.ANO AS ANO_PROC, " + std::string(kModalidade) +
           ", CADLIC.NUMERO, CADLIC.DTPUB, CADLIC.NROPUBL, CADLIC.TIPOPUBL FROM CADLIC " +
           openedInMonth(ctx, "CADLIC") + "AND CADLIC.DTPUB IS NOT NULL ";
}

std::string itemLicQuery(const RunContext& ctx) {
    return "SELECT DISTINCT CADLIC.ANO AS ANO_PROC, " + std::string(kModalidade) +
           ", CADLIC.NUMERO, CADPRO.ITEM, CADEST.DISC1, CADEST.UNID1, CADPRO.QUAN1 FROM CADPRO INNER JOIN CADEST ON "
           "CADEST.CADPRO = CADPRO.CADPRO INNER JOIN CADLIC ON CADLIC.NUMLIC = CADPRO.NUMLIC " +
           openedInMonth(ctx, "CADLIC") + "ORDER BY CADLIC.NUMLIC,CADPRO.ITEM";
}

std::string conviLicQuery(const RunContext& ctx) {
    return "SELECT DISTINCT CADLIC.ANO AS ANO_PROC, " + std::string(kModalidade) +
           ", CADLIC.NUMERO, CASE WHEN DESFOR.CODTIP = '01' THEN '2' WHEN DESFOR.CODTIP = '02' THEN '1' ELSE NULL "
           "END AS TIPO_FORNEC, DESFOR.INSMF AS DOC, CAST(NULL AS VARCHAR(20)) AS TIPO_NUM_DOC, CAST(NULL AS "
           "VARCHAR(8)) AS DATA_REC FROM PROLIC INNER JOIN CADLIC ON CADLIC.NUMLIC = PROLIC.NUMLIC INNER JOIN DESFOR "
           "ON DESFOR.CODIF = PROLIC.CODIF LEFT JOIN DOCUMENTOS_RTF ON DOCUMENTOS_RTF.NUMLIC = PROLIC.NUMLIC         "
           "                AND DOCUMENTOS_RTF.NUMERO = PROLIC.CODIF                         AND "
           "DOCUMENTOS_RTF.TIPO IN ('6','7') " +
           openedInMonth(ctx, "CADLIC") + "ORDER BY CADLIC.NUMLIC";
}

std::string partLicQuery(const RunContext& ctx) {
    return "SELECT DISTINCT CADLIC.ANO AS ANO_PROC, " + std::string(kModalidade) +
           ", CADLIC.NUMERO, CASE WHEN DESFOR.CODTIP = '01' THEN '2' WHEN DESFOR.CODTIP = '02' THEN '1' ELSE NULL "
           "END AS TIPO_FORNEC, DESFOR.INSMF AS DOC FROM PROLIC INNER JOIN CADLIC ON CADLIC.NUMLIC = PROLIC.NUMLIC "
           "INNER JOIN DESFOR ON DESFOR.CODIF = PROLIC.CODIF " +
           openedInMonth(ctx, "CADLIC") + "ORDER BY CADLIC.NUMLIC";
}

std::string itemPartQuery(const RunContext& ctx) {
    return "SELECT DISTINCT CADLIC.ANO AS ANO_PROC, " + std::string(kModalidade) +
           ", CADLIC.NUMERO, CASE WHEN DESFOR.CODTIP = '01' THEN '2' WHEN DESFOR.CODTIP = '02' THEN '1' ELSE NULL "
           "END AS TIPO_FORNEC, DESFOR.INSMF AS DOC, CADPRO.ITEM, COALESCE(CADPRO.VAUN1,0) AS VALOR_UNIT, CASE WHEN "
           "CADPRO.SUBEM = '1' THEN 'V' ELSE 'P' END AS RESULT, COALESCE(CADPRO.VATO1,0) AS VALOR_TOT, "
           "COALESCE(CADPRO.QUAN1,0) AS QUANTIDADE, CAST(NULL AS VARCHAR(15)) AS VALORACAO_FINAL FROM CADPRO INNER "
           "JOIN CADLIC ON CADLIC.NUMLIC = CADPRO.NUMLIC INNER JOIN CADEST ON CADPRO.CADPRO=CADEST.CADPRO INNER JOIN "
           "DESFOR ON DESFOR.CODIF=CADPRO.CODIF " +
           openedInMonth(ctx, "CADLIC") + "ORDER BY CADPRO.NUMLIC, DESFOR.CODIF, CADPRO.ITEM";
}

std::string dotLicitQuery(const RunContext& ctx) {
    return "SELECT DISTINCT CADLIC.ANO AS ANO_PROC, " + std::string(kModalidade) +
           ", CADLIC.NUMERO, DESDIS.PROJATIV, DESDIS.BALCO_TCE AS ELEMENTO, DESDIS.FONCODIGO, CAST('00' AS "
           "VARCHAR(2)) AS MICROREGIAO FROM CADLIC LEFT JOIN DESPES ON DESPES.NUMLIC = CADLIC.NUMLIC LEFT JOIN "
           "DESDIS ON DESDIS.FICHA = DESPES.FICHA WHERE EXTRACT(MONTH FROM CADLIC.DATAE) = '" +
           ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM CADLIC.DATAE) = '" + ctx.fiscalYear + "'";
}

void licitValues(Exporter& ex, RecordSet& rs, Record& rec) {
    auto check = [&](bool problem, std::string_view descricao) {
        if (problem) ex.Log("LICIT.TXT", "ERRO", descricao, kMenuLicitacao, rec.line());
    };
    auto required = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        check(isBlank(v), descricao);
        rec.add(field, v);
    };
    required("ANO_PROC", "ANO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO");
    required("MODALIDADE", "MODALIDADE DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO");
    required("PROC_LICIT", "NÚMERO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO");
    required("TIPO_ESP_MODAL", "TIPO ESPECIFICO DA MODALIDADE DE LICITAÇÃO NÃO PODE FICAR EM BRANCO");
    required("TIPO_ATO_LEGAL",
             "TIPO DO ATO LEGAL QUE CRIOU A COMISSÃO RESPONSAVEL PELA LICITAÇÃO NÃO PODE FICAR EM BRANCO");
    required("NUMERO_ATO_LEGAL",
             "NÚMERO DO ATO LEGAL QUE CRIOU A COMISSÃO RESPONSAVEL PELA LICITAÇÃO NÃO PODE FICAR EM BRANCO");
    required("DATA_INICIO", "DATA INICIO DA COMISSÃO RESPONSAVEL NÃO PODE FICAR EM BRANCO");
    required("OBJETO", "DESCRIÇÃO DO OBJETO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO");
    // A NULL estimated value is logged, then stops the file: an amount cannot be blank.
    required("VALOR_PREVISTO", "VALOR PREVISTO DA LICICITAÇÃO NÃO PODE FICAR EM BRANCO");
    required("DATA_ORDENADOR",
             "DATA DE AUTORIZAÇÃO PELO ORDENADOR PARA ABERTURA DO PROCESSO NÃO PODE FICAR EM BRANCO");

    // The publication fields are due only when the process was published.
    const std::string dadoPubl = col(rs, "DADO_PUBL");
    rec.add("DADO_PUBL", dadoPubl);
    const std::string dataJulg = col(rs, "DATA_JULG");
    check(dadoPubl == "1" && isBlank(dataJulg), "DATA DE PUBLICAÇÃO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO");
    rec.add("DATA_JULG", dataJulg);
    const std::string veicPubl = col(rs, "VEIC_PUBL");
    check(dadoPubl == "1" && isBlank(veicPubl), "VEÍCULO DE PUBLICAÇÃO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO");
    rec.add("VEIC_PUBL", veicPubl);

    rec.add("DADO_PARECER", col(rs, "DADO_PARECER"));
    rec.add("NUM_PARECER", col(rs, "NUM_PARECER"));
    rec.add("DATA_PARECER", col(rs, "DATA_PARECER"));
    rec.add("RESP_PARECER", col(rs, "RESP_PARECER"));
    required("DATA_ABERTURA", "DATA DE ABERTURA DA LICITAÇÃO NÃO PODE FICAR EM BRANCO");
    required("DATA_JULGAMENTO", "DATA DE JULGAMENTO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO");
    rec.add("CRITERIO", col(rs, "CRITERIO"));
    required("DATA_HOMOL", "DATA DE HOMOLOGAÇAO DA LICITAÇÃO NÃO PODE FICAR EM BRANCO");

    const std::string edital = documentName(col(rs, "ARQ_EDITAL"));
    rec.add("ARQ_EDITAL", edital);
    const std::string ata = documentName(col(rs, "ARQ_ATAABER_JULG"));
    rec.add("ARQ_ATAABER_JULG", ata);
    rec.add("ARQ_PARECER", col(rs, "ARQ_PARECER"));
    rec.add("ARQ_RECUR", col(rs, "ARQ_RECUR"));
    rec.add("LICIT_CONV", col(rs, "LICIT_CONV"));
    rec.add("RECUR", col(rs, "RECUR"));

    documentFileCheck(ex, "LICIT.TXT", edital, rec.line());
    documentFileCheck(ex, "LICIT.TXT", ata, rec.line());
}

void publLicValues(Exporter& ex, RecordSet& rs, Record& rec) {
    auto required = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        if (isBlank(v)) ex.Log("PUBLLIC.TXT", "ERRO", descricao, kMenuLicitacao, rec.line());
        rec.add(field, v);
    };
    required("ANO_PROC", "ANO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO");
    required("MODALIDADE", "MODALIDADE DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO");
    required("NUMERO", "NÚMERO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO");
    required("DTPUB", "DATA DE PUBLICAÇÃO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO");
    required("NROPUBL", "NÚMERO DA PUBLICAÇÃO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO");
    required("TIPOPUBL", "TIPO DE PUBLICAÇÃO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO");
}

// The files without checks: every column as the database holds it, in layout order.
void plainValues(Exporter&, RecordSet& rs, Record& rec, const Layout& layout) {
    for (const FieldSpec& f : layout.fields) rec.add(f.name, col(rs, f.name));
}

void run(Exporter& ex, std::string_view fileName, const Layout& layout, std::string (*query)(const RunContext&)) {
    runFileGenerator(ex, FileGenerator{fileName, layout, query, [&layout](Exporter& e, RecordSet& rs, Record& rec) {
                                           plainValues(e, rs, rec, layout);
                                       }});
}

}  // namespace

const Layout kLicitLayout{kLicitFields};
const Layout kPublLicLayout{kPublLicFields};
const Layout kItemLicLayout{kItemLicFields};
const Layout kConviLicLayout{kConviLicFields};
const Layout kPartLicLayout{kPartLicFields};
const Layout kItemPartLayout{kItemPartFields};
const Layout kDotLicitLayout{kDotLicitFields};

// One record per process and linked commission; a process without one is left out.
void Licit(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kLicitLayout, licitQuery, licitValues});
}

// Only the processes with a publication date.
void PublLic(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kPublLicLayout, publLicQuery, publLicValues});
}

void ItemLic(Exporter& ex, std::string_view fileName) { run(ex, fileName, kItemLicLayout, itemLicQuery); }

void ConviLic(Exporter& ex, std::string_view fileName) { run(ex, fileName, kConviLicLayout, conviLicQuery); }

void PartLic(Exporter& ex, std::string_view fileName) { run(ex, fileName, kPartLicLayout, partLicQuery); }

void ItemPart(Exporter& ex, std::string_view fileName) { run(ex, fileName, kItemPartLayout, itemPartQuery); }

// A process without commitments still gives one record, its appropriation blank.
void DotLicit(Exporter& ex, std::string_view fileName) { run(ex, fileName, kDotLicitLayout, dotLicitQuery); }

}  // namespace tcese
