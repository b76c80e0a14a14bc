#pragma once

#include <QDialog>

class QTableWidget;

namespace kalydor {
class PieceList;
}

namespace kalydor::gui {

/// The read-only view of a piece list: its lines with their type, quantity and size text.
class PieceListDialog : public QDialog {
    Q_OBJECT

public:
    PieceListDialog(const PieceList& list, QWidget* parent = nullptr);
    QTableWidget* lines() const { return m_lines; }

private:
    QTableWidget* m_lines;
};

} // namespace kalydor::gui
