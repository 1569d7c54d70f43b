#include "engine/exporter.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "config/encoding.h"
#include "config/pegacaminho.h"
#include "data/datapacket.h"

namespace tcese {

namespace fs = std::filesystem;

namespace {

// The window gets its pending events at most this often during a run; a cancel
// is still seen before the next record is written.
constexpr auto kPumpInterval = std::chrono::milliseconds(25);

std::string ioError(std::string_view what, const fs::path& p) {
    return std::string(what) + " " + p.string() + ": " + std::strerror(errno);
}

}  // namespace

Exporter::Exporter(DataModule& dm_, RunObserver& obs, fs::path iniFile)
    : dm(dm_), observer(obs), iniFile_(std::move(iniFile)) {}

Exporter::~Exporter() {
    if (file_) std::fclose(file_);
}

void Exporter::clearFileRows() {
    rows_.clear();
    observer.fileListCleared();
}

void Exporter::CRIAR_ARQ(std::string_view name) {
    if (ctx.cancelRequested) return;
    ctx.fileHasErrors = false;
    ctx.currentFileName = std::string(name) + ".txt";
    const fs::path path = currentFilePath();
    std::error_code ec;
    fs::remove(path, ec);  // a failure shows when the file is created below

    rows_.push_back(FileRow{ctx.currentFileName, {}, {}, {}, kStateFilling});
    ctx.fileRow = static_cast<int>(rows_.size()) - 1;
    observer.fileCreated(ctx.fileRow, rows_.back());
    processMessagesNow();

    if (file_) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) throw GenerationError(ioError("Não foi possível criar o arquivo", path));
    // A cancel pressed while the row was shown leaves the new file empty and closed.
    if (ctx.cancelRequested) closeExportFile();
}

void Exporter::writeRecord(std::string_view record) {
    if (ctx.cancelRequested || !file_) return;
    recordBuffer_.clear();
    try {
        recordBuffer_ = utf8ToCp1252(record);
    } catch (const std::exception& e) {
        throw GenerationError("Arquivo " + ctx.currentFileName + ": " + e.what());
    }
    recordBuffer_ += "\r\n";
    if (std::fwrite(recordBuffer_.data(), 1, recordBuffer_.size(), file_) != recordBuffer_.size() ||
        std::fflush(file_) != 0) {
        throw GenerationError(ioError("Não foi possível gravar o arquivo", currentFilePath()));
    }
}

void Exporter::HEADER() { writeRecord("1" + ctx.fiscalYear + ctx.monthCode); }

void Exporter::TRAILER(long count) { writeRecord("3" + Ret(6, std::to_string(count), "S", "I")); }

void Exporter::Fecha_arq() {
    if (ctx.cancelRequested) return;
    if (file_) {
        const int rc = std::fclose(file_);
        file_ = nullptr;
        if (rc != 0) throw GenerationError(ioError("Não foi possível fechar o arquivo", currentFilePath()));
    }
    if (ctx.fileRow < 0 || ctx.fileRow >= static_cast<int>(rows_.size())) return;
    FileRow& row = rows_[static_cast<std::size_t>(ctx.fileRow)];
    const fs::path path = currentFilePath();
    row.lines = std::to_string(QuantasLin(path) + 1);
    row.date = dateToText(today());
    std::error_code ec;
    const auto bytes = fs::file_size(path, ec);
    row.size = ec ? std::string("1,000 Kb") : formatKb(bytes);
    row.stateIndex = ctx.fileHasErrors ? kStateWithErrors : kStateSuccess;
    if (ctx.recordCount == 0) row.stateIndex = kStateNoRecords;
    observer.fileClosed(ctx.fileRow, row);
}

void Exporter::closeExportFile() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void Exporter::cancel() {
    if (ctx.cancelRequested) return;
    ctx.cancelRequested = true;
    ctx.fileHasErrors = true;
    closeExportFile();
}

void Exporter::setFileProgressMax(long max) {
    p1Max_ = max;
    p1Pos_ = 0;
    observer.fileProgress(p1Pos_, p1Max_);
}

void Exporter::stepFileProgress() {
    ++p1Pos_;
    observer.fileProgress(p1Pos_, p1Max_);
}

void Exporter::setOverallProgress(int position, int max) { observer.overallProgress(position, max); }

void Exporter::processMessages() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump_ < kPumpInterval) return;
    lastPump_ = now;
    observer.processEvents();
}

void Exporter::processMessagesNow() {
    lastPump_ = std::chrono::steady_clock::now();
    observer.processEvents();
}

std::vector<FieldDef> logFieldDefs() {
    return {
        {"ARQUIVO", FieldType::String, 50},   {"STATUS", FieldType::String, 100},
        {"LINHA", FieldType::Int32, 0},        {"DESCRICAO", FieldType::String, 5000},
        {"RESOLVER", FieldType::String, 5000}, {"DATA", FieldType::Date, 0},
        {"HORA", FieldType::Time, 0},
    };
}

void Exporter::Log(std::string_view file, std::string_view status, std::string_view descricao,
                   std::string_view resolver, long line) {
    ctx.fileHasErrors = true;
    ctx.runHasErrors = true;
    processMessages();
    RecordSet& log = dm.CdsLog;
    if (!log.active()) emptyLog();
    log.append();
    log.field(0).setValue(std::string(utf8Prefix(file, 50)));
    log.field(1).setValue(std::string(utf8Prefix(status, 100)));
    log.field(2).setValue(static_cast<std::int64_t>(line));
    log.field(3).setValue(std::string(utf8Prefix(descricao, 5000)));
    log.field(4).setValue(std::string(utf8Prefix(resolver, 5000)));
    const DateTime stamp = now();
    log.field(5).setValue(stamp.date);
    log.field(6).setValue(stamp.time);
    log.post();
    processMessages();
}

void Exporter::emptyLog() {
    RecordSet& log = dm.CdsLog;
    log.close();
    log.clearFields();
    for (auto& d : logFieldDefs()) log.addField(std::move(d));
    log.createDataSet();
    log.emptyDataSet();
}

fs::path Exporter::logFilePath() const {
    if (!logFileOverride.empty()) return logFileOverride;
    return fs::path(PegaCaminho("D", iniFile_) + "LOG" + ctx.monthCode + ctx.fiscalYear + ".XML");
}

void Exporter::saveLog() {
    // Written beside the old log and renamed into place: a failed save keeps the old one.
    saveDatapacket(dm.CdsLog, logFilePath());
    dm.CdsLog.close();
}

long QuantasLin(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw GenerationError(ioError("Não foi possível ler o arquivo", path));
    long lines = 0;
    bool firstDone = false;
    bool pending = false;  // characters after the last line feed
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        const std::streamsize n = in.gcount();
        for (std::streamsize i = 0; i < n; ++i) {
            if (buf[i] == '\n') {
                if (firstDone) ++lines;
                firstDone = true;
                pending = false;
            } else if (firstDone) {
                pending = true;
            }
        }
    }
    if (in.bad()) throw GenerationError(ioError("Não foi possível ler o arquivo", path));
    return lines + (pending ? 1 : 0);
}

std::string formatKb(std::uintmax_t bytes) {
    const std::uintmax_t thousandths = (bytes * 1000 + 512) / 1024;
    std::string frac = std::to_string(thousandths % 1000);
    return std::to_string(thousandths / 1000) + "," + std::string(3 - frac.size(), '0') + frac + " Kb";
}

}  // namespace tcese
