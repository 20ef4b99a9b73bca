// Profile list rules against a real database file.
#include "app/ProfileService.h"
#include "app/JobCodes.h"
#include "app/TextIds.h"
#include "keys/KeyAssignmentService.h"
#include "keys/MacroEditor.h"
#include "keys/NameRules.h"
#include "tests/app/ServiceTestSupport.h"

#include <filesystem>

namespace {

class RecordingJobs final : public IJobSink {
public:
    void QueueJob(int code) override { m_jobs.push_back(code); }
    void ShowWaitDialog() override { ++m_waitDialogs; }
    std::vector<int> m_jobs;
    int m_waitDialogs = 0;
};

class ProfileServiceTest : public ServiceFixture {
protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        m_profiles.LoadProfileList();
    }
    std::vector<std::string> ShownNames() const {
        std::vector<std::string> names;
        for (const ProfileListItem& item : m_profiles.Items())
            names.push_back(item.m_shownName);
        return names;
    }

    RecordingJobs m_jobs;
    KeyAssignmentService m_keys{m_db, m_arm};
    ProfileService m_profiles{m_db, m_keys, m_arm, m_jobs};
};

// Catches an empty database staying empty, or a first profile that is not made current.
TEST_F(ProfileServiceTest, EmptyDatabaseGetsThreeProfilesAndTheFirstIsCurrent) {
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"Profile 1", "Profile 2", "Profile 3"}));
    EXPECT_EQ(m_profiles.SelectedIndex(), 0);
    EXPECT_EQ(m_db.GetSelectedProfile(), m_profiles.CurrentProfile());
    EXPECT_EQ(m_keys.CurrentProfile(), m_profiles.CurrentProfile());

    // A reload keeps the stored current profile rather than falling back to the first.
    ASSERT_TRUE(m_profiles.SelectProfile(2).Ok());
    m_profiles.LoadProfileList();
    EXPECT_EQ(m_profiles.SelectedIndex(), 2);
}

// Catches duplicate default names and a freed number not being used again.
TEST_F(ProfileServiceTest, NewNamesAreUniqueAndReuseGaps) {
    ASSERT_TRUE(m_profiles.AddProfile().Ok());
    EXPECT_EQ(m_profiles.Items().back().m_storedName, "Profile 4");
    ASSERT_TRUE(m_profiles.DeleteProfile(1).Ok()); // "Profile 2"
    ASSERT_TRUE(m_profiles.AddProfile().Ok());
    EXPECT_EQ(m_profiles.Items().back().m_storedName, "Profile 2");
    EXPECT_EQ(m_profiles.CurrentProfile(), m_profiles.Items().back().m_id);
    EXPECT_EQ(m_db.GetSelectedProfile(), m_profiles.Items().back().m_id);
    // The comparison is exact: another case does not count as taken.
    EXPECT_EQ(MakeUniqueName("Profile", {"profile 1", "Profile 2"}), "Profile 1");
}

// Catches the 200-profile limit being off by one or not enforced.
TEST_F(ProfileServiceTest, TheTwoHundredAndFirstProfileIsRefused) {
    while (m_profiles.Items().size() < ProfileService::kMaxProfiles)
        ASSERT_TRUE(m_profiles.AddProfile().Ok());
    const ServiceOutcome refused = m_profiles.AddProfile();
    EXPECT_EQ(refused.m_kind, OutcomeKind::Refused);
    EXPECT_EQ(refused.m_text, TXT_PROFILE_LIMIT);
    std::vector<ProfileRecord> stored;
    EXPECT_EQ(m_db.LoadProfiles(stored), ProfileService::kMaxProfiles);
}

// Catches deletion leaving list selection and current profile apart, deleting the last profile,
// or a deletion that does not rewrite the keyboard.
TEST_F(ProfileServiceTest, DeletionMakesTheNextProfileCurrent) {
    const int first = m_profiles.Items()[0].m_id;
    const int third = m_profiles.Items()[2].m_id;
    ASSERT_TRUE(m_profiles.DeleteProfile(1).Ok());
    EXPECT_EQ(m_profiles.CurrentProfile(), third); // moved into the deleted place
    EXPECT_EQ(m_db.GetSelectedProfile(), third);
    ASSERT_TRUE(m_profiles.DeleteProfile(1).Ok()); // the last item
    EXPECT_EQ(m_profiles.CurrentProfile(), first);
    EXPECT_EQ(m_profiles.SelectedIndex(), 0);
    EXPECT_EQ(m_jobs.m_jobs, (std::vector<int>{JOB_WRITE_PROFILE, JOB_WRITE_PROFILE}));
    EXPECT_EQ(m_jobs.m_waitDialogs, 2);

    EXPECT_EQ(m_profiles.DeleteProfile(0).m_kind, OutcomeKind::Ignored);
    EXPECT_EQ(m_profiles.Items().size(), 1u);
    EXPECT_EQ(m_jobs.m_jobs.size(), 2u);
}

// Catches forbidden words slipping through in another letter case, and a refused name being stored.
TEST_F(ProfileServiceTest, RenameRefusesForbiddenWordsInAnyCaseAndEmptyNames) {
    struct Case {
        std::string name;
        bool accepted;
    } cases[] = {
        {"Gaming", true}, {"", false},         {"my FUCK list", false},
        {"ShIt", false},  {"傻逼配置", false}, {"Classic", true}, // "Classic" holds no listed word
    };
    for (const Case& c : cases) {
        const ServiceOutcome outcome = m_profiles.RenameProfile(0, c.name);
        std::string stored;
        m_db.GetProfileName(m_profiles.Items()[0].m_id, stored);
        EXPECT_EQ(outcome.Ok(), c.accepted) << c.name;
        if (c.accepted) {
            EXPECT_EQ(stored, c.name);
        } else {
            EXPECT_EQ(outcome.m_text, TXT_NAME_INVALID) << c.name;
            EXPECT_NE(stored, c.name);
            EXPECT_EQ(m_profiles.Items()[0].m_shownName, stored) << "the list shows the old name again";
        }
    }
}

// Catches the language display rule being applied the wrong way round or to stored names.
TEST_F(ProfileServiceTest, DisplayNamesFollowTheLanguage) {
    struct Case {
        int language;
        NamedList list;
        std::string stored;
        std::string shown;
    } cases[] = {
        {2052, NamedList::Profiles, "Profile 7", "配置方案 7"},
        {1033, NamedList::Profiles, "配置方案 7", "Profile 7"},
        {1033, NamedList::Profiles, "Profile 7", "Profile 7"},
        {2052, NamedList::Profiles, "配置方案 7", "配置方案 7"},
        {2052, NamedList::Macros, "Macro 2", "宏 2"},
        {1033, NamedList::Macros, "宏 2", "Macro 2"},
        {2052, NamedList::Macros, "My macro", "My macro"},
    };
    for (const Case& c : cases) {
        SetCurrentLanguage(c.language);
        EXPECT_EQ(DisplayName(c.list, c.stored), c.shown) << c.stored << " in " << c.language;
    }
    SetCurrentLanguage(2052);
    m_profiles.ApplyLanguage();
    EXPECT_EQ(m_profiles.Items()[0].m_shownName, "配置方案 1");
    EXPECT_EQ(m_profiles.Items()[0].m_storedName, "Profile 1");

    // New macros get the language's base name; switching back shows the stored names translated.
    MacroEditor macros(m_db, m_arm);
    ASSERT_TRUE(macros.NewMacro().Ok());
    EXPECT_EQ(macros.Items()[0].m_storedName, "宏 1");
    SetCurrentLanguage(1033);
    macros.ApplyLanguage();
    EXPECT_EQ(macros.Items()[0].m_shownName, "Macro 1");
}

// Catches restoring defaults leaving assignments behind or touching another profile.
TEST_F(ProfileServiceTest, RestoreDefaultsClearsOnlyTheCurrentProfile) {
    KeyAssignmentRecord row;
    row.m_keyCode = 0x3A;
    row.m_macroType = 2;
    row.m_macroValue = 4;
    for (const ProfileListItem& item : m_profiles.Items()) {
        row.m_profile = item.m_id;
        ASSERT_GT(m_db.SaveKeyAssignment(row), 0);
    }
    m_keys.ShowProfileKeys(m_profiles.CurrentProfile());
    const int armsBefore = m_arm.m_count;
    ASSERT_TRUE(m_profiles.RestoreDefaults().Ok());
    std::vector<KeyAssignmentRecord> rows;
    EXPECT_EQ(m_db.LoadKeyAssignments(m_profiles.CurrentProfile(), 0, rows), 0);
    EXPECT_EQ(m_db.LoadKeyAssignments(m_profiles.Items()[1].m_id, 0, rows), 1);
    EXPECT_TRUE(m_keys.Marks().empty());
    EXPECT_EQ(m_arm.m_count, armsBefore + 1);
}

// Catches an import that bypasses the list (not current, macros not shown) or an export/import
// round trip that loses assignments.
TEST_F(ProfileServiceTest, ExportAndImportRoundTrip) {
    MacroEditor macros(m_db, m_arm);
    const int macroId = m_db.CreateMacro("Burst");
    MacroEventRecord event;
    event.m_macroId = macroId;
    event.m_type = 2;
    event.m_value = 65;
    event.m_description = "A";
    m_db.InsertMacroEvent(event);
    KeyAssignmentRecord row;
    row.m_profile = m_profiles.CurrentProfile();
    row.m_keyCode = 0x3B;
    row.m_macroType = 3;
    row.m_macroValue = macroId;
    ASSERT_GT(m_db.SaveKeyAssignment(row), 0);

    const std::string file = m_folder.Path("Shared.profile.xml");
    ASSERT_TRUE(m_profiles.ExportProfile(0, file).Ok());
    m_db.RenameMacro(macroId, "Burst renamed"); // so the import has to create its own copy
    ASSERT_TRUE(m_profiles.ImportProfile(file, &macros).Ok());
    EXPECT_EQ(m_profiles.Items().back().m_storedName, "Shared");
    EXPECT_EQ(m_profiles.CurrentProfile(), m_profiles.Items().back().m_id);
    ASSERT_EQ(macros.Items().size(), 1u);
    EXPECT_EQ(macros.Items()[0].m_storedName, "Burst");
    std::vector<KeyAssignmentRecord> imported;
    ASSERT_EQ(m_db.LoadKeyAssignments(m_profiles.CurrentProfile(), 0, imported), 1);
    EXPECT_EQ(imported[0].m_macroValue, macros.Items()[0].m_id);
    EXPECT_EQ(m_keys.Marks().count(0x3B), 1u);

    EXPECT_EQ(m_profiles.ExportProfile(-1, file).m_text, TXT_SELECT_PROFILE_FIRST);
    EXPECT_EQ(m_profiles.ImportProfile(m_folder.Path("missing.xml"), &macros).m_kind, OutcomeKind::Failed);
}

} // namespace
