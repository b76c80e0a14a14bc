#pragma once

#include "base/textlookup.h"
#include "language/languages.h"

#include <string>

namespace kalydor::test {

/// The language files shipped with the program, loaded once for the test program. Which
/// languages are selected is up to each test.
inline Languages& shippedLanguages() {
    static Languages languages = [] {
        Languages loaded;
        loaded.LoadLanguages(std::string(KALYDOR_SOURCE_DIR) + "/resources/languages/*.xm?");
        return loaded;
    }();
    return languages;
}

/// The shipped languages with Romanian selected, also as the text lookup of the core's
/// messages.
inline Languages& romanianLanguages() {
    Languages& shipped = shippedLanguages();
    shipped.SelectInterfaceLanguage("Român");
    setTextLookup(&shipped);
    return shipped;
}

} // namespace kalydor::test
