#include "gui/radiatorfamilydialog.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "devicedb/deviceitem.h"
#include "gui/widgets.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

constexpr int kColumns = 10;

} // namespace

RadiatorFamilyDialog::RadiatorFamilyDialog(const RadiatorFamily& family, QWidget* parent)
    : QDialog(parent)
    , m_family(family)
    , m_mainTypes(named<QComboBox>("MainTypeCombo"))
    , m_temperatures{named<QLineEdit>("RoomTemp"), named<QLineEdit>("BackTemp"),
                     named<QLineEdit>("ForwardTemp")}
    , m_sizes(named<QTableWidget>("SizeList"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("RadiatorViewForm"));
    setWindowTitle(qt(family.Path.empty() ? family.Name : family.Path + " - " + family.Name));
    for (const RadiatorMainType& type : family.MainTypes)
        m_mainTypes->addItem(qt(type.MainTypeName));

    auto* form = new QFormLayout;
    form->addRow(named<QLabel>("MainTypeLabel", QStringLiteral("Main type")), m_mainTypes);
    const char* const labels[] = {"RoomTempLabel", "BackTempLabel", "ForwardTempLabel"};
    const char* const captions[] = {"Room temperature θi", "Return temperature θv",
                                    "Flow temperature θe"};
    const double values[] = {m_shown.room, m_shown.back, m_shown.forward};
    for (int i = 0; i < 3; ++i) {
        auto* caption = named<QLabel>(labels[i], QString::fromUtf8(captions[i]));
        auto* row = new QHBoxLayout;
        m_temperatures[i]->setAlignment(Qt::AlignRight);
        m_temperatures[i]->setFixedWidth(80);
        row->addWidget(m_temperatures[i]);
        row->addWidget(new QLabel(QStringLiteral("°C")));
        row->addStretch();
        form->addRow(caption, row);
        double* target = i == 0 ? &m_shown.room : i == 1 ? &m_shown.back : &m_shown.forward;
        m_numbers
            .add(
                m_temperatures[i], NumberField(captions[i], FieldRule{}, "θ", "°C"), m_status,
                [this, target](double value) {
                    *target = value;
                    refresh();
                },
                caption)
            .show(values[i]);
    }
    m_sizes->setColumnCount(kColumns);
    QStringList headers;
    for (int c = 0; c < kColumns; ++c)
        headers << qt(GetText("IDS_FAMILYVIEWTITLES+" + std::to_string(c)));
    m_sizes->setHorizontalHeaderLabels(headers);
    m_sizes->verticalHeader()->hide();
    m_sizes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_sizes->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_sizes->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_status->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("CloseButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_sizes, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    connect(m_mainTypes, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    resize(900, 520);
    refresh();
}

void RadiatorFamilyDialog::refresh() {
    m_sizes->setRowCount(0);
    std::vector<FamilyViewRow> rows;
    try {
        rows = familyViewRows(m_family, m_mainTypes->currentIndex(), m_shown);
        m_status->clear();
    } catch (const Error& error) {
        m_status->setText(qt(error.text()));
        return;
    }
    m_sizes->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < kColumns; ++c) {
            auto* cell = new QTableWidgetItem(qt(rows[r][static_cast<std::size_t>(c)]));
            const bool text = c == 0 || c == 9;
            cell->setTextAlignment(text     ? Qt::AlignLeft | Qt::AlignVCenter
                                   : c == 5 ? Qt::AlignCenter
                                            : Qt::AlignRight | Qt::AlignVCenter);
            m_sizes->setItem(static_cast<int>(r), c, cell);
        }
    }
}

} // namespace kalydor::gui
