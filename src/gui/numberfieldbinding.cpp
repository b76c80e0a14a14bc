#include "gui/numberfieldbinding.h"

#include "gui/widgets.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace kalydor::gui {
namespace {

// The caption of a field as a name: without its mnemonic mark and closing colon.
std::string nameOf(const QLabel* caption) {
    QString name = caption->text();
    name.remove(QLatin1Char('&'));
    name = name.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.toStdString();
}

} // namespace

NumberFieldBinding::NumberFieldBinding(QLineEdit* edit, NumberField field, QLabel* status,
                                       Taken taken)
    : m_edit(edit)
    , m_field(std::move(field))
    , m_status(status)
    , m_taken(std::move(taken)) {
    edit->installEventFilter(this);
    edit->setText(qt(m_field.text()));
}

void NumberFieldBinding::show(double value) {
    m_field.show(value);
    m_edit->setText(qt(m_field.text()));
    mark(false);
}

void NumberFieldBinding::show(double value, const std::string& text) {
    m_field.show(value, text);
    m_edit->setText(qt(m_field.text()));
    mark(false);
}

bool NumberFieldBinding::leave() {
    if (m_caption)
        m_field.setName(nameOf(m_caption));
    const NumberField::Outcome outcome = m_field.leave(m_edit->text().toStdString());
    apply(outcome);
    if (outcome.kind == NumberField::Outcome::Kind::Taken && m_taken)
        m_taken(m_field.value());
    return outcome.kind != NumberField::Outcome::Kind::Refused;
}

bool NumberFieldBinding::escape() {
    const NumberField::Outcome outcome = m_field.escape(m_edit->text().toStdString());
    apply(outcome);
    return outcome.kind == NumberField::Outcome::Kind::Restored;
}

void NumberFieldBinding::apply(const NumberField::Outcome& outcome) {
    using Kind = NumberField::Outcome::Kind;
    if (m_edit->text() != qt(outcome.text))
        m_edit->setText(qt(outcome.text));
    mark(outcome.kind == Kind::Refused);
    if (outcome.kind != Kind::Refused)
        return;
    m_shownMessage = qt(outcome.message);
    if (m_status) {
        m_status->setText(m_shownMessage);
        m_status->setStyleSheet(QStringLiteral("color: #c00000;"));
    }
    // The focus comes back once the change of focus that left the field is over.
    QPointer<QLineEdit> edit = m_edit;
    QTimer::singleShot(0, m_edit, [edit] {
        if (edit) {
            edit->setFocus();
            edit->selectAll();
        }
    });
}

void NumberFieldBinding::mark(bool refused) {
    m_edit->setProperty("refused", refused);
    m_edit->setStyleSheet(refused ? QStringLiteral("QLineEdit { background: #ffe6e6; "
                                                   "border: 1px solid #c00000; }")
                                  : QString());
    // The message of this field goes with its refusal.
    if (!refused && m_status && !m_shownMessage.isEmpty() && m_status->text() == m_shownMessage) {
        m_status->clear();
        m_status->setStyleSheet(QString());
    }
    if (!refused)
        m_shownMessage.clear();
}

bool NumberFieldBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_edit)
        return false;
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window or a menu taking the focus is no leaving of the field.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            m_edit->isEnabled() && !m_edit->isReadOnly())
            leave();
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !m_edit->isReadOnly()) {
            // Escape puts a typed or refused text back; with nothing to put back it goes on
            // to the dialog (Cancel).
            return escape();
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !m_edit->isReadOnly()) {
            // A refused text keeps the dialog from taking Return as OK.
            return !leave();
        }
    }
    return false;
}

NumberFieldBinding& NumberFieldSet::add(QLineEdit* edit, NumberField field, QLabel* status,
                                        NumberFieldBinding::Taken taken, QLabel* caption) {
    m_bindings.push_back(
        std::make_unique<NumberFieldBinding>(edit, std::move(field), status, std::move(taken)));
    m_bindings.back()->setCaption(caption);
    return *m_bindings.back();
}

bool NumberFieldSet::takeAll() {
    for (const std::unique_ptr<NumberFieldBinding>& binding : m_bindings) {
        QLineEdit* edit = binding->edit();
        if (!edit->isEnabled() || edit->isReadOnly())
            continue;
        // OK judges the text afresh: a refused one is refused again with its message, nothing
        // is put back behind the user's back.
        if (binding->refused() || binding->field().isEdited(edit->text().toStdString())) {
            binding->forgetRefusal();
            if (!binding->leave())
                return false;
        }
    }
    return true;
}

bool NumberFieldSet::anyEdited() const {
    for (const std::unique_ptr<NumberFieldBinding>& binding : m_bindings) {
        if (binding->refused() || binding->field().isEdited(binding->edit()->text().toStdString()))
            return true;
    }
    return false;
}

bool NumberFieldSet::anyRefused() const {
    for (const std::unique_ptr<NumberFieldBinding>& binding : m_bindings) {
        if (binding->refused())
            return true;
    }
    return false;
}

NumberFieldBinding* NumberFieldSet::find(const QLineEdit* edit) const {
    for (const std::unique_ptr<NumberFieldBinding>& binding : m_bindings) {
        if (binding->edit() == edit)
            return binding.get();
    }
    return nullptr;
}

} // namespace kalydor::gui
