// The set dialog's logic: check marks over both kinds' folder trees, and what confirming,
// saving and loading do to the set.

#include "devicedb/deviceseteditor.h"

#include "base/error.h"
#include "devicedb/devicehierarchy.h"
#include "devicedb/deviceset.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kalydor {
namespace {

// Families in folders A, A\B and AB and one in the root; one piece list in folder X.
DeviceSet sampleSet() {
    DeviceHierarchy families(DeviceKind::RadiatorFamily);
    families.put("fa", "A");
    families.put("fb", "A\\B");
    families.put("fab", "AB");
    families.put("froot", "");
    DeviceHierarchy pieces(DeviceKind::PieceList);
    pieces.put("px", "X");
    return DeviceSet(std::move(families), std::move(pieces), SetSelection::With);
}

const TreeNode* find(const TreeModel& tree, const std::string& caption) {
    const TreeNode* found = nullptr;
    tree.forEach([&](const TreeNode& node) {
        if (!found && node.caption() == caption)
            found = &node;
    });
    return found;
}

std::string marks(const DeviceSetEditor& editor) {
    std::string text;
    for (const char* caption : {"A", "B", "AB", "fa", "fb", "fab", "froot", "X", "px"}) {
        const TreeNode* node = find(editor.tree(), caption);
        text += node ? std::to_string(static_cast<int>(editor.mark(*node))) : "?";
    }
    return text;
}

TEST(DeviceSetEditor, MarksFollowClicksOnItemsAndFolders) {
    DeviceSet set = sampleSet();
    set.AllItems = false;
    DeviceSetEditor editor(set);
    //                       A  B  AB fa fb fab froot X px
    EXPECT_EQ(marks(editor), "333333333");
    editor.click(*find(editor.tree(), "fb"));
    EXPECT_EQ(marks(editor), "213313333");   // B checked, A partly
    editor.click(*find(editor.tree(), "A")); // a partly checked folder becomes checked
    EXPECT_EQ(marks(editor), "113113333");
    editor.click(*find(editor.tree(), "A")); // and a checked one unchecked, all below it too
    EXPECT_EQ(marks(editor), "333333333");
    editor.click(*find(editor.tree(), "X"));
    EXPECT_EQ(marks(editor), "333333311");
    const TreeNode* pieceRoot = find(editor.tree(), "px")->parent()->parent();
    EXPECT_EQ(editor.mark(*pieceRoot), CheckMark::Checked);

    // Nothing reaches the set before confirming; then exactly the checked items.
    EXPECT_FALSE(set.isSelected(DeviceKind::PieceList, "px"));
    editor.click(*find(editor.tree(), "fab"));
    editor.confirm();
    EXPECT_TRUE(set.isSelected(DeviceKind::PieceList, "px"));
    EXPECT_TRUE(set.isSelected(DeviceKind::RadiatorFamily, "fab"));
    EXPECT_FALSE(set.isSelected(DeviceKind::RadiatorFamily, "fa"));
    EXPECT_EQ(DeviceSetEditor::folderPath(*find(editor.tree(), "fb")), "A\\B");
    EXPECT_EQ(DeviceSetEditor::kindOf(*find(editor.tree(), "px")), DeviceKind::PieceList);
}

TEST(DeviceSetEditor, AFreshSetStartsAllCheckedAndConfirmingEndsAllItems) {
    DeviceSet set = sampleSet();
    ASSERT_TRUE(set.AllItems);
    DeviceSetEditor editor(set);
    EXPECT_EQ(marks(editor), "111111111");
    editor.click(*find(editor.tree(), "froot"));
    editor.confirm();
    EXPECT_FALSE(set.AllItems);
    EXPECT_FALSE(set.isSelected(DeviceKind::RadiatorFamily, "froot"));
    EXPECT_TRUE(set.isSelected(DeviceKind::RadiatorFamily, "fa"));
}

TEST(DeviceSetEditor, SavedSetFilesLoadBackAndBadOnesChangeNothing) {
    test::TempDir dir;
    DeviceSet set = sampleSet();
    DeviceSetEditor editor(set);
    editor.click(*find(editor.tree(), "A")); // unchecks fa and fb
    editor.saveFile(dir.file("choice.set"));

    DeviceSet other = sampleSet();
    DeviceSetEditor reader(other);
    reader.loadFile(dir.file("choice.set"));
    EXPECT_EQ(marks(reader), "331331111");

    std::ofstream(dir.file("bad.set"), std::ios::binary) << "not a set file";
    EXPECT_THROW(reader.loadFile(dir.file("bad.set")), Error);
    EXPECT_EQ(marks(reader), "331331111");
    EXPECT_EQ(other.FileName, dir.file("choice.set"));
}

} // namespace
} // namespace kalydor
