#include "heating/projectoptions.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/textlookup.h"
#include "platform/prompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/storehooks.h"

namespace kalydor {
namespace {

// Chunk tags of the version 12 and 13 records.
namespace Tag {
constexpr std::int16_t Panel = 1;
constexpr std::int16_t Building = 2;
constexpr std::int16_t Heating = 3;
constexpr std::int16_t Cooling = 4;
constexpr std::int16_t Meteorology = 5;
constexpr std::int16_t Radiator = 6;
constexpr std::int16_t FloorHeating = 7;
constexpr std::int16_t OneTubeRound = 8;
constexpr std::int16_t ConsumerHydraulic = 9;
constexpr std::int16_t RadiatorHydraulic = 10;
constexpr std::int16_t HeatChangerHydraulic = 11;
constexpr std::int16_t NormalSectionHydraulic = 12;
constexpr std::int16_t FloorHeatingCooling = 14;
constexpr std::int16_t ConsumerCooling = 15;
constexpr std::int16_t HeatChangerCooling = 16;
constexpr std::int16_t ConnectionNames = 17;
constexpr std::int16_t FloorHeatingRegister = 18;
constexpr std::int16_t Romanian = 19;
constexpr std::int16_t PointRule = 20;
constexpr std::int16_t PointZeta = 21;
constexpr std::int16_t NormalSectionNames = 22;
} // namespace Tag

// Chunk tags of the version 11 record, which ends with the tag 256 (without length).
namespace OldTag {
constexpr std::int16_t End = 256;
constexpr std::int16_t Panel = 257;
constexpr std::int16_t Building = 258;
constexpr std::int16_t Heating = 259;
constexpr std::int16_t Building2 = 260;
constexpr std::int16_t Cooling = 261;
} // namespace OldTag

// Payload lengths from which a version 11 chunk carries its trailing `Calculate` switch.
constexpr std::size_t kOldHeatingWithCalculate = 26;
constexpr std::size_t kOldCoolingWithCalculate = 8;

HydraulicOptions hydraulicDefaults(float forward, float backward, const std::string& medium) {
    HydraulicOptions h;
    h.Medium.ForwardTemperature = forward;
    h.Medium.BackwardTemperature = backward;
    h.Medium.MediumType = medium;
    return h;
}

// The hydraulic record inside the chunks 7 to 12; the connection names travel elsewhere.
void readHydraulic(MemoryStream& s, HydraulicOptions& h, std::int16_t version) {
    h.Medium.ForwardTemperature = readFloat(s);
    h.Medium.BackwardTemperature = readFloat(s);
    h.Medium.MediumType = ReadString(s);
    h.Medium.Ro = readFloat(s);
    h.Medium.Nu = readFloat(s);
    h.Medium.SpecificHeat = readFloat(s);
    h.TubeType = ReadString(s);
    h.IsolationType = ReadString(s);
    h.ValveType0 = ReadString(s);
    h.ValveType1 = ReadString(s);
    h.ValveMode0 = readInt16(s);
    h.ValveMode1 = readInt16(s);
    h.DefaultMakro = ReadString(s);
    h.AvailablePressure = readFloat(s);
    h.SpeedMax = readFloat(s);
    h.PressureProMeterMax = readFloat(s);
    if (version >= 13)
        h.TubeSizeMinimum = readInt16(s);
}

void writeHydraulic(MemoryStream& s, const HydraulicOptions& h) {
    writeFloat(s, h.Medium.ForwardTemperature);
    writeFloat(s, h.Medium.BackwardTemperature);
    WriteString(s, h.Medium.MediumType);
    writeFloat(s, h.Medium.Ro);
    writeFloat(s, h.Medium.Nu);
    writeFloat(s, h.Medium.SpecificHeat);
    WriteString(s, h.TubeType);
    WriteString(s, h.IsolationType);
    WriteString(s, h.ValveType0);
    WriteString(s, h.ValveType1);
    writeInt16(s, h.ValveMode0);
    writeInt16(s, h.ValveMode1);
    WriteString(s, h.DefaultMakro);
    writeFloat(s, h.AvailablePressure);
    writeFloat(s, h.SpeedMax);
    writeFloat(s, h.PressureProMeterMax);
    writeInt16(s, h.TubeSizeMinimum);
}

void readNames(MemoryStream& s, HydraulicOptions& h) {
    h.ConnectionName0 = ReadString(s);
    h.ConnectionName1 = ReadString(s);
}

void writeNames(MemoryStream& s, const HydraulicOptions& h) {
    WriteString(s, h.ConnectionName0);
    WriteString(s, h.ConnectionName1);
}

// One chunk: the payload is written by `body`, its length filled in afterwards.
template <class Body> void writeChunk(MemoryStream& s, std::int16_t tag, Body&& body) {
    const std::size_t lengthPosition = beginChunk(s, tag);
    body();
    endChunk(s, lengthPosition);
}

// Applies one chunk of a version 12 or 13 record; false for a tag this version does not
// interpret. The payload is its own stream, so a field cut off by the chunk's end is damaged
// data and a chunk that is longer (written by a newer version) is passed over.
bool readChunk(ProjectOptions& o, std::int16_t tag, MemoryStream& s, std::int16_t version) {
    switch (tag) {
    case Tag::Panel:
        o.Panel.OutSideTemp = readFloat(s);
        o.Panel.InSideTemp = readFloat(s);
        o.Panel.OutSideRelHum = readFloat(s);
        o.Panel.InSideRelHum = readFloat(s);
        o.Panel.DiffusionDays = readFloat(s);
        o.Panel.FloorLevel = readFloat(s);
        return true;
    case Tag::Building:
        o.Building.Compass = readInt16(s);
        o.Building.Pollution = readInt16(s);
        o.Building.WallMassMode = readInt16(s);
        o.Building.UsingMode = readInt16(s);
        o.Building.Height = readFloat(s);
        return true;
    case Tag::Heating:
        o.Heating.OutSideTemp = readFloat(s);
        o.Heating.InSideTemp = readFloat(s);
        o.Heating.TransFactor = readFloat(s);
        o.Heating.SunShineFlag = readInt16(s);
        o.Heating.FiltMode = readInt16(s);
        o.Heating.Portion = readFloat(s);
        o.Heating.AirChangeFact = readFloat(s);
        o.Heating.Calculate = readInt16(s);
        return true;
    case Tag::Cooling:
        o.Cooling.InSideTemp = readFloat(s);
        o.Cooling.Calculate = readInt16(s);
        return true;
    case Tag::Meteorology:
        o.Meteorology.UserDefined = readInt16(s);
        o.Meteorology.Name = ReadString(s);
        for (std::size_t hour = 0; hour < 24; ++hour) {
            SunPosition& sun = o.Meteorology.sun[hour];
            o.Meteorology.te[hour] = readFloat(s);
            sun.Azimut = readFloat(s);
            sun.z = readFloat(s);
            sun.Dir = readFloat(s);
            sun.Dif = readFloat(s);
        }
        return true;
    case Tag::Radiator:
        o.Radiator.Nearest = readInt16(s);
        o.Radiator.Hydraulic.Medium.ForwardTemperature = readFloat(s);
        o.Radiator.Hydraulic.Medium.BackwardTemperature = readFloat(s);
        o.Radiator.CorrectionFactor = readFloat(s);
        if (version >= 13) {
            o.Radiator.TubeLength = readFloat(s);
            readNames(s, o.Radiator.Hydraulic);
        }
        return true;
    case Tag::FloorHeating:
        o.FloorHeating.OversideTemperature = readFloat(s);
        o.FloorHeating.Oversidek = readFloat(s);
        o.FloorHeating.BundLength = readFloat(s);
        readHydraulic(s, o.FloorHeating.Hydraulic, version);
        return true;
    case Tag::FloorHeatingCooling:
        o.FloorHeating.CoolingForwardTemperature = readFloat(s);
        o.FloorHeating.CoolingBackwardTemperature = readFloat(s);
        o.FloorHeating.CoolingOversideTemperature = readFloat(s);
        o.FloorHeating.TubeLengthPlus = readFloat(s);
        o.FloorHeating.TubeLengthPlusMode = readInt16(s);
        return true;
    case Tag::FloorHeatingRegister:
        o.FloorHeating.RegisterVolume = readFloat(s);
        return true;
    case Tag::OneTubeRound:
        o.OneTubeRound.Nearest = readInt16(s);
        o.OneTubeRound.CorrectionFactor = readFloat(s);
        o.OneTubeRound.RadiatorName = ReadString(s);
        o.OneTubeRound.RadiatorFamily = ReadString(s);
        readHydraulic(s, o.OneTubeRound.Hydraulic, version);
        return true;
    case Tag::ConsumerHydraulic:
        readHydraulic(s, o.Consumer.Hydraulic, version);
        return true;
    case Tag::ConsumerCooling:
        o.Consumer.CoolingForwardTemperature = readFloat(s);
        o.Consumer.CoolingBackwardTemperature = readFloat(s);
        return true;
    case Tag::HeatChangerHydraulic:
        readHydraulic(s, o.HeatChanger.Hydraulic, version);
        return true;
    case Tag::HeatChangerCooling:
        o.HeatChanger.CoolingForwardTemperature = readFloat(s);
        o.HeatChanger.CoolingBackwardTemperature = readFloat(s);
        return true;
    case Tag::RadiatorHydraulic:
        readHydraulic(s, o.Radiator.Hydraulic, version);
        return true;
    case Tag::NormalSectionHydraulic:
        readHydraulic(s, o.NormalSection.Hydraulic, version);
        return true;
    case Tag::PointZeta:
        for (float& zeta : o.Point.Zeta)
            zeta = readFloat(s);
        return true;
    case Tag::PointRule: {
        PointTypeRuleItem rule;
        rule.FamilyType = readInt16(s);
        rule.PointType = ReadString(s);
        rule.TubeType = ReadString(s);
        o.Point.Rules.push_back(std::move(rule));
        return true;
    }
    case Tag::ConnectionNames:
        readNames(s, o.FloorHeating.Hydraulic);
        readNames(s, o.OneTubeRound.Hydraulic);
        readNames(s, o.Consumer.Hydraulic);
        readNames(s, o.HeatChanger.Hydraulic);
        return true;
    case Tag::NormalSectionNames:
        readNames(s, o.NormalSection.Hydraulic);
        return true;
    case Tag::Romanian:
        o.Romanian.H = readFloat(s);
        o.Romanian.EarthLambda = readFloat(s);
        o.Romanian.Tetap = readFloat(s);
        o.Romanian.Ao = readFloat(s);
        o.Romanian.AcCalculated = readInt16(s);
        o.Romanian.Ac = readFloat(s);
        o.Romanian.Cm = readFloat(s);
        o.Romanian.E = readFloat(s);
        o.Romanian.v = readFloat(s);
        return true;
    default:
        return false;
    }
}

void readChunks(ProjectOptions& o, MemoryStream& s, std::int16_t version) {
    ChunkHeader header;
    while (readChunkHeader(s, header)) {
        const std::size_t start = s.position();
        MemoryStream payload(readBytes(s, header.length));
        if (!readChunk(o, header.tag, payload, version)) {
            // Kept as it was stored: tag, length and payload.
            MemoryStream kept;
            writeInt16(kept, header.tag);
            writeUInt16(kept, header.length);
            kept.write(payload.bytes());
            o.UnknownChunks += kept.bytes();
        }
        s.seek(start + header.length);
    }
}

// The record of the older program: a few groups in chunks ended by the tag 256.
void readVersion11(ProjectOptions& o, MemoryStream& s) {
    for (;;) {
        const std::int16_t tag = readInt16(s);
        if (tag == OldTag::End)
            return;
        const std::uint16_t length = readUInt16(s);
        MemoryStream p(readBytes(s, length));
        switch (tag) {
        case OldTag::Panel:
            o.Panel.OutSideTemp = readFloat(p);
            o.Panel.InSideTemp = readFloat(p);
            o.Panel.OutSideRelHum = readFloat(p);
            o.Panel.InSideRelHum = readFloat(p);
            o.Panel.DiffusionDays = readFloat(p);
            break;
        case OldTag::Building:
            o.Building.Height = readFloat(p);
            o.Panel.FloorLevel = readFloat(p);
            break;
        case OldTag::Heating:
            o.Heating.OutSideTemp = readFloat(p);
            o.Heating.InSideTemp = readFloat(p);
            o.Heating.TransFactor = readFloat(p);
            o.Heating.SunShineFlag = readInt16(p);
            o.Heating.FiltMode = readInt16(p);
            o.Heating.Portion = readFloat(p);
            o.Heating.AirChangeFact = readFloat(p);
            if (length >= kOldHeatingWithCalculate)
                o.Heating.Calculate = readInt16(p);
            break;
        case OldTag::Building2:
            o.Building.Compass = readInt16(p);
            o.Building.Pollution = readInt16(p);
            o.Building.WallMassMode = readInt16(p);
            o.Building.UsingMode = readInt16(p);
            break;
        case OldTag::Cooling: {
            o.Cooling.InSideTemp = readFloat(p);
            // Summer time is no longer part of the options; the user is told it is dropped.
            const std::int16_t summerTime = readInt16(p);
            if (length >= kOldCoolingWithCalculate)
                o.Cooling.Calculate = readInt16(p);
            if (summerTime != 0)
                platform::showLanguageMessage("IDS_SUMMERTIME");
            break;
        }
        default:
            // No other chunk was ever written into this version; one found is passed over.
            break;
        }
    }
}

// The oldest record: seven floats without chunks.
void readVersion10(ProjectOptions& o, MemoryStream& s) {
    o.Panel.OutSideTemp = readFloat(s);
    o.Panel.InSideTemp = readFloat(s);
    o.Panel.OutSideRelHum = readFloat(s);
    o.Panel.InSideRelHum = readFloat(s);
    o.Panel.DiffusionDays = readFloat(s);
    o.Building.Height = readFloat(s);
    o.Panel.FloorLevel = readFloat(s);
}

} // namespace

ProjectOptions::ProjectOptions() {
    const std::string water = GetText("IDS_NORMALWATER");
    Radiator.Hydraulic = hydraulicDefaults(90.0f, 70.0f, water);
    Radiator.Hydraulic.AvailablePressure = 10000.0f;
    Radiator.Hydraulic.ConnectionName0 = GetText("IDS_RADCONNECTIONNAME1");
    Radiator.Hydraulic.ConnectionName1 = GetText("IDS_RADCONNECTIONNAME2");
    FloorHeating.Hydraulic = hydraulicDefaults(50.0f, 45.0f, water);
    OneTubeRound.Hydraulic = hydraulicDefaults(90.0f, 70.0f, water);
    Consumer.Hydraulic = hydraulicDefaults(90.0f, 70.0f, water);
    HeatChanger.Hydraulic = hydraulicDefaults(90.0f, 70.0f, water);
    NormalSection.Hydraulic = hydraulicDefaults(90.0f, 70.0f, water);
}

bool ProjectOptions::ReadRecord(MemoryStream& stream, std::int16_t version) {
    UnknownChunks.clear();
    if (version < 10 || version > kCurrentVersion) {
        m_loadState = LoadState::Failed;
        reportVersionError(version);
        return false;
    }
    // Read into a copy: the values change only when the whole record could be read.
    ProjectOptions read(*this);
    read.Point.Rules.clear();
    try {
        if (version >= 12)
            readChunks(read, stream, version);
        else if (version == 11)
            readVersion11(read, stream);
        else
            readVersion10(read, stream);
    } catch (...) {
        m_loadState = LoadState::Failed;
        throw;
    }
    *this = std::move(read);
    m_loadState = LoadState::Loaded;
    return true;
}

void ProjectOptions::WriteRecord(MemoryStream& s, VersionWord versionWord) const {
    if (versionWord == VersionWord::With)
        writeInt16(s, kCurrentVersion);
    writeChunk(s, Tag::Panel, [&] {
        writeFloat(s, Panel.OutSideTemp);
        writeFloat(s, Panel.InSideTemp);
        writeFloat(s, Panel.OutSideRelHum);
        writeFloat(s, Panel.InSideRelHum);
        writeFloat(s, Panel.DiffusionDays);
        writeFloat(s, Panel.FloorLevel);
    });
    writeChunk(s, Tag::Building, [&] {
        writeInt16(s, Building.Compass);
        writeInt16(s, Building.Pollution);
        writeInt16(s, Building.WallMassMode);
        writeInt16(s, Building.UsingMode);
        writeFloat(s, Building.Height);
    });
    writeChunk(s, Tag::Heating, [&] {
        writeFloat(s, Heating.OutSideTemp);
        writeFloat(s, Heating.InSideTemp);
        writeFloat(s, Heating.TransFactor);
        writeInt16(s, Heating.SunShineFlag);
        writeInt16(s, Heating.FiltMode);
        writeFloat(s, Heating.Portion);
        writeFloat(s, Heating.AirChangeFact);
        writeInt16(s, Heating.Calculate);
    });
    writeChunk(s, Tag::Cooling, [&] {
        writeFloat(s, Cooling.InSideTemp);
        writeInt16(s, Cooling.Calculate);
    });
    writeChunk(s, Tag::Meteorology, [&] {
        writeInt16(s, Meteorology.UserDefined);
        WriteString(s, Meteorology.Name);
        for (std::size_t hour = 0; hour < 24; ++hour) {
            const SunPosition& sun = Meteorology.sun[hour];
            writeFloat(s, Meteorology.te[hour]);
            writeFloat(s, sun.Azimut);
            writeFloat(s, sun.z);
            writeFloat(s, sun.Dir);
            writeFloat(s, sun.Dif);
        }
    });
    writeChunk(s, Tag::Radiator, [&] {
        writeInt16(s, Radiator.Nearest);
        writeFloat(s, Radiator.Hydraulic.Medium.ForwardTemperature);
        writeFloat(s, Radiator.Hydraulic.Medium.BackwardTemperature);
        writeFloat(s, Radiator.CorrectionFactor);
        writeFloat(s, Radiator.TubeLength);
        writeNames(s, Radiator.Hydraulic);
    });
    writeChunk(s, Tag::FloorHeating, [&] {
        writeFloat(s, FloorHeating.OversideTemperature);
        writeFloat(s, FloorHeating.Oversidek);
        writeFloat(s, FloorHeating.BundLength);
        writeHydraulic(s, FloorHeating.Hydraulic);
    });
    writeChunk(s, Tag::FloorHeatingCooling, [&] {
        writeFloat(s, FloorHeating.CoolingForwardTemperature);
        writeFloat(s, FloorHeating.CoolingBackwardTemperature);
        writeFloat(s, FloorHeating.CoolingOversideTemperature);
        writeFloat(s, FloorHeating.TubeLengthPlus);
        writeInt16(s, FloorHeating.TubeLengthPlusMode);
    });
    writeChunk(s, Tag::FloorHeatingRegister, [&] { writeFloat(s, FloorHeating.RegisterVolume); });
    writeChunk(s, Tag::OneTubeRound, [&] {
        writeInt16(s, OneTubeRound.Nearest);
        writeFloat(s, OneTubeRound.CorrectionFactor);
        WriteString(s, OneTubeRound.RadiatorName);
        WriteString(s, OneTubeRound.RadiatorFamily);
        writeHydraulic(s, OneTubeRound.Hydraulic);
    });
    writeChunk(s, Tag::ConsumerHydraulic, [&] { writeHydraulic(s, Consumer.Hydraulic); });
    writeChunk(s, Tag::ConsumerCooling, [&] {
        writeFloat(s, Consumer.CoolingForwardTemperature);
        writeFloat(s, Consumer.CoolingBackwardTemperature);
    });
    writeChunk(s, Tag::HeatChangerHydraulic, [&] { writeHydraulic(s, HeatChanger.Hydraulic); });
    writeChunk(s, Tag::HeatChangerCooling, [&] {
        writeFloat(s, HeatChanger.CoolingForwardTemperature);
        writeFloat(s, HeatChanger.CoolingBackwardTemperature);
    });
    writeChunk(s, Tag::RadiatorHydraulic, [&] { writeHydraulic(s, Radiator.Hydraulic); });
    writeChunk(s, Tag::NormalSectionHydraulic, [&] { writeHydraulic(s, NormalSection.Hydraulic); });
    writeChunk(s, Tag::PointZeta, [&] {
        for (const float zeta : Point.Zeta)
            writeFloat(s, zeta);
    });
    for (const PointTypeRuleItem& rule : Point.Rules) {
        writeChunk(s, Tag::PointRule, [&] {
            writeInt16(s, rule.FamilyType);
            WriteString(s, rule.PointType);
            WriteString(s, rule.TubeType);
        });
    }
    writeChunk(s, Tag::ConnectionNames, [&] {
        writeNames(s, FloorHeating.Hydraulic);
        writeNames(s, OneTubeRound.Hydraulic);
        writeNames(s, Consumer.Hydraulic);
        writeNames(s, HeatChanger.Hydraulic);
    });
    writeChunk(s, Tag::NormalSectionNames, [&] { writeNames(s, NormalSection.Hydraulic); });
    writeChunk(s, Tag::Romanian, [&] {
        writeFloat(s, Romanian.H);
        writeFloat(s, Romanian.EarthLambda);
        writeFloat(s, Romanian.Tetap);
        writeFloat(s, Romanian.Ao);
        writeInt16(s, Romanian.AcCalculated);
        writeFloat(s, Romanian.Ac);
        writeFloat(s, Romanian.Cm);
        writeFloat(s, Romanian.E);
        writeFloat(s, Romanian.v);
    });
    s.write(UnknownChunks);
    writeChunkEnd(s);
}

std::string ProjectOptions::recordBytes() const {
    MemoryStream stream;
    WriteRecord(stream, VersionWord::With);
    return stream.takeBytes();
}

bool ProjectOptions::LoadFromProject(ItemStore& project) {
    UnknownChunks.clear();
    // Only a project table has an options record; type 1 names material groups elsewhere.
    if (project.kind() != TableKind::Project ||
        !project.FindRecord(RecordType::ProjectOptions, std::string(), std::string())) {
        m_loadState = LoadState::Loaded;
        return true;
    }
    MemoryStream stream(project.currentData());
    if (stream.size() == 0) {
        m_loadState = LoadState::Loaded;
        return true;
    }
    // A damaged record is treated as one of an unknown version: the reason is shown, the
    // options keep their values and become read-only, and the project can still be used.
    try {
        const std::int16_t version = readInt16(stream);
        return ReadRecord(stream, version);
    } catch (const Error& error) {
        m_loadState = LoadState::Failed;
        platform::prompter().showMessage(error.text().empty() ? error.key() : error.text());
        return false;
    }
}

bool ProjectOptions::SaveToProject(ItemStore& project) const {
    if (loadFailed())
        throw projectOptionsReadOnlyError();
    if (project.kind() != TableKind::Project ||
        !project.FindRecord(RecordType::ProjectOptions, std::string(), std::string()))
        return false;
    // The whole record is built first: an error leaves the stored record untouched.
    const std::string bytes = recordBytes();
    project.setCurrentData(bytes);
    return true;
}

Error projectOptionsReadOnlyError() {
    return Error("IDS_PROJEKTOPTIONSREADONLY", {},
                 "The project options could not be read from the project. They are shown but "
                 "not saved, so that the stored options stay as they are.");
}

void installProjectOptionsHooks(std::function<ProjectOptions*()> currentOptions) {
    StoreHooks& hooks = storeHooks();
    hooks.newProjectOptions = [] { return ProjectOptions().recordBytes(); };
    hooks.reloadProjectOptions = [currentOptions = std::move(currentOptions)](ItemStore& table) {
        ProjectOptions* options = currentOptions ? currentOptions() : nullptr;
        if (!options)
            return;
        *options = ProjectOptions();
        // Options that cannot be read do not stop the conversion of the items: they stay
        // read-only, so the stored record is kept for a program that can read it.
        try {
            options->LoadFromProject(table);
        } catch (const Error& error) {
            platform::prompter().showMessage(error.text());
        }
    };
}

} // namespace kalydor
