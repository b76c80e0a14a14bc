#include "gui/roomradiatorpage.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "devicedb/deviceitem.h"
#include "devicedb/radiatorfamilycache.h"
#include "gui/radiatorchangedialogs.h"
#include "gui/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kalydor::gui {
namespace {

constexpr int kLinesRole = Qt::UserRole + 1;

// Draws a cell's lines each in its colour: "g:" green, "r:" red, the others as usual.
class OfferDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem base = option;
        initStyleOption(&base, index);
        base.text.clear();
        base.widget->style()->drawControl(QStyle::CE_ItemViewItem, &base, painter, base.widget);
        const QStringList lines = index.data(kLinesRole).toStringList();
        const int height = option.fontMetrics.height();
        QRect line = option.rect.adjusted(4, 2, -4, 0);
        for (const QString& text : lines) {
            QString shown = text;
            QColor colour = option.palette.color(QPalette::Text);
            if (text.startsWith(QLatin1String("g:"))) {
                colour = QColor(0, 128, 0);
                shown = text.mid(2);
            } else if (text.startsWith(QLatin1String("r:"))) {
                colour = QColor(192, 0, 0);
                shown = text.mid(2);
            }
            painter->save();
            painter->setPen(colour);
            painter->drawText(line.adjusted(0, 0, 0, height - line.height()),
                              Qt::AlignLeft | Qt::AlignVCenter, shown);
            painter->restore();
            line.translate(0, height);
        }
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QStringList lines = index.data(kLinesRole).toStringList();
        int width = 40;
        for (const QString& text : lines)
            width = std::max(width, option.fontMetrics.horizontalAdvance(text) + 8);
        return {width, option.fontMetrics.height() * 3 + 4};
    }
};

float boxValue(const QLineEdit* box, NumberRule rule) {
    return static_cast<float>(ParseNumber(box->text().trimmed().toStdString(), rule));
}

} // namespace

void OfferModel::setOffer(std::unique_ptr<RadiatorOffer> offer) {
    beginResetModel();
    m_offer = std::move(offer);
    endResetModel();
}

int OfferModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_offer ? 0 : m_offer->rows();
}

int OfferModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_offer ? 0 : m_offer->columns();
}

QVariant OfferModel::data(const QModelIndex& index, int role) const {
    if (!m_offer || !index.isValid())
        return {};
    if (role != kLinesRole && role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    // Computed when shown: a family of many main types costs only the visible cells.
    const OfferCell cell = m_offer->cell(index.row(), index.column());
    const QStringList lines = qt(cell.text).split(QLatin1Char('\n'));
    if (role == kLinesRole)
        return lines;
    QStringList plain;
    for (const QString& line : lines)
        plain << (line.startsWith(QLatin1String("g:")) || line.startsWith(QLatin1String("r:"))
                      ? line.mid(2)
                      : line);
    return plain.join(QLatin1Char('\n'));
}

QVariant OfferModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!m_offer || role != Qt::DisplayRole)
        return {};
    const std::vector<std::string>& titles =
        orientation == Qt::Horizontal ? m_offer->columnTitles() : m_offer->rowTitles();
    return section >= 0 && static_cast<std::size_t>(section) < titles.size()
               ? QVariant(qt(titles[static_cast<std::size_t>(section)]))
               : QVariant();
}

RoomRadiatorPage::RoomRadiatorPage(RoomEditor& editor, RadiatorPageSource source, QLabel* status,
                                   QWidget* parent)
    : QWidget(parent)
    , m_editor(editor)
    , m_source(std::move(source))
    , m_status(status)
    , m_tree(named<QTreeWidget>("RadiatorFamilyTree"))
    , m_forward(named<QLineEdit>("OfferForwardEdit"))
    , m_backward(named<QLineEdit>("OfferReturnEdit"))
    , m_factor(named<QLineEdit>("OfferFactorEdit"))
    , m_count(named<QLineEdit>("OfferCountEdit"))
    , m_demand(named<QLineEdit>("OfferDemandEdit"))
    , m_firstDimension(named<QComboBox>("FirstDimensionCombo"))
    , m_dataSheet(named<QCheckBox>("DataSheetCheck", QStringLiteral("Data sheet")))
    , m_table(named<QTableView>("OfferTable"))
    , m_radiators(named<QTreeWidget>("RadiatorList")) {
    setObjectName(QStringLiteral("RadiatorPage"));
    fillRadiatorFamilyTree(m_tree, m_source.offered);
    m_tree->setMinimumWidth(200);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* row) {
        const std::string family = familyOfRow(row);
        if (!family.empty())
            chooseFamily(family);
    });
    // The page's defaults: the project's medium temperatures and factor, one radiator, the
    // demand the room's radiators do not cover yet.
    m_forward->setText(qt(displayNumber(m_source.forward, 7)));
    m_backward->setText(qt(displayNumber(m_source.backward, 7)));
    m_factor->setText(qt(displayNumber(m_source.factor, 7)));
    m_count->setText(QStringLiteral("1"));
    for (QLineEdit* box : {m_forward, m_backward, m_factor, m_count, m_demand})
        connect(box, &QLineEdit::editingFinished, this, &RoomRadiatorPage::rebuildOffer);
    connect(m_dataSheet, &QCheckBox::toggled, this, &RoomRadiatorPage::rebuildOffer);
    connect(m_firstDimension, &QComboBox::activated, this, &RoomRadiatorPage::rebuildOffer);

    m_table->setModel(&m_model);
    m_table->setItemDelegate(new OfferDelegate(m_table));
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_table, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { addFromOffer(index.row(), index.column()); });

    m_radiators->setRootIsDecorated(false);
    m_radiators->setColumnCount(4);
    m_radiators->setHeaderLabels(qt(GetText("IDS_ROOMRADIATORHEADERS")).split(QLatin1Char(';')));
    m_radiators->setEditTriggers(QAbstractItemView::EditKeyPressed);
    connect(
        m_radiators, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
            if (column != 0)
                return;
            const int index = m_radiators->indexOfTopLevelItem(item);
            if (index < 0)
                return;
            m_editor.renameRadiator(static_cast<std::size_t>(index), item->text(0).toStdString());
            // The list is filled again once the edit is over: the item is still in use here.
            QMetaObject::invokeMethod(
                this, [this] { afterCommand(true); }, Qt::QueuedConnection);
        });

    const auto command = [this](const char* name, const char* caption, auto run) {
        auto* b = named<QPushButton>(name, QString::fromUtf8(caption));
        connect(b, &QPushButton::clicked, this, run);
        return b;
    };
    const auto current = [this](auto act) {
        return [this, act] {
            const QModelIndex index = m_table->currentIndex();
            if (index.isValid())
                act(index.row(), index.column());
        };
    };
    auto* offerButtons = new QHBoxLayout;
    offerButtons->addWidget(
        command("AddRadiatorButton", "Add", current([this](int r, int c) { addFromOffer(r, c); })));
    offerButtons->addWidget(command("ReplaceRadiatorButton", "Replace the selected",
                                    current([this](int r, int c) { changeFromOffer(r, c); })));
    offerButtons->addStretch();
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(command("IncreaseButton", "Larger", [this] {
        if (const auto i = selectedRadiator(); i && m_source.families)
            afterCommand(m_editor.stepRadiator(*i, true, *m_source.families));
    }));
    listButtons->addWidget(command("DecreaseButton", "Smaller", [this] {
        if (const auto i = selectedRadiator(); i && m_source.families)
            afterCommand(m_editor.stepRadiator(*i, false, *m_source.families));
    }));
    QPushButton* modify = command("ModifyRadiatorButton", "Modify...", [this] {
        if (const auto i = selectedRadiator(); i && m_source.edit)
            afterCommand(m_editor.modifyRadiator(*i, [this](Radiator& copy) {
                return m_source.edit(copy, m_editor.room().HeatingInSideTemp, this);
            }));
    });
    modify->setEnabled(static_cast<bool>(m_source.edit));
    listButtons->addWidget(modify);
    listButtons->addWidget(command("DeleteRadiatorButton", "Delete", [this] {
        if (const auto i = selectedRadiator())
            afterCommand(m_editor.deleteRadiator(*i));
    }));
    listButtons->addStretch();

    auto* inputs = new QFormLayout;
    inputs->addRow(named<QLabel>("OfferForwardLabel", QStringLiteral("Flow temperature [°C]")),
                   m_forward);
    inputs->addRow(named<QLabel>("OfferReturnLabel", QStringLiteral("Return temperature [°C]")),
                   m_backward);
    inputs->addRow(named<QLabel>("OfferFactorLabel", QStringLiteral("Installation factor")),
                   m_factor);
    inputs->addRow(named<QLabel>("OfferCountLabel", QStringLiteral("Number of radiators")),
                   m_count);
    inputs->addRow(named<QLabel>("OfferDemandLabel", QStringLiteral("Output wanted [W]")),
                   m_demand);
    inputs->addRow(named<QLabel>("FirstDimensionLabel", QStringLiteral("First dimension")),
                   m_firstDimension);
    inputs->addRow(QString(), m_dataSheet);
    QPushButton* setButton = command("RadiatorSetButton", "Device set...", [this] { chooseSet(); });
    setButton->setEnabled(static_cast<bool>(m_source.chooseSet));
    auto* left = new QVBoxLayout;
    left->addWidget(m_tree, 1);
    left->addWidget(setButton, 0, Qt::AlignLeft);
    left->addLayout(inputs);
    auto* right = new QVBoxLayout;
    right->addWidget(m_table, 2);
    right->addLayout(offerButtons);
    right->addWidget(named<QLabel>("RoomRadiatorsLabel", QStringLiteral("Radiators of the room")));
    right->addWidget(m_radiators, 1);
    right->addLayout(listButtons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);
    showRadiators();
}

void RoomRadiatorPage::chooseSet() {
    if (!m_source.chooseSet)
        return;
    std::optional<std::vector<std::pair<std::string, std::string>>> offered =
        m_source.chooseSet(this);
    if (!offered)
        return;
    m_source.offered = std::move(*offered);
    const QSignalBlocker blocker(m_tree);
    fillRadiatorFamilyTree(m_tree, m_source.offered);
    // The family chosen before stays chosen when the new set still offers it.
    for (QTreeWidgetItemIterator row(m_tree); *row; ++row) {
        if (!m_family.empty() && familyOfRow(*row) == m_family) {
            m_tree->setCurrentItem(*row);
            break;
        }
    }
}

void RoomRadiatorPage::chooseFamily(const std::string& family) {
    m_family = family;
    m_firstDimension->clear();
    const RadiatorFamily* found =
        m_source.families != nullptr ? m_source.families->family(family) : nullptr;
    // The first-dimension choice belongs to families of three lists: "all" first.
    if (found != nullptr && found->DimensionLists.size() >= 3) {
        m_firstDimension->addItem(QStringLiteral("*"));
        for (const std::string& entry : found->DimensionLists[0])
            m_firstDimension->addItem(qt(entry));
    }
    m_firstDimension->setEnabled(m_firstDimension->count() > 0);
    rebuildOffer();
}

void RoomRadiatorPage::rebuildOffer() {
    const RadiatorFamily* family = m_family.empty() || m_source.families == nullptr
                                       ? nullptr
                                       : m_source.families->family(m_family);
    if (family == nullptr) {
        m_model.setOffer(nullptr);
        return;
    }
    try {
        OfferInputs in;
        in.forward = boxValue(m_forward, NumberRule::NotNegative);
        in.backward = boxValue(m_backward, NumberRule::NotNegative);
        in.factor = boxValue(m_factor, NumberRule::NotNegative);
        in.count = readRadiatorCount(m_count->text().trimmed().toStdString());
        in.demand = boxValue(m_demand, NumberRule::NotNegative);
        in.ti = m_editor.room().HeatingInSideTemp;
        in.dataSheet = m_dataSheet->isChecked();
        if (m_firstDimension->currentIndex() > 0)
            in.firstDimension = m_firstDimension->currentIndex() - 1;
        m_model.setOffer(std::make_unique<RadiatorOffer>(*family, in, m_source.choice));
        m_status->clear();
    } catch (const Error& error) {
        m_model.setOffer(nullptr);
        showProblem(m_status, error.text());
    }
}

void RoomRadiatorPage::addFromOffer(int row, int column) {
    const RadiatorOffer* offer = m_model.offer();
    if (offer == nullptr)
        return;
    // The cell carries its size: an empty one adds nothing.
    const std::optional<Radiator> radiator = offer->radiatorOf(offer->cell(row, column));
    if (!radiator)
        return;
    try {
        const int count = readRadiatorCount(m_count->text().trimmed().toStdString());
        m_editor.addRadiators(*radiator, count);
        afterCommand(true);
    } catch (const Error& error) {
        showProblem(m_status, error.text());
    }
}

void RoomRadiatorPage::changeFromOffer(int row, int column) {
    const RadiatorOffer* offer = m_model.offer();
    const std::optional<std::size_t> selected = selectedRadiator();
    if (offer == nullptr || !selected)
        return;
    if (const std::optional<Radiator> radiator = offer->radiatorOf(offer->cell(row, column)))
        afterCommand(m_editor.changeRadiator(*selected, *radiator));
}

void RoomRadiatorPage::showRadiators() {
    const QSignalBlocker blocker(m_radiators);
    const std::optional<std::size_t> selected = selectedRadiator();
    m_radiators->clear();
    for (const Radiator& radiator : m_editor.room().Radiators) {
        auto* item =
            new QTreeWidgetItem(m_radiators, {qt(radiator.Mark), qt(radiator.TypeCode),
                                              qt(displayNumber(std::round(radiator.Power()), 7)),
                                              QStringLiteral("%1x%2x%3")
                                                  .arg(radiator.Length)
                                                  .arg(radiator.Height)
                                                  .arg(radiator.Depth)});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (selected && static_cast<int>(*selected) < m_radiators->topLevelItemCount())
        m_radiators->setCurrentItem(m_radiators->topLevelItem(static_cast<int>(*selected)));
    // What the radiators do not cover yet is the next offer's demand.
    const Room& room = m_editor.room();
    const double remaining = std::max(0.0, room.HeatingPower - room.RadiatorPowerSum());
    m_demand->setText(qt(displayNumber(std::round(remaining), 7)));
}

std::optional<std::size_t> RoomRadiatorPage::selectedRadiator() const {
    const int index = m_radiators->indexOfTopLevelItem(m_radiators->currentItem());
    return index < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(index));
}

void RoomRadiatorPage::afterCommand(bool changed) {
    if (!m_editor.status().empty())
        showProblem(m_status, m_editor.status());
    if (!changed)
        return;
    showRadiators();
    rebuildOffer();
    emit radiatorsChanged();
}

} // namespace kalydor::gui
