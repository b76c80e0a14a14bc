#include "gui/qtclipboard.h"
#include "language/languages.h"
#include "reports/clipboarddocument.h"

#include "support/qtapplication.h"

#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

namespace format = platform::clipboard_format;

// Other programs find each form under the MIME type they know, and the program reads back
// exactly the bytes it published, binary and line ends included.
TEST(QtClipboard, FormsAreOfferedUnderTheirMimeTypes) {
    test::qtApplication();
    const std::string biff("\x09\x00\x04\x00\x07\x00\x10\x00\x00\xFF", 10);
    const std::vector<platform::ClipboardEntry> entries = {
        {"Romanian Panel 3.0", std::string("\x06\x00Perete\x00", 9)},
        {std::string(format::kText), "Perete exterior\r\nR = 2,5 m²K/W\r\n"},
        {std::string(format::kRichText), "{\\rtf1 Perete}"},
        {std::string(format::kBiff), biff},
        {std::string(format::kHtml), "<table><tr><td>Perete</td></tr></table>"},
        {std::string(format::kBitmap), "\x89PNG"},
    };
    QtClipboard clipboard;
    clipboard.setEntries(entries);

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    for (const char* type :
         {"application/x-kalydor-romanian-panel-3.0", "text/plain", "text/rtf", "application/rtf",
          "application/vnd.ms-excel", "text/html", "image/png"})
        EXPECT_TRUE(mime->hasFormat(type)) << type;
    EXPECT_EQ(mime->text().toStdString(), entries[1].bytes);
    EXPECT_EQ(mime->data("application/rtf").toStdString(), entries[2].bytes);

    for (const auto& entry : entries) {
        EXPECT_TRUE(clipboard.hasFormat(entry.format)) << entry.format;
        EXPECT_EQ(clipboard.data(entry.format), entry.bytes) << entry.format;
    }
    EXPECT_FALSE(clipboard.hasFormat("Romanian Room 3.0"));
    EXPECT_FALSE(clipboard.data(format::kMetafile).has_value());

    clipboard.setEntries({});
    EXPECT_FALSE(clipboard.hasFormat(format::kText));
}

// A copy made by the document builder pastes into a spreadsheet as cells (HTML table) and
// back into the program through its private format.
TEST(QtClipboard, DocumentCopyRoundTrip) {
    test::qtApplication();
    Language language;
    language.id = "Test";
    language.userInterface = true;
    language.strings = {{"IDS_RTFEND", "}"}};
    Languages languages;
    languages.addLanguage(language);
    languages.SelectInterfaceLanguage("Test");

    ClipboardDocument copy(languages);
    copy.privateStream().write("record");
    copy.text().Write("Cameră 1\r\n");
    copy.rtf().Write("{\\rtf1 ");
    copy.rtf().PrintfKeyText("IDS_MISSING", "x");
    copy.rtf().Write("Camer\\u259? 1");
    copy.sheet().TextCell("Cameră 1");
    copy.sheet().NumberCell(1234.5);
    copy.sheet().NewRow();

    QtClipboard clipboard;
    const std::string privateFormat = privateClipboardFormat(ItemKind::Room, true);
    copy.CopyToClipboard(clipboard, privateFormat);

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat("application/x-kalydor-romanian-room-export-3.0"));
    EXPECT_EQ(mime->text(), QStringLiteral("Cameră 1\r\n"));
    EXPECT_EQ(mime->data("text/rtf").toStdString(), "{\\rtf1 Camer\\u259? 1}");
    const QString html = mime->html();
    EXPECT_TRUE(html.contains(QStringLiteral("<td>Cameră 1</td>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("sdval=\"1234.5\""))) << html.toStdString();

    ClipboardDocument paste(languages);
    ASSERT_TRUE(paste.PasteFromClipboard(clipboard, privateFormat));
    EXPECT_EQ(paste.privateStream().bytes(), "record");
}

} // namespace
} // namespace kalydor::gui
