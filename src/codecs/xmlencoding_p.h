#pragma once

// Encoding labels of XML declarations, shared by the XML writer and reader.

#include <string>
#include <string_view>

namespace kalydor::xmlencoding {

/// The label in lower case without "-", "_" and spaces: "ISO-8859-2", "iso8859_2" and
/// "ISO 8859-2" all give "iso88592".
inline std::string labelKey(std::string_view label) {
    std::string key;
    for (const char c : label) {
        if (c == '-' || c == '_' || c == ' ')
            continue;
        key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key;
}

inline bool isUtf8(std::string_view label) {
    return labelKey(label) == "utf8";
}

/// The names under which ISO-8859-2 is declared.
inline bool isIso88592(std::string_view label) {
    const std::string key = labelKey(label);
    return key == "iso88592" || key == "latin2" || key == "l2" || key == "isolatin2" ||
           key == "csisolatin2" || key == "isoir101" || key == "iso88592:1987";
}

inline bool isWindows1250(std::string_view label) {
    const std::string key = labelKey(label);
    return key == "windows1250" || key == "cp1250" || key == "xcp1250";
}

} // namespace kalydor::xmlencoding
