#include "constructions/layerselection.h"

#include "base/error.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemtree.h"
#include "store/treemodel.h"

namespace kalydor {

MaterialPicker::MaterialPicker(ItemStore& materials)
    : m_materials(materials) {}

TreeNode* MaterialPicker::fillGroupTree(TreeModel& tree, const std::string& rootCaption) {
    tree.clear();
    return kalydor::fillGroupTree(m_materials, tree, rootCaption, RecordType::MaterialGroup);
}

std::vector<Reference> MaterialPicker::materialsOf(const std::string& groupId) {
    if (groupId.empty())
        return {};
    return m_materials.ListRecordsInGroup(RecordType::Material, groupId);
}

std::optional<Material> MaterialPicker::load(const std::string& groupId, const std::string& name) {
    if (groupId.empty() || !m_materials.FindRecord(RecordType::Material, groupId, name))
        return std::nullopt;
    Material material;
    material.Name = m_materials.current().Name;
    material.ID = m_materials.current().ID;
    material.GroupID = groupId;
    bool loaded = false;
    try {
        loaded = m_materials.LoadItem(material);
    } catch (const Error&) {
        loaded = false;
    }
    if (!loaded)
        throw Error("IDS_UNREADABLEITEM", {material.Name});
    return material;
}

} // namespace kalydor
