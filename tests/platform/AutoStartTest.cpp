// The XDG autostart entry that stands for "start with the desktop".
#include "platform/AutoStart.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

// Catches an entry written elsewhere, without the program path, or not removed when switched off.
TEST(AutoStart, EntryFollowsTheCheckBox) {
    TestFolder folder;
    EXPECT_FALSE(IsAutoStartEnabled());
    EXPECT_TRUE(ApplyAutoStart(false)); // off while absent: nothing to do, nothing reported
    ASSERT_TRUE(ApplyAutoStart(true));
    EXPECT_EQ(GetAutoStartPath(), folder.Path("config/autostart/MolvaneTest.desktop"));
    EXPECT_TRUE(IsAutoStartEnabled());
    const std::string entry = TestFolder::Read(GetAutoStartPath());
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry.find("\nExec=" + GetExecutableFolder() + "molvane\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nName=MolvaneTest\n"), std::string::npos);
    ASSERT_TRUE(ApplyAutoStart(false));
    EXPECT_FALSE(IsAutoStartEnabled());
}
