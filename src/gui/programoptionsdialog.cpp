#include "gui/programoptionsdialog.h"

#include "base/error.h"
#include "gui/numberfieldbinding.h"
#include "gui/qttoolkitlanguage.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

using Number = ProgramOptionsFields::Number;

// Picks the entry showing a text; an editable combo shows any other text as typed.
void showComboText(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text);
    if (index >= 0)
        combo->setCurrentIndex(index);
    else if (combo->isEditable())
        combo->setEditText(text);
    else
        combo->setCurrentIndex(-1);
}

QFont fontOf(const ListFontAttributes& choice) {
    QFont font;
    if (!choice.name.empty())
        font.setFamily(qt(choice.name));
    if (choice.size > 0)
        font.setPointSize(static_cast<int>(choice.size));
    return font;
}

} // namespace

ProgramOptionsDialog::ProgramOptionsDialog(ProgramOptions& options, QWidget* parent)
    : QDialog(parent)
    , m_options(options)
    , m_editor(options)
    , m_fields(m_editor.fields())
    , m_pages(named<QTabWidget>("PageControl1"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("ProgramOptionsForm"));
    setWindowTitle(QStringLiteral("Program options"));
    // Every page's tab stays readable in every language: the dialog is as wide as they are.
    m_pages->setUsesScrollButtons(false);
    m_pages->setElideMode(Qt::ElideNone);
    m_pages->addTab(buildProjectPage(), QStringLiteral("New project"));
    m_pages->addTab(buildPrintPage(), QStringLiteral("Printing"));
    m_pages->addTab(buildHeaderPage(), QStringLiteral("Firm header"));
    m_pages->addTab(buildFontPage(), QStringLiteral("Fonts"));
    m_pages->addTab(buildSettingsPage(), QStringLiteral("Settings"));
    m_pages->addTab(buildLanguagePage(), QStringLiteral("Languages"));
    m_pages->addTab(buildEstimatePage(), QStringLiteral("Cost estimate"));

    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    // The whole numbers are checked as they are left, named by the caption beside them.
    const char* const captions[] = {"LeftMarginLabel",   "TopMarginLabel",      "RightMarginLabel",
                                    "BottomMarginLabel", "HeaderFontSizeLabel", "ResolutionLabel"};
    for (int i = 0; i < 6; ++i) {
        auto* caption = findChild<QLabel*>(QString::fromLatin1(captions[i]));
        m_fieldSet.add(m_numbers[i],
                       NumberField(caption->text().toStdString(),
                                   programOptionsFieldRule(static_cast<Number>(i))),
                       m_status, {}, caption);
    }

    translateWindow(options.languages(), *this);
    showFields();
    const int page = ProgramOptionsEditor::rememberedPage;
    m_pages->setCurrentIndex(page >= 0 && page < m_pages->count() ? page : 0);
}

QWidget* ProgramOptionsDialog::buildProjectPage() {
    auto* page = named<QWidget>("ProjectSheet");
    m_planer = named<QPlainTextEdit>("PlanerMemo");
    m_planer->setTabChangesFocus(true);
    m_initDate =
        named<QCheckBox>("InitDateCheck", QStringLiteral("Today's date for a new project"));
    m_viewProjectData = named<QCheckBox>("ViewProjektDataCheck",
                                         QStringLiteral("Open the project data after creating"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(named<QLabel>("PlanerLabel", QStringLiteral("Planner")));
    layout->addWidget(m_planer);
    layout->addWidget(m_initDate);
    layout->addWidget(m_viewProjectData);
    return page;
}

QWidget* ProgramOptionsDialog::buildPrintPage() {
    auto* page = named<QWidget>("PrintSheet");
    auto* margins = named<QGroupBox>("MarginGroup", QStringLiteral("Margins (mm)"));
    auto* form = new QFormLayout(margins);
    const char* const edits[] = {"LeftMarginEdit", "TopMarginEdit", "RightMarginEdit",
                                 "BottomMarginEdit"};
    const char* const labels[] = {"LeftMarginLabel", "TopMarginLabel", "RightMarginLabel",
                                  "BottomMarginLabel"};
    const char* const captions[] = {"Left", "Top", "Right", "Bottom"};
    for (int i = 0; i < 4; ++i) {
        m_numbers[i] = named<QLineEdit>(edits[i]);
        m_numbers[i]->setMaximumWidth(80);
        form->addRow(named<QLabel>(labels[i], QString::fromLatin1(captions[i])), m_numbers[i]);
    }
    m_forceNewPage =
        named<QCheckBox>("ForceNewPageCheck", QStringLiteral("Every item on a new page"));
    m_colorPrinting = named<QCheckBox>("ColorPrintingCheck", QStringLiteral("Colour printing"));
    m_programSign = named<QCheckBox>("ProgramSignCheck", QStringLiteral("Program signature"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(margins);
    layout->addWidget(m_forceNewPage);
    layout->addWidget(m_colorPrinting);
    layout->addWidget(m_programSign);
    layout->addStretch();
    return page;
}

QWidget* ProgramOptionsDialog::buildHeaderPage() {
    auto* page = named<QWidget>("HeaderSheet");
    auto* modes = named<QGroupBox>("HeaderPageGroup", QStringLiteral("Firm header"));
    auto* modeLayout = new QVBoxLayout(modes);
    const char* const modeNames[] = {"NoHeaderRadio", "FirstPageRadio", "EveryPageRadio"};
    const char* const modeCaptions[] = {"None", "First page only", "Every page"};
    for (int i = 0; i < 3; ++i)
        modeLayout->addWidget(m_pageModes[i] = named<QRadioButton>(
                                  modeNames[i], QString::fromLatin1(modeCaptions[i])));

    m_headerText = named<QPlainTextEdit>("HeaderTextMemo");
    m_headerText->setTabChangesFocus(true);
    m_fontSize = named<QComboBox>("HeaderFontSizeCombo");
    m_fontSize->setEditable(true);
    for (const int size : kFirmaHeaderFontSizes)
        m_fontSize->addItem(QString::number(size));
    m_numbers[static_cast<int>(Number::FontSize)] = m_fontSize->lineEdit();

    auto* logo = named<QGroupBox>("LogoGroup", QStringLiteral("Logo"));
    auto* logoLayout = new QGridLayout(logo);
    const char* const logoNames[] = {"NoLogoRadio", "LeftLogoRadio", "RightLogoRadio"};
    const char* const logoCaptions[] = {"None", "Left", "Right"};
    for (int i = 0; i < 3; ++i)
        logoLayout->addWidget(m_logoModes[i] = named<QRadioButton>(
                                  logoNames[i], QString::fromLatin1(logoCaptions[i])),
                              i, 0);
    auto* logoButton = named<QPushButton>("LogoButton", QStringLiteral("Picture..."));
    connect(logoButton, &QPushButton::clicked, this, &ProgramOptionsDialog::chooseLogo);
    logoLayout->addWidget(logoButton, 3, 0);
    m_logoPreview = named<QLabel>("LogoPreview");
    m_logoPreview->setFixedSize(200, 110);
    m_logoPreview->setFrameShape(QFrame::StyledPanel);
    m_logoPreview->setAlignment(Qt::AlignCenter);
    logoLayout->addWidget(m_logoPreview, 0, 1, 4, 1);
    m_resolution = named<QComboBox>("ResolutionCombo");
    m_resolution->setEditable(true);
    for (const int dpi : kLogoResolutions)
        m_resolution->addItem(QString::number(dpi));
    m_numbers[static_cast<int>(Number::Resolution)] = m_resolution->lineEdit();
    auto* resolution = new QHBoxLayout;
    resolution->addWidget(named<QLabel>("ResolutionLabel", QStringLiteral("Resolution (dpi)")));
    resolution->addWidget(m_resolution);
    resolution->addStretch();
    logoLayout->addLayout(resolution, 4, 0, 1, 2);

    auto* layout = new QGridLayout(page);
    layout->addWidget(modes, 0, 0);
    auto* size = new QFormLayout;
    size->addRow(named<QLabel>("HeaderFontSizeLabel", QStringLiteral("Font size")), m_fontSize);
    layout->addLayout(size, 1, 0);
    auto* text = new QVBoxLayout;
    text->addWidget(named<QLabel>("HeaderTextLabel", QStringLiteral("Header text")));
    text->addWidget(m_headerText);
    layout->addLayout(text, 0, 1, 2, 1);
    layout->addWidget(logo, 2, 0, 1, 2);
    return page;
}

QWidget* ProgramOptionsDialog::buildFontPage() {
    auto* page = named<QWidget>("FontSheet");
    auto* layout = new QGridLayout(page);
    const char* const labels[] = {"ListFontLabel", "ReportFontLabel"};
    const char* const captions[] = {"Lists", "Reports"};
    const char* const descriptions[] = {"ListFontDescription", "ReportFontDescription"};
    const char* const buttons[] = {"ListFontButton", "ReportFontButton"};
    for (int i = 0; i < 2; ++i) {
        const auto kind = static_cast<ListFontAttributes::Kind>(i);
        m_fontDescriptions[i] = named<QLabel>(descriptions[i]);
        auto* button = named<QPushButton>(buttons[i], QStringLiteral("Font..."));
        connect(button, &QPushButton::clicked, this, [this, kind] { chooseFont(kind); });
        layout->addWidget(named<QLabel>(labels[i], QString::fromLatin1(captions[i])), i, 0);
        layout->addWidget(m_fontDescriptions[i], i, 1);
        layout->addWidget(button, i, 2);
    }
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
    return page;
}

QWidget* ProgramOptionsDialog::buildSettingsPage() {
    auto* page = named<QWidget>("SettingsSheet");
    m_switches = named<QListWidget>("SwitchList");
    for (const char* name : kProgramOptionSwitches) {
        auto* item = new QListWidgetItem(QString::fromLatin1(name), m_switches);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_switches);
    return page;
}

QWidget* ProgramOptionsDialog::buildLanguagePage() {
    auto* page = named<QWidget>("LanguageSheet");
    m_interfaceLanguage = named<QComboBox>("InterfaceLanguageCombo");
    m_printingLanguage = named<QComboBox>("PrintingLanguageCombo");
    auto* form = new QFormLayout(page);
    form->addRow(named<QLabel>("InterfaceLanguageLabel", QStringLiteral("User interface")),
                 m_interfaceLanguage);
    form->addRow(named<QLabel>("PrintingLanguageLabel", QStringLiteral("Printing")),
                 m_printingLanguage);
    return page;
}

QWidget* ProgramOptionsDialog::buildEstimatePage() {
    auto* page = named<QWidget>("EstimateSheet");
    m_estimateProgram = named<QLineEdit>("EstimateProgramEdit");
    m_estimateParameters = named<QLineEdit>("EstimateParametersEdit");
    m_estimateQuestion =
        named<QCheckBox>("EstimateQuestionCheck", QStringLiteral("Ask before starting"));
    auto* browse = named<QPushButton>("EstimateProgramButton", QStringLiteral("..."));
    browse->setMaximumWidth(40);
    connect(browse, &QPushButton::clicked, this, &ProgramOptionsDialog::chooseEstimateProgram);
    auto* program = new QHBoxLayout;
    program->addWidget(m_estimateProgram);
    program->addWidget(browse);
    auto* form = new QFormLayout(page);
    form->addRow(named<QLabel>("EstimateProgramLabel", QStringLiteral("Program")), program);
    form->addRow(named<QLabel>("EstimateParametersLabel", QStringLiteral("Parameters")),
                 m_estimateParameters);
    form->addRow(m_estimateQuestion);
    return page;
}

void ProgramOptionsDialog::showFields() {
    const ProgramOptionsFields& f = m_fields;
    showLines(m_planer, f.planer);
    m_initDate->setChecked(f.initDate);
    m_viewProjectData->setChecked(f.viewProjectData);
    for (int i = 0; i < 6; ++i) {
        double value = 0;
        try {
            value = ParseNumber(f.numbers[i]);
        } catch (const Error&) {
        }
        m_fieldSet.find(m_numbers[i])->show(value, f.numbers[i]);
    }
    showComboText(m_fontSize, qt(f.number(Number::FontSize)));
    showComboText(m_resolution, qt(f.number(Number::Resolution)));
    m_forceNewPage->setChecked(f.forceNewPage);
    m_colorPrinting->setChecked(f.colorPrinting);
    m_programSign->setChecked(f.programSign);
    m_pageModes[f.pageMode]->setChecked(true);
    showLines(m_headerText, f.firmaHeaderText);
    m_logoModes[f.logoMode]->setChecked(true);
    if (!f.logoName.empty() && m_logo.load(qt(f.logoName)))
        showLogo();
    for (int i = 0; i < 2; ++i) {
        const ListFontAttributes& font = i == 0 ? f.listFont : f.reportFont;
        m_fontDescriptions[i]->setText(qt(font.describe(m_options.languages())));
        m_fontDescriptions[i]->setFont(fontOf(font));
    }
    for (int i = 0; i < m_switches->count(); ++i)
        m_switches->item(i)->setCheckState(f.switches[i] ? Qt::Checked : Qt::Unchecked);
    for (const std::string& id : f.interfaceLanguages)
        m_interfaceLanguage->addItem(qt(id));
    for (const std::string& id : f.printingLanguages)
        m_printingLanguage->addItem(qt(id));
    showComboText(m_interfaceLanguage, qt(f.interfaceLanguage));
    showComboText(m_printingLanguage, qt(f.printingLanguage));
    m_estimateProgram->setText(qt(f.estimateProgram));
    m_estimateParameters->setText(qt(f.estimateProgramParameters));
    m_estimateQuestion->setChecked(f.estimateProgramStartQuestion);
}

ProgramOptionsFields ProgramOptionsDialog::takeFields() const {
    ProgramOptionsFields f = m_fields;
    f.planer = linesOf(m_planer);
    f.firmaHeaderText = linesOf(m_headerText);
    f.initDate = m_initDate->isChecked();
    f.viewProjectData = m_viewProjectData->isChecked();
    f.forceNewPage = m_forceNewPage->isChecked();
    f.colorPrinting = m_colorPrinting->isChecked();
    f.programSign = m_programSign->isChecked();
    for (int i = 0; i < 6; ++i)
        f.numbers[i] = m_numbers[i]->text().toStdString();
    f.pageMode = m_pageModes[0]->isChecked() ? 0 : m_pageModes[1]->isChecked() ? 1 : 2;
    f.logoMode = m_logoModes[0]->isChecked() ? 0 : m_logoModes[1]->isChecked() ? 1 : 2;
    f.logoName = m_options.FirmaHeaderLogoName;
    for (int i = 0; i < m_switches->count(); ++i)
        f.switches[i] = m_switches->item(i)->checkState() == Qt::Checked;
    f.interfaceLanguage = m_interfaceLanguage->currentText().toStdString();
    f.printingLanguage = m_printingLanguage->currentText().toStdString();
    f.estimateProgram = m_estimateProgram->text().toStdString();
    f.estimateProgramParameters = m_estimateParameters->text().toStdString();
    f.estimateProgramStartQuestion = m_estimateQuestion->isChecked();
    return f;
}

void ProgramOptionsDialog::accept() {
    if (!m_fieldSet.takeAll()) {
        for (int i = 0; i < 6; ++i) {
            if (m_fieldSet.find(m_numbers[i])->refused())
                m_pages->setCurrentWidget(m_pages->widget(i >= 4 ? 2 : 1));
        }
        return;
    }
    const ProgramOptionsFields fields = takeFields();
    if (const std::optional<Number> bad = m_editor.invalidField(fields)) {
        // A stored value the field does not allow, never typed: named with its rule like any
        // refused value.
        QLineEdit* edit = m_numbers[static_cast<int>(*bad)];
        m_pages->setCurrentWidget(m_pages->widget(*bad >= Number::FontSize ? 2 : 1));
        NumberFieldBinding* binding = m_fieldSet.find(edit);
        binding->forgetRefusal();
        binding->leave();
        edit->setFocus();
        edit->selectAll();
        return;
    }
    m_editor.apply(fields);
    ProgramOptionsEditor::rememberedPage = m_pages->currentIndex();
    QDialog::accept();
}

void ProgramOptionsDialog::reject() {
    ProgramOptionsEditor::rememberedPage = m_pages->currentIndex();
    QDialog::reject();
}

void ProgramOptionsDialog::setFontChoice(ListFontAttributes::Kind kind, const QFont& font) {
    ListFontAttributes& choice =
        kind == ListFontAttributes::List ? m_fields.listFont : m_fields.reportFont;
    choice.name = font.family().toStdString();
    choice.size = font.pointSize() > 0 ? font.pointSize() : choice.size;
    m_fontDescriptions[kind]->setText(qt(choice.describe(m_options.languages())));
    m_fontDescriptions[kind]->setFont(fontOf(choice));
}

void ProgramOptionsDialog::chooseFont(ListFontAttributes::Kind kind) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(
        &ok, fontOf(kind == ListFontAttributes::List ? m_fields.listFont : m_fields.reportFont),
        this);
    if (ok)
        setFontChoice(kind, font);
}

bool ProgramOptionsDialog::loadLogo(const QString& fileName) {
    QPixmap picture;
    if (!picture.load(fileName))
        return false;
    m_logo = picture;
    m_options.FirmaHeaderLogoName = fileName.toStdString();
    showLogo();
    return true;
}

// The picture scaled to fit the preview with its proportions kept; the label centres it.
void ProgramOptionsDialog::showLogo() {
    m_logoPreview->setPixmap(m_logo.scaled(m_logoPreview->contentsRect().size(),
                                           Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void ProgramOptionsDialog::chooseLogo() {
    const Languages& languages = m_options.languages();
    const QString file = chooseFileToOpen(
        this, qt(languages.GetText("IDS_LOGOFILETITLE")), qt(m_options.FirmaHeaderLogoName),
        {qt(languages.GetText("IDS_PICTUREFILTER")), qt(languages.GetText("IDS_ALLFILESFILTER"))});
    if (!file.isEmpty())
        loadLogo(file);
}

void ProgramOptionsDialog::chooseEstimateProgram() {
    const QString file = chooseFileToOpen(
        this, qt(m_options.languages().GetText("IDS_ESTIMATEPROGRAMTITLE")),
        m_estimateProgram->text(), {qt(m_options.languages().GetText("IDS_ALLFILESFILTER"))});
    if (!file.isEmpty())
        m_estimateProgram->setText(file);
}

} // namespace kalydor::gui
