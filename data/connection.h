#pragma once
// The year's Firebird database, through the client library's OO API.
//
// No connection character set: the database keeps Windows-1252 bytes. SQL text and
// parameters are converted from UTF-8 on the way in, values back to UTF-8 on the
// way out (columns declared UTF8 or UNICODE_FSS, like the system tables, are
// already UTF-8 and pass unchanged).
//
// A local path ("/dados/VORA2007.FDB", "dados/VORA2007.FDB") opens with the embedded
// engine; "host:path" or "host/port:path" goes to a server.
//
// Transactions: `sharedTransaction` (read committed, record versions, waits on locks,
// read-write) is started and ended by the caller. While it is active every statement
// runs inside it; otherwise a read runs in a short read-only transaction of its own
// and a write in a read-write one, each committed as soon as it is done.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/recordset.h"

namespace tcese {

class DatabaseError : public std::runtime_error {
public:
    // what() is `context`, then Firebird's reason, then the statement.
    DatabaseError(const std::string& context, std::string reason = {}, std::string sql = {}, long code = 0);
    const std::string& reason() const { return reason_; }  // Firebird's own text; empty when the error is ours
    const std::string& sql() const { return sql_; }        // the statement that failed, if any
    long code() const { return code_; }                    // Firebird's error code (isc_...), 0 when ours
    bool cancelled() const;  // the statement was stopped by cancelOperation()
    // The connection itself is gone (server restarted or shut down, network lost).
    bool connectionLost() const;
    // What the user can do about it, in Portuguese (also at the end of what()); empty when we have no advice.
    const std::string& advice() const { return advice_; }
    // what() without the advice: where it failed and the database's own text.
    std::string technical() const;
    static DatabaseError withAdvice(const DatabaseError& e, std::string advice);

private:
    std::string context_;
    std::string advice_;
    std::string reason_;
    std::string sql_;
    long code_;
};

class Connection;
struct FbSession;

// Rows of a query read one at a time, for work that does not want them all in memory.
// Holds its transaction (or the shared one) until the last row or close().
class Cursor {
public:
    Cursor(Cursor&&) noexcept;
    Cursor& operator=(Cursor&&) noexcept;
    ~Cursor();

    const std::vector<FieldDef>& fields() const;
    bool fetch();                 // the next row; false (and closed) when none is left
    Value value(int col) const;   // a column of the row fetched last
    void close();

    struct Impl;

private:
    friend class Connection;
    friend class Statement;
    explicit Cursor(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// A statement prepared once and run many times with positional "?" parameters.
// Each value is converted to the type the database declares for its parameter
// (text, whole or exact numbers, dates, blobs); a value that does not fit throws
// DatabaseError naming the parameter. Bindings stay until rebound.
//
//   Statement ins = db.prepare("insert into CADCLI (MEXER, CLNT1) values (?, ?)");
//   db.startTransaction();                       // one transaction for the whole batch
//   for (const auto& c : clients) ins.execute({c.year, c.name});
//   db.commit();
//
// Without an active shared transaction every execute() commits on its own: slow for bulk.
// A statement must not outlive the connection's close(); using it afterwards throws.
class Statement {
public:
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) noexcept;
    ~Statement();

    const std::string& sql() const;
    int paramCount() const;
    void bind(int index, const Value& value);  // 0-based
    void clearBindings();                      // every parameter NULL

    long execute();  // rows affected
    long execute(const std::vector<Value>& params);
    Cursor openCursor();  // for a select with parameters

    struct Impl;

private:
    friend class Connection;
    explicit Statement(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

class Connection {
public:
    static constexpr const char* kUserName = "VORADBA8";
    static constexpr const char* kPassword = "mulx";
    static constexpr const char* kRoleName = "RoleName";
    static constexpr int kDialect = 3;

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setDatabase(std::string path) { database_ = std::move(path); }
    const std::string& database() const { return database_; }
    // Runs first in connect(), to set the database path (the settings file's job).
    void setBeforeConnect(std::function<void(Connection&)> hook) { beforeConnect_ = std::move(hook); }

    void connect();  // DatabaseError "Não foi possível abrir a base de dados <path>: ..."
    bool isConnected() const;
    void close();    // rolls back what is still open
    // Stops the statement running on this connection, from any thread: it fails with
    // an error whose cancelled() is true. False when there was nothing to stop (not
    // connected, or between statements). A frozen server may never answer.
    bool cancelOperation();

    // For benchmarks: remember every query opened from now on (its text and the
    // values of its parameters), then run them all again, fetching every row
    // without decoding it, to see what the engine alone costs. Returns the rows.
    void recordQueries(bool on);
    std::size_t recordedQueries() const;
    long replayRecordedQueries();

    // A new, empty database: page size 8192, dialect 3, the given default character set.
    static void createDatabase(const std::string& path, std::string_view charset = "WIN1252");

    // sharedTransaction. Starting it twice or committing without it throws; rollback
    // without it does nothing, so error paths may call it freely.
    void startTransaction();
    // sharedTransaction as a read-only snapshot (concurrency): every statement until
    // commit() or rollback() sees the database as it was when it started.
    void startSnapshot();
    void commit();
    void rollback();
    bool inTransaction() const;

    // Closes rs, runs the query and fetches every row; the cursor is on the first row.
    // Remembers the text and the first table after FROM for applyUpdates.
    void open(RecordSet& rs, std::string_view sql, const std::vector<Value>& params = {});
    Cursor openCursor(std::string_view sql, const std::vector<Value>& params = {});
    // A statement without result; rows affected.
    long execute(std::string_view sql, const std::vector<Value>& params = {});
    Statement prepare(std::string_view sql);

    // Statements ended by ";" (or the terminator of SET TERM), with "--" and "/* */"
    // comments and quoted literals. Run in order; DDL is committed as soon as it runs
    // so later statements can use it. isql settings (SET SQL DIALECT 3, SET NAMES ...)
    // are skipped; COMMIT and ROLLBACK end the script's transaction. A failure rolls
    // back what is not committed yet and names the line of the statement.
    void executeScript(std::string_view script);

    // Writes rs's pending changes to the table of its source query, one row at a time:
    // deletions, then edits, then appends. An edit or deletion finds its row by every
    // non-blob column as read. A row that fails (database error, or no row found)
    // counts once and its message is kept; with maxErrors >= 0, more failures than
    // that stop the apply. Runs in the shared transaction when active, else in one of
    // its own that is committed only when no row failed. With no failure the change
    // log is merged (unless mergeOnSuccess is false). Returns the number of failed rows.
    int applyUpdates(RecordSet& rs, int maxErrors = -1, bool mergeOnSuccess = true);
    const std::vector<std::string>& lastApplyErrorMessages() const { return applyMessages_; }

    struct Impl;

private:
    std::string database_;
    std::function<void(Connection&)> beforeConnect_;
    std::unique_ptr<Impl> impl_;
    std::vector<std::string> applyMessages_;
};

// The first table after FROM (outside parentheses, strings and comments), as the
// database names it: upper case unless quoted. Empty when there is none.
std::string firstTableOfQuery(std::string_view sql);

}  // namespace tcese
