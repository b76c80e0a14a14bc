#include "gui/namedialog.h"

#include "base/error.h"
#include "gui/qtwindowtranslation.h"
#include "language/languages.h"
#include "platform/prompter.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kalydor::gui {

NameDialog::NameDialog(const Languages& languages, NameRequest request, QWidget* parent)
    : QDialog(parent)
    , m_logic(std::move(request)) {
    setObjectName(QStringLiteral("NameForm"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Name"), this);
    label->setObjectName(QStringLiteral("NameLabel"));
    m_edit = new QLineEdit(
        QString::fromStdString(NameEditor::limitInput(m_logic.request().initialName)), this);
    m_edit->setObjectName(QStringLiteral("NameEdit"));
    m_edit->setMaxLength(static_cast<int>(kMaxTypedNameLength));
    label->setBuddy(m_edit);
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("OkButton"));
    m_ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &NameDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto updateOk = [this] {
        m_ok->setEnabled(NameEditor::okEnabled(m_edit->text().toStdString()));
    };
    connect(m_edit, &QLineEdit::textChanged, this, updateOk);
    updateOk();
    translateWindow(languages, *this);
    if (!m_logic.request().group)
        setWindowTitle(QString::fromStdString(languages.GetText("IDS_NEWITEMNAME")));
}

void NameDialog::accept() {
    NameEditor::Result result;
    try {
        result = m_logic.accept(m_edit->text().toStdString());
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
        return;
    }
    switch (result.outcome) {
    case NameEditor::Outcome::StayOpen:
        return;
    case NameEditor::Outcome::Refused:
        platform::showLanguageMessage(result.messageKey);
        return;
    case NameEditor::Outcome::Accepted:
        m_name = result.name;
        m_id = result.id;
        QDialog::accept();
        return;
    }
}

} // namespace kalydor::gui
