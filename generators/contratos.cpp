#include "generators/contratos.h"

#include <string>

#include "engine/filegenerator.h"
#include "engine/suporte.h"
#include "engine/values.h"

namespace tcese {

namespace {

// After the record type "2". Kind "" marks the fields formatted here, whose kind
// depends on the row.
constexpr FieldSpec kContratosFields[] = {
    {"ANO_CONTRATO", 4, "T"},
    {"N_CONTRATO", 16, "I"},
    {"OBJETIVO", 255, "T"},
    {"VALOR_CONTRATO", 15, "V2"},
    {"DATA_CELEBRA", 8, "D"},
    {"DATA_PUBLIC", 8, "D"},
    {"VEIC_PUBLIC", 120, "T"},
    {"DATA_INICIO", 8, "D"},
    {"DATA_FIM", 8, "D"},
    {"PARECER_JURIDICO", 10, "T"},
    {"DATA_PARECER", 8, "D"},
    {"RESP_PARECER", 50, "T"},
    {"ANO_PROC_LICIT", 4, "T"},
    {"COD_MODALI", 2, "T"},
    {"PROC_LICIT", 16, ""},
    {"ANO_PROC_DISP", 4, "T"},
    {"COD_MOD_DIS", 2, "T"},
    {"PROC_DIS", 16, ""},
    {"NOME_ARQUIVO_CONTRATO", 50, "T"},
    {"TIPO_CONTRATO", 2, "T"},
    {"NOME_ARQUIVO_PARECER", 50, "T"},
    {"DIA_VIGENCIA", 4, ""},
    {"DADO_PUBLI", 1, "I"},
    {"PARECER_MINUTA", 1, "I"},
    {"CONTRATO_FINANCIADO", 1, "I"},
    {"CONTRATO_ORIG_LICITACAO", 1, "I"},
    {"CONTRATO_ORIG_DISPENSA", 1, "I"},
    {"CONTRATO_ORIG_OBRA", 1, "I"},
    {"ANO_OUT_UNIDADE", 4, "T"},
    {"COD_MOD_OUT_UNIDADE", 2, "T"},
    {"PROC_LICIT_OUT_UNIDADE", 16, "T"},
    {"UNID_GESTORA", 6, "T"},
    {"ANO_PROC_INEX_UNIDADE", 4, "T"},
    {"MOD_LIC_INEX_UNIDADE", 2, "T"},
    {"PROC_DISP_UNIDADE", 16, "T"},
    {"UNID_GESTORA_ORIG_DISP", 6, "T"},
};

constexpr FieldSpec kAditContFields[] = {
    {"ANO_CONTRATO", 4, "T"},    {"CONTRATO", 16, "I"},        {"TERMO_ADITIVO", 16, "I"},
    {"TIPO_TERMO", 1, "T"},      {"TIPO_AJUSTE", 2, "T"},      {"OBJETIVO", 255, "T"},
    {"VALOR", 15, "V2"},         {"DATA_CELEBRA", 8, "D"},     {"DATA_PUBL", 8, "D"},
    {"NOME_VEIC", 120, "T"},     {"DATA_INICIO", 8, "D"},      {"DATA_FIM", 8, "D"},
    {"NUMERO_PARECER", 10, "I"}, {"DATA_PARECER", 8, "D"},     {"RESP_PARECER", 50, "T"},
    {"ARQUIVO_ADITIVO", 50, "T"}, {"ARQUIVO_PARECER", 50, "T"}, {"ESPECIFICACAO", 120, "T"},
    {"DIAS_VIGENCIA", 4, "I"},   {"DADO_PUBL", 1, "I"},        {"DADO_PARECER", 1, "I"},
};

constexpr FieldSpec kCancContFields[] = {
    {"ANO_CONTRATO", 4, "T"}, {"CONTRATO", 16, "I"},  {"DT_CANCEL", 8, "D"}, {"MOTIVO", 255, "T"},
    {"DT_PUBL", 8, "D"},      {"VEIC_PUBL", 120, "T"}, {"DADO_PUBL", 1, "I"},
};

constexpr FieldSpec kPartContFields[] = {
    {"ANO_CONTRATO", 4, "T"},
    {"CONTRATO", 16, "T"},
    {"TIPO_PESSOA", 1, "T"},
    {"CPF_CNPJ", 14, "T"},
};

constexpr std::string_view kMenuContratos = "MÓDULO CONTAS - MENU CADASTROS AUXILIARES > 12 - CONTRATOS";

// Month and year of a date column and the contract's entity, as the queries end.
std::string period(const RunContext& ctx, std::string_view date, std::string_view entity) {
    return std::string("EXTRACT(MONTH FROM ") + std::string(date) + ") = '" + ctx.monthCode + "' " +
           "AND EXTRACT(YEAR FROM " + std::string(date) + ") = '" + ctx.fiscalYear + "' " + "AND " +
           std::string(entity) + " = '" + ctx.entityCode + "'";
}

std::string contratosQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM A.DTASSI) AS ANO_CONTRATO, A.CODIGO AS N_CONTRATO, A.OBJETO AS OBJETIVO, "
           "A.VALCON AS VALOR_CONTRATO, A.DTASSI AS DATA_CELEBRA, A.DTPUBL AS DATA_PUBLIC, A.VEICPUB AS "
           "VEIC_PUBLIC, A.VIGENI AS DATA_INICIO, A.VIGENF AS DATA_FIM, CAST(NULL AS VARCHAR(10)) AS "
           "PARECER_JURIDICO, CAST(NULL AS DATE) AS DATA_PARECER, CAST(NULL AS VARCHAR(50)) AS RESP_PARECER, "
           "B.ANO AS ANO_PROC_LICIT, CASE WHEN A.MODALI LIKE '%MAT / SERV - CONVITE%' THEN '16' WHEN A.MODALI "
           "LIKE '%OBRA CONVITE%' THEN '16' WHEN A.MODALI LIKE '%MAT / SERV - TOMADA%' THEN '17' WHEN A.MODALI "
           "LIKE '%OBRA TOMADA%' THEN '17' WHEN A.MODALI LIKE '%MAT / SERV CONCOR%' THEN '18' WHEN A.MODALI LIKE "
           "'%OBRA CONCORRENCIA%' THEN '18' WHEN A.MODALI LIKE '%PREGAO%' THEN '12' WHEN A.MODALI LIKE "
           "'%OUTROS%' THEN '99' ELSE NULL END AS COD_MODALI, A.NPROLI AS PROC_LICIT, CASE WHEN A.FLEGAL LIKE "
           "'%LICITAÇÃO%' THEN EXTRACT(YEAR FROM A.DTASSI) ELSE EXTRACT(YEAR FROM C.DATAE) END AS ANO_PROC_DISP, "
           "CASE WHEN A.FLEGAL LIKE '%DISPENSA%' THEN '08' WHEN A.FLEGAL LIKE '%INEXIGIBILIDADE%' THEN '11' ELSE "
           "NULL END AS COD_MOD_DIS, CASE WHEN A.FLEGAL LIKE '%LICITAÇÃO%' THEN CAST(NULL AS VARCHAR(16)) ELSE "
           "C.PROC END AS PROC_DIS, CAST('CONTR'||A.CODIGO AS VARCHAR(50)) AS NOME_ARQUIVO_CONTRATO, "
           "SUBSTRING(A.TIPOCO FROM 2 FOR 1) AS TIPO_CONTRATO, CAST(NULL AS VARCHAR(50)) AS NOME_ARQUIVO_PARECER, "
           "A.VIGENF - A.VIGENI AS DIA_VIGENCIA, CASE WHEN A.DTPUBL IS NULL THEN '0' ELSE '1' END AS DADO_PUBLI, "
           "CAST('0' AS VARCHAR(1)) AS PARECER_MINUTA, CAST('0' AS VARCHAR(1)) AS CONTRATO_FINANCIADO, CASE WHEN "
           "A.FLEGAL LIKE 'LICITAÇÃO' THEN '1' ELSE '0' END AS CONTRATO_ORIG_LICITACAO, CASE WHEN A.FLEGAL LIKE "
           "'LICITAÇÃO' THEN '0' ELSE '1' END AS CONTRATO_ORIG_DISPENSA, CASE WHEN A.NUMOBRA IS NULL THEN '0' ELSE "
           "'1' END AS CONTRATO_ORIG_OBRA, CAST(NULL AS VARCHAR(4)) AS ANO_OUT_UNIDADE, CAST(NULL AS VARCHAR(2)) "
           "AS COD_MOD_OUT_UNIDADE, CAST(NULL AS VARCHAR(16)) AS PROC_LICIT_OUT_UNIDADE, CAST(NULL AS VARCHAR(6)) "
           "AS UNID_GESTORA, CAST(NULL AS VARCHAR(4)) AS ANO_PROC_INEX_UNIDADE, CAST(NULL AS VARCHAR(2)) AS "
           "MOD_LIC_INEX_UNIDADE, CAST(NULL AS VARCHAR(16)) AS PROC_DISP_UNIDADE, CAST(NULL AS VARCHAR(6)) AS "
           "UNID_GESTORA_ORIG_DISP, A.EMPRESA FROM CONTRATOS A LEFT JOIN CADLIC B ON B.NUMLIC = A.NPROLI LEFT "
           "JOIN DESPES C ON C.CONTRATO = A.CODIGO WHERE " +
           period(ctx, "A.DTASSI", "A.EMPRESA") + " ";
}

std::string aditContQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM B.DTASSI) AS ANO_CONTRATO, A.CONTRATO AS CONTRATO, A.TERMO AS "
           "TERMO_ADITIVO, CAST('1' AS VARCHAR(1)) AS TIPO_TERMO, CAST('03' AS VARCHAR(2)) AS TIPO_AJUSTE, "
           "A.DESCRICAO AS OBJETIVO, A.VALOR AS VALOR, A.DTLAN AS DATA_CELEBRA, A.DTLAN AS DATA_PUBL, CAST(NULL "
           "AS VARCHAR(120)) AS NOME_VEIC, A.DTLAN AS DATA_INICIO, A.DATAENCERRAMENTO AS DATA_FIM, CAST(NULL AS "
           "VARCHAR(10)) AS NUMERO_PARECER, CAST(NULL AS VARCHAR(8)) AS DATA_PARECER, CAST(NULL AS VARCHAR(50)) "
           "AS RESP_PARECER, CAST('ADCONT'||A.CONTRATO||'-'||A.TERMO AS VARCHAR(50)) AS ARQUIVO_ADITIVO, "
           "CAST(NULL AS VARCHAR(50)) AS ARQUIVO_PARECER, A.DESCRICAO AS ESPECIFICACAO, A.DATAENCERRAMENTO - "
           "A.DTLAN AS DIAS_VIGENCIA, CAST('1' AS VARCHAR(1)) AS DADO_PUBL, CAST('0' AS VARCHAR(1)) AS "
           "DADO_PARECER FROM CONTRATOSADITAMENTO A INNER JOIN CONTRATOS B ON B.CODIGO = A.CONTRATO WHERE " +
           period(ctx, "A.DTLAN", "B.EMPRESA") + " ";
}

std::string cancContQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM A.DTASSI) AS ANO_CONTRATO, A.CODIGO AS CONTRATO, A.DTANULA AS DT_CANCEL, "
           "A.MOTIANU AS MOTIVO, A.DTPUBANU AS DT_PUBL, A.VEICANU AS VEIC_PUBL, CASE WHEN A.VEICANU IS NULL THEN "
           "'0' ELSE '1' END AS DADO_PUBL FROM CONTRATOS A WHERE A.DTANULA IS NOT NULL AND " +
           period(ctx, "A.DTANULA", "A.EMPRESA");
}

std::string partContQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM A.DTASSI) AS ANO_CONTRATO, A.CODIGO AS CONTRATO, CASE WHEN B.CODTIP = '01' "
           "THEN '2' WHEN B.CODTIP = '02' THEN '1' ELSE '2' END AS TIPO_PESSOA, B.INSMF AS CPF_CNPJ FROM "
           "CONTRATOS A INNER JOIN DESFOR B ON B.CODIF = A.CODIF WHERE " +
           period(ctx, "A.DTASSI", "A.EMPRESA");
}

bool isOne(std::string_view v) { return trimText(v) == "1"; }

// Logs `descricao` for the current record of `file` when `problem` holds.
struct Checker {
    Exporter& ex;
    std::string_view file;
    long line;
    void operator()(bool problem, std::string_view descricao) const {
        if (problem) ex.Log(file, "ERRO", descricao, kMenuContratos, line);
    }
};

void contratosValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const Checker check{ex, "CONTRATO.TXT", rec.line()};
    const std::string tipo = col(rs, "TIPO_CONTRATO");
    const bool publicado = isOne(col(rs, "DADO_PUBLI"));
    const bool licitacao = isOne(col(rs, "CONTRATO_ORIG_LICITACAO"));
    const bool dispensa = isOne(col(rs, "CONTRATO_ORIG_DISPENSA"));
    // A field that may not be blank where `applies`.
    auto checked = [&](std::string_view field, std::string_view descricao, bool applies = true) {
        const std::string v = col(rs, field);
        check(applies && isBlank(v), descricao);
        rec.add(field, v);
    };
    // A process number the court requires reads as zeros when missing, not blanks.
    auto processo = [&](std::string_view field, std::string_view descricao, bool applies) {
        const std::string v = col(rs, field);
        const bool missing = applies && isBlank(v);
        check(missing, descricao);
        rec.add(field, missing ? ex.Ret(16, "", "S", "I") : ex.Ret(16, v, "S", "T"));
    };

    checked("ANO_CONTRATO", "ANO DO CONTRATO NÃO PODE FICAR EM BRANCO");
    rec.add("N_CONTRATO", col(rs, "N_CONTRATO"));
    checked("OBJETIVO", "OBJETIVO NÃO PODE FICAR EM BRANCO");
    checked("VALOR_CONTRATO", "VALOR DO CONTRATO NÃO PODE FICAR EM BRANCO",
            trimText(tipo) == "1" || trimText(tipo) == "2");
    checked("DATA_CELEBRA", "DATA DE CELEBRAÇÃO NÃO PODE FICAR EM BRANCO");
    checked("DATA_PUBLIC", "DATA DE PUBLICAÇÃO NÃO PODE FICAR EM BRANCO", publicado);
    checked("VEIC_PUBLIC", "VEÍCULO PUBLICAÇÃO NÃO PODE FICAR EM BRANCO", publicado);
    rec.add("DATA_INICIO", col(rs, "DATA_INICIO"));
    rec.add("DATA_FIM", col(rs, "DATA_FIM"));
    rec.add("PARECER_JURIDICO", col(rs, "PARECER_JURIDICO"));
    rec.add("DATA_PARECER", col(rs, "DATA_PARECER"));
    rec.add("RESP_PARECER", col(rs, "RESP_PARECER"));
    checked("ANO_PROC_LICIT", "ANO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO", licitacao);
    checked("COD_MODALI", "MODALIDADE DA LICITAÇÃO NÃO PODE FICAR EM BRANCO", licitacao);
    processo("PROC_LICIT", "NÚMERO DO PROCESSO LICITATÓRIO NÃO PODE FICAR EM BRANCO", licitacao);
    checked("ANO_PROC_DISP", "ANO DO PROCESSO DE DISPENSA/INEXIGILIDADE NÃO PODE FICAR EM BRANCO", dispensa);
    checked("COD_MOD_DIS", "MODALIDADE DE DISPENSA/INEXIGILIDADE NÃO PODE FICAR EM BRANCO", dispensa);
    processo("PROC_DIS", "NÚMERO DO PROCESSO DE DISPENSA/INEXIGILIDADE NÃO PODE FICAR EM BRANCO", dispensa);
    const std::string documento = documentName(col(rs, "NOME_ARQUIVO_CONTRATO"));
    rec.add("NOME_ARQUIVO_CONTRATO", documento);
    checked("TIPO_CONTRATO", "TIPO DO CONTRATO NÃO PODE FICAR EM BRANCO");
    rec.add("NOME_ARQUIVO_PARECER", col(rs, "NOME_ARQUIVO_PARECER"));
    // The validity in days matters to the court only for a contract of a work.
    const std::string obra = col(rs, "CONTRATO_ORIG_OBRA");
    rec.add("DIA_VIGENCIA", isOne(obra) ? ex.Ret(4, col(rs, "DIA_VIGENCIA"), "S", "I") : ex.Ret(4, "", "S", "T"));
    rec.add("DADO_PUBLI", col(rs, "DADO_PUBLI"));
    rec.add("PARECER_MINUTA", col(rs, "PARECER_MINUTA"));
    rec.add("CONTRATO_FINANCIADO", col(rs, "CONTRATO_FINANCIADO"));
    rec.add("CONTRATO_ORIG_LICITACAO", col(rs, "CONTRATO_ORIG_LICITACAO"));
    rec.add("CONTRATO_ORIG_DISPENSA", col(rs, "CONTRATO_ORIG_DISPENSA"));
    rec.add("CONTRATO_ORIG_OBRA", obra);
    rec.add("ANO_OUT_UNIDADE", col(rs, "ANO_OUT_UNIDADE"));
    rec.add("COD_MOD_OUT_UNIDADE", col(rs, "COD_MOD_OUT_UNIDADE"));
    rec.add("PROC_LICIT_OUT_UNIDADE", col(rs, "PROC_LICIT_OUT_UNIDADE"));
    rec.add("UNID_GESTORA", "");
    rec.add("ANO_PROC_INEX_UNIDADE", col(rs, "ANO_PROC_INEX_UNIDADE"));
    rec.add("MOD_LIC_INEX_UNIDADE", col(rs, "MOD_LIC_INEX_UNIDADE"));
    rec.add("PROC_DISP_UNIDADE", col(rs, "PROC_DISP_UNIDADE"));
    rec.add("UNID_GESTORA_ORIG_DISP", "");

    documentFileCheck(ex, "CONTRATO.TXT", documento, rec.line());
}

void aditContValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const Checker check{ex, "ADITCONT.TXT", rec.line()};
    const bool publicado = isOne(col(rs, "DADO_PUBL"));
    auto checked = [&](std::string_view field, std::string_view descricao, bool applies = true) {
        const std::string v = col(rs, field);
        check(applies && isBlank(v), descricao);
        rec.add(field, v);
    };
    checked("ANO_CONTRATO", "ANO DO CONTRATO NÃO PODE FICAR EM BRANCO");
    checked("CONTRATO", "NÚMERO DO CONTRATO NÃO PODE FICAR EM BRANCO");
    checked("TERMO_ADITIVO", "NÚMERO TERMO ADITIVO NÃO PODE FICAR EM BRANCO");
    rec.add("TIPO_TERMO", col(rs, "TIPO_TERMO"));
    rec.add("TIPO_AJUSTE", col(rs, "TIPO_AJUSTE"));
    checked("OBJETIVO", "OBJETIVO DO TERMO ADITIVO NÃO PODE FICAR EM BRANCO");
    checked("VALOR", "VALOR DO TERMO ADITIVO NÃO PODE FICAR EM BRANCO");
    checked("DATA_CELEBRA", "DATA DE CELEBRAÇÃO DO TERMO ADITIVO NÃO PODE FICAR EM BRANCO");
    checked("DATA_PUBL", "DATA DE PUBLICAÇÃO NÃO PODE FICAR EM BRANCO", publicado);
    // The query names no medium, so every amendment gets this entry.
    checked("NOME_VEIC", "VEÍCULO DE PUBLICAÇÃO NÃO PODE FICAR EM BRANCO", publicado);
    rec.add("DATA_INICIO", col(rs, "DATA_INICIO"));
    rec.add("DATA_FIM", col(rs, "DATA_FIM"));
    rec.add("NUMERO_PARECER", col(rs, "NUMERO_PARECER"));
    rec.add("DATA_PARECER", col(rs, "DATA_PARECER"));
    rec.add("RESP_PARECER", col(rs, "RESP_PARECER"));
    const std::string documento = documentName(col(rs, "ARQUIVO_ADITIVO"));
    rec.add("ARQUIVO_ADITIVO", documento);
    rec.add("ARQUIVO_PARECER", col(rs, "ARQUIVO_PARECER"));
    rec.add("ESPECIFICACAO", col(rs, "ESPECIFICACAO"));
    rec.add("DIAS_VIGENCIA", col(rs, "DIAS_VIGENCIA"));
    rec.add("DADO_PUBL", col(rs, "DADO_PUBL"));
    rec.add("DADO_PARECER", col(rs, "DADO_PARECER"));

    documentFileCheck(ex, "ADITCONT.TXT", documento, rec.line());
}

void cancContValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const Checker check{ex, "CANCCONT.TXT", rec.line()};
    const bool publicado = isOne(col(rs, "DADO_PUBL"));
    auto required = [&](std::string_view field, std::string_view descricao, bool applies = true) {
        const std::string v = col(rs, field);
        check(applies && isBlank(v), descricao);
        rec.add(field, v);
    };
    required("ANO_CONTRATO", "ANO DO CONTRATO NÃO PODE FICAR EM BRANCO");
    required("CONTRATO", "NÚMERO DO CONTRATO NÃO PODE FICAR EM BRANCO");
    required("DT_CANCEL", "DATA DE CANCELAMENTO DO CONTRATO NÃO PODE FICAR EM BRANCO");
    required("MOTIVO", "MOTIVO DO CANCELAMENTO DO CONTRATO NÃO PODE FICAR EM BRANCO");
    required("DT_PUBL", "DATA DE PUBLICAÇÃO NÃO PODE FICAR EM BRANCO", publicado);
    required("VEIC_PUBL", "VEÍCULO DE PUBLICAÇÃO NÃO PODE FICAR EM BRANCO", publicado);
    rec.add("DADO_PUBL", col(rs, "DADO_PUBL"));
}

void partContValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const Checker check{ex, "PARTCONT.TXT", rec.line()};
    const std::string ano = col(rs, "ANO_CONTRATO");
    check(isBlank(ano), "ANO DO CONTRATO NÃO PODE FICAR EM BRANCO");
    rec.add("ANO_CONTRATO", ano);
    const std::string contrato = col(rs, "CONTRATO");
    check(isBlank(contrato), "NUMERO DO CONTRATO NÃO PODE FICAR EM BRANCO");
    rec.add("CONTRATO", contrato);
    rec.add("TIPO_PESSOA", col(rs, "TIPO_PESSOA"));
    rec.add("CPF_CNPJ", col(rs, "CPF_CNPJ"));
}

}  // namespace

const Layout kContratosLayout{kContratosFields};
const Layout kAditContLayout{kAditContFields};
const Layout kCancContLayout{kCancContFields};
const Layout kPartContLayout{kPartContFields};

// Contracts signed in the month, once per commitment that names them.
void Contratos(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kContratosLayout, contratosQuery, contratosValues});
}

// Amendments registered in the month on the entity's contracts.
void AditCont(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kAditContLayout, aditContQuery, aditContValues});
}

// Contracts cancelled in the month; the only one of the four whose query runs
// before the file exists.
void CancCont(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kCancContLayout, cancContQuery, cancContValues,
                                       FileGenerator::Order::QueryFirst});
}

// The contractor of each contract signed in the month.
void PartCont(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kPartContLayout, partContQuery, partContValues});
}

}  // namespace tcese
