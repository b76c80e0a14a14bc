#include "shell/itemsearch.h"

#include "base/error.h"
#include "language/languages.h"
#include "shell/itemlist.h"
#include "shell/searchreplace.h"
#include "store/itemstore.h"
#include "store/itemtree.h"
#include "store/treemodel.h"

#include <functional>

namespace kalydor {
namespace {

struct GroupStep {
    std::vector<std::string> captionPath;
    std::string id;
};

// The groups of the list in tree order, each with its captions from the root down.
std::vector<GroupStep> groupsInTreeOrder(ItemListLogic& list) {
    TreeModel model;
    const TreeNode* root =
        fillGroupTree(list.store(), model, list.categoryTitle(), list.kind().groupType);
    std::vector<GroupStep> groups;
    std::vector<std::string> path;
    const std::function<void(const TreeNode&)> visit = [&](const TreeNode& node) {
        path.push_back(node.caption());
        groups.push_back({path, node.identifier().value_or("")});
        for (const std::unique_ptr<TreeNode>& child : node.children())
            visit(*child);
        path.pop_back();
    };
    visit(*root);
    return groups;
}

} // namespace

std::string SearchOutcome::messageText(const Languages& languages) const {
    if (messageKey.empty())
        return {};
    if (messageKey == "IDS_REPLACEDNAMES")
        return formatText(languages.GetText(messageKey), {std::int64_t(renamed)});
    return languages.GetText(messageKey);
}

SearchOutcome searchAndReplace(ItemListLogic& list, const SearchRequest& request,
                               const std::string& selectedItem) {
    using Command = SearchRequest::Command;
    const SearchPattern pattern(request.pattern);
    SearchOutcome outcome;
    // The group the window shows, for the list to show again when the walk ends.
    std::vector<std::string> shownPath;
    const std::string shownGroup = list.selectedGroupId();

    std::vector<GroupStep> groups;
    std::size_t first = 0;
    const bool fromStart = request.fromStart || selectedItem.empty();
    if (request.currentGroupOnly || !fromStart) {
        if (list.selectedGroupId().empty()) {
            outcome.messageKey = "IDS_ENDSEARCHANDREPLACE";
            return outcome;
        }
        std::vector<std::string> path;
        for (const GroupStep& group : groupsInTreeOrder(list)) {
            if (group.id == list.selectedGroupId())
                path = group.captionPath;
        }
        shownPath = path;
        if (request.currentGroupOnly) {
            groups.push_back({path, list.selectedGroupId()});
        } else {
            groups = groupsInTreeOrder(list);
            while (first < groups.size() && groups[first].id != list.selectedGroupId())
                ++first;
        }
    } else {
        groups = groupsInTreeOrder(list);
        for (const GroupStep& group : groups) {
            if (group.id == shownGroup)
                shownPath = group.captionPath;
        }
    }

    // The starting row is the selected one, or the first row when the walk starts from the
    // beginning; a search from a selected row goes on after it.
    bool startingRow = true;
    for (std::size_t g = first; g < groups.size(); ++g) {
        list.selectGroup(groups[g].captionPath, groups[g].id);
        std::vector<std::string> names;
        for (const ItemListLogic::Row& row : list.rows())
            names.push_back(row.name);
        std::size_t r = 0;
        if (g == first && !fromStart) {
            while (r < names.size() && names[r] != selectedItem)
                ++r;
        }
        bool renamedHere = false;
        for (; r < names.size(); ++r) {
            const std::string name = names[r];
            const bool isStartingRow = startingRow;
            startingRow = false;
            SearchPattern::Match match;
            if (!pattern.matches(name, request.exactCase, &match))
                continue;
            ++outcome.matched;
            const auto stopAt = [&](const std::string& item) {
                outcome.found = true;
                outcome.captionPath = groups[g].captionPath;
                outcome.groupId = groups[g].id;
                outcome.itemName = item;
                if (renamedHere)
                    list.reload();
                return outcome;
            };
            if (request.command == Command::Search) {
                if (isStartingRow && !fromStart)
                    continue;
                return stopAt(name);
            }
            std::string newName;
            try {
                newName = SearchPattern::replacement(request.replacement, match);
            } catch (const Error& error) {
                outcome.messageKey = error.key();
                return outcome;
            }
            if (request.command == Command::Replace) {
                // Only the starting row is renamed; a later match is shown, so that the
                // next replace renames it.
                if (!isStartingRow)
                    return stopAt(name);
                if (newName == name)
                    continue;
            } else if (newName == name) {
                continue;
            }
            const std::string refusal = list.renameItem(name, newName);
            if (!refusal.empty()) {
                outcome.messageKey = refusal;
                return stopAt(name);
            }
            ++outcome.renamed;
            renamedHere = true;
            if (request.command == Command::Replace)
                return stopAt(newName);
        }
        if (renamedHere)
            list.reload();
    }
    // The window's tree still shows the group it showed: so does the list.
    list.selectGroup(shownPath, shownGroup);
    outcome.informative = true;
    if (request.command == Command::ReplaceAll)
        outcome.messageKey = outcome.matched == 0 ? "IDS_NOTHINGMATCHED" : "IDS_REPLACEDNAMES";
    else
        outcome.messageKey = "IDS_ENDSEARCHANDREPLACE";
    return outcome;
}

} // namespace kalydor
