#include "engine/logmerge.h"

#include <algorithm>

namespace tcese {

namespace {

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string fileOf(const RecordSet& rs, const RecordSet::Row& row) {
    const int col = rs.fieldIndex("ARQUIVO");
    if (col < 0 || static_cast<std::size_t>(col) >= row.values.size()) return {};
    return upper(valueToText(row.values[static_cast<std::size_t>(col)]));
}

}  // namespace

void mergeLog(RecordSet& log, const RecordSet& previous, std::span<const CatalogueStep> steps,
              const std::vector<std::string>& rewritten) {
    auto isRewritten = [&](const std::string& file) {
        return std::any_of(rewritten.begin(), rewritten.end(),
                           [&](const std::string& r) { return upper(r + ".TXT") == file; });
    };
    std::vector<RecordSet::Row> rows;
    auto take = [&](const RecordSet& from, const std::string& file) {
        for (const auto& row : from.rows()) {
            if (fileOf(from, row) != file) continue;
            RecordSet::Row copy;
            // Same definitions: the previous log was written by this program.
            for (const FieldDef& d : log.fields()) {
                const int c = from.fieldIndex(d.name);
                copy.values.push_back(c >= 0 ? row.values[static_cast<std::size_t>(c)] : Value{});
            }
            rows.push_back(std::move(copy));
        }
    };
    std::vector<std::string> known;
    for (const CatalogueStep& s : steps) {
        const std::string file = upper(std::string(s.fileName) + ".TXT");
        if (std::find(known.begin(), known.end(), file) != known.end()) continue;
        known.push_back(file);
        take(isRewritten(file) ? log : previous, file);
    }
    std::vector<std::string> others;
    for (const auto& row : previous.rows()) {
        const std::string file = fileOf(previous, row);
        if (std::find(known.begin(), known.end(), file) == known.end() &&
            std::find(others.begin(), others.end(), file) == others.end() && !isRewritten(file))
            others.push_back(file);
    }
    for (const auto& f : others) take(previous, f);
    log.assign(log.fields(), std::move(rows));
}

}  // namespace tcese
