#include "store/dbitem.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "store/datamodule.h"
#include "store/itemstream.h"

namespace kalydor {

bool DBItem::ReadRecord(MyMemoryStream&, std::int16_t) {
    return false;
}

bool DBItem::WriteRecord(MyMemoryStream&, bool) {
    return false;
}

bool DBItem::Edit(platform::Window*) {
    return false;
}

void DBItem::FillListRow(ListRow& row, const ListColumns& columns) const {
    for (const int id : columns.visibleColumnIds()) {
        if (id == 0)
            row.subItems.push_back(Name);
    }
}

bool DBItem::PasteFrom(MyMemoryStream& binaryPart) {
    try {
        Name = ReadString(binaryPart);
        return ReadRecord(binaryPart, 0);
    } catch (const std::exception&) {
        return false;
    }
}

void DBItem::ReadText(TParserStream&, int) {}

void DBItem::AddUsedMaterials(UsedMaterials&) const {}

std::string DBItem::DragText() {
    return {};
}

bool DBItem::SaveToRecord(TDataModuleForm& table, MyMemoryStream* stream) {
    if (m_loadFailed)
        throw Error("IDS_UNREADABLEITEM", {Name},
                    "The stored data of \"%s\" could not be read; it is left unchanged.");
    if (stream) {
        WriteRecord(*stream, false);
        return true;
    }
    MyMemoryStream record;
    WriteRecord(record, true);
    table.setCurrentData(record.bytes());
    return true;
}

} // namespace kalydor
