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

} // namespace kalydor
