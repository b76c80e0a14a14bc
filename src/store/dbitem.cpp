#include "store/dbitem.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/numberformat.h"
#include "store/itemstore.h"
#include "store/itemstream.h"

namespace kalydor {

bool DBItem::ReadRecord(MemoryStream&, std::int16_t) {
    return false;
}

bool DBItem::WriteRecord(MemoryStream&, VersionWord) {
    return false;
}

bool DBItem::Edit(platform::Window*, const ItemContext&) {
    return false;
}

std::string ListColumns::formatReal(int, double value) const {
    return formatGeneral(value, 5);
}

std::string ListColumns::formatInteger(int, std::int64_t value) const {
    return std::to_string(value);
}

void DBItem::FillListRow(ListRow& row, const ListColumns& columns) const {
    bool first = true;
    for (const int id : columns.visibleColumnIds()) {
        std::string text = ColumnText(id, columns);
        if (first)
            row.caption = std::move(text);
        else
            row.subItems.push_back(std::move(text));
        first = false;
    }
}

std::string DBItem::ColumnText(int columnId, const ListColumns&) const {
    return columnId == 0 ? Name : std::string();
}

bool readStoredItem(DBItem& item, const std::string& dataBlock) {
    try {
        MemoryStream stream(dataBlock);
        const std::int16_t version = readInt16(stream);
        return item.ReadRecord(stream, version);
    } catch (const Error&) {
        return false;
    }
}

bool DBItem::PasteFrom(MemoryStream& binaryPart) {
    try {
        Name = ReadString(binaryPart);
        return ReadRecord(binaryPart, 0);
    } catch (const std::exception&) {
        return false;
    }
}

void DBItem::ReadText(TextTokenReader&, int) {}

namespace {

[[noreturn]] void throwNoExchangeForm(const std::string& name) {
    throw Error("IDS_NOEXCHANGEFORM", {name}, "\"%s\" cannot be written in this exchange format.");
}

} // namespace

bool DBItem::WriteText(TextDocument&, const std::string&) {
    throwNoExchangeForm(Name);
}

void DBItem::WriteXml(XmlWriter&, const std::string&) {
    throwNoExchangeForm(Name);
}

bool DBItem::ReadXml(XmlReader&, std::string&) {
    throwNoExchangeForm(Name);
}

void DBItem::AddUsedMaterials(UsedMaterials&) const {}

std::string DBItem::DragText() {
    return {};
}

bool DBItem::SaveToRecord(ItemStore& table, MemoryStream* stream) {
    if (m_loadFailed)
        throw Error("IDS_UNREADABLEITEM", {Name},
                    "The stored data of \"%s\" could not be read; it is left unchanged.");
    if (stream) {
        WriteRecord(*stream, VersionWord::Without);
        return true;
    }
    table.setCurrentData(recordBytes());
    return true;
}

std::string DBItem::recordBytes() {
    MemoryStream record;
    // Room for a room with a dozen boundaries: the record is not copied as it grows.
    record.reserve(16 * 1024);
    WriteRecord(record, VersionWord::With);
    return record.takeBytes();
}

} // namespace kalydor
