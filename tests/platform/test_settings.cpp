#include "platform/memorysettingsstore.h"

#include <gtest/gtest.h>

namespace kalydor::platform {
namespace {

TEST(MemorySettingsStore, KeysAreCreatedOnDemandAndValuesKeepTheirType) {
    MemorySettingsStore store;
    EXPECT_FALSE(store.keyExists("ProgramOptions"));
    EXPECT_FALSE(store.readText("ProgramOptions", "Language").has_value());

    store.writeText("ProgramOptions", "Language", "Magyar");
    store.writeInteger("Fonts/0", "Size", 10);
    store.writeBool("", "Maximized", true);

    EXPECT_TRUE(store.keyExists("ProgramOptions"));
    EXPECT_TRUE(store.keyExists("Fonts"));
    EXPECT_TRUE(store.keyExists("Fonts/0"));
    EXPECT_EQ(store.readText("ProgramOptions", "Language"), "Magyar");
    EXPECT_EQ(store.readInteger("Fonts/0", "Size"), 10);
    EXPECT_EQ(store.readBool("", "Maximized"), true);
    EXPECT_EQ(store.integerOr("Fonts/0", "Missing", -1), -1);

    // Exact conversions between the types; anything else finds nothing.
    EXPECT_EQ(store.readText("Fonts/0", "Size"), "10");
    EXPECT_EQ(store.readInteger("", "Maximized"), 1);
    EXPECT_FALSE(store.readInteger("ProgramOptions", "Language").has_value());
    EXPECT_FALSE(store.readBool("ProgramOptions", "Language").has_value());

    EXPECT_EQ(store.subKeys(""), (std::vector<std::string>{"Fonts", "ProgramOptions"}));
    EXPECT_EQ(store.valueNames(""), (std::vector<std::string>{"Maximized"}));

    store.createKey("LastProjekts");
    EXPECT_TRUE(store.keyExists("LastProjekts"));
    EXPECT_TRUE(store.valueNames("LastProjekts").empty());

    store.deleteValue("Fonts/0", "Size");
    EXPECT_FALSE(store.valueExists("Fonts/0", "Size"));
    store.deleteKey("Fonts");
    EXPECT_FALSE(store.keyExists("Fonts/0"));
    EXPECT_TRUE(store.keyExists("ProgramOptions"));
}

TEST(SettingsStore, KeyPathsAndTextConversions) {
    EXPECT_EQ(splitKeyPath("a//b/"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(splitKeyPath("").empty());
    EXPECT_EQ(integerFromText("-12"), -12);
    EXPECT_FALSE(integerFromText("12x").has_value());
    EXPECT_FALSE(integerFromText("").has_value());
    EXPECT_EQ(boolFromText("true"), true);
    EXPECT_EQ(boolFromText("0"), false);
    EXPECT_FALSE(boolFromText("yes").has_value());
}

} // namespace
} // namespace kalydor::platform
