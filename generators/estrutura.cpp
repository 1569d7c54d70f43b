#include "generators/estrutura.h"

#include <string>

#include "engine/courttables.h"
#include "engine/values.h"

namespace tcese {

namespace {

// The court's revenue code of a local code such as 1.1.1.2.02.00.
std::string courtRevenueCode(Exporter& ex, const Record& rec, const std::string& code) {
    std::string digits;
    for (char c : code)
        if (c != '.') digits.push_back(c);
    try {
        return DEVOLVE_CODRE(ex, digits);
    } catch (const std::exception& e) {
        throwFieldError(ex, rec.line(), "CODRE", code, e);
    }
}

}  // namespace

constexpr FieldSpec kPrevRecFields[] = {
    {"MEXER", 4, "T"},
    {"CODRE", 8, "I"},
    {"VALOR", 14, "V2"},
};
const Layout kPrevRecLayout{kPrevRecFields};

constexpr FieldSpec kUnidOrcFields[] = {
    {"ANO", 4, ""},
    {"CODLO", 6, "T"},
    {"NOME", 50, "T"},
};
const Layout kUnidOrcLayout{kUnidOrcFields};

constexpr FieldSpec kProjativFields[] = {
    {"ANO", 4, ""},
    {"PROJATIV", 4, "T"},
    {"NOME", 120, "T"},
    {"OBJETIVO", 250, "T"},
    {"COD_ORGAO", 5, "T"},
    {"UNID_ORC", 6, "T"},
    {"FUNCAO", 2, "T"},
    {"SUBFUNCAO", 3, "T"},
    {"PROGRAMA", 4, "T"},
};
const Layout kProjativLayout{kProjativFields};

constexpr FieldSpec kProgramaFields[] = {
    {"ANO", 4, ""},
    {"PROGRAMA", 4, "T"},
    {"NOME", 120, "T"},
};
const Layout kProgramaLayout{kProgramaFields};

constexpr FieldSpec kOrgaoFields[] = {
    {"ANO", 4, ""},
    {"ORGAO", 5, "T"},
    {"NOME", 120, "T"},
};
const Layout kOrgaoLayout{kOrgaoFields};

constexpr FieldSpec kDotacaoFields[] = {
    {"ANO", 4, ""},
    {"PROJATIV", 4, "T"},
    {"ELEMENTO", 8, "I"},
    {"FONTE", 3, "T"},
    {"MICROREGIAO", 2, "T"},
    {"VALOR", 15, "V2"},
};
const Layout kDotacaoLayout{kDotacaoFields};

void unidOrcValues(Exporter& ex, RecordSet& rs, Record& rec) {
    rec.add("ANO", ex.ctx.fiscalYear).add("CODLO", col(rs, "CODLO")).add("NOME", col(rs, "NOME"));
}

void projativValues(Exporter& ex, RecordSet& rs, Record& rec) {
    rec.add("ANO", ex.ctx.fiscalYear)
        .add("PROJATIV", col(rs, "PROJATIV"))
        .add("NOME", col(rs, "NOME"))
        .add("OBJETIVO", col(rs, "OBJETIVO"))
        .add("COD_ORGAO", col(rs, "COD_ORGAO"))
        .add("UNID_ORC", col(rs, "UNID_ORC"))
        .add("FUNCAO", col(rs, "FUNCAO"))
        .add("SUBFUNCAO", col(rs, "SUBFUNCAO"))
        .add("PROGRAMA", col(rs, "PROGRAMA"));
}

void programaValues(Exporter& ex, RecordSet& rs, Record& rec) {
    rec.add("ANO", ex.ctx.fiscalYear).add("PROGRAMA", col(rs, "PROGRAMA")).add("NOME", col(rs, "NOME"));
}

void orgaoValues(Exporter& ex, RecordSet& rs, Record& rec) {
    rec.add("ANO", ex.ctx.fiscalYear).add("ORGAO", col(rs, "ORGAO")).add("NOME", col(rs, "NOME"));
}

void PrevRec(Exporter& ex, std::string_view fileName) {
    runFileGenerator(
        ex, FileGenerator{
                fileName, kPrevRecLayout,
                [](const RunContext& c) {
                    return "SELECT B.MEXER, A.CODRE, SUM(A.TOTOR) AS VALOR FROM RECORC A,CADCLI B WHERE A.EMPRESA = '" +
                           c.entityCode + "' " + "GROUP BY B.MEXER,A.CODRE ";
                },
                [](Exporter& e, RecordSet& rs, Record& rec) {
                    // The year comes from the query here, not from the run.
                    rec.add("MEXER", col(rs, "MEXER"));
                    rec.add("CODRE", courtRevenueCode(e, rec, col(rs, "CODRE")));
                    rec.add("VALOR", col(rs, "VALOR"));
                }});
}

void UnidOrc(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kUnidOrcLayout,
                                       [](const RunContext& c) {
                                           return "SELECT DISTINCT A.CODLO,T.NOME FROM DESORC A INNER JOIN TABUNIDADE T "
                                                  "ON T.CODLO = A.CODLO WHERE A.PODER <> '99' AND A.EMPRESA = '" +
                                                  c.entityCode + "' ";
                                       },
                                       unidOrcValues});
}

void Projativ(Exporter& ex, std::string_view fileName) {
    runFileGenerator(
        ex, FileGenerator{fileName, kProjativLayout,
                          [](const RunContext& c) {
                              return "SELECT DISTINCT A.PROJATIV, B.NOME,B.nome AS OBJETIVO,A.PODER||A.ORGAO AS "
                                     "COD_ORGAO, A.CODLO AS UNID_ORC,A.FUNCAO,A.SUBFUNCAO,A.PROGRAMA FROM DESORC A "
                                     "INNER JOIN TABPROJATIV B ON B.PROJATIV = A.PROJATIV WHERE A.PODER <> 99 AND "
                                     "A.EMPRESA = '" +
                                     c.entityCode + "' ";
                          },
                          projativValues});
}

void Programa(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kProgramaLayout,
                                       [](const RunContext& c) {
                                           return "SELECT DISTINCT A.PROGRAMA, B.NOME FROM DESORC A INNER JOIN "
                                                  "TABPROGRAMA B ON B.PROGRAMA = A.PROGRAMA WHERE A.PODER <> 99 AND "
                                                  "A.EMPRESA = '" +
                                                  c.entityCode + "' ";
                                       },
                                       programaValues});
}

void Orgao(Exporter& ex, std::string_view fileName) {
    FileGenerator g{fileName, kOrgaoLayout,
                    [](const RunContext& c) {
                        return "SELECT DISTINCT A.PODER||A.ORGAO AS ORGAO,A.NOME FROM TABORGAO A INNER JOIN DESORC B "
                               "ON B.PODER = A.PODER AND B.ORGAO = A.ORGAO WHERE A.PODER <> '99' AND B.EMPRESA = '" +
                               c.entityCode + "'";
                    },
                    orgaoValues};
    // This one file runs its query before the file exists.
    g.order = FileGenerator::Order::QueryFirst;
    runFileGenerator(ex, g);
}

void Dotacao(Exporter& ex, std::string_view fileName) {
    runFileGenerator(
        ex, FileGenerator{fileName, kDotacaoLayout,
                          [](const RunContext& c) {
                              return "SELECT A.PROJATIV, B.BALCO_TCE AS ELEMENTO, A.FONCODIGO AS FONTE, CAST('00' AS "
                                     "VARCHAR(2)) AS MICROREGIAO, SUM(A.DOTAC) AS VALOR FROM DESORC A LEFT JOIN DESDIS "
                                     "B ON B.FICHA = A.FICHA WHERE A.DOTAC > 0 AND A.PODER <> 99  AND A.EMPRESA = '" +
                                     c.entityCode + "' " + "GROUP BY A.PROJATIV,B.BALCO_TCE, A.FONCODIGO";
                          },
                          [](Exporter& e, RecordSet& rs, Record& rec) {
                              rec.add("ANO", e.ctx.fiscalYear)
                                  .add("PROJATIV", col(rs, "PROJATIV"))
                                  .add("ELEMENTO", col(rs, "ELEMENTO"))
                                  .add("FONTE", col(rs, "FONTE"))
                                  .add("MICROREGIAO", col(rs, "MICROREGIAO"))
                                  .add("VALOR", col(rs, "VALOR"));
                          }});
}

}  // namespace tcese
