#include "codecs/compressing.h"
#include "codecs/xmlreader.h"
#include "language/languageloader.h"
#include "language/languages.h"
#include "language/translatablewindow.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace kalydor {
namespace {

Language languageOf(const std::string& document) {
    XmlReader parser;
    EXPECT_TRUE(parser.LoadFromBuffer(document, "test.xml"));
    return readLanguage(parser);
}

TEST(LanguageFile, OnlyStartTagsAreTaken) {
    const Language language = languageOf(R"(<?xml version="1.0" encoding="UTF-8"?>
<kalydorlanguage>
  <language id="Român" UserInterface="yes"></language>
  <strings>
    <item id="IDS_EMPTYFORM" value="not loaded"/>
    <item id="IDS_OPEN" value="start tag without end tag">
    <item id="IDS_CLOSED" value="start and end tag"></item>
    <item id="IDS_TWICE" value="first"></item>
    <item id="IDS_TWICE" value="second"></item>
    <item id="IDS_SPACES" value="  kept   as   written  "></item>
    <item id="IDS_ENTITY" value="&lt;a &amp; b&gt; &quot;q&quot;"></item>
  </strings>
</kalydorlanguage>)");
    EXPECT_EQ(language.id, "Român");
    EXPECT_TRUE(language.userInterface);
    const std::map<std::string, std::string, std::less<>> expected = {
        {"IDS_OPEN", "start tag without end tag"},
        {"IDS_CLOSED", "start and end tag"},
        {"IDS_TWICE", "second"},
        {"IDS_SPACES", "  kept   as   written  "},
        {"IDS_ENTITY", "<a & b> \"q\""},
    };
    EXPECT_EQ(language.strings, expected);
}

TEST(LanguageFile, UserInterfaceFlagNeedsExactlyYes) {
    for (const auto& [attribute, flag] :
         std::vector<std::pair<std::string, bool>>{{"yes", true}, {"Yes", false}, {"", false}}) {
        const Language language =
            languageOf("<l><language id=\"x\" UserInterface=\"" + attribute + "\"></language></l>");
        EXPECT_EQ(language.userInterface, flag) << attribute;
    }
    const Language empty = languageOf("<l><language id=\"x\"/></l>");
    EXPECT_EQ(empty.id, "");
    EXPECT_FALSE(empty.userInterface);
}

TEST(LanguageFile, FormsAndTitles) {
    const Language language = languageOf(R"(<l>
  <form name="TMaterialModifyForm">
    <property id="Caption" value="Material"></property>
    <property id="" value="skipped"></property>
    <formitem name="KindBox" type="TComboBox">
      <property id="Items.Strings" value="Solid"></property>
      <property id="Items.Strings" value="Moist"></property>
      <property id="" value="skipped"></property>
    </formitem>
  </form>
  <title name="MaterialItemsTitle">
    stray text is ignored
    <columnitem id="5" row="2">Density</columnitem>
    <columnitem id="6" row="1">   </columnitem>
    <columnitem id="7" row="1">Heat
      capacity</columnitem>
    <columnitem id="1" row="258">Wrapped row</columnitem>
  </title>
</l>)");
    ASSERT_EQ(language.forms.size(), 1u);
    const LanguageForm& form = language.forms[0];
    EXPECT_EQ(form.propertyIds, std::vector<std::string>{"Caption"});
    ASSERT_EQ(form.items.size(), 1u);
    EXPECT_EQ(form.items[0].type, "TComboBox");
    EXPECT_EQ(form.items[0].values, (std::vector<std::string>{"Solid", "Moist"}));

    ASSERT_EQ(language.titles.size(), 1u);
    const LanguageTitle& title = language.titles[0];
    EXPECT_EQ(title.codes, (std::vector<std::int16_t>{5 + 256, 7, 1 + 256}));
    EXPECT_EQ(title.texts, (std::vector<std::string>{"Density", "Heat capacity", "Wrapped row"}));
}

// A language file cut off in the middle still gives every text before the break.
TEST(LanguageFile, ABrokenDocumentIsReadAsFarAsItGoes) {
    const Language language =
        languageOf("<l><language id=\"English\" UserInterface=\"yes\"></language><strings>"
                   "<item id=\"IDS_A\" value=\"a\"></item><item id=\"IDS_B\" "
                   "value=\"b\"></item><item id=\"IDS_C");
    EXPECT_EQ(language.id, "English");
    EXPECT_EQ(language.strings.size(), 2u);
    EXPECT_EQ(language.strings.at("IDS_B"), "b");
}

Language languageWith(std::string id, bool userInterface,
                      std::map<std::string, std::string, std::less<>> strings) {
    Language language;
    language.id = std::move(id);
    language.userInterface = userInterface;
    language.strings = std::move(strings);
    return language;
}

TEST(Languages, SelectionAndLookup) {
    Languages languages;
    languages.addLanguage(languageWith("Print only", false, {{"IDS_A", "print"}}));
    languages.addLanguage(languageWith("English", true, {{"IDS_A", "first English"}}));
    languages.addLanguage(languageWith("English", true, {{"IDS_A", "second English"}}));
    languages.addLanguage(languageWith("Român", true, {{"IDS_A", "român"}}));

    EXPECT_EQ(languages.GetText("IDS_A"), ""); // nothing selected yet
    languages.SelectInterfaceLanguage("Print only");
    EXPECT_EQ(languages.InterfaceLanguageId(), "");
    languages.SelectPrintingLanguage("Print only");
    EXPECT_EQ(languages.PrintingLanguageId(), "Print only");

    languages.SelectInterfaceLanguage("English");
    EXPECT_EQ(languages.GetText("IDS_A"), "first English");
    EXPECT_EQ(languages.GetText("IDS_MISSING"), "");
    languages.SelectPrintingLanguage("Nonexistent");
    EXPECT_EQ(languages.PrintingLanguageId(), "English");
    languages.SelectPrintingLanguage("Print only");
    languages.UsePrintingLanguage = true;
    EXPECT_EQ(languages.GetText("IDS_A"), "print");
    languages.UsePrintingLanguage = false;

    std::vector<std::string> ids = {"stale"};
    languages.ListLanguages(ids, false);
    EXPECT_EQ(ids, (std::vector<std::string>{"Print only", "English", "English", "Român"}));
    languages.ListLanguages(ids, true);
    EXPECT_EQ(ids, (std::vector<std::string>{"English", "English", "Român"}));
}

TEST(Languages, PlaceholderExpansion) {
    Languages languages;
    EXPECT_EQ(languages.ExpandPlaceholders("#ID_A# stays"), "#ID_A# stays"); // no language
    languages.addLanguage(languageWith("English", true, {{"ID_A", "Alpha"}, {"ID_B", "Beta"}}));
    languages.SelectInterfaceLanguage("English");
    const std::pair<const char*, const char*> cases[] = {
        {"#ID_A#: %.2f cm", "Alpha: %.2f cm"},
        {"#ID_A##ID_B#", "AlphaBeta"},
        {"a \\# b", "a # b"},        // a backslash before "#" is a literal "#"
        {"100 # left", "100  left"}, // a lone "#" disappears
        {"x #ID_UNKNOWN# y", "x  y"},
        {"#ID_A#\\#", "Alpha#"},
        {"no placeholder", "no placeholder"},
        {"", ""},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(languages.ExpandPlaceholders(input), expected) << input;
    EXPECT_EQ(languages.StringTableText(480), "Rich Text Format");
    EXPECT_EQ(languages.StringTableText(999999), "");
}

// A window as window translation sees it, recording what was set.
class RecordingWindow final : public TranslatableWindow {
public:
    struct Control final : TranslatableControl {
        std::map<std::string, std::string> set;
        void setCaption(const std::string& t) override { set["Caption"] = t; }
        void setHint(const std::string& t) override { set["Hint"] = t; }
        void setText(const std::string& t) override { set["Text"] = t; }
        void setFilter(const std::string& t) override { set["Filter"] = t; }
        void setTitle(const std::string& t) override { set["Title"] = t; }
        void setListItem(int i, const std::string& t) override {
            set["Item" + std::to_string(i)] = t;
        }
        void setColumnCaption(int i, const std::string& t) override {
            set["Column" + std::to_string(i)] = t;
        }
        void appendTitleLine(const std::string& t) override { set["TitleLines"] += t + ";"; }
        void setAxisTitle(Axis a, const std::string& t) override {
            set["Axis" + std::to_string(static_cast<int>(a))] = t;
        }
    };

    explicit RecordingWindow(std::string name)
        : m_name(std::move(name)) {}
    std::string windowName() const override { return m_name; }
    void setCaption(const std::string& t) override { caption = t; }
    void setHint(const std::string& t) override { hint = t; }
    void setHelpFile(const std::string& t) override { helpFile = t; }
    TranslatableControl* control(const std::string& name) override {
        return name == "Missing" ? nullptr : &controls[name];
    }

    std::string caption, hint, helpFile;
    std::map<std::string, Control> controls;

private:
    std::string m_name;
};

TEST(Languages, WindowTranslationFollowsTheTypeTable) {
    Languages languages;
    languages.addLanguage(languageOf(R"(<l><language id="English" UserInterface="yes"></language>
<form name="TPanelModifyForm">
  <property id="Caption" value="Construction"></property>
  <property id="Hint" value="Edit"></property>
  <property id="Color" value="ignored"></property>
  <formitem name="TypeBox" type="TComboBox">
    <property id="Items.Strings" value="Wall"></property>
    <property id="Hint" value="Type"></property>
    <property id="Items.Strings" value="Floor"></property>
    <property id="Items.Strings" value="Roof"></property>
    <property id="Caption" value="not for a combo box"></property>
  </formitem>
  <formitem name="Layers" type="TListView">
    <property id="Columns.item.Caption" value="Name"></property>
    <property id="Columns.item.Caption" value="d [cm]"></property>
  </formitem>
  <formitem name="Diagram" type="TChart">
    <property id="Title.Text.Strings" value="Temperature"></property>
    <property id="Title.Text.Strings" value="Vapour pressure"></property>
    <property id="LeftAxis.Title.Caption" value="°C"></property>
  </formitem>
  <formitem name="OkButton" type="TUnknownControl">
    <property id="Caption" value="ignored"></property>
  </formitem>
  <formitem name="Missing" type="TButton">
    <property id="Caption" value="no such control"></property>
  </formitem>
</form></l>)"));
    languages.SelectInterfaceLanguage("English");

    RecordingWindow window("TPanelModifyForm_12");
    languages.TranslateForm(window);
    EXPECT_EQ(window.caption, "Construction");
    EXPECT_EQ(window.hint, "Edit");
    using Set = std::map<std::string, std::string>;
    EXPECT_EQ(window.controls["TypeBox"].set,
              (Set{{"Item0", "Wall"}, {"Item1", "Floor"}, {"Item2", "Roof"}, {"Hint", "Type"}}));
    EXPECT_EQ(window.controls["Layers"].set, (Set{{"Column0", "Name"}, {"Column1", "d [cm]"}}));
    EXPECT_EQ(window.controls["Diagram"].set,
              (Set{{"TitleLines", "Temperature;Vapour pressure;"}, {"Axis1", "°C"}}));
    EXPECT_TRUE(window.controls["OkButton"].set.empty());

    // A number without "_" is another window, not a further instance.
    RecordingWindow other("TPanelModifyForm2");
    languages.TranslateForm(other);
    EXPECT_EQ(other.caption, "");
    RecordingWindow bare("TPanelModifyForm_");
    languages.TranslateForm(bare);
    EXPECT_EQ(bare.caption, "");
}

TEST(Languages, PrintingTranslationUsesThePrintingLanguage) {
    Languages languages;
    const char* form = R"(<l><language id="%s" UserInterface="%s"></language>
<form name="Report"><property id="Caption" value="%s"></property></form></l>)";
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, form, "English", "yes", "Report");
    languages.addLanguage(languageOf(buffer));
    std::snprintf(buffer, sizeof buffer, form, "Deutsch", "no", "Bericht");
    languages.addLanguage(languageOf(buffer));
    languages.SelectInterfaceLanguage("English");

    RecordingWindow window("Report");
    languages.TranslateFormForPrinting(window);
    EXPECT_EQ(window.caption, "Report"); // no printing language: the interface language
    languages.SelectPrintingLanguage("Deutsch");
    languages.TranslateFormForPrinting(window);
    EXPECT_EQ(window.caption, "Bericht");
    languages.TranslateForm(window);
    EXPECT_EQ(window.caption, "Report");
}

TEST(Languages, LoadingAFolder) {
    test::TempDir dir;
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir.file(name), std::ios::binary) << bytes;
    };
    const auto document = [](const std::string& id, const std::string& text) {
        return "<l><language id=\"" + id +
               "\" UserInterface=\"yes\"></language><strings><item "
               "id=\"IDS_A\" value=\"" +
               text + "\"></item></strings></l>";
    };
    write("b.XML", document("Dup", "from b"));
    write("a.xml", document("Dup", "from a"));
    write("c.xmz", Compressing::Encode(document("Packed", "expanded")));
    write("d.xmq", "not a compressed stream");
    write("e.txt", document("Ignored", "wrong extension"));
    write("f.xml", "");

    Languages languages;
    languages.LoadLanguages(dir.file("*.xm?"));
    std::vector<std::string> ids;
    languages.ListLanguages(ids, false);
    // Sorted by file name; the broken compressed file is skipped; the empty one is a
    // language without id.
    EXPECT_EQ(ids, (std::vector<std::string>{"Dup", "Dup", "Packed", ""}));
    languages.SelectInterfaceLanguage("Dup");
    EXPECT_EQ(languages.GetText("IDS_A"), "from a");
    languages.SelectInterfaceLanguage("Packed");
    EXPECT_EQ(languages.GetText("IDS_A"), "expanded");

    Languages none;
    none.LoadLanguages(dir.file("nothing/*.xm?"));
    EXPECT_TRUE(none.languages().empty());
}

TEST(FilePattern, WildcardsIgnoreCase) {
    const struct {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"English.xml", "*.xm?", true}, {"Romana.XMZ", "*.xm?", true}, {"a.xm", "*.xm?", false},
        {"a.xmlx", "*.xm?", false},     {"x.xml", "*", true},          {"", "*", true},
        {"abc", "a*c", true},           {"abcbc", "a*bc", true},       {"ab", "a?c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

} // namespace
} // namespace kalydor
