// Arbitrary bytes as a radiator change rules file. Reading must end with the rules read or
// the system's error; rules that were read are written, and what is written reads back as the
// same rules (those without a new family left out) and writes to the same text.
//
//   build/fuzz/bin/fuzz_change_rules tests/data/fuzz/change_rules

#include "base/error.h"
#include "rooms/radiatorchange.h"
#include "silentprompter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kalydor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silencePrompts();
    std::vector<ChangeRule> rules;
    try {
        rules = changerules::parse(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const Error&) {
        return 0;
    }
    std::string text;
    try {
        text = changerules::write(rules);
    } catch (const Error&) {
        return 0; // a name holding a line break is refused, not written
    }
    std::vector<ChangeRule> kept;
    for (const ChangeRule& rule : rules)
        if (!rule.NewFamily.empty())
            kept.push_back(rule);
    const std::vector<ChangeRule> back = changerules::parse(text);
    if (back != kept || changerules::write(back) != text)
        std::abort();
    return 0;
}
