#include "reports/columnlayout.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "base/resources.h"
#include "base/textlookup.h"
#include "platform/settingsstore.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace kalydor {
namespace {

// Layouts with more caption lines than this are damaged: no list header has room for them.
constexpr int kMaxTitleLines = 8;
constexpr int kMaxPrecision = 17;
constexpr int kMaxDigits = 18;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A whole decimal integer (optional sign) within [low, high]; nothing else in the text.
std::optional<int> wholeNumber(std::string_view text, int low, int high) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high)
        return std::nullopt;
    return value;
}

// Reads the decimal digits at `pos` (at most nine, so the value fits); none gives nullopt.
std::optional<int> digitsAt(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    int value = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        if (pos - start >= 9)
            return std::nullopt;
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == start)
        return std::nullopt;
    return value;
}

ColumnAlignment alignmentOf(char c) {
    if (c == 'c' || c == 'C')
        return ColumnAlignment::Center;
    if (c == 'r' || c == 'R')
        return ColumnAlignment::Right;
    return ColumnAlignment::Left;
}

char alignmentLetter(ColumnAlignment alignment) {
    switch (alignment) {
    case ColumnAlignment::Center:
        return 'c';
    case ColumnAlignment::Right:
        return 'r';
    case ColumnAlignment::Left:
        break;
    }
    return 'l';
}

// The number format: optional precision, optional "." and digits, the type letter (upper
// case: zero is shown as "-").
bool readTypeAt(std::string_view text, std::size_t& pos, ColumnFormat& column) {
    if (pos < text.size() && isDigit(text[pos])) {
        const std::optional<int> precision = digitsAt(text, pos);
        if (!precision)
            return false;
        column.Precision = std::clamp(*precision, 1, kMaxPrecision);
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        const std::optional<int> digits = digitsAt(text, pos);
        if (!digits)
            return false;
        column.Digits = std::min(*digits, kMaxDigits);
    }
    if (pos >= text.size() || !isLetter(text[pos]))
        return false;
    const char letter = text[pos++];
    column.ShowZero = !(letter >= 'A' && letter <= 'Z');
    switch (letter | 0x20) {
    case 'g':
        column.ValueType = ColumnType::Real;
        column.RealFormat = RealNumberFormat::General;
        break;
    case 'e':
        column.ValueType = ColumnType::Real;
        column.RealFormat = RealNumberFormat::Scientific;
        break;
    case 'f':
        column.ValueType = ColumnType::Real;
        column.RealFormat = RealNumberFormat::Fixed;
        break;
    case 'i':
        column.ValueType = ColumnType::Integer;
        break;
    default:
        column.ValueType = ColumnType::Text;
        break;
    }
    return true;
}

// A format line of a built-in layout: [mask] precision . digits type caption-alignment
// data-alignment id.
bool readFormatLine(std::string_view line, int editionMask, ColumnFormat& column) {
    line = trimmed(line);
    std::size_t pos = 0;
    if (pos < line.size() && line[pos] == '[') {
        ++pos;
        const bool inverted = pos < line.size() && line[pos] == '!';
        if (inverted)
            ++pos;
        const std::optional<int> mask = digitsAt(line, pos);
        if (!mask || pos >= line.size() || line[pos] != ']')
            return false;
        ++pos;
        const bool shared = (*mask & editionMask) != 0;
        column.InEdition = inverted ? !shared : shared;
    }
    if (!readTypeAt(line, pos, column) || pos + 2 > line.size())
        return false;
    column.CaptionAlignment = alignmentOf(line[pos++]);
    column.DataAlignment = alignmentOf(line[pos++]);
    const std::optional<int> id =
        wholeNumber(line.substr(pos), std::numeric_limits<std::int16_t>::min(),
                    std::numeric_limits<std::int16_t>::max());
    if (!id)
        return false;
    column.ID = static_cast<std::int16_t>(*id);
    return true;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

[[noreturn]] void badLayout(std::string_view name, std::size_t line) {
    throw Error("IDS_COLUMNLAYOUTBAD", {std::string(name), static_cast<std::int64_t>(line)},
                "The column layout %s cannot be read (line %d).");
}

} // namespace

// ---- ColumnFormat ----------------------------------------------------------------

std::string ColumnFormat::Caption(int line) const {
    if (OwnCaptions) {
        if (line == 0)
            return OwnCaption1;
        if (line == 1)
            return OwnCaption2;
        return {};
    }
    if (line < 0 || line >= static_cast<int>(Captions.size()))
        return {};
    return Captions[static_cast<std::size_t>(line)];
}

std::string ColumnFormat::FormatReal(double value, char decimalSeparator) const {
    if (!ShowZero && value == 0)
        return "-";
    if (OwnCaptions)
        value *= Multiplier;
    const int precision = std::clamp(Precision, 1, kMaxPrecision);
    const int digits = std::clamp(Digits, 0, kMaxDigits);
    std::string text;
    if (!std::isfinite(value))
        text = formatGeneral(value, precision);
    else if (RealFormat == RealNumberFormat::Fixed)
        text = formatFixed(value, digits, precision);
    else if (RealFormat == RealNumberFormat::Scientific)
        text = formatScientific(value, precision, std::min(digits, 4));
    else
        text = formatGeneral(value, precision, std::min(digits, 4));
    if (decimalSeparator != '.')
        std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

std::string ColumnFormat::FormatInteger(std::int64_t value) const {
    if (!ShowZero && value == 0)
        return "-";
    return std::to_string(value);
}

std::string ColumnFormat::FormatNumber(double value, char decimalSeparator) const {
    if (ValueType == ColumnType::Integer && std::isfinite(value) && std::fabs(value) < 9e18)
        return FormatInteger(static_cast<std::int64_t>(std::floor(value + 0.5)));
    return FormatReal(value, decimalSeparator);
}

// ---- ColumnLayout -------------------------------------------------------------------

void ColumnLayout::Load(std::string_view resourceName) {
    const std::string_view text = namedResource("titles", resourceName);
    if (text.empty())
        throw Error("IDS_COLUMNLAYOUTMISSING", {std::string(resourceName)},
                    "The program has no column layout %s.");
    LoadFromText(text, resourceName);
    Name = std::string(resourceName);
}

void ColumnLayout::LoadFromText(std::string_view text, std::string_view layoutName,
                                int editionMask) {
    const std::vector<std::string_view> lines = splitLines(text);
    const auto line = [&](std::size_t i) {
        return i < lines.size() ? lines[i] : std::string_view();
    };

    const std::optional<int> titleLines = wholeNumber(line(0), 1, kMaxTitleLines);
    if (!titleLines)
        badLayout(layoutName, 1);
    const std::optional<int> count =
        wholeNumber(line(1), 0, std::numeric_limits<std::int16_t>::max());
    if (!count)
        badLayout(layoutName, 2);
    const std::size_t linesPerColumn = 2 + static_cast<std::size_t>(*titleLines);
    if (lines.size() < 2 + linesPerColumn * static_cast<std::size_t>(*count))
        badLayout(layoutName, lines.size() + 1);

    std::vector<ColumnFormat> columns;
    std::size_t next = 2;
    for (int i = 0; i < *count; ++i) {
        ColumnFormat column;
        const std::optional<int> width =
            wholeNumber(line(next), -std::numeric_limits<std::int16_t>::max(),
                        std::numeric_limits<std::int16_t>::max());
        if (!width)
            badLayout(layoutName, next + 1);
        column.Visible = *width >= 0;
        column.Width = static_cast<std::int16_t>(std::abs(*width));
        if (!readFormatLine(line(next + 1), editionMask, column))
            badLayout(layoutName, next + 2);
        for (int k = 0; k < *titleLines; ++k)
            column.Captions.emplace_back(line(next + 2 + static_cast<std::size_t>(k)));
        next += linesPerColumn;
        if (column.InEdition)
            columns.push_back(std::move(column));
    }

    TitleLineCount = *titleLines;
    Columns = std::move(columns);
    Order.clear();
    for (std::size_t i = 0; i < Columns.size(); ++i)
        Order.push_back(static_cast<std::int16_t>(i));
}

ColumnFormat& ColumnLayout::ColumnAt(int position) {
    return Columns.at(static_cast<std::size_t>(Order.at(static_cast<std::size_t>(position))));
}

const ColumnFormat& ColumnLayout::ColumnAt(int position) const {
    return Columns.at(static_cast<std::size_t>(Order.at(static_cast<std::size_t>(position))));
}

const ColumnFormat* ColumnLayout::FindColumn(int id) const {
    for (const ColumnFormat& column : Columns) {
        if (column.ID == id)
            return &column;
    }
    return nullptr;
}

void ColumnLayout::Swap(int position1, int position2) {
    std::swap(Order.at(static_cast<std::size_t>(position1)),
              Order.at(static_cast<std::size_t>(position2)));
}

std::string ColumnLayout::ColumnSettingsText(const ColumnFormat& column) {
    std::string text = column.Visible ? "" : "-";
    text += std::to_string(column.Width);
    text += alignmentLetter(column.CaptionAlignment);
    text += alignmentLetter(column.DataAlignment);
    char letter = 'S';
    switch (column.ValueType) {
    case ColumnType::Text:
        break;
    case ColumnType::Integer:
        letter = 'I';
        break;
    case ColumnType::Real:
        text += std::to_string(column.Precision) + "." + std::to_string(column.Digits);
        letter = column.RealFormat == RealNumberFormat::Fixed        ? 'F'
                 : column.RealFormat == RealNumberFormat::Scientific ? 'E'
                                                                     : 'G';
        break;
    }
    text += column.ShowZero ? static_cast<char>(letter | 0x20) : letter;
    if (column.OwnCaptions) {
        text += kOwnCaptionSeparator;
        text += column.OwnCaption1;
        text += kOwnCaptionSeparator;
        text += column.OwnCaption2;
        text += kOwnCaptionSeparator;
        text += formatGeneral(column.Multiplier, 15);
    }
    return text;
}

bool ColumnLayout::ApplyColumnSettingsText(std::string_view text, ColumnFormat& column) {
    ColumnFormat read = column;
    std::size_t pos = 0;
    read.Visible = true;
    if (pos < text.size() && text[pos] == '-') {
        read.Visible = false;
        ++pos;
    }
    const std::optional<int> width = digitsAt(text, pos);
    if (!width || *width > std::numeric_limits<std::int16_t>::max() || pos + 2 > text.size())
        return false;
    read.Width = static_cast<std::int16_t>(std::max(*width, 3));
    read.CaptionAlignment = alignmentOf(text[pos++]);
    read.DataAlignment = alignmentOf(text[pos++]);
    if (!readTypeAt(text, pos, read))
        return false;
    read.OwnCaptions = false;
    if (pos < text.size()) {
        if (text[pos] != kOwnCaptionSeparator)
            return false;
        const std::string_view rest = text.substr(pos + 1);
        const std::size_t second = rest.find(kOwnCaptionSeparator);
        if (second == std::string_view::npos)
            return false;
        const std::size_t third = rest.find(kOwnCaptionSeparator, second + 1);
        if (third == std::string_view::npos)
            return false;
        const std::string_view multiplier = trimmed(rest.substr(third + 1));
        // The whole text must be the number: a multiplier that reads only in part is damage.
        if (multiplier.empty() ||
            multiplier.find_first_not_of("0123456789.,+-eE") != std::string_view::npos)
            return false;
        try {
            read.Multiplier = ParseNumber(multiplier, NumberRule::Positive);
        } catch (const Error&) {
            return false;
        }
        read.OwnCaptions = true;
        read.OwnCaption1 = std::string(rest.substr(0, second));
        read.OwnCaption2 = std::string(rest.substr(second + 1, third - second - 1));
    }
    column = std::move(read);
    return true;
}

void ColumnLayout::SaveSettings(platform::SettingsStore& store) const {
    if (Name.empty())
        return;
    const std::string key = "Headers/" + Name;
    std::string order;
    for (std::size_t i = 0; i < Order.size(); ++i) {
        if (i > 0)
            order += ',';
        order += std::to_string(Columns.at(static_cast<std::size_t>(Order[i])).ID);
    }
    store.writeText(key, "Order", order);
    for (const ColumnFormat& column : Columns)
        store.writeText(key, std::to_string(column.ID), ColumnSettingsText(column));
}

void ColumnLayout::LoadSettings(const platform::SettingsStore& store) {
    if (Name.empty())
        return;
    const std::string key = "Headers/" + Name;
    if (!store.keyExists(key))
        return;
    UserSettings = true;
    if (const std::optional<std::string> order = store.readText(key, "Order")) {
        std::vector<bool> placed(Columns.size(), false);
        std::vector<std::int16_t> newOrder;
        std::string_view rest = *order;
        while (!rest.empty()) {
            const std::size_t comma = rest.find(',');
            const std::optional<int> id = wholeNumber(rest.substr(0, comma), -32768, 32767);
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            if (!id)
                continue;
            for (std::size_t i = 0; i < Columns.size(); ++i) {
                if (!placed[i] && Columns[i].ID == *id) {
                    placed[i] = true;
                    newOrder.push_back(static_cast<std::int16_t>(i));
                    break;
                }
            }
        }
        for (std::size_t i = 0; i < Columns.size(); ++i) {
            if (!placed[i])
                newOrder.push_back(static_cast<std::int16_t>(i));
        }
        Order = std::move(newOrder);
    }
    for (ColumnFormat& column : Columns) {
        if (const std::optional<std::string> value = store.readText(key, std::to_string(column.ID)))
            ApplyColumnSettingsText(*value, column);
    }
    // The first column gives the row its caption: it is never hidden.
    if (!Order.empty())
        ColumnAt(0).Visible = true;
}

std::string ColumnLayout::FormatReal(int position, double value) const {
    return ColumnAt(position).FormatReal(value, DecimalSeparator);
}

std::string ColumnLayout::FormatInteger(int position, std::int64_t value) const {
    return ColumnAt(position).FormatInteger(value);
}

std::vector<int> ColumnLayout::visibleColumnIds() const {
    std::vector<int> ids;
    for (int position = 0; position < ColumnCount(); ++position) {
        if (ColumnAt(position).Visible)
            ids.push_back(ColumnAt(position).ID);
    }
    return ids;
}

std::string ColumnLayout::formatReal(int columnId, double value) const {
    const ColumnFormat* column = FindColumn(columnId);
    return column ? column->FormatReal(value, DecimalSeparator)
                  : ListColumns::formatReal(columnId, value);
}

std::string ColumnLayout::formatInteger(int columnId, std::int64_t value) const {
    const ColumnFormat* column = FindColumn(columnId);
    return column ? column->FormatInteger(value) : ListColumns::formatInteger(columnId, value);
}

// ---- Translation and loading -------------------------------------------------------------

void TranslateListTitles(const TextLookup& languages, ColumnLayout& layout,
                         std::string_view layoutName) {
    for (const ListTitleEntry& entry : languages.listTitles(layoutName)) {
        const int row = entry.code >> 8;
        const int id = entry.code & 0xFF;
        if (row < 0 || row >= layout.TitleLineCount)
            continue;
        for (ColumnFormat& column : layout.Columns) {
            if (column.ID != id)
                continue;
            if (column.Captions.size() < static_cast<std::size_t>(layout.TitleLineCount))
                column.Captions.resize(static_cast<std::size_t>(layout.TitleLineCount));
            column.Captions[static_cast<std::size_t>(row)] = entry.text;
        }
    }
}

ColumnLayout loadColumnLayout(std::string_view resourceName, const TextLookup& languages,
                              const platform::SettingsStore* store, std::string_view settingsName) {
    ColumnLayout layout;
    layout.Load(resourceName);
    // Built-in texts may carry "#KEY#" placeholders; the list titles then replace lines.
    for (ColumnFormat& column : layout.Columns) {
        for (std::string& caption : column.Captions)
            caption = languages.expandPlaceholders(caption);
    }
    TranslateListTitles(languages, layout, resourceName);
    // Numbers in lists read as the language writes them.
    layout.DecimalSeparator = decimalSeparatorOf(languages);
    if (!settingsName.empty())
        layout.Name = std::string(settingsName);
    if (store)
        layout.LoadSettings(*store);
    return layout;
}

} // namespace kalydor
