#pragma once

#include "store/groupname.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kalydor {

class Languages;

namespace gui {

/// The dialog that names a new group or item (also copies, pastes and import-tree groups): at
/// most 31 characters, OK only while the field is not empty; on OK the name is checked and,
/// with a store, the record is created at once.
class NameDialog : public QDialog {
    Q_OBJECT
public:
    NameDialog(const Languages& languages, NameRequest request, QWidget* parent = nullptr);

    /// The accepted name and, with a store, the new record's identifier.
    const std::string& name() const { return m_name; }
    const std::string& id() const { return m_id; }

    QLineEdit* nameEdit() const { return m_edit; }
    QPushButton* okButton() const { return m_ok; }

    void accept() override;

private:
    NameEditor m_logic;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    std::string m_name;
    std::string m_id;
};

} // namespace gui
} // namespace kalydor
