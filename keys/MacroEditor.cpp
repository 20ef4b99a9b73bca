// Macro page logic: list, settings, event list, copy and paste, rename, recording, files.
#include "keys/MacroEditor.h"

#include "app/TextIds.h"
#include "keys/KeyAssignmentService.h"
#include "keys/KeyRecorder.h"
#include "keys/NameRules.h"
#include "platform/LanguageText.h"
#include "platform/NumberText.h"
#include "store/MacroExchange.h"
#include "store/ProfileDatabase.h"

#include <algorithm>
#include <chrono>

MacroEditor::MacroEditor(ProfileDatabase& database, IPlaybackArm& arm, std::function<int64_t()> clockMs)
    : m_db(database), m_arm(arm), m_clockMs(std::move(clockMs)) {}

MacroEditor::~MacroEditor() {
    if (m_recorder && m_recorderHook) m_recorderHook(nullptr);
}

int64_t MacroEditor::NowMs() const {
    if (m_clockMs) return m_clockMs();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int MacroEditor::SelectedMacroId() const {
    return m_selected >= 0 && m_selected < static_cast<int>(m_items.size()) ? m_items[m_selected].m_id : 0;
}

int MacroEditor::IndexOf(int macroId) const {
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].m_id == macroId) return static_cast<int>(i);
    return -1;
}

void MacroEditor::ApplyLanguage() {
    for (MacroListItem& item : m_items)
        item.m_shownName = DisplayName(NamedList::Macros, item.m_storedName);
}

void MacroEditor::ClearPage() {
    std::lock_guard guard(m_lock);
    m_events.clear();
    m_selectedEvent = -1;
}

void MacroEditor::AppendItem(int id, const std::string& storedName) {
    m_items.push_back({id, storedName, DisplayName(NamedList::Macros, storedName)});
}

void MacroEditor::LoadMacroList() {
    m_items.clear();
    m_selected = -1;
    m_copySource = 0;
    m_editingEnabled = false;
    ClearPage();
    std::vector<MacroRecord> macros;
    m_db.LoadMacros(macros);
    for (const MacroRecord& macro : macros)
        AppendItem(macro.m_macroId, macro.m_name);
    if (!m_items.empty()) {
        m_selected = 0;
        ShowMacro(m_items[0].m_id);
        m_editingEnabled = true;
    }
}

void MacroEditor::SelectIndex(int index) {
    if (index < 0 || index >= static_cast<int>(m_items.size())) {
        m_selected = -1;
        m_editingEnabled = false;
        ClearPage();
        return;
    }
    m_selected = index;
    m_editingEnabled = true;
    ShowMacro(m_items[index].m_id);
}

void MacroEditor::ShowMacro(int macroId) {
    m_playTimesField = std::to_string(1);
    m_delayType = DELAY_RECORDED;
    m_delayTimeField = std::to_string(kDefaultFixedDelay);
    m_copySource = 0;
    MacroRecord macro;
    if (m_db.LoadMacro(macroId, macro)) {
        m_playTimesField = std::to_string(macro.m_playTimes);
        if (macro.m_delayType >= DELAY_RECORDED && macro.m_delayType <= DELAY_FIXED)
            m_delayType = macro.m_delayType;
        if (m_delayType == DELAY_FIXED) m_delayTimeField = std::to_string(macro.m_delayTime);
    }
    std::vector<MacroEventRecord> events;
    m_db.LoadMacroEvents(macroId, events);
    std::lock_guard guard(m_lock);
    m_events = std::move(events);
    m_selectedEvent = -1;
}

void MacroEditor::SetDelayType(int type) {
    if (type >= DELAY_RECORDED && type <= DELAY_FIXED) m_delayType = type;
}

ServiceOutcome MacroEditor::SaveMacroSettings() {
    const int id = SelectedMacroId();
    if (id <= 0) return ServiceOutcome::Ignored();
    MacroRecord record;
    if (!m_db.LoadMacro(id, record)) return ServiceOutcome::Failed();
    int times = ParseDecimalInt(m_playTimesField);
    if (times < 1 || times > kMaxPlayTimes) {
        times = std::clamp(times, 1, kMaxPlayTimes);
        m_playTimesField = std::to_string(times);
    }
    record.m_playTimes = times;
    record.m_delayType = m_delayType;
    // The fixed pause is stored as a pause, so it keeps a pause's bounds.
    record.m_delayTime = m_delayType == DELAY_FIXED
                             ? std::clamp(ParseDecimalInt(m_delayTimeField), 0, kMaxPauseMs)
                             : kDefaultFixedDelay;
    if (m_delayType == DELAY_FIXED) m_delayTimeField = std::to_string(record.m_delayTime);
    if (!m_db.UpdateMacroSettings(record)) return ServiceOutcome::Failed();
    m_arm.ArmSoftwarePlayback();
    return ServiceOutcome::Done();
}

std::string MacroEditor::UniqueName(const std::string& base) const {
    std::vector<std::string> shown;
    for (const MacroListItem& item : m_items)
        shown.push_back(item.m_shownName);
    return MakeUniqueName(base, shown);
}

ServiceOutcome MacroEditor::NewMacro() {
    const std::string name = UniqueName(LoadText(TXT_MACRO));
    const int id = m_db.CreateMacro(name);
    if (id <= 0) return ServiceOutcome::Failed();
    AppendItem(id, name);
    m_selected = static_cast<int>(m_items.size()) - 1;
    ShowMacro(id);
    m_editingEnabled = true;
    return ServiceOutcome::Done();
}

ServiceOutcome MacroEditor::DeleteSelectedMacro() {
    const int id = SelectedMacroId();
    if (id <= 0) return ServiceOutcome::Ignored();
    if (!m_db.DeleteMacro(id)) return ServiceOutcome::Failed();
    const int index = m_selected;
    m_items.erase(m_items.begin() + index);
    if (m_copySource == id) m_copySource = 0;
    ClearPage();
    if (m_keys) m_keys->ShowProfileKeys(m_keys->CurrentProfile());
    m_arm.ArmSoftwarePlayback();
    // The item before the deleted one, or the new first item when the first was deleted.
    SelectIndex(m_items.empty() ? -1 : std::max(0, index - 1));
    return ServiceOutcome::Done();
}

ServiceOutcome MacroEditor::Duplicate(int sourceId) {
    MacroRecord source;
    if (sourceId <= 0 || !m_db.LoadMacro(sourceId, source)) return ServiceOutcome::Ignored();
    MacroRecord copy = source;
    copy.m_macroId = 0;
    copy.m_name = UniqueName(source.m_name + " -");
    const int id = m_db.InsertMacro(copy);
    if (id <= 0) return ServiceOutcome::Failed();
    AppendItem(id, copy.m_name);
    std::vector<MacroEventRecord> events;
    m_db.LoadMacroEvents(sourceId, events);
    for (MacroEventRecord& event : events) {
        event.m_recordId = 0;
        event.m_macroId = id;
    }
    m_db.SaveMacroEvents(events);
    return ServiceOutcome::Done();
}

ServiceOutcome MacroEditor::CopyMacro() {
    const int id = SelectedMacroId();
    if (id <= 0) return ServiceOutcome::Ignored();
    m_copySource = id;
    return Duplicate(id);
}

ServiceOutcome MacroEditor::PasteMacro() {
    return Duplicate(m_copySource);
}

ServiceOutcome MacroEditor::EndMacroRename(const std::string& text) {
    const int id = SelectedMacroId();
    if (id <= 0) return ServiceOutcome::Ignored();
    MacroListItem& item = m_items[m_selected];
    if (ContainsForbiddenWord(text) || text.empty()) {
        item.m_shownName = DisplayName(NamedList::Macros, item.m_storedName);
        return ServiceOutcome::Refused(TXT_RENAME, text.empty() ? TXT_NAME_INVALID : TXT_NAME_FORBIDDEN);
    }
    if (!m_db.RenameMacro(id, text)) {
        item.m_shownName = DisplayName(NamedList::Macros, item.m_storedName);
        return ServiceOutcome::Failed();
    }
    item.m_storedName = text;
    item.m_shownName = DisplayName(NamedList::Macros, text);
    return ServiceOutcome::Done();
}

std::vector<MacroEventRecord> MacroEditor::Events() const {
    std::lock_guard guard(m_lock);
    return m_events;
}

int MacroEditor::SelectedEvent() const {
    std::lock_guard guard(m_lock);
    return m_selectedEvent;
}

void MacroEditor::SelectEvent(int index) {
    std::lock_guard guard(m_lock);
    m_selectedEvent = index >= 0 && index < static_cast<int>(m_events.size()) ? index : -1;
}

ServiceOutcome MacroEditor::MoveEventUp() {
    {
        std::lock_guard guard(m_lock);
        const int i = m_selectedEvent;
        if (i <= 0 || i >= static_cast<int>(m_events.size())) return ServiceOutcome::Ignored();
        std::swap(m_events[i], m_events[i - 1]);
        m_selectedEvent = i - 1;
    }
    return SaveEventList();
}

ServiceOutcome MacroEditor::MoveEventDown() {
    {
        std::lock_guard guard(m_lock);
        const int i = m_selectedEvent;
        if (i < 0 || i + 1 >= static_cast<int>(m_events.size())) return ServiceOutcome::Ignored();
        std::swap(m_events[i], m_events[i + 1]);
        m_selectedEvent = i + 1;
    }
    return SaveEventList();
}

ServiceOutcome MacroEditor::DeleteEvent() {
    {
        std::lock_guard guard(m_lock);
        const int i = m_selectedEvent;
        if (i < 0 || i >= static_cast<int>(m_events.size())) return ServiceOutcome::Ignored();
        m_events.erase(m_events.begin() + i);
        m_selectedEvent = i < static_cast<int>(m_events.size()) ? i : -1;
    }
    return SaveEventList();
}

ServiceOutcome MacroEditor::SetEventDelay(int index, int milliseconds) {
    {
        std::lock_guard guard(m_lock);
        if (index < 0 || index >= static_cast<int>(m_events.size())) return ServiceOutcome::Ignored();
        m_events[index].m_delayTime = std::clamp(milliseconds, 0, kMaxPauseMs);
    }
    return SaveEventList();
}

ServiceOutcome MacroEditor::SaveEventList() {
    const int id = SelectedMacroId();
    if (id <= 0) return ServiceOutcome::Ignored();
    std::vector<MacroEventRecord> list = Events();
    for (size_t n = 0; n < list.size(); ++n) {
        list[n].m_recordId = 0;
        list[n].m_macroId = id;
        list[n].m_recordIndex = static_cast<int>(n);
    }
    m_db.DeleteMacroEvents(id);
    m_db.SaveMacroEvents(list);
    m_arm.ArmSoftwarePlayback();
    return ServiceOutcome::Done();
}

ServiceOutcome MacroEditor::StartRecording() {
    if (SelectedMacroId() <= 0) return ServiceOutcome::Ignored();
    {
        std::lock_guard guard(m_lock);
        m_recordDelayType = m_delayType;
        m_recordFixedDelay = m_delayType == DELAY_FIXED
                                 ? std::clamp(ParseDecimalInt(m_delayTimeField), 0, kMaxPauseMs)
                                 : kDefaultFixedDelay;
        m_hasPrevious = false;
        m_mode = RecordingMode::Recording;
    }
    m_editingEnabled = false;
    if (m_recorder && m_recorderHook) m_recorderHook(nullptr);
    m_recorder =
        std::make_unique<KeyRecorder>([this](const CapturedInputEvent& event) { RecordEvent(event); });
    if (m_recorderHook) m_recorderHook(m_recorder.get());
    return ServiceOutcome::Done();
}

void MacroEditor::RecordEvent(const CapturedInputEvent& event) {
    if (event.kind != CaptureKind::Keyboard) return;
    const int64_t now = NowMs();
    std::lock_guard guard(m_lock);
    if (m_mode != RecordingMode::Recording) return;
    int64_t elapsed = 0;
    if (m_hasPrevious) {
        elapsed = now - m_previousEventMs;
        if (elapsed < 0 || elapsed > kMaxPauseMs) elapsed = kMaxPauseMs;
    }
    m_previousEventMs = now;
    m_hasPrevious = true;
    int pause = 0;
    if (m_recordDelayType == DELAY_FIXED)
        pause = m_recordFixedDelay;
    else if (m_recordDelayType == DELAY_RECORDED)
        pause = static_cast<int>(elapsed);
    if (pause != 0 && !m_events.empty()) m_events.back().m_delayTime = pause;
    MacroEventRecord record;
    record.m_type = event.released ? kEventReleased : kEventPressed;
    record.m_value = event.code;
    record.m_description = event.name;
    m_events.push_back(record);
}

ServiceOutcome MacroEditor::StopRecording() {
    if (m_recorderHook) m_recorderHook(nullptr);
    m_recorder.reset();
    ServiceOutcome saved = SaveEventList();
    {
        std::lock_guard guard(m_lock);
        m_mode = RecordingMode::Off;
        m_hasPrevious = false;
    }
    m_editingEnabled = SelectedMacroId() > 0;
    return saved;
}

RecordingMode MacroEditor::Mode() const {
    std::lock_guard guard(m_lock);
    return m_mode;
}

void MacroEditor::StartKeyCapture() {
    std::lock_guard guard(m_lock);
    if (m_mode == RecordingMode::Recording) return;
    m_keyField.clear();
    m_keyFieldCode = 0;
    m_mode = RecordingMode::SingleKeyCapture;
}

void MacroEditor::OnCaptureInput(const CapturedInputEvent& event) {
    std::lock_guard guard(m_lock);
    if (m_mode != RecordingMode::SingleKeyCapture || event.kind != CaptureKind::Keyboard ||
        event.name.empty())
        return;
    m_keyField = event.name;
    m_keyFieldCode = event.code;
}

void MacroEditor::StopKeyCapture() {
    std::lock_guard guard(m_lock);
    if (m_mode == RecordingMode::SingleKeyCapture) m_mode = RecordingMode::Off;
}

ServiceOutcome MacroEditor::ImportMacro(const std::string& path) {
    const MacroImportResult result = ::ImportMacro(m_db, path);
    if (result.m_status != ExchangeStatus::Done) return ServiceOutcome::Failed();
    AppendItem(result.m_macroId, result.m_name);
    if (m_selected < 0) m_editingEnabled = false;
    return ServiceOutcome::Done();
}

ServiceOutcome MacroEditor::ExportSelectedMacro(const std::string& path) {
    const int id = SelectedMacroId();
    if (id <= 0) return ServiceOutcome::Refused(TXT_EXPORT_MACRO_TITLE, TXT_SELECT_MACRO_FIRST);
    return ::ExportMacro(m_db, id, path) == ExchangeStatus::Done ? ServiceOutcome::Done()
                                                                 : ServiceOutcome::Failed();
}

void MacroEditor::AppendCreated(const std::vector<MacroRecord>& macros) {
    for (const MacroRecord& macro : macros) {
        AppendItem(macro.m_macroId, macro.m_name);
        SelectIndex(static_cast<int>(m_items.size()) - 1);
    }
}
