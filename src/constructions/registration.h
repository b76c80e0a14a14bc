#pragma once

#include "constructions/panel.h"
#include "exchange/textexchange.h"

namespace kalydor {

/// Registers the item classes of the construction side with the store: materials (kind 1)
/// and constructions (kind 2). Called once at start-up by the program and the command line.
void registerConstructionItems();

/// How an import prepares the items of the construction side before storing them: each
/// construction is calculated with `settings` (the open project's outside design
/// temperature, the program's humidity check), so it is stored with its results.
ImportOptions constructionImportOptions(const PanelSettings& settings);

} // namespace kalydor
