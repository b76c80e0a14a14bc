#include "constructions/registration.h"

#include "constructions/material.h"
#include "constructions/panel.h"
#include "exchange/textexchange.h"
#include "store/itemkinds.h"

namespace kalydor {

void registerConstructionItems() {
    registerItemKind(1, [] { return std::make_unique<Material>(); });
    registerItemKind(2, [] { return std::make_unique<Panel>(); });
    // An imported construction is stored with its results, so it is calculated first.
    setImportedItemHook(2, [](DBItem& item) { static_cast<Panel&>(item).Calculate({}); });
}

} // namespace kalydor
