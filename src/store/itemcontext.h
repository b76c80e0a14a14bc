#pragma once

namespace kalydor {

/// What an item's editor, clipboard copy and report need from the program around them: the
/// dialogs of its subsystem and the settings its calculation follows. Each subsystem derives
/// its own context (the construction side: `ConstructionContext`); the program and every test
/// build the context they need and pass it, so no item reads a process-wide setting.
class ItemContext {
public:
    virtual ~ItemContext() = default;
};

/// What a clipboard copy of an item holds besides its name and record.
enum class ClipboardCopy {
    WithReport, ///< the report text, rich text and table cells (a copy for other programs)
    RecordOnly, ///< only the private part (an export of several items between lists)
};

} // namespace kalydor
