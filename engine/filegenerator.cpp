#include "engine/filegenerator.h"

#include <stdexcept>

namespace tcese {

int Layout::recordLength() const {
    int n = 1;
    for (const auto& f : fields) n += f.kind == "D" ? 8 : f.width;  // a literal's width is its length
    return n;
}

void throwFieldError(const Exporter& ex, long line, std::string_view field, std::string_view value,
                     const std::exception& cause) {
    throw GenerationError("Erro ao gerar o arquivo " + ex.ctx.currentFileName + ", linha " + std::to_string(line) +
                          ", campo " + std::string(field) + " (valor \"" + std::string(value) + "\"): " + cause.what());
}

Record::Record(Exporter& ex, const Layout& layout, long line) : ex_(ex), layout_(layout), line_(line) {
    text_.reserve(static_cast<std::size_t>(layout.recordLength()) + 8);
    text_ = "2";
}

Record& Record::add(std::string_view field, std::string_view value) {
    if (next_ >= layout_.fields.size() || layout_.fields[next_].name != field) {
        throw std::logic_error("campo " + std::string(field) + " fora da ordem do leiaute de " +
                               ex_.ctx.currentFileName);
    }
    const FieldSpec& f = layout_.fields[next_++];
    if (f.kind.empty()) {  // a literal written as it is
        text_ += value;
        return *this;
    }
    try {
        text_ += ex_.Ret(f.width, value, "S", f.kind);
    } catch (const std::exception& e) {
        throwFieldError(ex_, line_, f.name, value, e);
    }
    return *this;
}

const std::string& Record::text() const {
    if (next_ != layout_.fields.size()) {
        throw std::logic_error("registro incompleto em " + ex_.ctx.currentFileName + ": falta o campo " +
                               std::string(layout_.fields[next_].name));
    }
    return text_;
}

namespace {

void runQuery(Exporter& ex, const FileGenerator& g) {
    const std::string sql = g.query(ex.ctx);
    try {
        ex.dm.Conexao.open(ex.dm.CdsGeral, sql);
    } catch (const std::exception& e) {
        throw GenerationError("Erro ao gerar o arquivo " + std::string(g.fileName) + ".txt: " + e.what());
    }
}

}  // namespace

void runFileGenerator(Exporter& ex, const FileGenerator& g) {
    RunContext& ctx = ex.ctx;
    ctx.fileHasErrors = false;
    ctx.recordCount = 0;
    ex.setFileProgressMax(0);

    if (g.order == FileGenerator::Order::QueryFirst) runQuery(ex, g);
    ex.CRIAR_ARQ(g.fileName);
    ex.HEADER();
    if (g.order == FileGenerator::Order::FileFirst) runQuery(ex, g);
    if (ctx.cancelRequested) return;

    RecordSet& rs = ex.dm.CdsGeral;
    if (g.recordCount) {
        ctx.recordCount = g.recordCount(ex);
    } else {
        ctx.recordCount = rs.recordCount();
    }
    ex.setFileProgressMax(ctx.recordCount);

    auto writeOne = [&]() -> bool {
        // The record's line in the file; a record set without rows has no position (line 0).
        Record rec(ex, g.layout, rs.recordCount() == 0 ? 0 : rs.recNo() + 1);
        g.values(ex, rs, rec);
        if (ctx.cancelRequested) return false;
        ex.writeRecord(rec.text());
        if (!g.singleRecord) ex.stepFileProgress();
        return true;
    };

    if (g.singleRecord) {
        if (!writeOne()) return;
    } else {
        while (!rs.eof()) {
            if (!writeOne()) return;
            rs.next();
            ex.processMessages();
        }
    }
    ex.TRAILER(ctx.recordCount);
    ex.Fecha_arq();
}

void writeEmptyFile(Exporter& ex, std::string_view fileName, bool fullBar) {
    RunContext& ctx = ex.ctx;
    ctx.fileHasErrors = false;
    ctx.recordCount = 0;
    ex.setFileProgressMax(0);
    if (fullBar) {
        ex.setFileProgressMax(1);
        ex.stepFileProgress();
    }
    ex.CRIAR_ARQ(fileName);
    ex.HEADER();
    ex.TRAILER(ctx.recordCount);
    ex.Fecha_arq();
}

}  // namespace tcese
