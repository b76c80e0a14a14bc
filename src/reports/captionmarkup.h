#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

/// One piece of a caption drawn in one font state.
struct CaptionRun {
    enum class Position : std::uint8_t { Normal, Superscript, Subscript };
    std::string text; ///< UTF-8; Greek letters of the symbol codes already as Unicode
    Position position = Position::Normal;
    bool symbol = false; ///< written after "\f" (Greek letters)
};

/// The Greek letter the symbol font shows for a Latin letter, as UTF-8; empty for others.
std::string_view greekLetter(char c);

/// Splits a caption at its markup: "\u" superscript, "\d" subscript, "\f" Greek letters
/// ("\fl" is lambda), "\p" back to plain, "\\" a backslash, "\;" end of the short caption.
/// With `shortForm` the caption stops at "\;". An unknown code is kept as it stands.
std::vector<CaptionRun> ParseCaption(std::string_view caption, bool shortForm);
/// The caption as plain Unicode text (superscript and subscript written inline).
std::string PlainCaption(std::string_view caption, bool shortForm);

} // namespace kalydor
