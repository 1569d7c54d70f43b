#include "data/datapacket.h"

#include <expat.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "config/encoding.h"
#include "config/syserror.h"

namespace tcese {
namespace {

[[noreturn]] void fail(std::string_view source, const std::string& what) {
    throw DatapacketError("Arquivo XML '" + std::string(source) + "': " + what);
}

// ---- type names ----------------------------------------------------------

// Memo and binary blobs share "bin.hex"; SUBTYPE tells them apart. A memo's value
// is its text, escaped like a string (readable and loss-free); a binary blob's
// value is its bytes in base64, as the platforms that write these files do.
const char* typeName(FieldType t) {
    switch (t) {
    case FieldType::String: return "string";
    case FieldType::Int16: return "i2";
    case FieldType::Int32: return "i4";
    case FieldType::Int64: return "i8";
    case FieldType::Float: return "r8";
    case FieldType::Fixed: return "fixed";
    case FieldType::FixedFMT: return "fixedFMT";
    case FieldType::Boolean: return "boolean";
    case FieldType::Date: return "date";
    case FieldType::Time: return "time";
    case FieldType::DateTime: return "dateTime";
    case FieldType::SQLDateTime: return "SQLdateTime";
    case FieldType::Memo:
    case FieldType::Blob: return "bin.hex";
    }
    return "string";
}

std::optional<FieldType> typeFromName(std::string_view n, std::string_view subtype) {
    if (iequals(n, "string") || iequals(n, "string.uni")) return FieldType::String;
    if (iequals(n, "i2") || iequals(n, "i1") || iequals(n, "ui1")) return FieldType::Int16;
    if (iequals(n, "i4") || iequals(n, "ui2")) return FieldType::Int32;
    if (iequals(n, "i8") || iequals(n, "ui4")) return FieldType::Int64;
    if (iequals(n, "r8") || iequals(n, "r4")) return FieldType::Float;
    if (iequals(n, "fixed")) return FieldType::Fixed;
    if (iequals(n, "fixedFMT")) return FieldType::FixedFMT;
    if (iequals(n, "boolean")) return FieldType::Boolean;
    if (iequals(n, "date")) return FieldType::Date;
    if (iequals(n, "time")) return FieldType::Time;
    if (iequals(n, "dateTime")) return FieldType::DateTime;
    if (iequals(n, "SQLdateTime")) return FieldType::SQLDateTime;
    if (iequals(n, "bin.hex")) {
        for (const char* s : {"Text", "Memo", "FmtMemo", "WideText"})
            if (iequals(subtype, s)) return FieldType::Memo;
        return FieldType::Blob;
    }
    return std::nullopt;
}

// The values an integer type name can carry; i1, ui1 and ui2 are held in a wider
// field, so the range comes from the name the file gives.
struct IntRange {
    std::int64_t min, max;
};

IntRange rangeOf(FieldType t) {
    switch (t) {
    case FieldType::Int16: return {-32768, 32767};
    case FieldType::Int32: return {-2147483648LL, 2147483647LL};
    default: return {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
    }
}

IntRange rangeOfName(std::string_view n, FieldType t) {
    if (iequals(n, "i1")) return {-128, 127};
    if (iequals(n, "ui1")) return {0, 255};
    if (iequals(n, "ui2")) return {0, 65535};
    if (iequals(n, "ui4")) return {0, 4294967295LL};
    return rangeOf(t);
}

// ---- base64 ----------------------------------------------------------------

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void appendBase64(std::string& out, std::string_view bytes) {
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        for (int k = 18; k >= 0; k -= 6) out.push_back(kBase64[v >> k & 63]);
    }
    if (const std::size_t rest = bytes.size() - i) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out.push_back(kBase64[v >> 18 & 63]);
        out.push_back(kBase64[v >> 12 & 63]);
        out.push_back(rest == 2 ? kBase64[v >> 6 & 63] : '=');
        out.push_back('=');
    }
}

int base64Digit(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Strict base64: groups of four (blanks and line breaks between them allowed),
// "=" padding only at the end, and the bits that padding drops must be zero, so
// that one text means one byte string.
std::optional<std::string> decodeBase64(std::string_view s) {
    std::string digits;
    digits.reserve(s.size());
    for (char c : s)
        if (c != ' ' && c != '\r' && c != '\n' && c != '\t') digits.push_back(c);
    if (digits.size() % 4) return std::nullopt;
    std::string out;
    out.reserve(digits.size() / 4 * 3);
    for (std::size_t i = 0; i < digits.size(); i += 4) {
        const bool lastGroup = i + 4 == digits.size();
        int pad = 0;
        if (lastGroup && digits[i + 3] == '=') pad = digits[i + 2] == '=' ? 2 : 1;
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
            int d = 0;
            if (k < 4 - pad) {
                d = base64Digit(digits[i + static_cast<std::size_t>(k)]);
                if (d < 0) return std::nullopt;
            }
            v = v << 6 | static_cast<unsigned>(d);
        }
        if ((pad == 1 && (v & 0xFF)) || (pad == 2 && (v & 0xFFFF))) return std::nullopt;
        out.push_back(static_cast<char>(v >> 16));
        if (pad < 2) out.push_back(static_cast<char>(v >> 8 & 0xFF));
        if (pad < 1) out.push_back(static_cast<char>(v & 0xFF));
    }
    return out;
}

// ---- XML names -----------------------------------------------------------

bool isNameStart(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0xFF);
}

bool isNameChar(char32_t c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-'; }

// Whether `name` can be used as-is as an attribute name. Only Latin-1 letters are
// trusted beyond ASCII; anything else goes the fieldname/attrname way, which is safe.
bool isXmlName(std::string_view name) {
    if (name.empty()) return false;
    try {
        std::size_t i = 0;
        bool first = true;
        while (i < name.size()) {
            const char32_t c = utf8Next(name, i);
            if (first ? !isNameStart(c) : !isNameChar(c)) return false;
            first = false;
        }
    } catch (const EncodingError&) {
        return false;
    }
    return true;
}

// Blank ! # $ % ( ) * ? become "_", and so does any other character an XML name
// cannot hold, so that the attribute is always well-formed.
std::string attrNameFor(std::string_view name) {
    std::string out;
    std::size_t i = 0;
    bool first = true;
    while (i < name.size()) {
        char32_t c;
        try {
            c = utf8Next(name, i);
        } catch (const EncodingError&) {
            ++i;
            c = '?';
        }
        if (first ? isNameStart(c) : isNameChar(c))
            utf8Append(out, c);
        else
            out.push_back('_');
        first = false;
    }
    if (out.empty()) out = "_";
    return out;
}

// ---- writing -------------------------------------------------------------

struct EscapeError {
    std::string what;
};

// Appends `utf8` escaped, as Windows-1252 bytes. A character that Windows-1252 lacks
// is written as a numeric character reference, so nothing is lost. Control characters
// other than TAB, CR and LF cannot be carried by XML 1.0 at all, not even as a
// reference, so they are refused rather than written into a file no reader accepts.
bool plainAscii(unsigned char b) {
    return b >= 0x20 && b < 0x80 && b != '<' && b != '>' && b != '&' && b != '\'' && b != '"' && b != '\\';
}

void appendEscaped(std::string& out, std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t run = i;
        while (run < utf8.size() && plainAscii(static_cast<unsigned char>(utf8[run]))) ++run;
        if (run > i) {
            out.append(utf8.data() + i, run - i);
            i = run;
            continue;
        }
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b >= 0x80) {
            char32_t cp;
            try {
                cp = utf8Next(utf8, i);
            } catch (const EncodingError& e) {
                throw EscapeError{"texto com UTF-8 inválido (" + std::string(e.what()) + ")"};
            }
            const int byte = cp1252FromCodePoint(cp);
            if (byte >= 0) {
                out.push_back(static_cast<char>(byte));
            } else if (cp == 0xFFFE || cp == 0xFFFF) {
                char buf[16];
                std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
                throw EscapeError{std::string("caractere ") + buf + " não pode ser gravado em XML"};
            } else {
                out += "&#";
                out += std::to_string(static_cast<unsigned>(cp));
                out += ';';
            }
            continue;
        }
        ++i;
        switch (b) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '\'': out += "&apos;"; break;
        case '"': out += "&quot;"; break;
        case '\r': out += "&#013;"; break;
        case '\n': out += "&#010;"; break;
        case '\t': out += "&#009;"; break;
        case '\\': out += "&#092;"; break;
        default:
            if (b < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "%02X", b);
                throw EscapeError{std::string("caractere de controle 0x") + buf + " não pode ser gravado em XML"};
            }
            out.push_back(static_cast<char>(b));
        }
    }
}

void append2(std::string& out, unsigned v) {
    out.push_back(static_cast<char>('0' + v / 10 % 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

void appendDate(std::string& out, const Date& d) {
    const int y = static_cast<int>(d.year());
    if (!d.ok() || y < 1 || y > 9999) throw EscapeError{"data inválida"};
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04d", y);
    out += buf;
    append2(out, static_cast<unsigned>(d.month()));
    append2(out, static_cast<unsigned>(d.day()));
}

// hh:mm: then seconds * 1000 + milliseconds in five digits.
void appendTime(std::string& out, TimeOfDay t) {
    if (t.ms < 0 || t.ms >= 24 * 3600000) throw EscapeError{"hora inválida"};
    append2(out, static_cast<unsigned>(t.hour()));
    out.push_back(':');
    append2(out, static_cast<unsigned>(t.minute()));
    out.push_back(':');
    char buf[8];
    std::snprintf(buf, sizeof buf, "%05d", t.second() * 1000 + t.millisecond());
    out += buf;
}

bool matchesType(FieldType t, const Value& v) {
    switch (t) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Blob: return std::holds_alternative<std::string>(v);
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::Int64: return std::holds_alternative<std::int64_t>(v);
    case FieldType::Float: return std::holds_alternative<double>(v);
    case FieldType::Fixed:
    case FieldType::FixedFMT: return std::holds_alternative<Decimal>(v);
    case FieldType::Boolean: return std::holds_alternative<bool>(v);
    case FieldType::Date: return std::holds_alternative<Date>(v);
    case FieldType::Time: return std::holds_alternative<TimeOfDay>(v);
    case FieldType::DateTime:
    case FieldType::SQLDateTime: return std::holds_alternative<DateTime>(v);
    }
    return false;
}

// A value of another kind than its field (set directly, not through setAsString)
// is converted the way the field would take its text.
Value coerce(const FieldDef& def, const Value& v) {
    if (auto* dt = std::get_if<DateTime>(&v)) {
        if (def.type == FieldType::Date) return dt->date;
        if (def.type == FieldType::Time) return dt->time;
    }
    if (auto* d = std::get_if<Date>(&v); d && (def.type == FieldType::DateTime || def.type == FieldType::SQLDateTime))
        return DateTime{*d, {}};
    if (auto* x = std::get_if<Decimal>(&v); x && def.type == FieldType::Float)
        return static_cast<double>(x->scaled()) / static_cast<double>(Decimal::kOne);
    try {
        return valueFromText(def, valueToText(v));
    } catch (const RecordSetError& e) {
        throw EscapeError{e.what()};
    }
}

void appendValue(std::string& out, const FieldDef& def, const Value& raw) {
    Value converted;
    const bool same = matchesType(def.type, raw);
    if (!same) converted = coerce(def, raw);
    const Value& v = same ? raw : converted;
    if (isNull(v)) return;  // a NULL is an absent attribute; the caller has not started it
    switch (def.type) {
    case FieldType::String:
    case FieldType::Memo:
        appendEscaped(out, std::get<std::string>(v));
        break;
    case FieldType::Blob:
        appendBase64(out, std::get<std::string>(v));
        break;
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::Int64: {
        const std::int64_t i = std::get<std::int64_t>(v);
        const IntRange range = rangeOf(def.type);
        if (i < range.min || i > range.max)
            throw EscapeError{"valor " + std::to_string(i) + " fora do intervalo do tipo " + typeName(def.type)};
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, i);
        out.append(buf, r.ptr);
        break;
    }
    case FieldType::Float: {
        char buf[40];
        auto r = std::to_chars(buf, buf + sizeof buf, std::get<double>(v));  // shortest text that reads back exactly
        out.append(buf, r.ptr);
        break;
    }
    case FieldType::Fixed:
    case FieldType::FixedFMT:
        out += std::get<Decimal>(v).toString();
        break;
    case FieldType::Boolean:
        out += std::get<bool>(v) ? "TRUE" : "FALSE";
        break;
    case FieldType::Date:
        appendDate(out, std::get<Date>(v));
        break;
    case FieldType::Time:
        appendTime(out, std::get<TimeOfDay>(v));
        break;
    case FieldType::DateTime:
    case FieldType::SQLDateTime: {
        const auto& dt = std::get<DateTime>(v);
        appendDate(out, dt.date);
        if (dt.time.ms != 0) {
            out.push_back('T');
            appendTime(out, dt.time);
        }
        break;
    }
    }
}

std::string render(const RecordSet& rs, std::string_view source) {
    const auto& defs = rs.fields();
    // Attribute names: unique, well-formed, and never the row-state attribute.
    std::vector<std::string> attrs;
    std::vector<bool> needsFieldName;
    std::unordered_set<std::string> used{"RowState"};
    for (const auto& d : defs) {
        bool own = isXmlName(d.name);
        std::string a = own ? d.name : attrNameFor(d.name);
        if (used.count(a)) {
            own = false;
            const std::string base = a;
            for (int k = 2; used.count(a); ++k) a = base + "_" + std::to_string(k);
        }
        used.insert(a);
        // The file is Windows-1252; an attribute name holds only Latin-1 letters, which it has.
        attrs.push_back(utf8ToCp1252(a));
        needsFieldName.push_back(!own);
    }

    std::string out;
    out.reserve(256 + defs.size() * 80 + rs.rows().size() * (24 + defs.size() * 24));
    out += "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
    for (std::size_t f = 0; f < defs.size(); ++f) {
        const auto& d = defs[f];
        out += "<FIELD";
        if (needsFieldName[f]) {
            out += " fieldname=\"";
            try {
                appendEscaped(out, d.name);
            } catch (const EscapeError& e) {
                fail(source, "nome de campo '" + d.name + "': " + e.what);
            }
            out += '"';
        }
        out += " attrname=\"" + attrs[f] + "\" fieldtype=\"" + typeName(d.type) + "\"";
        if (d.readonly) out += " readonly=\"true\"";
        if (d.required) out += " required=\"true\"";
        if (d.hidden) out += " hidden=\"true\"";
        if (d.linkfield) out += " linkfield=\"true\"";
        if (d.type == FieldType::String || d.type == FieldType::Fixed || d.type == FieldType::FixedFMT)
            out += " WIDTH=\"" + std::to_string(d.width) + "\"";
        if (d.type == FieldType::Fixed || d.type == FieldType::FixedFMT)
            out += " DECIMALS=\"" + std::to_string(d.decimals) + "\"";
        if (d.type == FieldType::Memo) out += " SUBTYPE=\"Text\"";
        if (d.type == FieldType::Blob) out += " SUBTYPE=\"Binary\"";
        out += "/>";
    }
    out += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    const auto& rows = rs.rows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        // Rows appended since the table was created carry their pending-insert state.
        out += row.state == RowState::Inserted ? "<ROW RowState=\"4\"" : "<ROW";
        for (std::size_t f = 0; f < defs.size() && f < row.values.size(); ++f) {
            if (isNull(row.values[f])) continue;
            const std::size_t mark = out.size();
            out += ' ';
            out += attrs[f];
            out += "=\"";
            const std::size_t valueStart = out.size();
            try {
                appendValue(out, defs[f], row.values[f]);
            } catch (const EscapeError& e) {
                fail(source, "registro " + std::to_string(r + 1) + ", campo " + defs[f].name + ": " + e.what);
            }
            // Text that converted to NULL (e.g. an empty text in a date field) stays absent.
            if (out.size() == valueStart && defs[f].type != FieldType::String && defs[f].type != FieldType::Memo &&
                defs[f].type != FieldType::Blob) {
                out.resize(mark);
                continue;
            }
            out += '"';
        }
        out += "/>";
    }
    out += "</ROWDATA></DATAPACKET>\r\n";
    return out;
}

// ---- reading -------------------------------------------------------------

std::optional<Date> parseDate8(std::string_view s) {
    if (s.size() != 8) return std::nullopt;
    int v[3] = {0, 0, 0};
    const int len[3] = {4, 2, 2};
    std::size_t p = 0;
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < len[k]; ++j, ++p) {
            if (s[p] < '0' || s[p] > '9') return std::nullopt;
            v[k] = v[k] * 10 + (s[p] - '0');
        }
    const Date d = makeDate(v[0], v[1], v[2]);
    if (!d.ok() || v[0] < 1) return std::nullopt;  // no year 0 in the calendar the writer knows
    return d;
}

// Reads an unsigned decimal of 1..maxDigits digits at s[p], advancing p.
bool readNumber(std::string_view s, std::size_t& p, int maxDigits, int& out) {
    out = 0;
    int n = 0;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
        if (++n > maxDigits) return false;
        out = out * 10 + (s[p++] - '0');
    }
    return n > 0;
}

// hh:mm:SSmmm, the last part being seconds * 1000 + milliseconds.
std::optional<TimeOfDay> parseTimeDp(std::string_view s) {
    std::size_t p = 0;
    int h, m, sm;
    if (!readNumber(s, p, 2, h) || p >= s.size() || s[p++] != ':') return std::nullopt;
    if (!readNumber(s, p, 2, m) || p >= s.size() || s[p++] != ':') return std::nullopt;
    if (!readNumber(s, p, 5, sm) || p != s.size()) return std::nullopt;
    if (h > 23 || m > 59 || sm >= 60000) return std::nullopt;
    return TimeOfDay{(h * 60 + m) * 60000 + sm};
}

// Whether a decimal text that Decimal reads has no digit that its four decimals
// would round away ("0.123400" has none, "0.123456" has).
bool fitsFourDecimals(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '+' || s[i] == '-')) ++i;
    std::string digits;
    long point = -1;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            digits.push_back(s[i]);
        else if ((s[i] == '.' || s[i] == ',') && point < 0)
            point = static_cast<long>(digits.size());
        else
            break;
    }
    if (point < 0) point = static_cast<long>(digits.size());
    long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        const bool neg = i < s.size() && s[i] == '-';
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9' && exponent <= 400; ++i) exponent = exponent * 10 + (s[i] - '0');
        if (neg) exponent = -exponent;
    }
    // Digit k stands at decimal place k + 1 - (point + exponent) after the point.
    for (std::size_t k = 0; k < digits.size(); ++k)
        if (digits[k] != '0' && static_cast<long>(k) + 1 - (point + exponent) > Decimal::kScale) return false;
    return true;
}

// The value of one ROW attribute by the field's type; nullopt, with the reason in
// `why` when there is more to say than "invalid for the type", when it does not decode.
std::optional<Value> decodeValue(FieldType type, IntRange range, std::string_view s, std::string& why) {
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
        return Value(std::string(s));
    case FieldType::Blob: {
        auto bytes = decodeBase64(s);
        if (!bytes) {
            why = "não é base64 válido";
            return std::nullopt;
        }
        return Value(std::move(*bytes));
    }
    default:
        break;
    }
    if (s.empty()) return Value{};  // nothing to tell apart from NULL for these kinds
    switch (type) {
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::Int64: {
        std::int64_t v = 0;
        auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (p != s.data() + s.size() || (ec != std::errc() && ec != std::errc::result_out_of_range)) return std::nullopt;
        if (ec == std::errc::result_out_of_range || v < range.min || v > range.max) {
            why = "fora do intervalo do tipo (" + std::to_string(range.min) + " a " + std::to_string(range.max) + ")";
            return std::nullopt;
        }
        return Value(v);
    }
    case FieldType::Float: {
        std::string t(s);
        std::replace(t.begin(), t.end(), ',', '.');
        double v = 0;
        auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (ec != std::errc() || p != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
        return Value(v);
    }
    case FieldType::Fixed:
    case FieldType::FixedFMT: {
        auto d = Decimal::tryParse(s);
        if (!d) return std::nullopt;
        if (!fitsFourDecimals(s)) {
            why = "tem mais de " + std::to_string(Decimal::kScale) + " casas decimais";
            return std::nullopt;
        }
        return Value(*d);
    }
    case FieldType::Boolean:
        if (iequals(s, "TRUE")) return Value(true);
        if (iequals(s, "FALSE")) return Value(false);
        return std::nullopt;
    case FieldType::Date: {
        auto d = parseDate8(s);
        if (!d) return std::nullopt;
        return Value(*d);
    }
    case FieldType::Time: {
        auto t = parseTimeDp(s);
        if (!t) return std::nullopt;
        return Value(*t);
    }
    case FieldType::DateTime:
    case FieldType::SQLDateTime: {
        auto d = parseDate8(s.substr(0, 8));
        if (!d) return std::nullopt;
        TimeOfDay t;
        if (s.size() > 8) {
            if (s[8] != 'T') return std::nullopt;
            auto pt = parseTimeDp(s.substr(9));
            if (!pt) return std::nullopt;
            t = *pt;
        }
        return Value(DateTime{*d, t});
    }
    default:
        return std::nullopt;
    }
}

bool parseCount(std::string_view s, int& out) {
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size() && out >= 0;
}

class Reader {
public:
    explicit Reader(std::string_view source) : source_(source) {}

    void parse(std::string_view bytes) {
        // Expat lets a protocol encoding override the declaration. It is given to the
        // program's own form, which declares none and is Windows-1252, and to files
        // labelled ISO-8859-1: written on Windows, they mean Windows-1252 (0x80 is €).
        const auto declared = declaredEncoding(bytes);
        const bool cp1252 = !declared || isLatin1Label(*declared);
        XML_Parser p = XML_ParserCreate(cp1252 ? "windows-1252" : nullptr);
        if (!p) fail(source_, "memória insuficiente para ler o XML");
        struct Free {
            XML_Parser p;
            ~Free() { XML_ParserFree(p); }
        } guard{p};
        parser_ = p;
        XML_SetUserData(p, this);
        XML_SetElementHandler(p, &Reader::onStart, &Reader::onEnd);
        XML_SetUnknownEncodingHandler(p, &Reader::onUnknownEncoding, nullptr);

        constexpr std::size_t kChunk = std::size_t{1} << 30;
        std::size_t at = 0;
        do {
            const std::size_t n = std::min(kChunk, bytes.size() - at);
            const bool last = at + n == bytes.size();
            if (XML_Parse(p, bytes.data() + at, static_cast<int>(n), last) != XML_STATUS_OK) {
                if (!error_.empty()) fail(source_, error_);
                fail(source_, "XML inválido na linha " + std::to_string(XML_GetCurrentLineNumber(p)) + ", coluna " +
                                  std::to_string(XML_GetCurrentColumnNumber(p) + 1) + ": " +
                                  XML_ErrorString(XML_GetErrorCode(p)));
            }
            at += n;
        } while (at < bytes.size());

        if (!sawRoot_) fail(source_, "não é um arquivo XML");
        if (!sawMetadata_) fail(source_, "não tem METADATA");
        if (!sawFields_) fail(source_, "não tem FIELDS em METADATA");
    }

    std::vector<FieldDef> defs;
    std::vector<RecordSet::Row> rows;

private:
    enum class Elem { Root, Metadata, Fields, Field, Params, RowData, Row, Other };

    // The encoding the file states: its byte-order mark ("BOM"), else the value of
    // the declaration's encoding; nothing when it states none.
    static std::optional<std::string> declaredEncoding(std::string_view b) {
        for (std::string_view bom : {"\xEF\xBB\xBF", "\xFE\xFF", "\xFF\xFE"})
            if (b.substr(0, bom.size()) == bom) return "BOM";  // a byte-order mark decides
        if (b.substr(0, 5) != "<?xml") return std::nullopt;
        const auto end = b.find("?>");
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view decl = b.substr(0, end);
        const auto at = decl.find("encoding");
        if (at == std::string_view::npos) return std::nullopt;
        std::size_t i = at + 8;
        while (i < decl.size() && (decl[i] == ' ' || decl[i] == '\t' || decl[i] == '\r' || decl[i] == '\n')) ++i;
        if (i < decl.size() && decl[i] == '=') ++i;
        while (i < decl.size() && (decl[i] == ' ' || decl[i] == '\t' || decl[i] == '\r' || decl[i] == '\n')) ++i;
        if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\'')) return std::string();  // expat reports it
        const auto close = decl.find(decl[i], i + 1);
        if (close == std::string_view::npos) return std::string();
        return std::string(decl.substr(i + 1, close - i - 1));
    }

    static bool isLatin1Label(std::string_view name) {
        for (std::string_view l : {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "latin1", "latin-1", "l1", "cp819"})
            if (iequals(name, l)) return true;
        return false;
    }

    static int XMLCALL onUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
        if (!iequals(name, "windows-1252") && !iequals(name, "cp1252")) return XML_STATUS_ERROR;
        for (int i = 0; i < 256; ++i) info->map[i] = static_cast<int>(cp1252ToCodePoint(static_cast<unsigned char>(i)));
        info->data = nullptr;
        info->convert = nullptr;
        info->release = nullptr;
        return XML_STATUS_OK;
    }

    static void XMLCALL onStart(void* ud, const XML_Char* name, const XML_Char** atts) {
        static_cast<Reader*>(ud)->start(name, atts);
    }
    static void XMLCALL onEnd(void* ud, const XML_Char*) { static_cast<Reader*>(ud)->end(); }

    void stop(std::string what) {
        if (error_.empty()) error_ = "linha " + std::to_string(XML_GetCurrentLineNumber(parser_)) + ": " + std::move(what);
        XML_StopParser(parser_, XML_FALSE);
    }

    void start(std::string_view name, const XML_Char** atts) {
        if (!error_.empty()) return;
        const Elem parent = stack_.empty() ? Elem::Other : stack_.back();
        Elem kind = Elem::Other;
        if (stack_.empty()) {
            sawRoot_ = true;
            if (name != "DATAPACKET") return stop("o elemento raiz é '" + std::string(name) + "', não DATAPACKET");
            kind = Elem::Root;
        } else if (parent == Elem::Root && name == "METADATA") {
            // One description of the fields: rows read before a second one would not
            // have its fields.
            if (sawMetadata_) return stop("METADATA repetido");
            sawMetadata_ = true;
            kind = Elem::Metadata;
        } else if (parent == Elem::Root && name == "ROWDATA") {
            if (!sawFields_) return stop("ROWDATA antes de METADATA/FIELDS");
            if (sawRowData_) return stop("ROWDATA repetido");
            sawRowData_ = true;
            kind = Elem::RowData;
        } else if (parent == Elem::Metadata && name == "FIELDS") {
            if (sawFields_) return stop("FIELDS repetido");
            sawFields_ = true;
            kind = Elem::Fields;
        } else if (parent == Elem::Metadata && name == "PARAMS") {
            kind = Elem::Params;
        } else if (parent == Elem::Fields && name == "FIELD") {
            if (!field(atts)) return;
            kind = Elem::Field;
        } else if (parent == Elem::RowData && name == "ROW") {
            if (!row(atts)) return;
            kind = Elem::Row;
        }
        stack_.push_back(kind);
    }

    void end() {
        // Expat still reports the end of an empty element whose start stopped the parse.
        if (!error_.empty()) return;
        if (!stack_.empty()) {
            if (stack_.back() == Elem::Fields && !finishFields()) return;
            stack_.pop_back();
        }
    }

    bool field(const XML_Char** atts) {
        std::string_view fieldname, attrname, fieldtype, subtype, width, decimals;
        bool hasFieldName = false;
        FieldDef def;
        for (int i = 0; atts[i]; i += 2) {
            const std::string_view a = atts[i], v = atts[i + 1];
            if (a == "fieldname") {
                fieldname = v;
                hasFieldName = true;
            } else if (a == "attrname") {
                attrname = v;
            } else if (a == "fieldtype") {
                fieldtype = v;
            } else if (iequals(a, "SUBTYPE")) {
                subtype = v;
            } else if (iequals(a, "WIDTH")) {
                width = v;
            } else if (iequals(a, "DECIMALS")) {
                decimals = v;
            } else if (a == "readonly") {
                def.readonly = iequals(v, "true");
            } else if (a == "required") {
                def.required = iequals(v, "true");
            } else if (a == "hidden") {
                def.hidden = iequals(v, "true");
            } else if (a == "linkfield") {
                def.linkfield = iequals(v, "true");
            }
        }
        const std::string label = "FIELD " + std::to_string(defs.size() + 1);
        if (attrname.empty()) return stop(label + " sem attrname"), false;
        if (fieldtype.empty()) return stop("campo " + std::string(attrname) + " sem fieldtype"), false;
        auto type = typeFromName(fieldtype, subtype);
        if (!type) return stop("campo " + std::string(attrname) + ": tipo desconhecido '" + std::string(fieldtype) + "'"), false;
        def.type = *type;
        def.name = std::string(hasFieldName ? fieldname : attrname);
        if (!width.empty() && !parseCount(width, def.width))
            return stop("campo " + def.name + ": WIDTH inválido '" + std::string(width) + "'"), false;
        if (iequals(fieldtype, "string.uni")) def.width /= 2;  // WIDTH counts bytes of two-byte characters
        if (!decimals.empty() && !parseCount(decimals, def.decimals))
            return stop("campo " + def.name + ": DECIMALS inválido '" + std::string(decimals) + "'"), false;
        // Sizes mean something for text and decimals only (a memo's WIDTH is the
        // size of a pointer on the platform that wrote it).
        const bool sized = def.type == FieldType::String || def.type == FieldType::Fixed || def.type == FieldType::FixedFMT;
        if (!sized) def.width = 0;
        if (def.type != FieldType::Fixed && def.type != FieldType::FixedFMT) def.decimals = 0;
        ranges_.push_back(rangeOfName(fieldtype, def.type));
        defs.push_back(std::move(def));
        attrNames_.emplace_back(attrname);
        return true;
    }

    bool finishFields() {
        std::unordered_set<std::string> names;
        for (std::size_t f = 0; f < defs.size(); ++f) {
            if (!names.insert(asciiUpper(defs[f].name)).second) return stop("campo repetido " + defs[f].name), false;
            if (attrNames_[f] == "RowState") return stop("attrname reservado RowState"), false;
            if (!byAttr_.emplace(attrNames_[f], static_cast<int>(f)).second)
                return stop("attrname repetido " + attrNames_[f]), false;
        }
        return true;
    }

    // Row-state bits of a file saved with its change log: the superseded version of
    // a modified row and a deleted row are kept beside the live rows.
    static constexpr unsigned kOriginalVersion = 1, kDeleted = 2;

    bool row(const XML_Char** atts) {
        ++rowElements_;
        const std::string label = "registro " + std::to_string(rowElements_);
        RecordSet::Row r;
        r.values.resize(defs.size());
        unsigned state = 0;
        std::size_t expect = 0;  // attributes normally come in field order
        for (int i = 0; atts[i]; i += 2) {
            const char* a = atts[i];
            int f = -1;
            if (expect < attrNames_.size() && attrNames_[expect] == a) {
                f = static_cast<int>(expect);
            } else if (std::string_view(a) == "RowState") {
                const std::string_view v = atts[i + 1];
                auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), state);
                if (ec != std::errc() || p != v.data() + v.size() || v.empty())
                    return stop(label + ": RowState '" + std::string(v) + "' inválido"), false;
                continue;
            } else {
                auto it = byAttr_.find(a);
                if (it == byAttr_.end()) continue;  // anything we do not know
                f = it->second;
            }
            expect = static_cast<std::size_t>(f) + 1;
            const auto fi = static_cast<std::size_t>(f);
            const FieldDef& def = defs[fi];
            std::string why;
            auto v = decodeValue(def.type, ranges_[fi], atts[i + 1], why);
            if (!v)
                return stop(label + ", campo " + def.name + ": valor '" + std::string(atts[i + 1]) + "' " +
                            (why.empty() ? std::string("inválido para o tipo ") + typeName(def.type) : why)),
                       false;
            r.values[fi] = std::move(*v);
        }
        if (state & (kOriginalVersion | kDeleted)) return true;  // not a record
        rows.push_back(std::move(r));
        return true;
    }

    std::string source_;
    XML_Parser parser_ = nullptr;
    std::string error_;
    std::vector<Elem> stack_;
    std::vector<std::string> attrNames_;
    std::unordered_map<std::string, int> byAttr_;
    std::vector<IntRange> ranges_;  // per field, from its type name
    std::size_t rowElements_ = 0;   // ROW elements read, live or not
    bool sawRoot_ = false, sawMetadata_ = false, sawFields_ = false, sawRowData_ = false;
};

}  // namespace

std::string escapeDatapacketValue(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    try {
        appendEscaped(out, utf8);
    } catch (const EscapeError& e) {
        throw DatapacketError(e.what);
    }
    return out;
}

void loadDatapacketFromString(RecordSet& rs, std::string_view bytes, std::string_view sourceName) {
    Reader reader(sourceName);
    reader.parse(bytes);
    // Built aside and handed over only when everything decoded.
    rs.assign(std::move(reader.defs), std::move(reader.rows));
}

void loadDatapacket(RecordSet& rs, const std::filesystem::path& file) {
    const std::string name = file.string();
    std::error_code ec;
    const auto st = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(st)) fail(name, "arquivo não encontrado");
    if (std::filesystem::is_directory(st)) fail(name, "é uma pasta, não um arquivo");
    std::ifstream in(file, std::ios::binary);
    if (!in) fail(name, "não foi possível abrir o arquivo para leitura");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) fail(name, "erro de leitura");
    loadDatapacketFromString(rs, bytes, name);
}

std::string datapacketToString(const RecordSet& rs) { return render(rs, rs.name().empty() ? "XML" : rs.name()); }

void saveDatapacket(const RecordSet& rs, const std::filesystem::path& file) {
    const std::string name = file.string();
    const std::string bytes = render(rs, name);
    // Written beside the target and renamed into place: a failed save keeps the old file.
    std::filesystem::path tmp = file;
    tmp += ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) fail(name, "não foi possível criar o arquivo: " + systemReason(errno));
    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(tmp.c_str());
        fail(name, "erro ao gravar o arquivo: " + systemReason(err));
    };
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) abandon(errno);
        done += static_cast<std::size_t>(n);
    }
    // A full disk may only show when the data reaches it.
    if (::fsync(fd) != 0) abandon(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        fail(name, "erro ao gravar o arquivo: " + systemReason(err));
    }
    std::error_code ec;
    std::filesystem::rename(tmp, file, ec);
    if (ec) {
        std::error_code ignore;
        std::filesystem::remove(tmp, ignore);
        fail(name, "não foi possível gravar o arquivo: " + systemReason(ec));
    }
}

}  // namespace tcese
