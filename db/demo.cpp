#include "db/demo.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

#include "config/encoding.h"
#include "config/pegacaminho.h"
#include "config/settings.h"
#include "data/connection.h"
#include "data/datapacket.h"
#include "data/datetime.h"
#include "data/numbers.h"
#include "data/recordset.h"
#include "engine/documentos.h"
#include "engine/orcparams.h"

namespace fs = std::filesystem;

namespace tcese {

namespace {

// ------------------------------------------------------------------ helpers

// splitmix64: small, fast and the same everywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int between(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1)); }
    std::int64_t between64(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool percent(int p) { return between(1, 100) <= p; }
    template <class T>
    const T& pick(const std::vector<T>& v) {
        return v[static_cast<std::size_t>(between(0, static_cast<int>(v.size()) - 1))];
    }

private:
    std::uint64_t state_;
};

template <class... Args>
std::string fmt(const char* pattern, Args... args) {
    char buf[512];
    std::snprintf(buf, sizeof buf, pattern, args...);
    return buf;
}

Date ymd(int y, int m, int d) { return makeDate(y, m, d); }
int monthOf(const Date& d) { return static_cast<int>(static_cast<unsigned>(d.month())); }
int dayOf(const Date& d) { return static_cast<int>(static_cast<unsigned>(d.day())); }
int lastDay(int y, int m) {
    using namespace std::chrono;
    return static_cast<int>(
        static_cast<unsigned>(year_month_day_last{year{y}, month_day_last{month{static_cast<unsigned>(m)}}}.day()));
}
Date addDays(const Date& d, int n) { return Date{std::chrono::sys_days{d} + std::chrono::days{n}}; }
// Moves stay inside the fiscal year.
Date within(const Date& d, int y) { return d.year() > std::chrono::year{y} ? ymd(y, 12, 31) : d; }

// Values for statements. A const char* would become a bool in the variant: always wrap.
Value T(std::string_view s) { return Value{std::string(s)}; }
Value TN(std::string_view s) { return s.empty() ? Value{} : Value{std::string(s)}; }  // text or NULL
Value I(std::int64_t v) { return Value{v}; }
Value IN(std::int64_t v) { return v == 0 ? Value{} : Value{v}; }  // integer or NULL
Value M(std::int64_t cents) { return Value{Decimal::fromScaled(cents * 100)}; }
Value D(const Date& d) { return Value{d}; }
Value DN(const std::optional<Date>& d) { return d ? Value{*d} : Value{}; }
Value NUL() { return Value{}; }

// The first n characters (the register screens store some list items cut).
std::string cut(std::string_view s, std::size_t n) { return std::string(utf8Prefix(s, n)); }

std::string digitsOnly(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c >= '0' && c <= '9') out += c;
    return out;
}

// A valid number from its leading digits, by the court's own checks.
std::string completeCpf(const std::string& nine) {
    for (int dd = 0; dd < 100; ++dd) {
        const std::string n = nine + fmt("%02d", dd);
        if (cpfValido(n)) return n;
    }
    throw DemoError("sem dígito verificador para o CPF " + nine);
}
std::string completeCnpj(const std::string& twelve) {
    for (int dd = 0; dd < 100; ++dd) {
        const std::string n = twelve + fmt("%02d", dd);
        if (cnpjValido(n)) return n;
    }
    throw DemoError("sem dígito verificador para o CNPJ " + twelve);
}
std::string cpfMask(const std::string& d) {
    return d.substr(0, 3) + "." + d.substr(3, 3) + "." + d.substr(6, 3) + "-" + d.substr(9, 2);
}
std::string cnpjMask(const std::string& d) {
    return d.substr(0, 2) + "." + d.substr(2, 3) + "." + d.substr(5, 3) + "/" + d.substr(8, 4) + "-" + d.substr(12, 2);
}

const char* const kMonthNames[] = {"JANEIRO", "FEVEREIRO", "MARÇO",    "ABRIL",   "MAIO",     "JUNHO",
                                   "JULHO",   "AGOSTO",    "SETEMBRO", "OUTUBRO", "NOVEMBRO", "DEZEMBRO"};

// ------------------------------------------------------------- statements

// One prepared INSERT per table, counting its rows.
class Inserter {
public:
    Inserter(Connection& db, std::string table, std::initializer_list<const char*> columns, bool movement)
        : table_(std::move(table)), movement_(movement), stmt_(db.prepare(sql(table_, columns))) {}

    void operator()(const std::vector<Value>& row) {
        stmt_.execute(row);
        ++rows_;
    }
    const std::string& table() const { return table_; }
    long rows() const { return rows_; }
    bool movement() const { return movement_; }

private:
    static std::string sql(const std::string& table, std::initializer_list<const char*> columns) {
        std::string cols, marks;
        for (const char* c : columns) {
            cols += (cols.empty() ? "" : ", ") + std::string(c);
            marks += marks.empty() ? "?" : ", ?";
        }
        return "INSERT INTO " + table + " (" + cols + ") VALUES (" + marks + ")";
    }

    std::string table_;
    bool movement_;
    Statement stmt_;
    long rows_ = 0;
};

// ---------------------------------------------------------- the municipality

// clang-format off

constexpr const char* kCity = "SÃO JOSÉ DA CONCEIÇÃO";
constexpr const char* kCep = "49680-000";

struct Entity {
    int code;
    const char* name;
    const char* poder;
    int tipo;
    int codaudesp;
    const char* cnpjRoot;  // 12 digits; empty: the CNPJ was never typed
};

const Entity kEntities[] = {
    {1, "PREFEITURA MUNICIPAL DE SÃO JOSÉ DA CONCEIÇÃO", "02", 1, 310101, "131042200001"},
    {2, "CÂMARA MUNICIPAL DE SÃO JOSÉ DA CONCEIÇÃO", "01", 2, 310102, ""},
    {3, "FUNDO MUNICIPAL DE SAÚDE DE SÃO JOSÉ DA CONCEIÇÃO", "02", 3, 310103, "096233510001"},
};

enum class Kind { Payroll, Employer, Allowance, Ticket, Material, ServicePF, ServicePJ, Grant, Food, Works, Equipment, Restos, Extra };

struct Ficha {
    int ficha;
    int entity;
    const char* poder;
    const char* orgao;
    const char* codlo;
    const char* projativ;
    const char* funcao;
    const char* subfuncao;
    const char* programa;
    const char* fonte;
    const char* catec;
    const char* elemento;
    const char* balcoTce;  // nullptr: not yet mapped to the court's element
    const char* balco;     // ledger account of the expense
    std::int64_t dotacReais;
    Kind kind;
};

// Ficha 24 was never mapped to the court's element (deliberate problem); 30 and 31
// hold commitments carried over from earlier years (branch 99); 32 is the
// extra-budgetary appropriation that pays the retained social security.
const Ficha kFichas[] = {
    {1, 2, "01", "001", "01001", "2001", "01", "031", "0001", "100", "3.1.90.11", "11", "31901100", "511101", 480000, Kind::Payroll},
    {2, 2, "01", "001", "01001", "2001", "01", "031", "0001", "100", "3.1.90.13", "13", "31901300", "511102", 96000, Kind::Employer},
    {3, 2, "01", "001", "01001", "2001", "01", "031", "0001", "100", "3.3.90.14", "14", "33901400", "513104", 12000, Kind::Allowance},
    {4, 2, "01", "001", "01001", "2001", "01", "031", "0001", "100", "3.3.90.30", "30", "33903000", "513101", 30000, Kind::Material},
    {5, 2, "01", "001", "01001", "2001", "01", "031", "0001", "100", "3.3.90.39", "39", "33903900", "513103", 60000, Kind::ServicePJ},
    {6, 1, "02", "001", "02001", "2002", "04", "122", "0002", "100", "3.1.90.11", "11", "31901100", "511101", 360000, Kind::Payroll},
    {7, 1, "02", "001", "02001", "2002", "04", "122", "0002", "100", "3.3.90.14", "14", "33901400", "513104", 18000, Kind::Allowance},
    {8, 1, "02", "001", "02001", "2002", "04", "122", "0002", "100", "3.3.90.33", "33", "33903300", "513105", 15000, Kind::Ticket},
    {9, 1, "02", "001", "02001", "2002", "04", "122", "0002", "100", "3.3.90.39", "39", "33903900", "513103", 80000, Kind::ServicePJ},
    {10, 1, "02", "002", "02002", "2003", "04", "122", "0002", "100", "3.1.90.11", "11", "31901100", "511101", 720000, Kind::Payroll},
    {11, 1, "02", "002", "02002", "2003", "04", "122", "0002", "100", "3.1.90.13", "13", "31901300", "511102", 150000, Kind::Employer},
    {12, 1, "02", "002", "02002", "2003", "04", "122", "0002", "100", "3.3.90.30", "30", "33903000", "513101", 120000, Kind::Material},
    {13, 1, "02", "002", "02002", "2003", "04", "122", "0002", "100", "3.3.90.36", "36", "33903600", "513102", 40000, Kind::ServicePF},
    {14, 1, "02", "002", "02002", "2003", "04", "122", "0002", "100", "3.3.90.39", "39", "33903900", "513103", 200000, Kind::ServicePJ},
    {15, 1, "02", "002", "02002", "2003", "08", "244", "0002", "100", "3.3.50.43", "43", "33504300", "513107", 50000, Kind::Grant},
    {16, 1, "02", "002", "02002", "2003", "04", "122", "0002", "100", "3.3.90.46", "46", "33904600", "513106", 36000, Kind::Food},
    {17, 1, "02", "003", "02003", "2004", "12", "361", "0003", "113", "3.1.90.11", "11", "31901100", "511101", 1800000, Kind::Payroll},
    {18, 1, "02", "003", "02003", "2004", "12", "361", "0003", "101", "3.3.90.30", "30", "33903000", "513101", 240000, Kind::Material},
    {19, 1, "02", "003", "02003", "2004", "12", "361", "0003", "101", "3.3.90.39", "39", "33903900", "513103", 300000, Kind::ServicePJ},
    {20, 1, "02", "003", "02003", "1001", "12", "361", "0003", "101", "4.4.90.51", "51", "44905100", "524101", 400000, Kind::Works},
    {21, 1, "02", "003", "02003", "1001", "12", "361", "0003", "101", "4.4.90.52", "52", "44905200", "524102", 80000, Kind::Equipment},
    {22, 1, "02", "004", "02004", "1002", "15", "451", "0004", "100", "4.4.90.51", "51", "44905100", "524101", 600000, Kind::Works},
    {23, 1, "02", "004", "02004", "2005", "15", "452", "0004", "100", "3.3.90.39", "39", "33903900", "513103", 420000, Kind::ServicePJ},
    {24, 1, "02", "004", "02004", "2005", "15", "452", "0004", "100", "3.3.90.30", "30", nullptr, "513101", 90000, Kind::Material},
    {25, 3, "02", "005", "02005", "2006", "10", "301", "0005", "102", "3.1.90.11", "11", "31901100", "511101", 540000, Kind::Payroll},
    {26, 3, "02", "005", "02005", "2006", "10", "301", "0005", "102", "3.3.90.30", "30", "33903000", "513101", 180000, Kind::Material},
    {27, 3, "02", "005", "02005", "2006", "10", "301", "0005", "102", "3.3.90.36", "36", "33903600", "513102", 60000, Kind::ServicePF},
    {28, 3, "02", "005", "02005", "2006", "10", "301", "0005", "102", "3.3.90.39", "39", "33903900", "513103", 150000, Kind::ServicePJ},
    {29, 3, "02", "005", "02005", "1003", "10", "301", "0005", "102", "4.4.90.51", "51", "44905100", "524101", 250000, Kind::Works},
    {30, 1, "99", "999", "99999", "9999", "04", "122", "0002", "100", "3.3.90.39", "39", "33903900", "211102", 0, Kind::Restos},
    {31, 3, "99", "999", "99999", "9999", "10", "301", "0005", "102", "3.3.90.30", "30", "33903000", "211102", 0, Kind::Restos},
    {32, 1, "02", "002", "02002", "", "", "", "", "", "", "", "", "323601", 0, Kind::Extra},
};

const Ficha& ficha(int n) { return kFichas[n - 1]; }

struct Organ {
    const char* poder;
    const char* orgao;
    const char* name;
};
const Organ kOrgans[] = {
    {"01", "001", "CÂMARA MUNICIPAL"},
    {"02", "001", "GABINETE DO PREFEITO"},
    {"02", "002", "SECRETARIA MUNICIPAL DE ADMINISTRAÇÃO E FINANÇAS"},
    {"02", "003", "SECRETARIA MUNICIPAL DE EDUCAÇÃO"},
    {"02", "004", "SECRETARIA MUNICIPAL DE OBRAS E SERVIÇOS URBANOS"},
    {"02", "005", "FUNDO MUNICIPAL DE SAÚDE"},
    {"99", "999", "RESTOS A PAGAR DE EXERCÍCIOS ANTERIORES"},
};

const std::pair<const char*, const char*> kUnits[] = {
    {"01001", "CÂMARA MUNICIPAL"},
    {"02001", "GABINETE DO PREFEITO"},
    {"02002", "SECRETARIA MUNICIPAL DE ADMINISTRAÇÃO E FINANÇAS"},
    {"02003", "SECRETARIA MUNICIPAL DE EDUCAÇÃO"},
    {"02004", "SECRETARIA MUNICIPAL DE OBRAS E SERVIÇOS URBANOS"},
    {"02005", "FUNDO MUNICIPAL DE SAÚDE"},
    {"99999", "RESTOS A PAGAR"},
};

const std::pair<const char*, const char*> kPrograms[] = {
    {"0001", "AÇÃO LEGISLATIVA"},
    {"0002", "GESTÃO ADMINISTRATIVA E FINANCEIRA"},
    {"0003", "ENSINO FUNDAMENTAL DE QUALIDADE"},
    {"0004", "CIDADE LIMPA E URBANIZADA"},
    {"0005", "SAÚDE PARA TODOS"},
};

const std::pair<const char*, const char*> kActions[] = {
    {"1001", "CONSTRUÇÃO, AMPLIAÇÃO E REFORMA DE ESCOLAS MUNICIPAIS"},
    {"1002", "PAVIMENTAÇÃO E DRENAGEM DE VIAS URBANAS"},
    {"1003", "CONSTRUÇÃO DO POSTO DE SAÚDE DO BAIRRO SÃO PEDRO"},
    {"2001", "MANUTENÇÃO DAS ATIVIDADES DA CÂMARA MUNICIPAL"},
    {"2002", "MANUTENÇÃO DO GABINETE DO PREFEITO"},
    {"2003", "MANUTENÇÃO DA SECRETARIA DE ADMINISTRAÇÃO E FINANÇAS"},
    {"2004", "MANUTENÇÃO DO ENSINO FUNDAMENTAL - FUNDEB"},
    {"2005", "LIMPEZA PÚBLICA E CONSERVAÇÃO DE LOGRADOUROS"},
    {"2006", "ATENÇÃO BÁSICA À SAÚDE"},
    {"9999", "RESTOS A PAGAR"},
};

const std::pair<const char*, const char*> kCatecs[] = {
    {"3.1.90.11", "VENCIMENTOS E VANTAGENS FIXAS - PESSOAL CIVIL"},
    {"3.1.90.13", "OBRIGAÇÕES PATRONAIS"},
    {"3.3.50.43", "SUBVENÇÕES SOCIAIS"},
    {"3.3.90.14", "DIÁRIAS - CIVIL"},
    {"3.3.90.30", "MATERIAL DE CONSUMO"},
    {"3.3.90.33", "PASSAGENS E DESPESAS COM LOCOMOÇÃO"},
    {"3.3.90.36", "OUTROS SERVIÇOS DE TERCEIROS - PESSOA FÍSICA"},
    {"3.3.90.39", "OUTROS SERVIÇOS DE TERCEIROS - PESSOA JURÍDICA"},
    {"3.3.90.46", "AUXÍLIO-ALIMENTAÇÃO"},
    {"4.4.90.51", "OBRAS E INSTALAÇÕES"},
    {"4.4.90.52", "EQUIPAMENTOS E MATERIAL PERMANENTE"},
};

// The court's expense codes: the mapped elements, an aggregate that takes no
// postings and one code deactivated before the demo year.
struct CourtCode {
    const char* code;
    const char* name;
    const char* deactivated;
    const char* situacao;
};
const CourtCode kCourtExpense[] = {
    {"31900000", "APLICAÇÕES DIRETAS - PESSOAL E ENCARGOS", "", "N"},
    {"31901100", "VENCIMENTOS E VANTAGENS FIXAS - PESSOAL CIVIL", "", ""},
    {"31901300", "OBRIGAÇÕES PATRONAIS", "", ""},
    {"33504300", "SUBVENÇÕES SOCIAIS", "", ""},
    {"33900000", "APLICAÇÕES DIRETAS - OUTRAS DESPESAS CORRENTES", "", "N"},
    {"33901400", "DIÁRIAS - CIVIL", "", ""},
    {"33903000", "MATERIAL DE CONSUMO", "", ""},
    {"33903300", "PASSAGENS E DESPESAS COM LOCOMOÇÃO", "", ""},
    {"33903600", "OUTROS SERVIÇOS DE TERCEIROS - PESSOA FÍSICA", "", ""},
    {"33903700", "LOCAÇÃO DE MÃO-DE-OBRA", "2006", ""},
    {"33903900", "OUTROS SERVIÇOS DE TERCEIROS - PESSOA JURÍDICA", "", ""},
    {"33904600", "AUXÍLIO-ALIMENTAÇÃO", "", ""},
    {"44905100", "OBRAS E INSTALAÇÕES", "", ""},
    {"44905200", "EQUIPAMENTOS E MATERIAL PERMANENTE", "", ""},
};

// The court's revenue codes. ITBI (11120800) and the bank interest (13250100) are
// found by zeroing; 17210000 takes no postings.
const CourtCode kCourtRevenue[] = {
    {"11120000", "IMPOSTOS SOBRE O PATRIMÔNIO E A RENDA", "", ""},
    {"11120200", "IMPOSTO PREDIAL E TERRITORIAL URBANO - IPTU", "", ""},
    {"11130500", "IMPOSTO SOBRE SERVIÇOS - ISS", "", ""},
    {"13250000", "REMUNERAÇÃO DE DEPÓSITOS BANCÁRIOS", "", ""},
    {"17210000", "TRANSFERÊNCIAS DA UNIÃO", "", "N"},
    {"17210102", "COTA-PARTE DO FUNDO DE PARTICIPAÇÃO DOS MUNICÍPIOS", "", ""},
    {"17213300", "TRANSFERÊNCIAS DE RECURSOS DO SUS", "", ""},
    {"17220000", "TRANSFERÊNCIAS DOS ESTADOS", "2006", ""},
    {"17220101", "COTA-PARTE DO ICMS", "", ""},
    {"17240100", "TRANSFERÊNCIAS DO FUNDEB", "", ""},
};

// Revenue appropriations (RECDIS) and where their money goes.
struct RevenueFicha {
    int ficha;
    int entity;
    const char* codre;  // local code: nnnn.nn.nn
    bool extra;
    const char* conta;  // bank account credited
    const char* balco;  // revenue ledger account (extra: the liability)
    const char* name;
};
const RevenueFicha kRevenue[] = {
    {101, 1, "1112.02.00", false, "23456-7", "411101", "IPTU"},
    {102, 1, "1112.08.00", false, "23456-7", "411102", "ITBI"},
    {103, 1, "1113.05.00", false, "23456-7", "411103", "ISS"},
    {104, 1, "1721.01.02", false, "12345-6", "417201", "FPM"},
    {105, 1, "1722.01.01", false, "23456-7", "417202", "ICMS"},
    {106, 1, "1724.01.00", false, "00601-2", "417203", "FUNDEB"},
    {107, 1, "1325.01.00", false, "12345-6", "413101", "RENDIMENTOS"},
    {108, 3, "1721.33.00", false, "300002-2", "417204", "SUS"},
    {201, 1, "9001.01.00", true, "", "323601", "INSS RETIDO"},
    {202, 1, "9001.03.00", true, "", "323603", "ISS RETIDO"},
    {211, 2, "9001.01.00", true, "", "323601", "INSS RETIDO"},
    {221, 3, "9001.01.00", true, "", "323601", "INSS RETIDO"},
};

const RevenueFicha& revenueFicha(int n) {
    for (const auto& r : kRevenue)
        if (r.ficha == n) return r;
    throw DemoError("ficha de receita " + std::to_string(n));
}

int inssFicha(int entity) { return entity == 1 ? 201 : entity == 2 ? 211 : 221; }

struct BankAccount {
    int entity;
    const char* balco;
    const char* banco;
    const char* agencia;
    const char* conta;
    const char* recur;
};
const BankAccount kAccounts[] = {
    {1, "111101", "001", "1234-5", "12345-6", "FPM - FUNDO DE PARTICIPAÇÃO DOS MUNICÍPIOS"},
    {1, "111102", "001", "1234-5", "23456-7", "ICMS E RECURSOS PRÓPRIOS"},
    {1, "111103", "104", "0678-9", "00601-2", "FUNDEB - MANUTENÇÃO DO ENSINO"},
    {1, "111106", "001", "1234-5", "34567-8", "CONVÊNIOS"},
    {1, "311101", "000", "0000-0", "0001", "CAIXA DA PREFEITURA"},
    {2, "111104", "047", "0123-4", "300001-1", "CÂMARA MUNICIPAL - MOVIMENTO"},
    {2, "311102", "000", "0000-0", "0002", "CAIXA DA CÂMARA"},
    {3, "111105", "047", "0123-4", "300002-2", "FUNDO MUNICIPAL DE SAÚDE - SUS"},
};

const BankAccount& account(std::string_view conta) {
    for (const auto& a : kAccounts)
        if (conta == a.conta) return a;
    throw DemoError("conta " + std::string(conta));
}

bool isCash(const BankAccount& a) { return std::string_view(a.banco) == "000"; }

// The local chart of accounts. 3111 holds the cash accounts, 3236 the retentions
// payable; the court's number and the court's parent account of each.
struct Account {
    const char* balco;
    const char* title;  // empty: never typed (deliberate problem)
    char dc;
    int seq;
    const char* parent;
};
const Account kChart[] = {
    {"100000", "ATIVO", 'D', 1001, ""},
    {"110000", "ATIVO FINANCEIRO", 'D', 1002, "1.0.0.0.0.00.00"},
    {"111000", "DISPONÍVEL", 'D', 1003, "1.1.0.0.0.00.00"},
    {"111100", "BANCOS CONTA MOVIMENTO", 'D', 1006, "1.1.1.0.0.00.00"},
    {"111101", "BANCO DO BRASIL - FPM", 'D', 1007, "1.1.1.2.0.00.00"},
    {"111102", "BANCO DO BRASIL - ICMS E RECURSOS PRÓPRIOS", 'D', 1007, "1.1.1.2.0.00.00"},
    {"111103", "CAIXA ECONÔMICA FEDERAL - FUNDEB", 'D', 1009, "1.1.1.2.0.00.00"},
    {"111104", "BANESE - CÂMARA MUNICIPAL", 'D', 1007, "1.1.1.2.0.00.00"},
    {"111105", "BANESE - FUNDO MUNICIPAL DE SAÚDE", 'D', 1010, "1.1.1.2.0.00.00"},
    {"111106", "BANCO DO BRASIL - CONVÊNIOS", 'D', 1011, "1.1.1.2.0.00.00"},
    {"200000", "PASSIVO", 'C', 1020, ""},
    {"210000", "PASSIVO FINANCEIRO", 'C', 1021, "2.0.0.0.0.00.00"},
    {"211000", "OBRIGAÇÕES A PAGAR", 'C', 1022, "2.1.0.0.0.00.00"},
    {"211100", "CREDORES", 'C', 1023, "2.1.1.0.0.00.00"},
    {"211101", "FORNECEDORES E CREDORES DO EXERCÍCIO", 'C', 1024, "2.1.1.1.0.00.00"},
    {"211102", "RESTOS A PAGAR PROCESSADOS", 'C', 1025, "2.1.1.1.0.00.00"},
    {"211199", "", 'C', 1024, "2.1.1.1.0.00.00"},
    {"300000", "CONTAS DE TESOURARIA", 'D', 1003, ""},
    {"310000", "DISPONIBILIDADES EM CAIXA", 'D', 1003, "1.1.0.0.0.00.00"},
    {"311000", "CAIXA", 'D', 1004, "1.1.1.0.0.00.00"},
    {"311100", "CAIXA GERAL", 'D', 1004, "1.1.1.0.0.00.00"},
    {"311101", "CAIXA DA PREFEITURA", 'D', 1005, "1.1.1.1.0.00.00"},
    {"311102", "CAIXA DA CÂMARA", 'D', 1005, "1.1.1.1.0.00.00"},
    {"320000", "OBRIGAÇÕES EXTRAORÇAMENTÁRIAS", 'C', 1026, "2.1.0.0.0.00.00"},
    {"323000", "DEPÓSITOS E CONSIGNAÇÕES", 'C', 1026, "2.1.0.0.0.00.00"},
    {"323600", "CONSIGNAÇÕES A RECOLHER", 'C', 1027, "2.1.2.0.0.00.00"},
    {"323601", "INSS A RECOLHER", 'C', 1028, "2.1.2.1.0.00.00"},
    {"323603", "ISS RETIDO A RECOLHER", 'C', 1030, "2.1.2.1.0.00.00"},
    {"400000", "RECEITA ORÇAMENTÁRIA", 'C', 1040, ""},
    {"410000", "RECEITAS CORRENTES", 'C', 1041, "4.0.0.0.0.00.00"},
    {"411000", "RECEITA TRIBUTÁRIA", 'C', 1042, "4.1.0.0.0.00.00"},
    {"411100", "IMPOSTOS", 'C', 1042, "4.1.0.0.0.00.00"},
    {"411101", "IPTU", 'C', 1042, "4.1.0.0.0.00.00"},
    {"411102", "ITBI", 'C', 1042, "4.1.0.0.0.00.00"},
    {"411103", "ISS", 'C', 1042, "4.1.0.0.0.00.00"},
    {"413000", "RECEITA PATRIMONIAL", 'C', 1043, "4.1.0.0.0.00.00"},
    {"413100", "RECEITAS DE VALORES MOBILIÁRIOS", 'C', 1043, "4.1.0.0.0.00.00"},
    {"413101", "REMUNERAÇÃO DE DEPÓSITOS BANCÁRIOS", 'C', 1043, "4.1.0.0.0.00.00"},
    {"417000", "TRANSFERÊNCIAS CORRENTES", 'C', 1044, "4.1.0.0.0.00.00"},
    {"417200", "TRANSFERÊNCIAS INTERGOVERNAMENTAIS", 'C', 1044, "4.1.0.0.0.00.00"},
    {"417201", "COTA-PARTE DO FPM", 'C', 1044, "4.1.0.0.0.00.00"},
    {"417202", "COTA-PARTE DO ICMS", 'C', 1044, "4.1.0.0.0.00.00"},
    {"417203", "TRANSFERÊNCIAS DO FUNDEB", 'C', 1044, "4.1.0.0.0.00.00"},
    {"417204", "TRANSFERÊNCIAS DO SUS", 'C', 1044, "4.1.0.0.0.00.00"},
    {"500000", "DESPESA ORÇAMENTÁRIA", 'D', 1050, ""},
    {"510000", "DESPESAS CORRENTES", 'D', 1050, "3.0.0.0.0.00.00"},
    {"511000", "PESSOAL E ENCARGOS SOCIAIS", 'D', 1051, "3.0.0.0.0.00.00"},
    {"511100", "PESSOAL CIVIL", 'D', 1051, "3.0.0.0.0.00.00"},
    {"511101", "VENCIMENTOS E VANTAGENS FIXAS", 'D', 1051, "3.0.0.0.0.00.00"},
    {"511102", "OBRIGAÇÕES PATRONAIS", 'D', 1051, "3.0.0.0.0.00.00"},
    {"513000", "OUTRAS DESPESAS CORRENTES", 'D', 1052, "3.0.0.0.0.00.00"},
    {"513100", "APLICAÇÕES DIRETAS", 'D', 1052, "3.0.0.0.0.00.00"},
    {"513101", "MATERIAL DE CONSUMO", 'D', 1052, "3.0.0.0.0.00.00"},
    {"513102", "SERVIÇOS DE TERCEIROS - PESSOA FÍSICA", 'D', 1052, "3.0.0.0.0.00.00"},
    {"513103", "SERVIÇOS DE TERCEIROS - PESSOA JURÍDICA", 'D', 1052, "3.0.0.0.0.00.00"},
    {"513104", "DIÁRIAS", 'D', 1052, "3.0.0.0.0.00.00"},
    {"513105", "PASSAGENS E DESPESAS COM LOCOMOÇÃO", 'D', 1052, "3.0.0.0.0.00.00"},
    {"513106", "AUXÍLIO-ALIMENTAÇÃO", 'D', 1052, "3.0.0.0.0.00.00"},
    {"513107", "SUBVENÇÕES SOCIAIS", 'D', 1052, "3.0.0.0.0.00.00"},
    {"520000", "DESPESAS DE CAPITAL", 'D', 1053, "3.0.0.0.0.00.00"},
    {"524000", "INVESTIMENTOS", 'D', 1053, "3.0.0.0.0.00.00"},
    {"524100", "APLICAÇÕES DIRETAS", 'D', 1053, "3.0.0.0.0.00.00"},
    {"524101", "OBRAS E INSTALAÇÕES", 'D', 1053, "3.0.0.0.0.00.00"},
    {"524102", "EQUIPAMENTOS E MATERIAL PERMANENTE", 'D', 1053, "3.0.0.0.0.00.00"},
    {"600000", "INTERFERÊNCIAS FINANCEIRAS", 'D', 1060, ""},
    {"611000", "TRANSFERÊNCIAS FINANCEIRAS", 'D', 1060, "6.0.0.0.0.00.00"},
    {"611100", "TRANSFERÊNCIAS A CÂMARA MUNICIPAL", 'D', 1060, "6.0.0.0.0.00.00"},
    {"611101", "TRANSFERÊNCIAS CONCEDIDAS", 'D', 1061, "6.0.0.0.0.00.00"},
    {"611102", "TRANSFERÊNCIAS RECEBIDAS", 'C', 1062, "6.0.0.0.0.00.00"},
};

struct CourtAccount {
    int seq;
    const char* code;
    const char* name;
    const char* deactivated;
    const char* subtipo;
};
const CourtAccount kCourtChart[] = {
    {1001, "1.0.0.0.0.00.00", "ATIVO", "", "00"},
    {1002, "1.1.0.0.0.00.00", "ATIVO FINANCEIRO", "", "00"},
    {1003, "1.1.1.0.0.00.00", "DISPONÍVEL", "", "00"},
    {1004, "1.1.1.1.0.00.00", "CAIXA", "", "01"},
    {1005, "1.1.1.1.1.00.00", "CAIXA - RECURSOS ORDINÁRIOS", "", "01"},
    {1006, "1.1.1.2.0.00.00", "BANCOS CONTA MOVIMENTO", "", "02"},
    {1007, "1.1.1.2.1.01.00", "BANCOS - RECURSOS ORDINÁRIOS", "", "02"},
    {1008, "1.1.1.2.1.02.00", "BANCOS - RECURSOS VINCULADOS", "", "02"},
    {1009, "1.1.1.2.1.03.00", "BANCOS - FUNDEB", "", "02"},
    {1010, "1.1.1.2.1.04.00", "BANCOS - SAÚDE", "", "02"},
    {1011, "1.1.1.2.1.05.00", "BANCOS - CONVÊNIOS", "", "02"},
    {1012, "1.1.1.2.9.00.00", "BANCOS - OUTRAS CONTAS", "2006", "02"},
    {1020, "2.0.0.0.0.00.00", "PASSIVO", "", "00"},
    {1021, "2.1.0.0.0.00.00", "PASSIVO FINANCEIRO", "", "00"},
    {1022, "2.1.1.0.0.00.00", "OBRIGAÇÕES A PAGAR", "", "00"},
    {1023, "2.1.1.1.0.00.00", "CREDORES", "", "03"},
    {1024, "2.1.1.1.1.01.00", "FORNECEDORES DO EXERCÍCIO", "", "03"},
    {1025, "2.1.1.1.1.02.00", "RESTOS A PAGAR PROCESSADOS", "", "03"},
    {1026, "2.1.2.0.0.00.00", "DEPÓSITOS", "", "04"},
    {1027, "2.1.2.1.0.00.00", "CONSIGNAÇÕES", "", "04"},
    {1028, "2.1.2.1.1.01.00", "PREVIDÊNCIA SOCIAL - INSS", "", "04"},
    {1029, "2.1.2.1.1.02.00", "IMPOSTO DE RENDA RETIDO NA FONTE", "", "04"},
    {1030, "2.1.2.1.1.03.00", "ISS RETIDO NA FONTE", "", "04"},
    {1040, "4.0.0.0.0.00.00", "RECEITA", "", "05"},
    {1041, "4.1.0.0.0.00.00", "RECEITAS CORRENTES", "", "05"},
    {1042, "4.1.1.0.0.00.00", "RECEITA TRIBUTÁRIA", "", "05"},
    {1043, "4.1.3.0.0.00.00", "RECEITA PATRIMONIAL", "", "05"},
    {1044, "4.1.7.0.0.00.00", "TRANSFERÊNCIAS CORRENTES", "", "05"},
    {1050, "3.0.0.0.0.00.00", "DESPESA", "", "06"},
    {1051, "3.3.1.0.0.00.00", "PESSOAL E ENCARGOS SOCIAIS", "", "06"},
    {1052, "3.3.3.0.0.00.00", "OUTRAS DESPESAS CORRENTES", "", "06"},
    {1053, "3.4.4.0.0.00.00", "INVESTIMENTOS", "", "06"},
    {1060, "6.0.0.0.0.00.00", "INTERFERÊNCIAS FINANCEIRAS", "", "07"},
    {1061, "6.1.1.0.0.00.00", "TRANSFERÊNCIAS FINANCEIRAS CONCEDIDAS", "", "07"},
    {1062, "6.2.1.0.0.00.00", "TRANSFERÊNCIAS FINANCEIRAS RECEBIDAS", "", "07"},
};

enum class Role { Servant, Construction, Office, Fuel, Medicine, School, Cleaning, Software, Food, Printing, Travel, Energy,
                  Furniture, Lab, Provider, Payroll, Inss, State, Federal, Association, Artist, Water, Deliberate };

struct Supplier {
    int codif;
    const char* codtip;
    const char* name;
    Role role;
    const char* street;
    const char* district;
    const char* city;
    const char* codativ;
};
const Supplier kSuppliers[] = {
    {1, "02", "JOSÉ CARLOS DOS SANTOS", Role::Servant, "RUA SÃO PEDRO, 45", "SÃO PEDRO", kCity, ""},
    {2, "01", "CONSTRUTORA ARACAJU LTDA", Role::Construction, "AV. HERMES FONTES, 1200", "SALGADO FILHO", "ARACAJU", "41"},
    {3, "01", "PAPELARIA E LIVRARIA SÃO JOSÉ LTDA", Role::Office, "RUA DA MATRIZ, 12", "CENTRO", kCity, "47"},
    {4, "01", "AUTO POSTO CONCEIÇÃO LTDA", Role::Fuel, "RODOVIA SE-170, KM 3", "ENTRADA DA CIDADE", kCity, "47"},
    {5, "01", "DISTRIBUIDORA DE MEDICAMENTOS SERGIPE LTDA", Role::Medicine, "AV. TANCREDO NEVES, 3500", "INÁCIO BARBOSA", "ARACAJU", "46"},
    {6, "01", "TRANSPORTE ESCOLAR DO AGRESTE LTDA", Role::School, "RUA JOÃO PESSOA, 230", "CENTRO", "ITABAIANA", "49"},
    {7, "01", "LIMPEZA URBANA NORDESTE LTDA", Role::Cleaning, "RUA ITABAIANINHA, 88", "CENTRO", "ARACAJU", "38"},
    {8, "01", "INFORMÁTICA E SISTEMAS SERGIPE LTDA", Role::Software, "AV. BARÃO DE MARUIM, 501", "SÃO JOSÉ", "ARACAJU", "62"},
    {9, "01", "MERCADINHO BOA ESPERANÇA LTDA", Role::Food, "RUA SETE DE SETEMBRO, 17", "CENTRO", kCity, "47"},
    {10, "01", "GRÁFICA E EDITORA CONCEIÇÃO LTDA", Role::Printing, "RUA DO COMÉRCIO, 77", "CENTRO", kCity, "18"},
    {11, "01", "AGÊNCIA DE VIAGENS TIRADENTES LTDA", Role::Travel, "RUA LARANJEIRAS, 410", "CENTRO", "ARACAJU", "79"},
    {12, "01", "ENERGISA SERGIPE - DISTRIBUIDORA DE ENERGIA S.A.", Role::Energy, "RUA MINISTRO APOLÔNIO SALES, 81", "INÁCIO BARBOSA", "ARACAJU", "35"},
    {13, "01", "CONSTRUTORA ITABAIANA LTDA", Role::Construction, "AV. OTONIEL DÓRIA, 900", "CENTRO", "ITABAIANA", "41"},
    {14, "01", "MÓVEIS E ELETRO ARAÚJO LTDA", Role::Furniture, "RUA SÃO PAULO, 66", "CENTRO", "LAGARTO", "47"},
    {15, "01", "LABORATÓRIO SÃO LUCAS LTDA", Role::Lab, "RUA DR. JOSÉ ALVES, 150", "CENTRO", kCity, "86"},
    {16, "02", "MARIA DAS GRAÇAS OLIVEIRA", Role::Servant, "RUA DA IGREJA, 9", "CENTRO", kCity, ""},
    {17, "02", "ANTÔNIO JOSÉ DE SOUZA", Role::Servant, "TRAVESSA BOA VISTA, 31", "BOA VISTA", kCity, ""},
    {18, "02", "FRANCISCA MARIA DA CONCEIÇÃO", Role::Provider, "RUA DO CRUZEIRO, 140", "CRUZEIRO", kCity, ""},
    {19, "02", "SILVANA MARIA ARAÚJO", Role::Provider, "RUA NOVA, 15", "SÃO PEDRO", kCity, ""},
    {20, "02", "JOÃO BATISTA DE OLIVEIRA", Role::Servant, "PRAÇA DA MATRIZ, 2", "CENTRO", kCity, ""},
    {21, "09", "SERVIDORES MUNICIPAIS - FOLHA DE PAGAMENTO", Role::Payroll, "PRAÇA DA MATRIZ, 100", "CENTRO", kCity, ""},
    {22, "09", "INSTITUTO NACIONAL DO SEGURO SOCIAL - INSS", Role::Inss, "PRAÇA GENERAL VALADÃO, 32", "CENTRO", "ARACAJU", ""},
    {23, "09", "GOVERNO DO ESTADO DE SERGIPE", Role::State, "PRAÇA FAUSTO CARDOSO, S/N", "CENTRO", "ARACAJU", ""},
    {24, "09", "FUNDO NACIONAL DE SAÚDE", Role::Federal, "ESPLANADA DOS MINISTÉRIOS, BLOCO G", "ZONA CÍVICO-ADMINISTRATIVA", "BRASÍLIA", ""},
    {25, "09", "ASSOCIAÇÃO DE MORADORES DO BAIRRO SÃO PEDRO", Role::Association, "RUA SÃO PEDRO, 200", "SÃO PEDRO", kCity, ""},
    {26, "01", "COMERCIAL SANTA RITA LTDA", Role::Deliberate, "RUA SANTA RITA, 5", "CENTRO", kCity, "47"},
    {27, "02", "RAIMUNDO NONATO FERREIRA", Role::Deliberate, "RUA DO CAMPO, 71", "ALTO", kCity, ""},
    {28, "01", "FORRÓ DO AGRESTE PRODUÇÕES ARTÍSTICAS LTDA", Role::Artist, "RUA DO FORRÓ, 300", "CENTRO", "CAMPINA GRANDE", "90"},
    {29, "01", "GÁS E ÁGUA MINERAL SÃO JOSÉ LTDA", Role::Water, "RUA DO MERCADO, 44", "CENTRO", kCity, "47"},
    {30, "02", "JOSEFA ALVES DOS SANTOS", Role::Servant, "RUA DAS FLORES, 23", "CENTRO", kCity, ""},
};

constexpr int kBlankCnpjSupplier = 26;
constexpr int kBadCpfSupplier = 27;

struct Product {
    const char* code;
    const char* name;
    const char* unit;
};
const Product kProducts[] = {
    {"001.001.001", "PAPEL A4 BRANCO 75G - RESMA COM 500 FOLHAS", "RES"},
    {"001.001.002", "CANETA ESFEROGRÁFICA AZUL", "UND"},
    {"001.002.003", "CARTUCHO DE TINTA PARA IMPRESSORA JATO DE TINTA", "UND"},
    {"002.001.001", "GASOLINA COMUM", "LT"},
    {"002.001.002", "ÓLEO DIESEL", "LT"},
    {"003.001.001", "CIMENTO PORTLAND CP II - SACO DE 50 KG", "SC"},
    {"003.001.002", "AREIA LAVADA", "M3"},
    {"003.001.003", "PARALELEPÍPEDO GRANÍTICO", "MIL"},
    {"004.001.001", "DIPIRONA SÓDICA 500 MG - CAIXA COM 100 COMPRIMIDOS", "CX"},
    {"004.001.002", "AMOXICILINA 500 MG - CAIXA COM 21 CÁPSULAS", "CX"},
    {"005.001.001", "ARROZ BRANCO TIPO 1 - PACOTE DE 5 KG", "PCT"},
    {"005.001.002", "FEIJÃO CARIOCA - PACOTE DE 1 KG", "PCT"},
    {"006.001.001", "COMPUTADOR DE MESA COM MONITOR", "UND"},
    {"006.001.002", "IMPRESSORA LASER MONOCROMÁTICA", "UND"},
    {"007.001.001", "ÁGUA MINERAL - GARRAFÃO DE 20 LITROS", "UND"},
};

// clang-format on

// ------------------------------------------------------------ demo data

struct Liquidation {
    Date date;
    std::int64_t cents;  // negative: a reversal
};
struct Payment {
    Date date;
    std::int64_t cents;  // negative: a reversal
    const BankAccount* account;
    std::string cheque;
    std::string ordpg;
};
struct Invoice {
    std::string number;
    std::string serie;
    Date date;
    std::int64_t cents;
};
struct Travel {
    std::string ticket;  // empty: daily allowances
    std::int64_t ticketCents = 0;
    std::optional<Date> ticketDate;
    std::string destination;
    std::string reason;
    Date leave;
    Date back;
    std::string registration;
    std::string traveller;
    std::string issuer;
    std::vector<std::int64_t> allowances;  // DESPESADDOC totals
};

struct Commitment {
    int key = 0;
    std::string pkempa;  // empty: its own key
    int entity = 1;
    int ficha = 0;
    Date date;
    int nempg = 0;
    std::int64_t cents = 0;  // negative: an annulment or a cancellation
    std::string tpem = "OR";
    std::string licit;
    std::string numlic;
    std::string numlicmod;
    std::string codobra;
    std::string contrato;
    int convenio = 0;
    int codif = 0;
    std::string produ;
    std::string proc;
    std::int64_t retained = 0;
    int retainedFicha = 0;
    std::vector<Liquidation> liquidations;
    std::vector<Payment> payments;
    std::string document;  // DESSUB
    std::vector<Invoice> invoices;
    std::optional<Travel> travel;
    int annulOf = 0;  // the commitment an annulment reduces
};

struct Bidding {
    std::string numlic;
    const char* modlic;
    std::string object;
    const char* criterion;
    std::int64_t cents;
    Date opened;
    std::optional<Date> published;
    std::string medium;
    int commission;
    std::vector<int> suppliers;
    std::vector<int> products;
    int winner = 0;
    std::string licit;  // the commitment's text for this modality
};

struct Work {
    std::string number;
    int entity;
    std::string description;
    std::string location;
    Date date;
    std::string regime;
    std::string numlic;
    std::string category;
    std::string type;
    std::int64_t cents;
    int term;
    int executor;  // supplier, 0 for direct administration
};

struct Contract {
    std::string code;
    int entity;
    std::string object;
    std::int64_t cents;
    Date signedOn;
    std::string modality;
    std::string numlic;
    std::string legal;
    std::string type;
    std::string work;
    int supplier;
    std::optional<Date> annulled;
    std::string annulReason;
};

// ------------------------------------------------------------ the builder

class Builder {
public:
    Builder(Connection& db, int year, int scale, const std::function<void(const std::string&)>& progress)
        : db_(db),
          year_(year),
          scale_(scale),
          yy_(fmt("%02d", year % 100)),
          rng_(0x7C3E5E0000ull + static_cast<unsigned>(year)),
          progress_(progress) {}

    void clientOnly();
    void everything();

    std::vector<std::pair<std::string, long>> counts() const {
        std::vector<std::pair<std::string, long>> out;
        for (const auto& t : tables_) out.emplace_back(t->table(), t->rows());
        return out;
    }
    long movementRows() const {
        long n = 0;
        for (const auto& t : tables_)
            if (t->movement()) n += t->rows();
        return n;
    }
    // Supporting documents the March export looks for, and the one left out.
    const std::vector<std::string>& documents() const { return documents_; }
    const std::string& missingDocument() const { return missing_; }

private:
    Inserter& table(const std::string& name, std::initializer_list<const char*> columns, bool movement = false) {
        for (auto& t : tables_)
            if (t->table() == name) return *t;
        tables_.push_back(std::make_unique<Inserter>(db_, name, columns, movement));
        return *tables_.back();
    }
    void say(const std::string& s) {
        if (progress_) progress_(s);
    }

    std::string cnpjOf(const Entity& e) const {
        return *e.cnpjRoot ? cnpjMask(completeCnpj(e.cnpjRoot)) : std::string();
    }
    std::string supplierDocument(const Supplier& s);
    const Supplier& supplier(int codif) const { return kSuppliers[codif - 1]; }
    std::vector<int> suppliersFor(std::initializer_list<Role> roles) const {
        std::vector<int> out;
        for (const auto& s : kSuppliers)
            for (Role r : roles)
                if (s.role == r) out.push_back(s.codif);
        return out;
    }
    std::string nextProc() { return fmt("%04d/%s", ++procSeq_, yy_.c_str()); }
    void ledger(const std::string& debit, const std::string& credit, const Date& d, std::int64_t cents);

    void client();
    void budget();
    void chartAndBanks();
    void suppliers();
    void commissions();
    void biddings();
    void works();
    void contracts();
    void agreements();
    void waivers();
    void commitments();
    void bulkCommitments(int month);
    void showcase();
    void settle(Commitment& c, bool payNow);
    void writeCommitments();
    void revenue();
    void reconciliation();
    void decrees();
    void chartRows();
    void entities();

    int pickBidding(const char* modlic, const Date& until);
    Commitment& add(Commitment c) {
        c.key = static_cast<int>(commitments_.size()) + 1;
        commitments_.push_back(std::move(c));
        return commitments_.back();
    }

    Connection& db_;
    int year_;
    int scale_;
    std::string yy_;
    Rng rng_;
    const std::function<void(const std::string&)>& progress_;
    std::vector<std::unique_ptr<Inserter>> tables_;
    Inserter* condia_ = nullptr;

    std::map<int, std::string> supplierDocs_;
    std::vector<Bidding> biddings_;
    std::vector<Work> works_;
    std::vector<Contract> contracts_;
    std::vector<Commitment> commitments_;
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> ledgerTotals_;  // debit, credit
    std::map<int, int> lastNempg_;
    std::map<int, int> lastOrdpg_;
    std::map<std::string, int> chequeSeq_;
    int procSeq_ = 0;
    std::vector<std::string> documents_;
    std::string missing_;
};

// ---- client, entities, logo

std::string logoBitmap() {
    // A 48x48 24-bit BMP: a teal shield with a white cross, drawn here so that the
    // report header has a logo to show.
    const int w = 48, h = 48, row = w * 3;
    std::string b(54 + row * h, '\0');
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    put32(34, static_cast<std::uint32_t>(row * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int top = h - 1 - y;  // rows are stored bottom-up
            const bool inShield = x >= 6 && x < 42 && top >= 4 && (top < 30 || std::abs(x - 24) < (46 - top) * 18 / 16);
            const bool cross =
                (std::abs(x - 24) <= 2 && top >= 10 && top <= 36) || (top >= 16 && top <= 20 && x >= 14 && x <= 34);
            unsigned char r = 255, g = 255, bl = 255;
            if (inShield && !cross) r = 0, g = 128, bl = 128;
            const std::size_t at = 54 + static_cast<std::size_t>(y * row + x * 3);
            b[at] = static_cast<char>(bl);
            b[at + 1] = static_cast<char>(g);
            b[at + 2] = static_cast<char>(r);
        }
    return b;
}

void Builder::clientOnly() {
    say("Cliente");
    auto& cadcli = table("CADCLI", {"MEXER", "CLNT1", "ENDERE", "CGC"});
    cadcli({T(std::to_string(year_)), T("MUNICÍPIO DE SÃO JOSÉ DA CONCEIÇÃO"), T("PRAÇA DA MATRIZ, 100 - CENTRO"),
            T(cnpjOf(kEntities[0]))});
}

void Builder::client() {
    clientOnly();
    table("LOGO", {"LOGO"})({T(logoBitmap())});
    auto& p = table("PARAMORC", {"LEI_PPA", "DTPUBLICACAO_PPA", "LEI_LDO", "DTPUBLICACAO_LDO", "LEI", "DTPUBLICACAO",
                                 "PERCE", "PORCENTO"});
    p({T(fmt("1180/%02d", (year_ - 2) % 100)), D(ymd(year_ - 2, 12, 20)), T(fmt("1245/%02d", (year_ - 1) % 100)),
       D(ymd(year_ - 1, 7, 14)), T(fmt("1262/%02d", (year_ - 1) % 100)), D(ymd(year_ - 1, 12, 22)), M(2000), M(5400)});
}

void Builder::entities() {
    auto& t =
        table("TABEMPRESA", {"EMPRESA", "NOME",    "CGC",       "ENDERECO",   "BAIRRO",   "CEP",      "FONE",
                             "FAX",     "TIPO",    "CODAUDESP", "CPF_ORDENA", "CPF_CONT", "CRC_CONT", "UF_CRC_CONT",
                             "BANCO",   "AGENCIA", "CONTA",     "CONTATO",    "MNOME",    "CODIF",    "NEMPG",
                             "NEMP",    "PODER",   "NEMPGEX",   "NEMPGRE",    "ORDPGSEQ"});
    // The accountant's CPF of the prefeitura has a wrong check digit (deliberate).
    const std::string contador = completeCpf("412336985");
    const std::string contadorErrado = contador.substr(0, 10) + static_cast<char>('0' + (contador[10] - '0' + 1) % 10);
    struct Extra {
        const char* address;
        const char* phone;
        const char* fax;
        const char* ordenador;
        std::string contador;
        const char* crc;
        const char* banco;
        const char* agencia;
        const char* conta;
        const char* contato;
        const char* mnome;
    };
    const Extra extras[] = {
        {"PRAÇA DA MATRIZ, 100", "(79) 3341-1200", "(79) 3341-1201", "203118476", cpfMask(contadorErrado),
         "SE-004512/O-8", "001", "1234-5", "12345-6", "MARIA DAS GRAÇAS OLIVEIRA", "JOÃO BATISTA DE OLIVEIRA"},
        {"RUA DR. JOSÉ ALVES, 20", "(79) 3341-1300", "", "305471926", cpfMask(completeCpf("412336985")),
         "SE-004512/O-8", "047", "0123-4", "300001-1", "ANTÔNIO JOSÉ DE SOUZA", "JOSÉ FRANCISCO DOS SANTOS"},
        {"RUA SÃO PEDRO, 210", "(79) 3341-1400", "(79) 3341-1401", "118203547", cpfMask(completeCpf("412336985")),
         "SE-004512/O-8", "047", "0123-4", "300002-2", "JOSEFA ALVES DOS SANTOS", "ANA LÚCIA MENEZES"},
    };
    for (const auto& e : kEntities) {
        const Extra& x = extras[e.code - 1];
        const int nempg = lastNempg_[e.code];
        t({I(e.code),
           T(e.name),
           TN(cnpjOf(e)),
           T(x.address),
           T(e.code == 3 ? "SÃO PEDRO" : "CENTRO"),
           T(kCep),
           T(x.phone),
           TN(x.fax),
           I(e.tipo),
           I(e.codaudesp),
           T(cpfMask(completeCpf(x.ordenador))),
           T(x.contador),
           T(x.crc),
           T("SE"),
           T(x.banco),
           T(x.agencia),
           T(x.conta),
           T(x.contato),
           T(x.mnome),
           I(21),
           I(nempg),
           I(nempg),
           T(e.poder),
           I(0),
           I(0),
           I(lastOrdpg_[e.code])});
    }
}

// ---- budget

void Builder::budget() {
    say("Orçamento");
    auto& org = table("TABORGAO", {"PODER", "ORGAO", "NOME"});
    for (const auto& o : kOrgans) org({T(o.poder), T(o.orgao), T(o.name)});
    auto& uni = table("TABUNIDADE", {"CODLO", "NOME"});
    for (const auto& [c, n] : kUnits) uni({T(c), T(n)});
    auto& prg = table("TABPROGRAMA", {"PROGRAMA", "NOME"});
    for (const auto& [c, n] : kPrograms) prg({T(c), T(n)});
    auto& act = table("TABPROJATIV", {"PROJATIV", "NOME"});
    for (const auto& [c, n] : kActions) act({T(c), T(n)});
    auto& cat = table("TABCATEC", {"CATEC", "NOME"});
    for (const auto& [c, n] : kCatecs) cat({T(c), T(n)});

    auto& orc = table("DESORC", {"FICHA", "EMPRESA", "PODER", "ORGAO", "CODLO", "PROJATIV", "FUNCAO", "SUBFUNCAO",
                                 "PROGRAMA", "FONCODIGO", "DOTAC"});
    auto& dis = table("DESDIS", {"FICHA", "EMPRESA", "PODER", "CODLO", "PROJATIV", "FONCODIGO", "ELEMENTO", "CATEC",
                                 "BALCO_TCE", "DOTAC", "EXTRA", "BALCO"});
    for (const auto& f : kFichas) {
        const bool extra = f.kind == Kind::Extra;
        if (!extra)
            orc({I(f.ficha), I(f.entity), T(f.poder), T(f.orgao), T(f.codlo), T(f.projativ), T(f.funcao),
                 T(f.subfuncao), T(f.programa), T(f.fonte), M(f.dotacReais * 100)});
        dis({I(f.ficha), I(f.entity), T(f.poder), T(f.codlo), TN(f.projativ), TN(f.fonte), TN(f.elemento), TN(f.catec),
             f.balcoTce ? TN(f.balcoTce) : NUL(), M(f.dotacReais * 100), T(extra ? "S" : "N"), T(f.balco)});
    }

    auto& recdis = table("RECDIS", {"FICHA", "EMPRESA", "CODRE", "EXTRA"});
    for (const auto& r : kRevenue) recdis({I(r.ficha), I(r.entity), T(r.codre), T(r.extra ? "S" : "N")});

    // The forecast, by the dotted code of the budget law.
    auto& recorc = table("RECORC", {"EMPRESA", "CODRE", "TOTOR"});
    const std::pair<int, std::int64_t> forecast[] = {{101, 420000},  {102, 150000},  {103, 380000}, {104, 6500000},
                                                     {105, 1200000}, {106, 1900000}, {107, 60000},  {108, 1100000}};
    for (const auto& [f, reaisTotal] : forecast) {
        const RevenueFicha& r = revenueFicha(f);
        std::string dotted;
        for (char c : digitsOnly(r.codre)) {
            if (!dotted.empty() && dotted.size() < 7)
                dotted += '.';
            else if (dotted.size() == 7 || dotted.size() == 10)
                dotted += '.';
            dotted += c;
        }
        recorc({I(r.entity), T(dotted), M(reaisTotal * 100)});
    }
}

void Builder::decrees() {
    say("Alterações orçamentárias");
    auto& dec = table("CADDECRETO", {"DECRETO", "DTLAN", "LEI", "DTLEI"});
    auto& ald = table("DESALD", {"DECRETO", "IE", "DTLAN", "VALOR", "FICHA"});
    const Date lawDate = ymd(year_ - 1, 12, 22);
    int number = 0;
    for (int m = 1; m <= 12; ++m) {
        // Every month a supplementation of the prefeitura by annulment of another
        // appropriation; every other month one by excess revenue for the health fund.
        const Date d = ymd(year_, m, std::min(10 + m, lastDay(year_, m)));
        ++number;
        dec({I(number), D(d), I(1262), D(lawDate)});
        const std::int64_t v = rng_.between64(50, 400) * 10000;
        const int plus = m % 2 ? 12 : 14, minus = m % 2 ? 9 : 23;
        ald({I(number), T("1"), D(d), M(v), I(plus)});
        ald({I(number), T("1"), D(d), M(-v), I(minus)});
        if (m % 2 == 0) {
            ++number;
            dec({I(number), D(addDays(d, 3)), I(1262), D(lawDate)});
            ald({I(number), T("2"), D(addDays(d, 3)), M(rng_.between64(100, 800) * 10000), I(26)});
        }
        if (m == 3) {
            // Decree without the number of its law (deliberate).
            ++number;
            dec({I(number), D(ymd(year_, 3, 27)), NUL(), D(lawDate)});
            ald({I(number), T("3"), D(ymd(year_, 3, 27)), M(8000000), I(22)});
            ald({I(number), T("4"), D(ymd(year_, 3, 27)), M(1500000), I(18)});
        }
        if (m == 9) {
            ++number;
            dec({I(number), D(ymd(year_, 9, 20)), I(1262), D(lawDate)});
            ald({I(number), T("8"), D(ymd(year_, 9, 20)), M(2500000), I(10)});
        }
    }
}

// ---- accounts, banks

void Builder::chartAndBanks() {
    say("Contas bancárias");
    auto& ag = table("AGENCIA", {"BANCO", "AGENCIA", "NOMEAGENCIA"});
    ag({T("001"), T("1234-5"), T("AGÊNCIA SÃO JOSÉ DA CONCEIÇÃO")});
    ag({T("104"), T("0678-9"), T("AGÊNCIA ITABAIANA")});
    ag({T("047"), T("0123-4"), NUL()});  // branch without its name (deliberate)
    ag({T("000"), T("0000-0"), T("CAIXA")});
    auto& con = table("DESCON", {"EMPRESA", "BALCO", "BANCO", "AGENCIA", "CONTA", "RECUR"});
    for (const auto& a : kAccounts) con({I(a.entity), T(a.balco), T(a.banco), T(a.agencia), T(a.conta), T(a.recur)});
}

void Builder::chartRows() {
    auto& t = table("CONPLA", {"BALCO", "TIP", "TITCO", "D_C", "CREDIT", "DEBIT", "SALDO", "CODIGO_TCE", "SEQ_TCE"});
    for (const auto& a : kChart) {
        const std::string code = a.balco;
        const bool synthetic = code.substr(4) == "00";
        // A synthetic account totals the analytic accounts below it.
        std::string prefix = code;
        while (!prefix.empty() && prefix.back() == '0') prefix.pop_back();
        std::int64_t debit = 0, credit = 0;
        for (const auto& [balco, dc] : ledgerTotals_)
            if (synthetic ? balco.rfind(prefix, 0) == 0 : balco == code) {
                debit += dc.first;
                credit += dc.second;
            }
        const std::int64_t saldo = a.dc == 'D' ? debit - credit : credit - debit;
        auto dbl = [](std::int64_t cents) { return Value{Decimal::fromScaled(cents * 100)}; };
        t({T(code), T(synthetic ? "S" : "A"), T(a.title), T(std::string(1, a.dc)), dbl(credit), dbl(debit), dbl(saldo),
           TN(a.parent), T(std::to_string(a.seq))});
    }
}

void Builder::ledger(const std::string& debit, const std::string& credit, const Date& d, std::int64_t cents) {
    if (!condia_) condia_ = &table("CONDIA", {"BALCO", "DATAE", "DEBIT", "CREDI"}, true);
    if (cents < 0) return ledger(credit, debit, d, -cents);
    (*condia_)({T(debit), D(d), M(cents), M(0)});
    (*condia_)({T(credit), D(d), M(0), M(cents)});
    ledgerTotals_[debit].first += cents;
    ledgerTotals_[credit].second += cents;
}

// ---- suppliers and products

std::string Builder::supplierDocument(const Supplier& s) {
    if (auto it = supplierDocs_.find(s.codif); it != supplierDocs_.end()) return it->second;
    std::string doc;
    const std::string code = s.codtip;
    if (s.codif == 1) {
        doc = "12345678909";  // typed without punctuation
    } else if (s.codif == kBlankCnpjSupplier) {
        doc = "";
    } else if (s.codif == kBadCpfSupplier) {
        const std::string ok = completeCpf("529982247");
        doc = cpfMask(ok.substr(0, 9) + (ok[9] == '9' ? "0" : std::string(1, static_cast<char>(ok[9] + 1))) +
                      ok.substr(10));
    } else if (s.role == Role::Payroll) {
        doc = cnpjMask(completeCnpj(kEntities[0].cnpjRoot));
    } else if (code == "02") {
        doc = cpfMask(
            completeCpf(fmt("%03d%03d%03d", 100 + s.codif * 7, 300 + s.codif * 13 % 600, 200 + s.codif * 29 % 700)));
    } else {
        doc = cnpjMask(
            completeCnpj(fmt("%02d%03d%03d0001", 10 + s.codif, 100 + s.codif * 37 % 900, 500 + s.codif * 11 % 400)));
    }
    supplierDocs_[s.codif] = doc;
    return doc;
}

void Builder::suppliers() {
    say("Fornecedores");
    auto& t = table("DESFOR", {"CODIF", "CODTIP", "INSMF", "NOME", "ENDER", "COMPL", "CEP", "CEPCI", "UF", "TELEF",
                               "FAX", "EMAIL", "INEST", "CODATIV", "PISPASEP"});
    for (const auto& s : kSuppliers) {
        const bool company = std::string_view(s.codtip) == "01";
        const bool person = std::string_view(s.codtip) == "02";
        const std::string city = s.city;
        const std::string uf = city == "BRASÍLIA" ? "DF" : city == "CAMPINA GRANDE" ? "PB" : "SE";
        const std::string cep = city == std::string(kCity) ? kCep
                                : city == "ARACAJU"        ? fmt("490%02d-%03d", s.codif % 90, s.codif * 7 % 1000)
                                : city == "BRASÍLIA"       ? "70058-900"
                                : city == "CAMPINA GRANDE" ? "58400-000"
                                                           : "49500-000";
        std::string email;
        if (company) {
            std::string word;
            for (char c : std::string_view(s.name)) {
                if (c == ' ') break;
                if (c >= 'A' && c <= 'Z') word += static_cast<char>(c - 'A' + 'a');
            }
            email = "contato@" + word + fmt("%02d", s.codif) + ".com.br";
        }
        t({I(s.codif), T(s.codtip), T(supplierDocument(s)), T(s.name), T(s.street), T(s.district), T(cep), T(city),
           T(uf), T(fmt("(79) 32%02d-%04d", s.codif, 1000 + s.codif * 37)), NUL(), TN(email),
           company ? T(fmt("27.%03d.%03d-%d", 100 + s.codif * 17 % 800, s.codif * 31 % 1000, s.codif % 10)) : NUL(),
           company ? T(s.codativ) : NUL(),
           person ? T(fmt("1%02d.%05d.%02d-%d", s.codif, s.codif * 977 % 100000, s.codif % 100, s.codif % 9)) : NUL()});
    }
    auto& p = table("CADEST", {"CADPRO", "DISC1", "UNID1"});
    for (const auto& pr : kProducts) p({T(pr.code), T(pr.name), T(pr.unit)});
}

// ---- commissions

void Builder::commissions() {
    say("Comissões");
    auto& c = table("COMISSAO",
                    {"CODCOMISS", "PORTARIA", "DATA", "TIPO", "DT_INI_VIGE", "DT_FIM_VIGE", "DT_INI_PI", "DT_FIM_PI"});
    // 1: the permanent commission named in March; 2: the auctioneer, whose term of
    // the bidding register was never filled (deliberate); 3: last year's commission.
    c({I(1), T(fmt("015%d", year_)), D(ymd(year_, 3, 1)), T("1"), D(ymd(year_, 3, 1)), D(ymd(year_, 12, 31)),
       D(ymd(year_, 3, 1)), D(ymd(year_, 12, 31))});
    c({I(2), T(fmt("002%d", year_)), D(ymd(year_, 1, 5)), T("5"), D(ymd(year_, 1, 5)), D(ymd(year_, 12, 31)), NUL(),
       NUL()});
    c({I(3), T(fmt("041%d", year_ - 1)), D(ymd(year_ - 1, 12, 20)), T("1"), D(ymd(year_ - 1, 12, 20)),
       D(ymd(year_, 2, 28)), D(ymd(year_ - 1, 12, 20)), D(ymd(year_, 2, 28))});
    auto& m = table("MEMBROS", {"CODCOMISS", "CODIGO", "NOME", "CPF", "CARGO", "RG", "FORMACAO_PROF"});
    struct Member {
        int commission;
        const char* name;
        const char* cpf;
        const char* office;
        const char* background;
    };
    const Member members[] = {
        {1, "ANTÔNIO JOSÉ DE SOUZA", "161712093", "PRESIDENTE DA COMISSÃO - ASSISTENTE ADMINISTRATIVO",
         "BACHAREL EM DIREITO"},
        {1, "JOSEFA ALVES DOS SANTOS", "274826311", "MEMBRO - AGENTE ADMINISTRATIVO", "TÉCNICA EM CONTABILIDADE"},
        {1, "CARLOS EDUARDO MENEZES", "388105472", "MEMBRO - ENGENHEIRO CIVIL", "ENGENHARIA CIVIL"},
        {2, "MARIA DAS GRAÇAS OLIVEIRA", "453219876", "PREGOEIRA", "ADMINISTRAÇÃO DE EMPRESAS"},
        {3, "ANTÔNIO JOSÉ DE SOUZA", "161712093", "PRESIDENTE DA COMISSÃO - ASSISTENTE ADMINISTRATIVO",
         "BACHAREL EM DIREITO"},
        {3, "LUIZ CARLOS PRADO", "590344127", "MEMBRO - AGENTE ADMINISTRATIVO", "ENSINO MÉDIO"},
    };
    std::map<int, int> seq;
    for (const auto& x : members)
        m({I(x.commission), I(++seq[x.commission]), T(x.name), T(cpfMask(completeCpf(x.cpf))), T(x.office),
           T(fmt("%07d SSP/SE", 1000000 + seq[x.commission] * 12345 + x.commission)), T(x.background)});
}

// ---- biddings

int Builder::pickBidding(const char* modlic, const Date& until) {
    std::vector<int> fit;
    for (std::size_t i = 0; i < biddings_.size(); ++i)
        if (std::string_view(biddings_[i].modlic) == modlic && biddings_[i].opened <= until)
            fit.push_back(static_cast<int>(i));
    return fit.empty() ? -1 : rng_.pick(fit);
}

void Builder::biddings() {
    say("Licitações");
    const auto office = suppliersFor({Role::Office, Role::Printing, Role::Water});
    const auto fuel = suppliersFor({Role::Fuel, Role::Water});
    const auto food = suppliersFor({Role::Food, Role::Water});
    const auto services = suppliersFor({Role::Software, Role::Printing, Role::Lab, Role::School});
    const auto building = suppliersFor({Role::Construction});
    auto add = [&](int month, int day, const char* modlic, std::string object, std::int64_t reaisValue, int commission,
                   std::vector<int> suppliers, std::vector<int> products, std::string medium, bool published = true) {
        Bidding b;
        b.numlic = fmt("%03d/%d", static_cast<int>(biddings_.size()) + 1, year_);
        b.modlic = modlic;
        b.object = std::move(object);
        b.criterion = std::string_view(modlic) == "PP01" ? "Menor Preco Unitario" : "Menor Preco Global";
        b.cents = reaisValue * 100;
        b.opened = ymd(year_, month, day);
        if (published) b.published = addDays(b.opened, -8);
        b.medium = std::move(medium);
        b.commission = commission;
        b.suppliers = std::move(suppliers);
        b.products = std::move(products);
        b.winner = b.suppliers.front();
        const std::string_view m(modlic);
        b.licit = m == "CCO2"   ? "MAT / SERV - CONVITE"
                  : m == "TOM3" ? "MAT / SERV - TOMADA"
                  : m == "TOM6" ? "OBRA TOMADA"
                  : m == "CCO5" ? "OBRA CONVITE"
                  : m == "CON4" ? "OBRA CONCORRENCIA"
                                : "PREGÃO PRESENCIAL";
        biddings_.push_back(std::move(b));
    };
    const std::string notice = "QUADRO DE AVISOS DA PREFEITURA";
    const std::string gazette = "DIÁRIO OFICIAL DO ESTADO DE SERGIPE";
    auto two = [&](const std::vector<int>& pool, int first) {
        std::vector<int> s{first};
        for (int c : pool)
            if (c != first && s.size() < 3) s.push_back(c);
        return s;
    };
    for (int m = 1; m <= 12; ++m) {
        const int commission = m <= 2 ? 3 : 1;
        if (m == 3) {
            // 005: the March convite; 006: the paving of work 12, published without its
            // medium (deliberate); 007: the fuel pregão of commission 2 (deliberate).
            add(3, 9, "CCO2", "AQUISIÇÃO DE MATERIAL DE EXPEDIENTE PARA AS SECRETARIAS MUNICIPAIS", 28500, 1,
                two(office, 3), {0, 1, 2}, notice);
            add(3, 21, "TOM6", "PAVIMENTAÇÃO EM PARALELEPÍPEDO DAS RUAS DO BAIRRO SÃO PEDRO", 595000, 1, {2, 13},
                {5, 6, 7}, "");
            add(3, 15, "PP01", "AQUISIÇÃO DE COMBUSTÍVEL PARA A FROTA MUNICIPAL", 96000, 2, two(fuel, 4), {3, 4},
                gazette);
            continue;
        }
        if (m == 1) {
            add(1, 12, "TOM3", "CONTRATAÇÃO DE EMPRESA PARA COLETA DE LIXO E LIMPEZA DE LOGRADOUROS", 420000,
                commission, {7, 12}, {}, gazette);
            add(1, 22, "CCO2", "AQUISIÇÃO DE GÊNEROS ALIMENTÍCIOS PARA A MERENDA ESCOLAR", 64000, commission,
                two(food, 9), {10, 11}, notice);
            continue;
        }
        if (m == 2) {
            add(2, 6, "CON4", "CONSTRUÇÃO DO POSTO DE SAÚDE DO BAIRRO SÃO PEDRO", 248000, commission, {13, 2}, {5, 6},
                gazette);
            add(2, 14, "TOM6", "REFORMA DA ESCOLA MUNICIPAL TIRADENTES", 120000, commission, {2, 13}, {5, 6}, gazette);
            continue;
        }
        add(m, 8, "CCO2", fmt("AQUISIÇÃO DE MATERIAL DE CONSUMO - %s", kMonthNames[m - 1]), 20000 + m * 1500,
            commission, two(office, office[static_cast<std::size_t>(m) % office.size()]), {0, 1, 14}, notice);
        if (m % 3 == 0)
            add(m, 16, "PP01", "AQUISIÇÃO DE COMBUSTÍVEL PARA A FROTA MUNICIPAL", 90000, 2, two(fuel, 4), {3, 4},
                gazette);
        if (m % 2 == 0)
            add(m, 19, "TOM3", "CONTRATAÇÃO DE SERVIÇOS TÉCNICOS ESPECIALIZADOS", 60000 + m * 1000, commission,
                two(services, services[static_cast<std::size_t>(m) % services.size()]), {}, gazette);
        add(m, 24, "TOM6", fmt("RECUPERAÇÃO DE ESTRADAS VICINAIS - TRECHO %d", m), 90000 + m * 5000, commission,
            two(building, 2), {5, 6}, gazette);
    }

    auto& cadlic = table("CADLIC", {"NUMLIC", "ANO", "NUMERO", "MODLIC", "DISCR", "DISCR7", "VALOR", "DTORD", "DTPUB",
                                    "NROPUBL", "TIPOPUBL", "DATAE", "DTADJ", "DTHOM"});
    auto& cadpro = table("CADPRO", {"NUMLIC", "CADPRO", "ITEM", "CODIF", "QUAN1", "VAUN1", "VATO1", "SUBEM"});
    auto& prolic = table("PROLIC", {"NUMLIC", "CODIF"});
    auto& docs = table("DOCUMENTOS_RTF", {"NUMLIC", "NUMERO", "TIPO"});
    auto& link = table("LICITCOMISS", {"NUMLIC", "CODCOMISS"});
    int publication = 100;
    for (auto& b : biddings_) {
        cadlic({T(b.numlic), I(year_), T(b.numlic), T(b.modlic), T(b.object), T(b.criterion), M(b.cents),
                D(addDays(b.opened, -12)), DN(b.published), b.published ? T(fmt("%04d", ++publication)) : NUL(),
                b.published ? TN(b.medium) : NUL(), D(b.opened), D(addDays(b.opened, 3)), D(addDays(b.opened, 5))});
        link({T(b.numlic), I(b.commission)});
        int item = 0;
        for (int p : b.products) {
            ++item;
            const std::int64_t quantity = rng_.between(5, 60) * 10;
            const std::int64_t unit = rng_.between64(150, 9000);  // centavos
            for (std::size_t s = 0; s < b.suppliers.size(); ++s) {
                const std::int64_t price = unit + static_cast<std::int64_t>(s) * unit / 20;  // the first bids lowest
                cadpro({T(b.numlic), T(kProducts[p].code), I(item), I(b.suppliers[s]),
                        Value{Decimal::fromInt(quantity)}, M(price), M(price * quantity), T(s == 0 ? "1" : "0")});
            }
        }
        for (int s : b.suppliers) {
            prolic({T(b.numlic), I(s)});
            docs({T(b.numlic), I(s), T("6")});
        }
    }
}

// ---- works

void Builder::works() {
    say("Obras");
    auto add = [&](std::string number, int entity, std::string description, std::string location, Date d,
                   std::string regime, std::string numlic, std::string category, std::string type,
                   std::int64_t reaisValue, int term, int executor) {
        works_.push_back(Work{std::move(number), entity, std::move(description), std::move(location), d,
                              std::move(regime), std::move(numlic), std::move(category), std::move(type),
                              reaisValue * 100, term, executor});
    };
    auto biddingOf = [&](const std::string& object) {
        for (const auto& b : biddings_)
            if (b.object == object) return b.numlic;
        return std::string();
    };
    for (int m = 1; m <= 12; ++m) {
        if (m == 2) {
            add("11", 1, "REFORMA DA ESCOLA MUNICIPAL TIRADENTES", "RUA TIRADENTES, 300 - CENTRO", ymd(year_, 2, 25),
                "02", biddingOf("REFORMA DA ESCOLA MUNICIPAL TIRADENTES"), "3 - REFORMA", "08 - EDIFICAÇÃO ESCOLAR",
                118500, 120, 2);
            continue;
        }
        if (m == 3) {
            add("12", 1, "PAVIMENTAÇÃO EM PARALELEPÍPEDO DAS RUAS DO BAIRRO SÃO PEDRO",
                "BAIRRO SÃO PEDRO - RUAS A, B E C", ymd(year_, 3, 20), "02",
                biddingOf("PAVIMENTAÇÃO EM PARALELEPÍPEDO DAS RUAS DO BAIRRO SÃO PEDRO"), "1 - CONSTRUÇÃO",
                "04 - PAVIMENTAÇÃO", 595000, 180, 2);
            add("13", 3, "CONSTRUÇÃO DO POSTO DE SAÚDE DO BAIRRO SÃO PEDRO", "RUA SÃO PEDRO, S/N - BAIRRO SÃO PEDRO",
                ymd(year_, 3, 22), "02", biddingOf("CONSTRUÇÃO DO POSTO DE SAÚDE DO BAIRRO SÃO PEDRO"),
                "1 - CONSTRUÇÃO", "08 - EDIFICAÇÃO DE SAÚDE", 248000, 240, 13);
            add("14", 1, "REFORMA DA PRAÇA DA MATRIZ", "PRAÇA DA MATRIZ - CENTRO", ymd(year_, 3, 5), "01", "",
                "3 - REFORMA", "05 - URBANIZAÇÃO DE PRAÇA", 35000, 60, 0);
            continue;
        }
        add(std::to_string(20 + m), 1, fmt("RECUPERAÇÃO DE ESTRADAS VICINAIS - TRECHO %d", m),
            fmt("ZONA RURAL - POVOADO %s", m % 2 ? "LAGOA SECA" : "CAMPO DO BRITO"), ymd(year_, m, 26), "02",
            biddingOf(fmt("RECUPERAÇÃO DE ESTRADAS VICINAIS - TRECHO %d", m)), "2 - RECUPERAÇÃO",
            "01 - ESTRADA VICINAL", 90000 + m * 5000, 90, 2);
    }
    auto& t = table("CADOBRA", {"NUMERO", "ANO", "EMPRESA", "DESCRICAO", "LOCALIZACAO", "DATA", "REG_EXEC", "NUMLIC",
                                "CATEGORIA", "TIPO", "VALOR", "PRAZO", "TIPO_EXEC", "DOC_EXEC"});
    for (const auto& w : works_) {
        const bool direct = w.executor == 0;
        t({T(w.number), I(year_), I(w.entity), T(w.description), T(w.location), D(w.date), T(w.regime), TN(w.numlic),
           T(w.category), T(w.type), M(w.cents), I(w.term), direct ? NUL() : T("2 - PESSOA JURÍDICA"),
           direct ? NUL() : T(digitsOnly(supplierDocument(supplier(w.executor))))});
    }
    // The supervisors. The architect's CREA has no state (deliberate).
    auto& f = table("CADFISCAL", {"CODIGO", "CREA", "UF_CREA", "QUALIFICA", "CPF"});
    f({I(1), T("2705123456"), T("SE"), T("01 - ENGENHEIRO CIVIL"), T(cpfMask(completeCpf("388105472")))});
    f({I(2), T("1812345678"), NUL(), T("02 - ARQUITETO E URBANISTA"), T(cpfMask(completeCpf("672015348")))});
    f({I(3), T("2709876543"), T("SE"), T("01 - ENGENHEIRO CIVIL"), T(cpfMask(completeCpf("731559204")))});
    auto& of = table("CADOBRAFISCAL", {"NUMFISCAL", "NUMOBRA"});
    for (const auto& w : works_) {
        if (w.number == "12") {
            of({I(1), T(w.number)});
            of({I(2), T(w.number)});
        } else {
            of({I(w.number == "13" ? 3 : 1), T(w.number)});
        }
    }
}

// ---- contracts

void Builder::contracts() {
    say("Contratos");
    auto bidding = [&](const std::string& object) -> const Bidding& {
        for (const auto& b : biddings_)
            if (b.object == object) return b;
        throw DemoError("licitação " + object);
    };
    auto code = [&](int n) { return fmt("%02d/%d", n, year_); };
    auto add = [&](Contract c) { contracts_.push_back(std::move(c)); };
    const Bidding& cleaning = bidding("CONTRATAÇÃO DE EMPRESA PARA COLETA DE LIXO E LIMPEZA DE LOGRADOUROS");
    add({code(1),
         1,
         "COLETA DE LIXO E LIMPEZA DE LOGRADOUROS PÚBLICOS",
         41280000,
         ymd(year_, 1, 26),
         "MAT / SERV - TOMADA DE PREÇOS",
         cleaning.numlic,
         "LICITAÇÃO",
         "02 - SERVIÇOS",
         "",
         7,
         {},
         ""});
    add({code(2), 1, "LICENÇA DE USO E MANUTENÇÃO DE SISTEMA DE CONTABILIDADE PÚBLICA", 2400000, ymd(year_, 2, 5),
         "OUTROS", "", "DISPENSA ART. 24", "02 - SERVIÇOS", "", 8, ymd(year_, 3, 16),
         "RESCISÃO AMIGÁVEL A PEDIDO DA CONTRATADA"});
    const Bidding& expediente = bidding("AQUISIÇÃO DE MATERIAL DE EXPEDIENTE PARA AS SECRETARIAS MUNICIPAIS");
    add({code(5),
         1,
         "AQUISIÇÃO DE MATERIAL DE EXPEDIENTE PARA AS SECRETARIAS MUNICIPAIS",
         2730000,
         ymd(year_, 3, 14),
         "MAT / SERV - CONVITE",
         expediente.numlic,
         "LICITAÇÃO",
         "01 - COMPRAS",
         "",
         expediente.winner,
         {},
         ""});
    const Bidding& paving = bidding("PAVIMENTAÇÃO EM PARALELEPÍPEDO DAS RUAS DO BAIRRO SÃO PEDRO");
    add({code(6),
         1,
         "EXECUÇÃO DA PAVIMENTAÇÃO EM PARALELEPÍPEDO DAS RUAS DO BAIRRO SÃO PEDRO",
         58940000,
         ymd(year_, 3, 29),
         "OBRA TOMADA DE PREÇOS",
         paving.numlic,
         "LICITAÇÃO",
         "03 - OBRAS",
         "12",
         2,
         {},
         ""});
    add({code(7),
         1,
         "FORNECIMENTO EMERGENCIAL DE GÊNEROS ALIMENTÍCIOS PARA A MERENDA ESCOLAR",
         1480000,
         ymd(year_, 3, 8),
         "OUTROS",
         "",
         "DISPENSA ART. 24",
         "01 - COMPRAS",
         "",
         9,
         {},
         ""});
    const Bidding& health = bidding("CONSTRUÇÃO DO POSTO DE SAÚDE DO BAIRRO SÃO PEDRO");
    add({code(8),
         1,
         "CONSTRUÇÃO DO POSTO DE SAÚDE DO BAIRRO SÃO PEDRO",
         24650000,
         ymd(year_, 3, 26),
         "OBRA CONCORRENCIA",
         health.numlic,
         "LICITAÇÃO",
         "03 - OBRAS",
         "13",
         13,
         {},
         ""});
    int n = 8;
    for (const auto& b : biddings_) {
        const int m = monthOf(b.opened);
        if (m <= 3 || std::string_view(b.modlic) != "CCO2") continue;
        add({code(++n),
             1,
             b.object,
             b.cents * 95 / 100,
             addDays(b.opened, 7),
             "MAT / SERV - CONVITE",
             b.numlic,
             "LICITAÇÃO",
             "01 - COMPRAS",
             "",
             b.winner,
             {},
             ""});
    }

    auto& t = table("CONTRATOS", {"CODIGO", "OBJETO", "VALCON", "DTASSI", "DTPUBL", "VEICPUB", "VIGENI", "VIGENF",
                                  "MODALI", "NPROLI", "FLEGAL", "TIPOCO", "NUMOBRA", "EMPRESA", "CODIF", "DTANULA",
                                  "MOTIANU", "DTPUBANU", "VEICANU"});
    for (const auto& c : contracts_) {
        const Date start = c.work.empty() ? c.signedOn : addDays(c.signedOn, 3);
        const Date end = c.work == "12"   ? addDays(start, 180)
                         : c.work == "13" ? addDays(start, 240)
                                          : ymd(year_, 12, 31);
        t({T(c.code), T(c.object), M(c.cents), D(c.signedOn), D(addDays(c.signedOn, 1)),
           T("QUADRO DE AVISOS DA PREFEITURA"), D(start), D(end), T(c.modality), TN(c.numlic), T(c.legal), T(c.type),
           TN(c.work), I(c.entity), I(c.supplier), DN(c.annulled), TN(c.annulReason),
           c.annulled ? D(addDays(*c.annulled, 3)) : NUL(), c.annulled ? T("QUADRO DE AVISOS DA PREFEITURA") : NUL()});
    }
    auto& a = table("CONTRATOSADITAMENTO", {"CONTRATO", "TERMO", "DESCRICAO", "VALOR", "DTLAN", "DATAENCERRAMENTO"});
    a({T(code(1)), I(1), T("PRIMEIRO TERMO ADITIVO - ACRÉSCIMO DE 10% NO VALOR DO CONTRATO"), M(4128000),
       D(ymd(year_, 3, 10)), D(ymd(year_, 12, 31))});
    a({T(code(1)), I(2), T("SEGUNDO TERMO ADITIVO - PRORROGAÇÃO DO PRAZO DE VIGÊNCIA"), M(0), D(ymd(year_, 11, 28)),
       D(ymd(year_ + 1, 6, 30))});
    a({T(code(6)), I(1), T("PRIMEIRO TERMO ADITIVO - ACRÉSCIMO DE SERVIÇOS DE DRENAGEM"), M(6200000),
       D(ymd(year_, 8, 14)), D(ymd(year_, 11, 30))});
}

// ---- agreements

void Builder::agreements() {
    say("Convênios");
    auto& t = table("CADCONV", {"CONVENIO", "NUMCONV", "NOME", "ESPECIF", "VALOR", "DATA", "DTPUB", "DTVENC", "CONTA",
                                "TIPO", "NUMOBRA", "CODIF", "EMPRESA"});
    struct Agreement {
        int key;
        const char* number;
        const char* name;
        const char* object;
        std::int64_t reaisValue;
        Date date;
        const char* work;
        int party;
        int entity;
        const char* type;
    };
    const Agreement list[] = {
        {1, "12", "CONVÊNIO SEINFRA - PAVIMENTAÇÃO", "PAVIMENTAÇÃO DE VIAS URBANAS DO BAIRRO SÃO PEDRO", 500000,
         ymd(year_, 3, 12), "12", 23, 1, "01"},
        {2, "13", "CONVÊNIO FNS - POSTO DE SAÚDE", "CONSTRUÇÃO DO POSTO DE SAÚDE DO BAIRRO SÃO PEDRO", 200000,
         ymd(year_, 3, 18), "13", 24, 1, "02"},
        {3, "02", "CONVÊNIO SEED - TRANSPORTE ESCOLAR", "APOIO AO TRANSPORTE ESCOLAR DOS ALUNOS DA ZONA RURAL", 120000,
         ymd(year_, 1, 20), "", 23, 1, "01"},
        {4, "03", "CONVÊNIO SES - ATENÇÃO BÁSICA", "APOIO ÀS AÇÕES DE ATENÇÃO BÁSICA À SAÚDE", 90000, ymd(year_, 2, 10),
         "", 23, 3, "01"},
        {5, "15", "CONVÊNIO SEED - MERENDA ESCOLAR", "COMPLEMENTAÇÃO DA MERENDA ESCOLAR", 60000, ymd(year_, 6, 12), "",
         23, 1, "01"},
        {6, "18", "CONVÊNIO SEINFRA - ESTRADAS VICINAIS", "RECUPERAÇÃO DE ESTRADAS VICINAIS", 150000, ymd(year_, 9, 4),
         "29", 23, 1, "01"},
    };
    for (const auto& a : list) {
        const std::string conta = a.entity == 3 ? "300002-2" : "34567-8";
        t({I(a.key), T(fmt("%s/%d", a.number, year_)), T(a.name), T(a.object), M(a.reaisValue * 100), D(a.date),
           D(addDays(a.date, 3)), D(ymd(year_ + 1, 12, 31)), T(conta), T(a.type), TN(a.work), I(a.party), I(a.entity)});
    }
    auto& ad = table("CADCONVADITAMENTO", {"CONVENIO", "TERMO", "DESCRICAO", "VALOR", "DTLAN", "DATAENCERRAMENTO"});
    ad({I(3), I(1), T("PRIMEIRO TERMO ADITIVO - PRORROGAÇÃO DE PRAZO E ACRÉSCIMO DE VALOR"), M(2500000),
        D(ymd(year_, 3, 23)), D(ymd(year_ + 1, 12, 31))});
    ad({I(1), I(1), T("PRIMEIRO TERMO ADITIVO - ACRÉSCIMO DE METAS"), M(5000000), D(ymd(year_, 10, 2)),
        D(ymd(year_ + 1, 12, 31))});
}

// ---- waivers

void Builder::waivers() {
    say("Dispensas e inexigibilidades");
    auto& t = table("DISPINEX", {"CODIGO",    "NUMDISP",  "MODALIDADE",   "TIPO_FUNDAM", "NUM_FUNDAM", "NUM_COMISSAO",
                                 "DT_INICIO", "OBJETO",   "BALSE_LEGAL",  "VALOR",       "DT_RETIF",   "DT_PUBL",
                                 "VEIC_PUBL", "NUMCONV",  "CPF_RESP",     "NOME_RESP",   "CARGO_RESP", "DESCR_RESP",
                                 "CANCELADO", "MOT_CANC", "DT_PUBL_CANC", "EMPRESA"});
    auto& part = table("PARTDISP", {"CODIGO", "CODIF", "ITEM", "CADPRO", "QUANT", "VALOR_TOTAL"});
    auto& cert = table("CERTDISP", {"CODIGO", "CODIF", "NCERT", "TIPO", "DT_CERT", "DT_VALI", "ESPECIF"});
    struct Waiver {
        int number;
        const char* modality;
        const char* act;
        Date start;
        std::string object;
        const char* basis;
        int agreement;
        int entity;
        std::optional<Date> cancelled;
        std::vector<std::pair<int, int>> items;  // supplier, product
    };
    std::vector<Waiver> list = {
        {12,
         "08",
         "02 - PORTARIA",
         ymd(year_, 3, 6),
         "AQUISIÇÃO EMERGENCIAL DE GÊNEROS ALIMENTÍCIOS PARA A MERENDA ESCOLAR",
         "04 - DISPENSAVEL, ART. 24, INCISO IV, LEI 8.666/93",
         1,
         1,
         {},
         {{9, 10}, {9, 11}, {29, 14}}},
        {13,
         "09",
         "01 - DECRETO",
         ymd(year_, 3, 19),
         "CONTRATAÇÃO DE SHOW ARTÍSTICO PARA AS FESTAS JUNINAS",
         "31 - INEXIGIVEL, ART. 25, INCISO III, LEI 8.666/93",
         4,
         1,
         {},
         {{28, 14}}},
        {8,
         "08",
         "02 - PORTARIA",
         ymd(year_, 2, 12),
         "AQUISIÇÃO DE MEDICAMENTOS PARA A FARMÁCIA BÁSICA",
         "02 - DISPENSAVEL, ART. 24, INCISO II, LEI 8.666/93",
         0,
         1,
         ymd(year_, 3, 7),
         {{5, 8}, {5, 9}}},
    };
    for (int m = 1; m <= 12; ++m) {
        if (m == 2 || m == 3) continue;
        list.push_back({m == 1 ? 2 : 15 + (m - 4) * 2,
                        "08",
                        "02 - PORTARIA",
                        ymd(year_, m, 12),
                        fmt("AQUISIÇÃO DE MATERIAL DE PEQUENO VALOR - %s", kMonthNames[m - 1]),
                        "02 - DISPENSAVEL, ART. 24, INCISO II, LEI 8.666/93",
                        0,
                        1,
                        {},
                        {{3, 0}, {29, 14}}});
    }
    int code = 0;
    for (const auto& w : list) {
        ++code;
        std::int64_t total = 0;
        std::vector<std::tuple<int, int, std::int64_t, std::int64_t>> rows;  // supplier, product, quantity, cents
        for (const auto& [s, p] : w.items) {
            const std::int64_t q = rng_.between(10, 200);
            const std::int64_t v = q * rng_.between64(300, 4000);
            rows.emplace_back(s, p, q, v);
            total += v;
        }
        const int resp = 1 + code % 3;
        t({I(code),
           T(fmt("%04d/%s", w.number, yy_.c_str())),
           T(w.modality),
           T(w.act),
           T(fmt("%03d%d", 40 + code, year_)),
           T(fmt("015%d", year_)),
           D(w.start),
           T(w.object),
           T(cut(w.basis, 35)),
           Value{Decimal::fromScaled(total * 100)},
           D(addDays(w.start, 2)),
           D(addDays(w.start, 3)),
           T("QUADRO DE AVISOS DA PREFEITURA"),
           IN(w.agreement),
           T(cpfMask(completeCpf(resp == 1   ? "203118476"
                                 : resp == 2 ? "618204731"
                                             : "527390164"))),
           T(resp == 1   ? "JOÃO BATISTA DE OLIVEIRA"
             : resp == 2 ? "HELENA MARIA FONTES"
                         : "ROBERTO CARLOS VIEIRA"),
           T(resp == 1   ? "PREFEITO MUNICIPAL"
             : resp == 2 ? "SECRETÁRIA MUNICIPAL DE EDUCAÇÃO"
                         : "SECRETÁRIO DE ADMINISTRAÇÃO"),
           T(resp == 1   ? "ADMINISTRADOR DE EMPRESAS"
             : resp == 2 ? "LICENCIADA EM PEDAGOGIA"
                         : "CONTADOR"),
           T(w.cancelled ? "S" : "N"),
           w.cancelled ? T("DESISTÊNCIA DO FORNECEDOR ANTES DA ENTREGA") : NUL(),
           DN(w.cancelled),
           I(w.entity)});
        int item = 0;
        std::set<int> certified;
        for (const auto& [s, p, q, v] : rows) {
            part({I(code), I(s), I(++item), T(kProducts[p].code), Value{Decimal::fromInt(q)}, M(v)});
            if (!certified.insert(s).second) continue;
            cert({I(code), I(s), T(fmt("CND-%d-%06d", year_, code * 1000 + s)), T("01 - INSS"),
                  D(addDays(w.start, -20)), D(addDays(w.start, 160)), NUL()});
            cert({I(code), I(s), T(fmt("CRF-%d-%06d", year_, code * 1000 + s)), T("02 - FGTS"),
                  D(addDays(w.start, -15)), D(addDays(w.start, 15)), NUL()});
            if (code == 1)
                cert({I(code), I(s), T(fmt("CNDT-%d-%06d", year_, s)), T("99 - OUTRAS CERTIDÕES"),
                      D(addDays(w.start, -10)), D(addDays(w.start, 170)),
                      T("CERTIDÃO NEGATIVA DE DÉBITOS MUNICIPAIS")});
        }
    }
}

// ---- commitments

const BankAccount& payingAccount(const Ficha& f, std::int64_t cents, Rng& rng) {
    if (f.entity == 2) return account(cents < 30000 && rng.percent(50) ? "0002" : "300001-1");
    if (f.entity == 3) return account("300002-2");
    if (cents < 30000 && rng.percent(40)) return account("0001");
    if (std::string_view(f.fonte) == "113") return account("00601-2");
    if (std::string_view(f.fonte) == "101") return account("23456-7");
    return account(rng.percent(50) ? "12345-6" : "23456-7");
}

// Liquidates and pays a commitment: one liquidation (two for some, a few partly
// reversed), the retentions, one payment share (two for some, a few cheques back
// and paid again), with the ledger entries of each.
void Builder::settle(Commitment& c, bool payNow) {
    const Ficha& f = ficha(c.ficha);
    const Date liq = within(payNow ? c.date : addDays(c.date, rng_.between(0, 10)), year_);
    if (c.cents > 300000 && rng_.percent(10)) {
        const std::int64_t first = c.cents / 2;
        c.liquidations.push_back({liq, first});
        c.liquidations.push_back({within(addDays(liq, rng_.between(5, 20)), year_), c.cents - first});
    } else {
        c.liquidations.push_back({liq, c.cents});
    }
    const bool personal = f.kind == Kind::Payroll || f.kind == Kind::Allowance || f.kind == Kind::Ticket;
    if (personal && rng_.percent(3))
        c.liquidations.push_back({within(addDays(c.liquidations.back().date, 1), year_), -(c.cents / 20)});
    std::int64_t liquidated = 0;
    for (const auto& l : c.liquidations) {
        liquidated += l.cents;
        ledger(f.balco, "211101", l.date, l.cents);
    }

    // Retentions at payment: social security on payroll and on individuals,
    // service tax on some companies.
    if (f.kind == Kind::Payroll || f.kind == Kind::ServicePF) {
        c.retained = liquidated * 11 / 100;
        c.retainedFicha = inssFicha(f.entity);
    } else if (f.kind == Kind::ServicePJ && f.entity == 1 && rng_.percent(50)) {
        c.retained = liquidated * 5 / 100;
        c.retainedFicha = 202;
    }
    const Date last = c.liquidations.back().date;
    const Date pay = within(payNow ? last : addDays(last, rng_.between(0, 12)), year_);
    const BankAccount& acc = payingAccount(f, c.cents, rng_);
    const std::int64_t net = liquidated - c.retained;
    auto share = [&](const Date& d, std::int64_t cents, const BankAccount& a) {
        c.payments.push_back({d, cents, &a, isCash(a) ? std::string() : std::to_string(850000 + ++chequeSeq_[a.conta]),
                              fmt("%06d", ++lastOrdpg_[f.entity])});
        ledger("211101", a.balco, d, cents);
    };
    if (net > 500000 && !isCash(acc) && rng_.percent(10)) {
        const BankAccount& other =
            f.entity == 1 ? account(std::string_view(acc.conta) == "12345-6" ? "23456-7" : "12345-6") : acc;
        share(pay, net * 6 / 10, acc);
        share(pay, net - net * 6 / 10, other);
    } else {
        share(pay, net, acc);
    }
    if (!isCash(acc) && rng_.percent(2)) {
        const Payment first = c.payments.front();
        const Date back = within(addDays(first.date, 1), year_);
        c.payments.push_back(
            {back, -first.cents, first.account, "ESTORNO - CHEQUE Nº " + first.cheque + " DEVOLVIDO", first.ordpg});
        ledger("211101", first.account->balco, back, -first.cents);
        share(within(addDays(first.date, 2), year_), first.cents, *first.account);
    }
    if (c.retained) ledger("211101", revenueFicha(c.retainedFicha).balco, pay, c.retained);
}

void Builder::showcase() {
    // Commitments of March of the prefeitura that every file of the month draws on.
    const int y = year_;
    auto base = [&](int fichaNo, int day, std::int64_t cents, int codif, std::string produ, std::string licit) {
        Commitment c;
        c.entity = ficha(fichaNo).entity;
        c.ficha = fichaNo;
        c.date = ymd(y, 3, day);
        c.cents = cents;
        c.codif = codif;
        c.produ = std::move(produ);
        c.licit = std::move(licit);
        c.proc = nextProc();
        return c;
    };
    auto bidding = [&](const std::string& object) -> const Bidding& {
        for (const auto& b : biddings_)
            if (b.object == object) return b;
        throw DemoError("licitação " + object);
    };

    // The numbers below are those of the commitment keys (PKEMP).
    // 1: the March payroll, with retained social security, a partly
    // reversed liquidation, and its payment.
    {
        Commitment c =
            base(10, 1, 5800000, 21,
                 fmt("FOLHA DE PAGAMENTO DOS SERVIDORES DA SECRETARIA DE ADMINISTRAÇÃO - MARÇO/%d", y), "DISPENSA");
        c.tpem = "ES";
        c.document = "FOLHA DE PAGAMENTO";
        c.liquidations = {{ymd(y, 3, 28), 5800000}, {ymd(y, 3, 29), -120000}};
        for (const auto& l : c.liquidations) ledger(ficha(10).balco, "211101", l.date, l.cents);
        c.retained = 5680000 * 11 / 100;
        c.retainedFicha = inssFicha(1);
        const BankAccount& a = account("12345-6");
        c.payments.push_back({ymd(y, 3, 30), 5680000 - c.retained, &a, std::to_string(850000 + ++chequeSeq_[a.conta]),
                              fmt("%06d", ++lastOrdpg_[1])});
        ledger("211101", a.balco, ymd(y, 3, 30), 5680000 - c.retained);
        ledger("211101", "323601", ymd(y, 3, 30), c.retained);
        add(std::move(c));
    }
    // 2: office material of the March convite and its contract; the first cheque
    // came back and the payment was made again.
    {
        const Bidding& b = bidding("AQUISIÇÃO DE MATERIAL DE EXPEDIENTE PARA AS SECRETARIAS MUNICIPAIS");
        Commitment c =
            base(12, 16, 910000, b.winner, "AQUISIÇÃO DE MATERIAL DE EXPEDIENTE CONFORME CONTRATO " + fmt("05/%d", y),
                 "MAT / SERV - CONVITE");
        c.tpem = "GL";
        c.numlic = b.numlic;
        c.contrato = fmt("05/%d", y);
        c.document = "NOTA FISCAL 1234";
        c.invoices.push_back({"1234", "1", ymd(y, 3, 19), 910000});
        c.liquidations = {{ymd(y, 3, 20), 910000}};
        ledger(ficha(12).balco, "211101", ymd(y, 3, 20), 910000);
        const BankAccount& a = account("23456-7");
        const std::string first = std::to_string(850000 + ++chequeSeq_[a.conta]);
        const std::string order = fmt("%06d", ++lastOrdpg_[1]);
        c.payments.push_back({ymd(y, 3, 22), 910000, &a, first, order});
        c.payments.push_back(
            {ymd(y, 3, 23), -910000, &a, "ESTORNO - CHEQUE Nº " + first + " DEVOLVIDO POR DIVERGÊNCIA", order});
        c.payments.push_back(
            {ymd(y, 3, 26), 910000, &a, std::to_string(850000 + ++chequeSeq_[a.conta]), fmt("%06d", ++lastOrdpg_[1])});
        for (const auto& p : c.payments) ledger("211101", a.balco, p.date, p.cents);
        add(std::move(c));
    }
    // 3: cleaning material on the ficha that was never mapped to the court's element
    // (deliberate: "ELEMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO").
    {
        Commitment c = base(24, 7, 345000, 29, "AQUISIÇÃO DE MATERIAL DE LIMPEZA PARA OS LOGRADOUROS PÚBLICOS",
                            "DISPENSA ART. 24");
        c.numlicmod = fmt("0010/%s", yy_.c_str());
        c.document = "NOTA FISCAL 778";
        c.invoices.push_back({"778", "U", ymd(y, 3, 8), 345000});
        settle(c, false);
        add(std::move(c));
    }
    // 4: fuel of the March pregão; the invoice has no series (deliberate).
    {
        const Bidding& b = bidding("AQUISIÇÃO DE COMBUSTÍVEL PARA A FROTA MUNICIPAL");
        Commitment c = base(12, 19, 1200000, b.winner, "AQUISIÇÃO DE COMBUSTÍVEL PARA OS VEÍCULOS DA PREFEITURA",
                            "PREGÃO PRESENCIAL");
        c.numlic = b.numlic;
        c.document = "NOTA FISCAL 55120";
        c.invoices.push_back({"55120", "", ymd(y, 3, 21), 1200000});
        settle(c, false);
        add(std::move(c));
    }
    // 5: the paving of work 12, under its contract and agreement 1.
    {
        const Bidding& b = bidding("PAVIMENTAÇÃO EM PARALELEPÍPEDO DAS RUAS DO BAIRRO SÃO PEDRO");
        Commitment c =
            base(22, 30, 15000000, 2, "PRIMEIRA PARCELA DA PAVIMENTAÇÃO DAS RUAS DO BAIRRO SÃO PEDRO", "OBRA TOMADA");
        c.numlic = b.numlic;
        c.codobra = "12";
        c.contrato = fmt("06/%d", y);
        c.convenio = 1;
        c.tpem = "GL";
        c.document = "BOLETIM DE MEDIÇÃO E NOTA FISCAL 310";
        c.invoices.push_back({"310", "1", ymd(y, 3, 30), 15000000});
        c.liquidations = {{ymd(y, 3, 31), 15000000}};
        ledger(ficha(22).balco, "211101", ymd(y, 3, 31), 15000000);
        add(std::move(c));
    }
    // 6: daily allowances of servant 1 (the supplier register keeps his CPF plain).
    {
        Commitment c =
            base(7, 12, 54000, 1, "DIÁRIAS PARA PARTICIPAÇÃO EM CURSO DE CAPACITAÇÃO NO TRIBUNAL DE CONTAS DO ESTADO",
                 "DISPENSA");
        c.document = "RELATÓRIO DE VIAGEM";
        Travel t;
        t.destination = "ARACAJU/SE";
        t.reason = "PARTICIPAR DO CURSO DE CAPACITAÇÃO SOBRE PRESTAÇÃO DE CONTAS NO TRIBUNAL DE CONTAS DO ESTADO";
        t.leave = ymd(y, 3, 12);
        t.back = ymd(y, 3, 14);
        t.registration = "000145";
        t.traveller = supplier(1).name;
        t.allowances = {18000, 18000, 18000};
        c.travel = t;
        settle(c, true);
        add(std::move(c));
    }
    // 7: an air ticket for the mayor.
    {
        Commitment c =
            base(8, 20, 84000, 11, "PASSAGEM AÉREA ARACAJU/BRASÍLIA/ARACAJU PARA O PREFEITO MUNICIPAL", "DISPENSA");
        c.document = "BILHETE DE PASSAGEM AÉREA";
        Travel t;
        t.ticket = "957-2100012345";
        t.ticketCents = 84000;
        t.ticketDate = ymd(y, 3, 20);
        t.destination = "BRASÍLIA/DF";
        t.reason = "AUDIÊNCIA NO MINISTÉRIO DAS CIDADES PARA TRATAR DE RECURSOS DE SANEAMENTO";
        t.leave = ymd(y, 3, 26);
        t.back = ymd(y, 3, 28);
        t.registration = "000001";
        t.traveller = supplier(20).name;
        t.issuer = cnpjMask(completeCnpj("097534120001"));
        t.allowances = {84000};
        c.travel = t;
        settle(c, false);
        add(std::move(c));
    }
    // 8: a grant; its description was typed on two lines.
    {
        Commitment c =
            base(15, 14, 500000, 25,
                 "SUBVENÇÃO SOCIAL À ASSOCIAÇÃO DE MORADORES DO BAIRRO SÃO PEDRO\r\nCONFORME LEI MUNICIPAL Nº 1.190",
                 "DISPENSA");
        c.document = "RECIBO DE SUBVENÇÃO";
        settle(c, false);
        add(std::move(c));
    }
    // 9: food under waiver 0012 and contract 07.
    {
        Commitment c = base(18, 8, 1480000, 9, "GÊNEROS ALIMENTÍCIOS PARA A MERENDA ESCOLAR - DISPENSA EMERGENCIAL",
                            "DISPENSA ART. 24");
        c.numlicmod = fmt("0012/%s", yy_.c_str());
        c.proc = fmt("0012/%s", yy_.c_str());
        c.contrato = fmt("07/%d", y);
        c.document = "NOTA FISCAL 556";
        c.invoices.push_back({"556", "1", ymd(y, 3, 12), 1480000});
        settle(c, false);
        add(std::move(c));
    }
    // 10: the extra-budgetary payment of the social security retained in February.
    {
        Commitment c =
            base(32, 20, 830000, 22, "RECOLHIMENTO DO INSS RETIDO DOS SERVIDORES - COMPETÊNCIA FEVEREIRO", "DISPENSA");
        c.tpem = "EX";
        c.document = "GUIA DA PREVIDÊNCIA SOCIAL";
        settle(c, true);
        add(std::move(c));
    }
    // 11: the construction of the health post of the fund (work 13), a work of another
    // entity, under contract 08 and agreement 2.
    {
        const Bidding& b = bidding("CONSTRUÇÃO DO POSTO DE SAÚDE DO BAIRRO SÃO PEDRO");
        Commitment c = base(22, 28, 6000000, 13, "CONSTRUÇÃO DO POSTO DE SAÚDE DO BAIRRO SÃO PEDRO - PRIMEIRA MEDIÇÃO",
                            "OBRA CONCORRENCIA");
        c.numlic = b.numlic;
        c.codobra = "13";
        c.contrato = fmt("08/%d", y);
        c.convenio = 2;
        c.tpem = "GL";
        c.document = "BOLETIM DE MEDIÇÃO Nº 1";
        add(std::move(c));
    }
    // 12: material for the square of work 14, built by the prefeitura itself.
    {
        Commitment c =
            base(22, 6, 420000, 29, "MATERIAL DE CONSTRUÇÃO PARA A REFORMA DA PRAÇA DA MATRIZ", "DISPENSA ART. 24");
        c.codobra = "14";
        c.numlicmod = fmt("0011/%s", yy_.c_str());
        c.document = "NOTA FISCAL 90112";
        c.invoices.push_back({"90112", "1", ymd(y, 3, 9), 420000});
        settle(c, false);
        add(std::move(c));
    }
    // 13: office material partly annulled in the month (the annulment is a row of its own).
    {
        Commitment c =
            base(12, 2, 240000, 10, "CONFECÇÃO DE FORMULÁRIOS E IMPRESSOS PARA AS SECRETARIAS", "DISPENSA ART. 24");
        c.numlicmod = fmt("0009/%s", yy_.c_str());
        c.document = "NOTA FISCAL 4410";
        c.invoices.push_back({"4410", "1", ymd(y, 3, 20), 180000});
        c.cents = 180000;  // what is liquidated and paid
        settle(c, false);
        c.cents = 240000;
        Commitment& kept = add(std::move(c));
        Commitment a = base(12, 15, -60000, 10, "ANULAÇÃO PARCIAL - QUANTIDADE ENTREGUE MENOR QUE A EMPENHADA",
                            "DISPENSA ART. 24");
        a.annulOf = kept.key;
        a.proc = kept.proc;
        add(std::move(a));
    }
    // 15: a monthly parcel of the cleaning contract.
    {
        Commitment c = base(23, 5, 3440000, 7, "COLETA DE LIXO E LIMPEZA DE LOGRADOUROS - PARCELA DE FEVEREIRO",
                            "MAT / SERV - TOMADA");
        c.numlic = contracts_.front().numlic;
        c.contrato = contracts_.front().code;
        c.tpem = "GL";
        c.document = "NOTA FISCAL DE SERVIÇO 2207";
        c.invoices.push_back({"2207", "A", ymd(y, 3, 5), 3440000});
        settle(c, false);
        add(std::move(c));
    }
}

void Builder::bulkCommitments(int month) {
    const int y = year_;
    struct Choice {
        int ficha;
        int weight;
    };
    static const std::vector<Choice> others = {{3, 2},  {4, 3},  {5, 3},  {7, 3},  {8, 1},   {9, 4},  {12, 12},
                                               {13, 5}, {14, 8}, {15, 1}, {16, 2}, {18, 10}, {19, 6}, {20, 2},
                                               {21, 2}, {22, 2}, {23, 3}, {26, 8}, {27, 3},  {28, 4}, {29, 1}};
    int totalWeight = 0;
    for (const auto& c : others) totalWeight += c.weight;

    const auto office = suppliersFor({Role::Office, Role::Printing, Role::Water, Role::Fuel, Role::Food});
    const auto medicine = suppliersFor({Role::Medicine});
    const auto services =
        suppliersFor({Role::School, Role::Software, Role::Printing, Role::Energy, Role::Lab, Role::Cleaning});
    const auto people = suppliersFor({Role::Provider});
    const auto servants = suppliersFor({Role::Servant});
    const auto building = suppliersFor({Role::Construction});
    const auto furniture = suppliersFor({Role::Furniture});

    const int days = lastDay(y, month);
    int made = 0;
    // Payroll and employer contributions: one per appropriation and scale unit.
    for (const auto& f : kFichas) {
        if (f.kind != Kind::Payroll && f.kind != Kind::Employer) continue;
        for (int k = 0; k < scale_; ++k) {
            Commitment c;
            c.entity = f.entity;
            c.ficha = f.ficha;
            c.date = ymd(y, month, std::min(days, 20 + rng_.between(0, 5)));
            c.cents = f.dotacReais * 100 / 12 / scale_ * rng_.between(90, 100) / 100;
            c.codif = f.kind == Kind::Payroll ? 21 : 22;
            c.tpem = "ES";
            c.licit = "DISPENSA";
            c.proc = nextProc();
            c.produ = fmt("%s - %s/%d",
                          f.kind == Kind::Payroll ? "FOLHA DE PAGAMENTO DOS SERVIDORES" : "OBRIGAÇÕES PATRONAIS - INSS",
                          kMonthNames[month - 1], y);
            c.document = f.kind == Kind::Payroll ? "FOLHA DE PAGAMENTO" : "GUIA DA PREVIDÊNCIA SOCIAL";
            settle(c, true);
            add(std::move(c));
            ++made;
        }
    }
    const int target = 50 * scale_;
    for (; made < target; ++made) {
        int w = rng_.between(1, totalWeight);
        const Ficha* f = nullptr;
        for (const auto& c : others) {
            if ((w -= c.weight) <= 0) {
                f = &ficha(c.ficha);
                break;
            }
        }
        Commitment c;
        c.entity = f->entity;
        c.ficha = f->ficha;
        c.date = ymd(y, month, rng_.between(1, days));
        c.proc = nextProc();
        c.licit = "DISPENSA ART. 24";
        auto dispensa = [&] { c.numlicmod = fmt("%04d/%s", rng_.between(1, 40), yy_.c_str()); };
        auto bid = [&](const char* modlic, const char* fallbackLicit) {
            const int b = pickBidding(modlic, c.date);
            if (b < 0) {
                c.licit = fallbackLicit;
                dispensa();
                return;
            }
            c.licit = biddings_[static_cast<std::size_t>(b)].licit;
            c.numlic = biddings_[static_cast<std::size_t>(b)].numlic;
            for (const auto& k : contracts_)
                if (k.numlic == c.numlic && k.signedOn <= c.date && !k.annulled) {
                    c.contrato = k.code;
                    c.tpem = "GL";
                }
        };
        const int invoice = rng_.between(100, 99999);
        switch (f->kind) {
            case Kind::Material:
            case Kind::Equipment: {
                const bool equipment = f->kind == Kind::Equipment;
                c.cents = rng_.between64(150, equipment ? 20000 : 15000) * 100 + rng_.between(0, 99);
                c.codif = equipment ? rng_.pick(furniture) : f->entity == 3 ? rng_.pick(medicine) : rng_.pick(office);
                const int r = rng_.between(1, 10);
                if (r <= 7)
                    dispensa();
                else if (r <= 9)
                    bid("CCO2", "DISPENSA ART. 24");
                else
                    bid("PP01", "DISPENSA ART. 24");
                c.produ = fmt(
                    "%s - %s",
                    equipment ? "AQUISIÇÃO DE EQUIPAMENTOS E MATERIAL PERMANENTE" : "AQUISIÇÃO DE MATERIAL DE CONSUMO",
                    ficha(c.ficha).entity == 3 ? "FUNDO MUNICIPAL DE SAÚDE" : kMonthNames[month - 1]);
                c.document = fmt("NOTA FISCAL %d", invoice);
                break;
            }
            case Kind::ServicePJ:
                c.cents = rng_.between64(500, 40000) * 100 + rng_.between(0, 99);
                c.codif = rng_.pick(services);
                if (rng_.percent(50))
                    dispensa();
                else
                    bid(rng_.percent(60) ? "TOM3" : "CCO2", "DISPENSA ART. 24");
                c.produ = fmt("PRESTAÇÃO DE SERVIÇOS - %s/%d", kMonthNames[month - 1], y);
                c.document = fmt("NOTA FISCAL DE SERVIÇO %d", invoice);
                break;
            case Kind::ServicePF:
                c.cents = rng_.between64(300, 5000) * 100;
                c.codif = rng_.pick(people);
                dispensa();
                c.produ = fmt("SERVIÇOS PRESTADOS POR PESSOA FÍSICA - %s/%d", kMonthNames[month - 1], y);
                c.document = fmt("RECIBO %d", invoice);
                break;
            case Kind::Allowance: {
                Travel t;
                const int n = rng_.between(1, 4);
                const std::int64_t rate = rng_.pick(std::vector<std::int64_t>{15000, 18000, 22000});
                t.allowances.assign(static_cast<std::size_t>(n), rate);
                t.destination =
                    rng_.pick(std::vector<std::string>{"ARACAJU/SE", "SALVADOR/BA", "MACEIÓ/AL", "BRASÍLIA/DF"});
                t.reason = "PARTICIPAR DE REUNIÃO DE TRABALHO E ACOMPANHAR PROCESSOS DO MUNICÍPIO";
                t.leave = c.date;
                t.back = within(addDays(c.date, n - 1), y);
                t.registration = fmt("%06d", rng_.between(1, 900));
                c.codif = rng_.pick(servants);
                t.traveller = supplier(c.codif).name;
                c.cents = rate * n;
                c.travel = t;
                c.licit = "DISPENSA";
                c.produ = fmt("DIÁRIAS - VIAGEM A %s", t.destination.c_str());
                c.document = "RELATÓRIO DE VIAGEM";
                break;
            }
            case Kind::Ticket: {
                Travel t;
                c.cents = rng_.between64(250, 1800) * 100;
                t.ticket = fmt("957-%010d", rng_.between(100000, 999999999));
                t.ticketCents = c.cents;
                t.ticketDate = c.date;
                t.destination = "BRASÍLIA/DF";
                t.reason = "AUDIÊNCIA EM ÓRGÃO FEDERAL";
                t.leave = within(addDays(c.date, 3), y);
                t.back = within(addDays(c.date, 5), y);
                t.registration = "000001";
                t.traveller = supplier(20).name;
                t.issuer = cnpjMask(completeCnpj("097534120001"));
                t.allowances = {c.cents};
                c.travel = t;
                c.codif = 11;
                c.licit = "DISPENSA";
                c.produ = "PASSAGEM AÉREA PARA O PREFEITO MUNICIPAL";
                c.document = "BILHETE DE PASSAGEM AÉREA";
                break;
            }
            case Kind::Grant:
                c.cents = rng_.between64(1000, 8000) * 100;
                c.codif = 25;
                c.licit = "DISPENSA";
                c.produ = "SUBVENÇÃO SOCIAL À ASSOCIAÇÃO DE MORADORES";
                c.document = "RECIBO DE SUBVENÇÃO";
                break;
            case Kind::Food:
                c.cents = rng_.between64(800, 3000) * 100;
                c.codif = 21;
                c.licit = "DISPENSA";
                c.produ = fmt("AUXÍLIO-ALIMENTAÇÃO DOS SERVIDORES - %s", kMonthNames[month - 1]);
                c.document = "FOLHA DO AUXÍLIO-ALIMENTAÇÃO";
                break;
            case Kind::Works: {
                c.cents = rng_.between64(10000, 120000) * 100;
                std::vector<const Work*> open;
                // School works are charged to the education appropriation, the others to urban works.
                for (const auto& w : works_) {
                    const bool school = w.description.find("ESCOLA") != std::string::npos;
                    if (w.entity == f->entity && w.date <= c.date && !w.numlic.empty() && school == (f->ficha == 20))
                        open.push_back(&w);
                }
                c.document = fmt("BOLETIM DE MEDIÇÃO E NOTA FISCAL %d", invoice);
                if (open.empty()) {
                    c.codif = rng_.pick(building);
                    dispensa();
                    c.produ = "SERVIÇOS DE MANUTENÇÃO DE PRÉDIOS PÚBLICOS";
                    break;
                }
                const Work& w = *open[static_cast<std::size_t>(rng_.between(0, static_cast<int>(open.size()) - 1))];
                c.codobra = w.number;
                c.codif = w.executor;
                c.numlic = w.numlic;
                for (const auto& b : biddings_)
                    if (b.numlic == w.numlic) c.licit = b.licit;
                for (const auto& k : contracts_)
                    if (k.work == w.number && k.signedOn <= c.date) c.contrato = k.code;
                c.tpem = "GL";
                c.produ = "MEDIÇÃO DE SERVIÇOS: " + w.description;
                break;
            }
            default:
                continue;
        }
        if (c.document.rfind("NOTA FISCAL", 0) == 0 || c.document.rfind("BOLETIM", 0) == 0)
            c.invoices.push_back({std::to_string(invoice), rng_.percent(80) ? "1" : "U", c.date, c.cents});
        // Some commitments of the last days stay unpaid, a few are partly annulled.
        const bool annul = f->kind != Kind::Allowance && f->kind != Kind::Ticket && rng_.percent(3);
        if (!(month == 12 && dayOf(c.date) > 20) && !annul) {
            settle(c, f->kind == Kind::Allowance);
            for (auto& inv : c.invoices) inv.date = c.liquidations.front().date;
        }
        Commitment& added = add(std::move(c));
        if (annul) {
            Commitment a;
            a.entity = added.entity;
            a.ficha = added.ficha;
            a.date = within(addDays(added.date, rng_.between(5, 20)), y);
            a.cents = -(added.cents * rng_.between(10, 100) / 100);
            a.codif = added.codif;
            a.tpem = added.tpem;
            a.licit = added.licit;
            a.proc = added.proc;
            a.produ = "ANULAÇÃO DE EMPENHO - SERVIÇO OU FORNECIMENTO NÃO REALIZADO";
            a.annulOf = added.key;
            add(std::move(a));
        }
    }
}

void Builder::commitments() {
    showcase();
    for (int m = 1; m <= 12; ++m) {
        say(fmt("Despesa: mês %02d/12", m));
        if (m == 2) {
            // The software licence of contract 02, a waiver.
            Commitment c;
            c.entity = 1;
            c.ficha = 14;
            c.date = ymd(year_, 2, 6);
            c.cents = 200000;
            c.codif = 8;
            c.licit = "DISPENSA ART. 24";
            c.numlicmod = fmt("0004/%s", yy_.c_str());
            c.proc = c.numlicmod;
            c.contrato = fmt("02/%d", year_);
            c.produ = "LICENÇA DE USO DO SISTEMA DE CONTABILIDADE PÚBLICA - FEVEREIRO";
            c.document = "NOTA FISCAL DE SERVIÇO 120";
            c.invoices.push_back({"120", "1", ymd(year_, 2, 6), 200000});
            settle(c, false);
            add(std::move(c));
        }
        bulkCommitments(m);
        // Payments of social security retained in the month before (extra-budgetary).
        if (m > 1 && m != 3) {
            Commitment c;
            c.entity = 1;
            c.ficha = 32;
            c.date = ymd(year_, m, 20);
            c.cents = rng_.between64(6000, 9000) * 100;
            c.codif = 22;
            c.tpem = "EX";
            c.licit = "DISPENSA";
            c.proc = nextProc();
            c.produ = fmt("RECOLHIMENTO DO INSS RETIDO DOS SERVIDORES - COMPETÊNCIA %s", kMonthNames[m - 2]);
            c.document = "GUIA DA PREVIDÊNCIA SOCIAL";
            settle(c, true);
            add(std::move(c));
        }
        // Carried-over commitments cancelled.
        const int cancellations = m == 3 ? 1 + scale_ : scale_ / 2 + (m % 4 == 0 ? 1 : 0);
        for (int k = 0; k < cancellations; ++k) {
            Commitment c;
            c.ficha = k % 2 ? 31 : 30;
            c.entity = ficha(c.ficha).entity;
            c.date = ymd(year_, m, m == 3 && k == 0 ? 27 : rng_.between(1, lastDay(year_, m)));
            c.cents = -rng_.between64(500, 9000) * 100;
            c.nempg = 1000 + rng_.between(1, 3000);
            c.codif = rng_.pick(suppliersFor({Role::Office, Role::Software, Role::Lab}));
            c.tpem = "OR";
            c.licit = "DISPENSA ART. 24";
            c.proc = nextProc();
            c.produ = fmt("CANCELAMENTO DE RESTOS A PAGAR DE %d - SERVIÇO NÃO PRESTADO", year_ - 1);
            add(std::move(c));
        }
    }
    // Commitment numbers follow the date within each entity; annulments and
    // cancellations keep the number of what they reduce.
    std::vector<Commitment*> order;
    for (auto& c : commitments_)
        if (c.cents > 0) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Commitment* a, const Commitment* b) { return a->date < b->date; });
    for (Commitment* c : order) c->nempg = ++lastNempg_[c->entity];
    for (auto& c : commitments_)
        if (c.annulOf) {
            c.nempg = commitments_[static_cast<std::size_t>(c.annulOf - 1)].nempg;
            c.pkempa = std::to_string(c.annulOf);
        }
    writeCommitments();
}

void Builder::writeCommitments() {
    say("Gravando a despesa");
    auto& despes =
        table("DESPES",
              {"PKEMP", "PKEMPA", "DATAE", "NEMPG", "VADEM", "TPEM", "LICIT", "MODALIDADE", "NUMLIC", "NUMLICMOD",
               "CODOBRA", "CONTRATO", "CONVENIO", "CODIF", "FICHA", "PRODU", "PROC", "DTPAG", "DESCO"},
              true);
    auto& desliq = table("DESLIQ", {"PKEMP", "NUMSUB", "DATAE", "VADEM"}, true);
    auto& dessub = table("DESSUB", {"PKEMP", "DOC"}, true);
    auto& nota = table("NOTA", {"PKEMP", "NOTA", "SERIE", "DTLAN", "VALOR"}, true);
    auto& desped = table("DESPESAD",
                         {"PKEMP", "NUMBILH", "VALORBILH", "DATABILH", "DESTINO", "MOTIVO", "DATASAI", "DATACHE",
                          "MATRICULA", "NOMESERV", "CNPJEMI"},
                         true);
    auto& despeddoc = table("DESPESADDOC", {"PKEMP", "TOTAL"}, true);
    auto& rateio =
        table("RATEIO_PAGAMENTO", {"PKEMP", "NEMPG", "EMPRESA", "DTLAN", "ORDPG", "VALOR", "CHEQN", "CONTA"}, true);
    auto& descemp = table("DESCEMP", {"PKEMP", "FICHA"}, true);
    auto& receit = table("RECEIT", {"FICHA", "DTREC", "DTLAN", "VAREC", "PKEMP", "CONTA"}, true);
    std::map<int, int> liqSeq;
    for (const auto& c : commitments_) {
        const std::string key = std::to_string(c.key);
        std::optional<Date> paid;
        for (const auto& p : c.payments)
            if (p.cents > 0) paid = p.date;
        const bool movement = c.cents > 0;
        despes({T(key), T(c.pkempa.empty() ? key : c.pkempa), D(c.date), I(c.nempg), M(c.cents), T(c.tpem), TN(c.licit),
                movement ? TN(c.licit) : NUL(), movement ? TN(c.numlic) : NUL(), TN(c.numlicmod),
                movement ? TN(c.codobra) : NUL(), movement ? TN(c.contrato) : NUL(), movement ? IN(c.convenio) : NUL(),
                I(c.codif), I(c.ficha), T(c.produ), TN(c.proc), DN(paid), c.retained ? M(c.retained) : M(0)});
        if (!c.document.empty()) dessub({T(key), T(c.document)});
        for (const auto& l : c.liquidations)
            desliq({T(key), T(fmt("%05d/%s", l.cents > 0 ? ++liqSeq[c.entity] : liqSeq[c.entity], yy_.c_str())),
                    D(l.date), M(l.cents)});
        for (const auto& i : c.invoices) nota({T(key), T(i.number), T(i.serie), D(i.date), M(i.cents)});
        if (c.travel) {
            const Travel& t = *c.travel;
            desped({T(key), TN(t.ticket), t.ticket.empty() ? NUL() : M(t.ticketCents), DN(t.ticketDate),
                    T(t.destination), T(t.reason), D(t.leave), D(t.back), T(t.registration), T(t.traveller),
                    TN(t.issuer)});
            for (std::int64_t a : t.allowances) despeddoc({T(key), M(a)});
        }
        for (const auto& p : c.payments)
            rateio({T(key), I(c.nempg), I(c.entity), D(p.date), T(p.ordpg), M(p.cents), TN(p.cheque),
                    T(p.account->conta)});
        if (c.retained && paid) {
            descemp({T(key), I(c.retainedFicha)});
            receit(
                {I(c.retainedFicha), D(*paid), D(*paid), M(c.retained), T(key), T(c.payments.back().account->conta)});
        }
    }
}

// ---- revenue

void Builder::revenue() {
    say("Receita");
    auto& receit = table("RECEIT", {"FICHA", "DTREC", "DTLAN", "VAREC", "PKEMP", "CONTA"}, true);
    auto collect = [&](int fichaNo, const Date& received, std::int64_t cents, int lateDays = 0) {
        const RevenueFicha& r = revenueFicha(fichaNo);
        const Date posted = within(addDays(received, lateDays), year_);
        receit({I(r.ficha), D(received), D(posted), M(cents), NUL(), T(r.conta)});
        ledger(account(r.conta).balco, r.balco, posted, cents);
    };
    for (int m = 1; m <= 12; ++m) {
        const int days = lastDay(year_, m);
        for (int d : {10, 20, days}) collect(104, ymd(year_, m, d), rng_.between64(160000, 200000) * 100);
        for (int d : {7, 14, 21, 28}) collect(105, ymd(year_, m, d), rng_.between64(20000, 30000) * 100);
        for (int d : {5, 12, 19, 26}) collect(106, ymd(year_, m, d), rng_.between64(35000, 45000) * 100);
        collect(107, ymd(year_, m, days), rng_.between64(3000, 6000) * 100);
        for (int d : {15, days}) collect(108, ymd(year_, m, d), rng_.between64(40000, 50000) * 100);
        // Taxes paid at the counter, a few posted a day or two later.
        const int counter = 120 * scale_ - 14;
        for (int k = 0; k < counter; ++k) {
            const int r = rng_.between(1, 10);
            const int f = r <= 5 ? 101 : r <= 6 ? 102 : 103;
            collect(f, ymd(year_, m, rng_.between(1, days)), rng_.between64(30, 3000) * 100 + rng_.between(0, 99),
                    rng_.percent(5) ? rng_.between(1, 2) : 0);
        }
        // The monthly transfer to the câmara.
        const Date t = ymd(year_, m, 20);
        const std::int64_t duodecimo = 5800000;
        ledger("611101", "111102", t, duodecimo);
        ledger("111104", "611102", t, duodecimo);
    }
}

// Items that keep the bank statements and the books apart at each month's end.
void Builder::reconciliation() {
    say("Conciliação bancária");
    auto& t = table("CONCILIA_PENDENCIA", {"CONTA", "GRUPO", "DTLAN", "NOME", "VALOR", "DTBAIXA"});
    for (const auto& a : kAccounts) {
        if (isCash(a)) continue;
        for (int m = 1; m <= 12; ++m) {
            const int days = lastDay(year_, m);
            const std::optional<Date> cleared = m < 12 ? std::optional<Date>(ymd(year_, m + 1, 3)) : std::nullopt;
            // Cheques of the last days not yet cleared by the bank.
            int cheques = 0;
            for (const auto& c : commitments_)
                for (const auto& p : c.payments)
                    if (p.account == &a && p.cents > 0 && monthOf(p.date) == m && dayOf(p.date) >= days - 2 &&
                        cheques < 2) {
                        ++cheques;
                        t({T(a.conta), I(1), D(p.date), T("CHEQUE Nº " + p.cheque), M(p.cents), DN(cleared)});
                    }
            if (m % 2 == 0)
                t({T(a.conta), I(2), D(ymd(year_, m, days)), T("DEPÓSITO EM TRÂNSITO"),
                   M(rng_.between64(500, 5000) * 100), DN(cleared)});
            if (m % 3 == 0)
                t({T(a.conta), I(3), D(ymd(year_, m, days)), T("RENDIMENTO DE APLICAÇÃO FINANCEIRA"),
                   M(rng_.between64(50, 900) * 100 + rng_.between(0, 99)), DN(cleared)});
            t({T(a.conta), I(4), D(ymd(year_, m, days)), T("TARIFA BANCÁRIA"), M(rng_.between64(1250, 4500)),
               DN(cleared)});
        }
    }
}

void Builder::everything() {
    client();
    budget();
    decrees();
    chartAndBanks();
    suppliers();
    commissions();
    biddings();
    works();
    contracts();
    agreements();
    waivers();
    commitments();
    revenue();
    reconciliation();
    chartRows();
    entities();

    // The supporting documents of March that the export looks for in the output
    // folder; the spreadsheet of work 12 is left out (deliberate).
    const std::string y = std::to_string(year_);
    auto noSlash = [](std::string s) {
        s.erase(std::remove(s.begin(), s.end(), '/'), s.end());
        return s + ".DOC";
    };
    for (const auto& c : contracts_)
        if (c.entity == 1 && monthOf(c.signedOn) == 3) documents_.push_back(noSlash("CONTR" + c.code));
    documents_.push_back(noSlash("ADCONT" + fmt("01/%d", year_) + "-1"));
    for (const char* n : {"12", "13"}) {
        documents_.push_back(noSlash(std::string("CONV") + n + "/" + y));
        documents_.push_back(noSlash(std::string("PLAPCONV") + n + "/" + y));
    }
    documents_.push_back("ADCONV3-1.DOC");
    documents_.push_back("ADCONVPLAPLIC3-1.DOC");
    for (const auto& b : biddings_)
        if (monthOf(b.opened) == 3) {
            documents_.push_back(noSlash("LICIT" + b.numlic));
            documents_.push_back(noSlash("ATA_ABER" + b.numlic));
        }
    for (const auto& w : works_)
        if (w.entity == 1 && monthOf(w.date) == 3)
            for (const char* p : {"OBRA", "OBRACRON", "OBRAORC", "OBRAPLAN"}) {
                if (std::string_view(p) == "OBRAPLAN" && w.regime == "01") continue;
                documents_.push_back(p + w.number + y + ".DOC");
            }
    missing_ = "OBRAPLAN12" + y + ".DOC";
    documents_.erase(std::remove(documents_.begin(), documents_.end(), missing_), documents_.end());
}

// ------------------------------------------------------------ court tables

RecordSet courtCodeTable(const CourtCode* codes, std::size_t n) {
    RecordSet rs;
    rs.addField({"CODRE", FieldType::String, 8});
    rs.addField({"NOMRE", FieldType::String, 50});
    rs.addField({"ANO_ATIVA", FieldType::String, 4});
    rs.addField({"ANO_DESATIVA", FieldType::String, 4});
    rs.addField({"SITUACAO_ITEM", FieldType::String, 1});
    rs.addField({"REDUTOR", FieldType::String, 1});
    rs.createDataSet();
    for (std::size_t i = 0; i < n; ++i) {
        rs.append();
        rs.field("CODRE").setValue(std::string(codes[i].code));
        rs.field("NOMRE").setValue(std::string(codes[i].name));
        rs.field("ANO_ATIVA").setValue(std::string("2002"));
        rs.field("ANO_DESATIVA").setValue(std::string(codes[i].deactivated));
        rs.field("SITUACAO_ITEM").setValue(std::string(codes[i].situacao));
        rs.field("REDUTOR").setValue(std::string());
        rs.post();
    }
    return rs;
}

RecordSet courtChartTable() {
    RecordSet rs;
    rs.addField({"nu_SequencialTC", FieldType::Int32});
    rs.addField({"cd_ContaTC", FieldType::String, 20});
    rs.addField({"de_ContaTC", FieldType::String, 100});
    rs.addField({"dt_AnoAtivacao", FieldType::String, 4});
    rs.addField({"dt_AnoDesativacao", FieldType::String, 4});
    rs.addField({"SqSubTipo", FieldType::String, 2});
    rs.createDataSet();
    for (const auto& a : kCourtChart) {
        rs.append();
        rs.field("nu_SequencialTC").setValue(std::int64_t{a.seq});
        rs.field("cd_ContaTC").setValue(std::string(a.code));
        rs.field("de_ContaTC").setValue(std::string(a.name));
        rs.field("dt_AnoAtivacao").setValue(std::string("2005"));
        rs.field("dt_AnoDesativacao").setValue(std::string(a.deactivated));
        rs.field("SqSubTipo").setValue(std::string(a.subtipo));
        rs.post();
    }
    return rs;
}

// The budget parameters as the parameters screen saves them once filled in; the
// file name of the fiscal risks annex was left blank (deliberate).
void writeBudgetParameters(const fs::path& file, int year) {
    RecordSet rs;
    for (auto& d : orcParamFieldDefs()) rs.addField(std::move(d));
    rs.createDataSet();
    rs.append();
    auto set = [&](const char* name, const std::string& text) { rs.field(name).setAsString(text); };
    auto yy = [](int y) { return fmt("%02d", y % 100); };
    set("LEI_PPA", "1180/" + yy(year - 2));
    set("DTPUBLICACAO_PPA", fmt("20/12/%d", year - 2));
    set("LEI_LDO", "1245/" + yy(year - 1));
    set("DTPUBLICACAO_LDO", fmt("14/07/%d", year - 1));
    set("LEI_ORC", "1262/" + yy(year - 1));
    set("DTPUBLICACAO_ORC", fmt("22/12/%d", year - 1));
    set("PERC_SUPLEMENTACAO", "20");
    set("PERC_LIM_OP_CRED", "16");
    set("ATO_DET_DESPESA", "3");
    set("DT_ATO_DET_DESPESA", fmt("02/01/%d", year));
    set("NOME_ARQ_PPA", fmt("LEIPPA%d.DOC", year - 2));
    set("NOME_ARQ_LDO", fmt("LEILDO%d.DOC", year));
    set("NOME_ARQ_ORC", fmt("LEIORC%d.DOC", year));
    set("NOME_ARQ_METAS", fmt("ANEXOMETAS%d.DOC", year));
    set("DATA_ENV_LEG_PPA", fmt("31/08/%d", year - 2));
    set("DATA_APROV_LEG_PPA", fmt("15/12/%d", year - 2));
    set("DATA_ENV_LEG_LDO", fmt("15/04/%d", year - 1));
    set("DATA_APROV_LEG_LDO", fmt("30/06/%d", year - 1));
    set("DATA_ENV_LEG_ORC", fmt("29/09/%d", year - 1));
    set("DATA_APROV_LEG_ORC", fmt("15/12/%d", year - 1));
    set("PERC_MIN_EDU", "25");
    set("PERC_MAX_PESSOAL", "54");
    set("PPA_NOVO_ALTERADO", "0");
    rs.post();
    saveOrcParams(rs, file);
}

// Replaces `file` only once the new content is whole.
void writeTextFile(const fs::path& file, const std::string& bytes) {
    const fs::path tmp = file.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << bytes;
        out.flush();
        if (!out) {
            std::error_code ec;
            fs::remove(tmp, ec);
            throw DemoError("Não foi possível gravar " + file.string());
        }
    }
    fs::rename(tmp, file);
}

// Removes a database file left by a failed run.
class PartialFile {
public:
    explicit PartialFile(fs::path p) : path_(std::move(p)) {}
    ~PartialFile() {
        if (!path_.empty()) {
            std::error_code ec;
            fs::remove(path_, ec);
        }
    }
    void release() { path_.clear(); }

private:
    fs::path path_;
};

}  // namespace

DemoResult createDemo(const DemoOptions& options, const std::function<void(const std::string&)>& progress) {
    if (options.dir.empty()) throw DemoError("Informe a pasta da instalação de demonstração.");
    if (options.year < 2000 || options.year > 2099)
        throw DemoError("Ano inválido: " + std::to_string(options.year) + " (use um ano de 2000 a 2099).");
    if (options.scale < 1 || options.scale > kDemoMaxScale)
        throw DemoError("Escala inválida: " + std::to_string(options.scale) + " (use de 1 a " +
                        std::to_string(kDemoMaxScale) + ").");
    auto say = [&](const std::string& s) {
        if (progress) progress(s);
    };

    DemoResult r;
    const fs::path dir = fs::absolute(options.dir).lexically_normal();
    const std::string year = std::to_string(options.year);
    Settings settings;
    settings.Ano = year;
    settings.Caminho_Base_Dados = ((dir / "VORA_8" / "CIDADES" / "DEMO").string() + "/");
    r.iniFile = dir / "Vora.ini";
    r.database = ConexaoBeforeConnect(settings);
    r.dataDir = PegaCaminho("D", settings);
    r.tableDir = PegaCaminho("TD", settings);
    r.outputDir = dir / "saida";

    // The table folder is cut at the first VORA_8 of the base folder: one further up
    // would send the program, and the court tables, outside the installation.
    if (r.tableDir != dir / "VORA_8" / "TABDEF" / "")
        throw DemoError("A pasta " + dir.string() + " já tem VORA_8 no caminho: as tabelas do TCE seriam procuradas em " +
                        r.tableDir.string() + ". Escolha outra pasta.");
    if (fs::exists(dir) && !fs::is_directory(dir))
        throw DemoError("Não é possível criar a instalação em " + dir.string() +
                        ": já existe um arquivo com esse nome.");
    if (!options.force) {
        const fs::path found = fs::exists(r.iniFile) ? r.iniFile : fs::exists(r.database) ? r.database : fs::path();
        if (!found.empty())
            throw DemoExistsError("Já existe uma instalação em " + dir.string() + " (" + found.string() +
                                  "). Use --force para substituí-la.");
    }
    fs::create_directories(r.dataDir);
    fs::create_directories(r.tableDir);

    // The database is filled under another name and put in place when complete.
    const fs::path partial = r.database.string() + ".part";
    PartialFile guard(partial);
    {
        std::error_code ec;
        fs::remove(partial, ec);
    }
    say("Criando a base de dados " + r.database.string());
    Connection::createDatabase(partial.string());
    std::vector<std::string> documents;
    std::string missing;
    {
        Connection db;
        db.setDatabase(partial.string());
        db.connect();
        db.executeScript(embeddedSchemaSql());
        db.startTransaction();
        try {
            Builder b(db, options.year, options.scale, progress);
            if (options.empty)
                b.clientOnly();
            else
                b.everything();
            db.commit();
            r.tableRows = b.counts();
            r.movementRows = b.movementRows();
            documents = b.documents();
            missing = b.missingDocument();
        } catch (...) {
            db.rollback();
            throw;
        }
        db.close();
    }
    for (const auto& [t, n] : r.tableRows) r.totalRows += n;

    say("Tabelas do TCE em " + r.tableDir.string());
    const std::pair<const char*, RecordSet> tables[] = {
        {"PLANO_CONTAS_SE.XML", courtChartTable()},
        {"DESPESA_TCESE.XML", courtCodeTable(kCourtExpense, std::size(kCourtExpense))},
        {"RECEITA_TCESE.XML", courtCodeTable(kCourtRevenue, std::size(kCourtRevenue))},
    };
    for (const auto& [name, rs] : tables) {
        saveDatapacket(rs, r.tableDir / name);
        r.files.push_back(r.tableDir / name);
    }
    if (!options.empty) {
        const fs::path orc = r.dataDir / std::string(kOrcParamFile);
        writeBudgetParameters(orc, options.year);
        r.files.push_back(orc);
        fs::create_directories(r.outputDir);
        for (const auto& d : documents) {
            writeTextFile(r.outputDir / d, "Documento de demonstracao: " + d + "\r\n");
            r.files.push_back(r.outputDir / d);
        }
        std::error_code ec;
        fs::remove(r.outputDir / missing, ec);  // a rerun with --force keeps it missing
    }

    fs::rename(partial, r.database);
    guard.release();
    r.files.insert(r.files.begin(), r.database);
    writeTextFile(r.iniFile, "[VORA]\nAno=" + year + "\nCaminho_Base_Dados=" + settings.Caminho_Base_Dados + "\n");
    r.files.insert(r.files.begin(), r.iniFile);
    return r;
}

}  // namespace tcese
