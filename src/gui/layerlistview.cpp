#include "gui/layerlistview.h"

#include "base/error.h"
#include "gui/dialogplacement.h"
#include "gui/headerdelegate.h"
#include "gui/numberfieldbinding.h"
#include "gui/panelfields.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/vapourdiagramwindow.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"
#include "shell/programoptions.h"
#include "store/itemstore.h"
#include "store/treemodel.h"

#include <QBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace kalydor::gui {

LayerListView::LayerListView(LayeredPanelEditor& editor, const Languages& languages,
                             platform::SettingsStore& settings, const char* objectName)
    : m_editor(editor)
    , m_columns(loadColumnLayout("PanelLayersTitle", languages, &settings))
    , m_list(named<QTreeWidget>(objectName))
    , m_header(new ColumnHeaderView) {
    m_list->setRootIsDecorated(false);
    m_list->setHeader(m_header);
    m_list->setItemDelegate(new FullTextTipDelegate(m_list));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_list->setMinimumHeight(140);
    QObject::connect(
        m_list, &QTreeWidget::itemChanged, m_list, [this](QTreeWidgetItem* item, int column) {
            if (m_filling || column != 0)
                return;
            const int index = m_list->indexOfTopLevelItem(item);
            const std::string name = m_editor.renameLayer(index, item->text(0).toStdString());
            m_filling = true;
            item->setText(0, qt(name));
            m_filling = false;
        });
}

LayerListView::~LayerListView() {
    m_header->setColumnLayout(nullptr);
}

void LayerListView::fill(int selected) {
    m_filling = true;
    m_list->clear();
    const std::vector<int> ids = m_columns.visibleColumnIds();
    m_list->setColumnCount(static_cast<int>(std::max<std::size_t>(ids.size(), 1)));
    m_header->setColumnLayout(&m_columns);
    if (!m_widthsApplied) {
        m_header->applyColumnWidths();
        m_widthsApplied = true;
    }
    const Panel& panel = m_editor.panel();
    for (const Layer& layer : panel.Layers) {
        ListRow row;
        layer.FillListRow(row, m_columns);
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, qt(row.caption.empty() ? layer.Name : row.caption));
        for (std::size_t i = 0; i < row.subItems.size(); ++i)
            item->setText(static_cast<int>(i + 1), qt(row.subItems[i]));
        for (std::size_t i = 1; i < ids.size(); ++i) {
            const ColumnFormat* column = m_header->sectionColumn(static_cast<int>(i));
            if (column && column->DataAlignment == ColumnAlignment::Right)
                item->setTextAlignment(static_cast<int>(i), Qt::AlignRight | Qt::AlignVCenter);
        }
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    if (selected >= 0 && selected < m_list->topLevelItemCount())
        m_list->setCurrentItem(m_list->topLevelItem(selected));
    m_header->fitColumns();
    m_filling = false;
}

int LayerListView::selected() const {
    QTreeWidgetItem* item = m_list->currentItem();
    return item ? m_list->indexOfTopLevelItem(item) : -1;
}

void LayerListView::addOrderingChoice(QBoxLayout* row) {
    m_outsideIn = named<QRadioButton>("OutsideIn", QStringLiteral("Kívülről befelé"));
    m_insideOut = named<QRadioButton>("InsideOut", QStringLiteral("Belülről kifelé"));
    row->addWidget(m_outsideIn);
    row->addWidget(m_insideOut);
    showOrdering();
    QObject::connect(m_insideOut, &QRadioButton::toggled, m_list, [this](bool on) {
        m_editor.setOrdering(on ? 1 : 0);
        if (m_changed)
            m_changed(selected());
    });
}

void LayerListView::showOrdering() {
    if (m_outsideIn)
        (m_editor.panel().Ordering == 1 ? m_insideOut : m_outsideIn)->setChecked(true);
}

void LayerListView::addCommands(QBoxLayout* row, QWidget* owner, const LayerCommandNames& names) {
    const auto add = [row](const char* name, const char* caption) {
        auto* b = named<QPushButton>(name, QString::fromUtf8(caption));
        row->addWidget(b);
        return b;
    };
    QObject::connect(add(names.modify, "Modify..."), &QPushButton::clicked, m_list,
                     [this, owner] { modifySelected(owner); });
    QObject::connect(add(names.up, "Up"), &QPushButton::clicked, m_list, [this] {
        runOnSelected([this](int i) { return m_editor.moveLayer(i, true); });
    });
    QObject::connect(add(names.down, "Down"), &QPushButton::clicked, m_list, [this] {
        runOnSelected([this](int i) { return m_editor.moveLayer(i, false); });
    });
    QObject::connect(add(names.remove, "Delete"), &QPushButton::clicked, m_list, [this] {
        runOnSelected([this](int i) {
            return m_editor.deleteLayer(i) ? std::min(i, m_editor.layerCount() - 1) : i;
        });
    });
}

void LayerListView::modifySelected(QWidget* owner) {
    runOnSelected([this, owner](int i) {
        QtWindow window(owner);
        m_editor.modifyLayer(i, &window);
        return i;
    });
}

void LayerListView::runOnSelected(const std::function<int(int)>& command) {
    const int index = selected();
    if (index < 0)
        return;
    const int after = command(index);
    if (m_changed)
        m_changed(after);
    else
        fill(after);
}

} // namespace kalydor::gui
