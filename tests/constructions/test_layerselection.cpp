// The material side of the layer selection: groups and materials from the material table,
// and loading the chosen material.

#include "constructions/layerselection.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/treemodel.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

TEST(MaterialPicker, GroupsMaterialsAndLoading) {
    test::TempDir dir;
    ItemStore store(dir.path().string(), "material", TableMode::Create, TableKind::Catalogue);
    const std::string masonry = store.GroupOfPath(RecordType::MaterialGroup, "Zidărie", '\\');
    const std::string insulation = store.GroupOfPath(RecordType::MaterialGroup, "Izolații", '\\');
    Material brick;
    brick.Kind = 0;
    brick.Thickness = 25;
    brick.ThermalCond = 0.8f;
    store.AddRecord(RecordType::Material, masonry, "Cărămidă plină");
    MemoryStream record;
    brick.WriteRecord(record, VersionWord::With);
    store.setCurrentData(record.bytes());
    store.AddRecord(RecordType::Material, masonry, "Bloc ceramic");
    store.setCurrentData(std::string("\x38\x00\x07", 3)); // a version no reader knows

    MaterialPicker picker(store);
    TreeModel tree;
    TreeNode* root = picker.fillGroupTree(tree, "Materiale");
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->children().size(), 2u);
    EXPECT_EQ(root->children()[0]->caption(), "Izolații");

    const std::vector<Reference> bricks = picker.materialsOf(masonry);
    ASSERT_EQ(bricks.size(), 2u);
    EXPECT_EQ(bricks[0].Name, "Bloc ceramic");
    EXPECT_TRUE(picker.materialsOf(insulation).empty());
    EXPECT_TRUE(picker.materialsOf("").empty());

    const std::optional<Material> loaded = picker.load(masonry, "Cărămidă plină");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Name, "Cărămidă plină");
    EXPECT_EQ(loaded->ThermalCond, 0.8f);
    EXPECT_FALSE(picker.load(insulation, "Cărămidă plină"));
    // A record that cannot be read never becomes a layer.
    EXPECT_THROW(picker.load(masonry, "Bloc ceramic"), Error);
}

} // namespace
} // namespace kalydor
