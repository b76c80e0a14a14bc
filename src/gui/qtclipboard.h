#pragma once

#include "platform/clipboard.h"

#include <QClipboard>
#include <QStringList>

namespace kalydor::gui {

/// The clipboard on QClipboard. Each format is offered under MIME types other programs
/// understand:
///   "Text"             text/plain (UTF-8, line ends kept)
///   "Rich Text Format" text/rtf and application/rtf
///   "Biff"             application/vnd.ms-excel
///   "HTML Format"      text/html
///   "Bitmap"           image/png;  "Metafile" image/svg+xml
///   any other name     application/x-kalydor-NAME, NAME lower-cased with every character
///                      but letters, digits, "." and "+" turned into "-"
///                      ("Romanian Panel 3.0" is application/x-kalydor-romanian-panel-3.0).
class QtClipboard final : public platform::Clipboard {
public:
    explicit QtClipboard(QClipboard* clipboard = nullptr,
                         QClipboard::Mode mode = QClipboard::Clipboard);

    void setEntries(const std::vector<platform::ClipboardEntry>& entries) override;
    bool hasFormat(std::string_view format) const override;
    std::optional<std::string> data(std::string_view format) const override;

    /// The MIME types a format is offered under, the first being the one read back.
    static QStringList mimeTypesOf(std::string_view format);

private:
    QClipboard* m_clipboard;
    QClipboard::Mode m_mode;
};

} // namespace kalydor::gui
