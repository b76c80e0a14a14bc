#include "base/numberformat.h"
#include "codecs/texttokenreader.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"
#include "constructions/layer.h"
#include "constructions/material.h"
#include "language/languages.h"
#include "reports/textdocument.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kalydor {
namespace {

// Equal to the given number of significant digits.
void expectDigits(float expected, float actual, int digits) {
    EXPECT_EQ(formatGeneral(expected, digits), formatGeneral(actual, digits));
}

void expectSameMaterial(const Material& a, const Material& b, int digits) {
    EXPECT_EQ(a.Kind, b.Kind);
    for (const auto member :
         {&Material::Thickness, &Material::Density, &Material::ThermalCond, &Material::ThermalRes,
          &Material::HeatCapacity, &Material::SteamDiffCond, &Material::SteamDiffRes,
          &Material::SteamDiffResNum, &Material::InitialHumidity, &Material::PermitHumidity})
        expectDigits(a.*member, b.*member, digits);
    for (std::size_t i = 0; i < Material::kIsothermPoints; ++i)
        expectDigits(a.Sorption[i], b.Sorption[i], digits);
    for (std::size_t i = 0; i < Material::kDiagramPoints; ++i) {
        expectDigits(a.Diagram[i].thickness, b.Diagram[i].thickness, digits);
        expectDigits(a.Diagram[i].resistance, b.Diagram[i].resistance, digits);
    }
    EXPECT_EQ(a.Ventilled, b.Ventilled);
}

Material normalMaterial() {
    Material m;
    m.Name = "Cărămidă \"plină\"";
    m.Kind = 0;
    m.Flags = Material::kNoDensity;
    m.Thickness = 24.123456f;
    m.Density = 1812.345f;
    m.ThermalCond = 0.8123456f;
    m.HeatCapacity = 0.87f;
    m.SteamDiffResNum = 5.5f;
    m.InitialHumidity = 1.25f;
    m.PermitHumidity = 3.5f;
    for (std::size_t i = 0; i < Material::kIsothermPoints; ++i)
        m.Sorption[i] = 0.011f * static_cast<float>(i + 1) * static_cast<float>(i + 1);
    m.Sorption[0] = 1.5e-7f;
    return m;
}

Material airMaterial() {
    Material m;
    m.Name = "Aer";
    m.Kind = 2;
    m.Thickness = 5;
    m.ThermalRes = 0.18f;
    m.Diagram[0] = {0.5f, 0.11f};
    m.Diagram[1] = {2.5f, 0.18f};
    m.Ventilled = true;
    return m;
}

std::string textOf(DBItem& item) {
    Languages none;
    TextDocument stream(none);
    stream.EscapeFlag = true;
    item.WriteText(stream, "G\\H");
    return stream.text();
}

Material throughText(Material& m) {
    TextTokenReader reader(textOf(m) + "\"END\"\r\n", "m.txt");
    TextRecordHeader header;
    EXPECT_EQ(reader.NextRecord(header), NextRecordResult::Record);
    EXPECT_EQ(header.keyword, "KALYDOR32MATERIAL");
    EXPECT_EQ(header.groupPath, "G\\H");
    Material back;
    back.ReadText(reader, header.version);
    back.Name = header.name;
    return back;
}

std::string xmlOf(DBItem& item) {
    XmlWriter writer({}, "Kalydor32Project");
    item.WriteXml(writer, "G\\H");
    writer.Finish();
    return writer.bytes();
}

Material throughXml(const std::string& xml, std::string* path = nullptr) {
    XmlReader parser;
    EXPECT_TRUE(parser.LoadFromBuffer(xml, "m.xml"));
    while (parser.Scan())
        if (parser.CurPartType() == XmlPart::StartTag && parser.CurName() == "Kalydor32Material")
            break;
    Material back;
    std::string groupPath;
    EXPECT_TRUE(back.ReadXml(parser, groupPath));
    if (path)
        *path = groupPath;
    return back;
}

TEST(MaterialExchange, TextRoundTripKeepsSixDigits) {
    for (Material m : {normalMaterial(), airMaterial()}) {
        SCOPED_TRACE(m.Name);
        const Material back = throughText(m);
        EXPECT_EQ(back.Name, m.Name);
        EXPECT_EQ(back.Flags, m.Flags);
        expectSameMaterial(m, back, 6);
    }
}

// The values of a material follow its header on one line, each followed by a tab, and the
// record ends with an empty line.
TEST(MaterialExchange, TextFormWritesTheValuesOnOneLine) {
    Material m = normalMaterial();
    m.Name = "Beton";
    for (float& point : m.Sorption)
        point = 0;
    m.Sorption[9] = 4;
    const std::string text = textOf(m);
    const std::string values = "0\t2\t24.1235\t1812.34\t0.812346\t0\t0.87\t0\t0\t5.5\t1.25\t3.5\t"
                               "0\t0\t0\t0\t0\t0\t0\t0\t0\t4\t\r\n\r\n";
    ASSERT_GE(text.size(), values.size());
    EXPECT_EQ(text.substr(text.size() - values.size()), values) << text;

    Material air = airMaterial();
    const std::string airText = textOf(air);
    const std::string airValues =
        "2\t0\t5\t0.18\t0.5\t0.11\t2.5\t0.18\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0"
        "\t0\t0\t1\t\r\n\r\n";
    ASSERT_GE(airText.size(), airValues.size());
    EXPECT_EQ(airText.substr(airText.size() - airValues.size()), airValues) << airText;
}

// Start tags are written as the XML writer builds them: each attribute followed by a blank.
TEST(MaterialExchange, XmlStartTagsCarryTheWritersAttributeBlanks) {
    Material m = normalMaterial();
    const std::string xml = xmlOf(m);
    EXPECT_NE(xml.find("<Kalydor32Material Type=\"Normal\" >"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<SorptionIsotermaPoint RelHumidity=\"10\" >1.5E-7</SorptionIsotermaPoint>"),
              std::string::npos)
        << xml;
    Material air = airMaterial();
    const std::string airXml = xmlOf(air);
    EXPECT_NE(airXml.find("<AirLayer Ventilled=\"Yes\" ></AirLayer>"), std::string::npos) << airXml;
    EXPECT_NE(airXml.find("<ThermalResDiagramPoint x=\"0.5\" >0.11</ThermalResDiagramPoint>"),
              std::string::npos)
        << airXml;
}

TEST(MaterialExchange, TextVersionZeroHasNoFlags) {
    TextTokenReader reader("1 24.5 1 2 0 3 0 0 7", "v0.txt");
    Material m;
    m.ReadText(reader, 0);
    EXPECT_EQ(m.Kind, 1);
    EXPECT_EQ(m.Flags, 0);
    EXPECT_FLOAT_EQ(m.Thickness, 24.5f);
    EXPECT_FLOAT_EQ(m.SteamDiffResNum, 7);
}

TEST(MaterialExchange, XmlRoundTripKeepsFiveDigits) {
    for (Material m : {normalMaterial(), airMaterial()}) {
        SCOPED_TRACE(m.Name);
        std::string path;
        const Material back = throughXml(xmlOf(m), &path);
        EXPECT_EQ(back.Name, m.Name);
        EXPECT_EQ(path, "G\\H");
        expectSameMaterial(m, back, 5);
    }
}

TEST(MaterialExchange, XmlKindIndexAndAirLayerRules) {
    const Material m =
        throughXml("<Kalydor32Project><Kalydor32Material Type=\"\"><Thickness>2,5</Thickness>"
                   "<Density>9</Density></Kalydor32Material></Kalydor32Project>");
    EXPECT_EQ(m.Kind, 3);
    EXPECT_FLOAT_EQ(m.Thickness, 2.5f);
    Material copy = m;
    const std::string again = xmlOf(copy);
    EXPECT_NE(again.find("<Thickness>2.5</Thickness>"), std::string::npos);
    EXPECT_EQ(again.find("Density"), std::string::npos);

    const Material points =
        throughXml("<Kalydor32Project><Kalydor32Material Type=\"Normal\">"
                   "<SorptionIsotermaPoint RelHumidity=\"105\">4</SorptionIsotermaPoint>"
                   "<SorptionIsotermaPoint RelHumidity=\"5\">9</SorptionIsotermaPoint>"
                   "<SorptionIsotermaPoint RelHumidity=\"110\">9</SorptionIsotermaPoint>"
                   "<InitialHumidity>1.5E-7</InitialHumidity>"
                   "</Kalydor32Material></Kalydor32Project>");
    EXPECT_EQ(points.Kind, 0);
    EXPECT_FLOAT_EQ(points.Sorption[9], 4);
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_EQ(points.Sorption[i], 0);
    EXPECT_FLOAT_EQ(points.InitialHumidity, 1.5e-7f);

    std::string nine;
    for (int i = 1; i <= 9; ++i)
        nine +=
            "<ThermalResDiagramPoint x=\"" + std::to_string(i) + "\">0.1</ThermalResDiagramPoint>";
    const Material air = throughXml("<Kalydor32Project><Kalydor32Material Type=\"Air\">"
                                    "<AirLayer Ventilled=\"Yes\"/>" +
                                    nine + "</Kalydor32Material></Kalydor32Project>");
    EXPECT_EQ(air.Kind, 2);
    EXPECT_TRUE(air.Ventilled);
    EXPECT_FLOAT_EQ(air.Diagram[7].thickness, 8);

    EXPECT_EQ(materialKindOfName("Undefined"), 16);
    EXPECT_EQ(materialKindOfName("normal"), 16);
}

Layer layerOfKind(int kind) {
    Layer l(kind == 2 ? airMaterial() : normalMaterial());
    l.Kind = static_cast<std::uint8_t>(kind);
    if (kind == 1) {
        // A thick material has no moisture data.
        l.InitialHumidity = l.PermitHumidity = 0;
        l.Sorption = {};
    }
    l.Name = "strat \\ \"" + std::to_string(kind) + "\"";
    l.ThermalCondFactor = 0.125f;
    l.InitialHumidity2 = 2.75f;
    l.SteamRes = 12.5f;
    return l;
}

TEST(LayerExchange, TextLineOfEachKind) {
    for (const int kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        const Layer l = layerOfKind(kind);
        Languages none;
        TextDocument stream(none);
        stream.EscapeFlag = true;
        l.WriteLayerText(stream);
        EXPECT_EQ(stream.text().find('\n'), std::string::npos);
        TextTokenReader reader(stream.text() + " \"next\"", "layer.txt");
        Layer back;
        back.ReadLayerText(reader, 2);
        EXPECT_EQ(reader.NextString(), "next"); // exactly the layer's values were read
        EXPECT_EQ(back.Name, l.Name);
        expectSameMaterial(l, back, 6);
        EXPECT_EQ(back.ThermalCondFactor, kind <= 1 ? l.ThermalCondFactor : 0);
        EXPECT_EQ(back.InitialHumidity2, kind == 0 ? l.InitialHumidity2 : 0);
        EXPECT_EQ(back.SteamRes, kind == 2 ? l.SteamRes : 0);
    }
}

TEST(LayerExchange, OldTextVersionHasNoFlagsNorSecondHumidity) {
    // kind 0 without flags, then 8 + 12 material values and only the conductivity factor.
    std::string line = "\"old\" 0 ";
    for (int i = 1; i <= 20; ++i)
        line += std::to_string(i) + " ";
    line += "0.5 \"next\"";
    TextTokenReader reader(line, "old.txt");
    Layer back;
    back.ReadLayerText(reader, 0);
    EXPECT_EQ(back.Flags, 0);
    EXPECT_FLOAT_EQ(back.ThermalCondFactor, 0.5f);
    EXPECT_EQ(back.InitialHumidity2, 0);
    EXPECT_EQ(reader.NextString(), "next");
}

TEST(LayerExchange, XmlElementOfEachKind) {
    for (const int kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        const Layer l = layerOfKind(kind);
        XmlWriter writer({}, "Kalydor32Project");
        l.WriteLayerXml(writer, 4);
        writer.Finish();
        const std::string xml = writer.bytes();
        XmlReader parser;
        ASSERT_TRUE(parser.LoadFromBuffer(xml, "l.xml"));
        while (parser.Scan() &&
               !(parser.CurPartType() == XmlPart::StartTag && parser.CurName() == "PanelLayer")) {
        }
        Layer back;
        ASSERT_TRUE(back.ReadLayerXml(parser));
        EXPECT_EQ(back.Name, l.Name);
        expectSameMaterial(l, back, 5);
        EXPECT_EQ(back.ThermalCondFactor, kind <= 1 ? l.ThermalCondFactor : 0);
        EXPECT_EQ(back.InitialHumidity2, kind == 0 ? l.InitialHumidity2 : 0);
        EXPECT_EQ(back.SteamRes, kind == 2 ? l.SteamRes : 0);
    }
}

} // namespace
} // namespace kalydor
