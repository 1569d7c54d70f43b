#include "generators/tesouraria.h"

#include <string>

#include "engine/courttables.h"
#include "engine/filegenerator.h"
#include "engine/values.h"

namespace tcese {

namespace {

constexpr FieldSpec kMovContFields[] = {
    {"ANO", 4, "T"},
    {"CODIGO_CONTA", 34, "T"},
    {"TIPO_MOV", 2, "T"},
    {"DEBITO", 15, "V2"},
    {"CREDITO", 15, "V2"},
    {"ANO_REFERENCIA", 4, "T"},
    {"MES_REFERENCIA", 2, "T"},
};

constexpr FieldSpec kAgenciaFields[] = {
    {"BANCO", 4, "T"},
    {"AGENCIA", 6, "I"},
    {"NOMEAGENCIA", 100, "T"},
};

constexpr FieldSpec kContaBanFields[] = {
    {"BANCO", 4, "T"},
    {"AGENCIA", 6, "I"},
    {"CONTA", 10, "I"},
    {"DIGITO", 2, "T"},
    {"TIPO_CONTA", 2, "T"},
    {"NOME_CONTA", 100, "T"},
};

constexpr FieldSpec kConciliaFields[] = {
    {"ANO", 4, "T"},
    {"CONTA_CONTABIL", 34, "T"},
    {"DATA", 8, "D"},
    {"SALDOBANCO", 15, "V2"},
    {"ANO_REFERENCIA", 4, "T"},
    {"MES_REFERENCIA", 2, "T"},
};

constexpr FieldSpec kValConcFields[] = {
    {"ANO", 4, ""},  // the year as it is, unformatted
    {"CONTA_CONTABIL", 34, "T"},
    {"TIPO", 2, "T"},
    {"NOME", 120, "T"},
    {"DATA", 8, "D"},
    {"SALDO", 15, "V2"},
    {"ANO_REFERENCIA", 4, "T"},
    {"MES_REFERENCIA", 2, "T"},
};

constexpr FieldSpec kArrecRecFields[] = {
    {"ANO_RECEITA", 4, "T"},
    {"COD_RECEITA", 8, "T"},
    {"VALOR", 15, "T"},  // the amount's plain text, not a money field
    {"MES_RECEITA", 2, "I"},
};

std::string movContQuery(const RunContext& ctx) {
    return "SELECT B.SEQ_TCE, A.BALCO AS CODIGO_CONTA, '02' AS TIPO_MOV, SUM(A.DEBIT) AS DEBITO, SUM(A.CREDI) AS "
           "CREDITO FROM CONDIA A  INNER JOIN CONPLA B ON B.BALCO = A.BALCO WHERE A.BALCO IS NOT NULL AND "
           "EXTRACT(MONTH FROM A.DATAE) = '" +
           ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM A.DATAE) = '" + ctx.fiscalYear + "' " +
           "GROUP BY A.BALCO,B.SEQ_TCE";
}

std::string agenciaQuery(const RunContext&) {
    return "SELECT A.BANCO, A.AGENCIA, A.NOMEAGENCIA FROM AGENCIA A WHERE A.BANCO <> '000'";
}

std::string contaBanQuery(const RunContext& ctx) {
    return "SELECT A.BANCO, A.AGENCIA, A.CONTA, CAST(NULL AS VARCHAR(2)) AS DIGITO, CAST('01' AS VARCHAR(2)) AS "
           "TIPO_CONTA, A.RECUR AS NOME_CONTA FROM DESCON A WHERE A.EMPRESA = '" +
           ctx.entityCode + "' " + "AND SUBSTRING(A.BALCO FROM 1 FOR 4) <> '3111'";
}

std::string conciliaQuery(const RunContext& ctx) {
    return "SELECT DISTINCT C.SEQ_TCE, B.BALCO AS CONTA_CONTABIL, A.SALDOBANCO FROM CONCILIA('" +
           reconciliationDate(ctx) + "') A " + "INNER JOIN DESCON B ON B.CONTA = A.CONTA " +
           "INNER JOIN CONPLA C ON C.BALCO = B.BALCO " + "WHERE B.EMPRESA = '" + ctx.entityCode + "' " +
           "AND SUBSTRING(B.BALCO FROM 1 FOR 4) <> '3111'";
}

std::string valConcQuery(const RunContext& ctx) {
    return "SELECT B.BALCO AS CONTA_CONTABIL, CASE WHEN A.GRUPO = '0' THEN '01' WHEN A.GRUPO = '1' THEN '02' WHEN "
           "A.GRUPO = '2' THEN '05' WHEN A.GRUPO = '3' THEN '04' WHEN A.GRUPO = '4' THEN '03' END AS TIPO, "
           "A.CONTA||'-'||A.NOME AS NOME, A.DTLAN, A.SALDO FROM CONCILIA('" +
           reconciliationDate(ctx) + "') A " + "INNER JOIN DESCON B ON B.CONTA = A.CONTA " +
           "WHERE (A.GRUPO > 0 AND A.GRUPO < 5)" + "AND B.EMPRESA = '" + ctx.entityCode + "' " +
           "AND B.BALCO NOT LIKE '3111%' ";
}

std::string arrecRecQuery(const RunContext& ctx) {
    return "SELECT EXTRACT(YEAR FROM A.DTREC) AS ANO_RECEITA, SUBSTRING(B.CODRE FROM 1 FOR 4)|| SUBSTRING(B.CODRE "
           "FROM 6 FOR 2)|| SUBSTRING(B.CODRE FROM 9 FOR 2) AS COD_RECEITA, SUM(VAREC) AS VALOR, EXTRACT(MONTH FROM "
           "A.DTREC) AS MES_RECEITA FROM RECEIT A INNER JOIN RECDIS B ON B.FICHA = A.FICHA WHERE EXTRACT(MONTH FROM "
           "A.DTLAN) = '" +
           ctx.monthCode + "' " + "AND EXTRACT(YEAR FROM A.DTLAN) = '" + ctx.fiscalYear + "' " +
           entityFilter(ctx, "B") + " " + "GROUP BY " + "A.DTREC, " + "B.CODRE";
}

// A month without debits (or credits) on an account sums to NULL: its total is zero,
// not a missing number.
std::string totalOrZero(std::string total) { return isBlank(total) ? "0" : total; }

void movContValues(Exporter& ex, RecordSet& rs, Record& rec) {
    rec.add("ANO", ex.ctx.fiscalYear);
    rec.add("CODIGO_CONTA", col(rs, "CODIGO_CONTA"));
    rec.add("TIPO_MOV", "02");
    rec.add("DEBITO", totalOrZero(col(rs, "DEBITO")));
    rec.add("CREDITO", totalOrZero(col(rs, "CREDITO")));
    rec.add("ANO_REFERENCIA", ex.ctx.fiscalYear);
    rec.add("MES_REFERENCIA", ex.ctx.monthCode);
}

void agenciaValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const std::string agencia = col(rs, "AGENCIA");
    const std::string resolver = "MÓDULO CONTAS - (AGENCIA Nº " + agencia + ") !";
    auto field = [&](std::string_view name, const std::string& value, std::string_view descricao) {
        if (isBlank(value)) ex.Log("AGENCIA.TXT", "ERRO", descricao, resolver, rec.line());
        rec.add(name, value);
    };
    field("BANCO", col(rs, "BANCO"), "CÓDIGO DO BANCO NÃO PODE FICAR EM BRANCO");
    field("AGENCIA", agencia, "CÓDIGO DA AGÊNCIA NÃO PODE FICAR EM BRANCO");
    field("NOMEAGENCIA", col(rs, "NOMEAGENCIA"), "DESCRIÇÃO DA AGÊNCIA NÃO PODE FICAR EM BRANCO");
}

void contaBanValues(Exporter& ex, RecordSet& rs, Record& rec) {
    const std::string conta = col(rs, "CONTA");
    const std::string resolver = "MÓDULO CONTAS - (CONTA Nº " + conta + ") !";
    auto field = [&](std::string_view name, const std::string& value, std::string_view descricao) {
        if (isBlank(value)) ex.Log("CONTABAN.TXT", "ERRO", descricao, resolver, rec.line());
        rec.add(name, value);
    };
    field("BANCO", col(rs, "BANCO"), "CÓDIGO DO BANCO NÃO PODE FICAR EM BRANCO");
    field("AGENCIA", col(rs, "AGENCIA"), "CÓDIGO DA AGENCIA NÃO PODE FICAR EM BRANCO");
    field("CONTA", conta, "NÚMERO DA CONTA NÃO PODE FICAR EM BRANCO");
    rec.add("DIGITO", retorna_digito(conta));
    rec.add("TIPO_CONTA", col(rs, "TIPO_CONTA"));
    field("NOME_CONTA", col(rs, "NOME_CONTA"), "NOME DA CONTA NÃO PODE FICAR EM BRANCO");
}

void conciliaValues(Exporter& ex, RecordSet& rs, Record& rec) {
    rec.add("ANO", ex.ctx.fiscalYear);
    rec.add("CONTA_CONTABIL", col(rs, "CONTA_CONTABIL"));
    rec.add("DATA", reconciliationDate(ex.ctx));
    rec.add("SALDOBANCO", col(rs, "SALDOBANCO"));
    rec.add("ANO_REFERENCIA", ex.ctx.fiscalYear);
    rec.add("MES_REFERENCIA", ex.ctx.monthCode);
}

void valConcValues(Exporter& ex, RecordSet& rs, Record& rec) {
    rec.add("ANO", ex.ctx.fiscalYear);
    rec.add("CONTA_CONTABIL", col(rs, "CONTA_CONTABIL"));
    rec.add("TIPO", col(rs, "TIPO"));
    rec.add("NOME", col(rs, "NOME"));
    // The reconciliation's date, not the item's DTLAN.
    rec.add("DATA", reconciliationDate(ex.ctx));
    rec.add("SALDO", col(rs, "SALDO"));
    rec.add("ANO_REFERENCIA", ex.ctx.fiscalYear);
    rec.add("MES_REFERENCIA", ex.ctx.monthCode);
}

void arrecRecValues(Exporter& ex, RecordSet& rs, Record& rec) {
    rec.add("ANO_RECEITA", col(rs, "ANO_RECEITA"));
    const std::string code = col(rs, "COD_RECEITA");
    std::string court;
    try {
        court = DEVOLVE_CODRE(ex, code);
    } catch (const std::exception& e) {
        throwFieldError(ex, rec.line(), "COD_RECEITA", code, e);
    }
    rec.add("COD_RECEITA", court);
    rec.add("VALOR", col(rs, "VALOR"));
    rec.add("MES_RECEITA", col(rs, "MES_RECEITA"));
}

}  // namespace

const Layout kMovContLayout{kMovContFields};
const Layout kAgenciaLayout{kAgenciaFields};
const Layout kContaBanLayout{kContaBanFields};
const Layout kConciliaLayout{kConciliaFields};
const Layout kValConcLayout{kValConcFields};
const Layout kArrecRecLayout{kArrecRecFields};

std::string reconciliationDate(const RunContext& ctx) {
    return ctx.monthEnd + "." + ctx.monthCode + "." + ctx.fiscalYear;
}

void MovCont(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kMovContLayout, movContQuery, movContValues});
}

void Agencia(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kAgenciaLayout, agenciaQuery, agenciaValues});
}

void ContaBan(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kContaBanLayout, contaBanQuery, contaBanValues});
}

void Concilia(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kConciliaLayout, conciliaQuery, conciliaValues});
}

void ValConc(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kValConcLayout, valConcQuery, valConcValues});
}

void ArrecRec(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kArrecRecLayout, arrecRecQuery, arrecRecValues});
}

}  // namespace tcese
