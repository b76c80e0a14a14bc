// Arbitrary bytes as an XML document: the reader must scan to the end (or to a fault) without
// a crash, an overlong read or a hang, whatever the bytes. Every text it delivers is written
// back with the XML writer and read again: the writer's document must be well-formed and give
// the same text back.
//
//   build/fuzz/bin/fuzz_xml_scan tests/data/fuzz/xml_scan

#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kalydor;

namespace {

struct Scanned {
    std::vector<std::string> contents;
    std::vector<std::string> attributes;
};

// Scans to the end, touching every accessor as the system's readers do.
Scanned scan(XmlReader& parser) {
    Scanned scanned;
    std::size_t touched = 0;
    parser.StartScan();
    while (parser.Scan()) {
        touched += parser.CurName().size() + parser.FileName().size();
        switch (parser.CurPartType()) {
        case XmlPart::StartTag:
        case XmlPart::EmptyElementTag:
            for (const char* name : {"id", "value", "Name", "xmlns", "a"}) {
                std::string value = parser.CurAttr(name);
                if (!value.empty())
                    scanned.attributes.push_back(std::move(value));
            }
            break;
        case XmlPart::Content:
            scanned.contents.push_back(parser.CurContent());
            break;
        case XmlPart::EndTag:
        case XmlPart::Other:
            touched += parser.CurContent().size() + parser.CurAttr("id").size();
            break;
        }
    }
    touched += parser.ErrorText().size() + (parser.EndedOnError() ? 1 : 0);
    if (touched == static_cast<std::size_t>(-1))
        std::abort();
    return scanned;
}

// What the writer writes, the reader must read back unchanged (content as normalised).
void roundTrip(const Scanned& scanned, const std::string& encoding) {
    XmlWriter writer("", "Kalydor32Project", encoding);
    const std::size_t count = std::max(scanned.contents.size(), scanned.attributes.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::string attribute = i < scanned.attributes.size() ? scanned.attributes[i] : "";
        const std::string content = i < scanned.contents.size() ? scanned.contents[i] : "x";
        writer.WriteElement("Item", XmlWriter::TextAttribute("Name", attribute), content);
    }
    writer.Finish();

    XmlReader parser;
    if (!parser.LoadFromBuffer(writer.bytes()))
        std::abort();
    parser.StartScan();
    if (!parser.Scan() || parser.CurName() != "Kalydor32Project")
        std::abort();
    for (std::size_t i = 0; i < count; ++i) {
        if (!parser.Scan() || parser.CurPartType() != XmlPart::StartTag)
            std::abort();
        if (parser.CurAttr("Name") != (i < scanned.attributes.size() ? scanned.attributes[i] : ""))
            std::abort();
        if (!parser.Scan() || parser.CurPartType() != XmlPart::Content ||
            parser.CurContent() != (i < scanned.contents.size() ? scanned.contents[i] : "x"))
            std::abort();
        if (!parser.Scan() || parser.CurPartType() != XmlPart::EndTag)
            std::abort();
    }
    if (!parser.Scan() || parser.Scan() || parser.EndedOnError())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    XmlReader parser;
    if (!parser.LoadFromBuffer(bytes, "fuzz.xml"))
        return 0;
    const Scanned normalised = scan(parser);
    parser.Normalize = false;
    scan(parser);
    roundTrip(normalised, size % 2 == 0 ? "ISO-8859-2" : "UTF-8");
    return 0;
}
