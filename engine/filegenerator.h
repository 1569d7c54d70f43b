#pragma once
// The shape every export file follows: create the file, write the header, run the
// query, one detail record per row, the trailer, close. A generator gives only its
// file name, query, layout, values and checks.
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "engine/exporter.h"

namespace tcese {

// One field of a detail record: name, width and kind as `Ret` takes them; an
// empty kind writes the value as it is.
struct FieldSpec {
    std::string_view name;
    int width;
    std::string_view kind;
};

// A detail record's fields in order. The record is "2" followed by the fields.
struct Layout {
    std::span<const FieldSpec> fields;
    // Characters of a detail record whose amounts fit their widths ("D" is 8).
    int recordLength() const;
};

// Builds one detail record field by field. A value that a field kind cannot take
// throws GenerationError naming file, line, field and value.
class Record {
public:
    Record(Exporter& ex, const Layout& layout, long line);
    // Fields are added in layout order; the name is checked against it.
    Record& add(std::string_view field, std::string_view value);
    long line() const { return line_; }
    const std::string& text() const;  // checks every field was given

private:
    Exporter& ex_;
    const Layout& layout_;
    long line_;
    std::size_t next_ = 0;
    std::string text_;
};

struct FileGenerator {
    enum class Order {
        FileFirst,   // file and header exist before the query runs
        QueryFirst,  // the query runs before the file is created
    };
    std::string_view fileName;  // without ".txt"
    const Layout& layout;
    // SQL text with the run's values inserted.
    std::function<std::string(const RunContext&)> query;
    // Values and checks of the current row of CdsGeral, in layout order.
    std::function<void(Exporter&, RecordSet&, Record&)> values;
    Order order = Order::FileFirst;
    // One record from the first row, written even when the query has none; the
    // current-file bar does not step.
    bool singleRecord = false;
    // Trailer count other than the query's record count.
    std::function<long(Exporter&)> recordCount = nullptr;
};

void runFileGenerator(Exporter& ex, const FileGenerator& g);

// A file with its header and a trailer of 0 records; `fullBar` fills the
// current-file bar first.
void writeEmptyFile(Exporter& ex, std::string_view fileName, bool fullBar = false);

// Ret's error for `field` as the run shows it.
[[noreturn]] void throwFieldError(const Exporter& ex, long line, std::string_view field, std::string_view value,
                                  const std::exception& cause);

}  // namespace tcese
