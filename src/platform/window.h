#pragma once

namespace kalydor::platform {

/// The window a dialog opens over, as the core passes it on without knowing the toolkit;
/// the desktop wraps its widgets in a subclass.
class Window {
public:
    virtual ~Window() = default;
};

} // namespace kalydor::platform
