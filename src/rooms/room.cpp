#include "rooms/room.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/numberformat.h"
#include "base/textlookup.h"
#include "heating/projectoptions.h"
#include "platform/prompter.h"
#include "reports/clipboarddocument.h"
#include "rooms/building.h"
#include "rooms/linkedcopy.h"
#include "rooms/projectconversion.h"
#include "rooms/projectrecalculation.h"
#include "rooms/roomcontext.h"
#include "rooms/roomeditor.h"
#include "store/itemkinds.h"
#include "store/itemstream.h"
#include "store/storehooks.h"

#include <cmath>

namespace kalydor {
namespace {

enum Tag : std::int16_t {
    kEnd = 0,
    kMain = 1,
    kBoundary = 2,
    kRadiator = 8,
    kFloorField = 9,
    kSummer = 10,
    kSurcharges = 11,
    kSettlement = 12,
    // The boundaries whose thermal values the record was too old to hold.
    kMissingThermalValues = 13,
};

constexpr double kAirHeatCapacity = 1.2; // kJ/m³K
constexpr double kPerHour = 3.6;         // m³/h × kJ/m³K × K → W
constexpr double kDoorOpening = 0.38;
constexpr double kWindExponent = 4.0 / 3.0;

double rounded(double value) {
    return std::floor(value + 0.5);
}

// The compensation surcharge (%) of a mean thermal resistance Rm (m²K/W), to one decimal.
float compensationSurcharge(double rm) {
    if (rm >= 10)
        return 0;
    if (rm > 0.6) {
        const double b = std::log(rm);
        return static_cast<float>(std::floor(std::exp(b * (0.1313 * b - 0.6584) + 2.4) * 10 + 0.5) *
                                  0.1);
    }
    return 16.5f;
}

const char* findingKey(BoundaryFinding finding) {
    switch (finding) {
    case BoundaryFinding::FloorEdgesLeftOut:
        return "IDS_FLOOREDGESLEFTOUT";
    case BoundaryFinding::NoMassivity:
        return "IDS_NOMASSIVITY";
    case BoundaryFinding::NotFinite:
        return "IDS_NOTFINITECONTRIBUTION";
    }
    return "IDS_NOTFINITECONTRIBUTION";
}

void writeString(MemoryStream& s, const std::string& text) {
    WriteString(s, text);
}

} // namespace

std::string RoomFinding::text() const {
    return formatText(GetText(key), {boundary});
}

Room::Room(const ProjectOptions* options) {
    const RomanianOptions romanian = options != nullptr ? options->Romanian : RomanianOptions{};
    if (options != nullptr) {
        Height = options->Building.Height;
        HeatingInSideTemp = options->Heating.InSideTemp;
        HeatingOutSideTemp = options->Heating.OutSideTemp;
        TransFactor = options->Heating.TransFactor;
        SunShineFlag = options->Heating.SunShineFlag;
        FiltMode = options->Heating.FiltMode;
        Portion = options->Heating.Portion;
        AirChangeFact = options->Heating.AirChangeFact;
        AirTemp = options->Heating.OutSideTemp;
        CoolingInSideTemp = options->Cooling.InSideTemp;
        CalcFlags = static_cast<std::int16_t>((options->Heating.Calculate != 0 ? 1 : 0) |
                                              (options->Cooling.Calculate != 0 ? 2 : 0));
    }
    Ao = romanian.Ao;
    AcCalculated = romanian.AcCalculated;
    Ac = romanian.Ac;
    Cm = romanian.Cm;
    EFactor = romanian.E;
    WindSpeed = romanian.v;
    ResetResults();
}

Room::Room(const Room& other)
    : DBItem(other) {
    *this = other;
}

Room& Room::operator=(const Room& other) {
    if (this == &other)
        return *this;
    DBItem::operator=(other);
    Function = other.Function;
    Area = other.Area;
    Height = other.Height;
    Volume0 = other.Volume0;
    Mass1 = other.Mass1;
    HeatMass1 = other.HeatMass1;
    BuildingRef = other.BuildingRef;
    HeatingInSideTemp = other.HeatingInSideTemp;
    OutSideTempFromProject = other.OutSideTempFromProject;
    HeatingOutSideTemp = other.HeatingOutSideTemp;
    TransFactor = other.TransFactor;
    SunShineFlag = other.SunShineFlag;
    InternalSource = other.InternalSource;
    FiltMode = other.FiltMode;
    NumOfMens = other.NumOfMens;
    Portion = other.Portion;
    AirChangeFact = other.AirChangeFact;
    AirTempFromProject = other.AirTempFromProject;
    AirTemp = other.AirTemp;
    AirVolume = other.AirVolume;
    FiltPower = other.FiltPower;
    CoolingInSideTemp = other.CoolingInSideTemp;
    CalcFlags = other.CalcFlags;
    Ao = other.Ao;
    AcCalculated = other.AcCalculated;
    Ac = other.Ac;
    Cm = other.Cm;
    EFactor = other.EFactor;
    WindSpeed = other.WindSpeed;
    Building = other.Building;
    Summer = other.Summer;
    Volume1 = other.Volume1;
    Mass0 = other.Mass0;
    Mass2 = other.Mass2;
    HeatMass0 = other.HeatMass0;
    HeatMass2 = other.HeatMass2;
    TransPower = other.TransPower;
    SunShinePower = other.SunShinePower;
    CalculatedFiltPower = other.CalculatedFiltPower;
    HeatingPower = other.HeatingPower;
    AcComputed = other.AcComputed;
    CoolingLoad = other.CoolingLoad;
    Rm = other.Rm;
    DoorHeat = other.DoorHeat;
    Boundaries = other.Boundaries;
    Gains.clear();
    for (const std::unique_ptr<InternalPower>& gain : other.Gains)
        Gains.push_back(gain->clone());
    Radiators = other.Radiators;
    FloorFields = other.FloorFields;
    UnknownChunks = other.UnknownChunks;
    BuildingName = other.BuildingName;
    ListTexts = other.ListTexts;
    return *this;
}

Room::~Room() = default;

double Room::volume() const {
    return Volume0 > 0 ? Volume0 : Volume1;
}

double Room::transmissionOutsideTemp(double projectOutsideTemp) const {
    return OutSideTempFromProject != 0 ? projectOutsideTemp : HeatingOutSideTemp;
}

double Room::enteringAirTemp(double projectOutsideTemp) const {
    return AirTempFromProject != 0 ? projectOutsideTemp : AirTemp;
}

double Room::acInUse() const {
    return AcCalculated != 0 ? AcComputed : Ac;
}

void Room::ResetResults() {
    Volume1 = Mass0 = Mass2 = HeatMass0 = HeatMass2 = 0;
    TransPower = SunShinePower = CalculatedFiltPower = HeatingPower = 0;
    CoolingLoad = HourlyCoolingLoad{};
    Summer.values[2] = 0;
    for (Boundary& boundary : Boundaries)
        boundary.HeatLoss = 0;
    for (const std::unique_ptr<InternalPower>& gain : Gains)
        gain->resetHours();
}

bool Room::hasMissingThermalValues() const {
    for (const Boundary& boundary : Boundaries)
        if (boundary.MissingThermalValues)
            return true;
    return false;
}

std::vector<RoomFinding> Room::Calculate(const RoomSettings& settings) {
    std::vector<RoomFinding> findings;
    if (hasMissingThermalValues()) {
        for (const Boundary& boundary : Boundaries)
            if (boundary.MissingThermalValues)
                findings.push_back({"IDS_MISSINGTHERMALVALUES", boundary.Name});
        return findings;
    }
    // Worked on a copy: a calculation that raises leaves the room as it was.
    Room r(*this);
    const auto finite = [&](double value, const std::string& boundary = {}) {
        if (std::isfinite(value))
            return value;
        findings.push_back({"IDS_NOTFINITECONTRIBUTION", boundary});
        return 0.0;
    };
    const double ti = r.HeatingInSideTemp;
    const double te = r.transmissionOutsideTemp(settings.projectOutsideTemp);
    const double ta = r.enteringAirTemp(settings.projectOutsideTemp);

    r.ResetResults();
    r.Volume1 = static_cast<float>(finite(static_cast<double>(r.Area) * r.Height));

    TransmissionSums sums;
    for (Boundary& boundary : r.Boundaries) {
        std::vector<BoundaryFinding> found;
        boundary.ComputeTransmission({ti, te, r.Cm}, sums, found);
        for (const BoundaryFinding finding : found)
            findings.push_back({findingKey(finding), boundary.Name});
    }
    r.TransPower = static_cast<float>(finite(sums.transPower));
    r.Mass0 = static_cast<float>(finite(sums.mass));
    r.HeatMass0 = static_cast<float>(finite(sums.heatMass));
    r.SunShinePower = static_cast<float>(finite(sums.sunShine));

    double filt = 0;
    switch (r.FiltMode) {
    case 0:
        filt = (ti - ta) * (r.volume() * r.AirChangeFact) * kAirHeatCapacity / kPerHour;
        break;
    case 1:
        filt = (ti - ta) * (r.NumOfMens * static_cast<double>(r.Portion)) * kAirHeatCapacity /
               kPerHour;
        break;
    case 2:
        filt = kAirHeatCapacity * (ti - ta) * r.AirVolume / kPerHour;
        break;
    case 3:
        filt = r.FiltPower;
        break;
    case 4: {
        if (r.WindSpeed < 0) {
            findings.push_back({"IDS_NEGATIVEWINDSPEED", {}});
            break;
        }
        double joints = 0;
        for (const Boundary& b : r.Boundaries) {
            if ((b.Type == 10 || b.Type == 12 || b.Type == 14) && b.InfiltrationEnabled != 0)
                joints += static_cast<double>(b.db) * b.InfiltrationFactor * b.InfiltrationLength;
        }
        filt = (ti - ta) * joints * r.EFactor *
               std::pow(static_cast<double>(r.WindSpeed), kWindExponent);
        break;
    }
    default: // no ventilation method
        break;
    }
    r.CalculatedFiltPower = static_cast<float>(finite(filt));

    r.AcComputed = 0;
    double areaSum = 0, lossSum = 0, doorHeat = 0;
    for (const Boundary& b : r.Boundaries) {
        const double net = static_cast<double>(b.GrossArea) - b.MinA;
        if (!boundarykind::isBridge(b.Type)) {
            areaSum += net;
            lossSum += b.HeatLoss;
        }
        if (boundarykind::isDoor(b.Type))
            doorHeat +=
                finite(kDoorOpening * b.OpeningRate * net * (ti - b.OverTempWinter), b.Name);
    }
    r.Rm.reset();
    if (lossSum > 0) {
        const double rm = finite((ti - te) * areaSum / lossSum);
        r.Rm = rm;
        r.AcComputed = compensationSurcharge(rm);
    }
    r.DoorHeat = doorHeat;
    const double ac = r.acInUse();
    // Surcharges, each result kept as the record keeps it, then rounded from that value.
    r.TransPower =
        static_cast<float>(finite(r.TransPower * ((static_cast<double>(r.Ao) + ac) * 0.01 + 1)));
    r.CalculatedFiltPower =
        static_cast<float>(finite(r.Cm * (r.CalculatedFiltPower + doorHeat) * (ac * 0.01 + 1)));
    r.TransPower = static_cast<float>(rounded(r.TransPower));
    r.SunShinePower = static_cast<float>(rounded(r.SunShinePower));
    r.CalculatedFiltPower = static_cast<float>(rounded(r.CalculatedFiltPower));
    double heating = static_cast<double>(r.TransPower) + r.CalculatedFiltPower - r.InternalSource;
    if (r.SunShineFlag != 0)
        heating -= r.SunShinePower;
    r.HeatingPower = static_cast<float>(finite(heating));
    r.Mass2 = static_cast<float>(finite(r.Mass1 * 1000.0 + r.Mass0));
    r.HeatMass2 = static_cast<float>(finite(r.HeatMass1 * 1000.0 + r.HeatMass0));

    if (settings.refreshRadiators)
        settings.refreshRadiators(r, ti);
    *this = std::move(r);
    return findings;
}

std::optional<std::string> Room::CheckBoundaries(bool warningTempDiff) const {
    if (!warningTempDiff)
        return std::nullopt;
    for (const Boundary& boundary : Boundaries) {
        if (const std::optional<std::string> key = boundary.CheckNeighbourTemperatures(
                HeatingInSideTemp, CoolingInSideTemp, CalcFlags))
            return boundary.Name + GetText(*key);
    }
    return std::nullopt;
}

void Room::LinkToBuilding(const std::string& identifier, const BuildingData& data) {
    BuildingRef = identifier;
    Building = data;
}

double Room::RadiatorPowerSum() const {
    double sum = 0;
    for (const Radiator& radiator : Radiators)
        sum += radiator.Power();
    return sum;
}

void Room::MoveBoundary(std::size_t i, std::size_t j) {
    if (i < Boundaries.size() && j < Boundaries.size())
        std::swap(Boundaries[i], Boundaries[j]);
}

bool Room::DeleteBoundary(std::size_t i) {
    if (i >= Boundaries.size())
        return false;
    const std::string question =
        formatText(GetText("IDS_WANTBOUNDARYDELETE"), {Boundaries[i].Name});
    if (!platform::prompter().askYesNo(question, platform::DefaultButton::No))
        return false;
    Boundaries.erase(Boundaries.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

std::string Room::ColumnText(int columnId, const ListColumns& columns) const {
    const auto real = [&](double value) {
        return std::isfinite(value) ? columns.formatReal(columnId, value) : formatGeneral(value, 5);
    };
    // A whole number of watts; a value that is no number, or beyond any integer, is a blank.
    const auto whole = [&](double value) {
        const std::optional<std::int64_t> r = roundedWhole(value);
        return r ? columns.formatInteger(columnId, *r) : std::string();
    };
    const bool heating = (CalcFlags & 1) != 0;
    const double v = volume();
    switch (columnId) {
    case 0:
        return Name;
    case 1:
        return Function;
    case 2:
        return real(Area);
    case 3:
        return real(HeatingInSideTemp);
    case 4:
        return heating ? whole(HeatingPower) : whole(0);
    case 5:
        return real(CoolingInSideTemp);
    case 8:
        return real(heating && Area > 0 ? HeatingPower / static_cast<double>(Area) : 0.0);
    case 10:
        return real(v);
    case 12:
        return real(Area > 0 ? Mass2 / static_cast<double>(Area) : 0.0);
    case 15:
        return BuildingName;
    case 16:
        return real(RadiatorPowerSum());
    case 19:
        return real(heating && v > 0 ? HeatingPower / v : 0.0);
    case 21:
        return heating ? whole(rounded(HeatingPower) - RadiatorPowerSum())
                       : whole(-RadiatorPowerSum());
    default:
        return {};
    }
}

bool Room::CopyTo(ClipboardDocument& stream, const ItemContext& context, ClipboardCopy what) {
    if (what == ClipboardCopy::WithReport) {
        // The report shows the room as calculated now; the copied record stays as stored.
        const RoomContext& rooms = roomContextOf(context);
        const std::optional<RoomSettings> settings =
            rooms.settings ? rooms.settings() : std::nullopt;
        Room shown = *this;
        if (settings) {
            try {
                (void)shown.Calculate(*settings);
            } catch (const Error&) {
                // A failed calculation leaves the room as stored: the copy shows that.
            }
        }
        shown.writeReport(stream, settings ? settings->projectOutsideTemp
                                           : RoomSettings{}.projectOutsideTemp);
    }
    return copyWithLinkName(*this, stream, BuildingName);
}

bool Room::Edit(platform::Window* owner, const ItemContext& context) {
    const RoomContext& rooms = roomContextOf(context);
    ItemStore* project = rooms.project ? rooms.project() : nullptr;
    const std::optional<RoomSettings> settings = rooms.settings ? rooms.settings() : std::nullopt;
    if (rooms.roomDialogs == nullptr || project == nullptr || !settings)
        return false;
    RoomDialogs& dialogs = *rooms.roomDialogs;
    const BuildingsTable buildings = BuildingsTable::load(*project);
    RoomEditor editor(*this, buildings, *settings, rooms.options ? rooms.options() : nullptr,
                      dialogs.roomFunctions(), dialogs.checksNeighbourTemperatures());
    if (!dialogs.editRoom(editor, *project, owner))
        return false;
    if (const std::optional<std::string> function = editor.newFunction())
        dialogs.rememberRoomFunction(*function);
    *this = editor.room();
    return true;
}

bool Room::PasteFrom(MemoryStream& binaryPart) {
    return pasteWithLinkName(*this, binaryPart, BuildingName);
}

void Room::readFlat(MemoryStream& s, int version) {
    Function = readFixedString(s, 32);
    for (float* field : {&Area, &Height, &Volume0, &Volume1, &Mass0, &Mass1, &Mass2, &HeatMass0,
                         &HeatMass1, &HeatMass2})
        *field = readFloat(s);
    BuildingRef = readFixedString(s, 32);
    HeatingInSideTemp = readFloat(s);
    HeatingOutSideTemp = readFloat(s);
    TransFactor = readFloat(s);
    SunShineFlag = readInt16(s);
    InternalSource = readFloat(s);
    FiltMode = readInt16(s);
    NumOfMens = readInt16(s);
    for (float* field : {&Portion, &AirChangeFact, &AirTemp, &AirVolume, &FiltPower, &TransPower,
                         &SunShinePower, &CalculatedFiltPower, &HeatingPower, &CoolingInSideTemp})
        *field = readFloat(s);
    CoolingLoad.read(s, 7);
    std::array<std::int16_t, 5> counts{};
    for (std::int16_t& count : counts) {
        count = readInt16(s);
        if (count < 0)
            throw Error("IDS_DATAREADERROR");
    }
    CalcFlags = version == 51 ? readInt16(s) : std::int16_t{3};
    OutSideTempFromProject = 0;
    AirTempFromProject = 0;
    // Each element is read as it comes: a count is never trusted for an allocation.
    for (int i = 0; i < counts[0]; ++i) {
        Boundary boundary;
        boundary.Load(s, version);
        Boundaries.push_back(std::move(boundary));
    }
    constexpr GainKind kOldKinds[] = {GainKind::Occupants, GainKind::Lighting, GainKind::Transport,
                                      GainKind::Other};
    for (std::size_t k = 0; k < std::size(kOldKinds); ++k) {
        for (int i = 0; i < counts[k + 1]; ++i) {
            std::unique_ptr<InternalPower> gain = createInternalPower(kOldKinds[k]);
            if (!gain->ReadRecord(s, version))
                throw Error("IDS_DATAREADERROR");
            Gains.push_back(std::move(gain));
        }
    }
}

void Room::readChunks(MemoryStream& s, int version) {
    for (;;) {
        const std::int16_t tag = readInt16(s);
        if (tag == kEnd)
            break;
        const std::uint16_t length = readUInt16(s);
        // A known chunk's fields are read one after another; only an unknown one is taken by
        // its length, to be written back as it came.
        switch (tag) {
        case kMain:
            Function = ReadString(s);
            for (float* field : {&Area, &Height, &Volume0, &Volume1, &Mass0, &Mass1, &Mass2,
                                 &HeatMass0, &HeatMass1, &HeatMass2})
                *field = readFloat(s);
            BuildingRef = ReadString(s);
            HeatingInSideTemp = readFloat(s);
            OutSideTempFromProject = readInt16(s);
            HeatingOutSideTemp = readFloat(s);
            TransFactor = readFloat(s);
            SunShineFlag = readInt16(s);
            InternalSource = readFloat(s);
            FiltMode = readInt16(s);
            NumOfMens = readInt16(s);
            Portion = readFloat(s);
            AirChangeFact = readFloat(s);
            AirTempFromProject = readInt16(s);
            for (float* field : {&AirTemp, &AirVolume, &FiltPower, &TransPower, &SunShinePower,
                                 &CalculatedFiltPower, &HeatingPower, &CoolingInSideTemp})
                *field = readFloat(s);
            CoolingLoad.read(s, 8);
            CalcFlags = readInt16(s);
            Building.Pollution = readInt16(s);
            Building.WallMassMode = readInt16(s);
            Building.Compass = readInt16(s);
            break;
        case kSummer:
            for (float& value : Summer.values)
                value = readFloat(s);
            Summer.code = readInt16(s);
            break;
        case kSurcharges:
            Ao = readFloat(s);
            AcCalculated = readInt16(s);
            Ac = readFloat(s);
            AcComputed = readFloat(s);
            Cm = readFloat(s);
            EFactor = readFloat(s);
            WindSpeed = readFloat(s);
            break;
        case kSettlement:
            Building.SettlementName = ReadString(s);
            Building.BuildingCategory = readInt16(s);
            Building.SeaLevel = readFloat(s);
            Building.SettlementTemp = readFloat(s);
            Building.SettlementSwing = readFloat(s);
            break;
        case kBoundary: {
            Boundary boundary;
            boundary.Load(s, version);
            Boundaries.push_back(std::move(boundary));
            break;
        }
        case kRadiator: {
            Radiator radiator;
            if (!radiator.ReadRecord(s, radiatorVersionOfRoom(version)))
                throw Error("IDS_DATAREADERROR");
            Radiators.push_back(std::move(radiator));
            break;
        }
        case kFloorField: {
            FloorHeatingField field;
            if (!field.ReadRecord(s, version))
                throw Error("IDS_DATAREADERROR");
            FloorFields.push_back(std::move(field));
            break;
        }
        case kMissingThermalValues: {
            const std::int16_t count = readInt16(s);
            for (std::int16_t i = 0; i < count; ++i) {
                const std::int16_t position = readInt16(s);
                if (position >= 0 && static_cast<std::size_t>(position) < Boundaries.size())
                    Boundaries[static_cast<std::size_t>(position)].MissingThermalValues = true;
            }
            break;
        }
        default:
            if (const std::optional<GainKind> kind = gainKindOfTag(tag)) {
                std::unique_ptr<InternalPower> gain = createInternalPower(*kind);
                if (!gain->ReadRecord(s, version))
                    throw Error("IDS_DATAREADERROR");
                Gains.push_back(std::move(gain));
            } else {
                UnknownChunks.emplace_back(tag, readBytes(s, length));
            }
            break;
        }
    }
}

bool Room::ReadRecord(MemoryStream& stream, std::int16_t version) {
    const int form = version == 0 ? kCurrentVersion : version;
    if (form < 50 || form > kCurrentVersion) {
        reportVersionError(version);
        setLoadFailed(true);
        return false;
    }
    // Read into a fresh room with this one's defaults, taken over only when all was read.
    Room read(*this);
    read.Boundaries.clear();
    read.Gains.clear();
    read.Radiators.clear();
    read.FloorFields.clear();
    read.UnknownChunks.clear();
    try {
        if (form <= 51)
            read.readFlat(stream, form);
        else
            read.readChunks(stream, form);
    } catch (const Error&) {
        setLoadFailed(true);
        throw;
    }
    *this = std::move(read);
    setLoadFailed(false);
    return true;
}

bool Room::WriteRecord(MemoryStream& s, VersionWord versionWord) {
    if (versionWord == VersionWord::With)
        writeInt16(s, kCurrentVersion);
    std::size_t chunk = beginChunk(s, kMain);
    writeString(s, Function);
    for (const float field :
         {Area, Height, Volume0, Volume1, Mass0, Mass1, Mass2, HeatMass0, HeatMass1, HeatMass2})
        writeFloat(s, field);
    writeString(s, BuildingRef);
    writeFloat(s, HeatingInSideTemp);
    writeInt16(s, OutSideTempFromProject);
    writeFloat(s, HeatingOutSideTemp);
    writeFloat(s, TransFactor);
    writeInt16(s, SunShineFlag);
    writeFloat(s, InternalSource);
    writeInt16(s, FiltMode);
    writeInt16(s, NumOfMens);
    writeFloat(s, Portion);
    writeFloat(s, AirChangeFact);
    writeInt16(s, AirTempFromProject);
    for (const float field : {AirTemp, AirVolume, FiltPower, TransPower, SunShinePower,
                              CalculatedFiltPower, HeatingPower, CoolingInSideTemp})
        writeFloat(s, field);
    CoolingLoad.write(s);
    writeInt16(s, CalcFlags);
    writeInt16(s, Building.Pollution);
    writeInt16(s, Building.WallMassMode);
    writeInt16(s, Building.Compass);
    endChunk(s, chunk);

    chunk = beginChunk(s, kSummer);
    for (const float value : Summer.values)
        writeFloat(s, value);
    writeInt16(s, Summer.code);
    endChunk(s, chunk);

    chunk = beginChunk(s, kSurcharges);
    writeFloat(s, Ao);
    writeInt16(s, AcCalculated);
    for (const float value : {Ac, AcComputed, Cm, EFactor, WindSpeed})
        writeFloat(s, value);
    endChunk(s, chunk);

    chunk = beginChunk(s, kSettlement);
    writeString(s, Building.SettlementName);
    writeInt16(s, Building.BuildingCategory);
    writeFloat(s, Building.SeaLevel);
    writeFloat(s, Building.SettlementTemp);
    writeFloat(s, Building.SettlementSwing);
    endChunk(s, chunk);

    for (const Boundary& boundary : Boundaries) {
        chunk = beginChunk(s, kBoundary);
        boundary.Save(s);
        endChunk(s, chunk);
    }
    for (const GainKind kind : {GainKind::Occupants, GainKind::Lighting, GainKind::Air,
                                GainKind::Transport, GainKind::Other}) {
        for (const std::unique_ptr<InternalPower>& gain : Gains) {
            if (gain->kind() != kind)
                continue;
            chunk = beginChunk(s, gainChunkTag(kind));
            gain->WriteRecord(s);
            endChunk(s, chunk);
        }
    }
    for (const Radiator& radiator : Radiators) {
        chunk = beginChunk(s, kRadiator);
        radiator.WriteRecord(s);
        endChunk(s, chunk);
    }
    for (const FloorHeatingField& field : FloorFields) {
        chunk = beginChunk(s, kFloorField);
        field.WriteRecord(s);
        endChunk(s, chunk);
    }
    std::vector<std::int16_t> marked;
    for (std::size_t i = 0; i < Boundaries.size(); ++i)
        if (Boundaries[i].MissingThermalValues)
            marked.push_back(static_cast<std::int16_t>(i));
    if (!marked.empty()) {
        chunk = beginChunk(s, kMissingThermalValues);
        writeInt16(s, static_cast<std::int16_t>(marked.size()));
        for (const std::int16_t position : marked)
            writeInt16(s, position);
        endChunk(s, chunk);
    }
    for (const auto& [tag, payload] : UnknownChunks) {
        chunk = beginChunk(s, tag);
        s.write(payload);
        endChunk(s, chunk);
    }
    writeChunkEnd(s);
    return true;
}

void registerRoomItems(std::function<const ProjectOptions*()> currentOptions) {
    registerItemKind(ItemKind::Room, [currentOptions] {
        return std::make_unique<Room>(currentOptions ? currentOptions() : nullptr);
    });
    registerItemKind(ItemKind::Building, [] { return std::make_unique<Building>(); });
    // A building is not deleted under its rooms or the buildings below it.
    storeHooks().mayDeleteItem = [](ItemStore& table, const Reference& item) {
        return item.Type != RecordType::Building || !BuildingHasReferences(table, item.ID);
    };
    // Converting an old project links its rooms to their buildings; what was renamed or
    // could not be read is told.
    storeHooks().convertProject = [](ItemStore& table, bool oldestFormat,
                                     const ConversionProgress& progress) {
        const ConversionResult result = ConvertProjectItems(table, oldestFormat, progress);
        std::string list;
        for (const std::vector<std::string>* names : {&result.renamed, &result.unreadable})
            for (const std::string& name : *names)
                list += "\n" + name;
        if (!list.empty())
            platform::prompter().showMessage(formatText(GetText("IDS_CONVERSIONREPORT"), {list}));
    };
}

} // namespace kalydor
