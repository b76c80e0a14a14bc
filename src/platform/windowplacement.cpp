#include "platform/windowplacement.h"

#include "platform/settingsstore.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace kalydor::platform {
namespace {

// The settings keys of the remembered window placements.
constexpr const char* kMaximalizationKey = "FormMaximalization";
constexpr const char* kPositionKey = "FormPosition";

// A whole number making up the whole text.
std::optional<int> parseInt(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

WindowPlacement restoreWindowPlacement(const SettingsStore& store, const std::string& windowName,
                                       bool hasMaximizeButton, bool resizable) {
    WindowPlacement placement;
    if (hasMaximizeButton && store.boolOr(kMaximalizationKey, windowName, false)) {
        placement.maximize = true;
        return placement;
    }
    const std::optional<std::string> text = store.readText(kPositionKey, windowName);
    if (!text)
        return placement;
    // Left, top, width and height joined by ","; an empty or unreadable part stays unset.
    std::string_view rest = *text;
    bool* const flags[] = {&placement.hasLeft, &placement.hasTop, &placement.hasWidth,
                           &placement.hasHeight};
    int* const values[] = {&placement.left, &placement.top, &placement.width, &placement.height};
    const int parts = resizable ? 4 : 2;
    for (int i = 0; i < parts && !rest.empty(); ++i) {
        const std::size_t comma = i + 1 < 4 ? rest.find(',') : std::string_view::npos;
        const std::string_view part = rest.substr(0, comma);
        if (const std::optional<int> value = parseInt(part)) {
            *flags[i] = true;
            *values[i] = *value;
        }
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    // A size of nothing would make the window vanish.
    if (placement.hasWidth && placement.width <= 0)
        placement.hasWidth = false;
    if (placement.hasHeight && placement.height <= 0)
        placement.hasHeight = false;
    return placement;
}

void saveWindowPlacement(SettingsStore& store, const std::string& windowName, bool maximized,
                         int left, int top, int width, int height) {
    store.writeBool(kMaximalizationKey, windowName, maximized);
    if (!maximized)
        store.writeText(kPositionKey, windowName,
                        std::to_string(left) + "," + std::to_string(top) + "," +
                            std::to_string(width) + "," + std::to_string(height));
}

} // namespace kalydor::platform
