#include "engine/run.h"

#include "config/encoding.h"
#include "config/syserror.h"
#include "engine/filegenerator.h"

namespace tcese {

namespace fs = std::filesystem;

namespace {

std::string firstTwo(const std::string& s) { return std::string(utf8Prefix(s, 2)); }

bool blank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

std::string withSlash(std::string s) {
    if (!s.empty() && s.back() != '/') s += '/';
    return s;
}

// Every statement of a run reads one snapshot, started when the run starts: all files
// of a delivery describe the same moment, whatever is posted meanwhile. A caller that
// holds its own transaction keeps it.
class RunSnapshot {
public:
    explicit RunSnapshot(Connection& db) : db_(db) {}
    ~RunSnapshot() {
        if (!started_) return;
        try {
            db_.rollback();  // read only: nothing to keep
        } catch (...) {
        }
    }
    void start() {
        if (db_.inTransaction()) return;
        db_.startSnapshot();
        started_ = true;
    }

private:
    Connection& db_;
    bool started_ = false;
};

}  // namespace

RunResult gerarClick(Exporter& ex, const RunRequest& req, std::span<const CatalogueStep> annual,
                     std::span<const CatalogueStep> monthly) {
    RunContext& ctx = ex.ctx;
    RunResult result;

    ctx.cancelRequested = false;
    ctx.outputDir = req.folder;
    ex.clearFileRows();

    if (blank(req.monthText)) {
        ex.observer.message(MessageKind::Warning, "Selecione o Mês de Referência!");
        result.outcome = RunOutcome::NoMonth;
        return result;
    }
    if (blank(req.folder)) {
        ex.observer.message(MessageKind::Warning, "Selecione o Local onde os Arquivos serão Gerados!");
        result.outcome = RunOutcome::NoFolder;
        return result;
    }

    ex.setFileProgressMax(0);
    ex.setOverallProgress(0, 100);
    ex.dm.lastApplyErrors = 0;
    ctx.runHasErrors = false;
    ctx.recordCount = 0;
    ctx.monthCode = firstTwo(req.monthText);

    RunSnapshot snapshot(ex.dm.Conexao);
    try {
        snapshot.start();
        ex.dm.Conexao.open(ex.dm.CdsAux, "select * from cadcli");
        ctx.fiscalYear = ex.dm.CdsAux.eof() ? std::string() : ex.dm.CdsAux.field("mexer").asString();
    } catch (const std::exception& e) {
        result.error = e.what();
        ex.observer.message(MessageKind::Error, result.error);
        return result;
    }
    ctx.entityCode = firstTwo(req.entityText);

    ex.observer.runStateChanged(true);
    ex.emptyLog();
    ex.courtTables.clear();

    const bool isAnnual = ctx.monthCode == "14";
    const auto steps = isAnnual ? annual : monthly;
    try {
        if (isAnnual) {
            ctx.periodFolder = "Anual/";
        } else {
            ctx.monthEnd = PegaDia(ctx, ctx.monthCode);
            ctx.periodFolder = "Mensal/";
        }
        ctx.outputDir = withSlash(req.folder) + ctx.periodFolder;
        std::error_code ec;
        fs::create_directories(ctx.outputDir, ec);
        if (ec || !fs::is_directory(ctx.outputDir))
            throw GenerationError("Não é possível criar a pasta " + ctx.outputDir + ": " +
                                  (ec ? systemReason(ec) : std::string("já existe um arquivo com esse nome")) +
                                  ". Escolha outra pasta ou libere a gravação nela.");
        const int total = static_cast<int>(steps.size());
        ex.setOverallProgress(0, total);

        int done = 0;
        for (const CatalogueStep& step : steps) {
            if (ctx.cancelRequested) {
                result.outcome = RunOutcome::Cancelled;
                result.hadErrors = ctx.runHasErrors;
                return result;
            }
            if (step.run) {
                step.run(ex, step.fileName);
            } else {
                result.unavailable.push_back(std::string(step.fileName) + ".txt");
            }
            ex.setOverallProgress(++done, total);
            ex.processMessagesNow();
        }
    } catch (const std::exception& e) {
        const auto* db = dynamic_cast<const DatabaseError*>(&e);
        if (ctx.cancelRequested || (db && db->cancelled())) {
            // A statement stopped by a cancel ends the run as "Cancela&r" does.
            if (!ctx.cancelRequested) {
                ex.cancel();
                ex.observer.message(MessageKind::Warning, "Operação Cancelada!");
            }
            result.outcome = RunOutcome::Cancelled;
            result.hadErrors = ctx.runHasErrors;
            return result;
        }
        // Stopped where it was: completed files stay, the current one stays incomplete.
        result.outcome = RunOutcome::Failed;
        result.hadErrors = ctx.runHasErrors;
        result.error = e.what();
        ex.observer.message(MessageKind::Error, result.error);
        return result;
    }

    result.outcome = RunOutcome::Completed;
    result.hadErrors = ctx.runHasErrors;
    if (ctx.runHasErrors) {
        ex.observer.message(MessageKind::Error, "Arquivos Gerados com Erro!");
    } else {
        ex.observer.message(MessageKind::Info, "Arquivos Gerados com Sucesso!");
    }
    if (!result.unavailable.empty()) {
        std::string list;
        for (const auto& f : result.unavailable) list += (list.empty() ? "" : ", ") + f;
        ex.observer.message(MessageKind::Error,
                            "Arquivos ainda não disponíveis nesta versão (não gerados): " + list);
    }
    ex.observer.runStateChanged(false);

    try {
        result.logFile = ex.logFilePath();
        ex.saveLog();
    } catch (const std::exception& e) {
        result.error = e.what();
        ex.observer.message(MessageKind::Error, result.error);
    }
    return result;
}

}  // namespace tcese

namespace tcese {

std::vector<std::string> entityEntries(DataModule& dm) {
    dm.Conexao.open(dm.CdsAux, "SELECT * FROM TABEMPRESA ORDER BY EMPRESA ASCENDING");
    std::vector<std::string> out;
    RecordSet& rs = dm.CdsAux;
    for (rs.first(); !rs.eof(); rs.next()) {
        std::string code = rs.field("EMPRESA").asString();
        const auto digits = code.find_first_not_of("0123456789");
        if (!code.empty() && digits == std::string::npos) {
            const long n = std::stol(code);
            code = (n < 10 ? "0" : "") + std::to_string(n);
        }
        out.push_back(code + " - " + upperText(rs.field("NOME").asString()));
    }
    return out;
}

}  // namespace tcese
