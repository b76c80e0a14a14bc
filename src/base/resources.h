#pragma once

#include <map>
#include <string>
#include <string_view>

namespace kalydor {

/// A resource file built into the program (its path below resources/, such as
/// "stringtable.txt"); empty when there is none.
std::string_view embeddedResource(std::string_view name);

/// A built-in resource of a folder by its name without the file extension, letters compared
/// without regard to case: namedResource("titles", "panelitemstitle") finds
/// "titles/PanelItemsTitle.txt". Empty when there is none.
std::string_view namedResource(std::string_view folder, std::string_view name);

/// Entry n of the program's string table as stored, placeholders not yet replaced; empty
/// when the table has no such entry.
std::string stringTableEntry(int n);

/// Parses string-table text: "number<TAB>text" lines, "#" comment lines and blank lines
/// skipped, the escapes \r \n \t \\ in the text decoded. Later lines replace earlier ones.
void parseStringTable(std::string_view source, std::map<int, std::string>& entries);

} // namespace kalydor
