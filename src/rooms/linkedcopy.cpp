#include "rooms/linkedcopy.h"

#include "base/error.h"
#include "reports/clipboarddocument.h"
#include "store/dbitem.h"
#include "store/itemstream.h"

namespace kalydor {

bool copyWithLinkName(DBItem& item, ClipboardDocument& stream, const std::string& linkName) {
    WriteString(stream.privateStream(), item.Name);
    if (!item.WriteRecord(stream.privateStream(), VersionWord::Without))
        return false;
    WriteString(stream.privateStream(), linkName);
    return true;
}

bool pasteWithLinkName(DBItem& item, MemoryStream& data, std::string& linkName) {
    if (!item.DBItem::PasteFrom(data))
        return false;
    try {
        linkName = ReadString(data);
    } catch (const Error&) {
        return false;
    }
    return true;
}

} // namespace kalydor
