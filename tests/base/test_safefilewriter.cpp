#include "base/error.h"
#include "base/safefilewriter.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The files of a folder: a writer leaves no temporary file behind.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

// A link is followed to the file it names, which is replaced; the link stays a link.
TEST(SafeFileWriter, FollowsLinksToTheFileTheyName) {
    struct Case {
        const char* name;
        std::function<std::string(const test::TempDir&)> prepare; ///< returns the name written
        const char* replaced;                                     ///< the file that gets the bytes
    };
    const Case cases[] = {
        {"absolute link",
         [](const test::TempDir& d) {
             put(d.file("real.txt"), "old");
             fs::create_symlink(d.file("real.txt"), d.file("link.txt"));
             return d.file("link.txt");
         },
         "real.txt"},
        {"relative link into a sub-folder, through a second link",
         [](const test::TempDir& d) {
             fs::create_directory(d.file("sub"));
             put(d.file("sub/real.txt"), "old");
             fs::create_symlink("sub/real.txt", d.file("first.txt"));
             fs::create_symlink("first.txt", d.file("second.txt"));
             return d.file("second.txt");
         },
         "sub/real.txt"},
        {"link to a file not made yet",
         [](const test::TempDir& d) {
             fs::create_symlink("later.txt", d.file("link.txt"));
             return d.file("link.txt");
         },
         "later.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string name = c.prepare(dir);
        writeFileSafely(name, "new bytes");
        EXPECT_TRUE(fs::is_symlink(name));
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.file(c.replaced))));
        EXPECT_EQ(contentOf(dir.file(c.replaced)), "new bytes");
    }
}

// A device, a pipe or a folder is never turned into a regular file, also not through a link.
TEST(SafeFileWriter, RefusesTargetsThatAreNoRegularFile) {
    struct Case {
        const char* name;
        std::function<bool(const std::string&)> make; ///< false when this system cannot make it
        std::function<bool(const fs::file_status&)> isStill;
    };
    const Case cases[] = {
        {"pipe", [](const std::string& p) { return ::mkfifo(p.c_str(), 0644) == 0; },
         [](const fs::file_status& s) { return fs::is_fifo(s); }},
        {"folder", [](const std::string& p) { return fs::create_directory(p); },
         [](const fs::file_status& s) { return fs::is_directory(s); }},
        // The same numbers as the system's null device; making one needs the right to.
        {"device",
         [](const std::string& p) {
             return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
         },
         [](const fs::file_status& s) { return fs::is_character_file(s); }},
    };
    for (const Case& c : cases) {
        for (const bool throughLink : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (throughLink ? " behind a link" : ""));
            test::TempDir dir;
            const std::string target = dir.file("target");
            if (!c.make(target)) {
                EXPECT_STREQ(c.name, "device") << "cannot make the " << c.name;
                continue;
            }
            std::string name = target;
            if (throughLink) {
                name = dir.file("link");
                fs::create_symlink(target, name);
            }
            const auto before = namesIn(dir.path());
            try {
                writeFileSafely(name, "bytes");
                ADD_FAILURE() << "written over";
            } catch (const Error& error) {
                EXPECT_EQ(error.key(), "IDS_FILENOTREGULAR");
                EXPECT_NE(error.text().find(name), std::string::npos) << error.text();
            }
            EXPECT_TRUE(c.isStill(fs::symlink_status(target)));
            EXPECT_EQ(namesIn(dir.path()), before);
        }
    }
}

TEST(SafeFileWriter, ReplacedFileKeepsItsPermissionsAndNewOnesFollowTheUmask) {
    test::TempDir dir;
    const fs::path kept = dir.file("kept.txt");
    put(kept, "old");
    ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
    writeFileSafely(kept, "new");
    EXPECT_EQ(modeOf(kept), 0640u);
    EXPECT_EQ(contentOf(kept), "new");

    const mode_t mask = ::umask(027);
    writeFileSafely(dir.file("fresh.txt"), "x");
    ::umask(mask);
    EXPECT_EQ(modeOf(dir.file("fresh.txt")), 0640u);
}

// The bytes arrive in pieces of every size around the buffer's; until the commit nobody sees
// them, and a writer given up (by an error or by leaving its scope) changes nothing.
TEST(SafeFileWriter, StreamsPiecesAndOnlyTheCommitReplacesTheFile) {
    test::TempDir dir;
    const fs::path file = dir.file("out.bin");
    put(file, "old");
    std::string expected;
    {
        SafeFileWriter writer(file);
        for (const std::size_t size : {1u, 65535u, 2u, 200000u, 0u, 65536u, 7u}) {
            const std::string piece(size, static_cast<char>('a' + expected.size() % 26));
            writer.write(piece);
            expected += piece;
        }
        EXPECT_EQ(contentOf(file), "old");
        writer.commit();
        EXPECT_TRUE(writer.committed());
    }
    EXPECT_EQ(contentOf(file), expected);

    {
        SafeFileWriter abandoned(file);
        abandoned.write(std::string(300000, 'z'));
    }
    {
        SafeFileWriter abandoned(file);
        abandoned.write("partial");
        abandoned.abandon();
        EXPECT_THROW(abandoned.write("more"), Error);
        EXPECT_THROW(abandoned.commit(), Error);
    }
    EXPECT_EQ(contentOf(file), expected);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"out.bin"});
}

TEST(SafeFileWriter, MissingFolderIsAWriteError) {
    test::TempDir dir;
    try {
        writeFileSafely(dir.file("no/such/folder.txt"), "x");
        ADD_FAILURE() << "written";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_FILEWRITEERROR");
    }
}

} // namespace
} // namespace kalydor
