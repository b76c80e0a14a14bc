#pragma once

#include "store/projectdata.h"

#include <QDialog>
#include <QFileDialog>

class QLineEdit;
class QPlainTextEdit;

namespace kalydor::gui {

/// The project description: building, customer, planner and comment as several lines, and
/// the date. OK takes the fields into the description; the caller saves it.
class ProjectDataDialog : public QDialog {
    Q_OBJECT

public:
    explicit ProjectDataDialog(ProjectData& data, QWidget* parent = nullptr);

    QPlainTextEdit* memo(int index) const { return m_memos[index]; }
    QLineEdit* date() const { return m_date; }

    void accept() override;

private:
    ProjectData& m_data;
    QPlainTextEdit* m_memos[4];
    QLineEdit* m_date;
};

/// The file dialog of the project commands: a project file with the extension "db". A name
/// the command cannot take is refused with its message and the dialog stays open.
class ProjectFileDialog : public QFileDialog {
    Q_OBJECT

public:
    enum class Purpose { New, Open, Delete, SaveAs };

    /// `filters` is the file type list of the language ("Projects (*.db)|*.db").
    ProjectFileDialog(Purpose purpose, const QString& title, const QString& filters,
                      const std::string& openProjectPath, QWidget* parent = nullptr);

    /// The message key refusing a chosen name, or empty when it is acceptable.
    std::string refusal(const QString& path) const;
    void accept() override;

private:
    Purpose m_purpose;
    std::string m_openProjectPath;
};

} // namespace kalydor::gui
