#include "data/connection.h"

#include <firebird/Interface.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "config/encoding.h"

namespace fb = Firebird;

namespace tcese {

// ---- Firebird plumbing ---------------------------------------------------

namespace {

fb::IMaster* master() {
    static fb::IMaster* m = fb::fb_get_master_interface();
    return m;
}

fb::IUtil* util() { return master()->getUtilInterface(); }

// A status that throws FbException on error, disposed with its owner.
class Status : public fb::ThrowStatusWrapper {
public:
    Status() : ThrowStatusWrapper(master()->getStatus()) {}
    ~Status() { dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
};

// Firebird's texts are ASCII, but values quoted in them arrive as the database's
// bytes (Windows-1252) while object names may be UTF-8.
std::string messageToUtf8(std::string_view s) {
    try {
        for (std::size_t i = 0; i < s.size();) utf8Next(s, i);
        return std::string(s);
    } catch (const EncodingError&) {
        return cp1252ToUtf8(s);
    }
}

std::string statusText(fb::IStatus* status) {
    char buf[4096];
    buf[0] = 0;
    util()->formatStatus(buf, sizeof buf, status);
    std::string s(buf, strnlen(buf, sizeof buf));
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return messageToUtf8(s);
}

long statusCode(fb::IStatus* status) {
    const intptr_t* e = status->getErrors();
    return e && e[0] == isc_arg_gds ? static_cast<long>(e[1]) : 0;
}

// Seconds a write waits for a row that another user's open transaction holds,
// so that the window never freezes for as long as that transaction lasts.
constexpr unsigned char kLockTimeoutSeconds = 5;

// A row held or changed by another transaction: a lock wait that ran out, a
// conflicting update, a deadlock.
bool isLockConflict(fb::IStatus* status) {
    const intptr_t* e = status->getErrors();
    for (; e && e[0] != isc_arg_end; e += (e[0] == isc_arg_cstring ? 3 : 2)) {
        if (e[0] != isc_arg_gds) continue;
        switch (e[1]) {
            case isc_lock_conflict:
            case isc_lock_timeout:
            case isc_deadlock:
            case isc_update_conflict:
                return true;
            default:
                break;
        }
    }
    return false;
}

DatabaseError fbError(const std::string& context, const fb::FbException& e, std::string sql = {}) {
    DatabaseError error(context, statusText(e.getStatus()), std::move(sql), statusCode(e.getStatus()));
    if (isLockConflict(e.getStatus()))
        return DatabaseError::withAdvice(
            error, "Outro usuário está alterando o mesmo registro. Aguarde que ele termine e confirme de novo; "
                   "o que foi digitado continua na tela.");
    return error;
}

const std::string kSqlError = "Erro no comando SQL";

// What to do about the embedded engine's lock folder (FIREBIRD_LOCK, default
// /tmp/firebird/), which the Debian packages give to the group "firebird" only.
std::string lockFolderAdvice(const std::string& reason) {
    const char* env = std::getenv("FIREBIRD_LOCK");
    std::string dir = env && *env ? env : "/tmp/firebird";
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (reason.find("Permission denied") == std::string::npos || reason.find(dir + "/") == std::string::npos)
        return {};
    const char* user = std::getenv("USER");
    return "\nO Firebird embutido guarda suas travas na pasta " + dir +
           "/, que só o grupo firebird pode usar. Peça ao administrador: sudo adduser " +
           (user && *user ? user : "USUÁRIO") + " firebird; depois saia e entre de novo na sessão.";
}

// Releases a reference when the scope ends unless taken back.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    ~Ref() { reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& o) noexcept : p_(o.take()) {}
    Ref& operator=(Ref&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = o.take();
        }
        return *this;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T* take() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    void reset(T* p = nullptr) {
        if (p_) p_->release();
        p_ = p;
    }

private:
    T* p_ = nullptr;
};

const unsigned char kTpbWrite[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_wait,
                                   isc_tpb_lock_timeout, 1, kLockTimeoutSeconds, isc_tpb_write};
const unsigned char kTpbRead[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_wait,
                                  isc_tpb_read};

const unsigned char kTpbSnapshot[] = {isc_tpb_version3, isc_tpb_concurrency, isc_tpb_wait, isc_tpb_read};

fb::ITransaction* beginTransaction(fb::IAttachment* att, bool write) {
    Status st;
    return write ? att->startTransaction(&st, sizeof kTpbWrite, kTpbWrite)
                 : att->startTransaction(&st, sizeof kTpbRead, kTpbRead);
}

// Commit releases the interface; a failed rollback still has to let it go.
void rollbackQuietly(fb::ITransaction* tx) noexcept {
    if (!tx) return;
    try {
        Status st;
        tx->rollback(&st);
    } catch (...) {
        tx->release();
    }
}

// ---- Dates ------------------------------------------------------------------

constexpr std::chrono::sys_days kFbEpoch{std::chrono::year{1858} / 11 / 17};

Date dateFromIsc(ISC_DATE d) { return Date{kFbEpoch + std::chrono::days{d}}; }
ISC_DATE iscFromDate(const Date& d) { return static_cast<ISC_DATE>((std::chrono::sys_days{d} - kFbEpoch).count()); }
// ISC_TIME counts 1/10000 s; the program keeps milliseconds.
TimeOfDay timeFromIsc(ISC_TIME t) { return TimeOfDay{static_cast<int>(t / 10)}; }
ISC_TIME iscFromTime(TimeOfDay t) { return static_cast<ISC_TIME>(t.ms) * 10; }

// ---- Values in message buffers -----------------------------------------------

template <class T>
T load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T>
void store(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

constexpr std::int64_t kPow10[] = {1,
                                   10,
                                   100,
                                   1000,
                                   10000,
                                   100000,
                                   1000000,
                                   10000000,
                                   100000000,
                                   1000000000,
                                   10000000000,
                                   100000000000,
                                   1000000000000,
                                   10000000000000,
                                   100000000000000,
                                   1000000000000000,
                                   10000000000000000,
                                   100000000000000000,
                                   1000000000000000000};

bool isUtf8Charset(unsigned cs) { return cs == 3 /* UNICODE_FSS */ || cs == 4 /* UTF8 */; }
unsigned bytesPerChar(unsigned cs) { return cs == 4 ? 4 : cs == 3 ? 3 : 1; }

// Database bytes to program text; plain ASCII needs no conversion.
std::string textFromDb(const char* p, std::size_t n, bool utf8) {
    if (utf8) return std::string(p, n);
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80) return cp1252ToUtf8(std::string_view(p, n));
    return std::string(p, n);
}

struct Column {
    enum Kind : std::uint8_t { Text, Varying, Short, Long, Int64, Float, Double, Date, Time, Timestamp, Boolean, TextBlob, Blob, Null };
    Kind kind = Null;
    bool utf8 = false;
    int scale = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
    unsigned length = 0;  // bytes
    unsigned chars = 0;   // characters of a CHAR/VARCHAR
    std::string name;
    std::string relation;
    std::string field;
};

std::string rtrim(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

[[noreturn]] void outOfRange(const std::string& what, std::int64_t v, int scale) {
    throw DatabaseError("Valor " + scaledToText(v, -scale) + " de " + what + " está fora da faixa de valores do programa");
}

// A NUMERIC/DECIMAL to the program's exact decimal (four places; more round half away from zero).
Decimal decimalOf(std::int64_t v, int scale, const std::string& what) {
    const int d = -scale;
    if (d <= Decimal::kScale) {
        std::int64_t r;
        if (__builtin_mul_overflow(v, kPow10[Decimal::kScale - d], &r)) outOfRange(what, v, scale);
        return Decimal::fromScaled(r);
    }
    const std::int64_t div = kPow10[d - Decimal::kScale];
    std::int64_t q = v / div;
    std::int64_t rem = v % div;
    if (rem < 0) rem = -rem;
    if (2 * rem >= div) q += v < 0 ? -1 : 1;
    return Decimal::fromScaled(q);
}

// The reads and writes of blobs happen in the transaction of the statement.
struct BlobIo {
    fb::IAttachment* att;
    fb::ITransaction* tx;
};

std::string readBlob(const BlobIo& io, ISC_QUAD id) {
    Status st;
    Ref<fb::IBlob> blob(io.att->openBlob(&st, io.tx, &id, 0, nullptr));
    std::string out;
    const unsigned char items[] = {isc_info_blob_total_length};
    unsigned char info[32] = {};
    blob->getInfo(&st, sizeof items, items, sizeof info, info);
    if (info[0] == isc_info_blob_total_length) {
        const unsigned len = info[1] | (info[2] << 8);
        std::uint64_t total = 0;
        for (unsigned i = 0; i < len && i < 8; ++i) total |= static_cast<std::uint64_t>(info[3 + i]) << (8 * i);
        out.reserve(static_cast<std::size_t>(total));
    }
    char chunk[32768];
    for (;;) {
        unsigned got = 0;
        const int r = blob->getSegment(&st, sizeof chunk, chunk, &got);
        if (r == fb::IStatus::RESULT_NO_DATA) break;
        out.append(chunk, got);
    }
    blob->close(&st);
    blob.take();  // close released it
    return out;
}

ISC_QUAD writeBlob(const BlobIo& io, std::string_view bytes) {
    Status st;
    ISC_QUAD id{};
    Ref<fb::IBlob> blob(io.att->createBlob(&st, io.tx, &id, 0, nullptr));
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t n = std::min<std::size_t>(bytes.size() - pos, 65535);
        blob->putSegment(&st, static_cast<unsigned>(n), bytes.data() + pos);
        pos += n;
    }
    blob->close(&st);
    blob.take();
    return id;
}

Value decodeColumn(const Column& c, const unsigned char* buf, const BlobIo& io) {
    if (load<ISC_SHORT>(buf + c.nullOffset)) return std::monostate{};
    const unsigned char* p = buf + c.offset;
    switch (c.kind) {
    case Column::Text: {
        std::string s = textFromDb(reinterpret_cast<const char*>(p), c.length, c.utf8);
        // A multi-byte CHAR is padded to its byte length: keep its declared characters.
        if (c.utf8 && utf8Length(s) > c.chars) s.resize(utf8Prefix(s, c.chars).size());
        return s;
    }
    case Column::Varying:
        return textFromDb(reinterpret_cast<const char*>(p + 2), load<std::uint16_t>(p), c.utf8);
    case Column::Short: {
        const std::int64_t v = load<ISC_SHORT>(p);
        if (c.scale == 0) return v;
        return decimalOf(v, c.scale, c.name);
    }
    case Column::Long: {
        const std::int64_t v = load<ISC_LONG>(p);
        if (c.scale == 0) return v;
        return decimalOf(v, c.scale, c.name);
    }
    case Column::Int64: {
        const std::int64_t v = load<ISC_INT64>(p);
        if (c.scale == 0) return v;
        return decimalOf(v, c.scale, c.name);
    }
    case Column::Float:
        return static_cast<double>(load<float>(p));
    case Column::Double:
        return load<double>(p);
    case Column::Date:
        return dateFromIsc(load<ISC_DATE>(p));
    case Column::Time:
        return timeFromIsc(load<ISC_TIME>(p));
    case Column::Timestamp: {
        const auto ts = load<ISC_TIMESTAMP>(p);
        return DateTime{dateFromIsc(ts.timestamp_date), timeFromIsc(ts.timestamp_time)};
    }
    case Column::Boolean:
        return *p != 0;
    case Column::TextBlob: {
        const std::string bytes = readBlob(io, load<ISC_QUAD>(p));
        return c.utf8 ? bytes : cp1252ToUtf8(bytes);
    }
    case Column::Blob:
        return readBlob(io, load<ISC_QUAD>(p));
    case Column::Null:
        return std::monostate{};
    }
    return std::monostate{};
}

FieldDef fieldDefOf(const Column& c, int precision) {
    FieldDef d;
    d.name = c.name;
    switch (c.kind) {
    case Column::Text:
    case Column::Varying:
        d.type = FieldType::String;
        d.width = static_cast<int>(c.chars);
        break;
    case Column::Short:
    case Column::Long:
    case Column::Int64:
        if (c.scale < 0) {
            d.type = FieldType::Fixed;
            d.width = precision;
            d.decimals = -c.scale;
        } else {
            d.type = c.kind == Column::Short ? FieldType::Int16 : c.kind == Column::Long ? FieldType::Int32 : FieldType::Int64;
        }
        break;
    case Column::Float:
    case Column::Double:
        d.type = FieldType::Float;
        break;
    case Column::Date:
        d.type = FieldType::Date;
        break;
    case Column::Time:
        d.type = FieldType::Time;
        break;
    case Column::Timestamp:
        d.type = FieldType::SQLDateTime;
        break;
    case Column::Boolean:
        d.type = FieldType::Boolean;
        break;
    case Column::TextBlob:
        d.type = FieldType::Memo;
        break;
    case Column::Blob:
        d.type = FieldType::Blob;
        break;
    case Column::Null:
        d.type = FieldType::String;
        break;
    }
    return d;
}

// Column layout of a result message. Repeated names get "_1", "_2"..., as a record set
// cannot hold two fields of one name.
std::vector<Column> describeColumns(fb::IMessageMetadata* meta, const std::string& sql) {
    Status st;
    const unsigned n = meta->getCount(&st);
    std::vector<Column> cols(n);
    std::unordered_set<std::string> seen;
    for (unsigned i = 0; i < n; ++i) {
        Column& c = cols[i];
        const unsigned type = meta->getType(&st, i);
        c.scale = meta->getScale(&st, i);
        c.offset = meta->getOffset(&st, i);
        c.nullOffset = meta->getNullOffset(&st, i);
        c.length = meta->getLength(&st, i);
        const unsigned cs = meta->getCharSet(&st, i);
        c.utf8 = isUtf8Charset(cs);
        std::string base = messageToUtf8(meta->getAlias(&st, i));
        if (base.empty()) base = "COLUMN" + std::to_string(i + 1);
        std::string name = base;
        for (int k = 1; seen.count(asciiUpper(name)); ++k) name = base + "_" + std::to_string(k);
        seen.insert(asciiUpper(name));
        c.name = name;
        c.relation = rtrim(meta->getRelation(&st, i));
        c.field = rtrim(meta->getField(&st, i));
        switch (type) {
        case SQL_TEXT:
            c.kind = Column::Text;
            c.chars = c.length / bytesPerChar(cs);
            break;
        case SQL_VARYING:
            c.kind = Column::Varying;
            c.chars = c.length / bytesPerChar(cs);
            break;
        case SQL_SHORT: c.kind = Column::Short; break;
        case SQL_LONG: c.kind = Column::Long; break;
        case SQL_INT64: c.kind = Column::Int64; break;
        case SQL_FLOAT: c.kind = Column::Float; break;
        case SQL_DOUBLE:
        case SQL_D_FLOAT: c.kind = Column::Double; break;
        case SQL_TYPE_DATE: c.kind = Column::Date; break;
        case SQL_TYPE_TIME: c.kind = Column::Time; break;
        case SQL_TIMESTAMP: c.kind = Column::Timestamp; break;
        case SQL_BOOLEAN: c.kind = Column::Boolean; break;
        case SQL_BLOB:
            c.kind = meta->getSubType(&st, i) == 1 ? Column::TextBlob : Column::Blob;
            break;
        case SQL_NULL: c.kind = Column::Null; break;
        default:
            throw DatabaseError("A coluna " + c.name + " tem um tipo de dado que o programa não lê (" +
                                    std::to_string(type) + ")",
                                {}, sql);
        }
    }
    return cols;
}

// Storage decides the precision of an expression (a SUM of NUMERIC(15,2) is BIGINT).
int defaultPrecision(Column::Kind k) { return k == Column::Short ? 4 : k == Column::Long ? 9 : 18; }

// ---- Parameters -------------------------------------------------------------

struct Param {
    unsigned type = 0;
    unsigned subType = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
    unsigned length = 0;
    int scale = 0;
    bool utf8 = false;
};

// The input message of a statement: values go straight into the buffer;
// blob contents wait for the transaction that execute() runs in.
class ParamBlock {
public:
    ParamBlock() = default;
    ParamBlock(const ParamBlock&) = delete;
    ParamBlock& operator=(const ParamBlock&) = delete;

    void describe(fb::IStatement* stmt) {
        Status st;
        meta_.reset(stmt->getInputMetadata(&st));
        const unsigned n = meta_->getCount(&st);
        params_.resize(n);
        for (unsigned i = 0; i < n; ++i) {
            Param& p = params_[i];
            p.type = meta_->getType(&st, i);
            p.subType = meta_->getSubType(&st, i);
            p.offset = meta_->getOffset(&st, i);
            p.nullOffset = meta_->getNullOffset(&st, i);
            p.length = meta_->getLength(&st, i);
            p.scale = meta_->getScale(&st, i);
            p.utf8 = isUtf8Charset(meta_->getCharSet(&st, i));
        }
        buffer_.assign(meta_->getMessageLength(&st), 0);
        blobs_.assign(n, std::nullopt);
        clear();
    }

    int count() const { return static_cast<int>(params_.size()); }
    fb::IMessageMetadata* meta() const { return meta_.get(); }
    unsigned char* data() { return buffer_.empty() ? nullptr : buffer_.data(); }

    void clear() {
        for (std::size_t i = 0; i < params_.size(); ++i) {
            store<ISC_SHORT>(&buffer_[params_[i].nullOffset], -1);
            blobs_[i].reset();
        }
    }

    void set(int index, const Value& v) {
        if (index < 0 || index >= count())
            throw DatabaseError("Parâmetro " + std::to_string(index + 1) + " inexistente: o comando tem " +
                                std::to_string(count()));
        const Param& p = params_[static_cast<std::size_t>(index)];
        unsigned char* at = &buffer_[p.offset];
        // NULL until the value has been written: a failed bind leaves no stale value.
        store<ISC_SHORT>(&buffer_[p.nullOffset], -1);
        blobs_[static_cast<std::size_t>(index)].reset();
        if (isNull(v) || (std::holds_alternative<std::string>(v) && std::get<std::string>(v).empty() &&
                          p.type != SQL_TEXT && p.type != SQL_VARYING && p.type != SQL_BLOB))
            return;
        switch (p.type) {
        case SQL_TEXT:
        case SQL_VARYING: {
            const std::string text = valueToText(v);
            const std::string bytes = p.utf8 ? text : toDb(text, index);
            if (bytes.size() > p.length)
                fail(index, "o texto '" + text + "' tem " + std::to_string(utf8Length(text)) +
                                " caracteres e o campo aceita " + std::to_string(p.length / (p.utf8 ? 4 : 1)));
            if (p.type == SQL_TEXT) {
                std::memcpy(at, bytes.data(), bytes.size());
                std::memset(at + bytes.size(), ' ', p.length - bytes.size());
            } else {
                store<std::uint16_t>(at, static_cast<std::uint16_t>(bytes.size()));
                std::memcpy(at + 2, bytes.data(), bytes.size());
            }
            break;
        }
        case SQL_SHORT: {
            const std::int64_t s = scaled(v, p.scale, index);
            if (s < std::numeric_limits<ISC_SHORT>::min() || s > std::numeric_limits<ISC_SHORT>::max())
                fail(index, "o valor " + valueToText(v) + " não cabe no campo");
            store<ISC_SHORT>(at, static_cast<ISC_SHORT>(s));
            break;
        }
        case SQL_LONG: {
            const std::int64_t s = scaled(v, p.scale, index);
            if (s < std::numeric_limits<ISC_LONG>::min() || s > std::numeric_limits<ISC_LONG>::max())
                fail(index, "o valor " + valueToText(v) + " não cabe no campo");
            store<ISC_LONG>(at, static_cast<ISC_LONG>(s));
            break;
        }
        case SQL_INT64:
            store<ISC_INT64>(at, scaled(v, p.scale, index));
            break;
        case SQL_FLOAT:
            store<float>(at, static_cast<float>(floating(v, index)));
            break;
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            store<double>(at, floating(v, index));
            break;
        case SQL_TYPE_DATE:
            store<ISC_DATE>(at, iscFromDate(dateTime(v, index).date));
            break;
        case SQL_TYPE_TIME: {
            TimeOfDay t;
            if (auto* tt = std::get_if<TimeOfDay>(&v))
                t = *tt;
            else if (auto* dt = std::get_if<DateTime>(&v))
                t = dt->time;
            else if (auto* s = std::get_if<std::string>(&v))
                t = std::get<TimeOfDay>(converted(FieldType::Time, *s, index));
            else
                fail(index, "o valor " + valueToText(v) + " não é uma hora");
            store<ISC_TIME>(at, iscFromTime(t));
            break;
        }
        case SQL_TIMESTAMP: {
            const DateTime dt = dateTime(v, index);
            store<ISC_TIMESTAMP>(at, ISC_TIMESTAMP{iscFromDate(dt.date), iscFromTime(dt.time)});
            break;
        }
        case SQL_BOOLEAN: {
            bool b;
            if (auto* x = std::get_if<bool>(&v))
                b = *x;
            else if (auto* i = std::get_if<std::int64_t>(&v))
                b = *i != 0;
            else if (auto* s = std::get_if<std::string>(&v))
                b = std::get<bool>(converted(FieldType::Boolean, *s, index));
            else
                fail(index, "o valor " + valueToText(v) + " não é lógico");
            *at = b ? 1 : 0;
            break;
        }
        case SQL_BLOB: {
            const std::string* s = std::get_if<std::string>(&v);
            const std::string text = s ? std::string() : valueToText(v);
            const std::string& src = s ? *s : text;
            blobs_[static_cast<std::size_t>(index)] = (p.subType == 1 && !p.utf8) ? toDb(src, index) : src;
            break;
        }
        case SQL_NULL:
            break;  // only the null flag means something
        default:
            fail(index, "tipo de parâmetro não suportado (" + std::to_string(p.type) + ")");
        }
        store<ISC_SHORT>(&buffer_[p.nullOffset], 0);
    }

    // Blob parameters become blobs of the transaction the statement runs in.
    void writeBlobs(const BlobIo& io) {
        for (std::size_t i = 0; i < params_.size(); ++i)
            if (blobs_[i]) store<ISC_QUAD>(&buffer_[params_[i].offset], writeBlob(io, *blobs_[i]));
    }

private:
    [[noreturn]] static void fail(int index, const std::string& why) {
        throw DatabaseError("Parâmetro " + std::to_string(index + 1) + ": " + why);
    }

    static std::string toDb(const std::string& text, int index) {
        try {
            return utf8ToCp1252(text);
        } catch (const EncodingError& e) {
            fail(index, e.what());
        }
    }

    static Value converted(FieldType type, const std::string& text, int index) {
        FieldDef def;
        def.name = "?" + std::to_string(index + 1);
        def.type = type;
        try {
            Value v = valueFromText(def, text);
            if (isNull(v)) fail(index, "valor vazio");
            return v;
        } catch (const RecordSetError& e) {
            fail(index, e.what());
        }
    }

    static std::int64_t scaled(const Value& v, int scale, int index) {
        const int d = -scale;
        std::int64_t r = 0;
        bool overflow = false;
        if (auto* i = std::get_if<std::int64_t>(&v)) {
            overflow = __builtin_mul_overflow(*i, kPow10[d], &r);
        } else if (auto* x = std::get_if<Decimal>(&v)) {
            if (d <= Decimal::kScale)
                r = x->roundedUnits(d);
            else
                overflow = __builtin_mul_overflow(x->scaled(), kPow10[d - Decimal::kScale], &r);
        } else if (auto* f = std::get_if<double>(&v)) {
            const double s = std::round(*f * static_cast<double>(kPow10[d]));
            overflow = !(s > -9.2e18 && s < 9.2e18);
            if (!overflow) r = static_cast<std::int64_t>(s);
        } else if (auto* b = std::get_if<bool>(&v)) {
            r = (*b ? 1 : 0) * kPow10[d];
        } else if (auto* s = std::get_if<std::string>(&v)) {
            auto x = Decimal::tryParse(*s);
            if (!x) fail(index, "'" + *s + "' não é um número");
            return scaled(*x, scale, index);
        } else {
            fail(index, "o valor " + valueToText(v) + " não é um número");
        }
        if (overflow) fail(index, "o valor " + valueToText(v) + " não cabe no campo");
        return r;
    }

    static double floating(const Value& v, int index) {
        if (auto* f = std::get_if<double>(&v)) return *f;
        if (auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
        if (auto* x = std::get_if<Decimal>(&v)) return static_cast<double>(x->scaled()) / Decimal::kOne;
        if (auto* s = std::get_if<std::string>(&v)) return std::get<double>(converted(FieldType::Float, *s, index));
        fail(index, "o valor " + valueToText(v) + " não é um número");
    }

    static DateTime dateTime(const Value& v, int index) {
        if (auto* d = std::get_if<Date>(&v)) return DateTime{*d, {}};
        if (auto* dt = std::get_if<DateTime>(&v)) return *dt;
        if (auto* s = std::get_if<std::string>(&v))
            return std::get<DateTime>(converted(FieldType::SQLDateTime, *s, index));
        fail(index, "o valor " + valueToText(v) + " não é uma data");
    }

    Ref<fb::IMessageMetadata> meta_;
    std::vector<Param> params_;
    std::vector<unsigned char> buffer_;
    std::vector<std::optional<std::string>> blobs_;
};

std::string sqlToDb(std::string_view sql) {
    try {
        return utf8ToCp1252(sql);
    } catch (const EncodingError& e) {
        throw DatabaseError("O comando SQL tem um caractere que a base de dados não guarda", e.what(),
                            std::string(sql));
    }
}

bool isRemotePath(std::string_view path) {
    if (path.starts_with("inet://") || path.starts_with("xnet://") || path.starts_with("wnet://")) return true;
    const auto colon = path.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    if (colon == 1) return false;  // a drive letter
    const std::string_view host = path.substr(0, colon);
    return host.front() != '/' && host.front() != '.';
}

std::string quoteIdent(std::string_view name) {
    std::string q = "\"";
    for (char c : name) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

}  // namespace

// ---- DatabaseError ---------------------------------------------------------------

namespace {
std::string composeMessage(const std::string& context, const std::string& reason, const std::string& sql) {
    std::string m = context;
    if (!reason.empty()) m += (m.empty() ? "" : ":\n") + reason;
    if (!sql.empty()) m += "\nComando SQL: " + sql;
    return m;
}
}  // namespace

DatabaseError::DatabaseError(const std::string& context, std::string reason, std::string sql, long code)
    : std::runtime_error(composeMessage(context, reason, sql)),
      context_(context),
      reason_(std::move(reason)),
      sql_(std::move(sql)),
      code_(code) {}

bool DatabaseError::cancelled() const { return code_ == isc_cancelled; }

bool DatabaseError::connectionLost() const {
    switch (code_) {
        case isc_att_shutdown:
        case isc_shutdown:
        case isc_conn_lost:
        case isc_network_error:
        case isc_net_read_err:
        case isc_net_write_err:
            return true;
        default:
            return false;
    }
}

std::string DatabaseError::technical() const { return composeMessage(context_, reason_, sql_); }

DatabaseError DatabaseError::withAdvice(const DatabaseError& e, std::string advice) {
    DatabaseError r(e.context_, e.reason_ + (e.reason_.empty() ? "" : "\n") + advice, e.sql_, e.code_);
    r.reason_ = e.reason_;
    r.advice_ = std::move(advice);
    return r;
}

// ---- Session -----------------------------------------------------------------

struct FbSession {
    fb::IAttachment* att = nullptr;
    fb::ITransaction* shared = nullptr;
    std::vector<Cursor::Impl*> cursors;  // open ones, abandoned when the connection closes
    // Precision of NUMERIC columns by relation (or procedure) and column.
    std::unordered_map<std::string, std::unordered_map<std::string, int>> precisions;
    std::unique_ptr<Statement::Impl> precisionQuery;

    // Queries opened while recording, for replayRecordedQueries().
    struct Recorded {
        std::string sql;
        Ref<fb::IMessageMetadata> meta;
        std::vector<unsigned char> params;
    };
    bool recording = false;
    std::vector<Recorded> recorded;
    // Queries with parameters, prepared once per text: a file that runs the same
    // statement for every row pays for its preparation once.
    std::unordered_map<std::string, std::unique_ptr<Statement::Impl>> statements;

    bool alive() const { return att != nullptr; }
    void requireAlive() const {
        if (!att) throw DatabaseError("A conexão com a base de dados não está aberta");
    }
    int precisionOf(fb::ITransaction* tx, const Column& c);
};

// The shared transaction when active, otherwise one of our own, committed by commit()
// and rolled back if the scope ends first.
class TxScope {
public:
    TxScope(FbSession& s, bool write) {
        s.requireAlive();
        if (s.shared) {
            tx_ = s.shared;
        } else {
            tx_ = beginTransaction(s.att, write);
            own_ = true;
        }
    }
    ~TxScope() {
        if (own_) rollbackQuietly(tx_);
    }
    TxScope(const TxScope&) = delete;
    TxScope& operator=(const TxScope&) = delete;

    fb::ITransaction* get() const { return tx_; }
    bool own() const { return own_; }
    void commit() {
        if (own_ && tx_) {
            Status st;
            tx_->commit(&st);
            tx_ = nullptr;
        }
    }
    // Hands the transaction over (to a cursor that lives longer than this scope).
    fb::ITransaction* release() {
        own_ = false;
        return tx_;
    }

private:
    fb::ITransaction* tx_ = nullptr;
    bool own_ = false;
};

// ---- Statement::Impl -------------------------------------------------------------

struct Statement::Impl {
    std::shared_ptr<FbSession> session;
    std::string sql;  // as given, UTF-8, for messages
    fb::IStatement* stmt = nullptr;
    unsigned type = 0;
    ParamBlock params;
    Ref<fb::IMessageMetadata> outMeta;
    std::vector<unsigned char> outBuffer;
    unsigned outCount = 0;
    Status st;

    Impl(std::shared_ptr<FbSession> s, std::string_view text, fb::ITransaction* tx) : session(std::move(s)), sql(text) {
        const std::string bytes = sqlToDb(sql);
        try {
            stmt = session->att->prepare(&st, tx, static_cast<unsigned>(bytes.size()), bytes.c_str(),
                                         Connection::kDialect, fb::IStatement::PREPARE_PREFETCH_METADATA);
            type = stmt->getType(&st);
            params.describe(stmt);
            outMeta.reset(stmt->getOutputMetadata(&st));
            outBuffer.assign(outMeta->getMessageLength(&st), 0);
            outCount = outMeta->getCount(&st);
        } catch (const fb::FbException& e) {
            releaseStmt();
            throw fbError(kSqlError, e, sql);
        }
    }
    ~Impl() { releaseStmt(); }

    void releaseStmt() noexcept {
        if (!stmt) return;
        if (session && session->alive()) {
            try {
                stmt->free(&st);
                stmt = nullptr;
                return;
            } catch (...) {
            }
        }
        stmt->release();
        stmt = nullptr;
    }

    bool isQuery() const { return type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd; }
    bool hasOutput() const { return outCount > 0; }

    // Runs once in tx; returns rows affected.
    long run(fb::ITransaction* tx) {
        params.writeBlobs(BlobIo{session->att, tx});
        if (isQuery()) {
            // Run for its effects (a selectable procedure may change data).
            Ref<fb::IResultSet> rs(stmt->openCursor(&st, tx, params.meta(), params.data(), outMeta.get(), 0));
            while (rs->fetchNext(&st, outBuffer.data()) == fb::IStatus::RESULT_OK) {
            }
            rs->close(&st);
            rs.take();
            return 0;
        }
        stmt->execute(&st, tx, params.meta(), params.data(), hasOutput() ? outMeta.get() : nullptr,
                      hasOutput() ? outBuffer.data() : nullptr);
        if (type == isc_info_sql_stmt_ddl) {
            session->precisions.clear();
            session->statements.clear();  // their tables may have changed
        }
        return static_cast<long>(stmt->getAffectedRecords(&st));
    }

    void requireAlive() const {
        if (!session || !session->alive())
            throw DatabaseError("Comando preparado de uma conexão que já foi fechada", {}, sql);
    }
};

FbSession::Recorded recordOf(Statement::Impl& stmt) {
    FbSession::Recorded r;
    r.sql = stmt.sql;
    if (fb::IMessageMetadata* meta = stmt.params.meta()) {
        Status st;
        meta->addRef();
        r.meta.reset(meta);
        const unsigned char* data = stmt.params.data();
        if (data) r.params.assign(data, data + meta->getMessageLength(&st));
    }
    return r;
}

// ---- Cursor::Impl --------------------------------------------------------------------

struct Cursor::Impl {
    std::shared_ptr<FbSession> session;
    std::string sql;
    std::unique_ptr<Statement::Impl> ownStmt;  // a one-off query
    Statement::Impl* stmt = nullptr;
    fb::ITransaction* tx = nullptr;
    bool ownTx = false;
    fb::IResultSet* rs = nullptr;
    bool procedureRow = false;  // EXECUTE PROCEDURE: one row from execute()
    bool open = false;
    bool lost = false;  // the connection closed under it
    std::vector<Column> columns;
    std::vector<FieldDef> defs;
    Status st;

    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() { abandon(); }

    const unsigned char* row() const { return stmt->outBuffer.data(); }
    BlobIo io() const { return BlobIo{session->att, tx}; }

    // Describes the result and opens it in tx (taken over when own).
    void start(fb::ITransaction* transaction, bool ownTransaction) {
        tx = transaction;
        ownTx = ownTransaction;
        session->cursors.push_back(this);
        open = true;
        if (!stmt->isQuery() && !(stmt->type == isc_info_sql_stmt_exec_procedure && stmt->hasOutput()))
            throw DatabaseError("O comando não retorna registros", {}, sql);
        columns = describeColumns(stmt->outMeta.get(), sql);
        defs.clear();
        defs.reserve(columns.size());
        for (const Column& c : columns) {
            int precision = 0;
            if ((c.kind == Column::Short || c.kind == Column::Long || c.kind == Column::Int64) && c.scale < 0)
                precision = session->precisionOf(tx, c);
            defs.push_back(fieldDefOf(c, precision));
        }
        stmt->params.writeBlobs(io());
        if (session->recording) session->recorded.push_back(recordOf(*stmt));
        if (stmt->isQuery()) {
            rs = stmt->stmt->openCursor(&st, tx, stmt->params.meta(), stmt->params.data(), stmt->outMeta.get(), 0);
        } else {
            stmt->stmt->execute(&st, tx, stmt->params.meta(), stmt->params.data(), stmt->outMeta.get(),
                                stmt->outBuffer.data());
            procedureRow = true;
        }
    }

    bool fetch() {
        if (!open) return false;
        if (procedureRow) {
            procedureRow = false;
            return true;
        }
        if (rs) {
            if (rs->fetchNext(&st, stmt->outBuffer.data()) == fb::IStatus::RESULT_OK) return true;
        }
        finish();
        return false;
    }

    void decodeRow(std::vector<Value>& out) const {
        out.reserve(columns.size());
        const BlobIo blobs = io();
        const unsigned char* buf = row();
        for (const Column& c : columns) out.push_back(decodeColumn(c, buf, blobs));
    }

    // Normal end: the result set closes and an own transaction commits.
    void finish() {
        if (!open) return;
        if (rs) {
            rs->close(&st);
            rs = nullptr;
        }
        if (ownTx && tx) {
            tx->commit(&st);
            tx = nullptr;
        }
        done();
    }

    // Early end or failure: nothing of ours stays open.
    void abandon() noexcept {
        if (!open) return;
        if (rs) {
            rs->release();
            rs = nullptr;
        }
        if (ownTx) rollbackQuietly(tx);
        tx = nullptr;
        done();
    }

    void done() noexcept {
        open = false;
        auto& list = session->cursors;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (ownStmt) {
            ownStmt.reset();
            stmt = nullptr;
        }
    }
};

// Declared precision of NUMERIC/DECIMAL columns, one catalogue query per table or
// selectable procedure and connection.
int FbSession::precisionOf(fb::ITransaction* tx, const Column& c) {
    if (c.relation.empty() || c.field.empty()) return defaultPrecision(c.kind);
    auto it = precisions.find(c.relation);
    if (it == precisions.end()) {
        static constexpr std::string_view kSql =
            "select rf.rdb$field_name, f.rdb$field_precision from rdb$relation_fields rf"
            " join rdb$fields f on f.rdb$field_name = rf.rdb$field_source where rf.rdb$relation_name = ?"
            " union all "
            "select pp.rdb$parameter_name, f.rdb$field_precision from rdb$procedure_parameters pp"
            " join rdb$fields f on f.rdb$field_name = pp.rdb$field_source"
            " where pp.rdb$procedure_name = ? and pp.rdb$parameter_type = 1";
        // Owned by this session: it must not keep the session alive.
        std::shared_ptr<FbSession> self(std::shared_ptr<FbSession>(), this);
        if (!precisionQuery) precisionQuery = std::make_unique<Statement::Impl>(self, kSql, tx);
        precisionQuery->params.set(0, c.relation);
        precisionQuery->params.set(1, c.relation);
        std::unordered_map<std::string, int> found;
        Cursor::Impl cur;
        cur.session = self;
        cur.sql = std::string(kSql);
        cur.stmt = precisionQuery.get();
        cur.start(tx, false);
        std::vector<Value> v;
        while (cur.fetch()) {
            v.clear();
            cur.decodeRow(v);
            if (!isNull(v[0]) && !isNull(v[1]))
                found[rtrim(std::get<std::string>(v[0]))] = static_cast<int>(std::get<std::int64_t>(v[1]));
        }
        it = precisions.emplace(c.relation, std::move(found)).first;
    }
    auto f = it->second.find(c.field);
    return f == it->second.end() || f->second <= 0 ? defaultPrecision(c.kind) : f->second;
}

// ---- Cursor ----------------------------------------------------------------------

namespace {

// A DatabaseError of ours that did not know the statement yet.
DatabaseError withSql(const DatabaseError& e, std::string_view sql) {
    if (!e.sql().empty() || sql.empty()) return e;
    return DatabaseError(e.what(), {}, std::string(sql), e.code());
}

void bindAll(ParamBlock& block, const std::vector<Value>& params) {
    if (static_cast<int>(params.size()) != block.count())
        throw DatabaseError("O comando tem " + std::to_string(block.count()) + " parâmetro(s) e foram dados " +
                            std::to_string(params.size()));
    for (std::size_t i = 0; i < params.size(); ++i) block.set(static_cast<int>(i), params[i]);
}

// Opens a cursor on stmt (or on a new statement for sql) in the shared transaction or a
// read-only one of its own, which the cursor then owns.
// The session's prepared statement for this text, prepared on first use.
Statement::Impl* preparedOnce(FbSession& s, std::string_view sql) {
    s.requireAlive();
    const std::string key(sql);
    if (auto it = s.statements.find(key); it != s.statements.end()) return it->second.get();
    if (s.statements.size() >= 64) s.statements.clear();  // a bound on what a run keeps
    TxScope tx(s, false);
    auto shared = std::shared_ptr<FbSession>(std::shared_ptr<FbSession>{}, &s);
    auto stmt = std::make_unique<Statement::Impl>(shared, sql, tx.get());
    tx.commit();
    return s.statements.emplace(key, std::move(stmt)).first->second.get();
}

std::unique_ptr<Cursor::Impl> startCursor(const std::shared_ptr<FbSession>& session, std::string_view sql,
                                          Statement::Impl* stmt, const std::vector<Value>* params) {
    session->requireAlive();
    auto cur = std::make_unique<Cursor::Impl>();
    cur->session = session;
    cur->sql = std::string(sql);
    try {
        TxScope tx(*session, false);
        if (!stmt) {
            cur->ownStmt = std::make_unique<Statement::Impl>(session, sql, tx.get());
            stmt = cur->ownStmt.get();
        }
        cur->stmt = stmt;
        if (params) bindAll(stmt->params, *params);
        const bool own = tx.own();
        cur->start(tx.release(), own);
    } catch (const fb::FbException& e) {
        cur->abandon();
        throw fbError(kSqlError, e, std::string(sql));
    } catch (const DatabaseError& e) {
        cur->abandon();
        throw withSql(e, sql);
    } catch (...) {
        cur->abandon();
        throw;
    }
    return cur;
}

}  // namespace

Cursor::Cursor(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Cursor::Cursor(Cursor&&) noexcept = default;
Cursor& Cursor::operator=(Cursor&&) noexcept = default;
Cursor::~Cursor() = default;

const std::vector<FieldDef>& Cursor::fields() const {
    static const std::vector<FieldDef> none;
    return impl_ ? impl_->defs : none;
}

bool Cursor::fetch() {
    if (!impl_) return false;
    if (impl_->lost) throw DatabaseError("A conexão foi fechada durante a leitura", {}, impl_->sql);
    try {
        return impl_->fetch();
    } catch (const fb::FbException& e) {
        impl_->abandon();
        throw fbError(kSqlError, e, impl_->sql);
    }
}

Value Cursor::value(int col) const {
    if (!impl_ || !impl_->open) throw DatabaseError("Não há registro atual: o cursor está fechado");
    if (col < 0 || col >= static_cast<int>(impl_->columns.size()))
        throw DatabaseError("Coluna " + std::to_string(col) + " inexistente", {}, impl_->sql);
    try {
        return decodeColumn(impl_->columns[static_cast<std::size_t>(col)], impl_->row(), impl_->io());
    } catch (const fb::FbException& e) {
        throw fbError(kSqlError, e, impl_->sql);
    } catch (const DatabaseError& e) {
        throw withSql(e, impl_->sql);
    }
}

void Cursor::close() {
    if (!impl_) return;
    try {
        impl_->finish();
    } catch (const fb::FbException& e) {
        impl_->abandon();
        throw fbError(kSqlError, e, impl_->sql);
    }
}

// ---- Statement ---------------------------------------------------------------------

Statement::Statement(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Statement::Statement(Statement&&) noexcept = default;
Statement& Statement::operator=(Statement&&) noexcept = default;
Statement::~Statement() = default;

const std::string& Statement::sql() const { return impl_->sql; }
int Statement::paramCount() const { return impl_->params.count(); }

void Statement::bind(int index, const Value& value) {
    try {
        impl_->params.set(index, value);
    } catch (const DatabaseError& e) {
        throw withSql(e, impl_->sql);
    }
}

void Statement::clearBindings() { impl_->params.clear(); }

long Statement::execute() {
    impl_->requireAlive();
    try {
        TxScope tx(*impl_->session, true);
        const long n = impl_->run(tx.get());
        tx.commit();
        return n;
    } catch (const fb::FbException& e) {
        throw fbError(kSqlError, e, impl_->sql);
    }
}

long Statement::execute(const std::vector<Value>& params) {
    try {
        bindAll(impl_->params, params);
    } catch (const DatabaseError& e) {
        throw withSql(e, impl_->sql);
    }
    return execute();
}

Cursor Statement::openCursor() {
    impl_->requireAlive();
    return Cursor(startCursor(impl_->session, impl_->sql, impl_.get(), nullptr));
}

// ---- Connection ----------------------------------------------------------------------

struct Connection::Impl {
    std::shared_ptr<FbSession> session = std::make_shared<FbSession>();
    // Guards the attachment between close() and a cancel from another thread.
    std::mutex attachmentMutex;
};

namespace {

class Dpb {
public:
    Dpb() {
        Status st;
        b_ = util()->getXpbBuilder(&st, fb::IXpbBuilder::DPB, nullptr, 0);
    }
    ~Dpb() { b_->dispose(); }
    Dpb(const Dpb&) = delete;
    Dpb& operator=(const Dpb&) = delete;
    void text(unsigned char tag, const std::string& v) {
        Status st;
        b_->insertString(&st, tag, v.c_str());
    }
    void number(unsigned char tag, int v) {
        Status st;
        b_->insertInt(&st, tag, v);
    }
    unsigned length() {
        Status st;
        return b_->getBufferLength(&st);
    }
    const unsigned char* data() {
        Status st;
        return b_->getBuffer(&st);
    }

private:
    fb::IXpbBuilder* b_;
};

// Local paths are made absolute so that messages and the engine agree on the file.
std::string resolvePath(const std::string& path) {
    if (isRemotePath(path)) return path;
    return std::filesystem::absolute(path).lexically_normal().string();
}

void addLogin(Dpb& dpb) {
    dpb.text(isc_dpb_user_name, Connection::kUserName);
    dpb.text(isc_dpb_password, Connection::kPassword);
    dpb.number(isc_dpb_sql_dialect, Connection::kDialect);
}

}  // namespace

Connection::Connection() : impl_(std::make_unique<Impl>()) {}

Connection::~Connection() {
    try {
        close();
    } catch (...) {
    }
}

bool Connection::isConnected() const { return impl_->session->alive(); }

void Connection::connect() {
    if (isConnected()) return;
    if (beforeConnect_) beforeConnect_(*this);
    if (database_.empty())
        throw DatabaseError("Não foi possível abrir a base de dados: o caminho da base não foi informado");
    const std::string path = resolvePath(database_);
    auto session = std::make_shared<FbSession>();
    try {
        Status st;
        Dpb dpb;
        addLogin(dpb);
        // A role that the database does not know is ignored by Firebird.
        dpb.text(isc_dpb_sql_role_name, kRoleName);
        Ref<fb::IProvider> provider(master()->getDispatcher());
        session->att = provider->attachDatabase(&st, path.c_str(), dpb.length(), dpb.data());
    } catch (const fb::FbException& e) {
        const std::string reason = statusText(e.getStatus());
        DatabaseError error("Não foi possível abrir a base de dados " + path, reason, {}, statusCode(e.getStatus()));
        // The embedded engine opens a file for one process only; say what to do about it.
        if (reason.find("already opened with engine instance") != std::string::npos) {
            throw DatabaseError::withAdvice(
                error, "A base de dados já está aberta por outro programa (o Firebird embutido abre o arquivo "
                       "com exclusividade). Feche o outro programa, ou use um servidor Firebird, ou o modo "
                       "compartilhado descrito no README (FIREBIRD com ServerMode = SuperClassic).");
        }
        if (std::string advice = lockFolderAdvice(reason); !advice.empty())
            throw DatabaseError::withAdvice(error, advice.substr(1));
        throw error;
    }
    impl_->session = std::move(session);
}

void Connection::close() {
    FbSession& s = *impl_->session;
    if (!s.alive()) return;
    for (Cursor::Impl* c : std::vector<Cursor::Impl*>(s.cursors)) {
        c->lost = true;
        c->abandon();
    }
    if (s.shared) {
        rollbackQuietly(s.shared);
        s.shared = nullptr;
    }
    s.precisionQuery.reset();
    s.precisions.clear();
    s.statements.clear();
    std::lock_guard lock(impl_->attachmentMutex);
    fb::IAttachment* att = s.att;
    try {
        Status st;
        att->detach(&st);
    } catch (...) {
        att->release();
    }
    s.att = nullptr;
    impl_->session = std::make_shared<FbSession>();
}

void Connection::recordQueries(bool on) {
    FbSession& s = *impl_->session;
    s.recording = on;
    if (on) s.recorded.clear();
}

std::size_t Connection::recordedQueries() const { return impl_->session->recorded.size(); }

long Connection::replayRecordedQueries() {
    FbSession& s = *impl_->session;
    s.requireAlive();
    TxScope tx(s, false);
    long rows = 0;
    Status st;
    // Prepared once per text, as the run prepares its statements with parameters.
    std::unordered_map<std::string, Ref<fb::IStatement>> prepared;
    for (const FbSession::Recorded& r : s.recorded) {
        try {
            Ref<fb::IStatement>& stmt = prepared[r.sql];
            if (!stmt) {
                const std::string bytes = sqlToDb(r.sql);
                stmt.reset(s.att->prepare(&st, tx.get(), static_cast<unsigned>(bytes.size()), bytes.c_str(),
                                          kDialect, fb::IStatement::PREPARE_PREFETCH_METADATA));
            }
            Ref<fb::IMessageMetadata> out(stmt->getOutputMetadata(&st));
            std::vector<unsigned char> row(out->getMessageLength(&st));
            unsigned char* in = r.params.empty() ? nullptr : const_cast<unsigned char*>(r.params.data());
            if (stmt->getType(&st) == isc_info_sql_stmt_exec_procedure) {
                stmt->execute(&st, tx.get(), r.meta.get(), in, out.get(), row.data());
                ++rows;
                continue;
            }
            Ref<fb::IResultSet> rs(stmt->openCursor(&st, tx.get(), r.meta.get(), in, out.get(), 0));
            while (rs->fetchNext(&st, row.data()) == fb::IStatus::RESULT_OK) ++rows;
            rs->close(&st);
            rs.take();
        } catch (const fb::FbException& e) {
            throw fbError(kSqlError, e, r.sql);
        }
    }
    tx.commit();
    return rows;
}

bool Connection::cancelOperation() {
    std::lock_guard lock(impl_->attachmentMutex);
    fb::IAttachment* att = impl_->session->att;
    if (!att) return false;
    try {
        Status st;
        att->cancelOperation(&st, fb_cancel_raise);
        return true;
    } catch (const fb::FbException&) {
        return false;  // nothing was running
    }
}

void Connection::createDatabase(const std::string& path, std::string_view charset) {
    const std::string full = resolvePath(path);
    try {
        Status st;
        Dpb dpb;
        addLogin(dpb);
        dpb.number(isc_dpb_page_size, 8192);
        dpb.text(isc_dpb_set_db_charset, std::string(charset));
        Ref<fb::IProvider> provider(master()->getDispatcher());
        fb::IAttachment* att = provider->createDatabase(&st, full.c_str(), dpb.length(), dpb.data());
        try {
            att->detach(&st);
        } catch (...) {
            att->release();
            throw;
        }
    } catch (const fb::FbException& e) {
        const std::string reason = statusText(e.getStatus());
        throw DatabaseError("Não foi possível criar a base de dados " + full, reason + lockFolderAdvice(reason), {},
                            statusCode(e.getStatus()));
    }
}

void Connection::startTransaction() {
    FbSession& s = *impl_->session;
    s.requireAlive();
    if (s.shared) throw DatabaseError("A transação já está ativa");
    try {
        s.shared = beginTransaction(s.att, true);
    } catch (const fb::FbException& e) {
        throw fbError("Não foi possível iniciar a transação", e);
    }
}

void Connection::startSnapshot() {
    FbSession& s = *impl_->session;
    s.requireAlive();
    if (s.shared) throw DatabaseError("A transação já está ativa");
    try {
        Status st;
        s.shared = s.att->startTransaction(&st, sizeof kTpbSnapshot, kTpbSnapshot);
    } catch (const fb::FbException& e) {
        throw fbError("Não foi possível iniciar a transação", e);
    }
}

void Connection::commit() {
    FbSession& s = *impl_->session;
    if (!s.shared) throw DatabaseError("Não há transação ativa para confirmar");
    try {
        Status st;
        s.shared->commit(&st);
        s.shared = nullptr;
    } catch (const fb::FbException& e) {
        throw fbError("Não foi possível confirmar a transação", e);
    }
}

void Connection::rollback() {
    FbSession& s = *impl_->session;
    if (!s.shared) return;
    fb::ITransaction* tx = s.shared;
    s.shared = nullptr;
    try {
        Status st;
        tx->rollback(&st);
    } catch (const fb::FbException& e) {
        tx->release();
        throw fbError("Não foi possível desfazer a transação", e);
    }
}

bool Connection::inTransaction() const { return impl_->session->shared != nullptr; }

void Connection::open(RecordSet& rs, std::string_view sql, const std::vector<Value>& params) {
    rs.close();
    auto cur = startCursor(impl_->session, sql, params.empty() ? nullptr : preparedOnce(*impl_->session, sql), &params);
    std::vector<RecordSet::Row> rows;
    try {
        while (cur->fetch()) {
            rows.emplace_back();
            cur->decodeRow(rows.back().values);
        }
    } catch (const fb::FbException& e) {
        cur->abandon();
        throw fbError(kSqlError, e, std::string(sql));
    } catch (const DatabaseError& e) {
        cur->abandon();
        throw withSql(e, sql);
    } catch (...) {
        cur->abandon();
        throw;
    }
    RecordSet::Source source;
    source.sql = std::string(sql);
    source.updateTable = firstTableOfQuery(sql);
    source.columns.reserve(cur->columns.size());
    for (const Column& c : cur->columns)
        source.columns.push_back(!source.updateTable.empty() && c.relation == source.updateTable ? c.field : "");
    rs.assign(std::move(cur->defs), std::move(rows));
    rs.setSource(std::move(source));
}

Cursor Connection::openCursor(std::string_view sql, const std::vector<Value>& params) {
    return Cursor(startCursor(impl_->session, sql, nullptr, &params));
}

long Connection::execute(std::string_view sql, const std::vector<Value>& params) {
    FbSession& s = *impl_->session;
    s.requireAlive();
    try {
        TxScope tx(s, true);
        Statement::Impl stmt(impl_->session, sql, tx.get());
        bindAll(stmt.params, params);
        const long n = stmt.run(tx.get());
        tx.commit();
        return n;
    } catch (const fb::FbException& e) {
        throw fbError(kSqlError, e, std::string(sql));
    } catch (const DatabaseError& e) {
        throw withSql(e, sql);
    }
}

Statement Connection::prepare(std::string_view sql) {
    FbSession& s = *impl_->session;
    s.requireAlive();
    try {
        TxScope tx(s, false);
        auto impl = std::make_unique<Statement::Impl>(impl_->session, sql, tx.get());
        tx.commit();
        return Statement(std::move(impl));
    } catch (const fb::FbException& e) {
        throw fbError(kSqlError, e, std::string(sql));
    }
}

// ---- Scripts ------------------------------------------------------------------------------

namespace {

std::vector<std::string> leadingWords(std::string_view s, std::size_t n) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (words.size() < n) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        if (i >= s.size()) break;
        const std::size_t b = i;
        while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        words.push_back(asciiUpper(s.substr(b, i - b)));
    }
    return words;
}

// isql's own settings: nothing for the database to run.
bool isIsqlSetting(const std::vector<std::string>& w) {
    static const std::unordered_set<std::string> kSettings = {
        "NAMES", "AUTODDL", "ECHO", "LIST", "BAIL", "WARNINGS", "WNG", "HEADING", "COUNT", "STATS",
        "PLAN", "PLANONLY", "TIME", "BLOB", "BLOBDISPLAY", "WIDTH", "ROWCOUNT", "EXPLAIN", "MAXROWS",
        "SQLDA_DISPLAY", "KEEP_TRAN_PARAMS", "PER_TABLE_STATS", "TRANSACTION"};
    return w.size() >= 2 && w[0] == "SET" && kSettings.count(w[1]);
}

std::string trimSpace(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return std::string(s.substr(a, b - a));
}

// Splits a script into statements, calling run(text, line) for each; SET TERM changes the
// terminator as it goes. Comments are dropped; quoted text is kept as written.
template <class Run>
void splitScript(std::string_view script, Run run) {
    std::string term = ";";
    std::string text;
    int line = 1;
    int startLine = 0;
    auto emit = [&]() {
        std::string stmt = trimSpace(text);
        text.clear();
        const int at = startLine;
        startLine = 0;
        if (stmt.empty()) return;
        const auto w = leadingWords(stmt, 3);
        if (w.size() >= 2 && w[0] == "SET" && w[1] == "TERM") {
            if (w.size() < 3) throw DatabaseError("Script, linha " + std::to_string(at) + ": SET TERM sem terminador");
            term = w[2];
            return;
        }
        run(stmt, at);
    };
    std::size_t i = 0;
    const std::size_t n = script.size();
    while (i < n) {
        const char c = script[i];
        if (c == '-' && i + 1 < n && script[i + 1] == '-') {
            while (i < n && script[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && script[i + 1] == '*') {
            const int from = line;
            i += 2;
            while (i + 1 < n && !(script[i] == '*' && script[i + 1] == '/')) {
                if (script[i] == '\n') ++line;
                ++i;
            }
            if (i + 1 >= n) throw DatabaseError("Script, linha " + std::to_string(from) + ": comentário sem fim");
            i += 2;
            text += ' ';
            continue;
        }
        if (script.compare(i, term.size(), term) == 0) {
            emit();
            i += term.size();
            continue;
        }
        if (!std::isspace(static_cast<unsigned char>(c)) && startLine == 0) startLine = line;
        if (c == '\'' || c == '"') {
            const int from = line;
            text += c;
            ++i;
            for (;;) {
                if (i >= n) throw DatabaseError("Script, linha " + std::to_string(from) + ": texto entre aspas sem fim");
                if (script[i] == '\n') ++line;
                text += script[i];
                if (script[i] == c) {
                    if (i + 1 < n && script[i + 1] == c) {
                        text += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            continue;
        }
        if (c == '\n') ++line;
        text += c;
        ++i;
    }
    emit();
}

}  // namespace

void Connection::executeScript(std::string_view script) {
    FbSession& s = *impl_->session;
    s.requireAlive();
    const bool useShared = s.shared != nullptr;
    fb::ITransaction* tx = nullptr;
    auto current = [&]() -> fb::ITransaction* {
        if (useShared) return s.shared;
        if (!tx) tx = beginTransaction(s.att, true);
        return tx;
    };
    auto commitWork = [&]() {
        Status st;
        if (useShared) {
            s.shared->commitRetaining(&st);
        } else if (tx) {
            tx->commit(&st);
            tx = nullptr;
        }
    };
    auto rollbackWork = [&]() {
        Status st;
        if (useShared) {
            s.shared->rollbackRetaining(&st);
        } else if (tx) {
            tx->rollback(&st);
            tx = nullptr;
        }
    };
    try {
        splitScript(script, [&](const std::string& stmt, int line) {
            const auto w = leadingWords(stmt, 4);
            try {
                if (w.size() >= 3 && w[0] == "SET" && w[1] == "SQL" && w[2] == "DIALECT") {
                    if (w.size() < 4 || w[3] != "3") throw DatabaseError("Só o dialeto SQL 3 é aceito");
                    return;
                }
                if (isIsqlSetting(w)) return;
                if (w[0] == "COMMIT" && (w.size() == 1 || (w.size() == 2 && w[1] == "WORK"))) {
                    commitWork();
                    return;
                }
                if (w[0] == "ROLLBACK" && (w.size() == 1 || (w.size() == 2 && w[1] == "WORK"))) {
                    rollbackWork();
                    return;
                }
                Statement::Impl st(impl_->session, stmt, current());
                st.run(current());
                if (st.type == isc_info_sql_stmt_ddl) commitWork();
            } catch (const fb::FbException& e) {
                throw fbError("Erro no script, linha " + std::to_string(line), e, stmt);
            } catch (const DatabaseError& e) {
                throw DatabaseError("Erro no script, linha " + std::to_string(line),
                                    e.reason().empty() ? std::string(e.what()) : e.reason(), stmt, e.code());
            }
        });
        if (!useShared) commitWork();
    } catch (const fb::FbException& e) {
        if (!useShared) rollbackQuietly(tx);
        throw fbError("Erro no script", e);
    } catch (...) {
        if (!useShared) rollbackQuietly(tx);
        throw;
    }
}

// ---- Applying changes ----------------------------------------------------------------------

int Connection::applyUpdates(RecordSet& rs, int maxErrors, bool mergeOnSuccess) {
    applyMessages_.clear();
    if (rs.mode() != RecordSet::Mode::Browse) rs.post();
    if (rs.changeCount() == 0) {
        if (mergeOnSuccess) rs.mergeChangeLog();
        return 0;
    }
    const RecordSet::Source& src = rs.source();
    if (src.updateTable.empty())
        throw DatabaseError("'" + rs.name() + "' não veio de uma tabela da base de dados: as alterações não podem ser gravadas",
                            {}, src.sql);
    const auto& defs = rs.fields();
    auto origin = [&](std::size_t col) -> const std::string& {
        static const std::string none;
        return col < src.columns.size() ? src.columns[col] : none;
    };
    auto isBlob = [&](std::size_t col) {
        return defs[col].type == FieldType::Memo || defs[col].type == FieldType::Blob;
    };
    const std::string table = quoteIdent(src.updateTable);

    FbSession& s = *impl_->session;
    s.requireAlive();
    std::unordered_map<std::string, std::unique_ptr<Statement::Impl>> cache;
    int failures = 0;
    try {
        TxScope tx(s, true);
        // One row: returns false when it failed, keeping the message.
        auto apply = [&](const std::string& sql, const std::vector<Value>& params, bool mustHit) {
            try {
                auto& st = cache[sql];
                if (!st) st = std::make_unique<Statement::Impl>(impl_->session, sql, tx.get());
                bindAll(st->params, params);
                const long n = st->run(tx.get());
                if (mustHit && n == 0) {
                    applyMessages_.push_back("Registro não encontrado ou alterado por outro usuário (" + src.updateTable + ")");
                    return false;
                }
                return true;
            } catch (const fb::FbException& e) {
                applyMessages_.push_back(fbError(kSqlError, e, sql).what());
            } catch (const DatabaseError& e) {
                applyMessages_.push_back(withSql(e, sql).what());
            }
            return false;
        };
        auto whereAll = [&](const std::vector<Value>& original, std::string& sql, std::vector<Value>& params) {
            const char* glue = " where ";
            for (std::size_t c = 0; c < defs.size(); ++c) {
                if (origin(c).empty() || isBlob(c)) continue;
                sql += glue;
                sql += quoteIdent(origin(c));
                if (isNull(original[c])) {
                    sql += " is null";
                } else {
                    sql += " = ?";
                    params.push_back(original[c]);
                }
                glue = " and ";
            }
        };
        auto stop = [&]() { return maxErrors >= 0 && failures > maxErrors; };

        for (const auto& original : rs.deletedRows()) {
            if (stop()) break;
            std::string sql = "delete from " + table;
            std::vector<Value> params;
            whereAll(original, sql, params);
            if (!apply(sql, params, true)) ++failures;
        }
        for (const auto& row : rs.rows()) {
            if (stop()) break;
            if (row.state == RowState::Modified) {
                const std::vector<Value>& before = row.original ? *row.original : row.values;
                std::string sql = "update " + table + " set ";
                std::vector<Value> params;
                bool any = false;
                for (std::size_t c = 0; c < defs.size(); ++c) {
                    if (origin(c).empty() || row.values[c] == before[c]) continue;
                    if (any) sql += ", ";
                    sql += quoteIdent(origin(c)) + " = ?";
                    params.push_back(row.values[c]);
                    any = true;
                }
                if (!any) continue;  // only columns of other tables changed
                whereAll(before, sql, params);
                if (!apply(sql, params, true)) ++failures;
            }
        }
        for (const auto& row : rs.rows()) {
            if (stop()) break;
            if (row.state != RowState::Inserted) continue;
            std::string cols, marks;
            std::vector<Value> params;
            for (std::size_t c = 0; c < defs.size(); ++c) {
                if (origin(c).empty() || isNull(row.values[c])) continue;
                if (!params.empty()) {
                    cols += ", ";
                    marks += ", ";
                }
                cols += quoteIdent(origin(c));
                marks += "?";
                params.push_back(row.values[c]);
            }
            const std::string sql = params.empty() ? "insert into " + table + " default values"
                                                   : "insert into " + table + " (" + cols + ") values (" + marks + ")";
            if (!apply(sql, params, false)) ++failures;
        }
        cache.clear();
        if (tx.own() && failures == 0) tx.commit();
    } catch (const fb::FbException& e) {
        throw fbError("Não foi possível gravar as alterações de '" + rs.name() + "'", e);
    }
    if (failures == 0 && mergeOnSuccess) rs.mergeChangeLog();
    return failures;
}

// ---- Query text ------------------------------------------------------------------------------

std::string firstTableOfQuery(std::string_view sql) {
    std::size_t i = 0;
    const std::size_t n = sql.size();
    int depth = 0;
    bool afterFrom = false;
    auto isWord = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
    };
    while (i < n) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n') ++i;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const auto e = sql.find("*/", i + 2);
            i = e == std::string_view::npos ? n : e + 2;
        } else if (c == '\'') {
            if (afterFrom) return {};
            for (++i; i < n; ++i)
                if (sql[i] == '\'') {
                    if (i + 1 < n && sql[i + 1] == '\'') {
                        ++i;
                        continue;
                    }
                    break;
                }
            ++i;
        } else if (c == '"') {
            std::string name;
            for (++i; i < n; ++i) {
                if (sql[i] == '"') {
                    if (i + 1 < n && sql[i + 1] == '"') {
                        name += '"';
                        ++i;
                        continue;
                    }
                    break;
                }
                name += sql[i];
            }
            ++i;
            if (afterFrom) return name;
        } else if (isWord(c)) {
            const std::size_t b = i;
            while (i < n && isWord(sql[i])) ++i;
            const std::string word = asciiUpper(sql.substr(b, i - b));
            if (afterFrom) return word;
            if (depth == 0 && word == "FROM") afterFrom = true;
        } else {
            if (afterFrom) return {};  // a derived table or something else that is not a table name
            if (c == '(') ++depth;
            if (c == ')') --depth;
            ++i;
        }
    }
    return {};
}

}  // namespace tcese
