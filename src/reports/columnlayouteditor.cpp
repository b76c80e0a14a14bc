#include "reports/columnlayouteditor.h"

#include "reports/captionmarkup.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "platform/prompter.h"
#include "platform/settingsstore.h"

#include <algorithm>
#include <cmath>

namespace kalydor {
namespace {

constexpr int kNeedFirstColumnText = 32000;
constexpr int kMinimumWidth = 3;
constexpr int kMaximumWidth = 32767;

// A whole number typed into a box, within [low, high]; otherwise "IDS_WRONGVALUE".
int wholeNumber(const std::string& text, int low, int high) {
    const double value = ParseNumber(text, NumberRule::Any);
    if (value != std::floor(value) || value < low || value > high)
        throw Error("IDS_WRONGVALUE");
    return static_cast<int>(value);
}

// An own caption is stored on one line between separators: those characters become blanks.
std::string oneLineCaption(std::string text) {
    for (char& c : text) {
        if (c == kOwnCaptionSeparator || c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

} // namespace

ColumnLayoutEditor::ColumnLayoutEditor(ColumnLayout& layout, const TextLookup& languages)
    : m_layout(layout)
    , m_original(layout)
    , m_languages(languages) {}

std::string ColumnLayoutEditor::EntryText(int position) const {
    const ColumnFormat& column = m_layout.ColumnAt(position);
    std::string text;
    for (int line = 0; line < std::max(m_layout.TitleLineCount, column.OwnCaptions ? 2 : 0);
         ++line) {
        const std::string part = PlainCaption(column.Caption(line), false);
        if (part.empty())
            continue;
        if (!text.empty())
            text += ' ';
        text += part;
    }
    return text.empty() ? std::to_string(column.ID) : text;
}

void ColumnLayoutEditor::refuseHiddenFirstColumn() const {
    platform::prompter().showMessage(m_languages.stringTableText(kNeedFirstColumnText));
}

bool ColumnLayoutEditor::SetVisible(int position, bool visible) {
    if (position == 0 && !visible) {
        refuseHiddenFirstColumn();
        return false;
    }
    m_layout.ColumnAt(position).Visible = visible;
    return true;
}

bool ColumnLayoutEditor::MoveUp(int position) {
    if (position <= 0 || position >= Count())
        return false;
    // Moving to the top, or the top column down, must leave a visible column first.
    if (position == 1 && !m_layout.ColumnAt(1).Visible) {
        refuseHiddenFirstColumn();
        return false;
    }
    m_layout.Swap(position - 1, position);
    return true;
}

bool ColumnLayoutEditor::MoveDown(int position) {
    if (position < 0 || position + 1 >= Count())
        return false;
    return MoveUp(position + 1);
}

ColumnSettings ColumnLayoutEditor::Settings(int position) const {
    const ColumnFormat& column = m_layout.ColumnAt(position);
    ColumnSettings settings;
    settings.Width = std::to_string(column.Width);
    settings.CaptionAlignment = column.CaptionAlignment;
    settings.DataAlignment = column.DataAlignment;
    settings.ShowZero = column.ShowZero;
    settings.Precision = std::to_string(column.Precision);
    settings.Digits = std::to_string(column.Digits);
    settings.RealFormat = column.RealFormat;
    settings.OwnCaptions = column.OwnCaptions;
    // Without own captions yet, the editor starts from the captions the column shows.
    settings.OwnCaption1 = column.OwnCaptions ? column.OwnCaption1 : column.Caption(0);
    settings.OwnCaption2 = column.OwnCaptions ? column.OwnCaption2 : column.Caption(1);
    settings.Multiplier = formatGeneral(column.Multiplier, 15);
    return settings;
}

std::optional<ColumnSettingsError> ColumnLayoutEditor::Apply(int position,
                                                             const ColumnSettings& settings) {
    ColumnFormat column = m_layout.ColumnAt(position);
    using Field = ColumnSettingsError::Field;
    Field field = Field::Width;
    try {
        const double width = std::floor(ParseNumber(settings.Width, NumberRule::Any) + 0.5);
        column.Width = static_cast<std::int16_t>(std::clamp(
            width, static_cast<double>(kMinimumWidth), static_cast<double>(kMaximumWidth)));
        column.CaptionAlignment = settings.CaptionAlignment;
        column.DataAlignment = settings.DataAlignment;
        if (column.ValueType != ColumnType::Text)
            column.ShowZero = settings.ShowZero;
        if (column.ValueType == ColumnType::Real) {
            field = Field::Precision;
            column.Precision = wholeNumber(settings.Precision, 1, 17);
            field = Field::Digits;
            column.Digits = wholeNumber(settings.Digits, 0, 18);
            column.RealFormat = settings.RealFormat;
        }
        column.OwnCaptions = settings.OwnCaptions;
        if (settings.OwnCaptions) {
            column.OwnCaption1 = oneLineCaption(settings.OwnCaption1);
            column.OwnCaption2 = oneLineCaption(settings.OwnCaption2);
            field = Field::Multiplier;
            column.Multiplier = ParseNumber(settings.Multiplier, NumberRule::Positive);
        }
    } catch (const Error& error) {
        return ColumnSettingsError{field, error.text()};
    }
    m_layout.ColumnAt(position) = std::move(column);
    return std::nullopt;
}

void ColumnLayoutEditor::Confirm(platform::SettingsStore& store) {
    if (!m_layout.Name.empty())
        m_layout.SaveSettings(store);
}

void ColumnLayoutEditor::Cancel() {
    m_layout = m_original;
}

bool ColumnLayoutEditor::Changed() const {
    return m_layout.Columns != m_original.Columns || m_layout.Order != m_original.Order;
}

} // namespace kalydor
