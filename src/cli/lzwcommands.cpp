#include "cli/commands.h"

#include "base/error.h"
#include "base/safefilewriter.h"
#include "codecs/compressing.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>
#include <utility>

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

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The input, read in blocks so pipes and other unseekable files work as well.
class Input {
public:
    explicit Input(const std::string* path)
        : m_file(nullptr, &std::fclose)
        , m_name(isStandardStream(path) ? "the standard input" : *path) {
        if (isStandardStream(path)) {
            m_stream = stdin;
            return;
        }
        m_file.reset(std::fopen(path->c_str(), "rb"));
        if (!m_file)
            throwFileError("IDS_FILEREADERROR", "cannot open", *path, errno);
        m_stream = m_file.get();
    }

    // Up to `size` bytes; 0 at the end.
    std::size_t read(char* buffer, std::size_t size) {
        const std::size_t n = std::fread(buffer, 1, size, m_stream);
        if (n == 0 && std::ferror(m_stream))
            throwFileError("IDS_FILEREADERROR", "cannot read", m_name, errno);
        return n;
    }

private:
    FilePtr m_file;
    std::FILE* m_stream = nullptr;
    std::string m_name;
};

// The output: the standard output, or a file written safely (beside its real target and
// renamed over it only when the whole stream was written, so a failed run leaves the target
// as it was).
class Output {
public:
    Output(const std::string* path, std::ostream& standard)
        : m_standard(standard) {
        if (!isStandardStream(path))
            m_file = std::make_unique<SafeFileWriter>(*path);
    }

    void write(std::string_view bytes) {
        if (bytes.empty())
            return;
        if (m_file) {
            m_file->write(bytes);
            return;
        }
        m_standard.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!m_standard)
            throwFileError("IDS_FILEWRITEERROR", "cannot write", "the standard output", errno);
    }

    void commit() {
        if (m_file) {
            m_file->commit();
            return;
        }
        m_standard.flush();
        if (!m_standard)
            throwFileError("IDS_FILEWRITEERROR", "cannot write", "the standard output", errno);
    }

private:
    std::ostream& m_standard;
    std::unique_ptr<SafeFileWriter> m_file;
};

// The blocks the input is read in; the memory a run takes does not grow with the input.
constexpr std::size_t kBlockBytes = 1 << 20;

// The input and output files of IN [OUT] (standard input and output by default or for "-").
std::pair<const std::string*, const std::string*> files(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        if (arg.size() > 1 && arg[0] == '-')
            throw UsageError{"unknown option " + arg};
    if (args.size() > 2)
        throw UsageError{"at most an input and an output file expected"};
    return {args.size() > 0 ? &args[0] : nullptr, args.size() > 1 ? &args[1] : nullptr};
}

int encode(const std::vector<std::string>& args, std::ostream& out) {
    const auto [in, to] = files(args);
    Input input(in);
    Output output(to, out);
    LzwEncoder encoder;
    std::string block(kBlockBytes, '\0');
    std::string code;
    code.reserve(kBlockBytes * 2 + 64);
    while (const std::size_t n = input.read(block.data(), block.size())) {
        encoder.feed(std::string_view(block.data(), n), code);
        output.write(code);
        code.clear();
    }
    encoder.finish(code);
    output.write(code);
    output.commit();
    return 0;
}

int decode(const std::vector<std::string>& args, std::ostream& out) {
    const auto [in, to] = files(args);
    Input input(in);
    Output output(to, out);
    LzwDecode([&input](char* buffer, std::size_t size) { return input.read(buffer, size); },
              [&output](std::string_view bytes) { output.write(bytes); });
    output.commit();
    return 0;
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
         "exit status 1 and leaves OUT as it was",
         decode},
    };
}

} // namespace kalydor::cli
