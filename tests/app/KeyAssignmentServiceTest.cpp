// Keyboard page rules and the assignment dialog's kinds against a real database file.
#include "keys/KeyAssignmentService.h"
#include "app/TextIds.h"
#include "keys/CustomKeyModel.h"
#include "tests/app/ServiceTestSupport.h"

namespace {

constexpr int kF1 = 0x3A;

class KeyAssignmentServiceTest : public ServiceFixture {
protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        ProfileRecord profile;
        profile.m_name = "Profile 1";
        m_profile = m_db.InsertProfile(profile);
        m_keys.ShowProfileKeys(m_profile);
    }
    // Counted remaps on keys 1, 2, ... `count` (codes outside the real keys are fine for the store).
    void FillCounted(int count) {
        for (int i = 1; i <= count; ++i) {
            KeyAssignmentRecord row;
            row.m_profile = m_profile;
            row.m_keyCode = 100 + i;
            row.m_macroType = 2;
            row.m_macroValue = 4;
            ASSERT_GT(m_db.SaveKeyAssignment(row), 0);
        }
    }
    KeyAssignmentRecord Stored(int key) {
        KeyAssignmentRecord row;
        m_db.LoadKeyAssignment(m_profile, 0, key, row);
        return row;
    }

    KeyAssignmentService m_keys{m_db, m_arm};
    int m_profile = 0;
};

// Catches the unassignable key being stored, or a pick with no key clicked storing a row.
TEST_F(KeyAssignmentServiceTest, UnassignableAndMissingKeysStoreNothing) {
    const ServiceOutcome click = m_keys.ClickKey(KeyAssignmentService::kUnassignableKey);
    EXPECT_EQ(click.m_text, TXT_KEY_NOT_ASSIGNABLE);
    EXPECT_EQ(m_keys.SelectedKey(), -1);
    EXPECT_EQ(m_keys.PickerChoice(PickerItem{4, 0, 0, "A"}).m_text, TXT_KEY_NOT_ASSIGNABLE);
    EXPECT_EQ(m_keys.MenuCommand(KEY_MENU_DISABLE).m_text, TXT_KEY_NOT_ASSIGNABLE);

    EXPECT_EQ(m_keys.ClickKey(0).m_kind, OutcomeKind::Ignored);
    EXPECT_FALSE(m_keys.PickerChoice(PickerItem{4, 0, 0, "A"}).Ok());
    EXPECT_EQ(m_keys.SelectedKey(), -1);
    std::vector<KeyAssignmentRecord> rows;
    EXPECT_EQ(m_db.LoadKeyAssignments(m_profile, 0, rows), 0);
}

// Catches picker values on the wrong side of 500, a second row for one key, or marks and the
// filter not following the store.
TEST_F(KeyAssignmentServiceTest, PickerStoresOneRowPerKeyWithTheRightType) {
    ASSERT_TRUE(m_keys.ClickKey(kF1).Ok());
    const int arms = m_arm.m_count;
    ASSERT_TRUE(m_keys.PickerChoice(PickerItem{499, 0, 0, "x"}).Ok());
    EXPECT_EQ(Stored(kF1).m_macroType, 2);
    ASSERT_TRUE(m_keys.PickerChoice(PickerItem{500, 0, 0, "y"}).Ok());
    EXPECT_EQ(Stored(kF1).m_macroType, 12);
    std::vector<KeyAssignmentRecord> rows;
    EXPECT_EQ(m_db.LoadKeyAssignments(m_profile, 0, rows), 1);
    EXPECT_EQ(m_keys.PickerCheck(), (PickerItem{500, 0, 0, {}}));
    EXPECT_EQ(m_keys.Marks().at(kF1).m_tipTitle, TXT_TIP_KEY_REMAP);
    EXPECT_EQ(m_keys.Marks().at(kF1).m_tipText, "y");
    EXPECT_EQ(m_arm.m_count, arms + 2);

    // Clicking the key again shows its function in the picker.
    m_keys.ShowProfileKeys(m_profile);
    m_keys.PickerChoice(PickerItem{4, 0, 0, "A"}).Ok();
    m_keys.ShowProfileKeys(m_profile);
    EXPECT_EQ(m_keys.PickerCheck(), PickerItem{});
    ASSERT_TRUE(m_keys.ClickKey(kF1).Ok());
    EXPECT_EQ(m_keys.PickerCheck(), (PickerItem{4, 0, 0, {}}));
}

// Catches the 64-place limit being off by one, or refusing a change to a key that already holds a place.
TEST_F(KeyAssignmentServiceTest, SixtyFourCountedAssignmentsFillTheLayer) {
    FillCounted(63);
    ASSERT_TRUE(m_keys.ClickKey(kF1).Ok());
    ASSERT_TRUE(m_keys.PickerChoice(PickerItem{4, 0, 0, "A"}).Ok()); // the 64th
    EXPECT_TRUE(m_keys.PickerChoice(PickerItem{5, 0, 0, "B"}).Ok())
        << "replacing a counted key is no new place";
    EXPECT_TRUE(m_keys.MenuCommand(KEY_MENU_FUNCTION).Ok());

    ASSERT_TRUE(m_keys.ClickKey(kF1 + 1).Ok());
    const ServiceOutcome refused = m_keys.PickerChoice(PickerItem{4, 0, 0, "A"});
    EXPECT_EQ(refused.m_kind, OutcomeKind::Refused);
    EXPECT_EQ(refused.m_text, TXT_ASSIGNMENT_LIMIT);
    EXPECT_EQ(m_keys.MenuCommand(KEY_MENU_MACRO).m_text, TXT_ASSIGNMENT_LIMIT);
    EXPECT_EQ(m_keys.MenuCommand(KEY_MENU_FUNCTION).m_text, TXT_ASSIGNMENT_LIMIT);
    EXPECT_EQ(Stored(kF1 + 1).m_macroType, 0);

    // Uncounted kinds are not limited.
    CustomKeyModel mouse(m_db, kF1 + 1, m_profile, AssignmentKind::Mouse);
    EXPECT_TRUE(mouse.ApplyChoice(1).Ok());

    // Disabling past the limit is stored, and the user is told.
    ASSERT_TRUE(m_keys.ClickKey(kF1 + 2).Ok());
    const ServiceOutcome disabled = m_keys.MenuCommand(KEY_MENU_DISABLE);
    EXPECT_EQ(disabled.m_kind, OutcomeKind::Done);
    EXPECT_EQ(disabled.m_text, TXT_ASSIGNMENT_LIMIT);
    EXPECT_EQ(Stored(kF1 + 2).m_macroType, 1);
    EXPECT_EQ(m_keys.CountCountedAssignments(), 65);
}

// Catches a warning for a disabling that is still within the limit.
TEST_F(KeyAssignmentServiceTest, DisablingTheSixtyFourthKeyIsNoWarning) {
    FillCounted(63);
    ASSERT_TRUE(m_keys.ClickKey(kF1).Ok());
    const ServiceOutcome disabled = m_keys.MenuCommand(KEY_MENU_DISABLE);
    EXPECT_EQ(disabled.m_text, 0);
    EXPECT_EQ(m_keys.Marks().at(kF1).m_tipTitle, TXT_DISABLE_KEY);
    EXPECT_EQ(m_keys.Marks().at(kF1).m_tipText, "");
}

// Catches "restore default" leaving the old function, a mark or a picker check behind.
TEST_F(KeyAssignmentServiceTest, RestoreDefaultRemovesTheRow) {
    ASSERT_TRUE(m_keys.ClickKey(kF1).Ok());
    ASSERT_TRUE(m_keys.PickerChoice(PickerItem{4, 0, 0, "A"}).Ok());
    ASSERT_TRUE(m_keys.MenuCommand(KEY_MENU_DEFAULT).Ok());
    EXPECT_EQ(Stored(kF1).m_keyCode, 0);
    EXPECT_EQ(m_keys.Marks().count(kF1), 0u);
    EXPECT_EQ(m_keys.PickerCheck(), PickerItem{});
}

// Catches a dialog kind storing the wrong type, value, description or extra record.
TEST_F(KeyAssignmentServiceTest, DialogKindsStoreTheirRows) {
    struct Case {
        AssignmentKind kind;
        int value; // ApplyChoice value, or usage for a combination
        int modifiers;
        std::string text; // ApplyText input
        int type;
        std::string description;
    } cases[] = {
        {AssignmentKind::Shortcut, 3, 0, "", 7, "Cut (Ctrl+X)"},
        {AssignmentKind::Mouse, 8, 0, "", 5, "Back Button"},
        {AssignmentKind::Further, 7, 0, "", 6, "Mute"},
        {AssignmentKind::KeyCombination, 0x06, MOD_CTRL | MOD_SHIFT, "", 2, "Shift + Ctrl + C"},
        {AssignmentKind::KeyCombination, 0x04, MOD_ALT | MOD_WIN | MOD_SHIFT, "", 2, "Shift + Win + Alt + A"},
        {AssignmentKind::KeyCombination, 0x04, 0, "", 2, "A"},
        {AssignmentKind::Program, 0, 0, "/usr/bin/gimp", 8, "gimp"},
        {AssignmentKind::WebAddress, 0, 0, "example.org", 9, "example.org"},
        {AssignmentKind::Text, 0, 0, "Hello, world", 10, "Hello, world"},
    };
    for (const Case& c : cases) {
        CustomKeyModel dialog(m_db, kF1, m_profile, c.kind);
        ServiceOutcome outcome = c.kind == AssignmentKind::KeyCombination
                                     ? dialog.ApplyCombination(c.value, c.modifiers)
                                 : c.text.empty() ? dialog.ApplyChoice(c.value)
                                                  : dialog.ApplyText(c.text);
        ASSERT_TRUE(outcome.Ok()) << c.description;
        const KeyAssignmentRecord row = Stored(kF1);
        EXPECT_EQ(row.m_macroType, c.type) << c.description;
        EXPECT_EQ(row.m_macroDesc, c.description);
        if (c.kind == AssignmentKind::KeyCombination) {
            EXPECT_EQ(row.m_macroValue2, c.modifiers) << c.description;
        }
        if (c.type >= 8) {
            std::string description, parameter;
            int type = 0;
            ASSERT_TRUE(m_db.LoadKeyExtra(row.m_macroValue, description, parameter, type));
            EXPECT_EQ(type, c.type);
            EXPECT_EQ(description, c.description);
            EXPECT_EQ(parameter, c.type == 8 ? c.text : "");
        }
    }
    CustomKeyModel text(m_db, kF1, m_profile, AssignmentKind::Text);
    EXPECT_EQ(text.ApplyText("").m_text, TXT_FILL_IN_FIRST);
}

// Catches a profile-switch key without its target profile's id, or a macro key for an empty macro.
TEST_F(KeyAssignmentServiceTest, ProfileSwitchAndMacroKinds) {
    ProfileRecord other;
    other.m_name = "Work";
    const int otherId = m_db.InsertProfile(other);
    CustomKeyModel switcher(m_db, kF1, m_profile, AssignmentKind::ProfileSwitch);
    ASSERT_EQ(switcher.Choices().size(), 2u);
    ASSERT_TRUE(switcher.ApplyChoice(otherId).Ok());
    std::string description, parameter;
    int type = 0;
    ASSERT_TRUE(m_db.LoadKeyExtra(Stored(kF1).m_macroValue, description, parameter, type));
    EXPECT_EQ(description, "Work");
    EXPECT_EQ(parameter, std::to_string(otherId));
    EXPECT_EQ(type, 11);

    const int macroId = m_db.CreateMacro("Macro 1");
    CustomKeyModel macro(m_db, kF1 + 1, m_profile, AssignmentKind::Macro);
    const ServiceOutcome empty = macro.ApplyChoice(macroId);
    EXPECT_EQ(empty.m_text, TXT_MACRO_HAS_NO_EVENTS);
    EXPECT_EQ(Stored(kF1 + 1).m_keyCode, 0);
    MacroEventRecord event;
    event.m_macroId = macroId;
    event.m_type = 2;
    event.m_value = 65;
    m_db.InsertMacroEvent(event);
    ASSERT_TRUE(macro.ApplyChoice(macroId).Ok());
    EXPECT_EQ(Stored(kF1 + 1).m_macroValue, macroId);

    // The tip shows the macro's current name in the current language.
    SetCurrentLanguage(2052);
    m_keys.ShowProfileKeys(m_profile);
    EXPECT_EQ(m_keys.Marks().at(kF1 + 1).m_tipText, "宏 1");
    EXPECT_EQ(m_keys.Marks().at(kF1).m_tipTitle, 0) << "a profile switch has no tip";
}

} // namespace
