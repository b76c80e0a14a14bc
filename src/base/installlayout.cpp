#include "base/installlayout.h"

#include <filesystem>
#include <system_error>

namespace kalydor {

std::string programDataDirectory(const std::string& programDirectory) {
    namespace fs = std::filesystem;
    const fs::path program(programDirectory);
    if (program.filename() == "bin") {
        const fs::path installed = program.parent_path() / "share" / "kalydor";
        std::error_code error;
        if (fs::is_directory(installed / "languages", error))
            return installed.lexically_normal().string();
    }
    return programDirectory;
}

} // namespace kalydor
