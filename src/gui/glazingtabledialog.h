#pragma once

#include "constructions/glazingtable.h"

#include <QDialog>

#include <array>
#include <optional>
#include <utility>

class QLabel;
class QRadioButton;
class QTableWidget;

namespace kalydor {
class Languages;
}
namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor::gui {

/// The glazing coefficient table: one row per kind of glazing with its day coefficient and
/// its night coefficients for the four kinds of night shading, and the choice of the shading.
/// It opens on the entry and shading last confirmed in this run; confirming (button or double
/// click on a row) remembers them. An entry with a value that is not a number cannot be
/// confirmed: the status line says so.
class GlazingTableDialog : public QDialog {
    Q_OBJECT

public:
    explicit GlazingTableDialog(GlazingTable table, QWidget* parent = nullptr);

    /// Shows the table of the interface language, translated and at its remembered place;
    /// the (day, night) coefficients of the confirmed choice, none when cancelled.
    static std::optional<std::pair<double, double>>
    choose(QWidget* parent, const Languages& languages, platform::SettingsStore& settings);

    QTableWidget* table() const { return m_rows; }
    QLabel* status() const { return m_status; }
    int entry() const;
    int mode() const;
    void setChoice(int entry, int mode);
    /// The coefficients confirmed by the last accept.
    std::optional<GlazingCoefficients> chosen() const { return m_chosen; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    GlazingTable m_table;
    QTableWidget* m_rows;
    std::array<QRadioButton*, kShadingModeCount> m_modes{};
    QLabel* m_status;
    std::optional<GlazingCoefficients> m_chosen;
};

} // namespace kalydor::gui
