#pragma once

#include "base/memorystream.h"
#include "reports/biffwriter.h"
#include "reports/textdocument.h"
#include "store/itemkinds.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalydor {

class TextLookup;

namespace platform {
class Clipboard;
}

/// Collects the forms an item (or a series of items) describes itself in — plain text, rich
/// text, spreadsheet cells, pictures and a private copy the program can paste back — and
/// publishes them on the clipboard in one go, or hands the rich text to the report printer.
class ClipboardDocument {
public:
    explicit ClipboardDocument(const TextLookup& languages);

    /// The item's private copy (name and stored record), or the entries of a multi-item export.
    MemoryStream& privateStream() { return m_private; }
    TextDocument& text() { return m_text; }
    TextDocument& rtf() { return m_rtf; }
    BiffWriter& sheet() { return m_sheet; }
    const MemoryStream& privateStream() const { return m_private; }
    const TextDocument& text() const { return m_text; }
    const TextDocument& rtf() const { return m_rtf; }
    const BiffWriter& sheet() const { return m_sheet; }

    /// Set for an export of several items: items then leave out per-item detail.
    bool MultiItem = false;

    /// Appends the rich-text header resource of this name (found without regard to case),
    /// its #KEY# placeholders replaced from the language tables. A missing resource writes
    /// nothing; a written one marks the item header as written.
    void WriteRtfHeader(std::string_view name);
    /// Writes an item's prologue resource unless a header has been written already: a series
    /// of items shares the prologue of the first.
    void WriteItemRtfHeader(std::string_view name);
    bool RtfHeaderPending() const { return m_rtfHeaderPending; }

    /// Rich-text table helpers. Rows are opened by the caller's own "\trowd" text; cell texts
    /// are rich text (alignment codes allowed), so user texts in them are escaped by the
    /// caller (escapeRtfSpecials) or written through a "%s" argument.
    void CellBoundary(int twips);
    void Cell(std::string_view text);
    /// The text only when the condition holds; the cell is closed either way.
    void CellIf(std::string_view text, bool condition);
    void EndRow();

    /// Takes the picture the chart component left on the clipboard (PNG bytes), if any.
    void TakeBitmap(const platform::Clipboard& clipboard);
    /// Takes the vector picture the chart component left on the clipboard (SVG bytes), if any.
    void TakeMetafile(const platform::Clipboard& clipboard);
    const std::optional<std::string>& bitmap() const { return m_bitmap; }
    /// Sets the picture of the copy directly (PNG bytes), as a chart drawn by the program.
    void SetBitmap(std::string png) { m_bitmap = std::move(png); }
    const std::optional<std::string>& metafile() const { return m_metafile; }

    /// Multi-item entries: the group path and the name, then a placeholder for the end offset;
    /// returns the placeholder's position for EndEntry. The item writes itself in between.
    std::size_t BeginEntry(const std::string& groupPath, const std::string& name);
    /// Fills the placeholder with the absolute offset where the entry ends.
    void EndEntry(std::size_t placeholder);
    /// Reads the head of the next entry: -1 at the end of the stream, otherwise the entry's
    /// end offset (the item data lies between the position after this call and that offset).
    /// An end offset that lies before the item data or beyond the stream raises
    /// "IDS_DATAREADERROR", as does a head cut short.
    static std::int32_t ReadEntry(MemoryStream& stream, std::string& groupPath, std::string& name);

    /// Closes the document: the language text "IDS_RTFEND" ends a non-empty rich text and the
    /// sheet gets its end record. Done once; publishing calls it.
    void FinishDocument();

    /// Replaces the clipboard's content with the collected forms, in this order: the private
    /// copy under the given format (when a format is named), the text, the rich text and the
    /// spreadsheet cells (BIFF, then the same cells as HTML) when not empty, the pictures.
    void CopyToClipboard(platform::Clipboard& clipboard, std::string_view privateFormat = {});
    /// Takes the private copy of the given format from the clipboard into the private stream,
    /// rewound; true when it holds anything.
    bool PasteFromClipboard(const platform::Clipboard& clipboard, std::string_view privateFormat);

private:
    const TextLookup& m_languages;
    MemoryStream m_private;
    TextDocument m_text;
    TextDocument m_rtf;
    BiffWriter m_sheet;
    std::optional<std::string> m_bitmap;
    std::optional<std::string> m_metafile;
    bool m_rtfHeaderPending = true;
    bool m_finished = false;
};

/// The private clipboard format of an item kind (1 material … 4 building): its plain copy,
/// or with exportForm its multi-item export. Empty for another kind.
std::string privateClipboardFormat(ItemKind itemKind, bool exportForm);

} // namespace kalydor
