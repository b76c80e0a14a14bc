#include "rooms/internalpowers.h"

#include "base/memorystream.h"
#include "store/itemstream.h"

namespace kalydor {
namespace {

bool isOldest(int roomVersion) {
    return roomVersion == 50 || roomVersion == 51;
}

// A room version of a known form (0 is the current one); others are reported.
bool knownVersion(int roomVersion) {
    if (roomVersion == 0 || (roomVersion >= 50 && roomVersion <= 55))
        return true;
    reportVersionError(roomVersion);
    return false;
}

// Reads into a copy and takes it over only when all of it was read.
template <class Entry, class Read> bool readWhole(Entry& entry, int roomVersion, Read read) {
    if (!knownVersion(roomVersion))
        return false;
    Entry copy = entry;
    read(copy);
    entry = std::move(copy);
    return true;
}

} // namespace

std::int16_t gainChunkTag(GainKind kind) {
    return static_cast<std::int16_t>(3 + static_cast<int>(kind));
}

std::optional<GainKind> gainKindOfTag(int tag) {
    if (tag < 3 || tag > 7)
        return std::nullopt;
    return static_cast<GainKind>(tag - 3);
}

bool ManPower::ReadRecord(MemoryStream& s, int roomVersion) {
    return readWhole(*this, roomVersion, [&](ManPower& e) {
        e.A = readInt16(s);
        if (isOldest(roomVersion)) {
            e.B = readByte(s);
        } else {
            e.B = readInt16(s);
            e.C = readFloat(s);
        }
        e.Value = readFloat(s);
    });
}

bool ManPower::WriteRecord(MemoryStream& s) const {
    writeInt16(s, A);
    writeInt16(s, B);
    writeFloat(s, C);
    writeFloat(s, Value);
    return true;
}

std::unique_ptr<InternalPower> ManPower::clone() const {
    return std::make_unique<ManPower>(*this);
}

bool LightingPower::ReadRecord(MemoryStream& s, int roomVersion) {
    return readWhole(*this, roomVersion, [&](LightingPower& e) {
        e.A = readFloat(s);
        e.B = isOldest(roomVersion) ? std::int16_t{readByte(s)} : readInt16(s);
        e.C = readFloat(s);
        e.Value = readFloat(s);
    });
}

bool LightingPower::WriteRecord(MemoryStream& s) const {
    writeFloat(s, A);
    writeInt16(s, B);
    writeFloat(s, C);
    writeFloat(s, Value);
    return true;
}

std::unique_ptr<InternalPower> LightingPower::clone() const {
    return std::make_unique<LightingPower>(*this);
}

bool AirPower::ReadRecord(MemoryStream& s, int roomVersion) {
    return readWhole(*this, roomVersion, [&](AirPower& e) {
        e.A = readInt16(s);
        e.B = readInt16(s);
        e.C = readFloat(s);
        e.D = readFloat(s);
        e.E = readInt16(s);
        e.F = readFloat(s);
        e.G = readFloat(s);
        e.H = readFloat(s);
        e.Value = readFloat(s);
    });
}

bool AirPower::WriteRecord(MemoryStream& s) const {
    writeInt16(s, A);
    writeInt16(s, B);
    writeFloat(s, C);
    writeFloat(s, D);
    writeInt16(s, E);
    writeFloat(s, F);
    writeFloat(s, G);
    writeFloat(s, H);
    writeFloat(s, Value);
    return true;
}

std::unique_ptr<InternalPower> AirPower::clone() const {
    return std::make_unique<AirPower>(*this);
}

bool TransportPower::ReadRecord(MemoryStream& s, int roomVersion) {
    return readWhole(*this, roomVersion, [&](TransportPower& e) {
        if (!isOldest(roomVersion))
            e.Name = ReadString(s);
        for (float& value : e.Values)
            value = readFloat(s);
        e.Value = readFloat(s);
    });
}

bool TransportPower::WriteRecord(MemoryStream& s) const {
    WriteString(s, Name);
    for (const float value : Values)
        writeFloat(s, value);
    writeFloat(s, Value);
    return true;
}

std::unique_ptr<InternalPower> TransportPower::clone() const {
    return std::make_unique<TransportPower>(*this);
}

bool OtherCoolingPower::ReadRecord(MemoryStream& s, int roomVersion) {
    return readWhole(*this, roomVersion, [&](OtherCoolingPower& e) {
        e.Name = isOldest(roomVersion) ? readFixedString(s, 32) : ReadString(s);
        e.A = readFloat(s);
        e.Value = readFloat(s);
    });
}

bool OtherCoolingPower::WriteRecord(MemoryStream& s) const {
    WriteString(s, Name);
    writeFloat(s, A);
    writeFloat(s, Value);
    return true;
}

std::unique_ptr<InternalPower> OtherCoolingPower::clone() const {
    return std::make_unique<OtherCoolingPower>(*this);
}

std::unique_ptr<InternalPower> createInternalPower(GainKind kind) {
    switch (kind) {
    case GainKind::Occupants:
        return std::make_unique<ManPower>();
    case GainKind::Lighting:
        return std::make_unique<LightingPower>();
    case GainKind::Air:
        return std::make_unique<AirPower>();
    case GainKind::Transport:
        return std::make_unique<TransportPower>();
    case GainKind::Other:
        return std::make_unique<OtherCoolingPower>();
    }
    return std::make_unique<OtherCoolingPower>();
}

void HourlyCoolingLoad::read(MemoryStream& s, std::size_t componentsPerHour) {
    HourlyCoolingLoad read;
    for (std::array<float, kComponents>& hour : read.values) {
        for (std::size_t c = 0; c < kComponents; ++c) {
            if (c == kAir && componentsPerHour < kComponents)
                continue; // the oldest records have no air component
            hour[c] = readFloat(s);
        }
    }
    *this = read;
}

void HourlyCoolingLoad::write(MemoryStream& s) const {
    for (const std::array<float, kComponents>& hour : values)
        for (const float value : hour)
            writeFloat(s, value);
}

} // namespace kalydor
