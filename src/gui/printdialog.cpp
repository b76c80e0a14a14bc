#include "gui/printdialog.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "gui/widgets.h"
#include "platform/prompter.h"
#include "shell/printout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kalydor::gui {

PrintDialog::PrintDialog(ItemKind kind, PrintForm& form, QWidget* parent)
    : QDialog(parent)
    , m_form(form)
    , m_formats(printFormatsOf(kind))
    , m_tables(printedTablesOf(kind))
    , m_title(named<QLineEdit>("TitleEdit"))
    , m_numberPages(named<QCheckBox>("NumberPagesCheck", QStringLiteral("Number the pages")))
    , m_firstPage(named<QLineEdit>("FirstPageEdit"))
    , m_fileName(named<QCheckBox>("FileNameCheck", QStringLiteral("Print the file name")))
    , m_date(named<QCheckBox>("DateCheck", QStringLiteral("Print the date")))
    , m_onlyPages(named<QLineEdit>("OnlyPagesEdit"))
    , m_projectData(
          named<QCheckBox>("ProjectDataCheck", QStringLiteral("Print the project data"))) {
    setObjectName(QStringLiteral("PrintingForm"));
    setWindowTitle(QStringLiteral("Print"));
    m_title->setText(qt(form.title));
    m_numberPages->setChecked(form.numberPages);
    m_firstPage->setText(qt(form.firstPage));
    m_fileName->setChecked(form.fileName);
    m_date->setChecked(form.date);
    m_onlyPages->setText(qt(form.onlyPages));
    // The material table belongs to no project: its printouts have no project data.
    m_projectData->setChecked(form.projectData && kind != ItemKind::Material);
    m_projectData->setEnabled(kind != ItemKind::Material);
    m_onlyPages->setPlaceholderText(QStringLiteral("1,3,5-7"));
    connect(m_numberPages, &QCheckBox::toggled, m_firstPage, &QWidget::setEnabled);
    m_firstPage->setEnabled(form.numberPages);

    auto* boxes = new QFormLayout;
    boxes->addRow(named<QLabel>("TitleLabel", QStringLiteral("Title")), m_title);
    boxes->addRow(m_projectData);
    boxes->addRow(m_numberPages);
    boxes->addRow(named<QLabel>("FirstPageLabel", QStringLiteral("First page number")),
                  m_firstPage);
    boxes->addRow(m_fileName);
    boxes->addRow(m_date);
    boxes->addRow(named<QLabel>("OnlyPagesLabel", QStringLiteral("Only the pages")), m_onlyPages);

    // The formats as a check list: their names are language texts of their own.
    auto* formats = named<QGroupBox>("FormatsBox", QStringLiteral("Print"));
    auto* formatLayout = new QVBoxLayout(formats);
    m_formatList = named<QListWidget>("FormatsList");
    for (const int n : m_formats) {
        auto* row = new QListWidgetItem(qt(GetText("IDS_PRINTINGCONTROLS+" + std::to_string(n))),
                                        m_formatList);
        // The formats of the last printout, or the first one offered.
        const bool chosen = form.formats.empty() ? n == m_formats.front() : form.hasFormat(n);
        row->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
    }
    m_formatList->setMaximumHeight(
        m_formatList->sizeHintForRow(0) * static_cast<int>(m_formats.size() + 1) + 4);
    formatLayout->addWidget(m_formatList);

    auto* items = named<QPushButton>("ItemsButton", QStringLiteral("Items..."));
    auto* itemsLabel = named<QLabel>("ItemsValue");
    itemsLabel->setText(qt(GetText("IDS_PRINTCATEGORY+" + std::to_string(kindNumber(kind)))));
    connect(items, &QPushButton::clicked, this, [this, itemsLabel] {
        if (!chooseItems)
            return;
        if (std::optional<std::vector<Reference>> chosen = chooseItems()) {
            m_items = std::move(chosen);
            itemsLabel->setText(QString::number(m_items->size()));
        }
    });
    auto* itemRow = new QHBoxLayout;
    itemRow->addWidget(items);
    itemRow->addWidget(itemsLabel, 1);

    // The columns of a printed table: the kind's tables in a list, their names language
    // texts of their own.
    m_tableChoice = named<QComboBox>("TablesCombo");
    for (const PrintedTable& table : m_tables)
        m_tableChoice->addItem(qt(GetText(table.captionKey)));
    auto* columns = named<QPushButton>("ColumnsButton", QStringLiteral("Columns..."));
    connect(columns, &QPushButton::clicked, this, [this] {
        const int chosen = m_tableChoice->currentIndex();
        if (editColumns && chosen >= 0 && chosen < static_cast<int>(m_tables.size()))
            editColumns(m_tables[static_cast<std::size_t>(chosen)]);
    });
    itemRow->addWidget(m_tableChoice);
    itemRow->addWidget(columns);

    auto* buttons = new QHBoxLayout;
    auto* setup = named<QPushButton>("PrinterSetupButton", QStringLiteral("Printer setup..."));
    connect(setup, &QPushButton::clicked, this, [this] {
        if (setupPrinter)
            setupPrinter();
    });
    buttons->addWidget(setup);
    buttons->addStretch();
    const auto command = [&](const char* name, const char* caption, Command chosen) {
        auto* button = named<QPushButton>(name, QString::fromUtf8(caption));
        connect(button, &QPushButton::clicked, this, [this, chosen] { finish(chosen); });
        buttons->addWidget(button);
        return button;
    };
    command("PreviewButton", "Preview...", Command::Preview)->setDefault(true);
    command("PrintButton", "Print...", Command::Print);
    command("PdfButton", "PDF...", Command::Pdf);
    auto* cancel = named<QPushButton>("CancelButton", QStringLiteral("Cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(formats);
    layout->addLayout(itemRow);
    layout->addLayout(buttons);
}

void PrintDialog::finish(Command command) {
    PrintForm typed = m_form;
    typed.title = m_title->text().toStdString();
    typed.numberPages = m_numberPages->isChecked();
    typed.firstPage = m_firstPage->text().trimmed().toStdString();
    typed.fileName = m_fileName->isChecked();
    typed.date = m_date->isChecked();
    if (m_projectData->isEnabled())
        typed.projectData = m_projectData->isChecked();
    typed.onlyPages = m_onlyPages->text().toStdString();
    typed.formats.clear();
    for (std::size_t i = 0; i < m_formats.size(); ++i)
        if (m_formatList->item(static_cast<int>(i))->checkState() == Qt::Checked)
            typed.formats.push_back(m_formats[i]);
    try {
        (void)typed.choices({}, {}, {});
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
        m_firstPage->setFocus();
        return;
    }
    if (typed.formats.empty()) {
        platform::prompter().showMessage(GetText("IDS_NOPRINTFORMAT"));
        return;
    }
    m_form = typed;
    m_command = command;
    accept();
}

} // namespace kalydor::gui
