#pragma once

#include "rooms/ventilationtables.h"

#include <QDialog>

#include <array>
#include <optional>

class QLabel;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kalydor {
class Languages;
}
namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor::gui {

/// The joint infiltration factors of window and door kinds, wooden and metal: each list shows
/// the factor of the chosen building kind and opening-ratio class. A double click on a kind,
/// or OK with one selected, gives its factor. The choices are kept for the program's run.
class InfiltrationDialog : public QDialog {
    Q_OBJECT

public:
    explicit InfiltrationDialog(QWidget* parent = nullptr);

    /// Shows the dialog translated and at its remembered place; the chosen factor, none when
    /// cancelled.
    static std::optional<double> choose(QWidget* parent, const Languages& languages,
                                        platform::SettingsStore* settings);

    QTreeWidget* list(bool metal) const { return metal ? m_metal : m_wood; }
    QRadioButton* buildingKind(int kind) const { return m_kinds[static_cast<std::size_t>(kind)]; }
    QRadioButton* ratioClass(bool metal, int ratio) const;
    /// The factor of the last confirmed choice.
    std::optional<double> chosen() const { return m_chosen; }

    void accept() override;

private:
    void fill();
    void choose(QTreeWidgetItem* row);

    std::vector<InfiltrationRow> m_woodRows;
    std::vector<InfiltrationRow> m_metalRows;
    QTreeWidget* m_wood;
    QTreeWidget* m_metal;
    std::array<QRadioButton*, 2> m_kinds{};
    std::array<QRadioButton*, 2> m_woodClasses{};
    std::array<QRadioButton*, 2> m_metalClasses{};
    QLabel* m_status;
    std::optional<double> m_chosen;
};

} // namespace kalydor::gui
