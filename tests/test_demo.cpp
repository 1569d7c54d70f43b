// The demo installation: where its files are, that every table the program reads
// has rows, that every statement of the program runs on it, that the deliberate
// data problems are there (and nothing else is wrong), and how it refuses or
// fails without leaving a half-made installation behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/demo_cmd.h"
#include "config/encoding.h"
#include "config/pegacaminho.h"
#include "config/settings.h"
#include "data/connection.h"
#include "data/datapacket.h"
#include "db/demo.h"
#include "engine/courttables.h"
#include "engine/documentos.h"
#include "engine/orcparams.h"
#include "engine_support.h"

namespace fs = std::filesystem;
using namespace tcese;
using tcese::testing::TempDir;

namespace {

const fs::path kSourceDir = TCESE_SOURCE_DIR;

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string trim(const std::string& s) {
    const auto a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t\r\n;") - a + 1);
}

// Serialises the first build of the demo among test processes run side by side.
class FileLock {
public:
    explicit FileLock(const fs::path& p) : fd_(::open(p.c_str(), O_CREAT | O_RDWR, 0644)) {
        if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0) throw std::runtime_error("cannot lock " + p.string());
    }
    ~FileLock() { ::close(fd_); }

private:
    int fd_;
};

// This build of the test program: a rebuilt demo relinks it.
std::string buildKey() {
    struct stat st {};
    ::stat("/proc/self/exe", &st);
    return std::to_string(st.st_mtim.tv_sec) + "-" + std::to_string(st.st_mtim.tv_nsec) + "-" +
           std::to_string(st.st_size);
}

// The demo of the default year at scale 1. Building it takes a second (much more
// on a busy disk) and ctest runs every case in a process of its own, so the first
// process builds it in the build folder for this build of the test program, with
// its row counts, and every process opens a private copy of its database: the
// embedded engine opens a file exclusively.
struct Demo {
    fs::path dir;
    DemoResult result;  // paths and row counts
    TempDir scratch;
    Connection db;

    Demo() {
        const fs::path cache = fs::path(TCESE_BINARY_DIR) / "test-cache";
        fs::create_directories(cache);
        dir = cache / ("demo-" + buildKey());
        const fs::path counts = dir / "rows.txt";
        {
            FileLock lock(cache / "demo.lock");
            if (!fs::exists(counts)) {
                for (const auto& e : fs::directory_iterator(cache))
                    if (e.path().filename().string().rfind("demo-", 0) == 0) fs::remove_all(e.path());
                DemoOptions o;
                o.dir = dir;
                const DemoResult built = createDemo(o);
                std::ofstream out(counts.string() + ".tmp");
                out << "movement " << built.movementRows << "\n";
                for (const auto& [t, n] : built.tableRows) out << t << " " << n << "\n";
                out.close();
                fs::rename(counts.string() + ".tmp", counts);
            }
        }
        std::istringstream lines(readText(counts));
        std::string name;
        long n = 0;
        lines >> name >> result.movementRows;
        while (lines >> name >> n) {
            result.tableRows.emplace_back(name, n);
            result.totalRows += n;
        }
        const Settings s = Settings::load(dir / "Vora.ini");
        result.iniFile = dir / "Vora.ini";
        result.database = ConexaoBeforeConnect(s);
        result.dataDir = PegaCaminho("D", s);
        result.tableDir = PegaCaminho("TD", s);
        result.outputDir = dir / "saida";
        fs::copy_file(result.database, scratch.path() / "demo.fdb");
        db.setDatabase((scratch.path() / "demo.fdb").string());
        db.connect();
    }
    RecordSet query(const std::string& sql) {
        RecordSet rs;
        db.open(rs, sql);
        return rs;
    }
    long count(const std::string& sql) { return static_cast<long>(query(sql).field(0).asInteger()); }
};

Demo& demo() {
    static Demo d;
    return d;
}

// Tables of the (table, column) list that the program names.
std::vector<std::string> namedTables() {
    std::set<std::string> tables;
    std::istringstream lines(readText(kSourceDir / "tests" / "fixtures" / "schema_columns.txt"));
    for (std::string line; std::getline(lines, line);) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        tables.insert(line.substr(0, line.find('.')));
    }
    return {tables.begin(), tables.end()};
}

}  // namespace

TEST(Demo, InstallationIsWhereItsSettingsPoint) {
    Demo& d = demo();
    const Settings s = Settings::load(d.result.iniFile);
    EXPECT_EQ(s.Ano, "2007");
    EXPECT_TRUE(s.Servidor.empty());  // local mode
    EXPECT_EQ(fs::path(ConexaoBeforeConnect(s)), d.result.database);
    EXPECT_EQ(fs::path(PegaCaminho("TD", s)), d.result.tableDir);
    EXPECT_EQ(d.result.tableDir, d.dir / "VORA_8" / "TABDEF" / "");
    EXPECT_EQ(d.result.database, d.dir / "VORA_8" / "CIDADES" / "DEMO" / "ARQ2007" / "VORA2007.FDB");
    EXPECT_TRUE(fs::exists(d.result.database));
    EXPECT_FALSE(fs::exists(d.result.database.string() + ".part"));

    RecordSet cadcli = d.query("select * from cadcli");
    ASSERT_EQ(cadcli.recordCount(), 1);
    EXPECT_EQ(cadcli.field("MEXER").asString(), "2007");

    RecordSet orc;
    loadDatapacket(orc, d.result.dataDir / "ORC_TCE_SE.XML");
    ASSERT_EQ(orc.recordCount(), 1);
    EXPECT_EQ(orc.fieldCount(), static_cast<int>(orcParamFields().size()));
}

// The court tables carry the fields the program reads, and every court code that
// the local data uses is in them.
TEST(Demo, CourtTablesHoldTheCodesTheDataUses) {
    Demo& d = demo();
    RecordSet plano, despesa, receita;
    loadDatapacket(plano, d.result.tableDir / "PLANO_CONTAS_SE.XML");
    loadDatapacket(despesa, d.result.tableDir / "DESPESA_TCESE.XML");
    loadDatapacket(receita, d.result.tableDir / "RECEITA_TCESE.XML");
    for (const char* f :
         {"nu_SequencialTC", "cd_ContaTC", "de_ContaTC", "dt_AnoAtivacao", "dt_AnoDesativacao", "SqSubTipo"})
        EXPECT_GE(plano.fieldIndex(f), 0) << f;
    for (RecordSet* t : {&despesa, &receita})
        for (const char* f : {"CODRE", "NOMRE", "ANO_ATIVA", "ANO_DESATIVA", "SITUACAO_ITEM", "REDUTOR"})
            EXPECT_GE(t->fieldIndex(f), 0) << f;

    auto column = [](const RecordSet& rs, const char* field) {
        std::set<std::string> values;
        const int i = rs.fieldIndex(field);
        for (int r = 0; r < rs.recordCount(); ++r) values.insert(valueToText(rs.valueAt(r, i)));
        return values;
    };
    const auto sequences = column(plano, "nu_SequencialTC");
    RecordSet seq = d.query("select distinct SEQ_TCE from CONPLA");
    for (; !seq.eof(); seq.next()) EXPECT_TRUE(sequences.count(seq.field(0).asString())) << seq.field(0).asString();

    const auto expense = column(despesa, "CODRE");
    RecordSet el = d.query("select distinct BALCO_TCE from DESDIS where BALCO_TCE is not null");
    ASSERT_GT(el.recordCount(), 5);
    for (; !el.eof(); el.next()) EXPECT_TRUE(expense.count(el.field(0).asString())) << el.field(0).asString();

    // Budget revenue codes reach a court code, exactly or by zeroing.
    const RevenueCodes codes(receita, "RECEITA_TCESE.XML");
    const auto revenue = column(receita, "CODRE");
    RecordSet rc = d.query("select CODRE from RECORC union select CODRE from RECDIS where EXTRA = 'N'");
    for (; !rc.eof(); rc.next())
        EXPECT_TRUE(revenue.count(codes.devolve(rc.field(0).asString()))) << rc.field(0).asString();
}

TEST(Demo, EveryTableTheProgramReadsHasRows) {
    Demo& d = demo();
    const auto tables = namedTables();
    ASSERT_GT(tables.size(), 40u);
    for (const auto& t : tables) {
        // CONCILIA is the selectable procedure: rows at the end of March.
        const std::string from = t == "CONCILIA" ? "CONCILIA('31.03.2007')" : t;
        EXPECT_GT(d.count("select count(*) from " + from), 0) << t;
    }
    for (const char* t : {"DESLIQ", "CONCILIA_PENDENCIA"})
        EXPECT_GT(d.count(std::string("select count(*) from ") + t), 0) << t;

    RecordSet e = d.query("select EMPRESA, NOME from TABEMPRESA order by EMPRESA");
    std::vector<std::string> names;
    for (; !e.eof(); e.next()) names.push_back(e.field("NOME").asString());
    EXPECT_EQ(names, (std::vector<std::string>{"PREFEITURA MUNICIPAL DE SÃO JOSÉ DA CONCEIÇÃO",
                                               "CÂMARA MUNICIPAL DE SÃO JOSÉ DA CONCEIÇÃO",
                                               "FUNDO MUNICIPAL DE SAÚDE DE SÃO JOSÉ DA CONCEIÇÃO"}));
}

// Every statement of the program, with the values of a run for entity 01 in March
// 2007, runs on the demo; the changing ones are rolled back. The generator queries
// of the month all find rows; only the screen statements below may find none.
TEST(Demo, EveryProgramStatementRunsAndTheMonthHasRows) {
    Demo& d = demo();
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(kSourceDir / "tests" / "fixtures" / "queries"))
        if (e.path().extension() == ".sql") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    ASSERT_GT(files.size(), 80u);

    std::vector<std::string> empty;
    for (const auto& f : files) {
        const std::string sql = trim(readText(f));
        std::string first;  // the first word after the comment lines
        std::istringstream lines(sql);
        for (std::string line; first.empty() && std::getline(lines, line);)
            if (line.rfind("--", 0) != 0) first = asciiUpper(trim(line).substr(0, 6));
        long rows = 0;
        d.db.startTransaction();
        try {
            if (first == "SELECT") {
                RecordSet rs;
                d.db.open(rs, sql);
                rows = rs.recordCount();
            } else {
                rows = d.db.execute(sql);
            }
        } catch (const std::exception& e) {
            ADD_FAILURE() << f.filename() << ": " << e.what();
        }
        d.db.rollback();
        if (rows == 0) empty.push_back(f.stem().string());
    }
    std::string list;
    for (const auto& e : empty) list += " " + e;
    std::printf("statements without rows:%s\n", list.empty() ? " none" : list.c_str());
    // The agreement lookup searches names for 'SILVA': no agreement of the demo is named so.
    EXPECT_EQ(empty, std::vector<std::string>{"TFrmPesConv_PesquisarClick_2"}) << list;
}

// The deliberate problems of db/README.md, each where the March run of entity 01
// (or the one named) will find it.
TEST(Demo, DeliberateProblemsAreInTheData) {
    Demo& d = demo();
    struct Problem {
        const char* what;
        const char* sql;  // a count that must be 1 or more
    };
    const Problem problems[] = {
        {"Conta: account without title", "select count(*) from CONPLA where coalesce(trim(TITCO), '') = ''"},
        {"Agencia: branch without name", "select count(*) from AGENCIA where BANCO <> '000' and NOMEAGENCIA is null"},
        {"FundAlt: March decree without law",
         "select count(*) from DESALD A join CADDECRETO B on B.DECRETO = A.DECRETO join DESDIS C on C.FICHA = A.FICHA "
         "where B.LEI is null and extract(month from A.DTLAN) = 3 and C.EMPRESA = 1"},
        {"Empenho: March commitment without court element",
         "select count(*) from DESPES A join DESDIS B on B.FICHA = A.FICHA where B.BALCO_TCE is null and A.VADEM > 0 "
         "and A.TPEM <> 'EX' and extract(month from A.DATAE) = 3 and B.EMPRESA = 1"},
        {"Licit/PublLic: published March bidding without medium",
         "select count(*) from CADLIC where DTPUB is not null and TIPOPUBL is null and extract(month from DATAE) = 3"},
        {"Licit: March bidding of a commission without start",
         "select count(*) from CADLIC A join LICITCOMISS B on B.NUMLIC = A.NUMLIC join COMISSAO C on "
         "C.CODCOMISS = B.CODCOMISS where C.DT_INI_PI is null and extract(month from A.DATAE) = 3"},
        {"Nota: March invoice without series",
         "select count(*) from NOTA N join DESPES A on A.PKEMP = N.PKEMP join DESDIS C on C.FICHA = A.FICHA "
         "where trim(N.SERIE) = '' and extract(month from N.DTLAN) = 3 and C.EMPRESA = 1"},
        {"RespObra: supervisor of a March work without CREA state",
         "select count(*) from CADFISCAL A join CADOBRAFISCAL B on B.NUMFISCAL = A.CODIGO join CADOBRA C on "
         "C.NUMERO = B.NUMOBRA where A.UF_CREA is null and extract(month from C.DATA) = 3 and C.EMPRESA = 1"},
        {"AtUnGest (entity 02): no CNPJ", "select count(*) from TABEMPRESA where EMPRESA = 2 and CGC is null"},
        {"CadPart: company without CNPJ",
         "select count(*) from DESFOR where CODTIP = '01' and coalesce(INSMF, '') = ''"},
    };
    for (const auto& p : problems) EXPECT_GE(d.count(p.sql), 1) << p.what;

    // The check-digit problems: exactly the ones meant, every other number is valid.
    RecordSet f = d.query("select CODIF, CODTIP, INSMF from DESFOR");
    std::vector<std::string> bad;
    for (; !f.eof(); f.next()) {
        const std::string n = f.field("INSMF").asString();
        const bool cpf = f.field("CODTIP").asString() == "02";
        if (!(cpf ? cpfValido(n) : cnpjValido(n))) bad.push_back(f.field("CODIF").asString());
    }
    EXPECT_EQ(bad, std::vector<std::string>{"27"});
    RecordSet e = d.query("select EMPRESA, CGC, CPF_ORDENA, CPF_CONT from TABEMPRESA order by EMPRESA");
    std::vector<std::string> badEntity;
    for (; !e.eof(); e.next()) {
        const std::string n = e.field("EMPRESA").asString();
        if (!cnpjValido(e.field("CGC").asString())) badEntity.push_back(n + " CGC");
        if (!cpfValido(e.field("CPF_ORDENA").asString())) badEntity.push_back(n + " CPF_ORDENA");
        if (!cpfValido(e.field("CPF_CONT").asString())) badEntity.push_back(n + " CPF_CONT");
    }
    EXPECT_EQ(badEntity, std::vector<std::string>{"1 CPF_CONT"});

    // Budget parameters: only the fiscal risks annex is missing.
    RecordSet orc;
    loadDatapacket(orc, d.result.dataDir / "ORC_TCE_SE.XML");
    std::vector<std::string> blank;
    for (const auto& fd : orc.fields())
        if (trim(orc.field(fd.name).asString()).empty()) blank.push_back(fd.name);
    EXPECT_EQ(blank, std::vector<std::string>{"NOME_ARQ_RISCO"});

    // Supporting documents of March: the spreadsheet of work 12 is the one missing.
    const fs::path out = d.result.outputDir;
    EXPECT_TRUE(fs::exists(out / "CONTR052007.DOC"));
    EXPECT_TRUE(fs::exists(out / "OBRA122007.DOC"));
    EXPECT_FALSE(fs::exists(out / "OBRAPLAN122007.DOC"));
}

// A movement never falls outside the fiscal year, and the money adds up: what is
// paid of a commitment, with its retentions, is what was liquidated of it.
TEST(Demo, MovementsAreConsistent) {
    Demo& d = demo();
    const char* outside[] = {
        "select count(*) from DESPES where extract(year from DATAE) <> 2007",
        "select count(*) from DESLIQ where extract(year from DATAE) <> 2007",
        "select count(*) from RATEIO_PAGAMENTO where extract(year from DTLAN) <> 2007",
        "select count(*) from CONDIA where extract(year from DATAE) <> 2007",
        "select count(*) from RECEIT where extract(year from DTLAN) <> 2007",
    };
    for (const char* q : outside) EXPECT_EQ(d.count(q), 0) << q;
    const char* unbalanced[] = {
        // the ledger: debits equal credits
        "select count(*) from (select 1 as X from CONDIA having sum(DEBIT) <> sum(CREDI))",
        // never more liquidated than committed
        "select count(*) from (select L.PKEMP from DESLIQ L join DESPES D on D.PKEMP = L.PKEMP "
        "group by L.PKEMP, D.VADEM having sum(L.VADEM) > D.VADEM)",
        // a paid commitment: payments and retentions make what was liquidated
        "select count(*) from DESPES D where exists (select 1 from RATEIO_PAGAMENTO P where P.PKEMP = D.PKEMP) "
        "and (select sum(L.VADEM) from DESLIQ L where L.PKEMP = D.PKEMP) <> "
        "(select sum(R.VALOR) from RATEIO_PAGAMENTO R where R.PKEMP = D.PKEMP) + D.DESCO",
    };
    for (const char* q : unbalanced) EXPECT_EQ(d.count(q), 0) << q;
}

TEST(Demo, SameOptionsGiveTheSameDataAndScaleMultipliesTheMovement) {
    Demo& d = demo();
    TempDir dir;
    DemoOptions o;
    o.dir = dir.path() / "again";
    const DemoResult again = createDemo(o);
    EXPECT_EQ(again.tableRows, d.result.tableRows);
    for (const char* f : {"PLANO_CONTAS_SE.XML", "DESPESA_TCESE.XML", "RECEITA_TCESE.XML"})
        EXPECT_EQ(readText(again.tableDir / f), readText(d.result.tableDir / f)) << f;
    const std::string rows =
        "select PKEMP||'|'||DATAE||'|'||NEMPG||'|'||VADEM||'|'||FICHA||'|'||CODIF||'|'||DESCO from DESPES order by PKEMP";
    auto dump = [](RecordSet rs) {
        std::string all;
        for (; !rs.eof(); rs.next()) all += rs.field(0).asString() + "\n";
        return all;
    };
    Connection c;
    c.setDatabase(again.database.string());
    c.connect();
    RecordSet rs;
    c.open(rs, rows);
    EXPECT_EQ(dump(rs), dump(d.query(rows)));

    o.dir = dir.path() / "double";
    o.scale = 2;
    const DemoResult twice = createDemo(o);
    EXPECT_GT(twice.movementRows, d.result.movementRows * 18 / 10);
    EXPECT_LT(twice.movementRows, d.result.movementRows * 22 / 10);
}

TEST(Demo, EmptyInstallationHasOnlyTheClient) {
    TempDir dir;
    DemoOptions o;
    o.dir = dir.path();
    o.empty = true;
    const DemoResult r = createDemo(o);
    EXPECT_EQ(r.totalRows, 1);
    ASSERT_EQ(r.tableRows.size(), 1u);
    EXPECT_EQ(r.tableRows[0].first, "CADCLI");
    EXPECT_TRUE(fs::exists(r.iniFile));
    EXPECT_TRUE(fs::exists(r.tableDir / "RECEITA_TCESE.XML"));
    EXPECT_FALSE(fs::exists(r.dataDir / "ORC_TCE_SE.XML"));  // the parameters screen creates it
    EXPECT_FALSE(fs::exists(r.outputDir));

    Connection c;
    c.setDatabase(r.database.string());
    c.connect();
    RecordSet rs;
    c.open(rs, "select MEXER from CADCLI");
    EXPECT_EQ(rs.field(0).asString(), "2007");
    c.open(rs, "select count(*) from DESPES");
    EXPECT_EQ(rs.field(0).asInteger(), 0);
}

TEST(Demo, ExistingInstallationIsKeptWithoutForce) {
    TempDir dir;
    DemoOptions o;
    o.dir = dir.path();
    o.empty = true;
    std::ostringstream out, err;
    ASSERT_EQ(runDemo(o, out, err), 0) << err.str();
    EXPECT_NE(out.str().find(dir.path().string()), std::string::npos) << out.str();
    const fs::path db = dir.path() / "VORA_8" / "CIDADES" / "DEMO" / "ARQ2007" / "VORA2007.FDB";
    const auto before = fs::last_write_time(db);

    std::ostringstream out2, err2;
    EXPECT_EQ(runDemo(o, out2, err2), 2);
    EXPECT_NE(err2.str().find("--force"), std::string::npos) << err2.str();
    EXPECT_EQ(fs::last_write_time(db), before);

    // Only the settings file left: still an installation.
    fs::remove(db);
    EXPECT_THROW(createDemo(o), DemoExistsError);

    o.force = true;
    std::ostringstream out3, err3;
    EXPECT_EQ(runDemo(o, out3, err3), 0) << err3.str();
    EXPECT_TRUE(fs::exists(db));
    EXPECT_NE(out3.str().find("1 registros"), std::string::npos) << out3.str();
}

TEST(Demo, BadOptionsAndFailuresLeaveNoInstallation) {
    TempDir dir;
    std::ofstream(dir.path() / "file") << "x";
    struct Case {
        const char* name;
        fs::path dir;
        int year;
        int scale;
        const char* says;
    };
    const Case cases[] = {
        {"year before 2000", dir.path() / "a", 1999, 1, "Ano inválido: 1999"},
        {"year after 2099", dir.path() / "a", 2100, 1, "Ano inválido: 2100"},
        {"scale 0", dir.path() / "a", 2007, 0, "Escala inválida: 0"},
        {"scale too large", dir.path() / "a", 2007, kDemoMaxScale + 1, "Escala inválida"},
        {"no folder", fs::path(), 2007, 1, "pasta"},
        {"folder is a file", dir.path() / "file", 2007, 1, "já existe um arquivo"},
        {"folder below another VORA_8", dir.path() / "vora_8" / "a", 2007, 1, "já tem VORA_8 no caminho"},
    };
    for (const auto& c : cases) {
        DemoOptions o;
        o.dir = c.dir;
        o.year = c.year;
        o.scale = c.scale;
        std::ostringstream out, err;
        EXPECT_EQ(runDemo(o, out, err), 2) << c.name;
        EXPECT_NE(err.str().find(c.says), std::string::npos) << c.name << ": " << err.str();
    }
    EXPECT_FALSE(fs::exists(dir.path() / "a"));
    EXPECT_FALSE(fs::exists(dir.path() / "vora_8"));

    // A table file that cannot be written, after the database was filled: no
    // settings file and no database are left, not even the partial one.
    DemoOptions o;
    o.dir = dir.path() / "b";
    o.empty = true;
    fs::create_directories(o.dir / "VORA_8" / "TABDEF" / "DESPESA_TCESE.XML" / "x");
    EXPECT_ANY_THROW(createDemo(o));
    const fs::path year = o.dir / "VORA_8" / "CIDADES" / "DEMO" / "ARQ2007";
    EXPECT_FALSE(fs::exists(o.dir / "Vora.ini"));
    EXPECT_FALSE(fs::exists(year / "VORA2007.FDB"));
    EXPECT_FALSE(fs::exists(year / "VORA2007.FDB.part"));
    // Once the obstacle is gone, the same command works without --force.
    fs::remove_all(o.dir / "VORA_8" / "TABDEF" / "DESPESA_TCESE.XML");
    EXPECT_NO_THROW(createDemo(o));
}
