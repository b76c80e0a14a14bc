#pragma once

#include "reports/columnlayouteditor.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace kalydor {
class Languages;
namespace platform {
class SettingsStore;
}
} // namespace kalydor

namespace kalydor::gui {

/// The column editor of a list or printed table: the columns in display order (ticked =
/// shown) with move up and down, and the settings of the selected column. OK applies the
/// settings and stores them when the layout has a name; Cancel restores the layout.
class ColumnLayoutDialog : public QDialog {
    Q_OBJECT

public:
    ColumnLayoutDialog(ColumnLayout& layout, const Languages& languages,
                       platform::SettingsStore& store, QWidget* parent = nullptr);

    /// True when the layout was changed and confirmed (the list must be reloaded).
    bool layoutChanged() const { return m_changed; }
    QString statusText() const;

    void accept() override;
    void reject() override;

private:
    void buildWidgets();
    void fillList(int selected);
    void showColumn(int position);
    /// Applies the fields to the shown column; false (status line, focus on the field) when
    /// a value is bad.
    bool applyShown();
    ColumnSettings fields() const;
    void updateEnabled();
    void currentRowChanged(int row);
    void itemChanged(int row, bool checked);
    void move(bool up);

    ColumnLayoutEditor m_logic;
    platform::SettingsStore& m_store;
    int m_shown = -1;
    bool m_filling = false;
    bool m_changed = false;

    QListWidget* m_list = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QLineEdit* m_width = nullptr;
    QComboBox* m_captionAlignment = nullptr;
    QComboBox* m_dataAlignment = nullptr;
    QCheckBox* m_showZero = nullptr;
    QLineEdit* m_precision = nullptr;
    QLineEdit* m_digits = nullptr;
    QGroupBox* m_realFormat = nullptr;
    QRadioButton* m_formatButtons[3] = {};
    QGroupBox* m_ownCaptions = nullptr;
    QLineEdit* m_caption1 = nullptr;
    QLineEdit* m_caption2 = nullptr;
    QLineEdit* m_multiplier = nullptr;
    QLabel* m_status = nullptr;
};

} // namespace kalydor::gui
