#include "cli/export_cmd.h"

#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "config/pegacaminho.h"
#include "config/settings.h"
#include "config/syserror.h"
#include "data/datamodule.h"
#include "data/datapacket.h"
#include "engine/logmerge.h"
#include "engine/run.h"
#include "generators/catalogue.h"

namespace tcese {

namespace {

namespace fs = std::filesystem;

volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int) { gInterrupted = 1; }

// Shows a run in the terminal: one line per file closed, messages with their caption.
class TerminalObserver : public tcese::RunObserver {
public:
    // `listFiles`: one line per file on standard output (not when it carries JSON).
    TerminalObserver(bool quiet, bool listFiles)
        : quiet_(quiet), listFiles_(listFiles), tty_(isatty(STDERR_FILENO) != 0) {}
    tcese::Exporter* exporter = nullptr;
    // Called when the run knows its month and year, before the log is emptied.
    std::function<void()> onRunStart;
    bool checkOnly = false;

    void runStateChanged(bool running) override {
        if (running && onRunStart) onRunStart();
    }

    void fileClosed(int, const tcese::FileRow& r) override {
        seconds_[r.fileName] += std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        {
            std::lock_guard lock(openMutex_);
            open_.clear();
        }
        if (tty_) std::cerr << "\r\033[K";
        if (quiet_ || !listFiles_) return;
        std::printf("%-24s %8s linhas  %-10s %14s  %s\n", r.fileName.c_str(), r.lines.c_str(), r.date.c_str(),
                    r.size.c_str(), tcese::fileStateLegend(r.stateIndex));
        std::fflush(stdout);
    }
    void fileCreated(int, const tcese::FileRow& r) override {
        started_ = std::chrono::steady_clock::now();
        current_ = r.fileName;
        {
            std::lock_guard lock(openMutex_);
            open_ = r.fileName;
        }
        if (tty_ && !quiet_) showBar();
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
        // A check run keeps no file: the run's closing message would say otherwise.
        if (checkOnly && text.rfind("Arquivos Gerados com", 0) == 0) return;
        if (tty_) std::cerr << "\r\033[K";
        std::cerr << tcese::messageCaption(kind) << ": " << text << "\n";
    }

    // Seconds from a file's creation to its close, by file name.
    double secondsOf(const std::string& fileName) const {
        const auto it = seconds_.find(fileName);
        return it == seconds_.end() ? 0.0 : it->second;
    }
    // Every file's time, slowest first.
    std::vector<std::pair<std::string, double>> slowestFirst() const {
        std::vector<std::pair<std::string, double>> out(seconds_.begin(), seconds_.end());
        std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
        return out;
    }

    // The file created and not closed: after a cancel or an error, left incomplete.
    // Read by the cancel watcher's thread too.
    std::string openFile() {
        std::lock_guard lock(openMutex_);
        return open_;
    }

private:
    // The current run's bar on the terminal: files done of the run's files, and the current one.
    void showBar() const {
        constexpr int kWidth = 30;
        const int filled = total_ > 0 ? step_ * kWidth / total_ : 0;
        std::cerr << "\r\033[K[" << std::string(static_cast<std::size_t>(filled), '#')
                  << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] " << step_ << "/" << total_
                  << "  " << current_ << std::flush;
    }

    std::mutex openMutex_;
    bool quiet_;
    bool listFiles_;
    bool tty_;
    int step_ = 0;
    int total_ = 0;
    std::string current_;
    std::string open_;
    std::chrono::steady_clock::time_point started_;
    std::map<std::string, double> seconds_;
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

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Worse statuses rank higher: cancelled, error, file not available, problems, none.
int rank(int status) {
    switch (status) {
        case 0: return 0;
        case 1: return 1;
        case 3: return 2;
        case 2: return 3;
        default: return 4;
    }
}

const char* statusText(int status) {
    switch (status) {
        case 0: return "sem problemas";
        case 1: return "problemas no log";
        case 3: return "arquivo não disponível nesta versão";
        case 130: return "cancelada";
        default: return "erro";
    }
}

std::vector<CatalogueStep> chosenSteps(std::span<const CatalogueStep> steps, const std::vector<std::string>& only) {
    std::vector<CatalogueStep> out;
    for (const CatalogueStep& s : steps) {
        if (only.empty() || std::find(only.begin(), only.end(), std::string(s.fileName)) != only.end())
            out.push_back(s);
    }
    return out;
}

// The log entries of a saved log, for the JSON output.
nlohmann::json logProblems(const fs::path& file) {
    nlohmann::json out = nlohmann::json::array();
    RecordSet rs;
    loadDatapacket(rs, file);
    for (rs.first(); !rs.eof(); rs.next()) {
        out.push_back({{"file", rs.field("ARQUIVO").asString()},
                       {"status", rs.field("STATUS").asString()},
                       {"line", rs.field("LINHA").asInteger()},
                       {"description", rs.field("DESCRICAO").asString()},
                       {"resolution", rs.field("RESOLVER").asString()}});
    }
    return out;
}

// A folder of its own under the system's temporary folder, removed with everything in it.
struct TempFolder {
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "tcese-validate-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("não foi possível criar uma pasta temporária");
        path = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    fs::path path;
};

std::string csvField(const std::string& s) {
    if (s.find_first_of(";\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// The entries of a saved log: "ARQUIVO:LINHA: STATUS: DESCRICAO" and the resolution
// under it, or csv with ";" (as spreadsheets in Portuguese read it) and a header line once.
void printProblems(const fs::path& file, bool csv, bool& header) {
    RecordSet rs;
    loadDatapacket(rs, file);
    if (csv && header) {
        std::cout << "arquivo;linha;status;descricao;resolver\n";
        header = false;
    }
    for (rs.first(); !rs.eof(); rs.next()) {
        const std::string arq = rs.field("ARQUIVO").asString();
        const std::string line = rs.field("LINHA").asString();
        const std::string st = rs.field("STATUS").asString();
        const std::string desc = rs.field("DESCRICAO").asString();
        const std::string res = rs.field("RESOLVER").asString();
        if (csv) {
            std::cout << csvField(arq) << ";" << line << ";" << csvField(st) << ";" << csvField(desc) << ";"
                      << csvField(res) << "\n";
        } else {
            std::cout << arq << ":" << line << ": " << st << ": " << desc << "\n";
            if (!res.empty()) std::cout << "    Resolver: " << res << "\n";
        }
    }
}

}  // namespace

std::vector<int> parseMonths(const std::string& text) {
    auto number = [](const std::string& t) -> std::optional<int> {
        if (t.empty() || t.size() > 2 || t.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
        const int m = std::stoi(t);
        if ((m >= 1 && m <= 12) || m == 14) return m;
        return std::nullopt;
    };
    std::vector<int> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::size_t dash = part.find('-');
        if (dash == std::string::npos) {
            const auto m = number(part);
            if (!m) return {};
            out.push_back(*m);
        } else {
            const auto from = number(part.substr(0, dash));
            const auto to = number(part.substr(dash + 1));
            // A range runs over months; the annual budget (14) is asked by itself.
            if (!from || !to || *from > *to || *from == 14 || *to == 14) return {};
            for (int m = *from; m <= *to; ++m) out.push_back(m);
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (std::find(out.begin(), out.begin() + static_cast<long>(i), out[i]) != out.begin() + static_cast<long>(i))
            return {};  // a month asked twice would overwrite its own folder
    }
    return out;
}

std::vector<std::string> parseOnly(const std::string& text, const std::vector<int>& months, std::string& error) {
    const bool annual = std::find(months.begin(), months.end(), 14) != months.end();
    const bool monthly = std::any_of(months.begin(), months.end(), [](int m) { return m != 14; });
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        std::string name = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        std::string found;
        auto look = [&](std::span<const CatalogueStep> steps) {
            for (const CatalogueStep& s : steps) {
                if (lower(std::string(s.fileName)) == lower(name)) found = s.fileName;
            }
        };
        if (annual) look(annualCatalogue());
        if (monthly) look(monthlyCatalogue());
        if (found.empty()) {
            error = "arquivo desconhecido em --only: \"" + name + "\" (use os nomes da lista de arquivos, sem \".txt\")";
            return {};
        }
        if (std::find(out.begin(), out.end(), found) == out.end()) out.push_back(found);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

int runExportCommand(const ExportOptions& opt) {
    fs::path ini;
    try {
        const char* env = std::getenv("TCESE_INI");
        ini = locateSettings(opt.ini.empty() && env ? fs::path(env) : fs::path(opt.ini),
                             "Indique o arquivo com --ini ARQUIVO ou com a variável TCESE_INI, "
                             "ou copie-o para um desses lugares.");
    } catch (const SettingsError& e) {
        std::cerr << "Erro: " << e.what() << "\n";
        return 2;
    }
    DataModule dm;
    try {
        dm.Conexao.setDatabase(ConexaoBeforeConnect(Settings::load(ini)));
        dm.Conexao.connect();
    } catch (const std::exception& e) {
        std::cerr << "Erro: Erro ao Conectar com a Base de Dados!\nO Módulo será Finalizado!!\n" << e.what() << "\n";
        return 2;
    }

    std::vector<std::string> entities;
    try {
        entities = entityEntries(dm);
    } catch (const std::exception& e) {
        std::cerr << "Erro: " << e.what() << "\n";
        return 2;
    }
    std::vector<std::string> chosen;
    if (opt.allEntities) {
        chosen = entities;
        if (chosen.empty()) {
            std::cerr << "Erro: a tabela TABEMPRESA não tem entidades.\n";
            return 2;
        }
    } else if (!opt.entities.empty()) {
        for (const int n : opt.entities) {
            const std::string code = twoDigits(n);
            const auto it = std::find_if(entities.begin(), entities.end(),
                                         [&](const std::string& e) { return e.rfind(code + " ", 0) == 0; });
            if (it == entities.end()) {
                std::cerr << "Erro: entidade " << code << " não existe na tabela TABEMPRESA.\n";
                return 2;
            }
            if (std::find(chosen.begin(), chosen.end(), *it) == chosen.end()) chosen.push_back(*it);
        }
    } else {
        chosen.push_back(entities.empty() ? std::string() : entities.front());
    }

    // The folder may hold the user's supporting documents: used as it is, never cleared.
    std::string folder = fs::absolute(fs::path(opt.out.empty() ? "." : opt.out)).lexically_normal().string();
    if (folder.back() != '/') folder += '/';
    std::error_code ec;
    if (opt.validate) {
        if (!fs::is_directory(folder, ec)) {
            std::cerr << "Erro: a pasta " << folder << " não existe. Indique em --out a pasta dos documentos.\n";
            return 2;
        }
    } else {
        fs::create_directories(folder, ec);
    }
    if (ec || !fs::is_directory(folder)) {
        const std::string reason = ec ? systemReason(ec) : "já existe um arquivo com esse nome";
        std::cerr << "Erro: não é possível criar a pasta " << folder << ": " << reason
                  << ". Indique em --out uma pasta que possa ser criada e gravada.\n";
        return 2;
    }

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const std::size_t total = chosen.size() * opt.months.size();
    const bool batch = total > 1;
    std::ostream& say = opt.json || opt.validate ? std::cerr : std::cout;
    nlohmann::json runs = nlohmann::json::array();
    struct Summary {
        std::string name;
        int status;
    };
    std::vector<Summary> summary;
    int worst = 0;
    std::size_t index = 0;
    bool csvHeader = true;

    for (const std::string& entityText : chosen) {
        for (const int month : opt.months) {
            if (gInterrupted) break;
            ++index;
            const std::string ee = entityText.substr(0, 2);
            const std::string runFolder =
                batch && !opt.validate ? folder + ee + "-" + twoDigits(month) + "/" : folder;
            // A check run writes into a folder of its own, removed at the end, and saves
            // its log there; documents are looked for in the folder given.
            std::optional<TempFolder> scratch;
            if (opt.validate) {
                try {
                    scratch.emplace();
                } catch (const std::exception& e) {
                    std::cerr << "Erro: " << e.what() << "\n";
                    return 2;
                }
            }
            const RunRequest req{monthEntry(month), entityText, scratch ? scratch->path.string() + "/" : runFolder};
            if (!opt.quiet) {
                if (batch) say << "\n== Geração " << index << " de " << total << " ==\n";
                say << "Entidade: " << entityText << "\nMês: " << req.monthText << "\n"
                    << (opt.validate ? "Documentos em: " : "Pasta: ") << runFolder << "\n";
            }

            TerminalObserver obs(opt.quiet, !opt.json && !opt.validate);
            Exporter ex(dm, obs, ini);
            obs.exporter = &ex;
            obs.checkOnly = opt.validate;
            if (scratch) {
                ex.ctx.documentsFolder = runFolder;
                ex.logFileOverride = scratch->path / "log.xml";
            }
            // A partial run keeps the month's other entries: the saved log is read first.
            // In a batch the year folder's log may be another entity's: the copy
            // beside the run's files is the one that describes them.
            std::optional<RecordSet> previous;
            std::string previousError;
            if (!opt.only.empty()) {
                obs.onRunStart = [&] {
                    const fs::path log =
                        batch ? fs::path(runFolder) / ex.logFilePath().filename() : ex.logFilePath();
                    std::error_code e;
                    if (!fs::exists(log, e)) return;
                    try {
                        previous.emplace();
                        loadDatapacket(*previous, log);
                    } catch (const std::exception& err) {
                        previous.reset();
                        previousError = err.what();
                    }
                };
            }
            const auto annual = chosenSteps(annualCatalogue(), opt.only);
            const auto monthly = chosenSteps(monthlyCatalogue(), opt.only);
            CancelWatcher watcher(dm.Conexao, obs, req.folder + (month == 14 ? "Anual/" : "Mensal/"));
            const RunResult r = gerarClick(ex, req, annual, monthly);
            watcher.stop();

            int status = 2;
            std::string error = r.error;
            auto sayIncomplete = [&] {
                if (const std::string open = obs.openFile(); !open.empty())
                    std::cerr << "Arquivo incompleto (não use): " << ex.ctx.outputDir << open << "\n";
            };
            switch (r.outcome) {
                case RunOutcome::Completed:
                    if (!opt.quiet && !opt.validate) say << "Arquivos em: " << ex.ctx.outputDir << "\n";
                    if (!error.empty()) {
                        // The files are written but the run's log is not: an error.
                        std::cerr << "Erro: o log desta geração não foi salvo.\n";
                        break;
                    }
                    status = !r.unavailable.empty() ? 3 : (r.hadErrors ? 1 : 0);
                    if (!previousError.empty()) {
                        std::cerr << "Erro: o log anterior do mês não pôde ser lido; o log salvo descreve só os "
                                     "arquivos regravados.\n"
                                  << previousError << "\n";
                        status = 2;
                    } else if (previous) {
                        try {
                            RecordSet fresh;
                            loadDatapacket(fresh, r.logFile);
                            mergeLog(fresh, *previous, month == 14 ? annualCatalogue() : monthlyCatalogue(),
                                     opt.only);
                            saveDatapacket(fresh, r.logFile);
                            if (!fresh.rows().empty() && status == 0) status = 1;
                        } catch (const std::exception& e) {
                            std::cerr << "Erro: o log desta geração não foi salvo.\n" << e.what() << "\n";
                            status = 2;
                            break;
                        }
                    }
                    if (opt.validate) break;
                    if (!opt.quiet) say << "Log: " << r.logFile.string() << "\n";
                    if (batch) {
                        const fs::path copy = fs::path(runFolder) / r.logFile.filename();
                        std::error_code e;
                        fs::copy_file(r.logFile, copy, fs::copy_options::overwrite_existing, e);
                        if (e) {
                            std::cerr << "Erro: não foi possível copiar o log para " << copy.string() << ": "
                                      << systemReason(e) << "\n";
                            status = 2;
                        }
                    }
                    break;
                case RunOutcome::Cancelled:
                    sayIncomplete();
                    if (obs.openFile().empty()) std::cerr << "Nenhum arquivo ficou incompleto; o log não foi salvo.\n";
                    status = 130;
                    break;
                default:
                    sayIncomplete();
                    status = 2;
                    break;
            }
            if (opt.timings && !opt.json) {
                double total = 0;
                for (const auto& [name, s] : obs.slowestFirst()) total += s;
                say << "Tempo por arquivo (" << std::fixed << std::setprecision(2) << total << " s no total):\n";
                for (const auto& [name, s] : obs.slowestFirst()) {
                    say << "  " << std::left << std::setw(24) << name << std::right << std::setw(9) << s << " s"
                        << std::setw(7) << std::setprecision(1) << (total > 0 ? 100.0 * s / total : 0.0) << " %\n"
                        << std::setprecision(2);
                }
                say << std::defaultfloat;
            }
            if (rank(status) > rank(worst)) worst = status;
            summary.push_back({ee + "-" + twoDigits(month) + "  " + entityText, status});

            if (opt.validate && opt.format != "json") {
                // The log's entries, in its order.
                if (r.outcome == RunOutcome::Completed && error.empty()) {
                    try {
                        printProblems(r.logFile, opt.format == "csv", csvHeader);
                    } catch (const std::exception& e) {
                        std::cerr << "Erro: " << e.what() << "\n";
                        status = 2;
                        if (rank(status) > rank(worst)) worst = status;
                    }
                }
            } else if (opt.json) {
                nlohmann::json files = nlohmann::json::array();
                for (const FileRow& row : ex.fileRows()) {
                    std::error_code e;
                    const auto bytes = fs::file_size(fs::path(ex.ctx.outputDir) / row.fileName, e);
                    files.push_back({{"name", row.fileName},
                                     {"lines", row.lines.empty() ? 0 : std::stol(row.lines)},
                                     {"bytes", e ? 0 : bytes},
                                     {"state", fileStateLegend(row.stateIndex)},
                                     {"seconds", std::round(obs.secondsOf(row.fileName) * 1000.0) / 1000.0}});
                }
                nlohmann::json problems = nlohmann::json::array();
                if (r.outcome == RunOutcome::Completed && error.empty()) {
                    try {
                        problems = logProblems(r.logFile);
                    } catch (const std::exception&) {
                    }
                }
                nlohmann::json one{{"entity", entityText}, {"month", twoDigits(month)}};
                if (!opt.validate) {
                    one["folder"] = ex.ctx.outputDir;
                    one["log"] = r.outcome == RunOutcome::Completed ? r.logFile.string() : std::string();
                }
                one["files"] = files;
                one["problems"] = problems;
                one["error"] = error;
                one["status"] = status;
                runs.push_back(std::move(one));
            }
        }
    }

    if (opt.json) {
        nlohmann::json doc{{"runs", runs}, {"status", worst}};
        std::cout << doc.dump(2) << "\n";
    } else if (batch && !opt.quiet && !opt.validate) {
        std::cout << "\nResumo:\n";
        for (const Summary& s : summary)
            std::cout << "  " << s.name << "  " << s.status << " (" << statusText(s.status) << ")\n";
    }
    if (gInterrupted) return 130;
    return worst;
}

}  // namespace tcese
