#pragma once

#include "reports/columnlayout.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

#include <vector>

#include <string_view>

class QFont;
class QPainter;
class QRect;

namespace kalydor::gui {

/// The width a caption line takes in a font, its markup applied.
int captionWidth(const QFont& font, std::string_view caption, bool shortForm);

/// Draws one caption line into a rectangle with the given alignment, its markup applied:
/// superscript and subscript at two thirds of the size, raised or lowered by a third of the
/// line height; the Greek letters of "\f" drawn as Unicode letters in the normal font (no
/// symbol-encoded font is needed, and none is installed on most systems).
void drawCaption(QPainter& painter, const QRect& rect, std::string_view caption,
                 ColumnAlignment alignment, bool shortForm);

/// A list header that shows the captions of a column layout: every caption line of the
/// visible columns, in their short form, with the caption markup drawn. Section i is the
/// i-th visible column in display order.
class ColumnHeaderView : public QHeaderView {
    Q_OBJECT

public:
    explicit ColumnHeaderView(QWidget* parent = nullptr);

    /// The layout whose captions are shown (not owned; null shows nothing).
    void setColumnLayout(const ColumnLayout* layout);
    /// The column shown in a section, or null.
    const ColumnFormat* sectionColumn(int logicalIndex) const;
    /// Sets the section widths from the layout's column widths.
    void applyColumnWidths();
    /// Fits the columns to the rows of the list they head. A column the user has not sized
    /// (no stored settings, not dragged) takes the width of its caption and its widest cell,
    /// a text column at most `kMaxFittedWidth`; a number column is never narrower than its
    /// widest number, whatever the user set, so that no figure is cut.
    void fitColumns();
    /// Forgets the columns dragged by the user (a new layout was applied).
    void resetUserWidths() { m_userSized.clear(); }
    static constexpr int kMaxFittedWidth = 320;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    const ColumnLayout* m_layout = nullptr;
    std::vector<bool> m_userSized;
    bool m_fitting = false;
};

/// Draws list cells as usual; a text too wide for its cell shows whole in a tooltip.
class FullTextTipDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

} // namespace kalydor::gui
