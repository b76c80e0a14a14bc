// Arbitrary bytes as a text exchange file imported into a material table: the import must end
// with stored items or the system's error, never a crash, an overlong read or a hang. Included
// files come from a small in-memory set (the input itself under two names, so that includes of
// itself and deep nesting are reached).
//
//   build/fuzz/bin/fuzz_text_import tests/data/fuzz/text_import

#include "base/error.h"
#include "codecs/texttokenreader.h"
#include "constructions/registration.h"
#include "exchange/textexchange.h"
#include "fuzztable.h"
#include "store/itemstore.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

using namespace kalydor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TextTokenReader reader(bytes, "/fuzz/a.txt");
    reader.setIncludeLoader([&bytes](const std::string& path) -> std::string {
        if (path.size() >= 5 && path.substr(path.size() - 5) == "b.txt")
            return bytes;
        if (path.size() >= 5 && path.substr(path.size() - 5) == "c.txt")
            return "\"END\"\r\n";
        throw Error("IDS_FILEREADERROR", {path, std::string("absent")});
    });
    OverwriteAnswers answers;
    (void)ImportText(fuzz::importTable("text"), ItemKind::Material, reader, answers, {});
    return 0;
}
