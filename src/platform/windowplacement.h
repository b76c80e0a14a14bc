#pragma once

#include <string>

namespace kalydor::platform {

class SettingsStore;

/// Where a dialog window is to be shown, as read from the settings store.
struct WindowPlacement {
    bool maximize = false;
    bool hasLeft = false, hasTop = false, hasWidth = false, hasHeight = false;
    int left = 0, top = 0, width = 0, height = 0;
};

/// The remembered placement of a dialog window: maximised when it was closed maximised and
/// can be; otherwise the stored left and top edges and, for a resizable window, the size.
/// Parts of the stored text that are missing or not numbers are left as they are.
WindowPlacement restoreWindowPlacement(const SettingsStore& store, const std::string& windowName,
                                       bool hasMaximizeButton, bool resizable);

/// Remembers a dialog window's placement when it closes.
void saveWindowPlacement(SettingsStore& store, const std::string& windowName, bool maximized,
                         int left, int top, int width, int height);

} // namespace kalydor::platform
