#include "base/error.h"
#include "base/resources.h"
#include "language/languages.h"
#include "platform/memoryclipboard.h"
#include "reports/clipboarddocument.h"
#include "store/itemstream.h"

#include "support/bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace kalydor {
namespace {

using test::bytes;
namespace format = platform::clipboard_format;

Languages languagesWith(std::map<std::string, std::string, std::less<>> strings) {
    Language language;
    language.id = "Test";
    language.userInterface = true;
    language.strings = std::move(strings);
    Languages languages;
    languages.addLanguage(std::move(language));
    languages.SelectInterfaceLanguage("Test");
    return languages;
}

std::string le16(unsigned v) {
    return bytes({v & 0xFF, v >> 8});
}

std::string doubleBytes(double v) {
    std::string out(8, '\0');
    std::memcpy(out.data(), &v, 8);
    return out;
}

// BOF, DIMENSIONS with the given counts, CODEPAGE 1250.
std::string sheetStart(unsigned rows, unsigned columns) {
    return bytes({0x09, 0, 4, 0, 0x07, 0, 0x10, 0}) + bytes({0, 0, 8, 0, 0, 0}) + le16(rows) +
           bytes({0, 0}) + le16(columns) + bytes({0x42, 0, 2, 0, 0xE2, 0x04});
}

std::string label(unsigned row, unsigned column, const std::string& cp1250) {
    return bytes({4, 0}) + le16(unsigned(cp1250.size() + 8)) + le16(row) + le16(column) +
           bytes({0x40, 0, 0, unsigned(cp1250.size())}) + cp1250;
}

std::string number(unsigned row, unsigned column, double value) {
    return bytes({3, 0, 15, 0}) + le16(row) + le16(column) + bytes({0x40, 0, 0}) +
           doubleBytes(value);
}

const std::string kEof = bytes({0x0A, 0, 0, 0});

// A sheet of a title row of 11 captions and two data rows, each row closed by a new-row step,
// the last data row with a number left out by its condition: the hole stays, the next value
// lands one column further, and the dimensions say 3 rows and 11 columns.
TEST(BiffStream, SheetIsWrittenByteForByteWithPatchedDimensions) {
    BiffWriter sheet;
    sheet.BeginSheet();
    std::string expected = sheetStart(3, 11);
    for (int c = 0; c < 11; ++c) {
        sheet.TextCell("C" + std::to_string(c));
        expected += label(0, c, "C" + std::to_string(c));
    }
    sheet.NewRow();
    sheet.NumberCell(1.5);
    expected += number(1, 0, 1.5);
    sheet.NewRow();
    sheet.TextCell("Perete exterior");
    expected += label(2, 0, "Perete exterior");
    sheet.NumberCellIf(99.0, false);
    sheet.NumberCellIf(-0.25, true);
    expected += number(2, 2, -0.25);
    sheet.NewRow();
    sheet.EndSheet();
    expected += kEof;

    EXPECT_EQ(sheet.bytes(), expected);
    EXPECT_EQ(sheet.rowCount(), 3);
    EXPECT_EQ(sheet.columnCount(), 11);
    // A second end (publishing twice) adds nothing.
    sheet.EndSheet();
    EXPECT_EQ(sheet.bytes(), expected);
}

// Texts travel in Windows-1250: Romanian comma-below letters take their cedilla forms, a
// character the code page lacks becomes "?", and the length byte caps a text at 255 bytes.
TEST(BiffStream, TextCellsAreWindows1250) {
    const struct {
        std::string utf8;
        std::string cp1250;
    } cases[] = {
        {"Fereastră", "Fereastr\xE3"},
        {"Ușă ț Ș Ț", "U\xBA\xE3 \xFE \xAA \xDE"},
        {"Zoltán Őri", "Zolt\xE1n \xD5ri"},
        {"m² € 日本", "m? \x80 ??"},
        {std::string(300, 'x'), std::string(255, 'x')},
        {std::string(254, 'x') + "ăă", std::string(254, 'x') + "\xE3"},
    };
    for (const auto& c : cases) {
        BiffWriter sheet;
        sheet.TextCell(c.utf8);
        EXPECT_EQ(sheet.bytes().substr(26), label(0, 0, c.cp1250)) << c.utf8;
        // The kept cell is the text as written, for the HTML table.
        EXPECT_EQ(std::get<std::string>(sheet.cells()[0][0]), c.utf8);
    }
}

TEST(BiffStream, CursorMovesAndHtmlTableKeepsHoles) {
    BiffWriter sheet;
    sheet.TextCell("a<b & \"c\"");
    sheet.GoToColumn(3);
    sheet.NumberCell(2.5);
    sheet.NewRow();
    sheet.SkipCell();
    sheet.TextCell("Încăpere");
    EXPECT_EQ(sheet.row(), 1);
    EXPECT_EQ(sheet.column(), 2);
    EXPECT_EQ(htmlTableOfCells(sheet.cells()),
              "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n<table>\n"
              "<tr><td>a&lt;b &amp; &quot;c&quot;</td><td></td><td></td>"
              "<td sdval=\"2.5\" sdnum=\"1033;\">2.5</td></tr>\n"
              "<tr><td></td><td>Încăpere</td></tr>\n</table>\n</body></html>\n");
}

TEST(PrintfStringStream, StringTableAndLanguageFormats) {
    const Languages languages = languagesWith({{"ID_MATERIAL1", "Grosime"},
                                               {"ID_MATERIAL9", "Umiditate inițială"},
                                               {"ID_MATERIAL11", "Strat de aer ventilat"},
                                               {"IDS_COUNT", "%d buc."},
                                               {"IDS_TITLE", "Titlu: %s"},
                                               {"IDS_PERCENT", "90 %"},
                                               {"IDS_WRONGKIND", "%d elemente"},
                                               {"IDS_TOOMANY", "%s și %s"}});
    TextDocument s(languages);
    s.PrintfText(544, "Cărămidă");
    s.PrintfReal(545, 12.346);
    s.PrintfReal(546, 1800, false);
    s.PrintfReal(553, 2.26);
    s.WriteStringTableText(555);
    s.PrintfReals(557, 80, 3.5);
    s.PrintfReals(557, 1, 2, false);
    s.PrintfInt(544, 8, false);
    s.PrintfKeyText("IDS_TITLE", "Perete");
    s.PrintfKeyReal("IDS_COUNT", 3, false);
    s.WriteKeyText("IDS_TITLE", false);
    s.WriteIf("[", true);
    // Formats that do not fit their arguments are written as they stand.
    s.PrintfKeyReal("IDS_PERCENT", 90);
    s.PrintfKeyText("IDS_WRONGKIND", "trei");
    s.PrintfKeyText("IDS_TOOMANY", "unu");
    s.PrintfInt(544, 7);
    // A missing format writes nothing.
    s.PrintfKeyText("IDS_MISSING", "x");
    s.PrintfText(9999, "x");
    s.WriteIf("]", true);
    EXPECT_EQ(s.text(), "Cărămidă\r\n"
                        "Grosime: 12.35 cm\r\n"
                        "Umiditate inițială: 2.3 m%\r\n"
                        "Strat de aer ventilat\r\n"
                        "\t80 %\t\t\t3.50 m%\r\n"
                        "Titlu: Perete"
                        "[90 %%d elemente%s și %s%s\r\n]");
}

// A long material description is written whole, however long the formatted piece.
TEST(PrintfStringStream, LongPiecesAreWrittenWhole) {
    const Languages languages;
    TextDocument s(languages);
    const std::string name(5000, 'x');
    s.PrintfText(544, name);
    EXPECT_EQ(s.text(), name + "\r\n");
}

// Text exchange files quote strings; with the flag a quote or backslash inside is escaped.
TEST(PrintfStringStream, EscapeFlag) {
    const Languages languages;
    TextDocument s(languages);
    EXPECT_EQ(s.Escape(R"(a "b" \c)"), R"(a "b" \c)");
    s.EscapeFlag = true;
    EXPECT_EQ(s.Escape(R"(a "b" \c)"), R"(a \"b\" \\c)");
}

// User data in "%s" arguments must not break the rich text, while the formats and the
// closing "IDS_RTFEND" are rich text themselves; everything non-ASCII becomes \uN?.
TEST(PrintfStringStream, RtfEscapesArgumentsAndEncodesNonAscii) {
    const Languages languages =
        languagesWith({{"IDS_BOLDNAME", "{\\b %s}\\par "}, {"IDS_UNIT", "m² ț"}});
    TextDocument rtf(languages, TextStreamKind::Rtf);
    rtf.PrintfKeyText("IDS_BOLDNAME", "Perete {nou} \\ ă 𝄞");
    rtf.WriteKeyText("IDS_UNIT");
    EXPECT_EQ(rtf.text(), "{\\b Perete \\{nou\\} \\\\ \\u259? \\u-10188?\\u-8930?}\\par "
                          "m\\u178? \\u539?");

    TextDocument plain(languages);
    plain.PrintfKeyText("IDS_BOLDNAME", "Perete {nou} ă");
    EXPECT_EQ(plain.text(), "{\\b Perete {nou} ă}\\par ");
}

const std::map<std::string, std::string, std::less<>> kBuilderTexts = {
    {"IDS_RTFEND", "}"},
    {"CID_STYLETITLE", "Titlu element"},
    {"CID_STYLEPROPERTY", "Proprietate"},
    {"CID_STYLETABLECAPTION", "Titlu de tabel"},
    {"CID_STYLETABLEHEADER", "Antet de tabel"},
    {"CID_STYLETABLECELL", "Celulă de tabel"},
    {"CID_STYLEMESSAGE", "Mesaj"},
};

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos;
         pos = text.find(part, pos + 1))
        ++n;
    return n;
}

// Two materials copied in one export share the prologue written before the first; the
// document is closed once, at publishing.
TEST(ClipboardStream, ItemHeaderIsWrittenOnlyBeforeTheFirstItem) {
    const Languages languages = languagesWith(kBuilderTexts);
    ClipboardDocument stream(languages);
    stream.MultiItem = true;
    for (const std::string name : {"Beton", "Vată minerală"}) {
        stream.WriteItemRtfHeader("MaterialRTFHeader");
        stream.rtf().PrintfText(544, name);
        stream.text().PrintfText(544, name);
    }
    EXPECT_FALSE(stream.RtfHeaderPending());
    platform::MemoryClipboard clipboard;
    stream.CopyToClipboard(clipboard);
    const std::string rtf = clipboard.data(format::kRichText).value();
    EXPECT_TRUE(rtf.starts_with("{\\rtf1"));
    EXPECT_EQ(occurrences(rtf, "{\\rtf1"), 1u);
    EXPECT_EQ(occurrences(rtf, "\\fonttbl"), 1u);
    EXPECT_NE(rtf.find("Celul\\u259? de tabel;}"), std::string::npos);
    EXPECT_TRUE(rtf.ends_with("Beton\r\nVat\\u259? mineral\\u259?\r\n}"));
    EXPECT_EQ(clipboard.data(format::kText), "Beton\r\nVată minerală\r\n");
    // The braces of the whole document balance once it is closed.
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\')
            ++i;
        else if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}')
            --depth;
        ASSERT_GE(depth, 0) << i;
    }
    EXPECT_EQ(depth, 0);
}

TEST(ClipboardStream, MissingHeaderResourceWritesNothingAndKeepsTheHeaderPending) {
    const Languages languages = languagesWith(kBuilderTexts);
    ClipboardDocument stream(languages);
    stream.WriteRtfHeader("NoSuchHeader");
    EXPECT_TRUE(stream.rtf().empty());
    EXPECT_TRUE(stream.RtfHeaderPending());
    stream.WriteRtfHeader("panellayertable");
    EXPECT_FALSE(stream.rtf().empty());
    EXPECT_FALSE(stream.RtfHeaderPending());
}

TEST(ClipboardStream, TableHelpers) {
    const Languages languages;
    ClipboardDocument stream(languages);
    stream.rtf().Write("\\trowd");
    stream.CellBoundary(400);
    stream.CellBoundary(10826);
    stream.Cell("\\qc 1");
    stream.CellIf("x", false);
    stream.CellIf("\\qr " + escapeRtfSpecials("{ă}"), true);
    stream.EndRow();
    EXPECT_EQ(
        stream.rtf().text(),
        "\\trowd\\cellx400\\cellx10826\\qc 1\\cell \\cell \\qr \\{\\u259?\\}\\cell \\row\r\n");
}

// Everything a copy produces goes onto the clipboard in one go, in a fixed order.
TEST(ClipboardStream, PublishesEveryFormInOrder) {
    const Languages languages = languagesWith(kBuilderTexts);
    platform::MemoryClipboard chart;
    chart.setEntries(
        {{std::string(format::kBitmap), "PNG"}, {std::string(format::kMetafile), "SVG"}});

    ClipboardDocument stream(languages);
    WriteString(stream.privateStream(), "Perete");
    stream.text().Write("Perete\r\n");
    stream.rtf().Write("{\\rtf1 Perete");
    stream.sheet().BeginSheet();
    stream.sheet().TextCell("Perete");
    stream.sheet().NewRow();
    stream.TakeBitmap(chart);
    stream.TakeMetafile(chart);

    const std::string privateFormat = privateClipboardFormat(ItemKind::Construction, false);
    EXPECT_EQ(privateFormat, "Romanian Panel 3.0");
    platform::MemoryClipboard clipboard;
    stream.CopyToClipboard(clipboard, privateFormat);
    std::vector<std::string> formats;
    for (const auto& entry : clipboard.entries())
        formats.push_back(entry.format);
    EXPECT_EQ(formats, (std::vector<std::string>{privateFormat, "Text", "Rich Text Format", "Biff",
                                                 "HTML Format", "Bitmap", "Metafile"}));
    // The registered names of rich text and cells are those of the string table.
    EXPECT_EQ(stringTableEntry(480), format::kRichText);
    EXPECT_EQ(stringTableEntry(481), format::kBiff);
    EXPECT_EQ(clipboard.data(format::kRichText), "{\\rtf1 Perete}");
    EXPECT_EQ(clipboard.data(format::kBiff), sheetStart(1, 1) + label(0, 0, "Perete") + kEof);
    EXPECT_NE(clipboard.data(format::kHtml)->find("<td>Perete</td>"), std::string::npos);
    EXPECT_EQ(clipboard.data(format::kBitmap), "PNG");

    // Publishing again gives the same document, not a second closing brace or end record.
    platform::MemoryClipboard again;
    stream.CopyToClipboard(again, privateFormat);
    EXPECT_EQ(again.entries().size(), clipboard.entries().size());
    EXPECT_EQ(again.data(format::kRichText), clipboard.data(format::kRichText));
    EXPECT_EQ(again.data(format::kBiff), clipboard.data(format::kBiff));

    ClipboardDocument pasted(languages);
    EXPECT_FALSE(
        pasted.PasteFromClipboard(clipboard, privateClipboardFormat(ItemKind::Room, false)));
    ASSERT_TRUE(pasted.PasteFromClipboard(clipboard, privateFormat));
    EXPECT_EQ(pasted.privateStream().position(), 0u);
    EXPECT_EQ(ReadString(pasted.privateStream()), "Perete");
}

// The text and rich-text forms are reports in the language; the cells carry the numbers, and
// their HTML form writes a float as the text form does (0.04, not 0.03999999910593033).
TEST(ClipboardStream, ReportsWriteTheLanguagesNumbersAndCellsTheSameAsText) {
    const Languages romanian =
        languagesWith({{"IDS_DECIMALSEPARATOR", ","}, {"IDS_CONDUCTIVITY", "λ = %g W/mK."}});
    ClipboardDocument stream(romanian);
    stream.text().PrintfKeyReal("IDS_CONDUCTIVITY", 0.04f);
    stream.rtf().PrintfKeyReal("IDS_CONDUCTIVITY", 0.04f);
    EXPECT_EQ(stream.text().text(), "λ = 0,04 W/mK.");
    EXPECT_EQ(stream.rtf().text(), "\\u955? = 0,04 W/mK.");

    stream.sheet().NumberCell(0.04f);
    stream.sheet().NumberCell(1.0 / 3);
    const std::string html = htmlTableOfCells(stream.sheet().cells());
    EXPECT_NE(html.find("sdval=\"0.04\" sdnum=\"1033;\">0.04<"), std::string::npos) << html;
    EXPECT_EQ(html.find("0.0399999"), std::string::npos) << html;
    EXPECT_NE(html.find("0.3333333333333333"), std::string::npos) << html;

    // Without a separator of its own a language writes the point of the files.
    const Languages plain = languagesWith({{"IDS_CONDUCTIVITY", "λ = %g W/mK."}});
    ClipboardDocument point(plain);
    point.text().PrintfKeyReal("IDS_CONDUCTIVITY", 0.04f);
    EXPECT_EQ(point.text().text(), "λ = 0.04 W/mK.");
}

TEST(ClipboardStream, EmptyRichTextStaysOffTheClipboard) {
    const Languages languages = languagesWith(kBuilderTexts);
    ClipboardDocument stream(languages);
    stream.text().Write("Beton\r\n");
    stream.sheet().NumberCell(2400);
    platform::MemoryClipboard clipboard;
    stream.CopyToClipboard(clipboard);
    EXPECT_FALSE(clipboard.hasFormat(format::kRichText));
    EXPECT_TRUE(stream.rtf().empty());
    EXPECT_TRUE(clipboard.hasFormat(format::kText));
    EXPECT_TRUE(clipboard.hasFormat(format::kBiff));
    EXPECT_FALSE(clipboard.hasFormat(privateClipboardFormat(ItemKind::Material, false)));
    EXPECT_EQ(privateClipboardFormat(ItemKind::Building, true), "Romanian Building Export 3.0");
    EXPECT_EQ(privateClipboardFormat(static_cast<ItemKind>(5), false), "");
}

TEST(ClipboardStream, MultiItemEntriesRoundTrip) {
    const Languages languages;
    ClipboardDocument stream(languages);
    const std::size_t first = stream.BeginEntry("Pereți\\Exteriori", "Cărămidă 30");
    WriteString(stream.privateStream(), "record one");
    writeInt16(stream.privateStream(), 54);
    stream.EndEntry(first);
    const std::size_t second = stream.BeginEntry("", "Beton");
    stream.EndEntry(second);

    MemoryStream in(stream.privateStream().bytes());
    std::string path, name;
    const std::int32_t end1 = ClipboardDocument::ReadEntry(in, path, name);
    EXPECT_EQ(path, "Pereți\\Exteriori");
    EXPECT_EQ(name, "Cărămidă 30");
    EXPECT_EQ(ReadString(in), "record one");
    // A reader that knows less of the item than was written skips to the entry's end.
    in.seek(std::size_t(end1));
    EXPECT_EQ(ClipboardDocument::ReadEntry(in, path, name), std::int32_t(in.size()));
    EXPECT_EQ(path, "");
    EXPECT_EQ(name, "Beton");
    EXPECT_EQ(ClipboardDocument::ReadEntry(in, path, name), -1);
}

// Clipboard data come from outside: an end offset that points back into the entry (which
// would read it forever), beyond the data, or a head cut short ends the paste with an error.
TEST(ClipboardStream, DamagedEntryEndsReadingWithAnError) {
    const Languages languages;
    ClipboardDocument stream(languages);
    const std::size_t placeholder = stream.BeginEntry("G", "N");
    WriteString(stream.privateStream(), "data");
    stream.EndEntry(placeholder);
    const std::string good = stream.privateStream().bytes();
    const auto withEnd = [&](std::int32_t end) {
        MemoryStream patched(good);
        patched.seek(placeholder);
        writeInt32(patched, end);
        return patched.bytes();
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"offset back to the entry's start", withEnd(0)},
        {"offset inside the head", withEnd(std::int32_t(placeholder + 2))},
        {"offset beyond the data", withEnd(std::int32_t(good.size() + 1))},
        {"negative offset", withEnd(-5)},
        {"head cut short", good.substr(0, placeholder + 2)},
    };
    for (const auto& c : cases) {
        MemoryStream in(c.bytes);
        std::string path, name;
        try {
            ClipboardDocument::ReadEntry(in, path, name);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.key(), "IDS_DATAREADERROR") << c.what;
        }
    }
}

} // namespace
} // namespace kalydor
