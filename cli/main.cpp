// tcese: the command line of the audit-court export.
#include <CLI/CLI.hpp>

#include <langinfo.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <thread>

#include "cli/demo_cmd.h"
#include "config/pegacaminho.h"
#include "config/settings.h"
#include "config/syserror.h"
#include "data/datamodule.h"
#include "engine/run.h"
#include "generators/catalogue.h"
#include "version.h"

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int) { gInterrupted = 1; }

// The user's locale, as the desktop program (Qt) takes it: the database engine reads
// a path with accents in the locale's character set, and the bare "C" locale has none.
// A locale that is not UTF-8 keeps its other parts and gets UTF-8 characters.
void useUserLocale() {
    std::setlocale(LC_ALL, "");
    const char* codeset = nl_langinfo(CODESET);
    if (!codeset || std::strcmp(codeset, "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

// Shows a run in the terminal: one line per file closed, messages with their caption.
class TerminalObserver : public tcese::RunObserver {
public:
    explicit TerminalObserver(bool quiet) : quiet_(quiet), tty_(isatty(STDERR_FILENO) != 0) {}
    tcese::Exporter* exporter = nullptr;

    void fileClosed(int, const tcese::FileRow& r) override {
        {
            std::lock_guard lock(openMutex_);
            open_.clear();
        }
        if (tty_) std::cerr << "\r\033[K";
        if (quiet_) return;
        std::printf("%-24s %8s linhas  %-10s %14s  %s\n", r.fileName.c_str(), r.lines.c_str(), r.date.c_str(),
                    r.size.c_str(), tcese::fileStateLegend(r.stateIndex));
        std::fflush(stdout);
    }
    void fileCreated(int, const tcese::FileRow& r) override {
        current_ = r.fileName;
        {
            std::lock_guard lock(openMutex_);
            open_ = r.fileName;
        }
        if (tty_ && !quiet_) std::cerr << "\r\033[K" << step_ << "/" << total_ << "  " << current_ << std::flush;
    }
    void overallProgress(int position, int maximum) override {
        step_ = position;
        total_ = maximum;
    }
    void processEvents() override {
        if (gInterrupted && exporter && !exporter->ctx.cancelRequested) {
            exporter->cancel();
            message(tcese::MessageKind::Warning, "Operação Cancelada!");
        }
    }
    void message(tcese::MessageKind kind, const std::string& text) override {
        if (tty_) std::cerr << "\r\033[K";
        std::cerr << tcese::messageCaption(kind) << ": " << text << "\n";
    }

    // The file created and not closed: after a cancel or an error, left incomplete.
    // Read by the cancel watcher's thread too.
    std::string openFile() {
        std::lock_guard lock(openMutex_);
        return open_;
    }

private:
    std::mutex openMutex_;
    bool quiet_;
    bool tty_;
    int step_ = 0;
    int total_ = 0;
    std::string current_;
    std::string open_;
};

// Ctrl-C is seen between records by processEvents(); a statement that runs long is
// stopped through the attachment. A server that does not answer at all (frozen) is
// not waited for: after a grace period the program ends as a cancel ends.
class CancelWatcher {
public:
    // `periodDir`: where the run writes its files, to name the one left incomplete.
    CancelWatcher(tcese::Connection& db, TerminalObserver& obs, std::string periodDir)
        : db_(db), obs_(obs), periodDir_(std::move(periodDir)), thread_([this] { watch(); }) {}
    ~CancelWatcher() { stop(); }
    void stop() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }

private:
    static constexpr auto kPoll = std::chrono::milliseconds(50);
    static constexpr auto kRetry = std::chrono::milliseconds(500);
    static constexpr auto kGrace = std::chrono::seconds(3);

    void watch() {
        using clock = std::chrono::steady_clock;
        clock::time_point since{};
        clock::time_point lastTry{};
        while (!done_) {
            if (gInterrupted) {
                const auto now = clock::now();
                if (since == clock::time_point{}) since = now;
                if (now - lastTry >= kRetry) {
                    db_.cancelOperation();
                    lastTry = now;
                }
                if (now - since >= kGrace) abandon();
            }
            std::this_thread::sleep_for(kPoll);
        }
    }

    [[noreturn]] void abandon() {
        std::string text = "\nAtenção: Operação Cancelada! A base de dados não respondeu ao cancelamento; "
                           "o log não foi gravado.\n";
        const std::string file = obs_.openFile();
        if (!file.empty()) text += "Arquivo incompleto (não use): " + periodDir_ + file + "\n";
        std::fflush(stdout);
        [[maybe_unused]] const auto n = ::write(STDERR_FILENO, text.data(), text.size());
        std::_Exit(130);
    }

    tcese::Connection& db_;
    TerminalObserver& obs_;
    const std::string periodDir_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

std::string monthEntry(int month) {
    for (const char* e : tcese::kMonthEntries) {
        if (std::stoi(std::string(e, 2)) == month) return e;
    }
    return {};
}

int runExport(const std::string& iniArg, int month, int entity, const std::string& dir, bool quiet) {
    namespace fs = std::filesystem;
    fs::path ini;
    try {
        const char* env = std::getenv("TCESE_INI");
        ini = tcese::locateSettings(iniArg.empty() && env ? fs::path(env) : fs::path(iniArg),
                                    "Indique o arquivo com --ini ARQUIVO ou com a variável TCESE_INI, "
                                    "ou copie-o para um desses lugares.");
    } catch (const tcese::SettingsError& e) {
        std::cerr << "Erro: " << e.what() << "\n";
        return 2;
    }
    tcese::DataModule dm;
    try {
        dm.Conexao.setDatabase(tcese::ConexaoBeforeConnect(tcese::Settings::load(ini)));
        dm.Conexao.connect();
    } catch (const std::exception& e) {
        std::cerr << "Erro: Erro ao Conectar com a Base de Dados!\nO Módulo será Finalizado!!\n" << e.what() << "\n";
        return 2;
    }

    std::vector<std::string> entities;
    try {
        entities = tcese::entityEntries(dm);
    } catch (const std::exception& e) {
        std::cerr << "Erro: " << e.what() << "\n";
        return 2;
    }
    std::string entityText = entities.empty() ? std::string() : entities.front();
    if (entity > 0) {
        entityText.clear();
        const std::string code = (entity < 10 ? "0" : "") + std::to_string(entity);
        for (const auto& e : entities) {
            if (e.rfind(code + " ", 0) == 0) entityText = e;
        }
        if (entityText.empty()) {
            std::cerr << "Erro: entidade " << code << " não existe na tabela TABEMPRESA.\n";
            return 2;
        }
    }

    TerminalObserver obs(quiet);
    tcese::Exporter ex(dm, obs, ini);
    obs.exporter = &ex;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);

    // The folder may hold the user's supporting documents: used as it is, never cleared.
    std::string folder = fs::absolute(fs::path(dir)).lexically_normal().string();
    if (folder.back() != '/') folder += '/';
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder)) {
        const std::string reason = ec ? tcese::systemReason(ec) : "já existe um arquivo com esse nome";
        std::cerr << "Erro: não é possível criar a pasta " << folder << ": " << reason
                  << ". Indique em --out uma pasta que possa ser criada e gravada.\n";
        return 2;
    }
    const tcese::RunRequest req{monthEntry(month), entityText, folder};
    if (!quiet) std::cout << "Entidade: " << entityText << "\nMês: " << req.monthText << "\nPasta: " << folder << "\n";
    CancelWatcher watcher(dm.Conexao, obs, folder + (month == 14 ? "Anual/" : "Mensal/"));
    const tcese::RunResult r =
        tcese::gerarClick(ex, req, tcese::annualCatalogue(), tcese::monthlyCatalogue());
    watcher.stop();
    auto sayIncomplete = [&] {
        if (const std::string open = obs.openFile(); !open.empty())
            std::cerr << "Arquivo incompleto (não use): " << ex.ctx.outputDir << open << "\n";
    };
    switch (r.outcome) {
        case tcese::RunOutcome::Completed:
            if (!quiet) std::cout << "Arquivos em: " << ex.ctx.outputDir << "\n";
            // The files are written but the run's log is not: an error.
            if (!r.error.empty()) {
                std::cerr << "Erro: o log desta geração não foi salvo.\n";
                return 2;
            }
            if (!r.logFile.empty() && !quiet) std::cout << "Log: " << r.logFile.string() << "\n";
            if (!r.unavailable.empty()) return 3;
            return r.hadErrors ? 1 : 0;
        case tcese::RunOutcome::Cancelled:
            sayIncomplete();
            if (obs.openFile().empty()) std::cerr << "Nenhum arquivo ficou incompleto; o log não foi salvo.\n";
            return 130;
        default:
            sayIncomplete();
            return 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    useUserLocale();
    CLI::App app{"tcese - exportação de arquivos para o TCE/SE (SISAP)", "tcese"};
    app.set_version_flag("--version", std::string("tcese ") + TCESE_VERSION);
    app.require_subcommand(0, 1);

    auto* exp = app.add_subcommand("export", "gera os arquivos de um mês (01 a 12) ou do orçamento anual (14)");
    exp->footer(
        "Saída: 0 sem problemas; 1 arquivos gerados com problemas no log; 2 erro ou argumentos inválidos;\n"
        "3 arquivos gerados, mas algum arquivo do catálogo ainda não disponível nesta versão; 130 cancelado (Ctrl-C).");
    std::string month;
    int entity = 0;
    std::string out;
    std::string ini;
    bool quiet = false;
    exp->add_option("-m,--month", month, "mês de referência: 01 a 12, ou 14 para o orçamento anual")->required();
    exp->add_option("-o,--out", out, "pasta onde os arquivos serão gerados (Anual/ ou Mensal/ dentro dela)")->required();
    exp->add_option("-e,--entity", entity, "número da entidade (padrão: a primeira de TABEMPRESA)")
        ->check(CLI::Range(1, 99));
    exp->add_option("--ini", ini, "arquivo de configuração (padrão: TCESE_INI, ou Vora.ini ao lado do programa, em "
                   "$XDG_CONFIG_HOME/tcese/ ou em /etc/tcese/)");
    exp->add_flag("-q,--quiet", quiet, "mostra só as mensagens");
    tcese::DemoCommand demo(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    }
    if (demo.parsed()) return demo.run();
    if (*exp) {
        int m = 0;
        const auto [p, ec] = std::from_chars(month.data(), month.data() + month.size(), m);
        if (ec != std::errc() || p != month.data() + month.size() || !((m >= 1 && m <= 12) || m == 14)) {
            std::cerr << "Erro: mês inválido \"" << month << "\": use 01 a 12, ou 14 para o orçamento anual.\n";
            return 2;
        }
        return runExport(ini, m, entity, out, quiet);
    }
    std::cout << app.help();
    return 0;
}
