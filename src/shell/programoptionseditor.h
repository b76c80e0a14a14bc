#pragma once

#include "base/numberfield.h"
#include "shell/programoptions.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

/// What the program options dialog shows and edits, as the dialog's controls hold it: the
/// numbers as typed text, the choices as indexes.
struct ProgramOptionsFields {
    /// The fields holding whole numbers, in the order they are checked.
    enum class Number { LeftMargin, TopMargin, RightMargin, BottomMargin, FontSize, Resolution };

    std::vector<std::string> planer;
    std::vector<std::string> firmaHeaderText;
    bool initDate = false;
    bool viewProjectData = false;
    bool forceNewPage = false;
    bool colorPrinting = false;
    bool programSign = false;
    std::array<std::string, 6> numbers; // indexed by Number
    int pageMode = 0;                   // 0 no header, 1 first page, 2 every page
    int logoMode = 0;                   // 0 no logo, 1 left, 2 right
    std::string logoName;
    ListFontAttributes listFont;
    ListFontAttributes reportFont;
    /// The behaviour switches in the order of the dialog's check list.
    std::array<bool, 9> switches{};
    std::vector<std::string> interfaceLanguages; // ids of the user-interface languages
    std::vector<std::string> printingLanguages;  // ids of every language
    std::string interfaceLanguage;
    std::string printingLanguage;
    std::string estimateProgram;
    std::string estimateProgramParameters;
    bool estimateProgramStartQuestion = false;

    std::string& number(Number which) { return numbers[static_cast<std::size_t>(which)]; }
    const std::string& number(Number which) const {
        return numbers[static_cast<std::size_t>(which)];
    }
};

/// What a number field of the dialog allows: whole millimetres from 0 to 1000 for the
/// margins, a font size from 1 to 999 points, a resolution from 1 to 32767 dots per inch.
FieldRule programOptionsFieldRule(ProgramOptionsFields::Number field);

/// The switch names of the dialog's check list, in its order.
extern const std::array<const char*, 9> kProgramOptionSwitches;

/// The font sizes and logo resolutions the dialog offers.
extern const std::array<int, 6> kFirmaHeaderFontSizes;
extern const std::array<int, 3> kLogoResolutions;

/// The logic of the program options dialog: fills the fields from the options and applies
/// them back. Nothing is applied unless every number field holds a whole number.
class ProgramOptionsEditor {
public:
    explicit ProgramOptionsEditor(ProgramOptions& options);

    ProgramOptionsFields fields() const;

    /// The first number field that is not a whole number of its range, or none.
    std::optional<ProgramOptionsFields::Number>
    invalidField(const ProgramOptionsFields& fields) const;

    /// Applies the fields to the options, saves the two fonts and selects the languages.
    /// Returns false, changing nothing, when a number field is not a whole number.
    bool apply(const ProgramOptionsFields& fields);

    /// The dialog page shown when the dialog was last closed in this run.
    static int rememberedPage;

private:
    ProgramOptions& m_options;
};

} // namespace kalydor
