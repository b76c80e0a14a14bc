#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace kalydor {

/// One prepared statement; parameters are bound by 1-based position.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bindBlob(int index, std::string_view bytes);
    SqliteStatement& bindNull(int index);

    /// Advances to the next row; false when there is none. Errors throw.
    bool step();
    /// Runs a statement that returns no rows.
    void run();
    void reset();

    std::int64_t integer(int column) const;
    std::string text(int column) const;
    std::string blob(int column) const;
    std::int64_t blobSize(int column) const;
    /// True when the column of the current row holds NULL.
    bool isNull(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

/// Opening modes of a database file.
enum class SqliteOpen {
    ExistingFile, ///< the file must exist; it is never created
    CreateFile,   ///< the file is created (an existing one is opened)
    ReadOnly,     ///< the file must exist; nothing is written to it
    Immutable,    ///< read-only, and no lock or side file is used: for a file nobody can write
};

/// A connection to one SQLite file. Errors are raised as kalydor::Error carrying SQLite's
/// own message.
class SqliteDatabase {
public:
    SqliteDatabase(const std::string& path, SqliteOpen mode);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    void exec(std::string_view sql);
    sqlite3* handle() const { return m_db; }
    int changes() const;
    /// Whether a transaction is open on this connection.
    bool inTransaction() const;
    /// The last error code SQLite reported (extended codes off).
    int lastErrorCode() const;
    /// How many transactions this connection has committed (each autocommitted statement
    /// counts as one): every commit is a wait for the disk.
    std::uint64_t commits() const { return m_commits; }
    /// How long a change waits for another program's write to end before it fails.
    void setBusyTimeout(int milliseconds);

private:
    sqlite3* m_db = nullptr;
    std::uint64_t m_commits = 0;
};

/// A transaction that rolls back unless committed. BEGIN IMMEDIATE takes the write lock at
/// once (waiting for another writer as long as the busy timeout allows), so a read-then-write
/// (such as handing out an identifier) cannot interleave. Opened inside another transaction
/// it is a savepoint of that one.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void commit();

private:
    SqliteDatabase& m_db;
    bool m_nested;
    bool m_open = true;
};

/// Throws the error of a failed SQLite call: "IDS_TABLEBUSY" naming the file when another
/// program holds the table's write lock, SQLite's own message otherwise.
[[noreturn]] void throwSqliteError(sqlite3* db, int code);

/// Whether a connection of this or another program has the SQLite file at `path` open (a
/// table in the write-ahead-log mode keeps a shared lock while it is open): the exclusive
/// lock is refused. False for a file SQLite cannot open or read at all.
bool sqliteFileInUse(const std::string& path);

/// Name of the collation that orders names as people see them; registered on every
/// connection this wrapper opens.
inline constexpr const char* kNameCollation = "KALYDOR_NAME";

} // namespace kalydor
