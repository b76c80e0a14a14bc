#include "gui/columnlayoutdialog.h"

#include "gui/qtwindowtranslation.h"
#include "language/languages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kalydor::gui {
namespace {

QLineEdit* lineEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QComboBox* alignmentBox(const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    // In the order of the alignment codes: left, right, centre.
    box->addItems({"Left", "Right", "Centre"});
    return box;
}

QLabel* label(const char* name, const char* text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setBuddy(buddy);
    return l;
}

} // namespace

ColumnLayoutDialog::ColumnLayoutDialog(ColumnLayout& layout, const Languages& languages,
                                       platform::SettingsStore& store, QWidget* parent)
    : QDialog(parent)
    , m_logic(layout, languages)
    , m_store(store) {
    setObjectName("ChangeHeaderForm");
    setWindowTitle("Columns");
    buildWidgets();
    translateWindow(languages, *this);
    fillList(0);
}

void ColumnLayoutDialog::buildWidgets() {
    auto* columns = new QVBoxLayout;
    m_list = new QListWidget(this);
    m_list->setObjectName("ColumnList");
    m_list->setMinimumWidth(260);
    columns->addWidget(m_list);
    auto* moveButtons = new QHBoxLayout;
    m_up = new QPushButton("Move &up", this);
    m_up->setObjectName("UpButton");
    m_down = new QPushButton("Move &down", this);
    m_down->setObjectName("DownButton");
    moveButtons->addWidget(m_up);
    moveButtons->addWidget(m_down);
    columns->addLayout(moveButtons);

    auto* settings = new QVBoxLayout;
    auto* form = new QFormLayout;
    m_width = lineEdit("WidthEdit", this);
    form->addRow(label("WidthLabel", "&Width", m_width, this), m_width);
    m_captionAlignment = alignmentBox("CaptionAlignmentBox", this);
    form->addRow(label("CaptionAlignmentLabel", "&Caption alignment", m_captionAlignment, this),
                 m_captionAlignment);
    m_dataAlignment = alignmentBox("DataAlignmentBox", this);
    form->addRow(label("DataAlignmentLabel", "D&ata alignment", m_dataAlignment, this),
                 m_dataAlignment);
    m_showZero = new QCheckBox("Show &zero values", this);
    m_showZero->setObjectName("ShowZeroCheck");
    form->addRow(m_showZero);
    m_precision = lineEdit("PrecisionEdit", this);
    form->addRow(label("PrecisionLabel", "&Precision (significant digits)", m_precision, this),
                 m_precision);
    m_digits = lineEdit("DigitsEdit", this);
    form->addRow(label("DigitsLabel", "D&igits", m_digits, this), m_digits);
    settings->addLayout(form);

    m_realFormat = new QGroupBox("Number format", this);
    m_realFormat->setObjectName("RealFormatGroup");
    auto* formatLayout = new QHBoxLayout(m_realFormat);
    const char* formatNames[3] = {"General", "Scientific", "Fixed"};
    for (int i = 0; i < 3; ++i) {
        m_formatButtons[i] = new QRadioButton(formatNames[i], m_realFormat);
        formatLayout->addWidget(m_formatButtons[i]);
    }
    settings->addWidget(m_realFormat);

    m_ownCaptions = new QGroupBox("&Own captions", this);
    m_ownCaptions->setObjectName("OwnCaptionsGroup");
    m_ownCaptions->setCheckable(true);
    auto* ownLayout = new QFormLayout(m_ownCaptions);
    m_caption1 = lineEdit("Caption1Edit", m_ownCaptions);
    ownLayout->addRow(label("Caption1Label", "Line &1", m_caption1, m_ownCaptions), m_caption1);
    m_caption2 = lineEdit("Caption2Edit", m_ownCaptions);
    ownLayout->addRow(label("Caption2Label", "Line &2", m_caption2, m_ownCaptions), m_caption2);
    m_multiplier = lineEdit("MultiplierEdit", m_ownCaptions);
    ownLayout->addRow(label("MultiplierLabel", "&Multiplier", m_multiplier, m_ownCaptions),
                      m_multiplier);
    settings->addWidget(m_ownCaptions);
    settings->addStretch();

    auto* body = new QHBoxLayout;
    body->addLayout(columns, 1);
    body->addLayout(settings, 1);

    m_status = new QLabel(this);
    m_status->setObjectName("StatusLine");
    m_status->setStyleSheet("color: #a00000");
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName("OkButton");
    auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName("CancelButton");

    auto* main = new QVBoxLayout(this);
    main->addLayout(body);
    main->addWidget(m_status);
    main->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &ColumnLayoutDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ColumnLayoutDialog::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, &ColumnLayoutDialog::currentRowChanged);
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        itemChanged(m_list->row(item), item->checkState() == Qt::Checked);
    });
    connect(m_up, &QPushButton::clicked, this, [this] { move(true); });
    connect(m_down, &QPushButton::clicked, this, [this] { move(false); });
    connect(m_ownCaptions, &QGroupBox::toggled, this, [this] { updateEnabled(); });
}

QString ColumnLayoutDialog::statusText() const {
    return m_status->text();
}

void ColumnLayoutDialog::fillList(int selected) {
    m_filling = true;
    m_list->clear();
    for (int position = 0; position < m_logic.Count(); ++position) {
        auto* item = new QListWidgetItem(QString::fromStdString(m_logic.EntryText(position)));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(m_logic.IsVisible(position) ? Qt::Checked : Qt::Unchecked);
        m_list->addItem(item);
    }
    m_filling = false;
    m_shown = -1;
    if (m_logic.Count() > 0) {
        m_list->setCurrentRow(std::clamp(selected, 0, m_logic.Count() - 1));
        showColumn(m_list->currentRow());
    }
    updateEnabled();
}

void ColumnLayoutDialog::showColumn(int position) {
    m_shown = position;
    if (position < 0)
        return;
    const ColumnSettings settings = m_logic.Settings(position);
    m_width->setText(QString::fromStdString(settings.Width));
    m_captionAlignment->setCurrentIndex(static_cast<int>(settings.CaptionAlignment));
    m_dataAlignment->setCurrentIndex(static_cast<int>(settings.DataAlignment));
    m_showZero->setChecked(settings.ShowZero);
    m_precision->setText(QString::fromStdString(settings.Precision));
    m_digits->setText(QString::fromStdString(settings.Digits));
    m_formatButtons[static_cast<int>(settings.RealFormat)]->setChecked(true);
    m_ownCaptions->setChecked(settings.OwnCaptions);
    m_caption1->setText(QString::fromStdString(settings.OwnCaption1));
    m_caption2->setText(QString::fromStdString(settings.OwnCaption2));
    m_multiplier->setText(QString::fromStdString(settings.Multiplier));
    updateEnabled();
}

ColumnSettings ColumnLayoutDialog::fields() const {
    ColumnSettings settings;
    settings.Width = m_width->text().toStdString();
    settings.CaptionAlignment = static_cast<ColumnAlignment>(m_captionAlignment->currentIndex());
    settings.DataAlignment = static_cast<ColumnAlignment>(m_dataAlignment->currentIndex());
    settings.ShowZero = m_showZero->isChecked();
    settings.Precision = m_precision->text().toStdString();
    settings.Digits = m_digits->text().toStdString();
    for (int i = 0; i < 3; ++i) {
        if (m_formatButtons[i]->isChecked())
            settings.RealFormat = static_cast<RealNumberFormat>(i);
    }
    settings.OwnCaptions = m_ownCaptions->isChecked();
    settings.OwnCaption1 = m_caption1->text().toStdString();
    settings.OwnCaption2 = m_caption2->text().toStdString();
    settings.Multiplier = m_multiplier->text().toStdString();
    return settings;
}

bool ColumnLayoutDialog::applyShown() {
    if (m_shown < 0)
        return true;
    const std::optional<ColumnSettingsError> error = m_logic.Apply(m_shown, fields());
    if (!error) {
        m_status->clear();
        m_filling = true;
        m_list->item(m_shown)->setText(QString::fromStdString(m_logic.EntryText(m_shown)));
        m_filling = false;
        return true;
    }
    m_status->setText(QString::fromStdString(error->text));
    QLineEdit* field = m_width;
    switch (error->field) {
    case ColumnSettingsError::Field::Width:
        break;
    case ColumnSettingsError::Field::Precision:
        field = m_precision;
        break;
    case ColumnSettingsError::Field::Digits:
        field = m_digits;
        break;
    case ColumnSettingsError::Field::Multiplier:
        field = m_multiplier;
        break;
    }
    field->setFocus();
    field->selectAll();
    return false;
}

void ColumnLayoutDialog::updateEnabled() {
    const bool any = m_shown >= 0;
    const ColumnType type = any ? m_logic.ValueType(m_shown) : ColumnType::Text;
    const bool real = type == ColumnType::Real;
    m_showZero->setEnabled(any && type != ColumnType::Text);
    m_precision->setEnabled(real);
    m_digits->setEnabled(real);
    m_realFormat->setEnabled(real);
    m_multiplier->setEnabled(m_ownCaptions->isChecked() && type != ColumnType::Text);
    m_up->setEnabled(any && m_shown > 0);
    m_down->setEnabled(any && m_shown + 1 < m_logic.Count());
}

void ColumnLayoutDialog::currentRowChanged(int row) {
    if (m_filling || row == m_shown)
        return;
    if (!applyShown()) {
        // The bad value stays on screen with the focus on it.
        m_filling = true;
        m_list->setCurrentRow(m_shown);
        m_filling = false;
        return;
    }
    showColumn(row);
}

void ColumnLayoutDialog::itemChanged(int row, bool checked) {
    if (m_filling || row < 0)
        return;
    if (!m_logic.SetVisible(row, checked)) {
        m_filling = true;
        m_list->item(row)->setCheckState(Qt::Checked);
        m_filling = false;
    }
}

void ColumnLayoutDialog::move(bool up) {
    if (!applyShown())
        return;
    const int row = m_shown;
    const bool moved = up ? m_logic.MoveUp(row) : m_logic.MoveDown(row);
    fillList(moved ? (up ? row - 1 : row + 1) : row);
}

void ColumnLayoutDialog::accept() {
    if (!applyShown())
        return;
    m_changed = m_logic.Changed();
    m_logic.Confirm(m_store);
    QDialog::accept();
}

void ColumnLayoutDialog::reject() {
    m_logic.Cancel();
    m_changed = false;
    QDialog::reject();
}

} // namespace kalydor::gui
