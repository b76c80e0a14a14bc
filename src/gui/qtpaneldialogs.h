#pragma once

#include "constructions/paneleditor.h"

#include <functional>

namespace kalydor {
class ItemStore;
class ProgramOptions;
} // namespace kalydor

namespace kalydor::gui {

/// The desktop's construction dialogs, installed at start-up.
class QtPanelDialogs final : public PanelDialogs {
public:
    QtPanelDialogs(const ProgramOptions& options, std::function<ItemStore*()> materials);

    std::optional<bool> chooseKnown(platform::Window* owner) override;
    bool editLayered(LayeredPanelEditor& editor, platform::Window* owner) override;
    bool editKnown(KnownPanelEditor& editor, platform::Window* owner) override;
    PanelEditorOptions editorOptions() const override;

private:
    const ProgramOptions& m_options;
    std::function<ItemStore*()> m_materials;
};

} // namespace kalydor::gui
