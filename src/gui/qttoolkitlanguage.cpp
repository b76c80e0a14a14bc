#include "gui/qttoolkitlanguage.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "language/languages.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <memory>

namespace kalydor::gui {
namespace {

QString text(const char* key) {
    return QString::fromStdString(GetText(key));
}

// The language's caption of a standard button; empty for a button it does not name.
QString caption(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return text("IDS_BUTTONOK");
    case QMessageBox::Cancel:
        return text("IDS_BUTTONCANCEL");
    case QMessageBox::Close:
        return text("IDS_BUTTONCLOSE");
    case QMessageBox::Yes:
        return text("IDS_BUTTONYES");
    case QMessageBox::No:
        return text("IDS_BUTTONNO");
    case QMessageBox::YesToAll:
        return text("IDS_BUTTONYESTOALL");
    case QMessageBox::NoToAll:
        return text("IDS_BUTTONNOTOALL");
    default:
        return {};
    }
}

std::unique_ptr<QTranslator>& toolkitTranslator() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

void applyToolkitLanguage(const Languages& languages) {
    const QString locale = QString::fromStdString(languages.GetText("IDS_LOCALE"));
    QLocale::setDefault(locale.isEmpty() ? QLocale::c() : QLocale(locale));
    std::unique_ptr<QTranslator>& translator = toolkitTranslator();
    if (translator) {
        QApplication::removeTranslator(translator.get());
        translator.reset();
    }
    if (locale.isEmpty())
        return;
    auto loaded = std::make_unique<QTranslator>();
    if (loaded->load(QStringLiteral("qtbase_") + locale,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(loaded.get());
        translator = std::move(loaded);
    }
}

void translateStandardButtons(QMessageBox& box) {
    for (QAbstractButton* button : box.buttons()) {
        const QString text = caption(box.standardButton(button));
        if (!text.isEmpty())
            button->setText(text);
    }
}

void translateStandardButtons(QDialogButtonBox& box) {
    for (QAbstractButton* button : box.buttons()) {
        const QString text = caption(box.standardButton(button));
        if (!text.isEmpty())
            button->setText(text);
    }
}

void translateFileDialog(QFileDialog& dialog, FileDialogAction action) {
    // The toolkit's own dialog: a desktop's native one would speak the desktop's language.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const char* accept = "IDS_FILEDIALOGOPEN";
    switch (action) {
    case FileDialogAction::Open:
        break;
    case FileDialogAction::Create:
        accept = "IDS_FILEDIALOGCREATE";
        break;
    case FileDialogAction::Save:
        accept = "IDS_FILEDIALOGSAVE";
        break;
    case FileDialogAction::Delete:
        accept = "IDS_FILEDIALOGDELETE";
        break;
    case FileDialogAction::Choose:
        accept = "IDS_FILEDIALOGCHOOSE";
        break;
    }
    const struct {
        QFileDialog::DialogLabel label;
        const char* key;
    } labels[] = {
        {QFileDialog::LookIn, "IDS_FILEDIALOGLOOKIN"},
        {QFileDialog::FileName, "IDS_FILEDIALOGFILENAME"},
        {QFileDialog::FileType, "IDS_FILEDIALOGFILETYPE"},
        {QFileDialog::Accept, accept},
        {QFileDialog::Reject, "IDS_BUTTONCANCEL"},
    };
    for (const auto& l : labels) {
        const QString t = text(l.key);
        if (!t.isEmpty())
            dialog.setLabelText(l.label, t);
    }
}

QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& start,
                         const QStringList& filters) {
    QFileDialog dialog(parent, title);
    dialog.setObjectName(QStringLiteral("OpenFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    translateFileDialog(dialog, FileDialogAction::Open);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!start.isEmpty())
        dialog.selectFile(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString chooseFileToSave(QWidget* parent, const QString& title, const QStringList& filters,
                         QString* chosenFilter) {
    QFileDialog dialog(parent, title);
    dialog.setObjectName(QStringLiteral("SaveFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    translateFileDialog(dialog, FileDialogAction::Save);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}

QString manualPath(const QString& folder, const QString& programName) {
    const QDir dir(folder);
    const std::string pattern = GetText("IDS_MANUALFILE");
    if (!pattern.empty()) {
        const QString own =
            dir.filePath(QString::fromStdString(formatText(pattern, {programName.toStdString()})));
        if (QFileInfo::exists(own))
            return own;
    }
    return dir.filePath(programName + QStringLiteral(".html"));
}

} // namespace kalydor::gui
