#include "gui/qtsettingsstore.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

// The INI file keeps no types: what was written must still read back as its type after
// the file is reloaded, and an empty key must survive.
TEST(QtSettingsStore, ValuesAndKeysSurviveTheFile) {
    test::TempDir dir;
    const QString file = QString::fromStdString(dir.file("settings.ini"));
    {
        QtSettingsStore store(file);
        store.writeText("ProgramOptions", "Language", "Română");
        store.writeInteger("Fonts/0", "Size", -12);
        store.writeBool("", "Maximized", true);
        store.createKey("LastProjekts");
        store.sync();
    }
    QtSettingsStore store(file);
    EXPECT_EQ(store.readText("ProgramOptions", "Language"), "Română");
    EXPECT_EQ(store.readInteger("Fonts/0", "Size"), -12);
    EXPECT_EQ(store.readBool("", "Maximized"), true);
    EXPECT_FALSE(store.readInteger("ProgramOptions", "Language").has_value());
    EXPECT_TRUE(store.keyExists("LastProjekts"));
    EXPECT_TRUE(store.valueNames("LastProjekts").empty());
    EXPECT_FALSE(store.keyExists("Headers"));
    EXPECT_EQ(store.subKeys(""),
              (std::vector<std::string>{"Fonts", "LastProjekts", "ProgramOptions"}));
    store.deleteKey("Fonts");
    EXPECT_FALSE(store.keyExists("Fonts/0"));
    store.deleteValue("ProgramOptions", "Language");
    EXPECT_FALSE(store.valueExists("ProgramOptions", "Language"));
}

} // namespace
} // namespace kalydor::gui
