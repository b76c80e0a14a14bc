#include "devicedb/devicexml.h"

#include "base/error.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"

#include "devicedb/devicecompare.h"
#include "devicedb/samplefamily.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

using test::expectSameFamily;
using test::expectSamePieceList;
using test::sampleFamily;
using test::samplePieceList;

std::string errorKey(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.key();
    }
    return "";
}

// The items of a document, read as the source reader reads them.
std::vector<std::unique_ptr<DeviceItem>> readItems(const std::string& document,
                                                   DeviceXmlReader& reader) {
    XmlReader parser;
    EXPECT_TRUE(parser.LoadFromBuffer(document, "items.xml"));
    std::vector<std::unique_ptr<DeviceItem>> items;
    while (parser.Scan()) {
        if (parser.CurPartType() != XmlPart::StartTag)
            continue;
        if (parser.CurName() == kGlobalMacroElement)
            reader.readGlobalMacros(parser);
        else if (parser.CurName() == kRadiatorElement || parser.CurName() == kPieceListElement)
            items.push_back(reader.readItem(parser));
    }
    EXPECT_FALSE(parser.EndedOnError()) << parser.ErrorText();
    return items;
}

std::unique_ptr<DeviceItem> readOne(const std::string& element,
                                    const std::string& language = "en") {
    DeviceXmlReader reader(language);
    auto items = readItems("<KalydorDB>" + element + "</KalydorDB>", reader);
    EXPECT_EQ(items.size(), 1u);
    return items.empty() ? nullptr : std::move(items.front());
}

std::string exported(const std::vector<const DeviceItem*>& items,
                     const std::string& encoding = std::string(kExchangeXmlEncoding)) {
    XmlWriter writer({}, std::string(kDeviceXmlRoot), encoding);
    for (const DeviceItem* item : items)
        writeDeviceXml(writer, *item);
    writer.Finish();
    return writer.bytes();
}

// The element of an item alone, as a UTF-8 document holds it.
std::string element(const DeviceItem& item) {
    XmlWriter writer({}, std::string(kDeviceXmlRoot), "UTF-8");
    const std::size_t opening = writer.bytes().size();
    writeDeviceXml(writer, item);
    return writer.bytes().substr(opening);
}

std::string crlf(std::string_view lines) {
    std::string out;
    for (const char c : lines) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

const char* const kHeaderLines = R"(  <ItemHeader>
    <Date>
      <Year>2026</Year>
      <Month>3</Month>
      <Day>15</Day>
    </Date>
    <ItemPath>A\B</ItemPath>
    <ItemName>L&amp;&lt;</ItemName>
    <HomePage></HomePage>
  </ItemHeader>
)";

TEST(DeviceXml, PieceListElementLayout) {
    PieceList list;
    list.Name = "L&<";
    list.Path = "A\\B";
    list.Date = {2026, 3, 15};
    list.Lines = {{"n", 0, 2.5f, "d", "e"}, {"m", 2, 1.0f, "", ""}};
    EXPECT_EQ(element(list), crlf(std::string("<KalydorDBPieceList>\n") + kHeaderLines +
                                  R"(  <ListItem Type="KALYDOR32RADIATOR" >
    <Name>n</Name>
    <Quantity>2.5</Quantity>
    <DimensionString>d</DimensionString>
    <EstimateCode>e</EstimateCode>
  </ListItem>
  <ListItem Type="" >
    <Name>m</Name>
    <Quantity>1</Quantity>
    <DimensionString></DimensionString>
    <EstimateCode></EstimateCode>
  </ListItem>
</KalydorDBPieceList>
)"));
}

TEST(DeviceXml, RadiatorElementLayout) {
    RadiatorFamily family;
    family.Name = "L&<";
    family.Path = "A\\B";
    family.Date = {2026, 3, 15};
    family.DTLog = 0;
    family.DTOrigin = 50.0f;
    family.DimensionLists = {{"600"}, {"400"}};
    family.MainTypes = {{"M", {0}, 0, 1, 0.5f}};
    family.Sizes = {{"a", 0, 100.0f, 1.5f, 2.0f, 1.3f, 1, 400, 600, 100, "E"}};
    EXPECT_EQ(element(family), crlf(std::string("<KalydorDBRadiator DTLog=\"No\" >\n") +
                                    kHeaderLines + R"(  <DTOrigin>50</DTOrigin>
  <DimensionArray>
    <DimensionString>600</DimensionString>
  </DimensionArray>
  <DimensionArray>
    <DimensionString>400</DimensionString>
  </DimensionArray>
  <RadiatorMainType>
    <MainTypeName>M</MainTypeName>
    <DimensionIndex>0</DimensionIndex>
    <kvValue>0.5</kvValue>
    <RadiatorSubType>
      <Name>a</Name>
      <DimensionIndex>0</DimensionIndex>
      <Power>100</Power>
      <Surface>1.5</Surface>
      <Volume>2</Volume>
      <Exponent>1.3</Exponent>
      <Current>1</Current>
      <Length>400</Length>
      <Height>600</Height>
      <Width>100</Width>
      <EstimateCode>E</EstimateCode>
    </RadiatorSubType>
  </RadiatorMainType>
</KalydorDBRadiator>
)"));
}

// The export's own encoding, with characters it writes as references.
TEST(DeviceXml, SampleItemsRoundTrip) {
    const RadiatorFamily family = sampleFamily();
    const PieceList list = samplePieceList();
    const std::string document = exported({&family, &list});
    EXPECT_NE(document.find("<KalydorDB>"), std::string::npos);
    DeviceXmlReader reader("en");
    const auto items = readItems(document, reader);
    ASSERT_EQ(items.size(), 2u);
    expectSameFamily(dynamic_cast<const RadiatorFamily&>(*items[0]), family);
    EXPECT_EQ(items[0]->Version, RadiatorFamily::kCurrentVersion);
    PieceList expected = list;
    expectSamePieceList(dynamic_cast<const PieceList&>(*items[1]), expected);
}

// The form keeps few digits; what is read back is the number at those digits.
TEST(DeviceXml, NumbersKeepTheirDigits) {
    RadiatorFamily family = sampleFamily();
    family.DTOrigin = 49.87f;
    family.MainTypes[0].kvValue = 0.854321f;
    RadiatorSize& size = family.Sizes[0];
    size.Power = 1234.56f;
    size.Surface = 1.23456f;
    size.Volume = 12.3456f;
    size.Exponent = 1.33333f;
    PieceList list = samplePieceList();
    list.Lines[0].Quantity = 2.34567f;

    const std::string document = exported({&family, &list}, "UTF-8");
    for (const char* written :
         {"<DTOrigin>49.9</DTOrigin>", "<kvValue>0.8543</kvValue>", "<Power>1234.6</Power>",
          "<Surface>1.235</Surface>", "<Volume>12.35</Volume>", "<Exponent>1.333</Exponent>",
          "<Quantity>2.346</Quantity>"})
        EXPECT_NE(document.find(written), std::string::npos) << written;

    DeviceXmlReader reader("en");
    const auto items = readItems(document, reader);
    ASSERT_EQ(items.size(), 2u);
    const auto& read = dynamic_cast<const RadiatorFamily&>(*items[0]);
    EXPECT_EQ(read.DTOrigin, 49.9f);
    EXPECT_EQ(read.MainTypes[0].kvValue, 0.8543f);
    EXPECT_EQ(read.Sizes[0].Power, 1234.6f);
    EXPECT_EQ(read.Sizes[0].Surface, 1.235f);
    EXPECT_EQ(read.Sizes[0].Volume, 12.35f);
    EXPECT_EQ(read.Sizes[0].Exponent, 1.333f);
    EXPECT_EQ(dynamic_cast<const PieceList&>(*items[1]).Lines[0].Quantity, 2.346f);
}

const char* const kSmallHeader = "<ItemHeader><ItemPath>P</ItemPath><ItemName>F</ItemName>"
                                 "</ItemHeader>";

std::string smallFamily(const std::string& attributes, const std::string& body) {
    return "<KalydorDBRadiator" + attributes + ">" + kSmallHeader + body + "</KalydorDBRadiator>";
}

const char* const kSmallBody =
    "<DimensionArray><DimensionString>600</DimensionString></DimensionArray>"
    "<DimensionArray><DimensionString>400</DimensionString></DimensionArray>"
    "<RadiatorMainType><MainTypeName>M</MainTypeName><DimensionIndex>0</DimensionIndex>"
    "<RadiatorSubType><Name>S</Name><DimensionIndex>0</DimensionIndex></RadiatorSubType>"
    "</RadiatorMainType>";

TEST(DeviceXml, LogarithmicDifferenceOnlyWithYes) {
    const std::pair<const char*, std::int16_t> cases[] = {
        {" DTLog=\"Yes\"", 1}, {" DTLog=\"yes\"", 0}, {" DTLog=\"No\"", 0}, {"", 0}};
    for (const auto& [attribute, dtLog] : cases) {
        const auto item = readOne(smallFamily(attribute, kSmallBody));
        ASSERT_TRUE(item) << attribute;
        EXPECT_EQ(dynamic_cast<const RadiatorFamily&>(*item).DTLog, dtLog) << attribute;
    }
}

// The header's children come in any order; its macros apply to the texts before them, and of
// two texts taken the later one counts.
TEST(DeviceXml, HeaderInAnyOrderWithItsMacros) {
    const auto item = readOne("<KalydorDBPieceList><ItemHeader>"
                              "<ItemName>L-%V%</ItemName>"
                              "<ItemName Language=\"de\">Liste</ItemName>"
                              "<ItemPath>Old</ItemPath>"
                              "<Date><Day>15</Day><Month>3</Month><Year>2026</Year></Date>"
                              "<ItemPath Language=\"any\">%V%\\Lists</ItemPath>"
                              "<HomePage Language=\"en\">www.%V%.example</HomePage>"
                              "<Macro ID=\"%V%\">7</Macro>"
                              "</ItemHeader></KalydorDBPieceList>");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Name, "L-7");
    EXPECT_EQ(item->Path, "7\\Lists");
    EXPECT_EQ(item->HomePage, "www.7.example");
    EXPECT_EQ(item->Date, (DeviceDate{2026, 3, 15}));
}

TEST(DeviceXml, ImpossibleDateReadsAsNone) {
    const auto item = readOne("<KalydorDBPieceList><ItemHeader><ItemPath>P</ItemPath>"
                              "<ItemName>L</ItemName><Date><Year>2026</Year><Month>2</Month>"
                              "<Day>30</Day></Date></ItemHeader></KalydorDBPieceList>");
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->Date.empty());
}

// Elements of another language are passed over with what they hold; a dimension list of
// another language is no list. The dimension texts of a list take no language.
TEST(DeviceXml, ElementsOfAnotherLanguageArePassedOver) {
    const auto item = readOne(smallFamily(
        "", "<DimensionArray><DimensionString>600</DimensionString></DimensionArray>"
            "<DimensionArray Language=\"de\"><DimensionString>x</DimensionString></DimensionArray>"
            "<DimensionArray Language=\"ro\"><DimensionString>y</DimensionString></DimensionArray>"
            "<DimensionArray Language=\"en\"><DimensionString>400</DimensionString>"
            "<DimensionString Language=\"de\">500</DimensionString></DimensionArray>"
            "<DimensionArray Language=\"fr\"><DimensionString>z</DimensionString></DimensionArray>"
            "<RadiatorMainType><MainTypeName>Typ</MainTypeName>"
            "<MainTypeName Language=\"en\">Type</MainTypeName>"
            "<MainTypeName Language=\"de\">Typ 2</MainTypeName><DimensionIndex>0</DimensionIndex>"
            "<RadiatorSubType><Name Language=\"en\">S</Name><Name Language=\"de\">T</Name>"
            "<DimensionIndex>1</DimensionIndex></RadiatorSubType></RadiatorMainType>"));
    ASSERT_TRUE(item);
    const auto& family = dynamic_cast<const RadiatorFamily&>(*item);
    EXPECT_EQ(family.DimensionLists,
              (std::vector<std::vector<std::string>>{{"600"}, {"400", "500"}}));
    ASSERT_EQ(family.MainTypes.size(), 1u);
    EXPECT_EQ(family.MainTypes[0].MainTypeName, "Type");
    ASSERT_EQ(family.Sizes.size(), 1u);
    EXPECT_EQ(family.Sizes[0].Name, "S");

    const auto list = readOne("<KalydorDBPieceList Language=\"de\">" + std::string(kSmallHeader) +
                                  "<ListItem><Name>n</Name><Name Language=\"ro\">nume</Name>"
                                  "<DimensionString>d</DimensionString>"
                                  "<DimensionString Language=\"ro\">r</DimensionString>"
                                  "</ListItem></KalydorDBPieceList>",
                              "ro");
    ASSERT_TRUE(list);
    EXPECT_EQ(dynamic_cast<const PieceList&>(*list).Lines,
              (std::vector<PieceListLine>{{"nume", 2, 0.0f, "r", ""}}));
}

TEST(DeviceXml, LanguageRule) {
    struct Case {
        const char* attribute;
        const char* language;
        bool taken;
    };
    const Case cases[] = {
        {"", "en", true},    {"any", "en", true}, {"en", "en", true},   {"ro", "ro", true},
        {"ro", "en", false}, {"EN", "en", false}, {"Any", "en", false}, {"en", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(deviceLanguageTaken(c.attribute, c.language), c.taken)
            << '"' << c.attribute << "\" in \"" << c.language << '"';
}

TEST(DeviceXml, LineTypesByKeyword) {
    const auto item = readOne("<KalydorDBPieceList>" + std::string(kSmallHeader) +
                              "<ListItem Type=\"KALYDOR32RADIATOR\"><Name>a</Name></ListItem>"
                              "<ListItem Type=\"KALYDOR32PIECELIST\"><Name>b</Name></ListItem>"
                              "<ListItem Type=\"\"><Name>c</Name></ListItem>"
                              "<ListItem Type=\"kalydor32radiator\"><Name>d</Name></ListItem>"
                              "<ListItem><Name>e</Name><Quantity>2,5</Quantity></ListItem>"
                              "</KalydorDBPieceList>");
    ASSERT_TRUE(item);
    const auto& lines = dynamic_cast<const PieceList&>(*item).Lines;
    ASSERT_EQ(lines.size(), 5u);
    const std::int16_t types[] = {0, 1, 2, 2, 2};
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].Type, types[i]) << lines[i].Name;
    EXPECT_EQ(lines[4].Quantity, 2.5f);
}

// Elements the item does not know, and known names where they do not belong, are passed over.
TEST(DeviceXml, UnknownElementsArePassedOver) {
    const auto item = readOne(smallFamily(
        "", std::string("<Note><Name>x</Name><DTOrigin>70</DTOrigin></Note>") + kSmallBody +
                "<RadiatorSubType><Name>lost</Name><DimensionIndex>0</DimensionIndex>"
                "</RadiatorSubType><DTOrigin>55</DTOrigin>"));
    ASSERT_TRUE(item);
    const auto& family = dynamic_cast<const RadiatorFamily&>(*item);
    EXPECT_EQ(family.DTOrigin, 55.0f);
    ASSERT_EQ(family.Sizes.size(), 1u);
    EXPECT_EQ(family.Sizes[0].Name, "S");
    EXPECT_EQ(family.MainTypes[0].SizeCount, 1);
}

TEST(DeviceXml, MainTypesTakeTheSizesReadSoFar) {
    const auto item = readOne(
        smallFamily("", std::string(kSmallBody) +
                            "<RadiatorMainType><MainTypeName>N</MainTypeName><kvValue>1.5</kvValue>"
                            "<DimensionIndex>0</DimensionIndex>"
                            "<RadiatorSubType><Name>T</Name></RadiatorSubType>"
                            "<RadiatorSubType><Name>U</Name><Length>500</Length></RadiatorSubType>"
                            "</RadiatorMainType>"));
    ASSERT_TRUE(item);
    const auto& family = dynamic_cast<const RadiatorFamily&>(*item);
    ASSERT_EQ(family.MainTypes.size(), 2u);
    EXPECT_EQ(family.MainTypes[1], (RadiatorMainType{"N", {0}, 1, 2, 1.5f}));
    ASSERT_EQ(family.Sizes.size(), 3u);
    EXPECT_EQ(family.Sizes[2].Length, 500);
}

TEST(DeviceXml, MacroExpansion) {
    const DeviceMacros none;
    const DeviceMacros height{{"%H%", "600"}};
    struct Case {
        const char* name;
        std::string text;
        DeviceMacros item;
        DeviceMacros global;
        std::string expanded;
    };
    const Case cases[] = {
        {"global macro", "T22-%H%", none, height, "T22-600"},
        {"every occurrence", "%H%x%H%", none, height, "600x600"},
        {"the item's macro first", "T22-%H%", {{"%H%", "300"}}, height, "T22-300"},
        {"a value bringing a later ID", "A", {{"A", "%H%"}}, height, "600"},
        {"no earlier ID again", "A", {{"%B%", "b"}, {"A", "%B%"}}, none, "%B%"},
        {"the list's order", "AB", none, {{"B", "x"}, {"A", "B"}}, "Bx"},
        {"search again from the start", "aabb", {{"ab", "a"}}, none, "aa"},
        {"nothing to replace", "plain", {{"%H%", "1"}}, height, "plain"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(expandDeviceMacros(c.text, c.item, c.global, "F"), c.expanded) << c.name;
}

TEST(DeviceXml, MacroExpansionIsBounded) {
    struct Case {
        const char* name;
        std::string text;
        DeviceMacro macro;
    };
    const Case cases[] = {
        {"too many replacements", std::string(kMaxMacroReplacements + 1, 'x'), {"x", "y"}},
        {"too long", "AA", {"A", std::string(kMaxExpandedTextLength / 2 + 1, 'b')}},
        {"too much work", std::string(60000, '.') + std::string(20, 'A'), {"A", "b"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(errorKey([&] { (void)expandDeviceMacros(c.text, {c.macro}, {}, "F"); }),
                  "IDS_XMLPARSERERROR+11")
            << c.name;
    }
    // Just inside the bounds.
    EXPECT_EQ(expandDeviceMacros(std::string(kMaxMacroReplacements, 'x'), {{"x", "y"}}, {}, "F"),
              std::string(kMaxMacroReplacements, 'y'));
}

TEST(DeviceXml, MacrosThatCannotBeUsedAreRefused) {
    DeviceMacros full(kMaxDeviceMacros, DeviceMacro{"a", "b"});
    struct Case {
        const char* name;
        DeviceMacros list;
        DeviceMacro macro;
    };
    const Case cases[] = {
        {"empty ID", {}, {"", "x"}},
        {"value holding its ID", {}, {"%H%", "1%H%"}},
        {"value equal to its ID", {}, {"%H%", "%H%"}},
        {"a list already full", full, {"%H%", "1"}},
    };
    for (const Case& c : cases) {
        DeviceMacros list = c.list;
        try {
            addDeviceMacro(list, c.macro, "Panou");
            ADD_FAILURE() << c.name << ": taken";
        } catch (const Error& error) {
            EXPECT_EQ(error.key(), "IDS_XMLPARSERERROR+11") << c.name;
            EXPECT_EQ(error.args(), (TextArgs{c.macro.ID, std::string("Panou")})) << c.name;
        }
        EXPECT_EQ(list.size(), c.list.size()) << c.name;
    }
}

// Each "KalydorDBGlobalMacro" element starts the list anew; macros of another language are
// passed over.
TEST(DeviceXml, GlobalMacrosStartAnewWithEachElement) {
    DeviceXmlReader reader("en");
    (void)readItems("<KalydorDB><KalydorDBGlobalMacro><Macro ID=\"A\">1</Macro>"
                    "</KalydorDBGlobalMacro><KalydorDBGlobalMacro><Macro ID=\"B\">2</Macro>"
                    "<Macro ID=\"C\" Language=\"de\">3</Macro><Macro ID=\"D\" Language=\"any\"/>"
                    "<Group><Macro ID=\"E\">5</Macro></Group></KalydorDBGlobalMacro></KalydorDB>",
                    reader);
    EXPECT_EQ(reader.globalMacros(), (DeviceMacros{{"B", "2"}, {"D", ""}, {"E", "5"}}));
}

} // namespace
} // namespace kalydor
