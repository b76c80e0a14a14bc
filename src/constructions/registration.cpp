#include "constructions/registration.h"

#include "constructions/material.h"
#include "store/itemkinds.h"

namespace kalydor {

void registerConstructionItems() {
    registerItemKind(1, [] { return std::make_unique<Material>(); });
}

} // namespace kalydor
