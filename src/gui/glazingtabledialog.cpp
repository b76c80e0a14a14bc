#include "gui/glazingtabledialog.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "gui/dialogplacement.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace kalydor::gui {
namespace {

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

// A coefficient in the general format, or the field as written when it is no number.
QTableWidgetItem* valueCell(double value, const std::string& field) {
    if (!std::isnan(value)) {
        QTableWidgetItem* item = cell(qt(formatGeneral(value, 3)));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return item;
    }
    QTableWidgetItem* item = cell(field.empty() ? QStringLiteral("?") : qt(field));
    item->setForeground(Qt::red);
    return item;
}

} // namespace

GlazingTableDialog::GlazingTableDialog(GlazingTable table, QWidget* parent)
    : QDialog(parent)
    , m_table(std::move(table))
    , m_rows(named<QTableWidget>("KuList"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("kuTableForm"));
    setWindowTitle(QStringLiteral("Heat-transfer coefficients of glazing"));

    const QStringList headers{QStringLiteral("Glazing"),
                              QStringLiteral("Day"),
                              QStringLiteral("Night, curtain"),
                              QStringLiteral("Night, roller shutter"),
                              QStringLiteral("Night, curtain and roller shutter"),
                              QStringLiteral("Night, insulated shutter")};
    m_rows->setColumnCount(static_cast<int>(headers.size()));
    m_rows->setHorizontalHeaderLabels(headers);
    m_rows->verticalHeader()->hide();
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->setSelectionMode(QAbstractItemView::SingleSelection);
    m_rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_rows->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_rows->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    const std::vector<GlazingEntry>& entries = m_table.entries();
    m_rows->setRowCount(static_cast<int>(entries.size()));
    for (std::size_t r = 0; r < entries.size(); ++r) {
        const GlazingEntry& entry = entries[r];
        const int row = static_cast<int>(r);
        m_rows->setItem(row, 0, cell(qt(entry.name)));
        m_rows->setItem(row, 1, valueCell(entry.day, entry.fields[0]));
        for (std::size_t m = 0; m < entry.night.size(); ++m)
            m_rows->setItem(row, static_cast<int>(m) + 2,
                            valueCell(entry.night[m], entry.fields[m + 1]));
    }
    m_rows->setMinimumHeight(220);
    connect(m_rows, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        m_rows->selectRow(row);
        accept();
    });

    auto* shading = named<QGroupBox>("ShadingGroup", QStringLiteral("Night shading"));
    auto* shadingLayout = new QHBoxLayout(shading);
    const char* names[] = {"CurtainRadio", "RollerShutterRadio", "BothRadio",
                           "InsulatedShutterRadio"};
    const char* captions[] = {"Curtain", "Roller shutter", "Curtain and roller shutter",
                              "Insulated shutter"};
    for (std::size_t m = 0; m < m_modes.size(); ++m) {
        m_modes[m] = named<QRadioButton>(names[m], QString::fromLatin1(captions[m]));
        shadingLayout->addWidget(m_modes[m]);
    }
    m_status->setWordWrap(true);
    QPalette warning = m_status->palette();
    warning.setColor(QPalette::WindowText, Qt::red);
    m_status->setPalette(warning);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_rows, 1);
    layout->addWidget(shading);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));

    const GlazingChoice& last = lastGlazingChoice();
    setChoice(last.entry, last.mode);
}

void GlazingTableDialog::showEvent(QShowEvent* event) {
    // Wide enough for every column with its translated caption: no column hides behind a
    // scroll bar.
    m_rows->resizeColumnsToContents();
    const int width = m_rows->horizontalHeader()->length() + 2 * m_rows->frameWidth() +
                      m_rows->verticalScrollBar()->sizeHint().width();
    m_rows->setMinimumWidth(width);
    QDialog::showEvent(event);
}

int GlazingTableDialog::entry() const {
    return m_rows->currentRow();
}

int GlazingTableDialog::mode() const {
    for (std::size_t m = 0; m < m_modes.size(); ++m) {
        if (m_modes[m]->isChecked())
            return static_cast<int>(m);
    }
    return 0;
}

void GlazingTableDialog::setChoice(int entry, int mode) {
    // A remembered entry the table no longer has (another language) falls back to the first.
    if (entry < 0 || entry >= m_rows->rowCount())
        entry = 0;
    if (mode < 0 || mode >= kShadingModeCount)
        mode = 0;
    if (m_rows->rowCount() > 0) {
        m_rows->setCurrentCell(entry, 0);
        m_rows->selectRow(entry);
    }
    m_modes[static_cast<std::size_t>(mode)]->setChecked(true);
}

void GlazingTableDialog::accept() {
    const int row = entry();
    if (row < 0)
        return; // an empty table offers nothing to confirm
    const std::optional<GlazingCoefficients> values = m_table.coefficients(row, mode());
    if (!values) {
        const std::string format = GetText("IDS_KUTYPEWRONG");
        m_status->setText(qt(formatText(
            format.empty() ? "The glazing \"%s\" has a value that is not a number: correct "
                             "its text in the language file."
                           : format,
            {m_table.entries()[static_cast<std::size_t>(row)].name})));
        m_rows->setFocus();
        return;
    }
    m_chosen = values;
    lastGlazingChoice() = {row, mode()};
    QDialog::accept();
}

std::optional<std::pair<double, double>>
GlazingTableDialog::choose(QWidget* parent, const Languages& languages,
                           platform::SettingsStore& settings) {
    GlazingTableDialog dialog(GlazingTable::fromLanguage(languages), parent);
    translateWindow(languages, dialog);
    if (execPlaced(dialog, settings) != QDialog::Accepted || !dialog.chosen())
        return std::nullopt;
    return std::make_pair(dialog.chosen()->day, dialog.chosen()->night);
}

} // namespace kalydor::gui
