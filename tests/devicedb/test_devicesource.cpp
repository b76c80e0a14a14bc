#include "devicedb/devicesource.h"

#include "base/error.h"
#include "codecs/texttokenreader.h"

#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

// The sources of a load, served from memory. The folder does not exist on the disk, so its
// paths resolve as they are written.
constexpr std::string_view kFolder = "/kalydor-test-sources/db/";
using Files = std::map<std::string, std::string>;

std::string inFolder(const std::string& name) {
    return std::string(kFolder) + name;
}

struct Loaded {
    std::vector<std::string> events;
    std::vector<std::unique_ptr<DeviceItem>> items;
    std::vector<std::string> files;
    std::string errorKey;
    TextArgs errorArgs;
    std::string errorText;
};

// Reads the picked files (named within the folder) and records what the reader hands over.
Loaded load(const Files& files, const std::vector<std::string>& picked,
            std::optional<std::string> language = "en") {
    std::vector<std::string> paths;
    for (const std::string& name : picked)
        paths.push_back(inFolder(name));
    DeviceSourceReader reader(paths);
    if (language)
        reader.setLanguage(*language);
    reader.setFileLoader([&files](const std::string& path) -> std::string {
        const auto it = files.find(path);
        if (it == files.end())
            throw Error("IDS_FILEREADERROR", {path, std::string("absent")});
        return it->second;
    });
    Loaded loaded;
    DeviceSourceEvents events;
    events.reset = [&loaded] { loaded.events.push_back("reset"); };
    events.autoYes = [&loaded] { loaded.events.push_back("autoyes"); };
    events.item = [&loaded](std::unique_ptr<DeviceItem> item) {
        loaded.events.push_back("item " + item->Name);
        loaded.items.push_back(std::move(item));
    };
    events.fileDone = [&loaded](const std::string& file) {
        const std::string shown =
            file.substr(0, kFolder.size()) == kFolder ? file.substr(kFolder.size()) : file;
        loaded.events.push_back("done " + shown);
    };
    try {
        reader.run(events);
    } catch (const Error& error) {
        loaded.errorKey = error.key();
        loaded.errorArgs = error.args();
        loaded.errorText = error.text();
    }
    loaded.files = reader.files();
    return loaded;
}

using Events = std::vector<std::string>;

const char* const kTextSource = R"("KALYDOR32RADIATOR" 1 2026 3 14 "Oțel\\Panouri" "F"
"" "DTLOG" 50 2
1 "600"
2 "400" "500"
1 "M" 0 2 0.85
"a" 0 640 1.92 2.4 1.33 1 400 600 100 "E"
"b" 1 800 2.4 3 1.33 0 500 600 100 ""
"KALYDOR32PIECELIST" 0 2026 3 15 "P" "L"
1 "n" "KALYDOR32RADIATOR" 2 "" ""
"END"
)";

const char* const kXmlSource = R"(<?xml version="1.0" encoding="UTF-8"?>
<KalydorDB>
<KalydorDBRadiator DTLog="Yes">
<ItemHeader><ItemPath>P</ItemPath><ItemName>F</ItemName><Macro ID="%M%">M</Macro></ItemHeader>
<DTOrigin>50</DTOrigin>
<DimensionArray><DimensionString>600</DimensionString></DimensionArray>
<DimensionArray><DimensionString>400</DimensionString><DimensionString>500</DimensionString></DimensionArray>
<RadiatorMainType><MainTypeName>%M%</MainTypeName><DimensionIndex>0</DimensionIndex><kvValue>0.85</kvValue>
<RadiatorSubType><Name>a</Name><DimensionIndex>0</DimensionIndex><Power>640</Power><Length>400</Length></RadiatorSubType>
<RadiatorSubType><Name>b</Name><DimensionIndex>1</DimensionIndex><Power>800</Power><Length>500</Length></RadiatorSubType>
</RadiatorMainType>
</KalydorDBRadiator>
<KalydorDBPieceList>
<ItemHeader><ItemPath>P</ItemPath><ItemName>L</ItemName></ItemHeader>
<ListItem Type="KALYDOR32RADIATOR"><Name>n</Name><Quantity>2</Quantity></ListItem>
</KalydorDBPieceList>
</KalydorDB>
)";

const char* const kPieceListX = "<KalydorDBPieceList><ItemHeader><ItemPath>P</ItemPath>"
                                "<ItemName>X</ItemName></ItemHeader></KalydorDBPieceList>";

// The valid sources above and the files they may include: a piece list in each form, files
// that include each other, a file outside the folder, and chains of includes 17 deep.
Files sources() {
    Files files = {
        {inFolder("main.txt"), kTextSource},
        {inFolder("main.xml"), kXmlSource},
        {inFolder("x.txt"), "\"KALYDOR32PIECELIST\" 0 2026 1 1 \"P\" \"X\" 0\n"},
        {inFolder("x.xml"), "<KalydorDB>" + std::string(kPieceListX) + "</KalydorDB>"},
        {inFolder("loop.txt"), "\"INCLUDE\" \"loop2.txt\"\n"},
        {inFolder("loop2.txt"), "\"INCLUDE\" \"sub\\\\..\\\\loop.txt\"\n"},
        {inFolder("loop.xml"), "<KalydorDB><DBInclude>loop2.xml</DBInclude></KalydorDB>"},
        {inFolder("loop2.xml"), "<KalydorDB><DBInclude>sub\\..\\loop.xml</DBInclude></KalydorDB>"},
        {"/kalydor-test-sources/other/x.txt", "\"KALYDOR32PIECELIST\" 0 2026 1 1 \"P\" \"O\" 0\n"},
        {"/kalydor-test-sources/other/x.xml", "<KalydorDB/>"},
    };
    for (int depth = 1; depth <= 17; ++depth) {
        const std::string next = "deep" + std::to_string(depth + 1);
        files[inFolder("deep" + std::to_string(depth) + ".txt")] =
            "\"INCLUDE\" \"" + next + ".txt\"\n";
        files[inFolder("deep" + std::to_string(depth) + ".xml")] =
            "<KalydorDB><DBInclude>" + next + ".xml</DBInclude></KalydorDB>";
    }
    files[inFolder("deep18.txt")] = "\"RESET\"\n";
    files[inFolder("deep18.xml")] = "<KalydorDB><DBReset/></KalydorDB>";
    return files;
}

TEST(DeviceSource, ValidSourcesOfBothForms) {
    for (const char* main : {"main.txt", "main.xml"}) {
        const Loaded loaded = load(sources(), {main});
        EXPECT_EQ(loaded.errorKey, "") << main;
        EXPECT_EQ(loaded.events, (Events{"item F", "item L", std::string("done ") + main})) << main;
        ASSERT_EQ(loaded.items.size(), 2u) << main;
        const auto& family = dynamic_cast<const RadiatorFamily&>(*loaded.items[0]);
        EXPECT_EQ(family.DTLog, 1) << main;
        EXPECT_EQ(family.DimensionLists,
                  (std::vector<std::vector<std::string>>{{"600"}, {"400", "500"}}))
            << main;
        EXPECT_EQ(family.MainTypes, (std::vector<RadiatorMainType>{{"M", {0}, 0, 2, 0.85f}}))
            << main;
        ASSERT_EQ(family.Sizes.size(), 2u) << main;
        EXPECT_EQ(family.Sizes[1].Power, 800.0f) << main;
        EXPECT_EQ(family.Sizes[1].Length, 500) << main;
        const auto& list = dynamic_cast<const PieceList&>(*loaded.items[1]);
        ASSERT_EQ(list.Lines.size(), 1u) << main;
        EXPECT_EQ(list.Lines[0].Type, 0) << main;
        EXPECT_EQ(list.Lines[0].Quantity, 2.0f) << main;
    }
}

// One change of a valid source per fault; each must end the load with its error, whose text
// in the program's language names what is wrong.
TEST(DeviceSource, FaultySources) {
    test::romanianLanguages();
    const std::string longName(65, 'n');
    struct Case {
        const char* name;
        const char* file;
        std::string find;
        std::string replace;
        std::string key;
        std::string firstArg = {}; ///< checked when not empty
    };
    const std::string text = "IDS_TEXTCONVERTERROR+";
    const std::string xml = "IDS_XMLPARSERERROR+";
    const Case cases[] = {
        // text form
        {"wrong keyword", "main.txt", "\"KALYDOR32PIECELIST\" 0", "\"KALYDOR32MATERIAL\" 0",
         text + "4"},
        {"one dimension list", "main.txt", "50 2\n", "50 1\n", text + "5"},
        {"four dimension lists", "main.txt", "50 2\n", "50 4\n", text + "5"},
        {"radiator version 2", "main.txt", "RADIATOR\" 1", "RADIATOR\" 2", text + "5"},
        {"negative version", "main.txt", "RADIATOR\" 1", "RADIATOR\" -1", text + "5"},
        {"piece list version 1", "main.txt", "PIECELIST\" 0", "PIECELIST\" 1", text + "5"},
        {"main-type index outside its list", "main.txt", "\"M\" 0 2", "\"M\" 1 2", text + "5"},
        {"size index outside the last list", "main.txt", "\"b\" 1 800", "\"b\" 2 800", text + "5"},
        {"negative index", "main.txt", "\"a\" 0 640", "\"a\" -1 640", text + "5"},
        {"count over 32767", "main.txt", "1 \"600\"", "32768 \"600\"", text + "5"},
        {"negative count", "main.txt", "1 \"M\"", "-1 \"M\"", text + "5"},
        {"size counts past 32767", "main.txt", "1 \"M\" 0 2 0.85",
         "2 \"M\" 0 32767 0.85 \"N\" 0 1 0.5", text + "5"},
        {"whole number beyond its range", "main.txt", "1 400 600", "1 40000 600", text + "5"},
        {"nominal difference 0", "main.txt", "\"DTLOG\" 50", "\"DTLOG\" 0", text + "5"},
        {"negative nominal difference", "main.txt", "\"DTLOG\" 50", "\"DTLOG\" -5", text + "5"},
        {"nominal difference not finite", "main.txt", "\"DTLOG\" 50", "\"DTLOG\" 1e39", text + "1"},
        {"name over 64 characters", "main.txt", "\"F\"", '"' + longName + '"',
         "IDS_RADIATORDATAERROR", longName},
        {"empty name", "main.txt", "\"L\"\n", "\"\"\n", "IDS_RADIATORDATAERROR"},
        {"item cut short", "main.txt", "1 \"n\" \"KALYDOR32RADIATOR\" 2 \"\" \"\"\n\"END\"\n",
         "1 \"n\"", text + "3"},
        {"absolute include", "main.txt", "\"END\"",
         "\"INCLUDE\" \"" + inFolder("x.txt") + "\"\n\"END\"", text + "6"},
        {"include with a drive", "main.txt", "\"END\"", "\"INCLUDE\" \"C:\\\\x.txt\"\n\"END\"",
         text + "6"},
        {"include outside the folder", "main.txt", "\"END\"",
         "\"INCLUDE\" \"..\\\\other\\\\x.txt\"\n\"END\"", text + "6"},
        {"include cycle", "main.txt", "\"END\"", "\"INCLUDE\" \"loop.txt\"\n\"END\"", text + "6"},
        {"includes 17 deep", "main.txt", "\"END\"", "\"INCLUDE\" \"deep2.txt\"\n\"END\"",
         text + "6"},
        {"missing include", "main.txt", "\"END\"", "\"INCLUDE\" \"none.txt\"\n\"END\"", text + "6"},
        // XML form
        {"macro holding its ID", "main.xml", ">M</Macro>", ">M%M%</Macro>", xml + "11", "%M%"},
        {"macro without ID", "main.xml", "<Macro ID=\"%M%\">", "<Macro>", xml + "11", ""},
        {"global macro holding its ID", "main.xml", "<KalydorDB>\n",
         "<KalydorDB>\n<KalydorDBGlobalMacro><Macro ID=\"G\">xGx</Macro></KalydorDBGlobalMacro>",
         xml + "11", "G"},
        {"macro growing too long", "main.xml", "<Macro ID=\"%M%\">M</Macro>",
         "<Macro ID=\"%M%\">%N%%N%</Macro><Macro ID=\"%N%\">" + std::string(33000, 'n') +
             "</Macro>",
         xml + "11", "%N%"},
        {"absolute include", "main.xml", "</KalydorDB>",
         "<DBInclude>" + inFolder("x.xml") + "</DBInclude></KalydorDB>", xml + "12",
         inFolder("x.xml")},
        {"include with a drive", "main.xml", "</KalydorDB>",
         "<DBInclude>C:\\x.xml</DBInclude></KalydorDB>", xml + "12"},
        {"include outside the folder", "main.xml", "</KalydorDB>",
         "<DBInclude>..\\other\\x.xml</DBInclude></KalydorDB>", xml + "12", "..\\other\\x.xml"},
        {"include cycle", "main.xml", "</KalydorDB>", "<DBInclude>loop.xml</DBInclude></KalydorDB>",
         xml + "12", "sub\\..\\loop.xml"},
        {"includes 17 deep", "main.xml", "</KalydorDB>",
         "<DBInclude>deep2.xml</DBInclude></KalydorDB>", xml + "12", "deep18.xml"},
        {"missing include", "main.xml", "</KalydorDB>",
         "<DBInclude>none.xml</DBInclude></KalydorDB>", xml + "12", inFolder("none.xml")},
        {"empty ItemPath", "main.xml", "<ItemPath>P</ItemPath><ItemName>F",
         "<ItemPath></ItemPath><ItemName>F", xml + "10", "F"},
        {"ItemPath of another language only", "main.xml", "<ItemPath>P</ItemPath><ItemName>F",
         "<ItemPath Language=\"de\">P</ItemPath><ItemName>F", xml + "10"},
        {"no item header", "main.xml",
         "<ItemHeader><ItemPath>P</ItemPath><ItemName>L</ItemName></ItemHeader>", "", xml + "10"},
        {"a fourth dimension list", "main.xml", "<DTOrigin>50</DTOrigin>",
         "<DTOrigin>50</DTOrigin><DimensionArray/><DimensionArray/>", xml + "1", "F"},
        {"main-type index beyond its dimensions", "main.xml",
         "<DimensionIndex>0</DimensionIndex><kvValue>",
         "<DimensionIndex>0</DimensionIndex><DimensionIndex>0</DimensionIndex><kvValue>", xml + "2",
         "M"},
        {"main type without its index", "main.xml", "<DimensionIndex>0</DimensionIndex><kvValue>",
         "<kvValue>", xml + "2", "M"},
        {"main-type index outside its list", "main.xml",
         "<DimensionIndex>0</DimensionIndex><kvValue>",
         "<DimensionIndex>1</DimensionIndex><kvValue>", xml + "2", "M"},
        {"dimension list after a main type", "main.xml", "</RadiatorMainType>",
         "</RadiatorMainType><DimensionArray/>", xml + "2", "M"},
        {"size index outside the last list", "main.xml", "<Name>b</Name><DimensionIndex>1",
         "<Name>b</Name><DimensionIndex>2", xml + "2", "b"},
        {"size without a name", "main.xml", "<Name>b</Name>", "<Name></Name>", xml + "14", "F"},
        {"size named in another language only", "main.xml", "<Name>b</Name>",
         "<Name Language=\"de\">b</Name>", xml + "14"},
        {"line without a name", "main.xml", "<Name>n</Name>", "<Name/>", xml + "13", "L"},
        {"nominal difference not finite", "main.xml", "<DTOrigin>50", "<DTOrigin>1e39", xml + "6",
         "DTOrigin"},
        {"nominal difference INF", "main.xml", "<DTOrigin>50", "<DTOrigin>INF", xml + "6"},
        {"no number", "main.xml", "<Power>640", "<Power>abc", xml + "6", "Power"},
        {"whole number with a fraction", "main.xml", "<Length>400", "<Length>400.5", xml + "6",
         "Length"},
        {"whole number beyond its range", "main.xml", "<Length>400", "<Length>40000", xml + "6"},
        {"index beyond int16", "main.xml", "<Name>b</Name><DimensionIndex>1",
         "<Name>b</Name><DimensionIndex>65536", xml + "6", "DimensionIndex"},
        {"nominal difference 0", "main.xml", "<DTOrigin>50", "<DTOrigin>0", "IDS_RADIATORDATAERROR",
         "F"},
        {"name over 64 characters", "main.xml", "<ItemName>F<", "<ItemName>" + longName + "<",
         "IDS_RADIATORDATAERROR", longName},
        {"name over 64 characters by a macro", "main.xml", "<Macro ID=\"%M%\">M</Macro>",
         "<Macro ID=\"%M%\">M</Macro><Macro ID=\"F\">" + std::string(65, 'f') + "</Macro>",
         "IDS_RADIATORDATAERROR", std::string(65, 'f')},
        {"malformed document", "main.xml", "</KalydorDBPieceList>", "</KalydorDBPieceLis>",
         xml + "0", inFolder("main.xml")},
        {"document breaking off in an item", "main.xml",
         "</ListItem>\n</KalydorDBPieceList>\n</KalydorDB>\n", "</ListItem>", xml + "0"},
    };
    for (const Case& c : cases) {
        Files files = sources();
        std::string& source = files[inFolder(c.file)];
        const std::size_t at = source.find(c.find);
        ASSERT_NE(at, std::string::npos) << c.name;
        ASSERT_EQ(source.find(c.find, at + 1), std::string::npos) << c.name;
        source.replace(at, c.find.size(), c.replace);
        const Loaded loaded = load(files, {c.file});
        EXPECT_EQ(loaded.errorKey, c.key) << c.name;
        if (!c.firstArg.empty()) {
            ASSERT_FALSE(loaded.errorArgs.empty()) << c.name;
            EXPECT_EQ(loaded.errorArgs[0], TextArg(c.firstArg)) << c.name;
            EXPECT_NE(loaded.errorText.find(c.firstArg), std::string::npos)
                << c.name << ": " << loaded.errorText;
        }
    }
}

// The count of a list is bounded while it is read, not only when the item is checked.
TEST(DeviceSource, XmlCountsOver32767) {
    std::string entries;
    for (std::size_t i = 0; i <= kMaxDeviceCount; ++i)
        entries += "<DimensionString>d</DimensionString>";
    Files files = sources();
    std::string& source = files[inFolder("main.xml")];
    source.replace(source.find("<DimensionString>600"), 0, entries);
    EXPECT_EQ(load(files, {"main.xml"}).errorKey, "IDS_RADIATORDATAERROR");
}

TEST(DeviceSource, MacrosOfTheItemBeforeGlobalOnes) {
    Files files = sources();
    files[inFolder("main.xml")] =
        "<KalydorDB><KalydorDBGlobalMacro><Macro ID=\"%T%\">T22-%H%</Macro>"
        "<Macro ID=\"%H%\">600</Macro></KalydorDBGlobalMacro>"
        "<KalydorDBPieceList><ItemHeader><ItemPath>Panels\\%H%</ItemPath>"
        "<ItemName>%T%</ItemName></ItemHeader>"
        "<ListItem><Name>T22-%H%</Name><EstimateCode>E%H%</EstimateCode>"
        "<DimensionString>%H% mm</DimensionString></ListItem></KalydorDBPieceList>"
        "<KalydorDBPieceList><ItemHeader><ItemPath>P</ItemPath><ItemName>T22-%H%</ItemName>"
        "<Macro ID=\"%H%\">300</Macro></ItemHeader>"
        "<ListItem><Name>T22-%H%</Name></ListItem></KalydorDBPieceList>"
        "<DBInclude>next.xml</DBInclude></KalydorDB>";
    // The global macros hold in the next file, until a new global element replaces them.
    files[inFolder("next.xml")] =
        "<KalydorDB><KalydorDBPieceList><ItemHeader><ItemPath>P</ItemPath>"
        "<ItemName>A-%H%</ItemName></ItemHeader></KalydorDBPieceList>"
        "<KalydorDBGlobalMacro><Macro ID=\"%W%\">1</Macro></KalydorDBGlobalMacro>"
        "<KalydorDBPieceList><ItemHeader><ItemPath>P</ItemPath>"
        "<ItemName>B-%H%</ItemName></ItemHeader></KalydorDBPieceList></KalydorDB>";
    const Loaded loaded = load(files, {"main.xml"});
    ASSERT_EQ(loaded.errorKey, "");
    EXPECT_EQ(loaded.events, (Events{"item T22-600", "item T22-300", "done main.xml", "item A-600",
                                     "item B-%H%", "done next.xml"}));
    const auto& first = dynamic_cast<const PieceList&>(*loaded.items[0]);
    EXPECT_EQ(first.Path, "Panels\\600");
    EXPECT_EQ(first.Lines, (std::vector<PieceListLine>{{"T22-600", 2, 0.0f, "600 mm", "E600"}}));
    const auto& second = dynamic_cast<const PieceList&>(*loaded.items[1]);
    EXPECT_EQ(second.Lines[0].Name, "T22-300");
}

// Without a language of its own the reader takes the program's.
TEST(DeviceSource, LanguageOfTheProgram) {
    test::romanianLanguages();
    Files files = sources();
    std::string& source = files[inFolder("main.xml")];
    source.replace(source.find("<ItemName>L</ItemName>"), 22,
                   "<ItemName Language=\"en\">List</ItemName><ItemName Language=\"ro\">Listă"
                   "</ItemName><ItemName Language=\"de\">Liste</ItemName>");
    const Loaded loaded = load(files, {"main.xml"}, std::nullopt);
    ASSERT_EQ(loaded.errorKey, "");
    EXPECT_EQ(loaded.events, (Events{"item F", "item Listă", "done main.xml"}));
}

// Included XML files are read after the files listed before them, in the order named, each
// from the folder of the file naming it.
TEST(DeviceSource, XmlIncludesAfterTheCurrentFile) {
    Files files = sources();
    files[inFolder("main.xml")] =
        "<KalydorDB><DBInclude>a.xml</DBInclude>" + std::string(kPieceListX) +
        "<DBInclude>sub\\b.txt</DBInclude><DBInclude> sub/c.xml </DBInclude></KalydorDB>";
    files[inFolder("a.xml")] = "<KalydorDB><DBReset/></KalydorDB>";
    files[inFolder("sub/b.txt")] = "\"RESET\" \"END\"";
    files[inFolder("sub/c.xml")] = "<KalydorDB><DBInclude>d.xml</DBInclude></KalydorDB>";
    files[inFolder("sub/d.xml")] = "<KalydorDB/>";
    const Loaded loaded = load(files, {"main.xml", "main.txt"});
    ASSERT_EQ(loaded.errorKey, "");
    EXPECT_EQ(loaded.events, (Events{"item X", "done main.xml", "item F", "item L", "done main.txt",
                                     "reset", "done a.xml", "reset", "done sub/b.txt",
                                     "done sub/c.xml", "done sub/d.xml"}));
    EXPECT_EQ(loaded.files,
              (std::vector<std::string>{inFolder("main.xml"), inFolder("main.txt"),
                                        inFolder("a.xml"), inFolder("sub/b.txt"),
                                        inFolder("sub/c.xml"), inFolder("sub/d.xml")}));
}

// A text include is read in place; an included file may end without "END".
TEST(DeviceSource, TextIncludesInPlace) {
    Files files = sources();
    std::string& main = files[inFolder("main.txt")];
    main.replace(main.find("\"KALYDOR32PIECELIST\""), 0, "\"INCLUDE\" \"sub\\\\s.txt\"\n");
    files[inFolder("sub/s.txt")] = "\"INCLUDE\" \"..\\\\x.txt\" \"RESET\" \"END\" \"AUTOYES\"";
    const Loaded loaded = load(files, {"main.txt"});
    ASSERT_EQ(loaded.errorKey, "");
    EXPECT_EQ(loaded.events, (Events{"item F", "item X", "reset", "item L", "done main.txt"}));
}

TEST(DeviceSource, ControlKeywordsAndTheEndOfAFile) {
    struct Case {
        const char* name;
        const char* file;
        std::string source;
        Events events;
    };
    const std::string list = "\"KALYDOR32PIECELIST\" 0 2026 1 1 \"P\" \"L\" 0\n";
    const Case cases[] = {
        {"reset and autoyes",
         "a.txt",
         "\"RESET\"\n\"AUTOYES\"\n" + list + "\"END\"\n",
         {"reset", "autoyes", "item L", "done a.txt"}},
        {"no END",
         "a.txt",
         "; catalogue\n" + list + "  ; last comment\n\n",
         {"item L", "done a.txt"}},
        {"empty file", "a.txt", "", {"done a.txt"}},
        {"what follows END", "a.txt", list + "\"END\"\nanything", {"item L", "done a.txt"}},
        {"DBReset in both tag forms",
         "a.xml",
         "<KalydorDB><DBReset/><DBReset></DBReset></KalydorDB>",
         {"reset", "reset", "done a.xml"}},
        {"XML by any letter case",
         "a.XmL",
         "<KalydorDB><DBReset/></KalydorDB>",
         {"reset", "done a.XmL"}},
        {"a name only ending in xml",
         "axml",
         "<KalydorDB><DBReset/></KalydorDB>",
         {"reset", "done axml"}},
        {"text by any other name", "a.xmlx", "\"RESET\"", {"reset", "done a.xmlx"}},
    };
    for (const Case& c : cases) {
        const Loaded loaded = load({{inFolder(c.file), c.source}}, {c.file});
        EXPECT_EQ(loaded.errorKey, "") << c.name;
        EXPECT_EQ(loaded.events, c.events) << c.name;
    }
}

// Item exchange files keep needing "END".
TEST(DeviceSource, ExchangeReadersStillNeedEnd) {
    TextTokenReader reader("\"RESET\"\n", "/kalydor-test/items.txt");
    TextRecordHeader header;
    EXPECT_EQ(reader.NextRecord(header), NextRecordResult::Reset);
    try {
        (void)reader.NextRecord(header);
        ADD_FAILURE() << "the end of the file was taken as END";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_TEXTCONVERTERROR+3");
    }
}

TEST(DeviceSource, IncludesUpTo16Deep) {
    for (const char* main : {"deep2.txt", "deep2.xml"}) {
        const Loaded loaded = load(sources(), {main});
        EXPECT_EQ(loaded.errorKey, "") << main;
        // The last file resets.
        EXPECT_NE(std::find(loaded.events.begin(), loaded.events.end(), "reset"),
                  loaded.events.end())
            << main;
    }
}

TEST(DeviceSource, AtMostAThousandFiles) {
    for (const std::size_t includes :
         {DeviceSourceReader::kMaxFiles - 1, DeviceSourceReader::kMaxFiles}) {
        Files files;
        std::string main = "<KalydorDB>";
        for (std::size_t i = 0; i < includes; ++i) {
            const std::string name = "f" + std::to_string(i) + ".xml";
            main += "<DBInclude>" + name + "</DBInclude>";
            files[inFolder(name)] = "<KalydorDB/>";
        }
        files[inFolder("main.xml")] = main + "</KalydorDB>";
        const Loaded loaded = load(files, {"main.xml"});
        const bool fits = includes < DeviceSourceReader::kMaxFiles;
        EXPECT_EQ(loaded.errorKey, fits ? "" : "IDS_XMLPARSERERROR+12") << includes;
        EXPECT_EQ(loaded.files.size(), fits ? includes + 1 : DeviceSourceReader::kMaxFiles)
            << includes;
    }
}

// Links are followed before the folder is compared: a link inside the folder to a file or a
// folder outside it is refused, a link to a file inside is taken.
TEST(DeviceSource, IncludesThroughLinksStayInTheFolder) {
    test::TempDir temp;
    fs::create_directories(temp.path() / "db" / "sub");
    fs::create_directories(temp.path() / "outside");
    const auto write = [](const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    };
    const std::string list = "\"KALYDOR32PIECELIST\" 0 2026 1 1 \"P\" \"L\" 0\n";
    write(temp.path() / "outside" / "x.txt", list);
    write(temp.path() / "db" / "sub" / "x.txt", list);
    fs::create_symlink(temp.path() / "outside" / "x.txt", temp.path() / "db" / "out.txt");
    fs::create_directory_symlink(temp.path() / "outside", temp.path() / "db" / "outdir");
    fs::create_symlink(temp.path() / "db" / "sub" / "x.txt", temp.path() / "db" / "in.txt");
    struct Case {
        const char* include;
        std::string key;
    };
    const Case cases[] = {
        {"in.txt", ""},
        {"sub/x.txt", ""},
        {"out.txt", "IDS_TEXTCONVERTERROR+6"},
        {"outdir/x.txt", "IDS_TEXTCONVERTERROR+6"},
        {"../outside/x.txt", "IDS_TEXTCONVERTERROR+6"},
    };
    for (const Case& c : cases) {
        const fs::path main = temp.path() / "db" / "main.txt";
        write(main, "\"INCLUDE\" \"" + std::string(c.include) + "\"\n");
        DeviceSourceReader reader({main.string()});
        reader.setLanguage("en");
        int items = 0;
        DeviceSourceEvents events;
        events.item = [&items](std::unique_ptr<DeviceItem>) { ++items; };
        std::string key;
        try {
            reader.run(events);
        } catch (const Error& error) {
            key = error.key();
        }
        EXPECT_EQ(key, c.key) << c.include;
        EXPECT_EQ(items, c.key.empty() ? 1 : 0) << c.include;
    }
}

TEST(DeviceSource, UnreadableFirstFile) {
    for (const char* name : {"none.txt", "none.xml"}) {
        DeviceSourceReader reader({"/kalydor-test-sources/none/" + std::string(name)});
        reader.setLanguage("en");
        DeviceSourceEvents events;
        try {
            reader.run(events);
            ADD_FAILURE() << name << " was read";
        } catch (const Error& error) {
            EXPECT_EQ(error.key(), "IDS_FILEREADERROR") << name;
        }
    }
}

} // namespace
} // namespace kalydor
