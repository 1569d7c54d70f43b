#include "generators/unidgestora.h"

#include <string>

#include "engine/documentos.h"
#include "engine/filegenerator.h"
#include "engine/values.h"

namespace tcese {

namespace {

constexpr FieldSpec kAtUnGestFields[] = {
    {"CGC", 14, "I"},      {"FONE", 11, "I"},    {"FAX", 11, "I"},  {"BRANCO1", 45, "T"},
    {"ENDERECO", 50, "T"}, {"BRANCO2", 50, "T"}, {"BAIRRO", 40, "T"}, {"CEP", 8, "T"},
    {"BRANCO3", 10, "T"},  {"TIPO", 1, "T"},
};

constexpr FieldSpec kOrdenaFields[] = {
    {"CPF_ORDENA", 11, "I"},
    {"REFERENCIA", 8, "T"},
    {"BRANCO", 10, "T"},
};

constexpr FieldSpec kRespContFields[] = {
    {"FIXO", 1, ""},  // the literal "1", unformatted
    {"CPF_CONT", 14, "I"},
    {"REFERENCIA", 8, "T"},
    {"CRC_CONT", 10, "T"},
    {"UF_CRC_CONT", 2, "T"},
};

constexpr std::string_view kUnidadeGestora = "VERIFIQUE OS PARAMENTROS DA UNIDADE GESTORA NO TCE/SE";
constexpr std::string_view kEntidades = "MÓDULO CONTAS, NO MENU CADASTROS AUXILIARES > 14 - ENTIDADES CONTÁBEIS";

std::string entityQuery(const RunContext& ctx) {
    return "select * from tabempresa where empresa = '" + ctx.entityCode + "' ";
}

// Year and month of the reference, then "02".
std::string referencia(const RunContext& ctx) { return ctx.fiscalYear + ctx.monthCode + "02"; }

std::string withoutHyphens(std::string s) {
    std::erase(s, '-');
    return s;
}

void atUnGestValues(Exporter& ex, RecordSet& rs, Record& rec) {
    auto check = [&](bool problem, std::string_view descricao) {
        if (problem) ex.Log("ATUNGEST.TXT", "ERRO", descricao, kUnidadeGestora, rec.line());
    };
    const std::string cgc = col(rs, "cgc");
    check(isBlank(cgc), "CNPJ DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO");
    check(!cnpjValido(cgc), "CNPJ DA UNIDADE GESTORA NÃO INVÁLIDO");
    rec.add("CGC", cgc);

    const std::string fone = col(rs, "fone");
    check(isBlank(fone), "TELEFONE DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO");
    rec.add("FONE", fone);
    rec.add("FAX", col(rs, "fax"));
    rec.add("BRANCO1", "");

    const std::string endereco = col(rs, "endereco");
    check(isBlank(endereco), "ENDEREÇO DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO");
    rec.add("ENDERECO", endereco);
    rec.add("BRANCO2", "");

    const std::string bairro = col(rs, "bairro");
    check(isBlank(bairro), "BAIRRO DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO");
    rec.add("BAIRRO", bairro);

    const std::string cep = withoutHyphens(col(rs, "cep"));
    check(isBlank(cep), "CEP DO ENDEREÇO DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO");
    rec.add("CEP", cep);
    rec.add("BRANCO3", "");

    const std::string tipo = col(rs, "tipo");
    check(isBlank(tipo), "SUBTIPO DA UNIDADE GESTORA NÃO PODE FICAR EM BRANCO");
    rec.add("TIPO", tipo);
}

void ordenaValues(Exporter& ex, RecordSet& rs, Record& rec) {
    auto check = [&](bool problem, std::string_view descricao) {
        if (problem) ex.Log("ORDENA.TXT", "ERRO", descricao, kEntidades, rec.line());
    };
    const std::string cpf = col(rs, "CPF_ORDENA");
    check(isBlank(cpf), "CPF DO ORDENADOR DE DESPESA NÃO PODE FICAR EM BRANCO");
    check(!cpfValido(cpf), "CPF DO ORDENADOR DE DESPESA INVÁLIDO");
    rec.add("CPF_ORDENA", cpf);
    rec.add("REFERENCIA", referencia(ex.ctx));
    rec.add("BRANCO", "");
}

void respContValues(Exporter& ex, RecordSet& rs, Record& rec) {
    auto check = [&](bool problem, std::string_view descricao) {
        if (problem) ex.Log("RESPCONT.TXT", "ERRO", descricao, kEntidades, rec.line());
    };
    rec.add("FIXO", "1");

    const std::string cpf = col(rs, "CPF_CONT");
    check(isBlank(cpf), "CPF DO CONTADOR NÃO PODE FICAR EM BRANCO");
    check(!cpfValido(cpf), "CPF DO CONTADOR INVÁLIDO");
    rec.add("CPF_CONT", cpf);
    rec.add("REFERENCIA", referencia(ex.ctx));

    const std::string crc = col(rs, "CRC_CONT");
    check(isBlank(crc), "CRC DO CONTADOR NÃO PODE FICAR EM BRANCO");
    rec.add("CRC_CONT", crc);

    const std::string uf = col(rs, "UF_CRC_CONT");
    check(isBlank(uf), "UF DO CRC DO CONTADOR NÃO PODE FICAR EM BRANCO");
    rec.add("UF_CRC_CONT", uf);
}

}  // namespace

const Layout kAtUnGestLayout{kAtUnGestFields};
const Layout kOrdenaLayout{kOrdenaFields};
const Layout kRespContLayout{kRespContFields};

void AtUnGest(Exporter& ex, std::string_view fileName) {
    runFileGenerator(ex, FileGenerator{fileName, kAtUnGestLayout, entityQuery, atUnGestValues});
}

// One record even when the entity has no row: built from empty values.
void Ordena(Exporter& ex, std::string_view fileName) {
    FileGenerator g{fileName, kOrdenaLayout, entityQuery, ordenaValues};
    g.singleRecord = true;
    runFileGenerator(ex, g);
}

void RespCont(Exporter& ex, std::string_view fileName) {
    FileGenerator g{fileName, kRespContLayout, entityQuery, respContValues};
    g.singleRecord = true;
    runFileGenerator(ex, g);
}

}  // namespace tcese
