#include "engine/orcparams.h"

#include "config/encoding.h"
#include "config/pegacaminho.h"
#include "data/datapacket.h"
#include "engine/courttables.h"
#include "engine/values.h"

namespace tcese {

namespace fs = std::filesystem;

namespace {

constexpr OrcParamField kFields[] = {
    {"LEI_PPA", FieldType::String, 20, 0, false, "Lei PPA"},
    {"DTPUBLICACAO_PPA", FieldType::Date, 0, 0, false, "Publ. PPA"},
    {"LEI_LDO", FieldType::String, 20, 0, false, "Lei LDO"},
    {"DTPUBLICACAO_LDO", FieldType::Date, 0, 0, false, "Publ. LDO"},
    {"LEI_ORC", FieldType::String, 8, 0, false, "Lei Orçamento"},
    {"DTPUBLICACAO_ORC", FieldType::Date, 0, 0, false, "Publ. Orçamento"},
    {"PERC_SUPLEMENTACAO", FieldType::FixedFMT, 15, 2, false, "Suplementação (%)"},
    {"PERC_LIM_OP_CRED", FieldType::Float, 0, 0, false, "Operação de Crédito (%)"},
    {"ATO_DET_DESPESA", FieldType::Int32, 0, 0, false, "Nº Ato Detalhamento da Despesa"},
    {"DT_ATO_DET_DESPESA", FieldType::Date, 0, 0, false, "Data do Ato"},
    {"NOME_ARQ_PPA", FieldType::String, 50, 0, false, "Arquivo do PPA"},
    {"NOME_ARQ_LDO", FieldType::String, 50, 0, false, "Arquivo da LDO"},
    {"NOME_ARQ_ORC", FieldType::String, 50, 0, false, "Arquivo do Orçamento"},
    {"NOME_ARQ_RISCO", FieldType::String, 50, 0, false, "Arquivo Anexo Riscos Fiscais"},
    {"NOME_ARQ_METAS", FieldType::String, 50, 0, false, "Arquivo do Anexo de Metas Fiscais"},
    {"DATA_ENV_LEG_PPA", FieldType::Date, 0, 0, false, "Data Envio PPA ao Legislativo"},
    {"DATA_APROV_LEG_PPA", FieldType::Date, 0, 0, false, "Data Aprov. PPA Legislativo"},
    {"DATA_ENV_LEG_LDO", FieldType::Date, 0, 0, false, "Data Envio LDO Legislativo"},
    {"DATA_APROV_LEG_LDO", FieldType::Date, 0, 0, false, "Data Aprov. LDO Legislativo"},
    {"DATA_ENV_LEG_ORC", FieldType::Date, 0, 0, false, "Data Envio Orçamento Legislativo"},
    {"DATA_APROV_LEG_ORC", FieldType::Date, 0, 0, false, "Data Aprov. Orçamento Legislativo"},
    {"PERC_MIN_EDU", FieldType::Float, 0, 0, true, "Percentual Mínimo Educação"},
    {"PERC_MAX_PESSOAL", FieldType::FixedFMT, 15, 2, false, "Percentual Máximo para Pessoal"},
    {"PPA_NOVO_ALTERADO", FieldType::String, 1, 0, true, "PPA Novo ou Alterado - (0) Não (1) Sim"},
};

// Defaults of the save for a blank text; every other blank field is stored empty.
std::string_view saveDefault(std::string_view field) {
    if (field == "PERC_SUPLEMENTACAO" || field == "PERC_LIM_OP_CRED" || field == "PERC_MAX_PESSOAL") return "0";
    if (field == "PERC_MIN_EDU") return "25";
    if (field == "PPA_NOVO_ALTERADO") return "0";
    return {};
}

RecordSet emptyParamTable(std::string name) {
    RecordSet rs(std::move(name));
    for (auto& d : orcParamFieldDefs()) rs.addField(std::move(d));
    rs.createDataSet();
    return rs;
}

}  // namespace

const std::string_view kParamOrcQuery =
    "SELECT LEI_PPA,\n"
    "DTPUBLICACAO_PPA,\n"
    "LEI_LDO,\n"
    "DTPUBLICACAO_LDO,\n"
    "LEI AS LEI_ORC,\n"
    "DTPUBLICACAO AS DTPUBLICACAO_ORC,\n"
    "PERCE AS PERC_SUPLEMENTACAO,\n"
    "CAST(0 AS DOUBLE PRECISION) AS PERC_LIM_OP_CRED,\n"
    "CAST(NULL AS INTEGER) AS ATO_DET_DESPESA,\n"
    "CAST(NULL AS DATE) AS DT_ATO_DET_DESPESA,\n"
    "CAST(NULL AS VARCHAR(50)) AS NOME_ARQ_PPA,\n"
    "CAST(NULL AS VARCHAR(50)) AS NOME_ARQ_LDO,\n"
    "CAST(NULL AS VARCHAR(50)) AS NOME_ARQ_ORC,\n"
    "CAST(NULL AS VARCHAR(50)) AS NOME_ARQ_RISCO,\n"
    "CAST(NULL AS VARCHAR(50)) AS NOME_ARQ_METAS,\n"
    "CAST(NULL AS DATE) AS DATA_ENV_LEG_PPA,\n"
    "CAST(NULL AS DATE) AS DATA_APROV_LEG_PPA,\n"
    "CAST(NULL AS DATE) AS DATA_ENV_LEG_LDO,\n"
    "CAST(NULL AS DATE) AS DATA_APROV_LEG_LDO,\n"
    "CAST(NULL AS DATE) AS DATA_ENV_LEG_ORC,\n"
    "CAST(NULL AS DATE) AS DATA_APROV_LEG_ORC,\n"
    "CAST(25 AS DOUBLE PRECISION) AS PERC_MIN_EDU,\n"
    "PORCENTO AS PERC_MAX_PESSOAL,\n"
    "CAST('0' AS VARCHAR(1)) AS PPA_NOVO_ALTERADO\n"
    "FROM PARAMORC";

std::span<const OrcParamField> orcParamFields() { return kFields; }

std::vector<FieldDef> orcParamFieldDefs() {
    std::vector<FieldDef> defs;
    for (const auto& f : kFields) {
        FieldDef d;
        d.name = std::string(f.name);
        d.type = f.type;
        d.width = f.width;
        d.decimals = f.decimals;
        d.required = f.required;
        defs.push_back(std::move(d));
    }
    return defs;
}

fs::path orcParamPath(const fs::path& iniFile) {
    return findFileNoCase(fs::path(PegaCaminho("D", iniFile)), kOrcParamFile);
}

void loadOrcParams(RecordSet& rs, const fs::path& file) {
    RecordSet read(rs.name());
    loadDatapacket(read, file);
    std::vector<FieldDef> defs = read.fields();
    for (auto& d : defs) {
        for (const auto& f : kFields)
            if (iequals(d.name, f.name)) d.required = f.required;
    }
    rs.close();
    rs.assign(std::move(defs), read.rows());
}

bool createOrcParamsIfMissing(Connection& db, const fs::path& iniFile) {
    const fs::path file = orcParamPath(iniFile);
    std::error_code ec;
    if (fs::exists(file, ec)) return false;

    RecordSet query("PARAMORC");
    db.open(query, kParamOrcQuery);
    // The file keeps the declared types, so it reads back as the screen saves it.
    RecordSet table = emptyParamTable("ORC_TCE_SE");
    for (query.first(); !query.eof(); query.next()) {
        table.append();
        for (const auto& f : kFields) {
            const Field src = query.field(f.name);
            if (!src.isNull()) table.field(f.name).setAsString(src.asString());
        }
        table.post();
    }
    saveDatapacket(table, file);
    return true;
}

void saveOrcParams(RecordSet& displayed, const fs::path& file) {
    if (displayed.mode() != RecordSet::Mode::Browse) displayed.post();

    RecordSet copy = emptyParamTable("ORC_TCE_SE");
    for (displayed.first(); !displayed.eof(); displayed.next()) {
        // One row: each row of the displayed table overwrites it.
        if (copy.recordCount() == 0) {
            copy.append();
        } else {
            copy.edit();
        }
        for (const auto& f : kFields) {
            const std::string text = displayed.field(f.name).asString();
            Field dst = copy.field(f.name);
            if (isBlank(text)) {
                const std::string_view def = saveDefault(f.name);
                if (def.empty()) {
                    dst.setNull();
                } else {
                    dst.setAsString(def);
                }
            } else {
                dst.setAsString(text);
            }
        }
        copy.post();
    }
    saveDatapacket(copy, file);
}

}  // namespace tcese
