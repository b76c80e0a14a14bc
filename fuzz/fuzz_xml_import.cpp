// Arbitrary bytes as an XML exchange file imported into a material table: the import must end
// with stored items, reported elements or a reported broken document, never a crash or a hang.
//
//   build/fuzz/bin/fuzz_xml_import tests/data/fuzz/xml_import

#include "codecs/xmlreader.h"
#include "constructions/registration.h"
#include "exchange/textexchange.h"
#include "exchange/xmlexchange.h"
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
    XmlReader parser;
    if (!parser.LoadFromBuffer(std::string(reinterpret_cast<const char*>(data), size), "fuzz.xml"))
        return 0;
    OverwriteAnswers answers;
    (void)ImportXml(fuzz::importTable("xml"), ItemKind::Material, parser, answers, {});
    return 0;
}
