#include "base/error.h"
#include "base/textencoding.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"

#include "../support/tempdir.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/stat.h>

namespace kalydor {
namespace {

const std::string kHeader =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-2\" ?>\r\n<Kalydor32Project>\r\n";
const std::string kFooter = "\r\n\r\n</Kalydor32Project>\r\n";

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bytes an operation adds to an in-memory exchange document.
std::string written(const std::function<void(XmlWriter&)>& write,
                    const std::string& encoding = "ISO-8859-2") {
    XmlWriter writer("", "Kalydor32Project", encoding);
    const std::size_t start = writer.bytes().size();
    write(writer);
    return writer.bytes().substr(start);
}

TEST(XmlWriter, OperationsWriteExactlyTheirBytes) {
    using W = XmlWriter;
    const struct {
        const char* what;
        std::function<void(XmlWriter&)> write;
        std::string expected;
    } cases[] = {
        {"raw", [](W& w) { w.WriteRaw("\r\n  "); }, "\r\n  "},
        {"empty raw", [](W& w) { w.WriteRaw(""); }, ""},
        {"closed element", [](W& w) { w.WriteElement("ItemName", "", "A & B <C> D"); },
         "<ItemName>A &amp; B &lt;C> D</ItemName>"},
        {"attributes",
         [](W& w) {
             w.WriteElement("Layer", W::TextAttribute("Name", "x") + W::IntAttribute("N", 3), "");
         },
         "<Layer Name=\"x\" N=\"3\" ></Layer>"},
        {"open element",
         [](W& w) {
             w.WriteElement("Kalydor32Material", W::IntAttribute("Type", 2), "", ElementEnd::Open);
         },
         "<Kalydor32Material Type=\"2\" >"},
        {"quoted value",
         [](W& w) {
             w.WriteElement("Name", "", "say \"hi\" & go", ElementEnd::EndTag, ValueQuotes::Double);
         },
         "<Name>\"say \"hi\" &amp; go\"</Name>"},
        {"quoted open value",
         [](W& w) { w.WriteElement("Name", "", "", ElementEnd::Open, ValueQuotes::Double); },
         "<Name>\"\""},
        // "]]>" is not allowed in element content; its ">" is escaped.
        {"cdata end", [](W& w) { w.WriteElement("X", "", "a]]>b]>"); }, "<X>a]]&gt;b]></X>"},
        {"end tag", [](W& w) { w.WriteEndTag("Kalydor32Material"); }, "</Kalydor32Material>"},
        {"item header",
         [](W& w) {
             w.WriteRaw("\r\n  ");
             w.WriteElement("ItemHeader", "", "", ElementEnd::Open);
             w.WriteRaw("\r\n    ");
             w.WriteElement("ItemName", "", "W1");
             w.WriteElement("ItemPath", "", "Walls\\Outer");
             w.WriteElement("ID", "", "2024.01.31.");
             w.WriteRaw("\r\n  ");
             w.WriteEndTag("ItemHeader");
         },
         "\r\n  <ItemHeader>\r\n    <ItemName>W1</ItemName><ItemPath>Walls\\Outer</ItemPath>"
         "<ID>2024.01.31.</ID>\r\n  </ItemHeader>"},
        {"finish", [](W& w) { w.Finish(); }, kFooter},
    };
    for (const auto& c : cases)
        EXPECT_EQ(written(c.write), c.expected) << c.what;
}

TEST(XmlWriter, AttributeTexts) {
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {XmlWriter::RealAttribute("OutSideTemp", 20.5, 3, 0), "OutSideTemp=\"20.5\" "},
        {XmlWriter::RealAttribute("Ro", -0.0000123456, 3, 2), "Ro=\"-1.23E-05\" "},
        {XmlWriter::RealAttribute("Nu", 1000000.0, 5, 0), "Nu=\"1E6\" "},
        {XmlWriter::IntAttribute("ValveMode0", -12), "ValveMode0=\"-12\" "},
        {XmlWriter::TextAttribute("Name", ""), "Name=\"\" "},
        {XmlWriter::TextAttribute("Name", "a\"b&c<d>e'f"), "Name=\"a&quot;b&amp;c&lt;d>e'f\" "},
        // A reader turns literal tabs and line breaks of an attribute into spaces.
        {XmlWriter::TextAttribute("T", "x\ty\r\nz"), "T=\"x&#9;y&#13;&#10;z\" "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, c.expected);
}

// Under ISO-8859-2 a character is a raw byte only where Windows-1250 agrees; the Romanian
// comma-below letters ș ț are in neither code page, Š š Ž ž Ą ą sit on different bytes.
TEST(XmlWriter, TextIsWrittenInTheDocumentsEncoding) {
    const struct {
        const char* encoding;
        std::string value;
        std::string expected;
    } cases[] = {
        {"ISO-8859-2", "ș ț ă â î Ş Ţ ő ű Ö ß",
         "&#537; &#539; \xE3 \xE2 \xEE \xAA \xDE \xF5 \xFB \xD6 \xDF"},
        {"ISO-8859-2", "Š š Ž ž Ą ą", "&#352; &#353; &#381; &#382; &#260; &#261;"},
        {"ISO-8859-2", "€ → © 𝄞", "&#8364; &#8594; &#169; &#119070;"},
        {"iso8859-2", "ő", "\xF5"},
        // Characters XML forbids, and broken UTF-8, become U+FFFD.
        {"ISO-8859-2", std::string("a\x01") + "b\xFF", "a&#65533;b&#65533;"},
        {"UTF-8", "ș ő € → 𝄞", "ș ő € → 𝄞"},
        {"UTF-8", std::string("a\x1F") + "b",
         "a\xEF\xBF\xBD"
         "b"},
        {"US-ASCII", "aő€", "a&#337;&#8364;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(written([&](XmlWriter& w) { w.WriteElement("V", "", c.value); }, c.encoding),
                  "<V>" + c.expected + "</V>")
            << c.encoding << " " << c.value;
        EXPECT_EQ(written([&](XmlWriter& w) { w.WriteRaw(c.value); }, c.encoding), c.expected)
            << c.encoding << " " << c.value;
    }
    XmlWriter utf8("", "KalydorDB", "UTF-8");
    EXPECT_EQ(utf8.bytes(), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<KalydorDB>\r\n");
}

// What libxml2 reads from a document when it takes the bytes in the given encoding.
std::pair<std::string, std::string> readWithLibxml2(const std::string& document,
                                                    const std::string& encoding) {
    xmlDocPtr doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), nullptr,
                                  encoding.c_str(), XML_PARSE_NONET);
    EXPECT_NE(doc, nullptr) << encoding;
    if (doc == nullptr)
        return {};
    const xmlNodePtr root = xmlDocGetRootElement(doc);
    xmlNodePtr element = root->children;
    while (element != nullptr && element->type != XML_ELEMENT_NODE)
        element = element->next;
    EXPECT_NE(element, nullptr);
    xmlChar* attribute = xmlGetProp(element, BAD_CAST "Name");
    xmlChar* content = xmlNodeGetContent(element);
    std::pair<std::string, std::string> result(reinterpret_cast<char*>(attribute),
                                               reinterpret_cast<char*>(content));
    xmlFree(attribute);
    xmlFree(content);
    xmlFreeDoc(doc);
    return result;
}

// Every character of both code pages and beyond: an ISO-8859-2 document reads the same
// whether a reader takes its bytes as ISO-8859-2 or as Windows-1250, and our reader gets the
// text back.
TEST(XmlWriter, IsoDocumentsReadTheSameUnderEitherCodePage) {
    std::string text;
    for (char32_t cp = 0xA0; cp < 0x300; ++cp)
        appendUtf8(text, cp);
    for (const char32_t cp : {0x80, 0x9F, 0x2013, 0x20AC, 0x2192, 0x219, 0x21B, 0x1D11E})
        appendUtf8(text, cp);

    XmlWriter writer("", "Kalydor32Project");
    writer.WriteElement("Item", XmlWriter::TextAttribute("Name", text), text);
    writer.Finish();
    const std::string document = writer.bytes();

    for (const char* encoding : {"ISO-8859-2", "windows-1250"}) {
        const auto [attribute, content] = readWithLibxml2(document, encoding);
        EXPECT_EQ(attribute, text) << encoding;
        EXPECT_EQ(content, text) << encoding;
    }
    XmlReader parser;
    ASSERT_TRUE(parser.LoadFromBuffer(document));
    ASSERT_TRUE(parser.Scan());
    ASSERT_TRUE(parser.Scan());
    EXPECT_EQ(parser.CurAttr("Name"), text);
    ASSERT_TRUE(parser.Scan());
    EXPECT_EQ(parser.CurContent(), text);
}

// Names users type: what the writer escapes must come back unchanged through the reader,
// as element content (the item header) and as attribute text.
TEST(XmlWriter, AwkwardNamesSurviveTheRoundTrip) {
    const std::string names[] = {
        "A & B <C>", "\"quoted\" 'single'", "x]]>y",     "a>b &amp; &#38;", "Română șțăâî őű",
        "€ → ✓ 𝄞",   "Šš Žž © ÿ",           "tab\there", "line\r\nbreak",   "&lt;not an entity&gt;",
        "",
    };
    for (const char* encoding : {"ISO-8859-2", "UTF-8"}) {
        XmlWriter writer("", "Kalydor32Project", encoding);
        for (const std::string& name : names) {
            writer.WriteElement("Kalydor32Material", XmlWriter::TextAttribute("Name", name), "",
                                ElementEnd::Open);
            writer.WriteElement("ItemName", "", name);
            writer.WriteEndTag("Kalydor32Material");
        }
        writer.Finish();

        XmlReader parser;
        ASSERT_TRUE(parser.LoadFromBuffer(writer.bytes()));
        parser.StartScan();
        ASSERT_TRUE(parser.Scan()); // the root
        for (const std::string& name : names) {
            // Content is normalised as the system reads it; attributes are taken as they are.
            std::string normalised;
            for (const char c : name)
                normalised += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
            while (normalised.find("  ") != std::string::npos)
                normalised.erase(normalised.find("  "), 1);

            ASSERT_TRUE(parser.Scan());
            EXPECT_EQ(parser.CurAttr("Name"), name) << encoding;
            ASSERT_TRUE(parser.Scan());
            ASSERT_EQ(parser.CurName(), "ItemName");
            if (!normalised.empty()) {
                ASSERT_TRUE(parser.Scan());
                EXPECT_EQ(parser.CurPartType(), XmlPart::Content);
                EXPECT_EQ(parser.CurContent(), normalised) << encoding;
            }
            ASSERT_TRUE(parser.Scan());
            EXPECT_EQ(parser.CurPartType(), XmlPart::EndTag);
            ASSERT_TRUE(parser.Scan());
        }
        EXPECT_TRUE(parser.Scan()); // the root's end tag
        EXPECT_FALSE(parser.Scan());
        EXPECT_FALSE(parser.EndedOnError()) << parser.ErrorText();
    }
}

TEST(XmlWriter, MemoryDocumentIsRewoundAtFinish) {
    XmlWriter writer("", "Kalydor32Project");
    writer.WriteElement("ItemName", "", "W1");
    writer.Finish();
    EXPECT_TRUE(writer.Finished());
    EXPECT_EQ(writer.stream().position(), 0u);
    std::string read(writer.stream().size(), '\0');
    EXPECT_EQ(writer.stream().read(read.data(), read.size()), read.size());
    EXPECT_EQ(read, kHeader + "<ItemName>W1</ItemName>" + kFooter);
    EXPECT_THROW(writer.WriteRaw("late"), std::logic_error);
}

// An export with nothing selected still writes the whole frame; the old file is replaced
// only when the export finishes, and keeps its permissions.
TEST(XmlWriter, FilesAreReplacedOnlyWhenFinished) {
    test::TempDir dir;
    const std::string path = dir.file("export.xml");
    std::ofstream(path, std::ios::binary) << "old content";
    ::chmod(path.c_str(), 0640);

    {
        XmlWriter abandoned(path, "Kalydor32Project");
        abandoned.WriteElement("ItemName", "", "half");
        // Destroyed without Finish, as when an item raises an error during the export.
    }
    EXPECT_EQ(fileBytes(path), "old content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    {
        XmlWriter writer(path, "Kalydor32Project");
        EXPECT_EQ(fileBytes(path), "old content");
        writer.Finish();
        EXPECT_EQ(writer.bytes(), "");
    }
    EXPECT_EQ(fileBytes(path), kHeader + kFooter);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    try {
        XmlWriter nowhere(dir.file("missing/export.xml"), "Kalydor32Project");
        ADD_FAILURE() << "a file in a missing folder was created";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_FILEWRITEERROR");
        EXPECT_NE(error.text().find("missing/export.xml"), std::string::npos) << error.text();
    }
}

} // namespace
} // namespace kalydor
