#include "cli/commands.h"

#include "base/error.h"
#include "exchange/compressing.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <unistd.h>

namespace kalydor::cli {
namespace {

namespace fs = std::filesystem;

// "-" or a missing argument stands for the standard input or output.
bool isStandardStream(const std::string* path) {
    return path == nullptr || *path == "-";
}

[[noreturn]] void throwFileError(const char* key, const std::string& what, const std::string& path,
                                 int error) {
    throw Error::withText(key, what + " " + path + ": " + std::strerror(error));
}

std::string readInput(const std::string* path) {
    std::string bytes;
    if (isStandardStream(path)) {
        char buffer[65536];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
            bytes.append(buffer, n);
        if (std::ferror(stdin))
            throwFileError("IDS_FILEREADERROR", "cannot read", "the standard input", errno);
        return bytes;
    }
    std::ifstream file(*path, std::ios::binary);
    if (!file)
        throwFileError("IDS_FILEREADERROR", "cannot open", *path, errno);
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        file.read(bytes.data(), size);
    }
    if (!file)
        throwFileError("IDS_FILEREADERROR", "cannot read", *path, errno);
    return bytes;
}

// A file is written beside its target and renamed over it, so a failed run leaves the
// target as it was.
void writeOutput(const std::string* path, const std::string& bytes, std::ostream& out) {
    if (isStandardStream(path)) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out)
            throwFileError("IDS_FILEWRITEERROR", "cannot write", "the standard output", errno);
        return;
    }
    const std::string temporary = *path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            const int error = errno;
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throwFileError("IDS_FILEWRITEERROR", "cannot write", *path, error);
        }
    }
    std::error_code renamed;
    fs::rename(temporary, *path, renamed);
    if (renamed) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throwFileError("IDS_FILEWRITEERROR", "cannot write", *path, renamed.value());
    }
}

// Runs `code` from IN (standard input by default) to OUT (standard output by default).
int transform(const std::vector<std::string>& args, std::ostream& out,
              std::string (*code)(const std::string&)) {
    for (const std::string& arg : args)
        if (arg.size() > 1 && arg[0] == '-')
            throw UsageError{"unknown option " + arg};
    if (args.size() > 2)
        throw UsageError{"at most an input and an output file expected"};
    const std::string* in = args.size() > 0 ? &args[0] : nullptr;
    const std::string* to = args.size() > 1 ? &args[1] : nullptr;
    writeOutput(to, code(readInput(in)), out);
    return 0;
}

int encode(const std::vector<std::string>& args, std::ostream& out) {
    return transform(args, out,
                     [](const std::string& bytes) { return Compressing::Encode(bytes); });
}

int decode(const std::vector<std::string>& args, std::ostream& out) {
    return transform(args, out,
                     [](const std::string& bytes) { return Compressing::Decode(bytes); });
}

} // namespace

std::vector<Command> lzwCommands() {
    return {
        {"lzw", "encode", "[IN [OUT]]",
         "compress a file as device items and language files are stored (LZW, 9 to 12-bit "
         "codes); standard input and output by default or for \"-\"",
         encode},
        {"lzw", "decode", "[IN [OUT]]",
         "expand a compressed device item or language file; a damaged stream fails with "
         "exit status 1 and writes nothing",
         decode},
    };
}

} // namespace kalydor::cli
