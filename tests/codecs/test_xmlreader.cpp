#include "codecs/xmlreader.h"

#include "../support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace kalydor {
namespace {

// A part in a compact form that a test table can spell: "<a>", "<a/>", "</a>", "a: text"
// (content and the name it carries), "?pi: data" and "!: comment" for the other parts.
std::string describe(const XmlReader& parser) {
    switch (parser.CurPartType()) {
    case XmlPart::StartTag:
        return "<" + parser.CurName() + ">";
    case XmlPart::EmptyElementTag:
        return "<" + parser.CurName() + "/>";
    case XmlPart::EndTag:
        return "</" + parser.CurName() + ">";
    case XmlPart::Content:
        return parser.CurName() + ": " + parser.CurContent();
    case XmlPart::Other:
        break;
    }
    return (parser.CurName().empty() ? "!" : "?" + parser.CurName()) + ": " + parser.CurContent();
}

std::vector<std::string> scanAll(XmlReader& parser) {
    std::vector<std::string> parts;
    parser.StartScan();
    while (parser.Scan())
        parts.push_back(describe(parser));
    return parts;
}

std::vector<std::string> partsOf(const std::string& document, bool normalize = true) {
    XmlReader parser;
    parser.Normalize = normalize;
    EXPECT_TRUE(parser.LoadFromBuffer(document));
    return scanAll(parser);
}

using Parts = std::vector<std::string>;

// A small language file that breaks off: everything before the break must arrive, as the
// language tables read a broken file as far as the scan gets.
TEST(XmlParser, TruncatedDocumentDeliversEverythingBeforeTheFault) {
    const std::string full = R"(<?xml version="1.0" encoding="UTF-8"?>
<kalydorlanguage>
  <language id="Român" UserInterface="yes"></language>
  <strings>
    <item id="IDS_A" value="first"></item>
    <item id="IDS_B" value="second">text of b</item>
  </strings>
</kalydorlanguage>
)";
    const struct {
        std::string cutAfter; // the document is cut right after the first occurrence
        Parts expected;
    } cases[] = {
        {"<strings>", {"<kalydorlanguage>", "<language>", "</language>", "<strings>"}},
        {R"(<item id="IDS_A" value="fir)",
         {"<kalydorlanguage>", "<language>", "</language>", "<strings>"}},
        {R"(value="second">text of)",
         {"<kalydorlanguage>", "<language>", "</language>", "<strings>", "<item>", "</item>",
          "<item>", "item: text of"}},
        {"</strings>",
         {"<kalydorlanguage>", "<language>", "</language>", "<strings>", "<item>", "</item>",
          "<item>", "item: text of b", "</item>", "</strings>"}},
    };
    for (const auto& c : cases) {
        const std::size_t at = full.find(c.cutAfter);
        ASSERT_NE(at, std::string::npos) << c.cutAfter;
        XmlReader parser;
        ASSERT_TRUE(parser.LoadFromBuffer(full.substr(0, at + c.cutAfter.size()), "broken.xml"));
        EXPECT_EQ(scanAll(parser), c.expected) << c.cutAfter;
        EXPECT_TRUE(parser.EndedOnError()) << c.cutAfter;
        EXPECT_NE(parser.ErrorText(), "") << c.cutAfter;
        EXPECT_EQ(parser.FileName(), "broken.xml");
    }
}

// Whatever the point of the break, the parts are the beginning of the complete document's
// parts; only the last text may be cut short.
TEST(XmlParser, EveryCutGivesABeginningOfTheParts) {
    const std::string full = "<root a=\"1\"><x>alpha beta</x><y b=\"&lt;\"/>"
                             "<z>one &amp; two<![CDATA[ three ]]></z><!-- note --></root>";
    const Parts whole = partsOf(full);
    ASSERT_EQ(whole, (Parts{"<root>", "<x>", "x: alpha beta", "</x>", "<y/>", "<z>",
                            "z: one & two three", "</z>", "!:  note ", "</root>"}));
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        XmlReader parser;
        ASSERT_TRUE(parser.LoadFromBuffer(full.substr(0, cut)));
        const Parts parts = scanAll(parser);
        EXPECT_TRUE(parser.EndedOnError()) << cut;
        ASSERT_LE(parts.size(), whole.size()) << cut;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i + 1 == parts.size() && parts[i] != whole[i]) {
                EXPECT_EQ(whole[i].rfind(parts[i], 0), 0u) << cut << ": " << parts[i];
                continue;
            }
            EXPECT_EQ(parts[i], whole[i]) << cut;
        }
    }
}

TEST(XmlParser, ContentIsNormalisedWhenAsked) {
    const struct {
        const char* document;
        Parts normalised;
        Parts asWritten;
    } cases[] = {
        {"<a>  one \r\n\t two  </a>",
         {"<a>", "a: one two", "</a>"},
         {"<a>", "a:   one \n\t two  ", "</a>"}},
        {"<a>\n  <b/>\n</a>", {"<a>", "<b/>", "</a>"}, {"<a>", "a: \n  ", "<b/>", "b: \n", "</a>"}},
        // Text, references and CDATA sections next to each other are one part.
        {"<a>x &lt;<![CDATA[<y> &amp;]]> z</a>",
         {"<a>", "a: x <<y> &amp; z", "</a>"},
         {"<a>", "a: x <<y> &amp; z", "</a>"}},
        // A comment ends the text before it.
        {"<a>x<!-- c -->y</a>",
         {"<a>", "a: x", "!:  c ", "a: y", "</a>"},
         {"<a>", "a: x", "!:  c ", "a: y", "</a>"}},
        {"<a><![CDATA[   ]]></a>", {"<a>", "</a>"}, {"<a>", "a:    ", "</a>"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(partsOf(c.document, true), c.normalised) << c.document;
        EXPECT_EQ(partsOf(c.document, false), c.asWritten) << c.document;
    }
}

TEST(XmlParser, ReferencesAreReplacedInContentAndAttributes) {
    XmlReader parser;
    ASSERT_TRUE(parser.LoadFromBuffer(
        R"(<a v="&lt;&amp;&gt;&quot;&apos;&#x41;&#66;" w="&amp;#38;" n="x&#10;y z">)"
        "&lt;&amp;&gt;&quot;&apos;&#x41;&#66;&#x151;</a>"));
    ASSERT_TRUE(parser.Scan());
    EXPECT_EQ(parser.CurAttr("v"), "<&>\"'AB");
    // A literal "&#38;" in the text stays as it is.
    EXPECT_EQ(parser.CurAttr("w"), "&#38;");
    // A referenced line feed stays; literal white space is not normalised further.
    EXPECT_EQ(parser.CurAttr("n"), "x\ny z");
    ASSERT_TRUE(parser.Scan());
    EXPECT_EQ(parser.CurContent(), "<&>\"'ABő");
    EXPECT_FALSE(parser.EndedOnError());
}

TEST(XmlParser, TagsAttributesAndTheNameOfContent) {
    XmlReader parser;
    ASSERT_TRUE(parser.LoadFromBuffer(R"(<?xml version="1.0"?>
<?kalydor hint?>
<root xmlns:k="urn:k" version="2">
  <item id="1" value="x"/>
  <item id="2" value = 'y' >text</item>
  <empty />
  <k:item k:id="3"></k:item>
  tail after an end tag
</root>)"));
    const struct {
        XmlPart type;
        const char* name;
        const char* content;
        std::vector<std::pair<const char*, const char*>> attributes;
    } expected[] = {
        {XmlPart::Other, "kalydor", "hint", {}},
        {XmlPart::StartTag, "root", "", {{"version", "2"}, {"xmlns:k", "urn:k"}, {"id", ""}}},
        {XmlPart::EmptyElementTag, "item", "", {{"id", "1"}, {"value", "x"}, {"version", ""}}},
        {XmlPart::StartTag, "item", "", {{"id", "2"}, {"value", "y"}}},
        {XmlPart::Content, "item", "text", {{"id", ""}}},
        {XmlPart::EndTag, "item", "", {{"id", ""}}},
        {XmlPart::EmptyElementTag, "empty", "", {}},
        {XmlPart::StartTag, "k:item", "", {{"k:id", "3"}, {"id", ""}}},
        {XmlPart::EndTag, "k:item", "", {}},
        {XmlPart::Content, "k:item", "tail after an end tag", {}},
        {XmlPart::EndTag, "root", "", {}},
    };
    parser.StartScan();
    for (const auto& e : expected) {
        ASSERT_TRUE(parser.Scan()) << e.name;
        EXPECT_EQ(parser.CurPartType(), e.type) << e.name;
        EXPECT_EQ(parser.CurName(), e.name);
        EXPECT_EQ(parser.CurContent(), e.content) << e.name;
        for (const auto& [attribute, value] : e.attributes)
            EXPECT_EQ(parser.CurAttr(attribute), value) << e.name << " " << attribute;
    }
    EXPECT_FALSE(parser.Scan());
    EXPECT_FALSE(parser.Scan());
    EXPECT_EQ(parser.CurPartType(), XmlPart::Other);
    EXPECT_FALSE(parser.EndedOnError());
    EXPECT_EQ(parser.ErrorText(), "");

    // A second scan starts over.
    parser.StartScan();
    ASSERT_TRUE(parser.Scan());
    EXPECT_EQ(parser.CurName(), "kalydor");
}

// Pieces of the document go to libxml2 one after another; parts, attribute values and text
// that straddle two pieces must come out whole.
TEST(XmlParser, LongDocumentsArriveWhole) {
    std::string document = "<db>";
    const std::string longText(200000, 'x');
    document += "<big note=\"" + std::string(100000, 'n') + "\">" + longText + "</big>";
    for (int i = 0; i < 20000; ++i)
        document += "<item id=\"" + std::to_string(i) + "\" note=\"1 > 0 />\">value " +
                    std::to_string(i) + "</item>";
    document += "</db>";

    XmlReader parser;
    ASSERT_TRUE(parser.LoadFromBuffer(document));
    parser.StartScan();
    ASSERT_TRUE(parser.Scan());
    ASSERT_TRUE(parser.Scan());
    EXPECT_EQ(parser.CurAttr("note").size(), 100000u);
    ASSERT_TRUE(parser.Scan());
    EXPECT_EQ(parser.CurContent(), longText);
    ASSERT_TRUE(parser.Scan());
    int items = 0;
    while (parser.Scan()) {
        if (parser.CurPartType() == XmlPart::StartTag) {
            EXPECT_EQ(parser.CurAttr("id"), std::to_string(items));
            EXPECT_EQ(parser.CurAttr("note"), "1 > 0 />");
        } else if (parser.CurPartType() == XmlPart::Content) {
            EXPECT_EQ(parser.CurContent(), "value " + std::to_string(items));
            ++items;
        }
    }
    EXPECT_EQ(items, 20000);
    EXPECT_FALSE(parser.EndedOnError()) << parser.ErrorText();
}

enum class Endian { Little, Big };

std::string utf16(const std::u16string& text, Endian endian, bool byteOrderMark) {
    std::string bytes;
    const auto put = [&](char16_t unit) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += endian == Endian::Little ? low : high;
        bytes += endian == Endian::Little ? high : low;
    };
    if (byteOrderMark)
        put(0xFEFF);
    for (const char16_t unit : text)
        put(unit);
    return bytes;
}

// Older installations wrote Windows-1250 bytes under the label ISO-8859-2. The bytes 0x8A,
// 0x9A, 0x8E, 0x9E (Š š Ž ž in Windows-1250) are control characters in ISO-8859-2, and 0xA9
// is © in Windows-1250 but Š in ISO-8859-2.
TEST(XmlParser, EncodingsArriveAsUtf8) {
    const std::string cp1250Text = "\x8A\x9A \x8E\x9E \xA9 \xE3\xE2\xEE\xBA\xFE \xF5\xFB";
    const std::string utf8Text = "Šš Žž © ăâîşţ őű";
    const auto declared = [&](const std::string& label) {
        return "<?xml version=\"1.0\" encoding=\"" + label + "\"?>\n<t a=\"" + cp1250Text + "\">" +
               cp1250Text + "</t>";
    };
    const struct {
        std::string document;
        std::string attribute;
        std::string content;
    } cases[] = {
        {declared("ISO-8859-2"), utf8Text, utf8Text},
        {declared("iso-8859-2"), utf8Text, utf8Text},
        {declared("ISO8859-2"), utf8Text, utf8Text},
        {declared("latin2"), utf8Text, utf8Text},
        {declared("windows-1250"), utf8Text, utf8Text},
        // No encoding declared and not valid UTF-8: a file edited in the system's code page.
        {"<t a=\"" + cp1250Text + "\">" + cp1250Text + "</t>", utf8Text, utf8Text},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><t a=\"" + utf8Text + "\">" + utf8Text + "</t>",
         utf8Text, utf8Text},
        {"\xEF\xBB\xBF<t a=\"" + utf8Text + "\">" + utf8Text + "</t>", utf8Text, utf8Text},
        // Other encodings, declared or told by the first bytes (Notepad's "Unicode").
        {"<?xml version='1.0' encoding='ISO-8859-1'?><t a=\"\xE9\">\xE9\xFF</t>", "é", "éÿ"},
        {utf16(u"<t a=\"Ő\">Ő€𝄞</t>", Endian::Little, true), "Ő", "Ő€𝄞"},
        {utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><t a=\"Ő\">Ő€𝄞</t>", Endian::Big,
               false),
         "Ő", "Ő€𝄞"},
    };
    for (const auto& c : cases) {
        XmlReader parser;
        ASSERT_TRUE(parser.LoadFromBuffer(c.document));
        ASSERT_TRUE(parser.Scan()) << c.document;
        EXPECT_EQ(parser.CurAttr("a"), c.attribute) << c.document;
        ASSERT_TRUE(parser.Scan()) << c.document;
        EXPECT_EQ(parser.CurContent(), c.content) << c.document;
        EXPECT_FALSE(parser.EndedOnError()) << c.document << parser.ErrorText();
    }

    // Declared UTF-8 but not UTF-8: a fault, with the parts before it.
    XmlReader wrong;
    ASSERT_TRUE(wrong.LoadFromBuffer("<?xml version=\"1.0\" encoding=\"UTF-8\"?><t><u>ok</u>"
                                     "<v>\x8A</v></t>"));
    EXPECT_EQ(scanAll(wrong), (Parts{"<t>", "<u>", "u: ok", "</u>", "<v>"}));
    EXPECT_TRUE(wrong.EndedOnError());
}

TEST(XmlParser, MalformedDocumentsEndOnAnError) {
    const struct {
        std::string document;
        Parts expected;
        const char* errorMentions;
    } cases[] = {
        {"", {}, "line 1"},
        {"<a>\n<b>\n</a>", {"<a>", "<b>"}, "line 3"},
        {"<a x=\"1\" x=\"2\"><b/></a>", {}, "line 1"},
        {"<a>&undefined;</a>", {"<a>"}, "undefined"},
        {"<a/><b/>", {"<a/>"}, "Extra content"},
        {"<a>text</a>trailing", {"<a>", "a: text", "</a>"}, "line 1"},
        // Faults of the encoding: found before libxml2 sees the bytes, same outcome.
        {"<?xml version=\"1.0\" encoding=\"x-no-such-code\"?><a/>", {}, "x-no-such-code"},
        {"<?xml version=\"1.0\" encoding=\"ISO-2022-JP\"?>\n<a>ok</a>\n<b>\x1B$B\xFF</b>",
         {"<a>", "a: ok", "</a>"},
         "line 3"},
        {utf16(u"<a>\n<b>ok</b>", Endian::Little, true) + std::string("\0", 1),
         {"<a>", "<b>", "b: ok", "</b>"},
         "line 2"},
        {"\x4C\x6F\xA7\x94", {}, "EBCDIC"},
    };
    for (const auto& c : cases) {
        XmlReader parser;
        ASSERT_TRUE(parser.LoadFromBuffer(c.document));
        EXPECT_EQ(scanAll(parser), c.expected) << c.document;
        EXPECT_TRUE(parser.EndedOnError()) << c.document;
        EXPECT_NE(parser.ErrorText().find(c.errorMentions), std::string::npos)
            << c.document << ": " << parser.ErrorText();
    }
}

// Entity declarations could expand without bound ("billion laughs") or reach for files; a
// document that declares any is refused before its first part.
TEST(XmlParser, EntityDeclarationsAreRefusedAndNothingIsLoaded) {
    test::TempDir dir;
    std::ofstream(dir.file("outside.dtd")) << "<!ENTITY secret \"LOADED\">";
    std::ofstream(dir.file("secret.txt")) << "LOADED";
    const std::string dtd = "file://" + dir.file("outside.dtd");
    const std::string file = "file://" + dir.file("secret.txt");

    std::string laughs = "<!DOCTYPE l [<!ENTITY l0 \"ha\">";
    for (int i = 1; i < 10; ++i)
        laughs += "<!ENTITY l" + std::to_string(i) + " \"" + [&] {
            std::string refs;
            for (int k = 0; k < 10; ++k)
                refs += "&l" + std::to_string(i - 1) + ";";
            return refs;
        }() + "\">";
    laughs += "]><l>&l9;</l>";

    const struct {
        std::string document;
        Parts expected;
        bool refused;
    } cases[] = {
        {laughs, {}, true},
        {"<!DOCTYPE l [<!ENTITY x SYSTEM \"" + file + "\">]><l>&x;</l>", {}, true},
        {"<!DOCTYPE l [<!ENTITY % p SYSTEM \"" + dtd + "\"> %p;]><l>&secret;</l>", {}, true},
        // A DTD named by the document is not read: the entity stays undefined and is dropped.
        {"<!DOCTYPE l SYSTEM \"" + dtd + "\"><l>[&secret;]</l>", {"<l>", "l: []", "</l>"}, false},
        {"<!DOCTYPE l [<!ELEMENT l (#PCDATA)><!-- it's fine -->]><l>ok</l>",
         {"<l>", "l: ok", "</l>"},
         false},
    };
    for (const auto& c : cases) {
        XmlReader parser;
        ASSERT_TRUE(parser.LoadFromBuffer(c.document));
        EXPECT_EQ(scanAll(parser), c.expected) << c.document;
        EXPECT_EQ(parser.EndedOnError(), c.refused) << c.document << parser.ErrorText();
        if (c.refused) {
            EXPECT_NE(parser.ErrorText().find("entity"), std::string::npos) << parser.ErrorText();
        }
    }
}

// libxml2's check for repeated attributes grows with the square of their number: a crafted
// element with a hundred thousand attributes stalls it for minutes. Quotes, comments and
// markup declarations must not confuse the count.
TEST(XmlParser, ElementsWithTooManyAttributesAreRefused) {
    const auto element = [](std::size_t count, const std::string& value) {
        std::string tag = "<e";
        for (std::size_t i = 0; i < count; ++i)
            tag += " a" + std::to_string(i) + "=\"" + value + "\"";
        return tag + "/>";
    };
    const std::string limit = element(kMaxXmlAttributes, "v");
    const std::string over = element(kMaxXmlAttributes + 1, "v");
    const struct {
        std::string document;
        Parts expected;
        bool refused;
    } cases[] = {
        {"<r>" + limit + "</r>", {"<r>", "<e/>", "</r>"}, false},
        {"<r><x>before</x>\n" + over + "</r>", {"<r>", "<x>", "x: before", "</x>"}, true},
        // Values holding ">" and "=" do not end the tag early or count twice.
        {"<r>" + element(kMaxXmlAttributes, "a=>b") + "</r>", {"<r>", "<e/>", "</r>"}, false},
        {"<root>" + element(kMaxXmlAttributes + 1, "'>'") + "</root>", {"<root>"}, true},
        // The count runs on the text, whatever the encoding of the bytes.
        {utf16(std::u16string(u"<root>") + std::u16string(over.begin(), over.end()) + u"</root>",
               Endian::Big, true),
         {"<root>"},
         true},
        // An apostrophe in a comment, a CDATA section or a declaration is no quote.
        {"<!DOCTYPE r [<!-- it's --><!ATTLIST r x CDATA 'it'>]><r><!-- don't --><![CDATA[ ' ]]>" +
             over + "</r>",
         {"<r>", "!:  don't ", "r: '"},
         true},
    };
    for (const auto& c : cases) {
        XmlReader parser;
        ASSERT_TRUE(parser.LoadFromBuffer(c.document));
        EXPECT_EQ(scanAll(parser), c.expected) << c.document.substr(0, 80);
        EXPECT_EQ(parser.EndedOnError(), c.refused) << parser.ErrorText();
        if (c.refused) {
            EXPECT_NE(parser.ErrorText().find("attributes"), std::string::npos)
                << parser.ErrorText();
        }
    }
}

TEST(XmlParser, LoadingFilesAndTheSizeLimit) {
    test::TempDir dir;
    const std::string document = "<a>x</a>";
    std::ofstream(dir.file("small.xml"), std::ios::binary) << document;
    std::ofstream(dir.file("empty.xml"), std::ios::binary);

    XmlReader parser;
    ASSERT_TRUE(parser.LoadFromFile(dir.file("small.xml")));
    EXPECT_EQ(parser.FileName(), dir.file("small.xml"));
    EXPECT_EQ(scanAll(parser), (Parts{"<a>", "a: x", "</a>"}));

    // An empty file is read; the scan finds nothing.
    ASSERT_TRUE(parser.LoadFromFile(dir.file("empty.xml")));
    EXPECT_EQ(scanAll(parser), Parts{});

    const struct {
        std::string path;
        std::size_t limit;
        const char* reason;
    } refused[] = {
        {dir.file("missing.xml"), kMaxXmlDocumentSize, "cannot open"},
        {dir.directory(), kMaxXmlDocumentSize, "not a regular file"},
        {dir.file("small.xml"), document.size() - 1, "larger than"},
    };
    for (const auto& r : refused) {
        XmlReader failing;
        failing.MaxDocumentSize = r.limit;
        EXPECT_FALSE(failing.LoadFromFile(r.path)) << r.path;
        EXPECT_NE(failing.ErrorText().find(r.reason), std::string::npos) << failing.ErrorText();
        EXPECT_TRUE(failing.EndedOnError());
        EXPECT_FALSE(failing.Scan());
    }

    XmlReader limited;
    limited.MaxDocumentSize = document.size();
    EXPECT_TRUE(limited.LoadFromBuffer(document));
    EXPECT_FALSE(limited.LoadFromBuffer(document + " "));
    EXPECT_NE(limited.ErrorText().find("larger than"), std::string::npos);
    EXPECT_FALSE(limited.Scan());
}

} // namespace
} // namespace kalydor
