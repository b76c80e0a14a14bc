#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kalydor {

/// Spreadsheet cells as a BIFF2 worksheet (the "Biff" clipboard format spreadsheets read):
/// a start block, one record per cell, an end record. A cursor walks the sheet row by row;
/// every cell is written at the cursor and moves it one column on.
///
/// Texts are written in Windows-1250 (a CODEPAGE record says so): the Romanian comma-below
/// letters take their cedilla forms, any other character that code page lacks becomes "?",
/// and a text is cut at 255 bytes, the most a cell's length byte can say.
/// The cells are also kept as written, so that other forms (an HTML table) can be made from
/// the same sheet.
class BiffWriter {
public:
    /// A cell as written: empty, a UTF-8 text or a number.
    using Cell = std::variant<std::monostate, std::string, double>;

    /// Writes the start block: BOF, DIMENSIONS (its row and column counts are filled in by
    /// EndSheet) and CODEPAGE. Cells written before it begin the sheet themselves.
    void BeginSheet();
    /// A text cell (LABEL record).
    void TextCell(std::string_view utf8);
    /// A number cell (NUMBER record).
    void NumberCell(double value);
    /// A number cell when the condition holds; otherwise the cell stays empty.
    void NumberCellIf(double value, bool condition);
    void SkipCell();
    void GoToColumn(int column);
    /// Moves the cursor to the first column of the next row.
    void NewRow();
    /// Writes the end record and fills in the row and column counts; later calls do nothing.
    void EndSheet();

    bool empty() const { return m_bytes.empty(); }
    const std::string& bytes() const { return m_bytes; }
    int row() const { return m_row; }
    int column() const { return m_column; }
    int rowCount() const { return m_rowCount; }
    int columnCount() const { return m_columnCount; }
    /// The cells written, by row and column (rows may be shorter than the column count).
    const std::vector<std::vector<Cell>>& cells() const { return m_cells; }

    /// Offsets of the row and column count words of the DIMENSIONS record.
    static constexpr std::size_t kRowCountOffset = 14;
    static constexpr std::size_t kColumnCountOffset = 18;

private:
    void beginRecord(std::uint16_t type, std::uint16_t length);
    void writeCellPosition();
    void keepCell(Cell cell);
    void advance(int column);
    void writeWord(std::uint16_t value);

    std::string m_bytes;
    std::vector<std::vector<Cell>> m_cells;
    std::int16_t m_row = 0;
    std::int16_t m_column = 0;
    std::int16_t m_rowCount = 0;
    std::int16_t m_columnCount = 0;
    bool m_ended = false;
};

/// The UTF-8 text in Windows-1250 ("ș" as "ş", "ț" as "ţ", other unknown characters as "?"),
/// at most maxBytes bytes.
std::string windows1250Bytes(std::string_view utf8, std::size_t maxBytes);

/// An HTML document holding the cells as one table (UTF-8; numbers carry their exact value
/// for spreadsheets that read it).
std::string htmlTableOfCells(const std::vector<std::vector<BiffWriter::Cell>>& cells);

} // namespace kalydor
