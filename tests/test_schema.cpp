// db/schema.sql on a real Firebird database, through isql-fb and the embedded
// engine: it loads, it has every column the program names, every statement of
// the program runs on it, and its types give the results the statements expect.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/encoding.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSourceDir = TCESE_SOURCE_DIR;
const fs::path kSchemaFile = kSourceDir / "db" / "schema.sql";
const fs::path kColumnsFile = kSourceDir / "tests" / "fixtures" / "schema_columns.txt";
const fs::path kQueryDir = kSourceDir / "tests" / "fixtures" / "queries";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Non-empty output lines, trimmed: isql pads every value to its column width.
std::vector<std::string> rowsOf(const std::string& output) {
    std::vector<std::string> rows;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (auto row = trim(line); !row.empty()) rows.push_back(row);
    return rows;
}

// One folder per test process, so that processes started side by side by ctest
// never share a database file (the embedded engine opens it exclusively).
class ScratchFolder : public testing::Environment {
public:
    static const fs::path& path() {
        static const fs::path dir = [] {
            std::string name = (fs::temp_directory_path() / "tcese-schema-XXXXXX").string();
            if (!mkdtemp(name.data())) throw std::runtime_error("cannot create a folder in " + name);
            created() = true;
            return fs::path(name);
        }();
        return dir;
    }
    void TearDown() override {
        std::error_code ignored;
        if (created()) fs::remove_all(path(), ignored);
    }

private:
    static bool& created() {
        static bool flag = false;
        return flag;
    }
};
[[maybe_unused]] const auto* const kScratch = testing::AddGlobalTestEnvironment(new ScratchFolder);

struct IsqlRun {
    int status;
    std::string out;  // UTF-8
    std::string err;  // UTF-8
};

// The script is UTF-8 and goes to isql as Windows-1252, as the program sends its
// statements. It is given with -i: isql drops bytes above 127 read from a pipe.
IsqlRun runIsql(const std::string& scriptUtf8) {
    static int serial = 0;
    const fs::path base = ScratchFolder::path() / ("isql" + std::to_string(++serial));
    const fs::path script = base.string() + ".sql", out = base.string() + ".out", err = base.string() + ".err";
    writeFile(script, tcese::utf8ToCp1252(scriptUtf8));
    const std::string command = "isql-fb -q -i '" + script.string() + "' > '" + out.string() + "' 2> '" +
                                err.string() + "' < /dev/null";
    const int raw = std::system(command.c_str());
    IsqlRun run{raw == -1 ? -1 : WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), {}, {}};
    run.out = tcese::cp1252ToUtf8(readFile(out));
    run.err = tcese::cp1252ToUtf8(readFile(err));
    for (const auto& f : {script, out, err}) fs::remove(f);
    return run;
}

std::string createScript(const fs::path& database) {
    return "CREATE DATABASE '" + database.string() +
           "' USER 'VORADBA8' PASSWORD 'mulx' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252;\n" +
           readFile(kSchemaFile);
}

std::string hexHash(const std::string& text) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

// Loading the schema takes about half a second and ctest runs every case in a
// process of its own, so the first process that needs a database keeps the
// loaded one in the build folder, named after the script, for the others.
// Older loads are removed. A failed load is not tried again in the same process.
const fs::path& loadedSchema() {
    struct Loaded {
        fs::path path;
        std::string error;
    };
    static const Loaded loaded = []() -> Loaded {
        const fs::path cache = fs::path(TCESE_BINARY_DIR) / "test-cache";
        fs::create_directories(cache);
        const std::string name = "schema-" + hexHash(createScript("")) + ".fdb";
        const fs::path target = cache / name;
        if (fs::exists(target)) return {target, {}};
        const fs::path fresh = cache / ("loading-" + std::to_string(getpid()) + ".fdb");
        fs::remove(fresh);
        const IsqlRun run = runIsql(createScript(fresh));
        if (run.status != 0 || !run.err.empty()) {
            fs::remove(fresh);
            return {{}, "db/schema.sql does not load:\n" + run.err};
        }
        fs::rename(fresh, target);  // whole or not at all, also against a loader running beside
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(cache, ignored)) {
            const std::string other = entry.path().filename().string();
            if (other.starts_with("schema-") && other != name) fs::remove(entry.path(), ignored);
        }
        return {target, {}};
    }();
    if (!loaded.error.empty()) throw std::runtime_error(loaded.error);
    return loaded.path;
}

// A private copy of the loaded schema, removed with the object.
class TestDatabase {
public:
    TestDatabase() : path_(ScratchFolder::path() / ("db" + std::to_string(++count_) + ".fdb")) {
        fs::copy_file(loadedSchema(), path_);
    }
    ~TestDatabase() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    IsqlRun run(const std::string& statements) const {
        return runIsql("CONNECT '" + path_.string() + "' USER 'VORADBA8' PASSWORD 'mulx';\n" + statements);
    }

private:
    inline static int count_ = 0;
    fs::path path_;
};

TEST(Schema, LoadsWithoutError) {
    const fs::path database = ScratchFolder::path() / "fresh.fdb";
    const IsqlRun run = runIsql(createScript(database));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    std::error_code ignored;
    fs::remove(database, ignored);
}

TEST(Schema, HasEveryNamedColumn) {
    std::vector<std::string> named;
    std::istringstream lines(readFile(kColumnsFile));
    for (std::string line; std::getline(lines, line);) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        ASSERT_NE(line.find('.'), std::string::npos) << "not TABLE.COLUMN: " << line;
        named.push_back(line);
    }
    ASSERT_FALSE(named.empty());

    TestDatabase db;
    const IsqlRun run = db.run(
        "SET HEADING OFF;\n"
        "SELECT TRIM(F.RDB$RELATION_NAME) || '.' || TRIM(F.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS F\n"
        "UNION ALL\n"
        "SELECT TRIM(P.RDB$PROCEDURE_NAME) || '.' || TRIM(P.RDB$PARAMETER_NAME)\n"
        "  FROM RDB$PROCEDURE_PARAMETERS P WHERE P.RDB$PARAMETER_TYPE = 1;\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = rowsOf(run.out);
    const std::set<std::string> present(rows.begin(), rows.end());

    std::set<std::string> reported;
    std::string missing;
    for (const auto& pair : named)
        if (!present.count(pair) && reported.insert(pair).second) missing += "\n  " + pair;
    EXPECT_TRUE(missing.empty()) << "columns missing from db/schema.sql:" << missing;
}

struct TypeCase {
    const char* name;
    const char* setup;
    const char* query;  // one text column per row
    std::vector<std::string> rows;
};

// Each case shows one behaviour that a wrong column type would break.
const TypeCase kTypeCases[] = {
    {"an entity code of two digits finds entity 1",
     "INSERT INTO TABEMPRESA (EMPRESA, NOME) VALUES (1, 'PREFEITURA');",
     "SELECT NOME FROM TABEMPRESA WHERE EMPRESA = '01';",
     {"PREFEITURA"}},
    {"codes concatenate into document names without padding",
     "INSERT INTO CONTRATOS (CODIGO) VALUES ('122008');\n"
     "INSERT INTO CADOBRA (NUMERO, ANO) VALUES ('12', 2007);",
     "SELECT 'CONTR'||CODIGO||'.DOC' FROM CONTRATOS UNION ALL SELECT 'OBRA'||A.NUMERO||A.ANO FROM CADOBRA A;",
     {"CONTR122008.DOC", "OBRA122007"}},
    {"Windows-1252 text reads back unchanged and upper-cases its accented letters",
     "INSERT INTO DESFOR (CODIF, NOME) VALUES (1, 'José da Conceição');",
     "SELECT NOME || '|' || UPPER(NOME) FROM DESFOR;",
     {"José da Conceição|JOSÉ DA CONCEIÇÃO"}},
    {"accented literals compare with columns and cast to text",
     "INSERT INTO CONTRATOS (CODIGO, FLEGAL) VALUES ('1', 'LICITAÇÃO');\n"
     "INSERT INTO CONTRATOS (CODIGO, FLEGAL) VALUES ('2', 'DISPENSA DE LICITAÇÃO');",
     "SELECT CODIGO || '|' || CAST('ANULAÇÃO DO PAGAMENTO' AS VARCHAR(100)) FROM CONTRATOS "
     "WHERE FLEGAL LIKE 'LICITAÇÃO';",
     {"1|ANULAÇÃO DO PAGAMENTO"}},
    {"DISTINCT merges equal descriptions",
     "INSERT INTO CADEST (CADPRO, DISC1) VALUES ('001.000.001', 'CIMENTO');\n"
     "INSERT INTO CADEST (CADPRO, DISC1) VALUES ('001.000.002', 'CIMENTO');",
     "SELECT DISTINCT DISC1 FROM CADEST;",
     {"CIMENTO"}},
    {"a payment-date lookup with an empty commitment key finds nothing",
     "INSERT INTO RATEIO_PAGAMENTO (PKEMP, VALOR) VALUES ('7', 10);",
     "SELECT COUNT(*) FROM RATEIO_PAGAMENTO R WHERE R.PKEMP = '' AND R.VALOR > 0;",
     {"0"}},
    {"the allowance count compares the commitment key unquoted",
     "INSERT INTO DESPESADDOC (PKEMP, TOTAL) VALUES ('7', 10);\n"
     "INSERT INTO DESPESADDOC (PKEMP, TOTAL) VALUES ('7', 20);\n"
     "INSERT INTO DESPESADDOC (PKEMP, TOTAL) VALUES ('8', 5);",
     "SELECT COUNT(*) AS QUANT FROM DESPESADDOC WHERE PKEMP = 7;",
     {"2"}},
    {"a work lookup with an empty number finds nothing",
     "INSERT INTO CADOBRA (NUMERO, ANO) VALUES ('12', 2007);",
     "SELECT COUNT(*) FROM CADOBRA A WHERE A.NUMERO = '';",
     {"0"}},
    {"branch 99 is left out by text and by number, and branch and body concatenate",
     "INSERT INTO DESORC (FICHA, PODER, ORGAO) VALUES (1, '01', '002');\n"
     "INSERT INTO DESORC (FICHA, PODER, ORGAO) VALUES (2, '99', '001');",
     "SELECT PODER||ORGAO FROM DESORC WHERE PODER <> 99 AND PODER <> '99';",
     {"01002"}},
    {"VIEWLIQ gives every liquidation with its commitment number and appropriation",
     "INSERT INTO DESPES (PKEMP, NEMPG, FICHA) VALUES ('7', 123, 5);\n"
     "INSERT INTO DESLIQ (PKEMP, NUMSUB, DATAE, VADEM) VALUES ('7', '0012', '2007-03-15', 150);\n"
     "INSERT INTO DESLIQ (PKEMP, NUMSUB, DATAE, VADEM) VALUES ('7', '0013', '2007-03-20', -40.5);",
     "SELECT PKEMP||'|'||NEMPG||'|'||NUMSUB||'|'||DATAE||'|'||VADEM||'|'||FICHA FROM VIEWLIQ ORDER BY DATAE;",
     {"7|123|0012|2007-03-15|150.00|5", "7|123|0013|2007-03-20|-40.50|5"}},
    {"CONCILIA reconciles the book balance with the items pending at the date",
     "INSERT INTO DESCON (EMPRESA, BALCO, BANCO, AGENCIA, CONTA) VALUES (1, '111201', '001', '1234-5', '5678-9');\n"
     "INSERT INTO DESCON (EMPRESA, BALCO, BANCO, AGENCIA, CONTA) VALUES (2, '111202', '001', '1234-5', '999-0');\n"
     "INSERT INTO CONDIA (BALCO, DATAE, DEBIT, CREDI) VALUES ('111201', '2007-03-01', 1000, 0);\n"
     "INSERT INTO CONDIA (BALCO, DATAE, DEBIT, CREDI) VALUES ('111201', '2007-03-10', 0, 300);\n"
     "INSERT INTO CONDIA (BALCO, DATAE, DEBIT, CREDI) VALUES ('111201', '2007-04-02', 500, 0);\n"
     "INSERT INTO CONCILIA_PENDENCIA VALUES ('5678-9', 1, '2007-03-10', 'CHEQUE 10', 300, NULL);\n"
     "INSERT INTO CONCILIA_PENDENCIA VALUES ('5678-9', 2, '2007-03-30', 'DEPÓSITO', 50, '2007-04-01');\n"
     "INSERT INTO CONCILIA_PENDENCIA VALUES ('5678-9', 4, '2007-03-31', 'TARIFA', 12.5, NULL);\n"
     "INSERT INTO CONCILIA_PENDENCIA VALUES ('5678-9', 3, '2007-02-10', 'JÁ BAIXADO', 70, '2007-03-05');\n"
     "INSERT INTO CONCILIA_PENDENCIA VALUES ('5678-9', 3, '2007-04-05', 'FUTURO', 9, NULL);",
     "SELECT CONTA||'|'||SALDOBANCO||'|'||GRUPO||'|'||NOME||'|'||DTLAN||'|'||SALDO FROM CONCILIA('31.03.2007');",
     {"5678-9|937.50|0|SALDO CONTABIL|2007-03-31|700.00", "5678-9|937.50|1|CHEQUE 10|2007-03-10|300.00",
      "5678-9|937.50|2|DEPÓSITO|2007-03-30|50.00", "5678-9|937.50|4|TARIFA|2007-03-31|12.50",
      "5678-9|937.50|5|SALDO BANCARIO|2007-03-31|937.50", "999-0|0.00|0|SALDO CONTABIL|2007-03-31|0.00",
      "999-0|0.00|5|SALDO BANCARIO|2007-03-31|0.00"}},
};

TEST(Schema, TypesGiveTheIntendedResults) {
    for (const auto& c : kTypeCases) {
        SCOPED_TRACE(c.name);
        TestDatabase db;
        const IsqlRun run = db.run(std::string(c.setup) + "\nSET HEADING OFF;\n" + c.query + "\n");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(rowsOf(run.out), c.rows);
    }
}

std::vector<std::string> queryNames() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kQueryDir, ec))
        if (entry.path().extension() == ".sql") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every statement the program sends, with a run's values in place (entity 01,
// March 2007), one file each: it must run on the empty database.
class ProgramQuery : public testing::TestWithParam<std::string> {};

TEST_P(ProgramQuery, RunsOnTheEmptyDatabase) {
    static const TestDatabase db;  // the statements leave an empty database as it was
    const IsqlRun run = db.run(readFile(kQueryDir / (GetParam() + ".sql")));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(Queries, ProgramQuery, testing::ValuesIn(queryNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
