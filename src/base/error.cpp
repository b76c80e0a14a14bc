#include "base/error.h"

#include "base/textlookup.h"

#include <fmt/args.h>
#include <fmt/printf.h>

namespace kalydor {

std::string formatText(const std::string& format, const TextArgs& args) {
    if (args.empty() && format.find('%') == std::string::npos)
        return format;
    fmt::dynamic_format_arg_store<fmt::printf_context> store;
    for (const TextArg& arg : args)
        std::visit([&store](const auto& value) { store.push_back(value); }, arg);
    try {
        return fmt::vsprintf(fmt::string_view(format), store);
    } catch (const fmt::format_error&) {
        return format;
    }
}

namespace {

std::string describe(const std::string& key, const std::string& text) {
    return text.empty() ? key : text;
}

std::string textOfKey(const std::string& key, const TextArgs& args, const std::string& fallback) {
    std::string format = GetText(key);
    if (format.empty())
        format = fallback;
    return format.empty() ? std::string() : formatText(format, args);
}

} // namespace

Error::Error(std::string key, TextArgs args, const std::string& fallbackFormat)
    : Error(PlainText{}, key, textOfKey(key, args, fallbackFormat)) {
    m_args = std::move(args);
    m_keyed = true;
}

std::string Error::textIn(const TextLookup& lookup) const {
    if (!m_keyed)
        return m_text;
    const std::string format = lookup.getText(m_key);
    return format.empty() ? m_text : formatText(format, m_args);
}

Error::Error(PlainText, std::string key, std::string text)
    : std::runtime_error(describe(key, text))
    , m_key(std::move(key))
    , m_text(std::move(text)) {}

Error Error::withText(std::string key, std::string text) {
    return Error(PlainText{}, std::move(key), std::move(text));
}

} // namespace kalydor
