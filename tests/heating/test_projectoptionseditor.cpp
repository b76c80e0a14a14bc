#include "heating/projectoptionseditor.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "platform/scriptedprompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include "heating/projectoptionsfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <random>

namespace kalydor {
namespace {

using Number = ProjectOptionsFields::Number;

TEST(FloatText, ShortestTextThatReadsBack) {
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {{0.8f, "0.8"},     {-15.0f, "-15"}, {90.0f, "90"},
                          {1.16f, "1.16"},   {2.7f, "2.7"},   {3.673e-7f, "3.673E-7"},
                          {971.9f, "971.9"}, {0.0f, "0"},     {123456792.0f, "123456792"}};
    for (const Case& c : cases)
        EXPECT_EQ(floatText(c.value), c.text) << c.text;
}

// Every float reads back as itself from its text and from its JSON double, whatever its bits.
TEST(FloatText, EveryFloatReadsBack) {
    std::mt19937 random(12345);
    for (int i = 0; i < 20000; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(value))
            continue;
        const std::string text = floatText(value);
        ASSERT_EQ(static_cast<float>(std::strtod(text.c_str(), nullptr)), value) << text;
        ASSERT_EQ(static_cast<float>(floatAsShortDouble(value)), value) << text;
    }
}

class ProjectOptionsEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        project = std::make_unique<ItemStore>(dir.directory(), "Project", TableMode::Create);
        ASSERT_TRUE(options.LoadFromProject(*project));
    }
    std::string stored() {
        EXPECT_TRUE(project->FindRecord(RecordType::ProjectOptions, "", ""));
        return project->currentData();
    }

    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}, {"IDS_NORMALWATER", "Apă"}};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    test::TempDir dir;
    std::unique_ptr<ItemStore> project;
    ProjectOptions options;
};

TEST_F(ProjectOptionsEditorTest, FieldRules) {
    struct Case {
        Number field;
        const char* text;
        bool accepted;
    };
    const Case cases[] = {
        {Number::H, "-0,5", true},
        {Number::H, "0", false},
        {Number::H, "2", false},
        {Number::H, "", false},
        {Number::OutSideRelHum, "0", false},
        {Number::InSideRelHum, "0,1", true},
        {Number::DiffusionDays, "0", true},
        {Number::DiffusionDays, "-1", false},
        {Number::Height, "-2.7", false},
        {Number::EarthLambda, "0", false},
        {Number::Cm, "0", false},
        {Number::v, "0", false},
        {Number::E, "0", false},
        {Number::Portion, "0", false},
        {Number::AirChangeFact, "0", false},
        {Number::CorrectionFactor, "0", false},
        {Number::RadiatorForwardTemperature, "0", false},
        {Number::RadiatorBackwardTemperature, "-5", false},
        {Number::FloorLevel, "-3", true},
        {Number::HeatingOutSideTemp, "-30", true},
        {Number::Ao, "-1", true},
        {Number::Ac, "abc", false},
        {Number::Compass, "45,9", true},
        {Number::Compass, "40000", false},
        {Number::Tetap, "1e40", false},
    };
    ProjectOptionsEditor editor(options, *project);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("field ") + std::to_string(static_cast<int>(c.field)) + " \"" +
                     c.text + "\"");
        ProjectOptionsFields fields = editor.fields();
        fields.number(c.field) = c.text;
        const auto bad = editor.invalidField(fields);
        EXPECT_EQ(bad.has_value(), !c.accepted);
        if (bad) {
            EXPECT_EQ(*bad, c.field);
        }
    }
}

// One bad field refuses the whole confirm: nothing is applied or stored.
TEST_F(ProjectOptionsEditorTest, ConfirmChecksEveryFieldBeforeApplying) {
    ProjectOptionsEditor editor(options, *project);
    const std::string before = stored();
    ProjectOptionsFields fields = editor.fields();
    fields.number(Number::PanelInSideTemp) = "22";
    fields.number(Number::CorrectionFactor) = "0";
    try {
        editor.confirm(fields);
        ADD_FAILURE() << "confirmed a correction factor of 0";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_WRONGVALUE");
        EXPECT_EQ(error.text(), "Wrong value.");
    }
    EXPECT_EQ(options.Panel.InSideTemp, 20.0f);
    EXPECT_EQ(stored(), before);
}

TEST_F(ProjectOptionsEditorTest, ConfirmSavesAndReportsWhatNeedsRecalculation) {
    {
        ProjectOptionsEditor editor(options, *project);
        ProjectOptionsFields fields = editor.fields();
        fields.number(Number::HeatingInSideTemp) = "22,5";
        fields.number(Number::Compass) = "-45.7";
        fields.filtMode = 3;
        fields.nearest = false;
        const ProjectOptionsChanges changes = editor.confirm(fields);
        EXPECT_FALSE(changes.needsRecalculation());
    }
    ProjectOptions reloaded;
    ASSERT_TRUE(reloaded.LoadFromProject(*project));
    EXPECT_EQ(reloaded.Heating.InSideTemp, 22.5f);
    EXPECT_EQ(reloaded.Building.Compass, -45);
    EXPECT_EQ(reloaded.Heating.FiltMode, 3);
    EXPECT_EQ(reloaded.Radiator.Nearest, 0);
    EXPECT_EQ(reloaded.recordBytes(), options.recordBytes());

    ProjectOptionsEditor editor(options, *project);
    ProjectOptionsFields fields = editor.fields();
    fields.number(Number::HeatingOutSideTemp) = "-18";
    const ProjectOptionsChanges changes = editor.confirm(fields);
    EXPECT_TRUE(changes.outSideTempChanged);
    EXPECT_FALSE(changes.userDefinedChanged);
    EXPECT_TRUE(changes.needsRecalculation());
}

// The recalculation a new outside temperature causes runs with the saved options inside the
// same transaction: stopped, it leaves the stored options and the live ones as they were.
TEST_F(ProjectOptionsEditorTest, TheRecalculationCommitsWithTheOptions) {
    const std::string before = stored();
    ProjectOptionsEditor editor(options, *project);
    ProjectOptionsFields fields = editor.fields();
    fields.number(Number::HeatingOutSideTemp) = "-18";
    float seen = 0;
    editor.setRecalculation([&](const ProjectOptions& saved) {
        seen = saved.Heating.OutSideTemp;
        return false; // stopped by the user
    });
    EXPECT_EQ(testing::errorKey([&] { (void)editor.confirm(fields); }), "IDS_RECALCSTOPPED");
    EXPECT_EQ(seen, -18.0f);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(options.Heating.OutSideTemp, -15.0f);

    editor.setRecalculation([&](const ProjectOptions&) { return true; });
    EXPECT_TRUE(editor.confirm(fields).needsRecalculation());
    EXPECT_EQ(options.Heating.OutSideTemp, -18.0f);
    EXPECT_NE(stored(), before);

    // A change that needs none does not run it.
    bool ran = false;
    ProjectOptionsEditor next(options, *project);
    next.setRecalculation([&](const ProjectOptions&) { return ran = true; });
    fields = next.fields();
    fields.number(Number::HeatingInSideTemp) = "21";
    (void)next.confirm(fields);
    EXPECT_FALSE(ran);
}

// The weather switch has no field of its own; it changes while the dialog is open through the
// project settings file, and that change counts as well.
TEST_F(ProjectOptionsEditorTest, WeatherSwitchChangedWhileOpenNeedsRecalculation) {
    ProjectOptionsEditor editor(options, *project);
    options.Meteorology.UserDefined = 1;
    const ProjectOptionsChanges changes = editor.confirm(editor.fields());
    EXPECT_TRUE(changes.userDefinedChanged);
    EXPECT_TRUE(changes.needsRecalculation());
}

// Confirming without an edit stores the same record, even for values that have no short
// decimal form and for stored switches and choices outside the dialog's range.
TEST_F(ProjectOptionsEditorTest, FieldsLeftAsShownKeepTheirExactValues) {
    options.Panel.OutSideTemp = std::nextafter(-2.0f, 0.0f);
    options.Heating.Calculate = 2;
    options.Heating.FiltMode = 7;
    ASSERT_TRUE(options.SaveToProject(*project));
    const std::string before = stored();
    ProjectOptionsEditor editor(options, *project);
    editor.confirm(editor.fields());
    EXPECT_EQ(stored(), before);
}

TEST_F(ProjectOptionsEditorTest, CancelRestoresTheStoredOptions) {
    options.Heating.InSideTemp = 23.0f;
    ASSERT_TRUE(options.SaveToProject(*project));
    ProjectOptionsEditor editor(options, *project);
    options.Heating.InSideTemp = 30.0f;
    options.Point.Rules.push_back({1, "T", "Cu"});
    EXPECT_TRUE(editor.cancel());
    EXPECT_EQ(options.Heating.InSideTemp, 23.0f);
    EXPECT_TRUE(options.Point.Rules.empty());
    EXPECT_EQ(editor.fields().number(Number::HeatingInSideTemp), "23");
}

TEST_F(ProjectOptionsEditorTest, OptionsThatFailedToLoadAreNotSaved) {
    ASSERT_TRUE(project->FindRecord(RecordType::ProjectOptions, "", ""));
    const std::string newer = test::RecordBuilder().i16(14).i16(0).bytes();
    project->setCurrentData(newer);
    EXPECT_FALSE(options.LoadFromProject(*project));
    ProjectOptionsEditor editor(options, *project);
    EXPECT_TRUE(editor.readOnly());
    try {
        editor.confirm(editor.fields());
        ADD_FAILURE() << "saved options that could not be read";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_PROJEKTOPTIONSREADONLY");
    }
    EXPECT_EQ(stored(), newer);
}

} // namespace
} // namespace kalydor
