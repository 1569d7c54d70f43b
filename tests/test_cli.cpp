// The command line as a user runs it: exit status, messages, files.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>

#include "engine_support.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

struct Outcome {
    int status;
    std::string output;  // stdout and stderr
};

Outcome runTcese(const std::string& args) {
    const std::string cmd = std::string(TCESE_BINARY_DIR) + "/tcese " + args + " 2>&1";
    Outcome o{-1, {}};
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return o;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) o.output.append(buf, n);
    const int st = ::pclose(p);
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return o;
}

class CliExport : public ::testing::Test {
protected:
    void SetUp() override {
        ini = db.installAsYear("2007");
        db.exec("insert into CADCLI (MEXER) values ('2007');"
                "insert into TABEMPRESA (EMPRESA, NOME) values (1, 'Prefeitura Municipal de São José');"
                "commit;");
    }
    TestDatabase db;
    TempDir out;
    std::filesystem::path ini;
};

}  // namespace

TEST_F(CliExport, BadArgumentsAndMissingDatabaseExitWithTwo) {
    struct Case {
        std::string args;
        const char* says;
    };
    const Case cases[] = {
        {"export --month 13 --out " + out.str() + " --ini " + ini.string(), "mês inválido"},
        {"export --month 03 --out " + out.str() + " --ini " + ini.string() + " --entity 7", "entidade 07"},
        {"export --month 03 --out " + out.str() + " --ini " + (db.dir() / "none.ini").string(),
         "Erro ao Conectar com a Base de Dados!"},
        {"export --out " + out.str(), "--month"},
    };
    for (const Case& c : cases) {
        const Outcome o = runTcese(c.args);
        EXPECT_EQ(o.status, 2) << c.args << "\n" << o.output;
        EXPECT_NE(o.output.find(c.says), std::string::npos) << o.output;
    }
}

TEST_F(CliExport, DatabaseOpenElsewhereIsExplained) {
    DataModule dm;
    db.connect(dm);  // this process holds the file
    const Outcome o = runTcese("export --month 03 --out " + out.str() + " --ini " + ini.string());
    EXPECT_EQ(o.status, 2) << o.output;
    EXPECT_NE(o.output.find("já está aberta por outro programa"), std::string::npos) << o.output;
}

TEST_F(CliExport, MonthlyRunWritesFilesAndLog) {
    // The folder may hold the user's documents: it is used as it is.
    writeBytes(out.path() / "CONTR122008.DOC", "doc");
    const Outcome o = runTcese("export --month 03 --out " + out.str() + " --ini " + ini.string());
    EXPECT_TRUE(o.status == 0 || o.status == 1 || o.status == 3) << o.output;
    EXPECT_NE(o.output.find("01 - PREFEITURA MUNICIPAL DE SÃO JOSÉ"), std::string::npos) << o.output;
    EXPECT_EQ(readBytes(out.path() / "Mensal" / "SbGovPre.txt"), "1200703\r\n3000000\r\n");
    EXPECT_TRUE(std::filesystem::exists(out.path() / "CONTR122008.DOC"));
    EXPECT_TRUE(std::filesystem::exists(db.dir() / "ARQ2007" / "LOG032007.XML")) << o.output;
}
