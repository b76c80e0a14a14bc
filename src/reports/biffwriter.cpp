#include "reports/biffwriter.h"

#include "base/textencoding.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kalydor {

namespace {

constexpr std::uint16_t kBof = 0x0009;
constexpr std::uint16_t kDimensions = 0x0000;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kLabel = 0x0004;
constexpr std::uint16_t kNumber = 0x0003;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kWindows1250 = 1250;
// Cell attributes: cell not locked, default format and font, no alignment.
constexpr char kCellAttributes[3] = {0x40, 0x00, 0x00};
// A BIFF2 worksheet has 256 columns and 16384 rows; cells outside them are not written.
constexpr int kMaxColumns = 256;
constexpr int kMaxRows = 16384;

} // namespace

namespace {

// Windows-1250 has the Romanian letters S and T only with a cedilla; their comma-below forms
// are written as those, as Romanian texts in that code page always were.
char32_t cedillaFormOf(char32_t c) {
    switch (c) {
    case U'\u0218':
        return U'\u015E';
    case U'\u0219':
        return U'\u015F';
    case U'\u021A':
        return U'\u0162';
    case U'\u021B':
        return U'\u0163';
    default:
        return c;
    }
}

} // namespace

std::string windows1250Bytes(std::string_view utf8, std::size_t maxBytes) {
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size() && out.size() < maxBytes) {
        const int byte = windows1250ByteOf(cedillaFormOf(nextCodePoint(utf8, pos)));
        out += byte < 0 ? '?' : char(byte);
    }
    return out;
}

void BiffWriter::writeWord(std::uint16_t value) {
    m_bytes += char(value & 0xFF);
    m_bytes += char(value >> 8);
}

void BiffWriter::beginRecord(std::uint16_t type, std::uint16_t length) {
    writeWord(type);
    writeWord(length);
}

void BiffWriter::BeginSheet() {
    if (!m_bytes.empty())
        return;
    beginRecord(kBof, 4);
    m_bytes.append("\x07\x00\x10\x00", 4);
    beginRecord(kDimensions, 8);
    writeWord(0);
    writeWord(0); // row count, filled in at the end
    writeWord(0);
    writeWord(0); // column count, filled in at the end
    // After DIMENSIONS, so that the count words keep their fixed offsets.
    beginRecord(kCodePage, 2);
    writeWord(kWindows1250);
}

void BiffWriter::writeCellPosition() {
    writeWord(std::uint16_t(m_row));
    writeWord(std::uint16_t(m_column));
    m_bytes.append(kCellAttributes, 3);
}

void BiffWriter::keepCell(Cell cell) {
    if (m_cells.size() <= std::size_t(m_row))
        m_cells.resize(m_row + 1);
    auto& row = m_cells[m_row];
    if (row.size() <= std::size_t(m_column))
        row.resize(m_column + 1);
    row[m_column] = std::move(cell);
}

void BiffWriter::advance(int column) {
    m_column = std::int16_t(std::clamp(column, 0, kMaxColumns));
    m_columnCount = std::max(m_columnCount, m_column);
    m_rowCount = std::max(m_rowCount, m_row);
}

void BiffWriter::TextCell(std::string_view utf8) {
    if (m_ended || m_column >= kMaxColumns || m_row >= kMaxRows) {
        advance(m_column + 1);
        return;
    }
    BeginSheet();
    const std::string text = windows1250Bytes(utf8, 255);
    beginRecord(kLabel, std::uint16_t(text.size() + 8));
    writeCellPosition();
    m_bytes += char(text.size());
    m_bytes += text;
    keepCell(std::string(utf8));
    advance(m_column + 1);
}

void BiffWriter::NumberCell(double value) {
    if (m_ended || m_column >= kMaxColumns || m_row >= kMaxRows) {
        advance(m_column + 1);
        return;
    }
    BeginSheet();
    beginRecord(kNumber, 15);
    writeCellPosition();
    char raw[8];
    std::memcpy(raw, &value, 8); // IEEE double, little-endian on every target we build for
    m_bytes.append(raw, 8);
    keepCell(value);
    advance(m_column + 1);
}

void BiffWriter::NumberCellIf(double value, bool condition) {
    if (condition)
        NumberCell(value);
    else
        SkipCell();
}

void BiffWriter::SkipCell() {
    advance(m_column + 1);
}

void BiffWriter::GoToColumn(int column) {
    advance(column);
}

void BiffWriter::NewRow() {
    if (m_row < kMaxRows)
        ++m_row;
    advance(0);
}

void BiffWriter::EndSheet() {
    if (m_ended || m_bytes.empty())
        return;
    beginRecord(kEof, 0);
    const auto patch = [this](std::size_t offset, std::uint16_t value) {
        m_bytes[offset] = char(value & 0xFF);
        m_bytes[offset + 1] = char(value >> 8);
    };
    patch(kRowCountOffset, std::uint16_t(m_rowCount));
    patch(kColumnCountOffset, std::uint16_t(m_columnCount));
    m_ended = true;
}

namespace {

void appendHtmlEscaped(std::string& html, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        default:
            html += c;
            break;
        }
    }
}

} // namespace

std::string htmlTableOfCells(const std::vector<std::vector<BiffWriter::Cell>>& cells) {
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n"
                       "<table>\n";
    for (const auto& row : cells) {
        html += "<tr>";
        for (const auto& cell : row) {
            if (const auto* text = std::get_if<std::string>(&cell)) {
                html += "<td>";
                appendHtmlEscaped(html, *text);
            } else if (const auto* number = std::get_if<double>(&cell)) {
                // The number text of the other forms: a value stored in single precision
                // (0.04f is 0.03999999910593033 as a double) as the shortest text that gives
                // that float back, any other as the shortest for the double. "sdval" gives
                // spreadsheets the value whatever their locale's decimal separator.
                const auto single = static_cast<float>(*number);
                const std::string value = std::isfinite(*number) && double(single) == *number
                                              ? fmt::format("{}", single)
                                              : fmt::format("{}", *number);
                html += "<td sdval=\"" + value + "\" sdnum=\"1033;\">" + value;
            } else {
                html += "<td>";
            }
            html += "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table>\n</body></html>\n";
    return html;
}

} // namespace kalydor
