// The per-user settings file: first run, decimal reading, atomic rewrites.
#include "platform/Settings.h"

#include "TestFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

// Catches a first run that is not recognised (the language choice depends on the 0) or no folder made.
TEST(Settings, FirstRunReadsZeroAndCreatesTheFolder) {
    TestFolder folder;
    EXPECT_EQ(ReadLanguageSetting(), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path("config/MolvaneTest")));
    EXPECT_EQ(ReadLanguageSetting(), 0); // folder present, value still absent
    EXPECT_EQ(GetSettingsPath(), folder.Path("config/MolvaneTest/settings.ini"));
}

// Catches values written in one form and read in another, and non-digits not reading as 0.
TEST(Settings, ReadsStoredTextAsDecimal) {
    TestFolder folder;
    struct Case {
        const char* stored;
        int read;
    } cases[] = {{"2", 2}, {"2052", 2052}, {"abc", 0}, {"12abc", 12}, {"", 0}, {" 7 ", 7}};
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteSettingString("exit_mode", c.stored));
        EXPECT_EQ(ReadSettingInt("exit_mode"), c.read) << c.stored;
    }
    EXPECT_EQ(ReadSettingInt("absent"), 0);
    ASSERT_TRUE(WriteLanguageSetting(2052));
    EXPECT_EQ(ReadLanguageSetting(), 2052);
    EXPECT_EQ(ReadSettingString("LCID"), "2052");
}

// Catches a rewrite that drops other values or comments, leaves temporary files, or opens the file to others.
TEST(Settings, RewriteKeepsOtherValuesAndLeavesNoTemporaryFiles) {
    TestFolder folder;
    folder.Write("config/MolvaneTest/settings.ini", "; edited by hand\n[settings]\nLCID=1033\nexit_mode=1\n");
    ASSERT_TRUE(WriteLanguageSetting(2052));
    EXPECT_EQ(TestFolder::Read(GetSettingsPath()), "; edited by hand\n[settings]\nLCID=2052\nexit_mode=1\n");
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path("config/MolvaneTest"))) {
        EXPECT_EQ(entry.path().filename(), "settings.ini");
        ++files;
    }
    EXPECT_EQ(files, 1u);
    const auto permissions = std::filesystem::status(GetSettingsPath()).permissions();
    EXPECT_EQ(permissions & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
              std::filesystem::perms::none);
}

// Catches a value with a line break turning into a second, forged key of the file.
TEST(Settings, RefusesValuesThatWouldSplitTheLine) {
    TestFolder folder;
    ASSERT_TRUE(WriteSettingString("exit_mode", "1"));
    EXPECT_FALSE(WriteSettingString("exit_mode", "2\nLCID=9"));
    EXPECT_FALSE(WriteSettingString("a=b", "1"));
    EXPECT_EQ(ReadSettingInt("exit_mode"), 1);
    EXPECT_EQ(ReadSettingString("LCID"), "");
}

// Catches a write that silently "succeeds" when the settings folder cannot exist.
TEST(Settings, WriteFailsWhenTheFolderCannotBeMade) {
    TestFolder folder;
    folder.Write("config", "a file where the folder should be");
    EXPECT_FALSE(WriteSettingString("exit_mode", "1"));
    EXPECT_EQ(ReadLanguageSetting(), 1033);
}
