#include "gui/projectdialogs.h"

#include "base/textlookup.h"
#include "gui/qttoolkitlanguage.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "platform/prompter.h"
#include "shell/projects.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kalydor::gui {

ProjectDataDialog::ProjectDataDialog(ProjectData& projectData, QWidget* parent)
    : QDialog(parent)
    , m_data(projectData)
    , m_date(named<QLineEdit>("DateEdit", qt(projectData.Date))) {
    setObjectName(QStringLiteral("ProjektDataForm"));
    setWindowTitle(QStringLiteral("Project data"));
    setSizeGripEnabled(true);
    const char* const memos[] = {"BuildingMemo", "CustomerMemo", "PlannerMemo", "CommentMemo"};
    const char* const labels[] = {"BuildingLabel", "CustomerLabel", "PlannerLabel", "CommentLabel"};
    const char* const captions[] = {"Building", "Customer", "Planner", "Comment"};
    const StringList* const values[] = {&projectData.Building, &projectData.Customer,
                                        &projectData.Planner, &projectData.Comment};
    auto* form = new QFormLayout;
    for (int i = 0; i < 4; ++i) {
        m_memos[i] = named<QPlainTextEdit>(memos[i]);
        // Tab goes to the next field, as in every other window; a tab character has no
        // place in a description.
        m_memos[i]->setTabChangesFocus(true);
        showLines(m_memos[i], *values[i]);
        m_memos[i]->setMinimumHeight(60);
        form->addRow(named<QLabel>(labels[i], QString::fromLatin1(captions[i])), m_memos[i]);
    }
    form->addRow(named<QLabel>("DateLabel", QStringLiteral("Date")), m_date);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
    resize(520, 460);
}

void ProjectDataDialog::accept() {
    StringList* const values[] = {&m_data.Building, &m_data.Customer, &m_data.Planner,
                                  &m_data.Comment};
    for (int i = 0; i < 4; ++i)
        *values[i] = linesOf(m_memos[i]);
    m_data.Date = m_date->text().toStdString();
    QDialog::accept();
}

ProjectFileDialog::ProjectFileDialog(Purpose purpose, const QString& title, const QString& filters,
                                     const std::string& openProjectPath, QWidget* parent)
    : QFileDialog(parent, title)
    , m_purpose(purpose)
    , m_openProjectPath(openProjectPath) {
    setObjectName(QStringLiteral("ProjectFileDialog"));
    // The dialog's own widgets, so that a refused name keeps it open, in the interface
    // language, its accept button captioned for the command.
    setOption(QFileDialog::DontUseNativeDialog);
    setDefaultSuffix(QStringLiteral("db"));
    setNameFilters(nameFiltersOf(filters));
    setAcceptMode(purpose == Purpose::SaveAs ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    setFileMode(purpose == Purpose::Open || purpose == Purpose::Delete ? QFileDialog::ExistingFile
                                                                       : QFileDialog::AnyFile);
    if (purpose == Purpose::SaveAs)
        setOption(QFileDialog::DontConfirmOverwrite);
    // After the modes, which caption the buttons themselves.
    const FileDialogAction actions[] = {FileDialogAction::Create, FileDialogAction::Open,
                                        FileDialogAction::Delete, FileDialogAction::Save};
    translateFileDialog(*this, actions[static_cast<int>(purpose)]);
}

std::string ProjectFileDialog::refusal(const QString& path) const {
    const QString suffix = QFileInfo(path).suffix();
    const bool extensionDiffers =
        !suffix.isEmpty() && suffix.compare(QStringLiteral("db"), Qt::CaseInsensitive) != 0;
    const std::string name = path.toStdString();
    if (m_purpose == Purpose::SaveAs)
        return checkSaveDialogName(name, extensionDiffers, m_openProjectPath);
    return checkOpenDialogName(name, extensionDiffers, m_purpose == Purpose::New);
}

void ProjectFileDialog::accept() {
    const QStringList files = selectedFiles();
    if (!files.isEmpty()) {
        const std::string key = refusal(files.first());
        if (!key.empty()) {
            platform::prompter().showMessage(GetText(key));
            return;
        }
    }
    QFileDialog::accept();
}

} // namespace kalydor::gui
