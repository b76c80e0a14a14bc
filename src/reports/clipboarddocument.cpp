#include "reports/clipboarddocument.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/resources.h"
#include "base/textlookup.h"
#include "platform/clipboard.h"
#include "store/itemstream.h"

#include <limits>
#include <stdexcept>
#include <vector>

namespace kalydor {

namespace format = platform::clipboard_format;

ClipboardDocument::ClipboardDocument(const TextLookup& languages)
    : m_languages(languages)
    , m_text(languages, TextStreamKind::PlainText)
    , m_rtf(languages, TextStreamKind::Rtf) {
    // The text and rich-text forms are reports: their numbers read as the language writes
    // them.
    m_text.DecimalSeparator = decimalSeparatorOf(languages);
    m_rtf.DecimalSeparator = m_text.DecimalSeparator;
}

void ClipboardDocument::WriteRtfHeader(std::string_view name) {
    const std::string_view resource = namedResource("rtfheaders", name);
    if (resource.empty())
        return;
    m_rtf.Write(m_languages.expandPlaceholders(resource));
    m_rtfHeaderPending = false;
}

void ClipboardDocument::WriteItemRtfHeader(std::string_view name) {
    if (m_rtfHeaderPending)
        WriteRtfHeader(name);
}

void ClipboardDocument::CellBoundary(int twips) {
    m_rtf.Write("\\cellx" + std::to_string(twips));
}

void ClipboardDocument::Cell(std::string_view text) {
    m_rtf.Write(text);
    m_rtf.Write("\\cell ");
}

void ClipboardDocument::CellIf(std::string_view text, bool condition) {
    m_rtf.WriteIf(text, condition);
    m_rtf.Write("\\cell ");
}

void ClipboardDocument::EndRow() {
    m_rtf.Write("\\row\r\n");
}

void ClipboardDocument::TakeBitmap(const platform::Clipboard& clipboard) {
    if (auto picture = clipboard.data(format::kBitmap))
        m_bitmap = std::move(picture);
}

void ClipboardDocument::TakeMetafile(const platform::Clipboard& clipboard) {
    if (auto picture = clipboard.data(format::kMetafile))
        m_metafile = std::move(picture);
}

std::size_t ClipboardDocument::BeginEntry(const std::string& groupPath, const std::string& name) {
    WriteString(m_private, groupPath);
    WriteString(m_private, name);
    const std::size_t placeholder = m_private.position();
    writeInt32(m_private, 0);
    return placeholder;
}

void ClipboardDocument::EndEntry(std::size_t placeholder) {
    const std::size_t end = m_private.position();
    // The offset word is 32 bits wide; an export that large cannot be held in memory anyway.
    if (end > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("multi-item export larger than 2 GiB");
    m_private.seek(placeholder);
    writeInt32(m_private, std::int32_t(end));
    m_private.seek(end);
}

std::int32_t ClipboardDocument::ReadEntry(MemoryStream& stream, std::string& groupPath,
                                          std::string& name) {
    if (stream.remaining() == 0)
        return -1;
    groupPath = ReadString(stream);
    name = ReadString(stream);
    const std::int32_t end = readInt32(stream);
    // The end must lie between the item data and the end of the stream: an offset pointing
    // back would read the same entry again and again.
    if (end < 0 || std::size_t(end) < stream.position() || std::size_t(end) > stream.size())
        throw Error("IDS_DATAREADERROR");
    return end;
}

void ClipboardDocument::FinishDocument() {
    if (m_finished)
        return;
    m_finished = true;
    if (!m_rtf.empty())
        m_rtf.WriteKeyText("IDS_RTFEND");
    m_sheet.EndSheet();
}

void ClipboardDocument::CopyToClipboard(platform::Clipboard& clipboard,
                                        std::string_view privateFormat) {
    FinishDocument();
    std::vector<platform::ClipboardEntry> entries;
    if (!privateFormat.empty())
        entries.push_back({std::string(privateFormat), m_private.bytes()});
    if (!m_text.empty())
        entries.push_back({std::string(format::kText), m_text.text()});
    if (!m_rtf.empty())
        entries.push_back({std::string(format::kRichText), m_rtf.text()});
    if (!m_sheet.empty()) {
        entries.push_back({std::string(format::kBiff), m_sheet.bytes()});
        entries.push_back({std::string(format::kHtml), htmlTableOfCells(m_sheet.cells())});
    }
    if (m_bitmap)
        entries.push_back({std::string(format::kBitmap), *m_bitmap});
    if (m_metafile)
        entries.push_back({std::string(format::kMetafile), *m_metafile});
    clipboard.setEntries(entries);
}

bool ClipboardDocument::PasteFromClipboard(const platform::Clipboard& clipboard,
                                           std::string_view privateFormat) {
    if (privateFormat.empty())
        return false;
    auto bytes = clipboard.data(privateFormat);
    if (!bytes)
        return false;
    m_private = MemoryStream(std::move(*bytes));
    return m_private.size() > 0;
}

std::string privateClipboardFormat(ItemKind itemKind, bool exportForm) {
    if (!isItemKind(itemKind))
        return {};
    return stringTableEntry(482 + 2 * (kindNumber(itemKind) - 1) + (exportForm ? 1 : 0));
}

} // namespace kalydor
