#include "gui/qtpaneldialogs.h"

#include "base/error.h"
#include "gui/dialogplacement.h"
#include "gui/headerdelegate.h"
#include "gui/knownpaneldialog.h"
#include "gui/layeredpaneldialog.h"
#include "gui/numberfieldbinding.h"
#include "gui/panelfields.h"
#include "gui/paneltypedialog.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/thicknessdialog.h"
#include "gui/vapourdiagramwindow.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"
#include "shell/programoptions.h"
#include "store/itemstore.h"
#include "store/treemodel.h"

namespace kalydor::gui {
namespace {

// An editor's title: the construction's group path, " - " and its name.
QString editorTitle(const Panel& panel) {
    return qt(panel.GroupPath.empty() ? panel.Name : panel.GroupPath + " - " + panel.Name);
}

} // namespace

QtPanelDialogs::QtPanelDialogs(const ProgramOptions& options, std::function<ItemStore*()> materials)
    : m_options(options)
    , m_materials(std::move(materials)) {}

std::optional<bool> QtPanelDialogs::chooseKnown(platform::Window* owner) {
    PanelTypeDialog dialog(QtWindow::widgetOf(owner));
    translateWindow(m_options.languages(), dialog);
    if (execPlaced(dialog, m_options.store()) != QDialog::Accepted)
        return std::nullopt;
    return dialog.known();
}

bool QtPanelDialogs::editLayered(LayeredPanelEditor& editor, platform::Window* owner) {
    const Languages& languages = m_options.languages();
    platform::SettingsStore& settings = m_options.store();
    ThicknessPrompt ask = [&languages, &settings](QWidget* parent, Layer& layer) {
        return askLayerThickness(parent, layer, languages, settings);
    };
    LayeredPanelDialog dialog(editor, m_materials ? m_materials() : nullptr, languages, settings,
                              m_options.XIsDistance, ask, QtWindow::widgetOf(owner));
    translateWindow(languages, dialog);
    dialog.setWindowTitle(editorTitle(editor.panel()));
    return execPlaced(dialog, settings) == QDialog::Accepted;
}

bool QtPanelDialogs::editKnown(KnownPanelEditor& editor, platform::Window* owner) {
    KnownPanelDialog dialog(editor, QtWindow::widgetOf(owner), &m_options.languages(),
                            &m_options.store());
    translateWindow(m_options.languages(), dialog);
    dialog.setWindowTitle(editorTitle(editor.panel()));
    return execPlaced(dialog, m_options.store()) == QDialog::Accepted;
}

PanelEditorOptions QtPanelDialogs::editorOptions() const {
    PanelEditorOptions options;
    options.changeAlphas = m_options.ChangeAlphas;
    options.askBeforeChange = m_options.AskBeforeChange;
    return options;
}

} // namespace kalydor::gui
