#pragma once

#include "base/error.h"
#include "platform/prompter.h"
#include "store/itemkinds.h"
#include "store/reference.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class DBItem;
class SqliteTransaction;
class ItemStore;
class TextTokenReader;
class TextDocument;

/// What the exchange files know of an item kind that travels: materials (kind 1) and
/// constructions (kind 2).
struct ExchangeKind {
    ItemKind kind = ItemKind::Material;
    std::int16_t groupType = 0;
    std::int16_t itemType = 0;
    std::string_view textKeyword; ///< record keyword of the text form
    int textVersion = 0;          ///< version written with the keyword
    std::string_view xmlElement;  ///< element of the XML form
};

/// The exchange description of a kind, or nullptr for kinds without exchange forms.
const ExchangeKind* exchangeKindOf(ItemKind kind);

/// What an import does to every item it has read, before the item is stored: the caller
/// decides (constructions are calculated for the open project's climate), so an import never
/// depends on what another caller set before it.
struct ImportOptions {
    std::function<void(DBItem&)> prepareItem;
};

/// A to-all answer the user gave before the import started.
using platform::StandingAnswer;

/// The to-all answers of the overwrite question, remembered for the rest of one import.
struct OverwriteAnswers {
    bool yesToAll = false;
    bool noToAll = false;
    /// The user's own answer for the whole import. It outranks a file's "AUTOYES", which only
    /// stands in for the question, and survives `clear`.
    StandingAnswer standing = StandingAnswer::None;
    void clear() {
        yesToAll = standing == StandingAnswer::YesToAll;
        noToAll = standing == StandingAnswer::NoToAll;
    }
    /// A file's "AUTOYES": from here on yes without asking, unless the user answered already.
    void autoYes() {
        if (standing == StandingAnswer::None)
            yesToAll = true;
    }
};

/// How the storing of one imported item ended.
enum class StoreOutcome { Added, Replaced, Kept, Skipped };

/// What an import did. `failed` with `message` when it ended on an error (the message was
/// shown); the items stored before it stay stored.
struct ImportResult {
    int added = 0;    ///< new records
    int replaced = 0; ///< stored items overwritten
    int kept = 0;     ///< clashes answered with no
    int skipped = 0;  ///< items not stored (unreadable namesake, unreadable element, store error)
    bool failed = false;
    std::string message;
    int stored() const { return added + replaced; }
    /// Counts one stored (or not stored) item.
    void count(StoreOutcome outcome);
};

/// What an export did. Every item asked for is either written or counted here and named in
/// `leftOut` (which the export also shows as one message).
struct ExportResult {
    int written = 0;
    int unreadable = 0;               ///< records that could not be loaded
    int missing = 0;                  ///< records gone since they were chosen
    int nonFinite = 0;                ///< items with a value that is not a finite number
    std::vector<std::string> leftOut; ///< one text per item left out, naming it and why
    bool fileWritten = false;
};

/// True when the file name ends with the three letters "xml" in any case.
bool isXmlFileName(std::string_view fileName);

/// Every item of a kind in the order of its group tree: depth first, groups and items of a
/// group in the order names are shown.
std::vector<Reference> ItemsInTreeOrder(ItemStore& store, ItemKind kind);

/// The path of a group below the root joined with a backslash, without a trailing one; empty
/// for the root group.
std::string ExchangeGroupPath(ItemStore& store, std::int16_t groupType, const std::string& groupId);

namespace exchange_detail {
/// An item as messages name it: its group path and its name joined by a backslash, cut to a
/// length a message can show.
std::string itemLabel(const std::string& groupPath, const std::string& name);
/// Counts and names an item left out of an export because a value of it is not finite.
void leaveOutNonFinite(ExportResult& result, const std::string& groupPath, const std::string& name);
/// Loads a chosen item for an export; nullptr (and the item counted and named in the result)
/// when it is gone or cannot be read.
std::unique_ptr<DBItem> loadForExport(ItemStore& store, const ExchangeKind& kind,
                                      const Reference& ref, const std::string& groupPath,
                                      ExportResult& result);
/// Shows the items an export left out, if any, as one message.
void reportLeftOut(const ExportResult& result);
} // namespace exchange_detail

/// A real number as the text form writes it: general format, 6 significant digits.
std::string textReal(double value);

/// The common part of a text record after its keyword line: the export date line, the quoted
/// group path and the quoted item name.
void WriteTextItemHeader(TextDocument& stream, const DBItem& item, const std::string& groupPath);

/// A name as imports store it: trailing blanks removed. False when the store cannot take it
/// (empty or longer than a record name may be).
bool normalizeImportedName(std::string& name);
/// A group path as imports resolve it: a trailing separator dropped, each component's
/// trailing blanks removed (an empty component names a group with an empty name). False when
/// a component is longer than a record name may be.
bool normalizeImportedPath(std::string& path, char separator);
/// The error of a group path that `normalizeImportedPath` refused; it names the path.
Error badGroupPathError(const std::string& path);

/// Stores an item an import has read into the group named by its path (missing groups are
/// created). A namesake in that group is replaced without asking when `consultUntouched` is
/// set and its `Untouched` flag is not 0, otherwise after the overwrite question; a namesake
/// that cannot be read is never replaced. Storing errors are raised (nothing half-stored is
/// left behind).
StoreOutcome StoreImportedItem(ItemStore& store, const ExchangeKind& kind, DBItem& item,
                               const std::string& groupPath, OverwriteAnswers& answers,
                               bool consultUntouched);

/// Writes one item's text record (header and fields) into the stream. False, with nothing
/// written, when one of its numbers is not finite: no reader takes such a number back.
bool WriteItemText(TextDocument& stream, DBItem& item, const std::string& groupPath);

/// Writes the items as a text exchange file. No file is created when nothing was written.
ExportResult ExportText(ItemStore& store, ItemKind kind, const std::vector<Reference>& items,
                        const std::string& fileName);
/// Reads a text exchange file into the store; errors end the import and are shown. The
/// import is one transaction, so it waits for and shuts out another program's changes to the
/// table and costs one commit: when it cannot start ("IDS_TABLEBUSY") nothing is stored, when
/// an error ends it the items stored before stay stored, and a program stopped half-way
/// leaves the table as it was.
ImportResult ImportText(ItemStore& store, ItemKind kind, const std::string& fileName,
                        OverwriteAnswers& answers, const ImportOptions& options);
/// The same over a reader already made.
ImportResult ImportText(ItemStore& store, ItemKind kind, TextTokenReader& reader,
                        OverwriteAnswers& answers, const ImportOptions& options);

namespace exchange_detail {
/// Ends an import's transaction: what was stored is committed, also after an error ended
/// the import. A failing commit stores nothing and is reported in the result.
void commitImport(std::optional<SqliteTransaction>& import, ImportResult& result);
} // namespace exchange_detail

/// Export and import choosing the format by the file name (XML when it ends in "xml").
ExportResult ExportItems(ItemStore& store, ItemKind kind, const std::vector<Reference>& items,
                         const std::string& fileName);
ImportResult ImportItems(ItemStore& store, ItemKind kind, const std::string& fileName,
                         OverwriteAnswers& answers, const ImportOptions& options);

} // namespace kalydor
