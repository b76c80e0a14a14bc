#pragma once

#include "store/dbitem.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class TextLookup;
namespace platform {
class SettingsStore;
}

/// The edition bits of this program: a column whose edition mask shares no bit with it (or,
/// for a "!" mask, shares one) does not exist here and is dropped when a layout is loaded.
inline constexpr int kEditionMask = 194;

/// Separates the user's own caption lines and the multiplier in a stored column value. A tab
/// cannot be typed into a one-line caption box (it moves the focus), the column editor
/// replaces a pasted one by a blank, and unlike a control character it stays legible ("\t")
/// in the settings file; "|", ";" or "," may well appear in a caption.
inline constexpr char kOwnCaptionSeparator = '\t';

enum class ColumnAlignment : std::uint8_t { Left = 0, Right = 1, Center = 2 };
enum class ColumnType : std::uint8_t { Text = 0, Integer = 1, Real = 2 };
enum class RealNumberFormat : std::uint8_t { General = 0, Scientific = 1, Fixed = 2 };

/// One column of a list or printed table: its id (what the item is asked for), width,
/// alignments, number format and captions, and the user's own captions and multiplier.
struct ColumnFormat {
    ColumnAlignment CaptionAlignment = ColumnAlignment::Left;
    ColumnAlignment DataAlignment = ColumnAlignment::Left;
    bool Visible = true;
    std::int16_t ID = 0;
    std::int16_t Width = 50;
    ColumnType ValueType = ColumnType::Text;
    int Precision = 5; ///< significant digits of reals
    int Digits = 3;    ///< decimals (fixed) or least exponent digits (general, scientific)
    bool ShowZero = true;
    RealNumberFormat RealFormat = RealNumberFormat::General;
    std::vector<std::string> Captions; ///< one text per caption line, with caption markup
    bool InEdition = true;
    bool OwnCaptions = false;
    std::string OwnCaption1;
    std::string OwnCaption2;
    double Multiplier = 1.0;

    /// The caption line shown (0-based): the user's own one when own captions are on.
    std::string Caption(int line) const;

    /// A real number as cell text: "-" for zero when show zero is off; otherwise the value,
    /// times the multiplier when own captions are on, in the column's real format. General
    /// is the program's general number format (`Precision` significant digits, at least
    /// `Digits` exponent digits). Scientific is "d.ddddE+ddd": `Precision` significant
    /// digits with trailing zeros kept, a signed exponent of at least `Digits` digits.
    /// Fixed has exactly `Digits` decimals; a value with more than `Precision` digits before
    /// the point falls back to the general format. The point is written as `decimalSeparator`.
    std::string FormatReal(double value, char decimalSeparator = '.') const;
    /// An integer as cell text: decimal, or "-" for zero when show zero is off.
    std::string FormatInteger(std::int64_t value) const;
    /// A number in the column's own type: integer columns round to the nearest whole number,
    /// real (and text) columns format as a real.
    std::string FormatNumber(double value, char decimalSeparator = '.') const;

    bool operator==(const ColumnFormat&) const = default;
};

/// A column layout: the columns in resource order and the order they are shown in. Loaded
/// from a built-in layout, adjusted by the user's stored settings, it drives both the list
/// windows and the printed tables.
class ColumnLayout final : public ListColumns {
public:
    /// The name the user's settings are stored under ("Headers/<Name>"); empty: not stored.
    std::string Name;
    int TitleLineCount = 2;
    std::vector<ColumnFormat> Columns;
    /// Display position -> index into Columns.
    std::vector<std::int16_t> Order;
    /// The decimal separator of the display language; files always use ".".
    char DecimalSeparator = '.';
    /// The user has set this layout (stored settings were found, or the column editor
    /// confirmed it): the column widths are the user's; otherwise a list fits its columns
    /// to their content.
    bool UserSettings = false;

    /// Loads the built-in layout of this name (letters compared without regard to case) and
    /// takes the name as the settings name. Raises "IDS_COLUMNLAYOUTMISSING" when there is no
    /// such layout and "IDS_COLUMNLAYOUTBAD" when it cannot be read.
    void Load(std::string_view resourceName);
    /// Loads a layout from its text (lines ended by CR LF or LF). Columns that do not exist
    /// in the edition are dropped. Raises "IDS_COLUMNLAYOUTBAD" with the layout name and the
    /// line number on a text that does not follow the format; the layout is then unchanged.
    void LoadFromText(std::string_view text, std::string_view layoutName = {},
                      int editionMask = kEditionMask);

    int ColumnCount() const { return static_cast<int>(Order.size()); }
    /// The column shown at a display position (0-based).
    ColumnFormat& ColumnAt(int position);
    const ColumnFormat& ColumnAt(int position) const;
    /// The first column with this id, or null.
    const ColumnFormat* FindColumn(int id) const;
    /// Exchanges the columns shown at two display positions.
    void Swap(int position1, int position2);

    /// Writes the order and every column's settings under "Headers/<Name>". Nothing is
    /// written when the layout has no name.
    void SaveSettings(platform::SettingsStore& store) const;
    /// Applies the stored settings of "Headers/<Name>", when there are any. Listed ids take
    /// the display positions in order (an id that no longer exists is skipped), the other
    /// columns follow in resource order. A malformed column value is ignored and the column
    /// keeps its built-in settings. The first column shown is always visible.
    void LoadSettings(const platform::SettingsStore& store);

    /// The settings text of one column ("-12cr5.3g", own captions appended) and its reader;
    /// false (column unchanged) for a malformed text.
    static std::string ColumnSettingsText(const ColumnFormat& column);
    static bool ApplyColumnSettingsText(std::string_view text, ColumnFormat& column);

    /// Cell texts through the column at a display position, with the layout's separator.
    std::string FormatReal(int position, double value) const;
    std::string FormatInteger(int position, std::int64_t value) const;

    std::vector<int> visibleColumnIds() const override;
    /// Cell texts through the first column with this id (general format without one).
    std::string formatReal(int columnId, double value) const override;
    std::string formatInteger(int columnId, std::int64_t value) const override;
};

/// Replaces caption lines of a loaded layout from the current lookup language's list-title
/// translation of that name (code = column id + 256 x (line - 1)); nothing changes when
/// there is no lookup language or no such title.
void TranslateListTitles(const TextLookup& languages, ColumnLayout& layout,
                         std::string_view layoutName);

/// Loads a built-in layout, translates its captions, takes the language's decimal separator
/// and applies the user's settings stored under `settingsName` (the layout name when empty).
ColumnLayout loadColumnLayout(std::string_view resourceName, const TextLookup& languages,
                              const platform::SettingsStore* store,
                              std::string_view settingsName = {});

} // namespace kalydor
