// The demo through a real Firebird server on loopback: the files must be the same,
// byte for byte, as through the embedded engine. Skipped, with the reason, where no
// server answers (tools/firebird-server.sh starts one); TCESE_REQUIRE_SERVER=1 turns
// the skip into a failure, so CI cannot pass without running it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <thread>

#include "data/connection.h"
#include "engine_support.h"

extern char** environ;

using namespace tcese;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

std::string program() { return std::string(TCESE_BINARY_DIR) + "/tcese"; }

struct Outcome {
    int status = -1;
    std::string output;
};

Outcome run(const std::string& args) {
    Outcome o;
    FILE* p = ::popen((program() + " " + args + " 2>&1").c_str(), "r");
    if (!p) return o;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) o.output.append(buf, n);
    const int st = ::pclose(p);
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return o;
}

// Every regular file below `dir`, by relative path.
std::map<std::string, std::string> filesBelow(const fs::path& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (e.is_regular_file()) out[fs::relative(e.path(), dir).string()] = readBytes(e.path());
    }
    return out;
}

// The log without the moment it was written.
std::string logEntries(const fs::path& file) {
    static const std::regex stamp(R"( (DATA|HORA)="[^"]*")");
    return std::regex_replace(readBytes(file), stamp, "");
}

bool serverRequired() {
    const char* v = std::getenv("TCESE_REQUIRE_SERVER");
    return v && std::string(v) == "1";
}

// The demo, readable and writable by the server's own user.
class ServerDemo : public ::testing::Test {
protected:
    void SetUp() override {
        const Outcome made = run("demo --dir " + dir.str() + "demo");
        ASSERT_EQ(made.status, 0) << made.output;
        base = dir.path() / "demo/VORA_8/CIDADES/DEMO/";
        fdb = base / "ARQ2007/VORA2007.FDB";
        if (const passwd* pw = ::getpwnam("firebird")) {
            // A server runs as its own user; the test folders must let it in.
            for (fs::path p = fdb.parent_path(); p != dir.path().parent_path(); p = p.parent_path()) {
                fs::permissions(p, fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
            }
            if (::chown(fdb.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
                fs::permissions(fdb, fs::perms::all, fs::perm_options::add);
            }
        }
        std::string why;
        try {
            Connection probe;
            probe.setDatabase("localhost:" + fdb.string());
            probe.connect();
            probe.close();
        } catch (const std::exception& e) {
            why = e.what();
        }
        if (!why.empty()) {
            if (serverRequired()) FAIL() << "servidor Firebird exigido e indisponível: " << why;
            GTEST_SKIP() << "Nenhum servidor Firebird em localhost respondeu com o login do programa "
                            "(tools/firebird-server.sh inicia um): "
                         << why;
        }
        serverIni = dir.path() / "demo/Vora-servidor.ini";
        std::ofstream(serverIni) << "[VORA]\nAno=2007\nServidor=localhost\nSO_Servidor=LINUX\n"
                                 << "Caminho_Base_Dados=" << base.string() << "\n"
                                 << "Diretorio_Servidor=" << base.string() << "\n";
    }

    TempDir dir;
    fs::path base, fdb, serverIni;
};

// The server's processes, to freeze them.
std::vector<pid_t> serverPids() {
    std::vector<pid_t> out;
    for (const auto& e : fs::directory_iterator("/proc")) {
        const std::string name = e.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream comm(e.path() / "comm");
        std::string c;
        std::getline(comm, c);
        if (c == "firebird") out.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return out;
}

}  // namespace

TEST_F(ServerDemo, MonthlyAndAnnualRunsThroughTheServerMatchTheEmbeddedRun) {
    const fs::path localIni = dir.path() / "demo/Vora.ini";
    const fs::path log = base / "ARQ2007";
    for (const char* month : {"03", "14"}) {
        // One output folder for both runs: the log names the supporting documents' paths.
        const fs::path out = dir.path() / "saida";
        const fs::path viaServer = dir.path() / (std::string("servidor") + month);
        const std::string logName = std::string("LOG") + month + "2007.XML";
        const std::string args = "export -q --month " + std::string(month) + " --out " + out.string() + " --ini ";

        const Outcome s = run(args + serverIni.string());
        ASSERT_EQ(s.status, 1) << s.output;  // the demo's deliberate problems
        const std::string serverLog = logEntries(log / logName);
        fs::rename(out, viaServer);
        const Outcome e = run(args + localIni.string());
        ASSERT_EQ(e.status, 1) << e.output;

        const auto a = filesBelow(viaServer);
        const auto b = filesBelow(out);
        EXPECT_EQ(a.size(), std::string(month) == "14" ? 7u : 125u);
        ASSERT_EQ(a.size(), b.size());
        for (const auto& [name, bytes] : a) {
            ASSERT_TRUE(b.count(name)) << name;
            EXPECT_TRUE(bytes == b.at(name)) << name << " differs between the server and the embedded engine";
        }
        EXPECT_TRUE(serverLog == logEntries(log / logName)) << "the logs differ";
        fs::remove_all(out);
    }
}

TEST_F(ServerDemo, CtrlCEndsARunWhoseServerIsFrozen) {
    if (::geteuid() != 0) GTEST_SKIP() << "freezing the server needs root";
    const std::vector<pid_t> server = serverPids();
    if (server.empty()) GTEST_SKIP() << "no local process named firebird to freeze";

    const fs::path out = dir.path() / "saida";
    const fs::path output = dir.path() / "saida.txt";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&fa, STDOUT_FILENO, STDERR_FILENO);
    const std::string bin = program(), ini = serverIni.string(), folder = out.string();
    const char* argv[] = {bin.c_str(), "export", "--month", "03", "--out", folder.c_str(), "--ini", ini.c_str(),
                          nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, bin.c_str(), &fa, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&fa);

    // Freeze the server once the run is writing files; thaw it whatever happens.
    struct Thaw {
        std::vector<pid_t> pids;
        ~Thaw() {
            for (pid_t p : pids) ::kill(p, SIGCONT);
        }
    } thaw{server};
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::seconds(60);
    while (clock::now() < deadline && !(fs::exists(out / "Mensal") && !fs::is_empty(out / "Mensal"))) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    for (pid_t p : server) ::kill(p, SIGSTOP);
    int status = 0;
    if (::waitpid(child, &status, WNOHANG) == child) {
        GTEST_SKIP() << "the run ended before the server could be frozen";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(child, SIGINT);

    // A hang detector, not a speed target: a frozen server must not hold the program.
    pid_t done = 0;
    const auto limit = clock::now() + std::chrono::seconds(30);
    while ((done = ::waitpid(child, &status, WNOHANG)) == 0 && clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (done == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "Ctrl-C did not end a run whose server is frozen";
    }
    const std::string said = readBytes(output);
    ASSERT_TRUE(WIFEXITED(status)) << said;
    EXPECT_EQ(WEXITSTATUS(status), 130) << said;
    EXPECT_NE(said.find("Operação Cancelada!"), std::string::npos) << said;
    EXPECT_FALSE(fs::exists(base / "ARQ2007/LOG032007.XML")) << "a cancelled run saves no log";
}
