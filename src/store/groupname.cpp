#include "store/groupname.h"

#include "base/textencoding.h"
#include "base/textlookup.h"
#include "store/itemstore.h"
#include "store/treemodel.h"

namespace kalydor {

std::string trimTrailingBlanks(std::string name) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.pop_back();
    return name;
}

std::string rootGroupCaption(int kind) {
    return GetText("IDS_PRINTCATEGORY+" + std::to_string(kind));
}

NameEditor::NameEditor(NameRequest request)
    : m_request(std::move(request)) {}

std::string NameEditor::title() const {
    return m_request.group ? std::string() : GetText("IDS_NEWITEMNAME");
}

std::string NameEditor::limitInput(const std::string& typed) {
    return leftCodePoints(typed, kMaxTypedNameLength);
}

NameEditor::Result NameEditor::accept(const std::string& typed) {
    Result result;
    result.name = trimTrailingBlanks(limitInput(typed));
    if (result.name.empty()) {
        result.outcome = Outcome::StayOpen;
        return result;
    }
    const std::string existsKey = m_request.group ? "IDS_GROUPNAMEEXIST" : "IDS_ITEMNAMEEXIST";
    if (m_request.store) {
        if (m_request.store->FindRecord(m_request.type, m_request.parentId, result.name)) {
            result.outcome = Outcome::Refused;
            result.messageKey = existsKey;
            return result;
        }
        result.id = m_request.store->AddRecord(m_request.type, m_request.parentId, result.name,
                                               m_request.itemData);
        result.outcome = Outcome::Accepted;
        return result;
    }
    if (m_request.parentNode) {
        for (const auto& sibling : m_request.parentNode->children()) {
            if (sibling->isGroup() && sibling->caption() == result.name) {
                result.outcome = Outcome::Refused;
                result.messageKey = "IDS_GROUPNAMEEXIST";
                return result;
            }
        }
    }
    result.outcome = Outcome::Accepted;
    return result;
}

} // namespace kalydor
