#pragma once

#include "language/language.h"

#include <string>
#include <vector>

namespace kalydor {

class XmlReader;

/// Reads one language document: the start tags "language", "strings"/"item",
/// "form"/"property"/"formitem" and "title"/"columnitem", wherever they stand. Elements
/// written as empty-element tags are not taken. A document that breaks off is read as far as
/// the scan gets.
Language readLanguage(XmlReader& parser);

/// The files of a folder whose names match a pattern of "*" and "?" (letters compared without
/// regard to case), in the sorted order of their names.
std::vector<std::string> matchingFiles(const std::string& directory, const std::string& pattern);

/// Whether a file name matches a pattern of "*" and "?", without regard to case.
bool matchesPattern(const std::string& name, const std::string& pattern);

} // namespace kalydor
