#pragma once

#include "base/error.h"

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
    LineTooLong = 8,
};

/// The numbered format error for a file and a 0-based line index; the message is cut to at
/// most 255 characters.
Error textFormatError(TextFormatError error, const std::string& fileName, int lineIndex);
/// Raises it.
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

/// Reads the text exchange format: a sequence of lines consumed token by token. Blank and
/// comment lines are skipped; "INCLUDE" continues in another file until its "END" (every read
/// goes to the innermost included file). Every fault raises the numbered format error with
/// the name of the file being read and the index of its current line.
///
/// A file is read line by line through a fixed buffer, never whole: memory stays bounded by
/// the longest line taken (`kMaxLineLength`) times the depth of includes, whatever the size
/// of the files, and time grows with their size.
class TextTokenReader {
public:
    /// Opens a file by its name. The bytes are read as UTF-8 (a leading byte-order mark is
    /// skipped) or, when the file is not valid UTF-8 throughout, as Windows-1250. Raises
    /// "IDS_FILEREADERROR" when the file cannot be read or is no regular file.
    explicit TextTokenReader(const std::string& fileName);
    /// A reader over bytes already in memory; `fileName` names them in messages and is the
    /// place relative include names are resolved against.
    TextTokenReader(std::string bytes, std::string fileName);
    ~TextTokenReader();
    TextTokenReader(const TextTokenReader&) = delete;
    TextTokenReader& operator=(const TextTokenReader&) = delete;

    /// Deepest nesting of included files.
    static constexpr int kMaxIncludeDepth = 16;
    /// Longest line that can hold tokens (error 8 beyond it). A longer comment line, or a
    /// longer run of blanks before a token, is passed over without being kept.
    static constexpr std::size_t kMaxLineLength = 1024 * 1024;

    /// Gives the bytes of an included file from its resolved path instead of the disk (tests
    /// and fuzzing); raises an error when it cannot. Without one, files are read from the disk.
    using IncludeLoader = std::function<std::string(const std::string& path)>;
    void setIncludeLoader(IncludeLoader loader);
    /// Turns the name written after "INCLUDE" into the path of the file to read, given the
    /// file that includes it; raises an error to refuse the include (error 6). Without one, a
    /// relative name is taken from the folder of the including file and an absolute one as it
    /// is. Readers that must keep includes inside a folder install their own.
    using IncludeResolver =
        std::function<std::string(const std::string& includingFile, const std::string& name)>;
    void setIncludeResolver(IncludeResolver resolver);
    /// With true, running out of lines where `NextRecord` expects a keyword acts as "END" (it
    /// closes an included file, and ends the outermost one). Off by default: an exchange file
    /// must end with "END" (error 3 otherwise). Inside a record running out is always error 3.
    void setEndOfInputEndsFile(bool ends);
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

    class LineSource;

private:
    TextTokenReader(std::unique_ptr<LineSource> source, std::string fileName, std::string identity,
                    int depth, std::vector<std::string> ancestors);
    TextTokenReader& innermost();
    const TextTokenReader& innermost() const;
    void include(const std::string& name);
    void closeInnermostInclude();
    /// Moves to the next token like `SkipBlank`; false when the lines run out.
    bool skipToToken();
    void nextLine();
    [[noreturn]] void fail(TextFormatError error) const;
    std::string_view rest() const;

    std::unique_ptr<LineSource> m_source;
    std::string m_text;     ///< the current line, UTF-8
    bool m_hasLine = false; ///< false when the lines have run out
    std::size_t m_line = 0; ///< index of the current line
    std::size_t m_column = 0;
    std::string m_fileName;
    std::string m_identity; ///< the canonical path, to refuse an include of itself
    int m_depth = 0;
    std::vector<std::string> m_ancestors;
    IncludeLoader m_loader;
    IncludeResolver m_resolver;
    bool m_endOfInputEndsFile = false;
    std::unique_ptr<TextTokenReader> m_included;
};

} // namespace kalydor
