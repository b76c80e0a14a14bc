#include "gui/qtclipboard.h"

#include <QGuiApplication>
#include <QMimeData>

namespace kalydor::gui {

namespace format = platform::clipboard_format;

namespace {

const QString kPlainText = QStringLiteral("text/plain");

QString privateMimeType(std::string_view format) {
    QString subtype = QStringLiteral("x-kalydor-");
    for (const char c : format) {
        const char lower = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        const bool kept = (lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9') ||
                          lower == '.' || lower == '+';
        subtype += kept ? QChar(lower) : QChar('-');
    }
    return QStringLiteral("application/") + subtype;
}

} // namespace

QtClipboard::QtClipboard(QClipboard* clipboard, QClipboard::Mode mode)
    : m_clipboard(clipboard ? clipboard : QGuiApplication::clipboard())
    , m_mode(mode) {}

QStringList QtClipboard::mimeTypesOf(std::string_view name) {
    if (name == format::kText)
        return {kPlainText};
    if (name == format::kRichText)
        return {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};
    if (name == format::kBiff)
        return {QStringLiteral("application/vnd.ms-excel")};
    if (name == format::kHtml)
        return {QStringLiteral("text/html")};
    if (name == format::kBitmap)
        return {QStringLiteral("image/png")};
    if (name == format::kMetafile)
        return {QStringLiteral("image/svg+xml")};
    return {privateMimeType(name)};
}

void QtClipboard::setEntries(const std::vector<platform::ClipboardEntry>& entries) {
    if (entries.empty()) {
        m_clipboard->clear(m_mode);
        return;
    }
    auto* mime = new QMimeData;
    for (const platform::ClipboardEntry& entry : entries) {
        const QByteArray bytes(entry.bytes.data(), qsizetype(entry.bytes.size()));
        if (entry.format == format::kText) {
            mime->setText(QString::fromUtf8(bytes));
            continue;
        }
        for (const QString& type : mimeTypesOf(entry.format))
            mime->setData(type, bytes);
    }
    m_clipboard->setMimeData(mime, m_mode);
}

bool QtClipboard::hasFormat(std::string_view format) const {
    const QMimeData* mime = m_clipboard->mimeData(m_mode);
    return mime && mime->hasFormat(mimeTypesOf(format).front());
}

std::optional<std::string> QtClipboard::data(std::string_view name) const {
    const QMimeData* mime = m_clipboard->mimeData(m_mode);
    if (!mime)
        return std::nullopt;
    if (name == format::kText) {
        if (!mime->hasText())
            return std::nullopt;
        return mime->text().toStdString();
    }
    for (const QString& type : mimeTypesOf(name)) {
        if (mime->hasFormat(type))
            return mime->data(type).toStdString();
    }
    return std::nullopt;
}

} // namespace kalydor::gui
