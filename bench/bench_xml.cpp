// Throughput of the XML reader and writer on a 10 MB document shaped like the system's own:
// language-file elements (strings, forms, column titles) and device-database items (item
// header, dimension lists, power rows). The reader is compared with libxml2's own pull reader
// (xmlTextReader) reading the same names, values and attributes; both read UTF-8 and the
// ISO-8859-2 form the exchange files use.
//
//   build/release/bin/bench_xml --benchmark_min_time=2

#include "base/textencoding.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"

#include <benchmark/benchmark.h>
#include <libxml/xmlreader.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

using namespace kalydor;

constexpr std::size_t kDocumentSize = 10u * 1024 * 1024;

// Writes one group of elements of each kind; the texts carry Romanian and Hungarian letters
// that both code pages hold.
void writeGroup(XmlWriter& w, int n) {
    const std::string number = std::to_string(n);
    w.WriteRaw("\r\n  ");
    w.WriteElement("strings", "", "", ElementEnd::Open);
    for (int i = 0; i < 8; ++i) {
        w.WriteRaw("\r\n    ");
        w.WriteElement(
            "item",
            XmlWriter::TextAttribute("id", "IDS_TEXT" + number + "+" + std::to_string(i)) +
                XmlWriter::TextAttribute("value",
                                         "Textul numărul " + number + " & încălzire, hőátadás"),
            "");
    }
    w.WriteRaw("\r\n  ");
    w.WriteEndTag("strings");
    w.WriteRaw("\r\n  ");
    w.WriteElement("form", XmlWriter::TextAttribute("name", "TRoomForm" + number), "",
                   ElementEnd::Open);
    w.WriteRaw("\r\n    ");
    w.WriteElement("property",
                   XmlWriter::TextAttribute("id", "Caption") +
                       XmlWriter::TextAttribute("value", "Încăpere " + number),
                   "");
    w.WriteRaw("\r\n    ");
    w.WriteElement("formitem",
                   XmlWriter::TextAttribute("name", "EditArea") +
                       XmlWriter::TextAttribute("type", "TEdit"),
                   "", ElementEnd::Open);
    w.WriteElement("property",
                   XmlWriter::TextAttribute("id", "Hint") +
                       XmlWriter::TextAttribute("value", "Suprafața pardoselii în m²"),
                   "");
    w.WriteEndTag("formitem");
    w.WriteRaw("\r\n  ");
    w.WriteEndTag("form");
    w.WriteRaw("\r\n  ");
    w.WriteElement("title", XmlWriter::TextAttribute("name", "ROOMLIST" + number), "",
                   ElementEnd::Open);
    for (int column = 1; column <= 4; ++column) {
        w.WriteElement("columnitem",
                       XmlWriter::IntAttribute("id", column) + XmlWriter::IntAttribute("row", 1),
                       "Coloana " + std::to_string(column));
    }
    w.WriteEndTag("title");

    w.WriteRaw("\r\n  ");
    w.WriteElement("Kalydor32Radiator",
                   XmlWriter::TextAttribute("Type", "Panel") +
                       XmlWriter::TextAttribute("DTLog", "Yes") +
                       XmlWriter::RealAttribute("DTOrigin", 50, 5, 0),
                   "", ElementEnd::Open);
    w.WriteRaw("\r\n    ");
    w.WriteElement("ItemHeader", "", "", ElementEnd::Open);
    w.WriteElement("ItemName", "", "Radiator 22/" + number + " Bucureşti");
    w.WriteElement("ItemPath", "", "Producători\\Fabrica Ţară");
    w.WriteElement("Year", "", "2024");
    w.WriteElement("Month", "", "3");
    w.WriteElement("Day", "", "15");
    w.WriteEndTag("ItemHeader");
    w.WriteRaw("\r\n    ");
    w.WriteElement("DimensionArray",
                   XmlWriter::TextAttribute("Name", "Înălţime") +
                       XmlWriter::TextAttribute("Unit", "mm"),
                   "", ElementEnd::Open);
    for (int i = 0; i < 6; ++i) {
        w.WriteElement("Dimension",
                       XmlWriter::IntAttribute("Index", i) +
                           XmlWriter::RealAttribute("Value", 300 + 100 * i, 5, 0),
                       "");
    }
    w.WriteEndTag("DimensionArray");
    for (int i = 0; i < 6; ++i) {
        w.WriteRaw("\r\n    ");
        w.WriteElement("Power",
                       XmlWriter::IntAttribute("Dimension0", i) +
                           XmlWriter::RealAttribute("Q", 412.5 + 37.25 * i + n % 17, 5, 0) +
                           XmlWriter::RealAttribute("n", 1.3317, 5, 0),
                       "", ElementEnd::Open);
        w.WriteElement("Comment", "", "Valori măsurate la ΔT=50 K");
        w.WriteEndTag("Power");
    }
    w.WriteRaw("\r\n  ");
    w.WriteEndTag("Kalydor32Radiator");
}

// Writes groups until the document has reached `size` bytes.
std::size_t writeDocument(XmlWriter& writer, std::size_t size) {
    int groups = 0;
    while (writer.bytes().size() < size)
        writeGroup(writer, groups++);
    writer.Finish();
    return writer.bytes().size();
}

const std::string& document(const std::string& encoding) {
    static std::string utf8;
    static std::string iso;
    std::string& cached = encoding == "UTF-8" ? utf8 : iso;
    if (cached.empty()) {
        XmlWriter writer("", "KalydorDB", encoding);
        writeDocument(writer, kDocumentSize);
        cached = writer.bytes();
    }
    return cached;
}

std::string encodingOf(const benchmark::State& state) {
    return state.range(0) == 0 ? "UTF-8" : "ISO-8859-2";
}

// What a caller of the reader looks at: every part's type, name and content, and two
// attributes of every start tag.
void scanWithTXmlParser(benchmark::State& state) {
    const std::string& bytes = document(encodingOf(state));
    std::size_t checksum = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = bytes;
        state.ResumeTiming();
        XmlReader parser;
        parser.LoadFromBuffer(std::move(copy));
        parser.StartScan();
        while (parser.Scan()) {
            checksum += static_cast<std::size_t>(parser.CurPartType());
            checksum += parser.CurName().size() + parser.CurContent().size();
            if (parser.CurPartType() == XmlPart::StartTag ||
                parser.CurPartType() == XmlPart::EmptyElementTag)
                checksum += parser.CurAttr("id").size() + parser.CurAttr("value").size();
        }
        if (parser.EndedOnError())
            throw std::runtime_error(parser.ErrorText());
    }
    benchmark::DoNotOptimize(checksum);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.SetLabel(encodingOf(state));
}
BENCHMARK(scanWithTXmlParser)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

std::size_t attributeSize(xmlTextReaderPtr reader, const char* name) {
    xmlChar* value = xmlTextReaderGetAttribute(reader, BAD_CAST name);
    if (value == nullptr)
        return 0;
    const std::size_t size = static_cast<std::size_t>(xmlStrlen(value));
    xmlFree(value);
    return size;
}

// The baseline: libxml2's pull reader over the same bytes, reading the same things.
void scanWithXmlTextReader(benchmark::State& state) {
    const std::string& bytes = document(encodingOf(state));
    std::size_t checksum = 0;
    for (auto _ : state) {
        xmlTextReaderPtr reader =
            xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                               XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        int result = 0;
        while ((result = xmlTextReaderRead(reader)) == 1) {
            const int type = xmlTextReaderNodeType(reader);
            checksum += static_cast<std::size_t>(type);
            checksum += static_cast<std::size_t>(xmlStrlen(xmlTextReaderConstName(reader)));
            if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA) {
                checksum += static_cast<std::size_t>(xmlStrlen(xmlTextReaderConstValue(reader)));
            } else if (type == XML_READER_TYPE_ELEMENT) {
                checksum += attributeSize(reader, "id") + attributeSize(reader, "value");
            }
        }
        xmlFreeTextReader(reader);
        if (result != 0)
            throw std::runtime_error("xmlTextReader failed");
    }
    benchmark::DoNotOptimize(checksum);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.SetLabel(encodingOf(state));
}
BENCHMARK(scanWithXmlTextReader)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The writer producing the same document in memory.
void writeWithTXMLWriter(benchmark::State& state) {
    const std::string encoding = encodingOf(state);
    std::size_t written = 0;
    for (auto _ : state) {
        XmlWriter writer("", "KalydorDB", encoding);
        written += writeDocument(writer, kDocumentSize);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(written));
    state.SetLabel(encoding);
}
BENCHMARK(writeWithTXMLWriter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
