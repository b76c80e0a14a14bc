#pragma once

#include "base/textlookup.h"
#include "language/languages.h"

#include <gtest/gtest.h>

#include <string>

namespace kalydor::test {

/// The language files shipped with the program, loaded once for the test program. Every test
/// gets them as loaded, whatever an earlier test selected: the first call of a test resets the
/// shared object, so results never depend on the order tests run in. Which languages are
/// selected is up to each test.
inline Languages& shippedLanguages() {
    static const Languages loaded = [] {
        Languages languages;
        languages.LoadLanguages(std::string(KALYDOR_SOURCE_DIR) + "/resources/languages/*.xm?");
        return languages;
    }();
    static Languages shared = loaded;
    static const ::testing::TestInfo* owner = nullptr;
    const ::testing::TestInfo* current = ::testing::UnitTest::GetInstance()->current_test_info();
    if (current != owner) {
        shared = loaded;
        owner = current;
    }
    return shared;
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
