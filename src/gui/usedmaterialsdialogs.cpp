#include "gui/usedmaterialsdialogs.h"

#include "base/displayformat.h"
#include "base/textlookup.h"
#include "constructions/usedmaterials.h"
#include "gui/widgets.h"
#include "platform/prompter.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <map>

namespace kalydor::gui {
namespace {

constexpr int kLineRole = Qt::UserRole + 1;

QTreeWidget* lineTree(QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QStringLiteral("LinesTree"));
    tree->setColumnCount(4);
    tree->setHeaderLabels(
        {qt(GetText("IDS_USEDMATERIALSBIFFTITLE+0")), qt(GetText("IDS_USEDMATERIALSBIFFTITLE+1")),
         qt(GetText("IDS_USEDMATERIALSBIFFTITLE+2")), qt(GetText("IDS_USEDMATERIALSBIFFTITLE+3"))});
    tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tree->setMinimumSize(560, 320);
    return tree;
}

bool refuseEmpty(const std::vector<std::size_t>& chosen) {
    if (!chosen.empty())
        return false;
    platform::prompter().showMessage(GetText("IDS_NOUSEDMATERIALSCHOSEN"));
    return true;
}

} // namespace

BillLineTree::BillLineTree(const UsedMaterials& bill, QTreeWidget* tree)
    : m_tree(tree) {
    std::map<int, QTreeWidgetItem*> groups;
    for (std::size_t i = 0; i < bill.lines().size(); ++i) {
        const UsedMaterialItem& line = bill.lines()[i];
        QTreeWidgetItem*& group = groups[line.Type];
        if (group == nullptr) {
            std::string title = GetText("IDS_DEVICEDBTYPES+" + std::to_string(line.Type));
            group = new QTreeWidgetItem(m_tree, {qt(title.empty() ? "-" : title)});
            group->setFlags(group->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
            group->setCheckState(0, Qt::Checked);
            group->setExpanded(true);
        }
        auto* item =
            new QTreeWidgetItem(group, {qt(line.Name), qt(line.EstimateCode),
                                        qt(displayNumber(line.Quantity, 6)), qt(line.Unit)});
        item->setData(0, kLineRole, static_cast<qulonglong>(i));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(0, qt(line.GroupText));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
    }
}

std::vector<std::size_t> BillLineTree::chosen() const {
    std::vector<std::size_t> lines;
    for (int g = 0; g < m_tree->topLevelItemCount(); ++g) {
        const QTreeWidgetItem* group = m_tree->topLevelItem(g);
        for (int c = 0; c < group->childCount(); ++c)
            if (group->child(c)->checkState(0) == Qt::Checked)
                lines.push_back(group->child(c)->data(0, kLineRole).toULongLong());
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

UsedMaterialsPrintDialog::UsedMaterialsPrintDialog(const UsedMaterials& bill, QWidget* parent)
    : QDialog(parent)
    , m_tree(lineTree(this))
    , m_lines(bill, m_tree) {
    setObjectName(QStringLiteral("UsedMaterialsPrintingForm"));
    setWindowTitle(QStringLiteral("Print the bill of materials"));
    auto* buttons = new QHBoxLayout;
    auto* columns = named<QPushButton>("ColumnsButton", QStringLiteral("Columns..."));
    connect(columns, &QPushButton::clicked, this, [this] {
        if (editColumns)
            editColumns();
    });
    auto* setup = named<QPushButton>("PrinterSetupButton", QStringLiteral("Printer setup..."));
    connect(setup, &QPushButton::clicked, this, [this] {
        if (setupPrinter)
            setupPrinter();
    });
    buttons->addWidget(columns);
    buttons->addWidget(setup);
    buttons->addStretch();
    const auto command = [&](const char* name, const char* caption, PrintDialog::Command chosen) {
        auto* button = named<QPushButton>(name, QString::fromUtf8(caption));
        connect(button, &QPushButton::clicked, this, [this, chosen] { finish(chosen); });
        buttons->addWidget(button);
        return button;
    };
    command("PreviewButton", "Preview...", PrintDialog::Command::Preview)->setDefault(true);
    command("PrintButton", "Print...", PrintDialog::Command::Print);
    command("PdfButton", "PDF...", PrintDialog::Command::Pdf);
    auto* cancel = named<QPushButton>("CancelButton", QStringLiteral("Cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addLayout(buttons);
}

void UsedMaterialsPrintDialog::finish(PrintDialog::Command command) {
    if (refuseEmpty(chosen()))
        return;
    m_command = command;
    QDialog::accept();
}

UsedMaterialsExportDialog::UsedMaterialsExportDialog(const UsedMaterials& bill, QWidget* parent)
    : QDialog(parent)
    , m_tree(lineTree(this))
    , m_lines(bill, m_tree) {
    setObjectName(QStringLiteral("UsedMaterialsExportForm"));
    setWindowTitle(QStringLiteral("Export the bill of materials"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = named<QPushButton>("OkButton", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &UsedMaterialsExportDialog::accept);
    auto* cancel = named<QPushButton>("CancelButton", QStringLiteral("Cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addLayout(buttons);
}

void UsedMaterialsExportDialog::accept() {
    if (refuseEmpty(chosen()))
        return;
    QDialog::accept();
}

} // namespace kalydor::gui
