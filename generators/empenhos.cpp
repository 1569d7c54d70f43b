#include "generators/empenhos.h"

#include <string>

#include "engine/filegenerator.h"
#include "engine/values.h"

namespace tcese {

namespace {

// After the record type "2". Kind "" marks the fields formatted here: kind "I"
// that reads blanks, not zeros, when the value is absent.
constexpr FieldSpec kEmpenhoFields[] = {
    {"ANO_EMPENHO", 4, "T"},
    {"EMPENHO", 16, ""},
    {"PROJATIV", 4, "T"},
    {"ELEMENTO", 8, "T"},
    {"FONTE", 3, "T"},
    {"MICROREGIAO", 2, "T"},
    {"NATUREZA", 1, "T"},
    {"DT_EMP", 8, "D"},
    {"VLR_EMP", 15, "V2"},
    {"TIPO_EMP", 1, "T"},
    {"CATEG_EMP", 2, "T"},
    {"BASE_LEGAL", 2, "T"},
    {"EMP_OBRA", 1, "I"},
    {"ANO_OBRA", 4, "T"},
    {"NUM_OBRA", 4, ""},
    {"EMP_CONTRATO", 1, "I"},
    {"ANO_CONTRATO", 4, "T"},
    {"NUM_CONTRATO", 16, "T"},
    {"EMP_CONVENIO", 1, "T"},
    {"ANO_CONVENIO", 4, "T"},
    {"CONVENIO", 16, "T"},
    {"REAL_LICIT", 1, "I"},
    {"ANO_LICIT", 4, "T"},
    {"MOD_LIC", 2, "T"},
    {"LICIT", 16, ""},
    {"REAL_DISPENSA", 1, ""},
    {"ANO_DISPENSA", 4, "T"},
    {"MOD_DISP", 2, "T"},
    {"PROC_DISP", 16, "T"},
    {"TIPO_PESS_CREDOR", 1, "T"},
    {"CPF_CNPJ_CREDOR", 14, "I"},
    {"COD_UNID_GESTORA", 6, "T"},
    {"ANO_OBRA_UNID", 4, "T"},
    {"NUM_OBRA_UNID", 4, ""},
    {"COD_UNID_GEST_ANU_CONTRATO", 6, "T"},
    {"ANO_CONT_ANUE_UNID", 4, "T"},
    {"NUM_CONTR_ANUE_UNID", 16, ""},
    {"UNID_GEST_CONV", 6, "T"},
    {"ANO_CONV_UNID", 4, "T"},
    {"CONV_EMP", 16, ""},
    {"COD_UNID_CONV", 6, "T"},
    {"ANO_DISP_UNID", 4, "T"},
    {"MOD_DISP_UNID", 2, "T"},
    {"NUM_DISP_UNID", 16, ""},
    {"COD_DISP_UNID_LICIT", 6, "T"},
    {"ANO_LICIT_UNID", 4, "T"},
    {"MOD_LICIT_UNID", 2, "T"},
    {"NUM_LICIT_UNID", 16, ""},
};

constexpr FieldSpec kItemEmpFields[] = {
    {"ANO_EMPENHO", 4, "T"},  {"EMPENHO", 16, "I"},     {"COD_ITEM", 4, "I"},
    {"DESCRICAO", 255, "T"},  {"UNIDADE", 3, "T"},      {"QUANTIDADE", 10, "DP"},
    {"VALOR_UNIT", 15, "V2"}, {"VALOR_TOTAL", 15, "V2"},
};

constexpr FieldSpec kAnulaEmpFields[] = {
    {"ANO_EMPENHO", 4, "T"}, {"NUM_EMPENHO", 16, "I"}, {"NUM_ANULA", 10, "T"},
    {"DT_EMP", 8, "D"},      {"MOTIVO", 250, "T"},     {"VALOR_ANULA", 15, "V2"},
};

constexpr FieldSpec kCancRestFields[] = {
    {"ANO_EMPENHO", 4, "T"}, {"NUM_EMPENHO", 16, "I"}, {"DT_EMP", 8, "D"},
    {"MOTIVO", 250, "T"},    {"VALOR_ANULA", 15, "V2"},
};

constexpr std::string_view kMenuEmpenho = "MÓDULO CONTAS - MENU DESPESAS > 01 - EMPENHO";

// Month and year of DATAE, as every query of these files ends.
std::string monthAndYear(const RunContext& ctx) {
    return ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM A.DATAE) = '" + ctx.fiscalYear + "' ";
}

std::string empenhoQuery(const RunContext& ctx) {
    return "SELECT DISTINCT EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, A.NEMPG AS EMPENHO, B.PROJATIV, "
           "B.BALCO_TCE AS ELEMENTO, B.FONCODIGO AS FONTE, CAST('00' AS VARCHAR(2)) AS MICROREGIAO, CASE WHEN "
           "B.DOTAC = 0 THEN '2' ELSE '1' END AS NATUREZA, A.DATAE AS DT_EMP, A.VADEM AS VLR_EMP, CASE WHEN "
           "A.TPEM = 'OR' THEN '1' WHEN A.TPEM = 'ES' THEN '2' WHEN A.TPEM = 'GL' THEN '3' ELSE '1' END AS "
           "TIPO_EMP, CASE WHEN B.ELEMENTO IN ('18','19','20','42','46','49') THEN '04' WHEN B.ELEMENTO = '43' "
           "THEN '03' WHEN A.TPEM = 'AD' THEN '02' ELSE '01' END AS CATEG_EMP, CASE WHEN A.LICIT = "
           "'DISPENSA ART. 24' THEN '01' WHEN A.LICIT LIKE '%DISPENSA%' THEN '32' WHEN A.LICIT = "
           "'MAT / SERV - CONVITE' THEN '35' WHEN A.LICIT = 'MAT / SERV - TOMADA' THEN '34' WHEN A.LICIT = "
           "'MAT / SERV - CONCORRENCIA' THEN '33' WHEN A.LICIT = 'OBRA CONVITE' THEN '35' WHEN A.LICIT = "
           "'OBRA TOMADA' THEN '34' WHEN A.LICIT = 'OBRA CONCORRENCIA' THEN '33' WHEN A.LICIT = "
           "'INEXIGIB. ART. 25' THEN '28' WHEN A.LICIT = 'PREGÃO PRESENCIAL' THEN '38' WHEN A.LICIT = "
           "'PREGÃO ELETRÔNICO' THEN '38' END AS BASE_LEGAL, CASE WHEN A.CODOBRA IS NULL THEN '0' WHEN A.CODOBRA "
           "IS NOT NULL AND B.EMPRESA = C.EMPRESA THEN '1' WHEN A.CODOBRA IS NOT NULL AND B.EMPRESA <> C.EMPRESA "
           "THEN '2' END AS EMP_OBRA, C.ANO AS ANO_OBRA, A.CODOBRA AS NUM_OBRA, CASE WHEN A.CONTRATO IS NULL "
           "THEN '0' WHEN A.CONTRATO IS NOT NULL AND B.EMPRESA = D.EMPRESA THEN '1' WHEN A.CONTRATO IS NOT NULL "
           "AND B.EMPRESA <> D.EMPRESA THEN '2' END AS EMP_CONTRATO, EXTRACT(YEAR FROM D.DTASSI) AS "
           "ANO_CONTRATO, A.CONTRATO AS NUM_CONTRATO, CASE WHEN A.CONVENIO IS NULL THEN '0' WHEN A.CONVENIO IS "
           "NOT NULL AND B.EMPRESA = E.EMPRESA THEN '2' WHEN A.CONVENIO IS NOT NULL AND B.EMPRESA <> E.EMPRESA "
           "THEN '3' END AS EMP_CONVENIO, EXTRACT(YEAR FROM E.DATA) AS ANO_CONVENIO, A.CONVENIO, CASE WHEN "
           "A.NUMLIC IS NULL THEN '0' WHEN SUBSTRING(A.NUMLIC FROM 1 FOR 1) ='' THEN '0' ELSE '1' END AS "
           "REAL_LICIT, F.ANO AS ANO_LICIT, CASE WHEN A.LICIT = 'MAT / SERV - CONVITE' THEN '16' WHEN A.LICIT = "
           "'MAT / SERV - TOMADA' THEN '17' WHEN A.LICIT = 'MAT / SERV - CONCORRENCIA' THEN '18' WHEN A.LICIT = "
           "'OBRA CONVITE' THEN '16' WHEN A.LICIT = 'OBRA TOMADA' THEN '17' WHEN A.LICIT = 'OBRA CONCORRENCIA' "
           "THEN '18' WHEN A.LICIT = 'PREGÃO PRESENCIAL' THEN '12' WHEN A.LICIT = 'PREGÃO ELETRÔNICO' THEN '12' "
           "ELSE NULL END AS MOD_LIC, A.NUMLIC AS LICIT, CASE WHEN A.LICIT = 'DISPENSA ART. 24' THEN '1' WHEN "
           "A.LICIT LIKE '%DISPENSA%' THEN '1' WHEN A.LICIT = 'INEXIGIB. ART. 25' THEN '1' ELSE '0' END "
           "REAL_DISPENSA, EXTRACT(YEAR FROM A.DATAE) AS ANO_DISPENSA, CASE WHEN A.LICIT = 'DISPENSA ART. 24' "
           "THEN '08' WHEN A.LICIT LIKE '%DISPENSA%' THEN '08' WHEN A.LICIT = 'INEXIGIB. ART. 25' THEN '09' ELSE "
           "NULL END MOD_DISP, SUBSTRING(A.NUMLICMOD FROM 1 FOR 4) AS PROC_DISP, CASE WHEN G.CODTIP = '01' then "
           "'2' WHEN G.CODTIP = '02' THEN '1' ELSE NULL END TIPO_PESS_CREDOR, G.INSMF AS CPF_CNPJ_CREDOR, "
           "CAST(NULL AS VARCHAR(6)) AS COD_UNID_GESTORA, CAST(NULL AS VARCHAR(4)) AS ANO_OBRA_UNID, CAST(NULL "
           "AS VARCHAR(4)) AS NUM_OBRA_UNID, CAST(NULL AS VARCHAR(6)) AS COD_UNID_GEST_ANU_CONTRATO, CAST(NULL "
           "AS VARCHAR(4)) AS ANO_CONT_ANUE_UNID, CAST(NULL AS VARCHAR(16)) AS NUM_CONTR_ANUE_UNID, CAST(NULL AS "
           "VARCHAR(6)) AS UNID_GEST_CONV, CAST(NULL AS VARCHAR(4)) AS ANO_CONV_UNID, A.CONVENIO AS CONV_EMP, "
           "CAST(NULL AS VARCHAR(6)) AS COD_UNID_CONV, CAST(NULL AS VARCHAR(4)) AS ANO_DISP_UNID, CAST(NULL AS "
           "VARCHAR(2)) AS MOD_DISP_UNID, CAST(NULL AS VARCHAR(16)) AS NUM_DISP_UNID, CAST(NULL AS VARCHAR(6)) "
           "AS COD_DISP_UNID_LICIT, CAST(NULL AS VARCHAR(4)) AS ANO_LICIT_UNID, CAST(NULL AS VARCHAR(6)) AS "
           "MOD_LICIT_UNID, CAST(NULL AS VARCHAR(6)) AS NUM_LICIT_UNID FROM DESPES A INNER JOIN DESDIS B ON "
           "B.FICHA = A.FICHA LEFT JOIN CADOBRA C ON C.NUMERO = A.CODOBRA LEFT JOIN CONTRATOS D ON D.CODIGO = "
           "A.CONTRATO LEFT JOIN CADCONV E ON E.CONVENIO = A.CONVENIO LEFT JOIN CADLIC F ON F.NUMLIC = A.NUMLIC "
           "LEFT JOIN DESFOR G ON G.CODIF = A.CODIF WHERE A.VADEM > 0 AND A.TPEM <> 'EX' AND EXTRACT(MONTH FROM "
           "A.DATAE) = '" +
           monthAndYear(ctx) + entityFilter(ctx, "B") + " ";
}

std::string itemEmpQuery(const RunContext& ctx) {
    return "SELECT DISTINCT EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, A.NEMPG AS EMPENHO, CAST('0001' AS "
           "VARCHAR(4)) AS COD_ITEM, SUBSTRING(A.PRODU FROM 1 FOR 250) AS DESCRICAO, CAST('UND' AS VARCHAR(3)) "
           "AS UNIDADE, CAST('0000000001' AS VARCHAR(10)) AS QUANTIDADE, A.VADEM AS VALOR_UNIT, A.VADEM AS "
           "VALOR_TOTAL FROM DESPES A INNER JOIN DESDIS B ON B.FICHA = A.FICHA WHERE A.VADEM > 0 AND "
           "EXTRACT(MONTH FROM A.DATAE) = '" +
           monthAndYear(ctx) + entityFilter(ctx, "B") + " ";
}

std::string anulaEmpQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, A.NEMPG AS NUM_EMPENHO, A.NEMPG AS NUM_ANULA, "
           "A.DATAE AS DT_EMP, SUBSTRING(A.PRODU FROM 1 FOR 250) AS MOTIVO, A.VADEM AS VALOR_ANULA FROM DESPES A "
           "INNER JOIN DESDIS B ON B.FICHA = A.FICHA WHERE VADEM < 0 AND B.PODER <> '99' AND EXTRACT(MONTH FROM "
           "A.DATAE) = '" +
           monthAndYear(ctx) + entityFilter(ctx, "B");
}

std::string cancRestQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, A.NEMPG AS NUM_EMPENHO, A.DATAE AS DT_EMP, "
           "SUBSTRING(A.PRODU FROM 1 FOR 250) AS MOTIVO, A.VADEM AS VALOR_ANULA FROM DESPES A INNER JOIN DESDIS "
           "B ON B.FICHA = A.FICHA WHERE VADEM < 0 AND B.PODER = '99' AND EXTRACT(MONTH FROM A.DATAE) = '" +
           monthAndYear(ctx) + entityFilter(ctx, "B");
}

// The first four characters of the waiver process number, read as a whole number
// ("0012" is 12). Empty when they are not one.
std::string wholeNumber(std::string_view text) {
    std::string_view t = trimText(text);
    std::string sign;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        if (t.front() == '-') sign = "-";
        t.remove_prefix(1);
    }
    if (t.empty()) return {};
    for (char c : t)
        if (c < '0' || c > '9') return {};
    while (t.size() > 1 && t.front() == '0') t.remove_prefix(1);
    return t == "0" ? std::string(t) : sign + std::string(t);
}

void empenhoValues(Exporter& ex, RecordSet& rs, Record& rec) {
    auto check = [&](bool problem, std::string_view descricao) {
        if (problem) ex.Log("EMPENHO.TXT", "ERRO", descricao, kMenuEmpenho, rec.line());
    };
    // A field that may not be blank.
    auto required = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        check(isBlank(v), descricao);
        rec.add(field, v);
    };
    auto blankOrId = [&](std::string_view field, int width, std::string_view value) {
        rec.add(field, idOrBlanks(ex.ctx, width, value));
    };

    required("ANO_EMPENHO", "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    const std::string empenho = col(rs, "EMPENHO");
    check(isBlank(empenho), "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    blankOrId("EMPENHO", 16, empenho);
    required("PROJATIV", "PROJATIV DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("ELEMENTO", "ELEMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("FONTE", "FONTE DE RECURSOS DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("MICROREGIAO", "MICROREGIÃO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("NATUREZA", "NAUTREZA DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("DT_EMP", "DATA DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("VLR_EMP", "VALOR DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("TIPO_EMP", "TIPO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("CATEG_EMP", "CATEGORIA DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("BASE_LEGAL", "BASE LEGAL DO EMPENHO NÃO PODE FICAR EM BRANCO");

    // The links are checked only when the commitment names them; a flag the query
    // left NULL (a work, contract or agreement missing from its table) is not "0".
    const std::string empObra = col(rs, "EMP_OBRA");
    rec.add("EMP_OBRA", empObra);
    const std::string anoObra = col(rs, "ANO_OBRA");
    check(isBlank(anoObra) && empObra != "0", "ANO DA OBRA DO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("ANO_OBRA", anoObra);
    const std::string numObra = col(rs, "NUM_OBRA");
    check(isBlank(numObra) && empObra != "0", "NÚMERO DA OBRA DO EMPENHO NÃO PODE FICAR EM BRANCO");
    blankOrId("NUM_OBRA", 4, numObra);

    const std::string empContrato = col(rs, "EMP_CONTRATO");
    rec.add("EMP_CONTRATO", empContrato);
    const std::string anoContrato = col(rs, "ANO_CONTRATO");
    check(isBlank(anoContrato) && empContrato != "0", "ANO DO CONTRATO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("ANO_CONTRATO", anoContrato);
    const std::string numContrato = col(rs, "NUM_CONTRATO");
    check(isBlank(numContrato) && empContrato != "0", "NÚMERO DO CONTRATO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("NUM_CONTRATO", numContrato);

    const std::string empConvenio = col(rs, "EMP_CONVENIO");
    rec.add("EMP_CONVENIO", empConvenio);
    const std::string anoConvenio = col(rs, "ANO_CONVENIO");
    check(isBlank(anoConvenio) && empConvenio != "0", "ANO DO CONVÊNIO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("ANO_CONVENIO", anoConvenio);
    const std::string convenio = col(rs, "CONVENIO");
    check(isBlank(convenio) && empConvenio != "0", "NÚMERO DO CONVÊNIO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("CONVENIO", convenio);

    const std::string realLicit = col(rs, "REAL_LICIT");
    rec.add("REAL_LICIT", realLicit);
    const std::string anoLicit = col(rs, "ANO_LICIT");
    check(isBlank(anoLicit) && realLicit != "0",
          "ANO DA LICITAÇÃO REFERENTE AO EMPENHO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("ANO_LICIT", anoLicit);
    const std::string modLic = col(rs, "MOD_LIC");
    check(isBlank(modLic) && realLicit != "0",
          "MODALIDADE DA LICITAÇÃO REFERENTE AO EMPENHO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("MOD_LIC", modLic);
    const std::string licit = col(rs, "LICIT");
    check(isBlank(licit) && realLicit != "0",
          "NÚMERO DA LICITAÇÃO REFERENTE AO EMPENHO EMPENHO NÃO PODE FICAR EM BRANCO");
    blankOrId("LICIT", 16, licit);

    blankOrId("REAL_DISPENSA", 1, col(rs, "REAL_DISPENSA"));
    rec.add("ANO_DISPENSA", col(rs, "ANO_DISPENSA"));
    rec.add("MOD_DISP", col(rs, "MOD_DISP"));
    // A process number that is not a whole number is logged and written as read,
    // rather than stopping the run.
    const std::string procDisp = col(rs, "PROC_DISP");
    std::string proc;
    if (!isBlank(procDisp)) {
        proc = wholeNumber(procDisp);
        if (proc.empty()) {
            check(true, "NÚMERO DO PROCESSO DE DISPENSA DO EMPENHO INVÁLIDO");
            proc = trimText(procDisp);
        }
    }
    rec.add("PROC_DISP", proc);
    rec.add("TIPO_PESS_CREDOR", col(rs, "TIPO_PESS_CREDOR"));
    rec.add("CPF_CNPJ_CREDOR", col(rs, "CPF_CNPJ_CREDOR"));

    rec.add("COD_UNID_GESTORA", col(rs, "COD_UNID_GESTORA"));
    rec.add("ANO_OBRA_UNID", col(rs, "ANO_OBRA_UNID"));
    blankOrId("NUM_OBRA_UNID", 4, col(rs, "NUM_OBRA_UNID"));
    rec.add("COD_UNID_GEST_ANU_CONTRATO", col(rs, "COD_UNID_GEST_ANU_CONTRATO"));
    rec.add("ANO_CONT_ANUE_UNID", col(rs, "ANO_CONT_ANUE_UNID"));
    blankOrId("NUM_CONTR_ANUE_UNID", 16, col(rs, "NUM_CONTR_ANUE_UNID"));
    rec.add("UNID_GEST_CONV", col(rs, "UNID_GEST_CONV"));
    rec.add("ANO_CONV_UNID", col(rs, "ANO_CONV_UNID"));
    blankOrId("CONV_EMP", 16, col(rs, "CONV_EMP"));
    rec.add("COD_UNID_CONV", col(rs, "COD_UNID_CONV"));
    rec.add("ANO_DISP_UNID", col(rs, "ANO_DISP_UNID"));
    rec.add("MOD_DISP_UNID", col(rs, "MOD_DISP_UNID"));
    blankOrId("NUM_DISP_UNID", 16, col(rs, "NUM_DISP_UNID"));
    rec.add("COD_DISP_UNID_LICIT", col(rs, "COD_DISP_UNID_LICIT"));
    rec.add("ANO_LICIT_UNID", col(rs, "ANO_LICIT_UNID"));
    rec.add("MOD_LICIT_UNID", col(rs, "MOD_LICIT_UNID"));
    blankOrId("NUM_LICIT_UNID", 16, col(rs, "NUM_LICIT_UNID"));
}

void itemEmpValues(Exporter& ex, RecordSet& rs, Record& rec) {
    auto required = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        if (isBlank(v)) ex.Log("ITEMEMP.TXT", "ERRO", descricao, kMenuEmpenho, rec.line());
        return v;
    };
    rec.add("ANO_EMPENHO", required("ANO_EMPENHO", "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("EMPENHO", required("EMPENHO", "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("COD_ITEM", col(rs, "COD_ITEM"));
    const std::string descricao = required("DESCRICAO", "DESCRIÇÃO DO ITEM DO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("DESCRICAO", flattenLineBreaks(descricao, 255));
    rec.add("UNIDADE", required("UNIDADE", "UNIDADE DO ITEM DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("QUANTIDADE", required("QUANTIDADE", "QUANTIDADE DO ITEM DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("VALOR_UNIT", required("VALOR_UNIT", "VALOR UNITÁRIO DO ITEM DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("VALOR_TOTAL", required("VALOR_TOTAL", "VALOR TOTAL DO ITEM DO EMPENHO NÃO PODE FICAR EM BRANCO"));
}

void anulaEmpValues(Exporter& ex, RecordSet& rs, Record& rec) {
    auto required = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        if (isBlank(v)) ex.Log("ANULAEMP.TXT", "ERRO", descricao, kMenuEmpenho, rec.line());
        return v;
    };
    rec.add("ANO_EMPENHO", required("ANO_EMPENHO", "ANO DO EMPENHO ANULADO NÃO PODE FICAR EM BRANCO"));
    rec.add("NUM_EMPENHO", required("NUM_EMPENHO", "NÚMERO DO EMPENHO ANULADO NÃO PODE FICAR EM BRANCO"));
    rec.add("NUM_ANULA", col(rs, "NUM_ANULA"));
    rec.add("DT_EMP", required("DT_EMP", "DATA DO EMPENHO ANULADO NÃO PODE FICAR EM BRANCO"));
    const std::string motivo = required("MOTIVO", "MOTIVO DA ANULAÇÃO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("MOTIVO", flattenLineBreaks(motivo, 250));
    // The annulment is reported unsigned: drop the minus sign of the negative amount.
    std::string valor = required("VALOR_ANULA", "VALOR DA ANULAÇÃO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    if (!valor.empty() && valor.front() == '-') valor.erase(0, 1);
    rec.add("VALOR_ANULA", valor);
}

void cancRestValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const std::string numero = col(rs, "NUM_EMPENHO");
    const std::string resolver = std::string(kMenuEmpenho) + " - (EMPENHO Nº " + numero + ") !";
    auto required = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        if (isBlank(v)) ex.Log("CANCREST.TXT", "ERRO", descricao, resolver, rec.line());
        return v;
    };
    rec.add("ANO_EMPENHO", required("ANO_EMPENHO", "ANO DO EMPENHO DE CANCELAMENTO DE RESTOS NÃO PODE FICAR EM BRANCO"));
    rec.add("NUM_EMPENHO",
            required("NUM_EMPENHO", "NÚMERO DO EMPENHO DE CANCELAMENTO DE RESTOS NÃO PODE FICAR EM BRANCO"));
    rec.add("DT_EMP", required("DT_EMP", "DATA DO EMPENHO DE CANCELAMENTO DE RESTOS NÃO PODE FICAR EM BRANCO"));
    const std::string motivo =
        required("MOTIVO", "MOTIVO DO CANCELAMENTO DO EMPENHO DE RESTOS A PAGAR NÃO PODE FICAR EM BRANCO");
    rec.add("MOTIVO", flattenLineBreaks(motivo, 250));
    // Unlike the annulments, the cancellation keeps its sign.
    rec.add("VALOR_ANULA",
            required("VALOR_ANULA", "VALOR DO CANCELAMENTO DE EMPENHO DE RESTOS A PAGAR NÃO PODE FICAR EM BRANCO"));
}

}  // namespace

const Layout kEmpenhoLayout{kEmpenhoFields};
const Layout kItemEmpLayout{kItemEmpFields};
const Layout kAnulaEmpLayout{kAnulaEmpFields};
const Layout kCancRestLayout{kCancRestFields};

// Commitments of the month but the 'EX' type, with their links.
void Empenho(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kEmpenhoLayout, empenhoQuery, empenhoValues});
}

// Every commitment of the month ('EX' included) as one item of its whole amount.
void ItemEmp(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kItemEmpLayout, itemEmpQuery, itemEmpValues});
}

// Negative movements of the month on appropriations of the year.
void AnulaEmp(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kAnulaEmpLayout, anulaEmpQuery, anulaEmpValues});
}

// Negative movements of the month on the carried-over appropriations (PODER '99').
void CancRest(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kCancRestLayout, cancRestQuery, cancRestValues});
}

}  // namespace tcese
