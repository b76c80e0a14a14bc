#pragma once

#include <cstdint>
#include <string>

namespace kalydor {

class ItemStore;
class TreeNode;

/// Longest name of a group or item typed into the name dialog, in characters.
inline constexpr std::size_t kMaxTypedNameLength = 31;

/// The name without its trailing blanks.
std::string trimTrailingBlanks(std::string name);

/// The caption of the root group of an item kind ("IDS_PRINTCATEGORY+" kind).
std::string rootGroupCaption(int kind);

/// What the name dialog was opened for: a group or an item under a parent group, checked
/// against the store or, in an import tree, against the sibling nodes.
struct NameRequest {
    std::string initialName;
    bool group = false;
    std::string parentId;  ///< identifier of the parent group (with a store)
    std::int16_t type = 0; ///< record type code of the new record
    ItemStore* store = nullptr;
    const TreeNode* parentNode = nullptr; ///< without a store: the parent node in the tree
    /// The data block the new item's record is created with, in the same change (a new
    /// item's defaults, a copy's or a pasted item's data); empty for a group.
    std::string itemData;
};

/// The logic of the name dialog, without widgets.
class NameEditor {
public:
    explicit NameEditor(NameRequest request);

    const NameRequest& request() const { return m_request; }
    /// The dialog title: for items the language text "IDS_NEWITEMNAME"; empty for groups.
    std::string title() const;
    /// The text the field keeps of what was typed: at most 31 characters.
    static std::string limitInput(const std::string& typed);
    /// OK is enabled only while the field is not empty.
    static bool okEnabled(const std::string& typed) { return !typed.empty(); }

    enum class Outcome {
        Accepted, ///< `name` (and with a store the new record's `id`) is the result
        StayOpen, ///< nothing to do: the dialog stays open silently
        Refused,  ///< `messageKey` is shown and the dialog stays open
    };
    struct Result {
        Outcome outcome = Outcome::StayOpen;
        std::string name;
        std::string id;
        std::string messageKey;
    };
    /// What OK does with the typed text: trailing blanks removed; with a store a name taken
    /// by (type, parent, name) is refused, otherwise the record is created at once with the
    /// request's data block.
    Result accept(const std::string& typed);

private:
    NameRequest m_request;
};

} // namespace kalydor
