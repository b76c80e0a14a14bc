#pragma once

#include "rooms/ventilationtables.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QTreeWidget;

namespace kalydor {
class Languages;
}
namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor::gui {

/// The design wind speed by the building's situation and, for a high-rise building, the
/// level factor E of the room's storey. OK gives v and E ("1" unless high-rise). The choices
/// are kept for the program's run.
class WindDialog : public QDialog {
    Q_OBJECT

public:
    explicit WindDialog(QWidget* parent = nullptr);

    static std::optional<WindTables::Choice> choose(QWidget* parent, const Languages& languages,
                                                    platform::SettingsStore* settings);

    QTreeWidget* situations() const { return m_situations; }
    QTreeWidget* levels() const { return m_levels; }
    QCheckBox* highRise() const { return m_highRise; }
    QComboBox* storeys() const { return m_storeys; }
    QLabel* status() const { return m_status; }
    std::optional<WindTables::Choice> chosen() const { return m_chosen; }

    void accept() override;

private:
    void fillLevels();
    WindChoices choices() const;

    WindTables m_tables;
    QTreeWidget* m_situations;
    QCheckBox* m_highRise;
    QComboBox* m_storeys;
    QTreeWidget* m_levels;
    QLabel* m_status;
    std::optional<WindTables::Choice> m_chosen;
};

} // namespace kalydor::gui
