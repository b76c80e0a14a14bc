#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class MemoryStream;
class TreeModel;

/// The two kinds of device items. The numbers are stored (the table's `Type`, the set files'
/// order) and name the kinds' titles ("IDS_DEVICEDBTYPES+" n).
enum class DeviceKind : std::int16_t { RadiatorFamily = 0, PieceList = 1 };

inline constexpr DeviceKind kDeviceKinds[] = {DeviceKind::RadiatorFamily, DeviceKind::PieceList};

constexpr int deviceKindNumber(DeviceKind kind) {
    return static_cast<int>(kind);
}

/// The record keywords of the text form, which also name a piece-list line's `Type`.
inline constexpr std::string_view kRadiatorKeyword = "KALYDOR32RADIATOR";
inline constexpr std::string_view kPieceListKeyword = "KALYDOR32PIECELIST";

/// Longest item name: the table's key column holds 64 characters.
inline constexpr std::size_t kMaxDeviceNameLength = 64;
/// Largest count any list of a device item may have: counts are stored as int16.
inline constexpr std::size_t kMaxDeviceCount = 32767;

/// A calendar date; all zero is "no date".
struct DeviceDate {
    int year = 0;
    int month = 0;
    int day = 0;

    bool empty() const { return year == 0 && month == 0 && day == 0; }
    /// A real day of the Gregorian calendar between the years 1 and 9999.
    bool valid() const;
    /// The Julian day number of the date; nothing for an empty or impossible date.
    std::optional<std::int64_t> julianDay() const;
    /// The date of a Julian day number; empty for one outside the years 1 to 9999.
    static DeviceDate fromJulianDay(std::int64_t day);
    /// The date as read from a source: an impossible date becomes empty.
    static DeviceDate checked(int year, int month, int day);

    bool operator==(const DeviceDate&) const = default;
};

/// What the estimate-code collection of the maintenance dialog gathers from an item: each
/// size or line offers its code and name.
class EstimateCodeCollector {
public:
    virtual ~EstimateCodeCollector() = default;
    virtual void offer(const std::string& code, const std::string& name) = 0;
};

/// A manufacturer's catalogue item of the device database: a radiator family or a piece list.
class DeviceItem {
public:
    explicit DeviceItem(DeviceKind kind)
        : m_kind(kind) {}
    virtual ~DeviceItem() = default;

    DeviceKind kind() const { return m_kind; }

    std::string Name;     ///< unique within the kind (the table key)
    std::string Path;     ///< folder path, folders separated by "\"
    DeviceDate Date;      ///< date of the data check
    std::string HomePage; ///< the manufacturer's catalogue address (radiator families only)
    std::int16_t Version = 0;

    /// The binary form (before compression). Raises when the item cannot be written (a count
    /// over kMaxDeviceCount, an index out of its list, a string too long).
    virtual void WriteBinary(MemoryStream& stream) const = 0;
    /// Reads the binary form; "IDS_VERSIONERR" for an unknown version, "IDS_DATAREADERROR" for
    /// a form cut short or holding counts or indexes that do not fit together.
    virtual void ReadBinary(MemoryStream& stream) = 0;
    virtual void CollectEstimateCodes(EstimateCodeCollector& collector) const = 0;
    /// Adds the item's contents to a tree (radiator families only; others add nothing).
    virtual void FillTree(TreeModel& tree) const;

    /// The item's data as stored in the table: the binary form, compressed.
    std::string packed() const;
    /// Reads the item's data from the table's compressed block; the expansion is bounded to
    /// what a device item can hold. "IDS_DATAREADERROR" for an empty block.
    void unpack(std::string_view data);

protected:
    DeviceItem(const DeviceItem&) = default;
    DeviceItem& operator=(const DeviceItem&) = default;

private:
    DeviceKind m_kind;
};

/// A new, empty item of a kind.
std::unique_ptr<DeviceItem> createDeviceItem(DeviceKind kind);

/// One product variant of a radiator family (for example one height and depth).
struct RadiatorMainType {
    std::string MainTypeName;
    /// Position in each main-type dimension list (one fewer than the family's lists).
    std::vector<std::int16_t> DimensionIndex;
    std::int16_t FirstSize = 0; ///< index of its first size in the family's sizes
    std::int16_t SizeCount = 0;
    float kvValue = 0; ///< flow coefficient of the valve body

    bool operator==(const RadiatorMainType&) const = default;
};

/// One size of a radiator family.
struct RadiatorSize {
    std::string Name;                ///< type code, unique within the family
    std::int16_t DimensionIndex = 0; ///< position in the last (size) dimension list
    float Power = 0;                 ///< catalogue output at the nominal difference, W
    float Surface = 0;               ///< heating surface, m²
    float Volume = 0;                ///< water content, l
    float Exponent = 0;              ///< radiator exponent n
    std::int16_t Current = 0;        ///< 1: commonly stocked
    std::int16_t Length = 0;         ///< mm
    std::int16_t Height = 0;         ///< mm
    std::int16_t Width = 0;          ///< depth, mm
    std::string EstimateCode;

    bool operator==(const RadiatorSize&) const = default;
};

struct SizeDimensions {
    std::int16_t Length = 0;
    std::int16_t Height = 0;
    std::int16_t Width = 0;
};

/// A radiator product line: its dimension lists, main types and sizes.
class RadiatorFamily final : public DeviceItem {
public:
    RadiatorFamily()
        : DeviceItem(DeviceKind::RadiatorFamily) {}

    static constexpr std::int16_t kCurrentVersion = 1;

    std::int16_t DTLog = 0; ///< 1: logarithmic mean temperature difference
    float DTOrigin = 60.0f; ///< nominal temperature difference of the catalogue power, K
    /// One to three lists of display texts; the last is the size dimension, the ones before
    /// it the main-type dimensions.
    std::vector<std::vector<std::string>> DimensionLists;
    std::vector<RadiatorMainType> MainTypes;
    std::vector<RadiatorSize> Sizes;

    /// Number of main-type dimensions (lists before the last); 0 without lists.
    std::size_t mainTypeDimensions() const;

    /// Raises "IDS_RADIATORDATAERROR" (with the family name) unless the family fits together:
    /// one to three dimension lists; every count at most kMaxDeviceCount; each main type with
    /// one index per main-type dimension inside its list and a size range inside the sizes;
    /// each size's index inside the last list; `DTOrigin` finite and above 0.
    void check() const;

    void WriteBinary(MemoryStream& stream) const override;
    void ReadBinary(MemoryStream& stream) override;
    void CollectEstimateCodes(EstimateCodeCollector& collector) const override;
    /// One root per main type, titled with its name, with one child per size.
    void FillTree(TreeModel& tree) const override;

    /// Where a type code is: the first size of that name and the main type holding it.
    struct SizePosition {
        int size = -1;
        int mainType = -1;
        bool found() const { return size >= 0; }
    };
    SizePosition FindSize(std::string_view typeCode) const;
    /// The type code of the next (previous) size of the same main type; nothing at its end or
    /// for an unknown code.
    std::optional<std::string> NextSize(std::string_view typeCode) const;
    std::optional<std::string> PreviousSize(std::string_view typeCode) const;
    /// 0 for an unknown code.
    float SizeSurface(std::string_view typeCode) const;
    float SizeVolume(std::string_view typeCode) const;
    /// The dimensions of the size at an index (all 0 outside the sizes).
    SizeDimensions sizeDimensions(int index) const;
    /// The kv value of a main type (0 outside the main types).
    float MainTypeKv(int mainType) const;
    /// The main type of this name (exact comparison), or -1.
    int MainTypeByName(std::string_view name) const;
    /// The first main type whose first dimension index is `first` and, with two main-type
    /// dimensions, whose second is `second`; -1 when there is none.
    int MainTypeAt(int first, int second = 0) const;
};

/// One line of a piece list.
struct PieceListLine {
    std::string Name;
    /// 0 a radiator family, 1 another piece list, 2 neither keyword.
    std::int16_t Type = 0;
    float Quantity = 0;
    std::string DimensionString; ///< size text; empty shows "IDS_NUMBEROFPIECES"
    std::string EstimateCode;

    bool operator==(const PieceListLine&) const = default;
};

/// The keyword of a piece-list line's type: the two kind keywords, empty for type 2 (or any
/// other value).
std::string_view pieceTypeKeyword(std::int16_t type);
/// The type of a keyword: 0, 1, or 2 for any other text.
std::int16_t pieceTypeOf(std::string_view keyword);

/// The parts that go with a device.
class PieceList final : public DeviceItem {
public:
    PieceList()
        : DeviceItem(DeviceKind::PieceList) {}

    static constexpr std::int16_t kCurrentVersion = 0;

    std::vector<PieceListLine> Lines;

    /// Raises "IDS_RADIATORDATAERROR" with the name when it has more than kMaxDeviceCount lines.
    void check() const;

    void WriteBinary(MemoryStream& stream) const override;
    void ReadBinary(MemoryStream& stream) override;
    void CollectEstimateCodes(EstimateCodeCollector& collector) const override;
};

/// Raises "IDS_RADIATORDATAERROR" for an item name that is empty or longer than
/// kMaxDeviceNameLength characters.
void checkDeviceName(const std::string& name);

} // namespace kalydor
