#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

class QWidget;

namespace kalydor::gui {

/// How many files a chooser takes.
enum class FileCount : std::uint8_t { One, Several };

/// How a window asks for the files of its commands. The program's choosers are the
/// toolkit's file dialogs in the interface language; a test puts in functions that answer
/// at once, so a command runs without a dialog waiting for the user.
struct FileChooser {
    /// Existing files to read (one, or several when allowed); none when cancelled.
    std::function<QStringList(QWidget* parent, const QString& title, const QStringList& filters,
                              FileCount count)>
        open;
    /// A file to write, and the position in `filters` of the type chosen with it; empty when
    /// cancelled.
    std::function<QString(QWidget* parent, const QString& title, const QStringList& filters,
                          int& chosenFilter)>
        save;
};

/// The choosers of translated file dialogs.
FileChooser dialogFileChooser();

/// A file name typed without extension gets the one of the type chosen (the first pattern of
/// the filter, "Device tables (*.db)" gives ".db"); a name with an extension stays as it is.
QString withExtensionOf(const QString& file, const QString& filter);

} // namespace kalydor::gui
