#pragma once

#include <string>

namespace kalydor {

class ProjectOptions;
class XmlReader;
class XmlWriter;

/// The root element of a project settings file (".kps").
inline constexpr const char* kSettingsRoot = "KalydorProjektSettings";

/// Writes the options as the elements of a settings file, each on a line of its own.
void WriteSettingsXml(const ProjectOptions& options, XmlWriter& writer);

/// Reads a settings file's elements into the options. The file is read into a copy, which
/// replaces the options only when the document ends the "KalydorProjektSettings" root: false
/// (the options unchanged) for a document that ends before it, or whose root is another
/// (an exchange file has elements of the same names). A bad number, an hour or junction
/// index out of range, an integer beyond its stored word or a text the options record cannot
/// hold raise "IDS_WRONGVALUE" or the record's error, the options unchanged.
bool ReadSettingsXml(ProjectOptions& options, XmlReader& reader);

/// The whole file: written atomically (a failed save keeps the old file; a value that is no
/// number fails it with "IDS_WRONGVALUE"); read with the rules above ("IDS_FILEREADERROR"
/// naming the file when it cannot be loaded).
void SaveSettingsFile(const ProjectOptions& options, const std::string& fileName);
bool LoadSettingsFile(ProjectOptions& options, const std::string& fileName);

} // namespace kalydor
