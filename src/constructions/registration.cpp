#include "constructions/registration.h"

#include "constructions/material.h"
#include "constructions/panel.h"
#include "exchange/textexchange.h"
#include "store/itemkinds.h"

namespace kalydor {

void registerConstructionItems() {
    registerItemKind(ItemKind::Material, [] { return std::make_unique<Material>(); });
    registerItemKind(ItemKind::Construction, [] { return std::make_unique<Panel>(); });
}

ImportOptions constructionImportOptions(const PanelSettings& settings) {
    // An imported construction is stored with its results, so it is calculated first.
    return {[settings](DBItem& item) {
        if (auto* panel = dynamic_cast<Panel*>(&item))
            panel->Calculate(settings);
    }};
}

} // namespace kalydor
