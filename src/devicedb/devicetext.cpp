// The text form of device items: the records of the manufacturers' source files and of the
// device database's text export.

#include "devicedb/devicetext.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "codecs/texttokenreader.h"

#include <cstdint>
#include <limits>
#include <string_view>

namespace kalydor {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kDTLogKeyword = "DTLOG";
constexpr std::string_view kDTKeyword = "DT";
constexpr int kTextDigits = 6;

// ---- writing --------------------------------------------------------------------------------

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string real(float value) {
    return formatGeneral(value, kTextDigits);
}

void line(std::string& out, std::string_view text) {
    out += text;
    out += kLineEnd;
}

void writeHeader(std::string& out, const DeviceItem& item, std::string_view keyword, int version,
                 std::string_view comment) {
    line(out, quoted(keyword) + " " + std::to_string(version) + "\t; " + std::string(comment));
    line(out, std::to_string(item.Date.year) + " " + std::to_string(item.Date.month) + " " +
                  std::to_string(item.Date.day) + "\t; adatellenőrzés dátuma");
    line(out, quoted(item.Path) + "\t; csoportnév");
    line(out, quoted(item.Name) + "\t; elemnév");
    line(out, "");
}

void writeFamily(std::string& out, const RadiatorFamily& family) {
    family.check();
    // The text form has no main types without a dimension of their own.
    if (family.DimensionLists.size() < 2)
        throw Error("IDS_RADIATORDATAERROR", {family.Name},
                    "The data of the device item \"%s\" do not fit together.");
    writeHeader(out, family, kRadiatorKeyword, RadiatorFamily::kCurrentVersion, "radiátor adatok");
    line(out, quoted(family.HomePage) + " ; Katalógus címe");
    line(out, "");
    line(out, quoted(family.DTLog == 1 ? kDTLogKeyword : kDTKeyword) +
                  " ; hőmérsékletkülönbség számítás módja");
    line(out, "");
    line(out, real(family.DTOrigin) + "\t ; Eredeti dt érték");
    line(out, "");
    line(out, std::to_string(family.DimensionLists.size()) + "\t ; dimenziók száma");
    line(out, "");
    for (const std::vector<std::string>& list : family.DimensionLists) {
        line(out, std::to_string(list.size()) + "\t; azonosítók száma");
        for (const std::string& entry : list)
            line(out, quoted(entry) + "\t");
        line(out, "");
    }
    line(out, std::to_string(family.MainTypes.size()) + "\t; altípusok száma");
    line(out, family.DimensionLists.size() == 3
                  ? "; azonosító\tH index\tM index\tsorok száma\tellenállás"
                  : "; azonosító\tH index\tsorok száma\tellenállás");
    for (const RadiatorMainType& type : family.MainTypes) {
        std::string text = quoted(type.MainTypeName) + "\t";
        for (const std::int16_t index : type.DimensionIndex)
            text += std::to_string(index) + "\t";
        text += std::to_string(type.SizeCount) + "\t" + real(type.kvValue) + "\t";
        line(out, text);
    }
    line(out, "");
    line(out, "; Név\tL index\tQ\tA\tV\tm+1\tjáratos\tL\tH\tM\tköltségvetés azonosító");
    // The sizes main type by main type: the form gives each main type the sizes that follow
    // those of the main types before it.
    for (const RadiatorMainType& type : family.MainTypes) {
        for (int i = 0; i < type.SizeCount; ++i) {
            const RadiatorSize& size = family.Sizes[static_cast<std::size_t>(type.FirstSize + i)];
            std::string text =
                quoted(size.Name) + "\t" + std::to_string(size.DimensionIndex) + "\t";
            for (const float value : {size.Power, size.Surface, size.Volume, size.Exponent})
                text += real(value) + "\t";
            for (const std::int16_t value : {size.Current, size.Length, size.Height, size.Width})
                text += std::to_string(value) + "\t";
            text += quoted(size.EstimateCode) + "\t";
            line(out, text);
        }
    }
    line(out, "");
    line(out, "");
}

void writePieceList(std::string& out, const PieceList& list) {
    list.check();
    writeHeader(out, list, kPieceListKeyword, PieceList::kCurrentVersion, "tétel listák");
    line(out, std::to_string(list.Lines.size()) + "\t; tételek száma");
    for (const PieceListLine& piece : list.Lines) {
        line(out, quoted(piece.Name) + "\t" + quoted(pieceTypeKeyword(piece.Type)) + "\t" +
                      real(piece.Quantity) + "\t" + quoted(piece.DimensionString) + "\t" +
                      quoted(piece.EstimateCode) + "\t");
    }
    line(out, "");
    line(out, "");
}

// ---- reading --------------------------------------------------------------------------------

[[noreturn]] void layoutError(const TextTokenReader& reader) {
    throwTextFormatError(TextFormatError::UnsupportedLayout, reader.FileName(), reader.LineIndex());
}

std::int16_t readInt16(TextTokenReader& reader) {
    const std::int32_t value = reader.NextInt();
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        layoutError(reader);
    return static_cast<std::int16_t>(value);
}

std::size_t readCount(TextTokenReader& reader) {
    const std::int32_t value = reader.NextInt();
    if (value < 0 || static_cast<std::size_t>(value) > kMaxDeviceCount)
        layoutError(reader);
    return static_cast<std::size_t>(value);
}

// A position in a list of `size` entries.
std::int16_t readIndex(TextTokenReader& reader, std::size_t size) {
    const std::int32_t value = reader.NextInt();
    if (value < 0 || static_cast<std::size_t>(value) >= size)
        layoutError(reader);
    return static_cast<std::int16_t>(value);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

void readFamily(TextTokenReader& reader, int version, RadiatorFamily& family) {
    if (version < 0 || version > RadiatorFamily::kCurrentVersion)
        layoutError(reader);
    family.Version = static_cast<std::int16_t>(version);
    family.HomePage = reader.NextString();
    family.DTLog = equalsIgnoringCase(reader.NextString(), kDTLogKeyword) ? 1 : 0;
    if (version == 0) {
        (void)reader.NextReal(); // a whole-number difference of old data, not used
    } else {
        family.DTOrigin = reader.NextReal();
        if (!(family.DTOrigin > 0))
            layoutError(reader);
    }
    const std::int32_t lists = reader.NextInt();
    if (lists < 2 || lists > 3)
        layoutError(reader);
    family.DimensionLists.resize(static_cast<std::size_t>(lists));
    for (std::vector<std::string>& list : family.DimensionLists) {
        const std::size_t count = readCount(reader);
        for (std::size_t i = 0; i < count; ++i)
            list.push_back(reader.NextString());
    }
    const std::size_t dimensions = family.mainTypeDimensions();
    const std::size_t types = readCount(reader);
    std::size_t sizes = 0;
    for (std::size_t t = 0; t < types; ++t) {
        RadiatorMainType type;
        type.MainTypeName = reader.NextString();
        for (std::size_t i = 0; i < dimensions; ++i)
            type.DimensionIndex.push_back(readIndex(reader, family.DimensionLists[i].size()));
        const std::size_t count = readCount(reader);
        type.FirstSize = static_cast<std::int16_t>(sizes);
        type.SizeCount = static_cast<std::int16_t>(count);
        sizes += count;
        if (sizes > kMaxDeviceCount)
            layoutError(reader);
        type.kvValue = reader.NextReal();
        family.MainTypes.push_back(std::move(type));
    }
    const std::size_t lastList = family.DimensionLists.back().size();
    for (std::size_t s = 0; s < sizes; ++s) {
        RadiatorSize size;
        size.Name = reader.NextString();
        size.DimensionIndex = readIndex(reader, lastList);
        for (float* value : {&size.Power, &size.Surface, &size.Volume, &size.Exponent})
            *value = reader.NextReal();
        for (std::int16_t* value : {&size.Current, &size.Length, &size.Height, &size.Width})
            *value = readInt16(reader);
        size.EstimateCode = reader.NextString();
        family.Sizes.push_back(std::move(size));
    }
    family.check();
}

void readPieceList(TextTokenReader& reader, int version, PieceList& list) {
    if (version != PieceList::kCurrentVersion)
        layoutError(reader);
    list.Version = static_cast<std::int16_t>(version);
    const std::size_t count = readCount(reader);
    for (std::size_t i = 0; i < count; ++i) {
        PieceListLine piece;
        piece.Name = reader.NextString();
        piece.Type = pieceTypeOf(reader.NextString());
        piece.Quantity = reader.NextReal();
        piece.DimensionString = reader.NextString();
        piece.EstimateCode = reader.NextString();
        list.Lines.push_back(std::move(piece));
    }
    list.check();
}

} // namespace

void writeDeviceText(std::string& out, const DeviceItem& item) {
    if (const auto* family = dynamic_cast<const RadiatorFamily*>(&item))
        writeFamily(out, *family);
    else if (const auto* list = dynamic_cast<const PieceList*>(&item))
        writePieceList(out, *list);
}

void writeDeviceTextEnd(std::string& out) {
    line(out, quoted("END"));
}

std::unique_ptr<DeviceItem> readDeviceText(TextTokenReader& reader,
                                           const TextRecordHeader& header) {
    const auto describe = [&header](DeviceItem& item) {
        item.Name = header.name;
        item.Path = header.groupPath;
        item.Date = DeviceDate::checked(header.year, header.month, header.day);
    };
    std::unique_ptr<DeviceItem> item;
    if (header.keyword == kRadiatorKeyword) {
        auto family = std::make_unique<RadiatorFamily>();
        describe(*family);
        readFamily(reader, header.version, *family);
        item = std::move(family);
    } else if (header.keyword == kPieceListKeyword) {
        auto list = std::make_unique<PieceList>();
        describe(*list);
        readPieceList(reader, header.version, *list);
        item = std::move(list);
    } else {
        throwTextFormatError(TextFormatError::WrongKeyword, reader.FileName(), reader.LineIndex());
    }
    checkDeviceName(item->Name);
    return item;
}

} // namespace kalydor
