#include "devicedb/deviceitem.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/textencoding.h"
#include "codecs/compressing.h"
#include "store/itemstream.h"
#include "store/treemodel.h"

#include <cmath>

namespace kalydor {
namespace {

// The largest expanded item: 32,767 sizes of a few hundred bytes each fit many times over,
// while a damaged or hostile block cannot make the expansion take more memory than this.
constexpr std::size_t kMaxExpandedItemBytes = 16 * 1024 * 1024;

[[noreturn]] void dataError(const std::string& name) {
    throw Error("IDS_RADIATORDATAERROR", {name},
                "The data of the device item \"%s\" do not fit together.");
}

[[noreturn]] void readError() {
    throw Error("IDS_DATAREADERROR");
}

[[noreturn]] void versionError(int version) {
    throw Error("IDS_VERSIONERR", {std::int64_t{version}},
                "The data version %d is not known to this program.");
}

void writeCount(MemoryStream& stream, std::size_t count, const std::string& name) {
    if (count > kMaxDeviceCount)
        dataError(name);
    writeInt16(stream, static_cast<std::int16_t>(count));
}

// A stored count: negative ones cannot be.
std::size_t readCount(MemoryStream& stream) {
    const std::int16_t count = readInt16(stream);
    if (count < 0)
        readError();
    return static_cast<std::size_t>(count);
}

bool inside(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Julian day number of 1970-01-01.
constexpr std::int64_t kUnixEpochJulianDay = 2440588;

} // namespace

// ---- Dates ----------------------------------------------------------------------------------

bool DeviceDate::valid() const {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = month == 2 && leap ? 29 : kDays[month - 1];
    return day <= last;
}

std::optional<std::int64_t> DeviceDate::julianDay() const {
    if (!valid())
        return std::nullopt;
    return daysFromCivil(year, month, day) + kUnixEpochJulianDay;
}

DeviceDate DeviceDate::fromJulianDay(std::int64_t julian) {
    // Days of 0001-01-01 and 9999-12-31.
    if (julian < 1721426 || julian > 5373484)
        return {};
    std::int64_t z = julian - kUnixEpochJulianDay + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    return {y, m, d};
}

DeviceDate DeviceDate::checked(int year, int month, int day) {
    const DeviceDate date{year, month, day};
    return date.valid() ? date : DeviceDate{};
}

// ---- Items ----------------------------------------------------------------------------------

void DeviceItem::FillTree(TreeModel&) const {}

std::string DeviceItem::packed() const {
    MemoryStream stream;
    WriteBinary(stream);
    return Compressing::Encode(stream.bytes());
}

void DeviceItem::unpack(std::string_view data) {
    if (data.empty())
        readError();
    MemoryStream stream(Compressing::Decode(data, kMaxExpandedItemBytes));
    ReadBinary(stream);
}

std::unique_ptr<DeviceItem> createDeviceItem(DeviceKind kind) {
    if (kind == DeviceKind::PieceList)
        return std::make_unique<PieceList>();
    return std::make_unique<RadiatorFamily>();
}

void checkDeviceName(const std::string& name) {
    if (name.empty() || codePointCount(name) > kMaxDeviceNameLength)
        dataError(name);
}

// ---- Radiator families ----------------------------------------------------------------------

std::size_t RadiatorFamily::mainTypeDimensions() const {
    return DimensionLists.empty() ? 0 : DimensionLists.size() - 1;
}

void RadiatorFamily::check() const {
    if (DimensionLists.empty() || DimensionLists.size() > 3 || !std::isfinite(DTOrigin) ||
        DTOrigin <= 0 || MainTypes.size() > kMaxDeviceCount || Sizes.size() > kMaxDeviceCount)
        dataError(Name);
    for (const std::vector<std::string>& list : DimensionLists) {
        if (list.size() > kMaxDeviceCount)
            dataError(Name);
    }
    const std::size_t dimensions = mainTypeDimensions();
    for (const RadiatorMainType& type : MainTypes) {
        if (type.DimensionIndex.size() != dimensions)
            dataError(Name);
        for (std::size_t i = 0; i < dimensions; ++i) {
            if (!inside(type.DimensionIndex[i], DimensionLists[i].size()))
                dataError(Name);
        }
        if (type.FirstSize < 0 || type.SizeCount < 0 ||
            static_cast<std::size_t>(type.FirstSize) + static_cast<std::size_t>(type.SizeCount) >
                Sizes.size())
            dataError(Name);
    }
    for (const RadiatorSize& size : Sizes) {
        if (!inside(size.DimensionIndex, DimensionLists.back().size()))
            dataError(Name);
    }
}

void RadiatorFamily::WriteBinary(MemoryStream& stream) const {
    check();
    writeInt16(stream, kCurrentVersion);
    WriteString(stream, HomePage);
    writeInt16(stream, DTLog);
    writeFloat(stream, DTOrigin);
    writeCount(stream, DimensionLists.size(), Name);
    for (const std::vector<std::string>& list : DimensionLists) {
        writeCount(stream, list.size(), Name);
        for (const std::string& entry : list)
            WriteString(stream, entry);
    }
    writeCount(stream, MainTypes.size(), Name);
    for (const RadiatorMainType& type : MainTypes) {
        WriteString(stream, type.MainTypeName);
        for (const std::int16_t index : type.DimensionIndex)
            writeInt16(stream, index);
        writeInt16(stream, type.FirstSize);
        writeInt16(stream, type.SizeCount);
        writeFloat(stream, type.kvValue);
    }
    writeCount(stream, Sizes.size(), Name);
    for (const RadiatorSize& size : Sizes) {
        WriteString(stream, size.Name);
        writeInt16(stream, size.DimensionIndex);
        writeFloat(stream, size.Power);
        writeFloat(stream, size.Surface);
        writeFloat(stream, size.Volume);
        writeFloat(stream, size.Exponent);
        writeInt16(stream, size.Current);
        writeInt16(stream, size.Length);
        writeInt16(stream, size.Height);
        writeInt16(stream, size.Width);
        WriteString(stream, size.EstimateCode);
    }
}

void RadiatorFamily::ReadBinary(MemoryStream& stream) {
    const std::int16_t version = readInt16(stream);
    if (version < 0 || version > kCurrentVersion)
        versionError(version);
    RadiatorFamily read;
    read.Name = Name;
    read.Version = version;
    read.HomePage = ReadString(stream);
    read.DTLog = readInt16(stream);
    if (version == 0)
        (void)readInt16(stream); // a whole-number difference of old data, not used
    else
        read.DTOrigin = readFloat(stream);
    const std::size_t lists = readCount(stream);
    if (lists < 1 || lists > 3)
        readError();
    read.DimensionLists.resize(lists);
    for (std::vector<std::string>& list : read.DimensionLists) {
        const std::size_t count = readCount(stream);
        for (std::size_t i = 0; i < count; ++i)
            list.push_back(ReadString(stream));
    }
    const std::size_t types = readCount(stream);
    for (std::size_t t = 0; t < types; ++t) {
        RadiatorMainType type;
        type.MainTypeName = ReadString(stream);
        for (std::size_t i = 0; i + 1 < lists; ++i)
            type.DimensionIndex.push_back(readInt16(stream));
        type.FirstSize = readInt16(stream);
        type.SizeCount = readInt16(stream);
        type.kvValue = readFloat(stream);
        read.MainTypes.push_back(std::move(type));
    }
    const std::size_t sizes = readCount(stream);
    for (std::size_t s = 0; s < sizes; ++s) {
        RadiatorSize size;
        size.Name = ReadString(stream);
        size.DimensionIndex = readInt16(stream);
        size.Power = readFloat(stream);
        size.Surface = readFloat(stream);
        size.Volume = readFloat(stream);
        size.Exponent = readFloat(stream);
        size.Current = readInt16(stream);
        size.Length = readInt16(stream);
        size.Height = readInt16(stream);
        size.Width = readInt16(stream);
        size.EstimateCode = ReadString(stream);
        read.Sizes.push_back(std::move(size));
    }
    // Indexes and ranges that point outside their lists would be used by every lookup.
    try {
        read.check();
    } catch (const Error&) {
        readError();
    }
    HomePage = std::move(read.HomePage);
    Version = read.Version;
    DTLog = read.DTLog;
    DTOrigin = read.DTOrigin;
    DimensionLists = std::move(read.DimensionLists);
    MainTypes = std::move(read.MainTypes);
    Sizes = std::move(read.Sizes);
}

void RadiatorFamily::CollectEstimateCodes(EstimateCodeCollector& collector) const {
    for (const RadiatorSize& size : Sizes)
        collector.offer(size.EstimateCode, size.Name);
}

void RadiatorFamily::FillTree(TreeModel& tree) const {
    for (const RadiatorMainType& type : MainTypes) {
        TreeNode* root = tree.addRoot(type.MainTypeName, std::nullopt);
        for (int i = 0; i < type.SizeCount; ++i) {
            const int index = type.FirstSize + i;
            if (inside(index, Sizes.size()))
                tree.addChild(*root, Sizes[static_cast<std::size_t>(index)].Name, std::nullopt);
        }
    }
}

RadiatorFamily::SizePosition RadiatorFamily::FindSize(std::string_view typeCode) const {
    SizePosition position;
    for (std::size_t i = 0; i < Sizes.size(); ++i) {
        if (Sizes[i].Name == typeCode) {
            position.size = static_cast<int>(i);
            break;
        }
    }
    if (!position.found())
        return position;
    for (std::size_t t = 0; t < MainTypes.size(); ++t) {
        if (MainTypes[t].FirstSize + MainTypes[t].SizeCount > position.size) {
            position.mainType = static_cast<int>(t);
            break;
        }
    }
    return position;
}

std::optional<std::string> RadiatorFamily::NextSize(std::string_view typeCode) const {
    const SizePosition at = FindSize(typeCode);
    if (at.mainType < 0)
        return std::nullopt;
    const RadiatorMainType& type = MainTypes[static_cast<std::size_t>(at.mainType)];
    if (at.size + 1 >= type.FirstSize + type.SizeCount ||
        static_cast<std::size_t>(at.size) + 1 >= Sizes.size())
        return std::nullopt;
    return Sizes[static_cast<std::size_t>(at.size + 1)].Name;
}

std::optional<std::string> RadiatorFamily::PreviousSize(std::string_view typeCode) const {
    const SizePosition at = FindSize(typeCode);
    if (at.mainType < 0)
        return std::nullopt;
    const RadiatorMainType& type = MainTypes[static_cast<std::size_t>(at.mainType)];
    if (at.size <= type.FirstSize || at.size == 0)
        return std::nullopt;
    return Sizes[static_cast<std::size_t>(at.size - 1)].Name;
}

float RadiatorFamily::SizeSurface(std::string_view typeCode) const {
    const SizePosition at = FindSize(typeCode);
    return at.found() ? Sizes[static_cast<std::size_t>(at.size)].Surface : 0.0f;
}

float RadiatorFamily::SizeVolume(std::string_view typeCode) const {
    const SizePosition at = FindSize(typeCode);
    return at.found() ? Sizes[static_cast<std::size_t>(at.size)].Volume : 0.0f;
}

SizeDimensions RadiatorFamily::sizeDimensions(int index) const {
    if (!inside(index, Sizes.size()))
        return {};
    const RadiatorSize& size = Sizes[static_cast<std::size_t>(index)];
    return {size.Length, size.Height, size.Width};
}

float RadiatorFamily::MainTypeKv(int mainType) const {
    return inside(mainType, MainTypes.size())
               ? MainTypes[static_cast<std::size_t>(mainType)].kvValue
               : 0.0f;
}

int RadiatorFamily::MainTypeByName(std::string_view name) const {
    for (std::size_t t = 0; t < MainTypes.size(); ++t) {
        if (MainTypes[t].MainTypeName == name)
            return static_cast<int>(t);
    }
    return -1;
}

int RadiatorFamily::MainTypeAt(int first, int second) const {
    for (std::size_t t = 0; t < MainTypes.size(); ++t) {
        const std::vector<std::int16_t>& index = MainTypes[t].DimensionIndex;
        if (index.empty() || index[0] != first)
            continue;
        if (index.size() >= 2 && index[1] != second)
            continue;
        return static_cast<int>(t);
    }
    return -1;
}

// ---- Piece lists ----------------------------------------------------------------------------

std::string_view pieceTypeKeyword(std::int16_t type) {
    if (type == 0)
        return kRadiatorKeyword;
    if (type == 1)
        return kPieceListKeyword;
    return {};
}

std::int16_t pieceTypeOf(std::string_view keyword) {
    if (keyword == kRadiatorKeyword)
        return 0;
    if (keyword == kPieceListKeyword)
        return 1;
    return 2;
}

void PieceList::check() const {
    if (Lines.size() > kMaxDeviceCount)
        dataError(Name);
}

void PieceList::WriteBinary(MemoryStream& stream) const {
    check();
    writeInt16(stream, kCurrentVersion);
    writeCount(stream, Lines.size(), Name);
    for (const PieceListLine& line : Lines) {
        WriteString(stream, line.Name);
        writeInt16(stream, line.Type);
        writeFloat(stream, line.Quantity);
        WriteString(stream, line.DimensionString);
        WriteString(stream, line.EstimateCode);
    }
}

void PieceList::ReadBinary(MemoryStream& stream) {
    const std::int16_t version = readInt16(stream);
    if (version != kCurrentVersion)
        versionError(version);
    std::vector<PieceListLine> lines;
    const std::size_t count = readCount(stream);
    for (std::size_t i = 0; i < count; ++i) {
        PieceListLine line;
        line.Name = ReadString(stream);
        line.Type = readInt16(stream);
        line.Quantity = readFloat(stream);
        line.DimensionString = ReadString(stream);
        line.EstimateCode = ReadString(stream);
        lines.push_back(std::move(line));
    }
    Version = version;
    Lines = std::move(lines);
}

void PieceList::CollectEstimateCodes(EstimateCodeCollector& collector) const {
    for (const PieceListLine& line : Lines)
        collector.offer(line.EstimateCode, line.Name);
}

} // namespace kalydor
