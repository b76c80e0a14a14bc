// The result lines of room and building reports: which lines each condition writes, in
// which order, with which values; and the copy's tables for damaged values.

#include "rooms/building.h"
#include "rooms/room.h"

#include "reports/clipboarddocument.h"
#include "reports/textdocument.h"
#include "support/shippedlanguages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kalydor::test {
namespace {

// The captions of the plain-text lines, in order ("Room name" lines have no caption).
std::vector<std::string> captions(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        const std::size_t colon = line.find(':');
        out.push_back(colon == std::string::npos ? line : line.substr(0, colon));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return out;
}

Room roomOf(std::int16_t filtMode, std::int16_t calcFlags) {
    Room room;
    room.Name = "Baie";
    room.Function = "Baie";
    room.BuildingName = "Casa";
    room.Area = 6;
    room.Height = 2.5f;
    room.FiltMode = filtMode;
    room.CalcFlags = calcFlags;
    room.AirChangeFact = 1.5f;
    room.NumOfMens = 3;
    room.Portion = 30;
    room.AirVolume = 40;
    room.HeatingPower = 812.4f;
    room.InternalSource = 0;
    return room;
}

TEST(RoomReport, LinesFollowTheHeatingFlagAndTheVentilationMethod) {
    Languages& languages = shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    setTextLookup(&languages);
    const std::vector<std::string> always = {
        "Baie",   "Function", "Building",        "Floor area",
        "Height", "Volume",   "Structural mass", "Heat-storing mass"};
    const std::vector<std::string> heatingStart = {
        "Inside design temperature", "Outside design temperature",
        "Massivity coefficient Cm",  "Surcharge factor (1 + (Ao + Ac)/100)",
        "Transmission heat loss",    "Ventilation method"};
    const std::vector<std::string> heatingEnd = {"Ventilation and infiltration heat",
                                                 "Heating load"};
    struct Case {
        std::int16_t filtMode;
        std::int16_t calcFlags;
        bool heatingPart;
        std::vector<std::string> method; ///< the lines of the ventilation method
    };
    const std::vector<Case> cases = {
        {0, 3, true, {"Entering air temperature", "Air changes"}},
        {1, 3, true, {"Entering air temperature", "Number of persons", "Fresh air per person"}},
        {2, 3, true, {"Entering air temperature", "Air flow"}},
        {3, 3, true, {}},
        {4, 3, true, {"Entering air temperature", "Level correction factor E", "Wind speed"}},
        {0, 2, true, {}},  // the heating load is not computed: lines 0-7 only
        {0, 3, false, {}}, // the heating part not asked for
    };
    for (const Case& c : cases) {
        TextDocument text(languages);
        TextDocument rtf(languages, TextStreamKind::Rtf);
        roomOf(c.filtMode, c.calcFlags).writeResultLines(&text, rtf, c.heatingPart, -18);
        std::vector<std::string> expected = always;
        if ((c.calcFlags & 1) != 0 && c.heatingPart) {
            expected.insert(expected.end(), heatingStart.begin(), heatingStart.end());
            expected.insert(expected.end(), c.method.begin(), c.method.end());
            expected.insert(expected.end(), heatingEnd.begin(), heatingEnd.end());
        }
        EXPECT_EQ(captions(text.text()), expected) << "mode " << c.filtMode;
        // The rich text has the same lines.
        std::size_t paragraphs = 0;
        for (std::size_t at = rtf.text().find("\\par}"); at != std::string::npos;
             at = rtf.text().find("\\par}", at + 1))
            ++paragraphs;
        EXPECT_EQ(paragraphs, expected.size()) << "mode " << c.filtMode;
    }

    // Values: the project's outside temperature where the room takes it, the load rounded,
    // the radiators' sum when there is one.
    Room room = roomOf(0, 3);
    room.Radiators.resize(1);
    room.Radiators[0].setForwardTemperature(70);
    room.Radiators[0].setBackwardTemperature(55);
    room.Radiators[0].setPower(900);
    room.SunShineFlag = 1;
    room.SunShinePower = 12;
    room.InternalSource = -50;
    TextDocument text(languages);
    TextDocument rtf(languages, TextStreamKind::Rtf);
    room.writeResultLines(&text, rtf, true, -18);
    for (const char* line :
         {"Outside design temperature: -18.0 °C\r\n", "Heating load: 812 W\r\n",
          "Solar gain: 12 W\r\n", "Internal heat sources: -50 W\r\n", "Radiator output: 900 W\r\n"})
        EXPECT_NE(text.text().find(line), std::string::npos) << line << text.text();
}

TEST(BuildingReport, APartNamesItsParentAndTotalsComeInKilowatts) {
    Languages& languages = shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    setTextLookup(&languages);
    Building building;
    building.Name = "Etaj";
    building.HeatingLoss = 4321;
    struct Case {
        std::string parentId;
        float radiators;
        bool heatingPart;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"", 0, true, "Building: Etaj\r\nHeating load: 4.32 kW\r\n"},
        {"P1", 5000, true,
         "Building part: Etaj\r\nPart of: Casa\r\nHeating load: 4.32 kW\r\n"
         "Radiator output: 5.00 kW\r\n"},
        {"P1", 5000, false, "Building part: Etaj\r\nPart of: Casa\r\n"},
    };
    for (const Case& c : cases) {
        building.ParentID = c.parentId;
        building.ParentName = "Casa";
        building.RadiatorsPowerSum = c.radiators;
        TextDocument text(languages);
        TextDocument rtf(languages, TextStreamKind::Rtf);
        building.writeResultLines(&text, rtf, c.heatingPart);
        EXPECT_EQ(text.text(), c.expected);
    }
}

// Values a damaged record may hold print as blanks in the copy's tables, never as a number
// made up by an undefined conversion.
TEST(RoomReport, CopyOfDamagedValuesStaysBlank) {
    Languages& languages = shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    setTextLookup(&languages);
    Room room = roomOf(0, 3);
    Boundary wall;
    wall.Name = "Perete";
    wall.HeatLoss = std::numeric_limits<float>::quiet_NaN();
    room.Boundaries = {wall};
    room.Area = 0;
    room.Mass2 = std::numeric_limits<float>::infinity();
    ClipboardDocument document(languages);
    room.writeReport(document, -15);
    const std::string& rtf = document.rtf().text();
    EXPECT_NE(rtf.find("\\qr\\intbl\\f4\\fs18 \\cell \\row"), std::string::npos) << rtf;

    Building building;
    building.Name = "Casa";
    ClipboardDocument buildingCopy(languages);
    building.writeReport(buildingCopy, {room});
    EXPECT_FALSE(buildingCopy.sheet().empty());
}

} // namespace
} // namespace kalydor::test
