#pragma once

#include "devicedb/deviceitem.h"
#include "devicedb/devicexml.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

/// What reading the source files of a load hands its caller, in the order of the files.
/// Every callback may be left empty.
struct DeviceSourceEvents {
    /// "RESET" (text) or "DBReset" (XML): the device table is to be emptied.
    std::function<void()> reset;
    /// An item read and checked.
    std::function<void(std::unique_ptr<DeviceItem>)> item;
    /// "AUTOYES" (text): items of names already stored are to be replaced without asking.
    std::function<void()> autoYes;
    /// A file has been read to its end; what it gave can be committed.
    std::function<void(const std::string& file)> fileDone;
};

/// Reads the source files of one load of the device database: manufacturers' catalogues in
/// the text form (a name not ending in "xml") or the XML form (a name ending in "xml", in any
/// letter case), one file after the other.
///
/// A text file is a sequence of records, "RESET", "AUTOYES" and "INCLUDE" lines; it ends with
/// "END" or with its last line. An XML file gives its item elements, "DBReset" (start or
/// empty-element tag), "DBInclude" (its content names a file, read after all files listed so
/// far) and "KalydorDBGlobalMacro" (macros for the rest of the load, over later files too).
///
/// Included files are named relative to the folder of the file that includes them, "\" or "/"
/// separating folders. Refused: an absolute name; a file that, links resolved, lies outside
/// the folder of the first file of the load; includes nested deeper than
/// TextTokenReader::kMaxIncludeDepth or coming back to a file that includes them; an include
/// that would make the load read more than kMaxFiles files. A refused or unreadable include
/// is "IDS_XMLPARSERERROR+12" (with the name) in an XML file and text-format error 6 in a
/// text file.
///
/// A fault ends the run with its error (see readDeviceText and DeviceXmlReader::readItem); a
/// malformed XML document is "IDS_XMLPARSERERROR+0" (the file name and the parser's message),
/// an unreadable first-level file "IDS_FILEREADERROR". The events of the file being read when
/// the fault came are those of an unfinished file: the caller drops what it took from them
/// since the last `fileDone`.
class DeviceSourceReader {
public:
    /// Most files one load reads, included ones counted.
    static constexpr std::size_t kMaxFiles = 1000;

    /// The files as the user picked them; the first one's folder bounds the includes.
    explicit DeviceSourceReader(std::vector<std::string> files);
    ~DeviceSourceReader();
    DeviceSourceReader(const DeviceSourceReader&) = delete;
    DeviceSourceReader& operator=(const DeviceSourceReader&) = delete;

    /// Gives the bytes of a file from its path instead of the disk (tests, fuzzing); raises an
    /// error when it has none.
    using FileLoader = std::function<std::string(const std::string& path)>;
    void setFileLoader(FileLoader loader);
    /// The language the `Language` attributes of XML sources are taken in; without one, the
    /// text of "IDS_DEVICEDBLANGUAGE" when the run starts.
    void setLanguage(std::string language);

    /// Reads all files, included ones too, handing the events over as they come. The global
    /// macros start empty.
    void run(const DeviceSourceEvents& events);

    /// The files of the load: those picked, then those XML files included, in reading order.
    std::vector<std::string> files() const;
    /// The global macros as the last file left them.
    const DeviceMacros& globalMacros() const;

private:
    struct SourceFile {
        std::string path;
        /// The files that include it, outermost first, then itself (their resolved paths).
        std::vector<std::string> chain;
        bool included = false;
    };

    void readXml(const SourceFile& file, const DeviceSourceEvents& events);
    void readText(const SourceFile& file, const DeviceSourceEvents& events);
    void includeXml(const SourceFile& file, const std::string& name);
    /// The resolved path of an include, or nothing when it is refused.
    std::optional<std::string> resolveInclude(const std::string& includingFile,
                                              const std::string& name) const;
    std::size_t filesRead() const;

    std::vector<SourceFile> m_files;
    std::size_t m_picked = 0; ///< the files picked, before those included
    FileLoader m_loader;
    std::optional<std::string> m_language;
    std::string m_root; ///< folder of the first file, links resolved
    std::size_t m_textIncludes = 0;
    std::unique_ptr<DeviceXmlReader> m_xml;
};

} // namespace kalydor
