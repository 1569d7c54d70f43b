#include "generators/dispensas.h"

#include <initializer_list>
#include <string>

#include "engine/filegenerator.h"
#include "engine/values.h"

namespace tcese {

namespace {

// After the record type "2". Every process is keyed by year ("20" + the two year
// digits of NUMDISP), modality and number.
constexpr FieldSpec kDispInexFields[] = {
    {"ANODISP", 4, "T"},       {"MODALIDADE", 2, "I"},    {"NUMDISP", 16, "I"},       {"TIPO", 2, "I"},
    {"ATO_COMISSAO", 10, "T"}, {"DT_INICIO", 8, "D"},     {"OBJETO", 250, "T"},       {"BASE_LEGAL", 2, "T"},
    {"VALOR", 15, "V2"},       {"DT_RATIF_ORD", 8, "D"},  {"DADO_PUBLIC", 1, "T"},    {"DT_PUBL", 8, "D"},
    {"VEIC_PUBL", 120, "T"},   {"DADO_PARECER", 1, "T"},  {"NUM_PARECER", 10, "T"},   {"DATA_PARECER", 8, "T"},
    {"RESP_PARECER", 50, "T"}, {"ARQ_PARECER", 50, "T"},  {"ARQ_SEM_ORIGEM", 50, "T"}, {"ARQ_DISP", 50, "T"},
    {"CONVENIO", 1, "T"},
};

constexpr FieldSpec kPartDispFields[] = {
    {"ANODISP", 4, "T"}, {"MODALIDADE", 2, "T"}, {"NUMDISP", 16, "I"}, {"TIPO_PESSOA", 1, "T"}, {"INSMF", 14, "I"},
};

constexpr FieldSpec kItemDispFields[] = {
    {"ANODISP", 4, "T"},      {"MODALIDADE", 2, "T"},    {"NUMDISP", 16, "I"}, {"TIPO_PESSOA", 1, "T"},
    {"INSMF", 14, "I"},       {"ITEM", 4, "I"},          {"DESCR", 250, "T"},  {"UNID", 3, "T"},
    {"QUANT", 10, "V3"},      {"VALOR_TOTAL", 15, "V2"}, {"VALOR_UNIT", 15, "V2"},
};

// ESPECIF is formatted here: only a certificate of type "99" carries it; the
// record of any other type ends before it.
constexpr FieldSpec kCertDispFields[] = {
    {"ANODISP", 4, "T"}, {"MODALIDADE", 2, "T"}, {"NUMDISP", 16, "I"}, {"TIPO_PESSOA", 1, "T"},
    {"INSMF", 14, "I"},  {"TIPO", 2, "I"},       {"NCERT", 30, "T"},   {"DT_CERT", 8, "D"},
    {"DT_VALI", 8, "D"}, {"ESPECIF", 120, ""},
};

constexpr FieldSpec kCnvDispFields[] = {
    {"ANOCONV", 4, "T"}, {"NUMCONV", 16, "I"}, {"ANODISP", 4, "T"}, {"MODALIDADE", 2, "T"}, {"NUMDISP", 16, "I"},
};

constexpr FieldSpec kCnvODispFields[] = {
    {"ANOCONV", 4, "T"}, {"NUMCONV", 16, "I"},    {"CODAUDESP", 6, "T"},
    {"ANODISP", 4, "T"}, {"MODALIDADE", 2, "T"}, {"NUMDISP", 16, "I"},
};

constexpr FieldSpec kCancDispFields[] = {
    {"ANODISP", 4, "T"},  {"MODALIDADE", 2, "T"},   {"NUMDISP", 16, "I"},  {"DATA", 8, "D"},
    {"MOT_CANC", 255, "T"}, {"DT_PUBL_CANC", 8, "D"}, {"VEIC_PUBL", 120, "T"}, {"DADO", 1, "T"},
};

constexpr FieldSpec kRespDispFields[] = {
    {"ANODISP", 4, "T"},  {"MODALIDADE", 2, "T"},   {"NUMDISP", 16, "I"},    {"CPF_RESP", 11, "I"},
    {"NOME_RESP", 100, "T"}, {"CARGO_RESP", 120, "T"}, {"DESCR_RESP", 120, "T"},
};

// The end every query but DispInex's shares, after the month: the year of
// `dateColumn` and the entity, joined by `andWord` as each statement spells it.
std::string period(const RunContext& ctx, std::string_view dateColumn, std::string_view andWord) {
    const std::string a(andWord);
    return ctx.monthCode + "' " + a + " EXTRACT(YEAR FROM " + std::string(dateColumn) + ") = '" + ctx.fiscalYear +
           "' " + a + " B.EMPRESA = '" + ctx.entityCode + "'";
}

std::string dispInexQuery(const RunContext& ctx) {
    return "SELECT DISTINCT '20'||SUBSTRING(A.NUMDISP FROM 6 FOR 2) AS ANODISP, SUBSTRING(A.MODALIDADE FROM 1 FOR "
           "2) AS MODALIDADE, '000000000000'||SUBSTRING(A.NUMDISP FROM 1 FOR 4) AS NUMDISP, SUBSTRING(A.TIPO_FUNDAM "
           "FROM 1 FOR 2) AS TIPO, A.NUM_FUNDAM AS ATO_COMISSAO, A.dt_inicio,A.objeto, SUBSTRING(A.BALSE_LEGAL FROM "
           "1 FOR 2) AS BASE_LEGAL , A.VALOR,A.dt_retif AS DT_RATIF_ORD, CASE WHEN A.dt_publ IS NOT NULL THEN '1' "
           "ELSE '0' END AS DADO_PUBLIC, A.dt_publ,A.veic_publ,'0' AS DADO_PARECER, CAST(NULL AS VARCHAR(10)) AS "
           "NUM_PARECER, CAST(NULL AS DATE) AS DATA_PARECER, CAST(NULL AS VARCHAR(50)) AS RESP_PARECER, "
           "'DISPINEXPAR'||SUBSTRING(A.NUMDISP FROM 1 FOR 4)||'-'||    '20'||SUBSTRING(A.NUMDISP FROM 6 FOR "
           "4)||'.DOC' AS ARQ_PARECER, CASE WHEN SUBSTRING(A.MODALIDADE FROM 1 FOR 2) = '08' AND "
           "SUBSTRING(A.BALSE_LEGAL FROM 1 FOR 2) = '04' THEN 'DISPINEX'||                                       "
           "      SUBSTRING(A.NUMDISP FROM 1 FOR 4)||'-'||                                             "
           "'20'||SUBSTRING(A.NUMDISP FROM 6 FOR 4)||'.DOC' ELSE NULL END AS ARQ_DISP, CASE WHEN A.NUMCONV IS NULL "
           "THEN '0' WHEN A.NUMCONV IS NOT NULL AND A.EMPRESA = B.EMPRESA THEN '1' WHEN A.NUMCONV IS NOT NULL AND "
           "A.EMPRESA <> B.EMPRESA THEN '2' ELSE '0' END AS CONVENIO FROM DISPINEX A LEFT JOIN CADCONV B ON "
           "B.CONVENIO = A.NUMCONV WHERE EXTRACT(MONTH FROM A.DT_INICIO) = '" +
           ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM A.DT_INICIO) = '" + ctx.fiscalYear + "' " +
           "AND A.EMPRESA = '" + ctx.entityCode + "'";
}

// Process, supplier and person type of PartDisp, ItemDisp and CertDisp.
constexpr std::string_view kSupplierKey =
    "SELECT DISTINCT '20'||SUBSTRING(B.numdisp FROM 6 FOR 2) AS ANODISP, SUBSTRING(B.modalidade FROM 1 FOR 2) AS "
    "MODALIDADE, SUBSTRING(B.numdisp FROM 1 FOR 4) AS NUMDISP, CASE WHEN C.CODTIP = '01' THEN '2' WHEN C.codtip = "
    "'02' THEN '1' ELSE '3' END AS TIPO_PESSOA, C.insmf";

std::string partDispQuery(const RunContext& ctx) {
    return std::string(kSupplierKey) +
           " FROM PARTDISP A INNER JOIN DISPINEX B ON B.CODIGO = A.CODIGO INNER JOIN DESFOR C ON C.CODIF = A.CODIF "
           "WHERE EXTRACT(MONTH FROM B.DT_INICIO) = '" +
           period(ctx, "B.DT_INICIO", "AND");
}

// The items' joins and selection; ItemDisp's diagnosis of a zero quantity reuses them.
constexpr std::string_view kItemFrom =
    " FROM PARTDISP A INNER JOIN DISPINEX B ON B.CODIGO = A.CODIGO INNER JOIN DESFOR C ON C.CODIF = A.CODIF INNER "
    "JOIN CADEST D ON D.CADPRO = A.CADPRO WHERE EXTRACT(MONTH FROM B.DT_INICIO) = '";

std::string itemDispQuery(const RunContext& ctx) {
    return std::string(kSupplierKey) +
           ", A.ITEM,D.disc1 AS DESCR,D.unid1 AS UNID,A.quant, A.valor_total, A.valor_total/A.quant AS VALOR_UNIT" +
           std::string(kItemFrom) + period(ctx, "B.DT_INICIO", "AND");
}

std::string certDispQuery(const RunContext& ctx) {
    return "SELECT DISTINCT '20'||SUBSTRING(B.numdisp FROM 6 for 2) as ANODISP, SUBSTRING(B.modalidade FROM 1 for 2) "
           "as MODALIDADE, SUBSTRING(B.numdisp FROM 1 for 4) as NUMDISP, case WHEN C.CODTIP = '01' then '2' WHEN "
           "C.codtip = '02' then '1' else '3' end as TIPO_PESSOA, C.insmf, SUBSTRING(A.TIPO FROM 1 for 2) as TIPO, "
           "A.NCERT, A.dt_cert, A.dt_vali, A.especif FROM CERTDISP A INNER JOIN DISPINEX B on B.CODIGO = A.CODIGO "
           "INNER JOIN DESFOR C on C.CODIF = A.CODIF WHERE EXTRACT(MONTH FROM B.DT_INICIO) = '" +
           period(ctx, "B.DT_INICIO", "and");
}

// Agreement year and number with the process key.
constexpr std::string_view kAgreementKey =
    "SELECT DISTINCT EXTRACT(YEAR FROM C.DATA) AS ANOCONV, C.NUMCONV,'20'||SUBSTRING(B.numdisp FROM 6 FOR 2) AS "
    "ANODISP, SUBSTRING(B.modalidade FROM 1 FOR 2) AS MODALIDADE, SUBSTRING(B.numdisp FROM 1 FOR 4) AS NUMDISP";

std::string cnvDispQuery(const RunContext& ctx) {
    return std::string(kAgreementKey) +
           " FROM DISPINEX B INNER JOIN CADCONV C ON C.CONVENIO = B.NUMCONV AND B.EMPRESA = C.EMPRESA WHERE "
           "EXTRACT(MONTH FROM B.DT_INICIO) = '" +
           period(ctx, "B.DT_INICIO", "AND");
}

std::string cnvODispQuery(const RunContext& ctx) {
    return std::string(kAgreementKey) +
           ", D.CODAUDESP FROM DISPINEX B INNER JOIN CADCONV C ON C.CONVENIO = B.NUMCONV INNER JOIN TABEMPRESA D ON "
           "D.EMPRESA = C.EMPRESA AND B.EMPRESA <> C.EMPRESA WHERE EXTRACT(MONTH FROM B.DT_INICIO) = '" +
           period(ctx, "B.DT_INICIO", "AND");
}

std::string cancDispQuery(const RunContext& ctx) {
    return "SELECT DISTINCT SUBSTRING(B.numdisp FROM 6 FOR 2) AS ANODISP, SUBSTRING(B.modalidade FROM 1 FOR 2) AS "
           "MODALIDADE, SUBSTRING(B.numdisp FROM 1 FOR 4) AS NUMDISP, B.dt_publ_canc AS DATA, B.dt_publ_canc, "
           "B.mot_canc,b.veic_publ, '1' AS DADO FROM DISPINEX B WHERE EXTRACT(MONTH FROM B.dt_publ_canc) = '" +
           period(ctx, "B.dt_publ_canc", "AND") + " " + "AND B.cancelado = 'S'";
}

std::string respDispQuery(const RunContext& ctx) {
    return "SELECT DISTINCT '20'||SUBSTRING(B.numdisp FROM 6 FOR 2) AS ANODISP, SUBSTRING(B.modalidade FROM 1 FOR 2) "
           "AS MODALIDADE, SUBSTRING(B.numdisp FROM 1 FOR 4) AS NUMDISP, B.cpf_resp,B.nome_resp,B.cargo_resp,"
           "B.descr_resp FROM DISPINEX B WHERE EXTRACT(MONTH FROM B.DT_INICIO) = '" +
           period(ctx, "B.dt_inicio", "AND");
}

// Each named field from the query's column of the same name.
void fromColumns(RecordSet& rs, Record& rec, std::initializer_list<std::string_view> fields) {
    for (std::string_view f : fields) rec.add(f, col(rs, f));
}

void dispInexValues(Exporter&, RecordSet& rs, Record& rec) {
    fromColumns(rs, rec,
                {"ANODISP", "MODALIDADE", "NUMDISP", "TIPO", "ATO_COMISSAO", "DT_INICIO", "OBJETO", "BASE_LEGAL",
                 "VALOR", "DT_RATIF_ORD", "DADO_PUBLIC", "DT_PUBL", "VEIC_PUBL", "DADO_PARECER", "NUM_PARECER",
                 "DATA_PARECER", "RESP_PARECER", "ARQ_PARECER"});
    rec.add("ARQ_SEM_ORIGEM", "");
    fromColumns(rs, rec, {"ARQ_DISP", "CONVENIO"});
}

void partDispValues(Exporter&, RecordSet& rs, Record& rec) {
    fromColumns(rs, rec, {"ANODISP", "MODALIDADE", "NUMDISP", "TIPO_PESSOA", "INSMF"});
}

void itemDispValues(Exporter&, RecordSet& rs, Record& rec) {
    fromColumns(rs, rec,
                {"ANODISP", "MODALIDADE", "NUMDISP", "TIPO_PESSOA", "INSMF", "ITEM", "DESCR", "UNID", "QUANT",
                 "VALOR_TOTAL", "VALOR_UNIT"});
}

void certDispValues(Exporter& ex, RecordSet& rs, Record& rec) {
    fromColumns(rs, rec,
                {"ANODISP", "MODALIDADE", "NUMDISP", "TIPO_PESSOA", "INSMF", "TIPO", "NCERT", "DT_CERT", "DT_VALI"});
    rec.add("ESPECIF", col(rs, "TIPO") == "99" ? ex.Ret(120, col(rs, "ESPECIF"), "S", "T") : std::string());
}

void cnvDispValues(Exporter&, RecordSet& rs, Record& rec) {
    fromColumns(rs, rec, {"ANOCONV", "NUMCONV", "ANODISP", "MODALIDADE", "NUMDISP"});
}

void cnvODispValues(Exporter&, RecordSet& rs, Record& rec) {
    fromColumns(rs, rec, {"ANOCONV", "NUMCONV", "CODAUDESP", "ANODISP", "MODALIDADE", "NUMDISP"});
}

void cancDispValues(Exporter&, RecordSet& rs, Record& rec) {
    // The query gives the two year digits only. "20" goes before them as the other
    // files' '20'||... does, so a process without number keeps a blank year there too.
    rec.add("ANODISP", rs.field("ANODISP").isNull() ? std::string() : "20" + col(rs, "ANODISP"));
    fromColumns(rs, rec, {"MODALIDADE", "NUMDISP", "DATA", "MOT_CANC", "DT_PUBL_CANC", "VEIC_PUBL", "DADO"});
}

void respDispValues(Exporter&, RecordSet& rs, Record& rec) {
    fromColumns(rs, rec, {"ANODISP", "MODALIDADE", "NUMDISP", "CPF_RESP", "NOME_RESP", "CARGO_RESP", "DESCR_RESP"});
}

// The item whose zero quantity made the unit price's division fail, as the user
// finds it in the register; empty when there is none.
std::string zeroQuantityItem(Exporter& ex) {
    RecordSet rs("ItemDispQuant");
    ex.dm.Conexao.open(rs,
                       "SELECT B.NUMDISP, A.CODIF, A.ITEM" + std::string(kItemFrom) +
                           period(ex.ctx, "B.DT_INICIO", "AND") +
                           " AND A.QUANT = 0 ORDER BY B.NUMDISP, A.CODIF, A.ITEM");
    if (rs.recordCount() == 0) return {};
    return "item " + col(rs, "ITEM") + " do fornecedor " + col(rs, "CODIF") + " do processo " + col(rs, "NUMDISP");
}

}  // namespace

const Layout kDispInexLayout{kDispInexFields};
const Layout kPartDispLayout{kPartDispFields};
const Layout kItemDispLayout{kItemDispFields};
const Layout kCertDispLayout{kCertDispFields};
const Layout kCnvDispLayout{kCnvDispFields};
const Layout kCnvODispLayout{kCnvODispFields};
const Layout kCancDispLayout{kCancDispFields};
const Layout kRespDispLayout{kRespDispFields};

// The processes started in the month, with the agreement flag: "1" same entity,
// "2" another entity, "0" none or not found.
void DispInex(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kDispInexLayout, dispInexQuery, dispInexValues});
}

// One record per process and supplier.
void PartDisp(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kPartDispLayout, partDispQuery, partDispValues});
}

// The items bought from each supplier; the unit price is divided in the query.
void ItemDisp(Exporter& ex, std::string_view fileName) {
    try {
        runFileGenerator(ex, FileGenerator{fileName, kItemDispLayout, itemDispQuery, itemDispValues});
    } catch (const GenerationError&) {
        // The database's "divide by zero" names no item: say which one to correct.
        // Only a failed query leaves the file open with CdsGeral closed.
        if (ex.ctx.cancelRequested || !ex.fileOpen() || ex.dm.CdsGeral.active()) throw;
        std::string item;
        try {
            item = zeroQuantityItem(ex);
        } catch (const std::exception&) {
            // The original error stands.
        }
        if (item.empty()) throw;
        throw GenerationError("Erro ao gerar o arquivo " + std::string(fileName) + ".txt: a quantidade do " + item +
                              " é zero e o valor unitário não pode ser calculado. Corrija a quantidade no "
                              "cadastro de dispensas e inexigibilidades.");
    }
}

void CertDisp(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kCertDispLayout, certDispQuery, certDispValues});
}

// Processes paid from an agreement of their own entity.
void CnvDisp(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kCnvDispLayout, cnvDispQuery, cnvDispValues});
}

// Processes paid from an agreement of another entity, with that entity's court code.
void CnvODisp(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kCnvODispLayout, cnvODispQuery, cnvODispValues});
}

// Cancellations published in the month, whatever the start month of the process.
void CancDisp(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kCancDispLayout, cancDispQuery, cancDispValues});
}

void RespDisp(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kRespDispLayout, respDispQuery, respDispValues});
}

}  // namespace tcese
