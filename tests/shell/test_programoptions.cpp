#include "shell/programoptions.h"
#include "shell/programoptionseditor.h"

#include "base/error.h"
#include "language/languages.h"
#include "platform/memorysettingsstore.h"
#include "platform/processlauncher.h"
#include "platform/scriptedprompter.h"

#include "support/shippedlanguages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kalydor {
namespace {

using platform::MemorySettingsStore;
using platform::ScopedPrompter;
using platform::ScriptedPrompter;

using test::shippedLanguages;

TEST(ProgramOptions, EmptyStoreGivesTheDefaultsAndTheRomanianLanguage) {
    MemorySettingsStore store;
    Languages& languages = shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    const ProgramOptions options(store, languages);

    EXPECT_TRUE(options.Planer.empty());
    EXPECT_TRUE(options.InitDate);
    EXPECT_TRUE(options.ViewProjektData);
    EXPECT_EQ(options.LeftMargin, 20);
    EXPECT_EQ(options.TopMargin, 20);
    EXPECT_EQ(options.RightMargin, 15);
    EXPECT_EQ(options.BottomMargin, 20);
    EXPECT_FALSE(options.ForceNewPage);
    EXPECT_FALSE(options.ColorPrinting);
    EXPECT_TRUE(options.ProgramSign);
    EXPECT_EQ(options.FirmaHeaderPageMode, 0);
    EXPECT_EQ(options.FirmaHeaderFontSize, 12);
    EXPECT_EQ(options.FirmaHeaderLogoMode, 0);
    EXPECT_EQ(options.FirmaHeaderLogoResolution, 300);
    EXPECT_TRUE(options.ChangeAlphas);
    EXPECT_TRUE(options.AskBeforeChange);
    EXPECT_FALSE(options.XIsDistance);
    EXPECT_TRUE(options.SimpleHumidityCalculation);
    EXPECT_TRUE(options.WarningTempDiff);
    EXPECT_FALSE(options.OnlyCurrentRadiators);
    EXPECT_TRUE(options.GetConnectionLength);
    EXPECT_FALSE(options.ConvertPointNames);
    EXPECT_FALSE(options.DoubleWidthTree);
    EXPECT_EQ(languages.InterfaceLanguageId(), "Român");
    EXPECT_EQ(languages.PrintingLanguageId(), "Român");
    EXPECT_EQ(options.EstimateProgram, "");
    // The mark of the exported file reads as a word of the interface language.
    EXPECT_EQ(options.EstimateProgramParameters, "$FIȘIER");
    EXPECT_TRUE(options.EstimateProgramStartQuestion);
    // Reading creates nothing in the store.
    EXPECT_FALSE(store.keyExists(kProgramOptionsKey));
}

TEST(ProgramOptions, SavedValuesReadBackAndLanguagesFollowTheStore) {
    MemorySettingsStore store;
    Languages& languages = shippedLanguages();
    {
        ProgramOptions options(store, languages);
        options.Planer = {"Ing. Ana Pop", "", "Cluj-Napoca"};
        options.FirmaHeaderText = {"Termo SRL"};
        options.RightMargin = 25;
        options.FirmaHeaderPageMode = 2;
        options.FirmaHeaderLogoName = "/home/ana/logo.png";
        options.XIsDistance = true;
        options.GetConnectionLength = false;
        options.EstimateProgram = "/opt/deviz/deviz";
        options.EstimateProgramParameters = "-i $FÁJLNÉV";
        languages.SelectInterfaceLanguage("English");
        languages.SelectPrintingLanguage("Român");
        options.SaveProgramOptions();
    }
    EXPECT_EQ(store.readText(kProgramOptionsKey, "Planer"), "Ing. Ana Pop\r\n\r\nCluj-Napoca\r\n");

    languages.SelectInterfaceLanguage("Român");
    const ProgramOptions read(store, languages);
    EXPECT_EQ(read.Planer, (std::vector<std::string>{"Ing. Ana Pop", "", "Cluj-Napoca"}));
    EXPECT_EQ(read.FirmaHeaderText, std::vector<std::string>{"Termo SRL"});
    EXPECT_EQ(read.RightMargin, 25);
    EXPECT_EQ(read.FirmaHeaderPageMode, 2);
    EXPECT_EQ(read.FirmaHeaderLogoName, "/home/ana/logo.png");
    EXPECT_TRUE(read.XIsDistance);
    EXPECT_FALSE(read.GetConnectionLength);
    EXPECT_EQ(read.EstimateProgram, "/opt/deviz/deviz");
    EXPECT_EQ(read.EstimateProgramParameters, "-i $FÁJLNÉV");
    EXPECT_EQ(languages.InterfaceLanguageId(), "English");
    EXPECT_EQ(languages.PrintingLanguageId(), "Român");

    // An unknown interface language leaves none; printing then follows the stored value or,
    // without one, the (empty) interface language.
    store.writeText(kProgramOptionsKey, "LanguageID", "Klingon");
    store.deleteValue(kProgramOptionsKey, "PrintingLanguageID");
    const ProgramOptions unknown(store, languages);
    EXPECT_EQ(languages.InterfaceLanguageId(), "");
    EXPECT_EQ(languages.PrintingLanguageId(), "");
    languages.SelectInterfaceLanguage("Român");
    languages.SelectPrintingLanguage("Român");

    // A 16-bit value out of range is taken as missing.
    store.writeInteger(kProgramOptionsKey, "FirmaHeaderFontSize", 70000);
    EXPECT_EQ(ProgramOptions(store, languages).FirmaHeaderFontSize, 12);
}

TEST(ProgramOptions, MayOverwriteAlphasAsksOnlyWhenBothSwitchesAreOn) {
    struct Case {
        bool change, ask;
        std::vector<bool> answers;
        bool expected;
    };
    const Case cases[] = {
        {false, true, {}, false},
        {true, false, {}, true},
        {true, true, {true}, true},
        {true, true, {false}, false},
    };
    MemorySettingsStore store;
    ProgramOptions options(store, shippedLanguages());
    for (const Case& c : cases) {
        ScriptedPrompter prompter;
        const ScopedPrompter scoped(prompter);
        for (const bool answer : c.answers)
            prompter.scriptYesNo(answer);
        options.ChangeAlphas = c.change;
        options.AskBeforeChange = c.ask;
        EXPECT_EQ(options.MayOverwriteAlphas(), c.expected) << c.change << c.ask;
        EXPECT_EQ(prompter.questions().size(), c.answers.size());
        EXPECT_TRUE(prompter.scriptUsed());
    }
}

TEST(ProgramOptions, FontChoicesWithDefaultsAndTheirDescription) {
    MemorySettingsStore store;
    const ListFontAttributes list = ListFontAttributes::create(store, ListFontAttributes::List);
    const ListFontAttributes report = ListFontAttributes::create(store, ListFontAttributes::Report);
    EXPECT_EQ(list.name, "MS Sans Serif");
    EXPECT_EQ(list.size, 10);
    EXPECT_EQ(report.name, "Times New Roman");
    EXPECT_EQ(report.size, 10);

    ListFontAttributes chosen{"DejaVu Sans", 11};
    chosen.save(store, ListFontAttributes::Report);
    EXPECT_EQ(store.readText("Fonts", "ReportName"), "DejaVu Sans");
    EXPECT_EQ(ListFontAttributes::create(store, ListFontAttributes::Report).size, 11);
    EXPECT_EQ(ListFontAttributes::create(store, ListFontAttributes::List).name, "MS Sans Serif");

    Languages& languages = shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    EXPECT_EQ(chosen.describe(languages), "Size 11 pt, font DejaVu Sans");
    languages.SelectInterfaceLanguage("Român");
}

TEST(EstimateProgram, FileNameReplacesTheFirstMark) {
    const std::string file = "/home/ana/Proiect 1/deviz.txt";
    struct Case {
        const char* parameters;
        const char* text;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"$FÁJLNÉV /auto", "\"/home/ana/Proiect 1/deviz.txt\" /auto", {file, "/auto"}},
        {"/auto -q", "/auto -q", {"/auto", "-q"}},
        {"$FÁJLNÉV $FÁJLNÉV", "\"/home/ana/Proiect 1/deviz.txt\" $FÁJLNÉV", {file, "$FÁJLNÉV"}},
        {"--in=$FÁJLNÉV \"two words\"",
         "--in=\"/home/ana/Proiect 1/deviz.txt\" \"two words\"",
         {"--in=" + file, "two words"}},
        {"", "", {}},
        // The readable marks of the shipped languages; the first mark of any kind is taken.
        {"$FIȘIER /auto", "\"/home/ana/Proiect 1/deviz.txt\" /auto", {file, "/auto"}},
        {"-f $FILE", "-f \"/home/ana/Proiect 1/deviz.txt\"", {"-f", file}},
        {"$FILE $FÁJLNÉV", "\"/home/ana/Proiect 1/deviz.txt\" $FÁJLNÉV", {file, "$FÁJLNÉV"}},
        {"$FÁJLNÉV $FIȘIER", "\"/home/ana/Proiect 1/deviz.txt\" $FIȘIER", {file, "$FIȘIER"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(estimateProgramParameters(c.parameters, file), c.text) << c.parameters;
        EXPECT_EQ(estimateProgramArguments(c.parameters, file), c.arguments) << c.parameters;
    }
    // A file name with quotes and blanks stays one argument.
    const std::string tricky = "/tmp/a\" -x \"b.txt";
    EXPECT_EQ(estimateProgramArguments("$FÁJLNÉV", tricky), std::vector<std::string>{tricky});
}

class RecordingLauncher final : public platform::ProcessLauncher {
public:
    bool startDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override {
        started.push_back({program, arguments});
        return works;
    }
    bool works = true;
    std::vector<std::pair<std::string, std::vector<std::string>>> started;
};

TEST(EstimateProgram, StartsOnlyWhenSetUpAndConfirmed) {
    MemorySettingsStore store;
    ProgramOptions options(store, shippedLanguages());
    ScriptedPrompter prompter;
    const ScopedPrompter scoped(prompter);
    RecordingLauncher launcher;

    startEstimateProgram(options, "/tmp/x.txt", launcher); // no program set up
    EXPECT_TRUE(launcher.started.empty());

    options.EstimateProgram = "/opt/deviz/deviz";
    prompter.scriptYesNo(false);
    startEstimateProgram(options, "/tmp/x.txt", launcher);
    EXPECT_TRUE(launcher.started.empty());

    prompter.scriptYesNo(true);
    startEstimateProgram(options, "/tmp/x.txt", launcher);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].first, "/opt/deviz/deviz");
    EXPECT_EQ(launcher.started[0].second, std::vector<std::string>{"/tmp/x.txt"});

    options.EstimateProgramStartQuestion = false;
    launcher.works = false;
    EXPECT_THROW(startEstimateProgram(options, "/tmp/x.txt", launcher), Error);
    EXPECT_EQ(launcher.started.size(), 2u);
    EXPECT_TRUE(prompter.scriptUsed());
}

TEST(ProgramOptionsEditor, AppliesEverythingOrNothing) {
    MemorySettingsStore store;
    Languages& languages = shippedLanguages();
    ProgramOptions options(store, languages);
    ProgramOptionsEditor editor(options);

    ProgramOptionsFields fields = editor.fields();
    EXPECT_EQ(fields.number(ProgramOptionsFields::Number::RightMargin), "15");
    EXPECT_EQ(fields.interfaceLanguages, (std::vector<std::string>{"English", "Român"}));
    EXPECT_EQ(fields.interfaceLanguage, "Român");
    EXPECT_TRUE(fields.switches[0]);  // ChangeAlphas
    EXPECT_FALSE(fields.switches[2]); // XIsDistance

    fields.planer = {"Ing. Ana Pop"};
    fields.number(ProgramOptionsFields::Number::LeftMargin) = "25";
    fields.number(ProgramOptionsFields::Number::BottomMargin) = "2,5"; // not a whole number
    fields.switches[8] = true;                                         // DoubleWidthTree
    fields.interfaceLanguage = "English";
    fields.reportFont = {"DejaVu Serif", 12};
    EXPECT_EQ(editor.invalidField(fields), ProgramOptionsFields::Number::BottomMargin);
    EXPECT_FALSE(editor.apply(fields));
    EXPECT_TRUE(options.Planer.empty());
    EXPECT_EQ(options.LeftMargin, 20);
    EXPECT_FALSE(options.DoubleWidthTree);
    EXPECT_EQ(languages.InterfaceLanguageId(), "Român");
    EXPECT_FALSE(store.keyExists("Fonts"));

    fields.number(ProgramOptionsFields::Number::BottomMargin) = " 18 ";
    ASSERT_TRUE(editor.apply(fields));
    EXPECT_EQ(options.Planer, std::vector<std::string>{"Ing. Ana Pop"});
    EXPECT_EQ(options.LeftMargin, 25);
    EXPECT_EQ(options.BottomMargin, 18);
    EXPECT_TRUE(options.DoubleWidthTree);
    EXPECT_EQ(languages.InterfaceLanguageId(), "English");
    EXPECT_EQ(store.readText("Fonts", "ReportName"), "DejaVu Serif");
    // The options reach the store only when they are saved.
    EXPECT_FALSE(store.valueExists(kProgramOptionsKey, "LeftMargin"));
    languages.SelectInterfaceLanguage("Român");
}

} // namespace
} // namespace kalydor
