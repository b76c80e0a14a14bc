#include "shell/materialtable.h"

#include "platform/scriptedprompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kalydor {
namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A damaged material table stopped the program with "database disk image is malformed" and
// no file name. It is named with its fault, the program may start without the catalogue, and
// the file stays as it was.
TEST(MaterialTable, ADamagedOneIsNamedAndThenLeftOut) {
    test::TempDir dir;
    test::FakeLanguage language{{"IDS_MATERIALTABLEUNUSABLE", "%s Start without?"}};
    platform::ScriptedPrompter prompter;
    const platform::ScopedPrompter scoped(prompter);

    // Without the file there is simply no catalogue, and nothing is asked.
    MaterialTableOpening opening = OpenMaterialTable(dir.directory());
    EXPECT_FALSE(opening.table);
    EXPECT_FALSE(opening.quit);

    std::string path;
    {
        ItemStore table(dir.directory(), "material.db", TableMode::Create, TableKind::Catalogue);
        for (int i = 0; i < 600; ++i)
            table.AddRecord(RecordType::MaterialGroup, "",
                            "Grupa de materiale nr. " + std::to_string(i));
        path = table.path();
    }
    opening = OpenMaterialTable(dir.directory());
    ASSERT_TRUE(opening.table);
    opening.table.reset();

    {
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(2 * 4096 + 8);
        file << std::string(3000, '\xA5');
    }
    const std::string damaged = fileBytes(path);
    for (const bool startWithout : {true, false}) {
        prompter.scriptYesNo(startWithout);
        opening = OpenMaterialTable(dir.directory());
        EXPECT_FALSE(opening.table);
        EXPECT_EQ(opening.quit, !startWithout);
        const platform::ScriptedPrompter::Question& question = prompter.questions().back();
        EXPECT_NE(question.text.find(path), std::string::npos) << question.text;
        EXPECT_NE(question.text.find("Start without?"), std::string::npos);
        EXPECT_EQ(fileBytes(path), damaged);
        EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
    }
    EXPECT_TRUE(prompter.scriptUsed());
}

} // namespace
} // namespace kalydor
