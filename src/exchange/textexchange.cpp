#include "exchange/textexchange.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/safefilewriter.h"
#include "base/textencoding.h"
#include "codecs/texttokenreader.h"
#include "exchange/xmlexchange.h"
#include "language/languages.h"
#include "platform/prompter.h"
#include "reports/textdocument.h"
#include "store/dbitem.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemtree.h"
#include "store/sqlitedatabase.h"
#include "store/treemodel.h"

#include <chrono>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

namespace kalydor {
namespace {

constexpr ExchangeKind kKinds[] = {
    {ItemKind::Material, RecordType::MaterialGroup, RecordType::Material, "KALYDOR32MATERIAL", 1,
     "Kalydor32Material"},
    {ItemKind::Construction, RecordType::PanelGroup, RecordType::Panel, "KALYDOR32PANEL", 2,
     "Kalydor32Panel"},
};

bool isTrailingBlank(char c) {
    return c == ' ' || c == '\t';
}

// A name as imports store it: trailing blanks removed. False when it is longer than a
// stored name may be.
bool trimImportedName(std::string& name) {
    while (!name.empty() && isTrailingBlank(name.back()))
        name.pop_back();
    return codePointCount(name) <= kMaxStoredNameLength;
}

bool askOverwrite(OverwriteAnswers& answers, const std::string& groupPath,
                  const std::string& name) {
    if (answers.yesToAll)
        return true;
    if (answers.noToAll)
        return false;
    std::string format = GetText("IDS_OVERWRITEITEM");
    if (format.empty())
        format = "The group \"%s\" already holds \"%s\". Replace it?";
    switch (platform::prompter().askOverwrite(formatText(format, {groupPath, name}))) {
    case platform::OverwriteAnswer::Yes:
        return true;
    case platform::OverwriteAnswer::No:
        return false;
    case platform::OverwriteAnswer::YesToAll:
        answers.yesToAll = true;
        return true;
    case platform::OverwriteAnswer::NoToAll:
        answers.noToAll = true;
        return false;
    }
    return false;
}

std::string exportDateLine() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::to_string(local.tm_year + 1900) + ' ' + std::to_string(local.tm_mon + 1) + ' ' +
           std::to_string(local.tm_mday) + "\r\n";
}

std::unique_ptr<DBItem> createExchangeItem(const ExchangeKind& kind) {
    std::unique_ptr<DBItem> item = CreateItemOfKind(kind.kind);
    if (!item)
        throw Error("IDS_NOEXCHANGEFORM", {std::string(kind.textKeyword)},
                    "\"%s\" cannot be written in this exchange format.");
    return item;
}

const ExchangeKind& requireKind(ItemKind kind) {
    const ExchangeKind* k = exchangeKindOf(kind);
    if (!k)
        throw Error("IDS_NOEXCHANGEFORM", {std::to_string(kindNumber(kind))},
                    "\"%s\" cannot be written in this exchange format.");
    return *k;
}

} // namespace

const ExchangeKind* exchangeKindOf(ItemKind kind) {
    for (const ExchangeKind& k : kKinds)
        if (k.kind == kind)
            return &k;
    return nullptr;
}

namespace exchange_detail {
std::string itemLabel(const std::string& groupPath, const std::string& name) {
    return quotedExcerpt(groupPath.empty() ? name : groupPath + '\\' + name);
}

std::unique_ptr<DBItem> loadForExport(ItemStore& store, const ExchangeKind& kind,
                                      const Reference& ref, const std::string& groupPath,
                                      ExportResult& result) {
    bool loaded = false;
    std::unique_ptr<DBItem> item = LoadReferencedItem(store, kind.kind, ref, loaded);
    if (!item) {
        ++result.missing;
        result.leftOut.push_back(Error("IDS_RECORDGONE", {itemLabel(groupPath, ref.Name)},
                                       "The record \"%s\" no longer exists.")
                                     .text());
        return nullptr;
    }
    if (!loaded) {
        ++result.unreadable;
        result.leftOut.push_back(Error("IDS_EXPORTUNREADABLE", {itemLabel(groupPath, ref.Name)},
                                       "\"%s\": its stored data cannot be read.")
                                     .text());
        return nullptr;
    }
    return item;
}

void leaveOutNonFinite(ExportResult& result, const std::string& groupPath,
                       const std::string& name) {
    ++result.nonFinite;
    result.leftOut.push_back(Error("IDS_EXPORTNOTFINITE", {itemLabel(groupPath, name)},
                                   "\"%s\": a value is not a finite number (NAN or INF).")
                                 .text());
}

void reportLeftOut(const ExportResult& result) {
    if (result.leftOut.empty())
        return;
    // A damaged table can leave out thousands; the message names the first ones.
    constexpr std::size_t kNamed = 20;
    std::string text =
        Error("IDS_EXPORTLEFTOUT", {static_cast<std::int64_t>(result.leftOut.size())},
              "%d items were not exported:")
            .text();
    for (std::size_t i = 0; i < result.leftOut.size() && i < kNamed; ++i)
        text += "\n" + result.leftOut[i];
    if (result.leftOut.size() > kNamed)
        text += "\n\u2026";
    platform::prompter().showMessage(text);
}
} // namespace exchange_detail

bool isXmlFileName(std::string_view fileName) {
    if (fileName.size() < 3)
        return false;
    const std::string_view tail = fileName.substr(fileName.size() - 3);
    return (tail[0] == 'x' || tail[0] == 'X') && (tail[1] == 'm' || tail[1] == 'M') &&
           (tail[2] == 'l' || tail[2] == 'L');
}

std::vector<Reference> ItemsInTreeOrder(ItemStore& store, ItemKind kind) {
    const ExchangeKind& k = requireKind(kind);
    TreeModel tree;
    TreeNode* root = fillGroupTree(store, tree, std::string(), k.groupType);
    fillItemTree(store, k.itemType, tree, root);
    std::vector<Reference> items;
    std::set<std::pair<std::string, std::string>> listed; // group identifier and name
    std::vector<const TreeNode*> stack{root};
    while (!stack.empty()) {
        const TreeNode* node = stack.back();
        stack.pop_back();
        if (!node->isGroup() && node->parent() && node->parent()->identifier()) {
            Reference ref{k.itemType, node->caption(), *node->parent()->identifier(), {}};
            if (store.FindRecord(ref.Type, ref.RefID, ref.Name))
                ref.ID = store.current().ID;
            listed.emplace(ref.RefID, ref.Name);
            items.push_back(std::move(ref));
        }
        const auto& children = node->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back(it->get());
    }
    // Items the tree cannot reach (their group is gone, or its parents form a cycle) come
    // last, in list order; their path is the part of it that can be walked.
    for (Reference& ref : store.ListRecords(k.itemType))
        if (!listed.contains({ref.RefID, ref.Name}))
            items.push_back(std::move(ref));
    return items;
}

std::string ExchangeGroupPath(ItemStore& store, std::int16_t groupType,
                              const std::string& groupId) {
    std::string path = store.PathOfGroup(groupType, groupId, '\\');
    if (!path.empty())
        path.pop_back();
    return path;
}

std::string textReal(double value) {
    return formatGeneral(value, 6);
}

void WriteTextItemHeader(TextDocument& stream, const DBItem& item, const std::string& groupPath) {
    stream.Write(exportDateLine());
    stream.Write("\"" + stream.Escape(groupPath) + "\"\r\n");
    stream.Write("\"" + stream.Escape(item.Name) + "\"\r\n");
}

bool normalizeImportedName(std::string& name) {
    return trimImportedName(name) && !name.empty();
}

bool normalizeImportedPath(std::string& path, char separator) {
    // A trailing separator adds nothing: paths built from a group's full path end with one.
    if (!path.empty() && path.back() == separator)
        path.pop_back();
    if (path.empty())
        return true;
    std::string result;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find(separator, start);
        std::string component = path.substr(start, end == std::string::npos ? end : end - start);
        // An empty component (two separators in a row) names a group with an empty name.
        if (!trimImportedName(component))
            return false;
        if (start != 0)
            result += separator;
        result += component;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    path = std::move(result);
    return true;
}

Error badGroupPathError(const std::string& path) {
    return Error("IDS_IMPORTBADPATH",
                 {quotedExcerpt(path), static_cast<std::int64_t>(kMaxStoredNameLength)},
                 "A group name in the path \"%s\" is longer than %d characters; the item was "
                 "not imported.");
}

namespace {

StoreOutcome storeItem(ItemStore& store, const ExchangeKind& kind, DBItem& item,
                       const std::string& groupPath, OverwriteAnswers& answers,
                       bool consultUntouched) {
    const std::string groupId = store.GroupOfPath(kind.groupType, groupPath, '\\');
    item.GroupID = groupId;
    if (store.FindRecord(kind.itemType, groupId, item.Name)) {
        std::unique_ptr<DBItem> stored = createExchangeItem(kind);
        stored->Name = item.Name;
        bool readable = false;
        try {
            readable = store.LoadItem(*stored);
        } catch (const Error&) {
            readable = false;
        }
        if (!readable) {
            platform::prompter().showMessage(
                Error("IDS_IMPORTNAMESAKEUNREADABLE",
                      {exchange_detail::itemLabel(groupPath, item.Name)},
                      "\"%s\" is not imported: the stored item of that name cannot be read, and "
                      "it is not written over.")
                    .text());
            return StoreOutcome::Skipped;
        }
        const bool replace = (consultUntouched && stored->Untouched != 0) ||
                             askOverwrite(answers, groupPath, item.Name);
        if (!replace)
            return StoreOutcome::Kept;
        if (!store.FindRecord(kind.itemType, groupId, item.Name))
            return StoreOutcome::Skipped;
        item.ID = store.current().ID;
        item.SaveToRecord(store);
        return StoreOutcome::Replaced;
    }
    item.ID = store.AddRecord(kind.itemType, groupId, item.Name, item.recordBytes());
    return StoreOutcome::Added;
}

} // namespace

StoreOutcome StoreImportedItem(ItemStore& store, const ExchangeKind& kind, DBItem& item,
                               const std::string& groupPath, OverwriteAnswers& answers,
                               bool consultUntouched) {
    // One item is one change: when storing it fails, the groups made for it go as well and
    // the import's earlier items stay (inside an import's transaction this is a savepoint).
    SqliteTransaction change(store.database());
    const StoreOutcome outcome = storeItem(store, kind, item, groupPath, answers, consultUntouched);
    change.commit();
    return outcome;
}

bool WriteItemText(TextDocument& stream, DBItem& item, const std::string& groupPath) {
    Languages noLanguage;
    TextDocument record(noLanguage);
    record.EscapeFlag = stream.EscapeFlag;
    const NonFiniteWatch watch;
    item.WriteText(record, groupPath);
    if (watch.seen())
        return false;
    stream.Write(record.text());
    return true;
}

ExportResult ExportText(ItemStore& store, ItemKind kind, const std::vector<Reference>& items,
                        const std::string& fileName) {
    const ExchangeKind& k = requireKind(kind);
    Languages noLanguage;
    TextDocument stream(noLanguage);
    stream.EscapeFlag = true;
    ExportResult result;
    for (const Reference& ref : items) {
        const std::string path = ExchangeGroupPath(store, k.groupType, ref.RefID);
        const std::unique_ptr<DBItem> item =
            exchange_detail::loadForExport(store, k, ref, path, result);
        if (!item)
            continue;
        if (!WriteItemText(stream, *item, path)) {
            exchange_detail::leaveOutNonFinite(result, path, ref.Name);
            continue;
        }
        ++result.written;
    }
    if (!stream.empty()) {
        stream.Write("\"END\"\r\n");
        writeFileSafely(fileName, stream.text());
        result.fileWritten = true;
    }
    exchange_detail::reportLeftOut(result);
    return result;
}

void ImportResult::count(StoreOutcome outcome) {
    switch (outcome) {
    case StoreOutcome::Added:
        ++added;
        break;
    case StoreOutcome::Replaced:
        ++replaced;
        break;
    case StoreOutcome::Kept:
        ++kept;
        break;
    case StoreOutcome::Skipped:
        ++skipped;
        break;
    }
}

ImportResult ImportText(ItemStore& store, ItemKind kind, const std::string& fileName,
                        OverwriteAnswers& answers, const ImportOptions& options) {
    answers.clear();
    std::unique_ptr<TextTokenReader> reader;
    try {
        reader = std::make_unique<TextTokenReader>(fileName);
    } catch (const Error& error) {
        ImportResult result;
        result.failed = true;
        result.message = error.text();
        platform::prompter().showMessage(result.message);
        return result;
    }
    return ImportText(store, kind, *reader, answers, options);
}

ImportResult ImportText(ItemStore& store, ItemKind kind, TextTokenReader& reader,
                        OverwriteAnswers& answers, const ImportOptions& options) {
    answers.clear();
    reader.onAutoYes = [&answers] { answers.autoYes(); };
    ImportResult result;
    std::optional<SqliteTransaction> import;
    try {
        const ExchangeKind& k = requireKind(kind);
        import.emplace(store.database());
        while (true) {
            TextRecordHeader header;
            const NextRecordResult next = reader.NextRecord(header);
            if (next == NextRecordResult::End)
                break;
            if (next == NextRecordResult::Reset)
                continue;
            if (header.keyword != k.textKeyword)
                throwTextFormatError(TextFormatError::WrongKeyword, reader.FileName(),
                                     reader.LineIndex());
            const std::string file = reader.FileName();
            const int line = reader.LineIndex();
            std::unique_ptr<DBItem> item = createExchangeItem(k);
            item->ReadText(reader, header.version);
            item->Name = header.name;
            std::string path = header.groupPath;
            if (!normalizeImportedName(item->Name)) {
                // The record was read whole, so the import goes on after it.
                platform::prompter().showMessage(
                    textFormatError(TextFormatError::BadName, file, line).text());
                ++result.skipped;
                continue;
            }
            if (!normalizeImportedPath(path, '\\')) {
                platform::prompter().showMessage(badGroupPathError(path).text());
                ++result.skipped;
                continue;
            }
            if (options.prepareItem)
                options.prepareItem(*item);
            result.count(StoreImportedItem(store, k, *item, path, answers, true));
        }
    } catch (const Error& error) {
        result.failed = true;
        result.message = error.text().empty() ? error.key() : error.text();
    }
    // The items stored before an error that ended the import stay stored.
    exchange_detail::commitImport(import, result);
    if (result.failed)
        platform::prompter().showMessage(result.message);
    reader.onAutoYes = nullptr;
    return result;
}

namespace exchange_detail {
void commitImport(std::optional<SqliteTransaction>& import, ImportResult& result) {
    if (!import)
        return;
    try {
        import->commit();
    } catch (const Error& error) {
        // Nothing of the import is stored then; the message says why.
        result.failed = true;
        result.added = result.replaced = 0;
        result.message = error.text().empty() ? error.key() : error.text();
    }
}
} // namespace exchange_detail

ExportResult ExportItems(ItemStore& store, ItemKind kind, const std::vector<Reference>& items,
                         const std::string& fileName) {
    if (isXmlFileName(fileName))
        return ExportXml(store, kind, items, fileName);
    return ExportText(store, kind, items, fileName);
}

ImportResult ImportItems(ItemStore& store, ItemKind kind, const std::string& fileName,
                         OverwriteAnswers& answers, const ImportOptions& options) {
    if (isXmlFileName(fileName))
        return ImportXml(store, kind, fileName, answers, options);
    return ImportText(store, kind, fileName, answers, options);
}

} // namespace kalydor
