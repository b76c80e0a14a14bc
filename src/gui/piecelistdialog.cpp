#include "gui/piecelistdialog.h"

#include "base/textlookup.h"
#include "devicedb/deviceitem.h"
#include "devicedb/deviceviews.h"
#include "gui/widgets.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kalydor::gui {

PieceListDialog::PieceListDialog(const PieceList& list, QWidget* parent)
    : QDialog(parent)
    , m_lines(named<QTableWidget>("LineList")) {
    setObjectName(QStringLiteral("PieceListViewForm"));
    setWindowTitle(qt(list.Path.empty() ? list.Name : list.Path + " - " + list.Name));
    const std::vector<PieceListViewRow> rows = pieceListViewRows(list);
    constexpr int kColumns = 5;
    m_lines->setColumnCount(kColumns);
    QStringList headers;
    for (int c = 0; c < kColumns; ++c)
        headers << qt(GetText("IDS_PIECEVIEWTITLES+" + std::to_string(c)));
    m_lines->setHorizontalHeaderLabels(headers);
    m_lines->verticalHeader()->hide();
    m_lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lines->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_lines->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < kColumns; ++c) {
            auto* cell = new QTableWidgetItem(qt(rows[r][static_cast<std::size_t>(c)]));
            if (c == 2)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_lines->setItem(static_cast<int>(r), c, cell);
        }
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("CloseButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lines, 1);
    layout->addWidget(buttons);
    resize(700, 360);
}

} // namespace kalydor::gui
