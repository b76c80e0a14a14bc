#include "base/safefilewriter.h"

#include "base/error.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace kalydor {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
// As many links as the system itself follows before it gives up (ELOOP).
constexpr int kMaxLinks = 40;

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

[[noreturn]] void throwWriteError(const std::string& fileName, int error) {
    throw Error("IDS_FILEWRITEERROR", {fileName, std::string(std::strerror(error))},
                "The file %s cannot be written: %s");
}

[[noreturn]] void throwNotRegular(const std::string& fileName) {
    throw Error("IDS_FILENOTREGULAR", {fileName},
                "%s is not a regular file (it is a folder, a device or a pipe); it is not "
                "written over.");
}

// The file a name finally stands for: symbolic links are followed one by one, a relative
// link from the folder of the link. The result need not exist yet.
std::string resolveLinks(const std::string& fileName) {
    std::string path = fileName;
    for (int hops = 0;; ++hops) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        if (hops == kMaxLinks)
            throwWriteError(fileName, ELOOP);
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (length < 0)
            throwWriteError(fileName, errno);
        if (static_cast<std::size_t>(length) == sizeof buffer)
            throwWriteError(fileName, ENAMETOOLONG);
        const std::string link(buffer, static_cast<std::size_t>(length));
        path = !link.empty() && link[0] == '/' ? link : parentOf(path) + "/" + link;
    }
}

// Refuses a target that exists and is anything but a regular file.
void requireRegularOrMissing(const std::string& target, const std::string& fileName) {
    struct stat status {};
    if (::lstat(target.c_str(), &status) != 0) {
        if (errno == ENOENT)
            return;
        throwWriteError(fileName, errno);
    }
    if (!S_ISREG(status.st_mode))
        throwNotRegular(fileName);
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

SafeFileWriter::SafeFileWriter(const std::string& fileName)
    : m_fileName(fileName) {
    if (fileName.empty())
        throwWriteError(fileName, ENOENT);
    m_target = resolveLinks(fileName);
    requireRegularOrMissing(m_target, fileName);

    const std::string folder = parentOf(m_target);
    const std::string base = baseNameOf(m_target);
    std::random_device random;
    for (int attempt = 0; m_fd < 0 && attempt < 100; ++attempt) {
        m_temporary = folder + "/." + base + "." + std::to_string(random()) + ".tmp";
        // Created with the permissions a new file gets (the umask applies).
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        const int error = errno;
        m_temporary.clear();
        throwWriteError(fileName, error);
    }
    // A file that is replaced keeps its permissions and, where allowed, its owner.
    struct stat existing {};
    if (::stat(m_target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        if (::fchown(m_fd, existing.st_uid, existing.st_gid) != 0) {
            // Not permitted for another user's file: the new file is ours, as a copy would be.
        }
        ::fchmod(m_fd, existing.st_mode & 07777);
    }
}

SafeFileWriter::~SafeFileWriter() {
    abandon();
}

void SafeFileWriter::write(std::string_view bytes) {
    if (m_fd < 0)
        throwWriteError(m_fileName, EBADF);
    if (m_buffer.size() + bytes.size() < kBufferSize) {
        m_buffer.append(bytes);
        return;
    }
    flush();
    if (bytes.size() < kBufferSize) {
        m_buffer.append(bytes);
        return;
    }
    m_buffer.assign(bytes);
    flush();
}

void SafeFileWriter::flush() {
    std::size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    m_buffer.clear();
}

void SafeFileWriter::commit() {
    if (m_fd < 0)
        throwWriteError(m_fileName, EBADF);
    flush();
    if (::fsync(m_fd) != 0)
        fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        fail(errno);
    // The target may have been swapped for something else while the file was written.
    try {
        requireRegularOrMissing(m_target, m_fileName);
    } catch (...) {
        abandon();
        throw;
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        fail(errno);
    m_temporary.clear();
    m_committed = true;
    syncFolder(parentOf(m_target));
}

void SafeFileWriter::abandon() noexcept {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_buffer.clear();
}

void SafeFileWriter::fail(int error) {
    abandon();
    throwWriteError(m_fileName, error);
}

void writeFileSafely(const std::string& fileName, std::string_view bytes) {
    SafeFileWriter file(fileName);
    file.write(bytes);
    file.commit();
}

} // namespace kalydor
