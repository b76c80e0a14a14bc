#pragma once

#include <string>
#include <vector>

namespace kalydor {

class ItemListLogic;
class Languages;

/// What the search-and-replace window asks of the active list.
struct SearchRequest {
    enum class Command { Search, Replace, ReplaceAll };
    std::string pattern;
    std::string replacement;
    bool exactCase = false;        ///< case and accents matter
    bool fromStart = false;        ///< start from the beginning of the list
    bool currentGroupOnly = false; ///< search only in the current group
    Command command = Command::Search;
};

/// Where the walk stopped: the row to select (in its group), or the end of the list.
struct SearchOutcome {
    bool found = false;
    std::vector<std::string> captionPath; ///< captions from the root down to the row's group
    std::string groupId;
    std::string itemName;
    int renamed = 0;
    int matched = 0; ///< names that matched the pattern on the way
    /// Shown to the user: "IDS_ENDSEARCHANDREPLACE" at the end, "IDS_ITEMNAMEEXIST" when a
    /// new name is taken, "IDS_SEARCHANDREPLACEERROR" for a replacement the search cannot fill;
    /// at the end of a replace all "IDS_REPLACEDNAMES" with the number of names changed, or
    /// "IDS_NOTHINGMATCHED".
    std::string messageKey;
    /// The message is news for the user (the end of the list, what a replace all did), not a
    /// warning.
    bool informative = false;
    /// The message as the user reads it.
    std::string messageText(const Languages& languages) const;
};

/// Walks the rows of a list window from the selected row (or the first one) through the
/// groups in tree order, searching, replacing one name or replacing every match. The list
/// is left showing the group where the walk stopped on a row, or the group it showed before
/// when the walk reached the end.
SearchOutcome searchAndReplace(ItemListLogic& list, const SearchRequest& request,
                               const std::string& selectedItem);

} // namespace kalydor
