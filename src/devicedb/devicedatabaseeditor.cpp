#include "devicedb/devicedatabaseeditor.h"

#include "base/error.h"
#include "base/safefilewriter.h"
#include "base/textlookup.h"
#include "codecs/xmlwriter.h"
#include "devicedb/devicehierarchy.h"
#include "devicedb/deviceset.h"
#include "devicedb/devicestore.h"
#include "devicedb/devicetext.h"
#include "devicedb/devicexml.h"
#include "devicedb/estimatecodes.h"
#include "platform/prompter.h"
#include "store/sqlitedatabase.h"

#include <array>
#include <filesystem>
#include <optional>
#include <random>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

// The folder lists of both kinds, as a load keeps them while it stores items.
struct FolderLists {
    explicit FolderLists(DeviceStore& table) {
        for (DeviceHierarchy& list : lists)
            list.load(table);
    }
    DeviceHierarchy& of(DeviceKind kind) { return lists[static_cast<std::size_t>(kind)]; }
    void save(DeviceStore& table) {
        for (const DeviceHierarchy& list : lists)
            list.save(table);
    }
    void clear() {
        for (DeviceHierarchy& list : lists)
            list.clear();
    }
    std::array<DeviceHierarchy, 2> lists{DeviceHierarchy(DeviceKind::RadiatorFamily),
                                         DeviceHierarchy(DeviceKind::PieceList)};
};

bool askYesNo(const std::string& key, const std::string& argument) {
    return platform::prompter().askYesNo(formatText(GetText(key), {argument}),
                                         platform::DefaultButton::No,
                                         platform::QuestionIcon::Question);
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error))
        return fs::equivalent(a, b, error);
    return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

} // namespace

bool isXmlFileName(const std::string& fileName) {
    if (fileName.size() < 3)
        return false;
    std::string ending = fileName.substr(fileName.size() - 3);
    for (char& c : ending)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ending == "xml";
}

DeviceDatabaseEditor::DeviceDatabaseEditor(DeviceStore& table)
    : m_table(table) {}

void DeviceDatabaseEditor::load(const std::vector<std::string>& files, StandingAnswer answer,
                                DeviceLoadResult& result, DeviceSourceReader::FileLoader loader) {
    FolderLists folders(m_table);
    std::optional<SqliteTransaction> transaction;
    transaction.emplace(m_table.database());
    const auto commit = [&] {
        folders.save(m_table);
        transaction->commit();
    };

    DeviceSourceEvents events;
    events.reset = [&] {
        m_table.deleteAll();
        // The folder lists go with the items: saved as they were, they would list the deleted
        // items again.
        folders.clear();
        ++result.resets;
    };
    events.autoYes = [&] { answer = StandingAnswer::YesToAll; };
    events.item = [&](std::unique_ptr<DeviceItem> item) {
        const bool stored = m_table.find(itemRecordType(item->kind()), item->Name).has_value();
        if (stored) {
            bool replace = answer == StandingAnswer::YesToAll;
            if (answer == StandingAnswer::None) {
                const std::string text =
                    formatText(GetText("IDS_OVERWRITEITEM"), {item->Path, item->Name});
                switch (platform::prompter().askOverwrite(text)) {
                case platform::OverwriteAnswer::Yes:
                    replace = true;
                    break;
                case platform::OverwriteAnswer::YesToAll:
                    replace = true;
                    answer = StandingAnswer::YesToAll;
                    break;
                case platform::OverwriteAnswer::NoToAll:
                    answer = StandingAnswer::NoToAll;
                    break;
                case platform::OverwriteAnswer::No:
                    break;
                }
            }
            if (!replace) {
                ++result.kept;
                return;
            }
        }
        storeDeviceItem(m_table, *item);
        folders.of(item->kind()).put(item->Name, item->Path);
        ++(stored ? result.replaced : result.added);
    };
    events.fileDone = [&](const std::string&) {
        commit();
        ++result.files;
        transaction.emplace(m_table.database());
    };

    DeviceSourceReader reader(files);
    if (loader)
        reader.setFileLoader(std::move(loader));
    try {
        reader.run(events);
    } catch (const Error&) {
        // What was stored before the fault stays, with its folder entries, so that no stored
        // item is missing from the trees.
        commit();
        throw;
    }
    commit();
}

DeviceExportResult DeviceDatabaseEditor::exportItems(const DeviceSet& set,
                                                     const std::string& fileName) {
    DeviceExportResult result;
    const bool xml = isXmlFileName(fileName);
    std::optional<XmlWriter> writer;
    if (xml)
        writer.emplace(std::string(), "KalydorDB");
    std::string text;
    DeviceSet::Position position;
    while (const std::optional<DeviceSetEntry> entry = set.next(position)) {
        std::unique_ptr<DeviceItem> item;
        try {
            item = loadDeviceItem(m_table, entry->kind, entry->name);
        } catch (const Error&) {
            ++result.unreadable;
            continue;
        }
        if (!item) {
            ++result.missing;
            continue;
        }
        item->Path = entry->path;
        if (xml && item->Path.empty())
            result.rootItems.push_back(item->Name);
        if (xml)
            writeDeviceXml(*writer, *item);
        else
            writeDeviceText(text, *item);
        ++result.written;
    }
    if (result.written == 0)
        return result;
    if (xml) {
        writer->Finish();
        writeFileSafely(fileName, writer->bytes());
    } else {
        writeDeviceTextEnd(text);
        writeFileSafely(fileName, text);
    }
    result.fileWritten = true;
    return result;
}

std::unique_ptr<DeviceItem> DeviceDatabaseEditor::check(DeviceKind kind, const std::string& name) {
    std::unique_ptr<DeviceItem> item = loadDeviceItem(m_table, kind, name);
    if (!item)
        return item;
    DeviceHierarchy folders(kind);
    folders.load(m_table);
    const int index = folders.indexOf(name);
    if (index >= 0)
        item->Path = folders.Paths[static_cast<std::size_t>(index)];
    return item;
}

bool DeviceDatabaseEditor::deleteFolder(DeviceKind kind, const std::string& path) {
    if (!askYesNo("IDS_WANTGROUPDELETE", path))
        return false;
    DeviceHierarchy folders(kind);
    folders.load(m_table);
    folders.deleteFolder(m_table, path);
    return true;
}

bool DeviceDatabaseEditor::deleteItem(DeviceKind kind, const std::string& name) {
    if (!askYesNo("IDS_WANTITEMDELETE", name))
        return false;
    SqliteTransaction transaction(m_table.database());
    DeviceHierarchy folders(kind);
    folders.load(m_table);
    const bool deleted = m_table.deleteRecord(itemRecordType(kind), name);
    folders.remove(name);
    folders.save(m_table);
    transaction.commit();
    return deleted;
}

std::size_t DeviceDatabaseEditor::reduce(const DeviceSet& set, const std::string& newTable) {
    if (sameFile(newTable, m_table.path()) || sqliteFileInUse(newTable))
        throw Error("IDS_TABLELOCKED", {newTable}, "The table %s is in use.");
    const fs::path target(newTable);
    const fs::path temporary = target.parent_path() / (target.filename().string() + ".part-" +
                                                       std::to_string(std::random_device()()));
    std::size_t copied = 0;
    try {
        {
            std::unique_ptr<DeviceStore> reduced = DeviceStore::create(temporary.string());
            SqliteTransaction transaction(reduced->database());
            for (const DeviceKind kind : kDeviceKinds) {
                DeviceHierarchy folders = set.hierarchy(kind);
                if (!set.AllItems)
                    folders.keepSelected();
                folders.save(*reduced);
                for (const DeviceRecord& record :
                     m_table.records(itemRecordType(kind), RecordData::With)) {
                    if (!set.isSelected(kind, record.Name))
                        continue;
                    reduced->put(record.Type, record.Name, record.Date, record.Data);
                    ++copied;
                }
            }
            transaction.commit();
        }
        fs::rename(temporary, target);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
    return copied;
}

std::vector<std::pair<std::string, std::string>>
DeviceDatabaseEditor::appendEstimateCodes(const std::string& linkFile) {
    EstimateCodeCollection collection(readKnownEstimateCodes(linkFile));
    for (const DeviceKind kind : kDeviceKinds) {
        DeviceHierarchy folders(kind);
        folders.load(m_table);
        for (const std::string& name : folders.Names) {
            std::unique_ptr<DeviceItem> item;
            try {
                item = loadDeviceItem(m_table, kind, name);
            } catch (const Error&) {
                continue; // a damaged item offers no codes
            }
            if (item)
                collection.collect(*item);
        }
    }
    appendEstimateCodesToFile(linkFile, collection.pairs());
    return collection.pairs();
}

} // namespace kalydor
