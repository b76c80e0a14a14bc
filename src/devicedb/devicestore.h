#pragma once

#include "devicedb/deviceitem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class SqliteDatabase;

namespace platform {
class SettingsStore;
}

/// The file name of the device table shipped with the program.
inline constexpr std::string_view kDefaultDeviceTableName = "Kalydor32.db";
/// Where the settings keep the device table the user chose instead (its full path).
inline constexpr std::string_view kDeviceTableSettingsKey = "DeviceDatabase";
inline constexpr std::string_view kDeviceTableSettingsValue = "FileName";

/// The record type of a kind's items in the device table (the kind's number).
constexpr std::int16_t itemRecordType(DeviceKind kind) {
    return static_cast<std::int16_t>(kind);
}
/// The record type of a kind's folder list: the kind's number with bit 14 set.
constexpr std::int16_t hierarchyRecordType(DeviceKind kind) {
    return static_cast<std::int16_t>(static_cast<int>(kind) | 16384);
}

/// One record of the device table.
struct DeviceRecord {
    std::int16_t Type = 0;
    std::string Name; ///< the key column "Group"
    DeviceDate Date;  ///< empty when the column is NULL or holds no date of the calendar
    std::string Data;

    bool operator==(const DeviceRecord&) const = default;
};

/// Whether a listing reads the records' data blocks too.
enum class RecordData : std::uint8_t { Without, With };

/// The device table: one SQLite file of records (Type, "Group", Date, Data) keyed by
/// (Type, "Group"), marked as a device table by its own application id. Every change is
/// committed at once, unless the caller groups changes in one SqliteTransaction on
/// `database()`. The table may be shared: a change waits a few seconds for another program's
/// change to end.
class DeviceStore {
public:
    /// Opens an existing device table. Nothing is written to the file before it has been
    /// checked: a missing file is refused with "IDS_TABLENOTFOUND", a file that is not a device
    /// table (not SQLite, another program's, another kind of table) with "IDS_DEVICEDBFOREIGN",
    /// a damaged one with "IDS_TABLEDAMAGED", each naming the file, which stays as it was. A
    /// table this program may not change (a read-only file or folder) is opened for reading:
    /// every change is then refused with "IDS_TABLEREADONLY".
    static std::unique_ptr<DeviceStore> open(const std::string& path);
    /// Makes a new, empty device table at `path` and opens it. An existing regular file is
    /// replaced: the new table is written beside it and renamed over it, so a failure leaves
    /// the old file as it was. Refused with "IDS_TABLELOCKED" while a program (this one
    /// included) has the file open, with "IDS_FILENOTREGULAR" for a folder or a device.
    static std::unique_ptr<DeviceStore> create(const std::string& path);

    ~DeviceStore();
    DeviceStore(const DeviceStore&) = delete;
    DeviceStore& operator=(const DeviceStore&) = delete;

    const std::string& path() const { return m_path; }
    bool readOnly() const { return m_readOnly; }
    SqliteDatabase& database() { return *m_db; }

    /// The record of this type and name, or nothing.
    std::optional<DeviceRecord> find(std::int16_t type, const std::string& name);
    /// Inserts the record or replaces the one of this key, with its data, in one statement.
    /// An empty date is stored as NULL. Raises "IDS_RADIATORDATAERROR" for an empty name or
    /// one longer than kMaxDeviceNameLength characters, and for a date that is not empty and
    /// not a day of the calendar; nothing is written then.
    void put(std::int16_t type, const std::string& name, const DeviceDate& date,
             std::string_view data);
    /// Deletes a record; false when there was none.
    bool deleteRecord(std::int16_t type, const std::string& name);
    /// Deletes every record of the table.
    void deleteAll();
    /// The records of a type in the order names are shown to people.
    std::vector<DeviceRecord> records(std::int16_t type, RecordData data = RecordData::Without);

private:
    DeviceStore(std::string path, std::unique_ptr<SqliteDatabase> db, bool readOnly);
    void requireWritable() const;

    std::string m_path;
    std::unique_ptr<SqliteDatabase> m_db;
    bool m_readOnly = false;
};

/// The device table the program uses: the one the user chose (the settings value, when it is
/// there and not empty), else `defaultPath`.
std::string deviceTablePath(const platform::SettingsStore& settings,
                            const std::string& defaultPath);
/// Makes `path` the user's device table: it is opened first, and only a table that opens is
/// written to the settings. Raises the error of DeviceStore::open otherwise, the settings
/// unchanged. Returns the opened table.
std::unique_ptr<DeviceStore> chooseDeviceTable(platform::SettingsStore& settings,
                                               const std::string& path);

/// Reads the item of a kind and name from the table: its name, its date and its data (the
/// item's folder is in the kind's folder list, not in the record). Nothing when there is no
/// such record; raises "IDS_DATAREADERROR" for a record without data and the item's reading
/// errors for damaged data. An item is returned only when it was read completely.
std::unique_ptr<DeviceItem> loadDeviceItem(DeviceStore& store, DeviceKind kind,
                                           const std::string& name);
/// Writes an item's record (its name, date and packed data), replacing the one of its name.
/// The item is packed first: an item that cannot be written raises before the table changes.
void storeDeviceItem(DeviceStore& store, const DeviceItem& item);

} // namespace kalydor
