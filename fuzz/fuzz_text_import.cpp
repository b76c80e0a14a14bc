// Arbitrary bytes as a text exchange file imported into a material table: the import must end
// with stored items or the system's error, never a crash, an overlong read or a hang. Included
// files come from a small in-memory set (the input itself under two names, so that includes of
// itself and deep nesting are reached).
//
//   build/fuzz/bin/fuzz_text_import tests/data/fuzz/text_import

#include "base/error.h"
#include "constructions/registration.h"
#include "exchange/parserstream.h"
#include "exchange/textexchange.h"
#include "silentprompter.h"
#include "store/datamodule.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

using namespace kalydor;

namespace {

TDataModuleForm& table() {
    static const std::string directory = [] {
        std::string dir = (std::filesystem::temp_directory_path() /
                           ("kalydor-fuzz-text-" + std::to_string(getpid())))
                              .string();
        std::filesystem::create_directories(dir);
        return dir + "/";
    }();
    static std::unique_ptr<TDataModuleForm> store;
    // A fresh table now and then keeps the file small.
    static int uses = 0;
    if (!store || ++uses % 500 == 0) {
        store.reset();
        std::error_code ignored;
        std::filesystem::remove(directory + "fuzz.db", ignored);
        store = std::make_unique<TDataModuleForm>(directory, "fuzz.db", TableMode::Create,
                                                  TableKind::Catalogue);
    }
    return *store;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool once = [] {
        fuzz::silencePrompts();
        registerConstructionItems();
        return true;
    }();
    (void)once;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TParserStream reader(bytes, "/fuzz/a.txt");
    reader.setIncludeLoader([&bytes](const std::string& path) -> std::string {
        if (path.size() >= 5 && path.substr(path.size() - 5) == "b.txt")
            return bytes;
        if (path.size() >= 5 && path.substr(path.size() - 5) == "c.txt")
            return "\"END\"\r\n";
        throw Error("IDS_FILEREADERROR", {path, std::string("absent")});
    });
    OverwriteAnswers answers;
    (void)ImportText(table(), 1, reader, answers);
    return 0;
}
