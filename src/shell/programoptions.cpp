#include "shell/programoptions.h"

#include "base/error.h"
#include "language/languages.h"
#include "platform/processlauncher.h"
#include "platform/prompter.h"
#include "platform/settingsstore.h"

#include <limits>

namespace kalydor {
namespace {

constexpr const char* kFontsKey = "Fonts";
// The marks that stand for the exported file in the estimating program's parameters: the
// readable ones of the shipped languages and the one older settings hold.
constexpr std::string_view kFileNameMarks[] = {"$FIȘIER", "$FILE", "$FÁJLNÉV"};

// The first mark in a text: its position and length (npos when there is none).
std::pair<std::size_t, std::size_t> firstFileNameMark(const std::string& text) {
    std::pair<std::size_t, std::size_t> first{std::string::npos, 0};
    for (const std::string_view mark : kFileNameMarks) {
        const std::size_t at = text.find(mark);
        if (at < first.first)
            first = {at, mark.size()};
    }
    return first;
}

// A 16-bit value; a stored number outside the range is treated as missing.
std::int16_t readInt16(const platform::SettingsStore& store, const char* name,
                       std::int16_t fallback) {
    const std::optional<std::int64_t> value = store.readInteger(kProgramOptionsKey, name);
    if (!value || *value < std::numeric_limits<std::int16_t>::min() ||
        *value > std::numeric_limits<std::int16_t>::max())
        return fallback;
    return static_cast<std::int16_t>(*value);
}

std::vector<std::string> readLines(const platform::SettingsStore& store, const char* name) {
    const std::optional<std::string> text = store.readText(kProgramOptionsKey, name);
    return text ? splitStoredLines(*text) : std::vector<std::string>{};
}

} // namespace

ProgramOptions::ProgramOptions(platform::SettingsStore& store, Languages& languages)
    : m_store(store)
    , m_languages(languages) {
    const char* key = kProgramOptionsKey;
    Planer = readLines(store, "Planer");
    InitDate = store.boolOr(key, "InitDate", InitDate);
    ViewProjektData = store.boolOr(key, "ViewProjektData", ViewProjektData);
    LeftMargin = store.integerOr(key, "LeftMargin", LeftMargin);
    TopMargin = store.integerOr(key, "TopMargin", TopMargin);
    RightMargin = store.integerOr(key, "RightMargin", RightMargin);
    BottomMargin = store.integerOr(key, "BottomMargin", BottomMargin);
    ForceNewPage = store.boolOr(key, "ForceNewPage", ForceNewPage);
    ColorPrinting = store.boolOr(key, "ColorPrinting", ColorPrinting);
    ProgramSign = store.boolOr(key, "ProgramSign", ProgramSign);
    FirmaHeaderText = readLines(store, "FirmaHeaderText");
    FirmaHeaderPageMode = readInt16(store, "FirmaHeaderPageMode", FirmaHeaderPageMode);
    FirmaHeaderFontSize = readInt16(store, "FirmaHeaderFontSize", FirmaHeaderFontSize);
    FirmaHeaderLogoMode = readInt16(store, "FirmaHeaderLogoMode", FirmaHeaderLogoMode);
    FirmaHeaderLogoName = store.textOr(key, "FirmaHeaderLogoName", FirmaHeaderLogoName);
    FirmaHeaderLogoResolution =
        readInt16(store, "FirmaHeaderLogoResolution", FirmaHeaderLogoResolution);
    ChangeAlphas = store.boolOr(key, "ChangeAlphas", ChangeAlphas);
    AskBeforeChange = store.boolOr(key, "AskBeforeChange", AskBeforeChange);
    XIsDistance = store.boolOr(key, "XIsDistance", XIsDistance);
    SimpleHumidityCalculation =
        store.boolOr(key, "SimpleHumidityCalculation", SimpleHumidityCalculation);
    WarningTempDiff = store.boolOr(key, "WarningTempDiff", WarningTempDiff);
    OnlyCurrentRadiators = store.boolOr(key, "OnlyCurrentRadiators", OnlyCurrentRadiators);
    GetConnectionLength = store.boolOr(key, "GetConnectionLength", GetConnectionLength);
    ConvertPointNames = store.boolOr(key, "ConvertPointNames", ConvertPointNames);
    DoubleWidthTree = store.boolOr(key, "DoubleWidthTree", DoubleWidthTree);

    languages.SelectInterfaceLanguage(store.textOr(key, "LanguageID", "Român"));
    // Without a stored printing language, reports are printed in the interface language.
    languages.SelectPrintingLanguage(
        store.textOr(key, "PrintingLanguageID", languages.InterfaceLanguageId()));

    EstimateProgram = store.textOr(key, "EstimateProgram", EstimateProgram);
    EstimateProgramParameters =
        store.textOr(key, "EstimateProgramParameters", languages.GetText("IDS_FILENAMEPARAM"));
    EstimateProgramStartQuestion =
        store.boolOr(key, "EstimateProgramStartQuestion", EstimateProgramStartQuestion);
}

void ProgramOptions::SaveProgramOptions() const {
    platform::SettingsStore& store = m_store;
    const char* key = kProgramOptionsKey;
    store.writeText(key, "Planer", joinStoredLines(Planer));
    store.writeBool(key, "InitDate", InitDate);
    store.writeBool(key, "ViewProjektData", ViewProjektData);
    store.writeInteger(key, "LeftMargin", LeftMargin);
    store.writeInteger(key, "TopMargin", TopMargin);
    store.writeInteger(key, "RightMargin", RightMargin);
    store.writeInteger(key, "BottomMargin", BottomMargin);
    store.writeBool(key, "ForceNewPage", ForceNewPage);
    store.writeBool(key, "ColorPrinting", ColorPrinting);
    store.writeBool(key, "ProgramSign", ProgramSign);
    store.writeText(key, "FirmaHeaderText", joinStoredLines(FirmaHeaderText));
    store.writeInteger(key, "FirmaHeaderPageMode", FirmaHeaderPageMode);
    store.writeInteger(key, "FirmaHeaderFontSize", FirmaHeaderFontSize);
    store.writeInteger(key, "FirmaHeaderLogoMode", FirmaHeaderLogoMode);
    store.writeText(key, "FirmaHeaderLogoName", FirmaHeaderLogoName);
    store.writeInteger(key, "FirmaHeaderLogoResolution", FirmaHeaderLogoResolution);
    store.writeBool(key, "ChangeAlphas", ChangeAlphas);
    store.writeBool(key, "AskBeforeChange", AskBeforeChange);
    store.writeBool(key, "XIsDistance", XIsDistance);
    store.writeBool(key, "SimpleHumidityCalculation", SimpleHumidityCalculation);
    store.writeBool(key, "WarningTempDiff", WarningTempDiff);
    store.writeBool(key, "OnlyCurrentRadiators", OnlyCurrentRadiators);
    store.writeBool(key, "GetConnectionLength", GetConnectionLength);
    store.writeBool(key, "ConvertPointNames", ConvertPointNames);
    store.writeBool(key, "DoubleWidthTree", DoubleWidthTree);
    store.writeText(key, "LanguageID", m_languages.InterfaceLanguageId());
    store.writeText(key, "PrintingLanguageID", m_languages.PrintingLanguageId());
    store.writeText(key, "EstimateProgram", EstimateProgram);
    store.writeText(key, "EstimateProgramParameters", EstimateProgramParameters);
    store.writeBool(key, "EstimateProgramStartQuestion", EstimateProgramStartQuestion);
}

bool ProgramOptions::MayOverwriteAlphas() const {
    if (!ChangeAlphas)
        return false;
    if (!AskBeforeChange)
        return true;
    return platform::prompter().askYesNo(m_languages.GetText("IDS_OVERWRITEALPHA"),
                                         platform::DefaultButton::Yes);
}

std::string joinStoredLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<std::string> splitStoredLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::size_t lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == '\r')
            --lineEnd;
        lines.push_back(text.substr(start, lineEnd - start));
        start = end + 1;
    }
    return lines;
}

ListFontAttributes ListFontAttributes::create(const platform::SettingsStore& store, Kind kind) {
    ListFontAttributes font;
    if (kind == List) {
        font.name = store.textOr(kFontsKey, "ListName", "MS Sans Serif");
        font.size = store.integerOr(kFontsKey, "ListSize", 10);
    } else {
        font.name = store.textOr(kFontsKey, "ReportName", "Times New Roman");
        font.size = store.integerOr(kFontsKey, "ReportSize", 10);
    }
    return font;
}

void ListFontAttributes::save(platform::SettingsStore& store, Kind kind) const {
    store.writeText(kFontsKey, kind == List ? "ListName" : "ReportName", name);
    store.writeInteger(kFontsKey, kind == List ? "ListSize" : "ReportSize", size);
}

std::string ListFontAttributes::describe(const Languages& languages) const {
    return formatText(languages.GetText("IDS_FONTSIZE"), {size, name});
}

std::string estimateProgramParameters(const std::string& parameters, const std::string& fileName) {
    std::string text = parameters;
    if (const auto [at, length] = firstFileNameMark(text); at != std::string::npos)
        text.replace(at, length, "\"" + fileName + "\"");
    return text;
}

std::vector<std::string> estimateProgramArguments(const std::string& parameters,
                                                  const std::string& fileName) {
    std::vector<std::string> arguments;
    std::string current;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const char c = parameters[i];
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == '\\' && i + 1 < parameters.size()) {
            current += parameters[++i];
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                arguments.push_back(std::move(current));
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord)
        arguments.push_back(std::move(current));
    for (std::string& argument : arguments) {
        if (const auto [at, length] = firstFileNameMark(argument); at != std::string::npos) {
            argument.replace(at, length, fileName);
            break;
        }
    }
    return arguments;
}

void startEstimateProgram(const ProgramOptions& options, const std::string& exportedFile,
                          platform::ProcessLauncher& launcher) {
    if (options.EstimateProgram.empty())
        return;
    if (options.EstimateProgramStartQuestion &&
        !platform::prompter().askYesNo(options.languages().GetText("IDS_ESTIMATEPROGRAMSTART"),
                                       platform::DefaultButton::Yes))
        return;
    if (!launcher.startDetached(
            options.EstimateProgram,
            estimateProgramArguments(options.EstimateProgramParameters, exportedFile)))
        throw Error("IDS_ESTIMATEPROGRAMERROR", {options.EstimateProgram},
                    "The cost-estimating program %s could not be started.");
}

} // namespace kalydor
