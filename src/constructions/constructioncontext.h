#pragma once

#include "constructions/panel.h"
#include "store/itemcontext.h"

namespace kalydor {

class MaterialDialogs;
class PanelDialogs;

/// The context of materials, layers and constructions: the dialogs their editors open (none
/// in the command line: an edit is then refused) and the settings constructions are
/// calculated with (the open project's outside design temperature, the program's humidity
/// check).
class ConstructionContext : public ItemContext {
public:
    MaterialDialogs* materialDialogs = nullptr;
    PanelDialogs* panelDialogs = nullptr;
    PanelSettings settings;
};

/// The construction side's part of a context; a context of another kind gives an empty one
/// (no dialogs, default settings).
const ConstructionContext& constructionContextOf(const ItemContext& context);

} // namespace kalydor
