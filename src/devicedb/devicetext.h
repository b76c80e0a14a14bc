#pragma once

#include "devicedb/deviceitem.h"

#include <memory>
#include <string>

namespace kalydor {

class TextTokenReader;
struct TextRecordHeader;

/// Appends the text record of an item: the header (kind keyword and version, date, folder
/// path, name) and the item's data, every line ended by CR LF, the commented lines in the
/// layout the manufacturers' source files use. Every text is written between double quotes
/// with `"` and `\` escaped by a backslash. Raises what the item's `check()` raises, and
/// "IDS_RADIATORDATAERROR" for a radiator family with fewer than two dimension lists, which
/// the text form cannot carry. Real numbers are written with six significant digits; a
/// non-finite one is written as "NAN" or "INF", which no reader takes back (watch the writing
/// with a NonFiniteWatch to leave such an item out).
void writeDeviceText(std::string& out, const DeviceItem& item);

/// Appends the line that ends a file of several records: `"END"` CR LF.
void writeDeviceTextEnd(std::string& out);

/// Reads the record whose header `NextRecord` just read: a radiator family for
/// "KALYDOR32RADIATOR" (versions 0 and 1), a piece list for "KALYDOR32PIECELIST" (version 0).
/// Raises text-format error 4 for another keyword and 5 for another version, a count outside
/// 0 to 32767, an index outside its list, a whole number outside the range it is stored in
/// or a nominal temperature difference that is not above 0; the reader's own errors for
/// tokens that are missing or malformed; "IDS_RADIATORDATAERROR" for a name that is empty or
/// longer than 64 characters.
std::unique_ptr<DeviceItem> readDeviceText(TextTokenReader& reader, const TextRecordHeader& header);

} // namespace kalydor
