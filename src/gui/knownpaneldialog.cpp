#include "gui/knownpaneldialog.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "gui/dialogplacement.h"
#include "gui/headerdelegate.h"
#include "gui/infiltrationdialog.h"
#include "gui/numberfieldbinding.h"
#include "gui/panelfields.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/vapourdiagramwindow.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"
#include "shell/programoptions.h"
#include "store/itemstore.h"
#include "store/treemodel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
KnownPanelDialog::KnownPanelDialog(KnownPanelEditor& editor, QWidget* parent,
                                   const Languages* languages, platform::SettingsStore* settings)
    : QDialog(parent)
    , m_editor(editor)
    , m_type(named<QComboBox>("PanelType"))
    , m_pages(named<QTabWidget>("Pages"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("PanelModifyForm2"));
    setWindowTitle(qt(editor.panel().Name));

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(named<QLabel>("PanelTypeLabel", QStringLiteral("Type")));
    typeRow->addWidget(m_type, 1);
    fillTypeCombo(m_type, editor.types(), editor.typeIndex());
    connect(m_type, &QComboBox::activated, this, &KnownPanelDialog::typeChosen);

    auto* general = new QFormLayout;
    addFieldRows(general,
                 {PanelField::x, PanelField::y, PanelField::R, PanelField::ThermicMassivitate},
                 m_fields, &m_rows);
    const auto page = [this](const char* name, const char* caption,
                             std::initializer_list<PanelField> fields) {
        auto* widget = named<QWidget>(name);
        auto* form = new QFormLayout(widget);
        addFieldRows(form, fields, m_fields, &m_rows);
        m_pages->addTab(widget, QString::fromUtf8(caption));
    };
    page("WallPage", "Wall",
         {PanelField::InSideAlpha, PanelField::Mass, PanelField::HeatMass, PanelField::DampFactor,
          PanelField::Delay});
    page("OpeningPage", "Opening",
         {PanelField::GlassRatio, PanelField::InfiltrationFactor, PanelField::InfiltrationLength});
    page("FloorPage", "Floor", {PanelField::ms, PanelField::ns, PanelField::Rbc});
    auto* joints = named<QPushButton>("InfiltrationTableButton", QStringLiteral("Joint table..."));
    joints->setEnabled(languages != nullptr);
    static_cast<QFormLayout*>(m_pages->widget(1)->layout())->addRow(QString(), joints);
    connect(joints, &QPushButton::clicked, this, [this, languages, settings] {
        if (const auto factor = InfiltrationDialog::choose(this, *languages, settings)) {
            QLineEdit* edit = m_fields.at(PanelField::InfiltrationFactor);
            edit->setText(qt(displayNumber(*factor, 7)));
            m_numbers.find(edit)->leave();
        }
    });
    // The values are checked as each field is left and taken together on OK.
    for (auto& [field, edit] : m_fields)
        m_numbers.add(edit, numberField(field), m_status, {}, m_rows.at(field).second)
            .show(editor.value(field));

    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(typeRow);
    layout->addLayout(general);
    layout->addWidget(m_pages);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    showPages();
}

void KnownPanelDialog::typeChosen(int index) {
    if (index < 0)
        return;
    QLineEdit* alpha = m_fields.at(PanelField::InSideAlpha);
    const std::string typed = alpha->text().toStdString();
    const std::string shown = m_editor.setType(m_type->itemData(index).toInt(), typed);
    if (shown != typed)
        m_numbers.find(alpha)->show(ParseNumber(shown));
    showPages();
}

void KnownPanelDialog::showPages() {
    m_pages->setTabVisible(0, m_editor.showsWallPage());
    m_pages->setTabVisible(1, m_editor.showsOpeningPage());
    m_pages->setTabVisible(2, m_editor.showsFloorPage());
    m_pages->setVisible(m_editor.showsWallPage() || m_editor.showsOpeningPage() ||
                        m_editor.showsFloorPage());
    for (auto& [field, edit] : m_fields) {
        const bool shown = m_editor.isShown(field);
        edit->setEnabled(shown);
        const auto& [form, label] = m_rows.at(field);
        form->setRowVisible(label, shown);
    }
    for (int i = 0; i < m_pages->count(); ++i)
        if (m_pages->isTabVisible(i)) {
            m_pages->setCurrentIndex(i);
            break;
        }
}

void KnownPanelDialog::reject() {
    bool changed = m_editor.typeChanged() || m_numbers.anyEdited();
    for (const auto& [field, edit] : m_fields)
        changed = changed ||
                  (m_editor.isShown(field) && edit->text().toStdString() != m_editor.text(field));
    if (changed && !mayDiscardChanges())
        return;
    QDialog::reject();
}

void KnownPanelDialog::accept() {
    if (!m_numbers.takeAll())
        return;
    const std::optional<PanelEditorProblem> problem = m_editor.confirm(
        [this](PanelField field) { return m_fields.at(field)->text().toStdString(); });
    if (!problem) {
        QDialog::accept();
        return;
    }
    if (!problem->field) {
        platform::prompter().showMessage(problem->message);
        m_type->setFocus();
        return;
    }
    showProblem(m_status, problem->message);
    QLineEdit* edit = m_fields.at(*problem->field);
    for (int i = 0; i < m_pages->count(); ++i)
        if (m_pages->widget(i)->isAncestorOf(edit))
            m_pages->setCurrentIndex(i);
    edit->setFocus();
    edit->selectAll();
}

} // namespace kalydor::gui
