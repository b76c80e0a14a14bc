#include "constructions/constructioncontext.h"
#include "constructions/layer.h"
#include "constructions/material.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "platform/fixedcanvas.h"
#include "platform/scriptedprompter.h"
#include "platform/window.h"
#include "reports/clipboarddocument.h"
#include "reports/columnlayout.h"
#include "reports/rtfrenderer.h"
#include "store/itemstream.h"
#include "support/shippedlanguages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kalydor {
namespace {

// Builds record bytes field by field, as an older program version wrote them.
class RecordBuilder {
public:
    RecordBuilder& u16(std::uint16_t v) {
        writeUInt16(m_stream, v);
        return *this;
    }
    RecordBuilder& f(float v) {
        writeFloat(m_stream, v);
        return *this;
    }
    RecordBuilder& fs(std::initializer_list<float> values) {
        for (const float v : values)
            writeFloat(m_stream, v);
        return *this;
    }
    RecordBuilder& byte(std::uint8_t v) {
        writeByte(m_stream, v);
        return *this;
    }
    RecordBuilder& raw(const std::string& bytes) {
        m_stream.write(bytes);
        return *this;
    }
    MemoryStream stream() const { return MemoryStream(m_stream.bytes()); }

private:
    MemoryStream m_stream;
};

Material normalMaterial() {
    Material m;
    m.Name = "Cărămidă plină";
    m.Kind = 0;
    m.Flags = Material::kNoDensity;
    m.Untouched = 1;
    m.Thickness = 25;
    m.Density = 1800;
    m.ThermalCond = 0.8f;
    m.HeatCapacity = 0.88f;
    m.SteamDiffResNum = 7.5f;
    m.InitialHumidity = 2.5f;
    m.PermitHumidity = 1.5f;
    m.Sorption = {0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 1.0f, 1.3f, 1.8f, 3.1f};
    return m;
}

Material airMaterial() {
    Material m;
    m.Kind = 2;
    m.Thickness = 3;
    m.ThermalRes = 0.14f;
    m.Diagram[0] = {1, 0.10f};
    m.Diagram[1] = {5, 0.18f};
    m.Ventilled = true;
    return m;
}

std::string recordOf(Material& m) {
    MemoryStream stream;
    m.WriteRecord(stream, VersionWord::With);
    return stream.bytes();
}

TEST(Material, CurrentRecordRoundTripsBitExactlyForEveryKind) {
    Material thick = normalMaterial();
    thick.Kind = 1;
    thick.SteamDiffResNum = 0;
    thick.SteamDiffRes = 1e-7f; // a value near the float limits must survive
    Material undefined;
    undefined.Untouched = 1;
    for (Material original : {normalMaterial(), thick, airMaterial(), undefined}) {
        SCOPED_TRACE(materialKindName(original.Kind));
        const std::string bytes = recordOf(original);
        MemoryStream stream(bytes);
        ASSERT_EQ(readInt16(stream), Material::kRecordVersion);
        Material read;
        ASSERT_TRUE(read.ReadRecord(stream, Material::kRecordVersion));
        EXPECT_EQ(stream.remaining(), 0u);
        EXPECT_EQ(recordOf(read), bytes);
        EXPECT_EQ(read.Flags, original.Flags);
        EXPECT_EQ(read.Untouched, original.Untouched);
    }
    // A material of a kind without values keeps only its thickness behind its three words, so
    // a thickness imported for it is not lost; a record of the three words alone (written
    // before) reads with no thickness.
    for (const int kind : {3, 16}) {
        SCOPED_TRACE(kind);
        Material bare;
        bare.Kind = static_cast<std::uint8_t>(kind);
        bare.Thickness = 7.5f;
        const std::string bytes = recordOf(bare);
        EXPECT_EQ(bytes.size(), 2u + 6u + 4u);
        MemoryStream withThickness(bytes.substr(2));
        Material read;
        ASSERT_TRUE(read.ReadRecord(withThickness, Material::kRecordVersion));
        EXPECT_FLOAT_EQ(read.Thickness, 7.5f);
        MemoryStream older(bytes.substr(2, 6));
        Material old;
        ASSERT_TRUE(old.ReadRecord(older, Material::kRecordVersion));
        EXPECT_EQ(old.Kind, kind);
        EXPECT_FLOAT_EQ(old.Thickness, 0);
    }
    // Version 0 reads as the current layout.
    Material normal = normalMaterial();
    MemoryStream stream(recordOf(normal).substr(2));
    Material read;
    ASSERT_TRUE(read.ReadRecord(stream, 0));
    EXPECT_EQ(read.SteamDiffResNum, 7.5f);
}

TEST(Material, OlderRecordVersions) {
    const std::initializer_list<float> sorption = {0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    {
        // Version 50: no kind word, a normal material without μ.
        MemoryStream s =
            RecordBuilder().f(12).fs({1600, 0.7f, 0, 0.84f, 0.02f, 0, 3, 2}).fs(sorption).stream();
        Material m;
        ASSERT_TRUE(m.ReadRecord(s, 50));
        EXPECT_TRUE(m.isKind(MaterialKind::Normal));
        EXPECT_EQ(m.Thickness, 12);
        EXPECT_EQ(m.SteamDiffCond, 0.02f);
        EXPECT_EQ(m.SteamDiffResNum, 0);
        EXPECT_EQ(m.InitialHumidity, 3);
        EXPECT_EQ(m.Sorption[9], 2);
        EXPECT_EQ(m.Untouched, 0);
        EXPECT_EQ(s.remaining(), 0u);
    }
    {
        // Version 52, a thick material flagged by bit 7 of its kind word: the moisture fields
        // are read for it too, then μ.
        MemoryStream s = RecordBuilder()
                             .u16(0x81)
                             .f(0.2f)
                             .fs({950, 0.17f, 0, 1.4f, 0, 0, 0, 0})
                             .fs(sorption)
                             .f(50000)
                             .stream();
        Material m;
        ASSERT_TRUE(m.ReadRecord(s, 52));
        EXPECT_TRUE(m.isKind(MaterialKind::Thick));
        EXPECT_EQ(m.Untouched, 1);
        EXPECT_EQ(m.SteamDiffResNum, 50000);
        EXPECT_EQ(m.Flags, 0);
        EXPECT_EQ(s.remaining(), 0u);
    }
    {
        // Version 51 air layer: 3 filler bytes after the ventilated flag.
        MemoryStream s = RecordBuilder()
                             .u16(2)
                             .f(4)
                             .f(0.16f)
                             .fs({2, 0.13f, 4, 0.16f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
                             .byte(1)
                             .raw(std::string(3, '\xAA'))
                             .stream();
        Material m;
        ASSERT_TRUE(m.ReadRecord(s, 51));
        EXPECT_TRUE(m.isKind(MaterialKind::Air));
        EXPECT_EQ(m.Untouched, 0);
        EXPECT_TRUE(m.Ventilled);
        EXPECT_EQ(m.Diagram[1].resistance, 0.16f);
        EXPECT_EQ(s.remaining(), 0u);
    }
    {
        // Version 53: the current layout without the flags word.
        MemoryStream s = RecordBuilder().u16(1).u16(0).fs({1, 2, 3, 0, 4, 0, 0, 6}).stream();
        Material m;
        m.Flags = 3;
        ASSERT_TRUE(m.ReadRecord(s, 53));
        EXPECT_EQ(m.Flags, 0);
        EXPECT_EQ(m.SteamDiffResNum, 6);
        EXPECT_EQ(s.remaining(), 0u);
    }
}

TEST(Material, UnknownVersionIsReportedAndTruncatedRecordRaises) {
    platform::ScriptedPrompter prompter;
    const platform::ScopedPrompter scoped(prompter);
    for (const std::int16_t version : std::initializer_list<std::int16_t>{49, 55, -1}) {
        MemoryStream s(std::string(200, '\0'));
        Material m;
        EXPECT_FALSE(m.ReadRecord(s, version));
    }
    EXPECT_EQ(prompter.messages().size(), 3u);

    Material normal = normalMaterial();
    const std::string bytes = recordOf(normal);
    for (std::size_t cut = 2; cut < bytes.size(); cut += 7) {
        MemoryStream s(bytes.substr(2, cut - 2));
        Material m;
        EXPECT_THROW(m.ReadRecord(s, 54), Error) << cut;
    }
}

TEST(Material, ValidationCodes) {
    struct Case {
        const char* what;
        void (*change)(Material&);
        int code;
    };
    const Case cases[] = {
        {"valid", [](Material&) {}, 0},
        {"λ and R", [](Material& m) { m.ThermalRes = 0.5f; }, 1},
        {"μ and δ", [](Material& m) { m.SteamDiffCond = 0.02f; }, 2},
        {"isotherm falls at 20 %",
         [](Material& m) { m.Sorption = {1, 0.8f, 0, 0, 0, 0, 0, 0, 0, 3}; }, 5},
        {"isotherm falls at 100 %",
         [](Material& m) { m.Sorption = {1, 0, 0, 0, 0, 0, 0, 0, 2, 1.5f}; }, 13},
        {"isotherm stops at 90 %",
         [](Material& m) { m.Sorption = {1, 2, 0, 0, 0, 0, 0, 0, 2.5f, 0}; }, 13},
        {"no isotherm", [](Material& m) { m.Sorption = {}; }, 0},
        {"thick ignores the isotherm",
         [](Material& m) {
             m.Kind = 1;
             m.Sorption = {1, 0.8f};
         },
         0},
    };
    for (const Case& c : cases) {
        Material m = normalMaterial();
        c.change(m);
        EXPECT_EQ(m.Validate(), c.code) << c.what;
    }
}

TEST(Material, AirLayerDiagramIsSortedThenChecked) {
    Material m = airMaterial();
    m.Diagram = {};
    m.Diagram[0] = {0, 0};
    m.Diagram[1] = {5, 0.18f};
    m.Diagram[2] = {-2, 0.5f}; // a negative thickness is an empty point
    m.Diagram[3] = {1, 0.10f};
    m.Diagram[4] = {2, 0.13f};
    EXPECT_EQ(m.Validate(), 0);
    EXPECT_EQ(m.Diagram[0].thickness, 1);
    EXPECT_EQ(m.Diagram[1].thickness, 2);
    EXPECT_EQ(m.Diagram[2].thickness, 5);
    EXPECT_FALSE(m.Diagram[3].thickness > 0);
    EXPECT_FALSE(m.Diagram[4].thickness > 0);

    m.Diagram[3] = {5, 0.2f}; // the same thickness again: point 4 fails
    EXPECT_EQ(m.Validate(), 4);
    m.Diagram[3] = {8, 0.17f}; // less resistance at more thickness
    EXPECT_EQ(m.Validate(), 4);
}

TEST(Material, AirLayerResistanceFromTheDiagram) {
    for (const auto& [thickness, expected] :
         {std::pair{3.0f, 0.14}, {0.5f, 0.05}, {9.0f, 0.18}, {1.0f, 0.10}, {0.0f, 0.0}}) {
        Material m = airMaterial();
        m.Thickness = thickness;
        m.ThermalRes = 99;
        m.ResistanceFromDiagram();
        EXPECT_NEAR(m.ThermalRes, expected, 1e-6) << thickness;
    }
    Material empty = airMaterial();
    empty.Diagram = {};
    EXPECT_FALSE(empty.hasDiagram());
    empty.ResistanceFromDiagram();
    EXPECT_EQ(empty.ThermalRes, 0);
}

TEST(Material, EquilibriumMoistureFromTheIsotherm) {
    Material m = normalMaterial();
    m.Sorption = {0, 2, 0, 0, 0, 0, 0, 0, 0, 6};
    EXPECT_NEAR(m.EquilibriumMoisture(5), 0.5, 1e-9); // between (0, 0) and (20, 2)
    EXPECT_NEAR(m.EquilibriumMoisture(20), 2, 1e-9);  // on a point
    EXPECT_NEAR(m.EquilibriumMoisture(60), 4, 1e-6);  // between (20, 2) and (100, 6)
    EXPECT_NEAR(m.EquilibriumMoisture(100), 6, 1e-6);
    m.Sorption[9] = 0; // without the 100 % point there is no isotherm
    EXPECT_EQ(m.EquilibriumMoisture(50), 0);
    Material thick = normalMaterial();
    thick.Kind = 1;
    EXPECT_EQ(thick.EquilibriumMoisture(50), 0);
}

TEST(Material, ListRowThroughTheMaterialListColumns) {
    ColumnLayout layout;
    layout.Load("MaterialItemsTitle");
    Material m = normalMaterial();
    m.Flags = 0;
    ListRow row;
    m.FillListRow(row, layout);
    EXPECT_EQ(row.caption, "Cărămidă plină");
    const std::vector<int> ids = layout.visibleColumnIds();
    ASSERT_EQ(row.subItems.size() + 1, ids.size());
    const auto textOf = [&](const ListRow& r, int id) {
        for (std::size_t i = 1; i < ids.size(); ++i) {
            if (ids[i] == id)
                return r.subItems[i - 1];
        }
        return std::string("(hidden)");
    };
    EXPECT_EQ(textOf(row, 1), layout.formatReal(1, 25));
    EXPECT_EQ(textOf(row, 2), layout.formatReal(2, 0.8f));
    EXPECT_EQ(textOf(row, 7), layout.formatReal(7, 1800));
    EXPECT_NE(textOf(row, 7), "-");

    m.Flags = Material::kNoDensity;
    ListRow noDensity;
    m.FillListRow(noDensity, layout);
    EXPECT_EQ(textOf(noDensity, 7), "-");
}

// The printed sheet: the properties as the copy has them, then the isotherm or the air layer's
// diagram as lines of values whose ends stand under each other; a "Thick" material and an
// air layer without a diagram print only their properties.
TEST(Material, PrintedSheetListsTheIsothermOrTheDiagram) {
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    Material thick = normalMaterial();
    thick.Kind = 1;
    Material bareAir = airMaterial();
    bareAir.Diagram = {};
    struct Case {
        const char* what;
        Material material;
        const char* title; // none: no values listed
        std::vector<std::string> first;
        std::vector<std::string> second;
    };
    const std::vector<Case> cases = {
        {"normal", normalMaterial(), "Sorption isotherm", {"10", "100"}, {"0,3", "3,1"}},
        {"air", airMaterial(), "Thermal resistance by thickness", {"1", "5"}, {"0,1", "0,18"}},
        {"thick", thick, nullptr, {}, {}},
        {"air without a diagram", bareAir, nullptr, {}, {}},
    };
    for (const Case& c : cases) {
        const std::string rtf = c.material.printedSheet(languages, ',');
        platform::FixedCanvas canvas(72);
        RtfRenderer renderer(canvas, {"Serif", 10});
        renderer.draw(rtf, {0, 0, 500, 2000});
        std::string drawn;
        for (const platform::FixedCanvas::Text& text : canvas.texts())
            drawn += text.text; // words carry their leading blanks
        EXPECT_NE(drawn.find("Thickness"), std::string::npos) << c.what;
        EXPECT_EQ(c.material.hasPrintedChart(), c.title != nullptr) << c.what;
        if (c.title == nullptr) {
            EXPECT_EQ(rtf.find("\\tx3500"), std::string::npos) << c.what;
            continue;
        }
        EXPECT_NE(drawn.find(c.title), std::string::npos) << c.what;
        // The n-th value of each line ends at the same stop.
        const auto rightEdges = [&](const std::vector<std::string>& values) {
            std::vector<int> edges;
            for (const std::string& value : values) {
                for (const platform::FixedCanvas::Text& text : canvas.texts()) {
                    if (text.text == value) {
                        canvas.setFont(text.font);
                        edges.push_back(text.x + canvas.measure(text.text).width);
                        break;
                    }
                }
            }
            return edges;
        };
        const std::vector<int> first = rightEdges(c.first);
        const std::vector<int> second = rightEdges(c.second);
        ASSERT_EQ(first.size(), 2u) << c.what;
        ASSERT_EQ(second.size(), 2u) << c.what;
        EXPECT_EQ(first[0], second[0]) << c.what;
        EXPECT_EQ(first[1], second[1]) << c.what;
    }
}

// A window stands in for the list window that copies (the report parts are written only
// with an owner).

TEST(Material, ClipboardCopyWritesTextRichTextCellsAndThePrivateCopy) {
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    Material m = normalMaterial();
    m.Flags = 0;
    m.Sorption = {0, 1.2f, 0, 0, 0, 0, 0, 0, 0, 3.1f};
    const ConstructionContext context;
    ClipboardDocument stream(languages);
    ASSERT_TRUE(m.CopyTo(stream, context, ClipboardCopy::WithReport));

    const std::string& text = stream.text().text();
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "Cărămidă plină\r\n");
    EXPECT_NE(text.find("Thickness: 25.00 cm\r\n"), std::string::npos);
    EXPECT_NE(text.find("Density: 1800 kg/m^3\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Thermal resistance:"), std::string::npos); // R = 0 is not written
    EXPECT_NE(text.find("\t20 %\t\t\t1.20 m%\r\n"), std::string::npos);
    EXPECT_NE(text.find("\t100 %\t\t\t3.10 m%\r\n"), std::string::npos);

    const std::string& rtf = stream.rtf().text();
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u); // the material prologue comes first
    EXPECT_NE(rtf.find("C\\u259?r\\u259?mid\\u259? plin\\u259?"), std::string::npos);
    EXPECT_NE(rtf.find("\\tab 25.00\\tab cm"), std::string::npos);
    EXPECT_NE(rtf.find("\\cellx3816\\cellx4392\\cellx4968"), std::string::npos);
    std::size_t rows = 0;
    for (std::size_t at = rtf.find("\\trowd"); at != std::string::npos;
         at = rtf.find("\\trowd", at + 1))
        ++rows;
    EXPECT_EQ(rows, 2u); // relative humidities, then moisture contents

    const auto& cells = stream.sheet().cells();
    ASSERT_GE(cells.size(), 4u); // titles, second title line, the material, two points
    EXPECT_EQ(std::get<std::string>(cells[0][0]), languages.GetText("IDS_MATERBIFFTITLE+0"));
    EXPECT_EQ(std::get<std::string>(cells[0][11]), languages.GetText("IDS_MATERBIFFTITLE+11"));
    EXPECT_EQ(std::get<std::string>(cells[2][0]), "Cărămidă plină");
    EXPECT_DOUBLE_EQ(std::get<double>(cells[2][4]), 0.8f); // λ
    EXPECT_DOUBLE_EQ(std::get<double>(cells[2][8]), 7.5f); // μ
    EXPECT_EQ(std::get<double>(cells[3][11]), 20);
    EXPECT_DOUBLE_EQ(std::get<double>(cells[3][12]), 1.2f);

    // The private copy is the name and the record without version.
    MemoryStream copy(stream.privateStream().bytes());
    Material pasted;
    ASSERT_TRUE(pasted.PasteFrom(copy));
    EXPECT_EQ(pasted.Name, m.Name);
    EXPECT_EQ(pasted.Sorption[9], 3.1f);

    // A copy of the record only writes just the private copy; in a multi-item export the
    // isotherm stays out of the sheet.
    ClipboardDocument bare(languages);
    ASSERT_TRUE(m.CopyTo(bare, context, ClipboardCopy::RecordOnly));
    EXPECT_TRUE(bare.text().empty());
    ClipboardDocument multi(languages);
    multi.MultiItem = true;
    m.CopyTo(multi, context, ClipboardCopy::WithReport);
    m.CopyTo(multi, context, ClipboardCopy::WithReport);
    EXPECT_EQ(multi.sheet().cells().size(), 3u); // one title row, two materials
    languages.SelectInterfaceLanguage("Român");
}

TEST(Layer, DerivedValues) {
    Material brick = normalMaterial();
    brick.Thickness = 10;
    brick.ThermalCond = 0.5f;
    brick.SteamDiffResNum = 10;
    Layer layer(brick);
    layer.ThermalCondFactor = 0.25f;
    layer.computeDerivedValues(false);
    EXPECT_NEAR(layer.results.thermalResistance, 0.16, 1e-7);
    EXPECT_NEAR(layer.results.vapourResistance, 5.3998596036503052815, 1e-6);
    EXPECT_NEAR(layer.results.mass, 180, 1e-4);
    EXPECT_EQ(layer.results.flags[1], 0);

    layer.clearResults();
    layer.computeDerivedValues(true); // behind a ventilated air layer
    EXPECT_EQ(layer.results.vapourResistance, 0);

    // δ wins over μ; both λ and R given: λ is used.
    layer.SteamDiffCond = 0.05f;
    layer.ThermalRes = 3;
    EXPECT_NEAR(layer.vapourResistance(), 2.0, 1e-6);
    EXPECT_NEAR(layer.thermalResistance(), 0.16, 1e-7);

    // A normal layer without density has no mass and says so.
    Layer light(brick);
    light.Density = 0;
    light.computeDerivedValues(false);
    EXPECT_EQ(light.results.flags[1], 0x40);

    Layer air(airMaterial());
    air.SteamRes = 12;
    air.computeDerivedValues(false);
    EXPECT_NEAR(air.results.thermalResistance, 0.14, 1e-7);
    EXPECT_EQ(air.results.ventilationOffset, 12);
    EXPECT_EQ(air.results.vapourResistance, 0);
}

TEST(Layer, RecordInsideAConstruction) {
    Layer layer(normalMaterial());
    layer.ThermalCondFactor = 0.1f;
    layer.InitialHumidity2 = 4;
    MemoryStream stream;
    layer.writeLayer(stream);
    stream.seek(0);
    Layer read;
    read.readLayer(stream, 54);
    EXPECT_EQ(stream.remaining(), 0u);
    EXPECT_EQ(read.Name, layer.Name);
    EXPECT_EQ(read.InitialHumidity2, 4);
    MemoryStream again;
    read.writeLayer(again);
    EXPECT_EQ(again.bytes(), stream.bytes());

    // Layer version 53: no filling moisture.
    {
        RecordBuilder b;
        MemoryStream name;
        WriteString(name, "Tencuială");
        b.raw(name.bytes()).u16(1).u16(0).fs({1.5f, 1700, 0.87f, 0, 0.84f, 0, 0, 15});
        b.f(0.05f).f(0);
        MemoryStream s = b.stream();
        Layer l;
        l.InitialHumidity2 = 9;
        l.readLayer(s, 53);
        EXPECT_EQ(l.Name, "Tencuială");
        EXPECT_EQ(l.ThermalCondFactor, 0.05f);
        EXPECT_EQ(l.InitialHumidity2, 0);
        EXPECT_EQ(s.remaining(), 0u);
    }
    // Layer version 52: the name in a fixed 32-byte field (Windows-1250 bytes), then the
    // ventilated byte overriding the material's flag.
    {
        std::string field = "Strat de aer \xBA"; // "ş" in Windows-1250
        field.resize(32, '\0');
        field[30] = 'x'; // bytes after the terminating NUL are not part of the name
        MemoryStream s = RecordBuilder()
                             .raw(field)
                             .u16(2)
                             .f(4)
                             .f(0.16f)
                             .fs({2, 0.13f, 4, 0.16f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
                             .byte(0)
                             .raw(std::string(7, '\0'))
                             .f(0)    // ThermalCondFactor
                             .byte(1) // Ventilled
                             .f(25)   // SteamRes
                             .stream();
        Layer l;
        l.readLayer(s, 52);
        EXPECT_EQ(l.Name, "Strat de aer ş");
        EXPECT_TRUE(l.Ventilled);
        EXPECT_EQ(l.SteamRes, 25);
        EXPECT_EQ(s.remaining(), 0u);
    }
}

} // namespace
} // namespace kalydor
