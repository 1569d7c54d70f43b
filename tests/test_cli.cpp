// The command line as a user runs it: exit status, messages, files.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "cli_support.h"
#include "engine_support.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

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
         "none.ini, não existe"},
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

TEST(CliDemo, MonthlyRunOnTheDemoWritesFilesAndLog) {
    TempDir dir;
    const std::string demo = dir.str() + "demo";
    const Outcome made = runTcese("demo --dir " + demo);
    ASSERT_EQ(made.status, 0) << made.output;
    // The folder holds the user's documents: it is used as it is, never cleared.
    const std::filesystem::path out = std::filesystem::path(demo) / "saida";
    const std::size_t docsBefore = std::distance(std::filesystem::directory_iterator(out), {});
    const Outcome o = runTcese("export --month 03 --out " + out.string() + " --ini " + demo + "/Vora.ini");
    // The demo's deliberate problems are logged (1); 3 while a step is not available yet.
    EXPECT_TRUE(o.status == 1 || o.status == 3) << o.output;
    EXPECT_NE(o.output.find("01 - PREFEITURA MUNICIPAL DE SÃO JOSÉ DA CONCEIÇÃO"), std::string::npos) << o.output;
    EXPECT_NE(o.output.find("Arquivos Gerados com Erro!"), std::string::npos) << o.output;
    EXPECT_EQ(readBytes(out / "Mensal" / "SbGovPre.txt"), "1200703\r\n3000000\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), static_cast<long>(docsBefore) + 1);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(demo) / "VORA_8/CIDADES/DEMO/ARQ2007/LOG032007.XML"))
        << o.output;
}

TEST_F(CliExport, SettingsProblemsSayWhatIsWrong) {
    struct Case {
        std::string args;
        std::string env;
        std::vector<std::string> says;
    };
    const std::string run = "export --month 03 --out " + out.str();
    const Case cases[] = {
        // A folder given as the settings file.
        {run + " --ini " + db.dir().string(), "", {"é uma pasta", (db.dir() / "Vora.ini").string()}},
        {run, "TCESE_INI=" + (db.dir() / "outro.ini").string() + " ", {"outro.ini, não existe"}},
    };
    for (const Case& c : cases) {
        const Outcome o = runTcese(c.args, c.env);
        EXPECT_EQ(o.status, 2) << c.args << "\n" << o.output;
        for (const std::string& s : c.says) EXPECT_NE(o.output.find(s), std::string::npos) << s << "\n" << o.output;
        EXPECT_EQ(o.output.find("VORA.FDB"), std::string::npos) << o.output;
    }
    // TCESE_INI stands for --ini: the database it names is opened.
    const Outcome o = runTcese(run, "TCESE_INI=" + ini.string() + " ");
    EXPECT_NE(o.output.find("Entidade: 01 - PREFEITURA MUNICIPAL"), std::string::npos) << o.output;
}

TEST_F(CliExport, FolderThatCannotBeCreatedIsNamedWithTheReason) {
    writeBytes(out.path() / "arquivo", "x");
    std::filesystem::create_directories(out.path() / "ocupada");
    writeBytes(out.path() / "ocupada" / "Mensal", "x");  // the month's folder is taken by a file
    struct Case {
        std::string folder;
        std::string named;
    };
    const Case cases[] = {
        {out.str() + "arquivo/sub", out.str() + "arquivo/sub/"},
        {out.str() + "arquivo", out.str() + "arquivo/"},
        {out.str() + "ocupada", out.str() + "ocupada/Mensal/"},
    };
    for (const Case& c : cases) {
        const Outcome o = runTcese("export --month 03 --out " + c.folder + " --ini " + ini.string());
        EXPECT_EQ(o.status, 2) << c.folder << "\n" << o.output;
        EXPECT_NE(o.output.find("possível criar a pasta " + c.named + ": "), std::string::npos) << o.output;
        EXPECT_EQ(o.output.find("No such file"), std::string::npos) << o.output;
    }
}

TEST(CliDemo, LogThatCannotBeSavedIsAnErrorWithTheReason) {
    TempDir dir;
    const std::string demo = dir.str() + "demo";
    ASSERT_EQ(runTcese("demo --dir " + demo).status, 0);
    // A folder where the log goes: the files are written, the log cannot be.
    const std::filesystem::path log = std::filesystem::path(demo) / "VORA_8/CIDADES/DEMO/ARQ2007/LOG032007.XML";
    std::filesystem::create_directories(log);
    const Outcome o = runTcese("export --month 03 --out " + demo + "/saida --ini " + demo + "/Vora.ini");
    EXPECT_EQ(o.status, 2) << o.output;
    EXPECT_NE(o.output.find(log.string()), std::string::npos) << o.output;
    EXPECT_NE(o.output.find("é uma pasta"), std::string::npos) << o.output;
    EXPECT_NE(o.output.find("log desta geração não foi salvo"), std::string::npos) << o.output;
}

// The database engine reads a path in the locale's character set: a folder with
// accents works whatever locale the terminal has.
TEST(CliDemo, FolderWithAccentsWorksInAnyLocale) {
    TempDir dir;
    const std::string demo = dir.str() + "São José";
    const Outcome made = runTcese("demo --dir '" + demo + "'", "LC_ALL=C ");
    ASSERT_EQ(made.status, 0) << made.output;
    for (const char* env : {"", "LC_ALL=C ", "LANG= LC_ALL= "}) {
        const Outcome o =
            runTcese("export --month 03 --out '" + demo + "/saída' --ini '" + demo + "/Vora.ini'", env);
        EXPECT_TRUE(o.status == 0 || o.status == 1) << env << "\n" << o.output;
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(demo) / "saída/Mensal/Empenho.txt")) << o.output;
    }
}

TEST(CliDemo, CtrlCSaysWhichFileWasLeftIncomplete) {
    TempDir dir;
    const std::string demo = dir.str() + "demo";
    ASSERT_EQ(runTcese("demo --dir " + demo).status, 0);
    const std::string outDir = demo + "/saida";

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const std::string program = std::string(TCESE_BINARY_DIR) + "/tcese";
    const std::string ini = demo + "/Vora.ini";
    std::vector<std::string> args{program, "export", "--month", "03", "--out", outDir, "--ini", ini};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);

    // Interrupted once the first file is done, while the run goes on.
    std::string output;
    bool sent = false;
    char buf[4096];
    while (true) {
        const ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
        if (n <= 0) break;
        output.append(buf, static_cast<std::size_t>(n));
        if (!sent && output.find(" linhas ") != std::string::npos) {
            ::kill(pid, SIGINT);
            sent = true;
        }
    }
    ::close(pipeFds[0]);
    int st = 0;
    ::waitpid(pid, &st, 0);
    ASSERT_TRUE(WIFEXITED(st)) << output;
    EXPECT_EQ(WEXITSTATUS(st), 130) << output;
    EXPECT_NE(output.find("Operação Cancelada!"), std::string::npos) << output;

    // Either the file being written is named, and it has no trailer, or none was open.
    const std::string mark = "Arquivo incompleto (não use): ";
    const std::size_t at = output.find(mark);
    if (at == std::string::npos) {
        EXPECT_NE(output.find("Nenhum arquivo ficou incompleto"), std::string::npos) << output;
        return;
    }
    const std::size_t from = at + mark.size();
    const std::string named = output.substr(from, output.find('\n', from) - from);
    EXPECT_EQ(named.rfind(outDir + "/Mensal/", 0), 0u) << named;
    const std::string bytes = readBytes(named);
    const std::size_t lastLine = bytes.rfind("\r\n", bytes.size() >= 2 ? bytes.size() - 3 : 0);
    EXPECT_FALSE(bytes.size() > 2 && bytes[lastLine == std::string::npos ? 0 : lastLine + 2] == '3')
        << named << " ends with a trailer";
}

// The embedded engine keeps its locks in a folder of the group "firebird": a user
// outside that group is told what to do, not only that permission was denied.
TEST(CliDemo, UserOutsideTheFirebirdGroupIsToldWhatToDo) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto lock = fs::status("/tmp/firebird", ec);
    if (::geteuid() != 0 || !fs::is_directory(lock) ||
        (lock.permissions() & fs::perms::others_write) != fs::perms::none || ::system("id nobody >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs root, the user nobody and a lock folder closed to others";
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    const Outcome o = runTcese("demo --dir " + dir.str() + "demo", "runuser -u nobody -- env USER=nobody ");
    EXPECT_EQ(o.status, 2) << o.output;
    EXPECT_NE(o.output.find("sudo adduser nobody firebird"), std::string::npos) << o.output;
}
