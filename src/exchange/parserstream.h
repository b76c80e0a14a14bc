#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

/// Error numbers of the text exchange reader: the language text "IDS_TEXTCONVERTERROR+" N
/// formatted with the file name and the 0-based line index.
enum class TextFormatError {
    IntegerExpected = 0,
    RealExpected = 1,
    StringExpected = 2,
    UnexpectedEnd = 3,
    WrongKeyword = 4,
    UnsupportedLayout = 5,
    BadInclude = 6,
    BadName = 7,
};

/// Raises the numbered format error for a file and a 0-based line index; the message is cut to
/// at most 255 characters.
[[noreturn]] void throwTextFormatError(TextFormatError error, const std::string& fileName,
                                       int lineIndex);

/// The header of one record of a text exchange file.
struct TextRecordHeader {
    std::string keyword;
    int version = 0;
    int year = 0;
    int month = 0;
    int day = 0;
    std::string groupPath; ///< components separated by one backslash
    std::string name;
};

/// What `NextRecord` found.
enum class NextRecordResult { Record = 0, Reset = 1, End = 2 };

/// Reads the text exchange format: a list of lines consumed token by token. Blank and
/// comment lines are skipped; "INCLUDE" continues in another file until its "END" (every read
/// goes to the innermost included file). Every fault raises the numbered format error with
/// the name of the file being read and the index of its current line.
class TParserStream {
public:
    /// Loads a file by its name. The bytes are read as UTF-8 (a leading byte-order mark is
    /// skipped) or, when they are not valid UTF-8, as Windows-1250. Raises
    /// "IDS_FILEREADERROR" when the file cannot be read.
    explicit TParserStream(const std::string& fileName);
    /// A reader over bytes already in memory; `fileName` names them in messages and is the
    /// place relative include names are resolved against.
    TParserStream(std::string bytes, std::string fileName);
    ~TParserStream();
    TParserStream(const TParserStream&) = delete;
    TParserStream& operator=(const TParserStream&) = delete;

    /// Deepest nesting of included files.
    static constexpr int kMaxIncludeDepth = 16;
    /// Largest file the reader takes.
    static constexpr std::size_t kMaxFileSize = 64u * 1024 * 1024;

    /// Loads the bytes of an included file given its resolved path; raises an error when it
    /// cannot. The default reads regular files from the disk.
    using IncludeLoader = std::function<std::string(const std::string& path)>;
    void setIncludeLoader(IncludeLoader loader);
    /// Called when "AUTOYES" is read.
    std::function<void()> onAutoYes;

    std::string NextString();
    std::int32_t NextInt();
    float NextReal();
    /// Reads control keywords and the next record header.
    NextRecordResult NextRecord(TextRecordHeader& header);
    /// Moves to the next line that holds a token (error 3 when the lines run out).
    void SkipBlank();

    /// The file (innermost include) and the 0-based index of its current line.
    const std::string& FileName() const;
    int LineIndex() const;
    /// Number of included files being read.
    int IncludeDepth() const;

private:
    TParserStream(std::string bytes, std::string fileName, std::string identity, int depth,
                  std::vector<std::string> ancestors);
    TParserStream& innermost();
    const TParserStream& innermost() const;
    void include(const std::string& name);
    [[noreturn]] void fail(TextFormatError error) const;
    std::string_view rest() const;

    std::vector<std::string> m_lines;
    std::size_t m_line = 0;
    std::size_t m_column = 0;
    std::string m_fileName;
    std::string m_identity; ///< the canonical path, to refuse an include of itself
    int m_depth = 0;
    std::vector<std::string> m_ancestors;
    IncludeLoader m_loader;
    std::unique_ptr<TParserStream> m_included;
};

/// The text of a file's bytes as the text exchange reader takes them: UTF-8 without a leading
/// byte-order mark, or Windows-1250 converted to UTF-8.
std::string exchangeTextFromBytes(std::string_view bytes);

} // namespace kalydor
