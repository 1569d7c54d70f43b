#include "generators/comissoes.h"

#include <string>

#include "engine/filegenerator.h"
#include "engine/values.h"

namespace tcese {

namespace {

constexpr FieldSpec kComissaoFields[] = {
    {"ATO_LEGAL", 2, "T"}, {"PORTARIA", 10, "I"}, {"DT_INI_VIGE", 8, "D"}, {"DT_FIM_VIGE", 8, "D"},
    {"ANO_ATO", 4, "T"},   {"TIPO", 1, "T"},      {"ARQ", 50, "T"},
};

constexpr FieldSpec kComMembFields[] = {
    {"ATO_LEGAL", 2, "T"}, {"PORTARIA", 10, "I"},      {"DT_INI_VIGE", 8, "D"}, {"CPF", 11, "I"},
    {"NOME", 50, "T"},     {"FORMACAO_PROF", 120, "T"}, {"QUALIF", 120, "T"},
};

// The register has no entity column: no entity filter here.
std::string comissaoQuery(const RunContext& ctx) {
    return "SELECT DISTINCT '02' AS ATO_LEGAL, A.PORTARIA, A.dt_ini_vige, A.DT_FIM_VIGE, "
           "EXTRACT(YEAR FROM A.DATA) AS ANO_ATO, A.TIPO, 'NOMCOMISSAO'||A.codcomiss||'.DOC' AS ARQ "
           "FROM COMISSAO A WHERE EXTRACT(MONTH FROM A.DATA) = '" +
           ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM A.DATA) = '" + ctx.fiscalYear + "'";
}

std::string comMembQuery(const RunContext& ctx) {
    return "SELECT DISTINCT '02' AS ATO_LEGAL, B.PORTARIA, B.dt_ini_vige, A.CPF,A.NOME,A.formacao_prof, "
           "A.cargo as qualif FROM MEMBROS A INNER JOIN COMISSAO B ON B.CODCOMISS = A.CODCOMISS "
           "WHERE EXTRACT(MONTH FROM B.DATA) = '" +
           ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM B.DATA) = '" + ctx.fiscalYear + "'";
}

void comissaoValues(Exporter&, RecordSet& rs, Record& rec) {
    rec.add("ATO_LEGAL", col(rs, "ATO_LEGAL"))
        .add("PORTARIA", col(rs, "PORTARIA"))
        .add("DT_INI_VIGE", col(rs, "DT_INI_VIGE"))
        .add("DT_FIM_VIGE", col(rs, "DT_FIM_VIGE"))
        .add("ANO_ATO", col(rs, "ANO_ATO"))
        .add("TIPO", col(rs, "TIPO"))
        .add("ARQ", col(rs, "ARQ"));
}

void comMembValues(Exporter&, RecordSet& rs, Record& rec) {
    rec.add("ATO_LEGAL", col(rs, "ATO_LEGAL"))
        .add("PORTARIA", col(rs, "PORTARIA"))
        .add("DT_INI_VIGE", col(rs, "DT_INI_VIGE"))
        .add("CPF", col(rs, "CPF"))
        .add("NOME", col(rs, "NOME"))
        .add("FORMACAO_PROF", col(rs, "FORMACAO_PROF"))
        .add("QUALIF", col(rs, "QUALIF"));
}

}  // namespace

const Layout kComissaoLayout{kComissaoFields};
const Layout kComMembLayout{kComMembFields};

void Comissao(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kComissaoLayout, comissaoQuery, comissaoValues});
}

void ComMemb(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kComMembLayout, comMembQuery, comMembValues});
}

}  // namespace tcese
