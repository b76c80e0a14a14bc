#include "base/textlookup.h"

#include "base/resources.h"

namespace kalydor {
namespace {

class NoLanguage final : public TextLookup {
public:
    std::string getText(std::string_view) const override { return {}; }
};

const NoLanguage noLanguage;
const TextLookup* currentLookup = &noLanguage;

} // namespace

std::string TextLookup::stringTableText(int n) const {
    return expandPlaceholders(stringTableEntry(n));
}

void setTextLookup(const TextLookup* lookup) {
    currentLookup = lookup ? lookup : &noLanguage;
}

const TextLookup& textLookup() {
    return *currentLookup;
}

std::string GetText(std::string_view key) {
    return currentLookup->getText(key);
}

std::vector<std::string> numberedTexts(std::string_view key, int most) {
    std::vector<std::string> texts;
    for (int n = 0; n < most; ++n) {
        std::string text = GetText(std::string(key) + std::to_string(n));
        if (text.empty())
            break;
        texts.push_back(std::move(text));
    }
    return texts;
}

std::string trimmedText(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> splitText(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.emplace_back(
            text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos)
            return parts;
        start = at + 1;
    }
}

} // namespace kalydor
