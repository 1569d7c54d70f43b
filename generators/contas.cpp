#include "generators/contas.h"

#include <charconv>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/encoding.h"
#include "data/datapacket.h"
#include "engine/courttables.h"
#include "engine/filegenerator.h"
#include "engine/values.h"
#include "generators/estrutura.h"

namespace tcese {

// After the record type "2". Kind "" marks the fields formatted here.
constexpr FieldSpec kContaFields[] = {
    {"ANO", 4, "T"},
    {"COD_CONTA", 34, "I"},
    {"COD_RED_CONTA", 10, "I"},
    {"COD_CONTA_TC", 4, "T"},
    {"NOME_CONTA", 50, "T"},
    {"NIVEL", 2, "T"},
    {"RECEBE", 1, "T"},
    {"ANO_ANTERIOR", 4, "T"},
    {"CODIGO_TCE", 34, "T"},
    {"BANCO", 4, "T"},
    {"AGENCIA", 6, ""},  // kind "I", or blanks without a bank
    {"CONTA", 10, ""},
    {"DIGITO", 2, ""},
    {"SQSUBTIPO", 2, "I"},
    {"FILLER", 4, "T"},
};
const Layout kContaLayout{kContaFields};

constexpr FieldSpec kFundAltFields[] = {
    {"TIPO_ATO", 2, "T"},
    {"DECRETO", 10, "I"},
    {"DT_PUBL_ATO", 8, "D"},
    {"LEI", 10, "I"},
    {"DT_PUBL_LEI", 8, "D"},
    {"TIPO_ALTERACAO", 2, "T"},
    {"DT_ALT", 8, "D"},
    {"VALOR_ACRESCIMO", 15, ""},  // kind "V2", or the zeros constant
    {"VALOR_REDUCAO", 15, ""},
    {"ESPECIF", 120, "T"},
};
const Layout kFundAltLayout{kFundAltFields};

constexpr FieldSpec kFonteRecFields[] = {
    {"TIPO_ATO", 2, "T"},
    {"NUMERO_ATO", 10, "I"},
    {"TIPO_FONTE", 2, "T"},
    {"VALOR", 15, "V2"},
};
const Layout kFonteRecLayout{kFonteRecFields};

constexpr FieldSpec kAltOrcFields[] = {
    {"TIPO_ALTERACAO", 2, "T"},
    {"ATO", 10, "I"},
    {"PROJATIV", 4, "T"},
    {"BALCO_TCE", 8, "I"},
    {"FONCODIGO", 3, "T"},
    {"MICROREGIAO", 2, "T"},
    {"TIPO_DOTACAO", 1, "T"},
    {"VALOR", 15, "V2"},
};
const Layout kAltOrcLayout{kAltOrcFields};

namespace {

constexpr std::string_view kSeqField = "nu_SequencialTc";
constexpr std::string_view kSubTipoField = "SqSubTipo";
constexpr std::string_view kResolverConta = "VERIFIQUE OS PARAMENTROS DO PLANO DE CONTAS NO TCE/SE";
constexpr std::string_view kResolverFundAlt = "MÓDULO CONTAS";
constexpr std::string_view kZeros15 = "000000000000000";

bool isNumericType(FieldType t) {
    switch (t) {
    case FieldType::Int16: case FieldType::Int32: case FieldType::Int64: case FieldType::Float:
    case FieldType::Fixed: case FieldType::FixedFMT:
        return true;
    default:
        return false;
    }
}

// The court's chart of accounts in CdsXml, in nu_SequencialTc order. A search
// behaves as a case-insensitive partial-key locate on that field: a prefix of the
// text where the file declares text, the same number where it declares a number.
// Keys are prepared once, since every account of the entity searches the chart.
class CourtChart {
public:
    CourtChart(RecordSet& rs, const std::string& source) : rs_(rs) {
        const FieldDef* seq = rs.findFieldDef(kSeqField);
        for (std::string_view f : {kSeqField, kSubTipoField}) {
            if (!rs.findFieldDef(f))
                throw DatapacketError("Arquivo XML '" + source + "': não tem o campo " + std::string(f));
        }
        numeric_ = isNumericType(seq->type);
        rs.setIndexFieldNames(kSeqField);
        const int col = rs.fieldIndex(kSeqField);
        for (int r = 0; r < rs.recordCount(); ++r) {
            const std::string text = valueToText(rs.valueAt(r, col));
            if (numeric_) {
                numbers_.push_back(Decimal::tryParse(text));
            } else {
                texts_.push_back(upperText(text));
            }
        }
    }

    // The row of `seq` becomes current; when none matches, the first row stays.
    void position(const std::string& seq) {
        rs_.first();
        auto known = found_.find(seq);
        if (known == found_.end()) known = found_.emplace(seq, search(seq)).first;
        if (known->second >= 0) rs_.setRecNo(known->second + 1);
    }

private:
    int search(const std::string& seq) const {
        if (numeric_) {
            const std::optional<Decimal> wanted = Decimal::tryParse(seq);
            if (!wanted) return -1;
            for (std::size_t r = 0; r < numbers_.size(); ++r)
                if (numbers_[r] && *numbers_[r] == *wanted) return static_cast<int>(r);
            return -1;
        }
        const std::string wanted = upperText(seq);
        for (std::size_t r = 0; r < texts_.size(); ++r)
            if (texts_[r].compare(0, wanted.size(), wanted) == 0) return static_cast<int>(r);
        return -1;
    }

    RecordSet& rs_;
    bool numeric_ = false;
    std::vector<std::string> texts_;
    std::vector<std::optional<Decimal>> numbers_;
    std::unordered_map<std::string, int> found_;
};

// A whole number, or nothing.
std::optional<int> wholeNumber(std::string_view text) {
    int v = 0;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || p != text.data() + text.size()) return std::nullopt;
    return v;
}

void contaValues(Exporter& ex, RecordSet& rs, Record& rec, CourtChart& chart) {
    auto log = [&](std::string_view descricao) { ex.Log("CONTA.TXT", "ERRO", descricao, kResolverConta, rec.line()); };
    const std::string codConta = col(rs, "COD_CONTA");
    const std::string seq = col(rs, "COD_CONTA_TC");
    const std::string recebe = col(rs, "RECEBE");
    const std::string nivel = col(rs, "NIVEL");
    chart.position(seq);

    rec.add("ANO", ex.ctx.fiscalYear);
    if (isBlank(codConta)) log("CODIGO DA CONTA NÃO PODE FICAR EM BRANCO");
    rec.add("COD_CONTA", codConta);
    rec.add("COD_RED_CONTA", col(rs, "COD_RED_CONTA"));
    rec.add("COD_CONTA_TC", recebe == "1" ? seq : std::string());
    std::string nome = col(rs, "NOME_CONTA");
    if (isBlank(nome)) {
        log("NOME DA CONTA NÃO PODE FICAR EM BRANCO");
        nome = "NAO CONSTA";
    }
    rec.add("NOME_CONTA", nome);
    rec.add("NIVEL", nivel);
    rec.add("RECEBE", recebe);

    const std::optional<int> level = wholeNumber(nivel);
    if (!level) throwFieldError(ex, rec.line(), "NIVEL", nivel, NumberError("'" + nivel + "' não é um número"));
    if (*level >= 2) {
        const std::optional<int> year = wholeNumber(ex.ctx.fiscalYear);
        if (!year)
            throwFieldError(ex, rec.line(), "ANO_ANTERIOR", ex.ctx.fiscalYear,
                            NumberError("'" + ex.ctx.fiscalYear + "' não é um ano válido"));
        rec.add("ANO_ANTERIOR", std::to_string(*year - 1));
        rec.add("CODIGO_TCE", col(rs, "CODIGO_TCE"));
    } else {
        rec.add("ANO_ANTERIOR", "");
        rec.add("CODIGO_TCE", "");
    }

    const std::string banco = col(rs, "BANCO");
    // Revenue accounts (3111) never carry a bank, whatever DESCON says.
    const bool hasBank = banco != "000" && !isBlank(banco) && utf8Prefix(codConta, 4) != "3111";
    if (hasBank) {
        const std::string conta = col(rs, "CONTA");
        rec.add("BANCO", banco);
        rec.add("AGENCIA", ex.Ret(6, col(rs, "AGENCIA"), "S", "I"));
        rec.add("CONTA", ex.Ret(10, conta, "S", "I"));
        rec.add("DIGITO", ex.Ret(2, retorna_digito(conta), "S", "I"));
    } else {
        rec.add("BANCO", "");
        rec.add("AGENCIA", vazio(6));
        rec.add("CONTA", vazio(10));
        rec.add("DIGITO", vazio(2));
    }
    rec.add("SQSUBTIPO", recebe == "1" ? col(ex.dm.CdsXml, kSubTipoField) : std::string());
    rec.add("FILLER", "");
}

// Month and year of DESALD.DTLAN, as the budget-change queries select them.
std::string changesOfMonth(const RunContext& c) {
    return "WHERE EXTRACT(MONTH FROM A.DTLAN) = '" + c.monthCode + "' " + "AND EXTRACT(YEAR FROM A.DTLAN) = '" +
           c.fiscalYear + "' ";
}

void fundAltValues(Exporter& ex, RecordSet& rs, Record& rec) {
    // A field that may not be blank, checked before it is written.
    auto required = [&](std::string_view field, std::string_view descricao) {
        const std::string v = col(rs, field);
        if (isBlank(v)) ex.Log("FUNDALT.TXT", "ERRO", descricao, kResolverFundAlt, rec.line());
        rec.add(field, v);
    };
    rec.add("TIPO_ATO", col(rs, "TIPO_ATO"));
    required("DECRETO", "NUMERO DO ATO NÃO PODE FICAR EM BRANCO");
    required("DT_PUBL_ATO", "DATA DE PUBLICAÇÃO DO ATO NÃO PODE FICAR EM BRANCO");
    required("LEI", "NUMERO DA LEI DA ALTERAÇÃO NÃO PODE FICAR EM BRANCO");
    required("DT_PUBL_LEI", "DATA DE PUBLICAÇÃO DA LEI NÃO PODE FICAR EM BRANCO");
    rec.add("TIPO_ALTERACAO", col(rs, "TIPO_ALTERACAO"));
    required("DT_ALT", "DATA DE ALTERAÇÃO DA LEI NÃO PODE FICAR EM BRANCO");

    // An addition goes to field 8, a reduction (or nothing) to field 9.
    const std::string valor = col(rs, "VALOR");
    const std::optional<Decimal> amount = Decimal::tryParse(valor);
    const bool positive = amount && *amount > Decimal{};
    auto amountField = [&](std::string_view field) {
        try {
            return ex.Ret(15, valor, "S", "V2");
        } catch (const std::exception& e) {
            throwFieldError(ex, rec.line(), field, valor, e);
        }
    };
    rec.add("VALOR_ACRESCIMO", positive ? amountField("VALOR_ACRESCIMO") : ex.Ret(15, kZeros15, "S", "T"));
    rec.add("VALOR_REDUCAO", positive ? ex.Ret(15, kZeros15, "S", "T") : amountField("VALOR_REDUCAO"));
    rec.add("ESPECIF", col(rs, "ESPECIF"));
}

}  // namespace

void Conta(Exporter& ex, std::string_view fileName) {
    std::optional<CourtChart> chart;
    FileGenerator g{fileName, kContaLayout,
                    [](const RunContext&) {
                        return std::string(
                            "SELECT A.BALCO AS COD_CONTA, A.BALCO AS COD_RED_CONTA, A.SEQ_TCE AS COD_CONTA_TC, "
                            "A.TITCO AS NOME_CONTA, A.CODIGO_TCE, CASE WHEN SUBSTRING(A.BALCO FROM 2 FOR 5) = '00000' "
                            "THEN '01' WHEN SUBSTRING(A.BALCO FROM 3 FOR 4) = '0000'  THEN '02' WHEN SUBSTRING(A.BALCO "
                            "FROM 4 FOR 3) = '000'   THEN '03' WHEN SUBSTRING(A.BALCO FROM 5 FOR 2) = '00'    THEN "
                            "'04' ELSE '05' END AS NIVEL, B.BANCO, B.AGENCIA, B.CONTA, CAST(NULL AS VARCHAR(2)) AS "
                            "DIGITO, CASE WHEN SUBSTRING(A.BALCO FROM 5 FOR 2) = '00' THEN '2' ELSE '1' END AS RECEBE "
                            "FROM CONPLA A LEFT JOIN DESCON B ON B.BALCO = A.BALCO ");
                    },
                    [&chart](Exporter& e, RecordSet& rs, Record& rec) { contaValues(e, rs, rec, *chart); }};
    // The court's chart is loaded after the query, before the first record.
    g.recordCount = [&chart](Exporter& e) -> long {
        try {
            RecordSet& xml = e.dm.CdsXml;
            loadCourtTable(xml, e.iniFile(), kPlanoContasTable);
            chart.emplace(xml, courtTablePath(e.iniFile(), kPlanoContasTable).string());
        } catch (const std::exception& err) {
            throw GenerationError("Erro ao gerar o arquivo " + e.ctx.currentFileName + ": " + err.what());
        }
        return e.dm.CdsGeral.recordCount();
    };
    runFileGenerator(ex, g);
}

void FundAlt(Exporter& ex, std::string_view fileName) {
    runFileGenerator(
        ex, FileGenerator{fileName, kFundAltLayout,
                          [](const RunContext& c) {
                              return "SELECT CAST('01' AS VARCHAR(2)) AS TIPO_ATO, CAST(A.DECRETO AS INTEGER) AS DECRETO, "
                                     "CAST(B.DTLAN as DATE) AS DT_PUBL_ATO, CAST(B.LEI as INTEGER) AS LEI, CAST(B.DTLEI "
                                     "AS DATE) AS DT_PUBL_LEI, CASE WHEN A.IE = '8' or (A.IE = '9') THEN '09' ELSE '01' "
                                     "END TIPO_ALTERACAO,CAST(A.DTLAN AS DATE) AS DT_ALT, A.VALOR, CAST(NULL AS "
                                     "VARCHAR(120)) AS ESPECIF FROM DESALD A INNER JOIN CADDECRETO B ON B.DECRETO = "
                                     "A.DECRETO INNER JOIN DESDIS C ON C.FICHA = A.FICHA " +
                                     changesOfMonth(c) + entityFilter(c, "C") + " ";
                          },
                          fundAltValues});
}

void UnidOrc_mensal(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kUnidOrcLayout,
                                       [](const RunContext& c) {
                                           return "SELECT DISTINCT A.CODLO,T.NOME FROM DESDIS A INNER JOIN TABUNIDADE T "
                                                  "ON T.CODLO = A.CODLO WHERE A.PODER <> '99' " +
                                                  entityFilter(c, "A") + " ";
                                       },
                                       unidOrcValues});
}

void Projativ_Mensal(Exporter& ex, std::string_view fileName) {
    runFileGenerator(
        ex, FileGenerator{fileName, kProjativLayout,
                          [](const RunContext& c) {
                              return "SELECT A.PROJATIV, B.NOME,B.nome AS OBJETIVO,A.PODER||A.ORGAO AS COD_ORGAO, "
                                     "A.CODLO AS UNID_ORC,A.FUNCAO,A.SUBFUNCAO,A.PROGRAMA FROM DESORC A INNER JOIN "
                                     "TABPROJATIV B ON B.PROJATIV = A.PROJATIV WHERE A.PODER <> 99 " +
                                     entityFilter(c, "A") + " ";
                          },
                          projativValues});
}

void Programa_Mensal(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kProgramaLayout,
                                       [](const RunContext& c) {
                                           return "SELECT DISTINCT A.PROGRAMA, B.NOME FROM DESORC A INNER JOIN "
                                                  "TABPROGRAMA B ON B.PROGRAMA = A.PROGRAMA WHERE A.PODER <> 99 " +
                                                  entityFilter(c, "A") + " ";
                                       },
                                       programaValues});
}

void Orgao_Mensal(Exporter& ex, std::string_view fileName) {
    FileGenerator g{fileName, kOrgaoLayout,
                    [](const RunContext&) {
                        return std::string(
                            "SELECT DISTINCT A.PODER||A.ORGAO AS ORGAO,A.NOME FROM TABORGAO A INNER JOIN DESORC B ON "
                            "B.PODER = A.PODER AND B.ORGAO = A.ORGAO WHERE A.PODER <> '99'");
                    },
                    orgaoValues};
    g.order = FileGenerator::Order::QueryFirst;
    runFileGenerator(ex, g);
}

void FonteRec(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kFonteRecLayout,
                                       [](const RunContext& c) {
                                           // Always one entity, "00" included.
                                           return "SELECT CAST('01' AS VARCHAR(2)) AS TIPO_ATO, A.DECRETO AS NUMERO_ATO, "
                                                  "CASE WHEN A.IE = '1' THEN '01' WHEN A.IE = '2' THEN '03' WHEN A.IE = "
                                                  "'3' THEN '05' WHEN A.IE = '4' THEN '04' END AS TIPO_FONTE, A.VALOR "
                                                  "FROM DESALD A INNER JOIN DESDIS B ON A.FICHA = B.FICHA " +
                                                  changesOfMonth(c) + "AND B.EMPRESA = '" + c.entityCode + "'";
                                       },
                                       [](Exporter&, RecordSet& rs, Record& rec) {
                                           rec.add("TIPO_ATO", col(rs, "TIPO_ATO"))
                                               .add("NUMERO_ATO", col(rs, "NUMERO_ATO"))
                                               .add("TIPO_FONTE", col(rs, "TIPO_FONTE"))
                                               .add("VALOR", col(rs, "VALOR"));
                                       }});
}

void AltOrc(Exporter& ex, std::string_view fileName) {
    runFileGenerator(
        ex, FileGenerator{fileName, kAltOrcLayout,
                          [](const RunContext& c) {
                              // Always one entity, "00" included.
                              return "SELECT CASE WHEN A.IE = '8' or (A.IE = '9') THEN '09' ELSE '01' END "
                                     "TIPO_ALTERACAO, A.DECRETO AS ATO, B.PROJATIV, B.BALCO_TCE, B.FONCODIGO, "
                                     "CAST('00' AS VARCHAR(2)) AS MICROREGIAO, CASE WHEN SUM(A.VALOR) > 0 THEN '1' WHEN "
                                     "SUM(A.VALOR) < 0 THEN '2' END AS TIPO_DOTACAO, SUM(A.VALOR) AS VALOR FROM DESALD A "
                                     "INNER JOIN DESDIS B ON B.FICHA = A.FICHA " +
                                     changesOfMonth(c) + "AND B.EMPRESA = '" + c.entityCode + "' " + "GROUP BY " +
                                     "A.IE, " + "A.DECRETO, " + "B.PROJATIV, " + "B.BALCO_TCE, " + "B.FONCODIGO";
                          },
                          [](Exporter&, RecordSet& rs, Record& rec) {
                              rec.add("TIPO_ALTERACAO", col(rs, "TIPO_ALTERACAO"))
                                  .add("ATO", col(rs, "ATO"))
                                  .add("PROJATIV", col(rs, "PROJATIV"))
                                  .add("BALCO_TCE", col(rs, "BALCO_TCE"))
                                  .add("FONCODIGO", col(rs, "FONCODIGO"))
                                  .add("MICROREGIAO", col(rs, "MICROREGIAO"))
                                  .add("TIPO_DOTACAO", col(rs, "TIPO_DOTACAO"))
                                  .add("VALOR", col(rs, "VALOR"));
                          }});
}

}  // namespace tcese
