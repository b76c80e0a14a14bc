#pragma once

#include "reports/columnlayout.h"

#include <optional>
#include <string>

namespace kalydor {

class TextLookup;
namespace platform {
class SettingsStore;
}

/// The settings of one column as the column editor shows them: numbers as typed text.
struct ColumnSettings {
    std::string Width;
    ColumnAlignment CaptionAlignment = ColumnAlignment::Left;
    ColumnAlignment DataAlignment = ColumnAlignment::Left;
    bool ShowZero = true;
    std::string Precision;
    std::string Digits;
    RealNumberFormat RealFormat = RealNumberFormat::General;
    bool OwnCaptions = false;
    std::string OwnCaption1;
    std::string OwnCaption2;
    std::string Multiplier;
};

/// The field of a rejected value and the message for the editor's status line.
struct ColumnSettingsError {
    enum class Field { Width, Precision, Digits, Multiplier };
    Field field;
    std::string text;
};

/// The logic of the column editor (`ColumnLayoutDialog`): the columns in display order with
/// their visibility, moving them, and the settings of one column. Changes go straight into
/// the layout; cancelling restores the copy taken when the editor opened.
class ColumnLayoutEditor {
public:
    /// Messages (string-table text 32000) are looked up in `languages`.
    ColumnLayoutEditor(ColumnLayout& layout, const TextLookup& languages);

    int Count() const { return m_layout.ColumnCount(); }
    /// The entry of the check list: the column's caption lines as plain text.
    std::string EntryText(int position) const;
    bool IsVisible(int position) const { return m_layout.ColumnAt(position).Visible; }
    ColumnType ValueType(int position) const { return m_layout.ColumnAt(position).ValueType; }

    /// Ticks or unticks a column. The first column cannot be hidden: the user is told so and
    /// false is returned (the column stays visible).
    bool SetVisible(int position, bool visible);
    /// Moves a column one place up or down. Refused (false, with the first-column message)
    /// when a hidden column would become the first; false at the ends of the list.
    bool MoveUp(int position);
    bool MoveDown(int position);

    ColumnSettings Settings(int position) const;
    /// Checks the typed values and, when all are good, applies them to the column. A width
    /// below 3 becomes 3; "," in numbers reads as "."; tabs and line breaks in own captions
    /// become blanks. On a bad value nothing changes and the field and message are returned.
    std::optional<ColumnSettingsError> Apply(int position, const ColumnSettings& settings);

    /// Confirms the editor: the user's settings are saved when the layout has a name.
    void Confirm(platform::SettingsStore& store);
    /// Restores the layout as it was when the editor opened.
    void Cancel();
    /// True when the layout differs from the copy taken when the editor opened.
    bool Changed() const;

    const ColumnLayout& layout() const { return m_layout; }

private:
    void refuseHiddenFirstColumn() const;

    ColumnLayout& m_layout;
    ColumnLayout m_original;
    const TextLookup& m_languages;
};

} // namespace kalydor
