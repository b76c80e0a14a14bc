#include "reports/captionmarkup.h"

namespace kalydor {

std::string_view greekLetter(char c) {
    static constexpr std::string_view lower[26] = {"α", "β", "χ", "δ", "ε", "φ", "γ", "η", "ι",
                                                   "φ", "κ", "λ", "μ", "ν", "ο", "π", "θ", "ρ",
                                                   "σ", "τ", "υ", "ϖ", "ω", "ξ", "ψ", "ζ"};
    static constexpr std::string_view upper[26] = {"Α", "Β", "Χ", "Δ", "Ε", "Φ", "Γ", "Η", "Ι",
                                                   "ϑ", "Κ", "Λ", "Μ", "Ν", "Ο", "Π", "Θ", "Ρ",
                                                   "Σ", "Τ", "Υ", "ς", "Ω", "Ξ", "Ψ", "Ζ"};
    if (c >= 'a' && c <= 'z')
        return lower[c - 'a'];
    if (c >= 'A' && c <= 'Z')
        return upper[c - 'A'];
    return {};
}

namespace {

std::string_view raisedCharacter(char c, CaptionRun::Position position) {
    static constexpr std::string_view superscripts[10] = {"⁰", "¹", "²", "³", "⁴",
                                                          "⁵", "⁶", "⁷", "⁸", "⁹"};
    static constexpr std::string_view subscripts[10] = {"₀", "₁", "₂", "₃", "₄",
                                                        "₅", "₆", "₇", "₈", "₉"};
    const bool super = position == CaptionRun::Position::Superscript;
    if (c >= '0' && c <= '9')
        return super ? superscripts[c - '0'] : subscripts[c - '0'];
    if (c == '+')
        return super ? "⁺" : "₊";
    if (c == '-')
        return super ? "⁻" : "₋";
    return {};
}

} // namespace

std::vector<CaptionRun> ParseCaption(std::string_view caption, bool shortForm) {
    std::vector<CaptionRun> runs;
    CaptionRun current;
    const auto flush = [&] {
        if (!current.text.empty())
            runs.push_back(current);
        current.text.clear();
    };
    const auto switchTo = [&](CaptionRun::Position position, bool symbol) {
        if (position == current.position && symbol == current.symbol)
            return;
        flush();
        current.position = position;
        current.symbol = symbol;
    };
    for (std::size_t i = 0; i < caption.size(); ++i) {
        const char c = caption[i];
        if (c != '\\' || i + 1 >= caption.size()) {
            const std::string_view greek = current.symbol ? greekLetter(c) : std::string_view();
            if (greek.empty())
                current.text += c;
            else
                current.text += greek;
            continue;
        }
        const char code = caption[++i];
        switch (code) {
        case 'u':
            switchTo(CaptionRun::Position::Superscript, current.symbol);
            break;
        case 'd':
            switchTo(CaptionRun::Position::Subscript, current.symbol);
            break;
        case 'f':
            switchTo(current.position, true);
            break;
        case 'p':
            switchTo(CaptionRun::Position::Normal, false);
            break;
        case '\\':
            current.text += '\\';
            break;
        case ';':
            if (shortForm) {
                flush();
                return runs;
            }
            break;
        default:
            current.text += '\\';
            current.text += code;
            break;
        }
    }
    flush();
    return runs;
}

std::string PlainCaption(std::string_view caption, bool shortForm) {
    std::string text;
    for (const CaptionRun& run : ParseCaption(caption, shortForm)) {
        if (run.position == CaptionRun::Position::Normal) {
            text += run.text;
            continue;
        }
        for (const char c : run.text) {
            const std::string_view raised = raisedCharacter(c, run.position);
            if (raised.empty())
                text += c;
            else
                text += raised;
        }
    }
    return text;
}

} // namespace kalydor
