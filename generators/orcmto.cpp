#include "generators/orcmto.h"

#include <charconv>
#include <optional>
#include <stdexcept>
#include <string>

#include "data/datapacket.h"
#include "engine/orcparams.h"
#include "engine/values.h"

namespace tcese {

constexpr FieldSpec kOrcmtoFields[] = {
    {"ANO", 4, ""},
    {"LEI_PPA", 10, "T"},
    {"DTPUBLICACAO_PPA", 8, "D"},
    {"LEI_LDO", 10, "T"},
    {"DTPUBLICACAO_LDO", 8, "D"},
    {"LEI_ORC", 10, "T"},
    {"DTPUBLICACAO_ORC", 8, "D"},
    {"PERC_SUPLEMENTACAO", 5, "V2"},
    {"PERC_LIM_OP_CRED", 5, "V2"},
    {"ATO_DET_DESPESA", 10, "T"},
    {"DT_ATO_DET_DESPESA", 8, "D"},
    {"NOME_ARQ_PPA", 50, "T"},
    {"NOME_ARQ_LDO", 50, "T"},
    {"NOME_ARQ_ORC", 50, "T"},
    {"NOME_ARQ_RISCO", 50, "T"},
    {"NOME_ARQ_METAS", 50, "T"},
    {"DATA_ENV_LEG_PPA", 8, "D"},
    {"DATA_APROV_LEG_PPA", 8, "D"},
    {"DATA_ENV_LEG_LDO", 8, "D"},
    {"DATA_APROV_LEG_LDO", 8, "D"},
    {"DATA_ENV_LEG_ORC", 8, "D"},
    {"DATA_APROV_LEG_ORC", 8, "D"},
    {"PERC_MIN_EDU", 5, "V2"},
    {"PERC_MAX_PESSOAL", 5, "V2"},
    {"PPA_NOVO_ALTERADO", 1, "T"},
};
const Layout kOrcmtoLayout{kOrcmtoFields};

namespace {

constexpr std::string_view kLogFile = "ORCMTO.TXT";
constexpr std::string_view kResolver = "VERIFIQUE OS PARAMENTROS DO ORÇAMENTO NO TCE/SE";

struct Check {
    enum Kind {
        Blank,  // empty after trimming
        Range,  // the value as a whole number outside [min, max]; empty counts as 0
        Flag,   // PPA_NOVO_ALTERADO: a whole number outside [0, 1]; anything else stops the run
    };
    std::string_view field;
    Kind kind;
    bool onlyNewPpa;  // made only when PPA_NOVO_ALTERADO is "1"
    std::optional<long long> min;
    std::optional<long long> max;
    std::string_view description;
};

// In field order.
const Check kChecks[] = {
    {"LEI_PPA", Check::Blank, true, {}, {}, "LEI DO PPA NÃO PODE FICAR EM BRANCO"},
    {"DTPUBLICACAO_PPA", Check::Blank, true, {}, {}, "DATA DE PUBLICAÇÃO DO PPA NÃO PODE FICAR EM BRANCO"},
    {"LEI_LDO", Check::Blank, false, {}, {}, "LEI DA LDO NÃO PODE FICAR EM BRANCO"},
    {"DTPUBLICACAO_LDO", Check::Blank, false, {}, {}, "DATA DE PUBLICAÇÃO DA LDO NÃO PODE FICAR EM BRANCO"},
    {"LEI_ORC", Check::Blank, false, {}, {}, "LEI DO ORÇAMENTO NÃO PODE FICAR EM BRANCO"},
    {"DTPUBLICACAO_ORC", Check::Blank, false, {}, {}, "DATA DE PUBLICAÇÃO DO ORÇAMENTO NÃO PODE FICAR EM BRANCO"},
    {"PERC_SUPLEMENTACAO", Check::Blank, false, {}, {}, "PERCENTUAL DE SUPLEMENTAÇÃO NÃO PODE FICAR EM BRANCO"},
    {"PERC_SUPLEMENTACAO", Check::Range, false, 0, 100,
     "PERCENTUAL DE SUPLEMENTAÇÃO DEVE SER MAIOR OU IGUAL QUE 0(ZERO) E MENOR QUE 100(CEM)"},
    {"PERC_LIM_OP_CRED", Check::Blank, false, {}, {},
     "PERCENTUAL DE LIMITE DE OPERAÇÃO DE CREDITO NÃO PODE FICAR EM BRANCO"},
    {"PERC_LIM_OP_CRED", Check::Range, false, 0, 100,
     "PERCENTUAL DE LIMITE DE OPERAÇÃO DE CREDITO DEVE SER MAIOR OU IGUAL QUE 0(ZERO) E MENOR QUE 100(CEM)"},
    {"ATO_DET_DESPESA", Check::Blank, false, {}, {},
     "NUMERO DO ATO QUE APROVOU O QUADRO DE DETALHAMENTO DA DESPESA NÃO PODE FICAR EM BRANCO"},
    {"DT_ATO_DET_DESPESA", Check::Blank, false, {}, {},
     "DATA DE PUBLICAÇÃO DO ATAO QUE APROVOU O DETALHAMENTO DA DESPESA NÃO PODE FICAR EM BRANCO"},
    {"NOME_ARQ_PPA", Check::Blank, false, {}, {},
     "NOME DO ARQUIVO TEXTO DO PLANO PLURIANUAL NÃO PODE FICAR EM BRANCO"},
    {"NOME_ARQ_LDO", Check::Blank, false, {}, {},
     "NOME DO ARQUIVO TEXTO DA LEI DE DIRETRIZES ORÇAMENTARIAS NÃO PODE FICAR EM BRANCO"},
    {"NOME_ARQ_ORC", Check::Blank, false, {}, {},
     "NOME DO ARQUIVO TEXTO DA LEI DO ORÇAMENTO NÃO PODE FICAR EM BRANCO"},
    {"NOME_ARQ_RISCO", Check::Blank, false, {}, {},
     "NOME DO ARQUIVO ANEXO DE RISCOS FISCAIS NÃO PODE FICAR EM BRANCO"},
    {"NOME_ARQ_METAS", Check::Blank, false, {}, {},
     "NOME DO ARQUIVO ANEXO DE METAS FISCAIS NÃO PODE FICAR EM BRANCO"},
    {"DATA_ENV_LEG_PPA", Check::Blank, true, {}, {},
     "DATA DE ENVIO AO LEGISLATIVO DA LEI DO PLANO PLURIANUAL NÃO PODE FICAR EM BRANCO"},
    {"DATA_APROV_LEG_PPA", Check::Blank, true, {}, {},
     "DATA DE APROVAÇÃO DO LEGISLATIVO DA LEI DO PLANO PLURIANUAL NÃO PODE FICAR EM BRANCO"},
    {"DATA_ENV_LEG_LDO", Check::Blank, true, {}, {},
     "DATA DE ENVIO AO LEGISLATIVO DA LEI DE DIRETRIZES ORÇAMENTARIAS NÃO PODE FICAR EM BRANCO"},
    {"DATA_APROV_LEG_LDO", Check::Blank, true, {}, {},
     "DATA DE APROVAÇÃO DO LEGISLATIVO DA LEI DE DIRETRIZES ORÇAMENTARIAS NÃO PODE FICAR EM BRANCO"},
    {"DATA_ENV_LEG_ORC", Check::Blank, true, {}, {},
     "DATA DE ENVIO AO LEGISLATIVO DA LEI DO ORÇAMENTO NÃO PODE FICAR EM BRANCO"},
    {"DATA_APROV_LEG_ORC", Check::Blank, true, {}, {},
     "DATA DE APROVAÇÃO DO LEGISLATIVO DA LEI DO ORÇAMENTO NÃO PODE FICAR EM BRANCO"},
    {"PERC_MIN_EDU", Check::Blank, false, {}, {}, "PERCENTUAL MÍNIMO PARA A EDUCAÇÃO NÃO PODE FICAR EM BRANCO"},
    {"PERC_MIN_EDU", Check::Range, false, 25, 100,
     "PERCENTUAL MÍNIMO PARA A EDUCAÇÃO DEVE SER MAIOR OU IGUAL QUE 25(VINTE E CINCO) E MENOR QUE 100(CEM)"},
    {"PERC_MAX_PESSOAL", Check::Blank, false, {}, {}, "PERCENTUAL MÁXIMO PARA PESSOAL NÃO PODE FICAR EM BRANCO"},
    {"PERC_MAX_PESSOAL", Check::Range, false, {}, 60,
     "PERCENTUAL MÁXIMO PARA PESSOAL DEVE SER MENOR OU IGUAL A 60(SESSENTA)"},
    {"PPA_NOVO_ALTERADO", Check::Blank, false, {}, {}, "CAMPO PPA NOVO OU ALTERADO NÃO PODE FICAR EM BRANCO"},
    {"PPA_NOVO_ALTERADO", Check::Flag, false, 0, 1,
     "CAMPO PPA NOVO OU ALTERADO DEVER SER IGUAL A 0(ZERO) OU 1(UM)"},
};

[[noreturn]] void stop(std::string_view fileName, const std::string& what) {
    throw GenerationError("Erro ao gerar o arquivo " + std::string(fileName) + ".txt: " + what);
}

// The whole number of a range test: a percentage with decimals is cut to its whole
// part, an empty one counts as 0. PPA_NOVO_ALTERADO must be a whole number already.
long long wholeNumber(const Exporter& ex, const Record& rec, const Check& c, const std::string& value) {
    const std::string_view t = trimText(value);
    if (c.kind == Check::Flag) {
        long long n = 0;
        const char* b = t.data();
        const char* e = t.data() + t.size();
        if (b != e && *b == '+') ++b;
        const auto [p, ec] = std::from_chars(b, e, n);
        if (t.empty() || ec != std::errc() || p != e)
            throwFieldError(ex, rec.line(), c.field, value,
                            std::runtime_error("'" + value + "' não é um número inteiro"));
        return n;
    }
    if (t.empty()) return 0;
    const auto d = Decimal::tryParse(t);
    if (!d) throwFieldError(ex, rec.line(), c.field, value, std::runtime_error("'" + value + "' não é um número"));
    return d->scaled() / Decimal::kOne;  // toward zero
}

}  // namespace

void Orcmto(Exporter& ex, std::string_view fileName) {
    RunContext& ctx = ex.ctx;
    DataModule& dm = ex.dm;
    ctx.fileHasErrors = false;
    ctx.recordCount = 0;
    ex.setFileProgressMax(0);

    // Checks only for entities of types 1, 12 and 15, and for entity "00".
    bool validate = true;
    if (ctx.entityCode.substr(0, 2) != "00") {
        try {
            dm.Conexao.open(dm.CdsAux, "SELECT * FROM TABEMPRESA WHERE EMPRESA = '" + ctx.entityCode + "'");
        } catch (const std::exception& e) {
            stop(fileName, e.what());
        }
        RecordSet& aux = dm.CdsAux;
        const long long tipo = aux.recordCount() > 0 && !aux.eof() ? aux.field("tipo").asInteger() : 0;
        validate = tipo == 1 || tipo == 12 || tipo == 15;
    }

    RecordSet& xml = dm.CdsXml;
    std::string source;
    try {
        const auto path = orcParamPath(ex.iniFile());
        source = path.string();
        xml.close();
        loadDatapacket(xml, path);
    } catch (const std::exception& e) {
        stop(fileName, e.what());
    }
    for (const FieldSpec& f : kOrcmtoFields) {
        if (f.kind.empty() || xml.fieldIndex(f.name) >= 0) continue;
        stop(fileName, "o arquivo " + source + " não tem o campo " + std::string(f.name));
    }
    ctx.recordCount = xml.recordCount();
    ex.setFileProgressMax(ctx.recordCount);

    ex.CRIAR_ARQ(fileName);
    ex.HEADER();

    // One record from the first row; a file without rows gives empty values.
    Record rec(ex, kOrcmtoLayout, xml.recordCount() == 0 ? 0 : xml.recNo() + 1);
    const bool newPpa = col(xml, "PPA_NOVO_ALTERADO") == "1";
    rec.add("ANO", ctx.fiscalYear);
    for (const FieldSpec& f : kOrcmtoFields) {
        if (f.kind.empty()) continue;
        const std::string value = col(xml, f.name);
        // Checks before the field: an empty amount stops the run only after its entry.
        for (const Check& c : kChecks) {
            if (c.field != f.name || !validate || (c.onlyNewPpa && !newPpa)) continue;
            bool problem = false;
            if (c.kind == Check::Blank) {
                problem = isBlank(value);
            } else {
                const long long n = wholeNumber(ex, rec, c, value);
                problem = (c.min && n < *c.min) || (c.max && n > *c.max);
            }
            if (problem) ex.Log(kLogFile, "ERRO", c.description, kResolver, rec.line());
        }
        const bool ppaOnly = f.name == "LEI_PPA" || f.name == "DTPUBLICACAO_PPA";
        rec.add(f.name, ppaOnly && !newPpa ? std::string() : value);
    }

    if (ctx.cancelRequested) return;
    ex.writeRecord(rec.text());
    ex.processMessages();
    ex.stepFileProgress();
    ex.TRAILER(ctx.recordCount);
    ex.Fecha_arq();
}

}  // namespace tcese
