#pragma once

namespace kalydor {

/// Registers the item classes of the construction side with the store: materials (kind 1).
/// Called once at start-up by the program and the command line.
void registerConstructionItems();

} // namespace kalydor
