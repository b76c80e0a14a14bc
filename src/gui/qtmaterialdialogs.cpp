#include "gui/qtmaterialdialogs.h"

#include "base/error.h"
#include "gui/airlayerdialog.h"
#include "gui/dialogplacement.h"
#include "gui/materialcurves.h"
#include "gui/materialdialog.h"
#include "gui/materialkinddialog.h"
#include "gui/numberfieldbinding.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"

namespace kalydor::gui {

QtMaterialDialogs::QtMaterialDialogs(const Languages& languages, platform::SettingsStore& settings)
    : m_languages(languages)
    , m_settings(settings) {}

std::optional<MaterialKind> QtMaterialDialogs::chooseKind(platform::Window* owner) {
    MaterialKindDialog dialog(QtWindow::widgetOf(owner));
    translateWindow(m_languages, dialog);
    if (execPlaced(dialog, m_settings) != QDialog::Accepted)
        return std::nullopt;
    return dialog.kind();
}

bool QtMaterialDialogs::editMaterial(MaterialEditor& editor, platform::Window* owner) {
    MaterialDialog dialog(editor, QtWindow::widgetOf(owner));
    translateWindow(m_languages, dialog);
    dialog.setWindowTitle(qt(editor.title()));
    return execPlaced(dialog, m_settings) == QDialog::Accepted;
}

bool QtMaterialDialogs::editAirMaterial(AirMaterialEditor& editor, platform::Window* owner) {
    AirLayerDialog dialog(editor, QtWindow::widgetOf(owner));
    translateWindow(m_languages, dialog);
    dialog.setWindowTitle(qt(editor.title()));
    return execPlaced(dialog, m_settings) == QDialog::Accepted;
}

} // namespace kalydor::gui
