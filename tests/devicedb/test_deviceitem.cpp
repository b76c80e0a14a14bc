#include "devicedb/deviceitem.h"
#include "devicedb/radiatorsizing.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "codecs/compressing.h"
#include "store/treemodel.h"

#include "devicedb/samplefamily.h"
#include "support/bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace kalydor {
namespace {

using test::bytes;
using test::sampleFamily;
using test::samplePieceList;

std::string binaryOf(const DeviceItem& item) {
    MemoryStream stream;
    item.WriteBinary(stream);
    return stream.bytes();
}

template <class Item> Item readBinary(const std::string& data) {
    Item item;
    MemoryStream stream(data);
    item.ReadBinary(stream);
    return item;
}

std::string errorKey(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.key();
    }
    return "";
}

// Little-endian pieces of an expected binary form.
std::string i16(int v) {
    return bytes({static_cast<unsigned>(v) & 0xFF, (static_cast<unsigned>(v) >> 8) & 0xFF});
}
std::string f32(float v) {
    std::uint32_t u = 0;
    std::memcpy(&u, &v, 4);
    return bytes({u & 0xFF, (u >> 8) & 0xFF, (u >> 16) & 0xFF, u >> 24});
}
std::string str(const std::string& s) {
    return i16(static_cast<int>(s.size()) + 1) + s + std::string(1, '\0');
}

TEST(RadiatorFamily, BinaryFormByteForByte) {
    RadiatorFamily f;
    f.Name = "F";
    f.HomePage = "h";
    f.DTLog = 1;
    f.DTOrigin = 50.0f;
    f.DimensionLists = {{"600"}, {"400", "500"}};
    f.MainTypes = {{"M", {0}, 0, 2, 0.5f}};
    f.Sizes = {{"a", 0, 100.0f, 1.0f, 2.0f, 1.3f, 1, 400, 600, 100, "E"},
               {"b", 1, 125.0f, 1.25f, 2.5f, 1.3f, 0, 500, 600, 100, ""}};
    const std::string expected =
        i16(1) + str("h") + i16(1) + f32(50.0f) +                         // version, page, DT
        i16(2) + i16(1) + str("600") + i16(2) + str("400") + str("500") + // two lists
        i16(1) + str("M") + i16(0) + i16(0) + i16(2) + f32(0.5f) +        // one main type
        i16(2) +                                                          // two sizes
        str("a") + i16(0) + f32(100.0f) + f32(1.0f) + f32(2.0f) + f32(1.3f) + i16(1) + i16(400) +
        i16(600) + i16(100) + str("E") + str("b") + i16(1) + f32(125.0f) + f32(1.25f) + f32(2.5f) +
        f32(1.3f) + i16(0) + i16(500) + i16(600) + i16(100) + str("");
    EXPECT_EQ(binaryOf(f), expected);

    PieceList p;
    p.Lines = {{"n", 1, 2.5f, "d", "e"}};
    EXPECT_EQ(binaryOf(p), i16(0) + i16(1) + str("n") + i16(1) + f32(2.5f) + str("d") + str("e"));
}

TEST(RadiatorFamily, BinaryRoundTripAndTheOldVersion) {
    const RadiatorFamily f = sampleFamily();
    const std::string data = binaryOf(f);
    RadiatorFamily back = readBinary<RadiatorFamily>(data);
    EXPECT_EQ(back.Version, 1);
    EXPECT_EQ(back.HomePage, f.HomePage);
    EXPECT_EQ(back.DTLog, f.DTLog);
    EXPECT_EQ(back.DTOrigin, f.DTOrigin);
    EXPECT_EQ(back.DimensionLists, f.DimensionLists);
    EXPECT_EQ(back.MainTypes, f.MainTypes);
    EXPECT_EQ(back.Sizes, f.Sizes);
    EXPECT_EQ(binaryOf(back), data);

    // Version 0 holds a whole number where DTOrigin is: it is skipped and 60 K stays.
    std::string old = i16(0) + data.substr(2);
    const std::size_t at = 2 + str(f.HomePage).size() + 2;
    old.replace(at, 4, i16(55));
    const RadiatorFamily v0 = readBinary<RadiatorFamily>(old);
    EXPECT_EQ(v0.Version, 0);
    EXPECT_EQ(v0.DTOrigin, 60.0f);
    EXPECT_EQ(v0.Sizes, f.Sizes);

    const PieceList p = samplePieceList();
    const PieceList pb = readBinary<PieceList>(binaryOf(p));
    EXPECT_EQ(pb.Lines, p.Lines);

    // The table's block is the compressed form; it expands to the same item.
    RadiatorFamily unpacked;
    unpacked.unpack(f.packed());
    EXPECT_EQ(unpacked.Sizes, f.Sizes);
}

TEST(RadiatorFamily, DamagedOrForeignBinaryFormsAreRefused) {
    const std::string family = binaryOf(sampleFamily());
    const std::string pieces = binaryOf(samplePieceList());
    struct Case {
        const char* what;
        std::string data;
        bool pieceList;
        const char* key;
    };
    std::string badIndex = family;
    // The first size's dimension index (after its name) pointed past the length list.
    const std::size_t sizeIndex = family.find(str("22-600-400")) + str("22-600-400").size();
    badIndex.replace(sizeIndex, 2, i16(3));
    std::string badRange = family;
    const std::size_t countAt = family.find(str("T11-300")) + str("T11-300").size() + 4 + 2;
    badRange.replace(countAt, 2, i16(3)); // 3 sizes from index 3 of five
    std::string negative = family;
    negative.replace(countAt, 2, i16(-1));
    std::string fourLists = family;
    fourLists.replace(2 + str(sampleFamily().HomePage).size() + 6, 2, i16(4));
    const Case cases[] = {
        {"version 2", i16(2) + family.substr(2), false, "IDS_VERSIONERR"},
        {"negative version", i16(-1) + family.substr(2), false, "IDS_VERSIONERR"},
        {"piece list version 1", i16(1) + pieces.substr(2), true, "IDS_VERSIONERR"},
        {"cut short", family.substr(0, family.size() - 3), false, "IDS_DATAREADERROR"},
        {"size index outside its list", badIndex, false, "IDS_DATAREADERROR"},
        {"size range past the sizes", badRange, false, "IDS_DATAREADERROR"},
        {"negative size count", negative, false, "IDS_DATAREADERROR"},
        {"four dimension lists", fourLists, false, "IDS_DATAREADERROR"},
        {"empty", "", false, "IDS_DATAREADERROR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RadiatorFamily f = sampleFamily();
        PieceList p;
        MemoryStream stream(c.data);
        const std::string key = errorKey([&] {
            if (c.pieceList)
                p.ReadBinary(stream);
            else
                f.ReadBinary(stream);
        });
        EXPECT_EQ(key, c.key);
        // A refused form leaves the item as it was.
        EXPECT_EQ(f.Sizes, sampleFamily().Sizes);
    }
    RadiatorFamily f;
    EXPECT_EQ(errorKey([&] { f.unpack(""); }), "IDS_DATAREADERROR");
    EXPECT_EQ(errorKey([&] { f.unpack("\x01\x02\x03"); }), "IDS_COMPRESSERROR");
}

TEST(RadiatorFamily, WritingRefusesWhatWouldNotReadBack) {
    struct Case {
        const char* what;
        std::function<void(RadiatorFamily&)> change;
    };
    const Case cases[] = {
        {"no dimension list", [](RadiatorFamily& f) { f.DimensionLists.clear(); }},
        {"four lists", [](RadiatorFamily& f) { f.DimensionLists.push_back({"x"}); }},
        {"DTOrigin 0", [](RadiatorFamily& f) { f.DTOrigin = 0; }},
        {"DTOrigin NaN", [](RadiatorFamily& f) { f.DTOrigin = std::nanf(""); }},
        {"main-type index outside",
         [](RadiatorFamily& f) { f.MainTypes[0].DimensionIndex[0] = 2; }},
        {"missing main-type index",
         [](RadiatorFamily& f) { f.MainTypes[0].DimensionIndex.pop_back(); }},
        {"range past the sizes", [](RadiatorFamily& f) { f.MainTypes[1].SizeCount = 3; }},
        {"negative first size", [](RadiatorFamily& f) { f.MainTypes[0].FirstSize = -1; }},
        {"size index outside", [](RadiatorFamily& f) { f.Sizes[4].DimensionIndex = 3; }},
        {"32,768 sizes",
         [](RadiatorFamily& f) { f.Sizes.resize(kMaxDeviceCount + 1, f.Sizes[0]); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RadiatorFamily f = sampleFamily();
        c.change(f);
        EXPECT_EQ(errorKey([&] { (void)binaryOf(f); }), "IDS_RADIATORDATAERROR");
    }
    PieceList p;
    p.Lines.resize(kMaxDeviceCount + 1);
    EXPECT_EQ(errorKey([&] { (void)binaryOf(p); }), "IDS_RADIATORDATAERROR");
    EXPECT_EQ(errorKey([] { checkDeviceName(""); }), "IDS_RADIATORDATAERROR");
    EXPECT_EQ(errorKey([] { checkDeviceName(std::string(65, 'x')); }), "IDS_RADIATORDATAERROR");
    EXPECT_EQ(errorKey([] { checkDeviceName(std::string(64, 'x')); }), "");
}

TEST(RadiatorFamily, Lookups) {
    const RadiatorFamily f = sampleFamily();
    const RadiatorFamily::SizePosition at = f.FindSize("11-300-500");
    EXPECT_EQ(at.size, 4);
    EXPECT_EQ(at.mainType, 1);
    EXPECT_FALSE(f.FindSize("11-300-600").found());
    EXPECT_FALSE(f.FindSize("22-600-400 ").found()); // exact, case-sensitive
    EXPECT_EQ(f.NextSize("22-600-400"), "22-600-500");
    EXPECT_EQ(f.NextSize("22-600-600"), std::nullopt); // last of its main type
    EXPECT_EQ(f.PreviousSize("11-300-400"), std::nullopt);
    EXPECT_EQ(f.PreviousSize("11-300-500"), "11-300-400");
    EXPECT_EQ(f.NextSize("nothing"), std::nullopt);
    EXPECT_FLOAT_EQ(f.SizeSurface("22-600-500"), 2.4f);
    EXPECT_FLOAT_EQ(f.SizeVolume("11-300-400"), 0.9f);
    EXPECT_EQ(f.SizeSurface("nothing"), 0.0f);
    EXPECT_EQ(f.sizeDimensions(2).Length, 600);
    EXPECT_EQ(f.sizeDimensions(2).Width, 100);
    EXPECT_EQ(f.sizeDimensions(5).Length, 0);
    EXPECT_FLOAT_EQ(f.MainTypeKv(1), 0.6f);
    EXPECT_EQ(f.MainTypeKv(2), 0.0f);
    EXPECT_EQ(f.MainTypeByName("T11-300"), 1);
    EXPECT_EQ(f.MainTypeByName("t11-300"), -1);
    EXPECT_EQ(f.MainTypeAt(1, 1), 0);
    EXPECT_EQ(f.MainTypeAt(0, 0), 1);
    EXPECT_EQ(f.MainTypeAt(0, 1), -1);

    TreeModel tree;
    f.FillTree(tree);
    ASSERT_EQ(tree.roots().size(), 2u);
    EXPECT_EQ(tree.nodeCount(), 7u);
}

TEST(RadiatorSizing, RatioAndPower) {
    RadiatorFamily f = sampleFamily();
    const RadiatorSize& size = f.Sizes[0]; // 640 W, n = 1.33
    struct Case {
        std::int16_t dtLog;
        float origin;
        double te, tv, ti;
        double ratio; // worked by hand
    };
    const Case cases[] = {
        // Arithmetic: ((75 + 65) / 2 − 20) / 50 = 1.
        {0, 50.0f, 75, 65, 20, 1.0},
        // Logarithmic at the catalogue point 90/70/20 with DTOrigin 60: 20 / ln(70/50) =
        // 59.4393 K, times 1 / 59.44 = 0.999989.
        {1, 60.0f, 90, 70, 20, 20 / std::log(70.0 / 50.0) / 59.44},
        // 55/45/20 with DTOrigin 50: ΔT_log = 10 / ln(35/25) = 29.7196 K, / 50 = 0.594393.
        {1, 50.0f, 55, 45, 20, 10 / std::log(35.0 / 25.0) / 50},
    };
    for (const Case& c : cases) {
        f.DTLog = c.dtLog;
        f.DTOrigin = c.origin;
        EXPECT_NEAR(ThermalRatio(f, c.te, c.tv, c.ti), c.ratio, 1e-12);
    }
    // 0.594393^1.33 × 640 = 320.06 W, rounded to 320; with factor 1.1: 352.07 → 352.
    EXPECT_EQ(SizePower(size, 10 / std::log(35.0 / 25.0) / 50, 1.0), 320.0f);
    EXPECT_EQ(SizePower(size, 10 / std::log(35.0 / 25.0) / 50, 1.1), 352.0f);
    EXPECT_EQ(SizePower(size, 1.0, 1.0), 640.0f);

    for (const auto& [te, tv, ti] : {std::tuple{70.0, 70.0, 20.0}, std::tuple{70.0, 20.0, 20.0},
                                     std::tuple{60.0, 70.0, 20.0}, std::tuple{50.0, 40.0, 45.0}}) {
        EXPECT_EQ(errorKey([&] { (void)ThermalRatio(f, te, tv, ti); }), "IDS_DTLOGERROR")
            << te << "/" << tv << "/" << ti;
    }
    f.DTOrigin = 0;
    EXPECT_EQ(errorKey([&] { (void)ThermalRatio(f, 75, 65, 20); }), "IDS_RADIATORDATAERROR");
    RadiatorSize bad = size;
    bad.Power = std::numeric_limits<float>::infinity();
    EXPECT_EQ(errorKey([&] { (void)SizePower(bad, 1.0, 1.0); }), "IDS_RADIATORDATAERROR");
}

TEST(DeviceDate, JulianDaysAndImpossibleDates) {
    EXPECT_EQ(DeviceDate({1901, 1, 1}).julianDay(), 2415386);
    EXPECT_EQ(DeviceDate({2000, 1, 1}).julianDay(), 2451545);
    EXPECT_EQ(DeviceDate::fromJulianDay(2451545), DeviceDate({2000, 1, 1}));
    EXPECT_EQ(DeviceDate::fromJulianDay(2460000), DeviceDate({2023, 2, 24}));
    EXPECT_TRUE(DeviceDate::fromJulianDay(0).empty());
    for (const DeviceDate& d : {DeviceDate{2023, 2, 29}, DeviceDate{2026, 13, 1},
                                DeviceDate{0, 1, 1}, DeviceDate{2026, 4, 31}}) {
        EXPECT_FALSE(d.valid());
        EXPECT_TRUE(DeviceDate::checked(d.year, d.month, d.day).empty());
    }
    EXPECT_TRUE(DeviceDate({2024, 2, 29}).valid());
}

} // namespace
} // namespace kalydor
