#include "cli/commands.h"

#include "base/error.h"
#include "base/safefilewriter.h"
#include "exchange/compressing.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>

namespace kalydor::cli {
namespace {

// "-" or a missing argument stands for the standard input or output.
bool isStandardStream(const std::string* path) {
    return path == nullptr || *path == "-";
}

[[noreturn]] void throwFileError(const char* key, const std::string& what, const std::string& path,
                                 int error) {
    throw Error::withText(key, what + " " + path + ": " + std::strerror(error));
}

// Reads a stream to its end in blocks, so pipes and other unseekable files work as well.
std::string readAll(std::FILE* stream, const std::string& name) {
    std::string bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        bytes.append(buffer, n);
    if (std::ferror(stream))
        throwFileError("IDS_FILEREADERROR", "cannot read", name, errno);
    return bytes;
}

std::string readInput(const std::string* path) {
    if (isStandardStream(path))
        return readAll(stdin, "the standard input");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path->c_str(), "rb"),
                                                         &std::fclose);
    if (!file)
        throwFileError("IDS_FILEREADERROR", "cannot open", *path, errno);
    return readAll(file.get(), *path);
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
    writeFileSafely(*path, bytes);
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
