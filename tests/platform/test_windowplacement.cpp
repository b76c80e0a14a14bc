#include "platform/windowplacement.h"

#include "platform/memorysettingsstore.h"

#include <gtest/gtest.h>

namespace kalydor::platform {
namespace {

TEST(WindowPlacement, RestoresWhatTheStoredTextHolds) {
    struct Case {
        const char* text; // nullptr: no stored position
        bool storedMaximized, maximizeButton, resizable;
        WindowPlacement expected;
    };
    const Case cases[] = {
        {"10,20", false, true, true, {false, true, true, false, false, 10, 20, 0, 0}},
        {"10,20,300,400", false, true, true, {false, true, true, true, true, 10, 20, 300, 400}},
        {"10,20,300,400", false, true, false, {false, true, true, false, false, 10, 20, 0, 0}},
        {"10,20,300,400", true, true, true, {true}},
        // Without a maximise button the stored maximised state is ignored.
        {"10,20,300,400", true, false, true, {false, true, true, true, true, 10, 20, 300, 400}},
        {",20,,400", false, true, true, {false, false, true, false, true, 0, 20, 0, 400}},
        {"x,-5,300,0", false, true, true, {false, false, true, true, false, 0, -5, 300, 0}},
        {"", false, true, true, {}},
        {nullptr, false, true, true, {}},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        store.writeBool("FormMaximalization", "TSomeForm", c.storedMaximized);
        if (c.text)
            store.writeText("FormPosition", "TSomeForm", c.text);
        const WindowPlacement p =
            restoreWindowPlacement(store, "TSomeForm", c.maximizeButton, c.resizable);
        const WindowPlacement& e = c.expected;
        SCOPED_TRACE(c.text ? c.text : "(none)");
        EXPECT_EQ(p.maximize, e.maximize);
        EXPECT_EQ(p.hasLeft, e.hasLeft);
        EXPECT_EQ(p.hasTop, e.hasTop);
        EXPECT_EQ(p.hasWidth, e.hasWidth);
        EXPECT_EQ(p.hasHeight, e.hasHeight);
        if (p.hasLeft) {
            EXPECT_EQ(p.left, e.left);
        }
        if (p.hasTop) {
            EXPECT_EQ(p.top, e.top);
        }
        if (p.hasWidth) {
            EXPECT_EQ(p.width, e.width);
        }
        if (p.hasHeight) {
            EXPECT_EQ(p.height, e.height);
        }
    }

    MemorySettingsStore store;
    saveWindowPlacement(store, "TSomeForm", false, 5, 6, 700, 500);
    EXPECT_EQ(store.readText("FormPosition", "TSomeForm"), "5,6,700,500");
    EXPECT_EQ(store.readBool("FormMaximalization", "TSomeForm"), false);
    saveWindowPlacement(store, "TSomeForm", true, 0, 0, 1, 1);
    EXPECT_EQ(store.readBool("FormMaximalization", "TSomeForm"), true);
    EXPECT_EQ(store.readText("FormPosition", "TSomeForm"), "5,6,700,500");
}

} // namespace
} // namespace kalydor::platform
