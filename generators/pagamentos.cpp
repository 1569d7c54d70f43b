#include "generators/pagamentos.h"

#include <optional>
#include <string>

#include "engine/courttables.h"
#include "engine/filegenerator.h"
#include "engine/values.h"

namespace tcese {

namespace {

// After the record type "2". Kind "" marks the fields formatted here.
constexpr FieldSpec kNotaPagFields[] = {
    {"ANO_EMPENHO", 4, "T"}, {"EMPENHO", 16, "I"}, {"DT_PAG", 8, "D"},
    {"PROC", 20, "T"},       {"VLR_BRUTO", 15, "V2"},
};

constexpr FieldSpec kCtaPagFields[] = {
    {"ANO_EMPENHO", 4, "T"}, {"EMPENHO", 16, "T"},    {"DT_PAG", 8, "D"},   {"PROC", 20, "T"},
    {"BANCO", 4, "T"},       {"AGENCIA", 6, ""},      {"CONTA", 10, ""},    {"DIGITO", 2, ""},
    {"DOC", 10, "T"},        {"VLR_DOC", 15, "V2"},   {"VALOR", 15, "V2"},  {"TIPO_DOC", 2, "T"},
    {"ESPECIFICACAO", 120, "T"},
};

constexpr FieldSpec kRetenEmpFields[] = {
    {"ANO_EMPENHO", 4, "T"},    {"EMPENHO", 16, "I"}, {"DT_PAG", 8, "D"},    {"PROCESSO", 20, "T"},
    {"DT_ANOATIVACAO", 4, "T"}, {"CONTA", 34, "T"},   {"VLR_RET", 15, "V2"},
};

constexpr FieldSpec kEstNotPgFields[] = {
    {"ANO_EMPENHO", 4, "T"}, {"EMPENHO", 16, "I"}, {"DT_PAG", 8, "D"},       {"PROC", 20, "T"},
    {"DATA_BAIXA", 8, "D"},  {"CHEQN", 250, "T"},  {"VLR_BAIXA", 15, "V2"},
};

constexpr FieldSpec kEstNotCtFields[] = {
    {"ANO_EMPENHO", 4, "T"}, {"EMPENHO", 16, "I"}, {"DATA_PAG", 8, "D"}, {"DATA_ESTORNO", 8, "D"},
    {"BANCO", 4, "I"},       {"AGENCIA", 6, "I"},  {"CONTA", 10, "I"},   {"DIGITO", 2, "T"},
    {"VALOR", 15, "V2"},     {"FORMA_ESTORNO", 2, "T"},
};

constexpr std::string_view kMenuEmpenho = "MÓDULO CONTAS - MENU DESPESAS > 01 - EMPENHO - (EMPENHO Nº ";
constexpr std::string_view kModuloContas = "MÓDULO CONTAS - (EMPENHO Nº ";

std::string resolver(std::string_view beginning, const std::string& empenho) {
    return std::string(beginning) + empenho + ") !";
}

// Month and year of a date column, as the payment queries compare them.
std::string monthAndYear(const RunContext& ctx, std::string_view column) {
    return "EXTRACT(MONTH FROM " + std::string(column) + ") = '" + ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM " +
           std::string(column) + ") = '" + ctx.fiscalYear + "' ";
}

std::string notaPagQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM D.DATAE) AS ANO_EMPENHO, D.NEMPG AS EMPENHO, R.DTLAN AS DT_PAG, R.ORDPG AS "
           "PROC, SUM(R.VALOR) AS VLR_BRUTO FROM RATEIO_PAGAMENTO R INNER JOIN DESPES D ON D.PKEMP = R.PKEMP WHERE " +
           monthAndYear(ctx, "R.DTLAN") + "AND R.VALOR > 0 " + entityFilter(ctx, "R") + " " +
           "GROUP BY D.DATAE,D.NEMPG,R.DTLAN,R.ORDPG";
}

std::string ctaPagQuery(const RunContext& ctx) {
    return "SELECT R.PKEMP, EXTRACT(YEAR FROM D.DATAE) AS ANO_EMPENHO, D.NEMPG AS EMPENHO, R.DTLAN AS DT_PAG, "
           "R.ORDPG AS PROC, CASE WHEN E.BANCO = '000' THEN '' ELSE E.BANCO END AS BANCO, CASE WHEN E.AGENCIA = "
           "'0000-0' then '' ELSE E.AGENCIA END AS AGENCIA, CAST(NULL AS VARCHAR(2)) AS DIGITO, CASE WHEN E.BANCO "
           "= '000' THEN '' ELSE R.CHEQN END AS DOC, R.CONTA, R.VALOR AS VLR_DOC, CASE WHEN E.BANCO = '000' THEN "
           "'04' ELSE '05' END AS TIPO_DOC, CAST(NULL AS VARCHAR(120)) AS ESPECIFICACAO, R.VALOR FROM "
           "RATEIO_PAGAMENTO R INNER JOIN DESPES D ON D.PKEMP = R.PKEMP INNER JOIN DESCON E ON E.CONTA = R.CONTA "
           "AND R.EMPRESA = E.EMPRESA WHERE " +
           monthAndYear(ctx, "R.DTLAN") + "and R.VALOR > 0 " + entityFilter(ctx, "R") + " ";
}

std::string retenEmpQuery(const RunContext& ctx) {
    return "SELECT E.SEQ_TCE, EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, A.NEMPG AS EMPENHO, A.DTPAG AS DT_PAG, "
           "A.PROC AS PROCESSO, C.BALCO AS CONTA, SUM(A.DESCO) AS VLR_RET FROM DESPES A INNER JOIN RECEIT B ON "
           "B.PKEMP = A.PKEMP INNER JOIN DESCON C ON C.CONTA = B.CONTA INNER JOIN DESDIS D ON D.FICHA = A.FICHA "
           "INNER JOIN CONPLA E ON E.BALCO = C.BALCO WHERE A.DESCO <> 0 AND D.EXTRA = 'N' AND " +
           monthAndYear(ctx, "A.DTPAG") + "AND D.EMPRESA = '" + ctx.entityCode + "' " +
           "GROUP BY E.SEQ_TCE,A.DATAE,A.NEMPG,A.DTPAG,A.PROC,C.BALCO ";
}

std::string estNotPgQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM D.DATAE) AS ANO_EMPENHO, D.NEMPG AS EMPENHO, D.DTPAG AS DT_PAG, R.DTLAN AS "
           "DATA_BAIXA, D.PROC, R.CHEQN, SUM(R.VALOR) AS VLR_BAIXA FROM RATEIO_PAGAMENTO R INNER JOIN DESPES D ON "
           "D.PKEMP = R.PKEMP WHERE " +
           monthAndYear(ctx, "R.DTLAN") + entityFilter(ctx, "R") + " " + "AND R.VALOR < 0 " +
           "GROUP BY D.DATAE,D.NEMPG,D.DTPAG,R.DTLAN,D.PROC,R.CHEQN";
}

std::string estNotCtQuery(const RunContext& ctx) {
    return "SELECT A.PKEMPA, EXTRACT(YEAR FROM A.DATAE) AS ANO_EMPENHO, R.NEMPG AS EMPENHO, R.DTLAN AS "
           "DATA_ESTORNO, CASE WHEN SUBSTRING(B.BALCO FROM 1 FOR 4) = '3111' THEN '' ELSE B.BANCO END AS BANCO, "
           "CASE WHEN SUBSTRING(B.BALCO FROM 1 FOR 4) = '3111' THEN '' ELSE B.AGENCIA END AS AGENCIA, CASE WHEN "
           "SUBSTRING(B.BALCO FROM 1 FOR 4) = '3111' THEN '' ELSE R.CONTA END AS CONTA, CAST(NULL AS VARCHAR(2)) "
           "AS DIGITO, R.VALOR, CASE WHEN SUBSTRING(B.BALCO FROM 1 FOR 4) = '3111' THEN '01' ELSE '02' END AS "
           "FORMA_ESTORNO FROM RATEIO_PAGAMENTO R INNER JOIN DESPES A ON A.PKEMP = R.PKEMP LEFT JOIN DESCON B ON "
           "B.CONTA = R.CONTA INNER JOIN DESDIS C ON C.FICHA = A.FICHA WHERE R.VALOR < 0 AND " +
           monthAndYear(ctx, "R.DTLAN") + "AND C.EMPRESA = '" + ctx.entityCode + "' ";
}

// One parameter: the commitment key.
const char* const kPaymentDateQuery =
    "SELECT R.DTLAN AS DATA_PAG FROM RATEIO_PAGAMENTO R WHERE R.PKEMP = ? AND R.VALOR > 0";

[[noreturn]] void stop(std::string_view fileName, const std::string& what) {
    throw GenerationError("Erro ao gerar o arquivo " + std::string(fileName) + ".txt: " + what);
}

void notaPagValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const std::string empenho = col(rs, "EMPENHO");
    auto required = [&](std::string_view field, std::string_view beginning, std::string_view descricao) {
        const std::string v = col(rs, field);
        if (isBlank(v)) ex.Log("NOTAPAG.TXT", "ERRO", descricao, resolver(beginning, empenho), rec.line());
        rec.add(field, v);
    };
    required("ANO_EMPENHO", kMenuEmpenho, "ANO DO EMPENHO DA NOTA DE PAGAMENTO NÃO PODE FICAR EM BRANCO");
    required("EMPENHO", kMenuEmpenho, "NÚMERO DO EMPENHO DA NOTA DE PAGAMENTO NÃO PODE FICAR EM BRANCO");
    required("DT_PAG", kModuloContas, "DATA DA NOTA DE PAGAMENTO NÃO PODE FICAR EM BRANCO");
    required("PROC", kModuloContas, "PROCESSO ADMINISTRATIVO DA NOTA DE PAGAMENTO NÃO PODE FICAR EM BRANCO");
    required("VLR_BRUTO", kModuloContas, "VALOR BRUTO DA NOTA DE PAGAMENTO NÃO PODE FICAR EM BRANCO");
}

void ctaPagValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const std::string empenho = col(rs, "EMPENHO");
    // A payment from an account without a bank carries no bank data and no bank checks.
    const bool noBank = col(rs, "TIPO_DOC") == "04";
    auto check = [&](const std::string& v, std::string_view descricao) {
        if (isBlank(v)) ex.Log("CTAPAG.TXT", "ERRO", descricao, resolver(kModuloContas, empenho), rec.line());
    };
    auto text = [&](std::string_view field, bool checked, std::string_view descricao) {
        const std::string v = col(rs, field);
        if (checked) check(v, descricao);
        rec.add(field, v);
    };
    auto bankId = [&](std::string_view field, int width, std::string_view descricao) {
        const std::string v = col(rs, field);
        if (!noBank) check(v, descricao);
        rec.add(field, noBank ? ex.Ret(width, "", "S", "T") : ex.Ret(width, v, "S", "I"));
    };

    text("ANO_EMPENHO", true, "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    text("EMPENHO", true, "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    text("DT_PAG", true, "DATA DE PAGAMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    text("PROC", !noBank, "PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO");
    text("BANCO", !noBank, "CÓDIGO DO BANCO NÃO PODE FICAR EM BRANCO");
    bankId("AGENCIA", 6, "CÓDIGO DA AGÊNCIA NÃO PODE FICAR EM BRANCO");
    bankId("CONTA", 10, "NÚMERO DA CONTA BANCÁRIA NÃO PODE FICAR EM BRANCO");
    bankId("DIGITO", 2, "DIGITO DA CONTA BANCÁRIA NÃO PODE FICAR EM BRANCO");
    const std::string doc = col(rs, "DOC");
    if (!noBank) check(doc, "NÚMERO DO DOCUMENTO UTILIZADO PARA PAGAMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("DOC", flattenLineBreaks(doc, 10));  // a line break would split the record
    text("VLR_DOC", true, "VALOR DO DOCUMENTO NÃO PODE FICAR EM BRANCO");
    text("VALOR", true, "VALOR NÃO PODE FICAR EM BRANCO");
    rec.add("TIPO_DOC", col(rs, "TIPO_DOC"));
    rec.add("ESPECIFICACAO", col(rs, "ESPECIFICACAO"));
}

// The court's chart of accounts with the year each account became valid.
class AccountYears {
public:
    explicit AccountYears(Exporter& ex, std::string_view fileName) : xml_(ex.dm.CdsXml) {
        try {
            loadCourtTable(xml_, ex.iniFile(), kPlanoContasTable);
            xml_.setIndexFieldNames("nu_SequencialTc");
            if (xml_.fieldIndex("nu_SequencialTC") < 0 || xml_.fieldIndex("dt_anoativacao") < 0)
                stop(fileName, "o arquivo " + courtTablePath(ex.iniFile(), kPlanoContasTable).string() +
                                   " não tem os campos nu_SequencialTC e dt_AnoAtivacao");
        } catch (const GenerationError&) {
            throw;
        } catch (const std::exception& e) {
            stop(fileName, e.what());
        }
    }

    // The first account, in sequence order, whose number begins with `seq`.
    // Nothing when none does: any other row's year would be another account's.
    std::optional<std::string> find(const std::string& seq) {
        if (isBlank(seq) || xml_.recordCount() == 0) return std::nullopt;
        xml_.first();
        if (!xml_.locate("nu_SequencialTC", seq, LocateCaseInsensitive | LocatePartialKey)) return std::nullopt;
        return xml_.field("dt_anoativacao").asString();
    }

private:
    RecordSet& xml_;
};

void retenEmpRecord(Exporter& ex, RecordSet& rs, Record& rec, const std::optional<std::string>& year) {
    const std::string empenho = col(rs, "EMPENHO");
    auto log = [&](std::string_view descricao) {
        ex.Log("RETENEMP.TXT", "ERRO", descricao, resolver(kModuloContas, empenho), rec.line());
    };
    auto required = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        if (isBlank(v)) log(descricao);
        rec.add(field, v);
    };
    required("ANO_EMPENHO", "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("EMPENHO", "EMPENHO NÃO PODE FICAR EM BRANCO");
    required("DT_PAG", "DATA DE PAGAMENTO NÃO PODE FICAR EM BRANCO");
    required("PROCESSO", "PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO");
    if (!year) {
        ex.Log("RETENEMP.TXT", "ERRO", "CONTA CONTÁBIL NÃO ENCONTRADA NO PLANO DE CONTAS DO TCE/SE",
               "MÓDULO TCE - PLANO DE CONTAS - (CONTA " + col(rs, "CONTA") + ") !", rec.line());
    }
    rec.add("DT_ANOATIVACAO", year.value_or(""));
    required("CONTA", "CONTA CONTÁBIL NÃO PODE FICAR EM BRANCO");
    required("VLR_RET", "VALOR DE RETENÇÃO NÃO PODE FICAR EM BRANCO");
}

void estNotPgValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const std::string empenho = col(rs, "EMPENHO");
    auto required = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        if (isBlank(v)) ex.Log("ESTNOTPG.TXT", "ERRO", descricao, resolver(kModuloContas, empenho), rec.line());
        return v;
    };
    rec.add("ANO_EMPENHO", required("ANO_EMPENHO", "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("EMPENHO", required("EMPENHO", "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    rec.add("DT_PAG", required("DT_PAG", "DATA DE PAGAMENTO NÃO PODE FICAR EM BRANCO"));
    rec.add("PROC", required("PROC", "PROCESSO ADMINISTRATIVO NÃO PODE FICAR EM BRANCO"));
    rec.add("DATA_BAIXA", required("DATA_BAIXA", "DATA DO ESTORNO NÃO PODE FICAR EM BRANCO"));
    // The reason is free text: a line break would split the record.
    rec.add("CHEQN", flattenLineBreaks(required("CHEQN", "MOTIVO DO ESTORNO NÃO PODE FICAR EM BRANCO"), 250));
    rec.add("VLR_BAIXA", required("VLR_BAIXA", "VALOR DO ESTORNO NÃO PODE FICAR EM BRANCO"));
}

void estNotCtValues(Exporter& ex, RecordSet& rs, Record& rec) {
    // The payment date is that of the first positive share of the commitment reversed.
    RecordSet& aux = ex.dm.CdsAux;
    aux.close();
    try {
        ex.dm.Conexao.open(aux, kPaymentDateQuery, {col(rs, "PKEMPA")});
    } catch (const std::exception& e) {
        throw GenerationError("Erro ao gerar o arquivo " + ex.ctx.currentFileName + ": " + e.what());
    }
    const std::string dataPag = col(aux, "DATA_PAG");

    const std::string empenho = col(rs, "EMPENHO");
    const bool toBank = col(rs, "FORMA_ESTORNO") == "02";
    auto check = [&](bool applies, const std::string& v, std::string_view descricao) {
        if (applies && isBlank(v))
            ex.Log("ESTNOTCT.TXT", "ERRO", descricao, resolver(kModuloContas, empenho), rec.line());
        return v;
    };
    auto required = [&](std::string_view field, bool applies, std::string_view descricao) {
        rec.add(field, check(applies, col(rs, field), descricao));
    };
    required("ANO_EMPENHO", true, "ANO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("EMPENHO", true, "NÚMERO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    rec.add("DATA_PAG", check(true, dataPag, "DATA DE PAGAMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    required("DATA_ESTORNO", true, "DATA DE ESTORNO DO PAGAMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO");
    required("BANCO", toBank, "BANCO NÃO PODE FICAR EM BRANCO");
    required("AGENCIA", toBank, "AGÊNCIA NÃO PODE FICAR EM BRANCO");
    required("CONTA", toBank, "CONTA NÃO PODE FICAR EM BRANCO");
    required("DIGITO", toBank, "DIGITO DA CONTA NÃO PODE FICAR EM BRANCO");
    // The reversed amount is reported without its minus sign.
    std::string valor = col(rs, "VALOR");
    if (!valor.empty() && valor.front() == '-') valor.erase(0, 1);
    rec.add("VALOR", valor);
    rec.add("FORMA_ESTORNO", col(rs, "FORMA_ESTORNO"));
}

}  // namespace

const Layout kNotaPagLayout{kNotaPagFields};
const Layout kCtaPagLayout{kCtaPagFields};
const Layout kRetenEmpLayout{kRetenEmpFields};
const Layout kEstNotPgLayout{kEstNotPgFields};
const Layout kEstNotCtLayout{kEstNotCtFields};

// Positive shares of the month, summed per commitment, date and payment order.
void NotaPag(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kNotaPagLayout, notaPagQuery, notaPagValues});
}

// Each positive share of the month with the account it was paid from.
void CtaPag(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kCtaPagLayout, ctaPagQuery, ctaPagValues});
}

// Retentions of the commitments paid in the month, per revenue ledger account,
// with the year the court's account became valid.
void RetenEmp(Exporter& ex, std::string_view fileName) {
    RunContext& ctx = ex.ctx;
    DataModule& dm = ex.dm;
    ctx.fileHasErrors = false;
    ctx.recordCount = 0;
    ex.setFileProgressMax(0);

    ex.CRIAR_ARQ(fileName);
    ex.HEADER();
    try {
        dm.Conexao.open(dm.CdsGeral, retenEmpQuery(ctx));
    } catch (const std::exception& e) {
        stop(fileName, e.what());
    }
    if (ctx.cancelRequested) return;
    AccountYears years(ex, fileName);

    RecordSet& rs = dm.CdsGeral;
    ctx.recordCount = rs.recordCount();
    ex.setFileProgressMax(ctx.recordCount);
    while (!rs.eof()) {
        const std::optional<std::string> year = years.find(col(rs, "SEQ_TCE"));
        if (ctx.cancelRequested) return;
        Record rec(ex, kRetenEmpLayout, rs.recNo() + 1);
        retenEmpRecord(ex, rs, rec, year);
        if (ctx.cancelRequested) return;
        ex.writeRecord(rec.text());
        ex.stepFileProgress();
        rs.next();
        ex.processMessages();
    }
    ex.TRAILER(ctx.recordCount);
    ex.Fecha_arq();
}

// Negative shares of the month, summed per commitment, dates, process and cheque.
void EstNotPg(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kEstNotPgLayout, estNotPgQuery, estNotPgValues});
}

// Each negative share of the month with the account the money returned to.
void EstNotCt(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kEstNotCtLayout, estNotCtQuery, estNotCtValues});
}

}  // namespace tcese
