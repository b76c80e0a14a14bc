#pragma once

#include <QString>
#include <QStringList>

class QDialogButtonBox;
class QFileDialog;
class QMessageBox;
class QWidget;

namespace kalydor {
class Languages;
}

namespace kalydor::gui {

/// Makes what the toolkit draws itself speak the interface language: Qt's own translations
/// for the language's locale ("IDS_LOCALE"), where the system has them (the Debian package
/// "qt6-translations-l10n"), and the default locale of the toolkit. Called at start-up and
/// after each switch of the interface language.
void applyToolkitLanguage(const Languages& languages);

/// The standard buttons of a message box or a button box (OK, Cancel, Close, Yes, No, Yes to
/// all, No to all) captioned in the interface language.
void translateStandardButtons(QMessageBox& box);
void translateStandardButtons(QDialogButtonBox& box);

/// What the accept button of a file dialog does: it is captioned for the command.
enum class FileDialogAction { Open, Create, Save, Delete, Choose };

/// A file dialog of the toolkit's own widgets with its labels in the interface language
/// and its accept button captioned for the action ("Create" for a new project, not "Open").
void translateFileDialog(QFileDialog& dialog, FileDialogAction action);

/// An existing file chosen in a translated dialog; empty when cancelled.
QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& start,
                         const QStringList& filters);
/// A file to write chosen in a translated dialog, and the filter that was chosen with it;
/// empty when cancelled.
QString chooseFileToSave(QWidget* parent, const QString& title, const QStringList& filters,
                         QString* chosenFilter);

/// The manual of the interface language in a folder: the file "IDS_MANUALFILE" names
/// (with the program's name), the English one ("<program>.html") when that is missing.
QString manualPath(const QString& folder, const QString& programName);

} // namespace kalydor::gui
