#include "store/sqlitedatabase.h"

#include "base/collation.h"
#include "base/error.h"

#include <sqlite3.h>

namespace kalydor {

namespace {

bool isBusyCode(int code) {
    code &= 0xff;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

// The URI of a file for SQLite: the characters that end or escape a path in a URI escaped.
std::string fileUri(const std::string& path) {
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[static_cast<unsigned char>(c) >> 4];
            uri += kHex[static_cast<unsigned char>(c) & 0xf];
        } else {
            uri += c;
        }
    }
    return uri;
}

int countCommit(void* commits) {
    ++*static_cast<std::uint64_t*>(commits);
    return 0; // the commit goes ahead
}

} // namespace

void throwSqliteError(sqlite3* db, int code) {
    if (db && isBusyCode(code)) {
        const char* file = sqlite3_db_filename(db, "main");
        throw Error("IDS_TABLEBUSY", {std::string(file ? file : "")},
                    "The table %s is busy: another program is changing it. Nothing was "
                    "changed; try again when it has finished.");
    }
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw Error("IDS_DATABASEERROR", {message}, "Database error: %s");
}

namespace {

void check(sqlite3* db, int code) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW)
        throwSqliteError(db, code);
}

int compareCollated(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return compareNames(std::string_view(static_cast<const char*>(a), lengthA),
                        std::string_view(static_cast<const char*>(b), lengthB));
}

} // namespace

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql)
    : m_db(db) {
    check(m_db, sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &m_statement,
                                   nullptr));
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value) {
    check(m_db, sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
    // An empty text, not NULL: the nameless options record has the name "".
    check(m_db, sqlite3_bind_text64(m_statement, index, text.empty() ? "" : text.data(),
                                    text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

SqliteStatement& SqliteStatement::bindBlob(int index, std::string_view bytes) {
    // A zero-length blob, not NULL: an empty data block is a valid value.
    check(m_db, sqlite3_bind_blob64(m_statement, index, bytes.empty() ? "" : bytes.data(),
                                    bytes.size(), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index) {
    check(m_db, sqlite3_bind_null(m_statement, index));
    return *this;
}

bool SqliteStatement::step() {
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    sqlite3_reset(m_statement);
    throwSqliteError(m_db, code);
}

void SqliteStatement::run() {
    while (step()) {
    }
}

void SqliteStatement::reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

std::int64_t SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

std::string SqliteStatement::text(int column) const {
    const auto* data = sqlite3_column_text(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

std::string SqliteStatement::blob(int column) const {
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? std::string(static_cast<const char*>(data), size) : std::string();
}

std::int64_t SqliteStatement::blobSize(int column) const {
    return sqlite3_column_bytes(m_statement, column);
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

SqliteDatabase::SqliteDatabase(const std::string& path, SqliteOpen mode) {
    int flags = SQLITE_OPEN_NOMUTEX;
    std::string name = path;
    switch (mode) {
    case SqliteOpen::ExistingFile:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case SqliteOpen::CreateFile:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    case SqliteOpen::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case SqliteOpen::Immutable:
        flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        name = fileUri(path) + "?immutable=1";
        break;
    }
    const int code = sqlite3_open_v2(name.c_str(), &m_db, flags, nullptr);
    if (code != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw Error("IDS_TABLEOPENERROR", {path, message}, "The table %s cannot be opened: %s");
    }
    sqlite3_extended_result_codes(m_db, 0);
    sqlite3_create_collation(m_db, kNameCollation, SQLITE_UTF8, nullptr, compareCollated);
    sqlite3_commit_hook(m_db, countCommit, &m_commits);
}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close(m_db);
}

void SqliteDatabase::exec(std::string_view sql) {
    const std::string statement(sql);
    check(m_db, sqlite3_exec(m_db, statement.c_str(), nullptr, nullptr, nullptr));
}

int SqliteDatabase::changes() const {
    return sqlite3_changes(m_db);
}

int SqliteDatabase::lastErrorCode() const {
    return sqlite3_errcode(m_db);
}

void SqliteDatabase::setBusyTimeout(int milliseconds) {
    sqlite3_busy_timeout(m_db, milliseconds);
}

// Inside a transaction already open on the connection (a bulk operation that groups many
// changes), the nested one is a savepoint: it commits with the outer transaction.
bool SqliteDatabase::inTransaction() const {
    return sqlite3_get_autocommit(m_db) == 0;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db)
    : m_db(db)
    , m_nested(db.inTransaction()) {
    m_db.exec(m_nested ? "SAVEPOINT nested" : "BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
    if (!m_open)
        return;
    sqlite3_exec(m_db.handle(), m_nested ? "ROLLBACK TO nested; RELEASE nested" : "ROLLBACK",
                 nullptr, nullptr, nullptr);
}

void SqliteTransaction::commit() {
    m_db.exec(m_nested ? "RELEASE nested" : "COMMIT");
    m_open = false;
}

// Connections reading or writing a table in the write-ahead-log mode keep a shared lock on
// the file while they are open: a project held by a program, but also a catalogue a program
// has open (the desktop program keeps material.db open from start to exit). An exclusive
// lock is granted only when no other connection, of this or another program, has it open.
bool sqliteFileInUse(const std::string& path) {
    try {
        SqliteDatabase probe(path, SqliteOpen::ExistingFile);
        sqlite3_busy_timeout(probe.handle(), 0);
        try {
            probe.exec("PRAGMA locking_mode=EXCLUSIVE");
            probe.exec("BEGIN EXCLUSIVE");
            probe.exec("ROLLBACK");
        } catch (const Error&) {
            return isBusyCode(probe.lastErrorCode());
        }
    } catch (const Error&) {
        return false;
    }
    return false;
}

} // namespace kalydor
