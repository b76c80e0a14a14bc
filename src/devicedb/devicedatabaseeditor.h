#pragma once

#include "devicedb/deviceitem.h"
#include "devicedb/devicesource.h"
#include "platform/prompter.h"

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kalydor {

class DeviceSet;
class DeviceStore;

/// The answer given before a load to all its overwrite questions.
using platform::StandingAnswer;

/// What a load did; filled as it goes, so it is complete when the load ends in an error too.
struct DeviceLoadResult {
    std::size_t files = 0;    ///< source files read to their end
    std::size_t added = 0;    ///< items stored under a new name
    std::size_t replaced = 0; ///< items stored over one of the same kind and name
    std::size_t kept = 0;     ///< items not stored: the stored one was kept
    std::size_t resets = 0;   ///< times the table was emptied
};

/// What an export did.
struct DeviceExportResult {
    std::size_t written = 0;
    std::size_t unreadable = 0; ///< items whose stored data could not be read (left out)
    std::size_t missing = 0;    ///< items of the set no longer in the table
    bool fileWritten = false;   ///< false when nothing was written (no file made)
    /// Items of an XML export that lie in no folder: written, but the XML form requires a
    /// folder, so reading the file back refuses them ("IDS_XMLPARSERERROR+10").
    std::vector<std::string> rootItems;
};

/// The commands of the device-database maintenance, without a window: load source files,
/// export, check, delete, write a reduced table and hand new estimate codes to the estimating
/// program. Questions go through the prompter.
class DeviceDatabaseEditor {
public:
    explicit DeviceDatabaseEditor(DeviceStore& table);

    DeviceStore& table() const { return m_table; }

    /// Reads source files (XML when the name ends in "xml", text otherwise) and stores their
    /// items. An item whose kind and name are stored already is replaced only after the
    /// question "IDS_OVERWRITEITEM" (yes, no, yes to all, no to all) or a standing answer;
    /// "AUTOYES" answers yes for the rest of the load. "RESET"/"DBReset" empty the table.
    /// Each file is one transaction, its folder lists saved with it. An error ends the load:
    /// what was stored before it (of the failing file too) is committed with its folder
    /// entries, and the error is raised; `result` tells what was done.
    void load(const std::vector<std::string>& files, StandingAnswer answer,
              DeviceLoadResult& result, DeviceSourceReader::FileLoader loader = {});

    /// Writes the items the set selects, each read from the table, to a file: XML inside the
    /// root "KalydorDB" when the name ends in "xml" (any case), the text form ended by "END"
    /// otherwise. No file is made when no item could be written.
    DeviceExportResult exportItems(const DeviceSet& set, const std::string& fileName);

    /// The item of a kind and name read from the table with its folder; null when it is not
    /// stored. A damaged record raises its error.
    std::unique_ptr<DeviceItem> check(DeviceKind kind, const std::string& name);

    /// After the question "IDS_WANTGROUPDELETE" with the folder, deletes every item in the
    /// folder and its subfolders (the whole kind for the empty path); false when declined.
    bool deleteFolder(DeviceKind kind, const std::string& path);
    /// After the question "IDS_WANTITEMDELETE" with the name, deletes one item and its folder
    /// entry; false when declined or not stored.
    bool deleteItem(DeviceKind kind, const std::string& name);

    /// Writes a new device table holding the items the set selects and their folder entries.
    /// The table is built in a temporary file beside `newTable` and renamed over it, so a
    /// failure leaves what was there. Refused ("IDS_TABLELOCKED") for the open table itself
    /// and for a table a program has open. Returns the number of items copied.
    std::size_t reduce(const DeviceSet& set, const std::string& newTable);

    /// Appends to the estimating program's link file the codes of the stored items it does
    /// not know yet (radiator families first, each kind in folder-list order), each with the
    /// name of its first size or line; returns the pairs appended.
    std::vector<std::pair<std::string, std::string>>
    appendEstimateCodes(const std::string& linkFile);

private:
    DeviceStore& m_table;
};

/// Whether a file name ends in "xml", in any letter case.
bool isXmlFileName(const std::string& fileName);

} // namespace kalydor
