// Macro page rules against a real database file, with recording fed by the recording source.
#include "keys/MacroEditor.h"
#include "app/TextIds.h"
#include "keys/KeyAssignmentService.h"
#include "keys/KeyRecorder.h"
#include "tests/app/ServiceTestSupport.h"

namespace {

class MacroEditorTest : public ServiceFixture {
protected:
    std::vector<std::string> StoredNames() {
        std::vector<MacroRecord> macros;
        m_db.LoadMacros(macros);
        std::vector<std::string> names;
        for (const MacroRecord& m : macros)
            names.push_back(m.m_name);
        return names;
    }
    std::vector<MacroEventRecord> StoredEvents(int id) {
        std::vector<MacroEventRecord> events;
        m_db.LoadMacroEvents(id, events);
        return events;
    }
    // Key `code` down then up through the recording source, `gapMs` apart.
    void Tap(int usage, int64_t gapMs) {
        m_now += gapMs;
        m_editor.Recorder()->OnWindowKey({usage, false, false});
        m_now += gapMs;
        m_editor.Recorder()->OnWindowKey({usage, true, false});
    }

    int64_t m_now = 1000;
    MacroEditor m_editor{m_db, m_arm, [this] { return m_now; }};
};

// Catches default names colliding, and duplicates not named " - 1", " - 2" or missing events.
TEST_F(MacroEditorTest, NewAndDuplicateNames) {
    ASSERT_TRUE(m_editor.NewMacro().Ok());
    ASSERT_TRUE(m_editor.NewMacro().Ok());
    EXPECT_EQ(m_editor.SelectedIndex(), 1);
    m_editor.SelectIndex(0);
    MacroEventRecord event;
    event.m_macroId = m_editor.SelectedMacroId();
    event.m_type = 2;
    event.m_value = 65;
    event.m_delayTime = 40;
    event.m_description = "A";
    m_db.InsertMacroEvent(event);
    m_editor.SelectIndex(0);
    ASSERT_TRUE(m_editor.CopyMacro().Ok());
    EXPECT_TRUE(m_editor.CanPaste());
    ASSERT_TRUE(m_editor.PasteMacro().Ok());
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"Macro 1", "Macro 2", "Macro 1 - 1", "Macro 1 - 2"}));
    const std::vector<MacroEventRecord> copied = StoredEvents(m_editor.Items().back().m_id);
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(copied[0].m_delayTime, 40);
    EXPECT_EQ(copied[0].m_description, "A");
}

// Catches a deleted macro still being played by keys of any profile, or a selection left on nothing.
TEST_F(MacroEditorTest, DeleteRemovesTheKeysThatPlayItFromEveryProfile) {
    ProfileRecord profile;
    profile.m_name = "P";
    const int p1 = m_db.InsertProfile(profile);
    const int p2 = m_db.InsertProfile(profile);
    KeyAssignmentService keys(m_db, m_arm);
    m_editor.SetKeyPage(&keys);
    ASSERT_TRUE(m_editor.NewMacro().Ok());
    ASSERT_TRUE(m_editor.NewMacro().Ok());
    const int doomed = m_editor.Items()[0].m_id;
    for (int p : {p1, p2}) {
        KeyAssignmentRecord row;
        row.m_profile = p;
        row.m_keyCode = 0x3A;
        row.m_macroType = 3;
        row.m_macroValue = doomed;
        ASSERT_GT(m_db.SaveKeyAssignment(row), 0);
    }
    keys.ShowProfileKeys(p1);
    ASSERT_EQ(keys.Marks().size(), 1u);
    m_editor.SelectIndex(0);
    const int arms = m_arm.m_count;
    ASSERT_TRUE(m_editor.DeleteSelectedMacro().Ok());
    std::vector<KeyAssignmentRecord> rows;
    EXPECT_EQ(m_db.LoadKeyAssignments(p1, 0, rows) + m_db.LoadKeyAssignments(p2, 0, rows), 0);
    EXPECT_TRUE(keys.Marks().empty());
    EXPECT_GT(m_arm.m_count, arms);
    EXPECT_EQ(m_editor.SelectedIndex(), 0) << "the first item was deleted; the new first is shown";
    EXPECT_TRUE(m_editor.EditingEnabled());
    ASSERT_TRUE(m_editor.DeleteSelectedMacro().Ok());
    EXPECT_EQ(m_editor.SelectedIndex(), -1);
    EXPECT_FALSE(m_editor.EditingEnabled());
}

// Catches a refused rename being stored or the old name not shown again.
TEST_F(MacroEditorTest, RenameRules) {
    ASSERT_TRUE(m_editor.NewMacro().Ok());
    struct Case {
        std::string name;
        int refusal; // 0: accepted
    } cases[] = {{"Combo", 0}, {"", TXT_NAME_INVALID}, {"BITCH move", TXT_NAME_FORBIDDEN}, {"Rotation", 0}};
    for (const Case& c : cases) {
        const ServiceOutcome outcome = m_editor.EndMacroRename(c.name);
        EXPECT_EQ(outcome.m_text, c.refusal) << c.name;
        if (c.refusal == 0) {
            EXPECT_EQ(StoredNames()[0], c.name);
        } else {
            EXPECT_EQ(m_editor.Items()[0].m_shownName, StoredNames()[0]);
        }
    }
}

// Catches play times and the fixed pause escaping their bounds, or the field not showing the clamp.
TEST_F(MacroEditorTest, SettingsAreClamped) {
    ASSERT_TRUE(m_editor.NewMacro().Ok());
    struct Case {
        std::string times;
        int delayType;
        std::string delay;
        int storedTimes;
        std::string shownTimes;
        int storedDelay;
    } cases[] = {
        {"0", 1, "10", 1, "1", 10}, {"", 2, "10", 1, "1", 10},  {"250", 1, "10", 99, "99", 10},
        {"abc", 1, "", 1, "1", 10}, {"7", 3, "25", 7, "7", 25}, {"7", 3, "99999", 7, "7", 31000},
        {"7", 3, "-5", 7, "7", 0},
    };
    for (const Case& c : cases) {
        m_editor.SetPlayTimesField(c.times);
        m_editor.SetDelayType(c.delayType);
        m_editor.SetDelayTimeField(c.delay);
        ASSERT_TRUE(m_editor.SaveMacroSettings().Ok());
        MacroRecord stored;
        ASSERT_TRUE(m_db.LoadMacro(m_editor.SelectedMacroId(), stored));
        EXPECT_EQ(stored.m_playTimes, c.storedTimes) << c.times;
        EXPECT_EQ(m_editor.PlayTimesField(), c.shownTimes) << c.times;
        EXPECT_EQ(stored.m_delayType, c.delayType);
        EXPECT_EQ(stored.m_delayTime, c.storedDelay) << c.delay;
    }
}

// Catches the delays of each recording type being put on the wrong event or left unbounded.
TEST_F(MacroEditorTest, RecordingDelaysByType) {
    struct Case {
        int delayType;
        std::string fixed;
        int64_t gap;
        std::vector<int> delays; // of the four events of two taps
    } cases[] = {
        {DELAY_RECORDED, "10", 120, {120, 120, 120, 0}},
        {DELAY_RECORDED, "10", 60000, {31000, 31000, 31000, 0}},
        {DELAY_NONE, "10", 120, {0, 0, 0, 0}},
        {DELAY_FIXED, "25", 120, {25, 25, 25, 0}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(m_editor.NewMacro().Ok());
        m_editor.SetDelayType(c.delayType);
        m_editor.SetDelayTimeField(c.fixed);
        ASSERT_TRUE(m_editor.StartRecording().Ok());
        ASSERT_NE(m_editor.Recorder(), nullptr);
        Tap(0x04, c.gap); // A
        Tap(0x05, c.gap); // B
        ASSERT_TRUE(m_editor.StopRecording().Ok());
        const std::vector<MacroEventRecord> events = StoredEvents(m_editor.SelectedMacroId());
        ASSERT_EQ(events.size(), 4u);
        std::vector<int> delays;
        for (const MacroEventRecord& e : events)
            delays.push_back(e.m_delayTime);
        EXPECT_EQ(delays, c.delays) << "delay type " << c.delayType << ", gap " << c.gap;
        EXPECT_EQ(events[0].m_type, MacroEditor::kEventPressed);
        EXPECT_EQ(events[1].m_type, MacroEditor::kEventReleased);
        EXPECT_EQ(events[0].m_value, 'A');
        EXPECT_EQ(events[0].m_description, "A");
        EXPECT_EQ(events[3].m_recordIndex, 3);
    }
}

// Catches a second recording with a fixed pause not giving the old last event its pause, and
// auto-repeats or mouse input being recorded.
TEST_F(MacroEditorTest, RecordingAppendsToExistingEvents) {
    ASSERT_TRUE(m_editor.NewMacro().Ok());
    m_editor.SetDelayType(DELAY_NONE);
    ASSERT_TRUE(m_editor.StartRecording().Ok());
    Tap(0x04, 50);
    m_editor.Recorder()->OnWindowKey({0x05, false, false});
    m_editor.Recorder()->OnWindowKey({0x05, false, true}); // auto-repeat
    m_editor.RecordEvent(DecodeWindowMouseButton(WindowMouseButton::Left, false));
    ASSERT_TRUE(m_editor.StopRecording().Ok());
    EXPECT_EQ(StoredEvents(m_editor.SelectedMacroId()).size(), 3u);

    m_editor.SetDelayType(DELAY_FIXED);
    m_editor.SetDelayTimeField("25");
    ASSERT_TRUE(m_editor.StartRecording().Ok());
    EXPECT_EQ(m_editor.Mode(), RecordingMode::Recording);
    EXPECT_FALSE(m_editor.EditingEnabled());
    m_editor.Recorder()->OnWindowKey({0x05, true, false});
    ASSERT_TRUE(m_editor.StopRecording().Ok());
    EXPECT_EQ(m_editor.Mode(), RecordingMode::Off);
    const std::vector<MacroEventRecord> events = StoredEvents(m_editor.SelectedMacroId());
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[1].m_delayTime, 0);
    EXPECT_EQ(events[2].m_delayTime, 25);
    EXPECT_EQ(events[3].m_delayTime, 0);
}

// Catches single-key capture taking mouse input or nameless keys, or staying on after its field.
TEST_F(MacroEditorTest, SingleKeyCaptureKeepsTheLastNamedKey) {
    m_editor.StartKeyCapture();
    EXPECT_EQ(m_editor.Mode(), RecordingMode::SingleKeyCapture);
    m_editor.OnCaptureInput(DecodeWindowKey({0x04, false, false}));
    m_editor.OnCaptureInput(DecodeWindowMouseButton(WindowMouseButton::Right, false));
    m_editor.OnCaptureInput(CapturedInputEvent{CaptureKind::Keyboard, false, 7, ""});
    EXPECT_EQ(m_editor.KeyField(), "A");
    EXPECT_EQ(m_editor.KeyFieldCode(), 'A');
    m_editor.StopKeyCapture();
    EXPECT_EQ(m_editor.Mode(), RecordingMode::Off);
    m_editor.OnCaptureInput(DecodeWindowKey({0x05, false, false}));
    EXPECT_EQ(m_editor.KeyField(), "A");
}

// Catches event-list edits at the ends misbehaving, or an edit not written back.
TEST_F(MacroEditorTest, EventListEditing) {
    ASSERT_TRUE(m_editor.NewMacro().Ok());
    const int id = m_editor.SelectedMacroId();
    std::vector<MacroEventRecord> seed;
    for (int i = 0; i < 3; ++i) {
        MacroEventRecord e;
        e.m_macroId = id;
        e.m_type = 2;
        e.m_recordIndex = i;
        e.m_value = 'A' + i;
        e.m_description = std::string(1, static_cast<char>('A' + i));
        seed.push_back(e);
    }
    m_db.SaveMacroEvents(seed);
    m_editor.SelectIndex(0);
    auto order = [&] {
        std::string s;
        for (const MacroEventRecord& e : StoredEvents(id))
            s += e.m_description;
        return s;
    };
    m_editor.SelectEvent(0);
    EXPECT_EQ(m_editor.MoveEventUp().m_kind, OutcomeKind::Ignored);
    ASSERT_TRUE(m_editor.MoveEventDown().Ok());
    EXPECT_EQ(order(), "BAC");
    EXPECT_EQ(m_editor.SelectedEvent(), 1);
    m_editor.SelectEvent(2);
    EXPECT_EQ(m_editor.MoveEventDown().m_kind, OutcomeKind::Ignored);
    EXPECT_EQ(order(), "BAC");
    ASSERT_TRUE(m_editor.SetEventDelay(0, 40000).Ok());
    EXPECT_EQ(StoredEvents(id)[0].m_delayTime, MacroEditor::kMaxPauseMs);
    ASSERT_TRUE(m_editor.DeleteEvent().Ok());
    EXPECT_EQ(order(), "BA");
    EXPECT_EQ(m_editor.SelectedEvent(), -1) << "deleting the last event leaves no selection";
    m_editor.SelectEvent(0);
    ASSERT_TRUE(m_editor.DeleteEvent().Ok());
    EXPECT_EQ(order(), "A");
    EXPECT_EQ(StoredEvents(id)[0].m_recordIndex, 0);
    EXPECT_EQ(m_editor.SelectedEvent(), 0);
}

// Catches imported macros being selected or exported ones losing settings.
TEST_F(MacroEditorTest, MacroFiles) {
    EXPECT_EQ(m_editor.ExportSelectedMacro(m_folder.Path("none.xml")).m_text, TXT_SELECT_MACRO_FIRST);
    ASSERT_TRUE(m_editor.NewMacro().Ok());
    m_editor.SetPlayTimesField("5");
    ASSERT_TRUE(m_editor.SaveMacroSettings().Ok());
    const std::string file = m_folder.Path("Spin.v2.xml");
    ASSERT_TRUE(m_editor.ExportSelectedMacro(file).Ok());
    ASSERT_TRUE(m_editor.ImportMacro(file).Ok());
    ASSERT_EQ(m_editor.Items().size(), 2u);
    EXPECT_EQ(m_editor.Items()[1].m_storedName, "Spin");
    EXPECT_EQ(m_editor.SelectedIndex(), 0);
    MacroRecord imported;
    ASSERT_TRUE(m_db.LoadMacro(m_editor.Items()[1].m_id, imported));
    EXPECT_EQ(imported.m_playTimes, 5);
}

} // namespace
