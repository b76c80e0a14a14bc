#pragma once

#include "constructions/materialeditor.h"

namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor {
class Languages;
}

namespace kalydor::gui {

/// The material dialogs of the desktop: translated, placed where they were last closed.
class QtMaterialDialogs final : public MaterialDialogs {
public:
    QtMaterialDialogs(const Languages& languages, platform::SettingsStore& settings);

    std::optional<MaterialKind> chooseKind(platform::Window* owner) override;
    bool editMaterial(MaterialEditor& editor, platform::Window* owner) override;
    bool editAirMaterial(AirMaterialEditor& editor, platform::Window* owner) override;

private:
    const Languages& m_languages;
    platform::SettingsStore& m_settings;
};

} // namespace kalydor::gui
