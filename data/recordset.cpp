#include "data/recordset.h"

#include <algorithm>
#include <charconv>

#include "config/encoding.h"

namespace tcese {

RecordSetError::RecordSetError(std::string field, std::string message)
    : std::runtime_error([&] {
          std::string m = message;
          if (auto at = m.find(kFieldMark); at != std::string::npos) m.replace(at, kFieldMark.size(), field);
          return m;
      }()),
      field_(std::move(field)),
      message_(std::move(message)) {}

std::string RecordSetError::messageFor(std::string_view fieldLabel) const {
    if (field_.empty()) return what();
    std::string m = message_;
    if (auto at = m.find(kFieldMark); at != std::string::npos) m.replace(at, kFieldMark.size(), fieldLabel);
    return m;
}

std::string valueToText(const Value& v) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(const std::string& s) const { return s; }
        std::string operator()(std::int64_t i) const { return std::to_string(i); }
        std::string operator()(double d) const { return floatToText15(d); }
        std::string operator()(Decimal d) const { return d.toString(); }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(const Date& d) const { return dateToText(d); }
        std::string operator()(TimeOfDay t) const { return timeToText(t); }
        std::string operator()(const DateTime& dt) const { return dateTimeToText(dt); }
    };
    return std::visit(Visitor{}, v);
}

namespace {

std::string trimBlanks(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
    return std::string(s.substr(a, b - a));
}

std::optional<TimeOfDay> parseTimeText(std::string_view s) {
    int parts[3] = {0, 0, 0};
    int idx = 0, digits = 0;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            parts[idx] = parts[idx] * 10 + (c - '0');
            if (++digits > 2) return std::nullopt;
        } else if (c == ':' && idx < 2 && digits > 0) {
            ++idx;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (idx < 1 || digits == 0 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return TimeOfDay::of(parts[0], parts[1], parts[2]);
}

// `what` is the whole phrase, so that its gender agrees ("uma data válida").
[[noreturn]] void conversionError(const FieldDef& def, std::string_view text, const char* what) {
    throw RecordSetError(def.name, "'" + std::string(text) + "' não é " + what + " para o campo " +
                                       std::string(RecordSetError::kFieldMark));
}

int compareValues(const Value& a, const Value& b) {
    if (isNull(a) || isNull(b)) return isNull(a) == isNull(b) ? 0 : (isNull(a) ? -1 : 1);
    if (a.index() == b.index()) {
        if (auto* s = std::get_if<std::string>(&a)) return s->compare(std::get<std::string>(b)) < 0 ? -1 : (*s == std::get<std::string>(b) ? 0 : 1);
        if (auto* i = std::get_if<std::int64_t>(&a)) return *i < std::get<std::int64_t>(b) ? -1 : (*i == std::get<std::int64_t>(b) ? 0 : 1);
        if (auto* d = std::get_if<double>(&a)) return *d < std::get<double>(b) ? -1 : (*d == std::get<double>(b) ? 0 : 1);
        if (auto* x = std::get_if<Decimal>(&a)) return *x < std::get<Decimal>(b) ? -1 : (*x == std::get<Decimal>(b) ? 0 : 1);
        if (auto* f = std::get_if<bool>(&a)) return *f == std::get<bool>(b) ? 0 : (*f ? 1 : -1);
        if (auto* dt = std::get_if<Date>(&a)) return *dt < std::get<Date>(b) ? -1 : (*dt == std::get<Date>(b) ? 0 : 1);
        if (auto* t = std::get_if<TimeOfDay>(&a)) return t->ms < std::get<TimeOfDay>(b).ms ? -1 : (t->ms == std::get<TimeOfDay>(b).ms ? 0 : 1);
        if (auto* x = std::get_if<DateTime>(&a)) {
            const auto& y = std::get<DateTime>(b);
            if (x->date != y.date) return x->date < y.date ? -1 : 1;
            return x->time.ms < y.time.ms ? -1 : (x->time.ms == y.time.ms ? 0 : 1);
        }
    }
    const std::string x = valueToText(a), y = valueToText(b);
    return x < y ? -1 : (x == y ? 0 : 1);
}

std::vector<std::string> splitNames(std::string_view names) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= names.size()) {
        auto end = names.find(';', start);
        if (end == std::string_view::npos) end = names.size();
        std::string n = trimBlanks(names.substr(start, end - start));
        if (!n.empty()) out.push_back(n);
        start = end + 1;
    }
    return out;
}

}  // namespace

Value valueFromText(const FieldDef& def, std::string_view text) {
    switch (def.type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Blob:
        return std::string(text);
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::Int64: {
        const std::string t = trimBlanks(text);
        if (t.empty()) return std::monostate{};
        std::int64_t v = 0;
        const char* b = t.data();
        if (*b == '+') ++b;
        auto [p, ec] = std::from_chars(b, t.data() + t.size(), v);
        if (ec != std::errc() || p != t.data() + t.size()) conversionError(def, text, "um número inteiro válido");
        // The database column would refuse it when saved.
        const std::int64_t limit = def.type == FieldType::Int16   ? INT16_MAX
                                   : def.type == FieldType::Int32 ? INT32_MAX
                                                                  : INT64_MAX;
        if (v > limit || v < -limit - 1) conversionError(def, text, "um número inteiro válido");
        return v;
    }
    case FieldType::Float: {
        const std::string t = trimBlanks(text);
        if (t.empty()) return std::monostate{};
        std::string u = t;
        std::replace(u.begin(), u.end(), ',', '.');
        double v = 0;
        auto [p, ec] = std::from_chars(u.data(), u.data() + u.size(), v);
        if (ec != std::errc() || p != u.data() + u.size()) conversionError(def, text, "um número válido");
        return v;
    }
    case FieldType::Fixed:
    case FieldType::FixedFMT: {
        const std::string t = trimBlanks(text);
        if (t.empty()) return std::monostate{};
        auto d = Decimal::tryParse(t);
        if (!d) conversionError(def, text, "um número válido");
        return *d;
    }
    case FieldType::Boolean: {
        const std::string t = asciiUpper(trimBlanks(text));
        if (t.empty()) return std::monostate{};
        if (t == "TRUE" || t == "T" || t == "1" || t == "S") return true;
        if (t == "FALSE" || t == "F" || t == "0" || t == "N") return false;
        conversionError(def, text, "um valor lógico válido");
    }
    case FieldType::Date: {
        const std::string t = trimBlanks(text);
        if (t.empty()) return std::monostate{};
        auto d = parseDateText(t);
        if (!d) conversionError(def, text, "uma data válida");
        return *d;
    }
    case FieldType::Time: {
        const std::string t = trimBlanks(text);
        if (t.empty()) return std::monostate{};
        auto tm = parseTimeText(t);
        if (!tm) conversionError(def, text, "uma hora válida");
        return *tm;
    }
    case FieldType::DateTime:
    case FieldType::SQLDateTime: {
        const std::string t = trimBlanks(text);
        if (t.empty()) return std::monostate{};
        const auto sp = t.find(' ');
        auto d = parseDateText(std::string_view(t).substr(0, sp));
        if (!d) conversionError(def, text, "uma data válida");
        TimeOfDay tm;
        if (sp != std::string::npos) {
            auto pt = parseTimeText(trimBlanks(std::string_view(t).substr(sp + 1)));
            if (!pt) conversionError(def, text, "uma data e hora válida");
            tm = *pt;
        }
        return DateTime{*d, tm};
    }
    }
    return std::string(text);
}

// ---- Field ---------------------------------------------------------------

const FieldDef& Field::def() const { return rs_->fields_.at(static_cast<std::size_t>(index_)); }

const Value& Field::value() const { return rs_->currentValue(index_); }

std::int64_t Field::asInteger() const {
    const Value& v = value();
    if (isNull()) return 0;
    if (auto* i = std::get_if<std::int64_t>(&v)) return *i;
    if (auto* d = std::get_if<Decimal>(&v)) return d->roundedUnits(0);
    if (auto* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
    if (auto* f = std::get_if<double>(&v)) return static_cast<std::int64_t>(*f);
    const std::string t = trimBlanks(valueToText(v));
    std::int64_t r = 0;
    const char* b = t.data();
    if (!t.empty() && *b == '+') ++b;
    auto [p, ec] = std::from_chars(b, t.data() + t.size(), r);
    if (t.empty() || ec != std::errc() || p != t.data() + t.size())
        throw RecordSetError("'" + t + "' não é um número inteiro válido (campo " + name() + ")");
    return r;
}

Decimal Field::asDecimal() const {
    const Value& v = value();
    if (isNull()) return {};
    if (auto* d = std::get_if<Decimal>(&v)) return *d;
    if (auto* i = std::get_if<std::int64_t>(&v)) return Decimal::fromInt(*i);
    return Decimal::parse(valueToText(v));
}

double Field::asFloat() const {
    const Value& v = value();
    if (isNull()) return 0;
    if (auto* f = std::get_if<double>(&v)) return *f;
    if (auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    if (auto* d = std::get_if<Decimal>(&v)) return static_cast<double>(d->scaled()) / Decimal::kOne;
    const std::string t = trimBlanks(valueToText(v));
    double r = 0;
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), r);
    if (t.empty() || ec != std::errc() || p != t.data() + t.size())
        throw RecordSetError("'" + t + "' não é um número válido (campo " + name() + ")");
    return r;
}

std::optional<Date> Field::asDate() const {
    const Value& v = value();
    if (auto* d = std::get_if<Date>(&v)) return *d;
    if (auto* dt = std::get_if<DateTime>(&v)) return dt->date;
    if (auto* s = std::get_if<std::string>(&v)) return parseDateText(trimBlanks(*s));
    return std::nullopt;
}

std::optional<DateTime> Field::asDateTime() const {
    const Value& v = value();
    if (auto* d = std::get_if<Date>(&v)) return DateTime{*d, {}};
    if (auto* dt = std::get_if<DateTime>(&v)) return *dt;
    if (auto* s = std::get_if<std::string>(&v)) {
        if (auto d = parseDateText(trimBlanks(*s))) return DateTime{*d, {}};
    }
    return std::nullopt;
}

void Field::setValue(Value v) { rs_->writableValue(index_) = std::move(v); }

void Field::setAsString(std::string_view text) { setValue(valueFromText(def(), text)); }

// ---- RecordSet -----------------------------------------------------------

void RecordSet::clearFields() {
    if (active_) throw RecordSetError("'" + name_ + "': campos não podem mudar com a tabela aberta");
    fields_.clear();
    byName_.clear();
}

void RecordSet::addField(FieldDef def) {
    if (active_) throw RecordSetError("'" + name_ + "': campos não podem mudar com a tabela aberta");
    const std::string key = asciiUpper(def.name);
    if (byName_.count(key)) throw RecordSetError("'" + name_ + "': campo repetido " + def.name);
    byName_.emplace(key, static_cast<int>(fields_.size()));
    fields_.push_back(std::move(def));
}

int RecordSet::fieldIndex(std::string_view name) const {
    auto it = byName_.find(asciiUpper(name));
    return it == byName_.end() ? -1 : it->second;
}

const FieldDef* RecordSet::findFieldDef(std::string_view name) const {
    const int i = fieldIndex(name);
    return i < 0 ? nullptr : &fields_[static_cast<std::size_t>(i)];
}

void RecordSet::createDataSet() {
    rows_.clear();
    deleted_.clear();
    active_ = true;
    mode_ = Mode::Browse;
    cursor_ = 0;
    eof_ = true;
}

void RecordSet::emptyDataSet() {
    requireActive();
    rows_.clear();
    deleted_.clear();
    mode_ = Mode::Browse;
    cursor_ = 0;
    eof_ = true;
}

void RecordSet::close() {
    rows_.clear();
    deleted_.clear();
    active_ = false;
    mode_ = Mode::Browse;
    cursor_ = 0;
    eof_ = true;
}

void RecordSet::assign(std::vector<FieldDef> defs, std::vector<Row> rows) {
    // Every row holds one value per field: cursors, indexes and searches rely on it.
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (rows[r].values.size() != defs.size())
            throw RecordSetError("'" + name_ + "': o registro " + std::to_string(r + 1) + " tem " +
                                 std::to_string(rows[r].values.size()) + " valores para " + std::to_string(defs.size()) +
                                 " campos");
    std::unordered_map<std::string, int> byName;
    for (std::size_t i = 0; i < defs.size(); ++i)
        if (!byName.emplace(asciiUpper(defs[i].name), static_cast<int>(i)).second)
            throw RecordSetError("'" + name_ + "': campo repetido " + defs[i].name);
    fields_ = std::move(defs);
    byName_ = std::move(byName);
    rows_ = std::move(rows);
    deleted_.clear();
    source_ = {};
    active_ = true;
    mode_ = Mode::Browse;
    if (!indexNames_.empty()) {
        // An index set before belongs to the old fields; keep it only when it still applies.
        bool ok = true;
        for (auto& n : splitNames(indexNames_)) ok = ok && fieldIndex(n) >= 0;
        if (ok) applyIndex(); else indexNames_.clear();
    }
    first();
}

void RecordSet::requireActive() const {
    if (!active_) throw RecordSetError("'" + name_ + "': operação com a tabela fechada");
}

void RecordSet::requireCurrent() const {
    requireActive();
    if (rows_.empty() || cursor_ >= rows_.size()) throw RecordSetError("'" + name_ + "': não há registro atual");
}

void RecordSet::first() {
    cursor_ = 0;
    eof_ = rows_.empty();
}

void RecordSet::next() {
    if (mode_ != Mode::Browse) post();
    if (cursor_ + 1 < rows_.size()) {
        ++cursor_;
    } else {
        eof_ = true;
    }
}

void RecordSet::last() {
    cursor_ = rows_.empty() ? 0 : rows_.size() - 1;
    eof_ = rows_.empty();
}

void RecordSet::moveBy(int n) {
    if (n >= 0) {
        for (int i = 0; i < n && !eof_; ++i) next();
    } else {
        const auto back = static_cast<std::size_t>(-n);
        cursor_ = cursor_ > back ? cursor_ - back : 0;
        eof_ = rows_.empty();
    }
}

int RecordSet::recNo() const {
    if (mode_ == Mode::Insert) return static_cast<int>(rows_.size()) + 1;
    if (rows_.empty()) return 0;
    return static_cast<int>(cursor_) + 1;
}

void RecordSet::setRecNo(int n) {
    if (n < 1 || n > static_cast<int>(rows_.size())) throw RecordSetError("'" + name_ + "': registro inexistente");
    cursor_ = static_cast<std::size_t>(n - 1);
    eof_ = false;
}

Field RecordSet::field(std::string_view name) {
    const int i = fieldIndex(name);
    if (i < 0) throw RecordSetError("'" + name_ + "': campo '" + std::string(name) + "' não encontrado");
    return Field(this, i);
}

const Value& RecordSet::currentValue(int index) const {
    if (mode_ != Mode::Browse) return buffer_.at(static_cast<std::size_t>(index));
    requireCurrent();
    return rows_[cursor_].values.at(static_cast<std::size_t>(index));
}

Value& RecordSet::writableValue(int index) {
    if (mode_ == Mode::Browse) throw RecordSetError("'" + name_ + "': a tabela não está em edição ou inclusão");
    return buffer_.at(static_cast<std::size_t>(index));
}

void RecordSet::append() {
    requireActive();
    if (mode_ != Mode::Browse) post();
    buffer_.assign(fields_.size(), Value{});
    mode_ = Mode::Insert;
}

void RecordSet::edit() {
    if (mode_ != Mode::Browse) return;
    requireCurrent();
    buffer_ = rows_[cursor_].values;
    mode_ = Mode::Edit;
}

void RecordSet::post() {
    if (mode_ == Mode::Browse) return;
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].required && isNull(buffer_[i]))
            throw RecordSetError(fields_[i].name, "O campo " + std::string(RecordSetError::kFieldMark) + " deve ter um valor");
    if (mode_ == Mode::Insert) {
        Row r;
        r.values = std::move(buffer_);
        r.state = RowState::Inserted;
        rows_.push_back(std::move(r));
        cursor_ = rows_.size() - 1;
    } else {
        Row& r = rows_[cursor_];
        if (r.values != buffer_) {
            if (r.state == RowState::Unchanged) {
                r.original = std::make_shared<const std::vector<Value>>(r.values);
                r.state = RowState::Modified;
            }
            r.values = std::move(buffer_);
        }
    }
    buffer_.clear();
    mode_ = Mode::Browse;
    eof_ = false;
    if (!indexNames_.empty()) {
        // Keep the order; follow the posted row.
        const Row* posted = &rows_[cursor_];
        auto values = posted->values;
        applyIndex();
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].values == values) {
                cursor_ = i;
                break;
            }
    }
}

void RecordSet::cancel() {
    buffer_.clear();
    mode_ = Mode::Browse;
}

void RecordSet::deleteRecord() {
    if (mode_ == Mode::Insert) {
        cancel();
        return;
    }
    cancel();
    requireCurrent();
    Row& r = rows_[cursor_];
    if (r.state == RowState::Modified)
        deleted_.push_back(*r.original);
    else if (r.state == RowState::Unchanged)
        deleted_.push_back(r.values);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(cursor_));
    if (cursor_ >= rows_.size()) cursor_ = rows_.empty() ? 0 : rows_.size() - 1;
    eof_ = rows_.empty();
}

int RecordSet::changeCount() const {
    int n = static_cast<int>(deleted_.size());
    for (const auto& r : rows_)
        if (r.state != RowState::Unchanged) ++n;
    if (mode_ != Mode::Browse) ++n;
    return n;
}

void RecordSet::mergeChangeLog() {
    for (auto& r : rows_) {
        r.state = RowState::Unchanged;
        r.original.reset();
    }
    deleted_.clear();
}

void RecordSet::cancelUpdates() {
    cancel();
    std::vector<Row> kept;
    for (auto& r : rows_) {
        if (r.state == RowState::Inserted) continue;
        if (r.state == RowState::Modified) r.values = *r.original;
        r.state = RowState::Unchanged;
        r.original.reset();
        kept.push_back(std::move(r));
    }
    for (auto& d : deleted_) kept.push_back(Row{std::move(d), RowState::Unchanged, nullptr});
    deleted_.clear();
    rows_ = std::move(kept);
    if (!indexNames_.empty()) applyIndex();
    first();
}

bool RecordSet::locate(std::string_view fieldNames, const std::vector<std::string>& values, unsigned options) {
    requireActive();
    const auto names = splitNames(fieldNames);
    if (names.size() != values.size()) throw RecordSetError("'" + name_ + "': locate com número de valores diferente do de campos");
    std::vector<int> cols;
    for (auto& n : names) {
        const int i = fieldIndex(n);
        if (i < 0) throw RecordSetError("'" + name_ + "': campo '" + n + "' não encontrado");
        cols.push_back(i);
    }
    const bool ci = options & LocateCaseInsensitive;
    const bool partial = options & LocatePartialKey;
    std::vector<std::string> wanted = values;
    if (ci)
        for (auto& w : wanted) w = upperText(w);
    if (mode_ != Mode::Browse) post();
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        bool match = true;
        for (std::size_t k = 0; k < cols.size() && match; ++k) {
            std::string have = valueToText(rows_[r].values[static_cast<std::size_t>(cols[k])]);
            if (ci) have = upperText(have);
            match = partial ? have.compare(0, wanted[k].size(), wanted[k]) == 0 : have == wanted[k];
        }
        if (match) {
            cursor_ = r;
            eof_ = false;
            return true;
        }
    }
    return false;
}

void RecordSet::setIndexFieldNames(std::string_view names) {
    indexNames_ = std::string(names);
    if (active_ && !indexNames_.empty()) {
        applyIndex();
        first();
    }
}

void RecordSet::applyIndex() {
    std::vector<int> cols;
    for (auto& n : splitNames(indexNames_)) {
        const int i = fieldIndex(n);
        if (i < 0) throw RecordSetError("'" + name_ + "': campo de índice '" + n + "' não encontrado");
        cols.push_back(i);
    }
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
        for (int c : cols) {
            const int r = compareValues(a.values[static_cast<std::size_t>(c)], b.values[static_cast<std::size_t>(c)]);
            if (r != 0) return r < 0;
        }
        return false;
    });
}

}  // namespace tcese
