// Arbitrary bytes as an XML exchange file imported into a material table: the import must end
// with stored items, reported elements or a reported broken document, never a crash or a hang.
//
//   build/fuzz/bin/fuzz_xml_import tests/data/fuzz/xml_import

#include "constructions/registration.h"
#include "exchange/textexchange.h"
#include "exchange/xmlexchange.h"
#include "exchange/xmlparser.h"
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
                           ("kalydor-fuzz-xml-" + std::to_string(getpid())))
                              .string();
        std::filesystem::create_directories(dir);
        return dir + "/";
    }();
    static std::unique_ptr<TDataModuleForm> store;
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
    TXmlParser parser;
    if (!parser.LoadFromBuffer(std::string(reinterpret_cast<const char*>(data), size), "fuzz.xml"))
        return 0;
    OverwriteAnswers answers;
    (void)ImportXml(table(), 1, parser, answers);
    return 0;
}
