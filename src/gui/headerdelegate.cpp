#include "gui/headerdelegate.h"

#include "reports/captionmarkup.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QToolTip>
#include <QTreeView>

#include <algorithm>

namespace kalydor::gui {
namespace {

constexpr int kPadding = 3;

QFont runFont(const QFont& base, const CaptionRun& run) {
    QFont font = base;
    if (run.position != CaptionRun::Position::Normal) {
        if (base.pointSizeF() > 0)
            font.setPointSizeF(base.pointSizeF() * 2.0 / 3.0);
        else if (base.pixelSize() > 0)
            font.setPixelSize(std::max(1, base.pixelSize() * 2 / 3));
    }
    return font;
}

// Draws (or, without a painter, only measures) the runs from x on the given baseline;
// returns the width taken.
int layoutRuns(QPainter* painter, const QFont& base, const std::vector<CaptionRun>& runs, int x,
               int baseline) {
    const int lineHeight = QFontMetrics(base).height();
    int width = 0;
    for (const CaptionRun& run : runs) {
        const QFont font = runFont(base, run);
        const QString text = QString::fromStdString(run.text);
        const int advance = QFontMetrics(font).horizontalAdvance(text);
        if (painter) {
            int y = baseline;
            if (run.position == CaptionRun::Position::Superscript)
                y -= lineHeight / 3;
            else if (run.position == CaptionRun::Position::Subscript)
                y += lineHeight / 3;
            painter->setFont(font);
            painter->drawText(x + width, y, text);
        }
        width += advance;
    }
    return width;
}

} // namespace

int captionWidth(const QFont& font, std::string_view caption, bool shortForm) {
    return layoutRuns(nullptr, font, ParseCaption(caption, shortForm), 0, 0);
}

void drawCaption(QPainter& painter, const QRect& rect, std::string_view caption,
                 ColumnAlignment alignment, bool shortForm) {
    const QFont base = painter.font();
    const std::vector<CaptionRun> runs = ParseCaption(caption, shortForm);
    // A first pass measures the caption for right and centred alignment.
    const int width = layoutRuns(nullptr, base, runs, 0, 0);
    int x = rect.left() + kPadding;
    if (alignment == ColumnAlignment::Right)
        x = rect.right() - kPadding - width;
    else if (alignment == ColumnAlignment::Center)
        x = rect.left() + (rect.width() - width) / 2;
    const QFontMetrics metrics(base);
    const int baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    painter.save();
    // Kept within the column; superscripts and subscripts may reach into the next line.
    painter.setClipRect(
        QRect(rect.left(), rect.top() - rect.height(), rect.width(), 3 * rect.height()),
        Qt::IntersectClip);
    layoutRuns(&painter, base, runs, x, baseline);
    painter.restore();
    painter.setFont(base);
}

ColumnHeaderView::ColumnHeaderView(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A column the user drags keeps its width from then on.
    connect(this, &QHeaderView::sectionResized, this, [this](int section, int, int) {
        if (m_fitting || section < 0)
            return;
        if (m_userSized.size() <= static_cast<std::size_t>(section))
            m_userSized.resize(static_cast<std::size_t>(section) + 1, false);
        m_userSized[static_cast<std::size_t>(section)] = true;
    });
}

void ColumnHeaderView::setColumnLayout(const ColumnLayout* layout) {
    m_layout = layout;
    updateGeometries();
    viewport()->update();
}

const ColumnFormat* ColumnHeaderView::sectionColumn(int logicalIndex) const {
    if (!m_layout || logicalIndex < 0)
        return nullptr;
    int visibleIndex = 0;
    for (int position = 0; position < m_layout->ColumnCount(); ++position) {
        const ColumnFormat& column = m_layout->ColumnAt(position);
        if (!column.Visible)
            continue;
        if (visibleIndex++ == logicalIndex)
            return &column;
    }
    return nullptr;
}

void ColumnHeaderView::applyColumnWidths() {
    m_fitting = true;
    for (int section = 0; section < count(); ++section) {
        if (const ColumnFormat* column = sectionColumn(section))
            resizeSection(section, std::max<int>(3, column->Width));
    }
    m_fitting = false;
}

void ColumnHeaderView::fitColumns() {
    // Asked through the base class: the tree view keeps its own override protected.
    auto* view = qobject_cast<QAbstractItemView*>(parentWidget());
    if (!view || !m_layout)
        return;
    m_fitting = true;
    for (int section = 0; section < count(); ++section) {
        const ColumnFormat* column = sectionColumn(section);
        if (!column)
            continue;
        const bool number = column->ValueType != ColumnType::Text;
        // A little room beyond the style's own margins, so that no font rounding elides.
        const int content = view->sizeHintForColumn(section) + 4;
        const bool userSized =
            m_layout->UserSettings || (static_cast<std::size_t>(section) < m_userSized.size() &&
                                       m_userSized[static_cast<std::size_t>(section)]);
        int width = sectionSize(section);
        if (!userSized) {
            const int needed = std::max(content, sectionSizeFromContents(section).width());
            width = number ? needed : std::min(needed, kMaxFittedWidth);
        }
        if (number)
            width = std::max(width, content);
        resizeSection(section, std::max(3, width));
    }
    m_fitting = false;
}

void ColumnHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const ColumnFormat* column = sectionColumn(logicalIndex);
    if (!column) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text.clear();
    // The style leaves its own painter state behind (clip, font): keep it from the captions.
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();

    const int lines = std::max(1, m_layout->TitleLineCount);
    const int lineHeight = (rect.height() - 2) / lines;
    painter->save();
    painter->setFont(font());
    painter->setPen(palette().color(QPalette::ButtonText));
    for (int line = 0; line < lines; ++line) {
        const QRect lineRect(rect.left(), rect.top() + 1 + line * lineHeight, rect.width(),
                             lineHeight);
        drawCaption(*painter, lineRect, column->Caption(line), column->CaptionAlignment, true);
    }
    painter->restore();
}

QSize ColumnHeaderView::sectionSizeFromContents(int logicalIndex) const {
    const ColumnFormat* column = sectionColumn(logicalIndex);
    if (!column)
        return QHeaderView::sectionSizeFromContents(logicalIndex);
    const int lines = std::max(1, m_layout->TitleLineCount);
    int width = 0;
    for (int line = 0; line < lines; ++line)
        width = std::max(width, captionWidth(font(), column->Caption(line), true));
    const int height = lines * QFontMetrics(font()).height() + 6;
    return {width + 2 * kPadding, height};
}

bool FullTextTipDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                    const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const int needed = item.fontMetrics.horizontalAdvance(text) + 2 * kPadding + 4;
    if (!text.isEmpty() && needed > option.rect.width())
        QToolTip::showText(event->globalPos(), text, view, option.rect);
    else
        QToolTip::hideText();
    return true;
}

} // namespace kalydor::gui
