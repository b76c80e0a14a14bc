#include "base/memorystream.h"
#include "codecs/texttokenreader.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"
#include "constructions/constructioncontext.h"
#include "constructions/panel.h"
#include "exchange/xmlexchange.h"
#include "language/languages.h"
#include "platform/window.h"
#include "reports/clipboarddocument.h"
#include "reports/columnlayout.h"
#include "reports/textdocument.h"
#include "support/designclimate.h"
#include "support/shippedlanguages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace kalydor {
namespace {

std::string formatFixed3(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    return buffer;
}

Layer layerOf(const char* name, int kind, float thickness) {
    Material m;
    m.Name = name;
    m.Kind = static_cast<std::uint8_t>(kind);
    m.Thickness = thickness;
    if (kind == 2) {
        m.Diagram[0] = {1, 0.1f};
        m.Diagram[1] = {5, 0.18f};
        m.ThermalRes = 0.14f;
        m.Ventilled = true;
    } else {
        m.Density = 1800;
        m.ThermalCond = 0.8f;
        m.SteamDiffResNum = 8;
        m.HeatCapacity = 0.88f;
    }
    Layer layer(m);
    layer.ThermalCondFactor = kind == 2 ? 0 : 0.1f;
    layer.SteamRes = kind == 2 ? 20 : 0;
    layer.InitialHumidity2 = kind == 0 ? 3 : 0;
    return layer;
}

Panel layeredWall() {
    Panel p = test::outsideWall("Perete \"exterior\" & <subsol>", 55);
    p.x = 4.5f;
    p.y = 2.75f;
    p.Ordering = 1;
    p.RGived = 0;
    p.SurfaceTemperatureDifference = 4;
    p.Layers = {layerOf("Tencuială", 1, 1.5f), layerOf("Cărămidă", 0, 25),
                layerOf("Aer ventilat", 2, 3)};
    p.Calculate({});
    return p;
}

Panel knownWindow() {
    Panel p;
    p.Name = "Fereastră";
    p.Type = 10;
    p.Layered = 1;
    p.x = 1.2f;
    p.y = 1.5f;
    p.R = 0.77f;
    p.ThermicMassivitate = 1;
    p.GlassRatio = 72;
    p.InfiltrationFactor = 1.4f;
    p.InfiltrationLength = 5.4f;
    return p;
}

Panel throughText(Panel& p) {
    Languages none;
    TextDocument stream(none);
    stream.EscapeFlag = true;
    p.WriteText(stream, "Pereți\\Exteriori");
    TextTokenReader reader(stream.text() + "\"END\"\r\n", "p.txt");
    TextRecordHeader header;
    EXPECT_EQ(reader.NextRecord(header), NextRecordResult::Record);
    EXPECT_EQ(header.keyword, "KALYDOR32PANEL");
    EXPECT_EQ(header.groupPath, "Pereți\\Exteriori");
    Panel back;
    back.ReadText(reader, header.version);
    back.Name = header.name;
    TextRecordHeader end;
    EXPECT_EQ(reader.NextRecord(end), NextRecordResult::End); // nothing left unread
    return back;
}

Panel throughXml(Panel& p, std::string* path) {
    XmlWriter writer({}, "Kalydor32Project");
    p.WriteXml(writer, "Pereți\\Exteriori");
    writer.Finish();
    XmlReader parser;
    EXPECT_TRUE(parser.LoadFromBuffer(writer.bytes(), "p.xml"));
    while (parser.Scan()) {
        if (parser.CurPartType() == XmlPart::StartTag && parser.CurName() == "Kalydor32Panel")
            break;
    }
    Panel back;
    EXPECT_TRUE(back.ReadXml(parser, *path));
    return back;
}

void expectSameLayers(const Panel& a, const Panel& b) {
    ASSERT_EQ(a.Layers.size(), b.Layers.size());
    for (std::size_t i = 0; i < a.Layers.size(); ++i) {
        EXPECT_EQ(a.Layers[i].Name, b.Layers[i].Name);
        EXPECT_EQ(a.Layers[i].Kind, b.Layers[i].Kind);
        EXPECT_FLOAT_EQ(a.Layers[i].Thickness, b.Layers[i].Thickness);
        EXPECT_FLOAT_EQ(a.Layers[i].ThermalCondFactor, b.Layers[i].ThermalCondFactor);
        EXPECT_EQ(a.Layers[i].Ventilled, b.Layers[i].Ventilled);
    }
    EXPECT_FLOAT_EQ(a.Layers[2].SteamRes, b.Layers[2].SteamRes);
    EXPECT_FLOAT_EQ(a.Layers[1].InitialHumidity2, b.Layers[1].InitialHumidity2);
}

TEST(PanelExchange, TextRoundTripOfLayeredAndKnownConstructions) {
    Panel wall = layeredWall();
    Panel back = throughText(wall);
    EXPECT_EQ(back.Name, wall.Name);
    EXPECT_EQ(back.Type, 0);
    EXPECT_EQ(back.Layered, 0);
    EXPECT_EQ(back.Ordering, 1);
    EXPECT_FLOAT_EQ(back.OutSideTemp, -15);
    EXPECT_FLOAT_EQ(back.SurfaceTemperatureDifference, 4);
    expectSameLayers(wall, back);
    // Recalculated, the imported wall gives the same resistance.
    back.Calculate({});
    EXPECT_FLOAT_EQ(back.R, wall.R);

    Panel window = knownWindow();
    Panel known = throughText(window);
    EXPECT_EQ(known.Layered, 1);
    EXPECT_FLOAT_EQ(known.R, 0.77f);
    EXPECT_FLOAT_EQ(known.GlassRatio, 72);
    EXPECT_FLOAT_EQ(known.InfiltrationLength, 5.4f);
    EXPECT_TRUE(known.Layers.empty());
}

TEST(PanelExchange, XmlRoundTripAndElementRules) {
    Panel wall = layeredWall();
    std::string path;
    Panel back = throughXml(wall, &path);
    EXPECT_EQ(path, "Pereți\\Exteriori");
    EXPECT_EQ(back.Name, wall.Name);
    EXPECT_EQ(back.Layered, 0);
    EXPECT_EQ(back.Ordering, 1);
    EXPECT_FLOAT_EQ(back.InSideRelHum, 55);
    expectSameLayers(wall, back);

    Panel window = knownWindow();
    Panel known = throughXml(window, &path);
    EXPECT_EQ(known.Type, 10);
    EXPECT_EQ(known.Layered, 1);
    EXPECT_FLOAT_EQ(known.GlassRatio, 72);

    // "LayeredPanel" written by another program as an empty element keeps its ordering;
    // the language text in "Type" is not a number.
    const std::string other =
        "<?xml version=\"1.0\"?><Kalydor32Project><Kalydor32Panel Type=\"Floor\" "
        "Layered=\"Yes\"><ItemHeader><ItemName>P</ItemName><ItemPath>A</ItemPath></ItemHeader>"
        "<Type>Pardoseală</Type><x>3</x><LayeredPanel Ordering=\"Reverse\"/>"
        "<EarthLambda>2</EarthLambda></Kalydor32Panel></Kalydor32Project>";
    XmlReader parser;
    ASSERT_TRUE(parser.LoadFromBuffer(other, "o.xml"));
    while (parser.Scan() && parser.CurName() != "Kalydor32Panel") {
    }
    Panel floor;
    ASSERT_TRUE(floor.ReadXml(parser, path));
    EXPECT_EQ(floor.Type, 2);
    EXPECT_EQ(floor.Ordering, 1);
    EXPECT_FLOAT_EQ(floor.x, 3);
    EXPECT_FLOAT_EQ(floor.EarthLambda, 2);
}

TEST(PanelExchange, XmlStartTagsCarryTheWritersAttributeBlanks) {
    Panel wall = layeredWall();
    XmlWriter writer({}, "Kalydor32Project");
    wall.WriteXml(writer, "A");
    writer.Finish();
    const std::string xml = writer.bytes();
    EXPECT_NE(xml.find("<Kalydor32Panel Type=\"OutsideWall\" Layered=\"Yes\" >"), std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<LayeredPanel Ordering=\"Reverse\" >"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<PanelLayer DataMode=\"Normal\" >"), std::string::npos) << xml;
}

TEST(PanelExchange, DragTextNamesTheConstructionAndCarriesItsXml) {
    Panel wall = layeredWall();
    wall.Name = "W1";
    wall.GroupPath = "Walls";
    wall.GroupSlashPath = "Walls/";
    const std::string text = wall.DragText();
    EXPECT_TRUE(IsKalydorDragText(text));
    const std::size_t second = text.find('\n') + 1;
    EXPECT_EQ(text.substr(second, text.find('\n', second) - second), "kdszerkezet=\"Walls/W1\"");
    EXPECT_NE(text.find("<ItemPath>Walls</ItemPath>"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos); // lines end with a line feed only
}

TEST(LayerList, ColumnsShowTheCalculatedValues) {
    Panel wall = layeredWall();
    ColumnLayout layout;
    layout.Load("PanelLayersTitle");
    for (int id : {13, 14, 16, 18, 25, 3, 5})
        ASSERT_NE(layout.FindColumn(id), nullptr) << id;
    const Layer& brick = wall.Layers[1];
    EXPECT_EQ(brick.ColumnText(13, layout), "-");
    EXPECT_EQ(wall.Layers[2].ColumnText(13, layout), layout.formatReal(13, 20));
    EXPECT_EQ(brick.ColumnText(3, layout), layout.formatReal(3, brick.thermalResistance()));
    EXPECT_EQ(brick.ColumnText(14, layout), layout.formatReal(14, brick.results.firstTemperature));
    // Humidity at a face from its pressure and temperature, as a whole number.
    const int rh = Layer::faceHumidity(brick.firstFacePressure(), brick.results.firstTemperature);
    EXPECT_EQ(brick.ColumnText(16, layout), layout.formatInteger(16, rh));
    EXPECT_GT(rh, 0);
    EXPECT_LE(rh, 100);
    EXPECT_EQ(Layer::faceHumidity(1168.7, 9.3), 100); // p_s(9.3 °C) ≈ 1169 Pa
}

TEST(PanelClipboard, CopyWritesPropertiesTablesMessagesAndCells) {
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    setTextLookup(&languages);
    Panel wall = layeredWall();
    const ConstructionContext context;
    ClipboardDocument stream(languages);
    ASSERT_TRUE(wall.CopyTo(stream, context, ClipboardCopy::WithReport));

    const std::string& text = stream.text().text();
    EXPECT_EQ(text.rfind(wall.Name + "\r\n", 0), 0u);
    EXPECT_NE(text.find("Thermal resistance: " + formatFixed3(wall.R) + " m^2K/W\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n2\tCărămidă\t25\t"), std::string::npos); // the second layer
    EXPECT_NE(text.find(languages.GetText("ID_PANEL22")), std::string::npos);

    const std::string& rtf = stream.rtf().text();
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    // For a look with a word processor: KALYDOR_SAMPLE_DIR=/some/dir.
    if (const char* folder = std::getenv("KALYDOR_SAMPLE_DIR")) {
        stream.FinishDocument();
        std::ofstream(std::string(folder) + "/construction.rtf", std::ios::binary)
            << stream.rtf().text();
    }
    EXPECT_EQ(rtf.find("#CID_"), std::string::npos); // every caption filled in
    std::size_t rows = 0;
    for (std::size_t at = rtf.find("\\row"); at != std::string::npos;
         at = rtf.find("\\row", at + 1))
        ++rows;
    EXPECT_EQ(rows, 2u * 2 + 2u * 3); // two header rows per table, a row per layer per table

    const auto& cells = stream.sheet().cells();
    ASSERT_EQ(cells.size(), 4u); // titles and three layers
    EXPECT_EQ(std::get<std::string>(cells[0][0]), languages.GetText("IDS_PANELBIFFTITLE+0"));
    EXPECT_EQ(std::get<std::string>(cells[2][1]), "Cărămidă");

    // A known construction: no climate lines, no tables, no messages.
    Panel window = knownWindow();
    ClipboardDocument known(languages);
    ASSERT_TRUE(window.CopyTo(known, context, ClipboardCopy::WithReport));
    EXPECT_EQ(known.text().text().find(languages.GetText("ID_PANEL12")), std::string::npos);
    EXPECT_TRUE(known.sheet().cells().empty());
    MemoryStream copy(known.privateStream().bytes());
    Panel pasted;
    ASSERT_TRUE(pasted.PasteFrom(copy));
    EXPECT_FLOAT_EQ(pasted.GlassRatio, 72);
    setTextLookup(nullptr);
    languages.SelectInterfaceLanguage("Român");
}

} // namespace
} // namespace kalydor
