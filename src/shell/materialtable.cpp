#include "shell/materialtable.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "platform/prompter.h"
#include "store/itemstore.h"

#include <filesystem>

namespace kalydor {

namespace fs = std::filesystem;

MaterialTableOpening OpenMaterialTable(const std::string& directory) {
    MaterialTableOpening opening;
    const std::string file = (fs::path(directory) / "material.db").string();
    std::error_code ec;
    if (!fs::exists(file, ec))
        return opening;
    // A table the user may not change is used for reading.
    const TableMode mode = ItemStore::isWritable(file) ? TableMode::Open : TableMode::ReadOnly;
    try {
        opening.table =
            std::make_unique<ItemStore>(directory, "material.db", mode, TableKind::Catalogue);
    } catch (const Error& error) {
        // The store refuses a damaged table before it writes anything; the error names the
        // file and the fault.
        std::string format = GetText("IDS_MATERIALTABLEUNUSABLE");
        if (format.empty())
            format = "%s\n\nStart without the material catalogue?";
        const std::string reason = error.text().empty() ? error.key() : error.text();
        opening.quit = !platform::prompter().askYesNo(formatText(format, {reason}),
                                                      platform::DefaultButton::No,
                                                      platform::QuestionIcon::Warning);
    }
    return opening;
}

} // namespace kalydor
