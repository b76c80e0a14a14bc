#pragma once

#include <memory>
#include <string>

namespace kalydor {

class ItemStore;

/// What became of the program's material table at start-up.
struct MaterialTableOpening {
    /// The open table; null when the program runs without the material catalogue (the
    /// materials command hidden).
    std::unique_ptr<ItemStore> table;
    /// The user chose not to start without the catalogue: the program ends.
    bool quit = false;
};

/// Opens the material table "material.db" of a folder for the program's run (read-only when
/// the user may not change it). Without the file the program runs without the catalogue. A table
/// that cannot be used (damaged, not a table, held by another program) is named with its fault in
/// the question "IDS_MATERIALTABLEUNUSABLE", which offers to start without the catalogue; the file
/// is never written to.
MaterialTableOpening OpenMaterialTable(const std::string& directory);

} // namespace kalydor
