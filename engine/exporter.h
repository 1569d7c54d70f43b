#pragma once
// The run's side of the main window: the run context, the export file being
// written, the file rows and the generation log. Generators call these.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/datamodule.h"
#include "engine/courttables.h"
#include "engine/observer.h"
#include "engine/ret.h"
#include "engine/runcontext.h"

namespace tcese {

// A program error met while writing a file: names the file, the line, the
// field and the value where they are known.
class GenerationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Exporter {
public:
    Exporter(DataModule& dm, RunObserver& observer, std::filesystem::path iniFile);
    ~Exporter();
    Exporter(const Exporter&) = delete;
    Exporter& operator=(const Exporter&) = delete;

    RunContext ctx;
    DataModule& dm;
    RunObserver& observer;
    const std::filesystem::path& iniFile() const { return iniFile_; }
    CourtTables courtTables;  // loaded once per run: cleared when a run starts

    // Export file writer.
    void CRIAR_ARQ(std::string_view name);
    void HEADER();
    void writeRecord(std::string_view record);  // + CR LF, flushed at once
    void TRAILER(long count);
    void Fecha_arq();
    bool fileOpen() const { return file_ != nullptr; }
    void closeExportFile();  // the cancel's close: the row stays "being filled"
    std::filesystem::path currentFilePath() const { return std::filesystem::path(ctx.outputDir) / ctx.currentFileName; }

    // File list.
    const std::vector<FileRow>& fileRows() const { return rows_; }
    void clearFileRows();

    // Progress: current file (p1) and run (p2).
    void setFileProgressMax(long max);
    void stepFileProgress();
    void setOverallProgress(int position, int max);

    // Lets pending events run; cheap enough to call after every record (only
    // every few milliseconds does it reach the observer).
    void processMessages();
    void processMessagesNow();

    // Field formatting with this run's context.
    std::string Ret(int width, std::string_view value, std::string_view flag, std::string_view kind) const {
        return tcese::Ret(ctx, width, value, flag, kind);
    }

    // Generation log.
    void Log(std::string_view file, std::string_view status, std::string_view descricao,
             std::string_view resolver, long line);
    void emptyLog();
    std::filesystem::path logFilePath() const;  // PegaCaminho("D") + "LOG" + month + year + ".XML"
    // Set: the log is saved here instead (a check run that must leave the month's log alone).
    std::filesystem::path logFileOverride;
    void saveLog();

    // The cancel of "Cancela&r": flags the run and closes the file being written.
    void cancel();

private:
    std::filesystem::path iniFile_;
    std::FILE* file_ = nullptr;
    std::vector<FileRow> rows_;
    long p1Max_ = 0;
    long p1Pos_ = 0;
    std::chrono::steady_clock::time_point lastPump_{};
    std::string recordBuffer_;
};

// Number of lines after the first line of a text file.
long QuantasLin(const std::filesystem::path& path);

// "0,018 Kb": bytes / 1024 with three decimals and a decimal comma.
std::string formatKb(std::uintmax_t bytes);

// The log's field definitions: ARQUIVO, STATUS, LINHA, DESCRICAO, RESOLVER, DATA, HORA.
std::vector<FieldDef> logFieldDefs();

}  // namespace tcese
