#include "gui/filechooser.h"

#include "gui/qttoolkitlanguage.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace kalydor::gui {
namespace {

QStringList openFiles(QWidget* parent, const QString& title, const QStringList& filters,
                      FileCount count) {
    QFileDialog dialog(parent, title);
    dialog.setObjectName(QStringLiteral("OpenFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(count == FileCount::Several ? QFileDialog::ExistingFiles
                                                   : QFileDialog::ExistingFile);
    translateFileDialog(dialog, FileDialogAction::Open);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString saveFile(QWidget* parent, const QString& title, const QStringList& filters,
                 int& chosenFilter) {
    QFileDialog dialog(parent, title);
    dialog.setObjectName(QStringLiteral("SaveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    translateFileDialog(dialog, FileDialogAction::Save);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    chosenFilter =
        static_cast<int>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().first();
}

} // namespace

FileChooser dialogFileChooser() {
    return {openFiles, saveFile};
}

QString withExtensionOf(const QString& file, const QString& filter) {
    if (file.isEmpty() || !QFileInfo(file).suffix().isEmpty())
        return file;
    static const QRegularExpression pattern(QStringLiteral(R"(\*\.([A-Za-z0-9]+))"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? file + QLatin1Char('.') + match.captured(1) : file;
}

} // namespace kalydor::gui
