#include "generators/obras.h"

#include <string>

#include "engine/filegenerator.h"
#include "engine/suporte.h"
#include "engine/values.h"

namespace tcese {

namespace {

// After the record type "2". Kind "" marks the fields formatted here, whose kind
// depends on the row.
constexpr FieldSpec kObraServFields[] = {
    {"ANO_OBRA", 4, "T"},
    {"NUMERO_OBRA", 4, "I"},
    {"DESCRICAO_OBRA", 255, "T"},
    {"REG_EXEC", 2, "T"},
    {"ANO_LICIT", 4, "T"},
    {"MOD_LIC", 2, "T"},
    {"NUMLIC", 16, ""},
    {"ANO_PROC_DISP", 4, "T"},
    {"MOD_DISP", 2, "T"},
    {"NUM_PROC_DISP", 16, "T"},
    {"TIPO_OBRA", 2, "I"},
    {"NATUREZA", 2, "I"},
    {"CONST_01", 2, "I"},
    {"VALOR", 15, "V2"},
    {"PRAZO", 4, "I"},
    {"CONST_1", 1, "I"},
    {"TIPO_EXEC", 1, "T"},
    {"DOC_EXEC", 14, "T"},
    {"CONTRATO_OBRA", 1, "T"},
    {"OBRA_LICIT", 1, "T"},
    {"OBRA_DISP", 1, "T"},
    {"OBRA_CONV", 1, "T"},
    {"REL_IMPACTO", 1, "T"},
    {"ARQ_IMPACTO", 50, "T"},
    {"ARQ_OBRA", 50, "T"},
    {"ARQ_CRONOGRAMA", 50, "T"},
    {"ARQ_ORCAMENTO", 50, "T"},
    {"ARQ_PLANILHA", 50, "T"},
    {"ANO_PROC_UNID", 4, "T"},
    {"MOD_UNID", 2, "T"},
    {"NUM_LIC_UNID", 16, "T"},
    {"UNID_GEST_LICIT", 6, "T"},
    {"PROC_DISP_UNID", 4, "T"},
    {"MOD_DISP_UNID", 2, "T"},
    {"PROC_DISP_UNID", 16, ""},
    {"UNID_GEST_DISP", 6, "T"},
};

constexpr FieldSpec kLocObraFields[] = {
    {"ANO_OBRA", 4, "T"},
    {"NUM_OBRA", 4, "T"},
    {"LOCAL_OBRA", 255, "T"},
    {"COD_CIDADE", 5, "T"},
};

constexpr FieldSpec kRespObraFields[] = {
    {"CREA", 12, "T"},        {"UF_CREA", 2, "T"}, {"COD_QUALI", 2, "T"},   {"VISTO_CREA", 12, "T"},
    {"TIPO_PESSOA", 1, "T"},  {"CPF", 14, "T"},    {"CARGO_UNID", 80, "T"}, {"ESPECIFICA", 120, "T"},
};

constexpr FieldSpec kObraConvFields[] = {
    {"ANO_OBRA", 4, "T"},
    {"NUMERO_OBRA", 4, "I"},
    {"ANO_CONVENIO", 4, "T"},
    {"NUMERO_CONVENIO", 16, "I"},
};

constexpr FieldSpec kObraOCnvFields[] = {
    {"ANO_OBRA", 4, "T"},          {"NUMERO_OBRA", 4, "I"},  {"ANO_CONVENIO", 4, "T"},
    {"NUMERO_CONVENIO", 16, "I"}, {"OUTRA_UNID", 16, "T"},
};

constexpr FieldSpec kObraContFields[] = {
    {"ANO_OBRA", 4, "T"},
    {"NUMERO_OBRA", 4, "I"},
    {"ANO_CONTRATO", 4, "T"},
    {"NUMERO_CONTRATO", 16, "I"},
};

constexpr FieldSpec kObraOCntFields[] = {
    {"ANO_OBRA", 4, "T"},          {"NUMERO_OBRA", 4, "I"},  {"ANO_CONTRATO", 4, "T"},
    {"NUMERO_CONTRATO", 16, "I"}, {"OUTRA_UNID", 30, "T"},
};

constexpr std::string_view kMenuObras = "MÓDULO CONTAS - CADASTROS AUXILIARES > 17 - CADASTRO DE OBRAS";

// Month and year of a date column, as every query of these files ends.
std::string period(const RunContext& ctx, std::string_view date) {
    return "EXTRACT(MONTH FROM " + std::string(date) + ") = '" + ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM " +
           std::string(date) + ") = '" + ctx.fiscalYear + "' ";
}

// The joins both queries of ObraServ share.
constexpr std::string_view kObraServFrom =
    "FROM CADOBRA A LEFT JOIN CADLIC B ON B.NUMLIC = A.NUMLIC LEFT JOIN DESPES C ON C.CODOBRA = A.NUMERO LEFT "
    "JOIN CONTRATOS D ON D.NUMOBRA = A.NUMERO LEFT JOIN DESDIS E ON E.FICHA = C.FICHA LEFT JOIN CADCONV F ON "
    "F.NUMOBRA = A.NUMERO WHERE ";

std::string obraServQuery(const RunContext& ctx) {
    return std::string(
    "SELECT DISTINCT A.ANO AS ANO_OBRA, A.NUMERO AS NUMERO_OBRA, A.DESCRICAO AS DESCRICAO_OBRA, "
    "SUBSTRING(A.REG_EXEC FROM 1 FOR 2) AS REG_EXEC, B.ANO AS ANO_LICIT, CASE WHEN B.MODLIC = 'PP01' OR "
    "(B.MODLIC = 'PE01') THEN '12' WHEN B.MODLIC = 'CCO2' THEN '01' WHEN B.MODLIC = 'CCO5' THEN '02' WHEN "
    "B.MODLIC = 'TOM3' THEN '03' WHEN B.MODLIC = 'TOM6' THEN '04' WHEN B.MODLIC = 'CON4' THEN '05' WHEN "
    "B.MODLIC = 'CON7' THEN '06' ELSE NULL END AS MOD_LIC, A.NUMLIC, CASE WHEN C.LICIT <> 'DISPENSA' AND "
    "C.LICIT <> 'DISPENSA ART. 24' AND C.LICIT <> 'INEXIGIB. ART. 25' THEN NULL ELSE "
    "'20'||substring(c.numlicmod from 6 for 2) END ANO_PROC_DISP, CASE WHEN C.LICIT = 'DISPENSA' OR (C.LICIT "
    "= 'DISPENSA ART. 24') THEN '08' WHEN C.LICIT = 'INEXIGIB. ART. 25' THEN '09' ELSE NULL END AS MOD_DISP, "
    "CASE WHEN C.LICIT <> 'DISPENSA' AND C.LICIT <> 'DISPENSA ART. 24' AND C.LICIT <> 'INEXIGIB. ART. 25' "
    "THEN NULL ELSE SUBSTRING(C.NUMLICMOD FROM 1 FOR 4) END NUM_PROC_DISP, CASE WHEN SUBSTRING(A.CATEGORIA "
    "FROM 1 FOR 1) = '1' THEN '05' WHEN SUBSTRING(A.CATEGORIA FROM 1 FOR 1) = '2' THEN '02' WHEN "
    "SUBSTRING(A.CATEGORIA FROM 1 FOR 1) = '3' THEN '05' WHEN SUBSTRING(A.CATEGORIA FROM 1 FOR 1) = '4' THEN "
    "'05' WHEN SUBSTRING(A.CATEGORIA FROM 1 FOR 1) = '5' THEN '01' WHEN SUBSTRING(A.CATEGORIA FROM 1 FOR 1) = "
    "'6' THEN '03' WHEN SUBSTRING(A.CATEGORIA FROM 1 FOR 1) = '7' THEN '04' END AS TIPO_OBRA, CASE WHEN "
    "SUBSTRING(A.TIPO FROM 1 FOR 2) = '01' THEN '04' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '02' THEN '11' "
    "WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '03' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '04' THEN "
    "'03' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '05' THEN '03' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '06' "
    "THEN '07' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '07' THEN '03' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = "
    "'08' THEN '01' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '09' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) "
    "= '10' THEN '03' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '11' THEN '03' WHEN SUBSTRING(A.TIPO FROM 1 FOR "
    "2) = '12' THEN '03' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '13' THEN '08' WHEN SUBSTRING(A.TIPO FROM 1 "
    "FOR 2) = '14' THEN '10' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '15' THEN '10' WHEN SUBSTRING(A.TIPO FROM "
    "1 FOR 2) = '16' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '17' THEN '99' WHEN SUBSTRING(A.TIPO "
    "FROM 1 FOR 2) = '18' THEN '08' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '19' THEN '03' WHEN "
    "SUBSTRING(A.TIPO FROM 1 FOR 2) = '20' THEN '09' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '21' THEN '03' "
    "WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '22' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '24' THEN "
    "'99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '25' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '26' "
    "THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '27' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = "
    "'28' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '29' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) "
    "= '30' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '31' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR "
    "2) = '32' THEN '99' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '33' THEN '02' WHEN SUBSTRING(A.TIPO FROM 1 "
    "FOR 2) = '34' THEN '03' WHEN SUBSTRING(A.TIPO FROM 1 FOR 2) = '35' THEN '06' WHEN SUBSTRING(A.TIPO FROM "
    "1 FOR 2) = '36' THEN '09' END NATUREZA, A.VALOR, A.PRAZO AS PRAZO, CASE WHEN A.REG_EXEC = '01' THEN NULL "
    "ELSE SUBSTRING(A.TIPO_EXEC FROM 1 FOR 2) END AS TIPO_EXEC, CASE WHEN A.REG_EXEC = '01' THEN NULL ELSE "
    "A.DOC_EXEC END AS DOC_EXEC, CASE WHEN SUBSTRING(A.REG_EXEC FROM 1 FOR 2) = '01' THEN '0' WHEN D.NUMOBRA "
    "IS NULL THEN '0' WHEN D.EMPRESA = A.EMPRESA THEN '1' WHEN D.EMPRESA <> A.EMPRESA THEN '2' END "
    "CONTRATO_OBRA, CASE WHEN SUBSTRING(A.REG_EXEC FROM 1 FOR 2) = '01' THEN '0' WHEN SUBSTRING(A.NUMLIC FROM "
    "1 FOR 1) <> '' THEN '1' ELSE '0' END OBRA_LICIT ") +
           std::string(kObraServFrom) + period(ctx, "A.DATA") + entityFilter(ctx, "A") + " ";
}

// The waiver and agreement links and the document names of one work.
// One parameter: the work's number.
std::string obraServWorkQuery(const RunContext& ctx) {
    return std::string(
    "SELECT DISTINCT CASE WHEN SUBSTRING(A.REG_EXEC FROM 1 FOR 2) = '01' THEN '0' WHEN (C.MODALIDADE = "
    "'DISPENSA' OR (C.MODALIDADE = 'INEXIGIB ART. 25') OR (C.MODALIDADE = 'DISPENSA ART. 24')) AND A.EMPRESA "
    "= E.EMPRESA THEN '1' WHEN (C.MODALIDADE = 'DISPENSA' OR (C.MODALIDADE = 'INEXIGIB ART. 25') OR "
    "(C.MODALIDADE = 'DISPENSA ART. 24')) AND A.EMPRESA <> E.EMPRESA THEN '2' ELSE '0' END OBRA_DISP, CASE "
    "WHEN F.NUMOBRA IS NULL THEN '0' WHEN F.NUMOBRA IS NOT NULL AND F.EMPRESA = A.EMPRESA THEN '1' WHEN "
    "F.NUMOBRA IS NOT NULL AND F.EMPRESA <> A.EMPRESA THEN '2' END OBRA_CONV, CAST('0' AS VARCHAR(1)) AS "
    "REL_IMPACTO, CAST(NULL AS VARCHAR(50)) AS ARQ_IMPACTO, CAST('OBRA'||A.NUMERO||A.ANO AS VARCHAR(50)) AS "
    "ARQ_OBRA, CAST('OBRACRON'||A.NUMERO||A.ANO AS VARCHAR(50)) AS ARQ_CRONOGRAMA, "
    "CAST('OBRAORC'||A.NUMERO||A.ANO AS VARCHAR(50)) AS ARQ_ORCAMENTO, CAST('OBRAPLAN'||A.NUMERO||A.ANO AS "
    "VARCHAR(50)) AS ARQ_PLANILHA, CAST(NULL AS VARCHAR(04)) AS ANO_PROC_UNID, CAST(NULL AS VARCHAR(02)) AS "
    "MOD_UNID, CAST(NULL AS VARCHAR(16)) AS NUM_LIC_UNID, CAST(NULL AS VARCHAR(06)) AS UNID_GEST_LICIT, "
    "CAST(NULL AS VARCHAR(04)) AS PROC_DISP_UNID, CAST(NULL AS VARCHAR(02)) AS MOD_DISP_UNID, CAST(NULL AS "
    "VARCHAR(16)) AS PROC_DISP_UNID, CAST(NULL AS VARCHAR(06)) AS UNID_GEST_DISP ") +
           std::string(kObraServFrom) + period(ctx, "A.DATA") + "AND A.NUMERO = ? " + entityFilter(ctx, "A") + " ";
}

std::string locObraQuery(const RunContext& ctx) {
    return "SELECT A.ANO AS ANO_OBRA, A.NUMERO AS NUM_OBRA, A.LOCALIZACAO AS LOCAL_OBRA, '00001' AS COD_CIDADE "
           "FROM CADOBRA A WHERE " +
           period(ctx, "A.DATA") + entityFilter(ctx, "A") + " ";
}

std::string respObraQuery(const RunContext& ctx) {
    return "SELECT A.CREA, A.UF_CREA, SUBSTRING(A.QUALIFICA FROM 1 FOR 2) AS COD_QUALI, CAST(NULL AS VARCHAR(12)) "
           "AS VISTO_CREA, CAST('1' AS VARCHAR(1)) AS TIPO_PESSOA, A.CPF, SUBSTRING(A.QUALIFICA FROM 6 FOR 40) AS "
           "CARGO_UNID, CAST(NULL AS VARCHAR(20)) AS ESPECIFICA FROM CADFISCAL A INNER JOIN CADOBRAFISCAL B ON "
           "B.NUMFISCAL = A.CODIGO INNER JOIN CADOBRA C ON C.NUMERO = B.NUMOBRA WHERE " +
           period(ctx, "C.DATA") + "AND C.EMPRESA = '" + ctx.entityCode + "' ";
}

std::string obraConvQuery(const RunContext& ctx) {
    return "SELECT B.ANO AS ANO_OBRA, A.NUMOBRA AS NUMERO_OBRA, EXTRACT(YEAR FROM A.DATA) AS ANO_CONVENIO, "
           "A.NUMCONV AS NUMERO_CONVENIO FROM CADCONV A INNER JOIN CADOBRA B ON B.NUMERO = A.NUMOBRA       AND "
           "B.EMPRESA = A.EMPRESA WHERE " +
           period(ctx, "A.DATA") + entityFilter(ctx, "A") + " ";
}

std::string obraOCnvQuery(const RunContext& ctx) {
    return "SELECT B.ANO AS ANO_OBRA, A.NUMOBRA AS NUMERO_OBRA, EXTRACT(YEAR FROM A.DATA) AS ANO_CONVENIO, "
           "A.NUMCONV AS NUMERO_CONVENIO, C.CODAUDESP AS OUTRA_UNID FROM CADCONV A INNER JOIN CADOBRA B ON "
           "B.NUMERO = A.NUMOBRA       AND B.EMPRESA <> A.EMPRESA INNER JOIN TABEMPRESA C ON C.EMPRESA = "
           "B.EMPRESA WHERE " +
           period(ctx, "A.DATA") + entityFilter(ctx, "A") + " ";
}

std::string obraContQuery(const RunContext& ctx) {
    return "SELECT B.ANO AS ANO_OBRA, A.NUMOBRA AS NUMERO_OBRA, EXTRACT(YEAR FROM A.DTASSI) AS ANO_CONTRATO, "
           "A.CODIGO AS NUMERO_CONTRATO FROM CONTRATOS A INNER JOIN CADOBRA B ON B.NUMERO = A.NUMOBRA       AND "
           "B.EMPRESA = A.EMPRESA WHERE " +
           period(ctx, "A.DTASSI") + entityFilter(ctx, "A");
}

std::string obraOCntQuery(const RunContext& ctx) {
    return "SELECT B.ANO AS ANO_OBRA, A.NUMOBRA AS NUMERO_OBRA, EXTRACT(YEAR FROM A.DTASSI) AS ANO_CONTRATO, "
           "A.CODIGO AS NUMERO_CONTRATO, C.CODAUDESP AS OUTRA_UNID FROM CONTRATOS A INNER JOIN CADOBRA B ON "
           "B.NUMERO = A.NUMOBRA       AND B.EMPRESA <> A.EMPRESA INNER JOIN TABEMPRESA C ON C.EMPRESA = "
           "B.EMPRESA WHERE " +
           period(ctx, "A.DTASSI") + entityFilter(ctx, "A");
}

// Adds fields of the current row, logging "ERRO" for the current record of `file`
// when a required one is blank.
struct Fields {
    Exporter& ex;
    RecordSet& rs;
    Record& rec;
    std::string_view file;

    void problem(std::string_view descricao) const { ex.Log(file, "ERRO", descricao, kMenuObras, rec.line()); }
    // The field as read; `descricao` is logged when it is blank and `required`.
    std::string required(std::string_view field, std::string_view descricao, bool applies = true) const {
        std::string v = col(rs, field);
        if (applies && isBlank(v)) problem(descricao);
        return v;
    }
    void add(std::string_view field, std::string_view descricao, bool applies = true) const {
        rec.add(field, required(field, descricao, applies));
    }
};

void obraServValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const Fields f{ex, rs, rec, "OBRASERV.TXT"};

    // Waiver and agreement links of the work, from its first row.
    RecordSet& aux = ex.dm.CdsAux;
    aux.close();
    try {
        ex.dm.Conexao.open(aux, obraServWorkQuery(ex.ctx), {col(rs, "NUMERO_OBRA")});
    } catch (const std::exception& e) {
        throw GenerationError("Erro ao gerar o arquivo " + ex.ctx.currentFileName + ", linha " +
                              std::to_string(rec.line()) + ": " + e.what());
    }
    const std::string regExec = col(rs, "REG_EXEC");
    const bool semExecutor = regExec == "01";
    const bool licitacao = col(rs, "OBRA_LICIT") != "0";
    const std::string obraDisp = col(aux, "OBRA_DISP");
    const bool dispensa = obraDisp != "0";

    f.add("ANO_OBRA", "ANO DA OBRA NÃO PODE FICAR EM BRANCO");
    f.add("NUMERO_OBRA", "NÚMERO DA OBRA NÃO PODE FICAR EM BRANCO");
    f.add("DESCRICAO_OBRA", "DESCRIÇÃO DA OBRA NÃO PODE FICAR EM BRANCO");
    f.add("REG_EXEC", "REGIME DE EXECUÇÃO DA OBRA NÃO PODE FICAR EM BRANCO");
    // Bidding and waiver fields are blanks for a work without them.
    auto linked = [&](std::string_view field, std::string_view descricao, bool applies) {
        const std::string v = f.required(field, descricao, applies);
        rec.add(field, applies ? v : "");
    };
    linked("ANO_LICIT", "ANO DA LICITAÇÃO DA OBRA NÃO PODE FICAR EM BRANCO", licitacao);
    linked("MOD_LIC", "MODALIDADE DA LICITAÇÃO DA OBRA NÃO PODE FICAR EM BRANCO", licitacao);
    const std::string numlic =
        f.required("NUMLIC", "NÚMERO DA LICITAÇÃO DA OBRA NÃO PODE FICAR EM BRANCO", licitacao);
    rec.add("NUMLIC", licitacao ? ex.Ret(16, numlic, "S", "I") : ex.Ret(16, "", "S", "T"));
    linked("ANO_PROC_DISP", "ANO DO PROCESSO DE DISPENSA/INEXIG. DA OBRA NÃO PODE FICAR EM BRANCO", dispensa);
    linked("MOD_DISP", "MODALIDADE DA DISPENSA/INEXIG. DA OBRA NÃO PODE FICAR EM BRANCO", dispensa);
    linked("NUM_PROC_DISP", "NÚMERO DO PROCESSO DE DISPENSA/INEXIG. DA OBRA NÃO PODE FICAR EM BRANCO", dispensa);
    f.add("TIPO_OBRA", "TIPO DA OBRA NÃO PODE FICAR EM BRANCO");
    f.add("NATUREZA", "NATUREZA DA OBRA NÃO PODE FICAR EM BRANCO");
    rec.add("CONST_01", "01");
    f.add("VALOR", "VALOR NÃO PODE FICAR EM BRANCO");
    f.add("PRAZO", "PRAZO DA OBRA NÃO PODE FICAR EM BRANCO");
    rec.add("CONST_1", "1");
    f.add("TIPO_EXEC", "TIPO DO EXECUTOR DA OBRA NÃO PODE FICAR EM BRANCO", !semExecutor);
    f.add("DOC_EXEC", "CPF/CNPJ DO EXECUTOR DA OBRA NÃO PODE FICAR EM BRANCO", !semExecutor);
    rec.add("CONTRATO_OBRA", col(rs, "CONTRATO_OBRA"));
    rec.add("OBRA_LICIT", col(rs, "OBRA_LICIT"));
    rec.add("OBRA_DISP", obraDisp);
    rec.add("OBRA_CONV", col(aux, "OBRA_CONV"));
    rec.add("REL_IMPACTO", col(aux, "REL_IMPACTO"));
    rec.add("ARQ_IMPACTO", col(aux, "ARQ_IMPACTO"));
    const std::string obra = col(aux, "ARQ_OBRA") + ".DOC";
    const std::string cronograma = col(aux, "ARQ_CRONOGRAMA") + ".DOC";
    const std::string orcamento = col(aux, "ARQ_ORCAMENTO") + ".DOC";
    const std::string planilha = semExecutor ? std::string() : col(aux, "ARQ_PLANILHA") + ".DOC";
    rec.add("ARQ_OBRA", obra);
    rec.add("ARQ_CRONOGRAMA", cronograma);
    rec.add("ARQ_ORCAMENTO", orcamento);
    rec.add("ARQ_PLANILHA", planilha);
    rec.add("ANO_PROC_UNID", col(aux, "ANO_PROC_UNID"));
    rec.add("MOD_UNID", col(aux, "MOD_UNID"));
    rec.add("NUM_LIC_UNID", col(aux, "NUM_LIC_UNID"));
    rec.add("UNID_GEST_LICIT", col(aux, "UNID_GEST_LICIT"));
    rec.add("PROC_DISP_UNID", "");
    rec.add("MOD_DISP_UNID", col(aux, "MOD_DISP_UNID"));
    // A waiver of another entity's appropriation names its process as zeros.
    rec.add("PROC_DISP_UNID", obraDisp == "2" ? ex.Ret(16, "", "S", "I") : ex.Ret(16, "", "S", "T"));
    rec.add("UNID_GEST_DISP", col(aux, "UNID_GEST_DISP"));

    // The court expects the work's documents in the chosen folder; the spreadsheet
    // only when someone else executes the work.
    for (const std::string* doc : {&obra, &cronograma, &orcamento})
        documentFileCheck(ex, "OBRASERV.TXT", *doc, rec.line());
    if (!semExecutor) documentFileCheck(ex, "OBRASERV.TXT", planilha, rec.line());
}

void locObraValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const Fields f{ex, rs, rec, "LOCOBRA.TXT"};
    f.add("ANO_OBRA", "ANO DA OBRA NÃO PODE FICAR EM BRANCO");
    f.add("NUM_OBRA", "NÚMERO DA OBRA NÃO PODE FICAR EM BRANCO");
    f.add("LOCAL_OBRA", "LOCAL DA OBRA NÃO PODE FICAR EM BRANCO");
    rec.add("COD_CIDADE", "");
}

void respObraValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const Fields f{ex, rs, rec, "RESPOBRA.TXT"};
    f.add("CREA", "CREA DO RESPONSÁVEL DA OBRA NÃO PODE FICAR EM BRANCO");
    f.add("UF_CREA", "UF DO CREA DO RESPONSÁVEL DA OBRA NÃO PODE FICAR EM BRANCO");
    f.add("COD_QUALI", "CÓDIGO DO RESPONSÁVEL DO RESPONSÁVEL DA OBRA NÃO PODE FICAR EM BRANCO");
    rec.add("VISTO_CREA", col(rs, "VISTO_CREA"));
    rec.add("TIPO_PESSOA", col(rs, "TIPO_PESSOA"));
    f.add("CPF", "CPF DO RESPONSÁVEL DA OBRA NÃO PODE FICAR EM BRANCO");
    rec.add("CARGO_UNID", col(rs, "CARGO_UNID"));
    rec.add("ESPECIFICA", "");
}

// One of the four files that tie a work to an agreement or a contract.
struct LinkFile {
    std::string_view logFile;
    std::string_view year;    // ANO_CONVENIO or ANO_CONTRATO
    std::string_view number;  // NUMERO_CONVENIO or NUMERO_CONTRATO
    std::string_view workNumberBlank;
    std::string_view yearBlank;
    std::string_view numberBlank;
    std::string_view unitBlank;  // empty for the same-entity files
};

void linkValues(const LinkFile& l, Exporter& ex, RecordSet& rs, Record& rec) {
    const Fields f{ex, rs, rec, l.logFile};
    f.add("ANO_OBRA", "ANO DA OBRA NÃO PODE FICAR EM BRANCO");
    f.add("NUMERO_OBRA", l.workNumberBlank);
    f.add(l.year, l.yearBlank);
    f.add(l.number, l.numberBlank);
    if (!l.unitBlank.empty()) f.add("OUTRA_UNID", l.unitBlank);
}

constexpr LinkFile kObraConvLink{"OBRACONV.TXT",
                                 "ANO_CONVENIO",
                                 "NUMERO_CONVENIO",
                                 "NÚMERO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 "ANO DO CONVÊNIO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 "NÚMERO DO CONVÊNIO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 ""};
constexpr LinkFile kObraOCnvLink{"OBRAOCONV.TXT",
                                 "ANO_CONVENIO",
                                 "NUMERO_CONVENIO",
                                 "NÚMERO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 "ANO DO CONVÊNIO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 "NÚMERO DO CONVÊNIO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 "CÓDIGO DA UNIDADE DO CONVÊNIO DA OBRA NÃO PODE FICAR EM BRANCO"};
constexpr LinkFile kObraContLink{"OBRACONT.TXT",
                                 "ANO_CONTRATO",
                                 "NUMERO_CONTRATO",
                                 "NUMERO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 "ANO DO CONTRATO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 "NÚMERO DO CONTRATO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 ""};
constexpr LinkFile kObraOCntLink{"OBRAOCONT.TXT",
                                 "ANO_CONTRATO",
                                 "NUMERO_CONTRATO",
                                 "NÚMERO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 "ANO DO CONTRATO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 "NÚMERO DO CONTRATO DA OBRA NÃO PODE FICAR EM BRANCO",
                                 "UNIDADE GESTORA NÃO PODE FICAR EM BRANCO"};

void runLinkFile(Exporter& ex, std::string_view fileName, const Layout& layout, const LinkFile& l,
                 std::string (*query)(const RunContext&)) {
    runFileGenerator(ex, FileGenerator{fileName, layout, query,
                                       [&l](Exporter& e, RecordSet& rs, Record& rec) { linkValues(l, e, rs, rec); }});
}

}  // namespace

const Layout kObraServLayout{kObraServFields};
const Layout kLocObraLayout{kLocObraFields};
const Layout kRespObraLayout{kRespObraFields};
const Layout kObraConvLayout{kObraConvFields};
const Layout kObraOCnvLayout{kObraOCnvFields};
const Layout kObraContLayout{kObraContFields};
const Layout kObraOCntLayout{kObraOCntFields};

// Works registered in the month, once per distinct combination of their bidding,
// waiver, contract and agreement data.
void ObraServ(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kObraServLayout, obraServQuery, obraServValues});
}

void LocObra(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kLocObraLayout, locObraQuery, locObraValues});
}

// One record per professional and work of the month.
void RespObra(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kRespObraLayout, respObraQuery, respObraValues});
}

void ObraConv(Exporter& ex, std::string_view fileName) {
    runLinkFile(ex, fileName, kObraConvLayout, kObraConvLink, obraConvQuery);
}

void ObraOCnv(Exporter& ex, std::string_view fileName) {
    runLinkFile(ex, fileName, kObraOCnvLayout, kObraOCnvLink, obraOCnvQuery);
}

void ObraCont(Exporter& ex, std::string_view fileName) {
    runLinkFile(ex, fileName, kObraContLayout, kObraContLink, obraContQuery);
}

void ObraOCnt(Exporter& ex, std::string_view fileName) {
    runLinkFile(ex, fileName, kObraOCntLayout, kObraOCntLink, obraOCntQuery);
}

}  // namespace tcese
