#pragma once

#include "store/itemcontext.h"
#include "store/itemstream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kalydor {

class MemoryStream;
class ItemStore;

// The exchange, clipboard, report and editor types of the item operations are named here
// only; the subsystems that define them implement the operations of each item class.
class ClipboardDocument;
class TextDocument;
class TextTokenReader;
class XmlWriter;
class XmlReader;
class UsedMaterials;
namespace platform {
class Window;
}

/// One row of an item list: the caption (first column shown) and the texts of the further
/// columns.
struct ListRow {
    std::string caption;
    std::vector<std::string> subItems;
};

/// The columns of an item list in display order, as a column layout defines them, and the
/// number formats of its columns.
class ListColumns {
public:
    virtual ~ListColumns() = default;
    /// Column ids of the visible columns, in display order.
    virtual std::vector<int> visibleColumnIds() const = 0;
    /// A real value as the cell text of the column with this id, in that column's format.
    virtual std::string formatReal(int columnId, double value) const;
    /// An integer value as the cell text of the column with this id.
    virtual std::string formatInteger(int columnId, std::int64_t value) const;
};

class DBItem;

/// Reads an item from a record's data block (its version word first); false when the block
/// cannot be read (an unknown version, data that end early).
bool readStoredItem(DBItem& item, const std::string& dataBlock);

/// Base of every object stored as one record of an item table: materials (and layers),
/// constructions, rooms and buildings. It holds what every stored item has and the
/// operations through which lists, exchange formats, the clipboard and reports reach an
/// item without knowing its class.
class DBItem {
public:
    DBItem() = default;
    DBItem(const DBItem&) = default;
    DBItem& operator=(const DBItem&) = default;
    virtual ~DBItem() = default;

    std::string Name;      ///< equals the record's Name
    std::string ID;        ///< the record's identifier text; empty without a record
    std::string GroupName; ///< caption of the group the item was opened from
    std::string GroupID;   ///< identifier of the owning group (the record's RefID)
    std::int16_t Untouched = 0;
    /// Path of the owning group, set by whoever loaded the item from its table: with
    /// backslashes and no trailing separator, and with slashes and a trailing slash.
    std::string GroupPath;
    std::string GroupSlashPath;

    /// Reads the item's own fields; version 0 means the class's current layout. A version
    /// the class does not know is reported (reportVersionError) and gives false.
    virtual bool ReadRecord(MemoryStream& stream, std::int16_t version);
    /// Writes the item's fields, first the current version word when asked for.
    virtual bool WriteRecord(MemoryStream& stream, VersionWord versionWord);
    /// Opens the item's editor over `owner` with the dialogs of `context`; true when the user
    /// confirmed (the caller then saves it).
    virtual bool Edit(platform::Window* owner, const ItemContext& context);
    /// Sets the texts of one list row: the text of the first visible column is the row's
    /// caption, the texts of the others its sub-items.
    virtual void FillListRow(ListRow& row, const ListColumns& columns) const;
    /// The text of one column of the item's list row; the base gives the name for column 0
    /// and nothing for the others.
    virtual std::string ColumnText(int columnId, const ListColumns& columns) const;
    /// Writes the item into a clipboard stream: with `ClipboardCopy::WithReport` its report
    /// text and table cells (calculated with the settings of `context`), then always the name
    /// and the record without version.
    virtual bool CopyTo(ClipboardDocument& stream, const ItemContext& context,
                        ClipboardCopy what) = 0;
    /// Reads the name and the record (current layout) from the binary part of clipboard
    /// data; false when anything could not be read.
    virtual bool PasteFrom(MemoryStream& binaryPart);
    /// Writes the item as one record of the text exchange format. Item kinds without a text
    /// form (rooms, buildings) keep the base, which refuses with an error.
    virtual bool WriteText(TextDocument& stream, const std::string& groupPath);
    /// Reads the item's own fields of a text exchange record.
    virtual void ReadText(TextTokenReader& reader, int recordVersion);
    /// Adds the item's material quantities to a bill of materials.
    virtual void AddUsedMaterials(UsedMaterials& bill) const;
    /// Writes the item as an element of an XML exchange document. Item kinds without an XML
    /// form keep the base, which refuses with an error.
    virtual void WriteXml(XmlWriter& writer, const std::string& groupPath);
    /// Reads the item from the XML element the parser stands on; the base has no XML form.
    virtual bool ReadXml(XmlReader& parser, std::string& groupPath);
    /// Text offered when the item is dragged out of its list; empty when it can only be
    /// dragged inside its own window.
    virtual std::string DragText();

    /// Writes the item's record with its version word into the current record of the table
    /// (or, with a stream given, without the version word into that stream only). Raises an
    /// error for an item whose record could not be read: such a record is never written over.
    bool SaveToRecord(ItemStore& table, MemoryStream* stream = nullptr);
    /// The data block of the item's record: the record with its version word, as
    /// SaveToRecord writes it and a new record is created with (AddRecord).
    std::string recordBytes();

    /// True when loading this item from its record failed; it must then not be saved.
    bool loadFailed() const { return m_loadFailed; }
    void setLoadFailed(bool failed) { m_loadFailed = failed; }

private:
    bool m_loadFailed = false;
};

} // namespace kalydor
