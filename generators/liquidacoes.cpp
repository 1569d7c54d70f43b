#include "generators/liquidacoes.h"

#include <string>

#include "engine/filegenerator.h"
#include "engine/values.h"

namespace tcese {

namespace {

// After the record type "2".
constexpr FieldSpec kNotaLiqFields[] = {
    {"ANO_EMPENHO", 4, "T"}, {"EMPENHO", 16, "I"}, {"DOCUMENTO", 2, "T"},
    {"PROCESSO", 20, "T"},   {"DTLIQ", 8, "D"},    {"VLR_LIQ", 15, "V2"},
};

constexpr FieldSpec kNotaFields[] = {
    {"ANO_EMPENHO", 4, "T"}, {"EMPENHO", 16, "I"},    {"TIPO_DOC", 2, "T"},    {"PROCESSO", 20, "T"},
    {"NOTA", 10, "I"},       {"SERIE", 2, "T"},       {"UF_NOTA", 2, "T"},     {"DT_NOTA", 8, "D"},
    {"VLR_NOTA", 15, "V2"},  {"DT_VALIDADE", 8, "D"}, {"OBJETO", 250, "T"},    {"TIPO_PESSOA", 1, "T"},
    {"CPF_CNPJ", 14, "I"},   {"DT_ATESTO", 8, "D"},   {"RESP_ATESTO", 50, "T"}, {"CARGO_RESP", 50, "T"},
    {"DADO_ATESTO", 1, "T"},
};

constexpr FieldSpec kFolhaFields[] = {
    {"ANO_EMPENHO", 4, "T"},  {"EMPENHO", 16, "I"},     {"TIPO_DOC", 2, "T"},      {"PROCESSO", 20, "T"},
    {"VLR_FOLHA", 15, "V2"},  {"ANO_REF", 4, "T"},      {"MES_REF", 2, "T"},       {"DESC_FOLHA", 250, "T"},
    {"DT_ATESTO", 8, "D"},    {"RESP_ATESTO", 50, "T"}, {"CARG_ATESTO", 50, "T"},  {"DADO_ATESTO", 1, "T"},
};

constexpr FieldSpec kDiariaFields[] = {
    {"ANO_EMPENHO", 4, "T"},   {"EMPENHO", 16, "I"},    {"TIPO_DOC", 2, "T"},      {"PROCESSO", 20, "T"},
    {"VLR_DIARIA", 15, "V2"},  {"NACIONALIDADE", 1, "I"}, {"CPF", 14, "I"},        {"MATRICULA", 10, "I"},
    {"DESTINO", 120, "T"},     {"MOTIVO", 250, "T"},    {"DT_SAIDA", 8, "D"},      {"DT_RETOR", 8, "D"},
    {"QUANT", 8, "DP"},        {"DT_ATESTO", 8, "D"},   {"RESP_ATESTO", 50, "T"},  {"CARG_ATESTO", 50, "T"},
    {"DADO_ATESTO", 1, "T"},
};

constexpr FieldSpec kBilheteFields[] = {
    {"ANO_EMPENHO", 4, "T"},    {"EMPENHO", 16, "I"},     {"TIPO_DOC", 2, "T"},     {"PROCESSO", 20, "T"},
    {"VLR_BILH", 15, "V2"},     {"NUM_BILH", 15, "T"},    {"DT_BILH", 8, "D"},      {"DESTINO", 120, "T"},
    {"MOTIVO", 250, "T"},       {"DT_SAIDA", 8, "D"},     {"DT_RETOR", 8, "D"},     {"NACIONALIDADE", 1, "I"},
    {"CPF_BENE", 14, "I"},      {"MATRICULA", 10, "I"},   {"NOMESERV", 50, "T"},    {"TIPO_PESSOA", 1, "T"},
    {"CPF_CNPJ", 14, "I"},      {"DT_ATESTO", 8, "D"},    {"RESP_ATESTO", 50, "T"}, {"CARG_ATESTO", 50, "T"},
    {"DADO_ATESTO", 1, "T"},
};

constexpr FieldSpec kEstLiqPgFields[] = {
    {"ANO_EMPENHO", 4, "T"},  {"EMPENHO", 16, "I"},  {"TIPO", 2, "T"},   {"PROCESSO", 20, "T"},
    {"DATA_ESTORNO", 8, "D"}, {"MOTIVO", 250, "T"},  {"VADEM", 15, "V2"},
};

// Month and year of the liquidation date, as the VIEWLIQ queries end.
std::string liquidationMonth(const RunContext& ctx) {
    return "EXTRACT(MONTH FROM V.DATAE) = '" + ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM V.DATAE) = '" +
           ctx.fiscalYear + "' ";
}

// Daily-allowance commitments: allowance documents and no ticket number.
constexpr std::string_view kNoTicket = "(B.NUMBILH IS NULL OR (SUBSTRING(B.NUMBILH FROM 1 FOR 1) = ''))";

std::string notaLiqQuery(const RunContext& ctx) {
    return "SELECT DISTINCT EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, A.NEMPG AS EMPENHO, CASE WHEN "
           "SUBSTRING(C.CATEC FROM 1 FOR 3) = '3.1' THEN '01' WHEN B.DOC LIKE '%RECIBO%' THEN '02' WHEN E.PKEMP "
           "IS NOT NULL AND (D.NUMBILH IS NULL OR (SUBSTRING(D.NUMBILH FROM 1 FOR 1) = '')) THEN '03' WHEN "
           "D.NUMBILH IS NOT NULL THEN '04' WHEN B.DOC LIKE '%NOTA FISCAL%' THEN '05' WHEN C.EXTRA = 'S' AND "
           "SUBSTRING(C.BALCO FROM 1 FOR 4) = '3236' OR (SUBSTRING(C.BALCO FROM 1 FOR 4) = '3237')  THEN '06' "
           "ELSE '99' END AS DOCUMENTO, V.NUMSUB AS PROCESSO, V.DATAE AS DTLIQ, V.VADEM AS VLR_LIQ FROM VIEWLIQ V "
           "INNER JOIN DESPES A ON A.PKEMP = V.PKEMP INNER JOIN DESSUB B ON B.PKEMP = V.PKEMP INNER JOIN DESDIS C "
           "ON C.FICHA = V.FICHA LEFT JOIN  DESPESAD D ON D.PKEMP = A.PKEMP LEFT JOIN  DESPESADDOC E ON E.PKEMP "
           "= A.PKEMP WHERE " +
           liquidationMonth(ctx) + "AND V.VADEM > 0 " + entityFilter(ctx, "C") + " ";
}

std::string notaQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, A.NEMPG AS EMPENHO, CAST('05' AS VARCHAR(2)) as "
           "TIPO_DOC, A.PROC AS PROCESSO, N.NOTA, N.SERIE, CAST('SE' AS VARCHAR(2)) AS UF_NOTA, N.DTLAN AS "
           "DT_NOTA, N.VALOR AS VLR_NOTA, CAST(NULL AS VARCHAR(8)) AS DT_VALIDADE, CAST(SUBSTRING(A.PRODU FROM 1 "
           "FOR 250) AS VARCHAR(250)) AS OBJETO, CASE WHEN B.CODTIP = '01' THEN '02' ELSE '01' END AS "
           "TIPO_PESSOA, B.INSMF AS CPF_CNPJ, CAST(NULL AS VARCHAR(8)) AS DT_ATESTO, CAST(NULL AS VARCHAR(50)) AS "
           "RESP_ATESTO, CAST(NULL AS VARCHAR(50)) AS CARGO_RESP, CAST('0' AS VARCHAR(1)) AS DADO_ATESTO FROM "
           "NOTA N INNER JOIN DESPES A ON A.PKEMP = N.PKEMP INNER JOIN DESFOR B ON B.CODIF = A.CODIF INNER JOIN "
           "DESDIS C ON C.FICHA = A.FICHA WHERE EXTRACT(MONTH FROM N.DTLAN) = '" +
           ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM N.DTLAN) = '" + ctx.fiscalYear + "' " +
           "AND N.VALOR > 0 " + entityFilter(ctx, "C") + " ";
}

std::string folhaQuery(const RunContext& ctx) {
    return "SELECT DISTINCT EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, A.NEMPG AS EMPENHO, CAST('01' AS "
           "VARCHAR(2)) AS TIPO_DOC, V.NUMSUB AS PROCESSO, V.VADEM AS VLR_FOLHA, CASE WHEN EXTRACT(MONTH FROM "
           "V.DATAE) = '01' THEN EXTRACT(YEAR FROM V.DATAE) - 1 ELSE EXTRACT(YEAR FROM V.DATAE )END AS ANO_REF, "
           "CASE WHEN EXTRACT(MONTH FROM V.DATAE) = '01' THEN '12' WHEN EXTRACT(MONTH FROM V.DATAE) = '02' THEN "
           "'01' WHEN EXTRACT(MONTH FROM V.DATAE) = '03' THEN '02' WHEN EXTRACT(MONTH FROM V.DATAE) = '04' THEN "
           "'03' WHEN EXTRACT(MONTH FROM V.DATAE) = '05' THEN '04' WHEN EXTRACT(MONTH FROM V.DATAE) = '06' THEN "
           "'05' WHEN EXTRACT(MONTH FROM V.DATAE) = '07' THEN '06' WHEN EXTRACT(MONTH FROM V.DATAE) = '08' THEN "
           "'07' WHEN EXTRACT(MONTH FROM V.DATAE) = '09' THEN '08' WHEN EXTRACT(MONTH FROM V.DATAE) = '10' THEN "
           "'09' WHEN EXTRACT(MONTH FROM V.DATAE) = '11' THEN '10' WHEN EXTRACT(MONTH FROM V.DATAE) = '12' THEN "
           "'11' END AS MES_REF, CAST(SUBSTRING(A.PRODU FROM 1 FOR 250) AS VARCHAR(250)) AS DESC_FOLHA, "
           "CAST(NULL AS VARCHAR(8)) AS DT_ATESTO, CAST(NULL AS VARCHAR(50)) AS RESP_ATESTO, CAST(NULL AS "
           "VARCHAR(50)) AS CARG_ATESTO, CAST('0' AS VARCHAR(1)) AS DADO_ATESTO FROM VIEWLIQ V INNER JOIN DESPES "
           "A ON A.PKEMP = V.PKEMP INNER JOIN DESDIS B ON B.FICHA = V.FICHA WHERE V.VADEM > 0 AND "
           "SUBSTRING(B.CATEC FROM 1 FOR 3) = '3.1' AND " +
           liquidationMonth(ctx) + entityFilter(ctx, "B") + " ";
}

std::string diariaQuery(const RunContext& ctx) {
    return "SELECT V.PKEMP, EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, A.NEMPG AS EMPENHO, CAST('03' AS "
           "VARCHAR(2)) AS TIPO_DOC, A.PROC AS PROCESSO, SUM(C.TOTAL) AS VLR_DIARIA, CAST('1' AS VARCHAR(1)) AS "
           "NACIONALIDADE, D.INSMF AS CPF, CAST(NULL AS VARCHAR(10)) AS MATRICULA, B.DESTINO, "
           "CAST(SUBSTRING(B.MOTIVO FROM 1 FOR 250) AS VARCHAR(250)) AS MOTIVO, B.DATASAI AS DT_SAIDA, "
           "B.DATACHE AS DT_RETOR, CAST(NULL AS VARCHAR(8)) AS DT_ATESTO, CAST(NULL AS VARCHAR(50)) AS "
           "RESP_ATESTO, CAST(NULL AS VARCHAR(50)) AS CARG_ATESTO, CAST('0' AS VARCHAR(1)) AS DADO_ATESTO FROM "
           "VIEWLIQ V INNER JOIN DESPES A ON A.PKEMP = V.PKEMP LEFT JOIN DESPESAD B ON A.PKEMP = B.PKEMP LEFT "
           "JOIN DESPESADDOC C ON A.PKEMP = C.PKEMP INNER JOIN DESFOR D ON D.CODIF = A.CODIF INNER JOIN DESDIS E "
           "ON E.FICHA = V.FICHA WHERE C.PKEMP IS NOT NULL AND " +
           std::string(kNoTicket) + " AND " + liquidationMonth(ctx) + entityFilter(ctx, "E") + " " +
           "GROUP BY V.PKEMP, A.DATAE, A.NEMPG, A.PROC, D.INSMF, B.DESTINO, SUBSTRING(B.MOTIVO FROM 1 FOR 250), "
           "B.DATASAI, B.DATACHE";
}

bool digitsOnly(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// One parameter, the key: compared as a number, or as text.
std::string diariaCountQuery(bool asNumber) {
    return std::string("SELECT COUNT(*) AS QUANT FROM DESPESADDOC WHERE PKEMP = ") +
           (asNumber ? "CAST(? AS BIGINT)" : "?");
}

std::string bilheteQuery(const RunContext& ctx) {
    return "SELECT DISTINCT EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, A.NEMPG AS EMPENHO, CAST('04' AS "
           "VARCHAR(2)) AS TIPO_DOC, A.PROC AS PROCESSO, B.VALORBILH AS VLR_BILH, B.NUMBILH AS NUM_BILH, "
           "B.DATABILH AS DT_BILH, B.DESTINO, CAST(SUBSTRING(B.MOTIVO FROM 1 FOR 250) AS VARCHAR(250)) AS MOTIVO, "
           "B.DATASAI AS DT_SAIDA, B.DATACHE AS DT_RETOR, CAST('1' AS VARCHAR(1)) AS NACIONALIDADE, CAST(NULL AS "
           "VARCHAR(14)) AS CPF_BENE, B.MATRICULA, B.NOMESERV, CAST(NULL AS VARCHAR(1)) AS TIPO_PESSOA, "
           "B.CNPJEMI AS CPF_CNPJ, CAST(NULL AS VARCHAR(8)) AS DT_ATESTO, CAST(NULL AS VARCHAR(50)) AS "
           "RESP_ATESTO, CAST(NULL AS VARCHAR(50)) AS CARG_ATESTO, CAST('0' AS VARCHAR(1)) AS DADO_ATESTO FROM "
           "VIEWLIQ V INNER JOIN DESPES A ON A.PKEMP = V.PKEMP LEFT JOIN DESPESAD B ON A.PKEMP = B.PKEMP LEFT "
           "JOIN DESPESADDOC C ON A.PKEMP = C.PKEMP INNER JOIN DESDIS E ON E.FICHA = V.FICHA WHERE C.PKEMP IS NOT "
           "NULL AND B.NUMBILH IS NOT NULL AND (SUBSTRING(B.NUMBILH FROM 1 FOR 1) <> '') AND " +
           liquidationMonth(ctx) + entityFilter(ctx, "E") + " ";
}

std::string estLiqPgCandidatesQuery() {
    return "SELECT DISTINCT V.PKEMP AS PKEMP, CAST('01' AS VARCHAR(2)) AS TIPO FROM VIEWLIQ V INNER JOIN DESPES A "
           "ON A.PKEMP = V.PKEMP INNER JOIN DESDIS B ON B.FICHA = V.FICHA WHERE V.VADEM < 0 AND SUBSTRING(B.CATEC "
           "FROM 1 FOR 3) = '3.1' UNION SELECT V.PKEMP, CAST('03' AS VARCHAR(2)) AS TIPO FROM VIEWLIQ V INNER "
           "JOIN DESPES A ON A.PKEMP = V.PKEMP LEFT JOIN DESPESAD B ON A.PKEMP = B.PKEMP LEFT JOIN DESPESADDOC C "
           "ON A.PKEMP = C.PKEMP INNER JOIN DESFOR D ON D.CODIF = A.CODIF INNER JOIN DESDIS E ON E.FICHA = "
           "V.FICHA WHERE C.PKEMP IS NOT NULL AND " +
           std::string(kNoTicket) +
           " GROUP BY V.PKEMP, A.DATAE, A.NEMPG, A.PROC, D.INSMF, B.DESTINO, SUBSTRING(B.MOTIVO FROM 1 FOR 250), "
           "B.DATASAI, B.DATACHE UNION SELECT V.PKEMP, CAST('04' AS VARCHAR(2)) FROM VIEWLIQ V INNER JOIN DESPES "
           "A ON A.PKEMP = V.PKEMP LEFT JOIN DESPESAD B ON A.PKEMP = B.PKEMP LEFT JOIN DESPESADDOC C ON A.PKEMP "
           "= C.PKEMP INNER JOIN DESDIS E ON E.FICHA = V.FICHA WHERE C.PKEMP IS NOT NULL AND B.NUMBILH IS NOT "
           "NULL AND (SUBSTRING(B.NUMBILH FROM 1 FOR 1) <> '') ";
}

// Month and year of the commitment date; the entity is always named.
// One parameter: the commitment key.
std::string estLiqPgReversalQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, V.NEMPG AS EMPENHO, A.PROC AS PROCESSO, V.DATAE AS "
           "DATA_ESTORNO, CAST('ESTORNO' AS VARCHAR(250)) AS MOTIVO, V.VADEM FROM VIEWLIQ V INNER JOIN DESPES A ON "
           "A.PKEMP = V.PKEMP INNER JOIN DESDIS B ON B.FICHA = A.FICHA WHERE V.VADEM < 0 AND EXTRACT(MONTH FROM "
           "A.DATAE) = '" +
           ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM A.DATAE) = '" + ctx.fiscalYear + "' " +
           "AND B.EMPRESA = '" + ctx.entityCode + "' " + "AND V.PKEMP = ? ";
}

// Runs a statement of the file into a record set; a failure names the file.
void openQuery(Exporter& ex, RecordSet& rs, std::string_view fileName, const std::string& sql,
               const std::vector<Value>& params = {}) {
    rs.close();
    try {
        ex.dm.Conexao.open(rs, sql, params);
    } catch (const std::exception& e) {
        throw GenerationError("Erro ao gerar o arquivo " + std::string(fileName) + ".txt: " + e.what());
    }
}

// Logs the checks of one record: each entry names the commitment of the row.
class Checker {
public:
    Checker(Exporter& ex, RecordSet& rs, Record& rec, std::string_view logFile)
        : ex_(ex), rec_(rec), logFile_(logFile),
          resolver_("MÓDULO CONTAS - (EMPENHO Nº " + col(rs, "EMPENHO") + ") !") {}

    void check(bool problem, std::string_view descricao) {
        if (problem) ex_.Log(logFile_, "ERRO", descricao, resolver_, rec_.line());
    }
    // The value, after logging `descricao` when it is blank.
    std::string required(std::string value, std::string_view descricao) {
        check(isBlank(value), descricao);
        return value;
    }

private:
    Exporter& ex_;
    Record& rec_;
    std::string_view logFile_;
    std::string resolver_;
};

void notaLiqValues(Exporter& ex, RecordSet& rs, Record& rec) {
    Checker c(ex, rs, rec, "NOTALIQ.TXT");
    rec.add("ANO_EMPENHO", c.required(col(rs, "ANO_EMPENHO"), "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("EMPENHO", c.required(col(rs, "EMPENHO"), "EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("DOCUMENTO", c.required(col(rs, "DOCUMENTO"), "TIPO DE DOCUMENTO NÃO PODE FICAR EM BRANCO"));
    std::string processo =
        c.required(col(rs, "PROCESSO"), "PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO");
    if (processo == "0") processo = "1";  // the court takes no process 0
    rec.add("PROCESSO", processo);
    rec.add("DTLIQ", c.required(col(rs, "DTLIQ"), "DATA DA NOTA DE LIQUIDAÇÃO NÃO PODE FICAR EM BRANCO"));
    rec.add("VLR_LIQ", c.required(col(rs, "VLR_LIQ"), "VALOR DA NOTA DE LIQUIDAÇÃO NÃO PODE FICAR EM BRANCO"));
}

void notaValues(Exporter& ex, RecordSet& rs, Record& rec) {
    Checker c(ex, rs, rec, "NOTA.TXT");
    rec.add("ANO_EMPENHO", c.required(col(rs, "ANO_EMPENHO"), "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("EMPENHO", c.required(col(rs, "EMPENHO"), "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("TIPO_DOC", c.required(col(rs, "TIPO_DOC"), "TIPO DE DOCUMENTO NÃO PODE FICAR EM BRANCO"));
    rec.add("PROCESSO",
            c.required(col(rs, "PROCESSO"), "NÚMERO DO PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO"));
    rec.add("NOTA", c.required(col(rs, "NOTA"), "NÚMERO DA NOTA NÃO PODE FICAR EM BRANCO"));
    rec.add("SERIE", c.required(col(rs, "SERIE"), "NÚMERO DA SÉRIE NÃO PODE FICAR EM BRANCO"));
    rec.add("UF_NOTA", c.required(col(rs, "UF_NOTA"), "UF DA NOTA NÃO PODE FICAR EM BRANCO"));
    rec.add("DT_NOTA", c.required(col(rs, "DT_NOTA"), "DATA DA NOTA NÃO PODE FICAR EM BRANCO"));
    rec.add("VLR_NOTA", c.required(col(rs, "VLR_NOTA"), "VALOR DA NOTA NÃO PODE FICAR EM BRANCO"));
    rec.add("DT_VALIDADE", c.required(col(rs, "DT_VALIDADE"), "DATA DE VALIDADE NÃO PODE FICAR EM BRANCO"));
    rec.add("OBJETO", flattenLineBreaks(col(rs, "OBJETO"), 250));
    // The query gives "02" (company) or "01" in a one-character field: its last
    // digit keeps the person type, where the first would always be "0".
    const std::string tipoPessoa = col(rs, "TIPO_PESSOA");
    rec.add("TIPO_PESSOA", tipoPessoa.empty() ? tipoPessoa : tipoPessoa.substr(tipoPessoa.size() - 1));
    rec.add("CPF_CNPJ", c.required(col(rs, "CPF_CNPJ"), "CPF/CNPJ DO EMITENTE DA NOTA NÃO PODE FICAR EM BRANCO"));
    rec.add("DT_ATESTO", col(rs, "DT_ATESTO"));
    rec.add("RESP_ATESTO", col(rs, "RESP_ATESTO"));
    rec.add("CARGO_RESP", col(rs, "CARGO_RESP"));
    rec.add("DADO_ATESTO", col(rs, "DADO_ATESTO"));
}

void folhaValues(Exporter& ex, RecordSet& rs, Record& rec) {
    Checker c(ex, rs, rec, "FOLHA.TXT");
    rec.add("ANO_EMPENHO", c.required(col(rs, "ANO_EMPENHO"), "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("EMPENHO", c.required(col(rs, "EMPENHO"), "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("TIPO_DOC", c.required(col(rs, "TIPO_DOC"), "TIPO DE DOCUMENTO NÃO PODE FICAR EM BRANCO"));
    rec.add("PROCESSO",
            c.required(col(rs, "PROCESSO"), "NÚMERO DO PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO"));
    rec.add("VLR_FOLHA", c.required(col(rs, "VLR_FOLHA"), "VALOR NÃO PODE FICAR EM BRANCO"));
    rec.add("ANO_REF", col(rs, "ANO_REF"));
    rec.add("MES_REF", col(rs, "MES_REF"));
    const std::string descricao = c.required(col(rs, "DESC_FOLHA"), "DESCRIÇÃO NÃO PODE FICAR EM BRANCO");
    rec.add("DESC_FOLHA", flattenLineBreaks(descricao, 250));
    rec.add("DT_ATESTO", col(rs, "DT_ATESTO"));
    rec.add("RESP_ATESTO", col(rs, "RESP_ATESTO"));
    rec.add("CARG_ATESTO", col(rs, "CARG_ATESTO"));
    rec.add("DADO_ATESTO", col(rs, "DADO_ATESTO"));
}

void diariaValues(Exporter& ex, RecordSet& rs, Record& rec, std::string_view fileName) {
    // The number of allowance documents of the commitment, counted before the record.
    // The key is text but compared unquoted, as a number: that holds only while
    // every key of DESPESADDOC is made of digits. Any other key is quoted, and so is
    // a key of digits when a key of another form makes the comparison fail.
    RecordSet& aux = ex.dm.CdsAux;
    const std::string pkemp = col(rs, "PKEMP");
    if (!digitsOnly(pkemp) || pkemp.size() > 18) {
        openQuery(ex, aux, fileName, diariaCountQuery(false), {pkemp});
    } else {
        try {
            ex.dm.Conexao.open(aux, diariaCountQuery(true), {pkemp});
        } catch (const std::exception&) {
            openQuery(ex, aux, fileName, diariaCountQuery(false), {pkemp});
        }
    }
    const std::string quant = col(aux, "QUANT");

    Checker c(ex, rs, rec, "DIARIA.TXT");
    rec.add("ANO_EMPENHO", c.required(col(rs, "ANO_EMPENHO"), "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("EMPENHO", c.required(col(rs, "EMPENHO"), "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("TIPO_DOC", c.required(col(rs, "TIPO_DOC"), "TIPO DO DOCUMENTO NÃO PODE FICAR EM BRANCO"));
    rec.add("PROCESSO",
            c.required(col(rs, "PROCESSO"), "NÚMERO DO PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO"));
    rec.add("VLR_DIARIA", c.required(col(rs, "VLR_DIARIA"), "VALOR DA DIÁRIA NÃO PODE FICAR EM BRANCO"));
    rec.add("NACIONALIDADE", c.required(col(rs, "NACIONALIDADE"), "NACIONALIDADE NÃO PODE FICAR EM BRANCO"));
    rec.add("CPF", c.required(col(rs, "CPF"), "CPF NÃO PODE FICAR EM BRANCO"));
    rec.add("MATRICULA", col(rs, "MATRICULA"));
    rec.add("DESTINO", c.required(col(rs, "DESTINO"), "DESTINO NÃO PODE FICAR EM BRANCO"));
    const std::string motivo = c.required(col(rs, "MOTIVO"), "MOTIVO NÃO PODE FICAR EM BRANCO");
    rec.add("MOTIVO", flattenLineBreaks(motivo, 250));
    rec.add("DT_SAIDA", c.required(col(rs, "DT_SAIDA"), "DATA DE SAÍDA NÃO PODE FICAR EM BRANCO"));
    rec.add("DT_RETOR", c.required(col(rs, "DT_RETOR"), "DATA DE RETORNO NÃO PODE FICAR EM BRANCO"));
    rec.add("QUANT", c.required(quant, "QUANTIDADE NÃO PODE FICAR EM BRANCO"));
    rec.add("DT_ATESTO", col(rs, "DT_ATESTO"));
    rec.add("RESP_ATESTO", col(rs, "RESP_ATESTO"));
    rec.add("CARG_ATESTO", col(rs, "CARG_ATESTO"));
    rec.add("DADO_ATESTO", col(rs, "DADO_ATESTO"));
}

void bilheteValues(Exporter& ex, RecordSet& rs, Record& rec) {
    // This file looks at the cancel before reading the row: nothing of the record
    // is read or logged once it is set.
    if (ex.ctx.cancelRequested) return;
    Checker c(ex, rs, rec, "BILHETE.TXT");
    rec.add("ANO_EMPENHO", c.required(col(rs, "ANO_EMPENHO"), "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("EMPENHO", c.required(col(rs, "EMPENHO"), "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("TIPO_DOC", c.required(col(rs, "TIPO_DOC"), "TIPO DO DOCUMENTO NÃO PODE FICAR EM BRANCO"));
    rec.add("PROCESSO",
            c.required(col(rs, "PROCESSO"), "NÚMERO DO PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO"));
    rec.add("VLR_BILH", c.required(col(rs, "VLR_BILH"), "VALOR DO BILHETE NÃO PODE FICAR EM BRANCO"));
    rec.add("NUM_BILH", c.required(col(rs, "NUM_BILH"), "NÚMERO DO BILHETE NÃO PODE FICAR EM BRANCO"));
    rec.add("DT_BILH", c.required(col(rs, "DT_BILH"), "DATA DO BILHETE NÃO PODE FICAR EM BRANCO"));
    rec.add("DESTINO", c.required(col(rs, "DESTINO"), "DESTINO NÃO PODE FICAR EM BRANCO"));
    // A line break inside the motive would split the record the court reads by
    // position: flattened as in the other files.
    const std::string motivo = c.required(col(rs, "MOTIVO"), "MOTIVO NÃO PODE FICAR EM BRANCO");
    rec.add("MOTIVO", flattenLineBreaks(motivo, 250));
    rec.add("DT_SAIDA", c.required(col(rs, "DT_SAIDA"), "DATA DA SAÍDA NÃO PODE FICAR EM BRANCO"));
    rec.add("DT_RETOR", c.required(col(rs, "DT_RETOR"), "DATA DE RETORNO NÃO PODE FICAR EM BRANCO"));
    rec.add("NACIONALIDADE", col(rs, "NACIONALIDADE"));
    rec.add("CPF_BENE", c.required(col(rs, "CPF_BENE"), "CPF DO BENEFICIÁRIO NÃO PODE FICAR EM BRANCO"));
    rec.add("MATRICULA", col(rs, "MATRICULA"));
    rec.add("NOMESERV", col(rs, "NOMESERV"));
    rec.add("TIPO_PESSOA", col(rs, "TIPO_PESSOA"));
    rec.add("CPF_CNPJ", c.required(col(rs, "CPF_CNPJ"), "CPF/CNPJ NÃO PODE FICAR EM BRANCO"));
    rec.add("DT_ATESTO", col(rs, "DT_ATESTO"));
    rec.add("RESP_ATESTO", col(rs, "RESP_ATESTO"));
    rec.add("CARG_ATESTO", col(rs, "CARG_ATESTO"));
    rec.add("DADO_ATESTO", col(rs, "DADO_ATESTO"));
}

}  // namespace

const Layout kNotaLiqLayout{kNotaLiqFields};
const Layout kNotaLayout{kNotaFields};
const Layout kFolhaLayout{kFolhaFields};
const Layout kDiariaLayout{kDiariaFields};
const Layout kBilheteLayout{kBilheteFields};
const Layout kEstLiqPgLayout{kEstLiqPgFields};

// Positive liquidations of the month that have supporting documents, one record per
// document type found.
void NotaLiq(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kNotaLiqLayout, notaLiqQuery, notaLiqValues});
}

// Invoices dated in the month, issued by the commitment's supplier.
void Nota(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kNotaLayout, notaQuery, notaValues});
}

// Liquidations of the month on personnel appropriations (CATEC 3.1...).
void Folha(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kFolhaLayout, folhaQuery, folhaValues});
}

// Daily-allowance commitments liquidated in the month, with their document count.
void Diaria(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kDiariaLayout, diariaQuery,
                                       [fileName](Exporter& e, RecordSet& rs, Record& rec) {
                                           diariaValues(e, rs, rec, fileName);
                                       }});
}

// Ticket commitments liquidated in the month.
void Bilhete(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kBilheteLayout, bilheteQuery, bilheteValues});
}

// For every payroll, allowance or ticket commitment (of any date), the reversals of
// its liquidations when the commitment is dated in the month; the trailer counts
// the records written.
void EstLiqPg(Exporter& ex, std::string_view fileName) {
    RunContext& ctx = ex.ctx;
    ctx.fileHasErrors = false;
    ctx.recordCount = 0;
    ex.setFileProgressMax(0);
    ex.CRIAR_ARQ(fileName);
    ex.HEADER();

    RecordSet& pairs = ex.dm.CdsGeral;
    openQuery(ex, pairs, fileName, estLiqPgCandidatesQuery());
    if (ctx.cancelRequested) return;
    ex.setFileProgressMax(pairs.recordCount());

    RecordSet& rev = ex.dm.CdsAux;
    while (!pairs.eof()) {
        const std::string tipo = col(pairs, "TIPO");
        openQuery(ex, rev, fileName, estLiqPgReversalQuery(ctx), {col(pairs, "PKEMP")});
        while (!rev.eof()) {
            Record rec(ex, kEstLiqPgLayout, ctx.recordCount + 2);  // the header is line 1
            rec.add("ANO_EMPENHO", col(rev, "ANO_EMPENHO"))
                .add("EMPENHO", col(rev, "EMPENHO"))
                .add("TIPO", tipo)
                .add("PROCESSO", col(rev, "PROCESSO"))
                .add("DATA_ESTORNO", col(rev, "DATA_ESTORNO"))
                .add("MOTIVO", col(rev, "MOTIVO"))
                .add("VADEM", col(rev, "VADEM"));
            if (ctx.cancelRequested) return;
            ex.writeRecord(rec.text());
            ++ctx.recordCount;
            rev.next();
            ex.processMessages();
        }
        ex.stepFileProgress();
        pairs.next();
        ex.processMessages();
    }
    ex.TRAILER(ctx.recordCount);
    ex.Fecha_arq();
}

}  // namespace tcese
