#include "generators/baixaextra.h"

#include "engine/filegenerator.h"
#include "engine/values.h"

namespace tcese {

namespace {

// After the record type "2".
constexpr FieldSpec kBaixExtOrcRetenFields[] = {
    {"MEXER", 4, "T"}, {"BALCO", 34, "T"}, {"TIPO_BAIXA", 4, "T"},
    {"DTLAN", 8, "D"}, {"VALOR", 15, "V2"}, {"MOTIVO", 100, "T"},
};

constexpr FieldSpec kBaixExtOrcContPagFields[] = {
    {"MEXER", 4, "T"},       {"BALCO", 34, "T"},     {"TIPO_BAIXA", 2, "T"}, {"DTLAN", 8, "D"},
    {"BANCO", 4, "I"},       {"AGENCIA", 6, "I"},    {"CONTA", 10, "I"},     {"DIGITO", 2, "T"},
    {"TIPO_DOC", 2, "T"},    {"DOCUMENTO", 20, "T"}, {"DT_EMISSAO", 8, "D"}, {"VALOR", 15, "V2"},
    {"VALOR", 15, "V2"},
};

// Payments of the month whose commitment has a deduction on an extra-budgetary
// revenue; CADCLI comes first so that the joins still see RATEIO_PAGAMENTO.
std::string fromAndWhere(const RunContext& ctx) {
    return "FROM CADCLI F, RATEIO_PAGAMENTO R INNER JOIN DESPES A ON A.PKEMP = R.PKEMP INNER JOIN DESCEMP B ON "
           "B.PKEMP = R.PKEMP INNER JOIN DESCON C ON C.CONTA = R.CONTA INNER JOIN CONPLA D ON D.BALCO = C.BALCO "
           "INNER JOIN RECDIS E ON E.FICHA = B.FICHA WHERE R.EMPRESA = '" +
           ctx.entityCode + "' " + "AND EXTRACT(MONTH FROM R.DTLAN) = '" + ctx.monthCode + "' " +
           "AND EXTRACT(YEAR FROM R.DTLAN) = '" + ctx.fiscalYear + "' " + "AND E.EXTRA = 'S'";
}

void retenValues(Exporter&, RecordSet& rs, Record& rec) {
    for (std::string_view f : {"MEXER", "BALCO", "TIPO_BAIXA", "DTLAN", "VALOR", "MOTIVO"}) rec.add(f, col(rs, f));
}

void contPagValues(Exporter&, RecordSet& rs, Record& rec) {
    for (std::string_view f : {"MEXER", "BALCO", "TIPO_BAIXA", "DTLAN", "BANCO", "AGENCIA", "CONTA", "DIGITO"})
        rec.add(f, col(rs, f));
    rec.add("TIPO_DOC", "05");
    for (std::string_view f : {"DOCUMENTO", "DT_EMISSAO", "VALOR"}) rec.add(f, col(rs, f));
    rec.add("VALOR", col(rs, "VALOR"));
}

std::string baixExtOrcRetenQuery(const RunContext& ctx) {
    return "SELECT F.MEXER, D.BALCO, CASE WHEN R.VALOR > 0 THEN '01' ELSE '02' END AS TIPO_BAIXA, R.DTLAN, R.VALOR, "
           "CASE WHEN R.VALOR > 0 THEN CAST(NULL AS VARCHAR(100)) ELSE CAST('ANULAÇÃO DO PAGAMENTO' AS "
           "VARCHAR(100)) END AS MOTIVO " +
           fromAndWhere(ctx);
}

std::string baixExtOrcContPagQuery(const RunContext& ctx) {
    return "SELECT F.MEXER, D.BALCO, CASE WHEN R.VALOR > 0 THEN '01' ELSE '02' END AS TIPO_BAIXA, R.DTLAN, "
           "C.BANCO, C.AGENCIA, R.CONTA, CAST(NULL AS VARCHAR(2)) AS DIGITO, R.CHEQN AS DOCUMENTO, R.DTLAN AS "
           "DT_EMISSAO, R.VALOR " +
           fromAndWhere(ctx);
}

}  // namespace

const Layout kBaixExtOrcRetenLayout{kBaixExtOrcRetenFields};
const Layout kBaixExtOrcContPagLayout{kBaixExtOrcContPagFields};

// One record per payment share and extra-budgetary deduction of its commitment;
// zero or negative shares are annulments ("02").
void BaixExtOrcReten(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kBaixExtOrcRetenLayout, baixExtOrcRetenQuery, retenValues});
}

// The same rows with the bank account, the document and the amount paid.
void BaixExtOrcContPag(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kBaixExtOrcContPagLayout, baixExtOrcContPagQuery, contPagValues});
}

}  // namespace tcese
