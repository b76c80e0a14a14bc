#include "constructions/panel.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/textlookup.h"
#include "constructions/constructioncontext.h"
#include "reports/clipboarddocument.h"
#include "store/itemstream.h"

#include <algorithm>
#include <array>

namespace kalydor {
namespace {

struct TypeInfo {
    const char* name;
    float outsideAlpha;
    float insideAlpha;
};

constexpr std::array<TypeInfo, Panel::kTypeCount> kTypes{{
    {"OutsideWall", 24, 8}, {"InsideWall", 8, 8},    {"Floor", 0, 6},
    {"Roof1", 24, 10},      {"Roof2", 12, 10},       {"Roof3", 8, 6},
    {"Roof4", 20, 6},       {"Roof5", 12, 10},       {"Roof6", 8, 6},
    {"WallInEarth", 0, 0},  {"OutsideWindow", 0, 0}, {"InsideWindow", 0, 0},
    {"OutsideDoor", 0, 0},  {"InsideDoor", 0, 0},    {"OutsideWindDoor", 0, 0},
    {"WindowedRoof", 0, 0}, {"OutsideBridge", 0, 0}, {"InsideBridge", 0, 0},
    {"Undefined", 0, 0},
}};

// Chunk tags of the current record layout.
constexpr std::int16_t kMainChunk = 1;
constexpr std::int16_t kLayerChunk = 2;
constexpr std::int16_t kOpeningChunk = 3;
constexpr std::int16_t kResultChunk = 4;

// The layer layout that a construction record version implies.
std::int16_t layerVersionOf(std::int16_t panelVersion) {
    switch (panelVersion) {
    case 50:
        return 50;
    case 51:
    case 52:
        return 51;
    case 53:
    case 54:
        return 52;
    case 55:
        return 53;
    default:
        return 54;
    }
}

std::array<float*, 14> resultFields(Panel& p) {
    return {&p.R,
            &p.TotalResistance,
            &p.RGived,
            &p.ThermicMassivitate,
            &p.ComputedMassivitate,
            &p.ThermicMassivitateGived,
            &p.GroundWaterHeight,
            &p.FundationWidth,
            &p.ms,
            &p.ns,
            &p.SurfaceTemperatureDifference,
            &p.NeededResistance,
            &p.Rbc,
            &p.EarthLambda};
}

} // namespace

bool Panel::isFloorLike(int type) {
    return type == 2 || type == 5 || type == 6 || type == 7 || type == 8;
}

bool Panel::isInternal(int type) {
    switch (type) {
    case 1:
    case 4:
    case 5:
    case 7:
    case 8:
    case 11:
    case 13:
    case 17:
        return true;
    default:
        return false;
    }
}

bool Panel::isGlazed(int type) {
    return type == 10 || type == 11 || type == 14 || type == 15;
}

bool Panel::isOuterOpening(int type) {
    return type == 10 || type == 12 || type == 14;
}

std::string Panel::typeName(int type) {
    if (type < 0 || type >= kTypeCount)
        return {};
    return kTypes[static_cast<std::size_t>(type)].name;
}

int Panel::typeOfName(const std::string& name) {
    for (int i = 0; i < kTypeCount; ++i)
        if (name == kTypes[static_cast<std::size_t>(i)].name)
            return i;
    return -1;
}

void Panel::takeDefaults(const PanelDefaults& defaults) {
    OutSideTemp = defaults.OutSideTemp;
    InSideTemp = defaults.InSideTemp;
    OutSideRelHum = defaults.OutSideRelHum;
    InSideRelHum = defaults.InSideRelHum;
    DiffusionDays = defaults.DiffusionDays;
    FloorLevel = defaults.FloorLevel;
    GroundWaterHeight = defaults.GroundWaterHeight;
    EarthLambda = defaults.EarthLambda;
}

void Panel::defaultAlphas(int type, float& outside, float& inside) {
    outside = inside = 0;
    if (type < 0 || type >= kTypeCount)
        return;
    outside = kTypes[static_cast<std::size_t>(type)].outsideAlpha;
    inside = kTypes[static_cast<std::size_t>(type)].insideAlpha;
}

std::vector<int> Panel::outsideOrder() const {
    std::vector<int> order(Layers.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(Ordering == 1 ? order.size() - 1 - i : i);
    return order;
}

const char* Panel::floorClassKey(double b) {
    if (b < 0.7)
        return "IDS_WARMFLOOR";
    if (b > 0.84)
        return "IDS_COLDFLOOR";
    return "IDS_HALFWARMFLOOR";
}

bool Panel::ReadRecord(MemoryStream& stream, std::int16_t version) {
    if (version == 0)
        version = kRecordVersion;
    if (version < 50 || version > kRecordVersion) {
        reportVersionError(version);
        return false;
    }
    *this = [this] {
        // Start from a new construction; the item base's fields stay.
        Panel fresh;
        static_cast<DBItem&>(fresh) = static_cast<const DBItem&>(*this);
        return fresh;
    }();
    if (version >= 55)
        readChunked(stream, version);
    else
        readOldLayout(stream, version);
    return true;
}

void Panel::readChunked(MemoryStream& stream, std::int16_t version) {
    const std::int16_t layerVersion = layerVersionOf(version);
    ChunkHeader header;
    while (readChunkHeader(stream, header)) {
        // Each chunk is read from its own payload, so a short chunk cannot read into the
        // next one and a longer one (written by a later version) is passed over as a whole.
        MemoryStream chunk(readBytes(stream, header.length));
        switch (header.tag) {
        case kMainChunk: {
            Type = static_cast<std::uint8_t>(readUInt16(chunk) & 0xFF);
            Layered = readInt16(chunk);
            for (float* field :
                 {&x, &y, &Mass, &DampFactor, &Delay, &HeatMass, &HeatMass2, &FloorHeatAbsorb})
                *field = readFloat(chunk);
            if (Layered == 0) {
                for (float* field : {&OutSideTemp, &InSideTemp, &OutSideAlpha, &InSideAlpha,
                                     &OutSideRelHum, &InSideRelHum, &FloorLevel, &DiffusionDays})
                    *field = readFloat(chunk);
                Ordering = readInt16(chunk);
            } else if (Layered == 1) {
                InSideAlpha = readFloat(chunk);
                GlassRatio = readFloat(chunk);
            }
            break;
        }
        case kOpeningChunk:
            InfiltrationFactor = readFloat(chunk);
            InfiltrationLength = readFloat(chunk);
            break;
        case kResultChunk:
            for (float* field : resultFields(*this))
                *field = readFloat(chunk);
            break;
        case kLayerChunk: {
            Layer layer;
            layer.readLayer(chunk, layerVersion);
            Layers.push_back(std::move(layer));
            break;
        }
        default:
            break; // a chunk of a later version
        }
    }
}

void Panel::readOldLayout(MemoryStream& stream, std::int16_t version) {
    const std::uint8_t typeByte = readByte(stream);
    Type = typeByte & 0x7F;
    Layered = (typeByte & 0x80) ? 1 : 0;
    for (float* field : {&x, &y, &Mass, &DampFactor, &HeatMass, &HeatMass2, &FloorHeatAbsorb})
        *field = readFloat(stream);
    const std::int16_t count = readInt16(stream);
    if (count < 0)
        throw Error("IDS_DATAREADERROR");
    if (Layered == 1) {
        InSideAlpha = readFloat(stream);
        readBytes(stream, 2);
        GlassRatio = readFloat(stream);
        readBytes(stream, 30);
    } else {
        for (float* field : {&OutSideTemp, &InSideTemp, &OutSideAlpha, &InSideAlpha, &OutSideRelHum,
                             &InSideRelHum, &FloorLevel, &DiffusionDays})
            *field = readFloat(stream);
    }
    if (version >= 52)
        Delay = readFloat(stream);
    if (version == 54)
        Ordering = readInt16(stream);
    const std::int16_t layerVersion = layerVersionOf(version);
    for (int i = 0; i < count; ++i) {
        Layer layer;
        layer.readLayer(stream, layerVersion);
        Layers.push_back(std::move(layer));
    }
}

bool Panel::WriteRecord(MemoryStream& stream, VersionWord versionWord) {
    if (versionWord == VersionWord::With)
        writeInt16(stream, kRecordVersion);
    std::size_t length = beginChunk(stream, kMainChunk);
    writeUInt16(stream, Type);
    writeInt16(stream, Layered);
    for (const float field : {x, y, Mass, DampFactor, Delay, HeatMass, HeatMass2, FloorHeatAbsorb})
        writeFloat(stream, field);
    if (Layered == 0) {
        for (const float field : {OutSideTemp, InSideTemp, OutSideAlpha, InSideAlpha, OutSideRelHum,
                                  InSideRelHum, FloorLevel, DiffusionDays})
            writeFloat(stream, field);
        writeInt16(stream, Ordering);
    } else if (Layered == 1) {
        writeFloat(stream, InSideAlpha);
        writeFloat(stream, GlassRatio);
    }
    endChunk(stream, length);

    length = beginChunk(stream, kOpeningChunk);
    writeFloat(stream, InfiltrationFactor);
    writeFloat(stream, InfiltrationLength);
    endChunk(stream, length);

    length = beginChunk(stream, kResultChunk);
    for (const float* field : resultFields(*this))
        writeFloat(stream, *field);
    endChunk(stream, length);

    for (const Layer& layer : Layers) {
        length = beginChunk(stream, kLayerChunk);
        layer.writeLayer(stream);
        endChunk(stream, length);
    }
    writeChunkEnd(stream);
    return true;
}

bool Panel::CopyTo(ClipboardDocument& stream, const ItemContext& context, ClipboardCopy what) {
    if (what == ClipboardCopy::WithReport)
        writeReport(stream, constructionContextOf(context).settings);
    WriteString(stream.privateStream(), Name);
    return WriteRecord(stream.privateStream(), VersionWord::Without);
}

std::string Panel::ColumnText(int columnId, const ListColumns& columns) const {
    const auto real = [&](double value) { return columns.formatReal(columnId, value); };
    switch (columnId) {
    case 1:
        return GetText("IDS_PANELTYPES+" + std::to_string(Type));
    case 2:
        return real(x);
    case 3:
        return real(y);
    case 5:
        return real(Mass);
    case 6:
        return real(DampFactor);
    case 7:
        return HeatMass2 > 0.01f ? real(HeatMass) + " / " + real(HeatMass2) : real(HeatMass);
    case 8:
        return real(FloorHeatAbsorb);
    case 9:
        return real(Delay);
    case 25:
        return real(InfiltrationFactor);
    case 26:
        return real(InfiltrationLength);
    case 27:
        return real(ThermicMassivitate);
    case 28:
        return real(Type == 2 ? ms : 0);
    case 29:
        return real(Type == 2 ? ns : 0);
    case 30:
        return real(Type == 2 ? Rbc : 0);
    case 31:
        return real(NeededResistance);
    case 32:
        return real(R);
    default:
        return DBItem::ColumnText(columnId, columns);
    }
}

} // namespace kalydor
