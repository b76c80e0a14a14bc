#include "language/windowtranslation.h"

#include "language/translatablewindow.h"

#include <array>
#include <cctype>
#include <string_view>

namespace kalydor {
namespace {

using Axis = TranslatableControl::Axis;

// Which property ids a control type takes.
struct TypeRule {
    std::string_view type;
    std::array<std::string_view, 5> properties;
};

constexpr TypeRule kTypeRules[] = {
    {"TAction", {"Caption", "Hint"}},
    {"TButton", {"Caption", "Hint"}},
    {"TChart",
     {"Title.Text.Strings", "BottomAxis.Title.Caption", "LeftAxis.Title.Caption",
      "RightAxis.Title.Caption", "TopAxis.Title.Caption"}},
    {"TCheckBox", {"Caption"}},
    {"TCheckListBox", {"Items.Strings"}},
    {"TComboBox", {"Text", "Hint", "Items.Strings"}},
    {"TEdit", {"Text", "Hint"}},
    {"TGroupBox", {"Caption", "Hint"}},
    {"TImage", {"Hint"}},
    {"TLabel", {"Caption", "Hint"}},
    {"TListHeader", {"Hint"}},
    {"TListView", {"Columns.item.Caption"}},
    {"TMenuItem", {"Caption", "Hint"}},
    {"TOpenDialog", {"Filter", "Title"}},
    {"TPageControl", {"Hint"}},
    {"TPanel", {"Caption"}},
    {"TRadioButton", {"Caption"}},
    {"TRadioGroup", {"Caption", "Items.Strings"}},
    {"TSaveDialog", {"Filter", "Title"}},
    {"TSeries", {"Title"}},
    {"TSpeedButton", {"Caption", "Hint"}},
    {"TTabSheet", {"Caption"}},
    {"TToolButton", {"Caption", "Hint"}},
    {"TUpDown", {"Hint"}},
};

bool typeTakes(std::string_view type, std::string_view property) {
    for (const TypeRule& rule : kTypeRules) {
        if (rule.type != type)
            continue;
        for (const std::string_view p : rule.properties) {
            if (!p.empty() && p == property)
                return true;
        }
        return false;
    }
    return false;
}

void applyProperty(TranslatableControl& control, std::string_view id, const std::string& value,
                   int& index) {
    if (id == "Caption")
        control.setCaption(value);
    else if (id == "Hint")
        control.setHint(value);
    else if (id == "Text")
        control.setText(value);
    else if (id == "Filter")
        control.setFilter(value);
    else if (id == "Title")
        control.setTitle(value);
    else if (id == "Items.Strings")
        control.setListItem(index++, value);
    else if (id == "Columns.item.Caption")
        control.setColumnCaption(index++, value);
    else if (id == "Title.Text.Strings")
        control.appendTitleLine(value);
    else if (id == "BottomAxis.Title.Caption")
        control.setAxisTitle(Axis::Bottom, value);
    else if (id == "LeftAxis.Title.Caption")
        control.setAxisTitle(Axis::Left, value);
    else if (id == "RightAxis.Title.Caption")
        control.setAxisTitle(Axis::Right, value);
    else if (id == "TopAxis.Title.Caption")
        control.setAxisTitle(Axis::Top, value);
}

const LanguageForm* formNamed(const Language& language, const std::string& name) {
    for (const LanguageForm& form : language.forms) {
        if (form.name == name)
            return &form;
    }
    return nullptr;
}

} // namespace

const LanguageForm* findForm(const Language& language, const std::string& windowName) {
    if (const LanguageForm* form = formNamed(language, windowName))
        return form;
    std::size_t end = windowName.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(windowName[end - 1])))
        --end;
    if (end == windowName.size() || end == 0 || windowName[end - 1] != '_')
        return nullptr;
    return formNamed(language, windowName.substr(0, end - 1));
}

void applyForm(const LanguageForm& form, TranslatableWindow& window) {
    for (std::size_t i = 0; i < form.propertyIds.size(); ++i) {
        const std::string& id = form.propertyIds[i];
        if (id == "Caption")
            window.setCaption(form.values[i]);
        else if (id == "Hint")
            window.setHint(form.values[i]);
        else if (id == "HelpFile")
            window.setHelpFile(form.values[i]);
    }
    for (const LanguageFormItem& item : form.items) {
        TranslatableControl* control = window.control(item.name);
        if (!control)
            continue;
        int index = 0;
        for (std::size_t i = 0; i < item.propertyIds.size(); ++i) {
            if (typeTakes(item.type, item.propertyIds[i]))
                applyProperty(*control, item.propertyIds[i], item.values[i], index);
        }
    }
}

} // namespace kalydor
