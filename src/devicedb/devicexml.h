#pragma once

#include "devicedb/deviceitem.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class XmlReader;
class XmlWriter;

/// Root element of an XML export of device items.
inline constexpr std::string_view kDeviceXmlRoot = "KalydorDB";
/// The item elements.
inline constexpr std::string_view kRadiatorElement = "KalydorDBRadiator";
inline constexpr std::string_view kPieceListElement = "KalydorDBPieceList";
/// The element whose macros hold for the rest of a load.
inline constexpr std::string_view kGlobalMacroElement = "KalydorDBGlobalMacro";

/// Writes an item's element ("KalydorDBRadiator" or "KalydorDBPieceList") into an export
/// document, each element on a line of its own. Real numbers keep few digits (the nominal
/// difference 3, kv values, surfaces, volumes, exponents and quantities 4, outputs 5), so an
/// item read back from this form holds its numbers at those digits. A family's sizes are
/// written main type by main type. Raises what the item's `check()` raises; a non-finite
/// number is written as "NAN" or "INF", which no reader takes back (watch the writing with a
/// NonFiniteWatch to leave such an item out).
void writeDeviceXml(XmlWriter& writer, const DeviceItem& item);

/// A text macro of a source file: every occurrence of the ID in the texts it applies to is
/// replaced by the value.
struct DeviceMacro {
    std::string ID;
    std::string value;

    bool operator==(const DeviceMacro&) const = default;
};
using DeviceMacros = std::vector<DeviceMacro>;

/// Most macros an item or the global list may hold.
inline constexpr std::size_t kMaxDeviceMacros = 1000;
/// Most replacements in one text.
inline constexpr std::size_t kMaxMacroReplacements = 1000;
/// Longest text a replacement may leave.
inline constexpr std::size_t kMaxExpandedTextLength = 64 * 1024;
/// Most characters all replacements in one text may leave together, so that a text expanded
/// to nearly its longest cannot be rewritten a thousand times.
inline constexpr std::size_t kMaxMacroWork = 1024 * 1024;

/// Appends a macro to a list. Raises "IDS_XMLPARSERERROR+11" (with the ID and the item name)
/// for an empty ID, a value that contains its own ID (its expansion would never end) and a
/// list that already holds kMaxDeviceMacros.
void addDeviceMacro(DeviceMacros& macros, DeviceMacro macro, const std::string& itemName);

/// Expands the macros in a text: the item's macros in their order, then the global ones in
/// theirs; each replaces every occurrence of its ID, the search starting again at the
/// beginning after each replacement, so that a value may bring in the ID of a later macro.
/// Raises "IDS_XMLPARSERERROR+11" when the text needs more than kMaxMacroReplacements
/// replacements, grows beyond kMaxExpandedTextLength or costs more than kMaxMacroWork.
std::string expandDeviceMacros(std::string text, const DeviceMacros& itemMacros,
                               const DeviceMacros& globalMacros, const std::string& itemName);

/// True when an element with this `Language` attribute is taken in `language`: a missing or
/// empty attribute, "any" and the language itself are.
bool deviceLanguageTaken(std::string_view attribute, std::string_view language);

/// Reads the items and global macros of the device database's XML sources. It keeps the
/// global macros from one "KalydorDBGlobalMacro" element to the next, across the files of a
/// load.
///
/// Elements with a `Language` attribute are taken only in their language (see
/// `deviceLanguageTaken`); the rule holds for "ItemPath", "ItemName", "HomePage", "Macro",
/// "DimensionArray", "MainTypeName", the "Name" of sizes and lines and the "DimensionString"
/// of lines. An element that is not taken is passed over with all it holds.
class DeviceXmlReader {
public:
    /// `language` is what the `Language` attribute must hold besides "any": the text of
    /// "IDS_DEVICEDBLANGUAGE" of the program's language.
    explicit DeviceXmlReader(std::string language);

    /// Reads the item whose start tag ("KalydorDBRadiator" or "KalydorDBPieceList") the
    /// parser stands on, up to its end tag, and checks it. Raises "IDS_XMLPARSERERROR+" n:
    /// 0 (the file name and the parser's message) when the document breaks off inside the
    /// item; 1 for a fourth dimension list; 2 for a dimension index beyond the main-type
    /// dimensions, missing or outside its list, and for a dimension list after a main type;
    /// 6 for a number that is not finite or, where a whole number is stored, not whole or
    /// outside -32768 to 32767; 10 for an item header without a name or folder path; 11 for
    /// a macro that cannot be used; 13 and 14 for a line or size without a name; and
    /// "IDS_RADIATORDATAERROR" for a count above 32767, data that do not fit together and a
    /// name longer than 64 characters.
    std::unique_ptr<DeviceItem> readItem(XmlReader& parser);

    /// Reads the "KalydorDBGlobalMacro" element the parser stands on: the global macros are
    /// emptied and each taken "Macro" (its `ID` attribute, its content the value) appended.
    void readGlobalMacros(XmlReader& parser);

    const DeviceMacros& globalMacros() const { return m_globalMacros; }
    const std::string& language() const { return m_language; }

    /// Whether the start or empty-element tag the parser stands on is taken.
    bool takes(const XmlReader& parser) const;

private:
    std::string m_language;
    DeviceMacros m_globalMacros;
};

} // namespace kalydor
