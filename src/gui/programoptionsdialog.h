#pragma once

#include "gui/numberfieldbinding.h"
#include "shell/programoptionseditor.h"

#include <QDialog>
#include <QPixmap>

class QCheckBox;
class QComboBox;
class QFont;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QTabWidget;

namespace kalydor::gui {

/// The program options dialog: defaults for new projects, the printed page and firm header,
/// fonts, behaviour switches, languages and the cost-estimating program. OK applies every
/// field when all numbers are whole numbers; otherwise it names the first bad field and stays
/// open. The options reach the settings store when the caller saves them.
class ProgramOptionsDialog : public QDialog {
    Q_OBJECT

public:
    ProgramOptionsDialog(ProgramOptions& options, QWidget* parent = nullptr);

    /// Loads a logo picture into the preview; on success its file becomes the options' logo
    /// at once (also when the dialog is cancelled later). False when it cannot be loaded.
    bool loadLogo(const QString& fileName);
    /// Takes a font for the list (kind 0) or report (kind 1) font choice.
    void setFontChoice(ListFontAttributes::Kind kind, const QFont& font);

    void accept() override;
    void reject() override;

private:
    QWidget* buildProjectPage();
    QWidget* buildPrintPage();
    QWidget* buildHeaderPage();
    QWidget* buildFontPage();
    QWidget* buildSettingsPage();
    QWidget* buildLanguagePage();
    QWidget* buildEstimatePage();
    void showFields();
    ProgramOptionsFields takeFields() const;
    void chooseFont(ListFontAttributes::Kind kind);
    void chooseLogo();
    void chooseEstimateProgram();
    void showLogo();

    ProgramOptions& m_options;
    ProgramOptionsEditor m_editor;
    ProgramOptionsFields m_fields;
    QPixmap m_logo;

    QTabWidget* m_pages;
    QLabel* m_status;
    NumberFieldSet m_fieldSet;
    QPlainTextEdit* m_planer;
    QCheckBox* m_initDate;
    QCheckBox* m_viewProjectData;
    QLineEdit* m_numbers[6];
    QCheckBox* m_forceNewPage;
    QCheckBox* m_colorPrinting;
    QCheckBox* m_programSign;
    QRadioButton* m_pageModes[3];
    QPlainTextEdit* m_headerText;
    QComboBox* m_fontSize;
    QRadioButton* m_logoModes[3];
    QLabel* m_logoPreview;
    QComboBox* m_resolution;
    QLabel* m_fontDescriptions[2];
    QListWidget* m_switches;
    QComboBox* m_interfaceLanguage;
    QComboBox* m_printingLanguage;
    QLineEdit* m_estimateProgram;
    QLineEdit* m_estimateParameters;
    QCheckBox* m_estimateQuestion;
};

} // namespace kalydor::gui
