#include "devicedb/deviceset.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/safefilewriter.h"
#include "base/textlookup.h"
#include "devicedb/devicestore.h"
#include "store/itemstream.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <unordered_map>

namespace kalydor {
namespace {

// A set file names at most every item of both kinds, a few megabytes; a larger file is not
// one and is not read into memory.
constexpr std::uintmax_t kMaxSetFileBytes = 64u * 1024 * 1024;

// The smallest counted string: its length word and the closing NUL.
constexpr std::size_t kMinStringBytes = 3;

[[noreturn]] void notASetFile() {
    throw Error("IDS_SETFILEERROR", {}, "The file is not a device set file");
}

// The language text followed by the file in brackets.
Error setFileError(const std::string& path) {
    std::string text = GetText("IDS_SETFILEERROR");
    if (text.empty())
        text = "The file is not a device set file";
    return Error::withText("IDS_SETFILEERROR", text + " [" + path + "]");
}

std::string readSetFileBytes(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw setFileError(path);
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxSetFileBytes)
        throw setFileError(path);
    std::ifstream file(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!file.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw setFileError(path);
    return bytes;
}

int sectionKind(std::string_view section) {
    for (std::size_t kind = 0; kind < std::size(kSetFileSections); ++kind) {
        if (kSetFileSections[kind] == section)
            return static_cast<int>(kind);
    }
    return -1;
}

} // namespace

DeviceSetFile readDeviceSetFile(std::string_view bytes) {
    DeviceSetFile file;
    try {
        MemoryStream stream{std::string(bytes)};
        if (ReadString(stream) != kSetFileHeader)
            notASetFile();
        while (stream.remaining() > 0) {
            const int kind = sectionKind(ReadString(stream));
            const std::int32_t count = readInt32(stream);
            if (count < 0 || static_cast<std::size_t>(count) > stream.remaining() / kMinStringBytes)
                notASetFile();
            for (std::int32_t i = 0; i < count; ++i) {
                std::string name = ReadString(stream);
                if (kind >= 0)
                    file.names[static_cast<std::size_t>(kind)].push_back(std::move(name));
            }
            if (kind >= 0)
                file.hasSection[static_cast<std::size_t>(kind)] = true;
        }
    } catch (const Error&) {
        notASetFile();
    }
    return file;
}

std::string writeDeviceSetFile(const DeviceSetFile& file) {
    MemoryStream stream;
    WriteString(stream, std::string(kSetFileHeader));
    for (std::size_t kind = 0; kind < file.names.size(); ++kind) {
        const std::vector<std::string>& names = file.names[kind];
        if (names.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            notASetFile();
        WriteString(stream, std::string(kSetFileSections[kind]));
        writeInt32(stream, static_cast<std::int32_t>(names.size()));
        for (const std::string& name : names)
            WriteString(stream, name);
    }
    return stream.takeBytes();
}

DeviceSet::DeviceSet(DeviceStore& store, SetSelection selection)
    : DeviceSet(DeviceHierarchy(DeviceKind::RadiatorFamily), DeviceHierarchy(DeviceKind::PieceList),
                selection) {
    for (DeviceHierarchy& list : m_lists) {
        list.load(store);
        if (WithSelection)
            list.clearSelection();
    }
}

DeviceSet::DeviceSet(DeviceHierarchy radiatorFamilies, DeviceHierarchy pieceLists,
                     SetSelection selection)
    : WithSelection(selection == SetSelection::With)
    , m_lists{std::move(radiatorFamilies), std::move(pieceLists)} {
    if (WithSelection) {
        for (DeviceHierarchy& list : m_lists)
            list.clearSelection();
    }
}

DeviceHierarchy& DeviceSet::hierarchy(DeviceKind kind) {
    return m_lists[static_cast<std::size_t>(deviceKindNumber(kind))];
}

const DeviceHierarchy& DeviceSet::hierarchy(DeviceKind kind) const {
    return m_lists[static_cast<std::size_t>(deviceKindNumber(kind))];
}

void DeviceSet::loadFile(const std::string& path) {
    DeviceSetFile file;
    try {
        file = readDeviceSetFile(readSetFileBytes(path));
    } catch (const Error&) {
        throw setFileError(path);
    }
    apply(file);
    FileName = path;
}

void DeviceSet::apply(const DeviceSetFile& file) {
    for (std::size_t kind = 0; kind < m_lists.size(); ++kind) {
        if (!file.hasSection[kind])
            continue;
        DeviceHierarchy& list = m_lists[kind];
        std::unordered_map<std::string_view, std::size_t> index;
        for (std::size_t i = list.size(); i-- > 0;)
            index[list.Names[i]] = i; // the first entry of a name wins
        list.clearSelection();
        for (const std::string& name : file.names[kind]) {
            if (const auto it = index.find(name); it != index.end())
                list.Selected[it->second] = true;
        }
    }
    AllItems = false;
}

DeviceSetFile DeviceSet::selection() const {
    DeviceSetFile file;
    for (std::size_t kind = 0; kind < m_lists.size(); ++kind) {
        const DeviceHierarchy& list = m_lists[kind];
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (selectedAt(list, i))
                file.names[kind].push_back(list.Names[i]);
        }
        file.hasSection[kind] = true;
    }
    return file;
}

void DeviceSet::saveFile(const std::string& path) {
    writeFileSafely(path, writeDeviceSetFile(selection()));
    FileName = path;
}

bool DeviceSet::selectedAt(const DeviceHierarchy& list, std::size_t index) const {
    return AllItems || list.isSelected(index);
}

std::optional<DeviceSetEntry> DeviceSet::next(Position& position) const {
    for (; position.kind < m_lists.size(); ++position.kind, position.index = 0) {
        const DeviceHierarchy& list = m_lists[position.kind];
        while (position.index < list.size()) {
            const std::size_t i = position.index++;
            if (selectedAt(list, i))
                return DeviceSetEntry{list.Kind, list.Names[i],
                                      i < list.Paths.size() ? list.Paths[i] : std::string()};
        }
    }
    return std::nullopt;
}

bool DeviceSet::isSelected(DeviceKind kind, std::string_view name) const {
    const DeviceHierarchy& list = hierarchy(kind);
    const int index = list.indexOf(name);
    return index >= 0 && selectedAt(list, static_cast<std::size_t>(index));
}

bool DeviceSet::select(DeviceKind kind, std::string_view name, bool selected) {
    DeviceHierarchy& list = hierarchy(kind);
    const int index = list.indexOf(name);
    if (index < 0)
        return false;
    if (list.Selected.size() != list.size())
        list.Selected.resize(list.size(), false);
    list.Selected[static_cast<std::size_t>(index)] = selected;
    return true;
}

} // namespace kalydor
