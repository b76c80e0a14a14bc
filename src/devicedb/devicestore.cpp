#include "devicedb/devicestore.h"

#include "base/error.h"
#include "base/safefilewriter.h"
#include "base/textencoding.h"
#include "platform/settingsstore.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include <sqlite3.h>

#include <filesystem>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

// Marks the SQLite files that are device tables ("KLDV"); the item tables carry "KLYD".
constexpr std::int32_t kDeviceApplicationId = 0x4B4C4456;

// "Group" is a keyword of SQL and is always quoted.
constexpr std::string_view kSchema = "CREATE TABLE Devices ("
                                     " Type INTEGER NOT NULL,"
                                     " \"Group\" TEXT NOT NULL,"
                                     " Date INTEGER,"
                                     " Data BLOB,"
                                     " PRIMARY KEY (Type, \"Group\")) WITHOUT ROWID;";

// The order in which the records of one type are listed: by name as people read it, then
// byte for byte, so that names differing only in case keep one order.
constexpr std::string_view kListOrder = " ORDER BY \"Group\" COLLATE KALYDOR_NAME, \"Group\"";

// How long a change waits for another program's change to the shared table.
constexpr int kBusyTimeoutMs = 8000;

[[noreturn]] void throwForeign(const std::string& path) {
    throw Error("IDS_DEVICEDBFOREIGN", {path},
                "The file %s is not a device table. It is left as it is.");
}

[[noreturn]] void throwDamaged(const std::string& path, const std::string& fault) {
    throw Error("IDS_TABLEDAMAGED", {path, fault},
                "The table %s is damaged (%s). It is left as it is.");
}

bool isLockCode(int code) {
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

// A connection for a table this program may not change: where another program has the table
// open (its log beside it) the log is read too; otherwise nobody can change the file, which
// is read as it is, without locks or side files.
std::unique_ptr<SqliteDatabase> openForReading(const std::string& path) {
    std::error_code ec;
    const SqliteOpen mode =
        fs::exists(path + "-wal", ec) ? SqliteOpen::ReadOnly : SqliteOpen::Immutable;
    return std::make_unique<SqliteDatabase>(path, mode);
}

// The header, the schema and every page are checked before anything is written, so that a
// foreign or damaged file is never changed.
void checkDeviceTable(SqliteDatabase& db, const std::string& path) {
    try {
        SqliteStatement id(db.handle(), "PRAGMA application_id");
        if (!id.step() || id.integer(0) != kDeviceApplicationId)
            throwForeign(path);
        id.reset();
        // Prepared only when the table has the columns of the device table.
        SqliteStatement columns(db.handle(),
                                "SELECT Type, \"Group\", Date, Data FROM Devices LIMIT 0");
        SqliteStatement check(db.handle(), "PRAGMA quick_check(1)");
        const std::string verdict = check.step() ? check.text(0) : std::string("no answer");
        if (verdict != "ok")
            throwDamaged(path, verdict);
    } catch (const Error& error) {
        if (error.key() == "IDS_DEVICEDBFOREIGN" || error.key() == "IDS_TABLEDAMAGED")
            throw;
        const int code = db.lastErrorCode();
        if (isLockCode(code) || error.key() == "IDS_TABLEBUSY")
            throw Error("IDS_TABLELOCKED", {path},
                        "The file %s is in use by another program (or is already open in this "
                        "one).");
        if (code == SQLITE_CORRUPT)
            throwDamaged(path, sqlite3_errmsg(db.handle()));
        if (code == SQLITE_NOTADB || code == SQLITE_ERROR)
            throwForeign(path);
        throw;
    }
}

// An empty device table as the bytes of its file: built in memory, so that a new table is
// written with the safe file writer like any other file.
std::string emptyTableBytes() {
    SqliteDatabase db(":memory:", SqliteOpen::CreateFile);
    db.exec(kSchema);
    db.exec("PRAGMA application_id=" + std::to_string(kDeviceApplicationId));
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(db.handle(), "main", &size, 0);
    if (!bytes)
        throw Error("IDS_DATABASEERROR", {std::string("the new table cannot be serialised")},
                    "Database error: %s");
    std::string file(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    sqlite3_free(bytes);
    return file;
}

DeviceRecord recordOf(const SqliteStatement& row, std::int16_t type, RecordData data) {
    DeviceRecord record;
    record.Type = type;
    record.Name = textFromStoredBytes(row.text(0));
    if (!row.isNull(1))
        record.Date = DeviceDate::fromJulianDay(row.integer(1));
    if (data == RecordData::With)
        record.Data = row.blob(2);
    return record;
}

} // namespace

DeviceStore::DeviceStore(std::string path, std::unique_ptr<SqliteDatabase> db, bool readOnly)
    : m_path(std::move(path))
    , m_db(std::move(db))
    , m_readOnly(readOnly) {}

DeviceStore::~DeviceStore() = default;

std::unique_ptr<DeviceStore> DeviceStore::open(const std::string& path) {
    std::error_code ec;
    if (!fs::exists(path, ec))
        throw Error("IDS_TABLENOTFOUND", {path}, "The table %s does not exist.");
    if (!fs::is_regular_file(path, ec))
        throwForeign(path);
    const bool readOnly = !ItemStore::isWritable(path);
    std::unique_ptr<SqliteDatabase> db =
        readOnly ? openForReading(path)
                 : std::make_unique<SqliteDatabase>(path, SqliteOpen::ExistingFile);
    db->setBusyTimeout(kBusyTimeoutMs);
    checkDeviceTable(*db, path);
    if (!readOnly) {
        db->exec("PRAGMA journal_mode=WAL");
        db->exec("PRAGMA synchronous=FULL");
    }
    return std::unique_ptr<DeviceStore>(new DeviceStore(path, std::move(db), readOnly));
}

std::unique_ptr<DeviceStore> DeviceStore::create(const std::string& path) {
    std::error_code ec;
    // A table a program has open is never replaced under it: its connection would go on
    // with the old file while its log would be taken for the new one's.
    if (fs::is_regular_file(path, ec) && sqliteFileInUse(path))
        throw Error("IDS_TABLELOCKED", {path},
                    "The file %s is in use by another program (or is already open in this one).");
    const std::string bytes = emptyTableBytes();
    SafeFileWriter writer(path);
    writer.write(bytes);
    writer.commit();
    // Side files left behind by the old file (a program that ended without closing it)
    // belong to that file: read with the new one they would damage it.
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        fs::remove(writer.target() + suffix, ec);
    return open(path);
}

void DeviceStore::requireWritable() const {
    if (m_readOnly)
        throw Error("IDS_TABLEREADONLY", {m_path},
                    "The table %s is open read-only; nothing can be changed in it.");
}

std::optional<DeviceRecord> DeviceStore::find(std::int16_t type, const std::string& name) {
    SqliteStatement find(
        m_db->handle(), "SELECT \"Group\", Date, Data FROM Devices WHERE Type=?1 AND \"Group\"=?2");
    find.bind(1, std::int64_t{type}).bind(2, name);
    if (!find.step())
        return std::nullopt;
    return recordOf(find, type, RecordData::With);
}

void DeviceStore::put(std::int16_t type, const std::string& name, const DeviceDate& date,
                      std::string_view data) {
    requireWritable();
    checkDeviceName(name);
    const std::optional<std::int64_t> day = date.julianDay();
    if (!date.empty() && !day)
        throw Error("IDS_RADIATORDATAERROR", {name},
                    "The data of the device item \"%s\" do not fit together.");
    SqliteStatement insert(m_db->handle(), "INSERT OR REPLACE INTO Devices "
                                           "(Type, \"Group\", Date, Data) VALUES (?1, ?2, ?3, ?4)");
    insert.bind(1, std::int64_t{type}).bind(2, name).bindBlob(4, data);
    if (day)
        insert.bind(3, *day);
    else
        insert.bindNull(3);
    insert.run();
}

bool DeviceStore::deleteRecord(std::int16_t type, const std::string& name) {
    requireWritable();
    SqliteStatement remove(m_db->handle(), "DELETE FROM Devices WHERE Type=?1 AND \"Group\"=?2");
    remove.bind(1, std::int64_t{type}).bind(2, name);
    remove.run();
    return m_db->changes() > 0;
}

void DeviceStore::deleteAll() {
    requireWritable();
    m_db->exec("DELETE FROM Devices");
}

std::vector<DeviceRecord> DeviceStore::records(std::int16_t type, RecordData data) {
    const std::string sql =
        std::string(data == RecordData::With ? "SELECT \"Group\", Date, Data FROM Devices"
                                             : "SELECT \"Group\", Date FROM Devices") +
        " WHERE Type=?1" + std::string(kListOrder);
    SqliteStatement list(m_db->handle(), sql);
    list.bind(1, std::int64_t{type});
    std::vector<DeviceRecord> found;
    while (list.step())
        found.push_back(recordOf(list, type, data));
    return found;
}

std::string deviceTablePath(const platform::SettingsStore& settings,
                            const std::string& defaultPath) {
    const std::optional<std::string> chosen = settings.readText(
        std::string(kDeviceTableSettingsKey), std::string(kDeviceTableSettingsValue));
    return chosen && !chosen->empty() ? *chosen : defaultPath;
}

std::unique_ptr<DeviceStore> chooseDeviceTable(platform::SettingsStore& settings,
                                               const std::string& path) {
    std::unique_ptr<DeviceStore> store = DeviceStore::open(path);
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    settings.writeText(std::string(kDeviceTableSettingsKey), std::string(kDeviceTableSettingsValue),
                       ec ? path : full.string());
    return store;
}

std::unique_ptr<DeviceItem> loadDeviceItem(DeviceStore& store, DeviceKind kind,
                                           const std::string& name) {
    const std::optional<DeviceRecord> record = store.find(itemRecordType(kind), name);
    if (!record)
        return nullptr;
    if (record->Data.empty())
        throw Error("IDS_DATAREADERROR");
    std::unique_ptr<DeviceItem> item = createDeviceItem(kind);
    item->Name = record->Name;
    item->Date = record->Date;
    item->unpack(record->Data);
    return item;
}

void storeDeviceItem(DeviceStore& store, const DeviceItem& item) {
    checkDeviceName(item.Name);
    const std::string data = item.packed();
    store.put(itemRecordType(item.kind()), item.Name, item.Date, data);
}

} // namespace kalydor
