// Reading the source files of a device database load.

#include "devicedb/devicesource.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "codecs/texttokenreader.h"
#include "codecs/xmlreader.h"
#include "devicedb/devicetext.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

bool isXmlName(std::string_view name) {
    if (name.size() < 3)
        return false;
    const std::string_view tail = name.substr(name.size() - 3);
    return (tail[0] == 'x' || tail[0] == 'X') && (tail[1] == 'm' || tail[1] == 'M') &&
           (tail[2] == 'l' || tail[2] == 'L');
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The path with links resolved as far as it exists; nothing when it cannot be made.
std::optional<fs::path> resolvedPath(const fs::path& path) {
    std::error_code code;
    const fs::path absolute = fs::absolute(path, code);
    if (code)
        return std::nullopt;
    fs::path canonical = fs::weakly_canonical(absolute, code);
    if (code)
        return std::nullopt;
    return canonical;
}

// True when `path` lies below the folder `root` (both resolved).
bool liesBelow(const fs::path& path, const fs::path& root) {
    const fs::path relative = path.lexically_relative(root);
    if (relative.empty() || relative == ".")
        return false;
    return *relative.begin() != "..";
}

[[noreturn]] void includeError(const std::string& name) {
    throw Error("IDS_XMLPARSERERROR+12", {name},
                "The included file \"%s\" cannot be read or may not be included.");
}

// The content of the element whose start tag the parser stands on, up to its end tag.
std::string elementContent(XmlReader& parser) {
    std::string content;
    int depth = 1;
    while (parser.Scan()) {
        switch (parser.CurPartType()) {
        case XmlPart::StartTag:
            ++depth;
            break;
        case XmlPart::EndTag:
            if (--depth == 0)
                return content;
            break;
        case XmlPart::Content:
            content += parser.CurContent();
            break;
        case XmlPart::EmptyElementTag:
        case XmlPart::Other:
            break;
        }
    }
    return content;
}

} // namespace

DeviceSourceReader::DeviceSourceReader(std::vector<std::string> files) {
    for (std::string& path : files)
        m_files.push_back({path, {resolvedPath(path).value_or(path).string()}, false});
    m_picked = m_files.size();
}

DeviceSourceReader::~DeviceSourceReader() = default;

void DeviceSourceReader::setFileLoader(FileLoader loader) {
    m_loader = std::move(loader);
}

void DeviceSourceReader::setLanguage(std::string language) {
    m_language = std::move(language);
}

std::vector<std::string> DeviceSourceReader::files() const {
    std::vector<std::string> paths;
    for (const SourceFile& file : m_files)
        paths.push_back(file.path);
    return paths;
}

const DeviceMacros& DeviceSourceReader::globalMacros() const {
    static const DeviceMacros none;
    return m_xml ? m_xml->globalMacros() : none;
}

std::size_t DeviceSourceReader::filesRead() const {
    return m_files.size() + m_textIncludes;
}

void DeviceSourceReader::run(const DeviceSourceEvents& events) {
    m_files.resize(m_picked); // a second run starts from the picked files again
    if (m_files.empty())
        return;
    m_root = fs::path(m_files.front().chain.front()).parent_path().string();
    m_xml = std::make_unique<DeviceXmlReader>(m_language ? *m_language
                                                         : GetText("IDS_DEVICEDBLANGUAGE"));
    m_textIncludes = 0;
    // Included XML files are appended while the loop runs.
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        const SourceFile file = m_files[i];
        if (isXmlName(file.path))
            readXml(file, events);
        else
            readText(file, events);
        if (events.fileDone)
            events.fileDone(file.path);
    }
}

std::optional<std::string> DeviceSourceReader::resolveInclude(const std::string& includingFile,
                                                              const std::string& name) const {
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    // Absolute names, also those of another system's drives, lead out of the folder.
    if (relative.empty() || relative.front() == '/' ||
        (relative.size() >= 2 && isLetter(relative[0]) && relative[1] == ':'))
        return std::nullopt;
    const std::optional<fs::path> path =
        resolvedPath(fs::path(includingFile).parent_path() / relative);
    if (!path || !liesBelow(*path, m_root) || filesRead() >= kMaxFiles)
        return std::nullopt;
    return path->string();
}

void DeviceSourceReader::includeXml(const SourceFile& file, const std::string& name) {
    const std::optional<std::string> path = resolveInclude(file.path, name);
    if (!path || file.chain.size() > static_cast<std::size_t>(TextTokenReader::kMaxIncludeDepth) ||
        std::find(file.chain.begin(), file.chain.end(), *path) != file.chain.end())
        includeError(name);
    SourceFile included{*path, file.chain, true};
    included.chain.push_back(*path);
    m_files.push_back(std::move(included));
}

void DeviceSourceReader::readXml(const SourceFile& file, const DeviceSourceEvents& events) {
    XmlReader parser;
    bool loaded = false;
    try {
        loaded = m_loader ? parser.LoadFromBuffer(m_loader(file.path), file.path)
                          : parser.LoadFromFile(file.path);
    } catch (const std::exception&) {
        if (file.included)
            includeError(file.path);
        throw;
    }
    if (!loaded) {
        if (file.included)
            includeError(file.path);
        throw Error("IDS_FILEREADERROR", {file.path, parser.ErrorText()},
                    "The file %s cannot be read: %s");
    }
    parser.Normalize = true;
    parser.StartScan();
    while (parser.Scan()) {
        const XmlPart part = parser.CurPartType();
        if (part != XmlPart::StartTag && part != XmlPart::EmptyElementTag)
            continue;
        const std::string& name = parser.CurName();
        if (name == "DBReset") {
            if (events.reset)
                events.reset();
        } else if (part != XmlPart::StartTag) {
            continue;
        } else if (name == "DBInclude") {
            includeXml(file, elementContent(parser));
        } else if (name == kGlobalMacroElement) {
            m_xml->readGlobalMacros(parser);
        } else if (name == kRadiatorElement || name == kPieceListElement) {
            std::unique_ptr<DeviceItem> item = m_xml->readItem(parser);
            if (events.item)
                events.item(std::move(item));
        }
    }
    if (parser.EndedOnError())
        throw Error("IDS_XMLPARSERERROR+0", {file.path, parser.ErrorText()},
                    "The file %s is not a well-formed XML document. %s");
}

void DeviceSourceReader::readText(const SourceFile& file, const DeviceSourceEvents& events) {
    std::unique_ptr<TextTokenReader> reader;
    try {
        reader = m_loader ? std::make_unique<TextTokenReader>(m_loader(file.path), file.path)
                          : std::make_unique<TextTokenReader>(file.path);
    } catch (const std::exception&) {
        if (file.included)
            includeError(file.path);
        throw;
    }
    reader->setEndOfInputEndsFile(true);
    if (m_loader)
        reader->setIncludeLoader(m_loader);
    reader->setIncludeResolver([this](const std::string& includingFile, const std::string& name) {
        const std::optional<std::string> path = resolveInclude(includingFile, name);
        if (!path)
            includeError(name); // the reader reports it as its error 6
        ++m_textIncludes;
        return *path;
    });
    reader->onAutoYes = [&events] {
        if (events.autoYes)
            events.autoYes();
    };
    while (true) {
        TextRecordHeader header;
        const NextRecordResult next = reader->NextRecord(header);
        if (next == NextRecordResult::End)
            break;
        if (next == NextRecordResult::Reset) {
            if (events.reset)
                events.reset();
            continue;
        }
        std::unique_ptr<DeviceItem> item = readDeviceText(*reader, header);
        if (events.item)
            events.item(std::move(item));
    }
}

} // namespace kalydor
