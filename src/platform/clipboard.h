#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor::platform {

/// Names of the clipboard formats every platform knows. Private formats of the item kinds
/// are named by the program (string-table entries 482–489).
namespace clipboard_format {
/// Plain text, UTF-8, lines ended by CR LF.
inline constexpr std::string_view kText = "Text";
/// Rich text (RTF).
inline constexpr std::string_view kRichText = "Rich Text Format";
/// Spreadsheet cells as a BIFF2 worksheet.
inline constexpr std::string_view kBiff = "Biff";
/// The same cells as an HTML table (UTF-8), for spreadsheets that do not read BIFF.
inline constexpr std::string_view kHtml = "HTML Format";
/// A picture as PNG bytes.
inline constexpr std::string_view kBitmap = "Bitmap";
/// A vector picture as SVG bytes.
inline constexpr std::string_view kMetafile = "Metafile";
} // namespace clipboard_format

/// One form of the clipboard's content: the format name and its bytes.
struct ClipboardEntry {
    std::string format;
    std::string bytes;
};

/// The system clipboard. Content is published as a whole: setting entries replaces
/// everything that was there, so a paste never sees a mix of two copies.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    /// Replaces the clipboard's content with these entries (an empty list clears it).
    virtual void setEntries(const std::vector<ClipboardEntry>& entries) = 0;
    virtual bool hasFormat(std::string_view format) const = 0;
    /// The bytes of a format; none when the clipboard does not hold it.
    virtual std::optional<std::string> data(std::string_view format) const = 0;
};

} // namespace kalydor::platform
