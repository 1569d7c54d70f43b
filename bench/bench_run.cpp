// A whole monthly run on demo cities of growing size, beside what the engine alone
// costs: counting every row of every table, and the run's own queries executed
// again fetch-only (same text, same parameter values, rows fetched and dropped).
//
//   bench_run                         scales 10, 100 and 300, March
//   TCESE_BENCH_SCALES=100 bench_run  one scale
//   TCESE_BENCH_DIR=/dados/bench      where the demo cities are kept between runs
//
// Each scale runs in a child process, so its peak memory is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "config/pegacaminho.h"
#include "config/settings.h"
#include "data/datamodule.h"
#include "db/demo.h"
#include "engine/run.h"
#include "generators/catalogue.h"

using namespace tcese;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Times the files between their creation and their close.
class TimingObserver : public RunObserver {
public:
    std::map<std::string, double> perFile;
    void fileCreated(int, const FileRow&) override { start_ = Clock::now(); }
    void fileClosed(int, const FileRow& r) override { perFile[r.fileName] += seconds(start_); }

private:
    Clock::time_point start_;
};

struct Figures {
    long rows = 0;
    double count = 0, run = 0, fetchOnly = 0;
    long queries = 0;
    long peakKb = 0;
    std::string slowestFile;
    double slowest = 0;
};

fs::path demoFor(int scale) {
    const char* base = std::getenv("TCESE_BENCH_DIR");
    const fs::path dir = fs::path(base && *base ? base : "/tmp/tcese-bench") / ("escala" + std::to_string(scale));
    if (!fs::exists(dir / "Vora.ini")) {
        std::cerr << "bench_run: creating the demo at scale " << scale << " in " << dir << "\n";
        DemoOptions o;
        o.dir = dir;
        o.scale = scale;
        o.force = true;
        createDemo(o);
    }
    return dir;
}

Figures measure(const fs::path& demo) {
    Figures f;
    const fs::path ini = demo / "Vora.ini";
    DataModule dm;
    dm.Conexao.setDatabase(ConexaoBeforeConnect(Settings::load(ini)));
    dm.Conexao.connect();

    // Every row of every table, counted by the engine.
    dm.Conexao.open(dm.CdsAux,
                    "select trim(rdb$relation_name) as T from rdb$relations "
                    "where coalesce(rdb$system_flag, 0) = 0 and rdb$view_blr is null");
    std::vector<std::string> tables;
    for (dm.CdsAux.first(); !dm.CdsAux.eof(); dm.CdsAux.next()) tables.push_back(dm.CdsAux.field("T").asString());
    auto t0 = Clock::now();
    for (const std::string& t : tables) {
        dm.Conexao.open(dm.CdsAux, "select count(*) as N from \"" + t + "\"");
        f.rows += std::stol(dm.CdsAux.field("N").asString());
    }
    f.count = seconds(t0);

    // The run, recording its queries.
    TimingObserver obs;
    Exporter ex(dm, obs, ini);
    const fs::path out = demo / "bench-saida";
    fs::remove_all(out);
    dm.Conexao.recordQueries(true);
    t0 = Clock::now();
    const RunResult r =
        gerarClick(ex, RunRequest{"03 - MARÇO", "01 - PREFEITURA", out.string() + "/"}, annualCatalogue(),
                   monthlyCatalogue());
    f.run = seconds(t0);
    dm.Conexao.recordQueries(false);
    if (r.outcome != RunOutcome::Completed) throw std::runtime_error("the run did not complete: " + r.error);
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    f.peakKb = ru.ru_maxrss;
    for (const auto& [name, s] : obs.perFile) {
        if (s > f.slowest) {
            f.slowest = s;
            f.slowestFile = name;
        }
    }

    // The same queries, fetch-only.
    f.queries = static_cast<long>(dm.Conexao.recordedQueries());
    t0 = Clock::now();
    dm.Conexao.replayRecordedQueries();
    f.fetchOnly = seconds(t0);
    return f;
}

}  // namespace

int main() {
    std::vector<int> scales;
    {
        const char* env = std::getenv("TCESE_BENCH_SCALES");
        std::stringstream in(env && *env ? env : "10,100,300");
        for (std::string s; std::getline(in, s, ',');) scales.push_back(std::stoi(s));
    }
    std::printf("%6s %10s %9s %9s %11s %8s %8s %8s %9s  %s\n", "escala", "linhas", "contar s", "gerar s",
                "só busca s", "consultas", "gerar/ct", "ger/bus", "pico MB", "arquivo mais lento");
    for (int scale : scales) {
        const fs::path demo = demoFor(scale);
        int fds[2];
        if (pipe(fds) != 0) return 2;
        const pid_t child = fork();
        if (child == 0) {
            close(fds[0]);
            try {
                const Figures f = measure(demo);
                char line[512];
                const int n = std::snprintf(line, sizeof line, "%ld %.3f %.3f %.3f %ld %ld %.3f %s\n", f.rows,
                                            f.count, f.run, f.fetchOnly, f.queries, f.peakKb, f.slowest,
                                            f.slowestFile.c_str());
                if (write(fds[1], line, static_cast<std::size_t>(n)) != n) _exit(2);
                _exit(0);
            } catch (const std::exception& e) {
                std::cerr << "bench_run: " << e.what() << "\n";
                _exit(2);
            }
        }
        close(fds[1]);
        std::string line;
        char buf[512];
        for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) line.append(buf, static_cast<std::size_t>(n));
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 2;
        Figures f;
        char file[256] = {};
        std::sscanf(line.c_str(), "%ld %lf %lf %lf %ld %ld %lf %255s", &f.rows, &f.count, &f.run, &f.fetchOnly,
                    &f.queries, &f.peakKb, &f.slowest, file);
        std::printf("%6d %10ld %9.2f %9.2f %11.2f %8ld %8.1f %8.2f %9.1f  %s %.2f s (%.0f %%)\n", scale, f.rows,
                    f.count, f.run, f.fetchOnly, f.queries, f.run / f.count, f.run / f.fetchOnly, f.peakKb / 1024.0,
                    file, f.slowest, 100.0 * f.slowest / f.run);
        std::fflush(stdout);
    }
    return 0;
}
