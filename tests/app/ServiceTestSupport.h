// A real profile database in a temporary folder, the shipped texts, and a counting filter hook
// for the page-service tests.
#pragma once

#include "keys/IPlaybackArm.h"
#include "platform/Folders.h"
#include "platform/LanguageText.h"
#include "store/ProfileDatabase.h"
#include "tests/platform/TestFolder.h"

#include <gtest/gtest.h>

class CountingArm final : public IPlaybackArm {
public:
    void ArmSoftwarePlayback() override { ++m_count; }
    int m_count = 0;
};

// Fresh XDG folders, texts from the shipped data folder, English, and an open database.
class ServiceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetModuleFolder(MOLVANE_SOURCE_DIR "/data/");
        SetCurrentLanguage(1033);
        ASSERT_TRUE(MakeDirectoryPath(GetDatabaseFolder()));
        ASSERT_TRUE(m_db.Open(GetUserDataFolder(), "TestBoard"));
    }
    void TearDown() override {
        m_db.Close();
        SetCurrentLanguage(1033);
    }

    TestFolder m_folder;
    ProfileDatabase m_db;
    CountingArm m_arm;
};
