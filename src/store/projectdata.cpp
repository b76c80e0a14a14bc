#include "store/projectdata.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/memorystream.h"
#include "base/textencoding.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

namespace kalydor {
namespace {

// The header record of a project table, made current; false when there is none.
bool findHeader(ItemStore& project) {
    const std::string name = project.headerName();
    return !name.empty() && project.FindRecord(RecordType::Header, project.RootId(), name);
}

} // namespace

ProjectData ProjectData::forNewProject(const StringList& planner, bool initDate) {
    ProjectData data;
    data.Planner = planner;
    // The date is for people: written as the language writes dates.
    if (initDate)
        data.Date = displayToday();
    return data;
}

bool ProjectData::Read(MemoryStream& stream) {
    *this = ProjectData{};
    if (stream.remaining() == 0)
        return true;
    const std::int16_t version = readInt16(stream);
    ProjectData read;
    if (version == 11) {
        read.Building = ReadLines(stream);
        read.Customer = ReadLines(stream);
        read.Planner = ReadLines(stream);
        read.Comment = ReadLines(stream);
        read.Date = ReadString(stream);
    } else if (version == 10) {
        // Up to five texts, each ended by a NUL, in a block of the given length.
        const std::int16_t length = readInt16(stream);
        if (length < 0)
            throw Error("IDS_DATAREADERROR");
        const std::string block = readBytes(stream, static_cast<std::size_t>(length));
        std::size_t offset = 0;
        for (int text = 0; text < 5 && offset < block.size(); ++text) {
            std::size_t end = block.find('\0', offset);
            if (end == std::string::npos)
                end = block.size();
            const std::string value = textFromStoredBytes(block.substr(offset, end - offset));
            offset = end + 1;
            switch (text) {
            case 0:
                read.Building = splitLines(value);
                break;
            case 1:
                read.Customer = splitLines(value);
                break;
            case 2:
                read.Planner = splitLines(value);
                break;
            case 3:
                read.Date = value;
                break;
            default:
                read.Comment = splitLines(value);
                break;
            }
        }
    } else {
        reportVersionError(version);
        return false;
    }
    *this = std::move(read);
    return true;
}

std::string ProjectData::recordBytes() const {
    MemoryStream stream;
    writeInt16(stream, kCurrentVersion);
    WriteLines(stream, Building);
    WriteLines(stream, Customer);
    WriteLines(stream, Planner);
    WriteLines(stream, Comment);
    WriteString(stream, Date);
    return stream.takeBytes();
}

bool ProjectData::LoadFromProject(ItemStore& project) {
    *this = ProjectData{};
    if (!findHeader(project))
        return true;
    MemoryStream stream(project.currentData());
    return Read(stream);
}

bool ProjectData::SaveProjectData(ItemStore& project) const {
    const std::string bytes = recordBytes();
    if (!findHeader(project))
        return false;
    project.setCurrentData(bytes);
    return true;
}

} // namespace kalydor
