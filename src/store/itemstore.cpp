#include "store/itemstore.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/textencoding.h"
#include "base/textlookup.h"
#include "platform/prompter.h"
#include "store/dbitem.h"
#include "store/identifier.h"
#include "store/itemkinds.h"
#include "store/itemstream.h"
#include "store/sqlitedatabase.h"
#include "store/storehooks.h"
#include "store/treemodel.h"

#include <sqlite3.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <set>
#include <unistd.h>
#include <unordered_map>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

// Marks the SQLite files that are Kalydor item tables ("KLYD").
constexpr std::int32_t kApplicationId = 0x4B4C5944;

constexpr std::string_view kSchema = "CREATE TABLE Items ("
                                     " Type INTEGER NOT NULL,"
                                     " RefID INTEGER NOT NULL,"
                                     " Name TEXT NOT NULL,"
                                     " ID INTEGER NOT NULL,"
                                     " Data BLOB NOT NULL DEFAULT x'',"
                                     " PRIMARY KEY (Type, RefID, Name)) WITHOUT ROWID;"
                                     "CREATE INDEX ItemsById ON Items (Type, ID);";

// The order in which the records of one type are listed: by group, then by name as people
// read it. The key itself stays exact (byte for byte), so names differing only in case are
// distinct records.
constexpr std::string_view kListOrder = " ORDER BY RefID, Name COLLATE KALYDOR_NAME, Name";

bool isLockCode(int code) {
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

[[noreturn]] void throwInUse(const std::string& file) {
    throw Error("IDS_TABLELOCKED", {file},
                "The file %s is in use by another program (or is already open in this one).");
}

void removeTableFiles(const std::string& path) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        fs::remove(path + suffix, ignored);
}

// The name as older installations stored it: its Windows-1250 bytes, when the code page has
// every character of it and those bytes do not read as UTF-8 (a stored name is decoded as
// UTF-8 first). Such a record is listed under its decoded name and found by it again.
std::optional<std::string> windows1250StoredName(const std::string& name) {
    std::string bytes;
    bool ascii = true;
    for (std::size_t pos = 0; pos < name.size();) {
        const char32_t cp = nextCodePoint(name, pos);
        const int byte = windows1250ByteOf(cp);
        if (byte < 0)
            return std::nullopt;
        ascii = ascii && byte < 0x80;
        bytes += static_cast<char>(byte);
    }
    if (ascii || isValidUtf8(bytes))
        return std::nullopt;
    return bytes;
}

// Identifiers out of range (a damaged table may hold any number) become texts that name no
// record, never the empty text of the root group.
Reference referenceOf(const SqliteStatement& row) {
    Reference ref;
    ref.Type = static_cast<std::int16_t>(row.integer(0));
    ref.RefID = storedIdentifierText(row.integer(1));
    ref.Name = textFromStoredBytes(row.text(2));
    ref.ID = storedIdentifierText(row.integer(3));
    return ref;
}

bool hasValidIdentifiers(const Reference& record) {
    return identifierDay(record.RefID) && identifierDay(record.ID);
}

// Checked for the user the program runs as (the effective one), as opening the file is.
bool canWrite(const std::string& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

std::string folderOf(const std::string& file) {
    const fs::path parent = fs::path(file).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

} // namespace

std::string ItemStore::tableFileName(const std::string& fileName) {
    const std::string extension = fs::path(fileName).extension().string();
    std::string lower = extension;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == ".db" ? fileName : fileName + ".db";
}

bool ItemStore::isWritable(const std::string& path) {
    return canWrite(path) && canWrite(folderOf(path));
}

ItemStore::ItemStore(std::string directory, std::string fileName, TableMode mode, TableKind kind)
    : m_directory(std::move(directory))
    , m_fileName(tableFileName(fileName))
    , m_kind(kind)
    , m_rootId(kRootIdentifier)
    , m_readOnly(mode == TableMode::ReadOnly) {
    if (mode == TableMode::Create || mode == TableMode::Replace)
        createTable(mode == TableMode::Replace);
    open();
}

ItemStore::~ItemStore() {
    // Statements first: a connection closes only when none is left. Closing the last
    // connection checkpoints the write-ahead log into the table and removes it.
    m_findStatement.reset();
    m_headerStatement.reset();
    m_counterStatement.reset();
    m_insertStatement.reset();
    m_dataStatement.reset();
    m_selectDataStatement.reset();
    m_db.reset();
}

std::string ItemStore::path() const {
    if (m_directory.empty())
        return m_fileName;
    return (fs::path(m_directory) / m_fileName).string();
}

// How long a change to a shared catalogue waits for another program's change (an import
// of thousands of items) before it gives up with "IDS_TABLEBUSY".
constexpr int kCatalogueBusyTimeoutMs = 8000;

void ItemStore::configureConnection() {
    sqlite3* db = m_db->handle();
    const std::string file = path();
    // The schema and the pages are checked before anything is written, so that opening a
    // foreign or damaged file never changes it.
    bool hasItems = false;
    try {
        if (m_kind == TableKind::Project) {
            // One program at a time: the lock is taken by the first access and kept. A
            // reader does not wait for a program that holds the project either.
            sqlite3_busy_timeout(db, 0);
            if (!m_readOnly)
                m_db->exec("PRAGMA locking_mode=EXCLUSIVE");
        } else {
            sqlite3_busy_timeout(db, kCatalogueBusyTimeoutMs);
        }
        SqliteStatement check(db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND "
                                  "name='Items'");
        hasItems = check.step() && check.integer(0) == 1;
        check.reset();
        if (hasItems)
            checkIntegrity();
        if (hasItems && !m_readOnly) {
            m_db->exec("PRAGMA journal_mode=WAL");
            m_db->exec("PRAGMA synchronous=FULL");
            // A change of every room runs in one transaction: a page cache that holds the
            // whole of a large project keeps it from spilling pages to the log midway.
            m_db->exec("PRAGMA cache_size=-65536");
            if (m_kind == TableKind::Project)
                m_db->exec("BEGIN IMMEDIATE; COMMIT");
        }
    } catch (const Error& error) {
        const int code = sqlite3_errcode(db);
        if (isLockCode(code) || error.key() == "IDS_TABLEBUSY")
            throwInUse(file);
        if (code == SQLITE_CORRUPT)
            throw Error("IDS_TABLEDAMAGED", {file, std::string(sqlite3_errmsg(db))},
                        "The table %s is damaged (%s). It is left as it is.");
        if (code == SQLITE_NOTADB)
            hasItems = false;
        else
            throw;
    }
    if (!hasItems)
        throw Error("IDS_NOTATABLE", {file}, "The file %s is not a Kalydor table.");
}

// SQLite's quick check reads every page of the table and checks its structure (not the
// indexes against the rows, which the full check adds): a damaged page is found at opening
// instead of half-way through a command.
void ItemStore::checkIntegrity() {
    SqliteStatement check(m_db->handle(), "PRAGMA quick_check(1)");
    const std::string verdict = check.step() ? check.text(0) : std::string("no answer");
    if (verdict != "ok")
        throw Error("IDS_TABLEDAMAGED", {path(), verdict},
                    "The table %s is damaged (%s). It is left as it is.");
}

// A table opened for reading leaves no side files behind. Without a write-ahead log beside
// it nobody has the table open: where this program may write, a connection that writes
// nothing (query_only) removes the side files it made when it closes; where it may not,
// the file is read as it is, without locks or side files, since nobody else can change it
// either. With a log beside it another program has the table open: the log and its index
// are that program's and stay.
void ItemStore::openForReading(const std::string& file) {
    std::error_code ec;
    if (fs::exists(file + "-wal", ec)) {
        m_db = std::make_unique<SqliteDatabase>(file, SqliteOpen::ReadOnly);
    } else if (isWritable(file)) {
        m_db = std::make_unique<SqliteDatabase>(file, SqliteOpen::ExistingFile);
        m_db->exec("PRAGMA query_only=1");
    } else {
        m_db = std::make_unique<SqliteDatabase>(file, SqliteOpen::Immutable);
    }
}

void ItemStore::open() {
    const std::string file = path();
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        throw Error("IDS_TABLENOTFOUND", {file}, "The table %s does not exist.");
    try {
        if (m_readOnly)
            openForReading(file);
        else
            m_db = std::make_unique<SqliteDatabase>(file, SqliteOpen::ExistingFile);
        configureConnection();
    } catch (...) {
        m_db.reset();
        throw;
    }
    m_findStatement = std::make_unique<SqliteStatement>(
        m_db->handle(), "SELECT ID FROM Items WHERE Type=?1 AND RefID=?2 AND Name=?3");
    readRootId();
}

void ItemStore::readRootId() {
    SqliteStatement header(m_db->handle(),
                           "SELECT RefID FROM Items WHERE Type=0 ORDER BY RefID, Name LIMIT 1");
    if (header.step()) {
        const std::string root = identifierText(header.integer(0));
        if (!root.empty())
            m_rootId = root;
    }
}

void ItemStore::requireWritable() const {
    if (m_readOnly)
        throw Error("IDS_TABLEREADONLY", {path()},
                    "The table %s is open read-only; nothing can be changed in it.");
}

void ItemStore::createTable(bool replace) {
    const std::string file = path();
    std::error_code ec;
    if (fs::exists(fs::symlink_status(file, ec))) {
        // An existing table is replaced only when that was asked for, and never while a
        // program (this one included) has it open; a damaged or foreign file may be
        // replaced, but only a regular file: a folder or a device is not the store's.
        if (!replace)
            throw Error("IDS_TABLEEXISTS", {file},
                        "The file %s exists already; it is replaced only when asked to.");
        if (!fs::is_regular_file(file, ec))
            throw Error("IDS_NOTATABLE", {file}, "The file %s is not a Kalydor table.");
        if (sqliteFileInUse(file))
            throwInUse(file);
        removeTableFiles(file);
    }

    {
        SqliteDatabase db(file, SqliteOpen::CreateFile);
        db.exec("PRAGMA journal_mode=WAL");
        db.exec("PRAGMA synchronous=FULL");
        SqliteTransaction transaction(db);
        db.exec(kSchema);
        db.exec("PRAGMA application_id=" + std::to_string(kApplicationId));

        SqliteStatement insert(db.handle(), "INSERT INTO Items (Type, RefID, Name, ID, Data) "
                                            "VALUES (?1, ?2, ?3, ?4, ?5)");
        const StoreHooks& hooks = storeHooks();
        const std::string description = m_kind == TableKind::Project && hooks.newProjectDescription
                                            ? hooks.newProjectDescription()
                                            : std::string();
        insert.bind(1, std::int64_t{RecordType::Header})
            .bind(2, kRootDay)
            .bind(3, kCurrentFormatName)
            .bind(4, kRootDay)
            .bindBlob(5, description);
        insert.run();
        if (m_kind == TableKind::Project) {
            const std::string options =
                hooks.newProjectOptions ? hooks.newProjectOptions() : std::string();
            insert.reset();
            insert.bind(1, std::int64_t{RecordType::ProjectOptions})
                .bind(2, kRootDay)
                .bind(3, std::string_view())
                .bind(4, kRootDay)
                .bindBlob(5, options);
            insert.run();
        }
        transaction.commit();
    }
}

std::optional<std::int64_t> ItemStore::refDay(const std::string& identifier) const {
    return identifierDay(identifier.empty() ? m_rootId : identifier);
}

std::int64_t ItemStore::requireDay(const std::string& identifier) const {
    const std::optional<std::int64_t> day = refDay(identifier);
    if (!day)
        throw Error("IDS_BADIDENTIFIER", {identifier}, "\"%s\" is not a valid identifier.");
    return *day;
}

void ItemStore::checkName(const std::string& name) const {
    if (codePointCount(name) > kMaxStoredNameLength)
        throw Error("IDS_NAMETOOLONG",
                    {quotedExcerpt(name), static_cast<std::int64_t>(kMaxStoredNameLength)},
                    "The name \"%s\" is longer than %d characters.");
}

const Reference& ItemStore::current() const {
    if (!m_current)
        throw Error("IDS_NOCURRENTRECORD", {}, "No record is selected.");
    return *m_current;
}

bool ItemStore::FindRecord(std::int16_t type, const std::string& refId, const std::string& name) {
    const std::optional<std::int64_t> day = refDay(refId);
    if (!day)
        return false;
    SqliteStatement& find = *m_findStatement;
    const auto lookUp = [&](const std::string& key) {
        find.reset();
        find.bind(1, std::int64_t{type}).bind(2, *day).bind(3, key);
        const bool found = find.step();
        if (found) {
            m_current =
                Reference{type, name, identifierText(*day), identifierText(find.integer(0))};
            m_currentKey = key;
        }
        find.reset();
        return found;
    };
    if (lookUp(name))
        return true;
    const std::optional<std::string> stored = windows1250StoredName(name);
    return stored && lookUp(*stored);
}

// Prepared once per store: these statements run for every new record and every save.
SqliteStatement& ItemStore::statement(std::unique_ptr<SqliteStatement>& slot,
                                      std::string_view sql) {
    if (!slot)
        slot = std::make_unique<SqliteStatement>(m_db->handle(), sql);
    slot->reset();
    return *slot;
}

std::string ItemStore::allocateIdentifier() {
    SqliteStatement& header = statement(m_headerStatement, "SELECT RefID, Name, ID FROM Items "
                                                           "WHERE Type=0 ORDER BY RefID, Name "
                                                           "LIMIT 1");
    if (!header.step())
        throw Error("IDS_NEWIDERROR", {path()},
                    "No new identifier can be given out in %s: the table has no header.");
    const std::int64_t refId = header.integer(0);
    const std::string name = header.text(1);
    const std::int64_t counter = header.integer(2);
    header.reset();
    // The counter is checked before it is counted on: a damaged header may hold any number.
    if (!isIdentifierDay(counter) || counter >= kLastIdentifierDay)
        throw Error("IDS_NEWIDERROR", {path()},
                    "No new identifier can be given out in %s: the counter is exhausted.");
    const std::int64_t next = counter + 1;
    const std::string text = identifierText(next);
    statement(m_counterStatement, "UPDATE Items SET ID=?1 WHERE Type=0 AND RefID=?2 AND Name=?3")
        .bind(1, next)
        .bind(2, refId)
        .bind(3, name)
        .run();
    return text;
}

std::string ItemStore::NewIdentifier() {
    requireWritable();
    SqliteTransaction transaction(*m_db);
    std::string id = allocateIdentifier();
    transaction.commit();
    return id;
}

std::string ItemStore::AddRecord(std::int16_t type, const std::string& refId,
                                 const std::string& name, std::string_view data) {
    requireWritable();
    checkName(name);
    const std::int64_t parent = requireDay(refId);
    // The identifier, the record and its data block are one change: all are committed
    // together, so a program stopped in between leaves none of them.
    SqliteTransaction transaction(*m_db);
    const std::string id = allocateIdentifier();
    SqliteStatement& insert =
        statement(m_insertStatement, "INSERT INTO Items (Type, RefID, Name, ID, Data) "
                                     "VALUES (?1, ?2, ?3, ?4, ?5)");
    insert.bind(1, std::int64_t{type})
        .bind(2, parent)
        .bind(3, name)
        .bind(4, *identifierDay(id))
        .bindBlob(5, data);
    insert.run();
    transaction.commit();
    m_current = Reference{type, name, identifierText(parent), id};
    m_currentKey = name;
    return id;
}

std::string ItemStore::GroupOfPath(std::int16_t groupType, std::string_view path, char separator) {
    std::string current = m_rootId;
    std::string_view remaining = path;
    while (!remaining.empty()) {
        const std::size_t at = remaining.find(separator);
        const std::string component(remaining.substr(0, at));
        remaining = at == std::string_view::npos ? std::string_view() : remaining.substr(at + 1);
        if (FindRecord(groupType, current, component)) {
            if (!identifierDay(m_current->ID))
                throw Error("IDS_BADSTOREDIDENTIFIER", {recordLabel(*m_current)},
                            "The record \"%s\" holds an identifier out of range; it cannot be "
                            "read.");
            current = m_current->ID;
        } else {
            current = AddRecord(groupType, current, component);
        }
    }
    return current;
}

bool ItemStore::DeleteGroup(std::int16_t groupType, std::int16_t itemType,
                            const std::string& groupName, const std::string& groupId,
                            const std::string& parentId) {
    for (const Reference& item : ListRecordsInGroup(itemType, groupId)) {
        if (!DeleteItem(item.Type, item.RefID, item.Name))
            return false;
    }
    DeleteItem(groupType, parentId, groupName);
    return true;
}

bool ItemStore::DeleteItem(std::int16_t type, const std::string& refId, const std::string& name) {
    if (!FindRecord(type, refId, name))
        return true;
    requireWritable();
    const Reference record = *m_current;
    const std::string key = m_currentKey;
    const StoreHooks& hooks = storeHooks();
    if (hooks.mayDeleteItem && !hooks.mayDeleteItem(*this, record))
        return false;
    SqliteTransaction transaction(*m_db);
    SqliteStatement remove(m_db->handle(),
                           "DELETE FROM Items WHERE Type=?1 AND RefID=?2 AND Name=?3");
    remove.bind(1, std::int64_t{type}).bind(2, *identifierDay(record.RefID)).bind(3, key).run();
    transaction.commit();
    m_current.reset();
    return true;
}

void ItemStore::RenameRecord(std::int16_t type, const std::string& refId,
                             const std::string& oldName, const std::string& newName) {
    if (oldName == newName || !FindRecord(type, refId, oldName))
        return;
    requireWritable();
    checkName(newName);
    Reference record = *m_current;
    SqliteTransaction transaction(*m_db);
    SqliteStatement rename(m_db->handle(),
                           "UPDATE Items SET Name=?4 WHERE Type=?1 AND RefID=?2 AND Name=?3");
    rename.bind(1, std::int64_t{type})
        .bind(2, *identifierDay(record.RefID))
        .bind(3, m_currentKey)
        .bind(4, newName)
        .run();
    transaction.commit();
    record.Name = newName;
    m_current = record;
    m_currentKey = newName;
}

bool ItemStore::MoveRecord(std::int16_t type, const std::string& name, const std::string& fromRefId,
                           const std::string& toRefId) {
    const std::optional<std::int64_t> from = refDay(fromRefId);
    const std::optional<std::int64_t> to = refDay(toRefId);
    if (!from || !to || *from == *to)
        return false;
    if (FindRecord(type, toRefId, name) || !FindRecord(type, fromRefId, name))
        return false;
    Reference record = *m_current;
    const std::string key = m_currentKey;

    // A group may not move under itself or one of its descendants: walk up from the target.
    std::set<std::string> seen;
    for (std::string id = identifierText(*to); !id.empty() && id != m_rootId;) {
        if (id == record.ID || !seen.insert(id).second)
            return false;
        const std::optional<Reference> parent = FindRecordById(type, id);
        if (!parent)
            break;
        id = parent->RefID;
    }

    requireWritable();
    SqliteTransaction transaction(*m_db);
    SqliteStatement move(m_db->handle(),
                         "UPDATE Items SET RefID=?4 WHERE Type=?1 AND RefID=?2 AND Name=?3");
    move.bind(1, std::int64_t{type}).bind(2, *from).bind(3, key).bind(4, *to).run();
    transaction.commit();
    record.RefID = identifierText(*to);
    m_current = record;
    m_currentKey = key;
    return true;
}

std::vector<Reference> ItemStore::selectReferences(std::string_view where, std::int16_t type,
                                                   std::optional<std::int64_t> day) {
    std::string sql = "SELECT Type, RefID, Name, ID FROM Items WHERE Type=?1";
    sql += where;
    sql += kListOrder;
    SqliteStatement select(m_db->handle(), sql);
    select.bind(1, std::int64_t{type});
    if (day)
        select.bind(2, *day);
    std::vector<Reference> references;
    while (select.step())
        references.push_back(referenceOf(select));
    return references;
}

bool ItemStore::hasRecords(std::int16_t type) {
    SqliteStatement any(m_db->handle(), "SELECT 1 FROM Items WHERE Type=?1 LIMIT 1");
    any.bind(1, std::int64_t{type});
    return any.step();
}

std::vector<Reference> ItemStore::ListRecords(std::int16_t type) {
    return selectReferences({}, type, std::nullopt);
}

void ItemStore::scanRecords(
    std::int16_t type,
    const std::function<void(const Reference&, const std::string& data)>& visit) {
    SqliteStatement select(m_db->handle(),
                           std::string("SELECT Type, RefID, Name, ID, Data FROM Items WHERE "
                                       "Type=?1") +
                               std::string(kListOrder));
    select.bind(1, std::int64_t{type});
    while (select.step())
        visit(referenceOf(select), select.blob(4));
}

std::vector<Reference> ItemStore::ListRecordsInGroup(std::int16_t type, const std::string& refId) {
    const std::optional<std::int64_t> day = refDay(refId);
    if (!day)
        return {};
    return selectReferences(" AND RefID=?2", type, day);
}

std::optional<Reference> ItemStore::FindRecordById(std::int16_t type, const std::string& id) {
    const std::optional<std::int64_t> day = identifierDay(id);
    if (!day)
        return std::nullopt;
    SqliteStatement select(m_db->handle(), "SELECT Type, RefID, Name, ID FROM Items "
                                           "WHERE Type=?1 AND ID=?2 ORDER BY RefID, Name LIMIT 1");
    select.bind(1, std::int64_t{type}).bind(2, *day);
    if (!select.step())
        return std::nullopt;
    return referenceOf(select);
}

std::string ItemStore::PathOfGroup(std::int16_t groupType, const std::string& id, char separator) {
    std::string path;
    std::set<std::string> seen;
    for (std::string current = id; !current.empty() && current != m_rootId;) {
        // Stored data may hold a cycle of parents; it ends the walk instead of hanging.
        if (!seen.insert(current).second)
            break;
        const std::optional<Reference> group = FindRecordById(groupType, current);
        if (!group)
            break;
        path = group->Name + separator + path;
        current = group->RefID;
    }
    return path;
}

std::string ItemStore::headerName() {
    SqliteStatement header(m_db->handle(),
                           "SELECT Name FROM Items WHERE Type=0 ORDER BY RefID, Name LIMIT 1");
    return header.step() ? header.text(0) : std::string();
}

bool ItemStore::hasHeader() {
    return hasRecords(RecordType::Header);
}

bool ItemStore::CheckProjectVersion(const ConversionProgress& progress) {
    SqliteStatement header(m_db->handle(), "SELECT RefID, Name FROM Items WHERE Type=0 "
                                           "ORDER BY RefID, Name LIMIT 1");
    if (!header.step())
        return false;
    const std::int64_t refId = header.integer(0);
    const std::string name = header.text(1);
    header.reset();
    if (name == kCurrentFormatName)
        return true;
    if (name != kPreviousFormatName && !name.empty())
        return false;

    requireWritable();
    if (!platform::prompter().askYesNo(GetText("IDS_PROJEKTCONVERSION"),
                                       platform::DefaultButton::Yes,
                                       platform::QuestionIcon::Warning))
        return false;

    // The conversion and the new header are one change: a program stopped half-way leaves
    // the project in its old format, to be converted again.
    SqliteTransaction transaction(database());
    const StoreHooks& hooks = storeHooks();
    if (hooks.reloadProjectOptions)
        hooks.reloadProjectOptions(*this);
    if (hooks.convertProject) {
        hooks.convertProject(*this, name.empty(), progress);
    } else if (hasRecords(RecordType::Room) || hasRecords(RecordType::Building)) {
        throw Error("IDS_CONVERSIONUNAVAILABLE", {path()},
                    "The project %s cannot be converted by this program.");
    }

    SqliteStatement rename(m_db->handle(),
                           "UPDATE Items SET Name=?3 WHERE Type=0 AND RefID=?1 AND Name=?2");
    rename.bind(1, refId).bind(2, name).bind(3, kCurrentFormatName).run();
    transaction.commit();
    return true;
}

std::string ItemStore::currentData() {
    const Reference& record = current();
    SqliteStatement& select = statement(
        m_selectDataStatement, "SELECT Data FROM Items WHERE Type=?1 AND RefID=?2 AND Name=?3");
    select.bind(1, std::int64_t{record.Type})
        .bind(2, *identifierDay(record.RefID))
        .bind(3, m_currentKey);
    const bool found = select.step();
    std::string data = found ? select.blob(0) : std::string();
    // Reset at once: a statement left stepping would keep its read open.
    select.reset();
    if (!found)
        throw Error("IDS_RECORDGONE", {record.Name}, "The record \"%s\" no longer exists.");
    return data;
}

void ItemStore::setCurrentData(std::string_view bytes) {
    requireWritable();
    const Reference& record = current();
    // The write lock first (waiting for another program's change), then the write. Inside a
    // caller's transaction the lock is held already, and the one statement is atomic.
    std::optional<SqliteTransaction> transaction;
    if (!m_db->inTransaction())
        transaction.emplace(*m_db);
    SqliteStatement& update = statement(
        m_dataStatement, "UPDATE Items SET Data=?4 WHERE Type=?1 AND RefID=?2 AND Name=?3");
    update.bind(1, std::int64_t{record.Type})
        .bind(2, *identifierDay(record.RefID))
        .bind(3, m_currentKey)
        .bindBlob(4, bytes);
    update.run();
    if (m_db->changes() != 1)
        throw Error("IDS_RECORDGONE", {record.Name}, "The record \"%s\" no longer exists.");
    if (transaction)
        transaction->commit();
}

std::string ItemStore::recordLabel(const Reference& record) {
    // An item's group has the type one less than the item's; a group's parent has its type.
    std::int16_t groupType = record.Type;
    for (const ItemKind kind : kItemKinds) {
        if (itemTypeOfKind(kind) == record.Type)
            groupType = groupTypeOfKind(kind);
    }
    return PathOfGroup(groupType, record.RefID, '\\') + record.Name;
}

bool ItemStore::LoadItem(DBItem& item) {
    item.setLoadFailed(true);
    const Reference record = current();
    if (!hasValidIdentifiers(record))
        throw Error("IDS_BADSTOREDIDENTIFIER", {recordLabel(record)},
                    "The record \"%s\" holds an identifier out of range; it cannot be read.");
    MemoryStream stream(currentData());
    // Every item is stored with at least its version word: an empty block is a record whose
    // store was cut off, not an item with default values.
    if (stream.size() == 0)
        throw Error("IDS_EMPTYITEMRECORD", {recordLabel(record)},
                    "The record of \"%s\" holds no data (its storing was cut off); it cannot "
                    "be read.");
    const std::int16_t version = readInt16(stream);
    const bool loaded = item.ReadRecord(stream, version);
    item.setLoadFailed(!loaded);
    return loaded;
}

void ItemStore::forEachRecord(
    const std::function<void(const Reference&, std::size_t dataSize)>& visit,
    const std::function<void(const Error&)>& unreadable) {
    SqliteStatement select(m_db->handle(), "SELECT Type, RefID, Name, ID, length(Data) FROM Items "
                                           "ORDER BY Type, RefID, Name");
    while (select.step()) {
        const Reference record = referenceOf(select);
        if (hasValidIdentifiers(record)) {
            visit(record, static_cast<std::size_t>(select.integer(4)));
        } else if (unreadable) {
            unreadable(Error("IDS_BADSTOREDIDENTIFIER", {recordLabel(record)},
                             "The record \"%s\" holds an identifier out of range; it cannot "
                             "be read."));
        }
    }
}

void ItemStore::CopyRecordsFrom(ItemStore& source) {
    requireWritable();
    SqliteStatement select(
        source.m_db->handle(),
        "SELECT Type, RefID, Name, ID, Data FROM Items ORDER BY Type, RefID, Name");
    SqliteTransaction transaction(*m_db);
    SqliteStatement insert(m_db->handle(), "INSERT OR REPLACE INTO Items (Type, RefID, Name, ID, "
                                           "Data) VALUES (?1, ?2, ?3, ?4, ?5)");
    while (select.step()) {
        insert.reset();
        insert.bind(1, select.integer(0))
            .bind(2, select.integer(1))
            .bind(3, select.text(2))
            .bind(4, select.integer(3))
            .bindBlob(5, select.blob(4));
        insert.run();
    }
    transaction.commit();
    m_current.reset();
    readRootId();
}

} // namespace kalydor
