#pragma once
// An in-memory table of typed rows: filled from a query, a datapacket XML file,
// or created empty from its own field definitions. Field names ignore case.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "data/datetime.h"
#include "data/numbers.h"

namespace tcese {

class RecordSetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // A problem with one field's value. `message` holds kFieldMark where the field
    // goes; what() puts the field's name there, a screen the column's title.
    RecordSetError(std::string field, std::string message);

    static constexpr std::string_view kFieldMark = "{campo}";
    const std::string& field() const { return field_; }  // empty when not about one field
    std::string messageFor(std::string_view fieldLabel) const;

private:
    std::string field_;
    std::string message_;
};

enum class FieldType {
    String,       // text with a maximum width
    Int16,
    Int32,
    Int64,
    Float,        // r8
    Fixed,        // exact decimal (fixed)
    FixedFMT,     // exact decimal, wide kind (fixedFMT)
    Boolean,
    Date,
    Time,
    DateTime,     // dateTime
    SQLDateTime,  // SQLdateTime (a database timestamp)
    Memo,         // text blob
    Blob,         // binary blob
};

struct FieldDef {
    std::string name;
    FieldType type = FieldType::String;
    int width = 0;     // characters of a text, or total digits of a decimal
    int decimals = 0;  // digits after the point of a decimal
    bool readonly = false;
    bool required = false;
    bool hidden = false;
    bool linkfield = false;
};

// NULL, text (also blobs), integer, float, exact decimal, boolean, date, time, date-time.
using Value = std::variant<std::monostate, std::string, std::int64_t, double, Decimal, bool, Date, TimeOfDay, DateTime>;

inline bool isNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

// Text form of a value: NULL is empty, dates "dd/mm/yyyy", date-times with the time
// unless it is midnight, numbers as plain decimal text with ".", floats with 15 digits.
std::string valueToText(const Value& v);

enum class RowState { Unchanged, Inserted, Modified };

enum LocateOption : unsigned { LocateCaseInsensitive = 1, LocatePartialKey = 2 };

class RecordSet;

// A field of the current row.
class Field {
public:
    Field(RecordSet* rs, int index) : rs_(rs), index_(index) {}
    const FieldDef& def() const;
    const std::string& name() const { return def().name; }
    int index() const { return index_; }

    const Value& value() const;
    bool isNull() const { return tcese::isNull(value()); }
    std::string asString() const { return valueToText(value()); }
    std::int64_t asInteger() const;   // NULL is 0; text must be a whole number
    Decimal asDecimal() const;        // NULL is 0; text must be a number
    double asFloat() const;
    std::optional<Date> asDate() const;
    std::optional<DateTime> asDateTime() const;

    void setValue(Value v);
    void setAsString(std::string_view text);  // converted by the field's type
    void setAsInteger(std::int64_t v) { setValue(v); }
    void setNull() { setValue(std::monostate{}); }

private:
    RecordSet* rs_;
    int index_;
};

class RecordSet {
public:
    struct Row {
        std::vector<Value> values;
        RowState state = RowState::Unchanged;
        std::shared_ptr<const std::vector<Value>> original;  // as read, for edited rows
    };

    explicit RecordSet(std::string name = {}) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }

    // Field definitions.
    void clearFields();
    void addField(FieldDef def);
    const std::vector<FieldDef>& fields() const { return fields_; }
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    int fieldIndex(std::string_view name) const;  // -1 when absent
    const FieldDef* findFieldDef(std::string_view name) const;

    // Lifecycle.
    bool active() const { return active_; }
    void createDataSet();  // open empty from the field definitions
    void emptyDataSet();   // delete every row (and the change log)
    void close();          // drop the rows, keep the definitions
    // Replace definitions and rows at once (queries, files); the cursor goes to the first row.
    // A row without exactly one value per field throws RecordSetError and nothing changes.
    void assign(std::vector<FieldDef> defs, std::vector<Row> rows);

    // Cursor.
    int recordCount() const { return static_cast<int>(rows_.size()); }
    bool eof() const { return eof_; }
    bool bof() const { return cursor_ == 0; }
    void first();
    void next();
    void last();
    void moveBy(int n);
    int recNo() const;  // 1-based; 0 when there is no current row
    void setRecNo(int n);

    // Fields of the current row (or of the row being appended or edited).
    Field field(std::string_view name);
    Field field(int index) { return Field(this, index); }
    Field fieldByName(std::string_view name) { return field(name); }
    const Value& valueAt(int row, int col) const { return rows_.at(static_cast<std::size_t>(row)).values.at(static_cast<std::size_t>(col)); }
    const std::vector<Row>& rows() const { return rows_; }

    // Editing.
    enum class Mode { Browse, Insert, Edit };
    Mode mode() const { return mode_; }
    void append();
    void edit();
    void post();
    void cancel();
    void deleteRecord();

    // Pending changes.
    int changeCount() const;
    const std::vector<std::vector<Value>>& deletedRows() const { return deleted_; }
    void mergeChangeLog();  // the current values become the read values
    void cancelUpdates();   // back to the values as read

    // Where the rows came from, so that changes can be written back (set by the
    // connection after a query; assign() forgets it).
    struct Source {
        std::string sql;
        std::string updateTable;           // first table after FROM, as the database names it
        std::vector<std::string> columns;  // per field: its column in updateTable, empty if none
    };
    const Source& source() const { return source_; }
    void setSource(Source s) { source_ = std::move(s); }

    // Search and order.
    bool locate(std::string_view fieldNames, const std::vector<std::string>& values, unsigned options = 0);
    bool locate(std::string_view fieldName, std::string_view value, unsigned options = 0) {
        return locate(fieldName, std::vector<std::string>{std::string(value)}, options);
    }
    void setIndexFieldNames(std::string_view names);  // "A;B": stable order by these fields
    const std::string& indexFieldNames() const { return indexNames_; }

private:
    friend class Field;
    const Value& currentValue(int index) const;
    Value& writableValue(int index);
    void requireActive() const;
    void requireCurrent() const;
    void applyIndex();

    std::string name_;
    std::vector<FieldDef> fields_;
    std::unordered_map<std::string, int> byName_;
    std::vector<Row> rows_;
    std::vector<std::vector<Value>> deleted_;
    std::size_t cursor_ = 0;
    bool eof_ = true;
    bool active_ = false;
    Mode mode_ = Mode::Browse;
    std::vector<Value> buffer_;
    std::string indexNames_;
    Source source_;
};

// Converts text to a value of a field type ("dd/mm/yyyy" dates, "." or "," decimals).
// Throws RecordSetError naming the field and the text when it does not convert.
Value valueFromText(const FieldDef& def, std::string_view text);

}  // namespace tcese
