#pragma once

#include "constructions/material.h"
#include "store/reference.h"

#include <optional>
#include <string>
#include <vector>

namespace kalydor {

class ItemStore;
class TreeModel;
class TreeNode;

/// The material side of the layer selection dialog: the material groups and the materials
/// of a group, read from the material table, and the material chosen to become a layer.
class MaterialPicker {
public:
    explicit MaterialPicker(ItemStore& materials);

    /// Fills the material group tree under a root with the caption; returns the root.
    TreeNode* fillGroupTree(TreeModel& tree, const std::string& rootCaption);
    /// The materials of a group in the order of their names.
    std::vector<Reference> materialsOf(const std::string& groupId);
    /// The stored material of that name in the group. Nothing when it is gone; a material
    /// whose record cannot be read raises its error, so that it never becomes a layer with
    /// made-up values.
    std::optional<Material> load(const std::string& groupId, const std::string& name);

private:
    ItemStore& m_materials;
};

} // namespace kalydor
