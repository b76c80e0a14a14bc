#pragma once

#include "base/numberfield.h"

#include <QLabel>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QLineEdit;

namespace kalydor::gui {

/// Binds a line edit of a dialog to a `NumberField`: leaving the edit (Tab, a click
/// elsewhere, Return) takes its number or refuses it; Escape puts the value in use back.
/// A refusal shows the field's message in the dialog's status line at once, marks the edit
/// and gives it the focus back; the field is named by the caption beside it, so the message
/// speaks the window's language.
class NumberFieldBinding final : public QObject {
    Q_OBJECT

public:
    /// Called with a value the field took.
    using Taken = std::function<void(double value)>;

    NumberFieldBinding(QLineEdit* edit, NumberField field, QLabel* status, Taken taken = {});

    QLineEdit* edit() const { return m_edit; }
    const NumberField& field() const { return m_field; }
    /// The caption whose text names the field in messages (read when a message is shown).
    void setCaption(QLabel* caption) { m_caption = caption; }

    /// Sets the value in use from the item; the edit shows it (as `text` when given).
    void show(double value);
    void show(double value, const std::string& text);
    /// Leaves the field as the user does; true unless the text was refused.
    bool leave();
    /// Escape in the field; true when it put the value in use back.
    bool escape();
    bool refused() const { return m_field.refused(); }
    /// The next leave judges the text afresh, as if it had never been refused.
    void forgetRefusal() { m_field.forgetRefusal(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(const NumberField::Outcome& outcome);
    void mark(bool refused);

    QLineEdit* m_edit;
    NumberField m_field;
    QPointer<QLabel> m_status;
    QPointer<QLabel> m_caption;
    Taken m_taken;
    QString m_shownMessage;
};

/// The number fields of one dialog, taken together when it is confirmed.
class NumberFieldSet {
public:
    NumberFieldBinding& add(QLineEdit* edit, NumberField field, QLabel* status,
                            NumberFieldBinding::Taken taken = {}, QLabel* caption = nullptr);

    /// Takes the text of every enabled field that was typed into and not left yet (the dialog
    /// confirmed by key); the first refused field keeps the focus. True when every field
    /// holds a value in use.
    bool takeAll();
    /// Whether any field differs from its value in use (Cancel asks before discarding it).
    bool anyEdited() const;
    /// Whether a field holds a refused text.
    bool anyRefused() const;
    /// The binding of an edit, or null.
    NumberFieldBinding* find(const QLineEdit* edit) const;

private:
    std::vector<std::unique_ptr<NumberFieldBinding>> m_bindings;
};

} // namespace kalydor::gui
