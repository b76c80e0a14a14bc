#include "shell/programoptionseditor.h"

#include "language/languages.h"
#include "platform/settingsstore.h"

#include <charconv>
#include <limits>

namespace kalydor {

const std::array<const char*, 9> kProgramOptionSwitches = {
    "ChangeAlphas",    "AskBeforeChange",   "XIsDistance",          "SimpleHumidityCalculation",
    "WarningTempDiff", "ConvertPointNames", "OnlyCurrentRadiators", "GetConnectionLength",
    "DoubleWidthTree"};

const std::array<int, 6> kFirmaHeaderFontSizes = {10, 12, 14, 16, 18, 20};
const std::array<int, 3> kLogoResolutions = {150, 300, 600};

int ProgramOptionsEditor::rememberedPage = 0;

namespace {

using Number = ProgramOptionsFields::Number;

// The switches of the check list, in its order.
template <class Options> auto switchFields(Options& o) {
    return std::array{&o.ChangeAlphas,         &o.AskBeforeChange,
                      &o.XIsDistance,          &o.SimpleHumidityCalculation,
                      &o.WarningTempDiff,      &o.ConvertPointNames,
                      &o.OnlyCurrentRadiators, &o.GetConnectionLength,
                      &o.DoubleWidthTree};
}

// A whole number as typed: optional blanks around an optional sign and decimal digits.
std::optional<std::int64_t> wholeNumber(std::string_view text, std::int64_t low,
                                        std::int64_t high) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high)
        return std::nullopt;
    return value;
}

// Margins are millimetres on a page; the header size and resolution are 16-bit values.
std::pair<std::int64_t, std::int64_t> rangeOf(Number which) {
    switch (which) {
    case Number::FontSize:
        return {1, 999};
    case Number::Resolution:
        return {1, std::numeric_limits<std::int16_t>::max()};
    default:
        return {0, 1000};
    }
}

} // namespace

FieldRule programOptionsFieldRule(Number field) {
    const auto [low, high] = rangeOf(field);
    return FieldRule::wholeBetween(static_cast<double>(low), static_cast<double>(high));
}

ProgramOptionsEditor::ProgramOptionsEditor(ProgramOptions& options)
    : m_options(options) {}

ProgramOptionsFields ProgramOptionsEditor::fields() const {
    const ProgramOptions& o = m_options;
    ProgramOptionsFields f;
    f.planer = o.Planer;
    f.firmaHeaderText = o.FirmaHeaderText;
    f.initDate = o.InitDate;
    f.viewProjectData = o.ViewProjektData;
    f.forceNewPage = o.ForceNewPage;
    f.colorPrinting = o.ColorPrinting;
    f.programSign = o.ProgramSign;
    f.number(Number::LeftMargin) = std::to_string(o.LeftMargin);
    f.number(Number::TopMargin) = std::to_string(o.TopMargin);
    f.number(Number::RightMargin) = std::to_string(o.RightMargin);
    f.number(Number::BottomMargin) = std::to_string(o.BottomMargin);
    f.number(Number::FontSize) = std::to_string(o.FirmaHeaderFontSize);
    f.number(Number::Resolution) = std::to_string(o.FirmaHeaderLogoResolution);
    f.pageMode =
        o.FirmaHeaderPageMode >= 0 && o.FirmaHeaderPageMode <= 2 ? o.FirmaHeaderPageMode : 2;
    f.logoMode =
        o.FirmaHeaderLogoMode >= 0 && o.FirmaHeaderLogoMode <= 2 ? o.FirmaHeaderLogoMode : 2;
    f.logoName = o.FirmaHeaderLogoName;
    f.listFont = ListFontAttributes::create(o.store(), ListFontAttributes::List);
    f.reportFont = ListFontAttributes::create(o.store(), ListFontAttributes::Report);
    const auto switches = switchFields(o);
    for (std::size_t i = 0; i < switches.size(); ++i)
        f.switches[i] = *switches[i];
    o.languages().ListLanguages(f.interfaceLanguages, true);
    o.languages().ListLanguages(f.printingLanguages, false);
    f.interfaceLanguage = o.languages().InterfaceLanguageId();
    f.printingLanguage = o.languages().PrintingLanguageId();
    f.estimateProgram = o.EstimateProgram;
    f.estimateProgramParameters = o.EstimateProgramParameters;
    f.estimateProgramStartQuestion = o.EstimateProgramStartQuestion;
    return f;
}

std::optional<Number> ProgramOptionsEditor::invalidField(const ProgramOptionsFields& f) const {
    for (std::size_t i = 0; i < f.numbers.size(); ++i) {
        const auto which = static_cast<Number>(i);
        const auto [low, high] = rangeOf(which);
        if (!wholeNumber(f.numbers[i], low, high))
            return which;
    }
    return std::nullopt;
}

bool ProgramOptionsEditor::apply(const ProgramOptionsFields& f) {
    if (invalidField(f))
        return false;
    const auto number = [&](Number which) {
        const auto [low, high] = rangeOf(which);
        return *wholeNumber(f.number(which), low, high);
    };
    ProgramOptions& o = m_options;
    o.Planer = f.planer;
    o.FirmaHeaderText = f.firmaHeaderText;
    o.InitDate = f.initDate;
    o.ViewProjektData = f.viewProjectData;
    o.ForceNewPage = f.forceNewPage;
    o.ColorPrinting = f.colorPrinting;
    o.ProgramSign = f.programSign;
    o.LeftMargin = number(Number::LeftMargin);
    o.TopMargin = number(Number::TopMargin);
    o.RightMargin = number(Number::RightMargin);
    o.BottomMargin = number(Number::BottomMargin);
    o.FirmaHeaderPageMode = static_cast<std::int16_t>(f.pageMode == 0   ? 0
                                                      : f.pageMode == 1 ? 1
                                                                        : 2);
    o.FirmaHeaderFontSize = static_cast<std::int16_t>(number(Number::FontSize));
    o.FirmaHeaderLogoResolution = static_cast<std::int16_t>(number(Number::Resolution));
    o.FirmaHeaderLogoMode = static_cast<std::int16_t>(f.logoMode == 0   ? 0
                                                      : f.logoMode == 1 ? 1
                                                                        : 2);
    o.FirmaHeaderLogoName = f.logoName;
    f.listFont.save(o.store(), ListFontAttributes::List);
    f.reportFont.save(o.store(), ListFontAttributes::Report);
    const auto switches = switchFields(o);
    for (std::size_t i = 0; i < switches.size(); ++i)
        *switches[i] = f.switches[i];
    o.languages().SelectInterfaceLanguage(f.interfaceLanguage);
    o.languages().SelectPrintingLanguage(f.printingLanguage);
    o.EstimateProgram = f.estimateProgram;
    o.EstimateProgramParameters = f.estimateProgramParameters;
    o.EstimateProgramStartQuestion = f.estimateProgramStartQuestion;
    return true;
}

} // namespace kalydor
