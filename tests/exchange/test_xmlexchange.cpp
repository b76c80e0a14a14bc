#include "codecs/xmlreader.h"
#include "constructions/material.h"
#include "constructions/registration.h"
#include "exchange/textexchange.h"
#include "exchange/xmlexchange.h"
#include "platform/scriptedprompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kalydor {
namespace {

using platform::ScopedPrompter;
using platform::ScriptedPrompter;

class XmlExchange : public ::testing::Test {
protected:
    void SetUp() override {
        registerConstructionItems();
        store = std::make_unique<ItemStore>(dir.directory(), "m.db", TableMode::Create,
                                            TableKind::Catalogue);
    }

    ImportResult importText(const std::string& xml) {
        XmlReader parser;
        EXPECT_TRUE(parser.LoadFromBuffer(xml, "in.xml"));
        OverwriteAnswers answers;
        return ImportXml(*store, ItemKind::Material, parser, answers, {});
    }

    bool has(const std::string& path, const std::string& name) {
        const std::string group = store->GroupOfPath(RecordType::MaterialGroup, path, '\\');
        return store->FindRecord(RecordType::Material, group, name);
    }

    static std::string element(const std::string& name, const std::string& path = "") {
        return "<Kalydor32Material Type=\"Thick\"><ItemHeader><ItemName>" + name +
               "</ItemName><ItemPath>" + path +
               "</ItemPath><ID>x</ID></ItemHeader><Thickness>2</Thickness></Kalydor32Material>";
    }

    static std::string document(const std::string& body) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Kalydor32Project>" + body +
               "</Kalydor32Project>\n";
    }

    test::TempDir dir;
    std::unique_ptr<ItemStore> store;
    ScriptedPrompter prompter;
    ScopedPrompter scope{prompter};
};

TEST_F(XmlExchange, EmptyExportWritesTheFrame) {
    const std::string file = dir.file("none.xml");
    EXPECT_TRUE(ExportXml(*store, ItemKind::Material, {}, file).fileWritten);
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "<?xml version=\"1.0\" encoding=\"ISO-8859-2\" ?>\r\n<Kalydor32Project>\r\n"
                    "\r\n\r\n</Kalydor32Project>\r\n");
}

TEST_F(XmlExchange, SpecialCharactersInNamesRoundTrip) {
    const std::string name = "A & <B> ăîșț";
    Material m;
    m.Kind = 1;
    m.Name = name;
    m.Thickness = 3;
    const std::string group = store->GroupOfPath(RecordType::MaterialGroup, "G\\H", '\\');
    m.ID = store->AddRecord(RecordType::Material, group, name);
    m.SaveToRecord(*store);
    const std::string file = dir.file("out.xml");
    ASSERT_EQ(
        ExportItems(*store, ItemKind::Material, ItemsInTreeOrder(*store, ItemKind::Material), file)
            .written,
        1);
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("<ItemName>A &amp; &lt;B> "), std::string::npos) << text;
    EXPECT_NE(text.find("<ItemPath>G\\H</ItemPath>"), std::string::npos);

    ItemStore other(dir.directory(), "o.db", TableMode::Create, TableKind::Catalogue);
    OverwriteAnswers answers;
    const ImportResult result = ImportItems(other, ItemKind::Material, file, answers, {});
    ASSERT_EQ(result.added, 1) << result.message;
    const std::string otherGroup = other.GroupOfPath(RecordType::MaterialGroup, "G\\H", '\\');
    EXPECT_TRUE(other.FindRecord(RecordType::Material, otherGroup, name));

    // The second import asks about every item.
    prompter.scriptOverwrite(platform::OverwriteAnswer::No);
    EXPECT_EQ(ImportItems(other, ItemKind::Material, file, answers, {}).kept, 1);
    EXPECT_EQ(prompter.overwriteQuestions().size(), 1u);
}

TEST_F(XmlExchange, EmptyElementItemsAndOtherKindsAreIgnored) {
    const ImportResult result = importText(
        document("<Kalydor32Material Type=\"Normal\"/>" + element("kept") +
                 "<Kalydor32Panel "
                 "Type=\"x\"><ItemHeader><ItemName>w</ItemName></ItemHeader></Kalydor32Panel>"));
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.added, 1);
    EXPECT_TRUE(has("", "kept"));
    EXPECT_FALSE(has("", "w"));
}

TEST_F(XmlExchange, BrokenDocumentKeepsEarlierItemsAndSaysSo) {
    const std::string xml =
        "<?xml version=\"1.0\"?>\n<Kalydor32Project>" + element("first") + element("second") +
        "<Kalydor32Material Type=\"Thick\"><ItemHeader><ItemName>cut</ItemName></ItemHeader>";
    const ImportResult result = importText(xml);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.added, 2);
    EXPECT_TRUE(has("", "first"));
    EXPECT_FALSE(has("", "cut"));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_NE(prompter.messages()[0].find("2"), std::string::npos);
}

TEST_F(XmlExchange, UnreadableElementIsReportedAndTheScanGoesOn) {
    const ImportResult result = importText(document(
        "<Kalydor32Material Type=\"Thick\"><ItemHeader><ItemName>bad</ItemName></ItemHeader>"
        "<Density>abc</Density></Kalydor32Material>" +
        element("good") + element("  ") + element(std::string(40, 'x'))));
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(result.skipped, 3);
    EXPECT_TRUE(has("", "good"));
    EXPECT_FALSE(has("", "bad"));
    ASSERT_EQ(prompter.messages().size(), 3u);
    EXPECT_NE(prompter.messages()[0].find("in.xml: <Density> abc"), std::string::npos)
        << prompter.messages()[0];
}

TEST_F(XmlExchange, DragTextLines) {
    Material m;
    m.Kind = 1;
    m.Name = "W1";
    const std::string text = BuildDragText(m, "kdszerkezet", "Walls/", "Walls");
    EXPECT_TRUE(IsKalydorDragText(text));
    EXPECT_EQ(text.substr(0, text.find('\n', 18) + 1),
              "Source=Kalydor_00\nkdszerkezet=\"Walls/W1\"\n");
    EXPECT_NE(text.find("<ItemPath>Walls</ItemPath>"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_FALSE(IsKalydorDragText("Source=Other"));
}

} // namespace
} // namespace kalydor
