#pragma once

#include <string>
#include <string_view>

namespace kalydor {

/// Writes a file so that nobody ever sees it half-written and a failure leaves the old one as
/// it was: the bytes go into a new file beside the target, which `commit` renames over it.
///
/// - A symbolic link is followed to the file it names, and that file is replaced: the link
///   stays a link (also a link to a file not made yet).
/// - A target that exists and is not a regular file (a folder, a device, a pipe, a socket) is
///   refused with "IDS_FILENOTREGULAR"; it is never replaced by a regular file.
/// - A file that is replaced keeps its permissions, and its owner where the program may set it.
///   A new file gets the permissions new files get (the umask applies).
///
/// Usage: open, write the bytes in as many pieces as suit the caller, commit. A writer that is
/// destroyed, or abandoned, before `commit` removes its temporary file and the target stays
/// untouched; so does every error, which raises kalydor::Error ("IDS_FILEWRITEERROR" with the
/// file name and the reason, or "IDS_FILENOTREGULAR").
class SafeFileWriter {
public:
    /// Opens the temporary file for the target `fileName`.
    explicit SafeFileWriter(const std::string& fileName);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    /// Appends bytes (buffered). Raises after abandoning the file when the disk refuses them.
    void write(std::string_view bytes);
    /// Writes what is buffered, makes it durable and renames the file over its target.
    void commit();
    /// Removes the temporary file; the target keeps its old content. Idempotent.
    void abandon() noexcept;

    bool isOpen() const { return m_fd >= 0; }
    bool committed() const { return m_committed; }
    /// The name as given, and the file that is replaced (the end of its links).
    const std::string& fileName() const { return m_fileName; }
    const std::string& target() const { return m_target; }

private:
    void flush();
    [[noreturn]] void fail(int error);

    std::string m_fileName;
    std::string m_target;
    std::string m_temporary;
    std::string m_buffer;
    int m_fd = -1;
    bool m_committed = false;
};

/// Writes all bytes of a file at once through a SafeFileWriter.
void writeFileSafely(const std::string& fileName, std::string_view bytes);

} // namespace kalydor
