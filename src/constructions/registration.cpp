#include "constructions/registration.h"

#include "constructions/material.h"
#include "constructions/panel.h"
#include "store/itemkinds.h"

namespace kalydor {

void registerConstructionItems() {
    registerItemKind(1, [] { return std::make_unique<Material>(); });
    registerItemKind(2, [] { return std::make_unique<Panel>(); });
}

} // namespace kalydor
