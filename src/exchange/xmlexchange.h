#pragma once

#include "exchange/textexchange.h"

#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class DBItem;
class ItemStore;
class XmlWriter;
class XmlReader;

/// Root element of the XML exchange documents.
inline constexpr std::string_view kExchangeXmlRoot = "Kalydor32Project";
/// First line of a drag text; a dropped text is taken only when it begins with it.
inline constexpr std::string_view kDragTextSource = "Source=Kalydor_00";

/// The common first child of every item element: "ItemHeader" with the name, the backslash
/// group path and the identifier.
void WriteXmlItemHeader(XmlWriter& writer, const DBItem& item, const std::string& groupPath);
/// Reads the item header the parser stands in (after its start tag) up to its end tag: the
/// content of "ItemName" becomes the item's name, that of "ItemPath" the group path. False
/// when the document ends first.
bool ReadXmlItemHeader(XmlReader& parser, DBItem& item, std::string& groupPath);

/// Writes one item's element into the document. False, with nothing written, when one of its
/// numbers is not finite: no reader takes such a number back.
bool WriteItemXml(XmlWriter& writer, DBItem& item, const std::string& groupPath);

/// Writes the items as an XML exchange document; the file is written even with no item.
ExportResult ExportXml(ItemStore& store, ItemKind kind, const std::vector<Reference>& items,
                       const std::string& fileName);
/// Reads the item elements of the kind from an XML exchange file into the store. An element
/// that cannot be read is reported and dropped; a document that breaks off keeps what was
/// stored before and is reported with the number of items stored.
ImportResult ImportXml(ItemStore& store, ItemKind kind, const std::string& fileName,
                       OverwriteAnswers& answers, const ImportOptions& options);
/// The same over a loaded parser.
ImportResult ImportXml(ItemStore& store, ItemKind kind, XmlReader& parser,
                       OverwriteAnswers& answers, const ImportOptions& options);

/// The drag text of an item: the source line, the key line naming the item by its slash path
/// (with a trailing slash) and name, then the lines of an in-memory exchange document holding
/// the item written with its backslash path, each line ended by a line feed.
std::string BuildDragText(DBItem& item, const std::string& keyName, const std::string& slashPath,
                          const std::string& backslashPath);
/// True when a dropped text comes from this system.
bool IsKalydorDragText(std::string_view text);

} // namespace kalydor
