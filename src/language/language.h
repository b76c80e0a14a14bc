#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kalydor {

/// The translation of one control of a window: its name, the control type the properties
/// are meant for, and the property ids with their values in file order.
struct LanguageFormItem {
    std::string name;
    std::string type;
    std::vector<std::string> propertyIds;
    std::vector<std::string> values;
};

/// The translation of one window: its own properties and those of its controls.
struct LanguageForm {
    std::string name;
    std::vector<std::string> propertyIds;
    std::vector<std::string> values;
    std::vector<LanguageFormItem> items;
};

/// Column captions of one list layout: code = column id + 256 x (caption line - 1).
struct LanguageTitle {
    std::string name;
    std::vector<std::int16_t> codes;
    std::vector<std::string> texts;
};

/// One loaded language file.
struct Language {
    std::string id;
    bool userInterface = false;
    std::vector<LanguageForm> forms;
    std::map<std::string, std::string, std::less<>> strings;
    std::vector<LanguageTitle> titles;
};

} // namespace kalydor
