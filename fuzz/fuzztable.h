#pragma once

#include "constructions/registration.h"
#include "silentprompter.h"
#include "store/itemstore.h"

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace kalydor::fuzz {

/// A material table of the fuzzing process for the imports to store into, made anew every
/// 500 uses so that its file stays small. The first call also silences the prompts and
/// registers the item classes.
inline ItemStore& importTable(const char* name) {
    static const std::string directory = [name] {
        silencePrompts();
        registerConstructionItems();
        const std::string dir =
            (std::filesystem::temp_directory_path() /
             (std::string("kalydor-fuzz-") + name + "-" + std::to_string(getpid())))
                .string();
        std::filesystem::create_directories(dir);
        return dir + "/";
    }();
    static std::unique_ptr<ItemStore> store;
    static int uses = 0;
    if (!store || ++uses % 500 == 0) {
        store.reset();
        std::error_code ignored;
        std::filesystem::remove(directory + "fuzz.db", ignored);
        store = std::make_unique<ItemStore>(directory, "fuzz.db", TableMode::Create,
                                            TableKind::Catalogue);
    }
    return *store;
}

} // namespace kalydor::fuzz
