#include "heating/hydraulic.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/textlookup.h"
#include "store/itemstream.h"

namespace kalydor {
namespace {

enum Tag : std::int16_t {
    kEnd = 100,
    kPointsAndSide0 = 101,
    kResistance = 102,
    kCodesAndSide0 = 103,
    kTexts2 = 104,
    kSides = 105,
    kValues2 = 106,
};

// The chunk's payload, taken whole so that no field is read from the chunk after it.
MemoryStream payloadOf(MemoryStream& stream, std::uint16_t length) {
    return MemoryStream(readBytes(stream, length));
}

void writeMedium(MemoryStream& s, const HeatingMedium& medium) {
    WriteString(s, medium.MediumType);
    writeFloat(s, medium.Ro);
    writeFloat(s, medium.Nu);
    writeFloat(s, medium.SpecificHeat);
}

void readMedium(MemoryStream& s, HeatingMedium& medium) {
    medium.MediumType = ReadString(s);
    medium.Ro = readFloat(s);
    medium.Nu = readFloat(s);
    medium.SpecificHeat = readFloat(s);
}

void writePointsAndSide0(MemoryStream& s, const Hydraulic& h) {
    const HydraulicSide& side = h.Sides[0];
    for (const ConnectionPoint& point : h.Points) {
        WriteString(s, point.Name);
        writeInt16(s, point.Size);
    }
    for (const std::string& text : h.Texts1)
        WriteString(s, text);
    writeFloat(s, h.Values1A);
    writeFloat(s, h.Values1B);
    writeInt16(s, h.Values1C);
    writeFloat(s, h.Values1D);
    writeInt16(s, h.Codes1[0]);
    writeInt16(s, h.Codes1[1]);
    writeFloat(s, side.SideValues1[6]);
    for (std::size_t c = 0; c < 2; ++c) {
        const Hydraulic::Choice& choice = h.Choices[c];
        WriteString(s, choice.Text1);
        writeInt16(s, choice.Code);
        WriteString(s, choice.Text2);
        WriteString(s, choice.Text3);
        WriteString(s, side.SideTexts[c]);
        writeFloat(s, side.SideValues2[c]);
    }
    writeFloat(s, side.SideValues2[2]);
    writeFloat(s, side.SideValues2[4]);
    writeFloat(s, side.SideValues1[5]);
    writeFloat(s, side.MassFlow);
    writeFloat(s, side.Power);
    writeFloat(s, side.Medium.ForwardTemperature);
    writeFloat(s, side.Medium.BackwardTemperature);
    for (std::size_t i = 0; i < 5; ++i)
        writeFloat(s, side.SideValues1[i]);
    writeMedium(s, side.Medium);
    writeInt16(s, h.Flag);
}

void readPointsAndSide0(MemoryStream& s, Hydraulic& h, int version) {
    HydraulicSide& side = h.Sides[0];
    for (ConnectionPoint& point : h.Points) {
        point.Name = ReadString(s);
        point.Size = readInt16(s);
        if (version < 258)
            point.Size2 = readInt16(s);
    }
    for (std::string& text : h.Texts1)
        text = ReadString(s);
    h.Values1A = readFloat(s);
    h.Values1B = readFloat(s);
    h.Values1C = readInt16(s);
    h.Values1D = readFloat(s);
    h.Codes1[0] = readInt16(s);
    h.Codes1[1] = readInt16(s);
    side.SideValues1[6] = readFloat(s);
    for (std::size_t c = 0; c < 2; ++c) {
        Hydraulic::Choice& choice = h.Choices[c];
        choice.Text1 = ReadString(s);
        choice.Code = readInt16(s);
        choice.Text2 = ReadString(s);
        choice.Text3 = ReadString(s);
        side.SideTexts[c] = ReadString(s);
        side.SideValues2[c] = readFloat(s);
    }
    side.SideValues2[2] = readFloat(s);
    side.SideValues2[4] = readFloat(s);
    side.SideValues1[5] = readFloat(s);
    side.MassFlow = readFloat(s);
    side.Power = readFloat(s);
    side.Medium.ForwardTemperature = readFloat(s);
    side.Medium.BackwardTemperature = readFloat(s);
    for (std::size_t i = 0; i < 5; ++i)
        side.SideValues1[i] = readFloat(s);
    readMedium(s, side.Medium);
    h.Flag = readInt16(s);
}

void writeResistance(MemoryStream& s, const HydraulicResistance& r) {
    writeInt16(s, r.Count);
    WriteString(s, r.Text1);
    WriteString(s, r.Text2);
    WriteString(s, r.Text3);
    writeInt16(s, r.Code1);
    writeInt16(s, r.Code2);
    writeFloat(s, r.Value1);
    writeInt16(s, r.Code3);
    writeInt16(s, r.Code4);
    writeFloat(s, r.Value2);
    writeFloat(s, r.Value3);
    writeInt16(s, r.Code5);
}

HydraulicResistance readResistance(MemoryStream& s, int version) {
    HydraulicResistance r;
    r.Count = readInt16(s);
    r.Text1 = ReadString(s);
    r.Text2 = ReadString(s);
    r.Text3 = ReadString(s);
    r.Code1 = readInt16(s);
    r.Code2 = readInt16(s);
    r.Value1 = readFloat(s);
    r.Code3 = readInt16(s);
    r.Code4 = readInt16(s);
    r.Value2 = readFloat(s);
    if (version > 256)
        r.Value3 = readFloat(s);
    r.Code5 = readInt16(s);
    return r;
}

void writeSides(MemoryStream& s, const Hydraulic& h) {
    const HydraulicSide& side = h.Sides[1];
    writeInt16(s, h.Sides[0].Active);
    writeInt16(s, side.Active);
    writeFloat(s, side.Power);
    writeFloat(s, side.MassFlow);
    for (const float value : side.SideValues1)
        writeFloat(s, value);
    for (const std::string& text : side.SideTexts)
        WriteString(s, text);
    for (const float value : side.SideValues2)
        writeFloat(s, value);
    writeFloat(s, side.Medium.ForwardTemperature);
    writeFloat(s, side.Medium.BackwardTemperature);
    writeMedium(s, side.Medium);
}

void readSides(MemoryStream& s, Hydraulic& h) {
    HydraulicSide& side = h.Sides[1];
    h.Sides[0].Active = readInt16(s);
    side.Active = readInt16(s);
    side.Power = readFloat(s);
    side.MassFlow = readFloat(s);
    for (float& value : side.SideValues1)
        value = readFloat(s);
    for (std::string& text : side.SideTexts)
        text = ReadString(s);
    for (float& value : side.SideValues2)
        value = readFloat(s);
    side.Medium.ForwardTemperature = readFloat(s);
    side.Medium.BackwardTemperature = readFloat(s);
    readMedium(s, side.Medium);
}

} // namespace

Hydraulic::Hydraulic() {
    const std::string water = GetText("IDS_NORMALWATER");
    Sides[0].Active = 1;
    for (HydraulicSide& side : Sides)
        side.Medium.MediumType = water;
}

bool Hydraulic::ReadRecord(MemoryStream& stream, int version) {
    if (version == 0)
        version = kCurrentVersion;
    if (version < 256 || version > kCurrentVersion) {
        reportVersionError(version);
        return false;
    }
    Hydraulic read = *this;
    read.Resists.clear();
    for (;;) {
        const std::int16_t tag = readInt16(stream);
        const std::uint16_t length = readUInt16(stream);
        if (tag == kEnd)
            break;
        MemoryStream payload = payloadOf(stream, length);
        switch (tag) {
        case kPointsAndSide0:
            readPointsAndSide0(payload, read, version);
            break;
        case kCodesAndSide0:
            if (length >= 9) {
                read.Codes1[2] = readInt16(payload);
                read.Codes1[3] = readInt16(payload);
            }
            read.Sides[0].SideValues2[3] = readFloat(payload);
            read.Sides[0].SideValues2[5] = readFloat(payload);
            break;
        case kResistance:
            read.Resists.push_back(readResistance(payload, version));
            break;
        case kTexts2:
            for (std::string& text : read.Texts2)
                text = ReadString(payload);
            break;
        case kSides:
            readSides(payload, read);
            break;
        case kValues2:
            read.Values2A = readFloat(payload);
            if (length > 6)
                read.Values2B = readFloat(payload);
            read.Values2C = readInt16(payload);
            break;
        default: // a chunk of a later form: its payload is skipped
            break;
        }
    }
    *this = std::move(read);
    return true;
}

void Hydraulic::WriteRecord(MemoryStream& stream) const {
    std::size_t chunk = beginChunk(stream, kPointsAndSide0);
    writePointsAndSide0(stream, *this);
    endChunk(stream, chunk);

    chunk = beginChunk(stream, kCodesAndSide0);
    writeInt16(stream, Codes1[2]);
    writeInt16(stream, Codes1[3]);
    writeFloat(stream, Sides[0].SideValues2[3]);
    writeFloat(stream, Sides[0].SideValues2[5]);
    endChunk(stream, chunk);

    for (const HydraulicResistance& resistance : Resists) {
        chunk = beginChunk(stream, kResistance);
        writeResistance(stream, resistance);
        endChunk(stream, chunk);
    }

    chunk = beginChunk(stream, kTexts2);
    for (const std::string& text : Texts2)
        WriteString(stream, text);
    endChunk(stream, chunk);

    chunk = beginChunk(stream, kSides);
    writeSides(stream, *this);
    endChunk(stream, chunk);

    chunk = beginChunk(stream, kValues2);
    writeFloat(stream, Values2A);
    writeFloat(stream, Values2B);
    writeInt16(stream, Values2C);
    endChunk(stream, chunk);

    writeInt16(stream, kEnd);
    writeUInt16(stream, 0);
}

} // namespace kalydor
