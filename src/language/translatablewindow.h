#pragma once

#include <string>

namespace kalydor {

/// What window translation may set on one control. The window decides how each property
/// lands on its real widget; a setter that does not fit the control does nothing.
class TranslatableControl {
public:
    enum class Axis { Bottom, Left, Right, Top };

    virtual ~TranslatableControl() = default;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setHint(const std::string& text) = 0;
    virtual void setText(const std::string& text) = 0;
    /// File-type list of an open or save dialog ("Projects (*.db)|*.db").
    virtual void setFilter(const std::string& text) = 0;
    virtual void setTitle(const std::string& text) = 0;
    /// Sets entry `index` of the control's list when that entry exists.
    virtual void setListItem(int index, const std::string& text) = 0;
    /// Sets the caption of column `index` when that column exists.
    virtual void setColumnCaption(int index, const std::string& text) = 0;
    /// Appends a line to a chart's title.
    virtual void appendTitleLine(const std::string& text) = 0;
    virtual void setAxisTitle(Axis axis, const std::string& text) = 0;
};

/// A window as window translation sees it: its name, its own properties and its named
/// controls.
class TranslatableWindow {
public:
    virtual ~TranslatableWindow() = default;
    virtual std::string windowName() const = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setHint(const std::string& text) = 0;
    virtual void setHelpFile(const std::string& text) = 0;
    /// The control owned by the window with exactly this name, or null.
    virtual TranslatableControl* control(const std::string& name) = 0;
};

} // namespace kalydor
