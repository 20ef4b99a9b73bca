// The macro page without a window: the macro list, a macro's settings and event list, copy and
// paste, renaming, recording from the recording source, and macro files.
#pragma once

#include "keys/CapturedInputEvent.h"
#include "keys/IPlaybackArm.h"
#include "keys/ServiceOutcome.h"
#include "store/ProfileRecords.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class KeyAssignmentService;
class KeyRecorder;
class ProfileDatabase;

struct MacroListItem {
    int m_id = 0;
    std::string m_storedName;
    std::string m_shownName;
};

enum class RecordingMode { Off = 0, Recording = 1, SingleKeyCapture = 2 };

// Delay types of a macro: pauses as recorded, none, or one fixed pause after every event.
enum MacroDelayType { DELAY_RECORDED = 1, DELAY_NONE = 2, DELAY_FIXED = 3 };

class MacroEditor {
public:
    static constexpr int kMaxPlayTimes = 99;
    static constexpr int kMaxPauseMs = 31000;
    static constexpr int kDefaultFixedDelay = 10;
    static constexpr int kEventPressed = 2;
    static constexpr int kEventReleased = 3;

    // `clockMs` gives the time in milliseconds for the recorded pauses (null: the monotonic clock).
    MacroEditor(ProfileDatabase& database, IPlaybackArm& arm, std::function<int64_t()> clockMs = nullptr);
    ~MacroEditor();
    MacroEditor(const MacroEditor&) = delete;
    MacroEditor& operator=(const MacroEditor&) = delete;

    // The key page redrawn after a macro delete removed key assignments.
    void SetKeyPage(KeyAssignmentService* keys) { m_keys = keys; }
    // Called with the recorder when recording starts and with null when it stops, so the owner
    // can route the grabbed keyboard's keys to it.
    void SetRecorderHook(std::function<void(KeyRecorder*)> hook) { m_recorderHook = std::move(hook); }

    // List
    void LoadMacroList();
    const std::vector<MacroListItem>& Items() const { return m_items; }
    int SelectedIndex() const { return m_selected; }
    int SelectedMacroId() const;
    // Selection change of the list: shows the macro, or clears the page without a selection.
    void SelectIndex(int index);
    bool EditingEnabled() const { return m_editingEnabled; }
    int IndexOf(int macroId) const;
    // Rewrites the shown names for the current language.
    void ApplyLanguage();

    ServiceOutcome NewMacro();
    ServiceOutcome DeleteSelectedMacro();
    ServiceOutcome CopyMacro();
    ServiceOutcome PasteMacro();
    bool CanPaste() const { return m_copySource > 0; }
    // End of the in-place rename of the selected item with text `text`.
    ServiceOutcome EndMacroRename(const std::string& text);

    // Settings fields as the page shows them
    void ShowMacro(int macroId);
    const std::string& PlayTimesField() const { return m_playTimesField; }
    int DelayType() const { return m_delayType; }
    const std::string& DelayTimeField() const { return m_delayTimeField; }
    void SetPlayTimesField(const std::string& text) { m_playTimesField = text; }
    void SetDelayType(int type);
    void SetDelayTimeField(const std::string& text) { m_delayTimeField = text; }
    // Stores play times (clamped, field rewritten), delay type and delay time of the selected macro.
    ServiceOutcome SaveMacroSettings();

    // Event list (the working copy)
    std::vector<MacroEventRecord> Events() const;
    int SelectedEvent() const;
    void SelectEvent(int index);
    ServiceOutcome MoveEventUp();
    ServiceOutcome MoveEventDown();
    ServiceOutcome DeleteEvent();
    // In-place edit of event `index`'s pause, clamped to 0..31000 ms, then saved.
    ServiceOutcome SetEventDelay(int index, int milliseconds);
    // Writes the event list back as the selected macro's events.
    ServiceOutcome SaveEventList();

    // Recording
    ServiceOutcome StartRecording();
    // One input event from the recording source; mouse events are ignored.
    void RecordEvent(const CapturedInputEvent& event);
    ServiceOutcome StopRecording();
    RecordingMode Mode() const;

    // Single-key capture of the key field: started when it gains the focus (emptying it), fed
    // with decoded input, ended when its editing ends.
    void StartKeyCapture();
    void OnCaptureInput(const CapturedInputEvent& event);
    void StopKeyCapture();
    const std::string& KeyField() const { return m_keyField; }
    int KeyFieldCode() const { return m_keyFieldCode; }
    KeyRecorder* Recorder() const { return m_recorder.get(); }

    // Macro files: the import is appended to the list without being selected.
    ServiceOutcome ImportMacro(const std::string& path);
    ServiceOutcome ExportSelectedMacro(const std::string& path);
    // Appends macros created elsewhere (a profile import); the last one becomes selected.
    void AppendCreated(const std::vector<MacroRecord>& macros);

private:
    std::string UniqueName(const std::string& base) const;
    void AppendItem(int id, const std::string& storedName);
    ServiceOutcome Duplicate(int sourceId);
    void ClearPage();
    int64_t NowMs() const;

    ProfileDatabase& m_db;
    IPlaybackArm& m_arm;
    std::function<int64_t()> m_clockMs;
    KeyAssignmentService* m_keys = nullptr;
    std::function<void(KeyRecorder*)> m_recorderHook;

    std::vector<MacroListItem> m_items;
    int m_selected = -1;
    bool m_editingEnabled = false;
    int m_copySource = 0;

    std::string m_playTimesField = "1";
    int m_delayType = DELAY_RECORDED;
    std::string m_delayTimeField = "10";
    std::string m_keyField;
    int m_keyFieldCode = 0;

    // The recording source delivers on its own thread; the event list and the recording state
    // are shared with it.
    mutable std::mutex m_lock;
    std::vector<MacroEventRecord> m_events;
    int m_selectedEvent = -1;
    RecordingMode m_mode = RecordingMode::Off;
    int m_recordDelayType = DELAY_RECORDED;
    int m_recordFixedDelay = kDefaultFixedDelay;
    int64_t m_previousEventMs = 0;
    bool m_hasPrevious = false;
    std::unique_ptr<KeyRecorder> m_recorder;
};
