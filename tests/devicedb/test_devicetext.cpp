#include "devicedb/devicetext.h"

#include "base/error.h"
#include "codecs/texttokenreader.h"

#include "devicedb/devicecompare.h"
#include "devicedb/samplefamily.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kalydor {
namespace {

using test::expectSameFamily;
using test::expectSamePieceList;
using test::sampleFamily;
using test::samplePieceList;

std::string fixture(const std::string& name) {
    std::ifstream in(std::filesystem::path(KALYDOR_TEST_DATA) / "devicedb" / name,
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::unique_ptr<DeviceItem>> readAll(const std::string& text) {
    TextTokenReader reader(text, "/kalydor-test/items.txt");
    reader.setEndOfInputEndsFile(true);
    std::vector<std::unique_ptr<DeviceItem>> items;
    TextRecordHeader header;
    while (reader.NextRecord(header) == NextRecordResult::Record)
        items.push_back(readDeviceText(reader, header));
    return items;
}

std::string errorKey(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.key();
    }
    return "";
}

TEST(DeviceText, SampleItemsWrittenByteForByte) {
    std::string out;
    writeDeviceText(out, sampleFamily());
    writeDeviceText(out, samplePieceList());
    writeDeviceTextEnd(out);
    const std::string expected = fixture("sample.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(out, expected);
}

TEST(DeviceText, SampleItemsReadBack) {
    const auto items = readAll(fixture("sample.txt"));
    ASSERT_EQ(items.size(), 2u);
    const auto* family = dynamic_cast<const RadiatorFamily*>(items[0].get());
    const auto* list = dynamic_cast<const PieceList*>(items[1].get());
    ASSERT_TRUE(family && list);
    expectSameFamily(*family, sampleFamily());
    EXPECT_EQ(family->Version, 1);
    expectSamePieceList(*list, samplePieceList());
}

// Quotes and backslashes in every text, not only in the path, come back as they were.
TEST(DeviceText, EveryTextIsEscaped) {
    RadiatorFamily family = sampleFamily();
    family.Name = "Q\"\\1";
    family.HomePage = "h\"\\";
    family.DimensionLists[0][0] = "3\"00";
    family.MainTypes[0].MainTypeName = "T\\22";
    family.Sizes[0].Name = "\"22\"";
    family.Sizes[0].EstimateCode = "\\P";
    PieceList list = samplePieceList();
    list.Path = "A\\\"B";
    list.Lines[0].Name = "C\\\"";
    list.Lines[0].EstimateCode = "\"";

    std::string out;
    writeDeviceText(out, family);
    writeDeviceText(out, list);
    EXPECT_NE(out.find("\"Q\\\"\\\\1\"\t; elemnév\r\n"), std::string::npos);
    EXPECT_NE(out.find("\"T\\\\22\"\t1\t1\t3\t0.85\t\r\n"), std::string::npos);
    const auto items = readAll(out);
    ASSERT_EQ(items.size(), 2u);
    expectSameFamily(dynamic_cast<const RadiatorFamily&>(*items[0]), family);
    expectSamePieceList(dynamic_cast<const PieceList&>(*items[1]), list);
}

// The form gives each main type the sizes after those of the main types before it: sizes
// stored in another order are written main type by main type and read back in that order.
TEST(DeviceText, SizesGoMainTypeByMainTypeAndFirstSizesAreRecomputed) {
    RadiatorFamily family = sampleFamily();
    std::rotate(family.Sizes.begin(), family.Sizes.begin() + 3, family.Sizes.end());
    family.MainTypes[0].FirstSize = 2;
    family.MainTypes[1].FirstSize = 0;
    std::string out;
    writeDeviceText(out, family);
    const auto items = readAll(out);
    ASSERT_EQ(items.size(), 1u);
    expectSameFamily(dynamic_cast<const RadiatorFamily&>(*items[0]), sampleFamily());
}

TEST(DeviceText, TwoDimensionListsGiveOneIndexColumn) {
    RadiatorFamily family;
    family.Name = "F";
    family.DimensionLists = {{"600"}, {"400", "500"}};
    family.MainTypes = {{"M", {0}, 0, 2, 0.5f}};
    family.Sizes = {{"a", 0, 100.5f, 1.0f, 2.0f, 1.3f, 1, 400, 600, 100, "E"},
                    {"b", 1, 125.0f, 1.25f, 2.5f, 1.3f, 0, 500, 600, 100, ""}};
    std::string out;
    writeDeviceText(out, family);
    EXPECT_NE(out.find("\r\n1\t; altípusok száma\r\n"
                       "; azonosító\tH index\tsorok száma\tellenállás\r\n"
                       "\"M\"\t0\t2\t0.5\t\r\n\r\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\r\n\"a\"\t0\t100.5\t1\t2\t1.3\t1\t400\t600\t100\t\"E\"\t\r\n"),
              std::string::npos);
    const auto items = readAll(out);
    ASSERT_EQ(items.size(), 1u);
    expectSameFamily(dynamic_cast<const RadiatorFamily&>(*items[0]), family);
}

// The keyword of the temperature difference is taken in any letter case; version 0 has a
// value in place of the nominal difference that is passed over.
TEST(DeviceText, TemperatureDifferenceOfBothVersions) {
    struct Case {
        const char* name;
        int version;
        const char* part;
        std::int16_t dtLog;
        float dtOrigin;
    };
    const Case cases[] = {
        {"logarithmic", 1, "\"DTLOG\" 45", 1, 45.0f},
        {"any letter case", 1, "\"dtLog\" 45", 1, 45.0f},
        {"arithmetic", 1, "\"DT\" 45.5", 0, 45.5f},
        {"any other keyword", 1, "\"LOG\" 45", 0, 45.0f},
        {"version 0 passes over its value", 0, "\"DTLOG\" 20", 1, 60.0f},
        {"version 0 also a real there", 0, "\"DT\" 20.5", 0, 60.0f},
    };
    for (const Case& c : cases) {
        const std::string text = "\"KALYDOR32RADIATOR\" " + std::to_string(c.version) +
                                 " 2026 1 2 \"P\" \"F\"\n\"\" " + c.part +
                                 "\n2 1 \"a\" 1 \"x\"\n1 \"M\" 0 1 0.5\n"
                                 "\"s\" 0 1 1 1 1 1 1 1 1 \"\"\n";
        const auto items = readAll(text);
        ASSERT_EQ(items.size(), 1u) << c.name;
        const auto& family = dynamic_cast<const RadiatorFamily&>(*items[0]);
        EXPECT_EQ(family.DTLog, c.dtLog) << c.name;
        EXPECT_EQ(family.DTOrigin, c.dtOrigin) << c.name;
        EXPECT_EQ(family.Version, c.version) << c.name;
        EXPECT_EQ(family.Date, (DeviceDate{2026, 1, 2})) << c.name;
    }
}

TEST(DeviceText, ImpossibleDateReadsAsNone) {
    const auto items = readAll("\"KALYDOR32PIECELIST\" 0 2026 2 30 \"P\" \"L\" 0");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(items[0]->Date.empty());
}

// What could not be read back is not written, and nothing is appended.
TEST(DeviceText, WriterRefusesWhatTheFormCannotCarry) {
    struct Case {
        const char* name;
        std::function<void(RadiatorFamily&)> change;
    };
    const Case cases[] = {
        {"one dimension list",
         [](RadiatorFamily& f) {
             f.DimensionLists = {{"400", "500", "600"}};
             for (RadiatorMainType& type : f.MainTypes)
                 type.DimensionIndex.clear();
         }},
        {"an index outside its list", [](RadiatorFamily& f) { f.Sizes[0].DimensionIndex = 3; }},
        {"sizes outside the family", [](RadiatorFamily& f) { f.MainTypes[1].SizeCount = 3; }},
    };
    for (const Case& c : cases) {
        RadiatorFamily family = sampleFamily();
        c.change(family);
        std::string out = "before";
        EXPECT_EQ(errorKey([&] { writeDeviceText(out, family); }), "IDS_RADIATORDATAERROR")
            << c.name;
        EXPECT_EQ(out, "before") << c.name;
    }
}

} // namespace
} // namespace kalydor
