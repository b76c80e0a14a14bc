#pragma once

// The private clipboard copy of rooms and buildings: the name and the record, then the name
// of the item it links to (a room's building, a building's parent), since identifiers mean
// nothing in another project.

#include <string>

namespace kalydor {

class ClipboardDocument;
class DBItem;
class MemoryStream;

bool copyWithLinkName(DBItem& item, ClipboardDocument& stream, const std::string& linkName);
/// False when the copy cannot be read, the link's name included.
bool pasteWithLinkName(DBItem& item, MemoryStream& data, std::string& linkName);

} // namespace kalydor
