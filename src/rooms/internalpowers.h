#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kalydor {

class MemoryStream;

/// The kinds of internal-gain entries a room carries, each stored in its own chunk.
enum class GainKind : std::uint8_t { Occupants, Lighting, Air, Transport, Other };

/// The room chunk tag of a kind (3 occupants … 7 other) and the kind of a tag.
std::int16_t gainChunkTag(GainKind kind);
std::optional<GainKind> gainKindOfTag(int tag);

/// One internal-gain entry of a room. No calculation of the program fills or reads these
/// values; rooms carry them so that they are read, copied and written without loss. Fields
/// are named by position.
class InternalPower {
public:
    virtual ~InternalPower() = default;

    float Value = 0;
    /// Hourly values, not stored; zeroed when the room's results are reset.
    std::array<float, 24> Hours{};

    virtual GainKind kind() const = 0;
    /// Reads the entry as a room record of `roomVersion` (50 to 55, 0 the current) holds it;
    /// another version is reported and gives false. Data that end early raise
    /// "IDS_DATAREADERROR"; the entry keeps its values unless all of it was read.
    virtual bool ReadRecord(MemoryStream& stream, int roomVersion) = 0;
    /// Writes the form of the current room record.
    virtual bool WriteRecord(MemoryStream& stream) const = 0;
    virtual std::unique_ptr<InternalPower> clone() const = 0;

    void resetHours() { Hours.fill(0); }

protected:
    InternalPower() = default;
    InternalPower(const InternalPower&) = default;
    InternalPower& operator=(const InternalPower&) = default;
};

/// Occupants.
class ManPower final : public InternalPower {
public:
    std::int16_t A = 0;
    std::int16_t B = 0; ///< one byte in the oldest records, a word since
    float C = 0;
    GainKind kind() const override { return GainKind::Occupants; }
    bool ReadRecord(MemoryStream& stream, int roomVersion) override;
    bool WriteRecord(MemoryStream& stream) const override;
    std::unique_ptr<InternalPower> clone() const override;
};

/// Lighting.
class LightingPower final : public InternalPower {
public:
    float A = 0;
    std::int16_t B = 0; ///< one byte in the oldest records, a word since
    float C = 1.0f;
    GainKind kind() const override { return GainKind::Lighting; }
    bool ReadRecord(MemoryStream& stream, int roomVersion) override;
    bool WriteRecord(MemoryStream& stream) const override;
    std::unique_ptr<InternalPower> clone() const override;
};

/// Air.
class AirPower final : public InternalPower {
public:
    std::int16_t A = 0;
    std::int16_t B = 0;
    float C = 0;
    float D = 0;
    std::int16_t E = 1;
    float F = 0;
    float G = 0;
    float H = 0;
    GainKind kind() const override { return GainKind::Air; }
    bool ReadRecord(MemoryStream& stream, int roomVersion) override;
    bool WriteRecord(MemoryStream& stream) const override;
    std::unique_ptr<InternalPower> clone() const override;
};

/// Transport.
class TransportPower final : public InternalPower {
public:
    std::string Name;
    std::array<float, 4> Values{}; ///< A, B, C, D
    GainKind kind() const override { return GainKind::Transport; }
    bool ReadRecord(MemoryStream& stream, int roomVersion) override;
    bool WriteRecord(MemoryStream& stream) const override;
    std::unique_ptr<InternalPower> clone() const override;
};

/// Other gains.
class OtherCoolingPower final : public InternalPower {
public:
    std::string Name;
    float A = 0;
    GainKind kind() const override { return GainKind::Other; }
    bool ReadRecord(MemoryStream& stream, int roomVersion) override;
    bool WriteRecord(MemoryStream& stream) const override;
    std::unique_ptr<InternalPower> clone() const override;
};

/// A new entry of a kind, with its defaults.
std::unique_ptr<InternalPower> createInternalPower(GainKind kind);

/// The summer load by hour (0–23) and component (walls, windows, occupants, lighting, air,
/// transport, other, sum), hour-major. Carried, not calculated.
class HourlyCoolingLoad {
public:
    static constexpr std::size_t kHours = 24;
    static constexpr std::size_t kComponents = 8;
    static constexpr std::size_t kAir = 4;

    std::array<std::array<float, kComponents>, kHours> values{};

    /// Reads 24 hours of 8 components, or of 7 where the air component is absent (it then
    /// reads as 0).
    void read(MemoryStream& stream, std::size_t componentsPerHour);
    /// Writes 24 hours of 8 components.
    void write(MemoryStream& stream) const;
};

} // namespace kalydor
