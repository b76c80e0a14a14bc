#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kalydor {

class Languages;

namespace platform {
class ProcessLauncher;
class SettingsStore;
} // namespace platform

/// The settings key of the program options, below the program's own key.
inline constexpr const char* kProgramOptionsKey = "ProgramOptions";

/// The user's settings that belong to the program rather than to a project: defaults for new
/// projects, the printed page, behaviour switches of the calculations and editors, the
/// cost-estimating program. One instance lives for the whole run.
///
/// The two language values are not kept here: reading them selects the languages of the
/// language tables, and saving writes the ids of the languages selected there.
class ProgramOptions {
public:
    /// Reads every value from the settings store; a missing value gives its default. Selects
    /// the user-interface and the printing language.
    ProgramOptions(platform::SettingsStore& store, Languages& languages);

    /// Writes every value, the two language ids included.
    void SaveProgramOptions() const;

    /// Whether choosing a construction type may copy that type's default surface heat
    /// transfer coefficients into the construction: never with "ChangeAlphas" off, without a
    /// question with "AskBeforeChange" off, otherwise only when the user answers Yes.
    bool MayOverwriteAlphas() const;

    // Defaults for a new project.
    std::vector<std::string> Planer;
    bool InitDate = true;
    bool ViewProjektData = true;

    // The printed page: margins in millimetres and the firm header.
    std::int64_t LeftMargin = 20;
    std::int64_t TopMargin = 20;
    std::int64_t RightMargin = 15;
    std::int64_t BottomMargin = 20;
    bool ForceNewPage = false;
    bool ColorPrinting = false;
    bool ProgramSign = true;
    std::vector<std::string> FirmaHeaderText;
    /// 0 no firm header, 1 only on the first page, 2 on every page.
    std::int16_t FirmaHeaderPageMode = 0;
    std::int16_t FirmaHeaderFontSize = 12;
    /// 0 no logo, 1 logo on the left, 2 logo on the right.
    std::int16_t FirmaHeaderLogoMode = 0;
    std::string FirmaHeaderLogoName;
    std::int16_t FirmaHeaderLogoResolution = 300;

    // Behaviour switches.
    bool ChangeAlphas = true;
    bool AskBeforeChange = true;
    bool XIsDistance = false;
    bool SimpleHumidityCalculation = true;
    bool WarningTempDiff = true;
    bool OnlyCurrentRadiators = false;
    bool GetConnectionLength = true;
    bool ConvertPointNames = false;
    bool DoubleWidthTree = false;

    // The cost-estimating program started after the bill-of-materials export.
    std::string EstimateProgram;
    std::string EstimateProgramParameters;
    bool EstimateProgramStartQuestion = true;

    platform::SettingsStore& store() const { return m_store; }
    Languages& languages() const { return m_languages; }

private:
    platform::SettingsStore& m_store;
    Languages& m_languages;
};

/// Text lines stored as one text, each line followed by CR LF.
std::string joinStoredLines(const std::vector<std::string>& lines);
/// The lines of such a text; a lone LF also ends a line, and the ending of the last line is
/// optional.
std::vector<std::string> splitStoredLines(const std::string& text);

/// A font choice of the "Fonts" key: kind 0 is the list font (trees and lists of items),
/// kind 1 the report font.
struct ListFontAttributes {
    enum Kind { List = 0, Report = 1 };

    std::string name;
    std::int64_t size = 0;

    /// The choice stored for the kind, with the defaults of a fresh installation.
    static ListFontAttributes create(const platform::SettingsStore& store, Kind kind);
    void save(platform::SettingsStore& store, Kind kind) const;
    /// The label text describing the choice: "IDS_FONTSIZE" with the size and the name.
    std::string describe(const Languages& languages) const;
};

/// The parameter text of the estimating program for an exported file: the first mark of the
/// file ("$FIȘIER", "$FILE", or "$FÁJLNÉV" of older settings) replaced by the file's full
/// name between double quotes.
std::string estimateProgramParameters(const std::string& parameters, const std::string& fileName);

/// The same as separate program arguments: the parameter text is split as a shell splits
/// words (blanks separate, double quotes group, a backslash takes the next character), then
/// the first mark of the file is replaced by the file's full name inside its argument. The name
/// stays one argument whatever characters it holds, so nothing in it can add arguments.
std::vector<std::string> estimateProgramArguments(const std::string& parameters,
                                                  const std::string& fileName);

/// Starts the estimating program on an exported file when one is set up, after the question
/// "IDS_ESTIMATEPROGRAMSTART" when the options ask for it. A program that cannot be started
/// raises an error naming it.
void startEstimateProgram(const ProgramOptions& options, const std::string& exportedFile,
                          platform::ProcessLauncher& launcher);

} // namespace kalydor
