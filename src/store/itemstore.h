#pragma once

#include "store/reference.h"
#include "store/storehooks.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class DBItem;
class Error;
class SqliteDatabase;
class SqliteStatement;
class TreeModel;
class TreeNode;

/// How a table is opened. `Create` makes a new table and refuses a file that exists;
/// `Replace` deletes an existing table first, unless a program has it open. `ReadOnly`
/// opens for reading only: nothing is written, no lock of the program is taken and no side
/// file is left behind, so a table in a read-only folder or file can be read.
enum class TableMode { Open, Create, Replace, ReadOnly };

/// A project table holds the header, the project options record and the constructions,
/// rooms and buildings; a catalogue table (the material table) holds the header and its
/// groups and items only, since type 1 means a material group there.
enum class TableKind { Project, Catalogue };

/// Format-version names of the header record.
inline constexpr std::string_view kCurrentFormatName = "Kalydor-Ro 4.5";
inline constexpr std::string_view kPreviousFormatName = "Kalydor-Ro 4.0";

/// Longest name of a group or item record, in characters.
inline constexpr std::size_t kMaxStoredNameLength = 32;

/// The store over one item table: one SQLite file holding records (Type, RefID, Name, ID,
/// Data) keyed by (Type, RefID, Name). Every change is committed at once, unless the caller
/// groups changes in one SqliteTransaction on `database()` (an import does). A project table
/// is locked for this program while it is open; a second opener is refused. A catalogue
/// table may be shared: a change waits a few seconds for another program's change to end.
///
/// Identifier texts ("yyyy.MM.dd.") are accepted only in their exact form; the empty text
/// means the root group, any other malformed text matches no record.
class ItemStore {
public:
    /// Opens (or, with TableMode::Create or Replace, makes anew) the table `fileName` in
    /// `directory`; ".db" is appended to a name without it. Opening never creates a file and
    /// writes nothing before the file has been checked: a damaged table is refused naming the
    /// file and the fault ("IDS_TABLEDAMAGED"). Failures raise an error with a message for
    /// the user; no store object remains.
    ItemStore(std::string directory, std::string fileName, TableMode mode,
              TableKind kind = TableKind::Project);
    ~ItemStore();
    ItemStore(const ItemStore&) = delete;
    ItemStore& operator=(const ItemStore&) = delete;

    /// The table file name with ".db" (as given when it already ends so, in any case).
    static std::string tableFileName(const std::string& fileName);
    /// Whether this program may change the table file at `path`: the file and its folder
    /// can be written. A table that cannot be changed is opened with TableMode::ReadOnly.
    static bool isWritable(const std::string& path);

    const std::string& RootId() const { return m_rootId; }
    const std::string& directory() const { return m_directory; }
    const std::string& fileName() const { return m_fileName; }
    std::string path() const;
    TableKind kind() const { return m_kind; }
    /// True when the table was opened read-only; every change is then refused
    /// ("IDS_TABLEREADONLY").
    bool readOnly() const { return m_readOnly; }

    /// Exact key lookup; on success the record becomes the current record. A name stored in
    /// Windows-1250 by an older installation is found by its decoded (UTF-8) form, the form
    /// every listing gives it.
    bool FindRecord(std::int16_t type, const std::string& refId, const std::string& name);
    /// Hands out the next identifier (the header's counter plus one day) in one immediate
    /// transaction. Raises an error when no identifier can be allocated.
    std::string NewIdentifier();
    /// Appends a record with a new identifier and the data block `data` (empty for a group),
    /// all in one transaction: an item record never exists without its data. The record
    /// becomes the current record. Raises an error when the name is too long, the identifier
    /// cannot be allocated or the key is taken.
    std::string AddRecord(std::int16_t type, const std::string& refId, const std::string& name,
                          std::string_view data = {});
    /// The identifier of the last group of a path, creating the missing groups; the root
    /// identifier for an empty path.
    std::string GroupOfPath(std::int16_t groupType, std::string_view path, char separator);
    /// Deletes the items of a group and then the group record; false (the group kept) at the
    /// first item that may not be deleted.
    bool DeleteGroup(std::int16_t groupType, std::int16_t itemType, const std::string& groupName,
                     const std::string& groupId, const std::string& parentId);
    /// Deletes a record; true when it is gone or was never there, false when refused.
    bool DeleteItem(std::int16_t type, const std::string& refId, const std::string& name);
    /// Renames a record when the names differ and the record exists.
    void RenameRecord(std::int16_t type, const std::string& refId, const std::string& oldName,
                      const std::string& newName);
    /// Moves a record to another group; false when it is already there, the name is taken in
    /// the target, the record does not exist, or a group would move under itself.
    bool MoveRecord(std::int16_t type, const std::string& name, const std::string& fromRefId,
                    const std::string& toRefId);
    /// One reference per record of the type, in list order (by group, then by name as shown).
    std::vector<Reference> ListRecords(std::int16_t type);
    /// Every record of a type with its data block, in list order, read in one pass.
    void scanRecords(std::int16_t type,
                     const std::function<void(const Reference&, const std::string& data)>& visit);
    /// The records of a type in one group, in list order.
    std::vector<Reference> ListRecordsInGroup(std::int16_t type, const std::string& refId);
    /// The first record of a type with this identifier.
    std::optional<Reference> FindRecordById(std::int16_t type, const std::string& id);
    /// The names from below the root down to the group, each followed by the separator; empty
    /// for the root and for an identifier that is not in the table.
    std::string PathOfGroup(std::int16_t groupType, const std::string& id, char separator);
    /// Run once after a project table is opened: accepts the current format, converts an
    /// older one after the user agreed, refuses any other.
    bool CheckProjectVersion(const ConversionProgress& progress = {});

    /// The record found or added last.
    bool hasCurrent() const { return m_current.has_value(); }
    const Reference& current() const;
    /// The data block of the current record.
    std::string currentData();
    /// Replaces the data block of the current record and commits.
    void setCurrentData(std::string_view bytes);
    /// Reads the current record's data block into an item: the version word and the item's
    /// ReadRecord. An item record always holds its data, so an empty block (a store cut off
    /// half-way) and an identifier out of range are raised as errors naming the item by its
    /// group path and name. On false or an error the item is marked as not loaded, so it can
    /// never be saved over its record.
    [[nodiscard]] bool LoadItem(DBItem& item);
    /// The group path and name of a record, as messages name it ("Walls\Outer\Brick").
    std::string recordLabel(const Reference& record);

    /// The format-version name in the header record (empty when there is no header).
    std::string headerName();
    /// True when the table has a header record.
    bool hasHeader();

    /// Appends every record of another table, a record with an equal key (type, group, name)
    /// replacing the one already here; the header (format name, identifier counter,
    /// description) and the options record come along. One transaction.
    void CopyRecordsFrom(ItemStore& source);

    /// Visits every record in key order with the size of its data block. A record whose
    /// identifiers are out of range cannot be read: it goes to `unreadable` instead, with an
    /// error naming it ("IDS_BADSTOREDIDENTIFIER").
    void forEachRecord(const std::function<void(const Reference&, std::size_t dataSize)>& visit,
                       const std::function<void(const Error&)>& unreadable = {});

    SqliteDatabase& database() { return *m_db; }

private:
    void open();
    void openForReading(const std::string& file);
    void createTable(bool replace);
    void configureConnection();
    void checkIntegrity();
    void requireWritable() const;
    void readRootId();
    std::string allocateIdentifier();
    std::optional<std::int64_t> refDay(const std::string& identifier) const;
    std::int64_t requireDay(const std::string& identifier) const;
    void checkName(const std::string& name) const;
    bool hasRecords(std::int16_t type);
    std::vector<Reference> selectReferences(std::string_view where, std::int16_t type,
                                            std::optional<std::int64_t> day);

    std::string m_directory;
    std::string m_fileName;
    TableKind m_kind;
    std::string m_rootId;
    bool m_readOnly = false;
    std::unique_ptr<SqliteDatabase> m_db;
    SqliteStatement& statement(std::unique_ptr<SqliteStatement>& slot, std::string_view sql);

    std::unique_ptr<SqliteStatement> m_findStatement;
    std::unique_ptr<SqliteStatement> m_headerStatement;
    std::unique_ptr<SqliteStatement> m_counterStatement;
    std::unique_ptr<SqliteStatement> m_insertStatement;
    std::unique_ptr<SqliteStatement> m_dataStatement;
    std::unique_ptr<SqliteStatement> m_selectDataStatement;
    std::optional<Reference> m_current;
    /// The stored bytes of the current record's name: its Name, or the Windows-1250 bytes an
    /// older installation stored it in.
    std::string m_currentKey;
};

} // namespace kalydor
