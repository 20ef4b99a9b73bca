// Product-named folders below the XDG base folders, and folder creation.
#include "platform/Folders.h"

#include "TestFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

// Catches folders not following XDG variables or the product name, or relative XDG values being used.
TEST(Folders, FollowXdgVariablesAndProductName) {
    TestFolder folder;
    EXPECT_EQ(GetUserDataFolder(), folder.Path("data/MolvaneTest/"));
    EXPECT_EQ(GetDatabaseFolder(), folder.Path("data/MolvaneTest/db/"));
    EXPECT_EQ(GetConfigBaseFolder(), folder.Path("config/"));
    setenv("XDG_DATA_HOME", "relative/path", 1);
    setenv("HOME", folder.Root().c_str(), 1);
    EXPECT_EQ(GetUserDataFolder(), folder.Path(".local/share/MolvaneTest/"));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(GetConfigBaseFolder(), folder.Path(".config/"));
}

// Catches data lookups not ending in '/', or the override for tests not taking effect.
TEST(Folders, ModuleAndSkinFolders) {
    TestFolder folder;
    EXPECT_EQ(GetExecutableFolder().back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(GetExecutableFolder()));
    SetModuleFolder(folder.Path("share"));
    EXPECT_EQ(GetModuleFolder(), folder.Path("share/"));
    EXPECT_EQ(GetSkinFolder(), folder.Path("share/skins/theme1/"));
    SetModuleFolder("");
    EXPECT_NE(GetModuleFolder(), folder.Path("share/"));
}

// Catches nested folders not being created, or a file in the way reported as success.
TEST(Folders, MakeDirectoryPath) {
    TestFolder folder;
    EXPECT_TRUE(MakeDirectoryPath(folder.Path("a/b/c/")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path("a/b/c")));
    EXPECT_TRUE(MakeDirectoryPath(folder.Path("a/b/c"))); // already there
    folder.Write("file", "x");
    EXPECT_FALSE(MakeDirectoryPath(folder.Path("file")));
    EXPECT_FALSE(MakeDirectoryPath(folder.Path("file/below")));
    EXPECT_FALSE(MakeDirectoryPath(""));
}
