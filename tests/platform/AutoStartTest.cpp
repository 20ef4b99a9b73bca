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

// Catches program paths with blanks or shell characters that would make the launcher run something else.
TEST(AutoStart, ExecValueQuotesAndEscapes) {
    struct Case {
        const char* path;
        const char* value; // as written in the file
    } cases[] = {
        {"/usr/bin/molvane", "/usr/bin/molvane"},     {"/opt/My Apps/molvane", "\"/opt/My Apps/molvane\""},
        {"/a\"b/molvane", "\"/a\\\\\"b/molvane\""},   {"/a$b`c/molvane", "\"/a\\\\$b\\\\`c/molvane\""},
        {"/a\\b/molvane", "\"/a\\\\\\\\b/molvane\""}, {"/100%/molvane", "/100%%/molvane"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DesktopExecValue(c.path), c.value) << c.path;
    }
}
