#include "base/error.h"

#include "base/textlookup.h"

#include <algorithm>
#include <string_view>

#include <fmt/args.h>
#include <fmt/format.h>
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

// One conversion of a printf format ("%.2f") formatted with its argument alone.
std::string formatOne(std::string_view conversion, const TextArg& arg) {
    fmt::dynamic_format_arg_store<fmt::printf_context> store;
    std::visit([&store](const auto& value) { store.push_back(value); }, arg);
    return fmt::vsprintf(fmt::string_view(conversion.data(), conversion.size()), store);
}

} // namespace

std::string formatText(const std::string& format, const TextArgs& args, char decimalSeparator) {
    const std::string plain = formatText(format, args);
    const bool anyReal = std::any_of(args.begin(), args.end(), [](const TextArg& arg) {
        return std::holds_alternative<double>(arg);
    });
    if (decimalSeparator == '.' || !anyReal || plain == format)
        return plain;
    // Conversion by conversion, so that only the numbers take the separator. Formats this
    // walk does not follow (positions, "*" widths) keep the plain text.
    std::string text;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            text += format[i];
            continue;
        }
        const std::size_t start = i++;
        while (i < format.size() && std::string_view("-+ #0").find(format[i]) != std::string::npos)
            ++i;
        while (i < format.size() && ((format[i] >= '0' && format[i] <= '9') || format[i] == '.'))
            ++i;
        while (i < format.size() &&
               std::string_view("hlLqjzt").find(format[i]) != std::string::npos)
            ++i;
        if (i >= format.size() || format[i] == '$' || format[i] == '*')
            return plain;
        if (format[i] == '%') {
            text += '%';
            continue;
        }
        if (next >= args.size())
            return plain;
        const TextArg& arg = args[next++];
        try {
            std::string piece =
                formatOne(std::string_view(format).substr(start, i + 1 - start), arg);
            if (std::holds_alternative<double>(arg))
                std::replace(piece.begin(), piece.end(), '.', decimalSeparator);
            text += piece;
        } catch (const fmt::format_error&) {
            return plain;
        }
    }
    return text;
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
