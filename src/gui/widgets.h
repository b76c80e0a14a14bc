#pragma once

// Small helpers shared by the dialogs.

#include "base/displayformat.h"
#include "base/textlookup.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <string>
#include <utility>
#include <vector>

namespace kalydor::gui {

/// Our UTF-8 text as a Qt string.
inline QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

/// The locale numbers are shown in on charts: the decimal separator of the interface
/// language, no thousands separators (a Romanian "1.000" would read as one).
inline QLocale displayLocale() {
    QLocale locale = displayDecimalSeparator() == ',' ? QLocale(QLocale::Romanian, QLocale::Romania)
                                                      : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

/// Asks before an editor's changes are thrown away by Cancel; true when they may go.
inline bool mayDiscardChanges() {
    return platform::prompter().askYesNo(GetText("IDS_DISCARDCHANGES"),
                                         platform::DefaultButton::No);
}

/// Text lines shown in a multi-line field, one a line.
inline void showLines(QPlainTextEdit* memo, const std::vector<std::string>& lines) {
    QStringList list;
    for (const std::string& line : lines)
        list << qt(line);
    memo->setPlainText(list.join(QLatin1Char('\n')));
}

/// The lines of a multi-line field; none when it is empty.
inline std::vector<std::string> linesOf(const QPlainTextEdit* memo) {
    std::vector<std::string> lines;
    const QString text = memo->toPlainText();
    if (text.isEmpty())
        return lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines.push_back(line.toStdString());
    return lines;
}

/// A progress window shown while a long operation (an import, a group deletion) blocks the
/// program; it goes when the object does.
class BusyIndicator {
public:
    BusyIndicator(QWidget* parent, const QString& text)
        : m_dialog(text, QString(), 0, 0, parent) {
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.setCancelButton(nullptr);
        m_dialog.show();
        QApplication::processEvents();
    }

private:
    QProgressDialog m_dialog;
};

/// A problem in a dialog's status line, in red.
inline void showProblem(QLabel* status, const std::string& message) {
    status->setText(qt(message));
    status->setStyleSheet(QStringLiteral("color: #c00000;"));
}

/// A new widget with an object name: the language files translate widgets by name.
template <class Widget, class... Args> Widget* named(const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

/// A button's caption as the title of the window it opens: without its mnemonic and without
/// the dots that say a window follows.
inline QString titleOf(const QAbstractButton* button) {
    QString title = button->text();
    title.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    title.replace(QStringLiteral("&&"), QStringLiteral("&"));
    while (title.endsWith(QLatin1Char('.')) || title.endsWith(QChar(0x2026)))
        title.chop(1);
    return title.trimmed();
}

/// The OK and Cancel buttons of a dialog ("OKButton", "CancelButton"), wired to accept and
/// reject.
inline QDialogButtonBox* okCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    ok->setObjectName(QStringLiteral("OKButton"));
    cancel->setObjectName(QStringLiteral("CancelButton"));
    // The interface language's captions; a window's own translation may name them again.
    for (const auto& [button, key] :
         {std::pair{ok, "IDS_BUTTONOK"}, {cancel, "IDS_BUTTONCANCEL"}}) {
        const std::string text = GetText(key);
        if (!text.empty())
            button->setText(qt(text));
    }
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace kalydor::gui
